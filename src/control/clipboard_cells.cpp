// The engine's own clipboard form of a copy. Line one names the form and carries the copy's
// token; then the block, the fonts and formats it uses, and one line per cell. Fields are
// separated by tabs; a backslash escapes tab, line break, carriage return and itself. Numbers
// are written so that they read back exactly, whatever the process's locale.
//
//   DataTableCells 1 <tab> token
//   block <tab> rows <tab> cols <tab> row1 <tab> col1
//   style <tab> format code <tab> font name <tab> height <tab> b i u s <tab> colour … (see below)
//   cell <tab> r <tab> c <tab> style <tab> kind <tab> value <tab> formula
//   run <tab> at <tab> font name <tab> height <tab> b i u s <tab> colour   (of the cell above)
//
// Reading checks everything: a line it does not understand makes the whole text plain text.

#include <unistd.h>

#include <atomic>
#include <charconv>
#include <chrono>
#include <limits>

#include "control/clipboard_data.h"
#include "control/model/sheet.h"
#include "control/model/text_runs.h"

namespace engine::clip_cells {

namespace {

constexpr std::string_view kMagic = "DataTableCells 1";

void Escape(std::string& out, std::string_view s) {
  for (char ch : s) {
    switch (ch) {
      case '\\':
        out += "\\\\";
        break;
      case '\t':
        out += "\\t";
        break;
      case '\n':
        out += "\\n";
        break;
      case '\r':
        out += "\\r";
        break;
      default:
        out += ch;
    }
  }
}

bool Unescape(std::string_view s, std::string& out) {
  out.clear();
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] != '\\') {
      out += s[i];
      continue;
    }
    if (++i == s.size()) return false;
    switch (s[i]) {
      case '\\':
        out += '\\';
        break;
      case 't':
        out += '\t';
        break;
      case 'n':
        out += '\n';
        break;
      case 'r':
        out += '\r';
        break;
      default:
        return false;
    }
  }
  return true;
}

void Field(std::string& out, std::string_view s) {
  out += '\t';
  Escape(out, s);
}
void Field(std::string& out, long long n) {
  out += '\t';
  out += std::to_string(n);
}
void Field(std::string& out, double d) {
  char buffer[64];
  auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, d);
  out += '\t';
  if (ec == std::errc()) out.append(buffer, end);
}

void Split(std::string_view line, std::vector<std::string_view>& fields) {
  fields.clear();
  std::size_t start = 0;
  for (;;) {
    std::size_t tab = line.find('\t', start);
    fields.push_back(line.substr(start, tab == std::string_view::npos ? tab : tab - start));
    if (tab == std::string_view::npos) break;
    start = tab + 1;
  }
}

template <class T>
bool Integer(std::string_view s, T lo, T hi, T& out) {
  long long v = 0;
  auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || v < static_cast<long long>(lo) ||
      v > static_cast<long long>(hi))
    return false;
  out = static_cast<T>(v);
  return true;
}

bool Colour(std::string_view s, std::uint32_t& out) {
  return Integer<std::uint32_t>(s, 0, std::numeric_limits<std::uint32_t>::max(), out);
}

bool Flag(std::string_view s, bool& out) {
  if (s != "0" && s != "1") return false;
  out = s == "1";
  return true;
}

void EncodeValue(std::string& out, const Value& v) {
  switch (v.kind) {
    case ValueKind::Empty:
      Field(out, "E");
      Field(out, "");
      break;
    case ValueKind::Number:
      Field(out, "N");
      Field(out, v.number);
      break;
    case ValueKind::Text:
      Field(out, "T");
      Field(out, v.text);
      break;
    case ValueKind::Logical:
      Field(out, "B");
      Field(out, v.logical ? "1" : "0");
      break;
    case ValueKind::Error:
      Field(out, "X");
      Field(out, static_cast<long long>(v.error));
      break;
  }
}

