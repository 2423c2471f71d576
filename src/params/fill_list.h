#pragma once
// The items of an auto-fill list as the engine gives it: items separated by ";". Empty items
// are skipped; items are not trimmed.

#include <string>
#include <string_view>
#include <vector>

namespace params {

std::vector<std::string> SplitFillList(std::string_view list);

}  // namespace params
