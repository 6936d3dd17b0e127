// TXcCreateProcess: the process runner. Starts one external tool at a time, hidden, with its
// standard handles redirected through pipes; watches the child and the pipes with worker
// threads; assembles the console output into lines and raises OnRead, OnRawRead and
// OnTerminate on the GUI thread through a hidden message window; queues text for the child's
// standard input; kills the child.
//
// Line assembly (per piece of at most 1,024 bytes taken on the GUI thread): CR moves the
// cursor to column 0 (what follows overwrites), BS moves it one left (nothing is erased), TAB
// writes eight spaces, NUL and BEL show as spaces, LF reports the line with its end-of-line
// flag and starts a new one, and the end of every piece reports the unfinished line. Reports
// carry StartsOnNewLine: True for the first report of a line, False for later reports of the
// same line; a consumer that appends on True and replaces its last line on False keeps an
// exact transcript.
#pragma once

#include <array>
#include <atomic>
#include <functional>
#include <memory>
#include <set>
#include <vector>

#include "extctrls/XcComponentBase.h"
#include "extctrls/XcTypes.h"
#include "platform/os/Process.h"
#include "platform/rtl/StringList.h"
#include "platform/rtl/SyncObjs.h"
#include "platform/rtl/Thread.h"
#include "platform/vcl/Messages.h"
#include "platform/win/WinUser.h"

class TXcCreateProcess;
class TXcReadThread;

enum TXcProcessPriority { ppIdle, ppNormal, ppHigh, ppRealTime };
enum TXcCPSFlag { cfDefaultErrorMode, cfNewConsole, cfNewProcGroup, cfSeparateWdm, cfSharedWdm, cfSuspended, cfUnicode, cfDetached };
using TXcCPSFlags = std::set<TXcCPSFlag>;
enum TXcCPSShowWindow { swHide, swMinimize, swMaximize, swNormal };
enum TXcConsoleOption { coOwnerData, coRedirect, coSeparateError };
using TXcConsoleOptions = std::set<TXcConsoleOption>;

using TXcCPSReadEvent = std::function<void(TObject* Sender, const String& S, bool StartsOnNewLine)>;
using TXcCPSRawReadEvent = std::function<void(TObject* Sender, const String& S)>;
using TXcCPSTerminateEvent = std::function<void(TObject* Sender, Cardinal ExitCode)>;

// Messages of the runner's message window (posted, never sent).
constexpr UINT ReadDataMessage = WM_USER + 1;        // WParam: the TXcReader that got data
constexpr UINT ThreadFinishedMessage = WM_USER + 2;  // a watcher thread ended

// The Windows values behind the enumerations.
DWORD XcPriorityClass(TXcProcessPriority Priority);
DWORD XcCreationFlag(TXcCPSFlag Flag);
WORD XcShowWindowValue(TXcCPSShowWindow Show);

namespace XcCreateProcessConsts {
inline constexpr const char* SProcessRunning = "Cannot perform this operation when process is running";
inline constexpr const char* SProcessNotRunning = "Process is not running";
}  // namespace XcCreateProcessConsts

constexpr int XcChunkSize = 1024;
constexpr int XcInitialBufferSize = 1024;
constexpr int XcMaxBufferSize = 128 * 1024;
constexpr int XcInputQueueSize = 1024;
// While the pipe holds more output, the reader thread reads on and tells the GUI thread only
// once this much has gathered (or the pipe is empty): fewer, larger batches.
constexpr int XcNotifyBytes = 16 * 1024;
// How long the reader thread waits for the GUI thread to take data out of a full buffer before
// the unread data is dropped. A GUI thread that is merely slow to be scheduled loses nothing;
// one that stays blocked costs the tool this wait once, then output is dropped without waits
// until the GUI takes data again.
constexpr DWORD XcFullBufferGraceMs = 100;
// Pieces assembled per ReadDataMessage before the message loop gets its turn again.
constexpr int XcPiecesPerMessage = 64;
// Timers of the message window that carry on assembling a reader's output when timers or
// painting are waiting (posted messages always go first, so a flooding tool would otherwise
// keep every timer from firing).
constexpr UINT_PTR XcOutputDrainTimer = 1;
constexpr UINT_PTR XcErrorDrainTimer = 2;

