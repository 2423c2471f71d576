// The system clipboard through QClipboard: copying in one table and pasting in another keeps
// formulas and formats, also when the copy comes from another process, and text that another
// program put there lands in the right cells, with the runs its HTML gives.

#include <gtest/gtest.h>

#include <QGuiApplication>
#include <QMimeData>
#include <memory>

#include "datatable/czat_psf1.h"
#include "platform/headless/headless_platform.h"
#include "qt/clipboard.h"
#include "support/rich_text_cells.h"
#include "table/czat_psf1.h"

namespace {

// The headless platform with the Qt clipboard in place of the process-private one.
class ClipboardPlatform : public platform::HeadlessPlatform {
 public:
  engine::SystemClipboard* Clipboard() override { return &clipboard_; }

 private:
  qtui::QtClipboard clipboard_;
};

class Table : public CZAT_PSF1 {
 public:
  Table() : CZAT_PSF1(nullptr, CString(), FILE_TYPE_NONE, nullptr, false, true, true) {}
  engine::Control& Engine() { return Ctl(); }
};

struct Destroy {
  void operator()(Table* t) const { t->Destroy(); }
};
using TablePtr = std::unique_ptr<Table, Destroy>;

class QtClipboardTest : public ::testing::Test {
 protected:
  void SetUp() override {
    platform::Install(std::make_shared<ClipboardPlatform>());
    source_.reset(new Table);
    target_.reset(new Table);
  }
  void TearDown() override {
    source_.reset();
    target_.reset();
    platform::Install(nullptr);
  }
  static CString Value(Table& t, long row, const char* name) {
    CString v;
    EXPECT_EQ(t.GetArgValue(row, name, v, 0), 0) << name;
    return v;
  }
  static CString Formula(Table& t, long row, const char* name) {
    CString v;
    EXPECT_EQ(t.GetArgFormula(row, name, v, 0), 0) << name;
    return v;
  }
  // Parameters Price and Qty with two rows, a formula column and a currency format.
  void FillSource() {
    for (const char* n : {"Price", "Qty", "Total"}) {
      CString name = n;
      ASSERT_EQ(source_->AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 0), 0);
    }
    engine::Control& e = source_->Engine();
    e.SetCellText(1, 1, "2.5");
    e.SetCellText(2, 1, "4");
    e.SetCellText(1, 2, "3");
    e.SetCellText(2, 2, "5");
    ASSERT_EQ(source_->SetArgFormula(1, "Total", "A1*B1", 0), 0);
    ASSERT_EQ(source_->SetArgFormula(2, "Total", "A2*B2", 0), 0);
    e.SetSelection(1, 1, 2, 1);
    e.FormatCurrency2();
    e.SetSelection(1, 1, 2, 3);
    ASSERT_EQ(source_->EditCopy(), 1);
  }
  // Names the target's columns so that a paste lands inside the table.
  void NameTarget() {
    for (const char* n : {"P", "Q", "T"}) {
      CString name = n;
      ASSERT_EQ(target_->AppendArg(name, "x", 0, nullptr, 0), 0);
    }
  }

  TablePtr source_, target_;
};

}  // namespace

TEST_F(QtClipboardTest, CopyPutsTextHtmlAndCellsOnTheSystemClipboard) {
  FillSource();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->text(), "$2.50 \t3\t7.5\r\n$4.00 \t5\t20\r\n");
  EXPECT_TRUE(data->hasHtml());
  EXPECT_TRUE(data->html().contains("<td>7.5</td>"));
  EXPECT_TRUE(data->hasFormat(qtui::QtClipboard::kCellsMimeType));
}

TEST_F(QtClipboardTest, PasteInAnotherTableKeepsFormulasAndFormats) {
  FillSource();
  NameTarget();
  target_->Engine().SetSelection(2, 1, 2, 1);
  target_->EditPaste(1);
  EXPECT_EQ(Value(*target_, 2, "P"), Value(*source_, 1, "Price"));
  EXPECT_EQ(Value(*target_, 3, "P").substr(0, 5), "$4.00");
  EXPECT_EQ(Formula(*target_, 2, "T"), "A2*B2");  // moved one row down with the paste
  EXPECT_EQ(Value(*target_, 3, "T"), "20");
}

