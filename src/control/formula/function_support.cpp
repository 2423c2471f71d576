#include "control/formula/function_support.h"

#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstdlib>

#include "control/format/typed_entry.h"
#include "control/model/workbook.h"

namespace engine::formula {

std::vector<std::size_t> CharStarts(std::string_view s) {
  std::vector<std::size_t> starts;
  for (std::size_t i = 0; i < s.size(); ++i)
    if ((static_cast<unsigned char>(s[i]) & 0xC0) != 0x80) starts.push_back(i);
  starts.push_back(s.size());
  return starts;
}

std::size_t CharLength(std::string_view s) {
  std::size_t n = 0;
  for (unsigned char c : s) n += (c & 0xC0) != 0x80;
  return n;
}

std::string CharSlice(std::string_view s, std::size_t from, std::size_t count) {
  auto starts = CharStarts(s);
  std::size_t chars = starts.size() - 1;
  if (from >= chars) return {};
  std::size_t to = count > chars - from ? chars : from + count;
  return std::string(s.substr(starts[from], starts[to] - starts[from]));
}

std::string ToUpperAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  return s;
}

std::string ToLowerAscii(std::string s) {
  for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return s;
}

bool HasWildcards(std::string_view p) {
  return p.find_first_of("*?~") != std::string_view::npos;
}

bool WildcardMatch(std::string_view p, std::string_view t) {
  // Iterative matcher with backtracking on the last star: linear memory, no recursion.
  std::size_t pi = 0, ti = 0, starP = std::string_view::npos, starT = 0;
  auto lower = [](char c) { return std::tolower(static_cast<unsigned char>(c)); };
  while (ti < t.size()) {
    if (pi < p.size() && p[pi] == '*') {
      starP = pi++;
      starT = ti;
      continue;
    }
    if (pi < p.size()) {
      char pc = p[pi];
      bool literal = false;
      if (pc == '~' && pi + 1 < p.size() && (p[pi + 1] == '*' || p[pi + 1] == '?' || p[pi + 1] == '~')) {
        pc = p[pi + 1];
        literal = true;
      }
      if ((!literal && pc == '?') || lower(pc) == lower(t[ti])) {
        pi += literal ? 2 : 1;
        ++ti;
        continue;
      }
    }
    if (starP == std::string_view::npos) return false;
    pi = starP + 1;
    ti = ++starT;
  }
  while (pi < p.size() && p[pi] == '*') ++pi;
  return pi == p.size();
}

Criterion::Criterion(Evaluator& ev, const Value& c) {
  if (!c.IsText()) {
    operand_ = c.IsEmpty() ? Value::Number(0) : c;
    return;
  }
  std::string_view s = c.text;
  if (s.starts_with("<=")) op_ = Le, s.remove_prefix(2);
  else if (s.starts_with(">=")) op_ = Ge, s.remove_prefix(2);
  else if (s.starts_with("<>")) op_ = Ne, s.remove_prefix(2);
  else if (s.starts_with("<")) op_ = Lt, s.remove_prefix(1);
  else if (s.starts_with(">")) op_ = Gt, s.remove_prefix(1);
  else if (s.starts_with("=")) op_ = Eq, s.remove_prefix(1);
  if (s.empty()) {
    operand_ = Value();
    return;
  }
  format::TypedEntry e = format::InterpretTyped(s, ev.Book().Locale(), ev.Book().Date1904());
  if (e.value.IsNumber() || e.value.IsLogical() || e.value.IsError()) {
    operand_ = e.value;
    return;
  }
  operand_ = Value::Text(std::string(s));
  wildcard_ = (op_ == Eq || op_ == Ne) && HasWildcards(s);
}

bool Criterion::Matches(const Value& v) const {
  if (operand_.IsEmpty()) {
    // "=" matches blanks, "<>" anything with content.
    bool blank = v.IsEmpty() || (v.IsText() && v.text.empty());
    return op_ == Ne ? !blank : op_ == Eq ? blank : false;
  }
  // Values compare within their kind; a value of another kind only satisfies "<>".
  if (v.kind != operand_.kind) return op_ == Ne;
  int cmp;
  if (v.IsText() && wildcard_) {
    bool m = WildcardMatch(operand_.text, v.text);
    return op_ == Eq ? m : !m;
  }
  cmp = CompareValues(v, operand_);
  switch (op_) {
    case Eq: return cmp == 0;
    case Ne: return cmp != 0;
    case Lt: return cmp < 0;
    case Le: return cmp <= 0;
    case Gt: return cmp > 0;
    case Ge: return cmp >= 0;
  }
  return false;
}

bool CollectNumbers(Evaluator& ev, std::span<Operand> args, std::vector<double>& out,
                    ErrorValue& err) {
  bool ok = true;
  for (Operand& a : args) {
    ev.ForEachValue(a, [&](const Value& v, bool fromRef) {
      if (!ok) return;
      if (v.IsError()) {
        err = v.error, ok = false;
        return;
      }
      if (v.IsNumber()) {
        out.push_back(v.number);
        return;
      }
      if (fromRef) return;
      double n;
      if (!ev.ToNumber(v, n, err)) {
        ok = false;
        return;
      }
      out.push_back(n);
    });
    if (!ok) return false;
  }
  return true;
}

double RoundDigits(double x, int digits, int mode) {
  if (digits > 15) digits = 15;
  if (digits < -15) digits = -15;
  double scale = std::pow(10.0, std::abs(digits));
  double y = digits >= 0 ? x * scale : x / scale;
  // Drop binary noise: 2.675*100 is 267.49999999999997 but reads as 267.5.
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", y);
  y = std::strtod(buf, nullptr);
  double r;
  if (mode == 0)
    r = std::round(y);
  else if (mode > 0)
    r = y < 0 ? -std::ceil(-y) : std::ceil(y);
  else
    r = std::trunc(y);
  return digits >= 0 ? r / scale : r * scale;
}

}  // namespace engine::formula
