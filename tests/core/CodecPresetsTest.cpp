#include <gtest/gtest.h>

#include <algorithm>
#include <map>
#include <memory>
#include <random>
#include <set>
#include <vector>

#include "core/CodecPresets.h"
#include "platform/rtl/StrUtils.h"
#include "RunnerTestSupport.h"

namespace {

struct THost {
  THost()
  {
    runnertest::EnsureHeadlessDisplay();
    Form = std::make_unique<TForm>(nullptr);
    Grid = std::make_unique<TStringGrid>(nullptr);
    Grid->SetParent(Form.get());
    // The hidden preset grid of the main window: 100 columns, no fixed cells, one empty row.
    Grid->SetColCount(100);
    Grid->SetFixedCols(0);
    Grid->SetFixedRows(0);
    Grid->SetRowCount(1);
  }
  ~THost() { Grid->SetParent(nullptr); }
  std::unique_ptr<TForm> Form;
  std::unique_ptr<TStringGrid> Grid;
};

// The shared grid sort as the start-up uses it: an exchange sort of whole rows by column 0.
void SortByFirstColumn(TStringGrid* Grid)
{
  const int Rows = Grid->GetRowCount();
  for (int A = 0; A < Rows - 1; ++A)
    for (int I = A + 1; I < Rows; ++I)
      if (AnsiCompareText(Grid->GetCells(0, A), Grid->GetCells(0, I)) > 0)
        for (int C = 0; C < 4; ++C) {
          const String T = Grid->GetCells(C, A);
          Grid->SetCells(C, A, Grid->GetCells(C, I));
          Grid->SetCells(C, I, T);
        }
}

struct TRowKey {
  const char* Id;
  const char* Tool;
  const char* Ext;
};

// Row, id, tool and extension of the table after start-up.
const TRowKey SortedRows[] = {
      {"3gp_aac_mp4", "mencoder", "mp4"},
      {"3gp1_aac", "mencoder", "3gp"},
      {"3gp1_amr-nb", "mencoder", "3gp"},
      {"3gp1_amr-wb", "mencoder", "3gp"},
      {"3gp2_aac", "mencoder", "3g2"},
      {"amv_mp2", "mencoder", "amv"},
      {"asf_wma_wme_sp", "wmencoder", "asf"},
      {"audio_mp3", "mencoder", "mp3"},
      {"divx_mp3", "mencoder", "avi"},
      {"divx4_copy", "mencoder", "avi"},
      {"divx4_mp3", "mencoder", "avi"},
      {"divx5_copy", "mencoder", "avi"},
      {"divx5_mp3", "mencoder", "avi"},
      {"divx5_mp3_cam", "mencoder", "avi"},
      {"divx5_mp3_palm", "mencoder", "avi"},
      {"flv_mp3", "mencoder", "flv"},
      {"h264_5.1", "mencoder", "mov"},
      {"h264_5.1_hq", "mencoder", "mov"},
      {"h264_5.1_mp4", "mencoder", "mp4"},
      {"h264_5.1_mp4_hq", "mencoder", "mp4"},
      {"h264_appletv", "mencoder", "mp4"},
      {"h264_appletv_hq", "mencoder", "mp4"},
      {"h264_ipod", "mencoder", "mp4"},
      {"h264_ipod_hq", "mencoder", "mp4"},
      {"h264_lv31", "mencoder", "mp4"},
      {"h264_lv31_hq", "mencoder", "mp4"},
      {"h264_ps3", "mencoder", "avi"},
      {"h264_ps3_hq", "mencoder", "avi"},
      {"h264_psp", "mencoder", "mp4"},
      {"h264_psp_hq", "mencoder", "mp4"},
      {"h264_psp2", "ffmpeg", "MP4"},
      {"h264_xbox", "mencoder", "avi"},
      {"h264_xbox_hq", "mencoder", "avi"},
      {"mpeg1_rockbox", "mencoder", "mpg"},
      {"mpeg2_copy", "mencoder", "mpg"},
      {"mpeg2_copy_hq", "mencoder", "mpg"},
      {"mpeg2_mp2", "mencoder", "mpg"},
      {"mpeg2_mp2_hq", "mencoder", "mpg"},
      {"mpeg2_rockbox", "mencoder", "mpg"},
      {"mpeg4_ipod", "mencoder", "mp4"},
      {"mpeg4_psp", "ffmpeg", "MP4"},
      {"msmpeg4_mp3", "mencoder", "avi"},
      {"wmv_wma", "mencoder", "wmv"},
      {"wmv_wma_hq", "mencoder", "wmv"},
      {"wmv7_wma_wme", "wmencoder", "wmv"},
      {"wmv8_wma_wme", "wmencoder", "wmv"},
      {"wmv9_wma_wme", "wmencoder", "wmv"},
      {"wmv9_wma_wme_mixmax", "wmencoder", "wmv"},
      {"wmv9_wma_wme_sp", "wmencoder", "wmv"},
      {"xvid_copy", "mencoder", "avi"},
      {"xvid_mp2", "mencoder", "avi"},
      {"xvid_mp3", "mencoder", "avi"},
      {"xvid_mp3_sansa", "mencoder", "avi"}
};

int Count(const String& Text, const String& Part)
{
  int N = 0;
  for (auto At = Text.find(Part); At != String::npos; At = Text.find(Part, At + 1)) ++N;
  return N;
}

String Options(TStringGrid* Grid, const String& Id)
{
  for (int R = 0; R < Grid->GetRowCount(); ++R)
    if (Grid->GetCells(CodecIdCol, R) == Id) return Grid->GetCells(CodecOptionsCol, R);
  ADD_FAILURE() << "no preset " << Id;
  return "";
}

}  // namespace

