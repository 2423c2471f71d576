// Styles and theme colours of a package.
#include "control/xlsx/xlsx_styles.h"

#include <algorithm>
#include <array>
#include <cmath>
#include <map>

#include "control/engine_error.h"
#include "control/format/number_format.h"
#include "control/xls/biff_palette.h"
#include "control/xlsx/xml_stream.h"
#include "control/xlsx/xml_write.h"
#include "control/xlsx/zip_package.h"

namespace engine::xlsx {

namespace {

[[noreturn]] void Damaged(const std::string& why) {
  throw EngineError(kErrFile, "The .xlsx package is damaged: " + why + ".");
}

constexpr std::array<const char*, 19> kPatterns = {
    "none",         "solid",          "mediumGray",     "darkGray",      "lightGray",
    "darkHorizontal", "darkVertical", "darkDown",       "darkUp",        "darkGrid",
    "darkTrellis",  "lightHorizontal", "lightVertical", "lightDown",     "lightUp",
    "lightGrid",    "lightTrellis",   "gray125",        "gray0625"};

constexpr std::array<const char*, 14> kLines = {
    "none",         "thin",      "medium",           "dashed",       "dotted",
    "thick",        "double",    "hair",             "mediumDashed", "dashDot",
    "mediumDashDot", "dashDotDot", "mediumDashDotDot", "slantDashDot"};

constexpr std::array<const char*, 7> kHAligns = {"general", "left",    "center",          "right",
                                                 "fill",    "justify", "centerContinuous"};
constexpr std::array<const char*, 4> kVAligns = {"top", "center", "bottom", "justify"};

constexpr std::pair<const char*, StylePart> kApply[] = {
    {"applyNumberFormat", kPartNumber}, {"applyFont", kPartFont},
    {"applyFill", kPartFill},           {"applyBorder", kPartBorder},
    {"applyAlignment", kPartAlign},     {"applyProtection", kPartProtect}};

template <std::size_t N>
unsigned CodeOf(const std::array<const char*, N>& names, std::string_view name, unsigned fallback) {
  for (std::size_t i = 0; i < N; ++i)
    if (name == names[i]) return static_cast<unsigned>(i);
  return fallback;
}

// The theme's colour scheme in file order: dk1, lt1, dk2, lt2, accent1 … 6, hlink, folHlink.
class ThemeHandler : public XmlHandler {
 public:
  std::vector<std::uint32_t> colors;
  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "clrScheme") inScheme_ = true;
    else if (inScheme_ && name == "srgbClr") colors.push_back(ParseArgb(a.Get("val"), kAutoColor));
    else if (inScheme_ && name == "sysClr") colors.push_back(ParseArgb(a.Get("lastClr"), kAutoColor));
  }
  void End(std::string_view name) override {
    if (name == "clrScheme") inScheme_ = false;
  }

 private:
  bool inScheme_ = false;
};

std::uint32_t Tinted(std::uint32_t bgr, double tint) {
  if (tint == 0 || bgr == kAutoColor) return bgr;
  auto channel = [&](int shift) {
    double c = (bgr >> shift) & 0xFF;
    c = tint < 0 ? c * (1 + tint) : c + (255 - c) * tint;
    return static_cast<std::uint32_t>(std::clamp(std::lround(c), 0l, 255l)) << shift;
  };
  return channel(0) | channel(8) | channel(16);
}

struct RawFill {
  std::uint8_t pattern = 0;
  std::uint32_t fore = kAutoColor, back = kAutoColor;
};
struct RawBorder {
  Border left, right, top, bottom;
};

class StylesHandler : public XmlHandler {
 public:
  StylesHandler(Workbook& book, const std::vector<std::uint32_t>& theme)
      : book_(book), fontProps_(theme) {}

  std::vector<std::uint16_t> xfStyles;

