#pragma once
// The parsed form of a formula: a token list in reverse Polish order, close to the token stream
// of a BIFF formula so that the .xls reader and writer convert one to the other token by token.
//
// Evaluation pushes operands and applies operators and functions to the top of a stack:
//   A1*2+1        → Ref(A1) Number(2) Mul Number(1) Add
//   SUM(A1:B2,3)  → Area(A1:B2) Number(3) Func(SUM, argc 2)
//   (1+2)*3       → Number(1) Number(2) Add Paren Number(3) Mul
//
// References. A Ref or Area endpoint holds a row and a column; each is either absolute (the
// 1-based row or column itself; a "$" in the text) or relative (an offset from the cell the
// formula sits in, as BIFF's ptgRefN/ptgAreaN do). So one Expression serves every cell it is
// copied or filled to, and the text is regenerated from the cell's position. A relative
// reference that lands off the sheet evaluates and prints as #REF!.
//   - `sheet` 0: the formula's own sheet (ptgRef/ptgArea); otherwise the stable Sheet::Id()
//     (ptgRef3d/ptgArea3d). `sheetGone` marks a 3-D reference to a deleted sheet (#REF!).
//   - `sheet2` is the last sheet of a range of sheets ("Sheet1:Sheet3!A1"), 0 for one sheet:
//     the reference covers the same cells on every sheet from `sheet` to `sheet2` in the
//     workbook's order, sheets inserted between them included.
//   - Area with `wholeCols` is "A:C" (rows 1…65536; the row parts are unused); `wholeRows` is
//     "1:3" (columns 1…256; the column parts are unused).
//   - RefError is a reference whose cells were deleted (ptgRefErr/ptgAreaErr): #REF!.
// Names refer to defined names by their text (ptgName; the writer finds the index); a name
// local to the formula's sheet wins over a workbook name.
// Functions carry their BIFF function number (see function_table.h) and argument count; a
// function the engine does not know keeps its name in `text`, has number -1, and gives #NAME?
// (the writer stores it as an add-in call, ptgFuncVar 255 with a ptgNameX).
// Space tokens keep the whitespace as typed (ptgAttrSpace); `text` is the whitespace itself:
//   - SpaceBefore: before the next token's own symbol (an operand, an operator sign, a
//     function's name, a parenthesis' "(") — ptgAttrSpace types 0/1 (and 2/3 before a Paren).
//   - SpaceBeforeClose: before the ")" of the next Paren or Func token — types 4/5.
//   - SpaceAfter: after the operand just completed (before a "," or at the very end); BIFF has
//     no place for it, a writer may drop it.
// Missing is an omitted function argument ("IF(A1,,2)"), ptgMissArg.

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "control/model/value.h"

namespace engine::formula {

enum class TokenKind : std::uint8_t {
  // operands
  Number,    // ptgNum / ptgInt
  String,    // ptgStr
  Bool,      // ptgBool
  Error,     // ptgErr
  Missing,   // ptgMissArg
  Ref,       // ptgRef / ptgRefN / ptgRef3d
  Area,      // ptgArea / ptgAreaN / ptgArea3d
  RefError,  // ptgRefErr / ptgAreaErr (and 3-D forms)
  Name,      // ptgName
  // binary operators
  Add, Sub, Mul, Div, Power, Concat,  // ptgAdd … ptgConcat
  Lt, Le, Eq, Ge, Gt, Ne,             // ptgLT … ptgNE
  Intersect,                          // ptgIsect (the space operator)
  Union,                              // ptgUnion (the comma inside parentheses)
  Range,                              // ptgRange (":" between references that are not one area)
  // unary operators
  Plus, Minus, Percent,  // ptgUplus, ptgUminus, ptgPercent
  Paren,                 // ptgParen: the operand was written in parentheses
  Func,                  // ptgFunc / ptgFuncVar
  // layout
  SpaceBefore, SpaceBeforeClose, SpaceAfter,  // ptgAttrSpace
};

// One coordinate pair of a reference.
struct RefPoint {
  int row = 0;  // absolute: 1-based row; relative: offset from the formula's row
  int col = 0;  // absolute: 1-based column; relative: offset from the formula's column
  bool rowRel = false;
  bool colRel = false;
  bool operator==(const RefPoint&) const = default;
};

struct Token {
  TokenKind kind = TokenKind::Number;
  bool logical = false;                  // Bool
  bool wholeCols = false;                // Area "A:C"
  bool wholeRows = false;                // Area "1:3"
  bool sheetGone = false;                // 3-D reference to a sheet that was deleted
  ErrorValue error = ErrorValue::Null;   // Error
  std::uint8_t argc = 0;                 // Func
  std::int16_t func = -1;                // Func: BIFF function number, -1 when unknown
  std::uint32_t sheet = 0;               // Ref/Area/RefError: 0 own sheet, else Sheet::Id()
  std::uint32_t sheet2 = 0;              // last sheet of a range of sheets; 0 for one sheet
  double number = 0;                     // Number
  RefPoint a, b;                         // Ref: a; Area: a (top-left as typed) … b
  std::string text;                      // String, Name, unknown Func name, Space whitespace

