#include "control/model/record_formulas.h"

#include <algorithm>

namespace engine::features {

namespace {

constexpr std::uint16_t kBrai = 0x1051, kObj = 0x005D, kTxo = 0x01B6;

// OBJ sub-records.
constexpr unsigned kFtEnd = 0x00, kFtMacro = 0x04, kFtPictFmla = 0x09, kFtSbsFmla = 0x0E,
                   kFtLbsData = 0x13, kFtCblsFmla = 0x14, kFtCmo = 0x15;

struct Body {
  std::uint8_t* b;
  std::size_t n;
  unsigned Get16(std::size_t at) const { return b[at] | (b[at + 1] << 8); }
};

// An object's formula at `at`: its size (cbFmla), then the token count, four unused bytes and
// the tokens, padded to the size. Returns where it ends, 0 when it does not fit in `end`.
std::size_t ObjFormula(const Body& r, std::size_t at, std::size_t end,
                       const std::function<void(std::uint8_t*, std::size_t)>& fn) {
  if (at + 2 > end) return 0;
  const std::size_t size = r.Get16(at), stop = at + 2 + size;
  if (stop > end) return 0;
  if (size >= 6) {
    const std::size_t cce = r.Get16(at + 2) & 0x7FFF;
    if (6 + cce <= size) fn(r.b + at + 8, cce);
  }
  return stop;
}

void ObjFormulas(const Body& r, const std::function<void(std::uint8_t*, std::size_t)>& fn) {
  // Common object data comes first, else this is not a 97-2000 object.
  if (r.n < 4 || r.Get16(0) != kFtCmo || r.Get16(2) != 0x12) return;
  for (std::size_t at = 0; at + 4 <= r.n;) {
    const unsigned ft = r.Get16(at);
    if (ft == kFtEnd) return;
    if (ft == kFtMacro || ft == kFtSbsFmla || ft == kFtCblsFmla) {
      // No length of its own: the formula's size says where the next starts.
      at = ObjFormula(r, at + 2, r.n, fn);
      if (at == 0) return;
      continue;
    }
    if (ft == kFtLbsData) {
      // A list's source range; the rest of the list's data runs to the record's end.
      if (r.Get16(at + 2) != 0) ObjFormula(r, at + 4, r.n, fn);
      return;
    }
    const std::size_t end = at + 4 + r.Get16(at + 2);
    if (end > r.n) return;
    if (ft == kFtPictFmla) ObjFormula(r, at + 4, end, fn);
    at = end;
  }
}

}  // namespace

void ForEachRecordFormula(CarriedRecord& record,
                          const std::function<void(std::uint8_t*, std::size_t)>& fn) {
  const Body r{record.body.data(), record.body.size()};
  if (record.id == kBrai) {
    // Id, type, flags, number format, then the formula's length and tokens.
    if (r.n < 8) return;
    const std::size_t cce = r.Get16(6);
    if (8 + cce <= r.n) fn(r.b + 8, cce);
  } else if (record.id == kObj) {
    ObjFormulas(r, fn);
  } else if (record.id == kTxo) {
    // Alignment, rotation, six bytes of control data, the text's and runs' lengths, the font
    // of an empty box, then the formula of a box linked to a cell. The text follows in
    // CONTINUE records.
    const std::size_t own = record.breaks.empty() ? r.n : std::min<std::size_t>(record.breaks[0], r.n);
    ObjFormula(r, 16, own, fn);
  }
}

}  // namespace engine::features