TEST(CodecPresets, StartUpFillsExactly53SortedRowsAndTheCodecBoxInTheSameOrder)
{
  THost Host;
  AppendCodecPresets(Host.Grid.get());
  EXPECT_EQ(Host.Grid->GetRowCount(), CodecPresetCount) << "the first preset goes into the empty row";
  SortByFirstColumn(Host.Grid.get());
  TStringList Box;
  Box.Add("stale item");
  FillCodecItems(Host.Grid.get(), &Box);
  ASSERT_EQ(Box.GetCount(), CodecPresetCount);
  for (int R = 0; R < CodecPresetCount; ++R) {
    EXPECT_EQ(Host.Grid->GetCells(CodecIdCol, R), SortedRows[R].Id) << R;
    EXPECT_EQ(Host.Grid->GetCells(CodecToolCol, R), SortedRows[R].Tool) << R;
    EXPECT_EQ(Host.Grid->GetCells(CodecExtensionCol, R), SortedRows[R].Ext) << R;
    EXPECT_EQ(Box.Get(R), SortedRows[R].Id) << R;
  }
  EXPECT_EQ(Host.Grid->GetCells(4, 0), "") << "only columns 0 to 3 are used";
}

TEST(CodecPresets, AnyDefinitionOrderSortsIntoTheSameTable)
{
  // The sort alone decides the order: shuffled definitions give the same rows.
  THost Host;
  AppendCodecPresets(Host.Grid.get());
  std::vector<int> Order(CodecPresetCount);
  for (int I = 0; I < CodecPresetCount; ++I) Order[I] = I;
  std::shuffle(Order.begin(), Order.end(), std::mt19937(7));
  THost Shuffled;
  for (int I = 0; I < CodecPresetCount; ++I) {
    if (I > 0) Shuffled.Grid->SetRowCount(I + 1);
    for (int C = 0; C < 4; ++C) Shuffled.Grid->SetCells(C, I, Host.Grid->GetCells(C, Order[I]));
  }
  SortByFirstColumn(Shuffled.Grid.get());
  for (int R = 0; R < CodecPresetCount; ++R) EXPECT_EQ(Shuffled.Grid->GetCells(0, R), SortedRows[R].Id) << R;
}

TEST(CodecPresets, AGridThatAlreadyHasRowsIsAppendedTo)
{
  THost Host;
  Host.Grid->SetCells(0, 0, "leftover");
  AppendCodecPresets(Host.Grid.get());
  EXPECT_EQ(Host.Grid->GetRowCount(), CodecPresetCount + 1);
  EXPECT_EQ(Host.Grid->GetCells(0, 0), "leftover");
}

TEST(CodecPresets, BlanksAndRepeatedOptionsReachTheTemplatesUnchanged)
{
  THost Host;
  AppendCodecPresets(Host.Grid.get());
  TStringGrid* G = Host.Grid.get();
  const String Mp2Hq = Options(G, "mpeg2_mp2_hq");
  EXPECT_NE(Mp2Hq.find("lmin=1:dc=10:dc=10:vrc_buf_size=1835"), String::npos);
  EXPECT_EQ(Count(Mp2Hq, "dc=10:"), 2);
  EXPECT_EQ(Count(Options(G, "mpeg2_copy_hq"), "dc=10:"), 1);
  EXPECT_TRUE(Mp2Hq.ends_with("vstrict=0:acodec=mp2:abitrate=$abr -af channels=$ac,volume=$vol"));
  for (const char* Id : {"mpeg2_copy", "mpeg2_copy_hq"}) {
    const String T = Options(G, Id);
    EXPECT_TRUE(T.ends_with(":vstrict=0 ") && !T.ends_with("  ")) << Id << ": one blank at the end";
  }
  EXPECT_NE(Options(G, "flv_mp3").find("vbitrate=$vbr  -of lavf"), String::npos) << "two blanks";
  const String Audio = Options(G, "audio_mp3");
  EXPECT_EQ(Count(Audio, "$vbr"), 0);
  EXPECT_NE(Audio.find("-ovc copy"), String::npos);
  EXPECT_NE(Audio.find("-of rawaudio"), String::npos);
  // No other template starts or ends with a blank or holds two in a row.
  for (int R = 0; R < G->GetRowCount(); ++R) {
    const String Id = G->GetCells(CodecIdCol, R), T = G->GetCells(CodecOptionsCol, R);
    ASSERT_FALSE(T.empty()) << Id;
    EXPECT_NE(T.front(), ' ') << Id;
    if (Id != "mpeg2_copy" && Id != "mpeg2_copy_hq") {
      EXPECT_NE(T.back(), ' ') << Id;
    }
    if (Id != "flv_mp3") {
      EXPECT_EQ(T.find("  "), String::npos) << Id;
    }
  }
}

