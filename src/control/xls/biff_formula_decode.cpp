// Tokens to formula text: an operand stack of texts, each with the precedence of its top
// operator so that the text never needs more parentheses than the tokens hold.
#include <charconv>
#include <cmath>

#include "control/formula/function_table.h"
#include "control/model/value.h"
#include "control/xls/biff_formula.h"
#include "control/xls/biff_functions.h"
#include "control/io/code_page.h"

namespace engine::xls {

std::string CellRefText(int row, int col, bool rowAbs, bool colAbs) {
  std::string s;
  if (colAbs) s.push_back('$');
  char letters[3];
  int n = 0;
  int c = col;
  do {
    letters[n++] = static_cast<char>('A' + c % 26);
    c = c / 26 - 1;
  } while (c >= 0 && n < 3);
  while (n) s.push_back(letters[--n]);
  if (rowAbs) s.push_back('$');
  s += std::to_string(row + 1);
  return s;
}

namespace {

std::string NumberText(double d) {
  if (!std::isfinite(d)) return "0";
  char buf[32];
  auto r = std::to_chars(buf, buf + sizeof buf, d);
  std::string s(buf, r.ptr);
  for (char& c : s)
    if (c == 'e') c = 'E';
  return s;
}

std::string StringLiteral(const std::string& s) {
  std::string out = "\"";
  for (char c : s) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
  return out;
}

struct Operand {
  std::string text;
  int prec = 100;  // 100: atom
};

class Decoder {
 public:
  Decoder(const std::uint8_t* p, std::size_t n, const std::uint8_t* extra, std::size_t extraN,
          const FormulaContext& ctx, int baseRow, int baseCol)
      : p_(p), n_(n), extra_(extra), extraN_(extraN), ctx_(ctx), baseRow_(baseRow),
        baseCol_(baseCol) {}

  DecodedFormula Run() {
    DecodedFormula out;
    if (n_ > 65535) return out;
    try {
      while (pos_ < n_) Step();
      if (stack_.size() != 1) return out;
      out.text = Listed(stack_.back());
      out.complete = complete_;
    } catch (const Bad&) {
      out.text.clear();
      out.complete = false;
    }
    return out;
  }

 private:
  struct Bad {};
  bool B8() const { return ctx_.version == BiffVersion::Biff8; }
  void Need(std::size_t k) const {
    if (k > n_ - pos_) throw Bad{};
  }
  std::uint8_t U8() {
    Need(1);
    return p_[pos_++];
  }
  std::uint16_t U16() {
    Need(2);
    pos_ += 2;
    return Get16(p_ + pos_ - 2);
  }
  void Skip(std::size_t k) {
    Need(k);
    pos_ += k;
  }
  Operand Pop() {
    if (stack_.empty()) throw Bad{};
    Operand o = std::move(stack_.back());
    stack_.pop_back();
    return o;
  }
  // Formulas hold at most 8,192 characters; longer decoded text comes from damaged tokens and
  // is refused before it can grow without bound.
  void Push(std::string text, int prec = 100) {
    if (text.size() > 8192) throw Bad{};
    stack_.push_back({std::move(text), prec});
  }
  // A union (the list operator ",") is written in parentheses where a comma would separate
  // arguments.
  static std::string Listed(const Operand& o) {
    return o.prec == kUnionPrec ? "(" + o.text + ")" : o.text;
  }
  static constexpr int kUnionPrec = 5;
  void Binary(const char* op, int prec) {
    Operand b = Pop(), a = Pop();
    // Left-associative: wrap the right side when it binds no tighter.
    std::string left = a.prec < prec ? "(" + a.text + ")" : a.text;
    std::string right = b.prec <= prec ? "(" + b.text + ")" : b.text;
    Push(left + op + right, prec);
  }

