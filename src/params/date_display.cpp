#include "params/date_display.h"

#include "table/utf8_chars.h"

namespace params {

bool IsDayMonthYearFormat(std::string_view code) {
  if (code == "General") return false;  // what nearly every cell has: answered at once
  std::size_t d = code.find("dd");
  if (d == std::string_view::npos) return false;
  std::size_t m = code.find("mm");
  if (m == std::string_view::npos) return false;
  std::size_t after = d > m ? d : m;
  return code.find("yy", after) != std::string_view::npos;
}

bool ReplaceNoBreakSpaces(std::string& text) {
  // Walk by characters so that only a whole U+00A0 is replaced, never bytes of another
  // character or of a damaged sequence.
  std::string out;
  bool replaced = false;
  std::size_t copied = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    Utf8Char ch = DecodeUtf8At(text, pos);
    if (ch.code == 0xA0) {
      out.append(text, copied, pos - copied);
      out.push_back(' ');
      copied = pos + ch.size;
      replaced = true;
    }
    pos += ch.size;
  }
  if (!replaced) return false;
  out.append(text, copied, std::string::npos);
  text = std::move(out);
  return true;
}

}  // namespace params
