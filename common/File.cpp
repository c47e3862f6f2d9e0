#include "common/File.h"

#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/Faults.h"

namespace velnor {

namespace {

ClFileException::Cause CauseOf(int error) {
    switch (error) {
        case ENOSPC:
        case EDQUOT:
            return ClFileException::kDiskFull;
        case EACCES:
        case EPERM:
        case EROFS:
            return ClFileException::kAccessDenied;
        case EBADF:
            return ClFileException::kNotOpen;
        default:
            return ClFileException::kGeneric;
    }
}

}  // namespace

ClFile::~ClFile() { Abort(); }

bool ClFile::Open(const char* path, unsigned flags) {
    Abort();
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kOpen, path)) return false;
    int mode;
    switch (flags & 0x3) {
        case kWrite:
            mode = O_WRONLY;
            break;
        case kReadWrite:
            mode = O_RDWR;
            break;
        default:
            mode = O_RDONLY;
            break;
    }
    if (flags & kCreate) mode |= O_CREAT | O_TRUNC;
    int fd;
    do {
        fd = ::open(path, mode | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return false;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode)) {
        ::close(fd);
        return false;
    }
    handle_ = fd;
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
        const ssize_t n = ::write(static_cast<int>(handle_), p, size);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw ClFileException(CauseOf(errno), path_);
        }
        if (n == 0) throw ClFileException(ClFileException::kDiskFull, path_);
        p += n;
        size -= static_cast<size_t>(n);
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
        const ssize_t n = ::read(static_cast<int>(handle_), p + total, size - total);
        if (n < 0) {
            if (errno == EINTR) continue;
            throw ClFileException(CauseOf(errno), path_);
        }
        if (n == 0) break;
        total += static_cast<size_t>(n);
    }
    return total;
}

uint64_t ClFile::GetLength() {
    if (!IsOpen()) throw ClFileException(ClFileException::kNotOpen, path_);
    struct stat st;
    if (::fstat(static_cast<int>(handle_), &st) != 0) {
        throw ClFileException(CauseOf(errno), path_);
    }
    return static_cast<uint64_t>(st.st_size);
}

void ClFile::Close() {
    if (!IsOpen()) return;
    const int fd = static_cast<int>(handle_);
    handle_ = kInvalid;
    const bool injected = ShouldFailFileOp(FileOp::kClose, path_.c_str());
    // The descriptor is released even when the close reports an error: retrying a failed
    // close() could close a descriptor that another open has reused meanwhile.
    const int rc = ::close(fd);
    if (injected) throw ClFileException(ClFileException::kInjected, path_);
    if (rc != 0 && errno != EINTR) throw ClFileException(CauseOf(errno), path_);
}

void ClFile::Abort() {
    if (!IsOpen()) return;
    ::close(static_cast<int>(handle_));
    handle_ = kInvalid;
}

bool PathExists(const char* path) {
    struct stat st;
    return path != nullptr && *path != '\0' && ::stat(path, &st) == 0;
}

bool IsDirectoryPath(const char* path) {
    struct stat st;
    return path != nullptr && *path != '\0' && ::stat(path, &st) == 0 && S_ISDIR(st.st_mode);
}

bool IsRegularFilePath(const char* path) {
    struct stat st;
    return path != nullptr && *path != '\0' && ::stat(path, &st) == 0 && S_ISREG(st.st_mode);
}

bool RemoveFilePath(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kRemove, path)) return false;
    return ::unlink(path) == 0;
}

bool ReplaceFilePath(const char* from, const char* to) {
    if (from == nullptr || to == nullptr || *from == '\0' || *to == '\0') return false;
    if (ShouldFailFileOp(FileOp::kRename, to)) return false;
    // Only a file (or a link) is replaced: rename() would as well replace an empty folder,
    // a device or a pipe.
    struct stat st;
    if (::lstat(to, &st) == 0 && !S_ISREG(st.st_mode) && !S_ISLNK(st.st_mode)) return false;
    return ::rename(from, to) == 0;
}

std::string FinalPath(const char* path) {
    if (path == nullptr) return std::string();
    struct stat st;
    if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path, nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool MakeDirectory(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kMkdir, path)) return false;
    return ::mkdir(path, 0777) == 0;
}

bool RemoveDirectoryPath(const char* path) {
    if (path == nullptr || *path == '\0') return false;
    if (ShouldFailFileOp(FileOp::kRmdir, path)) return false;
    return ::rmdir(path) == 0;
}

bool CreateTempFileIn(const std::string& folder, const char* prefix, std::string* out) {
    const std::string stem = folder + (prefix ? prefix : "");
    if (ShouldFailFileOp(FileOp::kTempFile, stem.c_str())) return false;
    // Our own names rather than mkstemp(): its files are private (0600), and the file
    // becomes the user's document, which should get the permissions a new file gets.
    static unsigned counter = 0;
    for (int attempt = 0; attempt < 100; ++attempt) {
        struct timespec now;
        ::clock_gettime(CLOCK_REALTIME, &now);
        const unsigned long mix = static_cast<unsigned long>(now.tv_nsec) ^
                                  (static_cast<unsigned long>(::getpid()) << 12) ^
                                  (++counter * 2654435761UL);
        char suffix[16];
        std::snprintf(suffix, sizeof suffix, "%06lx.tmp", mix & 0xFFFFFF);
        const std::string name = stem + suffix;
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd >= 0) {
            ::close(fd);
            if (out) *out = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace velnor
