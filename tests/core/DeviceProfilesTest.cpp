#include <gtest/gtest.h>

#include <map>
#include <set>
#include <vector>

#include "core/DeviceProfiles.h"

namespace {

struct TGroupCount {
  const char* Group;
  int Rows;
};

}  // namespace

TEST(DeviceProfiles, GroupsInDefinitionOrderWithTheirRowCounts)
{
  const TGroupCount Expected[] = {
      {"Clearview", 1},
      {"Misc", 13},
      {"Apple", 27},
      {"HD ( 720)", 16},
      {"HD (1080)", 6},
      {"Toshiba", 2},
      {"iPod", 16},
      {"Generic", 23},
      {"Audio Only", 1},
      {"Tivo", 2},
      {"Verizon", 2},
      {"Nokia", 14},
      {"Dingoo", 1},
      {"Smartphone", 7},
      {"HTC", 21},
      {"T-Mobile", 4},
      {"ATT", 1},
      {"HP", 3},
      {"iPaq", 1},
      {"E-TEN", 1},
      {"Microsoft", 26},
      {"Zune", 14},
      {"PocketPC", 15},
      {"Palm", 5},
      {"Epson", 4},
      {"Creative", 5},
      {"Blackberry", 13},
      {"Meizu", 1},
      {"Philips", 1},
      {"Asus", 3},
      {"Netbook", 5},
      {"MSI", 2},
      {"Western Digital", 3},
      {"Archos", 12},
      {"Cowon", 12},
      {"iRiver", 5},
      {"Samsung", 13},
      {"Motorola", 9},
      {"LG", 8},
      {"Sony-Ericsson", 2},
      {"HandheldPC", 4},
      {"Sony", 29},
      {"XBOX 360", 12},
      {"Sansa", 3},
      {"YouTube", 1},
      {"Android", 6},
      {"Harvel Profiles", 24},
      {"Tolmer Profiles", 17},
      {"Pirne Profiles", 22},
      {"Wendle Profiles", 14},
      {"Sorvak Profiles", 9}
  };
  std::vector<std::pair<String, int>> Seen;
  for (const auto& P : DeviceProfileNameList()) {
    if (Seen.empty() || Seen.back().first != P.Group) Seen.emplace_back(P.Group, 0);
    ++Seen.back().second;
  }
  ASSERT_EQ(Seen.size(), std::size(Expected)) << "each group's rows stand together";
  for (std::size_t I = 0; I < Seen.size(); ++I) {
    EXPECT_EQ(Seen[I].first, Expected[I].Group) << I;
    EXPECT_EQ(Seen[I].second, Expected[I].Rows) << Expected[I].Group;
  }
  EXPECT_EQ(DeviceProfileNameList().size(), 461u);
}

TEST(DeviceProfiles, NamesAreStoredExactlyAndSharedAcrossGroupsAsListed)
{
  std::map<String, std::set<String>> Groups;
  std::map<std::pair<String, String>, int> Twice;
  for (const auto& P : DeviceProfileNameList()) {
    Groups[P.Name].insert(P.Group);
    ++Twice[{P.Group, P.Name}];
  }
  EXPECT_EQ(Groups.size(), 364u);
  int Shared = 0, SharedRows = 0;
  for (const auto& [Name, In] : Groups) Shared += In.size() > 1 ? 1 : 0;
  for (const auto& P : DeviceProfileNameList()) SharedRows += Groups[P.Name].size() > 1 || Twice[{P.Group, P.Name}] > 1;
  EXPECT_EQ(Shared, 71);
  EXPECT_EQ(SharedRows, 170);
  std::vector<std::pair<String, String>> Repeated;
  for (const auto& [Key, N] : Twice)
    if (N > 1) Repeated.push_back(Key);
  EXPECT_EQ(Repeated, (std::vector<std::pair<String, String>>{{"Blackberry", "8330 Curve"}, {"Epson", "P4000 AVI"}}));

  for (const char* Name : {"eGreat  720", "eGreat  720 HQ", "Zune   4", "Zune   8", "Zune  80", "Zune   4 (Small)",
                           "Zune  30 (HQ)", "eee  7\"", "Asus eee  9\"", "MSI Wind 10\"", "Netbook 11\"",
                           "Alias SCH\x96u740", "Zune HD (TV )"})
    EXPECT_EQ(Groups.count(Name), 1u) << Name;
  for (const auto& [Name, In] : Groups) {
    if (In.count("Netbook") || In.count("Asus") || In.count("MSI")) {
      EXPECT_EQ(Name.back(), '"') << Name << ": netbook names end with an inch mark";
    }
  }
}

