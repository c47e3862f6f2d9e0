// The one path module of the program: the folder helpers of the compatibility check, the
// conditions dialog and the remembered-destination file, and the folder part that the
// export and the settings file put their temporary files in. Paths are NUL-terminated
// Shift_JIS byte strings; every walk is double-byte aware, so the second byte of a
// character is never taken for a backslash even where it is 0x5C. Path buffers are
// kPathBufferSize bytes.
//
// Separators: a backslash or a slash ends a folder, as for the Windows file system and
// the runtime library's path splitting, which take both (and the native build's paths use
// the slash); a colon counts only as the end of a drive ("C:") at the start of a path.
//
// The folder operations reach the file system through a FolderSystem: the platform's by
// default (Win32 on Windows; none natively), a fake one in tests. Every creation and
// removal also asks the fault seam of common/Faults.h (mkdir, rmdir) first.
#pragma once

#include <cstddef>
#include <string>

namespace velnor {

constexpr size_t kPathBufferSize = 261;  // 260 bytes of path and the terminator

// True when byte `index` of `text` is the first or second byte of a double-byte character.
bool IsDbcsByteAt(const char* text, size_t index);

// Makes `buffer` (of `size` bytes) end in a real backslash. False, unchanged, for no or
// empty text, a size of 0, when there is no room for the backslash, or when the text ends
// in a lead byte without its partner (the backslash would become its second byte).
bool AddLastBackslash(char* buffer, size_t size);

// Reduces the path in `buffer` (of `size` bytes) to its drive and directory, ending in a
// backslash when anything was cut off. False, unchanged, when nothing of drive or
// directory remains (a bare file name) or the result does not fit.
bool NormalizeFolderPath(char* buffer, size_t size = kPathBufferSize);

// The drive ("C:", or empty) and directory (up to and including its last separator) of
// `path`, as the runtime library's path splitting gives them for code page 932.
void SplitDriveAndDirectory(const char* path, size_t* driveLength, size_t* directoryLength);

// Drive and directory of `path` (see SplitDriveAndDirectory): the folder a file of that
// path lives in, with its trailing separator; empty for a bare name.
std::string FolderPartOf(const char* path);

// The last part of `path` names one of Windows' devices (CON, PRN, AUX, NUL, COM0-COM9,
// LPT0-LPT9, CONIN$, CONOUT$) in any case, with or without an extension, followed by
// spaces or dots: Windows opens the device, not a file, whatever folder stands before it.
bool IsDeviceName(const char* path);

// The file-system calls the folder helpers need, with the meaning of the Win32 ones.
class FolderSystem {
  public:
    virtual bool IsDirectory(const char* path) = 0;
    virtual bool CreateFolder(const char* path) = 0;  // one level, default security
    virtual bool RemoveFolder(const char* path) = 0;  // an empty directory only
    // Skip-root: the part of `path` after "C:\" or "\\server\share\"; null when the path
    // has no such root.
    virtual const char* SkipRoot(const char* path) = 0;
    // Strip-to-root: cuts `path` to "C:\" or "\\server\share"; false when it has no root.
    virtual bool StripToRoot(char* path) = 0;

  protected:
    ~FolderSystem() = default;
};

// The platform's folder system: Win32 on Windows; natively one on which every call fails.
FolderSystem& PlatformFolderSystem();
// Tests: the folder system the helpers below use from now on (null: the platform's).
// Returns the previous one.
FolderSystem* SetFolderSystem(FolderSystem* system);

// The normalised `path` (see NormalizeFolderPath) names an existing directory.
bool IsFolder(const char* path);

// Creates every missing level of `folder` from the root down. When a level cannot be
// created, the levels this call created are removed again before it fails.
bool CreateFolderTree(const char* folder);

// Removes the existing folders of `path` below `stopFolder`, deepest first; without a stop
// folder only the deepest existing folder. Only empty directories go.
bool RemoveCreatedFolders(const char* path, const char* stopFolder);

}  // namespace velnor
