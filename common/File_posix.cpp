#include <errno.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <ctime>

#include "common/FileSystem.h"

namespace velnor {
namespace filesystem {

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

int Fd(Handle h) { return static_cast<int>(h); }

// The folder that holds the directory entry of `path`.
std::string FolderOf(const char* path) {
    const std::string p(path);
    const size_t slash = p.rfind('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : p.substr(0, slash);
}

}  // namespace

Handle Open(const char* path, unsigned flags) {
    int mode;
    switch (flags & 0x3) {
        case ClFile::kWrite:
            mode = O_WRONLY;
            break;
        case ClFile::kReadWrite:
            mode = O_RDWR;
            break;
        default:
            mode = O_RDONLY;
            break;
    }
    if (flags & ClFile::kCreate) mode |= O_CREAT | O_TRUNC;
    const bool regularOnly = (flags & ClFile::kRegularOnly) != 0;
    // Without O_NONBLOCK, opening a FIFO waits for a writer, for ever if none comes.
    if (regularOnly) mode |= O_NONBLOCK;
    int fd;
    do {
        fd = ::open(path, mode | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) return kInvalidHandle;
    struct stat st;
    if (::fstat(fd, &st) != 0 || S_ISDIR(st.st_mode) || (regularOnly && !S_ISREG(st.st_mode))) {
        ::close(fd);
        return kInvalidHandle;
    }
    if (regularOnly) ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

long long Write(Handle h, const void* data, size_t size, ClFileException::Cause* cause) {
    for (;;) {
        const ssize_t n = ::write(Fd(h), data, size);
        if (n >= 0) return n;
        if (errno != EINTR) {
            *cause = CauseOf(errno);
            return -1;
        }
    }
}

long long Read(Handle h, void* data, size_t size, ClFileException::Cause* cause) {
    for (;;) {
        const ssize_t n = ::read(Fd(h), data, size);
        if (n >= 0) return n;
        if (errno != EINTR) {
            *cause = CauseOf(errno);
            return -1;
        }
    }
}

bool Length(Handle h, uint64_t* length, ClFileException::Cause* cause) {
    struct stat st;
    if (::fstat(Fd(h), &st) != 0) {
        *cause = CauseOf(errno);
        return false;
    }
    *length = static_cast<uint64_t>(st.st_size);
    return true;
}

bool Sync(Handle h, ClFileException::Cause* cause) {
    if (::fsync(Fd(h)) == 0) return true;
    *cause = CauseOf(errno);
    return false;
}

bool Close(Handle h, ClFileException::Cause* cause) {
    // An interrupted close() has released the descriptor all the same.
    if (::close(Fd(h)) == 0 || errno == EINTR) return true;
    *cause = CauseOf(errno);
    return false;
}

Kind KindOf(const char* path) {
    struct stat st;
    if (::stat(path, &st) != 0) return Kind::kMissing;
    if (S_ISREG(st.st_mode)) return Kind::kFile;
    return S_ISDIR(st.st_mode) ? Kind::kFolder : Kind::kOther;
}

bool Remove(const char* path) { return ::unlink(path) == 0; }

bool Replace(const char* from, const char* to) {
    if (::rename(from, to) != 0) return false;
    // The new directory entry reaches the disk with its folder. The move itself has
    // happened either way; a folder that cannot be synced (some file systems refuse) does
    // not undo it, so its answer is not the move's.
    const int dir = ::open(FolderOf(to).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dir >= 0) {
        ::fsync(dir);
        ::close(dir);
    }
    return true;
}

bool MakeFolder(const char* path) { return ::mkdir(path, 0777) == 0; }

bool RemoveFolder(const char* path) { return ::rmdir(path) == 0; }

std::string Final(const char* path) {
    struct stat st;
    if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) return path;
    char* resolved = ::realpath(path, nullptr);
    if (resolved == nullptr) return path;
    std::string target(resolved);
    std::free(resolved);
    return target;
}

bool CreateTemp(const std::string& folder, const char* prefix, std::string* out) {
    // Our own names rather than mkstemp(): its files are private (0600), and the file
    // becomes the user's document, which should get the permissions a new file gets.
    static unsigned counter = 0;
    const std::string stem = folder + prefix;
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
            *out = name;
            return true;
        }
        if (errno != EEXIST) return false;
    }
    return false;
}

}  // namespace filesystem
}  // namespace velnor
