#include "core/MainForm.h"

#include <cmath>

#include "core/TrackChoice.h"
#include "core/qv_functions.h"

TForm1* Form1 = nullptr;
TForm3* Form3 = nullptr;

TForm* FindProgramForm(const String& Name)
{
  if (!Screen) return nullptr;
  for (int I = 0; I < Screen->GetFormCount(); ++I) {
    TForm* Form = Screen->GetForms(I);
    if (Form && Form->GetName() == Name) return Form;
  }
  return nullptr;
}

const char* const DefaultVideoExtensions[30] = {
    "avi", "mpg", "vob", "dat", "mpe", "pva", "mov", "qt", "mpeg", "divx", "ogg", "ogm", "mkv", "wmv", "asf",
    "mpv", "m1v", "m2v", "dv", "mp4", "m4v", "mv4", "m4v", "264", "dvr-ms", "tivo", "rmvb", "mod", "tp", "ogm"};
const char* const DefaultDiscImageExtensions[3] = {"bin", "iso", "img"};
const char* const DefaultWmvExtensions[7] = {"avi", "mpg", "dat", "mpeg", "divx", "wmv", "asf"};

bool Converting = false;
bool GoBusy = false;
bool BatchRunning = false;
bool StopRequested = false;
bool SkipRequested = false;
bool PlaybackMode = false;
bool SeekDragging = false;
bool UiSync = false;
int StallTicks = 0;
bool ToolStalled = false;
String ProgressLine;
String ProgressSeen;
TSpeedStats SpeedStats;
String SpeedText;
String ProgressTitlePrefix;
int DetectRow = 0;
String DetectMode;
bool IdentifyIncomplete = false;
String CurrentDvdName;
String DvdTitleCount;
int MinTitleSeconds = 600;
int PreviewSourceWidth = 0, PreviewSourceHeight = 0;
String WorkFolder;
String ProgramFolder;
String BuildTag = "Build 3.83.1";
String WindowTitle;
String VersionCaption;
String OpenDialogFilter;
bool HastekitPresent = false, PreviewFixPresent = false, FfmpegAddonPresent = false;
bool NoDeviceSubfolder = false;
bool SettingsSaveDisabled = false;
String TivoMak;

void ResetRunState()
{
  ToolRunning = false;
  PickerOpen = false;
  EjectDone = false;
  Converting = GoBusy = StopRequested = SkipRequested = PlaybackMode = SeekDragging = false;
  BatchRunning = true;  // until the main window's creation ends
  UiSync = false;
  StallTicks = 0;
  ToolStalled = false;
  ProgressLine.clear();
  ProgressSeen.clear();
  SpeedStats = TSpeedStats();
  SpeedText.clear();
  ProgressTitlePrefix.clear();
  DetectRow = 0;
  DetectMode.clear();
  IdentifyIncomplete = false;
  CurrentDvdName.clear();
  DvdTitleCount.clear();
  MinTitleSeconds = 600;
  PreviewSourceWidth = PreviewSourceHeight = 0;
  BuildTag = "Build 3.83.1";
  HastekitPresent = PreviewFixPresent = FfmpegAddonPresent = false;
  NoDeviceSubfolder = false;
  SettingsSaveDisabled = false;
  TivoMak.clear();
}

