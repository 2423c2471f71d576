#pragma once
// Writing package XML: text as character data or attribute values, numbers, colours. Every
// writer of a part uses these, so what one escapes every reader decodes the same way.

#include <cstdint>
#include <string>
#include <string_view>

namespace engine::xlsx {

// Text as XML character data or attribute value. Characters XML 1.0 cannot carry are written
// as the package's _xHHHH_ escapes, and a literal "_x" that would read as one is escaped too.
void Escape(std::string& out, std::string_view text);
std::string Escaped(std::string_view text);
// Markup only (&, <, >, "), with tab, line feed and carriage return as character references so
// an attribute keeps them: for values that already hold the package's escapes as read.
void EscapeMarkup(std::string& out, std::string_view text);

// The shortest text that reads back as the same double.
void AppendNumber(std::string& out, double d);
std::string NumberText(double d);

// An engine colour (0x00BBGGRR) as an opaque ARGB value ("FFRRGGBB").
std::string Argb(std::uint32_t bgr);

}  // namespace engine::xlsx
