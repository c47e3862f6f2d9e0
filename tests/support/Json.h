// Host data files for the stand-in host, built through nlohmann-json, so that every text
// (quotes, backslashes, control characters) is escaped as JSON wants.
#pragma once

#include <string>

namespace velnor_test {

// `text` (UTF-8) as a JSON string, quotes included.
std::string JsonText(const std::string& text);

}  // namespace velnor_test
