// Reading a parameter value with its type, for hosts that convert values themselves.

#include "params/sheet_scope.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

int CZAT_PSF1::GetArgTypedValue(long row, const CString& name, CZATTypedValue& value, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  engine::Control& ctl = Ctl();
  const long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return -1;
  const engine::TypedCell cell = ctl.GetCellTyped(table::Narrow(row), table::Narrow(col));
  CZATTypedValue out;
  switch (cell.kind) {
    case engine::kTypeNumber:
      out.kind = CZATTypedValue::KIND_NUMBER;
      out.number = cell.number;
      if (cell.dated != 0) {
        out.date = cell.dated == 2 ? CZATTypedValue::DATE_TIME_OF_DAY : CZATTypedValue::DATE_DATE;
        out.year = cell.year;
        out.month = cell.month;
        out.day = cell.day;
        out.hour = cell.hour;
        out.minute = cell.minute;
        out.second = cell.second;
        out.millisecond = cell.millisecond;
      }
      break;
    case engine::kTypeText:
      // A blanked cell holds an empty text; only a formula's empty result is text.
      if (cell.text.empty() && !cell.formula) break;
      out.kind = CZATTypedValue::KIND_TEXT;
      out.text = cell.text;
      break;
    case engine::kTypeLogical:
      out.kind = CZATTypedValue::KIND_LOGICAL;
      out.logical = cell.logical;
      break;
    case engine::kTypeError:
      out.kind = CZATTypedValue::KIND_ERROR;
      out.text = cell.text;
      break;
    default:
      break;
  }
  value = std::move(out);
  return 0;
}
