// Conditional rules the record form cannot hold, between a package's cfRule element and the
// engine's ExtendedRule: the rule's attributes, a colour scale's, data bar's or icon set's
// points and colours. Attributes at their schema defaults are left out on writing, as a
// package's own writers do.
#include <algorithm>

#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/xlsx_condfmt_ext.h"
#include "control/xlsx/xml_write.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kMaxPoints = 8;  // an icon set has at most five

}  // namespace

void PutAttr(std::string& out, std::string_view name, std::string_view value) {
  out += ' ';
  out += name;
  out += "=\"";
  Escape(out, value);
  out += '"';
}

void PutFlag(std::string& out, std::string_view name, bool value) {
  PutAttr(out, name, value ? "1" : "0");
}

void PointsXml(std::string& out, const std::vector<ScalePoint>& points, bool newer) {
  for (const ScalePoint& p : points) {
    out += newer ? "<x14:cfvo" : "<cfvo";
    PutAttr(out, "type", p.type.empty() ? "min" : p.type);
    if (!newer && !p.value.empty()) PutAttr(out, "val", p.value);
    if (!p.gte) PutFlag(out, "gte", false);
    if (!newer || p.value.empty()) {
      out += "/>";
      continue;
    }
    out += "><xm:f>";
    Escape(out, p.value);
    out += "</xm:f></x14:cfvo>";
  }
}

void ColorXml(std::string& out, std::string_view tag, const RuleColor& c) {
  out += '<';
  out += tag;
  if (c.automatic) PutFlag(out, "auto", true);
  if (!c.indexed.empty()) PutAttr(out, "indexed", c.indexed);
  if (!c.rgb.empty()) PutAttr(out, "rgb", c.rgb);
  if (!c.theme.empty()) PutAttr(out, "theme", c.theme);
  if (!c.tint.empty()) PutAttr(out, "tint", c.tint);
  out += "/>";
}

void RuleAttrs(std::string& out, const ExtendedRule& rule) {
  if (rule.stopIfTrue) PutFlag(out, "stopIfTrue", true);
  if (rule.type == "aboveAverage") {
    if (!rule.aboveAverage) PutFlag(out, "aboveAverage", false);
    if (rule.equalAverage) PutFlag(out, "equalAverage", true);
    if (rule.stdDev > 0) PutAttr(out, "stdDev", std::to_string(rule.stdDev));
  }
  if (rule.type == "top10") {
    if (rule.percent) PutFlag(out, "percent", true);
    if (rule.bottom) PutFlag(out, "bottom", true);
    if (rule.rank > 0) PutAttr(out, "rank", std::to_string(rule.rank));
  }
  if (!rule.op.empty()) PutAttr(out, "operator", rule.op);
  if (!rule.text.empty()) PutAttr(out, "text", rule.text);
  if (!rule.timePeriod.empty()) PutAttr(out, "timePeriod", rule.timePeriod);
}

std::string RuleFormulaText(const Workbook& book, const CellRange& base, const RuleFormula& f) {
  std::string text;
  if (f.tokens.empty() || !DecodeRuleFormula(book, base, f.tokens.data(), f.tokens.size(), text))
    text = f.text;
  return text;
}

std::string IconSetAttrs(const ExtendedRule& rule) {
  std::string out;
  if (!rule.iconSet.empty()) PutAttr(out, "iconSet", rule.iconSet);
  if (!rule.showValue) PutFlag(out, "showValue", false);
  if (!rule.percent) PutFlag(out, "percent", false);
  if (rule.reverse) PutFlag(out, "reverse", true);
  return out;
}

void StartExtendedRule(const XmlAttrs& a, ExtendedRule& rule) {
  rule.type = std::string(a.Get("type"));
  rule.priority = std::max(a.Int("priority", 0), 0);
  rule.stopIfTrue = a.Bool("stopIfTrue", false);
  rule.aboveAverage = a.Bool("aboveAverage", true);
  rule.equalAverage = a.Bool("equalAverage", false);
  rule.stdDev = std::clamp(a.Int("stdDev", 0), 0, 255);
  rule.percent = a.Bool("percent", false);
  rule.bottom = a.Bool("bottom", false);
  rule.rank = std::clamp(a.Int("rank", 0), 0, 1 << 30);
  rule.op = std::string(a.Get("operator"));
  rule.text = DecodeEscapes(std::string(a.Get("text")));
  rule.timePeriod = std::string(a.Get("timePeriod"));
}

