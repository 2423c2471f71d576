// Formula parser: a precedence-climbing parser that emits tokens in RPN order as it goes.
// Whitespace is kept as Space tokens (see expression.h for where each kind is placed).
#include "control/formula/parser.h"

#include <cctype>
#include <cmath>
#include <cstdlib>

#include "control/engine_error.h"
#include "control/formula/function_table.h"
#include "control/model/sheet.h"
#include "control/model/workbook.h"

namespace engine::formula {

namespace {

constexpr int kMaxDepth = 96;
constexpr std::size_t kMaxLength = 8192;

// Binding powers, loosest first. Unary minus binds tighter than "^" in the spreadsheet.
enum Prec : int {
  kCompare = 1, kConcat = 2, kAdditive = 3, kMultiplicative = 4, kPower = 5, kUnary = 6,
  kPercent = 7, kIntersect = 8, kRange = 9,
};

bool IsIdentStart(unsigned char c) { return std::isalpha(c) || c == '_' || c == '\\' || c >= 0x80; }
bool IsIdentChar(unsigned char c) {
  return std::isalnum(c) || c == '_' || c == '.' || c == '\\' || c == '?' || c >= 0x80;
}
bool IsSpaceChar(char c) { return c == ' ' || c == '\n' || c == '\r' || c == '\t'; }

bool EqualsNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// Column letters A … IV → 1 … 256; 0 when not a column.
int ColumnFromLetters(std::string_view s) {
  if (s.empty() || s.size() > 3) return 0;
  int c = 0;
  for (char ch : s) {
    if (!std::isalpha(static_cast<unsigned char>(ch))) return 0;
    c = c * 26 + (std::toupper(static_cast<unsigned char>(ch)) - 'A' + 1);
  }
  return c <= kMaxCol ? c : 0;
}

class Parser {
 public:
  Parser(std::string_view text, const Workbook& book, std::uint32_t sheetId, int row, int col)
      : s_(text), book_(book), sheetId_(sheetId), row_(row), col_(col) {}

  std::vector<Token> Run() {
    if (s_.size() > kMaxLength) Fail("The formula is too long.");
    ParseExpr(0, 0);
    std::string ws = SkipSpaces();
    if (pos_ < s_.size()) {
      if (s_[pos_] == ')') Fail("There is a \")\" without a matching \"(\".");
      Fail("Unexpected \"" + std::string(1, s_[pos_]) + "\".");
    }
    if (!ws.empty()) EmitSpace(TokenKind::SpaceAfter, ws);
    return std::move(out_);
  }

 private:
  [[noreturn]] void Fail(const std::string& why) const {
    throw EngineError(kErrFormulaSyntax,
                      "The formula contains an error at position " + std::to_string(pos_ + 1) +
                          ": " + why);
  }

  char Peek(std::size_t ahead = 0) const {
    return pos_ + ahead < s_.size() ? s_[pos_ + ahead] : '\0';
  }
  std::string SkipSpaces() {
    std::size_t start = pos_;
    while (pos_ < s_.size() && IsSpaceChar(s_[pos_])) ++pos_;
    return std::string(s_.substr(start, pos_ - start));
  }
  void EmitSpace(TokenKind kind, const std::string& ws) {
    if (ws.empty()) return;
    Token t;
    t.kind = kind;
    t.text = ws;
    out_.push_back(std::move(t));
  }
  void Emit(Token t) { out_.push_back(std::move(t)); }

  // Does an operand start at the current position (for the intersection operator)?
  bool OperandStarts() const {
    char c = Peek();
    if (c == '\0') return false;
    return std::isalnum(static_cast<unsigned char>(c)) || c == '$' || c == '\'' || c == '(' ||
           c == '_' || c == '\\' || static_cast<unsigned char>(c) >= 0x80;
  }

