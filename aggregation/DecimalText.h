// Floating-point text as the C runtime reads and prints it, computed exactly so that the
// native and the Windows builds give the same bytes whatever their runtimes do.
#pragma once

#include <cstddef>

#include "aggregation/FixedDecimal.h"

namespace velnor {

// The text "%.<decimals>f" prints for `value`: its exact binary value rounded to
// `decimals` places (0 to 4), with "-" for a negative value even when it rounds to zero.
// An exact tie rounds away from zero, as the classic Windows runtime does (glibc and newer
// runtimes round it to even). False, and `out` empty, for a value that is not finite or
// not below 2^63 in magnitude, or a text that does not fit `size` bytes.
bool FormatDecimals(double value, int decimals, char* out, size_t size);

// Reads the number at the start of `text` as the runtime's conversion to a floating-point
// number does (blanks, a sign, digits with an optional point and fraction, an optional
// exponent with at least one digit) and converts that double to the amount type. Text that
// is no number reads as zero; hexadecimal, "inf" and "nan" forms are no numbers, as for
// the classic runtime. Exact for up to 15 significant digits; digits beyond them are read
// as zeros. Throws ClFixedDecimalRangeError for a value beyond the amount type's range.
ClFixedDecimal ReadFloatingNumber(const char* text);

}  // namespace velnor
