// Page setup: PRINTHEADERS, PRINTGRIDLINES, GRIDSET, GUTS, WSBOOL, the page breaks, HEADER,
// FOOTER, HCENTER, VCENTER, the four margins and SETUP.
#include <algorithm>
#include <cmath>

#include "control/xls/biff_sheet_features.h"

namespace engine::xls {

namespace {
constexpr unsigned kLeftToRight = 0x01, kPortrait = 0x02, kNoPrinterSettings = 0x04,
                   kBlackAndWhite = 0x08, kDraft = 0x10, kUsePageNumber = 0x80;
constexpr unsigned kFitToPage = 0x100;

double Margin(Cursor& c) {
  double d = c.F64();
  return std::isfinite(d) && d >= 0 && d < 100 ? d : 0.75;
}

void ReadBreaks(Cursor& c, std::vector<int>& breaks, bool b8, int limit) {
  unsigned n = c.U16();
  if (c.Left() < (b8 ? 6u : 2u) * n) ThrowDamaged("a list of page breaks is cut off");
  for (unsigned i = 0; i < n; ++i) {
    int at = c.U16();
    if (b8) c.Skip(4);
    if (at >= 1 && at < limit) breaks.push_back(at + 1);
  }
  std::sort(breaks.begin(), breaks.end());
  breaks.erase(std::unique(breaks.begin(), breaks.end()), breaks.end());
}

void WriteBreaks(RecordWriter& w, std::uint16_t id, const std::vector<int>& breaks, bool b8,
                 int limit) {
  std::vector<int> list;
  for (int b : breaks)
    if (b >= 2 && b <= limit) list.push_back(b);
  std::sort(list.begin(), list.end());
  list.erase(std::unique(list.begin(), list.end()), list.end());
  if (list.empty()) return;
  list.resize(std::min<std::size_t>(list.size(), 1026));
  Bytes b;
  Put16(b, static_cast<unsigned>(list.size()));
  for (int at : list) {
    Put16(b, static_cast<unsigned>(at - 1));
    if (b8) {
      Put16(b, 0);
      Put16(b, id == rec::kHPageBreaks ? 255 : 65535);
    }
  }
  w.Write(id, b);
}

void PutFlag(RecordWriter& w, std::uint16_t id, bool on) {
  Bytes b;
  Put16(b, on ? 1 : 0);
  w.Write(id, b);
}

void PutMargin(RecordWriter& w, std::uint16_t id, double d) {
  Bytes b;
  PutDouble(b, d);
  w.Write(id, b);
}
}  // namespace

bool ReadPageRecord(const Record& r, PageSetup& p, const FeatureIo& io) {
  Cursor c(r);
  switch (r.id) {
    case rec::kPrintHeaders:
      p.printHeadings = c.U16() != 0;
      return true;
    case rec::kPrintGridlines:
      p.printGridlines = c.U16() != 0;
      return true;
    case rec::kHCenter:
      p.centerH = c.U16() != 0;
      return true;
    case rec::kVCenter:
      p.centerV = c.U16() != 0;
      return true;
    case rec::kWsBool:
      p.fitToPage = (c.U16() & kFitToPage) != 0;
      return true;
    case rec::kLeftMargin:
      p.left = Margin(c);
      p.marginsSet = true;
      return true;
    case rec::kRightMargin:
      p.right = Margin(c);
      p.marginsSet = true;
      return true;
    case rec::kTopMargin:
      p.top = Margin(c);
      p.marginsSet = true;
      return true;
    case rec::kBottomMargin:
      p.bottom = Margin(c);
      p.marginsSet = true;
      return true;
    case rec::kHeader:
    case rec::kFooter: {
      // Some writers leave an empty text as its length alone.
      std::string text = r.size <= (io.b8 ? 2u : 1u) ? std::string() : ReadShortText(c, io);
      (r.id == rec::kHeader ? p.header : p.footer) = std::move(text);
      return true;
    }
    case rec::kHPageBreaks:
      ReadBreaks(c, p.rowBreaks, io.b8, kMaxRow);
      return true;
    case rec::kVPageBreaks:
      ReadBreaks(c, p.colBreaks, io.b8, kMaxCol);
      return true;
    case rec::kSetup: {
      unsigned paper = c.U16(), scale = c.U16();
      int start = static_cast<std::int16_t>(c.U16());
      unsigned fitW = c.U16(), fitH = c.U16(), flags = c.U16();
      bool settings = !(flags & kNoPrinterSettings);
      p.usePageNumber = flags & kUsePageNumber;
      p.firstPage = start;
      p.fitWidth = static_cast<int>(fitW);
      p.fitHeight = static_cast<int>(fitH);
      p.leftToRight = flags & kLeftToRight;
      p.blackAndWhite = flags & kBlackAndWhite;
      p.draft = flags & kDraft;
      p.printerSettings = settings;
      if (!settings) {  // what an earlier record said no longer holds
        PageSetup defaults;
        p.paperSize = defaults.paperSize;
        p.scale = defaults.scale;
        p.landscape = defaults.landscape;
        p.hRes = defaults.hRes;
        p.vRes = defaults.vRes;
        p.copies = defaults.copies;
      }
      if (settings) {
        p.paperSize = static_cast<int>(paper);
        p.scale = std::clamp(static_cast<int>(scale), 10, 400);
        p.landscape = !(flags & kPortrait);
      }
      if (c.Left() >= 20) {
        unsigned res = c.U16(), vres = c.U16();
        if (settings) {
          p.hRes = static_cast<int>(res);
          p.vRes = static_cast<int>(vres);
        }
        p.headerMargin = Margin(c);
        p.footerMargin = Margin(c);
        if (c.Left() >= 2 && settings) p.copies = std::max<int>(1, c.U16());
      }
      return true;
    }
    default:
      return false;
  }
}

void WritePageSetup(RecordWriter& w, const Sheet& sheet, const FeatureIo& io) {
  const PageSetup& p = sheet.Features().page;
  PutFlag(w, rec::kPrintHeaders, p.printHeadings);
  PutFlag(w, rec::kPrintGridlines, p.printGridlines);
  PutFlag(w, rec::kGridSet, true);
  {
    // Outline gutters: the deepest row and column levels.
    int rowLevel = 0, colLevel = 0;
    for (int r = 1; r <= sheet.RowAttrCount(); ++r)
      rowLevel = std::max<int>(rowLevel, sheet.GetRowAttr(r).outline);
    for (int c = 1; c <= kMaxCol; ++c) colLevel = std::max<int>(colLevel, sheet.ColAttr(c).outline);
    Bytes b;
    Put16(b, rowLevel ? static_cast<unsigned>(12 * rowLevel + 17) : 0);
    Put16(b, colLevel ? static_cast<unsigned>(12 * colLevel + 17) : 0);
    Put16(b, rowLevel ? static_cast<unsigned>(rowLevel + 1) : 0);
    Put16(b, colLevel ? static_cast<unsigned>(colLevel + 1) : 0);
    w.Write(rec::kGuts, b);
  }
  if (const int height = sheet.Features().defaultRowHeight; height > 0) {
    Bytes b;
    Put16(b, height != kStandardRowHeight ? 1 : 0);  // the height is not the font's own
    Put16(b, static_cast<unsigned>(std::clamp(height, 1, kMaxRowHeight)));
    w.Write(rec::kDefaultRowHeight, b);
  }
  {
    Bytes b;
    Put16(b, 0x04C1 | (p.fitToPage ? kFitToPage : 0));
    w.Write(rec::kWsBool, b);
  }
  int rowLimit = io.b8 ? kMaxRow : 16384;
  WriteBreaks(w, rec::kHPageBreaks, p.rowBreaks, io.b8, rowLimit);
  WriteBreaks(w, rec::kVPageBreaks, p.colBreaks, io.b8, kMaxCol);
  for (std::uint16_t id : {rec::kHeader, rec::kFooter}) {
    const std::string& text = id == rec::kHeader ? p.header : p.footer;
    Bytes b;
    if (!text.empty()) PutRecordText(b, text, io, 255);
    w.Write(id, b);
  }
  PutFlag(w, rec::kHCenter, p.centerH);
  PutFlag(w, rec::kVCenter, p.centerV);
  if (p.marginsSet) {
    PutMargin(w, rec::kLeftMargin, p.left);
    PutMargin(w, rec::kRightMargin, p.right);
    PutMargin(w, rec::kTopMargin, p.top);
    PutMargin(w, rec::kBottomMargin, p.bottom);
  }
  Bytes b;
  bool settings = p.printerSettings || p.landscape || p.scale != 100;
  Put16(b, static_cast<unsigned>(p.paperSize > 0 || p.printerSettings ? p.paperSize : 9));
  Put16(b, static_cast<unsigned>(std::clamp(p.scale, 10, 400)));
  Put16(b, static_cast<unsigned>(static_cast<std::uint16_t>(p.firstPage)));
  Put16(b, static_cast<unsigned>(std::clamp(p.fitWidth, 0, 32767)));
  Put16(b, static_cast<unsigned>(std::clamp(p.fitHeight, 0, 32767)));
  Put16(b, (p.leftToRight ? kLeftToRight : 0) | (p.landscape ? 0 : kPortrait) |
               (settings ? 0 : kNoPrinterSettings) | (p.blackAndWhite ? kBlackAndWhite : 0) |
               (p.draft ? kDraft : 0) | (p.usePageNumber ? kUsePageNumber : 0));
  Put16(b, static_cast<unsigned>(std::clamp(p.hRes, 0, 65535)));
  Put16(b, static_cast<unsigned>(std::clamp(p.vRes, 0, 65535)));
  PutDouble(b, p.headerMargin);
  PutDouble(b, p.footerMargin);
  Put16(b, static_cast<unsigned>(std::clamp(p.copies, 1, 32767)));
  w.Write(rec::kSetup, b);
}

}  // namespace engine::xls
