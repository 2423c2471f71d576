// Format menu commands: number formats for the selected cells, the engine's number-format and
// validation-rule dialogs, and the one state handler of the whole menu.

#include <algorithm>

#include "commands/cell_selection.h"
#include "table/czat_psf1.h"
#include "table/modal_scope.h"

namespace {
constexpr unsigned kFormatDate = 34316;
constexpr unsigned kDateItemText = 3022;  // "&Date: %1 "

// Widens the formatted columns to fit.
void ResizeSelected(CZAT_PSF1& table, engine::Control& ctl) {
  const commands::SelectionInfo sel = commands::ReadSelection(ctl);
  if (sel.count >= 1) table.AutoResize(sel.c1, sel.c2);
}
}  // namespace

void CZAT_PSF1::OnFormatGeneral() {
  Ctl().FormatGeneral();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatCurrency0() {
  Ctl().FormatCurrency0();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatCurrency2() {
  Ctl().FormatCurrency2();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatFixed() {
  Ctl().FormatFixed();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatPercent() {
  Ctl().FormatPercent();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatFraction() {
  Ctl().FormatFraction();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatScientific() {
  Ctl().FormatScientific();
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatMdyyd() {
  Ctl().SetNumberFormat(m_ShortDateFormat);
  ResizeSelected(*this, Ctl());
}
void CZAT_PSF1::OnFormatHmmampmt() {
  Ctl().FormatTime();
  ResizeSelected(*this, Ctl());
}

void CZAT_PSF1::OnFormatCustomnumber() {
  {
    table::ModalScope modal(m_NoModalUp);
    Ctl().ShowNumberFormatDialog();
  }
  ResizeSelected(*this, Ctl());
}

void CZAT_PSF1::OnFormatValidationrule() {
  table::ModalScope modal(m_NoModalUp);
  Ctl().ShowValidationRuleDialog();
}

void CZAT_PSF1::OnUpdateFormat(platform::CommandState& state) {
  engine::Control& ctl = Ctl();
  const commands::SelectionInfo sel = commands::ReadSelection(ctl);
  if (state.opensSubmenu) {
    state.Enable(!m_ReadOnly && sel.count == 1);
    return;
  }
  if (state.id == kFormatDate) {
    std::string text;
    m_Internals->platform->Strings().Load(kDateItemText, text);
    const auto at = text.find("%1");
    if (at != std::string::npos) text.replace(at, 2, m_ShortDateFormat);
    state.SetText(text);
  }
  if (m_ReadOnly || sel.count != 1) {
    state.Enable(false);
    return;
  }
  const long lastParam = GetLastCol();
  const int lastRow = ctl.GetLastRow();
  if (sel.c1 > lastParam || sel.r1 > lastRow) {
    state.Enable(false);
    return;
  }
  // The format commands only ever reach the parameters' columns and the used rows.
  if (sel.c2 > lastParam || sel.r2 > lastRow)
    ctl.SetSelection(sel.r1, sel.c1, std::min(sel.r2, lastRow),
                     static_cast<int>(std::min(static_cast<long>(sel.c2), lastParam)));
  state.Enable(true);
}
