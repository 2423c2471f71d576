// Formats on the selection: number formats, patterns, borders, font colour, default font.
#include <functional>
#include <unordered_map>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/style_edit.h"

namespace engine {

namespace {

// Applies an edit to one block: whole columns and whole rows keep their format on the column
// or row; cells that carry a style of their own are edited too.
void EditBlock(Workbook& book, Sheet& sheet, const Block& b, const StyleEdit& edit,
               std::unordered_map<std::uint16_t, std::uint16_t>& memo) {
  auto edited = [&](std::uint16_t from) {
    auto it = memo.find(from);
    if (it != memo.end()) return it->second;
    Style style = book.Styles().Get(from);
    edit.apply(style, book.Styles());
    std::uint16_t to = book.Styles().Intern(style);
    memo.emplace(from, to);
    return to;
  };
  bool wholeColumns = b.row1 == 1 && b.row2 == kMaxRow;
  bool wholeRows = b.col1 == 1 && b.col2 == kMaxCol;
  if (wholeColumns) {
    for (int c = b.col1; c <= b.col2; ++c) {
      ColumnAttr& attr = sheet.ColAttr(c);
      attr.style = edited(attr.style);
      sheet.Col(c).ForEachSlot(1, kMaxRow, [&](int, CellSlot& s) {
        if (s.style) s.style = edited(s.style);
      });
    }
    for (int r = 1; r <= sheet.RowAttrCount(); ++r) {
      RowAttr& row = sheet.MutableRowAttr(r);
      if (!row.style) continue;
      // A row format would hide the column's new format in these cells: give them their own.
      for (int c = b.col1; c <= b.col2; ++c) {
        const CellSlot* s = sheet.Find(r, c);
        if (!s || !s->style) sheet.Col(c).At(r).style = edited(row.style);
      }
    }
    return;
  }
  if (wholeRows) {
    for (int r = b.row1; r <= b.row2; ++r) {
      RowAttr& attr = sheet.MutableRowAttr(r);
      attr.style = edited(attr.style);
    }
    for (int c = 1; c <= kMaxCol; ++c) {
      std::uint16_t colStyle = sheet.ColAttr(c).style;
      sheet.Col(c).ForEachSlot(b.row1, b.row2, [&](int, CellSlot& s) {
        if (s.style) s.style = edited(s.style);
      });
      if (colStyle)
        for (int r = b.row1; r <= b.row2; ++r) {
          const CellSlot* s = sheet.Find(r, c);
          if (!s || !s->style) sheet.Col(c).At(r).style = edited(colStyle);
        }
    }
    return;
  }
  for (int c = b.col1; c <= b.col2; ++c)
    for (int r = b.row1; r <= b.row2; ++r) {
      std::uint16_t style = edited(sheet.EffectiveStyle(r, c));
      book.SetCellStyle(sheet, r, c, style);
    }
}

}  // namespace

void Control::ApplyToSelection(const StyleEdit& edit) {
  const std::vector<Block> blocks = ActiveSheet().Sel().blocks;
  ApplyToBlocks(blocks, edit);
}

void Control::ApplyToBlocks(const std::vector<Block>& blocks, const StyleEdit& edit) {
  if (editing_) TerminateCellEdit();
  ModifyScope scope(*this);
  Sheet& sheet = ActiveSheet();
  std::unordered_map<std::uint16_t, std::uint16_t> memo;
  for (const Block& b : blocks) EditBlock(*book_, sheet, b, edit, memo);
  for (const Block& b : blocks)
    for (int c = b.col1; c <= b.col2; ++c) {
      int last = std::min(b.row2, sheet.Col(c).LastUsedRow());
      for (int r = b.row1; r <= last; ++r) NoteWidth(sheet, r, c);
    }
  sheet.Changed();
  scope.Changed();
}

std::string Control::GetNumberFormat() const {
  const Selection& sel = ActiveSheet().Sel();
  const Style& style = book_->Styles().Get(ActiveSheet().EffectiveStyle(sel.activeRow, sel.activeCol));
  return book_->Formats().Code(style.numberFormat);
}

void Control::SetNumberFormat(const std::string& code) {
  if (code.empty()) throw EngineError(kErrBadArgument, "A number format cannot be empty.");
  std::uint16_t fmt = book_->Formats().Intern(code);
  ApplyToSelection({[fmt](Style& s, StyleTable&) { s.numberFormat = fmt; }});
}

void Control::FormatGeneral() { SetNumberFormat("General"); }
void Control::FormatCurrency0() {
  SetNumberFormat(locale_.currencyBefore ? "\"" + locale_.currencySymbol + "\"#,##0_);(\"" +
                                               locale_.currencySymbol + "\"#,##0)"
                                         : "#,##0 \"" + locale_.currencySymbol + "\"");
}
void Control::FormatCurrency2() {
  SetNumberFormat(locale_.currencyBefore ? "\"" + locale_.currencySymbol + "\"#,##0.00_);(\"" +
                                               locale_.currencySymbol + "\"#,##0.00)"
                                         : "#,##0.00 \"" + locale_.currencySymbol + "\"");
}
void Control::FormatFixed() { SetNumberFormat("0.00"); }
void Control::FormatPercent() { SetNumberFormat("0%"); }
void Control::FormatFraction() { SetNumberFormat("# ?/?"); }
void Control::FormatScientific() { SetNumberFormat("0.00E+00"); }
void Control::FormatTime() { SetNumberFormat("h:mm AM/PM"); }

void Control::SetPattern(short pattern, std::uint32_t fore, std::uint32_t back) {
  if (pattern < 0 || pattern > 18)
    throw EngineError(kErrBadArgument, "Invalid pattern " + std::to_string(pattern) + ".");
  ApplyToSelection({[=](Style& s, StyleTable&) {
    s.pattern = static_cast<std::uint8_t>(pattern);
    s.patternFore = fore;
    s.patternBack = back;
  }});
}

void Control::GetPattern(short& pattern, std::uint32_t& fore, std::uint32_t& back) const {
  const Selection& sel = ActiveSheet().Sel();
  const Style& style = book_->Styles().Get(ActiveSheet().EffectiveStyle(sel.activeRow, sel.activeCol));
  pattern = style.pattern;
  fore = style.patternFore;
  back = style.patternBack;
}

void Control::SetBorder(short outline, short left, short right, short top, short bottom,
                        short shade, std::uint32_t outlineColor, std::uint32_t leftColor,
                        std::uint32_t rightColor, std::uint32_t topColor,
                        std::uint32_t bottomColor) {
  (void)shade;
  for (short line : {outline, left, right, top, bottom})
    if (line < -1 || line > 13)
      throw EngineError(kErrBadArgument, "Invalid border style " + std::to_string(line) + ".");
  // -1 leaves a side as it is. The outline draws the outer edges of each block; left, right,
  // top and bottom apply to every cell of the selection.
  auto side = [](Border& b, short line, std::uint32_t color) {
    if (line < 0) return;
    b.line = static_cast<std::uint8_t>(line);
    b.color = color;
  };
  ApplyToSelection({[=](Style& s, StyleTable&) {
    side(s.left, left, leftColor);
    side(s.right, right, rightColor);
    side(s.top, top, topColor);
    side(s.bottom, bottom, bottomColor);
  }});
  if (outline < 0) return;
  ModifyScope scope(*this);
  Sheet& sheet = ActiveSheet();
  auto edge = [&](int r, int c, Border Style::*which) {
    Style st = book_->Styles().Get(sheet.EffectiveStyle(r, c));
    (st.*which).line = static_cast<std::uint8_t>(outline);
    (st.*which).color = outlineColor;
    book_->SetCellStyle(sheet, r, c, book_->Styles().Intern(st));
  };
  for (const Block& b : sheet.Sel().blocks) {
    int lastRow = std::min(b.row2, std::max(b.row1, sheet.LastRow()));
    int lastCol = std::min(b.col2, std::max(b.col1, sheet.LastCol()));
    for (int c = b.col1; c <= lastCol; ++c) {
      edge(b.row1, c, &Style::top);
      if (b.row2 <= lastRow) edge(b.row2, c, &Style::bottom);
    }
    for (int r = b.row1; r <= lastRow; ++r) {
      edge(r, b.col1, &Style::left);
      if (b.col2 <= lastCol) edge(r, b.col2, &Style::right);
    }
  }
  scope.Changed();
}

void Control::SetFontColor(std::uint32_t color) {
  ApplyToSelection({[color](Style& s, StyleTable& table) {
    Font font = table.GetFont(s.font);
    font.color = color;
    s.font = table.InternFont(font);
  }});
}

std::uint32_t Control::GetFontColor() const {
  const Selection& sel = ActiveSheet().Sel();
  const Style& style = book_->Styles().Get(ActiveSheet().EffectiveStyle(sel.activeRow, sel.activeCol));
  return book_->Styles().GetFont(style.font).color;
}

void Control::SetDefaultFont(const std::string& face, short size) {
  if (face.empty() || size < 1 || size > 409)
    throw EngineError(kErrBadArgument, "Invalid default font.");
  ModifyScope scope(*this);
  Font font = book_->Styles().GetFont(0);
  font.name = face;
  font.heightTwips = size * 20;
  book_->Styles().SetDefaultFont(font);
  scope.Changed();
}

void Control::GetDefaultFont(std::string& face, int& heightTwips) const {
  const Font& font = book_->Styles().GetFont(0);
  face = font.name;
  heightTwips = font.heightTwips;
}

}  // namespace engine
