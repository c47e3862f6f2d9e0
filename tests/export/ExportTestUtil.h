// Helpers shared by the export tests: a scratch folder that is also the current
// directory (the support file is read from there), records and data sets, a progress
// recorder and golden files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "aggregation/AssetRecords.h"
#include "common/Faults.h"
#include "common/Progress.h"
#include "host/QelRecords.h"
#include "support/Scratch.h"
#include "support/Seams.h"

namespace velnor_test {

namespace fs = std::filesystem;

inline std::string ReadBytes(const fs::path& path) { return ReadFile(path.string()); }
inline void WriteBytes(const fs::path& path, const std::string& bytes) {
    WriteFile(path.string(), bytes);
}

inline std::string Golden(const char* name) {
    const fs::path path = fs::path(VELNOR_TEST_DATA_DIR) / "export" / name;
    EXPECT_TRUE(fs::exists(path)) << path;
    return ReadBytes(path);
}

inline std::string Repeat(const std::string& text, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) out += text;
    return out;
}

// The lines of a document, for readable failure messages.
inline std::vector<std::string> Lines(const std::string& doc) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < doc.size()) {
        size_t end = doc.find("\r\n", start);
        if (end == std::string::npos) end = doc.size();
        lines.push_back(doc.substr(start, end - start));
        start = end + 2;
    }
    return lines;
}

// Compares whole documents byte for byte; on a difference shows the first differing line.
inline ::testing::AssertionResult SameDocument(const std::string& expected,
                                               const std::string& actual) {
    if (expected == actual) return ::testing::AssertionSuccess();
    const auto e = Lines(expected);
    const auto a = Lines(actual);
    for (size_t i = 0; i < e.size() || i < a.size(); ++i) {
        const std::string el = i < e.size() ? e[i] : "<none>";
        const std::string al = i < a.size() ? a[i] : "<none>";
        if (el != al) {
            return ::testing::AssertionFailure()
                   << "line " << (i + 1) << "\n expected: " << el << "\n   actual: " << al;
        }
    }
    return ::testing::AssertionFailure()
           << "documents differ in size " << expected.size() << " vs " << actual.size();
}

// A scratch folder that is the current directory while a test runs.
class ScratchDirTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_FALSE(scratch_.path().empty());
        oldCwd_ = fs::current_path();
        fs::current_path(dir_);
    }
    // The folder is removed after this, when it is no longer the current one.
    void TearDown() override { fs::current_path(oldCwd_); }
    std::string Path(const char* name) const { return (dir_ / name).string(); }
    // The names in the scratch folder, sorted.
    std::vector<std::string> Entries() const {
        std::vector<std::string> names;
        for (const auto& e : fs::directory_iterator(dir_))
            names.push_back(e.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }

    FileFaultsGuard faults_;
    ScratchFolder scratch_{"export"};
    fs::path dir_ = fs::path(scratch_.path()).parent_path();
    fs::path oldCwd_;
};

inline void SetField(StASSETRECORD& record, const char* name, const char* text) {
    for (const StAssetRecordField& f : kAssetRecordFields) {
        if (std::strcmp(f.name, name) == 0) {
            char* field = reinterpret_cast<char*>(&record) + f.offset;
            std::memset(field, 0, f.width);
            std::memcpy(field, text, std::min(std::strlen(text), f.width - 1));
            return;
        }
    }
    ADD_FAILURE() << "no field " << name;
}

// The asset of the worked example in the format description.
inline std::unique_ptr<StASSETRECORD> WorkedExampleRecord() {
    auto r = std::make_unique<StASSETRECORD>();
    std::memset(r.get(), 0, sizeof *r);
    SetField(*r, "SISANMEI", "営業用車両");
    SetField(*r, "SUURYO", "1.00");
    SetField(*r, "SUURYOTANI", "台");
    SetField(*r, "SYUTOKUNENGETU_GENGO", "平成");
    SetField(*r, "SYUTOKUNENGETU_NEN", "30");
    SetField(*r, "SYUTOKUNENGETU_TUKI", "07");
    SetField(*r, "SYUTOKUKINGAKU", "2400000");
    SetField(*r, "KISYUTYOUBOKAKAKU", "2199600");
    SetField(*r, "SYOUKYAKUKISOKINGAKU", "2400000");
    SetField(*r, "SYOUKYAKUHOUHOU", "2");
    SetField(*r, "TAIYOUNENSU", "6");
    SetField(*r, "SYOUKYAKURITU", "0.167");
    SetField(*r, "SYOUKYAKUKIKAN", "12");
    SetField(*r, "FUTUUSYOUKYAKUHI", "400800");
    SetField(*r, "WARIMASISYOUKYAKUHI", "0");
    SetField(*r, "JIGYOUSENYUWARIAI", "100.0");
    SetField(*r, "HITUYOUKEIHISANNYUUGAKU", "400800");
    SetField(*r, "MISYOUKYAKUZANDAKA", "1798800");
    return r;
}

inline StDATAINFO DataInfo(const char* company = "ABC商事", uint8_t rounding = 0) {
    StDATAINFO d;
    std::memset(&d, 0, sizeof d);
    std::memcpy(d.szCompanyName, company, std::min(std::strlen(company), sizeof d.szCompanyName));
    d.nPeriodStart = 20190101;
    d.nPeriodEnd = 20191231;
    d.byRounding = rounding;
    return d;
}

// Records the progress calls as text: "P" for a pulse, "A400-500" for an advance.
class ProgressRecorder : public velnor::IProgress {
  public:
    void PulseProgress() override { calls.push_back("P"); }
    void AdvanceProgress(short from, short to) override {
        calls.push_back("A" + std::to_string(from) + "-" + std::to_string(to));
    }
    std::vector<std::string> calls;
};

}  // namespace velnor_test
