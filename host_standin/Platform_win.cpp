// Conversions through the Win32 code-page functions and the executable's folder from
// GetModuleFileNameA.
#include <windows.h>

#include <climits>

#include "host_standin/StandInState.h"

namespace hoststandin {
namespace platform {
namespace {

bool ToWide(UINT codePage, const char* text, size_t len, std::wstring* wide) {
    wide->clear();
    if (len == 0) return true;
    if (len > INT_MAX / 2) return false;
    const int n = MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, static_cast<int>(len),
                                      nullptr, 0);
    if (n <= 0) return false;
    wide->resize(static_cast<size_t>(n));
    return MultiByteToWideChar(codePage, MB_ERR_INVALID_CHARS, text, static_cast<int>(len),
                               &(*wide)[0], n) == n;
}

// `usedDefault` must stay null for UTF-8 (the API refuses it there).
bool FromWide(UINT codePage, DWORD flags, const std::wstring& wide, std::string* out,
              BOOL* usedDefault) {
    out->clear();
    if (wide.empty()) return true;
    const int wlen = static_cast<int>(wide.size());
    const int n =
        WideCharToMultiByte(codePage, flags, wide.data(), wlen, nullptr, 0, nullptr, usedDefault);
    if (n <= 0 || (usedDefault && *usedDefault)) return false;
    out->resize(static_cast<size_t>(n));
    return WideCharToMultiByte(codePage, flags, wide.data(), wlen, &(*out)[0], n, nullptr,
                               usedDefault) == n &&
           !(usedDefault && *usedDefault);
}

}  // namespace

bool Utf8ToSjis(const char* text, size_t len, std::string* out) {
    std::wstring wide;
    BOOL usedDefault = FALSE;
    return ToWide(CP_UTF8, text, len, &wide) &&
           FromWide(932, WC_NO_BEST_FIT_CHARS, wide, out, &usedDefault);
}

bool SjisToUtf8(const char* text, size_t len, std::string* out) {
    std::wstring wide;
    return ToWide(932, text, len, &wide) && FromWide(CP_UTF8, 0, wide, out, nullptr);
}

std::string ExecutableFolder() {
    std::string path(MAX_PATH, '\0');
    for (;;) {
        const DWORD n = GetModuleFileNameA(nullptr, &path[0], static_cast<DWORD>(path.size()));
        if (n == 0) return std::string();
        if (n < path.size()) {
            path.resize(n);
            break;
        }
        if (path.size() >= 32768) return std::string();
        path.resize(path.size() * 2);
    }
    // The ANSI path may hold double-byte characters whose second byte is 0x5C.
    size_t cut = 0;
    for (size_t i = 0; i < path.size(); ++i) {
        if (IsDBCSLeadByte(static_cast<BYTE>(path[i])) && i + 1 < path.size()) {
            ++i;
        } else if (path[i] == '\\' || path[i] == '/') {
            cut = i + 1;
        }
    }
    return path.substr(0, cut);
}

std::string PathAsHostText(const std::string& path) { return path; }

}  // namespace platform
}  // namespace hoststandin
