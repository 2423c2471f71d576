// Sheets by name and index: the list of names, lookup, count, active sheet, renaming and the
// selected mark. Sheet state lives in the engine and is read afresh on every call. Indexes
// are 1 … N; 0 and negative indexes are refused (0 means the active sheet for GetSheetName).

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

void CZAT_PSF1::SetNumSheets(long count) { Ctl().SetNumSheets(Narrow(count)); }

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
  Ctl().SetSheetName(Narrow(sheet), newName);
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
