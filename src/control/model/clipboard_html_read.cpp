// Reading the cells of an HTML table another program put on the clipboard. One pass over the
// bytes: every step consumes input, open elements are remembered only to a fixed depth, and
// spans add cells only up to the sheet's width, so that no markup makes it loop or swell.

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>

#include "control/io/code_page.h"
#include "control/limits.h"
#include "control/model/clipboard_html.h"
#include "control/model/text_runs.h"

namespace engine::clipboard_html {

void FontMarks::Over(const FontMarks& inner) {
  if (inner.name) name = inner.name;
  if (inner.heightTwips) heightTwips = inner.heightTwips;
  if (inner.bold) bold = inner.bold;
  if (inner.italic) italic = inner.italic;
  if (inner.underline) underline = inner.underline;
  if (inner.strikeout) strikeout = inner.strikeout;
  if (inner.color) color = inner.color;
}

Font FontMarks::Applied(Font base) const {
  if (name) base.name = *name;
  if (heightTwips) base.heightTwips = *heightTwips;
  if (bold) base.bold = *bold;
  if (italic) base.italic = *italic;
  if (underline) base.underline = *underline;
  if (strikeout) base.strikeout = *strikeout;
  if (color) base.color = *color;
  return base;
}

namespace {

constexpr std::size_t kMaxDepth = 64;  // open elements remembered; deeper ones count as text
constexpr std::size_t kMaxName = 255;  // longest font name taken

bool Space(char ch) { return ch == ' ' || ch == '\t' || ch == '\n' || ch == '\r' || ch == '\f'; }

std::string Lower(std::string_view s) {
  std::string out(s);
  for (char& ch : out) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return out;
}

std::string_view Trim(std::string_view s) {
  while (!s.empty() && Space(s.front())) s.remove_prefix(1);
  while (!s.empty() && Space(s.back())) s.remove_suffix(1);
  return s;
}

// A referenced character; one that cannot be text stands as U+FFFD.
void AppendCharacter(std::string& out, std::uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp < 0xE000)) cp = 0xFFFD;
  xls::AppendUtf8(out, static_cast<char32_t>(cp));
}

// A character reference at html[i] ('&'): appends what it stands for and returns the bytes it
// took; 0 when it is none (the '&' is then text).
std::size_t Reference(std::string_view html, std::size_t i, std::string& out) {
  const std::size_t semi = html.find(';', i);
  if (semi == std::string_view::npos || semi - i > 12) return 0;
  const std::string_view body = html.substr(i + 1, semi - i - 1);
  if (!body.empty() && body[0] == '#') {
    const bool hex = body.size() > 1 && (body[1] == 'x' || body[1] == 'X');
    const std::string_view digits = body.substr(hex ? 2 : 1);
    std::uint32_t cp = 0;
    auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
    if (digits.empty() || ec != std::errc() || end != digits.data() + digits.size()) cp = 0xFFFD;
    AppendCharacter(out, cp);
    return semi - i + 1;
  }
  static constexpr std::pair<std::string_view, std::string_view> kNamed[] = {
      {"amp", "&"}, {"lt", "<"}, {"gt", ">"}, {"quot", "\""}, {"apos", "'"}, {"nbsp", "\xC2\xA0"}};
  for (const auto& [name, text] : kNamed)
    if (Lower(body) == name) {
      out += text;
      return semi - i + 1;
    }
  return 0;
}

// The text of an attribute value with its references resolved.
std::string Decoded(std::string_view s) {
  std::string out;
  for (std::size_t i = 0; i < s.size();) {
    const std::size_t took = s[i] == '&' ? Reference(s, i, out) : 0;
    if (took != 0) {
      i += took;
    } else {
      out += s[i++];
    }
  }
  return out;
}

bool Number(std::string_view s, double& v) {
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  return ec == std::errc() && end == s.data() + s.size() && std::isfinite(v);
}

