// The program's own string table. On Windows it is the string resource of the running
// executable; elsewhere a built-in copy of the strings the export uses.
#pragma once

#include <cstddef>

namespace velnor {

// The version of the link that the export names in CONNECTEDPROGRAMVER.
constexpr unsigned kStringConnectedProgramVersion = 1;

// Copies string `id` into `buffer` (of `size` bytes, always terminated, cut at a
// character boundary) and returns its length; an empty text and 0 when there is none.
size_t LoadProgramString(unsigned id, char* buffer, size_t size);

}  // namespace velnor
