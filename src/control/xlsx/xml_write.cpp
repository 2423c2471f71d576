#include "control/xlsx/xml_write.h"

#include <charconv>
#include <cstdio>

#include "control/xlsx/xml_stream.h"

namespace engine::xlsx {

namespace {

bool AppendEntity(std::string& out, char c) {
  switch (c) {
    case '&':
      out += "&amp;";
      return true;
    case '<':
      out += "&lt;";
      return true;
    case '>':
      out += "&gt;";
      return true;
    case '"':
      out += "&quot;";
      return true;
    default:
      return false;
  }
}

}  // namespace

void Escape(std::string& out, std::string_view text) {
  for (std::size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (AppendEntity(out, c)) continue;
    // A carriage return too: readers turn a literal one into a line feed.
    if (static_cast<unsigned char>(c) < 0x20 && c != '\t' && c != '\n') {
      char buf[8];
      std::snprintf(buf, sizeof buf, "_x%04X_", static_cast<unsigned>(c));
      out += buf;
    } else if (c == '_' && IsEscapeAt(text, i)) {
      out += "_x005F_";
    } else {
      out += c;
    }
  }
}

std::string Escaped(std::string_view text) {
  std::string out;
  Escape(out, text);
  return out;
}

void EscapeMarkup(std::string& out, std::string_view text) {
  for (char c : text) {
    if (AppendEntity(out, c)) continue;
    if (c == '\t')
      out += "&#9;";
    else if (c == '\n')
      out += "&#10;";
    else if (c == '\r')
      out += "&#13;";
    else
      out += c;
  }
}

void AppendNumber(std::string& out, double d) {
  char buf[32];
  auto [p, ec] = std::to_chars(buf, buf + sizeof buf, d);
  out.append(buf, ec == std::errc() ? p : buf);
}

std::string NumberText(double d) {
  std::string out;
  AppendNumber(out, d);
  return out;
}

std::string Argb(std::uint32_t bgr) {
  char buf[16];
  std::snprintf(buf, sizeof buf, "FF%02X%02X%02X", bgr & 0xFF, (bgr >> 8) & 0xFF,
                (bgr >> 16) & 0xFF);
  return buf;
}

}  // namespace engine::xlsx
