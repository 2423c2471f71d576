#include "control/sheet_features.h"

#include <algorithm>
#include <utility>

#include "control/model/carried_refs.h"
#include "control/model/ref_edits.h"
#include "control/model/sheet.h"
#include "control/model/token_refs.h"

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

// A rule record: type, operator, the two formulas' lengths, its format blocks, the formulas.
// Calls fn(tokens, size) on each formula.
template <typename Fn>
void ForEachRuleFormula(RecordBytes& rule, Fn&& fn) {
  if (rule.size() < 12) return;
  const std::size_t cce1 = rule[2] | (rule[3] << 8), cce2 = rule[4] | (rule[5] << 8);
  const std::uint32_t flags = static_cast<std::uint32_t>(rule[6]) | (rule[7] << 8) |
                              (rule[8] << 16) | (static_cast<std::uint32_t>(rule[9]) << 24);
  if (flags & 0x42000000u) return;  // number format or protection blocks: not this form's
  std::size_t at = 12 + ((flags & 0x04000000u) ? 118 : 0) + ((flags & 0x10000000u) ? 8 : 0) +
                   ((flags & 0x20000000u) ? 4 : 0);
  if (at + cce1 + cce2 > rule.size()) return;
  fn(rule.data() + at, cce1);
  fn(rule.data() + at + cce1, cce2);
}

// Every formula of a conditional format: its rule records' and its extended rules'.
template <typename Fn>
void ForEachFormula(ConditionalFormat& c, Fn&& fn) {
  for (RecordBytes& rule : c.rules) ForEachRuleFormula(rule, fn);
  for (ExtendedRule& rule : c.extended)
    for (RuleFormula& formula : rule.formulas) fn(formula.tokens.data(), formula.tokens.size());
}

}  // namespace

void MapTokens(std::uint8_t* t, std::size_t size, const Edit& e, int rowOffset,
               const std::vector<bool>* entries) {
  ForEachRef(t, size, rowOffset, entries,
             [&](CellRange& r, unsigned&, unsigned&) { return MapRange(r, e); });
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
    ForEachFormula(c, [&](std::uint8_t* t, std::size_t n) {
      MapTokens(t, n, e, c.tokenRowOffset, nullptr);
    });
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

// The ranges of the items that follow their cells (the conditional formats' too, unless a
// caller moves those with their formulas itself).
template <typename Fn>
void ForEachItemRange(SheetFeatures& f, Fn&& fn, bool formats = true) {
  for (CellRange& r : f.merges) fn(r);
  for (Hyperlink& l : f.links) fn(l.range);
  for (ValidationRule& v : f.validations)
    for (CellRange& r : v.ranges) fn(r);
  if (formats)
    for (ConditionalFormat& c : f.conditional)
      for (CellRange& r : c.ranges) fn(r);
}

// A format's formulas are written for the top-left cell of its first range (as readers of both
// file forms take them).
CellRange Anchor(const std::vector<CellRange>& ranges) {
  return ranges.empty() ? CellRange{} : ranges.front();
}

// A format's ranges follow their lines, and its formulas move with its cells as a cell's
// formulas do: relative references keep their distance. Ranges that move apart go into formats
// of their own, one per distance moved, each with its formulas written for its own first cell.
void SortConditional(std::vector<ConditionalFormat>& formats, const LineOrder& o) {
  std::vector<ConditionalFormat> out;
  for (ConditionalFormat& c : formats) {
    const CellRange before = Anchor(c.ranges);
    std::vector<std::pair<int, std::vector<CellRange>>> parts;  // distance moved, ranges
    for (CellRange r : c.ranges) {
      const int moved = o.Follow(r);
      auto part = std::find_if(parts.begin(), parts.end(), [&](auto& p) { return p.first == moved; });
      if (part == parts.end()) part = parts.insert(parts.end(), {moved, {}});
      part->second.push_back(r);
    }
    if (parts.empty()) parts.push_back({0, c.ranges});
    for (auto& part : parts) {
      ConditionalFormat piece = parts.size() == 1 ? std::move(c) : c;
      piece.ranges = std::move(part.second);
      const CellRange after = Anchor(piece.ranges);
      ForEachFormula(piece, [&](std::uint8_t* t, std::size_t n) {
        ShiftRelativeTokens(t, n, after.row1 - before.row1, after.col1 - before.col1,
                            piece.tokenRowOffset);
      });
      out.push_back(std::move(piece));
    }
  }
  formats = std::move(out);
}

void Reorder(SheetFeatures& f, const LineOrder& o) {
  SortConditional(f.conditional, o);
  ForEachItemRange(f, [&](CellRange& r) { o.Follow(r); }, false);
  for (Comment& c : f.comments) {
    CellRange r{c.row, c.col, c.row, c.col};
    o.Follow(r);
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
    ForEachFormula(c, [&](std::uint8_t* t, std::size_t n) {
      MoveTokens(t, n, BlockMove{block, dRow, dCol}, c.tokenRowOffset, nullptr);
    });
  for (Comment& c : f.comments)
    if (block.Contains(c.row, c.col)) {
      c.row += dRow;
      c.col += dCol;
    }
}

void SortRows(SheetFeatures& f, int row1, int col1, int col2, const std::vector<int>& order) {
  Reorder(f, LineOrder::Of(true, row1, col1, col2, order));
}
void SortCols(SheetFeatures& f, int col1, int row1, int row2, const std::vector<int>& order) {
  Reorder(f, LineOrder::Of(false, col1, row1, row2, order));
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
