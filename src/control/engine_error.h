#pragma once
// The one exception type the spreadsheet engine throws. It carries a numeric failure code and a
// description a user can read; callers that show a message show Description(). The type is the
// SDK's own (datatable/errors.h, a header that needs nothing else), so a host catches what the
// engine throws.

#include "datatable/errors.h"

namespace engine {

// Failure codes. The values are stable: the table compares some of them.
enum ErrorCode : int {
  kErrBadArgument = 20001,   // an argument is out of its range or malformed
  kErrBadRow = 20002,        // row outside 1 … MaxRow
  kErrBadColumn = 20003,     // column outside 1 … MaxCol
  kErrBadSheet = 20004,      // sheet index outside 1 … NumSheets
  kErrBadSheetName = 20005,  // a sheet name a workbook file cannot store
  kErrDuplicateSheetName = 20006,
  kErrBadName = 20007,         // a defined name that is not a valid name
  kErrFormulaSyntax = 20008,   // a typed formula that does not parse
  kErrStructure = 20009,       // an insert or delete that would push content off the sheet
  kErrInvalidPointer = 20010,  // the control does not exist
  kErrClipboard = 20011,       // nothing to paste, or a paste that cannot fit
  kErrArrayPart = 20012,       // a change to part of an array formula's block
  kErrFile = 20020,            // a file could not be read or written (the text says why)
  kErrInvalidFile = 20021,     // "Invalid file.": reading a file another program holds
  kErrUnableToOpen = 20022,    // "Unable to open file.": writing a file another program holds
  kErrNoPrinter = 20030,       // printing without a window platform
  kErrCanceled = 3005,         // "Operation canceled."
};

// The two fixed texts for a file that another program holds open, and the cancel text.
inline constexpr const char* kTextInvalidFile = "Invalid file.";
inline constexpr const char* kTextUnableToOpenFile = "Unable to open file.";
inline constexpr const char* kTextOperationCanceled = "Operation canceled.";
inline constexpr const char* kTextNoPrinter =
    "Printing needs the window platform; this table runs without one.";

using EngineError = datatable::EngineError;

}  // namespace engine
