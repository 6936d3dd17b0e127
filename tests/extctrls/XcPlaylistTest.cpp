#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "../support/TempDirTest.h"
#include "ExtctrlsTestSupport.h"
#include "extctrls/XcPlaylist.h"
#include "platform/rtl/Files.h"

namespace {

std::unique_ptr<TXcPlaylist> NewPlaylist()
{
  auto P = std::make_unique<TXcPlaylist>(nullptr);
  P->SetParent(HostForm());
  P->SetBounds(0, 0, 200, 120);
  P->SetVisible(false);
  return P;
}

std::vector<std::string> Lines(TStrings* S)
{
  std::vector<std::string> R;
  for (int I = 0; I < S->GetCount(); ++I) R.push_back(S->Get(I));
  return R;
}

// What the list box window shows.
std::vector<std::string> Shown(TXcPlaylist* P) { return Lines(P->TXcListBox::GetItems()); }

// The conversion driver's update of a folder's playlist after a converted file.
void AddConverted(TXcPlaylist* P, const std::string& Folder, const std::string& File)
{
  const std::string List = Folder + "playlist.m3u";
  P->Clear();
  if (FileExists(List)) P->GetItems()->LoadFromFile(List);
  bool Listed = false;
  for (int I = 0; I < P->GetItems()->GetCount(); ++I)
    if (P->GetItems()->Get(I) == File) Listed = true;
  if (!Listed) P->GetItems()->Add(File);
  P->SaveToFile(List);
}

bool HaveTool(const char* Name)
{
  return std::system((std::string("command -v ") + Name + " >/dev/null 2>&1").c_str()) == 0;
}

}  // namespace

class XcPlaylistTest : public TTempDirTest {};

TEST(XcPlaylist, DisplayNamesFollowTheOptions)
{
  struct TCase {
    const char* Path;
    bool Drive, Extension, Numbers;
    int Index;
    const char* Shown;
  } const Cases[] = {
      {"D:\\Videos\\clip.mp4", true, false, false, 0, "D:\\Videos\\clip"},
      {"D:\\Videos\\clip.mp4", false, false, false, 0, "\\Videos\\clip"},
      {"D:\\Videos\\clip.mp4", true, false, true, 0, "1. D:\\Videos\\clip"},
      {"D:\\Videos\\clip.mp4", true, true, false, 0, "D:\\Videos\\clip.mp4"},
      {"/home/ann/My.Videos/clip", true, false, false, 0, "/home/ann/My.Videos/clip"},
      {"/home/ann/a.b.mkv", true, false, true, 11, "12. /home/ann/a.b"},
      {"/srv/x:y/clip.avi", false, true, false, 0, "y/clip.avi"},
  };
  auto P = NewPlaylist();
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Path);
    P->SetShowDrive(C.Drive);
    P->SetShowExtension(C.Extension);
    P->SetShowNumbers(C.Numbers);
    EXPECT_EQ(P->GetDisplayName(C.Path, C.Index), C.Shown);
  }
}

TEST(XcPlaylist, PathsAndEntriesStayInStep)
{
  auto P = NewPlaylist();
  EXPECT_TRUE(P->GetShowDrive());
  EXPECT_FALSE(P->GetShowNumbers());
  EXPECT_FALSE(P->GetShowExtension());
  P->AddItem("/v/a.avi", nullptr);
  P->AddItem("/v/a.avi", nullptr);
  P->GetItems()->Add("/v/A.avi");
  EXPECT_EQ(Lines(P->GetItems()), (std::vector<std::string>{"/v/a.avi", "/v/a.avi", "/v/A.avi"}));
  EXPECT_EQ(Shown(P.get()), (std::vector<std::string>{"/v/a", "/v/a", "/v/A"}));
  P->SetShowExtension(true);
  EXPECT_EQ(Shown(P.get()), (std::vector<std::string>{"/v/a.avi", "/v/a.avi", "/v/A.avi"}));
  EXPECT_EQ(Lines(P->GetItems()), (std::vector<std::string>{"/v/a.avi", "/v/a.avi", "/v/A.avi"}));
  P->Clear();
  EXPECT_EQ(P->GetItems()->GetCount(), 0);
  EXPECT_TRUE(Shown(P.get()).empty());
}

