#include "common/Edition.h"

namespace velnor {

const Edition& CurrentEdition() { return kEditionStd; }

}  // namespace velnor
