// Feeds arbitrary bytes to the parsers of the stored table files (profiles, the history
// "filelist.db", the kept queue and status): a parse never crashes, and what it accepts
// written back and parsed again gives the same cells.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <vector>

#include "core/GridFiles.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  const String Bytes(reinterpret_cast<const char*>(Data), Size);
  String Why;
  TGridText Text;
  if (ParseGridText(Bytes, Text, Why)) {
    std::vector<String> Cells = Text.CellLines;
    Cells.resize(static_cast<size_t>(Text.Cols) * static_cast<size_t>(Text.Rows));
    TGridText Again;
    if (!ParseGridText(GridTextBytes(Text.Cols, Text.Rows, Cells), Again, Why)) std::abort();
    if (Again.Cols != Text.Cols || Again.Rows != Text.Rows) std::abort();
    Again.CellLines.resize(Cells.size());
    if (Again.CellLines != Cells) std::abort();
  }
  std::vector<std::vector<String>> Rows;
  if (ParseGridStream(Bytes, Rows, Why)) {
    size_t Cols = 0;
    for (const auto& Row : Rows) Cols = std::max(Cols, Row.size());
    std::vector<String> Cells;
    for (const auto& Row : Rows)
      for (size_t C = 0; C < Cols; ++C) Cells.push_back(C < Row.size() ? Row[C] : String());
    std::vector<std::vector<String>> Again;
    if (!ParseGridStream(GridStreamBytes(static_cast<int>(Cols), static_cast<int>(Rows.size()), Cells), Again, Why))
      std::abort();
    if (Again.size() != Rows.size()) std::abort();
  }
  return 0;
}
