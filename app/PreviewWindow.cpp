#include "app/PreviewWindow.h"

#include <algorithm>

#include "app/FormSkin.h"
#include "app/MainWindow.h"
#include "app/QueueEditPanel.h"
#include "app/WindowParts.h"
#include "core/CropArithmetic.h"
#include "core/DeviceQueue.h"
#include "core/PreviewFrames.h"
#include "core/RunControl.h"
#include "core/SourceRow.h"
#include "core/qv_cmdline.h"
#include "core/qv_detect.h"
#include "core/qv_functions.h"
#include "platform/os/CommandLine.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StrUtils.h"

TForm2* Form2 = nullptr;

const char* const PreviewAspectItems[18] = {
    "1.19:1", "1.25:1", "1.33:1  (* 4:3)", "1.37:1", "1.43:1",           "1.50:1", "1.56:1", "1.66:1", "1.75:1",
    "1.78:1  (* 16:9)", "1.85:1", "2.00:1", "2.20:1", "2.35:1  (* FILM)", "2.39:1", "2.55:1", "2.59:1", "2.76:1"};

namespace {

constexpr int CropBoxHeight = 134;
constexpr int SeekRowHeight = 34;
constexpr int TopLineHeight = 22;

// The command line of the player this window started last; slave commands go only to it.
String PreviewLine;
// Set while the bars are loaded from the device queue: loading writes nothing back.
bool LoadingBars = false;
// The running preview player has reported its picture size (its video output works).
bool PictureReported = false;

TskSkinStringGrid* Queue() { return Form1->StringGrid1; }
int SelectedRow() { return Form1 ? Queue()->GetRow() : 0; }
// A used row of the queue below the header: the only rows the window writes into.
bool RowUsable(int Row)
{
  return Form1 && Row >= 1 && Row < Queue()->GetRowCount() && !Queue()->GetCells(scNumber, Row).empty();
}
String Cell(int Col)
{
  const int Row = SelectedRow();
  return RowUsable(Row) ? Queue()->GetCells(Col, Row) : String();
}
void SetCell(int Col, const String& Value)
{
  const int Row = SelectedRow();
  if (RowUsable(Row)) Queue()->SetCells(Col, Row, Value);
}

// The player this window started is the tool that runs now.
bool PreviewPlayerRuns()
{
  return ToolRunning && Form1 && !PreviewLine.empty() && Form1->XcCreateProcess1->GetCommandLine() == PreviewLine;
}

// While a conversion runs, the tool that runs is an encoder: the window neither stops it nor
// starts a player or a frame grab beside it.
bool RefusedWhileConverting()
{
  if (!Converting) return false;
  SetStatus("The preview waits until the conversion has ended.");
  return true;
}

// A slave command for the running preview player (dropped when none runs).
void SendToPlayer(const String& Command)
{
  if (PreviewPlayerRuns()) Form1->XcCreateProcess1->QueueInputLine(Command);
}

String ColumnText(int Value) { return IntToStr(Value); }

// The text up to and including the first blank ("" when there is none).
String UpToFirstBlank(const String& S)
{
  const auto Blank = S.find(' ');
  return Blank == String::npos ? String() : S.substr(0, Blank + 1);
}

// What the audio and subtitle boxes of the queue editor show for the selected row.
String AudioBoxText() { return Cell(scAudioChoice); }
bool SubtitlesTicked() { return Cell(scSubtitlesOn) == "YES"; }
String SubtitleBoxText() { return Cell(scSubtitleChoice); }

// The main window's source-queue editor (none while no main window exists).
TQueueEditPanel* QueueEditor()
{
  auto* Main = dynamic_cast<TMainWindow*>(Form1);
  return Main ? Main->QueueEdit.get() : nullptr;
}

TXcTrackBar* Bar(TForm* Owner, TWinControl* Parent, const char* Name, int Min, int Max, int Left, int Top, int Width)
{
  auto* B = new TXcTrackBar(Owner);
  B->SetName(Name);
  B->SetParent(Parent);
  B->SetBounds(Left, Top, Width, 24);
  B->SetRange(Min, Max);
  B->SetTickStyle(tsNone);
  return B;
}

TskSkinStdLabel* Label(TForm* Owner, TWinControl* Parent, const char* Name, const char* Caption, int Left, int Top,
                       int Width)
{
  auto* L = new TskSkinStdLabel(Owner);
  L->SetName(Name);
  L->SetParent(Parent);
  L->SetBounds(Left, Top, Width, 18);
  L->SetCaption(Caption);
  return L;
}

TXcPanel* Overlay(TForm* Owner, TWinControl* Parent, const char* Name)
{
  auto* P = new TXcPanel(Owner);
  P->SetName(Name);
  P->SetParent(Parent);
  P->SetBevelOuter(bvNone);
  P->SetCaption("");
  P->SetColor(clMedGray);
  P->SetFlatBorder(true);
  P->SetFlatBorderColor(clRed);
  P->SetBorderWidth(1);
  return P;
}

}  // namespace

