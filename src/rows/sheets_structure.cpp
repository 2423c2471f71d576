// Adding and removing sheets, and preparing new ones. What the table keeps per sheet follows
// its sheet: the recorded header widths (kept by position) move with the sheets behind an
// insertion or deletion, and the row lists kept by sheet name lose the entries of deleted
// sheets, so that a new sheet that gets a deleted sheet's name starts with nothing.

#include "rows/sheet_state.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

using table::Narrow;

void CZAT_PSF1::AppendSheets(long count) {
  if (count < 1) return;  // nothing to add
  const long n = GetNumSheets();
  Ctl().InsertSheets(Narrow(n + 1), Narrow(count));
  rows::SheetsInserted(m_HeaderColCounts, n, n + 1, count);
  InitSheet(n + 1, n + count);
}

int CZAT_PSF1::InsertSheets(CString sheetName, long count) {
  const long index = GetSheetIndex(std::move(sheetName));
  return index == 0 ? -1 : InsertSheets(index, count);
}

int CZAT_PSF1::InsertSheets(long sheet, long count) {
  if (sheet < 1 || sheet > GetNumSheets() || count < 1) return -1;
  // The active sheet keeps its index: the sheet that was active may move behind the new ones.
  const long active = GetSheet();
  const long n = GetNumSheets();
  Ctl().InsertSheets(Narrow(sheet), Narrow(count));
  rows::SheetsInserted(m_HeaderColCounts, n, sheet, count);
  Ctl().SetActiveSheet(Narrow(active));
  InitSheet(sheet, sheet + count - 1);
  return 0;
}

int CZAT_PSF1::DeleteSheets(CString sheetName, long count) {
  const long index = GetSheetIndex(std::move(sheetName));
  return index == 0 ? -1 : DeleteSheets(index, count);
}

int CZAT_PSF1::DeleteSheets(long firstSheet, long count) {
  const long n = GetNumSheets();
  // A count below 1 names no sheet (and would ask the host about an empty range).
  if (firstSheet < 1 || count < 1 || count > n || firstSheet + count - 1 > n) return -1;
  const bool all = count == n;
  if (m_pNotify != nullptr &&
      m_pNotify->OnDeleteSheets(firstSheet, firstSheet + count - 1) == CZATNotify::ZAT_NTFY_CANCEL)
    return 0;
  // A workbook keeps at least one sheet: a fresh one goes in before all the others go.
  if (all) AppendSheets(1);
  const rows::SheetNameMap survivors = rows::NamesOutside(*this, firstSheet, count);
  Ctl().DeleteSheets(Narrow(firstSheet), Narrow(count));
  rows::SheetsDeleted(m_HeaderColCounts, GetNumSheets() + count, firstSheet, count);
  rows::KeepSheetEntries(survivors, m_RunRowsList, m_LastRunRows, m_SavedSelRows);
  if (all) Ctl().SetSheetName(1, "Sheet1");
  return 0;
}

void CZAT_PSF1::InitSheet(long first, long last) {
  if (last < first) return;
  const long active = GetSheet();
  for (long s = first; s <= last; ++s) {
    SetSheet(s);
    Ctl().SetProgramChangeMode(false);
    Ctl().SetSheetViewMode16(1);
  }
  SetSheet(active);
}
