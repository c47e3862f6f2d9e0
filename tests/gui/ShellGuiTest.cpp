// Both programs started by the host simulator under Wine, each from a folder of its own
// with the host data, the receiving product's definition file and the host log that the
// test writes: the start-up checks, what the user sees, what the host is asked and the
// completion message that comes back to the host window.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "app/ReceivingProduct.h"
#include "support/Scratch.h"
#include "tools/window-driver/WindowDriver.h"

namespace {

const char* const kEditions[] = {"VelnorPro", "VelnorStd"};

std::string Backslashes(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string BinDir() { return Backslashes(VELNOR_BIN_DIR) + "\\"; }

// UTF-8 of a code page 932 text, with line feeds as the host log writes them.
std::string LogText(const std::string& sjis) {
    int wide = MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(932, 0, sjis.data(), static_cast<int>(sjis.size()), &w[0], wide);
    int n = WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, w.data(), wide, &utf8[0], n, nullptr, nullptr);
    std::string escaped;
    for (char c : utf8) {
        if (c == '\n') {
            escaped += "\\n";
        } else {
            escaped += c;
        }
    }
    return escaped;
}

// One scratch folder per run.
using RunFolder = velnor_test::ScratchFolder;

struct RunResult {
    int exitCode = -1;
    std::string xml;              // the output file, when the run asked for one
    std::string progressCaption;  // the progress window's caption when the last box showed
    std::map<std::string, std::string> result;  // the simulator's RESULT line
    std::vector<guidriver::SeenBox> boxes;
    std::vector<std::string> logLines;
    std::string report;
};

struct ProgramRun {
    std::string edition = "VelnorPro";
    const char* level = "2";  // MV14_G; null: no definition file
    std::string hostData;
    std::vector<std::string> simulatorArgs;
    // In the conditions dialog: the output file's name in the run's folder (the fixed
    // one from the command line when `fixedOutput`), or cancel when empty.
    std::string output;
    bool fixedOutput = false;
};

RunResult Execute(const ProgramRun& run, const std::string& name) {
    RunFolder folder(name);
    const std::string program = folder.path() + run.edition + ".exe";
    EXPECT_TRUE(CopyFileA((BinDir() + run.edition + ".exe").c_str(), program.c_str(), FALSE));
    if (run.level != nullptr) {
        velnor_test::WriteFile(folder.path() + "MerovinDef.ini",
                               std::string("[ProgramLevel]\r\nMV14_G=") + run.level + "\r\n");
    }
    if (!run.hostData.empty()) velnor_test::WriteFile(folder.path() + "host.json", run.hostData);
    const std::string log = folder.path() + "host.log";
    SetEnvironmentVariableA("VELNOR_HOST_DATA", run.hostData.empty()
                                                    ? (folder.path() + "missing.json").c_str()
                                                    : (folder.path() + "host.json").c_str());
    SetEnvironmentVariableA("VELNOR_HOST_LOG", log.c_str());

    std::string commandLine =
        "\"" + BinDir() + "host-simulator.exe\" --timeout 90 --program \"" + program + "\"";
    for (const std::string& arg : run.simulatorArgs) commandLine += " " + arg;
    const std::string outputPath = folder.path() + run.output;
    if (run.fixedOutput) commandLine += " --output \"" + outputPath + "\"";
    const std::string output = folder.path() + "simulator.txt";
    HANDLE simulator = guidriver::StartProcess(commandLine, output);
    EXPECT_NE(nullptr, simulator) << commandLine;
    RunResult result;
    if (simulator == nullptr) return result;
    const bool ended = guidriver::DriveUntilExit(simulator, 80000, [&](HWND dialog) {
        if (guidriver::WindowText(dialog) == "所得税(減価償却) - 集計条件") {
            if (run.output.empty()) {
                guidriver::PressButton(dialog, IDCANCEL);
                return true;
            }
            if (!run.fixedOutput) {
                DWORD_PTR ignored = 0;
                SendMessageTimeoutA(GetDlgItem(dialog, 1014), WM_SETTEXT, 0,
                                    reinterpret_cast<LPARAM>(outputPath.c_str()), SMTO_ABORTIFHUNG,
                                    2000, &ignored);
            }
            guidriver::PressButton(dialog, IDOK);
            return true;
        }
        if (!guidriver::IsMessageBox(dialog)) return false;
        if (HWND progress = guidriver::FindWindowOf(guidriver::ProcessTree(simulator), "集計中")) {
            result.progressCaption = guidriver::WindowText(progress);
        }
        result.boxes.push_back(guidriver::AnswerMessageBox(dialog, IDOK));
        return true;
    });
    EXPECT_TRUE(ended) << name << "\n" << guidriver::DescribeForeignWindows();
    result.exitCode = static_cast<int>(guidriver::EndProcess(
        simulator, ended || WaitForSingleObject(simulator, 30000) == WAIT_OBJECT_0));
    if (!run.output.empty()) result.xml = velnor_test::ReadFile(outputPath);

    result.report = velnor_test::ReadFile(output);
    std::istringstream lines(result.report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("RESULT ", 0) != 0) continue;
        std::istringstream fields(line.substr(7));
        for (std::string field; fields >> field;) {
            size_t eq = field.find('=');
            if (eq != std::string::npos) result.result[field.substr(0, eq)] = field.substr(eq + 1);
        }
    }
    std::istringstream logLines(velnor_test::ReadFile(log));
    for (std::string line; std::getline(logLines, line);) result.logLines.push_back(line);
    SetEnvironmentVariableA("VELNOR_HOST_DATA", nullptr);
    SetEnvironmentVariableA("VELNOR_HOST_LOG", nullptr);
    return result;
}

