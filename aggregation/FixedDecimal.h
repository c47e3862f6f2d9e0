// ClFixedDecimal: a signed decimal with four fixed fraction digits. All money and ratio
// arithmetic of the aggregation runs in it, so host amounts (signed 64-bit integers in
// units of 1/10000 yen) are added, multiplied, divided and rounded exactly.
#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>

#include "aggregation/Uint128.h"

// A value left the type's range, or a 64-bit intermediate overflowed, or a division by
// zero was asked for. The conversion rule that computes a field catches it.
class ClFixedDecimalRangeError : public std::range_error {
  public:
    explicit ClFixedDecimalRangeError(const char* what) : std::range_error(what) {}
};

class ClFixedDecimal {
  public:
    enum RoundMode { kHalfUp = 0, kUp = 1, kDown = 2 };

    // Magnitude limit in raw form (1/10000 units): 10^18, i.e. whole parts below 10^14.
    // Addition, subtraction, FromDouble, FromText and ToRaw keep to it; products and
    // quotients only have to fit a 64-bit whole part, and Round accepts whole parts below
    // 10^18.
    static constexpr int64_t kRawLimit = 1000000000000000000LL;

    ClFixedDecimal() = default;  // zero
    virtual ~ClFixedDecimal() = default;
    ClFixedDecimal(const ClFixedDecimal&) = default;
    ClFixedDecimal& operator=(const ClFixedDecimal&) = default;

    // Whole and fraction (1/10000) parts; a fraction of 10000 or more is carried into the
    // whole part; a negative whole sets the sign. A negative fraction, or a magnitude
    // whose whole part does not fit 64 bits (INT64_MIN included), throws.
    static ClFixedDecimal FromParts(int64_t whole, int64_t fraction);
    static ClFixedDecimal FromInt(int32_t value);
    // Raw form: value x 10000. Every 64-bit raw value is accepted.
    static ClFixedDecimal FromRaw(int64_t raw);
    // Half up at the fifth decimal; |x| >= 10^14 (or not finite) throws.
    static ClFixedDecimal FromDouble(double x);
    // Blanks, optional "-" directly before a digit, digits with "," skipped, "." and up to
    // five digits (rounded half up to four). Anything else ends the parse. Null or empty
    // text is zero. A whole part of 10^14 or more throws.
    static ClFixedDecimal FromText(const char* text);

    int64_t Whole() const { return whole_; }
    uint32_t Fraction() const { return fraction_; }
    int16_t Sign() const { return sign_; }
    // Raw form; throws when the magnitude is 10^18 or more.
    int64_t ToRaw() const;
    // The double nearest the value (exactly so for magnitudes below 2^53 / 10000).
    double ToDouble() const;

    ClFixedDecimal operator+(const ClFixedDecimal& other) const;
    ClFixedDecimal operator-(const ClFixedDecimal& other) const;
    ClFixedDecimal operator*(const ClFixedDecimal& other) const;
    ClFixedDecimal operator*(int32_t factor) const;
    // Throws on a zero divisor.
    ClFixedDecimal operator/(const ClFixedDecimal& divisor) const;
    ClFixedDecimal operator/(double divisor) const;

    bool operator<(const ClFixedDecimal& other) const;
    bool operator>(const ClFixedDecimal& other) const;
    bool operator==(const ClFixedDecimal& other) const;
    bool operator!=(const ClFixedDecimal& other) const { return !(*this == other); }
    bool operator<=(const ClFixedDecimal& other) const { return !(*this > other); }
    bool operator>=(const ClFixedDecimal& other) const { return !(*this < other); }
    bool IsNonZero() const { return whole_ != 0 || fraction_ != 0; }
    // Compares this value with a raw amount: -1 when it is smaller, 0 when equal, 1 when
    // greater.
    int CompareRaw(int64_t raw) const;

    // Rounds in place. Position 0 and 1: whole units; 2: 0.1; 3: 0.01; 4: 0.001;
    // -1 to -12: 10^-p whole units. Any other position or mode leaves the value
    // unchanged and returns false. Throws when the whole part reaches 10^18; the value
    // is then unchanged.
    bool Round(int mode, int position);

    // The amount text of the export: rounded half up to whole units, "-" when negative,
    // into `field` of `width` bytes; left empty when the text has `width` or more
    // characters. A whole part that rounds to 10^18 or more throws, the field emptied.
    void ToAmountText(char* field, size_t width) const;

  private:
    using Magnitude128 = velnor::Uint128;

    // Magnitude in 1/10000 units, exact for every whole part.
    Magnitude128 Magnitude() const;
    // Throws when the whole part does not fit 64 bits.
    static ClFixedDecimal FromMagnitude(Magnitude128 magnitude, int sign);
    // Sign of (this - other) on the exact values.
    int Compare(const ClFixedDecimal& other) const;
    ClFixedDecimal AddSigned(const ClFixedDecimal& other, int otherSign) const;
    void Normalize();  // gives zero the sign +1

    int64_t whole_ = 0;      // magnitude of the whole part
    uint32_t fraction_ = 0;  // magnitude of the fraction, 0 to 9999
    int16_t sign_ = 1;       // +1 or -1
};

// The statutory guarantee rates x 10000 by useful life (element life - 1, lives 1 to
// 101); the rest of the family of rate tables is in RateTables.h.
constexpr int kRateTableSize = 101;
const ClFixedDecimal* GuaranteeRates250();  // declining balance 250 % (method code 5)
const ClFixedDecimal* GuaranteeRates200();  // declining balance 200 % (method code 8)
