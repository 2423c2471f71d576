// Formulas in the file's token form: text we encode decodes to the same text in both forms,
// shared-formula references are relative to the cell, and what we cannot express says so.
#include <gtest/gtest.h>

#include "control/xls/biff_formula.h"

namespace {

using namespace engine::xls;

std::string RoundTrip(const std::string& text, BiffVersion v) {
  EncodeContext ec;
  ec.version = v;
  ec.sheetNames = {"Data", "My Sheet", "It's"};
  ec.names = {"Rate", "Total"};
  ec.sheetRanges = {{0, 1}, {0, 2}};
  Bytes tokens, extra;
  if (!EncodeFormula(text, ec, tokens, extra)) return "<not encoded>";
  FormulaContext fc;
  fc.version = v;
  fc.sheetNames = ec.sheetNames;
  fc.names = ec.names;
  for (int i = 0; i < 3; ++i) fc.externSheets.push_back({true, i, i, 0});
  for (auto [first, last] : ec.sheetRanges) fc.externSheets.push_back({true, first, last, 0});
  DecodedFormula d = DecodeFormula(tokens.data(), tokens.size(), extra.data(), extra.size(), fc, 0, 0);
  return d.complete ? d.text : "<incomplete> " + d.text;
}

TEST(BiffFormula, TextSurvivesEncodingInBothForms) {
  const char* formulas[] = {
      "A1+B2*3",
      "(A1+B2)*3",
      "-A1^2",
      "2^-1",
      "10%",
      "$A$1:B$10",
      "SUM(A1:A10)",
      "SUM(A1,B1,C1)",
      "IF(A1>0,\"yes\",\"no\")",
      "A1&\" \"&B1",
      "LEN(\"say \"\"hi\"\"\")",
      "Data!A1",
      "'My Sheet'!$B$2:C3",
      "'It''s'!A1",
      "Rate*Total",
      "ROUND(1.25,1)",
      "NOW()",
      "TRUE",
      "#N/A",
      "A1<>B1",
      "A1<=1.5E+300",
      "{1,2;3,4}",
      "SUM({1,\"a\";TRUE,#DIV/0!})",
      "A:A",
      "2:3",
      "VLOOKUP(A1,Data!A1:B9,2,FALSE)",
      "IF(A1,,1)",
      "1-(2-3)",
      // Union, intersection and ranges of sheets.
      "A1 B1",
      "(A1,B1)",
      "SUM((A1:A2,B1),C1)",
      "A1:B2 B2:C3*2",
      "-A1:B2 B2",
      "SUM((Data!A1,A1:B2 B2:C3))",
      "'Data:My Sheet'!A1:B2",
      "SUM('Data:It''s'!$A$1)",
  };
  for (const char* f : formulas) {
    EXPECT_EQ(RoundTrip(f, BiffVersion::Biff8), f) << "BIFF8";
    EXPECT_EQ(RoundTrip(f, BiffVersion::Biff5), f) << "BIFF5";
  }
}

TEST(BiffFormula, WhatCannotBeWrittenIsRefused) {
  for (const char* f : {"NOSUCHFUNCTION(1)", "Missing!A1", "SUM(1", "(A1,", "(A1,B1", "Unknown+1",
                        "LEN()", "IF(1)", "\"unterminated", "Data:Other!A1", "'My Sheet:It''s'!A1"})
    EXPECT_EQ(RoundTrip(f, BiffVersion::Biff8), "<not encoded>") << f;
  // BIFF5 rows end at 16,384.
  EXPECT_EQ(RoundTrip("A20000", BiffVersion::Biff5), "<not encoded>");
  EXPECT_EQ(RoundTrip("A20000", BiffVersion::Biff8), "A20000");
}

TEST(BiffFormula, SharedFormulaReferencesFollowTheCell) {
  FormulaContext fc;
  // ptgRefN (row offset -1, column offset +2, both relative) then ptgAreaN.
  std::uint8_t refN[] = {0x2C, 0xFF, 0xFF, 0x02, 0xC0};
  DecodedFormula d = DecodeFormula(refN, sizeof refN, nullptr, 0, fc, 9, 1);
  EXPECT_EQ(d.text, "D9");
  std::uint8_t areaN[] = {0x2D, 0x00, 0x00, 0x02, 0x00, 0x00, 0xC0, 0x00, 0x80};
  d = DecodeFormula(areaN, sizeof areaN, nullptr, 0, fc, 4, 3);
  EXPECT_EQ(d.text, "D5:$A7");
}

TEST(BiffFormula, DamagedOrUnknownTokensNeverPassAsComplete) {
  FormulaContext fc;
  std::uint8_t unknownFunction[] = {0x1E, 0x01, 0x00, 0x42, 0x01, 0xF0, 0x03};
  DecodedFormula d = DecodeFormula(unknownFunction, sizeof unknownFunction, nullptr, 0, fc, 0, 0);
  EXPECT_FALSE(d.complete);
  std::uint8_t cut[] = {0x1F, 0x00, 0x00};  // a number missing its bytes
  EXPECT_TRUE(DecodeFormula(cut, sizeof cut, nullptr, 0, fc, 0, 0).text.empty());
  std::uint8_t underflow[] = {0x03};  // + with no operands
  EXPECT_FALSE(DecodeFormula(underflow, sizeof underflow, nullptr, 0, fc, 0, 0).complete);
  std::uint8_t badName[] = {0x23, 0x09, 0x00, 0x00, 0x00};
  EXPECT_FALSE(DecodeFormula(badName, sizeof badName, nullptr, 0, fc, 0, 0).complete);
  std::uint8_t arrayNoData[] = {0x60, 0, 0, 0, 0, 0, 0, 0};
  EXPECT_FALSE(DecodeFormula(arrayNoData, sizeof arrayNoData, nullptr, 0, fc, 0, 0).complete);
}

}  // namespace
