#include "control/sheet_features.h"

#include <algorithm>

#include "control/model/sheet.h"

namespace engine::features {

namespace {

// One axis of a structural edit: rows (with the columns that take part) or columns (with the
// rows). An item takes part when it lies wholly inside the band across the axis.
struct Edit {
  bool rows;         // the edit moves rows
  int at, count;     // first row (column) inserted or deleted, how many
  int band1, band2;  // the columns (rows) that take part
  bool insert;
  int limit() const { return rows ? kMaxRow : kMaxCol; }
};

int& Along1(CellRange& r, bool rows) { return rows ? r.row1 : r.col1; }
int& Along2(CellRange& r, bool rows) { return rows ? r.row2 : r.col2; }
bool InBand(const CellRange& r, const Edit& e) {
  int a = e.rows ? r.col1 : r.row1, b = e.rows ? r.col2 : r.row2;
  return a >= e.band1 && b <= e.band2;
}

// Maps [a, b] through the edit; false when nothing of it is left.
bool MapSpan(int& a, int& b, const Edit& e) {
  if (a < 1 && b < 1) return true;  // the heading row
  if (e.insert) {
    if (a >= e.at) a += e.count;
    if (b >= e.at) b += e.count;
    if (a > e.limit()) return false;
    b = std::min(b, e.limit());
    return true;
  }
  int end = e.at + e.count - 1;
  if (b < e.at) return true;
  if (a > end) {
    a -= e.count;
    b -= e.count;
    return true;
  }
  int na = a < e.at ? a : e.at;
  int nb = b > end ? b - e.count : e.at - 1;
  if (nb < na) return false;
  a = na;
  b = nb;
  return true;
}

bool MapRange(CellRange& r, const Edit& e) {
  if (!InBand(r, e)) return true;
  return MapSpan(Along1(r, e.rows), Along2(r, e.rows), e);
}

bool MapRanges(std::vector<CellRange>& ranges, const Edit& e) {
  std::erase_if(ranges, [&](CellRange& r) { return !MapRange(r, e); });
  return !ranges.empty();
}

bool MapPoint(int& p, const Edit& e) {
  int q = p;
  if (!MapSpan(p, q, e)) return false;
  return p == q;
}

void Apply(SheetFeatures& f, const Edit& e) {
  MapRanges(f.merges, e);
  std::erase_if(f.comments, [&](Comment& c) {
    CellRange r{c.row, c.col, c.row, c.col};
    if (!MapRange(r, e)) return true;
    c.row = r.row1;
    c.col = r.col1;
    return false;
  });
  std::erase_if(f.links, [&](Hyperlink& l) { return !MapRange(l.range, e); });
  std::erase_if(f.validations, [&](ValidationRule& v) { return !MapRanges(v.ranges, e); });
  std::erase_if(f.conditional, [&](ConditionalFormat& c) { return !MapRanges(c.ranges, e); });
  if (f.filter.on || f.filter.named) {
    CellRange before = f.filter.range;
    if (!MapRange(f.filter.range, e)) {
      f.filter = AutoFilter{};
    } else if (!e.rows && InBand(before, e)) {
      // Criteria name their column from the filter's first column.
      std::erase_if(f.filter.criteria, [&](RecordBytes& c) {
        if (c.size() < 2) return true;
        int col = before.col1 + (c[0] | (c[1] << 8));
        if (!MapPoint(col, e)) return true;
        unsigned entry = static_cast<unsigned>(col - f.filter.range.col1);
        c[0] = static_cast<std::uint8_t>(entry & 0xFF);
        c[1] = static_cast<std::uint8_t>(entry >> 8);
        return false;
      });
    }
  }
  // Carried drawing objects move with their cells; one whose cells are all deleted is squeezed
  // to where they were rather than dropped.
  for (CarriedShape& s : f.drawings) {
    if (!s.anchored) continue;
    CellRange r{s.row1, s.col1, s.row2, s.col2};
    if (!InBand(r, e)) continue;
    int a = Along1(r, e.rows), b = Along2(r, e.rows);
    if (!MapSpan(a, b, e)) a = b = std::min(e.at, e.limit());
    Along1(r, e.rows) = a;
    Along2(r, e.rows) = b;
    s.row1 = r.row1;
    s.col1 = r.col1;
    s.row2 = r.row2;
    s.col2 = r.col2;
  }
  PageSetup& p = f.page;
  MapRanges(p.printArea, e);
  bool whole = e.band1 <= 1 && e.band2 >= (e.rows ? kMaxCol : kMaxRow);
  if (whole) {
    std::vector<int>& breaks = e.rows ? p.rowBreaks : p.colBreaks;
    std::erase_if(breaks, [&](int& b) { return !MapPoint(b, e); });
    int& t1 = e.rows ? p.titleRow1 : p.titleCol1;
    int& t2 = e.rows ? p.titleRow2 : p.titleCol2;
    if (t1 >= 0 && t2 >= 1 && !MapSpan(t1, t2, e)) t1 = t2 = e.rows ? -1 : 0;
  }
}

// Items wholly inside a line of `band` follow their line in a reorder.
template <typename Fn>
void ForEachItemRange(SheetFeatures& f, Fn&& fn) {
  for (CellRange& r : f.merges) fn(r);
  for (Hyperlink& l : f.links) fn(l.range);
  for (ValidationRule& v : f.validations)
    for (CellRange& r : v.ranges) fn(r);
  for (ConditionalFormat& c : f.conditional)
    for (CellRange& r : c.ranges) fn(r);
}

void Reorder(SheetFeatures& f, bool rows, int first, int band1, int band2,
             const std::vector<int>& order) {
  int n = static_cast<int>(order.size());
  std::vector<int> where(order.size());
  for (int i = 0; i < n; ++i)
    where[static_cast<std::size_t>(order[static_cast<std::size_t>(i)])] = i;
  auto follow = [&](CellRange& r) {
    int& a = Along1(r, rows);
    int& b = Along2(r, rows);
    int c1 = rows ? r.col1 : r.row1, c2 = rows ? r.col2 : r.row2;
    if (a != b || a < first || a >= first + n || c1 < band1 || c2 > band2) return;
    a = b = first + where[static_cast<std::size_t>(a - first)];
  };
  ForEachItemRange(f, follow);
  for (Comment& c : f.comments) {
    CellRange r{c.row, c.col, c.row, c.col};
    follow(r);
    c.row = r.row1;
    c.col = r.col1;
  }
}

}  // namespace

void InsertRows(SheetFeatures& f, int row, int count, int col1, int col2) {
  Apply(f, Edit{true, row, count, col1, col2, true});
}
void DeleteRows(SheetFeatures& f, int row, int count, int col1, int col2) {
  Apply(f, Edit{true, row, count, col1, col2, false});
}
void InsertCols(SheetFeatures& f, int col, int count, int row1, int row2) {
  Apply(f, Edit{false, col, count, row1, row2, true});
}
void DeleteCols(SheetFeatures& f, int col, int count, int row1, int row2) {
  Apply(f, Edit{false, col, count, row1, row2, false});
}

void MoveBlock(SheetFeatures& f, const CellRange& block, int dRow, int dCol) {
  CellRange dest{block.row1 + dRow, block.col1 + dCol, block.row2 + dRow, block.col2 + dCol};
  auto inside = [](const CellRange& r, const CellRange& b) {
    return r.row1 >= b.row1 && r.row2 <= b.row2 && r.col1 >= b.col1 && r.col2 <= b.col2;
  };
  // What the block lands on is replaced; what lies in the block goes with it.
  std::erase_if(f.comments, [&](const Comment& c) {
    return dest.Contains(c.row, c.col) && !block.Contains(c.row, c.col);
  });
  std::erase_if(f.links, [&](const Hyperlink& l) {
    return inside(l.range, dest) && !inside(l.range, block);
  });
  std::erase_if(f.merges, [&](const CellRange& m) { return inside(m, dest) && !inside(m, block); });
  auto move = [&](CellRange& r) {
    if (!inside(r, block)) return;
    r.row1 += dRow;
    r.row2 += dRow;
    r.col1 += dCol;
    r.col2 += dCol;
  };
  ForEachItemRange(f, move);
  for (Comment& c : f.comments)
    if (block.Contains(c.row, c.col)) {
      c.row += dRow;
      c.col += dCol;
    }
}

void SortRows(SheetFeatures& f, int row1, int col1, int col2, const std::vector<int>& order) {
  Reorder(f, true, row1, col1, col2, order);
}
void SortCols(SheetFeatures& f, int col1, int row1, int row2, const std::vector<int>& order) {
  Reorder(f, false, col1, row1, row2, order);
}

void ShiftForNamesRow(SheetFeatures& f, int delta) {
  // Taking the names row out moves row 1 onto the heading row (0); putting it back moves every
  // row, the heading row included, down one.
  auto shift = [&](int& r) {
    if (delta < 0 ? r >= 1 : r >= 0) r += delta;
  };
  auto range = [&](CellRange& r) {
    shift(r.row1);
    shift(r.row2);
  };
  ForEachItemRange(f, range);
  for (Comment& c : f.comments) shift(c.row);
  for (CarriedShape& s : f.drawings)
    if (s.anchored) {
      shift(s.row1);
      shift(s.row2);
    }
  if (f.filter.on || f.filter.named) range(f.filter.range);
  for (CellRange& r : f.page.printArea) range(r);
  for (int& b : f.page.rowBreaks) shift(b);
  if (f.page.titleRow1 >= 0 && f.page.titleRow2 >= 0) {
    shift(f.page.titleRow1);
    shift(f.page.titleRow2);
  }
  SheetView& v = f.view;
  // 0 means "no split" for these two.
  if (v.splitRow > 0) v.splitRow = std::max(0, v.splitRow + delta);
  if (v.paneRow > 0) v.paneRow = std::max(0, v.paneRow + delta);
  shift(v.topRow);
}

}  // namespace engine::features
