#include "platform/rtl/DateUtils.h"

#include <cmath>
#include <ctime>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"

char DateSeparator = '-';
char TimeSeparator = ':';
String ShortDateFormat = "yyyy-mm-dd";
String LongDateFormat = "dddd, d mmmm yyyy";
String ShortTimeFormat = "hh:nn";
String LongTimeFormat = "hh:nn:ss";
String TimeAMString = "AM";
String TimePMString = "PM";
String ShortMonthNames[12] = {"Jan", "Feb", "Mar", "Apr", "May", "Jun",
                              "Jul", "Aug", "Sep", "Oct", "Nov", "Dec"};
String LongMonthNames[12] = {"January", "February", "March",     "April",   "May",      "June",
                             "July",    "August",   "September", "October", "November", "December"};
String ShortDayNames[7] = {"Sun", "Mon", "Tue", "Wed", "Thu", "Fri", "Sat"};
String LongDayNames[7] = {"Sunday", "Monday", "Tuesday", "Wednesday", "Thursday", "Friday", "Saturday"};
Word TwoDigitYearCenturyWindow = 50;

namespace {

constexpr int MaxDateStamp = 3652059;  // 9999-12-31 as days since 0001-01-01 (day 1)
constexpr Int64 MSecsPerDay64 = MSecsPerDay;

// A date-time as a whole day number (relative to 1899-12-30) and the milliseconds of that day.
struct TDayTime {
  Int64 Day;
  Int64 MSec;
};

// Splits by the rule for negative values, rounding to the millisecond. False for values
// outside years 1..9999 and for non-numbers.
bool SplitDateTime(TDateTime Value, TDayTime& Result)
{
  if (!std::isfinite(Value)) return false;
  const double day = std::trunc(Value);
  if (day < -DateDelta || day > MaxDateStamp - DateDelta) return false;
  Result.Day = static_cast<Int64>(day);
  Result.MSec = std::llround(std::fabs(Value - day) * MSecsPerDay);
  if (Result.MSec >= MSecsPerDay64) {  // rounded up to the next midnight
    ++Result.Day;
    Result.MSec = 0;
  }
  return Result.Day + DateDelta >= 1 && Result.Day + DateDelta <= MaxDateStamp;
}

TDateTime JoinDateTime(Int64 Day, Int64 MSec)
{
  const double time = static_cast<double>(MSec) / MSecsPerDay;
  return Day >= 0 ? static_cast<double>(Day) + time : static_cast<double>(Day) - time;
}

// Milliseconds on one continuous axis: 1899-12-30 00:00 is 0.
bool ToLinear(TDateTime Value, Int64& Result)
{
  TDayTime split;
  if (!SplitDateTime(Value, split)) return false;
  Result = split.Day * MSecsPerDay64 + split.MSec;
  return true;
}

TDateTime FromLinear(Int64 MSecs)
{
  Int64 day = MSecs / MSecsPerDay64;
  Int64 msec = MSecs % MSecsPerDay64;
  if (msec < 0) {
    --day;
    msec += MSecsPerDay64;
  }
  return JoinDateTime(day, msec);
}

constexpr Word MonthDays[2][12] = {{31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31},
                                   {31, 29, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31}};

// Days since 0001-01-01 (day 1) of a valid date.
int DateToStamp(Word Year, Word Month, Word Day)
{
  const Word* days = MonthDays[IsLeapYear(Year) ? 1 : 0];
  int result = Day;
  for (int m = 0; m < Month - 1; ++m) result += days[m];
  const int y = Year - 1;
  return result + y * 365 + y / 4 - y / 100 + y / 400;
}

void StampToDate(int Stamp, Word& Year, Word& Month, Word& Day)
{
  int t = Stamp - 1;
  int year = 1 + (t / 146097) * 400;
  t %= 146097;
  int n = t / 36524;
  if (n == 4) n = 3;  // the last day of a 400-year cycle
  year += n * 100;
  t -= n * 36524;
  year += (t / 1461) * 4;
  t %= 1461;
  n = t / 365;
  if (n == 4) n = 3;  // the last day of a leap year
  year += n;
  t -= n * 365;
  const Word* days = MonthDays[IsLeapYear(static_cast<Word>(year)) ? 1 : 0];
  int month = 0;
  while (t >= days[month]) t -= days[month++];
  Year = static_cast<Word>(year);
  Month = static_cast<Word>(month + 1);
  Day = static_cast<Word>(t + 1);
}

}  // namespace

