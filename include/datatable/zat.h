#pragma once
// CZAT: the abstract table interface a host holds. A table is a workbook of sheets; on each
// sheet every column is a named parameter and every row one test iteration. Rows, columns and
// sheets are 1-based; a sheet argument of 0 means the active sheet for operations on one sheet
// and all sheets for operations on a range of sheets. Results are returned: 0 for success and
// a negative code for failure (-1 invalid argument or absent parameter/sheet, -3 vetoed by
// the notification sink, -4 a parameter position beyond column 256, -5 not enough memory,
// -6 a sheet with that name exists, -7 a read error when silence was asked for); the run-row
// walk returns 1 for yes and 0 for no. Which calls may throw the engine's exception is said
// in datatable/errors.h.
//
// A table is created with the CZAT_PSF1 constructor (datatable/czat_psf1.h) and ended with
// Destroy; the host never deletes it.

#include "datatable/arg_list.h"
#include "datatable/errors.h"
#include "datatable/export.h"
#include "datatable/rows_range.h"
#include "datatable/strings.h"
#include "datatable/window_types.h"

class DATATABLE_API CZAT {
 public:
  // File formats; the numbers are those the workbook reader and writer use. GetFileType
  // knows only .xls and .txt; a host opens or saves the other forms by passing their type.
  // Whatever type is passed, a workbook file (.xls or .xlsx) is read by its content.
  enum FILE_TYPE : short {
    FILE_TYPE_NONE = 0,
    FILE_TYPE_TEXT = 3,     // tab-separated text, the active sheet
    FILE_TYPE_EXCEL5 = 4,   // Excel 5.0/95 workbook (.xls, BIFF5)
    FILE_TYPE_CSV = 6,      // comma-separated text, the active sheet
    FILE_TYPE_EXCEL97 = 11, // Excel 97-2000 workbook (.xls, BIFF8)
    FILE_TYPE_XLSX = 51,    // Office Open XML workbook (.xlsx)
  };
  // Cell fill styles. A fixed underlying type: a host may pass any int (other values mean
  // no fill).
  enum COLOR_STYLE : int {
    COLOR_STYLE_NONE = 0,
    COLOR_STYLE_BLUE = 1,
    COLOR_STYLE_RED = 2,
    COLOR_STYLE_GREEN = 3,
  };

  // The shared sentinel string (text "null-cstring"), recognised by its address: passed as a
  // value it means "no value", as a file name "no name". Same object as
  // CWBRowsRangeList::null_cstring_ref.
  static CString& null_cstring_ref;

  // The arguments are not used; CZAT_PSF1 does the work.
  CZAT(CWnd* pParentWnd, const CString& fileName, FILE_TYPE fileType,
       const CZATArgList* pHeaderArgs);
  virtual ~CZAT();
  CZAT(const CZAT&) = delete;
  CZAT& operator=(const CZAT&) = delete;

