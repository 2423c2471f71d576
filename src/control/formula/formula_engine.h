#pragma once
// The workbook's formula engine: compiles formula text for a cell, keeps the dependencies
// between cells and recalculates what a change affects. The cell store calls the hooks below;
// nothing else in the engine evaluates formulas.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "control/formula/formula_cell.h"
#include "control/model/value.h"

namespace engine {
class Workbook;
class Sheet;
}  // namespace engine

namespace engine::formula {

// A structural change, described before it happens, so that references can follow the cells.
struct StructureChange {
  enum Kind {
    InsertShiftDown,   // rows r1…r2 × cols c1…c2 are inserted, cells below move down
    InsertShiftRight,  // cells to the right move right
    DeleteShiftUp,     // the block is deleted, cells below move up
    DeleteShiftLeft,   // cells to the right move left
    Move,              // the block moves by (dRow, dCol); what it lands on is overwritten
  } kind;
  std::uint32_t sheetId;
  int row1, col1, row2, col2;
  int dRow = 0, dCol = 0;  // Move only
};

class FormulaEngine {
 public:
  explicit FormulaEngine(Workbook& workbook);
  ~FormulaEngine();

  // Parses formula text (without the leading "=") as entered in a cell. Throws EngineError
  // with kErrFormulaSyntax and a readable text when it does not parse.
  std::unique_ptr<FormulaCell> Compile(const Sheet& sheet, int row, int col,
                                       std::string_view text);
  // Parses the formula of a defined name (refers-to text without "=").
  void CompileName(std::uint32_t sheetId, std::string_view text, std::string& canonical,
                   std::shared_ptr<const Expression>& expr);

  // Change hooks, called after the change.
  void FormulaPlaced(Sheet& sheet, int row, int col);  // computes the cell and its dependents
  void CellChanged(Sheet& sheet, int row, int col);    // a value changed or was cleared
  void RangeChanged(Sheet& sheet, int row1, int col1, int row2, int col2);
  void NamesChanged();
  // Structure hooks: Before rewrites references (cells and names), After rebuilds and computes.
  void BeforeStructureChange(const StructureChange& change);
  void AfterStructureChange();
  void SheetRemoving(std::uint32_t sheetId);  // references to it become #REF!
  void SheetRenamed();                        // texts that name it change
  void SheetsMoved();  // ranges of sheets cover what now lies between their ends

  // Recalculates every formula (all = true) or only the volatile ones and their dependents.
  void Recalculate(bool all);
  // After a whole workbook was loaded: rebuild dependencies and compute everything.
  void Rebuild();

  // Canonical text of a formula placed at (row, col) of a sheet.
  std::string Text(const Sheet& sheet, int row, int col, const FormulaCell& formula) const;

  // The error value a circular reference ends with.
  static constexpr ErrorValue kCircularError = ErrorValue::Value;

 private:
  struct State;
  friend class RecalcReader;
  FormulaCell* FormulaAt(std::uint32_t sheetId, int row, int col);
  void Register(Sheet& sheet, int row, int col, const FormulaCell& f);
  void MarkReadersDirty(std::vector<std::uint64_t> changed);
  void MarkDirty(Sheet& sheet, int row, int col, FormulaCell& f);
  void RebuildGraph();
  void MarkAllDirty();
  void MarkVolatilesDirty();
  void Run();
  void Settle(std::uint32_t sheetId, int row, int col, bool placed);

  Workbook& workbook_;
  std::unique_ptr<State> state_;
};

}  // namespace engine::formula
