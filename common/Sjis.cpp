#include "common/Sjis.h"

#include <cstring>

namespace velnor {

size_t FieldLength(const char* field, size_t width) {
    if (field == nullptr) return 0;
    const void* nul = std::memchr(field, '\0', width);
    return nul ? static_cast<size_t>(static_cast<const char*>(nul) - field) : width;
}

size_t SjisCutLength(const char* text, size_t len, size_t maxBytes) {
    if (len <= maxBytes) return len;  // every character fits
    size_t i = 0;
    while (i < len) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const size_t step = (IsSjisLeadByte(c) && i + 1 < len &&
                             IsSjisTrailByte(static_cast<unsigned char>(text[i + 1])))
                                ? 2
                                : 1;
        if (i + step > maxBytes) break;
        i += step;
    }
    return i;
}

size_t CopyField(char* dst, size_t dstSize, const char* field, size_t width) {
    if (dst == nullptr || dstSize == 0) return 0;
    const size_t len = FieldLength(field, width);
    const size_t n = SjisCutLength(field, len, dstSize - 1);
    if (n > 0) std::memcpy(dst, field, n);
    dst[n] = '\0';
    return n;
}

bool SjisIsDoubleByteAt(const char* text, size_t index) {
    if (text == nullptr) return false;
    size_t i = 0;
    while (text[i] != '\0') {
        if (SjisStartsDoubleByte(text, i)) {
            if (index == i || index == i + 1) return true;
            i += 2;
        } else {
            if (index == i) return false;
            ++i;
        }
    }
    return false;
}

}  // namespace velnor
