#include "core/CropDetect.h"

#include <climits>

#include "core/BorderMeasure.h"
#include "core/CropArithmetic.h"
#include "core/FrameImage.h"
#include "core/MainForm.h"
#include "core/PreviewFrames.h"
#include "core/SourceRow.h"
#include "core/qv_functions.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/MathErrors.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StrUtils.h"

namespace {

constexpr int jobLabel = 0;
constexpr int jobInput = 6;
constexpr int jobStatus = 13;
constexpr int jobSeconds = 15;
constexpr int jobScreen = 16;
constexpr int jobStoredWidth = 27;
constexpr int jobStoredHeight = 28;

constexpr int CropCells[4] = {scCropLeft, scCropRight, scCropTop, scCropBottom};
constexpr int SecondPassCells[7] = {scCropFilter, scCroppedWidth, scCroppedHeight, scDisplayWidth,
                                    scDisplayHeight, scClipArgs, scCropArgs};
constexpr int PositionCount = 5;
constexpr int VoteRows = PositionCount + 1;  // the no-crop entry and the five positions

bool HasCrop(TskSkinStringGrid* Jobs, int Row)
{
  for (int C : CropCells) {
    int Value = 0;
    if (TryStrToInt(Jobs->GetCells(C, Row), Value) && Value > 0) return true;
  }
  return false;
}

// Step 13: after a stop the run buttons return to their idle state.
void CommonEnding()
{
  if (!StopRequested) return;
  Form1->cbuttons->SetVisible(true);
  Form1->b1->SetVisible(!GoBusy);  // Go stays hidden while a run goes on
  Form1->b2->SetVisible(false);
  Form1->b3->SetVisible(false);
  Form1->b4->SetVisible(true);
}

// Step 12.
void EndDetection()
{
  UiSync = false;
  Form1->cbuttons->SetVisible(true);
  Form1->status->SetCaption("");
}

void ResetVoteTable(TStringGrid* Votes)
{
  for (int R = 0; R < Votes->GetRowCount(); ++R)
    for (int C = 0; C < Votes->GetColCount(); ++C) Votes->SetCells(C, R, "0");
  Votes->SetRowCount(VoteRows);
  for (int R = 0; R < VoteRows; ++R)
    for (int C = 0; C < Votes->GetColCount(); ++C) Votes->SetCells(C, R, "0");
}

// The step between the positions: Random(Round(length / 16)), at most 300, at most 15 for a
// "dvr-ms" input.
int PositionStep(TskSkinStringGrid* Jobs, int Row)
{
  Randomize();
  Int64 Bound = Round(StrToFloatSafe(Jobs->GetCells(jobSeconds, Row)) / 16);
  if (Bound > INT_MAX) Bound = INT_MAX;
  int Step = Random(static_cast<int>(Bound));
  if (Step > 300) Step = 300;
  if (Pos("dvr-ms", Jobs->GetCells(jobInput, Row)) > 0 && Step > 15) Step = 15;
  return Step;
}

// The frame image's borders by the batch measurement; the marked frame is saved as
// "temp/<k>.jpg". False when the image holds no picture.
bool MeasurePosition(int K, TBorders& B)
{
  TFrameImage* Image = PreviewFrameImage();
  TCanvas* Canvas = Image->GetCanvas();
  if (!Canvas) return false;
  const int W = Image->GetWidth();
  const int H = Image->GetHeight();
  B = MeasureBordersBatch(CanvasPixelReader(Canvas), W, H);
  MarkBorders(Canvas, W, H, B);
  try {
    Image->SaveToFile(PreviewTempPath(IntToStr(K) + ".jpg"));
  } catch (const Exception&) {
    // The marked frames are only kept for a look.
  }
  return true;
}

Int64 ToDisplayPixels(int V)
{
  return Round(static_cast<double>(V) / 2) * 4;
}

}  // namespace

String VoteCropSide(TStringGrid* Votes, int ValueCol)
{
  const int Rows = Votes->GetRowCount();
  for (int R = 0; R < Rows; ++R) {
    const String Value = Votes->GetCells(ValueCol, R);
    if (Value.empty()) continue;
    int Count = 0;
    for (int Other = 0; Other < Rows; ++Other)
      if (Votes->GetCells(ValueCol, Other) == Value) ++Count;
    Votes->SetCells(ValueCol + 1, R, IntToStr(Count));
  }
  int Winner = 0;
  int Best = StrToIntDef(Votes->GetCells(ValueCol + 1, 0), 0);
  for (int R = 1; R < Rows; ++R) {
    const int Count = StrToIntDef(Votes->GetCells(ValueCol + 1, R), 0);
    if (Count > Best) {
      Best = Count;
      Winner = R;
    }
  }
  return Votes->GetCells(ValueCol, Winner);
}

