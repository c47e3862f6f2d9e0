// The fault table's format, and the checks that need no run: every operation the host
// stand-in and the file seam can fail has at least one row.
#include <gtest/gtest.h>

#include <fstream>
#include <iterator>
#include <set>

#include "common/Faults.h"
#include "faults/FaultTable.h"
#include "host_standin/HostStandIn.h"

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

const std::string kHeaderLine =
    "| id | fault | messages | result | posted | host log | destination | settings | left over "
    "| document | exe |\n";
const std::string kHeader = kHeaderLine + "|---|---|---|---|---|---|---|---|---|---|---|\n";

TEST(FaultTableFormat, ReadsEveryCell) {
    faulttable::Table table;
    std::string error;
    ASSERT_TRUE(faulttable::Parse(
        "# Title\n\n" + kHeader +
            "| a | host Walk#3 = 90 fatal & file write#last export-temp & absent env | "
            "host-fatal, success | 0 | yes | FatalError(90) SetLastError(90) LogOut | same | "
            "written | none | has `<X>00</X>` | no |\n"
            "| b | none | none | 2 | no | Release | unchanged | reset | export-temp, env-folder | "
            "lacks `y` | yes |\n"
            "| c | host Move#2 crash | none | 2 | yes | none | unchanged | unchanged | none | - | "
            "only |\n"
            "\ntext\n\n| call | why it is not injected |\n|---|---|\n| `host MoveFinish` | ends "
            "|\n",
        &table, &error))
        << error;
    ASSERT_EQ(3u, table.rows.size());
    const faulttable::Row& a = table.rows[0];
    EXPECT_EQ(5, a.line);
    ASSERT_EQ(3u, a.faults.size());
    EXPECT_EQ("host", a.faults[0].seam);
    EXPECT_EQ("Walk", a.faults[0].op);
    EXPECT_EQ(3, a.faults[0].at);
    EXPECT_TRUE(a.faults[0].hasCode);
    EXPECT_EQ(90, a.faults[0].code);
    EXPECT_TRUE(a.faults[0].fatal);
    EXPECT_EQ("file write#last export-temp", faulttable::Describe(a.faults[1]));
    EXPECT_TRUE(a.faults[1].atLast);
    EXPECT_EQ("absent env", faulttable::Describe(a.faults[2]));
    EXPECT_EQ((std::vector<std::string>{"host-fatal", "success"}), a.messages);
    EXPECT_EQ((std::vector<std::string>{"FatalError(90)", "SetLastError(90)", "LogOut"}),
              a.hostLog);
    EXPECT_EQ("same", a.destination);
    EXPECT_EQ("written", a.settings);
    EXPECT_TRUE(a.leftOver.empty());
    EXPECT_EQ("<X>00</X>", a.documentHas);
    EXPECT_FALSE(a.exe);
    const faulttable::Row& b = table.rows[1];
    EXPECT_TRUE(b.faults.empty());
    EXPECT_TRUE(b.messages.empty());
    EXPECT_EQ(2, b.result);
    EXPECT_FALSE(b.posted);
    EXPECT_EQ("reset", b.settings);
    EXPECT_EQ((std::vector<std::string>{"export-temp", "env-folder"}), b.leftOver);
    EXPECT_EQ("y", b.documentLacks);
    EXPECT_TRUE(b.exe);
    EXPECT_TRUE(b.inProcess);
    const faulttable::Row& c = table.rows[2];
    ASSERT_EQ(1u, c.faults.size());
    EXPECT_EQ("crash", c.faults[0].kind);
    EXPECT_FALSE(c.faults[0].hasCode);
    EXPECT_EQ("host Move#2 crash", faulttable::Describe(c.faults[0]));
    EXPECT_TRUE(c.hostLog.empty());
    EXPECT_TRUE(c.exe);
    EXPECT_FALSE(c.inProcess);
    ASSERT_EQ(1u, table.notInjected.size());
    EXPECT_EQ("host MoveFinish", table.notInjected[0].call);
    EXPECT_EQ("ends", table.notInjected[0].why);
}

