// Shift_JIS (code page 932) byte classification and bounded text handling.
//
// The tables are our own rather than the C runtime's, so that the native build and the
// Windows build classify bytes identically whatever the process locale is.
#pragma once

#include <cstddef>

namespace velnor {

// First byte of a double-byte character of code page 932.
constexpr bool IsSjisLeadByte(unsigned char c) {
    return (c >= 0x81 && c <= 0x9F) || (c >= 0xE0 && c <= 0xFC);
}

// Second byte of a double-byte character of code page 932.
constexpr bool IsSjisTrailByte(unsigned char c) { return c >= 0x40 && c <= 0xFC && c != 0x7F; }

// True when byte `i` of the NUL-terminated `text` starts a double-byte character: a lead
// byte followed by a trail byte.
inline bool SjisStartsDoubleByte(const char* text, size_t i) {
    return IsSjisLeadByte(static_cast<unsigned char>(text[i])) && text[i + 1] != '\0' &&
           IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]));
}

// Length of a text that lives in a fixed field: stops at the first NUL or at the end of
// the field, whichever comes first. Host fields that are full carry no terminator.
size_t FieldLength(const char* field, size_t width);

// Copies a fixed field of `width` bytes (see FieldLength) into `dst` of `dstSize` bytes,
// cut at a character boundary when it does not fit, and always terminated.
// Returns the number of bytes copied.
size_t CopyField(char* dst, size_t dstSize, const char* field, size_t width);

// The longest prefix of `text` (of `len` bytes) that has at most `maxBytes` bytes and
// does not end in the first byte of a double-byte character.
size_t SjisCutLength(const char* text, size_t len, size_t maxBytes);

// True when byte `index` of the NUL-terminated `text` is the first or the second byte of
// a double-byte character (a lead byte followed by a trail byte).
bool SjisIsDoubleByteAt(const char* text, size_t index);

}  // namespace velnor
