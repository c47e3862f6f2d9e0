#include "common/Faults.h"

namespace velnor {

// The shipped programs' file seam: no call is ever made to fail.
bool ShouldFailFileOp(FileOp, const char*) { return false; }

}  // namespace velnor
