#pragma once
// Reading rich strings of a package: the runs of a shared string (<si>) or an inline string
// (<is>), <r><rPr>…</rPr><t>…</t></r>, into the engine's fonts and runs. (The writer writes
// them back as rich shared strings.)

#include <cstdint>
#include <string_view>
#include <vector>

#include "control/model/sheet.h"
#include "control/model/style.h"
#include "control/xlsx/xlsx_styles.h"

namespace engine::xlsx {

class XmlAttrs;

// A run without properties of its own shows the cell's font: it stands for it until the cell
// that uses the string is known.
inline constexpr std::uint16_t kCellFont = 0xFFFF;

// Collects the runs of one string item while its elements arrive. The caller says how many
// bytes of the item's raw text (escapes not yet decoded) it had when each element started.
class RichTextReader {
 public:
  RichTextReader(StyleTable& styles, const FontProperties& props) : styles_(styles), props_(props) {}
  void Begin();  // a new item
  // <r>, <rPr> and the properties inside it; anything else is not the reader's.
  void Start(std::string_view name, const XmlAttrs& a, std::size_t rawSize);
  void End(std::string_view name);
  bool InProperties() const { return inProps_; }
  // The runs of the finished item in UTF-16 code units of its decoded text (fonts interned;
  // kCellFont where a run has no properties), or none when nothing in it is formatted.
  TextRuns Finish(std::string_view raw);

 private:
  struct Raw {
    std::size_t start;  // byte in the raw text
    bool props;
    Font font;
  };
  StyleTable& styles_;
  const FontProperties& props_;
  std::vector<Raw> runs_;
  bool inRun_ = false, inProps_ = false;
};

// Gives a text cell the runs of its string, a run without properties taking the cell's font.
void PlaceRuns(Sheet& sheet, int row, int col, const TextRuns& runs, const StyleTable& styles);

}  // namespace engine::xlsx
