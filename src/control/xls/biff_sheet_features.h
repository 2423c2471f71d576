#pragma once
// The records of what a sheet carries besides its cells, one family per file:
//   biff_view.cpp        WINDOW2, SCL, PANE, SHEETEXT (panes, gridlines, zoom, tab colour)
//   biff_merge_cells.cpp MERGECELLS
//   biff_hyperlinks.cpp  HLINK, HLINKTOOLTIP
//   biff_validation.cpp  DVAL, DV
//   biff_condfmt.cpp     CONDFMT, CF
//   biff_autofilter.cpp  AUTOFILTERINFO, AUTOFILTER, FILTERMODE
//   biff_page_setup.cpp  SETUP, margins, HEADER, FOOTER, centring, page breaks, WSBOOL
//   biff_print_names.cpp the built-in names: print area, print titles, the filter database
//   biff_comments.cpp    NOTE, OBJ, TXO and the drawing records a comment needs
//   biff_drawing.cpp     drawing objects, chart and macro sheets carried through as they were
// Every reader throws the damaged-workbook error on a malformed record.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "control/model/sheet.h"
#include "control/model/workbook.h"
#include "control/xls/biff_formula.h"
#include "control/xls/biff_records.h"

namespace engine::xls {

namespace rec {
inline constexpr std::uint16_t kNote = 0x001C, kObj = 0x005D, kTxo = 0x01B6, kMsoDrawing = 0x00EC,
                               kMsoDrawingGroup = 0x00EB, kMsoDrawingSelection = 0x00ED,
                               kHLink = 0x01B8, kHLinkTooltip = 0x0800, kDval = 0x01B2,
                               kDv = 0x01BE, kCondFmt = 0x01B0, kCf = 0x01B1, kMergeCells = 0x00E5,
                               kPane = 0x0041, kScl = 0x00A0, kSheetExt = 0x0862,
                               kAutoFilterInfo = 0x009D, kAutoFilter = 0x009E, kFilterMode = 0x009B,
                               kSetup = 0x00A1, kLeftMargin = 0x0026, kRightMargin = 0x0027,
                               kTopMargin = 0x0028, kBottomMargin = 0x0029, kHeader = 0x0014,
                               kFooter = 0x0015, kHCenter = 0x0083, kVCenter = 0x0084,
                               kPrintGridlines = 0x002B, kPrintHeaders = 0x002A, kGridSet = 0x0082,
                               kWsBool = 0x0081, kGuts = 0x0080, kHPageBreaks = 0x001B,
                               kVPageBreaks = 0x001A, kStandardWidth = 0x0099,
                               kDefaultRowHeight = 0x0225,
                               kBrai = 0x1051;
}

struct FeatureIo {
  bool b8 = true;
  unsigned codePage = 1200;
  const FormulaContext* decode = nullptr;  // reading
  EncodeContext* encode = nullptr;         // writing
  int sheetIndex = 1;                      // 1-based position of the sheet in the file
};

// Strings of the records.
std::string ReadShortText(Cursor& c, const FeatureIo& io);  // 8-bit length (BIFF5) / 16 (BIFF8)
void PutRecordText(Bytes& b, const std::string& utf8, const FeatureIo& io, std::size_t max = 255);
void PutUnicodeString(Bytes& b, const std::string& utf8, std::size_t maxChars = 32767);

// --- Drawings ------------------------------------------------------------------------------------
// Collects a sheet's drawing records (MSODRAWING) and the records standing between them (OBJ,
// TXO, an embedded chart's BOF … EOF); Finish cuts the drawing into its shapes and keeps those
// the engine does not model.
class DrawingCollector {
 public:
  void Art(const Record& r);
  void Other(const Record& r);
  // An OBJ, TXO or embedded chart's EOF record. Some writers put the drawing's next bytes in
  // CONTINUE records after these rather than in MSODRAWING records: those go to the drawing.
  void Object(const Record& r);
  void Finish(SheetFeatures& f);

