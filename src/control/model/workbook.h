#pragma once
// The workbook: sheets, the style and format tables, defined names and the formula engine.
// Cell reads and writes below the facade go through here so that the formula engine hears of
// every change.

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "control/model/format_table.h"
#include "control/locale_settings.h"
#include "control/model/sheet.h"
#include "control/model/style.h"
#include "control/model/value.h"

namespace engine {

namespace formula {
class FormulaEngine;
}

struct DefinedName {
  std::string name;
  std::uint32_t sheetId = 0;  // 0: a workbook name; else the sheet the name belongs to
  std::string formula;        // canonical text without the leading "="
  std::shared_ptr<const formula::Expression> expr;  // null until parsed
};

// A chart sheet or a macro sheet, carried through as the file held it (BOF … EOF).
struct CarriedSheet {
  std::string name;
  unsigned kind = 2;  // as the sheet list numbers it: 1 macro sheet, 2 chart
  SheetVisibility visibility = SheetVisibility::Visible;
  std::uint32_t afterSheetId = 0;  // the worksheet it followed; 0: the first of the book
  std::vector<CarriedRecord> records;
  bool operator==(const CarriedSheet&) const = default;
};

// A NAME record that belongs to what is carried (a macro's name, a chart sheet's print area,
// a name the formula engine cannot express), written back after the book's own names.
struct CarriedName {
  CarriedRecord record;
  std::uint32_t tokensAt = 0;  // where its formula starts in the record
  std::uint32_t sheetId = 0;   // the worksheet it belongs to, or
  int carriedSheet = -1;       // the carried sheet it belongs to
  bool operator==(const CarriedName&) const = default;
};

// A stream or storage of the compound file beside the workbook stream (the macros' project,
// embedded objects, the document's properties), kept with its place in the file's tree.
struct CarriedStorageEntry {
  std::u16string name;
  bool storage = false;
  std::array<std::uint8_t, 16> clsid{};
  std::uint32_t stateBits = 0;
  std::vector<std::uint8_t> data;             // a stream's bytes
  std::vector<CarriedStorageEntry> children;  // a storage's entries
  bool operator==(const CarriedStorageEntry&) const = default;
};

// What a workbook read from a 97-2000 file carries besides its worksheets' cells and
// features, kept so that saving in that form writes it back.
struct CarriedBook {
  // The drawing group's records other than its shape-number table: the pictures' store and
  // the default drawing properties.
  RecordBytes drawingGroup;
  std::vector<CarriedSheet> sheets;
  // What the carried formulas (chart series, objects linked to cells) refer to: the file's
  // sheet-reference entries as worksheet ids (0 where not one of the book's worksheets) or a
  // carried sheet, and its names in order.
  struct SheetRef {
    std::uint32_t first = 0, last = 0;
    int carriedSheet = -1;
    bool operator==(const SheetRef&) const = default;
  };
  std::vector<SheetRef> externSheets;
  std::vector<std::string> names;
  std::vector<int> carriedNameOf;  // per name of the file: its entry in definedNames, or -1
  std::vector<CarriedName> definedNames;
  // The file's fonts and cell formats as the style table holds them (charts name fonts, the
  // cells of macro sheets name formats, by their number in the file).
  std::vector<std::uint16_t> fonts, xfs;
  // The container's other streams and storages, and the class of its root.
  std::vector<CarriedStorageEntry> fileEntries;
  std::array<std::uint8_t, 16> rootClsid{};
  // What ties the macros' project to the book: that there is one, and the code names of the
  // book and of its worksheets (by sheet id), each as its record held it.
  bool vbaProject = false;
  RecordBytes bookCodeName;
  std::vector<std::pair<std::uint32_t, RecordBytes>> sheetCodeNames;
  bool Empty() const { return drawingGroup.empty() && sheets.empty(); }
};

class Workbook {
 public:
  explicit Workbook(const LocaleSettings* locale);
  ~Workbook();
  Workbook(const Workbook&) = delete;
  Workbook& operator=(const Workbook&) = delete;

  // Sheets, 1-based.
  int SheetCount() const { return static_cast<int>(sheets_.size()); }
  Sheet& GetSheet(int index) { return *sheets_[index - 1]; }
  const Sheet& GetSheet(int index) const { return *sheets_[index - 1]; }
  Sheet* SheetById(std::uint32_t id);
  const Sheet* SheetById(std::uint32_t id) const;
  int SheetIndexById(std::uint32_t id) const;  // 0 when gone
  int SheetIndexByName(std::string_view name) const;  // exact match; 0 when none
  Sheet& InsertSheet(int at, std::string name);  // at: 1 … count+1
  void RemoveSheet(int index);
  void MoveSheet(int from, int to);
  int ActiveIndex() const { return active_; }
  void SetActiveIndex(int index) { active_ = index; }
  Sheet& Active() { return *sheets_[active_ - 1]; }
  const Sheet& Active() const { return *sheets_[active_ - 1]; }
  std::string UnusedSheetName() const;  // "SheetN" with the smallest N not in use
  // Every sheet of the book in tab order, the carried chart and macro sheets among the
  // worksheets: a worksheet as its index (1-based), carried sheet k as -(k + 1).
  std::vector<int> TabOrder() const;

