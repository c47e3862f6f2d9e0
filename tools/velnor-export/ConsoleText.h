// The program's Shift_JIS texts as the terminal wants them: UTF-8 natively, unchanged on
// Windows, where the console uses code page 932.
#pragma once

#include <string>

namespace velnor {

std::string ConsoleText(const char* sjis);

}  // namespace velnor
