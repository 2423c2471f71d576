#include "expected_json.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "table/utf8_chars.h"

namespace {

// Just enough JSON for the expected-display files: objects, arrays, strings, and skipping
// anything else.
class Reader {
 public:
  explicit Reader(std::string text) : s_(std::move(text)) {}

  void Expect(char ch) {
    Skip();
    if (i_ >= s_.size() || s_[i_] != ch) throw std::runtime_error(std::string("expected ") + ch);
    ++i_;
  }
  bool Peek(char ch) {
    Skip();
    return i_ < s_.size() && s_[i_] == ch;
  }
  std::string String() {
    Expect('"');
    std::string out;
    while (i_ < s_.size() && s_[i_] != '"') {
      char ch = s_[i_++];
      if (ch != '\\') {
        out.push_back(ch);
        continue;
      }
      char e = s_.at(i_++);
      switch (e) {
        case 'n':
          out.push_back('\n');
          break;
        case 't':
          out.push_back('\t');
          break;
        case 'r':
          out.push_back('\r');
          break;
        case 'b':
          out.push_back('\b');
          break;
        case 'f':
          out.push_back('\f');
          break;
        case 'u': {
          int code = Hex4();
          if (code >= 0xD800 && code <= 0xDBFF && s_.compare(i_, 2, "\\u") == 0) {
            i_ += 2;
            int low = Hex4();
            code = 0x10000 + ((code - 0xD800) << 10) + (low - 0xDC00);
          }
          params::AppendUtf8(out, code);
          break;
        }
        default:
          out.push_back(e);
          break;
      }
    }
    Expect('"');
    return out;
  }
  void SkipValue() {
    Skip();
    if (Peek('"')) {
      String();
    } else if (Peek('[') || Peek('{')) {
      char close = s_[i_] == '[' ? ']' : '}';
      ++i_;
      while (!Peek(close)) {
        if (close == '}') {
          String();
          Expect(':');
        }
        SkipValue();
        if (Peek(',')) ++i_;
      }
      ++i_;
    } else {
      while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != '}' && s_[i_] != ']') ++i_;
    }
  }
  std::vector<std::string> StringArray() {
    std::vector<std::string> out;
    Expect('[');
    while (!Peek(']')) {
      out.push_back(String());
      if (Peek(',')) ++i_;
    }
    Expect(']');
    return out;
  }

 private:
  void Skip() {
    while (i_ < s_.size() && std::isspace(static_cast<unsigned char>(s_[i_]))) ++i_;
  }
  int Hex4() {
    int v = std::stoi(s_.substr(i_, 4), nullptr, 16);
    i_ += 4;
    return v;
  }
  std::string s_;
  std::size_t i_ = 0;
};

ExpectedSheet ReadSheet(Reader& r) {
  ExpectedSheet sheet;
  r.Expect('{');
  while (!r.Peek('}')) {
    std::string key = r.String();
    r.Expect(':');
    if (key == "name") {
      sheet.name = r.String();
    } else if (key == "rows") {
      r.Expect('[');
      while (!r.Peek(']')) {
        sheet.rows.push_back(r.StringArray());
        if (r.Peek(',')) r.Expect(',');
      }
      r.Expect(']');
    } else {
      r.SkipValue();
    }
    if (r.Peek(',')) r.Expect(',');
  }
  r.Expect('}');
  return sheet;
}

}  // namespace

std::vector<ExpectedSheet> ReadExpectedSheets(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    ADD_FAILURE() << "cannot read " << path;
    return {};
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::vector<ExpectedSheet> sheets;
  try {
    Reader r(buffer.str());
    r.Expect('{');
    while (!r.Peek('}')) {
      std::string key = r.String();
      r.Expect(':');
      if (key == "sheets") {
        r.Expect('[');
        while (!r.Peek(']')) {
          sheets.push_back(ReadSheet(r));
          if (r.Peek(',')) r.Expect(',');
        }
        r.Expect(']');
      } else {
        r.SkipValue();
      }
      if (r.Peek(',')) r.Expect(',');
    }
  } catch (const std::exception& e) {
    ADD_FAILURE() << path << ": " << e.what();
  }
  return sheets;
}