bool IsLeapYear(Word Year)
{
  return Year % 4 == 0 && (Year % 100 != 0 || Year % 400 == 0);
}

Word DaysInAMonth(Word Year, Word Month)
{
  if (Month < 1 || Month > 12) return 0;
  return MonthDays[IsLeapYear(Year) ? 1 : 0][Month - 1];
}

bool TryEncodeDate(Word Year, Word Month, Word Day, TDateTime& Date)
{
  if (Year < 1 || Year > 9999 || Month < 1 || Month > 12 || Day < 1 || Day > DaysInAMonth(Year, Month))
    return false;
  Date = DateToStamp(Year, Month, Day) - DateDelta;
  return true;
}

bool TryEncodeTime(Word Hour, Word Min, Word Sec, Word MSec, TDateTime& Time)
{
  if (Hour >= HoursPerDay || Min >= 60 || Sec >= 60 || MSec >= 1000) return false;
  Time = static_cast<double>(((Hour * 60 + Min) * 60 + Sec) * 1000 + MSec) / MSecsPerDay;
  return true;
}

TDateTime EncodeDate(Word Year, Word Month, Word Day)
{
  TDateTime result;
  if (!TryEncodeDate(Year, Month, Day, result)) throw EConvertError(RtlConsts::SDateEncodeError);
  return result;
}

TDateTime EncodeTime(Word Hour, Word Min, Word Sec, Word MSec)
{
  TDateTime result;
  if (!TryEncodeTime(Hour, Min, Sec, MSec, result)) throw EConvertError(RtlConsts::STimeEncodeError);
  return result;
}

bool TryEncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec,
                       TDateTime& Value)
{
  TDateTime date, time;
  if (!TryEncodeDate(Year, Month, Day, date) || !TryEncodeTime(Hour, Min, Sec, MSec, time)) return false;
  Value = date >= 0 ? date + time : date - time;
  return true;
}

TDateTime EncodeDateTime(Word Year, Word Month, Word Day, Word Hour, Word Min, Word Sec, Word MSec)
{
  const TDateTime date = EncodeDate(Year, Month, Day);
  const TDateTime time = EncodeTime(Hour, Min, Sec, MSec);
  return date >= 0 ? date + time : date - time;
}

TTimeStamp DateTimeToTimeStamp(TDateTime DateTime)
{
  TDayTime split;
  if (!SplitDateTime(DateTime, split)) return TTimeStamp{0, 0};
  return TTimeStamp{static_cast<int>(split.MSec), static_cast<int>(split.Day + DateDelta)};
}

TDateTime TimeStampToDateTime(const TTimeStamp& TimeStamp)
{
  return JoinDateTime(static_cast<Int64>(TimeStamp.Date) - DateDelta, TimeStamp.Time);
}

void DecodeDate(TDateTime DateTime, Word& Year, Word& Month, Word& Day)
{
  TDayTime split;
  if (!SplitDateTime(DateTime, split)) {
    Year = Month = Day = 0;
    return;
  }
  StampToDate(static_cast<int>(split.Day + DateDelta), Year, Month, Day);
}

void DecodeTime(TDateTime DateTime, Word& Hour, Word& Min, Word& Sec, Word& MSec)
{
  TDayTime split;
  if (!SplitDateTime(DateTime, split)) split.MSec = 0;
  Int64 ms = split.MSec;
  MSec = static_cast<Word>(ms % 1000);
  ms /= 1000;
  Sec = static_cast<Word>(ms % 60);
  ms /= 60;
  Min = static_cast<Word>(ms % 60);
  Hour = static_cast<Word>(ms / 60);
}

void DecodeDateTime(TDateTime DateTime, Word& Year, Word& Month, Word& Day, Word& Hour, Word& Min,
                    Word& Sec, Word& MSec)
{
  DecodeDate(DateTime, Year, Month, Day);
  DecodeTime(DateTime, Hour, Min, Sec, MSec);
}

int DayOfWeek(TDateTime DateTime)
{
  TDayTime split;
  if (!SplitDateTime(DateTime, split)) return 0;
  // 0001-01-01 (day 1) was a Monday.
  return static_cast<int>((split.Day + DateDelta) % 7) + 1;
}

