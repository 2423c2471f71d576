#include "json_text.h"

namespace dtapp {

void WriteJsonString(std::ostream& out, const std::string& text) {
  static const char kHex[] = "0123456789abcdef";
  out.put('"');
  for (char ch : text) {
    const auto c = static_cast<unsigned char>(ch);
    switch (c) {
      case '"': out << "\\\""; break;
      case '\\': out << "\\\\"; break;
      case '\n': out << "\\n"; break;
      case '\r': out << "\\r"; break;
      case '\t': out << "\\t"; break;
      default:
        if (c < 0x20) {
          out << "\\u00" << kHex[c >> 4] << kHex[c & 0xF];
        } else {
          out.put(ch);
        }
    }
  }
  out.put('"');
}

}  // namespace dtapp
