#include "common/File.h"

#include "common/Faults.h"
#include "common/FileSystem.h"

namespace velnor {

namespace fsys = velnor::filesystem;

namespace {

bool Given(const char* path) { return path != nullptr && *path != '\0'; }

// Every operation on the file's content: refused without an open file, failed where a test
// plans it.
void Enter(bool open, FileOp op, const std::string& path) {
    if (!open) throw ClFileException(ClFileException::kNotOpen, path);
    if (ShouldFailFileOp(op, path.c_str())) throw ClFileException(ClFileException::kInjected, path);
}

}  // namespace

ClFile::~ClFile() { Abort(); }

bool ClFile::Open(const char* path, unsigned flags) {
    Abort();
    if (!Given(path)) return false;
    if (ShouldFailFileOp(FileOp::kOpen, path)) return false;
    const fsys::Handle h = fsys::Open(path, flags);
    if (h == fsys::kInvalidHandle) return false;
    handle_ = h;
    path_ = path;
    return true;
}

void ClFile::Write(const void* data, size_t size) {
    Enter(IsOpen(), FileOp::kWrite, path_);
    const char* p = static_cast<const char*>(data);
    while (size > 0) {
        ClFileException::Cause cause = ClFileException::kGeneric;
        const long long n = fsys::Write(handle_, p, size, &cause);
        if (n < 0) throw ClFileException(cause, path_);
        // A device that takes nothing will take nothing on a second try either.
        if (n == 0) throw ClFileException(ClFileException::kDiskFull, path_);
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
        if (n < 0) throw ClFileException(cause, path_);
        if (n == 0) break;
        total += static_cast<size_t>(n);
    }
    return total;
}

uint64_t ClFile::GetLength() {
    if (!IsOpen()) throw ClFileException(ClFileException::kNotOpen, path_);
    uint64_t length = 0;
    ClFileException::Cause cause = ClFileException::kGeneric;
    if (!fsys::Length(handle_, &length, &cause)) throw ClFileException(cause, path_);
    return length;
}

void ClFile::Flush() {
    Enter(IsOpen(), FileOp::kFlush, path_);
    ClFileException::Cause cause = ClFileException::kGeneric;
    if (!fsys::Sync(handle_, &cause)) throw ClFileException(cause, path_);
}

void ClFile::Close() {
    if (!IsOpen()) return;
    const fsys::Handle h = handle_;
    handle_ = kInvalid;
    const bool injected = ShouldFailFileOp(FileOp::kClose, path_.c_str());
    // The handle is released even when closing reports an error: closing it again could
    // close a handle that another open has been given meanwhile.
    ClFileException::Cause cause = ClFileException::kGeneric;
    const bool closed = fsys::Close(h, &cause);
    if (injected) throw ClFileException(ClFileException::kInjected, path_);
    if (!closed) throw ClFileException(cause, path_);
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
    if (ShouldFailFileOp(FileOp::kRemove, path)) return false;
    return fsys::Remove(path);
}

bool ReplaceFilePath(const char* from, const char* to) {
    if (!Given(from) || !Given(to)) return false;
    if (ShouldFailFileOp(FileOp::kRename, to)) return false;
    // Only a file is replaced: a move would as well replace an empty folder, a device or a
    // pipe.
    const fsys::Kind kind = fsys::KindOf(to);
    if (kind != fsys::Kind::kMissing && kind != fsys::Kind::kFile) return false;
    return fsys::Replace(from, to);
}

std::string FinalPath(const char* path) {
    if (path == nullptr) return std::string();
    return fsys::Final(path);
}

bool MakeDirectory(const char* path) {
    if (!Given(path)) return false;
    if (ShouldFailFileOp(FileOp::kMkdir, path)) return false;
    return fsys::MakeFolder(path);
}

bool RemoveDirectoryPath(const char* path) {
    if (!Given(path)) return false;
    if (ShouldFailFileOp(FileOp::kRmdir, path)) return false;
    return fsys::RemoveFolder(path);
}

bool CreateTempFileIn(const std::string& folder, const char* prefix, std::string* out) {
    if (prefix == nullptr) prefix = "";
    if (ShouldFailFileOp(FileOp::kTempFile, (folder + prefix).c_str())) return false;
    std::string name;
    if (!fsys::CreateTemp(folder, prefix, &name)) return false;
    if (out) *out = name;
    return true;
}

}  // namespace velnor
