// The table's extent as the host asks for it, and selecting a parameter's column.
#include "params/sheet_scope.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::GetMaxRows(long& rows, long sheet) {
  rows = 0;
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  rows = GetLastRow();
  return 0;
}

int CZAT_PSF1::GetMaxCols(long& cols, long sheet) {
  cols = 0;
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  cols = GetLastCol();
  return 0;
}

int CZAT_PSF1::GetMaxArgs(long& args) {
  args = GetLastCol();
  return 0;
}

int CZAT_PSF1::IsEmpty() { return GetLastRow() <= 0 ? 1 : 0; }

int CZAT_PSF1::SelectArg(const CString& name, long sheet) {
  if (name.empty()) return -1;
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  // The requested sheet stays active, found or not.
  long col = GetArgCol(name);
  if (col == -1) return -1;
  engine::Control& ctl = Ctl();
  int c = static_cast<int>(col);
  ctl.SetSelection(-1, c, -1, c);
  ctl.SetActiveCell(1, c);
  ctl.ShowActiveCell();
  if (m_ControlWnd) m_ControlWnd->Refresh();
  return 0;
}
