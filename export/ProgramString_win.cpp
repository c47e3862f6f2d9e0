#include <windows.h>

#include "common/Sjis.h"
#include "export/ProgramString.h"

namespace velnor {

size_t LoadProgramString(unsigned id, char* buffer, size_t size) {
    if (buffer == nullptr || size == 0) return 0;
    buffer[0] = '\0';
    // LoadStringA cuts without regard to double-byte characters, so load into a larger
    // area and cut here.
    char text[1024];
    const int n = LoadStringA(GetModuleHandleA(nullptr), id, text, sizeof text);
    if (n <= 0) return 0;
    return CopyField(buffer, size, text, static_cast<size_t>(n));
}

}  // namespace velnor
