#include "core/DeviceQueue.h"

#include <cmath>

#include "core/SkinnedQuestions.h"
#include "core/CodecPresets.h"
#include "core/MainForm.h"
#include "core/qv_functions.h"
#include "core/qv_scan.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Dialogs.h"

TDeviceQueueHost& DeviceQueueHost()
{
  static TDeviceQueueHost Host;
  return Host;
}

String MultiDeviceEntry(int Row, const String& Model) { return Format("%2.2d", Row) + " " + Model; }

void SplitScreenSize(const String& Text, String& Width, String& Height)
{
  const String::size_type X = Text.find('x');
  Width = Trim(X == String::npos ? Text : Text.substr(0, X));
  String Rest = Text;
  if (!Width.empty()) {
    const String::size_type W = Rest.find(Width);
    if (W != String::npos) Rest.erase(W, Width.size());
  }
  const String::size_type X2 = Rest.find('x');
  if (X2 != String::npos) Rest.erase(X2, 1);
  Height = Trim(Rest);
}

namespace {

void Call(const std::function<void()>& F)
{
  if (F) F();
}

bool AskYes(const String& Text)
{
  if (DeviceQueueHost().AskYes) return DeviceQueueHost().AskYes(Text);
  return AskYesSkinned(Text);
}

void Report(TForm1* F, const String& Text)
{
  if (DeviceQueueHost().Report) {
    DeviceQueueHost().Report(Text);
    return;
  }
  F->status->SetCaption(Text);
  F->log->GetLines()->Add(Text);
}

// The index of the last item equal to Text, -1 when none.
int LastEqual(TStrings* Items, const String& Text)
{
  int Found = -1;
  for (int I = 0; I < Items->GetCount(); ++I)
    if (Items->Get(I) == Text) Found = I;
  return Found;
}

// The selected item of a box, or its text when nothing is selected.
String Selected(TOptionComboBox* Box)
{
  const int I = Box->GetItemIndex();
  if (I >= 0 && I < Box->GetItems()->GetCount()) return Box->GetItems()->Get(I);
  return Box->GetText();
}

void ShowRatingControls(TForm1* F, bool Show)
{
  F->skSkinCheckRadioBox9->SetVisible(Show);
  F->rating->SetVisible(Show);
}

void SetFolderLabel(TForm1* F, const String& Folder)
{
  F->xcedit2->SetCaption(Folder);
  F->xcedit2->SetURL(Folder);
}

// The row display's conversion of a numeric cell: false (and a report) when it is not a whole
// number, so that the step takes the control's current value instead.
bool CellNumber(TForm1* F, int Col, int& Value)
{
  const int Row = F->dq->GetRow();
  const String Text = F->dq->GetCells(Col, Row);
  if (TryStrToInt(Trim(Text), Value)) return true;
  const String Title = F->dq->GetCells(Col, 0);
  Report(F, "Device " + IntToStr(Row) + ": \"" + Text + "\" in column " + IntToStr(Col) +
                (Title.empty() ? String() : " (" + Title + ")") + " is not a whole number; the setting shown is kept.");
  return false;
}

// Finds the preview window's slider of that name, when the window exists.
TTrackBar* PreviewSlider(const char* Name)
{
  TForm* Form = FindProgramForm("Form2");
  return Form ? dynamic_cast<TTrackBar*>(Form->FindComponent(Name)) : nullptr;
}

}  // namespace

void TForm1::RebuildMultiDeviceList()
{
  TStrings* Items = multidevicebox->GetItems();
  Items->Clear();
  for (int R = 1; R < dq->GetRowCount(); ++R) Items->Add(MultiDeviceEntry(R, dq->GetCells(DeviceNameCol, R)));
}

