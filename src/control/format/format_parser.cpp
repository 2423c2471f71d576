// Turns a format code into sections of tokens and works out each section's layout. Every
// input parses: what is not a token is shown as literal text.
#include <algorithm>
#include <cctype>
#include <charconv>

#include "control/format/format_code.h"

namespace engine::format {
namespace {

int Utf8Length(unsigned char c) {
  if (c < 0x80) return 1;
  if ((c >> 5) == 0x6) return 2;
  if ((c >> 4) == 0xE) return 3;
  if ((c >> 3) == 0x1E) return 4;
  return 1;
}

char Lower(char c) { return static_cast<char>(std::tolower(static_cast<unsigned char>(c))); }

bool StartsWithNoCase(std::string_view s, std::size_t at, std::string_view word) {
  if (s.size() - at < word.size()) return false;
  for (std::size_t k = 0; k < word.size(); ++k)
    if (Lower(s[at + k]) != word[k]) return false;
  return true;
}

bool IsDateToken(Tok t) { return t >= Tok::Year2 && t <= Tok::ElapsedSeconds; }
bool IsHourToken(Tok t) { return t == Tok::Hour || t == Tok::Hour2 || t == Tok::ElapsedHours; }
bool IsSecondToken(Tok t) {
  return t == Tok::Second || t == Tok::Second2 || t == Tok::ElapsedSeconds;
}

// Splits at the semicolons that separate sections (not those quoted or escaped).
std::vector<std::string_view> SplitSections(std::string_view code) {
  std::vector<std::string_view> parts;
  std::size_t start = 0;
  for (std::size_t i = 0; i < code.size(); ++i) {
    char c = code[i];
    if (c == '"') {
      auto close = code.find('"', i + 1);
      i = close == std::string_view::npos ? code.size() : close;
    } else if (c == '\\' || c == '_' || c == '*') {
      if (i + 1 < code.size()) i += Utf8Length(static_cast<unsigned char>(code[i + 1]));
    } else if (c == ';') {
      parts.push_back(code.substr(start, i - start));
      start = i + 1;
    }
  }
  parts.push_back(code.substr(start));
  return parts;
}

class SectionParser {
 public:
  explicit SectionParser(Section& s) : s_(s) {}

  void Parse(std::string_view text) {
    t_ = text;
    i_ = 0;
    while (i_ < t_.size()) Step();
  }

 private:
  void Literal(std::string_view text) {
    if (text.empty()) return;
    if (!s_.tokens.empty() && s_.tokens.back().kind == Tok::Literal)
      s_.tokens.back().text.append(text);
    else
      Add(Tok::Literal).text.assign(text);
  }
  Token& Add(Tok kind) {
    s_.tokens.push_back(Token{});
    s_.tokens.back().kind = kind;
    return s_.tokens.back();
  }
  std::string_view NextChar(std::size_t at) const {
    if (at >= t_.size()) return {};
    std::size_t len = Utf8Length(static_cast<unsigned char>(t_[at]));
    return t_.substr(at, std::min(len, t_.size() - at));
  }
  std::size_t RunOf(char lower) const {
    std::size_t n = 0;
    while (i_ + n < t_.size() && Lower(t_[i_ + n]) == lower) ++n;
    return n;
  }
  bool AfterSeconds() const {
    return !s_.tokens.empty() && IsSecondToken(s_.tokens.back().kind);
  }

