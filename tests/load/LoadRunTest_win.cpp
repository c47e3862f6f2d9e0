// Load host data through the whole program under Wine: VelnorPro.exe started by the host
// simulator, its conditions dialog confirmed and its messages answered, within a time
// bound; the document it writes is the batch exporter's, byte for byte, and sound.
//
// The field-limit run always runs. The many-assets run needs VELNOR_LOAD_ASSETS (the
// number of assets; scripts/load sets 100000) and takes VELNOR_LOAD_BOUND (seconds).
#include <gtest/gtest.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <map>
#include <sstream>
#include <string>
#include <vector>

#include "load/DocumentChecks.h"
#include "load/LoadData.h"
#include "support/Scratch.h"
#include "tools/window-driver/WindowDriver.h"

namespace {

const char kConditionsCaption[] = "所得税(減価償却) - 集計条件";
const char kSuccess[] = "減価償却の集計結果を正常に出力しました。";
// Measured on 2 shared cores: the field-limit run takes a few seconds, most of it starting
// Wine's programs.
constexpr double kFieldLimitBoundSeconds = 60;

std::string Backslashes(std::string path) {
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
    return path;
}

std::string BinDir() { return Backslashes(VELNOR_BIN_DIR) + "\\"; }

double Seconds() {
    LARGE_INTEGER frequency, counter;
    QueryPerformanceFrequency(&frequency);
    QueryPerformanceCounter(&counter);
    return static_cast<double>(counter.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// One scratch folder per run.
using RunFolder = velnor_test::ScratchFolder;

struct WholeRun {
    double seconds = 0;
    bool ended = false;
    std::map<std::string, std::string> result;
    std::vector<guidriver::SeenBox> boxes;
    std::string log;
    std::string document;
    std::string report;
};

// VelnorPro.exe through the host simulator on `hostDataFile`, writing `output`.
WholeRun RunWholeProgram(const RunFolder& folder, const std::string& hostDataFile,
                         const std::string& output, DWORD timeoutSeconds) {
    WholeRun run;
    const std::string program = folder.path() + "VelnorPro.exe";
    EXPECT_TRUE(CopyFileA((BinDir() + "VelnorPro.exe").c_str(), program.c_str(), FALSE));
    velnor_test::WriteFile(folder.path() + "MerovinDef.ini", "[ProgramLevel]\r\nMV14_G=2\r\n");
    const std::string log = folder.path() + "host.log";
    _putenv_s("VELNOR_HOST_DATA", hostDataFile.c_str());
    _putenv_s("VELNOR_HOST_LOG", log.c_str());
    char previous[MAX_PATH] = {};
    GetCurrentDirectoryA(MAX_PATH, previous);
    SetCurrentDirectoryA(folder.path().c_str());

    const std::string report = folder.path() + "simulator.txt";
    const std::string commandLine = "\"" + BinDir() + "host-simulator.exe\" --timeout " +
                                    std::to_string(timeoutSeconds) + " --program \"" + program +
                                    "\" --output \"" + output + "\"";
    const double start = Seconds();
    HANDLE simulator = guidriver::StartProcess(commandLine, report);
    EXPECT_NE(nullptr, simulator);
    if (simulator != nullptr) {
        bool pressed = false;
        run.ended = guidriver::DriveUntilExit(simulator, (timeoutSeconds + 30) * 1000, [&](HWND d) {
            if (guidriver::WindowText(d) == kConditionsCaption) {
                if (!pressed) guidriver::PressButton(d, IDOK);
                pressed = true;
                return true;
            }
            if (!guidriver::IsMessageBox(d)) return false;
            run.boxes.push_back(guidriver::AnswerMessageBox(d, IDOK));
            return true;
        });
        run.seconds = Seconds() - start;
        guidriver::EndProcess(simulator, run.ended);
    }
    SetCurrentDirectoryA(previous);
    _putenv_s("VELNOR_HOST_DATA", "");
    _putenv_s("VELNOR_HOST_LOG", "");

    run.report = velnor_test::ReadFile(report);
    std::istringstream lines(run.report);
    for (std::string line; std::getline(lines, line);) {
        if (line.rfind("RESULT ", 0) != 0) continue;
        std::istringstream fields(line.substr(7));
        for (std::string field; fields >> field;) {
            const size_t eq = field.find('=');
            if (eq != std::string::npos) run.result[field.substr(0, eq)] = field.substr(eq + 1);
        }
    }
    run.log = velnor_test::ReadFile(log);
    run.document = velnor_test::ReadFile(output);
    return run;
}

// The batch exporter on the same data: the document the whole program must have written.
std::string BatchDocument(const RunFolder& folder, const std::string& hostDataFile,
                          double* seconds) {
    const std::string output = folder.path() + "batch.xml";
    const std::string commandLine = "\"" + BinDir() + "velnor-export.exe\" --host-data \"" +
                                    hostDataFile + "\" --business-kind 1 --output \"" + output +
                                    "\"";
    const double start = Seconds();
    HANDLE process = guidriver::StartProcess(commandLine, folder.path() + "batch.txt");
    EXPECT_NE(nullptr, process);
    if (process == nullptr) return std::string();
    const bool ended = WaitForSingleObject(process, 1800 * 1000) == WAIT_OBJECT_0;
    EXPECT_TRUE(ended);
    *seconds = Seconds() - start;
    const DWORD code = guidriver::EndProcess(process, ended);
    EXPECT_EQ(0u, code) << velnor_test::ReadFile(folder.path() + "batch.txt");
    return velnor_test::ReadFile(output);
}

void CheckRun(const WholeRun& run, const std::string& batch, int records, double bound) {
    EXPECT_TRUE(run.ended) << run.report;
    EXPECT_LE(run.seconds, bound) << "the whole run took longer than its bound";
    const auto field = [&](const char* name) {
        const auto it = run.result.find(name);
        return it == run.result.end() ? std::string() : it->second;
    };
    EXPECT_EQ("yes", field("posted")) << run.report;
    EXPECT_EQ("0", field("lparam"));
    ASSERT_EQ(1u, run.boxes.size()) << run.report;
    EXPECT_EQ(kSuccess, run.boxes[0].text);
    EXPECT_EQ("LogOut\nTerminate\nRelease\n", run.log);
    ASSERT_FALSE(run.document.empty());
    EXPECT_TRUE(run.document == batch) << "the program's document is not the batch exporter's";
    EXPECT_EQ(static_cast<size_t>(records), loaddata::Occurrences(run.document, "<SISAN Count="));
    EXPECT_EQ(0u, run.document.rfind("<?xml version=\"1.0\" encoding=\"Shift_JIS\"?>\r\n", 0));
    const std::string end = "</REPORT>\r\n";
    EXPECT_EQ(end, run.document.substr(run.document.size() - end.size()));
    loaddata::ExpectSoundLines(run.document);
}

TEST(Load, FieldLimitsThroughTheWholeProgram) {
    RunFolder folder("limits");
    const std::string data = folder.path() + "limits.json";
    ASSERT_TRUE(velnor_test::WriteFile(data, loaddata::FieldLimits()));
    const WholeRun run = RunWholeProgram(folder, data, folder.path() + "limits.xml", 120);
    double batchSeconds = 0;
    const std::string batch = BatchDocument(folder, data, &batchSeconds);
    std::printf("[ LOAD ] field limits: whole program %.1f s, batch exporter %.1f s\n", run.seconds,
                batchSeconds);
    CheckRun(run, batch, loaddata::kFieldLimitRecords, kFieldLimitBoundSeconds);
}

TEST(Load, ManyAssetsThroughTheWholeProgram) {
    const char* countText = std::getenv("VELNOR_LOAD_ASSETS");
    if (countText == nullptr || *countText == '\0') {
        GTEST_SKIP() << "VELNOR_LOAD_ASSETS is not set (scripts/load sets it)";
    }
    const int count = std::atoi(countText);
    const char* boundText = std::getenv("VELNOR_LOAD_BOUND");
    // 100,000 assets take about 10 seconds on 2 shared cores, most of it reading the host
    // data file.
    const double bound = boundText != nullptr && *boundText ? std::atof(boundText) : 120;
    RunFolder folder("many");
    const std::string data = folder.path() + "many.json";
    ASSERT_TRUE(velnor_test::WriteFile(data, loaddata::ManyAssets(count)));
    const WholeRun run =
        RunWholeProgram(folder, data, folder.path() + "many.xml", static_cast<DWORD>(bound) + 60);
    double batchSeconds = 0;
    const std::string batch = BatchDocument(folder, data, &batchSeconds);
    std::printf("[ LOAD ] %d assets: whole program %.1f s (bound %.0f s), batch exporter %.1f s\n",
                count, run.seconds, bound, batchSeconds);
    CheckRun(run, batch, loaddata::ExportedRecords(count), bound);
}

}  // namespace
