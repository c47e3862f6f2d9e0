#include "common/File.h"

#include <cerrno>
#include <csignal>
#include <cstring>
#include <vector>

#include "common/Faults.h"
#include "common/FileSystem.h"
#include "common/PathHelpers.h"
#include "common/Sjis.h"

namespace velnor {

namespace fsys = velnor::filesystem;

namespace {

int g_lastError = 0;

// The temporary file being written, for RemovePendingTempFile: the path is complete
// before the flag says so, and the flag is cleared before the path changes, so that a
// signal handler never reads half a path. The anchor keeps hold of the file where it was
// made (fsys::CreateAnchored) until it is moved or removed.
char g_pendingTemp[kMaxPathBytes + 1];
volatile std::sig_atomic_t g_pendingSet = 0;
fsys::Handle g_anchor = fsys::kInvalidHandle;
// A temporary file that a failed replace or removal may have left (LeftTempFile).
std::string g_leftTemp;

#ifdef _WIN32
constexpr int kDiskFull = 112;     // ERROR_DISK_FULL
constexpr int kNameTooLong = 206;  // ERROR_FILENAME_EXCED_RANGE
#else
constexpr int kDiskFull = ENOSPC;
constexpr int kNameTooLong = ENAMETOOLONG;
#endif

// A temporary file is "<destination>.~velnor-<six letters or digits>.tmp": a name no
// user would give a file of their own, so that the sweep of leftovers touches ours alone.
constexpr char kTempMark[] = ".~velnor-";
constexpr size_t kTempMarkLength = sizeof kTempMark - 1;
constexpr size_t kRandomLength = 6;
constexpr char kTempSuffix[] = ".tmp";
// The random part and ".tmp" after the stem.
constexpr size_t kTempTail = kRandomLength + sizeof kTempSuffix - 1;

bool Given(const char* path) { return path != nullptr && *path != '\0'; }

bool Failed(int error) {
    g_lastError = error;
    return false;
}

bool FailedNow() { return Failed(fsys::LastError()); }

bool Injected(FileOp op, const char* path) {
    if (!ShouldFailFileOp(op, path)) return false;
    g_lastError = kFileErrorInjected;
    return true;
}

[[noreturn]] void Throw(ClFileException::Cause cause, const std::string& path, int error) {
    g_lastError = error;
    throw ClFileException(cause, path, error);
}

// Every operation on the file's content: refused without an open file, failed where a test
// plans it.
void Enter(bool open, FileOp op, const std::string& path) {
    if (!open) throw ClFileException(ClFileException::kNotOpen, path);
    if (Injected(op, path.c_str())) Throw(ClFileException::kInjected, path, kFileErrorInjected);
}

void ReleaseAnchor() {
    g_pendingSet = 0;
    if (g_anchor != fsys::kInvalidHandle) fsys::ReleaseAnchor(g_anchor);
    g_anchor = fsys::kInvalidHandle;
}

void SetPending(const std::string& path, fsys::Handle anchor) {
    ReleaseAnchor();
    g_anchor = anchor;
    if (path.size() >= sizeof g_pendingTemp) return;
    std::memcpy(g_pendingTemp, path.c_str(), path.size() + 1);
    g_pendingSet = 1;
}

bool IsPending(const char* path) { return g_pendingSet && std::strcmp(path, g_pendingTemp) == 0; }

bool IsRandomPart(const char* text) {
    for (size_t i = 0; i < kRandomLength; ++i) {
        const char c = text[i];
        if (!((c >= '0' && c <= '9') || (c >= 'a' && c <= 'z'))) return false;
    }
    return true;
}

}  // namespace

int LastFileError() { return g_lastError; }

std::string DescribeFileError(int error) {
    switch (error) {
        case 0:
            return "no error";
        case kFileErrorInjected:
            return "a test made the call fail";
        case kFileErrorDanglingLink:
            return "it is a symbolic link whose target does not exist";
        case kFileErrorFolder:
            return "a folder is in the way";
        case kFileErrorNotPlainFile:
            return "it is not a plain file";
        case kFileErrorFolderMoved:
            return "its folder was moved or replaced while the file was written";
        case kFileErrorDeviceName:
            return "it is a device name, not a file";
        default:
            return fsys::Describe(error);
    }
}

ClFile::~ClFile() { Abort(); }

bool ClFile::Open(const char* path, unsigned flags) {
    Abort();
    if (!Given(path)) return false;
    if (Injected(FileOp::kOpen, path)) return false;
    const fsys::Handle h = fsys::Open(path, flags);
    if (h == fsys::kInvalidHandle) return FailedNow();
    handle_ = h;
    path_ = path;
    return true;
}

bool ClFile::CreateTempBeside(const char* destination) {
    Abort();
    g_leftTemp.clear();
    if (!Given(destination)) return false;
    const std::string stem = TempFileStem(destination);
    if (Injected(FileOp::kTempFile, stem.c_str())) return false;
    if (stem.empty()) return Failed(kNameTooLong);
    RemoveStaleTempFiles(destination, 60 * 60);
    static const char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    for (int attempt = 0; attempt < 100; ++attempt) {
        unsigned long mix = fsys::Entropy();
        std::string name = stem;
        for (size_t i = 0; i < kRandomLength; ++i) {
            name += kDigits[mix % 36];
            mix /= 36;
        }
        name += kTempSuffix;
        bool exists = false;
        fsys::Handle anchor = fsys::kInvalidHandle;
        // A signal finds either no file or one it can remove.
        fsys::HoldSignals();
        const fsys::Handle h = fsys::CreateAnchored(name.c_str(), &exists, &anchor);
        if (h != fsys::kInvalidHandle) {
            handle_ = h;
            path_ = name;
            SetPending(name, anchor);
            fsys::ReleaseSignals();
            return true;
        }
        const int error = fsys::LastError();
        fsys::ReleaseSignals();
        if (!exists) return Failed(error);
    }
    return FailedNow();
}

void ClFile::Write(const void* data, size_t size) {
    Enter(IsOpen(), FileOp::kWrite, path_);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ClFileException::Cause cause = ClFileException::kGeneric;
        const long long n = fsys::Write(handle_, p, size, &cause);
        if (n < 0) Throw(cause, path_, fsys::LastError());
        // A device that takes nothing will take nothing on a second try either.
        if (n == 0) Throw(ClFileException::kDiskFull, path_, kDiskFull);
        p += n;
        size -= static_cast<size_t>(n);
    }
}

