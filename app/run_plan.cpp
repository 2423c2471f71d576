// The run rows of a table as a test run takes them.

#include "run_plan.h"

namespace dtapp {

long FindSheet(CZAT_PSF1& table, const std::string& sheet) {
  bool digits = !sheet.empty() && sheet.size() < 10;
  for (char c : sheet) digits = digits && c >= '0' && c <= '9';
  if (digits) {
    const long n = std::stol(sheet);
    // A sheet named like a number is found by its name when no sheet has that number.
    if (n >= 1 && n <= table.GetNumSheets()) return n;
  }
  return table.GetSheetIndex(sheet);  // 0 when no sheet has the name
}

bool SelectRequestedRows(CZAT_PSF1& table, long s, const std::vector<RowRange>& ranges, bool strict,
                         bool& none, std::string& error) {
  long lastRow = 0;
  table.GetMaxRows(lastRow, s);
  CString name;
  table.GetSheetName(name, s);
  CWBRowsRangeList list;
  list.AddSheetEntry(name);
  for (const RowRange& range : ranges) {
    if (range.last > lastRow && strict) {
      error = "row " + std::to_string(range.last) + " is beyond the last row (" +
              std::to_string(lastRow) + ") of sheet \"" + name + "\"";
      return false;
    }
    if (range.first > lastRow) continue;
    CRowsRange r;
    r.nFirstRow = range.first;
    r.nLastRow = range.last < lastRow ? range.last : lastRow;
    list.AddRowsRangeEntry(name, r);
  }
  table.UnSelectRows(s);
  int count = 0;
  list.GetRowsRangeCount(name, count);
  none = count == 0;
  if (!none) table.SelectRows(list, s);
  return true;
}

bool CaptureRun(CZAT_PSF1& table, long first, long last,
                const std::optional<std::vector<RowRange>>& rows, bool strict,
                std::vector<SheetRun>& out, std::string& error) {
  out.clear();
  const long sheets = table.GetNumSheets();
  // Whole rows that the file left selected must not narrow the run: start from none.
  for (long s = 1; s <= sheets; ++s) table.UnSelectRows(s);
  // Sheets on which none of the requested rows lie; the run reads nothing there (with no
  // selection anywhere a capture would take every row).
  std::vector<bool> noRows(static_cast<std::size_t>(sheets + 1), false);
  if (rows) {
    for (long s = first; s <= last; ++s) {
      bool none = false;
      if (!SelectRequestedRows(table, s, *rows, strict, none, error)) return false;
      noRows[static_cast<std::size_t>(s)] = none;
    }
  }
  // Selected rows, when there are any, are the run rows; no question is asked.
  if (table.CaptureRowsList(false, 0) != 1) {
    error = "the run rows cannot be captured";
    return false;
  }
  for (long s = first; s <= last; ++s) {
    SheetRun run;
    run.sheet = s;
    long row = 0;
    while (!noRows[static_cast<std::size_t>(s)] && table.GetNextRunRow(row, s) == 1)
      run.rows.push_back(row);
    out.push_back(std::move(run));
  }
  return true;
}

void KeepShard(std::vector<SheetRun>& run, const Shard& shard) {
  if (shard.count <= 1) return;
  long position = 0;  // of the whole run, from 0
  for (SheetRun& sheet : run) {
    std::size_t kept = 0;
    for (long row : sheet.rows) {
      if (position % shard.count == shard.index - 1) sheet.rows[kept++] = row;
      ++position;
    }
    sheet.rows.resize(kept);
  }
}

}  // namespace dtapp
