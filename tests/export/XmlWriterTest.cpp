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

// Each text as an element's text, as an attribute value and through Escape().
TEST_F(XmlWriterTest, EscapingInTextsAndAttributes) {
    std::string forbidden;  // every C0 control that XML 1.0 forbids
    for (char c = 1; c < 0x20; ++c) {
        if (c != '\t' && c != '\n' && c != '\r') forbidden += c;
    }
    const struct {
        const char* what;
        std::string text;
        std::string escaped;
    } cases[] = {
        {"the five", "&<>\"'x", "&amp;&lt;&gt;&quot;&apos;x"},
        {"empty", "", ""},
        {"forbidden controls become blanks", "a" + forbidden + "b",
         "a" + std::string(forbidden.size(), ' ') + "b"},
        {"TAB, LF and CR pass", "a\tb\nc\rd", "a\tb\nc\rd"},
        {"controls beside double-byte characters", "\x82\xa0\x1f\x82\xa0\x0b",
         "\x82\xa0 \x82\xa0 "},
        // Every byte of a sequence that is no character of code page 932: one blank.
        {"a lead byte without its trail byte and the control after it", "\x81\x01", "  "},
        {"a lead byte at the end", "abc\x82", "abc "},
        {"a lead byte before a byte that cannot follow it", "\x82<\xe0 \x9f\x7f", " &lt;   \x7f"},
        {"single bytes that are no character", "\x7f\x80\xa0\xfd\xfe\xff", "\x7f     "},
        {"pairs the code page does not assign", "\x85\x40\xeb\x40\x81\xad\x82\x4e\xfc\x4c\xef\x80",
         std::string(12, ' ')},
        // ソ表ポ: second bytes 0x5C and 0x7C.
        {"double-byte characters pass", "\x83\x5c\x95\x5c\x83\x7c", "\x83\x5c\x95\x5c\x83\x7c"},
        // ① ㈱, IBM extensions, NEC-selected IBM extensions, user-defined characters.
        {"the code page's extensions pass",
         "\x87\x40\x87\x8d\xfa\x40\xfc\x4b\xed\x40\xee\xfc\xf0\x40\xf9\xfc",
         "\x87\x40\x87\x8d\xfa\x40\xfc\x4b\xed\x40\xee\xfc\xf0\x40\xf9\xfc"},
        {"half-width katakana pass", "\xa1\xb1\xdf", "\xa1\xb1\xdf"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(writer_.WriteElement(line_, "T", c.text.c_str(), 0, "a", c.text.c_str()), 1);
        EXPECT_EQ(std::string(line_), "<T a=\"" + c.escaped + "\">" + c.escaped + "</T>\r\n");
        EXPECT_EQ(std::string(ClXmlWriter::Escape(c.text.c_str())), c.escaped);
    }
}

TEST_F(XmlWriterTest, OverlongValuesAreCutAtCharacterBoundaryToFitTheLine) {
    std::string kana;  // あ × 150
    for (int k = 0; k < 150; ++k) kana += "\x82\xa0";
    // Level 2, tag PROGRAMNAME: 2 + 13 + 14 + 2 = 31 bytes around the text, 224 for it.
    const struct {
        const char* what;
        std::string text;
        std::string kept;  // the escaped text in the line
    } cases[] = {
        {"fills the line", std::string(224, 'a'), std::string(224, 'a')},
        {"longer", std::string(300, 'a'), std::string(224, 'a')},
        {"no entity is split", std::string(100, '"'), Repeat("&quot;", 37)},
        {"a double-byte character that fills the line is kept", kana, kana.substr(0, 224)},
        {"one that would pass the line is not", "a" + kana, "a" + kana.substr(0, 222)},
        {"blanks for controls keep the cut", std::string(300, '\x01'), std::string(224, ' ')},
        {"blanks for unassigned pairs keep the cut", "a" + Repeat("\x85\x40", 150),
         "a" + std::string(222, ' ')},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        ASSERT_EQ(writer_.WriteElement(line_, "PROGRAMNAME", c.text.c_str(), 2), 1);
        EXPECT_EQ(std::string(line_), "\t\t<PROGRAMNAME>" + c.kept + "</PROGRAMNAME>\r\n");
    }
    // Attribute values share the same room.
    ASSERT_EQ(writer_.WriteStartTag(line_, "S", 0, "v", std::string(400, '&').c_str()), 1);
    EXPECT_EQ(std::string(line_), "<S v=\"" + Repeat("&amp;", 49) + "\">\r\n");
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
