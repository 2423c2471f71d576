// Icon 3002: a small table grid (a blue heading row over white cells), drawn at 16 and 32
// pixels as XPM images.

#include "resources/icon.h"

#include "resources/resource_ids.h"

namespace resources {

namespace {

// clang-format off
constexpr const char* kIcon16[] = {
    "16 16 5 1",
    ". c None",
    "# c #1F3F7F",
    "h c #4F81BD",
    "g c #9DB3D9",
    "w c #FFFFFF",
    "................",
    "################",
    "#hhhhghhhhghhhh#",
    "#hhhhghhhhghhhh#",
    "#hhhhghhhhghhhh#",
    "#gggggggggggggg#",
    "#wwwwgwwwwgwwww#",
    "#wwwwgwwwwgwwww#",
    "#gggggggggggggg#",
    "#wwwwgwwwwgwwww#",
    "#wwwwgwwwwgwwww#",
    "#gggggggggggggg#",
    "#wwwwgwwwwgwwww#",
    "#wwwwgwwwwgwwww#",
    "################",
    "................",
};

constexpr const char* kIcon32[] = {
    "32 32 5 1",
    ". c None",
    "# c #1F3F7F",
    "h c #4F81BD",
    "g c #9DB3D9",
    "w c #FFFFFF",
    "................................",
    "................................",
    "................................",
    "################################",
    "#hhhhhhhhhghhhhhhhhhhghhhhhhhhh#",
    "#hhhhhhhhhghhhhhhhhhhghhhhhhhhh#",
    "#hhhhhhhhhghhhhhhhhhhghhhhhhhhh#",
    "#hhhhhhhhhghhhhhhhhhhghhhhhhhhh#",
    "#hhhhhhhhhghhhhhhhhhhghhhhhhhhh#",
    "#hhhhhhhhhghhhhhhhhhhghhhhhhhhh#",
    "#gggggggggggggggggggggggggggggg#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#gggggggggggggggggggggggggggggg#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#gggggggggggggggggggggggggggggg#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "#wwwwwwwwwgwwwwwwwwwwgwwwwwwwww#",
    "################################",
    "................................",
    "................................",
    "................................",
};
// clang-format on

}  // namespace

std::span<const char* const> IconXpm(int id, int size) {
  if (id != kIconTable) return {};
  if (size == 16) return kIcon16;
  if (size == 32) return kIcon32;
  return {};
}

std::span<const int> IconSizes(int id) {
  static constexpr int kSizes[] = {16, 32};
  if (id != kIconTable) return {};
  return kSizes;
}

}  // namespace resources
