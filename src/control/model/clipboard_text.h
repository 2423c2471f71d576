#pragma once
// Blocks of cells as tab-separated text, the form other programs put on the clipboard: fields
// separated by tabs, rows by line breaks; a field holding a tab, quote or line break is quoted
// with inner quotes doubled.

#include <string>
#include <string_view>
#include <vector>

namespace engine::clipboard_text {

std::string Join(const std::vector<std::vector<std::string>>& rows);
std::vector<std::vector<std::string>> Split(std::string_view text);

}  // namespace engine::clipboard_text
