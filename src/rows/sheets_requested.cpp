// How every operation interprets its sheet argument: one sheet (0 = the active sheet) or a
// range of sheets (0 = all sheets). Negative sheets are refused like sheets above the count.

#include "table/czat_psf1.h"

int CZAT_PSF1::GetRequestedSheet(long sheet, long& outSheet, long& outPrevious, bool activate) {
  outPrevious = GetSheet();
  if (sheet == 0) {
    outSheet = outPrevious;
  } else {
    if (sheet < 0 || sheet > GetNumSheets()) return -1;
    outSheet = sheet;
  }
  if (activate && outSheet != outPrevious) SetSheet(outSheet);
  return 0;
}

int CZAT_PSF1::GetRequestedSheets(long sheet, long& outFirst, long& outLast, long& outPrevious) {
  outPrevious = GetSheet();
  if (sheet != 0) {
    if (sheet < 0 || sheet > GetNumSheets()) return -1;
    outFirst = outLast = sheet;
  } else {
    outFirst = 1;
    outLast = GetNumSheets();
  }
  return 0;
}
