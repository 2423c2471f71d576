// Writing a block of cells as an HTML table. Each run of a rich text becomes a <span> whose
// style names the whole font, wrapped in <b>, <i>, <u> and <s> as it is set, so that programs
// that read only the tags keep the emphasis and those that read styles keep everything.

#include <algorithm>
#include <cstdio>

#include "control/model/clipboard_html.h"
#include "control/model/text_runs.h"

namespace engine::clipboard_html {

namespace {

bool Blank(char ch) { return ch == ' ' || ch == '\t' || ch == '\r' || ch == '\n'; }

// text[from, to) escaped. A space that a browser would fold away (at the cell's edges, after a
// line break or another space) is written as a no-break space so that it shows.
void Escape(std::string& out, std::string_view text, std::size_t from, std::size_t to) {
  for (std::size_t i = from; i < to; ++i) {
    const char ch = text[i];
    switch (ch) {
      case '&':
        out += "&amp;";
        break;
      case '<':
        out += "&lt;";
        break;
      case '>':
        out += "&gt;";
        break;
      case '"':
        out += "&quot;";
        break;
      case '\r':
        if (i + 1 < text.size() && text[i + 1] == '\n') ++i;
        out += "<br>";
        break;
      case '\n':
        out += "<br>";
        break;
      case '\t':
        out += "&#9;";
        break;
      case ' ': {
        const bool folds =
            i == 0 || i + 1 == text.size() || Blank(text[i - 1]) || Blank(text[i + 1]);
        out += folds ? "&nbsp;" : " ";
        break;
      }
      default:
        out += ch;
    }
  }
}

// A font name inside a quoted CSS string inside a quoted attribute: characters that would end
// either are left out.
std::string CssName(const std::string& name) {
  std::string out;
  for (char ch : name) {
    if (ch == '\'' || ch == '"' || ch == ';' || ch == '\\' || ch == '<' || ch == '>' ||
        ch == '&' || static_cast<unsigned char>(ch) < 0x20)
      continue;
    out += ch;
  }
  return out;
}

void OpenRun(std::string& out, const Font& f) {
  char size[32];
  const int twips = std::max(0, f.heightTwips);
  if (twips % 20 == 0)
    std::snprintf(size, sizeof size, "%dpt", twips / 20);
  else
    std::snprintf(size, sizeof size, "%d.%02dpt", twips / 20, twips % 20 * 5);
  out += "<span style=\"font-family:'";
  out += CssName(f.name);
  out += "';font-size:";
  out += size;
  out += f.bold ? ";font-weight:bold" : ";font-weight:normal";
  out += f.italic ? ";font-style:italic" : ";font-style:normal";
  out += ";text-decoration:";
  if (f.underline && f.strikeout)
    out += "underline line-through";
  else if (f.underline)
    out += "underline";
  else if (f.strikeout)
    out += "line-through";
  else
    out += "none";
  if (f.color != kAutoColor) {
    char hex[16];
    std::snprintf(hex, sizeof hex, ";color:#%02x%02x%02x", f.color & 0xFF, (f.color >> 8) & 0xFF,
                  (f.color >> 16) & 0xFF);
    out += hex;
  }
  out += "\">";
  if (f.bold) out += "<b>";
  if (f.italic) out += "<i>";
  if (f.underline) out += "<u>";
  if (f.strikeout) out += "<s>";
}

void CloseRun(std::string& out, const Font& f) {
  if (f.strikeout) out += "</s>";
  if (f.underline) out += "</u>";
  if (f.italic) out += "</i>";
  if (f.bold) out += "</b>";
  out += "</span>";
}

void WriteField(std::string& out, const RichField& field) {
  const std::string_view text = field.text;
  std::size_t done = 0;
  for (std::size_t k = 0; k < field.runs.size(); ++k) {
    const std::size_t from = std::max(done, text_runs::Utf8Offset(text, field.runs[k].at));
    const std::size_t to = k + 1 < field.runs.size()
                               ? std::max(from, text_runs::Utf8Offset(text, field.runs[k + 1].at))
                               : text.size();
    Escape(out, text, done, from);
    if (to > from) {
      OpenRun(out, field.runs[k].font);
      Escape(out, text, from, to);
      CloseRun(out, field.runs[k].font);
    }
    done = to;
  }
  Escape(out, text, done, text.size());
}

}  // namespace

std::string Table(const std::vector<std::vector<RichField>>& rows) {
  std::string out = "<html><head><meta charset=\"utf-8\"></head><body><table>\n";
  for (const auto& row : rows) {
    out += "<tr>";
    for (const RichField& field : row) {
      out += "<td>";
      WriteField(out, field);
      out += "</td>";
    }
    out += "</tr>\n";
  }
  out += "</table></body></html>\n";
  return out;
}

}  // namespace engine::clipboard_html
