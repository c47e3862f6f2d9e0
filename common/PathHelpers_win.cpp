#include <shlwapi.h>
#include <windows.h>

#include "common/PathHelpers.h"

namespace velnor {

namespace {

class Win32FolderSystem final : public FolderSystem {
  public:
    bool IsDirectory(const char* path) override { return PathIsDirectoryA(path) != FALSE; }
    bool CreateFolder(const char* path) override { return CreateDirectoryA(path, nullptr) != 0; }
    bool RemoveFolder(const char* path) override { return RemoveDirectoryA(path) != 0; }
    const char* SkipRoot(const char* path) override { return PathSkipRootA(path); }
    bool StripToRoot(char* path) override { return PathStripToRootA(path) != FALSE; }
};

}  // namespace

FolderSystem& PlatformFolderSystem() {
    static Win32FolderSystem system;
    return system;
}

}  // namespace velnor