namespace {

template <class T>
T* MakeHidden(TForm* Form, const char* Name)
{
  auto* C = new T(Form);
  C->SetName(Name);
  C->SetVisible(false);
  C->SetParent(Form);
  return C;
}

TStringGrid* MakeTable(TForm* Form, const char* Name, int Cols, int Rows)
{
  auto* G = MakeHidden<TStringGrid>(Form, Name);
  G->SetFixedCols(0);
  G->SetFixedRows(0);
  G->SetColCount(Cols);
  G->SetRowCount(Rows);
  return G;
}

// A visible table with its header row: two rows, row 1 blank.
TskSkinStringGrid* MakeVisibleTable(TForm* Form, const char* Name, int Cols, int Top)
{
  auto* G = new TskSkinStringGrid(Form);
  G->SetName(Name);
  G->SetBounds(8, Top, 600, 120);
  G->SetParent(Form);
  G->SetColCount(Cols);
  G->SetRowCount(2);
  G->SetFixedCols(0);
  G->SetFixedRows(1);
  return G;
}

TskSkinCheckRadioBox* MakeCheckBox(TForm* Form, const char* Name, const char* Caption, int Top)
{
  auto* B = new TskSkinCheckRadioBox(Form);
  B->SetName(Name);
  B->SetCaption(Caption);
  B->SetBounds(620, Top, 240, 20);
  B->SetParent(Form);
  return B;
}

TTimer* MakeTimer(TForm* Form, const char* Name, Cardinal Interval, bool Enabled)
{
  auto* T = new TTimer(Form);
  T->SetName(Name);
  T->SetEnabled(false);
  T->SetInterval(Interval);
  T->SetEnabled(Enabled);
  return T;
}

// ---- Helpers of the display elements and the option controls ----

// Where the next option control goes: a simple column layout right of the tables.
struct TOptionPlace {
  int Left = 620, Top = 104;
  // The place of the controls inside a panel, from its top-left corner.
  static TOptionPlace InPanel(int Top)
  {
    TOptionPlace P;
    P.Left = 2;
    P.Top = Top;
    return P;
  }
  TRect Next(int Height = 20)
  {
    if (Top + Height > 700) {
      Left += 250;
      Top = 8;
    }
    const TRect R{Left, Top, Left + 240, Top + Height};
    Top += Height + 2;
    return R;
  }
};

template <class T>
T* MakeShown(TWinControl* Parent, TComponent* Owner, const char* Name, const TRect& R)
{
  auto* C = new T(Owner);
  C->SetName(Name);
  if (C->GetText() == Name) C->SetText("");  // a control named in code shows no caption
  C->SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
  C->SetParent(Parent);
  return C;
}

TskSkinCheckRadioBox* MakeOptionBox(TForm* Form, TOptionPlace& At, const char* Name, const char* Caption,
                                    int RadioGroup = 0)
{
  auto* B = MakeShown<TskSkinCheckRadioBox>(Form, Form, Name, At.Next());
  B->SetCaption(Caption);
  if (RadioGroup) {
    B->SetRadio(true);
    B->SetGroupIndex(RadioGroup);
  }
  return B;
}

TskSkinSpinEdit* MakeSpin(TForm* Form, TOptionPlace& At, const char* Name, double Min, double Max, double Step,
                          double Value)
{
  auto* E = MakeShown<TskSkinSpinEdit>(Form, Form, Name, At.Next());
  E->SetValueType(vtInteger);
  E->SetMinValue(Min);
  E->SetMaxValue(Max);
  E->SetIncrement(Step);
  E->SetValue(Value);
  return E;
}

TOptionComboBox* MakeCombo(TWinControl* Parent, TForm* Form, TOptionPlace& At, const char* Name,
                           const std::vector<String>& Items)
{
  auto* C = MakeShown<TOptionComboBox>(Parent, Form, Name, At.Next(22));
  C->SetStyle(spcbFixedStyle);
  for (const String& I : Items) C->GetItems()->Add(I);
  return C;
}

void Fill(TListBox* List, const char* const* Items, int Count)
{
  for (int I = 0; I < Count; ++I) List->GetItems()->Add(Items[I]);
}

}  // namespace

