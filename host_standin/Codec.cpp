// The platform-independent half of the text conversions. glibc's CP932 and Windows'
// code page 932 (without best fit) agree on every character but these; we follow
// Windows, the host's platform, and refuse on both builds what Windows refuses. The four
// private-use characters and U+0080 that Windows maps to the single bytes 0xA0, 0xFD,
// 0xFE, 0xFF and 0x80 are refused too: those bytes are no Shift_JIS characters.
#include <cstdio>

#include "common/Sjis.h"
#include "host_standin/StandInState.h"

namespace hoststandin {
namespace {

bool RefusedEverywhere(long cp) {
    switch (cp) {
        case 0x0080:  // Windows: 0x80
        case 0x00A2:  // ¢  glibc: 81 91
        case 0x00A3:  // £  glibc: 81 92
        case 0x00A5:  // ¥  glibc: 5C
        case 0x00AC:  // ¬  glibc: 81 CA
        case 0x2014:  // —  glibc: 81 5C
        case 0x2016:  // ‖  glibc: 81 61
        case 0x203E:  // ‾  glibc: 7E
        case 0x2212:  // −  glibc: 81 7C
        case 0x301C:  // 〜 glibc: 81 60
            return true;
        default:
            return cp >= 0xF8F0 && cp <= 0xF8F3;  // Windows: A0, FD, FE, FF
    }
}

// Splits UTF-8 into code points with their byte ranges; false when it is not UTF-8.
struct CodePoint {
    long value;
    size_t begin, len;
};
bool DecodeUtf8(const std::string& s, std::vector<CodePoint>* out) {
    for (size_t i = 0; i < s.size();) {
        const unsigned char c = static_cast<unsigned char>(s[i]);
        const size_t len = c < 0x80         ? 1
                           : (c >> 5) == 6  ? 2
                           : (c >> 4) == 14 ? 3
                           : (c >> 3) == 30 ? 4
                                            : 0;
        if (len == 0 || i + len > s.size()) return false;
        long cp = len == 1 ? c : c & (0x7F >> len);
        for (size_t k = 1; k < len; ++k) {
            const unsigned char t = static_cast<unsigned char>(s[i + k]);
            if ((t & 0xC0) != 0x80) return false;
            cp = (cp << 6) | (t & 0x3F);
        }
        static const long kMin[] = {0, 0, 0x80, 0x800, 0x10000};
        if (cp < kMin[len] || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) return false;
        out->push_back({cp, i, len});
        i += len;
    }
    return true;
}

void AppendEscaped(std::string* out, unsigned char c) {
    char hex[8];
    std::snprintf(hex, sizeof hex, "\\x%02X", c);
    *out += hex;
}

}  // namespace

bool Utf8ToSjis(const std::string& utf8, std::string* sjis, long* badCodePoint) {
    long ignored = 0;
    long& bad = badCodePoint ? *badCodePoint : ignored;
    bad = -1;
    std::vector<CodePoint> cps;
    if (!DecodeUtf8(utf8, &cps)) return false;
    for (const CodePoint& cp : cps) {
        if (RefusedEverywhere(cp.value)) {
            bad = cp.value;
            return false;
        }
    }
    if (platform::Utf8ToSjis(utf8.data(), utf8.size(), sjis)) return true;
    std::string one;
    for (const CodePoint& cp : cps) {
        if (!platform::Utf8ToSjis(utf8.data() + cp.begin, cp.len, &one)) {
            bad = cp.value;
            break;
        }
    }
    return false;
}

std::string Utf8ToSjisLossy(const std::string& utf8) {
    std::string sjis, one;
    if (Utf8ToSjis(utf8, &sjis)) return sjis;
    std::vector<CodePoint> cps;
    if (!DecodeUtf8(utf8, &cps)) return utf8;
    sjis.clear();
    for (const CodePoint& cp : cps) {
        sjis += Utf8ToSjis(utf8.substr(cp.begin, cp.len), &one) ? one : std::string("?");
    }
    return sjis;
}

std::string SjisToLogText(const std::string& sjis) {
    std::string out, one;
    for (size_t i = 0; i < sjis.size();) {
        const unsigned char c = static_cast<unsigned char>(sjis[i]);
        if (c == '\\' || c == '\t' || c == '\n' || c == '\r') {
            out += c == '\\' ? "\\\\" : c == '\t' ? "\\t" : c == '\n' ? "\\n" : "\\r";
            ++i;
        } else if (c < 0x20 || c == 0x7F) {
            AppendEscaped(&out, c);
            ++i;
        } else if (c < 0x80) {
            out += static_cast<char>(c);
            ++i;
        } else {
            const size_t len =
                velnor::IsSjisLeadByte(c) && i + 1 < sjis.size() &&
                        velnor::IsSjisTrailByte(static_cast<unsigned char>(sjis[i + 1]))
                    ? 2
                    : 1;
            // 0x80 alone: Windows gives U+0080, glibc nothing; no Shift_JIS character either way.
            if (c != 0x80 && platform::SjisToUtf8(sjis.data() + i, len, &one)) {
                out += one;
            } else {
                for (size_t k = 0; k < len; ++k)
                    AppendEscaped(&out, static_cast<unsigned char>(sjis[i + k]));
            }
            i += len;
        }
    }
    return out;
}

}  // namespace hoststandin