TDateTime Now()
{
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  tm local{};
  localtime_r(&now.tv_sec, &local);
  const Word sec = static_cast<Word>(local.tm_sec > 59 ? 59 : local.tm_sec);  // leap second
  return EncodeDateTime(static_cast<Word>(local.tm_year + 1900), static_cast<Word>(local.tm_mon + 1),
                        static_cast<Word>(local.tm_mday), static_cast<Word>(local.tm_hour),
                        static_cast<Word>(local.tm_min), sec, static_cast<Word>(now.tv_nsec / 1000000));
}

TDateTime Date()
{
  return std::trunc(Now());
}

TDateTime Time()
{
  const TDateTime now = Now();
  return now - std::trunc(now);
}

namespace {

// Adds Count units of UnitMSecs milliseconds. A value without a date, or a count whose
// milliseconds do not fit 64 bits, is moved by the plain number of days instead.
TDateTime IncMSecs(TDateTime DateTime, Int64 Count, Int64 UnitMSecs)
{
  Int64 msecs, linear;
  if (__builtin_mul_overflow(Count, UnitMSecs, &msecs) || !ToLinear(DateTime, linear) ||
      __builtin_add_overflow(linear, msecs, &linear))
    return DateTime + static_cast<double>(Count) * static_cast<double>(UnitMSecs) / MSecsPerDay;
  return FromLinear(linear);
}

}  // namespace

TDateTime IncMilliSecond(TDateTime DateTime, Int64 NumberOfMilliSeconds)
{
  return IncMSecs(DateTime, NumberOfMilliSeconds, 1);
}

TDateTime IncSecond(TDateTime DateTime, Int64 NumberOfSeconds)
{
  return IncMSecs(DateTime, NumberOfSeconds, 1000);
}

TDateTime IncMinute(TDateTime DateTime, Int64 NumberOfMinutes)
{
  return IncMSecs(DateTime, NumberOfMinutes, 60000);
}

TDateTime IncHour(TDateTime DateTime, Int64 NumberOfHours)
{
  return IncMSecs(DateTime, NumberOfHours, 3600000);
}

TDateTime IncDay(TDateTime DateTime, int NumberOfDays)
{
  return IncMSecs(DateTime, NumberOfDays, MSecsPerDay64);
}

Int64 MilliSecondsBetween(TDateTime Now, TDateTime Then)
{
  Int64 a, b;
  if (!ToLinear(Now, a) || !ToLinear(Then, b)) return std::llround(std::fabs(Now - Then) * MSecsPerDay);
  return a > b ? a - b : b - a;
}

Int64 SecondsBetween(TDateTime Now, TDateTime Then)
{
  return MilliSecondsBetween(Now, Then) / 1000;
}

TDateTime FileDateToDateTime(int FileDate)
{
  const auto packed = static_cast<std::uint32_t>(FileDate);
  const Word date = static_cast<Word>(packed >> 16);
  const Word time = static_cast<Word>(packed & 0xFFFF);
  return EncodeDate(static_cast<Word>((date >> 9) + 1980), (date >> 5) & 15, date & 31) +
         EncodeTime(time >> 11, (time >> 5) & 63, (time & 31) * 2, 0);
}

int DateTimeToFileDate(TDateTime DateTime)
{
  Word year, month, day, hour, min, sec, msec;
  DecodeDateTime(DateTime, year, month, day, hour, min, sec, msec);
  if (year < 1980 || year > 2107) return 0;
  const std::uint32_t date = static_cast<std::uint32_t>(((year - 1980) << 9) | (month << 5) | day);
  const std::uint32_t time = static_cast<std::uint32_t>((hour << 11) | (min << 5) | (sec >> 1));
  return static_cast<int>((date << 16) | time);
}

TDateTime UnixToDateTime(Int64 UnixTime)
{
  // Beyond about 290 million years milliseconds overflow; such values are no dates anyway.
  constexpr Int64 Limit = 9000000000000000LL / 1000;
  if (UnixTime > Limit || UnixTime < -Limit) return UnixDateDelta + static_cast<double>(UnixTime) / SecsPerDay;
  return FromLinear(static_cast<Int64>(UnixDateDelta) * MSecsPerDay64 + UnixTime * 1000);
}

Int64 DateTimeToUnix(TDateTime Value)
{
  Int64 linear;
  if (!ToLinear(Value, linear)) {
    if (!std::isfinite(Value)) return 0;
    return std::llround((Value - UnixDateDelta) * SecsPerDay);
  }
  const Int64 ms = linear - static_cast<Int64>(UnixDateDelta) * MSecsPerDay64;
  // Round to the nearest second, halves away from zero.
  return ms >= 0 ? (ms + 500) / 1000 : -((-ms + 500) / 1000);
}

