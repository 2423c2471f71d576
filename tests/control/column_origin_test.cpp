// Rows removed from or inserted at the top of a column move its origin, not its slots. Every
// read of the column must still find each cell at its row: at block edges, at the sheet's last
// row, after many moves in both directions, mixed with the slot-by-slot moves.
#include <gtest/gtest.h>

#include <map>
#include <random>
#include <string>

#include "control/control.h"
#include "control/model/cell_store.h"

using namespace engine;

namespace {

// The rows a column's blocks make interesting: both sides of every edge a move can cross.
int InterestingRow(std::mt19937& random) {
  static const int rows[] = {1,   2,   3,   254,   255,   256,   257,   258,
                             511, 512, 513, 65279, 65280, 65281, 65535, kMaxRow};
  if (random() % 3 == 0) return static_cast<int>(random() % kMaxRow) + 1;
  return rows[random() % (sizeof rows / sizeof *rows)];
}

// Each value carries a style of its own, which must travel with it.
std::uint16_t StyleOf(double value) { return static_cast<std::uint16_t>(int(value) % 7 + 1); }

void Put(Column& column, std::map<int, double>& model, int row, double value) {
  CellSlot& s = column.At(row);
  s.kind = CellKind::Number;
  s.number = value;
  s.style = StyleOf(value);
  column.Touched(row);
  model[row] = value;
}

void Blank(Column& column, std::map<int, double>& model, int row1, int row2) {
  column.ForEachSlot(row1, row2, [](int, CellSlot& s) { s = CellSlot{}; });
  model.erase(model.lower_bound(row1), model.upper_bound(row2));
}

// The column holds exactly the model's cells, each at its row, and nothing past the sheet.
void ExpectSame(const Column& column, const std::map<int, double>& model, std::mt19937& random,
                const std::string& step) {
  for (const auto& [row, value] : model) {
    const CellSlot* s = column.Find(row);
    ASSERT_TRUE(s && s->kind == CellKind::Number) << step << ": row " << row;
    ASSERT_EQ(s->number, value) << step << ": row " << row;
    ASSERT_EQ(s->style, StyleOf(value)) << step << ": row " << row;
  }
  for (int k = 0; k < 64; ++k) {
    const int row = InterestingRow(random);
    if (model.count(row)) continue;
    const CellSlot* s = column.Find(row);
    ASSERT_TRUE(!s || s->IsBlank()) << step << ": row " << row << " should be blank";
  }
  std::map<int, double> seen;
  const_cast<Column&>(column).ForEachSlot(1, kMaxRow, [&](int row, CellSlot& s) {
    if (!s.IsBlank()) seen[row] = s.number;
  });
  ASSERT_EQ(seen, model) << step;
  ASSERT_LE(column.LastSlotRow(), kMaxRow) << step;
  ASSERT_EQ(column.LastUsedRow(), model.empty() ? 0 : model.rbegin()->first) << step;
}

}  // namespace

TEST(ColumnOrigin, TopRowsComeAndGoWithoutLosingOrMisplacingACell) {
  std::mt19937 random(17);
  for (int round = 0; round < 40; ++round) {
    Column column;
    std::map<int, double> model;
    double next = 1;
    for (int step = 0; step < 60; ++step) {
      const std::string name = "round " + std::to_string(round) + " step " + std::to_string(step);
      switch (random() % 5) {
        case 0:
        case 1:
          for (int k = 0; k < 8; ++k) Put(column, model, InterestingRow(random), next++);
          break;
        case 2: {  // the names row leaves, or more rows at once
          const int count = random() % 2 ? 1 : static_cast<int>(random() % 600) + 1;
          Blank(column, model, 1, count);
          column.RemoveTopRows(count);
          std::map<int, double> moved;
          for (const auto& [row, value] : model) moved[row - count] = value;
          model = std::move(moved);
          column.Recount();
          break;
        }
        case 3: {  // the names row comes back, or more rows at once
          const int count = random() % 2 ? 1 : static_cast<int>(random() % 600) + 1;
          Blank(column, model, kMaxRow - count + 1, kMaxRow);
          column.InsertTopRows(count);
          std::map<int, double> moved;
          for (const auto& [row, value] : model) moved[row + count] = value;
          model = std::move(moved);
          column.Recount();
          break;
        }
        default: {  // the slot-by-slot way, as a deletion inside the column does it
          const int from = static_cast<int>(random() % 700) + 2;
          Blank(column, model, from - 1, from - 1);
          const int last = column.LastSlotRow();
          if (last >= from) column.MoveRows(from, last - from + 1, from - 1);
          std::map<int, double> moved;
          for (const auto& [row, value] : model) moved[row >= from ? row - 1 : row] = value;
          model = std::move(moved);
          break;
        }
      }
      ASSERT_NO_FATAL_FAILURE(ExpectSame(column, model, random, name));
    }
  }
}

TEST(ColumnOrigin, WholeRowsAtTheTopOfASheetKeepCellsStylesAndTheEdgeOfTheSheet) {
  Control c;
  c.SetCellText(1, 1, "names");
  c.SetCellText(256, 1, "block edge");
  c.SetCellText(257, 2, "next block");
  c.SetCellText(kMaxRow - 1, 3, "near the end");
  c.SetCellText(2, 4, "=A256&\"!\"");
  for (int k = 0; k < 300; ++k) {
    c.DeleteRange(1, -1, 1, -1, kShiftRows);
    c.InsertRange(1, -1, 1, -1, kShiftRows);
  }
  EXPECT_EQ(c.GetCellText(1, 1), "");  // the first row deleted is gone for good
  EXPECT_EQ(c.GetCellText(256, 1), "block edge");
  EXPECT_EQ(c.GetCellText(257, 2), "next block");
  EXPECT_EQ(c.GetCellText(kMaxRow - 1, 3), "near the end");
  EXPECT_EQ(c.GetCellFormattedText(2, 4), "block edge!");
  EXPECT_EQ(c.GetLastRow(), kMaxRow - 1);

  // Content in the last row cannot be pushed off the sheet; a deletion brings it up again.
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  EXPECT_EQ(c.GetCellText(kMaxRow, 3), "near the end");
  EXPECT_THROW(c.InsertRange(1, -1, 1, -1, kShiftRows), EngineError);
  EXPECT_EQ(c.GetCellText(kMaxRow, 3), "near the end");
  c.DeleteRange(1, -1, 2, -1, kShiftRows);
  EXPECT_EQ(c.GetCellText(kMaxRow - 2, 3), "near the end");
  EXPECT_EQ(c.GetCellText(255, 1), "block edge");
  EXPECT_EQ(c.GetLastRow(), kMaxRow - 2);

  // A format alone in the last row is dropped when rows come in above it, as before.
  c.SetSelection(kMaxRow, 5, kMaxRow, 5);
  c.SetNumberFormat("0.00");
  c.InsertRange(1, -1, 1, -1, kShiftRows);
  c.SetCellText(kMaxRow, 5, "1");
  EXPECT_EQ(c.GetCellFormattedText(kMaxRow, 5), "1");
}
