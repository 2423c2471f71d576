// Reading and writing single parameter values and formulas.
#include "control/format/number_format.h"
#include "params/cell_snapshot.h"
#include "params/date_display.h"
#include "params/engine_index.h"
#include "params/sheet_scope.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::AddArgValue(long row, const CString& name, const CString& value, unsigned long flags,
                           const char* format) {
  engine::Control& ctl = Ctl();
  ctl.TerminateCellEdit();
  // A value may go into the row after the last one, which adds a row.
  long col = DoBeforeArgValue(name, row, static_cast<long>(ctl.GetLastRow()) + 1);
  if (col == -1) return -1;
  int r = params::EngineIndex(row);
  int c = params::EngineIndex(col);
  params::CellSnapshot before(ctl, r, c);
  if (SetEntryRC(row, col, value, flags, format) != 0) {
    // The entry failed (a formula that does not parse, a format the engine refuses): the
    // cell keeps what it held and the caller learns of the failure.
    before.Restore(ctl);
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
  ctl.SetCellText(params::EngineIndex(row), params::EngineIndex(col), std::string());
  return 0;
}

int CZAT_PSF1::SetArgFormula(long row, const CString& name, const CString& formula, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  return AddArgValue(row, name, "=" + formula, 0, nullptr);
}

int CZAT_PSF1::GetArgValue(long row, const CString& name, CString& value, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  engine::Control& ctl = Ctl();
  long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return -1;
  int r = params::EngineIndex(row);
  int c = params::EngineIndex(col);
  value = ctl.GetCellFormattedText(r, c);
  // Dates may show no-break spaces; the repair follows the number format of the cell read.
  const engine::Workbook& book = ctl.Book();
  if (params::IsDayMonthYearFormat(
          engine::format::FormatCode(book.CellFormat(book.Active(), r, c))))
    FixSpaceInDate(value);
  return 0;
}

int CZAT_PSF1::GetRawValue(long row, const CString& name, CString& value, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  engine::Control& ctl = Ctl();
  long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return -1;
  value = ctl.GetCellText(params::EngineIndex(row), params::EngineIndex(col));
  return 0;
}

int CZAT_PSF1::GetArgFormula(long row, const CString& name, CString& formula, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  engine::Control& ctl = Ctl();
  long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return -1;
  formula = ctl.GetCellFormula(params::EngineIndex(row), params::EngineIndex(col));
  return 0;
}

bool CZAT_PSF1::IsFormula(long row, const CString& name, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return false;
  params::ActiveSheetRestorer restore(*this, previous, s);
  engine::Control& ctl = Ctl();
  long col = DoBeforeArgValue(name, row, ctl.GetLastRow());
  if (col == -1) return false;
  short type = ctl.GetCellType(params::EngineIndex(row), params::EngineIndex(col));
  return type >= -4 && type <= -1;
}

int CZAT_PSF1::SubstituteParams(long row, const CString& name, CString& value, long sheet) {
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return -1;
  params::ActiveSheetRestorer restore(*this, previous, s);
  return GetArgValue(row, name, value, 0);
}
