#include <windows.h>
// after windows.h, which it needs
#include <tlhelp32.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tools/window-driver/WindowDriver.h"

namespace guidriver {

namespace {

std::string ClassName(HWND window) {
    char name[64] = {};
    GetClassNameA(window, name, sizeof(name));
    return name;
}

BOOL CALLBACK CollectTop(HWND window, LPARAM param) {
    auto* found = reinterpret_cast<std::vector<HWND>*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid != GetCurrentProcessId() && IsWindowVisible(window) && ClassName(window) == "#32770") {
        found->push_back(window);
    }
    return TRUE;
}

BOOL CALLBACK CollectChildren(HWND window, LPARAM param) {
    reinterpret_cast<std::vector<HWND>*>(param)->push_back(window);
    return TRUE;
}

std::vector<HWND> Children(HWND parent) {
    std::vector<HWND> children;
    EnumChildWindows(parent, CollectChildren, reinterpret_cast<LPARAM>(&children));
    return children;
}

}  // namespace

std::vector<HWND> ForeignDialogs() {
    std::vector<HWND> found;
    EnumWindows(CollectTop, reinterpret_cast<LPARAM>(&found));
    return found;
}

std::vector<DWORD> ProcessTree(HANDLE process) {
    std::vector<DWORD> tree = {GetProcessId(process)};
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE) return tree;
    std::vector<PROCESSENTRY32> all;
    PROCESSENTRY32 entry = {};
    entry.dwSize = sizeof(entry);
    for (BOOL more = Process32First(snapshot, &entry); more;
         more = Process32Next(snapshot, &entry)) {
        all.push_back(entry);
    }
    CloseHandle(snapshot);
    for (size_t i = 0; i < tree.size(); ++i) {
        for (const PROCESSENTRY32& p : all) {
            if (p.th32ParentProcessID == tree[i] &&
                std::find(tree.begin(), tree.end(), p.th32ProcessID) == tree.end()) {
                tree.push_back(p.th32ProcessID);
            }
        }
    }
    return tree;
}

std::vector<HWND> DialogsOf(const std::vector<DWORD>& ids) {
    std::vector<HWND> found;
    for (HWND dialog : ForeignDialogs()) {
        DWORD pid = 0;
        GetWindowThreadProcessId(dialog, &pid);
        if (std::find(ids.begin(), ids.end(), pid) != ids.end()) found.push_back(dialog);
    }
    return found;
}

std::string WindowText(HWND window) {
    wchar_t wide[4096] = {};
    const int length = InternalGetWindowText(window, wide, 4096);
    if (length <= 0) return std::string();
    char text[8192] = {};
    const int n = WideCharToMultiByte(932, 0, wide, length, text, sizeof(text), nullptr, nullptr);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

bool IsMessageBox(HWND dialog) {
    bool hasText = false;
    for (HWND child : Children(dialog)) {
        const std::string name = ClassName(child);
        if (name == "Edit" || name == "ComboBox" || name == "ListBox") return false;
        if (name == "Button") {
            int id = GetDlgCtrlID(child);
            if (id < IDOK || id > IDCONTINUE) return false;
        }
        if (name == "Static" && !WindowText(child).empty()) hasText = true;
    }
    return hasText;
}

std::string MessageBoxText(HWND box) {
    for (HWND child : Children(box)) {
        if (ClassName(child) != "Static") continue;
        std::string text = WindowText(child);
        if (!text.empty()) return text;
    }
    return std::string();
}

bool PressButton(HWND dialog, int id) {
    HWND button = GetDlgItem(dialog, id);
    if (button == nullptr) return false;
    return PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED),
                        reinterpret_cast<LPARAM>(button)) != FALSE;
}

bool DriveUntilExit(HANDLE process, DWORD timeoutMs,
                    const std::function<bool(HWND dialog)>& onDialog) {
    std::vector<HWND> done;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process, 50) == WAIT_TIMEOUT) {
        for (HWND dialog : DialogsOf(ProcessTree(process))) {
            if (std::find(done.begin(), done.end(), dialog) != done.end()) continue;
            if (onDialog(dialog)) done.push_back(dialog);
        }
        if (GetTickCount() - start > timeoutMs) return false;
    }
    return true;
}

