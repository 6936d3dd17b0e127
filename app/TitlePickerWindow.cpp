#include "app/TitlePickerWindow.h"

#include <algorithm>

#include "app/FormSkin.h"
#include "app/WindowParts.h"
#include "core/RunControl.h"
#include "core/SourceRow.h"
#include "core/qv_cmdline.h"
#include "platform/os/CommandLine.h"
#include "platform/os/PathRules.h"
#include "platform/rtl/Convert.h"

TForm5* Form5 = nullptr;

namespace {

constexpr int ButtonRowHeight = 40;

}  // namespace

TForm5::TForm5(TComponent* AOwner) : TForm(AOwner)
{
  SetName("Form5");
  SetCaption("");
  SetColor(clBtnFace);
  skSkinPanel1 = MakePart<TskSkinPanel>(this, this, "skSkinPanel1", "", 0, 0, 440, 360);
  skSkinCheckListBox1 = MakePart<TskSkinCheckListBox>(this, skSkinPanel1, "skSkinCheckListBox1", "", 8, 8, 424, 304);
  videowindow1 = MakePart<TXcPanel>(this, skSkinPanel1, "videowindow1", "", 8, 8, 424, 304);
  videowindow1->SetBevelOuter(bvNone);
  videowindow1->SetColor(clBlack);
  videowindow1->SetVisible(false);
  skSkinLabel1 = MakePart<TskSkinLabel>(this, videowindow1, "skSkinLabel1", "The preview might stutter. This is normal.",
                                        0, 0, 424, 20);
  skSkinButton2 = MakePart<TskSkinButton>(this, skSkinPanel1, "skSkinButton2", "Preview", 8, 320, 90, 28);
  skSkinButton3 = MakePart<TskSkinButton>(this, skSkinPanel1, "skSkinButton3", "Cancel", 342, 320, 90, 28);
  skSkinButton1 = MakePart<TskSkinButton>(this, skSkinPanel1, "skSkinButton1", "OK", 246, 320, 90, 28);

  XcCreateProcess1 = new TXcCreateProcess(this);
  XcCreateProcess1->SetName("XcCreateProcess1");
  XcCreateProcess1->GetStartupInfo()->ShowWindow = swHide;
  XcCreateProcess1->GetStartupInfo()->DefaultWindowState = false;
  XcCreateProcess1->SetConsoleOptions({coOwnerData, coRedirect});
  XcCreateProcess1->SetOnRead(
      [this](TObject* Sender, const String& S, bool NewLine) { XcCreateProcess1Read(Sender, S, NewLine); });
  XcCreateProcess1->OnTerminate = [this](TObject* Sender, Cardinal Code) { XcCreateProcess1Terminate(Sender, Code); };

  skSkinButton1->OnClick = [this](TObject* Sender) { skSkinButton1Click(Sender); };
  skSkinButton2->OnClick = [this](TObject* Sender) { skSkinButton2Click(Sender); };
  skSkinButton3->OnClick = [this](TObject* Sender) { skSkinButton3Click(Sender); };
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
  OnResize = [this](TObject* Sender) { FormResize(Sender); };
  SkinForm(this);
  Form5 = this;
  FormCreate(this);
}

TForm5::~TForm5()
{
  if (XcCreateProcess1->GetState() != TXcCreateProcess::Ready) {
    try {
      XcCreateProcess1->KillProcess();
    } catch (const Exception&) {
    }
    XcCreateProcess1->DetachFromProcess();
    ToolRunning = false;
  }
  if (PickerOpen) DvdTitlePickerClosed(false, {});
  if (Form5 == this) Form5 = nullptr;
}

void TForm5::FormCreate(TObject*)
{
  // Sized to its contents and centred on the main window.
  SetClientWidth(440);
  SetClientHeight(360);
  if (Form1)
    SetBounds(Form1->GetLeft() + (Form1->GetWidth() - GetWidth()) / 2,
              Form1->GetTop() + (Form1->GetHeight() - GetHeight()) / 2, GetWidth(), GetHeight());
  else
    SetPosition(poScreenCenter);
  FormResize(this);
}