bool DecodeValue(std::string_view kind, std::string_view data, Value& v) {
  if (kind == "E") {
    v = Value::Empty();
    return data.empty();
  }
  if (kind == "N") {
    double d = 0;
    auto [end, ec] = std::from_chars(data.data(), data.data() + data.size(), d);
    if (ec != std::errc() || end != data.data() + data.size() || d != d) return false;
    v = Value::Number(d);
    return true;
  }
  if (kind == "T") {
    std::string text;
    if (!Unescape(data, text)) return false;
    v = Value::Text(std::move(text));
    return true;
  }
  if (kind == "B") {
    bool b = false;
    if (!Flag(data, b)) return false;
    v = Value::Logical(b);
    return true;
  }
  if (kind == "X") {
    int code = 0;
    if (!Integer(data, 0, 255, code)) return false;
    const auto e = static_cast<ErrorValue>(code);
    ErrorValue check;
    if (!ParseErrorText(ErrorText(e), check) || check != e) return false;
    v = Value::Error(e);
    return true;
  }
  return false;
}

void EncodeBorder(std::string& out, const Border& b) {
  Field(out, static_cast<long long>(b.line));
  Field(out, static_cast<long long>(b.color));
}

bool DecodeBorder(std::string_view line, std::string_view colour, Border& b) {
  return Integer<std::uint8_t>(line, 0, 13, b.line) && Colour(colour, b.color);
}

void EncodeFont(std::string& out, const Font& font) {
  Field(out, font.name);
  Field(out, static_cast<long long>(font.heightTwips));
  for (bool b : {font.bold, font.italic, font.underline, font.strikeout}) Field(out, b ? "1" : "0");
  Field(out, static_cast<long long>(font.color));
}

// A font's seven fields from f[i] on.
bool DecodeFont(const std::vector<std::string_view>& f, std::size_t& i, Font& font) {
  return Unescape(f[i++], font.name) && Integer(f[i++], 1, 409 * 20, font.heightTwips) &&
         Flag(f[i++], font.bold) && Flag(f[i++], font.italic) && Flag(f[i++], font.underline) &&
         Flag(f[i++], font.strikeout) && Colour(f[i++], font.color);
}

// style fields after the record name.
constexpr std::size_t kStyleFields = 1 + 7 + 3 + 8 + 5;

bool DecodeStyle(const std::vector<std::string_view>& f, ClipStyle& s) {
  if (f.size() != 1 + kStyleFields) return false;
  std::size_t i = 1;
  if (!Unescape(f[i++], s.formatCode) || !DecodeFont(f, i, s.font)) return false;
  Style& st = s.style;
  if (!Integer<std::uint8_t>(f[i++], 0, 18, st.pattern) || !Colour(f[i++], st.patternFore) ||
      !Colour(f[i++], st.patternBack))
    return false;
  for (Border* b : {&st.left, &st.right, &st.top, &st.bottom}) {
    if (!DecodeBorder(f[i], f[i + 1], *b)) return false;
    i += 2;
  }
  std::uint8_t h = 0, v = 0;
  if (!Integer<std::uint8_t>(f[i++], 0, static_cast<std::uint8_t>(HAlign::CenterAcross), h) ||
      !Integer<std::uint8_t>(f[i++], 0, static_cast<std::uint8_t>(VAlign::Justify), v))
    return false;
  st.hAlign = static_cast<HAlign>(h);
  st.vAlign = static_cast<VAlign>(v);
  return Flag(f[i++], st.wrap) && Flag(f[i++], st.locked) && Flag(f[i++], st.hidden);
}

}  // namespace

std::string NewToken() {
  static std::atomic<unsigned long long> counter{0};
  const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
  return std::to_string(::getpid()) + "-" + std::to_string(now) + "-" + std::to_string(++counter);
}

std::string Encode(const ClipData& clip) {
  std::string out(kMagic);
  Field(out, clip.token);
  out += "\nblock";
  Field(out, static_cast<long long>(clip.rows));
  Field(out, static_cast<long long>(clip.cols));
  Field(out, static_cast<long long>(clip.row1));
  Field(out, static_cast<long long>(clip.col1));
  for (const ClipStyle& s : clip.styles) {
    out += "\nstyle";
    Field(out, s.formatCode);
    EncodeFont(out, s.font);
    const Style& st = s.style;
    Field(out, static_cast<long long>(st.pattern));
    Field(out, static_cast<long long>(st.patternFore));
    Field(out, static_cast<long long>(st.patternBack));
    for (const Border* b : {&st.left, &st.right, &st.top, &st.bottom}) EncodeBorder(out, *b);
    Field(out, static_cast<long long>(st.hAlign));
    Field(out, static_cast<long long>(st.vAlign));
    for (bool b : {st.wrap, st.locked, st.hidden}) Field(out, b ? "1" : "0");
  }
  for (const ClipCell& cell : clip.cells) {
    out += "\ncell";
    Field(out, static_cast<long long>(cell.r));
    Field(out, static_cast<long long>(cell.c));
    Field(out, static_cast<long long>(cell.style));
    Field(out, !cell.content ? "-" : cell.formula ? "F" : "V");
    EncodeValue(out, cell.value);
    Field(out, cell.formulaText);
    for (const ClipRun& run : cell.runs) {
      out += "\nrun";
      Field(out, static_cast<long long>(run.at));
      EncodeFont(out, run.font);
    }
  }
  out += '\n';
  return out;
}

