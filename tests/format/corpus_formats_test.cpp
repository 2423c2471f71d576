// Every number-format code found in the wild workbooks renders any value without harm, and the
// interop workbooks show their numbers as the reference texts say.
#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <limits>
#include <set>

#include "control/control.h"
#include "control/engine_error.h"
#include "control/model/workbook.h"
#include "render_helpers.h"

namespace engine::format::test {
namespace {

namespace fs = std::filesystem;

std::set<std::string> CodesOfTheWildCorpus() {
  std::set<std::string> codes;
  fs::path dir = fs::path(DT_CORPUS_DIR) / "real-xls";
  if (!fs::is_directory(dir)) {
    ADD_FAILURE() << "The workbook corpus is missing: " << dir;
    return codes;
  }
  for (const auto& e : fs::directory_iterator(dir)) {
    // The large workbooks add rows, not formats; they would only slow the test down.
    if (e.path().extension() != ".xls" || e.file_size() > 300 * 1024) continue;
    Control c;
    short type = 0;
    try {
      c.ReadFile(e.path().string(), type);
    } catch (const EngineError&) {
      continue;  // refusing a damaged file is the reader's business
    }
    const FormatTable& formats = c.Book().Formats();
    for (std::size_t k = 0; k < formats.Count(); ++k)
      codes.insert(formats.Code(static_cast<std::uint16_t>(k)));
  }
  return codes;
}

TEST(CorpusFormats, EveryCodeOfTheWildWorkbooksRendersAnyValue) {
  auto codes = CodesOfTheWildCorpus();
  EXPECT_GT(codes.size(), 100u);  // about 250 distinct codes in all
  const double values[] = {0, -0.0, 1, -1234.5678, 45306.75, 0.5, 1e15, -1e300, 2958466, 1e-300,
                           std::numeric_limits<double>::infinity(), std::nan("")};
  for (const auto& code : codes) {
    auto f = ParseNumberFormat(code);
    EXPECT_EQ(FormatCode(*f), code);
    for (bool date1904 : {false, true})
      for (double v : values) {
        std::string shown = Render(*f, Value::Number(v), LocaleSettings::EnUs(), date1904);
        EXPECT_LT(shown.size(), 4 * code.size() + 400) << code << " " << v;
      }
    Render(*f, Value::Text("text"), GermanLocale());
  }
}

TEST(CorpusFormats, CommonCodesOfTheWildWorkbooks) {
  EXPECT_EQ(Show("_(\"$\"* #,##0.00_);_(\"$\"* \\(#,##0.00\\);_(\"$\"* \"-\"?\?_);_(@_)", -1234.5),
            " $(1,234.50)");
  EXPECT_EQ(Show("_-* #,##0.00\\ \"\u20AC\"_-;\\-* #,##0.00\\ \"\u20AC\"_-;_-* \"-\"?\?\\ \"\u20AC\"_-;_-@_-",
                 -5),
            "-5.00 \u20AC ");
  EXPECT_EQ(Show("[$-409]mmmm\\ d\\,\\ yyyy;@", 45306), "January 15, 2024");
  EXPECT_EQ(Show("[$-F400]h:mm:ss\\ AM/PM", 0.75), "6:00:00 PM");
  EXPECT_EQ(Show("m\"\u6708\"d\"\u65E5\"", 45306), "1\u670815\u65E5");
  EXPECT_EQ(Show("yyyy\\-mm\\-dd\\ hh:mm:ss\\ \\U\\T\\C", 45306.75), "2024-01-15 18:00:00 UTC");
  EXPECT_EQ(Show("[$$-409]#,##0.00;[RED]\\-[$$-409]#,##0.00", -3), "-$3.00");
  EXPECT_EQ(Show("#,##0.00;;0", -3), "");
  EXPECT_EQ(ShowText("\\S\\Q\\L\\ \\:\\ @", "x"), "SQL : x");
}

}  // namespace
}  // namespace engine::format::test
