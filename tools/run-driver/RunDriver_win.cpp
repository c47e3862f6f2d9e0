// velnor-run-driver: plays the user for one run of the link program on a display nobody
// watches. It starts the host simulator, types the output file into the conditions dialog,
// presses F12, answers the questions and the result message, and reports what it saw.
//
// With --shots it stops at the conditions dialog and at the result message, prints
//   SHOT <name> <left> <top> <width> <height>
// for each window to photograph (screen coordinates) and waits for a line on standard
// input before it goes on, so that a script can take the pictures meanwhile.
//
// It reports the time from pressing F12 to the result message ("F12 to result: 0.42 s").
//
// Exit status: the host simulator's (0 to 2 the posted result), 8 when the program did not
// show what was expected or did not end in time, 9 bad usage.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tests/support/Messages.h"
#include "tools/window-driver/WindowDriver.h"

namespace {

constexpr int kExitNotAsExpected = 8;
constexpr int kExitUsage = 9;
constexpr int kEditOutput = 1014;

using velnor_test::kCreateFolderText;
using velnor_test::kDialogCaption;
using velnor_test::kOverwriteText;
using velnor_test::kSuccessText;
const char kProgressPrefix[] = "集計中";

struct Options {
    std::string simulator;
    std::string program;
    std::string data;
    std::string output;
    std::string report;
    bool shots = false;
    DWORD timeoutSeconds = 90;
};

void Usage() {
    std::fputs(
        "usage: velnor-run-driver --simulator EXE --program EXE --data FILE --output XML\n"
        "                         --report FILE [--shots] [--timeout SECONDS]\n",
        stderr);
}

bool ParseOptions(int argc, char** argv, Options* o) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--shots") {
            o->shots = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--simulator") {
            o->simulator = value;
        } else if (name == "--program") {
            o->program = value;
        } else if (name == "--data") {
            o->data = value;
        } else if (name == "--output") {
            o->output = value;
        } else if (name == "--report") {
            o->report = value;
        } else if (name == "--timeout") {
            o->timeoutSeconds = std::strtoul(value, nullptr, 10);
        } else {
            return false;
        }
    }
    return !o->simulator.empty() && !o->program.empty() && !o->output.empty() &&
           !o->report.empty() && o->timeoutSeconds > 0;
}

// The script that reads this runs on a UTF-8 terminal.
std::string Utf8(const std::string& sjis) {
    const int size = static_cast<int>(sjis.size());
    const int wide = MultiByteToWideChar(932, 0, sjis.data(), size, nullptr, 0);
    if (wide <= 0) return std::string();
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, sjis.data(), size, &w[0], wide);
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n > 0 ? n : 0), '\0');
    if (n > 0) WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &utf8[0], n, nullptr, nullptr);
    std::string oneLine;
    for (char c : utf8) oneLine += c == '\n' ? std::string("\\n") : std::string(1, c);
    return oneLine;
}

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void Say(const std::string& line) {
    std::printf("%s\n", line.c_str());
    std::fflush(stdout);
}

// Waits until the program has handled everything sent to `window` so far and painted it.
void Settle(HWND window) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    SendMessageTimeoutA(window, WM_NCACTIVATE, TRUE, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    RedrawWindow(window, nullptr, nullptr,
                 RDW_INVALIDATE | RDW_FRAME | RDW_UPDATENOW | RDW_ALLCHILDREN);
    SendMessageTimeoutA(window, WM_NULL, 0, 0, SMTO_ABORTIFHUNG, 2000, &ignored);
    Sleep(300);
}

void Shot(const Options& o, const char* name, HWND window) {
    if (!o.shots || window == nullptr) return;
    Settle(window);
    RECT r = {};
    GetWindowRect(window, &r);
    std::printf("SHOT %s %ld %ld %ld %ld\n", name, r.left, r.top, r.right - r.left,
                r.bottom - r.top);
    std::fflush(stdout);
    char answer[64];
    if (std::fgets(answer, sizeof answer, stdin) == nullptr) Sleep(1000);
}

