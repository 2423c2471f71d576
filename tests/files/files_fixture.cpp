#include "files_fixture.h"

#include <stdlib.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <sstream>

CZATNotify::ZAT_NTFY_RC RecordingSink::OnOpenFile(CString name) {
  calls.push_back("OpenFile(" + name + ")");
  return static_cast<ZAT_NTFY_RC>(openAnswer);
}

CZATNotify::ZAT_NTFY_RC RecordingSink::OnSaveAsFile(CString current, CString next) {
  calls.push_back("SaveAsFile(" + current + "," + next + ")");
  return static_cast<ZAT_NTFY_RC>(saveAsAnswer);
}

void FilesTest::SetUp() {
  char pattern[] = "/tmp/dt-files-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  dir_ = pattern;
  HeadlessTableTest::SetUp();
}

void FilesTest::TearDown() {
  if (table_ && T().UnRegisterNotify(0) == 0) sink_.calls.clear();
  HeadlessTableTest::TearDown();
  std::error_code ignored;
  std::filesystem::remove_all(dir_, ignored);
}

std::vector<std::string> FilesTest::Shown() const {
  std::vector<std::string> texts;
  for (const platform::ShownMessage& m : platform_->MessageBoxScript().Shown())
    texts.push_back(m.text);
  return texts;
}

void FilesTest::WriteFile(const std::string& name, const std::string& bytes) const {
  std::ofstream out(Path(name), std::ios::binary);
  out << bytes;
}

std::string FilesTest::ReadFile(const std::string& path) const {
  std::ifstream in(path, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  std::string bytes = s.str();
  if (path.size() > 4 && path.compare(path.size() - 4, 4, ".txt") == 0)
    bytes.erase(std::remove(bytes.begin(), bytes.end(), '\r'), bytes.end());
  return bytes;
}

void FilesTest::Fill(const std::vector<std::string>& names,
                     const std::vector<std::vector<std::string>>& rows) {
  for (std::size_t c = 0; c < names.size(); ++c) {
    CString name = names[c];
    ASSERT_EQ(T().AppendArg(name, CZAT::null_cstring_ref, 0, nullptr, 0), 0) << names[c];
  }
  for (std::size_t r = 0; r < rows.size(); ++r)
    for (std::size_t c = 0; c < rows[r].size(); ++c)
      E().SetCellText(static_cast<int>(r + 1), static_cast<int>(c + 1), rows[r][c]);
}

std::vector<std::string> FilesTest::Column(const std::string& name) {
  long rows = 0;
  EXPECT_EQ(T().GetMaxRows(rows, 0), 0);
  std::vector<std::string> values;
  for (long r = 1; r <= rows; ++r) {
    CString v;
    if (T().GetArgValue(r, name, v, 0) != 0) v = "<none>";
    values.push_back(v);
  }
  return values;
}
