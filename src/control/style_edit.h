#pragma once
// A change that the format operations apply to every style a block of cells shows.

#include <functional>

#include "control/model/style.h"

namespace engine {

struct StyleEdit {
  std::function<void(Style&, StyleTable&)> apply;
};

}  // namespace engine
