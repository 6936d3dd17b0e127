// The lines of a string list as a vector, so tests can compare a whole list in one check.
#pragma once

#include <vector>

#include "platform/rtl/StringList.h"

using Lines = std::vector<String>;

inline Lines LinesOf(const TStrings& List)
{
  Lines result;
  for (int i = 0; i < List.GetCount(); ++i) result.push_back(List[i]);
  return result;
}
