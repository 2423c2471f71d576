#pragma once
// Rows and columns arrive as long; the engine counts in int. A number outside int's range
// becomes -1, which the engine refuses, instead of wrapping into a valid row.

#include <climits>

namespace params {

inline int EngineIndex(long value) {
  return value < INT_MIN || value > INT_MAX ? -1 : static_cast<int>(value);
}

}  // namespace params
