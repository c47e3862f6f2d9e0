#include <windows.h>

#include <vector>

#include "common/FileSystem.h"
#include "common/PathHelpers.h"

namespace velnor {
namespace filesystem {

namespace {

HANDLE AsHandle(Handle h) { return reinterpret_cast<HANDLE>(h); }

ClFileException::Cause CauseOf(DWORD error) {
    switch (error) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            return ClFileException::kDiskFull;
        case ERROR_ACCESS_DENIED:
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
        case ERROR_WRITE_PROTECT:
            return ClFileException::kAccessDenied;
        case ERROR_INVALID_HANDLE:
            return ClFileException::kNotOpen;
        default:
            return ClFileException::kGeneric;
    }
}

// ReadFile and WriteFile take a 32-bit count.
DWORD Chunk(size_t size) { return size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size); }

// ReplaceFileW wants full paths (under Wine it answers ERROR_DIRECTORY to relative
// ones). Paths are in the ANSI code page, as the rest of the program passes them to the
// A functions.
bool FullWidePath(const char* path, std::wstring* out) {
    const int n = MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, nullptr, 0);
    if (n <= 0) return false;
    std::vector<wchar_t> wide(static_cast<size_t>(n));
    if (MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, path, -1, wide.data(), n) != n) {
        return false;
    }
    const DWORD size = GetFullPathNameW(wide.data(), 0, nullptr, nullptr);
    if (size == 0) return false;
    std::vector<wchar_t> full(size);
    const DWORD length = GetFullPathNameW(wide.data(), size, full.data(), nullptr);
    if (length == 0 || length >= size) return false;
    out->assign(full.data(), length);
    return true;
}

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

bool SameFile(HANDLE a, HANDLE b) {
    BY_HANDLE_FILE_INFORMATION x, y;
    return GetFileInformationByHandle(a, &x) && GetFileInformationByHandle(b, &y) &&
           x.dwVolumeSerialNumber == y.dwVolumeSerialNumber &&
           x.nFileIndexHigh == y.nFileIndexHigh && x.nFileIndexLow == y.nFileIndexLow;
}

// The plain form of a path that GetFinalPathNameByHandleW gives as "\\?\C:\..." or
// "\\?\UNC\server\share\...".
std::wstring PlainPath(const std::wstring& path) {
    const std::wstring unc = L"\\\\?\\UNC\\";
    const std::wstring local = L"\\\\?\\";
    if (path.compare(0, unc.size(), unc) == 0) return L"\\\\" + path.substr(unc.size());
    if (path.compare(0, local.size(), local) == 0) return path.substr(local.size());
    return path;
}

// A name taken where the target looked missing: something stands there that the system
// does not show, a link that leads nowhere.
int ExistsError(DWORD error) {
    return error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS ? kFileErrorDanglingLink
                                                                       : static_cast<int>(error);
}

// Moves `source` to `target`. An existing file is replaced with ReplaceFileW, which
// keeps its security, attributes and creation time (a move would give them up for the
// folder's). It takes no write-through (Windows refuses REPLACEFILE_WRITE_THROUGH): the
// new file was flushed before, so a power cut leaves the old file or the new one. A
// target that looks missing is never replaced: under Wine a symbolic link whose target
// does not exist looks missing, and replacing it would put a file in the link's place.
bool ReplacePaths(const std::wstring& source, const std::wstring& target, int* error) {
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
            return true;
        }
        // Only a file that went away meanwhile leaves the move to do.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) {
            *error = static_cast<int>(GetLastError());
            return false;
        }
    }
    // Wine's move replaces such a link all the same; only an exclusive create sees it.
    const HANDLE probe = CreateFileW(target.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                     FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (probe == INVALID_HANDLE_VALUE) {
        *error = ExistsError(GetLastError());
        return false;
    }
    CloseHandle(probe);
    if (MoveFileExW(source.c_str(), target.c_str(), MOVEFILE_WRITE_THROUGH)) return true;
    *error = ExistsError(GetLastError());
    return false;
}

}  // namespace

int LastError() { return static_cast<int>(GetLastError()); }

std::string Describe(int error) {
    char* text = nullptr;
    const DWORD n = FormatMessageA(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, static_cast<DWORD>(error), 0, reinterpret_cast<char*>(&text), 0, nullptr);
    std::string result;
    if (n != 0 && text != nullptr) result.assign(text, n);
    if (text != nullptr) LocalFree(text);
    while (!result.empty() && (result.back() == '\n' || result.back() == '\r' ||
                               result.back() == ' ' || result.back() == '.')) {
        result.pop_back();
    }
    if (result.empty()) result = "error " + std::to_string(static_cast<unsigned long>(error));
    return result;
}

