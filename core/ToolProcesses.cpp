#include "core/ToolProcesses.h"

#include <algorithm>
#include <cstring>

#include "core/MainForm.h"
#include "core/SxSysUtils.h"
#include "platform/os/Eject.h"
#include "platform/os/Process.h"
#include "platform/os/ProcessLookup.h"
#include "platform/os/SystemInfo.h"
#include "platform/os/Wait.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"

bool ToolRunning = false;
bool PickerOpen = false;
bool EjectDone = false;

namespace {

constexpr int SM_SERVERR2_INDEX = 89;
constexpr DWORD NameBufferSize = 260;

TSystemInfoState& State()
{
  static TSystemInfoState S;
  return S;
}

bool& Loaded()
{
  static bool Done = false;
  return Done;
}

void EnsureLoaded()
{
  if (!Loaded()) LoadSystemInfoAtStartup();
}

void ReadNativeSystemInfo(SYSTEM_INFO& Info)
{
  using TGetNativeSystemInfo = void(LPSYSTEM_INFO);
  static TGetNativeSystemInfo* NativeInfo = nullptr;
  try {
    BindProcAddress(NativeInfo, "kernel32.dll", "GetNativeSystemInfo");
  } catch (const ESxError&) {
    NativeInfo = nullptr;
  }
  if (NativeInfo)
    NativeInfo(&Info);
  else
    GetSystemInfo(&Info);
}

void ProcessMessagesNow();

// The default eject routine: the tray's request, with our messages handled while it runs.
void EjectWithMessages(const String& DrivePath)
{
  SetEjectWaitPump([] { ProcessMessagesNow(); });
  const bool ok = EjectMedia(DrivePath);
  SetEjectWaitPump(nullptr);
  if (!ok) EjectDone = true;
}

std::function<void(const String&)>& EjectDiscProc()
{
  static std::function<void(const String&)> Proc = EjectWithMessages;
  return Proc;
}

// The first process of the list's own search (whole string, case ignored), or -1.
Integer FindInList(TStrings* List, const String& Name)
{
  const int Index = List->IndexOf(Name);
  if (Index < 0) return -1;
  return static_cast<Integer>(reinterpret_cast<std::intptr_t>(List->GetObject(Index)));
}

// Closes the system's crash-report dialogs. Each lookup walks the whole process table, so it is
// made only where the system has such a dialog at all.
void RemoveCrashReporters(bool PauseAfterDwwin)
{
  if (qv::os::SystemHasCrashDialog("werfault.exe")) {
    const Integer Id = FindProcessIdByExeName("werfault.exe");
    if (Id != -1) CloseOrKillProcess(static_cast<DWORD>(Id), 50);
  }
  if (qv::os::SystemHasCrashDialog("dwwin.exe")) {
    const Integer Id = FindProcessIdByExeName("dwwin.exe");
    if (Id != -1) {
      CloseOrKillProcess(static_cast<DWORD>(Id), 50);
      if (PauseAfterDwwin) Sleep(100);
    }
  }
}

void ProcessMessagesNow()
{
  if (Application) Application->ProcessMessages();
}

// The pause that ends a round of the waits: up to Ms milliseconds, cut short by anything that
// arrives for the GUI thread (a runner's end report, a posted message, input, a due timer), so
// that a wait returns as soon as its flag is cleared.
void PauseUntilMessage(DWORD Ms)
{
  // Without the application nobody takes the messages out of the queue: waiting for them
  // would return at once, round after round.
  if (!Application) {
    Sleep(Ms);
    return;
  }
  MsgWaitForMultipleObjects(0, nullptr, FALSE, Ms, QS_ALLINPUT);
}

// One round of the tool and picker waits. The crash-dialog checks run once per 100 ms, however
// often messages cut the pause short.
void WaitRound(const bool& Flag, bool PauseAfterDwwin, Int64& LastCheck)
{
  constexpr Int64 RoundMs = 100;
  if (LastCheck < 0 || GetTickCount64() - LastCheck >= RoundMs) {
    RemoveCrashReporters(PauseAfterDwwin);
    LastCheck = GetTickCount64();
  }
  ProcessMessagesNow();
  if (!Flag) return;
  const Int64 Left = RoundMs - (GetTickCount64() - LastCheck);
  PauseUntilMessage(static_cast<DWORD>(std::clamp<Int64>(Left, 0, RoundMs)));
}

}  // namespace