TForm1::TForm1(TComponent* AOwner) : TForm(AOwner)
{
  SetName("Form1");
  SetBounds(0, 0, 880, 420);
  StringGrid1 = MakeVisibleTable(this, "StringGrid1", SourceQueueColCount, 8);
  convertgrid = MakeVisibleTable(this, "convertgrid", JobListColCount, 136);
  dq = MakeVisibleTable(this, "dq", DeviceQueueColCount, 264);
  devices = MakeTable(this, "devices", DeviceTableColCount, 1);
  codecgrid = MakeTable(this, "codecgrid", PresetTableColCount, 1);
  dvdgrid = MakeTable(this, "dvdgrid", TitleTableColCount, 1);
  cropgrid = MakeTable(this, "cropgrid", ScratchTableColCount, 1);

  ListBox1 = MakeHidden<TListBox>(this, "ListBox1");
  ListBox2 = MakeHidden<TListBox>(this, "ListBox2");
  filelist = MakeHidden<TListBox>(this, "filelist");
  filelist2 = MakeHidden<TListBox>(this, "filelist2");
  folderlist = MakeHidden<TListBox>(this, "folderlist");
  voblist = MakeHidden<TListBox>(this, "voblist");
  videobox = MakeHidden<TListBox>(this, "videobox");
  dvdbox = MakeHidden<TListBox>(this, "dvdbox");
  filelist3 = MakeHidden<TListBox>(this, "filelist3");
  skiplist = MakeHidden<TListBox>(this, "skiplist");
  skiplist->SetMultiSelect(true);
  badlist = MakeHidden<TListBox>(this, "badlist");
  badlist->GetItems()->Add("TRANSFORMERS_VANILLA");
  splitbox = MakeHidden<TListBox>(this, "splitbox");
  subVid = MakeHidden<TListBox>(this, "subVid");
  Fill(subVid, DefaultVideoExtensions, 30);
  subISO = MakeHidden<TListBox>(this, "subISO");
  Fill(subISO, DefaultDiscImageExtensions, 3);
  subWMV = MakeHidden<TListBox>(this, "subWMV");
  Fill(subWMV, DefaultWmvExtensions, 7);
  mencoder_conf = MakeHidden<TListBox>(this, "mencoder_conf");
  shlfld1 = MakeHidden<TListBox>(this, "shlfld1");
  shlfld2 = MakeHidden<TListBox>(this, "shlfld2");
  shlfld3 = MakeHidden<TListBox>(this, "shlfld3");

  Memo1 = MakeHidden<TMemo>(this, "Memo1");
  Memo2 = MakeHidden<TMemo>(this, "Memo2");
  Memo3 = MakeHidden<TMemo>(this, "Memo3");
  dvdlog = MakeHidden<TMemo>(this, "dvdlog");
  settings = MakeHidden<TMemo>(this, "settings");
  v = MakeHidden<TMemo>(this, "v");
  v->SetWordWrap(false);
  tempmemo = MakeHidden<TMemo>(this, "tempmemo");
  for (TMemo* M : {Memo1, Memo2, Memo3, dvdlog, settings, tempmemo}) M->SetWordWrap(false);
  Edit3 = MakeHidden<TEdit>(this, "Edit3");
  Edit3->SetText("'");
  Edit5 = MakeHidden<TEdit>(this, "Edit5");
  Edit5->SetText("\"");

  ScanTimer = MakeTimer(this, "ScanTimer", 2000, false);
  MonitorTimer = MakeTimer(this, "MonitorTimer", 60000, true);
  converttimer = MakeTimer(this, "converttimer", 1000, false);
  detecttimer1 = MakeTimer(this, "detecttimer1", 1000, false);
  croptimer = MakeTimer(this, "croptimer", 1000, false);
  cputimer = MakeTimer(this, "cputimer", 1000, false);

  finuse = MakeCheckBox(this, "finuse", "Ignore file-in-use check", 8);
  checkbox4 = MakeCheckBox(this, "checkbox4", "Default audio selection:", 32);
  checkbox5 = MakeCheckBox(this, "checkbox5", "Default subtitle selection:", 56);
  checkbox8 = MakeCheckBox(this, "checkbox8", "Always use subtitles when available", 80);

  // ---- Display elements, lists and the run-button panel ----
  SetBounds(0, 0, 1400, 720);
  tempgrid = MakeHidden<TXcStringGrid>(this, "tempgrid");
  playlist = MakeHidden<TXcPlaylist>(this, "playlist");
  Edit1 = MakeShown<TXcEdit>(this, this, "Edit1", TRect{8, 392, 608, 414});
  Edit1->SetAlignment(taCenter);
  Edit1->SetVisible(false);
  log = MakeShown<TskSkinMemo>(this, this, "log", TRect{8, 420, 608, 520});
  log->SetVisible(false);
  status = MakeShown<TskSkinStdLabel>(this, this, "status", TRect{8, 526, 608, 544});
  progressbar1 = MakeShown<TskSkinGauge>(this, this, "progressbar1", TRect{8, 548, 408, 568});
  progressbar1->SetMinValue(0);
  progressbar1->SetMaxValue(100);
  progressbar1->SetValue(0);
  spaceleft = MakeShown<TskSkinStatusPanel>(this, this, "spaceleft", TRect{416, 548, 608, 568});
  devicelist = MakeShown<TskSkinListBox>(this, this, "devicelist", TRect{8, 574, 300, 710});
  skSkinListBox1 = MakeShown<TskSkinListBox>(this, this, "skSkinListBox1", TRect{308, 574, 608, 710});
  skSkinListBox1->SetVisible(false);
  skSkinListBox1->SetSorted(true);
  devicelist->SetSorted(true);
  devicelist->SetColumns(3);
  cbuttons = MakeShown<TXcPanel>(this, this, "cbuttons", TRect{620, 8, 860, 96});
  const char* const RunNames[] = {"b1", "b2", "b3", "b4"};
  const char* const RunCaptions[] = {"Go", "Skip", "Stop", "Status"};
  TskSkinButton** RunButtons[] = {&b1, &b2, &b3, &b4};
  for (int I = 0; I < 4; ++I) {
    *RunButtons[I] = MakeShown<TskSkinButton>(cbuttons, this, RunNames[I], TRect{4 + I * 58, 4, 58 + I * 58, 40});
    (*RunButtons[I])->SetCaption(RunCaptions[I]);
  }
  skip2 = MakeShown<TskSkinSpeedButton>(cbuttons, this, "skip2", TRect{4, 46, 58, 82});
  skip2->SetCaption("Skip");
  skip2->SetVisible(false);
  cbuttons->SetVisible(false);
  history = MakeShown<TskSkinPanel>(this, this, "history", TRect{620, 104, 860, 300});
  history->SetVisible(false);
  skiplist->SetParent(history);
  skiplist->SetBounds(4, 4, 232, 188);
  skiplist->SetVisible(true);
  skTrayIcon1 = new TskTrayIcon(this);
  skTrayIcon1->SetName("skTrayIcon1");

  // ---- The options the settings store keeps ----
  TOptionPlace At;
  Panel6 = MakeShown<TskSkinPanel>(this, this, "Panel6", At.Next(30));
  Panel6->SetVisible(false);
  TOptionPlace InPanel = TOptionPlace::InPanel(4);
  profilebox = MakeCombo(Panel6, this, InPanel, "profilebox", {});
  prioritybox1 = MakeCombo(this, this, At, "prioritybox1",
                           {"Conversion Priority : LOW", "Conversion Priority : NORMAL", "Conversion Priority : HIGH",
                            "Conversion Priority : VERY HIGH"});
  prioritybox1->SetItemIndex(1);
  radiobutton1 = MakeOptionBox(this, At, "radiobutton1", "No cropping", 1);
  radiobutton3 = MakeOptionBox(this, At, "radiobutton3", "Remove black bars from device", 1);
  radiobutton2 = MakeOptionBox(this, At, "radiobutton2", "Remove black bars from file", 1);
  radiobutton4x = MakeOptionBox(this, At, "radiobutton4x", "Fullscreen Stretch", 1);
  radiobutton12 = MakeOptionBox(this, At, "radiobutton12", "Add black bars to fit resolution", 1);
  askscan = MakeOptionBox(this, At, "askscan", "Ask for DVD track selection.");
  const std::vector<String> Languages = LanguageComboItems();
  combobox4 = MakeCombo(this, this, At, "combobox4", Languages);
  combobox5 = MakeCombo(this, this, At, "combobox5", Languages);
  combobox6 = MakeCombo(this, this, At, "combobox6", Languages);
  combobox7 = MakeCombo(this, this, At, "combobox7", Languages);
  for (TOptionComboBox* C : {combobox4, combobox5, combobox6, combobox7}) C->SetItemIndex(24);
  checkbox7 = MakeOptionBox(this, At, "checkbox7", "Only use subtitles when primary audio not available", 2);
  checkbox8->SetRadio(true);
  checkbox8->SetGroupIndex(2);
  radiobutton6 = MakeOptionBox(this, At, "radiobutton6", "Do not enable subtitles automatically", 2);
  radiobutton6->SetChecked(true);
  episodes = MakeOptionBox(this, At, "episodes", "Automatic Movie  / Episode recognition");
  checkbox1 = MakeOptionBox(this, At, "checkbox1", "Shutdown computer when done");
  selfexit = MakeOptionBox(this, At, "selfexit", "Shutdown Quelvo when done");
  checkbox2 = MakeOptionBox(this, At, "checkbox2", "Convert automatically");
  checkbox9 = MakeOptionBox(this, At, "checkbox9", "Scan for DVD's on startup");
  checkbox10 = MakeOptionBox(this, At, "checkbox10", "Monitor DVD's on insert");
  checkbox11 = MakeOptionBox(this, At, "checkbox11", "Eject DVD when done");
  for (TskSkinCheckRadioBox* B : {checkbox9, checkbox10, checkbox11}) B->SetChecked(true);
  checkbox12 = MakeOptionBox(this, At, "checkbox12", "Remember added folders");
  checkbox13 = MakeOptionBox(this, At, "checkbox13", "Skip previously  converted files");
  videofolder = MakeOptionBox(this, At, "videofolder", "(VIDEO) Use source folder as output folder");
  skSkinCheckRadioBox4x = MakeOptionBox(this, At, "skSkinCheckRadioBox4x", "Convert only ");
  limit = MakeSpin(this, At, "limit", 1, 30, 1, 1);
  corecount = MakeSpin(this, At, "corecount", 1, 32, 1, 1);
  skSkinLabel2 = MakeShown<TskSkinLabel>(this, this, "skSkinLabel2", At.Next());
  skSkinLabel3 = MakeShown<TskSkinLabel>(this, this, "skSkinLabel3", At.Next());
  fpstext = MakeCombo(this, this, At, "fpstext",
                      {"14.98", "15000/1001", "23.98", "24000/1001", "29.97", "30000/1001", "47.95", "48000/1001",
                       "59.94", "60000/1001"});
  fpstext->SetItemIndex(9);
  skSkinCheckRadioBox4 = MakeOptionBox(this, At, "skSkinCheckRadioBox4", "Open video folder when done");
  mencoder2 = MakeOptionBox(this, At, "mencoder2", "Enable Hastekit");
  for (TskSkinCheckRadioBox* B : {skSkinCheckRadioBox4, mencoder2}) B->SetChecked(true);
  mplayer2 = MakeOptionBox(this, At, "mplayer2", "Enable Vista/7 Preview fix");
  detect2 = MakeOptionBox(this, At, "detect2", "Enable for detection as well");
  skSkinCheckRadioBox5 = MakeOptionBox(this, At, "skSkinCheckRadioBox5", "Start minimized");
  skSkinCheckRadioBox6 = MakeOptionBox(this, At, "skSkinCheckRadioBox6", "Minimize to tray");
  skSkinCheckRadioBox7 = MakeOptionBox(this, At, "skSkinCheckRadioBox7", "Rightclick > Send to Quelvo");
  skSkinCheckRadioBox8 = MakeOptionBox(this, At, "skSkinCheckRadioBox8", "Run on Windows startup");
  dvdnav = MakeOptionBox(this, At, "dvdnav", "Nicer subtitles");
  cc = MakeOptionBox(this, At, "cc", "Enable Closed Caption (if available)");
  vobmark = MakeOptionBox(this, At, "vobmark", "DVD as VOBs");
  radiobutton4 = MakeOptionBox(this, At, "radiobutton4", "Convert per device", 3);
  RadioButton5 = MakeOptionBox(this, At, "RadioButton5", "Convert per selection", 3);
  radiobutton4->SetChecked(true);
  skSkinCheckRadioBox12 = MakeOptionBox(this, At, "skSkinCheckRadioBox12", "Save state on close");
  skSkinCheckRadioBox13 = MakeOptionBox(this, At, "skSkinCheckRadioBox13", "Load state on startup");
  savestatus = MakeOptionBox(this, At, "savestatus", "Save conversion status on close");
  monitorvalue = MakeSpin(this, At, "monitorvalue", 1, 1440, 5, 100);
  monitorvalue->OnChange = [this](TObject* Sender) { monitorvalueChange(Sender); };
  skSkinSpinEdit5 = MakeSpin(this, At, "skSkinSpinEdit5", 2, 36000, 1, 600);
  skSkinSpinEdit5->OnChange = [this](TObject* Sender) { skSkinSpinEdit5Change(Sender); };
  deint = MakeOptionBox(this, At, "deint", "Deinterlace");
  skSkinCheckRadioBox14 = MakeOptionBox(this, At, "skSkinCheckRadioBox14", "SRT subtitle font scale:");
  skSkinCheckRadioBox14->SetVisible(false);
  skSkinCheckRadioBox14->OnClick = [this](TObject* Sender) { skSkinCheckRadioBox14Click(Sender); };
  skSkinSpinEdit6 = MakeSpin(this, At, "skSkinSpinEdit6", 1, 100, 1, 20);
  skSkinSpinEdit6->SetVisible(false);
  skSkinSpinEdit6->OnChange = [this](TObject* Sender) { skSkinSpinEdit6Change(Sender); };

  MakeDevicePanel();
  profilebox->OnChange = [this](TObject* Sender) { profileboxChange(Sender); };

  SpecialFolderInfo = new TWrennSpecialFolderInfo(this);
  SpecialFolderInfo->SetName("SpecialFolderInfo");

  XcCreateProcess1 = new TXcCreateProcess(this);
  XcCreateProcess1->SetName("XcCreateProcess1");
  XcCreateProcess1->SetConsoleOptions({coRedirect, coOwnerData});

  if (!Form1) {
    Form1 = this;
    SetFreeSpacePanelProc([this](const String& Text) { spaceleft->SetCaption(Text); });
  }
  SetEjectDiscProc(EjectDisc);
}

