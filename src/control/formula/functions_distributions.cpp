// Descriptive statistics of a list, the "A" aggregates (text and logicals in references
// count), paired-list statistics, and the common distributions.
#include <algorithm>
#include <cmath>
#include <map>
#include <vector>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/model/sheet.h"

namespace engine::formula {

namespace {

constexpr int kMany = 30;
constexpr double kPi = 3.14159265358979323846;

Operand Result(double x) {
  return std::isfinite(x) ? Operand::Num(x) : Operand::Err(ErrorValue::Num);
}

#define DT_LIST(v, span)                                               \
  std::vector<double> v;                                               \
  {                                                                    \
    ErrorValue err_;                                                   \
    if (!CollectNumbers(ev, span, v, err_)) return Operand::Err(err_); \
  }

double Mean(const std::vector<double>& v) {
  double s = 0;
  for (double x : v) s += x;
  return s / static_cast<double>(v.size());
}

Operand AveDev(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  if (v.empty()) return Operand::Err(ErrorValue::Num);
  double m = Mean(v), s = 0;
  for (double x : v) s += std::fabs(x - m);
  return Result(s / static_cast<double>(v.size()));
}

Operand DevSq(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  if (v.empty()) return Operand::Err(ErrorValue::Num);
  double m = Mean(v), s = 0;
  for (double x : v) s += (x - m) * (x - m);
  return Result(s);
}

Operand GeoMean(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  if (v.empty()) return Operand::Err(ErrorValue::Num);
  double s = 0;
  for (double x : v) {
    if (x <= 0) return Operand::Err(ErrorValue::Num);
    s += std::log(x);
  }
  return Result(std::exp(s / static_cast<double>(v.size())));
}

Operand HarMean(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  if (v.empty()) return Operand::Err(ErrorValue::Num);
  double s = 0;
  for (double x : v) {
    if (x <= 0) return Operand::Err(ErrorValue::Num);
    s += 1 / x;
  }
  return Result(static_cast<double>(v.size()) / s);
}

// Sample standard deviation; false when it is undefined or zero.
bool SampleDeviation(const std::vector<double>& v, double& mean, double& sd) {
  double n = static_cast<double>(v.size());
  if (n < 2) return false;
  mean = Mean(v);
  double ss = 0;
  for (double x : v) ss += (x - mean) * (x - mean);
  sd = std::sqrt(ss / (n - 1));
  return sd > 0;
}

Operand Kurt(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  double n = static_cast<double>(v.size()), m, sd;
  if (n < 4 || !SampleDeviation(v, m, sd)) return Operand::Err(ErrorValue::Div0);
  double s = 0;
  for (double x : v) s += std::pow((x - m) / sd, 4);
  return Result(n * (n + 1) / ((n - 1) * (n - 2) * (n - 3)) * s -
                3 * (n - 1) * (n - 1) / ((n - 2) * (n - 3)));
}

Operand Skew(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  double n = static_cast<double>(v.size()), m, sd;
  if (n < 3 || !SampleDeviation(v, m, sd)) return Operand::Err(ErrorValue::Div0);
  double s = 0;
  for (double x : v) s += std::pow((x - m) / sd, 3);
  return Result(n / ((n - 1) * (n - 2)) * s);
}

Operand Mode(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args);
  std::map<double, int> counts;
  int best = 1;
  for (double x : v) best = std::max(best, ++counts[x]);
  if (best < 2) return Operand::Err(ErrorValue::NA);
  for (double x : v)  // the first value, in list order, with the highest count
    if (counts[x] == best) return Operand::Num(x);
  return Operand::Err(ErrorValue::NA);
}

double PercentileOf(std::vector<double>& v, double k) {
  std::sort(v.begin(), v.end());
  double pos = k * static_cast<double>(v.size() - 1);
  std::size_t i = static_cast<std::size_t>(std::floor(pos));
  if (i + 1 >= v.size()) return v.back();
  return v[i] + (pos - static_cast<double>(i)) * (v[i + 1] - v[i]);
}

Operand Percentile(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args.first(1));
  DT_NUM(k, args[1]);
  if (v.empty() || k < 0 || k > 1) return Operand::Err(ErrorValue::Num);
  return Result(PercentileOf(v, k));
}