std::string_view TokenOf(std::string_view text) {
  if (text.substr(0, kMagic.size()) != kMagic || text.size() <= kMagic.size() ||
      text[kMagic.size()] != '\t')
    return {};
  text.remove_prefix(kMagic.size() + 1);
  return text.substr(0, text.find('\n'));
}

std::shared_ptr<ClipData> Decode(std::string_view text) {
  const std::string_view token = TokenOf(text);
  if (token.empty()) return nullptr;
  auto clip = std::make_shared<ClipData>();
  clip->token = std::string(token);
  std::size_t at = text.find('\n');
  std::vector<std::string_view> f;
  bool haveBlock = false;
  long long lastKey = -1;
  while (at != std::string_view::npos && at + 1 < text.size()) {
    const std::size_t start = at + 1;
    at = text.find('\n', start);
    const std::string_view line =
        text.substr(start, at == std::string_view::npos ? at : at - start);
    if (line.empty()) continue;
    Split(line, f);
    if (f[0] == "block") {
      if (haveBlock || f.size() != 5 || !Integer(f[1], 1, kMaxRow, clip->rows) ||
          !Integer(f[2], 1, kMaxCol, clip->cols) ||
          !Integer(f[3], 1, kMaxRow - clip->rows + 1, clip->row1) ||
          !Integer(f[4], 1, kMaxCol - clip->cols + 1, clip->col1))
        return nullptr;
      haveBlock = true;
    } else if (f[0] == "style") {
      if (clip->styles.size() >= 65535) return nullptr;
      ClipStyle s;
      if (!DecodeStyle(f, s)) return nullptr;
      clip->styles.push_back(std::move(s));
    } else if (f[0] == "cell") {
      ClipCell cell;
      if (!haveBlock || f.size() != 8 || !Integer(f[1], 0, clip->rows - 1, cell.r) ||
          !Integer(f[2], 0, clip->cols - 1, cell.c) ||
          !Integer(f[3], -1, static_cast<int>(clip->styles.size()) - 1, cell.style) ||
          !DecodeValue(f[5], f[6], cell.value) || !Unescape(f[7], cell.formulaText))
        return nullptr;
      // Cells come in order, each once.
      const long long key = static_cast<long long>(cell.r) * clip->cols + cell.c;
      if (key <= lastKey) return nullptr;
      lastKey = key;
      if (f[4] == "F") {
        cell.content = cell.formula = true;
        if (cell.formulaText.empty()) return nullptr;
      } else if (f[4] == "V") {
        cell.content = true;
        if (cell.value.IsEmpty() || !cell.formulaText.empty()) return nullptr;
      } else if (f[4] != "-" || !cell.value.IsEmpty() || !cell.formulaText.empty()) {
        return nullptr;
      }
      clip->cells.push_back(std::move(cell));
    } else if (f[0] == "run") {
      // Runs of a text cell, in rising order inside its text.
      if (clip->cells.empty() || f.size() != 9) return nullptr;
      ClipCell& cell = clip->cells.back();
      if (cell.formula || cell.value.kind != ValueKind::Text) return nullptr;
      ClipRun run;
      std::size_t i = 2;
      const auto length = static_cast<std::uint32_t>(text_runs::Utf16Length(cell.value.text));
      if (!Integer<std::uint32_t>(f[1], 0, length == 0 ? 0 : length - 1, run.at) ||
          (!cell.runs.empty() && run.at <= cell.runs.back().at) || !DecodeFont(f, i, run.font) ||
          length == 0)
        return nullptr;
      cell.runs.push_back(std::move(run));
    } else {
      return nullptr;
    }
  }
  return haveBlock ? clip : nullptr;
}

}  // namespace engine::clip_cells
