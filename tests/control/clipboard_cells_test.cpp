// The system clipboard's forms of a copy: the engine's own cells form read by another process,
// the HTML table, text from other programs, and cells forms that are damaged or hostile.

#include <gtest/gtest.h>

#include <random>

#include "control/clipboard_data.h"
#include "control/control.h"
#include "control/model/clipboard_text.h"
#include "support/clipboard_forms.h"

using namespace engine;

using clipboard_forms::AsFromAnotherProcess;

TEST(ClipboardCells, CopyInOneProcessPastesFormulasFormatsAndValuesInAnother) {
  ProcessClipboard here, there;
  Control source, target;
  source.SetClipboard(&here);
  target.SetClipboard(&there);
  source.SetCellText(1, 1, "2");
  source.SetCellText(1, 2, "=A1*3+$A$1");
  source.SetCellText(2, 1, "tab\there");
  source.SetCellText(2, 2, "TRUE");
  source.SetCellText(1, 3, "x");  // (2, 3) stays empty
  source.SetSelection(1, 1, 1, 1);
  source.SetNumberFormat("0.00");
  source.SetFontColor(0x0000FF);
  source.SetPattern(1, 0x00FF00, 0x00FF00);
  source.SetSelection(1, 1, 2, 3);
  source.CopySelection();
  ASSERT_TRUE(here.GetCells().has_value());

  there.SetContent(AsFromAnotherProcess(here));
  target.SetCellText(6, 6, "overwritten");
  target.SetSelection(5, 4, 5, 4);
  target.PasteClipboard();
  EXPECT_EQ(target.GetCellFormattedText(5, 4), "2.00");
  EXPECT_EQ(target.GetCellText(5, 5), "=D5*3+$A$1");  // relative moves, absolute stays
  EXPECT_EQ(target.GetCellText(6, 4), "tab\there");
  EXPECT_EQ(target.GetCellType(6, 5), kTypeLogical);
  EXPECT_EQ(target.GetCellType(6, 6), kTypeEmpty);  // the empty source cell overwrote it
  target.SetSelection(5, 4, 5, 4);
  EXPECT_EQ(target.GetFontColor(), 0x0000FFu);
  short pattern = 0;
  std::uint32_t fore = 0, back = 0;
  target.GetPattern(pattern, fore, back);
  EXPECT_EQ(pattern, 1);
  EXPECT_EQ(fore, 0x00FF00u);

  // Paste Values takes the values only; the target keeps its own format.
  target.SetSelection(10, 1, 10, 1);
  target.SetNumberFormat("0%");
  target.PasteValues();
  EXPECT_EQ(target.GetCellFormattedText(10, 1), "200%");
  EXPECT_EQ(target.GetCellFormula(10, 2), "");
  EXPECT_EQ(target.GetCellValue(10, 2).number, 8);

  // Once another program replaces the clipboard, its text is what is pasted.
  there.SetText("plain");
  target.SetSelection(20, 1, 20, 1);
  target.PasteClipboard();
  EXPECT_EQ(target.GetCellText(20, 1), "plain");
  EXPECT_EQ(target.GetCellType(20, 2), kTypeEmpty);
}

TEST(ClipboardCells, CopyCarriesTextAndAnEscapedHtmlTable) {
  ProcessClipboard system;
  Control c;
  c.SetClipboard(&system);
  c.SetCellText(1, 1, "a<b & \"c\"");
  c.SetCellText(1, 2, "1.5");
  c.SetCellEntry(2, 1, "two\nlines");
  c.SetSelection(1, 1, 2, 2);
  c.CopySelection();
  EXPECT_EQ(system.GetText().value_or(""), "\"a<b & \"\"c\"\"\"\t1.5\r\n\"two\nlines\"\t\r\n");
  const std::string& html = system.Html();
  EXPECT_NE(html.find("<tr><td>a&lt;b &amp; &quot;c&quot;</td><td>1.5</td></tr>"),
            std::string::npos)
      << html;
  EXPECT_NE(html.find("<td>two<br>lines</td>"), std::string::npos) << html;
}

