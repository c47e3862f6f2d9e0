// The platform's own message box behind the seam of common/Ui.h: Win32 on Windows
// (Ui_win.cpp), standard error natively (Ui_posix.cpp).
#pragma once

#include "common/Ui.h"

namespace velnor {

int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

}  // namespace velnor
