#include "core/PreviewFrames.h"

#include <memory>

#include "core/BorderMeasure.h"
#include "core/CropArithmetic.h"
#include "core/FrameImage.h"
#include "core/MainForm.h"
#include "core/PreviewToolRun.h"
#include "core/SourceRow.h"
#include "core/ToolOutputValues.h"
#include "platform/os/CommandLine.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Jpeg.h"

namespace {

// Cells of a job row used here (the job list keeps the source row's numbering for the crop
// and display cells).
constexpr int jobExtension = 3;
constexpr int jobInput = 6;
constexpr int jobOutFolder = 7;
constexpr int jobOutName = 8;
constexpr int jobAspect = 10;
constexpr int jobStoredWidth = 27;
constexpr int jobStoredHeight = 28;
constexpr int jobSourceRow = 58;

constexpr int CropCells[4] = {scCropLeft, scCropRight, scCropTop, scCropBottom};

String ToolPath(const String& Name)
{
  return qv::os::QuoteCommandLinePath(SubPath(WorkFolder, Name));
}

void ZeroCrop(TskSkinStringGrid* Grid, int Row)
{
  for (int C : CropCells) Grid->SetCells(C, Row, "0");
}

// Clears a flag on leaving the scope, however it is left.
class TFlagReset {
public:
  explicit TFlagReset(bool& Flag) : FFlag(Flag) {}
  ~TFlagReset() { FFlag = false; }
  TFlagReset(const TFlagReset&) = delete;
  TFlagReset& operator=(const TFlagReset&) = delete;

private:
  bool& FFlag;
};

// A running tool is stopped (by KillAllTools, or by the runner's own kill for a job grab) and
// waited for.
void StopRunningTool(bool ByRunner)
{
  if (ToolRunning) {
    if (ByRunner) {
      try {
        Form1->XcCreateProcess1->KillProcess();
      } catch (const Exception&) {
        // Nothing of ours runs: the flag is the only thing left to wait for.
      }
    } else {
      KillAllTools();
    }
  }
  WaitForTool();
}

// Removes what an earlier grab left, so that a failed tool of this grab can never hand over an
// older clip or frame (of another source, perhaps).
void PrepareTempFolder()
{
  ForceDirectories(ExcludeTrailingPathDelimiter(PreviewTempPath("")));
  DeleteFile(PreviewTempPath("temp.avi"));
  DeleteFile(PreviewTempPath("temp.jpg"));
}

// The clip of steps 6 to 9: mencoder cuts five frames at Position, scaled to W x H.
void MakeClip(int W, int H, const String& AspectCell, int Position, const String& Input, const String& Kind)
{
  const String Value = AspectGiven(AspectCell) ? CheckedToolRate(AspectCell, "-aspect") : String();
  const String Aspect = Value.empty() ? String() : " -aspect " + Value;
  String Line = ToolPath("mencoder.exe") + " -vf scale=" + IntToStr(W) + ":" + IntToStr(H) + " " + Aspect +
                " -frames 5 -ss " + IntToStr(Position) + " -oac mp3lame -ovc lavc -lavcopts vcodec=mpeg4 " + Input +
                " -o " + qv::os::QuoteCommandLinePath(PreviewTempPath("temp.avi"));
  if (Pos(".vob", LowerCase(Line)) == 0) Line = StripVideoTs(Line, vtAfterDriveRoot);
  Line += Aspect;
  Form1->Edit1->SetText(Line);
  PlaybackMode = true;
  BatchRunning = true;
  ToolRunning = true;
  RunPreviewTool(ApplyMencoderSwaps(Line, Kind));
}

String FrameFromClipLine()
{
  return ToolPath("ffmpeg.exe") + " -y -i " + qv::os::QuoteCommandLinePath(PreviewTempPath("temp.avi")) +
         " -f image2 -vframes 1 -an " + qv::os::QuoteCommandLinePath(PreviewTempPath("temp.jpg"));
}

// Step 11: the frame file into the frame image. False (nothing changed) when there is no
// usable frame.
bool LoadGrabbedFrame()
{
  const String FrameFile = PreviewTempPath("temp.jpg");
  if (!FileExists(FrameFile)) return false;
  auto Frame = std::make_unique<TBitmap>();
  try {
    TJPEGImage Jpeg;
    Jpeg.LoadFromFile(FrameFile);
    if (Jpeg.GetWidth() <= 0 || Jpeg.GetHeight() <= 0) return false;
    Frame->Assign(&Jpeg);
    Frame->SetPixelFormat(pf8bit);
  } catch (const Exception&) {
    return false;  // a damaged or truncated file is no frame
  }
  if (Frame->Empty()) return false;
  PreviewFrameImage()->ShowFrame(Frame.get());
  DeleteFile(PreviewTempPath("temp.avi"));
  DeleteFile(FrameFile);
  SeekDragging = false;
  return true;
}

// Source row of a job (column 58), checked to lie inside the source queue.
int JobSourceRow(int JobRow)
{
  const int Row = StrToInt(Form1->convertgrid->GetCells(jobSourceRow, JobRow));
  if (Row < 0 || Row >= Form1->StringGrid1->GetRowCount())
    throw EConvertError("'" + IntToStr(Row) + "' is not a valid source row");
  return Row;
}

bool GrabSourceRowFrame(int Row, int Position)
{
  if (StopRequested) return false;
  TskSkinStringGrid* Grid = Form1->StringGrid1;
  const String Input = Grid->GetCells(scInputArgs, Row);
  if (Pos("dvr-ms", Input) > 0 && Position > 20) Position = 20;
  ZeroCrop(Grid, Row);
  StopRunningTool(false);
  const int W = StrToInt(Grid->GetCells(scDisplayWidth, Row)) / 2;
  const int H = StrToInt(Grid->GetCells(scDisplayHeight, Row)) / 2;
  PrepareTempFolder();
  TFlagReset BatchEnds(BatchRunning);
  MakeClip(W, H, Grid->GetCells(scAspect, Row), Position, Input, Grid->GetCells(scType, Row));
  ToolRunning = true;
  RunPreviewTool(ApplyFfmpegSwap(FrameFromClipLine()));
  return LoadGrabbedFrame();
}

// The crop texts of a row whose stored size stands in WidthCol and HeightCol.
void WriteCropTexts(TskSkinStringGrid* Grid, int Row, int WidthCol, int HeightCol)
{
  for (int C : CropCells)
    if (Grid->GetCells(C, Row).empty()) Grid->SetCells(C, Row, "0");
  const int SW = StrToInt(Grid->GetCells(WidthCol, Row));
  const int SH = StrToInt(Grid->GetCells(HeightCol, Row));
  const int L = StrToInt(Grid->GetCells(scCropLeft, Row));
  const int R = StrToInt(Grid->GetCells(scCropRight, Row));
  const int T = StrToInt(Grid->GetCells(scCropTop, Row));
  const int B = StrToInt(Grid->GetCells(scCropBottom, Row));
  const TCropTexts Texts = ComputeCropTexts(SW, SH, L, R, T, B);
  Grid->SetCells(scCropFilter, Row, Texts.Filter);
  Grid->SetCells(scClipArgs, Row, Texts.ClipArgs);
  Grid->SetCells(scCropArgs, Row, Texts.CropArgs);
  Grid->SetCells(scCroppedWidth, Row, IntToStr(Texts.Width));
  Grid->SetCells(scCroppedHeight, Row, IntToStr(Texts.Height));
}

// Measures the frame image into the row's crop cells (twice the frame's pixels) and saves the
// marked frame.
void MeasureIntoRow(int Row)
{
  TFrameImage* Image = PreviewFrameImage();
  const int W = Image->GetWidth();
  const int H = Image->GetHeight();
  TCanvas* Canvas = Image->GetCanvas();
  if (!Canvas) return;
  const TBorders B = MeasureBorders(CanvasPixelReader(Canvas), W, H);
  MarkBorders(Canvas, W, H, B);
  try {
    Image->SaveToFile(PreviewTempPath("temp2.jpg"));
  } catch (const Exception&) {
    // The marked frame is only kept for a look; a folder that refuses it changes nothing.
  }
  TskSkinStringGrid* Grid = Form1->StringGrid1;
  Grid->SetCells(scCropLeft, Row, IntToStr(2 * B.Left));
  Grid->SetCells(scCropRight, Row, IntToStr(2 * B.Right));
  Grid->SetCells(scCropTop, Row, IntToStr(2 * B.Top));
  Grid->SetCells(scCropBottom, Row, IntToStr(2 * B.Bottom));
  ClampNegativeCrop(Grid, Row);
}

String SelectedScreenSizeText()
{
  TOptionComboBox* Box = Form1->screensize;
  const int Index = Box->GetItemIndex();
  if (Index >= 0 && Index < Box->GetItems()->GetCount()) return Box->GetItems()->Get(Index);
  return Box->GetText();
}

void FillScreenRow(int Row)
{
  FillScreenCrop(Form1->StringGrid1, Row, scWidth, scHeight, SelectedScreenSizeText(), false);
}

void BuildCropOptionsAt(int Row)
{
  if (!UiSync) return;
  WriteCropTexts(Form1->StringGrid1, Row, scWidth, scHeight);
}

// The border measurement of the row; whether a frame came.
bool DetectBlackBordersAt(int Row, int Position)
{
  const bool Loaded = GrabSourceRowFrame(Row, Position);
  if (Loaded) MeasureIntoRow(Row);
  return Loaded;
}

}  // namespace