// Kills the process with that id (exit code 0); raises EOSError when it cannot be opened.
// True when TerminateProcess succeeded.
bool KillProcessById(DWORD ProcessId);
// True at once for an empty variable; otherwise closes the handle and empties the variable
// when that worked. Whether the close succeeded.
bool CloseHandleAndClear(HANDLE& Handle);

// Window options of the child.
class TXcCPSStartupInfo : public TPersistent {
public:
  TXcCPSStartupInfo() = default;

  String Desktop;
  String Title;
  Integer Left = 0;
  Integer Top = 0;
  bool DefaultPosition = true;
  Integer Width = 0;
  Integer Height = 0;
  bool DefaultSize = true;
  TXcCPSShowWindow ShowWindow = swNormal;
  bool DefaultWindowState = true;
  bool ForceOnFeedback = false;
  bool ForceOffFeedback = false;

protected:
  void AssignTo(TPersistent* Dest) override;
};

// Three handle slots: read (0), write (1), error (2). Frees what it still holds.
class TXcRWEHandles : public TObject {
public:
  enum { Read = 0, Write = 1, Error = 2 };
  TXcRWEHandles() = default;
  TXcRWEHandles(const TXcRWEHandles&) = delete;
  TXcRWEHandles& operator=(const TXcRWEHandles&) = delete;
  ~TXcRWEHandles() override;

  void SetHandle(int Slot, HANDLE Value);
  HANDLE GetHandle(int Slot) const { return FHandles[Slot]; }
  // Hands the handle over to the caller and empties the slot.
  HANDLE ExtractHandle(int Slot);
  void CloseAll();

private:
  std::array<HANDLE, 3> FHandles{};
};

class TXcBaseReader : public TObject {
public:
  explicit TXcBaseReader(TXcCreateProcess* AOwner);
  ~TXcBaseReader() override;

  TXcCreateProcess* GetOwner() const { return FOwner; }
  // The lines read, unless the owner has coOwnerData.
  TStringList* GetOutputLines() const { return FOutputLines.get(); }

  TXcCPSReadEvent OnRead;
  TXcCPSRawReadEvent OnRawRead;

protected:
  TXcCreateProcess* FOwner;
  std::unique_ptr<TStringList> FOutputLines;
};

// One captured stream: its read thread and the line being assembled (GUI thread only).
class TXcReader : public TXcBaseReader {
public:
  using TXcBaseReader::TXcBaseReader;
  ~TXcReader() override;

  // Starts reading the pipe (the reader's thread takes it over).
  void Start(HANDLE Pipe);
  // Stops without reports: the thread is told to end and its pipe is closed.
  void Stop();
  bool IsReading() const { return FReadThread != nullptr; }

  // Takes the pieces the thread has gathered (at most MaxPieces when above 0; then a new
  // ReadDataMessage is posted for the rest) and assembles them. The pieces of one call are
  // taken from the thread's buffer under one lock.
  void DrainBuffer(int MaxPieces = 0);
  // Assembles one piece (at most 1,024 bytes; NUL and BEL are replaced in place).
  void ParseChunk(char* Piece, int Count);
  // The end of the stream: reports an unfinished last line once more.
  void FinishLine();

  const String& GetCurrentLine() const { return FLine; }
  int GetCursor() const { return FCursor; }
  bool GetStartsOnNewLine() const { return FStartsOnNewLine; }

private:
  friend class TXcCreateProcess;
  void ReadThreadTerminated(TObject* Sender);
  // The next piece, in place in FBatch; false when nothing is waiting. Wanted: the pieces the
  // caller may still assemble (0: no limit), which bounds what is taken from the thread.
  bool TakePiece(char*& Piece, int& Count, int Wanted);
  bool HasUnassembled() const;
  void FlushPending(const char* Run, int Count);
  void InsertTabSpaces();
  void EmitLine(bool EndOfLine);
  void EndOfStream();

  TXcReadThread* FReadThread = nullptr;
  String FLine;
  int FCursor = 0;
  bool FStartsOnNewLine = true;
  bool FDraining = false;
  bool FEndPending = false;
  // Output taken from the thread and not yet assembled (FBatch from FBatchAt on), and what a
  // thread that ended while a drain ran left behind (FRest, assembled after FBatch).
  std::vector<char> FBatch;
  std::size_t FBatchAt = 0;
  std::vector<char> FRest;
};

