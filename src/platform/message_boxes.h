#pragma once
// Message boxes: show a text with buttons and an icon, return the answer.

#include <string>

class CWnd;

namespace platform {

// Buttons (low four bits) and icons of a box.
enum MessageBoxType : unsigned {
  MB_OK = 0x0,
  MB_OKCANCEL = 0x1,
  MB_YESNOCANCEL = 0x3,
  MB_YESNO = 0x4,
  MB_ICONERROR = 0x10,
  MB_ICONQUESTION = 0x20,
  MB_ICONWARNING = 0x30,
  MB_ICONINFORMATION = 0x40,
};
// Answers.
enum MessageBoxAnswer : int { IDOK = 1, IDCANCEL = 2, IDYES = 6, IDNO = 7 };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  // Modal: returns when the user answered. owner may be null.
  virtual int Show(CWnd* owner, const std::string& text, const std::string& caption,
                   unsigned type) = 0;
};

// The answer a box gives when nobody chooses: OK, or Yes for the Yes/No boxes.
int DefaultAnswer(unsigned type);

}  // namespace platform
