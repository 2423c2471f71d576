#include "params/cell_snapshot.h"

#include "control/control.h"

namespace params {

CellSnapshot::CellSnapshot(const engine::Control& ctl, int row, int col) : row_(row), col_(col) {
  if (row < 1 || row > ctl.GetMaxRow() || col < 1 || col > ctl.GetMaxCol()) return;
  const engine::CellSlot* slot = ctl.Book().Active().Find(row, col);
  if (!slot) return;
  style_ = slot->style;
  if (!slot->HasContent()) return;
  empty_ = false;
  if (slot->kind == engine::CellKind::Formula)
    formula_ = "=" + ctl.GetCellFormula(row, col);
  else
    value_ = ctl.GetCellValue(row, col);
}

void CellSnapshot::Restore(engine::Control& ctl) const {
  if (row_ < 1 || row_ > ctl.GetMaxRow() || col_ < 1 || col_ > ctl.GetMaxCol()) return;
  try {
    if (empty_)
      ctl.ClearRange(row_, col_, row_, col_, engine::kClearValues);
    else if (!formula_.empty())
      ctl.SetCellText(row_, col_, formula_);
    else
      ctl.SetCellValue(row_, col_, value_);
    engine::Sheet& sheet = ctl.Book().Active();
    const engine::CellSlot* slot = sheet.Find(row_, col_);
    if ((slot ? slot->style : 0) != style_) ctl.Book().SetCellStyle(sheet, row_, col_, style_);
  } catch (const engine::EngineError&) {
  }
}

}  // namespace params
