#include "control/format/serial_date.h"

namespace engine::format {

// H. Hinnant's algorithms.
long long DaysFromCivil(long long y, int m, int d) {
  y -= m <= 2;
  const long long era = (y >= 0 ? y : y - 399) / 400;
  const long long yoe = y - era * 400;
  const long long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const long long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

CivilDate CivilFromDays(long long z) {
  z += 719468;
  const long long era = (z >= 0 ? z : z - 146096) / 146097;
  const long long doe = z - era * 146097;
  const long long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const long long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const long long mp = (5 * doy + 2) / 153;
  CivilDate c;
  c.day = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  c.month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  c.year = static_cast<int>(yoe + era * 400 + (c.month <= 2));
  return c;
}

namespace {

// Serial 0 of each system, as days since 1970-01-01. In the 1900 system serials from 61 on
// count from 1899-12-30 because of the phantom leap day.
const long long kEpoch1900 = DaysFromCivil(1899, 12, 30);
const long long kEpoch1904 = DaysFromCivil(1904, 1, 1);

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

}  // namespace

int DaysInMonth(int year, int month) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (month < 1 || month > 12) return 0;
  return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

int MaxDateSerial(bool date1904) {
  return static_cast<int>(DaysFromCivil(9999, 12, 31) - (date1904 ? kEpoch1904 : kEpoch1900));
}

CivilDate SerialToDate(int serial, bool date1904) {
  if (date1904) return CivilFromDays(kEpoch1904 + serial);
  if (serial == 0) return CivilDate{1900, 1, 0};
  if (serial == 60) return CivilDate{1900, 2, 29};
  if (serial < 60) return CivilFromDays(kEpoch1900 + serial + 1);
  return CivilFromDays(kEpoch1900 + serial);
}

int SerialWeekday(int serial, bool date1904) {
  // 1904-01-01 was a Friday; the 1900 system's serial 1 counts as a Sunday.
  return date1904 ? (serial + 5) % 7 : (serial + 6) % 7;
}

int DateToSerial(int year, int month, int day, bool date1904) {
  if (month < 1 || month > 12 || day < 1) return -1;
  if (!date1904 && year == 1900 && month == 2 && day == 29) return 60;
  if (day > DaysInMonth(year, month)) return -1;
  if (year > 9999) return -1;
  long days = DaysFromCivil(year, month, day);
  long serial;
  if (date1904) {
    serial = days - kEpoch1904;
  } else {
    serial = days - kEpoch1900;
    if (serial < 61) serial -= 1;  // before the phantom 29 February
  }
  return serial < (date1904 ? 0 : 1) ? -1 : static_cast<int>(serial);
}

}  // namespace engine::format
