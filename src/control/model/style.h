#pragma once
// Cell styles, interned in a workbook table as the file format's XF records are. A cell, a
// row and a column carry a 16-bit style index; index 0 is the default style.

#include <cstdint>
#include <string>
#include <string_view>
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
  // The named style the format derives from (StyleTable::NamedStyles; 0 is Normal). Part of
  // the interned identity: cells of one format but different styles keep different indexes.
  std::uint16_t parent = 0;

  bool operator==(const Style&) const = default;
};

// Which parts of a format a named style sets, numbered as the file format's XF records number
// them; applying the style changes only these parts of a cell's format.
enum StylePart : std::uint8_t {
  kPartNumber = 0x01,
  kPartFont = 0x02,
  kPartAlign = 0x04,
  kPartBorder = 0x08,
  kPartFill = 0x10,
  kPartProtect = 0x20,
  kAllParts = 0x3F,
};

// A named cell style of the workbook: a built-in one (by its number and, for the outline
// styles, level) or one the user named, with the format it gives.
struct NamedStyle {
  static constexpr int kUser = -1;
  int builtinId = kUser;  // 0 Normal, 1 RowLevel_n, 2 ColLevel_n, 3 Comma, …
  int level = 0;          // the outline level (0-6) of RowLevel_n and ColLevel_n
  std::string name;       // a user style's name (a built-in one's name is its number's)
  Style format;           // format.parent is not used
  std::uint8_t parts = kAllParts;
  bool hidden = false;         // not offered in the style list of a program
  bool customBuiltin = false;  // a built-in style whose format the user changed

  bool operator==(const NamedStyle&) const = default;
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

  // The named styles; entry 0 is always Normal.
  const std::vector<NamedStyle>& NamedStyles() const { return named_; }
  const NamedStyle& GetNamed(std::uint16_t index) const {
    return named_[index < named_.size() ? index : 0];
  }
  // Adds a style, or gives the one of the same name (built-in number and level) back; a
  // Normal given replaces entry 0's format.
  std::uint16_t AddNamed(const NamedStyle& style);
  // The style of this name (as NamedStyleName gives it, any case); -1 when none.
  int FindNamed(std::string_view name) const;
  // Renames a user style; throws for a built-in style, an empty name or one in use.
  void RenameNamed(std::uint16_t index, const std::string& name);

 private:
  static std::size_t HashStyle(const Style& s);
  std::vector<Style> styles_;
  std::unordered_multimap<std::size_t, std::uint16_t> styleIndex_;
  std::vector<Font> fonts_;
  std::vector<NamedStyle> named_;
};

// Copies the parts given of one format over another's.
void CopyParts(Style& to, const Style& from, std::uint8_t parts);
// The parts in which two formats differ.
std::uint8_t DifferingParts(const Style& a, const Style& b);
// The parts a cell format sets apart from its named style: those whose value is not the
// style's (a part the style leaves out is Normal's). The files mark the others as taken from
// the style, so that a later change of the style reaches the cell.
std::uint8_t OwnParts(const Style& cell, const StyleTable& styles);

// The name a named style shows: a user style's own, a built-in style's English name
// ("Normal", "RowLevel_1", "Heading 1", …; "Style n" for a number without one).
std::string NamedStyleName(const NamedStyle& style);
// The built-in number of an English built-in name (RowLevel_n, ColLevel_n give their level
// too); -1 when the name is no built-in one's.
int BuiltinStyleId(std::string_view name, int& level);

}  // namespace engine
