// Financial functions: time value of money, cash-flow returns and depreciation.
//
// Sign convention of the spreadsheet: money paid out is negative, money received positive.
// `type` 0 pays at the end of each period, 1 at the start.
#include <cmath>
#include <vector>

#include "control/formula/function_support.h"
#include "control/formula/function_table.h"

namespace engine::formula {

namespace {

Operand Result(double x) {
  return std::isfinite(x) ? Operand::Num(x) : Operand::Err(ErrorValue::Num);
}

// An optional number argument (omitted or missing: `fallback`).
bool OptNumber(Evaluator& ev, std::span<Operand> args, std::size_t i, double fallback, double& out,
               ErrorValue& err) {
  out = fallback;
  return !Given(args, i) || ev.ArgNumber(args[i], out, err);
}

#define DT_OPT(var, i, fallback)                                                 \
  double var = 0;                                                                \
  {                                                                              \
    ErrorValue err_;                                                             \
    if (!OptNumber(ev, args, i, fallback, var, err_)) return Operand::Err(err_); \
  }

// The future value of pv and n payments pmt at rate r.
double FutureValue(double r, double n, double pmt, double pv, bool start) {
  if (r == 0) return -(pv + pmt * n);
  double g = std::pow(1 + r, n);
  return -(pv * g + pmt * (1 + r * (start ? 1 : 0)) * (g - 1) / r);
}

double Payment(double r, double n, double pv, double fv, bool start) {
  if (r == 0) return n == 0 ? NAN : -(pv + fv) / n;
  double g = std::pow(1 + r, n);
  return -(fv + pv * g) * r / ((1 + r * (start ? 1 : 0)) * (g - 1));
}

Operand Pv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(n, args[1]);
  DT_NUM(pmt, args[2]);
  DT_OPT(fv, 3, 0);
  DT_OPT(type, 4, 0);
  bool start = type != 0;
  if (r == 0) return Result(-(fv + pmt * n));
  double g = std::pow(1 + r, n);
  return Result(-(fv + pmt * (1 + r * (start ? 1 : 0)) * (g - 1) / r) / g);
}

Operand Fv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(n, args[1]);
  DT_NUM(pmt, args[2]);
  DT_OPT(pv, 3, 0);
  DT_OPT(type, 4, 0);
  return Result(FutureValue(r, n, pmt, pv, type != 0));
}

Operand Pmt(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(n, args[1]);
  DT_NUM(pv, args[2]);
  DT_OPT(fv, 3, 0);
  DT_OPT(type, 4, 0);
  if (n == 0) return Operand::Err(ErrorValue::Num);
  return Result(Payment(r, n, pv, fv, type != 0));
}

Operand Nper(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(pmt, args[1]);
  DT_NUM(pv, args[2]);
  DT_OPT(fv, 3, 0);
  DT_OPT(type, 4, 0);
  if (r == 0) {
    if (pmt == 0) return Operand::Err(ErrorValue::Div0);
    return Result(-(pv + fv) / pmt);
  }
  double k = pmt * (1 + r * (type != 0 ? 1 : 0));
  double num = k - fv * r, den = k + pv * r;
  if (den == 0 || num / den <= 0 || r <= -1) return Operand::Err(ErrorValue::Num);
  return Result(std::log(num / den) / std::log(1 + r));
}

// Newton's method on f with a numerical derivative; false when it does not settle.
template <typename F>
bool Solve(F&& f, double guess, double& out) {
  double x = guess;
  for (int i = 0; i < 100; ++i) {
    double y = f(x);
    if (!std::isfinite(y)) return false;
    double h = std::fabs(x) > 1e-5 ? std::fabs(x) * 1e-7 : 1e-9;
    double d = (f(x + h) - y) / h;
    if (d == 0 || !std::isfinite(d)) return false;
    double next = x - y / d;
    if (!std::isfinite(next)) return false;
    if (std::fabs(next - x) < 1e-10 * std::max(1.0, std::fabs(next))) {
      out = next;
      return true;
    }
    x = next;
  }
  return false;
}

Operand Rate(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(n, args[0]);
  DT_NUM(pmt, args[1]);
  DT_NUM(pv, args[2]);
  DT_OPT(fv, 3, 0);
  DT_OPT(type, 4, 0);
  DT_OPT(guess, 5, 0.1);
  if (n <= 0) return Operand::Err(ErrorValue::Num);
  bool start = type != 0;
  auto f = [&](double r) -> double {
    if (r <= -1) return NAN;
    if (std::fabs(r) < 1e-12) return pv + pmt * n + fv;
    double g = std::pow(1 + r, n);
    return pv * g + pmt * (1 + r * (start ? 1 : 0)) * (g - 1) / r + fv;
  };
  double r;
  if (!Solve(f, guess, r)) return Operand::Err(ErrorValue::Num);
  return Result(r);
}