void TForm1::dqClick(TObject*)
{
  if (!UiSync) return;
  UiSync = false;
  try {
    auto Cell = [this](int Col) { return dq->GetCells(Col, dq->GetRow()); };
    skSkinCheckRadioBox10->SetChecked(Cell(21) == "Yes");
    if (xcedit2->GetCaption().empty()) SetFolderLabel(this, MyVideosFolder());
    ShowDriveFreeSpace(xcedit2->GetCaption());
    auto FolderStep = [&] {
      if (!Cell(DeviceFolderCol).empty())
        SetFolderLabel(this, Cell(DeviceFolderCol));
      else
        dq->SetCells(DeviceFolderCol, dq->GetRow(), xcedit2->GetCaption());
    };
    FolderStep();
    if (dq->GetRow() == 0) dq->SetRow(1);
    if (!Cell(DeviceNameCol).empty()) {
      const int Brand = LastEqual(brand->GetItems(), Cell(DeviceGroupCol));
      if (Brand >= 0) brand->SetItemIndex(Brand);
      brandChange(this);
      const int Model = LastEqual(model->GetItems(), Cell(DeviceNameCol));
      if (Model >= 0) model->SetItemIndex(Model);
      modelChange(this);
      int Preset = -1;
      for (int R = 0; R < codecgrid->GetRowCount(); ++R)
        if (codecgrid->GetCells(CodecIdCol, R) == Cell(DevicePresetCol)) Preset = R;
      if (Preset >= 0) codec->SetItemIndex(Preset);
      codecChange(this);

      String Width, Height, ItemWidth, ItemHeight;
      SplitScreenSize(Cell(DeviceSizeCol), Width, Height);
      int Size = -1;
      for (int I = 0; I < screensize->GetItems()->GetCount(); ++I) {
        SplitScreenSize(screensize->GetItems()->Get(I), ItemWidth, ItemHeight);
        if (ItemWidth == Width && ItemHeight == Height) Size = I;
      }
      if (Size >= 0) screensize->SetItemIndex(Size);

      int N = 0;
      if (CellNumber(this, DeviceVolumeCol, N))
        XcTrackBar1->SetPosition(N);
      else
        XcTrackBar1Change(this);
      if (TTrackBar* Bar = PreviewSlider("XcTrackBar2"); Bar && CellNumber(this, DeviceBrightnessCol, N))
        Bar->SetPosition(N / 5);
      if (TTrackBar* Bar = PreviewSlider("XcTrackBar3"); Bar && CellNumber(this, DeviceContrastCol, N))
        Bar->SetPosition(N / 5);
      FolderStep();
      ShowDriveFreeSpace(xcedit2->GetCaption());
      vq->SetValue(CellNumber(this, DeviceVideoRateCol, N) ? N : vq->GetValue());
      if (!Cell(DeviceSpeedLimitCol).empty()) {
        rating->SetValue(CellNumber(this, DeviceSpeedLimitCol, N) ? N : rating->GetValue());
        skSkinCheckRadioBox9->SetChecked(Cell(DeviceSpeedLimitSwitchCol) == "Yes");
      }
      if (CellNumber(this, DeviceFrameRateCol, N))
        frps->SetPosition(N);
      else
        frpsChange(this);
      aq->SetValue(CellNumber(this, DeviceAudioRateCol, N) ? N : aq->GetValue());
      if (CellNumber(this, DeviceChannelsCol, N))
        ac->SetItemIndex(N - 1);
      else
        acChange(this);
      aqChange(this);
      if (CellNumber(this, DevicePassesCol, N))
        pass->SetItemIndex(N - 1);
      else
        passChange(this);
    }
  } catch (const Exception& E) {
    Report(this, "The device settings could not be shown: " + E.Message());
  }
  UiSync = true;
  Panel11->SetVisible(dq->GetRowCount() > 2);
}

void TForm1::brandChange(TObject*)
{
  Call(DeviceQueueHost().ShowMainPage);
  ShowRatingControls(this, brand->GetText() == "HandheldPC");
  const String Group = Selected(brand);
  TStrings* Items = model->GetItems();
  Items->Clear();
  for (int R = 0; R < devices->GetRowCount(); ++R)
    if (devices->GetCells(DeviceGroupCol, R) == Group) Items->Add(devices->GetCells(DeviceNameCol, R));
  model->SetItemIndex(0);
  modelChange(this);
}

