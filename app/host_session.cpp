#include "host_session.h"

#include "file_kind.h"

#include <sys/stat.h>

#include "datatable/module.h"

namespace dtapp {

namespace {

// The button a person would most likely press: OK, or Yes where the box asks.
int DefaultButton(unsigned type) {
  switch (type & 0xF) {
    case 3:  // Yes/No/Cancel
    case 4:  // Yes/No
      return 6;
    default:
      return 1;
  }
}

// What the tables of every live session showed, in order; the handler is installed while
// at least one session lives.
std::vector<std::string>& Shown() {
  static std::vector<std::string> shown;
  return shown;
}
int g_liveSessions = 0;

}  // namespace

std::string BaseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

HostSession::HostSession() {
  if (g_liveSessions++ == 0) {
    datatable::SetHeadlessMessageBoxHandler([](const std::string& text, unsigned type) {
      Shown().push_back(text);
      return DefaultButton(type);
    });
  }
  try {
    table_ = new CZAT_PSF1(nullptr, CString(), CZAT::FILE_TYPE_NONE, nullptr, false, false, true);
  } catch (...) {
    if (--g_liveSessions == 0) datatable::SetHeadlessMessageBoxHandler({});
    throw;
  }
  Shown().clear();
}

HostSession::~HostSession() {
  if (table_ != nullptr && !table_->Destroy()) delete table_;
  if (--g_liveSessions == 0) {
    datatable::SetHeadlessMessageBoxHandler({});
    Shown().clear();
  }
}

std::vector<std::string> HostSession::TakeMessages() {
  std::vector<std::string> taken;
  taken.swap(messages_);
  for (std::string& text : Shown()) taken.push_back(std::move(text));
  Shown().clear();
  return taken;
}

void HostSession::Fail(const std::string& fallback) {
  const std::vector<std::string> shown = TakeMessages();
  error_.clear();
  for (const std::string& text : shown) {
    if (!error_.empty()) error_ += " ";
    error_ += text;
  }
  if (error_.empty()) error_ = fallback;
  // One line, whatever the message held.
  for (char& c : error_)
    if (c == '\n' || c == '\r' || c == '\t') c = ' ';
}

bool HostSession::Open(const std::string& file, CZAT::FILE_TYPE type) {
  errorCode_ = -1;
  TakeMessages();
  struct stat st {};
  if (::stat(file.c_str(), &st) != 0) {
    Fail(file + ": no such file");
    return false;
  }
  if (!S_ISREG(st.st_mode)) {
    Fail(file + ": not a regular file");
    return false;
  }
  // A name without a known extension is read as a workbook; the reader judges the content.
  if (type == CZAT::FILE_TYPE_NONE) type = TypeFromExtension(file);
  if (type == CZAT::FILE_TYPE_NONE) type = CZAT::FILE_TYPE_EXCEL97;
  int result = -1;
  try {
    result = table_->Open(file, type, nullptr, 0);
  } catch (const std::exception& e) {
    messages_.push_back(e.what());
  }
  if (result != 0) {
    errorCode_ = result;
    Fail(file + ": the table cannot be opened");
    return false;
  }
  errorCode_ = 0;
  TakeMessages();
  return true;
}

}  // namespace dtapp
