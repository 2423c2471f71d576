// The user's close request: the save question, re-reading on No, and what the close option
// decides.

#include <filesystem>
#include <unistd.h>

#include "table_fixture.h"

namespace fs = std::filesystem;

class CloseTest : public TableTest {
 protected:
  void SetUp() override {
    TableTest::SetUp();
    dir_ = fs::temp_directory_path() / ("dt_close_" + std::to_string(::getpid()) + "_" +
                                        ::testing::UnitTest::GetInstance()->current_test_info()->name());
    fs::create_directories(dir_);
    T().RegisterNotify(&sink_);
  }
  void TearDown() override {
    TableTest::TearDown();
    std::error_code ec;
    fs::remove_all(dir_, ec);
  }
  CString Value(long row, const char* name) {
    CString value = "<none>";
    T().GetArgValue(row, name, value, 0);
    return value;
  }
  fs::path dir_;
};

TEST_F(CloseTest, YesWithSaveCancelledKeepsWindowAndChanges) {
  FillSheet(1, 1);
  T().ViewSetCloseOption(1);
  Boxes().QueueAnswer(platform::IDYES);  // the question; the Save As dialog is cancelled
  F().RequestClose();
  EXPECT_TRUE(F().IsWindow());
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(sink_.Count("OnClose()"), 0);
}

TEST_F(CloseTest, YesWithFailedSaveKeepsTheTableInsteadOfDestroyingIt) {
  FillSheet(1, 1);
  T().SetFile("/nonexistent-dir/sub/table.xls");
  T().ViewSetCloseOption(1);
  Boxes().QueueAnswer(platform::IDYES);
  F().RequestClose();
  EXPECT_TRUE(F().IsWindow());
  EXPECT_EQ(T().GetDirtyBit(), 1);
  EXPECT_EQ(Value(1, "P1"), "1:1");
  EXPECT_EQ(sink_.Count("OnClose()"), 0);
  EXPECT_GE(Boxes().Shown().size(), 2u);  // the question and the failure
}

TEST_F(CloseTest, YesSavesThenTheCloseOptionDecides) {
  FillSheet(2, 2);
  const CString path = (dir_ / "saved.xls").string();
  T().SetFile(path);
  Boxes().QueueAnswer(platform::IDYES);
  F().RequestClose();
  EXPECT_TRUE(fs::exists(path));
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(sink_.Count("OnViewClose()"), 1);
  EXPECT_EQ(Profile().GetInt("Data Table", "Show", -1), 0);
  EXPECT_TRUE(F().IsWindow());
}

TEST_F(CloseTest, NoReReadsTheFileAndDropsTheChanges) {
  FillSheet(1, 2);
  const CString path = (dir_ / "kept.xls").string();
  ASSERT_EQ(T().Save(path, 1, CZAT::FILE_TYPE_EXCEL97, 0), 0);
  ASSERT_EQ(T().AddArgValue(1, "P1", "edited", 0, nullptr), 0);
  ASSERT_EQ(T().GetDirtyBit(), 1);
  Boxes().QueueAnswer(platform::IDNO);
  F().RequestClose();
  EXPECT_EQ(Value(1, "P1"), "1:1");
  EXPECT_EQ(T().GetDirtyBit(), 0);
  EXPECT_EQ(sink_.Count("OnViewClose()"), 1);
  CString file;
  T().GetFileName(file);
  EXPECT_EQ(file, path);
}

TEST_F(CloseTest, CleanTableClosesWithoutAsking) {
  FillSheet(1, 1);
  T().ResetDirtyBit();
  T().ViewOpen();
  F().RequestClose();
  EXPECT_TRUE(Boxes().Shown().empty());
  EXPECT_EQ(sink_.Count("OnViewClose()"), 1);
  // The host usually answers by closing the view.
  EXPECT_EQ(T().ViewClose(), 0);
  EXPECT_FALSE(F().IsVisible());
}
