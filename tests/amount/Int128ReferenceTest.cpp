// The amount type, the decimal printing and the portable 128-bit integer under them,
// compared with the same arithmetic written on the built-in 128-bit integer of GCC and
// Clang, over millions of random operands and every limit: the built-in version is the
// reference the portable code must match result for result and error for error. Compilers
// without that type (Microsoft's, 32-bit targets) skip these tests.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <limits>
#include <random>
#include <sstream>
#include <string>

#include "aggregation/DecimalText.h"
#include "aggregation/FixedDecimal.h"
#include "aggregation/Uint128.h"
#include "common/NumberText.h"

#if defined(__SANITIZE_ADDRESS__)
#define VELNOR_SLOW_BUILD 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define VELNOR_SLOW_BUILD 1
#endif
#endif

namespace {

#ifdef __SIZEOF_INT128__

using Fd = ClFixedDecimal;
using velnor::Uint128;

constexpr int64_t kMax = std::numeric_limits<int64_t>::max();
constexpr int64_t kMin = std::numeric_limits<int64_t>::min();

// Rounds of each test: under the sanitizers a tenth, which still costs about as much time.
int Rounds(int plain) {
#ifdef VELNOR_SLOW_BUILD
    return plain / 10;
#else
    return plain;
#endif
}

__extension__ typedef unsigned __int128 U128;
__extension__ typedef __int128 S128;

// The amount arithmetic as it was written on the built-in type, on the same three fields.
namespace reference {

struct Value {
    int64_t whole = 0;
    uint32_t fraction = 0;
    int16_t sign = 1;
};

struct Error {
    const char* what;
};

[[noreturn]] void Fail(const char* what) { throw Error{what}; }

constexpr int64_t kUnit = 10000;
constexpr int64_t kRawLimit = Fd::kRawLimit;
constexpr int64_t kWholeLimit = kRawLimit / kUnit;
constexpr int64_t kRoundedWholeLimit = 1000000000000000000LL;

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

uint64_t Abs64(int64_t v) {
    return v < 0 ? 0 - static_cast<uint64_t>(v) : static_cast<uint64_t>(v);
}

U128 Magnitude(const Value& v) { return static_cast<U128>(v.whole) * kUnit + v.fraction; }

Value FromMagnitude(U128 magnitude, int sign) {
    Value value;
    if (magnitude <= UINT64_MAX) {
        const uint64_t small = static_cast<uint64_t>(magnitude);
        value.whole = static_cast<int64_t>(small / kUnit);
        value.fraction = static_cast<uint32_t>(small % kUnit);
    } else {
        const U128 whole = magnitude / kUnit;
        if (whole > static_cast<U128>(INT64_MAX)) Fail("amount overflows 64 bits");
        value.whole = static_cast<int64_t>(whole);
        value.fraction = static_cast<uint32_t>(magnitude % kUnit);
    }
    value.sign = sign < 0 ? -1 : 1;
    if (value.whole == 0 && value.fraction == 0) value.sign = 1;
    return value;
}

Value FromParts(int64_t whole, int64_t fraction) {
    if (fraction < 0) Fail("negative fraction");
    return FromMagnitude(static_cast<U128>(Abs64(whole)) * kUnit + static_cast<uint64_t>(fraction),
                         whole < 0 ? -1 : 1);
}

Value FromRaw(int64_t raw) { return FromMagnitude(Abs64(raw), raw < 0 ? -1 : 1); }

Value FromDouble(double x) {
    if (!std::isfinite(x)) Fail("amount is not a number");
    const double magnitude = std::fabs(x);
    if (magnitude >= static_cast<double>(kWholeLimit)) Fail("amount out of range");
    const int64_t whole = static_cast<int64_t>(magnitude);
    const int64_t fifths = static_cast<int64_t>((magnitude - static_cast<double>(whole)) * 100000);
    const U128 raw = static_cast<U128>(whole) * kUnit + (fifths + 5) / 10;
    if (raw >= static_cast<U128>(kRawLimit)) Fail("amount out of range");
    return FromMagnitude(raw, x < 0 ? -1 : 1);
}

Value FromText(const char* text) {
    if (text == nullptr) return Value();
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
    const U128 raw = static_cast<U128>(whole) * kUnit + (fifths + 5) / 10;
    if (raw >= static_cast<U128>(kRawLimit)) Fail("amount out of range");
    return FromMagnitude(raw, sign);
}

int64_t ToRaw(const Value& v) {
    const U128 magnitude = Magnitude(v);
    if (magnitude >= static_cast<U128>(kRawLimit)) Fail("amount out of range");
    const int64_t raw = static_cast<int64_t>(magnitude);
    return v.sign < 0 ? -raw : raw;
}

double ToDouble(const Value& v) {
    const double magnitude = static_cast<double>(Magnitude(v)) / static_cast<double>(kUnit);
    return v.sign < 0 ? -magnitude : magnitude;
}

Value AddSigned(const Value& v, const Value& other, int otherSign) {
    const S128 a = static_cast<S128>(Magnitude(v));
    const S128 b = static_cast<S128>(Magnitude(other));
    const S128 sum = (v.sign < 0 ? -a : a) + (otherSign < 0 ? -b : b);
    const S128 magnitude = sum < 0 ? -sum : sum;
    if (magnitude >= kRawLimit) Fail("sum out of range");
    return FromMagnitude(static_cast<U128>(magnitude), sum < 0 ? -1 : 1);
}

Value Multiply(const Value& v, const Value& other) {
    int64_t wholes = 0;
    if (__builtin_mul_overflow(v.whole, other.whole, &wholes)) Fail("product overflows 64 bits");
    const U128 product = static_cast<U128>(wholes) * kUnit +
                         static_cast<U128>(v.whole) * other.fraction +
                         static_cast<U128>(other.whole) * v.fraction +
                         (static_cast<uint64_t>(v.fraction) * other.fraction + kUnit / 2) / kUnit;
    return FromMagnitude(product, v.sign * other.sign);
}

Value MultiplyInt(const Value& v, int32_t factor) {
    return FromMagnitude(Magnitude(v) * Abs64(factor), factor < 0 ? -v.sign : v.sign);
}

Value Divide(const Value& v, const Value& divisor) {
    const U128 b = Magnitude(divisor);
    if (b == 0) Fail("division by zero");
    const U128 a = Magnitude(v);
    U128 wholes, fifths;
    if (a < (static_cast<U128>(1) << 63) && b < (static_cast<uint64_t>(1) << 46)) {
        const uint64_t a64 = static_cast<uint64_t>(a), b64 = static_cast<uint64_t>(b);
        wholes = a64 / b64;
        fifths = a64 % b64 * 100000 / b64;
    } else {
        wholes = a / b;
        U128 rest = a % b;
        fifths = 0;
        for (int digit = 0; digit < 5; ++digit) {
            rest *= 10;
            fifths = fifths * 10 + rest / b;
            rest %= b;
        }
    }
    if (wholes > static_cast<U128>(INT64_MAX)) Fail("quotient overflows 64 bits");
    return FromMagnitude(wholes * kUnit + (fifths + 5) / 10, v.sign * divisor.sign);
}

int Compare(const Value& v, const Value& other) {
    const S128 a = static_cast<S128>(Magnitude(v)) * v.sign;
    const S128 b = static_cast<S128>(Magnitude(other)) * other.sign;
    return a < b ? -1 : (a > b ? 1 : 0);
}

bool Round(Value* v, int mode, int position) {
    if (position < -12 || position > 4) return false;
    if (mode != 0 && mode != 1 && mode != 2) return false;
    U128 unit = kUnit;
    if (position >= 2) {
        for (int p = position; p > 1; --p) unit /= 10;
    } else {
        for (int p = position; p < 0; ++p) unit *= 10;
    }
    const U128 magnitude = Magnitude(*v);
    const U128 below = magnitude % unit;
    U128 rounded = magnitude - below;
    if (below != 0 && (mode == 1 || (mode == 0 && below * 2 >= unit))) rounded += unit;
    if (rounded >= static_cast<U128>(kRoundedWholeLimit) * kUnit) {
        Fail("rounded amount out of range");
    }
    *v = FromMagnitude(rounded, v->sign);
    return true;
}

void AmountText(const Value& v, char* field, size_t width) {
    if (field == nullptr || width == 0) return;
    field[0] = '\0';
    Value rounded = v;
    Round(&rounded, 0, 1);
    velnor::FormatInteger(rounded.sign < 0 ? -rounded.whole : rounded.whole, 0, field, width);
}

bool FormatDecimals(double value, int decimals, char* out, size_t size) {
    constexpr uint64_t kPow10[] = {1, 10, 100, 1000, 10000};
    if (size > 0) out[0] = '\0';
    if (decimals < 0 || decimals > 4 || !std::isfinite(value)) return false;
    int exponent = 0;
    const double fraction = std::frexp(std::fabs(value), &exponent);
    if (exponent > 63) return false;
    const uint64_t mantissa = static_cast<uint64_t>(std::ldexp(fraction, 53));
    const int shift = exponent - 53;
    const U128 scaled = static_cast<U128>(mantissa) * kPow10[decimals];
    U128 units;
    if (shift >= 0) {
        units = scaled << shift;
    } else if (-shift >= 128) {
        units = 0;
    } else {
        const int s = -shift;
        units = scaled >> s;
        const U128 rest = scaled - (units << s);
        if (rest >= (static_cast<U128>(1) << (s - 1))) ++units;
    }
    const uint64_t whole = static_cast<uint64_t>(units / kPow10[decimals]);
    const uint64_t part = static_cast<uint64_t>(units % kPow10[decimals]);
    char text[48];
    size_t length = 0;
    if (std::signbit(value)) text[length++] = '-';
    length += velnor::FormatInteger(static_cast<long long>(whole), 0, text + length,
                                    sizeof text - length);
    if (decimals > 0) {
        text[length++] = '.';
        length += velnor::FormatInteger(static_cast<long long>(part), decimals, text + length,
                                        sizeof text - length);
    }
    if (length >= size) return false;
    std::memcpy(out, text, length + 1);
    return true;
}

}  // namespace reference

// What an operation gave: its value, or the text of its range error.
struct Outcome {
    std::string error;
    int64_t whole = 0;
    uint32_t fraction = 0;
    int16_t sign = 0;

