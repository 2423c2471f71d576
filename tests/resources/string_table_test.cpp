// The string table: the texts the table shows, in both languages, and the lookup.

#include "resources/string_table.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "control/engine_error.h"
#include "resources/resource_ids.h"

namespace {

using resources::Language;
using resources::String;

std::string En(int id) {
  const char* text = String(id, Language::English);
  return text ? text : "<missing>";
}

// The placeholders of a message text: "%1".."%9" and printf conversions ("%s", "%d", …);
// "%%" is a literal percent sign.
std::vector<std::string> Placeholders(const std::string& text) {
  std::vector<std::string> found;
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] != '%') continue;
    const char next = text[i + 1];
    if (next == '%') {
      ++i;
      continue;
    }
    if ((next >= '0' && next <= '9') || std::strchr("sdiuxXcfgeEp", next) != nullptr)
      found.push_back(text.substr(i, 2));
  }
  std::sort(found.begin(), found.end());
  return found;
}

// Fields of a file-dialog filter ("label|pattern|…||").
std::vector<std::string> FilterFields(const std::string& filter) {
  std::vector<std::string> fields;
  std::size_t start = 0;
  for (std::size_t bar = filter.find('|'); bar != std::string::npos;
       bar = filter.find('|', start)) {
    fields.push_back(filter.substr(start, bar - start));
    start = bar + 1;
  }
  fields.push_back(filter.substr(start));
  return fields;
}

TEST(StringTable, MessagesReadExactlyAsWorded) {
  EXPECT_EQ(En(3001), "Data Table");
  EXPECT_EQ(En(3005), "Operation canceled.");
  EXPECT_EQ(En(3006), "Target area must be within table's data or concatenated to it.");
  EXPECT_EQ(En(3008), "Parameter is about to be deleted with all its cells values. Continue?");
  EXPECT_EQ(En(3009), "Name already exists!");
  EXPECT_EQ(En(3011),
            "Unable to open table. Table may already be opened, please close it and try again.");
  EXPECT_EQ(En(3017), "\nFix name automatically?");
  EXPECT_EQ(En(3019),
            "The first character of a parameter name must be a letter or an \nunderscore "
            "character.");
  EXPECT_EQ(En(3020),
            "Characters in a parameter name must be letters, numbers, \nperiods, or underscore "
            "characters.");
  EXPECT_EQ(En(3022), "&Date: %1 ");
  EXPECT_EQ(En(3023), "Do you want to save changes you made to %s?");
  EXPECT_EQ(En(34300), "Insert Clipboard contents, ignoring formatting");
  EXPECT_EQ(En(57345), "Ready");
  EXPECT_EQ(En(57651), "Do you want to run the test only on the selected rows?");
  EXPECT_EQ(En(57652), "afl");
}

TEST(StringTable, FileFiltersKeepTheirPairsAndTerminator) {
  EXPECT_EQ(En(3021),
            "Microsoft Excel Files (*.xls)|*.xls|Tabbed Text (*.txt)|*.txt|All Files "
            "(*.*)|*.*||");
  EXPECT_EQ(En(3024),
            "Microsoft Excel 97-2000 (*.xls)|*.xls|MIcrosoft Excel 5.0/95 (*.xls)|*.xls|Tabbed "
            "Text (*.txt)|*.txt||");
  EXPECT_EQ(En(57653), "Autofill list files (*.afl)|*.afl|All Files (*.*)|*.*||");
  // The filter index a dialog reports counts label/pattern pairs: both languages need the
  // same patterns in the same places, or the chosen index would mean another file type.
  for (int id : {3021, 3024, 57653}) {
    SCOPED_TRACE(id);
    const auto en = FilterFields(String(id, Language::English));
    const auto ja = FilterFields(String(id, Language::Japanese));
    ASSERT_EQ(en.size(), ja.size());
    ASSERT_GE(en.size(), 4u);
    EXPECT_EQ(en[en.size() - 1], "");  // ends with "||"
    EXPECT_EQ(en[en.size() - 2], "");
    for (std::size_t i = 1; i + 2 < en.size(); i += 2) EXPECT_EQ(en[i], ja[i]) << "pattern " << i;
  }
}

