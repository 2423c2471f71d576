// Text functions. Positions and lengths count characters (UTF-8 sequences), not bytes.
#include <cctype>
#include <cmath>

#include "control/format/number_format.h"
#include "control/format/typed_entry.h"
#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/model/workbook.h"

namespace engine::formula {

namespace {

constexpr std::size_t kMaxText = 32767;

Operand TextResult(std::string s) {
  if (CharLength(s) > kMaxText) return Operand::Err(ErrorValue::Value);
  return Operand::Str(std::move(s));
}

// A count argument: truncated, negative → #VALUE!.
bool CountArg(Evaluator& ev, const Operand& o, double deflt, std::size_t& out, ErrorValue& err) {
  double n = deflt;
  if (!o.IsMissing() && !ev.ArgNumber(o, n, err)) return false;
  if (n < 0) {
    err = ErrorValue::Value;
    return false;
  }
  out = n > 1e9 ? std::size_t(1e9) : static_cast<std::size_t>(n);
  return true;
}

Operand Concatenate(Evaluator& ev, std::span<Operand> args) {
  std::string out;
  for (Operand& a : args) {
    DT_TEXT(s, a);
    out += s;
  }
  return TextResult(std::move(out));
}

Operand Left(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  std::size_t n;
  ErrorValue e;
  if (!CountArg(ev, args.size() > 1 ? args[1] : Operand::Num(1), 1, n, e)) return Operand::Err(e);
  return Operand::Str(CharSlice(s, 0, n));
}

Operand Right(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  std::size_t n;
  ErrorValue e;
  if (!CountArg(ev, args.size() > 1 ? args[1] : Operand::Num(1), 1, n, e)) return Operand::Err(e);
  std::size_t len = CharLength(s);
  return Operand::Str(n >= len ? s : CharSlice(s, len - n, n));
}

Operand Mid(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  DT_NUM(start, args[1]);
  std::size_t n;
  ErrorValue e;
  if (!CountArg(ev, args[2], 0, n, e)) return Operand::Err(e);
  if (start < 1) return Operand::Err(ErrorValue::Value);
  double from = std::trunc(start) - 1;
  if (from > 1e9) return Operand::Str("");
  return Operand::Str(CharSlice(s, static_cast<std::size_t>(from), n));
}

Operand Len(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  return Operand::Num(double(CharLength(s)));
}

Operand Upper(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  return Operand::Str(ToUpperAscii(s));
}

Operand Lower(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  return Operand::Str(ToLowerAscii(s));
}

Operand Proper(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  bool prevLetter = false;
  for (char& c : s) {
    unsigned char u = static_cast<unsigned char>(c);
    if (std::isalpha(u)) {
      c = static_cast<char>(prevLetter ? std::tolower(u) : std::toupper(u));
      prevLetter = true;
    } else {
      prevLetter = u >= 0x80;  // letters of other scripts do not start a word anew
    }
  }
  return Operand::Str(s);
}

Operand Trim(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  std::string out;
  for (char c : s) {
    if (c == ' ' && (out.empty() || out.back() == ' ')) continue;
    out += c;
  }
  if (!out.empty() && out.back() == ' ') out.pop_back();
  return Operand::Str(out);
}

Operand Substitute(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  DT_TEXT(from, args[1]);
  DT_TEXT(to, args[2]);
  double instance = 0;
  if (Given(args, 3)) {
    ErrorValue e;
    if (!ev.ArgNumber(args[3], instance, e)) return Operand::Err(e);
    instance = std::trunc(instance);
    if (instance < 1) return Operand::Err(ErrorValue::Value);
  }
  if (from.empty()) return Operand::Str(s);
  std::string out;
  std::size_t pos = 0;
  int seen = 0;
  for (;;) {
    std::size_t hit = s.find(from, pos);
    if (hit == std::string::npos) break;
    ++seen;
    out.append(s, pos, hit - pos);
    out += (instance == 0 || seen == instance) ? to : from;
    pos = hit + from.size();
  }
  out.append(s, pos, std::string::npos);
  return TextResult(std::move(out));
}

Operand Replace(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  DT_NUM(start, args[1]);
  std::size_t n;
  ErrorValue e;
  if (!CountArg(ev, args[2], 0, n, e)) return Operand::Err(e);
  DT_TEXT(with, args[3]);
  if (start < 1) return Operand::Err(ErrorValue::Value);
  std::size_t len = CharLength(s);
  std::size_t from = std::min<double>(std::trunc(start) - 1, double(len));
  std::string out = CharSlice(s, 0, from) + with;
  if (from + n < len) out += CharSlice(s, from + n, len);
  return TextResult(std::move(out));
}

Operand FindImpl(Evaluator& ev, std::span<Operand> args, bool search) {
  DT_TEXT(needle, args[0]);
  DT_TEXT(hay, args[1]);
  double start = 1;
  if (Given(args, 2)) {
    ErrorValue e;
    if (!ev.ArgNumber(args[2], start, e)) return Operand::Err(e);
  }
  start = std::trunc(start);
  auto starts = CharStarts(hay);
  std::size_t chars = starts.size() - 1;
  if (start < 1 || start > double(chars) + (needle.empty() ? 1 : 0))
    return Operand::Err(ErrorValue::Value);
  auto from = static_cast<std::size_t>(start) - 1;
  if (needle.empty()) return Operand::Num(start);
  if (!search || !HasWildcards(needle)) {
    std::string h = search ? ToLowerAscii(hay) : hay;
    std::string n = search ? ToLowerAscii(needle) : needle;
    std::size_t hit = h.find(n, starts[from]);
    if (hit == std::string::npos) return Operand::Err(ErrorValue::Value);
    return Operand::Num(double(CharLength(std::string_view(hay).substr(0, hit)) + 1));
  }
  // SEARCH with wildcards: the first position where the pattern matches a prefix of the rest.
  std::string pattern = needle + "*";
  for (std::size_t i = from; i < chars; ++i) {
    std::string_view rest(hay.data() + starts[i], hay.size() - starts[i]);
    if (WildcardMatch(pattern, rest)) return Operand::Num(double(i + 1));
  }
  return Operand::Err(ErrorValue::Value);
}
Operand Find(Evaluator& ev, std::span<Operand> a) { return FindImpl(ev, a, false); }
Operand Search(Evaluator& ev, std::span<Operand> a) { return FindImpl(ev, a, true); }

Operand Rept(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  DT_NUM(n, args[1]);
  n = std::trunc(n);
  if (n < 0) return Operand::Err(ErrorValue::Value);
  if (double(CharLength(s)) * n > kMaxText) return Operand::Err(ErrorValue::Value);
  std::string out;
  for (int i = 0; i < static_cast<int>(n); ++i) out += s;
  return Operand::Str(out);
}

Operand Exact(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(a, args[0]);
  DT_TEXT(b, args[1]);
  return Operand::Bool(a == b);
}

Operand Text(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return Operand::Of(v);
  DT_TEXT(code, args[1]);
  if (v.IsEmpty()) v = Value::Number(0);
  if (v.IsText()) {
    double n;
    ErrorValue e;
    if (ev.ToNumber(v, n, e)) v = Value::Number(n);
  }
  auto fmt = format::ParseNumberFormat(code);
  return Operand::Str(format::Render(*fmt, v, ev.Book().Locale(), ev.Book().Date1904()));
}

Operand ValueFn(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return Operand::Of(v);
  if (v.IsNumber()) return Operand::Of(v);
  if (v.IsEmpty()) return Operand::Num(0);
  if (!v.IsText()) return Operand::Err(ErrorValue::Value);
  std::string s = v.text;
  while (!s.empty() && s.back() == ' ') s.pop_back();
  while (!s.empty() && s.front() == ' ') s.erase(0, 1);
  if (s.empty()) return Operand::Err(ErrorValue::Value);
  format::TypedEntry e = format::InterpretTyped(s, ev.Book().Locale(), ev.Book().Date1904());
  if (!e.value.IsNumber()) return Operand::Err(ErrorValue::Value);
  return Operand::Of(e.value);
}

std::string FixedCode(int decimals, bool commas) {
  std::string code = commas ? "#,##0" : "0";
  if (decimals > 0) code += "." + std::string(static_cast<std::size_t>(decimals), '0');
  return code;
}

Operand Dollar(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  double d = 2;
  if (Given(args, 1)) {
    ErrorValue e;
    if (!ev.ArgNumber(args[1], d, e)) return Operand::Err(e);
  }
  int digits = static_cast<int>(std::trunc(std::min(d, 127.0)));
  x = RoundDigits(x, digits, 0);
  const LocaleSettings& loc = ev.Book().Locale();
  std::string number = FixedCode(std::max(digits, 0), true);
  std::string sym = "\"" + loc.currencySymbol + "\"";
  std::string sp = loc.currencySpace ? " " : "";
  std::string pos = loc.currencyBefore ? sym + sp + number : number + sp + sym;
  auto fmt = format::ParseNumberFormat(pos + ";(" + pos + ")");
  return Operand::Str(format::Render(*fmt, Value::Number(x), loc, ev.Book().Date1904()));
}

Operand Fixed(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  double d = 2;
  bool noCommas = false;
  ErrorValue e;
  if (Given(args, 1) && !ev.ArgNumber(args[1], d, e)) return Operand::Err(e);
  if (Given(args, 2) && !ev.ArgBool(args[2], noCommas, e)) return Operand::Err(e);
  if (d > 127) return Operand::Err(ErrorValue::Value);
  int digits = static_cast<int>(std::trunc(d));
  x = RoundDigits(x, digits, 0);
  auto fmt = format::ParseNumberFormat(FixedCode(std::max(digits, 0), !noCommas));
  return Operand::Str(format::Render(*fmt, Value::Number(x), ev.Book().Locale(), false));
}

// Windows-1252 bytes 0x80–0x9F as Unicode; other bytes are Latin-1.
constexpr char16_t kCp1252High[32] = {
    0x20AC, 0x81,   0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x8D,   0x017D, 0x8F,   0x90,   0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x9D,   0x017E, 0x0178};

std::string Utf8(char32_t cp) {
  std::string s;
  if (cp < 0x80) {
    s += static_cast<char>(cp);
  } else if (cp < 0x800) {
    s += static_cast<char>(0xC0 | (cp >> 6));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    s += static_cast<char>(0xE0 | (cp >> 12));
    s += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    s += static_cast<char>(0x80 | (cp & 0x3F));
  }
  return s;
}

Operand Char(Evaluator& ev, std::span<Operand> args) {
  DT_NUM(x, args[0]);
  x = std::trunc(x);
  if (x < 1 || x > 255) return Operand::Err(ErrorValue::Value);
  int b = static_cast<int>(x);
  char32_t cp = (b >= 0x80 && b < 0xA0) ? kCp1252High[b - 0x80] : static_cast<char32_t>(b);
  return Operand::Str(Utf8(cp));
}

Operand Code(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  if (s.empty()) return Operand::Err(ErrorValue::Value);
  unsigned char c0 = static_cast<unsigned char>(s[0]);
  if (c0 < 0x80) return Operand::Num(c0);
  // Decode the first UTF-8 sequence and map it back to the Windows-1252 byte.
  char32_t cp = 0;
  if ((c0 & 0xE0) == 0xC0 && s.size() >= 2)
    cp = ((c0 & 0x1F) << 6) | (static_cast<unsigned char>(s[1]) & 0x3F);
  else if ((c0 & 0xF0) == 0xE0 && s.size() >= 3)
    cp = ((c0 & 0x0F) << 12) | ((static_cast<unsigned char>(s[1]) & 0x3F) << 6) |
         (static_cast<unsigned char>(s[2]) & 0x3F);
  else
    return Operand::Num('?');
  for (int i = 0; i < 32; ++i)
    if (kCp1252High[i] == cp) return Operand::Num(0x80 + i);
  if (cp >= 0xA0 && cp <= 0xFF) return Operand::Num(double(cp));
  return Operand::Num('?');
}

Operand Clean(Evaluator& ev, std::span<Operand> args) {
  DT_TEXT(s, args[0]);
  std::string out;
  for (char c : s)
    if (static_cast<unsigned char>(c) >= 32) out += c;
  return Operand::Str(out);
}

Operand T(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return Operand::Of(v);
  return Operand::Str(v.IsText() ? v.text : std::string());
}

Operand N(Evaluator& ev, std::span<Operand> args) {
  Value v = ev.Scalar(args[0]);
  if (v.IsError()) return Operand::Of(v);
  if (v.IsNumber()) return Operand::Of(v);
  if (v.IsLogical()) return Operand::Num(v.logical ? 1 : 0);
  return Operand::Num(0);
}

constexpr FunctionInfo kText[] = {
    {"DOLLAR", 13, 1, 2, false, Dollar},
    {"FIXED", 14, 1, 3, false, Fixed},
    {"REPT", 30, 2, 2, false, Rept},
    {"MID", 31, 3, 3, false, Mid},
    {"LEN", 32, 1, 1, false, Len},
    {"VALUE", 33, 1, 1, false, ValueFn},
    {"TEXT", 48, 2, 2, false, Text},
    {"SEARCH", 82, 2, 3, false, Search},
    {"CHAR", 111, 1, 1, false, Char},
    {"LOWER", 112, 1, 1, false, Lower},
    {"UPPER", 113, 1, 1, false, Upper},
    {"PROPER", 114, 1, 1, false, Proper},
    {"LEFT", 115, 1, 2, false, Left},
    {"RIGHT", 116, 1, 2, false, Right},
    {"EXACT", 117, 2, 2, false, Exact},
    {"TRIM", 118, 1, 1, false, Trim},
    {"REPLACE", 119, 4, 4, false, Replace},
    {"SUBSTITUTE", 120, 3, 4, false, Substitute},
    {"CODE", 121, 1, 1, false, Code},
    {"FIND", 124, 2, 3, false, Find},
    {"T", 130, 1, 1, false, T},
    {"N", 131, 1, 1, false, N},
    {"CLEAN", 162, 1, 1, false, Clean},
    {"CONCATENATE", 336, 0, 30, false, Concatenate},
};

}  // namespace

std::span<const FunctionInfo> TextFunctions() { return kText; }

}  // namespace engine::formula
