// File menu commands, the open dialog and printing.
// Not built yet: each answers with its failure result and changes nothing.

#include "table/czat_psf1.h"

int CZAT_PSF1::OpenDlg(bool, bool) { return -1; }
bool CZAT_PSF1::Print(int) { return false; }

void CZAT_PSF1::OnFileNew() {}
void CZAT_PSF1::OnFileOpen() {}
void CZAT_PSF1::OnFileSave() {}
void CZAT_PSF1::OnFileSaveAs() {}
void CZAT_PSF1::OnFileImport() {}
void CZAT_PSF1::OnFileExport() {}
void CZAT_PSF1::OnFileClose() {}
void CZAT_PSF1::OnFilePrint() {}
void CZAT_PSF1::OnFilePrintpreview() {}
void CZAT_PSF1::OnFilePrintsetup() {}
void CZAT_PSF1::OnUpdateFileNew(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateFileOpen(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateFileImport(platform::CommandState& state) { state.Enable(false); }
