#include "faults/MatrixRun_win.h"

#include <algorithm>
#include <cstdlib>
#include <sstream>

#include "aggregation/AssetAggregator.h"
#include "app/LinkApp.h"
#include "common/Faults.h"
#include "common/Ui.h"
#include "export/SupportInf.h"
#include "framework/Dialog.h"
#include "host_standin/HostStandIn.h"
#include "support/Json.h"
#include "support/Scratch.h"
#include "tools/window-driver/WindowDriver.h"

namespace faultmatrix {

namespace {

constexpr UINT kCompletion = WM_APP + 7;
const char kConditionsCaption[] = "所得税(減価償却) - 集計条件";
const char kUserKey[] = "admin/1/3:";
const char kOtherUserLine[] = "someone/1/1:0/0/2/C:\\elsewhere\\other.xml\n";
const char kOldDocument[] = "an old document that a failed run must leave alone\r\n";
const char kSupportFile[] = "[=製品名=]ベルナー連動テスト版\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]77.01.02\r\n";
const char kDefinitionFile[] = "[ProgramLevel]\r\nMV14_G=2\r\n";

std::string Backslashes(std::string path) {
    std::replace(path.begin(), path.end(), '/', '\\');
    return path;
}

// The runtime's copy of the environment, which getenv reads, and the process's, which
// child processes inherit; an empty value removes the variable.
void SetVariable(const char* name, const std::string& value) { _putenv_s(name, value.c_str()); }

bool FileExists(const std::string& path) {
    const DWORD attributes = GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Every file below `folder`, with its path.
void ListFiles(const std::string& folder, std::vector<std::string>* files) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == "..") continue;
        if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            ListFiles(folder + name + "\\", files);
        } else {
            files->push_back(folder + name);
        }
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

// Every folder below `folder`, with its path and a final backslash.
void ListFolders(const std::string& folder, std::vector<std::string>* folders) {
    WIN32_FIND_DATAA entry;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) return;
    do {
        const std::string name = entry.cFileName;
        if (name == "." || name == ".." || !(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
            continue;
        }
        folders->push_back(folder + name + "\\");
        ListFolders(folder + name + "\\", folders);
    } while (FindNextFileA(find, &entry));
    FindClose(find);
}

std::string SetupKey(const std::vector<faulttable::Fault>& faults) {
    std::vector<std::string> absent;
    for (const faulttable::Fault& f : faults) {
        if (f.seam == "absent") absent.push_back(f.target);
    }
    std::sort(absent.begin(), absent.end());
    std::string key;
    for (const std::string& a : absent) key += a + ";";
    return key;
}

int CallNumber(const faulttable::Fault& fault, const std::map<std::string, int>& lastCalls) {
    if (!fault.atLast) return fault.at;
    const std::string key =
        fault.seam == "host" ? "host " + fault.op : "file " + fault.op + " " + fault.target;
    const auto it = lastCalls.find(key);
    return it == lastCalls.end() ? 0 : it->second;
}

// ---- what a run in this process sees

struct Context {
    const RunFolder* folder = nullptr;
    HWND host = nullptr;
    Outcome* outcome = nullptr;
    int okPresses = 0;
    std::vector<std::string> enableLog;
};
Context* g_run = nullptr;
std::set<int> g_supportFailures;

LRESULT CALLBACK HostProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_ENABLE && g_run != nullptr) {
        g_run->enableLog.push_back(wParam ? "enabled" : "disabled");
    }
    return DefWindowProcA(window, message, wParam, lParam);
}

void PressOk(HWND dialog) {
    ++g_run->okPresses;
    PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDOK, BN_CLICKED),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, IDOK)));
}

