// The conversion history: its rows, the already-converted test, its two files and the folder
// list's buttons.
#include <algorithm>
#include <filesystem>

#include "ScanTestSupport.h"
#include "core/GridFiles.h"
#include "core/SourceRecognition.h"
#include "core/qv_functions.h"
#include "platform/rtl/DateUtils.h"

using namespace scantest;

namespace {

class HistoryWindow : public TScanTest {};

TEST_F(HistoryWindow, RowsAreNumberedDatedAndListedOncePerDevice)
{
  TskSkinStringGrid* G = History->database;
  Converted("Apple Ipod", "Movie.avi");
  Converted("Apple Ipod", "Movie.avi");  // the same job again
  Converted("Sony Psp", "Movie.avi");
  ASSERT_EQ(G->GetRowCount(), 3);
  EXPECT_EQ(G->GetCells(0, 1), "00001");
  EXPECT_EQ(G->GetCells(0, 2), "00002");
  EXPECT_EQ(G->GetCells(1, 1), FormatDateTime("mm/dd/yyyy", Now()));
  EXPECT_EQ(G->GetCells(2, 2), "Sony Psp");
  EXPECT_EQ(G->GetCells(3, 2), "Movie.avi");
}

TEST_F(HistoryWindow, WhatCountsAsConverted)
{
  Converted(CleanTitle("Apple iPod 5.5G"), "C:\\A\\Movie.avi");  // "Apple Ipod 5 5g"
  Converted("Nokia N95", "/home/ann/Clip.mkv");
  struct TCase {
    const char* Name;
    const char* Queued;  // the device queue's model name
    bool Skip;           // "Skip previously  converted files"
    const char* Source;
    bool NotDone;
  } Cases[] = {
      {"folders and case ignored", "Apple iPod 5.5G", true, "/d/b/movie.AVI", false},
      {"queue name cleaned like the history's", "Apple-iPod_5.5G", true, "/x/Movie.avi", false},
      {"device not queued", "Sony PSP", true, "/x/Movie.avi", true},
      {"option off", "Apple iPod 5.5G", false, "/x/Movie.avi", true},
      {"other name", "Nokia N95", true, "/x/Movie2.avi", true},
      {"linux history name", "Nokia N95", true, "/mnt/clip.MKV", false},
  };
  for (const auto& C : Cases) {
    Form->dq->SetRowCount(2);
    Form->dq->SetCells(0, 1, "");
    QueueDevice(C.Queued);
    ScanHost().SkipConverted = C.Skip;
    EXPECT_EQ(notdone(C.Source), C.NotDone) << C.Name;
  }
}

TEST_F(HistoryWindow, OneIndexForAWholeScanAnswersAsEveryRowWasCompared)
{
  // History names as they come: older Windows paths, odd characters, bytes that are not UTF-8.
  for (const char* Name : {"Movie.avi", "C:\\Old\\Win Path.AVI", "/home/a/-dash.avi", "/x/quote\"back\\slash.avi",
                           "/x/new\nline.avi", "/x/caf\xc3\xa9.avi", "/x/bad\xff.avi", "/x/colon:name.avi"})
    Converted("Apple Ipod", Name);
  Converted("Sony Psp", "Other.avi");
  QueueDevice("Apple iPod");
  ScanHost().SkipConverted = true;
  struct TCase {
    const char* Source;
    bool NotDone;
  } Cases[] = {
      {"/d/MOVIE.AVI", false},                 // names differing only in case
      {"/d/movie.avi.bak", true},
      {"/d/win path.avi", false},              // the name part of a Windows path
      {"C:\\Other\\Win Path.avi", false},
      {"/d/-DASH.avi", false},
      {"/y/QUOTE\"BACK\\SLASH.avi", false},   // a backslash is part of a name
      {"/y/quote\"back/slash.avi", true},
      {"/y/NEW\nLINE.avi", false},
      {"/y/CAF\xc3\xa9.avi", false},
      {"/y/caf\xc3\x89.avi", true},           // only ASCII letters fold
      {"/y/BAD\xff.avi", false},
      {"/y/colon:NAME.avi", false},
      {"/y/Other.avi", true},                  // converted for a device not queued
      {"/y/", true},
  };
  const TConvertedIndex Index;
  for (const TCase& C : Cases) {
    EXPECT_EQ(Index.NotDone(C.Source), C.NotDone) << C.Source;
    EXPECT_EQ(notdone(C.Source), C.NotDone) << C.Source;
  }

  // A scan sends the converted files to the skip list once each and identifies the rest.
  for (const char* F : {"in/MOVIE.AVI", "in/-dash.avi", "in/new\nline.avi", "in/fresh.avi"}) File(F);
  AddToSkipList(Dir + "in/-dash.avi");
  AddPendingInput(Dir + "in/");
  ScanTimerTimer();
  std::vector<std::string> Skipped = Items(Form->skiplist->GetItems());
  std::sort(Skipped.begin(), Skipped.end());
  EXPECT_EQ(Skipped, (std::vector<std::string>{Dir + "in/-dash.avi", Dir + "in/MOVIE.AVI", Dir + "in/new\nline.avi"}));
  EXPECT_EQ(Calls, std::vector<std::string>{"vid " + Dir + "in/fresh.avi"});
}

TEST_F(HistoryWindow, BothFilesSurviveCloseAndCreation)
{
  Converted("Apple Ipod", "Movie.avi");
  Converted("Apple Ipod", "new\nline\\and \"quote\".avi");  // a name kept exactly as it is
  History->track->GetItems()->Add("/home/ann/Clips/");
  History->track->GetItems()->Add("/mnt/b/");
  HistorySave();
  EXPECT_EQ(ReadBytes(Dir + "folders.db"), "/home/ann/Clips/\r\n/mnt/b/\r\n");

  delete History;
  History = new TForm3(nullptr);
  ScanHost().RememberFolders = true;
  BatchRunning = true;
  HistoryFormCreate();
  EXPECT_EQ(History->database->GetCells(3, 1), "Movie.avi");
  EXPECT_EQ(History->database->GetCells(3, 2), "new\nline\\and \"quote\".avi");
  EXPECT_EQ(History->database->GetCells(0, 0), "#");
  EXPECT_EQ(History->database->GetCells(3, 0), "Name");
  EXPECT_EQ(Items(Pending()), (std::vector<std::string>{"/home/ann/Clips/", "/mnt/b/"}));
  EXPECT_FALSE(BatchRunning);
  EXPECT_TRUE(Form->ScanTimer->GetEnabled());
}

TEST_F(HistoryWindow, ADamagedHistoryFileIsKeptAsideAndReported)
{
  WriteBytes(Dir + "filelist.db", "sixty\r\nrows\r\n");
  HistoryFormCreate();
  EXPECT_EQ(History->database->GetRowCount(), 2);
  EXPECT_EQ(History->database->GetCells(2, 0), "Device");
  EXPECT_EQ(ReadBytes(Dir + "filelist.db.damaged"), "sixty\r\nrows\r\n");
  EXPECT_NE(Form->status->GetCaption().find("filelist.db"), std::string::npos);
  HistorySave();  // the damaged copy stays
  EXPECT_EQ(ReadBytes(Dir + "filelist.db.damaged"), "sixty\r\nrows\r\n");
}

TEST_F(HistoryWindow, ADamagedFolderListKeepsItsReadableFoldersAndIsKeptAside)
{
  struct TCase {
    const char* Name;
    std::string Bytes;
    std::vector<std::string> Loaded;
    bool Damaged;
  } Cases[] = {
      {"whole file", "/a/\r\n/b c/\r\n", {"/a/", "/b c/"}, false},
      {"lines edited by hand", "/a/\n/b/\n", {"/a/", "/b/"}, false},
      {"empty file", "", {}, false},
      {"cut in the last path", "/a/\r\n/b/\r\n/mnt/cl", {"/a/", "/b/"}, true},
      {"cut between CR and LF", "/a/\r\n/b/\r", {"/a/"}, true},
      {"zero bytes in a line", std::string("/a/\r\n/b\0\0\0/\r\n/c/\r\n", 18), {"/a/", "/c/"}, true},
      {"an empty line", "/a/\r\n\r\n/c/\r\n", {"/a/", "/c/"}, true},
      {"nothing but noise", std::string("\x1f\x8b\x08\0\x03", 5), {}, true},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::filesystem::remove(Dir + "folders.db.damaged");
    WriteBytes(Dir + "folders.db", C.Bytes);
    History->track->GetItems()->Clear();
    Form->status->SetCaption("");
    HistoryFormCreate();
    EXPECT_EQ(Items(History->track->GetItems()), C.Loaded);
    EXPECT_EQ(std::filesystem::exists(Dir + "folders.db.damaged"), C.Damaged);
    if (!C.Damaged) continue;
    EXPECT_EQ(ReadBytes(Dir + "folders.db.damaged"), C.Bytes);
    EXPECT_NE(Form->status->GetCaption().find("folders.db"), std::string::npos) << Form->status->GetCaption();
    // The next save writes the folders that were read; the damaged copy stays as it was.
    HistorySave();
    std::string Written;
    for (const auto& F : C.Loaded) Written += F + "\r\n";
    EXPECT_EQ(ReadBytes(Dir + "folders.db"), Written);
    EXPECT_EQ(ReadBytes(Dir + "folders.db.damaged"), C.Bytes);
  }
}

TEST_F(HistoryWindow, AnUnreadableFolderListIsNotWrittenOver)
{
  std::filesystem::create_directories(Dir + "folders.db");  // a folder in its place
  HistoryFormCreate();
  EXPECT_EQ(History->track->GetItems()->GetCount(), 0);
  EXPECT_NE(Form->status->GetCaption().find("folders"), std::string::npos);
  RememberFolder("/new/");
  HistorySave();
  EXPECT_TRUE(std::filesystem::is_directory(Dir + "folders.db"));
  EXPECT_NE(Form->status->GetCaption().find("not saved"), std::string::npos);
}

TEST_F(HistoryWindow, ClearLeavesTheHeaderAndOneBlankRow)
{
  HistoryFormCreate();
  Converted("Apple Ipod", "Movie.avi");
  Converted("Sony Psp", "Movie.avi");
  HistoryClear();
  TStringGrid* Loaded = NewGrid(1, 1, 0);
  ASSERT_EQ(LoadGridText(Loaded, Dir + "filelist.db").Status, glLoaded);
  EXPECT_EQ(Loaded->GetColCount(), 60);
  EXPECT_EQ(Loaded->GetRowCount(), 2);
  EXPECT_EQ(Loaded->GetCells(1, 0), "Date");
  EXPECT_EQ(Loaded->GetCells(3, 1), "");
  Converted("Nokia", "Clip.mkv");
  EXPECT_EQ(History->database->GetCells(0, 1), "00001");
}

TEST_F(HistoryWindow, FolderButtons)
{
  TStrings* Track = History->track->GetItems();
  for (const char* F : {"/a/", "/b/", "/c/"}) Track->Add(F);
  HistoryDeleteFolder();  // none selected: the first goes
  EXPECT_EQ(Items(Track), (std::vector<std::string>{"/b/", "/c/"}));
  History->track->SetItemIndex(1);
  HistoryDeleteFolder();
  EXPECT_EQ(Items(Track), std::vector<std::string>{"/b/"});
  HistoryClearFolders();
  EXPECT_EQ(Track->GetCount(), 0);
  EXPECT_EQ(ReadBytes(Dir + "folders.db"), "");
  HistoryDeleteFolder();  // nothing to delete
}

TEST_F(HistoryWindow, AFolderWithALineBreakIsScannedButNotRemembered)
{
  EXPECT_TRUE(RememberFolder("/a/"));
  EXPECT_TRUE(RememberFolder("/a/"));
  EXPECT_FALSE(RememberFolder("/new\nline/"));
  EXPECT_EQ(Items(History->track->GetItems()), std::vector<std::string>{"/a/"});
}

}  // namespace
