// Formula text to tokens: a recursive-descent parser over Excel's operator precedence that
// emits reverse Polish tokens as it goes. It covers what the formula engine writes: numbers,
// strings, logicals, errors, cell and area references with sheets, defined names, function
// calls, array constants and every operator, union and intersection included, and references
// over a range of sheets.
#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstring>

#include "control/model/value.h"
#include "control/xls/biff_formula.h"
#include "control/xls/biff_functions.h"
#include "control/io/code_page.h"

namespace engine::xls {

namespace {

struct Fail {};

class Encoder {
 public:
  Encoder(std::string_view text, EncodeContext& ctx, Bytes& tokens, Bytes& extra)
      : s_(text), ctx_(ctx), t_(tokens), x_(extra) {}

  void Run() {
    Comparison(false);
    Space();
    if (i_ != s_.size()) throw Fail{};
  }

 private:
  bool B8() const { return ctx_.version == BiffVersion::Biff8; }
  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r')) ++i_;
  }
  bool Eat(std::string_view op) {
    Space();
    if (s_.substr(i_, op.size()) == op) {
      i_ += op.size();
      return true;
    }
    return false;
  }
  char Peek() {
    Space();
    return i_ < s_.size() ? s_[i_] : '\0';
  }

  void Comparison(bool arg) {
    Concat(arg);
    for (;;) {
      std::uint8_t op;
      if (Eat("<>")) op = 0x0E;
      else if (Eat("<=")) op = 0x0A;
      else if (Eat(">=")) op = 0x0C;
      else if (Eat("<")) op = 0x09;
      else if (Eat(">")) op = 0x0D;
      else if (Eat("=")) op = 0x0B;
      else return;
      Concat(arg);
      Put8(t_, op);
    }
  }
  void Concat(bool arg) {
    Additive(arg);
    while (Eat("&")) {
      Additive(arg);
      Put8(t_, 0x08);
    }
  }
  void Additive(bool arg) {
    Multiplicative(arg);
    for (;;) {
      if (Eat("+")) {
        Multiplicative(arg);
        Put8(t_, 0x03);
      } else if (Eat("-")) {
        Multiplicative(arg);
        Put8(t_, 0x04);
      } else {
        return;
      }
    }
  }
  void Multiplicative(bool arg) {
    Power(arg);
    for (;;) {
      if (Eat("*")) {
        Power(arg);
        Put8(t_, 0x05);
      } else if (Eat("/")) {
        Power(arg);
        Put8(t_, 0x06);
      } else {
        return;
      }
    }
  }
  void Power(bool arg) {
    Percent(arg);
    while (Eat("^")) {
      Percent(arg);
      Put8(t_, 0x07);
    }
  }
  void Percent(bool arg) {
    Unary(arg);
    while (Eat("%")) Put8(t_, 0x14);
  }
  void Unary(bool arg) {
    if (Eat("-")) {
      Unary(arg);
      Put8(t_, 0x13);
    } else if (Eat("+")) {
      Unary(arg);
      Put8(t_, 0x12);
    } else {
      Intersection(arg);
    }
  }

  // The reference operators, tighter than any other: intersection (a space between two
  // operands) over range (":" between operands that are not one area).
  void Intersection(bool arg) {
    std::size_t mark = t_.size();
    Range(arg);
    for (;;) {
      std::size_t k = i_;
      while (k < s_.size() && s_[k] == ' ') ++k;
      if (k == i_ || k >= s_.size() || !OperandStart(s_[k])) return;
      AsReference(mark);
      i_ = k;
      Range(true);
      Put8(t_, 0x0F);
    }
  }
  void Range(bool arg) {
    std::size_t mark = t_.size();
    Primary(arg);
    while (i_ < s_.size() && s_[i_] == ':') {
      AsReference(mark);
      ++i_;
      Primary(true);
      Put8(t_, 0x11);
    }
  }
  static bool OperandStart(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return std::isalnum(u) || c == '$' || c == '\'' || c == '(' || c == '_' || u >= 0x80;
  }
  // An operand of a reference operator is a reference, not the value in it: a reference or
  // name token written at `mark` in the value class gets the reference class.
  void AsReference(std::size_t mark) {
    if (mark >= t_.size()) return;
    std::uint8_t& ptg = t_[mark];
    std::uint8_t base = ptg & 0x1F;
    bool reference = base == 0x03 || base == 0x04 || base == 0x05 || base == 0x1A || base == 0x1B;
    if (ptg >= 0x20 && reference) ptg = static_cast<std::uint8_t>(base | 0x20);
  }
  // Is there a "," at this parenthesis level before its ")"? Then the parentheses hold a union.
  bool UnionAhead() const {
    int depth = 0;
    bool quoted = false, apostrophe = false;
    for (std::size_t k = i_; k < s_.size(); ++k) {
      char c = s_[k];
      if (quoted) {
        if (c == '"') quoted = false;
        continue;
      }
      if (apostrophe) {
        if (c == '\'') apostrophe = false;
        continue;
      }
      if (c == '"')
        quoted = true;
      else if (c == '\'')
        apostrophe = true;
      else if (c == '(' || c == '{')
        ++depth;
      else if (c == ')' || c == '}') {
        if (depth-- == 0) return false;
      } else if (c == ',' && depth == 0) {
        return true;
      }
    }
    return false;
  }

