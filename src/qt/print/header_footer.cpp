#include "qt/print/header_footer.h"

#include <QLocale>

namespace qtui {
namespace {

bool IsDigit(QChar c) { return c >= QLatin1Char('0') && c <= QLatin1Char('9'); }

class Expander {
 public:
  explicit Expander(const HeaderFooterFields& fields) : fields_(fields) {}

  std::array<HeaderFooterSection, 3> Run(const QString& code) {
    const int n = static_cast<int>(code.size());
    int i = 0;
    while (i < n) {
      const QChar c = code[i++];
      if (c != QLatin1Char('&')) {
        Append(QString(c));
        continue;
      }
      if (i >= n) break;  // a lone '&' at the end prints nothing
      const QChar k = code[i++];
      switch (k.toUpper().unicode()) {
        case '&':
          Append(QStringLiteral("&"));
          break;
        case 'L':
          Switch(kLeftSection);
          break;
        case 'C':
          Switch(kCenterSection);
          break;
        case 'R':
          Switch(kRightSection);
          break;
        case 'P':
          Append(QString::number(fields_.page + Offset(code, i)));
          break;
        case 'N':
          Append(QString::number(fields_.pages));
          break;
        case 'D':
          Append(QLocale().toString(fields_.now.date(), QLocale::ShortFormat));
          break;
        case 'T':
          Append(QLocale().toString(fields_.now.time(), QLocale::ShortFormat));
          break;
        case 'F':
          Append(fields_.file);
          break;
        case 'Z':
          Append(fields_.folder);
          break;
        case 'A':
          Append(fields_.sheet);
          break;
        case 'B':
          Toggle(&HeaderFooterRun::bold);
          break;
        case 'I':
          Toggle(&HeaderFooterRun::italic);
          break;
        case 'U':
        case 'E':
          Toggle(&HeaderFooterRun::underline);
          break;
        case 'S':
          Toggle(&HeaderFooterRun::strikeOut);
          break;
        case 'K':
          // A colour: six hexadecimal digits, or a theme colour and tint ("01+000").
          i = std::min(n, i + 6);
          break;
        case '"':
          Font(code, i);
          break;
        default:
          if (IsDigit(k)) {
            int size = k.digitValue();
            while (i < n && IsDigit(code[i]) && size < 10000)
              size = size * 10 + code[i++].digitValue();
            if (size > 0) font_.points = std::min(size, 409);
          }
          // Anything else (pictures, super- and subscript, outline, shadow, unknown codes) is
          // dropped with its letter.
          break;
      }
    }
    return sections_;
  }

 private:
  void Append(const QString& text) {
    HeaderFooterSection& section = sections_[current_];
    HeaderFooterRun& last = section.empty() ? section.emplace_back(font_) : section.back();
    if (last.family == font_.family && last.points == font_.points && last.bold == font_.bold &&
        last.italic == font_.italic && last.underline == font_.underline &&
        last.strikeOut == font_.strikeOut) {
      last.text += text;
    } else {
      HeaderFooterRun run = font_;
      run.text = text;
      section.push_back(std::move(run));
    }
  }

  // Each section starts in the default font.
  void Switch(HeaderFooterPart part) {
    current_ = part;
    font_ = HeaderFooterRun{};
  }

  void Toggle(bool HeaderFooterRun::*flag) { font_.*flag = !(font_.*flag); }

  // "+n" or "-n" after "&P".
  static int Offset(const QString& code, int& i) {
    const int n = static_cast<int>(code.size());
    if (i + 1 >= n || (code[i] != QLatin1Char('+') && code[i] != QLatin1Char('-')) ||
        !IsDigit(code[i + 1]))
      return 0;
    const int sign = code[i] == QLatin1Char('-') ? -1 : 1;
    ++i;
    int value = 0;
    while (i < n && IsDigit(code[i]) && value < 100000) value = value * 10 + code[i++].digitValue();
    return sign * value;
  }

  // '&"face,style"': the face ("-" keeps the current one) and a style naming bold and italic.
  void Font(const QString& code, int& i) {
    const int end = static_cast<int>(code.indexOf(QLatin1Char('"'), i));
    const QString spec = code.mid(i, end < 0 ? -1 : end - i);
    i = end < 0 ? static_cast<int>(code.size()) : end + 1;
    const int comma = static_cast<int>(spec.indexOf(QLatin1Char(',')));
    const QString face = (comma < 0 ? spec : spec.left(comma)).trimmed();
    if (!face.isEmpty() && face != QLatin1String("-")) font_.family = face;
    if (comma >= 0) {
      const QString style = spec.mid(comma + 1).toLower();
      font_.bold = style.contains(QLatin1String("bold"));
      font_.italic =
          style.contains(QLatin1String("italic")) || style.contains(QLatin1String("oblique"));
    }
  }

  const HeaderFooterFields& fields_;
  std::array<HeaderFooterSection, 3> sections_;
  int current_ = kCenterSection;
  HeaderFooterRun font_;
};

}  // namespace

std::array<HeaderFooterSection, 3> ExpandHeaderFooter(const std::string& code,
                                                      const HeaderFooterFields& fields) {
  return Expander(fields).Run(QString::fromUtf8(code.data(), static_cast<qsizetype>(code.size())));
}

QString SectionText(const HeaderFooterSection& section) {
  QString text;
  for (const HeaderFooterRun& run : section) text += run.text;
  return text;
}

}  // namespace qtui
