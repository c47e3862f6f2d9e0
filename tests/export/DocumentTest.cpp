// The documents the export writes, read by a real XML parser (libxml2's xmllint) and
// validated against the format's schema, docs/export.xsd.
#include <gtest/gtest.h>

#include <algorithm>
#include <random>
#include <string>
#include <vector>

#include "ExportTestUtil.h"
#include "common/Business.h"
#include "host_standin/HostStandIn.h"
#include "load/HostExport.h"
#include "load/LoadData.h"
#include "support/Json.h"
#include "support/XmlLint.h"

namespace velnor_test {
namespace {

const std::string kSchema = VELNOR_SOURCE_DIR "/docs/export.xsd";

::testing::AssertionResult Valid(const std::string& document) {
    const XmlLintVerdict verdict = XmlLint(document, kSchema);
    if (verdict.passed) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << verdict.message;
}

bool HoldsForbiddenControl(const std::string& text) {
    return std::any_of(text.begin(), text.end(), [](char c) {
        return static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n' && c != '\r';
    });
}

// The schema holds every document of the format and refuses what the format never writes.
TEST(ExportSchema, GoldenDocumentsAreValidAndAlteredOnesAreNot) {
    int documents = 0;
    for (const auto& entry : fs::directory_iterator(fs::path(VELNOR_TEST_DATA_DIR) / "export")) {
        SCOPED_TRACE(entry.path().string());
        EXPECT_TRUE(Valid(ReadBytes(entry.path())));
        ++documents;
    }
    EXPECT_GE(documents, 9);

    const std::string worked = Golden("worked_example_pro.xml");
    const struct {
        const char* what;
        std::string from, to;
    } alterations[] = {
        {"an amount with separators", ">2400000<", ">2,400,000<"},
        {"a quantity with one decimal", "<SUURYO>1.00<", "<SUURYO>1.0<"},
        {"a date with dashes", ">20190101<", ">2019-01-01<"},
        {"a rate with four decimals", ">0.167<", ">0.1670<"},
        {"a one-digit month", "<SYUTOKUNENGETU_TUKI>07<", "<SYUTOKUNENGETU_TUKI>7<"},
        {"elements out of order", "<GYOUMUPREFIX>MV14</GYOUMUPREFIX>\r\n\t\t<VERSION>1</VERSION>",
         "<VERSION>1</VERSION>\r\n\t\t<GYOUMUPREFIX>MV14</GYOUMUPREFIX>"},
        {"a missing element", "\t\t\t<KEIKASOTI></KEIKASOTI>\r\n", ""},
        {"an empty product name", ">Borlex２０ PRO<", "><"},
        {"a forbidden control", "営業用", "営\x01業用"},
    };
    for (const auto& a : alterations) {
        SCOPED_TRACE(a.what);
        std::string altered = worked;
        const size_t at = altered.find(a.from);
        ASSERT_NE(at, std::string::npos);
        altered.replace(at, a.from.size(), a.to);
        EXPECT_FALSE(Valid(altered));
    }
}

// A calendar day of a year from `firstYear` to 9999.
int RandomDay(std::mt19937& random, int firstYear) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    const int year = std::uniform_int_distribution<int>(firstYear, 9999)(random);
    const int month = std::uniform_int_distribution<int>(1, 12)(random);
    const bool leap = (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
    const int last = kDays[month - 1] + (month == 2 && leap ? 1 : 0);
    return year * 10000 + month * 100 + std::uniform_int_distribution<int>(1, last)(random);
}

// Host data whose dates lie anywhere in the range the loader accepts: the period given,
// and assets of both business categories acquired and disposed on days from 1868-01-01
// to 9999-12-31 (the same seed gives the same file).
std::string WideDates(unsigned seed, int periodStart, int periodEnd) {
    std::mt19937 random(seed);
    std::string assets;
    for (int i = 0; i < 300; ++i) {
        const int acquired = i == 0 ? 18680101 : RandomDay(random, 1868);
        assets += std::string(assets.empty() ? "" : ",\n") + "{\"name\": \"A" + std::to_string(i) +
                  "\", \"businessCategory\": " + std::to_string(1 + i % 2) +
                  ", \"method\": " + std::to_string(i % 3 == 0 ? 7 : 1) +
                  ", \"acquired\": " + std::to_string(acquired) +
                  (i % 4 == 1 ? ", \"disposalState\": 4, \"disposed\": " +
                                    std::to_string(RandomDay(random, 1868))
                              : std::string()) +
                  ", \"cost\": \"100000\", \"bookValueStart\": \"80000\", \"life\": 5, "
                  "\"rate\": 200}";
    }
    return "{\"user\": {\"id\": \"u\", \"selected\": [1, 1]}, \"dataSets\": [{\"id\": \"D1\", "
           "\"number\": 1, \"periodStart\": " +
           std::to_string(periodStart) + ", \"periodEnd\": " + std::to_string(periodEnd) +
           ", \"businessKinds\": 3, \"assets\": [\n" + assets + "]}]}";
}

// Whatever host data the loader takes, the export is a document the schema accepts: the
// load generator's assets of every kind, every text at its limit, and dates across the
// whole range the loader accepts, each exported for every business kind.
TEST(ExportSchema, GeneratedDocumentsAreValid) {
    const struct {
        const char* what;
        std::string hostData;
    } cases[] = {
        {"many assets of every kind", loaddata::ManyAssets(5000)},
        {"every text at its limit", loaddata::FieldLimits()},
        {"dates across the range, a period in the first year", WideDates(1, 18680101, 18681231)},
        {"dates across the range, a period of today", WideDates(2, 20240401, 20250331)},
        {"dates across the range, a period in the last year", WideDates(3, 99990101, 99991231)},
        {"dates across the range, a period of the whole range", WideDates(4, 18680101, 99991231)},
    };
    for (const auto& c : cases) {
        size_t records = 0;
        for (const int16_t category : {BUSINESS_GENERAL, BUSINESS_REALESTATE, BUSINESS_BOTH}) {
            SCOPED_TRACE(std::string(c.what) + ", business kind " + std::to_string(category));
            size_t written = 0;
            const std::string document = loaddata::ExportHostData(c.hostData, category, &written);
            records += written;
            EXPECT_TRUE(Valid(document));
        }
        EXPECT_GT(records, 0u) << c.what;
    }
    // Periods of years drawn from 1 to 9999: the loader takes those from 1868 on and
    // refuses the others, and what it takes the schema accepts.
    std::mt19937 random(21);
    int taken = 0, refused = 0;
    for (int i = 0; i < 30; ++i) {
        const int start = RandomDay(random, 1);
        const std::string hostData = WideDates(100 + i, start, start / 10000 * 10000 + 1231);
        SCOPED_TRACE("a period from " + std::to_string(start));
        hoststandin::Reset();
        if (!hoststandin::LoadFromString(hostData).empty()) {
            EXPECT_LT(start, 18680101);
            ++refused;
            continue;
        }
        ++taken;
        EXPECT_TRUE(Valid(loaddata::ExportHostData(hostData, BUSINESS_BOTH)));
    }
    EXPECT_GT(taken, 0);
    EXPECT_GT(refused, 0);
    hoststandin::Reset();
}

class ForbiddenControls : public ScratchDirTest {
  protected:
    void TearDown() override {
        hoststandin::Reset();
        ScratchDirTest::TearDown();
    }
};

// Host texts and support-file values holding every C0 control that XML forbids, and
// support-file values holding bytes that are no character of code page 932: each becomes
// one blank where it stood, so cuts and lengths stay, and the document parses.
// TAB, LF and CR are written as they are.
TEST_F(ForbiddenControls, BecomeBlanksInEveryTextAndTheDocumentParses) {
    std::string f;  // the forbidden bytes, 28 of them
    for (char c = 1; c < 0x20; ++c) {
        if (c != '\t' && c != '\n' && c != '\r') f += c;
    }
    const auto blanks = [](size_t n) { return std::string(n, ' '); };
    const std::string aUtf8 = u8"あ";  // host texts are UTF-8, the document Shift_JIS
    const std::string a = "あ";
    struct Asset {
        const char* what;
        std::string name, quantity, remarks;  // host texts
        std::string written[4];               // SISANMEI, SUURYOTANI, the two remark lines
    };
    std::vector<Asset> assets = {
        {"all in each text; the remarks' cut before a double-byte character stays",
         "A" + f.substr(0, 15) + aUtf8 + f.substr(15),
         "1" + f.substr(0, 4),
         f.substr(0, 19) + aUtf8 + f.substr(19) + "xxxxxxxxx",
         {"A" + blanks(15) + a + blanks(13), blanks(4), blanks(19), a + blanks(9) + "xxxxxxxxx"}},
        {"the name's cut before a double-byte character stays",
         std::string(31, '\x1f') + aUtf8,
         "3",
         "",
         {blanks(31), "", "", ""}},
        {"TAB, LF and CR pass",
         "a\tb\nc\rd",
         "2\t\n\r",
         "\t\n\r",
         {"a\tb\nc\rd", "\t\n\r", "\t\n\r", ""}},
    };
    // A unit holds four bytes at most: the rest of the bytes in the quantities of more assets.
    for (size_t at = 4; at < f.size(); at += 4) {
        const std::string unit = f.substr(at, 4);
        assets.push_back(
            {"a quantity's unit", "N", "1" + unit, "", {"N", blanks(unit.size()), "", ""}});
    }
    std::string assetsJson;
    for (const Asset& asset : assets) {
        assetsJson += std::string(assetsJson.empty() ? "" : ",\n") +
                      "{\"name\": " + JsonText(asset.name) +
                      ", \"quantity\": " + JsonText(asset.quantity) +
                      ", \"remarks\": " + JsonText(asset.remarks) +
                      ", \"acquired\": 20200401, \"cost\": \"100000\", "
                      "\"bookValueStart\": \"80000\", \"life\": 5, \"rate\": 200}";
    }
    // The company name is mapped to full width first, so its blanks stay single bytes: of
    // 3 + 28 + 20 × 2 bytes, 63 fit the 63-byte bound.
    const std::string company = "\t\n\r" + f + std::string(20, 'B');
    const std::string hostData =
        "{\"user\": {\"id\": \"u\", \"selected\": [1, 1]}, \"dataSets\": [{\"id\": \"D1\", "
        "\"number\": 1, \"company\": " +
        JsonText(company) +
        ", \"periodStart\": 20240401, \"periodEnd\": 20250331, "
        "\"assets\": [\n" +
        assetsJson + "]}]}";
    // 0x1A ends a support-file value, so it cannot stand in one.
    std::string supportBytes = f;
    supportBytes.erase(supportBytes.find('\x1a'), 1);
    // Bytes that are no character of code page 932 become blanks as well; a lead byte at
    // the end of the value stood before the '<' of the end tag.
    const std::string noCharacters = "\x80\xa0\xfd\xfe\xff\x85\x40\xeb\x40";
    WriteBytes("SUPPORT.INF", "[=製品名=]P" + supportBytes + "\t\n\rQ" + noCharacters +
                                  "abc\x82\r\n[=製品ﾊﾞｰｼﾞｮﾝ=]" + std::string(300, '\x01') + "\r\n");

    size_t records = 0;
    const std::string document = loaddata::ExportHostData(hostData, BUSINESS_GENERAL, &records);
    ASSERT_EQ(records, assets.size());
    EXPECT_TRUE(Valid(document));
    EXPECT_FALSE(HoldsForbiddenControl(document));

    const auto element = [](const char* tag, const std::string& text) {
        return std::string("<") + tag + ">" + text + "</" + tag + ">\r\n";
    };
    EXPECT_NE(document.find(element("KOMONSAKINAME", "\t\n\r" + blanks(28) + Repeat("Ｂ", 16))),
              std::string::npos);
    EXPECT_NE(
        document.find(element("PROGRAMNAME", "P" + blanks(27) + "\t\n\rQ" + blanks(9) + "abc ")),
        std::string::npos);
    EXPECT_NE(document.find(element("PROGRAMVER", blanks(226))), std::string::npos);
    static const char* const kTags[4] = {"SISANMEI", "SUURYOTANI", "TEKIYOU_JYOUDAN",
                                         "TEKIYOU_GEDAN"};
    size_t from = 0;
    for (size_t i = 0; i < assets.size(); ++i) {
        SCOPED_TRACE(assets[i].what);
        from = document.find("<SISAN Count=\"" + std::to_string(i + 1) + "\">", from);
        ASSERT_NE(from, std::string::npos);
        const std::string block = document.substr(from, document.find("</SISAN>", from) - from);
        for (int k = 0; k < 4; ++k) {
            EXPECT_NE(block.find(element(kTags[k], assets[i].written[k])), std::string::npos)
                << kTags[k];
        }
    }
}

}  // namespace
}  // namespace velnor_test
