// A table on the Qt platform as a person and a host use it: placement in QSettings, in-cell
// edits through the grid, renaming a parameter from its heading, row selection both ways, sheet
// tabs, the view, the close question and the Japanese resources.

#include <gtest/gtest.h>

#include <QHeaderView>
#include <QLineEdit>
#include <QMainWindow>
#include <QMenuBar>
#include <QSettings>
#include <QSignalSpy>
#include <QStatusBar>
#include <QTabBar>
#include <QTest>

#include "datatable/czat_psf1.h"
#include "datatable/qt_platform.h"
#include "platform/platform.h"
#include "qt/grid_model.h"
#include "qt/grid_view.h"
#include "qt/template_dialog.h"
#include "qt_support.h"
#include "table/headedit.h"
#include "table_fixture.h"

namespace {

class QtTableTest : public ::testing::Test {
 protected:
  void SetUp() override { Install(QLocale(QLocale::English, QLocale::UnitedStates)); }
  void TearDown() override {
    table_.reset();
    platform::Install(nullptr);
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
  }
  void Install(const QLocale& locale) {
    platform_ = std::make_shared<qtui::QtPlatform>(locale);
    platform::Install(platform_);
  }
  TablePtr Make(bool child = false, CWnd* parent = nullptr) {
    return TablePtr(
        new ProbeTable(parent, CString(), CZAT::FILE_TYPE_NONE, nullptr, child, true, true));
  }
  void Fill(ProbeTable& t, int params, int rows) {
    for (int c = 1; c <= params; ++c) {
      CString name = "P" + std::to_string(c);
      ASSERT_EQ(t.AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 1), 0);
      for (int r = 1; r <= rows; ++r)
        ASSERT_EQ(t.AddArgValue(r, name, std::to_string(r) + ":" + std::to_string(c), 0, nullptr),
                  0);
    }
  }
  qtui::GridView* Grid(ProbeTable& t) { return FrameOf(&t)->Pane()->Grid(); }
  // A double-click on the heading of column col (1-based).
  void DoubleClickHeading(ProbeTable& t, int col) {
    QHeaderView* header = Grid(t)->horizontalHeader();
    const QPoint at(header->sectionViewportPosition(col - 1) + 5, header->height() / 2);
    QTest::mouseDClick(header->viewport(), Qt::LeftButton, Qt::NoModifier, at);
  }
  void ClickRowHeading(ProbeTable& t, int row, Qt::KeyboardModifiers mods) {
    QHeaderView* header = Grid(t)->verticalHeader();
    const QPoint at(header->width() / 2, header->sectionViewportPosition(row - 1) + 5);
    QTest::mouseClick(header->viewport(), Qt::LeftButton, mods, at);
  }
  // Answers the next Change Parameter Name dialog with a name (empty: Cancel).
  static void AnswerRename(const QString& name, QString* title = nullptr) {
    WhenModal([name, title](QWidget* w) {
      auto* dialog = qobject_cast<qtui::TemplateDialog*>(w);
      if (dialog == nullptr) return;
      if (title != nullptr) *title = dialog->windowTitle();
      if (name.isEmpty()) {
        dialog->reject();
        return;
      }
      dialog->Edit(1007)->setText(name);
      dialog->accept();
    });
  }

  TemporarySettings settings_;
  std::shared_ptr<qtui::QtPlatform> platform_;
  RecordingSink sink_;
  TablePtr table_;
};

TEST_F(QtTableTest, MenuTrimmedByTheConstructionFlags) {
  table_ = TablePtr(
      new ProbeTable(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, false, false));
  QMainWindow* main = FrameOf(table_.get())->MainWindow();
  ASSERT_NE(main, nullptr);
  QMenu* file = main->menuBar()->actions()[0]->menu();
  EXPECT_EQ(file->actions()[0]->text(), "&Import...");
  EXPECT_EQ(FrameOf(table_.get())->CommandAction(57609), nullptr);
  auto full = Make();
  QMenu* fullFile = FrameOf(full.get())->MainWindow()->menuBar()->actions()[0]->menu();
  EXPECT_EQ(fullFile->actions()[0]->text(), "&New");
  EXPECT_EQ(fullFile->actions().size(), 13);
  EXPECT_EQ(main->windowTitle(), "Data Table");
  EXPECT_FALSE(main->windowIcon().isNull());
}

