#include "params/fill_list.h"

namespace params {

std::vector<std::string> SplitFillList(std::string_view list) {
  // ";" never occurs inside a UTF-8 sequence, so splitting on the byte splits on characters.
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find(';', start);
    if (end == std::string_view::npos) end = list.size();
    if (end > start) items.emplace_back(list.substr(start, end - start));
    start = end + 1;
  }
  return items;
}

}  // namespace params
