// Whole runs of the real programs through the host simulator under Wine, the conditions
// dialog worked as a user works it: what the dialog shows when it opens, the business
// category chosen, the messages, the XML file written, the result posted to the host and
// the remembered-destination file afterwards. The runs of one test share a folder, so
// that each run sees what the runs before it remembered.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "support/Json.h"
#include "support/Messages.h"
#include "support/Scratch.h"
#include "tools/window-driver/WindowDriver.h"

namespace {

constexpr int kEditOutput = 1014;
constexpr int kOutputGroup = 1013;
constexpr int kBrowse = 1015;
constexpr int kCategoryButtons[3] = {1010, 1011, 1012};

using velnor_test::kDialogCaption;
using velnor_test::kTitle;
const std::string kSuccess = velnor_test::kSuccessText;
const std::string kFailure = velnor_test::kFailureText;
const std::string kCancel = velnor_test::kCancelText;
const std::string kPastResults = velnor_test::kPastResultsText;
const std::string kOverwrite = velnor_test::kOverwriteText;
const std::string kCreateFolder = velnor_test::kCreateFolderText;

std::string BinDir() {
    std::string path = VELNOR_BIN_DIR;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path + "\\";
}

// A test's folder: the programs with the receiving product's definition file, the host's
// folders, and the destinations. Removed with everything in it.
class TestFolder {
  public:
    explicit TestFolder(const std::string& name) : folder_("whole-" + name), path_(folder_.path()) {
        CreateDirectoryA((path_ + "dest").c_str(), nullptr);
        for (const char* edition :
             {"VelnorPro", "VelnorStd", "VelnorPro-faults", "VelnorStd-faults"}) {
            const std::string exe = std::string(edition) + ".exe";
            CopyFileA((BinDir() + exe).c_str(), (path_ + exe).c_str(), FALSE);
        }
        velnor_test::WriteFile(path_ + "MerovinDef.ini", "[ProgramLevel]\r\nMV14_G=2\r\n");
    }

    const std::string& path() const { return path_; }
    std::string dest(const std::string& name) const { return path_ + "dest\\" + name; }
    // The host's folder of type 1, three levels that no run has made yet.
    std::string envFolder() const { return path_ + "host1\\a\\b\\"; }
    std::string EnvFile(const std::string& edition = "VelnorPro") const {
        return velnor_test::ReadFile(envFolder() + edition + ".env");
    }
    void Remember(const std::string& edition, const std::string& content) const {
        for (const char* level : {"host1", "host1\\a", "host1\\a\\b"}) {
            CreateDirectoryA((path_ + level).c_str(), nullptr);
        }
        velnor_test::WriteFile(envFolder() + edition + ".env", content);
    }
    // Names and contents of the files in the destination folder.
    std::map<std::string, std::string> Destinations() const {
        std::map<std::string, std::string> files;
        WIN32_FIND_DATAA entry;
        HANDLE find = FindFirstFileA((path_ + "dest\\*").c_str(), &entry);
        if (find == INVALID_HANDLE_VALUE) return files;
        do {
            if (!(entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) {
                files[entry.cFileName] = velnor_test::ReadFile(dest(entry.cFileName));
            }
        } while (FindNextFileA(find, &entry));
        FindClose(find);
        return files;
    }

  private:
    velnor_test::ScratchFolder folder_;
    std::string path_;
};

// The company: two assets of each business category, interleaved in the host's order.
const char kAssets[] =
    u8R"([
  {"typeCode": 5, "name": "営業車", "quantity": "1台", "acquired": 20230610, "cost": "3200000",
   "bookValueStart": "1719793", "method": 8, "life": 6, "rate": 333, "businessRatio": 8000,
   "baseAmount": "1719793", "unamortizedEnd": "1147102", "businessCategory": 1,
   "ordinary": "572691", "expenses": "458152.8"},
  {"typeCode": 1, "name": "賃貸アパート", "quantity": "8室", "acquired": 20160301,
   "cost": "24000000", "bookValueStart": "14248000", "method": 2, "life": 22, "rate": 46,
   "baseAmount": "24000000", "unamortizedEnd": "13144000", "businessCategory": 2,
   "ordinary": "1104000", "expenses": "1104000"},
  {"typeCode": 3, "name": "倉庫", "quantity": "1棟", "acquired": 20000401, "cost": "5000000",
   "bookValueStart": "805796", "method": 1, "life": 30, "rate": 74, "baseAmount": "805796",
   "unamortizedEnd": "746167", "businessCategory": 1, "ordinary": "59629", "expenses": "59629"},
  {"typeCode": 3, "name": "駐車場舗装", "quantity": "1式", "acquired": 20190901,
   "cost": "2800000", "bookValueStart": "1306667", "method": 2, "life": 10, "rate": 100,
   "baseAmount": "2800000", "unamortizedEnd": "1026667", "businessCategory": 2,
   "ordinary": "280000", "expenses": "280000"}
])";
const std::vector<std::string> kGeneralAssets = {"営業車", "倉庫"};
const std::vector<std::string> kRealEstateAssets = {"賃貸アパート", "駐車場舗装"};
const std::vector<std::string> kAllAssets = {"営業車", "賃貸アパート", "倉庫", "駐車場舗装"};