const TSystemInfoState& SystemInfoState()
{
  EnsureLoaded();
  return State();
}

TWindowsVersion DetectWindowsVersion()
{
  OSVERSIONINFOA Info;
  Info.dwOSVersionInfoSize = sizeof(OSVERSIONINFOA);
  if (!GetVersionExA(&Info)) return wvUnknown;
  const String ServicePack = Trim(String(Info.szCSDVersion));
  const DWORD Major = Info.dwMajorVersion;
  const DWORD Minor = Info.dwMinorVersion;

  if (Info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) {
    const Cardinal Kernel = State().KernelVersionHi;
    if (Minor < 10) return (ServicePack == "B" || ServicePack == "C") ? wvWin95OSR2 : wvWin95;
    if (Minor == 90) return wvWinME;
    if (Minor < 90) {
      if (Kernel == 0x4005A) return wvWinME;
      return (ServicePack == "A" || ServicePack == "B") ? wvWin98SE : wvWin98;
    }
    return wvUnknown;
  }
  if (Info.dwPlatformId != VER_PLATFORM_WIN32_NT) return wvUnknown;

  OSVERSIONINFOEXA Ex;
  Ex.dwOSVersionInfoSize = 156;
  const bool HaveEx = GetVersionExA(&Ex) != FALSE;
  const bool Workstation = HaveEx && Ex.wProductType == VER_NT_WORKSTATION;
  switch (Major) {
    case 3:
      if (Minor == 1) return wvWinNT31;
      if (Minor == 5) return wvWinNT35;
      if (Minor == 51) return wvWinNT351;
      return wvUnknown;
    case 4: return wvWinNT4;
    case 5:
      if (Minor == 0) return wvWin2000;
      if (Minor == 1) return wvWinXP;
      if (Minor == 2) {
        if (GetSystemMetrics(SM_SERVERR2_INDEX) != 0) return wvWin2003R2;
        SYSTEM_INFO Native{};
        ReadNativeSystemInfo(Native);
        if (Native.wProcessorArchitecture != PROCESSOR_ARCHITECTURE_INTEL && Workstation) return wvWinXP64;
        return wvWin2003;
      }
      return wvUnknown;
    case 6:
      if (Minor == 0) return Workstation ? wvWinVista : wvWinServer2008;
      if (Minor == 1) return Workstation ? wvWin7 : wvWinServer2008R2;
      return wvUnknown;
    default: return wvUnknown;
  }
}

void LoadSystemInfoAtStartup()
{
  Loaded() = true;
  TSystemInfoState& S = State();
  S = TSystemInfoState{};
  SYSTEM_INFO Info;
  ZeroFillMemory(&Info, sizeof Info);
  GetSystemInfo(&Info);
  S.ProcessorCount = Info.dwNumberOfProcessors;
  S.AllocGranularity = Info.dwAllocationGranularity;
  S.PageSize = Info.dwPageSize;
  OSVERSIONINFOA Version;
  S.IsWinNT = GetVersionExA(&Version) && Version.dwPlatformId == VER_PLATFORM_WIN32_NT;
  // The kernel's version resource is read only on 9x platforms; there are none here.
  S.KernelVersionHi = 0;
  S.Version = DetectWindowsVersion();
  S.VersionFlags[S.Version] = true;
  if (S.Version == wvWinNT31 || S.Version == wvWinNT35 || S.Version == wvWinNT351) S.IsWinNT3 = true;
  if (S.Version == wvWinNT351) S.VersionFlags[wvWinNT35] = true;
}

