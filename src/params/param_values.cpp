// Reading and writing single parameter values and formulas.
#include "params/date_display.h"
#include "params/sheet_scope.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

int CZAT_PSF1::AddArgValue(long row, const CString& name, const CString& value, unsigned long flags,
                           const char* format) {
  engine::Control& ctl = Ctl();
  ctl.TerminateCellEdit();
  // A value may go into the row after the last one, which adds a row.
  long col = DoBeforeArgValue(name, row, static_cast<long>(ctl.GetLastRow()) + 1);
  if (col == -1) return -1;
  int r = table::Narrow(row);
  int c = table::Narrow(col);
  const engine::SavedCell before = ctl.SaveCell(r, c);
  if (SetEntryRC(row, col, value, flags, format) != 0) {
    // The entry failed (a formula that does not parse, a format the engine refuses): the
    // cell keeps what it held and the caller learns of the failure. Restoring is best effort.
    try {
      ctl.RestoreCell(before);
    } catch (const engine::EngineError&) {
    }
    return -1;
  }
  AutoResize(col, -1);
  return 0;
}

int CZAT_PSF1::DelArgValue(long row, const CString& name) {
  engine::Control& ctl = Ctl();
  ctl.TerminateCellEdit();
  long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return -1;
  ctl.SetCellText(table::Narrow(row), table::Narrow(col), std::string());
  return 0;
}

int CZAT_PSF1::SetArgFormula(long row, const CString& name, const CString& formula, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  return AddArgValue(row, name, "=" + formula, 0, nullptr);
}

template <class Read>
bool CZAT_PSF1::Internals::ReadArgCell(CZAT_PSF1& table, long row, const CString& name, long sheet,
                                       Read&& read) {
  const auto readActive = [&] {
    engine::Control& ctl = table.Ctl();
    long col = table.DoBeforeArgValue(name, row, ctl.GetLastRow());
    if (col == -1) return false;
    read(ctl, table::Narrow(row), table::Narrow(col));
    return true;
  };
  // The active sheet, as a host's run reads it: nothing to switch to and back.
  if (sheet == 0) return readActive();
  long s = 0, previous = 0;
  if (sheet < 0 || table.GetRequestedSheet(sheet, s, previous, true) != 0) return false;
  params::ActiveSheetRestorer restore(table, previous, s);
  return readActive();
}

int CZAT_PSF1::GetArgValue(long row, const CString& name, CString& value, long sheet) {
  const bool found =
      Internals::ReadArgCell(*this, row, name, sheet, [&](engine::Control& ctl, int r, int c) {
        // Into the caller's string: no allocation when the text fits it.
        const std::string& code = ctl.ReadCellFormattedText(r, c, value);
        // Dates may show no-break spaces; the repair follows the number format of the cell.
        if (params::IsDayMonthYearFormat(code)) FixSpaceInDate(value);
      });
  return found ? 0 : -1;
}

int CZAT_PSF1::GetRawValue(long row, const CString& name, CString& value, long sheet) {
  const bool found = Internals::ReadArgCell(
      *this, row, name, sheet,
      [&](engine::Control& ctl, int r, int c) { value = ctl.GetCellText(r, c); });
  return found ? 0 : -1;
}

int CZAT_PSF1::GetArgFormula(long row, const CString& name, CString& formula, long sheet) {
  const bool found = Internals::ReadArgCell(
      *this, row, name, sheet,
      [&](engine::Control& ctl, int r, int c) { formula = ctl.GetCellFormula(r, c); });
  return found ? 0 : -1;
}

bool CZAT_PSF1::IsFormula(long row, const CString& name, long sheet) {
  bool formula = false;
  Internals::ReadArgCell(*this, row, name, sheet, [&](engine::Control& ctl, int r, int c) {
    short type = ctl.GetCellType(r, c);
    formula = type >= -4 && type <= -1;
  });
  return formula;
}

int CZAT_PSF1::SubstituteParams(long row, const CString& name, CString& value, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  return GetArgValue(row, name, value, 0);
}

// The SDK's typed value numbers its kinds as the engine does.
static_assert(int(CZATTypedValue::KIND_ERROR) == int(engine::TypedCell::kError) &&
              int(CZATTypedValue::KIND_NUMBER) == int(engine::TypedCell::kNumber) &&
              int(CZATTypedValue::DATE_TIME_OF_DAY) == int(engine::TypedCell::kTimeOfDay));

int CZAT_PSF1::GetArgTypedValue(long row, const CString& name, CZATTypedValue& value, long sheet) {
  const bool found =
      Internals::ReadArgCell(*this, row, name, sheet, [&](engine::Control& ctl, int r, int c) {
        const engine::TypedCell cell = ctl.GetCellTyped(r, c);
        CZATTypedValue out;
        out.kind = static_cast<CZATTypedValue::Kind>(cell.kind);
        out.number = cell.number;
        out.logical = cell.logical;
        out.text = cell.text;
        out.date = static_cast<CZATTypedValue::DateKind>(cell.date);
        out.year = cell.year;
        out.month = cell.month;
        out.day = cell.day;
        out.hour = cell.hour;
        out.minute = cell.minute;
        out.second = cell.second;
        out.millisecond = cell.millisecond;
        value = std::move(out);
      });
  return found ? 0 : -1;
}
