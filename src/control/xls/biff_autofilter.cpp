// The autofilter: AUTOFILTERINFO (how many columns have drop-downs), one AUTOFILTER per column
// with criteria, and FILTERMODE while criteria hide rows. The range itself is the sheet's
// built-in filter-database name (biff_print_names.cpp).
#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

void ReadAutoFilterInfo(Cursor& c, AutoFilter& filter) {
  c.U16();  // the number of columns, which the range gives
  filter.on = true;
}

void ReadAutoFilter(const Record& r, AutoFilter& filter) {
  if (r.size < 24) ThrowDamaged("an autofilter's criteria are cut off");
  filter.criteria.emplace_back(r.data, r.data + r.size);
}

void WriteAutoFilter(RecordWriter& w, const SheetFeatures& f, const FeatureIo&) {
  const AutoFilter& a = f.filter;
  if (!a.on || a.range.row1 < 1) return;
  if (!a.criteria.empty()) w.Write(rec::kFilterMode, {});
  Bytes b;
  Put16(b, static_cast<unsigned>(a.range.col2 - a.range.col1 + 1));
  w.Write(rec::kAutoFilterInfo, b);
  // Criteria the record cannot hold (a.extended) are left out of this form rather than cut to
  // two conditions: a part of them would pick other rows than the whole.
  for (const RecordBytes& c : a.criteria) w.Write(rec::kAutoFilter, Bytes(c.begin(), c.end()));
}

}  // namespace engine::xls
