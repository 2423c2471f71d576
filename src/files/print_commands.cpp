// Printing, print preview and print setup. The engine draws; the table adds the names row to a
// printout from the menu and turns the engine's failures into messages.

#include <exception>

#include "table/czat_psf1.h"
#include "table/modal_scope.h"

bool CZAT_PSF1::Print(int flag) {
  table::ModalScope modal(m_NoModalUp);
  try {
    Ctl().SetDocumentName(m_FileName);
    Ctl().PrintTable(flag != 0);
  } catch (...) {
    return false;
  }
  return true;
}

void CZAT_PSF1::OnFilePrint() {
  // The names go into row 1 for the printout; printing is no change of the table.
  const int dirty = m_DirtyBit;
  table::ModalScope modal(m_NoModalUp);
  bool withHeader = false;
  try {
    AddHeaderToZAT();
    withHeader = true;
    Ctl().SetDocumentName(m_FileName);
    Ctl().PrintTable(true);
  } catch (const engine::EngineError& error) {
    if (withHeader) DelHeaderFromZAT(0);
    m_DirtyBit = dirty;
    // A cancelled print dialog is no failure to report.
    if (error.Code() != engine::kErrCanceled) ShowErrMessage(error.Description());
    return;
  } catch (const std::exception&) {
    if (withHeader) DelHeaderFromZAT(0);
    m_DirtyBit = dirty;
    return;
  }
  DelHeaderFromZAT(0);
  m_DirtyBit = dirty;
}

void CZAT_PSF1::OnFilePrintpreview() {
  table::ModalScope modal(m_NoModalUp);
  try {
    Ctl().SetDocumentName(m_FileName);
    Ctl().ShowPrintPreview();
  } catch (const engine::EngineError& error) {
    ShowErrMessage(error.Description());
  } catch (const std::exception&) {
  }
}

void CZAT_PSF1::OnFilePrintsetup() {
  table::ModalScope modal(m_NoModalUp);
  try {
    Ctl().ShowPrintSetupDialog();
  } catch (const engine::EngineError& error) {
    ShowErrMessage(error.Description());
  } catch (const std::exception&) {
  }
}
