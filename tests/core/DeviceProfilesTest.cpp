#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <regex>
#include <set>
#include <vector>

#include "core/CodecPresets.h"
#include "core/DeviceProfiles.h"
#include "RunnerTestSupport.h"

namespace {

TDeviceProfileDefinition P(const char* Group, const char* Name)
{
  return TDeviceProfileDefinition{Group, Name, "", 0, 0, "", 0, nullptr, nullptr, nullptr, nullptr};
}

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
  for (const auto& P : DeviceProfileList()) {
    if (Seen.empty() || Seen.back().first != P.Group) Seen.emplace_back(P.Group, 0);
    ++Seen.back().second;
  }
  ASSERT_EQ(Seen.size(), std::size(Expected)) << "each group's rows stand together";
  for (std::size_t I = 0; I < Seen.size(); ++I) {
    EXPECT_EQ(Seen[I].first, Expected[I].Group) << I;
    EXPECT_EQ(Seen[I].second, Expected[I].Rows) << Expected[I].Group;
  }
  EXPECT_EQ(DeviceProfileList().size(), 461u);
}

TEST(DeviceProfiles, NamesAreStoredExactlyAndSharedAcrossGroupsAsListed)
{
  std::map<String, std::set<String>> Groups;
  std::map<std::pair<String, String>, int> Twice;
  for (const auto& P : DeviceProfileList()) {
    Groups[P.Name].insert(P.Group);
    ++Twice[{P.Group, P.Name}];
  }
  EXPECT_EQ(Groups.size(), 364u);
  int Shared = 0, SharedRows = 0;
  for (const auto& [Name, In] : Groups) Shared += In.size() > 1 ? 1 : 0;
  for (const auto& P : DeviceProfileList()) SharedRows += Groups[P.Name].size() > 1 || Twice[{P.Group, P.Name}] > 1;
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
  const std::vector<String> Lines = DeviceListLines(DeviceProfileList());
  EXPECT_EQ(Lines.size(), 375u);
  EXPECT_EQ(Lines.front(), "Clearview miPC Infinity");
  for (const String& Line : Lines) EXPECT_EQ(Line.find("Profile"), String::npos) << Line;
  EXPECT_EQ(std::count(Lines.begin(), Lines.end(), "Epson P4000 AVI"), 2);
}

