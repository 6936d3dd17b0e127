// String helpers of the runtime library: search, copy, edit, trim, case, compare and quote.
// Positions count bytes from 1 as the class library does; 0 means "not found".
#pragma once

#include "platform/rtl/System.h"

// Position of Substr in S (1-based); 0 when absent or when Substr is empty.
int Pos(const String& Substr, const String& S);
// Like Pos, starting the search at Offset (1-based); 0 when Offset is out of 1..Length(S).
int PosEx(const String& Substr, const String& S, int Offset = 1);
// Same as Pos: strings are bytes, so there is no separate multi-byte search.
int AnsiPos(const String& Substr, const String& S);

// Count bytes of S from Index (1-based). Index < 1 counts as 1; Count <= 0 or an Index past
// the end gives "".
String Copy(const String& S, int Index, int Count = MaxInt);
// Removes Count bytes from Index. An Index out of 1..Length(S) or Count <= 0 does nothing.
void Delete(String& S, int Index, int Count);
// Inserts Source before Index. Index < 1 inserts at the front, past the end appends.
void Insert(const String& Source, String& S, int Index);

enum TReplaceFlag : unsigned { rfReplaceAll = 1, rfIgnoreCase = 2 };
using TReplaceFlags = unsigned;

// Replaces the first (or with rfReplaceAll every) OldPattern in S by NewPattern.
// rfIgnoreCase matches as AnsiUpperCase folds. An empty OldPattern leaves S as it is.
String StringReplace(const String& S, const String& OldPattern, const String& NewPattern,
                     TReplaceFlags Flags = 0);

// Strip bytes <= ' ' (blanks and control characters) from both ends, the left or the right.
String Trim(const String& S);
String TrimLeft(const String& S);
String TrimRight(const String& S);

// Case of ASCII letters A-Z only.
String UpperCase(const String& S);
String LowerCase(const String& S);
// Also the Latin-1 letters written in UTF-8: U+00E0..U+00FE (but U+00F7) <-> U+00C0..U+00DE
// (but U+00D7). Other bytes pass through unchanged.
String AnsiUpperCase(const String& S);
String AnsiLowerCase(const String& S);
char UpCase(char Ch);

// Ordinal byte comparison: the difference of the first differing bytes (as unsigned), or of
// the lengths. Only the sign is meant to be used.
int CompareStr(const String& S1, const String& S2);
// As CompareStr after folding a-z to upper case (so '_' sorts after the letters).
int CompareText(const String& S1, const String& S2);
bool SameStr(const String& S1, const String& S2);
bool SameText(const String& S1, const String& S2);

// Collation of the user locale, as sorted string lists and list views sort text. Answers
// -1, 0 or 1. Order, level by level:
//   1. Primary key, with '-' and '\'' skipped ("word sort": "co-op" sorts beside "coop"):
//      control characters and punctuation/symbols (in byte order) < digits < letters
//      (alphabetical, case folded) < bytes >= 0x80 (in byte order). A string that is a
//      prefix of the other sorts first.
//   2. Case, first difference wins: lower case before upper case of the same letter,
//      so "a" < "A" < "b".
//   3. The skipped '-' and '\'': a string without them sorts before one with them.
//   4. Plain byte order, so that only equal strings compare 0.
// AnsiCompareText uses level 1 and 3 only: strings equal apart from case compare 0.
int AnsiCompareStr(const String& S1, const String& S2);
int AnsiCompareText(const String& S1, const String& S2);
bool AnsiSameStr(const String& S1, const String& S2);
bool AnsiSameText(const String& S1, const String& S2);

// S in single quotes, inner quotes doubled: it's -> 'it''s'.
String QuotedStr(const String& S);
// S in Quote characters, inner Quote characters doubled.
String AnsiQuotedStr(const String& S, char Quote);
// Reads a quoted string at Src: "" when Src does not start with Quote. Doubled quotes give one
// quote. Src is advanced past the closing quote, or to the terminating zero when the quote
// is not closed (the text read so far is returned).
String AnsiExtractQuotedStr(const char*& Src, char Quote);
// The unquoted text of S when S is quoted with AQuote, else S itself.
String AnsiDequotedStr(const String& S, char AQuote);

// Count copies of Ch; "" for Count <= 0.
String StringOfChar(char Ch, int Count);

// 1-based position of the last byte of S that is one of Delimiters; 0 if none.
int LastDelimiter(const String& Delimiters, const String& S);
// Whether the byte at Index (1-based) of S is one of Delimiters; false when out of range.
bool IsDelimiter(const String& Delimiters, const String& S, int Index);