std::vector<std::string> Kinds(const std::vector<std::string>& logLines) {
    std::vector<std::string> kinds;
    for (const std::string& line : logLines) kinds.push_back(line.substr(0, line.find('\t')));
    return kinds;
}

std::string HostData(const std::string& link, const std::string& selected = "3") {
    return u8R"({"user": {"id": "admin", "selected": [1, )" + selected +
           u8R"(]},
      "link": )" +
           link +
           u8R"(,
      "dataSets": [
        {"id": "D0001", "number": 1, "company": "株式会社ベルナー商事", "periodStart": 20240401,
         "periodEnd": 20250331},
        {"id": "D0003", "number": 3, "company": "ベルナー不動産", "periodStart": 20240101,
         "periodEnd": 20241231, "businessKinds": 2}
      ]})";
}

const std::string kLinkOk = R"({"initiate": 0, "expSysLink": 0})";
const std::vector<std::string> kDisconnect = {"LogOut", "Terminate", "Release"};
const std::vector<std::string> kRefusedThenDisconnect = {"DispMsg", "LogOut", "Terminate",
                                                         "Release"};

struct Scenario {
    const char* name;
    ProgramRun run;
    struct {
        int exitCode;  // of the simulator: the posted result, or 3 when nothing was posted
        const char* posted;
        const char* wparam;
        const char* lparam;
        const char* disabled;
    } outcome;
    std::vector<std::string> boxTexts;  // code page 932, as shown
    std::vector<std::string> logKinds;
};

