// The host window after a crash: once a run has disabled it, only the exit processing
// enables it again, and a crash never reaches the exit processing.
#pragma once

#include <windows.h>

namespace velnor {

// Enables the host window and posts it the completion message. All that a crashed
// process may still do for the host: no allocation, no host call.
void GiveHostWindowBack(HWND host, UINT message, WPARAM functionId, LPARAM result);

// From now until DisarmCrashFilter, an unhandled exception first gives the host window
// back with the failure result, then takes its normal course.
void ArmCrashFilter(HWND host, UINT message, WPARAM functionId);
void DisarmCrashFilter();

}  // namespace velnor
