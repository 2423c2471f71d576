#pragma once
// One sheet of a workbook: cells by column, row and column attributes, selection.

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "control/limits.h"
#include "control/model/cell_store.h"
#include "control/model/text_runs.h"
#include "control/sheet_features.h"

namespace engine {

inline constexpr int kDefaultColumnWidth = 9 * 256 + 36;  // in 1/256 of a character, as BIFF
// Row heights in twips: the standard height of a row (12.75 pt) and the most a row may have.
inline constexpr int kStandardRowHeight = 255;
inline constexpr int kMaxRowHeight = 8192;

struct ColumnAttr {
  std::string heading;    // the column heading text; empty shows the column letter
  int width = kDefaultColumnWidth;
  bool hidden = false;
  std::uint8_t outline = 0;  // outline level 0-7
  bool collapsed = false;
  std::uint16_t style = 0;  // a format on the whole column
  bool operator==(const ColumnAttr&) const = default;
};

struct RowAttr {
  bool hidden = false;
  std::uint8_t outline : 3 = 0;  // outline level 0-7
  bool collapsed : 1 = false;
  // The height was fitted to the row's contents by the program that wrote the file, not set
  // by a person: it is written back as such (a spreadsheet may fit it again).
  bool fittedHeight : 1 = false;
  std::uint16_t style = 0;  // a format on the whole row
  int heightTwips = 0;      // 0 = default height
  bool operator==(const RowAttr&) const = default;
};

// A rectangular block of the selection, 1-based and inclusive, always normalised.
struct Block {
  int row1 = 1, col1 = 1, row2 = 1, col2 = 1;
  bool Contains(int r, int c) const { return r >= row1 && r <= row2 && c >= col1 && c <= col2; }
  bool operator==(const Block&) const = default;
};

struct Selection {
  std::vector<Block> blocks{Block{}};
  int activeRow = 1, activeCol = 1;
};

class Sheet {
 public:
  Sheet(std::uint32_t id, std::string name);
  Sheet(const Sheet&) = delete;
  Sheet& operator=(const Sheet&) = delete;

  std::uint32_t Id() const { return id_; }  // stable for the sheet's life; formulas refer by it
  const std::string& Name() const { return name_; }
  void SetName(std::string name) { name_ = std::move(name); }
  bool Selected() const { return selected_; }
  void SetSelected(bool on) { selected_ = on; }

  Column& Col(int col) { return columns_[col - 1]; }
  const Column& Col(int col) const { return columns_[col - 1]; }
  const CellSlot* Find(int row, int col) const { return columns_[col - 1].Find(row); }

  // Used extent: last row and column that hold content (0 when the sheet is empty).
  int LastRow() const {
    if (!extentValid_) ComputeExtent();
    return lastRow_;
  }
  int LastCol() const {
    if (!extentValid_) ComputeExtent();
    return lastCol_;
  }

  // Every write access to the column attributes may change a heading, so it takes a new
  // heading stamp.
  ColumnAttr& ColAttr(int col) {
    NewHeadingStamp();
    return colAttrs_[col - 1];
  }
  const ColumnAttr& ColAttr(int col) const { return colAttrs_[col - 1]; }
  const RowAttr& GetRowAttr(int row) const {
    static const RowAttr kDefault;
    return row >= 1 && row <= static_cast<int>(rowAttrs_.size()) ? rowAttrs_[row - 1] : kDefault;
  }
  RowAttr& MutableRowAttr(int row);
  int RowAttrCount() const { return static_cast<int>(rowAttrs_.size()); }
  std::vector<RowAttr>& RowAttrs() { return rowAttrs_; }
  std::vector<ColumnAttr>& ColAttrs() {
    NewHeadingStamp();
    return colAttrs_;
  }
  // A number that no other sheet of the process has had and that changes whenever this
  // sheet's column headings may have changed: equal stamps mean the same sheet with the same
  // headings.
  std::uint64_t HeadingStamp() const { return headingStamp_; }

  // The style a cell shows: its own, else its row's, else its column's.
  std::uint16_t EffectiveStyle(int row, int col) const {
    return EffectiveStyle(Find(row, col), row, col);
  }
  // The same for the cell's slot already found (nullptr: none).
  std::uint16_t EffectiveStyle(const CellSlot* s, int row, int col) const {
    if (s && s->style) return s->style;
    std::uint16_t r = GetRowAttr(row).style;
    return r ? r : colAttrs_[col - 1].style;
  }

