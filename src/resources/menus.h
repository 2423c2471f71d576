#pragma once
// The table window's menus as data: menu 3001 (the frame's menu bar) and menu 3010 (the child
// window's context menu, one popup holding the File, Edit, Data and Format submenus). The
// platform builds its real menus from these trees.
//
// An item is a command (id > 0, text), a separator, or a popup (children, text, id 0). Texts
// are the resource texts: "&" marks the mnemonic ("&&" is a literal ampersand), and a "\t"
// separates the shortcut text shown at the right edge (only the context menu's texts carry one;
// the menu bar's shortcuts come from accelerator table 3001, see AcceleratorText).

#include <span>
#include <string_view>

#include "resources/language.h"

namespace resources {

struct MenuItem {
  int id = 0;                             // command id; 0 for separators and popups
  const char* text[kLanguageCount] = {};  // nullptr for separators
  bool separator = false;
  bool grayed = false;                      // initial state: shown gray and disabled
  std::span<const MenuItem> children = {};  // the submenu of a popup item

  bool IsPopup() const { return !children.empty(); }
  const char* Text(Language lang) const { return text[static_cast<int>(lang)]; }
};

struct Menu {
  int id;
  std::span<const MenuItem> items;  // the top level: the menu bar's popups
};

// Menu 3001 or 3010; nullptr for any other id.
const Menu* FindMenu(int id);

// The first item with command id (depth first, in menu order) in menu menuId; nullptr when
// none. Command id 0 finds nothing.
const MenuItem* FindMenuItem(int menuId, int commandId);

// The part of a menu text before its "\t" (the whole text when it has none).
std::string_view MenuLabel(std::string_view text);

// The part after the "\t", empty when there is none.
std::string_view MenuShortcut(std::string_view text);

// The mnemonic character (the one after a single "&"), as upper case for ASCII letters;
// 0 when the text has none.
char MenuMnemonic(std::string_view text);

}  // namespace resources
