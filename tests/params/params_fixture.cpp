#include "params_fixture.h"

void ParamsTest::MakeSheet(const std::vector<std::string>& names, int rows) {
  for (std::size_t i = 0; i < names.size(); ++i) {
    int c = static_cast<int>(i + 1);
    E().SetColumnHeadingText(c, names[i]);
    for (int r = 1; r <= rows; ++r) E().SetCellText(r, c, Cell(r, c));
  }
}

void ParamsTest::EnsureSheets(int count) {
  while (T().GetNumSheets() < count) T().AppendSheets(1);
}