struct HostSetup {
    std::string user = "yamada";
    int dataKind = 0;  // 99: past-results data
    std::string faults = "[]";
};

std::string HostData(const TestFolder& folder, const HostSetup& setup) {
    return u8R"({"user": {"id": )" + velnor_test::JsonText(setup.user) +
           u8R"(, "selected": [1, 7]},
      "appFolders": {"0": )" +
           velnor_test::JsonText(folder.path() + "host0\\") +
           ", \"1\": " + velnor_test::JsonText(folder.envFolder()) +
           u8R"(},
      "faults": )" +
           setup.faults +
           u8R"(,
      "dataSets": [{"id": "K0007", "number": 7, "company": "株式会社ベルナー商事",
        "periodStart": 20250101, "periodEnd": 20251231, "businessKinds": 3,
        "kind": )" +
           std::to_string(setup.dataKind) + ", \"assets\": " + kAssets + "}]}";
}

enum class Finish { kF12, kEsc, kCloseBox, kCancelButton, kLeave };

struct ProgramRun {
    std::string edition = "VelnorPro";
    HostSetup host;
    bool standalone = false;
    std::string fixedOutput;  // the host's fixed output path, when not empty
    int category = 0;         // 1 to 3: the button to click; 0 leaves the dialog's choice
    std::string output;       // typed into the destination when not empty
    Finish finish = Finish::kF12;
    std::string fileFaults;  // VELNOR_FILE_FAULTS of the program's test build
};

// What the conditions dialog showed when it opened.
struct DialogView {
    bool seen = false;
    std::string output;
    std::string outputGroup;
    int checked = 0;  // 1 to 3
    bool enabled[3] = {};
    bool outputEnabled = false;
    bool browseEnabled = false;
};

struct Outcome {
    DialogView dialog;
    bool finished = false;  // the dialog answered the key or button that ended it
    std::vector<guidriver::SeenBox> boxes;
    std::vector<std::string> progressCaptions;  // when each box showed; empty: no window
    int exitCode = -1;
    std::map<std::string, std::string> result;  // the simulator's RESULT line
    std::string report;
};

std::string Text(HWND window) { return guidriver::WindowText(window); }

// An edit control keeps its text to itself: it is asked for it.
std::string ControlText(HWND control) {
    wchar_t wide[1024] = {};
    DWORD_PTR length = 0;
    SendMessageTimeoutW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(wide), SMTO_ABORTIFHUNG,
                        2000, &length);
    char text[2048] = {};
    const int n = WideCharToMultiByte(932, 0, wide, static_cast<int>(length), text, sizeof text,
                                      nullptr, nullptr);
    return std::string(text, n > 0 ? static_cast<size_t>(n) : 0);
}

bool Checked(HWND button) {
    DWORD_PTR state = 0;
    SendMessageTimeoutA(button, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, 2000, &state);
    return state == BST_CHECKED;
}

