// The text and stream grid files: their bytes, loading into grids of other sizes, damaged
// and missing files, the limits, and saves that never leave a half-written file.
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>

#include "../support/UnreadableFile.h"
#include "MainFormTestSupport.h"
#include "core/GridFiles.h"
#include "core/SourceRow.h"

using mainformtest::TMainFormTest;

namespace {

class GridFiles : public TMainFormTest {
protected:
  TStringGrid* Filled(int Cols, int Rows)
  {
    TStringGrid* G = NewGrid(Cols, Rows);
    for (int R = 0; R < Rows; ++R)
      for (int C = 0; C < Cols; ++C) G->SetCells(C, R, std::string(1, static_cast<char>('a' + C)) + std::to_string(R));
    return G;
  }
  static std::vector<std::string> Cells(TStringGrid* G)
  {
    std::vector<std::string> Out;
    for (int R = 0; R < G->GetRowCount(); ++R)
      for (int C = 0; C < G->GetColCount(); ++C) Out.push_back(G->GetCells(C, R));
    return Out;
  }
};

TEST_F(GridFiles, TextFileBytes)
{
  TStringGrid* G = Filled(3, 2);
  ASSERT_TRUE(SaveGridText(G, Dir + "g.state"));
  EXPECT_EQ(ReadBytes(Dir + "g.state"), "3\r\n2\r\na0\r\nb0\r\nc0\r\na1\r\nb1\r\nc1\r\n");
  // A line break inside a cell (a file name may hold one) is escaped, so every cell reads back
  // exactly and every other cell is written as it is.
  const std::vector<std::pair<std::string, std::string>> Escaped = {
      {"two\r\nlines\n", "two\1r\1nlines\1n"}, {"\1", "\1\1"}, {"a\1n", "a\1\1n"}, {"new\nline.avi", "new\1nline.avi"}};
  for (const auto& [Cell, Line] : Escaped) {
    SCOPED_TRACE(Line);
    G->SetCells(1, 1, Cell);
    ASSERT_TRUE(SaveGridText(G, Dir + "g.state"));
    EXPECT_EQ(ReadBytes(Dir + "g.state"), "3\r\n2\r\na0\r\nb0\r\nc0\r\na1\r\n" + Line + "\r\nc1\r\n");
    TStringGrid* Back = Filled(3, 2);
    EXPECT_EQ(LoadGridText(Back, Dir + "g.state").Status, glLoaded);
    EXPECT_EQ(Cells(Back), Cells(G));
  }
  EXPECT_EQ(UnescapeGridTextCell("odd\1x end\1"), "odd  end\1");
}

TEST_F(GridFiles, TextFileLoads)
{
  const struct {
    const char* Name;
    std::string Bytes;
    int StartCols;
    int Cols, Rows;
    std::vector<std::string> Cells;
  } Cases[] = {
      {"counts set the grid", "15\r\n4\r\n", 22, 15, 4, std::vector<std::string>(60)},
      {"cells row by row", "2\r\n2\r\nh1\r\nh2\r\nx\r\ny\r\n", 5, 2, 2, {"h1", "h2", "x", "y"}},
      {"short file fills with empty", "2\r\n2\r\nh1\r\n", 5, 2, 2, {"h1", "", "", ""}},
      {"lines after the last cell are not read", "1\r\n1\r\nonly\r\nextra\r\n", 3, 1, 1, {"only"}},
      {"LF and CR line ends", "2\n1\rleft\nright", 5, 2, 1, {"left", "right"}},
      {"blanks around counts", " 2 \r\n1\r\n\xff\xfe bytes\r\n \r\n", 5, 2, 1, {"\xff\xfe bytes", " "}},
      {"zero counts hold one", "0\r\n0\r\n", 5, 1, 1, {""}},
  };
  for (const auto& C : Cases) {
    TStringGrid* G = Filled(C.StartCols, 3);
    WriteBytes(Dir + "t.db", C.Bytes);
    const TGridLoadResult R = LoadGridText(G, Dir + "t.db");
    EXPECT_EQ(R.Status, glLoaded) << C.Name << ": " << R.Message;
    EXPECT_EQ(G->GetColCount(), C.Cols) << C.Name;
    EXPECT_EQ(G->GetRowCount(), C.Rows) << C.Name;
    EXPECT_EQ(Cells(G), C.Cells) << C.Name;
  }
}

TEST_F(GridFiles, BadTextFilesAreTreatedAsAbsent)
{
  const struct {
    const char* Name;
    std::string Bytes;
    const char* Reason;
  } Cases[] = {
      {"empty", "", "the column and row counts are missing"},
      {"one count", "3\r\n", "the column and row counts are missing"},
      {"not a number", "abc\r\n2\r\n", "the column count is not a whole number"},
      {"negative", "3\r\n-2\r\n", "the row count -2 is out of range"},
      {"huge", "3\r\n99999999999\r\n", "the row count is not a whole number"},
      {"over the row limit", "3\r\n200001\r\n", "the row count 200001 is out of range"},
      {"over the cell limit", "1024\r\n100000\r\n", "more than 8000000 cells"},
      {"text in the counts", "Duration: N/A\r\n1\r\n", "the column count is not a whole number"},
  };
  for (const auto& C : Cases) {
    TStringGrid* G = Filled(4, 3);
    const std::vector<std::string> Before = Cells(G);
    WriteBytes(Dir + "bad.db", C.Bytes);
    const TGridLoadResult R = LoadGridText(G, Dir + "bad.db");
    EXPECT_EQ(R.Status, glDamaged) << C.Name;
    EXPECT_EQ(R.Message, "The file \"" + Dir + "bad.db\" is damaged and was not loaded (" + C.Reason + ").") << C.Name;
    EXPECT_EQ(Cells(G), Before) << C.Name;
    EXPECT_EQ(G->GetColCount(), 4);
  }
  TStringGrid* G = Filled(4, 3);
  const TGridLoadResult R = LoadGridText(G, Dir + "missing.db");
  EXPECT_EQ(R.Status, glMissing);
  EXPECT_EQ(G->GetRowCount(), 3);
  EXPECT_EQ(G->GetCells(3, 2), "d2");
  EXPECT_EQ(LoadGridStream(G, Dir + "missing.state").Status, glMissing);
  EXPECT_EQ(G->GetCells(3, 2), "d2");
}

TEST_F(GridFiles, StreamFileBytes)
{
  TStringGrid* G = Filled(3, 2);
  G->SetCells(1, 1, std::string("x\0y\1z\r\n", 7));
  ASSERT_TRUE(SaveGridStream(G, Dir + "q.state"));
  EXPECT_EQ(ReadBytes(Dir + "q.state"), std::string("a0\0b0\0c0\1a1\0x y z\r\n\0c1\1", 23));
}

TEST_F(GridFiles, StreamFileLoads)
{
  const struct {
    const char* Name;
    std::string Bytes;
    int Rows;
    std::vector<std::string> Cells;  // of a 2-column grid
  } Cases[] = {
      {"two rows", std::string("h\0i\1a\0b\1", 8), 2, {"h", "i", "a", "b"}},
      {"extra columns dropped", std::string("1\0" "2\0" "3\1", 6), 1, {"1", "2"}},
      {"short row filled with empty", std::string("1\1", 2), 1, {"1", ""}},
      {"line breaks survive", std::string("a\r\nb\0c\1", 7), 1, {"a\r\nb", "c"}},
      {"unfinished last row dropped", std::string("1\0" "2\1" "3\0" "4", 7), 1, {"1", "2"}},
      {"empty file", "", 1, {"", ""}},
      {"cut inside the first row", std::string("1\0" "2", 3), 1, {"", ""}},
  };
  for (const auto& C : Cases) {
    TStringGrid* G = Filled(2, 10);
    WriteBytes(Dir + "s.state", C.Bytes);
    const TGridLoadResult R = LoadGridStream(G, Dir + "s.state");
    EXPECT_EQ(R.Status, glLoaded) << C.Name;
    EXPECT_EQ(G->GetColCount(), 2) << C.Name;
    EXPECT_EQ(G->GetRowCount(), C.Rows) << C.Name;
    EXPECT_EQ(Cells(G), C.Cells) << C.Name;
  }
}

TEST_F(GridFiles, RoundTripsInBothForms)
{
  TStringGrid* G = Filled(SourceRowColCount, 4);
  G->SetCells(scAudioTracks, 2, "128_LANG=en\r\n129_LANG=de\r\n");
  G->SetCells(scName, 3, std::string(10000, 'n'));
  ASSERT_TRUE(SaveGridStream(G, Dir + "laststate_queue.state"));
  TStringGrid* Back = Filled(SourceRowColCount, 2);
  ASSERT_EQ(LoadGridStream(Back, Dir + "laststate_queue.state").Status, glLoaded);
  EXPECT_EQ(Cells(Back), Cells(G));
  // A larger grid loaded before does not leave rows behind.
  TStringGrid* Small = Filled(SourceRowColCount, 2);
  ASSERT_TRUE(SaveGridStream(Small, Dir + "small.state"));
  ASSERT_EQ(LoadGridStream(Back, Dir + "small.state").Status, glLoaded);
  EXPECT_EQ(Back->GetRowCount(), 2);
  EXPECT_EQ(Cells(Back), Cells(Small));

  G->SetCells(scAudioTracks, 2, "no breaks in the text form");
  ASSERT_TRUE(SaveGridText(G, Dir + "laststate_devices.state"));
  TStringGrid* Text = Filled(SourceRowColCount, 2);
  ASSERT_EQ(LoadGridText(Text, Dir + "laststate_devices.state").Status, glLoaded);
  EXPECT_EQ(Cells(Text), Cells(G));
}

TEST_F(GridFiles, WhatASaveWritesLoadsBackAndWhatCannotIsRefusedBeforeTheFileIsReplaced)
{
  const struct {
    const char* Name;
    int Cols, Rows;
    bool Fits;
  } Cases[] = {
      {"the most rows", 1, MaxGridFileRows, true},
      {"one row too many", 1, MaxGridFileRows + 1, false},
      {"the most columns", MaxGridFileCols, 3, true},
      {"one column too many", MaxGridFileCols + 1, 1, false},
      {"too many cells within the row and column limits", MaxGridFileCols, static_cast<int>(MaxGridFileCells / MaxGridFileCols) + 1, false},
  };
  using TSave = bool (*)(TStringGrid*, const String&, String*);
  using TLoad = TGridLoadResult (*)(TStringGrid*, const String&);
  const struct {
    const char* Form;
    TSave Save;
    TLoad Load;
  } Forms[] = {{"text", &SaveGridText<TStringGrid>, &LoadGridText<TStringGrid>},
               {"stream", &SaveGridStream<TStringGrid>, &LoadGridStream<TStringGrid>}};
  for (const auto& F : Forms)
    for (const auto& C : Cases) {
      TStringGrid* G = NewGrid(C.Cols, C.Rows, 0);
      G->SetCells(0, 0, "first");
      G->SetCells(C.Cols - 1, C.Rows - 1, "last");
      WriteBytes(Dir + "limits.state", "old");
      String Message;
      ASSERT_EQ(F.Save(G, Dir + "limits.state", &Message), C.Fits) << F.Form << ", " << C.Name;
      if (!C.Fits) {
        EXPECT_NE(Message.find("too large"), String::npos) << F.Form << ", " << C.Name << ": " << Message;
        EXPECT_EQ(ReadBytes(Dir + "limits.state"), "old") << F.Form << ", " << C.Name;
        continue;
      }
      TStringGrid* Back = NewGrid(C.Cols, 1, 0);
      ASSERT_EQ(F.Load(Back, Dir + "limits.state").Status, glLoaded) << F.Form << ", " << C.Name;
      EXPECT_EQ(Back->GetRowCount(), C.Rows) << F.Form << ", " << C.Name;
      EXPECT_EQ(Back->GetCells(0, 0), "first") << F.Form << ", " << C.Name;
      EXPECT_EQ(Back->GetCells(C.Cols - 1, C.Rows - 1), "last") << F.Form << ", " << C.Name;
    }
}

TEST_F(GridFiles, AFailedSaveKeepsTheOldFile)
{
  TStringGrid* G = Filled(2, 2);
  WriteBytes(Dir + "keep.state", "old");
  String Message;
  EXPECT_FALSE(SaveGridText(G, Dir + "no/such/folder/x.state", &Message));
  EXPECT_FALSE(Message.empty());
  chmod(Dir.c_str(), 0500);
  const bool Writable = access((Dir + "probe").c_str(), F_OK) == 0 || geteuid() == 0;
  EXPECT_EQ(SaveGridStream(G, Dir + "keep.state"), Writable);
  chmod(Dir.c_str(), 0700);
  if (!Writable) {
    EXPECT_EQ(ReadBytes(Dir + "keep.state"), "old");
  }
  // No temporary file is left behind either way.
  for (const auto& Name : DirEntries()) EXPECT_TRUE(Name == "keep.state" || Name == "home") << Name;
}

}  // namespace

