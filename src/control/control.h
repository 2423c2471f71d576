#pragma once
// The spreadsheet control: one facade over the engine with the role names the table uses.
// Property reads are GetX, writes SetX, methods by their name. Rows, columns and sheets are
// 1-based; -1 as both bounds of a range means every row (column). Every invalid call throws
// EngineError. Modified is raised once per call that changed content, structure, headings,
// formats or sheets, after the change is complete.

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "control/control_events.h"
#include "control/control_services.h"
#include "control/engine_error.h"
#include "control/limits.h"
#include "control/locale_settings.h"
#include "control/sheet_features.h"

namespace engine {

struct ClipData;
struct Block;
class Sheet;
class Workbook;
struct Value;

// Who the active sheet is and how often it changed: a cache built from the sheet stays good
// while the stamp is equal. The book and sheet addresses identify, never reach, the model.
struct SheetStamp {
  const void* book = nullptr;
  const void* sheet = nullptr;
  std::uint32_t sheetId = 0;  // a sheet replaced at the same address gets another id
  std::uint64_t changes = 0;  // bumped by every change of content, headings or structure
  // Unique to this sheet and the state of its column headings: it moves when a heading may
  // have changed (and only then), and no other sheet of the process ever has it.
  std::uint64_t headings = 0;
  int lastCol = 0;   // the last column that holds content
  int position = 0;  // the sheet's number in the workbook
  bool operator==(const SheetStamp&) const = default;
};

// A cell's value as a program reads it with its type: a number, text, logical or error (its
// text), and for a number what its format shows it as on the calendar, in the workbook's date
// system, to the millisecond.
struct TypedCell {
  enum Kind { kEmpty, kNumber, kText, kLogical, kError } kind = kEmpty;
  double number = 0;
  bool logical = false;
  std::string text;
  // kNone: a plain number, or one outside the calendar (before its first day, after 9999,
  // the 29 February 1900 that the 1900 system counts); kDate: a date with its time of day;
  // kTimeOfDay: a time format showing a number below one day.
  enum DateKind { kNone, kDate, kTimeOfDay } date = kNone;
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};

// One cell as it was (its content and its own style), to be put back by RestoreCell.
class SavedCell {
 public:
  SavedCell();
  ~SavedCell();
  SavedCell(SavedCell&&) noexcept;
  SavedCell& operator=(SavedCell&&) noexcept;

 private:
  friend class Control;
  struct Data;
  std::unique_ptr<Data> data_;
};

// Shift codes of the insert and delete operations.
enum ShiftMode : int {
  kShiftHorizontal = 1,  // cells move left/right
  kShiftVertical = 2,    // cells move up/down
  kShiftRows = 3,        // entire rows
  kShiftColumns = 4,     // entire columns
};
// Clear codes.
enum ClearType : int { kClearAll = 1, kClearFormats = 2, kClearValues = 3 };
// Cell type codes (formula cells give the negative of their result's code).
enum CellTypeCode : short { kTypeEmpty = 0, kTypeNumber = 1, kTypeText = 2, kTypeLogical = 3,
                            kTypeError = 4 };

// How a cell looks, for a view that draws it: the displayed text and what the cell's style,
// font and number format say about drawing it. Colours are 0x00BBGGRR or kAutoColor.
struct CellLook {
  static constexpr std::uint32_t kAutoColor = 0xFFFFFFFFu;
  enum class HAlign : std::uint8_t { General, Left, Center, Right, Fill, Justify, CenterAcross };
  enum class VAlign : std::uint8_t { Top, Center, Bottom, Justify };
  struct Edge {
    std::uint8_t line = 0;  // 0 none, 1 thin, 2 medium, … as the file format numbers them
    std::uint32_t color = kAutoColor;
  };
  std::string text;           // as displayed
  short type = 0;             // as GetCellType gives it
  std::uint16_t fontIndex = 0;  // the same index is the same font (for caching)
  std::string fontName;
  int fontHeightTwips = 200;
  bool bold = false, italic = false, underline = false, strikeout = false;
  std::uint32_t fontColor = kAutoColor;
  std::uint32_t formatColor = kAutoColor;  // a "[Red]" section's colour for this value
  std::uint8_t pattern = 0;  // 0 none, 1 solid, 2… hatches
  std::uint32_t patternFore = kAutoColor, patternBack = kAutoColor;
  Edge left, right, top, bottom;
  HAlign hAlign = HAlign::General;
  VAlign vAlign = VAlign::Bottom;
};

// A named cell style of the workbook.
struct CellStyleInfo {
  std::string name;
  int builtinId = -1;  // -1: a style the user named; else the built-in style's number
  int level = 0;       // the outline level (0-6) of RowLevel_n and ColLevel_n
};

class Control {
 public:
  explicit Control(LocaleSettings locale = LocaleSettings::EnUs());
  ~Control();
  Control(const Control&) = delete;
  Control& operator=(const Control&) = delete;

