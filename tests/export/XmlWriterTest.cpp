#include <gtest/gtest.h>

#include <string>

#include "ExportTestUtil.h"
#include "common/Faults.h"
#include "common/File.h"
#include "export/XmlWriter.h"

namespace velnor_test {
namespace {

class XmlWriterTest : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        path_ = Path("w.xml");
        ASSERT_EQ(writer_.Open(&file_, path_.c_str()), 0);
    }
    std::string Written() {
        writer_.Close();
        return ReadBytes(path_);
    }

    std::string path_;
    velnor::ClFile file_;
    ClXmlWriter writer_;
    char line_[256];
};

TEST_F(XmlWriterTest, LineForms) {
    EXPECT_EQ(writer_.WriteStartTag(line_, "REPORT", 0), 1);
    EXPECT_STREQ(line_, "<REPORT>\r\n");
    EXPECT_EQ(writer_.WriteStartTag(line_, "SISAN", 2, "Count", "12"), 1);
    EXPECT_STREQ(line_, "\t\t<SISAN Count=\"12\">\r\n");
    EXPECT_EQ(writer_.WriteStartTag(line_, "A", 1, "x", "1", "y", "2"), 1);
    EXPECT_STREQ(line_, "\t<A x=\"1\" y=\"2\">\r\n");
    EXPECT_EQ(writer_.WriteStartTag(line_, "B", 1, nullptr, nullptr, "y", "2"), 1);
    EXPECT_STREQ(line_, "\t<B>\r\n");  // a second attribute without a first is not written
    EXPECT_EQ(writer_.WriteStartTag(line_, "C", 1, "x", nullptr, "y", "2"), 1);
    EXPECT_STREQ(line_, "\t<C>\r\n");
    EXPECT_EQ(writer_.WriteStartTag(line_, "D", -3), 1);
    EXPECT_STREQ(line_, "<D>\r\n");
    EXPECT_EQ(writer_.WriteEndTag(line_, "SISAN", 2), 1);
    EXPECT_STREQ(line_, "\t\t</SISAN>\r\n");
    EXPECT_EQ(writer_.WriteElement(line_, "KEIKASOTI", "", 3), 1);
    EXPECT_STREQ(line_, "\t\t\t<KEIKASOTI></KEIKASOTI>\r\n");
    EXPECT_EQ(writer_.WriteElement(line_, "E", nullptr, 0), 1);
    EXPECT_STREQ(line_, "<E></E>\r\n");
    EXPECT_EQ(writer_.WriteElement(line_, "T", "a<b & \"c\"", 1, "n", "v"), 1);
    EXPECT_STREQ(line_, "\t<T n=\"v\">a&lt;b &amp; &quot;c&quot;</T>\r\n");
    EXPECT_EQ(writer_.WriteRaw("raw\r\n"), 1);
    EXPECT_EQ(Written(),
              "<REPORT>\r\n\t\t<SISAN Count=\"12\">\r\n\t<A x=\"1\" y=\"2\">\r\n\t<B>\r\n\t<C>\r\n"
              "<D>\r\n\t\t</SISAN>\r\n\t\t\t<KEIKASOTI></KEIKASOTI>\r\n<E></E>\r\n"
              "\t<T n=\"v\">a&lt;b &amp; &quot;c&quot;</T>\r\nraw\r\n");
}

TEST_F(XmlWriterTest, EscapesAllFiveInTextAndAttributesOnly) {
    EXPECT_EQ(writer_.WriteElement(line_, "T", "&<>\"'x", 0, "a", "&<>\"'", "b", "'"), 1);
    EXPECT_STREQ(
        line_,
        "<T a=\"&amp;&lt;&gt;&quot;&apos;\" b=\"&apos;\">&amp;&lt;&gt;&quot;&apos;x</T>\r\n");
    EXPECT_STREQ(ClXmlWriter::Escape("&<>\"'"), "&amp;&lt;&gt;&quot;&apos;");
    EXPECT_STREQ(ClXmlWriter::Escape(""), "");
    // Control characters and bytes that are not valid Shift_JIS pass unchanged.
    EXPECT_STREQ(ClXmlWriter::Escape("\x01\x7f\x80\xff"), "\x01\x7f\x80\xff");
}

TEST_F(XmlWriterTest, DoubleByteCharactersWithAsciiSecondBytePassUnchanged) {
    const char text[] = "\x83\x5c\x95\x5c\x83\x7c";  // ソ表ポ: second bytes 0x5C and 0x7C
    EXPECT_EQ(writer_.WriteElement(line_, "N", text, 0), 1);
    EXPECT_EQ(std::string(line_), std::string("<N>") + text + "</N>\r\n");
}