TEST_F(QtTableTest, PlacementIsWrittenToAndReadFromTheSettings) {
  table_ = Make();
  QWidget* window = datatable::TableWindow(table_.get());
  ASSERT_NE(window, nullptr);
  window->move(120, 80);
  window->resize(400, 300);
  table_.reset();  // Destroy writes the rectangle
  QSettings settings;
  EXPECT_EQ(settings.value("Data Table/Left").toInt(), 120);
  EXPECT_EQ(settings.value("Data Table/Top").toInt(), 80);
  EXPECT_EQ(settings.value("Data Table/Right").toInt(), 520);
  EXPECT_EQ(settings.value("Data Table/Bottom").toInt(), 380);
  table_ = Make();
  const QRect r = datatable::TableWindow(table_.get())->frameGeometry();
  EXPECT_EQ(r, QRect(120, 80, 400, 300));
}

TEST_F(QtTableTest, EditsStartOnlyInsideTheTableAndOneBeyond) {
  table_ = Make();
  Fill(*table_, 3, 10);
  qtui::GridView* grid = Grid(*table_);
  auto tryEdit = [&](int row, int col) {
    grid->setCurrentIndex(grid->model()->index(row - 1, col - 1));
    grid->edit(grid->currentIndex());
    const bool editing = grid->IsEditing();
    if (editing) QTest::keyClick(grid->focusWidget(), Qt::Key_Escape);
    return editing;
  };
  table_->ViewOpen();
  EXPECT_TRUE(tryEdit(11, 4));   // D11
  EXPECT_FALSE(tryEdit(1, 5));   // E1
  EXPECT_FALSE(tryEdit(12, 1));  // A12
  EXPECT_FALSE(table_->Engine().IsEditing());
}

TEST_F(QtTableTest, TypingIntoTheNextColumnNamesItAndEnterMovesDown) {
  table_ = Make();
  Fill(*table_, 3, 10);
  table_->ViewOpen();
  QWidget* window = datatable::TableWindow(table_.get());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  qtui::GridView* grid = Grid(*table_);
  QSignalSpy resets(grid->model(), &QAbstractItemModel::modelReset);
  QSignalSpy changes(grid->model(), &QAbstractItemModel::dataChanged);
  grid->setFocus();
  grid->setCurrentIndex(grid->model()->index(1, 3));  // D2
  QTest::keyClick(grid, Qt::Key_4);
  ASSERT_TRUE(grid->IsEditing());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_2);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
  QCoreApplication::processEvents();  // Enter commits once the editor has seen the key
  EXPECT_EQ(table_->Engine().GetCellText(2, 4), "42");
  EXPECT_EQ(grid->model()->index(1, 3).data().toString(), "42");
  EXPECT_EQ(table_->Engine().GetColumnHeadingText(4).rfind("Noname", 0), 0u);
  EXPECT_EQ(grid->model()->headerData(3, Qt::Horizontal).toString().toStdString(),
            table_->Engine().GetColumnHeadingText(4));
  EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 3));  // moved down
  EXPECT_EQ(resets.count(), 0);
  EXPECT_GT(changes.count(), 0);
  // Escape cancels, Tab commits and moves right.
  QTest::keyClick(grid, Qt::Key_X);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Escape);
  EXPECT_EQ(table_->Engine().GetCellText(3, 4), "");
  QTest::keyClick(grid, Qt::Key_Y);
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Tab);
  EXPECT_EQ(table_->Engine().GetCellText(3, 4), "y");
  EXPECT_EQ(grid->currentIndex(), grid->model()->index(2, 4));
}

