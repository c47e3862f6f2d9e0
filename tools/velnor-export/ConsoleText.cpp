#include "tools/velnor-export/ConsoleText.h"

#ifndef _WIN32
#include <iconv.h>

#include <cerrno>
#endif

namespace velnor {

#ifdef _WIN32
std::string ConsoleText(const char* sjis) { return sjis ? sjis : ""; }
#else
std::string ConsoleText(const char* sjis) {
    if (sjis == nullptr) return std::string();
    std::string in(sjis);
    iconv_t cd = iconv_open("UTF-8", "CP932");
    if (cd == reinterpret_cast<iconv_t>(-1)) return in;
    std::string out;
    char buffer[256];
    char* src = &in[0];
    size_t srcLeft = in.size();
    while (srcLeft > 0) {
        char* dst = buffer;
        size_t dstLeft = sizeof buffer;
        const size_t rc = iconv(cd, &src, &srcLeft, &dst, &dstLeft);
        out.append(buffer, dst - buffer);
        if (rc == static_cast<size_t>(-1) && errno != E2BIG) {
            // A byte that is no character: show it as '?' and go on after it.
            out += '?';
            ++src;
            --srcLeft;
        }
    }
    iconv_close(cd);
    return out;
}
#endif

}  // namespace velnor