void TForm1::MakeDevicePanel()
{
  TOptionPlace At;
  At.Left = 1120;
  At.Top = 8;
  p1 = MakeShown<TskSkinPanel>(this, this, "p1", TRect{0, 0, 0, 0});
  g1 = MakeShown<TskSkinPanel>(this, this, "g1", TRect{0, 0, 0, 0});
  g2 = MakeShown<TskSkinPanel>(this, this, "g2", TRect{0, 0, 0, 0});
  skSkinSpeedButton8 = MakeShown<TskSkinSpeedButton>(this, this, "skSkinSpeedButton8", At.Next(24));
  skSkinSpeedButton8->SetCaption("Global settings");
  skSkinSpeedButton10 = MakeShown<TskSkinSpeedButton>(this, this, "skSkinSpeedButton10", At.Next(24));
  skSkinSpeedButton10->SetCaption("Save profile");

  brand = MakeCombo(this, this, At, "brand", {});
  brand->SetSorted(true);
  model = MakeCombo(this, this, At, "model", {});
  model->SetSorted(true);
  tcpmp = MakeShown<TskSkinSpeedButton>(this, this, "tcpmp", At.Next(24));
  tcpmp->SetVisible(false);
  screensize = MakeCombo(this, this, At, "screensize", {});
  AddFormScreenSizes(screensize->GetItems());
  screensize->SetItemIndex(1);  // " 160 x  120"
  vq = MakeSpin(this, At, "vq", 100, 9999, 10, 500);
  aq = MakeSpin(this, At, "aq", 32, 256, 32, 128);
  codec = MakeCombo(this, this, At, "codec", {});
  frps = MakeShown<TXcTrackBar>(this, this, "frps", At.Next(28));
  frps->SetMin(1);
  frps->SetMax(30);
  frps->SetPosition(30);
  skSkinStdLabel16 = MakeShown<TskSkinStdLabel>(this, this, "skSkinStdLabel16", At.Next());
  skSkinStdLabel16->SetCaption("30");
  XcTrackBar1 = MakeShown<TXcTrackBar>(this, this, "XcTrackBar1", At.Next(28));
  XcTrackBar1->SetMin(0);
  XcTrackBar1->SetMax(30);
  XcTrackBar1->SetPosition(5);
  XcTrackBar1->SetHint("Volume increase on the resulting files");
  XcTrackBar1->SetShowHint(true);
  skSkinStdLabel13 = MakeShown<TskSkinStdLabel>(this, this, "skSkinStdLabel13", At.Next());
  skSkinStdLabel13->SetCaption("5");
  ac = MakeCombo(this, this, At, "ac", {"Mono", "Stereo"});
  ac->SetItemIndex(1);
  pass = MakeCombo(this, this, At, "pass", {"1 Pass", "2 Passes"});
  pass->SetItemIndex(0);
  skSkinCheckRadioBox9 = MakeOptionBox(this, At, "skSkinCheckRadioBox9", "Screenrating:");
  skSkinCheckRadioBox9->SetVisible(false);
  rating = MakeSpin(this, At, "rating", 10, 9999900, 1, 1228800);
  rating->SetVisible(false);
  xcedit2 = MakeShown<TskSkinLinkLabel>(this, this, "xcedit2", At.Next());
  SpeedButton4 = MakeShown<TskSkinSpeedButton>(this, this, "SpeedButton4", At.Next(24));
  SpeedButton4->SetCaption("Browse");
  skSkinSpeedButton25 = MakeShown<TskSkinSpeedButton>(this, this, "skSkinSpeedButton25", At.Next(24));
  skSkinSpeedButton25->SetCaption("Edit");
  skSkinSpeedButton25->SetVisible(false);
  SpeedButton5 = MakeShown<TskSkinSpeedButton>(this, this, "SpeedButton5", At.Next(24));
  SpeedButton5->SetCaption("Add device");
  skSkinCheckRadioBox10 = MakeOptionBox(this, At, "skSkinCheckRadioBox10", "Allow upscaling");

  Panel11 = MakeShown<TskSkinPanel>(this, this, "Panel11", At.Next(84));
  Panel11->SetVisible(false);
  TOptionPlace InPanel = TOptionPlace::InPanel(2);
  multidevicebox = MakeCombo(Panel11, this, InPanel, "multidevicebox", {});
  skSkinSpeedButton5 = MakeShown<TskSkinSpeedButton>(Panel11, this, "skSkinSpeedButton5", InPanel.Next(24));
  skSkinSpeedButton5->SetCaption("Del. device");
  skSkinSpeedButton18 = MakeShown<TskSkinSpeedButton>(Panel11, this, "skSkinSpeedButton18", InPanel.Next(24));
  skSkinSpeedButton18->SetCaption("Clear All");
  spskinlabel1 = MakeShown<TskSkinStatusPanel>(this, this, "spskinlabel1", TRect{8, 712, 300, 730});

  // The events, wired as the form wires them.
  auto On = [this](void (TForm1::*Handler)(TObject*)) {
    return [this, Handler](TObject* Sender) { (this->*Handler)(Sender); };
  };
  dq->OnClick = On(&TForm1::dqClick);
  brand->OnChange = On(&TForm1::brandChange);
  model->OnChange = On(&TForm1::modelChange);
  codec->OnChange = On(&TForm1::codecChange);
  screensize->OnChange = On(&TForm1::screensizeChange);
  vq->OnChange = On(&TForm1::vqChange);
  aq->OnChange = On(&TForm1::aqChange);
  ac->OnChange = On(&TForm1::acChange);
  frps->OnChange = On(&TForm1::frpsChange);
  XcTrackBar1->OnChange = On(&TForm1::XcTrackBar1Change);
  pass->OnChange = On(&TForm1::passChange);
  skSkinCheckRadioBox9->OnClick = On(&TForm1::skSkinCheckRadioBox9Click);
  rating->OnChange = On(&TForm1::ratingChange);
  skSkinCheckRadioBox10->OnClick = On(&TForm1::skSkinCheckRadioBox10Click);
  SpeedButton4->OnClick = On(&TForm1::SpeedButton4Click);
  skSkinSpeedButton25->OnClick = On(&TForm1::skSkinSpeedButton25Click);
  SpeedButton5->OnClick = On(&TForm1::SpeedButton5Click);
  skSkinSpeedButton5->OnClick = On(&TForm1::skSkinSpeedButton5Click);
  skSkinSpeedButton18->OnClick = On(&TForm1::skSkinSpeedButton18Click);
  multidevicebox->OnChange = On(&TForm1::multideviceboxChange);
  skSkinSpeedButton10->OnClick = On(&TForm1::skSkinSpeedButton10Click);
}