// A CSS or HTML colour: #rgb, #rrggbb, rgb(r, g, b) or one of the common names.
std::optional<std::uint32_t> Colour(std::string_view value) {
  const std::string v = Lower(Trim(value));
  const auto bgr = [](unsigned r, unsigned g, unsigned b) {
    return std::uint32_t{r | (g << 8) | (b << 16)};
  };
  if (!v.empty() && v[0] == '#') {
    std::string hex = v.substr(1);
    if (hex.size() == 3) hex = {hex[0], hex[0], hex[1], hex[1], hex[2], hex[2]};
    std::uint32_t rgb = 0;
    auto [end, ec] = std::from_chars(hex.data(), hex.data() + hex.size(), rgb, 16);
    if (hex.size() != 6 || ec != std::errc() || end != hex.data() + hex.size()) return {};
    return bgr(rgb >> 16, (rgb >> 8) & 0xFF, rgb & 0xFF);
  }
  if (v.rfind("rgb(", 0) == 0 && v.back() == ')') {
    unsigned c[3] = {0, 0, 0};
    std::string_view rest = std::string_view(v).substr(4, v.size() - 5);
    for (int k = 0; k < 3; ++k) {
      const std::size_t comma = rest.find(',');
      if ((comma == std::string_view::npos) != (k == 2)) return {};
      double d = 0;
      if (!Number(Trim(rest.substr(0, comma)), d) || d < 0 || d > 255) return {};
      c[k] = static_cast<unsigned>(d);
      rest = comma == std::string_view::npos ? std::string_view() : rest.substr(comma + 1);
    }
    return bgr(c[0], c[1], c[2]);
  }
  static constexpr std::pair<std::string_view, std::uint32_t> kNames[] = {
      {"black", 0x000000}, {"white", 0xFFFFFF}, {"red", 0x0000FF},  {"green", 0x008000},
      {"blue", 0xFF0000},  {"yellow", 0x00FFFF}, {"gray", 0x808080}, {"grey", 0x808080},
      {"maroon", 0x000080}, {"navy", 0x800000}, {"purple", 0x800080}, {"teal", 0x808000}};
  for (const auto& [name, colour] : kNames)
    if (v == name) return colour;
  return {};
}

// A size in points or pixels as twips, within what a cell's font may be.
std::optional<int> Size(std::string_view value) {
  const std::string v = Lower(Trim(value));
  double scale = 0;
  std::string_view digits = v;
  if (v.size() > 2 && v.ends_with("pt")) {
    scale = 20;
  } else if (v.size() > 2 && v.ends_with("px")) {
    scale = 15;  // 96 pixels an inch, 1440 twips an inch
  } else {
    return {};
  }
  digits.remove_suffix(2);
  double d = 0;
  if (!Number(Trim(digits), d)) return {};
  const double twips = std::round(d * scale);
  if (twips < 20 || twips > 409 * 20) return {};
  return static_cast<int>(twips);
}

std::optional<std::string> Family(std::string_view value) {
  std::string_view v = Trim(value.substr(0, value.find(',')));
  if (v.size() >= 2 && (v.front() == '\'' || v.front() == '"') && v.back() == v.front())
    v = v.substr(1, v.size() - 2);
  v = Trim(v);
  if (v.empty() || v.size() > kMaxName) return {};
  return std::string(v);
}

// The font properties of a style attribute.
void ReadStyle(std::string_view css, FontMarks& m) {
  while (!css.empty()) {
    const std::size_t semi = css.find(';');
    const std::string_view decl = css.substr(0, semi);
    css = semi == std::string_view::npos ? std::string_view() : css.substr(semi + 1);
    const std::size_t colon = decl.find(':');
    if (colon == std::string_view::npos) continue;
    const std::string prop = Lower(Trim(decl.substr(0, colon)));
    const std::string_view raw = Trim(decl.substr(colon + 1));
    const std::string value = Lower(raw);
    if (prop == "font-weight") {
      double w = 0;
      if (value == "bold" || value == "bolder") m.bold = true;
      else if (value == "normal" || value == "lighter") m.bold = false;
      else if (Number(value, w)) m.bold = w >= 600;
    } else if (prop == "font-style") {
      if (value == "italic" || value == "oblique") m.italic = true;
      else if (value == "normal") m.italic = false;
    } else if (prop == "text-decoration" || prop == "text-decoration-line") {
      if (value.find("none") != std::string::npos) {
        m.underline = false;
        m.strikeout = false;
      }
      if (value.find("underline") != std::string::npos) m.underline = true;
      if (value.find("line-through") != std::string::npos) m.strikeout = true;
    } else if (prop == "color") {
      if (auto c = Colour(value)) m.color = c;
    } else if (prop == "font-size") {
      if (auto s = Size(value)) m.heightTwips = s;
    } else if (prop == "font-family") {
      if (auto f = Family(raw)) m.name = f;
    }
  }
}

