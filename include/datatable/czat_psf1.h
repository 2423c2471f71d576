#pragma once
// CZAT_PSF1: the table. A window of the installed platform (a top-level frame with menu bar and
// status bar, or a child window inside the host's window) that shows a workbook held by the
// spreadsheet engine, and implements the CZAT interface over it.
//
// A host creates one with the exported constructor (pParentWnd may be nullptr), keeps it as a
// CZAT pointer and ends it with Destroy(), which deletes the object; the host never deletes a
// table itself. Everything runs on the host's user-interface thread.

#include <memory>
#include <vector>

#include "datatable/export.h"
#include "datatable/notify.h"
#include "datatable/typed_value.h"
#include "datatable/zat.h"

namespace platform {
class Platform;
class Frame;
class StatusBar;
class ControlWindow;
struct CreateStruct;
struct CommandState;
struct FileDialogResult;
struct Point;
struct Rect;
}  // namespace platform

class DATATABLE_API CZAT_PSF1 : public CZAT {
 public:
  // Timer that defers the engine's post-modification call (period 100 ms).
  static constexpr unsigned TABLE_TIMER_ID = 777;

  // Creates the window and the engine, places a framed window from the profile, opens fileName
  // (an empty name sets up a new table whose parameters are pHeaderArgs) and derives the date
  // format from the locale. IsValid() tells whether the open succeeded. bChildWindow: a child
  // window inside pParentWnd; bFileCommands / bPrintPreview: keep those File menu items.
  CZAT_PSF1(CWnd* pParentWnd, const CString& fileName, FILE_TYPE fileType,
            const CZATArgList* const pHeaderArgs, bool bChildWindow, bool bFileCommands,
            bool bPrintPreview);
  // As dynamic creation builds it: no parent, no file, a frame without the file commands.
  CZAT_PSF1();
  ~CZAT_PSF1() override;
  // Dynamic creation by class name.
  static CZAT_PSF1* CreateObject();

  // --- CZAT ------------------------------------------------------------------------------------
  bool Destroy() override;
  int Open(const CString& fileName, FILE_TYPE type, const CZATArgList* const headerList,
           int silent) override;
  int Save(const CString& fileName, int adopt, FILE_TYPE type, int notify) override;
  bool ViewDataTable() override;
  int ViewOpen() override;
  int ViewClose() override;
  int UnSelectRows(long sheet) override;
  int SelectRows(CWBRowsRangeList& rows, long sheet) override;
  int SelectRows(long firstRow, long lastRow, long sheet, bool checkBounds) override;
  int AddSelectRows(long firstRow, long lastRow, long sheet) override;
  int GetSelectedRows(CWBRowsRangeList& rows, long sheet) override;
  int GetAllRows(CWBRowsRangeList& rows, long sheet) override;
  void AutoResize(long firstCol, long lastCol) override;
  int DelRow(long row) override;
  int DelArg(const CString& name) override;
  int DelArg(long col) override;
  int SelectArg(const CString& name, long sheet) override;
  int AddArg(long col, CString& name, const CString& value, unsigned long flags,
             const char* format, int strictName) override;
  int AddArg(const CString& before, CString& name, const CString& value, unsigned long flags,
             const char* format) override;
  int AppendArg(CString& name, const CString& value, unsigned long flags, const char* format,
                int strictName) override;
  int DelArgValue(long row, const CString& name) override;
  int AddArgValue(long row, const CString& name, const CString& value, unsigned long flags,
                  const char* format) override;
  int GetArgValue(long row, const CString& name, CString& value, long sheet) override;
  int GetArgFormula(long row, const CString& name, CString& formula, long sheet) override;
  int SetArgFormula(long row, const CString& name, const CString& formula, long sheet) override;
  bool IsFormula(long row, const CString& name, long sheet) override;
  int GetMaxRows(long& rows, long sheet) override;
  int GetMaxCols(long& cols, long sheet) override;
  int GetMaxArgs(long& args) override;
  void SortTable(long r1, long c1, long r2, long c2, int byRows, long key1, long key2,
                 long key3) override;
  const CZATArgList& GetHeaderArgList(long sheet) override;
  int HeaderValidityCheck(const CZATArgList& list) override;
  int SubstituteParams(long row, const CString& name, CString& value, long sheet) override;
  int IsEmpty() override;
  int EditCopy() override;
  int TestDlgEditPaste() override;
  void EditPaste(int repair) override;
  void SetActiveCell(long row, const CString& name) override;
  void Recalc() override;
  void SetEnabled(bool on) override;
  void SetRowHidden(long firstRow, long lastRow, bool hidden) override;
  void SetColHidden(const CString& name, bool hidden) override;
  void SetShowTabs(bool show) override;
  const CStringList& GetSheetsList() override;
  long GetSheetIndex(CString name) override;
  void AppendSheets(long count) override;
  int InsertSheets(CString sheetName, long count) override;
  int InsertSheets(long sheet, long count) override;
  int DeleteSheets(CString sheetName, long count) override;
  int DeleteSheets(long firstSheet, long count) override;
  long GetNumSheets() override;
  void SetNumSheets(long count) override;
  long GetSheet() override;
  int SetSheet(CString sheetName) override;
  int SetSheet(long sheet) override;
  int GetSheetName(CString& name, long sheet) override;
  int SetSheetName(CString oldName, const char* newName) override;
  int SetSheetName(long sheet, const char* newName) override;
  bool GetSheetSelected(CString sheetName) override;
  bool GetSheetSelected(long sheet) override;
  int SetSheetSelected(CString sheetName, bool selected) override;
  int SetSheetSelected(long sheet, bool selected) override;
  int SetFontColor(long row, const CString& name, unsigned long colour) override;
  int SetStyle(COLOR_STYLE style, const CString& name, long row) override;
  int GetStyle(COLOR_STYLE& style, const CString& name, long row) override;
  void SetTitle(const char* text) override;
  int CaptureRowsList(bool ask, long sheet) override;
  int SelectNextRunRow(bool remember, long sheet) override;
  int GetCurrRunRow(long& row, long sheet) override;
  int GetNextRunRow(long& row, long sheet) override;
  int GetRunRow(long position, long& row, long sheet) override;
  int GetNumRunRows(int& count, long sheet) override;
  void GetAccelTableParams(CWnd** wnd, HACCEL* accel) override;

