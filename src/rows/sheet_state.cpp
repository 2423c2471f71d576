#include "rows/sheet_state.h"

#include <algorithm>

#include "datatable/zat.h"

namespace rows {

namespace {

void Rekey(const SheetNameMap& names, CWBRowsRangeList& list) {
  std::vector<std::pair<CString, std::vector<CRowsRange>>> kept;
  for (const auto& [from, to] : names) {
    int count = 0;
    if (list.GetRowsRangeCount(from, count) != 0) continue;
    std::vector<CRowsRange> ranges;
    for (int k = 0; k < count; ++k) {
      CRowsRange range;
      if (list.GetRowsRangeEntry(from, k, range) == 0) ranges.push_back(range);
    }
    kept.emplace_back(to, std::move(ranges));
  }
  list.ClearWBRowsRangeList();
  for (const auto& [name, ranges] : kept) {
    list.AddSheetEntry(name);
    for (const CRowsRange& range : ranges) list.AddRowsRangeEntry(name, range);
  }
}

void Rekey(const SheetNameMap& names, CLastSelectedRow& rows) {
  std::vector<std::pair<CString, long>> kept;
  for (const auto& [from, to] : names) {
    long row = 0;
    if (rows.GetLastSelectedRow(from, row) == 0) kept.emplace_back(to, row);
  }
  rows.ClearLastSelectedRow();
  for (const auto& [name, row] : kept) rows.AddLastSelectedRowEntry(name, row);
}

}  // namespace

void SheetsInserted(std::vector<unsigned>& perSheet, long before, long at, long count) {
  if (count < 1 || at < 1) return;
  // Entries the table never recorded count as 0, so the vector covers the old sheets first.
  if (perSheet.size() < static_cast<std::size_t>(std::max(before, 0L)))
    perSheet.resize(static_cast<std::size_t>(before), 0);
  const std::size_t pos = std::min(static_cast<std::size_t>(at - 1), perSheet.size());
  perSheet.insert(perSheet.begin() + static_cast<std::ptrdiff_t>(pos),
                  static_cast<std::size_t>(count), 0u);
}

void SheetsDeleted(std::vector<unsigned>& perSheet, long before, long first, long count) {
  if (count < 1 || first < 1) return;
  if (perSheet.size() < static_cast<std::size_t>(std::max(before, 0L)))
    perSheet.resize(static_cast<std::size_t>(before), 0);
  const std::size_t from = std::min(static_cast<std::size_t>(first - 1), perSheet.size());
  const std::size_t to = std::min(from + static_cast<std::size_t>(count), perSheet.size());
  perSheet.erase(perSheet.begin() + static_cast<std::ptrdiff_t>(from),
                 perSheet.begin() + static_cast<std::ptrdiff_t>(to));
}

SheetNameMap NamesOutside(CZAT& table, long first, long count) {
  SheetNameMap names;
  const long n = table.GetNumSheets();
  for (long i = 1; i <= n; ++i) {
    if (count > 0 && i >= first && i <= first + count - 1) continue;
    CString name;
    if (table.GetSheetName(name, i) == 0) names.emplace_back(name, name);
  }
  return names;
}

void KeepSheetEntries(const SheetNameMap& names, CWBRowsRangeList& runRows,
                      CLastSelectedRow& lastRunRows, CWBRowsRangeList& savedSelection) {
  Rekey(names, runRows);
  Rekey(names, lastRunRows);
  Rekey(names, savedSelection);
}

}  // namespace rows