  void Step() {
    char c = t_[i_];
    switch (c) {
      case '"': {
        auto close = t_.find('"', i_ + 1);
        if (close == std::string_view::npos) close = t_.size();
        Literal(t_.substr(i_ + 1, close - i_ - 1));
        i_ = close + 1;
        return;
      }
      case '\\': {
        auto next = NextChar(i_ + 1);
        Literal(next);
        i_ += 1 + next.size();
        return;
      }
      case '_':  // a space as wide as the next character
        Literal(" ");
        i_ += 1 + NextChar(i_ + 1).size();
        return;
      case '*':  // fill character: the column has no fixed width here, so nothing
        i_ += 1 + NextChar(i_ + 1).size();
        return;
      case '[':
        Bracket();
        return;
      case '0':
      case '#':
      case '?':
        Add(Tok::Digit).ch = c;
        ++i_;
        return;
      case '.':
        if (AfterSeconds() && i_ + 1 < t_.size() && t_[i_ + 1] == '0') {
          std::size_t n = 1;
          while (i_ + n < t_.size() && t_[i_ + n] == '0') ++n;
          Add(Tok::FracSecond).count = static_cast<int>(n - 1);
          i_ += n;
          return;
        }
        Add(Tok::Point);
        ++i_;
        return;
      case ',':
        Add(Tok::Comma);
        ++i_;
        return;
      case '%':
        Add(Tok::Percent);
        ++i_;
        return;
      case '@':
        Add(Tok::TextValue);
        ++i_;
        return;
      case '/':
        Slash();
        return;
      case 'E':
      case 'e':
        if (i_ + 1 < t_.size() && (t_[i_ + 1] == '+' || t_[i_ + 1] == '-')) {
          Token& e = Add(Tok::Exponent);
          e.ch = c;
          e.plusSign = t_[i_ + 1] == '+';
          i_ += 2;
          return;
        }
        break;
      default:
        break;
    }
    if (StartsWithNoCase(t_, i_, "general")) {
      Add(Tok::General);
      i_ += 7;
      return;
    }
    if (StartsWithNoCase(t_, i_, "am/pm")) {
      Add(Tok::AmPm);
      i_ += 5;
      return;
    }
    if (StartsWithNoCase(t_, i_, "a/p")) {
      Token& ap = Add(Tok::AP);
      ap.text = {t_[i_], t_[i_ + 2]};
      i_ += 3;
      return;
    }
    if (DateLetter(Lower(c))) return;
    auto ch = NextChar(i_);
    Literal(ch);
    i_ += ch.size();
  }

  bool DateLetter(char lower) {
    static constexpr Tok kMonths[] = {Tok::Month, Tok::Month2, Tok::MonthAbbr, Tok::MonthFull,
                                      Tok::MonthLetter};
    static constexpr Tok kDays[] = {Tok::Day, Tok::Day2, Tok::DayAbbr, Tok::DayFull};
    std::size_t n;
    Tok kind;
    switch (lower) {
      case 'y':
        n = RunOf('y');
        kind = n <= 2 ? Tok::Year2 : Tok::Year4;
        break;
      case 'm':
        n = RunOf('m');
        kind = n <= 5 ? kMonths[n - 1] : Tok::MonthFull;
        break;
      case 'd':
        n = RunOf('d');
        kind = kDays[std::min<std::size_t>(n, 4) - 1];
        break;
      case 'h':
        n = RunOf('h');
        kind = n == 1 ? Tok::Hour : Tok::Hour2;
        break;
      case 's':
        n = RunOf('s');
        kind = n == 1 ? Tok::Second : Tok::Second2;
        break;
      default:
        return false;
    }
    Add(kind);
    i_ += n;
    return true;
  }

  // A slash right after a digit placeholder is a fraction bar, possibly with a fixed
  // denominator ("# ?/8"); anywhere else it is text (a date separator).
  void Slash() {
    ++i_;
    if (s_.tokens.empty() || s_.tokens.back().kind != Tok::Digit) {
      Literal("/");
      return;
    }
    Add(Tok::FractionBar);
    if (i_ < t_.size() && t_[i_] >= '1' && t_[i_] <= '9') {
      int den = 0;
      while (i_ < t_.size() && std::isdigit(static_cast<unsigned char>(t_[i_]))) {
        if (den < 100000000) den = den * 10 + (t_[i_] - '0');
        ++i_;
      }
      Add(Tok::Denominator).number = den;
    }
  }

  void Bracket() {
    auto close = t_.find(']', i_ + 1);
    if (close == std::string_view::npos) {
      Literal("[");
      ++i_;
      return;
    }
    std::string_view in = t_.substr(i_ + 1, close - i_ - 1);
    i_ = close + 1;
    if (in.empty()) return;
    std::string lower;
    for (char c : in) lower += Lower(c);
    static constexpr std::string_view kColours[] = {"black", "white", "red",     "green",
                                                    "blue",  "yellow", "magenta", "cyan"};
    for (int k = 0; k < 8; ++k)
      if (lower == kColours[k]) {
        s_.color = k + 1;
        return;
      }
    if (lower.rfind("color", 0) == 0) {
      int n = 0;
      auto r = std::from_chars(lower.data() + 5, lower.data() + lower.size(), n);
      if (r.ec == std::errc() && n >= 1 && n <= 56) s_.color = n;
      return;
    }
    if (in[0] == '<' || in[0] == '>' || in[0] == '=') {
      Condition(in);
      return;
    }
    char first = lower[0];
    if ((first == 'h' || first == 'm' || first == 's') &&
        lower.find_first_not_of(first) == std::string::npos) {
      Tok kind = first == 'h' ? Tok::ElapsedHours
                 : first == 'm' ? Tok::ElapsedMinutes
                                : Tok::ElapsedSeconds;
      Add(kind).count = static_cast<int>(std::min<std::size_t>(lower.size(), 20));
      return;
    }
    if (in[0] == '$') {  // [$€-407]: currency text and a locale id
      std::string_view symbol = in.substr(1, in.find('-') == std::string_view::npos
                                                  ? std::string_view::npos
                                                  : in.find('-') - 1);
      if (!symbol.empty()) s_.currency = true;
      Literal(symbol);
    }
    // Other bracketed codes (locale ids, DBNum) do not change the rendering.
  }

