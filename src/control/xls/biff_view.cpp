// How a sheet is shown: WINDOW2 (gridlines, headings, zeros, frozen panes, first visible cell),
// SCL (zoom), PANE (the split or freeze) and SHEETEXT (the tab colour).
#include <algorithm>

#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {
constexpr unsigned kShowGrid = 0x0002, kShowHeadings = 0x0004, kFrozen = 0x0008,
                   kShowZeros = 0x0010, kDefaultGridColor = 0x0020, kShowOutline = 0x0080,
                   kFrozenNoSplit = 0x0100, kSelected = 0x0200, kPaged = 0x0400;
}

void ReadWindow2(Cursor& c, SheetView& v, const FeatureIo&) {
  unsigned flags = c.U16();
  v.topRow = c.U16() + 1;
  v.leftCol = std::min<int>(c.U16(), kMaxCol - 1) + 1;
  v.gridlines = flags & kShowGrid;
  v.headings = flags & kShowHeadings;
  v.zeros = flags & kShowZeros;
  v.frozen = flags & kFrozen;
}

void ReadPane(Cursor& c, SheetView& v) {
  // Positions as they stand; whether they count rows or twips depends on the freeze, which
  // FinishView settles once the sheet is read.
  v.splitX = c.U16();
  v.splitY = c.U16();
  v.paneRow = c.U16() + 1;
  v.paneCol = std::min<int>(c.U16(), kMaxCol - 1) + 1;
  v.activePane = c.Left() ? c.U8() & 3 : 3;
}

void FinishView(SheetView& v) {
  if (!v.frozen) return;
  v.splitCol = v.splitX ? std::min(v.splitX, kMaxCol - 1) + 1 : 0;
  v.splitRow = v.splitY ? std::min(v.splitY, kMaxRow - 1) + 1 : 0;
  v.splitX = v.splitY = 0;
  v.activePane = 3;  // a freeze's follows from its shape
}

void ReadScl(Cursor& c, SheetView& v) {
  unsigned num = c.U16(), den = c.U16();
  if (num && den) v.zoom = std::clamp(static_cast<int>(num * 100 / den), 10, 400);
}

void ReadSheetExt(Cursor& c, SheetView& v) {
  c.Skip(12);
  std::uint32_t size = c.U32();
  if (size >= 0x14 && c.Left() >= 4) {
    unsigned icv = c.U32() & 0x7F;
    v.tabColor = icv >= 8 && icv < 64 ? static_cast<int>(icv) : -1;
  }
}

void WriteWindow(RecordWriter& w, const Sheet& sheet, bool active, const FeatureIo& io) {
  const SheetView& v = sheet.Features().view;
  bool frozen = v.frozen;
  bool split = v.splitX > 0 || v.splitY > 0 || v.paneRow > 0 || v.paneCol > 0;
  unsigned flags = kDefaultGridColor | kShowOutline | (v.gridlines ? kShowGrid : 0) |
                   (v.headings ? kShowHeadings : 0) | (v.zeros ? kShowZeros : 0) |
                   (frozen ? kFrozen | kFrozenNoSplit : 0) |
                   (active || sheet.Selected() ? kSelected : 0) | (active ? kPaged : 0);
  Bytes b;
  Put16(b, flags);
  Put16(b, static_cast<unsigned>(std::clamp(v.topRow, 1, kMaxRow) - 1));
  Put16(b, static_cast<unsigned>(std::clamp(v.leftCol, 1, kMaxCol) - 1));
  if (io.b8) {
    Put16(b, 64);
    Put16(b, 0);
    Put16(b, 0);
    Put16(b, v.zoom == 100 ? 0 : static_cast<unsigned>(v.zoom));
    Put32(b, 0);
  } else {
    Put32(b, 0);
  }
  w.Write(rec::kWindow2, b);
  if (v.zoom != 100) {
    Bytes s;
    Put16(s, static_cast<unsigned>(v.zoom));
    Put16(s, 100);
    w.Write(rec::kScl, s);
  }
  if (frozen || split) {
    Bytes p;
    int rows = frozen ? std::max(v.splitRow - 1, 0) : v.splitY;
    int cols = frozen ? std::max(v.splitCol - 1, 0) : v.splitX;
    Put16(p, static_cast<unsigned>(cols));
    Put16(p, static_cast<unsigned>(rows));
    int top = v.paneRow > 0 ? v.paneRow : (frozen ? v.splitRow : 1);
    int left = v.paneCol > 0 ? v.paneCol : (frozen ? v.splitCol : 1);
    Put16(p, static_cast<unsigned>(std::clamp(top, 1, kMaxRow) - 1));
    Put16(p, static_cast<unsigned>(std::clamp(left, 1, kMaxCol) - 1));
    // The active pane: the lower right one, or the only other one.
    unsigned pane = rows > 0 && cols > 0 ? 0 : (rows > 0 ? 2 : 1);
    if (!frozen) pane = static_cast<unsigned>(v.activePane & 3);
    Put8(p, pane);
    Put8(p, 0);
    w.Write(rec::kPane, p);
  }
}

void WriteSheetExt(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io) {
  if (!io.b8 || f.view.tabColor < 8 || f.view.tabColor > 63) return;
  Bytes b;
  Put16(b, rec::kSheetExt);
  Put16(b, 0);
  Put32(b, 0);
  Put32(b, 0);
  Put32(b, 0x14);
  Put32(b, static_cast<std::uint32_t>(f.view.tabColor));
  w.Write(rec::kSheetExt, b);
}

}  // namespace engine::xls
