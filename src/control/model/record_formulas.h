#pragma once
// Where the carried records of drawing objects and charts hold formulas that name cells: a
// chart series' link to its data (BRAI), a form control's linked cell and a list's source range,
// an object's macro and picture links (OBJ sub-records), a text box's linked cell (TXO).

#include <cstddef>
#include <cstdint>
#include <functional>

#include "control/sheet_features.h"

namespace engine::features {

// Calls fn(tokens, size) for each formula of the record; the tokens lie wholly inside its body.
// A record of another kind, or whose parts do not add up, is left as it is from the first part
// that does not.
void ForEachRecordFormula(CarriedRecord& r,
                          const std::function<void(std::uint8_t*, std::size_t)>& fn);

}  // namespace engine::features
