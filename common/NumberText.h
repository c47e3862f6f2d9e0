// Decimal text of an integer, made without the runtime's formatted output, which costs
// more than the rest of a record's number fields together.
#pragma once

#include <cstddef>

namespace velnor {

// The text "%0<width>lld" gives: "-" when negative, then the digits, zero-padded after the
// sign to `width` characters in all. Returns its length, or 0 with `out` empty (when
// `size` allows) when the text and its NUL do not fit `size` bytes.
size_t FormatInteger(long long value, int width, char* out, size_t size);

}  // namespace velnor