size_t ClFile::Read(void* data, size_t size) {
    Enter(IsOpen(), FileOp::kRead, path_);
    char* p = static_cast<char*>(data);
    size_t total = 0;
    while (total < size) {
        ClFileException::Cause cause = ClFileException::kGeneric;
        const long long n = fsys::Read(handle_, p + total, size - total, &cause);
        if (n < 0) Throw(cause, path_, fsys::LastError());
        if (n == 0) break;
        total += static_cast<size_t>(n);
    }
    return total;
}

uint64_t ClFile::GetLength() {
    if (!IsOpen()) throw ClFileException(ClFileException::kNotOpen, path_);
    uint64_t length = 0;
    ClFileException::Cause cause = ClFileException::kGeneric;
    if (!fsys::Length(handle_, &length, &cause)) Throw(cause, path_, fsys::LastError());
    return length;
}

void ClFile::Flush() {
    Enter(IsOpen(), FileOp::kFlush, path_);
    ClFileException::Cause cause = ClFileException::kGeneric;
    if (!fsys::Sync(handle_, &cause)) Throw(cause, path_, fsys::LastError());
}

void ClFile::Close() {
    if (!IsOpen()) return;
    const fsys::Handle h = handle_;
    handle_ = kInvalid;
    const bool injected = Injected(FileOp::kClose, path_.c_str());
    // The handle is released even when closing reports an error: closing it again could
    // close a handle that another open has been given meanwhile.
    ClFileException::Cause cause = ClFileException::kGeneric;
    const bool closed = fsys::Close(h, &cause);
    const int error = closed ? 0 : fsys::LastError();
    if (injected) Throw(ClFileException::kInjected, path_, kFileErrorInjected);
    if (!closed) Throw(cause, path_, error);
}

void ClFile::Abort() {
    if (!IsOpen()) return;
    ClFileException::Cause ignored;
    fsys::Close(handle_, &ignored);
    handle_ = kInvalid;
}

bool PathExists(const char* path) {
    return Given(path) && fsys::KindOf(path) != fsys::Kind::kMissing;
}

bool IsDirectoryPath(const char* path) {
    return Given(path) && fsys::KindOf(path) == fsys::Kind::kFolder;
}

