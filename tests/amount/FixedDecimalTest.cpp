#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <string>

#include "aggregation/FixedDecimal.h"

namespace {

using Fd = ClFixedDecimal;
using RangeError = ClFixedDecimalRangeError;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

// Exact text of all three fields, so a zero carrying -1 shows as "-0.0000".
std::string Str(const Fd& v) {
    char fraction[8];
    std::snprintf(fraction, sizeof fraction, "%04u", static_cast<unsigned>(v.Fraction()));
    return (v.Sign() < 0 ? "-" : "") + std::to_string(v.Whole()) + "." + fraction;
}

Fd T(const char* text) { return Fd::FromText(text); }

TEST(FixedDecimal, FromText) {
    const struct {
        const char* text;
        const char* want;
    } cases[] = {
        {"1,234.56789", "1234.5679"},
        {"-5", "-5.0000"},
        {"-x", "0.0000"},
        {"", "0.0000"},
        {"  \t12.5", "12.5000"},
        {"-0", "0.0000"},
        {"- 5", "0.0000"},
        {"-.5", "0.0000"},
        {".5", "0.5000"},
        {"3.4a5", "3.4000"},
        {"1.234567", "1.2346"},
        {"0.99995", "1.0000"},
        {"0.00004", "0.0000"},
        {"12x.5", "12.0000"},
        {"1,2,3", "123.0000"},
        {"99999999999999.9999", "99999999999999.9999"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(T(c.text)), c.want) << c.text;
    EXPECT_EQ(Str(Fd::FromText(nullptr)), "0.0000");
    EXPECT_THROW(T("100000000000000"), RangeError);
    EXPECT_THROW(T("99999999999999.99995"), RangeError);  // the carry reaches 10^14
    EXPECT_THROW(T("99999999999999999999999999"), RangeError);
}

TEST(FixedDecimal, FromPartsRawIntAndDouble) {
    EXPECT_EQ(Str(Fd::FromParts(1, 10000)), "2.0000");
    EXPECT_EQ(Str(Fd::FromParts(0, 25000)), "2.5000");
    EXPECT_EQ(Str(Fd::FromParts(-3, 5)), "-3.0005");
    EXPECT_EQ(Str(Fd::FromParts(kMax, 9999)), "9223372036854775807.9999");
    EXPECT_THROW(Fd::FromParts(kMax, 10000), RangeError);
    EXPECT_THROW(Fd::FromParts(kMin, 0), RangeError);
    EXPECT_THROW(Fd::FromParts(1, -1), RangeError);
    EXPECT_EQ(Str(Fd::FromInt(std::numeric_limits<int32_t>::min())), "-2147483648.0000");

    EXPECT_EQ(Str(Fd::FromRaw(12345678)), "1234.5678");
    EXPECT_EQ(Str(Fd::FromRaw(-1)), "-0.0001");
    EXPECT_EQ(Str(Fd::FromRaw(kMin)), "-922337203685477.5808");
    EXPECT_EQ(Fd::FromRaw(-123456789).ToRaw(), -123456789);
    EXPECT_EQ(Fd::FromRaw(Fd::kRawLimit - 1).ToRaw(), Fd::kRawLimit - 1);
    EXPECT_THROW(Fd::FromRaw(Fd::kRawLimit).ToRaw(), RangeError);
    EXPECT_THROW(Fd::FromRaw(kMin).ToRaw(), RangeError);

    EXPECT_EQ(Str(Fd::FromDouble(-2.75)), "-2.7500");
    EXPECT_EQ(Str(Fd::FromDouble(1200.0)), "1200.0000");
    EXPECT_EQ(Str(Fd::FromDouble(1 - std::ldexp(1.0, -20))), "1.0000");  // 0.999999.. carries
    EXPECT_EQ(Str(Fd::FromDouble(-0.0)), "0.0000");
    EXPECT_EQ(Str(Fd::FromDouble(99999999999999.0)), "99999999999999.0000");
    EXPECT_THROW(Fd::FromDouble(1e14), RangeError);
    EXPECT_THROW(Fd::FromDouble(-1e14), RangeError);
    EXPECT_THROW(Fd::FromDouble(std::nan("")), RangeError);
    EXPECT_THROW(Fd::FromDouble(std::numeric_limits<double>::infinity()), RangeError);
    EXPECT_DOUBLE_EQ(T("-12.25").ToDouble(), -12.25);
}

TEST(FixedDecimal, AddAndSubtractStayInRange) {
    EXPECT_EQ(Str(T("5") - T("7.5")), "-2.5000");
    EXPECT_EQ(Str(T("-0.5") + T("0.5")), "0.0000");
    EXPECT_EQ(Str(T("-1") - T("-0.0001")), "-0.9999");
    const Fd top = Fd::FromRaw(Fd::kRawLimit - 1);
    EXPECT_EQ((top + Fd()).ToRaw(), Fd::kRawLimit - 1);
    EXPECT_THROW(top + Fd::FromRaw(1), RangeError);
    EXPECT_THROW(Fd::FromRaw(1 - Fd::kRawLimit) - Fd::FromRaw(1), RangeError);
    EXPECT_EQ(Str(top - top), "0.0000");
    // Operands beyond the limit (products may be) still give an exact in-range difference.
    EXPECT_EQ(Str(Fd::FromParts(kMax, 1) - Fd::FromParts(kMax, 0)), "0.0001");
}

TEST(FixedDecimal, Multiply) {
    const struct {
        const char* a;
        const char* b;
        const char* want;
    } cases[] = {
        {"1.5", "1.5", "2.2500"},        {"-2", "3", "-6.0000"},
        {"-2", "-3", "6.0000"},          {"0.0001", "0.5", "0.0001"},  // half up
        {"-0.0001", "0.4999", "0.0000"}, {"1000000", "1249.9", "1249900000.0000"},
        {"12.3456", "7.891", "97.4191"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(T(c.a) * T(c.b)), c.want) << c.a << " x " << c.b;

    EXPECT_EQ(Fd::FromParts(3037000499, 0) * Fd::FromParts(3037000499, 0),
              Fd::FromParts(9223372030926249001, 0));
    EXPECT_THROW(Fd::FromParts(4294967296, 0) * Fd::FromParts(2147483648, 0), RangeError);
    EXPECT_EQ(Str(Fd::FromParts(kMax, 0) * T("1")), "9223372036854775807.0000");
    EXPECT_THROW(Fd::FromParts(kMax, 0) * T("1.0001"), RangeError);

    EXPECT_EQ(Str(T("-1.0001") * 3), "-3.0003");
    EXPECT_EQ(Str(T("-1") * 0), "0.0000");
    EXPECT_EQ(Str(T("1") * std::numeric_limits<int32_t>::min()), "-2147483648.0000");
    EXPECT_EQ(Fd::FromParts(kMax / 2, 0) * 2, Fd::FromParts(kMax - 1, 0));
    EXPECT_THROW(Fd::FromParts(kMax / 2, 0) * 3, RangeError);
}

// The quotient's fifth decimal rounds half up, also where a divisor of billions of yen
// leaves a remainder just below it (1.99999999999996 carries into the whole part).
TEST(FixedDecimal, Divide) {
    const struct {
        const char* a;
        const char* b;
        const char* want;
    } cases[] = {
        {"1", "3", "0.3333"},          {"2", "3", "0.6667"},
        {"-1", "3", "-0.3333"},        {"2", "-3", "-0.6667"},
        {"-2", "-3", "0.6667"},        {"1.9999", "2", "1.0000"},
        {"3.9999", "2", "2.0000"},     {"0.0001", "3", "0.0000"},  // 0.00003 rounds to zero
        {"-0.0001", "3", "0.0000"},    {"1249900000", "10000", "124990.0000"},
        {"7", "0.0001", "70000.0000"}, {"49,999,999,999.9999", "25,000,000,000", "2.0000"},
    };
    for (const auto& c : cases) EXPECT_EQ(Str(T(c.a) / T(c.b)), c.want) << c.a << " / " << c.b;

    EXPECT_EQ(Str(T("1") / 4.0), "0.2500");
    EXPECT_THROW(T("5") / Fd(), RangeError);
    EXPECT_THROW(Fd() / Fd(), RangeError);
    EXPECT_THROW(T("5") / 0.0, RangeError);
    EXPECT_THROW(T("5") / 0.00001, RangeError);  // converts to zero
    EXPECT_THROW(Fd::FromParts(kMax, 0) / Fd::FromRaw(1), RangeError);
}

TEST(FixedDecimal, Compare) {
    EXPECT_TRUE(T("-1") < T("0.0001"));
    EXPECT_TRUE(T("-0.0001") < Fd());
    EXPECT_TRUE(T("-1") > T("-1.0001"));
    EXPECT_FALSE(T("2") < T("2"));
    EXPECT_TRUE(T("-0") == Fd());
    EXPECT_TRUE(T("2.5") != T("-2.5"));
    EXPECT_TRUE(T("2.5") <= T("2.5") && T("2.5") >= T("2.5"));
    EXPECT_FALSE(Fd().IsNonZero());
    EXPECT_TRUE(T("0.0001").IsNonZero());
    EXPECT_EQ(T("-5").CompareRaw(-50000), 0);
    EXPECT_EQ(T("-5").CompareRaw(-49999), -1);
    EXPECT_EQ(T("-5").CompareRaw(kMin), 1);
    EXPECT_EQ(Fd::FromParts(kMax, 0).CompareRaw(kMax), 1);
}

TEST(FixedDecimal, Round) {
    const struct {
        const char* value;
        int mode;
        int position;
        const char* want;
    } cases[] = {
        {"2.5", 0, 0, "3.0000"},
        {"2.5", 2, 0, "2.0000"},
        {"2.5", 1, 0, "3.0000"},
        {"2.4999", 0, 1, "2.0000"},
        {"0.0001", 1, 1, "1.0000"},
        {"1.0001", 2, 1, "1.0000"},
        {"1234", 0, -2, "1200.0000"},
        {"1234", 1, -2, "1300.0000"},
        {"1250", 0, -2, "1300.0000"},
        {"1200", 1, -2, "1200.0000"},
        {"-1500.5", 0, 1, "-1501.0000"},
        {"-1500.5", 2, 1, "-1500.0000"},
        {"-0.4", 0, 1, "0.0000"},
        {"-0.4", 1, 1, "-1.0000"},
        {"1.2345", 0, 4, "1.2350"},
        {"1.2345", 2, 3, "1.2300"},
        {"1.2345", 1, 2, "1.3000"},
        {"1.99995", 0, 4, "2.0000"},
        {"1500000000000", 0, -12, "2000000000000.0000"},
        {"1499999999999.9999", 0, -12, "1000000000000.0000"},
        {"0.0001", 1, -12, "1000000000000.0000"},
    };
    for (const auto& c : cases) {
        Fd v = T(c.value);
        EXPECT_TRUE(v.Round(c.mode, c.position));
        EXPECT_EQ(Str(v), c.want) << c.value << " mode " << c.mode << " pos " << c.position;
    }

    const struct {
        int mode;
        int position;
    } invalid[] = {{0, 5}, {0, -13}, {3, 1}, {-1, 1}, {1, 100}};
    for (const auto& c : invalid) {
        Fd v = T("-2.5555");
        EXPECT_FALSE(v.Round(c.mode, c.position));
        EXPECT_EQ(Str(v), "-2.5555") << c.mode << " " << c.position;
    }

    Fd nearLimit = Fd::FromParts(999999999999999999, 5000);
    EXPECT_THROW(nearLimit.Round(0, 1), RangeError);
    EXPECT_EQ(Str(nearLimit), "999999999999999999.5000");
    EXPECT_TRUE(nearLimit.Round(2, 1));
    EXPECT_EQ(Str(nearLimit), "999999999999999999.0000");
    Fd atLimit = Fd::FromParts(1000000000000000000, 0);
    EXPECT_THROW(atLimit.Round(2, 1), RangeError);
    Fd top = Fd::FromParts(kMax, 1);
    EXPECT_THROW(top.Round(1, -12), RangeError);  // no 64-bit overflow on the way
}

TEST(FixedDecimal, AmountText) {
    const struct {
        Fd value;
        size_t width;
        const char* want;
    } cases[] = {
        {T("-0.4"), 13, "0"},
        {T("-1500.5"), 13, "-1501"},
        {T("0.5"), 13, "1"},
        {T("1249.49"), 13, "1249"},
        {T("1000000000000"), 13, ""},
        {T("999999999999"), 13, "999999999999"},
        {T("999999999999.4999"), 13, "999999999999"},
        {T("999999999999.5"), 13, ""},
        {T("-99999999999"), 13, "-99999999999"},
        {T("-999999999999"), 13, ""},
        {T("123"), 4, "123"},
        {T("1234"), 4, ""},
        {Fd::FromParts(kMax / 10, 0), 20, "922337203685477580"},
    };
    for (const auto& c : cases) {
        char field[24];
        std::memset(field, 'x', sizeof field);
        c.value.ToAmountText(field, c.width);
        EXPECT_STREQ(field, c.want) << Str(c.value);
        EXPECT_EQ(field[c.width], 'x') << "wrote past the field for " << Str(c.value);
    }

    char field[13] = "untouched";
    EXPECT_THROW(Fd::FromParts(kMax, 0).ToAmountText(field, sizeof field), RangeError);
    EXPECT_STREQ(field, "");
    // A null or zero-width field is left alone.
    EXPECT_NO_THROW(T("1").ToAmountText(nullptr, 13));
    std::strcpy(field, "kept");
    T("1").ToAmountText(field, 0);
    EXPECT_STREQ(field, "kept");
}

}  // namespace
