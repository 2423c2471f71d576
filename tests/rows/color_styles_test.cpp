// Fill colours and font colours on a parameter's cell or column, with the user's row selection
// and active cell put back.
#include "rows_fixture.h"

// The styles the engine stored, read from its model.
#include "control/model/workbook.h"

using Strings = std::vector<std::string>;

namespace {
std::string Rows(int first, int last) {
  return std::to_string(first) + ",1:" + std::to_string(last) + "," +
         std::to_string(engine::kMaxCol);
}
}  // namespace

class ColorStyleTest : public RowsTest {
 protected:
  void SetUp() override {
    RowsTest::SetUp();
    FillSheet(4, 10);
  }
  const engine::Style& StyleAt(int row, int col) {
    const engine::Sheet& sheet = E().Book().Active();
    return E().Book().Styles().Get(sheet.EffectiveStyle(row, col));
  }
  std::uint32_t FontColorAt(int row, int col) {
    return E().Book().Styles().GetFont(StyleAt(row, col).font).color;
  }
  CZAT::COLOR_STYLE StyleOf(const CString& name, long row) {
    CZAT::COLOR_STYLE style = CZAT::COLOR_STYLE_BLUE;
    EXPECT_EQ(T().GetStyle(style, name, row), 0);
    return style;
  }
};

TEST_F(ColorStyleTest, ColourTablesMapBothWays) {
  EXPECT_EQ(T().GetStyleColor(CZAT::COLOR_STYLE_BLUE), 0xFF0000u);
  EXPECT_EQ(T().GetStyleColor(CZAT::COLOR_STYLE_RED), 0x0000FFu);
  EXPECT_EQ(T().GetStyleColor(CZAT::COLOR_STYLE_GREEN), 0x00FF00u);
  EXPECT_EQ(T().GetStyleColor(CZAT::COLOR_STYLE_NONE), 0u);
  EXPECT_EQ(T().GetStyleColor(static_cast<CZAT::COLOR_STYLE>(9)), 0u);
  EXPECT_EQ(T().GetColorStyle(0xFF0000), CZAT::COLOR_STYLE_BLUE);
  EXPECT_EQ(T().GetColorStyle(0x0000FF), CZAT::COLOR_STYLE_RED);
  EXPECT_EQ(T().GetColorStyle(0x00FF00), CZAT::COLOR_STYLE_GREEN);
  EXPECT_EQ(T().GetColorStyle(0x00FF01), CZAT::COLOR_STYLE_NONE);
  EXPECT_EQ(T().GetColorStyle(0), CZAT::COLOR_STYLE_NONE);
}

TEST_F(ColorStyleTest, OneCellGetsTheFillAndSilverBorders) {
  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_RED, "P2", 3), 0);
  EXPECT_EQ(StyleAt(3, 2).pattern, 1);
  EXPECT_EQ(StyleAt(3, 2).patternFore, 0x0000FFu);
  EXPECT_EQ(StyleAt(3, 2).left.line, 1);
  EXPECT_EQ(StyleAt(3, 2).bottom.color, 0xC0C0C0u);
  EXPECT_EQ(StyleAt(4, 2).pattern, 0);
  EXPECT_EQ(StyleAt(3, 3).pattern, 0);
  EXPECT_EQ(StyleOf("P2", 3), CZAT::COLOR_STYLE_RED);
  EXPECT_EQ(StyleOf("P2", 4), CZAT::COLOR_STYLE_NONE);
}

TEST_F(ColorStyleTest, WholeColumnAndClearing) {
  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_GREEN, "P3", 0), 0);
  EXPECT_EQ(StyleAt(1, 3).patternFore, 0x00FF00u);
  EXPECT_EQ(StyleAt(500, 3).patternFore, 0x00FF00u);
  EXPECT_EQ(StyleOf("P3", 0), CZAT::COLOR_STYLE_GREEN);
  EXPECT_EQ(StyleOf("P3", 7), CZAT::COLOR_STYLE_GREEN);
  EXPECT_EQ(StyleOf("P4", 0), CZAT::COLOR_STYLE_NONE);

  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_NONE, "P3", 7), 0);
  EXPECT_EQ(StyleOf("P3", 7), CZAT::COLOR_STYLE_NONE);
  EXPECT_EQ(StyleAt(7, 3).pattern, 0);
  EXPECT_EQ(StyleAt(7, 3).top.line, 1);  // the borders stay
  EXPECT_EQ(StyleOf("P3", 6), CZAT::COLOR_STYLE_GREEN);

  ASSERT_EQ(T().SetStyle(static_cast<CZAT::COLOR_STYLE>(7), "P3", 6), 0);
  EXPECT_EQ(StyleOf("P3", 6), CZAT::COLOR_STYLE_NONE);
}

