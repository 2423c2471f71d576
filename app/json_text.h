#pragma once
// Strings as JSON string literals (UTF-8 kept as it is).

#include <ostream>
#include <string>

namespace dtapp {

void WriteJsonString(std::ostream& out, const std::string& text);

}  // namespace dtapp
