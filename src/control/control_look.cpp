// How a cell looks: one read of everything a view draws a cell with.
#include "control/control.h"
#include "control/format/number_format.h"
#include "control/model/workbook.h"
#include "control/xls/biff_palette.h"

namespace engine {

namespace {
const xls::Palette& DefaultPalette() {
  static const xls::Palette palette;
  return palette;
}
}  // namespace

void Control::GetCellLook(int row, int col, CellLook& look) const {
  CheckCell(row, col);
  const Sheet& sheet = ActiveSheet();
  const Style& style = book_->Styles().Get(sheet.EffectiveStyle(row, col));
  const Font& font = book_->Styles().GetFont(style.font);
  look.fontIndex = style.font;
  if (look.fontName != font.name) look.fontName = font.name;
  look.fontHeightTwips = font.heightTwips;
  look.bold = font.bold;
  look.italic = font.italic;
  look.underline = font.underline;
  look.strikeout = font.strikeout;
  look.fontColor = font.color;
  look.pattern = style.pattern;
  look.patternFore = style.patternFore;
  look.patternBack = style.patternBack;
  const auto edge = [](const Border& b) { return CellLook::Edge{b.line, b.color}; };
  look.left = edge(style.left);
  look.right = edge(style.right);
  look.top = edge(style.top);
  look.bottom = edge(style.bottom);
  look.hAlign = static_cast<CellLook::HAlign>(style.hAlign);
  look.vAlign = static_cast<CellLook::VAlign>(style.vAlign);
  look.formatColor = kAutoColor;
  look.text.clear();
  look.type = kTypeEmpty;
  const CellSlot* slot = sheet.Find(row, col);
  if (slot == nullptr || !slot->HasContent()) return;
  look.text = book_->DisplayText(sheet, row, col);
  look.type = GetCellType(row, col);
  // Only a format with a "[…]" section can colour its value.
  const format::NumberFormat& fmt = book_->CellFormat(sheet, row, col);
  if (format::FormatCode(fmt).find('[') != std::string::npos) {
    const int color = format::SectionColor(fmt, book_->GetValue(sheet, row, col));
    if (color > 0) look.formatColor = DefaultPalette().Color(static_cast<unsigned>(color) + 7);
  }
}

}  // namespace engine