  // Interns the cell formats once the named styles they derive from are known (the styles
  // follow the cell formats in the part).
  void Finish() {
    std::vector<std::uint16_t> namedOf(styleXfs_.size(), 0);
    for (const RawCellStyle& c : cellStyles_) {
      if (c.xf >= styleXfs_.size()) Damaged("a cell style names a format that does not exist");
      NamedStyle style = c.style;
      style.format = styleXfs_[c.xf].format;
      style.parts = styleXfs_[c.xf].parts;
      std::uint16_t index = book_.Styles().AddNamed(style);
      if (!namedOf[c.xf]) namedOf[c.xf] = index;
    }
    for (CellXf& x : cellXfs_) {
      // A part without style formats (none written) leaves every cell format under Normal.
      if (x.parent >= styleXfs_.size() && !styleXfs_.empty())
        Damaged("a cell format names a cell style that does not exist");
      x.format.parent = x.parent < namedOf.size() ? namedOf[x.parent] : 0;
      xfStyles.push_back(book_.Styles().Intern(x.format));
    }
  }

  void Start(std::string_view name, const XmlAttrs& a) override {
    if (name == "numFmt") {
      customFormats_[a.Int("numFmtId", -1)] = DecodeEscapes(std::string(a.Get("formatCode")));
    } else if (name == "fonts" || name == "fills" || name == "borders" || name == "cellXfs" ||
               name == "cellStyleXfs" || name == "dxfs") {
      section_ = name;
    } else if (section_ == "fonts") {
      FontElement(name, a);
    } else if (section_ == "fills") {
      FillElement(name, a);
    } else if (section_ == "borders") {
      BorderElement(name, a);
    } else if (section_ == "cellXfs" || section_ == "cellStyleXfs") {
      XfElement(name, a);
    } else if (name == "cellStyle") {
      CellStyleElement(a);
    }
  }

  void End(std::string_view name) override {
    if (name == "fonts" || name == "fills" || name == "borders" || name == "cellXfs" ||
        name == "cellStyleXfs" || name == "dxfs") {
      section_ = {};
    } else if (section_ == "cellXfs" && name == "xf") {
      cellXfs_.push_back({xf_, xfId_});
    } else if (section_ == "cellStyleXfs" && name == "xf") {
      styleXfs_.push_back({xf_, parts_});
    } else if (section_ == "borders" && name == "border") {
      borders_.push_back(border_);
    } else if (section_ == "fills" && name == "fill") {
      fills_.push_back(fill_);
    } else if (section_ == "fonts" && name == "font") {
      FinishFont();
    }
  }

 private:
  std::uint32_t Color(const XmlAttrs& a) const { return fontProps_.Color(a); }

  void FontElement(std::string_view name, const XmlAttrs& a) {
    if (name == "font") font_ = Font{};
    else fontProps_.Apply(name, a, font_);
  }

  void FinishFont() {
    if (fonts_.empty()) {
      book_.Styles().SetDefaultFont(font_);
      fonts_.push_back(0);
    } else {
      fonts_.push_back(book_.Styles().InternFont(font_));
    }
  }

  void FillElement(std::string_view name, const XmlAttrs& a) {
    if (name == "fill") fill_ = RawFill{};
    else if (name == "patternFill")
      fill_.pattern = static_cast<std::uint8_t>(CodeOf(kPatterns, a.Get("patternType", "none"), 0));
    else if (name == "fgColor") fill_.fore = Color(a);
    else if (name == "bgColor") fill_.back = Color(a);
  }

  void BorderElement(std::string_view name, const XmlAttrs& a) {
    if (name == "border") {
      border_ = RawBorder{};
      side_ = nullptr;
    } else if (name == "left" || name == "start") {
      side_ = &border_.left;
    } else if (name == "right" || name == "end") {
      side_ = &border_.right;
    } else if (name == "top") {
      side_ = &border_.top;
    } else if (name == "bottom") {
      side_ = &border_.bottom;
    } else if (name == "diagonal" || name == "vertical" || name == "horizontal") {
      side_ = nullptr;
      return;
    } else if (name == "color" && side_) {
      side_->color = Color(a);
      return;
    } else {
      return;
    }
    if (side_) side_->line = static_cast<std::uint8_t>(CodeOf(kLines, a.Get("style", "none"), 0));
  }

