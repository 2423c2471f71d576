#pragma once
// Changes the table makes to headings are marked as program changes for their span, and the
// mark is taken off again however the span ends.

#include "control/control.h"

namespace params {

class ProgramChangeScope {
 public:
  explicit ProgramChangeScope(engine::Control& ctl) : ctl_(ctl) { ctl_.SetProgramChangeMode(true); }
  ~ProgramChangeScope() { ctl_.SetProgramChangeMode(false); }
  ProgramChangeScope(const ProgramChangeScope&) = delete;
  ProgramChangeScope& operator=(const ProgramChangeScope&) = delete;

 private:
  engine::Control& ctl_;
};

}  // namespace params
