#include "platform/rtl/StrUtils.h"

#include <algorithm>
#include <cstring>
#include <utility>
#include <vector>

namespace {

unsigned char UC(char Ch)
{
  return static_cast<unsigned char>(Ch);
}

char UpperAscii(char Ch)
{
  return (Ch >= 'a' && Ch <= 'z') ? static_cast<char>(Ch - 'a' + 'A') : Ch;
}

char LowerAscii(char Ch)
{
  return (Ch >= 'A' && Ch <= 'Z') ? static_cast<char>(Ch - 'A' + 'a') : Ch;
}

// The second byte of a UTF-8 Latin-1 letter: C3 80..9E is upper case (but 97, the
// multiplication sign), C3 A0..BE is lower case (but B7, the division sign).
bool IsLatin1UpperTail(unsigned char B)
{
  return B >= 0x80 && B <= 0x9E && B != 0x97;
}

bool IsLatin1LowerTail(unsigned char B)
{
  return B >= 0xA0 && B <= 0xBE && B != 0xB7;
}

enum class TCaseMap { Upper, Lower };

String AnsiMapCase(const String& S, TCaseMap Map)
{
  String result = S;
  for (size_t i = 0; i < result.size(); ++i) {
    const unsigned char b = UC(result[i]);
    if (b < 0x80) {
      result[i] = Map == TCaseMap::Upper ? UpperAscii(result[i]) : LowerAscii(result[i]);
    } else if (b == 0xC3 && i + 1 < result.size()) {
      const unsigned char tail = UC(result[i + 1]);
      if (Map == TCaseMap::Upper && IsLatin1LowerTail(tail))
        result[i + 1] = static_cast<char>(tail - 0x20);
      else if (Map == TCaseMap::Lower && IsLatin1UpperTail(tail))
        result[i + 1] = static_cast<char>(tail + 0x20);
      ++i;
    }
  }
  return result;
}

// --- Collation -----------------------------------------------------------------------------

// Characters skipped at the primary level ("word sort").
bool IsIgnorable(unsigned char B)
{
  return B == '-' || B == '\'';
}

// Primary weight and case of the byte at I. Classes: punctuation and control characters,
// digits, letters (folded), bytes >= 0x80 (Latin-1 letters of UTF-8 folded).
struct TCollationKey {
  int Primary;
  int Case;  // 0 lower case or caseless, 1 upper case
};

TCollationKey KeyAt(const String& S, size_t I)
{
  const unsigned char b = UC(S[I]);
  if (b >= '0' && b <= '9') return {0x100 + b, 0};
  if (b >= 'a' && b <= 'z') return {0x200 + b, 0};
  if (b >= 'A' && b <= 'Z') return {0x200 + (b - 'A' + 'a'), 1};
  if (b < 0x80) return {b, 0};
  if (I > 0 && UC(S[I - 1]) == 0xC3 && IsLatin1UpperTail(b)) return {0x300 + b + 0x20, 1};
  return {0x300 + b, 0};
}

int Sign(int Value)
{
  return (Value > 0) - (Value < 0);
}

// The skipped characters of S, each with the count of kept characters before it.
std::vector<std::pair<size_t, unsigned char>> IgnoredChars(const String& S)
{
  std::vector<std::pair<size_t, unsigned char>> result;
  size_t kept = 0;
  for (const char ch : S) {
    if (IsIgnorable(UC(ch)))
      result.emplace_back(kept, UC(ch));
    else
      ++kept;
  }
  return result;
}

int CollateCompare(const String& S1, const String& S2, bool IgnoreCase)
{
  // Level 1 (primary) and level 2 (first difference of case) in one pass.
  size_t i = 0, j = 0;
  int caseDiff = 0;
  for (;;) {
    while (i < S1.size() && IsIgnorable(UC(S1[i]))) ++i;
    while (j < S2.size() && IsIgnorable(UC(S2[j]))) ++j;
    if (i == S1.size() || j == S2.size()) break;
    const TCollationKey k1 = KeyAt(S1, i), k2 = KeyAt(S2, j);
    if (k1.Primary != k2.Primary) return k1.Primary < k2.Primary ? -1 : 1;
    if (caseDiff == 0 && k1.Case != k2.Case) caseDiff = k1.Case < k2.Case ? -1 : 1;
    ++i;
    ++j;
  }
  const bool end1 = i == S1.size(), end2 = j == S2.size();
  if (end1 != end2) return end1 ? -1 : 1;
  if (!IgnoreCase && caseDiff != 0) return caseDiff;

  // Level 3: the skipped characters; none sorts first, then by where they stand.
  const auto ignored1 = IgnoredChars(S1), ignored2 = IgnoredChars(S2);
  if (ignored1 != ignored2)
    return std::lexicographical_compare(ignored1.begin(), ignored1.end(), ignored2.begin(),
                                        ignored2.end())
               ? -1
               : 1;
  if (IgnoreCase) return 0;

  // Level 4: byte order, so only equal strings compare equal.
  return Sign(CompareStr(S1, S2));
}

// Reads a quoted string from [Src, End); Src stops past the closing quote, or at End.
// Closed tells whether the closing quote was found.
String ExtractQuoted(const char*& Src, const char* End, char Quote, bool& Closed)
{
  Closed = false;
  if (Src == End || *Src != Quote) return String();
  ++Src;
  String result;
  while (Src != End) {
    if (*Src == Quote) {
      if (Src + 1 != End && Src[1] == Quote) {
        result += Quote;
        Src += 2;
        continue;
      }
      ++Src;
      Closed = true;
      return result;
    }
    result += *Src++;
  }
  return result;
}

}  // namespace