TEST(DeviceProfiles, TheDeviceListLeavesOutTheProfileGroupsAndKeepsDuplicates)
{
  const std::vector<String> Lines = DeviceListLines(DeviceProfileNameList());
  EXPECT_EQ(Lines.size(), 375u);
  EXPECT_EQ(Lines.front(), "Clearview miPC Infinity");
  for (const String& Line : Lines) EXPECT_EQ(Line.find("Profile"), String::npos) << Line;
  EXPECT_EQ(std::count(Lines.begin(), Lines.end(), "Epson P4000 AVI"), 2);
}

TEST(DeviceProfiles, AUniqueProfileIsANameNotYetInsideAnEarlierLine)
{
  struct TCase {
    const char* Name;
    std::vector<TDeviceProfileName> Profiles;
    std::vector<String> Expected;
  };
  const TCase Cases[] = {
      {"same name in two groups", {{"A", "Zen"}, {"B", "Zen"}}, {"A Zen"}},
      {"inside a longer earlier name", {{"A", "Zen Vision"}, {"B", "Vision"}}, {"A Zen Vision"}},
      {"a longer later name is new", {{"A", "Vision"}, {"B", "Zen Vision"}}, {"A Vision", "B Zen Vision"}},
      {"found in the group part", {{"Sansa", "View"}, {"Misc", "Sansa"}}, {"Sansa View"}},
      {"case counts", {{"A", "zen"}, {"B", "Zen"}}, {"A zen", "B Zen"}},
      {"profile groups are skipped", {{"Harvel Profiles", "X"}, {"A", "X"}}, {"A X"}},
  };
  for (const auto& Case : Cases) EXPECT_EQ(UniqueProfileLines(Case.Profiles), Case.Expected) << Case.Name;
}

TEST(DeviceProfiles, ScreenSizeCandidatesJoinTheFormsSizesOnce)
{
  TStringList Items;
  AddFormScreenSizes(&Items);
  ASSERT_EQ(Items.GetCount(), 54);
  EXPECT_EQ(Items.Get(0), " 128 x  128");
  EXPECT_EQ(Items.Get(53), "1920 x 1200");
  AddScreenSizeCandidates(&Items);
  std::set<String> All;
  for (int I = 0; I < Items.GetCount(); ++I) EXPECT_TRUE(All.insert(Items.Get(I)).second) << Items.Get(I);
  EXPECT_EQ(Items.GetCount(), 319);
  struct TCase {
    const char* Text;
    bool Present;
  };
  const TCase Cases[] = {
      {" 432 x  240", true},  {"  72 x   40", true},  {" 200 x  112", true},  {"  88 x   48", false},
      {"  88 x   50", false}, {"  64 x   24", true},  {" 120 x  120", true},  {" 128 x  128", true},
      {"1024 x 768", true},   {"1024 x  768", true},  {"1920 x 1080", true},  {"1920 x 1920", true},
      {"  60 x   40", false}, {" 100 x  100", false}, {" 176 x  144", true},
  };
  for (const auto& Case : Cases) EXPECT_EQ(All.count(Case.Text) == 1, Case.Present) << Case.Text;
  EXPECT_EQ(ScreenSizeText(64, 24), "  64 x   24");
  EXPECT_EQ(ScreenSizeText(1400, 1050), "1400 x 1050");

  Items.SetSorted(true);
  EXPECT_EQ(Items.Get(0), "  64 x   24") << "leading blanks sort first";
}
