// The notification sink's defaults: every question is answered with "go on", every report is
// ignored.

#include "datatable/notify.h"

CZATNotify::~CZATNotify() = default;

CZATNotify::ZAT_NTFY_RC CZATNotify::OnDeleteArg(CStringList&) { return ZAT_NTFY_OK; }
CZATNotify::ZAT_NTFY_RC CZATNotify::OnRenameArg(CString, CString) { return ZAT_NTFY_OK; }
CZATNotify::ZAT_NTFY_RC CZATNotify::OnOpenFile(CString) { return ZAT_NTFY_OK; }
void CZATNotify::OnOpenFileDone(CString) {}
CZATNotify::ZAT_NTFY_RC CZATNotify::OnSaveAsFile(CString, CString) { return ZAT_NTFY_OK; }
void CZATNotify::OnSaveAsFileDone(CString) {}
void CZATNotify::OnFileNameChanged(CString) {}
CZATNotify::ZAT_NTFY_RC CZATNotify::OnClose() { return ZAT_NTFY_OK; }
void CZATNotify::OnCloseDone() {}
void CZATNotify::OnViewOpen() {}
void CZATNotify::OnViewClose() {}
void CZATNotify::OnSave() {}
void CZATNotify::OnModified() {}
CZATNotify::ZAT_NTFY_RC CZATNotify::OnDeleteSheets(long, long) { return ZAT_NTFY_OK; }
