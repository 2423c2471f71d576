// SortTable hands its arguments to the engine's sort unchanged; its errors reach the host.

#include "table_fixture.h"

TEST_F(TableTest, SortTableSortsRowsByKeysAndDirection) {
  engine::Control& c = T().Engine();
  const char* names[] = {"carol", "alice", "bob"};
  for (int r = 0; r < 3; ++r) {
    c.SetCellText(r + 1, 1, names[r]);
    c.SetCellText(r + 1, 2, std::to_string(r + 1));
  }
  T().SortTable(1, 1, 3, 2, 1, 1, 0, 0);
  EXPECT_EQ(c.GetCellText(1, 1), "alice");
  EXPECT_EQ(c.GetCellText(1, 2), "2");
  EXPECT_EQ(c.GetCellText(3, 1), "carol");
  T().SortTable(1, 1, 3, 2, 1, -2, 0, 0);
  EXPECT_EQ(c.GetCellText(1, 2), "3");
  EXPECT_THROW(T().SortTable(1, 1, 3, 2, 1, 5, 0, 0), engine::EngineError);
  EXPECT_THROW(T().SortTable(1, 1, 3L << 40, 2, 1, 1, 0, 0), engine::EngineError);
}