TEST(FaultTableFormat, RefusesWhatItCannotRead) {
    const std::string ok = " | none | 0 | yes | Release | same | written | none | - | no |\n";
    const struct {
        const char* name;
        std::string text;
        const char* error;
    } cases[] = {
        {"columns renamed", "| id | fault |\n|---|---|\n", "line 1: header has wrong columns"},
        {"column order",
         "| id | fault | messages | result | posted | host log | settings | destination | left "
         "over "
         "| document | exe |\n",
         "line 1: column 7 is \"settings\", not \"destination\""},
        {"no rule line", kHeaderLine + "| a | none" + ok,
         "line 2: table header without its rule line"},
        {"cell missing", kHeader + "| a | none | none | 0 | yes |\n", "line 3: 5 cells, not 11"},
        {"unknown seam", kHeader + "| a | disk full" + ok, "line 3: unknown seam \"disk\""},
        {"host without op", kHeader + "| a | host" + ok, "line 3: host fault without operation"},
        {"code not a number", kHeader + "| a | host Walk = x" + ok,
         "line 3: code \"x\" is no number"},
        {"fatal without code", kHeader + "| a | host Walk fatal" + ok,
         "line 3: fatal without code"},
        {"thrown with code", kHeader + "| a | host Walk = 3 throw" + ok,
         "line 3: throw answers no code"},
        {"unknown kind", kHeader + "| a | host Walk explode" + ok,
         "line 3: unexpected \"explode\""},
        {"exe maybe",
         kHeader + "| a | none | none | 0 | yes | x | same | written | none | - | maybe |\n",
         "line 3: exe is yes, no or only"},
        {"call 0", kHeader + "| a | file open#0 env" + ok, "line 3: call number 0 is below 1"},
        {"file without target", kHeader + "| a | file open" + ok,
         "line 3: file fault is \"file op[#n] target\""},
        {"memory #last", kHeader + "| a | memory support#last" + ok,
         "line 3: memory faults count from the start only"},
        {"result 3",
         kHeader + "| a | none | none | 3 | yes | x | same | written | none | - | no |\n",
         "line 3: result is 0, 1 or 2"},
        {"destination kept",
         kHeader + "| a | none | none | 0 | yes | x | kept | written | none | - | no |\n",
         "line 3: destination is unchanged, same or written"},
        {"settings kept",
         kHeader + "| a | none | none | 0 | yes | x | same | kept | none | - | no |\n",
         "line 3: settings is unchanged, written or reset"},
        {"document unquoted",
         kHeader + "| a | none | none | 0 | yes | x | same | written | none | has x | no |\n",
         "line 3: document text not in ``"},
        {"id twice", kHeader + "| a | none" + ok + "| a | none" + ok,
         "line 4: id \"a\" used twice"},
        {"id of two words", kHeader + "| a b | none" + ok, "line 3: id \"a b\" must be one word"},
        {"not-injected header", "| call | why |\n|---|---|\n",
         "line 1: header is \"| call | why it is not injected |\""},
    };
    for (const auto& c : cases) {
        faulttable::Table table;
        std::string error;
        EXPECT_FALSE(faulttable::Parse(c.text, &table, &error)) << c.name;
        EXPECT_EQ(c.error, error) << c.name;
        EXPECT_TRUE(table.rows.empty()) << c.name;
    }
}

// The runs themselves need Windows; which operations have rows can be told anywhere.
TEST(FaultTableDocument, EveryHostFaultAndFileOperationHasARow) {
    faulttable::Table table;
    std::string error;
    ASSERT_TRUE(faulttable::Parse(ReadAll(std::string(VELNOR_SOURCE_DIR) + "/docs/fault-matrix.md"),
                                  &table, &error))
        << error;
    std::set<std::string> host, file;
    for (const faulttable::Row& row : table.rows) {
        for (const faulttable::Fault& f : row.faults) {
            if (f.seam == "host") host.insert(f.op);
            if (f.seam == "file") file.insert(f.op);
        }
    }
    for (const std::string& op : hoststandin::FaultOps()) {
        EXPECT_TRUE(host.count(op)) << "host " << op << ": no row";
    }
    for (velnor::FileOp op : velnor::kAllFileOps) {
        EXPECT_TRUE(file.count(velnor::FileOpName(op)))
            << "file " << velnor::FileOpName(op) << ": no row";
    }
}

}  // namespace
