// Data validation: DVAL (the sheet's list header) and one DV per rule with its ranges.
#include <algorithm>

#include "control/io/code_page.h"
#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {

constexpr std::uint32_t kLiteralList = 0x80, kAllowBlank = 0x100, kNoDropDown = 0x200,
                        kShowInput = 0x40000, kShowError = 0x80000;

// The strings of a rule: Excel stores an empty one as a single zero character.
std::string DvText(Cursor& c) {
  std::string s = c.Unicode16();
  if (s.size() == 1 && s[0] == '\0') s.clear();
  return s;
}
void PutDvText(Bytes& b, const std::string& s) {
  if (s.empty()) {
    Put16(b, 1);
    Put8(b, 0);
    Put8(b, 0);
  } else {
    PutUnicodeString(b, s, 255);
  }
}

// A list of literal items is one string token with the items separated by zeros.
bool LiteralItems(const Bytes& tokens, std::vector<std::string>& items) {
  if (tokens.size() < 3 || tokens[0] != 0x17) return false;
  std::size_t n = tokens[1];
  bool wide = tokens[2] & 1;
  if (tokens.size() < 3 + n * (wide ? 2 : 1)) return false;
  std::u16string w;
  for (std::size_t i = 0; i < n; ++i)
    w.push_back(wide ? static_cast<char16_t>(Get16(tokens.data() + 3 + 2 * i))
                     : static_cast<char16_t>(tokens[3 + i]));
  std::string all = Utf16ToUtf8(w.data(), w.size());
  items.clear();
  std::size_t start = 0;
  for (std::size_t i = 0; i <= all.size(); ++i)
    if (i == all.size() || all[i] == '\0') {
      items.push_back(all.substr(start, i - start));
      start = i + 1;
    }
  return true;
}

Bytes LiteralTokens(const std::vector<std::string>& items) {
  std::string all;
  for (std::size_t i = 0; i < items.size(); ++i) {
    if (i) all.push_back('\0');
    all += items[i];
  }
  std::u16string w = Utf8ToUtf16(all);
  if (w.size() > 255) w.resize(255);
  Bytes t;
  Put8(t, 0x17);
  Put8(t, static_cast<unsigned>(w.size()));
  Put8(t, 1);
  for (char16_t ch : w) Put16(t, ch);
  return t;
}

Bytes ReadTokens(Cursor& c) {
  unsigned n = c.U16();
  c.U16();
  if (n > c.Left()) ThrowDamaged("a validation formula is cut off");
  const std::uint8_t* p = c.Raw(n);
  return Bytes(p, p + n);
}

std::string TokensText(const Bytes& tokens, const FeatureIo& io, int row, int col) {
  if (tokens.empty() || !io.decode) return {};
  return DecodeFormula(tokens.data(), tokens.size(), nullptr, 0, *io.decode, row, col).text;
}

}  // namespace

void ReadDval(Cursor& c, SheetFeatures& f) {
  unsigned flags = c.U16();
  f.validationPromptsHidden = flags & 0x04;
}

void ReadDv(Cursor& c, SheetFeatures& f, const FeatureIo& io) {
  ValidationRule v;
  std::uint32_t flags = c.U32();
  unsigned type = flags & 0x0F;
  unsigned style = (flags >> 4) & 0x07;
  unsigned op = (flags >> 20) & 0x0F;
  if (type > 7 || style > 2 || op > 7) ThrowDamaged("a validation rule is of an unknown kind");
  v.type = static_cast<ValidationType>(type);
  v.errorStyle = static_cast<ErrorStyle>(style);
  v.op = static_cast<ValidationOperator>(op);
  v.ignoreBlank = flags & kAllowBlank;
  v.dropDown = !(flags & kNoDropDown);
  v.showInput = flags & kShowInput;
  v.showError = flags & kShowError;
  v.inputTitle = DvText(c);
  v.errorTitle = DvText(c);
  v.inputText = DvText(c);
  v.errorText = DvText(c);
  v.tokens1 = ReadTokens(c);
  v.tokens2 = ReadTokens(c);
  unsigned n = c.U16();
  if (c.Left() < 8u * n) ThrowDamaged("a validation rule's ranges are cut off");
  for (unsigned i = 0; i < n; ++i) {
    unsigned r1 = c.U16(), r2 = c.U16(), c1 = c.U16(), c2 = c.U16();
    if (r1 > r2 || c1 > c2 || r2 >= static_cast<unsigned>(kMaxRow) ||
        c2 >= static_cast<unsigned>(kMaxCol))
      ThrowDamaged("a validation rule is not on a range of the sheet");
    v.ranges.push_back(CellRange{static_cast<int>(r1) + 1, static_cast<int>(c1) + 1,
                                 static_cast<int>(r2) + 1, static_cast<int>(c2) + 1});
  }
  if (v.ranges.empty()) return;  // a rule on no cells
  int row = v.ranges[0].row1 - 1, col = v.ranges[0].col1 - 1;
  if (v.type == ValidationType::List && (flags & kLiteralList) &&
      LiteralItems(v.tokens1, v.items)) {
    v.tokens1.clear();
  } else {
    v.formula1 = v.readFormula1 = TokensText(v.tokens1, io, row, col);
  }
  v.formula2 = v.readFormula2 = TokensText(v.tokens2, io, row, col);
  f.validations.push_back(std::move(v));
}

