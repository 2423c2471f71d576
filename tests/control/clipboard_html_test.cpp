// The HTML form of a copy with the runs of its texts: what is written reads back the same, the
// markup other programs write is understood, and hostile markup is read safely.

#include "control/model/clipboard_html.h"

#include <gtest/gtest.h>

#include <random>

#include "control/model/text_runs.h"
#include "support/rich_text_cells.h"

using namespace engine;
using namespace engine::clipboard_html;

namespace {

// The runs of a parsed field as fonts over a base font, as a paste places them.
std::vector<FontRun> Placed(const ParsedField& f, const Font& base = Font()) {
  std::vector<FontRun> out;
  for (const MarkedRun& r : f.runs) out.push_back({r.at, r.marks.Applied(base)});
  return out;
}

// Runs that a paste could place: rising, each inside the text.
void ExpectWellFormed(const std::vector<std::vector<ParsedField>>& rows) {
  for (const auto& row : rows)
    for (const ParsedField& f : row) {
      const std::size_t length = text_runs::Utf16Length(f.text);
      for (std::size_t k = 0; k < f.runs.size(); ++k) {
        EXPECT_LT(f.runs[k].at, length);
        if (k > 0) {
          EXPECT_GT(f.runs[k].at, f.runs[k - 1].at);
        }
      }
    }
}

Font Sized(int twips) {
  Font f;
  f.heightTwips = twips;
  return f;
}

}  // namespace

TEST(ClipboardHtml, WhatIsWrittenReadsBackWithTheSameTextsAndFonts) {
  Font struck = rich_cells::RedItalic();
  struck.underline = struck.strikeout = true;
  struck.heightTwips = 210;  // 10.5 pt
  const std::string texts[] = {
      "Hello World",
      "  two  spaces\tand a tab ",
      "line one\nline two",
      "\xF0\x9F\x98\x80 after an emoji <&> \"q\"",
      "plain",
  };
  std::vector<std::vector<RichField>> rows(2, std::vector<RichField>(3));
  rows[0][0] = {texts[0], {{0, rich_cells::Bold()}, {6, rich_cells::RedItalic()}}};
  rows[0][1] = {texts[1], {{2, struck}, {7, Font()}}};
  rows[0][2] = {texts[2], {{5, rich_cells::Bold()}, {9, Sized(360)}}};
  rows[1][0] = {texts[3], {{3, rich_cells::Bold()}}};  // after a surrogate pair and a space
  rows[1][2] = {texts[4], {}};

  const std::string html = Table(rows);
  EXPECT_NE(html.find("<b>Hello </b>"), std::string::npos) << html;
  const auto back = Parse(html);
  ExpectWellFormed(back);
  ASSERT_EQ(back.size(), 2u);
  for (std::size_t r = 0; r < 2; ++r) {
    ASSERT_EQ(back[r].size(), 3u) << r;
    for (std::size_t c = 0; c < 3; ++c) {
      EXPECT_TRUE(SameText(rows[r][c].text, back[r][c].text))
          << r << "," << c << ": " << back[r][c].text;
      EXPECT_EQ(Placed(back[r][c]), rows[r][c].runs) << r << "," << c;
    }
  }
}