Operand Quartile(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args.first(1));
  DT_NUM(q, args[1]);
  q = std::trunc(q);
  if (v.empty() || q < 0 || q > 4) return Operand::Err(ErrorValue::Num);
  return Result(PercentileOf(v, q / 4));
}

Operand TrimMean(Evaluator& ev, std::span<Operand> args) {
  DT_LIST(v, args.first(1));
  DT_NUM(p, args[1]);
  if (v.empty() || p < 0 || p >= 1) return Operand::Err(ErrorValue::Num);
  std::sort(v.begin(), v.end());
  std::size_t cut = static_cast<std::size_t>(std::floor(static_cast<double>(v.size()) * p / 2));
  double s = 0;
  for (std::size_t i = cut; i < v.size() - cut; ++i) s += v[i];
  return Result(s / static_cast<double>(v.size() - 2 * cut));
}

// --- The "A" aggregates: in references text counts as 0 and logicals as 0 or 1 ------------

bool CollectA(Evaluator& ev, std::span<Operand> args, std::vector<double>& out, ErrorValue& err) {
  bool ok = true;
  for (Operand& a : args) {
    ev.ForEachValue(a, [&](const Value& v, bool fromRef) {
      if (!ok || v.IsEmpty()) return;
      if (v.IsError()) {
        err = v.error, ok = false;
        return;
      }
      if (v.IsNumber())
        out.push_back(v.number);
      else if (v.IsLogical())
        out.push_back(v.logical ? 1 : 0);
      else if (fromRef)
        out.push_back(0);
      else {
        double n;
        if (!ev.ToNumber(v, n, err))
          ok = false;
        else
          out.push_back(n);
      }
    });
    if (!ok) return false;
  }
  return true;
}

#define DT_LIST_A(v, span)                                       \
  std::vector<double> v;                                         \
  {                                                              \
    ErrorValue err_;                                             \
    if (!CollectA(ev, span, v, err_)) return Operand::Err(err_); \
  }

Operand AverageA(Evaluator& ev, std::span<Operand> args) {
  DT_LIST_A(v, args);
  if (v.empty()) return Operand::Err(ErrorValue::Div0);
  return Result(Mean(v));
}
Operand MaxA(Evaluator& ev, std::span<Operand> args) {
  DT_LIST_A(v, args);
  return Operand::Num(v.empty() ? 0 : *std::max_element(v.begin(), v.end()));
}
Operand MinA(Evaluator& ev, std::span<Operand> args) {
  DT_LIST_A(v, args);
  return Operand::Num(v.empty() ? 0 : *std::min_element(v.begin(), v.end()));
}
Operand VarianceA(Evaluator& ev, std::span<Operand> args, bool sample, bool root) {
  DT_LIST_A(v, args);
  double n = static_cast<double>(v.size());
  if (n < (sample ? 2 : 1)) return Operand::Err(ErrorValue::Div0);
  double m = Mean(v), ss = 0;
  for (double x : v) ss += (x - m) * (x - m);
  double var = ss / (sample ? n - 1 : n);
  return Result(root ? std::sqrt(var) : var);
}
Operand StdevA(Evaluator& ev, std::span<Operand> a) { return VarianceA(ev, a, true, true); }
Operand StdevPA(Evaluator& ev, std::span<Operand> a) { return VarianceA(ev, a, false, true); }
Operand VarA(Evaluator& ev, std::span<Operand> a) { return VarianceA(ev, a, true, false); }
Operand VarPA(Evaluator& ev, std::span<Operand> a) { return VarianceA(ev, a, false, false); }

// --- Two lists of the same size ------------------------------------------------------------

