// What the batch exporter asks of the file system beyond the program's file layer: the
// host data file opened without waiting and read within a bound, which file a path
// names, and the cause of a failure in words. One implementation per platform
// (ExportFiles_posix.cpp, ExportFiles_win.cpp).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace velnor_export {

// A file itself, not its name: device and inode natively, volume serial number and file
// index on Windows. Two names of one file (a hard or a symbolic link) have one identity.
struct FileIdentity {
    uint64_t volume = 0;
    uint64_t index = 0;
    bool operator==(const FileIdentity& o) const { return volume == o.volume && index == o.index; }
};

// An open file to read: a file descriptor, or a Windows HANDLE.
using Handle = intptr_t;
constexpr Handle kNoHandle = -1;

// Opens `path` for reading without waiting for the other end of a pipe; kNoHandle with
// the system's error in *error when it cannot.
Handle OpenForReading(const char* path, int* error);
// What the handle shows: a plain file or not, its size and its identity. False with the
// system's error when it cannot be asked.
bool FactsOf(Handle h, bool* regular, uint64_t* size, FileIdentity* identity, int* error);
// One read of at most `size` bytes: the number read, 0 at the end, -1 with the error.
long long ReadSome(Handle h, void* data, size_t size, int* error);
void CloseFile(Handle h);

// The identity of the file that `path` names, links followed; false when there is none.
bool IdentityOf(const char* path, FileIdentity* identity);

// The cause that a system error number stands for, in words ("the disk is full (...)"),
// with the system's own text.
std::string SystemErrorCause(int error);

// What keeps a document from being written to `path`, seen without writing anything:
// a folder in its place, a folder that is missing or cannot be written to, a file that
// cannot be opened for writing. "" when nothing is seen in the way.
std::string OutputObstacle(const std::string& path);

}  // namespace velnor_export
