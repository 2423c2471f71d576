// Rich texts on the system clipboard between processes: the cells form and the HTML carry the
// runs, HTML from other programs gives pasted texts their runs, and HTML that is broken, says
// something else than the text, or floods the font table never costs a pasted value.

#include <gtest/gtest.h>

#include "control/clipboard_data.h"
#include "support/clipboard_forms.h"
#include "support/rich_text_cells.h"

using namespace engine;
using namespace rich_cells;
using clipboard_forms::AsFromAnotherProcess;
using clipboard_forms::HtmlProcessClipboard;

namespace {

const Runs kRuns = {{0, Bold()}, {6, RedItalic()}};

struct Copied {
  ProcessClipboard system;
  Control source;
  Copied() {
    source.SetClipboard(&system);
    SetRich(source, 1, 1, "Hello World", kRuns);
    source.SetCellText(1, 2, "42");
    source.SetCellText(2, 1, "plain text");
    source.SetSelection(1, 1, 2, 2);
    source.CopySelection();
  }
};

// Pastes content at B3 of a fresh table.
void PasteAtB3(Control& target, HtmlProcessClipboard& clipboard, const ClipboardContent& content) {
  target.SetClipboard(&clipboard);
  clipboard.SetContent(content);
  target.SetSelection(3, 2, 3, 2);
  target.PasteClipboard();
}

}  // namespace

TEST(RichClipboard, AnotherProcessPastesTheRunsFromTheCellsFormOrFromTheHtml) {
  Copied copy;
  EXPECT_NE(copy.system.Html().find("<b>Hello </b>"), std::string::npos) << copy.system.Html();
  ClipboardContent content = AsFromAnotherProcess(copy.system);

  // Another table: the cells form, with the runs.
  HtmlProcessClipboard there;
  Control viaCells;
  PasteAtB3(viaCells, there, content);
  EXPECT_EQ(RunsAt(viaCells, 3, 2), kRuns);
  EXPECT_TRUE(RunsAt(viaCells, 4, 2).empty());

  // Another program that keeps only text and HTML: the values from the text, runs from HTML.
  content.cells.clear();
  Control viaHtml;
  PasteAtB3(viaHtml, there, content);
  EXPECT_EQ(viaHtml.GetCellText(3, 2), "Hello World");
  EXPECT_EQ(viaHtml.GetCellValue(3, 3).number, 42);
  EXPECT_EQ(viaHtml.GetCellText(4, 2), "plain text");
  EXPECT_EQ(RunsAt(viaHtml, 3, 2), kRuns);
  EXPECT_TRUE(RunsAt(viaHtml, 4, 2).empty());

  // Paste Values leaves formatting behind, the runs too.
  Control valuesOnly;
  valuesOnly.SetClipboard(&there);
  valuesOnly.SetSelection(3, 2, 3, 2);
  valuesOnly.PasteValues();
  EXPECT_EQ(valuesOnly.GetCellText(3, 2), "Hello World");
  EXPECT_TRUE(RunsAt(valuesOnly, 3, 2).empty());
}

TEST(RichClipboard, HtmlRunsGoOverTheTargetCellsFont) {
  HtmlProcessClipboard clipboard;
  Control target;
  target.SetDefaultFont("Verdana", 12);
  target.SetSelection(3, 2, 3, 2);
  target.SetFontColor(0x00FF00);
  PasteAtB3(target, clipboard,
            {"ab cd\r\n", "<table><tr><td>ab <i>cd</i></td></tr></table>", ""});
  Font italic = target.Book().Styles().GetFont(
      target.Book().Styles().Get(target.Book().Active().EffectiveStyle(3, 2)).font);
  ASSERT_EQ(italic.name, "Verdana");
  ASSERT_EQ(italic.color, 0x00FF00u);
  italic.italic = true;
  EXPECT_EQ(RunsAt(target, 3, 2), (Runs{{3, italic}}));
}

TEST(RichClipboard, HtmlThatIsBrokenOrSaysOtherwiseCostsOnlyTheRuns) {
  const std::string text = "Hello\tWorld\r\n5\t\r\n";
  const std::string html[] = {
      "<table><tr><td><b>Hel",                                          // cut short
      "<table><tr><td><b>Goodbye</b></td><td><i>World</i></td></tr>",  // another text
      "<table><tr><td>x</td></tr><tr><td><b>5</b></td></tr></table>",  // a number
      "\xFF\xFE<b>\x80\x80",                                            // not text at all
  };
  for (const std::string& h : html) {
    SCOPED_TRACE(h);
    HtmlProcessClipboard clipboard;
    Control target;
    PasteAtB3(target, clipboard, {text, h, ""});
    EXPECT_EQ(target.GetCellText(3, 2), "Hello");
    EXPECT_EQ(target.GetCellText(3, 3), "World");
    EXPECT_EQ(target.GetCellValue(4, 2).number, 5);
    EXPECT_TRUE(RunsAt(target, 3, 2).empty());
    EXPECT_EQ(RunsAt(target, 3, 3).size(), h == html[1] ? 1u : 0u);
  }
}

TEST(RichClipboard, HtmlGivingEveryPieceANewFontDoesNotFillTheFontTable) {
  std::string text, html = "<table>";
  for (int i = 0; i < 2000; ++i) {
    text += "x" + std::to_string(i) + "\r\n";
    html += "<tr><td><span style='font-size:" + std::to_string(8 + i % 400) + "." +
            std::to_string(i / 400) + "pt'>x</span>" + std::to_string(i) + "</td></tr>";
  }
  HtmlProcessClipboard clipboard;
  Control target;
  const std::size_t fonts = target.Book().Styles().FontCount();
  PasteAtB3(target, clipboard, {text, html, ""});
  EXPECT_EQ(target.GetCellText(3, 2), "x0");
  EXPECT_EQ(target.GetCellText(2002, 2), "x1999");
  EXPECT_LE(target.Book().Styles().FontCount(), fonts + 256);
  EXPECT_EQ(RunsAt(target, 3, 2).size(), 2u);
}

TEST(RichClipboard, ACellsFormWithDamagedRunsIsRefusedWhole) {
  Copied copy;
  const std::string good = copy.system.GetCells().value_or("");
  const std::size_t run = good.find("\nrun\t6\t");
  ASSERT_NE(run, std::string::npos) << good;
  ASSERT_NE(clip_cells::Decode(good), nullptr);
  EXPECT_EQ(clip_cells::Decode(good)->cells[0].runs.size(), 2u);
  const auto with = [&](const std::string& line) {
    std::string s = good;
    s.insert(run, line);
    return s;
  };
  // Past the text's end, out of order, after a number, with a bad font.
  const std::string bad[] = {
      with("\nrun\t11\tArial\t200\t1\t0\t0\t0\t0"),
      with("\nrun\t0\tArial\t200\t1\t0\t0\t0\t0"),
      with("\nrun\t7\tArial\t0\t1\t0\t0\t0\t0"),
      with("\nrun\t7\tArial\t200\t2\t0\t0\t0\t0"),
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\ncell\t0\t0\t-1\tV\tN\t1\t\n"
      "run\t0\tArial\t200\t1\t0\t0\t0\t0\n",
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\nrun\t0\tArial\t200\t1\t0\t0\t0\t0\n",
  };
  for (const std::string& s : bad) EXPECT_EQ(clip_cells::Decode(s), nullptr) << s;
}
