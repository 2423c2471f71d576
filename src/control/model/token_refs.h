#pragma once
// The cell references of BIFF8 formula tokens, walked and rewritten in place: what the rules of
// conditional formats and the carried formulas (chart series, linked cells, carried names)
// share to follow edits of the cells they name.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "control/limits.h"
#include "control/sheet_features.h"

namespace engine::features {

// The relative bits of a reference's column field.
inline constexpr unsigned kRowRelative = 0x8000, kColRelative = 0x4000;

// Calls fn(range, bits1, bits2) for each reference of BIFF8 tokens that names the sheet's
// cells, rows numbered token row + rowOffset, the relative bits of each end beside it; fn
// changes the range (and the bits, when it turns the ends round), or returns false to make it
// #REF!. Without `entries` the plain references name the sheet (a rule's formulas, an object's
// link to its own sheet); with them the 3-D references through the marked sheet-reference
// entries do. Tokens this does not know end the walk, leaving the rest as it was.
template <typename Fn>
void ForEachRef(std::uint8_t* t, std::size_t size, int rowOffset, const std::vector<bool>* entries,
                Fn&& fn) {
  auto get = [&](std::size_t at) { return static_cast<int>(t[at] | (t[at + 1] << 8)); };
  auto put = [&](std::size_t at, int v) {
    t[at] = static_cast<std::uint8_t>(v & 0xFF);
    t[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
  };
  for (std::size_t i = 0; i < size;) {
    std::uint8_t& ptg = t[i];
    const unsigned base = ptg & 0x1F;
    std::size_t len = 0;
    if (ptg < 0x20) {
      if (ptg >= 0x03 && ptg <= 0x16) len = 1;
      else if (ptg == 0x1C || ptg == 0x1D) len = 2;
      else if (ptg == 0x1E) len = 3;
      else if (ptg == 0x1F) len = 9;
      else if (ptg == 0x17 && i + 2 < size)
        len = 3 + static_cast<std::size_t>(t[i + 1]) * ((t[i + 2] & 1) ? 2 : 1);
      else if (ptg == 0x19 && i + 3 < size)
        len = 4 + ((t[i + 1] & 0x04) ? 2 * (static_cast<std::size_t>(get(i + 2)) + 1) : 0);
      else
        return;
    } else {
      switch (base) {
        case 0x01: len = 3; break;
        case 0x02: len = 4; break;
        case 0x03: len = 5; break;
        case 0x04: case 0x0A: len = 5; break;
        case 0x05: case 0x0B: len = 9; break;
        case 0x19: case 0x1A: case 0x1C: len = 7; break;
        case 0x1B: case 0x1D: len = 11; break;
        default: return;
      }
    }
    if (len > size - i) return;
    const bool plain = !entries && ptg >= 0x20 && (base == 0x04 || base == 0x05);
    const bool onSheet = entries && ptg >= 0x20 && (base == 0x1A || base == 0x1B) &&
                         static_cast<std::size_t>(get(i + 1)) < entries->size() &&
                         (*entries)[static_cast<std::size_t>(get(i + 1))];
    if (plain || onSheet) {
      const bool area = base == 0x05 || base == 0x1B;
      const std::size_t at = i + (onSheet ? 3 : 1);  // a 3-D reference names its sheet first
      const std::size_t colAt = at + (area ? 4 : 2);
      unsigned bits1 = static_cast<unsigned>(get(colAt)) & 0xC000;
      unsigned bits2 = area ? static_cast<unsigned>(get(colAt + 2)) & 0xC000 : bits1;
      CellRange r{get(at) + rowOffset, (get(colAt) & 0xFF) + 1, get(at + (area ? 2 : 0)) + rowOffset,
                  (get(area ? colAt + 2 : colAt) & 0xFF) + 1};
      if (!fn(r, bits1, bits2) || r.row1 - rowOffset < 0 || r.row2 - rowOffset > 0xFFFF ||
          r.col1 < 1 || r.col2 > kMaxCol || (!area && (r.row1 != r.row2 || r.col1 != r.col2))) {
        const unsigned error = onSheet ? (area ? 0x1D : 0x1C) : (area ? 0x0B : 0x0A);
        ptg = static_cast<std::uint8_t>((ptg & 0x60) | error);
      } else {
        put(at, r.row1 - rowOffset);
        if (area) put(at + 2, r.row2 - rowOffset);
        put(colAt, static_cast<int>(static_cast<unsigned>(r.col1 - 1) | bits1));
        if (area) put(colAt + 2, static_cast<int>(static_cast<unsigned>(r.col2 - 1) | bits2));
      }
    }
    i += len;
  }
}

}  // namespace engine::features