TEST_F(QtTableTest, LeavingAnEditedCellByArrowOrClickLandsWhereThePersonWent) {
  table_ = Make();
  Fill(*table_, 3, 10);
  table_->ViewOpen();
  QWidget* window = datatable::TableWindow(table_.get());
  window->activateWindow();
  ASSERT_TRUE(QTest::qWaitForWindowActive(window));
  qtui::GridView* grid = Grid(*table_);
  grid->setFocus();
  grid->setCurrentIndex(grid->model()->index(3, 3));  // D4
  QTest::keyClick(grid, Qt::Key_7);
  ASSERT_TRUE(grid->IsEditing());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Down);
  QCoreApplication::processEvents();
  EXPECT_EQ(table_->Engine().GetCellText(4, 4), "7");
  EXPECT_EQ(grid->currentIndex(), grid->model()->index(4, 3));  // one row down, not two
  QTest::keyClick(grid, Qt::Key_8);
  ASSERT_TRUE(grid->IsEditing());
  QTest::keyClick(QApplication::focusWidget(), Qt::Key_Up);
  QCoreApplication::processEvents();
  EXPECT_EQ(table_->Engine().GetCellText(5, 4), "8");
  EXPECT_EQ(grid->currentIndex(), grid->model()->index(3, 3));  // back up, not where it was
  QTest::keyClick(grid, Qt::Key_9);
  ASSERT_TRUE(grid->IsEditing());
  const QModelIndex target = grid->model()->index(7, 2);  // C8
  QTest::mouseClick(grid->viewport(), Qt::LeftButton, {}, grid->visualRect(target).center());
  QCoreApplication::processEvents();
  EXPECT_EQ(table_->Engine().GetCellText(4, 4), "9");
  EXPECT_EQ(grid->currentIndex(), target);
}

TEST_F(QtTableTest, AnEditRepaintsItsCellWithoutAReset) {
  table_ = Make();
  Fill(*table_, 2, 3);
  QSignalSpy changes(Grid(*table_)->model(), &QAbstractItemModel::dataChanged);
  QSignalSpy resets(Grid(*table_)->model(), &QAbstractItemModel::modelReset);
  table_->Engine().SetCellText(3, 2, "new");
  EXPECT_EQ(resets.count(), 0);
  // The cell first; the used range after it only when formulas may have recalculated.
  ASSERT_GE(changes.count(), 1);
  ASSERT_LE(changes.count(), 2);
  const QModelIndex from = changes[0][0].value<QModelIndex>();
  const QModelIndex to = changes[0][1].value<QModelIndex>();
  EXPECT_EQ(from, to);
  EXPECT_EQ(from.row(), 2);
  EXPECT_EQ(from.column(), 1);
}

TEST_F(QtTableTest, HeadingRenameWithAllowingAndVetoingHostDuplicateAndCancel) {
  table_ = Make();
  Fill(*table_, 3, 4);
  table_->RegisterNotify(&sink_);
  table_->ViewOpen();
  QString title;
  AnswerRename("Speed", &title);
  DoubleClickHeading(*table_, 2);
  EXPECT_EQ(title, "Change Parameter Name");
  EXPECT_EQ(table_->Engine().GetColumnHeadingText(2), "Speed");
  EXPECT_EQ(sink_.Count("OnRenameArg(P2,Speed)"), 1);

  sink_.answer = CZATNotify::ZAT_NTFY_CANCEL;
  AnswerRename("Vetoed");
  DoubleClickHeading(*table_, 3);
  EXPECT_EQ(table_->Engine().GetColumnHeadingText(3), "P3");

  sink_.answer = CZATNotify::ZAT_NTFY_OK;
  QString message;
  AnswerRename("P1");
  AnswerNextBox(QMessageBox::Ok, &message);
  DoubleClickHeading(*table_, 3);
  EXPECT_EQ(message, "Name already exists!");
  EXPECT_EQ(table_->Engine().GetColumnHeadingText(3), "P3");

  const auto asked = sink_.calls.size();
  AnswerRename("");  // Cancel
  DoubleClickHeading(*table_, 1);
  EXPECT_EQ(table_->Engine().GetColumnHeadingText(1), "P1");
  EXPECT_EQ(sink_.calls.size(), asked);
  EXPECT_TRUE(table_->NoModalUp());
  table_->UnRegisterNotify(0);
}

