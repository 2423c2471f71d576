#pragma once
// What the table keeps per sheet, kept in step with the sheets themselves. The recorded header
// widths are kept by sheet position and move with the sheets when sheets are inserted in front
// of them or deleted; the row lists kept by sheet name keep only the entries of sheets that
// are still there, under their current names.

#include <utility>
#include <vector>

#include "datatable/rows_range.h"
#include "datatable/strings.h"

class CZAT;

namespace rows {

// Pairs of (name an entry is kept under now, name it is to be kept under).
using SheetNameMap = std::vector<std::pair<CString, CString>>;

// `count` sheets were inserted at position `at` (1-based) of a workbook that had `before`
// sheets: their entries start at 0 and the entries from `at` on move behind them.
void SheetsInserted(std::vector<unsigned>& perSheet, long before, long at, long count);
// Sheets `first` … `first + count - 1` of a workbook that had `before` sheets were deleted.
void SheetsDeleted(std::vector<unsigned>& perSheet, long before, long first, long count);

// The names of the table's sheets outside first … first + count - 1, each mapped to itself.
SheetNameMap NamesOutside(CZAT& table, long first, long count);
// Keeps the entries of the names in `names` only, each under its new name.
void KeepSheetEntries(const SheetNameMap& names, CWBRowsRangeList& runRows,
                      CLastSelectedRow& lastRunRows, CWBRowsRangeList& savedSelection);

}  // namespace rows
