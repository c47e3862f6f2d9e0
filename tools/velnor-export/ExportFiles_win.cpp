#include <windows.h>

#include "common/PathHelpers.h"
#include "tools/velnor-export/ExportFiles.h"

namespace velnor_export {

namespace {

HANDLE AsHandle(Handle h) { return reinterpret_cast<HANDLE>(h); }

const DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

FileIdentity IdentityFrom(const BY_HANDLE_FILE_INFORMATION& info) {
    FileIdentity id;
    id.volume = info.dwVolumeSerialNumber;
    id.index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    return id;
}

// The system's text for the error, without its line end and full stop.
std::string SystemText(DWORD error) {
    char text[512] = {};
    const DWORD n = FormatMessageA(FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
                                   nullptr, error, 0, text, sizeof text, nullptr);
    std::string s(text, n < sizeof text ? n : sizeof text - 1);
    while (!s.empty() &&
           (s.back() == '\r' || s.back() == '\n' || s.back() == ' ' || s.back() == '.')) {
        s.pop_back();
    }
    if (s.empty()) s = "error " + std::to_string(error);
    return s;
}

}  // namespace

Handle OpenForReading(const char* path, int* error) {
    // Opening a pipe's name fails when no instance is free; it does not wait.
    HANDLE h = CreateFileA(path, GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        *error = static_cast<int>(GetLastError());
        return kNoHandle;
    }
    return reinterpret_cast<Handle>(h);
}

bool FactsOf(Handle h, bool* regular, uint64_t* size, FileIdentity* identity, int* error) {
    if (GetFileType(AsHandle(h)) != FILE_TYPE_DISK) {
        *regular = false;
        *size = 0;
        *identity = FileIdentity();
        return true;
    }
    BY_HANDLE_FILE_INFORMATION info;
    if (!GetFileInformationByHandle(AsHandle(h), &info)) {
        *error = static_cast<int>(GetLastError());
        return false;
    }
    *regular = (info.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_DEVICE)) == 0;
    *size = (static_cast<uint64_t>(info.nFileSizeHigh) << 32) | info.nFileSizeLow;
    *identity = IdentityFrom(info);
    return true;
}

long long ReadSome(Handle h, void* data, size_t size, int* error) {
    const DWORD chunk = size > 0x40000000u ? 0x40000000u : static_cast<DWORD>(size);
    DWORD got = 0;
    if (!ReadFile(AsHandle(h), data, chunk, &got, nullptr)) {
        *error = static_cast<int>(GetLastError());
        return -1;
    }
    return got;
}

void CloseFile(Handle h) { CloseHandle(AsHandle(h)); }

bool IdentityOf(const char* path, FileIdentity* identity) {
    // No access asked for: only the file's information is read. Backup semantics let a
    // folder be opened too.
    HANDLE h = CreateFileA(path, 0, kShareAll, nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS,
                           nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok) *identity = IdentityFrom(info);
    return ok;
}

std::string SystemErrorCause(int error) {
    const DWORD e = static_cast<DWORD>(error);
    const char* cause;
    switch (e) {
        case ERROR_DISK_FULL:
        case ERROR_HANDLE_DISK_FULL:
            cause = "the disk is full";
            break;
        case ERROR_ACCESS_DENIED:
            cause = "no permission";
            break;
        case ERROR_FILE_NOT_FOUND:
            cause = "the file or its folder does not exist";
            break;
        case ERROR_PATH_NOT_FOUND:
            cause = "the folder does not exist";
            break;
        case ERROR_WRITE_PROTECT:
            cause = "the disk is read-only";
            break;
        case ERROR_SHARING_VIOLATION:
        case ERROR_LOCK_VIOLATION:
            cause = "another program is using the file";
            break;
        default:
            return SystemText(e);
    }
    return std::string(cause) + " (" + SystemText(e) + ")";
}

std::string OutputObstacle(const std::string& path) {
    const DWORD a = GetFileAttributesA(path.c_str());
    if (a != INVALID_FILE_ATTRIBUTES) {
        if (a & FILE_ATTRIBUTE_DIRECTORY) return "a folder is in the way";
        if (a & FILE_ATTRIBUTE_DEVICE) return "it is not a plain file";
        if (a & FILE_ATTRIBUTE_READONLY) return "the file is read-only";
        // As the export opens it: for writing, shared with nobody.
        HANDLE h = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, OPEN_EXISTING,
                               FILE_ATTRIBUTE_NORMAL, nullptr);
        if (h == INVALID_HANDLE_VALUE) return SystemErrorCause(static_cast<int>(GetLastError()));
        CloseHandle(h);
    } else if (GetLastError() != ERROR_FILE_NOT_FOUND) {
        return SystemErrorCause(static_cast<int>(GetLastError()));
    }
    const std::string folder = velnor::FolderPartOf(path.c_str());
    if (folder.empty()) return std::string();
    const DWORD f = GetFileAttributesA(folder.c_str());
    if (f == INVALID_FILE_ATTRIBUTES) return SystemErrorCause(ERROR_PATH_NOT_FOUND);
    if (!(f & FILE_ATTRIBUTE_DIRECTORY)) return "a part of the path is not a folder";
    return std::string();
}

}  // namespace velnor_export
