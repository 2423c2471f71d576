#pragma once
// A headless table with the protected header, entry and name helpers opened up, and ways to
// look at the engine underneath.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/headless_table.h"

class ParamsTable : public HeadlessTable {
 public:
  using CZAT_PSF1::AddCol;
  using CZAT_PSF1::AddHeaderToZAT;
  using CZAT_PSF1::DelHeaderFromZAT;
  using CZAT_PSF1::DoBeforeArgValue;
  using CZAT_PSF1::FixSpaceInDate;
  using CZAT_PSF1::GetABColName;
  using CZAT_PSF1::GetArgCol;
  using CZAT_PSF1::GetColText;
  using CZAT_PSF1::GetLastCol;
  using CZAT_PSF1::GetLastRow;
  using CZAT_PSF1::GetNonameName;
  using CZAT_PSF1::GetNotDupArgName;
  using CZAT_PSF1::GetParamNameError;
  using CZAT_PSF1::IsABColName;
  using CZAT_PSF1::IsParamNameAlnum;
  using CZAT_PSF1::IsParamNameLetter;
  using CZAT_PSF1::IsValidParamNameChar;
  using CZAT_PSF1::IsValidParamNameFirstChar;
  using CZAT_PSF1::MbcharToString;
  using CZAT_PSF1::SetColText;
  using CZAT_PSF1::SetEntryRC;
  using HeadlessTable::HeadlessTable;

  std::vector<unsigned>& HeaderColCounts() { return m_HeaderColCounts; }
  const CString& ShortDateFormat() const { return m_ShortDateFormat; }
};

// A sink that answers the deletion question as told and records what it was asked.
class RecordingSink : public CZATNotify {
 public:
  ZAT_NTFY_RC answer = ZAT_NTFY_OK;
  std::vector<CStringList> deleteArgCalls;
  ZAT_NTFY_RC OnDeleteArg(CStringList& names) override {
    deleteArgCalls.push_back(names);
    return answer;
  }
};

class ParamsTest : public HeadlessTableTest<ParamsTable> {
 protected:
  // Names the columns of the active sheet directly on the engine ("" leaves a column unnamed)
  // and fills rows 1 … rows with the texts Cell(r, c) (entered as typed).
  void MakeSheet(const std::vector<std::string>& names, int rows);
  static std::string Cell(int row, int col) {
    return "r" + std::to_string(row) + "c" + std::to_string(col);
  }
  // Adds sheets until there are `count`.
  void EnsureSheets(int count);
  // The displayed text of a cell of the active sheet.
  std::string Shown(int row, int col) { return E().GetCellFormattedText(row, col); }
};
