#pragma once
// The string table's entries. Included only by string_table.cpp; sorted by id (checked below).
//
// Strings 3005, 3010 and 3025 are reference texts: the table compares the engine's error
// descriptions with them to recognise a cancelled operation and a file that another program holds
// open when its error code does not say so. They are the engine's own texts in both languages
// (a test holds them equal to the engine's), so the comparison works whatever language the
// resources are shown in.

#include <iterator>

#include "resources/string_table.h"

namespace resources::detail {

inline constexpr StringEntry kStringEntries[] = {
    {3001, {"Data Table", "データ テーブル"}},
    {3005, {"Operation canceled.", "Operation canceled."}},
    {3006,
     {"Target area must be within table's data or concatenated to it.",
      "貼り付け先は、テーブルのデータ範囲内か、データ範囲に隣接している必要があります。"}},
    {3008,
     {"Parameter is about to be deleted with all its cells values. Continue?",
      "パラメータとそのセルの値がすべて削除されます。続行しますか?"}},
    {3009, {"Name already exists!", "その名前は既に存在します!"}},
    {3010, {"Unable to open file.", "Unable to open file."}},
    {3011,
     {"Unable to open table. Table may already be opened, please close it and try again.",
      "テーブルを開けません。テーブルが既に開かれている可能性があります。"
      "閉じてから、もう一度実行してください。"}},
    {3012,
     {"Unable to save table. Table may already be opened, please close it and try again.",
      "テーブルを保存できません。テーブルが既に開かれている可能性があります。"
      "閉じてから、もう一度実行してください。"}},
    {3014,
     {"Importing the first sheet only. Other sheets are being ignored.",
      "最初のシートだけをインポートします。その他のシートは無視されます。"}},
    {3015, {"Parameter name not defined.", "パラメータ名が指定されていません。"}},
    {3017, {"\nFix name automatically?", "\n名前を自動的に修正しますか?"}},
    {3018,
     {"Parameter name can contain up to 255 characters.",
      "パラメータ名に使用できるのは 255 バイトまでです。"}},
    {3019,
     {"The first character of a parameter name must be a letter or an \nunderscore character.",
      "パラメータ名の最初の文字は、文字またはアンダースコア \nでなければなりません。"}},
    {3020,
     {"Characters in a parameter name must be letters, numbers, \nperiods, or underscore "
      "characters.",
      "パラメータ名に使用できるのは、文字、数字、\nピリオド、アンダースコアだけです。"}},
    {3021,
     {"Microsoft Excel Files (*.xls)|*.xls|Tabbed Text (*.txt)|*.txt|All Files (*.*)|*.*||",
      "Microsoft Excel ファイル (*.xls)|*.xls|タブ区切りテキスト (*.txt)|*.txt|"
      "すべてのファイル (*.*)|*.*||"}},
    {3022, {"&Date: %1 ", "日付(&D): %1 "}},
    {3023, {"Do you want to save changes you made to %s?", "%s に加えた変更を保存しますか?"}},
    {3024,
     {"Microsoft Excel 97-2000 (*.xls)|*.xls|MIcrosoft Excel 5.0/95 (*.xls)|*.xls|"
      "Tabbed Text (*.txt)|*.txt||",
      "Microsoft Excel 97-2000 (*.xls)|*.xls|Microsoft Excel 5.0/95 (*.xls)|*.xls|"
      "タブ区切りテキスト (*.txt)|*.txt||"}},
    {3025, {"Invalid file.", "Invalid file."}},
    {3026,
     {"Excel Workbook (*.xlsx)|*.xlsx|CSV, Comma-Separated Text (*.csv)|*.csv||",
      "Excel ブック (*.xlsx)|*.xlsx|CSV カンマ区切りテキスト (*.csv)|*.csv||"}},
    {34300,
     {"Insert Clipboard contents, ignoring formatting",
      "書式を無視してクリップボードの内容を貼り付けます"}},
    {34301, {"Insert empty cells", "空白セルを挿入します"}},
    {34302, {"Delete selected cells", "選択したセルを削除します"}},
    {34303,
     {"Copy left cells of selection to the right", "選択範囲の左端のセルを右方向へコピーします"}},
    {34304, {"Copy top cells of the selection down", "選択範囲の上端のセルを下方向へコピーします"}},
    {34305, {"Goto a cell or named range", "セルまたは名前付き範囲へ移動します"}},
    {34306, {"Recalculate entire table", "テーブル全体を再計算します"}},
    {34307, {"Sort the selected cells", "選択したセルを並べ替えます"}},
    {34308, {"Create or edit auto fill lists", "オートフィル リストを作成または編集します"}},
    {34309, {"Set format to General", "表示形式を標準にします"}},
    {34310,
     {"Set format to currency with commas and no decimal places",
      "表示形式を桁区切りあり、小数点以下なしの通貨にします"}},
    {34311,
     {"Set format to currency with commas and two decimal places",
      "表示形式を桁区切りあり、小数点以下 2 桁の通貨にします"}},
    {34312,
     {"Set format to fixed precision with commas and no decimal places",
      "表示形式を桁区切りあり、小数点以下なしの固定小数点にします"}},
    {34313,
     {"Set format to percent with no decimal places",
      "表示形式を小数点以下なしのパーセントにします"}},
    {34314, {"Set format to fraction", "表示形式を分数にします"}},
    {34315,
     {"Set format to scientific notation with two decimal places",
      "表示形式を小数点以下 2 桁の指数にします"}},
    {34316, {"Set format to date", "表示形式を日付にします"}},
    {34317, {"Set format to time", "表示形式を時刻にします"}},
    {34318, {"Set number format for selected cells", "選択したセルの表示形式を設定します"}},
    {34319, {"Set validation rule for selected cells", "選択したセルの入力規則を設定します"}},
    {34320, {"Import data table", "データ テーブルをインポートします"}},
    {34321, {"Export data table", "データ テーブルをエクスポートします"}},
    {34326, {"Erase formats", "書式を消去します"}},
    {34327, {"Erase contents", "内容を消去します"}},
    {57345, {"Ready", "レディ"}},
    {57600, {"Create a new table", "新しいテーブルを作成します"}},
    {57601, {"Open table", "テーブルを開きます"}},
    {57603, {"Save table", "テーブルを保存します"}},
    {57604, {"Save table with a new name", "テーブルに名前を付けて保存します"}},
    {57609,
     {"Preview the active data table", "アクティブなデータ テーブルの印刷プレビューを表示します"}},
    {57636, {"Selects cell containing specified text", "指定した文字列を含むセルを選択します"}},
    {57641,
     {"Replace specified text with different text", "指定した文字列を別の文字列で置き換えます"}},
    {57642, {"Error opening file!", "ファイルを開くときにエラーが発生しました!"}},
    {57643, {"Error saving file!", "ファイルを保存するときにエラーが発生しました!"}},
    {57651,
     {"Do you want to run the test only on the selected rows?",
      "選択した行だけでテストを実行しますか?"}},
    {57652, {"afl", "afl"}},
    {57653,
     {"Autofill list files (*.afl)|*.afl|All Files (*.*)|*.*||",
      "オートフィル リスト ファイル (*.afl)|*.afl|すべてのファイル (*.*)|*.*||"}},
};

// Lookups use a binary search, so the entries must stay in ascending id order.
consteval bool SortedById() {
  for (std::size_t i = 1; i < std::size(kStringEntries); ++i)
    if (kStringEntries[i - 1].id >= kStringEntries[i].id) return false;
  return true;
}
static_assert(SortedById(), "string table entries must be sorted by id, each id once");

}  // namespace resources::detail