  // --- Wiring -------------------------------------------------------------------------------
  void SetEventListener(ControlEvents* listener) { events_ = listener; }
  // Views that repaint from change notices; a viewer removes itself before it goes.
  void AddViewer(ControlViewer* viewer);
  void RemoveViewer(ControlViewer* viewer);
  void SetClipboard(SystemClipboard* clipboard);  // nullptr: the process clipboard
  void SetDialogs(ControlDialogs* dialogs);       // nullptr: headless (every dialog cancels)
  // The table's file as printouts name it (a page header's file name); empty without a file.
  void SetDocumentName(const std::string& name) { documentName_ = name; }
  const std::string& DocumentName() const { return documentName_; }
  void SetLocale(const LocaleSettings& locale);
  const LocaleSettings& Locale() const { return locale_; }
  // The model, for the engine's own modules and tests; the table uses the operations below.
  Workbook& Book() { return *book_; }
  const Workbook& Book() const { return *book_; }
  // Replaces the whole workbook (a file was read); raises Modified.
  void ReplaceWorkbook(std::unique_ptr<Workbook> book);

  // --- Cells ----------------------------------------------------------------------------------
  std::string GetCellText(int row, int col) const;         // entry text ("=…" for a formula)
  void SetCellText(int row, int col, const std::string& text);  // as typed
  std::string GetCellFormattedText(int row, int col) const;  // displayed text
  // Text, type, font, fill, borders and alignment of a cell of the active sheet, in one read.
  void GetCellLook(int row, int col, CellLook& look) const;
  // The displayed text into `out`, reusing its storage, and the number-format code that
  // renders the cell: the host's hot path allocates nothing when the text fits.
  const std::string& ReadCellFormattedText(int row, int col, std::string& out) const;
  std::string GetCellFormula(int row, int col) const;       // canonical, no "="; "" if none
  void SetCellEntry(int row, int col, const std::string& text);  // raw text, no interpretation
  // Enters an array formula ("=…" or without the "=") over the block row1…row2 × col1…col2:
  // the block is calculated as one formula and its result array spread over it (#N/A where
  // the result has no value). It replaces what the block held; a block that takes in only
  // part of another array formula is refused (kErrArrayPart). Its entry text is "{=…}".
  void SetArrayFormula(int row1, int col1, int row2, int col2, const std::string& text);
  short GetCellType(int row, int col) const;
  // Typed access for callers that have a value rather than text.
  Value GetCellValue(int row, int col) const;
  void SetCellValue(int row, int col, const Value& value);
  // The value with its type. A cell emptied by an entry reads as empty; a formula's empty
  // result is text.
  TypedCell GetCellTyped(int row, int col) const;
  // The number-format code that renders a cell ("General" when it has none of its own).
  const std::string& GetCellFormatCode(int row, int col) const;
  // Saving and restoring one cell of the active sheet around an entry that may fail. A cell
  // outside the sheet saves as nothing and restores as nothing.
  SavedCell SaveCell(int row, int col) const;
  void RestoreCell(const SavedCell& saved);

