// Operations still being built.
#include "control/control.h"

namespace engine {

namespace {
[[noreturn]] void NotYet(const char* what) {
  throw EngineError(kErrBadArgument, std::string(what) + " is not available yet.");
}
}  // namespace

void Control::InsertRange(int, int, int, int, int) { NotYet("InsertRange"); }
void Control::DeleteRange(int, int, int, int, int) { NotYet("DeleteRange"); }
void Control::ClearRange(int, int, int, int, int) { NotYet("ClearRange"); }
void Control::MoveRange(int, int, int, int, int, int) { NotYet("MoveRange"); }
void Control::SortRange(int, int, int, int, bool, int, int, int) { NotYet("SortRange"); }
void Control::CutSelection() { NotYet("Cut"); }
void Control::CopySelection() { NotYet("Copy"); }
void Control::PasteClipboard() { NotYet("Paste"); }
void Control::PasteValues() { NotYet("Paste values"); }
bool Control::CanPaste() const { return false; }
void Control::ClearSelection(int) { NotYet("Clear"); }
void Control::InsertAtSelection(int) { NotYet("Insert"); }
void Control::DeleteAtSelection(int) { NotYet("Delete"); }
void Control::FillRight() { NotYet("Fill right"); }
void Control::FillDown() { NotYet("Fill down"); }
void Control::FormatGeneral() { NotYet("Format"); }
void Control::FormatCurrency0() { NotYet("Format"); }
void Control::FormatCurrency2() { NotYet("Format"); }
void Control::FormatFixed() { NotYet("Format"); }
void Control::FormatPercent() { NotYet("Format"); }
void Control::FormatFraction() { NotYet("Format"); }
void Control::FormatScientific() { NotYet("Format"); }
void Control::FormatTime() { NotYet("Format"); }
std::string Control::GetNumberFormat() const {
  int r, c;
  GetActiveCell(r, c);
  return book_->Formats().Code(book_->Styles().Get(ActiveSheet().EffectiveStyle(r, c)).numberFormat);
}
void Control::SetNumberFormat(const std::string&) { NotYet("Format"); }
void Control::SetPattern(short, std::uint32_t, std::uint32_t) { NotYet("Pattern"); }
void Control::GetPattern(short&, std::uint32_t&, std::uint32_t&) const { NotYet("Pattern"); }
void Control::SetBorder(short, short, short, short, short, short, std::uint32_t, std::uint32_t,
                        std::uint32_t, std::uint32_t, std::uint32_t) {
  NotYet("Border");
}
void Control::SetFontColor(std::uint32_t) { NotYet("Font color"); }
std::uint32_t Control::GetFontColor() const { return kAutoColor; }
void Control::SetDefaultFont(const std::string&, short) { NotYet("Font"); }

}  // namespace engine
