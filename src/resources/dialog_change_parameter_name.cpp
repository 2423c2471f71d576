// Dialog 3004, Change Parameter Name: the note about the test at the top, the name's label and
// edit box below it, OK and Cancel on the right. The edit box takes at most 255 characters, the
// longest parameter name.

#include "resources/dialog_data.h"

namespace resources::detail {

namespace {

constexpr DialogControl kControls[] = {
    {kCtlStatic,
     ControlKind::Static,
     {"Note: you also have to change the parameter name used by your test. Otherwise, the "
      "test may not run correctly.",
      "注意: テストで使用しているパラメータ名も変更する必要があります。"
      "変更しないと、テストが正しく実行されない場合があります。"},
     {7, 5, 145, 33},
     kStyleWordWrap},
    {kCtlStatic,
     ControlKind::Static,
     {"Parameter &name:", "パラメータ名(&N):"},
     {7, 40, 145, 8},
     kStyleNone,
     kCtlParameterName},
    {kCtlParameterName,
     ControlKind::Edit,
     {nullptr, nullptr},
     {7, 50, 145, 12},
     kStyleTabStop | kStyleGroup | kStyleBorder | kStyleAutoHScroll,
     0,
     255},
    {kCtlOk,
     ControlKind::Button,
     {"OK", "OK"},
     {158, 7, 50, 14},
     kStyleTabStop | kStyleGroup | kStyleDefaultButton},
    {kCtlCancel, ControlKind::Button, {"Cancel", "キャンセル"}, {158, 24, 50, 14}, kStyleTabStop},
};

constexpr DialogTemplate kDialog{
    kDialogChangeParameterName,
    {"Change Parameter Name", "パラメータ名の変更"},
    215,
    68,
    {kDialogFontEnglish, kDialogFontJapanese},
    {kDialogPointsEnglish, kDialogPointsJapanese},
    kControls,
};

}  // namespace

const DialogTemplate& ChangeParameterNameDialog() { return kDialog; }

}  // namespace resources::detail