DialogView Look(HWND dialog) {
    DialogView view;
    view.seen = true;
    view.output = ControlText(GetDlgItem(dialog, kEditOutput));
    view.outputGroup = Text(GetDlgItem(dialog, kOutputGroup));
    for (int i = 0; i < 3; ++i) {
        HWND button = GetDlgItem(dialog, kCategoryButtons[i]);
        view.enabled[i] = IsWindowEnabled(button) != FALSE;
        if (Checked(button)) view.checked = i + 1;
    }
    view.outputEnabled = IsWindowEnabled(GetDlgItem(dialog, kEditOutput)) != FALSE;
    view.browseEnabled = IsWindowEnabled(GetDlgItem(dialog, kBrowse)) != FALSE;
    return view;
}

void Work(const ProgramRun& run, HWND dialog, HANDLE simulator, Outcome* out) {
    if (run.category != 0) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, kCategoryButtons[run.category - 1]), BM_CLICK, 0, 0,
                            SMTO_ABORTIFHUNG, 2000, &ignored);
    }
    if (!run.output.empty()) {
        DWORD_PTR ignored = 0;
        SendMessageTimeoutA(GetDlgItem(dialog, kEditOutput), WM_SETTEXT, 0,
                            reinterpret_cast<LPARAM>(run.output.c_str()), SMTO_ABORTIFHUNG, 2000,
                            &ignored);
    }
    auto answered = [&] {
        if (!IsWindowVisible(dialog)) return true;
        for (HWND other : guidriver::DialogsOf(guidriver::ProcessTree(simulator))) {
            if (other != dialog && guidriver::IsMessageBox(other)) return true;
        }
        return false;
    };
    switch (run.finish) {
        case Finish::kF12:
            out->finished = guidriver::PressKeyUntil(dialog, VK_F12, answered);
            break;
        case Finish::kEsc:
            out->finished = guidriver::PressKeyUntil(dialog, VK_ESCAPE, answered);
            break;
        case Finish::kCloseBox:
            out->finished = PostMessageA(dialog, WM_SYSCOMMAND, SC_CLOSE, 0) != FALSE;
            break;
        case Finish::kCancelButton:
            out->finished = guidriver::PressButton(dialog, IDCANCEL);
            break;
        case Finish::kLeave:
            break;
    }
}

Outcome Execute(const TestFolder& folder, const ProgramRun& run) {
    velnor_test::WriteFile(folder.path() + "host.json", HostData(folder, run.host));
    SetEnvironmentVariableA("VELNOR_HOST_DATA", (folder.path() + "host.json").c_str());
    SetEnvironmentVariableA("VELNOR_FILE_FAULTS",
                            run.fileFaults.empty() ? nullptr : run.fileFaults.c_str());
    std::string commandLine = "\"" + BinDir() + "host-simulator.exe\" --timeout 120 --program \"" +
                              folder.path() + run.edition +
                              (run.fileFaults.empty() ? ".exe\"" : "-faults.exe\"");
    if (run.standalone) commandLine += " --standalone";
    if (!run.fixedOutput.empty()) commandLine += " --output \"" + run.fixedOutput + "\"";
    const std::string report = folder.path() + "simulator.txt";
    HANDLE simulator = guidriver::StartProcess(commandLine, report);
    SetEnvironmentVariableA("VELNOR_HOST_DATA", nullptr);
    SetEnvironmentVariableA("VELNOR_FILE_FAULTS", nullptr);
    Outcome out;
    EXPECT_NE(nullptr, simulator) << commandLine;
    if (simulator == nullptr) return out;

    const bool ended = guidriver::DriveUntilExit(simulator, 130000, [&](HWND dialog) {
        if (Text(dialog) == kDialogCaption) {
            out.dialog = Look(dialog);
            Work(run, dialog, simulator, &out);
            return true;
        }
        if (!guidriver::IsMessageBox(dialog)) return false;
        HWND progress = guidriver::FindWindowOf(guidriver::ProcessTree(simulator), "集計中");
        out.progressCaptions.push_back(progress != nullptr ? Text(progress) : std::string());
        const int answer = GetDlgItem(dialog, IDYES) != nullptr ? IDYES : IDOK;
        out.boxes.push_back(guidriver::AnswerMessageBox(dialog, answer));
        return true;
    });
    EXPECT_TRUE(ended) << guidriver::DescribeForeignWindows();
    out.exitCode = static_cast<int>(guidriver::EndProcess(simulator, ended));
    out.report = velnor_test::ReadFile(report);
    std::istringstream lines(out.report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("RESULT ", 0) != 0) continue;
        std::istringstream fields(line.substr(7));
        for (std::string field; fields >> field;) {
            const size_t eq = field.find('=');
            if (eq != std::string::npos) out.result[field.substr(0, eq)] = field.substr(eq + 1);
        }
    }
    return out;
}

