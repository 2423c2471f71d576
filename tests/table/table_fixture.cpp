#include "table_fixture.h"

#include <algorithm>

namespace {
CZATNotify::ZAT_NTFY_RC Record(RecordingSink& sink, std::string call) {
  sink.calls.push_back(std::move(call));
  return sink.answer;
}
}  // namespace

CZATNotify::ZAT_NTFY_RC RecordingSink::OnDeleteArg(CStringList& names) {
  std::string joined;
  for (const auto& n : names) joined += (joined.empty() ? "" : ",") + n;
  return Record(*this, "OnDeleteArg(" + joined + ")");
}
CZATNotify::ZAT_NTFY_RC RecordingSink::OnRenameArg(CString oldName, CString newName) {
  return Record(*this, "OnRenameArg(" + oldName + "," + newName + ")");
}
CZATNotify::ZAT_NTFY_RC RecordingSink::OnOpenFile(CString fileName) {
  return Record(*this, "OnOpenFile(" + fileName + ")");
}
void RecordingSink::OnOpenFileDone(CString fileName) {
  calls.push_back("OnOpenFileDone(" + fileName + ")");
}
CZATNotify::ZAT_NTFY_RC RecordingSink::OnSaveAsFile(CString currentName, CString newName) {
  return Record(*this, "OnSaveAsFile(" + currentName + "," + newName + ")");
}
void RecordingSink::OnSaveAsFileDone(CString fileName) {
  calls.push_back("OnSaveAsFileDone(" + fileName + ")");
}
void RecordingSink::OnFileNameChanged(CString fileName) {
  calls.push_back("OnFileNameChanged(" + fileName + ")");
}
CZATNotify::ZAT_NTFY_RC RecordingSink::OnClose() { return Record(*this, "OnClose()"); }
void RecordingSink::OnCloseDone() { calls.push_back("OnCloseDone()"); }
void RecordingSink::OnViewOpen() { calls.push_back("OnViewOpen()"); }
void RecordingSink::OnViewClose() { calls.push_back("OnViewClose()"); }
void RecordingSink::OnSave() { calls.push_back("OnSave()"); }
void RecordingSink::OnModified() { ++modified; }
CZATNotify::ZAT_NTFY_RC RecordingSink::OnDeleteSheets(long firstSheet, long lastSheet) {
  return Record(*this, "OnDeleteSheets(" + std::to_string(firstSheet) + "," +
                           std::to_string(lastSheet) + ")");
}

int RecordingSink::Count(const std::string& call) const {
  return static_cast<int>(std::count(calls.begin(), calls.end(), call));
}

void TableTest::ConfigurePlatform(platform::HeadlessPlatform& platform) {
  engine::LocaleSettings locale = engine::LocaleSettings::EnUs();
  locale.shortDateFormat = "M/d/yy";
  platform.LocaleSettings().Set(locale);
}

TablePtr TableTest::MakeTable(bool child, CWnd* parent, bool fileCommands, bool printPreview,
                              const CZATArgList* header) {
  return TablePtr(new ProbeTable(parent, CString(), CZAT::FILE_TYPE_NONE, header, child,
                                 fileCommands, printPreview));
}

void TableTest::FillSheet(int params, int rows) {
  for (int c = 1; c <= params; ++c) {
    CString name = "P" + std::to_string(c);
    ASSERT_EQ(T().AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 1), 0);
    for (int r = 1; r <= rows; ++r)
      ASSERT_EQ(T().AddArgValue(r, name, std::to_string(r) + ":" + std::to_string(c), 0, nullptr),
                0);
  }
}

bool TableTest::TypeInto(int row, int col, const std::string& text) {
  E().SetActiveCell(row, col);
  if (!E().BeginCellEdit()) return false;
  E().SetEditText(text);
  return E().EndCellEdit();
}