TEST_F(QtTableTest, RenameFieldTakesAtMost255CharactersAndAcceptTakesTheText) {
  table_ = Make();
  Fill(*table_, 1, 1);
  CString name = "P1";
  CHeadEdit dialog(name, FrameOf(table_.get()));
  int maxLength = 0;
  WhenModal([&](QWidget* w) {
    auto* d = qobject_cast<qtui::TemplateDialog*>(w);
    maxLength = d->Edit(1007)->maxLength();
    d->Edit(1007)->setText("Typed");
    QTest::keyClick(d->Edit(1007), Qt::Key_Return);  // Enter presses the default button
  });
  EXPECT_EQ(dialog.DoModal(platform_->Dialogs()), 1);
  EXPECT_EQ(maxLength, 255);
  EXPECT_EQ(name, "Typed");
}

TEST_F(QtTableTest, RowHeadingsSelectWholeRowsAndHostSelectionShows) {
  table_ = Make();
  Fill(*table_, 2, 8);
  table_->ViewOpen();
  ClickRowHeading(*table_, 2, Qt::NoModifier);
  ClickRowHeading(*table_, 5, Qt::ControlModifier);
  ClickRowHeading(*table_, 6, Qt::ControlModifier);
  CWBRowsRangeList rows;
  ASSERT_EQ(table_->GetSelectedRows(rows, 0), 0);
  CString sheet;
  table_->GetSheetName(sheet, 1);
  int count = 0;
  rows.GetRowsRangeCount(sheet, count);
  std::vector<std::pair<long, long>> got;
  for (int i = 0; i < count; ++i) {
    CRowsRange r;
    rows.GetRowsRangeEntry(sheet, i, r);
    got.emplace_back(r.nFirstRow, r.nLastRow);
  }
  EXPECT_EQ(got, (std::vector<std::pair<long, long>>{{2, 2}, {5, 6}}));
  int r1, c1, r2, c2;
  table_->Engine().GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ(c1, 1);
  EXPECT_EQ(c2, 256);

  // A host's selection shows at once.
  ASSERT_EQ(table_->SelectRows(3, 4, 0, true), 0);
  QItemSelectionModel* selection = Grid(*table_)->selectionModel();
  EXPECT_TRUE(selection->isRowSelected(2, {}));
  EXPECT_TRUE(selection->isRowSelected(3, {}));
  EXPECT_FALSE(selection->isRowSelected(1, {}));
}

TEST_F(QtTableTest, SheetTabsShowAndChooseTheActiveSheet) {
  table_ = Make();
  Fill(*table_, 1, 2);
  ASSERT_EQ(table_->InsertSheets(1L, 1), 0);
  QTabBar* tabs = FrameOf(table_.get())->Pane()->Tabs();
  table_->SetShowTabs(false);
  EXPECT_TRUE(tabs->isHidden());
  table_->SetShowTabs(true);
  EXPECT_FALSE(tabs->isHidden());
  ASSERT_EQ(tabs->count(), 2);
  CString second;
  table_->GetSheetName(second, 2);
  EXPECT_EQ(tabs->tabText(1).toStdString(), second);
  table_->ViewOpen();
  QTest::mouseClick(tabs, Qt::LeftButton, Qt::NoModifier, tabs->tabRect(1).center());
  EXPECT_EQ(table_->Engine().GetActiveSheet(), 2);
}

