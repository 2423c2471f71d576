// Column names, the last parameter column and value row, finding a parameter by name, and
// made-up unique names.
#include <gtest/gtest.h>

#include "params/column_letters.h"
#include "params_fixture.h"

namespace {

TEST(ColumnLetters, BijectiveBase26) {
  EXPECT_EQ(params::ColumnLetters(1), "A");
  EXPECT_EQ(params::ColumnLetters(26), "Z");
  EXPECT_EQ(params::ColumnLetters(27), "AA");
  EXPECT_EQ(params::ColumnLetters(52), "AZ");
  EXPECT_EQ(params::ColumnLetters(53), "BA");
  EXPECT_EQ(params::ColumnLetters(256), "IV");
  EXPECT_EQ(params::ColumnLetters(702), "ZZ");
  EXPECT_EQ(params::ColumnLetters(703), "AAA");
  EXPECT_EQ(params::ColumnLetters(0), "");
  EXPECT_EQ(params::ColumnLetters(-3), "");
}

using HeaderColumns = ParamsTest;

TEST_F(HeaderColumns, ColumnTextIsTheHeadingOrTheLettersUpToTheLastColumn) {
  MakeSheet({"A1", "B1", ""}, 2);
  CString out = "junk";
  EXPECT_EQ(T().GetABColName(28, out), 0);
  EXPECT_EQ(out, "AB");
  EXPECT_EQ(T().GetColText(1), "A1");
  EXPECT_EQ(T().GetColText(3), "C");
  EXPECT_EQ(T().GetColText(4), "");  // beyond the last column
  EXPECT_TRUE(T().IsABColName(3));
  EXPECT_FALSE(T().IsABColName(2));
  EXPECT_TRUE(T().IsABColName(0));
  EXPECT_TRUE(T().IsABColName(300));
}

TEST_F(HeaderColumns, SetColTextNamesTheColumnAndDefinesTheName) {
  T().SetColText(2, "Speed");
  EXPECT_EQ(E().GetColumnHeadingText(2), "Speed");
  EXPECT_EQ(E().GetDefinedName("Speed"), "$B$1:$B$65526");
  // A name the engine refuses as a defined name (it looks like a cell reference) is still the
  // heading; nothing is thrown.
  EXPECT_NO_THROW(T().SetColText(3, "A1"));
  EXPECT_EQ(E().GetColumnHeadingText(3), "A1");
  EXPECT_EQ(E().GetDefinedName("A1"), "");
  EXPECT_NO_THROW(T().SetColText(0, "Nowhere"));
}

TEST_F(HeaderColumns, LastColumnCountsNamedEmptyColumnsUpToTheRecordedHeaderWidth) {
  // Loaded as a sheet whose only content was the heading of column 4.
  E().SetColumnHeadingText(4, "D4");
  T().HeaderColCounts() = {4};
  EXPECT_EQ(T().GetLastCol(), 4);
  // Trailing unnamed columns within the recorded width do not count.
  T().HeaderColCounts() = {6};
  EXPECT_EQ(T().GetLastCol(), 4);
  // Named columns beyond the recorded width are not seen unless the engine reports them.
  E().SetColumnHeadingText(8, "H8");
  EXPECT_EQ(T().GetLastCol(), 4);
  E().SetCellText(1, 9, "x");
  EXPECT_EQ(T().GetLastCol(), 9);
  // No recorded entry for the sheet: the engine's count alone.
  T().HeaderColCounts().clear();
  EXPECT_EQ(T().GetLastCol(), 9);
}

TEST_F(HeaderColumns, LastRowIsZeroWithoutValues) {
  E().SetColumnHeadingText(1, "P");
  T().HeaderColCounts() = {1};
  EXPECT_EQ(T().GetLastRow(), 0);
  E().SetCellText(1, 1, "");  // an empty text in row 1 is no value
  EXPECT_EQ(E().GetLastRow(), 1);
  EXPECT_EQ(T().GetLastRow(), 0);
  E().SetCellText(1, 1, "v");
  EXPECT_EQ(T().GetLastRow(), 1);
  E().SetCellText(7, 1, "w");
  EXPECT_EQ(T().GetLastRow(), 7);
}

TEST_F(HeaderColumns, ArgColFindsExactNamesAndLettersOfUnnamedColumns) {
  MakeSheet({"Loop", "", "Speed", "Loop"}, 1);
  EXPECT_EQ(T().GetArgCol("Loop"), 1);  // the first of two columns with the name
  EXPECT_EQ(T().GetArgCol("loop"), -1);
  EXPECT_EQ(T().GetArgCol("B"), 2);   // unnamed column 2 answers to its letters
  EXPECT_EQ(T().GetArgCol("C"), -1);  // column 3 has a name
  EXPECT_EQ(T().GetArgCol("Speed"), 3);
  EXPECT_EQ(T().GetArgCol(""), -1);
  EXPECT_EQ(T().GetArgCol("E"), -1);  // beyond the last column
}

TEST_F(HeaderColumns, ArgColFollowsEveryChangeOfTheHeader) {
  MakeSheet({"P1", "P2", "P3"}, 3);
  EXPECT_EQ(T().GetArgCol("P3"), 3);
  // Renamed.
  E().SetColumnHeadingText(3, "Q3");
  EXPECT_EQ(T().GetArgCol("P3"), -1);
  EXPECT_EQ(T().GetArgCol("Q3"), 3);
  // A column inserted in front moves it.
  E().InsertRange(-1, 1, -1, 1, engine::kShiftColumns);
  EXPECT_EQ(T().GetArgCol("Q3"), 4);
  EXPECT_EQ(T().GetArgCol("A"), 1);
  // Deleted.
  E().DeleteRange(-1, 4, -1, 4, engine::kShiftColumns);
  EXPECT_EQ(T().GetArgCol("Q3"), -1);
  // An unnamed column that gets its first value becomes findable by its letters.
  EXPECT_EQ(T().GetArgCol("E"), -1);
  E().SetCellText(1, 5, "x");
  EXPECT_EQ(T().GetArgCol("E"), 5);
  // Values written in between do not disturb the lookup.
  for (int r = 1; r <= 50; ++r) {
    E().SetCellText(r, 2, std::to_string(r));
    ASSERT_EQ(T().GetArgCol("P1"), 2);
  }
}

TEST_F(HeaderColumns, ArgColKeepsOneIndexPerSheet) {
  EnsureSheets(2);
  MakeSheet({"X", "Y"}, 1);
  T().SetSheet(2L);
  MakeSheet({"Y", "X", "Z"}, 1);
  for (int round = 0; round < 3; ++round) {
    T().SetSheet(1L);
    EXPECT_EQ(T().GetArgCol("Y"), 2);
    EXPECT_EQ(T().GetArgCol("Z"), -1);
    T().SetSheet(2L);
    EXPECT_EQ(T().GetArgCol("Y"), 1);
    EXPECT_EQ(T().GetArgCol("Z"), 3);
  }
  // Sheets that change places are told apart.
  E().MoveSheet(2, 1);
  T().SetSheet(1L);
  EXPECT_EQ(T().GetArgCol("Z"), 3);
  T().SetSheet(2L);
  EXPECT_EQ(T().GetArgCol("Z"), -1);
}

TEST_F(HeaderColumns, ArgColTellsANewSheetFromTheOneItReplaced) {
  EnsureSheets(2);
  for (int round = 0; round < 3; ++round) {
    T().SetSheet(2L);
    MakeSheet({"Old" + std::to_string(round), "Same"}, 1);
    EXPECT_EQ(T().GetArgCol("Old" + std::to_string(round)), 1);
    EXPECT_EQ(T().GetArgCol("Same"), 2);
    // The sheet goes and another takes its place and position, named differently.
    T().SetSheet(1L);
    E().SetNumSheets(1);
    E().SetNumSheets(2);
    T().SetSheet(2L);
    MakeSheet({"Same", "New"}, 1);
    EXPECT_EQ(T().GetArgCol("Old" + std::to_string(round)), -1);
    EXPECT_EQ(T().GetArgCol("Same"), 1);
    EXPECT_EQ(T().GetArgCol("New"), 2);
    E().SetNumSheets(1);
    E().SetNumSheets(2);
  }
}

TEST_F(HeaderColumns, ArgColFollowsHeadingsThatMoveWithoutAValueChanging) {
  MakeSheet({"P1", "P2", "P3"}, 2);
  EXPECT_EQ(T().GetArgCol("P2"), 2);
  // Only headings change: the lookup must not trust what it saw before.
  E().SetColumnHeadingText(2, "");
  EXPECT_EQ(T().GetArgCol("P2"), -1);
  EXPECT_EQ(T().GetArgCol("B"), 2);
  E().SetColumnHeadingText(3, "P2");
  EXPECT_EQ(T().GetArgCol("P2"), 3);
  E().SetColumnHeadingText(1, "P2");
  EXPECT_EQ(T().GetArgCol("P2"), 1);  // the leftmost of two
  E().SetColumnHeadingText(1, "p2");
  EXPECT_EQ(T().GetArgCol("P2"), 3);  // names are case-sensitive
  EXPECT_EQ(T().GetArgCol("p2"), 1);
}

TEST_F(HeaderColumns, ArgColSeesAChangedRecordedHeaderWidth) {
  E().SetColumnHeadingText(3, "Late");
  T().HeaderColCounts() = {0};
  EXPECT_EQ(T().GetArgCol("Late"), -1);
  T().HeaderColCounts() = {3};
  EXPECT_EQ(T().GetArgCol("Late"), 3);
}

TEST_F(HeaderColumns, ArgColForgetsTheParametersOfATableThatWasReplaced) {
  for (int round = 0; round < 3; ++round) {
    CString x = "X", y = "Y";
    ASSERT_EQ(T().AppendArg(x, "1", 0, nullptr, 0), 0);
    ASSERT_EQ(T().AppendArg(y, "2", 0, nullptr, 0), 0);
    EXPECT_EQ(T().GetArgCol("Y"), 2);
    CZATArgList only{"Y"};
    ASSERT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, &only, 0), 0);  // a new table
    EXPECT_EQ(T().GetArgCol("X"), -1);
    EXPECT_EQ(T().GetArgCol("Y"), 1);
    ASSERT_EQ(T().Open("", CZAT::FILE_TYPE_NONE, nullptr, 0), 0);
    EXPECT_EQ(T().GetArgCol("Y"), -1);
  }
}

