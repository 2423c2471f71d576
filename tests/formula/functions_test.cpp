// The function library against hand-checked results, by family.
#include <cmath>

#include "formula_test_support.h"

namespace engine::formula::testing {
namespace {

class Functions : public FormulaTest {
 protected:
  void SetUp() override {
    // A1:A5 = 1,2,"x",TRUE,(empty)   B1:B5 = 10,20,30,40,50   C1:C3 = apple, banana, cherry
    Set(1, 1, "1");
    Set(2, 1, "2");
    Set(3, 1, "x");
    Set(4, 1, "TRUE");
    for (int r = 1; r <= 5; ++r) Set(r, 2, std::to_string(r * 10));
    Set(1, 3, "apple");
    Set(2, 3, "banana");
    Set(3, 3, "cherry");
  }
};

TEST_F(Functions, Aggregates) {
  EXPECT_EQ(EvalNum("SUM(A1:A5)"), 3);  // text and logicals in ranges are skipped
  EXPECT_EQ(EvalNum("SUM(1,\"2\",TRUE)"), 4);  // given directly they count
  EXPECT_EQ(EvalErr("SUM(1,\"x\")"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("AVERAGE(A1:A5)"), 1.5);
  EXPECT_EQ(EvalErr("AVERAGE(C1:C3)"), ErrorValue::Div0);
  EXPECT_EQ(EvalNum("MIN(B1:B5,5)"), 5);
  EXPECT_EQ(EvalNum("MAX(B1:B5)"), 50);
  EXPECT_EQ(EvalNum("MAX(C1:C3)"), 0);
  EXPECT_EQ(EvalNum("COUNT(A1:A5,1,\"2\",\"x\")"), 4);
  EXPECT_EQ(EvalNum("COUNTA(A1:A5)"), 4);
  EXPECT_EQ(EvalNum("COUNTBLANK(A1:A6)"), 2);
  EXPECT_EQ(EvalNum("PRODUCT(B1:B3)"), 6000);
  Set(6, 1, "=1/0");
  EXPECT_EQ(EvalErr("SUM(A1:A6)"), ErrorValue::Div0);
  EXPECT_EQ(EvalNum("COUNT(A1:A6)"), 2);
}

TEST_F(Functions, ConditionalAggregates) {
  EXPECT_EQ(EvalNum("COUNTIF(B1:B5,\">20\")"), 3);
  EXPECT_EQ(EvalNum("COUNTIF(B1:B5,30)"), 1);
  EXPECT_EQ(EvalNum("COUNTIF(C1:C3,\"b*\")"), 1);
  EXPECT_EQ(EvalNum("COUNTIF(C1:C3,\"<>banana\")"), 2);
  EXPECT_EQ(EvalNum("COUNTIF(A1:A6,\"\")"), 2);
  EXPECT_EQ(EvalNum("SUMIF(B1:B5,\">=30\")"), 120);
  EXPECT_EQ(EvalNum("SUMIF(C1:C3,\"?????\",B1:B3)"), 10);
  EXPECT_EQ(EvalNum("SUMIF(A1:A5,\"<>x\",B1:B5)"), 10 + 20 + 40 + 50);
  EXPECT_EQ(EvalNum("SUMPRODUCT(A1:A2,B1:B2)"), 50);
  EXPECT_EQ(EvalNum("SUMPRODUCT(B1:B5)"), 150);
  EXPECT_EQ(EvalErr("SUMPRODUCT(A1:A2,B1:B3)"), ErrorValue::Value);
}

TEST_F(Functions, Rounding) {
  EXPECT_EQ(EvalNum("ROUND(2.675,2)"), 2.68);
  EXPECT_EQ(EvalNum("ROUND(-2.5,0)"), -3);
  EXPECT_EQ(EvalNum("ROUND(1234.5,-2)"), 1200);
  EXPECT_EQ(EvalNum("ROUNDUP(3.2,0)"), 4);
  EXPECT_EQ(EvalNum("ROUNDUP(-3.2,0)"), -4);
  EXPECT_EQ(EvalNum("ROUNDDOWN(-3.9,0)"), -3);
  EXPECT_EQ(EvalNum("INT(-3.5)"), -4);
  EXPECT_EQ(EvalNum("TRUNC(-3.5)"), -3);
  EXPECT_EQ(EvalNum("TRUNC(3.14159,2)"), 3.14);
  EXPECT_EQ(EvalNum("CEILING(2.5,1)"), 3);
  EXPECT_EQ(EvalNum("CEILING(-2.5,-2)"), -4);
  EXPECT_EQ(EvalErr("CEILING(2.5,-1)"), ErrorValue::Num);
  EXPECT_EQ(EvalNum("FLOOR(2.5,1)"), 2);
  EXPECT_EQ(EvalNum("FLOOR(0.234,0.01)"), 0.23);
  EXPECT_EQ(EvalErr("FLOOR(2,0)"), ErrorValue::Div0);
}

TEST_F(Functions, Arithmetic) {
  EXPECT_EQ(EvalNum("MOD(-3,2)"), 1);
  EXPECT_EQ(EvalNum("MOD(3,-2)"), -1);
  EXPECT_EQ(EvalErr("MOD(1,0)"), ErrorValue::Div0);
  EXPECT_EQ(EvalNum("ABS(-4)"), 4);
  EXPECT_EQ(EvalNum("SIGN(-0.1)"), -1);
  EXPECT_EQ(EvalNum("SQRT(16)"), 4);
  EXPECT_EQ(EvalNum("POWER(2,10)"), 1024);
  EXPECT_NEAR(EvalNum("EXP(1)"), 2.718281828459045, 1e-15);
  EXPECT_NEAR(EvalNum("LN(EXP(2))"), 2, 1e-15);
  EXPECT_EQ(EvalNum("LOG(8,2)"), 3);
  EXPECT_EQ(EvalNum("LOG(1000)"), 3);
  EXPECT_EQ(EvalNum("LOG10(0.01)"), -2);
  EXPECT_EQ(EvalErr("LN(0)"), ErrorValue::Num);
  EXPECT_NEAR(EvalNum("PI()"), 3.141592653589793, 1e-15);
  double r = EvalNum("RAND()");
  EXPECT_TRUE(r >= 0 && r < 1);
  double b = EvalNum("RANDBETWEEN(3,5)");
  EXPECT_TRUE(b == 3 || b == 4 || b == 5);
  EXPECT_EQ(EvalErr("RANDBETWEEN(5,3)"), ErrorValue::Num);
}

TEST_F(Functions, Logic) {
  EXPECT_EQ(EvalNum("IF(A1=1,B1,B2)"), 10);
  EXPECT_EQ(EvalNum("IF(A1=2,B1,B2)"), 20);
  EXPECT_FALSE(EvalBool("IF(FALSE,1)"));
  EXPECT_EQ(EvalNum("IF(TRUE,,1)"), 0);
  EXPECT_EQ(EvalErr("IF(\"maybe\",1,2)"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("IF(TRUE,1,1/0)"), 1);  // the branch not taken does not matter
  EXPECT_TRUE(EvalBool("AND(TRUE,1,A4)"));
  EXPECT_FALSE(EvalBool("AND(A1:A5,FALSE)"));
  EXPECT_TRUE(EvalBool("OR(FALSE,A1)"));
  EXPECT_EQ(EvalErr("AND(C1:C3)"), ErrorValue::Value);
  EXPECT_FALSE(EvalBool("NOT(TRUE)"));
  EXPECT_TRUE(EvalBool("TRUE()"));
  EXPECT_FALSE(EvalBool("FALSE()"));
  EXPECT_EQ(EvalText("IFERROR(1/0,\"none\")"), "none");
  EXPECT_EQ(EvalNum("IFERROR(5,0)"), 5);
}

TEST_F(Functions, Information) {
  EXPECT_TRUE(EvalBool("ISBLANK(A5)"));
  EXPECT_FALSE(EvalBool("ISBLANK(A1)"));
  EXPECT_TRUE(EvalBool("ISNUMBER(A1)"));
  EXPECT_TRUE(EvalBool("ISTEXT(A3)"));
  EXPECT_TRUE(EvalBool("ISLOGICAL(A4)"));
  EXPECT_TRUE(EvalBool("ISERROR(1/0)"));
  EXPECT_TRUE(EvalBool("ISERR(1/0)"));
  EXPECT_FALSE(EvalBool("ISERR(NA())"));
  EXPECT_TRUE(EvalBool("ISNA(NA())"));
  EXPECT_EQ(EvalErr("NA()"), ErrorValue::NA);
  EXPECT_EQ(EvalText("T(C1)"), "apple");
  EXPECT_EQ(EvalText("T(A1)"), "");
  EXPECT_EQ(EvalNum("N(A4)"), 1);
  EXPECT_EQ(EvalNum("N(C1)"), 0);
}

TEST_F(Functions, LookupAndReference) {
  Set(1, 4, "1.5");
  Set(2, 4, "2.5");
  Set(3, 4, "3.5");
  EXPECT_EQ(EvalNum("VLOOKUP(\"BANANA\",C1:D3,2,FALSE)"), 2.5);
  EXPECT_EQ(EvalErr("VLOOKUP(\"kiwi\",C1:D3,2,FALSE)"), ErrorValue::NA);
  EXPECT_EQ(EvalErr("VLOOKUP(\"apple\",C1:D3,3,FALSE)"), ErrorValue::Ref);
  EXPECT_EQ(EvalErr("VLOOKUP(\"apple\",C1:D3,0,FALSE)"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("VLOOKUP(35,B1:B5,1)"), 30);
  EXPECT_EQ(EvalNum("VLOOKUP(\"b*\",C1:D3,2,FALSE)"), 2.5);
  EXPECT_EQ(EvalNum("HLOOKUP(10,A1:C2,2,FALSE)"), 20);
  EXPECT_EQ(EvalErr("HLOOKUP(2,A1:C2,2,FALSE)"), ErrorValue::NA);
  EXPECT_EQ(EvalNum("LOOKUP(25,B1:B5)"), 20);
  EXPECT_EQ(EvalText("LOOKUP(25,B1:B5,C1:C5)"), "banana");
  EXPECT_EQ(EvalErr("LOOKUP(5,B1:B5)"), ErrorValue::NA);
  EXPECT_EQ(EvalNum("MATCH(30,B1:B5,0)"), 3);
  EXPECT_EQ(EvalNum("MATCH(34,B1:B5)"), 3);
  EXPECT_EQ(EvalNum("MATCH(\"cherry\",C1:C3,0)"), 3);
  EXPECT_EQ(EvalErr("MATCH(99,B1:B5,0)"), ErrorValue::NA);
  EXPECT_EQ(EvalNum("INDEX(B1:B5,4)"), 40);
  EXPECT_EQ(EvalText("INDEX(A1:C3,2,3)"), "banana");
  EXPECT_EQ(EvalNum("SUM(INDEX(A1:B5,0,2))"), 150);
  EXPECT_EQ(EvalErr("INDEX(B1:B5,9)"), ErrorValue::Ref);
  EXPECT_EQ(EvalNum("CHOOSE(2,B1,B2,B3)"), 20);
  EXPECT_EQ(EvalErr("CHOOSE(4,1,2,3)"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("ROW(B7)+COLUMN(C1)"), 10);
  EXPECT_EQ(EvalNum("ROW()"), 100);
  EXPECT_EQ(EvalNum("COLUMN()"), 26);
  EXPECT_EQ(EvalNum("ROWS(A1:C5)*COLUMNS(A1:C5)"), 15);
  EXPECT_EQ(EvalNum("SUM(OFFSET(A1,1,1,2,1))"), 50);
  EXPECT_EQ(EvalNum("OFFSET(B1,4,0)"), 50);
  EXPECT_EQ(EvalErr("OFFSET(A1,-1,0)"), ErrorValue::Ref);
  EXPECT_EQ(EvalNum("INDIRECT(\"B\"&3)"), 30);
  EXPECT_EQ(EvalNum("SUM(INDIRECT(\"B1:B2\"))"), 30);
  EXPECT_EQ(EvalErr("INDIRECT(\"not a ref\")"), ErrorValue::Ref);
  EXPECT_EQ(EvalNum("INDIRECT(\"R2C2\",FALSE)"), 20);
  EXPECT_EQ(EvalNum("SUM(INDIRECT(\"R1C2:R[-97]C[-24]\",FALSE))"), 60);  // from Z100
  EXPECT_EQ(EvalErr("INDIRECT(\"R0C1\",FALSE)"), ErrorValue::Ref);
  ctl.SetNumSheets(2);
  ctl.SetSheetName(2, "Other Sheet");
  EXPECT_EQ(EvalNum("INDIRECT(\"'Other Sheet'!A1\")+1"), 1);
}

TEST_F(Functions, Text) {
  EXPECT_EQ(EvalText("CONCATENATE(C1,\"-\",A1,TRUE)"), "apple-1TRUE");
  EXPECT_EQ(EvalText("LEFT(C2,3)"), "ban");
  EXPECT_EQ(EvalText("LEFT(C2)"), "b");
  EXPECT_EQ(EvalText("RIGHT(C2,2)"), "na");
  EXPECT_EQ(EvalText("RIGHT(C2,99)"), "banana");
  EXPECT_EQ(EvalText("MID(C3,2,3)"), "her");
  EXPECT_EQ(EvalText("MID(C3,99,3)"), "");
  EXPECT_EQ(EvalErr("MID(C3,0,3)"), ErrorValue::Value);
  EXPECT_EQ(EvalErr("LEFT(C3,-1)"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("LEN(\"h\xC3\xA9llo\")"), 5);
  EXPECT_EQ(EvalText("MID(\"h\xC3\xA9llo\",2,1)"), "\xC3\xA9");
  EXPECT_EQ(EvalText("UPPER(\"abc1\")"), "ABC1");
  EXPECT_EQ(EvalText("LOWER(\"ABC\")"), "abc");
  EXPECT_EQ(EvalText("PROPER(\"hello wORLD 2nd\")"), "Hello World 2Nd");
  EXPECT_EQ(EvalText("TRIM(\"  a   b  \")"), "a b");
  EXPECT_EQ(EvalText("SUBSTITUTE(\"a-b-c\",\"-\",\"+\")"), "a+b+c");
  EXPECT_EQ(EvalText("SUBSTITUTE(\"a-b-c\",\"-\",\"+\",2)"), "a-b+c");
  EXPECT_EQ(EvalText("REPLACE(\"abcdef\",2,3,\"X\")"), "aXef");
  EXPECT_EQ(EvalNum("FIND(\"b\",\"abcb\",3)"), 4);
  EXPECT_EQ(EvalErr("FIND(\"B\",\"abc\")"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("SEARCH(\"B\",\"abc\")"), 2);
  EXPECT_EQ(EvalNum("SEARCH(\"c?e\",\"abcdef\")"), 3);
  EXPECT_EQ(EvalText("REPT(\"ab\",3)"), "ababab");
  EXPECT_EQ(EvalErr("REPT(\"ab\",20000)"), ErrorValue::Value);
  EXPECT_TRUE(EvalBool("EXACT(\"a\",\"a\")"));
  EXPECT_FALSE(EvalBool("EXACT(\"a\",\"A\")"));
  EXPECT_EQ(EvalText("CHAR(65)"), "A");
  EXPECT_EQ(EvalText("CHAR(128)"), "\xE2\x82\xAC");
  EXPECT_EQ(EvalNum("CODE(\"A\")"), 65);
  EXPECT_EQ(EvalNum("CODE(CHAR(233))"), 233);
  EXPECT_EQ(EvalText("CLEAN(\"a\"&CHAR(9)&\"b\")"), "ab");
  EXPECT_EQ(EvalNum("VALUE(\"12.5\")"), 12.5);
  EXPECT_EQ(EvalErr("VALUE(\"abc\")"), ErrorValue::Value);
}

TEST_F(Functions, TextOfNumbersUsesTheNumberFormats) {
  EXPECT_EQ(EvalText("TEXT(1234.567,\"#,##0.00\")"), "1,234.57");
  EXPECT_EQ(EvalText("TEXT(0.25,\"0%\")"), "25%");
  EXPECT_EQ(EvalText("TEXT(DATE(2024,1,15),\"m/d/yyyy\")"), "1/15/2024");
  EXPECT_EQ(EvalText("DOLLAR(1234.567)"), "$1,234.57");
  EXPECT_EQ(EvalText("DOLLAR(-5,0)"), "($5)");
  EXPECT_EQ(EvalText("FIXED(1234.567,1)"), "1,234.6");
  EXPECT_EQ(EvalText("FIXED(1234.567,1,TRUE)"), "1234.6");
}

TEST_F(Functions, DatesAndTimes) {
  EXPECT_EQ(EvalNum("DATE(2024,1,15)"), 45306);
  EXPECT_EQ(EvalNum("DATE(1900,3,1)"), 61);
  EXPECT_EQ(EvalNum("DATE(1900,1,1)"), 1);
  EXPECT_EQ(EvalNum("DATE(2024,13,1)"), EvalNum("DATE(2025,1,1)"));
  EXPECT_EQ(EvalNum("DATE(2024,3,0)"), EvalNum("DATE(2024,2,29)"));
  EXPECT_EQ(EvalNum("DATE(99,1,1)"), EvalNum("DATE(1999,1,1)"));
  EXPECT_EQ(EvalErr("DATE(10000,1,1)"), ErrorValue::Num);
  EXPECT_EQ(EvalNum("YEAR(45306)*10000+MONTH(45306)*100+DAY(45306)"), 20240115);
  EXPECT_EQ(EvalNum("DAY(60)"), 29);  // the fictitious 2/29/1900
  EXPECT_EQ(EvalNum("MONTH(59)"), 2);
  EXPECT_EQ(EvalErr("YEAR(-1)"), ErrorValue::Num);
  EXPECT_NEAR(EvalNum("TIME(12,30,0)"), 0.520833333333333, 1e-12);
  EXPECT_EQ(EvalNum("HOUR(0.75)"), 18);
  EXPECT_EQ(EvalNum("MINUTE(TIME(1,59,30))"), 59);
  EXPECT_EQ(EvalNum("SECOND(TIME(1,59,30))"), 30);
  EXPECT_EQ(EvalNum("WEEKDAY(DATE(2024,1,15))"), 2);  // a Monday
  EXPECT_EQ(EvalNum("WEEKDAY(DATE(2024,1,15),2)"), 1);
  EXPECT_EQ(EvalNum("WEEKDAY(DATE(2024,1,14),3)"), 6);
  EXPECT_EQ(EvalNum("DAYS360(DATE(2024,1,31),DATE(2024,3,31))"), 60);
  EXPECT_EQ(EvalNum("DAYS360(DATE(2024,1,15),DATE(2024,3,31))"), 76);
  EXPECT_EQ(EvalNum("DAYS360(DATE(2024,1,15),DATE(2024,3,31),TRUE)"), 75);
  EXPECT_EQ(EvalNum("EDATE(DATE(2024,1,31),1)"), EvalNum("DATE(2024,2,29)"));
  EXPECT_EQ(EvalNum("EOMONTH(DATE(2024,1,15),-1)"), EvalNum("DATE(2023,12,31)"));
  EXPECT_EQ(EvalNum("NETWORKDAYS(DATE(2024,1,1),DATE(2024,1,14))"), 10);
  EXPECT_EQ(EvalNum("NETWORKDAYS(DATE(2024,1,14),DATE(2024,1,1))"), -10);
  Set(1, 5, "=DATE(2024,1,3)");
  EXPECT_EQ(EvalNum("NETWORKDAYS(DATE(2024,1,1),DATE(2024,1,14),E1)"), 9);
  EXPECT_EQ(EvalNum("WORKDAY(DATE(2024,1,12),1)"), EvalNum("DATE(2024,1,15)"));
  EXPECT_EQ(EvalNum("WORKDAY(DATE(2024,1,15),-1)"), EvalNum("DATE(2024,1,12)"));
  double now = EvalNum("NOW()");
  double today = EvalNum("TODAY()");
  EXPECT_GE(now, today);
  EXPECT_LT(now - today, 1);
  EXPECT_GT(today, 45000);
}

TEST_F(Functions, DatesFromText) {
  EXPECT_EQ(EvalNum("DATEVALUE(\"1/15/2024\")"), 45306);
  EXPECT_NEAR(EvalNum("TIMEVALUE(\"6:00 PM\")"), 0.75, 1e-12);
  EXPECT_EQ(EvalErr("DATEVALUE(\"soon\")"), ErrorValue::Value);
  EXPECT_EQ(EvalNum("\"1/15/2024\"+1"), 45307);
}

TEST_F(Functions, DatesIn1904System) {
  ctl.Book().SetDate1904(true);
  EXPECT_EQ(EvalNum("DATE(1904,1,2)"), 1);
  EXPECT_EQ(EvalNum("YEAR(0)"), 1904);
  EXPECT_EQ(EvalNum("WEEKDAY(0)"), 6);  // 1/1/1904 was a Friday
}

}  // namespace
}  // namespace engine::formula::testing

namespace engine::formula::testing {
namespace {

class MoreFunctions : public FormulaTest {};

TEST_F(MoreFunctions, TrigonometryAndStatistics) {
  for (int r = 1; r <= 5; ++r) Set(r, 1, std::to_string(r * 2));  // 2 4 6 8 10
  EXPECT_NEAR(EvalNum("SIN(PI()/2)+COS(0)+TAN(0)"), 2, 1e-15);
  EXPECT_NEAR(EvalNum("DEGREES(ATAN2(1,1))"), 45, 1e-12);
  EXPECT_NEAR(EvalNum("RADIANS(180)"), 3.141592653589793, 1e-15);
  EXPECT_EQ(EvalErr("ASIN(2)"), ErrorValue::Num);
  EXPECT_EQ(EvalNum("FACT(5)"), 120);
  EXPECT_EQ(EvalNum("EVEN(1.5)+ODD(2)"), 2 + 3);
  EXPECT_EQ(EvalNum("EVEN(-1)"), -2);
  EXPECT_EQ(EvalNum("MEDIAN(A1:A5)"), 6);
  EXPECT_EQ(EvalNum("MEDIAN(A1:A4)"), 5);
  EXPECT_EQ(EvalNum("LARGE(A1:A5,2)+SMALL(A1:A5,1)"), 10);
  EXPECT_EQ(EvalErr("LARGE(A1:A5,6)"), ErrorValue::Num);
  EXPECT_EQ(EvalNum("SUMSQ(1,2,3)"), 14);
  EXPECT_EQ(EvalNum("VARP(A1:A5)"), 8);
  EXPECT_EQ(EvalNum("VAR(A1:A5)"), 10);
  EXPECT_NEAR(EvalNum("STDEV(A1:A5)"), std::sqrt(10.0), 1e-12);
  EXPECT_EQ(EvalErr("STDEV(1)"), ErrorValue::Div0);
}

TEST_F(MoreFunctions, KnownButNotComputedFunctionsKeepTheirNameAndGiveNameError) {
  EXPECT_EQ(EvalErr("TRANSPOSE(A1:A2)"), ErrorValue::Name);
  EXPECT_EQ(Formula(100, 26), "TRANSPOSE(A1:A2)");
  EXPECT_THROW(ctl.SetCellText(1, 1, "=TRANSPOSE()"), EngineError);  // arity is still checked
}

}  // namespace
}  // namespace engine::formula::testing
