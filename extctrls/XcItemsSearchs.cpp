#include "extctrls/XcItemsSearchs.h"

#include <functional>

#include "platform/rtl/StrUtils.h"

namespace {

int SearchFrom(TStrings* Items, int StartIndex, const std::function<bool(const String&)>& Matches)
{
  const int Count = Items->GetCount();
  if (Count <= 0) return -1;
  // Indexes outside the list start from the top.
  if (StartIndex < -1 || StartIndex >= Count) StartIndex = -1;
  for (int Step = 1; Step <= Count; ++Step) {
    const int Index = (StartIndex + Step) % Count;
    if (Matches(Items->Get(Index))) return Index;
  }
  return -1;
}

}  // namespace

int TXcItemsSearchs::FindExact(TStrings* Items, const String& Value, int StartIndex, bool CaseSensitive)
{
  return SearchFrom(Items, StartIndex, [&](const String& S) {
    return CaseSensitive ? AnsiCompareStr(S, Value) == 0 : AnsiSameText(S, Value);
  });
}

int TXcItemsSearchs::FindPrefix(TStrings* Items, const String& Value, int StartIndex, bool CaseSensitive)
{
  if (Value.empty()) return -1;
  const String Wanted = CaseSensitive ? Value : AnsiUpperCase(Value);
  return SearchFrom(Items, StartIndex, [&](const String& S) {
    const String Item = CaseSensitive ? S : AnsiUpperCase(S);
    return Item.compare(0, Wanted.size(), Wanted) == 0;
  });
}
