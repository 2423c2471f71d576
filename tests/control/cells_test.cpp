#include <gtest/gtest.h>

#include "control/control.h"

using engine::Control;

TEST(Cells, NewWorkbookHasOneSheet) {
  Control c;
  EXPECT_EQ(c.GetNumSheets(), 1);
  EXPECT_EQ(c.GetSheetName(1), "Sheet1");
  EXPECT_EQ(c.GetLastRow(), 0);
  EXPECT_EQ(c.GetLastCol(), 0);
}

TEST(Cells, EmptyTextCountsAsUsed) {
  Control c;
  c.SetCellText(3, 2, "");
  EXPECT_EQ(c.GetLastRow(), 3);
  EXPECT_EQ(c.GetLastCol(), 2);
  EXPECT_EQ(c.GetCellType(3, 2), engine::kTypeText);
}
