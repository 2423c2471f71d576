// Cell commands: clear, insert, delete, fill, find, replace, go to, recalc, sort, context menu.
// Not built yet: each answers with its failure result and changes nothing.

#include "table/czat_psf1.h"

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
