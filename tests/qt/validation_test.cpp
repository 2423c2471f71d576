// Validation on screen, driven as a person would: a list rule's drop-down offers its items and a
// typed value outside them is refused (stop), a warning answered Yes keeps the value, the input
// message shows on the active cell, the Validation Rule dialog reads and writes a rule and
// refuses one that cannot work; and an .afl file's round trip through the AutoFill Lists dialog.
#include <gtest/gtest.h>

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "commands/autofill_lists.h"
#include "control/control.h"
#include "platform/headless/headless_platform.h"
#include "qt/cell_validation.h"
#include "qt/dialogs/control_dialogs.h"
#include "qt/dialogs/validation_rule_dialog.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"
#include "qt/template_dialog.h"
#include "qt_support.h"
#include "table_fixture.h"

namespace {

struct EditEvents : engine::ControlEvents {
  int endEdits = 0, modified = 0;
  void OnEndEdit(std::string&, short&) override { ++endEdits; }
  void OnModified() override { ++modified; }
};

class ValidationGridTest : public ::testing::Test {
 protected:
  void SetUp() override {
    control_.SetEventListener(&events_);
    control_.SetDialogs(&dialogs_);
    view_.resize(600, 400);
    view_.show();
    view_.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&view_));
  }
  void ClickCell(int row, int col) {
    const QPoint at = view_.visualRect(model_.index(row - 1, col - 1)).center();
    QTest::mouseClick(view_.viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }
  // Types text into the active cell and presses Enter; the message box that comes up gets
  // `answer` (NoButton: none is expected).
  QString TypeAndEnter(const QString& text, QMessageBox::StandardButton answer) {
    QString shown;
    QTest::keyClicks(&view_, text.left(1));  // the first key opens the editor
    EXPECT_TRUE(view_.IsEditing());
    editor_ = Editor();
    EXPECT_NE(editor_, nullptr);
    if (editor_ == nullptr) return shown;
    QTest::keyClicks(editor_, text.mid(1));
    if (answer != QMessageBox::NoButton) AnswerNextBox(answer, &shown);
    QTest::keyClick(editor_, Qt::Key_Return);
    return shown;
  }
  // The open editor (a closed one waits for its deletion, hidden).
  QLineEdit* Editor() const {
    for (QLineEdit* line : view_.viewport()->findChildren<QLineEdit*>())
      if (line->isVisible()) return line;
    return nullptr;
  }

  engine::Control control_;
  EditEvents events_;
  qtui::QtControlDialogs dialogs_;
  qtui::GridModel model_{&control_};
  qtui::GridView view_{&model_};
  QLineEdit* editor_ = nullptr;
};

TEST_F(ValidationGridTest, ListDropDownOffersItsItemsAndStopRefusesOthers) {
  engine::ValidationRule rule;
  rule.type = engine::ValidationType::List;
  rule.items = {"red", "green", "blue"};
  rule.errorTitle = "Colour";
  rule.errorText = "Pick one of the colours.";
  control_.SetValidationRule(1, 1, 5, 1, rule);
  qtui::CellValidationAids& aids = view_.Validation();
  ClickCell(3, 2);
  EXPECT_FALSE(aids.Button()->isVisible());  // no rule there
  ClickCell(2, 1);
  ASSERT_TRUE(aids.Button()->isVisible());
  EXPECT_TRUE(view_.visualRect(model_.index(1, 0)).contains(aids.Button()->geometry().center()));

  QTest::mouseClick(aids.Button(), Qt::LeftButton);
  QListWidget* list = aids.List();
  ASSERT_TRUE(list->isVisible());
  ASSERT_EQ(list->count(), 3);
  EXPECT_EQ(list->item(0)->text(), "red");
  EXPECT_EQ(list->item(2)->text(), "blue");
  QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier,
                    list->visualItemRect(list->item(1)).center());
  EXPECT_FALSE(list->isVisible());
  EXPECT_EQ(control_.GetCellText(2, 1), "green");
  EXPECT_EQ(events_.endEdits, 1);

  // Alt+Down opens the list too; Escape closes it and nothing changes.
  QTest::keyClick(&view_, Qt::Key_Down, Qt::AltModifier);
  ASSERT_TRUE(list->isVisible());
  EXPECT_EQ(list->currentItem()->text(), "green");  // the cell's value is the current item
  QTest::keyClick(list, Qt::Key_Escape);
  EXPECT_FALSE(list->isVisible());

  // A typed value outside the list: Retry keeps the editor with the text, Cancel restores.
  const int modified = events_.modified, endEdits = events_.endEdits;
  EXPECT_EQ(TypeAndEnter("purple", QMessageBox::Retry), "Pick one of the colours.");
  EXPECT_TRUE(view_.IsEditing());
  QLineEdit* editor = Editor();
  ASSERT_NE(editor, nullptr);
  EXPECT_EQ(editor->text(), "purple");
  EXPECT_EQ(editor->selectedText(), "purple");  // ready to be typed over
  EXPECT_EQ(control_.GetCellText(2, 1), "green");
  AnswerNextBox(QMessageBox::Cancel);
  QTest::keyClick(editor, Qt::Key_Return);
  EXPECT_FALSE(view_.IsEditing());
  EXPECT_EQ(control_.GetCellText(2, 1), "green");
  EXPECT_EQ(events_.modified, modified);
  EXPECT_EQ(events_.endEdits, endEdits);
  EXPECT_EQ(view_.currentIndex(), model_.index(1, 0));  // a refusal does not move on

  // A value of the list typed by hand is entered as any entry.
  TypeAndEnter("blue", QMessageBox::NoButton);
  EXPECT_EQ(control_.GetCellText(2, 1), "blue");
  EXPECT_EQ(view_.currentIndex(), model_.index(2, 0));
}

