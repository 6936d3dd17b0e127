#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <csignal>
#include <memory>
#include <utility>
#include <vector>

#include "../support/TempDirTest.h"
#include "extctrls/XcStringGrid.h"
#include "ExtctrlsTestSupport.h"

namespace {

using TRows = std::vector<std::vector<String>>;

std::unique_ptr<TXcStringGrid> GridOf(const TRows& Rows)
{
  EnsureHeadless();
  auto Grid = std::make_unique<TXcStringGrid>(nullptr);
  Grid->SetParent(HostForm());
  Grid->SetRowCount(static_cast<int>(Rows.size()));
  Grid->SetColCount(Rows.empty() ? 1 : static_cast<int>(Rows[0].size()));
  for (std::size_t R = 0; R < Rows.size(); ++R)
    for (std::size_t C = 0; C < Rows[R].size(); ++C)
      Grid->SetCells(static_cast<int>(C), static_cast<int>(R), Rows[R][C]);
  return Grid;
}

String Saved(TXcStringGrid* Grid)
{
  TStringStream Stream;
  Grid->SaveToStream(&Stream);
  return Stream.GetDataString();
}

void Load(TXcStringGrid* Grid, const String& Data)
{
  TStringStream Stream(Data);
  Grid->LoadFromStream(&Stream);
}

TRows CellsOf(TXcStringGrid* Grid, int Cols, int Rows)
{
  TRows Result(static_cast<std::size_t>(Rows));
  for (int R = 0; R < Rows; ++R)
    for (int C = 0; C < Cols; ++C) Result[static_cast<std::size_t>(R)].push_back(Grid->GetCells(C, R));
  return Result;
}

String Bytes(std::initializer_list<int> Values)
{
  String S;
  for (int V : Values) S.push_back(static_cast<char>(V));
  return S;
}

// A stream whose reads fail after a number of bytes.
class TFailingReadStream : public TStringStream {
public:
  TFailingReadStream(const String& Data, Int64 FailAt) : TStringStream(Data), FFailAt(FailAt) {}
  Int64 Read(void* Buffer, Int64 Count) override
  {
    if (GetPosition() + Count > FFailAt) throw EReadError("Stream read error");
    return TStringStream::Read(Buffer, Count);
  }

private:
  Int64 FFailAt;
};

// A stream that takes a number of bytes and then reports that nothing more could be written.
class TFullStream : public TStringStream {
public:
  explicit TFullStream(Int64 Room) : FRoom(Room) {}
  Int64 Write(const void* Buffer, Int64 Count) override
  {
    const Int64 N = std::min(Count, FRoom - GetSize());
    return N <= 0 ? 0 : TStringStream::Write(Buffer, N);
  }

private:
  Int64 FRoom;
};

}  // namespace

TEST(XcStringGridStream, SavesEveryCellRowByRowWithSeparators)
{
  struct TCase {
    const char* Name;
    TRows Rows;
    String Expected;
  };
  const TCase Cases[] = {
      {"two by two", {{"A", "B"}, {"X", ""}}, Bytes({0x41, 0x00, 0x42, 0x01, 0x58, 0x00, 0x01})},
      {"one empty cell", {{""}}, Bytes({0x01})},
      {"separator bytes become spaces", {{String("a\x01" "b", 3), String("\0c", 2)}},
       String("a b\0 c\x01", 7)},
      {"CR LF and high bytes pass", {{"l1\r\nl2", "\xC3\xA9"}}, String("l1\r\nl2\0\xC3\xA9\x01", 10)},
      {"empty rows", {{"", "", ""}, {"", "", ""}}, Bytes({0, 0, 1, 0, 0, 1})},
  };
  for (const auto& Case : Cases) {
    auto Grid = GridOf(Case.Rows);
    EXPECT_EQ(Saved(Grid.get()), Case.Expected) << Case.Name;
  }
}

TEST(XcStringGridStream, SaveLengthIsTheCellsPlusOneByteEachAndCellsOutsideTheCountsAreNotWritten)
{
  auto Grid = GridOf({{"abc", "", "de"}, {"", "f", ""}, {"ghij", "", ""}});
  Grid->SetCells(5, 1, "beyond the columns");
  Grid->SetCells(0, 9, "beyond the rows");
  EXPECT_EQ(Saved(Grid.get()).size(), 10u + 3u * 3u);
}

