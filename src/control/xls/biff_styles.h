#pragma once
// Named cell styles in a BIFF stream: the STYLE record that names a style XF, and where the
// writer places the style XFs among the XF records.

#include <cstdint>
#include <string>
#include <vector>

#include "control/io/byte_io.h"
#include "control/model/style.h"
#include "control/xls/biff_records.h"

namespace engine::xls {

// A STYLE record as read: the style XF it names and the style's identity.
struct RawStyle {
  unsigned xf = 0;
  int builtinId = NamedStyle::kUser;
  int level = 0;
  std::string name;
};

// Throws EngineError (the workbook is damaged) for a record cut short or an outline style
// of a level beyond 7.
RawStyle ReadStyleRecord(Cursor& c, bool b8, unsigned codePage);
Bytes StyleRecordBody(const NamedStyle& style, unsigned xf, bool b8, unsigned codePage);

// The parts a style XF sets, from its used-attribute bits (bits 2-7 of its flags byte): in a
// style XF a set bit means the part is left out.
inline std::uint8_t StyleXfParts(unsigned usedBits) {
  return static_cast<std::uint8_t>(~usedBits & kAllParts);
}
inline unsigned StyleXfUsedBits(std::uint8_t parts) { return ~parts & kAllParts; }

// The XF records' order: 0 Normal, 1-7 RowLevel_1-7, 8-14 ColLevel_1-7, 15 the default cell
// format (engine style 0), then the other named styles by name, then engine styles 1, 2, ….
class StyleXfPlan {
 public:
  explicit StyleXfPlan(const StyleTable& styles);
  unsigned CellXf(std::uint16_t style) const { return style == 0 ? 15 : firstCellXf_ + style - 1; }
  unsigned NamedXf(std::uint16_t named) const {
    return named < namedXf_.size() ? namedXf_[named] : 0;
  }
  // The named style each of XFs 0-14 and the ones after XF 15 holds (-1: a plain style XF).
  const std::vector<int>& StyleXfs() const { return styleXfs_; }

 private:
  std::vector<unsigned> namedXf_;
  std::vector<int> styleXfs_;  // XFs 0-14, then 16 …
  unsigned firstCellXf_ = 16;
};

}  // namespace engine::xls
