// The default button of a message box.

#include "platform/message_boxes.h"

namespace platform {

namespace {
constexpr unsigned kButtonMask = 0xF;
constexpr unsigned kDefaultButtonShift = 8;  // 0x000 first, 0x100 second, 0x200 third
}  // namespace

int DefaultAnswer(unsigned type) {
  const unsigned which = (type >> kDefaultButtonShift) & 0xF;
  switch (type & kButtonMask) {
    case MB_OKCANCEL: {
      static constexpr int kButtons[] = {IDOK, IDCANCEL};
      return kButtons[which < 2 ? which : 0];
    }
    case MB_YESNOCANCEL: {
      static constexpr int kButtons[] = {IDYES, IDNO, IDCANCEL};
      return kButtons[which < 3 ? which : 0];
    }
    case MB_YESNO: {
      static constexpr int kButtons[] = {IDYES, IDNO};
      return kButtons[which < 2 ? which : 0];
    }
    default:
      return IDOK;
  }
}

}  // namespace platform
