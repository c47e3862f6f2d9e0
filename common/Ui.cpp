#include "common/Ui.h"

#include "common/PlatformUi.h"

namespace velnor {

namespace {
MessageBoxFn g_hook = nullptr;
}

int ShowMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    if (g_hook != nullptr) return g_hook(owner, text, caption, type);
    return PlatformMessageBox(owner, text, caption, type);
}

MessageBoxFn SetMessageBoxHook(MessageBoxFn hook) {
    MessageBoxFn previous = g_hook;
    g_hook = hook;
    return previous;
}

}  // namespace velnor
