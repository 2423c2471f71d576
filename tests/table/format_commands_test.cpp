// The Format menu: the number formats it applies, the date item's text, and the state handler
// that disables the items outside the used area and trims a selection reaching past it.
#include <optional>

#include "table_fixture.h"

namespace {
enum : unsigned {
  kGeneral = 34309,
  kPercent = 34313,
  kDate = 34316,
  kTime = 34317,
  kCustomNumber = 34318,
  kValidationRule = 34319,
};

class FormatCommandsTest : public TableTest {
 protected:
  std::optional<bool> State(unsigned id, bool submenu = false) {
    return F().UpdateCommand(id, submenu).enabled;
  }
  void Selection(int& r1, int& c1, int& r2, int& c2) { E().GetSelection(0, r1, c1, r2, c2); }
};

class ModalNumberFormat : public engine::ControlDialogs {
 public:
  explicit ModalNumberFormat(ProbeTable& t) : table(t) {}
  bool NumberFormat(engine::Control& c) override {
    modalSeen = !table.NoModalUp();
    c.SetNumberFormat("0.000");
    return true;
  }
  bool ValidationRule(engine::Control&) override {
    modalSeen = !table.NoModalUp();
    return true;
  }
  ProbeTable& table;
  bool modalSeen = false;
};
}  // namespace

TEST_F(FormatCommandsTest, TheDateItemShowsTheTablesDateFormat) {
  const auto state = F().UpdateCommand(kDate);
  ASSERT_TRUE(state.text.has_value());
  EXPECT_EQ(*state.text, "&Date: " + T().ShortDateFormat() + " ");
  EXPECT_FALSE(T().ShortDateFormat().empty());
  // Other items keep their text.
  EXPECT_FALSE(F().UpdateCommand(kGeneral).text.has_value());
  // The text is set even while the item is disabled (nothing selected in a used area).
  EXPECT_EQ(state.enabled, std::optional<bool>(false));
}

TEST_F(FormatCommandsTest, ItemsOutsideTheUsedAreaAreDisabled) {
  FillSheet(2, 3);
  E().SetSelection(1, 3, 2, 3);  // right of the last parameter
  for (unsigned id = kGeneral; id <= kValidationRule; ++id) EXPECT_EQ(State(id), false) << id;
  E().SetSelection(4, 1, 5, 2);  // below the last row
  EXPECT_EQ(State(kPercent), false);
  E().SetSelection(2, 1, 3, 2);
  EXPECT_EQ(State(kPercent), true);
  E().AddSelection(1, 1, 1, 1);
  EXPECT_EQ(State(kPercent), false);
  EXPECT_EQ(State(kPercent, true), false);  // the submenu entry too
}

TEST_F(FormatCommandsTest, ASelectionReachingPastTheUsedAreaIsTrimmedWhenTheMenuOpens) {
  FillSheet(2, 3);
  E().SetSelection(2, 1, 10, 7);
  EXPECT_EQ(State(kPercent), true);
  int r1, c1, r2, c2;
  Selection(r1, c1, r2, c2);
  EXPECT_EQ(r1, 2);
  EXPECT_EQ(c1, 1);
  EXPECT_EQ(r2, 3);
  EXPECT_EQ(c2, 2);
  // Whole columns shrink to the used rows.
  E().SetSelection(1, 2, E().GetMaxRow(), 2);
  EXPECT_EQ(State(kGeneral), true);
  Selection(r1, c1, r2, c2);
  EXPECT_EQ(r2, 3);
  // Applying a format then touches only the trimmed cells.
  E().SetSelection(2, 1, 10, 7);
  State(kPercent);
  F().Command(kPercent);
  E().SetActiveCell(2, 1);
  EXPECT_EQ(E().GetNumberFormat(), "0%");
  E().SetActiveCell(4, 1);
  EXPECT_EQ(E().GetNumberFormat(), "General");
}

TEST_F(FormatCommandsTest, TheSubmenuEntryIsGrayedInAReadOnlyTable) {
  FillSheet(1, 2);
  E().SetSelection(1, 1, 2, 1);
  EXPECT_EQ(State(kGeneral, true), true);
  T().SetReadOnly(true);
  EXPECT_EQ(State(kGeneral, true), false);
  EXPECT_EQ(State(kGeneral), false);
}

TEST_F(FormatCommandsTest, TheDateAndCustomItemsApplyTheirFormats) {
  FillSheet(1, 2);
  E().SetSelection(1, 1, 2, 1);
  F().Command(kDate);
  EXPECT_EQ(E().GetNumberFormat(), T().ShortDateFormat());
  F().Command(kTime);
  EXPECT_NE(E().GetNumberFormat(), T().ShortDateFormat());

  ModalNumberFormat dialogs(T());
  E().SetDialogs(&dialogs);
  F().Command(kCustomNumber);
  EXPECT_TRUE(dialogs.modalSeen);
  EXPECT_EQ(E().GetNumberFormat(), "0.000");
  dialogs.modalSeen = false;
  F().Command(kValidationRule);
  EXPECT_TRUE(dialogs.modalSeen);
  EXPECT_TRUE(T().NoModalUp());
  E().SetDialogs(nullptr);
}