namespace {

BOOL CALLBACK DescribeTop(HWND window, LPARAM param) {
    auto* out = reinterpret_cast<std::ostringstream*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId() || !IsWindowVisible(window)) return TRUE;
    *out << "window " << window << " pid " << pid << " class " << ClassName(window) << " \""
         << WindowText(window) << "\"" << (IsWindowEnabled(window) ? "" : " disabled") << "\n";
    for (HWND child : Children(window)) {
        *out << "  " << ClassName(child) << " " << GetDlgCtrlID(child) << " \"" << WindowText(child)
             << "\"" << (IsWindowEnabled(child) ? "" : " disabled")
             << (IsWindowVisible(child) ? "" : " hidden") << "\n";
    }
    return TRUE;
}

}  // namespace

std::string DescribeForeignWindows() {
    std::ostringstream out;
    EnumWindows(DescribeTop, reinterpret_cast<LPARAM>(&out));
    return out.str();
}

namespace {

struct Search {
    std::string prefix;
    const std::vector<DWORD>* ids = nullptr;  // null: every process but this one
    HWND found = nullptr;
};

BOOL CALLBACK SearchChild(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    if (WindowText(window).rfind(search->prefix, 0) == 0) {
        search->found = window;
        return FALSE;
    }
    return TRUE;
}

BOOL CALLBACK SearchTop(HWND window, LPARAM param) {
    auto* search = reinterpret_cast<Search*>(param);
    DWORD pid = 0;
    GetWindowThreadProcessId(window, &pid);
    if (pid == GetCurrentProcessId()) return TRUE;
    if (search->ids != nullptr &&
        std::find(search->ids->begin(), search->ids->end(), pid) == search->ids->end()) {
        return TRUE;
    }
    if (WindowText(window).rfind(search->prefix, 0) == 0) {
        search->found = window;
        return FALSE;
    }
    EnumChildWindows(window, SearchChild, param);
    return search->found == nullptr;
}

}  // namespace

HWND FindForeignWindow(const std::string& prefix) {
    Search search;
    search.prefix = prefix;
    EnumWindows(SearchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

HWND FindWindowOf(const std::vector<DWORD>& ids, const std::string& prefix) {
    Search search;
    search.prefix = prefix;
    search.ids = &ids;
    EnumWindows(SearchTop, reinterpret_cast<LPARAM>(&search));
    return search.found;
}

bool PressKeyUntil(HWND window, WORD key, const std::function<bool()>& answered, int attempts) {
    for (int attempt = 0; attempt < attempts; ++attempt) {
        SetForegroundWindow(window);
        INPUT inputs[2] = {};
        inputs[0].type = INPUT_KEYBOARD;
        inputs[0].ki.wVk = key;
        inputs[1] = inputs[0];
        inputs[1].ki.dwFlags = KEYEVENTF_KEYUP;
        SendInput(2, inputs, sizeof(INPUT));
        for (int i = 0; i < 20; ++i) {
            Sleep(100);
            if (answered()) return true;
        }
    }
    return false;
}

SeenBox AnswerMessageBox(HWND box, int answer) {
    SeenBox seen;
    seen.caption = WindowText(box);
    seen.text = MessageBoxText(box);
    seen.hasOwner = GetWindow(box, GW_OWNER) != nullptr;
    PressButton(box, answer);
    return seen;
}

bool AnswerBoxesUntilExit(HANDLE process, DWORD timeoutMs, const std::vector<int>& answers,
                          std::vector<SeenBox>* seen) {
    size_t next = 0;
    const bool ended = DriveUntilExit(process, timeoutMs, [&](HWND dialog) {
        if (!IsMessageBox(dialog)) return false;
        seen->push_back(AnswerMessageBox(dialog, next < answers.size() ? answers[next++] : IDOK));
        return true;
    });
    if (!ended) {
        TerminateProcess(process, 255);
        WaitForSingleObject(process, 5000);
    }
    return ended;
}

DWORD EndProcess(HANDLE process, bool ended) {
    if (!ended) {
        TerminateProcess(process, 255);
        WaitForSingleObject(process, 5000);
    }
    DWORD code = 0;
    GetExitCodeProcess(process, &code);
    CloseHandle(process);
    return code;
}

HANDLE StartProcess(const std::string& commandLine, const std::string& outputFile) {
    // The output file is shared for everything: the next run of a test writes the same
    // file, and under Wine the process of the previous run has been seen to hold it for
    // seconds after it was reported ended (a sharing violation failed that next run).
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE,
                                FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) {
        std::fprintf(stderr, "cannot create %s (error %lu)\n", outputFile.c_str(), GetLastError());
        return nullptr;
    }
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    const BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                        nullptr, &startup, &info);
    if (!started) {
        std::fprintf(stderr, "cannot start (error %lu): %s\n", GetLastError(), commandLine.c_str());
    }
    CloseHandle(output);
    if (!started) return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

}  // namespace guidriver
