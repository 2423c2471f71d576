// Column headings, widths, hidden rows and columns, defined names, extent, cell references.
#include <algorithm>
#include <utility>

#include "control/control.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

namespace {
std::string ColumnLetters(int col) {
  std::string s;
  for (int c = col; c > 0; c = (c - 1) / 26) s.insert(s.begin(), char('A' + (c - 1) % 26));
  return s;
}

bool ValidDefinedName(const std::string& name) {
  if (name.empty() || name.size() > 255) return false;
  unsigned char first = static_cast<unsigned char>(name[0]);
  if (!(std::isalpha(first) || first == '_' || first == '\\' || first >= 0x80)) return false;
  for (unsigned char ch : name)
    if (!(std::isalnum(ch) || ch == '_' || ch == '.' || ch == '\\' || ch == '?' || ch >= 0x80))
      return false;
  // Not a cell reference such as A1 or IV65536, and not R/C alone.
  std::size_t i = 0;
  while (i < name.size() && std::isalpha(static_cast<unsigned char>(name[i]))) ++i;
  std::size_t letters = i;
  while (i < name.size() && std::isdigit(static_cast<unsigned char>(name[i]))) ++i;
  if (i == name.size() && letters >= 1 && letters <= 3 && i > letters) return false;
  if (name == "R" || name == "r" || name == "C" || name == "c") return false;
  return true;
}
}  // namespace

std::string Control::GetColumnHeadingText(int col) const {
  if (col < 1 || col > kMaxCol) return {};
  return ActiveSheet().ColAttr(col).heading;
}

const std::string& Control::GetColumnHeading(int col) const {
  static const std::string kNone;
  if (col < 1 || col > kMaxCol) return kNone;
  return ActiveSheet().ColAttr(col).heading;
}

void Control::SetColumnHeadingText(int col, const std::string& text) {
  CheckCell(1, col);
  Sheet& sheet = ActiveSheet();
  if (sheet.ColAttr(col).heading == text) return;
  ModifyScope scope(*this);
  sheet.ColAttr(col).heading = text;
  sheet.Changed();
  scope.Changed();
}

void Control::SetDefinedName(const std::string& name, const std::string& formula) {
  if (!ValidDefinedName(name))
    throw EngineError(kErrBadName, "\"" + name + "\" is not a valid name.");
  std::string text = formula;
  if (!text.empty() && text[0] == '=') text.erase(0, 1);
  if (text.empty()) throw EngineError(kErrBadArgument, "A name must refer to something.");
  std::uint32_t scopeId = ActiveSheet().Id();
  DefinedName entry;
  entry.name = name;
  entry.sheetId = scopeId;
  book_->Formulas().CompileName(scopeId, text, entry.formula, entry.expr);
  ModifyScope scope(*this);
  auto& names = book_->Names();
  auto it = std::find_if(names.begin(), names.end(), [&](const DefinedName& n) {
    return n.sheetId == scopeId && n.name.size() == name.size() &&
           std::equal(n.name.begin(), n.name.end(), name.begin(), [](char a, char b) {
             return std::tolower(static_cast<unsigned char>(a)) ==
                    std::tolower(static_cast<unsigned char>(b));
           });
  });
  if (it != names.end())
    *it = std::move(entry);
  else
    names.push_back(std::move(entry));
  book_->Formulas().NamesChanged();
  scope.Changed();
}

std::string Control::GetDefinedName(const std::string& name) const {
  const DefinedName* n = book_->FindName(name, ActiveSheet().Id());
  return n ? n->formula : std::string();
}

void Control::DeleteDefinedName(const std::string& name) {
  const DefinedName* n = book_->FindName(name, ActiveSheet().Id());
  if (!n) return;
  ModifyScope scope(*this);
  auto& names = book_->Names();
  names.erase(names.begin() + (n - names.data()));
  book_->Formulas().NamesChanged();
  scope.Changed();
}

std::string Control::FormatCellRef(int row, int col, bool absolute) const {
  CheckCell(row, col);
  std::string r = absolute ? "$" : "";
  return r + ColumnLetters(col) + r + std::to_string(row);
}

bool Control::GetColumnHidden(int col) const {
  CheckCell(1, col);
  return ActiveSheet().ColAttr(col).hidden;
}

void Control::SetColumnHidden(int col, bool hidden) {
  CheckCell(1, col);
  ActiveSheet().ColAttr(col).hidden = hidden;
  NotifySheetChanged();
}

bool Control::GetRowHidden(int row) const {
  CheckCell(row, 1);
  return ActiveSheet().GetRowAttr(row).hidden;
}

int Control::GetRowHeight(int row) const {
  CheckCell(row, 1);
  return ActiveSheet().GetRowAttr(row).heightTwips;
}

int Control::GetDefaultRowHeight() const { return ActiveSheet().Features().defaultRowHeight; }

void Control::SetRowsHidden(int row1, int row2, bool hidden) {
  int c1 = 1, c2 = 1;
  CheckRange(row1, c1, row2, c2);
  Sheet& sheet = ActiveSheet();
  if (!hidden) row2 = std::min(row2, sheet.RowAttrCount());
  for (int r = row1; r <= row2; ++r) sheet.MutableRowAttr(r).hidden = hidden;
  NotifySheetChanged();
}

int Control::GetColumnWidth(int col) const {
  CheckCell(1, col);
  return ActiveSheet().ColAttr(col).width;
}

void Control::SetColumnWidth(int col, int width) {
  CheckCell(1, col);
  if (width < 0 || width > 255 * 256)
    throw EngineError(kErrBadArgument, "Invalid column width " + std::to_string(width) + ".");
  ActiveSheet().ColAttr(col).width = width;
  NotifySheetChanged();
}

void Control::AutoFitColumns(int row1, int col1, int row2, int col2, bool /*fitBlank*/) {
  CheckRange(row1, col1, row2, col2);
  Sheet& sheet = ActiveSheet();
  bool wholeHeight = row1 == 1 && row2 == kMaxRow;
  for (int c = col1; c <= col2; ++c) {
    int chars = 0;
    if (wholeHeight) {
      chars = sheet.WidestEntry(c);
    } else {
      int last = std::min(row2, sheet.Col(c).LastUsedRow());
      for (int r = row1; r <= last; ++r) {
        const CellSlot* s = sheet.Find(r, c);
        if (!s || !s->HasContent()) continue;
        std::string shown = book_->DisplayText(sheet, r, c);
        int n = 0;
        for (unsigned char ch : shown) n += (ch & 0xC0) != 0x80;
        chars = std::max(chars, n);
      }
    }
    // Read through the const sheet: only a changed width is written, so that fitting a column
    // after each entry leaves the heading stamp alone.
    const ColumnAttr& attr = std::as_const(sheet).ColAttr(c);
    int heading = 0;
    for (unsigned char ch : attr.heading) heading += (ch & 0xC0) != 0x80;
    chars = std::max(chars, heading);
    const int width = std::clamp((chars + 1) * 256, kDefaultColumnWidth, 255 * 256);
    if (attr.width != width) sheet.ColAttr(c).width = width;
  }
  NotifySheetChanged();
}

int Control::GetLastRow() const { return book_->Active().LastRow(); }
int Control::GetLastCol() const { return book_->Active().LastCol(); }

}  // namespace engine