class TXcReadThread : public TThread {
public:
  TXcReadThread(TXcReader* Reader, HWND Window, HANDLE Pipe);
  ~TXcReadThread() override;

  // GUI side: takes at most 1,024 unread bytes; false when there are none.
  bool TakeData(char* Destination, int& Count);
  // GUI side: moves up to MaxBytes unread bytes, oldest first, to the end of Destination under
  // one lock; how many. Once the buffer is found empty the next append posts a message again,
  // so one message stands for everything appended between two takes.
  int TakeBatch(std::vector<char>& Destination, int MaxBytes);
  // GUI side: ends the thread without further reports and closes the pipe.
  void Detach();

  // Worker side: appends what was read (public for the buffer tests). When the bytes do not
  // fit into a buffer of 128 KiB, waits up to XcFullBufferGraceMs for the GUI side to take
  // data first (not again before the GUI has taken some), then drops the unread data.
  void AppendData(const char* Bytes, int Count) { AppendData(Bytes, Count, true); }
  int GetCapacity() const { return FCapacity; }

protected:
  void Execute() override;
  void DoTerminate() override;

private:
  // Notify false: more output waits in the pipe; the GUI is told later (at XcNotifyBytes
  // unannounced bytes at the latest).
  void AppendData(const char* Bytes, int Count, bool Notify);

  TXcReader* FReader;
  HANDLE FPipe;
  TCriticalSection FLock;
  HWND FWindow;
  std::array<char, XcChunkSize> FReadBuffer{};
  // A ring: FCount unread bytes from FHead on, wrapping at FCapacity. Taking moves nothing.
  std::vector<char> FData;
  int FCapacity = XcInitialBufferSize;
  int FHead = 0;
  int FCount = 0;
  bool FMessagePending = false;  // guarded by FLock
  bool FGaveUp = false;          // guarded by FLock: a wait for the GUI timed out
  int FUnannounced = 0;          // worker only: bytes appended since the last notification
  bool FWaitingForRoom = false;  // guarded by FLock: the worker waits for FTaken
  HANDLE FTaken = nullptr;       // set when the GUI side took data while the worker waits
  std::atomic<bool> FDetached{false};
};

class TXcWaitForProcessThread : public TThread {
public:
  explicit TXcWaitForProcessThread(HANDLE Process);
  ~TXcWaitForProcessThread() override;

  Cardinal GetExitCode() const { return FExitCode.load(); }
  // GUI side: ends the wait without a report (terminate flag and stop event).
  void Detach();

protected:
  void Execute() override;
  void DoTerminate() override;

  std::atomic<Cardinal> FExitCode{0};
  HANDLE FStopEvent = nullptr;
  HANDLE FProcess;
  std::atomic<bool> FDetached{false};
};

class TXcConsoleThread : public TXcWaitForProcessThread {
public:
  TXcConsoleThread(HANDLE Process, HANDLE StdIn);
  ~TXcConsoleThread() override;

  // GUI side: appends Text to the standard-input queue when all of it fits.
  bool QueueInput(const String& Text);

protected:
  void Execute() override;

private:
  bool WriteQueuedInput();

  HANDLE FStdIn;
  HANDLE FInputReady = nullptr;
  TCriticalSection FLock;
  std::array<char, XcInputQueueSize> FQueue{};
  int FQueued = 0;
  bool FStdInClosed = false;
};

class TXcCreateProcess : public TXcComponent {
public:
  enum TRunState { Ready, Started, Watched };

  explicit TXcCreateProcess(TComponent* AOwner);
  ~TXcCreateProcess() override;

  // Starts CommandLine; see the head of this file. Raises EXCLException while a watched run
  // is going, EOSError when the system refuses.
  void StartProcess();
  // Kills the child; EXCLException "Process is not running" when none ran. The kill goes
  // through the process handle kept from the start, so it can never reach another process
  // that got the id later. A child that has already ended (its OnTerminate may still be on
  // its way) is simply not running: False, never an error.
  bool KillProcess();
  bool QueueInputText(const String& Text);
  bool QueueInputLine(const String& Text) { return QueueInputText(Text + "\r\n"); }
  // Stops watching without touching the child; no OnTerminate follows.
  void DetachFromProcess();

