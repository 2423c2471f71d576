#pragma once
// The table's implementation side: the class (declared in the SDK header so a host can
// construct it) together with what its member bodies need — the engine, the platform and the
// members the SDK header keeps out of a host's sight. Member bodies include this header.
//
// A new member that only the implementation uses goes into Internals below, not into the SDK
// header.

#include <memory>

#include "control/control.h"
#include "datatable/czat_psf1.h"
#include "platform/platform.h"

namespace params {
class ArgColumnIndex;
}

struct CZAT_PSF1::Internals {
  // The two listeners a table registers (table/relays.h).
  class FrameRelay;
  class ControlEventRelay;

  Internals();
  ~Internals();
  Internals(const Internals&) = delete;
  Internals& operator=(const Internals&) = delete;

  std::unique_ptr<engine::Control> control;  // the workbook engine
  // Column of each parameter name per sheet, so that finding a parameter is cheap (params/).
  std::shared_ptr<params::ArgColumnIndex> argIndex;
  // The platform this table was built on, its window, and the relays that deliver window
  // messages and engine events to the table's handlers.
  std::shared_ptr<platform::Platform> platform;
  std::unique_ptr<platform::Frame> frame;
  std::unique_ptr<FrameRelay> frameRelay;
  std::unique_ptr<ControlEventRelay> controlEvents;

  // Throws the engine's error for a table without an engine.
  [[noreturn]] static void NoControl();

  // The preamble every parameter read shares (params/param_values.cpp): the requested sheet
  // (0 = the active one) is active while read(ctl, row, col) runs on the parameter's cell;
  // false, without calling read, when the sheet, the row or the name is not there.
  template <class Read>
  static bool ReadArgCell(CZAT_PSF1& table, long row, const CString& name, long sheet, Read&& read);
  // The framing every colour operation shares (params/color_styles.cpp): the parameter's cell
  // of a row (0 = its whole column) is selected while op(ctl) runs, and the user's row
  // selection and active cell are put back after it; -1, without calling op, for an unknown
  // name or a row outside the sheet.
  template <class Op>
  static int WithColorTarget(CZAT_PSF1& table, const CString& name, long row, Op&& op);
};

inline auto& CZAT_PSF1::Ctl() const {
  if (!m_Internals->control) Internals::NoControl();
  return *m_Internals->control;
}
