// Checks of an export document that hold for any host data.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "common/Sjis.h"

namespace loaddata {

// Lines of at most 255 bytes with their CR LF, whole Shift_JIS characters, no NUL.
inline void ExpectSoundLines(const std::string& document) {
    size_t start = 0;
    int line = 0;
    while (start < document.size()) {
        ++line;
        const size_t lf = document.find('\n', start);
        ASSERT_NE(std::string::npos, lf) << "line " << line << " has no line feed";
        const size_t length = lf + 1 - start;
        ASSERT_LE(length, 255u) << "line " << line;
        ASSERT_GE(length, 2u) << "line " << line;
        ASSERT_EQ('\r', document[lf - 1]) << "line " << line;
        for (size_t i = start; i + 1 < lf; ++i) {
            const unsigned char c = static_cast<unsigned char>(document[i]);
            ASSERT_NE(0, c) << "line " << line;
            if (velnor::IsSjisLeadByte(c)) {
                ASSERT_TRUE(velnor::IsSjisTrailByte(static_cast<unsigned char>(document[i + 1])))
                    << "line " << line << " byte " << i - start;
                ++i;
            }
        }
        start = lf + 1;
    }
}

inline size_t Occurrences(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
    return n;
}

}  // namespace loaddata
