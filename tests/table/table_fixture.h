#pragma once
// A headless table with its window, view and event handlers opened up, on a fresh headless
// platform per test.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "platform/headless/headless_frame.h"
#include "support/headless_table.h"

class ProbeTable : public HeadlessTable {
 public:
  using CZAT_PSF1::GetRequestedSheet;
  using CZAT_PSF1::GetRequestedSheets;
  using CZAT_PSF1::InitView;
  using CZAT_PSF1::MessageBoxA;
  using CZAT_PSF1::OnClose;
  using CZAT_PSF1::OnDblClickVcf1;
  using CZAT_PSF1::OnModifiedVcf1;
  using CZAT_PSF1::OnTimer;
  using CZAT_PSF1::ReCreate;
  using CZAT_PSF1::ShowErrMessage;
  using HeadlessTable::HeadlessTable;

  void SetNoModalUp(bool on) { m_NoModalUp = on; }
  const CString& ShortDateFormat() const { return m_ShortDateFormat; }
  bool ShowTabs() const { return m_ShowTabs; }
  short FileType() const { return m_FileType; }
  CZATNotify* Sink() const { return m_pNotify; }
  const std::vector<unsigned>& HeaderColCounts() const { return m_HeaderColCounts; }
  void SetDirty(int bit) { m_DirtyBit = bit; }
  // The table's window, as the interface hands it to a host.
  platform::HeadlessFrame* Frame() const {
    CWnd* wnd = nullptr;
    const_cast<ProbeTable*>(this)->GetAccelTableParams(&wnd, nullptr);
    return static_cast<platform::HeadlessFrame*>(wnd);
  }
};

using TablePtr = TablePtrOf<ProbeTable>;

// A sink that records every callback (as "Name(args)") and answers the questions as told.
class RecordingSink : public CZATNotify {
 public:
  ZAT_NTFY_RC answer = ZAT_NTFY_OK;  // for every asking callback
  // Every callback but OnModified, which the engine raises for many method calls and which
  // is only counted.
  std::vector<std::string> calls;
  int modified = 0;
  CZAT* Table() const { return m_pTable; }

  ZAT_NTFY_RC OnDeleteArg(CStringList& names) override;
  ZAT_NTFY_RC OnRenameArg(CString oldName, CString newName) override;
  ZAT_NTFY_RC OnOpenFile(CString fileName) override;
  void OnOpenFileDone(CString fileName) override;
  ZAT_NTFY_RC OnSaveAsFile(CString currentName, CString newName) override;
  void OnSaveAsFileDone(CString fileName) override;
  void OnFileNameChanged(CString fileName) override;
  ZAT_NTFY_RC OnClose() override;
  void OnCloseDone() override;
  void OnViewOpen() override;
  void OnViewClose() override;
  void OnSave() override;
  void OnModified() override;
  ZAT_NTFY_RC OnDeleteSheets(long firstSheet, long lastSheet) override;

  int Count(const std::string& call) const;
};

class TableTest : public HeadlessTableTest<ProbeTable> {
 protected:
  // The short date the tests expect.
  void ConfigurePlatform(platform::HeadlessPlatform& platform) override;

  // A table as a host makes one: no parent, no file, frame mode with all file commands.
  TablePtr MakeTable(bool child = false, CWnd* parent = nullptr, bool fileCommands = true,
                     bool printPreview = true, const CZATArgList* header = nullptr);

  platform::HeadlessFrame& F() { return *table_->Frame(); }
  platform::HeadlessProfile& Profile() { return platform_->ProfileStore(); }

  // Parameters P1 … Pn with values "r:c" in rows 1 … rows, made on the engine directly.
  void FillSheet(int params, int rows);
  // Ends an in-cell edit of (row, col) with text, as a person typing would.
  bool TypeInto(int row, int col, const std::string& text);

  RecordingSink sink_;  // the base's TearDown ends the table first
};