TEST_F(QtTableTest, ViewOpenShowsTheFrameAndViewCloseHidesIt) {
  table_ = Make();
  QWidget* window = datatable::TableWindow(table_.get());
  EXPECT_TRUE(window->isHidden());
  table_->ViewOpen();
  EXPECT_TRUE(window->isVisible());
  EXPECT_EQ(qobject_cast<QMainWindow*>(window)->statusBar()->currentMessage(), "Ready");
  ASSERT_EQ(table_->ViewClose(), 0);
  EXPECT_TRUE(window->isHidden());

  QWidget host;
  auto child = Make(true, datatable::ParentWindow(&host));
  QWidget* childWindow = datatable::TableWindow(child.get());
  ASSERT_NE(childWindow, nullptr);
  EXPECT_EQ(childWindow->parentWidget(), &host);
  EXPECT_FALSE(childWindow->isHidden());  // visible from construction
}

TEST_F(QtTableTest, CloseRequestAsksToSaveAndFollowsEachAnswer) {
  table_ = Make();
  Fill(*table_, 1, 1);
  table_->RegisterNotify(&sink_);
  table_->ViewOpen();
  QWidget* window = datatable::TableWindow(table_.get());

  // Cancel: nothing changes.
  table_->SetDirty(1);
  AnswerNextBox(QMessageBox::Cancel);
  window->close();
  EXPECT_EQ(table_->GetDirtyBit(), 1);
  EXPECT_EQ(sink_.Count("OnViewClose()"), 0);
  EXPECT_TRUE(window->isVisible());

  // Yes: the save (its dialog is cancelled headless) fails, so the close stops.
  AnswerNextBox(QMessageBox::Yes);
  window->close();
  EXPECT_EQ(table_->GetDirtyBit(), 1);
  EXPECT_EQ(sink_.Count("OnViewClose()"), 0);

  // No: the edits are dropped and the host is told to close the view.
  AnswerNextBox(QMessageBox::No);
  window->close();
  EXPECT_EQ(table_->GetDirtyBit(), 0);
  EXPECT_EQ(sink_.Count("OnViewClose()"), 1);
  EXPECT_EQ(QSettings().value("Data Table/Show").toInt(), 0);
  table_->UnRegisterNotify(0);
}

TEST_F(QtTableTest, JapaneseLocaleShowsJapaneseMenus) {
  platform::Install(nullptr);
  Install(QLocale(QLocale::Japanese, QLocale::Japan));
  table_ = Make();
  QMainWindow* main = FrameOf(table_.get())->MainWindow();
  QStringList titles;
  for (QAction* a : main->menuBar()->actions()) titles << a->text();
  EXPECT_EQ(titles.first(), QString::fromUtf8("ファイル(&F)"));
  EXPECT_EQ(titles.last(), QString::fromUtf8("ヘルプ(&H)"));
  EXPECT_EQ(platform_->Locale().Settings().language, "ja");
  EXPECT_EQ(platform_->Locale().Settings().shortDateFormat, "yyyy/MM/dd");
}

TEST(QtLocaleTest, CLocaleGivesTheHeadlessSettingsAndYearsBecomeFourDigits) {
  qtui::QtLocale c(QLocale::c());
  EXPECT_EQ(c.Settings().shortDateFormat, engine::LocaleSettings::EnUs().shortDateFormat);
  EXPECT_EQ(c.Settings().decimalSeparator, ".");
  EXPECT_EQ(qtui::QtLocale::FourDigitYear("M/d/yy"), "M/d/yyyy");
  EXPECT_EQ(qtui::QtLocale::FourDigitYear("dd.MM.yyyy"), "dd.MM.yyyy");
  EXPECT_EQ(qtui::QtLocale::FourDigitYear("d 'yy' yy"), "d 'yy' yyyy");
  qtui::QtLocale german(QLocale(QLocale::German, QLocale::Germany));
  EXPECT_EQ(german.Settings().decimalSeparator, ",");
  EXPECT_EQ(german.Settings().dateOrder, engine::DateOrder::DayMonthYear);
}

}  // namespace
