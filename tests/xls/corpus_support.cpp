#include "corpus_support.h"

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "control/io/code_page.h"

namespace corpus {

namespace {

// Just enough JSON for the expected files: objects, arrays, strings, and skipping the rest.
class Json {
 public:
  explicit Json(std::string text) : s_(std::move(text)) {}
  void Ws() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  bool Is(char c) {
    Ws();
    return i_ < s_.size() && s_[i_] == c;
  }
  void Expect(char c) {
    if (!Is(c)) throw std::runtime_error(std::string("JSON: expected ") + c);
    ++i_;
  }
  std::string String() {
    Expect('"');
    std::string out;
    while (i_ < s_.size() && s_[i_] != '"') {
      char c = s_[i_++];
      if (c != '\\') {
        out.push_back(c);
        continue;
      }
      char e = s_[i_++];
      switch (e) {
        case 'n': out.push_back('\n'); break;
        case 't': out.push_back('\t'); break;
        case 'r': out.push_back('\r'); break;
        case 'b': out.push_back('\b'); break;
        case 'f': out.push_back('\f'); break;
        case 'u': {
          char32_t cp = static_cast<char32_t>(std::stoul(s_.substr(i_, 4), nullptr, 16));
          i_ += 4;
          if (cp >= 0xD800 && cp <= 0xDBFF && s_.compare(i_, 2, "\\u") == 0) {
            char32_t lo = static_cast<char32_t>(std::stoul(s_.substr(i_ + 2, 4), nullptr, 16));
            i_ += 6;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (lo - 0xDC00);
          }
          engine::xls::AppendUtf8(out, cp);
          break;
        }
        default: out.push_back(e); break;
      }
    }
    Expect('"');
    return out;
  }
  void SkipValue() {
    Ws();
    if (Is('"')) {
      String();
    } else if (Is('[') || Is('{')) {
      char open = s_[i_], close = open == '[' ? ']' : '}';
      ++i_;
      while (!Is(close)) {
        if (open == '{') {
          String();
          Expect(':');
        }
        SkipValue();
        if (Is(',')) ++i_;
      }
      ++i_;
    } else {
      while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != '}' && s_[i_] != ']') ++i_;
    }
  }
  std::string s_;
  std::size_t i_ = 0;
};

}  // namespace

void Trim(std::vector<std::vector<std::string>>& rows) {
  for (auto& r : rows)
    while (!r.empty() && r.back().empty()) r.pop_back();
  while (!rows.empty() && rows.back().empty()) rows.pop_back();
}

std::vector<ExpectedSheet> ReadExpected(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream ss;
  ss << in.rdbuf();
  Json j(ss.str());
  std::vector<ExpectedSheet> out;
  j.Expect('{');
  while (!j.Is('}')) {
    std::string key = j.String();
    j.Expect(':');
    if (key != "sheets") {
      j.SkipValue();
    } else {
      j.Expect('[');
      while (!j.Is(']')) {
        ExpectedSheet sheet;
        j.Expect('{');
        while (!j.Is('}')) {
          std::string k = j.String();
          j.Expect(':');
          if (k == "name") {
            sheet.name = j.String();
          } else if (k == "rows") {
            j.Expect('[');
            while (!j.Is(']')) {
              std::vector<std::string> row;
              j.Expect('[');
              while (!j.Is(']')) {
                row.push_back(j.String());
                if (j.Is(',')) ++j.i_;
              }
              ++j.i_;
              sheet.rows.push_back(std::move(row));
              if (j.Is(',')) ++j.i_;
            }
            ++j.i_;
          } else {
            j.SkipValue();
          }
          if (j.Is(',')) ++j.i_;
        }
        ++j.i_;
        Trim(sheet.rows);
        out.push_back(std::move(sheet));
        if (j.Is(',')) ++j.i_;
      }
      ++j.i_;
    }
    if (j.Is(',')) ++j.i_;
  }
  return out;
}

std::vector<ExpectedSheet> Displayed(engine::Control& control) {
  std::vector<ExpectedSheet> out;
  int active = control.GetActiveSheet();
  for (int s = 1; s <= control.GetNumSheets(); ++s) {
    control.SetActiveSheet(s);
    ExpectedSheet sheet;
    sheet.name = control.GetSheetName(s);
    int rows = control.GetLastRow(), cols = control.GetLastCol();
    for (int r = 1; r <= rows; ++r) {
      std::vector<std::string> row;
      for (int c = 1; c <= cols; ++c) row.push_back(control.GetCellFormattedText(r, c));
      sheet.rows.push_back(std::move(row));
    }
    Trim(sheet.rows);
    out.push_back(std::move(sheet));
  }
  control.SetActiveSheet(active);
  return out;
}

}  // namespace corpus
