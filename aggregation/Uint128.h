// Unsigned 128-bit integer on two 64-bit halves: the exact intermediate products and
// quotients of the amount type and of the decimal printing. Plain C++ with 64-bit
// operations only, so that every compiler builds it the same way, for 32-bit targets too;
// only the few operations those callers need.
#pragma once

#include <cmath>
#include <cstdint>

namespace velnor {

class Uint128 {
  public:
    constexpr Uint128() = default;
    // Implicit, so that 64-bit operands mix with it as with a built-in integer.
    constexpr Uint128(uint64_t low) : low_(low) {}
    constexpr Uint128(uint64_t high, uint64_t low) : high_(high), low_(low) {}

    constexpr uint64_t High() const { return high_; }
    constexpr uint64_t Low() const { return low_; }

    // The full product of two 64-bit numbers, on 32-bit halves.
    static constexpr Uint128 Multiply(uint64_t a, uint64_t b) {
        const uint64_t aLow = a & kLow32, aHigh = a >> 32;
        const uint64_t bLow = b & kLow32, bHigh = b >> 32;
        const uint64_t lowLow = aLow * bLow, lowHigh = aLow * bHigh;
        const uint64_t highLow = aHigh * bLow, highHigh = aHigh * bHigh;
        // Three numbers below 2^32 each: no carry is lost.
        const uint64_t middle = (lowLow >> 32) + (lowHigh & kLow32) + (highLow & kLow32);
        return Uint128(highHigh + (lowHigh >> 32) + (highLow >> 32) + (middle >> 32),
                       (middle << 32) | (lowLow & kLow32));
    }

    // Quotient and remainder; `divisor` must not be zero.
    static constexpr void DivMod(Uint128 dividend, Uint128 divisor, Uint128* quotient,
                                 Uint128* remainder) {
        if (divisor.high_ == 0) {
            const uint64_t d = divisor.low_;
            if (dividend.high_ == 0) {
                *quotient = Uint128(dividend.low_ / d);
                *remainder = Uint128(dividend.low_ % d);
                return;
            }
            uint64_t rest = 0;
            const uint64_t low = DivideWide(dividend.high_ % d, dividend.low_, d, &rest);
            *quotient = Uint128(dividend.high_ / d, low);
            *remainder = Uint128(rest);
            return;
        }
        // A divisor of 2^64 or more leaves a quotient below 2^64: one bit per step.
        uint64_t q = 0;
        Uint128 rest = dividend;
        if (dividend >= divisor) {
            const int shift = LeadingZeros(divisor.high_) - LeadingZeros(dividend.high_);
            Uint128 step = divisor << shift;
            for (int bit = shift; bit >= 0; --bit) {
                q <<= 1;
                if (rest >= step) {
                    rest -= step;
                    q |= 1;
                }
                step = step >> 1;
            }
        }
        *quotient = Uint128(q);
        *remainder = rest;
    }

    // The double nearest the value, ties to even, as a conversion of a built-in integer.
    double ToDouble() const {
        if (high_ == 0) return static_cast<double>(low_);
        // Keep the top 64 bits and fold every bit below them into the last one: it lies
        // below the rounding position, so the one rounding of the 64-bit conversion is the
        // rounding of the whole value.
        const int shift = 64 - LeadingZeros(high_);
        const uint64_t sticky = (*this << (128 - shift)) != Uint128() ? 1 : 0;
        return std::ldexp(static_cast<double>((*this >> shift).low_ | sticky), shift);
    }

    friend constexpr bool operator==(Uint128 a, Uint128 b) {
        return a.high_ == b.high_ && a.low_ == b.low_;
    }
    friend constexpr bool operator!=(Uint128 a, Uint128 b) { return !(a == b); }
    friend constexpr bool operator<(Uint128 a, Uint128 b) {
        return a.high_ != b.high_ ? a.high_ < b.high_ : a.low_ < b.low_;
    }
    friend constexpr bool operator>(Uint128 a, Uint128 b) { return b < a; }
    friend constexpr bool operator<=(Uint128 a, Uint128 b) { return !(b < a); }
    friend constexpr bool operator>=(Uint128 a, Uint128 b) { return !(a < b); }

