// Row selection: turning row numbers and row-range lists into the engine's selection of whole
// rows and back, and keeping the selection of every sheet while the view is closed.
#include "platform/frame.h"
#include "rows/whole_row_block.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

namespace {

// The view repaints at once from the engine.
void Repaint(platform::ControlWindow* window) {
  if (window) window->Refresh();
}

}  // namespace

int CZAT_PSF1::UnSelectRows(long sheet) {
  long s = 0, previous = 0;
  if (GetRequestedSheet(sheet, s, previous, true) == -1) return -1;
  Ctl().SetSelection(1, 1, 1, 1);
  Repaint(m_ControlWnd);
  if (s != previous) Ctl().SetActiveSheet(table::Narrow(previous));
  if (!IsViewOpened()) m_SavedSelRows.ClearWBRowsRangeList();
  return 0;
}

int CZAT_PSF1::SelectRows(long firstRow, long lastRow, long sheet, bool checkBounds) {
  engine::Control& ctl = Ctl();
  // Rows the engine cannot address are refused before anything changes.
  if (!rows::IsAddressableRowPair(firstRow, lastRow, ctl.GetMaxRow())) return -1;
  long s = 0, previous = 0;
  if (GetRequestedSheet(sheet, s, previous, true) == -1) return -1;
  if (checkBounds && (firstRow <= 0 || lastRow > ctl.GetLastRow())) {
    if (s != previous) ctl.SetActiveSheet(table::Narrow(previous));
    return -1;
  }
  ctl.SetSelection(table::Narrow(firstRow), -1, table::Narrow(lastRow), -1);
  ctl.ShowActiveCell();
  Repaint(m_ControlWnd);
  if (!IsViewOpened()) StoreSelRows(m_SavedSelRows, 0);
  return 0;
}

int CZAT_PSF1::AddSelectRows(long firstRow, long lastRow, long sheet) {
  engine::Control& ctl = Ctl();
  if (!rows::IsAddressableRowPair(firstRow, lastRow, ctl.GetMaxRow())) return -1;
  long s = 0, previous = 0;
  if (GetRequestedSheet(sheet, s, previous, true) == -1) return -1;
  if (lastRow > ctl.GetLastRow()) {
    if (s != previous) ctl.SetActiveSheet(table::Narrow(previous));
    return -1;
  }
  bool joinRows = false;
  if (ctl.GetSelectionCount() > 0) {
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    ctl.GetSelection(0, r1, c1, r2, c2);
    joinRows = rows::IsWholeRowBlock(c1, c2, GetLastCol(), ctl.GetMaxCol());
  }
  // Rows join an existing row selection; any other selection (the active cell) is replaced.
  if (joinRows)
    ctl.AddSelection(table::Narrow(firstRow), -1, table::Narrow(lastRow), -1);
  else
    ctl.SetSelection(table::Narrow(firstRow), -1, table::Narrow(lastRow), -1);
  ctl.ShowActiveCell();
  Repaint(m_ControlWnd);
  if (!IsViewOpened()) StoreSelRows(m_SavedSelRows, 0);
  return 0;
}

int CZAT_PSF1::SelectRows(CWBRowsRangeList& rows, long sheet) {
  long first = 0, last = 0, previous = 0;
  if (GetRequestedSheets(sheet, first, last, previous) == -1) return -1;
  engine::Control& ctl = Ctl();
  const long maxRow = ctl.GetMaxRow();
  for (long i = first; i <= last; ++i) {
    ctl.SetActiveSheet(table::Narrow(i));
    CString name;
    if (GetSheetName(name, i) != 0) continue;
    int count = 0;
    if (rows.GetRowsRangeCount(name, count) != 0) continue;  // no entry: selection stays
    bool firstApplied = false;
    for (int k = 0; k < count; ++k) {
      CRowsRange range;
      if (rows.GetRowsRangeEntry(name, k, range) != 0) continue;
      if (range.nFirstRow <= 0) continue;
      if (!rows::IsAddressableRowPair(range.nFirstRow, range.nLastRow, maxRow)) continue;
      const int r1 = table::Narrow(range.nFirstRow);
      const int r2 = table::Narrow(range.nLastRow);
      if (!firstApplied) {
        ctl.SetSelection(r1, -1, r2, -1);
        ctl.ShowActiveCell();
        firstApplied = true;
      } else {
        ctl.AddSelection(r1, -1, r2, -1);
      }
    }
  }
  if (sheet == 0 && ctl.GetActiveSheet() != previous) ctl.SetActiveSheet(table::Narrow(previous));
  if (!IsViewOpened()) StoreSelRows(m_SavedSelRows, 0);
  return 0;
}

