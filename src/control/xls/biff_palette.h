#pragma once
// Colour indexes of BIFF records and the workbook palette, to and from 0x00BBGGRR colours.

#include <array>
#include <cstdint>
#include <vector>

namespace engine::xls {

class Palette {
 public:
  Palette();  // the default palette
  void Set(int index, std::uint32_t bgr);  // index 8 … 63
  // A colour index to a colour; indexes 64 and beyond (system colours) are "automatic".
  std::uint32_t Color(unsigned index) const;
  // The index of a colour, adding it to the palette (over the least likely used entries)
  // when it has no exact match. Automatic gives `autoIndex`.
  unsigned IndexOf(std::uint32_t bgr, unsigned autoIndex);
  bool Changed() const { return changed_; }
  const std::array<std::uint32_t, 56>& Entries() const { return entries_; }

 private:
  std::array<std::uint32_t, 56> entries_;
  int nextFree_ = 63;
  bool changed_ = false;
  std::vector<bool> used_ = std::vector<bool>(56, false);
};

}  // namespace engine::xls