// The values of an operand by position (a reference's cells row by row, or the one value).
bool Cells(Evaluator& ev, const Operand& o, std::vector<Value>& out, ErrorValue& err) {
  if (o.IsError()) {
    err = o.value.error;
    return false;
  }
  if (!o.IsRef()) {
    out.push_back(o.value);
    return true;
  }
  if (!o.more.empty() || double(o.area.Rows()) * o.area.Cols() > (1 << 20)) {
    err = ErrorValue::Value;
    return false;
  }
  for (int r = o.area.r1; r <= o.area.r2; ++r)
    for (int c = o.area.c1; c <= o.area.c2; ++c) out.push_back(ev.CellValue(*o.area.sheet, r, c));
  return true;
}

// The pairs of numbers of two same-sized lists; errors propagate, other pairs are skipped.
bool Pairs(Evaluator& ev, const Operand& a, const Operand& b, std::vector<double>& xs,
           std::vector<double>& ys, ErrorValue& err) {
  std::vector<Value> va, vb;
  if (!Cells(ev, a, va, err) || !Cells(ev, b, vb, err)) return false;
  if (va.size() != vb.size()) {
    err = ErrorValue::NA;
    return false;
  }
  for (std::size_t i = 0; i < va.size(); ++i) {
    if (va[i].IsError() || vb[i].IsError()) {
      err = va[i].IsError() ? va[i].error : vb[i].error;
      return false;
    }
    if (va[i].IsNumber() && vb[i].IsNumber()) {
      xs.push_back(va[i].number);
      ys.push_back(vb[i].number);
    }
  }
  return true;
}

#define DT_PAIRS(xs, ys, a, b)                                     \
  std::vector<double> xs, ys;                                      \
  {                                                                \
    ErrorValue err_;                                               \
    if (!Pairs(ev, a, b, xs, ys, err_)) return Operand::Err(err_); \
  }

struct Moments {
  double n = 0, mx = 0, my = 0, sxx = 0, syy = 0, sxy = 0;
};
Moments MomentsOf(const std::vector<double>& xs, const std::vector<double>& ys) {
  Moments m;
  m.n = static_cast<double>(xs.size());
  if (!m.n) return m;
  m.mx = Mean(xs), m.my = Mean(ys);
  for (std::size_t i = 0; i < xs.size(); ++i) {
    double dx = xs[i] - m.mx, dy = ys[i] - m.my;
    m.sxx += dx * dx, m.syy += dy * dy, m.sxy += dx * dy;
  }
  return m;
}

Operand Correl(Evaluator& ev, std::span<Operand> args) {
  DT_PAIRS(xs, ys, args[0], args[1]);
  Moments m = MomentsOf(xs, ys);
  if (m.n < 2 || m.sxx == 0 || m.syy == 0) return Operand::Err(ErrorValue::Div0);
  return Result(m.sxy / std::sqrt(m.sxx * m.syy));
}
Operand Rsq(Evaluator& ev, std::span<Operand> args) {
  Operand r = Correl(ev, args);
  if (r.IsError()) return r;
  return Result(r.value.number * r.value.number);
}
Operand Covar(Evaluator& ev, std::span<Operand> args) {
  DT_PAIRS(xs, ys, args[0], args[1]);
  Moments m = MomentsOf(xs, ys);
  if (m.n < 1) return Operand::Err(ErrorValue::Div0);
  return Result(m.sxy / m.n);
}
// SLOPE(known_y, known_x), INTERCEPT(known_y, known_x).
Operand Slope(Evaluator& ev, std::span<Operand> args) {
  DT_PAIRS(ys, xs, args[0], args[1]);
  Moments m = MomentsOf(xs, ys);
  if (m.n < 1 || m.sxx == 0) return Operand::Err(ErrorValue::Div0);
  return Result(m.sxy / m.sxx);
}
Operand Intercept(Evaluator& ev, std::span<Operand> args) {
  DT_PAIRS(ys, xs, args[0], args[1]);
  Moments m = MomentsOf(xs, ys);
  if (m.n < 1 || m.sxx == 0) return Operand::Err(ErrorValue::Div0);
  return Result(m.my - m.sxy / m.sxx * m.mx);
}
Operand Steyx(Evaluator& ev, std::span<Operand> args) {
  DT_PAIRS(ys, xs, args[0], args[1]);
  Moments m = MomentsOf(xs, ys);
  if (m.n < 3 || m.sxx == 0) return Operand::Err(ErrorValue::Div0);
  return Result(std::sqrt((m.syy - m.sxy * m.sxy / m.sxx) / (m.n - 2)));
}
// FORECAST(x, known_y, known_x).
Operand Forecast(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_PAIRS(ys, xs, args[1], args[2]);
  Moments m = MomentsOf(xs, ys);
  if (m.n < 1 || m.sxx == 0) return Operand::Err(ErrorValue::Div0);
  double slope = m.sxy / m.sxx;
  return Result(m.my - slope * m.mx + slope * x);
}
template <int Kind>
Operand SumXY(Evaluator& ev, std::span<Operand> args) {
  DT_PAIRS(xs, ys, args[0], args[1]);
  double s = 0;
  for (std::size_t i = 0; i < xs.size(); ++i) {
    double x = xs[i], y = ys[i];
    s += Kind == 0 ? (x - y) * (x - y) : Kind == 1 ? x * x - y * y : x * x + y * y;
  }
  return Result(s);
}

