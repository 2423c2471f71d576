#pragma once
// What a worksheet part carries besides its cells, read and written: views, merged cells,
// validation, conditional formats, the autofilter, hyperlinks, page setup, and the comments
// with the drawing that shows them. The cells themselves are the sheet reader's and writer's.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "control/model/workbook.h"
#include "control/xlsx/xlsx_autofilter.h"
#include "control/xlsx/xlsx_condfmt_ext.h"
#include "control/xlsx/xml_stream.h"

namespace engine::xlsx {

class ZipReader;
class ContentTypes;

// A relationship of a part: its type and its target, a part name or (external) a URL.
struct PartLink {
  std::string type;
  std::string target;
  bool external = false;
};
std::map<std::string, PartLink> ReadPartLinks(const ZipReader& zip, const std::string& part);

// "A1:B2 D4", the space-separated list of a sqref, clipped to the sheet.
std::vector<CellRange> RangeList(std::string_view text);

// The differential formats of conditional formats, by index in the styles part's dxfs.
static_assert(DiffFormat::kNoColor == kAutoColor);
std::vector<DiffFormat> ReadDiffFormats(const ZipReader& zip, const std::string& stylesPart);

// Takes the elements of a worksheet part that lie outside its sheetData. The sheet reader
// passes it every such element; Finish then follows the sheet's relationships (hyperlink
// targets, comments and their drawing).
class SheetFeaturesReader : public XmlHandler {
 public:
  SheetFeaturesReader(Workbook& book, Sheet& sheet, const std::vector<DiffFormat>& dxfs);
  void Start(std::string_view name, const XmlAttrs& a) override;
  void End(std::string_view name) override;
  void Text(std::string_view text) override;
  // Parts the sheet's drawing, header pictures and background lead to are carried along.
  void Finish(const ZipReader& zip, const std::string& sheetPart, const ContentTypes& types);
  // Parts of the package this reader took in whole (a drawing that only shows comments).
  const std::vector<std::string>& Consumed() const { return consumed_; }
  // What the sheet's extension list holds that a save would lose (sparklines, protected
  // ranges, …), in words.
  const std::vector<std::string>& Unkept() const { return unkept_; }

 private:
  void StartView(const XmlAttrs& a);
  void StartValidation(const XmlAttrs& a);
  void StartPageSetup(const XmlAttrs& a);
  void EndValidation();
  void EndConditionalFormat();
  void NoteUnkept(std::string_view uri);
  void ReadComments(const ZipReader& zip, const std::string& part);
  void ReadCommentShapes(const ZipReader& zip, const std::string& part);

  Workbook& book_;
  Sheet& sheet_;
  SheetFeatures& f_;
  const std::vector<DiffFormat>& dxfs_;
  struct PendingLink {
    Hyperlink link;
    std::string relId;
  };
  std::vector<PendingLink> links_;
  std::vector<std::string> consumed_;
  std::vector<std::string> unkept_;
  std::vector<std::pair<std::string, std::string>> carried_;  // element, relationship id
  bool CaptureFilter(std::string_view name, const XmlAttrs& a);

  FilterColumn filterColumn_;
  ExtendedFilter filterExtra_;
  int filterSkip_ = 0;  // depth inside an element of a filter column that is not kept
  bool inFilter_ = false, inFilterColumn_ = false;
  // Conditional formats: the ranges of the open block and the rule being read.
  struct PendingRule {
    ExtendedRule rule;  // its attributes and parts as read
    std::string dxf;
    std::vector<std::string> formulas;
    std::string extId;  // the id of its extension in the sheet's extension list
  };
  std::map<std::string, ExtensionRulesReader::Link> ruleLinks_;
  ExtensionRulesReader extRules_{book_, f_, ruleLinks_};
  bool inExtRules_ = false;
  std::vector<CellRange> cfRanges_;
  std::vector<PendingRule> cfRules_;
  std::string* capture_ = nullptr;
  std::string text_;
  std::string sqref_;  // the ranges of a rule of the extension list
  enum class In { None, Validation, Rule, Header, Footer } in_ = In::None;
  bool inSheetView_ = false, rowBreaks_ = true;
  int viewCount_ = 0;
};

// Built-in names of a sheet (print area, print titles, filter database) taken into its
// features; false for a name the sheet does not take.
bool TakeBuiltinName(Sheet& sheet, std::string_view name, std::string_view formula);

// --- Writing ---------------------------------------------------------------------------------
// The parts a sheet adds to the package besides its own, and the relationships from it.
struct SheetExtraParts {
  std::vector<std::pair<std::string, std::string>> parts;         // name, content
  std::vector<std::pair<std::string, std::string>> contentTypes;  // part name, content type
  std::string rels;  // Relationship elements of the sheet part
  int nextRel = 1;
};

class FeatureWriter {
 public:
  explicit FeatureWriter(Workbook& book) : book_(book) {}
  // Before sheetViews … after sheetData: elements of the sheet part, in the order the part
  // requires. `index` is the sheet's 1-based position.
  std::string SheetHead(const Sheet& sheet, bool active);
  std::string SheetTail(const Sheet& sheet, int index, SheetExtraParts& extra);
  // Built-in names of every sheet, as definedName elements.
  std::string BuiltinNames();
  // The differential formats the conditional formats use, as the dxfs element (empty when
  // there are none). Call after every sheet's tail.
  std::string DiffFormats() const;

 private:
  std::string ConditionalXml(const SheetFeatures& f, ExtensionRulesWriter& newer);
  std::string FilterColumnsXml(const AutoFilter& filter);

  Workbook& book_;
  std::vector<std::string> dxfs_;
};

}  // namespace engine::xlsx
