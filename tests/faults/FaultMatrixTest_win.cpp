// Every row of docs/fault-matrix.md as a whole run of the application object in this
// process, the rows marked "exe" once more through the real program and the host
// simulator, and the check that every call the program makes has its row.
#include <gtest/gtest.h>
#include <windows.h>

#include <algorithm>
#include <set>
#include <string>
#include <vector>

#include "app/ReceivingProduct.h"
#include "common/Faults.h"
#include "conditions/CondRules.h"
#include "faults/FaultTable.h"
#include "faults/MatrixRun_win.h"
#include "host_standin/HostStandIn.h"
#include "support/HostDll.h"
#include "support/Messages.h"
#include "support/Scratch.h"
#include "tools/window-driver/WindowDriver.h"

namespace faulttable {

// gtest names the row in messages about it.
void PrintTo(const Row& row, std::ostream* os) { *os << row.id; }

}  // namespace faulttable

namespace {

using faultmatrix::Outcome;
using faulttable::Fault;
using faulttable::Row;

const char kTitle[] = "所得税(減価償却)";

const faulttable::Table& TheTable() {
    static faulttable::Table table;
    static bool read = false;
    if (!read) {
        read = true;
        std::string error;
        const std::string path = std::string(VELNOR_SOURCE_DIR) + "/docs/fault-matrix.md";
        if (!faulttable::Parse(velnor_test::ReadFile(path), &table, &error)) {
            ADD_FAILURE() << path << ": " << error;
        }
    }
    return table;
}

std::vector<Row> ExeRows() {
    std::vector<Row> rows;
    for (const Row& row : TheTable().rows) {
        if (row.exe) rows.push_back(row);
    }
    return rows;
}

// A crash ends the process it happens in: those rows run through the real program only.
std::vector<Row> InProcessRows() {
    std::vector<Row> rows;
    for (const Row& row : TheTable().rows) {
        if (row.inProcess) rows.push_back(row);
    }
    return rows;
}

bool Throws(const Row& row) {
    for (const Fault& f : row.faults) {
        if (f.kind == "throw") return true;
    }
    return false;
}

std::string TestName(const ::testing::TestParamInfo<Row>& info) {
    std::string name = info.param.id;
    for (char& c : name) {
        if (!isalnum(static_cast<unsigned char>(c))) c = '_';
    }
    return name;
}

// The table is UTF-8; the program's texts are code page 932.
std::string Sjis(const std::string& utf8) {
    const int wide =
        MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring w(static_cast<size_t>(wide), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), &w[0], wide);
    const int n = WideCharToMultiByte(932, 0, w.data(), wide, nullptr, 0, nullptr, nullptr);
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(932, 0, w.data(), wide, &out[0], n, nullptr, nullptr);
    return out;
}

struct ExpectedBox {
    std::string text;
    std::string caption;
    unsigned type;
    bool prefix;  // the text only begins so
};

// The messages of the table's messages column.
bool ExpectedBoxFor(const std::string& key, ExpectedBox* box) {
    using velnor::ReceivingStatusMessage;
    if (key == "success") {
        *box = {"減価償却の集計結果を正常に出力しました。", kTitle, 0x40, false};
    } else if (key == "failure") {
        *box = {"XMLファイルの出力に失敗しました。\n\nアプリケーションを終了します。", kTitle, 0x30,
                false};
    } else if (key == "bad-environment") {
        *box = {ReceivingStatusMessage(velnor::kReceivingBadEnvironment), kTitle, 0x30, false};
    } else if (key == "product-too-old") {
        *box = {ReceivingStatusMessage(velnor::kReceivingProductTooOld), kTitle, 0x30, false};
    } else if (key == "create-folder") {
        *box = {velnor_test::kCreateFolderText, kTitle, 0x24, false};
    } else if (key == "create-folder-failed") {
        *box = {velnor_test::kCreateFolderFailedText, kTitle, 0x30, false};
    } else if (key == "out-of-memory") {
        *box = {"ﾒﾓﾘが不足しています。", kTitle, 0x30, false};
    } else if (key == "host-fatal") {
        *box = {"重大なエラーが発生しました。", "Borlex", 0x10, true};
    } else if (key == "host-load-error") {
        *box = {"The host data file ", "Borlex", 0x10, true};
    } else {
        return false;
    }
    return true;
}