  // --- Columns, rows --------------------------------------------------------------------------
  std::string GetColumnHeadingText(int col) const;
  // The heading of a column of the active sheet without a copy; "" outside 1 … MaxCol.
  const std::string& GetColumnHeading(int col) const;
  // The active sheet's identity and change counter, for caches of what its headings say.
  SheetStamp GetActiveSheetStamp() const;
  void SetColumnHeadingText(int col, const std::string& text);
  void SetDefinedName(const std::string& name, const std::string& formula);
  std::string GetDefinedName(const std::string& name) const;  // "" when not defined
  void DeleteDefinedName(const std::string& name);
  std::string FormatCellRef(int row, int col, bool absolute) const;
  bool GetColumnHidden(int col) const;
  void SetColumnHidden(int col, bool hidden);
  bool GetRowHidden(int row) const;
  void SetRowsHidden(int row1, int row2, bool hidden);
  // Row heights in twips: a row's own height (0 when it has the sheet's default height), and
  // the default height of the active sheet's rows (0 when the sheet keeps the standard one).
  int GetRowHeight(int row) const;
  int GetDefaultRowHeight() const;
  int GetColumnWidth(int col) const;  // 1/256 of a character
  void SetColumnWidth(int col, int width);
  void AutoFitColumns(int row1, int col1, int row2, int col2, bool fitBlank);

  // --- Extent ---------------------------------------------------------------------------------
  int GetLastRow() const;
  int GetLastCol() const;
  int GetMaxRow() const { return kMaxRow; }
  int GetMaxCol() const { return kMaxCol; }
  // Bumped by every change of the active sheet's content, headings or structure.
  std::uint64_t ChangeCount() const;

  // --- Ranges ---------------------------------------------------------------------------------
  void InsertRange(int row1, int col1, int row2, int col2, int shift);
  void DeleteRange(int row1, int col1, int row2, int col2, int shift);
  void ClearRange(int row1, int col1, int row2, int col2, int clearType);
  // The stored form's names row of the active sheet: DeleteNamesRow removes row 1 as
  // DeleteRange(1, -1, 1, -1, kShiftRows) does, InsertNamesRow inserts it as InsertRange does,
  // but neither is an edit of the sheet's items: merges, comments, links, rules, the filter,
  // print ranges and panes of the names row wait on the heading row (row 0), everything else
  // keeps its place, so that an open and a save put every item back where the file had it.
  void DeleteNamesRow();
  void InsertNamesRow();
  void MoveRange(int row1, int col1, int row2, int col2, int rowOffset, int colOffset);
  void SortRange(int row1, int col1, int row2, int col2, bool byRows, int key1, int key2,
                 int key3);

  // --- What a sheet carries besides cells ---------------------------------------------------
  // Merges, view, comments, links, rules, conditional formats, the filter and page setup of a
  // sheet (0: the active one). Positions are of the open form: row 0 is the heading row.
  const SheetFeatures& GetSheetFeatures(int sheet = 0) const;
  void SetSheetFeatures(const SheetFeatures& features, int sheet = 0);  // raises Modified
  SheetVisibility GetSheetVisibility(int sheet) const;
  void SetSheetVisibility(int sheet, SheetVisibility visibility);

  // Data validation of the active sheet. GetValidationRule: the rule that covers a cell, or
  // null. SetValidationRule gives a block the rule (the rule's own ranges are ignored); the
  // block no longer belongs to any other rule. ClearValidationRules takes a block out of every
  // rule.
  const ValidationRule* GetValidationRule(int row, int col) const;
  std::vector<ValidationRule> GetValidationRules() const;
  void SetValidationRule(int row1, int col1, int row2, int col2, const ValidationRule& rule);
  void ClearValidationRules(int row1, int col1, int row2, int col2);
  struct EntryCheck {
    bool ok = true;                // the entry may stand
    ErrorStyle style = ErrorStyle::Stop;
    std::string title, message;    // the rule's error alert (empty: the rule shows none)
  };
  // Checks text typed into a cell of the active sheet against the rule that covers it, as the
  // cell would hold the entry. A cell without a rule takes anything.
  EntryCheck CheckEntry(int row, int col, const std::string& text) const;
  // The items a list rule of a cell offers in its drop-down, in order, as the cells show them:
  // the rule's own items, or the cells of its range or name evaluated now. Empty for a cell
  // without a list rule.
  std::vector<std::string> ValidationListItems(int row, int col) const;

