#pragma once
// The listener the control reports user actions and modifications to (one per control).
// Coordinates are 1-based; row 0 is the column-heading row, column 0 the row-heading column.

#include <string>

namespace engine {

class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  virtual void OnClick(int /*row*/, int /*col*/) {}
  virtual void OnDblClick(int /*row*/, int /*col*/) {}
  virtual void OnRClick(int /*row*/, int /*col*/) {}
  virtual void OnRDblClick(int /*row*/, int /*col*/) {}
  virtual void OnKeyDown(short& /*key*/, short /*shift*/) {}
  // An in-cell edit is about to start; set cancel to 1 to refuse it.
  virtual void OnStartEdit(std::string& /*text*/, short& /*cancel*/) {}
  // An in-cell edit is ending with `text`; set cancel to 1 to refuse it.
  virtual void OnEndEdit(std::string& /*text*/, short& /*cancel*/) {}
  // Content, structure, headings, formats or sheets changed (once per call, after the change).
  virtual void OnModified() {}
};

}  // namespace engine

namespace engine {

// What the views of a control repaint from. Unlike OnModified, a notice says where, and it also
// comes for changes that are not content (widths, hidden rows and columns, the active sheet, the
// tabs) and for selection changes. Any number of viewers; each is told after the change is done.
class ControlViewer {
 public:
  virtual ~ControlViewer() = default;
  // The content or format of a block of cells of sheet `sheet` (1-based) changed.
  virtual void OnCellsChanged(int /*sheet*/, int /*row1*/, int /*col1*/, int /*row2*/,
                              int /*col2*/) {}
  // Anything of the sheet may have changed: headings, widths, hidden rows or columns, cells.
  virtual void OnSheetChanged(int /*sheet*/) {}
  // Sheets came, went, moved or were renamed, another sheet became active, the tabs were shown
  // or hidden, or the workbook was replaced: everything may have changed.
  virtual void OnWorkbookChanged() {}
  // The selection blocks or the active cell of the active sheet changed.
  virtual void OnSelectionChanged() {}
  // The active cell should be scrolled into view.
  virtual void OnShowActiveCell() {}
};

}  // namespace engine
