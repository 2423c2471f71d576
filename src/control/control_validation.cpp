// The sheet's features through the facade, and data validation: the rules of a block and the
// check of a typed entry against the rule of its cell.
#include <algorithm>
#include <cmath>

#include "control/control.h"
#include "control/model/workbook.h"
#include "control/format/number_format.h"
#include "control/format/typed_entry.h"
#include "control/formula/evaluator.h"
#include "control/formula/formula_cell.h"
#include "control/formula/formula_engine.h"
#include "control/model/workbook.h"

namespace engine {

namespace {

// The parts of `r` outside `cut`.
void Subtract(const CellRange& r, const CellRange& cut, std::vector<CellRange>& out) {
  if (cut.row2 < r.row1 || cut.row1 > r.row2 || cut.col2 < r.col1 || cut.col1 > r.col2) {
    out.push_back(r);
    return;
  }
  if (r.row1 < cut.row1) out.push_back({r.row1, r.col1, cut.row1 - 1, r.col2});
  if (r.row2 > cut.row2) out.push_back({cut.row2 + 1, r.col1, r.row2, r.col2});
  int top = std::max(r.row1, cut.row1), bottom = std::min(r.row2, cut.row2);
  if (r.col1 < cut.col1) out.push_back({top, r.col1, bottom, cut.col1 - 1});
  if (r.col2 > cut.col2) out.push_back({top, cut.col2 + 1, bottom, r.col2});
}

void CutOut(std::vector<ValidationRule>& rules, const CellRange& block) {
  for (ValidationRule& v : rules) {
    std::vector<CellRange> left;
    for (const CellRange& r : v.ranges) Subtract(r, block, left);
    v.ranges = std::move(left);
  }
  std::erase_if(rules, [](const ValidationRule& v) { return v.ranges.empty(); });
}

// Reads the workbook as it stands, with the cell being checked holding the entry.
class EntryReader : public formula::CellReader {
 public:
  EntryReader(const Workbook& book, const Sheet& sheet, int row, int col, const Value& entry)
      : book_(book), sheet_(sheet), row_(row), col_(col), entry_(entry) {}
  Value Read(const Sheet& sheet, int row, int col) override {
    if (&sheet == &sheet_ && row == row_ && col == col_) return entry_;
    return book_.GetValue(sheet, row, col);
  }
  void ForEach(const formula::Area& a,
               const std::function<void(int, int, const Value&)>& f) override {
    if (!a.sheet) return;
    int lastRow = std::min(a.r2, a.sheet->LastRow());
    int lastCol = std::min(a.c2, a.sheet->LastCol());
    for (int c = a.c1; c <= lastCol; ++c)
      for (int r = a.r1; r <= lastRow; ++r) {
        Value v = Read(*a.sheet, r, c);
        if (!v.IsEmpty()) f(r, c, v);
      }
    if (a.sheet == &sheet_ && row_ >= a.r1 && row_ <= a.r2 && col_ >= a.c1 && col_ <= a.c2 &&
        (row_ > lastRow || col_ > lastCol))
      f(row_, col_, entry_);
  }