// --- Single numbers ------------------------------------------------------------------------

Operand Combin(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(n, args[0]);
  DT_NUM(k, args[1]);
  n = std::trunc(n), k = std::trunc(k);
  if (n < 0 || k < 0 || k > n) return Operand::Err(ErrorValue::Num);
  return Result(
      std::round(std::exp(std::lgamma(n + 1) - std::lgamma(k + 1) - std::lgamma(n - k + 1))));
}
Operand Permut(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(n, args[0]);
  DT_NUM(k, args[1]);
  n = std::trunc(n), k = std::trunc(k);
  if (n < 0 || k < 0 || k > n) return Operand::Err(ErrorValue::Num);
  return Result(std::round(std::exp(std::lgamma(n + 1) - std::lgamma(n - k + 1))));
}
Operand Fisher(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x <= -1 || x >= 1) return Operand::Err(ErrorValue::Num);
  return Result(0.5 * std::log((1 + x) / (1 - x)));
}
Operand FisherInv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(y, args[0]);
  return Result(std::tanh(y));
}
Operand Standardize(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(s, args[2]);
  if (s <= 0) return Operand::Err(ErrorValue::Num);
  return Result((x - m) / s);
}
Operand GammaLn(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x <= 0) return Operand::Err(ErrorValue::Num);
  return Result(std::lgamma(x));
}
Operand Asinh(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  return Result(std::asinh(x));
}
Operand Acosh(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x < 1) return Operand::Err(ErrorValue::Num);
  return Result(std::acosh(x));
}
Operand Atanh(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  if (x <= -1 || x >= 1) return Operand::Err(ErrorValue::Num);
  return Result(std::atanh(x));
}
Operand ErrorType(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (!v.IsError()) return Operand::Err(ErrorValue::NA);
  switch (v.error) {
    case ErrorValue::Null:
      return Operand::Num(1);
    case ErrorValue::Div0:
      return Operand::Num(2);
    case ErrorValue::Value:
      return Operand::Num(3);
    case ErrorValue::Ref:
      return Operand::Num(4);
    case ErrorValue::Name:
      return Operand::Num(5);
    case ErrorValue::Num:
      return Operand::Num(6);
    default:
      return Operand::Num(7);
  }
}

// --- Distributions -------------------------------------------------------------------------

double NormalCdf(double z) { return 0.5 * std::erfc(-z / std::sqrt(2.0)); }

// The inverse of the standard normal distribution: a rational first guess refined by Newton
// steps on the exact distribution.
double NormalInverse(double p) {
  double q = p < 0.5 ? p : 1 - p;
  double t = std::sqrt(-2 * std::log(q));
  double z = t - (2.515517 + 0.802853 * t + 0.010328 * t * t) /
                     (1 + 1.432788 * t + 0.189269 * t * t + 0.001308 * t * t * t);
  if (p < 0.5) z = -z;
  for (int i = 0; i < 8; ++i) {
    double pdf = std::exp(-z * z / 2) / std::sqrt(2 * kPi);
    if (pdf == 0) break;
    z -= (NormalCdf(z) - p) / pdf;
  }
  return z;
}

