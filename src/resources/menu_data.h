#pragma once
// Builders for the menu trees and the two menus' definitions (menu_frame.cpp,
// menu_context.cpp). Internal to the resources.

#include "resources/menus.h"
#include "resources/resource_ids.h"

namespace resources::detail {

constexpr MenuItem Command(int id, const char* english, const char* japanese) {
  MenuItem item;
  item.id = id;
  item.text[0] = english;
  item.text[1] = japanese;
  return item;
}

constexpr MenuItem GrayedCommand(int id, const char* english, const char* japanese) {
  MenuItem item = Command(id, english, japanese);
  item.grayed = true;
  return item;
}

constexpr MenuItem Separator() {
  MenuItem item;
  item.separator = true;
  return item;
}

constexpr MenuItem Popup(const char* english, const char* japanese,
                         std::span<const MenuItem> children) {
  MenuItem item;
  item.text[0] = english;
  item.text[1] = japanese;
  item.children = children;
  return item;
}

// The Format items, the same in the menu bar and in the context menu.
inline constexpr MenuItem kFormatItems[] = {
    Command(kCmdFormatGeneral, "&General", "標準(&G)"),
    Command(kCmdFormatCurrency0, "Currency(&0)", "通貨(&0)"),
    Command(kCmdFormatCurrency2, "Currency(&2)", "通貨(&2)"),
    Command(kCmdFormatFixed, "Fi&xed", "固定小数点(&X)"),
    Command(kCmdFormatPercent, "P&ercent", "パーセント(&E)"),
    Command(kCmdFormatFraction, "F&raction", "分数(&R)"),
    Command(kCmdFormatScientific, "&Scientific", "指数(&S)"),
    Command(kCmdFormatDate, "&date (dynamic)", "日付 (動的)(&D)"),
    Command(kCmdFormatTime, "&Time: h:mm AM/PM", "時刻: h:mm AM/PM(&T)"),
    Command(kCmdFormatCustomNumber, "Custom &Number...", "ユーザー定義(&N)..."),
    Command(kCmdFormatValidationRule, "&Validation Rule...", "入力規則(&V)..."),
};

const Menu& FrameMenu();
const Menu& ContextMenu();

}  // namespace resources::detail