TEST(CodecPresets, ToolsExtensionsAndPlaceholdersFollowTheTablesRules)
{
  THost Host;
  AppendCodecPresets(Host.Grid.get());
  TStringGrid* G = Host.Grid.get();
  std::map<String, int> Tools;
  std::map<String, std::vector<String>> ByTemplate;
  const std::set<String> Amr = {"3gp1_amr-nb", "3gp1_amr-wb"};
  const std::set<String> Surround = {"h264_5.1", "h264_5.1_hq", "h264_5.1_mp4", "h264_5.1_mp4_hq"};
  const std::set<String> Copy = {"divx4_copy", "divx5_copy", "mpeg2_copy", "mpeg2_copy_hq", "xvid_copy"};
  for (int R = 0; R < G->GetRowCount(); ++R) {
    const String Id = G->GetCells(CodecIdCol, R), Tool = G->GetCells(CodecToolCol, R);
    const String T = G->GetCells(CodecOptionsCol, R), Ext = G->GetCells(CodecExtensionCol, R);
    ++Tools[Tool];
    ByTemplate[T].push_back(Id);
    EXPECT_LE(Count(T, "$vbr"), 2) << Id;
    EXPECT_EQ(Count(T, "$vm2"), 0) << Id;
    EXPECT_EQ(Count(T, "$vm1"), Count(T, "$vm1:")) << Id << ": the pass option always stands as $vm1:";
    if (Tool == "ffmpeg") {
      EXPECT_EQ(Ext, "MP4") << Id;
      EXPECT_NE(T.find("$abrk"), String::npos) << Id;
    } else {
      EXPECT_EQ(Ext, LowerCase(Ext)) << Id;
    }
    if (Tool == "wmencoder") {
      EXPECT_NE(T.find("-v_bitrate $vbr000"), String::npos) << Id;
      EXPECT_NE(T.find("-v_mode $vm3"), String::npos) << Id;
    }
    if (Amr.count(Id)) {
      EXPECT_NE(T.find("channels=1"), String::npos) << Id;
      EXPECT_EQ(Count(T, "$ac"), 0) << Id;
      EXPECT_EQ(Count(T, "$abr"), 0) << Id;
      EXPECT_NE(T.find("libamr_nb"), String::npos) << Id;
    }
    if (Surround.count(Id)) {
      EXPECT_NE(T.find("-channels 6 -af pan=2:1:0:0:1:1:0:0:1:1:1:1:1"), String::npos) << Id;
      EXPECT_EQ(Count(T, "$ac"), 0) << Id;
      EXPECT_EQ(Count(T, "$vol"), 0) << Id;
    }
    if (Copy.count(Id)) {
      EXPECT_NE(T.find("-oac copy"), String::npos) << Id;
      EXPECT_EQ(Count(T, "$abr") + Count(T, "$ac") + Count(T, "$vol"), 0) << Id;
    }
  }
  EXPECT_EQ(Tools, (std::map<String, int>{{"mencoder", 45}, {"wmencoder", 6}, {"ffmpeg", 2}}));
  // Ids that share one template text.
  for (std::vector<String> Pair : {std::vector<String>{"3gp_aac_mp4", "3gp1_aac"},
                                   std::vector<String>{"divx5_mp3_cam", "divx5_mp3_palm"},
                                   std::vector<String>{"h264_ps3_hq", "h264_psp_hq"},
                                   std::vector<String>{"asf_wma_wme_sp", "wmv9_wma_wme_sp"}}) {
    EXPECT_EQ(ByTemplate[Options(G, Pair[0])], Pair);
  }
  int Shared = 0;
  for (const auto& [T, Ids] : ByTemplate) Shared += Ids.size() > 1 ? 1 : 0;
  EXPECT_EQ(Shared, 4);
}
