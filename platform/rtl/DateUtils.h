// Date and time as the class library has them: TDateTime counts days since 1899-12-30 and
// keeps the time of day in the fraction. Encoding, decoding, the clock, DOS and Unix stamps,
// FormatDateTime and the string conversions.
//
// Negative values: the integer part is the day (counted back from 1899-12-30) and the
// fraction's absolute value is the time of day, so -1.25 is 1899-12-29 06:00. Every routine
// here decodes and builds values by that rule.
#pragma once

#include "platform/rtl/System.h"

using TDateTime = double;

constexpr int HoursPerDay = 24;
constexpr int MinsPerDay = 1440;
constexpr int SecsPerDay = 86400;
constexpr int MSecsPerDay = 86400000;
constexpr double UnixDateDelta = 25569.0;  // 1970-01-01 as a TDateTime
constexpr int DateDelta = 693594;          // days from 0001-01-01 (day 1) to 1899-12-30

// A date-time split into milliseconds of the day and days since 0001-01-01 (which is day 1).
struct TTimeStamp {
  int Time;
  int Date;
};

// Format settings, locale-free defaults. Month and day name arrays count from 0:
// ShortMonthNames[0] is January, ShortDayNames[0] is Sunday.
extern char DateSeparator;        // '-'
extern char TimeSeparator;        // ':'
extern String ShortDateFormat;    // "yyyy-mm-dd"
extern String LongDateFormat;     // "dddd, d mmmm yyyy"
extern String ShortTimeFormat;    // "hh:nn"
extern String LongTimeFormat;     // "hh:nn:ss"
extern String TimeAMString;       // "AM"
extern String TimePMString;       // "PM"
extern String ShortMonthNames[12];
extern String LongMonthNames[12];
extern String ShortDayNames[7];
extern String LongDayNames[7];
// Two-digit years read by StrToDate fall within this many years before the current year
// and the rest of its century ahead; 0 puts them in the current century.
extern Word TwoDigitYearCenturyWindow;  // 50

// The local clock.
TDateTime Now();
TDateTime Date();
TDateTime Time();

bool IsLeapYear(Word Year);
Word DaysInAMonth(Word Year, Word Month);  // 0 for a month outside 1..12

// Years 1..9999. The Encode routines raise EConvertError "Invalid argument to date encode"
// (or "... time encode") where the Try routines return false.
TDateTime EncodeDate(Word Year, Word Month, Word Day);
TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec);
bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date);
bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time);
TDateTime EncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec);
bool TryEncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec,
                       TDateTime& Value);

// Decoding rounds to the millisecond (23:59:59.9996 is the next day's 00:00:00.000). A value
// outside years 1..9999 (or not a number) decodes to year, month and day 0.
void DecodeDate(TDateTime DateTime, Word& Year, Word& Month, Word& Day);
void DecodeTime(TDateTime DateTime, Word& Hour, Word& Min, Word& Sec, Word& MSec);
void DecodeDateTime(TDateTime DateTime, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min,
                    Word& Sec, Word& MSec);

// 1 = Sunday ... 7 = Saturday; 0 for a value outside years 1..9999.
int DayOfWeek(TDateTime DateTime);

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime);
TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp);

// Arithmetic that honours the rule for negative values.
TDateTime IncDay(TDateTime DateTime, int NumberOfDays = 1);
TDateTime IncHour(TDateTime DateTime, Int64 NumberOfHours = 1);
TDateTime IncMinute(TDateTime DateTime, Int64 NumberOfMinutes = 1);
TDateTime IncSecond(TDateTime DateTime, Int64 NumberOfSeconds = 1);
TDateTime IncMilliSecond(TDateTime DateTime, Int64 NumberOfMilliSeconds = 1);
Int64 MilliSecondsBetween(TDateTime Now, TDateTime Then);  // always >= 0
Int64 SecondsBetween(TDateTime Now, TDateTime Then);       // whole seconds, >= 0

// DOS packed local date and time (date in the high word, seconds in steps of two).
// FileDateToDateTime raises EConvertError for a value that holds no valid date or time
// (such as -1, "no file"); DateTimeToFileDate gives 0 outside years 1980..2107.
TDateTime FileDateToDateTime(int FileDate);
int DateTimeToFileDate(TDateTime DateTime);

// Seconds since 1970-01-01 00:00, taken as they are: no time-zone shift.
TDateTime UnixToDateTime(Int64 UnixTime);
Int64 DateTimeToUnix(TDateTime Value);

// Formats with the class library's specifiers (case-insensitive):
//   c        ShortDateFormat, then LongTimeFormat unless the time is exactly midnight
//   d dd     day, without / with leading zero      ddd dddd    ShortDayNames / LongDayNames
//   ddddd    ShortDateFormat                        dddddd      LongDateFormat
//   m mm     month (minutes right after h or hh)    mmm mmmm    ShortMonthNames / LongMonthNames
//   yy yyyy  two-digit / four-digit year
//   h hh  n nn  s ss   hour, minute, second without / with leading zero
//   z zzz    milliseconds without / with leading zeros
//   t tt     ShortTimeFormat / LongTimeFormat
//   am/pm a/p ampm   12-hour clock for the h before it; "am/pm" and "a/p" keep their letter
//            case ("AM/PM" gives "PM"), ampm gives TimeAMString / TimePMString
//   /  :     DateSeparator / TimeSeparator
//   'text' "text"   literal text; any other character is copied as it is.
// An empty Format means "c".
String FormatDateTime(const String& Format, TDateTime DateTime);
String DateTimeToStr(TDateTime DateTime);  // "c"
String DateToStr(TDateTime DateTime);      // ShortDateFormat
String TimeToStr(TDateTime DateTime);      // LongTimeFormat

// Reads dates as numbers separated by DateSeparator, in the order of ShortDateFormat's day,
// month and year; the year may be left out (current year) or given with two digits. Times are
// hours, minutes, seconds separated by TimeSeparator, milliseconds after '.', with an optional
// TimeAMString/TimePMString. Leading and trailing blanks are allowed.
// Raise EConvertError "'x' is not a valid date" (time, date and time).
TDateTime StrToDate(const String& S);
TDateTime StrToTime(const String& S);
TDateTime StrToDateTime(const String& S);
bool TryStrToDate(const String& S, TDateTime& Value);
bool TryStrToTime(const String& S, TDateTime& Value);
bool TryStrToDateTime(const String& S, TDateTime& Value);