 private:
  struct Pending {
    std::uint32_t at;
    CarriedRecord record;
  };
  RecordBytes art_;
  std::vector<Pending> pending_;
};

// The drawing group's records other than its shape-number table (read from its MSODRAWINGGROUP
// records joined).
RecordBytes DrawingGroupCarried(const Bytes& group);

// Where the formulas of carried records point in the written file: per entry of the file they
// were read from, the sheet-reference entry (-1: the sheet is gone) and the NAME number (0: as
// it was).
struct LinkMap {
  std::vector<int> externSheets;
  std::vector<int> names;
  std::vector<int> fonts, xfs;  // per font and cell format of the file: the one written
};
void RemapLinks(CarriedRecord& r, const LinkMap& links);
void WriteCarriedRecord(RecordWriter& w, const CarriedRecord& r, const LinkMap& links);
// Whether BIFF8 tokens refer to a sheet-reference entry marked in `entries`.
bool RefersToSheets(const std::uint8_t* tokens, std::size_t size,
                    const std::vector<bool>& entries);
// A NAME record's formula, which starts at `tokensAt`.
void RemapNameTokens(CarriedRecord& r, std::size_t tokensAt, const LinkMap& links);

// How the writer numbers a sheet's drawing: its id in the drawing group, the number of its
// group shape (its other shapes follow) and how many shapes it has besides the group.
struct DrawingPlan {
  int drawingId = 0;
  std::uint32_t firstSpid = 0;
  int shapes = 0;
};
// One block of 1,024 shape numbers of the drawing group and the drawing that uses it.
struct DrawingCluster {
  int drawingId = 0;
  std::uint32_t cluster = 0;
  std::uint32_t used = 0;
};
int DrawingShapeCount(const SheetFeatures& f, const FeatureIo& io);
// The shape-number blocks that carried drawings of their own use (a chart sheet's, an embedded
// chart's), found in their substreams (BOF … EOF), with the drawing ids: those drawings are
// written as they were, so their numbers are taken before the worksheets' are given.
void ReserveCarriedDrawings(const std::vector<const CarriedRecord*>& records,
                            std::vector<DrawingCluster>& clusters);
// The sheet's drawing: carried shapes, then comments (BIFF8), then the NOTE records.
void WriteDrawing(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io,
                  const DrawingPlan& plan, const LinkMap& links);

// Comments as drawing shapes, for WriteDrawing.
std::vector<const Comment*> WritableComments(const SheetFeatures& f);
std::size_t CommentArtSize();
// Each comment's shape, OBJ, text box and TXO; `pending` (drawing bytes not yet written) goes
// before the first shape.
void WriteCommentShapes(RecordWriter& w, const std::vector<const Comment*>& list, Bytes& pending,
                        std::uint32_t firstSpid, unsigned firstObjId);
void WriteCommentNotes(RecordWriter& w, const std::vector<const Comment*>& list,
                       unsigned firstObjId);

// --- Reading ------------------------------------------------------------------------------------
class SheetFeatureReader {
 public:
  SheetFeatureReader(SheetFeatures& f, const FeatureIo& io) : f_(f), io_(io) {}
  // True when the record was one of the sheet's features (and has been taken in).
  bool Take(const Record& r);
  // Called at the sheet's end: pairs comments with their texts.
  void Finish();

 private:
  struct PendingNote {
    int row, col;
    bool shown;
    unsigned objId;
    std::string author;
    std::string text;  // BIFF5 holds the text in the note itself
  };
  SheetFeatures& f_;
  FeatureIo io_;
  std::vector<PendingNote> notes_;
  std::unordered_map<unsigned, std::string> objText_;
  unsigned lastObjId_ = 0;
  bool lastObjIsNote_ = false;
  DrawingCollector drawing_;
  int embedded_ = 0;  // depth of an embedded chart's BOF … EOF
  ConditionalFormat* openCondFmt_ = nullptr;
  std::size_t condRulesLeft_ = 0;
  std::uint16_t previousId_ = 0;
};

void ReadWindow2(Cursor& c, SheetView& v, const FeatureIo& io);
void ReadPane(Cursor& c, SheetView& v);
void FinishView(SheetView& v);
void ReadScl(Cursor& c, SheetView& v);
void ReadSheetExt(Cursor& c, SheetView& v);
void ReadMergeCells(Cursor& c, std::vector<CellRange>& merges);
void ReadHyperlink(Cursor& c, std::vector<Hyperlink>& links);
void ReadHyperlinkTooltip(Cursor& c, std::vector<Hyperlink>& links);
void ReadDval(Cursor& c, SheetFeatures& f);
void ReadDv(Cursor& c, SheetFeatures& f, const FeatureIo& io);
void ReadCondFmt(Cursor& c, ConditionalFormat& cf, std::size_t& ruleCount);
void ReadAutoFilterInfo(Cursor& c, AutoFilter& filter);
void ReadAutoFilter(const Record& r, AutoFilter& filter);
bool ReadPageRecord(const Record& r, PageSetup& page, const FeatureIo& io);

// The built-in names of a sheet (print area, print titles, filter database): `code` is the
// name's built-in code, the tokens its formula. Unknown or malformed forms are ignored.
void ReadBuiltinName(unsigned code, const std::uint8_t* tokens, std::size_t size, SheetFeatures& f,
                     bool b8);

// --- Writing ------------------------------------------------------------------------------------
// In the order a sheet holds them.
void WritePageSetup(RecordWriter& w, const Sheet& sheet, const FeatureIo& io);
void WriteAutoFilter(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
// Comments of the 5.0/95 form: NOTE records (the 97-2000 form's go with WriteDrawing).
void WriteComments(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
void WriteWindow(RecordWriter& w, const Sheet& sheet, bool active, const FeatureIo& io);
void WriteMergeCells(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
void WriteCondFormats(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
void WriteHyperlinks(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
void WriteValidations(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
void WriteSheetExt(RecordWriter& w, const SheetFeatures& f, const FeatureIo& io);
// The workbook's drawing group: the shape-number blocks of every drawing, then the carried
// records (pictures, default properties) or defaults of its own.
void WriteDrawingGroup(RecordWriter& w, const std::vector<DrawingCluster>& clusters,
                       const RecordBytes& carried);
// Built-in NAME records of every sheet. Sheet i (0-based) has sheet-reference entry i and
// stands at tabs[i] (0-based) among the file's sheets.
void WriteBuiltinNames(RecordWriter& w, const std::vector<const Sheet*>& sheets,
                       const std::vector<unsigned>& tabs, bool b8);

}  // namespace engine::xls
