#pragma once
// How references follow cells when rows, columns or blocks are inserted, deleted or moved.

#include <cstdint>
#include <vector>

#include "control/formula/expression.h"
#include "control/formula/formula_engine.h"

namespace engine::formula {

// Where a cell of the changed sheet goes; false when the change deletes it (or pushes it off
// the sheet). Cells of other sheets never move.
bool MapCell(const StructureChange& change, int& row, int& col);

// Rewrites the references of a token list for a formula that sits at (oldRow, oldCol) before
// the change and at (newRow, newCol) after it. `homeSheet` is the sheet its sheet-less
// references point into (0: none follows the change). Returns true when a token changed.
bool AdjustReferences(std::vector<Token>& tokens, const StructureChange& change,
                      std::uint32_t homeSheet, int oldRow, int oldCol, int newRow, int newCol);

// References to a sheet that is being removed become #REF!. Returns true when one did.
bool DropSheetReferences(std::vector<Token>& tokens, std::uint32_t sheetId);

}  // namespace engine::formula
