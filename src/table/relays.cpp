// Delivery of window messages and engine events to the table's handlers.

#include "table/relays.h"

#include <exception>

namespace {
// Runs a handler; an engine error is shown, anything else is dropped, so that nothing escapes
// into the platform's event loop or back into the engine that raised the event.
template <typename F>
void Guarded(CZAT_PSF1& table, F&& handler, void (CZAT_PSF1::*show)(const CString&)) {
  try {
    handler();
  } catch (const engine::EngineError& e) {
    try {
      (table.*show)(e.Description());
    } catch (...) {
    }
  } catch (...) {
  }
}
}  // namespace

#define DT_GUARD(body) Guarded(table_, [&] { body; }, &CZAT_PSF1::ShowErrMessage)

bool CZAT_PSF1::Internals::FrameRelay::PreCreateWindow(platform::CreateStruct& cs) {
  return table_.PreCreateWindow(cs);
}

int CZAT_PSF1::Internals::FrameRelay::OnCreate(platform::CreateStruct& cs) {
  int result = -1;
  DT_GUARD(result = table_.OnCreate(cs));
  return result;
}

void CZAT_PSF1::Internals::FrameRelay::OnSize(unsigned type, int cx, int cy) {
  DT_GUARD(table_.OnSize(type, cx, cy));
}

// The table may be deleted inside: nothing of this relay is touched afterwards.
void CZAT_PSF1::Internals::FrameRelay::OnClose() { DT_GUARD(table_.OnClose()); }

void CZAT_PSF1::Internals::FrameRelay::OnDestroy() { DT_GUARD(table_.OnDestroy()); }

void CZAT_PSF1::Internals::FrameRelay::OnTimer(unsigned id) { DT_GUARD(table_.OnTimer(id)); }

void CZAT_PSF1::Internals::FrameRelay::OnContextMenu(CWnd* wnd, const platform::Point& point) {
  DT_GUARD(table_.OnContextMenu(wnd, point));
}

bool CZAT_PSF1::Internals::FrameRelay::OnCommand(unsigned id) {
  bool handled = false;
  DT_GUARD(handled = table_.OnCommand(id));
  return handled;
}

bool CZAT_PSF1::Internals::FrameRelay::OnUpdateCommand(platform::CommandState& state) {
  bool handled = false;
  DT_GUARD(handled = table_.OnUpdateCommand(state));
  return handled;
}

// Engine events run inside an engine call: an error is dropped rather than shown, and a
// refused edit is the safe answer when the start-of-edit check itself fails.
void CZAT_PSF1::Internals::ControlEventRelay::OnClick(int row, int col) {
  try {
    table_.OnClickVcf1(row, col);
  } catch (...) {
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnDblClick(int row, int col) {
  try {
    table_.OnDblClickVcf1(row, col);
  } catch (...) {
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnRClick(int row, int col) {
  try {
    table_.OnRClickVcf1(row, col);
  } catch (...) {
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnRDblClick(int row, int col) {
  try {
    table_.OnRDblClickVcf1(row, col);
  } catch (...) {
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnKeyDown(short& key, short shift) {
  try {
    table_.OnKeyDownVcf1(key, shift);
  } catch (...) {
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnStartEdit(std::string& text, short& cancel) {
  try {
    table_.OnStartEditVcf1(text, cancel);
  } catch (...) {
    cancel = 1;
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnEndEdit(std::string& text, short& cancel) {
  try {
    table_.OnEndEditVcf1(text, cancel);
  } catch (...) {
  }
}

void CZAT_PSF1::Internals::ControlEventRelay::OnModified() {
  try {
    table_.OnModifiedVcf1();
  } catch (...) {
  }
}
