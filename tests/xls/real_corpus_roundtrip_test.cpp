// Every workbook of the wild corpus that opens comes back from a save (Excel 97-2000) and a
// second read with the same sheets, cells, number formats, names and sheet features, and
// LibreOffice opens every copy we wrote.
#include <unistd.h>

#include <cstdio>
#include <sstream>

#include "corpus_support.h"

namespace {

namespace fs = std::filesystem;
using namespace engine;

std::string Describe(const SheetView& v) {
  std::ostringstream o;
  o << "frozen " << v.frozen << " split " << v.splitRow << "," << v.splitCol << " at "
    << v.splitX << "," << v.splitY << " pane " << v.paneRow << "," << v.paneCol << "/"
    << v.activePane << " top " << v.topRow << "," << v.leftCol << " grid " << v.gridlines
    << v.headings << v.zeros << " zoom " << v.zoom << " tab " << v.tabColor;
  return o.str();
}
std::string Describe(const PageSetup& p) {
  std::ostringstream o;
  o << "land " << p.landscape << " paper " << p.paperSize << " scale " << p.scale << " first "
    << p.firstPage << "/" << p.usePageNumber << " fit " << p.fitToPage << p.fitWidth << "x"
    << p.fitHeight << " order " << p.leftToRight << p.blackAndWhite << p.draft << " copies "
    << p.copies << " res " << p.hRes << "," << p.vRes << " hf " << p.headerMargin << ","
    << p.footerMargin << " m " << p.left << "," << p.right << "," << p.top << "," << p.bottom
    << "/" << p.marginsSet << " [" << p.header << "][" << p.footer << "] c " << p.centerH
    << p.centerV << " g " << p.printGridlines << p.printHeadings << " breaks "
    << p.rowBreaks.size() << "," << p.colBreaks.size() << " area " << p.printArea.size()
    << " titles " << p.titleRow1 << "-" << p.titleRow2 << "," << p.titleCol1 << "-" << p.titleCol2;
  return o.str();
}

void ExpectSameFeatures(const SheetFeatures& a, const SheetFeatures& b) {
  EXPECT_EQ(a.visibility, b.visibility);
  EXPECT_TRUE(a.view == b.view) << Describe(a.view) << "\n" << Describe(b.view);
  EXPECT_EQ(a.defaultColWidth, b.defaultColWidth);
  EXPECT_EQ(a.merges, b.merges);
  EXPECT_TRUE(a.comments == b.comments) << "comments";
  EXPECT_TRUE(a.links == b.links) << "links";
  EXPECT_TRUE(a.validations == b.validations) << "validation";
  EXPECT_TRUE(a.conditional == b.conditional) << "conditional formats";
  EXPECT_TRUE(a.filter == b.filter) << "autofilter";
  EXPECT_TRUE(a.page == b.page) << Describe(a.page) << "\n" << Describe(b.page);
}

const std::string& FormatCode(const Workbook& book, const Sheet& sheet, int row, int col) {
  return book.Formats().Code(book.Styles().Get(sheet.EffectiveStyle(row, col)).numberFormat);
}

void ExpectSameBook(Control& a, Control& b) {
  ASSERT_EQ(a.GetNumSheets(), b.GetNumSheets());
  ASSERT_EQ(a.Book().Names().size(), b.Book().Names().size());
  for (std::size_t i = 0; i < a.Book().Names().size(); ++i) {
    EXPECT_EQ(a.Book().Names()[i].name, b.Book().Names()[i].name);
    EXPECT_EQ(a.Book().Names()[i].formula, b.Book().Names()[i].formula);
  }
  for (int s = 1; s <= a.GetNumSheets(); ++s) {
    SCOPED_TRACE("sheet " + std::to_string(s));
    EXPECT_EQ(a.GetSheetName(s), b.GetSheetName(s));
    a.SetActiveSheet(s);
    b.SetActiveSheet(s);
    ExpectSameFeatures(a.GetSheetFeatures(), b.GetSheetFeatures());
    ASSERT_EQ(a.GetLastRow(), b.GetLastRow());
    ASSERT_EQ(a.GetLastCol(), b.GetLastCol());
    int rows = std::min(a.GetLastRow(), 2000), cols = a.GetLastCol();
    int differ = 0;
    for (int r = 1; r <= rows && differ < 3; ++r)
      for (int c = 1; c <= cols && differ < 3; ++c) {
        const Sheet& sa = a.Book().Active();
        const Sheet& sb = b.Book().Active();
        bool same = a.GetCellFormattedText(r, c) == b.GetCellFormattedText(r, c) &&
                    a.GetCellFormula(r, c) == b.GetCellFormula(r, c) &&
                    FormatCode(a.Book(), sa, r, c) == FormatCode(b.Book(), sb, r, c);
        if (!same) {
          ++differ;
          ADD_FAILURE() << "cell " << r << "," << c << ": " << a.GetCellFormattedText(r, c)
                        << " / " << b.GetCellFormattedText(r, c) << "  =" << a.GetCellFormula(r, c)
                        << " / =" << b.GetCellFormula(r, c);
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
    ExpectSameBook(first, second);
  }
  EXPECT_GE(written.size(), 200u);
  if (std::system("command -v soffice >/dev/null 2>&1") != 0) {
    fs::remove_all(dir);
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  }
  std::string cmd = "cd '" + dir.string() + "' && soffice --headless "
                    "-env:UserInstallation=file://" + (dir / "profile").string() +
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