String PreviewVideoOutput(bool Fix, std::uint64_t Wid)
{
  if (Wid == 0) return " -vo null -slave -nokeepaspect";
  // "-zoom" lets the XImage output scale the picture to the window, as the Windows outputs did.
  return String(" -vo ") + (Fix ? "xv,x11" : "x11") + " -zoom -slave -nokeepaspect -wid " + UIntToStr(Wid);
}

TForm2::TForm2(TComponent* AOwner) : TForm(AOwner)
{
  SetName("Form2");
  SetCaption("Preview");
  SetBorderStyle(bsSizeable);
  SetBounds(0, 0, 580, 620);
  SetColor(clBtnFace);

  skSkinLabel1 = MakePart<TskSkinLabel>(this, this, "skSkinLabel1", "The preview might stutter. This is normal.", 0,
                                        0, 580, TopLineHeight);
  Panel3 = new TPanel(this);
  Panel3->SetName("Panel3");
  Panel3->SetParent(this);
  Panel3->SetCaption("");
  Panel3->SetBevelOuter(bvNone);
  Panel3->SetColor(clGray);
  preview2 = new TXcPanel(this);
  preview2->SetName("preview2");
  preview2->SetParent(Panel3);
  preview2->SetBevelOuter(bvNone);
  preview2->SetCaption("");
  preview2->SetColor(clBlack);
  // The overlays come after the video panel: they lie above it.
  left = Overlay(this, Panel3, "left");
  right = Overlay(this, Panel3, "right");
  top = Overlay(this, Panel3, "top");
  bottom = Overlay(this, Panel3, "bottom");

  button1 = MakePart<TskSkinSpeedButton>(this, this, "button1", "0:00:00", 0, 0, 70, 28);
  trackbar2 = Bar(this, this, "trackbar2", 0, 0, 0, 0, 100);
  trackbar2->SetShowHint(true);
  button2 = MakePart<TskSkinSpeedButton>(this, this, "button2", "0:00:00", 0, 0, 70, 28);

  cropbox = MakePart<TskSkinGroupBox>(this, this, "cropbox", "edit screen settings", 0, 0, 580, CropBoxHeight);
  cropbox->SetRollUpMode(true);
  Label(this, cropbox, "aspectlabel", "Aspect ratio:", 8, 24, 90);
  aspectbox = MakePart<TskSkinComboBox>(this, cropbox, "aspectbox", "", 100, 20, 170, 22);
  for (const char* Item : PreviewAspectItems) aspectbox->GetItems()->Add(Item);
  Label(this, cropbox, "brightnesslabel", "Brightness:", 8, 50, 90);
  XcTrackBar2 = Bar(this, cropbox, "XcTrackBar2", -20, 20, 100, 46, 140);
  skSkinStdLabel3 = Label(this, cropbox, "skSkinStdLabel3", "0", 244, 50, 36);
  Label(this, cropbox, "contrastlabel", "Contrast:", 8, 76, 90);
  XcTrackBar3 = Bar(this, cropbox, "XcTrackBar3", -20, 20, 100, 72, 140);
  skSkinStdLabel5 = Label(this, cropbox, "skSkinStdLabel5", "0", 244, 76, 36);

  const char* const CropCaptions[4] = {"Crop left:", "Crop right:", "Crop top:", "Crop bottom:"};
  const char* const CropNames[4] = {"lt", "rt", "tp", "bt"};
  const char* const CropLabels[4] = {"skSkinStdLabel13", "skSkinStdLabel14", "skSkinStdLabel15", "skSkinStdLabel16"};
  const char* const CaptionNames[4] = {"ltlabel", "rtlabel", "tplabel", "btlabel"};
  TXcTrackBar* Bars[4];
  TskSkinStdLabel* Values[4];
  for (int I = 0; I < 4; ++I) {
    Label(this, cropbox, CaptionNames[I], CropCaptions[I], 290, 24 + I * 26, 84);
    Bars[I] = Bar(this, cropbox, CropNames[I], 0, 100, 376, 20 + I * 26, 150);
    Values[I] = Label(this, cropbox, CropLabels[I], "0", 530, 24 + I * 26, 44);
  }
  lt = Bars[0], rt = Bars[1], tp = Bars[2], bt = Bars[3];
  skSkinStdLabel13 = Values[0], skSkinStdLabel14 = Values[1], skSkinStdLabel15 = Values[2],
  skSkinStdLabel16 = Values[3];

  TXcSpeedButton* Crop[4];
  const char* const CropButtonNames[4] = {"XcSpeedButton2", "XcSpeedButton3", "XcSpeedButton4", "XcSpeedButton5"};
  const char* const CropHints[4] = {"Detect black borders", "Detect black borders and fill the screen",
                                    "Reset the crop", "Reset the crop and fill the screen"};
  for (int I = 0; I < 4; ++I) {
    Crop[I] = new TXcSpeedButton(this);
    Crop[I]->SetName(CropButtonNames[I]);
    Crop[I]->SetParent(cropbox);
    Crop[I]->SetBounds(8 + I * 32, 100, 30, 28);
    Crop[I]->SetHint(CropHints[I]);
    Crop[I]->SetShowHint(true);
    FGlyphs.emplace_back(CropGlyph(24, I < 2, I % 2 == 1));
    Crop[I]->SetGlyph(FGlyphs.back().get());
  }
  XcSpeedButton2 = Crop[0], XcSpeedButton3 = Crop[1], XcSpeedButton4 = Crop[2], XcSpeedButton5 = Crop[3];
  skSkinButton34 = MakePart<TskSkinButton>(this, cropbox, "skSkinButton34", "Apply to all equal selections", 140, 102,
                                           140, 24);

  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
  OnResize = [this](TObject* Sender) { FormResize(Sender); };
  button1->OnClick = [this](TObject* Sender) { button1Click(Sender); };
  button2->OnClick = [this](TObject* Sender) { Button2Click(Sender); };
  trackbar2->OnChange = [this](TObject* Sender) { TrackBar2Change(Sender); };
  trackbar2->OnMouseDown = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    trackbar2MouseDown(S, B, Sh, X, Y);
  };
  trackbar2->OnMouseUp = [this](TObject* S, TMouseButton B, TShiftState Sh, int X, int Y) {
    trackbar2MouseUp(S, B, Sh, X, Y);
  };
  preview2->OnClick = [this](TObject* Sender) { preview2Click(Sender); };
  Panel3->OnClick = [this](TObject* Sender) { preview2Click(Sender); };
  XcSpeedButton2->OnClick = [this](TObject* Sender) { XcSpeedButton2Click(Sender); };
  XcSpeedButton3->OnClick = [this](TObject* Sender) { XcSpeedButton3Click(Sender); };
  XcSpeedButton4->OnClick = [this](TObject* Sender) { XcSpeedButton4Click(Sender); };
  XcSpeedButton5->OnClick = [this](TObject* Sender) { XcSpeedButton5Click(Sender); };
  aspectbox->OnChange = [this](TObject* Sender) { aspectboxChange(Sender); };
  lt->OnChange = [this](TObject* Sender) { ltChange(Sender); };
  rt->OnChange = [this](TObject* Sender) { rtChange(Sender); };
  tp->OnChange = [this](TObject* Sender) { tpChange(Sender); };
  bt->OnChange = [this](TObject* Sender) { btChange(Sender); };
  XcTrackBar2->OnChange = [](TObject*) { PreviewBrightnessChange(); };
  XcTrackBar3->OnChange = [](TObject*) { PreviewContrastChange(); };
  cropbox->OnChangeRollUpState = [this](TObject* Sender) { cropboxChangeRollUpState(Sender); };
  skSkinButton34->OnClick = [this](TObject* Sender) { skSkinButton34Click(Sender); };

  // The bottom crop starts at 1 (its handler shows it; no source row is selected yet).
  bt->SetPosition(1);
  SkinForm(this);
  SetPosition(poScreenCenter);
  Form2 = this;
  PreviewSeekBar = trackbar2;
  FormResize(this);
  ConnectQueueEditor(true);
}

