#include <algorithm>
#include <cstring>
#include <fstream>
#include <iterator>
#include <sstream>

#include "tests/gui/WindowDriver.h"

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

// WM_GETTEXT is marshalled across processes; GetWindowText is not, for controls.
std::string WindowText(HWND window) {
    char text[4096] = {};
    DWORD_PTR length = 0;
    if (!SendMessageTimeoutA(window, WM_GETTEXT, sizeof(text), reinterpret_cast<LPARAM>(text),
                             SMTO_ABORTIFHUNG, 2000, &length)) {
        return std::string();
    }
    return std::string(text, std::min<size_t>(length, sizeof(text) - 1));
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

bool AnswerBoxesUntilExit(HANDLE process, DWORD timeoutMs, const std::vector<int>& answers,
                          std::vector<SeenBox>* seen) {
    std::vector<HWND> answered;
    size_t nextAnswer = 0;
    const DWORD start = GetTickCount();
    while (WaitForSingleObject(process, 50) == WAIT_TIMEOUT) {
        for (HWND dialog : ForeignDialogs()) {
            if (std::find(answered.begin(), answered.end(), dialog) != answered.end()) continue;
            if (!IsMessageBox(dialog)) continue;
            SeenBox box;
            box.caption = WindowText(dialog);
            box.text = MessageBoxText(dialog);
            box.hasOwner = GetWindow(dialog, GW_OWNER) != nullptr;
            seen->push_back(box);
            int answer = nextAnswer < answers.size() ? answers[nextAnswer++] : IDOK;
            PressButton(dialog, answer);
            answered.push_back(dialog);
        }
        if (GetTickCount() - start > timeoutMs) {
            TerminateProcess(process, 255);
            WaitForSingleObject(process, 5000);
            return false;
        }
    }
    return true;
}

HANDLE StartProcess(const std::string& commandLine, const std::string& outputFile) {
    SECURITY_ATTRIBUTES inherit = {sizeof(inherit), nullptr, TRUE};
    HANDLE output = CreateFileA(outputFile.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (output == INVALID_HANDLE_VALUE) return nullptr;
    STARTUPINFOA startup = {};
    startup.cb = sizeof(startup);
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    startup.hStdOutput = output;
    startup.hStdError = output;
    PROCESS_INFORMATION info = {};
    std::vector<char> line(commandLine.begin(), commandLine.end());
    line.push_back('\0');
    BOOL started = CreateProcessA(nullptr, line.data(), nullptr, nullptr, TRUE, 0, nullptr, nullptr,
                                  &startup, &info);
    CloseHandle(output);
    if (!started) return nullptr;
    CloseHandle(info.hThread);
    return info.hProcess;
}

std::string ReadFileText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

bool WriteFileText(const std::string& path, const std::string& text) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
    return static_cast<bool>(out);
}

}  // namespace guidriver
