#pragma once
// CWnd: a window of the platform, as the table sees it — the host's parent window or the
// table's own window. The table only asks for its rectangle and hands it back to the platform.

#include "platform/geometry.h"

class CWnd {
 public:
  virtual ~CWnd() = default;
  // The window rectangle in screen coordinates.
  virtual platform::Rect GetWindowRect() const = 0;
};