// ---------------------------------------------------------------------------------------------
// FormatDateTime

namespace {

struct TDecoded {
  Word Year, Month, Day, Hour, Min, Sec, MSec;
  int DayOfWeek;
};

bool StartsWithText(const String& S, std::size_t Pos, const char* Text)
{
  for (std::size_t i = 0; Text[i] != '\0'; ++i)
    if (Pos + i >= S.size() || UpCase(S[Pos + i]) != UpCase(Text[i])) return false;
  return true;
}

void AppendNumber(String& Out, int Value, int Digits)
{
  String text = std::to_string(Value);
  if (static_cast<int>(text.size()) < Digits) Out.append(Digits - text.size(), '0');
  Out += text;
}

// Whether an am/pm marker follows the h at Pos before the next h, outside quoted text.
bool Uses12HourClock(const String& Format, std::size_t Pos)
{
  char quote = 0;
  for (; Pos < Format.size(); ++Pos) {
    const char c = Format[Pos];
    if (quote) {
      if (c == quote) quote = 0;
    } else if (c == '\'' || c == '"') {
      quote = c;
    } else if (c == 'h' || c == 'H') {
      return false;
    } else if ((c == 'a' || c == 'A') &&
               (StartsWithText(Format, Pos, "am/pm") || StartsWithText(Format, Pos, "a/p") ||
                StartsWithText(Format, Pos, "ampm"))) {
      return true;
    }
  }
  return false;
}

// Nested formats (ddddd, c, t ...) are expanded two levels deep at most, so a setting that
// names itself cannot recurse without end.
constexpr int MaxNesting = 2;

void AppendFormat(String& Out, const String& Format, const TDecoded& D, int Level)
{
  if (Level > MaxNesting) return;
  char lastToken = ' ';
  std::size_t i = 0;
  while (i < Format.size()) {
    const char starter = Format[i];
    char token = UpCase(starter);
    if (token >= 'A' && token <= 'Z') {
      if (token == 'M' && lastToken == 'H') token = 'N';
      lastToken = token;
    }
    // Length of the run of the same letter in either case.
    std::size_t count = 1;
    while (i + count < Format.size() && UpCase(Format[i + count]) == UpCase(starter)) ++count;
    switch (token) {
      case 'Y':
        if (count <= 2)
          AppendNumber(Out, D.Year % 100, 2);
        else
          AppendNumber(Out, D.Year, 4);
        i += count;
        break;
      case 'M':
        if (count == 1)
          AppendNumber(Out, D.Month, 0);
        else if (count == 2)
          AppendNumber(Out, D.Month, 2);
        else if (D.Month >= 1 && D.Month <= 12)
          Out += count == 3 ? ShortMonthNames[D.Month - 1] : LongMonthNames[D.Month - 1];
        i += count;
        break;
      case 'D':
        switch (count) {
          case 1: AppendNumber(Out, D.Day, 0); break;
          case 2: AppendNumber(Out, D.Day, 2); break;
          case 3:
            if (D.DayOfWeek >= 1) Out += ShortDayNames[D.DayOfWeek - 1];
            break;
          case 4:
            if (D.DayOfWeek >= 1) Out += LongDayNames[D.DayOfWeek - 1];
            break;
          case 5: AppendFormat(Out, ShortDateFormat, D, Level + 1); break;
          default: AppendFormat(Out, LongDateFormat, D, Level + 1); break;
        }
        i += count;
        break;
      case 'H': {
        int hour = D.Hour;
        if (Uses12HourClock(Format, i + count)) {
          hour %= 12;
          if (hour == 0) hour = 12;
        }
        AppendNumber(Out, hour, count == 1 ? 0 : 2);
        i += count;
        break;
      }
      case 'N':
        AppendNumber(Out, D.Min, count == 1 ? 0 : 2);
        i += count;
        break;
      case 'S':
        AppendNumber(Out, D.Sec, count == 1 ? 0 : 2);
        i += count;
        break;
      case 'Z':
        AppendNumber(Out, D.MSec, count < 3 ? 0 : 3);
        i += count;
        break;
      case 'T':
        AppendFormat(Out, count == 1 ? ShortTimeFormat : LongTimeFormat, D, Level + 1);
        i += count;
        break;
      case 'C':
        AppendFormat(Out, ShortDateFormat, D, Level + 1);
        if (D.Hour != 0 || D.Min != 0 || D.Sec != 0 || D.MSec != 0) {
          Out += ' ';
          AppendFormat(Out, LongTimeFormat, D, Level + 1);
        }
        i += count;
        break;
      case 'A':
        if (StartsWithText(Format, i, "am/pm")) {
          Out += D.Hour < 12 ? Format.substr(i, 2) : Format.substr(i + 3, 2);
          i += 5;
        } else if (StartsWithText(Format, i, "a/p")) {
          Out += D.Hour < 12 ? Format[i] : Format[i + 2];
          i += 3;
        } else if (StartsWithText(Format, i, "ampm")) {
          Out += D.Hour < 12 ? TimeAMString : TimePMString;
          i += 4;
        } else {
          Out += starter;
          ++i;
        }
        break;
      case '/':
        Out += DateSeparator;
        ++i;
        break;
      case ':':
        Out += TimeSeparator;
        ++i;
        break;
      case '\'':
      case '"': {
        // Literal text up to the closing quote (or the end).
        const std::size_t close = Format.find(starter, i + 1);
        const std::size_t end = close == String::npos ? Format.size() : close;
        Out.append(Format, i + 1, end - i - 1);
        i = close == String::npos ? end : close + 1;
        break;
      }
      default:
        Out += starter;
        ++i;
        break;
    }
  }
}

}  // namespace