void RoundToAllocGranularity(Int64& Offset, bool Up)
{
  const Int64 Granularity = SystemInfoState().AllocGranularity ? SystemInfoState().AllocGranularity : 65536;
  const Int64 Rest = Offset % Granularity;
  if (Rest == 0) return;
  Offset -= Rest;
  if (Up) Offset += Granularity;
}

String ProcessImageName(DWORD ProcessId, bool FullPaths)
{
  using TGetName = DWORD(HANDLE, HMODULE, LPSTR, DWORD);
  static TGetName* FileNameEx = nullptr;
  static TGetName* BaseName = nullptr;
  HANDLE Process = OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, ProcessId);
  if (!Process) return String();
  char Buffer[NameBufferSize] = {};
  DWORD Length = 0;
  try {
    if (FullPaths) {
      BindProcAddress(FileNameEx, "PSAPI.dll", "GetModuleFileNameExA");
      Length = FileNameEx(Process, nullptr, Buffer, NameBufferSize);
    } else {
      BindProcAddress(BaseName, "PSAPI.dll", "GetModuleBaseNameA");
      Length = BaseName(Process, nullptr, Buffer, NameBufferSize);
    }
  } catch (const ESxError&) {
    Length = 0;
  }
  CloseHandle(Process);
  if (Length == 0) return String();
  String Name(Buffer, strnlen(Buffer, NameBufferSize));
  return Name;
}

bool ListProcessesToolHelp(TStrings* List, bool FullPaths)
{
  using TSnapshot = HANDLE(DWORD, DWORD);
  using TWalk = BOOL(HANDLE, LPPROCESSENTRY32);
  static TSnapshot* Snapshot = nullptr;
  static TWalk* First = nullptr;
  static TWalk* Next = nullptr;
  try {
    BindProcAddress(Snapshot, "kernel32.dll", "CreateToolhelp32Snapshot");
    BindProcAddress(First, "kernel32.dll", "Process32First");
    BindProcAddress(Next, "kernel32.dll", "Process32Next");
  } catch (const ESxError&) {
    return false;
  }
  HANDLE Snap = Snapshot(TH32CS_SNAPPROCESS, 0);
  if (!Snap || Snap == INVALID_HANDLE_VALUE) return false;
  const TWindowsVersion Version = SystemInfoState().Version;
  const bool Modern = Version >= wvWin2000 && Version <= wvWinServer2008R2;
  PROCESSENTRY32 Entry;
  Entry.dwSize = sizeof Entry;
  for (BOOL More = First(Snap, &Entry); More; More = Next(Snap, &Entry)) {
    String Name;
    const String ExeFile(Entry.szExeFile, strnlen(Entry.szExeFile, NameBufferSize));
    if (Entry.th32ProcessID == 0) {
      Name = "System Idle Process";
    } else if (Modern) {
      Name = ProcessImageName(Entry.th32ProcessID, FullPaths);
      if (Name.empty()) Name = ExeFile;
    } else {
      Name = FullPaths ? ExeFile : ExtractFileName(ExeFile);
    }
    List->AddObject(Name, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Entry.th32ProcessID)));
  }
  CloseHandle(Snap);
  return true;
}

bool ListProcessesPsapi(TStrings* List, bool FullPaths)
{
  using TEnum = BOOL(DWORD*, DWORD, DWORD*);
  static TEnum* Enumerate = nullptr;
  try {
    BindProcAddress(Enumerate, "PSAPI.dll", "EnumProcesses");
  } catch (const ESxError&) {
    return false;
  }
  DWORD Ids[1025] = {};
  DWORD Bytes = 0;
  if (!Enumerate(Ids, sizeof Ids, &Bytes)) return false;
  const bool IsNT4 = SystemInfoState().Version == wvWinNT4;
  for (DWORD I = 0; I < Bytes / sizeof(DWORD); ++I) {
    String Name;
    if (Ids[I] == 0)
      Name = "System Idle Process";
    else if (Ids[I] == 2 && IsNT4)
      Name = "System Process";
    else
      Name = ProcessImageName(Ids[I], FullPaths);
    if (!Name.empty()) List->AddObject(Name, reinterpret_cast<TObject*>(static_cast<std::intptr_t>(Ids[I])));
  }
  return true;
}

