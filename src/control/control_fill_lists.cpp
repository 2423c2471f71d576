// Auto-fill lists: series such as day and month names that filling continues.
#include "control/control.h"
#include "control/model/workbook.h"

namespace engine {

namespace {
std::vector<std::string> SplitList(const std::string& list) {
  std::vector<std::string> items;
  std::size_t start = 0;
  while (start <= list.size()) {
    std::size_t end = list.find_first_of(";\n", start);
    if (end == std::string::npos) end = list.size();
    std::string item = list.substr(start, end - start);
    while (!item.empty() && (item.back() == ' ' || item.back() == '\r')) item.pop_back();
    while (!item.empty() && item.front() == ' ') item.erase(0, 1);
    if (!item.empty()) items.push_back(std::move(item));
    start = end + 1;
  }
  return items;
}
}  // namespace

std::string Control::GetAutoFillList(short index) const {
  if (index < 1 || index > GetAutoFillListCount())
    throw EngineError(kErrBadArgument, "Invalid fill list number " + std::to_string(index) + ".");
  std::string out;
  for (const auto& item : fillLists_[index - 1]) {
    if (!out.empty()) out += ';';
    out += item;
  }
  return out;
}

std::vector<std::string> Control::FillListItems(short index) const {
  if (index < 1 || index > GetAutoFillListCount())
    throw EngineError(kErrBadArgument, "Invalid fill list number " + std::to_string(index) + ".");
  return fillLists_[index - 1];
}

void Control::SetAutoFillList(short index, const std::string& list) {
  if (index < 1 || index > GetAutoFillListCount() + 1)
    throw EngineError(kErrBadArgument, "Invalid fill list number " + std::to_string(index) + ".");
  auto items = SplitList(list);
  if (items.size() < 2)
    throw EngineError(kErrBadArgument, "A fill list needs at least two items.");
  if (index == GetAutoFillListCount() + 1)
    fillLists_.push_back(std::move(items));
  else
    fillLists_[index - 1] = std::move(items);
}

void Control::DeleteAutoFillList(short index) {
  if (index < 1 || index > GetAutoFillListCount())
    throw EngineError(kErrBadArgument, "Invalid fill list number " + std::to_string(index) + ".");
  fillLists_.erase(fillLists_.begin() + (index - 1));
}

bool Control::FindInFillList(const std::string& text, int& list, int& position) const {
  auto lower = [](std::string s) {
    for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    return s;
  };
  std::string key = lower(text);
  for (std::size_t l = 0; l < fillLists_.size(); ++l)
    for (std::size_t p = 0; p < fillLists_[l].size(); ++p)
      if (lower(fillLists_[l][p]) == key) {
        list = static_cast<int>(l + 1);
        position = static_cast<int>(p);
        return true;
      }
  return false;
}

}  // namespace engine
