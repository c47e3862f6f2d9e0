#include "aggregation/DecimalText.h"

#include <cmath>
#include <cstdint>
#include <cstring>

#include "aggregation/Uint128.h"
#include "common/NumberText.h"

namespace velnor {
namespace {

constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000};
// Every power of ten up to 10^22 is a double exactly, so one multiplication or division
// by it rounds once, correctly.
constexpr double kExactPow10[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                  1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                  1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};
constexpr int kMaxExactPow10 = 22;
constexpr int kMaxDigits = 15;  // below 2^53, so the digits are a double exactly

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsSpace(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

}  // namespace

bool FormatDecimals(double value, int decimals, char* out, size_t size) {
    if (size > 0) out[0] = '\0';
    if (decimals < 0 || decimals > 4 || !std::isfinite(value)) return false;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    if (exponent > 63) return false;
    // |value| = mantissa * 2^shift exactly, mantissa below 2^53.
    const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int shift = exponent - 53;
    const Uint128 scaled = Uint128::Multiply(mantissa, kPow10[decimals]);  // below 2^67
    Uint128 units;  // |value| * 10^decimals, rounded
    if (shift >= 0) {
        units = scaled << shift;
    } else if (-shift >= 128) {
        units = 0;  // far below half a unit
    } else {
        const int s = -shift;
        units = scaled >> s;
        const Uint128 rest = scaled - (units << s);
        if (rest >= (Uint128(1) << (s - 1))) units += 1;  // a tie goes away from zero
    }
    Uint128 whole, part;
    Uint128::DivMod(units, kPow10[decimals], &whole, &part);

    char text[48];
    size_t length = 0;
    if (std::signbit(value)) text[length++] = '-';
    length +=
        FormatInteger(static_cast<long long>(whole.Low()), 0, text + length, sizeof text - length);
    if (decimals > 0) {
        text[length++] = '.';
        length += FormatInteger(static_cast<long long>(part.Low()), decimals, text + length,
                                sizeof text - length);
    }
    if (length >= size) return false;
    std::memcpy(out, text, length + 1);
    return true;
}

ClFixedDecimal ReadFloatingNumber(const char* text) {
    const char* p = text;
    while (IsSpace(*p)) ++p;
    const bool negative = *p == '-';
    if (*p == '-' || *p == '+') ++p;

    uint64_t digits = 0;
    int kept = 0;      // significant digits in `digits`
    int exponent = 0;  // of ten, for `digits`
    bool any = false;
    const auto take = [&](char c, bool afterPoint) {
        any = true;
        if (digits == 0 && c == '0') {
            if (afterPoint) --exponent;
            return;
        }
        if (kept < kMaxDigits) {
            digits = digits * 10 + static_cast<uint64_t>(c - '0');
            ++kept;
            if (afterPoint) --exponent;
        } else if (!afterPoint) {
            ++exponent;
        }
    };
    for (; IsDigit(*p); ++p) take(*p, false);
    if (*p == '.') {
        for (++p; IsDigit(*p); ++p) take(*p, true);
    }
    if (!any) return ClFixedDecimal();

    if (*p == 'e' || *p == 'E') {
        const char* q = p + 1;
        const bool negativeExponent = *q == '-';
        if (*q == '-' || *q == '+') ++q;
        if (IsDigit(*q)) {
            int value = 0;
            for (; IsDigit(*q); ++q) {
                if (value < 100000) value = value * 10 + (*q - '0');
            }
            exponent += negativeExponent ? -value : value;
        }
    }
    if (digits == 0) return ClFixedDecimal();

    double magnitude;
    if (exponent > kMaxExactPow10) {
        throw ClFixedDecimalRangeError("number out of range");  // at least 10^23
    } else if (exponent >= 0) {
        magnitude = static_cast<double>(digits) * kExactPow10[exponent];
    } else if (exponent >= -kMaxExactPow10) {
        magnitude = static_cast<double>(digits) / kExactPow10[-exponent];
    } else {
        // Below 10^-8 (at most 15 digits before 10^-23): nothing reaches the fifth decimal.
        return ClFixedDecimal();
    }
    return ClFixedDecimal::FromDouble(negative ? -magnitude : magnitude);
}

}  // namespace velnor