std::string Joined(const std::vector<std::string>& items) {
    std::string text;
    for (const std::string& item : items) text += (text.empty() ? "" : " ") + item;
    return text;
}

// The row's expectations, for either kind of run.
void CheckOutcome(const Row& row, const Outcome& o, bool inProcess) {
    ASSERT_TRUE(o.report.empty() || !inProcess) << o.report;

    ASSERT_EQ(row.messages.size(), o.boxes.size()) << "boxes shown:\n"
                                                   <<
        [&] {
            std::string shown;
            for (const auto& b : o.boxes) shown += "  " + b.caption + ": " + b.text + "\n";
            return shown;
        }() << o.report;
    for (size_t i = 0; i < o.boxes.size(); ++i) {
        ExpectedBox expected;
        ASSERT_TRUE(ExpectedBoxFor(row.messages[i], &expected)) << row.messages[i];
        if (expected.prefix) {
            EXPECT_EQ(0u, o.boxes[i].text.rfind(expected.text, 0)) << o.boxes[i].text;
        } else {
            EXPECT_EQ(expected.text, o.boxes[i].text) << "message " << i + 1;
        }
        EXPECT_EQ(expected.caption, o.boxes[i].caption) << "message " << i + 1;
        if (inProcess) {
            EXPECT_EQ(expected.type, o.boxes[i].type) << "message " << i + 1;
            if (row.posted) {
                EXPECT_FALSE(o.boxes[i].hostEnabled)
                    << "message " << i + 1 << " with the host usable";
            }
        }
    }

    if (row.posted) {
        EXPECT_EQ(1, o.posts) << o.report;
        EXPECT_EQ(2u, o.wParam);
        EXPECT_EQ(row.result, o.lParam);
        EXPECT_TRUE(o.disabledMeanwhile);
    } else {
        EXPECT_EQ(0, o.posts) << o.report;
        EXPECT_FALSE(o.disabledMeanwhile);
    }
    EXPECT_TRUE(o.enabledAtEnd) << "host window left disabled";
    if (inProcess) {
        EXPECT_EQ(row.result, o.resultCode);
    }

    EXPECT_EQ(Joined(row.hostLog), Joined(o.hostLog));
    for (const std::string& module : o.modules) EXPECT_EQ("CmnProcHpr", module);

    if (row.destination == "unchanged") {
        EXPECT_EQ(o.destinationExisted, o.destinationExists);
        EXPECT_EQ(o.oldDestination, o.destination) << "destination changed";
    } else {
        EXPECT_EQ(0u, o.destination.rfind("<?xml", 0)) << "no document at the destination";
        const std::string end = "</REPORT>\r\n";
        EXPECT_TRUE(o.destination.size() > end.size() &&
                    o.destination.compare(o.destination.size() - end.size(), end.size(), end) == 0)
            << "document not complete";
        if (row.destination == "same") {
            EXPECT_EQ(faultmatrix::CleanRunDocument({}), o.destination)
                << "document differs from the one of a run without faults";
        }
    }
    const std::string clean = faultmatrix::CleanRunDocument({});
    if (!row.documentHas.empty()) {
        const std::string text = Sjis(row.documentHas);
        EXPECT_NE(std::string::npos, o.destination.find(text)) << row.documentHas;
        EXPECT_EQ(std::string::npos, clean.find(text)) << "a run without faults has it too";
    }
    if (!row.documentLacks.empty()) {
        const std::string text = Sjis(row.documentLacks);
        EXPECT_EQ(std::string::npos, o.destination.find(text)) << row.documentLacks;
        EXPECT_NE(std::string::npos, clean.find(text)) << "a run without faults lacks it too";
    }

    if (row.settings == "unchanged") {
        EXPECT_EQ(o.settingsExisted, o.settingsExists);
        EXPECT_EQ(o.oldSettings, o.settings) << "settings file changed";
    } else {
        EXPECT_TRUE(o.settingsExists);
        EXPECT_EQ(row.settings == "reset" ? o.settingsReset : o.settingsKept, o.settings);
    }

    std::vector<std::string> leftOver = row.leftOver;
    std::sort(leftOver.begin(), leftOver.end());
    EXPECT_EQ(Joined(leftOver), Joined(o.leftOver)) << "left behind: " << Joined(o.strayPaths);
    EXPECT_TRUE(o.lockedFiles.empty()) << "still open: " << Joined(o.lockedFiles);
    if (inProcess) {
        EXPECT_EQ(0, o.leakedObjects) << "host objects left";
    }
}