bool ListRunningProcesses(TStrings* List, bool FullPaths)
{
  const TWindowsVersion Version = SystemInfoState().Version;
  TStringsUpdate Update(List);
  if (Version >= wvWinNT31 && Version <= wvWinNT4) return ListProcessesPsapi(List, FullPaths);
  return ListProcessesToolHelp(List, FullPaths);
}

Integer FindProcessIdByExeName(const String& FileName)
{
  const auto Separator = FileName.find_last_of("\\:/");
  const bool FullPaths = Separator != String::npos && Separator > 0;
  TStringList List;
  if (!ListRunningProcesses(&List, FullPaths)) return -1;
  return FindInList(&List, FileName);
}

namespace {

BOOL PostCloseToProcessWindow(HWND Wnd, LPARAM Param)
{
  DWORD Owner = 0;
  GetWindowThreadProcessId(Wnd, &Owner);
  if (Owner == static_cast<DWORD>(Param)) PostMessageA(Wnd, WM_CLOSE, 0, 0);
  return TRUE;
}

}  // namespace

Integer CloseOrKillProcess(DWORD ProcessId, DWORD Milliseconds)
{
  if (ProcessId == GetCurrentProcessId()) return 0;
  HANDLE Process = OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, ProcessId);
  if (!Process) return 0;
  EnumWindows(PostCloseToProcessWindow, static_cast<LPARAM>(ProcessId));
  Integer Result = 0;
  if (WaitForSingleObject(Process, Milliseconds) == WAIT_OBJECT_0)
    Result = 1;
  else if (TerminateProcess(Process, 0))
    Result = 2;
  CloseHandle(Process);
  return Result;
}

namespace {

String& LookupFolder()
{
  static String Folder;
  return Folder;
}

// The program starts every tool from the work folder, so only a tool with that full path is
// its own: a program of the same name elsewhere (another user's, another program's, the
// system's player) is never ended.
void CloseFirstOfName(const char* Name)
{
  const String Folder = LookupFolder().empty() ? WorkFolder : LookupFolder();
  const Integer Id = FindProcessIdByExeName(Folder + Name);
  if (Id != -1) CloseOrKillProcess(static_cast<DWORD>(Id), 50);
}

}  // namespace

void SetToolLookupFolder(const String& Folder) { LookupFolder() = Folder; }

void KillAllTools()
{
  static const char* const Names[] = {"ffmpeg.exe",  "ffmpeg2.exe", "qvcscript.exe", "tivo.exe",     "mp4box.exe",
                                      "mplayer.exe", "mplayer2.exe", "mencoder.exe", "mencoder2.exe"};
  for (const char* Name : Names) CloseFirstOfName(Name);
}

void KillPlayers()
{
  for (const char* Name : {"mplayer.exe", "mplayer2.exe"}) CloseFirstOfName(Name);
}

void WaitForTool()
{
  Int64 LastCheck = -1;
  while (ToolRunning) WaitRound(ToolRunning, true, LastCheck);
}

void WaitForTrackSelection()
{
  Int64 LastCheck = -1;
  while (PickerOpen) WaitRound(PickerOpen, false, LastCheck);
}

void SetEjectDiscProc(std::function<void(const String& DrivePath)> Proc)
{
  if (Proc)
    EjectDiscProc() = std::move(Proc);
  else
    EjectDiscProc() = EjectWithMessages;
}

void EjectAndWait(const String& DrivePath)
{
  EjectDone = false;
  EjectDiscProc()(DrivePath);
  // A disc that never reports leaving the drive must not hold the program forever.
  const Int64 Start = GetTickCount64();
  while (!EjectDone && GetTickCount64() - Start < EjectWaitLimitMs) {
    ProcessMessagesNow();
    if (!EjectDone) PauseUntilMessage(100);
  }
}
