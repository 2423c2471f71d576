// Menu 3010: the context menu of a table window embedded in the host's window. Its one popup
// holds the File, Edit, Data and Format submenus; the shortcut texts follow the "\t".

#include "resources/menu_data.h"

namespace resources::detail {

namespace {

constexpr MenuItem kFile[] = {
    Command(kCmdFileImport, "&Import...", "インポート(&I)..."),
    Command(kCmdFileExport, "&Export...", "エクスポート(&E)..."),
    Separator(),
    Command(kCmdFilePrint, "&Print...", "印刷(&P)..."),
};

constexpr MenuItem kClear[] = {
    Command(kCmdEditClearAll, "&All", "すべて(&A)"),
    Command(kCmdEditClearFormats, "&Formats", "書式(&F)"),
    Command(kCmdEditClearContents, "&Contents\tCtrl+Del", "内容(&C)\tCtrl+Del"),
};

constexpr MenuItem kEdit[] = {
    Command(kCmdEditCut, "Cu&t\tCtrl+X", "切り取り(&T)\tCtrl+X"),
    Command(kCmdEditCopy, "&Copy\tCtrl+C", "コピー(&C)\tCtrl+C"),
    Command(kCmdEditPaste, "&Paste\tCtrl+V", "貼り付け(&P)\tCtrl+V"),
    Command(kCmdEditPasteValues, "Paste &Values", "値の貼り付け(&V)"),
    Separator(),
    Popup("Cle&ar", "クリア(&A)", kClear),
    Separator(),
    Command(kCmdEditInsert, "&Insert\tCtrl+I", "挿入(&I)\tCtrl+I"),
    Command(kCmdEditDelete, "&Delete\tCtrl+K", "削除(&D)\tCtrl+K"),
    Separator(),
    GrayedCommand(kCmdEditFillRight, "Fill &Right\tCtrl+R", "右方向へコピー(&R)\tCtrl+R"),
    GrayedCommand(kCmdEditFillDown, "Fill D&own\tCtrl+D", "下方向へコピー(&O)\tCtrl+D"),
    Separator(),
    Command(kCmdEditFind, "&Find...\tCtrl+F", "検索(&F)...\tCtrl+F"),
    Command(kCmdEditReplace, "R&eplace...\tCtrl+H", "置換(&E)...\tCtrl+H"),
    Command(kCmdEditGoTo, "&Go To...", "ジャンプ(&G)..."),
};

constexpr MenuItem kData[] = {
    Command(kCmdDataRecalc, "&Recalc\tF9", "再計算(&R)\tF9"),
    Separator(),
    Command(kCmdDataSort, "&Sort...", "並べ替え(&S)..."),
    Separator(),
    Command(kCmdDataAutoFillList, "&AutoFill List...", "オートフィル リスト(&A)..."),
};

constexpr MenuItem kPopupItems[] = {
    Popup("&File", "ファイル(&F)", kFile),
    Popup("&Edit", "編集(&E)", kEdit),
    Popup("&Data", "データ(&D)", kData),
    Popup("Forma&t", "書式(&T)", kFormatItems),
};

constexpr MenuItem kTop[] = {
    Popup("Context Menu", "コンテキスト メニュー", kPopupItems),
};

constexpr Menu kContextMenu{kMenuContext, kTop};

}  // namespace

const Menu& ContextMenu() { return kContextMenu; }

}  // namespace resources::detail
