#pragma once
// Row ranges kept per sheet name: CWBRowsRangeList maps a sheet name to its ordered ranges,
// CLastSelectedRow maps a sheet name to one row number. Plain containers; sheet names are
// compared exactly (byte for byte, case-sensitive).

#include <unordered_map>
#include <vector>

#include "datatable/export.h"
#include "datatable/strings.h"

struct CRowsRange {
  long nFirstRow = 0;  // 1-based, inclusive
  long nLastRow = 0;   // inclusive
};

class DATATABLE_API CWBRowsRangeList {
 public:
  // The shared sentinel string (text "null-cstring"), recognised by its address: passed to
  // IsEmptyRowsList it means "any sheet". CZAT::null_cstring_ref is the same object.
  static CString& null_cstring_ref;

  CWBRowsRangeList();
  virtual ~CWBRowsRangeList();
  CWBRowsRangeList(const CWBRowsRangeList&) = delete;
  CWBRowsRangeList& operator=(const CWBRowsRangeList&) = delete;

  void ClearWBRowsRangeList();
  // Sheet given: true when that sheet has no entry or no ranges. The sentinel: true when no
  // sheet has any range.
  bool IsEmptyRowsList(const CString& sheet) const;
  int AddSheetEntry(CString sheet);                             // 0; -1 already there
  int AddRowsRangeEntry(CString sheet, const CRowsRange& range);  // index; -1 no entry
  int GetRowsRangeCount(CString sheet, int& count) const;       // 0; -1 no entry
  int GetRowsCount(CString sheet, int& rows) const;             // 0; -1 no entry
  int GetRowsRangeEntry(CString sheet, int index, CRowsRange& range) const;  // 0; -1
  int SetRowsRangeEntry(CString sheet, int index, const CRowsRange& range);  // 0; -1

 private:
  std::unordered_map<CString, std::vector<CRowsRange>> m_Sheets;
};

class DATATABLE_API CLastSelectedRow {
 public:
  CLastSelectedRow();
  virtual ~CLastSelectedRow();
  CLastSelectedRow(const CLastSelectedRow&) = delete;
  CLastSelectedRow& operator=(const CLastSelectedRow&) = delete;

  void ClearLastSelectedRow();
  int AddLastSelectedRowEntry(CString sheet, long row);  // 0; -1 already there (unchanged)
  int SetLastSelectedRowEntry(CString sheet, long row);  // 0; -1 no entry (nothing added)
  int GetLastSelectedRow(CString sheet, long& row) const;  // 0; -1 no entry (row untouched)

 private:
  std::unordered_map<CString, long> m_Rows;
};
