#pragma once
// Carried formulas (chart series, form controls' linked cells and source ranges, text boxes
// linked to a cell, carried names) that name a worksheet's cells follow edits of its rows and
// columns, block moves and sorts as cell formulas do; a reference whose cells are all deleted
// becomes #REF!.

#include <cstdint>
#include <vector>

#include "control/limits.h"
#include "control/model/ref_edits.h"

namespace engine {

class Sheet;
class Workbook;

namespace features {

// One axis of a structural edit: rows (with the columns that take part) or columns (with the
// rows). An item takes part when it lies wholly inside the band across the axis.
struct LineEdit {
  bool rows;         // the edit moves rows
  int at, count;     // first row (column) inserted or deleted, how many
  int band1, band2;  // the columns (rows) that take part
  bool insert;
  int limit() const { return rows ? kMaxRow : kMaxCol; }
};

// Maps the references of BIFF8 tokens through the edit; rows are numbered token row +
// rowOffset. Without `entries` the plain references, else the 3-D references through the
// marked sheet-reference entries.
void MapTokens(std::uint8_t* t, std::size_t size, const LineEdit& e, int rowOffset,
               const std::vector<bool>* entries);

// Every carried formula of the book that names cells of `sheet` follows the edit.
void MapCarriedRefs(Workbook& book, const Sheet& sheet, const LineEdit& e);
void MoveCarriedRefs(Workbook& book, const Sheet& sheet, const BlockMove& m);
void SortCarriedRefs(Workbook& book, const Sheet& sheet, const LineOrder& o);

}  // namespace features
}  // namespace engine
