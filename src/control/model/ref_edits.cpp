#include "control/model/ref_edits.h"

#include <utility>

#include "control/model/token_refs.h"

namespace engine::features {

LineOrder LineOrder::Of(bool rows, int first, int band1, int band2,
                        const std::vector<int>& order) {
  LineOrder o{rows, first, band1, band2, std::vector<int>(order.size())};
  for (std::size_t i = 0; i < order.size(); ++i)
    if (order[i] >= 0 && static_cast<std::size_t>(order[i]) < order.size())
      o.where[static_cast<std::size_t>(order[i])] = static_cast<int>(i);
  return o;
}

int LineOrder::Follow(CellRange& r) const {
  int& a = rows ? r.row1 : r.col1;
  int& b = rows ? r.row2 : r.col2;
  const int c1 = rows ? r.col1 : r.row1, c2 = rows ? r.col2 : r.row2;
  const int n = static_cast<int>(where.size());
  if (a != b || a < first || a >= first + n || c1 < band1 || c2 > band2) return 0;
  const int to = first + where[static_cast<std::size_t>(a - first)];
  const int moved = to - a;
  a = b = to;
  return moved;
}

namespace {

// Puts the ends of a range in order, their relative bits with them.
void Order(CellRange& r, unsigned& bits1, unsigned& bits2) {
  auto swapBit = [&](unsigned bit) {
    const unsigned b1 = bits1 & bit, b2 = bits2 & bit;
    bits1 = (bits1 & ~bit) | b2;
    bits2 = (bits2 & ~bit) | b1;
  };
  if (r.row1 > r.row2) std::swap(r.row1, r.row2), swapBit(kRowRelative);
  if (r.col1 > r.col2) std::swap(r.col1, r.col2), swapBit(kColRelative);
}

}  // namespace

void MoveTokens(std::uint8_t* t, std::size_t size, const BlockMove& m, int rowOffset,
                const std::vector<bool>* entries) {
  const CellRange& b = m.block;
  const bool allRows = b.row1 <= 1 && b.row2 >= kMaxRow;
  const bool allCols = b.col1 <= 1 && b.col2 >= kMaxCol;
  ForEachRef(t, size, rowOffset, entries, [&](CellRange& r, unsigned& bits1, unsigned& bits2) {
    const bool wholeCols = r.row1 == rowOffset && r.row2 == rowOffset + 0xFFFF;
    const bool wholeRows = r.col1 == 1 && r.col2 == kMaxCol;
    if (wholeCols) {
      for (int* c : {&r.col1, &r.col2})
        if (*c >= b.col1 && *c <= b.col2 && allRows) *c += m.dCol;
    } else if (wholeRows) {
      for (int* row : {&r.row1, &r.row2})
        if (*row >= b.row1 && *row <= b.row2 && allCols) *row += m.dRow;
    } else {
      if (b.Contains(r.row1, r.col1)) r.row1 += m.dRow, r.col1 += m.dCol;
      if (b.Contains(r.row2, r.col2)) r.row2 += m.dRow, r.col2 += m.dCol;
    }
    Order(r, bits1, bits2);
    return true;
  });
}

void SortTokens(std::uint8_t* t, std::size_t size, const LineOrder& o, int rowOffset,
                const std::vector<bool>* entries) {
  ForEachRef(t, size, rowOffset, entries, [&](CellRange& r, unsigned&, unsigned&) {
    o.Follow(r);
    return true;
  });
}

void ShiftRelativeTokens(std::uint8_t* t, std::size_t size, int dRow, int dCol, int rowOffset) {
  if (dRow == 0 && dCol == 0) return;
  ForEachRef(t, size, rowOffset, nullptr, [&](CellRange& r, unsigned& bits1, unsigned& bits2) {
    // Only an end that moves can leave the sheet (the heading row stays named where it is).
    bool on = true;
    auto shift = [&](int& v, unsigned bits, unsigned bit, int by, int limit) {
      if (!(bits & bit) || by == 0) return;
      v += by;
      on = on && v >= 1 && v <= limit;
    };
    shift(r.row1, bits1, kRowRelative, dRow, kMaxRow);
    shift(r.row2, bits2, kRowRelative, dRow, kMaxRow);
    shift(r.col1, bits1, kColRelative, dCol, kMaxCol);
    shift(r.col2, bits2, kColRelative, dCol, kMaxCol);
    Order(r, bits1, bits2);
    return on;
  });
}

}  // namespace engine::features
