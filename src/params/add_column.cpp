// Inserting a parameter column with its first values: the value in row 1, or, when the value
// is an item of an auto-fill list, that list continued down the rows the table has.
#include <vector>

#include "params/fill_list.h"
#include "table/czat_psf1.h"
#include "table/narrow.h"

int CZAT_PSF1::AddCol(long col, const CString& value, int fillFromLists, unsigned long flags,
                      const char* format) {
  engine::Control& ctl = Ctl();
  int c = table::Narrow(col);
  long rows = ctl.GetLastRow();
  if (rows == 0) rows = 1;
  ctl.InsertRange(-1, c, -1, c, engine::kShiftColumns);
  ctl.ClearRange(-1, c, -1, c, engine::kClearFormats);

  const bool noValue = &value == &CZAT::null_cstring_ref;
  std::vector<std::string> items;
  std::size_t next = 0;
  if (fillFromLists != 0 && !noValue && rows > 1) {
    short count = ctl.GetAutoFillListCount();
    for (short k = 1; k <= count && items.empty(); ++k) {
      std::vector<std::string> list = params::SplitFillList(ctl.GetAutoFillList(k));
      for (std::size_t i = 0; i < list.size(); ++i) {
        if (list[i] == value) {
          items = std::move(list);
          next = i;
          break;
        }
      }
    }
  }

  if (noValue) {
    ctl.SetCellText(1, c, std::string());
  } else if (!items.empty()) {
    // Row 1 gets the value itself; the rows below continue the list, starting over after its
    // last item.
    for (long r = 1; r <= rows; ++r) {
      SetEntryRC(r, col, items[next], flags, format);
      next = (next + 1) % items.size();
    }
  } else {
    SetEntryRC(1, col, value, flags, format);
  }
  AutoResize(col, -1);
  return 0;
}
