#include <gtest/gtest.h>

#include <climits>
#include <cstdio>

#include "common/NumberText.h"

namespace {

// The runtime's own "%0*lld" is the reference, including the sign inside the width.
TEST(NumberText, AsTheRuntimePrintsWithZeroPadding) {
    const long long values[] = {
        0, 7, -7, 12, -12, 99, 100, 2147483647, -2147483648LL, LLONG_MAX, LLONG_MIN};
    for (long long value : values) {
        for (int width : {0, 1, 2, 3, 5}) {
            char expected[40], got[40];
            std::snprintf(expected, sizeof expected, "%0*lld", width, value);
            EXPECT_EQ(velnor::FormatInteger(value, width, got, sizeof got),
                      std::char_traits<char>::length(expected));
            EXPECT_STREQ(got, expected) << value << " " << width;
        }
    }
}

TEST(NumberText, TextThatDoesNotFitLeavesNothing) {
    char field[3] = {'x', 'x', 'x'};
    EXPECT_EQ(velnor::FormatInteger(99, 2, field, sizeof field), 2u);
    EXPECT_STREQ(field, "99");
    EXPECT_EQ(velnor::FormatInteger(100, 2, field, sizeof field), 0u);
    EXPECT_STREQ(field, "");
    EXPECT_EQ(velnor::FormatInteger(-5, 3, field, sizeof field), 0u);  // "-05"
    EXPECT_STREQ(field, "");
}

}  // namespace
