#include "export/FullWidth.h"

#include <cstdint>

#include "common/Sjis.h"

namespace velnor {

namespace {

// Code page 932 codes of the full-width forms of 0x20..0x7E. The backslash (0) stays
// as it is, as the platform's mapping leaves it; `"` and `'` become the codes that the
// Windows conversion produces for U+FF02 and U+FF07.
constexpr uint16_t kAscii[0x7F - 0x20] = {
    0x8140, 0x8149, 0xFA57, 0x8194, 0x8190, 0x8193, 0x8195, 0xFA56,  // 20
    0x8169, 0x816A, 0x8196, 0x817B, 0x8143, 0x817C, 0x8144, 0x815E,  // 28
    0x824F, 0x8250, 0x8251, 0x8252, 0x8253, 0x8254, 0x8255, 0x8256,  // 30
    0x8257, 0x8258, 0x8146, 0x8147, 0x8183, 0x8181, 0x8184, 0x8148,  // 38
    0x8197, 0x8260, 0x8261, 0x8262, 0x8263, 0x8264, 0x8265, 0x8266,  // 40
    0x8267, 0x8268, 0x8269, 0x826A, 0x826B, 0x826C, 0x826D, 0x826E,  // 48
    0x826F, 0x8270, 0x8271, 0x8272, 0x8273, 0x8274, 0x8275, 0x8276,  // 50
    0x8277, 0x8278, 0x8279, 0x816D, 0x0000, 0x816E, 0x814F, 0x8151,  // 58
    0x814D, 0x8281, 0x8282, 0x8283, 0x8284, 0x8285, 0x8286, 0x8287,  // 60
    0x8288, 0x8289, 0x828A, 0x828B, 0x828C, 0x828D, 0x828E, 0x828F,  // 68
    0x8290, 0x8291, 0x8292, 0x8293, 0x8294, 0x8295, 0x8296, 0x8297,  // 70
    0x8298, 0x8299, 0x829A, 0x816F, 0x8162, 0x8170, 0x8160,          // 78
};

// Half-width katakana and punctuation 0xA1..0xDF. The lone marks ﾞ and ﾟ become ゛ and ゜.
constexpr uint16_t kKana[0xE0 - 0xA1] = {
    0x8142, 0x8175, 0x8176, 0x8141, 0x8145, 0x8392, 0x8340, 0x8342,  // A1
    0x8344, 0x8346, 0x8348, 0x8383, 0x8385, 0x8387, 0x8362, 0x815B,  // A9
    0x8341, 0x8343, 0x8345, 0x8347, 0x8349, 0x834A, 0x834C, 0x834E,  // B1
    0x8350, 0x8352, 0x8354, 0x8356, 0x8358, 0x835A, 0x835C, 0x835E,  // B9
    0x8360, 0x8363, 0x8365, 0x8367, 0x8369, 0x836A, 0x836B, 0x836C,  // C1
    0x836D, 0x836E, 0x8371, 0x8374, 0x8377, 0x837A, 0x837D, 0x837E,  // C9
    0x8380, 0x8381, 0x8382, 0x8384, 0x8386, 0x8388, 0x8389, 0x838A,  // D1
    0x838B, 0x838C, 0x838D, 0x838F, 0x8393, 0x814A, 0x814B,          // D9
};

constexpr unsigned char kVoicedMark = 0xDE;
constexpr unsigned char kSemiVoicedMark = 0xDF;

// The one full-width character for katakana `c` followed by `mark`, or 0 when code
// page 932 has none (ヷ and ヺ exist in Unicode only).
uint16_t Compose(unsigned char c, unsigned char mark) {
    if (mark == kVoicedMark) {
        if (c == 0xB3) return 0x8394;  // ｳﾞ → ヴ
        if ((c >= 0xB6 && c <= 0xC4) || (c >= 0xCA && c <= 0xCE)) return kKana[c - 0xA1] + 1;
    } else if (mark == kSemiVoicedMark) {
        if (c >= 0xCA && c <= 0xCE) return kKana[c - 0xA1] + 2;
    }
    return 0;
}

}  // namespace

size_t MapToFullWidth(const char* text, size_t len, char* out, size_t outSize) {
    if (out == nullptr || outSize == 0) return 0;
    const size_t room = outSize - 1;
    size_t o = 0;
    size_t i = 0;
    while (i < len) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        unsigned char unit[2];
        size_t unitLen = 0;
        size_t used = 1;
        if (IsSjisLeadByte(c)) {
            if (i + 1 < len && IsSjisTrailByte(static_cast<unsigned char>(text[i + 1]))) {
                unit[0] = c;
                unit[1] = static_cast<unsigned char>(text[i + 1]);
                unitLen = 2;
                used = 2;
            }
        } else {
            uint16_t code = 0;
            if (c >= 0x20 && c <= 0x7E) {
                code = kAscii[c - 0x20];
            } else if (c >= 0xA1 && c <= 0xDF) {
                code = kKana[c - 0xA1];
                if (i + 1 < len) {
                    const uint16_t composed = Compose(c, static_cast<unsigned char>(text[i + 1]));
                    if (composed != 0) {
                        code = composed;
                        used = 2;
                    }
                }
            }
            if (code != 0) {
                unit[0] = static_cast<unsigned char>(code >> 8);
                unit[1] = static_cast<unsigned char>(code & 0xFF);
                unitLen = 2;
            } else {
                unit[0] = c;
                unitLen = 1;
            }
        }
        if (o + unitLen > room) break;
        for (size_t k = 0; k < unitLen; ++k) out[o++] = static_cast<char>(unit[k]);
        i += used;
    }
    out[o] = '\0';
    return o;
}

}  // namespace velnor