  void ParseExpr(int minPrec, int depth) {
    if (depth > kMaxDepth) Fail("The formula is nested too deeply.");
    ParsePrefix(depth);
    for (;;) {
      std::size_t save = pos_;
      std::string ws = SkipSpaces();
      char c = Peek();
      TokenKind kind;
      int prec;
      std::size_t len = 1;
      switch (c) {
        case '%':
          if (kPercent < minPrec) {
            pos_ = save;
            return;
          }
          ++pos_;
          EmitSpace(TokenKind::SpaceBefore, ws);
          Emit(MakeOp(TokenKind::Percent));
          continue;
        case '+': kind = TokenKind::Add; prec = kAdditive; break;
        case '-': kind = TokenKind::Sub; prec = kAdditive; break;
        case '*': kind = TokenKind::Mul; prec = kMultiplicative; break;
        case '/': kind = TokenKind::Div; prec = kMultiplicative; break;
        case '^': kind = TokenKind::Power; prec = kPower; break;
        case '&': kind = TokenKind::Concat; prec = kConcat; break;
        case '=': kind = TokenKind::Eq; prec = kCompare; break;
        case ':': kind = TokenKind::Range; prec = kRange; break;
        case '<':
          prec = kCompare;
          if (Peek(1) == '=') kind = TokenKind::Le, len = 2;
          else if (Peek(1) == '>') kind = TokenKind::Ne, len = 2;
          else kind = TokenKind::Lt;
          break;
        case '>':
          prec = kCompare;
          if (Peek(1) == '=') kind = TokenKind::Ge, len = 2;
          else kind = TokenKind::Gt;
          break;
        default:
          if (!ws.empty() && ws.back() == ' ' && OperandStarts() && kIntersect >= minPrec) {
            ws.pop_back();  // the last space is the operator itself
            ParseExpr(kIntersect + 1, depth + 1);
            EmitSpace(TokenKind::SpaceBefore, ws);
            Emit(MakeOp(TokenKind::Intersect));
            continue;
          }
          pos_ = save;
          return;
      }
      if (prec < minPrec) {
        pos_ = save;
        return;
      }
      pos_ += len;
      ParseExpr(prec + 1, depth + 1);
      EmitSpace(TokenKind::SpaceBefore, ws);
      Emit(MakeOp(kind));
    }
  }

  void ParsePrefix(int depth) {
    std::string ws = SkipSpaces();
    char c = Peek();
    if (c == '\0') Fail("An operand is missing.");
    if (c == '-' || c == '+') {
      ++pos_;
      ParseExpr(kUnary + 1, depth + 1);
      EmitSpace(TokenKind::SpaceBefore, ws);
      Emit(MakeOp(c == '-' ? TokenKind::Minus : TokenKind::Plus));
      return;
    }
    if (c == '(') {
      ++pos_;
      ParseExpr(0, depth + 1);
      for (;;) {
        std::string inner = SkipSpaces();
        if (Peek() == ',') {
          EmitSpace(TokenKind::SpaceAfter, inner);
          ++pos_;
          ParseExpr(0, depth + 1);
          Emit(MakeOp(TokenKind::Union));
          continue;
        }
        if (Peek() != ')') Fail("A \")\" is missing.");
        ++pos_;
        EmitSpace(TokenKind::SpaceBeforeClose, inner);
        break;
      }
      EmitSpace(TokenKind::SpaceBefore, ws);
      Emit(MakeOp(TokenKind::Paren));
      return;
    }
    // Everything else is one operand; its leading whitespace goes right before it, except for
    // a function call, whose token comes after its arguments.
    std::size_t mark = out_.size();
    bool isFunction = ParseOperand(depth);
    if (!ws.empty()) {
      Token sp;
      sp.kind = TokenKind::SpaceBefore;
      sp.text = ws;
      if (isFunction)
        out_.insert(out_.end() - 1, std::move(sp));
      else
        out_.insert(out_.begin() + static_cast<std::ptrdiff_t>(mark), std::move(sp));
    }
  }

