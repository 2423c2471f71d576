// Parameter names as column headings: the name of a column, naming a column, the last
// parameter column and value row, and finding a parameter's column by name.
#include <algorithm>

#include "params/arg_col_index.h"
#include "params/column_letters.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

namespace {

// The heading of a column of the active sheet, without a copy; empty outside the sheet.
const std::string& HeadingOf(const engine::Control& ctl, long col) {
  return ctl.GetColumnHeading(table::Narrow(col));
}

}  // namespace

int CZAT_PSF1::GetABColName(long col, CString& out) {
  out = params::ColumnLetters(col);
  return 0;
}

bool CZAT_PSF1::IsABColName(long col) { return HeadingOf(Ctl(), col).empty(); }

CString CZAT_PSF1::GetColText(long col) {
  if (col > GetLastCol()) return CString();
  const std::string& heading = HeadingOf(Ctl(), col);
  if (heading.empty()) return params::ColumnLetters(col);
  return heading;
}

void CZAT_PSF1::SetColText(long col, const CString& name) {
  // A name the engine refuses as a defined name still becomes the heading: each step that
  // succeeded stays done.
  try {
    engine::Control& ctl = Ctl();
    ctl.SetColumnHeadingText(static_cast<int>(col), name);
    std::string top = ctl.FormatCellRef(1, static_cast<int>(col), true);
    std::string bottom = ctl.FormatCellRef(ctl.GetMaxRow() - 10, static_cast<int>(col), true);
    ctl.SetDefinedName(name, top + ":" + bottom);
  } catch (const engine::EngineError&) {
  }
}

long CZAT_PSF1::GetLastCol() {
  engine::Control& ctl = Ctl();
  long sheet = ctl.GetActiveSheet();
  long last = ctl.GetLastCol();
  if (sheet < 1 || static_cast<std::size_t>(sheet) > m_HeaderColCounts.size()) return last;
  // Named columns whose cells are all empty count too, up to the recorded header width.
  long i = std::min<long>(m_HeaderColCounts[sheet - 1], engine::kMaxCol);
  if (i == 0 && last == 0) return 0;
  while (i >= last && i > 0 && IsABColName(i)) --i;
  return i > last ? i : last;
}

long CZAT_PSF1::GetLastRow() {
  engine::Control& ctl = Ctl();
  long rows = ctl.GetLastRow();
  if (rows != 1) return rows;
  // Row 1 may hold nothing but empty texts: then the sheet has no values.
  long lastCol = GetLastCol();
  for (long c = 1; c <= lastCol; ++c)
    if (!ctl.GetCellText(1, static_cast<int>(c)).empty()) return 1;
  return 0;
}

long CZAT_PSF1::GetArgCol(const CString& name) {
  if (name.empty()) return -1;
  engine::Control& ctl = Ctl();
  const engine::SheetStamp sheet = ctl.GetActiveSheetStamp();
  if (!m_Internals->argIndex) m_Internals->argIndex = std::make_shared<params::ArgColumnIndex>();
  params::SheetArgIndex& index = m_Internals->argIndex->For(sheet.book, sheet.sheet, sheet.sheetId);

  params::IndexStamp stamp;
  stamp.headings = sheet.headings;
  stamp.lastUsedCol = sheet.lastCol;
  stamp.sheetIndex = sheet.position;
  if (stamp.sheetIndex >= 1 &&
      static_cast<std::size_t>(stamp.sheetIndex) <= m_HeaderColCounts.size())
    stamp.headerCount = m_HeaderColCounts[stamp.sheetIndex - 1];
  if (!index.IsCurrent(stamp)) {
    index.Rebuild(ctl, GetLastCol());
    index.SetStamp(stamp);
  }
  return index.Find(name);
}
