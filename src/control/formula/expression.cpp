#include "control/formula/expression.h"

#include <algorithm>

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
  FindLazyArguments();
  FindArrayContext();
}

namespace {
constexpr int kIfNumber = 1;
constexpr int kChooseNumber = 100;
int Arity(const Token& t);
}  // namespace

void Expression::FindLazyArguments() {
  bool any = false;
  for (const Token& t : tokens_)
    if (t.kind == TokenKind::Func && (t.func == kIfNumber || t.func == kChooseNumber)) any = true;
  if (!any) return;
  // Walk the reverse Polish list keeping the index of each pending operand's last token; a
  // function's arguments are the top argc entries, in order.
  std::vector<std::int32_t> roots;
  std::vector<LazyArg> lazy(tokens_.size());
  for (std::size_t i = 0; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    int n = Arity(t);
    if (n < 0) continue;
    if (roots.size() < static_cast<std::size_t>(n)) return;  // malformed: evaluate eagerly
    std::size_t base = roots.size() - static_cast<std::size_t>(n);
    bool isIf = t.func == kIfNumber && t.argc >= 2 && t.argc <= 3;
    bool isChoose = t.func == kChooseNumber && t.argc >= 2;
    if (t.kind == TokenKind::Func && (isIf || isChoose)) {
      std::vector<std::int32_t> ends(roots.begin() + static_cast<std::ptrdiff_t>(base),
                                     roots.end());
      for (std::size_t a = 0; a < ends.size(); ++a)
        lazy[static_cast<std::size_t>(ends[a])] = LazyArg{
            static_cast<std::int32_t>(i), static_cast<std::uint8_t>(std::min<std::size_t>(a, 255))};
      lazyEnds_.emplace_back(static_cast<std::int32_t>(i), std::move(ends));
    }
    roots.resize(base);
    roots.push_back(static_cast<std::int32_t>(i));
  }
  lazy_ = std::move(lazy);
}

void Expression::FindArrayContext() {
  constexpr int kSumProduct = 228;
  bool any = false;
  for (const Token& t : tokens_)
    if (t.kind == TokenKind::Func && t.func == kSumProduct) any = true;
  if (!any) return;
  // The first token of each pending operand; a function's arguments span from the first
  // token of its first argument to the token before it.
  std::vector<std::int32_t> starts;
  std::vector<bool> ctx(tokens_.size(), false);
  for (std::size_t i = 0; i < tokens_.size(); ++i) {
    const Token& t = tokens_[i];
    int n = Arity(t);
    if (n < 0) continue;
    if (starts.size() < static_cast<std::size_t>(n)) return;  // malformed
    std::size_t base = starts.size() - static_cast<std::size_t>(n);
    std::int32_t start = n > 0 ? starts[base] : static_cast<std::int32_t>(i);
    if (t.kind == TokenKind::Func && t.func == kSumProduct)
      for (std::size_t k = static_cast<std::size_t>(start); k < i; ++k) ctx[k] = true;
    starts.resize(base);
    starts.push_back(start);
  }
  arrayCtx_ = std::move(ctx);
}

const std::vector<std::int32_t>& Expression::LazyArgEnds(std::size_t k) const {
  static const std::vector<std::int32_t> kNone;
  for (const auto& [owner, ends] : lazyEnds_)
    if (owner == static_cast<std::int32_t>(k)) return ends;
  return kNone;
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