  // Returns true when the operand was a function call.
  bool ParseOperand(int depth) {
    char c = Peek();
    if (c == '"') {
      Emit(MakeString(ReadString()));
      return false;
    }
    if (c == '#') {
      for (ErrorValue e : {ErrorValue::Null, ErrorValue::Div0, ErrorValue::Value, ErrorValue::Ref,
                           ErrorValue::Name, ErrorValue::Num, ErrorValue::NA}) {
        std::string_view name = ErrorText(e);
        if (EqualsNoCase(s_.substr(pos_, name.size()), name)) {
          pos_ += name.size();
          Token t;
          t.kind = TokenKind::Error;
          t.error = e;
          Emit(t);
          return false;
        }
      }
      Fail("Unknown error value.");
    }
    if (c == '\'') {
      std::uint32_t last;
      std::uint32_t sheet = ReadQuotedSheet(last);
      ParseSheetReference(sheet, last);
      return false;
    }
    if (TryReference(0)) return false;
    if (std::isdigit(static_cast<unsigned char>(c)) || c == '.') {
      Emit(MakeNumber(ReadNumber()));
      return false;
    }
    if (!IsIdentStart(static_cast<unsigned char>(c))) Fail("Unexpected \"" + std::string(1, c) + "\".");
    std::size_t start = pos_;
    while (pos_ < s_.size() && IsIdentChar(static_cast<unsigned char>(s_[pos_]))) ++pos_;
    std::string_view ident = s_.substr(start, pos_ - start);
    if (Peek() == '!') {
      ++pos_;
      std::uint32_t sheet = SheetIdByName(std::string(ident));
      ParseSheetReference(sheet, 0);
      return false;
    }
    if (Peek() == ':') {
      // A range of sheets: First:Last!A1.
      std::size_t q = pos_ + 1;
      while (q < s_.size() && IsIdentChar(static_cast<unsigned char>(s_[q]))) ++q;
      if (q > pos_ + 1 && q < s_.size() && s_[q] == '!') {
        std::string second(s_.substr(pos_ + 1, q - pos_ - 1));
        pos_ = q + 1;
        std::uint32_t first, last;
        SheetSpan(std::string(ident), second, first, last);
        ParseSheetReference(first, last);
        return false;
      }
    }
    if (Peek() == '(') {
      ++pos_;
      ParseCall(ident, depth);
      return true;
    }
    if (EqualsNoCase(ident, "TRUE") || EqualsNoCase(ident, "FALSE")) {
      Token t;
      t.kind = TokenKind::Bool;
      t.logical = EqualsNoCase(ident, "TRUE");
      Emit(t);
      return false;
    }
    Token t;
    t.kind = TokenKind::Name;
    t.text = std::string(ident);
    Emit(std::move(t));
    return false;
  }

  std::string ReadString() {
    ++pos_;  // opening quote
    std::string out;
    for (;;) {
      if (pos_ >= s_.size()) Fail("A closing quotation mark is missing.");
      char ch = s_[pos_++];
      if (ch == '"') {
        if (Peek() == '"') {
          out += '"';
          ++pos_;
          continue;
        }
        return out;
      }
      out += ch;
    }
  }

  double ReadNumber() {
    std::size_t start = pos_;
    while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
    if (Peek() == '.') {
      ++pos_;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
    }
    if ((Peek() == 'e' || Peek() == 'E') &&
        (std::isdigit(static_cast<unsigned char>(Peek(1))) ||
         ((Peek(1) == '+' || Peek(1) == '-') && std::isdigit(static_cast<unsigned char>(Peek(2)))))) {
      pos_ += 2;
      while (std::isdigit(static_cast<unsigned char>(Peek()))) ++pos_;
    }
    std::string digits(s_.substr(start, pos_ - start));
    if (digits == ".") Fail("A number is malformed.");
    if (IsIdentChar(static_cast<unsigned char>(Peek())) && Peek() != '.')
      Fail("A number is malformed.");
    double v = std::strtod(digits.c_str(), nullptr);
    if (!std::isfinite(v)) Fail("A number is too large.");
    return v;
  }