TEST_F(ValidationGridTest, WarningAnsweredYesKeepsTheValueAndTheInputMessageShows) {
  engine::ValidationRule rule;
  rule.type = engine::ValidationType::Whole;
  rule.op = engine::ValidationOperator::Between;
  rule.formula1 = "1";
  rule.formula2 = "10";
  rule.errorStyle = engine::ErrorStyle::Warning;
  rule.inputTitle = "Count";
  rule.inputText = "A whole number from 1 to 10 <b>";
  control_.SetValidationRule(2, 2, 2, 2, rule);
  qtui::CellValidationAids& aids = view_.Validation();
  ClickCell(2, 2);
  ASSERT_TRUE(aids.Note()->isVisible());
  EXPECT_TRUE(aids.Note()->text().contains("Count"));
  EXPECT_TRUE(aids.Note()->text().contains("&lt;b&gt;"));  // the rule's text is not markup
  EXPECT_FALSE(aids.Button()->isVisible());

  EXPECT_EQ(TypeAndEnter("50", QMessageBox::Yes),
            "The value you entered is not valid.\nThe cell accepts only values that meet its "
            "validation rule.");
  EXPECT_FALSE(view_.IsEditing());
  EXPECT_EQ(control_.GetCellText(2, 2), "50");
  EXPECT_EQ(events_.endEdits, 1);
  EXPECT_FALSE(aids.Note()->isVisible());  // the active cell moved down, out of the rule

  ClickCell(2, 2);
  TypeAndEnter("70", QMessageBox::No);  // No: correct it
  EXPECT_TRUE(view_.IsEditing());
  ASSERT_NE(Editor(), nullptr);
  QTest::keyClick(Editor(), Qt::Key_Escape);  // Escape cancels quietly
  EXPECT_FALSE(view_.IsEditing());
  EXPECT_EQ(control_.GetCellText(2, 2), "50");

  // Leaving the cell with the mouse asks too; the editor cannot stay on a cell the person
  // left, so Retry there leaves the cell as it was.
  ClickCell(2, 2);
  QTest::keyClicks(&view_, "9");
  ASSERT_NE(Editor(), nullptr);
  QTest::keyClicks(Editor(), "9");
  QString shown;
  AnswerNextBox(QMessageBox::No, &shown);
  ClickCell(5, 5);
  EXPECT_FALSE(shown.isEmpty());
  EXPECT_FALSE(view_.IsEditing());
  EXPECT_FALSE(control_.IsEditing());
  EXPECT_EQ(control_.GetCellText(2, 2), "50");

  // A host's write is never questioned.
  control_.SetCellText(2, 2, "500");
  EXPECT_EQ(control_.GetCellText(2, 2), "500");
}

