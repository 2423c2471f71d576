// Operations whose work comes with later changes (reading files and blobs, saving, text-file
// update, file dialogs and commands, clipboard, cell and format commands, AutoFill lists). Until then each answers with its failure result and changes nothing.
// Whoever implements one removes it from here.

#include "table/czat_psf1.h"

// --- Files -----------------------------------------------------------------------------------
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

// --- Clipboard -------------------------------------------------------------------------------
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

// --- Cell commands and context menu ----------------------------------------------------------
void CZAT_PSF1::OnEditClearAll() {}
void CZAT_PSF1::OnEditClearFormats() {}
void CZAT_PSF1::OnEditClearContents() {}
void CZAT_PSF1::OnEditClear(int) {}
void CZAT_PSF1::OnEditInsert() {}
void CZAT_PSF1::OnEditDelete() {}
void CZAT_PSF1::OnEditCopyright() {}
void CZAT_PSF1::OnEditCopydown() {}
void CZAT_PSF1::OnEditFind() {}
void CZAT_PSF1::OnEditReplace() {}
void CZAT_PSF1::OnEditGoto() {}
void CZAT_PSF1::OnDataRecalc() {}
void CZAT_PSF1::OnDataSort() {}
void CZAT_PSF1::OnUpdateEditClear(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditInsert(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditDelete(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditCopyright(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditCopydown(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditFind(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateEditReplace(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnUpdateDataSort(platform::CommandState& state) { state.Enable(false); }
void CZAT_PSF1::OnContextMenu(CWnd*, const platform::Point&) {}

// --- Format commands -------------------------------------------------------------------------
void CZAT_PSF1::OnFormatGeneral() {}
void CZAT_PSF1::OnFormatCurrency0() {}
void CZAT_PSF1::OnFormatCurrency2() {}
void CZAT_PSF1::OnFormatFixed() {}
void CZAT_PSF1::OnFormatPercent() {}
void CZAT_PSF1::OnFormatFraction() {}
void CZAT_PSF1::OnFormatScientific() {}
void CZAT_PSF1::OnFormatMdyyd() {}
void CZAT_PSF1::OnFormatHmmampmt() {}
void CZAT_PSF1::OnFormatCustomnumber() {}
void CZAT_PSF1::OnFormatValidationrule() {}
void CZAT_PSF1::OnUpdateFormat(platform::CommandState& state) { state.Enable(false); }

// --- AutoFill lists --------------------------------------------------------------------------
void CZAT_PSF1::OnDataAutofilllist() {}
