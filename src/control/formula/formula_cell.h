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

  // Recalculation bookkeeping, owned by the formula engine; a copy starts afresh.
  std::uint8_t calcState = 0;  // see formula_engine.cpp
  bool cyclic = false;         // part of a circular reference in the current recalculation
  std::int32_t frame = -1;     // its place on the recalculation stack while in progress
};

}  // namespace engine
