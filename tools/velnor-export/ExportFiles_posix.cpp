#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include "common/File.h"
#include "common/PathHelpers.h"
#include "tools/velnor-export/ExportFiles.h"

namespace velnor_export {

bool IdentityOf(const char* path, FileIdentity* identity) {
    struct stat st;
    if (::stat(path, &st) != 0) return false;
    identity->volume = static_cast<uint64_t>(st.st_dev);
    identity->index = static_cast<uint64_t>(st.st_ino);
    return true;
}

std::string SystemErrorCause(int error) {
    const char* cause;
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            cause = "the disk is full";
            break;
        case EACCES:
        case EPERM:
            cause = "no permission";
            break;
        case ENOENT:
            cause = "the file or its folder does not exist";
            break;
        case EISDIR:
            cause = "a folder is in the way";
            break;
        case ENOTDIR:
            cause = "a part of the path is not a folder";
            break;
        case EROFS:
            cause = "the file system is read-only";
            break;
        case EFBIG:
            cause = "the file size limit was reached";
            break;
        case EBUSY:
            cause = "the file is in use by the system (a mount point)";
            break;
        default:
            return velnor::DescribeFileError(error);
    }
    return std::string(cause) + " (" + velnor::DescribeFileError(error) + ")";
}

std::string OutputObstacle(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) {
        if (S_ISDIR(st.st_mode)) return SystemErrorCause(EISDIR);
        if (!S_ISREG(st.st_mode)) return "it is not a plain file";
        const int fd = ::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0) {
            const int error = errno;
            if (error == EACCES && (st.st_mode & 0222) == 0) return "the file is read-only";
            return SystemErrorCause(error);
        }
        ::close(fd);
    } else if (errno != ENOENT) {
        return SystemErrorCause(errno);
    }
    std::string folder = velnor::FolderPartOf(path.c_str());
    if (folder.empty()) folder = ".";
    if (::stat(folder.c_str(), &st) != 0) {
        const int error = errno;
        if (error == ENOENT) {
            return "the folder does not exist (" + velnor::DescribeFileError(error) + ")";
        }
        return SystemErrorCause(error);
    }
    if (!S_ISDIR(st.st_mode)) return SystemErrorCause(ENOTDIR);
    // The document is made in the folder before it replaces the file.
    if (::faccessat(AT_FDCWD, folder.c_str(), W_OK | X_OK, AT_EACCESS) != 0) {
        const int error = errno;
        if (error != EACCES && error != EPERM) return SystemErrorCause(error);
        if (folder.size() > 1 && folder.back() == '/') folder.pop_back();
        return "no permission to write in folder " + folder + " (" +
               velnor::DescribeFileError(error) + ")";
    }
    return std::string();
}

}  // namespace velnor_export