    // Modulo 2^128, as for a built-in unsigned type.
    friend constexpr Uint128 operator+(Uint128 a, Uint128 b) {
        const uint64_t low = a.low_ + b.low_;
        return Uint128(a.high_ + b.high_ + (low < a.low_ ? 1 : 0), low);
    }
    friend constexpr Uint128 operator-(Uint128 a, Uint128 b) {
        return Uint128(a.high_ - b.high_ - (a.low_ < b.low_ ? 1 : 0), a.low_ - b.low_);
    }
    friend constexpr Uint128 operator*(Uint128 a, uint64_t b) {
        const Uint128 low = Multiply(a.low_, b);
        return Uint128(low.high_ + a.high_ * b, low.low_);
    }
    friend constexpr Uint128 operator/(Uint128 a, Uint128 b) {
        Uint128 quotient, remainder;
        DivMod(a, b, &quotient, &remainder);
        return quotient;
    }
    friend constexpr Uint128 operator%(Uint128 a, Uint128 b) {
        Uint128 quotient, remainder;
        DivMod(a, b, &quotient, &remainder);
        return remainder;
    }
    constexpr Uint128& operator+=(Uint128 other) { return *this = *this + other; }
    constexpr Uint128& operator-=(Uint128 other) { return *this = *this - other; }

    // Shifts by 0 to 127 bits.
    friend constexpr Uint128 operator<<(Uint128 a, int n) {
        if (n == 0) return a;
        if (n >= 64) return Uint128(a.low_ << (n - 64), 0);
        return Uint128((a.high_ << n) | (a.low_ >> (64 - n)), a.low_ << n);
    }
    friend constexpr Uint128 operator>>(Uint128 a, int n) {
        if (n == 0) return a;
        if (n >= 64) return Uint128(a.high_ >> (n - 64));
        return Uint128(a.high_ >> n, (a.low_ >> n) | (a.high_ << (64 - n)));
    }

  private:
    static constexpr uint64_t kLow32 = 0xFFFFFFFFu;

    // Leading zero bits of a non-zero number.
    static constexpr int LeadingZeros(uint64_t x) {
        int n = 0;
        for (int width = 32; width > 0; width /= 2) {
            if ((x >> (64 - width)) == 0) {
                n += width;
                x <<= width;
            }
        }
        return n;
    }

    // (high * 2^64 + low) / divisor for high < divisor, so the quotient fits 64 bits:
    // two steps of long division in base 2^32 on the divisor shifted to its top bit, each
    // estimate corrected at most twice (Knuth's algorithm D).
    static constexpr uint64_t DivideWide(uint64_t high, uint64_t low, uint64_t divisor,
                                         uint64_t* remainder) {
        constexpr uint64_t kBase = uint64_t{1} << 32;
        const int shift = LeadingZeros(divisor);
        divisor <<= shift;
        const uint64_t divisorHigh = divisor >> 32, divisorLow = divisor & kLow32;
        const uint64_t top = shift == 0 ? high : (high << shift) | (low >> (64 - shift));
        const uint64_t rest = low << shift;
        const uint64_t restHigh = rest >> 32, restLow = rest & kLow32;

        uint64_t q1 = top / divisorHigh;
        uint64_t estimate = top - q1 * divisorHigh;
        while (q1 >= kBase || q1 * divisorLow > kBase * estimate + restHigh) {
            --q1;
            estimate += divisorHigh;
            if (estimate >= kBase) break;
        }
        const uint64_t middle = top * kBase + restHigh - q1 * divisor;  // modulo 2^64
        uint64_t q0 = middle / divisorHigh;
        estimate = middle - q0 * divisorHigh;
        while (q0 >= kBase || q0 * divisorLow > kBase * estimate + restLow) {
            --q0;
            estimate += divisorHigh;
            if (estimate >= kBase) break;
        }
        *remainder = (middle * kBase + restLow - q0 * divisor) >> shift;
        return q1 * kBase + q0;
    }

    uint64_t high_ = 0;
    uint64_t low_ = 0;
};

}  // namespace velnor
