// Reading the rules of a worksheet's x14 conditionalFormattings. A rule that carries the id a
// rule of the sheet's own list names gives that rule its extension; a rule with a priority of
// its own is a rule of its own. Anything that does not fit (an id no rule names, a type that
// differs from the linked rule's, a rule missing what its type needs) is left out, never
// guessed at.
#include <algorithm>

#include "control/xlsx/xlsx_condfmt.h"
#include "control/xlsx/xlsx_condfmt_ext.h"
#include "control/xlsx/xlsx_sheet_features.h"
#include "control/xlsx/xlsx_styles.h"

namespace engine::xlsx {

namespace {

constexpr std::size_t kMaxRules = 4096;        // of one format
constexpr std::size_t kMaxFormats = 65536;     // of one sheet
constexpr std::size_t kMaxText = 1u << 16;     // a formula or a sqref
constexpr std::size_t kMaxPoints = 5, kMaxFormulas = 3;

int Role(std::string_view name) {
  if (name == "fillColor") return RuleExtension::kFill;
  if (name == "borderColor") return RuleExtension::kBorder;
  if (name == "negativeFillColor") return RuleExtension::kNegativeFill;
  if (name == "negativeBorderColor") return RuleExtension::kNegativeBorder;
  if (name == "axisColor") return RuleExtension::kAxis;
  return -1;
}

std::string OneOf(std::string_view value, std::initializer_list<std::string_view> allowed,
                  std::string_view fallback) {
  for (std::string_view v : allowed)
    if (v == value) return std::string(v);
  return std::string(fallback);
}

void StartDataBar(const XmlAttrs& a, RuleExtension& x) {
  x.minLength = std::clamp(a.Int("minLength", 10), 0, 100);
  x.maxLength = std::clamp(a.Int("maxLength", 90), 0, 100);
  x.border = a.Bool("border", false);
  x.gradient = a.Bool("gradient", true);
  x.negativeSameFill = a.Bool("negativeBarColorSameAsPositive", false);
  x.negativeSameBorder = a.Bool("negativeBarBorderColorSameAsPositive", true);
  x.direction = OneOf(a.Get("direction"), {"context", "leftToRight", "rightToLeft"}, "context");
  x.axisPosition = OneOf(a.Get("axisPosition"), {"automatic", "middle", "none"}, "automatic");
}

// What a rule's type needs for a package holding it to open.
bool IsComplete(const ExtendedRule& r) {
  const RuleExtension& x = r.ext;
  if (r.type == "dataBar")
    return x.points.size() == 2 && (!r.extensionOnly || x.hasColor[RuleExtension::kFill]);
  if (r.type == "iconSet")
    return x.points.size() >= 2 && (!x.custom || x.icons.size() == x.points.size());
  if (r.type == "colorScale") return false;  // the own list's form says it all
  return IsCompleteRule(r);
}

}  // namespace

void DiffFormatParts::Start(std::string_view name, const XmlAttrs& a, DiffFormat& d) {
  if (name == "font") {
    inFont_ = true;
  } else if (name == "fill") {
    inFill_ = true;
  } else if (inFont_ && name == "b") {
    d.hasBold = true;
    d.bold = a.Bool("val", true);
  } else if (inFont_ && name == "i") {
    d.hasItalic = true;
    d.italic = a.Bool("val", true);
  } else if (inFont_ && name == "strike") {
    d.hasStrike = true;
    d.strike = a.Bool("val", true);
  } else if (inFont_ && name == "u") {
    d.hasUnderline = true;
    d.underline = a.Get("val") != "none";
  } else if (inFont_ && name == "color") {
    d.fontColor = ParseArgb(a.Get("rgb"), kAutoColor);
  } else if (inFill_ && (name == "bgColor" || name == "fgColor")) {
    // A differential fill's solid colour is its background; a foreground alone serves too.
    std::uint32_t c = ParseArgb(a.Get("rgb"), kAutoColor);
    if (c != kAutoColor && (name == "bgColor" || d.fill == kAutoColor)) d.fill = c;
  }
}

void DiffFormatParts::End(std::string_view name) {
  if (name == "font") inFont_ = false;
  if (name == "fill") inFill_ = false;
}

void ExtensionRulesReader::Start(std::string_view name, const XmlAttrs& a) {
  // Only text elements are taken, so any start ends a capture (and an element that adds an
  // item may move the text being taken).
  capture_ = nullptr;
  if (inDxf_) {
    dxf_.Start(name, a, rules_.back().rule.format);
    return;
  }
  if (name == "conditionalFormatting") {
    rules_.clear();
    sqref_.clear();
    inRule_ = false;
  } else if (name == "cfRule") {
    inPoint_ = false;
    inRule_ = rules_.size() < kMaxRules;
    if (!inRule_) return;
    Pending& p = rules_.emplace_back();
    StartExtendedRule(a, p.rule);
    p.id = std::string(a.Get("id"));
    p.hasPriority = a.Has("priority");
  } else if (name == "sqref") {
    capture_ = &sqref_;
  } else if (!inRule_) {
    return;
  } else if (name == "dataBar") {
    rules_.back().rule.ext.present = true;
    StartDataBar(a, rules_.back().rule.ext);
  } else if (name == "iconSet") {
    Pending& p = rules_.back();
    p.rule.ext.present = true;
    p.rule.ext.custom = a.Bool("custom", false);
    ExtendedRulePart(name, a, p.rule);
  } else if (name == "cfvo") {
    std::vector<ScalePoint>& points = rules_.back().rule.ext.points;
    inPoint_ = points.size() < kMaxPoints;
    if (inPoint_) points.push_back({std::string(a.Get("type")), {}, a.Bool("gte", true)});
  } else if (name == "f") {
    Pending& p = rules_.back();
    if (inPoint_)
      capture_ = &p.rule.ext.points.back().value;
    else if (p.formulas.size() < kMaxFormulas)
      capture_ = &p.formulas.emplace_back();
  } else if (int role = Role(name); role >= 0) {
    RuleExtension& x = rules_.back().rule.ext;
    x.hasColor[role] = true;
    x.colors[role] = {std::string(a.Get("rgb")), std::string(a.Get("theme")),
                      std::string(a.Get("indexed")), std::string(a.Get("tint")),
                      a.Bool("auto", false)};
  } else if (name == "cfIcon") {
    RuleExtension& x = rules_.back().rule.ext;
    if (x.icons.size() < kMaxPoints)
      x.icons.push_back({std::string(a.Get("iconSet", "NoIcons")),
                         std::clamp(a.Int("iconId", 0), 0, 4)});
  } else if (name == "dxf") {
    inDxf_ = true;
    rules_.back().rule.hasFormat = true;
  }
}

void ExtensionRulesReader::End(std::string_view name) {
  if (inDxf_) {
    if (name == "dxf")
      inDxf_ = false;
    else
      dxf_.End(name);
    return;
  }
  if (name == "f" || name == "sqref") {
    if (capture_) *capture_ = DecodeEscapes(std::move(*capture_));
    capture_ = nullptr;
  } else if (name == "cfvo") {
    inPoint_ = false;
  } else if (name == "cfRule") {
    inRule_ = false;
  } else if (name == "conditionalFormatting") {
    EndFormat();
  }
}

void ExtensionRulesReader::Text(std::string_view text) {
  if (capture_ && capture_->size() + text.size() <= kMaxText) capture_->append(text);
}

void ExtensionRulesReader::EndFormat() {
  ConditionalFormat own;
  own.ranges = RangeList(sqref_);
  for (Pending& p : rules_) {
    ExtendedRule& r = p.rule;
    auto link = links_.find(p.id);
    if (!p.hasPriority) {
      // The extension of a rule of the own list: it adds to that rule and nothing else.
      if (p.id.empty() || link == links_.end() || !r.ext.present) continue;
      if (link->second.format >= f_.conditional.size()) continue;
      ConditionalFormat& cf = f_.conditional[link->second.format];
      if (link->second.rule >= cf.extended.size()) continue;
      ExtendedRule& target = cf.extended[link->second.rule];
      ExtendedRule probe = target;
      probe.ext = r.ext;
      if (target.type != r.type || !IsComplete(probe)) continue;
      target.ext = std::move(r.ext);
      continue;
    }
    if (own.ranges.empty()) continue;
    r.extensionOnly = true;
    for (std::string& text : p.formulas) {
      RuleFormula& formula = r.formulas.emplace_back();
      if (!EncodeRuleFormula(book_, text, formula.tokens)) formula.text = std::move(text);
    }
    if (IsComplete(r)) own.extended.push_back(std::move(r));
  }
  if (!own.extended.empty() && f_.conditional.size() < kMaxFormats)
    f_.conditional.push_back(std::move(own));
  rules_.clear();
  sqref_.clear();
  inRule_ = inPoint_ = false;
}

}  // namespace engine::xlsx
