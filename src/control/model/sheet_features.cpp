#include "control/sheet_features.h"

#include <algorithm>

#include "control/model/carried_refs.h"
#include "control/model/sheet.h"

namespace engine::features {

namespace {

using Edit = LineEdit;

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

// Calls fn(range, bits1, bits2) for each reference of BIFF8 tokens that names the sheet's
// cells, rows numbered token row + rowOffset, the relative bits (0x4000 row, 0x8000 column)
// of each end beside it; fn changes the range, or returns false to make it #REF!. Without
// `entries` the plain references name the sheet (a rule's formulas); with them the 3-D
// references through the marked sheet-reference entries do. Tokens this does not know end the
// walk, leaving the rest as it was.
template <typename Fn>
void ForEachRef(std::uint8_t* t, std::size_t size, int rowOffset, const std::vector<bool>* entries,
                Fn&& fn) {
  auto get = [&](std::size_t at) { return static_cast<int>(t[at] | (t[at + 1] << 8)); };
  auto put = [&](std::size_t at, int v) {
    t[at] = static_cast<std::uint8_t>(v & 0xFF);
    t[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  };
  for (std::size_t i = 0; i < size;) {
    std::uint8_t& ptg = t[i];
    const unsigned base = ptg & 0x1F;
    std::size_t len = 0;
    if (ptg < 0x20) {
      if (ptg >= 0x03 && ptg <= 0x16) len = 1;
      else if (ptg == 0x1C || ptg == 0x1D) len = 2;
      else if (ptg == 0x1E) len = 3;
      else if (ptg == 0x1F) len = 9;
      else if (ptg == 0x17 && i + 2 < size)
        len = 3 + static_cast<std::size_t>(t[i + 1]) * ((t[i + 2] & 1) ? 2 : 1);
      else if (ptg == 0x19 && i + 3 < size)
        len = 4 + ((t[i + 1] & 0x04) ? 2 * (static_cast<std::size_t>(get(i + 2)) + 1) : 0);
      else
        return;
    } else {
      switch (base) {
        case 0x01: len = 3; break;
        case 0x02: len = 4; break;
        case 0x03: len = 5; break;
        case 0x04: case 0x0A: len = 5; break;
        case 0x05: case 0x0B: len = 9; break;
        case 0x19: case 0x1A: case 0x1C: len = 7; break;
        case 0x1B: case 0x1D: len = 11; break;
        default: return;
      }
    }
    if (len > size - i) return;
    const bool plain = !entries && ptg >= 0x20 && (base == 0x04 || base == 0x05);
    const bool onSheet = entries && ptg >= 0x20 && (base == 0x1A || base == 0x1B) &&
                         static_cast<std::size_t>(get(i + 1)) < entries->size() &&
                         (*entries)[static_cast<std::size_t>(get(i + 1))];
    if (plain || onSheet) {
      const bool area = base == 0x05 || base == 0x1B;
      const std::size_t at = i + (onSheet ? 3 : 1);  // a 3-D reference names its sheet first
      const std::size_t colAt = at + (area ? 4 : 2);
      const unsigned bits1 = static_cast<unsigned>(get(colAt)) & 0xC000;
      const unsigned bits2 = area ? static_cast<unsigned>(get(colAt + 2)) & 0xC000 : bits1;
      CellRange r{get(at) + rowOffset, (get(colAt) & 0xFF) + 1, get(at + (area ? 2 : 0)) + rowOffset,
                  (get(area ? colAt + 2 : colAt) & 0xFF) + 1};
      if (!fn(r, bits1, bits2) || r.row1 - rowOffset < 0 || r.row2 - rowOffset > 0xFFFF ||
          r.col1 < 1 || r.col2 > kMaxCol || (!area && (r.row1 != r.row2 || r.col1 != r.col2))) {
        const unsigned error = onSheet ? (area ? 0x1D : 0x1C) : (area ? 0x0B : 0x0A);
        ptg = static_cast<std::uint8_t>((ptg & 0x60) | error);
      } else {
        put(at, r.row1 - rowOffset);
        if (area) put(at + 2, r.row2 - rowOffset);
        put(colAt, static_cast<int>(static_cast<unsigned>(r.col1 - 1) | bits1));
        if (area) put(colAt + 2, static_cast<int>(static_cast<unsigned>(r.col2 - 1) | bits2));
      }
    }
    i += len;
  }
}

// A rule record: type, operator, the two formulas' lengths, its format blocks, the formulas.
// Calls ForEachRef on each formula.
template <typename Fn>
void ForEachRuleRef(RecordBytes& rule, int rowOffset, Fn&& fn) {
  if (rule.size() < 12) return;
  const std::size_t cce1 = rule[2] | (rule[3] << 8), cce2 = rule[4] | (rule[5] << 8);
  const std::uint32_t flags = static_cast<std::uint32_t>(rule[6]) | (rule[7] << 8) |
                              (rule[8] << 16) | (static_cast<std::uint32_t>(rule[9]) << 24);
  if (flags & 0x42000000u) return;  // number format or protection blocks: not this form's
  std::size_t at = 12 + ((flags & 0x04000000u) ? 118 : 0) + ((flags & 0x10000000u) ? 8 : 0) +
                   ((flags & 0x20000000u) ? 4 : 0);
  if (at + cce1 + cce2 > rule.size()) return;
  ForEachRef(rule.data() + at, cce1, rowOffset, nullptr, fn);
  ForEachRef(rule.data() + at + cce1, cce2, rowOffset, nullptr, fn);
}

void MapRule(RecordBytes& rule, const Edit& e, int rowOffset) {
  ForEachRuleRef(rule, rowOffset, [&](CellRange& r, unsigned, unsigned) { return MapRange(r, e); });
}

}  // namespace

void MapTokens(std::uint8_t* t, std::size_t size, const Edit& e, int rowOffset,
               const std::vector<bool>* entries) {
  ForEachRef(t, size, rowOffset, entries,
             [&](CellRange& r, unsigned, unsigned) { return MapRange(r, e); });
}

namespace {

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
  std::erase_if(f.conditional, [&](ConditionalFormat& c) {
    if (!MapRanges(c.ranges, e)) return true;
    for (RecordBytes& rule : c.rules) MapRule(rule, e, c.tokenRowOffset);
    for (ExtendedRule& rule : c.extended)
      for (RuleFormula& formula : rule.formulas)
        MapTokens(formula.tokens.data(), formula.tokens.size(), e, c.tokenRowOffset, nullptr);
    return false;
  });
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
      std::erase_if(f.filter.extended, [&](ExtendedFilter& x) {
        int col = before.col1 + x.column;
        if (!MapPoint(col, e)) return true;
        x.column = col - f.filter.range.col1;
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
  // A rule's formulas move with its one range as a cell's formulas move with the cell: their
  // relative references keep their distance.
  const unsigned relative = rows ? 0x4000 : 0x8000;
  for (ConditionalFormat& c : f.conditional) {
    if (c.ranges.size() != 1) continue;
    CellRange moved = c.ranges[0];
    follow(moved);
    const int delta = Along1(moved, rows) - Along1(c.ranges[0], rows);
    if (delta == 0) continue;
    for (RecordBytes& rule : c.rules)
      ForEachRuleRef(rule, c.tokenRowOffset, [&](CellRange& r, unsigned bits1, unsigned bits2) {
        if (bits1 & relative) Along1(r, rows) += delta;
        if (bits2 & relative) Along2(r, rows) += delta;
        return Along1(r, rows) >= 1 && Along2(r, rows) <= (rows ? kMaxRow : kMaxCol);
      });
  }
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
  // The cells a rule's formulas name move with the block, each end of a range on its own, as
  // cell formulas' references do.
  for (ConditionalFormat& c : f.conditional)
    for (RecordBytes& rule : c.rules)
      ForEachRuleRef(rule, c.tokenRowOffset, [&](CellRange& r, unsigned, unsigned) {
        if (block.Contains(r.row1, r.col1)) r.row1 += dRow, r.col1 += dCol;
        if (block.Contains(r.row2, r.col2)) r.row2 += dRow, r.col2 += dCol;
        if (r.row1 > r.row2) std::swap(r.row1, r.row2);
        if (r.col1 > r.col2) std::swap(r.col1, r.col2);
        return true;
      });
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
  for (ConditionalFormat& c : f.conditional) c.tokenRowOffset += delta;
  f.carriedRowOffset += delta;
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