void OnModalStart(fw::CDialog& dialog) {
    if (g_run == nullptr) return;
    char caption[256] = {};
    GetWindowTextA(dialog.m_hWnd, caption, sizeof caption);
    if (std::string(caption) == kConditionsCaption) {
        PressOk(dialog.m_hWnd);
        return;
    }
    // Nobody would answer another dialog: it is shown as a message and closed.
    g_run->outcome->boxes.push_back(Box{"unexpected dialog", caption, 0, false});
    PostMessageA(dialog.m_hWnd, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
}

int OnMessageBox(velnor::WindowHandle owner, const char* text, const char* caption, unsigned type) {
    Box box{text, caption, type, IsWindowEnabled(g_run->host) != FALSE};
    g_run->outcome->boxes.push_back(box);
    if ((type & 0xF) == velnor::kMbYesNo) return velnor::kIdYes;
    // A destination that could not be made ready leaves the dialog open: the user tries
    // once more, as a user would after the message.
    HWND dialog = static_cast<HWND>(owner);
    char ownerCaption[256] = {};
    if (dialog != nullptr) GetWindowTextA(dialog, ownerCaption, sizeof ownerCaption);
    if (std::string(ownerCaption) == kConditionsCaption &&
        (type & 0xF0) == velnor::kMbIconWarning) {
        if (g_run->okPresses < 3) {
            PressOk(dialog);
        } else {
            PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(IDCANCEL, BN_CLICKED), 0);
        }
    }
    return velnor::kIdOk;
}

void OnFileCall(velnor::FileOp op, const char* path, bool failed) {
    if (g_run == nullptr) return;
    g_run->outcome->fileCalls.push_back(
        {velnor::FileOpName(op), g_run->folder->TargetOf(path), path, failed});
}

void* SupportAllocation(size_t size) {
    if (g_run != nullptr && g_supportFailures.count(++g_run->outcome->supportAllocations)) {
        return nullptr;
    }
    return std::malloc(size);
}

// Hidden: the progress window becomes its child and is not painted, which saves most of
// a run's time (each of the thousand progress steps repaints two bars through X). The
// runs through the real program show everything.
HWND CreateHostWindow() {
    static bool registered = false;
    if (!registered) {
        WNDCLASSA windowClass = {};
        windowClass.lpfnWndProc = HostProc;
        windowClass.hInstance = GetModuleHandleA(nullptr);
        windowClass.lpszClassName = "FaultMatrixHost";
        registered = RegisterClassA(&windowClass) != 0;
    }
    return CreateWindowA("FaultMatrixHost", "host", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100, nullptr,
                         nullptr, GetModuleHandleA(nullptr), nullptr);
}

// Files and folders left in the destination's and the settings' trees, and files of the
// run that are still held open.
void InspectFiles(const RunFolder& folder, Outcome* outcome) {
    outcome->root = folder.root;
    outcome->destinationExisted = folder.destinationExisted;
    outcome->settingsExisted = folder.settingsExisted;
    outcome->oldDestination = folder.oldDestination;
    outcome->oldSettings = folder.oldSettings;
    outcome->settingsKept = folder.ExpectedSettings(false);
    outcome->settingsReset = folder.ExpectedSettings(true);
    outcome->destinationExists = FileExists(folder.destination);
    outcome->destination = velnor_test::ReadFile(folder.destination);
    outcome->settingsExists = FileExists(folder.envFile);
    outcome->settings = velnor_test::ReadFile(folder.envFile);

    std::vector<std::string> files, folders;
    for (const char* tree : {"out\\", "env\\", "envnew\\"}) ListFiles(folder.root + tree, &files);
    ListFolders(folder.root, &folders);
    std::vector<std::string> stray;
    for (const std::string& file : files) {
        if (file != folder.destination && file != folder.envFile) stray.push_back(file);
    }
    // A new folder stays rightly when it holds what the run was to write there.
    for (const std::string& f : folders) {
        if (std::find(folder.initialFolders.begin(), folder.initialFolders.end(), f) !=
            folder.initialFolders.end()) {
            continue;
        }
        const bool holdsDestination =
            outcome->destinationExists && folder.destination.rfind(f, 0) == 0;
        const bool holdsSettings = outcome->settingsExists && folder.envFile.rfind(f, 0) == 0;
        if (!holdsDestination && !holdsSettings) stray.push_back(f.substr(0, f.size() - 1));
    }
    for (const std::string& path : stray) {
        outcome->strayPaths.push_back(path);
        const std::string target = folder.TargetOf(path);
        const std::string name = target.empty() ? "unknown" : target;
        if (std::find(outcome->leftOver.begin(), outcome->leftOver.end(), name) ==
            outcome->leftOver.end()) {
            outcome->leftOver.push_back(name);
        }
    }
    std::sort(outcome->leftOver.begin(), outcome->leftOver.end());

    files.clear();
    ListFiles(folder.root, &files);
    files.push_back(folder.definition);
    for (const std::string& file : files) {
        HANDLE h = CreateFileA(file.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
        } else if (GetLastError() == ERROR_SHARING_VIOLATION) {
            outcome->lockedFiles.push_back(file);
        }
    }
}

