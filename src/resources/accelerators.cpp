#include "resources/accelerators.h"

#include "resources/resource_ids.h"

namespace resources {

namespace {

constexpr Accelerator kFrameAccelerators[] = {
    {'C', kModCtrl, kCmdEditCopy},
    {'X', kModCtrl, kCmdEditCut},
    {'V', kModCtrl, kCmdEditPaste},
    {'D', kModCtrl, kCmdEditFillDown},
    {'R', kModCtrl, kCmdEditFillRight},
    {'F', kModCtrl, kCmdEditFind},
    {'H', kModCtrl, kCmdEditReplace},
    {'I', kModCtrl, kCmdEditInsert},
    {'K', kModCtrl, kCmdEditDelete},
    {'P', kModCtrl, kCmdFilePrint},
    {kKeyDelete, kModCtrl, kCmdEditClearContents},
    {kKeyF5, kModNone, kCmdEditGoTo},
    {kKeyF9, kModNone, kCmdDataRecalc},
    {kKeyF1, kModShift, kCmdHelpWhatsThis},
};

std::string KeyName(int key) {
  if (key >= 'A' && key <= 'Z') return std::string(1, static_cast<char>(key));
  if (key >= '0' && key <= '9') return std::string(1, static_cast<char>(key));
  if (key == kKeyDelete) return "Del";
  if (key >= kKeyF1 && key < kKeyF1 + 24) return "F" + std::to_string(key - kKeyF1 + 1);
  return "?";
}

}  // namespace

std::span<const Accelerator> AcceleratorTable(int id) {
  if (id == kAcceleratorsFrame) return kFrameAccelerators;
  return {};
}

const Accelerator* FindAccelerator(int tableId, int command) {
  for (const Accelerator& a : AcceleratorTable(tableId))
    if (a.command == command) return &a;
  return nullptr;
}

std::string AcceleratorText(const Accelerator& accelerator) {
  std::string text;
  if (accelerator.modifiers & kModCtrl) text += "Ctrl+";
  if (accelerator.modifiers & kModShift) text += "Shift+";
  if (accelerator.modifiers & kModAlt) text += "Alt+";
  return text + KeyName(accelerator.key);
}

}  // namespace resources
