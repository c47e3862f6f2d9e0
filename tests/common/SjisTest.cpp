#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "common/Sjis.h"

#ifndef _WIN32
#include <iconv.h>
#endif

namespace velnor {
namespace {

TEST(Sjis, FieldLengthStopsAtFieldEndWithoutTerminator) {
    const char full[4] = {'a', 'b', 'c', 'd'};
    EXPECT_EQ(FieldLength(full, sizeof full), 4u);
    EXPECT_EQ(FieldLength("ab\0cd", 5), 2u);
    EXPECT_EQ(FieldLength(nullptr, 5), 0u);
}

TEST(Sjis, CutNeverSplitsADoubleByteCharacter) {
    // "aソ" = 'a' 0x83 0x5C: a cut after two bytes would split the katakana.
    const char text[] =
        "a\x83\x5c"
        "b";
    EXPECT_EQ(SjisCutLength(text, 4, 2), 1u);
    EXPECT_EQ(SjisCutLength(text, 4, 3), 3u);
    EXPECT_EQ(SjisCutLength(text, 4, 10), 4u);
    // A lead byte at the very end with no trail byte is a single byte.
    EXPECT_EQ(SjisCutLength("ab\x83", 3, 3), 3u);
}

TEST(Sjis, CopyFieldBoundsByDestinationAndSource) {
    char dst[4];
    const char field[6] = {'x', '\x82', '\xa0', 'y', 'z', 'w'};  // no terminator
    EXPECT_EQ(CopyField(dst, sizeof dst, field, sizeof field), 3u);
    EXPECT_EQ(std::memcmp(dst, "x\x82\xa0", 4), 0);
    char small[3];
    EXPECT_EQ(CopyField(small, sizeof small, field, sizeof field), 1u);  // not half of あ
    EXPECT_STREQ(small, "x");
}

TEST(Sjis, DoubleByteAtSeesTrailBackslash) {
    const char text[] = "C:\\\x95\x5c\\";  // C:\表\ : 0x5C inside 表 is not a separator
    EXPECT_FALSE(SjisIsDoubleByteAt(text, 2));
    EXPECT_TRUE(SjisIsDoubleByteAt(text, 3));
    EXPECT_TRUE(SjisIsDoubleByteAt(text, 4));
    EXPECT_FALSE(SjisIsDoubleByteAt(text, 5));
    EXPECT_FALSE(SjisIsDoubleByteAt(text, 99));
}

#ifndef _WIN32
// The characters of code page 932 are those glibc's CP932 decodes, every byte alone and
// every pair. Windows' table assigns the same pairs (measured under Wine as well) and maps
// 0x80, 0xA0 and 0xFD-0xFF to stand-ins, which glibc refuses and so do we.
TEST(Sjis, CharactersAreThoseThatGlibcDecodesAsCodePage932) {
    iconv_t cd = iconv_open("UTF-8", "CP932");
    ASSERT_NE(cd, reinterpret_cast<iconv_t>(-1));
    const auto decodes = [cd](const char* bytes, size_t n) {
        char in[2];
        std::memcpy(in, bytes, n);
        char out[16];
        char* inp = in;
        char* outp = out;
        size_t inLeft = n, outLeft = sizeof out;
        iconv(cd, nullptr, nullptr, nullptr, nullptr);
        return iconv(cd, &inp, &inLeft, &outp, &outLeft) != static_cast<size_t>(-1) && inLeft == 0;
    };
    std::string wrong;
    int pairs = 0;
    for (int a = 0; a < 256; ++a) {
        const unsigned char lead = static_cast<unsigned char>(a);
        const char one[1] = {static_cast<char>(a)};
        if (IsSjisSingleByteCharacter(lead) != decodes(one, 1)) wrong += " " + std::to_string(a);
        if (!IsSjisLeadByte(lead)) continue;
        for (int b = 0; b < 256; ++b) {
            const unsigned char trail = static_cast<unsigned char>(b);
            const char two[2] = {static_cast<char>(a), static_cast<char>(b)};
            const bool ours = IsSjisCharacter(lead, trail);
            if (ours != decodes(two, 2)) wrong += " " + std::to_string(a * 256 + b);
            pairs += ours ? 1 : 0;
        }
    }
    iconv_close(cd);
    EXPECT_EQ(wrong, "");
    EXPECT_EQ(pairs, 9604);
    // ① ㈱, the NEC-selected and the IBM extensions and the user-defined area are in.
    EXPECT_TRUE(IsSjisCharacter(0x87, 0x40) && IsSjisCharacter(0x87, 0x8D));
    EXPECT_TRUE(IsSjisCharacter(0xED, 0x40) && IsSjisCharacter(0xEE, 0xFC));
    EXPECT_TRUE(IsSjisCharacter(0xFA, 0x40) && IsSjisCharacter(0xFC, 0x4B));
    EXPECT_TRUE(IsSjisCharacter(0xF0, 0x40) && IsSjisCharacter(0xF9, 0xFC));
}
#endif

}  // namespace
}  // namespace velnor