TEST(StringTable, EveryQuotedIdIsPresentAndNothingElse) {
  const std::set<int> expected = {
      3001,  3005,  3006,  3008,  3009,  3010,  3011,  3012,  3014,  3015,  3017,  3018,
      3019,  3020,  3021,  3022,  3023,  3024,  3025,  3026 /* .xlsx and .csv filters */, 34300, 34301, 34302, 34303, 34304,
      34305, 34306, 34307, 34308, 34309, 34310, 34311, 34312, 34313, 34314, 34315, 34316,
      34317, 34318, 34319, 34320, 34321, 34326, 34327, 57345, 57600, 57601, 57603, 57604,
      57609, 57636, 57641, 57642, 57643, 57651, 57652, 57653};
  std::set<int> present;
  for (const auto& entry : resources::StringTable()) present.insert(entry.id);
  EXPECT_EQ(present, expected);
}

TEST(StringTable, BothLanguagesCarryTheSamePlaceholdersAndBreaks) {
  for (const auto& entry : resources::StringTable()) {
    SCOPED_TRACE(entry.id);
    const char* en = String(entry.id, Language::English);
    const char* ja = String(entry.id, Language::Japanese);
    ASSERT_NE(en, nullptr);
    ASSERT_NE(ja, nullptr);
    EXPECT_GT(std::strlen(en), 0u);
    EXPECT_GT(std::strlen(ja), 0u);
    EXPECT_EQ(Placeholders(en), Placeholders(ja));
    // A text that starts or ends with a line break is glued to another one (3017 follows the
    // reason of a name rule); the translation must keep the break where it is.
    EXPECT_EQ(en[0] == '\n', ja[0] == '\n');
    EXPECT_EQ(en[std::strlen(en) - 1] == '\n', ja[std::strlen(ja) - 1] == '\n');
  }
  // The menu text 3022 replaces an item's text: it needs its mnemonic in both languages, and
  // the trailing space stays.
  EXPECT_NE(std::strchr(String(3022, Language::Japanese), '&'), nullptr);
  EXPECT_EQ(std::string(String(3022, Language::Japanese)).back(), ' ');
}

TEST(StringTable, EngineReferenceTextsAreTheSameInBothLanguages) {
  // The table recognises a cancelled operation and a file held by another program by
  // comparing the engine's error text with these strings; the engine's texts do not change
  // with the language, so the Japanese entries must not be translated.
  for (int id : {resources::kStrOperationCanceled, resources::kStrUnableToOpenFile,
                 resources::kStrInvalidFile}) {
    SCOPED_TRACE(id);
    EXPECT_STREQ(String(id, Language::English), String(id, Language::Japanese));
  }
  EXPECT_EQ(En(3010), "Unable to open file.");
  EXPECT_EQ(En(3025), "Invalid file.");
  // The resources hold their own copies of the engine's texts; they must stay the engine's.
  EXPECT_EQ(En(3005), engine::kTextOperationCanceled);
  EXPECT_EQ(En(3010), engine::kTextUnableToOpenFile);
  EXPECT_EQ(En(3025), engine::kTextInvalidFile);
}

TEST(StringTable, UnknownIdsAndLanguagesGiveNull) {
  EXPECT_EQ(String(0, Language::English), nullptr);
  EXPECT_EQ(String(-1, Language::Japanese), nullptr);
  EXPECT_EQ(String(3002, Language::English), nullptr);   // the icon's id, no string
  EXPECT_EQ(String(3016, Language::English), nullptr);   // a gap between quoted ids
  EXPECT_EQ(String(57602, Language::English), nullptr);  // Close has no prompt
  EXPECT_EQ(String(99999, Language::English), nullptr);
  EXPECT_EQ(String(3009, static_cast<Language>(2)), nullptr);
  EXPECT_EQ(String(3009, static_cast<Language>(-1)), nullptr);
  // The first and last entries are found too (the search has no off-by-one at the ends).
  EXPECT_STREQ(String(3001, Language::English), "Data Table");
  EXPECT_STREQ(String(57653, Language::Japanese), resources::StringTable().back().text[1]);
}

}  // namespace