struct Tag {
  std::string name;  // lower case
  bool closing = false;
  std::vector<std::pair<std::string, std::string>> attributes;  // names lower case, decoded

  const std::string* Attribute(std::string_view n) const {
    for (const auto& [k, v] : attributes)
      if (k == n) return &v;
    return nullptr;
  }
};

// A tag starting at html[i] ('<' followed by a letter or '/'); returns the index past it.
std::size_t ReadTag(std::string_view html, std::size_t i, Tag& tag) {
  tag = Tag{};
  ++i;
  if (i < html.size() && html[i] == '/') {
    tag.closing = true;
    ++i;
  }
  const std::size_t nameStart = i;
  while (i < html.size() && std::isalnum(static_cast<unsigned char>(html[i]))) ++i;
  tag.name = Lower(html.substr(nameStart, i - nameStart));
  for (;;) {
    while (i < html.size() && (Space(html[i]) || html[i] == '/')) ++i;
    if (i >= html.size()) return i;
    if (html[i] == '>') return i + 1;
    const std::size_t keyStart = i;
    while (i < html.size() && !Space(html[i]) && html[i] != '>' && html[i] != '=' &&
           html[i] != '/')
      ++i;
    std::string key = Lower(html.substr(keyStart, i - keyStart));
    while (i < html.size() && Space(html[i])) ++i;
    std::string value;
    if (i < html.size() && html[i] == '=') {
      ++i;
      while (i < html.size() && Space(html[i])) ++i;
      if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
        const char quote = html[i++];
        const std::size_t end = std::min(html.find(quote, i), html.size());
        value = Decoded(html.substr(i, end - i));
        i = std::min(end + 1, html.size());
      } else {
        const std::size_t start = i;
        while (i < html.size() && !Space(html[i]) && html[i] != '>') ++i;
        value = Decoded(html.substr(start, i - start));
      }
    }
    if (key.empty()) {
      ++i;  // a stray character where a name belongs
      continue;
    }
    if (tag.attributes.size() < 32) tag.attributes.emplace_back(std::move(key), std::move(value));
  }
}

// What an element says of the font of the text inside it.
FontMarks MarksOf(const Tag& tag) {
  FontMarks m;
  const std::string& n = tag.name;
  if (n == "b" || n == "strong") m.bold = true;
  if (n == "i" || n == "em") m.italic = true;
  if (n == "u" || n == "ins") m.underline = true;
  if (n == "s" || n == "strike" || n == "del") m.strikeout = true;
  if (n == "font") {
    if (const std::string* face = tag.Attribute("face"))
      if (auto f = Family(*face)) m.name = f;
    if (const std::string* colour = tag.Attribute("color")) m.color = Colour(*colour);
    // HTML's seven sizes, in points.
    static constexpr int kPoints[] = {8, 10, 12, 14, 18, 24, 36};
    if (const std::string* size = tag.Attribute("size")) {
      int s = 0;
      auto [end, ec] = std::from_chars(size->data(), size->data() + size->size(), s);
      if (ec == std::errc() && end == size->data() + size->size() && s >= 1 && s <= 7)
        m.heightTwips = kPoints[s - 1] * 20;
    }
  }
  if (const std::string* style = tag.Attribute("style")) ReadStyle(*style, m);
  return m;
}

bool Void(const std::string& n) {
  return n == "br" || n == "img" || n == "meta" || n == "link" || n == "hr" || n == "input" ||
         n == "col" || n == "wbr" || n == "base" || n == "area";
}

bool BlockElement(const std::string& n) {
  return n == "p" || n == "div" || n == "table" || n == "tr" || n == "td" || n == "th" ||
         n == "li" || n == "ul" || n == "ol" || n == "hr" || n == "h1" || n == "h2" || n == "h3";
}

// Elements whose content is not text of the page.
bool RawText(const std::string& n) {
  return n == "script" || n == "style" || n == "title" || n == "textarea" || n == "xml";
}

