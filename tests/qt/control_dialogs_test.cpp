// The control's Qt dialogs driven as a person would: counts of Replace All, a name in Go To,
// a three-key sort and a custom format code with its preview.
#include "qt/dialogs/control_dialogs.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QTest>
#include <QTimer>

#include "control/control.h"
#include "qt/dialogs/find_replace_dialog.h"
#include "qt/dialogs/goto_dialog.h"
#include "qt/dialogs/number_format_dialog.h"
#include "qt/dialogs/sort_dialog.h"

namespace {
struct ModifiedCounter : engine::ControlEvents {
  int modified = 0;
  void OnModified() override { ++modified; }
};

void Fill(engine::Control& c, const std::vector<std::vector<const char*>>& rows) {
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t k = 0; k < rows[r].size(); ++k)
      c.SetCellText(static_cast<int>(r + 1), static_cast<int>(k + 1), rows[r][k]);
}

std::pair<int, int> Active(const engine::Control& c) {
  int r, k;
  c.GetActiveCell(r, k);
  return {r, k};
}
}  // namespace

TEST(QtFindReplace, FindsAndReplacesAllWithOneModification) {
  engine::Control c;
  Fill(c, {{"red", "Blue"}, {"blue", "green"}, {"BLUE sky", "x"}});
  ModifiedCounter events;
  c.SetEventListener(&events);
  c.SetActiveCell(1, 1);

  qtui::FindReplaceDialog find(c, false);
  EXPECT_EQ(find.ReplaceEdit(), nullptr);
  QTest::keyClicks(find.FindEdit(), "blue");
  QTest::mouseClick(find.FindNextButton(), Qt::LeftButton);
  EXPECT_EQ(Active(c), std::make_pair(1, 2));
  find.SearchOrder()->setCurrentIndex(1);  // by columns: (2,1) before (1,2)
  c.SetActiveCell(1, 1);
  EXPECT_TRUE(find.FindNext());
  EXPECT_EQ(Active(c), std::make_pair(2, 1));
  find.MatchCase()->setChecked(true);
  find.WholeCell()->setChecked(true);
  EXPECT_TRUE(find.FindNext());
  EXPECT_EQ(Active(c), std::make_pair(2, 1));  // the only exact "blue"
  find.FindEdit()->setText("purple");
  EXPECT_FALSE(find.FindNext());
  EXPECT_TRUE(find.Status().contains("purple"));

  qtui::FindReplaceDialog replace(c, true);
  QTest::keyClicks(replace.FindEdit(), "blue");
  QTest::keyClicks(replace.ReplaceEdit(), "teal");
  QTest::mouseClick(replace.ReplaceAllButton(), Qt::LeftButton);
  EXPECT_EQ(replace.Status(), "3 cells replaced.");
  EXPECT_EQ(events.modified, 1);
  EXPECT_EQ(c.GetCellFormattedText(3, 1), "teal sky");
  EXPECT_EQ(replace.ReplaceAll(), 0);
  EXPECT_EQ(events.modified, 1);
}

TEST(QtGoto, GoesToANameAndStaysOpenOnABadReference) {
  engine::Control c;
  c.SetDefinedName("Limits", "=$C$4:$D$6");
  qtui::GotoDialog dialog(c);
  ASSERT_EQ(dialog.Names()->count(), 1);
  dialog.show();
  dialog.Reference()->setText("ZZ99");
  dialog.accept();
  EXPECT_TRUE(dialog.isVisible());
  EXPECT_FALSE(dialog.Error().isEmpty());
  dialog.Names()->setCurrentRow(0);
  EXPECT_EQ(dialog.Reference()->text(), "Limits");
  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{4, 3, 6, 4}));
}

