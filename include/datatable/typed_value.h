#pragma once
// CZATTypedValue: a parameter value with its type, for hosts that want values rather than the
// displayed text (CZAT_PSF1::GetArgTypedValue fills it).

#include "datatable/strings.h"

struct CZATTypedValue {
  enum Kind : int {
    KIND_EMPTY = 0,
    KIND_NUMBER = 1,
    KIND_TEXT = 2,     // text: `text`
    KIND_LOGICAL = 3,  // `logical`
    KIND_ERROR = 4,    // an error value: its text ("#DIV/0!") in `text`
  };
  // What the number format of a number shows, and whether the number is a calendar date.
  enum DateKind : int {
    DATE_NONE = 0,         // a plain number
    DATE_DATE = 1,         // a date (with or without a time of day): the fields below are set
    DATE_TIME_OF_DAY = 2,  // only a time of day (0 <= number < 1): hour … millisecond are set
  };

  Kind kind = KIND_EMPTY;  // of the cell's value; of its result for a formula
  double number = 0;
  bool logical = false;
  CString text;
  DateKind date = DATE_NONE;
  // The calendar date and time of day of `number` in the workbook's date system, rounded to
  // the millisecond. A number outside the calendar (before its first day, after 31 December
  // 9999, or the 29 February 1900 that the 1900 system counts) stays DATE_NONE.
  int year = 0, month = 0, day = 0;
  int hour = 0, minute = 0, second = 0, millisecond = 0;
};
