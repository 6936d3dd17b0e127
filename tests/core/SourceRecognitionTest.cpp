// Source recognition and naming: the name cleaners, the extension, size and list tests, the
// queue duplicate test, volume names of folders and disc images, and the DVD folder tests.
#include <gtest/gtest.h>

#include <filesystem>

#include "MainFormTestSupport.h"
#include "core/SourceRecognition.h"

using mainformtest::TMainFormTest;

namespace {

class SourceNames : public TMainFormTest {};

TEST_F(SourceNames, CleanNameAndCleanTitle)
{
  const std::string Sixty = std::string(49, 'a') + " " + std::string(10, 'B');  // a blank at the cut
  const struct {
    std::string Text, Name, Title;
  } Cases[] = {
      {"Holiday_2008-Recorded.[HD]", "Holiday 2008 HD", "Holiday 2008 Hd"},
      {"Recorded Show Recorded", "Show Recorded", "Show Recorded"},
      {"THE big FILM", "THE big FILM", "The Big Film"},
      {"MY_DISC", "MY DISC", "My Disc"},
      {"a<b>c,d\"e'f", "a b c d e f", "A B C D E F"},
      {"   __..--  ", "", ""},
      {"", "", ""},
      // The cut keeps 50 characters and trims a blank left at the cut.
      {Sixty, Sixty, "A" + std::string(48, 'a')},
      // A mark beyond the 50th character is lost at the cut.
      {std::string(50, 'a') + "*", std::string(50, 'a') + "*", "A" + std::string(49, 'a')},
      // Only A-Z change case; multi-byte characters count as one and are never split.
      {"\xc3\xa9t\xc3\xa9 \xc3\x89T\xc3\x89", "\xc3\xa9t\xc3\xa9 \xc3\x89T\xc3\x89", "\xc3\xa9t\xc3\xa9 \xc3\x89t\xc3\x89"},
      {"\xff\xfe_bad", "\xff\xfe bad", "\xff\xfe Bad"},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(CleanName(C.Text), C.Name) << C.Text;
    EXPECT_EQ(CleanTitle(C.Text), C.Title) << C.Text;
  }
  std::string Accents;
  for (int I = 0; I < 60; ++I) Accents += "\xc3\xa9";
  EXPECT_EQ(CleanTitle(Accents), Accents.substr(0, 100));
  const std::string Long(10000, 'x');
  EXPECT_EQ(CleanTitle(Long), "X" + std::string(49, 'x'));
  EXPECT_EQ(CleanName(Long), Long);
}

TEST_F(SourceNames, TheCleanersReplaceTheCharactersOfTheirEdits)
{
  Form->Edit3->SetText("#");
  EXPECT_EQ(CleanName("a#b'c"), "a b'c");
}

TEST_F(SourceNames, ExtensionTests)
{
  const struct {
    const char* Path;
    bool Video, Image, Wmv;
    const char* Ext;
  } Cases[] = {
      {"/v/a.MKV", true, false, false, "mkv"},     {"/v/a.b.avi", true, false, true, "avi"},
      {"/v/rec.dvr-ms", true, false, false, "dvr-ms"}, {"/v/disc.ISO", false, true, false, "iso"},
      {"/v/a.wmv\"", false, false, true, "wmv\""}, {"/v/notes.txt", false, false, false, "txt"},
      {"/v/noext", false, false, false, ""},       {"", false, false, false, ""},
  };
  for (const auto& C : Cases) {
    EXPECT_EQ(LowerExtNoDot(C.Path), C.Ext) << C.Path;
    EXPECT_EQ(IsVideoExtension(C.Path), C.Video) << C.Path;
    EXPECT_EQ(IsDiscImageExtension(C.Path), C.Image) << C.Path;
    EXPECT_EQ(IsWmvSourceExtension(C.Path), C.Wmv) << C.Path;
  }
  // An item written in upper case (as a user's supported_vid.txt may hold) never matches.
  Form->subVid->GetItems()->Clear();
  Form->subVid->GetItems()->Add("MKV");
  EXPECT_FALSE(IsVideoExtension("/v/a.MKV"));
}

TEST_F(SourceNames, SizeLimitsOfLargeAndProducedFiles)
{
  namespace fs = std::filesystem;
  const struct {
    std::uintmax_t Size;
    bool Large, Produced;
  } Cases[] = {{1024000, false, false},
               {1024001, false, true},
               {921600000, false, true},
               {921600001, true, true},
               {5000000000ull, true, true}};
  for (const auto& C : Cases) {
    const std::string F = Dir + "f" + std::to_string(C.Size);
    WriteBytes(F, "");
    fs::resize_file(F, C.Size);  // sparse
    EXPECT_EQ(IsLargeFile(F), C.Large) << C.Size;
    EXPECT_EQ(IsFileOverLimit(F, false), C.Produced) << C.Size;
    EXPECT_TRUE(IsFileOverLimit(F, true));
  }
  fs::create_directory(Dir + "folder");
  EXPECT_FALSE(IsLargeFile(Dir + "folder"));
  EXPECT_FALSE(IsFileOverLimit(Dir + "folder", false));
  EXPECT_FALSE(IsLargeFile(Dir + "missing"));
  EXPECT_FALSE(IsFileOverLimit(Dir + "missing", false));
  EXPECT_TRUE(IsFileOverLimit(Dir + "missing", true));
  EXPECT_FALSE(IsFileOverLimit(Dir + "missing"));
  Form->finuse->SetChecked(true);  // "Ignore file-in-use check"
  EXPECT_TRUE(IsFileOverLimit(Dir + "missing"));
}

TEST_F(SourceNames, ListTests)
{
  TStringList L;
  L.Add("/films/a.avi");
  L.Add("Holiday");
  const struct {
    const char* Text;
    bool NotIn, NotContained;
  } Cases[] = {{"/films/a.avi", false, false}, {"/FILMS/a.avi", true, true}, {"films", true, false},
               {"Holiday 2", true, true},      {"", true, true}};
  for (const auto& C : Cases) {
    EXPECT_EQ(NotInList(C.Text, &L), C.NotIn) << C.Text;
    EXPECT_EQ(NotContainedInList(C.Text, &L), C.NotContained) << C.Text;
  }
}

TEST_F(SourceNames, VolumeNamesOfFoldersAndDiscImages)
{
  namespace fs = std::filesystem;
  fs::create_directories(Dir + "Rips/my_film");
  fs::create_directories(Dir + "Rips/transformers_vanilla/");
  WriteBytes(Dir + "Best.Movie.iso", "");
  fs::resize_file(Dir + "Best.Movie.iso", 1000000000);
  WriteBytes(Dir + "Small.Movie.iso", "");
  fs::resize_file(Dir + "Small.Movie.iso", 500000000);
  const struct {
    std::string Path;
    const char* Expected;
  } Cases[] = {
      {Dir + "Rips/my_film", "My Film"},
      {Dir + "Rips/my_film/", "My Film"},
      {"\"" + Dir + "Rips/my_film\"", "My Film"},
      {Dir + "Best.Movie.iso", "Best Movie"},
      {Dir + "Small.Movie.iso", "Small Movie Iso"},
      {Dir + "Rips/transformers_vanilla", "Transformers Vanilla*"},
      {Dir + "missing/THE_NAME", "The Name"},
  };
  for (const auto& C : Cases) EXPECT_EQ(DvdVolumeName(C.Path), C.Expected) << C.Path;
}

TEST_F(SourceNames, StripVideoTsFolder)
{
  const struct {
    const char* Path;
    const char* Expected;
  } Cases[] = {{"/media/DISC/VIDEO_TS", "/media/DISC"},
               {"/media/DISC/video_ts/", "/media/DISC/"},
               {"/media/Disc", "/media/Disc"},
               {"", ""}};
  for (const auto& C : Cases) EXPECT_EQ(StripVideoTsFolder(C.Path), C.Expected) << C.Path;
}

TEST_F(SourceNames, NotInQueueByPathAndForDiscsByVolumeName)
{
  std::filesystem::create_directories(Dir + "Rips/my_film");
  TStringGrid* Q = NewGrid(SourceRowColCount, 4);
  Q->SetCells(scSourcePath, 1, "/Films/Clip.AVI");
  Q->SetCells(scSourcePath, 2, Dir + "Rips/my_film");
  Q->SetCells(scName, 2, "My Film_1");
  Q->SetCells(scSourcePath, 3, Dir + "Rips/other");
  Q->SetCells(scName, 3, "Renamed_1");
  const struct {
    std::string Path;
    const char* Kind;
    bool Expected;
  } Cases[] = {
      {"/films/clip.avi", "vid", false},
      {"/films/clip2.avi", "vid", true},
      {"/films/clip.avi", "dvd", true},      // a disc also needs its volume name in column 2
      {Dir + "Rips/my_film", "dvd", false},
      {Dir + "Rips/my_film*", "dvd", true},  // the mark stays in the path compared
      {Dir + "Rips/other", "dvd", true},     // queued under a name that has changed
      {"/films/clip.avi", "file", true},     // an unknown kind matches nothing
  };
  for (const auto& C : Cases) EXPECT_EQ(NotInQueue(C.Path, C.Kind, Q), C.Expected) << C.Path << " " << C.Kind;
}

TEST_F(SourceNames, DvdFolderTests)
{
  namespace fs = std::filesystem;
  fs::create_directories(Dir + "disc/VIDEO_TS");
  WriteBytes(Dir + "disc/VIDEO_TS/VIDEO_TS.IFO", "x");
  WriteBytes(Dir + "disc/VIDEO_TS/VTS_01_1.VOB", "x");
  WriteBytes(Dir + "disc/VIDEO_TS/VTS_01_2.VOB", "x");
  fs::create_directories(Dir + "plain");
  EXPECT_TRUE(FolderHasIfo(Dir + "disc"));
  EXPECT_FALSE(FolderHasIfo(Dir + "plain"));
  EXPECT_FALSE(IsDvdDrive(Dir + "disc"));  // not on an optical drive
  EXPECT_EQ(Form->filelist3->GetItems()->GetCount(), 0);
  std::vector<std::string> Detected;
  DetectVobFiles(Dir + "disc", [&](const String& File, const String& Kind) {
    Detected.push_back(Kind + " " + File.substr(Dir.size()));
  });
  EXPECT_EQ(Detected, (std::vector<std::string>{"vid disc/VIDEO_TS/VTS_01_1.VOB", "vid disc/VIDEO_TS/VTS_01_2.VOB"}));
  EXPECT_EQ(Form->filelist3->GetItems()->GetCount(), 0);
}

}  // namespace
