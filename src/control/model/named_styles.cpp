// The workbook's named cell styles: their names, lookup by name, adding and renaming.
#include <algorithm>
#include <array>
#include <cctype>

#include "control/engine_error.h"
#include "control/model/style.h"

namespace engine {

namespace {

// The built-in styles' names by number; RowLevel_ and ColLevel_ take the level after them.
constexpr std::array<const char*, 54> kBuiltinNames = {
    "Normal",        "RowLevel_",     "ColLevel_",     "Comma",           "Currency",
    "Percent",       "Comma [0]",     "Currency [0]",  "Hyperlink",       "Followed Hyperlink",
    "Note",          "Warning Text",  "Emphasis 1",    "Emphasis 2",      "Emphasis 3",
    "Title",         "Heading 1",     "Heading 2",     "Heading 3",       "Heading 4",
    "Input",         "Output",        "Calculation",   "Check Cell",      "Linked Cell",
    "Total",         "Good",          "Bad",           "Neutral",         "Accent1",
    "20% - Accent1", "40% - Accent1", "60% - Accent1", "Accent2",         "20% - Accent2",
    "40% - Accent2", "60% - Accent2", "Accent3",       "20% - Accent3",   "40% - Accent3",
    "60% - Accent3", "Accent4",       "20% - Accent4", "40% - Accent4",   "60% - Accent4",
    "Accent5",       "20% - Accent5", "40% - Accent5", "60% - Accent5",   "Accent6",
    "20% - Accent6", "40% - Accent6", "60% - Accent6", "Explanatory Text"};

bool SameNoCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

// Calls f(part, field of a, field of b) for each field of a format, with the part it is in.
template <class S, class F>
void EachPartField(S& a, const Style& b, F f) {
  f(kPartNumber, a.numberFormat, b.numberFormat);
  f(kPartFont, a.font, b.font);
  f(kPartAlign, a.hAlign, b.hAlign);
  f(kPartAlign, a.vAlign, b.vAlign);
  f(kPartAlign, a.wrap, b.wrap);
  f(kPartBorder, a.left, b.left);
  f(kPartBorder, a.right, b.right);
  f(kPartBorder, a.top, b.top);
  f(kPartBorder, a.bottom, b.bottom);
  f(kPartFill, a.pattern, b.pattern);
  f(kPartFill, a.patternFore, b.patternFore);
  f(kPartFill, a.patternBack, b.patternBack);
  f(kPartProtect, a.locked, b.locked);
  f(kPartProtect, a.hidden, b.hidden);
}

bool SameStyle(const NamedStyle& a, const NamedStyle& b) {
  if (a.builtinId != b.builtinId) return false;
  if (a.builtinId == NamedStyle::kUser) return SameNoCase(a.name, b.name);
  return (a.builtinId != 1 && a.builtinId != 2) || a.level == b.level;
}

}  // namespace

void CopyParts(Style& to, const Style& from, std::uint8_t parts) {
  EachPartField(to, from, [parts](StylePart part, auto& x, const auto& y) {
    if (parts & part) x = y;
  });
}

std::uint8_t DifferingParts(const Style& a, const Style& b) {
  std::uint8_t parts = 0;
  EachPartField(a, b, [&parts](StylePart part, const auto& x, const auto& y) {
    if (!(x == y)) parts |= part;
  });
  return parts;
}

std::uint8_t OwnParts(const Style& cell, const StyleTable& styles) {
  const NamedStyle& style = styles.GetNamed(cell.parent);
  Style look = styles.GetNamed(0).format;
  CopyParts(look, style.format, style.parts);
  return DifferingParts(cell, look);
}

std::string NamedStyleName(const NamedStyle& style) {
  if (style.builtinId == NamedStyle::kUser) return style.name;
  if (style.builtinId == 1 || style.builtinId == 2)
    return kBuiltinNames[static_cast<std::size_t>(style.builtinId)] +
           std::to_string(style.level + 1);
  if (style.builtinId >= 0 && style.builtinId < static_cast<int>(kBuiltinNames.size()))
    return kBuiltinNames[static_cast<std::size_t>(style.builtinId)];
  return "Style " + std::to_string(style.builtinId);
}

int BuiltinStyleId(std::string_view name, int& level) {
  level = 0;
  for (int id : {1, 2}) {
    std::string_view prefix = kBuiltinNames[static_cast<std::size_t>(id)];
    if (name.size() == prefix.size() + 1 && SameNoCase(name.substr(0, prefix.size()), prefix) &&
        name.back() >= '1' && name.back() <= '7') {
      level = name.back() - '1';
      return id;
    }
  }
  for (std::size_t id = 0; id < kBuiltinNames.size(); ++id)
    if (id != 1 && id != 2 && SameNoCase(name, kBuiltinNames[id])) return static_cast<int>(id);
  return -1;
}

std::uint16_t StyleTable::AddNamed(const NamedStyle& style) {
  for (std::size_t i = 0; i < named_.size(); ++i)
    if (SameStyle(named_[i], style)) {
      if (i == 0) named_[0] = style;
      return static_cast<std::uint16_t>(i);
    }
  if (named_.size() >= 0xFFFF) throw EngineError(kErrBadArgument, "Too many cell styles.");
  named_.push_back(style);
  named_.back().format.parent = 0;
  return static_cast<std::uint16_t>(named_.size() - 1);
}

int StyleTable::FindNamed(std::string_view name) const {
  for (std::size_t i = 0; i < named_.size(); ++i)
    if (SameNoCase(NamedStyleName(named_[i]), name)) return static_cast<int>(i);
  return -1;
}

void StyleTable::RenameNamed(std::uint16_t index, const std::string& name) {
  if (index >= named_.size() || named_[index].builtinId != NamedStyle::kUser)
    throw EngineError(kErrBadArgument, "Only a style the user named can be renamed.");
  if (name.empty() || name.size() > 255)
    throw EngineError(kErrBadArgument, "A style's name must have 1 to 255 characters.");
  int other = FindNamed(name);
  if (other >= 0 && other != index)
    throw EngineError(kErrBadArgument, "There is already a style named '" + name + "'.");
  named_[index].name = name;
}

}  // namespace engine
