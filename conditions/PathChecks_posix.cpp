#include "conditions/PathChecks.h"

namespace velnor {

namespace {

// Natively there are no drive letters: every drive is missing.
class NoDriveSystem final : public DriveSystem {
  public:
    unsigned DriveTypeOf(const char*) override { return kDriveNoRootDir; }
    bool HasAccess(const char*, int) override { return false; }
};

}  // namespace

DriveSystem& PlatformDriveSystem() {
    static NoDriveSystem system;
    return system;
}

}  // namespace velnor