  // --- The interface, in slot order ----------------------------------------------------------
  virtual bool Destroy() = 0;
  virtual int Open(const CString& fileName, FILE_TYPE type, const CZATArgList* const headerList,
                   int silent) = 0;
  virtual int Save(const CString& fileName, int adopt, FILE_TYPE type, int notify) = 0;
  virtual bool ViewDataTable() = 0;
  virtual int ViewOpen() = 0;
  virtual int ViewClose() = 0;
  virtual int UnSelectRows(long sheet) = 0;
  virtual int SelectRows(CWBRowsRangeList& rows, long sheet) = 0;
  virtual int SelectRows(long firstRow, long lastRow, long sheet, bool checkBounds) = 0;
  virtual int AddSelectRows(long firstRow, long lastRow, long sheet) = 0;
  virtual int GetSelectedRows(CWBRowsRangeList& rows, long sheet) = 0;
  virtual int GetAllRows(CWBRowsRangeList& rows, long sheet) = 0;
  virtual void AutoResize(long firstCol, long lastCol) = 0;
  virtual int DelRow(long row) = 0;
  virtual int DelArg(const CString& name) = 0;
  virtual int DelArg(long col) = 0;
  virtual int SelectArg(const CString& name, long sheet) = 0;
  virtual int AddArg(long col, CString& name, const CString& value, unsigned long flags,
                     const char* format, int strictName) = 0;
  virtual int AddArg(const CString& before, CString& name, const CString& value,
                     unsigned long flags, const char* format) = 0;
  virtual int AppendArg(CString& name, const CString& value, unsigned long flags,
                        const char* format, int strictName) = 0;
  virtual int DelArgValue(long row, const CString& name) = 0;
  virtual int AddArgValue(long row, const CString& name, const CString& value,
                          unsigned long flags, const char* format) = 0;
  virtual int GetArgValue(long row, const CString& name, CString& value, long sheet) = 0;
  virtual int GetArgFormula(long row, const CString& name, CString& formula, long sheet) = 0;
  virtual int SetArgFormula(long row, const CString& name, const CString& formula,
                            long sheet) = 0;
  virtual bool IsFormula(long row, const CString& name, long sheet) = 0;
  virtual int GetMaxRows(long& rows, long sheet) = 0;
  virtual int GetMaxCols(long& cols, long sheet) = 0;
  virtual int GetMaxArgs(long& args) = 0;
  virtual void SortTable(long r1, long c1, long r2, long c2, int byRows, long key1, long key2,
                         long key3) = 0;
  virtual const CZATArgList& GetHeaderArgList(long sheet) = 0;
  virtual int HeaderValidityCheck(const CZATArgList& list) = 0;
  virtual int SubstituteParams(long row, const CString& name, CString& value, long sheet) = 0;
  virtual int IsEmpty() = 0;
  virtual int EditCopy() = 0;
  virtual int TestDlgEditPaste() = 0;
  virtual void EditPaste(int repair) = 0;
  virtual void SetActiveCell(long row, const CString& name) = 0;
  virtual void Recalc() = 0;
  virtual void SetEnabled(bool on) = 0;
  virtual void SetRowHidden(long firstRow, long lastRow, bool hidden) = 0;
  virtual void SetColHidden(const CString& name, bool hidden) = 0;
  virtual void SetShowTabs(bool show) = 0;
  virtual const CStringList& GetSheetsList() = 0;
  virtual long GetSheetIndex(CString name) = 0;
  virtual void AppendSheets(long count) = 0;
  virtual int InsertSheets(CString sheetName, long count) = 0;
  virtual int InsertSheets(long sheet, long count) = 0;
  virtual int DeleteSheets(CString sheetName, long count) = 0;
  virtual int DeleteSheets(long firstSheet, long count) = 0;
  virtual long GetNumSheets() = 0;
  virtual void SetNumSheets(long count) = 0;
  virtual long GetSheet() = 0;
  virtual int SetSheet(CString sheetName) = 0;
  virtual int SetSheet(long sheet) = 0;
  virtual int GetSheetName(CString& name, long sheet) = 0;
  virtual int SetSheetName(CString oldName, const char* newName) = 0;
  virtual int SetSheetName(long sheet, const char* newName) = 0;
  virtual bool GetSheetSelected(CString sheetName) = 0;
  virtual bool GetSheetSelected(long sheet) = 0;
  virtual int SetSheetSelected(CString sheetName, bool selected) = 0;
  virtual int SetSheetSelected(long sheet, bool selected) = 0;
  virtual int SetFontColor(long row, const CString& name, unsigned long colour) = 0;
  virtual int SetStyle(COLOR_STYLE style, const CString& name, long row) = 0;
  virtual int GetStyle(COLOR_STYLE& style, const CString& name, long row) = 0;
  virtual void SetTitle(const char* text) = 0;
  virtual int CaptureRowsList(bool ask, long sheet) = 0;
  virtual int SelectNextRunRow(bool remember, long sheet) = 0;
  virtual int GetCurrRunRow(long& row, long sheet) = 0;
  virtual int GetNextRunRow(long& row, long sheet) = 0;
  virtual int GetRunRow(long position, long& row, long sheet) = 0;
  virtual int GetNumRunRows(int& count, long sheet) = 0;
  virtual void GetAccelTableParams(CWnd** wnd, HACCEL* accel) = 0;

  // --- Plain accessors -------------------------------------------------------------------------
  void GetFileName(CString& out) const { out = m_FileName; }
  void SetFile(CString name) { m_FileName = std::move(name); }
  void ViewSetCloseOption(int option) { m_CloseOption = option; }
  int IsViewOpened() const { return m_ViewOpened; }
  int IsValid() const { return m_Valid; }
  void ResetDirtyBit() { m_DirtyBit = 0; }
  int GetDirtyBit() const { return m_DirtyBit; }
  bool GetChangeDupArgName() const { return m_ChangeDupArgName; }
  void SetChangeDupArgName(bool on) { m_ChangeDupArgName = on; }

 protected:
  CWBRowsRangeList m_RunRowsList;  // run rows per sheet, captured by CaptureRowsList
  CLastSelectedRow m_LastRunRows;  // current run row per sheet
  CString m_FileName;              // empty for an unnamed table
  CZATArgList m_HeaderArgList;     // refilled by GetHeaderArgList
  CStringList m_SheetsList;        // refilled by GetSheetsList
  CWBRowsRangeList m_SavedSelRows;  // row selection kept while the view is closed
  int m_Valid = 0;                 // 1 when the open during construction succeeded
  int m_ViewOpened = 0;            // 1 between ViewOpen and ViewClose
  int m_CloseOption = 0;           // closing the window: 0 tells the host, else destroys
  int m_DirtyBit = 0;              // 1 once the workbook reported a change
  bool m_ChangeDupArgName = true;  // AddArg makes duplicate names unique
};
