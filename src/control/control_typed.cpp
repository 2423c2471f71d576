// A cell's value with its type and, for dates and times, its calendar parts.
#include <cmath>

#include "control/control.h"
#include "control/format/number_format.h"
#include "control/format/serial_date.h"
#include "control/model/workbook.h"

namespace engine {

namespace {

// Fills the date and time parts from a serial; false when it is no calendar day.
bool FillDate(double serial, bool date1904, bool timeOnly, TypedCell& out) {
  if (!std::isfinite(serial) || serial < 0) return false;
  // Whole milliseconds, so that 13:00 stored as 0.5416666… reads as 13:00:00.000.
  const double ms = std::round(serial * 86400000.0);
  const long long total = static_cast<long long>(ms);
  long long days = total / 86400000;
  long long rest = total % 86400000;
  if (timeOnly) {
    if (days != 0) return false;
  } else {
    const int maxSerial = format::MaxDateSerial(date1904);
    // Serial 0 of the 1900 system is "1/0/1900" and 60 its 29 February: no calendar days.
    if (days > maxSerial || (!date1904 && (days == 0 || days == 60))) return false;
    const format::CivilDate d = format::SerialToDate(static_cast<int>(days), date1904);
    out.year = d.year;
    out.month = d.month;
    out.day = d.day;
  }
  out.hour = static_cast<int>(rest / 3600000);
  rest %= 3600000;
  out.minute = static_cast<int>(rest / 60000);
  rest %= 60000;
  out.second = static_cast<int>(rest / 1000);
  out.millisecond = static_cast<int>(rest % 1000);
  out.dated = timeOnly ? 2 : 1;
  return true;
}

}  // namespace

TypedCell Control::GetCellTyped(int row, int col) const {
  CheckCell(row, col);
  const Sheet& sheet = ActiveSheet();
  const Value v = book_->GetValue(sheet, row, col);
  TypedCell out;
  out.kind = GetCellType(row, col);
  out.formula = out.kind < 0;
  if (out.kind < 0) out.kind = static_cast<short>(-out.kind);
  switch (v.kind) {
    case ValueKind::Empty:
      out.kind = kTypeEmpty;
      break;
    case ValueKind::Number: {
      out.kind = kTypeNumber;
      out.number = v.number;
      const auto category = format::Category(book_->CellFormat(sheet, row, col));
      using format::FormatCategory;
      if (category == FormatCategory::Date || category == FormatCategory::DateTime ||
          category == FormatCategory::Time) {
        // A time format shows a time of day for a number below one day, a date otherwise.
        const bool timeOnly = category == FormatCategory::Time && v.number < 1.0;
        TypedCell dated = out;
        if (FillDate(v.number, book_->Date1904(), timeOnly, dated)) out = dated;
      }
      break;
    }
    case ValueKind::Text:
      out.kind = kTypeText;
      out.text = v.text;
      break;
    case ValueKind::Logical:
      out.kind = kTypeLogical;
      out.logical = v.logical;
      break;
    case ValueKind::Error:
      out.kind = kTypeError;
      out.text = ErrorText(v.error);
      break;
  }
  return out;
}

}  // namespace engine
