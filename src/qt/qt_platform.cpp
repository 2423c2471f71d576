// The Qt platform's services: message boxes, the profile, the locale.

#include "qt/qt_platform.h"

#include <QApplication>
#include <QCoreApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QSettings>

#include "qt/qt_frame.h"
#include "qt/qt_window.h"

namespace qtui {

namespace {
QString FromUtf8(const std::string& text) { return QString::fromStdString(text); }
}  // namespace

// --- Message boxes -------------------------------------------------------------------------------

int QtMessageBoxes::Show(CWnd* owner, const std::string& text, const std::string& caption,
                         unsigned type) {
  QMessageBox::Icon icon = QMessageBox::NoIcon;
  switch (type & 0xF0) {
    case platform::MB_ICONERROR:
      icon = QMessageBox::Critical;
      break;
    case platform::MB_ICONQUESTION:
      icon = QMessageBox::Question;
      break;
    case platform::MB_ICONWARNING:
      icon = QMessageBox::Warning;
      break;
    case platform::MB_ICONINFORMATION:
      icon = QMessageBox::Information;
      break;
    default:
      break;
  }
  struct Button {
    QMessageBox::StandardButton button;
    int answer;
  };
  std::vector<Button> buttons;
  switch (type & 0xF) {
    case platform::MB_OKCANCEL:
      buttons = {{QMessageBox::Ok, platform::IDOK}, {QMessageBox::Cancel, platform::IDCANCEL}};
      break;
    case platform::MB_YESNOCANCEL:
      buttons = {{QMessageBox::Yes, platform::IDYES},
                 {QMessageBox::No, platform::IDNO},
                 {QMessageBox::Cancel, platform::IDCANCEL}};
      break;
    case platform::MB_YESNO:
      buttons = {{QMessageBox::Yes, platform::IDYES}, {QMessageBox::No, platform::IDNO}};
      break;
    default:
      buttons = {{QMessageBox::Ok, platform::IDOK}};
  }
  QMessageBox box(icon, FromUtf8(caption), FromUtf8(text), QMessageBox::NoButton,
                  WidgetOfWindow(owner));
  QMessageBox::StandardButtons all;
  for (const Button& b : buttons) all |= b.button;
  box.setStandardButtons(all);
  const int fallback = platform::DefaultAnswer(type);
  for (const Button& b : buttons)
    if (b.answer == fallback) box.setDefaultButton(b.button);
  // Escape answers Cancel where there is one, else No for Yes/No, else OK.
  box.exec();
  const auto clicked = box.standardButton(box.clickedButton());
  for (const Button& b : buttons)
    if (b.button == clicked) return b.answer;
  for (const Button& b : buttons)
    if (b.answer == platform::IDCANCEL) return b.answer;
  return (type & 0xF) == platform::MB_YESNO ? platform::IDNO : platform::IDOK;
}

// --- Profile -------------------------------------------------------------------------------------

int QtProfile::GetInt(const std::string& section, const std::string& key, int defaultValue) const {
  QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
  bool ok = false;
  const int value = settings.value(FromUtf8(section + "/" + key)).toInt(&ok);
  return ok ? value : defaultValue;
}

bool QtProfile::WriteInt(const std::string& section, const std::string& key, int value) {
  QSettings settings(QCoreApplication::organizationName(), QCoreApplication::applicationName());
  settings.setValue(FromUtf8(section + "/" + key), value);
  settings.sync();
  return settings.status() == QSettings::NoError;
}

// --- Locale --------------------------------------------------------------------------------------

std::string QtLocale::FourDigitYear(const std::string& pattern) {
  std::string out;
  bool quoted = false;
  for (std::size_t i = 0; i < pattern.size();) {
    const char ch = pattern[i];
    if (ch == '\'') {
      quoted = !quoted;
      out += ch;
      ++i;
      continue;
    }
    if (!quoted && ch == 'y') {
      std::size_t run = 0;
      while (i + run < pattern.size() && pattern[i + run] == 'y') ++run;
      out += run < 4 ? std::string("yyyy") : pattern.substr(i, run);
      i += run;
      continue;
    }
    out += ch;
    ++i;
  }
  return out;
}

std::string QtLocale::Language() const {
  return locale_.language() == QLocale::Japanese ? "ja" : "en";
}

engine::LocaleSettings QtLocale::Settings() const {
  if (locale_.language() == QLocale::C) return engine::LocaleSettings::EnUs();
  engine::LocaleSettings s;
  s.shortDateFormat = FourDigitYear(locale_.dateFormat(QLocale::ShortFormat).toStdString());
  const auto pos = [&](char c) {
    const auto p = s.shortDateFormat.find(c);
    return p == std::string::npos ? s.shortDateFormat.size() : p;
  };
  const auto d = pos('d'), m = pos('M'), y = pos('y');
  if (y < m && y < d)
    s.dateOrder = engine::DateOrder::YearMonthDay;
  else if (d < m)
    s.dateOrder = engine::DateOrder::DayMonthYear;
  else
    s.dateOrder = engine::DateOrder::MonthDayYear;
  s.decimalSeparator = locale_.decimalPoint().toStdString();
  s.thousandsSeparator = locale_.groupSeparator().toStdString();
  const QString symbol = locale_.currencySymbol();
  s.currencySymbol = symbol.toStdString();
  const QString sample = locale_.toCurrencyString(1.0);
  qsizetype firstDigit = 0;
  while (firstDigit < sample.size() && !sample[firstDigit].isDigit()) ++firstDigit;
  const qsizetype at = symbol.isEmpty() ? -1 : sample.indexOf(symbol);
  s.currencyBefore = at >= 0 && at < firstDigit;
  s.currencySpace = sample.contains(symbol + QChar(' ')) || sample.contains(QChar(' ') + symbol) ||
                    sample.contains(symbol + QChar(0xA0)) || sample.contains(QChar(0xA0) + symbol);
  if (!locale_.amText().isEmpty()) s.amText = locale_.amText().toStdString();
  if (!locale_.pmText().isEmpty()) s.pmText = locale_.pmText().toStdString();
  const QFont font = QApplication::font();
  if (!font.family().isEmpty()) s.defaultFontFace = font.family().toStdString();
  if (font.pointSize() > 0) s.defaultFontSize = font.pointSize();
  s.language = Language();
  return s;
}

// --- Platform ------------------------------------------------------------------------------------

QtPlatform::QtPlatform(const QLocale& locale)
    : language_(QtLocale(locale).Language()),
      locale_(locale),
      dialogs_(language_),
      desktop_(std::make_unique<qtui::DesktopWindow>()) {
  strings_.SetLanguage(language_);
}

QtPlatform::~QtPlatform() = default;

std::unique_ptr<platform::Frame> QtPlatform::NewFrame() { return std::make_unique<QtFrame>(*this); }

CWnd* QtPlatform::DesktopWindow() { return desktop_.get(); }

}  // namespace qtui
