#pragma once
// Hand-made BIFF8 workbook streams for the reader's tests: records, STYLE bodies, and a
// stream of given global records with one sheet holding a number in A1.

#include <string>
#include <vector>

#include "control/io/byte_io.h"

namespace biff_stream {

using engine::xls::Bytes;

inline Bytes Record(unsigned id, const Bytes& body) {
  Bytes b;
  engine::xls::Put16(b, id);
  engine::xls::Put16(b, static_cast<unsigned>(body.size()));
  b.insert(b.end(), body.begin(), body.end());
  return b;
}

inline void Add(Bytes& out, const Bytes& more) { out.insert(out.end(), more.begin(), more.end()); }

inline Bytes UserStyle(unsigned xf, const std::string& name) {
  Bytes b;
  engine::xls::Put16(b, xf);
  engine::xls::Put16(b, static_cast<unsigned>(name.size()));
  engine::xls::Put8(b, 0);
  b.insert(b.end(), name.begin(), name.end());
  return b;
}

inline Bytes BuiltinStyle(unsigned xf, unsigned id, unsigned level = 0xFF) {
  Bytes b;
  engine::xls::Put16(b, 0x8000 | xf);
  engine::xls::Put8(b, id);
  engine::xls::Put8(b, level);
  return b;
}

// The globals given after the BOF, one sheet "S" with 1.5 in A1 of XF `cellXf`.
inline Bytes Stream(const std::vector<Bytes>& globals, unsigned cellXf) {
  using namespace engine::xls;
  Bytes out;
  auto bof = [&](unsigned type) {
    Bytes b;
    Put16(b, 0x0600);
    Put16(b, type);
    for (int i = 0; i < 3; ++i) Put32(b, 0);
    Add(out, Record(0x0809, b));
  };
  bof(0x0005);
  for (const Bytes& r : globals) Add(out, r);
  Bytes sheet;
  Put32(sheet, 0);
  Put16(sheet, 0);
  Put8(sheet, 1);
  Put8(sheet, 0);
  Put8(sheet, 'S');
  std::size_t offsetAt = out.size() + 4;
  Add(out, Record(0x0085, sheet));
  Add(out, Record(0x000A, {}));
  Set32(out, offsetAt, static_cast<std::uint32_t>(out.size()));
  bof(0x0010);
  Bytes number;
  Put16(number, 0);
  Put16(number, 0);
  Put16(number, cellXf);
  PutDouble(number, 1.5);
  Add(out, Record(0x0203, number));
  Add(out, Record(0x000A, {}));
  return out;
}

}  // namespace biff_stream
