// Workbooks from the wild (other tools' test suites, damaged and hostile files) open or are
// refused with a readable error; nothing crashes, hangs or leaks.
#include <chrono>

#include "corpus_support.h"

namespace {

TEST(WildCorpus, EveryFileOpensOrIsRefusedClearly) {
  auto files = corpus::Files("real-xls", ".xls");
  ASSERT_GE(files.size(), 100u) << "real-xls workbooks missing";
  int opened = 0, refused = 0;
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    engine::Control control;
    control.SetCellText(1, 1, "before");
    short type = 0;
    auto start = std::chrono::steady_clock::now();
    try {
      control.ReadFile(file.string(), type);
      ++opened;
      EXPECT_TRUE(type == 4 || type == 11 || type == 3) << type;
      // The table it shows can be displayed and written again.
      for (int s = 1; s <= control.GetNumSheets(); ++s) {
        control.SetActiveSheet(s);
        int rows = std::min(control.GetLastRow(), 200), cols = control.GetLastCol();
        for (int r = 1; r <= rows; ++r)
          for (int c = 1; c <= cols; ++c) control.GetCellFormattedText(r, c);
      }
      void* blob = nullptr;
      control.WriteToBlob(&blob, 0);
      engine::Control again;
      again.ReadFromBlob(blob, 0);
      std::free(blob);
      EXPECT_EQ(again.GetNumSheets(), control.GetNumSheets());
    } catch (const engine::EngineError& e) {
      ++refused;
      EXPECT_FALSE(e.Description().empty());
      // A failed read leaves the table as it was.
      EXPECT_EQ(control.GetCellText(1, 1), "before");
    }
    auto seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    EXPECT_LT(seconds, 60.0) << "reading took too long (a hang?)";
  }
  RecordProperty("opened", opened);
  RecordProperty("refused", refused);
  EXPECT_GT(opened, static_cast<int>(files.size()) / 2);
}

}  // namespace
