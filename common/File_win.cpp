#include <windows.h>

#include <vector>

#include "common/FileSystem.h"

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
    // ReplaceFileW keeps the replaced file's security, attributes and creation time,
    // which a move would give up for the folder's. It takes no write-through (Windows
    // refuses REPLACEFILE_WRITE_THROUGH): the new file was flushed before, so a power cut
    // leaves the old file or the new one.
    if (GetFileAttributesW(target.c_str()) != INVALID_FILE_ATTRIBUTES) {
        if (ReplaceFileW(target.c_str(), source.c_str(), nullptr, REPLACEFILE_IGNORE_MERGE_ERRORS,
                         nullptr, nullptr)) {
            return true;
        }
        // Only a file that went away meanwhile leaves the move to do.
        if (GetLastError() != ERROR_FILE_NOT_FOUND) return false;
    }
    return MoveFileExW(source.c_str(), target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MakeFolder(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

bool RemoveFolder(const char* path) { return RemoveDirectoryA(path) != 0; }

bool Final(const char* path, std::string* out, int*) {
    *out = path;
    return true;
}

Handle CreateNew(const char* path, bool* exists) {
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
