#pragma once
// What a formula cell holds beside its slot: the parsed expression, its canonical text and the
// last computed result.

#include <cstdint>
#include <memory>
#include <string>

#include "control/model/value.h"

namespace engine {

namespace formula {
class Expression;  // the parsed form, owned by the formula engine
}

struct FormulaCell {
  std::shared_ptr<const formula::Expression> expr;  // null until parsed
  std::string text;                                 // canonical text, without the leading "="
  Value result = Value::Error(ErrorValue::Name);

  // A cell of an array formula ({=…}): every cell of the block holds the formula, compiled at
  // its own position so that its references resolve to the same cells; the formula is
  // evaluated with operators working element by element and the cell shows the value at its
  // place in the result array. arrayRows 0: an ordinary formula.
  std::int32_t arrayRows = 0, arrayCols = 0;  // the block's size
  std::int32_t arrayRow = 0, arrayCol = 0;    // this cell's place in the block, 0-based
  bool IsArray() const { return arrayRows > 0; }
  bool InBlock() const { return arrayRows > 1 || arrayCols > 1; }

  // Recalculation bookkeeping, owned by the formula engine; a copy starts afresh.
  std::uint8_t calcState = 0;  // see formula_engine.cpp
  bool cyclic = false;         // part of a circular reference in the current recalculation
  std::int32_t frame = -1;     // its place on the recalculation stack while in progress
};

}  // namespace engine