  // --- Further virtual operations ----------------------------------------------------------------
  // The cell's entry text rather than its displayed text.
  virtual int GetRawValue(long row, const CString& name, CString& value, long sheet);
  // Refreshes values from a tab-separated text file; addMissing adds its unknown parameters.
  virtual int UpdateFromTextFile(const CString& fileName, int addMissing);

  // --- Public operations -------------------------------------------------------------------------
  bool GetReadOnly() const { return m_ReadOnly; }
  void SetReadOnly(bool on) { m_ReadOnly = on; }
  int RegisterNotify(CZATNotify* sink);   // 1; 0 when a sink is already registered
  int UnRegisterNotify(int handle);       // 0; -1 when none is registered
  int OpenFromBlob(void** blob);          // 0; -1, -3
  int SaveToBlob(void** blob);            // 0; -1 (the host frees the block)
  // Saves as .xls (and blobs) of a workbook read from .xlsx that carries what only .xlsx holds
  // (drawings, charts, pictures, pivot tables, tables, macros, form controls) fail with a
  // message naming it; with this on they succeed and leave those out. Off by default.
  void SetDropUnsupported(bool on);
  int SaveAsDlg(CString& savedName);      // 0; 2 cancelled; -1; -3
  bool Print(int flag);
  int CopyAllContent(long sheet);
  int PasteFromMouse(CString sheetName);
  void FixParamName(CString& name) const;
  bool PromptAndFixParamName(CString& name) const;
  // The parameter name of column col (1 … GetMaxCols) of a sheet (0 = active), "" for a column
  // without a name (GetHeaderArgList lists such a column under its letters). 0; -1 for a bad
  // sheet or column.
  int GetArgName(long col, CString& name, long sheet);
  // The value of a parameter cell (of a formula, its result) with its type and, for a number
  // that its format shows as a date or a time, the calendar date and time. Arguments and
  // results as GetArgValue; on -1 `value` is left unchanged.
  int GetArgTypedValue(long row, const CString& name, CZATTypedValue& value, long sheet);

 protected:
  void CZAT_PSF1_construct(CWnd* pParentWnd, const CString& fileName, FILE_TYPE fileType,
                           const CZATArgList* const pHeaderArgs);
  // The engine; throws datatable::EngineError (invalid pointer) when there is none. Its type
  // is the implementation's (defined with Internals), so a host sees no engine here.
  auto& Ctl() const;

