// The file object and the few file-system operations the program uses. Paths are
// Shift_JIS byte strings on Windows and plain bytes natively. Every operation that opens,
// reads, writes, closes or changes the file system passes through the fault seam
// (common/Faults.h), so tests can make any such call fail; the queries do not.
#pragma once

#include <cstddef>
#include <cstdint>
#include <exception>
#include <string>

namespace velnor {

// A file error. The writer of the export catches it and turns it into a failed write.
class ClFileException : public std::exception {
  public:
    enum Cause { kGeneric = 1, kNotOpen, kAccessDenied, kDiskFull, kBadSeek, kInjected };
    ClFileException(Cause cause, std::string path) : cause_(cause), path_(std::move(path)) {}
    Cause cause() const { return cause_; }
    const std::string& path() const { return path_; }
    const char* what() const noexcept override { return "file error"; }

  private:
    Cause cause_;
    std::string path_;
};

// An unbuffered file without line-end translation.
class ClFile {
  public:
    enum OpenFlags : unsigned {
        kRead = 0x0,
        kWrite = 0x1,
        kReadWrite = 0x2,
        kShareExclusive = 0x10,
        kShareDenyNone = 0x40,
        kCreate = 0x1000,  // create, or truncate an existing file
        // Opens only a plain file, and never waits for the other end of a pipe or for a
        // device: anything else fails the open.
        kRegularOnly = 0x2000,
    };

    ClFile() = default;
    ~ClFile();  // closes, never throws
    ClFile(const ClFile&) = delete;
    ClFile& operator=(const ClFile&) = delete;

    // Opens; false when the file cannot be opened (no exception).
    bool Open(const char* path, unsigned flags);
    // Writes all bytes in one call, or throws ClFileException (also when not open).
    void Write(const void* data, size_t size);
    // Reads up to `size` bytes; returns the number read, or throws ClFileException.
    size_t Read(void* data, size_t size);
    // Current length of the open file, or throws.
    uint64_t GetLength();
    // Brings every byte written so far to stable storage (so that it survives a power
    // cut once the file is moved into place), or throws.
    void Flush();
    // Closes; does nothing when not open. A failing close throws ClFileException.
    void Close();
    // Closes without throwing (after an error).
    void Abort();
    bool IsOpen() const { return handle_ != kInvalid; }
    const std::string& path() const { return path_; }

  private:
    static constexpr intptr_t kInvalid = -1;
    intptr_t handle_ = kInvalid;  // a file descriptor, or a Windows HANDLE
    std::string path_;
};

// File-system queries and changes (all false on failure).
bool PathExists(const char* path);
bool IsDirectoryPath(const char* path);
bool IsRegularFilePath(const char* path);
bool RemoveFilePath(const char* path);
// Moves `from` over `to` in one step, replacing an existing file `to` (never a folder,
// a device or a pipe); the move reaches stable storage before it returns (the file's own
// bytes need ClFile::Flush first). The fault seam sees the destination path.
bool ReplaceFilePath(const char* from, const char* to);
bool MakeDirectory(const char* path);
// The file that writing to `path` reaches: natively a symbolic link is followed to its
// final target; on Windows, and for a path that does not exist, the path itself.
std::string FinalPath(const char* path);
bool RemoveDirectoryPath(const char* path);
// A new, empty, uniquely named file in `folder` (which ends in a separator or is empty),
// its name beginning with `prefix` (Windows keeps only its first three characters); the
// name goes to `out`. False when none could be made. The fault seam sees folder+prefix.
bool CreateTempFileIn(const std::string& folder, const char* prefix, std::string* out);

}  // namespace velnor
