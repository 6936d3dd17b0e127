// The small text cuts that identification uses on tool output lines. Every search is for the
// first occurrence and case-sensitive. Identify keys and track lines count only as whole lines
// that start with them: a clip title holding "ID_AID_" or "audio stream:" is neither.
//   After(S, X)    the text after the first X, trimmed; all of S trimmed when X is missing.
//   Before(S, X)   the text before the first X, trimmed; "" when X is missing.
//   KeyValue(S, K) S with its first "K=" removed, trimmed (the value of an identify key).
#pragma once

#include "core/SourceRow.h"
#include "core/qv_functions.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/System.h"

namespace detecttext {

inline bool Has(const String& S, const String& X) { return S.find(X) != String::npos; }

inline String RemoveFirst(const String& S, const String& X)
{
  String R = S;
  const auto P = R.find(X);
  if (P != String::npos) R.erase(P, X.size());
  return R;
}

inline String ReplaceFirst(const String& S, const String& X, const String& Y)
{
  String R = S;
  const auto P = R.find(X);
  if (P != String::npos) R.replace(P, X.size(), Y);
  return R;
}

inline String AfterRaw(const String& S, const String& X)
{
  const auto P = S.find(X);
  return P == String::npos ? S : S.substr(P + X.size());
}

inline String After(const String& S, const String& X) { return Trim(AfterRaw(S, X)); }

inline String BeforeRaw(const String& S, const String& X)
{
  const auto P = S.find(X);
  return P == String::npos ? String() : S.substr(0, P);
}

inline String Before(const String& S, const String& X) { return Trim(BeforeRaw(S, X)); }

// The text up to the first blank of the trimmed text.
inline String FirstWord(const String& S)
{
  const String T = Trim(S);
  return Trim(T.substr(0, T.find(' ')));
}

inline bool StartsWith(const String& S, const String& X) { return S.compare(0, X.size(), X) == 0; }

// Whether the text after the first Lead of the trimmed line starts with digits followed by End.
inline bool NumberAfter(const String& S, const String& Lead, const String& End)
{
  const String T = Trim(S);
  if (!StartsWith(T, Lead)) return false;
  size_t I = Lead.size();
  while (I < T.size() && T[I] == ' ') ++I;
  const size_t Digits = I;
  while (I < T.size() && T[I] >= '0' && T[I] <= '9') ++I;
  return I > Digits && T.compare(I, End.size(), End) == 0;
}

// An identify key line: the trimmed line starts with Key and "=".
inline bool IsKeyLine(const String& S, const String& Key) { return StartsWith(Trim(S), Key + "="); }

// A track line of the player's "audio stream: 0 format: ac3 ... aid: 128." form. The verbose
// player's "==> Found audio stream: 128" announces a stream while it plays; it is no track line.
inline bool IsAudioTrackLine(const String& S) { return NumberAfter(S, "audio stream:", " "); }
// "subtitle ( sid ): 0 language: en".
inline bool IsSubtitleTrackLine(const String& S) { return NumberAfter(S, "subtitle ( sid ):", ""); }
// "ID_AID_128_LANG=en" or "ID_SID_0_LANG=en" (Prefix "ID_AID_" or "ID_SID_"): a numeric id and
// a language of letters, digits and "-" only.
inline bool IsTrackKeyLine(const String& S, const String& Prefix)
{
  if (!NumberAfter(S, Prefix, "_LANG=")) return false;
  const String Lang = Trim(S).substr(Trim(S).find("_LANG=") + 6);
  for (char C : Lang)
    if (!((C >= 'a' && C <= 'z') || (C >= 'A' && C <= 'Z') || (C >= '0' && C <= '9') || C == '-')) return false;
  return true;
}

inline String KeyValue(const String& S, const String& Key) { return Trim(RemoveFirst(S, Key + "=")); }

// The length columns from a length text: 3 and 24 the text, 23 "0", 25 h:mm:ss, 35 whole
// seconds (halves to even). Set(column, text) writes one cell.
template <class TSet>
void SetLengthColumns(const String& Value, TSet Set)
{
  const double Seconds = StrToFloatSafe(Value);
  Set(scLength, Value);
  Set(scTrimEnd, Value);
  Set(scTrimStart, "0");
  Set(scDuration, SecondsToHMS(Seconds));
  Set(scConvertSeconds, IntToStr(Round(Seconds)));
}

}  // namespace detecttext