void ClampNegativeCrop(TskSkinStringGrid* Grid, int Row)
{
  for (int C : CropCells)
    if (StrToInt(Grid->GetCells(C, Row)) < 0) Grid->SetCells(C, Row, "0");
}

void FillScreenCrop(TskSkinStringGrid* Grid, int Row, int WidthCol, int HeightCol, const String& Screen, bool Batch)
{
  const TScreenSize Size = ParseScreenSize(Screen);
  TFillScreenInput In;
  In.StoredWidth = StrToInt(Grid->GetCells(WidthCol, Row));
  In.StoredHeight = StrToInt(Grid->GetCells(HeightCol, Row));
  In.DisplayWidth = StrToInt(Grid->GetCells(scDisplayWidth, Row));
  In.DisplayHeight = StrToInt(Grid->GetCells(scDisplayHeight, Row));
  In.Left = StrToInt(Grid->GetCells(scCropLeft, Row));
  In.Right = StrToInt(Grid->GetCells(scCropRight, Row));
  In.Top = StrToInt(Grid->GetCells(scCropTop, Row));
  In.Bottom = StrToInt(Grid->GetCells(scCropBottom, Row));
  In.ScreenWidth = Size.Width;
  In.ScreenHeight = Size.Height;
  const TCropGrowth Growth = Batch ? FillScreenGrowthBatch(In) : FillScreenGrowth(In);
  Grid->SetCells(scCropTop, Row, IntToStr(In.Top + Growth.Vertical));
  Grid->SetCells(scCropBottom, Row, IntToStr(In.Bottom + Growth.Vertical));
  Grid->SetCells(scCropLeft, Row, IntToStr(In.Left + Growth.Horizontal));
  Grid->SetCells(scCropRight, Row, IntToStr(In.Right + Growth.Horizontal));
  ClampNegativeCrop(Grid, Row);
}

