#include "resources/menus.h"

#include "resources/menu_data.h"

namespace resources {

namespace {

const MenuItem* FindIn(std::span<const MenuItem> items, int commandId) {
  for (const MenuItem& item : items) {
    if (item.IsPopup()) {
      if (const MenuItem* found = FindIn(item.children, commandId)) return found;
    } else if (!item.separator && item.id == commandId) {
      return &item;
    }
  }
  return nullptr;
}

}  // namespace

const Menu* FindMenu(int id) {
  if (id == kMenuFrame) return &detail::FrameMenu();
  if (id == kMenuContext) return &detail::ContextMenu();
  return nullptr;
}

const MenuItem* FindMenuItem(int menuId, int commandId) {
  const Menu* menu = FindMenu(menuId);
  if (menu == nullptr || commandId == 0) return nullptr;
  return FindIn(menu->items, commandId);
}

std::string_view MenuLabel(std::string_view text) { return text.substr(0, text.find('\t')); }

std::string_view MenuShortcut(std::string_view text) {
  const auto tab = text.find('\t');
  return tab == std::string_view::npos ? std::string_view{} : text.substr(tab + 1);
}

char MenuMnemonic(std::string_view text) {
  const std::string_view label = MenuLabel(text);
  for (std::size_t i = 0; i + 1 < label.size(); ++i) {
    if (label[i] != '&') continue;
    if (label[i + 1] == '&') {  // a literal ampersand
      ++i;
      continue;
    }
    const char c = label[i + 1];
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
  }
  return 0;
}

}  // namespace resources
