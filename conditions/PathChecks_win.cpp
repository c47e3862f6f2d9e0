#include <io.h>
#include <windows.h>

#include "conditions/PathChecks.h"

namespace velnor {

namespace {

class Win32DriveSystem final : public DriveSystem {
  public:
    unsigned DriveTypeOf(const char* root) override { return GetDriveTypeA(root); }
    bool HasAccess(const char* path, int mode) override { return _access(path, mode) == 0; }
};

}  // namespace

DriveSystem& PlatformDriveSystem() {
    static Win32DriveSystem system;
    return system;
}

}  // namespace velnor
