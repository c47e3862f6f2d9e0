#include "common/Edition.h"

namespace velnor {

const Edition kEditionPro = {"VelnorPro", 3, "VelnorPro.env", "Borlex２０ PRO"};
const Edition kEditionStd = {"VelnorStd", 0, "VelnorStd.env", "Borlex２０"};

const char* const kTitleText = "所得税(減価償却)";

}  // namespace velnor
