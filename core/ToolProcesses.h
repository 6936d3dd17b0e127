// Tool processes by executable name: lookup, close-or-kill, killing all tools or players, the
// waits that keep the GUI alive while a tool, the DVD title picker or a disc eject is awaited,
// and the system information read at start-up (Windows version detection, allocation
// granularity).
//
// Lookups see only processes of the calling user, so nothing here can reach another user's
// process. The waits are nested message loops: timers, posted messages and the process
// runner's events keep running inside them, and a handler inside a wait may wait again. The
// tool and picker waits close the system's crash-report dialogs ("werfault.exe", "dwwin.exe")
// once per 100 ms round, only where the system has them (qv::os::SystemHasCrashDialog); where it
// has none, a wait never walks the process table.
#pragma once

#include <functional>

#include "platform/os/KernelObjects.h"
#include "platform/rtl/StringList.h"

// The main window's run flags that the waits read (set and cleared by the windows).
extern bool ToolRunning;
extern bool PickerOpen;
extern bool EjectDone;

enum TWindowsVersion {
  wvUnknown,
  wvWin95,
  wvWin95OSR2,
  wvWin98,
  wvWin98SE,
  wvWinME,
  wvWinNT31,
  wvWinNT35,
  wvWinNT351,
  wvWinNT4,
  wvWin2000,
  wvWinXP,
  wvWin2003,
  wvWinXP64,
  wvWin2003R2,
  wvWinVista,
  wvWinServer2008,
  wvWin7,
  wvWinServer2008R2
};

// Read once by LoadSystemInfoAtStartup.
struct TSystemInfoState {
  Cardinal ProcessorCount = 0;
  Cardinal PageSize = 0;
  Cardinal AllocGranularity = 0;
  bool IsWinNT = false;
  Cardinal KernelVersionHi = 0;  // product version of "kernel32.dll" (9x platforms only)
  TWindowsVersion Version = wvUnknown;
  bool VersionFlags[wvWinServer2008R2 + 1] = {};
  bool IsWinNT3 = false;
};
const TSystemInfoState& SystemInfoState();
void LoadSystemInfoAtStartup();

TWindowsVersion DetectWindowsVersion();

// Offset rounded in place to the allocation granularity: down, or up when Up.
void RoundToAllocGranularity(Int64& Offset, bool Up);

// Fills List (not cleared first) with the running processes, objects = process ids.
bool ListRunningProcesses(TStrings* List, bool FullPaths);
bool ListProcessesToolHelp(TStrings* List, bool FullPaths);
bool ListProcessesPsapi(TStrings* List, bool FullPaths);
String ProcessImageName(DWORD ProcessId, bool FullPaths);

// The id of the first running process of that image name (case ignored; a name with a folder
// matches the full image path), or -1.
Integer FindProcessIdByExeName(const String& FileName);
// 0: not done (own process, cannot open, cannot kill); 1: ended after WM_CLOSE within
// Milliseconds; 2: killed.
Integer CloseOrKillProcess(DWORD ProcessId, DWORD Milliseconds);

// Every tool, and the players: the first process of each name is ended (WM_CLOSE, then killed
// after 50 ms).
void KillAllTools();
void KillPlayers();
// Where the kill routines look for the tools by name: only the tools started from that folder
// (the full path is matched). Empty (the program's setting): the work folder, from which the
// program starts every tool, so a program of a tool's name started from elsewhere (by the
// user, another program or another test run) is never ended.
void SetToolLookupFolder(const String& Folder);

void WaitForTool();
void WaitForTrackSelection();

// Ejects the disc of DrivePath and waits until EjectDone is set (by the device-removal
// handler, or by the eject routine when the door command failed), at most EjectWaitLimitMs.
constexpr Cardinal EjectWaitLimitMs = 30000;
void EjectAndWait(const String& DrivePath);
// The eject routine EjectAndWait calls; by default the drive's tray is opened and EjectDone is
// set when that fails. The disc helpers install theirs.
void SetEjectDiscProc(std::function<void(const String& DrivePath)> Proc);
