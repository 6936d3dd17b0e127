#include "platform/rtl/Convert.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdlib>
#include <limits>
#include <system_error>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"

char DecimalSeparator = '.';
char ThousandSeparator = ',';

// --- Integers ------------------------------------------------------------------------------

String IntToStr(Int64 Value)
{
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, Value);
  (void)ec;
  return String(buffer, end);
}

String UIntToStr(UInt64 Value)
{
  char buffer[24];
  const auto [end, ec] = std::to_chars(buffer, buffer + sizeof buffer, Value);
  (void)ec;
  return String(buffer, end);
}

String IntToHex(UInt64 Value, int Digits)
{
  static const char hex[] = "0123456789ABCDEF";
  String result;
  do {
    result.insert(result.begin(), hex[Value & 0xF]);
    Value >>= 4;
  } while (Value != 0);
  if (static_cast<int>(result.size()) < Digits)
    result.insert(0, static_cast<size_t>(Digits) - result.size(), '0');
  return result;
}

String IntToHex(Int64 Value, int Digits)
{
  return IntToHex(static_cast<UInt64>(Value), Digits);
}

namespace {

// Val's integer syntax. Decimal magnitudes up to MaxDecimal (the larger of the two signs'
// limits is checked by the caller); hex up to HexMask, taken as a bit pattern.
// Sets Negative and Magnitude; false on any syntax error or overflow.
bool ParseInteger(const String& S, UInt64 HexMask, UInt64 MaxDecimal, bool& Negative,
                  UInt64& Magnitude, bool& IsHex)
{
  size_t i = 0;
  const size_t n = S.size();
  while (i < n && S[i] == ' ') ++i;
  Negative = false;
  if (i < n && (S[i] == '+' || S[i] == '-')) {
    Negative = S[i] == '-';
    ++i;
  }
  IsHex = false;
  if (i < n && S[i] == '$') {
    IsHex = true;
    ++i;
  } else if (i + 1 < n && S[i] == '0' && (S[i + 1] == 'x' || S[i + 1] == 'X')) {
    IsHex = true;
    i += 2;
  }
  if (i == n) return false;
  UInt64 value = 0;
  for (; i < n; ++i) {
    const char ch = S[i];
    unsigned digit;
    if (ch >= '0' && ch <= '9')
      digit = static_cast<unsigned>(ch - '0');
    else if (IsHex && ch >= 'A' && ch <= 'F')
      digit = static_cast<unsigned>(ch - 'A' + 10);
    else if (IsHex && ch >= 'a' && ch <= 'f')
      digit = static_cast<unsigned>(ch - 'a' + 10);
    else
      return false;
    if (IsHex) {
      if (value > (HexMask >> 4)) return false;
      value = (value << 4) | digit;
    } else {
      if (value > (MaxDecimal - digit) / 10) return false;
      value = value * 10 + digit;
    }
  }
  Magnitude = value;
  return true;
}

}  // namespace

bool TryStrToInt64(const String& S, Int64& Value)
{
  bool negative = false, isHex = false;
  UInt64 magnitude = 0;
  const UInt64 maxDecimal = static_cast<UInt64>(std::numeric_limits<Int64>::max()) + 1;
  if (!ParseInteger(S, ~UInt64{0}, maxDecimal, negative, magnitude, isHex)) return false;
  if (!isHex && !negative && magnitude > static_cast<UInt64>(std::numeric_limits<Int64>::max()))
    return false;
  // Two's complement wrap: the hex pattern as it stands, a decimal negated.
  Value = static_cast<Int64>(negative ? UInt64{0} - magnitude : magnitude);
  return true;
}

bool TryStrToInt(const String& S, int& Value)
{
  bool negative = false, isHex = false;
  UInt64 magnitude = 0;
  if (!ParseInteger(S, 0xFFFFFFFFull, 2147483648ull, negative, magnitude, isHex)) return false;
  if (!isHex && !negative && magnitude > 2147483647ull) return false;
  const auto bits = static_cast<Cardinal>(magnitude);
  Value = static_cast<int>(negative ? Cardinal{0} - bits : bits);
  return true;
}

int StrToInt(const String& S)
{
  int value = 0;
  if (!TryStrToInt(S, value)) throw EConvertError(RtlConsts::SInvalidInteger, {S});
  return value;
}

int StrToIntDef(const String& S, int Default)
{
  int value = 0;
  return TryStrToInt(S, value) ? value : Default;
}

Int64 StrToInt64(const String& S)
{
  Int64 value = 0;
  if (!TryStrToInt64(S, value)) throw EConvertError(RtlConsts::SInvalidInteger, {S});
  return value;
}

Int64 StrToInt64Def(const String& S, Int64 Default)
{
  Int64 value = 0;
  return TryStrToInt64(S, value) ? value : Default;
}

// --- Text to float -------------------------------------------------------------------------