TForm2::~TForm2()
{
  ConnectQueueEditor(false);
  // Destroying the window ends a player it started.
  PreviewLine.clear();
  if (ToolRunning && !Converting) KillAllTools();
  if (PreviewSeekBar == trackbar2) PreviewSeekBar = nullptr;
  if (Form2 == this) Form2 = nullptr;
}

void TForm2::ConnectQueueEditor(bool Connect)
{
  TQueueEditPanel* Editor = QueueEditor();
  if (!Editor) return;
  if (Connect) {
    Editor->Preview = [this](const TPreviewRowView& View) { ShowRow(View); };
    Editor->skSkinSpeedButton9->OnClick = [](TObject* Sender) { PreviewButtonClick(Sender); };
  } else {
    Editor->Preview = nullptr;
    Editor->skSkinSpeedButton9->OnClick = nullptr;
  }
}

void TForm2::ShowRow(const TPreviewRowView& View)
{
  SetCaption(View.Caption);
  if (!View.Aspect.empty()) {
    aspectbox->SetItemIndex(ChooseAspectItem(aspectbox->GetItems(), View.Aspect));
    aspectbox->SetVisible(true);
  }
  trackbar2->SetMax(View.Max);
  trackbar2->SetSelStart(View.SelStart);
  trackbar2->SetSelEnd(View.SelEnd);
  trackbar2->SetHint(SeekHint());
  button1->SetCaption(View.StartCaption);
  button2->SetCaption(View.EndCaption);
}