class Reader {
 public:
  std::vector<std::vector<ParsedField>> Read(std::string_view html) {
    // A Windows clipboard header ("Version:0.9 StartHTML:…") precedes the markup.
    if (html.substr(0, 8) == "Version:") html.remove_prefix(std::min(html.find('<'), html.size()));
    std::size_t i = 0;
    Tag tag;
    while (i < html.size()) {
      const char ch = html[i];
      if (ch == '<' && html.substr(i, 4) == "<!--") {
        const std::size_t end = html.find("-->", i + 4);
        i = end == std::string_view::npos ? html.size() : end + 3;
      } else if (ch == '<' && i + 1 < html.size() && (html[i + 1] == '!' || html[i + 1] == '?')) {
        i = std::min(html.find('>', i), html.size() - 1) + 1;
      } else if (ch == '<' && i + 1 < html.size() &&
                 (std::isalpha(static_cast<unsigned char>(html[i + 1])) || html[i + 1] == '/')) {
        i = ReadTag(html, i, tag);
        if (!tag.closing && RawText(tag.name)) i = SkipRaw(html, i, tag.name);
        Element(tag);
      } else if (ch == '&') {
        std::string decoded;
        const std::size_t took = Reference(html, i, decoded);
        Text(took != 0 ? std::string_view(decoded) : std::string_view("&"), false);
        i += took != 0 ? took : 1;
      } else {
        std::size_t end = i + 1;
        while (end < html.size() && html[end] != '<' && html[end] != '&') ++end;
        Text(html.substr(i, end - i), true);
        i = end;
      }
    }
    if (inTable_) EndRow();
    if (!sawTable_) return {{Finish(loose_)}};
    return std::move(rows_);
  }

 private:
  struct Open {
    std::string name;
    FontMarks marks;  // everything in force inside it
  };
  struct Building {
    ParsedField field;
    bool pendingSpace = false;
    FontMarks spaceMarks;
    FontMarks last;  // the marks of the text appended last
    bool any = false;
  };

  static std::size_t SkipRaw(std::string_view html, std::size_t i, const std::string& name) {
    for (std::size_t at = i; (at = html.find("</", at)) != std::string_view::npos; at += 2)
      if (Lower(html.substr(at + 2, name.size())) == name) return at;
    return html.size();
  }

  FontMarks Current() const { return open_.empty() ? FontMarks{} : open_.back().marks; }

  void Push(const Tag& tag) {
    FontMarks m = Current();
    m.Over(MarksOf(tag));
    if (open_.size() < kMaxDepth) open_.push_back(Open{tag.name, std::move(m)});
  }

  // Closes the innermost open element of that name and all inside it.
  void Pop(const std::string& name) {
    for (std::size_t k = open_.size(); k-- > 0;)
      if (open_[k].name == name) {
        open_.resize(k);
        return;
      }
  }

  void Element(const Tag& tag) {
    const std::string& n = tag.name;
    if (n == "table") {
      if (tag.closing) {
        if (inTable_ && tableDepth_ == 1) {
          EndRow();
          inTable_ = false;
          done_ = true;
        }
        if (tableDepth_ > 0) --tableDepth_;
      } else {
        ++tableDepth_;
        if (!sawTable_) {
          sawTable_ = inTable_ = true;
          tableDepth_ = 1;
        }
      }
      return;
    }
    const bool ours = inTable_ && tableDepth_ == 1;
    if (n == "tr" && ours) {
      if (tag.closing)
        EndRow();
      else
        StartRow();
      return;
    }
    if ((n == "td" || n == "th") && ours) {
      EndCell();
      if (tag.closing) return;
      if (!rowOpen_) StartRow();
      open_.clear();
      Push(tag);
      inCell_ = true;
      span_ = 1;
      if (const std::string* colspan = tag.Attribute("colspan")) {
        long long s = 1;
        auto [end, ec] = std::from_chars(colspan->data(), colspan->data() + colspan->size(), s);
        if (ec == std::errc::result_out_of_range) s = kMaxCol;
        span_ = static_cast<int>(std::clamp<long long>(s, 1, kMaxCol));
      }
      return;
    }
    if (n == "br" && !tag.closing) {
      if (Building* b = Where()) {
        b->pendingSpace = false;
        Append(*b, "\n", Current());
      }
      return;
    }
    // A block inside a cell (a paragraph, a nested table) stands apart from the text around it.
    if (BlockElement(n))
      if (Building* b = Where(); b != nullptr && !b->pendingSpace) {
        b->pendingSpace = true;
        b->spaceMarks = Current();
      }
    if (Void(n)) return;
    if (tag.closing)
      Pop(n);
    else
      Push(tag);
  }