// The texts of the document's elements `tag`, in order.
std::vector<std::string> Elements(const std::string& xml, const std::string& tag) {
    std::vector<std::string> texts;
    const std::string open = "<" + tag + ">";
    const std::string close = "</" + tag + ">";
    for (size_t at = xml.find(open); at != std::string::npos; at = xml.find(open, at)) {
        at += open.size();
        const size_t end = xml.find(close, at);
        if (end == std::string::npos) break;
        texts.push_back(xml.substr(at, end - at));
    }
    return texts;
}

std::vector<std::string> Texts(const std::vector<guidriver::SeenBox>& boxes) {
    std::vector<std::string> texts;
    for (const guidriver::SeenBox& box : boxes) texts.push_back(box.text);
    return texts;
}

// The run posted `result` to the host window, which it disabled meanwhile and gave back.
void ExpectPosted(const Outcome& o, int result, const std::string& name) {
    EXPECT_EQ(result, o.exitCode) << name << "\n" << o.report;
    EXPECT_EQ(std::to_string(result), o.result.at("lparam")) << name;
    EXPECT_EQ("0x00000002", o.result.at("wparam")) << name;
    EXPECT_EQ("yes", o.result.at("enabled-now")) << name;
}

// Every message of the run is the program's own and belongs to one of its windows.
void ExpectCaptions(const Outcome& o, const std::string& name) {
    for (const guidriver::SeenBox& box : o.boxes) {
        EXPECT_EQ(kTitle, box.caption) << name;
        EXPECT_TRUE(box.hasOwner) << name;
    }
}

// The dialog opened with `output` and category `checked`, everything open to change
// unless the destination was fixed, and answered what ended it.
void ExpectDialog(const Outcome& o, const std::string& output, int checked, const std::string& name,
                  bool fixed = false) {
    ASSERT_TRUE(o.dialog.seen) << name;
    EXPECT_EQ(output, o.dialog.output) << name;
    EXPECT_EQ(checked, o.dialog.checked) << name;
    EXPECT_EQ(fixed ? "出力先" : "出力先(&F)", o.dialog.outputGroup) << name;
    for (bool enabled : o.dialog.enabled) EXPECT_TRUE(enabled) << name;
    EXPECT_EQ(!fixed, o.dialog.outputEnabled) << name;
    EXPECT_EQ(!fixed, o.dialog.browseEnabled) << name;
    EXPECT_TRUE(o.finished) << name;
}

