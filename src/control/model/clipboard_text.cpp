#include "control/model/clipboard_text.h"

namespace engine::clipboard_text {

std::string Join(const std::vector<std::vector<std::string>>& rows) {
  std::string out;
  for (const auto& row : rows) {
    for (std::size_t c = 0; c < row.size(); ++c) {
      if (c) out += '\t';
      const std::string& f = row[c];
      if (f.find_first_of("\t\"\r\n") == std::string::npos) {
        out += f;
        continue;
      }
      out += '"';
      for (char ch : f) {
        if (ch == '"') out += '"';
        out += ch;
      }
      out += '"';
    }
    out += "\r\n";
  }
  return out;
}

std::vector<std::vector<std::string>> Split(std::string_view text) {
  std::vector<std::vector<std::string>> rows;
  std::vector<std::string> row;
  std::string field;
  std::size_t i = 0;
  bool any = false;
  while (i < text.size()) {
    char ch = text[i];
    any = true;
    if (ch == '"' && field.empty()) {
      // A quoted field runs to the next lone quote.
      ++i;
      while (i < text.size()) {
        if (text[i] == '"') {
          if (i + 1 < text.size() && text[i + 1] == '"') {
            field += '"';
            i += 2;
            continue;
          }
          ++i;
          break;
        }
        field += text[i++];
      }
      continue;
    }
    if (ch == '\t') {
      row.push_back(std::move(field));
      field.clear();
    } else if (ch == '\r' || ch == '\n') {
      if (ch == '\r' && i + 1 < text.size() && text[i + 1] == '\n') ++i;
      row.push_back(std::move(field));
      field.clear();
      rows.push_back(std::move(row));
      row.clear();
      any = false;
    } else {
      field += ch;
    }
    ++i;
  }
  if (any) {
    row.push_back(std::move(field));
    rows.push_back(std::move(row));
  }
  return rows;
}

}  // namespace engine::clipboard_text
