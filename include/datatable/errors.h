#pragma once
// The one exception type the spreadsheet engine under a table throws: datatable::EngineError,
// a std::runtime_error carrying a numeric failure code (Code()) and a readable description
// (Description(), also what()). The engine throws this very type; it stands alone here so
// that a host needs nothing but this header to catch it.
//
// Table operations turn engine failures into result codes where the table's contract says so
// (opening, saving, printing, the edit commands, cell entry, naming a column). Elsewhere the
// engine's exception reaches the caller; in particular these CZAT operations may throw it:
//   - the sheet operations when the engine refuses an argument the table passes on unchecked:
//     AppendSheets, SetNumSheets (a count the workbook cannot hold), InsertSheets (a count
//     that does not fit), SetSheetName (a name a workbook cannot store, e.g. empty);
//   - SetRowHidden, SortTable, AutoResize and SetActiveCell with rows or columns outside the
//     sheet (1 … 65536 rows, 1 … 256 columns);
//   - every operation when the engine runs out of memory (std::bad_alloc instead).
// Results of the CZAT interface are otherwise returned, never thrown.

#include <stdexcept>
#include <string>

namespace datatable {

class EngineError : public std::runtime_error {
 public:
  EngineError(int code, const std::string& description)
      : std::runtime_error(description), code_(code) {}

  int Code() const noexcept { return code_; }
  std::string Description() const { return what(); }

 private:
  int code_;
};

}  // namespace datatable
