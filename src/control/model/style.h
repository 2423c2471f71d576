#pragma once
// Cell styles, interned in a workbook table as the file format's XF records are. A cell, a
// row and a column carry a 16-bit style index; index 0 is the default style.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace engine {

inline constexpr std::uint32_t kAutoColor = 0xFFFFFFFFu;  // "automatic" (no explicit colour)

struct Font {
  std::string name = "Arial";
  int heightTwips = 200;  // 10 pt
  bool bold = false;
  bool italic = false;
  bool underline = false;
  bool strikeout = false;
  std::uint32_t color = kAutoColor;  // 0x00BBGGRR

  bool operator==(const Font&) const = default;
};

enum class HAlign : std::uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcross };
enum class VAlign : std::uint8_t { Top, Center, Bottom, Justify };

struct Border {
  std::uint8_t line = 0;  // 0 none, 1 thin, 2 medium, … as the file format numbers them
  std::uint32_t color = kAutoColor;
  bool operator==(const Border&) const = default;
};

struct Style {
  std::uint16_t numberFormat = 0;  // index in the workbook's FormatTable (0 = General)
  std::uint16_t font = 0;          // index in the workbook's font list
  std::uint8_t pattern = 0;        // 0 none, 1 solid, 2… hatches
  std::uint32_t patternFore = kAutoColor;
  std::uint32_t patternBack = kAutoColor;
  Border left, right, top, bottom;
  HAlign hAlign = HAlign::General;
  VAlign vAlign = VAlign::Bottom;
  bool wrap = false;
  bool locked = true;
  bool hidden = false;

  bool operator==(const Style&) const = default;
};

// Interns styles and fonts. Index 0 of each is the default and never changes.
class StyleTable {
 public:
  StyleTable();

  std::uint16_t Intern(const Style& style);
  std::uint16_t InternFont(const Font& font);
  const Style& Get(std::uint16_t index) const { return styles_[index < styles_.size() ? index : 0]; }
  const Font& GetFont(std::uint16_t index) const {
    return fonts_[index < fonts_.size() ? index : 0];
  }
  std::size_t Count() const { return styles_.size(); }
  std::size_t FontCount() const { return fonts_.size(); }

  // The default font (SetDefaultFont) is font 0.
  void SetDefaultFont(const Font& font) { fonts_[0] = font; }

 private:
  static std::size_t HashStyle(const Style& s);
  std::vector<Style> styles_;
  std::unordered_multimap<std::size_t, std::uint16_t> styleIndex_;
  std::vector<Font> fonts_;
};

}  // namespace engine