    bool operator==(const Outcome& o) const {
        return error == o.error && whole == o.whole && fraction == o.fraction && sign == o.sign;
    }
};

std::ostream& operator<<(std::ostream& out, const Outcome& o) {
    if (!o.error.empty()) return out << "error \"" << o.error << "\"";
    return out << (o.sign < 0 ? "-" : "+") << o.whole << "." << o.fraction;
}

Outcome Of(const Fd& v) { return {"", v.Whole(), v.Fraction(), v.Sign()}; }
Outcome Of(const reference::Value& v) { return {"", v.whole, v.fraction, v.sign}; }
reference::Value Ref(const Fd& v) { return {v.Whole(), v.Fraction(), v.Sign()}; }

template <class F>
Outcome Portable(F f) {
    try {
        return Of(f());
    } catch (const ClFixedDecimalRangeError& e) {
        return {e.what()};
    }
}

template <class F>
Outcome Builtin(F f) {
    try {
        return Of(f());
    } catch (const reference::Error& e) {
        return {e.what};
    }
}

std::string U128Text(U128 v) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return s;
}

U128 Native(Uint128 v) { return static_cast<U128>(v.High()) << 64 | v.Low(); }
Uint128 Portable128(U128 v) {
    return Uint128(static_cast<uint64_t>(v >> 64), static_cast<uint64_t>(v));
}

