// Fill Right and Fill Down: the first column (row) of the selection copied across it. Columns
// that Fill Right fills beyond the last parameter become parameters with generated names.

#include "commands/cell_selection.h"
#include "table/czat_psf1.h"

void CZAT_PSF1::OnEditCopyright() {
  try {
    FullRowSelectionPatch();
    engine::Control& ctl = Ctl();
    const commands::SelectionInfo sel = commands::ReadSelection(ctl);
    if (sel.count < 1) return;
    const long lastParam = GetLastCol();
    long rowFrom = 0, rowTo = -1, nameFrom = 0, nameTo = -1;
    if (sel.c2 > lastParam) {
      nameFrom = lastParam + 1;
      nameTo = sel.c2;
      if (sel.r1 >= 2) {
        rowFrom = nameFrom;
        rowTo = nameTo;
      }
    }
    ctl.FillRight();
    NoFirstRowPatch(rowFrom, rowTo);
    NoColNamePatch(nameFrom, nameTo);
    AutoResize(sel.c1, sel.c2);
  } catch (const engine::EngineError& e) {
    ShowErrMessage(e.Description());
  }
}

void CZAT_PSF1::OnEditCopydown() {
  try {
    FullColumnSelectionPatch();
    Ctl().FillDown();
  } catch (const engine::EngineError& e) {
    ShowErrMessage(e.Description());
  }
}

void CZAT_PSF1::OnUpdateEditCopyright(platform::CommandState& state) {
  const commands::SelectionInfo sel = commands::ReadSelection(Ctl());
  state.Enable(!m_ReadOnly && sel.count == 1 && sel.c1 != sel.c2);
}

void CZAT_PSF1::OnUpdateEditCopydown(platform::CommandState& state) {
  const commands::SelectionInfo sel = commands::ReadSelection(Ctl());
  state.Enable(!m_ReadOnly && sel.count == 1 && sel.r1 != sel.r2);
}