// A host-bound run puts the progress window inside the host window. Wine does not draw a
// window inside a window of another process, so for its picture it is lifted out onto the
// screen for a moment and then put back where the program put it.
void ShotOfProgressWindow(const Options& o, HWND progress) {
    if (!o.shots || progress == nullptr) return;
    HWND parent = GetAncestor(progress, GA_PARENT);
    const bool inside = parent != nullptr && parent != GetDesktopWindow();
    if (inside) SetParent(progress, nullptr);
    Shot(o, "progress-window", progress);
    if (inside) SetParent(progress, parent);
}

// F12 as typed, until the dialog answers (it closes or asks something); as a last resort
// the key's message goes straight to the dialog's focus control.
void PressF12(HWND dialog, HANDLE simulator) {
    const bool answered = guidriver::PressKeyUntil(dialog, VK_F12, [&] {
        if (!IsWindowVisible(dialog)) return true;
        for (HWND other : guidriver::DialogsOf(guidriver::ProcessTree(simulator))) {
            if (other != dialog && guidriver::IsMessageBox(other)) return true;
        }
        return false;
    });
    if (answered) return;
    HWND edit = GetDlgItem(dialog, kEditOutput);
    PostMessageA(edit, WM_KEYDOWN, VK_F12, 0);
    PostMessageA(edit, WM_KEYUP, VK_F12, 0xC0000001);
}

}  // namespace

int main(int argc, char** argv) {
    // Window rectangles in the display's own pixels, as the screenshots crop them, whatever
    // its DPI.
    SetProcessDPIAware();
    Options o;
    if (!ParseOptions(argc, argv, &o)) {
        Usage();
        return kExitUsage;
    }
    std::string commandLine = "\"" + o.simulator + "\" --timeout " +
                              std::to_string(o.timeoutSeconds) + " --program \"" + o.program + "\"";
    if (!o.data.empty()) commandLine += " --data \"" + o.data + "\"";
    HANDLE simulator = guidriver::StartProcess(commandLine, o.report);
    if (simulator == nullptr) {
        Say("velnor-run-driver: cannot start " + o.simulator);
        return kExitUsage;
    }

    bool typed = false;
    bool succeeded = false;
    double pressed = 0;
    const bool ended =
        guidriver::DriveUntilExit(simulator, (o.timeoutSeconds + 10) * 1000, [&](HWND dialog) {
            if (guidriver::WindowText(dialog) == kDialogCaption) {
                HWND edit = GetDlgItem(dialog, kEditOutput);
                if (edit == nullptr || !IsWindowVisible(dialog)) return false;
                DWORD_PTR ignored = 0;
                SendMessageTimeoutA(edit, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(o.output.c_str()),
                                    SMTO_ABORTIFHUNG, 2000, &ignored);
                typed = true;
                Say("conditions dialog: output file " + Utf8(o.output) + ", F12");
                SetForegroundWindow(dialog);
                Shot(o, "conditions-dialog", dialog);
                pressed = Seconds();
                PressF12(dialog, simulator);
                return true;
            }
            if (!guidriver::IsMessageBox(dialog)) return false;
            const std::string text = guidriver::MessageBoxText(dialog);
            int answer = IDOK;
            if (text == kOverwriteText || text == kCreateFolderText) answer = IDYES;
            if (answer == IDOK && pressed > 0) {
                char took[64];
                std::snprintf(took, sizeof took, "F12 to result: %.2f s", Seconds() - pressed);
                Say(took);
                pressed = 0;
            }
            if (text == kSuccessText) {
                succeeded = true;
                ShotOfProgressWindow(
                    o, guidriver::FindWindowOf(guidriver::ProcessTree(simulator), kProgressPrefix));
                Shot(o, "success-message", dialog);
            }
            const guidriver::SeenBox seen = guidriver::AnswerMessageBox(dialog, answer);
            Say("message box \"" + Utf8(seen.caption) + "\": " + Utf8(seen.text));
            return true;
        });
    if (!ended) {
        Say("velnor-run-driver: the run did not end in time\n" +
            guidriver::DescribeForeignWindows());
    }
    const DWORD code = guidriver::EndProcess(simulator, ended);
    if (!ended) return kExitNotAsExpected;
    if (!typed) Say("velnor-run-driver: the conditions dialog never showed");
    if (!typed || !succeeded) return code != 0 ? static_cast<int>(code) : kExitNotAsExpected;
    return static_cast<int>(code);
}