  std::uint32_t SheetIdByName(const std::string& name) {
    int index = book_.SheetIndexByName(name);
    if (!index) {
      // Sheet names compare without regard to case, as the spreadsheet does.
      for (int i = 1; i <= book_.SheetCount(); ++i)
        if (EqualsNoCase(book_.GetSheet(i).Name(), name)) index = i;
    }
    if (!index) Fail("There is no sheet named \"" + name + "\".");
    return book_.GetSheet(index).Id();
  }

  // A range of sheets "First:Last", ordered as the workbook orders them; `last` is 0 when the
  // text names one sheet.
  void SheetSpan(const std::string& first, const std::string& second, std::uint32_t& a,
                 std::uint32_t& b) {
    a = SheetIdByName(first);
    b = SheetIdByName(second);
    if (book_.SheetIndexById(a) > book_.SheetIndexById(b)) std::swap(a, b);
    if (a == b) b = 0;
  }

  std::uint32_t ReadQuotedSheet(std::uint32_t& last) {
    last = 0;
    ++pos_;
    std::string name;
    for (;;) {
      if (pos_ >= s_.size()) Fail("A closing apostrophe is missing.");
      char ch = s_[pos_++];
      if (ch == '\'') {
        if (Peek() == '\'') {
          name += '\'';
          ++pos_;
          continue;
        }
        break;
      }
      name += ch;
    }
    if (Peek() != '!') Fail("A \"!\" must follow a sheet name.");
    ++pos_;
    std::size_t colon = name.find(':');
    if (colon != std::string::npos && !book_.SheetIndexByName(name)) {
      std::uint32_t first;
      SheetSpan(name.substr(0, colon), name.substr(colon + 1), first, last);
      return first;
    }
    return SheetIdByName(name);
  }

  void ParseSheetReference(std::uint32_t sheet, std::uint32_t last) {
    if (!TryReference(sheet == 0 ? 0 : sheet)) {
      if (Peek() == '#' && EqualsNoCase(s_.substr(pos_, 5), "#REF!")) {
        pos_ += 5;
        Token t;
        t.kind = TokenKind::RefError;
        t.sheet = sheet;
        t.sheet2 = last;
        Emit(t);
        return;
      }
      Fail("A reference must follow the sheet name.");
    }
    out_.back().sheet2 = last;
  }

  // Reads [$]letters or [$]digits parts. Each returns false (position unchanged) on mismatch.
  bool ReadColumn(std::size_t& p, int& col, bool& rel) const {
    std::size_t q = p;
    rel = true;
    if (q < s_.size() && s_[q] == '$') rel = false, ++q;
    std::size_t start = q;
    while (q < s_.size() && std::isalpha(static_cast<unsigned char>(s_[q]))) ++q;
    col = ColumnFromLetters(s_.substr(start, q - start));
    if (!col) return false;
    p = q;
    return true;
  }
  bool ReadRow(std::size_t& p, int& row, bool& rel) const {
    std::size_t q = p;
    rel = true;
    if (q < s_.size() && s_[q] == '$') rel = false, ++q;
    std::size_t start = q;
    long v = 0;
    while (q < s_.size() && std::isdigit(static_cast<unsigned char>(s_[q])) && q - start < 7)
      v = v * 10 + (s_[q++] - '0');
    if (q == start || v < 1 || v > kMaxRow) return false;
    if (q < s_.size() && std::isdigit(static_cast<unsigned char>(s_[q]))) return false;
    row = static_cast<int>(v);
    p = q;
    return true;
  }
  bool EndsHere(std::size_t p) const {
    if (p >= s_.size()) return true;
    unsigned char c = static_cast<unsigned char>(s_[p]);
    return !(IsIdentChar(c) || c == '(' || c == '!' || c == '$');
  }
  bool ReadCell(std::size_t& p, RefPoint& out) const {
    std::size_t q = p;
    int col, row;
    bool colRel, rowRel;
    if (!ReadColumn(q, col, colRel) || !ReadRow(q, row, rowRel) || !EndsHere(q)) return false;
    out = Point(row, rowRel, col, colRel);
    p = q;
    return true;
  }
  RefPoint Point(int row, bool rowRel, int col, bool colRel) const {
    RefPoint pt;
    pt.rowRel = rowRel;
    pt.colRel = colRel;
    pt.row = rowRel ? row - row_ : row;
    pt.col = colRel ? col - col_ : col;
    return pt;
  }

