#pragma once
// Conditional formats in the newer form a package keeps in a worksheet's extension list: a
// rule there either extends a rule of the sheet's own list (a data bar's border and negative
// bars, linked to it by an id) or stands alone (an icon set of the newer sets, a rule whose
// formulas name another sheet), with its ranges and an inline format of its own.

#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "control/model/workbook.h"
#include "control/xlsx/xml_stream.h"

namespace engine::xlsx {

// The elements of a differential format (font style and colour, a solid fill), wherever the
// package holds one: in the styles part's list or inline in a rule.
class DiffFormatParts {
 public:
  void Start(std::string_view name, const XmlAttrs& a, DiffFormat& format);
  void End(std::string_view name);

 private:
  bool inFont_ = false, inFill_ = false;
};

// Takes the elements inside a worksheet's x14 conditionalFormattings.
class ExtensionRulesReader {
 public:
  // A rule of the sheet's own list that names its extension by this id.
  struct Link {
    std::size_t format = 0, rule = 0;  // indexes into the features' conditional formats
  };
  ExtensionRulesReader(Workbook& book, SheetFeatures& features,
                       const std::map<std::string, Link>& links)
      : book_(book), f_(features), links_(links) {}
  void Start(std::string_view name, const XmlAttrs& a);
  void End(std::string_view name);
  void Text(std::string_view text);

 private:
  void EndFormat();

  Workbook& book_;
  SheetFeatures& f_;
  const std::map<std::string, Link>& links_;
  struct Pending {
    ExtendedRule rule;
    std::string id;
    bool hasPriority = false;
    std::vector<std::string> formulas;
  };
  std::vector<Pending> rules_;
  std::string sqref_;
  std::string* capture_ = nullptr;
  DiffFormatParts dxf_;
  bool inRule_ = false, inDxf_ = false, inPoint_ = false;
};

// Writing: the rules of a sheet that need the newer form, gathered while its own list is
// written, then given out as the worksheet's extension list.
class ExtensionRulesWriter {
 public:
  ExtensionRulesWriter(const Workbook& book, int sheetIndex) : book_(book), sheet_(sheetIndex) {}
  // A rule of the own list that has an extension: the id that links the two, to be written
  // into the own rule (LinkXml), and the extension kept for the list.
  std::string Link(const CellRange& base, const ExtendedRule& rule);
  // A rule that exists only in the newer form, at this priority.
  void Add(const CellRange& base, const ExtendedRule& rule, int priority);
  // Ends the rules of one conditional format, with its ranges ("A1:B2 C3").
  void EndFormat(const std::string& ranges);
  // The worksheet's extList element (empty when no rule needs it).
  std::string Xml() const;

 private:
  std::string NextId();

  const Workbook& book_;
  int sheet_;
  int count_ = 0;
  std::string rules_, formats_;
};

// A differential format as a dxf element (or one of this name).
std::string DxfXml(const DiffFormat& format, std::string_view tag = "dxf");

// The element inside a rule of the own list that names its extension.
std::string LinkXml(const std::string& id);

}  // namespace engine::xlsx