  // --- Window -----------------------------------------------------------------------------------
  bool Create(const char* className, const char* title, unsigned long style,
              const platform::Rect& rect, CWnd* pParentWnd, unsigned id, void* context);
  bool PreCreateWindow(platform::CreateStruct& cs);
  int OnCreate(platform::CreateStruct& cs);
  void OnSize(unsigned type, int cx, int cy);
  void OnClose();
  void OnDestroy();
  void OnTimer(unsigned id);
  void OnContextMenu(CWnd* wnd, const platform::Point& point);
  void InitView();
  void MinimalSpread();
  int MessageBoxA(unsigned promptId, unsigned type);
  void ShowErrMessage(const CString& text);
  // Menu command routing: the platform hands every command and every state request here.
  bool OnCommand(unsigned id);
  bool OnUpdateCommand(platform::CommandState& state);

  // --- Engine events ------------------------------------------------------------------------------
  void OnClickVcf1(long row, long col);
  void OnDblClickVcf1(long row, long col);
  void OnRClickVcf1(long row, long col);
  void OnRDblClickVcf1(long row, long col);
  void OnKeyDownVcf1(short& key, short shift);
  void OnStartEditVcf1(CString& text, short& cancel);
  void OnEndEditVcf1(CString& text, short& cancel);
  void OnModifiedVcf1();

  // --- Header row and cell addressing -------------------------------------------------------------
  long GetArgCol(const CString& name);
  CString GetColText(long col);
  void SetColText(long col, const CString& name);
  bool IsABColName(long col);
  int GetABColName(long col, CString& out);
  long GetLastCol();
  long GetLastRow();
  bool GetNotDupArgName(CString& name);
  bool GetNonameName(CString& name);
  int AddCol(long col, const CString& value, int fillFromLists, unsigned long flags,
             const char* format);
  int AddHeaderToZAT();
  int DelHeaderFromZAT(int takeNames);

  // --- Cell entry --------------------------------------------------------------------------------
  int SetEntryRC(long row, long col, const CString& value, unsigned long flags,
                 const char* format);
  long DoBeforeArgValue(const CString& name, long row, long maxRow);
  int FixSpaceInDate(CString& text);

  // --- Parameter names ---------------------------------------------------------------------------
  CString GetParamNameError(const CString& name) const;
  int IsParamNameLetter(int ch) const;
  int IsParamNameAlnum(int ch) const;
  bool IsValidParamNameFirstChar(int ch) const;
  bool IsValidParamNameChar(int ch) const;
  CString MbcharToString(int ch) const;

  // --- Colour styles -------------------------------------------------------------------------------
  void StoreBeforeColorOp(long row, long col, long& activeRow, long& activeCol, bool& restoreSel,
                          CWBRowsRangeList& savedSel, long sheet);
  void ReStoreAfterColorOp(long activeRow, long activeCol, bool restoreSel,
                           CWBRowsRangeList& savedSel, long sheet);
  unsigned long GetStyleColor(COLOR_STYLE style) const;
  COLOR_STYLE GetColorStyle(unsigned long colour) const;

  // --- Sheets --------------------------------------------------------------------------------------
  void InitSheet(long first, long last);
  int GetRequestedSheet(long sheet, long& outSheet, long& outPrevious, bool activate);
  int GetRequestedSheets(long sheet, long& outFirst, long& outLast, long& outPrevious);

  // --- Row selection -------------------------------------------------------------------------------
  int StoreSelRows(CWBRowsRangeList& rows, long sheet);
  void RestoreSelRows(CWBRowsRangeList& rows, long sheet);
  void FullRowSelectionPatch();
  void FullColumnSelectionPatch();
  void NoFirstRowPatch(long firstCol, long lastCol);
  void NoColNamePatch(long firstCol, long lastCol);

