#pragma once
// The order of a sheet's run rows: every row is visited once, in the order its ranges were
// captured.

#include <vector>

#include "datatable/rows_range.h"

namespace rows {

// The ranges with every row that an earlier range already holds taken out (a range that
// overlaps earlier ones keeps only its new rows, in ascending pieces) and each range made
// ascending. Ranges that hold only new rows come back unchanged and in the same order, so a
// walk over the result visits each row exactly once and always moves forward.
std::vector<CRowsRange> WithoutRepeatedRows(const std::vector<CRowsRange>& ranges);

}  // namespace rows