  const String& GetApplicationName() const { return FApplicationName; }
  void SetApplicationName(const String& Value) { FApplicationName = Value; }
  const String& GetCommandLine() const { return FCommandLine; }
  void SetCommandLine(const String& Value) { FCommandLine = Value; }
  const TXcCPSFlags& GetCreationFlags() const { return FCreationFlags; }
  void SetCreationFlags(const TXcCPSFlags& Value) { FCreationFlags = Value; }
  const String& GetCurrentDirectory() const { return FCurrentDirectory; }
  void SetCurrentDirectory(const String& Value) { FCurrentDirectory = Value; }
  TStrings* GetEnvironment() const { return FEnvironment.get(); }
  void SetEnvironment(TStrings* Value) { FEnvironment->Assign(Value); }
  TXcProcessPriority GetPriority() const { return FPriority; }
  void SetPriority(TXcProcessPriority Value) { FPriority = Value; }
  TXcCPSStartupInfo* GetStartupInfo() const { return FStartupInfo.get(); }
  void SetStartupInfo(TXcCPSStartupInfo* Value) { FStartupInfo->Assign(Value); }
  bool GetWaitForTerminate() const { return FWaitForTerminate; }
  void SetWaitForTerminate(bool Value);
  const TXcConsoleOptions& GetConsoleOptions() const { return FConsoleOptions; }
  void SetConsoleOptions(const TXcConsoleOptions& Value) { FConsoleOptions = Value; }

  TXcCPSReadEvent GetOnRead() const { return FOutputReader->OnRead; }
  void SetOnRead(TXcCPSReadEvent Value) { FOutputReader->OnRead = std::move(Value); }
  TXcCPSRawReadEvent GetOnRawRead() const { return FOutputReader->OnRawRead; }
  void SetOnRawRead(TXcCPSRawReadEvent Value) { FOutputReader->OnRawRead = std::move(Value); }
  TXcCPSReadEvent GetOnErrorRead() const { return FErrorReader->OnRead; }
  void SetOnErrorRead(TXcCPSReadEvent Value) { FErrorReader->OnRead = std::move(Value); }
  TXcCPSRawReadEvent GetOnErrorRawRead() const { return FErrorReader->OnRawRead; }
  void SetOnErrorRawRead(TXcCPSRawReadEvent Value) { FErrorReader->OnRawRead = std::move(Value); }
  TXcCPSTerminateEvent OnTerminate;

  const PROCESS_INFORMATION& GetProcessInformation() const { return FProcessInformation; }
  TRunState GetState() const { return FState; }
  int GetWatcherCount() const { return FWatcherCount; }
  TXcReader* GetOutputReader() const { return FOutputReader.get(); }
  TXcReader* GetErrorReader() const { return FErrorReader.get(); }
  // The message window (made on first need).
  HWND EnsureMessageWindow();

private:
  friend class TXcReader;
  void ResetState();
  void EnsureNoWaitedProcess();
  void EnsureReady();
  void ReleaseProcessHandles();
  void FillStartupInfo(STARTUPINFOA& Info);
  void CreateRedirectPipes(TXcRWEHandles& Parent, TXcRWEHandles& Child, bool SeparateError);
  void WaitThreadTerminated(TObject* Sender);
  void HandleThreadFinished();
  void HandleWindowMessage(TMessage& Message);
  void PostThreadFinished();
  // Asks for the next slice of Reader's output: at once (a posted message) unless timers or
  // painting wait, then behind them.
  void ScheduleDrain(TXcReader* Reader);
  void CloseKillHandle();

  String FApplicationName;
  String FCommandLine;
  TXcCPSFlags FCreationFlags;
  String FCurrentDirectory;
  std::unique_ptr<TStringList> FEnvironment;
  TXcProcessPriority FPriority = ppNormal;
  std::unique_ptr<TXcCPSStartupInfo> FStartupInfo;
  bool FWaitForTerminate = true;
  TXcConsoleOptions FConsoleOptions{coOwnerData};

  TRunState FState = Ready;
  int FWatcherCount = 0;
  Cardinal FExitCode = 0;
  PROCESS_INFORMATION FProcessInformation{};
  HANDLE FKillHandle = nullptr;  // the child of the last start, kept until the run is over
  TXcWaitForProcessThread* FWaitThread = nullptr;
  std::unique_ptr<TXcReader> FOutputReader;
  std::unique_ptr<TXcReader> FErrorReader;
  HWND FWindow = nullptr;
  Cardinal FRunSerial = 0;  // tells the thread-ended reports of one run from those of another
};
