// References follow the cells on insert, delete, move and sort; copy and fill shift relative
// references.
#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class References : public FormulaTest {};

TEST_F(References, InsertingRowsMovesReferencesBelowAndStretchesRanges) {
  for (int r = 1; r <= 5; ++r) Set(r, 1, std::to_string(r));
  Set(1, 3, "=A4*2");
  Set(2, 3, "=SUM(A1:A5)");
  Set(3, 3, "=$A$5+A$1");
  Set(4, 3, "=SUM(A:A)+SUM(1:1)");
  ctl.InsertRange(3, -1, 4, -1, kShiftRows);  // two whole rows at 3
  EXPECT_EQ(Formula(1, 3), "A6*2");
  EXPECT_EQ(Formula(2, 3), "SUM(A1:A7)");
  EXPECT_EQ(Formula(5, 3), "$A$7+A$1");
  EXPECT_EQ(Formula(6, 3), "SUM(A:A)+SUM(1:1)");
  EXPECT_EQ(Num(1, 3), 8);
  EXPECT_EQ(Num(2, 3), 15);
  EXPECT_EQ(Num(5, 3), 6);
}

TEST_F(References, DeletingRowsShrinksRangesAndBreaksReferencesToDeletedCells) {
  for (int r = 1; r <= 6; ++r) Set(r, 1, std::to_string(r));
  Set(1, 3, "=A4");
  Set(2, 3, "=SUM(A2:A6)");
  Set(3, 3, "=SUM(A3:A4)");
  Set(4, 3, "=A6+1");
  ctl.DeleteRange(3, -1, 4, -1, kShiftRows);  // rows 3 and 4 go; C3, C4 with them
  EXPECT_EQ(Formula(1, 3), "#REF!");
  EXPECT_EQ(Val(1, 3).error, ErrorValue::Ref);
  EXPECT_EQ(Formula(2, 3), "SUM(A2:A4)");
  EXPECT_EQ(Num(2, 3), 2 + 5 + 6);
  EXPECT_EQ(Formula(3, 3), "");  // C5 moved up to C3
  EXPECT_EQ(Formula(3, 1), "");
  EXPECT_EQ(Num(3, 1), 5);
}

TEST_F(References, ColumnsInsertedAndDeleted) {
  Set(1, 1, "1");
  Set(1, 2, "2");
  Set(1, 3, "3");
  Set(2, 1, "=SUM(A1:C1)+C1");
  ctl.InsertRange(-1, 2, -1, 2, kShiftColumns);
  EXPECT_EQ(Formula(2, 1), "SUM(A1:D1)+D1");
  ctl.DeleteRange(-1, 4, -1, 4, kShiftColumns);
  EXPECT_EQ(Formula(2, 1), "SUM(A1:C1)+#REF!");
  EXPECT_EQ(Val(2, 1).error, ErrorValue::Ref);
}

TEST_F(References, ShiftingPartOfAColumnMovesOnlyThoseCells) {
  Set(5, 1, "7");
  Set(5, 2, "8");
  Set(1, 4, "=A5+B5");
  ctl.InsertRange(2, 1, 2, 1, kShiftVertical);  // cells of column A from row 2 move down
  EXPECT_EQ(Formula(1, 4), "A6+B5");
  EXPECT_EQ(Num(1, 4), 15);
}

TEST_F(References, DefinedNamesFollowStructureChanges) {
  ctl.SetDefinedName("Age", "$C$1:$C$65526");
  ctl.InsertRange(-1, 1, -1, 1, kShiftColumns);
  EXPECT_EQ(ctl.GetDefinedName("Age"), "$D$1:$D$65526");
  ctl.InsertRange(1, -1, 1, -1, kShiftRows);
  EXPECT_EQ(ctl.GetDefinedName("Age"), "$D$2:$D$65527");
  ctl.DeleteRange(1, -1, 1, -1, kShiftRows);
  EXPECT_EQ(ctl.GetDefinedName("Age"), "$D$1:$D$65526");
}