  void CellStyleElement(const XmlAttrs& a) {
    RawCellStyle c;
    int id = a.Int("builtinId", -1);
    c.style.builtinId = id >= 0 && id <= 255 ? id : NamedStyle::kUser;
    c.style.level = std::clamp(a.Int("iLevel", 0), 0, 6);
    c.style.name = std::string(a.Get("name"));
    c.style.hidden = a.Bool("hidden", false);
    c.style.customBuiltin = a.Bool("customBuiltin", false);
    int xf = a.Int("xfId", 0);
    c.xf = xf >= 0 ? static_cast<std::size_t>(xf) : styleXfs_.size();
    cellStyles_.push_back(std::move(c));
  }

  // A style format sets the parts it does not say it leaves out.
  static std::uint8_t PartsOf(const XmlAttrs& a) {
    std::uint8_t parts = 0;
    for (const auto& [attr, part] : kApply)
      if (a.Bool(attr, true)) parts |= part;
    return parts;
  }

  void XfElement(std::string_view name, const XmlAttrs& a) {
    if (name == "xf") {
      xf_ = Style{};
      int parent = a.Int("xfId", 0);
      xfId_ = parent >= 0 ? static_cast<std::size_t>(parent) : std::size_t(-1);
      parts_ = PartsOf(a);
      xf_.numberFormat = FormatIndex(a.Int("numFmtId", 0));
      std::size_t font = static_cast<std::size_t>(std::max(0, a.Int("fontId", 0)));
      xf_.font = font < fonts_.size() ? fonts_[font] : 0;
      std::size_t fill = static_cast<std::size_t>(std::max(0, a.Int("fillId", 0)));
      if (fill < fills_.size()) {
        const RawFill& f = fills_[fill];
        xf_.pattern = f.pattern;
        if (f.pattern) {
          xf_.patternFore = f.fore;
          xf_.patternBack = f.back;
        }
      }
      std::size_t border = static_cast<std::size_t>(std::max(0, a.Int("borderId", 0)));
      if (border < borders_.size()) {
        xf_.left = borders_[border].left;
        xf_.right = borders_[border].right;
        xf_.top = borders_[border].top;
        xf_.bottom = borders_[border].bottom;
      }
    } else if (name == "alignment") {
      xf_.hAlign = static_cast<HAlign>(CodeOf(kHAligns, a.Get("horizontal", "general"), 0));
      xf_.vAlign = static_cast<VAlign>(CodeOf(kVAligns, a.Get("vertical", "bottom"), 2));
      xf_.wrap = a.Bool("wrapText", false);
    } else if (name == "protection") {
      xf_.locked = a.Bool("locked", true);
      xf_.hidden = a.Bool("hidden", false);
    }
  }

  std::uint16_t FormatIndex(int id) {
    auto it = customFormats_.find(id);
    std::string code = it != customFormats_.end() ? it->second : format::BuiltinFormatCode(id);
    if (code.empty() || code == "General") return 0;
    return book_.Formats().Intern(code);
  }

  Workbook& book_;
  FontProperties fontProps_;
  std::string_view section_;
  std::map<int, std::string> customFormats_;
  std::vector<std::uint16_t> fonts_;
  std::vector<RawFill> fills_;
  std::vector<RawBorder> borders_;
  Font font_;
  RawFill fill_;
  RawBorder border_;
  Border* side_ = nullptr;
  Style xf_;
  std::size_t xfId_ = 0;
  std::uint8_t parts_ = kAllParts;
  struct CellXf {
    Style format;
    std::size_t parent;
  };
  struct StyleXf {
    Style format;
    std::uint8_t parts;
  };
  struct RawCellStyle {
    NamedStyle style;
    std::size_t xf = 0;
  };
  std::vector<CellXf> cellXfs_;
  std::vector<StyleXf> styleXfs_;
  std::vector<RawCellStyle> cellStyles_;
};

}  // namespace

std::uint32_t FontProperties::Color(const XmlAttrs& a) const {
  static const xls::Palette palette;  // the default one: a package's own is not read
  std::uint32_t c = kAutoColor;
  if (a.Bool("auto", false)) return kAutoColor;
  if (a.Has("rgb")) {
    c = ParseArgb(a.Get("rgb"), kAutoColor);
  } else if (a.Has("indexed")) {
    int i = a.Int("indexed", 64);
    c = i >= 0 && i < 64 ? palette.Color(static_cast<unsigned>(i)) : kAutoColor;
  } else if (a.Has("theme")) {
    int i = a.Int("theme", -1);
    static constexpr int kSwap[4] = {1, 0, 3, 2};
    int slot = i >= 0 && i < 4 ? kSwap[i] : i;
    if (slot >= 0 && slot < static_cast<int>(theme_.size())) c = theme_[static_cast<std::size_t>(slot)];
  }
  return Tinted(c, a.Number("tint", 0));
}

