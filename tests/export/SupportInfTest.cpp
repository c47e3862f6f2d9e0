#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "ExportTestUtil.h"
#include "common/Faults.h"
#include "common/Ui.h"
#include "export/SupportInf.h"
#include "support/Seams.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace velnor_test {
namespace {

const std::string kName = "[=製品名=]";
const std::string kVersion = "[=製品ﾊﾞｰｼﾞｮﾝ=]";

void* NoMemory(size_t) { return nullptr; }

class SupportInfTest : public ScratchDirTest {
  protected:
    void TearDown() override {
        ClSupportInf::SetAllocator(nullptr);
        ScratchDirTest::TearDown();
    }
    // Each box as "text|caption|type".
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const auto& box : boxes_.shown)
            messages.push_back(box.text + "|" + box.caption + "|" + std::to_string(box.type));
        return messages;
    }
    velnor_test::MessageBoxRecorder boxes_;
};

TEST_F(SupportInfTest, LooksUpBothValues) {
    struct Case {
        const char* what;
        std::string file;
        std::string name;
        std::string version;
    };
    const std::string big(30000, 'x');
    const Case cases[] = {
        {"line with CR LF, last line without",
         "[=会社=]X\r\n" + kName + "Borlex Pro\r\n" + kVersion + "20.01.05", "Borlex Pro",
         "20.01.05"},
        {"blank after the marker is kept", kName + "  N \r\n", "  N ", ""},
        {"first occurrence counts", kName + "first\r\n" + kName + "second\r\n", "first", ""},
        {"marker inside a line", "abc" + kName + "X\r\n", "X", ""},
        {"0x1A ends the text",
         kName +
             "AB\x1a"
             "CD\r\n" +
             kVersion + "V",
         "AB", "V"},
        {"a lone CR belongs to the value", kName + "A\rB\r\n", "A\rB", ""},
        {"marker at the end of a line", kName + "\r\n" + kVersion + "\r\n", "", ""},
        {"empty file", "", "", ""},
        {"no markers", "[=製品=]X\r\n", "", ""},
        {"marker beyond 30000 bytes", big + kName + "X", "", ""},
        {"marker across the 30000-byte boundary", big.substr(0, 29995) + kName + "X", "", ""},
        {"value running to the end of the buffer ends there",
         big.substr(0, 29980) + kName + std::string(100, 'v'), std::string(10, 'v'), ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        WriteBytes("SUPPORT.INF", c.file);
        ClSupportInf inf;
        EXPECT_EQ(std::string(inf.GetProductName()), c.name);
        EXPECT_EQ(std::string(inf.GetProductVersion()), c.version);
        EXPECT_EQ(inf.Load(), 1);
    }
    EXPECT_TRUE(Messages().empty());
}

// Anything but a plain file counts as no file. A pipe must not hold the export up waiting
// for a writer: the alarm ends the test if it does.
TEST_F(SupportInfTest, MissingFileGivesEmptyTextsWithoutMessage) {
    const char* kinds[] = {"none", "folder",
#ifndef _WIN32
                           "fifo"
#endif
    };
    for (const char* kind : kinds) {
        SCOPED_TRACE(kind);
        fs::remove_all("SUPPORT.INF");
        if (std::string(kind) == "folder") fs::create_directory("SUPPORT.INF");
#ifndef _WIN32
        if (std::string(kind) == "fifo") {
            ASSERT_EQ(mkfifo("SUPPORT.INF", 0600), 0);
        }
        alarm(10);
#endif
        ClSupportInf inf;
        EXPECT_STREQ(inf.GetProductName(), "");
#ifndef _WIN32
        alarm(0);
#endif
        EXPECT_EQ(inf.Load(), 1);  // the buffer stays, full of 0xFF
        EXPECT_STREQ(inf.GetProductVersion(), "");
    }
    EXPECT_TRUE(Messages().empty());
}

TEST_F(SupportInfTest, FileReadOnceAtFirstLoad) {
    WriteBytes("SUPPORT.INF", kName + "A\r\n");
    ClSupportInf inf;
    EXPECT_EQ(inf.Load(), 1);
    WriteBytes("SUPPORT.INF", kName + "B\r\n");
    EXPECT_STREQ(inf.GetProductName(), "A");
}

TEST_F(SupportInfTest, UnreadableFileCountsAsMissing) {
    WriteBytes("SUPPORT.INF", kName + "A\r\n");
    velnor::PlanFileFault(velnor::FileOp::kRead, 1);
    ClSupportInf inf;
    EXPECT_EQ(inf.Load(), 0);
    EXPECT_STREQ(inf.GetProductName(), "");
}

TEST_F(SupportInfTest, OutOfMemoryShowsMessageAtEachLookup) {
    WriteBytes("SUPPORT.INF", kName + "A\r\n");
    ClSupportInf::SetAllocator(NoMemory);
    ClSupportInf inf;
    EXPECT_STREQ(inf.GetProductName(), "");
    EXPECT_STREQ(inf.GetProductVersion(), "");
    const std::string expected = std::string("ﾒﾓﾘが不足しています。|所得税(減価償却)|") +
                                 std::to_string(velnor::kMbOk | velnor::kMbIconWarning);
    EXPECT_EQ(Messages(), (std::vector<std::string>{expected, expected}));
    // Memory again: the next lookup loads.
    ClSupportInf::SetAllocator(nullptr);
    EXPECT_STREQ(inf.GetProductName(), "A");
}

}  // namespace
}  // namespace velnor_test