TEST_F(References, MovingABlockMovesReferenceEndpointsInsideIt) {
  Set(2, 1, "5");
  Set(3, 1, "6");
  Set(1, 3, "=A2+A3");
  Set(1, 4, "=SUM(A2:A9)");
  Set(3, 2, "=A3*10");  // moves with the block, keeps reading A3's content
  ctl.MoveRange(2, 1, 3, 2, 3, 0);  // A2:B3 → A5:B6
  EXPECT_EQ(Formula(1, 3), "A5+A6");
  EXPECT_EQ(Num(1, 3), 11);
  EXPECT_EQ(Formula(1, 4), "SUM(A5:A9)");
  EXPECT_EQ(Formula(6, 2), "A6*10");
  EXPECT_EQ(Num(6, 2), 60);
}

TEST_F(References, SortMovesFormulasWithTheirRowsAndKeepsThemRelative) {
  Set(1, 1, "3");
  Set(2, 1, "1");
  Set(3, 1, "2");
  for (int r = 1; r <= 3; ++r) Set(r, 2, "=A" + std::to_string(r) + "*10");
  Set(1, 4, "=B1");  // outside the sorted range: not re-pointed
  ctl.SortRange(1, 1, 3, 2, true, 1, 0, 0);
  EXPECT_EQ(Num(1, 1), 1);
  EXPECT_EQ(Formula(1, 2), "A1*10");
  EXPECT_EQ(Num(1, 2), 10);
  EXPECT_EQ(Num(3, 2), 30);
  EXPECT_EQ(Formula(1, 4), "B1");
  EXPECT_EQ(Num(1, 4), 10);
}

TEST_F(References, FillAndCopyShiftRelativeReferences) {
  for (int r = 1; r <= 4; ++r) Set(r, 1, std::to_string(r));
  Set(1, 2, "=A1*$A$1+A$1");
  ctl.SetSelection(1, 2, 4, 2);
  ctl.FillDown();
  EXPECT_EQ(Formula(4, 2), "A4*$A$1+A$1");
  EXPECT_EQ(Num(4, 2), 5);
  ctl.SetSelection(1, 2, 1, 2);
  ctl.CopySelection();
  ctl.SetSelection(2, 4, 2, 4);
  ctl.PasteClipboard();
  EXPECT_EQ(Formula(2, 4), "C2*$A$1+C$1");
  // A relative reference that lands off the sheet reads #REF!.
  Set(2, 5, "=A1");
  ctl.SetSelection(2, 5, 2, 5);
  ctl.CopySelection();
  ctl.SetSelection(1, 5, 1, 5);
  ctl.PasteClipboard();
  EXPECT_EQ(Formula(1, 5), "#REF!");
  EXPECT_EQ(Val(1, 5).error, ErrorValue::Ref);
  // Paste values drops the formula.
  ctl.SetSelection(4, 2, 4, 2);
  ctl.CopySelection();
  ctl.SetSelection(6, 6, 6, 6);
  ctl.PasteValues();
  EXPECT_EQ(Formula(6, 6), "");
  EXPECT_EQ(Num(6, 6), 5);
}

TEST_F(References, DeletingASheetBreaksReferencesToIt) {
  ctl.SetNumSheets(2);
  ctl.SetActiveSheet(2);
  Set(1, 1, "4");
  ctl.SetActiveSheet(1);
  Set(1, 1, "=Sheet2!A1+1");
  EXPECT_EQ(Num(1, 1), 5);
  ctl.DeleteSheets(2, 1);
  EXPECT_EQ(Formula(1, 1), "#REF!+1");
  EXPECT_EQ(Val(1, 1).error, ErrorValue::Ref);
}

TEST_F(References, ReferencesOnOtherSheetsFollowTheirSheetOnly) {
  ctl.SetNumSheets(2);
  Set(1, 1, "=Sheet2!A3+A3");
  ctl.SetActiveSheet(2);
  ctl.InsertRange(1, -1, 1, -1, kShiftRows);
  ctl.SetActiveSheet(1);
  EXPECT_EQ(Formula(1, 1), "Sheet2!A4+A3");
}

}  // namespace
}  // namespace engine::formula::testing
