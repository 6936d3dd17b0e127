#include "platform/rtl/DateUtils.h"

#include <gtest/gtest.h>

#include <cmath>
#include <ctime>
#include <limits>

#include "platform/rtl/Exceptions.h"

namespace {

// Restores the format settings a test changes.
class DateUtilsFormat : public ::testing::Test {
protected:
  void TearDown() override
  {
    DateSeparator = FDateSeparator;
    TimeSeparator = FTimeSeparator;
    ShortDateFormat = FShortDateFormat;
    LongDateFormat = FLongDateFormat;
  }

  // Tuesday 2024-03-05 14:07:09.045
  const TDateTime FValue = EncodeDate(2024, 3, 5) + EncodeTime(14, 7, 9, 45);

private:
  char FDateSeparator = DateSeparator;
  char FTimeSeparator = TimeSeparator;
  String FShortDateFormat = ShortDateFormat;
  String FLongDateFormat = LongDateFormat;
};

TEST_F(DateUtilsFormat, Specifiers)
{
  const struct {
    const char* Format;
    const char* Expected;
  } cases[] = {
      {"yyyy-mm-dd hh:nn:ss", "2024-03-05 14:07:09"},
      {"YYYY-MM-DD HH:NN:SS", "2024-03-05 14:07:09"},
      {"hh:mm", "14:07"},          // m right after h is minutes
      {"hh'h'mm", "14h07"},        // also across quoted text
      {"yyyy mm hh:mm", "2024 03 14:07"},
      {"d/m/yy", "5-3-24"},
      {"y", "24"},
      {"ddd dd mmm yyyy", "Tue 05 Mar 2024"},
      {"dddd, mmmm d", "Tuesday, March 5"},
      {"ddddd", "2024-03-05"},
      {"dddddd", "Tuesday, 5 March 2024"},
      {"h:n:s.z", "14:7:9.45"},
      {"hh:nn:ss.zzz", "14:07:09.045"},
      {"h:nn am/pm", "2:07 pm"},
      {"h:nn AM/PM", "2:07 PM"},
      {"hh:nn a/p", "02:07 p"},
      {"h:nn ampm", "2:07 PM"},
      {"hh:nn 'am/pm'", "14:07 am/pm"},   // quoted: no 12-hour clock
      {"'day' d \"of\" mmmm", "day 5 of March"},
      {"'hh' hh", "hh 14"},
      {"'open", "open"},                  // unterminated quote runs to the end
      {"c", "2024-03-05 14:07:09"},
      {"", "2024-03-05 14:07:09"},
      {"t", "14:07"},
      {"tt", "14:07:09"},
      {"dd.mm.yyyy # [x] a", "05.03.2024 # [x] a"},
  };
  for (const auto& c : cases) EXPECT_EQ(FormatDateTime(c.Format, FValue), c.Expected) << c.Format;
}

TEST_F(DateUtilsFormat, TwelveHourClockAroundMidnightAndNoon)
{
  const struct {
    Word Hour;
    const char* Expected;
  } cases[] = {{0, "12:30 AM"}, {11, "11:30 AM"}, {12, "12:30 PM"}, {23, "11:30 PM"}};
  for (const auto& c : cases)
    EXPECT_EQ(FormatDateTime("hh:nn AM/PM", EncodeTime(c.Hour, 30, 0, 0)), c.Expected) << c.Hour;
}

TEST_F(DateUtilsFormat, SettingsAreUsed)
{
  DateSeparator = '/';
  TimeSeparator = '.';
  EXPECT_EQ(FormatDateTime("dd/mm/yyyy hh:nn", FValue), "05/03/2024 14.07");
  ShortDateFormat = "d/m/yyyy";
  EXPECT_EQ(DateToStr(FValue), "5/3/2024");
  EXPECT_EQ(DateTimeToStr(FValue), "5/3/2024 14.07.09");
  EXPECT_EQ(TimeToStr(FValue), "14.07.09");
}

TEST_F(DateUtilsFormat, MidnightShowsTheDateOnly)
{
  EXPECT_EQ(DateTimeToStr(EncodeDate(2024, 3, 5)), "2024-03-05");
  EXPECT_EQ(FormatDateTime("c", 0.0), "1899-12-30");
  EXPECT_EQ(FormatDateTime("c", 0.5), "1899-12-30 12:00:00");
}

TEST_F(DateUtilsFormat, SelfReferringSettingsDoNotRecurseForEver)
{
  ShortDateFormat = "ddddd";
  LongDateFormat = "c";
  // Expansion stops two levels down; the rest of the format is still served.
  EXPECT_EQ(FormatDateTime("ddddd|dddddd|yyyy", FValue), "| 14:07:09|2024");
}

TEST_F(DateUtilsFormat, ValuesWithoutADateDoNotCrash)
{
  for (const double value : {std::numeric_limits<double>::quiet_NaN(), std::numeric_limits<double>::infinity(),
                             1e300, -1e9})
    EXPECT_EQ(FormatDateTime("yyyy-mm-dd ddd mmm", value), "0000-00-00  ") << value;
}

TEST(DateUtilsEncode, KnownDayNumbers)
{
  const struct {
    Word Year, Month, Day;
    double Expected;
  } cases[] = {{1899, 12, 30, 0},      {1899, 12, 29, -1},   {1970, 1, 1, 25569},  {2000, 1, 1, 36526},
               {2000, 2, 29, 36585},   {1, 1, 1, -693593},   {9999, 12, 31, 2958465}};
  for (const auto& c : cases) EXPECT_EQ(EncodeDate(c.Year, c.Month, c.Day), c.Expected) << c.Year;
}

TEST(DateUtilsEncode, EveryDayDecodesToTheNextCalendarDay)
{
  // Walks 1599-12-31 .. 2401-01-01 and checks each day follows the previous one.
  Word year = 1599, month = 12, day = 31;
  const int first = static_cast<int>(EncodeDate(1599, 12, 31));
  const int last = static_cast<int>(EncodeDate(2401, 1, 1));
  for (int n = first + 1; n <= last; ++n) {
    if (day < DaysInAMonth(year, month)) {
      ++day;
    } else {
      day = 1;
      if (++month > 12) {
        month = 1;
        ++year;
      }
    }
    Word y, m, d;
    DecodeDate(n, y, m, d);
    ASSERT_TRUE(y == year && m == month && d == day) << n << ": " << y << '-' << m << '-' << d;
    ASSERT_EQ(EncodeDate(year, month, day), n);
  }
}

TEST(DateUtilsEncode, InvalidArgumentsRaise)
{
  const struct {
    Word Year, Month, Day;
  } dates[] = {{2023, 2, 29}, {1900, 2, 29}, {2024, 4, 31}, {2024, 13, 1}, {2024, 0, 1},
               {2024, 1, 0},  {0, 1, 1},     {10000, 1, 1}};
  for (const auto& c : dates) {
    TDateTime value = -7;
    EXPECT_FALSE(TryEncodeDate(c.Year, c.Month, c.Day, value));
    EXPECT_EQ(value, -7);
    try {
      EncodeDate(c.Year, c.Month, c.Day);
      ADD_FAILURE() << c.Year << '-' << c.Month << '-' << c.Day;
    } catch (const EConvertError& E) {
      EXPECT_EQ(E.Message(), "Invalid argument to date encode");
    }
  }
  const struct {
    Word Hour, Min, Sec, MSec;
  } times[] = {{24, 0, 0, 0}, {0, 60, 0, 0}, {0, 0, 60, 0}, {0, 0, 0, 1000}};
  for (const auto& c : times) {
    try {
      EncodeTime(c.Hour, c.Min, c.Sec, c.MSec);
      ADD_FAILURE() << c.Hour << ':' << c.Min << ':' << c.Sec << '.' << c.MSec;
    } catch (const EConvertError& E) {
      EXPECT_EQ(E.Message(), "Invalid argument to time encode");
    }
  }
  EXPECT_THROW(EncodeDateTime(2023, 2, 29, 0, 0, 0, 0), EConvertError);
}

TEST(DateUtilsEncode, LeapYears)
{
  const struct {
    Word Year;
    bool Leap;
  } cases[] = {{1900, false}, {2000, true}, {2023, false}, {2024, true}, {2100, false}, {2400, true}};
  for (const auto& c : cases) {
    EXPECT_EQ(IsLeapYear(c.Year), c.Leap) << c.Year;
    EXPECT_EQ(DaysInAMonth(c.Year, 2), c.Leap ? 29 : 28) << c.Year;
  }
}

TEST(DateUtilsDecode, TimeRoundTripAndRounding)
{
  Word h, n, s, ms;
  DecodeTime(EncodeTime(23, 59, 59, 999), h, n, s, ms);
  EXPECT_EQ((std::vector<Word>{h, n, s, ms}), (std::vector<Word>{23, 59, 59, 999}));
  DecodeTime(EncodeTime(13, 5, 7, 1), h, n, s, ms);
  EXPECT_EQ((std::vector<Word>{h, n, s, ms}), (std::vector<Word>{13, 5, 7, 1}));

  // 0.6 ms before midnight is the next day's midnight, for the date as well.
  const TDateTime almost = EncodeDate(2024, 2, 29) + (MSecsPerDay - 0.4) / MSecsPerDay;
  Word y, m, d;
  DecodeDateTime(almost, y, m, d, h, n, s, ms);
  EXPECT_EQ((std::vector<Word>{y, m, d, h, n, s, ms}), (std::vector<Word>{2024, 3, 1, 0, 0, 0, 0}));
}

TEST(DateUtilsDecode, NegativeValuesCountTheTimeForwardFromTheDay)
{
  Word y, m, d, h, n, s, ms;
  DecodeDateTime(-1.25, y, m, d, h, n, s, ms);
  EXPECT_EQ((std::vector<Word>{y, m, d, h, n, s, ms}), (std::vector<Word>{1899, 12, 29, 6, 0, 0, 0}));
  EXPECT_EQ(EncodeDateTime(1899, 12, 29, 6, 0, 0, 0), -1.25);
  EXPECT_EQ(FormatDateTime("yyyy-mm-dd hh:nn", -1.25), "1899-12-29 06:00");

  // Arithmetic across 1899-12-30 follows the same rule.
  EXPECT_DOUBLE_EQ(IncHour(-1.25, 20), 2.0 / 24);
  EXPECT_DOUBLE_EQ(IncHour(2.0 / 24, -20), -1.25);
  EXPECT_DOUBLE_EQ(IncDay(-1.25, -1), -2.25);
  EXPECT_EQ(MilliSecondsBetween(-1.25, 0.0), 18LL * 3600 * 1000);
  EXPECT_EQ(SecondsBetween(0.0, -1.25), 18LL * 3600);

  const TTimeStamp stamp = DateTimeToTimeStamp(-1.25);
  EXPECT_EQ(stamp.Date, DateDelta - 1);
  EXPECT_EQ(stamp.Time, 6 * 3600 * 1000);
  EXPECT_EQ(TimeStampToDateTime(stamp), -1.25);
}

TEST(DateUtilsArithmetic, CountsBeyondTheMillisecondRangeAreAddedAsDays)
{
  const Int64 max = std::numeric_limits<Int64>::max(), min = std::numeric_limits<Int64>::min();
  const struct {
    TDateTime (*Inc)(TDateTime, Int64);
    Int64 Count;
    double MSecsPerUnit;
  } cases[] = {{IncHour, max, 3600000.0},        {IncHour, min, 3600000.0},
               {IncMinute, max / 1000, 60000.0}, {IncMinute, min / 1000, 60000.0},
               {IncSecond, min, 1000.0},         {IncMilliSecond, max, 1.0}};
  for (const auto& c : cases) {
    const double days = static_cast<double>(c.Count) * c.MSecsPerUnit / MSecsPerDay;
    EXPECT_DOUBLE_EQ(c.Inc(1.5, c.Count), 1.5 + days) << c.Count;
  }
}

TEST(DateUtilsDecode, DayOfWeekStartsOnSunday)
{
  const struct {
    TDateTime Value;
    int Expected;
  } cases[] = {{EncodeDate(2024, 3, 3), 1}, {EncodeDate(2024, 3, 5), 3},  {EncodeDate(1970, 1, 1), 5},
               {0.0, 7},                     {-1.75, 6},                    {EncodeDate(1, 1, 1), 2},
               {std::nan(""), 0}};
  for (const auto& c : cases) EXPECT_EQ(DayOfWeek(c.Value), c.Expected) << c.Value;
}

TEST(DateUtilsDecode, OutOfRangeDecodesToZero)
{
  for (const double value : {std::numeric_limits<double>::quiet_NaN(), 3e6, -7e5}) {
    Word y = 1, m = 1, d = 1;
    DecodeDate(value, y, m, d);
    EXPECT_EQ(y + m + d, 0) << value;
  }
}

TEST(DateUtilsStamps, DosDateRoundTrip)
{
  const TDateTime value = EncodeDateTime(2024, 3, 5, 14, 7, 9, 500);
  const int packed = DateTimeToFileDate(value);
  EXPECT_EQ(static_cast<std::uint32_t>(packed), 0x586570E4u);
  // Seconds are kept in steps of two.
  EXPECT_EQ(FileDateToDateTime(packed), EncodeDateTime(2024, 3, 5, 14, 7, 8, 0));
  EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(EncodeDateTime(2107, 12, 31, 23, 59, 58, 0))),
            EncodeDateTime(2107, 12, 31, 23, 59, 58, 0));
  EXPECT_EQ(FileDateToDateTime(DateTimeToFileDate(EncodeDate(1980, 1, 1))), EncodeDate(1980, 1, 1));

  EXPECT_EQ(DateTimeToFileDate(EncodeDate(1979, 12, 31)), 0);
  EXPECT_EQ(DateTimeToFileDate(EncodeDate(2108, 1, 1)), 0);

  // "No file" (-1) and zero hold no valid date.
  for (const int bad : {-1, 0}) {
    try {
      FileDateToDateTime(bad);
      ADD_FAILURE() << bad;
    } catch (const EConvertError& E) {
      EXPECT_EQ(E.Message(), "Invalid argument to date encode");
    }
  }
  // A valid date with 62 seconds.
  EXPECT_THROW(FileDateToDateTime(static_cast<int>(0x5865001Fu)), EConvertError);
}

