// The built-in names a sheet carries: Print_Area (code 6), Print_Titles (7) and
// _FilterDatabase (13, the autofilter's range). Their formulas are lists of 3-D areas of the
// sheet itself.
#include <algorithm>

#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {

constexpr unsigned kPrintArea = 6, kPrintTitles = 7, kFilterDatabase = 13;

// The areas of a formula made of 3-D (or plain) references, areas and unions; false for
// anything else.
bool Areas(const std::uint8_t* t, std::size_t size, bool b8, std::vector<CellRange>& out) {
  std::size_t i = 0;
  auto need = [&](std::size_t n) { return i + n <= size; };
  while (i < size) {
    unsigned id = t[i++];
    unsigned base = id & 0x1F;
    if (id == 0x10 || id == 0x15) continue;  // union, parentheses
    if (base == 0x09 && id >= 0x20) {        // memory function: its length follows
      if (!need(2)) return false;
      i += 2;
      continue;
    }
    if (id < 0x20) return false;
    CellRange r;
    if (b8) {
      if (base == 0x1B || base == 0x05) {  // area3d / area
        std::size_t skip = base == 0x1B ? 2 : 0;
        if (!need(skip + 8)) return false;
        i += skip;
        r.row1 = Get16(t + i) + 1;
        r.row2 = Get16(t + i + 2) + 1;
        r.col1 = (Get16(t + i + 4) & 0xFF) + 1;
        r.col2 = (Get16(t + i + 6) & 0xFF) + 1;
        i += 8;
      } else if (base == 0x1A || base == 0x04) {  // ref3d / ref
        std::size_t skip = base == 0x1A ? 2 : 0;
        if (!need(skip + 4)) return false;
        i += skip;
        r.row1 = r.row2 = Get16(t + i) + 1;
        r.col1 = r.col2 = (Get16(t + i + 2) & 0xFF) + 1;
        i += 4;
      } else {
        return false;
      }
    } else {
      if (base == 0x1B || base == 0x05) {
        std::size_t skip = base == 0x1B ? 14 : 0;
        if (!need(skip + 6)) return false;
        i += skip;
        r.row1 = (Get16(t + i) & 0x3FFF) + 1;
        r.row2 = (Get16(t + i + 2) & 0x3FFF) + 1;
        r.col1 = t[i + 4] + 1;
        r.col2 = t[i + 5] + 1;
        i += 6;
      } else if (base == 0x1A || base == 0x04) {
        std::size_t skip = base == 0x1A ? 14 : 0;
        if (!need(skip + 3)) return false;
        i += skip;
        r.row1 = r.row2 = (Get16(t + i) & 0x3FFF) + 1;
        r.col1 = r.col2 = t[i + 2] + 1;
        i += 3;
      } else {
        return false;
      }
    }
    if (r.row1 > r.row2) std::swap(r.row1, r.row2);
    if (r.col1 > r.col2) std::swap(r.col1, r.col2);
    out.push_back(r);
  }
  return !out.empty();
}

// `sheetIndex` is the sheet's sheet-reference entry + 1 (one per worksheet in order).
void PutArea(Bytes& t, const CellRange& r, int sheetIndex, bool b8) {
  if (b8) {
    Put8(t, 0x3B);
    Put16(t, static_cast<unsigned>(sheetIndex - 1));
    Put16(t, static_cast<unsigned>(r.row1 - 1));
    Put16(t, static_cast<unsigned>(r.row2 - 1));
    Put16(t, static_cast<unsigned>(r.col1 - 1));
    Put16(t, static_cast<unsigned>(r.col2 - 1));
  } else {
    Put8(t, 0x3B);
    Put16(t, static_cast<unsigned>(static_cast<std::uint16_t>(-sheetIndex)));
    for (int k = 0; k < 8; ++k) Put8(t, 0);
    Put16(t, static_cast<unsigned>(sheetIndex - 1));
    Put16(t, static_cast<unsigned>(sheetIndex - 1));
    Put16(t, static_cast<unsigned>(std::min(r.row1, 16384) - 1));
    Put16(t, static_cast<unsigned>(std::min(r.row2, 16384) - 1));
    Put8(t, static_cast<unsigned>(r.col1 - 1));
    Put8(t, static_cast<unsigned>(r.col2 - 1));
  }
}

