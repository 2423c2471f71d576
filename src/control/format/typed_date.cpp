// Typed dates and times: numeric dates in the locale's order, ISO dates, dates with English
// month names, times with or without the locale's AM/PM texts, and a date followed by a time.
#include <cctype>
#include <vector>

#include "control/format/number_format.h"
#include "control/format/serial_date.h"
#include "control/format/typed_entry_parts.h"

namespace engine::format {
namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsLetter(char c) {
  return std::isalpha(static_cast<unsigned char>(c)) || static_cast<unsigned char>(c) >= 0x80;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size() || a.empty()) return false;
  for (std::size_t k = 0; k < a.size(); ++k)
    if (std::tolower(static_cast<unsigned char>(a[k])) !=
        std::tolower(static_cast<unsigned char>(b[k])))
      return false;
  return true;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && s.front() == ' ') s.remove_prefix(1);
  while (!s.empty() && s.back() == ' ') s.remove_suffix(1);
  return s;
}

// --- Times -----------------------------------------------------------------------------------

struct TypedTime {
  double days = 0;  // may exceed 1 for elapsed times ("25:30")
  bool seconds = false;
  bool ampm = false;
  bool elapsed = false;
  bool minutesSeconds = false;  // "12:30.5" is minutes, seconds and tenths
  bool fraction = false;
};

int ReadDigits(std::string_view s, std::size_t& i, int maxDigits, long& value) {
  int n = 0;
  value = 0;
  while (i < s.size() && IsDigit(s[i]) && n < maxDigits) {
    value = value * 10 + (s[i++] - '0');
    ++n;
  }
  if (i < s.size() && IsDigit(s[i])) return 0;  // too many digits
  return n;
}

// The AM/PM marker: the locale's texts, AM/PM, or their first letters, in any case.
int AmPmMarker(std::string_view m, const LocaleSettings& locale) {
  if (EqualsNoCase(m, locale.amText) || EqualsNoCase(m, "AM") || EqualsNoCase(m, "A")) return 1;
  if (EqualsNoCase(m, locale.pmText) || EqualsNoCase(m, "PM") || EqualsNoCase(m, "P")) return 2;
  return 0;
}

std::optional<TypedTime> ParseTime(std::string_view t, const LocaleSettings& locale) {
  std::size_t i = 0;
  long h = 0, m = 0, s = 0;
  if (!ReadDigits(t, i, 5, h)) return std::nullopt;
  int parts = 1;
  double frac = 0;
  TypedTime r;
  if (i < t.size() && t[i] == ':') {
    ++i;
    if (!ReadDigits(t, i, 2, m)) return std::nullopt;
    parts = 2;
    if (i < t.size() && t[i] == ':') {
      ++i;
      if (!ReadDigits(t, i, 2, s)) return std::nullopt;
      parts = 3;
    }
    const std::string& dec = locale.decimalSeparator;
    if (!dec.empty() && t.substr(i, dec.size()) == dec && i + dec.size() < t.size() &&
        IsDigit(t[i + dec.size()])) {
      i += dec.size();
      double scale = 0.1;
      while (i < t.size() && IsDigit(t[i])) {
        frac += (t[i++] - '0') * scale;
        scale /= 10;
      }
      r.fraction = true;
    }
  }
  int marker = 0;
  std::string_view rest = Trim(t.substr(i));
  if (!rest.empty()) {
    marker = AmPmMarker(rest, locale);
    if (!marker) return std::nullopt;
  }
  if (parts == 1 && !marker) return std::nullopt;
  if (r.fraction && parts == 2 && !marker) {  // minutes:seconds.fraction
    if (m >= 60) return std::nullopt;
    r.minutesSeconds = true;
    r.days = (h * 60.0 + m + frac) / 86400.0;
    return r;
  }
  if (m >= 60 || s >= 60) return std::nullopt;
  if (marker) {
    if (h > 12) return std::nullopt;
    h = h % 12 + (marker == 2 ? 12 : 0);
    r.ampm = true;
  } else if (h >= 24) {
    r.elapsed = true;
  }
  r.seconds = parts == 3;
  r.days = (h * 3600.0 + m * 60.0 + s + frac) / 86400.0;
  return r;
}

std::string TimeCode(const TypedTime& t, bool iso) {
  if (t.minutesSeconds) return "mm:ss.0";
  if (t.elapsed) return "[h]:mm:ss";
  std::string code = iso ? "hh:mm" : "h:mm";
  if (t.seconds) code += t.fraction ? ":ss.0" : ":ss";
  if (t.ampm) code = (t.seconds ? "h:mm:ss" : "h:mm") + std::string(" AM/PM");
  return code;
}

// --- Dates -----------------------------------------------------------------------------------

struct Item {
  enum class Kind { Number, Word, Separator } kind;
  std::string_view text;
  long value = 0;
  char sep = 0;  // the separator's character (' ' when only spaces)
};

