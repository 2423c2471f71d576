#pragma once
// What a copy holds: the block's cells with their values, formulas and formats, and the forms
// it takes on the system clipboard — tab-separated text and an HTML table for other programs,
// and the cells in the engine's own serialised form for another table in this process or in
// another one.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "control/model/clipboard_html.h"
#include "control/model/style.h"
#include "control/model/value.h"

namespace engine {

class Control;
class Workbook;
namespace formula {
class Expression;
}

// A format as the cells of a copy use it, independent of any workbook's tables.
struct ClipStyle {
  Style style;  // font and numberFormat are not used: see font and formatCode
  Font font;
  std::string formatCode;
  std::string styleName;  // its named style's, in process only; empty: Normal
};

// A formatting run of a copied text, its font by value (see TextRun).
using ClipRun = clipboard_html::FontRun;

struct ClipCell {
  int r = 0, c = 0;      // offset in the block
  bool content = false;  // false: an empty cell that carries a format only
  bool formula = false;
  Value value;  // the value, or a formula's last result
  // The parsed formula, shared when the paste lands in the workbook it came from.
  std::shared_ptr<const formula::Expression> expr;
  std::string formulaText;  // the formula as it read where it was copied (no "=")
  int style = -1;           // index in ClipData::styles; -1: the default format
  std::vector<ClipRun> runs;  // a text's formatting runs
};

struct ClipData {
  int rows = 0, cols = 0;       // the block's size
  int row1 = 1, col1 = 1;       // where it was copied from
  std::vector<ClipCell> cells;  // row-major; cells that are empty with no format are left out
  std::vector<ClipStyle> styles;
  std::string token;  // tells this copy from every other, across processes

  // In-process only.
  const Workbook* sourceBook = nullptr;
  std::uint32_t sourceSheetId = 0;
  Control* source = nullptr;   // the control copied from, while it lives
  Control* cutFrom = nullptr;  // set by a cut until the paste
  std::string text;            // the forms put on the system clipboard
  std::string html;
  std::string serialised;
};

namespace clip_cells {

// The engine's own form of a copy: UTF-8 text, one record a line.
std::string Encode(const ClipData& clip);
// nullptr when the text is not a well-formed copy (it then counts as plain text).
std::shared_ptr<ClipData> Decode(std::string_view text);
// The token of an encoded copy without decoding the rest; empty when there is none.
std::string_view TokenOf(std::string_view text);
// A token unique to this copy.
std::string NewToken();

}  // namespace clip_cells

}  // namespace engine
