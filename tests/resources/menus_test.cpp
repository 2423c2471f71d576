// Menus 3001 and 3010 as data: their layout, their agreement with each other and with the
// accelerators and status prompts, and the text helpers.

#include "resources/menus.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>
#include <string>
#include <vector>

#include "resources/accelerators.h"
#include "resources/resource_ids.h"
#include "resources/string_table.h"

namespace {

using namespace resources;

const Menu& Get(int id) {
  const Menu* menu = FindMenu(id);
  EXPECT_NE(menu, nullptr);
  return *menu;
}

// A popup's items as ids, 0 for a separator, -1 for a submenu.
std::vector<int> Layout(std::span<const MenuItem> items) {
  std::vector<int> ids;
  for (const MenuItem& item : items)
    ids.push_back(item.separator ? 0 : item.IsPopup() ? -1 : item.id);
  return ids;
}

std::vector<std::string> Texts(std::span<const MenuItem> items, Language lang) {
  std::vector<std::string> texts;
  for (const MenuItem& item : items) texts.push_back(item.separator ? "-" : item.Text(lang));
  return texts;
}

// Calls f for every popup's item list (the menu's top level included).
void ForEachLevel(std::span<const MenuItem> items,
                  const std::function<void(std::span<const MenuItem>)>& f) {
  f(items);
  for (const MenuItem& item : items)
    if (item.IsPopup()) ForEachLevel(item.children, f);
}

void ForEachCommand(std::span<const MenuItem> items,
                    const std::function<void(const MenuItem&)>& f) {
  for (const MenuItem& item : items) {
    if (item.IsPopup())
      ForEachCommand(item.children, f);
    else if (!item.separator)
      f(item);
  }
}

TEST(FrameMenu, BarAndFileMenuLayout) {
  const Menu& bar = Get(kMenuFrame);
  EXPECT_EQ(bar.id, 3001);
  EXPECT_EQ(Texts(bar.items, Language::English),
            (std::vector<std::string>{"&File", "&Edit", "&Data", "Forma&t", "&Help"}));
  const auto& file = bar.items[0].children;
  EXPECT_EQ(Layout(file), (std::vector<int>{57600, 57601, 57603, 57604, 0, 34320, 34321, 0, 57606,
                                            57609, 57607, 0, 57602}));
  EXPECT_EQ(Texts(file, Language::English),
            (std::vector<std::string>{"&New", "&Open...", "&Save", "Save &As...", "-", "&Import...",
                                      "&Export...", "-", "P&rint Setup...", "Print Pre&view",
                                      "&Print...", "-", "&Close"}));
}

TEST(FrameMenu, FileMenuWithoutFileCommandsStartsWithImport) {
  // The window deletes New, Open, Save and Save As by command and then the item at position 0,
  // which must then be the separator, and Print Preview when there is no preview.
  std::vector<const MenuItem*> file;
  for (const MenuItem& item : Get(kMenuFrame).items[0].children) file.push_back(&item);
  std::erase_if(file, [](const MenuItem* item) {
    return item->id == 57600 || item->id == 57601 || item->id == 57603 || item->id == 57604 ||
           item->id == 57609;
  });
  ASSERT_FALSE(file.empty());
  EXPECT_TRUE(file.front()->separator);
  file.erase(file.begin());
  EXPECT_STREQ(file.front()->Text(Language::English), "&Import...");
}

TEST(FrameMenu, EditDataFormatAndHelpLayout) {
  const auto& bar = Get(kMenuFrame).items;
  const auto& edit = bar[1].children;
  EXPECT_EQ(Layout(edit), (std::vector<int>{57635, 57634, 57637, 34300, 0, -1, 0, 34301, 34302, 0,
                                            34303, 34304, 0, 57636, 57641, 34305}));
  EXPECT_EQ(Texts(edit, Language::English),
            (std::vector<std::string>{"Cu&t", "&Copy", "&Paste", "Paste &Values", "-", "Cle&ar",
                                      "-", "&Insert", "&Delete", "-", "Fill &Right", "Fill D&own",
                                      "-", "&Find...", "R&eplace...", "&Go To..."}));
  EXPECT_EQ(Layout(edit[5].children), (std::vector<int>{57633, 34326, 34327}));
  EXPECT_EQ(Texts(edit[5].children, Language::English),
            (std::vector<std::string>{"&All", "&Formats", "&Contents"}));
  EXPECT_EQ(Layout(bar[2].children), (std::vector<int>{34306, 0, 34307, 0, 34308}));
  EXPECT_EQ(Texts(bar[2].children, Language::English),
            (std::vector<std::string>{"&Recalc", "-", "&Sort...", "-", "&AutoFill List..."}));
  EXPECT_EQ(Layout(bar[3].children), (std::vector<int>{34309, 34310, 34311, 34312, 34313, 34314,
                                                       34315, 34316, 34317, 34318, 34319}));
  EXPECT_EQ(
      Texts(bar[3].children, Language::English),
      (std::vector<std::string>{"&General", "Currency(&0)", "Currency(&2)", "Fi&xed", "P&ercent",
                                "F&raction", "&Scientific", "&date (dynamic)", "&Time: h:mm AM/PM",
                                "Custom &Number...", "&Validation Rule..."}));
  EXPECT_EQ(Layout(bar[4].children), (std::vector<int>{57669}));
  EXPECT_STREQ(bar[4].children[0].Text(Language::English), "What's &This?");
}

TEST(ContextMenu, OnePopupWithFileEditDataFormat) {
  const Menu& menu = Get(kMenuContext);
  EXPECT_EQ(menu.id, 3010);
  ASSERT_EQ(menu.items.size(), 1u);
  EXPECT_STREQ(menu.items[0].Text(Language::English), "Context Menu");
  const auto& popups = menu.items[0].children;
  EXPECT_EQ(Texts(popups, Language::English),
            (std::vector<std::string>{"&File", "&Edit", "&Data", "Forma&t"}));
  EXPECT_EQ(Texts(popups[0].children, Language::English),
            (std::vector<std::string>{"&Import...", "&Export...", "-", "&Print..."}));
  EXPECT_EQ(
      Texts(popups[1].children, Language::English),
      (std::vector<std::string>{"Cu&t\tCtrl+X", "&Copy\tCtrl+C", "&Paste\tCtrl+V", "Paste &Values",
                                "-", "Cle&ar", "-", "&Insert\tCtrl+I", "&Delete\tCtrl+K", "-",
                                "Fill &Right\tCtrl+R", "Fill D&own\tCtrl+D", "-",
                                "&Find...\tCtrl+F", "R&eplace...\tCtrl+H", "&Go To..."}));
  EXPECT_EQ(Texts(popups[1].children[5].children, Language::English),
            (std::vector<std::string>{"&All", "&Formats", "&Contents\tCtrl+Del"}));
  EXPECT_EQ(Texts(popups[2].children, Language::English),
            (std::vector<std::string>{"&Recalc\tF9", "-", "&Sort...", "-", "&AutoFill List..."}));
  EXPECT_EQ(Layout(popups[3].children), Layout(Get(kMenuFrame).items[3].children));
}

TEST(Menus, ContextItemsAgreeWithTheMenuBarAndTheAccelerators) {
  for (Language lang : {Language::English, Language::Japanese}) {
    ForEachCommand(Get(kMenuContext).items, [&](const MenuItem& item) {
      SCOPED_TRACE(item.id);
      const MenuItem* bar = FindMenuItem(kMenuFrame, item.id);
      ASSERT_NE(bar, nullptr);
      EXPECT_EQ(MenuLabel(item.Text(lang)), MenuLabel(bar->Text(lang)));
      EXPECT_EQ(item.grayed, bar->grayed);
      // A shortcut shown in the menu must be the key that really issues the command.
      const std::string_view shortcut = MenuShortcut(item.Text(lang));
      if (!shortcut.empty()) {
        const Accelerator* key = FindAccelerator(kAcceleratorsFrame, item.id);
        ASSERT_NE(key, nullptr);
        EXPECT_EQ(shortcut, AcceleratorText(*key));
      }
    });
  }
}

TEST(Menus, OnlyFillRightAndFillDownStartGrayed) {
  for (int menuId : {kMenuFrame, kMenuContext}) {
    std::set<int> grayed;
    ForEachCommand(Get(menuId).items, [&](const MenuItem& item) {
      if (item.grayed) grayed.insert(item.id);
    });
    EXPECT_EQ(grayed, (std::set<int>{kCmdEditFillRight, kCmdEditFillDown})) << menuId;
  }
}

TEST(Menus, MnemonicsAreUniqueAndTheSameInBothLanguages) {
  // The context menu's own popup title is never shown; its submenus are checked.
  for (std::span<const MenuItem> top :
       {Get(kMenuFrame).items, Get(kMenuContext).items[0].children}) {
    ForEachLevel(top, [&](std::span<const MenuItem> level) {
      for (Language lang : {Language::English, Language::Japanese}) {
        std::set<char> seen;
        for (const MenuItem& item : level) {
          if (item.separator) continue;
          const char* text = item.Text(lang);
          ASSERT_NE(text, nullptr);
          const char mnemonic = MenuMnemonic(text);
          EXPECT_NE(mnemonic, 0) << text;
          EXPECT_TRUE(seen.insert(mnemonic).second) << "duplicate mnemonic in " << text;
          EXPECT_EQ(mnemonic, MenuMnemonic(item.Text(Language::English))) << text;
        }
      }
    });
  }
}

TEST(Menus, ItemsAreWellFormed) {
  for (int menuId : {kMenuFrame, kMenuContext}) {
    ForEachLevel(Get(menuId).items, [&](std::span<const MenuItem> level) {
      EXPECT_FALSE(level.front().separator);
      EXPECT_FALSE(level.back().separator);
      for (const MenuItem& item : level) {
        if (item.separator) {
          EXPECT_EQ(item.id, 0);
          EXPECT_EQ(item.Text(Language::English), nullptr);
          EXPECT_FALSE(item.IsPopup());
        } else if (item.IsPopup()) {
          EXPECT_EQ(item.id, 0);
        } else {
          EXPECT_GT(item.id, 0);
        }
      }
    });
  }
}

TEST(Menus, EveryStatusPromptBelongsToAMenuCommand) {
  // A prompt is shown while the command with the same id is highlighted; a prompt whose id is
  // no command would never appear.
  const std::set<int> notPrompts = {3001, 3005,  3006,  3008,  3009,  3010,  3011, 3012, 3014,
                                    3015, 3017,  3018,  3019,  3020,  3021,  3022, 3023, 3024,
                                    3025, 3026,  57345, 57642, 57643, 57651, 57652, 57653};
  for (const StringEntry& entry : StringTable()) {
    if (notPrompts.contains(entry.id)) continue;
    EXPECT_NE(FindMenuItem(kMenuFrame, entry.id), nullptr) << entry.id;
  }
}

TEST(Menus, Lookups) {
  EXPECT_EQ(FindMenu(3002), nullptr);
  EXPECT_EQ(FindMenuItem(3002, kCmdEditCopy), nullptr);
  EXPECT_EQ(FindMenuItem(kMenuFrame, 0), nullptr);  // separators and popups have id 0
  EXPECT_EQ(FindMenuItem(kMenuFrame, 12345), nullptr);
  const MenuItem* clearAll = FindMenuItem(kMenuFrame, kCmdEditClearAll);  // in a submenu
  ASSERT_NE(clearAll, nullptr);
  EXPECT_STREQ(clearAll->Text(Language::English), "&All");
  EXPECT_EQ(FindMenuItem(kMenuContext, kCmdFileNew), nullptr);  // the bar's only
  EXPECT_STREQ(FindMenuItem(kMenuContext, kCmdEditCut)->Text(Language::Japanese),
               "切り取り(&T)\tCtrl+X");
}

TEST(Menus, TextHelpers) {
  EXPECT_EQ(MenuLabel("Cu&t\tCtrl+X"), "Cu&t");
  EXPECT_EQ(MenuShortcut("Cu&t\tCtrl+X"), "Ctrl+X");
  EXPECT_EQ(MenuLabel("Cu&t"), "Cu&t");
  EXPECT_EQ(MenuShortcut("Cu&t"), "");
  EXPECT_EQ(MenuMnemonic("Cu&t"), 'T');
  EXPECT_EQ(MenuMnemonic("&date (dynamic)"), 'D');
  EXPECT_EQ(MenuMnemonic("Currency(&0)"), '0');
  EXPECT_EQ(MenuMnemonic("Save && &Close"), 'C');  // "&&" is a literal ampersand
  EXPECT_EQ(MenuMnemonic("A && B"), 0);
  EXPECT_EQ(MenuMnemonic("Trailing&"), 0);
  EXPECT_EQ(MenuMnemonic("No mnemonic\tCtrl+&X"), 0);  // the shortcut part does not count
  EXPECT_EQ(MenuMnemonic(""), 0);
}

}  // namespace