Operand Npv(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  if (r == -1) return Operand::Err(ErrorValue::Div0);
  std::vector<double> v;
  ErrorValue e;
  if (!CollectNumbers(ev, args.subspan(1), v, e)) return Operand::Err(e);
  double s = 0, d = 1;
  for (double x : v) {
    d *= 1 + r;
    s += x / d;
  }
  return Result(s);
}

// The cash flows of IRR and MIRR: the numbers of a reference or an array, in order.
bool CashFlows(Evaluator& ev, Operand& o, std::vector<double>& v, ErrorValue& err) {
  bool ok = true;
  ev.ForEachValue(o, [&](const Value& x, bool) {
    if (!ok) return;
    if (x.IsError())
      err = x.error, ok = false;
    else if (x.IsNumber())
      v.push_back(x.number);
  });
  return ok;
}

Operand Irr(Evaluator& ev, std::span<Operand> args) {
  std::vector<double> v;
  ErrorValue e;
  if (!CashFlows(ev, args[0], v, e)) return Operand::Err(e);
  DT_OPT(guess, 1, 0.1);
  bool pos = false, neg = false;
  for (double x : v) pos |= x > 0, neg |= x < 0;
  if (!pos || !neg) return Operand::Err(ErrorValue::Num);
  auto npv = [&](double r) -> double {
    if (r <= -1) return NAN;
    double s = 0, d = 1;
    for (double x : v) {
      s += x / d;
      d *= 1 + r;
    }
    return s;
  };
  double r;
  if (!Solve(npv, guess, r)) return Operand::Err(ErrorValue::Num);
  return Result(r);
}

Operand Mirr(Evaluator& ev, std::span<Operand> args) {
  std::vector<double> v;
  ErrorValue e;
  if (!CashFlows(ev, args[0], v, e)) return Operand::Err(e);
  DT_NUM(financeRate, args[1]);
  DT_NUM(reinvestRate, args[2]);
  double n = static_cast<double>(v.size());
  double pos = 0, neg = 0;
  for (std::size_t i = 0; i < v.size(); ++i) {
    double t = static_cast<double>(i + 1);
    if (v[i] > 0)
      pos += v[i] / std::pow(1 + reinvestRate, t);
    else
      neg += v[i] / std::pow(1 + financeRate, t);
  }
  if (pos == 0 || neg == 0 || n < 2) return Operand::Err(ErrorValue::Div0);
  double x = -pos * std::pow(1 + reinvestRate, n) / (neg * (1 + financeRate));
  return Result(std::pow(x, 1 / (n - 1)) - 1);
}

// Interest part of payment `per` (1-based).
double InterestPart(double r, double per, double n, double pv, double fv, bool start) {
  double pmt = Payment(r, n, pv, fv, start);
  double interest;
  if (per == 1)
    interest = start ? 0 : -pv;
  else if (start)
    interest = FutureValue(r, per - 2, pmt, pv, true) - pmt;
  else
    interest = FutureValue(r, per - 1, pmt, pv, false);
  return interest * r;
}

Operand Ipmt(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(per, args[1]);
  DT_NUM(n, args[2]);
  DT_NUM(pv, args[3]);
  DT_OPT(fv, 4, 0);
  DT_OPT(type, 5, 0);
  if (per < 1 || per > n) return Operand::Err(ErrorValue::Num);
  return Result(InterestPart(r, per, n, pv, fv, type != 0));
}

Operand Ppmt(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(per, args[1]);
  DT_NUM(n, args[2]);
  DT_NUM(pv, args[3]);
  DT_OPT(fv, 4, 0);
  DT_OPT(type, 5, 0);
  if (per < 1 || per > n) return Operand::Err(ErrorValue::Num);
  bool start = type != 0;
  return Result(Payment(r, n, pv, fv, start) - InterestPart(r, per, n, pv, fv, start));
}

Operand Ispmt(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(r, args[0]);
  DT_NUM(per, args[1]);
  DT_NUM(n, args[2]);
  DT_NUM(pv, args[3]);
  if (n == 0) return Operand::Err(ErrorValue::Div0);
  return Result(pv * r * (per / n - 1));
}

Operand Sln(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(cost, args[0]);
  DT_NUM(salvage, args[1]);
  DT_NUM(life, args[2]);
  if (life == 0) return Operand::Err(ErrorValue::Div0);
  return Result((cost - salvage) / life);
}

Operand Syd(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(cost, args[0]);
  DT_NUM(salvage, args[1]);
  DT_NUM(life, args[2]);
  DT_NUM(per, args[3]);
  if (life <= 0 || per <= 0 || per > life) return Operand::Err(ErrorValue::Num);
  return Result((cost - salvage) * (life - per + 1) * 2 / (life * (life + 1)));
}

