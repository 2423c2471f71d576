// The repairs the edit commands apply to the selection and to row 1 and the headings.
#include "rows_fixture.h"

using Strings = std::vector<std::string>;

class SelectionPatchTest : public RowsTest {};

TEST_F(SelectionPatchTest, EntireRowsShrinkToTheParameterColumns) {
  FillSheet(5, 8);
  SelectWholeRows(3, 4);
  AddWholeRows(6, 6);
  T().FullRowSelectionPatch();
  EXPECT_EQ(Blocks(1), Strings{"3,1:4,5"});

  E().SetSelection(2, 1, 3, 4);  // not entire rows: untouched
  T().FullRowSelectionPatch();
  EXPECT_EQ(Blocks(1), Strings{"2,1:3,4"});
}

TEST_F(SelectionPatchTest, EntireRowsOfATableWithoutParametersKeepColumnOne) {
  SelectWholeRows(3, 4);
  T().FullRowSelectionPatch();
  EXPECT_EQ(Blocks(1), Strings{"3,1:4,1"});
}

TEST_F(SelectionPatchTest, EntireColumnsShrinkToTheValueRows) {
  FillSheet(4, 7);
  E().SetSelection(-1, 2, -1, 3);
  T().FullColumnSelectionPatch();
  EXPECT_EQ(Blocks(1), Strings{"1,2:7,3"});

  E().SetSelection(2, 2, engine::kMaxRow, 2);  // does not start in row 1
  T().FullColumnSelectionPatch();
  EXPECT_EQ(Blocks(1), (Strings{"2,2:" + std::to_string(engine::kMaxRow) + ",2"}));

  // A sheet without values: one row.
  E().ClearRange(-1, -1, -1, -1, engine::kClearAll);
  E().SetSelection(-1, 1, -1, 1);
  T().FullColumnSelectionPatch();
  EXPECT_EQ(Blocks(1), Strings{"1,1:1,1"});
}

TEST_F(SelectionPatchTest, NoFirstRowPatchBlanksRowOneOfTheSpan) {
  FillSheet(4, 3);
  T().NoFirstRowPatch(2, 3);
  EXPECT_EQ(E().GetCellText(1, 1), "r1c1");
  EXPECT_EQ(E().GetCellText(1, 2), "");
  EXPECT_EQ(E().GetCellText(1, 3), "");
  EXPECT_EQ(E().GetCellText(1, 4), "r1c4");
  EXPECT_EQ(E().GetCellText(2, 2), "r2c2");

  T().NoFirstRowPatch(4, 3);  // empty span
  EXPECT_EQ(E().GetCellText(1, 4), "r1c4");
  EXPECT_NO_THROW(T().NoFirstRowPatch(4, engine::kMaxCol + 10));  // cut at the last column
  EXPECT_EQ(E().GetCellText(1, 4), "");
}

TEST_F(SelectionPatchTest, NoColNamePatchNamesUnnamedColumns) {
  FillSheet(2, 3);
  E().SetCellText(1, 3, "x");
  E().SetCellText(1, 4, "y");
  E().SetColumnHeadingText(4, "Kept");
  T().NoColNamePatch(1, 4);
  EXPECT_EQ(E().GetColumnHeadingText(1), "P1");
  EXPECT_EQ(E().GetColumnHeadingText(3), "Noname1");
  EXPECT_EQ(E().GetColumnHeadingText(4), "Kept");
  EXPECT_FALSE(E().GetProgramChangeMode());

  E().SetCellText(1, 5, "z");
  E().SetCellText(1, 6, "w");
  T().NoColNamePatch(5, 6);
  EXPECT_EQ(E().GetColumnHeadingText(5), "Noname2");
  EXPECT_EQ(E().GetColumnHeadingText(6), "Noname3");
}

TEST_F(SelectionPatchTest, NoColNamePatchOnAnEmptySpanLeavesProgramChangeModeAlone) {
  E().SetProgramChangeMode(true);
  T().NoColNamePatch(3, 2);
  EXPECT_TRUE(E().GetProgramChangeMode());
  E().SetProgramChangeMode(false);
  T().NoColNamePatch(3, 2);
  EXPECT_FALSE(E().GetProgramChangeMode());
}