  // --- Selection ------------------------------------------------------------------------------
  void GetActiveCell(int& row, int& col) const;
  void SetActiveCell(int row, int col);
  // Asks the views to scroll the active cell into view.
  void ShowActiveCell();
  void GetSelection(int index, int& row1, int& col1, int& row2, int& col2) const;
  void SetSelection(int row1, int col1, int row2, int col2);
  void AddSelection(int row1, int col1, int row2, int col2);
  short GetSelectionCount() const;

  // --- Edit -----------------------------------------------------------------------------------
  void CutSelection();
  void CopySelection();
  void PasteClipboard();
  void PasteValues();
  bool CanPaste() const;
  void ClearSelection(int clearType);
  void InsertAtSelection(int shift);
  void DeleteAtSelection(int shift);
  void FillRight();
  void FillDown();
  void TerminateCellEdit();
  void Recalculate();

  // In-cell editing by a person (the window drives these): StartEdit may refuse, EndEdit may
  // refuse or repair; the text is entered as typed when the edit ends.
  bool BeginCellEdit(std::string text = {});
  bool IsEditing() const { return editing_; }
  void SetEditText(std::string text) { editText_ = std::move(text); }
  const std::string& EditText() const { return editText_; }
  bool EndCellEdit();     // commit; false when refused
  // Commits as EndCellEdit does, after checking the entry against the cell's validation rule.
  // An entry that breaks the rule is put to the person through the dialogs' alert before any
  // EndEdit: Retry keeps the edit going with the text as typed, a refusal ends it with the cell
  // as it was; neither raises EndEdit or Modified. A rule without an error alert lets any entry
  // stand.
  enum class EditEnd { Entered, Retry, Refused };
  EditEnd EndPersonEdit();
  void CancelCellEdit();  // discard

  // User actions the window reports; they reach the listener.
  void Click(int row, int col);
  void DblClick(int row, int col);
  void RClick(int row, int col);
  void RDblClick(int row, int col);
  void KeyDown(short& key, short shift);

  // --- Formats (on the selection of the active sheet) -----------------------------------------
  void FormatGeneral();
  void FormatCurrency0();
  void FormatCurrency2();
  void FormatFixed();
  void FormatPercent();
  void FormatFraction();
  void FormatScientific();
  void FormatTime();
  std::string GetNumberFormat() const;  // the active cell's
  void SetNumberFormat(const std::string& code);
  void SetPattern(short pattern, std::uint32_t fore, std::uint32_t back);
  void GetPattern(short& pattern, std::uint32_t& fore, std::uint32_t& back) const;
  void SetBorder(short outline, short left, short right, short top, short bottom, short shade,
                 std::uint32_t outlineColor, std::uint32_t leftColor, std::uint32_t rightColor,
                 std::uint32_t topColor, std::uint32_t bottomColor);
  void SetFontColor(std::uint32_t color);
  std::uint32_t GetFontColor() const;  // the active cell's
  void SetDefaultFont(const std::string& face, short size);
  // The face and height of the workbook's default font (column widths count its digits).
  void GetDefaultFont(std::string& face, int& heightTwips) const;

  // --- Named cell styles ----------------------------------------------------------------------
  std::vector<CellStyleInfo> GetCellStyles() const;  // Normal first
  std::string GetCellStyleName() const;               // the active cell's style
  // Gives the selection (or a block of the active sheet; -1 as both bounds: every row or
  // column) the style: the parts of the format the style sets, and the style itself.
  void ApplyCellStyle(const std::string& name);
  void ApplyCellStyle(int row1, int col1, int row2, int col2, const std::string& name);
  // A new user style with every part of the active cell's format; its name must be new.
  void AddCellStyle(const std::string& name);
  void RenameCellStyle(const std::string& from, const std::string& to);

