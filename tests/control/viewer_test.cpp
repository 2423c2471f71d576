// Change notices to the control's viewers: the block of a cell edit, the whole workbook for
// structure, sheet changes for widths and hidden rows, selection changes; none once removed.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "control/control.h"

namespace {

class Viewer : public engine::ControlViewer {
 public:
  std::vector<std::string> notices;
  void OnCellsChanged(int sheet, int r1, int c1, int r2, int c2) override {
    notices.push_back("Cells(" + std::to_string(sheet) + ":" + std::to_string(r1) + "," +
                      std::to_string(c1) + "-" + std::to_string(r2) + "," + std::to_string(c2) +
                      ")");
  }
  void OnSheetChanged(int sheet) override {
    notices.push_back("Sheet(" + std::to_string(sheet) + ")");
  }
  void OnWorkbookChanged() override { notices.push_back("Workbook"); }
  void OnSelectionChanged() override { notices.push_back("Selection"); }
};

TEST(ViewerTest, ACellEditNamesItsBlockAndStructureNamesTheWorkbook) {
  engine::Control c;
  Viewer v;
  c.AddViewer(&v);
  c.AddViewer(&v);  // once only
  c.SetCellText(3, 2, "x");
  EXPECT_EQ(v.notices, std::vector<std::string>{"Cells(1:3,2-3,2)"});
  v.notices.clear();
  c.InsertRange(1, 1, 1, 1, engine::kShiftRows);
  EXPECT_EQ(v.notices, std::vector<std::string>{"Workbook"});
  v.notices.clear();
  c.InsertSheets(2, 1);
  c.SetActiveSheet(2);
  EXPECT_EQ(v.notices, (std::vector<std::string>{"Workbook", "Workbook"}));
}

TEST(ViewerTest, FormulasAddTheUsedRangeAfterTheCell) {
  engine::Control c;
  c.SetCellText(1, 1, "1");
  c.SetCellText(2, 1, "=A1*2");
  Viewer v;
  c.AddViewer(&v);
  c.SetCellText(1, 1, "5");
  ASSERT_EQ(v.notices.size(), 2u);
  EXPECT_EQ(v.notices[0], "Cells(1:1,1-1,1)");
  EXPECT_EQ(v.notices[1], "Cells(1:1,1-2,1)");
}

TEST(ViewerTest, LayoutAndSelectionAreToldAndARemovedViewerHearsNothing) {
  engine::Control c;
  Viewer v;
  c.AddViewer(&v);
  c.SetColumnWidth(2, 3000);
  c.SetRowsHidden(4, 5, true);
  c.SetColumnHidden(3, true);
  c.SetSelection(1, 1, 2, 2);
  c.AddSelection(5, 1, 5, 256);
  c.SetActiveCell(7, 7);
  EXPECT_EQ(v.notices, (std::vector<std::string>{"Sheet(1)", "Sheet(1)", "Sheet(1)", "Selection",
                                                 "Selection", "Selection"}));
  c.RemoveViewer(&v);
  v.notices.clear();
  c.SetCellText(1, 1, "y");
  c.SetSelection(2, 2, 2, 2);
  EXPECT_TRUE(v.notices.empty());
}

TEST(ViewerTest, CellLookCarriesTextTypeAndAFormatsColour) {
  engine::Control c;
  c.SetCellText(1, 1, "-4");
  c.SetSelection(1, 1, 1, 1);
  c.SetNumberFormat("0;[Blue]-0");
  engine::CellLook look;
  c.GetCellLook(1, 1, look);
  EXPECT_EQ(look.text, "-4");
  EXPECT_EQ(look.type, engine::kTypeNumber);
  EXPECT_EQ(look.formatColor, 0xFF0000u);  // blue as 0x00BBGGRR
  c.GetCellLook(2, 2, look);
  EXPECT_EQ(look.text, "");
  EXPECT_EQ(look.formatColor, engine::CellLook::kAutoColor);
  EXPECT_THROW(c.GetCellLook(0, 1, look), engine::EngineError);
}

}  // namespace
