// The full-width table against the platform's own mapping (LCMapStringA with
// LCMAP_FULLWIDTH under code page 932), for every ASCII character and every half-width
// katakana, alone and followed by each sound mark.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "export/FullWidth.h"

namespace velnor_test {
namespace {

std::string Platform(const std::string& in) {
    char out[64] = {};
    const int n = LCMapStringA(LOCALE_SYSTEM_DEFAULT, LCMAP_FULLWIDTH, in.c_str(),
                               static_cast<int>(in.size()), out, sizeof out);
    EXPECT_GT(n, 0) << in;
    return std::string(out, n > 0 ? n : 0);
}

std::string Ours(const std::string& in) {
    char out[64];
    return std::string(out, velnor::MapToFullWidth(in.data(), in.size(), out, sizeof out));
}

std::string Hex(const std::string& s) {
    std::string h;
    char b[4];
    for (unsigned char c : s) {
        std::snprintf(b, sizeof b, "%02X ", c);
        h += b;
    }
    return h;
}

TEST(FullWidthPlatform, RunsUnderCodePage932) { ASSERT_EQ(GetACP(), 932u); }

TEST(FullWidthPlatform, AsciiAndKatakanaMatchThePlatform) {
    for (int c = 0x01; c <= 0xDF; ++c) {
        if (c >= 0x80 && c < 0xA1) continue;
        const std::string in(1, static_cast<char>(c));
        if (c == 0xDE || c == 0xDF) {
            // A lone sound mark: the platform maps it to the combining mark, which code
            // page 932 lacks, and writes '?'. We keep it as ゛ / ゜.
            EXPECT_EQ(Platform(in), "?");
            EXPECT_EQ(Ours(in), c == 0xDE ? "\x81\x4a" : "\x81\x4b");
            continue;
        }
        EXPECT_EQ(Hex(Ours(in)), Hex(Platform(in))) << "byte " << c;
    }
}

TEST(FullWidthPlatform, SoundMarksComposeWhereCodePage932HasTheCharacter) {
    for (int c = 0xA6; c <= 0xDD; ++c) {
        for (unsigned char mark : {0xDE, 0xDF}) {
            const std::string in = {static_cast<char>(c), static_cast<char>(mark)};
            const std::string platform = Platform(in);
            const std::string ours = Ours(in);
            if (platform.find('?') == std::string::npos) {
                EXPECT_EQ(Hex(ours), Hex(platform)) << Hex(in);
                continue;
            }
            // Where the platform loses the mark (or the whole composed character, as for
            // ヷ and ヺ) and writes '?', we write the two characters one by one.
            EXPECT_EQ(Hex(ours), Hex(Ours(in.substr(0, 1)) + Ours(in.substr(1)))) << Hex(in);
            EXPECT_EQ(ours.find('?'), std::string::npos);
        }
    }
}

}  // namespace
}  // namespace velnor_test