 private:
  const Workbook& book_;
  const Sheet& sheet_;
  int row_, col_;
  Value entry_;
};

std::size_t Characters(const std::string& s) {
  std::size_t n = 0;
  for (unsigned char ch : s)
    if ((ch & 0xC0) != 0x80) ++n;
  return n;
}

bool Compare(double x, ValidationOperator op, double a, double b) {
  switch (op) {
    case ValidationOperator::Between:
      return x >= std::min(a, b) && x <= std::max(a, b);
    case ValidationOperator::NotBetween:
      return x < std::min(a, b) || x > std::max(a, b);
    case ValidationOperator::Equal:
      return x == a;
    case ValidationOperator::NotEqual:
      return x != a;
    case ValidationOperator::Greater:
      return x > a;
    case ValidationOperator::Less:
      return x < a;
    case ValidationOperator::GreaterOrEqual:
      return x >= a;
    case ValidationOperator::LessOrEqual:
      return x <= a;
  }
  return false;
}

}  // namespace

const SheetFeatures& Control::GetSheetFeatures(int sheet) const {
  if (sheet == 0) return ActiveSheet().Features();
  CheckSheet(sheet);
  return book_->GetSheet(sheet).Features();
}

void Control::SetSheetFeatures(const SheetFeatures& features, int sheet) {
  if (sheet != 0) CheckSheet(sheet);
  Sheet& s = sheet == 0 ? ActiveSheet() : book_->GetSheet(sheet);
  ModifyScope scope(*this);
  s.Features() = features;
  scope.Changed();
}

SheetVisibility Control::GetSheetVisibility(int sheet) const {
  CheckSheet(sheet);
  return book_->GetSheet(sheet).Features().visibility;
}

void Control::SetSheetVisibility(int sheet, SheetVisibility visibility) {
  CheckSheet(sheet);
  if (visibility != SheetVisibility::Visible) {
    int visible = 0;
    for (int i = 1; i <= book_->SheetCount(); ++i)
      if (i != sheet && book_->GetSheet(i).Features().visibility == SheetVisibility::Visible)
        ++visible;
    if (visible == 0)
      throw EngineError(kErrBadArgument, "A workbook must keep at least one visible sheet.");
  }
  ModifyScope scope(*this);
  book_->GetSheet(sheet).Features().visibility = visibility;
  scope.Changed();
}

const ValidationRule* Control::GetValidationRule(int row, int col) const {
  for (const ValidationRule& v : ActiveSheet().Features().validations)
    if (v.Covers(row, col)) return &v;
  return nullptr;
}

std::vector<ValidationRule> Control::GetValidationRules() const {
  return ActiveSheet().Features().validations;
}

void Control::SetValidationRule(int row1, int col1, int row2, int col2,
                                const ValidationRule& rule) {
  CheckRange(row1, col1, row2, col2);
  if (rule.type == ValidationType::List && rule.formula1.empty() && rule.items.empty())
    throw EngineError(kErrBadArgument, "A list rule needs its items or a source.");
  if (rule.type != ValidationType::Any && rule.type != ValidationType::List &&
      rule.formula1.empty())
    throw EngineError(kErrBadArgument, "The rule needs a value to compare with.");
  Sheet& sheet = ActiveSheet();
  // Formulas must parse where the rule stands.
  for (const std::string* f : {&rule.formula1, &rule.formula2})
    if (!f->empty()) book_->Formulas().Compile(sheet, row1, col1, *f);
  ModifyScope scope(*this);
  CellRange block{row1, col1, row2, col2};
  CutOut(sheet.Features().validations, block);
  ValidationRule v = rule;
  v.ranges = {block};
  v.tokens1.clear();
  v.tokens2.clear();
  v.readFormula1.clear();
  v.readFormula2.clear();
  sheet.Features().validations.push_back(std::move(v));
  scope.Changed();
}

void Control::ClearValidationRules(int row1, int col1, int row2, int col2) {
  CheckRange(row1, col1, row2, col2);
  ModifyScope scope(*this);
  CutOut(ActiveSheet().Features().validations, CellRange{row1, col1, row2, col2});
  scope.Changed();
}

Control::EntryCheck Control::CheckEntry(int row, int col, const std::string& text) const {
  CheckCell(row, col);
  EntryCheck result;
  const ValidationRule* rule = GetValidationRule(row, col);
  if (!rule || rule->type == ValidationType::Any) return result;
  result.style = rule->errorStyle;
  result.title = rule->showError ? rule->errorTitle : std::string();
  result.message = rule->showError ? rule->errorText : std::string();
  if (text.empty()) {
    result.ok = rule->ignoreBlank;
    return result;
  }
  const Sheet& sheet = ActiveSheet();
  Value entry;
  if (text[0] == '=') {
    // A formula entry is checked by the value it gives.
    try {
      auto cell = book_->Formulas().Compile(sheet, row, col, text.substr(1));
      EntryReader reader(*book_, sheet, row, col, Value());
      formula::Evaluator ev(*book_, reader);
      entry = cell->expr ? ev.Evaluate(*cell->expr, sheet, row, col) : Value();
    } catch (const EngineError&) {
      result.ok = false;
      return result;
    }
  } else {
    entry = format::InterpretTyped(text, locale_, book_->Date1904()).value;
  }
  // The value of one of the rule's formulas, for this cell, with the entry in place.
  auto evaluate = [&](const std::string& f, formula::Operand* asOperand) -> Value {
    if (f.empty()) return {};
    try {
      auto cell = book_->Formulas().Compile(sheet, row, col, f);
      if (!cell->expr) return Value::Error(ErrorValue::Value);
      EntryReader reader(*book_, sheet, row, col, entry);
      formula::Evaluator ev(*book_, reader);
      if (asOperand) {
        *asOperand = ev.EvaluateOperand(*cell->expr, sheet, row, col);
        return {};
      }
      return ev.Evaluate(*cell->expr, sheet, row, col);
    } catch (const EngineError&) {
      return Value::Error(ErrorValue::Value);
    }
  };
  auto number = [&](const std::string& f, double& out) {
    Value v = evaluate(f, nullptr);
    if (v.IsNumber()) {
      out = v.number;
      return true;
    }
    if (v.IsText()) {
      Value typed = format::InterpretTyped(v.text, locale_, book_->Date1904()).value;
      if (typed.IsNumber()) {
        out = typed.number;
        return true;
      }
    }
    return false;
  };
  bool two = rule->op == ValidationOperator::Between || rule->op == ValidationOperator::NotBetween;
  auto compare = [&](double x) {
    double a = 0, b = 0;
    if (!number(rule->formula1, a)) return false;
    if (two && !number(rule->formula2, b)) return false;
    return Compare(x, rule->op, a, b);
  };
  switch (rule->type) {
    case ValidationType::Any:
      break;
    case ValidationType::Whole:
      result.ok =
          entry.IsNumber() && entry.number == std::floor(entry.number) && compare(entry.number);
      break;
    case ValidationType::Decimal:
    case ValidationType::Date:
      result.ok = entry.IsNumber() && compare(entry.number);
      break;
    case ValidationType::Time:
      result.ok =
          entry.IsNumber() && entry.number >= 0 && entry.number < 1 && compare(entry.number);
      break;
    case ValidationType::TextLength: {
      std::string shown = entry.IsText() ? entry.text : text;
      result.ok = compare(static_cast<double>(Characters(shown)));
      break;
    }
    case ValidationType::List: {
      auto same = [&](const Value& v) {
        if (v.IsText() && entry.IsText()) return v.text == entry.text;
        if (v.IsNumber() && entry.IsNumber()) return v.number == entry.number;
        if (v.IsLogical() && entry.IsLogical()) return v.logical == entry.logical;
        return v.IsText() && v.text == text;
      };
      bool found = false;
      if (rule->formula1.empty()) {
        for (const std::string& item : rule->items)
          if (item == text || same(format::InterpretTyped(item, locale_, book_->Date1904()).value))
            found = true;
      } else {
        formula::Operand o;
        evaluate(rule->formula1, &o);
        if (o.IsRef()) {
          EntryReader reader(*book_, sheet, row, col, Value());
          std::vector<formula::Area> areas{o.area};
          areas.insert(areas.end(), o.more.begin(), o.more.end());
          for (const formula::Area& a : areas)
            reader.ForEach(a, [&](int, int, const Value& v) { found = found || same(v); });
        } else if (o.value.IsText()) {
          // A text formula lists its items between commas.
          std::string all = o.value.text;
          std::size_t start = 0;
          for (std::size_t i = 0; i <= all.size(); ++i)
            if (i == all.size() || all[i] == ',') {
              found = found || all.substr(start, i - start) == text;
              start = i + 1;
            }
        } else {
          found = same(o.value);
        }
      }
      result.ok = found;
      break;
    }
    case ValidationType::Custom: {
      Value v = evaluate(rule->formula1, nullptr);
      result.ok = (v.IsLogical() && v.logical) || (v.IsNumber() && v.number != 0);
      break;
    }
  }
  return result;
}

std::vector<std::string> Control::ValidationListItems(int row, int col) const {
  CheckCell(row, col);
  std::vector<std::string> items;
  const ValidationRule* rule = GetValidationRule(row, col);
  if (!rule || rule->type != ValidationType::List) return items;
  if (rule->formula1.empty()) return rule->items;
  const Sheet& sheet = ActiveSheet();
  try {
    auto cell = book_->Formulas().Compile(sheet, row, col, rule->formula1);
    if (!cell->expr) return items;
    EntryReader reader(*book_, sheet, row, col, book_->GetValue(sheet, row, col));
    formula::Evaluator ev(*book_, reader);
    const formula::Operand o = ev.EvaluateOperand(*cell->expr, sheet, row, col);
    if (o.IsRef()) {
      std::vector<formula::Area> areas{o.area};
      areas.insert(areas.end(), o.more.begin(), o.more.end());
      // Every cell of the range in order, empty ones left out, up to the sheet's used area.
      for (const formula::Area& a : areas) {
        if (!a.sheet) continue;
        const int lastRow = std::min(a.r2, a.sheet->LastRow());
        const int lastCol = std::min(a.c2, a.sheet->LastCol());
        for (int r = a.r1; r <= lastRow; ++r)
          for (int c = a.c1; c <= lastCol; ++c)
            if (!book_->GetValue(*a.sheet, r, c).IsEmpty())
              items.push_back(book_->DisplayText(*a.sheet, r, c));
      }
    } else if (o.value.IsText()) {
      // A text formula lists its items between commas.
      const std::string& all = o.value.text;
      std::size_t start = 0;
      for (std::size_t i = 0; i <= all.size(); ++i)
        if (i == all.size() || all[i] == ',') {
          items.push_back(all.substr(start, i - start));
          start = i + 1;
        }
    } else if (!o.value.IsEmpty() && !o.value.IsError()) {
      items.push_back(o.value.IsNumber() ? format::RenderGeneral(o.value.number, locale_)
                                         : std::string(o.value.logical ? "TRUE" : "FALSE"));
    }
  } catch (const EngineError&) {
    items.clear();  // a source that no longer evaluates offers nothing
  }
  return items;
}

}  // namespace engine
