#include "common/Ui.h"

#include <cstdio>

namespace velnor {

namespace {
MessageBoxFn g_hook = nullptr;
}

int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type);

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    if (g_hook != nullptr) return g_hook(owner, text, caption, type);
    return PlatformMessageBox(owner, text, caption, type);
}

MessageBoxFn SetMessageBoxHook(MessageBoxFn hook) {
    MessageBoxFn previous = g_hook;
    g_hook = hook;
    return previous;
}

#ifndef _WIN32
// Without a window system the message goes to standard error; a question is answered
// with its safe choice, No.
int PlatformMessageBox(WindowHandle, const char* text, const char* caption, unsigned type) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return (type & 0xF) == kMbYesNo ? kIdNo : kIdOk;
}
#endif

}  // namespace velnor
