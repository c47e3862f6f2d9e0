// The system calls under the file object and the file-system operations of
// common/File.h, one implementation per platform (File_posix.cpp, File_win.cpp). They
// check no arguments, never see the fault seam and never throw: common/File.cpp keeps
// those rules once for both platforms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/File.h"

namespace velnor {
namespace filesystem {

using Handle = intptr_t;
constexpr Handle kInvalidHandle = -1;

// Opens with ClFile's flags; kInvalidHandle when it cannot, or when the path is a folder.
Handle Open(const char* path, unsigned flags);
// One transfer of at most `size` bytes: the number moved (0 at the end of a file being
// read), or -1 with the error's cause.
long long Write(Handle h, const void* data, size_t size, ClFileException::Cause* cause);
long long Read(Handle h, void* data, size_t size, ClFileException::Cause* cause);
bool Length(Handle h, uint64_t* length, ClFileException::Cause* cause);
// Brings what was written through the handle to stable storage.
bool Sync(Handle h, ClFileException::Cause* cause);
// Releases the handle, also when the answer is an error.
bool Close(Handle h, ClFileException::Cause* cause);

enum class Kind { kMissing, kFile, kFolder, kOther };
Kind KindOf(const char* path);
bool Remove(const char* path);
// Moves `from` over `to` in one step and makes the move itself durable.
bool Replace(const char* from, const char* to);
bool MakeFolder(const char* path);
bool RemoveFolder(const char* path);
std::string Final(const char* path);
bool CreateTemp(const std::string& folder, const char* prefix, std::string* out);

}  // namespace filesystem
}  // namespace velnor
