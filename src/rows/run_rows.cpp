// Run rows: which rows of each sheet a test run uses, and the per-sheet walk over them.
#include <utility>
#include <vector>

#include "platform/message_boxes.h"
#include "resources/resource_ids.h"
#include "rows/run_row_order.h"
#include "table/czat_psf1.h"

namespace {

// The ranges a list holds for one sheet; false when the sheet has no entry.
bool ReadRanges(const CWBRowsRangeList& list, const CString& name, std::vector<CRowsRange>& out) {
  int count = 0;
  if (list.GetRowsRangeCount(name, count) != 0) return false;
  out.clear();
  for (int k = 0; k < count; ++k) {
    CRowsRange range;
    if (list.GetRowsRangeEntry(name, k, range) == 0) out.push_back(range);
  }
  return true;
}

bool SameRanges(const std::vector<CRowsRange>& a, const std::vector<CRowsRange>& b) {
  if (a.size() != b.size()) return false;
  for (size_t i = 0; i < a.size(); ++i)
    if (a[i].nFirstRow != b[i].nFirstRow || a[i].nLastRow != b[i].nLastRow) return false;
  return true;
}

}  // namespace

int CZAT_PSF1::CaptureRowsList(bool ask, long sheet) {
  m_RunRowsList.ClearWBRowsRangeList();
  m_LastRunRows.ClearLastSelectedRow();
  bool useAllRows = true;
  if (GetSelectedRows(m_RunRowsList, sheet) != -1) {
    bool anySelected = false;
    if (sheet != 0) {
      CString name;
      if (GetSheetName(name, sheet) != 0) return 0;
      anySelected = !m_RunRowsList.IsEmptyRowsList(name);
    } else {
      anySelected = !m_RunRowsList.IsEmptyRowsList(CWBRowsRangeList::null_cstring_ref);
    }
    if (anySelected) {
      if (!ask)
        useAllRows = false;
      else if (MessageBoxA(resources::kStrRunSelectedRows,
                           platform::MB_YESNO | platform::MB_ICONQUESTION) == platform::IDYES)
        useAllRows = false;
    }
  }
  if (useAllRows && GetAllRows(m_RunRowsList, sheet) != 0) return 0;

  long first = 0, last = 0, previous = 0;
  if (GetRequestedSheets(sheet, first, last, previous) == -1) return 0;
  // Whole-row blocks may overlap; a row that several of them hold is run once, where it first
  // appears, so that the walk always moves forward and ends.
  std::vector<std::pair<CString, std::vector<CRowsRange>>> sheets;
  bool repeated = false;
  for (long i = first; i <= last; ++i) {
    CString name;
    if (GetSheetName(name, i) != 0) continue;
    m_LastRunRows.AddLastSelectedRowEntry(name, 0);
    std::vector<CRowsRange> ranges;
    if (!ReadRanges(m_RunRowsList, name, ranges)) continue;
    std::vector<CRowsRange> once = rows::WithoutRepeatedRows(ranges);
    repeated = repeated || !SameRanges(ranges, once);
    sheets.emplace_back(std::move(name), std::move(once));
  }
  if (repeated) {
    m_RunRowsList.ClearWBRowsRangeList();
    for (const auto& [name, ranges] : sheets) {
      m_RunRowsList.AddSheetEntry(name);
      for (const CRowsRange& range : ranges) m_RunRowsList.AddRowsRangeEntry(name, range);
    }
  }
  return 1;
}

int CZAT_PSF1::SelectNextRunRow(bool remember, long sheet) {
  long row = 0;
  GetCurrRunRow(row, sheet);
  if (GetNextRunRow(row, sheet) != 1) return 0;
  if (remember) {
    CString name;
    if (GetSheetName(name, sheet) != 0) return 0;
    m_LastRunRows.SetLastSelectedRowEntry(name, row);  // a sheet not captured is not recorded
  }
  return SelectRows(row, row, sheet, false) == 0 ? 1 : 0;
}

int CZAT_PSF1::GetCurrRunRow(long& row, long sheet) {
  CString name;
  if (GetSheetName(name, sheet) != 0) return 0;
  long current = 0;
  if (m_LastRunRows.GetLastSelectedRow(name, current) != 0) return 0;
  row = current;
  return current != 0 ? 1 : 0;
}

int CZAT_PSF1::GetNextRunRow(long& row, long sheet) {
  CString name;
  if (GetSheetName(name, sheet) != 0) return 0;
  int count = 0;
  if (m_RunRowsList.GetRowsRangeCount(name, count) != 0 || count == 0) return 0;
  CRowsRange range;
  if (row == 0) {
    if (m_RunRowsList.GetRowsRangeEntry(name, 0, range) != 0) return 0;
    row = range.nFirstRow;
    return 1;
  }
  // The first range that holds the row decides.
  for (int k = 0; k < count; ++k) {
    if (m_RunRowsList.GetRowsRangeEntry(name, k, range) != 0) return 0;
    if (range.nFirstRow <= row && row < range.nLastRow) {
      row = row + 1;
      return 1;
    }
    if (row == range.nLastRow) {
      if (k == count - 1) return 0;  // the last run row
      CRowsRange next;
      if (m_RunRowsList.GetRowsRangeEntry(name, k + 1, next) != 0) return 0;
      row = next.nFirstRow;
      return 1;
    }
  }
  return 0;
}

int CZAT_PSF1::GetRunRow(long position, long& row, long sheet) {
  if (position < 1) return 0;  // positions count from 1
  CString name;
  if (GetSheetName(name, sheet) != 0) return 0;
  int count = 0;
  if (m_RunRowsList.GetRowsRangeCount(name, count) != 0 || count == 0) return 0;
  long before = 0;
  for (int k = 0; k < count; ++k) {
    CRowsRange range;
    if (m_RunRowsList.GetRowsRangeEntry(name, k, range) != 0) return 0;
    const long end = before + (range.nLastRow - range.nFirstRow + 1);
    if (position == end) {
      row = range.nLastRow;
      return 1;
    }
    if (position < end) {
      row = range.nFirstRow + (position - before) - 1;
      return 1;
    }
    before = end;
  }
  return 0;
}

int CZAT_PSF1::GetNumRunRows(int& count, long sheet) {
  count = 0;
  long s = 0, previous = 0;
  if (GetRequestedSheet(sheet, s, previous, false) == -1) return -1;
  CString name;
  if (GetSheetName(name, s) != 0) return -1;
  if (m_RunRowsList.GetRowsCount(name, count) != 0) return -1;
  return 0;
}
