#include <windows.h>

#include "common/File.h"
#include "common/PathHelpers.h"
#include "tools/velnor-export/ExportFiles.h"

namespace velnor_export {

bool IdentityOf(const char* path, FileIdentity* identity) {
    // No access asked for: only the file's information is read. Backup semantics let a
    // folder be opened too.
    HANDLE h = CreateFileA(path, 0, FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                           OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr);
    if (h == INVALID_HANDLE_VALUE) return false;
    BY_HANDLE_FILE_INFORMATION info;
    const bool ok = GetFileInformationByHandle(h, &info) != 0;
    CloseHandle(h);
    if (ok) {
        identity->volume = info.dwVolumeSerialNumber;
        identity->index = (static_cast<uint64_t>(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
    }
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
            return velnor::DescribeFileError(error);
    }
    return std::string(cause) + " (" + velnor::DescribeFileError(error) + ")";
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