std::vector<Scenario> Scenarios() {
    const std::string missing = velnor::ReceivingStatusMessage(velnor::kReceivingBadEnvironment);
    const std::string productOld = velnor::ReceivingStatusMessage(velnor::kReceivingProductTooOld);
    const std::string linkOld = velnor::ReceivingStatusMessage(velnor::kReceivingLinkTooOld);
    // The selected data exists and the receiving product fits: the run goes on to the
    // conditions dialog, so these end the run at the host's export-link request.
    const std::string cancelled = HostData(R"({"expSysLink": 1})");
    return {
        {"receiving product missing",
         {"", nullptr, HostData(kLinkOk), {}, "", false},
         {2, "yes", "0x00000002", "2", "yes"},
         {missing},
         kRefusedThenDisconnect},
        {"receiving product level 1",
         {"", "1", HostData(kLinkOk), {}, "", false},
         {2, "yes", "0x00000002", "2", "yes"},
         {productOld},
         kRefusedThenDisconnect},
        {"receiving product level 3",
         {"", "3", HostData(kLinkOk), {}, "", false},
         {2, "yes", "0x00000002", "2", "yes"},
         {linkOld},
         kRefusedThenDisconnect},
        {"export link cancelled",
         {"", "2", cancelled, {}, "", false},
         {1, "yes", "0x00000002", "1", "yes"},
         {},
         kDisconnect},
        {"export link fails",
         {"", "2", HostData(R"({"expSysLink": 9})"), {}, "", false},
         {2, "yes", "0x00000002", "2", "yes"},
         {},
         kDisconnect},
        {"selected data not found",
         {"", "2", HostData(kLinkOk, "8"), {}, "", false},
         {2, "yes", "0x00000002", "2", "yes"},
         {},
         kDisconnect},
        {"initiate fails",
         {"", "2", HostData(R"({"initiate": 12})"), {}, "", false},
         {3, "no", "0x00000000", "0", "no"},
         {},
         kDisconnect},
        {"function id 65535",
         {"", "2", cancelled, {"--function-id", "65535"}, "", false},
         {1, "yes", "0xFFFFFFFF", "1", "yes"},
         {},
         kDisconnect},
        {"function id 7 and a long fixed path",
         {"",
          "2",
          cancelled,
          {"--function-id", "7", "--output", "C:\\" + std::string(600, 'p') + ",x.xml"},
          "",
          false},
         {1, "yes", "0x00000007", "1", "yes"},
         {},
         kDisconnect},
        {"stand-alone",
         {"", "2", cancelled, {"--standalone"}, "", false},
         {3, "no", "0x00000000", "0", "no"},
         {},
         kDisconnect},
        {"stand-alone with the receiving product missing",
         {"", nullptr, HostData(kLinkOk), {"--standalone"}, "", false},
         {3, "no", "0x00000000", "0", "no"},
         {missing},
         kRefusedThenDisconnect},
        {"two commas only",
         {"", nullptr, HostData(kLinkOk), {"--command-line", "1234,32769,5"}, "", false},
         {3, "no", "0x00000000", "0", "no"},
         {missing},
         kRefusedThenDisconnect},
    };
}

TEST(ShellThroughTheHost, StartUpChecksAndCompletionMessage) {
    for (const char* edition : kEditions) {
        for (Scenario scenario : Scenarios()) {
            scenario.run.edition = edition;
            const std::string name = std::string(edition) + ": " + scenario.name;
            RunResult r = Execute(scenario.run, edition);
            EXPECT_EQ(scenario.outcome.exitCode, r.exitCode) << name << "\n" << r.report;
            EXPECT_EQ(scenario.outcome.posted, r.result["posted"]) << name;
            EXPECT_EQ(scenario.outcome.wparam, r.result["wparam"]) << name;
            EXPECT_EQ(scenario.outcome.lparam, r.result["lparam"]) << name;
            EXPECT_EQ(scenario.outcome.disabled, r.result["disabled-meanwhile"]) << name;
            EXPECT_EQ("yes", r.result["enabled-now"]) << name;
            EXPECT_EQ("0", r.result["exit"]) << name;
            if (std::string(scenario.outcome.posted) == "yes") {
                EXPECT_EQ("1", r.result["posts"]) << name;
                EXPECT_EQ("yes", r.result["enabled-again"]) << name;
                EXPECT_EQ("yes", r.result["enabled-at-completion"]) << name;
            }

            ASSERT_EQ(scenario.boxTexts.size(), r.boxes.size()) << name;
            for (size_t i = 0; i < r.boxes.size(); ++i) {
                EXPECT_EQ(scenario.boxTexts[i], r.boxes[i].text) << name;
                EXPECT_EQ("所得税(減価償却)", r.boxes[i].caption) << name;
            }
            EXPECT_EQ(scenario.logKinds, Kinds(r.logLines)) << name;
            if (!scenario.boxTexts.empty() && !r.logLines.empty()) {
                EXPECT_EQ("DispMsg\t" + LogText("所得税(減価償却)") + "\t48\t" +
                              LogText(scenario.boxTexts[0]),
                          r.logLines[0])
                    << name;
            }
        }
    }
}

