#include "core/MainForm.h"

#include "core/qv_functions.h"

#include <tuple>

TForm1* Form1 = nullptr;
TForm3* Form3 = nullptr;

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

  status = new TLabel(this);
  status->SetName("status");
  status->SetCaption("");
  status->SetBounds(8, 392, 600, 20);
  status->SetParent(this);
  cbuttons = new TPanel(this);
  cbuttons->SetName("cbuttons");
  cbuttons->SetCaption("");
  cbuttons->SetBounds(620, 330, 240, 32);
  cbuttons->SetParent(this);
  cbuttons->SetVisible(false);
  int ButtonLeft = 0;
  for (auto [Button, Name, Caption] : {std::tuple{&b1, "b1", "Go"}, std::tuple{&b2, "b2", "Skip"},
                                       std::tuple{&b3, "b3", "Stop"}, std::tuple{&b4, "b4", "Status"}}) {
    *Button = new TskSkinButton(this);
    (*Button)->SetName(Name);
    (*Button)->SetCaption(Caption);
    (*Button)->SetBounds(ButtonLeft, 4, 56, 24);
    (*Button)->SetParent(cbuttons);
    ButtonLeft += 60;
  }
  mencoder2 = MakeCheckBox(this, "mencoder2", "Enable Hastekit", 104);
  radiobutton1 = MakeCheckBox(this, "radiobutton1", "No cropping", 128);
  radiobutton3 = MakeCheckBox(this, "radiobutton3", "Remove black bars from device", 152);
  for (TskSkinCheckRadioBox* R : {radiobutton1, radiobutton3}) {
    R->SetRadio(true);
    R->SetGroupIndex(1);
  }
  screensize = new TComboBox(this);
  screensize->SetName("screensize");
  screensize->SetBounds(620, 180, 120, 24);
  screensize->SetParent(this);

  SpecialFolderInfo = new TWrennSpecialFolderInfo(this);
  SpecialFolderInfo->SetName("SpecialFolderInfo");

  XcCreateProcess1 = new TXcCreateProcess(this);
  XcCreateProcess1->SetName("XcCreateProcess1");
  XcCreateProcess1->SetConsoleOptions({coRedirect, coOwnerData});
  Edit1 = MakeHidden<TEdit>(this, "Edit1");
  log = MakeHidden<TMemo>(this, "log");
  log->SetWordWrap(false);
  progressbar1 = new TskSkinGauge(this);
  progressbar1->SetName("progressbar1");
  progressbar1->SetBounds(8, 392, 600, 20);
  progressbar1->SetParent(this);
  progressbar1->SetValue(0);
  playlist = MakeHidden<TXcPlaylist>(this, "playlist");

  if (!Form1) Form1 = this;
  SetEjectDiscProc(EjectDisc);
}

TForm1::~TForm1()
{
  if (Form1 == this) Form1 = nullptr;
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
  track = new TskSkinListBox(this);
  track->SetName("track");
  track->SetBounds(8, 136, 600, 120);
  track->SetParent(this);
  if (!Form3) Form3 = this;
}

TForm3::~TForm3()
{
  if (Form3 == this) Form3 = nullptr;
}
