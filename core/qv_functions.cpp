#include "core/qv_functions.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <limits>
#include <thread>

#include "core/SkinnedQuestions.h"
#include "core/GridFiles.h"
#include "core/MainForm.h"
#include "core/SourceRecognition.h"
#include "core/ToolProcesses.h"
#include "platform/os/Drives.h"
#include "platform/os/Eject.h"
#include "platform/os/FileUse.h"
#include "platform/os/Http.h"
#include "platform/os/PathRules.h"
#include "platform/os/Power.h"
#include "platform/os/Registry.h"
#include "platform/os/Shell.h"
#include "platform/os/ShellFolders.h"
#include "platform/os/Shortcuts.h"
#include "platform/os/Volumes.h"
#include "platform/rtl/Files.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/Streams.h"
#include "platform/rtl/Thread.h"
#include "platform/vcl/Dialogs.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/TrackBarCtrl.h"

TTrackBar* PreviewSeekBar = nullptr;

namespace {

// Replaces the first occurrence of What in S by With.
void ReplaceFirst(String& S, const String& What, const String& With)
{
  const auto P = S.find(What);
  if (P != String::npos) S.replace(P, What.size(), With);
}

// Rounds halves to even, as the class library's Round does; out-of-range values are clamped.
Int64 RoundEven(double Value)
{
  if (std::isnan(Value)) return 0;
  const double R = std::nearbyint(Value);
  if (R >= 9.2e18) return std::numeric_limits<Int64>::max();
  if (R <= -9.2e18) return std::numeric_limits<Int64>::min();
  return static_cast<Int64>(R);
}

}  // namespace

// ---- Numbers and text ----

bool IsFloat(const String& S)
{
  double Value = 0;
  return TryStrToFloat(S, Value);
}

double StrToFloatSafe(const String& S)
{
  if (S.empty()) return 0;
  DecimalSeparator = '.';
  if (S.size() >= 12) return 0;
  String T = S;
  ReplaceFirst(T, ",", ".");
  double Value = 0;
  if (!TryStrToFloat(T, Value) || !std::isfinite(Value)) return 0;
  return Value;
}

String ZeroPad(int Value, int Digits)
{
  const bool Negative = Value < 0;
  String Text = std::to_string(Negative ? -static_cast<Int64>(Value) : static_cast<Int64>(Value));
  if (Digits > 0 && static_cast<int>(Text.size()) < Digits && Digits <= 1024)
    Text.insert(0, static_cast<size_t>(Digits) - Text.size(), '0');
  return Negative ? "-" + Text : Text;
}

String SecondsToHMS(double Seconds)
{
  const Int64 S = RoundEven(Seconds);
  return Format("%1.1d:%2.2d:%2.2d", S / 3600, (S % 3600) / 60, S % 60);
}

String HmsToSeconds(const String& Text)
{
  String S = Text;
  // Hours: up to and including the first colon, cut from the text.
  String Hours = S.substr(0, S.find(':') == String::npos ? 0 : S.find(':') + 1);
  if (!Hours.empty()) S.erase(S.find(Hours), Hours.size());
  S = Trim(S);
  String Minutes = S.substr(0, S.find(':') == String::npos ? 0 : S.find(':') + 1);
  if (!Minutes.empty()) S.erase(S.find(Minutes), Minutes.size());
  S = Trim(S);
  String Secs = S;
  ReplaceFirst(Secs, ",", ".");
  const auto Point = Secs.find('.');
  Secs = Point == String::npos ? String() : Secs.substr(0, Point + 1);
  auto Number = [](String Part, Int64& Value) {
    String Digits;
    for (char C : Part)
      if (C != ':' && C != '.') Digits += C;
    int V = 0;
    if (!TryStrToInt(Trim(Digits), V)) return false;
    Value = V;
    return true;
  };
  Int64 H = 0, M = 0, Sec = 0;
  if (!Number(Hours, H) || !Number(Minutes, M) || !Number(Secs, Sec)) return String();
  return IntToStr(H * 3600 + M * 60 + Sec);
}

