// The lexical walk that finds where a sheet's rows may be cut. It reads only what it must to
// know where every markup ends: text between tags is passed over with memchr.
#include "control/xlsx/row_cut.h"

#include <cstring>
#include <vector>

namespace engine::xlsx {

namespace {

constexpr std::size_t kNone = std::string_view::npos;

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; }

std::string_view Local(std::string_view name) {
  std::size_t colon = name.rfind(':');
  return colon == kNone ? name : name.substr(colon + 1);
}

std::size_t Find(std::string_view s, std::size_t from, char c) {
  if (from >= s.size()) return kNone;
  const void* at = std::memchr(s.data() + from, c, s.size() - from);
  return at ? static_cast<std::size_t>(static_cast<const char*>(at) - s.data()) : kNone;
}

// Just past the first `end` at or after `from`.
std::size_t After(std::string_view s, std::size_t from, std::string_view end) {
  std::size_t at = from <= s.size() ? s.find(end, from) : kNone;
  return at == kNone ? kNone : at + end.size();
}

// Just past the '>' of the start tag whose '<' is at `from`; quoted values may hold '>'.
std::size_t StartTagEnd(std::string_view s, std::size_t from) {
  for (std::size_t p = from + 1; p < s.size(); ++p) {
    char c = s[p];
    if (c == '>') return p + 1;
    if (c == '<') return kNone;
    if (c == '"' || c == '\'') {
      p = Find(s, p + 1, c);
      if (p == kNone) return kNone;
    }
  }
  return kNone;
}

// Just past the markup at `lt` that opens with "<!" or "<?": a comment, a CDATA section or a
// processing instruction; kNone for anything else (a document type, or not XML).
std::size_t SkipSpecial(std::string_view s, std::size_t lt, bool inElement) {
  if (s[lt + 1] == '?') return After(s, lt + 2, "?>");
  if (s.substr(lt, 4) == "<!--") return After(s, lt + 4, "-->");
  if (s.substr(lt, 9) == "<![CDATA[" && inElement) return After(s, lt + 9, "]]>");
  return kNone;
}

// Just past the end of the elements open below depth 2, back in sheetData (or whatever is open
// at depth 2): the inside of a row, the bulk of a sheet, walked a byte at a time rather than
// with a call for every tag.
std::size_t SkipNested(std::string_view s, std::size_t from, int depth) {
  const char* const begin = s.data();
  const char* const end = begin + s.size();
  const char* c = begin + from;
  for (;;) {
    while (c < end && *c != '<') ++c;
    if (end - c < 2) return kNone;
    if (c[1] == '/') {
      while (c < end && *c != '>') ++c;
      if (c == end) return kNone;
      ++c;
      if (--depth == 2) return static_cast<std::size_t>(c - begin);
    } else if (c[1] == '!' || c[1] == '?') {
      const std::size_t after = SkipSpecial(s, static_cast<std::size_t>(c - begin), true);
      if (after == kNone) return kNone;
      c = begin + after;
    } else {
      for (++c;; ++c) {  // to the start tag's '>'; quoted values may hold '>'
        if (c == end || *c == '<') return kNone;
        if (*c == '>') break;
        if (*c == '"' || *c == '\'') {  // values are short: a plain loop beats a call
          const char quote = *c;
          for (++c; c < end && *c != quote;) ++c;
          if (c == end) return kNone;
        }
      }
      if (c[-1] != '/') ++depth;
      ++c;
    }
  }
}

struct Attr {
  std::string_view name, value, whole;  // whole: name="value" as written
};

// The name and the attributes of a start tag ("<name a='1' b="2">" or ".../>"); false when
// they do not read as XML writes them.
bool ReadTag(std::string_view tag, std::string_view& name, std::vector<Attr>& attrs) {
  attrs.clear();
  std::size_t end = tag.size() - (tag.size() >= 2 && tag[tag.size() - 2] == '/' ? 2 : 1);
  std::size_t p = 1;
  while (p < end && !IsSpace(tag[p])) ++p;
  name = tag.substr(1, p - 1);
  if (name.empty()) return false;
  for (;;) {
    while (p < end && IsSpace(tag[p])) ++p;
    if (p >= end) return true;
    std::size_t start = p;
    while (p < end && tag[p] != '=' && !IsSpace(tag[p])) ++p;
    std::string_view attrName = tag.substr(start, p - start);
    while (p < end && IsSpace(tag[p])) ++p;
    if (p >= end || tag[p] != '=' || attrName.empty()) return false;
    ++p;
    while (p < end && IsSpace(tag[p])) ++p;
    if (p >= end || (tag[p] != '"' && tag[p] != '\'')) return false;
    std::size_t close = tag.find(tag[p], p + 1);
    if (close == kNone || close >= end) return false;
    attrs.push_back({attrName, tag.substr(p + 1, close - p - 1), tag.substr(start, close + 1 - start)});
    p = close + 1;
  }
}

// A row that says its number as digits a parser reads whole.
bool NumberedRow(std::string_view tag) {
  std::string_view name;
  std::vector<Attr> attrs;
  if (!ReadTag(tag, name, attrs)) return false;
  for (const Attr& a : attrs) {
    if (Local(a.name) != "r") continue;
    if (a.value.empty() || a.value.size() > 9) return false;
    for (char c : a.value)
      if (c < '0' || c > '9') return false;
    return true;
  }
  return false;
}

// A start tag of the same name with only its namespace declarations.
std::optional<std::string> Declarations(std::string_view tag) {
  std::string_view name;
  std::vector<Attr> attrs;
  if (!ReadTag(tag, name, attrs)) return std::nullopt;
  std::string out = "<" + std::string(name);
  for (const Attr& a : attrs)
    if (a.name == "xmlns" || a.name.substr(0, 6) == "xmlns:") (out += ' ') += a.whole;
  return out + ">";
}

}  // namespace

