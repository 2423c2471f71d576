// Dialog 3003, AutoFill Lists: the current list's text above the lists on the left, the
// buttons in a column on the right. The list box keeps the order it is filled in (no sorting):
// the dialog finds a list by its position, and the last entry is the new-list entry.

#include "resources/dialog_data.h"

namespace resources::detail {

namespace {

constexpr unsigned kButton = kStyleTabStop;
constexpr int kButtonX = 178, kButtonWidth = 50, kButtonHeight = 14;

constexpr DialogControl kControls[] = {
    {kCtlStatic,
     ControlKind::Static,
     {"&Current List", "現在のリスト(&C)"},
     {7, 7, 160, 8},
     kStyleNone,
     kCtlCurrentList},
    {kCtlCurrentList,
     ControlKind::Edit,
     {nullptr, nullptr},
     {7, 17, 160, 14},
     kStyleTabStop | kStyleGroup | kStyleBorder | kStyleAutoHScroll},
    {kCtlStatic,
     ControlKind::Static,
     {"&Lists", "リスト(&L)"},
     {7, 37, 160, 8},
     kStyleNone,
     kCtlLists},
    {kCtlLists,
     ControlKind::ListBox,
     {nullptr, nullptr},
     {7, 47, 160, 110},
     kStyleTabStop | kStyleGroup | kStyleBorder | kStyleVScroll | kStyleNotify |
         kStyleNoIntegralHeight},
    {kCtlOk,
     ControlKind::Button,
     {"OK", "OK"},
     {kButtonX, 7, kButtonWidth, kButtonHeight},
     kButton | kStyleGroup | kStyleDefaultButton},
    {kCtlCancel,
     ControlKind::Button,
     {"Cancel", "キャンセル"},
     {kButtonX, 24, kButtonWidth, kButtonHeight},
     kButton},
    {kCtlAdd,
     ControlKind::Button,
     {"&Add", "追加(&A)"},
     {kButtonX, 47, kButtonWidth, kButtonHeight},
     kButton | kStyleGroup},
    {kCtlDelete,
     ControlKind::Button,
     {"&Delete", "削除(&D)"},
     {kButtonX, 64, kButtonWidth, kButtonHeight},
     kButton},
    {kCtlOpenLists,
     ControlKind::Button,
     {"&Open...", "開く(&O)..."},
     {kButtonX, 88, kButtonWidth, kButtonHeight},
     kButton | kStyleGroup},
    {kCtlSaveLists,
     ControlKind::Button,
     {"&Save...", "保存(&S)..."},
     {kButtonX, 105, kButtonWidth, kButtonHeight},
     kButton},
    {kCtlHelp,
     ControlKind::Button,
     {"&Help", "ヘルプ(&H)"},
     {kButtonX, 143, kButtonWidth, kButtonHeight},
     kButton | kStyleGroup},
};

constexpr DialogTemplate kDialog{
    kDialogAutoFillLists,
    {"AutoFill Lists", "オートフィル リスト"},
    235,
    164,
    {kDialogFontEnglish, kDialogFontJapanese},
    {kDialogPointsEnglish, kDialogPointsJapanese},
    kControls,
};

}  // namespace

const DialogTemplate& AutoFillListsDialog() { return kDialog; }

}  // namespace resources::detail