std::string CommandLineFields(HWND host, const std::string& destination) {
    return std::to_string(static_cast<long>(reinterpret_cast<LONG_PTR>(host))) + "," +
           std::to_string(kCompletion) + ",2," + destination;
}

struct CleanRun {
    std::map<std::string, int> counts;
    std::string document;
};

const CleanRun& CleanRunFor(const std::vector<faulttable::Fault>& faults) {
    static std::map<std::string, CleanRun> cache;
    const std::string key = SetupKey(faults);
    auto it = cache.find(key);
    if (it != cache.end()) return it->second;
    faulttable::Row row;
    row.id = "clean";
    for (const faulttable::Fault& f : faults) {
        if (f.seam == "absent") row.faults.push_back(f);
    }
    const Outcome outcome = RunInProcess(row);
    CleanRun clean;
    for (const SeamCall& call : outcome.fileCalls)
        ++clean.counts["file " + call.op + " " + call.target];
    for (const auto& call : outcome.hostCalls) clean.counts["host " + call.first] = call.second;
    clean.document = outcome.destination;
    return cache.emplace(key, clean).first->second;
}

void WaitUntilNotHeld(const std::string& path) {
    for (int tries = 0; tries < 100; ++tries) {
        HANDLE h = CreateFileA(path.c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            CloseHandle(h);
            return;
        }
        if (GetLastError() != ERROR_SHARING_VIOLATION) return;
        Sleep(100);
    }
}

std::string BinDir() { return Backslashes(VELNOR_BIN_DIR) + "\\"; }

}  // namespace

// ---- the run's files

const std::vector<std::string>& RunFolder::Targets() {
    static const std::vector<std::string> targets = {"export-temp", "destination", "dest-folder",
                                                     "env",         "env-temp",    "env-folder",
                                                     "definition",  "support",     "host-data"};
    return targets;
}

RunFolder::RunFolder(const std::vector<faulttable::Fault>& faults,
                     const std::string& programFolder) {
    for (const faulttable::Fault& f : faults) {
        if (f.seam == "absent") absent_.insert(f.target);
    }
    root = scratch_.path();
    CreateDirectoryA((root + "out").c_str(), nullptr);

    destinationFolder = Absent("dest-folder") ? root + "out\\new\\sub\\" : root + "out\\";
    destination = destinationFolder + "export.xml";
    envFolder = Absent("env-folder") ? root + "envnew\\deeper\\" : root + "env\\";
    envFile = envFolder + "VelnorPro.env";
    definition = (programFolder.empty() ? root : programFolder) + "MerovinDef.ini";
    remembered_ = root + "out\\remembered.xml";

    if (!Absent("dest-folder")) {
        velnor_test::WriteFile(destination, kOldDocument);
        destinationExisted = true;
        oldDestination = kOldDocument;
    }
    if (!Absent("env-folder")) {
        CreateDirectoryA(envFolder.c_str(), nullptr);
        if (!Absent("env")) {
            oldSettings = std::string(kUserKey) + "0/0/1/" + remembered_ + "\n" + kOtherUserLine;
            velnor_test::WriteFile(envFile, oldSettings);
            settingsExisted = true;
        }
    }
    if (!Absent("support")) velnor_test::WriteFile(root + "SUPPORT.INF", kSupportFile);
    if (Absent("definition")) {
        DeleteFileA(definition.c_str());
    } else {
        velnor_test::WriteFile(definition, kDefinitionFile);
    }

    ListFolders(root, &initialFolders);

    // Temporary files are named after their destination: "export.xml.~velnor-k3f9q2.tmp".
    parts_["export-temp"] = destination + ".";
    parts_["destination"] = destination;
    parts_["dest-folder"] = Absent("dest-folder") ? root + "out\\new" : root + "out";
    parts_["env"] = envFile;
    parts_["env-temp"] = envFile + ".";
    parts_["env-folder"] = Absent("env-folder") ? root + "envnew" : root + "env";
    parts_["definition"] = definition;
    parts_["support"] = "SUPPORT.INF";
    parts_["host-data"] = root + "host.json";
}

RunFolder::~RunFolder() {
    // The definition file beside this test program is shared by every run.
    if (Absent("definition")) velnor_test::WriteFile(definition, kDefinitionFile);
}

