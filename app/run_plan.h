#pragma once
// The rows of a test run as `datatable run` and the Python module take them: the requested
// rows selected, the run rows captured through the table's run-row walk, and optionally one
// shard of them.

#include <optional>
#include <string>
#include <vector>

#include "cli.h"
#include "datatable/czat_psf1.h"

namespace dtapp {

// One sheet's run rows, in run order.
struct SheetRun {
  long sheet = 0;
  std::vector<long> rows;
};

// The sheet a --sheet argument names (a number from 1 or a name), 0 when there is none.
long FindSheet(CZAT_PSF1& table, const std::string& sheet);

// Selects the requested rows of sheet s (clipped to its rows), replacing its row selection;
// false with `error` when a requested row lies beyond the sheet and `strict` is set. `none`
// tells that no requested row is on the sheet.
bool SelectRequestedRows(CZAT_PSF1& table, long s, const std::vector<RowRange>& ranges, bool strict,
                         bool& none, std::string& error);

// The run rows of sheets first … last: the requested rows (strict: a row beyond a sheet's
// last row is an error), or every row of values when none are requested. Rows the file left
// selected do not narrow the run. False with `error` when the table refuses.
bool CaptureRun(CZAT_PSF1& table, long first, long last,
                const std::optional<std::vector<RowRange>>& rows, bool strict,
                std::vector<SheetRun>& out, std::string& error);

// Keeps the run rows at positions K, K+N, … of the whole run (every sheet, in run order).
void KeepShard(std::vector<SheetRun>& run, const Shard& shard);

}  // namespace dtapp
