#pragma once
// The interface counts rows, columns and sheets in `long`; the engine in `int`. Values outside
// the int range are clamped so that the engine rejects them rather than seeing a wrapped value.

#include <climits>

namespace table {

inline int Narrow(long value) {
  if (value > INT_MAX) return INT_MAX;
  if (value < INT_MIN) return INT_MIN;
  return static_cast<int>(value);
}

}  // namespace table
