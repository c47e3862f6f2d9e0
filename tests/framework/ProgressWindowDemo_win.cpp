// Shows the progress window through the calls of a whole successful run and keeps it on
// screen for the given number of seconds (default 10), for screenshots.
#include <windows.h>

#include <cstdlib>

#include "app/ProgressDlg.h"

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR commandLine, int) {
    const int seconds =
        commandLine != nullptr && *commandLine != '\0' ? std::atoi(commandLine) : 10;
    ClProgressDlg progress;
    if (!progress.Create()) return 1;
    progress.ShowWindow(SW_SHOW);
    progress.ResetProgress();
    const short ranges[][2] = {{0, 200},   {200, 400}, {400, 500},
                               {500, 600}, {600, 700}, {700, 1000}};
    for (const auto& range : ranges) {
        progress.PulseProgress();
        progress.AdvanceProgress(range[0], range[1]);
    }
    const DWORD end = GetTickCount() + static_cast<DWORD>(seconds) * 1000;
    while (GetTickCount() < end) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 100, QS_ALLINPUT);
    }
    progress.EndDialog(1);
    return 0;
}