  // Content of a cell, releasing what its slot referred to. The style stays.
  void ClearContent(CellSlot& slot) {
    if (slot.kind == CellKind::Text) {
      texts_.Release(slot.ref);
      if (!runs_.empty()) runs_.erase(slot.ref);
    } else if (slot.kind == CellKind::Formula)
      formulas_.Release(slot.ref);
    slot.kind = CellKind::Empty;
    slot.ref = 0;
    slot.small = 0;
    slot.number = 0;
  }
  std::string& Text(const CellSlot& s) { return texts_[s.ref]; }
  const std::string& Text(const CellSlot& s) const { return texts_[s.ref]; }
  FormulaCell& Formula(const CellSlot& s) { return *formulas_[s.ref]; }
  const FormulaCell& Formula(const CellSlot& s) const { return *formulas_[s.ref]; }
  // Calls f(row, col, formula) for every formula cell of the sheet, column by column.
  template <typename F>
  void ForEachFormula(F&& f) {
    if (formulas_.Live() == 0) return;
    for (int c = 1; c <= kMaxCol; ++c) {
      Column& column = columns_[c - 1];
      if (column.LastUsedRow() == 0) continue;
      column.ForEachSlot(1, column.LastUsedRow(), [&](int r, CellSlot& s) {
        if (s.kind == CellKind::Formula) f(r, c, *formulas_[s.ref]);
      });
    }
  }
  TextPool& Texts() { return texts_; }
  FormulaPool& Formulas() { return formulas_; }

  // The formatting runs of a text cell; nullptr when it has none. They are kept beside the
  // cells by the cell's text entry, which goes wherever the cell goes (inserts, deletes, moves,
  // sorts), so they follow it; a new value releases the entry and with it the runs.
  const TextRuns* Runs(const CellSlot& s) const {
    if (runs_.empty() || s.kind != CellKind::Text) return nullptr;
    auto it = runs_.find(s.ref);
    return it == runs_.end() ? nullptr : &it->second;
  }
  // Gives a text cell its runs (none: it has none); the caller has checked them.
  void SetRuns(const CellSlot& s, TextRuns runs) {
    if (s.kind != CellKind::Text) return;
    if (runs.empty()) runs_.erase(s.ref);
    else runs_[s.ref] = std::move(runs);
  }
  std::size_t RichTextCount() const { return runs_.size(); }

  // Running widest entry per column, in characters, so fitting widths is cheap.
  int WidestEntry(int col) const { return widest_[col - 1]; }
  void NoteEntryWidth(int col, int chars) {
    if (chars > widest_[col - 1]) widest_[col - 1] = chars;
  }
  void ResetWidest(int col, int chars) { widest_[col - 1] = chars; }

  // Everything the sheet carries besides cells (merges, view, comments, rules, page setup).
  SheetFeatures& Features() { return features_; }
  const SheetFeatures& Features() const { return features_; }
  // Attributes of the stored form's names row while it is out of the sheet.
  RowAttr& HeadingRowAttr() { return headingRowAttr_; }

  Selection& Sel() { return selection_; }
  const Selection& Sel() const { return selection_; }

  // Bumped on every change of content, headings or structure; lets callers cache lookups.
  std::uint64_t ChangeCount() const { return changes_; }
  void Changed() { ++changes_; }
  // A cell got content: grow the cached extent without a rescan.
  void NoteContent(int row, int col) {
    columns_[col - 1].Touched(row);
    if (extentValid_) {
      if (row > lastRow_) lastRow_ = row;
      if (col > lastCol_) lastCol_ = col;
    }
  }
  void InvalidateExtent() { extentValid_ = false; }

  std::size_t MemoryBytes() const;

 private:
  void ComputeExtent() const;
  void NewHeadingStamp();

  std::uint32_t id_;
  std::string name_;
  bool selected_ = false;
  std::vector<Column> columns_;
  std::vector<ColumnAttr> colAttrs_;
  std::vector<RowAttr> rowAttrs_;
  std::vector<int> widest_;
  TextPool texts_;
  FormulaPool formulas_;
  std::unordered_map<std::uint32_t, TextRuns> runs_;  // by text entry
  Selection selection_;
  SheetFeatures features_;
  RowAttr headingRowAttr_;
  std::uint64_t changes_ = 0;
  std::uint64_t headingStamp_ = 0;
  mutable bool extentValid_ = true;
  mutable int lastRow_ = 0, lastCol_ = 0;
};

}  // namespace engine
