#include "support/Json.h"

#include <nlohmann/json.hpp>

namespace velnor_test {

std::string JsonText(const std::string& text) { return nlohmann::json(text).dump(); }

}  // namespace velnor_test
