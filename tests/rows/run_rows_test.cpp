// Capturing the run rows and walking them, per sheet.
#include <algorithm>
#include <random>

#include "rows/run_row_order.h"
#include "rows_fixture.h"

using Strings = std::vector<std::string>;

namespace {
const std::string kQuestion = "Do you want to run the test only on the selected rows?";
std::string Rows(int first, int last) {
  return std::to_string(first) + ",1:" + std::to_string(last) + "," +
         std::to_string(engine::kMaxCol);
}
}  // namespace

class RunRowsTest : public RowsTest {
 protected:
  // Every row SelectNextRunRow(true, sheet) visits, stopping after `limit` steps.
  std::vector<long> Walk(long sheet, int limit = 1000) {
    std::vector<long> rows;
    for (int i = 0; i < limit && T().SelectNextRunRow(true, sheet) == 1; ++i) {
      long row = 0;
      EXPECT_EQ(T().GetCurrRunRow(row, sheet), 1);
      rows.push_back(row);
    }
    return rows;
  }
};

TEST_F(RunRowsTest, WithoutSelectedRowsEveryValueRowRunsWithoutAQuestion) {
  FillSheet(2, 3);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  EXPECT_TRUE(Boxes().Shown().empty());
  int count = 0;
  ASSERT_EQ(T().GetNumRunRows(count, 0), 0);
  EXPECT_EQ(count, 3);

  long row = -7;
  EXPECT_EQ(T().GetCurrRunRow(row, 0), 0);  // captured, not started
  EXPECT_EQ(row, 0);
  for (long expected = 1; expected <= 3; ++expected) {
    ASSERT_EQ(T().SelectNextRunRow(true, 0), 1);
    EXPECT_EQ(Blocks(1), Strings{Rows(expected, expected)});
  }
  EXPECT_EQ(T().SelectNextRunRow(true, 0), 0);
  EXPECT_EQ(T().GetCurrRunRow(row, 0), 1);
  EXPECT_EQ(row, 3);
}

TEST_F(RunRowsTest, SelectedRowsTwoAndFiveToSix) {
  FillSheet(3, 8);
  SelectWholeRows(2, 2);
  AddWholeRows(5, 6);
  ASSERT_EQ(T().CaptureRowsList(false, 0), 1);
  EXPECT_TRUE(Boxes().Shown().empty());

  long row = 0;
  EXPECT_EQ(T().GetRunRow(2, row, 0), 1);
  EXPECT_EQ(row, 5);
  EXPECT_EQ(T().GetRunRow(3, row, 0), 1);
  EXPECT_EQ(row, 6);
  EXPECT_EQ(T().GetRunRow(1, row, 0), 1);
  EXPECT_EQ(row, 2);
  row = 99;
  EXPECT_EQ(T().GetRunRow(4, row, 0), 0);
  EXPECT_EQ(T().GetRunRow(0, row, 0), 0);
  EXPECT_EQ(T().GetRunRow(-3, row, 0), 0);
  EXPECT_EQ(row, 99);

  row = 2;
  EXPECT_EQ(T().GetNextRunRow(row, 0), 1);
  EXPECT_EQ(row, 5);
  row = 6;
  EXPECT_EQ(T().GetNextRunRow(row, 0), 0);
  row = 4;
  EXPECT_EQ(T().GetNextRunRow(row, 0), 0);
  row = 0;
  EXPECT_EQ(T().GetNextRunRow(row, 0), 1);
  EXPECT_EQ(row, 2);

  EXPECT_EQ(Walk(0), (std::vector<long>{2, 5, 6}));
  int count = 0;
  ASSERT_EQ(T().GetNumRunRows(count, 0), 0);
  EXPECT_EQ(count, 3);
}

TEST_F(RunRowsTest, TheQuestionDecidesBetweenSelectedAndAllRows) {
  FillSheet(3, 8);
  SelectWholeRows(2, 2);
  AddWholeRows(5, 6);

  Boxes().QueueAnswer(platform::IDYES);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  ASSERT_EQ(Boxes().Shown().size(), 1u);
  EXPECT_EQ(Boxes().Shown()[0].text, kQuestion);
  EXPECT_EQ(Boxes().Shown()[0].type, platform::MB_YESNO | platform::MB_ICONQUESTION);
  int count = 0;
  T().GetNumRunRows(count, 0);
  EXPECT_EQ(count, 3);

  EXPECT_EQ(Blocks(1), (Strings{Rows(2, 2), Rows(5, 6)}));  // capturing selects nothing
  Boxes().QueueAnswer(platform::IDNO);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  EXPECT_EQ(Boxes().Shown().size(), 2u);
  T().GetNumRunRows(count, 0);
  EXPECT_EQ(count, 8);
  EXPECT_EQ(Walk(0).size(), 8u);
}

