#include <vector>

#include "control/format/typed_entry.h"
#include "control/formula/formula_engine.h"
#include "control/text/text_file.h"

namespace engine::text {

namespace {

bool NeedsQuotes(const std::string& s, char separator) {
  return s.find_first_of("\"\r\n") != std::string::npos || s.find(separator) != std::string::npos;
}

void AppendField(std::string& out, const std::string& s, char separator) {
  if (!NeedsQuotes(s, separator)) {
    out += s;
    return;
  }
  out.push_back('"');
  for (char c : s) {
    if (c == '"') out.push_back('"');
    out.push_back(c);
  }
  out.push_back('"');
}

// Text that typed entry would read back as something other than this text (007, 3.10, 1/2,
// TRUE, =x, 'x) is written as a text formula ="…".
std::string TextField(const Workbook& book, const std::string& s) {
  bool safe = !s.empty() && s[0] != '=' && s[0] != '\'' && s[0] != '"';
  if (safe) {
    format::TypedEntry e = format::InterpretTyped(s, book.Locale(), book.Date1904());
    safe = e.value.IsText() && e.value.text == s && e.formatCode.empty();
  }
  if (safe || s.empty()) return s;
  std::string f = "=\"";
  for (char c : s) {
    if (c == '"') f.push_back('"');
    f.push_back(c);
  }
  f.push_back('"');
  return f;
}

}  // namespace

std::string WriteText(Workbook& book, char separator) {
  const Sheet& sheet = book.Active();
  int lastRow = sheet.LastRow(), lastCol = sheet.LastCol();
  std::string out;
  for (int row = 1; row <= lastRow; ++row) {
    int end = 0;
    for (int col = lastCol; col >= 1; --col) {
      const CellSlot* s = sheet.Find(row, col);
      if (s && s->HasContent()) {
        end = col;
        break;
      }
    }
    for (int col = 1; col <= end; ++col) {
      if (col > 1) out.push_back(separator);
      const CellSlot* s = sheet.Find(row, col);
      if (!s || !s->HasContent()) continue;
      std::string field;
      if (s->kind == CellKind::Formula) {
        field = "=" + book.Formulas().Text(sheet, row, col, sheet.Formula(*s));
      } else if (s->kind == CellKind::Text) {
        field = TextField(book, sheet.Text(*s));
      } else {
        field = book.DisplayText(sheet, row, col);
      }
      AppendField(out, field, separator);
    }
    out += "\r\n";
  }
  return out;
}

}  // namespace engine::text
