#include <windows.h>

#include "common/Faults.h"
#include "common/File.h"

namespace velnor {

namespace {

HANDLE AsHandle(intptr_t h) { return reinterpret_cast<HANDLE>(h); }

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

DWORD Attributes(const char* path) {
    if (path == nullptr || *path == '\0') return INVALID_FILE_ATTRIBUTES;
    return GetFileAttributesA(path);
}

}  // namespace

ClFile::~ClFile() { Abort(); }

bool ClFile::Open(const char* path, unsigned flags) {
    Abort();
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kOpen, path)) return false;
    DWORD access;
    switch (flags & 0x3) {
        case kWrite:
            access = GENERIC_WRITE;
            break;
        case kReadWrite:
            access = GENERIC_READ | GENERIC_WRITE;
            break;
        default:
            access = GENERIC_READ;
            break;
    }
    const DWORD share = (flags & 0x70) == kShareDenyNone ? FILE_SHARE_READ | FILE_SHARE_WRITE : 0;
    const DWORD creation = (flags & kCreate) ? CREATE_ALWAYS : OPEN_EXISTING;
    HANDLE h = CreateFileA(path, access, share, nullptr, creation, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    handle_ = reinterpret_cast<intptr_t>(h);
    path_ = path;
    return true;
}

void ClFile::Write(const void* data, size_t size) {
    if (!IsOpen()) throw ClFileException(ClFileException::kNotOpen, path_);
    if (ShouldFailFileOp(FileOp::kWrite, path_.c_str())) {
        throw ClFileException(ClFileException::kInjected, path_);
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), p, chunk, &written, nullptr)) {
            throw ClFileException(CauseOf(GetLastError()), path_);
        }
        if (written == 0) throw ClFileException(ClFileException::kDiskFull, path_);
        p += written;
        size -= written;
    }
}

size_t ClFile::Read(void* data, size_t size) {
    if (!IsOpen()) throw ClFileException(ClFileException::kNotOpen, path_);
    if (ShouldFailFileOp(FileOp::kRead, path_.c_str())) {
        throw ClFileException(ClFileException::kInjected, path_);
    }
    char* p = static_cast<char*>(data);
    size_t total = 0;
    while (total < size) {
        const size_t left = size - total;
        const DWORD chunk = left > 0x40000000u ? 0x40000000u : static_cast<DWORD>(left);
        DWORD got = 0;
        if (!ReadFile(AsHandle(handle_), p + total, chunk, &got, nullptr)) {
            throw ClFileException(CauseOf(GetLastError()), path_);
        }
        if (got == 0) break;
        total += got;
    }
    return total;
}

uint64_t ClFile::GetLength() {
    if (!IsOpen()) throw ClFileException(ClFileException::kNotOpen, path_);
    LARGE_INTEGER size;
    if (!GetFileSizeEx(AsHandle(handle_), &size)) {
        throw ClFileException(CauseOf(GetLastError()), path_);
    }
    return static_cast<uint64_t>(size.QuadPart);
}

void ClFile::Close() {
    if (!IsOpen()) return;
    HANDLE h = AsHandle(handle_);
    handle_ = kInvalid;
    const bool injected = ShouldFailFileOp(FileOp::kClose, path_.c_str());
    const BOOL ok = CloseHandle(h);
    if (injected) throw ClFileException(ClFileException::kInjected, path_);
    if (!ok) throw ClFileException(CauseOf(GetLastError()), path_);
}

void ClFile::Abort() {
    if (!IsOpen()) return;
    CloseHandle(AsHandle(handle_));
    handle_ = kInvalid;
}

bool PathExists(const char* path) { return Attributes(path) != INVALID_FILE_ATTRIBUTES; }

bool IsDirectoryPath(const char* path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

bool IsRegularFilePath(const char* path) {
    const DWORD a = Attributes(path);
    return a != INVALID_FILE_ATTRIBUTES &&
           (a & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
}

bool RemoveFilePath(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kRemove, path)) return false;
    return DeleteFileA(path) != 0;
}

bool ReplaceFilePath(const char* from, const char* to) {
    if (from == nullptr || to == nullptr || *from == '\0' || *to == '\0') return false;
    if (ShouldFailFileOp(FileOp::kRename, to)) return false;
    return MoveFileExA(from, to, MOVEFILE_REPLACE_EXISTING) != 0;
}

std::string FinalPath(const char* path) { return path ? path : ""; }

bool MakeDirectory(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kMkdir, path)) return false;
    return CreateDirectoryA(path, nullptr) != 0;
}

bool RemoveDirectoryPath(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kRmdir, path)) return false;
    return RemoveDirectoryA(path) != 0;
}

bool CreateTempFileIn(const std::string& folder, const char* prefix, std::string* out) {
    const std::string stem = folder + (prefix ? prefix : "");
    if (ShouldFailFileOp(FileOp::kTempFile, stem.c_str())) return false;
    // GetTempFileNameA wants a folder; the current one stands for an empty folder part.
    const std::string dir = folder.empty() ? std::string(".") : folder;
    char name[MAX_PATH];
    if (GetTempFileNameA(dir.c_str(), prefix ? prefix : "", 0, name) == 0) return false;
    if (out) *out = name;
    return true;
}

}  // namespace velnor
