#pragma once
// The styles part of a package (number formats, fonts, fills, borders, cell formats) and the
// theme's colours, turned into the workbook's interned styles.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control/model/workbook.h"

namespace engine::xlsx {

class ZipReader;
class XmlAttrs;

// Reads the theme part (may be empty) and the styles part (may be empty) and interns every
// cell format; returns the engine style of each cell format index.
std::vector<std::uint16_t> ReadStyles(const ZipReader& zip, const std::string& stylesPart,
                                      const std::string& themePart, Workbook& book);

// The colours of the theme part (may be empty) in file order: dk1, lt1, dk2, lt2, accent1 … 6,
// hlink, folHlink.
std::vector<std::uint32_t> ReadThemeColors(const ZipReader& zip, const std::string& themePart);

// How a package gives a font: the children of a styles <font> and of a rich-text run's <rPr>
// (whose font name is <rFont>), with colours by value, by palette index or by theme slot.
class FontProperties {
 public:
  explicit FontProperties(const std::vector<std::uint32_t>& theme) : theme_(theme) {}
  std::uint32_t Color(const XmlAttrs& a) const;
  // Applies one child element to `font`; anything else is left alone.
  void Apply(std::string_view name, const XmlAttrs& a, Font& font) const;

 private:
  const std::vector<std::uint32_t>& theme_;
};

// The apply attributes of a format for the parts given, each with the value given.
std::string ApplyAttrs(std::uint8_t parts, const char* value);
// The cellStyles element: every named style with the index of its format.
std::string CellStylesXml(const StyleTable& styles);

// Colours of a package: "FFRRGGBB" to 0x00BBGGRR.
std::uint32_t ParseArgb(std::string_view argb, std::uint32_t fallback);

// The package names of fill patterns and border lines, by the engine's pattern and line codes.
const char* PatternName(unsigned pattern);
const char* LineName(unsigned line);
// The package's alignment names, by the engine's codes.
const char* HAlignName(HAlign a);
const char* VAlignName(VAlign a);

}  // namespace engine::xlsx