// `tab`: the sheet's place among the file's sheets, 1-based.
void WriteName(RecordWriter& w, unsigned code, int sheetIndex, unsigned tab,
               const std::vector<CellRange>& areas, bool b8, bool hidden) {
  if (areas.empty()) return;
  Bytes t;
  if (areas.size() > 1) {
    Bytes inner;
    for (std::size_t i = 0; i < areas.size(); ++i) {
      PutArea(inner, areas[i], sheetIndex, b8);
      if (i) Put8(inner, 0x10);
    }
    Put8(t, 0x29);
    Put16(t, static_cast<unsigned>(inner.size()));
    t.insert(t.end(), inner.begin(), inner.end());
  } else {
    PutArea(t, areas[0], sheetIndex, b8);
  }
  Bytes b;
  Put16(b, 0x0020 | (hidden ? 0x0001 : 0));
  Put8(b, 0);
  Put8(b, 1);
  Put16(b, static_cast<unsigned>(t.size()));
  Put16(b, 0);
  Put16(b, tab);
  Put32(b, 0);
  if (b8) Put8(b, 0);
  Put8(b, code);
  b.insert(b.end(), t.begin(), t.end());
  w.Write(rec::kName, b);
}

}  // namespace

void ReadBuiltinName(unsigned code, const std::uint8_t* tokens, std::size_t size, SheetFeatures& f,
                     bool b8) {
  std::vector<CellRange> areas;
  if (!Areas(tokens, size, b8, areas)) return;
  for (const CellRange& r : areas)
    if (r.row2 > kMaxRow || r.col2 > kMaxCol) return;
  PageSetup& p = f.page;
  switch (code) {
    case kPrintArea:
      p.printArea = areas;
      break;
    case kPrintTitles:
      for (const CellRange& r : areas) {
        if (r.col1 == 1 && r.col2 == kMaxCol) {
          p.titleRow1 = r.row1;
          p.titleRow2 = r.row2;
        } else if (r.row1 == 1 && (r.row2 == kMaxRow || (!b8 && r.row2 == 16384))) {
          p.titleCol1 = r.col1;
          p.titleCol2 = r.col2;
        }
      }
      break;
    case kFilterDatabase:
      f.filter.range = areas[0];
      f.filter.named = true;
      break;
    default:
      break;
  }
}

void WriteBuiltinNames(RecordWriter& w, const std::vector<const Sheet*>& sheets,
                       const std::vector<unsigned>& tabs, bool b8) {
  // Ordered by code, then by sheet, as spreadsheets keep them.
  for (unsigned code : {kPrintArea, kPrintTitles, kFilterDatabase}) {
    for (std::size_t i = 0; i < sheets.size(); ++i) {
      const SheetFeatures& f = sheets[i]->Features();
      int index = static_cast<int>(i) + 1;
      std::vector<CellRange> areas;
      if (code == kPrintArea) {
        for (const CellRange& r : f.page.printArea)
          if (r.row1 >= 1) areas.push_back(r);
      } else if (code == kPrintTitles) {
        int rowLimit = b8 ? kMaxRow : 16384;
        if (f.page.titleRow1 >= 1 && f.page.titleRow2 >= f.page.titleRow1)
          areas.push_back(CellRange{f.page.titleRow1, 1, f.page.titleRow2, kMaxCol});
        if (f.page.titleCol1 >= 1 && f.page.titleCol2 >= f.page.titleCol1)
          areas.push_back(CellRange{1, f.page.titleCol1, rowLimit, f.page.titleCol2});
      } else if ((f.filter.on || f.filter.named) && f.filter.range.row1 >= 1) {
        areas.push_back(f.filter.range);
      }
      WriteName(w, code, index, tabs[i] + 1, areas, b8, code == kFilterDatabase);
    }
  }
}

}  // namespace engine::xls