TEST(XcPlaylist, DeletingAShownEntryDeletesItsPath)
{
  auto P = NewPlaylist();
  for (const char* S : {"/a.avi", "/b.avi", "/c.avi"}) P->GetItems()->Add(S);
  P->SetItemIndex(1);
  P->DeleteSelected();
  EXPECT_EQ(Lines(P->GetItems()), (std::vector<std::string>{"/a.avi", "/c.avi"}));
  EXPECT_EQ(Shown(P.get()), (std::vector<std::string>{"/a", "/c"}));
}

TEST(XcPlaylist, MovingReordersThePaths)
{
  struct TCase {
    int ItemIndex;
    bool Up;
    std::vector<std::string> Paths;
    int NewIndex;
  } const Cases[] = {
      {1, true, {"/b", "/a", "/c"}, 0},  {0, true, {"/a", "/b", "/c"}, 0},   {-1, true, {"/a", "/b", "/c"}, -1},
      {1, false, {"/a", "/c", "/b"}, 2}, {2, false, {"/a", "/b", "/c"}, 2},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(std::to_string(C.ItemIndex) + (C.Up ? " up" : " down"));
    auto P = NewPlaylist();
    for (const char* S : {"/a", "/b", "/c"}) P->GetItems()->Add(S);
    P->SetItemIndex(C.ItemIndex);
    if (C.Up)
      P->MoveSelectedUp();
    else
      P->MoveSelectedDown();
    EXPECT_EQ(Lines(P->GetItems()), C.Paths);
    EXPECT_EQ(Shown(P.get()), C.Paths);
    EXPECT_EQ(P->GetItemIndex(), C.NewIndex);
  }
  auto P = NewPlaylist();
  P->SetMultiSelect(true);
  for (const char* S : {"/a", "/b", "/c"}) P->GetItems()->Add(S);
  P->SetSelected(1, true);
  P->SetSelected(2, true);
  P->MoveSelectedUp();
  EXPECT_EQ(Lines(P->GetItems()), (std::vector<std::string>{"/b", "/c", "/a"}));
  EXPECT_EQ(Shown(P.get()), (std::vector<std::string>{"/b", "/c", "/a"}));
}

TEST_F(XcPlaylistTest, WritesOnePathPerLineEndedByCrLf)
{
  auto P = NewPlaylist();
  P->GetItems()->Add("D:\\a.avi");
  P->GetItems()->Add("E:\\b.mp4");
  P->SaveToFile(Dir + "playlist.m3u");
  EXPECT_EQ(ReadBytes(Dir + "playlist.m3u"), "D:\\a.avi\r\nE:\\b.mp4\r\n");
  P->Clear();
  P->SaveToFile(Dir + "playlist.m3u");
  EXPECT_EQ(ReadBytes(Dir + "playlist.m3u"), "");
}

TEST_F(XcPlaylistTest, ReadsLinesAsTheStringListDoes)
{
  struct TCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Paths;
  } const Cases[] = {
      {"CR LF", "/a\r\n/b\r\n", {"/a", "/b"}},
      {"no final break", "/a\r\n/b", {"/a", "/b"}},
      {"lone CR and LF", "/a\r/b\n/c", {"/a", "/b", "/c"}},
      {"empty line inside", "/a\r\n\r\n/b\r\n", {"/a", "", "/b"}},
      {"NUL ends the text", std::string("/a\r\n/b\0/c\r\n", 11), {"/a", "/b"}},
  };
  auto P = NewPlaylist();
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    WriteBytes(Dir + "in.m3u", C.Bytes);
    P->GetItems()->LoadFromFile(Dir + "in.m3u");
    EXPECT_EQ(Lines(P->GetItems()), C.Paths);
    EXPECT_EQ(P->TXcListBox::GetItems()->GetCount(), static_cast<int>(C.Paths.size()));
  }
  EXPECT_THROW(P->GetItems()->LoadFromFile(Dir + "missing.m3u"), EFOpenError);
  EXPECT_EQ(P->GetItems()->GetCount(), 2) << "a failed load keeps the paths";
}

