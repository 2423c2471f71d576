#pragma once
// Date serial numbers as the spreadsheet counts them. In the 1900 system serial 1 is
// 1 January 1900 and serial 60 is the 29 February 1900 that never was (kept for compatibility
// with files that count it); serial 0 is "1/0/1900". In the 1904 system serial 0 is
// 1 January 1904. Serials run up to 31 December 9999.

namespace engine::format {

struct CivilDate {
  int year = 1900;
  int month = 1;  // 1–12
  int day = 0;    // 1–31; 0 only for serial 0 of the 1900 system
};

// The largest whole serial that is a valid date (31 December 9999) in the given system.
int MaxDateSerial(bool date1904);

// Date of a whole serial 0 … MaxDateSerial(date1904); callers check the range first.
CivilDate SerialToDate(int serial, bool date1904);

// Day of the week, 0 = Sunday, as the spreadsheet reckons it (1 January 1900 is a Sunday).
int SerialWeekday(int serial, bool date1904);

// Serial of a date, or -1 when the date does not exist or lies outside the system's range.
// 29 February 1900 is accepted in the 1900 system (serial 60).
int DateToSerial(int year, int month, int day, bool date1904);

int DaysInMonth(int year, int month);

// The one civil-date conversion of the engine: days since 1970-01-01 of a proleptic Gregorian
// date (month 1–12, any day, which may run past the month's end), and back.
long long DaysFromCivil(long long year, int month, int day);
CivilDate CivilFromDays(long long days);

}  // namespace engine::format
