// Menu 3001: the menu bar of a framed table window. Fill Right and Fill Down start grayed; the
// update handlers enable them. Without file commands the window deletes New, Open, Save,
// Save As and the separator after them; without print preview it deletes Print Preview.

#include "resources/menu_data.h"

namespace resources::detail {

namespace {

constexpr MenuItem kFile[] = {
    Command(kCmdFileNew, "&New", "新規作成(&N)"),
    Command(kCmdFileOpen, "&Open...", "開く(&O)..."),
    Command(kCmdFileSave, "&Save", "上書き保存(&S)"),
    Command(kCmdFileSaveAs, "Save &As...", "名前を付けて保存(&A)..."),
    Separator(),
    Command(kCmdFileImport, "&Import...", "インポート(&I)..."),
    Command(kCmdFileExport, "&Export...", "エクスポート(&E)..."),
    Separator(),
    Command(kCmdFilePrintSetup, "P&rint Setup...", "印刷設定(&R)..."),
    Command(kCmdFilePrintPreview, "Print Pre&view", "印刷プレビュー(&V)"),
    Command(kCmdFilePrint, "&Print...", "印刷(&P)..."),
    Separator(),
    Command(kCmdFileClose, "&Close", "閉じる(&C)"),
};

constexpr MenuItem kClear[] = {
    Command(kCmdEditClearAll, "&All", "すべて(&A)"),
    Command(kCmdEditClearFormats, "&Formats", "書式(&F)"),
    Command(kCmdEditClearContents, "&Contents", "内容(&C)"),
};

constexpr MenuItem kEdit[] = {
    Command(kCmdEditCut, "Cu&t", "切り取り(&T)"),
    Command(kCmdEditCopy, "&Copy", "コピー(&C)"),
    Command(kCmdEditPaste, "&Paste", "貼り付け(&P)"),
    Command(kCmdEditPasteValues, "Paste &Values", "値の貼り付け(&V)"),
    Separator(),
    Popup("Cle&ar", "クリア(&A)", kClear),
    Separator(),
    Command(kCmdEditInsert, "&Insert", "挿入(&I)"),
    Command(kCmdEditDelete, "&Delete", "削除(&D)"),
    Separator(),
    GrayedCommand(kCmdEditFillRight, "Fill &Right", "右方向へコピー(&R)"),
    GrayedCommand(kCmdEditFillDown, "Fill D&own", "下方向へコピー(&O)"),
    Separator(),
    Command(kCmdEditFind, "&Find...", "検索(&F)..."),
    Command(kCmdEditReplace, "R&eplace...", "置換(&E)..."),
    Command(kCmdEditGoTo, "&Go To...", "ジャンプ(&G)..."),
};

constexpr MenuItem kData[] = {
    Command(kCmdDataRecalc, "&Recalc", "再計算(&R)"),
    Separator(),
    Command(kCmdDataSort, "&Sort...", "並べ替え(&S)..."),
    Separator(),
    Command(kCmdDataAutoFillList, "&AutoFill List...", "オートフィル リスト(&A)..."),
};

constexpr MenuItem kHelp[] = {
    Command(kCmdHelpWhatsThis, "What's &This?", "ポップアップ ヘルプ(&T)"),
};

constexpr MenuItem kBar[] = {
    Popup("&File", "ファイル(&F)", kFile), Popup("&Edit", "編集(&E)", kEdit),
    Popup("&Data", "データ(&D)", kData),   Popup("Forma&t", "書式(&T)", kFormatItems),
    Popup("&Help", "ヘルプ(&H)", kHelp),
};

constexpr Menu kFrameMenu{kMenuFrame, kBar};

}  // namespace

const Menu& FrameMenu() { return kFrameMenu; }

}  // namespace resources::detail
