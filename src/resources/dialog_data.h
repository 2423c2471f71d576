#pragma once
// The two dialog templates (dialog_autofill_lists.cpp, dialog_change_parameter_name.cpp).
// Internal to the resources.

#include "resources/dialogs.h"
#include "resources/resource_ids.h"

namespace resources::detail {

// The dialog font of each language: the size the layout was made for.
inline constexpr const char* kDialogFontEnglish = "MS Sans Serif";
inline constexpr const char* kDialogFontJapanese = "MS UI Gothic";
inline constexpr int kDialogPointsEnglish = 8;
inline constexpr int kDialogPointsJapanese = 9;

const DialogTemplate& AutoFillListsDialog();
const DialogTemplate& ChangeParameterNameDialog();

}  // namespace resources::detail
