#include <gtest/gtest.h>

#include <string>

#include "export/FullWidth.h"
#include "export/XmlExport.h"

namespace velnor_test {
namespace {

std::string Map(const std::string& s, size_t outSize = 600) {
    std::string out(outSize, '\0');
    const size_t n = velnor::MapToFullWidth(s.data(), s.size(), &out[0], outSize);
    EXPECT_EQ(out[n], '\0');
    return out.substr(0, n);
}

TEST(FullWidth, MapsAsciiAndHalfWidthKatakana) {
    const struct {
        const char* in;
        const char* out;
    } cases[] = {
        {"ABC商事", "ＡＢＣ商事"},
        {"azAZ09", "ａｚＡＺ０９"},
        {" !#$%&()*+,-./", "　！＃＄％＆（）＊＋，－．／"},
        {":;<=>?@[]^_`{|}~", "：；＜＝＞？＠［］＾＿｀｛｜｝～"},
        {"\"'", "\xfa\x57\xfa\x56"},
        {"\\", "\\"},  // the platform leaves the backslash
        {"\t\x7f\x80\xa0\xfd\xff", "\t\x7f\x80\xa0\xfd\xff"},
        {"｡｢｣､･ｦｧｯｰ", "。「」、・ヲァッー"},
        {"ｱｲｳｴｵﾝ", "アイウエオン"},
        {"ｶﾞｷﾞｸﾞｹﾞｺﾞｻﾞｼﾞｽﾞｾﾞｿﾞﾀﾞﾁﾞﾂﾞﾃﾞﾄﾞ", "ガギグゲゴザジズゼゾダヂヅデド"},
        {"ﾊﾞﾋﾞﾌﾞﾍﾞﾎﾞﾊﾟﾋﾟﾌﾟﾍﾟﾎﾟｳﾞ", "バビブベボパピプペポヴ"},
        {"ｱﾞﾜﾞｦﾞｶﾟﾞﾟ", "ア゛ワ゛ヲ゛カ゜゛゜"},  // no composed form in code page 932
        {"ﾞA", "゛Ａ"},
        {"ソ表", "ソ表"},    // second bytes 0x5C / 0x7C: double-byte stays
        {"a\x82", "ａ"},     // a lead byte without its trail byte is dropped
        {"\x82 A", "　Ａ"},  // 0x20 is no trail byte
    };
    for (const auto& c : cases) EXPECT_EQ(Map(c.in), c.out) << c.in;
}

TEST(FullWidth, StopsBeforeACharacterThatDoesNotFit) {
    EXPECT_EQ(Map("ABC", 6), "ＡＢ");
    EXPECT_EQ(Map("AB", 5), "ＡＢ");
    EXPECT_EQ(Map("AB", 4), "Ａ");
    EXPECT_EQ(Map("A\\", 4), "Ａ\\");
    EXPECT_EQ(Map("ｶﾞ", 2), "");
}

TEST(FullWidth, ToFullWidthKeepsShortNamesWholeAndLongOnesAtMost63Bytes) {
    const struct {
        std::string in;
        std::string out;
    } cases[] = {
        {"", ""},
        {std::string(30, 'A'),
         [] {
             std::string s;
             for (int i = 0; i < 30; ++i) s += "Ａ";
             return s;
         }()},
        {std::string(31, 'A'),
         [] {
             std::string s;
             for (int i = 0; i < 31; ++i) s += "Ａ";
             return s;
         }()},  // 62 bytes
        {std::string(40, 'A'),
         [] {
             std::string s;
             for (int i = 0; i < 31; ++i) s += "Ａ";
             return s;
         }()},  // 64 would split: 62
        {std::string(31, 'A') + "\\B",
         [] {
             std::string s;
             for (int i = 0; i < 31; ++i) s += "Ａ";
             return s + "\\";
         }()},  // exactly 63
        {"株式会社" + std::string(15, 'x') + "ｶﾞ" + std::string(20, 'y'),
         [] {
             std::string s = "株式会社";
             for (int i = 0; i < 15; ++i) s += "ｘ";
             s += "ガ";
             for (int i = 0; i < 11; ++i) s += "ｙ";
             return s;
         }()},
    };
    for (const auto& c : cases) {
        const std::string out = ClXmlExport::ToFullWidth(c.in.c_str());
        EXPECT_EQ(out, c.out) << c.in;
        EXPECT_LE(out.size(), 63u);
    }
    // A 30-byte name of katakana with marks stays whole (it shrinks).
    const std::string kana = "ｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞｶﾞ";
    ASSERT_EQ(kana.size(), 30u);
    EXPECT_EQ(std::string(ClXmlExport::ToFullWidth(kana.c_str())).size(), 30u);
    EXPECT_STREQ(ClXmlExport::ToFullWidth(nullptr), "");
}

}  // namespace
}  // namespace velnor_test
