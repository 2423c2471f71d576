#pragma once
// A command-state request: the platform asks the table whether a menu item is enabled, checked
// or has another text, before it shows the menu.

#include <optional>
#include <string>

namespace platform {

struct CommandState {
  unsigned id = 0;
  // The request is for the entry that opens the submenu holding the command (the table then
  // enables or grays that entry by its position).
  bool opensSubmenu = false;
  std::optional<bool> enabled;
  std::optional<int> checked;
  std::optional<std::string> text;

  void Enable(bool on = true) { enabled = on; }
  void SetCheck(int check = 1) { checked = check; }
  void SetText(std::string t) { text = std::move(t); }
};

}  // namespace platform
