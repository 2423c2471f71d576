// The two forms of a table: open (names are the column headings, row 1 holds the first values)
// and stored (names in row 1, values from row 2). Files, blobs, printouts and whole-table
// copies use the stored form; these two operations convert every sheet between the forms.
#include <string>
#include <utility>
#include <vector>

#include "params/arg_col_index.h"
#include "params/program_change.h"
#include "table/czat_psf1.h"

int CZAT_PSF1::AddHeaderToZAT() {
  engine::Control& ctl = Ctl();
  const long active = GetSheet();
  const long count = GetNumSheets();
  long withHeader = 0;
  try {
    for (long i = 1; i <= count; ++i) {
      SetSheet(i);
      ctl.InsertNamesRow();
      withHeader = i;
      long last = GetLastCol();
      // An unnamed column gets an empty cell, not its letters.
      for (long c = 1; c <= last; ++c) {
        int col = static_cast<int>(c);
        ctl.SetCellEntry(1, col, ctl.GetColumnHeadingText(col));
      }
    }
  } catch (const engine::EngineError&) {
    // A sheet could not take the names row (its last row is in use): the sheets done so far
    // get their rows back, so no sheet is left half converted, and the caller learns why.
    for (long i = 1; i <= withHeader; ++i) {
      try {
        SetSheet(i);
        ctl.DeleteNamesRow();
      } catch (const engine::EngineError&) {
      }
    }
    SetSheet(active);
    throw;
  }
  SetSheet(active);
  return 0;
}

int CZAT_PSF1::DelHeaderFromZAT(int takeNames) {
  engine::Control& ctl = Ctl();
  // The workbook may have been replaced: no parameter lookup may outlive this.
  if (m_Internals->argIndex) m_Internals->argIndex->Clear();
  const long active = GetSheet();
  const long count = GetNumSheets();
  m_HeaderColCounts.resize(static_cast<std::size_t>(count > 0 ? count : 0), 0);
  int result = 0;
  for (long i = 1; i <= count; ++i) {
    SetSheet(i);
    long rows = ctl.GetLastRow();
    if (takeNames) m_HeaderColCounts[i - 1] = static_cast<unsigned>(ctl.GetLastCol());
    if (rows < 1) {
      result = -1;
      continue;
    }
    // Texts are taken as they stand; an empty cell leaves the heading unchanged.
    std::vector<std::pair<int, std::string>> names;
    if (takeNames) {
      int lastCol = ctl.GetLastCol();
      for (int c = 1; c <= lastCol; ++c) {
        std::string text = ctl.GetCellText(1, c);
        if (!text.empty()) names.emplace_back(c, std::move(text));
      }
    }
    // The whole row goes, so that the rows below move up together with their attributes
    // (hidden, height, row format); moving only the cells would shift those by one row on
    // every save and open.
    ctl.DeleteNamesRow();
    // Named once the names row is gone, so that each defined name covers rows 1 … MaxRow - 10
    // of the open table rather than being shifted with the deleted row.
    if (!names.empty()) {
      params::ProgramChangeScope programChange(ctl);
      for (const auto& [col, text] : names) SetColText(col, text);
    }
  }
  SetSheet(active);
  if (m_Internals->argIndex) m_Internals->argIndex->Clear();
  return result;
}
