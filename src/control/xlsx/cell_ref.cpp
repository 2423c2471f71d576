#include "control/xlsx/cell_ref.h"

namespace engine::xlsx {

namespace {

// `atEnd(p)` tells whether p is past the reference's last character.
template <typename AtEnd>
bool DecodeCellRef(const char* p, AtEnd atEnd, int& row, int& col) {
  if (!atEnd(p) && *p == '$') ++p;
  long c = 0;
  std::size_t letters = 0;
  for (; !atEnd(p) && letters < 4; ++p, ++letters) {
    char ch = *p;
    if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    if (ch < 'A' || ch > 'Z') break;
    c = c * 26 + (ch - 'A' + 1);
  }
  if (letters == 0) return false;
  if (!atEnd(p) && *p == '$') ++p;
  long r = 0;
  std::size_t digits = 0;
  for (; !atEnd(p) && digits < 8; ++p, ++digits) {
    if (*p < '0' || *p > '9') return false;
    r = r * 10 + (*p - '0');
  }
  if (digits == 0 || !atEnd(p) || r == 0) return false;
  row = static_cast<int>(r);
  col = static_cast<int>(c);
  return true;
}

}  // namespace

bool ParseCellRef(std::string_view text, int& row, int& col) {
  const char* end = text.data() + text.size();
  return DecodeCellRef(
      text.data(), [end](const char* p) { return p == end; }, row, col);
}

bool ParseCellRef(const char* text, int& row, int& col) {
  return DecodeCellRef(
      text, [](const char* p) { return *p == '\0'; }, row, col);
}

bool ParseRangeRef(std::string_view text, int& row1, int& col1, int& row2, int& col2) {
  std::size_t colon = text.find(':');
  if (colon == std::string_view::npos) {
    if (!ParseCellRef(text, row1, col1)) return false;
    row2 = row1;
    col2 = col1;
    return true;
  }
  return ParseCellRef(text.substr(0, colon), row1, col1) &&
         ParseCellRef(text.substr(colon + 1), row2, col2);
}

std::string ColumnName(int col) {
  std::string s;
  for (; col > 0; col = (col - 1) / 26) s.insert(s.begin(), static_cast<char>('A' + (col - 1) % 26));
  return s;
}

std::string CellName(int row, int col) { return ColumnName(col) + std::to_string(row); }

}  // namespace engine::xlsx
