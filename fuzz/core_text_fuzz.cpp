// Feeds arbitrary bytes to the conversion core's text readers: both grid-file forms, the time
// and number parses, the player's status line, the track descriptions and the name cleaners.
// Each must answer without crashing; the checks below hold for every input.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/GridFiles.h"
#include "core/SourceRecognition.h"
#include "core/TrackChoice.h"
#include "core/qv_functions.h"

namespace {

void Check(bool Condition)
{
  if (!Condition) std::abort();
}

// The number of UTF-8 characters (lead bytes and stray bytes) of S.
size_t Characters(const std::string& S)
{
  size_t N = 0;
  for (unsigned char C : S)
    if ((C & 0xC0) != 0x80) ++N;
  return N;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const std::string Bytes(reinterpret_cast<const char*>(Data), Size);

  TGridText Text;
  String Why;
  if (ParseGridText(Bytes, Text, Why)) {
    Check(Text.Cols >= 0 && Text.Cols <= MaxGridFileCols && Text.Rows >= 0 && Text.Rows <= MaxGridFileRows);
    // What a grid of those counts writes reads back the same.
    const int Cols = Text.Cols < 1 ? 1 : Text.Cols, Rows = Text.Rows < 1 ? 1 : Text.Rows;
    std::vector<String> Cells(static_cast<size_t>(Cols) * static_cast<size_t>(Rows));
    for (size_t I = 0; I < Text.CellLines.size(); ++I) Cells[I] = Text.CellLines[I];
    TGridText Back;
    Check(ParseGridText(GridTextBytes(Cols, Rows, Cells), Back, Why));
    Check(Back.Cols == Cols && Back.Rows == Rows && Back.CellLines == Cells);
  }

  std::vector<std::vector<String>> StreamRows;
  if (ParseGridStream(Bytes, StreamRows, Why)) {
    // Rows of equal width write and read back the same.
    size_t Width = 0;
    for (const auto& R : StreamRows) Width = R.size() > Width ? R.size() : Width;
    std::vector<String> Cells;
    for (const auto& R : StreamRows)
      for (size_t C = 0; C < Width; ++C) Cells.push_back(C < R.size() ? R[C] : String());
    std::vector<std::vector<String>> Back;
    Check(ParseGridStream(GridStreamBytes(static_cast<int>(Width), static_cast<int>(StreamRows.size()), Cells), Back, Why));
    Check(Back.size() == StreamRows.size());
  }

  const String Seconds = HmsToSeconds(Bytes);
  for (char C : Seconds) Check((C >= '0' && C <= '9') || C == '-');
  StrToFloatSafe(Bytes);
  ParsePlaybackPosition(Bytes);
  DescribeTrack(Bytes);
  LanguageName(Bytes);
  const String Title = CleanTitle(Bytes);
  Check(Characters(Title) <= 50);
  // Title case: a letter starts upper case exactly at the start and after a blank.
  for (size_t I = 0; I < Title.size(); ++I) {
    const bool Start = I == 0 || Title[I - 1] == ' ';
    if (Title[I] >= 'a' && Title[I] <= 'z') Check(!Start);
    if (Title[I] >= 'A' && Title[I] <= 'Z') Check(Start);
  }
  CleanName(Bytes);
  LowerExtNoDot(Bytes);
  return 0;
}