bool Cumulative(Evaluator& ev, const Operand& o, bool& out, ErrorValue& err) {
  return ev.ArgBool(o, out, err);
}
#define DT_CUM(var, operand)                                            \
  bool var = false;                                                     \
  {                                                                     \
    ErrorValue err_;                                                    \
    if (!Cumulative(ev, operand, var, err_)) return Operand::Err(err_); \
  }

Operand NormSDist(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(z, args[0]);
  return Result(NormalCdf(z));
}
Operand NormDist(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(s, args[2]);
  DT_CUM(cum, args[3]);
  if (s <= 0) return Operand::Err(ErrorValue::Num);
  double z = (x - m) / s;
  return Result(cum ? NormalCdf(z) : std::exp(-z * z / 2) / (s * std::sqrt(2 * kPi)));
}
Operand NormSInv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(p, args[0]);
  if (p <= 0 || p >= 1) return Operand::Err(ErrorValue::Num);
  return Result(NormalInverse(p));
}
Operand NormInv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(p, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(s, args[2]);
  if (p <= 0 || p >= 1 || s <= 0) return Operand::Err(ErrorValue::Num);
  return Result(m + s * NormalInverse(p));
}
Operand LogNormDist(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(s, args[2]);
  if (x <= 0 || s <= 0) return Operand::Err(ErrorValue::Num);
  return Result(NormalCdf((std::log(x) - m) / s));
}
Operand LogInv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(p, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(s, args[2]);
  if (p <= 0 || p >= 1 || s <= 0) return Operand::Err(ErrorValue::Num);
  return Result(std::exp(m + s * NormalInverse(p)));
}
Operand Confidence(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(alpha, args[0]);
  DT_NUM(s, args[1]);
  DT_NUM(n, args[2]);
  n = std::trunc(n);
  if (alpha <= 0 || alpha >= 1 || s <= 0 || n < 1) return Operand::Err(ErrorValue::Num);
  return Result(NormalInverse(1 - alpha / 2) * s / std::sqrt(n));
}
Operand ExponDist(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(l, args[1]);
  DT_CUM(cum, args[2]);
  if (x < 0 || l <= 0) return Operand::Err(ErrorValue::Num);
  return Result(cum ? 1 - std::exp(-l * x) : l * std::exp(-l * x));
}
Operand Poisson(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(m, args[1]);
  DT_CUM(cum, args[2]);
  x = std::trunc(x);
  if (x < 0 || m < 0) return Operand::Err(ErrorValue::Num);
  auto term = [&](double k) { return std::exp(k * std::log(m) - m - std::lgamma(k + 1)); };
  if (m == 0) return Operand::Num(cum || x == 0 ? 1 : 0);
  if (!cum) return Result(term(x));
  double s = 0;
  for (double k = 0; k <= x; ++k) s += term(k);
  return Result(std::min(1.0, s));
}
Operand Weibull(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  DT_NUM(a, args[1]);
  DT_NUM(b, args[2]);
  DT_CUM(cum, args[3]);
  if (x < 0 || a <= 0 || b <= 0) return Operand::Err(ErrorValue::Num);
  double e = std::exp(-std::pow(x / b, a));
  return Result(cum ? 1 - e : a / std::pow(b, a) * std::pow(x, a - 1) * e);
}
Operand BinomDist(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(k, args[0]);
  DT_NUM(n, args[1]);
  DT_NUM(p, args[2]);
  DT_CUM(cum, args[3]);
  k = std::trunc(k), n = std::trunc(n);
  if (k < 0 || k > n || p < 0 || p > 1) return Operand::Err(ErrorValue::Num);
  auto term = [&](double i) {
    if (p == 0) return i == 0 ? 1.0 : 0.0;
    if (p == 1) return i == n ? 1.0 : 0.0;
    return std::exp(std::lgamma(n + 1) - std::lgamma(i + 1) - std::lgamma(n - i + 1) +
                    i * std::log(p) + (n - i) * std::log(1 - p));
  };
  if (!cum) return Result(term(k));
  if (n > 1e6 || p == 0 || p == 1) {
    double s = 0;
    for (double i = 0; i <= k; ++i) s += term(i);
    return Result(std::min(1.0, s));
  }
  // Each term from the one before, so that exact cases (p = 0.5) stay exact.
  double t = std::pow(1 - p, n), s = t;
  for (double i = 0; i < k; ++i) {
    t *= (n - i) / (i + 1) * (p / (1 - p));
    s += t;
  }
  return Result(std::min(1.0, s));
}

