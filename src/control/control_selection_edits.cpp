// Edit commands on the selection: clear, insert, delete, fill right and fill down.
#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

namespace {
const Block& SingleBlock(const Sheet& sheet) {
  if (sheet.Sel().blocks.size() != 1)
    throw EngineError(kErrBadArgument, "That command cannot be used on multiple selections.");
  return sheet.Sel().blocks.front();
}
}  // namespace

void Control::ClearSelection(int clearType) {
  if (editing_) CancelCellEdit();
  ModifyScope scope(*this);
  std::vector<Block> blocks = ActiveSheet().Sel().blocks;
  for (const Block& b : blocks) ClearRange(b.row1, b.col1, b.row2, b.col2, clearType);
}

void Control::InsertAtSelection(int shift) {
  Block b = SingleBlock(ActiveSheet());
  InsertRange(b.row1, b.col1, b.row2, b.col2, shift);
}

void Control::DeleteAtSelection(int shift) {
  Block b = SingleBlock(ActiveSheet());
  DeleteRange(b.row1, b.col1, b.row2, b.col2, shift);
}

namespace {
// Copies one cell's content and style to another cell of the same sheet; a formula keeps its
// relative references relative, so it reads the same way from its new place.
void CopyCell(Workbook& book, Sheet& sheet, int fromRow, int fromCol, int toRow, int toCol) {
  const CellSlot* s = sheet.Find(fromRow, fromCol);
  std::uint16_t style = sheet.EffectiveStyle(fromRow, fromCol);
  if (!s || !s->HasContent()) {
    book.ClearCell(sheet, toRow, toCol);
  } else if (s->kind == CellKind::Formula) {
    auto f = std::make_unique<FormulaCell>();
    f->expr = sheet.Formula(*s).expr;
    f->text = sheet.Formula(*s).text;
    f->result = sheet.Formula(*s).result;
    book.SetFormula(sheet, toRow, toCol, std::move(f));
  } else {
    book.SetValue(sheet, toRow, toCol, book.GetValue(sheet, fromRow, fromCol));
    // The source's slot may have moved when the target's block was made: look again.
    const CellSlot* from = sheet.Find(fromRow, fromCol);
    if (const TextRuns* runs = from ? sheet.Runs(*from) : nullptr)
      sheet.SetRuns(sheet.Col(toCol).At(toRow), TextRuns(*runs));
  }
  book.SetCellStyle(sheet, toRow, toCol, style);
}
}  // namespace

void Control::FillRight() {
  if (editing_) TerminateCellEdit();
  ModifyScope scope(*this);
  Sheet& sheet = ActiveSheet();
  for (const Block& b : sheet.Sel().blocks) {
    int lastRow = std::min(b.row2, std::max(b.row1, sheet.LastRow()));
    for (int r = b.row1; r <= lastRow; ++r)
      for (int c = b.col1 + 1; c <= b.col2; ++c) {
        CopyCell(*book_, sheet, r, b.col1, r, c);
        NoteWidth(sheet, r, c);
      }
  }
  scope.Changed();
}

void Control::FillDown() {
  if (editing_) TerminateCellEdit();
  ModifyScope scope(*this);
  Sheet& sheet = ActiveSheet();
  for (const Block& b : sheet.Sel().blocks) {
    int lastCol = std::min(b.col2, std::max(b.col1, sheet.LastCol()));
    for (int c = b.col1; c <= lastCol; ++c)
      for (int r = b.row1 + 1; r <= b.row2; ++r) {
        CopyCell(*book_, sheet, b.row1, c, r, c);
        NoteWidth(sheet, r, c);
      }
  }
  scope.Changed();
}

}  // namespace engine
