// The Validation Rule dialog's logic: a rule's values and list source as a person edits them,
// the checks a rule passes before the selection takes it, and giving it to the selection.
#include <charconv>
#include <cmath>
#include <cstdlib>

#include "control/control.h"
#include "control/dialogs/edit_dialogs.h"
#include "control/format/number_format.h"
#include "control/format/typed_entry.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

namespace {

std::string Trim(const std::string& s) {
  const auto first = s.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  const auto last = s.find_last_not_of(" \t");
  return s.substr(first, last - first + 1);
}

// A formula that is one number constant, and its value.
bool ConstantOf(const std::string& formula, double& value) {
  const std::string f = Trim(formula);
  if (f.empty()) return false;
  const char* begin = f.data();
  const char* end = begin + f.size();
  if (*begin == '+') ++begin;
  const auto [ptr, ec] = std::from_chars(begin, end, value);
  return ec == std::errc() && ptr == end;
}

std::string NumberText(double value) {
  char buffer[32];
  const auto [ptr, ec] = std::to_chars(buffer, buffer + sizeof buffer, value);
  return ec == std::errc() ? std::string(buffer, ptr) : std::string("0");
}

bool NeedsTwo(ValidationOperator op) {
  return op == ValidationOperator::Between || op == ValidationOperator::NotBetween;
}

bool Compares(ValidationType type) {
  return type != ValidationType::Any && type != ValidationType::List &&
         type != ValidationType::Custom;
}

}  // namespace

ValidationRule RuleOfActiveCell(const Control& control) {
  int row = 1, col = 1;
  control.GetActiveCell(row, col);
  const ValidationRule* rule = control.GetValidationRule(row, col);
  return rule != nullptr ? *rule : ValidationRule();
}

std::string RuleValueText(const Control& control, ValidationType type, const std::string& formula) {
  if (formula.empty()) return {};
  double value = 0;
  if (!ConstantOf(formula, value)) return "=" + formula;
  const LocaleSettings& locale = control.Locale();
  const bool date1904 = control.Book().Date1904();
  if (type == ValidationType::Date && value >= 0) {
    const std::string code =
        value == std::floor(value) ? locale.shortDateFormat : locale.shortDateFormat + " h:mm";
    return format::Render(*format::ParseNumberFormat(code), Value::Number(value), locale, date1904);
  }
  if (type == ValidationType::Time && value >= 0) {
    const double seconds = std::round(value * 86400.0);
    const char* code = std::fmod(seconds, 60.0) == 0 ? "h:mm" : "h:mm:ss";
    return format::Render(*format::ParseNumberFormat(code), Value::Number(value), locale, date1904);
  }
  return format::RenderGeneral(value, locale);
}

bool RuleValueFormula(const Control& control, ValidationType type, const std::string& text,
                      std::string& formula, std::string& reason) {
  reason.clear();
  formula.clear();
  const std::string t = Trim(text);
  if (t.empty()) return true;
  if (t[0] == '=') {
    formula = Trim(t.substr(1));
    if (formula.empty()) reason = "A formula needs something after \"=\".";
    return reason.empty();
  }
  if (type == ValidationType::Custom) {
    formula = t;  // a custom rule is always a formula
    return true;
  }
  const Value v = format::InterpretTyped(t, control.Locale(), control.Book().Date1904()).value;
  if (!v.IsNumber()) {
    reason = "\"" + t + "\" is not a number, a date or a time; a formula starts with \"=\".";
    return false;
  }
  if ((type == ValidationType::Whole || type == ValidationType::TextLength) &&
      v.number != std::floor(v.number)) {
    reason = "\"" + t + "\" is not a whole number.";
    return false;
  }
  if (type == ValidationType::TextLength && v.number < 0) {
    reason = "A text length cannot be negative.";
    return false;
  }
  formula = NumberText(v.number);
  return true;
}

std::string ListSourceText(const ValidationRule& rule) {
  if (!rule.formula1.empty()) return "=" + rule.formula1;
  std::string text;
  for (std::size_t i = 0; i < rule.items.size(); ++i) {
    const std::string& item = rule.items[i];
    if (i > 0) text += ", ";
    const bool quote = item.empty() || item.find_first_of(",\"") != std::string::npos ||
                       item.front() == ' ' || item.back() == ' ';
    if (!quote) {
      text += item;
      continue;
    }
    text += '"';
    for (char ch : item) {
      if (ch == '"') text += '"';
      text += ch;
    }
    text += '"';
  }
  return text;
}

