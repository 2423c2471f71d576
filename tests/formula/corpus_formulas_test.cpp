// Formulas of workbooks from the wild: every one that the reader hands over compiles or is
// kept as text, recalculates, and survives a row inserted and deleted without a crash, and its
// text reads the same afterwards.
#include <filesystem>

#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

TEST(CorpusFormulas, WildWorkbooksRecalculateAndSurviveStructureChanges) {
  std::filesystem::path dir = std::filesystem::path(DT_CORPUS_DIR) / "real-xls";
  ASSERT_TRUE(std::filesystem::exists(dir));
  int read = 0, formulas = 0;
  for (const auto& entry : std::filesystem::directory_iterator(dir)) {
    if (entry.path().extension() != ".xls") continue;
    if (entry.file_size() > 4'000'000) continue;  // the large ones test the reader, not us
    Control ctl;
    short type = 0;
    try {
      ctl.ReadFile(entry.path().string(), type);
    } catch (const EngineError&) {
      continue;  // refused by the reader: not ours to judge
    }
    ++read;
    SCOPED_TRACE(entry.path().filename().string());
    ctl.Recalculate();
    for (int s = 1; s <= ctl.GetNumSheets(); ++s) {
      ctl.SetActiveSheet(s);
      int lastRow = std::min(ctl.GetLastRow(), 2000), lastCol = ctl.GetLastCol();
      std::vector<std::pair<std::pair<int, int>, std::string>> texts;
      for (int r = 1; r <= lastRow; ++r)
        for (int c = 1; c <= lastCol; ++c) {
          std::string f = ctl.GetCellFormula(r, c);
          if (f.empty()) continue;
          ++formulas;
          texts.push_back({{r, c}, f});
        }
      if (texts.empty() || ctl.GetLastRow() >= kMaxRow) continue;
      ctl.InsertRange(1, -1, 1, -1, kShiftRows);
      ctl.DeleteRange(1, -1, 1, -1, kShiftRows);
      for (const auto& [at, text] : texts)
        EXPECT_EQ(ctl.GetCellFormula(at.first, at.second), text)
            << "sheet " << s << " cell " << at.first << "," << at.second;
    }
  }
  EXPECT_GT(read, 100);
  EXPECT_GT(formulas, 100);
}

}  // namespace
}  // namespace engine::formula::testing