void FontProperties::Apply(std::string_view name, const XmlAttrs& a, Font& font) const {
  if (name == "name" || name == "rFont") font.name = DecodeEscapes(std::string(a.Get("val", "Arial")));
  else if (name == "sz") font.heightTwips = static_cast<int>(std::lround(std::clamp(a.Number("val", 10), 1.0, 409.0) * 20));
  else if (name == "b") font.bold = a.Bool("val", true);
  else if (name == "i") font.italic = a.Bool("val", true);
  else if (name == "strike") font.strikeout = a.Bool("val", true);
  else if (name == "u") font.underline = a.Get("val", "single") != "none";
  else if (name == "color") font.color = Color(a);
}

std::vector<std::uint32_t> ReadThemeColors(const ZipReader& zip, const std::string& themePart) {
  if (themePart.empty() || !zip.Has(themePart)) return {};
  ThemeHandler h;
  ParseXmlPart(zip, themePart, h);
  return std::move(h.colors);
}

std::string ApplyAttrs(std::uint8_t parts, const char* value) {
  std::string out;
  for (const auto& [attr, part] : kApply)
    if (parts & part) out += std::string(" ") + attr + "=\"" + value + "\"";
  return out;
}

std::string CellStylesXml(const StyleTable& styles) {
  const std::vector<NamedStyle>& named = styles.NamedStyles();
  std::string out = "<cellStyles count=\"" + std::to_string(named.size()) + "\">";
  for (std::size_t i = 0; i < named.size(); ++i) {
    const NamedStyle& s = named[i];
    out += "<cellStyle name=\"" + Escaped(NamedStyleName(s)) + "\" xfId=\"" + std::to_string(i) + "\"";
    if (s.builtinId != NamedStyle::kUser) {
      out += " builtinId=\"" + std::to_string(s.builtinId) + "\"";
      if (s.builtinId == 1 || s.builtinId == 2) out += " iLevel=\"" + std::to_string(s.level) + "\"";
      if (s.customBuiltin) out += " customBuiltin=\"1\"";
    }
    if (s.hidden) out += " hidden=\"1\"";
    out += "/>";
  }
  return out + "</cellStyles>";
}

std::uint32_t ParseArgb(std::string_view argb, std::uint32_t fallback) {
  if (argb.size() == 8) argb.remove_prefix(2);
  if (argb.size() != 6) return fallback;
  std::uint32_t rgb = 0;
  for (char ch : argb) {
    int v = ch >= '0' && ch <= '9'   ? ch - '0'
            : ch >= 'a' && ch <= 'f' ? ch - 'a' + 10
            : ch >= 'A' && ch <= 'F' ? ch - 'A' + 10
                                     : -1;
    if (v < 0) return fallback;
    rgb = rgb << 4 | static_cast<std::uint32_t>(v);
  }
  return ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
}

const char* PatternName(unsigned pattern) {
  return pattern < kPatterns.size() ? kPatterns[pattern] : "solid";
}
const char* LineName(unsigned line) { return line < kLines.size() ? kLines[line] : "thin"; }
const char* HAlignName(HAlign a) { return kHAligns[static_cast<std::size_t>(a) % kHAligns.size()]; }
const char* VAlignName(VAlign a) { return kVAligns[static_cast<std::size_t>(a) % kVAligns.size()]; }

std::vector<std::uint16_t> ReadStyles(const ZipReader& zip, const std::string& stylesPart,
                                      const std::string& themePart, Workbook& book) {
  std::vector<std::uint32_t> theme = ReadThemeColors(zip, themePart);
  if (stylesPart.empty() || !zip.Has(stylesPart)) return {};
  StylesHandler h(book, theme);
  ParseXmlPart(zip, stylesPart, h);
  h.Finish();
  return std::move(h.xfStyles);
}

}  // namespace engine::xlsx