TForm1::~TForm1()
{
  if (Form1 == this) {
    Form1 = nullptr;
    SetFreeSpacePanelProc(nullptr);
  }
}

void TForm1::monitorvalueChange(TObject*)
{
  MonitorTimer->SetInterval(static_cast<Cardinal>(std::lround(monitorvalue->GetValue())) * 60000u);
}

void TForm1::skSkinSpinEdit5Change(TObject*) { MinTitleSeconds = static_cast<int>(std::lround(skSkinSpinEdit5->GetValue())); }

void TForm1::skSkinSpinEdit6Change(TObject*) { skSkinCheckRadioBox14->SetChecked(true); }

void TForm1::skSkinCheckRadioBox14Click(TObject*)
{
  TStrings* Lines = mencoder_conf->GetItems();
  // Only the option itself goes: a line whose key is exactly the scale's (not a comment or
  // another option that mentions it).
  for (int I = Lines->GetCount() - 1; I >= 0; --I) {
    const String Line = Lines->Get(I);
    const size_t Eq = Line.find('=');
    if (Eq != String::npos && Trim(Line.substr(0, Eq)) == "subfont-text-scale") Lines->Delete(I);
  }
  if (skSkinCheckRadioBox14->GetChecked())
    Lines->Add("subfont-text-scale=" + IntToStr(static_cast<int>(std::lround(skSkinSpinEdit6->GetValue()))));
  WriteMencoderConf();
}

void TForm1::DisplaySpecialFolders()
{
  FillSpecialFolderLists(SpecialFolderInfo, shlfld1->GetItems(), shlfld2->GetItems(), shlfld3->GetItems());
}

TForm3::TForm3(TComponent* AOwner) : TForm(AOwner)
{
  SetName("Form3");
  SetBounds(0, 0, 620, 300);
  database = MakeVisibleTable(this, "database", HistoryColCount, 8);
  track = MakeShown<TskSkinListBox>(this, this, "track", TRect{8, 136, 608, 290});
  if (!Form3) Form3 = this;
}

TForm3::~TForm3()
{
  if (Form3 == this) Form3 = nullptr;
}
