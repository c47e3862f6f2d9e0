// How a run ended, as posted to the host window with the completion message.
#pragma once

#include <cstdint>

namespace velnor {

enum ResultCode : int32_t {
    kResultCompleted = 0,
    kResultCancelled = 1,
    kResultFailed = 2,
};

}  // namespace velnor