void TForm2::FormClose(TObject*, TCloseAction& Action)
{
  Action = caHide;
  PreviewLine.clear();
  // A conversion's encoder is no tool of this window.
  if (ToolRunning && !Converting) KillAllTools();
}

void TForm2::PicturePlaced(int, int)
{
  PictureReported = true;
  FormResize(this);
}

void TForm2::FormResize(TObject*)
{
  const int W = std::max(GetClientWidth(), 40);
  const int H = GetClientHeight();
  const int BoxHeight = cropbox->GetHeight();
  skSkinLabel1->SetBounds(0, 0, W, TopLineHeight);
  cropbox->SetBounds(0, std::max(H - BoxHeight, 0), W, BoxHeight);
  const int SeekTop = cropbox->GetTop() - SeekRowHeight;
  button1->SetBounds(4, SeekTop + 3, 70, 28);
  trackbar2->SetBounds(78, SeekTop + 5, std::max(W - 156, 24), 24);
  button2->SetBounds(W - 74, SeekTop + 3, 70, 28);
  // 1. The video area is at least 24 pixels each way.
  Panel3->SetBounds(0, TopLineHeight, W, std::max(SeekTop - TopLineHeight, 24));
  // 2. The source size; an unknown one counts (and is kept) as 320 x 240.
  if (PreviewSourceWidth < 1) PreviewSourceWidth = 320;
  if (PreviewSourceHeight < 1) PreviewSourceHeight = 240;
  // 3. The picture fitted into the area, centred.
  const TPreviewPlacement P =
      FitPreviewPicture(Panel3->GetWidth(), Panel3->GetHeight(), PreviewSourceWidth, PreviewSourceHeight);
  const int PW = std::max(P.Width, 1), PH = std::max(P.Height, 1);
  preview2->SetBounds((Panel3->GetWidth() - PW) / 2, (Panel3->GetHeight() - PH) / 2, PW, PH);
  preview2->SetVisible(true);
  // 4.
  lines();
}

