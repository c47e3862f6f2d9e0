// The host's texts must be the same bytes in the native and the Windows build: both run
// these tables.
#include <gtest/gtest.h>

#include <cstdint>
#include <string>

#include "host_standin/HostStandIn.h"

namespace {

std::string Utf8Of(long cp) {
    std::string s;
    if (cp < 0x80) {
        s += static_cast<char>(cp);
    } else if (cp < 0x800) {
        s += static_cast<char>(0xC0 | (cp >> 6));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        s += static_cast<char>(0xE0 | (cp >> 12));
        s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        s += static_cast<char>(0x80 | (cp & 0x3F));
    }
    return s;
}

TEST(Codec, CharactersGiveTheBytesOfCodePage932) {
    const struct {
        const char* utf8;
        const char* sjis;
    } cases[] = {
        {u8"ABC abc 09", "ABC abc 09"},
        {u8"\\~", "\x5c\x7e"},
        {u8"あア", "\x82\xa0\x83\x41"},
        {u8"漢字", "\x8a\xbf\x8e\x9a"},
        {u8"ＡＢＣ２０", "\x82\x60\x82\x61\x82\x62\x82\x51\x82\x4f"},
        {u8"ｶﾞ", "\xb6\xde"},
        {u8"～", "\x81\x60"},  // U+FF5E
        {u8"－", "\x81\x7c"},  // U+FF0D
        {u8"￢", "\x81\xca"},  // U+FFE2
        {u8"∵", "\x81\xe6"},
        {u8"①", "\x87\x40"},
        {u8"ⅰ", "\xfa\x40"},  // IBM extension row, not the NEC-selected one
        {u8"髙", "\xfb\xfc"},
        {u8"纊", "\xfa\x5c"},
        {u8"ソ表", "\x83\x5c\x95\x5c"},  // trail byte 0x5C
        {u8"", ""},
    };
    for (const auto& c : cases) {
        std::string sjis;
        long bad = 0;
        EXPECT_TRUE(hoststandin::Utf8ToSjis(c.utf8, &sjis, &bad)) << c.utf8;
        EXPECT_EQ(sjis, c.sjis) << c.utf8;
    }
}

TEST(Codec, CharactersWithoutAFormOnEitherPlatformAreRefusedOnBoth) {
    const struct {
        const char* utf8;
        long bad;
    } cases[] = {
        {u8"a−b", 0x2212},  // glibc maps the minus sign, Windows does not
        {u8"〜", 0x301C},   // wave dash: likewise
        {u8"—", 0x2014},          {u8"‖", 0x2016},      {u8"¥", 0x00A5},
        {u8"¢", 0x00A2},          {u8"£", 0x00A3},      {u8"¬", 0x00AC},
        {u8"‾", 0x203E},          {"\xc2\x80", 0x0080},  // Windows: the byte 0x80
        {"\xef\xa3\xb0", 0xF8F0},                        // Windows: the byte 0xA0
        {u8"ok😀", 0x1F600},       {u8"한", 0xD55C},     {"\xff", -1},
        {"\xc0\xaf", -1},      // overlong
        {"\xed\xa0\x80", -1},  // a surrogate
        {"\xe3\x81", -1},      // cut short
    };
    for (const auto& c : cases) {
        std::string sjis;
        long bad = 0;
        EXPECT_FALSE(hoststandin::Utf8ToSjis(c.utf8, &sjis, &bad)) << c.utf8;
        EXPECT_EQ(bad, c.bad) << c.utf8;
    }
}

// Every character of the Basic Multilingual Plane, folded into one number: the two
// builds must agree on each of them, not only on the tables above.
TEST(Codec, WholeBasicPlaneConvertsIdenticallyOnEveryPlatform) {
    uint64_t hash = 1469598103934665603ull;
    auto mix = [&hash](unsigned char byte) { hash = (hash ^ byte) * 1099511628211ull; };
    int converted = 0;
    for (long cp = 1; cp < 0x10000; ++cp) {
        if (cp >= 0xD800 && cp <= 0xDFFF) continue;
        std::string sjis;
        if (!hoststandin::Utf8ToSjis(Utf8Of(cp), &sjis)) continue;
        ++converted;
        for (int k = 0; k < 3; ++k) mix(static_cast<unsigned char>(cp >> (8 * k)));
        for (char b : sjis) mix(static_cast<unsigned char>(b));
    }
    EXPECT_EQ(converted, 9396);
    EXPECT_EQ(hash, 12603404117974133318ull);
}

TEST(Codec, LogTextIsUtf8WithControlsEscaped) {
    const struct {
        std::string sjis;
        const char* log;
    } cases[] = {
        {"a\\b\tc\nd\re", "a\\\\b\\tc\\nd\\re"},
        {"\x8f\x8a\x93\xbe\x90\xc5(\x8c\xb8\x89\xbf\x8f\x9e\x8b\x70)", u8"所得税(減価償却)"},
        {"\xb6\xde\x81\x60", u8"ｶﾞ～"},
        {"\x80", "\\x80"},
        {"\x85\x40", "\\x85\\x40"},  // lead and trail, but no character
        {"x\x82", "x\\x82"},         // lead byte at the end
        {std::string("\x01\x7f", 2), "\\x01\\x7F"},
    };
    for (const auto& c : cases) EXPECT_EQ(hoststandin::SjisToLogText(c.sjis), c.log) << c.log;
}

}  // namespace
