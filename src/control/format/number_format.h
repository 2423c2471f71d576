#pragma once
// Number-format codes as the spreadsheet writes them ("#,##0.00", "m/d/yyyy", "0%;[Red]-0%",
// "@"): parsed once into a NumberFormat, then used to render values for display.

#include <memory>
#include <string>
#include <string_view>

#include "control/locale_settings.h"
#include "control/model/value.h"

namespace engine::format {

// What kind of value a format shows; the table repairs date texts when a cell's format is a date.
enum class FormatCategory { General, Number, Currency, Percent, Fraction, Scientific, Date, Time,
                            DateTime, Text };

class NumberFormat;  // the parsed code; see number_format.cpp

// Parses a format code. Never throws: whatever is not a format token shows as literal text.
std::shared_ptr<const NumberFormat> ParseNumberFormat(std::string_view code);

// The code the format was parsed from, exactly.
const std::string& FormatCode(const NumberFormat& format);
FormatCategory Category(const NumberFormat& format);
inline bool IsDateOrTime(const NumberFormat& f) {
  auto c = Category(f);
  return c == FormatCategory::Date || c == FormatCategory::Time || c == FormatCategory::DateTime;
}

// Renders a value for display. `date1904` selects the workbook's date system. Column width is
// unlimited: a number never turns into ####.
std::string Render(const NumberFormat& format, const Value& value, const LocaleSettings& locale,
                   bool date1904 = false);

// The colour number (1–56 of the workbook palette) of the section that shows the value, as a
// "[Red]" or "[Color10]" gives it; 0 when the section has no colour or the value is not shown by
// a section (logicals, errors, empty cells).
int SectionColor(const NumberFormat& format, const Value& value);

// The General rendering of a number in a column wide enough for it: whole numbers of up to 11
// digits as they are, decimals with up to 15 significant digits, scientific notation for 12 or
// more integer digits and below 1E-04 (1.23457E+11, 1.2E-05). Hot path: allocation-free apart
// from the result.
std::string RenderGeneral(double number, const LocaleSettings& locale);
// The same into `out`, reusing its storage, by a shorter way for the common decimals.
void AssignGeneral(double number, const LocaleSettings& locale, std::string& out);

// True when the format shows a text value unchanged (it has no text section).
bool ShowsTextAsIs(const NumberFormat& format);

// The entry text of a number as the edit line shows it, for typing it back unchanged: a date
// in the locale's short date form, a time as "h:mm:ss AM/PM" (both for a date with a time of
// day), a percentage as a full-precision percentage ("12.345%"), any other number (and a date
// outside the calendar) with up to 15 significant digits.
std::string EditText(const NumberFormat& format, double number, const LocaleSettings& locale,
                     bool date1904 = false);

// Built-in format codes 0–49 as the spreadsheet numbers them; empty for an unused id.
std::string BuiltinFormatCode(int id);

// The locale's short date pattern as a format code ("M/d/yyyy", "dd.MM.yyyy"); the pattern's
// quoted text and era letters are translated.
std::string ShortDateCode(const LocaleSettings& locale);

}  // namespace engine::format
