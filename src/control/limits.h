#pragma once
// The size of a sheet: rows 1 … kMaxRow and columns 1 … kMaxCol, as a BIFF8 workbook holds.

namespace engine {

inline constexpr int kMaxRow = 65536;
inline constexpr int kMaxCol = 256;

}  // namespace engine