void TForm5::FormResize(TObject*)
{
  const int W = std::max(GetClientWidth(), 200), H = std::max(GetClientHeight(), 120);
  skSkinPanel1->SetBounds(0, 0, W, H);
  skSkinCheckListBox1->SetBounds(8, 8, W - 16, H - 16 - ButtonRowHeight);
  videowindow1->SetBounds(8, 8, W - 16, H - 16 - ButtonRowHeight);
  skSkinLabel1->SetBounds(0, 0, W - 16, 20);
  const int ButtonTop = H - 8 - 28;
  skSkinButton2->SetBounds(8, ButtonTop, 90, 28);
  skSkinButton1->SetBounds(W - 8 - 90 - 6 - 90, ButtonTop, 90, 28);
  skSkinButton3->SetBounds(W - 8 - 90, ButtonTop, 90, 28);
}

void TForm5::Open(const std::vector<String>& Items)
{
  skSkinCheckListBox1->Clear();
  TStrings* Lines = skSkinCheckListBox1->GetItems();
  for (const String& Item : Items) Lines->Add(Item);
  for (int I = 0; I < Lines->GetCount(); ++I) skSkinCheckListBox1->SetChecked(I, false);
  if (Lines->GetCount() > 0) skSkinCheckListBox1->SetItemIndex(0);
  Show();
}

String TForm5::TitleCommandLine(int Row)
{
  // The plain DVD input: the device without its VIDEO_TS folder, "dvd://" for "dvdnav://".
  const String Input =
      ReplaceFirst(StripVideoTs(Form1->dvdgrid->GetCells(scInputArgs, Row), vtFirst), "dvdnav", "dvd");
  const std::uint64_t Wid = videowindow1->NativeWindowId();
  const String Line = qv::os::QuoteCommandLinePath(WorkFolder + "mplayer.exe");
  if (Wid == 0) return Line + " -vo null -slave -nokeepaspect " + Input;
  return Line + " -vo x11 -zoom -slave -nokeepaspect " + Input + " -wid " + UIntToStr(Wid);
}

void TForm5::StopTitle()
{
  KillAllTools();
  // The kill by name reaches the first player of that name; this one is ours for sure.
  if (XcCreateProcess1->GetState() != TXcCreateProcess::Ready) {
    try {
      XcCreateProcess1->KillProcess();
    } catch (const Exception&) {
    }
  }
}

void TForm5::skSkinButton2Click(TObject*)
{
  if (ToolRunning) {
    StopTitle();
  } else {
    const int Row = skSkinCheckListBox1->GetItemIndex();
    if (!Form1 || Row < 0 || Row >= Form1->dvdgrid->GetRowCount()) return;
    const String Line = TitleCommandLine(Row);
    Form1->Edit1->SetText(Line);
    ToolRunning = true;
    XcCreateProcess1->SetCommandLine(Line);
    XcCreateProcess1->SetCurrentDirectory(WorkFolder);
    try {
      XcCreateProcess1->StartProcess();
    } catch (const Exception& E) {
      ToolRunning = false;
      SetStatus("The title could not be played: " + E.Message());
    }
  }
  WaitForTool();
}

void TForm5::XcCreateProcess1Read(TObject*, const String&, bool)
{
  // A report after the end (the output drained late) is no sign of a playing title.
  if (XcCreateProcess1->GetState() == TXcCreateProcess::Ready) return;
  skSkinButton2->SetCaption("Stop");
  ToolRunning = true;
  videowindow1->SetVisible(true);
  videowindow1->BringToFront();
}

void TForm5::XcCreateProcess1Terminate(TObject*, Cardinal)
{
  ToolRunning = false;
  videowindow1->SetVisible(false);
  skSkinButton2->SetCaption("Preview");
}

void TForm5::Answer(bool Ok)
{
  std::vector<bool> Checked;
  for (int I = 0; I < skSkinCheckListBox1->GetItems()->GetCount(); ++I)
    Checked.push_back(skSkinCheckListBox1->GetChecked(I));
  if (ToolRunning) {
    StopTitle();
    // The scan goes on with tools of its own: the title's player must have ended first.
    WaitForTool();
  }
  DvdTitlePickerClosed(Ok, Checked);
  Close();
}

void TForm5::skSkinButton1Click(TObject*) { Answer(true); }
void TForm5::skSkinButton3Click(TObject*) { Answer(false); }

void TForm5::FormClose(TObject*, TCloseAction& Action)
{
  Action = caHide;
  if (ToolRunning && XcCreateProcess1->GetState() != TXcCreateProcess::Ready) {
    StopTitle();
    WaitForTool();
  }
  // Closed through the frame: the scan must not wait for an answer that never comes.
  if (PickerOpen) DvdTitlePickerClosed(false, {});
}
