#include "common/PathHelpers.h"

namespace velnor {

namespace {

// Natively there is no drive-letter file system: every folder call fails.
class NoFolderSystem final : public FolderSystem {
  public:
    bool IsDirectory(const char*) override { return false; }
    bool CreateFolder(const char*) override { return false; }
    bool RemoveFolder(const char*) override { return false; }
    const char* SkipRoot(const char*) override { return nullptr; }
    bool StripToRoot(char*) override { return false; }
};

}  // namespace

FolderSystem& PlatformFolderSystem() {
    static NoFolderSystem system;
    return system;
}

}  // namespace velnor
