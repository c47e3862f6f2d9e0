#include <cstdio>

#include "common/PlatformUi.h"

namespace velnor {

// Without a window system the message goes to standard error; a question is answered
// with its safe choice, No.
int PlatformMessageBox(WindowHandle, const char* text, const char* caption, unsigned type) {
    std::fprintf(stderr, "%s: %s\n", caption ? caption : "", text ? text : "");
    return (type & 0xF) == kMbYesNo ? kIdNo : kIdOk;
}

}  // namespace velnor