TEST(DateUtilsStamps, UnixTime)
{
  const struct {
    Int64 Unix;
    TDateTime Value;
  } cases[] = {
      {0, 25569.0},
      {1700000000, EncodeDateTime(2023, 11, 14, 22, 13, 20, 0)},
      {-86400, 25568.0},
      {-2209161600LL, 0.0},
      {-2209226400LL, -1.25},  // 1899-12-29 06:00
      {253402300799LL, EncodeDateTime(9999, 12, 31, 23, 59, 59, 0)},
  };
  for (const auto& c : cases) {
    EXPECT_DOUBLE_EQ(UnixToDateTime(c.Unix), c.Value) << c.Unix;
    EXPECT_EQ(DateTimeToUnix(c.Value), c.Unix) << c.Unix;
  }
  // Rounds to the nearest second.
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime(1970, 1, 1, 0, 0, 1, 999)), 2);
  EXPECT_EQ(DateTimeToUnix(EncodeDateTime(1970, 1, 1, 0, 0, 1, 499)), 1);
}

TEST(DateUtilsClock, NowIsLocalTime)
{
  const std::time_t before = std::time(nullptr);
  const TDateTime now = Now();
  tm local{};
  localtime_r(&before, &local);
  const TDateTime expected = EncodeDateTime(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                                            static_cast<Word>(local.tm_mday), static_cast<Word>(local.tm_hour),
                                            static_cast<Word>(local.tm_min), static_cast<Word>(local.tm_sec), 0);
  EXPECT_GE(now, expected);
  EXPECT_LT(now - expected, 5.0 / SecsPerDay);
  EXPECT_EQ(Date(), std::trunc(Date()));
  EXPECT_LT(Time(), 1.0);
  EXPECT_GE(Time(), 0.0);
}