String FormatDateTime(const String& Format, TDateTime DateTime)
{
  TDecoded d;
  DecodeDateTime(DateTime, d.Year, d.Month, d.Day, d.Hour, d.Min, d.Sec, d.MSec);
  d.DayOfWeek = DayOfWeek(DateTime);
  String result;
  AppendFormat(result, Format.empty() ? String("c") : Format, d, 0);
  return result;
}

String DateTimeToStr(TDateTime DateTime)
{
  return FormatDateTime("c", DateTime);
}

String DateToStr(TDateTime DateTime)
{
  return FormatDateTime(ShortDateFormat, DateTime);
}

String TimeToStr(TDateTime DateTime)
{
  return FormatDateTime(LongTimeFormat, DateTime);
}

// ---------------------------------------------------------------------------------------------
// StrToDate, StrToTime, StrToDateTime

namespace {

enum TDateOrder { doMDY, doDMY, doYMD };

TDateOrder GetDateOrder(const String& Format)
{
  char quote = 0;
  for (const char c : Format) {
    if (quote) {
      if (c == quote) quote = 0;
      continue;
    }
    switch (UpCase(c)) {
      case '\'':
      case '"': quote = c; break;
      case 'D': return doDMY;
      case 'M': return doMDY;
      case 'Y': return doYMD;
      default: break;
    }
  }
  return doMDY;
}

class TScanner {
public:
  explicit TScanner(const String& S) : FText(S) {}

