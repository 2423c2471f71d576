// Math and aggregate functions.
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <random>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/model/sheet.h"

namespace engine::formula {

namespace {

// The numbers an aggregate sees: numbers in references; numbers, logicals and numeric text
// given directly. Errors anywhere propagate.
template <typename F>
bool Numbers(Evaluator& ev, std::span<Operand> args, ErrorValue& err, F&& f) {
  bool ok = true;
  for (Operand& a : args) {
    ev.ForEachValue(a, [&](const Value& v, bool fromRef) {
      if (!ok) return;
      if (v.IsError()) {
        err = v.error;
        ok = false;
        return;
      }
      if (v.IsNumber()) {
        f(v.number);
        return;
      }
      if (fromRef) return;
      double n;
      ErrorValue e;
      if (!ev.ToNumber(v, n, e)) {
        err = e;
        ok = false;
        return;
      }
      f(n);
    });
    if (!ok) return false;
  }
  return true;
}

Operand Sum(Evaluator& ev, std::span<Operand> args) {
  double s = 0;
  ErrorValue e;
  if (!Numbers(ev, args, e, [&](double n) { s += n; })) return Operand::Err(e);
  return std::isfinite(s) ? Operand::Num(s) : Operand::Err(ErrorValue::Num);
}

Operand Product(Evaluator& ev, std::span<Operand> args) {
  double p = 1;
  int count = 0;
  ErrorValue e;
  if (!Numbers(ev, args, e, [&](double n) { p *= n, ++count; })) return Operand::Err(e);
  if (!count) return Operand::Num(0);
  return std::isfinite(p) ? Operand::Num(p) : Operand::Err(ErrorValue::Num);
}

Operand Average(Evaluator& ev, std::span<Operand> args) {
  double s = 0;
  int count = 0;
  ErrorValue e;
  if (!Numbers(ev, args, e, [&](double n) { s += n, ++count; })) return Operand::Err(e);
  if (!count) return Operand::Err(ErrorValue::Div0);
  return Operand::Num(s / count);
}

Operand MinMax(Evaluator& ev, std::span<Operand> args, bool max) {
  double best = 0;
  bool any = false;
  ErrorValue e;
  if (!Numbers(ev, args, e, [&](double n) {
        if (!any || (max ? n > best : n < best)) best = n;
        any = true;
      }))
    return Operand::Err(e);
  return Operand::Num(best);
}
Operand Min(Evaluator& ev, std::span<Operand> a) { return MinMax(ev, a, false); }
Operand Max(Evaluator& ev, std::span<Operand> a) { return MinMax(ev, a, true); }

Operand Count(Evaluator& ev, std::span<Operand> args) {
  double n = 0;
  for (Operand& a : args)
    ev.ForEachValue(a, [&](const Value& v, bool fromRef) {
      if (v.IsNumber()) ++n;
      else if (!fromRef && v.IsLogical()) ++n;
      else if (!fromRef && v.IsText()) {
        double d;
        ErrorValue e;
        if (ev.ToNumber(v, d, e)) ++n;
      }
    });
  return Operand::Num(n);
}

Operand CountA(Evaluator& ev, std::span<Operand> args) {
  double n = 0;
  for (Operand& a : args) {
    if (a.IsMissing()) continue;
    ev.ForEachValue(a, [&](const Value& v, bool) {
      if (!v.IsEmpty()) ++n;
    });
  }
  return Operand::Num(n);
}

Operand CountBlank(Evaluator& ev, std::span<Operand> args) {
  if (!args[0].IsRef()) return Operand::Err(ErrorValue::Value);
  const Area& a = args[0].area;
  double filled = 0;
  ev.ForEachCell(a, [&](int, int, const Value& v) {
    if (!(v.IsEmpty() || (v.IsText() && v.text.empty()))) ++filled;
  });
  return Operand::Num(double(a.Rows()) * a.Cols() - filled);
}

// Cells of a criteria area with the values of a same-shaped area at an offset.
Operand CountIf(Evaluator& ev, std::span<Operand> args) {
  if (!args[0].IsRef()) return Operand::Err(ErrorValue::Value);
  Value c = ev.Scalar(args[1]);
  Criterion crit(ev, c);
  const Area& a = args[0].area;
  double n = 0, filled = 0;
  ev.ForEachCell(a, [&](int, int, const Value& v) {
    ++filled;
    if (crit.Matches(v)) ++n;
  });
  if (crit.MatchesEmpty()) n += double(a.Rows()) * a.Cols() - filled;
  return Operand::Num(n);
}

Operand SumIf(Evaluator& ev, std::span<Operand> args) {
  if (!args[0].IsRef()) return Operand::Err(ErrorValue::Value);
  Criterion crit(ev, ev.Scalar(args[1]));
  const Area& a = args[0].area;
  Area target = a;
  if (Given(args, 2)) {
    if (!args[2].IsRef()) return Operand::Err(ErrorValue::Value);
    target = args[2].area;
  }
  double s = 0;
  ErrorValue err = ErrorValue::Null;
  bool failed = false;
  auto add = [&](int r, int c) {
    int tr = target.r1 + (r - a.r1), tc = target.c1 + (c - a.c1);
    if (tr > kMaxRow || tc > kMaxCol) return;
    Value v = ev.CellValue(*target.sheet, tr, tc);
    if (v.IsNumber()) s += v.number;
    else if (v.IsError() && !failed) failed = true, err = v.error;
  };
  if (crit.MatchesEmpty() && double(a.Rows()) * a.Cols() <= 1 << 20) {
    for (int c = a.c1; c <= a.c2; ++c)
      for (int r = a.r1; r <= a.r2; ++r)
        if (crit.Matches(ev.CellValue(*a.sheet, r, c))) add(r, c);
  } else {
    ev.ForEachCell(a, [&](int r, int c, const Value& v) {
      if (crit.Matches(v)) add(r, c);
    });
  }
  if (failed) return Operand::Err(err);
  return Operand::Num(s);
}

Operand SumProduct(Evaluator& ev, std::span<Operand> args) {
  std::vector<Operand> arrays;
  arrays.reserve(args.size());
  for (Operand& a : args) {
    if (a.IsError()) return a;
    arrays.push_back(ev.ToArray(a));
    const Operand& x = arrays.back();
    if (x.rows != arrays.front().rows || x.cols != arrays.front().cols)
      return Operand::Err(ErrorValue::Value);
  }
  // A union or an oversized area came back as one error value, given as the result below.
  double total = 0;
  for (std::size_t k = 0; k < arrays.front().items.size(); ++k) {
    double p = 1;
    for (const Operand& x : arrays) {
      const Value& v = x.items[k];
      if (v.IsError()) return Operand::Err(v.error);
      p *= v.IsNumber() ? v.number : 0;
    }
    total += p;
  }
  return Operand::Num(total);
}

Operand Round(Evaluator& ev, std::span<Operand> args, int mode) {
  DT_NUM(x, args[0]);
  DT_NUM(d, args[1]);
  return Operand::Num(RoundDigits(x, static_cast<int>(std::trunc(d)), mode));
}
Operand RoundF(Evaluator& ev, std::span<Operand> a) { return Round(ev, a, 0); }
Operand RoundUp(Evaluator& ev, std::span<Operand> a) { return Round(ev, a, 1); }
Operand RoundDown(Evaluator& ev, std::span<Operand> a) { return Round(ev, a, -1); }

Operand Trunc(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  double d = 0;
  if (Given(args, 1)) {
    ErrorValue e;
    if (!ev.ArgNumber(args[1], d, e)) return Operand::Err(e);
  }
  return Operand::Num(RoundDigits(x, static_cast<int>(std::trunc(d)), -1));
}

Operand Int(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  return Operand::Num(std::floor(x));
}

Operand Mod(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(a, args[0]);
  DT_NUM(b, args[1]);
  if (b == 0) return Operand::Err(ErrorValue::Div0);
  double r = a - b * std::floor(a / b);
  if (!std::isfinite(r)) return Operand::Err(ErrorValue::Num);
  return Operand::Num(r);
}

Operand Abs(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  return Operand::Num(std::fabs(x));
}

Operand Sign(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  return Operand::Num(x > 0 ? 1 : x < 0 ? -1 : 0);
}

Operand Sqrt(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x < 0) return Operand::Err(ErrorValue::Num);
  return Operand::Num(std::sqrt(x));
}

Operand Power(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(a, args[0]);
  DT_NUM(b, args[1]);
  if (a == 0 && b == 0) return Operand::Err(ErrorValue::Num);
  if (a == 0 && b < 0) return Operand::Err(ErrorValue::Div0);
  double r = std::pow(a, b);
  return std::isfinite(r) ? Operand::Num(r) : Operand::Err(ErrorValue::Num);
}

Operand Exp(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  double r = std::exp(x);
  return std::isfinite(r) ? Operand::Num(r) : Operand::Err(ErrorValue::Num);
}

Operand Ln(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x <= 0) return Operand::Err(ErrorValue::Num);
  return Operand::Num(std::log(x));
}

