// Cell commands on the selection: Clear, Insert and Delete of whole rows or columns, with the
// repairs that keep the parameter names as the column headings and row 1 as the first values.
// Engine errors end a command where they happened; their text is shown to the user.

#include <algorithm>

#include "commands/cell_selection.h"
#include "platform/message_boxes.h"
#include "table/czat_psf1.h"

namespace {
constexpr unsigned kAskDeleteParameter = 3008;  // "Parameter is about to be deleted …"
}  // namespace

void CZAT_PSF1::OnEditClearAll() { OnEditClear(engine::kClearAll); }
void CZAT_PSF1::OnEditClearFormats() { OnEditClear(engine::kClearFormats); }
void CZAT_PSF1::OnEditClearContents() { OnEditClear(engine::kClearValues); }

void CZAT_PSF1::OnEditClear(int kind) {
  try {
    engine::Control& ctl = Ctl();
    const commands::SelectionInfo sel = commands::ReadSelection(ctl);
    if (sel.count < 1) return;
    const long lastParam = GetLastCol();
    long c2 = sel.c2;
    long rowFrom = 0, rowTo = -1;  // the columns whose row 1 is blanked again
    if (kind == engine::kClearFormats) {
      c2 = std::min(c2, lastParam);
    } else if (sel.r1 == 1) {
      c2 = std::min(c2, lastParam);
      rowFrom = sel.c1;
      rowTo = c2;
    }
    ctl.ClearSelection(kind);
    NoFirstRowPatch(rowFrom, rowTo);
    AutoResize(sel.c1, c2);
  } catch (const engine::EngineError& e) {
    ShowErrMessage(e.Description());
  }
}

void CZAT_PSF1::OnEditInsert() {
  try {
    engine::Control& ctl = Ctl();
    const commands::SelectionInfo sel = commands::ReadSelection(ctl);
    if (sel.count != 1) return;
    if (sel.WholeRows(ctl) == sel.WholeColumns(ctl)) return;  // disabled: a plain range or all
    int shift = 0;
    long from = 0, to = -1;
    if (sel.WholeRows(ctl)) {
      shift = engine::kShiftVertical;
      if (sel.r1 == 1) {
        from = 1;
        to = GetLastCol();
      }
    } else {
      shift = engine::kShiftHorizontal;
      from = sel.c1;
      to = std::min(static_cast<long>(sel.c2), GetLastCol());
    }
    ctl.InsertAtSelection(shift);
    NoFirstRowPatch(from, to);
    NoColNamePatch(from, to);
  } catch (const engine::EngineError& e) {
    ShowErrMessage(e.Description());
  }
}

void CZAT_PSF1::OnEditDelete() {
  try {
    engine::Control& ctl = Ctl();
    const commands::SelectionInfo sel = commands::ReadSelection(ctl);
    if (sel.count != 1) return;
    int shift = 0;
    long from = 0, to = -1;
    const long lastParam = GetLastCol();
    if (sel.WholeColumns(ctl) && !sel.WholeRows(ctl)) {
      shift = engine::kShiftHorizontal;
      if (lastParam >= sel.c1) {
        if (m_pNotify != nullptr) {
          CStringList names;
          for (int c = sel.c1; c <= sel.c2; ++c) names.push_back(ctl.GetColumnHeadingText(c));
          if (m_pNotify->OnDeleteArg(names) == CZATNotify::ZAT_NTFY_CANCEL) return;
        }
        if (MessageBoxA(kAskDeleteParameter, platform::MB_YESNO | platform::MB_ICONQUESTION) !=
            platform::IDYES)
          return;
      }
    } else if (sel.WholeRows(ctl) && !sel.WholeColumns(ctl)) {
      shift = engine::kShiftVertical;
      if (sel.r1 == 1 && sel.r2 == ctl.GetLastRow()) {
        from = 1;
        to = std::min(lastParam, static_cast<long>(sel.c2));
      }
    } else {
      return;  // the command is disabled for anything else
    }
    ctl.DeleteAtSelection(shift);
    NoFirstRowPatch(from, to);
  } catch (const engine::EngineError& e) {
    ShowErrMessage(e.Description());
  }
}

void CZAT_PSF1::OnUpdateEditClear(platform::CommandState& state) {
  // The same rule serves the submenu entry and its three items.
  state.Enable(!m_ReadOnly && commands::ReadSelection(Ctl()).count == 1);
}

void CZAT_PSF1::OnUpdateEditInsert(platform::CommandState& state) {
  engine::Control& ctl = Ctl();
  const commands::SelectionInfo sel = commands::ReadSelection(ctl);
  state.Enable(!m_ReadOnly && sel.count == 1 && (sel.WholeRows(ctl) != sel.WholeColumns(ctl)));
}

void CZAT_PSF1::OnUpdateEditDelete(platform::CommandState& state) { OnUpdateEditInsert(state); }