  void SkipBlanks()
  {
    while (FPos < FText.size() && FText[FPos] == ' ') ++FPos;
  }
  bool AtEnd()
  {
    SkipBlanks();
    return FPos >= FText.size();
  }
  bool Char(char C)
  {
    if (C != ' ') SkipBlanks();
    if (FPos < FText.size() && FText[FPos] == C) {
      ++FPos;
      return true;
    }
    return false;
  }
  // A decimal number of at most 9 digits; Digits tells how many it had.
  bool Number(int& Value, int& Digits)
  {
    SkipBlanks();
    Value = 0;
    Digits = 0;
    while (FPos < FText.size() && (FText[FPos] >= '0' && FText[FPos] <= '9')) {
      if (++Digits > 9) return false;
      Value = Value * 10 + (FText[FPos++] - '0');
    }
    return Digits > 0;
  }
  bool Text(const String& Value)
  {
    SkipBlanks();
    if (Value.empty() || !StartsWithText(FText, FPos, Value.c_str())) return false;
    FPos += Value.size();
    return true;
  }
  std::size_t Pos() const { return FPos; }
  void SetPos(std::size_t Value) { FPos = Value; }

private:
  const String& FText;
  std::size_t FPos = 0;
};

int CurrentYear()
{
  Word year, month, day;
  DecodeDate(Now(), year, month, day);
  return year;
}

bool ScanDate(TScanner& S, TDateTime& Value)
{
  int n1, n2, n3 = 0, l1, l2, l3 = 0;
  if (!S.Number(n1, l1) || !S.Char(DateSeparator) || !S.Number(n2, l2)) return false;
  const bool hasYear = S.Char(DateSeparator);
  if (hasYear && !S.Number(n3, l3)) return false;
  int year, month, day, yearDigits;
  const TDateOrder order = GetDateOrder(ShortDateFormat);
  if (!hasYear) {
    year = CurrentYear();
    yearDigits = 4;
    if (order == doDMY) {
      day = n1;
      month = n2;
    } else {
      month = n1;
      day = n2;
    }
  } else if (order == doMDY) {
    month = n1, day = n2, year = n3, yearDigits = l3;
  } else if (order == doDMY) {
    day = n1, month = n2, year = n3, yearDigits = l3;
  } else {
    year = n1, yearDigits = l1, month = n2, day = n3;
  }
  if (yearDigits <= 2 && year <= 99) {
    const int current = CurrentYear();
    if (TwoDigitYearCenturyWindow > 0) {
      const int pivot = current - TwoDigitYearCenturyWindow;
      year += pivot / 100 * 100;
      if (year < pivot) year += 100;
    } else {
      year += current / 100 * 100;
    }
  }
  if (year > 9999 || month > 12 || day > 31) return false;
  return TryEncodeDate(static_cast<Word>(year), static_cast<Word>(month), static_cast<Word>(day), Value);
}

// 0 none, 1 AM, 2 PM.
int ScanAmPm(TScanner& S)
{
  if (S.Text(TimeAMString) || S.Text("AM")) return 1;
  if (S.Text(TimePMString) || S.Text("PM")) return 2;
  return 0;
}

bool ScanTime(TScanner& S, TDateTime& Value)
{
  int amPm = ScanAmPm(S);
  int hour, min = 0, sec = 0, msec = 0, digits;
  if (!S.Number(hour, digits)) return false;
  bool separated = false;
  if (S.Char(TimeSeparator)) {
    separated = true;
    if (!S.Number(min, digits)) return false;
    if (S.Char(TimeSeparator)) {
      if (!S.Number(sec, digits)) return false;
      if (S.Char('.')) {
        // A fraction of a second: ".5" is 500 ms; digits after the third are dropped.
        int fraction;
        if (!S.Number(fraction, digits)) return false;
        while (digits > 3) fraction /= 10, --digits;
        while (digits < 3) fraction *= 10, ++digits;
        msec = fraction;
      }
    }
  }
  if (amPm == 0) amPm = ScanAmPm(S);
  if (!separated && amPm == 0) return false;
  if (amPm != 0) {
    if (hour < 1 || hour > 12) return false;
    if (amPm == 1 && hour == 12) hour = 0;
    if (amPm == 2 && hour < 12) hour += 12;
  }
  if (hour > 23 || min > 59 || sec > 59) return false;
  return TryEncodeTime(static_cast<Word>(hour), static_cast<Word>(min), static_cast<Word>(sec),
                       static_cast<Word>(msec), Value);
}

}  // namespace

bool TryStrToDate(const String& S, TDateTime& Value)
{
  TScanner scanner(S);
  TDateTime date;
  if (!ScanDate(scanner, date) || !scanner.AtEnd()) return false;
  Value = date;
  return true;
}

bool TryStrToTime(const String& S, TDateTime& Value)
{
  TScanner scanner(S);
  TDateTime time;
  if (!ScanTime(scanner, time) || !scanner.AtEnd()) return false;
  Value = time;
  return true;
}

bool TryStrToDateTime(const String& S, TDateTime& Value)
{
  TScanner scanner(S);
  TDateTime date, time;
  if (ScanDate(scanner, date)) {
    if (scanner.AtEnd()) {
      Value = date;
      return true;
    }
    if (!ScanTime(scanner, time) || !scanner.AtEnd()) return false;
    Value = date >= 0 ? date + time : date - time;
    return true;
  }
  return TryStrToTime(S, Value);
}

TDateTime StrToDate(const String& S)
{
  TDateTime result;
  if (!TryStrToDate(S, result)) throw EConvertError(RtlConsts::SInvalidDate, {S});
  return result;
}

TDateTime StrToTime(const String& S)
{
  TDateTime result;
  if (!TryStrToTime(S, result)) throw EConvertError(RtlConsts::SInvalidTime, {S});
  return result;
}

TDateTime StrToDateTime(const String& S)
{
  TDateTime result;
  if (!TryStrToDateTime(S, result)) throw EConvertError(RtlConsts::SInvalidDateTime, {S});
  return result;
}