  Building* Where() {
    if (done_) return nullptr;
    if (!sawTable_) return &loose_;
    return inCell_ ? &cell_ : nullptr;
  }
  void Append(Building& b, std::string_view s, const FontMarks& now) {
    if (!b.any || now != b.last) {
      b.field.runs.push_back(
          MarkedRun{static_cast<std::uint32_t>(text_runs::Utf16Length(b.field.text)), now});
      b.last = now;
      b.any = true;
    }
    b.field.text += s;
  }

  // Text of the page: raw whitespace folds to one space between words.
  void Text(std::string_view s, bool raw) {
    Building* b = Where();
    if (b == nullptr) return;
    const FontMarks now = Current();
    std::size_t i = 0;
    while (i < s.size()) {
      if (raw && Space(s[i])) {
        // The folded space keeps the font of the text it follows, as a browser shows it.
        if (!b->pendingSpace) b->spaceMarks = now;
        b->pendingSpace = true;
        ++i;
        continue;
      }
      std::size_t end = raw ? i : s.size();
      while (end < s.size() && !Space(s[end])) ++end;
      if (b->pendingSpace && !b->field.text.empty() && b->field.text.back() != '\n')
        Append(*b, " ", b->spaceMarks);
      b->pendingSpace = false;
      Append(*b, s.substr(i, end - i), now);
      i = end;
    }
  }

  // The runs from the first marked piece on; equal neighbours merged; none at the text's end.
  static ParsedField Finish(Building& b) {
    ParsedField f = std::move(b.field);
    const std::uint32_t length = static_cast<std::uint32_t>(text_runs::Utf16Length(f.text));
    std::vector<MarkedRun> runs;
    for (MarkedRun& r : f.runs) {
      if (runs.empty() && !r.marks.Any()) continue;
      if (r.at >= length) break;
      if (!runs.empty() && runs.back().at == r.at) runs.pop_back();
      if (runs.empty() ? !r.marks.Any() : runs.back().marks == r.marks) continue;
      runs.push_back(std::move(r));
    }
    f.runs = std::move(runs);
    b = Building{};
    return f;
  }

  void EndCell() {
    if (!inCell_) return;
    inCell_ = false;
    open_.clear();
    if (!rowOpen_ || rows_.back().size() >= static_cast<std::size_t>(kMaxCol)) {
      cell_ = Building{};
      return;
    }
    auto& row = rows_.back();
    row.push_back(Finish(cell_));
    for (int k = 1; k < span_ && row.size() < static_cast<std::size_t>(kMaxCol); ++k)
      row.emplace_back();
  }

  void StartRow() {
    EndCell();
    rowOpen_ = rows_.size() < static_cast<std::size_t>(kMaxRow);
    if (rowOpen_) rows_.emplace_back();
  }
  void EndRow() {
    EndCell();
    rowOpen_ = false;
  }

  std::vector<std::vector<ParsedField>> rows_;
  std::vector<Open> open_;
  Building loose_, cell_;
  bool sawTable_ = false, inTable_ = false, rowOpen_ = false, inCell_ = false, done_ = false;
  int tableDepth_ = 0;
  int span_ = 1;
};

}  // namespace

std::vector<std::vector<ParsedField>> Parse(std::string_view html) {
  auto rows = Reader().Read(html);
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
  return rows;
}

bool SameText(std::string_view cell, std::string_view parsed) {
  std::size_t i = 0, j = 0;
  while (i < cell.size() && j < parsed.size()) {
    if (cell[i] == parsed[j]) {
      ++i;
      ++j;
    } else if (cell[i] == ' ' && parsed.substr(j, 2) == "\xC2\xA0") {
      ++i;
      j += 2;
    } else {
      return false;
    }
  }
  return i == cell.size() && j == parsed.size();
}

}  // namespace engine::clipboard_html