void TForm2::PlaceOverlay(TXcPanel* Overlay, int Position)
{
  const int SW = PreviewSourceWidth < 1 ? 320 : PreviewSourceWidth;
  const int SH = PreviewSourceHeight < 1 ? 240 : PreviewSourceHeight;
  const int X = preview2->GetLeft(), Y = preview2->GetTop(), W = preview2->GetWidth(), H = preview2->GetHeight();
  if (Overlay == left || Overlay == right) {
    const int Width = static_cast<int>(Round(static_cast<double>(W) / SW * Position)) + 1;
    Overlay->SetBounds(Overlay == left ? X : X + W - Width, Y, Width, H);
  } else {
    const int Height = static_cast<int>(Round(static_cast<double>(H) / SH * Position)) + 1;
    Overlay->SetBounds(X, Overlay == top ? Y : Y + H - Height, W, Height);
  }
  Overlay->BringToFront();
}

void TForm2::lines()
{
  // A third of the source each way; an unknown size counts as 320 x 240.
  const int SW = PreviewSourceWidth < 1 ? 320 : PreviewSourceWidth;
  const int SH = PreviewSourceHeight < 1 ? 240 : PreviewSourceHeight;
  lt->SetMax(SW / 3);
  rt->SetMax(SW / 3);
  tp->SetMax(SH / 3);
  bt->SetMax(SH / 3);
  PlaceOverlay(left, lt->GetPosition());
  PlaceOverlay(right, rt->GetPosition());
  PlaceOverlay(top, tp->GetPosition());
  PlaceOverlay(bottom, bt->GetPosition());
  resdisplay();
}

void TForm2::resdisplay()
{
  if (!Form1) return;
  if (RowUsable(SelectedRow())) {
    // A row whose stored size or crop is no whole number has no crop texts: said in the status
    // line, and the window goes on.
    try {
      BuildCropOptions();
    } catch (const Exception& E) {
      SetStatus("No crop for this source: " + E.Message());
    }
  }
  const Int64 CW = static_cast<Int64>(PreviewSourceWidth) - lt->GetPosition() - rt->GetPosition();
  const Int64 CH = static_cast<Int64>(PreviewSourceHeight) - tp->GetPosition() - bt->GetPosition();
  if (CW <= 0 || CH <= 0) return;
  TScreenSize Screen;
  try {
    Screen = ParseScreenSize(Form1->screensize->GetText());
  } catch (const Exception&) {
    return;  // no device screen chosen: the caption keeps its text
  }
  if (Screen.Width <= 0 || Screen.Height <= 0) return;
  Int64 FW = Screen.Width;
  Int64 FH = Trunc(static_cast<double>(Screen.Width) / CW * CH);
  if (Screen.Height < FH) {
    FW = Trunc(static_cast<double>(Screen.Height) / CH * CW);
    FH = Screen.Height;
  }
  SetCaption("Device playback resolution: " + IntToStr(Ceil16(FW)) + " x " + IntToStr(Ceil16(FH)));
}

String TForm2::SeekHint() const
{
  return SeekBarHint(trackbar2->GetPosition(), trackbar2->GetSelStart(), trackbar2->GetSelEnd(), trackbar2->GetMax());
}

void TForm2::SetTrim(bool Start)
{
  TXcTrackBar* S = trackbar2;
  const int Position = S->GetPosition();
  if (Start) {
    S->SetSelStart(Position);
    if (S->GetSelEnd() < Position) S->SetSelEnd(S->GetMax());
  } else {
    S->SetSelEnd(Position);
    if (S->GetSelStart() > Position) S->SetSelStart(0);
  }
  S->SetHint(SeekHint());
  const int Length = std::max(S->GetSelEnd() - S->GetSelStart(), 0);
  SetCell(scTrimStart, ColumnText(S->GetSelStart()));
  SetCell(scTrimEnd, ColumnText(S->GetSelEnd()));
  SetCell(scDuration, SecondsToHMS(Length));
  SetCell(scConvertSeconds, ColumnText(Length));
  button1->SetCaption(SecondsToHMS(S->GetSelStart()));
  button2->SetCaption(SecondsToHMS(S->GetSelEnd()));
  if (DeviceQueueHost().SetFilesize) DeviceQueueHost().SetFilesize();
}