TEST(ClipboardHtml, ReadsTheMarkupOfOtherPrograms) {
  // Tags, the old <font>, inline styles in the forms spreadsheets and browsers write them, a
  // Windows clipboard header, comments, a style sheet, entities and folded whitespace.
  const std::string html =
      "Version:0.9\r\nStartHTML:0000000105\r\n<html><head><style>td { color: red }</style>"
      "</head><body><!--StartFragment--><table border=1>\r\n"
      "<tr>\n  <td>A <strong>bold</strong>\n   word</td>\n"
      "  <td class=xl65 style='font-weight:700;color:rgb(0, 0, 255)'>all blue</td>\n"
      "  <td><font face=\"Times New Roman\" color=#f00 size=4>big red</font> &amp;&nbsp;x</td>"
      "</tr>\n"
      "<tr><td colspan=2><span style=\"font-size:12px; font-style:oblique; "
      "text-decoration:underline\">under</span>lined</td><th><i>z</i></th>\n"
      "</table><!--EndFragment--></body></html>";
  const auto rows = Parse(html);
  ExpectWellFormed(rows);
  ASSERT_EQ(rows.size(), 2u);
  ASSERT_EQ(rows[0].size(), 3u);
  ASSERT_EQ(rows[1].size(), 3u);  // the spanning cell keeps the next one in column 3

  EXPECT_EQ(rows[0][0].text, "A bold word");
  Font bold;
  bold.bold = true;
  EXPECT_EQ(Placed(rows[0][0]), (std::vector<FontRun>{{2, bold}, {6, Font()}}));

  Font blue = bold;
  blue.color = 0xFF0000;
  EXPECT_EQ(Placed(rows[0][1]), (std::vector<FontRun>{{0, blue}}));

  EXPECT_EQ(rows[0][2].text, "big red &\xC2\xA0x");
  EXPECT_TRUE(SameText("big red & x", rows[0][2].text));
  Font times;
  times.name = "Times New Roman";
  times.color = 0x0000FF;
  times.heightTwips = 14 * 20;
  EXPECT_EQ(Placed(rows[0][2]), (std::vector<FontRun>{{0, times}, {7, Font()}}));

  EXPECT_EQ(rows[1][0].text, "underlined");
  Font under;
  under.italic = under.underline = true;
  under.heightTwips = 180;  // 12 px
  EXPECT_EQ(Placed(rows[1][0]), (std::vector<FontRun>{{0, under}, {5, Font()}}));
  EXPECT_TRUE(rows[1][1].text.empty());
  EXPECT_EQ(rows[1][2].text, "z");

  // Unmarked text has no runs; a fragment without a table is one cell.
  EXPECT_TRUE(Parse("<table><tr><td>x</td></tr></table>")[0][0].runs.empty());
  const auto fragment = Parse("<p>just <b>one</b></p>");
  ASSERT_EQ(fragment.size(), 1u);
  ASSERT_EQ(fragment[0].size(), 1u);
  EXPECT_EQ(fragment[0][0].text, "just one");
  EXPECT_EQ(Placed(fragment[0][0]), (std::vector<FontRun>{{5, bold}}));
  // Marks a run puts back to the cell's own font still end the run before them.
  const auto reset = Parse("<table><tr><td><b>b<span style='font-weight:normal'>n</span></b>"
                           "</td></tr></table>");
  EXPECT_EQ(Placed(reset[0][0], bold), (std::vector<FontRun>{{0, bold}, {1, Font()}}));
}

TEST(ClipboardHtml, HostileMarkupIsReadWithoutFailingOrSwelling) {
  const std::string cases[] = {
      "",
      "<",
      "<table",
      "<table><tr><td>unclosed <b>bold",
      "<!-- never closed <table><tr><td>x",
      "<td style='color:#zzzzzz;font-size:-4pt;font-size:1e308pt;font-family:'>x</td>",
      "<table><tr><td a=\"never closed>x</td></tr></table>",
      "<table><tr><td colspan=999999999>x</td><td colspan=-5>y</td></tr></table>",
      "<script><table><tr><td>hidden</td></tr></table></script>plain",
      "&#0;&#xD800;&#99999999999;&#x;&unknown;&amp",
      "<table><tr><td><table><tr><td>inner</td></tr></table>outer</td></tr></table>",
      "</b></i></td></tr></table><td>stray</td>",
      std::string("<table><tr><td>nul") + '\0' + "byte</td></tr></table>",
  };
  for (const std::string& html : cases) {
    SCOPED_TRACE(html);
    ExpectWellFormed(Parse(html));
  }
  EXPECT_EQ(Parse(cases[8])[0][0].text, "plain");
  const auto span = Parse(cases[7]);
  ASSERT_EQ(span.size(), 1u);
  EXPECT_EQ(span[0].size(), static_cast<std::size_t>(kMaxCol));  // never wider than a sheet
  EXPECT_EQ(Parse(cases[10])[0][0].text, "inner outer");

  // Nesting far deeper than anything real, and a flood of cells: read in one pass.
  std::string deep = "<table><tr><td>";
  for (int i = 0; i < 100000; ++i) deep += "<span style='font-weight:bold'><i>";
  deep += "x</td></tr></table>";
  const auto deepRows = Parse(deep);
  ASSERT_EQ(deepRows.size(), 1u);
  EXPECT_EQ(deepRows[0][0].text, "x");
  std::string wide = "<table><tr>";
  for (int i = 0; i < 100000; ++i) wide += "<td>1";
  EXPECT_EQ(Parse(wide)[0].size(), static_cast<std::size_t>(kMaxCol));

  // Random markup from the characters that matter.
  std::mt19937 random(7);
  const std::string alphabet = "<>/=\"' ;:&#tdrbispanstylecolorfont-weight:bold\n\xC3\xA9x1";
  for (int round = 0; round < 2000; ++round) {
    std::string html;
    const int length = static_cast<int>(random() % 200);
    for (int i = 0; i < length; ++i) html += alphabet[random() % alphabet.size()];
    if (round % 2) html = "<table><tr><td>" + html;
    ExpectWellFormed(Parse(html));
  }
}
