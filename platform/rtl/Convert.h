// Conversions between numbers and text, locale-free: the separators are the two process-wide
// settings below, never the C library's locale.
#pragma once

#include <concepts>
#include <type_traits>

#include "platform/rtl/System.h"

// Separators used by the float routines and Format. Set once at start-up.
extern char DecimalSeparator;   // default '.'
extern char ThousandSeparator;  // default ','

// Decimal text of an integer: "-42".
String IntToStr(Int64 Value);
String UIntToStr(UInt64 Value);

// Every other integer type goes to the routine of its signedness, so IntToStr(int),
// IntToStr(unsigned) and IntToStr(size_t) all resolve without ambiguity.
template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, Int64>)
inline String IntToStr(T Value)
{
  if constexpr (std::is_signed_v<T>)
    return IntToStr(static_cast<Int64>(Value));
  else
    return UIntToStr(static_cast<UInt64>(Value));
}

// Upper-case hex text with at least Digits digits. A negative Int64 shows its 64-bit two's
// complement ("FFFFFFFFFFFFFFFF").
String IntToHex(Int64 Value, int Digits);
String IntToHex(UInt64 Value, int Digits);

// Integers of 32 bits or fewer show the 32-bit pattern as the class library does for Integer:
// IntToHex(-1, 8) = "FFFFFFFF".
template <std::integral T>
  requires(!std::same_as<T, bool> && !std::same_as<T, Int64> && !std::same_as<T, UInt64>)
inline String IntToHex(T Value, int Digits)
{
  if constexpr (sizeof(T) <= 4)
    return IntToHex(static_cast<UInt64>(static_cast<Cardinal>(Value)), Digits);
  else if constexpr (std::is_signed_v<T>)
    return IntToHex(static_cast<Int64>(Value), Digits);
  else
    return IntToHex(static_cast<UInt64>(Value), Digits);
}

// Integer text: optional leading blanks, optional sign, then decimal digits or hex after "$"
// or "0x"/"0X". Nothing may follow. Decimal values must fit the type; hex up to the full
// width of the type is taken as its bit pattern ("$FFFFFFFF" = -1 for the 32-bit routines).
// StrToInt and StrToInt64 raise EConvertError "'<S>' is not a valid integer value".
int StrToInt(const String& S);
int StrToIntDef(const String& S, int Default);
bool TryStrToInt(const String& S, int& Value);
Int64 StrToInt64(const String& S);
Int64 StrToInt64Def(const String& S, Int64 Default);
bool TryStrToInt64(const String& S, Int64& Value);

// Float text: blanks around, optional sign, digits with DecimalSeparator, optional exponent
// (E or e, optional sign, digits). No thousand separators. StrToFloat raises EConvertError
// "'<S>' is not a valid floating point value". Correctly rounded; overflow fails.
double StrToFloat(const String& S);
double StrToFloatDef(const String& S, double Default);
bool TryStrToFloat(const String& S, double& Value);

enum TFloatFormat { ffGeneral, ffExponent, ffFixed, ffNumber, ffCurrency };

// FloatToStrF(Value, ffGeneral, 15, 0): "0.3", "1E20", "1E-7".
String FloatToStr(double Value);

// Text of Value, first rounded to Precision (1..18) significant digits, halves away from zero.
//   ffGeneral   shortest of fixed and scientific, no trailing zeros; scientific when the
//               exponent >= Precision or the value < 1E-5; exponent "E-5"/"E20" with at least
//               Digits (0..4) digits.
//   ffExponent  "-d.dddE+ddd": Precision digits, signed exponent of at least Digits (0..4) digits.
//   ffFixed     Digits (0..18) decimals, rounded again (halves away from zero) from the
//               Precision-digit value: 1.005 at Precision 15 is 1.00500000000000 -> "1.01".
//               Written as ffGeneral when the integer part has more than Precision digits.
//   ffNumber    as ffFixed with ThousandSeparator between groups of three digits.
//   ffCurrency  as ffNumber (no currency symbol).
// NaN gives "NAN", infinities "INF" and "-INF"; a negative zero prints as "0".
String FloatToStrF(double Value, TFloatFormat Format, int Precision, int Digits);

// "-1"/"0", or "True"/"False" with UseBoolStrs.
String BoolToStr(bool B, bool UseBoolStrs = false);
