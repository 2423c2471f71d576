#pragma once
// CZATNotify: the host's notification sink. The host derives from it, overrides the callbacks
// it cares about and registers one instance with CZAT_PSF1::RegisterNotify. The six asking
// callbacks may veto the operation by returning ZAT_NTFY_CANCEL (exactly 1); every other
// value lets it go on. Callbacks run synchronously inside the operation that causes them.
// The host owns the sink and unregisters it before deleting it.

#include "datatable/export.h"
#include "datatable/strings.h"

class CZAT;

class DATATABLE_API CZATNotify {
 public:
  // A fixed underlying type: a sink may answer any int; only exactly 1 vetoes.
  enum ZAT_NTFY_RC : int { ZAT_NTFY_OK = 0, ZAT_NTFY_CANCEL = 1 };

  CZATNotify() = default;
  virtual ~CZATNotify();
  CZATNotify(const CZATNotify&) = delete;
  CZATNotify& operator=(const CZATNotify&) = delete;

  // Callbacks, in slot order.
  virtual ZAT_NTFY_RC OnDeleteArg(CStringList& names);
  virtual ZAT_NTFY_RC OnRenameArg(CString oldName, CString newName);
  virtual ZAT_NTFY_RC OnOpenFile(CString fileName);
  virtual void OnOpenFileDone(CString fileName);
  virtual ZAT_NTFY_RC OnSaveAsFile(CString currentName, CString newName);
  virtual void OnSaveAsFileDone(CString fileName);
  virtual void OnFileNameChanged(CString fileName);
  virtual ZAT_NTFY_RC OnClose();
  virtual void OnCloseDone();
  virtual void OnViewOpen();
  virtual void OnViewClose();
  virtual void OnSave();
  virtual void OnModified();
  virtual ZAT_NTFY_RC OnDeleteSheets(long firstSheet, long lastSheet);

 protected:
  friend class CZAT_PSF1;
  // The table this sink is registered with; null when it is not registered. After the table
  // is destroyed it keeps the old value (OnCloseDone is the last call it receives).
  CZAT* m_pTable = nullptr;
};