void TForm1::modelChange(TObject*)
{
  Call(DeviceQueueHost().ShowMainPage);
  ShowRatingControls(this, dq->GetCells(DeviceGroupCol, dq->GetRow()) == "HandheldPC");
  if (!UiSync) return;
  if (dq->GetRow() == 0) dq->SetRow(1);
  const String Group = Selected(brand), Name = Selected(model);
  int Profile = 0;
  for (int R = 0; R < devices->GetRowCount(); ++R)
    if (devices->GetCells(DeviceGroupCol, R) == Group && devices->GetCells(DeviceNameCol, R) == Name) Profile = R;
  const int Row = dq->GetRow();
  for (int C = 0; C < DeviceTableColCount; ++C) dq->SetCells(C, Row, devices->GetCells(C, Profile));

  // The row's entry in the multi-device list; a list that fell behind the grid is made again
  // first, so no entry is ever written beyond its end.
  TStrings* Entries = multidevicebox->GetItems();
  const String Entry = MultiDeviceEntry(Row, dq->GetCells(DeviceNameCol, Row));
  if (Entries->GetCount() < Row - 1) RebuildMultiDeviceList();
  if (Entries->GetCount() == Row - 1)
    Entries->Add(Entry);
  else
    Entries->Put(Row - 1, Entry);
  multidevicebox->SetItemIndex(Row - 1);
  dqClick(this);
}

void TForm1::codecChange(TObject*)
{
  const String Id = codec->GetText();
  dq->SetCells(DevicePresetCol, dq->GetRow(), Id);
  tcpmp->SetVisible(false);
  if (Id.find("wme") != String::npos) {
    tcpmp->SetCaption("WMV info");
    tcpmp->SetVisible(true);
  }
  if (model->GetText().find("TCPMP") != String::npos) {
    tcpmp->SetCaption("TCPMP info");
    tcpmp->SetVisible(true);
  }
  if (Id.find("3gp") != String::npos) radiobutton3->SetChecked(true);
}

void TForm1::screensizeChange(TObject*) { dq->SetCells(DeviceSizeCol, dq->GetRow(), screensize->GetText()); }

void TForm1::vqChange(TObject*)
{
  dq->SetCells(DeviceVideoRateCol, dq->GetRow(), vq->GetText());
  Call(DeviceQueueHost().SetFilesize);
}

void TForm1::aqChange(TObject*)
{
  const double Rate = aq->GetValue();
  const int Mode = ac->GetItemIndex();
  if (Rate > 64 && Mode < 1)
    ac->SetItemIndex(1);
  else if (Rate < 64 && Mode > 0)
    ac->SetItemIndex(0);
  dq->SetCells(DeviceAudioRateCol, dq->GetRow(), aq->GetText());
  Call(DeviceQueueHost().SetFilesize);
}

void TForm1::acChange(TObject*)
{
  const int Mode = ac->GetItemIndex();
  const double Rate = aq->GetValue();
  if ((Mode == 0 && Rate > 64) || (Mode == 1 && Rate < 64)) aq->SetValue(64);
  dq->SetCells(DeviceChannelsCol, dq->GetRow(), IntToStr(ac->GetItemIndex() + 1));
}

void TForm1::frpsChange(TObject*)
{
  const String Position = IntToStr(frps->GetPosition());
  dq->SetCells(DeviceFrameRateCol, dq->GetRow(), Position);
  skSkinStdLabel16->SetCaption(Position);
}

void TForm1::XcTrackBar1Change(TObject*)
{
  const int Position = XcTrackBar1->GetPosition();
  dq->SetCells(DeviceVolumeCol, dq->GetRow(), IntToStr(Position));
  XcTrackBar1->SetSelEnd(Position);
  skSkinStdLabel13->SetCaption(IntToStr(Position));
}

