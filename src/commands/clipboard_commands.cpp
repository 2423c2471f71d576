// Clipboard: copy, cut, paste, paste values and whole-sheet transfer.
// Not built yet: each answers with its failure result and changes nothing.

#include "table/czat_psf1.h"

int CZAT_PSF1::EditCopy() { return 0; }
int CZAT_PSF1::TestDlgEditPaste() { return 0; }
void CZAT_PSF1::EditPaste(int) {}
int CZAT_PSF1::CopyAllContent(long) { return -1; }
int CZAT_PSF1::PasteFromMouse(CString) { return 0; }
void CZAT_PSF1::OnEditCut() {}
void CZAT_PSF1::OnEditCopy() {}
void CZAT_PSF1::OnEditPaste() {}
void CZAT_PSF1::OnEditPastevalues() {}
void CZAT_PSF1::OnUpdateEditCut(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditCopy(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditPaste(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditPastevalues(platform::CommandState& state) { state.Enable(false); }
