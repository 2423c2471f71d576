// Rendering of number sections: fixed decimals with grouping and scaling, scientific
// notation and fractions.
#include <cmath>
#include <string_view>

#include "control/format/decimal_digits.h"
#include "control/format/format_code.h"

namespace engine::format {
namespace {

// Places the digits of a whole number into right-aligned placeholders: the last placeholder
// takes the units, the first one also takes any digits left over.
class IntegerPlacer {
 public:
  IntegerPlacer(std::string_view digits, int places, const std::string* separator)
      : digits_(digits), len_(static_cast<int>(digits.size())), places_(places), sep_(separator) {}

  void Emit(int index, char ch, std::string& out) const {
    int j = places_ - 1 - index;
    if (index == 0)
      for (int p = len_ - 1; p > j; --p) Put(p, out);
    if (j < len_)
      Put(j, out);
    else if (ch == '0')
      PutChar('0', j, out);
    else if (ch == '?')
      out += ' ';
  }
  void EmitAll(std::string& out) const {
    for (int p = len_ - 1; p >= 0; --p) Put(p, out);
  }

 private:
  void Put(int j, std::string& out) const { PutChar(digits_[len_ - 1 - j], j, out); }
  void PutChar(char c, int j, std::string& out) const {
    out += c;
    if (sep_ && j > 0 && j % 3 == 0) out += *sep_;
  }

