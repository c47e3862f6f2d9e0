// The system calls under the file object and the file-system operations of
// common/File.h, one implementation per platform (File_posix.cpp, File_win.cpp). They
// check no arguments, never see the fault seam and never throw: common/File.cpp keeps
// those rules once for both platforms.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "common/File.h"

namespace velnor {
namespace filesystem {

using Handle = intptr_t;
constexpr Handle kInvalidHandle = -1;

// The system's error of the call that just failed (errno, GetLastError).
int LastError();
// Its text, without a final line end.
std::string Describe(int error);

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
// Also called from a signal or console control handler: async-signal-safe natively.
bool Remove(const char* path);
// Moves `from` over `to` in one step, keeping what identifies an existing `to` (see
// ReplaceFilePath), and makes the move itself durable.
bool Replace(const char* from, const char* to);
bool MakeFolder(const char* path);
bool RemoveFolder(const char* path);
// False with *error set for a symbolic link that leads nowhere.
bool Final(const char* path, std::string* out, int* error);
// Creates `path` as a new file open for writing, never through a link and never over an
// existing name; *exists tells a name already taken from every other failure. *anchor
// keeps hold of it where it was made: natively its folder's descriptor, on Windows a
// handle of the file with DELETE access.
Handle CreateAnchored(const char* path, bool* exists, Handle* anchor);
// Removes the anchored file `path` where it was made (by its path where the anchor is
// gone). Also called from a signal or console control handler: async-signal-safe
// natively.
bool RemoveAnchored(Handle anchor, const char* path);
// Replace for an anchored file: first checks that the destination's folder (natively) or
// the path `from` (Windows) still is the anchored one; if not, removes the file through
// the anchor and fails with *error kFileErrorFolderMoved, *left when it may still be
// there. Otherwise *error is the error of a failure. On Windows the anchor is released
// (*anchor kInvalidHandle) before the move, which an open handle of the file would fail.
bool ReplaceAnchored(Handle* anchor, const char* from, const char* to, int* error, bool* left);
void ReleaseAnchor(Handle anchor);
// Natively blocks, and lets through again, every signal that ends a process and can be
// caught (not the faults a sanitizer reports); nothing on Windows.
void HoldSignals();
void ReleaseSignals();
// The names in `folder` ("" the current one), without "." and "..".
bool List(const std::string& folder, std::vector<std::string>* names);
// How long ago the plain file `path` (not a link, not a folder) was last written.
bool SecondsSinceWrite(const char* path, long long* seconds);
// A number that differs between calls and processes, for names.
unsigned long Entropy();

}  // namespace filesystem
}  // namespace velnor