bool ParseListSource(const std::string& text, ValidationRule& rule, std::string& reason) {
  reason.clear();
  const std::string t = Trim(text);
  if (!t.empty() && t[0] == '=') {
    const std::string f = Trim(t.substr(1));
    if (f.empty()) {
      reason = "A source needs a range or a name after \"=\".";
      return false;
    }
    rule.formula1 = f;
    rule.items.clear();
    return true;
  }
  std::vector<std::string> items;
  std::size_t i = 0;
  while (i <= t.size()) {
    while (i < t.size() && t[i] == ' ') ++i;
    std::string item;
    if (i < t.size() && t[i] == '"') {
      ++i;
      bool closed = false;
      while (i < t.size()) {
        if (t[i] == '"') {
          if (i + 1 < t.size() && t[i + 1] == '"') {
            item += '"';
            i += 2;
            continue;
          }
          ++i;
          closed = true;
          break;
        }
        item += t[i++];
      }
      if (!closed) {
        reason = "A quoted item has no closing quotation mark.";
        return false;
      }
      while (i < t.size() && t[i] != ',') {
        if (t[i] != ' ') {
          reason = "Items are separated by commas.";
          return false;
        }
        ++i;
      }
      items.push_back(item);
    } else {
      const auto comma = t.find(',', i);
      const std::size_t end = comma == std::string::npos ? t.size() : comma;
      item = Trim(t.substr(i, end - i));
      if (!item.empty()) items.push_back(item);
      i = end;
    }
    ++i;  // past the comma (or the end)
  }
  if (items.empty()) {
    reason = "Enter the list's items separated by commas, or a range or a name after \"=\".";
    return false;
  }
  rule.formula1.clear();
  rule.items = std::move(items);
  return true;
}

bool CheckValidationRule(Control& control, const ValidationRule& rule, std::string& reason) {
  reason.clear();
  if (rule.type == ValidationType::Any) return true;
  if (rule.type == ValidationType::List) {
    if (rule.formula1.empty() && rule.items.empty()) {
      reason = "Enter the list's items separated by commas, or a range or a name after \"=\".";
      return false;
    }
  } else if (rule.formula1.empty()) {
    reason = rule.type == ValidationType::Custom ? "Enter a formula."
             : NeedsTwo(rule.op)                 ? "Enter the minimum."
                                                 : "Enter a value.";
    return false;
  }
  const bool two = Compares(rule.type) && NeedsTwo(rule.op);
  if (two && rule.formula2.empty()) {
    reason = "Enter the maximum.";
    return false;
  }
  int row = 1, col = 1;
  control.GetActiveCell(row, col);
  Workbook& book = control.Book();
  const Sheet& sheet = book.GetSheet(control.GetActiveSheet());
  for (const std::string* f : {&rule.formula1, two ? &rule.formula2 : nullptr}) {
    if (f == nullptr || f->empty()) continue;
    try {
      book.Formulas().Compile(sheet, row, col, *f);
    } catch (const EngineError& e) {
      reason = "\"=" + *f + "\" is not a valid formula: " + e.Description();
      return false;
    }
  }
  double low = 0, high = 0;
  if (two && ConstantOf(rule.formula1, low) && ConstantOf(rule.formula2, high) && low > high) {
    reason = "The minimum must not be greater than the maximum.";
    return false;
  }
  return true;
}

void ApplyValidationRule(Control& control, const ValidationRule& rule) {
  const bool clears = rule.type == ValidationType::Any &&
                      (!rule.showInput || (rule.inputTitle.empty() && rule.inputText.empty()));
  ValidationRule given = rule;
  if (!Compares(given.type) || !NeedsTwo(given.op)) given.formula2.clear();
  if (given.type == ValidationType::Any) {
    given.formula1.clear();
    given.items.clear();
  }
  if (given.type != ValidationType::List) given.items.clear();
  const int count = control.GetSelectionCount();
  for (int i = 0; i < count; ++i) {
    int r1 = 0, c1 = 0, r2 = 0, c2 = 0;
    control.GetSelection(i, r1, c1, r2, c2);
    if (clears)
      control.ClearValidationRules(r1, c1, r2, c2);
    else
      control.SetValidationRule(r1, c1, r2, c2, given);
  }
}

}  // namespace engine
