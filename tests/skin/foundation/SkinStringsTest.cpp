#include <gtest/gtest.h>

#include "skin/foundation/SkinStrings.h"

namespace {

TEST(SkinStrings, DefaultsAndLookup)
{
  TskResourceStrData data(nullptr);
  EXPECT_EQ(data.GetResStrings()->GetCount(), 121);
  EXPECT_EQ(data.GetResStrings()->Get(0), "MI_MINCAPTION=Mi&nimize");
  EXPECT_EQ(data.GetResStrings()->Get(120), "CUSTOMCOLOR=Custom...");
  EXPECT_EQ(data.CharSet, DEFAULT_CHARSET);
  EXPECT_EQ(data.GetResStr("edit_copy"), "Copy");
  EXPECT_EQ(data.GetResStr("FLV_LOOKIN"), "Look in: ");
  EXPECT_EQ(data.GetResStr("NO_SUCH_NAME"), "");
}

TEST(SkinStrings, AssignedLinesReplaceTheDefaults)
{
  TskResourceStrData data(nullptr);
  TStringList lines;
  lines.Add("KEY=x=y");
  lines.Add("EMPTY=");
  data.SetResStrings(&lines);
  EXPECT_EQ(data.GetResStr("KEY"), "x=y");
  EXPECT_EQ(data.GetResStr("EMPTY"), "");
  EXPECT_EQ(data.GetResStr("EDIT_UNDO"), "");
}

} // namespace
