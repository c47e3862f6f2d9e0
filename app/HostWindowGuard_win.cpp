#include "app/HostWindowGuard.h"
#include "app/ResultCode.h"

namespace {

HWND g_host = nullptr;
UINT g_message = 0;
WPARAM g_functionId = 0;
bool g_armed = false;
LPTOP_LEVEL_EXCEPTION_FILTER g_previous = nullptr;

LONG WINAPI OnCrash(EXCEPTION_POINTERS* exception) {
    // A second crash inside the filter must not post twice.
    if (g_armed) {
        g_armed = false;
        velnor::GiveHostWindowBack(g_host, g_message, g_functionId, velnor::kResultFailed);
    }
    // The system's error reporting (or whoever filtered before us) still sees the crash.
    return g_previous != nullptr ? g_previous(exception) : EXCEPTION_CONTINUE_SEARCH;
}

}  // namespace

namespace velnor {

void GiveHostWindowBack(HWND host, UINT message, WPARAM functionId, LPARAM result) {
    ::EnableWindow(host, TRUE);
    ::PostMessageA(host, message, functionId, result);
}

void ArmCrashFilter(HWND host, UINT message, WPARAM functionId) {
    g_host = host;
    g_message = message;
    g_functionId = functionId;
    if (!g_armed) g_previous = ::SetUnhandledExceptionFilter(OnCrash);
    g_armed = true;
}

void DisarmCrashFilter() {
    if (!g_armed) return;
    g_armed = false;
    ::SetUnhandledExceptionFilter(g_previous);
    g_previous = nullptr;
}

}  // namespace velnor