int CZAT_PSF1::GetSelectedRows(CWBRowsRangeList& rows, long sheet) {
  rows.ClearWBRowsRangeList();
  long first = 0, last = 0, previous = 0;
  if (GetRequestedSheets(sheet, first, last, previous) == -1) return -1;
  engine::Control& ctl = Ctl();
  const long maxCol = ctl.GetMaxCol();
  for (long i = first; i <= last; ++i) {
    ctl.SetActiveSheet(table::Narrow(i));
    CString name;
    if (GetSheetName(name, i) != 0) continue;
    if (IsEmpty()) {
      rows.AddSheetEntry(name);
      continue;
    }
    const long lastCol = GetLastCol();
    const long lastRow = ctl.GetLastRow();
    const int blocks = ctl.GetSelectionCount();
    rows.AddSheetEntry(name);
    // Blocks of whole rows that directly continue the previous block of whole rows extend its
    // range; every other block of whole rows starts a range of its own. A block of ordinary
    // cells between them keeps them apart, so its rows never slip into a range.
    int lastIndex = -1;
    long prevLast = -1;
    bool prevWasRows = false;
    for (int j = 0; j < blocks; ++j) {
      int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
      ctl.GetSelection(j, r1, c1, r2, c2);
      if (!rows::IsWholeRowBlock(c1, c2, lastCol, maxCol)) {
        prevLast = r2;
        prevWasRows = false;
        continue;
      }
      if (r1 == 0 || r2 == 0) continue;
      if (r1 > lastRow && r2 > lastRow) continue;  // entirely below the values
      if (r2 > lastRow) r2 = table::Narrow(lastRow);
      CRowsRange range;
      if (prevWasRows && lastIndex != -1 && r1 == prevLast + 1 &&
          rows.GetRowsRangeEntry(name, lastIndex, range) == 0) {
        range.nLastRow = r2;
        rows.SetRowsRangeEntry(name, lastIndex, range);
      } else {
        lastIndex = rows.AddRowsRangeEntry(name, CRowsRange{r1, r2});
      }
      prevLast = r2;
      prevWasRows = true;
    }
  }
  if (ctl.GetActiveSheet() != previous) ctl.SetActiveSheet(table::Narrow(previous));
  return 0;
}

int CZAT_PSF1::GetAllRows(CWBRowsRangeList& rows, long sheet) {
  rows.ClearWBRowsRangeList();
  long first = 0, last = 0, previous = 0;
  if (GetRequestedSheets(sheet, first, last, previous) == -1) return -1;
  engine::Control& ctl = Ctl();
  for (long i = first; i <= last; ++i) {
    ctl.SetActiveSheet(table::Narrow(i));
    CString name;
    if (GetSheetName(name, i) != 0) continue;
    if (IsEmpty()) {
      rows.AddSheetEntry(name);
      continue;
    }
    long maxRows = 0;
    if (GetMaxRows(maxRows, i) == 0 && maxRows != 0) {
      rows.AddSheetEntry(name);
      rows.AddRowsRangeEntry(name, CRowsRange{1, maxRows});
    }
  }
  if (ctl.GetActiveSheet() != previous) ctl.SetActiveSheet(table::Narrow(previous));
  return 0;
}

int CZAT_PSF1::StoreSelRows(CWBRowsRangeList& rows, long sheet) {
  if (GetSelectedRows(rows, sheet) == -1) {
    rows.ClearWBRowsRangeList();
    return -1;
  }
  return 0;
}

void CZAT_PSF1::RestoreSelRows(CWBRowsRangeList& rows, long sheet) {
  SelectRows(rows, sheet);
  rows.ClearWBRowsRangeList();
}