  // A cell reference's row and column fields, decoded relative to the base when asked.
  std::string Ref(unsigned rowField, unsigned colField, bool relativeToBase) {
    bool rowRel, colRel;
    int row, col;
    if (B8()) {
      rowRel = colField & 0x8000;
      colRel = colField & 0x4000;
      row = static_cast<int>(rowField);
      col = static_cast<int>(colField & 0xFF);
      if (relativeToBase) {
        if (rowRel) row = (baseRow_ + static_cast<std::int16_t>(rowField)) & 0xFFFF;
        if (colRel) col = (baseCol_ + static_cast<std::int8_t>(colField & 0xFF)) & 0xFF;
      }
    } else {
      rowRel = rowField & 0x8000;
      colRel = rowField & 0x4000;
      row = static_cast<int>(rowField & 0x3FFF);
      col = static_cast<int>(colField & 0xFF);
      if (relativeToBase) {
        if (rowRel) {
          int off = row & 0x2000 ? row - 0x4000 : row;
          row = (baseRow_ + off) & 0x3FFF;
        }
        if (colRel) col = (baseCol_ + static_cast<std::int8_t>(colField & 0xFF)) & 0xFF;
      }
    }
    return CellRefText(row, col, !rowRel, !colRel);
  }
  // Reads a reference (BIFF8: row u16, col u16; BIFF5: row u16, col u8).
  std::string ReadRef(bool relative) {
    unsigned r = U16();
    unsigned c = B8() ? U16() : U8();
    return Ref(r, c, relative);
  }
  std::string ReadArea(bool relative) {
    unsigned r1 = U16(), r2 = U16();
    unsigned c1 = B8() ? U16() : U8();
    unsigned c2 = B8() ? U16() : U8();
    std::string a = Ref(r1, c1, relative), b = Ref(r2, c2, relative);
    // Whole columns (A:C) and whole rows (2:3) read as such.
    unsigned rowMask = B8() ? 0xFFFF : 0x3FFF;
    unsigned lastRow = B8() ? 0xFFFF : 0x3FFF;
    bool rowsAbs = B8() ? !(c1 & 0x8000) && !(c2 & 0x8000) : !(r1 & 0x8000) && !(r2 & 0x8000);
    bool colsAbs = B8() ? !(c1 & 0x4000) && !(c2 & 0x4000) : !(r1 & 0x4000) && !(r2 & 0x4000);
    if (!relative && rowsAbs && (r1 & rowMask) == 0 && (r2 & rowMask) == lastRow)
      return Letters(a) + ":" + Letters(b);
    if (!relative && colsAbs && (c1 & 0xFF) == 0 && (c2 & 0xFF) == 0xFF)
      return Digits(a) + ":" + Digits(b);
    return a + ":" + b;
  }
  // The column part (with its $) or the row part of an A1 reference.
  static std::string Letters(const std::string& ref) {
    std::string out;
    for (std::size_t i = 0; i < ref.size(); ++i) {
      if (std::isalpha(static_cast<unsigned char>(ref[i])) || (ref[i] == '$' && i == 0)) out.push_back(ref[i]);
      else break;
    }
    return out;
  }
  static std::string Digits(const std::string& ref) {
    std::size_t i = 0;
    while (i < ref.size() && (std::isalpha(static_cast<unsigned char>(ref[i])) || (ref[i] == '$' && i == 0))) ++i;
    return ref.substr(i);
  }
  // Every cell and area reference token: 2-D or 3-D (a sheet prefix first), one cell or an
  // area, deleted (#REF!) or not, relative to the base cell (shared formulas) or not.
  void Reference(bool threeD, bool area, bool deleted, bool relative) {
    std::string prefix = threeD ? ReadSheetPrefix() : std::string();
    if (deleted) {
      Skip(area ? (B8() ? 8 : 6) : (B8() ? 4 : 3));
      Push(prefix + "#REF!");
      return;
    }
    Push(prefix + (area ? ReadArea(relative) : ReadRef(relative)));
  }
  // The sheet part of a 3-D reference: BIFF8 an EXTERNSHEET index; BIFF5 a link index and the
  // first and last sheet.
  std::string ReadSheetPrefix() {
    if (B8()) return SheetPrefixB8(U16());
    auto ixals = static_cast<std::int16_t>(U16());
    Skip(8);
    auto first = static_cast<std::int16_t>(U16());
    auto last = static_cast<std::int16_t>(U16());
    if (ixals >= 0) complete_ = false;  // another workbook
    return SheetPrefix(first, last);
  }
  void SkipMemAreaData() {
    if (extraN_ - xpos_ < 2) return;
    std::size_t count = Get16(extra_ + xpos_);
    std::size_t size = 2 + count * (B8() ? 8 : 6);
    xpos_ += std::min(size, extraN_ - xpos_);
  }
  std::string SheetPrefixB8(unsigned ixti) {
    if (ixti >= ctx_.externSheets.size()) throw Bad{};
    const auto& x = ctx_.externSheets[ixti];
    if (!x.internal) complete_ = false;
    return SheetPrefix(x.first, x.last);
  }
  std::string SheetPrefix(int first, int last) {
    auto name = [&](int i) -> std::string {
      if (i < 0 || i >= static_cast<int>(ctx_.sheetNames.size())) {
        complete_ = false;
        return "#REF";
      }
      return ctx_.sheetNames[static_cast<std::size_t>(i)];
    };
    if (first < 0) {
      complete_ = false;
      return "#REF!";
    }
    if (last == first || last < 0) return QuoteSheetName(name(first)) + "!";
    std::string both = name(first) + ":" + name(last);
    std::string q = QuoteSheetName(name(first)), q2 = QuoteSheetName(name(last));
    if (q == name(first) && q2 == name(last)) return both + "!";
    return QuoteSheetName(both) + "!";
  }
  std::string ReadString8() {
    std::size_t count = U8();
    if (!B8()) {
      Need(count);
      std::string s = DecodeCodePage(ctx_.codePage, p_ + pos_, count);
      pos_ += count;
      return s;
    }
    std::uint8_t flags = U8();
    if (flags & 1) {
      Need(2 * count);
      std::u16string w;
      for (std::size_t i = 0; i < count; ++i) w.push_back(static_cast<char16_t>(Get16(p_ + pos_ + 2 * i)));
      pos_ += 2 * count;
      return Utf16ToUtf8(w.data(), w.size());
    }
    Need(count);
    std::u16string w(p_ + pos_, p_ + pos_ + count);
    pos_ += count;
    return Utf16ToUtf8(w.data(), w.size());
  }
  std::string ArrayConstant() {
    // The constant's data follows the tokens.
    auto need = [&](std::size_t k) {
      if (k > extraN_ - xpos_) throw Bad{};
    };
    need(B8() ? 3 : 3);
    unsigned cols = extra_[xpos_] + 1u;
    unsigned rows = Get16(extra_ + xpos_ + 1) + 1u;
    if (!B8() && cols == 1 && extra_[xpos_] == 0) cols = 256;
    xpos_ += 3;
    std::string out = "{";
    for (unsigned r = 0; r < rows; ++r) {
      if (r) out.push_back(';');
      for (unsigned c = 0; c < cols; ++c) {
        if (c) out.push_back(',');
        need(1);
        std::uint8_t type = extra_[xpos_++];
        switch (type) {
          case 0x00: need(8); xpos_ += 8; break;
          case 0x01: need(8); out += NumberText(GetDouble(extra_ + xpos_)); xpos_ += 8; break;
          case 0x02: {
            std::size_t len;
            std::string s;
            if (B8()) {
              need(3);
              len = Get16(extra_ + xpos_);
              std::uint8_t flags = extra_[xpos_ + 2];
              xpos_ += 3;
              std::u16string w;
              if (flags & 1) {
                need(2 * len);
                for (std::size_t i = 0; i < len; ++i) w.push_back(static_cast<char16_t>(Get16(extra_ + xpos_ + 2 * i)));
                xpos_ += 2 * len;
              } else {
                need(len);
                w.assign(extra_ + xpos_, extra_ + xpos_ + len);
                xpos_ += len;
              }
              s = Utf16ToUtf8(w.data(), w.size());
            } else {
              need(1);
              len = extra_[xpos_++];
              need(len);
              s = DecodeCodePage(ctx_.codePage, extra_ + xpos_, len);
              xpos_ += len;
            }
            out += StringLiteral(s);
            break;
          }
          case 0x04: need(8); out += extra_[xpos_] ? "TRUE" : "FALSE"; xpos_ += 8; break;
          case 0x10: need(8); out += ErrorText(static_cast<ErrorValue>(extra_[xpos_])); xpos_ += 8; break;
          default: throw Bad{};
        }
      }
    }
    return out + "}";
  }
  void Function(int index, int argc) {
    if (argc < 0 || static_cast<std::size_t>(argc) > stack_.size()) throw Bad{};
    std::vector<Operand> args(stack_.end() - argc, stack_.end());
    stack_.resize(stack_.size() - static_cast<std::size_t>(argc));
    std::string name;
    std::size_t first = 0;
    if (index == 255) {  // an add-in or macro function: its name is the first argument
      if (args.empty()) throw Bad{};
      name = args[0].text;
      first = 1;
      // A function newer than the form ("_xlfn.COUNTIFS") that the engine computes is called
      // by its own name; other add-ins cannot be expressed.
      std::string_view plain(name);
      bool future = plain.size() > kFutureFunctionPrefix.size() &&
                    std::equal(kFutureFunctionPrefix.begin(), kFutureFunctionPrefix.end(),
                               plain.begin(), [](char a, char b) {
                                 return std::tolower(static_cast<unsigned char>(a)) ==
                                        std::tolower(static_cast<unsigned char>(b));
                               });
      if (future && formula::FindFunction(plain.substr(kFutureFunctionPrefix.size())))
        name = name.substr(kFutureFunctionPrefix.size());
      else
        complete_ = false;
    } else if (const BiffFunction* f = FunctionByIndex(index)) {
      name = f->name;
    } else {
      name = "_F" + std::to_string(index);
      complete_ = false;
    }
    std::string text = name + "(";
    for (std::size_t i = first; i < args.size(); ++i) {
      if (i > first) text.push_back(',');
      text += Listed(args[i]);
    }
    Push(text + ")");
  }