void TForm2::button1Click(TObject*) { SetTrim(true); }
void TForm2::Button2Click(TObject*) { SetTrim(false); }

void TForm2::TrackBar2Change(TObject*)
{
  trackbar2->SetHint(SeekHint());
  if (SeekDragging) SendToPlayer("seek " + IntToStr(trackbar2->GetPosition()) + " 2");
}

void TForm2::trackbar2MouseDown(TObject*, TMouseButton, TShiftState, int, int)
{
  trackbar2->SetHint(SeekHint());
  SeekDragging = true;
}

void TForm2::trackbar2MouseUp(TObject*, TMouseButton, TShiftState, int, int)
{
  trackbar2->SetHint(SeekHint());
  SendToPlayer("seek " + IntToStr(trackbar2->GetPosition()) + " 2");
  SeekDragging = false;
}

void TForm2::preview2Click(TObject*)
{
  if (ToolRunning)
    SendToPlayer("pause ");
  else
    PlayPreview();
}

void TForm2::XcSpeedButton2Click(TObject*)
{
  if (RefusedWhileConverting()) return;
  DetectBlackBorders(trackbar2->GetPosition());
  PlayPreview();
}

void TForm2::XcSpeedButton3Click(TObject*)
{
  if (RefusedWhileConverting()) return;
  DetectBordersAndFillScreen(trackbar2->GetPosition());
  PlayPreview();
}

void TForm2::XcSpeedButton4Click(TObject*)
{
  if (RefusedWhileConverting()) return;
  KillAllTools();
  WaitForTool();
  ResetCrop();
  PlayPreview();
}

void TForm2::XcSpeedButton5Click(TObject*)
{
  if (RefusedWhileConverting()) return;
  KillAllTools();
  WaitForTool();
  ResetCropAndFillScreen();
  PlayPreview();
}

void TForm2::aspectboxChange(TObject*)
{
  if (!UiSync) return;
  SetCell(scAspect, Trim(aspectbox->GetText().substr(0, 4)));
  SendToPlayer("switch_ratio " + Cell(scAspect));
}

void TForm2::CropBarChange(TXcTrackBar* Bar, TXcPanel* Over, TskSkinStdLabel* Value, int Column)
{
  PlaceOverlay(Over, Bar->GetPosition());
  Value->SetCaption(IntToStr(Bar->GetPosition()));
  if (UiSync) SetCell(Column, IntToStr(Bar->GetPosition()));
  resdisplay();
}

void TForm2::ltChange(TObject*) { CropBarChange(lt, left, skSkinStdLabel13, scCropLeft); }
void TForm2::rtChange(TObject*) { CropBarChange(rt, right, skSkinStdLabel14, scCropRight); }
void TForm2::tpChange(TObject*) { CropBarChange(tp, top, skSkinStdLabel15, scCropTop); }
void TForm2::btChange(TObject*) { CropBarChange(bt, bottom, skSkinStdLabel16, scCropBottom); }

void TForm2::cropboxChangeRollUpState(TObject* Sender) { FormResize(Sender); }

void TForm2::skSkinButton34Click(TObject*)
{
  static const int Columns[] = {scAspect,     scAudioChoice, scSubtitlesOn,  scSubtitleChoice, scSubtitleTracks,
                                scAngleChosen, scAngleNumber, scCropLeft,    scCropRight,      scCropTop,
                                scCropBottom, scCropFilter,  scCroppedWidth, scCroppedHeight,  scClipArgs,
                                scCropArgs};
  const int Selected = SelectedRow();
  if (!RowUsable(Selected)) return;
  auto* G = Queue();
  const String Width = G->GetCells(scWidth, Selected), Height = G->GetCells(scHeight, Selected);
  for (int R = 1; R < G->GetRowCount(); ++R) {
    if (G->GetCells(scNumber, R).empty()) continue;  // a free row holds no source
    if (G->GetCells(scWidth, R) != Width || G->GetCells(scHeight, R) != Height) continue;
    for (int C : Columns) G->SetCells(C, R, G->GetCells(C, Selected));
  }
}

