// Conditional-format rules: the record form (condition type, operator, the lengths of the two
// formulas, a format block whose "not changed" bits leave the cell's own format where the
// rule sets nothing, then the formula tokens) to and from a package's cfRule and its
// differential format. Font style and colour and a solid fill travel; number formats,
// alignment and borders of a rule do not.
#include "control/xlsx/xlsx_condfmt.h"

#include <array>

#include "control/io/byte_io.h"
#include "control/xls/biff_formula.h"
#include "control/xls/biff_palette.h"

namespace engine::xlsx {

namespace {

using xls::Bytes;
using xls::Put16;
using xls::Put32;
using xls::Put8;

constexpr std::array<std::string_view, 8> kOperators = {
    "between",  "notBetween",         "equal",          "notEqual", "greaterThan",
    "lessThan", "greaterThanOrEqual", "lessThanOrEqual"};

constexpr std::uint32_t kFontBlock = 1u << 26, kPatternBlock = 1u << 29, kNumberBlock = 1u << 25,
                        kAlignBlock = 1u << 27, kBorderBlock = 1u << 28, kProtectBlock = 1u << 30;
constexpr std::size_t kFontSize = 118;

std::vector<std::string> SheetNames(const Workbook& book) {
  std::vector<std::string> names;
  for (int i = 1; i <= book.SheetCount(); ++i) names.push_back(book.GetSheet(i).Name());
  return names;
}

void FontBlock(Bytes& b, const DiffFormat& f) {
  std::size_t start = b.size();
  b.resize(start + 64, 0);  // no font name
  Put32(b, 0xFFFFFFFFu);    // the height is not changed
  Put32(b, (f.italic ? 0x02u : 0) | (f.strike ? 0x80u : 0));
  Put16(b, f.hasBold ? (f.bold ? 700u : 400u) : 0xFFFFu);
  Put16(b, 0);  // no super- or subscript
  Put8(b, f.underline ? 1u : 0u);
  Put8(b, 0);
  Put8(b, 0);
  Put8(b, 0);
  Put32(b, f.fontColor == kAutoColor ? 0xFFFFFFFFu : NearestPaletteIndex(f.fontColor));
  Put32(b, 0);
  Put32(b, (f.hasItalic ? 0 : 0x02u) | (f.hasStrike ? 0 : 0x80u));
  Put32(b, 1);  // super- and subscript not changed
  Put32(b, f.hasUnderline ? 0 : 1u);
  Put32(b, f.hasBold ? 0 : 1u);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put16(b, 1);
}

}  // namespace

bool EncodeRuleFormula(const Workbook& book, const std::string& text, RecordBytes& out) {
  xls::EncodeContext ec;
  ec.sheetNames = SheetNames(book);
  Bytes tokens, extra;
  if (!xls::EncodeFormula(text, ec, tokens, extra) || !extra.empty() || ec.usedExternSheet ||
      tokens.size() > 0xFFFF)
    return false;
  out.assign(tokens.begin(), tokens.end());
  return true;
}

bool DecodeRuleFormula(const Workbook& book, const CellRange& base, const std::uint8_t* tokens,
                       std::size_t size, std::string& out) {
  xls::FormulaContext ctx;
  ctx.sheetNames = SheetNames(book);
  xls::DecodedFormula d =
      xls::DecodeFormula(tokens, size, nullptr, 0, ctx, base.row1 - 1, base.col1 - 1);
  if (!d.complete) return false;
  out = std::move(d.text);
  return true;
}

unsigned NearestPaletteIndex(std::uint32_t bgr) {
  xls::Palette palette;
  unsigned best = 8;
  long bestDistance = -1;
  for (unsigned i = 8; i < 64; ++i) {
    std::uint32_t c = palette.Color(i);
    long d = 0;
    for (int shift : {0, 8, 16}) {
      long x = static_cast<long>((c >> shift) & 0xFF) - static_cast<long>((bgr >> shift) & 0xFF);
      d += x * x;
    }
    if (bestDistance < 0 || d < bestDistance) {
      best = i;
      bestDistance = d;
    }
  }
  return best;
}

bool RuleToRecord(const Workbook& book, const CellRange& base, std::string_view type,
                  std::string_view op, const std::vector<std::string>& formulas,
                  const DiffFormat& format, RecordBytes& out) {
  unsigned condition = 0, cp = 0;
  std::size_t needed = 1;
  if (type == "cellIs") {
    condition = 1;
    for (std::size_t i = 0; i < kOperators.size(); ++i)
      if (kOperators[i] == op) cp = static_cast<unsigned>(i) + 1;
    if (cp == 0) return false;
    needed = cp <= 2 ? 2 : 1;
  } else if (type == "expression") {
    condition = 2;
  } else {
    return false;
  }
  if (formulas.size() < needed) return false;
  RecordBytes tokens[2];
  for (std::size_t i = 0; i < needed; ++i)
    if (!EncodeRuleFormula(book, formulas[i], tokens[i])) return false;
  (void)base;  // references are kept as the cells they name
  bool font = format.hasBold || format.hasItalic || format.hasStrike || format.hasUnderline ||
              format.fontColor != kAutoColor;
  bool fill = format.fill != kAutoColor;
  Bytes b;
  Put8(b, condition);
  Put8(b, cp);
  Put16(b, static_cast<unsigned>(tokens[0].size()));
  Put16(b, static_cast<unsigned>(tokens[1].size()));
  // Everything is "not changed" but the blocks that follow.
  std::uint32_t flags = 0x0000FFFFu | (7u << 19);
  if (!fill)
    flags |= 7u << 16;
  else
    flags |= 1u << 17;  // the pattern and its background colour are set
  if (font) flags |= kFontBlock;
  if (fill) flags |= kPatternBlock;
  Put32(b, flags);
  Put16(b, 0x8002);
  if (font) FontBlock(b, format);
  if (fill) {
    unsigned icv = NearestPaletteIndex(format.fill);
    Put16(b, 1u << 10);  // solid
    Put16(b, icv | (icv << 7));
  }
  b.insert(b.end(), tokens[0].begin(), tokens[0].end());
  b.insert(b.end(), tokens[1].begin(), tokens[1].end());
  out.assign(b.begin(), b.end());
  return true;
}

bool RecordToRule(const Workbook& book, const CellRange& base, const RecordBytes& r,
                  PackageRule& out) {
  if (r.size() < 12) return false;
  unsigned condition = r[0], cp = r[1];
  std::size_t cce1 = xls::Get16(&r[2]), cce2 = xls::Get16(&r[4]);
  std::uint32_t flags = xls::Get32(&r[6]);
  unsigned flags2 = xls::Get16(&r[10]);
  std::size_t at = 12;
  auto need = [&](std::size_t n) { return at + n <= r.size(); };
  out = PackageRule{};
  if (flags & kNumberBlock) {
    if (flags2 & 1) {
      if (!need(2)) return false;
      std::size_t cb = xls::Get16(&r[at]);
      if (cb < 2 || !need(cb)) return false;
      at += cb;
    } else {
      if (!need(2)) return false;
      at += 2;
    }
  }
  xls::Palette palette;
  if (flags & kFontBlock) {
    if (!need(kFontSize)) return false;
    const std::uint8_t* f = &r[at];
    std::uint32_t ts = xls::Get32(f + 68), tsNinch = xls::Get32(f + 88);
    unsigned weight = xls::Get16(f + 72);
    std::uint32_t icv = xls::Get32(f + 80);
    DiffFormat& d = out.format;
    d.hasItalic = !(tsNinch & 0x02);
    d.italic = d.hasItalic && (ts & 0x02);
    d.hasStrike = !(tsNinch & 0x80);
    d.strike = d.hasStrike && (ts & 0x80);
    d.hasUnderline = xls::Get32(f + 96) == 0;
    d.underline = d.hasUnderline && f[76] != 0;
    d.hasBold = xls::Get32(f + 100) == 0 && weight != 0xFFFF;
    d.bold = d.hasBold && weight >= 600;
    if (icv < 64) d.fontColor = palette.Color(icv);
    at += kFontSize;
  }
  if (flags & kAlignBlock) at += 8;
  if (flags & kBorderBlock) at += 8;
  if (flags & kPatternBlock) {
    if (!need(4)) return false;
    unsigned pattern = xls::Get16(&r[at]) >> 10, colors = xls::Get16(&r[at + 2]);
    unsigned fore = colors & 0x7F, back = (colors >> 7) & 0x7F;
    // A solid fill shows one colour, which writers put in either place.
    bool backSet = !(flags & (1u << 18)), foreSet = !(flags & (1u << 17));
    unsigned icv = backSet && back < 64 ? back : foreSet && fore < 64 ? fore : 64;
    if (pattern != 0 && icv < 64) out.format.fill = palette.Color(icv);
    at += 4;
  }
  if (flags & kProtectBlock) at += 2;
  if (!need(cce1 + cce2)) return false;
  auto decode = [&](std::size_t offset, std::size_t size) {
    return DecodeRuleFormula(book, base, r.data() + offset, size, out.formulas.emplace_back());
  };
  if (condition == 1) {
    if (cp < 1 || cp > kOperators.size() || cce1 == 0) return false;
    out.type = "cellIs";
    out.op = std::string(kOperators[cp - 1]);
    if (!decode(at, cce1)) return false;
    if (cp <= 2 && (cce2 == 0 || !decode(at + cce1, cce2))) return false;
  } else if (condition == 2) {
    if (cce1 == 0) return false;
    out.type = "expression";
    if (!decode(at, cce1)) return false;
  } else {
    return false;
  }
  return true;
}

}  // namespace engine::xlsx