// --- Search --------------------------------------------------------------------------------

int Pos(const String& Substr, const String& S)
{
  return PosEx(Substr, S, 1);
}

int PosEx(const String& Substr, const String& S, int Offset)
{
  if (Substr.empty() || Offset < 1 || static_cast<size_t>(Offset) > S.size()) return 0;
  const size_t found = S.find(Substr, static_cast<size_t>(Offset - 1));
  return found == String::npos ? 0 : static_cast<int>(found + 1);
}

int AnsiPos(const String& Substr, const String& S)
{
  return Pos(Substr, S);
}

// --- Copy and edit -------------------------------------------------------------------------

String Copy(const String& S, int Index, int Count)
{
  if (Index < 1) Index = 1;
  if (Count <= 0 || static_cast<size_t>(Index) > S.size()) return String();
  return S.substr(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

void Delete(String& S, int Index, int Count)
{
  if (Index < 1 || static_cast<size_t>(Index) > S.size() || Count <= 0) return;
  S.erase(static_cast<size_t>(Index - 1), static_cast<size_t>(Count));
}

void Insert(const String& Source, String& S, int Index)
{
  if (Index < 1) Index = 1;
  const size_t at = std::min(static_cast<size_t>(Index - 1), S.size());
  S.insert(at, Source);
}

String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags)
{
  if (OldPattern.empty()) return S;
  // Ansi case mapping keeps every byte in place, so positions found in the folded copies
  // are positions in S.
  const bool ignoreCase = (Flags & rfIgnoreCase) != 0;
  const String searchIn = ignoreCase ? AnsiUpperCase(S) : String();
  const String pattern = ignoreCase ? AnsiUpperCase(OldPattern) : OldPattern;
  const String& haystack = ignoreCase ? searchIn : S;

  String result;
  size_t from = 0;
  for (;;) {
    const size_t found = haystack.find(pattern, from);
    if (found == String::npos) break;
    result.append(S, from, found - from);
    result += NewPattern;
    from = found + pattern.size();
    if ((Flags & rfReplaceAll) == 0) break;
  }
  result.append(S, from, String::npos);
  return result;
}

String StringOfChar(char Ch, int Count)
{
  return Count > 0 ? String(static_cast<size_t>(Count), Ch) : String();
}

// --- Trim and case -------------------------------------------------------------------------

String Trim(const String& S)
{
  return TrimLeft(TrimRight(S));
}

String TrimLeft(const String& S)
{
  size_t first = 0;
  while (first < S.size() && UC(S[first]) <= ' ') ++first;
  return S.substr(first);
}

String TrimRight(const String& S)
{
  size_t last = S.size();
  while (last > 0 && UC(S[last - 1]) <= ' ') --last;
  return S.substr(0, last);
}

String UpperCase(const String& S)
{
  String result = S;
  for (char& ch : result) ch = UpperAscii(ch);
  return result;
}

String LowerCase(const String& S)
{
  String result = S;
  for (char& ch : result) ch = LowerAscii(ch);
  return result;
}

String AnsiUpperCase(const String& S)
{
  return AnsiMapCase(S, TCaseMap::Upper);
}

String AnsiLowerCase(const String& S)
{
  return AnsiMapCase(S, TCaseMap::Lower);
}

char UpCase(char Ch)
{
  return UpperAscii(Ch);
}

// --- Compare -------------------------------------------------------------------------------

int CompareStr(const String& S1, const String& S2)
{
  const size_t n = std::min(S1.size(), S2.size());
  for (size_t i = 0; i < n; ++i)
    if (S1[i] != S2[i]) return static_cast<int>(UC(S1[i])) - static_cast<int>(UC(S2[i]));
  // Lengths of real strings fit an int; clamp anyway so the sign stays right.
  const auto diff = static_cast<long long>(S1.size()) - static_cast<long long>(S2.size());
  return static_cast<int>(std::clamp<long long>(diff, -MaxInt, MaxInt));
}

int CompareText(const String& S1, const String& S2)
{
  const size_t n = std::min(S1.size(), S2.size());
  for (size_t i = 0; i < n; ++i) {
    const int c1 = UC(UpperAscii(S1[i])), c2 = UC(UpperAscii(S2[i]));
    if (c1 != c2) return c1 - c2;
  }
  const auto diff = static_cast<long long>(S1.size()) - static_cast<long long>(S2.size());
  return static_cast<int>(std::clamp<long long>(diff, -MaxInt, MaxInt));
}

bool SameStr(const String& S1, const String& S2)
{
  return S1 == S2;
}

bool SameText(const String& S1, const String& S2)
{
  return S1.size() == S2.size() && CompareText(S1, S2) == 0;
}

int AnsiCompareStr(const String& S1, const String& S2)
{
  return CollateCompare(S1, S2, false);
}

int AnsiCompareText(const String& S1, const String& S2)
{
  return CollateCompare(S1, S2, true);
}

bool AnsiSameStr(const String& S1, const String& S2)
{
  return S1 == S2;
}

bool AnsiSameText(const String& S1, const String& S2)
{
  return AnsiCompareText(S1, S2) == 0;
}

// --- Quotes --------------------------------------------------------------------------------

String QuotedStr(const String& S)
{
  return AnsiQuotedStr(S, '\'');
}

String AnsiQuotedStr(const String& S, char Quote)
{
  String result;
  result.reserve(S.size() + 2);
  result += Quote;
  for (const char ch : S) {
    if (ch == Quote) result += Quote;
    result += ch;
  }
  result += Quote;
  return result;
}

String AnsiExtractQuotedStr(const char*& Src, char Quote)
{
  if (Src == nullptr) return String();
  bool closed = false;
  return ExtractQuoted(Src, Src + std::strlen(Src), Quote, closed);
}

String AnsiDequotedStr(const String& S, char AQuote)
{
  // Only a string that is one whole quoted string is unquoted; anything else (no closing
  // quote, text after it) comes back as it is rather than losing the rest.
  const char* src = S.data();
  const char* end = S.data() + S.size();
  bool closed = false;
  String result = ExtractQuoted(src, end, AQuote, closed);
  return (closed && src == end) ? result : S;
}

// --- Delimiters ----------------------------------------------------------------------------

int LastDelimiter(const String& Delimiters, const String& S)
{
  const size_t found = S.find_last_of(Delimiters);
  return found == String::npos ? 0 : static_cast<int>(found + 1);
}

bool IsDelimiter(const String& Delimiters, const String& S, int Index)
{
  if (Index < 1 || static_cast<size_t>(Index) > S.size()) return false;
  return Delimiters.find(S[static_cast<size_t>(Index - 1)]) != String::npos;
}