TEST_F(QtClipboardTest, CellsCopiedByAnotherProcessPasteWithFormulasAndFormats) {
  FillSource();
  // What another process finds: the same MIME data, but a copy it does not hold itself.
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  QByteArray cells = data->data(qtui::QtClipboard::kCellsMimeType);
  const qsizetype tab = cells.indexOf('\t'), end = cells.indexOf('\n');
  ASSERT_GT(end, tab);
  cells.replace(tab + 1, end - tab - 1, "1-from-elsewhere");
  auto* other = new QMimeData;
  other->setText(data->text());
  other->setData(qtui::QtClipboard::kCellsMimeType, cells);
  QGuiApplication::clipboard()->setMimeData(other);
  source_.reset();  // the copying table is gone as well

  NameTarget();
  target_->Engine().SetSelection(1, 1, 1, 1);
  target_->EditPaste(1);
  EXPECT_EQ(Value(*target_, 2, "P").substr(0, 5), "$4.00");
  EXPECT_EQ(Formula(*target_, 1, "T"), "A1*B1");
  EXPECT_EQ(Value(*target_, 2, "T"), "20");
}

TEST_F(QtClipboardTest, TextWithQuotedFieldsFromAnotherProgramLandsInTheRightCells) {
  NameTarget();
  QGuiApplication::clipboard()->setText(
      "\"Smith, \"\"J\"\"\"\t\"two\r\nlines\"\t7\r\nnext\t\t1/2/2024\r\n");
  target_->Engine().SetSelection(1, 1, 1, 1);
  target_->EditPaste(1);
  EXPECT_EQ(Value(*target_, 1, "P"), "Smith, \"J\"");
  CString raw;
  ASSERT_EQ(target_->GetRawValue(1, "Q", raw, 0), 0);
  EXPECT_EQ(raw, "two\r\nlines");
  EXPECT_EQ(target_->Engine().GetCellType(1, 3), engine::kTypeNumber);
  EXPECT_EQ(Value(*target_, 2, "P"), "next");
  EXPECT_EQ(Value(*target_, 2, "Q"), "");
  EXPECT_EQ(target_->Engine().GetCellType(2, 3), engine::kTypeNumber);  // a date, as typed
}

// Rich texts through the system clipboard: the HTML carries the runs, and another program
// that offers HTML beside its text gives the pasted texts their runs.
TEST(QtRichClipboardTest, RunsGoThroughTheHtmlOfTheSystemClipboard) {
  const rich_cells::Runs runs = {{0, rich_cells::Bold()}, {6, rich_cells::RedItalic()}};
  qtui::QtClipboard clipboard;
  engine::Control source, target;
  source.SetClipboard(&clipboard);
  target.SetClipboard(&clipboard);
  rich_cells::SetRich(source, 1, 1, "Hello World", runs);
  source.SetSelection(1, 1, 1, 1);
  source.CopySelection();
  const QMimeData* data = QGuiApplication::clipboard()->mimeData();
  ASSERT_NE(data, nullptr);
  ASSERT_TRUE(data->hasHtml());
  EXPECT_TRUE(data->html().contains("<b>Hello </b>")) << data->html().toStdString();

  // Another program holds the clipboard now: text and HTML, no cells.
  auto* other = new QMimeData;
  other->setText(data->text().replace("\r\n", "\n"));
  other->setHtml(data->html());
  QGuiApplication::clipboard()->setMimeData(other);
  target.SetSelection(2, 2, 2, 2);
  target.PasteClipboard();
  EXPECT_EQ(target.GetCellText(2, 2), "Hello World");
  EXPECT_EQ(rich_cells::RunsAt(target, 2, 2), runs);

  // HTML that breaks off: the text still pastes whole.
  auto* broken = new QMimeData;
  broken->setText("one\ttwo\n");
  broken->setHtml("<table><tr><td><b style=\"color:");
  QGuiApplication::clipboard()->setMimeData(broken);
  target.SetSelection(4, 1, 4, 1);
  target.PasteClipboard();
  EXPECT_EQ(target.GetCellText(4, 1), "one");
  EXPECT_EQ(target.GetCellText(4, 2), "two");
  EXPECT_TRUE(rich_cells::RunsAt(target, 4, 1).empty());
}
