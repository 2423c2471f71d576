#pragma once
// The one narrowing of the table: the interface counts rows, columns and sheets in `long`, the
// engine in `int`. Values outside the int range are clamped, so that the engine refuses them
// rather than seeing a wrapped value (or -1, which to the engine means "every row").

#include <climits>

namespace table {

inline int Narrow(long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace table
