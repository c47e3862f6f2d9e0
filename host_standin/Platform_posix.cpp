// Conversions through glibc's iconv and the executable's folder from /proc.
#include <iconv.h>
#include <unistd.h>

#include <climits>

#include "host_standin/StandInState.h"

namespace hoststandin {
namespace platform {
namespace {

bool Convert(iconv_t cd, const char* text, size_t len, std::string* out) {
    if (cd == reinterpret_cast<iconv_t>(-1)) return false;
    iconv(cd, nullptr, nullptr, nullptr, nullptr);
    std::string result(len * 4 + 4, '\0');
    char* in = const_cast<char*>(text);
    size_t inLeft = len;
    char* outPtr = &result[0];
    size_t outLeft = result.size();
    if (iconv(cd, &in, &inLeft, &outPtr, &outLeft) == static_cast<size_t>(-1) || inLeft != 0) {
        return false;
    }
    result.resize(result.size() - outLeft);
    *out = std::move(result);
    return true;
}

}  // namespace

// One descriptor per direction for the whole process: the log converts per character.
bool Utf8ToSjis(const char* text, size_t len, std::string* out) {
    static const iconv_t cd = iconv_open("CP932", "UTF-8");
    return Convert(cd, text, len, out);
}

bool SjisToUtf8(const char* text, size_t len, std::string* out) {
    static const iconv_t cd = iconv_open("UTF-8", "CP932");
    return Convert(cd, text, len, out);
}

std::string ExecutableFolder() {
    char path[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", path, sizeof path);
    if (n <= 0 || static_cast<size_t>(n) >= sizeof path) return std::string();
    const std::string exe(path, static_cast<size_t>(n));
    return exe.substr(0, exe.rfind('/') + 1);
}

std::string PathAsHostText(const std::string& path) { return Utf8ToSjisLossy(path); }

}  // namespace platform
}  // namespace hoststandin
