// Turning the bytes of a text into characters for measuring and drawing. Text is UTF-8; a byte
// that does not start a well-formed sequence stands for itself as a single-byte character
// (0xA0-0xFF as Latin-1, 0x80-0x9F as the Windows-1252 characters they stand for in ANSI text),
// so damaged or 8-bit text never fails and every byte is accounted for.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/rtl/System.h"

// One character of a text and the bytes of the source it came from.
struct TTextChar {
  char32_t Code = 0;
  std::uint32_t SrcBegin = 0;
  std::uint32_t SrcEnd = 0;
};

namespace TextCodec {

// The characters of Text[0..Length). With SingleByte every byte is one character (symbol fonts
// take the byte values as they stand).
std::vector<TTextChar> Decode(const char* Text, std::size_t Length, bool SingleByte = false);

// The character of a byte that is not part of a UTF-8 sequence.
char32_t ByteToChar(unsigned char B);

// Appends the UTF-8 form of C (invalid code points become U+FFFD).
void AppendUtf8(String& Out, char32_t C);

// The UTF-8 form of a wide (UTF-32 on this platform) text; Length -1 reads up to the NUL.
String WideToUtf8(const wchar_t* Text, int Length);

// The length of a text given with a Win32-style count: -1 means NUL-terminated.
std::size_t CountedLength(const char* Text, int Count);

} // namespace TextCodec
