#pragma once
// The listener the control reports user actions and modifications to (one per control).
// Coordinates are 1-based; row 0 is the column-heading row, column 0 the row-heading column.

#include <string>

namespace engine {

class ControlEvents {
 public:
  virtual ~ControlEvents() = default;
  virtual void OnClick(int /*row*/, int /*col*/) {}
  virtual void OnDblClick(int /*row*/, int /*col*/) {}
  virtual void OnRClick(int /*row*/, int /*col*/) {}
  virtual void OnRDblClick(int /*row*/, int /*col*/) {}
  virtual void OnKeyDown(short& /*key*/, short /*shift*/) {}
  // An in-cell edit is about to start; set cancel to 1 to refuse it.
  virtual void OnStartEdit(std::string& /*text*/, short& /*cancel*/) {}
  // An in-cell edit is ending with `text`; set cancel to 1 to refuse it.
  virtual void OnEndEdit(std::string& /*text*/, short& /*cancel*/) {}
  // Content, structure, headings, formats or sheets changed (once per call, after the change).
  virtual void OnModified() {}
};

}  // namespace engine
