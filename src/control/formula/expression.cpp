#include "control/formula/expression.h"

#include "control/engine_error.h"
#include "control/formula/function_table.h"
#include "control/model/sheet.h"

namespace engine::formula {

Expression::Expression(std::vector<Token> tokens) : tokens_(std::move(tokens)) {
  for (const Token& t : tokens_) {
    if (t.kind == TokenKind::Name) hasNames_ = true;
    if (t.kind == TokenKind::Func) {
      const FunctionInfo* f = t.func >= 0 ? FindFunction(t.func) : nullptr;
      if (f && f->isVolatile) volatile_ = true;
      if (!f || !f->impl) unsupported_ = true;
    }
  }
}

namespace {
// How many operands a token takes from the stack and whether it pushes one.
int Arity(const Token& t) {
  if (t.IsOperand()) return 0;
  if (t.IsBinary()) return 2;
  if (t.IsUnary()) return 1;
  if (t.kind == TokenKind::Func) return t.argc;
  return -1;  // layout
}
}  // namespace

std::shared_ptr<const Expression> BuildExpression(std::vector<Token> tokens) {
  int depth = 0;
  for (const Token& t : tokens) {
    int n = Arity(t);
    if (n < 0) continue;
    if (depth < n) throw EngineError(kErrFormulaSyntax, "The formula's tokens are out of order.");
    depth = depth - n + 1;
  }
  if (depth != 1) throw EngineError(kErrFormulaSyntax, "The formula's tokens are out of order.");
  return std::make_shared<const Expression>(std::move(tokens));
}

Token MakeNumber(double n) {
  Token t;
  t.kind = TokenKind::Number;
  t.number = n;
  return t;
}

Token MakeString(std::string s) {
  Token t;
  t.kind = TokenKind::String;
  t.text = std::move(s);
  return t;
}

Token MakeRef(RefPoint p, std::uint32_t sheet) {
  Token t;
  t.kind = TokenKind::Ref;
  t.a = p;
  t.sheet = sheet;
  return t;
}

Token MakeArea(RefPoint a, RefPoint b, std::uint32_t sheet) {
  Token t;
  t.kind = TokenKind::Area;
  t.a = a;
  t.b = b;
  t.sheet = sheet;
  return t;
}

Token MakeOp(TokenKind kind) {
  Token t;
  t.kind = kind;
  return t;
}

Token MakeFunc(int biffNumber, int argc) {
  Token t;
  t.kind = TokenKind::Func;
  t.func = static_cast<std::int16_t>(biffNumber);
  t.argc = static_cast<std::uint8_t>(argc);
  if (const FunctionInfo* f = FindFunction(biffNumber)) t.text = f->name;
  return t;
}

Token MakeFuncByName(std::string_view name, int argc) {
  Token t;
  t.kind = TokenKind::Func;
  t.argc = static_cast<std::uint8_t>(argc);
  if (const FunctionInfo* f = FindFunction(name)) {
    t.func = static_cast<std::int16_t>(f->number);
    t.text = f->name;
  } else {
    t.func = -1;
    t.text = std::string(name);
  }
  return t;
}

bool ResolvePoint(const RefPoint& p, int row, int col, int& outRow, int& outCol) {
  outRow = p.rowRel ? row + p.row : p.row;
  outCol = p.colRel ? col + p.col : p.col;
  return outRow >= 1 && outRow <= kMaxRow && outCol >= 1 && outCol <= kMaxCol;
}

}  // namespace engine::formula
