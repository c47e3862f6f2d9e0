// host-simulator: plays the accounting host for one run of the link program.
//
// It loads the host data file the program will see, shows a window, starts the program
// with the command line the host uses (hostWindow,completionMessage,functionId,
// fixedOutputPath), keeps its window responsive while the program runs, and reports the
// completion message the program posts back, how its window was disabled and enabled,
// and the program's exit code. The last line of the report is machine-readable:
//
//   RESULT posted=yes message=32769 wparam=0x00000002 lparam=0 posts=1
//          disabled-meanwhile=yes enabled-again=yes enabled-at-completion=yes exit=0
//
// Exit status: 0, 1 or 2 the result code posted by a well-behaved host-bound run (window
// disabled meanwhile, enabled again before the message); 3 nothing posted and the window
// never disabled; 4 nothing posted although the window was disabled; 5 posted, but the
// window was not handled as it should be or more than one message came; 6 the program did
// not end in time (it was killed); 7 bad usage or the program could not be started.
#include <windows.h>

#include <cstdarg>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "app/SelectedData.h"
#include "host_standin/HostStandIn.h"

namespace {

constexpr int kExitNothingPosted = 3;
constexpr int kExitDisabledNotPosted = 4;
constexpr int kExitBadWindowHandling = 5;
constexpr int kExitTimeout = 6;
constexpr int kExitUsage = 7;

struct Options {
    std::string program;
    std::string functionId = "2";
    std::string output;
    UINT message = WM_APP + 1;
    DWORD timeoutSeconds = 120;
    std::string dataFile;
    bool standalone = false;
    bool rawGiven = false;
    std::string raw;  // command-line text after the program path, verbatim
};

struct Observed {
    bool disabledMeanwhile = false;
    bool enabledAgain = false;
    int posts = 0;
    bool enabledAtCompletion = false;
    WPARAM wParam = 0;
    LPARAM lParam = 0;
};

Observed g_observed;

void Report(const char* format, ...) {
    va_list args;
    va_start(args, format);
    std::fputs("host-simulator: ", stdout);
    std::vfprintf(stdout, format, args);
    std::fputc('\n', stdout);
    std::fflush(stdout);
    va_end(args);
}

void Usage() {
    std::fputs(
        "usage: host-simulator --program PATH [--function-id TEXT] [--output PATH]\n"
        "                      [--message N] [--timeout SECONDS] [--data FILE]\n"
        "                      [--standalone | --command-line TEXT]\n"
        "  --program       the link program to start\n"
        "  --function-id   third field of the command line (default 2)\n"
        "  --output        fourth field: the fixed output path (default none)\n"
        "  --message       completion message number (default 32769)\n"
        "  --timeout       seconds to wait for the program to end (default 120)\n"
        "  --data          host data file, handed on as VELNOR_HOST_DATA\n"
        "  --standalone    start the program without a command line\n"
        "  --command-line  start it with this text instead of the host's fields\n",
        stderr);
}

bool ParseOptions(int argc, char** argv, Options* options) {
    for (int i = 1; i < argc; ++i) {
        const std::string name = argv[i];
        if (name == "--standalone") {
            options->standalone = true;
            continue;
        }
        if (i + 1 >= argc) return false;
        const char* value = argv[++i];
        if (name == "--program") {
            options->program = value;
        } else if (name == "--function-id") {
            options->functionId = value;
        } else if (name == "--output") {
            options->output = value;
        } else if (name == "--message") {
            options->message = static_cast<UINT>(std::strtoul(value, nullptr, 0));
        } else if (name == "--timeout") {
            options->timeoutSeconds = static_cast<DWORD>(std::strtoul(value, nullptr, 10));
        } else if (name == "--data") {
            options->dataFile = value;
        } else if (name == "--command-line") {
            options->rawGiven = true;
            options->raw = value;
        } else {
            return false;
        }
    }
    return !options->program.empty() && options->message != 0;
}

LRESULT CALLBACK HostWindowProc(HWND hWnd, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_ENABLE:
            if (wParam == FALSE) {
                g_observed.disabledMeanwhile = true;
                Report("window disabled");
            } else if (g_observed.disabledMeanwhile) {
                g_observed.enabledAgain = true;
                Report("window enabled again");
            }
            return 0;
        case WM_CLOSE:
            // The host window stays until the program has ended.
            return 0;
        default:
            return DefWindowProcA(hWnd, message, wParam, lParam);
    }
}

