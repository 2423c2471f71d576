#pragma once
// What the control's own edit dialogs do, apart from showing themselves: find and replace,
// go to a reference or a name, sort the selection, check and preview a number-format code, and
// read, check and give the selection a validation rule.
// Each works on the active sheet of a Control, so a dialog of any window system (or a test)
// drives the same logic.

#include <string>
#include <vector>

#include "control/sheet_features.h"

namespace engine {

class Control;

// --- Find and Replace ---------------------------------------------------------------------------

struct FindOptions {
  std::string text;  // what to look for; nothing is found for an empty text
  bool matchCase = false;
  bool wholeCell = false;   // the cell's whole text, not a part of it
  bool byColumns = false;   // down each column first; otherwise along each row
  bool inFormulas = false;  // the entry text (formulas as "=…"); otherwise the displayed text
};

// Finds the next (previous) cell of the used area after (before) the active cell that matches,
// going round the sheet and ending with the active cell itself. The cell found becomes the
// selection and the active cell; false, with nothing changed, when no cell matches.
bool FindNext(Control& control, const FindOptions& options, bool previous = false);

// Replaces in the active cell when it matches, then finds the next match. The text replaced is
// the cell's entry: a formula only when options.inFormulas. true when the cell was changed.
bool ReplaceCurrent(Control& control, const FindOptions& options, const std::string& with);

// Replaces every match in the used area of the active sheet; returns the number of cells
// changed. The change is one modification (one Modified event) however many cells change.
int ReplaceAll(Control& control, const FindOptions& options, const std::string& with);

// --- Go To ---------------------------------------------------------------------------------------

// Selects what `text` names: a cell or range in A1 form ("B7", "$A$1:$C$4", "C:E", "3:9"),
// optionally on a sheet ("Orders!B2", "'My sheet'!A1:B3"), or a defined name. false with a
// reason a person can read, and nothing changed, when it names nothing.
bool GotoReference(Control& control, const std::string& text, std::string& error);

// --- Sort ----------------------------------------------------------------------------------------

struct SortKey {
  int index = 0;  // column (sorting rows) or row (sorting columns) of the sheet; 0: no key
  bool descending = false;
};

struct SortRequest {
  SortKey keys[3];
  bool byRows = true;   // reorder the rows of the selection; otherwise its columns
  bool header = false;  // the first row (column) of the selection is a heading and stays put
};

// True when sorting the rows of the selection would tear rows apart: one range that leaves out
// used columns on its left or right.
bool SortWouldTearRows(const Control& control);
// Widens the selection to the whole used width of its rows.
void WidenSortSelection(Control& control);
// Sorts the selected range through SortRange. Throws EngineError for a key outside it or
// without any key.
void SortSelection(Control& control, const SortRequest& request);

// --- Number formats ------------------------------------------------------------------------------

// Whether a format code can be used; when not, why not.
bool CheckNumberFormat(const std::string& code, std::string& reason);
// What a number-format code shows, for grouping codes in the dialog.
enum class NumberFormatKind { General, Number, Currency, Percent, Fraction, Scientific, Date, Time,
                              DateTime, Text };
NumberFormatKind KindOfNumberFormat(const std::string& code);
// The built-in codes in the order of their ids.
std::vector<std::string> BuiltinNumberFormats();
// The workbook's defined names, for the Go To list.
std::vector<std::string> DefinedNames(const Control& control);
// The active cell's value as the code shows it ("" for an invalid code).
std::string PreviewNumberFormat(const Control& control, const std::string& code);

// --- Validation rules ----------------------------------------------------------------------------

// The rule the dialog starts from: the one that covers the active cell, or one that takes
// anything (its defaults) when none does.
ValidationRule RuleOfActiveCell(const Control& control);
// A rule value as a person edits it: a constant as the rule's type shows it (a date as a date,
// a time as a time, else a number), a formula with its "=".
std::string RuleValueText(const Control& control, ValidationType type, const std::string& formula);
// What a person typed for a value, as the rule holds it: "=…" is a formula (without its "="),
// anything else a constant read as typed in a cell (a date, a time, a number). Empty text gives
// an empty formula. false, with a reason, for a constant the rule's type cannot compare with.
bool RuleValueFormula(const Control& control, ValidationType type, const std::string& text,
                      std::string& formula, std::string& reason);
// A list's source as a person edits it: "=" and a range or a name, or the items separated by
// commas (an item with a comma, a quotation mark or spaces at its ends between quotation marks,
// a quotation mark inside doubled).
std::string ListSourceText(const ValidationRule& rule);
// Reads a source text into the rule's formula1 and items; false, with a reason, for an empty
// list or an unclosed quotation.
bool ParseListSource(const std::string& text, ValidationRule& rule, std::string& reason);
// Whether the rule can be given to the selection: the values its type and operator need are
// there, its formulas parse at the active cell, a minimum is not above its maximum. When not,
// why not; nothing changes.
bool CheckValidationRule(Control& control, const ValidationRule& rule, std::string& reason);
// Gives every block of the selection the rule (throws EngineError as SetValidationRule does);
// a rule that takes anything and shows no input message takes the blocks out of every rule.
void ApplyValidationRule(Control& control, const ValidationRule& rule);

}  // namespace engine
