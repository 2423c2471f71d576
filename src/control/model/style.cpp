#include "control/model/style.h"

#include "control/engine_error.h"

namespace engine {

StyleTable::StyleTable() {
  styles_.emplace_back();
  styleIndex_.emplace(HashStyle(styles_[0]), 0);
  fonts_.emplace_back();
  named_.emplace_back();
  named_[0].builtinId = 0;  // Normal
}

std::size_t StyleTable::HashStyle(const Style& s) {
  std::size_t h = s.numberFormat;
  auto mix = [&h](std::uint64_t v) { h ^= v + 0x9e3779b97f4a7c15ULL + (h << 6) + (h >> 2); };
  mix(s.font);
  mix(s.pattern);
  mix(s.patternFore);
  mix(s.patternBack);
  for (const Border* b : {&s.left, &s.right, &s.top, &s.bottom}) mix((std::uint64_t(b->line) << 32) | b->color);
  mix((unsigned(s.hAlign) << 8) | (unsigned(s.vAlign) << 4) | (s.wrap << 2) | (s.locked << 1) | s.hidden);
  mix(s.parent);
  return h;
}

std::uint16_t StyleTable::Intern(const Style& style) {
  std::size_t h = HashStyle(style);
  auto [it, end] = styleIndex_.equal_range(h);
  for (; it != end; ++it)
    if (styles_[it->second] == style) return it->second;
  if (styles_.size() >= 0xFFFF) throw EngineError(kErrBadArgument, "Too many different cell formats.");
  auto index = static_cast<std::uint16_t>(styles_.size());
  styles_.push_back(style);
  styleIndex_.emplace(h, index);
  return index;
}

std::uint16_t StyleTable::InternFont(const Font& font) {
  for (std::size_t i = 0; i < fonts_.size(); ++i)
    if (fonts_[i] == font) return static_cast<std::uint16_t>(i);
  if (fonts_.size() >= 0x7FFF) throw EngineError(kErrBadArgument, "Too many different fonts.");
  fonts_.push_back(font);
  return static_cast<std::uint16_t>(fonts_.size() - 1);
}

}  // namespace engine