  void Step() {
    std::uint8_t ptg = U8();
    std::uint8_t base = ptg < 0x20 ? ptg : static_cast<std::uint8_t>((ptg & 0x1F) | 0x20);
    switch (base) {
      case 0x01: case 0x02: throw Bad{};  // shared/table markers are resolved by the caller
      case 0x03: Binary("+", 30); break;
      case 0x04: Binary("-", 30); break;
      case 0x05: Binary("*", 40); break;
      case 0x06: Binary("/", 40); break;
      case 0x07: Binary("^", 50); break;
      case 0x08: Binary("&", 20); break;
      case 0x09: Binary("<", 10); break;
      case 0x0A: Binary("<=", 10); break;
      case 0x0B: Binary("=", 10); break;
      case 0x0C: Binary(">=", 10); break;
      case 0x0D: Binary(">", 10); break;
      case 0x0E: Binary("<>", 10); break;
      case 0x0F: Binary(" ", 80); break;
      case 0x10:
        Binary(",", kUnionPrec);
        break;
      case 0x11: Binary(":", 90); break;
      case 0x12: { Operand a = Pop(); Push("+" + (a.prec < 60 ? "(" + a.text + ")" : a.text), 60); break; }
      case 0x13: { Operand a = Pop(); Push("-" + (a.prec < 60 ? "(" + a.text + ")" : a.text), 60); break; }
      case 0x14: { Operand a = Pop(); Push((a.prec < 70 ? "(" + a.text + ")" : a.text) + "%", 70); break; }
      case 0x15: { Operand a = Pop(); Push("(" + a.text + ")"); break; }
      case 0x16: Push(""); break;
      case 0x17: Push(StringLiteral(ReadString8())); break;
      case 0x18: throw Bad{};
      case 0x19: {
        std::uint8_t flags = U8();
        unsigned data = U16();
        if (flags & 0x04) Skip(2 * (static_cast<std::size_t>(data) + 1));  // CHOOSE jump table
        if (flags & 0x10) {  // SUM of the one operand
          Operand a = Pop();
          Push("SUM(" + a.text + ")");
        }
        break;
      }
      case 0x1C: Push(ErrorText(static_cast<ErrorValue>(U8()))); break;
      case 0x1D: Push(U8() ? "TRUE" : "FALSE"); break;
      case 0x1E: Push(std::to_string(U16())); break;
      case 0x1F: {
        Need(8);
        double d = GetDouble(p_ + pos_);
        pos_ += 8;
        Push(NumberText(d));
        break;
      }
      case 0x20: Skip(B8() ? 7 : 7); Push(ArrayConstant()); break;
      case 0x21: {
        int index = B8() ? U16() : U16();
        const BiffFunction* f = FunctionByIndex(index);
        if (!f || f->minArgs != f->maxArgs) throw Bad{};
        Function(index, f->minArgs);
        break;
      }
      case 0x22: {
        int argc = U8() & 0x7F;
        int index = U16() & 0x7FFF;
        Function(index, argc);
        break;
      }
      case 0x23: {
        unsigned index = U16();
        Skip(B8() ? 2 : 12);
        if (index == 0 || index > ctx_.names.size()) throw Bad{};
        Push(ctx_.names[index - 1]);
        break;
      }
      case 0x24:
        Reference(false, false, false, false);
        break;
      case 0x25:
        Reference(false, true, false, false);
        break;
      case 0x26:  // ptgMemArea: its rectangles lie among the constant data after the tokens
        Skip(6);
        SkipMemAreaData();
        break;
      case 0x27:
      case 0x28:
        Skip(6);
        break;  // ptgMemErr, ptgMemNoMem
      case 0x29:
      case 0x2E:
      case 0x2F:
        Skip(2);
        break;  // ptgMemFunc, ptgMemAreaN, ptgMemNoMemN
      case 0x2A:
        Reference(false, false, true, false);
        break;
      case 0x2B:
        Reference(false, true, true, false);
        break;
      case 0x2C:
        Reference(false, false, false, true);
        break;
      case 0x2D:
        Reference(false, true, false, true);
        break;
      case 0x39: {
        std::string name;
        if (B8()) {
          unsigned ixti = U16(), index = U16();
          Skip(2);
          if (ixti < ctx_.externSheets.size() && ctx_.externSheets[ixti].internal) {
            if (index == 0 || index > ctx_.names.size()) throw Bad{};
            name = ctx_.names[index - 1];
          } else {
            int sb = ixti < ctx_.externSheets.size() ? ctx_.externSheets[ixti].supBook : -1;
            if (sb < 0 || sb >= static_cast<int>(ctx_.externNames.size()) || index == 0 ||
                index > ctx_.externNames[static_cast<std::size_t>(sb)].size())
              throw Bad{};
            name = ctx_.externNames[static_cast<std::size_t>(sb)][index - 1];
            complete_ = false;
          }
        } else {
          auto ixals = static_cast<std::int16_t>(U16());
          Skip(8);
          unsigned index = U16();
          Skip(12);
          std::size_t sheet = static_cast<std::size_t>(ixals < 0 ? -ixals : ixals);
          if (sheet >= 1 && sheet <= ctx_.externNames.size() &&
              index >= 1 && index <= ctx_.externNames[sheet - 1].size()) {
            name = ctx_.externNames[sheet - 1][index - 1];
            complete_ = false;
          } else if (index >= 1 && index <= ctx_.names.size()) {
            name = ctx_.names[index - 1];
          } else {
            throw Bad{};
          }
        }
        Push(name);
        break;
      }
      case 0x3A:
        Reference(true, false, false, false);
        break;
      case 0x3B:
        Reference(true, true, false, false);
        break;
      case 0x3C:
        Reference(true, false, true, false);
        break;
      case 0x3D:
        Reference(true, true, true, false);
        break;
      default: throw Bad{};
    }
  }

  const std::uint8_t* p_;
  std::size_t n_;
  std::size_t pos_ = 0;
  const std::uint8_t* extra_;
  std::size_t extraN_;
  std::size_t xpos_ = 0;
  const FormulaContext& ctx_;
  int baseRow_, baseCol_;
  std::vector<Operand> stack_;
  bool complete_ = true;
};

}  // namespace

DecodedFormula DecodeFormula(const std::uint8_t* tokens, std::size_t size,
                             const std::uint8_t* extra, std::size_t extraSize,
                             const FormulaContext& context, int baseRow, int baseCol) {
  return Decoder(tokens, size, extra, extraSize, context, baseRow, baseCol).Run();
}

}  // namespace engine::xls
