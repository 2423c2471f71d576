#include <gtest/gtest.h>

#include "control/format/serial_date.h"
#include "render_helpers.h"

namespace engine::format::test {
namespace {

constexpr double kJan15 = 45306;  // 15 January 2024, a Monday

TEST(DateRender, DayMonthYearTokens) {
  EXPECT_EQ(Show("m/d/yyyy", kJan15), "1/15/2024");
  EXPECT_EQ(Show("M/d/yyyy", kJan15), "1/15/2024");
  EXPECT_EQ(Show("dd.MM.yyyy", kJan15), "15.01.2024");
  EXPECT_EQ(Show("yyyy-mm-dd", kJan15 + 0.75), "2024-01-15");
  EXPECT_EQ(Show("d-mmm-yy", kJan15), "15-Jan-24");
  EXPECT_EQ(Show("dddd, mmmm d, yyyy", kJan15), "Monday, January 15, 2024");
  EXPECT_EQ(Show("ddd dd mmm", kJan15 + 6), "Sun 21 Jan");
  EXPECT_EQ(Show("mmmmm", kJan15), "J");
  EXPECT_EQ(Show("DDDD MMMM YYYY", kJan15), "Monday January 2024");
  EXPECT_EQ(Show("yy", 36526), "00");
}

TEST(DateRender, The1900SystemAndItsPhantomLeapDay) {
  EXPECT_EQ(Show("m/d/yyyy", 1), "1/1/1900");
  EXPECT_EQ(Show("m/d/yyyy", 0), "1/0/1900");
  EXPECT_EQ(Show("m/d/yyyy", 59), "2/28/1900");
  EXPECT_EQ(Show("m/d/yyyy", 60), "2/29/1900");
  EXPECT_EQ(Show("m/d/yyyy", 61), "3/1/1900");
  EXPECT_EQ(Show("dddd", 1), "Sunday");
  EXPECT_EQ(Show("dddd", 61), "Thursday");
  EXPECT_EQ(Show("m/d/yyyy", 2958465), "12/31/9999");
}

TEST(DateRender, The1904System) {
  const auto l = LocaleSettings::EnUs();
  EXPECT_EQ(Show("m/d/yyyy", 0, l, true), "1/1/1904");
  EXPECT_EQ(Show("m/d/yyyy", 43844, l, true), "1/15/2024");
  EXPECT_EQ(Show("dddd", 0, l, true), "Friday");
  EXPECT_EQ(Show("m/d/yyyy", 2957003, l, true), "12/31/9999");
  EXPECT_EQ(Show("m/d/yyyy", 2957004, l, true), "########");
}

TEST(DateRender, OutOfRangeDatesShowHashes) {
  EXPECT_EQ(Show("m/d/yyyy", -1), "########");
  EXPECT_EQ(Show("h:mm", -0.5), "########");
  EXPECT_EQ(Show("m/d/yyyy", 2958466), "########");
  EXPECT_EQ(Show("m/d/yyyy", 1e300), "########");
  EXPECT_EQ(Show("m/d/yyyy;\"negative\"", -1), "negative");
  EXPECT_EQ(Show("[h]:mm;-[h]:mm", -0.25), "-6:00");
}

TEST(DateRender, Times) {
  EXPECT_EQ(Show("h:mm AM/PM", 0.75), "6:00 PM");
  EXPECT_EQ(Show("h:mm AM/PM", 0), "12:00 AM");
  EXPECT_EQ(Show("h:mm AM/PM", 0.5), "12:00 PM");
  EXPECT_EQ(Show("hh:mm:ss am/pm", 0.25), "06:00:00 AM");
  EXPECT_EQ(Show("h:mm A/P", 0.75), "6:00 P");
  EXPECT_EQ(Show("h:mm a/p", 0.25), "6:00 a");
  EXPECT_EQ(Show("h:mm", 0.75), "18:00");
  EXPECT_EQ(Show("h:mm:ss", 0.5 + 1.0 / 86400 * 15), "12:00:15");
  EXPECT_EQ(Show("mm:ss", 0.5 + 90.0 / 86400), "01:30");
  EXPECT_EQ(Show("m/d/yyyy h:mm", kJan15 + 0.4375), "1/15/2024 10:30");
  EXPECT_EQ(Show("h:mm:ss.00", 1.0 / 86400 * 1.234), "0:00:01.23");
  EXPECT_EQ(Show("mm:ss.0", 1.0 / 86400 * 61.25), "01:01.3");
  LocaleSettings l;
  l.amText = "vorm.";
  l.pmText = "nachm.";
  EXPECT_EQ(Show("h:mm AM/PM", 0.75, l), "6:00 nachm.");
}

TEST(DateRender, TimeRoundsToTheSecondAndThenTruncates) {
  EXPECT_EQ(Show("h:mm", (10 * 3600 + 30 * 60 + 59) / 86400.0), "10:30");
  EXPECT_EQ(Show("h:mm:ss", (10 * 3600 + 30 * 60 + 59.6) / 86400.0), "10:31:00");
  EXPECT_EQ(Show("m/d/yyyy h:mm:ss", kJan15 + 0.9999999), "1/16/2024 0:00:00");
}

TEST(DateRender, ElapsedTime) {
  EXPECT_EQ(Show("[h]:mm", 2.5), "60:00");
  EXPECT_EQ(Show("[h]:mm:ss", 1.0 + 1.0 / 24 + 1.0 / 1440), "25:01:00");
  EXPECT_EQ(Show("[mm]:ss", 1.0 / 24), "60:00");
  EXPECT_EQ(Show("[s]", 1.0 / 1440), "60");
  EXPECT_EQ(Show("[hh]:mm", 1.0 / 24), "01:00");
}

TEST(DateRender, MonthOrMinuteByNeighbours) {
  EXPECT_EQ(Show("h:m", 0.5 + 5.0 / 1440), "12:5");
  EXPECT_EQ(Show("m:ss", 0.5 + 5.0 / 1440), "5:00");
  EXPECT_EQ(Show("m", 0.5 + 5.0 / 1440), "1");
  EXPECT_EQ(Show("hh \"h\" mm \"min\"", 0.5 + 5.0 / 1440), "12 h 05 min");
  EXPECT_EQ(Show("yyyy-mm-dd hh:mm", kJan15 + 0.5 + 5.0 / 1440), "2024-01-15 12:05");
}

TEST(SerialDate, RoundTripsEveryThousandthDay) {
  for (bool date1904 : {false, true}) {
    for (int serial = 1; serial <= MaxDateSerial(date1904); serial += 997) {
      CivilDate d = SerialToDate(serial, date1904);
      EXPECT_EQ(DateToSerial(d.year, d.month, d.day, date1904), serial) << serial;
    }
  }
  EXPECT_EQ(DateToSerial(1900, 2, 29, false), 60);
  EXPECT_EQ(DateToSerial(1900, 2, 29, true), -1);
  EXPECT_EQ(DateToSerial(2023, 2, 29, false), -1);
  EXPECT_EQ(DateToSerial(1899, 12, 31, false), -1);
  EXPECT_EQ(DateToSerial(10000, 1, 1, false), -1);
  EXPECT_EQ(DateToSerial(2024, 1, 15, false), 45306);
}

}  // namespace
}  // namespace engine::format::test
