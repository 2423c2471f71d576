// Conditional formats: CONDFMT (the ranges) followed by its CF rule records, kept as they are.
#include <algorithm>

#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

void ReadCondFmt(Cursor& c, ConditionalFormat& cf, std::size_t& ruleCount) {
  ruleCount = c.U16();
  c.U16();
  c.Skip(8);  // the bounding range, recomputed on writing
  unsigned n = c.U16();
  if (c.Left() < 8u * n) ThrowDamaged("a conditional format's ranges are cut off");
  for (unsigned i = 0; i < n; ++i) {
    unsigned r1 = c.U16(), r2 = c.U16(), c1 = c.U16(), c2 = c.U16();
    if (r1 > r2 || c1 > c2 || r2 >= static_cast<unsigned>(kMaxRow) ||
        c2 >= static_cast<unsigned>(kMaxCol))
      ThrowDamaged("a conditional format is not on a range of the sheet");
    cf.ranges.push_back(CellRange{static_cast<int>(r1) + 1, static_cast<int>(c1) + 1,
                                  static_cast<int>(r2) + 1, static_cast<int>(c2) + 1});
  }
}

void WriteCondFormats(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io) {
  if (!io.b8) return;  // the 5.0/95 form has no conditional formats
  for (const ConditionalFormat& cf : f.conditional) {
    std::vector<CellRange> ranges;
    for (const CellRange& r : cf.ranges)
      if (r.row1 >= 1) ranges.push_back(r);
    // Only comparisons and formula rules have a CF record; the extended rules (colour scales,
    // data bars, icon sets, top N, text rules …) would need the CF12 records of later versions
    // and are left out of this form, as its save behaviour says.
    if (ranges.empty() || cf.rules.empty()) continue;
    ranges.resize(std::min<std::size_t>(ranges.size(), 1000));
    CellRange bound = ranges[0];
    for (const CellRange& r : ranges) {
      bound.row1 = std::min(bound.row1, r.row1);
      bound.col1 = std::min(bound.col1, r.col1);
      bound.row2 = std::max(bound.row2, r.row2);
      bound.col2 = std::max(bound.col2, r.col2);
    }
    std::size_t rules = std::min<std::size_t>(cf.rules.size(), 3);
    Bytes b;
    Put16(b, static_cast<unsigned>(rules));
    Put16(b, 1);
    auto ref = [&](const CellRange& r) {
      Put16(b, static_cast<unsigned>(r.row1 - 1));
      Put16(b, static_cast<unsigned>(r.row2 - 1));
      Put16(b, static_cast<unsigned>(r.col1 - 1));
      Put16(b, static_cast<unsigned>(r.col2 - 1));
    };
    ref(bound);
    Put16(b, static_cast<unsigned>(ranges.size()));
    for (const CellRange& r : ranges) ref(r);
    w.Write(rec::kCondFmt, b);
    for (std::size_t i = 0; i < rules; ++i) w.Write(rec::kCf, cf.rules[i]);
  }
}

}  // namespace engine::xls