Handle Open(const char* path, unsigned flags) {
    DWORD access;
    switch (flags & 0x3) {
        case ClFile::kWrite:
            access = GENERIC_WRITE;
            break;
        case ClFile::kReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
        default:
            access = GENERIC_READ;
            break;
    }
    const DWORD share =
        (flags & 0x70) == ClFile::kShareDenyNone ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    const DWORD creation = (flags & ClFile::kCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileA(path, access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return kInvalidHandle;
    if ((flags & ClFile::kRegularOnly) && GetFileType(h) != FILE_TYPE_DISK) {
        CloseHandle(h);
        return kInvalidHandle;
    }
    return reinterpret_cast<Handle>(h);
}

long long Write(Handle h, const void* data, size_t size, ClFileException::Cause* cause) {
    DWORD written = 0;
    if (!WriteFile(AsHandle(h), data, Chunk(size), &written, nullptr)) {
        *cause = CauseOf(GetLastError());
        return -1;
    }
    return written;
}

long long Read(Handle h, void* data, size_t size, ClFileException::Cause* cause) {
    DWORD got = 0;
    if (!ReadFile(AsHandle(h), data, Chunk(size), &got, nullptr)) {
        *cause = CauseOf(GetLastError());
        return -1;
    }
    return got;
}

bool Length(Handle h, uint64_t* length, ClFileException::Cause* cause) {
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(h), &size)) {
        *cause = CauseOf(GetLastError());
        return false;
    }
    *length = static_cast<uint64_t>(size.QuadPart);
    return true;
}

bool Sync(Handle h, ClFileException::Cause* cause) {
    if (FlushFileBuffers(AsHandle(h))) return true;
    *cause = CauseOf(GetLastError());
    return false;
}

bool Close(Handle h, ClFileException::Cause* cause) {
    if (CloseHandle(AsHandle(h))) return true;
    *cause = CauseOf(GetLastError());
    return false;
}

Kind KindOf(const char* path) {
    const DWORD a = GetFileAttributesA(path);
    if (a == INVALID_FILE_ATTRIBUTES) return Kind::kMissing;
    if (a & FILE_ATTRIBUTE_DIRECTORY) return Kind::kFolder;
    return (a & FILE_ATTRIBUTE_DEVICE) ? Kind::kOther : Kind::kFile;
}

bool Remove(const char* path) { return DeleteFileA(path) != 0; }

bool Replace(const char* from, const char* to) {
    std::wstring source, target;
    if (!FullWidePath(from, &source) || !FullWidePath(to, &target)) return false;
    int error = 0;
    if (ReplacePaths(source, target, &error)) return true;
    SetLastError(error < 0 ? ERROR_ALREADY_EXISTS : static_cast<DWORD>(error));
    return false;
}