// Operands: random values of every size, limits and values around every bound, from a
// fixed seed so that every run and every build sees the same ones.
class Operands {
  public:
    explicit Operands(uint64_t seed) : rng_(seed) {}

    uint64_t Bits() { return rng_(); }
    uint64_t Below(uint64_t n) { return rng_() % n; }
    int64_t Signed(int64_t magnitude) { return Below(2) != 0 ? -magnitude : magnitude; }

    // A magnitude of a whole part, 0 to INT64_MAX.
    int64_t Whole() {
        const uint64_t kind = Below(9);
        if (kind == 0) return kWholes[Below(sizeof kWholes / sizeof kWholes[0])];
        if (kind == 1) return static_cast<int64_t>(Bits() >> 1);
        if (kind == 2) return static_cast<int64_t>(Bits() >> (1 + Below(63)));
        if (kind == 3) return 7000000000 + static_cast<int64_t>(Below(21000000001));  // yen
        if (kind == 4) return static_cast<int64_t>(Below(1000000));
        if (kind == 5) return Around(Pow10(static_cast<int>(Below(19))));
        if (kind == 6) return Around(static_cast<int64_t>(uint64_t{1} << Below(63)));
        return static_cast<int64_t>(Below(1000000000000));
    }

    uint32_t Fraction() {
        static const uint32_t kFractions[] = {0, 1, 4999, 5000, 5001, 9999};
        return Below(3) == 0 ? kFractions[Below(6)] : static_cast<uint32_t>(Below(10000));
    }