TEST_F(DateUtilsFormat, StrToDateAndTime)
{
  Word year, month, day;
  DecodeDate(Now(), year, month, day);
  const struct {
    const char* Text;
    TDateTime Expected;
  } dates[] = {
      {"2024-03-05", EncodeDate(2024, 3, 5)},
      {" 2024-3-5 ", EncodeDate(2024, 3, 5)},
      {"24-03-05", EncodeDate(2024, 3, 5)},
      {"03-05", EncodeDate(year, 3, 5)},
      {"0001-01-01", EncodeDate(1, 1, 1)},
  };
  for (const auto& c : dates) EXPECT_EQ(StrToDate(c.Text), c.Expected) << c.Text;

  const struct {
    const char* Text;
    TDateTime Expected;
  } times[] = {
      {"14:07", EncodeTime(14, 7, 0, 0)},
      {"14:07:09", EncodeTime(14, 7, 9, 0)},
      {"14:07:09.045", EncodeTime(14, 7, 9, 45)},
      {"14:07:09.5", EncodeTime(14, 7, 9, 500)},
      {"2:07 PM", EncodeTime(14, 7, 0, 0)},
      {"2 pm", EncodeTime(14, 0, 0, 0)},
      {"12:00 AM", 0.0},
      {"12:30 PM", EncodeTime(12, 30, 0, 0)},
  };
  for (const auto& c : times) EXPECT_EQ(StrToTime(c.Text), c.Expected) << c.Text;

  EXPECT_EQ(StrToDateTime("2024-03-05 14:07:09"), EncodeDateTime(2024, 3, 5, 14, 7, 9, 0));
  EXPECT_EQ(StrToDateTime("2024-03-05"), EncodeDate(2024, 3, 5));
  EXPECT_EQ(StrToDateTime("14:07"), EncodeTime(14, 7, 0, 0));
  EXPECT_EQ(StrToDateTime("1899-12-29 06:00"), -1.25);

  // The order of day, month and year comes from ShortDateFormat.
  ShortDateFormat = "dd/mm/yyyy";
  DateSeparator = '.';
  EXPECT_EQ(StrToDate("05.03.2024"), EncodeDate(2024, 3, 5));
  ShortDateFormat = "m/d/yy";
  EXPECT_EQ(StrToDate("3.5.2024"), EncodeDate(2024, 3, 5));
}