String EstimateSizeMB(int VideoKbps, int AudioKbps, int Seconds)
{
  // Computed in 64 bits: a long source at a high rate must not wrap to a negative size.
  const Int64 Product = (static_cast<Int64>(VideoKbps) + AudioKbps) * Seconds;
  return Format("%3.2f", static_cast<double>(Product) / 8000.0) + " MB";
}

int ParsePlaybackPosition(const String& Line)
{
  const String L = " " + Line;
  // First value: the text after "A:" (and "V:") up to its first blank.
  String Copy1 = L;
  ReplaceFirst(Copy1, "A:", " ");
  Copy1 = Trim(Copy1);
  ReplaceFirst(Copy1, "V:", " ");
  Copy1 = Trim(Copy1);
  const auto Blank = Copy1.find(' ');
  const String First = Blank == String::npos ? String() : Trim(Copy1.substr(0, Blank + 1));
  // Second value: the text after the first "V:", up to its first point and one more character.
  const auto V = L.find("V:");
  String T = V == String::npos ? Line : L.substr(V + 2);
  T = Trim(T);
  ReplaceFirst(T, "A:", " ");
  T = Trim(T);
  ReplaceFirst(T, "V:", " ");
  T = Trim(T);
  const auto Point = T.find('.');
  const String Second = Trim(Point == String::npos ? T.substr(0, 1) : T.substr(0, Point + 2));
  auto Value = [](const String& S) -> Int64 {
    if (S.empty() || !IsFloat(S)) return 0;
    return RoundEven(StrToFloatSafe(S));
  };
  Int64 Result = std::max(Value(First), Value(Second));
  if (Result > std::numeric_limits<int>::max()) Result = std::numeric_limits<int>::max();
  if (Result < std::numeric_limits<int>::min()) Result = std::numeric_limits<int>::min();
  if (!SeekDragging && PreviewSeekBar) PreviewSeekBar->SetPosition(static_cast<int>(Result));
  return static_cast<int>(Result);
}

// ---- Folders and files ----

String AppDataFolder()
{
  char Buffer[MAX_PATH] = {};
  String Folder;
  // A fresh account may have no data folder yet: it is made, rather than putting the work folder
  // beside the executable, where a user can seldom write.
  if (SHGetSpecialFolderPathA(nullptr, Buffer, CSIDL_APPDATA, TRUE))
    Folder = Buffer;
  else
    Folder = ExtractFilePath(Application->GetExeName());
  return IncludeTrailingPathDelimiter(Folder);
}

String SpecialFolderFromLists(TStrings* Paths, TStrings* Names, TStrings* Ids, const String& DisplayName,
                              const String& IdName)
{
  String Result;
  const int Count = std::min({Paths->GetCount(), Names->GetCount(), Ids->GetCount()});
  for (int I = 0; I < Count; ++I) {
    const String Name = Names->Get(I);
    if ((Name == DisplayName || Name == "Printers") && Result.empty()) Result = Paths->Get(I);
    if (Ids->Get(I) == IdName) Result = Paths->Get(I);
  }
  return Result;
}

String MyDocumentsFolder()
{
  if (!Form1) return String();
  return SpecialFolderFromLists(Form1->shlfld1->GetItems(), Form1->shlfld2->GetItems(), Form1->shlfld3->GetItems(),
                                "My Documents", "CSIDL_PERSONAL");
}

String MyVideosFolder()
{
  if (!Form1) return String();
  return SpecialFolderFromLists(Form1->shlfld1->GetItems(), Form1->shlfld2->GetItems(), Form1->shlfld3->GetItems(),
                                "My Videos", "CSIDL_MYVIDEO");
}

bool FolderExists(const String& Path) { return DirectoryExists(Path); }

