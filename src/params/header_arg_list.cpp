// The parameter names of a sheet as a list, and comparing a list with the active sheet.
#include "params/sheet_scope.h"
#include "table/czat_psf1.h"

const CZATArgList& CZAT_PSF1::GetHeaderArgList(long sheet) {
  m_HeaderArgList.clear();
  long s = 0, previous = 0;
  if (sheet < 0 || GetRequestedSheet(sheet, s, previous, true) != 0) return m_HeaderArgList;
  params::ActiveSheetRestorer restore(*this, previous, s);
  long last = GetLastCol();
  for (long c = 1; c <= last; ++c) m_HeaderArgList.push_back(GetColText(c));
  return m_HeaderArgList;
}

int CZAT_PSF1::HeaderValidityCheck(const CZATArgList& list) {
  long last = GetLastCol();
  long c = 1;
  auto it = list.begin();
  for (; it != list.end() && c <= last; ++it, ++c)
    if (GetColText(c) != *it) return static_cast<int>(c);
  // Both ended together: the header is exactly the list. Otherwise the first position past
  // the shorter side.
  if (it == list.end() && c > last) return 0;
  return static_cast<int>(c);
}