// ---- The main window's side ----

String PreviewCommandLine()
{
  TForm2* F = Form2;
  const bool Fix = PreviewFixPresent && Form1->mplayer2->GetChecked();
  // 3. The input, the output into the video area.
  String P = Cell(scInputArgs) + PreviewVideoOutput(Fix, F->preview2->NativeWindowId());
  // 4. Aspect; a row without a length lets the player report the source's properties.
  const String Aspect = Cell(scAspect);
  if (!Aspect.empty() && Aspect[0] != '0') P += " -aspect " + Aspect;
  if (Cell(scLength).empty()) P += " -identify";
  // 5.
  P += " -brightness " + IntToStr(5 * F->XcTrackBar2->GetPosition());
  P += " -contrast " + IntToStr(5 * F->XcTrackBar3->GetPosition());
  // 7. The audio track: its number (the description's first word). A box without a number
  // adds nothing: a bare "-aid" would take the next argument as its value.
  const String Audio = Trim(UpToFirstBlank(AudioBoxText()));
  if (!Audio.empty()) P += " -aid " + Audio + " ";
  // 8. Subtitles.
  const String Font = qv::os::QuoteCommandLinePath(WorkFolder + "mplayer/subfont.ttf");
  const String Sub = SubtitleBoxText();
  String S;
  if (SubtitlesTicked() && !Sub.empty()) {
    if (Pos("ile", Sub) == 0) {
      const String Id = Trim(UpToFirstBlank(Sub));
      if (!Id.empty()) S += " -sid " + Id + " -font " + Font;
    }
    if (Pos("SRT File:", " " + Sub) > 0)
      S += " -sub " + qv::os::QuoteCommandLinePath(Trim(ReplaceFirst(Sub, "SRT File:", ""))) + " -font " + Font;
  } else {
    S = " -noautosub -forcedsubsonly";
  }
  P += S;
  // 9.
  if (Form1->cc->GetChecked()) P += " -subcc -subfont-autoscale 1 -spuaa 4";
  // 10. The player; a disc's video folder is played from its drive.
  String Line = qv::os::QuoteCommandLinePath(WorkFolder + "mplayer.exe") + " " + P;
  if (Pos("dvd-device", LowerCase(Line)) > 0) Line = StripVideoTs(Line, vtAfterDriveRoot);
  if (Fix) Line = ReplaceFirst(Line, "mplayer.exe", "mplayer2.exe");
  return Line;
}

void PlayPreview()
{
  if (!Form1 || !Form2 || RefusedWhileConverting()) return;
  // 1. A second press stops the preview.
  if (ToolRunning) {
    PreviewLine.clear();  // stopped on purpose: nothing to report
    KillAllTools();
    return;
  }
  // The run buttons' idle state, also after a preview that could not start.
  auto Idle = [] {
    Form1->cbuttons->SetVisible(true);
    Form1->b1->SetVisible(true);
    Form1->b2->SetVisible(false);
    Form1->b3->SetVisible(false);
  };
  // 2. The row into the queue editor's controls and this window.
  if (TQueueEditPanel* Editor = QueueEditor()) Editor->StringGridClick(nullptr);
  PlaybackMode = true;
  const int Row = SelectedRow();
  if (!RowUsable(Row)) return;
  const String Source = Cell(scSourcePath);
  if (!Source.empty() && !FileExists(Source) && !DirectoryExists(Source)) {
    SetStatus("Nothing to preview: the source \"" + Source + "\" is gone.");
    Idle();
    return;
  }
  // 6. The crop bars from the row (an empty cell leaves its bar).
  TXcTrackBar* Bars[4] = {Form2->lt, Form2->rt, Form2->tp, Form2->bt};
  for (int I = 0; I < 4; ++I) {
    const String V = Cell(scCropLeft + I);
    int Value = 0;
    if (V.empty()) continue;
    if (!TryStrToInt(V, Value)) {
      SetStatus("Nothing to preview: the crop value \"" + V + "\" is not a whole number.");
      Idle();
      return;
    }
    Bars[I]->SetPosition(Value);
  }
  Form2->lines();
  const String Line = PreviewCommandLine();
  // 11.
  TXcCreateProcess* Runner = Form1->XcCreateProcess1;
  Form1->Edit1->SetText(Line);
  Runner->SetCommandLine(Line);
  Runner->SetCurrentDirectory(WorkFolder);
  PreviewLine = Line;
  ToolRunning = true;
  Form2->trackbar2->SetPosition(0);
  SeekDragging = false;
  Form1->b1->SetVisible(false);
  Form1->b2->SetVisible(false);
  Form1->b3->SetVisible(false);
  // Identify keys the player prints belong to this row.
  const bool Identify = Cell(scLength).empty();
  if (Identify) {
    DetectRow = Row;
    DetectMode = "video";
  }
  LastToolExitCode = 0;
  ClearToolOutputTail();
  PictureReported = false;
  // 12.
  try {
    Runner->StartProcess();
    WaitForTool();
    // A player that ended by itself (not stopped by the window) without a picture, or with an
    // error: its last words say why.
    const String Said = Copy(LastToolOutputTail(), 1, 300);
    if (PreviewLine == Line && LastToolExitCode != 0)
      SetStatus("The preview player ended with exit code " + IntToStr(LastToolExitCode) + ": " + Said);
    else if (PreviewLine == Line && !PictureReported)
      SetStatus("The preview player ended without showing a picture: " + Said);
  } catch (const Exception& E) {
    ToolRunning = false;
    SetStatus("The preview player could not be started: " + E.Message());
  }
  if (Identify && DetectRow == Row) DetectRow = 0;
  if (PreviewLine == Line) PreviewLine.clear();
  // 13.
  Idle();
}