TEST_F(RunRowsTest, TheViewCannotCloseWhileTheQuestionIsUp) {
  FillSheet(2, 5);
  SelectWholeRows(3, 4);
  int closeResult = 0;
  Boxes().SetHandler([&](const std::string&, unsigned) {
    closeResult = T().ViewClose();
    return platform::IDYES;
  });
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  EXPECT_EQ(closeResult, -1);
  EXPECT_EQ(T().ViewClose(), 0);
  EXPECT_EQ(Walk(0), (std::vector<long>{3, 4}));
}

TEST_F(RunRowsTest, RememberFalseShowsTheNextRowWithoutAdvancing) {
  FillSheet(2, 4);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  ASSERT_EQ(T().SelectNextRunRow(false, 0), 1);
  ASSERT_EQ(T().SelectNextRunRow(false, 0), 1);
  EXPECT_EQ(Blocks(1), Strings{Rows(1, 1)});
  long row = 0;
  EXPECT_EQ(T().GetCurrRunRow(row, 0), 0);

  ASSERT_EQ(T().SelectNextRunRow(true, 0), 1);
  ASSERT_EQ(T().SelectNextRunRow(false, 0), 1);
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 2)});
  EXPECT_EQ(T().GetCurrRunRow(row, 0), 1);
  EXPECT_EQ(row, 1);
}

TEST_F(RunRowsTest, EmptyAndUncapturedSheets) {
  EnsureSheets(2);
  FillSheet(2, 4);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  int count = -1;
  ASSERT_EQ(T().GetNumRunRows(count, 2), 0);  // empty sheet: captured, no run rows
  EXPECT_EQ(count, 0);
  EXPECT_EQ(T().SelectNextRunRow(true, 2), 0);

  // Capturing sheet 1 alone forgets sheet 2.
  ASSERT_EQ(T().CaptureRowsList(true, 1), 1);
  long row = 0;
  EXPECT_EQ(T().GetNextRunRow(row, 2), 0);
  EXPECT_EQ(T().GetNumRunRows(count, 2), -1);
  EXPECT_EQ(T().GetCurrRunRow(row, 2), 0);
  EXPECT_EQ(T().GetNumRunRows(count, 3), -1);
  EXPECT_EQ(T().GetRunRow(1, row, 3), 0);
  EXPECT_EQ(T().SelectNextRunRow(true, 3), 0);
  EXPECT_EQ(T().CaptureRowsList(true, 3), 0);
}

TEST_F(RunRowsTest, EachSheetWalksOnItsOwn) {
  EnsureSheets(2);
  FillSheet(2, 3);
  E().SetActiveSheet(2);
  FillSheet(2, 6);
  SelectWholeRows(2, 2);
  AddWholeRows(4, 4);
  E().SetActiveSheet(1);
  E().SetSelection(1, 1, 1, 1);

  Boxes().QueueAnswer(platform::IDYES);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  // In selected-rows mode a sheet without selected rows has no run rows.
  int count = -1;
  T().GetNumRunRows(count, 1);
  EXPECT_EQ(count, 0);
  T().GetNumRunRows(count, 2);
  EXPECT_EQ(count, 2);

  ASSERT_EQ(T().SelectNextRunRow(true, 2), 1);
  EXPECT_EQ(T().GetSheet(), 2);  // the walked sheet is shown
  EXPECT_EQ(Blocks(2), Strings{Rows(2, 2)});
  E().SetActiveSheet(1);
  EXPECT_EQ(T().SelectNextRunRow(true, 1), 0);
  ASSERT_EQ(T().SelectNextRunRow(true, 2), 1);
  EXPECT_EQ(T().SelectNextRunRow(true, 2), 0);
  long row = 0;
  EXPECT_EQ(T().GetCurrRunRow(row, 2), 1);
  EXPECT_EQ(row, 4);

  // Without a question and without selections each sheet runs all its rows.
  E().SetActiveSheet(2);
  E().SetSelection(1, 1, 1, 1);
  ASSERT_EQ(T().CaptureRowsList(true, 0), 1);
  EXPECT_EQ(Walk(1), (std::vector<long>{1, 2, 3}));
  EXPECT_EQ(Walk(2), (std::vector<long>{1, 2, 3, 4, 5, 6}));
}

TEST_F(RunRowsTest, RunRowsAreASnapshot) {
  FillSheet(2, 3);
  ASSERT_EQ(T().CaptureRowsList(false, 0), 1);
  FillSheet(2, 10);
  int count = 0;
  T().GetNumRunRows(count, 0);
  EXPECT_EQ(count, 3);
}

// Overlapping, repeated and descending blocks of whole rows: each row runs once, the walk ends,
// and the walk, the positions and the count agree.
TEST_F(RunRowsTest, OverlappingBlocksRunEachRowOnceAndTheWalkEnds) {
  FillSheet(2, 12);
  SelectWholeRows(2, 5);
  AddWholeRows(4, 7);
  AddWholeRows(3, 3);
  AddWholeRows(10, 11);
  AddWholeRows(9, 12);
  ASSERT_EQ(T().CaptureRowsList(false, 0), 1);
  EXPECT_EQ(RangesText(T().RunRows(), SheetName(1)), "2-5 6-7 10-11 9-9 12-12");
  const std::vector<long> walked = Walk(0);
  EXPECT_EQ(walked, (std::vector<long>{2, 3, 4, 5, 6, 7, 10, 11, 9, 12}));
  int count = 0;
  T().GetNumRunRows(count, 0);
  EXPECT_EQ(count, static_cast<int>(walked.size()));
  for (int p = 1; p <= count; ++p) {
    long row = 0;
    ASSERT_EQ(T().GetRunRow(p, row, 0), 1);
    EXPECT_EQ(row, walked[p - 1]);
  }
}