bool IsSeparatorChar(char c) { return c == '/' || c == '-' || c == '.' || c == ',' || c == ' '; }

bool Tokenize(std::string_view s, std::vector<Item>& items) {
  std::size_t i = 0;
  while (i < s.size()) {
    std::size_t start = i;
    if (IsDigit(s[i])) {
      long v = 0;
      while (i < s.size() && IsDigit(s[i])) {
        if (i - start >= 4) return false;  // no part of a date has more than four digits
        v = v * 10 + (s[i++] - '0');
      }
      items.push_back({Item::Kind::Number, s.substr(start, i - start), v, 0});
    } else if (IsLetter(s[i])) {
      while (i < s.size() && IsLetter(s[i])) ++i;
      items.push_back({Item::Kind::Word, s.substr(start, i - start), 0, 0});
    } else if (IsSeparatorChar(s[i])) {
      char sep = ' ';
      while (i < s.size() && IsSeparatorChar(s[i])) {
        if (s[i] != ' ') {
          if (sep != ' ') return false;  // two separators in a row
          sep = s[i];
        }
        ++i;
      }
      items.push_back({Item::Kind::Separator, s.substr(start, i - start), 0, sep});
    } else {
      return false;
    }
  }
  // Values and separators must alternate, starting and ending with a value.
  if (items.empty() || items.size() % 2 == 0) return false;
  for (std::size_t k = 0; k < items.size(); ++k)
    if ((items[k].kind == Item::Kind::Separator) != (k % 2 == 1)) return false;
  return true;
}

int MonthFromName(std::string_view w) {
  static const char* const kNames[] = {"january", "february", "march",     "april",
                                       "may",     "june",     "july",      "august",
                                       "september", "october", "november", "december"};
  std::string lower;
  for (char c : w) lower += static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  for (int k = 0; k < 12; ++k) {
    std::string_view name = kNames[k];
    if (lower == name || (lower.size() == 3 && name.substr(0, 3) == lower)) return k + 1;
  }
  return lower == "sept" ? 9 : 0;
}

// Two-digit years 00–29 are 2000–2029, 30–99 are 1930–1999; four digits stand as they are.
int FullYear(const Item& n) {
  if (n.text.size() <= 2) return static_cast<int>(n.value < 30 ? 2000 + n.value : 1900 + n.value);
  if (n.text.size() == 4) return static_cast<int>(n.value);
  return -1;
}

char LocaleDateSeparator(const LocaleSettings& locale) {
  for (char c : locale.shortDateFormat)
    if (!IsLetter(c) && c != ' ' && c != '\'') return c;
  return '/';
}

struct TypedDate {
  int serial = -1;
  std::string code;
  bool iso = false;
};

std::optional<TypedDate> NumericDate(const std::vector<Item>& items, const LocaleSettings& locale,
                                     bool date1904, int currentYear) {
  std::vector<const Item*> nums;
  char sep = items.size() > 1 ? items[1].sep : 0;
  for (std::size_t k = 0; k < items.size(); ++k) {
    if (k % 2 == 0)
      nums.push_back(&items[k]);
    else if (items[k].sep != sep || items[k].text.size() != 1)
      return std::nullopt;
  }
  if (sep != '/' && sep != '-' && sep != LocaleDateSeparator(locale)) return std::nullopt;
  TypedDate r;
  if (nums.size() == 3) {
    int y = 2, m = 0, d = 1;
    if (nums[0]->text.size() == 4 || locale.dateOrder == DateOrder::YearMonthDay) {
      y = 0, m = 1, d = 2;
      r.iso = sep == '-' && nums[0]->text.size() == 4;
    } else if (locale.dateOrder == DateOrder::DayMonthYear) {
      d = 0, m = 1;
    }
    int year = FullYear(*nums[y]);
    if (year < 0 || nums[m]->text.size() > 2 || nums[d]->text.size() > 2) return std::nullopt;
    r.serial = DateToSerial(year, static_cast<int>(nums[m]->value),
                            static_cast<int>(nums[d]->value), date1904);
    r.code = r.iso ? "yyyy-mm-dd" : ShortDateCode(locale);
  } else if (nums.size() == 2) {
    bool dayFirst = locale.dateOrder == DateOrder::DayMonthYear;
    const Item& m = *nums[dayFirst ? 1 : 0];
    const Item& d = *nums[dayFirst ? 0 : 1];
    if (m.text.size() <= 2 && d.text.size() <= 2) {
      r.serial = DateToSerial(currentYear, static_cast<int>(m.value), static_cast<int>(d.value),
                              date1904);
      r.code = "d-mmm";
    }
    if (r.serial < 0 && nums[0]->text.size() <= 2) {  // month and year: "1/2024", "3.14"
      r.serial = DateToSerial(FullYear(*nums[1]), static_cast<int>(nums[0]->value), 1, date1904);
      r.code = "mmm-yy";
    }
  }
  if (r.serial < 0) return std::nullopt;
  return r;
}

