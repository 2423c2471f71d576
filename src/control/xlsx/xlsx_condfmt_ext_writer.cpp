// Writing the rules that need the newer form into a worksheet's extension list. The ids that
// link a rule of the sheet's own list to its extension are made afresh on every save, one per
// rule of the workbook, so two rules never share one whatever the file they came from held.
#include <cstdio>

#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/xlsx_condfmt_ext.h"
#include "control/xlsx/xml_write.h"

namespace engine::xlsx {

namespace {

constexpr const char* kRuleColorTags[RuleExtension::kRoles] = {
    "x14:fillColor", "x14:borderColor", "x14:negativeFillColor", "x14:negativeBorderColor",
    "x14:axisColor"};

std::string DataBarAttrs(const RuleExtension& x) {
  std::string out;
  PutAttr(out, "minLength", std::to_string(x.minLength));
  PutAttr(out, "maxLength", std::to_string(x.maxLength));
  PutFlag(out, "border", x.border);
  PutFlag(out, "gradient", x.gradient);
  PutAttr(out, "direction", x.direction);
  PutFlag(out, "negativeBarColorSameAsPositive", x.negativeSameFill);
  PutFlag(out, "negativeBarBorderColorSameAsPositive", x.negativeSameBorder);
  PutAttr(out, "axisPosition", x.axisPosition);
  return out;
}

// The rule as an x14:cfRule; `priority` 0 for the extension of a rule of the own list, which
// takes its priority from that rule.
std::string RuleXml(const Workbook& book, const CellRange& base, const ExtendedRule& rule,
                    const std::string& id, int priority) {
  const RuleExtension& x = rule.ext;
  std::string out = "<x14:cfRule";
  PutAttr(out, "type", rule.type);
  if (priority > 0) PutAttr(out, "priority", std::to_string(priority));
  RuleAttrs(out, rule);
  PutAttr(out, "id", id);
  out += '>';
  if (priority > 0)
    for (const RuleFormula& f : rule.formulas) {
      out += "<xm:f>";
      Escape(out, RuleFormulaText(book, base, f));
      out += "</xm:f>";
    }
  if (rule.type == "dataBar") {
    out += "<x14:dataBar" + DataBarAttrs(x) + '>';
    PointsXml(out, x.points, true);
    for (int role = 0; role < RuleExtension::kRoles; ++role)
      if (x.hasColor[role]) ColorXml(out, kRuleColorTags[role], x.colors[role]);
    out += "</x14:dataBar>";
  } else if (rule.type == "iconSet") {
    out += "<x14:iconSet" + IconSetAttrs(rule);
    if (x.custom) PutFlag(out, "custom", true);
    out += '>';
    PointsXml(out, x.points, true);
    if (x.custom)
      for (const RuleExtension::Icon& icon : x.icons) {
        out += "<x14:cfIcon";
        PutAttr(out, "iconSet", icon.set);
        PutAttr(out, "iconId", std::to_string(icon.id));
        out += "/>";
      }
    out += "</x14:iconSet>";
  }
  if (priority > 0 && rule.hasFormat) out += DxfXml(rule.format, "x14:dxf");
  return out + "</x14:cfRule>";
}

}  // namespace

std::string LinkXml(const std::string& id) {
  return "<extLst><ext uri=\"{B025F937-C7B1-47D3-B67F-A62EFF666E3E}\" "
         "xmlns:x14=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/main\">"
         "<x14:id>" +
         Escaped(id) + "</x14:id></ext></extLst>";
}

std::string ExtensionRulesWriter::NextId() {
  // A GUID of version 4 form; sheet and rule number make it unique within the workbook.
  char id[40];
  std::snprintf(id, sizeof id, "{00000000-0000-4000-8000-%04X%08X}",
                static_cast<unsigned>(sheet_ & 0xFFFF), static_cast<unsigned>(++count_));
  return id;
}

std::string ExtensionRulesWriter::Link(const CellRange& base, const ExtendedRule& rule) {
  std::string id = NextId();
  rules_ += RuleXml(book_, base, rule, id, 0);
  return id;
}

void ExtensionRulesWriter::Add(const CellRange& base, const ExtendedRule& rule, int priority) {
  rules_ += RuleXml(book_, base, rule, NextId(), priority > 0 ? priority : 1);
}

void ExtensionRulesWriter::EndFormat(const std::string& ranges) {
  if (rules_.empty()) return;
  formats_ += "<x14:conditionalFormatting "
              "xmlns:xm=\"http://schemas.microsoft.com/office/excel/2006/main\">" +
              rules_ + "<xm:sqref>" + ranges + "</xm:sqref></x14:conditionalFormatting>";
  rules_.clear();
}

std::string ExtensionRulesWriter::Xml() const {
  if (formats_.empty()) return {};
  return "<extLst><ext uri=\"{78C0D931-6437-407d-A8EE-F0AAD7539E65}\" "
         "xmlns:x14=\"http://schemas.microsoft.com/office/spreadsheetml/2009/9/main\">"
         "<x14:conditionalFormattings>" +
         formats_ + "</x14:conditionalFormattings></ext></extLst>";
}

}  // namespace engine::xlsx