std::string RunFolder::PathPart(const std::string& target) const {
    const auto it = parts_.find(target);
    return it == parts_.end() ? std::string() : it->second;
}

std::string RunFolder::TargetOf(const std::string& path) const {
    std::string best;
    size_t bestLength = 0;
    for (const auto& part : parts_) {
        if (part.second.size() > bestLength && path.find(part.second) != std::string::npos) {
            best = part.first;
            bestLength = part.second.size();
        }
    }
    return best;
}

std::string RunFolder::HostData(const std::vector<faulttable::Fault>& faults,
                                const std::map<std::string, int>& lastCalls) const {
    std::string faultList, fatalCodes;
    for (const faulttable::Fault& f : faults) {
        if (f.seam != "host") continue;
        if (!faultList.empty()) faultList += ", ";
        faultList += "{\"op\": " + velnor_test::JsonText(f.op) +
                     ", \"at\": " + std::to_string(CallNumber(f, lastCalls));
        if (f.hasCode) faultList += ", \"code\": " + std::to_string(f.code);
        if (!f.kind.empty()) faultList += ", \"kind\": " + velnor_test::JsonText(f.kind);
        faultList += "}";
        if (f.fatal) fatalCodes += (fatalCodes.empty() ? "" : ", ") + std::to_string(f.code);
    }
    return u8R"({"user": {"id": "admin", "selected": [1, 3]},
  "appFolders": {"0": )" +
           velnor_test::JsonText(root) + ", \"1\": " + velnor_test::JsonText(envFolder) +
           u8R"(},
  "fatalCodes": [)" +
           fatalCodes +
           u8R"(],
  "faults": [)" +
           faultList +
           u8R"(],
  "dataSets": [
    {"id": "D0001", "number": 1, "company": "株式会社ベルナー商事", "periodStart": 20240101,
     "periodEnd": 20241231},
    {"id": "D0003", "number": 3, "company": "ベルナー不動産販売", "periodStart": 20240401,
     "periodEnd": 20250331, "businessKinds": 3,
     "assets": [
       {"name": "営業車", "businessCategory": 1, "acquired": 20230610, "cost": "3200000",
        "bookValueStart": "2133334", "method": 8, "life": 6, "rate": 333,
        "ordinary": "710400", "expenses": "710400", "unamortizedEnd": "1422934"},
       {"name": "旧倉庫", "businessCategory": 1, "disposalState": 4, "disposed": 20241015,
        "acquired": 20100401, "cost": "1000000", "method": 8, "life": 4, "rate": 500,
        "ordinary": "250000", "expenses": "250000"},
       {"name": "賃貸マンション", "businessCategory": 2, "acquired": 20150301,
        "cost": "50000000", "method": 1, "life": 47, "rate": 22, "ordinary": "1100000",
        "expenses": "1100000"},
       {"name": "ノートパソコン", "businessCategory": 1, "acquired": 20240501, "cost": "150000",
        "method": 7, "ordinary": "150000", "expenses": "150000"}
     ]}
  ]})";
}

std::string RunFolder::ExpectedSettings(bool reset) const {
    const std::string line = std::string(kUserKey) + "0/0/1/" +
                             (settingsExisted && !reset ? remembered_ : std::string()) + "\n";
    return (settingsExisted ? std::string(kOtherUserLine) : std::string()) + line;
}

// ---- runs

std::string LogToken(const std::string& kind, const std::vector<std::string>& fields) {
    if ((kind == "SetLastError" || kind == "FatalError") && !fields.empty()) {
        return kind + "(" + fields[0] + ")";
    }
    if (kind == "Leak") {
        std::string token = kind + "(";
        for (size_t i = 0; i < fields.size(); ++i) token += (i ? "," : "") + fields[i];
        return token + ")";
    }
    return kind;
}

std::map<std::string, int> CleanRunCounts(const std::vector<faulttable::Fault>& faults) {
    return CleanRunFor(faults).counts;
}

std::string CleanRunDocument(const std::vector<faulttable::Fault>& faults) {
    return CleanRunFor(faults).document;
}

std::string ProgramFolder() {
    char module[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, module, MAX_PATH);
    std::string path = module;
    return path.substr(0, path.find_last_of('\\') + 1);
}

namespace {

bool NeedsCounts(const faulttable::Row& row) {
    for (const faulttable::Fault& f : row.faults) {
        if (f.atLast) return true;
    }
    return false;
}

}  // namespace