// The report is read on a UTF-8 terminal; the window shows code page 932 as the host does.
std::string ForReport(const std::string& sjis) {
    const int size = static_cast<int>(sjis.size());
    const int wide = MultiByteToWideChar(932, 0, sjis.data(), size, nullptr, 0);
    if (wide <= 0) return sjis;
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, sjis.data(), size, &w[0], wide);
    const int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    if (n <= 0) return sjis;
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &utf8[0], n, nullptr, nullptr);
    return utf8;
}

std::string FolderOf(const std::string& path) {
    size_t cut = path.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : path.substr(0, cut + 1);
}

// What the program will see as host data, told in the window and the report.
std::string DescribeHostData(const std::string& file) {
    const std::string why = hoststandin::LoadFromFile(file);
    if (!why.empty()) return "host data " + file + " not usable: " + why;
    // The faults are planned for the program's calls, not for ours.
    hoststandin::ForgetFaults();
    StDATAINFO selected;
    if (!velnor::FindSelectedDataSet(&selected)) return "host data " + file + ": no selected data";
    char company[sizeof(selected.szCompanyName) + 1] = {};
    std::memcpy(company, selected.szCompanyName, sizeof(selected.szCompanyName));
    char text[512];
    std::snprintf(text, sizeof(text), "%s (data %d)", company, static_cast<int>(selected.nDataNo));
    return text;
}

HWND CreateHostWindow(HINSTANCE instance, const std::string& description) {
    WNDCLASSA windowClass = {};
    windowClass.lpfnWndProc = HostWindowProc;
    windowClass.hInstance = instance;
    windowClass.hCursor = LoadCursorA(nullptr, MAKEINTRESOURCEA(32512));
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = "VelnorHostSimulator";
    if (!RegisterClassA(&windowClass)) return nullptr;
    HWND hWnd = CreateWindowA("VelnorHostSimulator", "Borlex - host simulator", WS_OVERLAPPEDWINDOW,
                              40, 40, 640, 200, nullptr, nullptr, instance, nullptr);
    if (hWnd == nullptr) return nullptr;
    CreateWindowA("STATIC", description.c_str(), WS_CHILD | WS_VISIBLE, 12, 12, 600, 60, hWnd,
                  nullptr, instance, nullptr);
    ShowWindow(hWnd, SW_SHOWNORMAL);
    UpdateWindow(hWnd);
    return hWnd;
}

// Dispatches messages until the program has ended or the time is up; the completion
// message is taken out of the queue here.
bool RunUntilProgramEnds(HWND host, UINT completion, HANDLE process, DWORD timeoutMs) {
    const DWORD start = GetTickCount();
    for (;;) {
        MSG msg;
        while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
            if (msg.hwnd == host && msg.message == completion) {
                ++g_observed.posts;
                g_observed.wParam = msg.wParam;
                g_observed.lParam = msg.lParam;
                g_observed.enabledAtCompletion = IsWindowEnabled(host) != FALSE;
                Report("completion message %u wParam=0x%08llX lParam=%lld", completion,
                       static_cast<unsigned long long>(msg.wParam),
                       static_cast<long long>(msg.lParam));
                continue;
            }
            TranslateMessage(&msg);
            DispatchMessageA(&msg);
        }
        if (WaitForSingleObject(process, 0) == WAIT_OBJECT_0) {
            // Whatever the program posted last is in the queue already.
            MSG late;
            while (PeekMessageA(&late, host, completion, completion, PM_REMOVE)) {
                ++g_observed.posts;
                g_observed.wParam = late.wParam;
                g_observed.lParam = late.lParam;
                g_observed.enabledAtCompletion = IsWindowEnabled(host) != FALSE;
            }
            return true;
        }
        const DWORD elapsed = GetTickCount() - start;
        if (elapsed >= timeoutMs) return false;
        MsgWaitForMultipleObjects(1, &process, FALSE, timeoutMs - elapsed, QS_ALLINPUT);
    }
}

}  // namespace