Operand Log10(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x <= 0) return Operand::Err(ErrorValue::Num);
  return Operand::Num(std::log10(x));
}

Operand Log(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  double base = 10;
  if (Given(args, 1)) {
    ErrorValue e;
    if (!ev.ArgNumber(args[1], base, e)) return Operand::Err(e);
  }
  if (x <= 0 || base <= 0) return Operand::Err(ErrorValue::Num);
  if (base == 1) return Operand::Err(ErrorValue::Div0);
  // Drop binary noise so that LOG(8,2) is exactly 3.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", std::log(x) / std::log(base));
  return Operand::Num(std::strtod(buf, nullptr));
}

Operand Pi(Evaluator&, std::span<Operand>) { return Operand::Num(3.14159265358979323846); }

std::mt19937_64& Random() {
  static std::mt19937_64 engine{std::random_device{}()};
  return engine;
}

Operand Rand(Evaluator&, std::span<Operand>) {
  return Operand::Num(std::uniform_real_distribution<double>(0.0, 1.0)(Random()));
}

Operand RandBetween(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(lo, args[0]);
  DT_NUM(hi, args[1]);
  lo = std::ceil(lo);
  hi = std::floor(hi);
  if (lo > hi || std::fabs(lo) > 9e15 || std::fabs(hi) > 9e15) return Operand::Err(ErrorValue::Num);
  auto l = static_cast<long long>(lo), h = static_cast<long long>(hi);
  return Operand::Num(double(std::uniform_int_distribution<long long>(l, h)(Random())));
}