  // --- Sheets ---------------------------------------------------------------------------------
  int GetNumSheets() const;
  void SetNumSheets(int count);
  int GetActiveSheet() const;
  void SetActiveSheet(int sheet);
  std::string GetSheetName(int sheet) const;
  void SetSheetName(int sheet, const std::string& name);
  bool GetSheetSelected(int sheet) const;
  void SetSheetSelected(int sheet, bool selected);
  void InsertSheets(int at, int count);
  void DeleteSheets(int at, int count);
  void MoveSheet(int from, int to);
  int GetShowTabsMode() const { return showTabsMode_; }
  void SetShowTabsMode(int mode);

  // --- Files ----------------------------------------------------------------------------------
  // type: 3 tab-separated text, 4 BIFF5 (Excel 5.0/95), 11 BIFF8 (Excel 97-2000).
  void ReadFile(const std::string& path, short& type);
  void WriteFile(const std::string& path, short type);
  // The blob: a malloc'd block, an 8-byte little-endian byte count and a BIFF8 workbook.
  // The handle is the block's address; WriteToBlob mallocs it, the host owns it and frees it.
  void ReadFromBlob(void* handle, short reserved);
  void WriteToBlob(void** handle, short reserved);
  // A workbook file (BIFF8, BIFF5, a blob) cannot hold what a workbook read from an .xlsx
  // package may carry (drawings, charts, pivot tables, macros…): such a write is refused
  // (EngineError naming what would be lost) unless this is on, when they are left out.
  void SetDropUnsupported(bool on) { dropUnsupported_ = on; }
  void PrepareWrite() { TerminateCellEdit(); }

  // --- Dialogs --------------------------------------------------------------------------------
  void ShowFindDialog();
  void ShowReplaceDialog();
  void ShowGotoDialog();
  void ShowSortDialog();
  void ShowNumberFormatDialog();
  void ShowValidationRuleDialog();
  void ShowPrintSetupDialog();
  void ShowPrintPreview();
  void PrintTable(bool showDialog);

  // --- Fill lists -----------------------------------------------------------------------------
  short GetAutoFillListCount() const { return static_cast<short>(fillLists_.size()); }
  std::string GetAutoFillList(short index) const;  // 1-based; items joined with ";"
  void SetAutoFillList(short index, const std::string& list);  // index count+1 appends
  // As SetAutoFillList, but keeps a list of one item or none too, as a list file or the
  // person editing the lists gives it (a list that continues nothing, kept in its place).
  void StoreAutoFillList(short index, const std::string& list);
  void DeleteAutoFillList(short index);
  // The list (and position) a text belongs to, for continuing a series; false when none.
  bool FindInFillList(const std::string& text, int& list, int& position) const;
  std::vector<std::string> FillListItems(short index) const;

  // --- View state -----------------------------------------------------------------------------
  bool GetEnabled() const { return enabled_; }
  void SetEnabled(bool on) { enabled_ = on; }
  int GetBorderStyle() const { return borderStyle_; }
  void SetBorderStyle(int style) { borderStyle_ = style; }
  bool GetModifiedFlag() const { return modifiedFlag_; }
  void SetModifiedFlag(bool on) { modifiedFlag_ = on; }
  bool GetProgramChangeMode() const { return programChangeMode_; }
  void SetProgramChangeMode(bool on) { programChangeMode_ = on; }
  void SetInitViewFlag1(bool on) { viewFlags_[0] = on; }
  void SetInitViewFlag110(bool on) { viewFlags_[1] = on; }
  void SetInitViewFlag111(bool on) { viewFlags_[2] = on; }
  void SetConstructFlag67(bool on) { viewFlags_[3] = on; }
  bool GetViewFlag(int i) const { return viewFlags_[i]; }
  void SetInitViewMode6(int v) { viewModes_[0] = v; }
  void SetInitViewMode25(int v) { viewModes_[1] = v; }
  void SetSheetViewMode16(int v) { viewModes_[2] = v; }
  void SetEntryColumn(int v) { viewModes_[3] = v; }
  void SetEntryExtent(int v) { viewModes_[4] = v; }
  int GetViewMode(int i) const { return viewModes_[i]; }
  void PostModifyAction();
  void DblClickOptions(bool a, bool b, bool c) { dblClickOptions_ = {a, b, c}; }