// Declining balance at `factor` times the straight-line rate, for one period.
double DecliningPeriod(double cost, double salvage, double life, double per, double factor) {
  double rate = factor / life;
  double before, after;
  if (rate >= 1) {
    rate = 1;
    before = per == 1 ? cost : 0;
  } else {
    before = cost * std::pow(1 - rate, per - 1);
  }
  after = cost * std::pow(1 - rate, per);
  double d = after < salvage ? before - salvage : before - after;
  return d < 0 ? 0 : d;
}

Operand Ddb(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(cost, args[0]);
  DT_NUM(salvage, args[1]);
  DT_NUM(life, args[2]);
  DT_NUM(per, args[3]);
  DT_OPT(factor, 4, 2);
  if (cost < 0 || salvage < 0 || life <= 0 || per <= 0 || per > life || factor <= 0)
    return Operand::Err(ErrorValue::Num);
  return Result(DecliningPeriod(cost, salvage, life, per, factor));
}

Operand Db(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(cost, args[0]);
  DT_NUM(salvage, args[1]);
  DT_NUM(life, args[2]);
  DT_NUM(per, args[3]);
  DT_OPT(month, 4, 12);
  life = std::trunc(life), per = std::trunc(per), month = std::trunc(month);
  if (cost < 0 || salvage < 0 || life <= 0 || per <= 0 || month < 1 || month > 12 ||
      per > life + (month < 12 ? 1 : 0))
    return Operand::Err(ErrorValue::Num);
  if (cost == 0) return Operand::Num(0);
  double rate = std::round((1 - std::pow(salvage / cost, 1 / life)) * 1000) / 1000;
  double first = cost * rate * month / 12;
  if (per == 1) return Result(first);
  double total = first, d = 0;
  for (int p = 2; p <= static_cast<int>(per); ++p) {
    d = (cost - total) * rate;
    if (p == static_cast<int>(life) + 1) d *= (12 - month) / 12;
    total += d;
  }
  return Result(d);
}

// Variable declining balance between two (fractional) periods, switching to straight line
// when that gives more, unless told not to.
Operand Vdb(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(cost, args[0]);
  DT_NUM(salvage, args[1]);
  DT_NUM(life, args[2]);
  DT_NUM(from, args[3]);
  DT_NUM(to, args[4]);
  DT_OPT(factor, 5, 2);
  bool noSwitch = false;
  if (Given(args, 6)) {
    ErrorValue e;
    if (!ev.ArgBool(args[6], noSwitch, e)) return Operand::Err(e);
  }
  if (cost < 0 || salvage < 0 || life <= 0 || from < 0 || to < from || to > life || factor <= 0)
    return Operand::Err(ErrorValue::Num);
  // Depreciation per whole period, then the requested span summed with fractional ends.
  int periods = static_cast<int>(std::ceil(life));
  std::vector<double> dep(static_cast<std::size_t>(periods), 0);
  double value = cost;
  bool straight = false;
  double straightAmount = 0;
  for (int p = 0; p < periods; ++p) {
    double d;
    if (!straight) {
      double ddb = std::min(value * factor / life, std::max(0.0, value - salvage));
      double remaining = life - p;
      double sl = remaining > 0 ? (value - salvage) / remaining : 0;
      if (!noSwitch && sl > ddb) {
        straight = true;
        straightAmount = sl;
        d = sl;
      } else {
        d = ddb;
      }
    } else {
      d = straightAmount;
    }
    d = std::min(d, std::max(0.0, value - salvage));
    dep[static_cast<std::size_t>(p)] = d;
    value -= d;
  }
  double total = 0;
  for (int p = 0; p < periods; ++p) {
    double lo = std::max(from, double(p)), hi = std::min(to, double(p + 1));
    if (hi > lo) total += dep[static_cast<std::size_t>(p)] * (hi - lo);
  }
  return Result(total);
}

constexpr FunctionInfo kFinance[] = {
    {"NPV", 11, 2, 30, false, Npv},   {"PV", 56, 3, 5, false, Pv},
    {"FV", 57, 3, 5, false, Fv},      {"NPER", 58, 3, 5, false, Nper},
    {"PMT", 59, 3, 5, false, Pmt},    {"RATE", 60, 3, 6, false, Rate},
    {"MIRR", 61, 3, 3, false, Mirr},  {"IRR", 62, 1, 2, false, Irr},
    {"SLN", 142, 3, 3, false, Sln},   {"SYD", 143, 4, 4, false, Syd},
    {"DDB", 144, 4, 5, false, Ddb},   {"IPMT", 167, 4, 6, false, Ipmt},
    {"PPMT", 168, 4, 6, false, Ppmt}, {"VDB", 222, 5, 7, false, Vdb},
    {"DB", 247, 4, 5, false, Db},     {"ISPMT", 350, 4, 4, false, Ispmt},
};

}  // namespace

std::span<const FunctionInfo> FinanceFunctions() { return kFinance; }

}  // namespace engine::formula
