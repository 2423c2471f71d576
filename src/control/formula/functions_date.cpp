// Date and time functions over serial numbers: days since 12/31/1899 with the spreadsheet's
// fictitious 2/29/1900 (serial 60), or since 1/1/1904 in the 1904 date system.
#include <chrono>
#include <cmath>
#include <ctime>

#include "control/format/serial_date.h"
#include "control/format/typed_entry.h"
#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/model/workbook.h"

namespace engine::formula {

namespace {

using format::DaysFromCivil;

void CivilFromDays(long long z, int& y, int& m, int& d) {
  const format::CivilDate c = format::CivilFromDays(z);
  y = c.year;
  m = c.month;
  d = c.day;
}

const long long kEpoch1900 = DaysFromCivil(1899, 12, 30);  // serial 0 for dates from 3/1/1900
const long long kEpoch1904 = DaysFromCivil(1904, 1, 1);

// Serial of a date (year, month may overflow; day may be any).
double SerialOf(bool d1904, long long y, long long m, long long d) {
  y += (m - 1) >= 0 ? (m - 1) / 12 : -((12 - m) / 12);
  m = ((m - 1) % 12 + 12) % 12 + 1;
  long long days = DaysFromCivil(y, static_cast<int>(m), 1) + d - 1;
  if (d1904) return double(days - kEpoch1904);
  long long serial = days - kEpoch1900;
  if (serial < 61) --serial;  // before 3/1/1900 the count lacks the fictitious leap day
  return double(serial);
}

// Date of a serial; false when negative or beyond 9999.
bool DateOf(bool d1904, double serial, int& y, int& m, int& d) {
  if (serial < 0 || serial >= 2958466) return false;
  long long s = static_cast<long long>(std::floor(serial));
  if (d1904) {
    CivilFromDays(s + kEpoch1904, y, m, d);
    return true;
  }
  if (s == 0) {
    y = 1900, m = 1, d = 0;
    return true;
  }
  if (s == 60) {
    y = 1900, m = 2, d = 29;
    return true;
  }
  CivilFromDays((s < 60 ? s + 1 : s) + kEpoch1900, y, m, d);
  return true;
}

bool SerialArg(Evaluator& ev, const Operand& o, double& out, ErrorValue& err) {
  if (!ev.ArgNumber(o, out, err)) return false;
  if (out < 0) {
    err = ErrorValue::Num;
    return false;
  }
  return true;
}

#define DT_SERIAL(var, operand)                                     \
  double var = 0;                                                   \
  {                                                                 \
    ErrorValue err_;                                                \
    if (!SerialArg(ev, operand, var, err_)) return Operand::Err(err_); \
  }

bool D1904(Evaluator& ev) { return ev.Book().Date1904(); }

Operand Date(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(y, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(d, args[2]);
  y = std::trunc(y), m = std::trunc(m), d = std::trunc(d);
  if (y < 0 || y >= 10000 || std::fabs(m) > 1e6 || std::fabs(d) > 1e8)
    return Operand::Err(ErrorValue::Num);
  if (y < 1900 && !D1904(ev)) y += 1900;
  if (y < 1904 && D1904(ev)) y += 1900;
  double s = SerialOf(D1904(ev), static_cast<long long>(y), static_cast<long long>(m),
                      static_cast<long long>(d));
  if (s < 0 || s >= 2958466) return Operand::Err(ErrorValue::Num);
  return Operand::Num(s);
}

Operand Time(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(h, args[0]);
  DT_NUM(m, args[1]);
  DT_NUM(s, args[2]);
  double secs = std::trunc(h) * 3600 + std::trunc(m) * 60 + std::trunc(s);
  if (secs < 0 || !std::isfinite(secs)) return Operand::Err(ErrorValue::Num);
  return Operand::Num(std::fmod(secs, 86400) / 86400);
}

Operand DatePart(Evaluator& ev, std::span<Operand> args, int part) {
  DT_SERIAL(s, args[0]);
  int y, m, d;
  if (!DateOf(D1904(ev), s, y, m, d)) return Operand::Err(ErrorValue::Num);
  return Operand::Num(part == 0 ? y : part == 1 ? m : d);
}
Operand Year(Evaluator& ev, std::span<Operand> a) { return DatePart(ev, a, 0); }
Operand Month(Evaluator& ev, std::span<Operand> a) { return DatePart(ev, a, 1); }
Operand Day(Evaluator& ev, std::span<Operand> a) { return DatePart(ev, a, 2); }

Operand TimePart(Evaluator& ev, std::span<Operand> args, int part) {
  DT_SERIAL(s, args[0]);
  double secs = std::round((s - std::floor(s)) * 86400);
  long long t = static_cast<long long>(secs) % 86400;
  return Operand::Num(double(part == 0 ? t / 3600 : part == 1 ? (t / 60) % 60 : t % 60));
}
Operand Hour(Evaluator& ev, std::span<Operand> a) { return TimePart(ev, a, 0); }
Operand Minute(Evaluator& ev, std::span<Operand> a) { return TimePart(ev, a, 1); }
Operand Second(Evaluator& ev, std::span<Operand> a) { return TimePart(ev, a, 2); }

Operand Weekday(Evaluator& ev, std::span<Operand> args) {
  DT_SERIAL(s, args[0]);
  double type = 1;
  ErrorValue e;
  if (Given(args, 1) && !ev.ArgNumber(args[1], type, e)) return Operand::Err(e);
  long long day = static_cast<long long>(std::floor(s)) + (D1904(ev) ? 1462 : 0);
  int sun0 = static_cast<int>((day + 6) % 7);  // 0 = Sunday
  switch (static_cast<int>(type)) {
    case 1: return Operand::Num(sun0 + 1);
    case 2: return Operand::Num((sun0 + 6) % 7 + 1);
    case 3: return Operand::Num((sun0 + 6) % 7);
    default: return Operand::Err(ErrorValue::Num);
  }
}

double NowSerial(bool d1904) {
  std::time_t t = std::time(nullptr);
  std::tm local{};
  localtime_r(&t, &local);
  double day = SerialOf(d1904, local.tm_year + 1900, local.tm_mon + 1, local.tm_mday);
  return day + (local.tm_hour * 3600 + local.tm_min * 60 + local.tm_sec) / 86400.0;
}

Operand Now(Evaluator& ev, std::span<Operand>) { return Operand::Num(NowSerial(D1904(ev))); }
Operand Today(Evaluator& ev, std::span<Operand>) {
  return Operand::Num(std::floor(NowSerial(D1904(ev))));
}

bool LastDayOfMonth(int y, int m, int d) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  bool leap = (y % 4 == 0 && y % 100 != 0) || y % 400 == 0;
  return d == (m == 2 && leap ? 29 : kDays[m - 1]);
}

Operand Days360(Evaluator& ev, std::span<Operand> args) {
  DT_SERIAL(a, args[0]);
  DT_SERIAL(b, args[1]);
  bool european = false;
  ErrorValue e;
  if (Given(args, 2) && !ev.ArgBool(args[2], european, e)) return Operand::Err(e);
  int y1, m1, d1, y2, m2, d2;
  if (!DateOf(D1904(ev), a, y1, m1, d1) || !DateOf(D1904(ev), b, y2, m2, d2))
    return Operand::Err(ErrorValue::Num);
  if (european) {
    if (d1 == 31) d1 = 30;
    if (d2 == 31) d2 = 30;
  } else {
    if (m1 == 2 && LastDayOfMonth(y1, m1, d1)) d1 = 30;
    if (d1 == 31) d1 = 30;
    if (d2 == 31) {
      if (d1 < 30) {
        d2 = 1;
        if (++m2 > 12) m2 = 1, ++y2;
      } else {
        d2 = 30;
      }
    }
  }
  return Operand::Num(double((y2 - y1) * 360 + (m2 - m1) * 30 + (d2 - d1)));
}

Operand MonthShift(Evaluator& ev, std::span<Operand> args, bool endOfMonth) {
  DT_SERIAL(s, args[0]);
  DT_NUM(months, args[1]);
  int y, m, d;
  if (!DateOf(D1904(ev), s, y, m, d) || std::fabs(months) > 1e6) return Operand::Err(ErrorValue::Num);
  long long total = static_cast<long long>(y) * 12 + (m - 1) + static_cast<long long>(std::trunc(months));
  long long ny = total / 12;
  int nm = static_cast<int>(total % 12) + 1;
  // Last day of the target month: the day before the first of the next.
  double firstNext = SerialOf(D1904(ev), ny, nm + 1, 1);
  double last = firstNext - 1;
  double result = endOfMonth ? last : std::min(SerialOf(D1904(ev), ny, nm, d), last);
  if (result < 0 || result >= 2958466) return Operand::Err(ErrorValue::Num);
  return Operand::Num(result);
}
Operand EDate(Evaluator& ev, std::span<Operand> a) { return MonthShift(ev, a, false); }
Operand EoMonth(Evaluator& ev, std::span<Operand> a) { return MonthShift(ev, a, true); }

bool IsWeekend(bool d1904, long long serial) {
  int sun0 = static_cast<int>((serial + (d1904 ? 1462 : 0) + 6) % 7);
  return sun0 == 0 || sun0 == 6;
}

bool Holidays(Evaluator& ev, std::span<Operand> args, std::size_t at, std::vector<long long>& out,
              ErrorValue& err) {
  if (!Given(args, at)) return true;
  bool ok = true;
  ev.ForEachValue(args[at], [&](const Value& v, bool) {
    if (!ok) return;
    double n;
    if (!ev.ToNumber(v, n, err)) {
      ok = false;
      return;
    }
    out.push_back(static_cast<long long>(std::floor(n)));
  });
  return ok;
}

Operand NetworkDays(Evaluator& ev, std::span<Operand> args) {
  DT_SERIAL(a, args[0]);
  DT_SERIAL(b, args[1]);
  std::vector<long long> holidays;
  ErrorValue e;
  if (!Holidays(ev, args, 2, holidays, e)) return Operand::Err(e);
  long long from = static_cast<long long>(std::floor(a)), to = static_cast<long long>(std::floor(b));
  int sign = 1;
  if (from > to) std::swap(from, to), sign = -1;
  if (to - from > 4000000) return Operand::Err(ErrorValue::Num);
  long long n = 0;
  for (long long s = from; s <= to; ++s)
    if (!IsWeekend(D1904(ev), s) && std::find(holidays.begin(), holidays.end(), s) == holidays.end())
      ++n;
  return Operand::Num(double(sign * n));
}

Operand WorkDay(Evaluator& ev, std::span<Operand> args) {
  DT_SERIAL(a, args[0]);
  DT_NUM(days, args[1]);
  std::vector<long long> holidays;
  ErrorValue e;
  if (!Holidays(ev, args, 2, holidays, e)) return Operand::Err(e);
  days = std::trunc(days);
  if (std::fabs(days) > 1000000) return Operand::Err(ErrorValue::Num);
  long long s = static_cast<long long>(std::floor(a));
  long long left = static_cast<long long>(std::fabs(days));
  int step = days < 0 ? -1 : 1;
  while (left > 0) {
    s += step;
    if (s < 0) return Operand::Err(ErrorValue::Num);
    if (!IsWeekend(D1904(ev), s) && std::find(holidays.begin(), holidays.end(), s) == holidays.end())
      --left;
  }
  return Operand::Num(double(s));
}

Operand DateValue(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return Operand::Of(v);
  if (!v.IsText()) return Operand::Err(ErrorValue::Value);
  format::TypedEntry t = format::InterpretTyped(v.text, ev.Book().Locale(), D1904(ev));
  if (!t.value.IsNumber() || t.value.number < 0) return Operand::Err(ErrorValue::Value);
  return Operand::Num(std::floor(t.value.number));
}

Operand TimeValue(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return Operand::Of(v);
  if (!v.IsText()) return Operand::Err(ErrorValue::Value);
  format::TypedEntry t = format::InterpretTyped(v.text, ev.Book().Locale(), D1904(ev));
  if (!t.value.IsNumber() || t.value.number < 0) return Operand::Err(ErrorValue::Value);
  return Operand::Num(t.value.number - std::floor(t.value.number));
}

constexpr FunctionInfo kDate[] = {
    {"DATE", 65, 3, 3, false, Date},
    {"TIME", 66, 3, 3, false, Time},
    {"DAY", 67, 1, 1, false, Day},
    {"MONTH", 68, 1, 1, false, Month},
    {"YEAR", 69, 1, 1, false, Year},
    {"WEEKDAY", 70, 1, 2, false, Weekday},
    {"HOUR", 71, 1, 1, false, Hour},
    {"MINUTE", 72, 1, 1, false, Minute},
    {"SECOND", 73, 1, 1, false, Second},
    {"NOW", 74, 0, 0, true, Now},
    {"DATEVALUE", 140, 1, 1, false, DateValue},
    {"TIMEVALUE", 141, 1, 1, false, TimeValue},
    {"DAYS360", 220, 2, 3, false, Days360},
    {"TODAY", 221, 0, 0, true, Today},
    {"EDATE", 0x4000 + 3, 2, 2, false, EDate},
    {"EOMONTH", 0x4000 + 4, 2, 2, false, EoMonth},
    {"NETWORKDAYS", 0x4000 + 5, 2, 3, false, NetworkDays},
    {"WORKDAY", 0x4000 + 6, 2, 3, false, WorkDay},
};

}  // namespace

std::span<const FunctionInfo> DateFunctions() { return kDate; }

}  // namespace engine::formula
