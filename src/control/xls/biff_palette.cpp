#include "control/xls/biff_palette.h"

#include "control/model/style.h"

namespace engine::xls {

namespace {

// The default palette of indexes 8 … 63, as 0xRRGGBB.
constexpr std::uint32_t kDefaultRgb[56] = {
    0x000000, 0xFFFFFF, 0xFF0000, 0x00FF00, 0x0000FF, 0xFFFF00, 0xFF00FF, 0x00FFFF,
    0x800000, 0x008000, 0x000080, 0x808000, 0x800080, 0x008080, 0xC0C0C0, 0x808080,
    0x9999FF, 0x993366, 0xFFFFCC, 0xCCFFFF, 0x660066, 0xFF8080, 0x0066CC, 0xCCCCFF,
    0x000080, 0xFF00FF, 0xFFFF00, 0x00FFFF, 0x800080, 0x800000, 0x008080, 0x0000FF,
    0x00CCFF, 0xCCFFFF, 0xCCFFCC, 0xFFFF99, 0x99CCFF, 0xFF99CC, 0xCC99FF, 0xFFCC99,
    0x3366FF, 0x33CCCC, 0x99CC00, 0xFFCC00, 0xFF9900, 0xFF6600, 0x666699, 0x969696,
    0x003366, 0x339966, 0x003300, 0x333300, 0x993300, 0x993366, 0x333399, 0x333333,
};

std::uint32_t RgbToBgr(std::uint32_t rgb) {
  return ((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF);
}

}  // namespace

Palette::Palette() {
  for (int i = 0; i < 56; ++i) entries_[static_cast<std::size_t>(i)] = RgbToBgr(kDefaultRgb[i]);
}

void Palette::Set(int index, std::uint32_t bgr) {
  if (index >= 8 && index < 64) entries_[static_cast<std::size_t>(index - 8)] = bgr & 0xFFFFFF;
}

std::uint32_t Palette::Color(unsigned index) const {
  if (index < 8) return RgbToBgr(kDefaultRgb[index]);
  if (index < 64) return entries_[index - 8];
  return kAutoColor;
}

unsigned Palette::IndexOf(std::uint32_t bgr, unsigned autoIndex) {
  if (bgr == kAutoColor) return autoIndex;
  bgr &= 0xFFFFFF;
  for (int i = 0; i < 56; ++i)
    if (entries_[static_cast<std::size_t>(i)] == bgr) {
      used_[static_cast<std::size_t>(i)] = true;
      return static_cast<unsigned>(i + 8);
    }
  // Replace entries from the end of the palette, skipping those already handed out.
  while (nextFree_ >= 8 && used_[static_cast<std::size_t>(nextFree_ - 8)]) --nextFree_;
  if (nextFree_ < 8) {
    // Palette full: the nearest colour.
    int best = 8;
    long bestD = -1;
    for (int i = 0; i < 56; ++i) {
      std::uint32_t e = entries_[static_cast<std::size_t>(i)];
      long d = 0;
      for (int s = 0; s < 24; s += 8) {
        long x = static_cast<long>((e >> s) & 0xFF) - static_cast<long>((bgr >> s) & 0xFF);
        d += x * x;
      }
      if (bestD < 0 || d < bestD) bestD = d, best = i + 8;
    }
    return static_cast<unsigned>(best);
  }
  int slot = nextFree_--;
  entries_[static_cast<std::size_t>(slot - 8)] = bgr;
  used_[static_cast<std::size_t>(slot - 8)] = true;
  changed_ = true;
  return static_cast<unsigned>(slot);
}

}  // namespace engine::xls