namespace {

// A file that is there but cannot be read is not "damaged": callers must not write over it.
TEST_F(GridFiles, FilesThatCannotBeReadAreNotDamaged)
{
  TStringGrid* G = Filled(4, 3);
  const std::vector<std::string> Before = Cells(G);
  std::filesystem::create_directories(Dir + "folder.db");
  TGridLoadResult R = LoadGridText(G, Dir + "folder.db");
  EXPECT_EQ(R.Status, glUnreadable);
  EXPECT_EQ(R.Message, "The file \"" + Dir + "folder.db\" cannot be read and was not loaded (it is a folder).");
  EXPECT_EQ(LoadGridStream(G, Dir + "folder.db").Status, glUnreadable);

  WriteBytes(Dir + "locked.db", "1\r\n1\r\nx\r\n");
  testsupport::TUnreadableFile Locked(Dir + "locked.db");
  if (!Locked.Usable()) GTEST_SKIP() << "no file here can be made unreadable: " << Locked.Why;
  R = LoadGridText(G, Dir + "locked.db");
  EXPECT_EQ(R.Status, glUnreadable);
  // The system's text for the reason, not a number.
  EXPECT_EQ(R.Message, "The file \"" + Dir + "locked.db\" cannot be read and was not loaded (it cannot be opened: Access is denied.).");
  EXPECT_EQ(Cells(G), Before);
}

// The size decides before a byte is read; a limit below the file refuses it as damaged.
TEST_F(GridFiles, TheSizeIsCheckedBeforeReading)
{
  WriteBytes(Dir + "ten.db", "0123456789");
  const struct {
    Int64 Limit;
    bool Read;
    const char* Why;
  } Cases[] = {{10, true, ""}, {9, false, "it is larger than 9 bytes"}, {0, false, "it is larger than 0 bytes"}};
  for (const auto& C : Cases) {
    String Bytes, Why;
    bool Missing = true, Unreadable = true;
    EXPECT_EQ(ReadGridFileBytes(Dir + "ten.db", Bytes, Missing, Why, &Unreadable, C.Limit), C.Read) << C.Limit;
    EXPECT_FALSE(Missing);
    EXPECT_FALSE(Unreadable);
    EXPECT_EQ(Why, C.Why);
    EXPECT_EQ(Bytes, C.Read ? "0123456789" : "");
  }
  // A sparse file far over the limit is refused at once, without its bytes being read.
  {
    FILE* F = fopen((Dir + "huge.db").c_str(), "wb");
    ASSERT_NE(F, nullptr);
    ASSERT_EQ(ftruncate(fileno(F), MaxGridFileBytes + 1), 0);
    fclose(F);
  }
  TStringGrid* G = Filled(2, 2);
  const TGridLoadResult R = LoadGridText(G, Dir + "huge.db");
  EXPECT_EQ(R.Status, glDamaged);
  EXPECT_NE(R.Message.find("larger than 256 MB"), std::string::npos);
  EXPECT_EQ(G->GetCells(1, 1), "b1");
}

}  // namespace
