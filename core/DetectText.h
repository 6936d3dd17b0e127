// The small text cuts that identification uses on tool output lines. Every search is for the
// first occurrence and case-sensitive; a key counts wherever it stands in the line.
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

// A track line of the player's "audio stream: 0 format: ac3 ... aid: 128." form. The verbose
// player's "==> Found audio stream: 128" announces a stream while it plays; it is no track line.
inline bool IsAudioTrackLine(const String& S) { return Has(" " + S, "audio stream:") && !Has(S, "Found audio stream"); }

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