String PreviewTempPath(const String& Name)
{
  return SubPath(WorkFolder, "temp\\" + Name);
}

bool GrabPreviewFrame(int Position)
{
  return GrabSourceRowFrame(Form1->StringGrid1->GetRow(), Position);
}

void DetectBlackBorders(int Position)
{
  const int Row = Form1->StringGrid1->GetRow();
  DetectBlackBordersAt(Row, Position);
  BuildCropOptionsAt(Row);
}

void DetectBordersAndFillScreen(int Position)
{
  const int Row = Form1->StringGrid1->GetRow();
  if (DetectBlackBordersAt(Row, Position)) FillScreenRow(Row);
  BuildCropOptionsAt(Row);
}

void ResetCrop()
{
  const int Row = Form1->StringGrid1->GetRow();
  ZeroCrop(Form1->StringGrid1, Row);
  BuildCropOptionsAt(Row);
}

void ResetCropAndFillScreen()
{
  const int Row = Form1->StringGrid1->GetRow();
  ZeroCrop(Form1->StringGrid1, Row);
  FillScreenRow(Row);
  BuildCropOptionsAt(Row);
}

void BuildCropOptions()
{
  BuildCropOptionsAt(Form1->StringGrid1->GetRow());
}

bool GrabJobFrame(int Position, int JobRow)
{
  if (StopRequested) return false;
  TskSkinStringGrid* Jobs = Form1->convertgrid;
  TskSkinStringGrid* Sources = Form1->StringGrid1;
  const String Input = Jobs->GetCells(jobInput, JobRow);
  if (Pos("dvr-ms", Input) > 0 && Position > 200) Position = 200;
  ZeroCrop(Jobs, JobRow);
  StopRunningTool(true);
  const int SourceRow = JobSourceRow(JobRow);
  if (Trim(Jobs->GetCells(scDisplayWidth, JobRow)).empty())
    Jobs->SetCells(scDisplayWidth, JobRow, Sources->GetCells(scWidth, SourceRow));
  if (Trim(Jobs->GetCells(scDisplayHeight, JobRow)).empty())
    Jobs->SetCells(scDisplayHeight, JobRow, Sources->GetCells(scHeight, SourceRow));
  const int W = StrToInt(Jobs->GetCells(scDisplayWidth, JobRow)) / 2;
  const int H = StrToInt(Jobs->GetCells(scDisplayHeight, JobRow)) / 2;
  const String Kind = Sources->GetCells(scType, SourceRow);
  PrepareTempFolder();
  String FrameLine;
  try {
    if (Kind == "VIDEO*") {
      FrameLine = ToolPath("ffmpeg.exe") + " -y -i " + Input + " -s " + IntToStr(W) + ":" + IntToStr(H) + " -ss " +
                  IntToStr(Position) + " -f image2 -vframes 1 -an " +
                  qv::os::QuoteCommandLinePath(PreviewTempPath("temp.jpg"));
    } else {
      MakeClip(W, H, Jobs->GetCells(jobAspect, JobRow), Position, Input, Kind);
      FrameLine = FrameFromClipLine();
    }
    ToolRunning = true;
    RunPreviewTool(ApplyFfmpegSwap(FrameLine));
  } catch (...) {
    ToolRunning = false;
    throw;
  }
  return LoadGrabbedFrame();
}

void BuildJobCropOptions(int JobRow)
{
  if (!UiSync) return;
  WriteCropTexts(Form1->convertgrid, JobRow, jobStoredWidth, jobStoredHeight);
}

void MakeOutputThumbnail(int JobRow)
{
  if (StopRequested) return;
  TskSkinStringGrid* Jobs = Form1->convertgrid;
  const String Output = Jobs->GetCells(jobOutFolder, JobRow) + Jobs->GetCells(jobOutName, JobRow) + "." +
                        Jobs->GetCells(jobExtension, JobRow);
  const String Thumbnail = ChangeFileExt(Output, ".jpg");
  StopRunningTool(false);
  const String Line = ToolPath("ffmpeg.exe") + " -y -i " + qv::os::QuoteCommandLinePath(Output) +
                      " -ss 5 -s 160x120 -f image2 -vframes 1 -an " + qv::os::QuoteCommandLinePath(Thumbnail);
  ToolRunning = true;
  RunPreviewTool(ApplyFfmpegSwap(Line));
}
