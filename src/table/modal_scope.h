#pragma once
// Marks the span in which a message box or modal dialog of the table is up: m_NoModalUp is
// false inside and gets its previous value back on the way out, also when the span is left
// by an exception.

namespace table {

class ModalScope {
 public:
  explicit ModalScope(bool& noModalUp) : flag_(noModalUp), previous_(noModalUp) {
    flag_ = false;
  }
  ~ModalScope() { flag_ = previous_; }
  ModalScope(const ModalScope&) = delete;
  ModalScope& operator=(const ModalScope&) = delete;

 private:
  bool& flag_;
  bool previous_;
};

}  // namespace table