void WriteValidations(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io) {
  if (!io.b8) return;  // the 5.0/95 form has no validation
  std::vector<Bytes> records;
  for (const ValidationRule& v : f.validations) {
    std::vector<CellRange> ranges;
    for (const CellRange& r : v.ranges)
      if (r.row1 >= 1) ranges.push_back(r);
    if (ranges.empty()) continue;
    bool literal = v.type == ValidationType::List && v.formula1.empty() && !v.items.empty();
    // Encoded afresh, so that names and sheets get this file's numbers; the tokens the file
    // had only when the text is theirs and cannot be encoded.
    auto tokensOf = [&](const std::string& text, const std::string& read, const Bytes& kept) {
      if (text.empty()) return text == read ? kept : Bytes();
      Bytes tokens, extra;
      if (io.encode) {
        EncodeContext ec = *io.encode;
        if (EncodeFormula(text, ec, tokens, extra) && extra.empty()) return tokens;
      }
      return text == read ? kept : Bytes();
    };
    Bytes t1 = literal ? LiteralTokens(v.items) : tokensOf(v.formula1, v.readFormula1, v.tokens1);
    Bytes t2 = tokensOf(v.formula2, v.readFormula2, v.tokens2);
    std::uint32_t flags = static_cast<std::uint32_t>(v.type) |
                          (static_cast<std::uint32_t>(v.errorStyle) << 4) |
                          (literal ? kLiteralList : 0) | (v.ignoreBlank ? kAllowBlank : 0) |
                          (v.dropDown ? 0 : kNoDropDown) | (v.showInput ? kShowInput : 0) |
                          (v.showError ? kShowError : 0) | (static_cast<std::uint32_t>(v.op) << 20);
    Bytes b;
    Put32(b, flags);
    PutDvText(b, v.inputTitle);
    PutDvText(b, v.errorTitle);
    PutDvText(b, v.inputText);
    PutDvText(b, v.errorText);
    for (const Bytes* t : {&t1, &t2}) {
      Put16(b, static_cast<unsigned>(t->size()));
      Put16(b, 0);
      b.insert(b.end(), t->begin(), t->end());
    }
    std::size_t n = std::min<std::size_t>(ranges.size(), 1000);
    Put16(b, static_cast<unsigned>(n));
    for (std::size_t i = 0; i < n; ++i) {
      Put16(b, static_cast<unsigned>(ranges[i].row1 - 1));
      Put16(b, static_cast<unsigned>(ranges[i].row2 - 1));
      Put16(b, static_cast<unsigned>(ranges[i].col1 - 1));
      Put16(b, static_cast<unsigned>(ranges[i].col2 - 1));
    }
    records.push_back(std::move(b));
  }
  if (records.empty()) return;
  Bytes d;
  Put16(d, f.validationPromptsHidden ? 0x04 : 0);
  Put32(d, 0);
  Put32(d, 0);
  Put32(d, 0xFFFFFFFF);
  Put32(d, static_cast<std::uint32_t>(records.size()));
  w.Write(rec::kDval, d);
  for (const Bytes& b : records) w.Write(rec::kDv, b);
}

}  // namespace engine::xls