std::optional<RowCut> FindRowCut(std::string_view s, std::size_t notBefore) {
  std::size_t p = s.substr(0, 3) == "\xEF\xBB\xBF" ? 3 : 0;
  if (p >= s.size() || s[p] != '<') return std::nullopt;  // not UTF-8 as we know it
  int depth = 0;
  bool inData = false;  // sheetData is the open element at depth 2
  std::string_view rootTag, dataTag;
  for (;;) {
    std::size_t lt = Find(s, p, '<');
    if (lt == kNone || lt + 1 >= s.size()) return std::nullopt;
    char next = s[lt + 1];
    if (next == '!' || next == '?') {
      p = SkipSpecial(s, lt, depth > 0);
    } else if (next == '/') {
      p = Find(s, lt, '>');
      if (p != kNone) ++p;
      if (depth == 2 && inData) return std::nullopt;  // sheetData ends without a cut
      if (--depth <= 0) return std::nullopt;
    } else {
      p = StartTagEnd(s, lt);
      if (p == kNone) return std::nullopt;
      std::string_view tag = s.substr(lt, p - lt);
      bool empty = tag[tag.size() - 2] == '/';
      std::size_t nameEnd = 1;
      while (nameEnd < tag.size() && !IsSpace(tag[nameEnd]) && tag[nameEnd] != '/' &&
             tag[nameEnd] != '>')
        ++nameEnd;
      std::string_view local = Local(tag.substr(1, nameEnd - 1));
      if (inData && depth == 2 && local == "row" && lt >= notBefore && NumberedRow(tag)) {
        std::optional<std::string> root = Declarations(rootTag), data = Declarations(dataTag);
        if (!root || !data) return std::nullopt;
        return RowCut{lt, *root + *data};
      }
      if (!empty) {
        ++depth;
        if (depth == 1) rootTag = tag;
        if (depth == 2 && local == "sheetData") {
          inData = true;
          dataTag = tag;
        }
        if (depth == 3) {  // inside a row: only the nesting counts
          p = SkipNested(s, p, depth);
          depth = 2;
        }
      }
    }
    if (p == kNone) return std::nullopt;
  }
}

}  // namespace engine::xlsx
