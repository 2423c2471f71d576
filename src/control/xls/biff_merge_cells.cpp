// Merged ranges: MERGECELLS, up to 1,026 ranges a record.
#include <algorithm>

#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

void ReadMergeCells(Cursor& c, std::vector<CellRange>& merges) {
  unsigned n = c.U16();
  if (c.Left() < 8u * n) ThrowDamaged("a list of merged cells is cut off");
  for (unsigned i = 0; i < n; ++i) {
    unsigned r1 = c.U16(), r2 = c.U16(), c1 = c.U16(), c2 = c.U16();
    if (r1 > r2 || c1 > c2 || r2 >= static_cast<unsigned>(kMaxRow) ||
        c2 >= static_cast<unsigned>(kMaxCol))
      ThrowDamaged("a merged range is not a range of the sheet");
    merges.push_back(CellRange{static_cast<int>(r1) + 1, static_cast<int>(c1) + 1,
                               static_cast<int>(r2) + 1, static_cast<int>(c2) + 1});
  }
}

void WriteMergeCells(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io) {
  if (!io.b8) return;  // the 5.0/95 form has no merged cells
  std::vector<CellRange> m;
  for (const CellRange& r : f.merges)
    if (r.row1 >= 1) m.push_back(r);
  for (std::size_t at = 0; at < m.size(); at += 1026) {
    std::size_t n = std::min<std::size_t>(1026, m.size() - at);
    Bytes b;
    Put16(b, static_cast<unsigned>(n));
    for (std::size_t i = at; i < at + n; ++i) {
      Put16(b, static_cast<unsigned>(m[i].row1 - 1));
      Put16(b, static_cast<unsigned>(m[i].row2 - 1));
      Put16(b, static_cast<unsigned>(m[i].col1 - 1));
      Put16(b, static_cast<unsigned>(m[i].col2 - 1));
    }
    w.Write(rec::kMergeCells, b);
  }
}

}  // namespace engine::xls
