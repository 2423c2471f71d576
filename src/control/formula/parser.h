#pragma once
// Formula text → token list, and token list → canonical text.

#include <string>
#include <string_view>
#include <vector>

#include "control/formula/expression.h"

namespace engine {
class Workbook;
}

namespace engine::formula {

// Parses formula text (without the leading "=") for the cell (row, col) of the sheet with id
// `sheetId`; relative references become offsets from that cell. Sheet names are resolved in
// `book`. Throws EngineError(kErrFormulaSyntax) with a readable text when the text does not
// parse.
std::vector<Token> ParseFormula(std::string_view text, const Workbook& book,
                                std::uint32_t sheetId, int row, int col);

// The canonical text of a token list placed at (row, col): function names and references in
// capitals, spacing as typed, no leading "=".
std::string FormulaText(const std::vector<Token>& tokens, const Workbook& book,
                        std::uint32_t sheetId, int row, int col);

// Text helpers shared with the function library.
std::string ColumnName(int col);           // 1 → A, 256 → IV
std::string NumberLiteral(double n);       // as a formula shows a number constant
std::string QuoteSheetName(const std::string& name);  // 'My Sheet' when it needs quotes

}  // namespace engine::formula