// The calls the table injects: "host Op" and "file op target".
std::set<std::string> InjectedCalls() {
    std::set<std::string> calls;
    for (const Row& row : TheTable().rows) {
        for (const Fault& f : row.faults) {
            if (f.seam == "host") calls.insert("host " + f.op);
            if (f.seam == "file") calls.insert("file " + f.op + " " + f.target);
        }
    }
    return calls;
}

bool NotInjected(const std::string& call) {
    for (const auto& entry : TheTable().notInjected) {
        if (entry.call == call) return true;
    }
    return false;
}

// Every call of a run is injected by some row or listed as not injected.
void CheckCallsCovered(const Outcome& o) {
    const std::set<std::string> injected = InjectedCalls();
    for (const faultmatrix::SeamCall& call : o.fileCalls) {
        EXPECT_FALSE(call.target.empty())
            << "file " << call.op << " on " << call.path << ": a path of no target in the table";
        const std::string name = "file " + call.op + " " + call.target;
        EXPECT_TRUE(injected.count(name) || NotInjected(name)) << name << ": no row";
    }
    for (const auto& call : o.hostCalls) {
        const std::string name = "host " + call.first;
        EXPECT_TRUE(injected.count(name) || NotInjected(name)) << name << ": no row";
    }
}

// The row's faults were reached: a fault that no longer hits anything tests nothing.
void CheckFaultsHit(const Row& row, const Outcome& o) {
    const std::map<std::string, int> counts = faultmatrix::CleanRunCounts(row.faults);
    for (const Fault& f : row.faults) {
        if (f.seam == "host") {
            const int at = f.atLast ? counts.at("host " + f.op) : f.at;
            const auto it = o.hostCalls.find(f.op);
            EXPECT_TRUE(it != o.hostCalls.end() && it->second >= at)
                << faulttable::Describe(f) << " never reached";
        } else if (f.seam == "file") {
            bool hit = false;
            for (const faultmatrix::SeamCall& call : o.fileCalls) {
                hit = hit || (call.failed && call.op == f.op && call.target == f.target);
            }
            EXPECT_TRUE(hit) << faulttable::Describe(f) << " never reached";
        } else if (f.seam == "memory" && f.op == "support") {
            EXPECT_GE(o.supportAllocations, f.at) << faulttable::Describe(f) << " never reached";
        }
    }
}

class FaultMatrix : public ::testing::TestWithParam<Row> {};

TEST_P(FaultMatrix, InThisProcess) {
    const Row& row = GetParam();
    SCOPED_TRACE("docs/fault-matrix.md line " + std::to_string(row.line) + ": " + row.id);
    if (Throws(row) && !velnor_test::ExceptionsCrossTheHostDll()) {
        GTEST_SKIP() << "i686 MinGW cannot pass an exception out of the host's DLL";
    }
    const Outcome o = faultmatrix::RunInProcess(row);
    CheckOutcome(row, o, true);
    CheckFaultsHit(row, o);
    CheckCallsCovered(o);
}

INSTANTIATE_TEST_SUITE_P(Rows, FaultMatrix, ::testing::ValuesIn(InProcessRows()), TestName);

class ThroughTheProgram : public ::testing::TestWithParam<Row> {};

TEST_P(ThroughTheProgram, AsInThisProcess) {
    const Row& row = GetParam();
    SCOPED_TRACE("docs/fault-matrix.md line " + std::to_string(row.line) + ": " + row.id);
    if (Throws(row) && !velnor_test::ExceptionsCrossTheHostDll()) {
        GTEST_SKIP() << "i686 MinGW cannot pass an exception out of the host's DLL";
    }
    const Outcome o = faultmatrix::RunProgram(row);
    CheckOutcome(row, o, false);
    if (!row.inProcess) return;

    // And what the program did is what the application object did in this process.
    const Outcome in = faultmatrix::RunInProcess(row);
    // Each run has a folder of its own, which messages may name.
    const auto general = [](const Outcome& run, const std::string& text) {
        std::string out = text;
        for (size_t at; !run.root.empty() && (at = out.find(run.root)) != std::string::npos;) {
            out.replace(at, run.root.size(), "<run>\\");
        }
        return out;
    };
    ASSERT_EQ(in.boxes.size(), o.boxes.size());
    for (size_t i = 0; i < o.boxes.size(); ++i) {
        EXPECT_EQ(general(in, in.boxes[i].text), general(o, o.boxes[i].text));
        EXPECT_EQ(in.boxes[i].caption, o.boxes[i].caption);
    }
    EXPECT_EQ(Joined(in.hostLog), Joined(o.hostLog));
    EXPECT_EQ(in.posts, o.posts);
    EXPECT_EQ(in.lParam, o.lParam);
    EXPECT_EQ(in.destination, o.destination);
    EXPECT_EQ(Joined(in.leftOver), Joined(o.leftOver));
}

