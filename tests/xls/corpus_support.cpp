#include "corpus_support.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "control/io/code_page.h"
#include "support/table_json.h"

namespace corpus {

void Trim(std::vector<std::vector<std::string>>& rows) {
  for (auto& r : rows)
    while (!r.empty() && r.back().empty()) r.pop_back();
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
}

std::vector<ExpectedSheet> ReadExpected(const fs::path& path) {
  std::string error;
  std::optional<JsonTable> table = ReadTableJson(path.string(), error);
  if (!table) {
    ADD_FAILURE() << error;
    return {};
  }
  std::vector<ExpectedSheet> out;
  for (JsonSheet& sheet : table->sheets) {
    Trim(sheet.rows);
    out.push_back(ExpectedSheet{std::move(sheet.name), std::move(sheet.rows)});
  }
  return out;
}

std::vector<ExpectedSheet> Displayed(engine::Control& control) {
  std::vector<ExpectedSheet> out;
  int active = control.GetActiveSheet();
  for (int s = 1; s <= control.GetNumSheets(); ++s) {
    control.SetActiveSheet(s);
    ExpectedSheet sheet;
    sheet.name = control.GetSheetName(s);
    int rows = control.GetLastRow(), cols = control.GetLastCol();
    for (int r = 1; r <= rows; ++r) {
      std::vector<std::string> row;
      for (int c = 1; c <= cols; ++c) row.push_back(control.GetCellFormattedText(r, c));
      sheet.rows.push_back(std::move(row));
    }
    Trim(sheet.rows);
    out.push_back(std::move(sheet));
  }
  control.SetActiveSheet(active);
  return out;
}

}  // namespace corpus