Outcome RunInProcess(const faulttable::Row& row) {
    const std::map<std::string, int> counts =
        NeedsCounts(row) ? CleanRunCounts(row.faults) : std::map<std::string, int>();
    RunFolder folder(row.faults, ProgramFolder());
    Outcome outcome;
    Context context;
    context.folder = &folder;
    context.outcome = &outcome;

    hoststandin::Reset();
    velnor::ResetFileFaults();
    if (folder.Absent("host-data")) {
        SetVariable("VELNOR_HOST_DATA", folder.root + "missing.json");
    } else {
        const std::string why = hoststandin::LoadFromString(folder.HostData(row.faults, counts));
        if (!why.empty()) {
            outcome.report = "host data refused: " + why;
            return outcome;
        }
    }
    for (const faulttable::Fault& f : row.faults) {
        if (f.seam == "file") {
            for (velnor::FileOp op : velnor::kAllFileOps) {
                if (f.op == velnor::FileOpName(op)) {
                    velnor::PlanFileFault(op, CallNumber(f, counts), folder.PathPart(f.target));
                }
            }
        } else if (f.seam == "memory" && f.op == "support") {
            g_supportFailures.insert(f.at);
            ClSupportInf::SetAllocator(SupportAllocation);
        } else if (f.seam == "memory" && f.op == "aggregation") {
            velnor::PlanAggregationAllocationFault(f.at);
        }
    }

    char previousFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    SetCurrentDirectoryA(folder.root.c_str());
    context.host = CreateHostWindow();
    g_run = &context;
    velnor::SetFileOpObserver(OnFileCall);
    const velnor::MessageBoxFn previousBoxes = velnor::SetMessageBoxHook(OnMessageBox);
    const velnor::MessageBoxFn previousHostBoxes = hoststandin::SetMessageBoxHook(OnMessageBox);
    const fw::CDialog::ModalStartHook previousStart = fw::CDialog::SetModalStartHook(OnModalStart);
    {
        ClLinkApp app;
        fw::AfxWinMain(GetModuleHandleA(nullptr),
                       CommandLineFields(context.host, folder.destination).c_str(), SW_SHOW);
        outcome.resultCode = app.GetResultCode();
    }
    fw::CDialog::SetModalStartHook(previousStart);
    hoststandin::SetMessageBoxHook(previousHostBoxes);
    velnor::SetMessageBoxHook(previousBoxes);
    velnor::SetFileOpObserver(nullptr);
    g_run = nullptr;
    ClSupportInf::SetAllocator(nullptr);
    g_supportFailures.clear();
    velnor::PlanAggregationAllocationFault(0);
    velnor::ResetFileFaults();
    SetCurrentDirectoryA(previousFolder);
    SetVariable("VELNOR_HOST_DATA", "");

    MSG msg;
    while (PeekMessageA(&msg, context.host, kCompletion, kCompletion, PM_REMOVE)) {
        ++outcome.posts;
        outcome.wParam = msg.wParam;
        outcome.lParam = msg.lParam;
    }
    outcome.disabledMeanwhile = std::find(context.enableLog.begin(), context.enableLog.end(),
                                          "disabled") != context.enableLog.end();
    outcome.enabledAtEnd = IsWindowEnabled(context.host) != FALSE;
    DestroyWindow(context.host);

    for (const hoststandin::LogRecord& record : hoststandin::Log()) {
        outcome.hostLog.push_back(LogToken(record.kind, record.fields));
        if (record.kind == "SetLastError" && record.fields.size() > 1) {
            outcome.modules.push_back(record.fields[1]);
        }
    }
    outcome.hostCalls = hoststandin::CallCounts();
    outcome.leakedObjects = hoststandin::LiveRuleObjects() + hoststandin::OpenEnumerations() +
                            hoststandin::OpenCursors() + hoststandin::LivePeriodObjects();
    InspectFiles(folder, &outcome);
    return outcome;
}

