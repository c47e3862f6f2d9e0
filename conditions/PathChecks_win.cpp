#include <io.h>
#include <windows.h>

#include "conditions/PathChecks.h"

namespace velnor {

static_assert(kDriveUnknown == DRIVE_UNKNOWN && kDriveNoRootDir == DRIVE_NO_ROOT_DIR &&
                  kDriveRemovable == DRIVE_REMOVABLE && kDriveFixed == DRIVE_FIXED &&
                  kDriveRemote == DRIVE_REMOTE && kDriveCdRom == DRIVE_CDROM &&
                  kDriveRamDisk == DRIVE_RAMDISK,
              "drive types as GetDriveTypeA answers them");

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