bool TryStrToFloat(const String& S, double& Value)
{
  // Checks the syntax by hand and rewrites the number with '.' for from_chars, which is
  // locale-free and correctly rounded.
  size_t i = 0, n = S.size();
  while (i < n && S[i] == ' ') ++i;
  while (n > i && S[n - 1] == ' ') --n;

  bool negative = false;
  if (i < n && (S[i] == '+' || S[i] == '-')) {
    negative = S[i] == '-';
    ++i;
  }
  String text;
  int mantissaDigits = 0;
  int leadingMagnitude = 0;  // decimal exponent of the first non-zero digit, plus 1
  bool seenNonZero = false, seenPoint = false;
  for (; i < n; ++i) {
    const char ch = S[i];
    if (ch >= '0' && ch <= '9') {
      ++mantissaDigits;
      if (ch != '0' && !seenNonZero) seenNonZero = true;
      if (seenNonZero && !seenPoint) ++leadingMagnitude;
      if (!seenNonZero && seenPoint) --leadingMagnitude;
      text += ch;
    } else if (ch == DecimalSeparator && !seenPoint) {
      seenPoint = true;
      text += '.';
    } else {
      break;
    }
  }
  if (mantissaDigits == 0) return false;

  long long exponent = 0;
  if (i < n && (S[i] == 'E' || S[i] == 'e')) {
    text += 'e';
    ++i;
    bool expNegative = false;
    if (i < n && (S[i] == '+' || S[i] == '-')) {
      expNegative = S[i] == '-';
      text += S[i];
      ++i;
    }
    const size_t digitsStart = i;
    for (; i < n && S[i] >= '0' && S[i] <= '9'; ++i) {
      text += S[i];
      if (exponent < 100000000) exponent = exponent * 10 + (S[i] - '0');
    }
    if (i == digitsStart) return false;
    if (expNegative) exponent = -exponent;
  }
  if (i != n) return false;

  double result = 0.0;
  if (seenNonZero) {
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), result,
                                           std::chars_format::general);
    if (end != text.data() + text.size()) return false;
    if (ec == std::errc::result_out_of_range) {
      // Too large fails; too small is zero.
      if (leadingMagnitude + exponent > 0) return false;
      result = 0.0;
    } else if (ec != std::errc()) {
      return false;
    }
    if (std::isinf(result)) return false;
  }
  Value = negative ? -result : result;
  return true;
}

double StrToFloat(const String& S)
{
  double value = 0.0;
  if (!TryStrToFloat(S, value)) throw EConvertError(RtlConsts::SInvalidFloat, {S});
  return value;
}

double StrToFloatDef(const String& S, double Default)
{
  double value = 0.0;
  return TryStrToFloat(S, value) ? value : Default;
}

// --- Float to text -------------------------------------------------------------------------

