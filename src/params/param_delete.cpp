// Deleting a parameter (its whole column) or a value row.
#include "table/czat_psf1.h"
#include "table/narrow.h"

int CZAT_PSF1::DelArg(long col) {
  engine::Control& ctl = Ctl();
  // The host is asked before the column number is checked.
  if (m_pNotify) {
    CStringList names;
    names.push_back(ctl.GetColumnHeadingText(table::Narrow(col)));
    if (m_pNotify->OnDeleteArg(names) == CZATNotify::ZAT_NTFY_CANCEL) return -3;
  }
  ctl.TerminateCellEdit();
  if (col < 1 || col > GetLastCol()) return -1;
  int c = static_cast<int>(col);
  ctl.DeleteRange(-1, c, -1, c, engine::kShiftColumns);
  MinimalSpread();
  return 0;
}

int CZAT_PSF1::DelArg(const CString& name) {
  if (name.empty()) return -1;
  long col = GetArgCol(name);
  if (col == -1) return -1;
  return DelArg(col);
}

int CZAT_PSF1::DelRow(long row) {
  engine::Control& ctl = Ctl();
  ctl.TerminateCellEdit();
  long rows = ctl.GetLastRow();
  if (row <= 0 || row > rows) return -1;
  long lastCol = GetLastCol();
  int r = static_cast<int>(row);
  ctl.DeleteRange(r, -1, r, -1, engine::kShiftRows);
  if (row == rows) {
    // Deleting the last row may leave the parameter columns without any cell, and the
    // engine would no longer count them. Row 1 of those columns gets empty texts again; a
    // cell that holds something is never touched.
    auto isBlank = [&](long c) {
      return ctl.GetCellType(1, static_cast<int>(c)) == engine::kTypeEmpty;
    };
    for (long c = 1; c <= lastCol;) {
      if (!isBlank(c)) {
        ++c;
        continue;
      }
      long first = c;
      while (c <= lastCol && isBlank(c)) ++c;
      NoFirstRowPatch(first, c - 1);
    }
  }
  MinimalSpread();
  return 0;
}
