// Taking repeated rows out of a sheet's run-row ranges.
#include "rows/run_row_order.h"

#include <algorithm>
#include <iterator>
#include <map>

namespace rows {

std::vector<CRowsRange> WithoutRepeatedRows(const std::vector<CRowsRange>& ranges) {
  std::vector<CRowsRange> out;
  out.reserve(ranges.size());
  // Rows already kept, as disjoint intervals that do not touch: first row -> last row.
  std::map<long, long> held;
  for (const CRowsRange& given : ranges) {
    const long a = std::min(given.nFirstRow, given.nLastRow);
    const long b = std::max(given.nFirstRow, given.nLastRow);
    long lo = a, hi = b;  // the union of [a, b] with the held intervals it meets
    long next = a;        // first row of [a, b] not yet accounted for
    auto it = held.upper_bound(a);
    if (it != held.begin() && std::prev(it)->second + 1 >= a) --it;
    while (it != held.end() && it->first <= b + 1) {
      if (it->first > next) out.push_back(CRowsRange{next, std::min(b, it->first - 1)});
      next = std::max(next, it->second + 1);
      lo = std::min(lo, it->first);
      hi = std::max(hi, it->second);
      it = held.erase(it);
    }
    if (next <= b) out.push_back(CRowsRange{next, b});
    held[lo] = hi;
  }
  return out;
}

}  // namespace rows