bool DriveReady(char Letter)
{
  const UINT Previous = SetErrorMode(SEM_FAILCRITICALERRORS);
  const char L = UpCase(Letter);
  bool Ready = false;
  if (L >= 'A' && L <= 'Z') Ready = DiskSize(static_cast<Byte>(L - 'A' + 1)) != -1;
  SetErrorMode(Previous);
  return Ready;
}

bool FileInUse(const String& Path) { return FileExists(Path) && FileUsedByOtherProcess(Path); }

namespace {

// One listing per folder gives both its matching files and its subfolders, in name order.
void SearchTree(const String& Folder, const String& Mask, TStrings* List, int Depth,
                const std::function<void(const String&)>& Unreadable)
{
  std::vector<String> Subfolders;
  TSearchRec F;
  // A listable folder always shows "." and "..": nothing found means it cannot be read.
  if (FindFirst(Folder + "*", faDirectory | faHidden | faSysFile | faReadOnly | faArchive, F) == 0) {
    do {
      if (!(F.Attr & faDirectory)) {
        if (MatchesFindPattern(F.Name, Mask)) List->Add(Folder + F.Name);
      } else if (!(F.Attr & faSymLink) && F.Name != "." && F.Name != "..") {
        Subfolders.push_back(Folder + F.Name + "/");
      }
    } while (FindNext(F) == 0);
    FindClose(F);
  } else if (Unreadable && Depth <= 256) {
    Unreadable(Folder);
  }
  if (Depth > 256) return;
  for (const String& Sub : Subfolders) SearchTree(Sub, Mask, List, Depth + 1, Unreadable);
}

}  // namespace

void FindFilesRecursive(const String& Folder, const String& Mask, TStrings* List)
{
  List->Clear();
  if (Folder.empty()) return;
  SearchTree(IncludeTrailingPathDelimiter(Folder), Mask, List, 0, nullptr);
}

void FindFilesRecursive(const String& Folder, const String& Mask, TStrings* List,
                        const std::function<void(const String& Folder)>& Unreadable)
{
  List->Clear();
  if (Folder.empty()) return;
  SearchTree(IncludeTrailingPathDelimiter(Folder), Mask, List, 0, Unreadable);
}

void CopyToolExecutable(const String& Source, const String& Target)
{
  for (const char* Name : {"mencoder.exe", "mencoder2.exe"}) {
    const Integer Pid = FindProcessIdByExeName(Name);
    if (Pid != -1) CloseOrKillProcess(static_cast<DWORD>(Pid), 50);
  }
  WaitForTool();
  DeleteFile(Target);
  CopyFile(Source, Target, false);
}

bool WriteMencoderConf()
{
  if (!Form1) return false;
  String Text;
  TStrings* Lines = Form1->mencoder_conf->GetItems();
  for (int I = 0; I < Lines->GetCount(); ++I) Text += Lines->Get(I) + "\r\n";
  const String Name = WorkFolder + "mplayer/mencoder.conf";
  const auto Tell = [](const String& Message) {
    Form1->status->SetCaption(Message);
    Form1->log->GetLines()->Add(Message);
  };
  // A file that is there but cannot be read is never written over; one that holds these very
  // lines already is left as it is.
  String Old, Why;
  bool Missing = false, Unreadable = false;
  if (ReadGridFileBytes(Name, Old, Missing, Why, &Unreadable)) {
    if (Old == Text) return true;
  } else if (Unreadable) {
    Tell("\"" + Name + "\" was not written: it cannot be read (" + Why + ").");
    return false;
  }
  try {
    AtomicSaveToFile(Name, Text.data(), Text.size());
  } catch (const Exception& E) {
    Tell("\"" + Name + "\" could not be written: " + E.Message());
    return false;
  }
  return true;
}