TEST(XcStringGridStream, SaveWritesAtThePositionAndReportsProgressBeforeEachCell)
{
  auto Grid = GridOf({{"A", "B", "C"}, {"D", "E", "F"}});
  std::vector<std::pair<int, int>> Seen;
  Grid->OnSaveProgress = [&](TObject* Sender, int Progression, int Total) {
    EXPECT_EQ(Sender, Grid.get());
    Seen.emplace_back(Progression, Total);
  };
  TStringStream Stream("head");
  Stream.Seek(0, soEnd);
  Grid->SaveToStream(&Stream);
  EXPECT_EQ(Stream.GetDataString(), String("headA\0B\0C\x01" "D\0E\0F\x01", 16));
  const std::vector<std::pair<int, int>> Expected = {{0, 6}, {0, 6}, {1, 6}, {2, 6}, {3, 6},
                                                     {4, 6}, {5, 6}, {6, 6}};
  EXPECT_EQ(Seen, Expected);
}

TEST(XcStringGridStream, AWriteThatFailsRaisesTheStreamsError)
{
  auto Grid = GridOf({{"0123456789", "x"}});
  TFullStream Stream(5);
  EXPECT_THROW(Grid->SaveToStream(&Stream), EWriteError);
}

TEST(XcStringGridStream, LoadGrowsTheCountsAndDropsOneRowAtTheEnd)
{
  struct TCase {
    const char* Name;
    int StartCols, StartRows;
    String Data;
    int Cols, Rows;
  };
  const TCase Cases[] = {
      {"example into exactly N rows", 2, 2, Bytes({0x41, 0x00, 0x42, 0x01, 0x58, 0x00, 0x01}), 2, 2},
      {"example into N + 1 rows", 2, 3, Bytes({0x41, 0x00, 0x42, 0x01, 0x58, 0x00, 0x01}), 2, 2},
      {"example into more rows", 2, 6, Bytes({0x41, 0x00, 0x42, 0x01, 0x58, 0x00, 0x01}), 2, 5},
      {"example into one row", 2, 1, Bytes({0x41, 0x00, 0x42, 0x01, 0x58, 0x00, 0x01}), 2, 2},
      {"one empty cell into two rows", 1, 2, Bytes({0x01}), 1, 1},
      {"empty stream", 3, 4, "", 3, 3},
      {"empty stream into one row", 3, 1, "", 3, 1},
      {"wider data widens", 1, 2, String("a\0b\0c\x01", 6), 3, 1},
      {"narrower data keeps the columns", 5, 2, String("a\0b\x01", 4), 5, 1},
      {"last row without its end", 2, 2, String("a\0b\x01" "c\0d", 7), 2, 1},
      {"only a cut-off cell", 2, 3, "abc", 2, 2},
  };
  for (const auto& Case : Cases) {
    EnsureHeadless();
    TXcStringGrid Grid(nullptr);
    Grid.SetParent(HostForm());
    Grid.SetFixedCols(0);
    Grid.SetFixedRows(0);
    Grid.SetColCount(Case.StartCols);
    Grid.SetRowCount(Case.StartRows);
    Load(&Grid, Case.Data);
    EXPECT_EQ(Grid.GetColCount(), Case.Cols) << Case.Name;
    EXPECT_EQ(Grid.GetRowCount(), Case.Rows) << Case.Name;
  }
}

TEST(XcStringGridStream, LoadStoresTheCellsAndLeavesWhatTheDataDoesNotReach)
{
  TRows Old = {{"o00", "o01", "o02", "o03"}, {"o10", "o11", "o12", "o13"}, {"o20", "o21", "o22", "o23"},
               {"o30", "o31", "o32", "o33"}, {"o40", "o41", "o42", "o43"}};
  auto Grid = GridOf(Old);
  // Row 0 has two cells, row 1 three, then a cut-off row with one finished cell.
  Load(Grid.get(), String("A\0B\x01" "C\0\0E\x01" "F\0G", 12));
  EXPECT_EQ(Grid->GetColCount(), 4);
  EXPECT_EQ(Grid->GetRowCount(), 4);
  const TRows Expected = {{"A", "B", "o02", "o03"}, {"C", "", "E", "o13"}, {"F", "o21", "o22", "o23"},
                          {"o30", "o31", "o32", "o33"}};
  EXPECT_EQ(CellsOf(Grid.get(), 4, 4), Expected);
}

TEST(XcStringGridStream, WhatIsSavedComesBackAndAGoldenFileFromTheExampleReadsTheSame)
{
  struct TCase {
    const char* Name;
    TRows Rows;
    TRows Back;
  };
  const String Long(10000, 'L');
  const TCase Cases[] = {
      {"example", {{"A", "B"}, {"X", ""}}, {{"A", "B"}, {"X", ""}}},
      {"separators become spaces", {{String("a\x01" "b", 3), "\r\n"}}, {{"a b", "\r\n"}}},
      {"a cell longer than a block between short ones",
       {{"s", Long, "t"}, {Long + "u", "", "v"}},
       {{"s", Long, "t"}, {Long + "u", "", "v"}}},
  };
  for (const auto& Case : Cases) {
    auto Source = GridOf(Case.Rows);
    auto Target = GridOf(TRows(Case.Rows.size(), std::vector<String>(Case.Rows[0].size(), "old")));
    Load(Target.get(), Saved(Source.get()));
    EXPECT_EQ(CellsOf(Target.get(), static_cast<int>(Case.Rows[0].size()), static_cast<int>(Case.Rows.size())),
              Case.Back)
        << Case.Name;
  }
}

