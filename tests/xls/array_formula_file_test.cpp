// Array formulas through .xls files: each cell of a block points at the block's first cell,
// whose ARRAY record holds the formula; both forms read back the same block.
#include <unistd.h>

#include <filesystem>

#include "control/control.h"
#include "control/engine_error.h"
#include "corpus_support.h"

namespace {

namespace fs = std::filesystem;
using engine::Control;
using engine::EngineError;

class ArrayFormulaFile : public ::testing::Test {
 protected:
  void SetUp() override {
    dir_ = fs::temp_directory_path() / ("xls_arrays_" + std::to_string(getpid()));
    fs::create_directories(dir_);
  }
  void TearDown() override { fs::remove_all(dir_); }
  std::string Path(const std::string& name) const { return (dir_ / name).string(); }
  fs::path dir_;
};

TEST_F(ArrayFormulaFile, BothFormsKeepSingleCellsAndBlocks) {
  for (short form : {short(11), short(4)}) {
    SCOPED_TRACE(form);
    Control c;
    for (int r = 1; r <= 3; ++r) {
      c.SetCellText(r, 1, std::to_string(r));
      c.SetCellText(r, 2, std::to_string(r * 10));
    }
    c.SetArrayFormula(6, 1, 6, 1, "=SUM((A1:A3>1)*B1:B3)");
    c.SetArrayFormula(1, 4, 4, 5, "=A1:A3*$B$1:B3");
    c.SetCellText(7, 1, "=A6+1");  // an ordinary formula stays ordinary
    const std::string path = Path(form == 11 ? "a8.xls" : "a5.xls");
    c.WriteFile(path, form);

    Control r;
    short type = 0;
    r.ReadFile(path, type);
    EXPECT_EQ(r.GetCellText(6, 1), "{=SUM((A1:A3>1)*B1:B3)}");
    EXPECT_EQ(r.GetCellText(7, 1), "=A6+1");
    for (int row = 1; row <= 4; ++row)
      for (int col = 4; col <= 5; ++col) {
        EXPECT_EQ(r.GetCellText(row, col), "{=A1:A3*$B$1:B3}") << row << "," << col;
        EXPECT_EQ(r.GetCellFormattedText(row, col), c.GetCellFormattedText(row, col));
      }
    EXPECT_EQ(r.GetCellFormattedText(6, 1), "50");
    EXPECT_EQ(r.GetCellFormattedText(4, 4), "#N/A");
    // The block read back is one block: calculated and protected as one.
    r.SetCellText(3, 1, "0");
    EXPECT_EQ(r.GetCellFormattedText(3, 5), "0");
    EXPECT_EQ(r.GetCellFormattedText(6, 1), "20");
    try {
      r.SetCellText(2, 5, "1");
      ADD_FAILURE() << "part of a block read from a file was changed";
    } catch (const EngineError& e) {
      EXPECT_EQ(e.Code(), engine::kErrArrayPart);
    }
    r.ClearRange(1, 4, 4, 5, engine::kClearValues);
    EXPECT_EQ(r.GetCellText(2, 5), "");
  }
}

}  // namespace
