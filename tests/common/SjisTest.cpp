#include <gtest/gtest.h>

#include <cstring>

#include "common/Sjis.h"

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
    const char text[] = "a\x83\x5c" "b";
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

}  // namespace
}  // namespace velnor