TEST_F(RunRowsTest, NoSelectionMakesTheWalkCycle) {
  FillSheet(2, 30);
  std::mt19937 random(7);
  std::uniform_int_distribution<int> rowOf(1, 34);
  std::uniform_int_distribution<int> blocksOf(1, 6);
  for (int round = 0; round < 60; ++round) {
    const int blocks = blocksOf(random);
    for (int b = 0; b < blocks; ++b) {
      const int r1 = rowOf(random), r2 = rowOf(random);
      if (b == 0)
        SelectWholeRows(r1, r2);
      else
        AddWholeRows(r1, r2);
    }
    ASSERT_EQ(T().CaptureRowsList(false, 0), 1);
    int count = 0;
    T().GetNumRunRows(count, 0);
    const std::vector<long> walked = Walk(0, 200);
    ASSERT_EQ(static_cast<int>(walked.size()), count) << "round " << round;
    std::vector<long> sorted = walked;
    std::sort(sorted.begin(), sorted.end());
    EXPECT_EQ(std::adjacent_find(sorted.begin(), sorted.end()), sorted.end());
  }
}

TEST(RunRowOrder, RepeatedRowsAreTakenOut) {
  auto text = [](const std::vector<CRowsRange>& ranges) {
    std::string out;
    for (const CRowsRange& r : ranges)
      out += std::to_string(r.nFirstRow) + "-" + std::to_string(r.nLastRow) + " ";
    return out;
  };
  using rows::WithoutRepeatedRows;
  EXPECT_EQ(text(WithoutRepeatedRows({{5, 6}, {2, 3}, {4, 4}, {7, 9}})), "5-6 2-3 4-4 7-9 ");
  EXPECT_EQ(text(WithoutRepeatedRows({{2, 8}, {3, 5}})), "2-8 ");
  EXPECT_EQ(text(WithoutRepeatedRows({{4, 5}, {1, 9}})), "4-5 1-3 6-9 ");
  EXPECT_EQ(text(WithoutRepeatedRows({{2, 3}, {6, 7}, {1, 8}})), "2-3 6-7 1-1 4-5 8-8 ");
  EXPECT_EQ(text(WithoutRepeatedRows({{9, 7}, {8, 8}})), "7-9 ");
  EXPECT_EQ(text(WithoutRepeatedRows({{3, 3}, {3, 3}})), "3-3 ");
  EXPECT_EQ(text(WithoutRepeatedRows({})), "");
}

// Run rows are kept by sheet name: a renamed sheet keeps its walk, and a sheet that takes the
// name of a deleted one does not inherit the deleted sheet's rows.
TEST_F(RunRowsTest, RunRowsFollowTheirSheetThroughRenameAndDelete) {
  EnsureSheets(3);
  FillSheet(1, 2);
  E().SetActiveSheet(2);
  FillSheet(1, 4);
  E().SetActiveSheet(3);
  FillSheet(1, 5);
  E().SetActiveSheet(1);
  ASSERT_EQ(T().CaptureRowsList(false, 0), 1);
  ASSERT_EQ(T().SelectNextRunRow(true, 3), 1);

  ASSERT_EQ(T().SetSheetName(3, "Orders"), 0);
  int count = -1;
  EXPECT_EQ(T().GetNumRunRows(count, 3), 0);
  EXPECT_EQ(count, 5);
  long row = 0;
  EXPECT_EQ(T().GetCurrRunRow(row, 3), 1);  // the walk goes on where it was
  EXPECT_EQ(row, 1);
  EXPECT_EQ(Walk(3), (std::vector<long>{2, 3, 4, 5}));

  const CString deleted = SheetName(2);
  ASSERT_EQ(T().DeleteSheets(2L, 1), 0);
  T().AppendSheets(1);
  ASSERT_EQ(SheetName(3), deleted);  // the new sheet reuses the name
  EXPECT_EQ(T().GetNumRunRows(count, 3), -1);
  EXPECT_EQ(T().SelectNextRunRow(true, 3), 0);
  // The others keep theirs.
  EXPECT_EQ(T().GetNumRunRows(count, 1), 0);
  EXPECT_EQ(count, 2);
  EXPECT_EQ(T().GetNumRunRows(count, 2), 0);
  EXPECT_EQ(count, 5);

  // SetNumSheets removing sheets drops theirs too.
  T().SetNumSheets(1);
  T().SetNumSheets(2);
  EXPECT_EQ(T().GetNumRunRows(count, 2), -1);
}
