#pragma once
// A headless table with the protected file operations opened up, a sink that records every
// notification in order, and a scratch folder for the files a test writes.

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "support/headless_table.h"

class FileTable : public HeadlessTable {
 public:
  using CZAT_PSF1::GetDlgPathName;
  using CZAT_PSF1::GetFileType;
  using CZAT_PSF1::GetSaveAsDlgType;
  using CZAT_PSF1::OnClose;
  using CZAT_PSF1::OnCommand;
  using CZAT_PSF1::OnEditCopy;
  using CZAT_PSF1::OnEditCut;
  using CZAT_PSF1::OnEditPaste;
  using CZAT_PSF1::OnEditPastevalues;
  using CZAT_PSF1::OnFileExport;
  using CZAT_PSF1::OnFileImport;
  using CZAT_PSF1::OnFileNew;
  using CZAT_PSF1::OnFileOpen;
  using CZAT_PSF1::OnFilePrint;
  using CZAT_PSF1::OnFilePrintpreview;
  using CZAT_PSF1::OnFilePrintsetup;
  using CZAT_PSF1::OnFileSave;
  using CZAT_PSF1::OnFileSaveAs;
  using CZAT_PSF1::OnUpdateCommand;
  using CZAT_PSF1::OpenDlg;
  using CZAT_PSF1::OpenFile;
  using CZAT_PSF1::ReCreate;
  using CZAT_PSF1::ReplaceMsgIfSharing;
  using CZAT_PSF1::YesNoSaveMessage;
  using HeadlessTable::HeadlessTable;

  short FileType() const { return m_FileType; }
  void SetFileType(short type) { m_FileType = type; }
  void MarkDirty() { m_DirtyBit = 1; }
};

// Every callback as one line, e.g. "FileNameChanged(a.xls)".
class RecordingSink : public CZATNotify {
 public:
  std::vector<std::string> calls;
  int openAnswer = ZAT_NTFY_OK;
  int saveAsAnswer = ZAT_NTFY_OK;

  ZAT_NTFY_RC OnOpenFile(CString name) override;
  void OnOpenFileDone(CString name) override { calls.push_back("OpenFileDone(" + name + ")"); }
  ZAT_NTFY_RC OnSaveAsFile(CString current, CString next) override;
  void OnSaveAsFileDone(CString name) override { calls.push_back("SaveAsFileDone(" + name + ")"); }
  void OnFileNameChanged(CString name) override {
    calls.push_back("FileNameChanged(" + name + ")");
  }
  ZAT_NTFY_RC OnClose() override {
    calls.push_back("Close");
    return ZAT_NTFY_OK;
  }
  void OnCloseDone() override { calls.push_back("CloseDone"); }
  void OnViewClose() override { calls.push_back("ViewClose"); }
  void OnSave() override { calls.push_back("Save"); }
};

class FilesTest : public HeadlessTableTest<FileTable> {
 protected:
  void SetUp() override;
  void TearDown() override;

  platform::HeadlessFileDialogs& Dialogs() { return platform_->FileDialogScript(); }
  // Texts of the message boxes shown so far.
  std::vector<std::string> Shown() const;

  // A path in this test's scratch folder.
  std::string Path(const std::string& name) const { return dir_ + "/" + name; }
  void WriteFile(const std::string& name, const std::string& bytes) const;
  // The file's bytes, line ends as "\n" (the text writer ends lines with "\r\n").
  std::string ReadFile(const std::string& path) const;
  // Gives the active sheet parameters with values: names[c] over column c's values.
  void Fill(const std::vector<std::string>& names,
            const std::vector<std::vector<std::string>>& rows);
  // The displayed values of a parameter in rows 1 … GetMaxRows of the active sheet.
  std::vector<std::string> Column(const std::string& name);
  void Register() { ASSERT_EQ(T().RegisterNotify(&sink_), 1); }

  RecordingSink sink_;
  std::string dir_;
};
