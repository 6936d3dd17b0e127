#include "app/MainWindow.h"

#include <cstdio>
#include <cmath>

#include "app/FormSkin.h"
#include "skin/controls/SkinGauge.h"
#include "app/ProgramOpenDialog.h"
#include "platform/os/DiscWatch.h"
#include "platform/os/Drives.h"
#include "app/SelectFolderDialog.h"
#include "app/OptionPages.h"
#include "app/QueueEditPanel.h"
#include "app/TobrinCpuUsage.h"
#include "app/XcAppInstances.h"
#include "app/XcDragDrop.h"
#include "core/CropDetect.h"
#include "core/DetectionWatchdog.h"
#include "core/DeviceNumbers.h"
#include "core/DeviceQueue.h"
#include "core/DeviceTables.h"
#include "core/GridFiles.h"
#include "core/History.h"
#include "core/OptionControls.h"
#include "core/PreviewFrames.h"
#include "core/RunControl.h"
#include "core/qv_cmdline.h"
#include "core/qv_detect.h"
#include "core/qv_functions.h"
#include "core/qv_scan.h"
#include "core/qv_settings.h"
#include "platform/os/Folders.h"
#include "platform/os/Shell.h"
#include "platform/os/ShellSpawn.h"
#include "platform/os/ToolLinks.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/vcl/Dialogs.h"

namespace {

std::vector<String>& CommandLineArgs()
{
  static std::vector<String> Args;
  return Args;
}

std::function<void(const String&)>& RestartProc()
{
  static std::function<void(const String&)> Proc;
  return Proc;
}

const char* const ExtensionFiles[3] = {"supported_vid.txt", "supported_iso.txt", "supported_wmv.txt"};

// A file start-up could not read goes aside under the first free ".damaged" name, so that nothing
// the program writes later replaces its bytes.
String KeepAside(const String& File)
{
  String Target = File + ".damaged";
  for (int N = 1; FileExists(Target); ++N) Target = File + ".damaged" + IntToStr(N);
  if (!RenameFile(File, Target)) return String();
  return Target;
}

// "+" behind the first "Quelvo 3" of S.
String AddOnMark(const String& S) { return ReplaceFirst(S, "Quelvo 3", "Quelvo 3+"); }

}  // namespace

void TMainWindow::SetCommandLine(std::vector<String> Args)
{
  TSxAppInstances::SetArguments(Args);  // what a second start hands to the first
  CommandLineArgs() = std::move(Args);
}

void SetRestartProc(std::function<void(const String& Executable)> Proc) { RestartProc() = std::move(Proc); }

void RestartApplication()
{
  const String Exe = Application->GetExeName();
  if (RestartProc())
    RestartProc()(Exe);
  else
    qvshell::SpawnDetached({Exe}, String());
  Application->Terminate();
}

bool AskQuelvo(const String& Text) { return MessageDlg(Text, mtCustom, mbYes | mbNo, 0) == mrYes; }

TMainWindow::TMainWindow(TComponent* AOwner) : TForm1(AOwner)
{
  MakeGuardAndDrop();
  MakeWindowControls();
  LayOut();
  WireHosts();
  MakeEditingAndOptions();
  OnShow = [this](TObject* Sender) { FormShow(Sender); };
  OnClose = [this](TObject* Sender, TCloseAction& Action) { FormClose(Sender, Action); };
  FormCreate(this);
}

TMainWindow::~TMainWindow()
{
  SetSettingsMessageProc(nullptr);
  DetectionHost() = TDetectionHost();
  ScanHost() = TScanHost();
  DeviceQueueHost() = TDeviceQueueHost();
  RunHooks = TRunHooks();
}

