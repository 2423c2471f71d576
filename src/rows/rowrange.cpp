// Row ranges per sheet name, and one row per sheet name.

#include <algorithm>
#include <climits>
#include <cstdint>
#include <new>

#include "datatable/rows_range.h"
#include "datatable/zat.h"

namespace {
// The one sentinel object behind both static references; compared by address only.
CString g_nullCString = "null-cstring";
}  // namespace

CString& CWBRowsRangeList::null_cstring_ref = g_nullCString;
CString& CZAT::null_cstring_ref = g_nullCString;

CWBRowsRangeList::CWBRowsRangeList() = default;
CWBRowsRangeList::~CWBRowsRangeList() = default;

void CWBRowsRangeList::ClearWBRowsRangeList() { m_Sheets.clear(); }

bool CWBRowsRangeList::IsEmptyRowsList(const CString& sheet) const {
  if (&sheet == &null_cstring_ref) {
    for (const auto& [name, ranges] : m_Sheets)
      if (!ranges.empty()) return false;
    return true;
  }
  auto it = m_Sheets.find(sheet);
  return it == m_Sheets.end() || it->second.empty();
}

int CWBRowsRangeList::AddSheetEntry(CString sheet) {
  try {
    return m_Sheets.try_emplace(std::move(sheet)).second ? 0 : -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

int CWBRowsRangeList::AddRowsRangeEntry(CString sheet, const CRowsRange& range) {
  auto it = m_Sheets.find(sheet);
  if (it == m_Sheets.end()) return -1;
  auto& ranges = it->second;
  if (ranges.size() >= static_cast<std::size_t>(INT_MAX)) return -1;
  try {
    ranges.push_back(range);
  } catch (const std::bad_alloc&) {
    return -1;
  }
  return static_cast<int>(ranges.size() - 1);
}

int CWBRowsRangeList::GetRowsRangeCount(CString sheet, int& count) const {
  auto it = m_Sheets.find(sheet);
  if (it == m_Sheets.end()) return -1;
  count = static_cast<int>(it->second.size());
  return 0;
}

int CWBRowsRangeList::GetRowsCount(CString sheet, int& rows) const {
  auto it = m_Sheets.find(sheet);
  if (it == m_Sheets.end()) return -1;
  // Summed wide so that absurd ranges cannot overflow; the result saturates at the int limits.
  std::int64_t total = 0;
  for (const CRowsRange& r : it->second) {
    __int128 span = static_cast<__int128>(r.nLastRow) - r.nFirstRow + 1;
    span = std::clamp<__int128>(span, INT_MIN, INT_MAX);
    total = std::clamp<std::int64_t>(total + static_cast<std::int64_t>(span), INT_MIN, INT_MAX);
  }
  rows = static_cast<int>(total);
  return 0;
}

int CWBRowsRangeList::GetRowsRangeEntry(CString sheet, int index, CRowsRange& range) const {
  auto it = m_Sheets.find(sheet);
  if (it == m_Sheets.end() || index < 0 || static_cast<std::size_t>(index) >= it->second.size())
    return -1;
  range = it->second[static_cast<std::size_t>(index)];
  return 0;
}

int CWBRowsRangeList::SetRowsRangeEntry(CString sheet, int index, const CRowsRange& range) {
  auto it = m_Sheets.find(sheet);
  if (it == m_Sheets.end() || index < 0 || static_cast<std::size_t>(index) >= it->second.size())
    return -1;
  it->second[static_cast<std::size_t>(index)] = range;
  return 0;
}

CLastSelectedRow::CLastSelectedRow() = default;
CLastSelectedRow::~CLastSelectedRow() = default;

void CLastSelectedRow::ClearLastSelectedRow() { m_Rows.clear(); }

int CLastSelectedRow::AddLastSelectedRowEntry(CString sheet, long row) {
  try {
    return m_Rows.try_emplace(std::move(sheet), row).second ? 0 : -1;
  } catch (const std::bad_alloc&) {
    return -1;
  }
}

int CLastSelectedRow::SetLastSelectedRowEntry(CString sheet, long row) {
  auto it = m_Rows.find(sheet);
  if (it == m_Rows.end()) return -1;
  it->second = row;
  return 0;
}

int CLastSelectedRow::GetLastSelectedRow(CString sheet, long& row) const {
  auto it = m_Rows.find(sheet);
  if (it == m_Rows.end()) return -1;
  row = it->second;
  return 0;
}
