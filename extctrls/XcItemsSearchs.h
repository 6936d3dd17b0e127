// TXcItemsSearchs: circular searches over a string list. Both start after StartIndex, run to
// the end, continue from the top and end at StartIndex (StartIndex -1 visits the list once from
// the top); they answer the first match or -1.
#pragma once

#include "platform/rtl/StringList.h"

class TXcItemsSearchs {
public:
  TXcItemsSearchs() = delete;
  // An item equal to Value (locale-aware; without CaseSensitive letter case is ignored).
  static int FindExact(TStrings* Items, const String& Value, int StartIndex, bool CaseSensitive);
  // An item that starts with Value; an empty Value matches nothing.
  static int FindPrefix(TStrings* Items, const String& Value, int StartIndex, bool CaseSensitive);
};
