#pragma once
// A control with helpers to enter formulas and read results in tests.

#include <gtest/gtest.h>

#include <string>

#include "control/control.h"
#include "control/formula/expression.h"
#include "control/formula/formula_engine.h"
#include "control/formula/function_table.h"
#include "control/model/workbook.h"

namespace engine::formula::testing {

class FormulaTest : public ::testing::Test {
 protected:
  Control ctl;

  void Set(int row, int col, const std::string& text) { ctl.SetCellText(row, col, text); }
  Value Val(int row, int col) const { return ctl.GetCellValue(row, col); }
  double Num(int row, int col) const {
    Value v = ctl.GetCellValue(row, col);
    EXPECT_TRUE(v.IsNumber()) << "cell " << row << "," << col << " kind " << int(v.kind)
                              << " text " << v.text << " err " << int(v.error);
    return v.number;
  }
  std::string Formula(int row, int col) const { return ctl.GetCellFormula(row, col); }
  // Enters =text into A1… of a spare cell and returns the result.
  Value Eval(const std::string& text, int row = 100, int col = 26) {
    ctl.SetCellText(row, col, "=" + text);
    return ctl.GetCellValue(row, col);
  }
  double EvalNum(const std::string& text) {
    Value v = Eval(text);
    EXPECT_TRUE(v.IsNumber()) << text << " gave kind " << int(v.kind) << " text '" << v.text
                              << "' error " << ErrorText(v.error);
    return v.number;
  }
  std::string EvalText(const std::string& text) {
    Value v = Eval(text);
    EXPECT_TRUE(v.IsText()) << text << " gave kind " << int(v.kind) << " number " << v.number
                            << " error " << ErrorText(v.error);
    return v.text;
  }
  ErrorValue EvalErr(const std::string& text) {
    Value v = Eval(text);
    EXPECT_TRUE(v.IsError()) << text << " gave kind " << int(v.kind) << " number " << v.number
                             << " text '" << v.text << "'";
    return v.error;
  }
  bool EvalBool(const std::string& text) {
    Value v = Eval(text);
    EXPECT_TRUE(v.IsLogical()) << text << " gave kind " << int(v.kind);
    return v.logical;
  }
  // Canonical text of a formula entered in a spare cell.
  std::string Canon(const std::string& text, int row = 100, int col = 26) {
    ctl.SetCellText(row, col, "=" + text);
    return ctl.GetCellFormula(row, col);
  }
};

}  // namespace engine::formula::testing