TEST(DeviceProfiles, AUniqueProfileIsANameNotYetInsideAnEarlierLine)
{
  struct TCase {
    const char* Name;
    std::vector<TDeviceProfileDefinition> Profiles;
    std::vector<String> Expected;
  };
  const TCase Cases[] = {
      {"same name in two groups", {P("A", "Zen"), P("B", "Zen")}, {"A Zen"}},
      {"inside a longer earlier name", {P("A", "Zen Vision"), P("B", "Vision")}, {"A Zen Vision"}},
      {"a longer later name is new", {P("A", "Vision"), P("B", "Zen Vision")}, {"A Vision", "B Zen Vision"}},
      {"found in the group part", {P("Sansa", "View"), P("Misc", "Sansa")}, {"Sansa View"}},
      {"case counts", {P("A", "zen"), P("B", "Zen")}, {"A zen", "B Zen"}},
      {"profile groups are skipped", {P("Harvel Profiles", "X"), P("A", "X")}, {"A X"}},
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

namespace {

struct TGroupRange {
  const char* Group;
  std::set<String> Sizes;
  int VideoMin, VideoMax;
  std::set<int> Audio;
  std::set<String> Presets;
  std::set<int> FrameRates;
  int Mono;
};

struct TDeviceHost {
  TDeviceHost()
  {
    runnertest::EnsureHeadlessDisplay();
    Form = std::make_unique<TForm>(nullptr);
    Grid = std::make_unique<TStringGrid>(nullptr);
    Grid->SetParent(Form.get());
    Grid->SetColCount(DeviceTableColCount);
    Grid->SetFixedCols(0);
    Grid->SetFixedRows(0);
    Grid->SetRowCount(1);
    AppendDeviceProfiles(Grid.get());
    ApplyDeviceDefaults(Grid.get());
  }
  ~TDeviceHost() { Grid->SetParent(nullptr); }
  String Cell(int Col, int Row) const { return Grid->GetCells(Col, Row); }
  int Number(int Col, int Row) const { return std::stoi(Cell(Col, Row)); }
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TStringGrid> Grid;
};

}  // namespace

TEST(DeviceProfiles, TheTableHas461RowsWithTheColumnDefaults)
{
  TDeviceHost H;
  ASSERT_EQ(H.Grid->GetRowCount(), 461);
  int Mono = 0, Loud = 0;
  for (int R = 0; R < 461; ++R) {
    EXPECT_EQ(H.Cell(DeviceBrightnessCol, R), "0") << R;
    EXPECT_EQ(H.Cell(DeviceContrastCol, R), "0") << R;
    EXPECT_EQ(H.Cell(DevicePassesCol, R), "1") << R;
    EXPECT_EQ(H.Cell(DeviceFolderCol, R), "") << R;
    const String Ch = H.Cell(DeviceChannelsCol, R), Vol = H.Cell(DeviceVolumeCol, R);
    EXPECT_TRUE(Ch == "1" || Ch == "2") << R;
    EXPECT_TRUE(Vol == "5" || Vol == "7") << R;
    Mono += Ch == "1";
    if (Vol == "7") {
      ++Loud;
      EXPECT_EQ(H.Cell(DeviceNameCol, R), "Zen 4GB");
      EXPECT_EQ(H.Cell(DeviceGroupCol, R), "Creative");
    }
  }
  EXPECT_EQ(Mono, 146);
  EXPECT_EQ(Loud, 1);
}

TEST(DeviceProfiles, EveryGroupUsesExactlyItsListedValues)
{
  const TGroupRange Ranges[] = {
      {"Clearview", {"480x272"}, 700, 700, {128}, {"divx5_mp3"}, {30}, 0},
      {"Misc", {"220x176", "224x176", "320x240", "400x300", "480x272"}, 160, 700, {32, 64, 128}, {"divx5_mp3", "divx5_mp3_palm", "divx5_mp3_cam", "wmv_wma", "asf_wma_wme_sp", "wmv9_wma_wme_mixmax", "mpeg4_ipod", "3gp_aac_mp4", "xvid_mp3_sansa", "h264_ipod", "flv_mp3"}, {15, 18, 20, 30}, 8},
      {"Apple", {"320x240", "480x320", "640x480", "720x320", "720x480", "1280x720"}, 300, 3000, {128, 160}, {"mpeg4_ipod", "h264_ipod", "h264_ipod_hq", "h264_appletv"}, {30}, 0},
      {"HD ( 720)", {"1280x720"}, 1500, 3000, {128, 160}, {"h264_ipod", "h264_ipod_hq", "h264_lv31", "h264_lv31_hq", "xvid_mp3"}, {30}, 0},
      {"HD (1080)", {"1920x1080"}, 4000, 8000, {128, 160}, {"h264_lv31", "h264_lv31_hq", "xvid_mp3"}, {30}, 0},
      {"Toshiba", {"480x320", "720x320"}, 500, 700, {128, 160}, {"h264_ipod", "h264_ipod_hq"}, {30}, 0},
      {"iPod", {"320x240", "480x320", "640x480"}, 300, 700, {128, 160}, {"mpeg4_ipod", "h264_ipod", "h264_ipod_hq", "h264_appletv"}, {30}, 0},
      {"Generic", {"176x144", "320x240", "640x400", "640x480", "720x480", "800x600", "1280x800"}, 120, 8000, {32, 64, 128, 160}, {"3gp1_amr-nb", "mpeg4_ipod", "h264_ipod", "divx5_mp3", "wmv_wma", "msmpeg4_mp3", "mpeg2_mp2", "divx5_copy", "xvid_mp3"}, {12, 25, 30}, 6},
      {"Audio Only", {"128x128"}, 100, 100, {128}, {"audio_mp3"}, {30}, 0},
      {"Tivo", {"720x480"}, 2000, 2000, {128}, {"mpeg2_mp2", "mpeg2_copy"}, {30}, 0},
      {"Verizon", {"176x144", "320x240"}, 120, 300, {32, 64}, {"3gp1_amr-nb", "divx5_mp3"}, {12, 30}, 2},
      {"Nokia", {"176x144", "208x176", "320x240", "416x352"}, 120, 300, {32, 64}, {"3gp1_amr-nb", "h264_ipod", "mpeg4_ipod", "divx4_mp3", "divx_mp3", "3gp1_aac"}, {12, 15, 25, 30}, 14},
      {"Dingoo", {"320x240"}, 300, 300, {64}, {"divx5_mp3"}, {30}, 1},
      {"Smartphone", {"320x240"}, 300, 300, {64}, {"divx5_mp3", "wmv_wma", "wmv9_wma_wme"}, {20, 25, 30}, 7},
      {"HTC", {"176x144", "320x240", "480x320", "640x480", "800x480"}, 120, 700, {32, 64, 96, 128}, {"divx5_mp3", "h264_ipod", "h264_ipod_hq", "3gp1_amr-nb"}, {12, 30}, 13},
      {"T-Mobile", {"176x144", "480x320"}, 120, 600, {32, 96, 128}, {"divx5_mp3", "3gp1_amr-nb", "h264_ipod", "h264_ipod_hq"}, {12, 30}, 1},
      {"ATT", {"640x480"}, 500, 500, {128}, {"divx5_mp3"}, {30}, 0},
      {"HP", {"320x240", "640x240"}, 160, 300, {32, 64}, {"divx5_mp3", "wmv_wma"}, {15, 20, 30}, 3},
      {"iPaq", {"320x240"}, 300, 300, {64}, {"divx5_mp3"}, {30}, 1},
      {"E-TEN", {"320x240"}, 300, 300, {64}, {"divx5_mp3"}, {30}, 1},
      {"Microsoft", {"320x240", "480x272", "640x480", "1280x720"}, 300, 1500, {64, 128}, {"h264_ipod", "h264_ipod_hq", "wmv_wma", "wmv_wma_hq", "h264_lv31", "h264_lv31_hq", "wmv9_wma_wme", "divx5_mp3"}, {20, 25, 30}, 12},
      {"Zune", {"320x240", "480x272", "1280x720"}, 300, 1500, {128}, {"h264_ipod", "h264_ipod_hq", "wmv_wma", "wmv_wma_hq", "h264_lv31", "h264_lv31_hq"}, {30}, 0},
      {"PocketPC", {"320x240", "320x320", "640x480"}, 300, 500, {64}, {"wmv7_wma_wme", "wmv8_wma_wme", "wmv_wma", "wmv9_wma_wme", "divx5_mp3"}, {20, 25, 30}, 13},
      {"Palm", {"320x240", "320x320", "480x320"}, 300, 700, {64, 128}, {"divx5_mp3", "h264_ipod", "h264_ipod_hq", "wmv9_wma_wme"}, {30}, 3},
      {"Epson", {"320x240"}, 400, 500, {128}, {"h264_ipod", "divx4_mp3"}, {24}, 0},
      {"Creative", {"320x240", "480x272", "640x480"}, 360, 700, {128}, {"divx4_mp3", "divx5_mp3"}, {24, 30}, 0},
      {"Blackberry", {"320x240", "480x360"}, 300, 700, {128}, {"divx4_mp3", "mpeg4_ipod", "h264_ipod", "h264_ipod_hq"}, {30}, 0},
      {"Meizu", {"320x240"}, 300, 300, {64}, {"divx5_mp3_palm"}, {18}, 1},
      {"Philips", {"320x240"}, 400, 400, {128}, {"wmv9_wma_wme"}, {30}, 0},
      {"Asus", {"640x400", "720x480"}, 1000, 1000, {128}, {"divx5_mp3"}, {30}, 0},
      {"Netbook", {"640x400", "720x480"}, 1000, 1000, {128}, {"divx5_mp3"}, {30}, 0},
      {"MSI", {"720x480"}, 1000, 1000, {128}, {"divx5_mp3"}, {30}, 0},
      {"Western Digital", {"640x480", "800x600", "1280x800"}, 1000, 3000, {128, 160}, {"divx5_mp3", "divx5_copy"}, {30}, 0},
      {"Archos", {"160x128", "320x240", "480x272", "640x240", "720x480"}, 200, 1500, {128}, {"h264_ipod", "xvid_mp3", "wmv_wma", "divx5_mp3"}, {30}, 0},
      {"Cowon", {"160x128", "320x240", "480x272", "720x480", "800x480"}, 200, 700, {128}, {"divx5_mp3", "h264_ipod", "xvid_mp3"}, {30}, 0},
      {"iRiver", {"320x240", "480x272"}, 500, 700, {128}, {"xvid_mp3"}, {30}, 0},
      {"Samsung", {"176x144", "320x240", "400x240", "400x320", "640x360", "800x480"}, 120, 700, {32, 64, 128}, {"divx5_mp3", "h264_ipod", "3gp1_amr-nb", "mpeg4_ipod"}, {12, 30}, 7},
      {"Motorola", {"176x144", "320x240"}, 120, 240, {32, 64}, {"wmv9_wma_wme", "3gp1_amr-nb"}, {12, 25}, 9},
      {"LG", {"176x144", "320x240"}, 120, 300, {32, 128}, {"3gp1_amr-nb", "h264_ipod"}, {12, 30}, 7},
      {"Sony-Ericsson", {"176x144", "800x480"}, 120, 700, {32, 128}, {"3gp1_amr-nb", "h264_ipod"}, {12, 25}, 1},
      {"HandheldPC", {"640x240", "640x480"}, 160, 500, {32, 128}, {"divx5_mp3"}, {15, 30}, 3},
      {"Sony", {"320x240", "480x272", "720x272", "720x480", "1280x720"}, 300, 8000, {128}, {"h264_ps3", "mpeg2_mp2", "mpeg2_copy", "h264_psp", "h264_psp_hq", "h264_ipod", "divx5_mp3", "divx5_copy", "xvid_mp3", "xvid_copy"}, {30}, 0},
      {"XBOX 360", {"720x480", "1280x720"}, 1500, 8000, {128}, {"wmv_wma", "divx5_mp3", "divx5_copy", "xvid_mp3", "xvid_copy", "h264_xbox"}, {30}, 0},
      {"Sansa", {"224x176", "320x240"}, 160, 300, {64, 128}, {"3gp_aac_mp4", "xvid_mp3_sansa", "h264_ipod"}, {15, 20, 30}, 2},
      {"YouTube", {"400x300"}, 200, 200, {64}, {"flv_mp3"}, {15}, 1},
      {"Android", {"176x144", "480x320"}, 120, 600, {32, 96, 128}, {"3gp1_amr-nb", "h264_ipod", "h264_ipod_hq"}, {12, 30}, 2},
      {"Harvel Profiles", {"128x128", "256x192", "288x192", "320x240", "480x320", "640x480", "720x480"}, 100, 1500, {64, 128, 160}, {"mpeg4_ipod", "h264_ipod", "h264_ipod_hq", "audio_mp3"}, {30}, 5},
      {"Tolmer Profiles", {"128x128", "176x144", "320x240", "480x272", "480x320", "640x480"}, 100, 700, {32, 64, 128}, {"h264_ipod", "3gp1_amr-nb", "wmv_wma", "h264_psp", "divx5_mp3", "audio_mp3"}, {12, 30}, 5},
      {"Pirne Profiles", {"128x128", "256x192", "320x240", "640x480", "720x480", "800x600", "1280x800"}, 100, 2000, {64, 128, 160}, {"h264_ipod", "h264_ipod_hq", "wmv_wma", "wmv_wma_hq", "divx5_mp3", "audio_mp3"}, {30}, 8},
      {"Wendle Profiles", {"128x128", "256x192", "320x240", "384x288", "480x360"}, 100, 700, {64, 128}, {"divx4_mp3", "mpeg4_ipod", "h264_ipod", "h264_ipod_hq", "audio_mp3"}, {30}, 6},
      {"Sorvak Profiles", {"128x128", "176x144", "288x192", "480x320"}, 100, 600, {32, 64, 96, 128}, {"3gp1_amr-nb", "h264_ipod", "h264_ipod_hq", "audio_mp3"}, {12, 30}, 4}
  };
  TDeviceHost H;
  for (const auto& G : Ranges) {
    std::set<String> Sizes, Presets;
    std::set<int> Audio, Rates;
    int VMin = 1 << 30, VMax = 0, Mono = 0, Rows = 0;
    for (int R = 0; R < 461; ++R) {
      if (H.Cell(DeviceGroupCol, R) != G.Group) continue;
      ++Rows;
      Sizes.insert(H.Cell(DeviceSizeCol, R));
      Presets.insert(H.Cell(DevicePresetCol, R));
      Audio.insert(H.Number(DeviceAudioRateCol, R));
      Rates.insert(H.Number(DeviceFrameRateCol, R));
      VMin = std::min(VMin, H.Number(DeviceVideoRateCol, R));
      VMax = std::max(VMax, H.Number(DeviceVideoRateCol, R));
      Mono += H.Cell(DeviceChannelsCol, R) == "1";
    }
    ASSERT_GT(Rows, 0) << G.Group;
    EXPECT_EQ(Sizes, G.Sizes) << G.Group;
    EXPECT_EQ(VMin, G.VideoMin) << G.Group;
    EXPECT_EQ(VMax, G.VideoMax) << G.Group;
    EXPECT_EQ(Audio, G.Audio) << G.Group;
    EXPECT_EQ(Presets, G.Presets) << G.Group;
    EXPECT_EQ(Rates, G.FrameRates) << G.Group;
    EXPECT_EQ(Mono, G.Mono) << G.Group;
  }
}

TEST(DeviceProfiles, TableWideValuesAndFixedFamilies)
{
  TDeviceHost H;
  std::set<String> Sizes, Presets, Known;
  std::set<int> Audio;
  int VMin = 1 << 30, VMax = 0, Amr = 0, Twelve = 0, Tcpmp = 0, AudioOnly = 0, Limited = 0;
  for (int I = 0; I < CodecPresetCount; ++I) Known.insert(CodecPresetDefinitions()[I].Id);
  for (int R = 0; R < 461; ++R) {
    const String Name = H.Cell(DeviceNameCol, R), Preset = H.Cell(DevicePresetCol, R);
    const String Size = H.Cell(DeviceSizeCol, R);
    Sizes.insert(Size);
    Presets.insert(Preset);
    Audio.insert(H.Number(DeviceAudioRateCol, R));
    VMin = std::min(VMin, H.Number(DeviceVideoRateCol, R));
    VMax = std::max(VMax, H.Number(DeviceVideoRateCol, R));
    EXPECT_TRUE(Known.count(Preset)) << Preset;
    EXPECT_TRUE(std::regex_match(Size, std::regex("[0-9]+x[0-9]+"))) << Size;
    const String Line = Size + " " + H.Cell(DeviceVideoRateCol, R) + " " + H.Cell(DeviceAudioRateCol, R) + " " +
                        H.Cell(DeviceFrameRateCol, R) + " " + H.Cell(DeviceChannelsCol, R);
    if (Preset == "3gp1_amr-nb") {
      ++Amr;
      EXPECT_EQ(Line, "176x144 120 32 12 1") << Name;
    }
    Twelve += H.Cell(DeviceFrameRateCol, R) == "12";
    if (Name.ends_with("(TCPMP)")) {
      ++Tcpmp;
      EXPECT_EQ(Preset, "divx5_mp3") << Name;
    }
    if (Preset == "audio_mp3") {
      ++AudioOnly;
      EXPECT_EQ(Line, "128x128 100 128 30 2") << Name;
      EXPECT_TRUE(Name == "Movie to MP3" || Name == "Audio only (mp3)") << Name;
    }
    if (!H.Cell(DeviceSpeedLimitSwitchCol, R).empty() || !H.Cell(DeviceSpeedLimitCol, R).empty()) ++Limited;
  }
  EXPECT_EQ(Sizes.size(), 30u);
  EXPECT_TRUE(Sizes.count("128x128") && Sizes.count("1920x1080"));
  EXPECT_EQ(Presets.size(), 34u);
  EXPECT_EQ(Audio, (std::set<int>{32, 64, 96, 128, 160}));
  EXPECT_EQ(VMin, 100);
  EXPECT_EQ(VMax, 8000);
  EXPECT_EQ(Amr, 34);
  EXPECT_EQ(Twelve, 34) << "only the AMR rows have 12 fps";
  EXPECT_EQ(Tcpmp, 31);
  EXPECT_EQ(AudioOnly, 6);
  EXPECT_EQ(Limited, 5);
}

TEST(DeviceProfiles, SpeedLimitRowsDuplicatesAndSharedNames)
{
  TDeviceHost H;
  const auto RowOf = [&](const String& Group, const String& Name, int Skip = 0) {
    for (int R = 0; R < 461; ++R)
      if (H.Cell(DeviceGroupCol, R) == Group && H.Cell(DeviceNameCol, R) == Name && Skip-- == 0) return R;
    ADD_FAILURE() << Group << " " << Name;
    return 0;
  };
  const auto Line = [&](int R) {
    String L;
    for (int C : {DeviceSizeCol, DeviceVideoRateCol, DeviceAudioRateCol, DevicePresetCol, DeviceFrameRateCol,
                  DeviceChannelsCol, DeviceVolumeCol, DeviceSpeedLimitSwitchCol, DeviceSpeedLimitCol})
      L += H.Cell(C, R) + "|";
    return L;
  };
  struct TLimit {
    const char* Group;
    const char* Name;
    const char* Expected;
  };
  const TLimit Limits[] = {
      {"HandheldPC", "Jornada 720 (TCPMP)", "640x240|160|32|divx5_mp3|15|1|5|Yes|1228800|"},
      {"HandheldPC", "MobilePro 900 (TCPMP)", "640x240|160|32|divx5_mp3|15|1|5|Yes|1228800|"},
      {"HandheldPC", "MobilePro 900c (TCPMP)", "640x240|180|32|divx5_mp3|15|1|5|Yes|1228800|"},
      {"HandheldPC", "Sigmarion 3 (TCPMP)", "640x480|500|128|divx5_mp3|30|2|5|No|8206848|"},
      {"HP", "Jornada 720 (TCPMP)", "640x240|160|32|divx5_mp3|15|1|5|Yes|1228800|"},
  };
  for (const auto& L : Limits) EXPECT_EQ(Line(RowOf(L.Group, L.Name)), L.Expected) << L.Name;

  const int P1 = RowOf("Epson", "P4000 AVI"), P2 = RowOf("Epson", "P4000 AVI", 1);
  EXPECT_EQ(H.Cell(DeviceVideoRateCol, P1), "400");
  EXPECT_EQ(H.Cell(DeviceVideoRateCol, P2), "500");
  H.Grid->SetCells(DeviceVideoRateCol, P1, "500");
  EXPECT_EQ(Line(P1), Line(P2)) << "otherwise equal";
  EXPECT_EQ(Line(RowOf("Blackberry", "8330 Curve")), Line(RowOf("Blackberry", "8330 Curve", 1)));

  // Rows of a name in several groups are equal, apart from the names whose differences are listed.
  const std::set<String> Differing = {"Zune HD", "NMT XVID", "NMT XVID HQ", "NMT H264", "NMT H264 HQ", "iPhone (HQ)",
                                      "iPod Touch (HQ)", "WMV", "WMV HQ", "DIVX", "DIVX HQ", "W Mobile 6 VGA"};
  std::map<String, std::set<String>> Lines;
  for (int R = 0; R < 461; ++R)
    if (H.Cell(DeviceGroupCol, R) != "Epson") Lines[H.Cell(DeviceNameCol, R)].insert(Line(R));
  for (const auto& [Name, Seen] : Lines)
    if (!Differing.count(Name)) {
      EXPECT_EQ(Seen.size(), 1u) << Name;
    }
  EXPECT_EQ(Line(RowOf("HD ( 720)", "Zune HD")).substr(0, 28), "1280x720|1500|128|h264_lv31|");
  EXPECT_EQ(Line(RowOf("Microsoft", "Zune HD")).substr(0, 26), "480x272|500|128|h264_ipod|");
  EXPECT_EQ(Line(RowOf("Zune", "Zune HD")), Line(RowOf("Microsoft", "Zune HD")));
  for (const char* Name : {"NMT XVID", "NMT XVID HQ", "NMT H264", "NMT H264 HQ"}) {
    const int Small = RowOf("HD ( 720)", Name), Large = RowOf("HD (1080)", Name);
    EXPECT_EQ(H.Cell(DeviceSizeCol, Small), "1280x720");
    EXPECT_EQ(H.Cell(DeviceSizeCol, Large), "1920x1080");
    EXPECT_GT(H.Number(DeviceVideoRateCol, Large), H.Number(DeviceVideoRateCol, Small)) << Name;
  }
  for (const char* Name : {"iPhone (HQ)", "iPod Touch (HQ)"}) {
    EXPECT_EQ(H.Cell(DeviceSizeCol, RowOf("Apple", Name)), "720x320");
    EXPECT_EQ(H.Cell(DeviceSizeCol, RowOf("Harvel Profiles", Name)), "480x320");
  }
  EXPECT_EQ(H.Cell(DeviceSizeCol, RowOf("iPod", "iPhone (HQ)")), "480x320");
  EXPECT_EQ(H.Cell(DeviceFrameRateCol, RowOf("Microsoft", "W Mobile 6 VGA")), "30");
  EXPECT_EQ(H.Cell(DeviceFrameRateCol, RowOf("PocketPC", "W Mobile 6 VGA")), "25");
}

namespace {

TEST(DeviceProfiles, FrameRatesOtherThan30GoToExactlyTheListedRows)
{
  const auto In = [](std::initializer_list<const char*> Groups, const char* Name) {
    std::vector<String> Rows;
    for (const char* G : Groups) Rows.push_back(String(G) + "|" + Name);
    return Rows;
  };
  std::map<int, std::multiset<String>> Expected;
  auto Add = [&](int Fps, const std::vector<String>& Rows) { Expected[Fps].insert(Rows.begin(), Rows.end()); };
  for (const char* N : {"Jornada 720 (TCPMP)", "MobilePro 900 (TCPMP)", "MobilePro 900c (TCPMP)"})
    Add(15, In({"HandheldPC"}, N));
  Add(15, In({"HP"}, "Jornada 720 (TCPMP)"));
  for (const char* N : {"N70", "N73", "N80", "N90", "N91", "N93", "N95"}) Add(15, In({"Nokia"}, N));
  Add(15, In({"Misc"}, "Sansa Connect"));
  Add(15, In({"Sansa"}, "Connect"));
  Add(15, In({"YouTube"}, "Flash Video"));
  Add(15, In({"Misc"}, "FLV"));
  Add(18, In({"Misc"}, "Meizu M6 Miniplayer"));
  Add(18, In({"Meizu"}, "M6 Miniplayer"));
  Add(20, In({"PocketPC"}, "PocketPC 2000"));
  Add(20, In({"PocketPC"}, "PocketPC 2002"));
  Add(20, In({"Microsoft", "PocketPC", "Smartphone"}, "W Mobile 6"));
  Add(20, In({"Misc"}, "GP2X"));
  Add(20, In({"HP"}, "IPAQ 22xx"));
  Add(20, In({"Misc"}, "Sansa Fuse"));
  Add(20, In({"Sansa"}, "Fuse"));
  for (const char* N : {"P2000", "P2000 AVI", "P4000 AVI", "P4000 AVI"}) Add(24, In({"Epson"}, N));
  Add(24, In({"Creative"}, "Zen 4GB"));
  for (const char* N : {"MPEG4 Cellphone", "AVC/H264 Cellphone", "XVID_MP3", "DIVX_MP3"}) Add(25, In({"Generic"}, N));
  for (const char* N : {"Nokia AVC (N95)", "Nokia 5800", "Nokia MP4"}) Add(25, In({"Nokia"}, N));
  for (const char* N : {"W Mobile 2003", "W Mobile 2005", "W Mobile 5", "W Mobile 2006"})
    Add(25, In({"Microsoft", "PocketPC", "Smartphone"}, N));
  for (const char* N : {"W Mobile 2003 VGA", "W Mobile 2005 VGA", "W Mobile 5 VGA", "W Mobile 2006 VGA"})
    Add(25, In({"Microsoft", "PocketPC"}, N));
  Add(25, In({"PocketPC"}, "W Mobile 6 VGA"));
  Add(25, In({"Motorola"}, "Q"));
  Add(25, In({"Sony-Ericsson"}, "SE Xperia X1a"));

  std::map<int, std::multiset<String>> Actual;
  for (const auto& P : DeviceProfileList())
    if (P.FrameRate != 30 && P.FrameRate != 12) Actual[P.FrameRate].insert(String(P.Group) + "|" + P.Name);
  EXPECT_EQ(Actual, Expected);
  EXPECT_EQ(Expected[25].size(), 30u);
}

TEST(DeviceProfiles, NineteenPresetsAreNamedByNoProfile)
{
  std::set<String> Unused;
  for (int I = 0; I < CodecPresetCount; ++I) Unused.insert(CodecPresetDefinitions()[I].Id);
  for (const auto& P : DeviceProfileList()) Unused.erase(P.Preset);
  EXPECT_EQ(Unused, (std::set<String>{"3gp1_amr-wb", "3gp2_aac", "amv_mp2", "divx4_copy", "h264_5.1", "h264_5.1_hq",
                                      "h264_5.1_mp4", "h264_5.1_mp4_hq", "h264_appletv_hq", "h264_ps3_hq", "h264_psp2",
                                      "h264_xbox_hq", "mpeg1_rockbox", "mpeg2_copy_hq", "mpeg2_mp2_hq", "mpeg2_rockbox",
                                      "mpeg4_psp", "wmv9_wma_wme_sp", "xvid_mp2"}));
}

}  // namespace

// The "FLV" profile writes Flash video, and the Sansa Fuse (which plays no Flash video) an AVI
// preset in both its groups.
TEST(DeviceProfiles, ProfilesGetTheFormatTheirDeviceTakes)
{
  std::map<std::string, std::string> Presets;
  for (const TDeviceProfileDefinition& P : DeviceProfileList()) Presets[std::string(P.Group) + "|" + P.Name] = P.Preset;
  EXPECT_EQ(Presets["Misc|FLV"], "flv_mp3");
  EXPECT_EQ(Presets["YouTube|Flash Video"], "flv_mp3");
  EXPECT_EQ(Presets["Misc|Sansa Fuse"], "divx5_mp3");
  EXPECT_EQ(Presets["Sansa|Fuse"], "xvid_mp3_sansa");
}
