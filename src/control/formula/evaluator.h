#pragma once
// Evaluation of one formula: an RPN stack machine over the Expression's tokens, with the
// spreadsheet's coercions and error propagation. The evaluator never recurses into other
// cells: when it reads a formula cell that is not computed yet it reports it through
// CellReader so that the recalculation loop computes that cell first and comes back.

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "control/formula/expression.h"
#include "control/model/value.h"

namespace engine {
class Workbook;
class Sheet;
}  // namespace engine

namespace engine::formula {

// A rectangular block of cells, 1-based inclusive.
struct Area {
  const Sheet* sheet = nullptr;
  int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
  int Rows() const { return r2 - r1 + 1; }
  int Cols() const { return c2 - c1 + 1; }
  bool Single() const { return r1 == r2 && c1 == c2; }
};

// A value on the evaluation stack: a plain value, a reference (one area or a union), an
// array of values (rows × cols, row by row), or an omitted argument.
struct Operand {
  enum class Kind : std::uint8_t { Value, Ref, Missing, Array };
  Kind kind = Kind::Value;
  Value value;
  Area area;
  std::vector<Area> more;    // further areas of a union
  std::vector<Value> items;  // Array: rows × cols values, row by row
  int rows = 0, cols = 0;    // Array

  static Operand Of(Value v) {
    Operand o;
    o.value = std::move(v);
    return o;
  }
  static Operand Num(double n) { return Of(Value::Number(n)); }
  static Operand Err(ErrorValue e) { return Of(Value::Error(e)); }
  static Operand Bool(bool b) { return Of(Value::Logical(b)); }
  static Operand Str(std::string s) { return Of(Value::Text(std::move(s))); }
  static Operand Reference(const Area& a) {
    Operand o;
    o.kind = Kind::Ref;
    o.area = a;
    return o;
  }
  static Operand MakeArray(int rows, int cols, std::vector<Value> items) {
    Operand o;
    o.kind = Kind::Array;
    o.rows = rows;
    o.cols = cols;
    o.items = std::move(items);
    return o;
  }
  bool IsRef() const { return kind == Kind::Ref; }
  bool IsArray() const { return kind == Kind::Array; }
  const Value& At(int r, int c) const { return items[static_cast<std::size_t>(r * cols + c)]; }
  bool IsMissing() const { return kind == Kind::Missing; }
  bool IsError() const { return kind == Kind::Value && value.IsError(); }
};

// How the evaluator reads cells. The recalculation loop implements it to notice formula cells
// that must be computed first and circular references.
class CellReader {
 public:
  virtual ~CellReader() = default;
  virtual Value Read(const Sheet& sheet, int row, int col) = 0;
  // Called once per cell with content when a function walks an area; f is called with the
  // value. Empty cells are skipped.
  virtual void ForEach(const Area& area, const std::function<void(int, int, const Value&)>& f) = 0;
};

class Evaluator {
 public:
  Evaluator(Workbook& book, CellReader& reader) : book_(book), reader_(reader) {}

  // Evaluates an expression for the cell (row, col) of `sheet`. The result is a plain value
  // (a reference result is dereferenced as the cell shows it).
  Value Evaluate(const Expression& expr, const Sheet& sheet, int row, int col);
  // Evaluates an array formula and gives the value at (arrayRow, arrayCol) of its result: a
  // result of one row (column) repeats down (across) the block, #N/A where it has no value.
  Value EvaluateArrayElement(const Expression& expr, const Sheet& sheet, int row, int col,
                             int arrayRow, int arrayCol);
  // Evaluates to an operand, keeping a reference result (INDIRECT, names).
  Operand EvaluateOperand(const Expression& expr, const Sheet& sheet, int row, int col,
                          int depth = 0);

  // --- For the function library -------------------------------------------------------------
  Workbook& Book() { return book_; }
  const Sheet& FormulaSheet() const { return *sheet_; }
  int Row() const { return row_; }
  int Col() const { return col_; }

  // A single value from an operand: a one-cell reference gives the cell's value, a larger
  // one the cell in the formula's row (column) by implicit intersection, else #VALUE!; an
  // array its first value.
  Value Scalar(const Operand& o);
  // An operand as an array: a one-area reference gives its cells' values (empty cells stay
  // empty), a plain value a 1 × 1 array; a union of areas gives #VALUE!, an area larger than
  // kMaxArrayCells #NUM! (as a 1 × 1 array holding the error).
  Operand ToArray(const Operand& o);
  static constexpr int kMaxArrayCells = 1 << 22;
  // Array formulas evaluate every operator element by element; so do the arguments of
  // functions that take arrays (SUMPRODUCT) in any formula.
  void SetArrayMode(bool on) { arrayMode_ = on; }
  Value CellValue(const Sheet& sheet, int row, int col) { return reader_.Read(sheet, row, col); }
  void ForEachCell(const Area& a, const std::function<void(int, int, const Value&)>& f) {
    reader_.ForEach(a, f);
  }
  // Every value of an operand: cells of its areas (with content) or the value itself.
  // fromRef tells whether the value came from a cell.
  void ForEachValue(const Operand& o, const std::function<void(const Value&, bool fromRef)>& f);

  // Coercions with the spreadsheet's rules. They return false and set `err` on failure.
  bool ToNumber(const Value& v, double& out, ErrorValue& err) const;
  bool ToText(const Value& v, std::string& out, ErrorValue& err) const;
  bool ToBool(const Value& v, bool& out, ErrorValue& err) const;
  // A number of text rendered as General (the way "&" and text functions show numbers).
  std::string NumberText(double n) const;

  // Argument helpers: operand → number/text/bool (dereferencing), error through `err`.
  bool ArgNumber(const Operand& o, double& out, ErrorValue& err);
  bool ArgText(const Operand& o, std::string& out, ErrorValue& err);
  bool ArgBool(const Operand& o, bool& out, ErrorValue& err);

  // Resolves reference text ("A1", "Sheet2!B3:C4", a name) as INDIRECT does.
  bool ResolveReferenceText(const std::string& text, Operand& out);
  // The value of a defined name for this formula.
  Operand NameValue(const std::string& name, int depth);

 private:
  Operand Apply(const Token& t, std::vector<Operand>& stack, std::size_t argBase, int depth);
  // An operator on plain values.
  Value ApplyScalar(const Token& t, const Value& a, const Value& b);
  // An operator element by element over arrays (references taken as arrays of their cells).
  Operand ApplyElementwise(const Token& t, Operand* args, std::size_t n);
  // Where evaluation goes after token i: the next token, or a branch of an IF or CHOOSE.
  std::size_t Next(const Expression& expr, std::size_t i, std::vector<Operand>& stack);
  Operand RefOperand(const Token& t, const Sheet& home, int row, int col);
  // A reference over a range of sheets becomes one area per sheet.
  Operand SpanSheets(const Token& t, const Area& a);

  Workbook& book_;
  CellReader& reader_;
  const Sheet* sheet_ = nullptr;
  int row_ = 0, col_ = 0;
  bool arrayMode_ = false;
  bool liftRefs_ = false;  // the operator being applied works on references element by element
};

// Compares two values as the comparison operators do (text case-insensitive; numbers below
// text below logicals). Returns <0, 0, >0.
int CompareValues(const Value& a, const Value& b);

}  // namespace engine::formula
