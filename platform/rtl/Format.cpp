#include "platform/rtl/Format.h"

#include <cstdint>

#include "platform/rtl/Convert.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/RtlConsts.h"

namespace {

// The widest field and the most zero-padded digits a specifier may ask for. Larger values
// (as from a stray "*" argument) would allocate gigabytes; they raise the invalid-format error.
constexpr Int64 kMaxFieldWidth = 1 << 24;

// Signed value of an integer argument; false for any other kind.
bool IntegerArg(const TVarRec& Arg, Int64& Value, bool& IsUnsigned64)
{
  IsUnsigned64 = false;
  switch (Arg.VType) {
  case TVarRec::vtInteger:
  case TVarRec::vtInt64:
    Value = Arg.VInt64;
    return true;
  case TVarRec::vtUInt64:
    Value = static_cast<Int64>(Arg.VUInt64);
    IsUnsigned64 = true;
    return true;
  default:
    return false;
  }
}

// The bit pattern of an integer argument as an unsigned number: 32 bits for the 32-bit kind,
// 64 bits otherwise.
UInt64 UnsignedBits(const TVarRec& Arg)
{
  if (Arg.VType == TVarRec::vtInteger) return static_cast<Cardinal>(Arg.VInt64);
  if (Arg.VType == TVarRec::vtUInt64) return Arg.VUInt64;
  return static_cast<UInt64>(Arg.VInt64);
}

// Zero-pads Digits on the left to at least MinDigits.
String PadDigits(String Digits, int MinDigits)
{
  if (MinDigits > static_cast<int>(Digits.size()))
    Digits.insert(0, static_cast<size_t>(MinDigits) - Digits.size(), '0');
  return Digits;
}

// Length of the longest prefix of S no longer than MaxBytes that does not end inside a UTF-8
// sequence.
size_t Utf8Cut(const String& S, size_t MaxBytes)
{
  if (MaxBytes >= S.size()) return S.size();
  size_t cut = MaxBytes;
  while (cut > 0 && (static_cast<unsigned char>(S[cut]) & 0xC0) == 0x80) --cut;
  return cut;
}

class TFormatter {
public:
  TFormatter(const String& Fmt, const TVarRecs& Args) : FFmt(Fmt), FArgs(Args) {}

  String Run()
  {
    String result;
    size_t i = 0;
    const size_t n = FFmt.size();
    while (i < n) {
      const size_t percent = FFmt.find('%', i);
      if (percent == String::npos) {
        result.append(FFmt, i, String::npos);
        break;
      }
      result.append(FFmt, i, percent - i);
      i = percent + 1;
      if (i < n && FFmt[i] == '%') {
        result += '%';
        ++i;
        continue;
      }
      result += Specifier(i);
    }
    return result;
  }

private:
  const String& FFmt;
  const TVarRecs& FArgs;
  size_t FNextArg = 0;

  [[noreturn]] void InvalidFormat() const { throw EConvertError(RtlConsts::SInvalidFormat, {FFmt}); }

  const TVarRec& NextArg()
  {
    if (FNextArg >= FArgs.size()) throw EConvertError(RtlConsts::SArgumentMissing, {FFmt});
    return FArgs[FNextArg++];
  }

  // The Integer argument that a "*" stands for.
  Int64 StarArg()
  {
    const TVarRec& arg = NextArg();
    Int64 value = 0;
    bool unsigned64 = false;
    if (!IntegerArg(arg, value, unsigned64) || unsigned64) InvalidFormat();
    if (value > MaxInt || value < -Int64{MaxInt} - 1) InvalidFormat();
    return value;
  }

  // A number or "*" at I; 0 when there is neither.
  Int64 Number(size_t& I)
  {
    if (I < FFmt.size() && FFmt[I] == '*') {
      ++I;
      return StarArg();
    }
    Int64 value = 0;
    for (; I < FFmt.size() && FFmt[I] >= '0' && FFmt[I] <= '9'; ++I) {
      value = value * 10 + (FFmt[I] - '0');
      if (value > MaxInt) InvalidFormat();
    }
    return value;
  }

