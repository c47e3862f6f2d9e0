#include <windows.h>

#include "app/LinkApp.h"

namespace {

ClLinkApp theApp;

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int cmdShow) {
    // The framework reads the command line itself, whole, whatever its length.
    return fw::AfxWinMain(instance, nullptr, cmdShow);
}