TEST(ClipboardCells, TextFromOtherProgramsFillsCellsAsTypedEvenWhenAFieldIsNoFormula) {
  ProcessClipboard system;
  Control c;
  c.SetClipboard(&system);
  system.SetText("\"x\r\ny\"\t=SUM(\t12%\r\n\"q\"\"t\"\t\t3\r\n");
  c.SetCellText(2, 2, "gone");
  c.SetSelection(1, 1, 1, 1);
  c.PasteClipboard();
  EXPECT_EQ(c.GetCellText(1, 1), "x\r\ny");
  EXPECT_EQ(c.GetCellType(1, 2), kTypeText);  // "=SUM(" does not parse: kept as text
  EXPECT_EQ(c.GetCellText(1, 2), "=SUM(");
  EXPECT_EQ(c.GetCellFormattedText(1, 3), "12%");
  EXPECT_EQ(c.GetCellText(2, 1), "q\"t");
  EXPECT_EQ(c.GetCellType(2, 2), kTypeEmpty);
  EXPECT_EQ(c.GetCellValue(2, 3).number, 3);
  int r1, c1, r2, c2;
  c.GetSelection(0, r1, c1, r2, c2);
  EXPECT_EQ((std::vector<int>{r1, c1, r2, c2}), (std::vector<int>{1, 1, 2, 3}));

  system.SetText(std::string());
  EXPECT_FALSE(c.CanPaste());
  EXPECT_THROW(c.PasteClipboard(), EngineError);
}

TEST(ClipboardCells, DamagedOrHostileCellsFormsAreRefusedWhole) {
  ProcessClipboard system;
  Control c;
  c.SetClipboard(&system);
  c.SetCellText(1, 1, "=B1+1");
  c.SetCellText(1, 2, "7");
  c.SetSelection(1, 1, 1, 1);
  c.SetNumberFormat("0.0");
  c.SetSelection(1, 1, 1, 2);
  c.CopySelection();
  const std::string good = system.GetCells().value_or("");
  ASSERT_NE(clip_cells::Decode(good), nullptr);
  ASSERT_EQ(clip_cells::Decode(good)->cells.size(), 2u);

  const std::string bad[] = {
      "",
      "DataTableCells 1",
      "DataTableCells 1\tt\n",  // no block
      "DataTableCells 1\tt\nblock\t0\t1\t1\t1\n",
      "DataTableCells 1\tt\nblock\t2\t2\t65536\t1\n",                         // off the sheet
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\ncell\t1\t0\t-1\tV\tN\t1\t\n",  // outside block
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\ncell\t0\t0\t0\tV\tN\t1\t\n",   // no such style
      "DataTableCells "
      "1\tt\nblock\t1\t2\t1\t1\ncell\t0\t1\t-1\tV\tN\t1\t\ncell\t0\t0\t-1\tV\tN\t1\t\n",
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\ncell\t0\t0\t-1\tV\tN\tnan\t\n",
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\ncell\t0\t0\t-1\tV\tX\t99\t\n",
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\ncell\t0\t0\t-1\tV\tT\tbad\\q\t\n",
      "DataTableCells 1\tt\nblock\t1\t1\t1\t1\nsheet\tx\n",
  };
  for (const std::string& text : bad) EXPECT_EQ(clip_cells::Decode(text), nullptr) << text;

  // Every cut-short and every flipped byte either decodes to a block that fits the sheet or
  // is refused; pasting it never fails other than with the engine's error.
  std::mt19937 random(12345);
  std::vector<std::string> damaged;
  for (std::size_t n = 0; n < good.size(); ++n) damaged.push_back(good.substr(0, n));
  for (int i = 0; i < 400; ++i) {
    std::string s = good;
    s[random() % s.size()] = static_cast<char>(random() % 256);
    damaged.push_back(s);
  }
  for (const std::string& s : damaged) {
    auto clip = clip_cells::Decode(s);
    if (!clip) continue;
    EXPECT_LE(clip->row1 + clip->rows - 1, kMaxRow);
    EXPECT_LE(clip->col1 + clip->cols - 1, kMaxCol);
    for (const ClipCell& cell : clip->cells) {
      EXPECT_LT(cell.r, clip->rows);
      EXPECT_LT(cell.c, clip->cols);
      EXPECT_LT(cell.style, static_cast<int>(clip->styles.size()));
    }
    ProcessClipboard other;
    Control target;
    target.SetClipboard(&other);
    other.SetContent(ClipboardContent{"t", "", s});
    target.SetSelection(3, 3, 3, 3);
    try {
      target.PasteClipboard();
    } catch (const EngineError&) {
    }
  }
}
