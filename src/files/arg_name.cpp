// The name of a parameter column as a host sees it, telling unnamed columns apart.

#include "params/sheet_scope.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::GetArgName(long col, CString& name, long sheet) {
  name.clear();
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  if (col < 1 || col > GetLastCol()) return -1;
  if (!IsABColName(col)) name = GetColText(col);
  return 0;
}
