// Typed numbers: signs, thousands groups, decimals, exponents, percentages, currency amounts,
// negative amounts in parentheses and mixed fractions ("1 1/2"), by the locale's separators.
#include <cctype>
#include <charconv>
#include <cmath>

#include "control/format/typed_entry_parts.h"

namespace engine::format {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

bool At(std::string_view s, std::size_t i, std::string_view what) {
  return !what.empty() && s.size() >= i && s.substr(i, what.size()) == what;
}

void SkipSpaces(std::string_view s, std::size_t& i) {
  while (i < s.size() && s[i] == ' ') ++i;
}

struct NumberBody {
  std::string mantissa;  // digits with '.' as the decimal point
  long exponent = 0;
  bool grouped = false;
  bool decimals = false;
  bool scientific = false;
};

// Reads an unsigned number at s[i…]: digits in valid groups of three when the thousands
// separator is used, a decimal part, an exponent.
bool ReadBody(std::string_view s, std::size_t& i, const LocaleSettings& locale, NumberBody& b) {
  const std::string& dec = locale.decimalSeparator;
  const std::string& th = locale.thousandsSeparator;
  std::size_t p = i;
  int intDigits = 0, groupLen = 0;
  while (p < s.size()) {
    if (IsDigit(s[p])) {
      b.mantissa += s[p++];
      ++intDigits;
      ++groupLen;
    } else if (th != dec && At(s, p, th) && intDigits > 0 && p + th.size() < s.size() &&
               IsDigit(s[p + th.size()])) {
      if (b.grouped ? groupLen != 3 : groupLen > 3) return false;
      b.grouped = true;
      groupLen = 0;
      p += th.size();
    } else {
      break;
    }
  }
  if (b.grouped && groupLen != 3) return false;
  int fracDigits = 0;
  if (At(s, p, dec)) {
    p += dec.size();
    b.mantissa += '.';
    while (p < s.size() && IsDigit(s[p])) {
      b.mantissa += s[p++];
      ++fracDigits;
    }
    b.decimals = fracDigits > 0;
  }
  if (intDigits == 0 && fracDigits == 0) return false;
  if (p < s.size() && (s[p] == 'e' || s[p] == 'E')) {
    std::size_t q = p + 1;
    bool negative = false;
    if (q < s.size() && (s[q] == '+' || s[q] == '-')) negative = s[q++] == '-';
    std::size_t start = q;
    long e = 0;
    while (q < s.size() && IsDigit(s[q])) {
      if (e < 100000) e = e * 10 + (s[q] - '0');
      ++q;
    }
    if (q == start) return false;
    b.exponent = negative ? -e : e;
    b.scientific = true;
    p = q;
  }
  i = p;
  return true;
}

bool ToDouble(const NumberBody& b, long shift, double& out) {
  std::string text = b.mantissa + "e" + std::to_string(b.exponent + shift);
  auto r = std::from_chars(text.data(), text.data() + text.size(), out);
  return r.ec == std::errc() && r.ptr == text.data() + text.size() && std::isfinite(out);
}

// "1 1/2", "-3 7/16": a whole number, spaces, a proper fraction.
std::optional<TypedEntry> ParseMixedFraction(std::string_view s) {
  std::size_t i = 0;
  bool negative = false;
  if (i < s.size() && (s[i] == '-' || s[i] == '+')) negative = s[i++] == '-';
  auto readInt = [&](long long& v) {
    std::size_t start = i;
    v = 0;
    while (i < s.size() && IsDigit(s[i]) && i - start < 9) v = v * 10 + (s[i++] - '0');
    return i > start && (i == s.size() || !IsDigit(s[i]));
  };
  long long whole, num, den;
  if (!readInt(whole) || i >= s.size() || s[i] != ' ') return std::nullopt;
  SkipSpaces(s, i);
  if (!readInt(num) || i >= s.size() || s[i] != '/') return std::nullopt;
  ++i;
  if (!readInt(den) || i != s.size() || den == 0 || num >= den) return std::nullopt;
  double v = static_cast<double>(whole) + static_cast<double>(num) / static_cast<double>(den);
  TypedEntry e;
  e.value = Value::Number(negative ? -v : v);
  e.formatCode = den < 10 ? "# ?/?" : den < 100 ? "# ?\?/??" : "# ?\?\?/???";
  return e;
}

}  // namespace

std::string CurrencyCode(const LocaleSettings& locale, bool decimals) {
  const std::string& sym = locale.currencySymbol;
  std::string symbol = sym == "$" || sym == "\u20AC" || sym == "\u00A3" || sym == "\u00A5"
                           ? sym
                           : "[$" + sym + "]";
  std::string number = decimals ? "#,##0.00" : "#,##0";
  std::string space = locale.currencySpace ? " " : "";
  return locale.currencyBefore ? symbol + space + number : number + space + symbol;
}

std::optional<TypedEntry> ParseTypedNumber(std::string_view s, const LocaleSettings& locale) {
  if (auto fraction = ParseMixedFraction(s)) return fraction;
  bool paren = false;
  if (s.size() >= 2 && s.front() == '(' && s.back() == ')') {
    paren = true;
    s = s.substr(1, s.size() - 2);
  }
  const std::string& sym = locale.currencySymbol;
  std::size_t i = 0;
  bool negative = false, signSeen = false, currency = false, percent = false;
  auto readSign = [&] {
    if (!signSeen && i < s.size() && (s[i] == '-' || s[i] == '+')) {
      negative = s[i++] == '-';
      signSeen = true;
    }
  };
  readSign();
  if (At(s, i, sym)) {
    currency = true;
    i += sym.size();
    SkipSpaces(s, i);
    readSign();
  }
  NumberBody body;
  if (!ReadBody(s, i, locale, body)) return std::nullopt;
  std::size_t beforeSpaces = i;
  SkipSpaces(s, i);
  if (!currency && At(s, i, sym)) {
    currency = true;
    i += sym.size();
    SkipSpaces(s, i);
  } else if (!currency && i < s.size() && s[i] == '%') {
    percent = true;
    ++i;
  } else {
    i = beforeSpaces;
  }
  if (i != s.size() || (paren && signSeen)) return std::nullopt;
  double v;
  if (!ToDouble(body, percent ? -2 : 0, v)) return std::nullopt;
  TypedEntry e;
  e.value = Value::Number(v != 0 && (negative || paren) ? -v : v);
  if (percent)
    e.formatCode = body.decimals ? "0.00%" : "0%";
  else if (currency)
    e.formatCode = CurrencyCode(locale, body.decimals);
  else if (body.scientific)
    e.formatCode = "0.00E+00";
  else if (body.grouped)
    e.formatCode = body.decimals ? "#,##0.00" : "#,##0";
  return e;
}

}  // namespace engine::format