TEST_F(XmlWriterTest, OverlongValuesAreCutAtCharacterBoundaryToFitTheLine) {
    struct Case {
        std::string text;
        size_t expectedTextBytes;  // of the escaped text in the line
    };
    // Level 2, tag PROGRAMNAME: 2 + 13 + 14 + 2 = 31 bytes around the text, 224 for it.
    const Case cases[] = {
        {std::string(224, 'a'), 224},
        {std::string(300, 'a'), 224},
        {std::string(100, '"'), 222},  // 37 × "&quot;": no entity is split
    };
    for (size_t i = 0; i < sizeof cases / sizeof cases[0]; ++i) {
        const Case& c = cases[i];
        ASSERT_EQ(writer_.WriteElement(line_, "PROGRAMNAME", c.text.c_str(), 2), 1);
        const std::string line(line_);
        EXPECT_LE(line.size(), 255u);
        EXPECT_EQ(line.size(), 31 + c.expectedTextBytes) << i;
        EXPECT_EQ(line.substr(line.size() - 16), "</PROGRAMNAME>\r\n");
    }
    // あ × 150 after one ASCII byte: 1 + 2k bytes fit in 224 for k = 111.
    std::string kana = "a";
    for (int k = 0; k < 150; ++k) kana += "\x82\xa0";
    ASSERT_EQ(writer_.WriteElement(line_, "PROGRAMNAME", kana.c_str(), 2), 1);
    EXPECT_EQ(std::string(line_), "\t\t<PROGRAMNAME>" + kana.substr(0, 223) + "</PROGRAMNAME>\r\n");
    // Attribute values share the same room.
    ASSERT_EQ(writer_.WriteStartTag(line_, "S", 0, "v", std::string(400, '&').c_str()), 1);
    EXPECT_EQ(
        std::string(line_), "<S v=\"" + [] {
            std::string s;
            for (int k = 0; k < 49; ++k) s += "&amp;";
            return s;
        }() + "\">\r\n");
    // The escaping area holds 255 bytes of whole entities.
    EXPECT_EQ(std::string(ClXmlWriter::Escape(std::string(100, '\'').c_str())).size(), 252u);
}

// Lines of 100 bytes: 655 fill a block of the writer's buffer, the 656th starts the next.
TEST_F(XmlWriterTest, LinesReachTheFileInLargeWritesAndTheFirstFailureFailsTheRest) {
    const std::string text(100 - 2, 'x');
    constexpr int kLines = 2000;
    constexpr size_t kBlock = 655 * 100;
    static int writes;
    const auto previous = velnor::SetFileOpObserver([](velnor::FileOp op, const char*, bool) {
        if (op == velnor::FileOp::kWrite) ++writes;
    });
    const struct {
        const char* what;
        velnor::FileOp op;  // the one that fails, on its n-th call; n 0: none
        int n;
        int writtenLines;  // lines accepted before the first failure
        size_t fileSize;
        int writeCalls;
    } cases[] = {
        {"no failure", velnor::FileOp::kWrite, 0, kLines, kLines * 100u, 4},
        {"second block", velnor::FileOp::kWrite, 2, 2 * 655, kBlock, 2},
        {"the rest at close", velnor::FileOp::kWrite, 4, kLines, 3 * kBlock, 4},
        {"flush at close", velnor::FileOp::kFlush, 1, kLines, kLines * 100u, 4},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        velnor::ResetFileFaults();
        if (c.n > 0) velnor::PlanFileFault(c.op, c.n);
        ASSERT_EQ(writer_.Open(&file_, path_.c_str()), 0);
        writes = 0;
        int accepted = 0;
        for (int i = 0; i < kLines; ++i) accepted += writer_.WriteRaw((text + "\r\n").c_str());
        EXPECT_EQ(accepted, c.writtenLines);
        writer_.Close();
        EXPECT_EQ(writer_.Failed(), c.n > 0);
        EXPECT_EQ(writes, c.writeCalls);
        EXPECT_EQ(ReadBytes(path_).size(), c.fileSize);
    }
    velnor::SetFileOpObserver(previous);
    // After a failure nothing is written any more, and closing again changes nothing.
    velnor::ResetFileFaults();
    velnor::PlanFileFault(velnor::FileOp::kWrite, 1);
    ASSERT_EQ(writer_.Open(&file_, path_.c_str()), 0);
    EXPECT_EQ(writer_.WriteRaw(std::string(ClXmlWriter::kBufferSize + 1, 'y').c_str()), 0);
    EXPECT_EQ(writer_.WriteStartTag(line_, "A", 0), 0);
    EXPECT_TRUE(writer_.Failed());
    writer_.Close();
    writer_.Close();
    EXPECT_EQ(ReadBytes(path_), "");
}

TEST_F(XmlWriterTest, OpenTruncatesAndRefusesMissingArguments) {
    writer_.Close();
    WriteBytes(path_, "old content that is longer");
    velnor::ClFile file;
    ClXmlWriter writer;
    EXPECT_EQ(writer.Open(nullptr, path_.c_str()), -1);
    EXPECT_EQ(writer.Open(&file, nullptr), -1);
    EXPECT_EQ(writer.Open(&file, ""), -1);
    EXPECT_EQ(writer.WriteRaw("x"), 0);  // nothing attached
    EXPECT_EQ(writer.Open(&file, path_.c_str()), 0);
    EXPECT_EQ(writer.path(), path_);
    EXPECT_EQ(writer.WriteRaw("new"), 1);
    writer.Close();
    EXPECT_EQ(ReadBytes(path_), "new");
}

TEST_F(XmlWriterTest, UnopenablePathFailsAtTheFirstWrite) {
    velnor::ClFile file;
    ClXmlWriter writer;
    const std::string path = Path("no-such-folder/x.xml");
    EXPECT_EQ(writer.Open(&file, path.c_str()), 0);
    EXPECT_EQ(writer.WriteRaw("x"), 0);
    writer.Close();
    EXPECT_FALSE(fs::exists(path));
}

}  // namespace
}  // namespace velnor_test
