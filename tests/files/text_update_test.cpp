// Refreshing parameter values from a text file.

#include "files_fixture.h"

using Values = std::vector<std::string>;

class TextUpdateTest : public FilesTest {
 protected:
  void SetUp() override {
    FilesTest::SetUp();
    Fill({"A1", "C1"}, {{"a", "c"}, {"b", "c"}, {"c", "c"}, {"d", "c"}, {"e", "c"}});
    T().SetFile("/t/own.xls");
    T().ResetDirtyBit();
    WriteFile("in.txt", "A1\tB1\nx1\ty1\nx2\ty2\nx3\ty3\n");
  }
};

TEST_F(TextUpdateTest, NamedColumnTakesTheFileValuesAndLosesTheRest) {
  Register();
  ASSERT_EQ(T().UpdateFromTextFile(Path("in.txt"), 0), 0);
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A1", "C1"}));
  EXPECT_EQ(Column("A1"), (Values{"x1", "x2", "x3", "", ""}));
  EXPECT_EQ(Column("C1"), (Values{"c", "c", "c", "c", "c"}));  // not named in the file
  EXPECT_TRUE(sink_.calls.empty());
  CString name;
  T().GetFileName(name);
  EXPECT_EQ(name, "/t/own.xls");
}

TEST_F(TextUpdateTest, MissingParametersAreAppendedWhenAsked) {
  ASSERT_EQ(T().UpdateFromTextFile(Path("in.txt"), 1), 0);
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A1", "C1", "B1"}));
  EXPECT_EQ(Column("B1"), (Values{"y1", "y2", "y3", "", ""}));
}

TEST_F(TextUpdateTest, HeadingLineAloneEmptiesTheNamedColumns) {
  WriteFile("names.txt", "C1\n");
  ASSERT_EQ(T().UpdateFromTextFile(Path("names.txt"), 0), 0);
  // The column keeps its name and has no values left.
  EXPECT_EQ(E().GetColumnHeadingText(2), "C1");
  for (int r = 1; r <= 5; ++r) EXPECT_EQ(E().GetCellText(r, 2), "") << r;
  EXPECT_EQ(Column("A1"), (Values{"a", "b", "c", "d", "e"}));
}

TEST_F(TextUpdateTest, HeadingsAreRepairedBeforeTheyAreLookedUp) {
  CString login = "Login_Name";
  T().AppendArg(login, CZAT::null_cstring_ref, 0, nullptr, 0);
  WriteFile("login.txt", "Login Name\nann\n");
  ASSERT_EQ(T().UpdateFromTextFile(Path("login.txt"), 0), 0);
  EXPECT_EQ(Column("Login_Name")[0], "ann");
}

TEST_F(TextUpdateTest, DatesAndFormulasCopyAsShownAndAsEntered) {
  WriteFile("typed.txt", "A1\tC1\n1/15/2024\t=1+2\n");
  ASSERT_EQ(T().UpdateFromTextFile(Path("typed.txt"), 0), 0);
  EXPECT_EQ(Column("A1")[0], "1/15/2024");
  CString formula;
  EXPECT_EQ(T().GetArgFormula(1, "C1", formula, 0), 0);
  EXPECT_EQ(formula, "1+2");
  EXPECT_EQ(Column("C1")[0], "3");
}

TEST_F(TextUpdateTest, UnreadableOrMissingFilesLeaveTheTableAlone) {
  WriteFile("in.csv", "A1\nz\n");
  WriteFile("bad.xls", std::string("\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1 broken", 15));
  WriteFile("empty.txt", "");
  EXPECT_EQ(T().UpdateFromTextFile(Path("none.txt"), 1), -1);
  EXPECT_EQ(T().UpdateFromTextFile(Path("in.csv"), 1), -1);
  EXPECT_EQ(T().UpdateFromTextFile("", 1), -1);
  EXPECT_EQ(T().UpdateFromTextFile(Path("bad.xls"), 1), -7);
  EXPECT_EQ(T().UpdateFromTextFile(Path("empty.txt"), 1), 0);
  EXPECT_TRUE(Shown().empty());
  EXPECT_EQ(T().GetHeaderArgList(0), (CZATArgList{"A1", "C1"}));
  EXPECT_EQ(Column("A1"), (Values{"a", "b", "c", "d", "e"}));
  EXPECT_EQ(T().GetDirtyBit(), 0);
}