namespace {

// A finite decimal: Negative, 0.Digits x 10^Exponent, with no trailing zeros in Digits.
// Zero has no digits.
struct TDecimal {
  bool Negative = false;
  String Digits;
  int Exponent = 0;
};

void StripTrailingZeros(TDecimal& D)
{
  while (!D.Digits.empty() && D.Digits.back() == '0') D.Digits.pop_back();
  if (D.Digits.empty()) D.Exponent = 0;
}

// Keeps the first Count digits of D, rounding half away from zero on the digits, which are
// exact. Count <= 0 leaves zero, or one unit of the next place when the cut rounds up.
void RoundDigits(TDecimal& D, int Count)
{
  if (Count >= static_cast<int>(D.Digits.size())) return;
  if (Count < 0) {
    D.Digits.clear();
    D.Exponent = 0;
    return;
  }
  const bool up = D.Digits[static_cast<size_t>(Count)] >= '5';
  D.Digits.resize(static_cast<size_t>(Count));
  if (up) {
    int k = Count - 1;
    while (k >= 0 && D.Digits[static_cast<size_t>(k)] == '9') {
      D.Digits[static_cast<size_t>(k)] = '0';
      --k;
    }
    if (k >= 0) {
      ++D.Digits[static_cast<size_t>(k)];
    } else {
      D.Digits.insert(D.Digits.begin(), '1');
      ++D.Exponent;
    }
  }
  StripTrailingZeros(D);
}

// Digits of |Value| written by to_chars in scientific form with Precision decimals.
void ScientificDigits(double Value, int Precision, String& Digits, int& Exponent)
{
  char buffer[800];
  const auto [end, ec] =
      std::to_chars(buffer, buffer + sizeof buffer, Value, std::chars_format::scientific, Precision);
  (void)ec;
  Digits.clear();
  const char* p = buffer;
  for (; p != end && *p != 'e'; ++p)
    if (*p >= '0' && *p <= '9') Digits += *p;
  int exponent = 0;
  if (p != end) std::from_chars(p[1] == '+' ? p + 2 : p + 1, end, exponent);
  Exponent = exponent + 1;
}

// |Value| rounded to Precision significant digits from its exact decimal expansion, halves
// away from zero.
TDecimal ToDecimal(double Value, int Precision)
{
  TDecimal d;
  d.Negative = std::signbit(Value);
  const double magnitude = std::fabs(Value);
  if (magnitude == 0.0) return d;

  // 30 correctly rounded digits decide the rounding at Precision (<= 18) unless the digits
  // after the rounding digit are all 0 or all 9, where that rounding could have carried or
  // hidden a tail; then take the full exact expansion (at most 767 significant digits).
  constexpr int kShort = 29;
  ScientificDigits(magnitude, kShort, d.Digits, d.Exponent);
  const size_t tail = static_cast<size_t>(Precision) + 1;
  if (tail < d.Digits.size()) {
    const auto rest = d.Digits.find_first_not_of(d.Digits[tail], tail);
    if (rest == String::npos && (d.Digits[tail] == '0' || d.Digits[tail] == '9'))
      ScientificDigits(magnitude, 766, d.Digits, d.Exponent);
  }
  StripTrailingZeros(d);
  RoundDigits(d, Precision);
  return d;
}

String PadLeft(String Text, int Width, char Fill)
{
  if (static_cast<int>(Text.size()) < Width) Text.insert(0, static_cast<size_t>(Width) - Text.size(), Fill);
  return Text;
}

String ExponentText(int Exponent, bool AlwaysSign, int MinDigits)
{
  String result = "E";
  if (Exponent < 0)
    result += '-';
  else if (AlwaysSign)
    result += '+';
  return result + PadLeft(IntToStr(std::abs(Exponent)), MinDigits, '0');
}

String FormatGeneral(const TDecimal& D, int Precision, int ExpDigits)
{
  if (D.Digits.empty()) return "0";
  String result = D.Negative ? "-" : "";
  const int count = static_cast<int>(D.Digits.size());
  if (D.Exponent > Precision || D.Exponent < -4) {
    result += D.Digits[0];
    if (count > 1) result += DecimalSeparator + D.Digits.substr(1);
    return result + ExponentText(D.Exponent - 1, false, ExpDigits);
  }
  if (D.Exponent <= 0) {
    result += '0';
    result += DecimalSeparator;
    result += String(static_cast<size_t>(-D.Exponent), '0') + D.Digits;
    return result;
  }
  if (count <= D.Exponent) return result + D.Digits + String(static_cast<size_t>(D.Exponent - count), '0');
  result += D.Digits.substr(0, static_cast<size_t>(D.Exponent));
  result += DecimalSeparator;
  return result + D.Digits.substr(static_cast<size_t>(D.Exponent));
}

String FormatExponent(const TDecimal& D, int Precision, int ExpDigits)
{
  String digits = D.Digits.empty() ? String("0") : D.Digits;
  digits.resize(static_cast<size_t>(Precision), '0');
  String result = (D.Negative && !D.Digits.empty()) ? "-" : "";
  result += digits[0];
  if (Precision > 1) result += DecimalSeparator + digits.substr(1);
  return result + ExponentText(D.Digits.empty() ? 0 : D.Exponent - 1, true, ExpDigits);
}

String FormatFixed(const TDecimal& D, int Decimals, bool Grouped)
{
  const int count = static_cast<int>(D.Digits.size());
  String integer;
  if (D.Exponent <= 0) {
    integer = "0";
  } else {
    integer = D.Digits.substr(0, static_cast<size_t>(std::min(count, D.Exponent)));
    if (count < D.Exponent) integer.append(static_cast<size_t>(D.Exponent - count), '0');
  }
  if (Grouped && ThousandSeparator != '\0') {
    String grouped;
    const int len = static_cast<int>(integer.size());
    for (int k = 0; k < len; ++k) {
      if (k > 0 && (len - k) % 3 == 0) grouped += ThousandSeparator;
      grouped += integer[static_cast<size_t>(k)];
    }
    integer = grouped;
  }
  String result = (D.Negative && !D.Digits.empty()) ? "-" : "";
  result += integer;
  if (Decimals > 0) {
    result += DecimalSeparator;
    for (int k = 0; k < Decimals; ++k) {
      const int index = D.Exponent + k;
      result += (index >= 0 && index < count) ? D.Digits[static_cast<size_t>(index)] : '0';
    }
  }
  return result;
}

}  // namespace

String FloatToStr(double Value)
{
  return FloatToStrF(Value, ffGeneral, 15, 0);
}

String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits)
{
  if (std::isnan(Value)) return "NAN";
  if (std::isinf(Value)) return Value < 0 ? "-INF" : "INF";
  Precision = std::clamp(Precision, 1, 18);

  TDecimal d = ToDecimal(Value, Precision);
  switch (Format) {
  case ffExponent:
    return FormatExponent(d, Precision, std::clamp(Digits, 0, 4));
  case ffFixed:
  case ffNumber:
  case ffCurrency: {
    // An integer part longer than the precision can't be shown in fixed form.
    if (d.Exponent > Precision) return FormatGeneral(d, Precision, 0);
    Digits = std::clamp(Digits, 0, 18);
    RoundDigits(d, d.Exponent + Digits);
    return FormatFixed(d, Digits, Format != ffFixed);
  }
  case ffGeneral:
  default:
    return FormatGeneral(d, Precision, std::clamp(Digits, 0, 4));
  }
}

String BoolToStr(bool B, bool UseBoolStrs)
{
  if (UseBoolStrs) return B ? "True" : "False";
  return B ? "-1" : "0";
}