TEST_F(HeaderColumns, NotDupArgNameAddsTheFirstFreeNumber) {
  MakeSheet({"Loop", "Loop1", "A1", "A11"}, 1);
  CString name = "Loop";
  EXPECT_TRUE(T().GetNotDupArgName(name));
  EXPECT_EQ(name, "Loop2");
  name = "A1";
  EXPECT_TRUE(T().GetNotDupArgName(name));
  EXPECT_EQ(name, "A12");
  name = "Fresh";
  EXPECT_TRUE(T().GetNotDupArgName(name));
  EXPECT_EQ(name, "Fresh");
  name.clear();
  EXPECT_FALSE(T().GetNotDupArgName(name));
}

TEST_F(HeaderColumns, NotDupArgNameKeepsNumberedNamesWithinTheLengthLimit) {
  std::string longName(255, 'n');
  MakeSheet({longName}, 1);
  CString name = longName;
  EXPECT_TRUE(T().GetNotDupArgName(name));
  EXPECT_EQ(name, std::string(254, 'n') + "1");
}

TEST_F(HeaderColumns, NonameNamesSkipTakenOnes) {
  MakeSheet({"Noname1", "Noname2"}, 1);
  CString name;
  EXPECT_TRUE(T().GetNonameName(name));
  EXPECT_EQ(name, "Noname3");
}

}  // namespace
