// Accelerator table 3001: the key combinations, their commands and their display texts.

#include "resources/accelerators.h"

#include <gtest/gtest.h>

#include <set>
#include <string>
#include <tuple>

#include "resources/menus.h"
#include "resources/resource_ids.h"

namespace {

using namespace resources;

TEST(Accelerators, TableHoldsExactlyTheWindowsShortcuts) {
  std::set<std::tuple<std::string, int>> actual;
  for (const Accelerator& a : AcceleratorTable(kAcceleratorsFrame))
    actual.emplace(AcceleratorText(a), a.command);
  const std::set<std::tuple<std::string, int>> expected = {
      {"Ctrl+C", 57634}, {"Ctrl+X", 57635},  {"Ctrl+V", 57637},   {"Ctrl+D", 34304},
      {"Ctrl+R", 34303}, {"Ctrl+F", 57636},  {"Ctrl+H", 57641},   {"Ctrl+I", 34301},
      {"Ctrl+K", 34302}, {"Ctrl+P", 57607},  {"Ctrl+Del", 34327}, {"F5", 34305},
      {"F9", 34306},     {"Shift+F1", 57669}};
  EXPECT_EQ(actual, expected);
  EXPECT_EQ(AcceleratorTable(kAcceleratorsFrame).size(), expected.size());
}

TEST(Accelerators, EveryKeyIsUniqueAndIssuesAMenuCommand) {
  std::set<std::pair<int, unsigned>> keys;
  for (const Accelerator& a : AcceleratorTable(kAcceleratorsFrame)) {
    EXPECT_TRUE(keys.emplace(a.key, a.modifiers).second) << AcceleratorText(a);
    EXPECT_NE(FindMenuItem(kMenuFrame, a.command), nullptr) << AcceleratorText(a);
  }
}

TEST(Accelerators, LookupsAndTexts) {
  EXPECT_TRUE(AcceleratorTable(3010).empty());
  EXPECT_TRUE(AcceleratorTable(0).empty());
  EXPECT_EQ(FindAccelerator(3010, kCmdEditCopy), nullptr);
  EXPECT_EQ(FindAccelerator(kAcceleratorsFrame, kCmdDataSort), nullptr);  // Sort has no key
  const Accelerator* clear = FindAccelerator(kAcceleratorsFrame, kCmdEditClearContents);
  ASSERT_NE(clear, nullptr);
  EXPECT_EQ(clear->key, kKeyDelete);
  EXPECT_EQ(clear->modifiers, kModCtrl);
  // Modifiers in a fixed order, whatever bits are combined.
  EXPECT_EQ(AcceleratorText({'S', kModCtrl | kModShift | kModAlt, 0}), "Ctrl+Shift+Alt+S");
  EXPECT_EQ(AcceleratorText({kKeyF1 + 11, kModAlt, 0}), "Alt+F12");
  EXPECT_EQ(AcceleratorText({'7', kModNone, 0}), "7");
}

}  // namespace
