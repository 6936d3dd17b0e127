// The converted-files check of a scan with "Skip previously converted files" on: 2,000 file
// names asked of one index built from the history window's grid (1k, 10k and 100k rows), against
// the same work done plainly on a vector of rows (a hash set of the queued devices' names, one
// look-up per file). The row-by-row comparison the program used before is timed at 10k rows
// for reference. Then a whole scan of 2,000 files that are all in a 10,000-row history (they
// all go to the skip list) against a plain walk with the same look-ups. Runs alternate; the
// median ratio, its spread and the goal are printed.
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <unistd.h>
#include <unordered_set>
#include <vector>

#include "RatioRuns.h"
#include "core/History.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/qv_scan.h"
#include "platform/display/HeadlessDisplay.h"
#include "platform/rtl/StrUtils.h"

namespace {

struct TRow {
  std::string Device, Name;
};

// Half the rows for the queued device, names in mixed case under assorted folders.
std::vector<TRow> MakeRows(int Rows)
{
  std::vector<TRow> T;
  for (int R = 0; R < Rows; ++R)
    T.push_back({R % 2 ? "Sony Psp" : "Apple Ipod", "/home/ann/Videos/set" + std::to_string(R % 37) + "/Clip " +
                                                         std::to_string(R) + (R % 3 ? ".avi" : ".MKV")});
  return T;
}

void FillHistory(const std::vector<TRow>& T)
{
  TskSkinStringGrid* G = Form3->database;
  G->SetRowCount(static_cast<int>(T.size()) + 1);
  for (int R = 0; R < static_cast<int>(T.size()); ++R) {
    G->SetCells(2, R + 1, T[static_cast<size_t>(R)].Device);
    G->SetCells(3, R + 1, T[static_cast<size_t>(R)].Name);
  }
}

// Every third one converted for the queued device.
std::vector<std::string> MakeFiles(int Files)
{
  std::vector<std::string> F;
  for (int I = 0; I < Files; ++I) F.push_back("/media/new/CLIP " + std::to_string(I * 3) + (I % 2 ? ".avi" : ".mkv"));
  return F;
}

std::string LowerName(const std::string& Path) { return LowerCase(Path.substr(Path.rfind('/') + 1)); }

int Plain(const std::vector<TRow>& T, const std::vector<std::string>& Files)
{
  std::unordered_set<std::string> Names;
  for (const TRow& R : T)
    if (LowerCase(CleanTitle(R.Device)) == "apple ipod") Names.insert(LowerName(R.Name));
  int Done = 0;
  for (const std::string& F : Files) Done += Names.count(LowerName(F)) ? 1 : 0;
  return Done;
}

int Indexed(const std::vector<std::string>& Files)
{
  const TConvertedIndex Index;
  int Done = 0;
  for (const std::string& F : Files) Done += Index.NotDone(F) ? 0 : 1;
  return Done;
}

// The way it was: every file compared with every row.
int RowByRow(const std::vector<std::string>& Files)
{
  TskSkinStringGrid* G = Form3->database;
  TskSkinStringGrid* Dq = Form1->dq;
  int Done = 0;
  for (const std::string& F : Files) {
    const String Wanted = LowerName(F);
    bool Found = false;
    for (int R = 0; R < G->GetRowCount() && !Found; ++R) {
      if (LowerName(G->GetCells(3, R)) != Wanted) continue;
      const String Device = LowerCase(CleanTitle(G->GetCells(2, R)));
      for (int D = 1; D < Dq->GetRowCount(); ++D)
        if (LowerCase(CleanTitle(Dq->GetCells(0, D))) == Device) Found = true;
    }
    Done += Found ? 1 : 0;
  }
  return Done;
}

}  // namespace

int main()
{
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  ResetRunState();
  BatchRunning = false;
  auto* Form = new TForm1(nullptr);
  auto* History = new TForm3(nullptr);
  History->database->SetColCount(HistoryColCount);
  Form->dq->SetRowCount(2);
  Form->dq->SetCells(0, 1, "Apple iPod");
  ScanHost() = TScanHost();
  ScanHost().SkipConverted = true;
  const std::vector<std::string> Files = MakeFiles(2000);
  bool Differ = false;

  for (int Rows : {1000, 10000, 100000}) {
    const std::vector<TRow> T = MakeRows(Rows);
    FillHistory(T);
    int A = 0, B = 0;
    const auto R = qv::bench::AlternateRuns(
        Rows >= 100000 ? 5 : 11, nullptr, [&] { A = Indexed(Files); }, [&] { B = Plain(T, Files); });
    Differ |= A != B;
    char What[96];
    std::snprintf(What, sizeof What, "2,000 files vs %d history rows", Rows);
    qv::bench::PrintRatio(What, R, "<= 2, flat from 1k to 100k rows");
    if (Rows == 10000) {
      int C = 0;
      const auto Old = qv::bench::AlternateRuns(1, nullptr, [&] { C = RowByRow(Files); }, [&] { A = Indexed(Files); });
      Differ |= A != C;
      qv::bench::PrintRatio("  row by row (before) vs the index", Old, "(the old cost, for reference)");
    }
  }

  // A whole scan whose files are all in the history.
  WorkFolder = "/tmp/qv_history_bench_" + std::to_string(getpid()) + "/";
  const std::string Root = WorkFolder + "in/";
  std::filesystem::create_directories(Root);
  std::vector<TRow> T = MakeRows(10000);
  std::vector<std::string> OnDisk;
  for (int I = 0; I < 2000; ++I) {
    const std::string Name = "Clip " + std::to_string(2 * I) + ((2 * I) % 3 ? ".avi" : ".MKV");
    std::ofstream(Root + Name) << "x";
    OnDisk.push_back(Root + Name);
  }
  FillHistory(T);
  const auto R = qv::bench::AlternateRuns(
      7, [&] { Form->skiplist->GetItems()->Clear(); },
      [&] {
        AddPendingInput(Root);
        ScanTimerTimer();
        Differ |= Form->skiplist->GetItems()->GetCount() != 2000;
      },
      [&] {
        std::vector<std::string> Walk;
        for (const auto& E : std::filesystem::directory_iterator(Root)) Walk.push_back(E.path());
        Differ |= Plain(T, Walk) != 2000;
      });
  qv::bench::PrintRatio("scan of 2,000 converted files, 10k rows", R, "(walk + look-ups; linear)");
  std::filesystem::remove_all(WorkFolder);
  if (Differ) std::printf("the answers differ\n");
  ScanHost() = TScanHost();
  delete History;
  delete Form;
  return Differ ? 1 : 0;
}
