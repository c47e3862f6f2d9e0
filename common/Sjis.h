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

// A byte that is a character of code page 932 on its own: ASCII and half-width katakana.
// 0x80, 0xA0 and 0xFD-0xFF are not: glibc refuses them and Windows maps them only to
// stand-ins (U+0080 and private-use characters).
constexpr bool IsSjisSingleByteCharacter(unsigned char c) {
    return c < 0x80 || (c >= 0xA1 && c <= 0xDF);
}

namespace detail {
constexpr bool InRange(unsigned char c, unsigned char first, unsigned char last) {
    return c >= first && c <= last;
}
}  // namespace detail

// A lead byte and a trail byte that code page 932 assigns a character: JIS X 0208, the
// NEC row 13 (0x87), the NEC-selected IBM extensions (0xED, 0xEE), the user-defined area
// (0xF0-0xF9) and the IBM extensions (0xFA-0xFC). glibc's CP932 and Windows' table
// assign the same pairs.
constexpr bool IsSjisCharacter(unsigned char lead, unsigned char trail) {
    using detail::InRange;
    if (!IsSjisLeadByte(lead) || !IsSjisTrailByte(trail)) return false;
    switch (lead) {
        case 0x81:
            return InRange(trail, 0x40, 0xAC) || InRange(trail, 0xB8, 0xBF) ||
                   InRange(trail, 0xC8, 0xCE) || InRange(trail, 0xDA, 0xE8) ||
                   InRange(trail, 0xF0, 0xF7) || trail == 0xFC;
        case 0x82:
            return InRange(trail, 0x4F, 0x58) || InRange(trail, 0x60, 0x79) ||
                   InRange(trail, 0x81, 0x9A) || InRange(trail, 0x9F, 0xF1);
        case 0x83:
            return InRange(trail, 0x40, 0x96) || InRange(trail, 0x9F, 0xB6) ||
                   InRange(trail, 0xBF, 0xD6);
        case 0x84:
            return InRange(trail, 0x40, 0x60) || InRange(trail, 0x70, 0x91) ||
                   InRange(trail, 0x9F, 0xBE);
        case 0x85:
        case 0x86:
        case 0xEB:
        case 0xEC:
        case 0xEF:
            return false;
        case 0x87:
            return InRange(trail, 0x40, 0x5D) || InRange(trail, 0x5F, 0x75) || trail == 0x7E ||
                   InRange(trail, 0x80, 0x9C);
        case 0x88:
            return trail >= 0x9F;
        case 0x98:
            return trail <= 0x72 || trail >= 0x9F;
        case 0xEA:
            return trail <= 0xA4;
        case 0xEE:
            return trail != 0xED && trail != 0xEE;
        case 0xFC:
            return trail <= 0x4B;
        default:
            return true;
    }
}

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
