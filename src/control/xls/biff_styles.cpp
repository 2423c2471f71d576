// Named cell styles in a BIFF stream.
#include "control/xls/biff_styles.h"

#include <algorithm>

#include "control/engine_error.h"
#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {

// The highest built-in number a STYLE record holds; styles beyond it are written by name.
int MaxBuiltinId(bool b8) { return b8 ? 9 : 7; }

}  // namespace

RawStyle ReadStyleRecord(Cursor& c, bool b8, unsigned codePage) {
  RawStyle s;
  unsigned word = c.U16();
  s.xf = word & 0x0FFF;
  if (word & 0x8000) {
    s.builtinId = c.U8();
    unsigned level = c.U8();
    if ((s.builtinId == 1 || s.builtinId == 2)) {
      if (level > 6) ThrowDamaged("an outline cell style has a level beyond 7");
      s.level = static_cast<int>(level);
    }
  } else {
    FeatureIo io;
    io.b8 = b8;
    io.codePage = codePage;
    s.name = ReadShortText(c, io);
  }
  return s;
}

Bytes StyleRecordBody(const NamedStyle& style, unsigned xf, bool b8, unsigned codePage) {
  Bytes b;
  if (style.builtinId >= 0 && style.builtinId <= MaxBuiltinId(b8)) {
    Put16(b, 0x8000 | (xf & 0x0FFF));
    Put8(b, static_cast<unsigned>(style.builtinId));
    bool outline = style.builtinId == 1 || style.builtinId == 2;
    Put8(b, outline ? static_cast<unsigned>(style.level) : 0xFF);
  } else {
    Put16(b, xf & 0x0FFF);
    FeatureIo io;
    io.b8 = b8;
    io.codePage = codePage;
    PutRecordText(b, NamedStyleName(style), io, 255);
  }
  return b;
}

StyleXfPlan::StyleXfPlan(const StyleTable& styles) {
  const std::vector<NamedStyle>& named = styles.NamedStyles();
  namedXf_.assign(named.size(), 0);
  styleXfs_.assign(15, -1);
  styleXfs_[0] = 0;
  std::vector<std::uint16_t> others;
  for (std::size_t i = 1; i < named.size(); ++i) {
    const NamedStyle& s = named[i];
    bool outline = s.builtinId == 1 || s.builtinId == 2;
    unsigned slot = outline ? (s.builtinId == 1 ? 1u : 8u) + static_cast<unsigned>(s.level) : 0;
    if (outline && slot < 15 && styleXfs_[slot] < 0) {
      styleXfs_[slot] = static_cast<int>(i);
      namedXf_[i] = slot;
    } else {
      others.push_back(static_cast<std::uint16_t>(i));
    }
  }
  // By name, as the XF records of named styles are ordered.
  std::stable_sort(others.begin(), others.end(), [&](std::uint16_t a, std::uint16_t b) {
    return NamedStyleName(named[a]) < NamedStyleName(named[b]);
  });
  if (others.size() > 0xFFE - 16)
    throw EngineError(kErrFile, "The workbook has more cell styles than the file form can hold.");
  unsigned xf = 16;
  for (std::uint16_t i : others) {
    namedXf_[i] = xf++;
    styleXfs_.push_back(i);
  }
  firstCellXf_ = xf;
}

}  // namespace engine::xls
