#pragma once
// How references follow cells when rows, columns or blocks are inserted, deleted or moved.

#include <cstdint>
#include <functional>
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

// References to a sheet that is being removed become #REF!; a range of sheets that starts
// (ends) there starts at `nextId` (ends at `previousId`), the sheets beside it in the
// workbook's order (0: none). Returns true when a token changed.
bool DropSheetReferences(std::vector<Token>& tokens, std::uint32_t sheetId, std::uint32_t nextId,
                         std::uint32_t previousId);

// After sheets moved: a range of sheets whose first sheet now comes after its last is turned
// round. `index` gives a sheet's position. Returns true when a token changed.
bool OrderSheetRange(std::vector<Token>& tokens, const std::function<int(std::uint32_t)>& index);

}  // namespace engine::formula
