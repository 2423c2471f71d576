#pragma once
// Formulas in BIFF token form (reverse Polish "parsed expressions") to and from the A1 text
// the formula engine compiles.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "control/formula/parser.h"
#include "control/xls/biff_records.h"

namespace engine::xls {

// What the tokens of a workbook refer to outside the cell: sheets, names, external sheets.
struct FormulaContext {
  BiffVersion version = BiffVersion::Biff8;
  unsigned codePage = 1252;
  std::vector<std::string> sheetNames;  // by sheet index in the file, 0-based
  // BIFF8 EXTERNSHEET entries: a sheet range in this workbook, or (internal false) elsewhere.
  struct SheetRange {
    bool internal = false;
    int first = -1, last = -1;  // -1: deleted sheet
    int supBook = -1;
  };
  std::vector<SheetRange> externSheets;
  std::vector<std::string> names;                        // NAME records in order
  std::vector<std::vector<std::string>> externNames;     // per SUPBOOK (BIFF8) or EXTERNSHEET
};

struct DecodedFormula {
  std::string text;  // without the leading "="
  bool complete = false;  // false: something the engine cannot express (unknown function, …)
};

// Decodes `size` bytes of tokens. `extra` holds the constant data that follows the tokens (for
// array constants). (baseRow, baseCol), 0-based, is the cell the formula belongs to; shared
// formulas use it for their relative references. Never throws; damaged tokens give
// complete = false.
DecodedFormula DecodeFormula(const std::uint8_t* tokens, std::size_t size,
                             const std::uint8_t* extra, std::size_t extraSize,
                             const FormulaContext& context, int baseRow, int baseCol);

// The prefix under which BIFF8 files name functions newer than the form.
inline constexpr std::string_view kFutureFunctionPrefix = "_xlfn.";
// Is the function (by name, without prefix) one written as a future function?
bool IsFutureFunction(std::string_view name);

// Encodes formula text (without "="). Returns false when the text uses something the file
// format or this encoder cannot express; the caller then stores the value only.
// `sheetIndex` maps a sheet name to its 0-based index; `nameIndex` a defined name to its
// 1-based NAME index (0 when unknown). BIFF8 3-D references use EXTERNSHEET entry i for
// sheet i, and entry (sheet count + k) for the range of sheets sheetRanges[k] (the writer lays
// them out so).
struct EncodeContext {
  BiffVersion version = BiffVersion::Biff8;
  unsigned codePage = 1252;
  std::vector<std::string> sheetNames;
  std::vector<std::string> names;  // defined names in NAME order (1-based index = position + 1)
  std::vector<std::pair<int, int>> sheetRanges;  // first, last (0-based) of each range used
  // BIFF8: the first `futureFunctions` entries of `names` are hidden names "_xlfn.NAME" of
  // functions newer than the form (IFERROR, COUNTIFS, …), called as ptgName + ptgFuncVar 255.
  std::size_t futureFunctions = 0;
  bool usedExternSheet = false;    // set when a token refers to EXTERNSHEET
  // BIFF5: an area that starts within the form's 16,384 rows and reaches past them ends at
  // its last row instead of failing.
  bool clipAreaRows = false;
  // A name missing from `names` is appended to it (a NAME record without a definition is
  // then due) instead of failing.
  bool addUnknownNames = false;
};
bool EncodeFormula(std::string_view text, EncodeContext& context, Bytes& tokens, Bytes& extra);

// A1 text of a reference (0-based row/col), with $ for absolute parts.
std::string CellRefText(int row, int col, bool rowAbs, bool colAbs);
// A sheet name as it appears before "!" in a formula, quoted when needed: the formula text's.
using formula::QuoteSheetName;

}  // namespace engine::xls
