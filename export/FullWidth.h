// Half-width to full-width mapping of Shift_JIS text, with the effect that the Windows
// locale mapping LCMAP_FULLWIDTH has under code page 932 on ASCII and half-width katakana.
// Our own table, so that every build writes the same bytes whatever the platform.
#pragma once

#include <cstddef>

namespace velnor {

// Maps `len` bytes of `text` into `out` (of `outSize` bytes, terminated), character by
// character, and stops before the first character whose mapped form would not fit whole.
// Returns the number of bytes written, without the terminator.
//
// Every ASCII character from 0x20 to 0x7E except the backslash becomes its full-width
// form; half-width katakana and punctuation become their full-width forms, a katakana
// followed by a voiced or semi-voiced mark becomes one character where code page 932
// has one (ｶﾞ → ガ, ﾊﾟ → パ, ｳﾞ → ヴ), otherwise the two are mapped one by one (ｱﾞ → ア゛).
// Double-byte characters and other single bytes stay as they are; a lead byte that is
// not followed by a trail byte is dropped, so that it cannot swallow the next byte.
size_t MapToFullWidth(const char* text, size_t len, char* out, size_t outSize);

}  // namespace velnor