TEST_F(XcPlaylistTest, AFailedWriteKeepsTheOldFileAndThePaths)
{
  auto P = NewPlaylist();
  P->GetItems()->Add("/old.avi");
  P->SaveToFile(Dir + "playlist.m3u");
  P->GetItems()->Add("/new.avi");
  try {
    P->SaveToFile(Dir + "no such folder/playlist.m3u");
    FAIL() << "no error";
  } catch (const EFCreateError& E) {
    EXPECT_EQ(E.Message().rfind("Cannot create file \"" + Dir + "no such folder/playlist.m3u\". ", 0), 0u) << E.Message();
  }
  if (geteuid() != 0) {
    chmod(Dir.c_str(), 0500);
    EXPECT_THROW(P->SaveToFile(Dir + "playlist.m3u"), EFCreateError);
    chmod(Dir.c_str(), 0700);
    EXPECT_EQ(ReadBytes(Dir + "playlist.m3u"), "/old.avi\r\n");
  }
  EXPECT_EQ(P->GetItems()->GetCount(), 2);
}

TEST_F(XcPlaylistTest, EachOutputFolderListsOnlyItsOwnFiles)
{
  auto P = NewPlaylist();
  std::filesystem::create_directories(Dir + "A");
  std::filesystem::create_directories(Dir + "B");
  for (const char* F : {"one.avi", "two.avi", "three.avi"}) AddConverted(P.get(), Dir + "A/", Dir + "A/" + F);
  AddConverted(P.get(), Dir + "A/", Dir + "A/two.avi");
  AddConverted(P.get(), Dir + "B/", Dir + "B/four.avi");
  EXPECT_EQ(ReadBytes(Dir + "A/playlist.m3u"), Dir + "A/one.avi\r\n" + Dir + "A/two.avi\r\n" + Dir + "A/three.avi\r\n");
  EXPECT_EQ(ReadBytes(Dir + "B/playlist.m3u"), Dir + "B/four.avi\r\n");
}

TEST_F(XcPlaylistTest, MplayerPlaysTheWrittenPlaylist)
{
  if (!HaveTool("ffmpeg")) GTEST_SKIP() << "ffmpeg is not installed";
  if (!HaveTool("mplayer")) GTEST_SKIP() << "mplayer is not installed";
  const std::string Clip = Dir + "my clip.avi";
  ASSERT_EQ(std::system(("ffmpeg -loglevel error -y -f lavfi -i testsrc=size=64x48:rate=10 -t 1 -c:v mpeg4 '" + Clip +
                         "' >/dev/null 2>&1")
                            .c_str()),
            0);
  auto P = NewPlaylist();
  P->GetItems()->Add(Clip);
  P->SaveToFile(Dir + "playlist.m3u");
  EXPECT_EQ(ReadBytes(Dir + "playlist.m3u"), Clip + "\r\n");
  const std::string Command = "cd '" + Dir + "' && mplayer -really-quiet -noconfig all -nolirc -vo null -ao null " +
                              "-identify -frames 3 -playlist playlist.m3u 2>&1";
  FILE* Out = popen(Command.c_str(), "r");
  ASSERT_NE(Out, nullptr);
  std::string Text;
  char Buffer[4096];
  while (std::size_t N = std::fread(Buffer, 1, sizeof Buffer, Out)) Text.append(Buffer, N);
  const int Status = pclose(Out);
  EXPECT_EQ(Status, 0) << Text;
  EXPECT_NE(Text.find("ID_FILENAME=" + Clip), std::string::npos) << Text;
  EXPECT_NE(Text.find("ID_VIDEO_WIDTH=64"), std::string::npos) << Text;
}

TEST(XcPlaylist, AssignedPathsAreShownNumbered)
{
  auto P = NewPlaylist();
  P->SetShowNumbers(true);
  TStringList Paths;
  Paths.Add("/x/one.avi");
  Paths.Add("/x/two.avi");
  P->SetItems(&Paths);
  EXPECT_EQ(Shown(P.get()), (std::vector<std::string>{"1. /x/one", "2. /x/two"}));
  P->SetShowNumbers(false);
  EXPECT_EQ(Shown(P.get()), (std::vector<std::string>{"/x/one", "/x/two"}));
  EXPECT_EQ(Lines(P->GetItems()), (std::vector<std::string>{"/x/one.avi", "/x/two.avi"}));
}
