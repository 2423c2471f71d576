#include "control/model/carried_refs.h"

#include <algorithm>
#include <functional>

#include "control/model/record_formulas.h"
#include "control/model/workbook.h"

namespace engine::features {

namespace {

// fn(tokens, size, rowOffset, entries) for every carried formula that may name cells of
// `sheet`: 3-D references through the sheet-reference entries that name it alone, and the
// plain references of the objects drawn on it.
using TokenFn = std::function<void(std::uint8_t*, std::size_t, int, const std::vector<bool>*)>;

void ForEachCarriedFormula(Workbook& book, const Sheet& sheet, const TokenFn& fn) {
  CarriedBook& carried = book.Carried();
  std::vector<bool> entries;
  bool any = false;
  for (const CarriedBook::SheetRef& x : carried.externSheets) {
    const bool mine = x.carriedSheet < 0 && x.first == sheet.Id() && x.last == sheet.Id();
    entries.push_back(mine);
    any = any || mine;
  }
  const int rowOffset = sheet.Features().carriedRowOffset;
  auto onSheet = [&](std::uint8_t* t, std::size_t n) {
    if (any) fn(t, n, rowOffset, &entries);
  };
  auto own = [&](std::uint8_t* t, std::size_t n) {
    onSheet(t, n);
    fn(t, n, rowOffset, nullptr);
  };
  for (CarriedSheet& s : carried.sheets)
    for (CarriedRecord& r : s.records) ForEachRecordFormula(r, onSheet);
  for (int i = 1; i <= book.SheetCount(); ++i) {
    Sheet& drawnOn = book.GetSheet(i);
    for (CarriedShape& d : drawnOn.Features().drawings)
      for (CarriedShape::Part& p : d.parts) {
        if (&drawnOn == &sheet) ForEachRecordFormula(p.record, own);
        else ForEachRecordFormula(p.record, onSheet);
      }
  }
  // A carried name: flags, key, name length, then the formula's length; its tokens where the
  // name's text ends.
  for (CarriedName& n : carried.definedNames) {
    RecordBytes& b = n.record.body;
    if (b.size() < 6 || n.tokensAt > b.size()) continue;
    const std::size_t cce = std::min<std::size_t>(b[4] | (b[5] << 8), b.size() - n.tokensAt);
    onSheet(b.data() + n.tokensAt, cce);
  }
}

}  // namespace

void MapCarriedRefs(Workbook& book, const Sheet& sheet, const LineEdit& e) {
  // Whole columns inserted or deleted take the heading row (the names row while it is out)
  // along: a series that starts at its title moves with its column.
  LineEdit edit = e;
  if (!e.rows && e.band1 <= 1 && e.band2 >= kMaxRow) edit.band1 = 0;
  ForEachCarriedFormula(book, sheet, [&](std::uint8_t* t, std::size_t n, int rowOffset,
                                         const std::vector<bool>* entries) {
    MapTokens(t, n, edit, rowOffset, entries);
  });
}

void MoveCarriedRefs(Workbook& book, const Sheet& sheet, const BlockMove& m) {
  ForEachCarriedFormula(book, sheet, [&](std::uint8_t* t, std::size_t n, int rowOffset,
                                         const std::vector<bool>* entries) {
    MoveTokens(t, n, m, rowOffset, entries);
  });
}

void SortCarriedRefs(Workbook& book, const Sheet& sheet, const LineOrder& o) {
  ForEachCarriedFormula(book, sheet, [&](std::uint8_t* t, std::size_t n, int rowOffset,
                                         const std::vector<bool>* entries) {
    SortTokens(t, n, o, rowOffset, entries);
  });
}

}  // namespace engine::features
