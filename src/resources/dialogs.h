#pragma once
// The table's two dialog templates as data: 3003 AutoFill Lists and 3004 Change Parameter Name.
// Positions and sizes are in dialog units (horizontal: 1/4 of the dialog font's average
// character width; vertical: 1/8 of its height), the same for both languages; only the texts
// and the font differ. The platform lays out its real dialogs from these templates
// (DialogUnitsToPixels converts a rectangle once it knows the font's base units).

#include <span>

#include "resources/language.h"

namespace resources {

enum class ControlKind { Static, Edit, Button, ListBox };

// Style bits of a control.
enum ControlStyle : unsigned {
  kStyleNone = 0,
  kStyleTabStop = 1u << 0,           // reached with Tab
  kStyleGroup = 1u << 1,             // starts a group
  kStyleBorder = 1u << 2,            // edit and list boxes: a border
  kStyleAutoHScroll = 1u << 3,       // edit: scrolls horizontally as the text grows
  kStyleVScroll = 1u << 4,           // list box: vertical scroll bar
  kStyleDefaultButton = 1u << 5,     // the button that Enter presses
  kStyleNotify = 1u << 6,            // list box: reports selection changes to the dialog
  kStyleNoIntegralHeight = 1u << 7,  // list box: keeps its height exactly
  kStyleWordWrap = 1u << 8,          // static: the text wraps over several lines
};

struct DialogRect {
  int x, y, width, height;

  int Right() const { return x + width; }
  int Bottom() const { return y + height; }
};

struct DialogControl {
  int id;  // kCtlStatic for labels that nothing addresses
  ControlKind kind;
  const char* text[kLanguageCount];  // nullptr for edit and list boxes
  DialogRect rect;
  unsigned style;     // ControlStyle bits
  int buddy = 0;      // static: the control its mnemonic moves the focus to
  int maxLength = 0;  // edit: the most characters it takes; 0 for no limit

  const char* Text(Language lang) const { return text[static_cast<int>(lang)]; }
};

struct DialogTemplate {
  int id;
  const char* title[kLanguageCount];
  int width, height;  // client area in dialog units
  const char* fontFace[kLanguageCount];
  int fontPoints[kLanguageCount];
  std::span<const DialogControl> controls;  // in tab order

  const char* Title(Language lang) const { return title[static_cast<int>(lang)]; }
  const char* FontFace(Language lang) const { return fontFace[static_cast<int>(lang)]; }
  int FontPoints(Language lang) const { return fontPoints[static_cast<int>(lang)]; }
};

// Dialog 3003 or 3004; nullptr for any other id.
const DialogTemplate* FindDialog(int id);

// The control with that id in the dialog; nullptr when none (or for kCtlStatic).
const DialogControl* FindControl(const DialogTemplate& dialog, int id);

// A rectangle in pixels for a dialog font whose average character is baseUnitX pixels wide and
// baseUnitY pixels high: each edge x * baseUnitX / 4, y * baseUnitY / 8, rounded to the nearest
// pixel (half up); width and height are the differences of the converted edges.
DialogRect DialogUnitsToPixels(const DialogRect& rect, int baseUnitX, int baseUnitY);

}  // namespace resources