void TForm1::passChange(TObject*) { dq->SetCells(DevicePassesCol, dq->GetRow(), IntToStr(pass->GetItemIndex() + 1)); }

void TForm1::skSkinCheckRadioBox9Click(TObject*)
{
  dq->SetCells(DeviceSpeedLimitSwitchCol, dq->GetRow(), skSkinCheckRadioBox9->GetChecked() ? "Yes" : "");
}

void TForm1::ratingChange(TObject*) { dq->SetCells(DeviceSpeedLimitCol, dq->GetRow(), rating->GetText()); }

void TForm1::skSkinCheckRadioBox10Click(TObject*)
{
  dq->SetCells(21, dq->GetRow(), skSkinCheckRadioBox10->GetChecked() ? "Yes" : "");
  dq->SetColCount(22);
}

namespace {

// The last steps of both ways of choosing the output folder.
void TakeFolderLabel(TForm1* F)
{
  String Folder = F->xcedit2->GetCaption();
  if (Folder.empty() || Folder.back() != '/') Folder += "/";
  SetFolderLabel(F, Folder);
  ShowDriveFreeSpace(Folder);
  F->dq->SetCells(DeviceFolderCol, F->dq->GetRow(), Folder);
}

}  // namespace

void TForm1::SpeedButton4Click(TObject*)
{
  Call(DeviceQueueHost().ShowMainPage);
  String Folder;
  if (ScanHost().FolderDialog &&
      ScanHost().FolderDialog->Execute("Select destination folder", xcedit2->GetCaption(), Folder)) {
    xcedit2->SetCaption(StringReplace(Folder, "//", "/"));
  }
  TakeFolderLabel(this);
  if (Converting) Call(DeviceQueueHost().ShowJobList);
}

void TForm1::skSkinSpeedButton25Click(TObject*)
{
  xcedit2->SetCaption(InputBox("Manual Folder Input", "Please type the full path for your destination folder",
                               xcedit2->GetCaption()));
  TakeFolderLabel(this);
}

void TForm1::SpeedButton5Click(TObject*)
{
  if (!AskYes("Are you sure you want to add\ranother device?\r\rEach item in the queue will be\rconverted once per "
              "device!"))
    return;
  const int From = dq->GetRow();
  const int NewRow = dq->GetRowCount();
  dq->SetRowCount(NewRow + 1);
  for (int C = 0; C < dq->GetColCount(); ++C) dq->SetCells(C, NewRow, dq->GetCells(C, From));
  dq->SetRow(NewRow);
  RebuildMultiDeviceList();
  multidevicebox->SetItemIndex(dq->GetRow() - 1);
  Panel11->SetVisible(multidevicebox->GetItems()->GetCount() > 1);
}

void TForm1::skSkinSpeedButton5Click(TObject*)
{
  if (dq->GetRowCount() <= 2) return;
  DeleteGridRow(dq, dq->GetRow());
  RebuildMultiDeviceList();
  multidevicebox->SetItemIndex(dq->GetRow() - 1);
  Panel11->SetVisible(multidevicebox->GetItems()->GetCount() > 1);
  dqClick(this);
}

void TForm1::skSkinSpeedButton18Click(TObject* Sender) { ResetProfile1Click(Sender); }

void TForm1::ResetProfile1Click(TObject*)
{
  for (int R = 0; R < dq->GetRowCount(); ++R)
    for (int C = 0; C < dq->GetColCount(); ++C) dq->SetCells(C, R, "");
  dq->SetRowCount(2);
  dq->SetRow(1);
  multidevicebox->GetItems()->Clear();
  Panel11->SetVisible(false);
  UiSync = true;
  modelChange(this);
}

void TForm1::multideviceboxChange(TObject*)
{
  const int Row = multidevicebox->GetItemIndex() + 1;
  if (Row < 1 || Row >= dq->GetRowCount()) return;
  dq->SetRow(Row);
  dqClick(this);
}