  std::string_view digits_;
  int len_;
  int places_;
  const std::string* sep_;
};

std::string IntegerDigits(const DecimalDigits& d) {
  std::string s;
  for (int k = 0; k < d.point; ++k) s += d.At(k);
  return s;
}

// The fraction placeholders: '0' always shows its digit, '#' and '?' only up to the last
// significant digit ('?' leaves a space after it).
void EmitFracDigit(const DecimalDigits& d, int k, int lastSignificant, char ch, std::string& out) {
  if (ch == '0' || k <= lastSignificant)
    out += d.At(d.point + k);
  else if (ch == '?')
    out += ' ';
}

int LastSignificant(const DecimalDigits& d, int fracDigits) {
  int last = -1;
  for (int k = 0; k < fracDigits; ++k)
    if (d.At(d.point + k) != '0') last = k;
  return last;
}

// Renders plain and scientific sections once the (mantissa) digits are known.
void EmitDigits(const Section& s, double value, const DecimalDigits& d, int exponent,
                const LocaleSettings& locale, std::string& out) {
  std::string intDigits = IntegerDigits(d);
  IntegerPlacer placer(intDigits, s.intDigits, s.thousands ? &locale.thousandsSeparator : nullptr);
  int lastSig = LastSignificant(d, s.fracDigits);
  int intIndex = 0, fracIndex = 0;
  for (const Token& t : s.tokens) {
    switch (t.kind) {
      case Tok::Literal:
        out += t.text;
        break;
      case Tok::Digit:
        if (t.role == DigitRole::Int)
          placer.Emit(intIndex++, t.ch, out);
        else if (t.role == DigitRole::Frac)
          EmitFracDigit(d, fracIndex++, lastSig, t.ch, out);
        break;
      case Tok::Point:
        if (s.intDigits == 0) placer.EmitAll(out);  // ".00" still shows the whole part
        out += locale.decimalSeparator;
        break;
      case Tok::Percent:
        out += '%';
        break;
      case Tok::Exponent: {
        out += t.ch;
        if (exponent < 0)
          out += '-';
        else if (t.plusSign)
          out += '+';
        std::string e = std::to_string(exponent < 0 ? -exponent : exponent);
        for (int k = static_cast<int>(e.size()); k < s.expZeros; ++k) out += '0';
        out += e;
        break;
      }
      case Tok::General:
        AppendGeneral(value, locale, out);
        break;
      default:
        break;
    }
  }
}

void RenderFixed(const Section& s, double value, const LocaleSettings& locale, std::string& out) {
  DecimalDigits d = ToDecimal(value);
  if (!d.IsZero()) d.point += s.scale;
  RoundDecimals(d, s.fracDigits);
  EmitDigits(s, value, d, 0, locale, out);
}

long FloorDiv(long a, long b) { return a >= 0 ? a / b : -((-a + b - 1) / b); }

void RenderScientific(const Section& s, double value, const LocaleSettings& locale,
                      std::string& out) {
  DecimalDigits d = ToDecimal(value);
  if (!d.IsZero()) d.point += s.scale;
  auto exponentFor = [&](long e) -> long {
    if (s.intDigits == 0) return e + 1;
    // "##0.0E+0": the exponent is a multiple of the placeholders before the point.
    if (s.intHasHash && s.intDigits > 1) return FloorDiv(e, s.intDigits) * s.intDigits;
    return e - (s.intDigits - 1);
  };
  long x = 0;
  if (!d.IsZero()) {
    long e = d.point - 1;
    x = exponentFor(e);
    d.point -= static_cast<int>(x);
    RoundDecimals(d, s.fracDigits);
    if (!d.IsZero() && d.point + x - 1 != e) {  // 9.99 rounded up to the next power of ten
      e = d.point + x - 1;
      long x2 = exponentFor(e);
      d.point += static_cast<int>(x - x2);
      x = x2;
    }
  }
  EmitDigits(s, value, d, static_cast<int>(x), locale, out);
}

// The closest fraction to f (0 ≤ f < 1, or any f ≥ 0 for an improper fraction) whose
// denominator is at most maxDen, by continued fractions.
void BestFraction(double f, long long maxDen, long long& num, long long& den) {
  long long p0 = 0, q0 = 1, p1 = 1, q1 = 0;
  double x = f;
  for (int iter = 0; iter < 64; ++iter) {
    double a = std::floor(x);
    if (a > 1e15) break;
    auto ai = static_cast<long long>(a);
    long long q2 = q0 + ai * q1;
    if (q2 > maxDen) break;
    long long p2 = p0 + ai * p1;
    p0 = p1, q0 = q1, p1 = p2, q1 = q2;
    double rest = x - a;
    if (rest < 1e-12) break;
    x = 1 / rest;
  }
  if (q1 == 0) {  // f is below 1/maxDen's reach: 0
    num = 0;
    den = 1;
    return;
  }
  // The best semiconvergent below the limit competes with the last convergent.
  long long k = (maxDen - q0) / q1;
  long long pb = p0 + k * p1, qb = q0 + k * q1;
  double e1 = std::fabs(static_cast<double>(p1) / static_cast<double>(q1) - f);
  double e2 = qb > 0 ? std::fabs(static_cast<double>(pb) / static_cast<double>(qb) - f) : 1e300;
  if (e2 < e1) {
    num = pb;
    den = qb;
  } else {
    num = p1;
    den = q1;
  }
}

void RenderFraction(const Section& s, double value, const LocaleSettings& locale,
                    std::string& out) {
  if (s.scale) value *= std::pow(10.0, s.scale);
  if (value >= 1e15) {  // beyond exact whole numbers: no fraction left to show
    RenderFixed(s, value, locale, out);
    return;
  }
  bool improper = s.intDigits == 0;
  double whole = improper ? 0 : std::floor(value);
  double f = value - whole;
  long long num = 0, den = 1;
  if (s.fixedDen > 0) {
    den = s.fixedDen;
    num = static_cast<long long>(std::floor(f * static_cast<double>(den) + 0.5));
  } else {
    long long maxDen = 1;
    for (int k = 0; k < std::min(s.denDigits, 7); ++k) maxDen *= 10;
    BestFraction(f, maxDen - 1, num, den);
  }
  if (!improper && num >= den) {
    whole += 1;
    num -= den;
  }
  std::string wholeDigits = whole > 0 ? IntegerDigits(ToDecimal(whole)) : std::string();
  // A whole number shows no fraction (spaces keep the alignment) but at least its "0".
  bool noFraction = num == 0 && !improper;
  if (noFraction && wholeDigits.empty()) wholeDigits = "0";
  std::string numDigits = improper || num ? std::to_string(num) : std::string();
  std::string denDigits = std::to_string(den);
  IntegerPlacer wholePlacer(wholeDigits, s.intDigits,
                            s.thousands ? &locale.thousandsSeparator : nullptr);
  IntegerPlacer numPlacer(numDigits, s.numDigits, nullptr);
  int intIndex = 0, numIndex = 0, denIndex = 0;
  for (const Token& t : s.tokens) {
    switch (t.kind) {
      case Tok::Literal:
        out += t.text;
        break;
      case Tok::Digit:
        if (t.role == DigitRole::Int) {
          wholePlacer.Emit(intIndex++, t.ch, out);
        } else if (t.role == DigitRole::Num) {
          if (noFraction)
            out += ' ';
          else
            numPlacer.Emit(numIndex++, t.ch, out);
        } else if (t.role == DigitRole::Den) {
          // Left-aligned: the last placeholder takes any digits left over.
          int k = denIndex++;
          if (noFraction) {
            out += ' ';
          } else if (k < static_cast<int>(denDigits.size())) {
            out += k == s.denDigits - 1 ? std::string_view(denDigits).substr(k)
                                        : std::string_view(denDigits).substr(k, 1);
          } else if (t.ch == '?') {
            out += ' ';
          }
        }
        break;
      case Tok::FractionBar:
        out += noFraction ? ' ' : '/';
        break;
      case Tok::Denominator:
        if (noFraction)
          out.append(denDigits.size(), ' ');
        else
          out += denDigits;
        break;
      case Tok::Percent:
        out += '%';
        break;
      case Tok::General:
        AppendGeneral(value, locale, out);
        break;
      default:
        break;
    }
  }
}

}  // namespace

void RenderNumberSection(const Section& s, double value, const LocaleSettings& locale,
                         std::string& out) {
  switch (s.kind) {
    case SectionKind::Scientific:
      RenderScientific(s, value, locale, out);
      return;
    case SectionKind::Fraction:
      RenderFraction(s, value, locale, out);
      return;
    default:
      RenderFixed(s, value, locale, out);
      return;
  }
}

}  // namespace engine::format
