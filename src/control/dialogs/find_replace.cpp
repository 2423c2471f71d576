// Find and Replace over the used area of the active sheet.
#include <algorithm>
#include <cctype>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/dialogs/edit_dialogs.h"
#include "control/model/value.h"

namespace engine {

namespace {

std::string Lower(std::string s) {
  for (char& ch : s) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
  return s;
}

// Where `what` occurs in `text` from `from` on, as the options compare; npos when nowhere.
std::size_t Locate(const std::string& text, const std::string& what, const FindOptions& o,
                   std::size_t from = 0) {
  if (what.empty()) return std::string::npos;
  const std::string hay = o.matchCase ? text : Lower(text);
  const std::string needle = o.matchCase ? what : Lower(what);
  if (o.wholeCell) return from == 0 && hay == needle ? 0 : std::string::npos;
  return hay.find(needle, from);
}

bool IsFormula(const Control& c, int row, int col) { return !c.GetCellFormula(row, col).empty(); }

// The text Find looks at.
std::string SearchText(const Control& c, int row, int col, const FindOptions& o) {
  return o.inFormulas ? c.GetCellText(row, col) : c.GetCellFormattedText(row, col);
}

// The text Replace edits, and whether the cell takes part at all: a formula only in formulas;
// a text cell by its text, anything else by its entry text.
bool ReplaceText(const Control& c, int row, int col, const FindOptions& o, std::string& out) {
  if (IsFormula(c, row, col)) {
    if (!o.inFormulas) return false;
    out = c.GetCellText(row, col);
    return true;
  }
  const Value v = c.GetCellValue(row, col);
  if (v.IsEmpty()) return false;
  out = v.IsText() ? v.text : c.GetCellText(row, col);
  return true;
}

// Every occurrence replaced; false when there is none.
bool Substitute(std::string& text, const FindOptions& o, const std::string& with) {
  if (o.wholeCell) {
    if (Locate(text, o.text, o) == std::string::npos) return false;
    text = with;
    return true;
  }
  bool any = false;
  std::size_t at = 0;
  while ((at = Locate(text, o.text, o, at)) != std::string::npos) {
    text.replace(at, o.text.size(), with);
    at += with.size();
    any = true;
  }
  return any;
}

// Writes the edited text back the way it was read.
void Store(Control& c, int row, int col, const std::string& text) {
  if (!IsFormula(c, row, col) && c.GetCellValue(row, col).IsText())
    c.SetCellEntry(row, col, text);
  else
    c.SetCellText(row, col, text);
}

// The used area's cells in search order, starting after (row, col).
template <typename Visit>
bool Walk(const Control& c, int row, int col, bool byColumns, bool previous, Visit visit) {
  const int rows = c.GetLastRow(), cols = c.GetLastCol();
  if (rows < 1 || cols < 1) return false;
  const long total = static_cast<long>(rows) * cols;
  // The position of (row, col) in the order, clamped into the used area.
  const int r = std::clamp(row, 1, rows) - 1, k = std::clamp(col, 1, cols) - 1;
  const long start = byColumns ? static_cast<long>(k) * rows + r : static_cast<long>(r) * cols + k;
  for (long step = 1; step <= total; ++step) {
    long pos = previous ? (start - step) % total : (start + step) % total;
    if (pos < 0) pos += total;
    const int rr = static_cast<int>(byColumns ? pos % rows : pos / cols) + 1;
    const int cc = static_cast<int>(byColumns ? pos / rows : pos % cols) + 1;
    if (visit(rr, cc)) return true;
  }
  return false;
}

}  // namespace

bool FindNext(Control& control, const FindOptions& options, bool previous) {
  if (options.text.empty()) return false;
  int row = 1, col = 1;
  control.GetActiveCell(row, col);
  int foundRow = 0, foundCol = 0;
  const bool found = Walk(control, row, col, options.byColumns, previous, [&](int r, int c) {
    if (control.GetCellType(r, c) == kTypeEmpty && !IsFormula(control, r, c)) return false;
    if (Locate(SearchText(control, r, c, options), options.text, options) == std::string::npos)
      return false;
    foundRow = r;
    foundCol = c;
    return true;
  });
  if (!found) return false;
  control.SetSelection(foundRow, foundCol, foundRow, foundCol);
  control.ShowActiveCell();
  return true;
}

bool ReplaceCurrent(Control& control, const FindOptions& options, const std::string& with) {
  if (options.text.empty()) return false;
  int row = 1, col = 1;
  control.GetActiveCell(row, col);
  std::string text;
  bool changed = false;
  if (ReplaceText(control, row, col, options, text) && Substitute(text, options, with)) {
    Store(control, row, col, text);
    changed = true;
  }
  FindNext(control, options);
  return changed;
}

int ReplaceAll(Control& control, const FindOptions& options, const std::string& with) {
  if (options.text.empty()) return 0;
  int count = 0;
  ModifyScope scope(control);
  const int rows = control.GetLastRow(), cols = control.GetLastCol();
  for (int r = 1; r <= rows; ++r)
    for (int c = 1; c <= cols; ++c) {
      std::string text;
      if (!ReplaceText(control, r, c, options, text) || !Substitute(text, options, with)) continue;
      // A formula the replacement breaks keeps its old text; the others still change.
      try {
        Store(control, r, c, text);
      } catch (const EngineError&) {
        continue;
      }
      ++count;
    }
  if (count > 0) scope.Changed();
  return count;
}

}  // namespace engine