  void Primary(bool arg) {
    char c = Peek();
    if (c == '(') {
      ++i_;
      bool isUnion = UnionAhead();
      Comparison(arg || isUnion);
      while (isUnion && Eat(",")) {
        Comparison(true);
        Put8(t_, 0x10);
      }
      if (!Eat(")")) throw Fail{};
      Put8(t_, 0x15);
      return;
    }
    if (c == '"') {
      std::string str = StringLiteral();
      Put8(t_, 0x17);
      PutString8(t_, str);
      return;
    }
    if (c == '#') {
      ErrorValue e;
      for (const char* name : {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"}) {
        std::size_t n = std::strlen(name);
        if (s_.size() - i_ >= n && ParseErrorText(s_.substr(i_, n), e)) {
          i_ += n;
          Put8(t_, 0x1C);
          Put8(t_, static_cast<unsigned>(e));
          return;
        }
      }
      throw Fail{};
    }
    if (c == '{') {
      ArrayConstant();
      return;
    }
    if ((c >= '0' && c <= '9') || c == '.') {
      // A number, unless it is a row range (1:3).
      std::size_t save = i_;
      if (RowOrColumnRange(arg, -1, -1)) return;
      i_ = save;
      Number();
      return;
    }
    Reference(arg);
  }

  std::string StringLiteral() {
    std::string out;
    ++i_;
    for (;;) {
      if (i_ >= s_.size()) throw Fail{};
      char c = s_[i_++];
      if (c == '"') {
        if (i_ < s_.size() && s_[i_] == '"') {
          out.push_back('"');
          ++i_;
          continue;
        }
        return out;
      }
      out.push_back(c);
    }
  }
  void PutString8(Bytes& b, const std::string& str) {
    if (B8()) {
      std::u16string w = Utf8ToUtf16(str);
      if (w.size() > 255) throw Fail{};
      Put8(b, static_cast<unsigned>(w.size()));
      bool wide = false;
      for (char16_t ch : w) wide |= ch > 0xFF;
      Put8(b, wide ? 1 : 0);
      for (char16_t ch : w) {
        if (wide) Put16(b, ch);
        else Put8(b, ch);
      }
    } else {
      std::string bytes = EncodeCodePage(ctx_.codePage, str);
      if (bytes.size() > 255) throw Fail{};
      Put8(b, static_cast<unsigned>(bytes.size()));
      b.insert(b.end(), bytes.begin(), bytes.end());
    }
  }
  double ReadNumber() {
    std::size_t start = i_;
    while (i_ < s_.size() && (std::isdigit(static_cast<unsigned char>(s_[i_])) || s_[i_] == '.')) ++i_;
    if (i_ < s_.size() && (s_[i_] == 'E' || s_[i_] == 'e')) {
      std::size_t save = i_++;
      if (i_ < s_.size() && (s_[i_] == '+' || s_[i_] == '-')) ++i_;
      if (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) {
        while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
      } else {
        i_ = save;
      }
    }
    double d = 0;
    auto r = std::from_chars(s_.data() + start, s_.data() + i_, d);
    if (r.ec != std::errc() || r.ptr != s_.data() + i_ || !std::isfinite(d)) throw Fail{};
    return d;
  }
  void Number() {
    double d = ReadNumber();
    if (d == std::floor(d) && d >= 0 && d <= 65535) {
      Put8(t_, 0x1E);
      Put16(t_, static_cast<unsigned>(d));
    } else {
      Put8(t_, 0x1F);
      PutDouble(t_, d);
    }
  }

  void ArrayConstant() {
    ++i_;
    std::vector<std::vector<Bytes>> rows(1);
    for (;;) {
      Bytes v;
      Space();
      bool neg = false;
      if (Eat("-")) neg = true;
      char c = Peek();
      if (c == '"') {
        std::string str = StringLiteral();
        Put8(v, 0x02);
        if (B8()) {
          std::u16string w = Utf8ToUtf16(str);
          Put16(v, static_cast<unsigned>(w.size()));
          Put8(v, 1);
          for (char16_t ch : w) Put16(v, ch);
        } else {
          std::string bytes = EncodeCodePage(ctx_.codePage, str);
          if (bytes.size() > 255) throw Fail{};
          Put8(v, static_cast<unsigned>(bytes.size()));
          v.insert(v.end(), bytes.begin(), bytes.end());
        }
      } else if ((c >= '0' && c <= '9') || c == '.') {
        double d = ReadNumber();
        Put8(v, 0x01);
        PutDouble(v, neg ? -d : d);
      } else if (Word("TRUE") || Word("FALSE")) {
        Put8(v, 0x04);
        Put8(v, s_[i_ - 1] == 'E' && s_[i_ - 2] == 'U' ? 1 : 0);
        for (int k = 0; k < 7; ++k) Put8(v, 0);
      } else if (c == '#') {
        ErrorValue e;
        bool found = false;
        for (const char* name : {"#NULL!", "#DIV/0!", "#VALUE!", "#REF!", "#NAME?", "#NUM!", "#N/A"}) {
          std::size_t n = std::strlen(name);
          if (s_.size() - i_ >= n && ParseErrorText(s_.substr(i_, n), e)) {
            i_ += n;
            found = true;
            break;
          }
        }
        if (!found) throw Fail{};
        Put8(v, 0x10);
        Put8(v, static_cast<unsigned>(e));
        for (int k = 0; k < 7; ++k) Put8(v, 0);
      } else {
        throw Fail{};
      }
      if (neg && v[0] != 0x01) throw Fail{};
      rows.back().push_back(std::move(v));
      if (Eat(",")) continue;
      if (Eat(";")) {
        rows.emplace_back();
        continue;
      }
      if (Eat("}")) break;
      throw Fail{};
    }
    std::size_t cols = rows[0].size();
    for (const auto& r : rows)
      if (r.size() != cols) throw Fail{};
    if (cols == 0 || cols > 256 || rows.size() > 65535) throw Fail{};
    Put8(t_, 0x60);
    for (int k = 0; k < 7; ++k) Put8(t_, 0);
    Put8(x_, static_cast<unsigned>(cols - 1));
    Put16(x_, static_cast<unsigned>(rows.size() - 1));
    for (const auto& r : rows)
      for (const auto& v : r) x_.insert(x_.end(), v.begin(), v.end());
  }

  bool Word(std::string_view w) {
    Space();
    if (s_.size() - i_ < w.size()) return false;
    for (std::size_t k = 0; k < w.size(); ++k)
      if (std::toupper(static_cast<unsigned char>(s_[i_ + k])) != w[k]) return false;
    std::size_t end = i_ + w.size();
    if (end < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[end])) || s_[end] == '_'))
      return false;
    i_ = end;
    return true;
  }

  // [$]letters[$]digits at i_; false (i_ unchanged) when not there.
  bool CellRef(int& row, int& col, bool& rowAbs, bool& colAbs) {
    std::size_t save = i_;
    colAbs = i_ < s_.size() && s_[i_] == '$';
    if (colAbs) ++i_;
    int c = 0, letters = 0;
    while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_])) && letters < 4) {
      c = c * 26 + (std::toupper(static_cast<unsigned char>(s_[i_])) - 'A' + 1);
      ++i_;
      ++letters;
    }
    rowAbs = i_ < s_.size() && s_[i_] == '$';
    if (rowAbs) ++i_;
    int r = 0, digits = 0;
    while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_])) && digits < 7) {
      r = r * 10 + (s_[i_] - '0');
      ++i_;
      ++digits;
    }
    bool after = i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) ||
                                     s_[i_] == '_' || s_[i_] == '(' || s_[i_] == '.');
    if (!letters || !digits || letters > 3 || c > 256 || r < 1 || r > 65536 || after) {
      i_ = save;
      return false;
    }
    row = r - 1;
    col = c - 1;
    return true;
  }

  void PutRefFields(int row, int col, bool rowAbs, bool colAbs) {
    if (B8()) {
      Put16(t_, static_cast<unsigned>(row));
      Put16(t_, static_cast<unsigned>(col) | (rowAbs ? 0 : 0x8000) | (colAbs ? 0 : 0x4000));
    } else {
      if (row >= 0x4000) throw Fail{};
      Put16(t_, static_cast<unsigned>(row) | (rowAbs ? 0 : 0x8000) | (colAbs ? 0 : 0x4000));
      Put8(t_, static_cast<unsigned>(col));
    }
  }
  void PutAreaFields(int r1, int c1, bool ra1, bool ca1, int r2, int c2, bool ra2, bool ca2) {
    if (B8()) {
      Put16(t_, static_cast<unsigned>(r1));
      Put16(t_, static_cast<unsigned>(r2));
      Put16(t_, static_cast<unsigned>(c1) | (ra1 ? 0 : 0x8000) | (ca1 ? 0 : 0x4000));
      Put16(t_, static_cast<unsigned>(c2) | (ra2 ? 0 : 0x8000) | (ca2 ? 0 : 0x4000));
    } else {
      if (ctx_.clipAreaRows && r1 < 0x4000 && r2 >= 0x4000) r2 = 0x3FFF;
      if (r1 >= 0x4000 || r2 >= 0x4000) throw Fail{};
      Put16(t_, static_cast<unsigned>(r1) | (ra1 ? 0 : 0x8000) | (ca1 ? 0 : 0x4000));
      Put16(t_, static_cast<unsigned>(r2) | (ra2 ? 0 : 0x8000) | (ca2 ? 0 : 0x4000));
      Put8(t_, static_cast<unsigned>(c1));
      Put8(t_, static_cast<unsigned>(c2));
    }
  }
  // A sheet, or a range of sheets first … last (last -1: one sheet).
  void PutSheet(int sheet, int last) {
    ctx_.usedExternSheet = true;
    if (last < 0) last = sheet;
    if (B8()) {
      unsigned ixti = static_cast<unsigned>(sheet);
      if (last != sheet) {
        // Ranges have EXTERNSHEET entries of their own after the one per sheet.
        auto it = std::find(ctx_.sheetRanges.begin(), ctx_.sheetRanges.end(),
                            std::make_pair(sheet, last));
        if (it == ctx_.sheetRanges.end()) throw Fail{};
        ixti = static_cast<unsigned>(ctx_.sheetNames.size()) +
               static_cast<unsigned>(it - ctx_.sheetRanges.begin());
      }
      Put16(t_, ixti);
    } else {
      Put16(t_, static_cast<unsigned>(static_cast<std::uint16_t>(-(sheet + 1))));
      for (int k = 0; k < 8; ++k) Put8(t_, 0);
      Put16(t_, static_cast<unsigned>(sheet));
      Put16(t_, static_cast<unsigned>(last));
    }
  }
  void EmitRef(bool arg, int sheet, int row, int col, bool ra, bool ca) {
    unsigned cls = arg ? 0x20 : 0x40;
    if (sheet >= 0) {
      Put8(t_, cls | 0x1A);
      PutSheet(sheet, lastSheet_);
    } else {
      Put8(t_, cls | 0x04);
    }
    PutRefFields(row, col, ra, ca);
  }
  void EmitArea(bool arg, int sheet, int r1, int c1, bool ra1, bool ca1, int r2, int c2, bool ra2,
                bool ca2) {
    unsigned cls = arg ? 0x20 : 0x40;
    if (sheet >= 0) {
      Put8(t_, cls | 0x1B);
      PutSheet(sheet, lastSheet_);
    } else {
      Put8(t_, cls | 0x05);
    }
    PutAreaFields(std::min(r1, r2), std::min(c1, c2), ra1, ca1, std::max(r1, r2), std::max(c1, c2),
                  ra2, ca2);
  }

  // Whole rows (1:3) or whole columns (A:C), after an optional sheet prefix.
  bool RowOrColumnRange(bool arg, int sheet, int) {
    std::size_t save = i_;
    auto part = [&](bool rows, int& v, bool& abs) {
      abs = i_ < s_.size() && s_[i_] == '$';
      if (abs) ++i_;
      int n = 0, k = 0;
      while (i_ < s_.size() && (rows ? std::isdigit(static_cast<unsigned char>(s_[i_]))
                                     : std::isalpha(static_cast<unsigned char>(s_[i_]))) && k < 6) {
        n = rows ? n * 10 + (s_[i_] - '0')
                 : n * 26 + (std::toupper(static_cast<unsigned char>(s_[i_])) - 'A' + 1);
        ++i_;
        ++k;
      }
      v = n - 1;
      return k > 0 && n >= 1 && n <= (rows ? 65536 : 256);
    };
    for (bool rows : {true, false}) {
      i_ = save;
      int a, b;
      bool aa, ba;
      if (!part(rows, a, aa)) continue;
      if (i_ >= s_.size() || s_[i_] != ':') continue;
      ++i_;
      if (!part(rows, b, ba)) continue;
      if (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '(')) continue;
      if (rows)
        EmitArea(arg, sheet, a, 0, aa, true, b, B8() ? 255 : 255, ba, true);
      else
        EmitArea(arg, sheet, 0, a, true, aa, B8() ? 65535 : 16383, b, true, ba);
      return true;
    }
    i_ = save;
    return false;
  }

  int SheetIndex(const std::string& name) {
    for (std::size_t k = 0; k < ctx_.sheetNames.size(); ++k)
      if (ctx_.sheetNames[k] == name) return static_cast<int>(k);
    throw Fail{};
  }

  // "First:Last" names a range of sheets: sets lastSheet_ and returns the first.
  int SheetSpan(const std::string& text) {
    std::size_t colon = text.find(':');
    int first = SheetIndex(text.substr(0, colon));
    int last = SheetIndex(text.substr(colon + 1));
    if (first > last) std::swap(first, last);
    lastSheet_ = last == first ? -1 : last;
    return first;
  }

  void Reference(bool arg) {
    Space();
    int sheet = -1;
    lastSheet_ = -1;
    std::size_t save = i_;
    // A sheet prefix: 'quoted'! or plain!
    if (i_ < s_.size() && s_[i_] == '\'') {
      std::string name;
      ++i_;
      for (;;) {
        if (i_ >= s_.size()) throw Fail{};
        char c = s_[i_++];
        if (c == '\'') {
          if (i_ < s_.size() && s_[i_] == '\'') {
            name.push_back('\'');
            ++i_;
            continue;
          }
          break;
        }
        name.push_back(c);
      }
      if (i_ >= s_.size() || s_[i_] != '!') throw Fail{};
      ++i_;
      bool range =
          name.find(':') != std::string::npos &&
          std::find(ctx_.sheetNames.begin(), ctx_.sheetNames.end(), name) == ctx_.sheetNames.end();
      sheet = range ? SheetSpan(name) : SheetIndex(name);
    } else {
      std::size_t k = i_;
      while (k < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[k])) || s_[k] == '_' ||
                               s_[k] == '.' || static_cast<unsigned char>(s_[k]) >= 0x80))
        ++k;
      if (k < s_.size() && s_[k] == '!' && k > i_) {
        sheet = SheetIndex(std::string(s_.substr(i_, k - i_)));
        i_ = k + 1;
      } else if (k < s_.size() && s_[k] == ':' && k > i_) {
        // Sheet1:Sheet3!A1, a range of sheets.
        std::size_t m = k + 1;
        while (m < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[m])) || s_[m] == '_' ||
                                 s_[m] == '.' || static_cast<unsigned char>(s_[m]) >= 0x80))
          ++m;
        if (m < s_.size() && s_[m] == '!') {
          sheet = SheetSpan(std::string(s_.substr(i_, m - i_)));
          i_ = m + 1;
        }
      }
    }
    int r1, c1;
    bool ra1, ca1;
    if (CellRef(r1, c1, ra1, ca1)) {
      std::size_t mid = i_;
      if (i_ < s_.size() && s_[i_] == ':') {
        ++i_;
        int r2, c2;
        bool ra2, ca2;
        if (CellRef(r2, c2, ra2, ca2)) {
          EmitArea(arg, sheet, r1, c1, ra1, ca1, r2, c2, ra2, ca2);
          return;
        }
        i_ = mid;
      }
      EmitRef(arg, sheet, r1, c1, ra1, ca1);
      return;
    }
    if (RowOrColumnRange(arg, sheet, 0)) return;
    if (sheet >= 0) throw Fail{};
    i_ = save;
    // A function, a logical or a defined name.
    std::size_t start = i_;
    while (i_ < s_.size() && (std::isalnum(static_cast<unsigned char>(s_[i_])) || s_[i_] == '_' ||
                              s_[i_] == '.' || s_[i_] == '\\' ||
                              static_cast<unsigned char>(s_[i_]) >= 0x80))
      ++i_;
    if (i_ == start) throw Fail{};
    std::string word(s_.substr(start, i_ - start));
    if (i_ < s_.size() && s_[i_] == '(') {
      ++i_;
      Function(word);
      return;
    }
    std::string upper;
    for (char c : word) upper.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    if (upper == "TRUE" || upper == "FALSE") {
      Put8(t_, 0x1D);
      Put8(t_, upper == "TRUE" ? 1 : 0);
      return;
    }
    for (std::size_t k = 0; k < ctx_.names.size(); ++k) {
      const std::string& n = ctx_.names[k];
      if (n.size() != word.size()) continue;
      bool same = true;
      for (std::size_t m = 0; m < n.size() && same; ++m)
        same = std::toupper(static_cast<unsigned char>(n[m])) ==
               std::toupper(static_cast<unsigned char>(word[m]));
      if (same) {
        Put8(t_, arg ? 0x23 : 0x43);
        Put16(t_, static_cast<unsigned>(k + 1));
        if (B8()) Put16(t_, 0);
        else for (int m = 0; m < 12; ++m) Put8(t_, 0);
        return;
      }
    }
    if (ctx_.addUnknownNames) {
      ctx_.names.push_back(word);
      Put8(t_, arg ? 0x23 : 0x43);
      Put16(t_, static_cast<unsigned>(ctx_.names.size()));
      if (B8())
        Put16(t_, 0);
      else
        for (int m = 0; m < 12; ++m) Put8(t_, 0);
      return;
    }
    throw Fail{};
  }

  // A future function: its hidden NAME's 1-based index, 0 when it has none.
  unsigned FutureFunctionName(const std::string& name) const {
    if (!B8() || !IsFutureFunction(name)) return 0;
    std::string want = std::string(kFutureFunctionPrefix);
    for (char c : name)
      want.push_back(static_cast<char>(std::toupper(static_cast<unsigned char>(c))));
    for (std::size_t k = 0; k < ctx_.futureFunctions && k < ctx_.names.size(); ++k)
      if (ctx_.names[k] == want) return static_cast<unsigned>(k + 1);
    return 0;
  }

  void Function(const std::string& name) {
    const BiffFunction* f = FunctionByName(name);
    unsigned future = f ? 0 : FutureFunctionName(name);
    if (!f && !future) throw Fail{};
    if (future) {
      // ptgName of the function's hidden name, the arguments, then ptgFuncVar 255.
      Put8(t_, 0x23);
      Put16(t_, future);
      Put16(t_, 0);
    }
    int argc = 0;
    if (Peek() == ')') {
      ++i_;
    } else {
      for (;;) {
        char c = Peek();
        if (c == ',' || c == ')') {
          Put8(t_, 0x16);  // a missing argument
        } else {
          Comparison(true);
        }
        ++argc;
        if (Eat(",")) continue;
        if (Eat(")")) break;
        throw Fail{};
      }
    }
    if (future) {
      if (argc > 254) throw Fail{};
      Put8(t_, 0x42);
      Put8(t_, static_cast<unsigned>(argc + 1));
      Put16(t_, 0x00FF);
      return;
    }
    if (argc < f->minArgs || argc > f->maxArgs) throw Fail{};
    if (f->minArgs == f->maxArgs) {
      Put8(t_, 0x41);
      Put16(t_, static_cast<unsigned>(f->index));
    } else {
      Put8(t_, 0x42);
      Put8(t_, static_cast<unsigned>(argc));
      Put16(t_, static_cast<unsigned>(f->index));
    }
  }

  std::string_view s_;
  std::size_t i_ = 0;
  int lastSheet_ = -1;  // the last sheet of the reference being written; -1: one sheet
  EncodeContext& ctx_;
  Bytes& t_;
  Bytes& x_;
};

}  // namespace

bool IsFutureFunction(std::string_view name) {
  static const char* const kFuture[] = {"IFERROR", "AVERAGEIF", "AVERAGEIFS", "COUNTIFS", "SUMIFS"};
  for (const char* f : kFuture) {
    std::string_view fv(f);
    if (fv.size() == name.size() &&
        std::equal(fv.begin(), fv.end(), name.begin(),
                   [](char a, char b) { return a == std::toupper(static_cast<unsigned char>(b)); }))
      return true;
  }
  return false;
}

bool EncodeFormula(std::string_view text, EncodeContext& context, Bytes& tokens, Bytes& extra) {
  tokens.clear();
  extra.clear();
  if (!text.empty() && text[0] == '=') text.remove_prefix(1);
  try {
    Encoder(text, context, tokens, extra).Run();
    return !tokens.empty();
  } catch (const Fail&) {
    tokens.clear();
    extra.clear();
    return false;
  }
}

}  // namespace engine::xls
