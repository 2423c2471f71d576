// Canonical text of a parsed formula, regenerated from its tokens at a cell's position.
#include <cctype>
#include <algorithm>
#include <cstdio>

#include "control/formula/function_table.h"
#include "control/formula/parser.h"
#include "control/model/sheet.h"
#include "control/model/workbook.h"

namespace engine::formula {

std::string ColumnName(int col) {
  std::string s;
  for (int c = col; c > 0; c = (c - 1) / 26) s.insert(s.begin(), char('A' + (c - 1) % 26));
  return s;
}

std::string NumberLiteral(double n) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%.15g", n);
  std::string s(buf);
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

namespace {
bool EqualsIgnoringCase(const std::string& a, const char* b) {
  std::size_t i = 0;
  for (; i < a.size() && b[i]; ++i)
    if (std::toupper(static_cast<unsigned char>(a[i])) != b[i]) return false;
  return i == a.size() && b[i] == 0;
}
}  // namespace

std::string QuoteSheetName(const std::string& name) {
  bool plain = !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0]));
  for (unsigned char c : name)
    if (!(std::isalnum(c) || c == '_' || c >= 0x80)) plain = false;
  if (plain) {
    // A name that reads as a cell reference must be quoted too.
    std::size_t i = 0;
    while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i]))) ++i;
    std::size_t letters = i;
    while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
    if (i == name.size() && letters >= 1 && letters <= 3 && i > letters) plain = false;
    // So must a name that reads as a logical, in any case.
    if (EqualsIgnoringCase(name, "TRUE") || EqualsIgnoringCase(name, "FALSE")) plain = false;
  }
  if (plain) return name;
  std::string out = "'";
  for (char c : name) {
    out += c;
    if (c == '\'') out += '\'';
  }
  return out + "'";
}

namespace {

const char* Symbol(TokenKind k) {
  switch (k) {
    case TokenKind::Add: return "+";
    case TokenKind::Sub: return "-";
    case TokenKind::Mul: return "*";
    case TokenKind::Div: return "/";
    case TokenKind::Power: return "^";
    case TokenKind::Concat: return "&";
    case TokenKind::Lt: return "<";
    case TokenKind::Le: return "<=";
    case TokenKind::Eq: return "=";
    case TokenKind::Ge: return ">=";
    case TokenKind::Gt: return ">";
    case TokenKind::Ne: return "<>";
    case TokenKind::Intersect: return " ";
    case TokenKind::Union: return ",";
    case TokenKind::Range: return ":";
    default: return "";
  }
}

std::string PointText(const RefPoint& p, int row, int col, bool withRow, bool withCol) {
  int r = p.rowRel ? row + p.row : p.row;
  int c = p.colRel ? col + p.col : p.col;
  if ((withRow && (r < 1 || r > kMaxRow)) || (withCol && (c < 1 || c > kMaxCol))) return {};
  std::string s;
  if (withCol) {
    if (!p.colRel) s += '$';
    s += ColumnName(c);
  }
  if (withRow) {
    if (!p.rowRel) s += '$';
    s += std::to_string(r);
  }
  return s;
}

std::string ReferenceText(const Token& t, const Workbook& book, int row, int col) {
  std::string prefix;
  if (t.sheet != 0) {
    const Sheet* s = t.sheetGone ? nullptr : book.SheetById(t.sheet);
    if (!s) return "#REF!";
    prefix = QuoteSheetName(s->Name()) + "!";
    if (t.sheet2 != 0) {
      const Sheet* last = book.SheetById(t.sheet2);
      if (!last) return "#REF!";
      // First:Last!, quoted as one when either name needs quotes.
      const std::string& a = s->Name();
      const std::string& b = last->Name();
      prefix = (QuoteSheetName(a) == a && QuoteSheetName(b) == b ? a + ":" + b
                                                                 : QuoteSheetName(a + ":" + b)) +
               "!";
    }
  }
  if (t.kind == TokenKind::RefError) return prefix + "#REF!";
  if (t.kind == TokenKind::Ref) {
    std::string a = PointText(t.a, row, col, true, true);
    return a.empty() ? "#REF!" : prefix + a;
  }
  bool withRow = !t.wholeCols, withCol = !t.wholeRows;
  std::string a = PointText(t.a, row, col, withRow, withCol);
  std::string b = PointText(t.b, row, col, withRow, withCol);
  if (a.empty() || b.empty()) return "#REF!";
  return prefix + a + ":" + b;
}

std::string OperandText(const Token& t, const Workbook& book, std::uint32_t sheetId, int row,
                        int col) {
  switch (t.kind) {
    case TokenKind::Number:
      return NumberLiteral(t.number);
    case TokenKind::String: {
      std::string s = "\"";
      for (char c : t.text) {
        s += c;
        if (c == '"') s += '"';
      }
      return s + "\"";
    }
    case TokenKind::Bool:
      return t.logical ? "TRUE" : "FALSE";
    case TokenKind::Error:
      return ErrorText(t.error);
    case TokenKind::Missing:
      return {};
    case TokenKind::Name: {
      const DefinedName* n = book.FindName(t.text, sheetId);
      return n ? n->name : t.text;
    }
    default:
      return ReferenceText(t, book, row, col);
  }
}

std::string Pop(std::vector<std::string>& stack) {
  if (stack.empty()) return {};
  std::string s = std::move(stack.back());
  stack.pop_back();
  return s;
}

}  // namespace

std::string FormulaText(const std::vector<Token>& tokens, const Workbook& book,
                        std::uint32_t sheetId, int row, int col) {
  std::vector<std::string> stack;
  std::string before, close;
  for (const Token& t : tokens) {
    switch (t.kind) {
      case TokenKind::SpaceBefore:
        before += t.text;
        continue;
      case TokenKind::SpaceBeforeClose:
        close += t.text;
        continue;
      case TokenKind::SpaceAfter:
        if (!stack.empty()) stack.back() += t.text;
        continue;
      default:
        break;
    }
    if (t.IsOperand()) {
      stack.push_back(before + OperandText(t, book, sheetId, row, col));
    } else if (t.IsBinary()) {
      std::string r = Pop(stack), l = Pop(stack);
      stack.push_back(l + before + Symbol(t.kind) + r);
    } else if (t.kind == TokenKind::Plus || t.kind == TokenKind::Minus) {
      std::string x = Pop(stack);
      stack.push_back(before + (t.kind == TokenKind::Minus ? "-" : "+") + x);
    } else if (t.kind == TokenKind::Percent) {
      std::string x = Pop(stack);
      stack.push_back(x + before + "%");
    } else if (t.kind == TokenKind::Paren) {
      std::string x = Pop(stack);
      stack.push_back(before + "(" + x + close + ")");
    } else if (t.kind == TokenKind::Func) {
      std::size_t n = std::min<std::size_t>(t.argc, stack.size());
      std::string args;
      for (std::size_t i = stack.size() - n; i < stack.size(); ++i) {
        if (i > stack.size() - n) args += ',';
        args += stack[i];
      }
      stack.resize(stack.size() - n);
      std::string name = t.text;
      if (name.empty())
        if (const FunctionInfo* f = FindFunction(t.func)) name = f->name;
      stack.push_back(before + name + "(" + args + close + ")");
    }
    before.clear();
    close.clear();
  }
  std::string out;
  for (auto& s : stack) out += s;
  return out;
}

}  // namespace engine::formula