int main(int argc, char** argv) {
    Options options;
    if (!ParseOptions(argc, argv, &options)) {
        Usage();
        return kExitUsage;
    }
    if (!options.dataFile.empty())
        SetEnvironmentVariableA("VELNOR_HOST_DATA", options.dataFile.c_str());
    char env[MAX_PATH * 4] = {};
    DWORD envLength = GetEnvironmentVariableA("VELNOR_HOST_DATA", env, sizeof(env));
    const std::string dataFile = envLength > 0 && envLength < sizeof(env)
                                     ? std::string(env)
                                     : FolderOf(options.program) + "HostData.json";

    HINSTANCE instance = GetModuleHandleA(nullptr);
    const std::string description = DescribeHostData(dataFile);
    HWND host = CreateHostWindow(instance, description);
    if (host == nullptr) {
        Report("cannot create the host window");
        return kExitUsage;
    }
    Report("host data: %s", ForReport(description).c_str());

    // Handles are 32-bit values that the program reads back with atol.
    const long handleValue = static_cast<long>(reinterpret_cast<LONG_PTR>(host));
    std::string arguments;
    if (options.rawGiven) {
        arguments = options.raw;
    } else if (!options.standalone) {
        char fields[64];
        std::snprintf(fields, sizeof(fields), "%ld,%u,", handleValue, options.message);
        arguments = fields + options.functionId + "," + options.output;
    }
    std::string commandLine = "\"" + options.program + "\"";
    if (!arguments.empty()) commandLine += " " + arguments;
    Report("window %ld, starting: %s", handleValue, ForReport(commandLine).c_str());

    std::vector<char> mutableLine(commandLine.begin(), commandLine.end());
    mutableLine.push_back('\0');
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION process = {};
    if (!CreateProcessA(options.program.c_str(), mutableLine.data(), nullptr, nullptr, FALSE, 0,
                        nullptr, nullptr, &startup, &process)) {
        Report("cannot start %s (error %lu)", options.program.c_str(), GetLastError());
        DestroyWindow(host);
        return kExitUsage;
    }
    CloseHandle(process.hThread);

    const bool ended =
        RunUntilProgramEnds(host, options.message, process.hProcess, options.timeoutSeconds * 1000);
    DWORD exitCode = 0;
    if (!ended) {
        Report("the program did not end within %lu seconds: killed", options.timeoutSeconds);
        TerminateProcess(process.hProcess, 255);
        WaitForSingleObject(process.hProcess, 5000);
    }
    GetExitCodeProcess(process.hProcess, &exitCode);
    CloseHandle(process.hProcess);
    const bool enabledNow = IsWindowEnabled(host) != FALSE;
    DestroyWindow(host);

    const Observed& seen = g_observed;
    std::printf(
        "RESULT posted=%s message=%u wparam=0x%08llX lparam=%lld posts=%d "
        "disabled-meanwhile=%s enabled-again=%s enabled-at-completion=%s enabled-now=%s "
        "exit=%lu%s\n",
        seen.posts > 0 ? "yes" : "no", options.message,
        static_cast<unsigned long long>(seen.wParam), static_cast<long long>(seen.lParam),
        seen.posts, seen.disabledMeanwhile ? "yes" : "no", seen.enabledAgain ? "yes" : "no",
        seen.enabledAtCompletion ? "yes" : "no", enabledNow ? "yes" : "no", exitCode,
        ended ? "" : " timeout=yes");
    std::fflush(stdout);

    if (!ended) return kExitTimeout;
    if (seen.posts == 0)
        return seen.disabledMeanwhile ? kExitDisabledNotPosted : kExitNothingPosted;
    if (seen.posts != 1 || !seen.disabledMeanwhile || !seen.enabledAgain ||
        !seen.enabledAtCompletion) {
        return kExitBadWindowHandling;
    }
    if (seen.lParam < 0 || seen.lParam > 2) return kExitBadWindowHandling;
    return static_cast<int>(seen.lParam);
}