 private:
  friend class ModifyScope;
  friend struct ControlAccess;
  void CheckCell(int row, int col) const;
  // Throws kErrArrayPart when the block holds part, not the whole, of an array formula (one
  // lying wholly within `except` passes).
  void CheckArrayBlocks(const Sheet& sheet, int row1, int col1, int row2, int col2,
                        const Block* except = nullptr) const;
  // Throws kErrArrayPart when inserting or deleting the block would move or remove part of an
  // array formula's block without the rest.
  void CheckArrayShift(Sheet& sheet, int row1, int col1, int row2, int col2, bool vertical,
                       bool insert) const;
  void CheckSheet(int sheet) const;
  void CheckRange(int& row1, int& col1, int& row2, int& col2) const;
  Sheet& ActiveSheet();
  const Sheet& ActiveSheet() const;
  void EnterText(Sheet& sheet, int row, int col, const std::string& text);
  void ApplyToSelection(const struct StyleEdit& edit);
  void ApplyToBlocks(const std::vector<Block>& blocks, const struct StyleEdit& edit);
  void NoteWidth(Sheet& sheet, int row, int col);
  void RaiseModified();
  // The copy a paste takes: this process's own while the system clipboard still holds it,
  // else cells another process copied; nullptr when the clipboard holds other text only.
  std::shared_ptr<ClipData> ClipToPaste() const;
  // Another program's tab-separated text, entered as typed from the target's top-left cell.
  void PasteText(Sheet& sheet, const Block& target, const std::string& text);
  const Block& PasteTarget();
  // Change notices to the viewers.
  void NoteChangedCells(int row1, int col1, int row2, int col2);
  void NotifyChanges();
  void NotifySheetChanged();
  void NotifyWorkbookChanged();
  void NotifySelectionChanged();

  LocaleSettings locale_;
  std::unique_ptr<Workbook> book_;
  ControlEvents* events_ = nullptr;
  std::vector<ControlViewer*> viewers_;
  // The block the changes of the current modify span touched; cellsOnly_ false when something
  // other than cell content changed (then the viewers hear of the whole workbook).
  struct ChangedBlock {
    int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
  } changedBlock_;
  bool cellsOnly_ = false;
  bool cellsNoted_ = false;
  bool dropUnsupported_ = false;
  SystemClipboard* clipboard_ = nullptr;
  ControlDialogs* dialogs_ = nullptr;
  std::vector<std::vector<std::string>> fillLists_;

  int modifyDepth_ = 0;
  bool modifyPending_ = false;
  bool editing_ = false;
  bool namesRowEdit_ = false;  // the names row going out or back: carried formulas stay put
  std::string editText_;
  int editRow_ = 0, editCol_ = 0;
  bool checkedEntry_ = false;  // the entry being ended has passed its rule (or the person's alert)

  std::string documentName_;
  int showTabsMode_ = 1;
  bool enabled_ = true;
  int borderStyle_ = 1;
  bool modifiedFlag_ = false;
  bool programChangeMode_ = false;
  bool viewFlags_[4] = {};
  int viewModes_[5] = {};
  struct {
    bool a = false, b = false, c = false;
  } dblClickOptions_;
};

// Marks a span in which changes happen; Modified is raised once when the outermost span ends
// after something changed.
class ModifyScope {
 public:
  explicit ModifyScope(Control& control) : control_(control) { ++control_.modifyDepth_; }
  ~ModifyScope();
  void Changed() {
    control_.modifyPending_ = true;
    control_.cellsOnly_ = false;
  }
  // A change of the cells of one block only (viewers repaint just that block).
  void ChangedCells(int row1, int col1, int row2, int col2) {
    const bool first = !control_.modifyPending_;
    control_.modifyPending_ = true;
    if (first) control_.cellsOnly_ = true;
    control_.NoteChangedCells(row1, col1, row2, col2);
  }
  ModifyScope(const ModifyScope&) = delete;
  ModifyScope& operator=(const ModifyScope&) = delete;

 private:
  Control& control_;
};

}  // namespace engine
