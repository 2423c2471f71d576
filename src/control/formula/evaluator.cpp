#include "control/formula/evaluator.h"

#include <algorithm>
#include <cctype>
#include <cmath>

#include "control/engine_error.h"
#include "control/format/typed_entry.h"
#include "control/formula/function_support.h"
#include "control/formula/function_table.h"
#include "control/formula/parser.h"
#include "control/model/sheet.h"
#include "control/model/workbook.h"

namespace engine::formula {

namespace {

constexpr int kMaxNameDepth = 16;

int KindRank(ValueKind k) {
  switch (k) {
    case ValueKind::Number: return 0;
    case ValueKind::Text: return 1;
    case ValueKind::Logical: return 2;
    default: return 3;
  }
}

Operand Arith(TokenKind kind, double a, double b) {
  double r = 0;
  switch (kind) {
    case TokenKind::Add: r = a + b; break;
    case TokenKind::Sub: r = a - b; break;
    case TokenKind::Mul: r = a * b; break;
    case TokenKind::Div:
      if (b == 0) return Operand::Err(ErrorValue::Div0);
      r = a / b;
      break;
    case TokenKind::Power:
      if (a == 0 && b == 0) return Operand::Err(ErrorValue::Num);
      if (a == 0 && b < 0) return Operand::Err(ErrorValue::Div0);
      r = std::pow(a, b);
      break;
    default: break;
  }
  if (!std::isfinite(r)) return Operand::Err(ErrorValue::Num);
  return Operand::Num(r);
}

}  // namespace

int CompareValues(const Value& a0, const Value& b0) {
  const Value* a = &a0;
  const Value* b = &b0;
  Value fillA, fillB;
  // An empty cell compares as the other side's kind of nothing.
  auto blank = [](const Value& other) {
    switch (other.kind) {
      case ValueKind::Text: return Value::Text("");
      case ValueKind::Logical: return Value::Logical(false);
      default: return Value::Number(0);
    }
  };
  if (a->IsEmpty()) fillA = blank(*b), a = &fillA;
  if (b->IsEmpty()) fillB = blank(*a), b = &fillB;
  int ra = KindRank(a->kind), rb = KindRank(b->kind);
  if (ra != rb) return ra < rb ? -1 : 1;
  switch (a->kind) {
    case ValueKind::Number:
      return a->number < b->number ? -1 : a->number > b->number ? 1 : 0;
    case ValueKind::Logical:
      return int(a->logical) - int(b->logical);
    case ValueKind::Text: {
      std::size_t n = std::min(a->text.size(), b->text.size());
      for (std::size_t i = 0; i < n; ++i) {
        int x = std::tolower(static_cast<unsigned char>(a->text[i]));
        int y = std::tolower(static_cast<unsigned char>(b->text[i]));
        if (x != y) return x < y ? -1 : 1;
      }
      return a->text.size() < b->text.size() ? -1 : a->text.size() > b->text.size() ? 1 : 0;
    }
    default:
      return 0;
  }
}

Value Evaluator::Evaluate(const Expression& expr, const Sheet& sheet, int row, int col) {
  Operand o = EvaluateOperand(expr, sheet, row, col);
  sheet_ = &sheet;
  row_ = row;
  col_ = col;
  Value v = Scalar(o);
  if (v.IsEmpty()) return Value::Number(0);
  return v;
}

Value Evaluator::EvaluateArrayElement(const Expression& expr, const Sheet& sheet, int row,
                                      int col, int arrayRow, int arrayCol) {
  const bool saved = arrayMode_;
  arrayMode_ = true;
  Operand o = EvaluateOperand(expr, sheet, row, col);
  arrayMode_ = saved;
  Operand a = ToArray(o);
  int r = a.rows == 1 ? 0 : arrayRow, c = a.cols == 1 ? 0 : arrayCol;
  if (r >= a.rows || c >= a.cols || a.items.empty()) return Value::Error(ErrorValue::NA);
  Value v = a.At(r, c);
  if (v.IsEmpty()) return Value::Number(0);
  return v;
}

Operand Evaluator::EvaluateOperand(const Expression& expr, const Sheet& sheet, int row, int col,
                                   int depth) {
  const Sheet* savedSheet = sheet_;
  int savedRow = row_, savedCol = col_;
  sheet_ = &sheet;
  row_ = row;
  col_ = col;
  std::vector<Operand> stack;
  stack.reserve(8);
  const std::vector<Token>& tokens = expr.Tokens();
  std::size_t i = 0;
  while (i < tokens.size()) {
    const Token& t = tokens[i];
    if (t.IsSpace()) {
      ++i;
      continue;
    }
    switch (t.kind) {
      case TokenKind::Number: stack.push_back(Operand::Num(t.number)); break;
      case TokenKind::String: stack.push_back(Operand::Str(t.text)); break;
      case TokenKind::Bool: stack.push_back(Operand::Bool(t.logical)); break;
      case TokenKind::Error: stack.push_back(Operand::Err(t.error)); break;
      case TokenKind::Missing: {
        Operand m;
        m.kind = Operand::Kind::Missing;
        stack.push_back(std::move(m));
        break;
      }
      case TokenKind::Ref:
      case TokenKind::Area:
      case TokenKind::RefError: stack.push_back(RefOperand(t, sheet, row, col)); break;
      case TokenKind::Name: stack.push_back(NameValue(t.text, depth)); break;
      default: {
        std::size_t n = t.IsBinary() ? 2 : t.IsUnary() ? 1 : t.argc;
        if (stack.size() < n) {  // a malformed token list from a file
          stack.assign(1, Operand::Err(ErrorValue::Value));
          goto done;
        }
        std::size_t base = stack.size() - n;
        liftRefs_ = arrayMode_ || expr.ArrayContextAt(i);
        Operand r = Apply(t, stack, base, depth);
        stack.resize(base);
        stack.push_back(std::move(r));
      }
    }
    i = Next(expr, i, stack);
  }
done:
  sheet_ = savedSheet;
  row_ = savedRow;
  col_ = savedCol;
  if (stack.size() != 1) return Operand::Err(ErrorValue::Value);
  return std::move(stack.back());
}

std::size_t Evaluator::Next(const Expression& expr, std::size_t i, std::vector<Operand>& stack) {
  // The token just completed may be an argument of an IF or CHOOSE: the first argument picks
  // the branch to evaluate, a finished branch is the function's result (the function's own
  // token is passed over, and what it completes is looked at in turn).
  for (;;) {
    Expression::LazyArg lazy = expr.LazyArgAt(i);
    if (lazy.owner < 0 || stack.empty()) return i + 1;
    const std::size_t owner = static_cast<std::size_t>(lazy.owner);
    const Token& f = expr.Tokens()[owner];
    if (lazy.position > 0) {
      if (stack.back().IsMissing()) stack.back() = Operand::Num(0);
      i = owner;
      continue;
    }
    const std::vector<std::int32_t>& ends = expr.LazyArgEnds(owner);
    Operand first = std::move(stack.back());
    stack.pop_back();
    std::size_t pick = 0;  // the argument to evaluate; 0: the result is pushed here
    if (f.func == 1) {     // IF
      bool c = false;
      ErrorValue e;
      if (!ArgBool(first, c, e))
        stack.push_back(Operand::Err(e));
      else if (c)
        pick = 1;
      else if (f.argc > 2)
        pick = 2;
      else
        stack.push_back(Operand::Bool(false));
    } else {  // CHOOSE
      double n = 0;
      ErrorValue e;
      if (!ArgNumber(first, n, e)) {
        stack.push_back(Operand::Err(e));
      } else {
        n = std::trunc(n);
        if (n < 1 || n >= f.argc)
          stack.push_back(Operand::Err(ErrorValue::Value));
        else
          pick = static_cast<std::size_t>(n);
      }
    }
    if (pick == 0 || pick >= ends.size()) {
      if (pick != 0) stack.push_back(Operand::Err(ErrorValue::Value));
      i = owner;
      continue;
    }
    return static_cast<std::size_t>(ends[pick - 1]) + 1;
  }
}

Operand Evaluator::RefOperand(const Token& t, const Sheet& home, int row, int col) {
  if (t.kind == TokenKind::RefError || t.sheetGone) return Operand::Err(ErrorValue::Ref);
  const Sheet* sheet = t.sheet ? book_.SheetById(t.sheet) : &home;
  if (!sheet) return Operand::Err(ErrorValue::Ref);
  Area a;
  a.sheet = sheet;
  if (t.kind == TokenKind::Ref) {
    if (!ResolvePoint(t.a, row, col, a.r1, a.c1)) return Operand::Err(ErrorValue::Ref);
    a.r2 = a.r1;
    a.c2 = a.c1;
    return SpanSheets(t, a);
  }
  int r1, c1, r2, c2;
  bool ok1 = ResolvePoint(t.a, row, col, r1, c1);
  bool ok2 = ResolvePoint(t.b, row, col, r2, c2);
  if (t.wholeCols) {
    r1 = 1, r2 = kMaxRow;
    ok1 = c1 >= 1 && c1 <= kMaxCol;
    ok2 = c2 >= 1 && c2 <= kMaxCol;
  } else if (t.wholeRows) {
    c1 = 1, c2 = kMaxCol;
    ok1 = r1 >= 1 && r1 <= kMaxRow;
    ok2 = r2 >= 1 && r2 <= kMaxRow;
  }
  if (!ok1 || !ok2) return Operand::Err(ErrorValue::Ref);
  a.r1 = std::min(r1, r2);
  a.r2 = std::max(r1, r2);
  a.c1 = std::min(c1, c2);
  a.c2 = std::max(c1, c2);
  return SpanSheets(t, a);
}

Operand Evaluator::SpanSheets(const Token& t, const Area& a) {
  Operand o = Operand::Reference(a);
  if (!t.sheet2) return o;
  // The same block on every sheet from the first to the last of the range.
  int first = book_.SheetIndexById(t.sheet), last = book_.SheetIndexById(t.sheet2);
  if (!first || !last) return Operand::Err(ErrorValue::Ref);
  if (first > last) std::swap(first, last);
  o.area.sheet = &book_.GetSheet(first);
  for (int i = first + 1; i <= last; ++i) {
    Area more = a;
    more.sheet = &book_.GetSheet(i);
    o.more.push_back(more);
  }
  return o;
}

Operand Evaluator::NameValue(const std::string& name, int depth) {
  const DefinedName* n = book_.FindName(name, sheet_->Id());
  if (!n || !n->expr || depth >= kMaxNameDepth) return Operand::Err(ErrorValue::Name);
  const Sheet* home = sheet_;
  if (n->sheetId)
    if (const Sheet* own = book_.SheetById(n->sheetId)) home = own;
  return EvaluateOperand(*n->expr, *home, row_, col_, depth + 1);
}

Operand Evaluator::Apply(const Token& t, std::vector<Operand>& stack, std::size_t base,
                         int depth) {
  (void)depth;
  Operand* args = stack.data() + base;
  switch (t.kind) {
    case TokenKind::Add:
    case TokenKind::Sub:
    case TokenKind::Mul:
    case TokenKind::Div:
    case TokenKind::Power:
    case TokenKind::Concat:
    case TokenKind::Lt:
    case TokenKind::Le:
    case TokenKind::Eq:
    case TokenKind::Ge:
    case TokenKind::Gt:
    case TokenKind::Ne: {
      auto lifts = [&](const Operand& o) {
        return o.IsArray() || (liftRefs_ && o.IsRef() && (!o.area.Single() || !o.more.empty()));
      };
      if (lifts(args[0]) || lifts(args[1])) return ApplyElementwise(t, args, 2);
      Value a = Scalar(args[0]);
      Value b = Scalar(args[1]);
      return Operand::Of(ApplyScalar(t, a, b));
    }
    case TokenKind::Range:
    case TokenKind::Intersect:
    case TokenKind::Union: {
      for (int i = 0; i < 2; ++i)
        if (args[i].IsError()) return args[i];
      if (!args[0].IsRef() || !args[1].IsRef()) return Operand::Err(ErrorValue::Value);
      const Area& x = args[0].area;
      const Area& y = args[1].area;
      if (t.kind == TokenKind::Union) {
        Operand u = args[0];
        u.more.push_back(y);
        for (const Area& m : args[1].more) u.more.push_back(m);
        return u;
      }
      if (!args[0].more.empty() || !args[1].more.empty() || x.sheet != y.sheet)
        return Operand::Err(t.kind == TokenKind::Range ? ErrorValue::Ref : ErrorValue::Null);
      Area a;
      a.sheet = x.sheet;
      if (t.kind == TokenKind::Range) {
        a.r1 = std::min(x.r1, y.r1), a.c1 = std::min(x.c1, y.c1);
        a.r2 = std::max(x.r2, y.r2), a.c2 = std::max(x.c2, y.c2);
      } else {
        a.r1 = std::max(x.r1, y.r1), a.c1 = std::max(x.c1, y.c1);
        a.r2 = std::min(x.r2, y.r2), a.c2 = std::min(x.c2, y.c2);
        if (a.r1 > a.r2 || a.c1 > a.c2) return Operand::Err(ErrorValue::Null);
      }
      return Operand::Reference(a);
    }
    case TokenKind::Plus:
    case TokenKind::Paren:
      return std::move(args[0]);
    case TokenKind::Minus:
    case TokenKind::Percent: {
      if (args[0].IsArray() || (liftRefs_ && args[0].IsRef() && !args[0].area.Single()))
        return ApplyElementwise(t, args, 1);
      return Operand::Of(ApplyScalar(t, Scalar(args[0]), Value()));
    }
    case TokenKind::Func: {
      const FunctionInfo* f = t.func >= 0 ? FindFunction(t.func) : nullptr;
      if (!f || !f->impl) return Operand::Err(ErrorValue::Name);
      if (t.argc < f->minArgs || t.argc > f->maxArgs) return Operand::Err(ErrorValue::Value);
      return f->impl(*this, std::span<Operand>(args, t.argc));
    }
    default:
      return Operand::Err(ErrorValue::Value);
  }
}

Value Evaluator::ApplyScalar(const Token& t, const Value& a, const Value& b) {
  ErrorValue e = ErrorValue::Value;
  switch (t.kind) {
    case TokenKind::Add:
    case TokenKind::Sub:
    case TokenKind::Mul:
    case TokenKind::Div:
    case TokenKind::Power: {
      double x, y;
      if (!ToNumber(a, x, e) || !ToNumber(b, y, e)) return Value::Error(e);
      return Arith(t.kind, x, y).value;
    }
    case TokenKind::Concat: {
      std::string x, y;
      if (!ToText(a, x, e) || !ToText(b, y, e)) return Value::Error(e);
      if (x.size() + y.size() > 32767 && CharLength(x) + CharLength(y) > 32767)
        return Value::Error(ErrorValue::Value);
      return Value::Text(x + y);
    }
    case TokenKind::Lt:
    case TokenKind::Le:
    case TokenKind::Eq:
    case TokenKind::Ge:
    case TokenKind::Gt:
    case TokenKind::Ne: {
      if (a.IsError()) return a;
      if (b.IsError()) return b;
      int c = CompareValues(a, b);
      bool r = t.kind == TokenKind::Lt   ? c < 0
               : t.kind == TokenKind::Le ? c <= 0
               : t.kind == TokenKind::Eq ? c == 0
               : t.kind == TokenKind::Ge ? c >= 0
               : t.kind == TokenKind::Gt ? c > 0
                                         : c != 0;
      return Value::Logical(r);
    }
    case TokenKind::Minus:
    case TokenKind::Percent: {
      double x;
      if (!ToNumber(a, x, e)) return Value::Error(e);
      return Value::Number(t.kind == TokenKind::Minus ? -x : x / 100);
    }
    default:
      return Value::Error(ErrorValue::Value);
  }
}

Operand Evaluator::ToArray(const Operand& o) {
  switch (o.kind) {
    case Operand::Kind::Array:
      return o;
    case Operand::Kind::Value:
      return Operand::MakeArray(1, 1, {o.value});
    case Operand::Kind::Missing:
      return Operand::MakeArray(1, 1, {Value()});
    case Operand::Kind::Ref:
      break;
  }
  if (!o.more.empty()) return Operand::MakeArray(1, 1, {Value::Error(ErrorValue::Value)});
  const Area& a = o.area;
  if (double(a.Rows()) * a.Cols() > kMaxArrayCells)
    return Operand::MakeArray(1, 1, {Value::Error(ErrorValue::Num)});
  std::vector<Value> items(static_cast<std::size_t>(a.Rows()) * static_cast<std::size_t>(a.Cols()));
  ForEachCell(a, [&](int r, int c, const Value& v) {
    items[static_cast<std::size_t>(r - a.r1) * static_cast<std::size_t>(a.Cols()) +
          static_cast<std::size_t>(c - a.c1)] = v;
  });
  return Operand::MakeArray(a.Rows(), a.Cols(), std::move(items));
}

Operand Evaluator::ApplyElementwise(const Token& t, Operand* args, std::size_t n) {
  Operand x = ToArray(args[0]);
  Operand y = n > 1 ? ToArray(args[1]) : Operand::MakeArray(1, 1, {Value()});
  // The result is as large as the larger operand in each direction; an operand of one row
  // (column) repeats along it, one that is too small gives #N/A where it has no value.
  const int rows = std::max(x.rows, y.rows), cols = std::max(x.cols, y.cols);
  if (double(rows) * cols > kMaxArrayCells) return Operand::Err(ErrorValue::Num);
  static const Value kNa = Value::Error(ErrorValue::NA);
  auto at = [&](const Operand& o, int r, int c) -> const Value& {
    int rr = o.rows == 1 ? 0 : r, cc = o.cols == 1 ? 0 : c;
    if (rr >= o.rows || cc >= o.cols) return kNa;
    return o.At(rr, cc);
  };
  std::vector<Value> out;
  out.reserve(static_cast<std::size_t>(rows) * static_cast<std::size_t>(cols));
  for (int r = 0; r < rows; ++r)
    for (int c = 0; c < cols; ++c) out.push_back(ApplyScalar(t, at(x, r, c), at(y, r, c)));
  return Operand::MakeArray(rows, cols, std::move(out));
}

Value Evaluator::Scalar(const Operand& o) {
  switch (o.kind) {
    case Operand::Kind::Value:
      return o.value;
    case Operand::Kind::Missing:
      return {};
    case Operand::Kind::Array:
      return o.items.empty() ? Value::Error(ErrorValue::Value) : o.items.front();
    case Operand::Kind::Ref:
      break;
  }
  if (!o.more.empty()) return Value::Error(ErrorValue::Value);
  const Area& a = o.area;
  if (a.Single()) return CellValue(*a.sheet, a.r1, a.c1);
  // Implicit intersection with the formula's own row or column.
  if (a.c1 == a.c2 && row_ >= a.r1 && row_ <= a.r2) return CellValue(*a.sheet, row_, a.c1);
  if (a.r1 == a.r2 && col_ >= a.c1 && col_ <= a.c2) return CellValue(*a.sheet, a.r1, col_);
  return Value::Error(ErrorValue::Value);
}

void Evaluator::ForEachValue(const Operand& o,
                             const std::function<void(const Value&, bool)>& f) {
  if (o.kind == Operand::Kind::Missing) return;
  if (o.kind == Operand::Kind::Value) {
    f(o.value, false);
    return;
  }
  if (o.kind == Operand::Kind::Array) {  // values of an array count as a reference's do
    for (const Value& v : o.items)
      if (!v.IsEmpty()) f(v, true);
    return;
  }
  auto each = [&](int, int, const Value& v) { f(v, true); };
  ForEachCell(o.area, each);
  for (const Area& a : o.more) ForEachCell(a, each);
}

bool Evaluator::ToNumber(const Value& v, double& out, ErrorValue& err) const {
  switch (v.kind) {
    case ValueKind::Number:
      out = v.number;
      return true;
    case ValueKind::Empty:
      out = 0;
      return true;
    case ValueKind::Logical:
      out = v.logical ? 1 : 0;
      return true;
    case ValueKind::Error:
      err = v.error;
      return false;
    case ValueKind::Text: {
      if (!v.text.empty()) {
        format::TypedEntry e = format::InterpretTyped(v.text, book_.Locale(), book_.Date1904());
        if (e.value.IsNumber()) {
          out = e.value.number;
          return true;
        }
      }
      err = ErrorValue::Value;
      return false;
    }
  }
  err = ErrorValue::Value;
  return false;
}

std::string Evaluator::NumberText(double n) const { return NumberLiteral(n); }

bool Evaluator::ToText(const Value& v, std::string& out, ErrorValue& err) const {
  switch (v.kind) {
    case ValueKind::Number:
      out = NumberText(v.number);
      return true;
    case ValueKind::Empty:
      out.clear();
      return true;
    case ValueKind::Logical:
      out = v.logical ? "TRUE" : "FALSE";
      return true;
    case ValueKind::Text:
      out = v.text;
      return true;
    case ValueKind::Error:
      err = v.error;
      return false;
  }
  return false;
}

bool Evaluator::ToBool(const Value& v, bool& out, ErrorValue& err) const {
  switch (v.kind) {
    case ValueKind::Number:
      out = v.number != 0;
      return true;
    case ValueKind::Empty:
      out = false;
      return true;
    case ValueKind::Logical:
      out = v.logical;
      return true;
    case ValueKind::Text: {
      std::string up;
      for (char c : v.text) up += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
      if (up == "TRUE" || up == "FALSE") {
        out = up == "TRUE";
        return true;
      }
      err = ErrorValue::Value;
      return false;
    }
    case ValueKind::Error:
      err = v.error;
      return false;
  }
  return false;
}

bool Evaluator::ArgNumber(const Operand& o, double& out, ErrorValue& err) {
  return ToNumber(Scalar(o), out, err);
}
bool Evaluator::ArgText(const Operand& o, std::string& out, ErrorValue& err) {
  return ToText(Scalar(o), out, err);
}
bool Evaluator::ArgBool(const Operand& o, bool& out, ErrorValue& err) {
  return ToBool(Scalar(o), out, err);
}

bool Evaluator::ResolveReferenceText(const std::string& text, Operand& out) {
  std::vector<Token> tokens;
  try {
    tokens = ParseFormula(text, book_, sheet_->Id(), row_, col_);
  } catch (const EngineError&) {
    return false;
  }
  std::erase_if(tokens, [](const Token& t) { return t.IsSpace(); });
  if (tokens.size() != 1) return false;
  const Token& t = tokens[0];
  if (t.kind == TokenKind::Name) {
    out = NameValue(t.text, 0);
    return out.IsRef();
  }
  if (t.kind != TokenKind::Ref && t.kind != TokenKind::Area) return false;
  out = RefOperand(t, *sheet_, row_, col_);
  return out.IsRef();
}

}  // namespace engine::formula
