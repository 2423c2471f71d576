// Database functions: a table with a heading row, a field chosen by heading or position, and
// a criteria block whose headings name fields; the rows of the criteria block are
// alternatives, the filled cells of one row must all hold.
#include <algorithm>
#include <cmath>
#include <vector>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/model/sheet.h"

namespace engine::formula {

namespace {

// The values of `field` in the records the criteria pick; false with err when an argument is
// not usable.
bool PickRecords(Evaluator& ev, std::span<Operand> args, std::vector<Value>& out, ErrorValue& err) {
  for (int i : {0, 2})
    if (args[i].IsError()) {
      err = args[i].value.error;
      return false;
    }
  if (!args[0].IsRef() || !args[2].IsRef() || !args[0].more.empty() || !args[2].more.empty()) {
    err = ErrorValue::Value;
    return false;
  }
  const Area& db = args[0].area;
  const Area& cr = args[2].area;
  auto columnOf = [&](const Value& heading) {
    std::string name;
    ErrorValue e;
    if (!ev.ToText(heading, name, e) || name.empty()) return -1;
    for (int c = db.c1; c <= db.c2; ++c) {
      Value h = ev.CellValue(*db.sheet, db.r1, c);
      std::string text;
      if (ev.ToText(h, text, e) && ToUpperAscii(text) == ToUpperAscii(name)) return c;
    }
    return -1;
  };
  // The field: a heading or a 1-based column number.
  Value f = ev.Scalar(args[1]);
  int field = -1;
  if (f.IsNumber()) {
    double n = std::trunc(f.number);
    if (n >= 1 && n <= db.Cols()) field = db.c1 + static_cast<int>(n) - 1;
  } else if (f.IsText()) {
    field = columnOf(f);
  } else if (f.IsError()) {
    err = f.error;
    return false;
  }
  if (field < 0 || cr.Rows() < 2) {
    err = ErrorValue::Value;
    return false;
  }
  // Criteria: for each condition row, (database column, test) pairs.
  std::vector<std::vector<std::pair<int, Criterion>>> alternatives;
  for (int r = cr.r1 + 1; r <= cr.r2; ++r) {
    std::vector<std::pair<int, Criterion>> row;
    for (int c = cr.c1; c <= cr.c2; ++c) {
      Value cond = ev.CellValue(*cr.sheet, r, c);
      if (cond.IsEmpty()) continue;
      int col = columnOf(ev.CellValue(*cr.sheet, cr.r1, c));
      if (col < 0) {
        err = ErrorValue::Value;
        return false;
      }
      row.emplace_back(col, Criterion(ev, cond));
    }
    alternatives.push_back(std::move(row));
  }
  // Past the last used row of the table's columns there are only empty records.
  int last = db.r1;
  for (int c = db.c1; c <= db.c2; ++c) last = std::max(last, db.sheet->Col(c).LastUsedRow());
  last = std::min(last, db.r2);
  for (int r = db.r1 + 1; r <= last; ++r) {
    bool any = false;
    for (const auto& row : alternatives) {
      bool all = true;
      for (const auto& [col, test] : row)
        if (!(all = test.Matches(ev.CellValue(*db.sheet, r, col)))) break;
      if (all) {
        any = true;
        break;
      }
    }
    if (any) out.push_back(ev.CellValue(*db.sheet, r, field));
  }
  return true;
}

enum Kind { kSum, kCount, kCountA, kAverage, kMin, kMax, kProduct, kStdev, kStdevP, kVar, kVarP };

template <Kind K>
Operand Database(Evaluator& ev, std::span<Operand> args) {
  std::vector<Value> values;
  ErrorValue err = ErrorValue::Value;
  if (!PickRecords(ev, args, values, err)) return Operand::Err(err);
  if (K == kCountA) {
    double n = 0;
    for (const Value& v : values) n += !v.IsEmpty() && !(v.IsText() && v.text.empty());
    return Operand::Num(n);
  }
  std::vector<double> x;
  for (const Value& v : values)
    if (v.IsNumber()) x.push_back(v.number);
  double n = static_cast<double>(x.size()), s = 0;
  for (double d : x) s += d;
  switch (K) {
    case kSum:
      return Operand::Num(s);
    case kCount:
      return Operand::Num(n);
    case kAverage:
      return n ? Operand::Num(s / n) : Operand::Err(ErrorValue::Div0);
    case kMin:
      return Operand::Num(x.empty() ? 0 : *std::min_element(x.begin(), x.end()));
    case kMax:
      return Operand::Num(x.empty() ? 0 : *std::max_element(x.begin(), x.end()));
    case kProduct: {
      double p = x.empty() ? 0 : 1;
      for (double d : x) p *= d;
      return std::isfinite(p) ? Operand::Num(p) : Operand::Err(ErrorValue::Num);
    }
    default: {
      bool sample = K == kStdev || K == kVar;
      if (n < (sample ? 2 : 1)) return Operand::Err(ErrorValue::Div0);
      double m = s / n, ss = 0;
      for (double d : x) ss += (d - m) * (d - m);
      double var = ss / (sample ? n - 1 : n);
      return Operand::Num(K == kStdev || K == kStdevP ? std::sqrt(var) : var);
    }
  }
}

Operand DGet(Evaluator& ev, std::span<Operand> args) {
  std::vector<Value> values;
  ErrorValue err = ErrorValue::Value;
  if (!PickRecords(ev, args, values, err)) return Operand::Err(err);
  if (values.empty()) return Operand::Err(ErrorValue::Value);
  if (values.size() > 1) return Operand::Err(ErrorValue::Num);
  return Operand::Of(values[0].IsEmpty() ? Value::Number(0) : values[0]);
}

constexpr FunctionInfo kDatabase[] = {
    {"DCOUNT", 40, 3, 3, false, Database<kCount>},
    {"DSUM", 41, 3, 3, false, Database<kSum>},
    {"DAVERAGE", 42, 3, 3, false, Database<kAverage>},
    {"DMIN", 43, 3, 3, false, Database<kMin>},
    {"DMAX", 44, 3, 3, false, Database<kMax>},
    {"DSTDEV", 45, 3, 3, false, Database<kStdev>},
    {"DVAR", 47, 3, 3, false, Database<kVar>},
    {"DPRODUCT", 189, 3, 3, false, Database<kProduct>},
    {"DSTDEVP", 195, 3, 3, false, Database<kStdevP>},
    {"DVARP", 196, 3, 3, false, Database<kVarP>},
    {"DCOUNTA", 199, 3, 3, false, Database<kCountA>},
    {"DGET", 235, 3, 3, false, DGet},
};

}  // namespace

std::span<const FunctionInfo> DatabaseFunctions() { return kDatabase; }

}  // namespace engine::formula
