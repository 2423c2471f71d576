// Reading a parameter value with its type, for hosts that convert values themselves.

#include <cmath>

#include "control/format/number_format.h"
#include "control/format/serial_date.h"
#include "params/engine_index.h"
#include "params/sheet_scope.h"
#include "table/czat_psf1.h"

namespace {

// Fills the date and time fields of `out` from a serial; false when it is no calendar day.
bool FillDate(double serial, bool date1904, bool timeOnly, CZATTypedValue& out) {
  if (!std::isfinite(serial) || serial < 0) return false;
  // Whole milliseconds, so that 13:00 stored as 0.5416666… reads as 13:00:00.000.
  const double ms = std::round(serial * 86400000.0);
  const long long total = static_cast<long long>(ms);
  long long days = total / 86400000;
  long long rest = total % 86400000;
  if (timeOnly) {
    if (days != 0) return false;
  } else {
    const int maxSerial = engine::format::MaxDateSerial(date1904);
    // Serial 0 of the 1900 system is "1/0/1900" and 60 its 29 February: no calendar days.
    if (days > maxSerial || (!date1904 && (days == 0 || days == 60))) return false;
    const engine::format::CivilDate d =
        engine::format::SerialToDate(static_cast<int>(days), date1904);
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
  out.date = timeOnly ? CZATTypedValue::DATE_TIME_OF_DAY : CZATTypedValue::DATE_DATE;
  return true;
}

}  // namespace

int CZAT_PSF1::GetArgTypedValue(long row, const CString& name, CZATTypedValue& value, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  engine::Control& ctl = Ctl();
  const long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return -1;
  const int r = params::EngineIndex(row);
  const int c = params::EngineIndex(col);
  const engine::Value v = ctl.GetCellValue(r, c);
  CZATTypedValue out;
  switch (v.kind) {
    case engine::ValueKind::Empty:
      break;
    case engine::ValueKind::Number: {
      out.kind = CZATTypedValue::KIND_NUMBER;
      out.number = v.number;
      const engine::Workbook& book = ctl.Book();
      const auto category = engine::format::Category(book.CellFormat(book.Active(), r, c));
      using engine::format::FormatCategory;
      if (category == FormatCategory::Date || category == FormatCategory::DateTime ||
          category == FormatCategory::Time) {
        // A time format shows a time of day for a number below one day, a date otherwise.
        const bool timeOnly = category == FormatCategory::Time && v.number < 1.0;
        CZATTypedValue dated = out;
        if (FillDate(v.number, book.Date1904(), timeOnly, dated)) out = dated;
      }
      break;
    }
    case engine::ValueKind::Text:
      // A blanked cell holds an empty text; only a formula's empty result is text.
      if (v.text.empty() && ctl.GetCellType(r, c) >= 0) break;
      out.kind = CZATTypedValue::KIND_TEXT;
      out.text = v.text;
      break;
    case engine::ValueKind::Logical:
      out.kind = CZATTypedValue::KIND_LOGICAL;
      out.logical = v.logical;
      break;
    case engine::ValueKind::Error:
      out.kind = CZATTypedValue::KIND_ERROR;
      out.text = engine::ErrorText(v.error);
      break;
  }
  value = std::move(out);
  return 0;
}
