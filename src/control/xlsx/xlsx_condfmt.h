#pragma once
// Conditional-format rules between the two forms: the engine keeps a rule as the body of the
// workbook record that holds it (condition, operator, format block, formulas); a package holds
// a cfRule element whose format is a differential format of the styles part.

#include <string>
#include <string_view>
#include <vector>

#include "control/model/workbook.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xml_stream.h"

namespace engine::xlsx {

// A rule of a package as the engine keeps it. `base` is the first range of the format: the
// cell its relative references start from. False when the rule is of a kind the record form
// cannot express (colour scales, data bars, top ten and the like) or its formulas cannot be
// encoded.
bool RuleToRecord(const Workbook& book, const CellRange& base, std::string_view type,
                  std::string_view op, const std::vector<std::string>& formulas,
                  const DiffFormat& format, RecordBytes& out);

struct PackageRule {
  std::string type, op;  // "cellIs" with an operator, or "expression"
  std::vector<std::string> formulas;
  DiffFormat format;
};
// A kept rule as a package's rule; false when the record is damaged or its formulas cannot
// be written as text.
bool RecordToRule(const Workbook& book, const CellRange& base, const RecordBytes& record,
                  PackageRule& out);

// A rule's formula as the record form's tokens (the cells it names kept as they are), and
// back as text; false when it has no such form or the tokens are damaged.
bool EncodeRuleFormula(const Workbook& book, const std::string& text, RecordBytes& out);
bool DecodeRuleFormula(const Workbook& book, const CellRange& base, const std::uint8_t* tokens,
                       std::size_t size, std::string& out);

// A rule the record form cannot hold, from its cfRule element's attributes and the elements
// inside it (colorScale, dataBar, iconSet, cfvo, color); its formulas and format are the
// caller's.
void StartExtendedRule(const XmlAttrs& a, ExtendedRule& rule);
void ExtendedRulePart(std::string_view name, const XmlAttrs& a, ExtendedRule& rule);
// False for a rule that lacks what its type needs (a scale without its points and colours, a
// comparison without its formulas): a package holding it would not open.
bool IsCompleteRule(const ExtendedRule& rule);
// The rule as a cfRule element; `dxfId` is its format's index in the written styles (-1 none),
// `extId` the id of its extension (empty: none).
std::string ExtendedRuleXml(const Workbook& book, const CellRange& base, const ExtendedRule& rule,
                            int priority, int dxfId, const std::string& extId = {});

// Pieces both forms of a rule are written with.
void PutAttr(std::string& out, std::string_view name, std::string_view value);
void PutFlag(std::string& out, std::string_view name, bool value);
// The rule's attributes after its type, format and priority.
void RuleAttrs(std::string& out, const ExtendedRule& rule);
std::string IconSetAttrs(const ExtendedRule& rule);
// cfvo elements; the newer form holds a point's value as a formula element.
void PointsXml(std::string& out, const std::vector<ScalePoint>& points, bool newer);
void ColorXml(std::string& out, std::string_view tag, const RuleColor& c);
// A formula as text: its tokens read back from `base`, or the text it was kept as.
std::string RuleFormulaText(const Workbook& book, const CellRange& base, const RuleFormula& f);

// The palette entry nearest a colour (tab colours and conditional formats name entries).
unsigned NearestPaletteIndex(std::uint32_t bgr);

}  // namespace engine::xlsx
