// Small repairs the edit commands apply around their work: selections of entire rows or
// columns shrink to the table's used extent, row 1 is blanked, and columns an edit filled get a
// parameter name.
#include <algorithm>

#include "table/czat_psf1.h"

void CZAT_PSF1::FullRowSelectionPatch() {
  engine::Control& ctl = Ctl();
  if (ctl.GetSelectionCount() < 1) return;
  int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
  ctl.GetSelection(0, r1, c1, r2, c2);
  if (c1 != 1 || c2 != ctl.GetMaxCol()) return;
  const long lastCol = GetLastCol();
  ctl.SetSelection(r1, 1, r2, lastCol >= 1 ? static_cast<int>(lastCol) : 1);
}

void CZAT_PSF1::FullColumnSelectionPatch() {
  engine::Control& ctl = Ctl();
  if (ctl.GetSelectionCount() < 1) return;
  int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
  ctl.GetSelection(0, r1, c1, r2, c2);
  if (r1 != 1 || r2 != ctl.GetMaxRow()) return;
  const int lastRow = ctl.GetLastRow();
  ctl.SetSelection(1, c1, lastRow >= 1 ? lastRow : 1, c2);
}

void CZAT_PSF1::NoFirstRowPatch(long firstCol, long lastCol) {
  engine::Control& ctl = Ctl();
  // Only columns the workbook has: a span reaching past them is cut, not refused.
  const long from = std::max(firstCol, 1L);
  const long to = std::min(lastCol, static_cast<long>(ctl.GetMaxCol()));
  for (long k = from; k <= to; ++k) ctl.SetCellText(1, static_cast<int>(k), CString());
}

void CZAT_PSF1::NoColNamePatch(long firstCol, long lastCol) {
  if (lastCol < firstCol) return;
  engine::Control& ctl = Ctl();
  const long from = std::max(firstCol, 1L);
  const long to = std::min(lastCol, static_cast<long>(ctl.GetMaxCol()));
  // Program-change mode is switched off again even when the engine refuses a step.
  struct ProgramChange {
    engine::Control& ctl;
    explicit ProgramChange(engine::Control& c) : ctl(c) { ctl.SetProgramChangeMode(true); }
    ~ProgramChange() { ctl.SetProgramChangeMode(false); }
  } mode(ctl);
  for (long k = from; k <= to; ++k) {
    if (!IsABColName(k)) continue;
    CString name;
    if (!GetNonameName(name)) continue;
    SetColText(k, name);
    AutoResize(k, -1);
  }
}