  void Condition(std::string_view in) {
    using Op = Condition::Op;
    Op op;
    std::size_t len = 1;
    if (in.rfind("<=", 0) == 0) op = Op::Le, len = 2;
    else if (in.rfind(">=", 0) == 0) op = Op::Ge, len = 2;
    else if (in.rfind("<>", 0) == 0) op = Op::Ne, len = 2;
    else if (in[0] == '<') op = Op::Lt;
    else if (in[0] == '>') op = Op::Gt;
    else op = Op::Eq;
    std::string_view num = in.substr(len);
    while (!num.empty() && num.front() == ' ') num.remove_prefix(1);
    if (!num.empty() && num.front() == '+') num.remove_prefix(1);
    double v = 0;
    auto r = std::from_chars(num.data(), num.data() + num.size(), v);
    if (r.ec != std::errc()) return;
    s_.condition.op = op;
    s_.condition.value = v;
  }

  Section& s_;
  std::string_view t_;
  std::size_t i_ = 0;
};

// The text a non-date token stands for when it appears where it has no number meaning.
std::string LiteralText(const Token& t) {
  switch (t.kind) {
    case Tok::Digit:
      return std::string(1, t.ch);
    case Tok::Point:
      return ".";
    case Tok::Comma:
      return ",";
    case Tok::Percent:
      return "%";
    case Tok::Exponent:
      return std::string(1, t.ch) + (t.plusSign ? "+" : "-");
    case Tok::FractionBar:
      return "/";
    case Tok::Denominator:
      return std::to_string(t.number);
    default:
      return t.text;
  }
}

// Keeps only the tokens in `keep`; the others become literal text.
template <typename Pred>
void MakeLiteral(Section& s, Pred isLiteral) {
  std::vector<Token> out;
  for (Token& t : s.tokens) {
    if (isLiteral(t)) {
      std::string text = LiteralText(t);
      if (!out.empty() && out.back().kind == Tok::Literal) {
        out.back().text += text;
      } else {
        Token lit;
        lit.text = std::move(text);
        out.push_back(std::move(lit));
      }
    } else {
      out.push_back(std::move(t));
    }
  }
  s.tokens = std::move(out);
}

void LayoutDate(Section& s) {
  auto& tk = s.tokens;
  // "m" and "mm" mean minutes right after an hour or right before seconds.
  for (std::size_t k = 0; k < tk.size(); ++k) {
    if (tk[k].kind != Tok::Month && tk[k].kind != Tok::Month2) continue;
    bool minute = false;
    for (std::size_t p = k; p-- > 0;)
      if (IsDateToken(tk[p].kind)) {
        minute = IsHourToken(tk[p].kind);
        break;
      }
    for (std::size_t n = k + 1; !minute && n < tk.size(); ++n)
      if (IsDateToken(tk[n].kind)) {
        minute = IsSecondToken(tk[n].kind);
        break;
      }
    if (minute) tk[k].kind = tk[k].kind == Tok::Month ? Tok::Minute : Tok::Minute2;
  }
  MakeLiteral(s, [](const Token& t) { return !IsDateToken(t.kind) && t.kind != Tok::AmPm &&
                                             t.kind != Tok::AP && t.kind != Tok::FracSecond; });
  for (Token& t : tk) {
    switch (t.kind) {
      case Tok::Year2:
      case Tok::Year4:
      case Tok::Month:
      case Tok::Month2:
      case Tok::MonthAbbr:
      case Tok::MonthFull:
      case Tok::MonthLetter:
      case Tok::Day:
      case Tok::Day2:
      case Tok::DayAbbr:
      case Tok::DayFull:
        s.hasDate = true;
        break;
      case Tok::AmPm:
      case Tok::AP:
        s.hasAmPm = true;
        s.hasTime = true;
        break;
      case Tok::FracSecond:
        t.count = std::min(t.count, 3);
        s.fracSecDigits = std::max(s.fracSecDigits, t.count);
        s.hasTime = true;
        break;
      case Tok::Literal:
        break;
      default:
        s.hasTime = true;
        break;
    }
  }
}

// Decides what each comma means: between integer placeholders it groups thousands; right
// after the last placeholder of a part it divides by 1000; elsewhere it is text.
void LayoutCommas(Section& s) {
  auto& tk = s.tokens;
  std::vector<Token> out;
  for (std::size_t k = 0; k < tk.size(); ++k) {
    if (tk[k].kind != Tok::Comma) {
      out.push_back(std::move(tk[k]));
      continue;
    }
    bool digitBefore = false;
    for (std::size_t p = 0; p < k; ++p) digitBefore |= tk[p].kind == Tok::Digit;
    DigitRole role = DigitRole::Int;
    for (std::size_t p = k; p-- > 0;)
      if (tk[p].kind == Tok::Digit) {
        role = tk[p].role;
        break;
      }
    bool sameRoleAfter = false;
    for (std::size_t n = k + 1; n < tk.size(); ++n)
      if (tk[n].kind == Tok::Digit && tk[n].role == role) sameRoleAfter = true;
    if (digitBefore && sameRoleAfter && role == DigitRole::Int) {
      s.thousands = true;
    } else if (digitBefore && !sameRoleAfter &&
               (role == DigitRole::Int || role == DigitRole::Frac)) {
      s.scale -= 3;
    } else {
      Token lit;
      lit.text = ",";
      out.push_back(std::move(lit));
    }
  }
  tk = std::move(out);
}

void LayoutNumber(Section& s) {
  auto& tk = s.tokens;
  bool hasExp = false, hasBar = false;
  for (const Token& t : tk) {
    hasExp |= t.kind == Tok::Exponent;
    hasBar |= t.kind == Tok::FractionBar;
  }
  if (hasExp) {
    s.kind = SectionKind::Scientific;
    hasBar = false;
  } else if (hasBar) {
    s.kind = SectionKind::Fraction;
  }
  bool seenPoint = false, seenExp = false, seenBar = false;
  for (std::size_t k = 0; k < tk.size(); ++k) {
    Token& t = tk[k];
    switch (t.kind) {
      case Tok::Point:
        // Only the first point of a plain or scientific mantissa is the decimal point.
        if (seenPoint || seenExp || s.kind == SectionKind::Fraction) {
          t.kind = Tok::Literal;
          t.text = ".";
        }
        seenPoint = true;
        break;
      case Tok::Exponent:
        if (seenExp) {
          t.text = LiteralText(t);
          t.kind = Tok::Literal;
        }
        seenExp = true;
        break;
      case Tok::FractionBar:
        if (seenBar || !hasBar) {
          t.kind = Tok::Literal;
          t.text = "/";
        }
        seenBar = true;
        break;
      case Tok::Denominator:
        if (s.kind != SectionKind::Fraction) {
          t.text = LiteralText(t);
          t.kind = Tok::Literal;
        }
        break;
      case Tok::Percent:
        s.scale += 2;
        s.percent = true;
        break;
      case Tok::Digit:
        if (seenExp) {
          t.role = DigitRole::Exp;
        } else if (s.kind == SectionKind::Fraction) {
          t.role = seenBar ? DigitRole::Den : DigitRole::Int;
        } else {
          t.role = seenPoint ? DigitRole::Frac : DigitRole::Int;
        }
        break;
      default:
        break;
    }
  }
  if (s.kind == SectionKind::Fraction) {
    // The run of placeholders right before the bar is the numerator; placeholders after the
    // first run behind the bar (or after a fixed denominator) are text.
    std::size_t bar = 0;
    while (tk[bar].kind != Tok::FractionBar) ++bar;
    for (std::size_t p = bar; p-- > 0 && tk[p].kind == Tok::Digit;) tk[p].role = DigitRole::Num;
    bool inDen = true;
    for (std::size_t n = bar + 1; n < tk.size(); ++n) {
      if (tk[n].kind == Tok::Denominator) {
        s.fixedDen = tk[n].number;
        inDen = false;
      } else if (tk[n].kind == Tok::Digit && inDen) {
        ++s.denDigits;
      } else if (tk[n].kind == Tok::Digit) {
        tk[n].kind = Tok::Literal;
        tk[n].text = std::string(1, tk[n].ch);
      } else {
        inDen = false;
      }
    }
    if (s.fixedDen == 0 && s.denDigits == 0) s.denDigits = 1;
  }
  LayoutCommas(s);
  for (const Token& t : tk) {
    if (t.kind != Tok::Digit) {
      if (t.kind == Tok::Literal &&
          (t.text.find('$') != std::string::npos || t.text.find("\u20AC") != std::string::npos ||
           t.text.find("\u00A3") != std::string::npos ||
           t.text.find("\u00A5") != std::string::npos))
        s.currency = true;
      continue;
    }
    switch (t.role) {
      case DigitRole::Int:
        ++s.intDigits;
        s.intHasHash |= t.ch != '0';
        break;
      case DigitRole::Frac:
        ++s.fracDigits;
        break;
      case DigitRole::Exp:
        s.expZeros += t.ch == '0';
        break;
      case DigitRole::Num:
        ++s.numDigits;
        break;
      case DigitRole::Den:
        break;
    }
  }
  if (s.kind == SectionKind::Scientific) s.thousands = false;
  s.scale = std::clamp(s.scale, -60, 60);
}

Section ParseSection(std::string_view text) {
  Section s;
  SectionParser(s).Parse(text);
  bool date = false, textValue = false, general = false, digits = false;
  for (const Token& t : s.tokens) {
    date |= IsDateToken(t.kind) || t.kind == Tok::AmPm || t.kind == Tok::AP ||
            t.kind == Tok::FracSecond;
    textValue |= t.kind == Tok::TextValue;
    general |= t.kind == Tok::General;
    digits |= t.kind == Tok::Digit;
  }
  if (date) {
    s.kind = SectionKind::DateTime;
    LayoutDate(s);
  } else if (textValue && !digits) {
    s.kind = SectionKind::Text;
    MakeLiteral(s, [](const Token& t) { return t.kind != Tok::TextValue; });
  } else if (general && !digits) {
    s.kind = SectionKind::General;
    MakeLiteral(s, [](const Token& t) { return t.kind != Tok::General; });
  } else {
    LayoutNumber(s);
  }
  return s;
}

FormatCategory CategoryOf(const Section& s) {
  switch (s.kind) {
    case SectionKind::DateTime:
      return s.hasDate && s.hasTime ? FormatCategory::DateTime
             : s.hasDate            ? FormatCategory::Date
                                    : FormatCategory::Time;
    case SectionKind::Text:
      return FormatCategory::Text;
    case SectionKind::General:
      return FormatCategory::General;
    case SectionKind::Scientific:
      return FormatCategory::Scientific;
    case SectionKind::Fraction:
      return FormatCategory::Fraction;
    case SectionKind::Number:
      break;
  }
  if (s.percent) return FormatCategory::Percent;
  if (s.currency) return FormatCategory::Currency;
  return FormatCategory::Number;
}

}  // namespace

bool Condition::Holds(double v) const {
  switch (op) {
    case Op::None:
      return true;
    case Op::Lt:
      return v < value;
    case Op::Le:
      return v <= value;
    case Op::Gt:
      return v > value;
    case Op::Ge:
      return v >= value;
    case Op::Eq:
      return v == value;
    case Op::Ne:
      return v != value;
  }
  return true;
}

std::shared_ptr<const NumberFormat> ParseNumberFormat(std::string_view code) {
  auto f = std::make_shared<NumberFormat>();
  f->code = std::string(code);
  std::string_view trimmed = code;
  while (!trimmed.empty() && trimmed.front() == ' ') trimmed.remove_prefix(1);
  while (!trimmed.empty() && trimmed.back() == ' ') trimmed.remove_suffix(1);
  if (trimmed.empty() || (trimmed.size() == 7 && StartsWithNoCase(trimmed, 0, "general"))) {
    Section general;
    general.kind = SectionKind::General;
    general.tokens.push_back(Token{});
    general.tokens.back().kind = Tok::General;
    f->sections.push_back(std::move(general));
    f->category = FormatCategory::General;
    return f;
  }
  auto parts = SplitSections(code);
  if (parts.size() > 4) parts.resize(4);
  std::vector<Section> sections;
  for (auto part : parts) sections.push_back(ParseSection(part));
  // The fourth section, or a last section about text, is for text values.
  if (sections.size() == 4 || (sections.back().kind == SectionKind::Text)) {
    f->texts.push_back(std::move(sections.back()));
    f->textSection = 0;
    sections.pop_back();
  }
  f->sections = std::move(sections);
  for (const Section& s : f->sections) f->hasConditions |= s.condition.op != Condition::Op::None;
  if (!f->sections.empty())
    f->category = CategoryOf(f->sections.front());
  else
    f->category = FormatCategory::Text;
  return f;
}

const std::string& FormatCode(const NumberFormat& format) { return format.code; }
FormatCategory Category(const NumberFormat& format) { return format.category; }

}  // namespace engine::format
