// A workbook prepared in a desktop spreadsheet keeps everything it carries through
// `datatable convert` (open as a table, save as Excel 97-2000): the corpus's checker, which
// reads the copy with LibreOffice, finds every feature it lists.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <sstream>

#include "cli.h"
#include "corpus_support.h"
#include "support/shell.h"

namespace {

namespace fs = std::filesystem;

// Runs the corpus checker on one copy. The checker drives LibreOffice with one fixed profile,
// which two instances cannot share: the lock keeps test programs run side by side (ctest -j)
// from starting it twice at once.
void Check(const fs::path& dir, const fs::path& features, const std::string& copy) {
  int status = 0;
  std::string report = Shell("flock -w 600 /tmp/dt-fidelity-check.lock '" + (dir / "check.sh").string() +
                                 "' '" + features.string() + "' '" + copy + "' 2>&1",
                             status);
  EXPECT_EQ(status, 0) << report;
  EXPECT_EQ(report.find("lost:"), std::string::npos) << report;
}

TEST(FidelityCheck, EveryFeatureOfTheFidelityWorkbooksSurvivesConvert) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  fs::path dir = fs::path(DT_CORPUS_DIR) / "fidelity";
  ASSERT_TRUE(fs::is_regular_file(dir / "check.sh")) << "the fidelity corpus is missing: " << dir;
  std::string scratch = ScratchFolder();
  int checked = 0;
  for (const auto& e : fs::directory_iterator(dir)) {
    if (e.path().extension() != ".xls") continue;
    SCOPED_TRACE(e.path().filename().string());
    fs::path features = dir / (e.path().stem().string() + ".features.json");
    ASSERT_TRUE(fs::is_regular_file(features));
    std::string copy = scratch + "/" + e.path().filename().string();
    std::ostringstream out, err;
    ASSERT_EQ(dtapp::Main({"convert", e.path().string(), copy, "--type", "11"}, out, err), 0)
        << err.str();
    Check(dir, features, copy);
    ++checked;
  }
  EXPECT_GE(checked, 2);
  fs::remove_all(scratch);
}

// The same in .xlsx: each workbook converted .xls -> .xlsx, the .xlsx of the corpus and that
// first copy each converted .xlsx -> .xlsx, and every copy still carries every feature.
TEST(FidelityCheck, EveryFeatureSurvivesConvertToXlsx) {
  if (std::system("command -v soffice >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "LibreOffice (soffice) is not installed; scripts/install-deps.sh installs it";
  fs::path dir = fs::path(DT_CORPUS_DIR) / "fidelity";
  ASSERT_TRUE(fs::is_regular_file(dir / "check.sh")) << "the fidelity corpus is missing: " << dir;
  std::string scratch = ScratchFolder();
  int checked = 0;
  auto convertAndCheck = [&](const fs::path& from, const fs::path& features,
                             const std::string& to) {
    SCOPED_TRACE(from.filename().string() + " -> " + to);
    std::ostringstream out, err;
    ASSERT_EQ(dtapp::Main({"convert", from.string(), to, "--type", "51"}, out, err), 0)
        << err.str();
    Check(dir, features, to);
    ++checked;
  };
  for (const auto& e : fs::directory_iterator(dir)) {
    std::string ext = e.path().extension().string();
    if (ext != ".xls" && ext != ".xlsx") continue;
    fs::path features = dir / (e.path().stem().string() + ".features.json");
    ASSERT_TRUE(fs::is_regular_file(features)) << features;
    std::string stem =
        scratch + "/" + e.path().stem().string() + (ext == ".xls" ? "-xls" : "-xlsx");
    convertAndCheck(e.path(), features, stem + "-1.xlsx");
    convertAndCheck(stem + "-1.xlsx", features, stem + "-2.xlsx");
  }
  EXPECT_GE(checked, 6);
  fs::remove_all(scratch);
}

}  // namespace
