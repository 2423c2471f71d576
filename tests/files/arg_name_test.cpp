// The name of a parameter column as a host reads it.

#include "files_fixture.h"

TEST_F(FilesTest, ArgNameTellsUnnamedColumnsFromNamedOnes) {
  Fill({"User", "Age"}, {{"ann", "31"}});
  E().SetCellText(1, 3, "loose");  // a value under no name
  T().AppendSheets(1);
  T().SetSheet(1L);
  EXPECT_EQ(T().GetHeaderArgList(1), (CZATArgList{"User", "Age", "C"}));
  CString name = "junk";
  EXPECT_EQ(T().GetArgName(1, name, 1), 0);
  EXPECT_EQ(name, "User");
  EXPECT_EQ(T().GetArgName(3, name, 1), 0);
  EXPECT_EQ(name, "");
  EXPECT_EQ(T().GetArgName(4, name, 1), -1);
  EXPECT_EQ(T().GetArgName(0, name, 1), -1);
  EXPECT_EQ(T().GetArgName(1, name, 9), -1);
  EXPECT_EQ(T().GetArgName(1, name, 2), -1);  // the new sheet has no columns
  EXPECT_EQ(T().GetSheet(), 1);               // the active sheet is kept
}