void PreviewButtonClick(TObject* Sender)
{
  if (!Sender || !Form1 || !Form2 || Cell(scNumber).empty() || RefusedWhileConverting()) return;
  // The device's picture settings onto the bars (loading writes nothing back).
  auto* Dq = Form1->dq;
  const int DeviceRow = Dq->GetRow();
  if (DeviceRow >= 1 && DeviceRow < Dq->GetRowCount()) {
    int Brightness = 0, Contrast = 0;
    if (!TryStrToInt(Trim(Dq->GetCells(7, DeviceRow)), Brightness) ||
        !TryStrToInt(Trim(Dq->GetCells(8, DeviceRow)), Contrast)) {
      SetStatus("Device " + IntToStr(DeviceRow) + ": brightness \"" + Dq->GetCells(7, DeviceRow) +
                "\" or contrast \"" + Dq->GetCells(8, DeviceRow) + "\" is not a whole number.");
      return;
    }
    LoadingBars = true;
    Form2->XcTrackBar2->SetPosition(Brightness / 5);
    Form2->XcTrackBar3->SetPosition(Contrast / 5);
    LoadingBars = false;
  }
  Form2->Show();
  Form2->SetFocus();
  UiSync = true;
  if (TQueueEditPanel* Editor = QueueEditor()) Editor->ComboBox2Change(nullptr);
  PlayPreview();
}

namespace {

void PictureBarChange(TXcTrackBar* Bar, TskSkinStdLabel* Value, int Column, const char* Command)
{
  const int P = Bar->GetPosition();
  if (P > 0) {
    Bar->SetSelEnd(P);
    Bar->SetSelStart(0);
  } else {
    Bar->SetSelStart(P);
    Bar->SetSelEnd(0);
  }
  Value->SetCaption(IntToStr(P * 5));
  if (LoadingBars || !Form1) return;
  auto* Dq = Form1->dq;
  const int Row = Dq->GetRow();
  if (Row < 1 || Row >= Dq->GetRowCount()) return;
  Dq->SetCells(Column, Row, IntToStr(P * 5));
  SendToPlayer(String(Command) + " " + Dq->GetCells(Column, Row) + " 1");
}

}  // namespace

void PreviewBrightnessChange()
{
  if (Form2) PictureBarChange(Form2->XcTrackBar2, Form2->skSkinStdLabel3, 7, "brightness");
}

void PreviewContrastChange()
{
  if (Form2) PictureBarChange(Form2->XcTrackBar3, Form2->skSkinStdLabel5, 8, "contrast");
}
