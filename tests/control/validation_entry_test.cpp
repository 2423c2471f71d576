// A person's entry meets the cell's validation rule before EndEdit: refused, questioned or noted
// through the dialogs' alert; a host's writes and a call that ends the edit are not asked. The
// Validation Rule dialog's logic: value and list-source texts both ways, the checks that refuse
// a rule, and giving a rule to the selection.
#include <gtest/gtest.h>

#include <deque>

#include "control/control.h"
#include "control/dialogs/edit_dialogs.h"

using namespace engine;

namespace {

struct Recorder : ControlEvents {
  int endEdits = 0, modified = 0;
  void OnEndEdit(std::string&, short&) override { ++endEdits; }
  void OnModified() override { ++modified; }
};

// Answers alerts from a queue and records what they showed.
struct ScriptedAlerts : ControlDialogs {
  std::deque<EntryAnswer> answers;
  std::vector<EntryAlert> shown;
  EntryAnswer EntryRefused(Control&, const EntryAlert& alert) override {
    shown.push_back(alert);
    if (answers.empty()) return EntryAnswer::Cancel;
    EntryAnswer a = answers.front();
    answers.pop_front();
    return a;
  }
};

ValidationRule WholeRule(ErrorStyle style) {
  ValidationRule v;
  v.type = ValidationType::Whole;
  v.op = ValidationOperator::Between;
  v.formula1 = "1";
  v.formula2 = "10";
  v.errorStyle = style;
  return v;
}

class PersonEntry : public ::testing::Test {
 protected:
  void SetUp() override {
    c.SetEventListener(&events);
    c.SetDialogs(&alerts);
    c.SetCellText(2, 1, "5");
    events.modified = 0;
  }
  Control::EditEnd Type(const std::string& text) {
    c.SetActiveCell(2, 1);
    EXPECT_TRUE(c.BeginCellEdit(c.GetCellText(2, 1)));
    c.SetEditText(text);
    return c.EndPersonEdit();
  }
  Control c;
  Recorder events;
  ScriptedAlerts alerts;
};

TEST_F(PersonEntry, StopRefusesWithoutEndEditOrModifiedAndRetryKeepsTheEdit) {
  ValidationRule rule = WholeRule(ErrorStyle::Stop);
  c.SetValidationRule(2, 1, 4, 1, rule);
  events.modified = 0;
  alerts.answers = {EntryAnswer::Retry};
  EXPECT_EQ(Type("42"), Control::EditEnd::Retry);
  EXPECT_TRUE(c.IsEditing());
  EXPECT_EQ(c.EditText(), "42");  // as typed, for the correction
  ASSERT_EQ(alerts.shown.size(), 1u);
  EXPECT_EQ(alerts.shown[0].style, ErrorStyle::Stop);
  EXPECT_FALSE(alerts.shown[0].title.empty());  // the engine's own text when the rule has none
  EXPECT_FALSE(alerts.shown[0].message.empty());
  c.SetEditText("7");  // corrected
  EXPECT_EQ(c.EndPersonEdit(), Control::EditEnd::Entered);
  EXPECT_EQ(c.GetCellText(2, 1), "7");
  EXPECT_EQ(events.endEdits, 1);

  events = {};
  alerts.answers = {EntryAnswer::Cancel};
  EXPECT_EQ(Type("0"), Control::EditEnd::Refused);
  EXPECT_FALSE(c.IsEditing());
  EXPECT_EQ(c.GetCellText(2, 1), "7");
  EXPECT_EQ(events.endEdits, 0);
  EXPECT_EQ(events.modified, 0);
  // A stop cannot be answered with "enter it anyway".
  alerts.answers = {EntryAnswer::Accept};
  EXPECT_EQ(Type("0"), Control::EditEnd::Refused);
  EXPECT_EQ(c.GetCellText(2, 1), "7");
}

TEST_F(PersonEntry, WarningAndInformationLetThePersonDecideWithTheRulesTexts) {
  ValidationRule rule = WholeRule(ErrorStyle::Warning);
  rule.errorTitle = "Count";
  rule.errorText = "1 to 10 expected";
  c.SetValidationRule(2, 1, 4, 1, rule);
  alerts.answers = {EntryAnswer::Accept};
  EXPECT_EQ(Type("11"), Control::EditEnd::Entered);
  EXPECT_EQ(c.GetCellText(2, 1), "11");
  EXPECT_EQ(alerts.shown.back().title, "Count");
  EXPECT_EQ(alerts.shown.back().message, "1 to 10 expected");
  alerts.answers = {EntryAnswer::Retry};
  EXPECT_EQ(Type("12"), Control::EditEnd::Retry);
  c.CancelCellEdit();
  EXPECT_EQ(c.GetCellText(2, 1), "11");

  rule.errorStyle = ErrorStyle::Information;
  c.SetValidationRule(2, 1, 4, 1, rule);
  alerts.answers = {EntryAnswer::Cancel};
  EXPECT_EQ(Type("13"), Control::EditEnd::Refused);
  EXPECT_EQ(c.GetCellText(2, 1), "11");
  alerts.answers = {EntryAnswer::Accept};
  EXPECT_EQ(Type("14"), Control::EditEnd::Entered);

  // Without an error alert any entry stands, and nobody is asked.
  rule.showError = false;
  c.SetValidationRule(2, 1, 4, 1, rule);
  const std::size_t asked = alerts.shown.size();
  EXPECT_EQ(Type("99"), Control::EditEnd::Entered);
  EXPECT_EQ(alerts.shown.size(), asked);
}

TEST_F(PersonEntry, HostWritesPastesAndEndingCallsAreNeverQuestioned) {
  c.SetValidationRule(1, 1, 10, 1, WholeRule(ErrorStyle::Stop));
  c.SetCellText(3, 1, "not a number");  // a host's write
  EXPECT_EQ(c.GetCellText(3, 1), "not a number");
  c.SetSelection(3, 1, 3, 1);
  c.CopySelection();
  c.SetSelection(4, 1, 4, 1);
  c.PasteClipboard();
  EXPECT_EQ(c.GetCellText(4, 1), "not a number");
  EXPECT_TRUE(alerts.shown.empty());

  // An edit a call ends: a stop's refusal drops the entry, nobody is asked.
  c.SetActiveCell(2, 1);
  ASSERT_TRUE(c.BeginCellEdit("5"));
  c.SetEditText("500");
  c.TerminateCellEdit();
  EXPECT_EQ(c.GetCellText(2, 1), "5");
  EXPECT_TRUE(alerts.shown.empty());
  // The headless dialogs refuse for a person nobody can ask.
  c.SetDialogs(nullptr);
  EXPECT_EQ(Type("500"), Control::EditEnd::Refused);
  EXPECT_EQ(c.GetCellText(2, 1), "5");
}

TEST(ValidationListItems, OfferLiteralItemsOrTheSourceCellsAsShownNow) {
  Control c;
  ValidationRule list;
  list.type = ValidationType::List;
  list.items = {"low", "mid", "high"};
  c.SetValidationRule(1, 1, 5, 1, list);
  EXPECT_EQ(c.ValidationListItems(2, 1), (std::vector<std::string>{"low", "mid", "high"}));
  EXPECT_TRUE(c.ValidationListItems(2, 2).empty());

  c.SetCellText(1, 5, "red");
  c.SetCellText(3, 5, "0.5");
  c.SetCellText(4, 5, "blue");
  c.SetDefinedName("Colours", "=$E$1:$E$9");
  list.items.clear();
  list.formula1 = "Colours";
  c.SetValidationRule(1, 2, 5, 2, list);
  EXPECT_EQ(c.ValidationListItems(1, 2), (std::vector<std::string>{"red", "0.5", "blue"}));
  c.SetCellText(2, 5, "green");  // read when asked, not when the rule was made
  EXPECT_EQ(c.ValidationListItems(1, 2).size(), 4u);
  list.formula1 = "\"a,b,c\"";
  c.SetValidationRule(1, 3, 5, 3, list);
  EXPECT_EQ(c.ValidationListItems(1, 3), (std::vector<std::string>{"a", "b", "c"}));
}

TEST(ValidationRuleLogic, SourceAndValueTextsGoBothWays) {
  Control c;
  ValidationRule rule;
  std::string reason;
  ASSERT_TRUE(ParseListSource(" red , \"a, b\" ,\"say \"\"hi\"\"\",  ", rule, reason));
  EXPECT_EQ(rule.items, (std::vector<std::string>{"red", "a, b", "say \"hi\""}));
  EXPECT_EQ(ListSourceText(rule), "red, \"a, b\", \"say \"\"hi\"\"\"");
  ValidationRule again;
  ASSERT_TRUE(ParseListSource(ListSourceText(rule), again, reason));
  EXPECT_EQ(again.items, rule.items);
  ASSERT_TRUE(ParseListSource("=$A$1:$A$4", rule, reason));
  EXPECT_EQ(rule.formula1, "$A$1:$A$4");
  EXPECT_TRUE(rule.items.empty());
  for (const char* bad : {"", " , ,", "\"open", "="}) {
    EXPECT_FALSE(ParseListSource(bad, rule, reason)) << bad;
    EXPECT_FALSE(reason.empty()) << bad;
  }

  std::string formula;
  ASSERT_TRUE(RuleValueFormula(c, ValidationType::Date, "1/15/2024", formula, reason));
  EXPECT_EQ(formula, "45306");
  EXPECT_EQ(RuleValueText(c, ValidationType::Date, formula), "1/15/2024");
  ASSERT_TRUE(RuleValueFormula(c, ValidationType::Time, "9:30", formula, reason));
  EXPECT_EQ(RuleValueText(c, ValidationType::Time, formula), "9:30");
  ASSERT_TRUE(RuleValueFormula(c, ValidationType::Whole, "= B2 * 2", formula, reason));
  EXPECT_EQ(formula, "B2 * 2");
  EXPECT_EQ(RuleValueText(c, ValidationType::Whole, formula), "=B2 * 2");
  EXPECT_FALSE(RuleValueFormula(c, ValidationType::Whole, "2.5", formula, reason));
  EXPECT_FALSE(RuleValueFormula(c, ValidationType::Decimal, "ten", formula, reason));
  EXPECT_FALSE(RuleValueFormula(c, ValidationType::TextLength, "-1", formula, reason));
}

TEST(ValidationRuleLogic, BadRulesAreRefusedAndGoodOnesReachEveryBlock) {
  Control c;
  std::string reason;
  ValidationRule rule = WholeRule(ErrorStyle::Stop);
  rule.formula1 = "10";
  rule.formula2 = "1";
  EXPECT_FALSE(CheckValidationRule(c, rule, reason));  // minimum above maximum
  EXPECT_NE(reason.find("minimum"), std::string::npos);
  rule.formula2.clear();
  EXPECT_FALSE(CheckValidationRule(c, rule, reason));
  rule.op = ValidationOperator::Greater;  // one value is enough now
  EXPECT_TRUE(CheckValidationRule(c, rule, reason)) << reason;
  rule.formula1 = "SUM(";
  EXPECT_FALSE(CheckValidationRule(c, rule, reason));
  ValidationRule list;
  list.type = ValidationType::List;
  EXPECT_FALSE(CheckValidationRule(c, list, reason));

  list.items = {"x", "y"};
  list.formula2 = "left over";  // a list has no second value
  c.SetSelection(2, 2, 3, 3);
  c.AddSelection(6, 1, 6, 1);
  ApplyValidationRule(c, list);
  ASSERT_NE(c.GetValidationRule(3, 3), nullptr);
  ASSERT_NE(c.GetValidationRule(6, 1), nullptr);
  EXPECT_EQ(c.GetValidationRule(6, 1)->items, list.items);
  EXPECT_TRUE(c.GetValidationRule(6, 1)->formula2.empty());
  EXPECT_EQ(c.GetValidationRule(4, 4), nullptr);
  c.SetActiveCell(3, 3);
  EXPECT_EQ(RuleOfActiveCell(c).items, list.items);
  // "Any value" without an input message takes the blocks out of the rule.
  c.SetSelection(2, 2, 3, 3);
  ApplyValidationRule(c, ValidationRule());
  EXPECT_EQ(c.GetValidationRule(2, 2), nullptr);
  EXPECT_NE(c.GetValidationRule(6, 1), nullptr);
  EXPECT_EQ(RuleOfActiveCell(c).type, ValidationType::Any);
}

}  // namespace