    Fd Value() {
        const Fd v = Fd::FromParts(Whole(), Fraction());
        return Below(2) != 0 ? v * -1 : v;
    }

    int64_t Raw() {
        const uint64_t kind = Below(4);
        if (kind == 0) return kRaws[Below(sizeof kRaws / sizeof kRaws[0])];
        return kind == 1 ? static_cast<int64_t>(Bits()) : Signed(Whole());
    }

    int32_t Factor() {
        static const int32_t kFactors[] = {0,      1,      -1,         2,
                                           3,      10,     100,        1000,
                                           10000,  -10000, 2147483647, -2147483647 - 1,
                                           100000, 999999, 1000000000};
        return Below(2) == 0 ? kFactors[Below(sizeof kFactors / sizeof kFactors[0])]
                             : static_cast<int32_t>(static_cast<uint32_t>(Bits()));
    }

    double Double() {
        switch (Below(6)) {
            case 0: {
                double d;
                const uint64_t bits = Bits();
                std::memcpy(&d, &bits, sizeof d);
                return d;
            }
            case 1: {  // near a limit, a step either side
                static const double kDoubles[] = {1e14, 9223372036854775808.0, 0.5, 1.0, 0.0};
                const double d = kDoubles[Below(5)];
                const double toward = Below(2) == 0 ? 0.0 : HUGE_VAL;
                return static_cast<double>(Signed(1)) *
                       (Below(2) == 0 ? d : std::nextafter(d, toward));
            }
            case 2:  // an exact binary fraction: the ties of the printing
                return std::ldexp(static_cast<double>(Signed(Whole() >> Below(64))),
                                  -static_cast<int>(Below(70)));
            case 3:  // a ratio of the export
                return static_cast<double>(Signed(static_cast<int64_t>(Below(2000000)))) / 10000;
            default:
                return static_cast<double>(Signed(Whole())) / std::ldexp(1.0, int(Below(80)));
        }
    }

    // An amount text: digits with separators, a point and up to seven decimals, or stray
    // characters.
    std::string Text() {
        static const char kChars[] = " \t-0123456789,.x";
        std::string s;
        if (Below(4) == 0) {
            const size_t length = Below(32);
            for (size_t i = 0; i < length; ++i) s += kChars[Below(sizeof kChars - 1)];
            return s;
        }
        if (Below(4) == 0) s += " ";
        if (Below(2) == 0) s += "-";
        s += std::to_string(Below(2) == 0 ? Whole() : Whole() % 1000000000000000);
        if (Below(2) == 0) {
            s += ".";
            const size_t decimals = Below(8);
            for (size_t i = 0; i < decimals; ++i) s += static_cast<char>('0' + Below(10));
        }
        return s;
    }

