#pragma once
// Page header and footer text in the form a package's readers parse: the left, centre and
// right sections each once, in that order, each starting with its code (&L, &C, &R).

#include <string>
#include <string_view>

namespace engine::xlsx {

// Text before any section code belongs to the centre section, as a spreadsheet shows it; a
// section named twice keeps both pieces in order. Other codes (&P, &"font", &&) stay as they
// are, inside their section.
std::string OrderedSections(std::string_view text);

}  // namespace engine::xlsx
