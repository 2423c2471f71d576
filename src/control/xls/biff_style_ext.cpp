// The STYLEEXT record: a cell style's built-in identity, category, flags and exact colours.
#include "control/xls/biff_style_ext.h"

#include "control/io/code_page.h"

namespace engine::xls {

namespace {

// Format property types that carry a colour, and the colour each gives.
struct ColorProp {
  unsigned type;
  StyleExtColor color;
};
constexpr ColorProp kColorProps[] = {{0x01, kExtFillFore}, {0x02, kExtFillBack},
                                     {0x05, kExtFont},     {0x06, kExtTop},
                                     {0x07, kExtBottom},   {0x08, kExtLeft},
                                     {0x09, kExtRight}};

bool IsOutline(int builtinId) { return builtinId == 1 || builtinId == 2; }

// A colour property: valid-RGBA bit and colour type, palette or theme index, tint, then RGBA.
// Only a colour given as RGB is exact; a theme colour counts when its RGB is marked valid.
bool ReadColor(const std::uint8_t* p, std::uint32_t& bgr) {
  bool validRgba = p[0] & 0x01;
  unsigned type = p[0] >> 1;
  if (!validRgba && type != 2) return false;
  bgr = p[4] | (p[5] << 8) | (static_cast<std::uint32_t>(p[6]) << 16);
  return true;
}

void PutColor(Bytes& b, unsigned type, std::uint32_t bgr, int borderLine) {
  Put16(b, type);
  Put16(b, borderLine >= 0 ? 14 : 12);
  Put8(b, 0x05);  // valid RGBA, an RGB colour
  Put8(b, 0xFF);
  Put16(b, 0);    // no tint
  Put8(b, bgr & 0xFF);
  Put8(b, (bgr >> 8) & 0xFF);
  Put8(b, (bgr >> 16) & 0xFF);
  Put8(b, 0xFF);
  if (borderLine >= 0) Put16(b, static_cast<unsigned>(borderLine));
}

}  // namespace

StyleExt ReadStyleExt(Cursor& c) {
  StyleExt e;
  if (c.U16() != kStyleExtRecord) ThrowDamaged("a cell style extension does not say what it is");
  c.Skip(10);  // the rest of the future-record header
  unsigned flags = c.U8();
  e.builtin = flags & 0x01;
  e.hidden = flags & 0x02;
  e.custom = flags & 0x04;
  e.category = c.U8();
  if (e.category > 5) ThrowDamaged("a cell style extension names an unknown category");
  e.builtinId = c.U8();
  e.level = c.U8();
  if (e.builtin && IsOutline(e.builtinId) && e.level > 6)
    ThrowDamaged("an outline cell style has a level beyond 7");
  unsigned chars = c.U16();
  if (chars > 255) ThrowDamaged("a cell style's name is longer than 255 characters");
  const std::uint8_t* text = c.Raw(2 * chars);
  std::u16string name(chars, u'\0');
  for (unsigned i = 0; i < chars; ++i) name[i] = static_cast<char16_t>(Get16(text + 2 * i));
  e.name = Utf16ToUtf8(name.data(), name.size());
  c.U16();  // reserved
  unsigned props = c.U16();
  for (unsigned i = 0; i < props; ++i) {
    unsigned type = c.U16();
    unsigned size = c.U16();
    if (size < 4 || size - 4 > c.Left())
      ThrowDamaged("a cell style's format properties run past their record");
    const std::uint8_t* data = c.Raw(size - 4);
    for (const ColorProp& p : kColorProps) {
      if (p.type != type) continue;
      if (size - 4 < 8) ThrowDamaged("a cell style's colour is cut short");
      if (ReadColor(data, e.colors[p.color])) e.hasColor |= static_cast<std::uint8_t>(1u << p.color);
    }
  }
  return e;
}

int StyleCategory(int id) {
  if (id == 0 || (id >= 26 && id <= 28)) return 1;             // good, bad and neutral
  if ((id >= 8 && id <= 11) || (id >= 20 && id <= 24) || id == 53) return 2;  // data, model
  if ((id >= 15 && id <= 19) || id == 25) return 3;            // titles and headings
  if (IsOutline(id) || (id >= 29 && id <= 52)) return 4;       // themed
  if (id >= 3 && id <= 7) return 5;                            // number formats
  return 0;
}

Bytes StyleExtBody(const NamedStyle& style, const StyleTable& styles) {
  bool builtin = style.builtinId != NamedStyle::kUser;
  Bytes b;
  Put16(b, kStyleExtRecord);
  Put16(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put8(b, (builtin ? 1 : 0) | (style.hidden ? 2 : 0) | (builtin && style.customBuiltin ? 4 : 0));
  Put8(b, builtin ? static_cast<unsigned>(StyleCategory(style.builtinId)) : 0);
  Put8(b, builtin ? static_cast<unsigned>(style.builtinId) & 0xFF : 0xFF);
  Put8(b, builtin && IsOutline(style.builtinId) ? static_cast<unsigned>(style.level) : 0xFF);
  std::u16string name = Utf8ToUtf16(NamedStyleName(style));
  if (name.size() > 255) name.resize(255);
  Put16(b, static_cast<unsigned>(name.size()));
  for (char16_t ch : name) Put16(b, ch);
  Put16(b, 0);
  Bytes props;
  unsigned count = 0;
  const Style& f = style.format;
  auto color = [&](unsigned type, std::uint32_t bgr, int line) {
    if (bgr == kAutoColor) return;
    PutColor(props, type, bgr, line);
    ++count;
  };
  if ((style.parts & kPartFill) && f.pattern) {
    color(0x01, f.patternFore, -1);
    color(0x02, f.patternBack, -1);
  }
  if (style.parts & kPartFont) color(0x05, styles.GetFont(f.font).color, -1);
  if (style.parts & kPartBorder) {
    for (auto [type, side] : {std::pair{0x06u, &f.top}, {0x07u, &f.bottom}, {0x08u, &f.left},
                              {0x09u, &f.right}})
      if (side->line) color(type, side->color, side->line);
  }
  Put16(b, count);
  b.insert(b.end(), props.begin(), props.end());
  return b;
}

void ExtendStyle(const StyleExt& ext, NamedStyle& style, StyleTable& styles) {
  // The built-in numbers past Followed Hyperlink (9) up to Explanatory Text (53).
  if (style.builtinId == NamedStyle::kUser && ext.builtin && ext.builtinId > 9 &&
      ext.builtinId <= 53) {
    style.builtinId = ext.builtinId;
    style.level = 0;
    style.name.clear();
  }
  style.hidden = ext.hidden;
  style.customBuiltin = ext.custom && style.builtinId != NamedStyle::kUser;
  // Only a colour the XF gives is refined: an automatic one stays automatic.
  auto refine = [&](StyleExtColor k, std::uint32_t& color) {
    if (((ext.hasColor >> k) & 1u) && color != kAutoColor) color = ext.colors[k];
  };
  Style& f = style.format;
  if ((style.parts & kPartFill) && f.pattern) {
    refine(kExtFillFore, f.patternFore);
    refine(kExtFillBack, f.patternBack);
  }
  if (style.parts & kPartFont) {
    Font font = styles.GetFont(f.font);
    refine(kExtFont, font.color);
    if (!(font == styles.GetFont(f.font))) f.font = styles.InternFont(font);
  }
  if (style.parts & kPartBorder) {
    for (auto [k, side] : {std::pair{kExtTop, &f.top}, {kExtBottom, &f.bottom},
                           {kExtLeft, &f.left}, {kExtRight, &f.right}})
      if (side->line) refine(k, side->color);
  }
}

}  // namespace engine::xls
