// Trigonometry and statistics beyond the core aggregates.
#include <algorithm>
#include <cmath>
#include <vector>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"

namespace engine::formula {

namespace {

template <double (*F)(double)>
Operand Unary(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  double r = F(x);
  return std::isfinite(r) ? Operand::Num(r) : Operand::Err(ErrorValue::Num);
}

double Asin(double x) { return std::fabs(x) > 1 ? NAN : std::asin(x); }
double Acos(double x) { return std::fabs(x) > 1 ? NAN : std::acos(x); }
double Radians(double x) { return x * 3.14159265358979323846 / 180; }
double Degrees(double x) { return x * 180 / 3.14159265358979323846; }
double Even(double x) {
  double a = std::ceil(std::fabs(x) / 2) * 2;
  return x < 0 ? -a : a;
}
double Odd(double x) {
  double a = std::ceil((std::fabs(x) - 1) / 2) * 2 + 1;
  if (std::fabs(x) <= 1) a = 1;
  return x < 0 ? -a : a;
}
double Fact(double x) {
  if (x < 0) return NAN;
  return std::tgamma(std::floor(x) + 1);
}

Operand Atan2(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(y, args[1]);
  if (x == 0 && y == 0) return Operand::Err(ErrorValue::Div0);
  return Operand::Num(std::atan2(y, x));
}

Operand SumSq(Evaluator& ev, std::span<Operand> args) {
  std::vector<double> v;
  ErrorValue e;
  if (!CollectNumbers(ev, args, v, e)) return Operand::Err(e);
  double s = 0;
  for (double x : v) s += x * x;
  return Operand::Num(s);
}

Operand Median(Evaluator& ev, std::span<Operand> args) {
  std::vector<double> v;
  ErrorValue e;
  if (!CollectNumbers(ev, args, v, e)) return Operand::Err(e);
  if (v.empty()) return Operand::Err(ErrorValue::Num);
  std::sort(v.begin(), v.end());
  std::size_t n = v.size();
  return Operand::Num(n % 2 ? v[n / 2] : (v[n / 2 - 1] + v[n / 2]) / 2);
}

Operand Nth(Evaluator& ev, std::span<Operand> args, bool largest) {
  std::vector<double> v;
  ErrorValue e;
  if (!CollectNumbers(ev, args.first(1), v, e)) return Operand::Err(e);
  DT_NUM(k, args[1]);
  k = std::ceil(k);
  if (k < 1 || k > double(v.size())) return Operand::Err(ErrorValue::Num);
  std::sort(v.begin(), v.end());
  std::size_t i = static_cast<std::size_t>(k) - 1;
  return Operand::Num(largest ? v[v.size() - 1 - i] : v[i]);
}
Operand Large(Evaluator& ev, std::span<Operand> a) { return Nth(ev, a, true); }
Operand Small(Evaluator& ev, std::span<Operand> a) { return Nth(ev, a, false); }

Operand Variance(Evaluator& ev, std::span<Operand> args, bool sample, bool root) {
  std::vector<double> v;
  ErrorValue e;
  if (!CollectNumbers(ev, args, v, e)) return Operand::Err(e);
  std::size_t n = v.size();
  if (n < (sample ? 2u : 1u)) return Operand::Err(ErrorValue::Div0);
  double mean = 0;
  for (double x : v) mean += x;
  mean /= double(n);
  double ss = 0;
  for (double x : v) ss += (x - mean) * (x - mean);
  double var = ss / double(sample ? n - 1 : n);
  return Operand::Num(root ? std::sqrt(var) : var);
}
Operand Stdev(Evaluator& ev, std::span<Operand> a) { return Variance(ev, a, true, true); }
Operand StdevP(Evaluator& ev, std::span<Operand> a) { return Variance(ev, a, false, true); }
Operand Var(Evaluator& ev, std::span<Operand> a) { return Variance(ev, a, true, false); }
Operand VarP(Evaluator& ev, std::span<Operand> a) { return Variance(ev, a, false, false); }

double Sin(double x) { return std::sin(x); }
double Cos(double x) { return std::cos(x); }
double Tan(double x) { return std::tan(x); }
double Atan(double x) { return std::atan(x); }
double Sinh(double x) { return std::sinh(x); }
double Cosh(double x) { return std::cosh(x); }
double Tanh(double x) { return std::tanh(x); }

constexpr FunctionInfo kStats[] = {
    {"STDEV", 12, 1, 30, false, Stdev},
    {"SIN", 15, 1, 1, false, Unary<Sin>},
    {"COS", 16, 1, 1, false, Unary<Cos>},
    {"TAN", 17, 1, 1, false, Unary<Tan>},
    {"ATAN", 18, 1, 1, false, Unary<Atan>},
    {"VAR", 46, 1, 30, false, Var},
    {"ATAN2", 97, 2, 2, false, Atan2},
    {"ASIN", 98, 1, 1, false, Unary<Asin>},
    {"ACOS", 99, 1, 1, false, Unary<Acos>},
    {"FACT", 184, 1, 1, false, Unary<Fact>},
    {"STDEVP", 193, 1, 30, false, StdevP},
    {"VARP", 194, 1, 30, false, VarP},
    {"MEDIAN", 227, 1, 30, false, Median},
    {"SINH", 229, 1, 1, false, Unary<Sinh>},
    {"COSH", 230, 1, 1, false, Unary<Cosh>},
    {"TANH", 231, 1, 1, false, Unary<Tanh>},
    {"EVEN", 279, 1, 1, false, Unary<Even>},
    {"ODD", 298, 1, 1, false, Unary<Odd>},
    {"SUMSQ", 321, 0, 30, false, SumSq},
    {"LARGE", 325, 2, 2, false, Large},
    {"SMALL", 326, 2, 2, false, Small},
    {"RADIANS", 342, 1, 1, false, Unary<Radians>},
    {"DEGREES", 343, 1, 1, false, Unary<Degrees>},
};

}  // namespace

std::span<const FunctionInfo> StatsFunctions() { return kStats; }

}  // namespace engine::formula
