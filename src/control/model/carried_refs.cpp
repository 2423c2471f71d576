#include "control/model/carried_refs.h"

#include <algorithm>

#include "control/model/workbook.h"

namespace engine::features {

namespace {

constexpr std::uint16_t kBrai = 0x1051;  // a chart series' link to its data

std::size_t Get16(const RecordBytes& b, std::size_t at) {
  return static_cast<std::size_t>(b[at] | (b[at + 1] << 8));
}

// The formula a carried record holds at `at`, its length `lengthAt` before it.
void MapFormula(RecordBytes& body, std::size_t lengthAt, std::size_t at, const LineEdit& e,
                int rowOffset, const std::vector<bool>& entries) {
  if (lengthAt + 2 > body.size() || at > body.size()) return;
  const std::size_t cce = std::min(Get16(body, lengthAt), body.size() - at);
  MapTokens(body.data() + at, cce, e, rowOffset, &entries);
}

void MapRecord(CarriedRecord& r, const LineEdit& e, int rowOffset,
               const std::vector<bool>& entries) {
  // Series link: id, type, flags, number format, then the formula's length and tokens.
  if (r.id == kBrai) MapFormula(r.body, 6, 8, e, rowOffset, entries);
}

}  // namespace

void MapCarriedRefs(Workbook& book, const Sheet& sheet, const LineEdit& e) {
  CarriedBook& carried = book.Carried();
  // The sheet-reference entries that name this sheet alone.
  std::vector<bool> entries;
  bool any = false;
  for (const CarriedBook::SheetRef& x : carried.externSheets) {
    const bool mine = x.carriedSheet < 0 && x.first == sheet.Id() && x.last == sheet.Id();
    entries.push_back(mine);
    any = any || mine;
  }
  if (!any) return;
  const int rowOffset = sheet.Features().carriedRowOffset;
  // Whole columns inserted or deleted take the heading row (the names row while it is out)
  // along: a series that starts at its title moves with its column.
  LineEdit edit = e;
  if (!e.rows && e.band1 <= 1 && e.band2 >= kMaxRow) edit.band1 = 0;
  for (CarriedSheet& s : carried.sheets)
    for (CarriedRecord& r : s.records) MapRecord(r, edit, rowOffset, entries);
  for (int i = 1; i <= book.SheetCount(); ++i)
    for (CarriedShape& d : book.GetSheet(i).Features().drawings)
      for (CarriedShape::Part& p : d.parts) MapRecord(p.record, edit, rowOffset, entries);
  // A carried name: flags, key, name length, then the formula's length.
  for (CarriedName& n : carried.definedNames)
    MapFormula(n.record.body, 4, n.tokensAt, edit, rowOffset, entries);
}

}  // namespace engine::features
