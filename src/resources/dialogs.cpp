#include "resources/dialogs.h"

#include "resources/dialog_data.h"

namespace resources {

namespace {

// value * base / divisor, rounded half up (dialog coordinates are never negative in our
// templates; negative ones round toward the nearest pixel the same way).
int Scale(int value, int base, int divisor) {
  const long long product = static_cast<long long>(value) * base;
  const long long half = divisor / 2;
  const long long rounded =
      product >= 0 ? (product + half) / divisor : -((-product + half) / divisor);
  return static_cast<int>(rounded);
}

}  // namespace

const DialogTemplate* FindDialog(int id) {
  if (id == kDialogAutoFillLists) return &detail::AutoFillListsDialog();
  if (id == kDialogChangeParameterName) return &detail::ChangeParameterNameDialog();
  return nullptr;
}

const DialogControl* FindControl(const DialogTemplate& dialog, int id) {
  if (id == kCtlStatic) return nullptr;
  for (const DialogControl& control : dialog.controls)
    if (control.id == id) return &control;
  return nullptr;
}

DialogRect DialogUnitsToPixels(const DialogRect& rect, int baseUnitX, int baseUnitY) {
  // The edges are converted, not the sizes, so that controls that meet in dialog units still
  // meet in pixels.
  const int left = Scale(rect.x, baseUnitX, 4);
  const int top = Scale(rect.y, baseUnitY, 8);
  const int right = Scale(rect.Right(), baseUnitX, 4);
  const int bottom = Scale(rect.Bottom(), baseUnitY, 8);
  return {left, top, right - left, bottom - top};
}

}  // namespace resources
