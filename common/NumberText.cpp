#include "common/NumberText.h"

#include <cstring>

namespace velnor {

size_t FormatInteger(long long value, int width, char* out, size_t size) {
    if (size > 0) out[0] = '\0';
    char text[32];
    char* end = text + sizeof text;
    char* p = end;
    // Unsigned negation keeps LLONG_MIN defined.
    unsigned long long magnitude = value < 0 ? 0 - static_cast<unsigned long long>(value)
                                             : static_cast<unsigned long long>(value);
    do {
        *--p = static_cast<char>('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude != 0);
    const int sign = value < 0 ? 1 : 0;
    const int limit = static_cast<int>(sizeof text) - 1;
    while (end - p + sign < width && end - p < limit) *--p = '0';
    if (sign) *--p = '-';
    const size_t length = static_cast<size_t>(end - p);
    if (length >= size) return 0;
    std::memcpy(out, p, length);
    out[length] = '\0';
    return length;
}

}  // namespace velnor