Operand Ceiling(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(sig, args[1]);
  if (x == 0 || sig == 0) return Operand::Num(0);
  if ((x > 0) != (sig > 0)) return Operand::Err(ErrorValue::Num);
  double q = RoundDigits(x / sig, 0, 1);  // away from zero, after dropping binary noise
  return Operand::Num(q * sig);
}

Operand Floor(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(sig, args[1]);
  if (sig == 0) return x == 0 ? Operand::Num(0) : Operand::Err(ErrorValue::Div0);
  if (x == 0) return Operand::Num(0);
  if ((x > 0) != (sig > 0)) return Operand::Err(ErrorValue::Num);
  double q = RoundDigits(x / sig, 0, -1);
  return Operand::Num(q * sig);
}

constexpr int kMany = 30;

constexpr FunctionInfo kMath[] = {
    {"COUNT", 0, 0, kMany, false, Count},
    {"SUM", 4, 0, kMany, false, Sum},
    {"AVERAGE", 5, 1, kMany, false, Average},
    {"MIN", 6, 1, kMany, false, Min},
    {"MAX", 7, 1, kMany, false, Max},
    {"PI", 19, 0, 0, false, Pi},
    {"SQRT", 20, 1, 1, false, Sqrt},
    {"EXP", 21, 1, 1, false, Exp},
    {"LN", 22, 1, 1, false, Ln},
    {"LOG10", 23, 1, 1, false, Log10},
    {"ABS", 24, 1, 1, false, Abs},
    {"INT", 25, 1, 1, false, Int},
    {"SIGN", 26, 1, 1, false, Sign},
    {"ROUND", 27, 2, 2, false, RoundF},
    {"MOD", 39, 2, 2, false, Mod},
    {"RAND", 63, 0, 0, true, Rand},
    {"LOG", 109, 1, 2, false, Log},
    {"COUNTA", 169, 0, kMany, false, CountA},
    {"PRODUCT", 183, 0, kMany, false, Product},
    {"TRUNC", 197, 1, 2, false, Trunc},
    {"ROUNDUP", 212, 2, 2, false, RoundUp},
    {"ROUNDDOWN", 213, 2, 2, false, RoundDown},
    {"SUMPRODUCT", 228, 1, kMany, false, SumProduct},
    {"FLOOR", 285, 2, 2, false, Floor},
    {"CEILING", 288, 2, 2, false, Ceiling},
    {"POWER", 337, 2, 2, false, Power},
    {"SUMIF", 345, 2, 3, false, SumIf},
    {"COUNTIF", 346, 2, 2, false, CountIf},
    {"COUNTBLANK", 347, 1, 1, false, CountBlank},
    {"RANDBETWEEN", 0x4000 + 1, 2, 2, true, RandBetween},
};

}  // namespace

std::span<const FunctionInfo> MathFunctions() { return kMath; }

}  // namespace engine::formula
