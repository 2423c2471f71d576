#pragma once
// The records of drawing objects that name cells, built byte by byte as a 97-2000 workbook holds
// them: a check box linked to a cell, a list box linked to a cell and filled from a range, a
// text box linked to a cell. Positions of the links' tokens are given beside each.

#include <cstddef>
#include <cstdint>
#include <vector>

#include "control/sheet_features.h"

namespace object_records {

using Bytes = std::vector<std::uint8_t>;
using engine::CarriedRecord;

inline void Put16(Bytes& b, unsigned v) {
  b.push_back(static_cast<std::uint8_t>(v & 0xFF));
  b.push_back(static_cast<std::uint8_t>(v >> 8));
}
inline unsigned Get16(const Bytes& b, std::size_t at) { return b[at] | (b[at + 1] << 8); }

// An absolute reference ($C$5 is row 4, column 2 as a file counts), or an area.
inline Bytes Ref(unsigned row, unsigned col) {
  Bytes t = {0x24};
  Put16(t, row);
  Put16(t, col);
  return t;
}
inline Bytes Area(unsigned r1, unsigned r2, unsigned c1, unsigned c2) {
  Bytes t = {0x25};
  Put16(t, r1);
  Put16(t, r2);
  Put16(t, c1);
  Put16(t, c2);
  return t;
}

// A reference through a sheet-reference entry, as carried formulas name other sheets' cells.
inline Bytes Ref3d(unsigned entry, unsigned row, unsigned col) {
  Bytes t = {0x3A};
  Put16(t, entry);
  Put16(t, row);
  Put16(t, col);
  return t;
}

// An object's formula: its size, the token count, four unused bytes, the tokens, padded even.
inline Bytes ObjFmla(const Bytes& tokens) {
  Bytes f;
  Put16(f, static_cast<unsigned>(tokens.size()));
  f.insert(f.end(), 4, 0);
  f.insert(f.end(), tokens.begin(), tokens.end());
  if (f.size() % 2) f.push_back(0);
  Bytes out;
  Put16(out, static_cast<unsigned>(f.size()));
  out.insert(out.end(), f.begin(), f.end());
  return out;
}

inline Bytes Cmo(unsigned type, unsigned id) {
  Bytes b;
  Put16(b, 0x15);
  Put16(b, 0x12);
  Put16(b, type);
  Put16(b, id);
  Put16(b, 0x6011);
  b.insert(b.end(), 12, 0);
  return b;
}
inline void Sub(Bytes& b, unsigned ft, std::size_t size) {
  Put16(b, ft);
  Put16(b, static_cast<unsigned>(size));
  b.insert(b.end(), size, 0);
}

// A check box linked to a cell: where its link's tokens start, the record.
constexpr std::size_t kCheckLinkAt = 22 + 16 + 10;
inline Bytes CheckBox(const Bytes& link) {
  Bytes b = Cmo(0x0B, 1);
  Sub(b, 0x0A, 12);  // ftCbls
  Put16(b, 0x14);    // ftCblsFmla
  Bytes f = ObjFmla(link);
  b.insert(b.end(), f.begin(), f.end());
  Sub(b, 0x12, 8);  // ftCblsData
  Put16(b, 0);
  Put16(b, 0);
  return b;
}

// A list box linked to a cell and filled from a range; the list's data runs to the end.
constexpr std::size_t kListLinkAt = 22 + 24 + 10;
constexpr std::size_t kListSourceAt = kListLinkAt + 6 + 12;
inline Bytes ListBox(const Bytes& link, const Bytes& source) {
  Bytes b = Cmo(0x12, 2);
  Sub(b, 0x0C, 20);  // ftSbs
  Put16(b, 0x0E);    // ftSbsFmla
  Bytes f = ObjFmla(link);
  b.insert(b.end(), f.begin(), f.end());
  Put16(b, 0x13);  // ftLbsData
  Put16(b, 0x1FEE);
  f = ObjFmla(source);
  b.insert(b.end(), f.begin(), f.end());
  for (unsigned v : {5u, 0u, 0u, 0u}) Put16(b, v);  // lines, selection, flags, edit box
  return b;
}

// A text box linked to a cell: its TXO, the text following in a CONTINUE record.
constexpr std::size_t kTextLinkAt = 24;
inline CarriedRecord TextBox(const Bytes& link) {
  CarriedRecord r{0x01B6, {0x12, 0x02, 0, 0, 0, 0, 0, 0, 0, 0, 3, 0, 16, 0, 0, 0}, {}};
  Bytes f = ObjFmla(link);
  r.body.insert(r.body.end(), f.begin(), f.end());
  r.breaks.push_back(static_cast<std::uint32_t>(r.body.size()));
  r.body.insert(r.body.end(), {0, 'a', 'b', 'c'});
  return r;
}

}  // namespace object_records