INSTANTIATE_TEST_SUITE_P(Rows, ThroughTheProgram, ::testing::ValuesIn(ExeRows()), TestName);
GTEST_ALLOW_UNINSTANTIATED_PARAMETERIZED_TEST(ThroughTheProgram);

TEST(FaultTable, EveryInjectionPointHasARow) {
    const faulttable::Table& table = TheTable();
    ASSERT_FALSE(table.rows.empty());
    const std::set<std::string> injected = InjectedCalls();
    for (const std::string& op : hoststandin::FaultOps()) {
        EXPECT_TRUE(injected.count("host " + op)) << "host " << op << ": no row";
    }
    for (velnor::FileOp op : velnor::kAllFileOps) {
        bool found = false;
        for (const std::string& call : injected) {
            found =
                found || call.rfind(std::string("file ") + velnor::FileOpName(op) + " ", 0) == 0;
        }
        EXPECT_TRUE(found) << "file " << velnor::FileOpName(op) << ": no row";
    }
    bool fatal = false;
    std::set<std::string> setups;
    for (const Row& row : table.rows) {
        for (const Fault& f : row.faults) {
            fatal = fatal || f.fatal;
            if (f.seam == "file" || f.seam == "absent") {
                const auto& targets = faultmatrix::RunFolder::Targets();
                EXPECT_NE(targets.end(), std::find(targets.begin(), targets.end(), f.target))
                    << row.id << ": unknown target " << f.target;
            }
            if (f.seam == "file") {
                bool known = false;
                for (velnor::FileOp op : velnor::kAllFileOps)
                    known = known || f.op == velnor::FileOpName(op);
                EXPECT_TRUE(known) << row.id << ": unknown file operation " << f.op;
            }
            if (f.seam == "host") {
                const auto& ops = hoststandin::FaultOps();
                EXPECT_NE(ops.end(), std::find(ops.begin(), ops.end(), f.op))
                    << row.id << ": the stand-in cannot fail " << f.op;
            }
            if (f.seam == "memory") {
                EXPECT_TRUE(f.op == "support" || f.op == "aggregation") << row.id << ": " << f.op;
            }
            if (f.kind == "crash") {
                EXPECT_FALSE(row.inProcess) << row.id << ": a crash would end the test program";
            }
        }
        for (const std::string& key : row.messages) {
            ExpectedBox box;
            EXPECT_TRUE(ExpectedBoxFor(key, &box)) << row.id << ": unknown message " << key;
        }
        if (row.exe) {
            for (const Fault& f : row.faults) {
                EXPECT_TRUE(f.seam == "host" || f.seam == "file" || f.seam == "absent")
                    << row.id << ": the real program cannot be given " << f.seam << " faults";
            }
            for (const std::string& key : row.messages) {
                EXPECT_NE("create-folder-failed", key)
                    << row.id << ": the real program's dialog is confirmed once only";
            }
        }
    }
    EXPECT_TRUE(fatal) << "no row with a fatal host code";

    // The clean run of every setup the table uses: each of its calls has its row.
    std::set<std::string> seen;
    for (const Row& row : table.rows) {
        std::vector<Fault> absent;
        for (const Fault& f : row.faults) {
            if (f.seam == "absent") absent.push_back(f);
        }
        std::string key;
        for (const Fault& f : absent) key += f.target + ";";
        if (!seen.insert(key).second) continue;
        Row clean;
        clean.id = "clean";
        clean.faults = absent;
        SCOPED_TRACE("a run without faults, absent: " + key);
        CheckCallsCovered(faultmatrix::RunInProcess(clean));
    }
}

}  // namespace
