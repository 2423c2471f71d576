#pragma once
// Icon 3002, the table window's icon, as XPM images (the text form Qt's QPixmap/QImage read from
// a "const char* const[]"): a header line "width height colours 1", one line per colour
// ("c None" is transparent), then one line per pixel row.

#include <span>

namespace resources {

// The sizes (square, in pixels) the icon with that id comes in; empty for an unknown id.
std::span<const int> IconSizes(int id);

// The XPM lines of the icon at that size; empty for an unknown id or size.
std::span<const char* const> IconXpm(int id, int size);

}  // namespace resources
