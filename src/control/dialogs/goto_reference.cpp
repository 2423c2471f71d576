// Go To: a reference in A1 form, optionally on a sheet, or a defined name.
#include <cctype>
#include <optional>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/dialogs/edit_dialogs.h"

namespace engine {

namespace {

struct Area {
  int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
};

std::string Trim(const std::string& s) {
  const auto b = s.find_first_not_of(" \t");
  if (b == std::string::npos) return {};
  const auto e = s.find_last_not_of(" \t");
  return s.substr(b, e - b + 1);
}

bool EqualNoCase(const std::string& a, const std::string& b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) !=
        std::tolower(static_cast<unsigned char>(b[i])))
      return false;
  return true;
}

// One end of a reference: column letters and/or row digits, each optionally after "$".
// want: 0 a cell, 1 a column, 2 a row.
bool ParseEnd(const std::string& s, int want, int& row, int& col) {
  std::size_t i = 0;
  row = col = 0;
  if (want != 2) {
    if (i < s.size() && s[i] == '$') ++i;
    const std::size_t from = i;
    while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i])) && i - from < 3) {
      col = col * 26 + (std::toupper(static_cast<unsigned char>(s[i])) - 'A' + 1);
      ++i;
    }
    if (i == from || col > kMaxCol) return false;
  }
  if (want != 1) {
    if (i < s.size() && s[i] == '$') ++i;
    const std::size_t from = i;
    long r = 0;
    while (i < s.size() && std::isdigit(static_cast<unsigned char>(s[i])) && i - from < 6) {
      r = r * 10 + (s[i] - '0');
      ++i;
    }
    if (i == from || r < 1 || r > kMaxRow) return false;
    row = static_cast<int>(r);
  }
  return i == s.size();
}

// "B7", "A1:C4", "C:E", "3:9" (with "$" anywhere allowed).
std::optional<Area> ParseArea(const std::string& text) {
  const auto colon = text.find(':');
  const std::string a = text.substr(0, colon);
  const std::string b = colon == std::string::npos ? a : text.substr(colon + 1);
  Area area;
  for (int want = 0; want < 3; ++want) {
    if (want != 0 && colon == std::string::npos) break;
    if (!ParseEnd(a, want, area.r1, area.c1) || !ParseEnd(b, want, area.r2, area.c2)) continue;
    if (want == 1) area.r1 = 1, area.r2 = kMaxRow;
    if (want == 2) area.c1 = 1, area.c2 = kMaxCol;
    if (area.r1 > area.r2) std::swap(area.r1, area.r2);
    if (area.c1 > area.c2) std::swap(area.c1, area.c2);
    return area;
  }
  return std::nullopt;
}

// Splits "Sheet!ref" / "'My sheet'!ref" into its sheet name and reference.
bool SplitSheet(const std::string& text, std::string& sheet, std::string& ref) {
  sheet.clear();
  ref = text;
  if (text.empty()) return true;
  if (text[0] == '\'') {
    std::size_t i = 1;
    while (i < text.size()) {
      if (text[i] == '\'') {
        if (i + 1 < text.size() && text[i + 1] == '\'') {
          sheet += '\'';
          i += 2;
          continue;
        }
        break;
      }
      sheet += text[i++];
    }
    if (i + 1 >= text.size() || text[i] != '\'' || text[i + 1] != '!') return false;
    ref = text.substr(i + 2);
    return true;
  }
  const auto bang = text.rfind('!');
  if (bang == std::string::npos) return true;
  sheet = text.substr(0, bang);
  ref = text.substr(bang + 1);
  return !sheet.empty();
}

int FindSheet(const Control& c, const std::string& name) {
  for (int s = 1; s <= c.GetNumSheets(); ++s)
    if (EqualNoCase(c.GetSheetName(s), name)) return s;
  return 0;
}

// Resolves text without names; sheet 0 when not found.
bool Resolve(const Control& c, const std::string& text, int& sheet, Area& area,
             std::string& error) {
  std::string sheetName, ref;
  if (!SplitSheet(text, sheetName, ref)) {
    error = "\"" + text + "\" is not a valid reference.";
    return false;
  }
  sheet = c.GetActiveSheet();
  if (!sheetName.empty()) {
    sheet = FindSheet(c, sheetName);
    if (sheet == 0) {
      error = "There is no sheet named \"" + sheetName + "\".";
      return false;
    }
  }
  const auto parsed = ParseArea(ref);
  if (!parsed) {
    error = "\"" + text + "\" is not a valid reference or name.";
    return false;
  }
  area = *parsed;
  return true;
}

}  // namespace

bool GotoReference(Control& control, const std::string& input, std::string& error) {
  error.clear();
  const std::string text = Trim(input);
  if (text.empty()) {
    error = "Enter a cell reference or a name.";
    return false;
  }
  int sheet = 0;
  Area area;
  std::string refError;
  if (!Resolve(control, text, sheet, area, refError)) {
    // Not a reference: a defined name that refers to a range.
    std::string formula = text.find('!') == std::string::npos ? control.GetDefinedName(text) : "";
    if (!formula.empty() && formula[0] == '=') formula.erase(0, 1);
    if (formula.empty()) {
      error = refError;
      return false;
    }
    std::string nameError;
    if (!Resolve(control, Trim(formula), sheet, area, nameError)) {
      error = "The name \"" + text + "\" does not refer to a range of cells.";
      return false;
    }
  }
  if (sheet != control.GetActiveSheet()) control.SetActiveSheet(sheet);
  control.SetSelection(area.r1, area.c1, area.r2, area.c2);
  control.ShowActiveCell();
  return true;
}

}  // namespace engine
