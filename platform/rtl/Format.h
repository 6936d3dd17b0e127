// Format: the class library's formatting routine over an argument list of mixed types.
//
//   Format("%d:%2.2d", 5, 7)            -> "5:07"
//   Format("%s is %.2f", {name, 1.5})   -> "x is 1.50"
//
// Specifiers: "%" [index ":"] ["-"] [width] ["." prec] type, with width and prec also given
// as "*" (taken from the argument list) and "%%" for a percent sign. Types d u x e f g n m p s.
// A specifier that does not fit its argument, or a missing argument, raises EConvertError; so do
// a "*" argument outside the Integer range and a width or %d/%u/%x precision above 16777216.
// Numbers are formatted locale-free with DecimalSeparator and ThousandSeparator. Floats are
// rounded to 15 significant digits (a double's precision) before %f, %n and %m round to prec
// decimals (default 2); %e and %g take prec as significant digits (default 15), %e with a
// three-digit exponent. %s takes prec as the most bytes to keep, never cutting a UTF-8 sequence.
#pragma once

#include <cstdint>
#include <string_view>
#include <type_traits>
#include <vector>

#include "platform/rtl/System.h"

// One argument of Format.
struct TVarRec {
  enum TVarType : std::uint8_t { vtInteger, vtInt64, vtUInt64, vtBoolean, vtChar, vtExtended, vtString, vtPointer };

  TVarType VType = vtInteger;
  std::int64_t VInt64 = 0;     // vtInteger, vtInt64, vtBoolean (0/1), vtChar (the byte)
  std::uint64_t VUInt64 = 0;   // vtUInt64
  double VExtended = 0.0;      // vtExtended
  String VString;              // vtString
  const void* VPointer = nullptr;  // vtPointer

  TVarRec(bool v) : VType(vtBoolean), VInt64(v ? 1 : 0) {}
  TVarRec(char v) : VType(vtChar), VInt64(static_cast<unsigned char>(v)) {}
  TVarRec(int v) : VType(vtInteger), VInt64(v) {}
  TVarRec(unsigned v) : VType(vtInt64), VInt64(v) {}
  TVarRec(short v) : VType(vtInteger), VInt64(v) {}
  TVarRec(unsigned short v) : VType(vtInteger), VInt64(v) {}
  TVarRec(signed char v) : VType(vtInteger), VInt64(v) {}
  TVarRec(unsigned char v) : VType(vtInteger), VInt64(v) {}
  TVarRec(long v) : VType(vtInt64), VInt64(v) {}
  TVarRec(long long v) : VType(vtInt64), VInt64(v) {}
  TVarRec(unsigned long v) : VType(vtUInt64), VUInt64(v) {}
  TVarRec(unsigned long long v) : VType(vtUInt64), VUInt64(v) {}
  TVarRec(float v) : VType(vtExtended), VExtended(v) {}
  TVarRec(double v) : VType(vtExtended), VExtended(v) {}
  TVarRec(long double v) : VType(vtExtended), VExtended(static_cast<double>(v)) {}
  TVarRec(const char* v) : VType(vtString), VString(v ? v : "") {}
  TVarRec(const String& v) : VType(vtString), VString(v) {}
  TVarRec(std::string_view v) : VType(vtString), VString(v) {}
  TVarRec(const void* v) : VType(vtPointer), VPointer(v) {}
  TVarRec(std::nullptr_t) : VType(vtPointer), VPointer(nullptr) {}
};

using TVarRecs = std::vector<TVarRec>;

String Format(const String& Fmt, const TVarRecs& Args);

template <typename... A>
String Format(const String& Fmt, const A&... Args)
{
  return Format(Fmt, TVarRecs{TVarRec(Args)...});
}