TEST(ShellThroughTheHost, AMissingHostDataFileFailsTheConnectionWithTheHostsMessage) {
    ProgramRun run;
    run.hostData.clear();
    RunResult r = Execute(run, "no-host-data");
    EXPECT_EQ(3, r.exitCode) << r.report;
    EXPECT_EQ("no", r.result["posted"]);
    EXPECT_EQ("no", r.result["disabled-meanwhile"]);
    ASSERT_EQ(1u, r.boxes.size());
    EXPECT_EQ("Borlex", r.boxes[0].caption);
    EXPECT_EQ((std::vector<std::string>{"LoadError", "LogOut", "Terminate", "Release"}),
              Kinds(r.logLines));
}

struct WholeRun {
    const char* name;
    ProgramRun run;
    int exitCode;
    const char* posted;
    const char* lparam;
    std::vector<std::string> boxTexts;
    bool written;
};

TEST(ShellThroughTheHost, WholeRunsFromTheConditionsDialogToTheResultMessage) {
    const std::string success = "減価償却の集計結果を正常に出力しました。";
    const std::string failure =
        "XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。";
    const std::string cancel = "\xA2所得税(減価償却)\xA3の集計を中止します。";
    const std::string assets = HostData(kLinkOk, "1");
    std::string withAsset = assets;
    const std::string firstSetEnd = u8R"("periodEnd": 20250331})";
    withAsset.replace(
        withAsset.find(firstSetEnd), firstSetEnd.size(),
        u8R"("periodEnd": 20250331, "assets": [{"name": "営業車", "acquired": 20230610,
                          "cost": "3200000", "method": 8, "life": 6, "rate": 333,
                          "ordinary": "572691", "expenses": "572691"}]})");
    std::string failingEnumeration = withAsset;
    failingEnumeration.replace(failingEnumeration.find(u8R"("link")"), 6,
                               u8R"("faults": [{"op": "MoveReady", "code": 31}], "link")");
    const WholeRun runs[] = {
        {"success",
         {"VelnorPro", "2", withAsset, {}, "out.xml", false},
         0,
         "yes",
         "0",
         {success},
         true},
        {"success, standard edition",
         {"VelnorStd", "2", withAsset, {}, "out.xml", false},
         0,
         "yes",
         "0",
         {success},
         true},
        {"success with a fixed output path",
         {"VelnorPro", "2", withAsset, {}, "fixed.xml", true},
         0,
         "yes",
         "0",
         {success},
         true},
        {"success stand-alone",
         {"VelnorPro", "2", withAsset, {"--standalone"}, "out.xml", false},
         3,
         "no",
         "0",
         {success},
         true},
        {"cancelled", {"VelnorPro", "2", withAsset, {}, "", false}, 1, "yes", "1", {cancel}, false},
        {"enumeration fails",
         {"VelnorPro", "2", failingEnumeration, {}, "out.xml", false},
         2,
         "yes",
         "2",
         {failure},
         false},
    };
    for (const WholeRun& w : runs) {
        RunResult r = Execute(w.run, "whole");
        EXPECT_EQ(w.exitCode, r.exitCode) << w.name << "\n" << r.report;
        EXPECT_EQ(w.posted, r.result["posted"]) << w.name;
        EXPECT_EQ(w.lparam, r.result["lparam"]) << w.name;
        ASSERT_EQ(w.boxTexts.size(), r.boxes.size()) << w.name;
        for (size_t i = 0; i < r.boxes.size(); ++i) {
            EXPECT_EQ(w.boxTexts[i], r.boxes[i].text) << w.name;
            EXPECT_EQ("所得税(減価償却)", r.boxes[i].caption) << w.name;
        }
        if (w.written) {
            EXPECT_EQ("集計中 100％", r.progressCaption) << w.name;
            EXPECT_EQ(0u, r.xml.rfind("<?xml", 0)) << w.name;
            EXPECT_NE(std::string::npos, r.xml.find("営業車")) << w.name;
        } else {
            EXPECT_TRUE(r.xml.empty()) << w.name;
        }
    }
}

}  // namespace
