#include "table_json.h"

#include <algorithm>
#include <cstdint>
#include <fstream>
#include <sstream>

namespace {

class Reader {
 public:
  explicit Reader(const std::string& text) : s_(text) {}

  bool Fail(const std::string& why) {
    if (error_.empty()) error_ = why + " at byte " + std::to_string(i_);
    return false;
  }
  const std::string& Error() const { return error_; }

  void Space() {
    while (i_ < s_.size() && (s_[i_] == ' ' || s_[i_] == '\n' || s_[i_] == '\r' || s_[i_] == '\t'))
      ++i_;
  }
  bool Take(char c) {
    Space();
    if (i_ < s_.size() && s_[i_] == c) {
      ++i_;
      return true;
    }
    return false;
  }
  bool Expect(char c) { return Take(c) || Fail(std::string("expected '") + c + "'"); }
  bool AtEnd() {
    Space();
    return i_ == s_.size();
  }

  bool String(std::string& out) {
    out.clear();
    if (!Expect('"')) return false;
    while (i_ < s_.size()) {
      char c = s_[i_++];
      if (c == '"') return true;
      if (c != '\\') {
        out += c;
        continue;
      }
      if (i_ >= s_.size()) break;
      char e = s_[i_++];
      switch (e) {
        case '"':
        case '\\':
        case '/':
          out += e;
          break;
        case 'b':
          out += '\b';
          break;
        case 'f':
          out += '\f';
          break;
        case 'n':
          out += '\n';
          break;
        case 'r':
          out += '\r';
          break;
        case 't':
          out += '\t';
          break;
        case 'u': {
          std::uint32_t cp = 0;
          if (!Hex4(cp)) return false;
          if (cp >= 0xD800 && cp < 0xDC00 && i_ + 1 < s_.size() && s_[i_] == '\\' &&
              s_[i_ + 1] == 'u') {
            i_ += 2;
            std::uint32_t low = 0;
            if (!Hex4(low)) return false;
            cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
          }
          Utf8(cp, out);
          break;
        }
        default:
          return Fail("bad escape");
      }
    }
    return Fail("unterminated string");
  }

  // Any value: a string, number, literal, array or object.
  bool SkipValue(int depth = 0) {
    if (depth > 64) return Fail("nested too deeply");
    Space();
    if (i_ >= s_.size()) return Fail("expected a value");
    const char c = s_[i_];
    if (c == '"') {
      std::string ignored;
      return String(ignored);
    }
    if (c == '[' || c == '{') {
      const char close = c == '[' ? ']' : '}';
      ++i_;
      if (Take(close)) return true;
      do {
        if (c == '{') {
          std::string key;
          if (!String(key) || !Expect(':')) return false;
        }
        if (!SkipValue(depth + 1)) return false;
      } while (Take(','));
      return Expect(close);
    }
    const std::size_t start = i_;
    while (i_ < s_.size() && s_[i_] != ',' && s_[i_] != ']' && s_[i_] != '}' && s_[i_] != ' ' &&
           s_[i_] != '\n' && s_[i_] != '\r' && s_[i_] != '\t')
      ++i_;
    return i_ > start || Fail("expected a value");
  }

  bool StringArray(std::vector<std::string>& out) {
    if (!Expect('[')) return false;
    if (Take(']')) return true;
    do {
      std::string cell;
      if (!String(cell)) return false;
      out.push_back(cell);
    } while (Take(','));
    return Expect(']');
  }

 private:
  bool Hex4(std::uint32_t& cp) {
    if (i_ + 4 > s_.size()) return Fail("short \\u escape");
    for (int k = 0; k < 4; ++k) {
      char h = s_[i_++];
      cp <<= 4;
      if (h >= '0' && h <= '9')
        cp |= static_cast<std::uint32_t>(h - '0');
      else if (h >= 'a' && h <= 'f')
        cp |= static_cast<std::uint32_t>(h - 'a' + 10);
      else if (h >= 'A' && h <= 'F')
        cp |= static_cast<std::uint32_t>(h - 'A' + 10);
      else
        return Fail("bad hex digit");
    }
    return true;
  }
  static void Utf8(std::uint32_t cp, std::string& out) {
    if (cp < 0x80) {
      out += static_cast<char>(cp);
    } else if (cp < 0x800) {
      out += static_cast<char>(0xC0 | (cp >> 6));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
      out += static_cast<char>(0xE0 | (cp >> 12));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
      out += static_cast<char>(0xF0 | (cp >> 18));
      out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
      out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
      out += static_cast<char>(0x80 | (cp & 0x3F));
    }
  }