bool IsRegularFilePath(const char* path) {
    return Given(path) && fsys::KindOf(path) == fsys::Kind::kFile;
}

bool RemoveFilePath(const char* path) {
    if (!Given(path)) return false;
    const bool pending = IsPending(path);
    const bool injected = Injected(FileOp::kRemove, path);
    // The temporary file is removed where it was made, wherever its folder is now.
    const bool removed =
        !injected && (pending ? fsys::RemoveAnchored(g_anchor, path) : fsys::Remove(path));
    const int error = removed || injected ? 0 : fsys::LastError();
    if (pending) {
        // A removal that fails leaves the file, and lets go of it: nothing stays open.
        if (!removed) g_leftTemp = path;
        ReleaseAnchor();
    }
    if (removed) return true;
    return injected ? false : Failed(error);
}

bool ReplaceFilePath(const char* from, const char* to) {
    if (!Given(from) || !Given(to)) return false;
    if (Injected(FileOp::kRename, to)) return false;
    // Only a file is replaced: a move would as well replace an empty folder, a device or a
    // pipe.
    const fsys::Kind kind = fsys::KindOf(to);
    if (kind == fsys::Kind::kFolder) return Failed(kFileErrorFolder);
    if (kind == fsys::Kind::kOther) return Failed(kFileErrorNotPlainFile);
    if (!IsPending(from)) return fsys::Replace(from, to) || FailedNow();
    int error = 0;
    bool left = false;
    const bool moved = fsys::ReplaceAnchored(&g_anchor, from, to, &error, &left);
    // Moved, or removed because its folder is no longer where the destination is: either
    // way the anchor has done its work.
    if (moved || error == kFileErrorFolderMoved) {
        if (left) g_leftTemp = from;
        ReleaseAnchor();
    }
    return moved || Failed(error);
}

std::string FinalPath(const char* path) {
    if (path == nullptr) return std::string();
    std::string final;
    int error = 0;
    if (!fsys::Final(path, &final, &error)) {
        Failed(error);
        return std::string();
    }
    return final;
}

bool MakeDirectory(const char* path) {
    if (!Given(path)) return false;
    if (Injected(FileOp::kMkdir, path)) return false;
    return fsys::MakeFolder(path) || FailedNow();
}

bool RemoveDirectoryPath(const char* path) {
    if (!Given(path)) return false;
    if (Injected(FileOp::kRmdir, path)) return false;
    return fsys::RemoveFolder(path) || FailedNow();
}

std::string TempFileStem(const char* destination, size_t maxPath) {
    if (!Given(destination)) return std::string();
    const std::string folder = FolderPartOf(destination);
    const char* name = destination + folder.size();
    const size_t nameLength = std::strlen(name);
    // The mark before the random part belongs to the name's share.
    const size_t tail = kTempMarkLength + kTempTail;
    if (folder.size() + tail > maxPath) return std::string();
    size_t room = maxPath - folder.size() - tail;
    if (room > kMaxNameBytes - tail) room = kMaxNameBytes - tail;
    return folder + std::string(name, SjisCutLength(name, nameLength, room)) + kTempMark;
}

void RemoveStaleTempFiles(const char* destination, long long ageSeconds) {
    const std::string stem = TempFileStem(destination);
    if (stem.empty()) return;
    const std::string folder = FolderPartOf(stem.c_str());
    const std::string prefix = stem.substr(folder.size());
    std::vector<std::string> names;
    if (!fsys::List(folder, &names)) return;
    for (const std::string& name : names) {
        if (name.size() != prefix.size() + kTempTail ||
            name.compare(0, prefix.size(), prefix) != 0 ||
            !IsRandomPart(name.c_str() + prefix.size()) ||
            name.compare(prefix.size() + kRandomLength, std::string::npos, kTempSuffix) != 0) {
            continue;
        }
        const std::string path = folder + name;
        long long age = 0;
        if (fsys::SecondsSinceWrite(path.c_str(), &age) && age > ageSeconds) {
            RemoveFilePath(path.c_str());
        }
    }
}

void RemovePendingTempFile() {
    if (!g_pendingSet) return;
    g_pendingSet = 0;
    fsys::RemoveAnchored(g_anchor, g_pendingTemp);
    // The process ends next; on Windows the file goes as its last handle closes.
    ReleaseAnchor();
}

const std::string& LeftTempFile() { return g_leftTemp; }

}  // namespace velnor