bool DriveFreeSpaceText(const String& Path, String& Text)
{
  char Letter = DriveOf(Path);
  if (!Letter) {
    String Rest;
    if (!SplitDriveLetterPath(Path, Letter, Rest)) return false;
  }
  Letter = UpCase(Letter);
  if (Letter < 'A' || Letter > 'Z') return false;
  const Int64 Free = DiskFree(static_cast<Byte>(Letter - 'A' + 1));
  if (Free == -1) {
    Text = String(1, Letter) + " Drive not present";
    return true;
  }
  const double MiB = std::nearbyint(static_cast<double>(Free) / 1024.0 / 1024.0);
  Text = "Drive " + String(1, Letter) + ": " + FloatToStrF(MiB, ffNumber, 20, 0) + " MB Available";
  return true;
}

namespace {
std::function<void(const String&)>& FreeSpacePanel()
{
  static std::function<void(const String&)> Proc;
  return Proc;
}
}  // namespace

void SetFreeSpacePanelProc(std::function<void(const String& Text)> Proc) { FreeSpacePanel() = std::move(Proc); }

void ShowDriveFreeSpace(const String& Path)
{
  String Text;
  if (DriveFreeSpaceText(Path, Text) && FreeSpacePanel()) FreeSpacePanel()(Text);
}

// ---- Shortcuts, system and web ----

const char* const SendToMimeTypes =
    "video/mpeg;video/mp4;video/x-msvideo;video/avi;video/x-matroska;video/quicktime;video/x-ms-wmv;"
    "video/x-ms-asf;video/x-flv;video/webm;video/ogg;video/3gpp;video/dv;video/mp2t;video/vnd.rn-realvideo;"
    "application/x-cd-image;application/x-iso9660-image;inode/directory;";

String ShortcutFileName(int Csidl, const String& Name)
{
  const String Folder = SpecialFolderPath(Csidl, false);
  String Mapped;
  if (SpecialFolderMapping(Csidl, Mapped) != sfFolder) return String();
  return ShellLinkFileName(IncludeTrailingPathDelimiter(Mapped) + Name + ".lnk");
}

void CreateShortcut(int Csidl, const String& Name)
{
  if (SpecialFolderPath(Csidl, true).empty()) return;
  const String FileName = ShortcutFileName(Csidl, Name);
  if (FileName.empty()) return;
  const String Exe = Application->GetExeName();
  TShellLink Link;
  Link.SetPath(Exe.c_str());
  Link.SetWorkingDirectory(ExtractFileDir(Exe).c_str());
  // Send To is the file manager's "Open with": the entry takes the chosen files and folders.
  if (Csidl == CSIDL_SENDTO) Link.SetOpenWith(SendToMimeTypes);
  Link.Save(FileName, TRUE);
}

void DeleteShortcut(int Csidl, const String& Name)
{
  const String FileName = ShortcutFileName(Csidl, Name);
  if (!FileName.empty()) DeleteShellLink(FileName);
}

String ResolveShortcut(const String& Path)
{
  if (UpperCase(ExtractFileExt(Path)) != ".LNK") return "NOT a shortuct by extension!";
  TShellLink Link;
  if (FAILED(Link.Load(Path, 0))) return String();
  char Buffer[MAX_PATH] = {};
  if (FAILED(Link.GetPath(Buffer, MAX_PATH, nullptr, SLGP_UNCPRIORITY))) return String();
  return Buffer;
}

void ShutdownWindows(const String& Mode)
{
  UINT Flags;
  if (Mode == "reboot")
    Flags = EWX_REBOOT | EWX_FORCE;
  else if (Mode == "poweroff")
    Flags = EWX_POWEROFF | EWX_FORCE;
  else
    return;
  HANDLE Token = nullptr;
  LUID Luid;
  if (OpenProcessToken(nullptr, TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &Token) &&
      LookupPrivilegeValueA(nullptr, SE_SHUTDOWN_NAME, &Luid)) {
    TOKEN_PRIVILEGES Privileges;
    Privileges.PrivilegeCount = 1;
    Privileges.Privileges[0].Luid = Luid;
    Privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    AdjustTokenPrivileges(Token, FALSE, &Privileges, 0, nullptr, nullptr);
  }
  ExitWindowsEx(Flags, 0);
}

