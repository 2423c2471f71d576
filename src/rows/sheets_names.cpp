// Sheets by name and index: the list of names, lookup, count, active sheet, renaming and the
// selected mark. Sheet state lives in the engine and is read afresh on every call. Indexes
// are 1 … N; 0 and negative indexes are refused (0 means the active sheet for GetSheetName).

#include "rows/sheet_state.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

using table::Narrow;

const CStringList& CZAT_PSF1::GetSheetsList() {
  m_SheetsList.clear();
  for (long i = 1; i <= GetNumSheets(); ++i) {
    CString name;
    if (GetSheetName(name, i) != 0) name.clear();
    m_SheetsList.push_back(std::move(name));
  }
  return m_SheetsList;
}

long CZAT_PSF1::GetSheetIndex(CString name) {
  for (long i = 1; i <= GetNumSheets(); ++i) {
    CString candidate;
    if (GetSheetName(candidate, i) == 0 && candidate == name) return i;
  }
  return 0;
}

long CZAT_PSF1::GetNumSheets() { return Ctl().GetNumSheets(); }

void CZAT_PSF1::SetNumSheets(long count) {
  const long n = GetNumSheets();
  const rows::SheetNameMap survivors =
      rows::NamesOutside(*this, count + 1, count < n ? n - count : 0);
  Ctl().SetNumSheets(Narrow(count));
  // Sheets come and go at the end; what is kept per sheet follows.
  if (count > n) rows::SheetsInserted(m_HeaderColCounts, n, n + 1, count - n);
  if (count < n) {
    rows::SheetsDeleted(m_HeaderColCounts, n, count + 1, n - count);
    rows::KeepSheetEntries(survivors, m_RunRowsList, m_LastRunRows, m_SavedSelRows);
  }
}

long CZAT_PSF1::GetSheet() { return Ctl().GetActiveSheet(); }

int CZAT_PSF1::SetSheet(CString sheetName) {
  const long index = GetSheetIndex(std::move(sheetName));
  return index == 0 ? -1 : SetSheet(index);
}

int CZAT_PSF1::SetSheet(long sheet) {
  if (sheet < 1 || sheet > GetNumSheets()) return -1;
  Ctl().SetActiveSheet(Narrow(sheet));
  return 0;
}

int CZAT_PSF1::GetSheetName(CString& name, long sheet) {
  name.clear();
  if (sheet == 0) sheet = GetSheet();
  if (sheet < 1 || sheet > GetNumSheets()) return -1;
  name = Ctl().GetSheetName(Narrow(sheet));
  return 0;
}

int CZAT_PSF1::SetSheetName(CString oldName, const char* newName) {
  const long index = GetSheetIndex(std::move(oldName));
  return index == 0 ? -1 : SetSheetName(index, newName);
}

int CZAT_PSF1::SetSheetName(long sheet, const char* newName) {
  if (sheet < 1 || sheet > GetNumSheets() || newName == nullptr) return -1;
  // Also refuses the sheet's own current name.
  if (GetSheetIndex(newName) != 0) return -6;
  rows::SheetNameMap names = rows::NamesOutside(*this, 0, 0);
  Ctl().SetSheetName(Narrow(sheet), newName);
  // The row lists kept by sheet name follow the sheet to its new name.
  if (static_cast<std::size_t>(sheet) <= names.size())
    names[static_cast<std::size_t>(sheet - 1)].second = newName;
  rows::KeepSheetEntries(names, m_RunRowsList, m_LastRunRows, m_SavedSelRows);
  return 0;
}

bool CZAT_PSF1::GetSheetSelected(CString sheetName) {
  const long index = GetSheetIndex(std::move(sheetName));
  return index != 0 && GetSheetSelected(index);
}

bool CZAT_PSF1::GetSheetSelected(long sheet) {
  if (sheet < 1 || sheet > GetNumSheets()) return false;
  return Ctl().GetSheetSelected(Narrow(sheet));
}

int CZAT_PSF1::SetSheetSelected(CString sheetName, bool selected) {
  const long index = GetSheetIndex(std::move(sheetName));
  return index == 0 ? -1 : SetSheetSelected(index, selected);
}

int CZAT_PSF1::SetSheetSelected(long sheet, bool selected) {
  if (sheet < 1 || sheet > GetNumSheets()) return -1;
  Ctl().SetSheetSelected(Narrow(sheet), selected);
  return 0;
}
