#include "control/xlsx/xlsx_header_footer.h"

namespace engine::xlsx {

std::string OrderedSections(std::string_view text) {
  std::string sections[3];  // left, centre, right
  int current = 1;
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c != '&' || i + 1 >= text.size()) {
      sections[current] += c;
      continue;
    }
    char code = text[i + 1];
    int section = code == 'L' ? 0 : code == 'C' ? 1 : code == 'R' ? 2 : -1;
    if (section >= 0) {
      current = section;
      ++i;
      continue;
    }
    // A font name in quotes may hold anything, an ampersand too: it is copied whole.
    std::size_t end = i + 2;
    if (code == '"') {
      std::size_t close = text.find('"', i + 2);
      end = close == std::string_view::npos ? text.size() : close + 1;
    }
    sections[current] += text.substr(i, end - i);
    i = end - 1;
  }
  std::string out;
  static constexpr const char* kCodes[3] = {"&L", "&C", "&R"};
  for (int s = 0; s < 3; ++s)
    if (!sections[s].empty()) out += kCodes[s] + sections[s];
  return out;
}

}  // namespace engine::xlsx