constexpr FunctionInfo kDistributions[] = {
    {"SUMXMY2", 303, 2, 2, false, SumXY<0>},
    {"SUMX2MY2", 304, 2, 2, false, SumXY<1>},
    {"SUMX2PY2", 305, 2, 2, false, SumXY<2>},
    {"CORREL", 307, 2, 2, false, Correl},
    {"COVAR", 308, 2, 2, false, Covar},
    {"FORECAST", 309, 3, 3, false, Forecast},
    {"INTERCEPT", 311, 2, 2, false, Intercept},
    {"PEARSON", 312, 2, 2, false, Correl},
    {"RSQ", 313, 2, 2, false, Rsq},
    {"STEYX", 314, 2, 2, false, Steyx},
    {"SLOPE", 315, 2, 2, false, Slope},
    {"DEVSQ", 318, 1, kMany, false, DevSq},
    {"GEOMEAN", 319, 1, kMany, false, GeoMean},
    {"HARMEAN", 320, 1, kMany, false, HarMean},
    {"KURT", 322, 1, kMany, false, Kurt},
    {"SKEW", 323, 1, kMany, false, Skew},
    {"QUARTILE", 327, 2, 2, false, Quartile},
    {"PERCENTILE", 328, 2, 2, false, Percentile},
    {"MODE", 330, 1, kMany, false, Mode},
    {"TRIMMEAN", 331, 2, 2, false, TrimMean},
    {"AVEDEV", 269, 1, kMany, false, AveDev},
    {"AVERAGEA", 361, 1, kMany, false, AverageA},
    {"MAXA", 362, 1, kMany, false, MaxA},
    {"MINA", 363, 1, kMany, false, MinA},
    {"STDEVPA", 364, 1, kMany, false, StdevPA},
    {"VARPA", 365, 1, kMany, false, VarPA},
    {"STDEVA", 366, 1, kMany, false, StdevA},
    {"VARA", 367, 1, kMany, false, VarA},
    {"ASINH", 232, 1, 1, false, Asinh},
    {"ACOSH", 233, 1, 1, false, Acosh},
    {"ATANH", 234, 1, 1, false, Atanh},
    {"ERROR.TYPE", 261, 1, 1, false, ErrorType},
    {"GAMMALN", 271, 1, 1, false, GammaLn},
    {"BINOMDIST", 273, 4, 4, false, BinomDist},
    {"COMBIN", 276, 2, 2, false, Combin},
    {"CONFIDENCE", 277, 3, 3, false, Confidence},
    {"EXPONDIST", 280, 3, 3, false, ExponDist},
    {"FISHER", 283, 1, 1, false, Fisher},
    {"FISHERINV", 284, 1, 1, false, FisherInv},
    {"LOGNORMDIST", 290, 3, 3, false, LogNormDist},
    {"LOGINV", 291, 3, 3, false, LogInv},
    {"NORMDIST", 293, 4, 4, false, NormDist},
    {"NORMSDIST", 294, 1, 1, false, NormSDist},
    {"NORMINV", 295, 3, 3, false, NormInv},
    {"NORMSINV", 296, 1, 1, false, NormSInv},
    {"STANDARDIZE", 297, 3, 3, false, Standardize},
    {"PERMUT", 299, 2, 2, false, Permut},
    {"POISSON", 300, 3, 3, false, Poisson},
    {"WEIBULL", 302, 4, 4, false, Weibull},
};

}  // namespace

std::span<const FunctionInfo> DistributionFunctions() { return kDistributions; }

}  // namespace engine::formula