bool ReplaceAnchored(Handle* anchor, const char* from, const char* to, int* error, bool* left) {
    *left = false;
    std::wstring source, target;
    if (!FullWidePath(from, &source) || !FullWidePath(to, &target)) {
        *error = static_cast<int>(GetLastError());
        return false;
    }
    const HANDLE mine = AsHandle(*anchor);
    bool same = false;
    if (mine != INVALID_HANDLE_VALUE) {
        const HANDLE named = CreateFileW(source.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                         FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (named != INVALID_HANDLE_VALUE) {
            same = SameFile(mine, named);
            CloseHandle(named);
        }
    }
    if (!same) {
        // The name leads elsewhere (its folder was moved or replaced): the file goes
        // through the handle. Windows removes it as the handle closes; Wine removes the
        // file by the name it was opened by, which no longer leads to it, so it may stay.
        if (mine != INVALID_HANDLE_VALUE) {
            FILE_DISPOSITION_INFO dispose = {TRUE};
            SetFileInformationByHandle(mine, FileDispositionInfo, &dispose, sizeof dispose);
        }
        *left = true;
        *error = kFileErrorFolderMoved;
        return false;
    }
    // ReplaceFileW fails with a sharing violation while any handle of the file is open.
    CloseHandle(mine);
    *anchor = kInvalidHandle;
    return ReplacePaths(source, target, error);
}

bool RemoveAnchored(Handle anchor, const char* path) {
    if (anchor != kInvalidHandle) {
        FILE_DISPOSITION_INFO dispose = {TRUE};
        if (SetFileInformationByHandle(AsHandle(anchor), FileDispositionInfo, &dispose,
                                       sizeof dispose)) {
            return true;
        }
    }
    return DeleteFileA(path) != 0;
}

void ReleaseAnchor(Handle anchor) { CloseHandle(AsHandle(anchor)); }

void HoldSignals() {}

void ReleaseSignals() {}

bool MakeFolder(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

bool RemoveFolder(const char* path) { return RemoveDirectoryA(path) != 0; }

bool Final(const char* path, std::string* out, int* error) {
    *out = path;
    if (IsDeviceName(path)) {
        *error = kFileErrorDeviceName;
        return false;
    }
    std::wstring full;
    if (!FullWidePath(path, &full)) return true;
    // Links followed: the file that writing reaches.
    const HANDLE h = CreateFileW(full.c_str(), 0, kShareAll, nullptr, OPEN_EXISTING,
                                 FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD e = GetLastError();
        const DWORD a = GetFileAttributesW(full.c_str());
        // Windows shows a link that leads nowhere as a reparse point that cannot be
        // opened (Wine shows it as no file at all; the move refuses it there).
        if ((e == ERROR_FILE_NOT_FOUND || e == ERROR_PATH_NOT_FOUND) &&
            a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
            *error = kFileErrorDanglingLink;
            return false;
        }
        return true;
    }
    std::vector<wchar_t> final(MAX_PATH + 8);
    DWORD n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                        FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    if (n >= final.size()) {
        final.resize(n + 1);
        n = GetFinalPathNameByHandleW(h, final.data(), static_cast<DWORD>(final.size()),
                                      FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
    }
    CloseHandle(h);
    if (n == 0 || n >= final.size()) return true;
    const std::wstring resolved = PlainPath(std::wstring(final.data(), n));
    // The same path in other letters or another spelling: the caller's stays.
    if (CompareStringOrdinal(resolved.c_str(), -1, full.c_str(), -1, TRUE) == CSTR_EQUAL) {
        return true;
    }
    BOOL lossy = FALSE;
    const int bytes = WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, resolved.c_str(), -1,
                                          nullptr, 0, nullptr, &lossy);
    if (bytes <= 0 || lossy) {
        *error = ERROR_NO_UNICODE_TRANSLATION;
        return false;
    }
    // Within MAX_PATH with its NUL, as every path the program passes on.
    if (static_cast<size_t>(bytes) > kMaxPathBytes + 1) {
        *error = ERROR_FILENAME_EXCED_RANGE;
        return false;
    }
    std::vector<char> narrow(static_cast<size_t>(bytes));
    WideCharToMultiByte(CP_ACP, WC_NO_BEST_FIT_CHARS, resolved.c_str(), -1, narrow.data(), bytes,
                        nullptr, &lossy);
    out->assign(narrow.data());
    return true;
}

Handle CreateAnchored(const char* path, bool* exists, Handle* anchor) {
    // Others may delete it while it is open, so that a console control handler can remove
    // an interrupted run's file (it goes when the last handle closes).
    HANDLE h = CreateFileA(path, GENERIC_WRITE, FILE_SHARE_DELETE, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        const DWORD error = GetLastError();
        *exists = error == ERROR_FILE_EXISTS || error == ERROR_ALREADY_EXISTS;
        SetLastError(error);
        return kInvalidHandle;
    }
    *exists = false;
    // A handle of its own that can delete the file, wherever its name goes. Never
    // FILE_FLAG_DELETE_ON_CLOSE: before Windows 10 1709 that cannot be taken back, and the
    // replaced document would go with the handle.
    const HANDLE keep = CreateFileA(path, DELETE, kShareAll, nullptr, OPEN_EXISTING,
                                    FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
    if (keep == INVALID_HANDLE_VALUE || !SameFile(h, keep)) {
        const DWORD error = keep == INVALID_HANDLE_VALUE ? GetLastError() : ERROR_ACCESS_DENIED;
        if (keep != INVALID_HANDLE_VALUE) CloseHandle(keep);
        CloseHandle(h);
        DeleteFileA(path);
        SetLastError(error);
        return kInvalidHandle;
    }
    *anchor = reinterpret_cast<Handle>(keep);
    return reinterpret_cast<Handle>(h);
}

bool List(const std::string& folder, std::vector<std::string>* names) {
    WIN32_FIND_DATAA found;
    HANDLE h = FindFirstFileA((folder + "*").c_str(), &found);
    if (h == INVALID_HANDLE_VALUE) return false;
    do {
        const std::string name = found.cFileName;
        if (name != "." && name != "..") names->push_back(name);
    } while (FindNextFileA(h, &found));
    FindClose(h);
    return true;
}

bool SecondsSinceWrite(const char* path, long long* seconds) {
    WIN32_FILE_ATTRIBUTE_DATA data;
    if (!GetFileAttributesExA(path, GetFileExInfoStandard, &data)) return false;
    const DWORD notPlain =
        FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE | FILE_ATTRIBUTE_REPARSE_POINT;
    if (data.dwFileAttributes & notPlain) return false;
    FILETIME now;
    GetSystemTimeAsFileTime(&now);
    const auto ticks = [](const FILETIME& t) {
        return static_cast<long long>((static_cast<unsigned long long>(t.dwHighDateTime) << 32) |
                                      t.dwLowDateTime);
    };
    *seconds = (ticks(now) - ticks(data.ftLastWriteTime)) / 10000000;
    return true;
}

unsigned long Entropy() {
    static unsigned long counter = 0;
    LARGE_INTEGER count;
    QueryPerformanceCounter(&count);
    return static_cast<unsigned long>(count.QuadPart) ^ (GetCurrentProcessId() << 12) ^
           (++counter * 2654435761UL);
}

}  // namespace filesystem
}  // namespace velnor