TEST(QtValidationRuleDialog, ReadsTheActiveCellsRuleAndWritesTheSelection) {
  engine::Control c;
  engine::ValidationRule rule;
  rule.type = engine::ValidationType::Decimal;
  rule.op = engine::ValidationOperator::Between;
  rule.formula1 = "0.5";
  rule.formula2 = "B1";
  rule.errorStyle = engine::ErrorStyle::Information;
  rule.errorTitle = "Ratio";
  rule.inputText = "Between a half and B1";
  c.SetValidationRule(2, 2, 4, 2, rule);
  c.SetSelection(3, 2, 3, 2);
  c.SetActiveCell(3, 2);

  qtui::ValidationRuleDialog dialog(c);
  EXPECT_EQ(dialog.Allow()->currentIndex(), 2);
  EXPECT_EQ(dialog.Operator()->currentIndex(), 0);
  EXPECT_EQ(dialog.Value1()->text(), "0.5");
  EXPECT_EQ(dialog.Value2()->text(), "=B1");
  EXPECT_EQ(dialog.ErrorStyle()->currentIndex(), 2);
  EXPECT_EQ(dialog.ErrorTitle()->text(), "Ratio");
  EXPECT_EQ(dialog.InputText()->toPlainText(), "Between a half and B1");

  // A minimum above the maximum is refused with the reason; the dialog stays open.
  dialog.Allow()->setCurrentIndex(1);  // whole number
  dialog.Value1()->setText("20");
  dialog.Value2()->setText("5");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_TRUE(dialog.Error().contains("minimum"));
  EXPECT_EQ(c.GetValidationRule(3, 2)->type, engine::ValidationType::Decimal);
  // An empty list is refused too.
  dialog.Allow()->setCurrentIndex(3);
  EXPECT_FALSE(dialog.Value2()->isVisibleTo(&dialog));
  EXPECT_TRUE(dialog.DropDown()->isVisibleTo(&dialog));
  dialog.Value1()->setText(" , ");
  dialog.accept();
  EXPECT_NE(dialog.result(), QDialog::Accepted);
  EXPECT_FALSE(dialog.Error().isEmpty());

  dialog.Value1()->setText("yes, no, \"maybe, later\"");
  dialog.ErrorStyle()->setCurrentIndex(1);
  dialog.ErrorText()->setPlainText("Answer yes or no.");
  dialog.accept();
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  const engine::ValidationRule* written = c.GetValidationRule(3, 2);
  ASSERT_NE(written, nullptr);
  EXPECT_EQ(written->type, engine::ValidationType::List);
  EXPECT_EQ(written->items, (std::vector<std::string>{"yes", "no", "maybe, later"}));
  EXPECT_EQ(written->errorStyle, engine::ErrorStyle::Warning);
  EXPECT_EQ(written->errorText, "Answer yes or no.");
  EXPECT_EQ(c.GetValidationRule(2, 2)->type, engine::ValidationType::Decimal);  // not selected

  // The engine's dialog call shows it modally; Clear All and OK take the rule away.
  qtui::QtControlDialogs dialogs;
  c.SetDialogs(&dialogs);
  QString source;
  WhenModal([&source](QWidget* w) {
    auto* d = qobject_cast<qtui::ValidationRuleDialog*>(w);
    if (d == nullptr) return;
    source = d->Value1()->text();
    QTest::mouseClick(d->ClearAllButton(), Qt::LeftButton);
    d->accept();
  });
  c.ShowValidationRuleDialog();
  EXPECT_EQ(source, "yes, no, \"maybe, later\"");
  EXPECT_EQ(c.GetValidationRule(3, 2), nullptr);
}

class QtAutoFillListsTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform_ =
        std::make_shared<qtui::QtPlatform>(QLocale(QLocale::English, QLocale::UnitedStates));
    auto files = std::make_unique<platform::HeadlessFileDialogs>();
    files_ = files.get();
    platform_->SetFileDialogs(std::move(files));
    platform::Install(platform_);
    table_ = TablePtr(
        new ProbeTable(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, true, true));
    dir_ = std::filesystem::temp_directory_path() /
           ("afl_qt_" + std::to_string(QCoreApplication::applicationPid()));
    std::filesystem::create_directories(dir_);
  }
  void TearDown() override {
    table_.reset();
    platform::Install(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    std::filesystem::remove_all(dir_);
  }
  std::string Path(const char* name) const { return (dir_ / name).string(); }
  engine::Control& Engine() { return table_->Engine(); }
  std::vector<std::string> Lists() {
    std::vector<std::string> out;
    for (short i = 1; i <= Engine().GetAutoFillListCount(); ++i)
      out.push_back(Engine().GetAutoFillList(i));
    return out;
  }
  static QPushButton* ButtonOf(QWidget* dialog, const QString& text) {
    for (auto* b : dialog->findChildren<QPushButton*>())
      if (b->text() == text) return b;
    return nullptr;
  }
  // Opens the dialog from the Data menu; `person` acts in it, then it is closed with Cancel.
  void RunDialog(std::function<void(qtui::TemplateDialog*)> person) {
    bool ran = false;
    WhenModal([&](QWidget* w) {
      auto* d = qobject_cast<qtui::TemplateDialog*>(w);
      if (d == nullptr) return;
      person(d);
      ran = true;
      d->reject();
    });
    QAction* action = FrameOf(table_.get())->CommandAction(34308);
    ASSERT_NE(action, nullptr);
    action->trigger();
    EXPECT_TRUE(ran);
  }

  TemporarySettings settings_;
  std::shared_ptr<qtui::QtPlatform> platform_;
  platform::HeadlessFileDialogs* files_ = nullptr;
  TablePtr table_;
  std::filesystem::path dir_;
};

TEST_F(QtAutoFillListsTest, AFileLoadsIsEditedSavedAndReadBackTheSame) {
  std::ofstream(Path("in.afl"), std::ios::binary) << "Red;Green;Blue\r\nOne;Two\r\n\r\nsolo\n";
  files_->QueueResult({Path("in.afl"), 1});
  files_->QueueResult({Path("out.afl"), 1});
  QStringList shown;
  RunDialog([&](qtui::TemplateDialog* d) {
    QTest::mouseClick(ButtonOf(d, "&Open..."), Qt::LeftButton);
    QListWidget* lists = d->List(CAutoFLst::kLists);
    for (int i = 0; i < lists->count(); ++i) shown << lists->item(i)->text();
    // Edit the first list in place and add a new one.
    lists->setCurrentRow(0);
    QLineEdit* current = d->Edit(CAutoFLst::kCurrentList);
    EXPECT_EQ(current->text(), "Red;Green;Blue");
    current->selectAll();
    QTest::keyClicks(current, "Red;Amber;Green");
    QTest::mouseClick(ButtonOf(d, "&Add"), Qt::LeftButton);
    lists->setCurrentRow(lists->count() - 1);  // the new-list entry
    QTest::keyClicks(d->Edit(CAutoFLst::kCurrentList), "Q1;Q2;Q3;Q4");
    QTest::mouseClick(ButtonOf(d, "&Add"), Qt::LeftButton);
    QTest::mouseClick(ButtonOf(d, "&Save..."), Qt::LeftButton);
  });
  EXPECT_EQ(shown, QStringList({"Red;Green;Blue", "One;Two", "", "solo", " "}));
  const std::vector<std::string> edited{"Red;Amber;Green", "One;Two", "", "solo", "Q1;Q2;Q3;Q4"};
  EXPECT_EQ(Lists(), edited);  // Cancel keeps what the dialog did
  std::ifstream in(Path("out.afl"), std::ios::binary);
  std::stringstream saved;
  saved << in.rdbuf();
  EXPECT_EQ(saved.str(), "Red;Amber;Green\nOne;Two\n\nsolo\nQ1;Q2;Q3;Q4\n");

  // Reloading the saved file gives the same lists, in place of whatever the engine holds.
  while (Engine().GetAutoFillListCount() > 0) Engine().DeleteAutoFillList(1);
  Engine().SetAutoFillList(1, "x;y");
  files_->QueueResult({Path("out.afl"), 1});
  RunDialog([&](qtui::TemplateDialog* d) {
    QTest::mouseClick(ButtonOf(d, "&Open..."), Qt::LeftButton);
    EXPECT_EQ(d->List(CAutoFLst::kLists)->count(), 6);
  });
  EXPECT_EQ(Lists(), edited);
}

}  // namespace