class XcStringGridFileTest : public TTempDirTest {};

TEST_F(XcStringGridFileTest, TheStateFileRoadWritesTheExampleBytesAndReadsThemBack)
{
  auto Grid = GridOf({{"A", "B"}, {"X", ""}});
  TMemoryStream Out;
  Grid->SaveToStream(&Out);
  const String Name = Dir + "laststate_queue.state";
  Out.SaveToFile(Name);
  EXPECT_EQ(ReadBytes(Name), Bytes({0x41, 0x00, 0x42, 0x01, 0x58, 0x00, 0x01}));

  TMemoryStream In;
  In.LoadFromFile(Name);
  EnsureHeadless();
  TXcStringGrid Back(nullptr);
  Back.SetParent(HostForm());
  Back.LoadFromStream(&In);
  EXPECT_EQ(Back.GetRowCount(), 4) << "a five-row grid loses one row";
  EXPECT_EQ(CellsOf(&Back, 2, 2), (TRows{{"A", "B"}, {"X", ""}}));
}

TEST_F(XcStringGridFileTest, ASaveThatRunsOutOfRoomLeavesThePreviousFile)
{
  const String Name = Dir + "laststatus.state";
  WriteBytes(Name, String("old\0file\x01", 9));
  auto Grid = GridOf({{String(4000, 'n'), "x"}});
  TMemoryStream Out;
  Grid->SaveToStream(&Out);

  struct rlimit SavedLimit;
  ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &SavedLimit), 0);
  const auto OldHandler = std::signal(SIGXFSZ, SIG_IGN);
  struct rlimit Limited = SavedLimit;
  Limited.rlim_cur = 512;
  ASSERT_EQ(setrlimit(RLIMIT_FSIZE, &Limited), 0);
  bool Raised = false;
  try {
    Out.SaveToFile(Name);
  } catch (const Exception&) {
    Raised = true;
  }
  setrlimit(RLIMIT_FSIZE, &SavedLimit);
  std::signal(SIGXFSZ, OldHandler);

  EXPECT_TRUE(Raised);
  EXPECT_EQ(ReadBytes(Name), String("old\0file\x01", 9));
  EXPECT_EQ(DirEntries(), std::vector<std::string>{"laststatus.state"}) << "no temporary file is left";
}

TEST(XcStringGridStream, LoadReadsFromThePositionInBlocksWithOneProgressEventEach)
{
  EnsureHeadless();
  TXcStringGrid Grid(nullptr);
  Grid.SetParent(HostForm());
  std::vector<std::pair<int, int>> Seen;
  Grid.OnLoadProgress = [&](TObject*, int Progression, int Total) { Seen.emplace_back(Progression, Total); };
  String Data = "skipped\x01";
  for (int R = 0; R < 1000; ++R) Data += String("cell\0", 5) + "row" + std::to_string(R) + "\x01";
  TStringStream Stream(Data);
  Stream.SetPosition(8);
  Grid.LoadFromStream(&Stream);
  const int Size = static_cast<int>(Data.size());
  std::vector<std::pair<int, int>> Expected = {{0, Size}};
  for (int At = 8 + 4096; At < Size; At += 4096) Expected.emplace_back(At, Size);
  Expected.emplace_back(Size, Size);
  Expected.emplace_back(Size, Size);
  EXPECT_EQ(Seen, Expected);
  EXPECT_EQ(Grid.GetRowCount(), 1000);
  EXPECT_EQ(Grid.GetCells(1, 0), "row0");
  EXPECT_EQ(Grid.GetCells(1, 999), "row999");
}

TEST(XcStringGridStream, AnEmptyStreamReportsNothingReadTwice)
{
  EnsureHeadless();
  TXcStringGrid Grid(nullptr);
  Grid.SetParent(HostForm());
  std::vector<std::pair<int, int>> Seen;
  Grid.OnLoadProgress = [&](TObject*, int Progression, int Total) { Seen.emplace_back(Progression, Total); };
  Load(&Grid, "");
  EXPECT_EQ(Seen, (std::vector<std::pair<int, int>>{{0, 0}, {0, 0}}));
}