TEST_F(ColorStyleTest, AFillOfAnotherColourReadsAsNone) {
  E().SetSelection(5, 1, 5, 1);
  E().SetPattern(1, 0x123456, engine::kAutoColor);
  EXPECT_EQ(StyleOf("P1", 5), CZAT::COLOR_STYLE_NONE);
}

TEST_F(ColorStyleTest, FontColourOfAColumnOrACell) {
  ASSERT_EQ(T().SetFontColor(0, "P1", 0x0000FF), 0);
  EXPECT_EQ(FontColorAt(1, 1), 0x0000FFu);
  EXPECT_EQ(FontColorAt(9, 1), 0x0000FFu);
  EXPECT_EQ(FontColorAt(1, 2), engine::kAutoColor);
  ASSERT_EQ(T().SetFontColor(5, "P2", 0x00FF00), 0);
  EXPECT_EQ(FontColorAt(5, 2), 0x00FF00u);
  EXPECT_EQ(FontColorAt(4, 2), engine::kAutoColor);
  EXPECT_EQ(StyleAt(5, 2).left.line, 0);  // no border
}

TEST_F(ColorStyleTest, RowSelectionAndActiveCellComeBack) {
  T().SelectRows(2, 4, 0, false);
  E().SetActiveCell(3, 2);
  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_BLUE, "P4", 8), 0);
  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_BLUE, "P4", 0), 0);
  StyleOf("P1", 9);
  ASSERT_EQ(T().SetFontColor(0, "P2", 0x0000FF), 0);
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 4)});
  int row = 0, col = 0;
  E().GetActiveCell(row, col);
  EXPECT_EQ(row, 3);
  EXPECT_EQ(col, 2);

  // A selection of ordinary cells is not kept; the active cell is.
  E().SetSelection(5, 1, 6, 2);
  E().SetActiveCell(6, 2);
  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_RED, "P1", 1), 0);
  EXPECT_EQ(Blocks(1), Strings{"6,2:6,2"});
}

TEST_F(ColorStyleTest, RowSelectionKeptWhileTheViewIsClosed) {
  EnsureSheets(2);
  E().SetActiveSheet(2);
  FillSheet(2, 5);
  SelectWholeRows(3, 4);
  E().SetActiveSheet(1);
  T().SelectRows(2, 4, 1, false);
  ASSERT_EQ(T().ViewClose(), 0);
  ASSERT_EQ(T().SetStyle(CZAT::COLOR_STYLE_GREEN, "P1", 2), 0);
  EXPECT_EQ(RangesText(T().SavedSelRows(), SheetName(1)), "2-4");
  EXPECT_EQ(RangesText(T().SavedSelRows(), SheetName(2)), "3-4");
  ASSERT_EQ(T().ViewOpen(), 0);
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 4)});
  EXPECT_EQ(Blocks(2), Strings{Rows(3, 4)});
}

TEST_F(ColorStyleTest, BadArgumentsChangeNothing) {
  T().SelectRows(2, 4, 0, false);
  const std::uint64_t before = E().ChangeCount();
  CZAT::COLOR_STYLE style = CZAT::COLOR_STYLE_GREEN;
  EXPECT_EQ(T().SetStyle(CZAT::COLOR_STYLE_RED, "p1", 2), -1);  // names are case-sensitive
  EXPECT_EQ(T().GetStyle(style, "Missing", 2), -1);
  EXPECT_EQ(style, CZAT::COLOR_STYLE_GREEN);
  EXPECT_EQ(T().SetFontColor(2, "", 0xFF), -1);
  EXPECT_EQ(T().SetStyle(CZAT::COLOR_STYLE_RED, "P1", -2), -1);
  EXPECT_EQ(T().SetStyle(CZAT::COLOR_STYLE_RED, "P1", engine::kMaxRow + 1), -1);
  EXPECT_EQ(T().SetFontColor(engine::kMaxRow + 1, "P1", 0xFF), -1);
  EXPECT_EQ(E().ChangeCount(), before);
  EXPECT_EQ(Blocks(1), Strings{Rows(2, 4)});
}