// While the window loads: the guard (a second start hands its arguments over and ends here)
// and the drop component, whose target is this window.
void TMainWindow::MakeGuardAndDrop()
{
  try {
    XcAppInstances1 = new TXcAppInstances(this);
    XcAppInstances1->SetName("XcAppInstances1");
    XcAppInstances1->OnCmdLineReceived = [this](TObject* Sender, TStrings* CmdLine) {
      XcAppInstances1CmdLineReceived(Sender, CmdLine);
    };
    XcAppInstances1->BeginLoad();
    XcAppInstances1->EndLoad();
  } catch (const Exception& E) {
    // Without the shared list this copy runs on its own; the start says so.
    FGuardFailure = "Other starts of Quelvo 3 cannot reach this one: " + E.Message();
  }
  XcDragDrop1 = new TXcDragDrop(this);
  XcDragDrop1->SetName("XcDragDrop1");
  XcDragDrop1->OnDrop = [this](TObject* Sender, const TPoint& Position, TStrings* Paths) {
    XcDragDrop1Drop(Sender, Position, Paths);
  };
  XcDragDrop1->BeginLoad();
  XcDragDrop1->SetDropTarget(this);
  XcDragDrop1->SetAcceptDrag(true);
  XcDragDrop1->EndLoad();
}

void TMainWindow::XcAppInstances1CmdLineReceived(TObject*, TStrings* CmdLine)
{
  for (int I = 0; I < CmdLine->GetCount(); ++I) ListBox1->GetItems()->Add(CmdLine->Get(I));
  ScanTimer->SetEnabled(true);
}

void TMainWindow::XcDragDrop1Drop(TObject*, const TPoint&, TStrings* Paths)
{
  std::vector<String> Names;
  for (int I = 0; I < Paths->GetCount(); ++I) Names.push_back(Paths->Get(I));
  DropFiles(Names);
}

// One gauge per processor, right-aligned on the status bar, then the "CPU:" panel left of them.
void TMainWindow::MakeCpuGauges()
{
  int Count = 1;
  try {
    Count = ProcessorCount();
  } catch (const Exception& E) {
    // No counters: no gauges, and the start goes on.
    Note("The processor load cannot be shown: " + E.Message());
  }
  for (int I = 0; I < Count - 1; ++I) {
    auto* Gauge = new TskSkinGauge(skSkinStatusBar2);
    Gauge->SetName("cpu_" + IntToStr(I));
    Gauge->SetTag(I);
    Gauge->SetParent(skSkinStatusBar2);
    Gauge->SetAlign(alRight);
    Gauge->SetWidth(50);
    Gauge->SetSkinData(ProgramSkinData());
    Gauge->SetShowPercent(true);
  }
  cputimer->SetOnTimer([this](TObject* Sender) { cputimerTimer(Sender); });
  cputimer->SetEnabled(true);
  corecount->SetValue(Count > 2 ? Count - 1 : 1);  // the spin edit's minimum is 1
  skSkinStatusPanel1->SetAlign(alRight);
}

void TMainWindow::cputimerTimer(TObject*)
{
  SampleProcessorCounters();
  const int Count = ProcessorCount();
  for (int I = 0; I <= Count - 2; ++I) updateCPU(I, static_cast<int>(std::nearbyint(ProcessorLoad(I) * 100.0)));
}

void TMainWindow::updateCPU(int Index, int Percent)
{
  const String Name = "cpu_" + IntToStr(Index);
  for (int I = 0; I < skSkinStatusBar2->GetComponentCount(); ++I) {
    TComponent* C = skSkinStatusBar2->GetComponent(I);
    if (C->GetName() == Name)
      if (auto* Gauge = dynamic_cast<TskSkinGauge*>(C)) Gauge->SetValue(Percent);
  }
}

void TMainWindow::Note(const String& Text)
{
  FStartNotes.push_back(Text);
  status->SetCaption(Text);
  log->GetLines()->Add(Text);
  std::fprintf(stderr, "Quelvo 3: %s\n", Text.c_str());
}

