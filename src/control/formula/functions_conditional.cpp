// Aggregates over chosen cells: SUBTOTAL, the multi-criteria family (COUNTIFS, SUMIFS,
// AVERAGEIFS, AVERAGEIF) and RANK.
#include <algorithm>
#include <cmath>
#include <vector>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/model/sheet.h"

namespace engine::formula {

namespace {

constexpr int kSubtotalNumber = 344;

bool IsSubtotalCell(const Sheet& sheet, int row, int col) {
  const CellSlot* s = sheet.Find(row, col);
  if (!s || s->kind != CellKind::Formula) return false;
  const FormulaCell& f = sheet.Formula(*s);
  if (!f.expr) return false;
  for (const Token& t : f.expr->Tokens())
    if (t.kind == TokenKind::Func && t.func == kSubtotalNumber) return true;
  return false;
}

// SUBTOTAL(function, ref …): 1 AVERAGE, 2 COUNT, 3 COUNTA, 4 MAX, 5 MIN, 6 PRODUCT, 7 STDEV,
// 8 STDEVP, 9 SUM, 10 VAR, 11 VARP; 101 … 111 the same leaving out hidden rows. Cells that
// are themselves subtotals are left out, so that subtotals of subtotals do not count twice.
Operand Subtotal(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(fn, args[0]);
  fn = std::trunc(fn);
  bool skipHidden = fn > 100;
  int kind = static_cast<int>(skipHidden ? fn - 100 : fn);
  if (kind < 1 || kind > 11) return Operand::Err(ErrorValue::Value);
  bool counting = kind == 2 || kind == 3;
  std::vector<double> nums;
  double filled = 0;
  bool failed = false;
  ErrorValue err = ErrorValue::Value;
  for (Operand& a : args.subspan(1)) {
    if (a.IsMissing()) continue;
    if (!a.IsRef()) {
      if (a.IsError()) return a;
      return Operand::Err(ErrorValue::Value);
    }
    auto each = [&](const Area& area) {
      ev.ForEachCell(area, [&](int r, int c, const Value& v) {
        if (failed) return;
        if (skipHidden && area.sheet->GetRowAttr(r).hidden) return;
        if (IsSubtotalCell(*area.sheet, r, c)) return;
        if (v.IsError() && !counting) {
          failed = true, err = v.error;
          return;
        }
        if (!v.IsEmpty()) ++filled;
        if (v.IsNumber()) nums.push_back(v.number);
      });
    };
    each(a.area);
    for (const Area& m : a.more) each(m);
    if (failed) return Operand::Err(err);
  }
  double n = static_cast<double>(nums.size());
  double sum = 0;
  for (double x : nums) sum += x;
  auto variance = [&](bool sample) -> Operand {
    if (n < (sample ? 2 : 1)) return Operand::Err(ErrorValue::Div0);
    double mean = sum / n, ss = 0;
    for (double x : nums) ss += (x - mean) * (x - mean);
    return Operand::Num(ss / (sample ? n - 1 : n));
  };
  switch (kind) {
    case 1:
      return n ? Operand::Num(sum / n) : Operand::Err(ErrorValue::Div0);
    case 2:
      return Operand::Num(n);
    case 3:
      return Operand::Num(filled);
    case 4:
      return Operand::Num(nums.empty() ? 0 : *std::max_element(nums.begin(), nums.end()));
    case 5:
      return Operand::Num(nums.empty() ? 0 : *std::min_element(nums.begin(), nums.end()));
    case 6: {
      if (nums.empty()) return Operand::Num(0);
      double p = 1;
      for (double x : nums) p *= x;
      return std::isfinite(p) ? Operand::Num(p) : Operand::Err(ErrorValue::Num);
    }
    case 7:
    case 8: {
      Operand v = variance(kind == 7);
      if (v.IsError()) return v;
      return Operand::Num(std::sqrt(v.value.number));
    }
    case 9:
      return std::isfinite(sum) ? Operand::Num(sum) : Operand::Err(ErrorValue::Num);
    case 10:
      return variance(true);
    default:
      return variance(false);
  }
}

// The criteria pairs of the IFS family and the cells they pick: every (row, col) offset of the
// common shape whose cells satisfy all criteria.
struct Criteria {
  std::vector<Area> areas;
  std::vector<Criterion> tests;
};

// Collects (range, criterion) pairs from args; #VALUE! when a range is not a reference or the
// shapes differ from `shape` (the first range's when shape is null).
bool ReadCriteria(Evaluator& ev, std::span<Operand> args, Criteria& out, ErrorValue& err) {
  for (std::size_t i = 0; i + 1 < args.size(); i += 2) {
    if (args[i].IsError()) {
      err = args[i].value.error;
      return false;
    }
    if (!args[i].IsRef() || !args[i].more.empty()) {
      err = ErrorValue::Value;
      return false;
    }
    const Area& a = args[i].area;
    if (!out.areas.empty() &&
        (a.Rows() != out.areas[0].Rows() || a.Cols() != out.areas[0].Cols())) {
      err = ErrorValue::Value;
      return false;
    }
    out.areas.push_back(a);
    out.tests.emplace_back(ev, ev.Scalar(args[i + 1]));
  }
  return true;
}

// Calls pick(rowOffset, colOffset) for each matching offset within the used part of the areas
// (and of `extra`), and returns how many matching offsets lie beyond it (all their cells are
// empty).
template <typename F>
double ForEachMatch(Evaluator& ev, const Criteria& c, const Area* extra, F&& pick) {
  const Area& shape = c.areas[0];
  // Past the last used row of every column involved, every cell is empty.
  int extent = 0;
  auto widen = [&](const Area& a) {
    for (int col = a.c1; col <= a.c2; ++col)
      extent = std::max(extent, a.sheet->Col(col).LastUsedRow() - a.r1 + 1);
  };
  for (const Area& a : c.areas) widen(a);
  if (extra) widen(*extra);
  extent = std::clamp(extent, 0, shape.Rows());
  for (int i = 0; i < extent; ++i)
    for (int j = 0; j < shape.Cols(); ++j) {
      bool all = true;
      for (std::size_t k = 0; k < c.areas.size() && all; ++k)
        all = c.tests[k].Matches(
            ev.CellValue(*c.areas[k].sheet, c.areas[k].r1 + i, c.areas[k].c1 + j));
      if (all) pick(i, j);
    }
  for (const Criterion& t : c.tests)
    if (!t.MatchesEmpty()) return 0;
  return double(shape.Rows() - extent) * shape.Cols();
}

// Sum and count of the numbers of `target` at the matching offsets.
Operand SumCount(Evaluator& ev, const Criteria& c, const Area& target, bool average) {
  double sum = 0, count = 0;
  bool failed = false;
  ErrorValue err = ErrorValue::Value;
  ForEachMatch(ev, c, &target, [&](int i, int j) {
    int r = target.r1 + i, col = target.c1 + j;
    if (failed || r > kMaxRow || col > kMaxCol) return;
    Value v = ev.CellValue(*target.sheet, r, col);
    if (v.IsError())
      failed = true, err = v.error;
    else if (v.IsNumber())
      sum += v.number, ++count;
  });
  if (failed) return Operand::Err(err);
  if (!average) return Operand::Num(sum);
  if (count == 0) return Operand::Err(ErrorValue::Div0);
  return Operand::Num(sum / count);
}

Operand CountIfs(Evaluator& ev, std::span<Operand> args) {
  if (args.size() % 2) return Operand::Err(ErrorValue::Value);
  Criteria c;
  ErrorValue e;
  if (!ReadCriteria(ev, args, c, e)) return Operand::Err(e);
  double n = 0;
  double beyond = ForEachMatch(ev, c, nullptr, [&](int, int) { ++n; });
  return Operand::Num(n + beyond);
}

Operand SumAverageIfs(Evaluator& ev, std::span<Operand> args, bool average) {
  if (args.size() % 2 == 0) return Operand::Err(ErrorValue::Value);
  if (args[0].IsError()) return args[0];
  if (!args[0].IsRef()) return Operand::Err(ErrorValue::Value);
  Criteria c;
  ErrorValue e;
  if (!ReadCriteria(ev, args.subspan(1), c, e)) return Operand::Err(e);
  const Area& target = args[0].area;
  if (target.Rows() != c.areas[0].Rows() || target.Cols() != c.areas[0].Cols())
    return Operand::Err(ErrorValue::Value);
  return SumCount(ev, c, target, average);
}
Operand SumIfs(Evaluator& ev, std::span<Operand> a) { return SumAverageIfs(ev, a, false); }
Operand AverageIfs(Evaluator& ev, std::span<Operand> a) { return SumAverageIfs(ev, a, true); }

Operand AverageIf(Evaluator& ev, std::span<Operand> args) {
  Criteria c;
  ErrorValue e;
  if (!ReadCriteria(ev, args.first(2), c, e)) return Operand::Err(e);
  Area target = c.areas[0];
  if (Given(args, 2)) {
    if (!args[2].IsRef()) return Operand::Err(ErrorValue::Value);
    // The averaged cells take the criteria range's shape from their top-left cell.
    const Area& t = args[2].area;
    target.sheet = t.sheet;
    target.r1 = t.r1, target.c1 = t.c1;
    target.r2 = std::min(kMaxRow, t.r1 + c.areas[0].Rows() - 1);
    target.c2 = std::min(kMaxCol, t.c1 + c.areas[0].Cols() - 1);
  }
  return SumCount(ev, c, target, true);
}

Operand Rank(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (args[1].IsError()) return args[1];
  if (!args[1].IsRef()) return Operand::Err(ErrorValue::Value);
  double order = 0;
  ErrorValue e;
  if (Given(args, 2) && !ev.ArgNumber(args[2], order, e)) return Operand::Err(e);
  double before = 0;
  bool found = false;
  ev.ForEachValue(args[1], [&](const Value& v, bool) {
    if (!v.IsNumber()) return;
    if (v.number == x) found = true;
    if (order == 0 ? v.number > x : v.number < x) ++before;
  });
  if (!found) return Operand::Err(ErrorValue::NA);
  return Operand::Num(before + 1);
}

constexpr int kMany = 30;

constexpr FunctionInfo kConditional[] = {
    {"RANK", 216, 2, 3, false, Rank},
    {"SUBTOTAL", kSubtotalNumber, 2, kMany, false, Subtotal},
    {"AVERAGEIF", 0x4000 + 7, 2, 3, false, AverageIf},
    {"AVERAGEIFS", 0x4000 + 8, 3, 255, false, AverageIfs},
    {"COUNTIFS", 0x4000 + 9, 2, 255, false, CountIfs},
    {"SUMIFS", 0x4000 + 10, 3, 255, false, SumIfs},
};

}  // namespace

std::span<const FunctionInfo> ConditionalFunctions() { return kConditional; }

}  // namespace engine::formula
