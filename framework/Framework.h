// The application framework in one include.
#pragma once

#include "framework/Dialog.h"
#include "framework/FileDialog.h"
#include "framework/ProgressCtrl.h"
#include "framework/WinApp.h"
#include "framework/Wnd.h"