void TMainWindow::WireHosts()
{
  TXcCreateProcess* Runner = XcCreateProcess1;
  Runner->GetStartupInfo()->ShowWindow = swHide;
  Runner->GetStartupInfo()->DefaultWindowState = false;
  Runner->SetConsoleOptions({coOwnerData, coRedirect});

  RunHooks = TRunHooks();
  InstallRunControl();
  RunHooks.ShowStatus = [this](const String& Text) { status->SetCaption(Text); };
  RunHooks.ShowAppTitle = [this](const String& Title) {
    Application->SetTitle(Title);
    skTrayIcon1->SetHint(Title);
  };
  RunHooks.ShowButtons = [this](bool Go, bool Skip, bool Stop) {
    cbuttons->SetVisible(true);
    b1->SetVisible(Go);
    b2->SetVisible(Skip);
    b3->SetVisible(Stop);
  };
  RunHooks.MessageBox = [](const String& Text) { ShowMessage(Text); };
  RunHooks.ShellOpen = [](const String& File, const String& Verb) {
    ShellExecuteA(Application->GetHandle(), Verb.c_str(), File.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
  };
  RunHooks.AddToHistory = [](int Row) { Add2FileList(Row); };
  RunHooks.MakeOutputThumbnail = [](int Row) { MakeOutputThumbnail(Row); };
  RunHooks.AutoDetectCrop = [](int Row) { AutoDetectCrop(Row); };
  RunHooks.IdentifyLine = [](const String& Line) { ParseToolOutputLine(Line); };
  RunHooks.ScanTimerTick = [] { ScanTimerTimer(); };
  RunHooks.EndApplication = [this] { Close(); };
  RunHooks.PowerOff = [] { ShutdownWindows("poweroff"); };

  FWatchdog = std::make_unique<TTimerDetectionWatchdog>(detecttimer1, Runner,
                                                        [](const String& Line) { AppendLog(Line); });
  TDetectionHost& D = DetectionHost();
  D = TDetectionHost();
  D.Runner = Runner;
  D.Watchdog = FWatchdog.get();
  D.ShowStatus = [](const String& Text) { SetStatus(Text); };
  D.ShowCaption = [this](const String& Text) { SetCaption(Text); };
  D.ShowCommandLine = [this](const String& Text) { Edit1->SetText(Text); };

  TScanHost& S = ScanHost();
  S = TScanHost();
  S.DestinationFolder = [this] { return xcedit2->GetCaption(); };
  if (!FFolderDialog) FFolderDialog = std::make_unique<TSkinnedFolderDialog>();
  S.FolderDialog = FFolderDialog.get();
  S.ShowHistoryPanel = [this](bool Visible) { history->SetVisible(Visible); };
  S.Go = [this] { b1->OnClick(b1); };
  S.ScanPanels = [this](bool Scanning) {
    Panel18->SetVisible(!Scanning);
    if (Scanning) {
      blank1->BringToFront();
    } else {
      g1->BringToFront();
      addstuff->BringToFront();
      cbuttons->SetVisible(true);
      b1->SetVisible(true);
    }
  };
  S.BringToFront = [this](bool Force) {
    if (Force)
      ForceForegroundWindow(GetHandle());
    else
      BringToFront();
  };
  S.Sleep = [](Cardinal Ms) { Sleep(Ms); };
  if (!FFilesDialog)
    FFilesDialog = std::make_unique<TProgramOpenDialog>();
  S.FilesDialog = FFilesDialog.get();
  // The drive combo box, repainted, then walked item by item, reading Drive after each step.
  // When the drives changed since it was built (a disc or stick came or went) it is rebuilt.
  S.DriveLetters = [this] {
    TskSkinDriveComboBox* combo = skSkinshellDriveComboBox1;
    combo->HandleNeeded();
    const DWORD mask = GetLogicalDrives();
    if (mask != FDriveMask) {
      FDriveMask = mask;
      SendMessage(combo->GetHandle(), WM_DEVICECHANGE, DBT_DEVICEARRIVAL, 0);
    }
    combo->Refresh();
    combo->Update();
    std::vector<char> letters;
    for (int i = 0; i < combo->GetItems()->GetCount(); ++i) {
      combo->SetItemIndex(i);
      const char d = combo->GetDrive();
      if (d)
        letters.push_back(static_cast<char>(d >= 'a' && d <= 'z' ? d - 32 : d));
    }
    return letters;
  };

  TDeviceQueueHost& Q = DeviceQueueHost();
  Q = TDeviceQueueHost();
  Q.ShowMainPage = [this] {
    skSkinSpeedButton8->SetCaption("Global settings");
    Panel13->SetVisible(false);
    p1->SetVisible(true);
    p1->BringToFront();
  };
  Q.ShowSourceQueue = [this] { g1->BringToFront(); };
  Q.ShowJobList = [this] { g2->BringToFront(); };
  Q.AskYes = [](const String& Text) { return AskQuelvo(Text); };
  Q.Report = [](const String& Text) {
    SetStatus(Text);
    AppendLog(Text);
  };

  ScanTimer->SetOnTimer([](TObject*) { ScanTimerTimer(); });
  MonitorTimer->SetOnTimer([](TObject*) { MonitorTimerTimer(); });
  b1->OnClick = [](TObject*) {
    ApplyOptionControls();
    GoClick();
  };
  b2->OnClick = [](TObject*) { SkipClick(); };
  b3->OnClick = [](TObject*) { StopClick(); };
  b4->OnClick = [this](TObject*) { g2->BringToFront(); };
  skip2->OnClick = [](TObject*) { Skip2Click(); };
  status->OnClick = [this](TObject*) { g2->BringToFront(); };
  prioritybox1->OnChange = [](TObject*) { PriorityChange(); };
  savestatus->OnClick = [this](TObject* Sender) {
    // Reading the settings ticks the box: the saved job list must stay for the restore.
    if (!SettingsLoadRunning() && savestatus->GetChecked()) SavestatusClick(Sender);
  };
  skSkinSpeedButton1->OnClick = [](TObject*) { AddFilesClick(); };
  skSkinSpeedButton2->OnClick = [](TObject*) { AddFolderClick(); };
  skSkinSpeedButton6->OnClick = [](TObject*) { bscanClick(); };
  skSkinSpeedButton13->OnClick = [](TObject*) { AddAllSkippedClick(); };
  skSkinSpeedButton17->OnClick = [](TObject*) { AddSelectedSkippedClick(); };
  skSkinSpeedButton8->OnClick = [this](TObject* Sender) { skSkinSpeedButton8Click(Sender); };
  skSkinSpeedButton11->OnClick = [this](TObject* Sender) { skSkinSpeedButton11Click(Sender); };
  skSkinSpeedButton14->OnClick = [this](TObject* Sender) { skSkinSpeedButton14Click(Sender); };
  speedbutton2->OnClick = [](TObject*) {
    if (Form3) Form3->Show();
  };
  // "Browse": one file of any kind becomes the command to run before or after a conversion.
  auto browseCommand = [this](TskSkinLabel* Label) {
    TProgramOpenDialog* dialog = FFilesDialog.get();
    String file;
    if (!dialog->ExecuteSingle("All Files|*.*", "Select File(s)", "Filename", MyDocumentsFolder(), file)) return;
    Label->SetCaption(file);
    ApplyOptionControls();
  };
  skSkinSpeedButton20->OnClick = [this, browseCommand](TObject*) { browseCommand(skSkinLabel2); };
  skSkinSpeedButton22->OnClick = [this, browseCommand](TObject*) { browseCommand(skSkinLabel3); };
  skSkinSpeedButton23->OnClick = [this](TObject*) {
    skSkinLabel2->SetCaption("");
    ApplyOptionControls();
  };
  skSkinSpeedButton24->OnClick = [this](TObject*) {
    skSkinLabel3->SetCaption("");
    ApplyOptionControls();
  };
  LinkOptionControls();
  SetSettingsMessageProc([this](const String& Text) { Note(Text); });
}

void TMainWindow::MakeEditingAndOptions()
{
  QueueEdit = std::make_unique<TQueueEditPanel>(
      this, p1, TRect{0, addstuff->GetTop(), p1->GetWidth(), addstuff->GetTop() + addstuff->GetHeight()});
  Options = std::make_unique<TOptionPages>(this, QueueEdit.get());
  MainMenu1 = Options->MainMenu1;
  TQueueEditPanel* Q = QueueEdit.get();
  DeviceQueueHost().SetFilesize = [Q] { Q->SetFilesize(); };
  // After a scan the size column and the panel follow the queue.
  ScanHost().ScanPanels = [Q, Panels = ScanHost().ScanPanels](bool Scanning) {
    if (Panels) Panels(Scanning);
    if (!Scanning) {
      Q->SetFilesize();
      Q->StringGridClick(nullptr);
    }
  };
  OnResize = [Q](TObject* Sender) { Q->FormResize(Sender); };
  Q->grids();
  Q->FormResize(this);
  SkinForm(this);
  LinkOptionControls();
}

template <class TGrid>
void TMainWindow::LoadSaved(TGrid* Grid, const String& File, bool Stream)
{
  const TGridLoadResult R = Stream ? LoadGridStream(Grid, File) : LoadGridText(Grid, File);
  if (R.Status != glDamaged) return;
  const String Aside = KeepAside(File);
  Note(R.Message + (Aside.empty() ? String() : " It was kept as \"" + Aside + "\"."));
}

void TMainWindow::CheckTools()
{
  for (const auto& [Name, Tool] : {std::pair<const char*, const char*>{"mplayer.exe", "mplayer"},
                                   {"mencoder.exe", "mencoder"},
                                   {"ffmpeg.exe", "ffmpeg"}})
    // The encoder names link to the tool adapter, which runs the system's tools: the tool itself
    // must be on PATH as well.
    if (!qv::os::IsExecutableFile(WorkFolder + Name) ||
        qv::os::FindProgramOnSystemPath(Tool).empty())
      Note(String(Tool) + " is not installed: jobs that need it fail until it is (Debian package \"" + Tool +
           "\").");
}

void TMainWindow::FormCreate(TObject*)
{
  // 1-2
  WindowTitle = "Quelvo 3";
  BuildTag = "Build 3.83.1";
  ProgramFolder = ExtractFilePath(Application->GetExeName());
  GoBusy = false;
  xcedit2->SetCaption("");
  // 3: the CPU gauges and the processor count; the monitor interval follows.
  MakeCpuGauges();
  monitorvalueChange(this);
  if (!FGuardFailure.empty()) Note(FGuardFailure);
  // 4-6
  DisplaySpecialFolders();
  radiobutton2->SetChecked(true);
  log->SetVisible(false);
  SetDoubleBuffered(true);
  NoDeviceSubfolder = SettingsSaveDisabled = Converting = false;
  // 7
  Panel13->SetVisible(false);
  p1->BringToFront();
  blank1->BringToFront();
  blank2->BringToFront();
  b1->SetVisible(false);
  b2->SetVisible(false);
  b3->SetVisible(false);
  b4->SetVisible(false);  // shown when a saved job list comes back
  // 8-10
  monitorvalue->SetValue(static_cast<double>(MonitorTimer->GetInterval() / 60000));
  monitorvalueChange(this);
  TivoMak.clear();
  SetPosition(poScreenCenter);
  playlist->Clear();
  // 11-14
  VersionCaption = WindowTitle + " " + BuildTag;
  timerstatusx->SetCaption(BuildTag);
  skSkinStdLabel54->SetCaption(WindowTitle + " " + BuildTag);
  ToolRunning = PlaybackMode = BatchRunning = Converting = false;
  MinTitleSeconds = 600;
  // 15-16: the work folder. Without it nothing can be kept: the start ends here.
  WorkFolder = AppDataFolder() + "Quelvo3/";
  CreateDir(WorkFolder);
  for (const char* Sub : {"codecs", "mplayer", "profiles", "temp"}) CreateDir(WorkFolder + Sub);
  for (const char* Sub : {"", "codecs", "mplayer", "profiles", "temp"})
    if (!DirectoryExists(WorkFolder + Sub)) {
      FStartFailed = true;
      FStartFailure = "The work folder \"" + WorkFolder + Sub +
                      "\" could not be made. Quelvo 3 keeps its tools, settings and queues there; "
                      "make its parent folder writable and start again.";
      return;
    }
  XcCreateProcess1->SetCurrentDirectory(WorkFolder);
  // 17-18
  TListBox* Lists[3] = {subVid, subISO, subWMV};
  for (int I = 0; I < 3; ++I)
    if (FileExists(WorkFolder + ExtensionFiles[I])) {
      try {
        Lists[I]->GetItems()->LoadFromFile(WorkFolder + ExtensionFiles[I]);
      } catch (const Exception& E) {
        Note("The extension list \"" + WorkFolder + ExtensionFiles[I] + "\" could not be read: " + E.Message());
      }
    }
  String Video, Image;
  for (int I = 0; I < subVid->GetItems()->GetCount(); ++I) Video += "*." + subVid->GetItems()->Get(I) + ";";
  for (int I = 0; I < subISO->GetItems()->GetCount(); ++I) Image += "*." + subISO->GetItems()->Get(I) + ";";
  OpenDialogFilter =
      "Supported Files|" + Video + Image + "|Video Files|" + Video + "|ISO Files|" + Image + "|All Files|*.*";
  // 19-20: the tools in the work folder, then the add-on builds.
  if (!FileInUse(WorkFolder + "mplayer.exe") && !FileInUse(WorkFolder + "mencoder.exe")) ExtractPlay(WorkFolder);
  CheckTools();
  const struct {
    const char* Source;
    const char* Target;
    bool* Flag;
  } AddOns[] = {{"mencoder.exe", "mencoder2.exe", &HastekitPresent},
                {"mplayer.exe", "mplayer2.exe", &PreviewFixPresent},
                {"ffmpeg.exe", "ffmpeg2.exe", &FfmpegAddonPresent},
                {"wvc1dmod.dll", "codecs/wvc1dmod.dll", nullptr},
                {"drv43260.dll", "codecs/drv43260.dll", nullptr},
                {"pncrt.dll", "codecs/pncrt.dll", nullptr}};
  for (const auto& A : AddOns) {
    if (A.Flag) *A.Flag = FileExists(ProgramFolder + A.Source);
    if (FileExists(ProgramFolder + A.Source) && !FileExists(WorkFolder + A.Target))
      CopyToolExecutable(ProgramFolder + A.Source, WorkFolder + A.Target);
  }
  // 21-23
  skTrayIcon1->SetHint(WindowTitle);
  Application->SetTitle(WindowTitle);
  WindowTitle = "Brannick | " + WindowTitle;
  SetCaption(WindowTitle);
  LoadCodecTable();
  ProgramFolder = ExtractFilePath(Application->GetExeName());
  // 24, 26: the destination folder.
  String Destination = IncludeTrailingPathDelimiter(MyVideosFolder());
  xcedit2->SetCaption(Destination);
  CreateDir(Destination);
  xcedit2->SetURL(Destination);
  dq->SetCells(12, 1, Destination);
  // 27-29
  LoadProfileList();
  addstuff->BringToFront();
  std::vector<String> Args;
  for (const String& A : CommandLineArgs())
    if (!Trim(A).empty()) Args.push_back(A);  // blank arguments are no inputs; the others stay untrimmed
  if (!CommandLineArgs().empty()) {
    AddCommandLineInputs(Args);
    status->SetCaption(IntToStr(ListBox1->GetItems()->GetCount()) + " items added");
  }
  modelChange(this);
  // 30-31
  LoadSettings();
  LoadSubtitleScale();
  if (FileExists(WorkFolder + "laststatus.state")) {
    LoadSaved(convertgrid, WorkFolder + "laststatus.state", true);
    if (FileExists(WorkFolder + "laststatus.state")) b4->SetVisible(true);
  }
  // 32-34
  Destination = IncludeTrailingPathDelimiter(xcedit2->GetCaption());
  xcedit2->SetCaption(Destination);
  xcedit2->SetURL(Destination);
  ShowDriveFreeSpace(Destination);
  if (HastekitPresent && mencoder2->GetChecked()) {
    SetCaption(AddOnMark(GetCaption()));
    WindowTitle = AddOnMark(WindowTitle);
    VersionCaption = AddOnMark(VersionCaption);
  }
  if (FfmpegAddonPresent) VersionCaption = AddOnMark(VersionCaption);
  corelabel->SetVisible(HastekitPresent && mencoder2->GetChecked());
  corecount->SetVisible(HastekitPresent && mencoder2->GetChecked());
  // 35-37
  if (skSkinCheckRadioBox13->GetChecked()) Loadstate1Click(this);
  if (!profilebox->GetText().empty()) profileboxChange(this);
  if (skSkinCheckRadioBox5->GetChecked()) SetWindowState(wsMinimized);
  if (skSkinCheckRadioBox6->GetChecked()) skTrayIcon1->MinimizeToTray = true;
  // 38-40
  BatchRunning = false;
  ShowDriveFreeSpace(xcedit2->GetCaption());
  DragAcceptFiles(GetHandle(), TRUE);
  UiSync = true;
  ApplyOptionControls();
}

void TMainWindow::FormShow(TObject*)
{
  SetLeft(0);
  SetTop(0);
}

void TMainWindow::FormClose(TObject*, TCloseAction&) { ExitApp(); }

void TMainWindow::ExitApp()
{
  if (FExited) return;
  FExited = true;
  StopRequested = true;
  KillAllTools();
  if (skSkinCheckRadioBox12->GetChecked()) Savestate1Click(this);
  if (savestatus->GetChecked()) SavestatusClick(this);
  SaveSettings();
  TListBox* Lists[3] = {subVid, subISO, subWMV};
  for (int I = 0; I < 3; ++I) {
    try {
      Lists[I]->GetItems()->SaveToFile(WorkFolder + ExtensionFiles[I]);
    } catch (const Exception& E) {
      std::fprintf(stderr, "Quelvo 3: %s\n", E.Message().c_str());
    }
  }
  HistorySave();
  GoBusy = false;
  Application->Terminate();
}

void TMainWindow::Exit2Click(TObject*)
{
  StopRequested = true;
  KillAllTools();
  WaitForTool();
  Close();
}

void TMainWindow::Savestate1Click(TObject*)
{
  String Why;
  if (!StringGrid1->GetCells(0, 1).empty() && !SaveGridStream(StringGrid1, WorkFolder + "laststate_queue.state", &Why))
    Note("The source queue was not saved: " + Why);
  if (!SaveGridText(dq, WorkFolder + "laststate_devices.state", &Why)) Note("The device queue was not saved: " + Why);
}

void TMainWindow::SavestatusClick(TObject*)
{
  for (int R = 0; R < convertgrid->GetRowCount(); ++R)
    for (int C = 0; C < convertgrid->GetColCount(); ++C)
      if (convertgrid->GetColWidths(C) == 0) convertgrid->SetCells(C, R, "");
  String Why;
  if (!SaveGridStream(convertgrid, WorkFolder + "laststatus.state", &Why)) Note("The job list was not saved: " + Why);
}

void TMainWindow::Loadstate1Click(TObject*)
{
  const String Devices = WorkFolder + "laststate_devices.state";
  if (FileExists(Devices)) {
    LoadSaved(dq, Devices, false);
    const String Faults = DeviceNumberFaults(dq);
    if (!Faults.empty()) Note("The kept device queue holds settings that are not numbers; the jobs of these devices will fail:\n" + Faults);
    RebuildMultiDeviceList();
    dq->SetRow(1);
    dqClick(this);
  }
  const String Queue = WorkFolder + "laststate_queue.state";
  if (!FileExists(Queue)) return;
  LoadSaved(StringGrid1, Queue, true);
  BatchRunning = false;
  g1->BringToFront();
  b1->SetVisible(true);
  cbuttons->SetVisible(true);
  if (DeviceQueueHost().SetFilesize) DeviceQueueHost().SetFilesize();
  SetCaption(WindowTitle);
  status->SetCaption("");
  UiSync = true;
  if (StringGrid1->GetRowCount() > 1) StringGrid1->SetRow(1);
  if (QueueEdit) QueueEdit->StringGridClick(nullptr);
  Panel18->SetVisible(true);
}

void TMainWindow::skSkinSpeedButton11Click(TObject*)
{
  if (!AskQuelvo("Are you sure you want to reset Quelvo to default settings?")) return;
  SettingsSaveDisabled = true;
  DeleteFile(WorkFolder + "settings.txt");
  DeleteFile(WorkFolder + "profiles/lastprofile.prf");
  DeleteShortcut(CSIDL_SENDTO, "Quelvo 3");
  DeleteShortcut(CSIDL_STARTUP, "Quelvo 3");
  RestartApplication();
}

void TMainWindow::skSkinSpeedButton14Click(TObject*)
{
  if (AskQuelvo("Are you sure you want to start over?")) RestartApplication();
}

void TMainWindow::skSkinSpeedButton8Click(TObject*)
{
  const bool ShowSettings = !Panel13->GetVisible();
  Panel13->SetVisible(ShowSettings);
  p1->SetVisible(!ShowSettings);
  skSkinSpeedButton8->SetCaption(ShowSettings ? "Hide settings" : "Global settings");
  if (ShowSettings) Panel13->BringToFront();
}