void EjectDisc(const String& DrivePath)
{
  MCI_OPEN_PARMSA Open;
  Open.lpstrDeviceType = "CDAudio";
  Open.lpstrElementName = DrivePath.c_str();
  if (mciSendCommandA(0, MCI_OPEN, MCI_OPEN_TYPE | MCI_OPEN_ELEMENT, reinterpret_cast<DWORD_PTR>(&Open)) != 0) {
    // No drive to open: no removal will ever be reported, so a waiting eject must not wait.
    EjectDone = true;
    return;
  }
  MCI_SET_PARMS Set;
  if (mciSendCommandA(Open.wDeviceID, MCI_SET, MCI_SET_DOOR_OPEN, reinterpret_cast<DWORD_PTR>(&Set)) != 0)
    EjectDone = true;
  MCI_GENERIC_PARMS Close;
  mciSendCommandA(Open.wDeviceID, MCI_CLOSE, 0, reinterpret_cast<DWORD_PTR>(&Close));
}

bool ForceForegroundWindow(HWND Window)
{
  if (IsIconic(Window)) ShowWindow(Window, SW_RESTORE);
  if (GetForegroundWindow() == Window) return true;
  BringWindowToTop(Window);
  SetForegroundWindow(Window);
  return GetForegroundWindow() == Window;
}

bool WindowsMediaEncoderInstalled()
{
  try {
    HKEY Key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, "SOFTWARE\\Microsoft\\Windows Media\\Encoder", 0, KEY_READ, &Key) !=
        ERROR_SUCCESS)
      return false;
    DWORD Size = 0;
    const bool Found = RegQueryValueExA(Key, "Version", nullptr, nullptr, nullptr, &Size) == ERROR_SUCCESS;
    RegCloseKey(Key);
    return Found;
  } catch (...) {
    return false;
  }
}

void OpenUrlInBrowser(const String& Url)
{
  String Command;
  try {
    HKEY Key = nullptr;
    if (RegOpenKeyExA(HKEY_CLASSES_ROOT, "\\htmlfile\\shell\\open\\command", 0, KEY_READ, &Key) == ERROR_SUCCESS) {
      char Buffer[1024] = {};
      DWORD Size = sizeof(Buffer) - 1;
      DWORD Type = 0;
      if (RegQueryValueExA(Key, nullptr, nullptr, &Type, reinterpret_cast<BYTE*>(Buffer), &Size) == ERROR_SUCCESS)
        Command = Buffer;
      RegCloseKey(Key);
    }
  } catch (...) {
    Command.clear();
  }
  if (Command.empty()) {
    // No browser registered (the rule here, where no registry exists): the desktop's opener
    // shows the address or the help file by what it is.
    ShellExecuteA(nullptr, "open", Url.c_str(), nullptr, nullptr, SW_SHOW);
    return;
  }
  const auto Q1 = Command.find('"');
  const auto Q2 = Q1 == String::npos ? String::npos : Command.find('"', Q1 + 1);
  const String Program = Q2 == String::npos ? String() : Command.substr(Q1 + 1, Q2 - Q1 - 1);
  if (Program.empty()) return;
  // The registered browser is a command the user set up: it starts directly.
  std::vector<String> Configured = GetShellConfiguredPrograms();
  if (std::find(Configured.begin(), Configured.end(), Program) == Configured.end()) {
    Configured.push_back(Program);
    SetShellConfiguredPrograms(Configured);
  }
  ShellExecuteA(nullptr, "open", Program.c_str(), Url.c_str(), nullptr, SW_SHOW);
}

// ---- Update check ----