// Dates with a month name: "15-Jan-2024", "15 January 2024", "Jan 15, 2024", "15-Jan",
// "Jan 2024". The format repeats the entry's own layout.
std::optional<TypedDate> NamedMonthDate(const std::vector<Item>& items, bool date1904,
                                        int currentYear) {
  std::vector<const Item*> values;
  for (std::size_t k = 0; k < items.size(); k += 2) values.push_back(&items[k]);
  if (values.size() < 2 || values.size() > 3) return std::nullopt;
  int wordAt = -1;
  for (std::size_t k = 0; k < values.size(); ++k)
    if (values[k]->kind == Item::Kind::Word) {
      if (wordAt >= 0) return std::nullopt;
      wordAt = static_cast<int>(k);
    }
  if (wordAt < 0 || wordAt > 1) return std::nullopt;
  int month = MonthFromName(values[wordAt]->text);
  if (!month) return std::nullopt;
  const Item* day = nullptr;
  const Item* year = nullptr;
  if (wordAt == 1) {  // 15-Jan[-2024]
    day = values[0];
    if (values.size() == 3) year = values[2];
  } else if (values.size() == 3) {  // Jan 15, 2024
    day = values[1];
    year = values[2];
  } else if (values[1]->text.size() <= 2 && values[1]->value <= 31) {  // Jan 15
    day = values[1];
  } else {  // Jan 2024
    year = values[1];
  }
  if (day && day->text.size() > 2) return std::nullopt;
  int y = year ? FullYear(*year) : currentYear;
  if (y < 0) return std::nullopt;
  TypedDate r;
  r.serial = DateToSerial(y, month, day ? static_cast<int>(day->value) : 1, date1904);
  if (r.serial < 0) return std::nullopt;
  for (std::size_t k = 0; k < items.size(); ++k) {
    const Item& it = items[k];
    if (it.kind == Item::Kind::Separator)
      r.code += it.text;
    else if (&it == day)
      r.code += it.text.size() == 2 && it.text[0] == '0' ? "dd" : "d";
    else if (&it == year)
      r.code += it.text.size() == 4 ? "yyyy" : "yy";
    else
      r.code += it.text.size() == 3 ? "mmm" : "mmmm";
  }
  return r;
}

std::optional<TypedDate> ParseDate(std::string_view s, const LocaleSettings& locale,
                                   bool date1904, int currentYear) {
  std::vector<Item> items;
  if (!Tokenize(s, items)) return std::nullopt;
  bool words = false;
  for (const Item& it : items) words |= it.kind == Item::Kind::Word;
  return words ? NamedMonthDate(items, date1904, currentYear)
               : NumericDate(items, locale, date1904, currentYear);
}

// Where the time of a "date time" entry starts: the digits before the first colon, or the
// hour before a trailing AM/PM marker. npos when the entry has no time.
std::size_t TimeStart(std::string_view s, const LocaleSettings& locale) {
  std::size_t colon = s.find(':');
  std::size_t end = colon;
  if (colon == std::string_view::npos) {
    std::size_t p = s.size();
    while (p > 0 && IsLetter(s[p - 1])) --p;
    if (p == s.size() || !AmPmMarker(s.substr(p), locale)) return std::string_view::npos;
    while (p > 0 && s[p - 1] == ' ') --p;
    end = p;
  }
  std::size_t t = end;
  while (t > 0 && IsDigit(s[t - 1])) --t;
  if (t == end) return std::string_view::npos;
  return t;
}

}  // namespace

std::optional<TypedEntry> ParseTypedDateTime(std::string_view s, const LocaleSettings& locale,
                                             bool date1904, int currentYear) {
  TypedEntry e;
  std::size_t t = TimeStart(s, locale);
  if (t != std::string_view::npos && (t == 0 || s[t - 1] == ' ')) {
    if (auto time = ParseTime(s.substr(t), locale)) {
      std::string_view datePart = Trim(s.substr(0, t));
      if (datePart.empty()) {
        e.value = Value::Number(time->days);
        e.formatCode = TimeCode(*time, false);
        return e;
      }
      auto date = ParseDate(datePart, locale, date1904, currentYear);
      if (date && time->days < 1 && !time->minutesSeconds) {
        e.value = Value::Number(date->serial + time->days);
        e.formatCode = date->code + " " + TimeCode(*time, date->iso);
        return e;
      }
    }
  }
  auto date = ParseDate(s, locale, date1904, currentYear);
  if (!date) return std::nullopt;
  e.value = Value::Number(date->serial);
  e.formatCode = date->code;
  return e;
}

}  // namespace engine::format