namespace {

// Steps 4 to 11; whether any position brought a frame.
bool DetectAndVote(TskSkinStringGrid* Jobs, int Row)
{
  Jobs->SetCells(jobStatus, Row, "Cropdetection");
  TStringGrid* Votes = Form1->cropgrid;
  ResetVoteTable(Votes);
  const int Step = PositionStep(Jobs, Row);
  bool AnyFrame = false;
  for (int K = 1; K <= PositionCount; ++K) {
    if (StopRequested || SkipRequested) continue;
    Form1->status->SetCaption("Crop detection : scanning position " + IntToStr(K) + " of 5");
    TBorders B;
    if (!GrabJobFrame(K * Step, Row) || !MeasurePosition(K, B)) {
      for (int C = 0; C < 8; C += 2) Votes->SetCells(C, K, "");  // no frame: no vote
      continue;
    }
    AnyFrame = true;
    const int Values[4] = {B.Left, B.Right, B.Top, B.Bottom};
    for (int Side = 0; Side < 4; ++Side) {
      Votes->SetCells(2 * Side, K, IntToStr(ToDisplayPixels(Values[Side])));
      Votes->SetCells(2 * Side + 1, K, "0");
    }
  }
  String Winners[4];
  for (int Side = 0; Side < 4; ++Side) Winners[Side] = VoteCropSide(Votes, 2 * Side);
  if (!AnyFrame) {
    for (int C : CropCells) Jobs->SetCells(C, Row, "0");
  } else if (!Form1->radiobutton1->GetChecked()) {
    for (int Side = 0; Side < 4; ++Side) Jobs->SetCells(CropCells[Side], Row, IntToStr(StrToInt(Winners[Side]) + 2));
    ClampNegativeCrop(Jobs, Row);
  }
  // Filling the screen needs no frame: without one it enlarges the zero crop.
  if (Form1->radiobutton3->GetChecked())
    FillScreenCrop(Jobs, Row, jobStoredWidth, jobStoredHeight, Jobs->GetCells(jobScreen, Row), true);
  if (!StopRequested) BuildJobCropOptions(Row);
  return AnyFrame;
}

// A row whose cells cannot be used: no crop, no crop texts.
void ClearCrop(TskSkinStringGrid* Jobs, int Row)
{
  for (int C : CropCells) Jobs->SetCells(C, Row, "0");
  for (int C : {scCropFilter, scClipArgs, scCropArgs}) Jobs->SetCells(C, Row, "");
}

}  // namespace

TCropDetectResult AutoDetectCrop(int JobRow)
{
  TskSkinStringGrid* Jobs = Form1->convertgrid;
  if (HasCrop(Jobs, JobRow)) {
    CommonEnding();
    return TCropDetectResult::KeptCrop;
  }
  UiSync = true;
  Form1->b1->SetVisible(false);
  Form1->b2->SetVisible(false);
  Form1->b3->SetVisible(true);
  if (Jobs->GetCells(jobLabel, JobRow) == "Pass2") {
    if (JobRow > Jobs->GetFixedRows())
      for (int C : SecondPassCells) Jobs->SetCells(C, JobRow, Jobs->GetCells(C, JobRow - 1));
    CommonEnding();
    return TCropDetectResult::SecondPass;
  }
  TCropDetectResult Result = TCropDetectResult::BadRow;
  try {
    const bool AnyFrame = DetectAndVote(Jobs, JobRow);
    Result = StopRequested ? TCropDetectResult::Stopped
                           : (AnyFrame ? TCropDetectResult::Measured : TCropDetectResult::NoFrame);
  } catch (const EConvertError&) {
    ClearCrop(Jobs, JobRow);
    Result = TCropDetectResult::BadRow;
  } catch (const EMathError&) {
    ClearCrop(Jobs, JobRow);
    Result = TCropDetectResult::BadRow;
  }
  Form1->croptimer->SetEnabled(false);
  EndDetection();
  CommonEnding();
  return Result;
}