    // 64-bit and 128-bit numbers of every bit length.
    Uint128 Wide() {
        const U128 v = static_cast<U128>(Bits()) << 64 | Bits();
        const uint64_t kind = Below(4);
        if (kind == 0) return Portable128(v >> Below(128));
        if (kind == 1) return Portable128(v >> (64 + Below(64)));
        if (kind == 2) return Portable128((static_cast<U128>(1) << Below(128)) + Signed(1));
        return Portable128(v);
    }

  private:
    static int64_t Pow10(int n) {
        int64_t p = 1;
        while (n-- > 0) p *= 10;
        return p;
    }
    // The number or a neighbour, never below zero.
    int64_t Around(int64_t v) {
        const int64_t step = static_cast<int64_t>(Below(5)) - 2;
        if (step < 0 && v < -step) return v;
        if (step > 0 && v > kMax - step) return v;
        return v + step;
    }

    // 10^14 is the limit of sums, 10^18 of rounding; 3037000499 squared is the largest
    // square below 2^63; 2^46 / 10^4 is where division leaves 64 bits; 922337203685477 is
    // INT64_MAX / 10^4 and 1844674407370955 is 2^64 / 10^4.
    // clang-format off
    static constexpr int64_t kWholes[] = {
        0, 1, 2, 3, 9999, 10000, 3037000499, 3037000500, 2147483647, 2147483648, 4294967295,
        4294967296, 7036874417, 7036874418, 25000000000, 49999999999, 99999999999999,
        100000000000000, 922337203685477, 922337203685478, 1844674407370955, 1844674407370956,
        999999999999999999, 1000000000000000000, kMax / 3, kMax / 2, kMax / 2 + 1, kMax - 1, kMax};
    static constexpr int64_t kRaws[] = {
        kMin, kMin + 1, kMax, kMax - 1, Fd::kRawLimit, Fd::kRawLimit - 1, -Fd::kRawLimit,
        -Fd::kRawLimit + 1, 0, 1, -1, 70368744177663, 70368744177664};
    // clang-format on

    std::mt19937_64 rng_;
};

// Counts mismatches and reports the first few, so that a fault shows its operands without
// flooding the log.
class Mismatches {
  public:
    bool Many() const { return count_ >= 20; }
    template <class Describe>
    void Check(bool same, Describe describe) {
        if (same) return;
        if (++count_ <= 20) ADD_FAILURE() << describe();
    }

  private:
    int count_ = 0;
};

std::string Name(const Fd& v) {
    return (v.Sign() < 0 ? "-" : "") + std::to_string(v.Whole()) + "." +
           std::to_string(v.Fraction());
}

TEST(Int128Reference, Uint128MatchesTheBuiltinType) {
    Operands ops(20261208);
    Mismatches bad;
    const int rounds = Rounds(1000000);
    for (int i = 0; i < rounds && !bad.Many(); ++i) {
        const Uint128 a = ops.Wide(), b = ops.Wide();
        const U128 na = Native(a), nb = Native(b);
        const uint64_t small = ops.Bits() >> ops.Below(64);
        const int shift = static_cast<int>(ops.Below(128));
        const auto show = [&] { return U128Text(na) + " " + U128Text(nb) + " " + U128Text(small); };
        bad.Check(Native(Uint128::Multiply(a.Low(), small)) == static_cast<U128>(a.Low()) * small,
                  [&] { return "multiply " + show(); });
        bad.Check(Native(a * small) == na * small, [&] { return "times " + show(); });
        bad.Check(Native(a + b) == na + nb && Native(a - b) == na - nb,
                  [&] { return "sum " + show(); });
        bad.Check((a < b) == (na < nb) && (a == b) == (na == nb) && (a >= b) == (na >= nb),
                  [&] { return "order " + show(); });
        bad.Check(Native(a << shift) == na << shift && Native(a >> shift) == na >> shift,
                  [&] { return "shift " + show() + " by " + std::to_string(shift); });
        bad.Check(a.ToDouble() == static_cast<double>(na), [&] { return "double " + show(); });
        for (const Uint128 divisor : {b, Uint128(small)}) {
            const U128 nd = Native(divisor);
            if (nd == 0) continue;
            Uint128 q, r;
            Uint128::DivMod(a, divisor, &q, &r);
            bad.Check(Native(q) == na / nd && Native(r) == na % nd,
                      [&] { return "divide " + U128Text(na) + " by " + U128Text(nd); });
        }
    }
}