  StyleTable& Styles() { return styles_; }
  const StyleTable& Styles() const { return styles_; }
  FormatTable& Formats() { return formats_; }
  const FormatTable& Formats() const { return formats_; }

  std::vector<DefinedName>& Names() { return names_; }
  const std::vector<DefinedName>& Names() const { return names_; }
  // The name visible from a sheet: one of that sheet first, else the workbook's.
  const DefinedName* FindName(std::string_view name, std::uint32_t fromSheetId) const;

  bool Date1904() const { return date1904_; }
  void SetDate1904(bool on) { date1904_ = on; }
  const LocaleSettings& Locale() const { return *locale_; }
  void SetLocale(const LocaleSettings* locale) { locale_ = locale; }
  bool ShowTabs() const { return showTabs_; }
  void SetShowTabs(bool on) { showTabs_ = on; }
  // Parts of an .xlsx package that the engine does not model (charts, pictures, macros…),
  // by package name. Writing .xlsx refuses a workbook that has any rather than drop them.
  const std::vector<std::string>& ForeignParts() const { return foreignParts_; }
  void SetForeignParts(std::vector<std::string> parts) { foreignParts_ = std::move(parts); }
  // Parts of an .xlsx package carried through a save unchanged: a sheet's drawing (pictures,
  // charts), its header and footer pictures, its background picture, with every part they
  // lead to. `sheetRefs` names the sheets a chart's data comes from.
  struct CarriedPart {
    std::string name, contentType, data;
    std::vector<std::string> sheetRefs;
  };
  struct CarriedLink {
    std::uint32_t sheetId = 0;
    std::string element, type, target;  // the sheet's element, the relationship type, the part
    std::vector<std::string> parts;     // the target and every part it leads to
  };
  std::vector<CarriedPart>& CarriedParts() { return carriedParts_; }
  const std::vector<CarriedPart>& CarriedParts() const { return carriedParts_; }
  std::vector<CarriedLink>& CarriedLinks() { return carriedLinks_; }
  const std::vector<CarriedLink>& CarriedLinks() const { return carriedLinks_; }
  CarriedBook& Carried() { return carried_; }
  const CarriedBook& Carried() const { return carried_; }

  // Cell values.
  Value GetValue(const Sheet& sheet, int row, int col) const;
  void SetValue(Sheet& sheet, int row, int col, const Value& value);  // keeps the style
  // Places a formula (already compiled for this cell) and computes it.
  void SetFormula(Sheet& sheet, int row, int col, std::unique_ptr<FormulaCell> formula);
  void ClearCell(Sheet& sheet, int row, int col);  // content only
  void SetCellStyle(Sheet& sheet, int row, int col, std::uint16_t style);
  // Number format of the style a cell shows.
  const format::NumberFormat& CellFormat(const Sheet& sheet, int row, int col) const {
    return formats_.Get(styles_.Get(sheet.EffectiveStyle(row, col)).numberFormat);
  }
  std::string DisplayText(const Sheet& sheet, int row, int col) const;
  // The displayed text into `out`, reusing its storage; returns the format that renders the
  // cell. General numbers and plain texts take a short way that gives what the format's
  // renderer gives.
  const format::NumberFormat& DisplayText(const Sheet& sheet, int row, int col,
                                          std::string& out) const;

  formula::FormulaEngine& Formulas() { return *formulas_; }

 private:
  const LocaleSettings* locale_;
  std::vector<std::unique_ptr<Sheet>> sheets_;
  int active_ = 1;
  std::uint32_t nextSheetId_ = 1;
  StyleTable styles_;
  FormatTable formats_;
  std::vector<DefinedName> names_;
  bool date1904_ = false;
  bool showTabs_ = true;
  std::vector<std::string> foreignParts_;
  std::vector<CarriedPart> carriedParts_;
  std::vector<CarriedLink> carriedLinks_;
  CarriedBook carried_;
  std::unique_ptr<formula::FormulaEngine> formulas_;

  // A carried sheet that followed the worksheet at `index` follows the one before it instead
  // (or leads the book), so that it keeps its place among the rest when that one leaves.
  void ReanchorCarried(int index);
};

}  // namespace engine