Outcome RunProgram(const faulttable::Row& row) {
    const std::map<std::string, int> counts =
        NeedsCounts(row) ? CleanRunCounts(row.faults) : std::map<std::string, int>();
    RunFolder folder(row.faults, "");
    Outcome outcome;
    // The test build of the program: only it obeys VELNOR_FILE_FAULTS.
    const std::string program = folder.root + "VelnorPro.exe";
    if (!CopyFileA((BinDir() + "VelnorPro-faults.exe").c_str(), program.c_str(), FALSE)) {
        outcome.report = "cannot copy VelnorPro-faults.exe from " + BinDir();
        return outcome;
    }
    const std::string hostData = folder.root + "host.json";
    if (!folder.Absent("host-data"))
        velnor_test::WriteFile(hostData, folder.HostData(row.faults, counts));
    std::string plans;
    for (const faulttable::Fault& f : row.faults) {
        if (f.seam != "file") continue;
        if (!plans.empty()) plans += ",";
        plans +=
            f.op + ":" + std::to_string(CallNumber(f, counts)) + ":" + folder.PathPart(f.target);
    }
    const std::string log = folder.root + "host.log";
    SetVariable("VELNOR_HOST_DATA",
                folder.Absent("host-data") ? folder.root + "missing.json" : hostData);
    SetVariable("VELNOR_HOST_LOG", log);
    SetVariable("VELNOR_FILE_FAULTS", plans);
    char previousFolder[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previousFolder);
    SetCurrentDirectoryA(folder.root.c_str());

    const std::string commandLine = "\"" + BinDir() + "host-simulator.exe\" --timeout 60 " +
                                    "--program \"" + program + "\" --output \"" +
                                    folder.destination + "\"";
    const std::string report = folder.root + "simulator.txt";
    HANDLE simulator = guidriver::StartProcess(commandLine, report);
    bool pressed = false;
    bool ended = false;
    if (simulator != nullptr) {
        ended = guidriver::DriveUntilExit(simulator, 90000, [&](HWND dialog) {
            if (guidriver::WindowText(dialog) == kConditionsCaption) {
                if (!pressed) guidriver::PressButton(dialog, IDOK);
                pressed = true;
                return true;
            }
            if (!guidriver::IsMessageBox(dialog)) return false;
            const int answer = GetDlgItem(dialog, IDYES) != nullptr ? IDYES : IDOK;
            const guidriver::SeenBox seen = guidriver::AnswerMessageBox(dialog, answer);
            outcome.boxes.push_back(Box{seen.text, seen.caption, 0, false});
            return true;
        });
        guidriver::EndProcess(simulator, ended);
    }
    // After a crash the system's debugger inherits the report as its output and may still
    // hold it for a moment after the program has gone.
    WaitUntilNotHeld(report);
    SetCurrentDirectoryA(previousFolder);
    SetVariable("VELNOR_HOST_DATA", "");
    SetVariable("VELNOR_HOST_LOG", "");
    SetVariable("VELNOR_FILE_FAULTS", "");

    outcome.report = velnor_test::ReadFile(report);
    if (!ended) outcome.report += "\n(the run did not end in time)";
    std::map<std::string, std::string> result;
    std::istringstream lines(outcome.report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("RESULT ", 0) != 0) continue;
        std::istringstream fields(line.substr(7));
        for (std::string field; fields >> field;) {
            const size_t eq = field.find('=');
            if (eq != std::string::npos) result[field.substr(0, eq)] = field.substr(eq + 1);
        }
    }
    outcome.posts = std::atoi(result["posts"].c_str());
    outcome.wParam = std::strtoull(result["wparam"].c_str(), nullptr, 16);
    outcome.lParam = std::atoll(result["lparam"].c_str());
    outcome.resultCode = outcome.posts > 0 ? static_cast<int>(outcome.lParam) : -1;
    outcome.disabledMeanwhile = result["disabled-meanwhile"] == "yes";
    outcome.enabledAtEnd = result["enabled-now"] == "yes" &&
                           (outcome.posts == 0 || result["enabled-at-completion"] == "yes");

    std::istringstream logLines(velnor_test::ReadFile(log));
    for (std::string line; std::getline(logLines, line);) {
        std::vector<std::string> fields;
        size_t start = 0;
        for (;;) {
            const size_t tab = line.find('\t', start);
            fields.push_back(line.substr(start, tab == std::string::npos ? tab : tab - start));
            if (tab == std::string::npos) break;
            start = tab + 1;
        }
        const std::string kind = fields[0];
        fields.erase(fields.begin());
        outcome.hostLog.push_back(LogToken(kind, fields));
        if (kind == "SetLastError" && fields.size() > 1) outcome.modules.push_back(fields[1]);
    }
    InspectFiles(folder, &outcome);
    return outcome;
}

}  // namespace faultmatrix
