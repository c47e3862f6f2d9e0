#include "common/Edition.h"

namespace velnor {

const Edition& CurrentEdition() { return kEditionPro; }

}  // namespace velnor
