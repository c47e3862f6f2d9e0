#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <string>
#include <vector>

#include "ExportTestUtil.h"

#ifndef _WIN32
#include <sys/stat.h>
#endif
#include "common/Edition.h"
#include "common/Faults.h"
#include "common/File.h"
#include "common/Ui.h"
#include "export/ProgramString.h"
#include "export/SupportInf.h"
#include "export/XmlExport.h"
#include "export/XmlWriter.h"

namespace velnor_test {
namespace {

const std::string kNameMarker = "[=製品名=]";
const std::string kVersionMarker = "[=製品ﾊﾞｰｼﾞｮﾝ=]";

class XmlExportTest : public ScratchDirTest {
  protected:
    void SetUp() override {
        ScratchDirTest::SetUp();
        out_ = Path("out.xml");
        records_.push_back(WorkedExampleRecord());
        exporter_.SetRecordList(&records_);
        exporter_.SetProgress(&progress_);
        exporter_.SetProgressBase(400);
    }
    int Export(short functionId = 1, const StDATAINFO& info = DataInfo()) {
        info_ = info;
        return exporter_.Export(out_.c_str(), functionId, &info_);
    }
    std::string Out() const { return ReadBytes(out_); }

    std::string out_;
    ClRecordList records_;
    ProgressRecorder progress_;
    ClXmlExport exporter_;
    StDATAINFO info_;
};

TEST_F(XmlExportTest, WorkedExampleInBothEditions) {
    ASSERT_EQ(Export(), 1);
    EXPECT_TRUE(SameDocument(Golden("worked_example_pro.xml"), Out()));
    exporter_.SetEdition(&velnor::kEditionStd);
    ASSERT_EQ(Export(), 1);
    EXPECT_TRUE(SameDocument(Golden("worked_example_std.xml"), Out()));
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.xml"});
}

TEST_F(XmlExportTest, EmptyRecordList) {
    records_.clear();
    ASSERT_EQ(Export(2), 1);
    EXPECT_TRUE(SameDocument(Golden("empty_records.xml"), Out()));
    ClXmlExport noList;
    info_ = DataInfo();
    ASSERT_EQ(noList.Export(out_.c_str(), 2, &info_), 1);
    EXPECT_TRUE(SameDocument(Golden("empty_records.xml"), Out()));
}

TEST_F(XmlExportTest, ThreeRecordsCountedInListOrder) {
    auto second = WorkedExampleRecord();
    SetField(*second, "SISANMEI", "応接セット");
    SetField(*second, "SUURYOTANI", "組");
    SetField(*second, "TEKIYOU_JYOUDAN", "本社");
    SetField(*second, "TEKIYOU_GEDAN", "2階");
    auto third = WorkedExampleRecord();
    SetField(*third, "SISANMEI", "少額減価償却資産");
    SetField(*third, "SUURYO", "");
    SetField(*third, "SUURYOTANI", "");
    records_.push_back(std::move(second));
    records_.push_back(nullptr);  // never counted
    records_.push_back(std::move(third));
    ASSERT_EQ(Export(2, DataInfo("ABC商事", 1)), 1);
    EXPECT_TRUE(SameDocument(Golden("three_records.xml"), Out()));
}

TEST_F(XmlExportTest, EscapesTextsFromRecordsAndSupportFile) {
    SetField(*records_.front(), "SISANMEI", "A&B<C>D\"E'F");
    SetField(*records_.front(), "TEKIYOU_JYOUDAN", "\"'&");
    SetField(*records_.front(), "TEKIYOU_GEDAN", "<>");
    WriteBytes("SUPPORT.INF", kNameMarker + "P&Q <R> \"S\" 'T'\r\n" + kVersionMarker + "1.0&2\r\n");
    ASSERT_EQ(Export(1, DataInfo("ABC商事", 2)), 1);
    EXPECT_TRUE(SameDocument(Golden("escaping.xml"), Out()));
}

// Every byte of a sequence that is no character of code page 932 becomes one blank, in
// the support file's values, the company name (after its full-width mapping) and the
// records' texts; the rest of the line stays as it was.
TEST_F(XmlExportTest, BytesThatAreNoCharacterBecomeBlanksInEveryText) {
    const struct {
        const char* what;
        std::string support;  // the support file, when not empty
        const char* company;
        const char* field;  // a record's field and its text, when not null
        const char* text;
        size_t line;  // the line of the document that shows it
        std::string written;
    } cases[] = {
        {"a support value ending in a lead byte", kNameMarker + "abc\x82\r\n", "ABC商事", nullptr,
         nullptr, 7, "\t\t<PROGRAMNAME>abc </PROGRAMNAME>"},
        {"a support value holding bytes that are no character",
         kNameMarker + "P\r\n" + kVersionMarker + "1\x80\xa0\xfd\xfe\xff\x85\x40\xeb\x40\x82<\r\n",
         "ABC商事", nullptr, nullptr, 8,
         "\t\t<PROGRAMVER>1" + std::string(10, ' ') + "&lt;</PROGRAMVER>"},
        {"a company name", "",
         "A\x85\x40\x80"
         "B\x82",
         nullptr, nullptr, 11, "\t\t<KOMONSAKINAME>Ａ   Ｂ</KOMONSAKINAME>"},
        {"an asset's name", "", "ABC商事", "SISANMEI", "\x87\x40\xeb\x40\xf0\x40\xa0\xe0", 19,
         "\t\t\t<SISANMEI>\x87\x40  \xf0\x40  </SISANMEI>"},
        {"a remark", "", "ABC商事", "TEKIYOU_GEDAN", "\xfa\x40\xfc\x4c\xff", 44,
         "\t\t\t<TEKIYOU_GEDAN>\xfa\x40   </TEKIYOU_GEDAN>"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        fs::remove("SUPPORT.INF");
        if (!c.support.empty()) WriteBytes("SUPPORT.INF", c.support);
        records_.clear();
        records_.push_back(WorkedExampleRecord());
        if (c.field != nullptr) SetField(*records_.front(), c.field, c.text);
        ASSERT_EQ(Export(1, DataInfo(c.company)), 1);
        const auto lines = Lines(Out());
        ASSERT_GT(lines.size(), c.line);
        EXPECT_EQ(lines[c.line], c.written);
    }
}

TEST_F(XmlExportTest, FullWidthCompanyNames) {
    const struct {
        const char* company;
        const char* golden;
    } cases[] = {
        {"ABC商事", "worked_example_pro.xml"},
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞ ﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟ ｳﾞ ｱﾞﾜﾞﾟｰ｢ｶ｣", "fullwidth_kana.xml"},
        {"株式会社ABCDEFGHIJKLMNOPQRSTUVWXYZ1\\2345", "fullwidth_long.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        ASSERT_EQ(Export(1, DataInfo(c.company)), 1);
        EXPECT_TRUE(SameDocument(Golden(c.golden), Out()));
    }
    // A company name that fills its field without a terminator is read to the field end.
    StDATAINFO full = DataInfo();
    std::memset(full.szCompanyName, 'A', sizeof full.szCompanyName);
    ASSERT_EQ(Export(1, full), 1);
    std::string expected = "\t\t<KOMONSAKINAME>";
    for (int i = 0; i < 31; ++i) expected += "Ａ";
    EXPECT_EQ(Lines(Out())[11], expected + "</KOMONSAKINAME>");
}

TEST_F(XmlExportTest, FunctionIdIsSigned16Bit) {
    ASSERT_EQ(Export(static_cast<short>(65535)), 1);
    EXPECT_TRUE(SameDocument(Golden("function_id_minus1.xml"), Out()));
}

TEST_F(XmlExportTest, SupportFileValues) {
    const struct {
        std::string file;  // empty: no file
        const char* golden;
    } cases[] = {
        {kNameMarker + "Borlex２０ PRO 会計\r\n" + kVersionMarker + " 20.01.05",
         "support_present.xml"},
        {kNameMarker + "\r\n" + kVersionMarker + "\r\n", "worked_example_pro.xml"},
        {"", "worked_example_pro.xml"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.golden);
        fs::remove("SUPPORT.INF");
        if (!c.file.empty()) WriteBytes("SUPPORT.INF", c.file);
        ASSERT_EQ(Export(), 1);
        EXPECT_TRUE(SameDocument(Golden(c.golden), Out()));
    }
}

TEST_F(XmlExportTest, OverlongSupportValuesAreCutAtCharacterBoundaries) {
    std::string name;
    for (int i = 0; i < 200; ++i) name += "名";  // 400 bytes
    WriteBytes("SUPPORT.INF",
               kNameMarker + "x" + name + "\r\n" + kVersionMarker + std::string(300, '&') + "\r\n");
    ASSERT_EQ(Export(), 1);
    const auto lines = Lines(Out());
    ASSERT_GE(lines.size(), 9u);
    // 2 TABs + tags: 224 bytes of text fit; "x" and 111 whole characters.
    EXPECT_EQ(lines[7], "\t\t<PROGRAMNAME>x" + name.substr(0, 222) + "</PROGRAMNAME>");
    std::string amps;
    for (int i = 0; i < 45; ++i) amps += "&amp;";  // 226 bytes of room, whole entities
    EXPECT_EQ(lines[8], "\t\t<PROGRAMVER>" + amps + "</PROGRAMVER>");
    for (const auto& line : lines) EXPECT_LE(line.size() + 2, 255u);
}

TEST_F(XmlExportTest, OutOfMemoryForSupportFileWritesDefaults) {
    WriteBytes("SUPPORT.INF", kNameMarker + "X\r\n");
    static int messages;
    messages = 0;
    auto previous = velnor::SetMessageBoxHook(
        [](velnor::WindowHandle, const char*, const char*, unsigned) -> int {
            ++messages;
            return velnor::kIdOk;
        });
    auto previousAlloc = ClSupportInf::SetAllocator([](size_t) -> void* { return nullptr; });
    EXPECT_EQ(Export(), 1);
    ClSupportInf::SetAllocator(previousAlloc);
    velnor::SetMessageBoxHook(previous);
    EXPECT_EQ(messages, 2);
    EXPECT_TRUE(SameDocument(Golden("worked_example_pro.xml"), Out()));
}

TEST_F(XmlExportTest, ProgressCallsFollowTheDocument) {
    records_.push_back(WorkedExampleRecord());
    ASSERT_EQ(Export(), 1);
    const std::vector<std::string> expected = {
        "P",                                  // REPORT opened
        "P",        "P", "P", "P", "P", "P",  // six SYSTEM values
        "A400-500", "P",                      // SYSTEM closed
        "P",        "P", "P", "P", "P",       // five BASIC values
        "A500-600", "P",                      // BASIC closed
        "P",        "P",                      // two SISAN
        "A600-700", "P",                      // DATA closed
    };
    EXPECT_EQ(progress_.calls, expected);

    progress_.calls.clear();
    records_.clear();
    exporter_.SetProgressBase(0);
    ASSERT_EQ(Export(), 1);
    EXPECT_EQ(progress_.calls[progress_.calls.size() - 2], "A200-300");
    EXPECT_EQ(progress_.calls[progress_.calls.size() - 3], "P");  // BASIC closed, no SISAN
}

// Every failure: result 0, the destination as it was (an existing file unchanged, or
// still no file), and no other file left in the folder. The lines reach the file in large
// writes: a document of many records takes several, and a failed one stops the export at
// once.
TEST_F(XmlExportTest, FailuresLeaveTheDestinationUntouched) {
    const std::string previous = "previous document\r\n";
    constexpr int kManyRecords = 200;
    static int writes;
    writes = 0;
    auto previousObserver = velnor::SetFileOpObserver([](velnor::FileOp op, const char*, bool) {
        if (op == velnor::FileOp::kWrite) ++writes;
    });
    const auto useRecords = [this](int n) {
        records_.clear();
        for (int i = 0; i < n; ++i) records_.push_back(WorkedExampleRecord());
    };
    useRecords(kManyRecords);
    ASSERT_EQ(Export(), 1);
    velnor::SetFileOpObserver(previousObserver);
    const int lastWrite = writes;
    ASSERT_GE(lastWrite, 3);
    const auto plan = [](velnor::FileOp op, int n) {
        return [op, n] { velnor::PlanFileFault(op, n); };
    };
    using velnor::FileOp;
    const struct {
        const char* what;
        bool existing;
        int records;
        std::function<void()> arrange;
        uint8_t rounding;
    } cases[] = {
        {"rounding code 3, new file", false, 1, [] {}, 3},
        {"rounding code 3, existing file", true, 1, [] {}, 3},
        {"the one write of a short document", true, 1, plan(FileOp::kWrite, 1), 0},
        {"first write of a long document", false, kManyRecords, plan(FileOp::kWrite, 1), 0},
        {"a write amid the records", true, kManyRecords, plan(FileOp::kWrite, 2), 0},
        {"last write", true, kManyRecords, plan(FileOp::kWrite, lastWrite), 0},
        {"flushing the file", true, 1, plan(FileOp::kFlush, 1), 0},
        {"closing the file", true, 1, plan(FileOp::kClose, 1), 0},
        {"moving over the destination", true, 1, plan(FileOp::kRename, 1), 0},
        {"no temporary file", true, 1, plan(FileOp::kTempFile, 1), 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        velnor::ResetFileFaults();
        useRecords(c.records);
        fs::remove(out_);
        if (c.existing) WriteBytes(out_, previous);
        c.arrange();
        progress_.calls.clear();
        EXPECT_EQ(Export(1, DataInfo("ABC商事", c.rounding)), 0);
        if (c.existing) {
            EXPECT_EQ(Out(), previous);
            EXPECT_EQ(Entries(), std::vector<std::string>{"out.xml"});
        } else {
            EXPECT_FALSE(fs::exists(out_));
            EXPECT_TRUE(Entries().empty());
        }
    }
    // A write amid the records stops the export there: no later record is pulsed and
    // the DATA block never advances the bar.
    velnor::ResetFileFaults();
    useRecords(kManyRecords);
    velnor::PlanFileFault(FileOp::kWrite, 2);
    EXPECT_EQ(Export(), 0);
    EXPECT_LT(progress_.calls.size(), static_cast<size_t>(kManyRecords));
    EXPECT_EQ(std::count(progress_.calls.begin(), progress_.calls.end(), "A600-700"), 0);
    velnor::ResetFileFaults();
    velnor::PlanFileFault(FileOp::kWrite, lastWrite + 1);
    EXPECT_EQ(Export(), 1);
}

TEST_F(XmlExportTest, RoundingCode3StopsAfterThePeriodEnd) {
    ASSERT_EQ(Export(1, DataInfo("ABC商事", 3)), 0);
    // Pulses: REPORT, six SYSTEM values, its advance, the block, three BASIC values.
    EXPECT_EQ(progress_.calls.size(), 1u + 6 + 1 + 1 + 3);
    EXPECT_EQ(progress_.calls.back(), "P");
    // What the writer produced up to the failure, as the format describes it.
    velnor::ClFile file;
    ClXmlWriter writer;
    const std::string direct = Path("direct.xml");
    ASSERT_EQ(writer.Open(&file, direct.c_str()), 0);
    StDATAINFO info = DataInfo("ABC商事", 3);
    EXPECT_EQ(exporter_.WriteBasic(writer, &info), 0);
    writer.Close();
    const auto lines = Lines(ReadBytes(direct));
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines.back(), "\t\t<JIGYOUNENDOTO>20191231</JIGYOUNENDOTO>");
}

TEST_F(XmlExportTest, UnopenableDestinations) {
    const struct {
        const char* what;
        std::string path;
    } cases[] = {
        {"folder missing", Path("missing/out.xml")},
        {"destination is a folder", Path("folder.xml")},
        {"empty path", ""},
    };
    fs::create_directory(Path("folder.xml"));
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        progress_.calls.clear();
        info_ = DataInfo();
        EXPECT_EQ(exporter_.Export(c.path.c_str(), 1, &info_), 0);
        EXPECT_EQ(progress_.calls, std::vector<std::string>{"P"});  // REPORT only
        EXPECT_EQ(Entries(), std::vector<std::string>{"folder.xml"});
    }
    EXPECT_TRUE(fs::is_directory(Path("folder.xml")));
    EXPECT_EQ(exporter_.Export(nullptr, 1, &info_), 0);
}

#ifndef _WIN32
TEST_F(XmlExportTest, SpecialDestinationsAreNeverReplaced) {
    // A pipe must neither be opened (that would wait for a reader) nor replaced.
    ASSERT_EQ(mkfifo(out_.c_str(), 0600), 0);
    EXPECT_EQ(Export(), 0);
    EXPECT_TRUE(fs::is_fifo(out_));
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.xml"});
    fs::remove(out_);

    // A link that leads nowhere is refused, and stays a link.
    fs::create_symlink(Path("real/target.xml"), out_);
    EXPECT_EQ(Export(), 0);
    EXPECT_EQ(velnor::LastFileError(), velnor::kFileErrorDanglingLink);
    EXPECT_TRUE(fs::is_symlink(out_));
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.xml"});

    // Through a symbolic link the linked file gets the document, keeping its mode, and the
    // link stays.
    fs::create_directory(Path("real"));
    WriteBytes(Path("real/target.xml"), "old");
    ASSERT_EQ(chmod(Path("real/target.xml").c_str(), 0600), 0);
    ASSERT_EQ(Export(), 1);
    EXPECT_TRUE(fs::is_symlink(out_));
    EXPECT_TRUE(SameDocument(Golden("worked_example_pro.xml"), ReadBytes(Path("real/target.xml"))));
    EXPECT_EQ(fs::status(Path("real/target.xml")).permissions(),
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(Entries(), (std::vector<std::string>{"out.xml", "real"}));
    EXPECT_EQ(fs::directory_iterator(Path("real"))->path().filename(), "target.xml");
}
#endif

#ifdef _WIN32
TEST_F(XmlExportTest, DestinationHeldOpenElsewhereIsNotReplaced) {
    WriteBytes(out_, "kept");
    velnor::ClFile other;
    ASSERT_TRUE(other.Open(out_.c_str(), velnor::ClFile::kRead | velnor::ClFile::kShareExclusive));
    EXPECT_EQ(Export(), 0);
    other.Close();
    EXPECT_EQ(Out(), "kept");
    EXPECT_EQ(Entries(), std::vector<std::string>{"out.xml"});
}
#endif

TEST_F(XmlExportTest, DestinationInAFolderWithDoubleByteName) {
    // 表 is 0x95 0x5C: on Windows its second byte must not be taken for a separator.
#ifdef _WIN32
    const std::string sep = "\\";
#else
    const std::string sep = "/";
#endif
    const std::string folder = dir_.string() + sep + "\x95\x5c";
    ASSERT_TRUE(velnor::MakeDirectory(folder.c_str()));
    const std::string path = folder + sep + "out.xml";
    info_ = DataInfo();
    ASSERT_EQ(exporter_.Export(path.c_str(), 1, &info_), 1);
    // Read back through the file object: it passes the bytes to the platform unchanged.
    velnor::ClFile file;
    ASSERT_TRUE(file.Open(path.c_str(), velnor::ClFile::kRead));
    std::string written(4096, '\0');
    written.resize(file.Read(&written[0], written.size()));
    EXPECT_TRUE(SameDocument(Golden("worked_example_pro.xml"), written));
    EXPECT_EQ(Entries().size(), 1u);
}

TEST(ProgramString, LinkVersionFromTheStringTable) {
    char text[64];
    EXPECT_EQ(velnor::LoadProgramString(velnor::kStringConnectedProgramVersion, text, sizeof text),
              8u);
    EXPECT_STREQ(text, "20.00.00");
    EXPECT_EQ(velnor::LoadProgramString(velnor::kStringConnectedProgramVersion, text, 4), 3u);
    EXPECT_STREQ(text, "20.");
    // A string the table does not hold gives the empty text.
    std::strcpy(text, "x");
    EXPECT_EQ(velnor::LoadProgramString(2, text, sizeof text), 0u);
    EXPECT_STREQ(text, "");
}

}  // namespace
}  // namespace velnor_test