TEST_F(DateUtilsFormat, StrToDateErrors)
{
  const struct {
    TDateTime (*Convert)(const String&);
    const char* Text;
    const char* Message;
  } cases[] = {
      {StrToDate, "2024-02-30", "'2024-02-30' is not a valid date"},
      {StrToDate, "2024-03", "'2024-03' is not a valid date"},
      {StrToDate, "2024-03-05x", "'2024-03-05x' is not a valid date"},
      {StrToDate, "", "'' is not a valid date"},
      {StrToDate, "99999999999-1-1", "'99999999999-1-1' is not a valid date"},
      {StrToTime, "25:00", "'25:00' is not a valid time"},
      {StrToTime, "14", "'14' is not a valid time"},
      {StrToTime, "13:00 PM", "'13:00 PM' is not a valid time"},
      {StrToTime, "10:61", "'10:61' is not a valid time"},
      {StrToDateTime, "2024-03-05 25:00", "'2024-03-05 25:00' is not a valid date and time"},
      {StrToDateTime, "soon", "'soon' is not a valid date and time"},
  };
  for (const auto& c : cases) {
    try {
      c.Convert(c.Text);
      ADD_FAILURE() << c.Text;
    } catch (const EConvertError& E) {
      EXPECT_EQ(E.Message(), c.Message);
    }
  }
  TDateTime value = 7;
  EXPECT_FALSE(TryStrToDateTime("soon", value));
  EXPECT_EQ(value, 7);
}

}  // namespace