  // --- Files ---------------------------------------------------------------------------------------
  int ReCreate(const CZATArgList* const headerList);
  int OpenFile(short* type, void** blob, int silent);
  int GetFileType(const CString& fileName, short* type);
  void ReplaceMsgIfSharing(CString errorText, unsigned int messageId, int& result, int reading);
  int YesNoSaveMessage();
  // settled (when given) learns whether the user got past the dialog and the save question:
  // the table's own edits were then saved or given up.
  int OpenDlg(bool fixNames, bool askSave, bool* settled = nullptr);
  int GetDlgPathName(platform::FileDialogResult& dialog, CString& path, int openDialog);
  int GetSaveAsDlgType(platform::FileDialogResult& dialog, short* type);
  // Writes the workbook in the stored form to path (as type) or, blob given, to a new memory
  // block; 0, or -1 after the failure's message was shown.
  int WriteStoredForm(const CString& path, short type, void** blob);

  // --- File commands -------------------------------------------------------------------------------
  void OnFileNew();
  void OnFileOpen();
  void OnFileSave();
  void OnFileSaveAs();
  void OnFileImport();
  void OnFileExport();
  void OnFileClose();
  void OnFilePrint();
  void OnFilePrintpreview();
  void OnFilePrintsetup();
  void OnUpdateFileNew(platform::CommandState& state);
  void OnUpdateFileOpen(platform::CommandState& state);
  void OnUpdateFileImport(platform::CommandState& state);

  // --- Clipboard commands --------------------------------------------------------------------------
  void OnEditCut();
  void OnEditCopy();
  void OnEditPaste();
  void OnEditPastevalues();
  void OnUpdateEditCut(platform::CommandState& state);
  void OnUpdateEditCopy(platform::CommandState& state);
  void OnUpdateEditPaste(platform::CommandState& state);
  void OnUpdateEditPastevalues(platform::CommandState& state);

  // --- Cell commands -------------------------------------------------------------------------------
  void OnEditClearAll();
  void OnEditClearFormats();
  void OnEditClearContents();
  void OnEditClear(int kind);
  void OnEditInsert();
  void OnEditDelete();
  void OnEditCopyright();
  void OnEditCopydown();
  void OnEditFind();
  void OnEditReplace();
  void OnEditGoto();
  void OnDataRecalc();
  void OnDataSort();
  void OnUpdateEditClear(platform::CommandState& state);
  void OnUpdateEditInsert(platform::CommandState& state);
  void OnUpdateEditDelete(platform::CommandState& state);
  void OnUpdateEditCopyright(platform::CommandState& state);
  void OnUpdateEditCopydown(platform::CommandState& state);
  void OnUpdateEditFind(platform::CommandState& state);
  void OnUpdateEditReplace(platform::CommandState& state);
  void OnUpdateDataSort(platform::CommandState& state);

  // --- Format commands -----------------------------------------------------------------------------
  void OnFormatGeneral();
  void OnFormatCurrency0();
  void OnFormatCurrency2();
  void OnFormatFixed();
  void OnFormatPercent();
  void OnFormatFraction();
  void OnFormatScientific();
  void OnFormatMdyyd();
  void OnFormatHmmampmt();
  void OnFormatCustomnumber();
  void OnFormatValidationrule();
  void OnUpdateFormat(platform::CommandState& state);

  // --- AutoFill lists ------------------------------------------------------------------------------
  void OnDataAutofilllist();

  // --- Data ----------------------------------------------------------------------------------------
  HICON m_hIcon = nullptr;                 // icon 3002
  short m_FileType = FILE_TYPE_NONE;       // format of the current file
  platform::StatusBar* m_StatusBar = nullptr;  // frame mode only; owned by the window
  CZATNotify* m_pNotify = nullptr;         // the registered sink, owned by the host
  CString m_ShortDateFormat;               // the user's short date, with a four-digit year
  bool m_ShowTabs = false;                 // last value given to SetShowTabs
  bool m_NoModalUp = true;                 // false while a box or dialog of the table is up
  bool m_ChildMode = false;
  bool m_FileCommands = false;
  bool m_PrintPreview = false;
  bool m_ReadOnly = false;
  HMENU m_hMenu = nullptr;                 // the frame's menu, captured by PreCreateWindow
  platform::ControlWindow* m_ControlWnd = nullptr;  // hosts the engine's view; owned by the window
  std::vector<unsigned> m_HeaderColCounts;          // recorded last header column per sheet

 private:
  // What the implementation keeps beside the members above: the engine, the parameter lookup,
  // the platform this table was built on, its window and the relays that deliver window
  // messages and engine events to the handlers. Defined with the table's sources.
  struct Internals;
  std::unique_ptr<Internals> m_Internals;
};
