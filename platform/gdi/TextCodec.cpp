#include "platform/gdi/TextCodec.h"

#include <cstring>
#include <cwchar>

namespace TextCodec {

namespace {

// Windows-1252 characters for 0x80-0x9F; zero where the code page leaves the byte undefined
// (those stay the C1 control of the same value).
constexpr char16_t Cp1252High[32] = {
  0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
  0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
  0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178,
};

bool IsContinuation(unsigned char B) { return (B & 0xC0) == 0x80; }

// The length of a well-formed UTF-8 sequence at P (at most Left bytes), or 0.
std::size_t SequenceLength(const unsigned char* P, std::size_t Left, char32_t& Code)
{
  unsigned char B0 = P[0];
  if (B0 < 0x80) {
    Code = B0;
    return 1;
  }
  std::size_t n;
  char32_t c;
  char32_t min;
  if (B0 >= 0xC2 && B0 <= 0xDF) {
    n = 2;
    c = B0 & 0x1F;
    min = 0x80;
  } else if (B0 >= 0xE0 && B0 <= 0xEF) {
    n = 3;
    c = B0 & 0x0F;
    min = 0x800;
  } else if (B0 >= 0xF0 && B0 <= 0xF4) {
    n = 4;
    c = B0 & 0x07;
    min = 0x10000;
  } else {
    return 0;
  }
  if (Left < n) return 0;
  for (std::size_t i = 1; i < n; ++i) {
    if (!IsContinuation(P[i])) return 0;
    c = (c << 6) | (P[i] & 0x3F);
  }
  if (c < min || c > 0x10FFFF || (c >= 0xD800 && c <= 0xDFFF)) return 0;
  Code = c;
  return n;
}

} // namespace

char32_t ByteToChar(unsigned char B)
{
  if (B >= 0x80 && B <= 0x9F && Cp1252High[B - 0x80] != 0) return Cp1252High[B - 0x80];
  return B;
}

std::vector<TTextChar> Decode(const char* Text, std::size_t Length, bool SingleByte)
{
  std::vector<TTextChar> out;
  if (Text == nullptr) return out;
  out.reserve(Length);
  auto p = reinterpret_cast<const unsigned char*>(Text);
  std::size_t i = 0;
  while (i < Length) {
    char32_t code = 0;
    std::size_t n = SingleByte ? 0 : SequenceLength(p + i, Length - i, code);
    if (n == 0) {
      code = SingleByte ? p[i] : ByteToChar(p[i]);
      n = 1;
    }
    out.push_back(TTextChar{code, static_cast<std::uint32_t>(i), static_cast<std::uint32_t>(i + n)});
    i += n;
  }
  return out;
}

void AppendUtf8(String& Out, char32_t C)
{
  if (C > 0x10FFFF || (C >= 0xD800 && C <= 0xDFFF)) C = 0xFFFD;
  if (C < 0x80) {
    Out += static_cast<char>(C);
  } else if (C < 0x800) {
    Out += static_cast<char>(0xC0 | (C >> 6));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else if (C < 0x10000) {
    Out += static_cast<char>(0xE0 | (C >> 12));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  } else {
    Out += static_cast<char>(0xF0 | (C >> 18));
    Out += static_cast<char>(0x80 | ((C >> 12) & 0x3F));
    Out += static_cast<char>(0x80 | ((C >> 6) & 0x3F));
    Out += static_cast<char>(0x80 | (C & 0x3F));
  }
}

String WideToUtf8(const wchar_t* Text, int Length)
{
  String out;
  if (Text == nullptr) return out;
  std::size_t n = Length < 0 ? std::wcslen(Text) : static_cast<std::size_t>(Length);
  out.reserve(n);
  for (std::size_t i = 0; i < n; ++i) {
    char32_t c = static_cast<char32_t>(Text[i]);
    // A UTF-16 surrogate pair (should a caller hand one over) becomes one character.
    if (c >= 0xD800 && c <= 0xDBFF && i + 1 < n) {
      char32_t lo = static_cast<char32_t>(Text[i + 1]);
      if (lo >= 0xDC00 && lo <= 0xDFFF) {
        c = 0x10000 + ((c - 0xD800) << 10) + (lo - 0xDC00);
        ++i;
      }
    }
    AppendUtf8(out, c);
  }
  return out;
}

std::size_t CountedLength(const char* Text, int Count)
{
  if (Text == nullptr) return 0;
  if (Count < 0) return std::strlen(Text);
  return static_cast<std::size_t>(Count);
}

} // namespace TextCodec
