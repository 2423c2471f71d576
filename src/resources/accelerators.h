#pragma once
// Accelerator table 3001, used by the framed and the embedded table window alike: key
// combinations that issue menu commands.
//
// Keys are numbered as virtual-key codes: the capital letter's code for a letter key ('C'),
// and the constants below for the others; the platform maps them to its own key codes.

#include <span>
#include <string>

namespace resources {

enum AcceleratorKey : int {
  kKeyDelete = 0x2E,
  kKeyF1 = 0x70,
  kKeyF5 = 0x74,
  kKeyF9 = 0x78,
};

enum AcceleratorModifier : unsigned {
  kModNone = 0,
  kModCtrl = 1u << 0,
  kModShift = 1u << 1,
  kModAlt = 1u << 2,
};

struct Accelerator {
  int key;             // 'A' … 'Z' or an AcceleratorKey
  unsigned modifiers;  // AcceleratorModifier bits
  int command;         // the menu command it issues
};

// The table with that id (3001); empty for any other id.
std::span<const Accelerator> AcceleratorTable(int id);

// The first accelerator of table tableId that issues command; nullptr when none.
const Accelerator* FindAccelerator(int tableId, int command);

// The shortcut text shown beside a menu item: modifiers "Ctrl+", "Shift+", "Alt+" in that
// order, then the key: "Ctrl+X", "Ctrl+Del", "Shift+F1", "F5".
std::string AcceleratorText(const Accelerator& accelerator);

}  // namespace resources
