// The amount text parser and the amount text of the export. Input: one byte for the
// field width, then the text.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "FuzzSupport.h"
#include "aggregation/FixedDecimal.h"

namespace {

__extension__ typedef unsigned __int128 U128;

constexpr U128 kRawLimit = static_cast<U128>(ClFixedDecimal::kRawLimit);

std::string Decimal(U128 v) {
    std::string s;
    do {
        s.insert(s.begin(), static_cast<char>('0' + static_cast<int>(v % 10)));
        v /= 10;
    } while (v != 0);
    return s;
}

U128 MagnitudeOf(const ClFixedDecimal& v) {
    return static_cast<U128>(static_cast<uint64_t>(v.Whole())) * 10000 + v.Fraction();
}

void CheckShape(const ClFixedDecimal& v) {
    FUZZ_CHECK(v.Sign() == 1 || v.Sign() == -1);
    FUZZ_CHECK(v.Whole() >= 0);
    FUZZ_CHECK(v.Fraction() <= 9999);
    if (!v.IsNonZero()) FUZZ_CHECK(v.Sign() == 1);
}

// The amount text: empty, or the value rounded half up to whole units, without leading
// zeros, "-" only before a non-zero magnitude; never a byte past `width`.
void CheckAmountText(const ClFixedDecimal& v, size_t width) {
    fuzz::TightBuffer field(width);
    if (width > 0) std::memset(field.data(), 'x', width);
    try {
        v.ToAmountText(field.data(), width);
    } catch (const ClFixedDecimalRangeError&) {
        FUZZ_CHECK((MagnitudeOf(v) + 5000) / 10000 >= static_cast<U128>(1000000000000000000ULL));
        FUZZ_CHECK(width == 0 || field.data()[0] == '\0');
        return;
    }
    if (width == 0) return;
    const U128 rounded = (MagnitudeOf(v) + 5000) / 10000;
    const std::string want = (v.Sign() < 0 && rounded != 0 ? "-" : "") + Decimal(rounded);
    const size_t length = strnlen(field.data(), width);
    FUZZ_CHECK(length < width);
    const std::string got(field.data(), length);
    FUZZ_CHECK(got == (want.size() < width ? want : std::string()));
}

// Independent reading of a plain text: blanks, an optional "-", digits, an optional "."
// with digits, nothing after. False when the text is not of that form.
struct Expected {
    bool throws = false;
    int sign = 1;
    U128 raw = 0;
};

bool ReferenceParse(const std::string& text, Expected* out) {
    size_t i = text.find_first_not_of(" \t");
    if (i == std::string::npos) i = text.size();
    const bool minus = i < text.size() && text[i] == '-';
    if (minus) ++i;
    const size_t wholeStart = i;
    while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
    std::string whole = text.substr(wholeStart, i - wholeStart);
    std::string fraction;
    if (minus && whole.empty()) {
        // The minus is not followed by a digit: the parse ends there.
        *out = Expected();
        return true;
    }
    if (i < text.size() && text[i] == '.') {
        const size_t fractionStart = ++i;
        while (i < text.size() && text[i] >= '0' && text[i] <= '9') ++i;
        fraction = text.substr(fractionStart, i - fractionStart);
    }
    if (i != text.size() || whole.size() > 20 || fraction.size() > 12) return false;
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    if (whole.size() > 14) {
        out->throws = true;
        return true;
    }
    fraction = fraction.substr(0, 5);
    fraction.resize(5, '0');
    const uint64_t fifths = std::strtoull((whole + fraction).c_str(), nullptr, 10);
    const U128 raw = (static_cast<U128>(fifths) + 5) / 10;
    out->throws = raw >= kRawLimit;
    out->raw = raw;
    out->sign = minus && raw != 0 ? -1 : 1;
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0) return 0;
    const size_t width = data[0] % 32;
    const std::string text(reinterpret_cast<const char*>(data) + 1, size - 1);
    const fuzz::TightBuffer terminated = fuzz::TerminatedCopy(text);

    // Anything past an embedded NUL is not part of the text.
    const std::string visible(terminated.data());
    Expected expected;
    const bool plain = visible.size() <= 40 && ReferenceParse(visible, &expected);

    ClFixedDecimal value;
    try {
        value = ClFixedDecimal::FromText(terminated.data());
    } catch (const ClFixedDecimalRangeError&) {
        if (plain) FUZZ_CHECK(expected.throws);
        value = ClFixedDecimal();
    }
    CheckShape(value);
    FUZZ_CHECK(MagnitudeOf(value) < kRawLimit);
    if (plain && !expected.throws) {
        FUZZ_CHECK(MagnitudeOf(value) == expected.raw);
        FUZZ_CHECK(value.Sign() == expected.sign);
    }
    // Every parsed value has a raw form, and the raw form gives the value back.
    const int64_t raw = value.ToRaw();
    const ClFixedDecimal again = ClFixedDecimal::FromRaw(raw);
    FUZZ_CHECK(again.Whole() == value.Whole() && again.Fraction() == value.Fraction() &&
               again.Sign() == value.Sign());
    CheckAmountText(value, width);

    // Any 64-bit raw amount from the host gives a field text as well.
    if (text.size() >= 8) {
        int64_t hostRaw = 0;
        std::memcpy(&hostRaw, text.data(), sizeof hostRaw);
        const ClFixedDecimal host = ClFixedDecimal::FromRaw(hostRaw);
        CheckShape(host);
        CheckAmountText(host, width);
    }
    return 0;
}