  bool IsOperand() const { return kind <= TokenKind::Name; }
  bool IsReference() const {
    return kind == TokenKind::Ref || kind == TokenKind::Area || kind == TokenKind::RefError;
  }
  bool IsBinary() const { return kind >= TokenKind::Add && kind <= TokenKind::Range; }
  bool IsUnary() const { return kind >= TokenKind::Plus && kind <= TokenKind::Paren; }
  bool IsSpace() const { return kind >= TokenKind::SpaceBefore; }
  bool operator==(const Token&) const = default;
};

class Expression {
 public:
  Expression() = default;
  explicit Expression(std::vector<Token> tokens);

  const std::vector<Token>& Tokens() const { return tokens_; }
  bool Volatile() const { return volatile_; }  // NOW, RAND, OFFSET, INDIRECT …
  bool HasNames() const { return hasNames_; }
  // Calls a function the engine does not compute: the cell keeps the value it has (a file's
  // cached result); typed in, it shows #NAME?.
  bool Unsupported() const { return unsupported_; }

  // Lazy arguments of IF and CHOOSE: only the branch the first argument selects is evaluated.
  // For the token at index i that completes a direct argument of an IF or CHOOSE, the index
  // of that function's token and the argument's position; owner -1 for every other token.
  struct LazyArg {
    std::int32_t owner = -1;
    std::uint8_t position = 0;
  };
  LazyArg LazyArgAt(std::size_t i) const { return i < lazy_.size() ? lazy_[i] : LazyArg{}; }
  // Whether the operator at token index i sits inside an argument of a function that takes
  // arrays (SUMPRODUCT), where operators work element by element.
  bool ArrayContextAt(std::size_t i) const { return i < arrayCtx_.size() && arrayCtx_[i]; }

  // The index of the last token of each argument of the IF or CHOOSE at token index k.
  const std::vector<std::int32_t>& LazyArgEnds(std::size_t k) const;

 private:
  void FindLazyArguments();
  void FindArrayContext();

  std::vector<Token> tokens_;
  std::vector<bool> arrayCtx_;  // empty when no function takes arrays
  std::vector<LazyArg> lazy_;  // empty when there is no IF/CHOOSE
  std::vector<std::pair<std::int32_t, std::vector<std::int32_t>>> lazyEnds_;  // by owner
  bool volatile_ = false;
  bool hasNames_ = false;
  bool unsupported_ = false;
};

// For the file reader: checks that a token list is a well-formed RPN program (each operator
// and function has its operands, exactly one result) and wraps it. Throws EngineError
// (kErrFormulaSyntax) when it is not.
std::shared_ptr<const Expression> BuildExpression(std::vector<Token> tokens);

// Helpers to build tokens.
Token MakeNumber(double n);
Token MakeString(std::string s);
Token MakeRef(RefPoint p, std::uint32_t sheet = 0);
Token MakeArea(RefPoint a, RefPoint b, std::uint32_t sheet = 0);
Token MakeOp(TokenKind kind);
// A function by its BIFF number (name known) or by name (unknown names are kept, #NAME?).
Token MakeFunc(int biffNumber, int argc);
Token MakeFuncByName(std::string_view name, int argc);

// Resolves a reference endpoint for a formula at (row, col); false when it lands off the sheet.
bool ResolvePoint(const RefPoint& p, int row, int col, int& outRow, int& outCol);

}  // namespace engine::formula
