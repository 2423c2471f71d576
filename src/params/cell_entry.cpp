// Cell entry: every value written into a parameter cell is entered as typed, then formatted
// by the entry flags, and, when no number format is asked for, kept exactly as given.
#include "params/date_display.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

namespace {

constexpr unsigned long kFormatMask = 0x0F;
constexpr unsigned long kFillFlag = 0x10;
constexpr std::uint32_t kFillFore = 0xC0C0C0;
constexpr std::uint32_t kFillBack = 0xFFFFFF;

// A formula whose result is the text itself. Quotes inside are doubled, as a string constant
// of a formula writes them, so that any text gives a formula that parses.
std::string TextFormula(const std::string& text) {
  std::string out = "=\"";
  out.reserve(text.size() + 4);
  for (char ch : text) {
    out.push_back(ch);
    if (ch == '"') out.push_back('"');
  }
  out.push_back('"');
  return out;
}

bool IsFormulaType(short type) { return type >= -4 && type <= -1; }

// The cell shows the value exactly unless the engine read it as something that displays
// otherwise; then the value is entered again as a formula giving that very text. A formula
// stays a formula whatever its result (number, text, logical or error).
void PreserveExactText(engine::Control& ctl, int row, int col, const std::string& value) {
  if (ctl.GetCellText(row, col) == value) return;
  if (ctl.GetCellFormattedText(row, col) == value) return;
  if (IsFormulaType(ctl.GetCellType(row, col))) return;
  ctl.SetCellText(row, col, TextFormula(value));
}

}  // namespace

int CZAT_PSF1::SetEntryRC(long row, long col, const CString& value, unsigned long flags,
                          const char* format) {
  try {
    engine::Control& ctl = Ctl();
    int r = table::Narrow(row);
    int c = table::Narrow(col);
    ctl.SetCellText(r, c, value);
    if (flags != 0) {
      // The format operations act on the selection: make it this cell.
      ctl.SetSelection(r, c, r, c);
      ctl.SetEntryColumn(c);
      ctl.SetEntryExtent(-1);
    }
    switch (flags & kFormatMask) {
      case 0:
        PreserveExactText(ctl, r, c, value);
        break;
      case 1:
        ctl.FormatGeneral();
        break;
      case 2:
        ctl.FormatCurrency0();
        break;
      case 3:
        ctl.FormatCurrency2();
        break;
      case 4:
        ctl.FormatPercent();
        break;
      case 5:
        ctl.SetNumberFormat(format ? std::string(format) : m_ShortDateFormat);
        break;
      default:
        break;
    }
    if (flags & kFillFlag) ctl.SetPattern(1, kFillFore, kFillBack);
    AutoResize(col, -1);
    return 0;
  } catch (const engine::EngineError&) {
    return -1;
  }
}

long CZAT_PSF1::DoBeforeArgValue(const CString& name, long row, long maxRow) {
  if (name.empty() || row <= 0 || row > maxRow) return -1;
  return GetArgCol(name);
}

int CZAT_PSF1::FixSpaceInDate(CString& text) { return params::ReplaceNoBreakSpaces(text) ? 1 : 0; }
