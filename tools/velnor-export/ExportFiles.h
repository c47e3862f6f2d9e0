// What the batch exporter asks of the file system beyond the program's file layer: which
// file a path names, the cause of a failure in words, and what keeps a document from
// being written. One implementation per platform
// (ExportFiles_posix.cpp, ExportFiles_win.cpp).
#pragma once

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

// The identity of the file that `path` names, links followed; false when there is none.
bool IdentityOf(const char* path, FileIdentity* identity);

// The cause that a system error number stands for, in words ("the disk is full (...)"),
// with the system's own text (velnor::DescribeFileError).
std::string SystemErrorCause(int error);

// What keeps a document from being written to `path`, seen without writing anything:
// a folder in its place, a folder that is missing or cannot be written to, a file that
// cannot be opened for writing. "" when nothing is seen in the way.
std::string OutputObstacle(const std::string& path);

}  // namespace velnor_export
