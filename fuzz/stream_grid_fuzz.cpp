// Feeds arbitrary bytes to the stream grid loader of the extended string grid, then saves what
// it loaded, loads that into a fresh grid and checks that saving it again gives the same bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>

#include "extctrls/XcStringGrid.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"

namespace {

TForm* Host = nullptr;

std::unique_ptr<TXcStringGrid> NewGrid()
{
  auto Grid = std::make_unique<TXcStringGrid>(nullptr);
  Grid->SetParent(Host);
  return Grid;
}

String SaveOf(TXcStringGrid* Grid)
{
  TStringStream Out;
  Grid->SaveToStream(&Out);
  return Out.GetDataString();
}

}  // namespace

extern "C" void QvFuzzSetUp()
{
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  Host = new TForm(nullptr);
  Host->SetBorderStyle(bsNone);
  Host->SetBounds(0, 0, 300, 200);
}

// Messages the grids leave behind (nobody runs a message loop here).
static void DropQueuedMessages()
{
  MSG Message;
  while (PeekMessageA(&Message, nullptr, 0, 0, PM_REMOVE)) {
  }
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* Data, std::size_t Size)
{
  struct TDrain {
    ~TDrain() { DropQueuedMessages(); }
  } Drain;
  auto Grid = NewGrid();
  Grid->SetCells(1, 1, "kept unless reached");
  TStringStream In(String(reinterpret_cast<const char*>(Data), Size));
  try {
    Grid->LoadFromStream(&In);
  } catch (const EXCLException&) {
    // Refused as too large: the grid must be as it was.
    if (Grid->GetRowCount() != 5 || Grid->GetColCount() != 5 || Grid->GetCells(1, 1) != "kept unless reached")
      std::abort();
    return 0;
  }
  if (Grid->GetRowCount() < 1 || Grid->GetColCount() < 1) std::abort();
  const String First = SaveOf(Grid.get());
  auto Again = NewGrid();
  Again->SetRowCount(1);
  Again->SetColCount(1);
  TStringStream Back(First);
  Again->LoadFromStream(&Back);
  // A saved grid loaded into a one-row grid comes back whole and saves the same bytes again.
  if (Again->GetRowCount() != Grid->GetRowCount() || Again->GetColCount() != Grid->GetColCount()) std::abort();
  for (int R = 0; R < Grid->GetRowCount(); ++R)
    for (int C = 0; C < Grid->GetColCount(); ++C)
      if (Again->GetCells(C, R) != Grid->GetCells(C, R)) std::abort();
  if (SaveOf(Again.get()) != First) std::abort();
  return 0;
}