void ExtendedRulePart(std::string_view name, const XmlAttrs& a, ExtendedRule& rule) {
  if (name == "dataBar") {
    rule.minLength = std::clamp(a.Int("minLength", 10), 0, 100);
    rule.maxLength = std::clamp(a.Int("maxLength", 90), 0, 100);
    rule.showValue = a.Bool("showValue", true);
  } else if (name == "iconSet") {
    rule.iconSet = std::string(a.Get("iconSet"));
    rule.showValue = a.Bool("showValue", true);
    rule.percent = a.Bool("percent", true);  // an icon set's points are percentages by default
    rule.reverse = a.Bool("reverse", false);
  } else if (name == "cfvo" && rule.points.size() < kMaxPoints) {
    rule.points.push_back({std::string(a.Get("type")), DecodeEscapes(std::string(a.Get("val"))),
                           a.Bool("gte", true)});
  } else if (name == "color" && rule.colors.size() < kMaxPoints) {
    rule.colors.push_back({std::string(a.Get("rgb")), std::string(a.Get("theme")),
                           std::string(a.Get("indexed")), std::string(a.Get("tint")),
                           a.Bool("auto", false)});
  }
}

bool IsCompleteRule(const ExtendedRule& r) {
  const std::string& t = r.type;
  std::size_t points = r.points.size(), colors = r.colors.size();
  if (t == "colorScale") return points >= 2 && points <= 3 && colors == points;
  if (t == "dataBar") return points == 2 && colors == 1;
  if (t == "iconSet") return points >= 2 && points <= 5;
  if (t == "cellIs") {
    bool two = r.op == "between" || r.op == "notBetween";
    return !r.op.empty() && r.formulas.size() >= (two ? 2u : 1u);
  }
  if (t == "expression") return !r.formulas.empty();
  if (t == "containsText" || t == "notContainsText" || t == "beginsWith" || t == "endsWith")
    return !r.text.empty() || !r.formulas.empty();
  if (t == "timePeriod") return !r.timePeriod.empty();
  return t == "top10" || t == "aboveAverage" || t == "duplicateValues" || t == "uniqueValues" ||
         t == "containsBlanks" || t == "notContainsBlanks" || t == "containsErrors" ||
         t == "notContainsErrors";
}

std::string ExtendedRuleXml(const Workbook& book, const CellRange& base, const ExtendedRule& rule,
                            int priority, int dxfId, const std::string& extId) {
  std::string out = "<cfRule";
  PutAttr(out, "type", rule.type);
  if (dxfId >= 0) PutAttr(out, "dxfId", std::to_string(dxfId));
  PutAttr(out, "priority", std::to_string(priority));
  RuleAttrs(out, rule);
  out += '>';
  for (const RuleFormula& f : rule.formulas) {
    out += "<formula>";
    Escape(out, RuleFormulaText(book, base, f));
    out += "</formula>";
  }
  // A colour scale, data bar or icon set: its element, its points, then its colours.
  std::string attrs;
  if (rule.type == "dataBar") {
    if (rule.minLength != 10) PutAttr(attrs, "minLength", std::to_string(rule.minLength));
    if (rule.maxLength != 90) PutAttr(attrs, "maxLength", std::to_string(rule.maxLength));
    if (!rule.showValue) PutFlag(attrs, "showValue", false);
  } else if (rule.type == "iconSet") {
    attrs = IconSetAttrs(rule);
  }
  if (rule.type == "colorScale" || rule.type == "dataBar" || rule.type == "iconSet") {
    out += '<' + rule.type + attrs + '>';
    PointsXml(out, rule.points, false);
    if (rule.type != "iconSet")
      for (const RuleColor& c : rule.colors) ColorXml(out, "color", c);
    out += "</" + rule.type + '>';
  }
  if (!extId.empty()) out += LinkXml(extId);
  return out + "</cfRule>";
}

}  // namespace engine::xlsx
