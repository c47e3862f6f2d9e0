#include "aggregation/FixedDecimal.h"

#include <cmath>

#include "common/NumberText.h"

namespace {

constexpr int64_t kUnit = 10000;  // raw units per whole unit
constexpr int64_t kWholeLimit = ClFixedDecimal::kRawLimit / kUnit;
constexpr int64_t kRoundedWholeLimit = 1000000000000000000LL;

[[noreturn]] void Fail(const char* what) { throw ClFixedDecimalRangeError(what); }

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

uint64_t Abs64(int64_t v) {
    // Unsigned negation keeps INT64_MIN defined.
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

}  // namespace

ClFixedDecimal::Magnitude128 ClFixedDecimal::Magnitude() const {
    return Magnitude128::Multiply(static_cast<uint64_t>(whole_), kUnit) + fraction_;
}

ClFixedDecimal ClFixedDecimal::FromMagnitude(Magnitude128 magnitude, int sign) {
    ClFixedDecimal value;
    if (magnitude.High() == 0) {
        // Every amount of the aggregation: 64-bit division by a constant is far cheaper.
        const uint64_t small = magnitude.Low();
        value.whole_ = static_cast<int64_t>(small / kUnit);
        value.fraction_ = static_cast<uint32_t>(small % kUnit);
    } else {
        Magnitude128 whole, fraction;
        Magnitude128::DivMod(magnitude, kUnit, &whole, &fraction);
        if (whole > static_cast<uint64_t>(INT64_MAX)) Fail("amount overflows 64 bits");
        value.whole_ = static_cast<int64_t>(whole.Low());
        value.fraction_ = static_cast<uint32_t>(fraction.Low());
    }
    value.sign_ = sign < 0 ? -1 : 1;
    value.Normalize();
    return value;
}

void ClFixedDecimal::Normalize() {
    if (whole_ == 0 && fraction_ == 0) sign_ = 1;
}

ClFixedDecimal ClFixedDecimal::FromParts(int64_t whole, int64_t fraction) {
    if (fraction < 0) Fail("negative fraction");
    return FromMagnitude(
        Magnitude128::Multiply(Abs64(whole), kUnit) + static_cast<uint64_t>(fraction),
        whole < 0 ? -1 : 1);
}

ClFixedDecimal ClFixedDecimal::FromInt(int32_t value) { return FromParts(value, 0); }

ClFixedDecimal ClFixedDecimal::FromRaw(int64_t raw) {
    return FromMagnitude(Abs64(raw), raw < 0 ? -1 : 1);
}

ClFixedDecimal ClFixedDecimal::FromDouble(double x) {
    if (!std::isfinite(x)) Fail("amount is not a number");
    const double magnitude = std::fabs(x);
    if (magnitude >= static_cast<double>(kWholeLimit)) Fail("amount out of range");
    const int64_t whole = static_cast<int64_t>(magnitude);
    // Five decimals, truncated, then half up to four; 0.99999x may carry.
    const int64_t fifths = static_cast<int64_t>((magnitude - static_cast<double>(whole)) * 100000);
    // Below 10^18 + 10^4: 64 bits hold it.
    const uint64_t raw = static_cast<uint64_t>(whole * kUnit + (fifths + 5) / 10);
    if (raw >= static_cast<uint64_t>(kRawLimit)) Fail("amount out of range");
    return FromMagnitude(raw, x < 0 ? -1 : 1);
}

ClFixedDecimal ClFixedDecimal::FromText(const char* text) {
    if (text == nullptr) return ClFixedDecimal();
    const char* p = text;
    while (*p == ' ' || *p == '\t') ++p;
    int sign = 1;
    if (*p == '-' && IsDigit(p[1])) {
        sign = -1;
        ++p;
    }
    int64_t whole = 0;
    for (; IsDigit(*p) || *p == ','; ++p) {
        if (*p == ',') continue;
        whole = whole * 10 + (*p - '0');
        if (whole >= kWholeLimit) Fail("amount out of range");
    }
    int64_t fifths = 0;
    if (*p == '.') {
        ++p;
        for (int digits = 0; digits < 5; ++digits) {
            fifths *= 10;
            if (IsDigit(*p)) fifths += *p++ - '0';
        }
    }
    // The whole part stayed below 10^14: 64 bits hold it.
    const uint64_t raw = static_cast<uint64_t>(whole * kUnit + (fifths + 5) / 10);
    if (raw >= static_cast<uint64_t>(kRawLimit)) Fail("amount out of range");
    return FromMagnitude(raw, sign);
}

int64_t ClFixedDecimal::ToRaw() const {
    const Magnitude128 magnitude = Magnitude();
    if (magnitude >= static_cast<uint64_t>(kRawLimit)) Fail("amount out of range");
    const int64_t raw = static_cast<int64_t>(magnitude.Low());
    return sign_ < 0 ? -raw : raw;
}

double ClFixedDecimal::ToDouble() const {
    // Below 2^53 both operands are doubles exactly and the quotient is rounded once: the
    // double nearest the value.
    const double magnitude = Magnitude().ToDouble() / static_cast<double>(kUnit);
    return sign_ < 0 ? -magnitude : magnitude;
}

ClFixedDecimal ClFixedDecimal::AddSigned(const ClFixedDecimal& other, int otherSign) const {
    const Magnitude128 a = Magnitude();
    const Magnitude128 b = other.Magnitude();
    // On sign and magnitude: equal signs add, unequal ones leave the larger magnitude's
    // sign with the difference.
    const int aSign = sign_ < 0 ? -1 : 1, bSign = otherSign < 0 ? -1 : 1;
    Magnitude128 magnitude;
    int sign = aSign;
    if (aSign == bSign) {
        magnitude = a + b;
    } else if (a >= b) {
        magnitude = a - b;
    } else {
        magnitude = b - a;
        sign = bSign;
    }
    if (magnitude >= static_cast<uint64_t>(kRawLimit)) Fail("sum out of range");
    return FromMagnitude(magnitude, sign);
}

ClFixedDecimal ClFixedDecimal::operator+(const ClFixedDecimal& other) const {
    return AddSigned(other, other.sign_);
}

ClFixedDecimal ClFixedDecimal::operator-(const ClFixedDecimal& other) const {
    return AddSigned(other, -other.sign_);
}

ClFixedDecimal ClFixedDecimal::operator*(const ClFixedDecimal& other) const {
    // Both whole parts are magnitudes: their product overflows exactly when it passes
    // INT64_MAX.
    const Magnitude128 wholes =
        Magnitude128::Multiply(static_cast<uint64_t>(whole_), static_cast<uint64_t>(other.whole_));
    if (wholes > static_cast<uint64_t>(INT64_MAX)) Fail("product overflows 64 bits");
    // Below 2^63 * 10^4 + 2 * 2^63 * 10^4 + 10^4: far inside 128 bits.
    const Magnitude128 product =
        Magnitude128::Multiply(wholes.Low(), kUnit) +
        Magnitude128::Multiply(static_cast<uint64_t>(whole_), other.fraction_) +
        Magnitude128::Multiply(static_cast<uint64_t>(other.whole_), fraction_) +
        (static_cast<uint64_t>(fraction_) * other.fraction_ + kUnit / 2) / kUnit;
    return FromMagnitude(product, sign_ * other.sign_);
}

ClFixedDecimal ClFixedDecimal::operator*(int32_t factor) const {
    return FromMagnitude(Magnitude() * Abs64(factor), factor < 0 ? -sign_ : sign_);
}

ClFixedDecimal ClFixedDecimal::operator/(const ClFixedDecimal& divisor) const {
    const Magnitude128 b = divisor.Magnitude();
    if (b == 0) Fail("division by zero");
    const Magnitude128 a = Magnitude();
    Magnitude128 wholes;
    uint64_t fifths = 0;
    if (a < (uint64_t{1} << 63) && b < (uint64_t{1} << 46)) {
        // The rest times 10^5 stays below 2^63: the five digits of the long division at once.
        const uint64_t a64 = a.Low(), b64 = b.Low();
        wholes = a64 / b64;
        fifths = a64 % b64 * 100000 / b64;
    } else {
        Magnitude128 rest;
        Magnitude128::DivMod(a, b, &wholes, &rest);
        for (int digit = 0; digit < 5; ++digit) {
            Magnitude128 next;
            Magnitude128::DivMod(rest * 10, b, &next, &rest);
            fifths = fifths * 10 + next.Low();
        }
    }
    if (wholes > static_cast<uint64_t>(INT64_MAX)) Fail("quotient overflows 64 bits");
    return FromMagnitude(Magnitude128::Multiply(wholes.Low(), kUnit) + (fifths + 5) / 10,
                         sign_ * divisor.sign_);
}

ClFixedDecimal ClFixedDecimal::operator/(double divisor) const {
    return *this / FromDouble(divisor);
}

int ClFixedDecimal::Compare(const ClFixedDecimal& other) const {
    const Magnitude128 a = Magnitude(), b = other.Magnitude();
    // Zero is neither sign, whatever sign field it carries.
    const int aSign = a == 0 ? 0 : sign_, bSign = b == 0 ? 0 : other.sign_;
    if (aSign != bSign) return aSign < bSign ? -1 : 1;
    const int order = a < b ? -1 : (a > b ? 1 : 0);
    return aSign < 0 ? -order : order;
}

bool ClFixedDecimal::operator<(const ClFixedDecimal& other) const { return Compare(other) < 0; }
bool ClFixedDecimal::operator>(const ClFixedDecimal& other) const { return Compare(other) > 0; }
bool ClFixedDecimal::operator==(const ClFixedDecimal& other) const { return Compare(other) == 0; }

int ClFixedDecimal::CompareRaw(int64_t raw) const { return Compare(FromRaw(raw)); }

bool ClFixedDecimal::Round(int mode, int position) {
    if (position < -12 || position > 4) return false;
    if (mode != kHalfUp && mode != kUp && mode != kDown) return false;
    uint64_t unit = kUnit;  // at most 10^16
    if (position >= 2) {
        for (int p = position; p > 1; --p) unit /= 10;
    } else {
        for (int p = position; p < 0; ++p) unit *= 10;
    }
    const Magnitude128 magnitude = Magnitude();
    const uint64_t below =
        magnitude.High() == 0 ? magnitude.Low() % unit : (magnitude % unit).Low();
    Magnitude128 rounded = magnitude - below;
    if (below != 0 && (mode == kUp || (mode == kHalfUp && below * 2 >= unit))) rounded += unit;
    if (rounded >= Magnitude128::Multiply(kRoundedWholeLimit, kUnit)) {
        Fail("rounded amount out of range");
    }
    *this = FromMagnitude(rounded, sign_);
    return true;
}

void ClFixedDecimal::ToAmountText(char* field, size_t width) const {
    if (field == nullptr || width == 0) return;
    field[0] = '\0';
    ClFixedDecimal rounded(*this);
    rounded.Round(kHalfUp, 1);
    // Below 10^18 once rounded, so the negation stays in range.
    velnor::FormatInteger(rounded.sign_ < 0 ? -rounded.whole_ : rounded.whole_, 0, field, width);
}
