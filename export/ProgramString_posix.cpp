#include <cstring>

#include "common/Sjis.h"
#include "export/ProgramString.h"
#include "res/Version.h"

namespace velnor {

size_t LoadProgramString(unsigned id, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return 0;
    const char* text = id == kStringConnectedProgramVersion ? VELNOR_VERSION_TEXT : "";
    return CopyField(buffer, size, text, std::strlen(text));
}

}  // namespace velnor