  const std::string& s_;
  std::size_t i_ = 0;
  std::string error_;
};

bool ParseSheet(Reader& r, JsonSheet& sheet) {
  if (!r.Expect('{')) return false;
  do {
    std::string key;
    if (!r.String(key) || !r.Expect(':')) return false;
    if (key == "name") {
      if (!r.String(sheet.name)) return false;
    } else if (key == "rows") {
      if (!r.Expect('[')) return false;
      if (!r.Take(']')) {
        do {
          sheet.rows.emplace_back();
          if (!r.StringArray(sheet.rows.back())) return false;
        } while (r.Take(','));
        if (!r.Expect(']')) return false;
      }
    } else if (!r.SkipValue()) {
      return false;
    }
  } while (r.Take(','));
  return r.Expect('}');
}

}  // namespace

std::optional<JsonTable> ParseTableJson(const std::string& text, std::string& error) {
  Reader r(text);
  JsonTable table;
  bool ok = r.Expect('{');
  while (ok) {
    std::string key;
    ok = r.String(key) && r.Expect(':');
    if (!ok) break;
    if (key == "file") {
      ok = r.String(table.file);
    } else if (key == "sheets") {
      ok = r.Expect('[');
      if (ok && !r.Take(']')) {
        do {
          table.sheets.emplace_back();
          ok = ParseSheet(r, table.sheets.back());
        } while (ok && r.Take(','));
        ok = ok && r.Expect(']');
      }
    } else {
      ok = r.SkipValue();
    }
    if (!ok || !r.Take(',')) break;
  }
  ok = ok && r.Expect('}') && (r.AtEnd() || r.Fail("text after the table"));
  if (!ok) {
    error = r.Error();
    return std::nullopt;
  }
  return table;
}

std::optional<JsonTable> ReadTableJson(const std::string& path, std::string& error) {
  std::ifstream in(path, std::ios::binary);
  if (!in) {
    error = "cannot read " + path;
    return std::nullopt;
  }
  std::stringstream buffer;
  buffer << in.rdbuf();
  std::optional<JsonTable> table = ParseTableJson(buffer.str(), error);
  if (!table) error = path + ": " + error;
  return table;
}

void DropTrailingEmptyCells(JsonTable& table) {
  for (JsonSheet& sheet : table.sheets)
    for (auto& row : sheet.rows)
      while (!row.empty() && row.back().empty()) row.pop_back();
}

std::string AsCodePage1252(const std::string& utf8) {
  // Code points that 1252 places at 0x80 … 0x9F.
  static const std::uint32_t kHigh[] = {0x20AC, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                        0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0x017D, 0x2018,
                                        0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014, 0x02DC,
                                        0x2122, 0x0161, 0x203A, 0x0153, 0x017E, 0x0178};
  std::string out;
  for (std::size_t i = 0; i < utf8.size();) {
    const auto lead = static_cast<unsigned char>(utf8[i]);
    std::size_t len = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
    if (i + len > utf8.size()) len = utf8.size() - i;
    std::uint32_t cp = len == 1 ? lead : lead & (0x3F >> (len - 1));
    for (std::size_t k = 1; k < len; ++k) cp = (cp << 6) | (utf8[i + k] & 0x3F);
    bool fits = cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF);
    for (std::uint32_t h : kHigh) fits = fits || cp == h;
    out += fits ? utf8.substr(i, len) : "?";
    i += len;
  }
  return out;
}

std::string FirstDifference(const JsonTable& expected, const JsonTable& actual) {
  if (expected.sheets.size() != actual.sheets.size())
    return "sheet count " + std::to_string(expected.sheets.size()) + " vs " +
           std::to_string(actual.sheets.size());
  for (std::size_t s = 0; s < expected.sheets.size(); ++s) {
    const JsonSheet& e = expected.sheets[s];
    const JsonSheet& a = actual.sheets[s];
    const std::string where = "sheet " + std::to_string(s + 1) + " \"" + e.name + "\"";
    if (e.name != a.name) return where + ": name \"" + a.name + "\"";
    if (e.rows.size() != a.rows.size())
      return where + ": " + std::to_string(e.rows.size()) + " rows vs " +
             std::to_string(a.rows.size());
    for (std::size_t r = 0; r < e.rows.size(); ++r) {
      const auto& er = e.rows[r];
      const auto& ar = a.rows[r];
      for (std::size_t c = 0; c < std::max(er.size(), ar.size()); ++c) {
        const std::string ev = c < er.size() ? er[c] : "<none>";
        const std::string av = c < ar.size() ? ar[c] : "<none>";
        if (ev != av)
          return where + " stored row " + std::to_string(r + 1) + " column " +
                 std::to_string(c + 1) + ": expected \"" + ev + "\", got \"" + av + "\"";
      }
    }
  }
  return "";
}