  // Formats one specifier starting after its '%'; I ends past the type character.
  String Specifier(size_t& I)
  {
    // [index ":"]: digits or "*" followed by ':' set the next argument.
    size_t p = I;
    if (p < FFmt.size() && FFmt[p] == '*') ++p;
    else
      while (p < FFmt.size() && FFmt[p] >= '0' && FFmt[p] <= '9') ++p;
    if (p > I && p < FFmt.size() && FFmt[p] == ':') {
      const Int64 index = Number(I);
      if (index < 0) InvalidFormat();
      FNextArg = static_cast<size_t>(index);
      ++I;  // the ':'
    }

    bool leftAlign = false;
    if (I < FFmt.size() && FFmt[I] == '-') {
      leftAlign = true;
      ++I;
    }
    Int64 width = Number(I);
    if (width < 0) {
      // A negative width from "*" aligns to the left, as a '-' would.
      leftAlign = true;
      width = -width;
    }
    if (width > kMaxFieldWidth) InvalidFormat();
    Int64 precision = -1;
    if (I < FFmt.size() && FFmt[I] == '.') {
      ++I;
      precision = Number(I);
      // "." alone is precision 0; a negative one from "*" means the default.
      if (precision < 0) precision = -1;
    }
    if (I >= FFmt.size()) InvalidFormat();
    const char type = FFmt[I++];

    const String text = Convert(type, precision);
    if (width <= static_cast<Int64>(text.size())) return text;
    const String fill(static_cast<size_t>(width) - text.size(), ' ');
    return leftAlign ? text + fill : fill + text;
  }

  String Convert(char Type, Int64 Precision)
  {
    switch (Type) {
    case 'd': case 'D':
    case 'u': case 'U':
    case 'x': case 'X': {
      const TVarRec& arg = NextArg();
      Int64 value = 0;
      bool unsigned64 = false;
      if (!IntegerArg(arg, value, unsigned64) || Precision > kMaxFieldWidth) InvalidFormat();
      const int minDigits = static_cast<int>(Precision);
      if (Type == 'x' || Type == 'X') return PadDigits(IntToHex(UnsignedBits(arg), 0), minDigits);
      if (Type == 'u' || Type == 'U' || unsigned64) return PadDigits(UIntToStr(UnsignedBits(arg)), minDigits);
      if (value < 0)
        return "-" + PadDigits(UIntToStr(UInt64{0} - static_cast<UInt64>(value)), minDigits);
      return PadDigits(UIntToStr(static_cast<UInt64>(value)), minDigits);
    }
    case 'e': case 'E':
    case 'f': case 'F':
    case 'g': case 'G':
    case 'n': case 'N':
    case 'm': case 'M': {
      const TVarRec& arg = NextArg();
      if (arg.VType != TVarRec::vtExtended) InvalidFormat();
      const double value = arg.VExtended;
      const int prec = static_cast<int>(Precision);
      switch (Type) {
      case 'e': case 'E':
        return FloatToStrF(value, ffExponent, Precision < 0 ? 15 : prec, 3);
      case 'f': case 'F':
        return FloatToStrF(value, ffFixed, 15, Precision < 0 ? 2 : prec);
      case 'g': case 'G':
        return FloatToStrF(value, ffGeneral, Precision < 0 ? 15 : prec, 0);
      default:
        return FloatToStrF(value, ffNumber, 15, Precision < 0 ? 2 : prec);
      }
    }
    case 'p': case 'P': {
      const TVarRec& arg = NextArg();
      if (arg.VType != TVarRec::vtPointer) InvalidFormat();
      return IntToHex(static_cast<UInt64>(reinterpret_cast<std::uintptr_t>(arg.VPointer)), 16);
    }
    case 's': case 'S': {
      const TVarRec& arg = NextArg();
      String text;
      if (arg.VType == TVarRec::vtString)
        text = arg.VString;
      else if (arg.VType == TVarRec::vtChar)
        text = String(1, static_cast<char>(arg.VInt64));
      else
        InvalidFormat();
      if (Precision >= 0) text.resize(Utf8Cut(text, static_cast<size_t>(Precision)));
      return text;
    }
    default:
      InvalidFormat();
    }
  }
};

}  // namespace

String Format(const String& Fmt, const TVarRecs& Args)
{
  return TFormatter(Fmt, Args).Run();
}