  // A cell, an area, whole columns or whole rows at the current position.
  bool TryReference(std::uint32_t sheet) {
    std::size_t p = pos_;
    RefPoint a, b;
    if (ReadCell(p, a)) {
      std::size_t q = p;
      if (q < s_.size() && s_[q] == ':') {
        ++q;
        if (ReadCell(q, b)) {
          pos_ = q;
          Emit(MakeArea(a, b, sheet));
          return true;
        }
      }
      pos_ = p;
      Emit(MakeRef(a, sheet));
      return true;
    }
    // Whole columns: A:C, $C:$C.
    p = pos_;
    int c1, c2;
    bool r1, r2;
    if (ReadColumn(p, c1, r1) && p < s_.size() && s_[p] == ':') {
      std::size_t q = p + 1;
      if (ReadColumn(q, c2, r2) && EndsHere(q)) {
        pos_ = q;
        Token t = MakeArea(Point(1, false, c1, r1), Point(kMaxRow, false, c2, r2), sheet);
        t.wholeCols = true;
        Emit(t);
        return true;
      }
    }
    // Whole rows: 1:3, $2:$2.
    p = pos_;
    int w1, w2;
    if (ReadRow(p, w1, r1) && p < s_.size() && s_[p] == ':') {
      std::size_t q = p + 1;
      if (ReadRow(q, w2, r2) && EndsHere(q)) {
        pos_ = q;
        Token t = MakeArea(Point(w1, r1, 1, false), Point(w2, r2, kMaxCol, false), sheet);
        t.wholeRows = true;
        Emit(t);
        return true;
      }
    }
    return false;
  }

  void ParseCall(std::string_view name, int depth) {
    int argc = 0;
    std::string close;
    std::string ws = SkipSpaces();
    if (Peek() == ')') {
      ++pos_;
      close = ws;
    } else {
      pos_ -= ws.size();
      for (;;) {
        std::size_t save = pos_;
        std::string lead = SkipSpaces();
        if (Peek() == ',' || Peek() == ')') {
          EmitSpace(TokenKind::SpaceBefore, lead);
          Token m;
          m.kind = TokenKind::Missing;
          Emit(m);
        } else {
          pos_ = save;
          ParseExpr(0, depth + 1);
        }
        if (++argc > 255) Fail("A function has too many arguments.");
        std::string after = SkipSpaces();
        if (Peek() == ',') {
          EmitSpace(TokenKind::SpaceAfter, after);
          ++pos_;
          continue;
        }
        if (Peek() == ')') {
          ++pos_;
          close = after;
          break;
        }
        Fail("A \")\" is missing after the arguments of " + std::string(name) + ".");
      }
    }
    const FunctionInfo* info = FindFunction(name);
    if (info && (argc < info->minArgs || argc > info->maxArgs))
      Fail("Wrong number of arguments to " + std::string(info->name) + ".");
    EmitSpace(TokenKind::SpaceBeforeClose, close);
    Emit(MakeFuncByName(name, argc));
  }

  std::string_view s_;
  const Workbook& book_;
  [[maybe_unused]] std::uint32_t sheetId_;
  int row_, col_;
  std::size_t pos_ = 0;
  std::vector<Token> out_;
};

}  // namespace

std::vector<Token> ParseFormula(std::string_view text, const Workbook& book,
                                std::uint32_t sheetId, int row, int col) {
  if (text.empty()) throw EngineError(kErrFormulaSyntax, "The formula is empty.");
  return Parser(text, book, sheetId, row, col).Run();
}

}  // namespace engine::formula
