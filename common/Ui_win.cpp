#include <windows.h>

#include "common/PlatformUi.h"

namespace velnor {

int PlatformMessageBox(WindowHandle owner, const char* text, const char* caption, unsigned type) {
    return MessageBoxA(static_cast<HWND>(owner), text, caption, type);
}

}  // namespace velnor
