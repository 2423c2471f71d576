#pragma once
// A headless table with the protected row and colour helpers opened up, and a few ways to set
// up sheets and selections directly on the engine.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/headless_table.h"

class RowsTable : public HeadlessTable {
 public:
  using CZAT_PSF1::FullColumnSelectionPatch;
  using CZAT_PSF1::FullRowSelectionPatch;
  using CZAT_PSF1::GetColorStyle;
  using CZAT_PSF1::GetStyleColor;
  using CZAT_PSF1::NoColNamePatch;
  using CZAT_PSF1::NoFirstRowPatch;
  using CZAT_PSF1::RestoreSelRows;
  using CZAT_PSF1::StoreSelRows;
  using HeadlessTable::HeadlessTable;

  CWBRowsRangeList& SavedSelRows() { return m_SavedSelRows; }
  CWBRowsRangeList& RunRows() { return m_RunRowsList; }
};

// Ranges of one sheet as "first-last" texts, "none" without an entry.
std::string RangesText(const CWBRowsRangeList& list, const CString& sheet);

class RowsTest : public HeadlessTableTest<RowsTable> {
 protected:
  // Gives the active sheet `params` parameters P1, P2, … with values "r<row>c<col>" in rows
  // 1 … rows.
  void FillSheet(int params, int rows);
  // Adds sheets until there are `count`.
  void EnsureSheets(int count);
  // Selects whole rows on the active sheet as the engine reports them (columns 1 … MaxCol).
  void SelectWholeRows(int first, int last) { E().SetSelection(first, -1, last, -1); }
  void AddWholeRows(int first, int last) { E().AddSelection(first, -1, last, -1); }
  // The selection blocks of sheet `sheet` (1-based) as "r1,c1:r2,c2" texts.
  std::vector<std::string> Blocks(int sheet);
  CString SheetName(int sheet);
};
