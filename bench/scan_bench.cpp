// Scanning a folder tree through the intake (the pending list, the scan timer's tick, folder
// expansion, sorting into kinds, the converted-files check, DetectFile for every clip) against
// a plain recursive directory walk plus the same identify runs started directly. Trees of 2k,
// 20k and 100k small non-video files in 20 folders, each with 20 real clips; then the same trees
// without clips against the walk alone, which shows the scan's own cost per file (it must not
// grow with the number of files). Runs alternate; the median ratio, its spread and the goal are
// printed. Needs mplayer and ffmpeg (for the clips); says so and ends without them.
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "BenchSupport.h"
#include "RatioRuns.h"
#include "core/MainForm.h"
#include "core/XcCreateProcess.h"
#include "core/qv_detect.h"
#include "core/qv_scan.h"
#include "platform/display/HeadlessDisplay.h"

namespace {

using qv::bench::TIdentifySetup;

// A tree of Files small files in 20 folders, with a copy of the clip in each folder when Clips.
std::string MakeTree(const TIdentifySetup& S, int Files, bool Clips)
{
  const std::string Root = S.Dir + "tree" + std::to_string(Files) + (Clips ? "c" : "") + "/";
  for (int F = 0; F < 20; ++F) {
    const std::string Sub = Root + "f" + std::to_string(F) + "/";
    std::filesystem::create_directories(Sub);
    for (int I = 0; I < Files / 20; ++I) std::ofstream(Sub + "note" + std::to_string(I) + ".txt") << "x";
    if (Clips) std::filesystem::copy_file(S.Clip, Sub + "clip" + std::to_string(F) + ".avi");
  }
  return Root;
}

// The plain way: a recursive walk that picks the ".avi" files, then one identify run each.
void Direct(const TIdentifySetup& S, const std::string& Root, bool Identify)
{
  std::vector<std::string> Clips;
  for (const auto& E : std::filesystem::recursive_directory_iterator(Root))
    if (E.is_regular_file() && E.path().extension() == ".avi") Clips.push_back(E.path());
  if (Identify)
    for (const std::string& C : Clips) qv::bench::RunIdentifyDirect(S, C);
}

bool Scan(TForm1* Form, const std::string& Root, int Clips)
{
  ClearGridRows(Form->StringGrid1);
  AddPendingInput(Root);
  ScanTimerTimer();
  return Clips == 0 || Form->StringGrid1->GetCells(scWidth, Clips) == "320";
}

}  // namespace

int main()
{
  TIdentifySetup S;
  qv::bench::PrepareIdentifySetup(S, "qv_scan_bench_");
  if (!S.Ready) {
    std::printf("scan benchmark skipped: %s\n", S.Error.c_str());
    return 0;
  }
  SetDisplayBackend(std::make_unique<THeadlessDisplay>());
  ResetRunState();
  BatchRunning = false;
  WorkFolder = S.Dir + "work/";
  auto* Form = new TForm1(nullptr);
  Form->finuse->SetChecked(true);  // the clips are small
  TDetectionLineFeed Feed;
  qv::bench::IdentifyRunner(Form, Feed);
  ScanHost() = TScanHost();

  struct TSize {
    int Files, Pairs;
    const char* Goal;
  };
  const TSize Sizes[] = {{2000, 10, "<= 1.05"}, {20000, 10, "<= 1.05"}, {100000, 4, "<= 1.05"}};
  bool Failed = false;
  for (const TSize& Size : Sizes) {
    const std::string Root = MakeTree(S, Size.Files, true);
    const auto R = qv::bench::AlternateRuns(
        Size.Pairs, nullptr, [&] { Failed |= !Scan(Form, Root, 20); }, [&] { Direct(S, Root, true); });
    char What[96];
    std::snprintf(What, sizeof What, "scan %d files + 20 clips vs walk + identify", Size.Files);
    qv::bench::PrintRatio(What, R, Size.Goal);
    std::filesystem::remove_all(Root);
  }
  double PerFileAt2k = 0;
  for (const TSize& Size : Sizes) {
    const std::string Root = MakeTree(S, Size.Files, false);
    const auto R = qv::bench::AlternateRuns(
        Size.Pairs, nullptr, [&] { Scan(Form, Root, 0); }, [&] { Direct(S, Root, false); });
    char What[96];
    std::snprintf(What, sizeof What, "scan %d files, no clips vs walk", Size.Files);
    qv::bench::PrintRatio(What, R, "(the scan's own cost)");
    const double PerFile = 1000 * R.OursMs / Size.Files;
    if (Size.Files == 2000) PerFileAt2k = PerFile;
    std::printf("  %.2f us per file, %.2f x the per-file cost at 2k  goal: linear (<= 1.5 x)\n", PerFile,
                PerFileAt2k > 0 ? PerFile / PerFileAt2k : 0);
    std::filesystem::remove_all(Root);
  }
  if (Failed) std::printf("the scan did not identify the 20 clips in some run\n");
  DetectionHost() = TDetectionHost();
  ScanHost() = TScanHost();
  delete Form;
  return Failed ? 1 : 0;
}
