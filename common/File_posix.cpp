#include <dirent.h>
#include <errno.h>
#include <fcntl.h>
#include <pthread.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
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

// The part of `path` after its last slash. Async-signal-safe.
const char* NameOf(const char* path) {
    const char* slash = std::strrchr(path, '/');
    return slash != nullptr ? slash + 1 : path;
}

// The folder open for creating, moving and removing names in it. Read access for its
// fsync; a folder that may be written but not read is still reached by its path alone.
int OpenFolder(const std::string& folder) {
    int dir = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
#ifdef O_PATH
    if (dir < 0 && errno == EACCES) dir = ::open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
#endif
    return dir;
}

// The new file takes the replaced one's mode, and its owner and group where the system
// lets us give them (a file of another user stays that user's only for the superuser).
// Through a descriptor opened without following a link, so that the name cannot be
// swapped for a link meanwhile.
bool TakeIdentity(int dir, const char* from, const struct stat& old) {
    const int fd = ::openat(dir, from, O_RDONLY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return false;
    struct stat st;
    bool ok = ::fstat(fd, &st) == 0 && S_ISREG(st.st_mode);
    if (ok && (st.st_uid != old.st_uid || st.st_gid != old.st_gid)) {
        if (::fchown(fd, old.st_uid, old.st_gid) != 0) {
            // The group alone is often permitted when the owner is not.
            if (::fchown(fd, static_cast<uid_t>(-1), old.st_gid) != 0) errno = 0;
        }
    }
    // After fchown, which clears the set-user-ID and set-group-ID bits.
    ok = ok && ::fchmod(fd, old.st_mode & 07777) == 0;
    const int error = errno;
    ::close(fd);
    errno = error;
    return ok;
}

// Moves `from` (relative to `fromDir`) over the name `to` in the folder `toDir`, which
// keeps the replaced file's identity, and makes the move durable. The replaced file is
// looked at without following a link, so that a link swapped in never lends its
// target's owner to the document.
bool MoveInto(int fromDir, const char* from, int toDir, const char* to) {
    struct stat old;
    if (::fstatat(toDir, to, &old, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(old.st_mode) &&
        !TakeIdentity(fromDir, from, old)) {
        return false;
    }
    if (::renameat(fromDir, from, toDir, to) != 0) return false;
    // The new directory entry reaches the disk with its folder. The move itself has
    // happened either way; a folder that cannot be synced (some file systems refuse) does
    // not undo it, so its answer is not the move's.
    ::fsync(toDir);
    return true;
}

sigset_t g_unheld;

}  // namespace

int LastError() { return errno; }

std::string Describe(int error) { return std::strerror(error); }

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
    const int dir = OpenFolder(FolderOf(to));
    if (dir < 0) return false;
    const bool moved = MoveInto(AT_FDCWD, from, dir, NameOf(to));
    const int error = errno;
    ::close(dir);
    errno = error;
    return moved;
}

bool ReplaceAnchored(Handle* anchor, const char* from, const char* to, int* error, bool* left) {
    *left = false;
    const int dir = Fd(*anchor);
    struct stat made, now;
    if (::fstat(dir, &made) != 0) {
        *error = errno;
        return false;
    }
    // The document never lands, as a success, in a folder that is no longer where the
    // destination is; nor is it left there.
    if (::stat(FolderOf(to).c_str(), &now) != 0 || now.st_dev != made.st_dev ||
        now.st_ino != made.st_ino) {
        *left = ::unlinkat(dir, NameOf(from), 0) != 0;
        *error = kFileErrorFolderMoved;
        return false;
    }
    if (MoveInto(dir, NameOf(from), dir, NameOf(to))) return true;
    *error = errno;
    return false;
}

bool RemoveAnchored(Handle anchor, const char* path) {
    return ::unlinkat(Fd(anchor), NameOf(path), 0) == 0;
}

void ReleaseAnchor(Handle anchor) { ::close(Fd(anchor)); }

void HoldSignals() {
    sigset_t all;
    sigfillset(&all);
    // A fault while they are held would end the process silently, past the sanitizers.
    const int faults[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT, SIGTRAP, SIGSYS};
    for (int s : faults) sigdelset(&all, s);
    pthread_sigmask(SIG_BLOCK, &all, &g_unheld);
}

void ReleaseSignals() { pthread_sigmask(SIG_SETMASK, &g_unheld, nullptr); }

bool MakeFolder(const char* path) { return ::mkdir(path, 0777) == 0; }

bool RemoveFolder(const char* path) { return ::rmdir(path) == 0; }

bool Final(const char* path, std::string* out, int* error) {
    struct stat st;
    if (::lstat(path, &st) != 0 || !S_ISLNK(st.st_mode)) {
        *out = path;
        return true;
    }
    char* resolved = ::realpath(path, nullptr);
    if (resolved == nullptr) {
        // Writing through a link that leads nowhere would replace the link by a file.
        *error = errno == ENOENT ? kFileErrorDanglingLink : errno;
        return false;
    }
    *out = resolved;
    std::free(resolved);
    return true;
}

Handle CreateAnchored(const char* path, bool* exists, Handle* anchor) {
    *exists = false;
    const int dir = OpenFolder(FolderOf(path));
    if (dir < 0) return kInvalidHandle;
    // The permissions a new file gets (not mkstemp's private 0600): the file becomes the
    // user's document. O_NOFOLLOW with O_EXCL: a link planted under the name fails too.
    int fd;
    do {
        fd =
            ::openat(dir, NameOf(path), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
    } while (fd < 0 && errno == EINTR);
    if (fd < 0) {
        const int error = errno;
        *exists = error == EEXIST;
        ::close(dir);
        errno = error;
        return kInvalidHandle;
    }
    *anchor = dir;
    return fd;
}

bool List(const std::string& folder, std::vector<std::string>* names) {
    DIR* dir = ::opendir(folder.empty() ? "." : folder.c_str());
    if (dir == nullptr) return false;
    while (const struct dirent* entry = ::readdir(dir)) {
        const char* name = entry->d_name;
        if (std::strcmp(name, ".") != 0 && std::strcmp(name, "..") != 0) names->push_back(name);
    }
    ::closedir(dir);
    return true;
}

bool SecondsSinceWrite(const char* path, long long* seconds) {
    struct stat st;
    if (::lstat(path, &st) != 0 || !S_ISREG(st.st_mode)) return false;
    *seconds = static_cast<long long>(std::time(nullptr)) - static_cast<long long>(st.st_mtime);
    return true;
}

unsigned long Entropy() {
    static unsigned long counter = 0;
    struct timespec now;
    ::clock_gettime(CLOCK_REALTIME, &now);
    return static_cast<unsigned long>(now.tv_nsec) ^
           (static_cast<unsigned long>(now.tv_sec) << 20) ^
           (static_cast<unsigned long>(::getpid()) << 12) ^ (++counter * 2654435761UL);
}

}  // namespace filesystem
}  // namespace velnor