TEST(Int128Reference, ArithmeticMatchesTheBuiltinType) {
    Operands ops(1249);
    Mismatches bad;
    const int rounds = Rounds(150000);
    for (int i = 0; i < rounds && !bad.Many(); ++i) {
        const Fd a = ops.Value(), b = ops.Value();
        const reference::Value ra = Ref(a), rb = Ref(b);
        const auto pair = [&] { return Name(a) + " and " + Name(b); };
        const auto same = [&](const char* what, Outcome got, Outcome want) {
            bad.Check(got == want, [&] {
                std::ostringstream s;
                s << what << " of " << pair() << ": " << got << ", want " << want;
                return s.str();
            });
        };
        same("sum", Portable([&] { return a + b; }),
             Builtin([&] { return reference::AddSigned(ra, rb, rb.sign); }));
        same("difference", Portable([&] { return a - b; }),
             Builtin([&] { return reference::AddSigned(ra, rb, -rb.sign); }));
        same("product", Portable([&] { return a * b; }),
             Builtin([&] { return reference::Multiply(ra, rb); }));
        const int32_t factor = ops.Factor();
        same("product by an integer", Portable([&] { return a * factor; }),
             Builtin([&] { return reference::MultiplyInt(ra, factor); }));
        same("quotient", Portable([&] { return a / b; }),
             Builtin([&] { return reference::Divide(ra, rb); }));

        const int order = reference::Compare(ra, rb);
        bad.Check((a < b) == (order < 0) && (a > b) == (order > 0) && (a == b) == (order == 0),
                  [&] { return "order of " + pair(); });
        const int64_t raw = ops.Raw();
        bad.Check(a.CompareRaw(raw) == reference::Compare(ra, reference::FromRaw(raw)),
                  [&] { return "order of " + Name(a) + " and raw " + std::to_string(raw); });

        const int mode = static_cast<int>(ops.Below(5)) - 1;
        const int position = static_cast<int>(ops.Below(19)) - 13;
        Fd rounded = a;
        reference::Value refRounded = ra;
        bool done = false, refDone = false;
        const Outcome got = Portable([&] {
            done = rounded.Round(mode, position);
            return rounded;
        });
        const Outcome want = Builtin([&] {
            refDone = reference::Round(&refRounded, mode, position);
            return refRounded;
        });
        bad.Check(got == want && done == refDone && Of(rounded) == Of(refRounded), [&] {
            return "rounding " + Name(a) + " mode " + std::to_string(mode) + " at " +
                   std::to_string(position);
        });

        const Outcome toRaw = Portable([&] { return Fd::FromRaw(a.ToRaw()); });
        const Outcome refToRaw = Builtin([&] { return reference::FromRaw(reference::ToRaw(ra)); });
        bad.Check(toRaw == refToRaw, [&] { return "raw form of " + Name(a); });
        const double d = a.ToDouble(), refD = reference::ToDouble(ra);
        bad.Check(std::memcmp(&d, &refD, sizeof d) == 0, [&] { return "double of " + Name(a); });

        const size_t width = ops.Below(25);
        char field[32], refField[32];
        std::memset(field, 'x', sizeof field);
        std::memset(refField, 'x', sizeof refField);
        const Outcome text = Portable([&] {
            a.ToAmountText(field, width);
            return Fd();
        });
        const Outcome refText = Builtin([&] {
            reference::AmountText(ra, refField, width);
            return reference::Value();
        });
        bad.Check(text == refText && std::memcmp(field, refField, sizeof field) == 0,
                  [&] { return "amount text of " + Name(a) + " in " + std::to_string(width); });
    }
}