TEST(XcStringGridStream, DataBeyondTheLimitsIsRefusedBeforeTheGridChanges)
{
  struct TCase {
    const char* Name;
    String Data;
  };
  String ManyCells;  // rows of 4,000 cells, one row past the cell limit
  for (Int64 R = 0; R <= XcStreamGridMaxCells / 4000; ++R) ManyCells += String(3999, '\0') + "\x01";
  const TCase Cases[] = {
      {"too many rows", String(XcStreamGridMaxRows, '\x01')},
      {"a row too wide", String(XcStreamGridMaxColumns, '\0') + "\x01"},
      {"too wide in a cut-off row", String("a\x01", 2) + String(XcStreamGridMaxColumns + 1, '\0')},
      {"too many cells", ManyCells},
  };
  for (const auto& Case : Cases) {
    auto Grid = GridOf({{"keep", "me"}, {"as", "I was"}});
    int Events = 0;
    Grid->OnLoadProgress = [&](TObject*, int, int) { ++Events; };
    String Message;
    try {
      Load(Grid.get(), Case.Data);
    } catch (const EXCLException& E) {
      Message = E.Message();
    }
    EXPECT_NE(Message.find("Stream grid data too large"), String::npos) << Case.Name;
    EXPECT_EQ(Grid->GetColCount(), 2) << Case.Name;
    EXPECT_EQ(Grid->GetRowCount(), 2) << Case.Name;
    EXPECT_EQ(CellsOf(Grid.get(), 2, 2), (TRows{{"keep", "me"}, {"as", "I was"}})) << Case.Name;
    EXPECT_EQ(Events, 0) << Case.Name;
  }
}

TEST(XcStringGridStream, DataAtTheLimitsLoads)
{
  auto Grid = GridOf({{""}});
  Load(Grid.get(), String(XcStreamGridMaxColumns - 1, '\0') + "last\x01");
  EXPECT_EQ(Grid->GetColCount(), XcStreamGridMaxColumns);
  EXPECT_EQ(Grid->GetCells(XcStreamGridMaxColumns - 1, 0), "last");
}

TEST(XcStringGridStream, WhatASaveWritesLoadsBackAndWhatCannotIsRefusedBeforeAByteIsWritten)
{
  struct TCase {
    const char* Name;
    int Cols, Rows;
    bool Fits;
  };
  const TCase Cases[] = {
      {"the most columns", XcStreamGridMaxColumns, 2, true},
      {"one column too many", XcStreamGridMaxColumns + 1, 1, false},
      {"the most rows (the load reads one more)", 1, XcStreamGridMaxRows - 1, true},
      {"one row too many", 1, XcStreamGridMaxRows, false},
      {"too many cells within the row and column limits", XcStreamGridMaxColumns,
       static_cast<int>(XcStreamGridMaxCells / XcStreamGridMaxColumns) + 1, false},
  };
  for (const auto& Case : Cases) {
    auto Grid = GridOf({{""}});
    Grid->SetColCount(Case.Cols);
    Grid->SetRowCount(Case.Rows);
    Grid->SetCells(0, 0, "first");
    // The cell store reaches a little short of the row limit: the last text goes where it can.
    const int LastRow = std::min(Case.Rows - 1, 1000000);
    Grid->SetCells(Case.Cols - 1, LastRow, "last");
    TStringStream Stream(String("old"));
    Stream.SetPosition(3);
    String Message;
    try {
      Grid->SaveToStream(&Stream);
    } catch (const EXCLException& E) {
      Message = E.Message();
    }
    if (!Case.Fits) {
      EXPECT_NE(Message.find("Stream grid data too large"), String::npos) << Case.Name;
      EXPECT_EQ(Stream.GetDataString(), "old") << Case.Name;
      continue;
    }
    ASSERT_EQ(Message, "") << Case.Name;
    auto Back = GridOf({{""}});
    Load(Back.get(), Stream.GetDataString().substr(3));
    EXPECT_EQ(Back->GetColCount(), Case.Cols) << Case.Name;
    EXPECT_EQ(Back->GetRowCount(), Case.Rows) << Case.Name;
    EXPECT_EQ(Back->GetCells(0, 0), "first") << Case.Name;
    EXPECT_EQ(Back->GetCells(Case.Cols - 1, LastRow), "last") << Case.Name;
  }
}

TEST(XcStringGridStream, AReadErrorPassesThroughAndTheGridIsUntouched)
{
  auto Grid = GridOf({{"keep", "me"}, {"as", "I was"}});
  String Data;
  for (int R = 0; R < 2000; ++R) Data += String("x\0y\x01", 4);
  TFailingReadStream Stream(Data, 5000);
  EXPECT_THROW(Grid->LoadFromStream(&Stream), EReadError);
  EXPECT_EQ(Grid->GetRowCount(), 2);
  EXPECT_EQ(CellsOf(Grid.get(), 2, 2), (TRows{{"keep", "me"}, {"as", "I was"}}));
}