TEST(QtSort, ThreeKeysAndTheWideningQuestion) {
  engine::Control c;
  Fill(c, {{"b", "x", "1"}, {"a", "y", "2"}, {"b", "x", "3"}, {"a", "z", "1"}, {"a", "y", "1"}});
  c.SetColumnHeadingText(1, "Group");
  c.SetSelection(1, 1, 5, 2);  // leaves out column 3
  qtui::SortDialog dialog(c);
  int asked = 0;
  dialog.SetWidenQuestion([&] {
    ++asked;
    return qtui::SortDialog::Widen::Yes;
  });
  ASSERT_TRUE(dialog.Prepare());
  EXPECT_EQ(asked, 1);
  EXPECT_FALSE(dialog.Header()->isChecked());
  ASSERT_EQ(dialog.Key(0)->count(), 3);  // widened to the three used columns
  EXPECT_TRUE(dialog.Key(0)->itemText(0).contains("Group"));
  dialog.Key(0)->setCurrentIndex(0);  // column A ascending
  dialog.Key(1)->setCurrentIndex(2);  // column B (after "(none)") descending
  dialog.Direction(1)->setCurrentIndex(1);
  dialog.Key(2)->setCurrentIndex(3);  // column C descending
  dialog.Direction(2)->setCurrentIndex(1);
  dialog.show();
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  std::vector<std::string> rows;
  for (int r = 1; r <= 5; ++r)
    rows.push_back(c.GetCellFormattedText(r, 1) + c.GetCellFormattedText(r, 2) +
                   c.GetCellFormattedText(r, 3));
  EXPECT_EQ(rows, (std::vector<std::string>{"az1", "ay2", "ay1", "bx3", "bx1"}));

  // Cancelling the question cancels the sort.
  c.SetSelection(1, 2, 5, 2);
  qtui::SortDialog again(c);
  again.SetWidenQuestion([] { return qtui::SortDialog::Widen::Cancel; });
  EXPECT_FALSE(again.Prepare());
}

TEST(QtNumberFormat, ACustomCodeIsPreviewedCheckedAndApplied) {
  engine::Control c;
  c.SetCellText(1, 1, "1234.5");
  c.SetSelection(1, 1, 2, 1);
  qtui::NumberFormatDialog dialog(c);
  EXPECT_GT(dialog.Categories()->count(), 5);
  dialog.Categories()->setCurrentRow(4);  // Percentage
  ASSERT_GT(dialog.Codes()->count(), 0);
  EXPECT_TRUE(dialog.Codes()->item(0)->text().contains('%'));

  dialog.Code()->clear();
  QTest::keyClicks(dialog.Code(), "#,##0.00 \"units\"");
  EXPECT_EQ(dialog.Preview(), "1,234.50 units");
  EXPECT_TRUE(dialog.OkButton()->isEnabled());
  dialog.Code()->setText("0.0[Mauve]");
  EXPECT_FALSE(dialog.Error().isEmpty());
  EXPECT_TRUE(dialog.Preview().isEmpty());
  EXPECT_FALSE(dialog.OkButton()->isEnabled());
  dialog.show();
  dialog.accept();  // refused: stays open
  EXPECT_TRUE(dialog.isVisible());

  dialog.Code()->setText("0.0");
  dialog.accept();
  EXPECT_FALSE(dialog.isVisible());
  EXPECT_EQ(c.GetCellFormattedText(1, 1), "1234.5");
  EXPECT_EQ(c.GetNumberFormat(), "0.0");
}

TEST(QtControlDialogs, EachDialogRunsModallyAndCancelReportsFalse) {
  engine::Control c;
  c.SetCellText(1, 1, "5");
  c.SetSelection(1, 1, 2, 1);
  qtui::QtControlDialogs dialogs;
  c.SetDialogs(&dialogs);
  std::vector<QString> titles;
  auto closeNext = [&] {
    QTimer::singleShot(0, [&] {
      if (QWidget* w = QApplication::activeModalWidget()) {
        titles.push_back(w->windowTitle());
        static_cast<QDialog*>(w)->reject();
      }
    });
  };
  closeNext();
  EXPECT_FALSE(dialogs.Find(c));
  closeNext();
  EXPECT_FALSE(dialogs.Replace(c));
  closeNext();
  EXPECT_FALSE(dialogs.Goto(c));
  closeNext();
  EXPECT_FALSE(dialogs.Sort(c));
  closeNext();
  c.ShowNumberFormatDialog();  // through the engine, as the Format menu does
  closeNext();
  c.ShowValidationRuleDialog();
  EXPECT_EQ(titles, (std::vector<QString>{"Find", "Replace", "Go To", "Sort", "Number Format",
                                          "Validation Rule"}));
  c.SetDialogs(nullptr);
}

// With DT_SCREENSHOT_DIR set, the Number Format dialog is saved there as a picture.
TEST(QtNumberFormat, Screenshot) {
  const QByteArray dir = qgetenv("DT_SCREENSHOT_DIR");
  if (dir.isEmpty()) GTEST_SKIP() << "DT_SCREENSHOT_DIR not set";
  engine::Control c;
  c.SetCellText(1, 1, "1234.5");
  c.SetActiveCell(1, 1);
  qtui::NumberFormatDialog dialog(c);
  dialog.Categories()->setCurrentRow(3);
  dialog.Code()->setText("#,##0.00 \"units\";[Red]-#,##0.00 \"units\"");
  dialog.resize(520, 420);
  dialog.show();
  QApplication::processEvents();
  EXPECT_TRUE(dialog.grab().save(QString::fromUtf8(dir) + "/number_format_dialog.png"));
}