// Each run exports one business category and remembers it with its destination for the
// user who ran it; a run started by the host remembers the category only; cancelling
// changes nothing. "ada" is the end of "yamada" and must never see yamada's entry.
TEST(WholeRun, CategoriesAndDestinationsRememberedPerUser) {
    TestFolder folder("remembered");
    const std::string defaultOutput = folder.path() + "host0\\*.xml";
    const std::string yamadaPath = folder.dest("yamada.xml");
    const std::string suzukiPath = folder.dest("new\\a\\b\\suzuki.xml");
    const std::string adaPath = folder.dest("ada.xml");
    const std::string hostPath = folder.dest("host-bound.xml");
    const std::string yamadaLine = "yamada/1/7:0/0/2/" + yamadaPath + "\n";
    const std::string suzukiLine = "suzuki/1/7:0/0/1/" + suzukiPath + "\n";
    const std::string yamadaRebound = "yamada/1/7:0/0/3/" + yamadaPath + "\n";
    const std::string adaLine = "ada/1/7:0/0/1/" + adaPath + "\n";

    struct Step {
        const char* name;
        std::string user;
        bool standalone;
        int category;
        std::string output;
        // what the dialog opens with
        std::string shown;
        int checked;
        // what the run leaves
        std::vector<std::string> boxes;
        std::vector<std::string> assets;  // in the XML file at `output`
        std::string envFile;
    };
    const Step steps[] = {
        {"yamada's first run, real estate",
         "yamada",
         true,
         2,
         yamadaPath,
         defaultOutput,
         1,
         {kSuccess},
         kRealEstateAssets,
         yamadaLine},
        {"suzuki's first run, general use, into three new folders",
         "suzuki",
         true,
         1,
         suzukiPath,
         defaultOutput,
         1,
         {kCreateFolder, kSuccess},
         kGeneralAssets,
         yamadaLine + suzukiLine},
        {"yamada started by the host, both",
         "yamada",
         false,
         3,
         hostPath,
         yamadaPath,
         2,
         {kSuccess},
         kAllAssets,
         suzukiLine + yamadaRebound},
        {"ada's first run",
         "ada",
         true,
         1,
         adaPath,
         defaultOutput,
         1,
         {kSuccess},
         kGeneralAssets,
         suzukiLine + yamadaRebound + adaLine},
    };
    for (const Step& s : steps) {
        ProgramRun run;
        run.host.user = s.user;
        run.standalone = s.standalone;
        run.category = s.category;
        run.output = s.output;
        const Outcome o = Execute(folder, run);
        ExpectDialog(o, s.shown, s.checked, s.name);
        EXPECT_EQ(s.boxes, Texts(o.boxes)) << s.name;
        ExpectCaptions(o, s.name);
        ASSERT_FALSE(o.progressCaptions.empty()) << s.name;
        EXPECT_EQ("集計中 100％", o.progressCaptions.back()) << s.name;
        if (s.standalone) {
            EXPECT_EQ(3, o.exitCode) << s.name << "\n" << o.report;
            EXPECT_EQ("no", o.result.at("posted")) << s.name;
        } else {
            ExpectPosted(o, 0, s.name);
        }
        const std::string xml = velnor_test::ReadFile(s.output);
        EXPECT_EQ(0u,
                  xml.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n<REPORT>\r\n", 0))
            << s.name;
        EXPECT_EQ(s.assets, Elements(xml, "SISANMEI")) << s.name;
        EXPECT_EQ(std::vector<std::string>{"2"}, Elements(xml, "FUNCTIONID")) << s.name;
        EXPECT_EQ(s.envFile, folder.EnvFile()) << s.name;
    }

    // Each user's next run opens with what that user left; cancelling it in any of the
    // three ways writes nothing and leaves the remembered file as it was.
    const std::map<std::string, std::string> written = folder.Destinations();
    const std::string envFile = folder.EnvFile();
    const struct {
        const char* name;
        std::string user;
        Finish finish;
        std::string shown;
        int checked;
    } cancels[] = {
        {"yamada cancels with Esc", "yamada", Finish::kEsc, yamadaPath, 3},
        {"ada cancels with the close box", "ada", Finish::kCloseBox, adaPath, 1},
        {"suzuki cancels with the button", "suzuki", Finish::kCancelButton, suzukiPath, 1},
    };
    for (const auto& c : cancels) {
        ProgramRun run;
        run.host.user = c.user;
        run.finish = c.finish;
        const Outcome o = Execute(folder, run);
        ExpectDialog(o, c.shown, c.checked, c.name);
        EXPECT_EQ(std::vector<std::string>{kCancel}, Texts(o.boxes)) << c.name;
        ExpectCaptions(o, c.name);
        EXPECT_EQ(std::vector<std::string>{""}, o.progressCaptions) << c.name;
        ExpectPosted(o, 1, c.name);
        EXPECT_EQ(written, folder.Destinations()) << c.name;
        EXPECT_EQ(envFile, folder.EnvFile()) << c.name;
    }
}

// Runs that end without an export: the destination keeps what it held, nothing is left
// beside it, and the remembered file stays as it was.
TEST(WholeRun, RefusalsAndFailuresLeaveEverythingAsItWas) {
    TestFolder folder("failures");
    const std::string destination = folder.dest("kept.xml");
    const std::string envFile = "yamada/1/7:0/0/3/" + destination + "\nother/1/7:0/0/1/C:\\o.xml\n";
    folder.Remember("VelnorStd", envFile);
    const std::string kept = "<?xml version=\"1.0\"?>\r\n<REPORT>last year</REPORT>\r\n";
    velnor_test::WriteFile(destination, kept);

    const struct {
        const char* name;
        int dataKind;
        std::string hostFaults;
        std::string fileFaults;
        Finish finish;
        std::vector<std::string> boxTexts;
        int result;
        bool dialogSeen;
        std::string lastProgress;  // the progress window's caption at the last message
    } cases[] = {
        {"past-results data", 99, "[]", "", Finish::kLeave, {kPastResults}, 1, false, ""},
        {"the enumeration fails on the second asset",
         0,
         R"([{"op": "Move", "at": 2, "code": 31}])",
         "",
         Finish::kF12,
         {kOverwrite, kFailure},
         2,
         true,
         "集計中"},
        {"the export fails writing the file",
         0,
         "[]",
         "write:1:\\dest\\",  // the document is one write, made when the file closes
         Finish::kF12,
         {kOverwrite, kFailure},
         2,
         true,
         "集計中 70％"},
    };
    for (const auto& c : cases) {
        ProgramRun run;
        run.edition = "VelnorStd";
        run.host.dataKind = c.dataKind;
        run.host.faults = c.hostFaults;
        run.fileFaults = c.fileFaults;
        run.finish = c.finish;
        const Outcome o = Execute(folder, run);
        EXPECT_EQ(c.dialogSeen, o.dialog.seen) << c.name;
        if (c.dialogSeen) ExpectDialog(o, destination, 3, c.name);
        EXPECT_EQ(c.boxTexts, Texts(o.boxes)) << c.name;
        ExpectCaptions(o, c.name);
        if (!o.progressCaptions.empty()) {
            EXPECT_EQ(c.lastProgress, o.progressCaptions.back()) << c.name;
        }
        ExpectPosted(o, c.result, c.name);
        EXPECT_EQ((std::map<std::string, std::string>{{"kept.xml", kept}}), folder.Destinations())
            << c.name;
        EXPECT_EQ(envFile, folder.EnvFile("VelnorStd")) << c.name;
    }
}

// The host's fixed destination: shown, not to be changed, replaced without a question, and
// not remembered, since the host chose it.
TEST(WholeRun, AFixedDestinationIsReplacedWithoutAskingAndNotRemembered) {
    TestFolder folder("fixed");
    const std::string remembered = folder.dest("remembered.xml");
    const std::string fixed = folder.dest("fixed.xml");
    const std::string envFile = "yamada/1/7:0/0/2/" + remembered + "\n";
    folder.Remember("VelnorPro", envFile);
    velnor_test::WriteFile(fixed, "last year");

    ProgramRun run;
    run.fixedOutput = fixed;
    const Outcome o = Execute(folder, run);
    ExpectDialog(o, fixed, 2, "fixed", true);
    EXPECT_EQ(std::vector<std::string>{kSuccess}, Texts(o.boxes));
    ExpectCaptions(o, "fixed");
    ExpectPosted(o, 0, "fixed");
    EXPECT_EQ(kRealEstateAssets, Elements(velnor_test::ReadFile(fixed), "SISANMEI"));
    EXPECT_EQ(1u, folder.Destinations().size());
    EXPECT_EQ(envFile, folder.EnvFile());
}

}  // namespace
