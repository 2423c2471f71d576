// Cell colour styles: the host marks a parameter's cell or whole column with one of three fill
// colours, reads the mark back, and sets font colours. The engine colours its selection, so
// each operation moves the selection to the target and puts the user's row selection and
// active cell back afterwards.
#include "table/czat_psf1.h"
#include "table/narrow.h"

namespace {

constexpr unsigned long kBlue = 0xFF0000;  // colours are 0x00BBGGRR
constexpr unsigned long kRed = 0x0000FF;
constexpr unsigned long kGreen = 0x00FF00;
constexpr unsigned long kBorderSilver = 0xC0C0C0;

// A target row the engine can address: a row of the sheet, or 0 for the whole column.
bool IsTargetRow(long row, long maxRow) { return row >= 0 && row <= maxRow; }

}  // namespace

unsigned long CZAT_PSF1::GetStyleColor(COLOR_STYLE style) const {
  switch (style) {
    case COLOR_STYLE_BLUE:
      return kBlue;
    case COLOR_STYLE_RED:
      return kRed;
    case COLOR_STYLE_GREEN:
      return kGreen;
    default:
      return 0;
  }
}

CZAT::COLOR_STYLE CZAT_PSF1::GetColorStyle(unsigned long colour) const {
  if (colour == kRed) return COLOR_STYLE_RED;
  if (colour == kGreen) return COLOR_STYLE_GREEN;
  if (colour == kBlue) return COLOR_STYLE_BLUE;
  return COLOR_STYLE_NONE;
}

void CZAT_PSF1::StoreBeforeColorOp(long row, long col, long& activeRow, long& activeCol,
                                   bool& restoreSel, CWBRowsRangeList& savedSel, long sheet) {
  restoreSel = StoreSelRows(savedSel, sheet) != -1;
  int r = 0, c = 0;
  Ctl().GetActiveCell(r, c);
  activeRow = r;
  activeCol = c;
  UnSelectRows(sheet);
  if (row != 0) Ctl().SetActiveCell(table::Narrow(row), table::Narrow(col));
}

void CZAT_PSF1::ReStoreAfterColorOp(long activeRow, long activeCol, bool restoreSel,
                                    CWBRowsRangeList& savedSel, long sheet) {
  if (restoreSel) {
    UnSelectRows(sheet);
    RestoreSelRows(savedSel, GetSheet());
  }
  Ctl().SetActiveCell(table::Narrow(activeRow), table::Narrow(activeCol));
}

template <class Op>
int CZAT_PSF1::Internals::WithColorTarget(CZAT_PSF1& table, const CString& name, long row,
                                          Op&& op) {
  const long col = table.GetArgCol(name);
  if (col == -1) return -1;
  engine::Control& ctl = table.Ctl();
  if (!IsTargetRow(row, ctl.GetMaxRow())) return -1;  // refused before the selection moves
  long activeRow = 0, activeCol = 0;
  bool restoreSel = false;
  CWBRowsRangeList savedSel;
  const long sheet = table.GetSheet();
  table.StoreBeforeColorOp(row, col, activeRow, activeCol, restoreSel, savedSel, sheet);
  if (row == 0) table.SelectArg(name, 0);
  op(ctl);
  table.ReStoreAfterColorOp(activeRow, activeCol, restoreSel, savedSel, sheet);
  return 0;
}

int CZAT_PSF1::SetStyle(COLOR_STYLE style, const CString& name, long row) {
  return Internals::WithColorTarget(*this, name, row, [&](engine::Control& ctl) {
    short pattern = 0;
    std::uint32_t fore = 0, back = 0;
    ctl.GetPattern(pattern, fore, back);
    if (style >= COLOR_STYLE_BLUE && style <= COLOR_STYLE_GREEN) {
      pattern = 1;
      fore = static_cast<std::uint32_t>(GetStyleColor(style));
    } else {
      pattern = 0;
    }
    ctl.SetPattern(pattern, fore, back);
    ctl.SetBorder(1, 1, 1, 1, 1, 0, kBorderSilver, kBorderSilver, kBorderSilver, kBorderSilver,
                  kBorderSilver);
  });
}

int CZAT_PSF1::GetStyle(COLOR_STYLE& style, const CString& name, long row) {
  return Internals::WithColorTarget(*this, name, row, [&](engine::Control& ctl) {
    short pattern = 0;
    std::uint32_t fore = 0, back = 0;
    ctl.GetPattern(pattern, fore, back);
    style = pattern != 0 ? GetColorStyle(fore) : COLOR_STYLE_NONE;
  });
}

int CZAT_PSF1::SetFontColor(long row, const CString& name, unsigned long colour) {
  return Internals::WithColorTarget(*this, name, row, [&](engine::Control& ctl) {
    ctl.SetFontColor(static_cast<std::uint32_t>(colour & 0xFFFFFF));
  });
}
