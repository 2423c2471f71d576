// Reading a parameter value with its type: kinds, dates and times in both date systems, and
// the arguments GetArgValue refuses.
#include <gtest/gtest.h>

#include "control/model/value.h"
#include "control/model/workbook.h"
#include "params_fixture.h"

namespace {

using TypedValues = ParamsTest;

CZATTypedValue Read(ParamsTable& t, long row, const CString& name) {
  CZATTypedValue v;
  EXPECT_EQ(t.GetArgTypedValue(row, name, v, 0), 0) << row << " " << name;
  return v;
}

TEST_F(TypedValues, EachKindOfValueAndAFormulasResult) {
  MakeSheet({"P"}, 7);
  E().SetCellText(1, 1, "3.5");
  E().SetCellText(2, 1, "hello");
  E().SetCellText(3, 1, "TRUE");
  E().SetCellText(4, 1, "=1/0");
  E().SetCellText(5, 1, "=\"007\"");
  E().SetCellText(6, 1, "");       // a blanked cell
  E().SetCellText(7, 1, "=\"\"");  // a formula's empty text
  CZATTypedValue v = Read(T(), 1, "P");
  EXPECT_EQ(v.kind, CZATTypedValue::KIND_NUMBER);
  EXPECT_EQ(v.number, 3.5);
  EXPECT_EQ(v.date, CZATTypedValue::DATE_NONE);
  v = Read(T(), 2, "P");
  EXPECT_EQ(v.kind, CZATTypedValue::KIND_TEXT);
  EXPECT_EQ(v.text, "hello");
  v = Read(T(), 3, "P");
  EXPECT_EQ(v.kind, CZATTypedValue::KIND_LOGICAL);
  EXPECT_TRUE(v.logical);
  v = Read(T(), 4, "P");
  EXPECT_EQ(v.kind, CZATTypedValue::KIND_ERROR);
  EXPECT_EQ(v.text, "#DIV/0!");
  v = Read(T(), 5, "P");
  EXPECT_EQ(v.kind, CZATTypedValue::KIND_TEXT);
  EXPECT_EQ(v.text, "007");
  EXPECT_EQ(Read(T(), 6, "P").kind, CZATTypedValue::KIND_EMPTY);
  EXPECT_EQ(Read(T(), 7, "P").kind, CZATTypedValue::KIND_TEXT);
}

TEST_F(TypedValues, DatesAndTimesInBothDateSystems) {
  for (bool date1904 : {false, true}) {
    SCOPED_TRACE(date1904);
    MakeSheet({"D"}, 4);
    E().Book().SetDate1904(date1904);
    E().SetCellText(1, 1, "1/15/2024 13:45:30");
    E().SetCellText(2, 1, "7:08:09");
    E().SetCellText(3, 1, "3/1/1904");
    E().SetCellText(4, 1, "12/31/9999");
    CZATTypedValue v = Read(T(), 1, "D");
    EXPECT_EQ(v.date, CZATTypedValue::DATE_DATE);
    EXPECT_EQ((std::vector<int>{v.year, v.month, v.day, v.hour, v.minute, v.second, v.millisecond}),
              (std::vector<int>{2024, 1, 15, 13, 45, 30, 0}));
    v = Read(T(), 2, "D");
    EXPECT_EQ(v.date, CZATTypedValue::DATE_TIME_OF_DAY);
    EXPECT_EQ((std::vector<int>{v.hour, v.minute, v.second}), (std::vector<int>{7, 8, 9}));
    v = Read(T(), 3, "D");
    EXPECT_EQ((std::vector<int>{v.year, v.month, v.day}), (std::vector<int>{1904, 3, 1}));
    v = Read(T(), 4, "D");
    EXPECT_EQ((std::vector<int>{v.year, v.month, v.day}), (std::vector<int>{9999, 12, 31}));
  }
}

TEST_F(TypedValues, NumbersOutsideTheCalendarStayPlainNumbers) {
  MakeSheet({"D"}, 4);
  E().SetCellText(1, 1, "1/1/2024");  // gives the column's cells a date format below
  for (int row = 2; row <= 4; ++row) {
    E().SetCellText(row, 1, "1/1/2024");
  }
  E().SetCellValue(2, 1, engine::Value::Number(60));   // the 29 February 1900 counted
  E().SetCellValue(3, 1, engine::Value::Number(-1));   // before the first day
  E().SetCellValue(4, 1, engine::Value::Number(3e6));  // after 31 December 9999
  for (long row = 2; row <= 4; ++row) {
    const CZATTypedValue v = Read(T(), row, "D");
    EXPECT_EQ(v.kind, CZATTypedValue::KIND_NUMBER) << row;
    EXPECT_EQ(v.date, CZATTypedValue::DATE_NONE) << row;
  }
  // A time a hair below midnight rounds into the next day: no longer a time of day.
  E().SetCellText(1, 1, "12:00");
  E().SetCellValue(1, 1, engine::Value::Number(0.9999999999));
  EXPECT_EQ(Read(T(), 1, "D").date, CZATTypedValue::DATE_NONE);
}

TEST_F(TypedValues, InvalidArgumentsLeaveTheOutputAlone) {
  MakeSheet({"P"}, 2);
  CZATTypedValue v;
  v.text = "untouched";
  EXPECT_EQ(T().GetArgTypedValue(0, "P", v, 0), -1);
  EXPECT_EQ(T().GetArgTypedValue(3, "P", v, 0), -1);
  EXPECT_EQ(T().GetArgTypedValue(1, "Q", v, 0), -1);
  EXPECT_EQ(T().GetArgTypedValue(1, "P", v, 9), -1);
  EXPECT_EQ(T().GetArgTypedValue(1, "P", v, -1), -1);
  EXPECT_EQ(v.text, "untouched");
}

}  // namespace
