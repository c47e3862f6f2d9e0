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

// The longest path the temporary file's name is made to fit (Windows: MAX_PATH without
// its NUL) and the longest name of one folder entry.
#ifdef _WIN32
constexpr size_t kMaxPathBytes = 259;
#else
constexpr size_t kMaxPathBytes = 4095;
#endif
constexpr size_t kMaxNameBytes = 255;

// Why a file operation failed: the system's error number (errno natively, GetLastError on
// Windows), or one of these, which name what the file layer itself refused. 0: none.
enum FileError : int {
    kFileErrorInjected = -1,      // a test made the call fail (common/Faults.h)
    kFileErrorDanglingLink = -2,  // a symbolic link whose target does not exist
    kFileErrorFolder = -3,        // a folder stands where a file is to be replaced
    kFileErrorNotPlainFile = -4,  // a device or a pipe stands there
    kFileErrorFolderMoved = -5,   // the temporary file's folder is no longer the destination's
    kFileErrorDeviceName = -6,    // Windows: the name is a device's (CON, NUL, COM1, ...)
};

// The error of the last call of this file layer that failed (ClFile's methods and the
// functions below), 0 while none has. Read it right after the failing call: a later
// failure replaces it; a success leaves it.
int LastFileError();
// The error as text for a message: strerror natively, FormatMessage on Windows (in the
// ANSI code page), without a final line end; the layer's own errors in English.
std::string DescribeFileError(int error);

// A file error. The writer of the export catches it and turns it into a failed write.
class ClFileException : public std::exception {
  public:
    enum Cause { kGeneric = 1, kNotOpen, kAccessDenied, kDiskFull, kBadSeek, kInjected };
    ClFileException(Cause cause, std::string path, int error = 0)
        : cause_(cause), error_(error), path_(std::move(path)) {}
    Cause cause() const { return cause_; }
    // The system's error (see LastFileError), 0 when there was none (a file not open).
    int error() const { return error_; }
    const std::string& path() const { return path_; }
    const char* what() const noexcept override { return "file error"; }

  private:
    Cause cause_;
    int error_;
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
    // Creates and opens for writing a new, empty temporary file beside `destination` (in
    // its folder, so that it can replace it in one step): TempFileStem(destination), six
    // letters or digits and ".tmp". Natively it is created exclusively and never through
    // a symbolic link; on Windows as a new file that others may only delete (so that an
    // interrupted run can remove it while it is open). This destination's temporary
    // files that an earlier run left behind more than an hour ago are removed first. The
    // file is the pending temporary file (RemovePendingTempFile) until it is moved or
    // removed: ReplaceFilePath and RemoveFilePath then work on it where it was made
    // (natively through its folder's descriptor, on Windows through a handle of its own),
    // and a replace fails (kFileErrorFolderMoved, the file removed) when the destination's
    // folder is no longer that folder. Natively the signals that end a process wait from
    // before the file exists until it is pending. False when none could be made; the
    // fault seam sees the stem.
    bool CreateTempBeside(const char* destination);
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
// bytes need ClFile::Flush first). The new file keeps the replaced file's identity:
// natively its mode and, where permitted, its owner; on Windows (ReplaceFileW) its
// security, attributes and creation time. The fault seam sees the destination path.
bool ReplaceFilePath(const char* from, const char* to);
bool MakeDirectory(const char* path);
// The file that writing to `path` reaches: natively a symbolic link is followed to its
// final target; on Windows, and for a path that does not exist, the path itself. Empty
// for a link whose target does not exist (kFileErrorDanglingLink) or cannot be resolved.
std::string FinalPath(const char* path);
bool RemoveDirectoryPath(const char* path);

// The temporary file of `destination` up to its random part: the folder, the name cut
// at a character boundary so that the whole temporary path fits `maxPath` bytes and its
// name kMaxNameBytes, and ".~velnor-". Empty when the folder leaves no room.
std::string TempFileStem(const char* destination, size_t maxPath = kMaxPathBytes);
// Removes `destination`'s temporary files (TempFileStem + six lower-case letters or digits
// + ".tmp", plain files only, not links) last written more than `ageSeconds` ago; nothing
// else is touched.
void RemoveStaleTempFiles(const char* destination, long long ageSeconds);
// Removes the temporary file being written, if any. Natively async-signal-safe (one
// unlink of a path kept in a static buffer), for a signal handler; on Windows, for a
// console control handler, it marks the open file for deletion.
void RemovePendingTempFile();
// The temporary file that the last ReplaceFilePath or RemoveFilePath of the pending file
// could not remove (or, after its folder moved, cannot be sure of), "" when none; cleared
// by CreateTempBeside.
const std::string& LeftTempFile();

}  // namespace velnor
