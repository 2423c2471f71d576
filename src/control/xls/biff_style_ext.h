#pragma once
// The STYLEEXT record that follows a STYLE record in a BIFF8 stream: a built-in style's number
// beyond the few the STYLE record can hold (Good, Heading 1, 20% - Accent1, …), its gallery
// category, whether it is hidden or a built-in style the user changed, and the exact colours
// of its format, which the XF record can give only as palette indexes.

#include <array>
#include <cstdint>
#include <string>

#include "control/io/byte_io.h"
#include "control/model/style.h"
#include "control/xls/biff_records.h"

namespace engine::xls {

inline constexpr std::uint16_t kStyleExtRecord = 0x0892;

// The colours a style extension may carry, in the order of `StyleExt::colors`.
enum StyleExtColor { kExtFillFore, kExtFillBack, kExtFont, kExtTop, kExtBottom, kExtLeft,
                     kExtRight, kExtColorCount };

struct StyleExt {
  bool builtin = false, hidden = false, custom = false;
  int category = 0;
  int builtinId = 0xFF, level = 0xFF;
  std::string name;
  std::array<std::uint32_t, kExtColorCount> colors{};  // 0x00BBGGRR
  std::uint8_t hasColor = 0;                            // bit k: colors[k] was given
};

// Throws EngineError (the workbook is damaged) for a record cut short, one that is not a style
// extension, a category or outline level out of range, or properties running past the record.
StyleExt ReadStyleExt(Cursor& c);

// The gallery category a built-in style belongs to (0, custom, for a user style).
int StyleCategory(int builtinId);

// The record for a named style; its colours are those of the parts the style sets.
Bytes StyleExtBody(const NamedStyle& style, const StyleTable& styles);

// Takes into a style read from its STYLE and XF records what its extension adds: a built-in
// number beyond the STYLE record's range (a user-named STYLE of Excel 2007's built-in styles),
// the hidden and changed flags, and the exact shades of the colours its XF gives (an
// automatic colour stays automatic) in the parts the style sets.
void ExtendStyle(const StyleExt& ext, NamedStyle& style, StyleTable& styles);

}  // namespace engine::xls
