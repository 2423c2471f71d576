#pragma once
// What a sheet carries besides its cells: merged ranges, view settings, comments, hyperlinks,
// data-validation rules, conditional formats, the autofilter, page setup and print ranges.
// Every position is 1-based; in the open form of a table row 0 is the column-heading row, where
// items of a file's names row wait until the names row is put back for a save.

#include <cstdint>
#include <string>
#include <vector>

namespace engine {

// A record's bytes as a file held them.
using RecordBytes = std::vector<std::uint8_t>;

struct CellRange {
  int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
  bool Contains(int r, int c) const { return r >= row1 && r <= row2 && c >= col1 && c <= col2; }
  bool operator==(const CellRange&) const = default;
};

enum class SheetVisibility : std::uint8_t { Visible = 0, Hidden = 1, VeryHidden = 2 };

struct SheetView {
  bool frozen = false;
  int splitRow = 0, splitCol = 0;  // frozen: first row/column below/right of the freeze; 0 none
  int splitX = 0, splitY = 0;      // a split that is not frozen: its position in twips
  int paneRow = 0, paneCol = 0;    // first visible row/column of the lower/right pane
  int activePane = 3;
  int topRow = 1, leftCol = 1;  // first visible row and column
  bool gridlines = true;
  bool headings = true;
  bool zeros = true;
  int zoom = 100;     // percent
  int tabColor = -1;  // palette index of the sheet tab; -1 none
  bool operator==(const SheetView&) const = default;
};

struct Comment {
  int row = 1, col = 1;
  std::string author;
  std::string text;
  bool shown = false;
  bool operator==(const Comment&) const = default;
};

enum class LinkKind : std::uint8_t { Url, File, Cell };

struct Hyperlink {
  CellRange range;
  LinkKind kind = LinkKind::Url;
  std::string target;       // the URL or file path; empty for a place in this workbook
  std::string location;     // a cell or name in the target ("Sheet2!A1"); may be empty
  std::string description;  // the text shown
  std::string tooltip;
  bool operator==(const Hyperlink&) const = default;
};

enum class ValidationType : std::uint8_t {
  Any = 0,
  Whole = 1,
  Decimal = 2,
  List = 3,
  Date = 4,
  Time = 5,
  TextLength = 6,
  Custom = 7
};
enum class ValidationOperator : std::uint8_t {
  Between = 0,
  NotBetween = 1,
  Equal = 2,
  NotEqual = 3,
  Greater = 4,
  Less = 5,
  GreaterOrEqual = 6,
  LessOrEqual = 7
};
enum class ErrorStyle : std::uint8_t { Stop = 0, Warning = 1, Information = 2 };

struct ValidationRule {
  ValidationType type = ValidationType::Any;
  ValidationOperator op = ValidationOperator::Between;
  ErrorStyle errorStyle = ErrorStyle::Stop;
  bool ignoreBlank = true;
  bool dropDown = true;  // a list shows its drop-down in the cell
  bool showInput = true;
  bool showError = true;
  std::string inputTitle, inputText;
  std::string errorTitle, errorText;
  // Formulas without "=": for a list of literal items, the items (formula1 is then empty).
  std::string formula1, formula2;
  std::vector<std::string> items;
  std::vector<CellRange> ranges;
  // The formulas as a file held them, written back as they were while the texts above are
  // the ones read with them.
  RecordBytes tokens1, tokens2;
  std::string readFormula1, readFormula2;
  bool Covers(int row, int col) const {
    for (const CellRange& r : ranges)
      if (r.Contains(row, col)) return true;
    return false;
  }
  bool operator==(const ValidationRule& o) const {
    return type == o.type && op == o.op && errorStyle == o.errorStyle &&
           ignoreBlank == o.ignoreBlank && dropDown == o.dropDown && showInput == o.showInput &&
           showError == o.showError && inputTitle == o.inputTitle && inputText == o.inputText &&
           errorTitle == o.errorTitle && errorText == o.errorText && formula1 == o.formula1 &&
           formula2 == o.formula2 && items == o.items && ranges == o.ranges;
  }
};

// The format a conditional rule gives its cells: font style and colour, a solid fill. Colours
// are 0x00BBGGRR; kNoColor leaves the cell's own.
struct DiffFormat {
  static constexpr std::uint32_t kNoColor = 0xFFFFFFFFu;
  bool bold = false, italic = false, strike = false, underline = false;
  bool hasBold = false, hasItalic = false, hasStrike = false, hasUnderline = false;
  std::uint32_t fontColor = kNoColor;
  std::uint32_t fill = kNoColor;
  bool operator==(const DiffFormat&) const = default;
};

// A colour of a colour scale or data bar as a package names it (each part may be empty).
struct RuleColor {
  std::string rgb, theme, indexed, tint;
  bool automatic = false;
  bool operator==(const RuleColor&) const = default;
};

// A point of a colour scale, data bar or icon set: its kind ("min", "max", "num", "percent",
// "percentile", "formula") and value; gte: an icon's band starts at the value itself.
struct ScalePoint {
  std::string type, value;
  bool gte = true;
  bool operator==(const ScalePoint&) const = default;
};

// A formula of a rule: the record form's tokens, whose cells follow edits, or, when it has
// none, the text as read.
struct RuleFormula {
  RecordBytes tokens;
  std::string text;
  bool operator==(const RuleFormula&) const = default;
};

// What the newer form of a package adds to a rule: a data bar's border, gradient, direction,
// negative bars and axis, and the points its readers take instead of the rule's own (automatic
// minimum and maximum among them); an icon set's newer sets and its icons chosen one by one.
struct RuleExtension {
  enum Role { kFill, kBorder, kNegativeFill, kNegativeBorder, kAxis, kRoles };
  struct Icon {
    std::string set;  // "NoIcons" for none
    int id = 0;
    bool operator==(const Icon&) const = default;
  };
  bool present = false;
  bool border = false, gradient = true, negativeSameFill = false, negativeSameBorder = true;
  std::string direction = "context", axisPosition = "automatic";
  int minLength = 10, maxLength = 90;
  std::vector<ScalePoint> points;  // a formula point's value is its formula's text
  RuleColor colors[kRoles];
  bool hasColor[kRoles] = {};
  bool custom = false;  // an icon set whose icons are chosen one by one
  std::vector<Icon> icons;
  bool operator==(const RuleExtension&) const = default;
};

// A conditional rule of a kind the record form cannot hold, with its parameters as a package
// names them: colour scales, data bars, icon sets, top/bottom N, above/below average, text
// rules, duplicate and unique values, blanks, errors, time periods (and a comparison whose
// formulas have no tokens).
struct ExtendedRule {
  std::string type;  // "colorScale", "dataBar", "iconSet", "top10", "containsText", …
  int priority = 0;  // 0: after the rules before it
  bool stopIfTrue = false;
  std::vector<ScalePoint> points;
  std::vector<RuleColor> colors;  // a scale's colours in order; a data bar's one
  std::string iconSet;            // "3TrafficLights1" …; empty: the default
  bool showValue = true, reverse = false;
  int minLength = 10, maxLength = 90;  // a data bar's shortest and longest bar, percent
  int rank = 0;                        // top10: how many; 0 not given
  bool percent = false, bottom = false;
  bool aboveAverage = true, equalAverage = false;
  int stdDev = 0;
  std::string op, text, timePeriod;  // comparison operator, text of a text rule, "today" …
  std::vector<RuleFormula> formulas;
  bool hasFormat = false;  // the rule names a format (dxf)
  DiffFormat format;
  RuleExtension ext;
  // The rule exists only in the newer form (an icon set of the newer sets, a formula naming
  // another sheet): older readers never see it.
  bool extensionOnly = false;
  bool operator==(const ExtendedRule&) const = default;
};

// A conditional format: its ranges and its rules as the file holds them. The cells a rule's
// formulas name follow inserted and deleted rows and columns as a cell formula's do.
struct ConditionalFormat {
  std::vector<CellRange> ranges;
  std::vector<RecordBytes> rules;  // bodies of the rule records
  // The priorities of `rules` as a package gave them (empty: in the order met).
  std::vector<int> priorities = {};
  // Rules the record form cannot hold; a workbook file (BIFF8) leaves them out.
  std::vector<ExtendedRule> extended = {};
  // A row the rules' formulas name (counted from 0 as the file counts) is this sheet's row
  // that number + tokenRowOffset: 1 as read, 0 while the names row is out.
  int tokenRowOffset = 1;
  bool operator==(const ConditionalFormat&) const = default;
};

// A column's criteria the record cannot hold (more than two values, date groups, a top-N the
// record cannot count, dynamic, colour and icon filters, more than two conditions), as a
// package holds them.
struct ExtendedFilter {
  int column = 0;   // from the filter's first column
  std::string xml;  // the elements inside the package's filterColumn, but a colour filter
  bool byColor = false, cellColor = true;  // a colour filter: cells (or fonts) of this format
  DiffFormat format = {};
  bool operator==(const ExtendedFilter&) const = default;
};

struct AutoFilter {
  bool on = false;     // the drop-downs are shown
  bool named = false;  // the range is the sheet's filter database (with or without drop-downs)
  CellRange range;
  std::vector<RecordBytes> criteria;  // column criteria records, each starting with its column
  std::vector<ExtendedFilter> extended = {};  // a workbook file (BIFF8) leaves these out
  bool operator==(const AutoFilter&) const = default;
};

struct PageSetup {
  bool landscape = false;
  // Paper, scale and resolution hold a printer's choice (set it with them; an orientation or a
  // scale of its own sets it on writing).
  bool printerSettings = false;
  int paperSize = 0;  // the printer's paper codes (1 Letter, 9 A4); 0 the printer's default
  int scale = 100;
  int firstPage = 1;
  bool usePageNumber = false;
  bool fitToPage = false;
  int fitWidth = 1, fitHeight = 1;
  bool leftToRight = false;  // page order: over, then down
  bool blackAndWhite = false, draft = false;
  int copies = 1;
  int hRes = 600, vRes = 600;
  double headerMargin = 0.5, footerMargin = 0.5;
  double left = 0.75, right = 0.75, top = 1.0, bottom = 1.0;
  bool marginsSet = false;  // margins were given in the file (else left to the printer)
  std::string header, footer;
  bool centerH = false, centerV = false;
  bool printGridlines = false, printHeadings = false;
  std::vector<int> rowBreaks;  // a page starts at each of these rows
  std::vector<int> colBreaks;  // … and at each of these columns
  std::vector<CellRange> printArea;
  int titleRow1 = -1, titleRow2 = -1;  // rows repeated on every page; -1 none
  int titleCol1 = 0, titleCol2 = 0;
  bool operator==(const PageSetup&) const = default;
};

// A record as a file held it: its id, its body and where CONTINUE records split the body.
struct CarriedRecord {
  std::uint16_t id = 0;
  RecordBytes body;
  std::vector<std::uint32_t> breaks;
  bool operator==(const CarriedRecord&) const = default;
};

// A drawing object the engine does not model (a picture, an embedded chart, a form control, a
// shape or a group of them), carried through as the file held it.
struct CarriedShape {
  RecordBytes art;  // its drawing container: one shape, or a group with its shapes
  // The records that follow parts of `art` in the file (its OBJ, a text box's TXO, an embedded
  // chart's BOF … EOF), each after the first `at` bytes of `art`.
  struct Part {
    std::uint32_t at = 0;
    CarriedRecord record;
    bool operator==(const Part&) const = default;
  };
  std::vector<Part> parts;
  // The cells its anchor spans, 1-based like every position here (row 0: the heading row); the
  // anchor in `art` gets them back on writing. Shapes without a cell anchor keep theirs.
  bool anchored = false;
  int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
  bool operator==(const CarriedShape&) const = default;
};

struct SheetFeatures {
  SheetVisibility visibility = SheetVisibility::Visible;
  SheetView view;
  int defaultColWidth = 8;  // characters
  int defaultRowHeight = 0;  // twips of a row without a height of its own; 0: the standard 255
  std::vector<CellRange> merges;
  std::vector<Comment> comments;
  std::vector<Hyperlink> links;
  std::vector<ValidationRule> validations;
  bool validationPromptsHidden = false;
  std::vector<ConditionalFormat> conditional;
  AutoFilter filter;
  PageSetup page;
  // Drawing objects carried through (the form they were read from holds them; written to it
  // only), and the drawing's rules that connect shapes, kept as they were.
  std::vector<CarriedShape> drawings;
  RecordBytes drawingRules;
  // Carried formulas (chart series, linked cells, carried names) name a row of this sheet by
  // its number in the file; the row is that number + carriedRowOffset: 1 as read, 0 while
  // the names row is out.
  int carriedRowOffset = 1;
  bool operator==(const SheetFeatures&) const = default;
};

// How the items follow a structural edit. Rows and columns of the heading row (0) never move.
namespace features {
void InsertRows(SheetFeatures& f, int row, int count, int col1, int col2);
void DeleteRows(SheetFeatures& f, int row, int count, int col1, int col2);
void InsertCols(SheetFeatures& f, int col, int count, int row1, int row2);
void DeleteCols(SheetFeatures& f, int col, int count, int row1, int row2);
void MoveBlock(SheetFeatures& f, const CellRange& block, int dRow, int dCol);
// Rows [row1, row1 + order.size()) of columns [col1, col2] were reordered: new line i holds old
// line order[i]. Items of one row inside the block follow it.
void SortRows(SheetFeatures& f, int row1, int col1, int col2, const std::vector<int>& order);
void SortCols(SheetFeatures& f, int col1, int row1, int row2, const std::vector<int>& order);
// The names row: taken out (-1) every row moves up one and row 1 becomes the heading row;
// put back (+1) everything moves down one. Nothing grows, shrinks or is lost.
void ShiftForNamesRow(SheetFeatures& f, int delta);
}  // namespace features

}  // namespace engine
