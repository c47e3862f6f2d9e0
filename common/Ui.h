// The one seam through which the program shows message boxes. The Windows build shows
// real ones; tests install a hook that records the text and answers the question.
#pragma once

#include <cstdint>

namespace velnor {

using WindowHandle = void*;  // an HWND on Windows

// Message box types and answers, with the values of the Win32 API.
enum : unsigned {
    kMbOk = 0x0,
    kMbYesNo = 0x4,
    kMbIconQuestion = 0x20,
    kMbIconWarning = 0x30,
    kMbIconInformation = 0x40,
};
enum : int { kIdOk = 1, kIdCancel = 2, kIdYes = 6, kIdNo = 7 };

using MessageBoxFn = int (*)(WindowHandle owner, const char* text, const char* caption,
                             unsigned type);

// Shows a message box (Shift_JIS texts) and returns the button pressed.
int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

// Replaces how message boxes are shown; returns the previous hook (null: the platform's).
MessageBoxFn SetMessageBoxHook(MessageBoxFn hook);

}  // namespace velnor
