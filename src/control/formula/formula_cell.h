#pragma once
// What a formula cell holds beside its slot: the parsed expression, its canonical text and the
// last computed result.

#include <memory>
#include <string>

#include "control/value.h"

namespace engine {

namespace formula {
class Expression;  // the parsed form, owned by the formula engine
}

struct FormulaCell {
  std::shared_ptr<const formula::Expression> expr;  // null until parsed
  std::string text;                                 // canonical text, without the leading "="
  Value result = Value::Error(ErrorValue::Name);
};

}  // namespace engine