// Divisors of 7 to 28 billion yen and dividends that leave a remainder just below them:
// the rest no longer fits 64 bits once shifted by five digits.
TEST(Int128Reference, LargeRemainderDivisionMatchesTheBuiltinType) {
    Operands ops(28000000000);
    Mismatches bad;
    const int rounds = Rounds(300000);
    for (int i = 0; i < rounds && !bad.Many(); ++i) {
        const uint64_t divisor = (7000000000 + ops.Below(21000000001)) * 10000 + ops.Below(10000);
        const uint64_t times = ops.Below(4) == 0 ? ops.Below(3) : ops.Below(30000);
        const uint64_t dividend = divisor * times + divisor - 1 - ops.Below(divisor / 1000 + 1);
        const Fd a = Fd::FromRaw(ops.Signed(static_cast<int64_t>(dividend)));
        const Fd b = Fd::FromRaw(ops.Signed(static_cast<int64_t>(divisor)));
        const Outcome got = Portable([&] { return a / b; });
        const Outcome want = Builtin([&] { return reference::Divide(Ref(a), Ref(b)); });
        bad.Check(got == want, [&] {
            std::ostringstream s;
            s << Name(a) << " / " << Name(b) << ": " << got << ", want " << want;
            return s.str();
        });
    }
}

TEST(Int128Reference, ConversionsMatchTheBuiltinType) {
    Operands ops(10000);
    Mismatches bad;
    const int rounds = Rounds(300000);
    for (int i = 0; i < rounds && !bad.Many(); ++i) {
        const int64_t whole = ops.Signed(ops.Whole());
        const int64_t fraction =
            ops.Below(8) == 0 ? ops.Signed(ops.Whole()) : static_cast<int64_t>(ops.Fraction());
        bad.Check(
            Portable([&] { return Fd::FromParts(whole, fraction); }) ==
                Builtin([&] { return reference::FromParts(whole, fraction); }),
            [&] { return "parts " + std::to_string(whole) + " " + std::to_string(fraction); });
        const int64_t raw = ops.Raw();
        bad.Check(Of(Fd::FromRaw(raw)) == Of(reference::FromRaw(raw)),
                  [&] { return "raw " + std::to_string(raw); });

        const double d = ops.Double();
        bad.Check(Portable([&] { return Fd::FromDouble(d); }) ==
                      Builtin([&] { return reference::FromDouble(d); }),
                  [&] { return "double " + std::to_string(d); });
        const std::string text = ops.Text();
        bad.Check(Portable([&] { return Fd::FromText(text.c_str()); }) ==
                      Builtin([&] { return reference::FromText(text.c_str()); }),
                  [&] { return "text \"" + text + "\""; });

        const int decimals = static_cast<int>(ops.Below(7)) - 1;
        const size_t size = ops.Below(4) == 0 ? ops.Below(24) : 40;
        char out[40], refOut[40];
        std::memset(out, 'x', sizeof out);
        std::memset(refOut, 'x', sizeof refOut);
        const bool printed = velnor::FormatDecimals(d, decimals, out, size);
        const bool refPrinted = reference::FormatDecimals(d, decimals, refOut, size);
        bad.Check(printed == refPrinted && std::memcmp(out, refOut, sizeof out) == 0, [&] {
            char exact[64];
            std::snprintf(exact, sizeof exact, "%a", d);
            return "printing " + std::string(exact) + " to " + std::to_string(decimals) +
                   " decimals in " + std::to_string(size);
        });
    }
}

#else

TEST(Int128Reference, NeedsTheBuiltinType) {
    GTEST_SKIP() << "this compiler has no built-in 128-bit integer to compare with";
}

#endif  // __SIZEOF_INT128__

}  // namespace