namespace {

TUpdateSite& Site()
{
  static TUpdateSite S;
  return S;
}

TUpdateAskProc& AskProc()
{
  static TUpdateAskProc Proc;
  return Proc;
}

std::atomic<bool>& CheckRunning()
{
  static std::atomic<bool> Running{false};
  return Running;
}

void SetMainCaption(const String& Text)
{
  if (Form1) Form1->SetCaption(Text);
}

int Ask(const String& Caption, const String& Text, bool YesNo)
{
  if (AskProc()) return AskProc()(Caption, Text, YesNo);
  return AskSkinned(Caption, Text, YesNo);
}

void HandleUpdateFailure() { SetMainCaption("Can not make a connection with " + Site().Name); }

}  // namespace

void SetUpdateSite(const TUpdateSite& NewSite) { Site() = NewSite; }
const TUpdateSite& GetUpdateSite() { return Site(); }
void SetUpdateAskProc(TUpdateAskProc Proc) { AskProc() = std::move(Proc); }
bool UpdateCheckRunning() { return CheckRunning(); }

void HandleUpdateText(const String& Body)
{
  try {
    SetMainCaption("Connection successfull");
    String Whole = Body;
    String NewVersion;
    if (Form1) {
      Form1->v->GetLines()->SetText(Body);
      Whole = Form1->v->GetLines()->GetText();
      if (Form1->v->GetLines()->GetCount() > 0) NewVersion = Form1->v->GetLines()->Get(0);
    } else {
      TStringList Lines;
      Lines.SetText(Body);
      Whole = Lines.GetText();
      if (Lines.GetCount() > 0) NewVersion = Lines.Get(0);
    }
    const String Download = Site().Address + "/" + NewVersion + "/qv3retail.zip";
    if (BuildTag == NewVersion) {
      Ask("Quelvo 3", "You are using the latest version of Quelvo 3\r\r" + Whole, false);
    } else if (Ask("Version " + NewVersion + " availiable",
                   "Current: " + BuildTag + "\r\rNew: " + Whole + "\r\rDownload?\r", true) == mrYes) {
      ShellExecuteA(Form1 ? Form1->GetHandle() : nullptr, "open", Download.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
      Application->Terminate();
    }
    SetMainCaption(WindowTitle);
  } catch (const Exception&) {
    HandleUpdateFailure();
  }
}

void CheckForUpdate()
{
  if (CheckRunning().exchange(true)) return;
  SetMainCaption("Connecting to " + Site().Name);
  THttpOptions Options;
  Options.ReadTimeout = Site().ReadTimeoutMs;
  Options.ConnectTimeout = Site().ConnectTimeoutMs;
  Options.MaxBodySize = 64 * 1024;  // a version file is a few lines
  const String Url = Site().Address + "/qv3v.txt";
  std::thread([Url, Options] {
    String Body;
    bool Ok = true;
    try {
      Body = HttpGetText(Url, Options);
    } catch (...) {
      Ok = false;
    }
    TThread::Queue(nullptr, [Ok, Body] {
      CheckRunning() = false;
      if (Ok)
        HandleUpdateText(Body);
      else
        HandleUpdateFailure();
    });
  }).detach();
}

// ---- Lists and grids ----

void AddToSkipList(TStrings* SkipList, const String& Path)
{
  if (NotInList(Path, SkipList) && NotInList(CleanTitle(Path), SkipList)) SkipList->Add(Path);
}

void AddToSkipList(TStrings* SkipList, std::unordered_set<String>& Seen, const String& Path)
{
  if (Seen.empty())
    for (int I = 0; I < SkipList->GetCount(); ++I) Seen.insert(SkipList->Get(I));
  if (Seen.count(Path) || Seen.count(CleanTitle(Path))) return;
  SkipList->Add(Path);
  Seen.insert(Path);
}

void AddToSkipList(const String& Path)
{
  if (Form1) AddToSkipList(Form1->skiplist->GetItems(), Path);
}
