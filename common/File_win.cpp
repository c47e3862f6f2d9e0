#include <windows.h>

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

}  // namespace

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
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH) != 0;
}

bool MakeFolder(const char* path) { return CreateDirectoryA(path, nullptr) != 0; }

bool RemoveFolder(const char* path) { return RemoveDirectoryA(path) != 0; }

std::string Final(const char* path) { return path; }

bool CreateTemp(const std::string& folder, const char* prefix, std::string* out) {
    // GetTempFileNameA wants a folder; the current one stands for an empty folder part.
    const std::string dir = folder.empty() ? std::string(".") : folder;
    char name[MAX_PATH];
    if (GetTempFileNameA(dir.c_str(), prefix, 0, name) == 0) return false;
    *out = name;
    return true;
}

}  // namespace filesystem
}  // namespace velnor
