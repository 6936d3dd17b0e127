#include "core/XcCreateProcess.h"

#include <algorithm>
#include <cstring>

#include "core/SxSysUtils.h"
#include "extctrls/XcComponentUtils.h"
#include "extctrls/XcUtilityWindow.h"
#include "platform/os/Pipes.h"
#include "platform/os/Sync.h"
#include "platform/os/Wait.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Forms.h"

namespace {

constexpr Cardinal StoppedExitCode = 0xFFFFFFFF;

// Reports an exception of an event handler the way the message loop would.
void ReportHandlerException(TObject* Sender)
{
  if (Application) Application->HandleException(Sender);
}

}  // namespace

DWORD XcPriorityClass(TXcProcessPriority Priority)
{
  switch (Priority) {
    case ppIdle: return IDLE_PRIORITY_CLASS;
    case ppHigh: return HIGH_PRIORITY_CLASS;
    case ppRealTime: return REALTIME_PRIORITY_CLASS;
    case ppNormal: break;
  }
  return NORMAL_PRIORITY_CLASS;
}

DWORD XcCreationFlag(TXcCPSFlag Flag)
{
  switch (Flag) {
    case cfDefaultErrorMode: return CREATE_DEFAULT_ERROR_MODE;
    case cfNewConsole: return CREATE_NEW_CONSOLE;
    case cfNewProcGroup: return CREATE_NEW_PROCESS_GROUP;
    case cfSeparateWdm: return CREATE_SEPARATE_WOW_VDM;
    case cfSharedWdm: return CREATE_SHARED_WOW_VDM;
    case cfSuspended: return CREATE_SUSPENDED;
    case cfUnicode: return CREATE_UNICODE_ENVIRONMENT;
    case cfDetached: return DETACHED_PROCESS;
  }
  return 0;
}

WORD XcShowWindowValue(TXcCPSShowWindow Show)
{
  switch (Show) {
    case swHide: return SW_HIDE;
    case swMinimize: return SW_SHOWMINIMIZED;
    case swMaximize: return SW_SHOWMAXIMIZED;
    case swNormal: break;
  }
  return SW_SHOWNORMAL;
}

bool KillProcessById(DWORD ProcessId)
{
  HANDLE Process = OpenProcess(PROCESS_TERMINATE, FALSE, ProcessId);
  CheckOSResult(Process != nullptr);
  const bool Killed = TerminateProcess(Process, 0) != FALSE;
  CloseHandle(Process);
  return Killed;
}

bool CloseHandleAndClear(HANDLE& Handle)
{
  if (!Handle) return true;
  const bool Closed = CloseHandle(Handle) != FALSE;
  if (Closed) Handle = nullptr;
  return Closed;
}

// ---------------------------------------------------------------------------------------------
// TXcCPSStartupInfo

void TXcCPSStartupInfo::AssignTo(TPersistent* Dest)
{
  auto* Target = dynamic_cast<TXcCPSStartupInfo*>(Dest);
  if (!Target) {
    TPersistent::AssignTo(Dest);
    return;
  }
  Target->Desktop = Desktop;
  Target->Title = Title;
  Target->Left = Left;
  Target->Top = Top;
  Target->DefaultPosition = DefaultPosition;
  Target->Width = Width;
  Target->Height = Height;
  Target->DefaultSize = DefaultSize;
  Target->ShowWindow = ShowWindow;
  Target->DefaultWindowState = DefaultWindowState;
  Target->ForceOnFeedback = ForceOnFeedback;
  Target->ForceOffFeedback = ForceOffFeedback;
}

// ---------------------------------------------------------------------------------------------
// TXcRWEHandles

TXcRWEHandles::~TXcRWEHandles() { CloseAll(); }

void TXcRWEHandles::SetHandle(int Slot, HANDLE Value)
{
  if (FHandles[Slot] != Value && FHandles[Slot]) CloseHandle(FHandles[Slot]);
  FHandles[Slot] = Value;
}

HANDLE TXcRWEHandles::ExtractHandle(int Slot)
{
  HANDLE Result = FHandles[Slot];
  FHandles[Slot] = nullptr;
  return Result;
}

void TXcRWEHandles::CloseAll()
{
  for (HANDLE& H : FHandles) {
    if (H) CloseHandle(H);
    H = nullptr;
  }
}

// ---------------------------------------------------------------------------------------------
// Readers

TXcBaseReader::TXcBaseReader(TXcCreateProcess* AOwner) : FOwner(AOwner), FOutputLines(std::make_unique<TStringList>())
{
}

TXcBaseReader::~TXcBaseReader() = default;

TXcReader::~TXcReader() { Stop(); }

void TXcReader::Start(HANDLE Pipe)
{
  FStartsOnNewLine = true;
  FLine.clear();
  FCursor = 0;
  FBatch.clear();
  FBatchAt = 0;
  FRest.clear();
  FEndPending = false;
  auto* Thread = new TXcReadThread(this, FOwner->EnsureMessageWindow(), Pipe);
  Thread->OnTerminate = [this](TObject* Sender) { ReadThreadTerminated(Sender); };
  FReadThread = Thread;
  Thread->Start();
}

void TXcReader::Stop()
{
  FBatch.clear();
  FBatchAt = 0;
  FRest.clear();
  FEndPending = false;
  if (!FReadThread) return;
  TXcReadThread* Thread = FReadThread;
  FReadThread = nullptr;
  Thread->OnTerminate = nullptr;
  Thread->Detach();
}

bool TXcReader::TakePiece(char*& Piece, int& Count, int Wanted)
{
  if (FBatchAt >= FBatch.size()) {
    FBatch.clear();
    FBatchAt = 0;
    if (!FRest.empty()) {
      FBatch.swap(FRest);
    } else {
      if (!FReadThread) return false;
      // Only what this drain may assemble: the rest stays in the thread's buffer, where the
      // 128 KiB rule applies while the GUI is behind.
      const int Limit = Wanted > 0 ? Wanted * XcChunkSize : XcMaxBufferSize;
      if (FReadThread->TakeBatch(FBatch, Limit) == 0) return false;
    }
  }
  Count = static_cast<int>(std::min<std::size_t>(XcChunkSize, FBatch.size() - FBatchAt));
  Piece = FBatch.data() + FBatchAt;
  FBatchAt += static_cast<std::size_t>(Count);
  return true;
}

bool TXcReader::HasUnassembled() const { return FBatchAt < FBatch.size() || !FRest.empty(); }

void TXcReader::DrainBuffer(int MaxPieces)
{
  // A handler that pumps messages may bring us back here: the running drain goes on with
  // whatever arrives, so pieces are never assembled out of order.
  if (FDraining) return;
  FDraining = true;
  int Pieces = 0;
  bool More = false;
  try {
    int Count = 0;
    char* Piece = nullptr;
    while (!(More = MaxPieces > 0 && Pieces >= MaxPieces) &&
           TakePiece(Piece, Count, MaxPieces > 0 ? MaxPieces - Pieces : 0)) {
      ParseChunk(Piece, Count);
      ++Pieces;
    }
  } catch (...) {
    FDraining = false;
    // What was taken and not yet assembled must not wait for a message that never comes.
    if (FReadThread || HasUnassembled() || FEndPending) FOwner->ScheduleDrain(this);
    throw;
  }
  FDraining = false;
  // A tool that writes as fast as we assemble must not hold the GUI thread: the rest comes
  // with the next message, behind whatever else is queued. The rest may also be what a
  // thread that ended during a handler left behind: it is assembled before the end report.
  if (More && (FReadThread || HasUnassembled())) FOwner->ScheduleDrain(this);
  if (FEndPending && !HasUnassembled()) {
    FEndPending = false;
    EndOfStream();
  }
}

void TXcReader::FlushPending(const char* Run, int Count)
{
  if (Count <= 0) return;
  const auto Cursor = static_cast<std::size_t>(FCursor);
  const auto N = static_cast<std::size_t>(Count);
  if (FLine.size() < Cursor + N) FLine.resize(Cursor + N);
  FLine.replace(Cursor, N, Run, N);
  FCursor += Count;
}

void TXcReader::InsertTabSpaces()
{
  static const char Spaces[8] = {' ', ' ', ' ', ' ', ' ', ' ', ' ', ' '};
  FlushPending(Spaces, 8);
}

void TXcReader::EmitLine(bool EndOfLine)
{
  // A finished line is handed over; an unfinished one goes on being assembled.
  const String Line = EndOfLine ? std::move(FLine) : FLine;
  const bool StartsOnNewLine = FStartsOnNewLine;
  if (!FOwner->GetConsoleOptions().count(coOwnerData)) {
    if (StartsOnNewLine || FOutputLines->GetCount() == 0)
      FOutputLines->Add(Line);
    else
      FOutputLines->Put(FOutputLines->GetCount() - 1, Line);
  }
  if (EndOfLine) {
    FLine.clear();
    FCursor = 0;
  }
  FStartsOnNewLine = EndOfLine;
  if (OnRead) OnRead(FOwner, Line, StartsOnNewLine);
}

void TXcReader::ParseChunk(char* Piece, int Count)
{
  if (OnRawRead) OnRawRead(FOwner, String(Piece, static_cast<std::size_t>(std::max(Count, 0))));
  // The bytes that steer the assembly; all others are text.
  static const auto Special = [] {
    std::array<bool, 256> T{};
    for (unsigned char C : {0, 7, 8, 9, 10, 13}) T[C] = true;
    return T;
  }();
  int Start = 0;
  for (int I = 0; I < Count; ++I) {
    if (!Special[static_cast<unsigned char>(Piece[I])]) continue;
    switch (Piece[I]) {
      case '\0':
      case '\a':
        Piece[I] = ' ';
        break;
      case '\b':
        FlushPending(Piece + Start, I - Start);
        if (FCursor > 0) --FCursor;
        Start = I + 1;
        break;
      case '\t':
        FlushPending(Piece + Start, I - Start);
        InsertTabSpaces();
        Start = I + 1;
        break;
      case '\n':
        FlushPending(Piece + Start, I - Start);
        EmitLine(true);
        Start = I + 1;
        break;
      case '\r':
        FlushPending(Piece + Start, I - Start);
        FCursor = 0;
        Start = I + 1;
        break;
      default:
        break;
    }
  }
  FlushPending(Piece + Start, Count - Start);
  EmitLine(false);
}

void TXcReader::FinishLine()
{
  if (!FLine.empty()) EmitLine(false);
}

void TXcReader::EndOfStream()
{
  try {
    FinishLine();
  } catch (...) {
    ReportHandlerException(FOwner);
  }
  FOwner->PostThreadFinished();
}

void TXcReader::ReadThreadTerminated(TObject*)
{
  if (!FReadThread) return;
  if (FDraining) {
    // A drain further up the stack is still assembling: hand it the rest and the end.
    // Into a store of its own: the running drain is reading FBatch in place.
    while (FReadThread->TakeBatch(FRest, XcMaxBufferSize) > 0) {
    }
    FReadThread = nullptr;
    FEndPending = true;
    return;
  }
  try {
    DrainBuffer();
  } catch (...) {
    ReportHandlerException(FOwner);
  }
  FReadThread = nullptr;
  EndOfStream();
}

// ---------------------------------------------------------------------------------------------
// TXcReadThread

TXcReadThread::TXcReadThread(TXcReader* Reader, HWND Window, HANDLE Pipe)
    : TThread(true), FReader(Reader), FPipe(Pipe), FWindow(Window), FData(XcInitialBufferSize)
{
  FTaken = CreateEventA(nullptr, FALSE, FALSE, nullptr);
  SetFreeOnTerminate(true);
  SetPriority(tpLower);
}

TXcReadThread::~TXcReadThread()
{
  FLock.Enter();
  CloseHandleAndClear(FPipe);
  FLock.Leave();
  CloseHandleAndClear(FTaken);
}

void TXcReadThread::Execute()
{
  while (!GetTerminated()) {
    FLock.Enter();
    HANDLE Pipe = FPipe;
    FLock.Leave();
    if (!Pipe) break;
    DWORD Read = 0;
    if (ReadFile(Pipe, FReadBuffer.data(), XcChunkSize, &Read, nullptr)) {
      DWORD Waiting = 0;
      const bool More = Read == XcChunkSize && PeekNamedPipe(Pipe, nullptr, 0, nullptr, &Waiting, nullptr) && Waiting > 0;
      AppendData(FReadBuffer.data(), static_cast<int>(Read), !More || FUnannounced + static_cast<int>(Read) >= XcNotifyBytes);
      continue;
    }
    const DWORD Error = GetLastError();
    // A broken pipe is the end of the stream; an invalid handle means it was closed under us.
    if (Error == ERROR_BROKEN_PIPE || Error == ERROR_INVALID_HANDLE) break;
  }
}

void TXcReadThread::AppendData(const char* Bytes, int Count, bool Notify)
{
  bool Post = false;
  FLock.Enter();
  if (Count > 0 && FCount + Count > XcMaxBufferSize && !FGaveUp && FTaken && !FDetached.load()) {
    // Full: the GUI thread may only be waiting for its turn on a busy machine.
    const Int64 Deadline = GetTickCount64() + XcFullBufferGraceMs;
    ResetEvent(FTaken);
    while (FCount + Count > XcMaxBufferSize && !FDetached.load()) {
      const Int64 Now = GetTickCount64();
      if (Now >= Deadline) break;
      FWaitingForRoom = true;
      FLock.Leave();
      WaitForSingleObject(FTaken, static_cast<DWORD>(Deadline - Now));
      FLock.Enter();
      FWaitingForRoom = false;
    }
    FGaveUp = FCount + Count > XcMaxBufferSize;
  }
  if (Count > 0) {
    while (FCount + Count > FCapacity && FCapacity <= XcMaxBufferSize / 2) {
      // Doubled, the unread bytes put in order at the start.
      std::vector<char> Grown(static_cast<std::size_t>(FCapacity) * 2);
      const int First = std::min(FCount, FCapacity - FHead);
      std::memcpy(Grown.data(), FData.data() + FHead, static_cast<std::size_t>(First));
      std::memcpy(Grown.data() + First, FData.data(), static_cast<std::size_t>(FCount - First));
      FData.swap(Grown);
      FCapacity *= 2;
      FHead = 0;
    }
    if (FCount + Count > FCapacity) {
      // The tool is far ahead of the GUI: the unread data is dropped, the newest bytes stay.
      FHead = 0;
      FCount = 0;
      if (Count > FCapacity) {
        Bytes += Count - FCapacity;
        Count = FCapacity;
      }
    }
    const int Tail = (FHead + FCount) % FCapacity;
    const int First = std::min(Count, FCapacity - Tail);
    std::memcpy(FData.data() + Tail, Bytes, static_cast<std::size_t>(First));
    std::memcpy(FData.data(), Bytes + First, static_cast<std::size_t>(Count - First));
    FCount += Count;
  }
  if (!Notify) {
    FUnannounced += std::max(Count, 0);
    FLock.Leave();
    return;
  }
  FUnannounced = 0;
  // One message stands for any number of appends until the GUI takes data again.
  Post = !FMessagePending;
  FMessagePending = true;
  FLock.Leave();
  if (Post && !FDetached.load()) PostMessageA(FWindow, ReadDataMessage, reinterpret_cast<WPARAM>(FReader), 0);
}

bool TXcReadThread::TakeData(char* Destination, int& Count)
{
  std::vector<char> Piece;
  Piece.reserve(XcChunkSize);
  Count = TakeBatch(Piece, XcChunkSize);
  if (Count > 0) std::memcpy(Destination, Piece.data(), static_cast<std::size_t>(Count));
  return Count > 0;
}

int TXcReadThread::TakeBatch(std::vector<char>& Destination, int MaxBytes)
{
  FLock.Enter();
  const int Count = std::min(std::max(MaxBytes, 0), FCount);
  const int First = std::min(Count, FCapacity - FHead);
  Destination.insert(Destination.end(), FData.data() + FHead, FData.data() + FHead + First);
  Destination.insert(Destination.end(), FData.data(), FData.data() + (Count - First));
  FHead = FCount == Count ? 0 : (FHead + Count) % FCapacity;
  FCount -= Count;
  if (Count > 0) {
    FGaveUp = false;
    if (FWaitingForRoom) SetEvent(FTaken);
  }
  // While bytes wait, the GUI comes back for them by itself (a drain that stops at its limit
  // asks for the next one); only an empty buffer needs a message for the next bytes.
  if (FCount == 0) FMessagePending = false;
  FLock.Leave();
  return Count;
}

void TXcReadThread::Detach()
{
  FDetached.store(true);
  Terminate();
  FLock.Enter();
  CloseHandleAndClear(FPipe);
  if (FTaken) SetEvent(FTaken);  // a wait for room ends now
  FLock.Leave();
}

void TXcReadThread::DoTerminate()
{
  if (FDetached.load()) return;
  Synchronize([this] {
    if (!FDetached.load() && OnTerminate) OnTerminate(this);
  });
}

// ---------------------------------------------------------------------------------------------
// Watcher threads

TXcWaitForProcessThread::TXcWaitForProcessThread(HANDLE Process) : TThread(true), FProcess(Process)
{
  FStopEvent = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  CheckOSResult(FStopEvent != nullptr);
  SetFreeOnTerminate(true);
  SetPriority(tpLower);
}

TXcWaitForProcessThread::~TXcWaitForProcessThread() { CloseHandleAndClear(FStopEvent); }

void TXcWaitForProcessThread::Detach()
{
  FDetached.store(true);
  Terminate();
  SetEvent(FStopEvent);
}

void TXcWaitForProcessThread::Execute()
{
  WaitForInputIdle(FProcess, INFINITE);
  const HANDLE Handles[2] = {FStopEvent, FProcess};
  const DWORD Result = WaitForMultipleObjects(2, Handles, FALSE, INFINITE);
  if (Result == WAIT_OBJECT_0) {
    FExitCode.store(StoppedExitCode);
  } else if (Result == WAIT_OBJECT_0 + 1) {
    DWORD Code = 0;
    GetExitCodeProcess(FProcess, &Code);
    FExitCode.store(Code);
  } else {
    RaiseLastOSError();
  }
}

void TXcWaitForProcessThread::DoTerminate()
{
  if (FDetached.load()) return;
  Synchronize([this] {
    if (!FDetached.load() && OnTerminate) OnTerminate(this);
  });
}

TXcConsoleThread::TXcConsoleThread(HANDLE Process, HANDLE StdIn) : TXcWaitForProcessThread(Process), FStdIn(StdIn)
{
  FInputReady = CreateEventA(nullptr, TRUE, FALSE, nullptr);
  if (!FInputReady) {
    CloseHandleAndClear(FStdIn);
    RaiseLastOSError();
  }
  FStdInClosed = FStdIn == nullptr;
}

TXcConsoleThread::~TXcConsoleThread()
{
  CloseHandleAndClear(FStdIn);
  CloseHandleAndClear(FInputReady);
}

void TXcConsoleThread::Execute()
{
  WaitForInputIdle(FProcess, INFINITE);
  const HANDLE Handles[3] = {FStopEvent, FProcess, FInputReady};
  DWORD Count = 3;
  while (!GetTerminated()) {
    const DWORD Result = WaitForMultipleObjects(Count, Handles, FALSE, INFINITE);
    if (Result == WAIT_OBJECT_0) {
      FExitCode.store(StoppedExitCode);
      break;
    }
    if (Result == WAIT_OBJECT_0 + 1) {
      DWORD Code = 0;
      GetExitCodeProcess(FProcess, &Code);
      FExitCode.store(Code);
      break;
    }
    if (Result == WAIT_OBJECT_0 + 2 && Count == 3) {
      if (!WriteQueuedInput()) Count = 2;
      continue;
    }
    break;
  }
}

bool TXcConsoleThread::QueueInput(const String& Text)
{
  if (Text.empty()) return true;
  FLock.Enter();
  bool Queued = false;
  if (!FStdInClosed && Text.size() + static_cast<std::size_t>(FQueued) <= XcInputQueueSize) {
    std::memcpy(FQueue.data() + FQueued, Text.data(), Text.size());
    FQueued += static_cast<int>(Text.size());
    SetEvent(FInputReady);
    Queued = true;
  }
  FLock.Leave();
  return Queued;
}

bool TXcConsoleThread::WriteQueuedInput()
{
  // The bytes are written outside the lock, so that a tool that does not read its input
  // cannot block the GUI thread in QueueInput; only this thread removes bytes from the queue.
  std::array<char, XcInputQueueSize> Pending;
  int Count = 0;
  FLock.Enter();
  if (!FStdInClosed && FQueued > 0) {
    Count = FQueued;
    std::memcpy(Pending.data(), FQueue.data(), static_cast<std::size_t>(Count));
  }
  FLock.Leave();

  BOOL Written = TRUE;
  DWORD Done = 0;
  DWORD Error = 0;
  if (Count > 0) {
    Written = WriteFile(FStdIn, Pending.data(), static_cast<DWORD>(Count), &Done, nullptr);
    if (!Written) Error = GetLastError();
  }

  FLock.Enter();
  if (Count > 0) {
    if (!Written) {
      if (Error == ERROR_NO_DATA || Error == ERROR_BROKEN_PIPE) {
        CloseHandleAndClear(FStdIn);
        FStdInClosed = true;
      }
    } else if (Done > 0) {
      const int K = static_cast<int>(std::min<DWORD>(Done, static_cast<DWORD>(FQueued)));
      std::memmove(FQueue.data(), FQueue.data() + K, static_cast<std::size_t>(FQueued - K));
      FQueued -= K;
    }
  }
  if (FQueued == 0) ResetEvent(FInputReady);
  const bool Open = !FStdInClosed;
  FLock.Leave();
  return Open;
}

// ---------------------------------------------------------------------------------------------
// TXcCreateProcess

TXcCreateProcess::TXcCreateProcess(TComponent* AOwner)
    : TXcComponent(AOwner),
      FEnvironment(std::make_unique<TStringList>()),
      FStartupInfo(std::make_unique<TXcCPSStartupInfo>()),
      FOutputReader(std::make_unique<TXcReader>(this)),
      FErrorReader(std::make_unique<TXcReader>(this))
{
}

TXcCreateProcess::~TXcCreateProcess()
{
  try {
    DetachFromProcess();
  } catch (...) {
  }
  FErrorReader.reset();
  FOutputReader.reset();
  if (FWindow) {
    DestroyUtilityWindow(FWindow);
    FWindow = nullptr;
  }
  CloseHandleAndClear(FProcessInformation.hProcess);
  CloseHandleAndClear(FProcessInformation.hThread);
  CloseKillHandle();
}

HWND TXcCreateProcess::EnsureMessageWindow()
{
  if (!FWindow) {
    FWindow = CreateUtilityWindow("", [this](TMessage& Message) { HandleWindowMessage(Message); });
    // Without the window no report could ever arrive: refuse to run.
    CheckOSResult(FWindow != nullptr);
  }
  return FWindow;
}

void TXcCreateProcess::EnsureNoWaitedProcess()
{
  if (FState == Watched && FWatcherCount > 0) throw EXCLException(XcCreateProcessConsts::SProcessRunning);
}

void TXcCreateProcess::EnsureReady()
{
  if (FState != Ready) throw EXCLException(XcCreateProcessConsts::SProcessRunning);
}

void TXcCreateProcess::ReleaseProcessHandles()
{
  CheckOSResult(CloseHandleAndClear(FProcessInformation.hProcess));
  CheckOSResult(CloseHandleAndClear(FProcessInformation.hThread));
}

void TXcCreateProcess::ResetState()
{
  EnsureNoWaitedProcess();
  FState = Ready;
  CloseKillHandle();
  ReleaseProcessHandles();
  FWatcherCount = 0;
}

void TXcCreateProcess::SetWaitForTerminate(bool Value)
{
  ResetState();
  FWaitForTerminate = Value;
}

void TXcCreateProcess::FillStartupInfo(STARTUPINFOA& Info)
{
  Info = STARTUPINFOA{};
  Info.cb = sizeof(STARTUPINFOA);
  TXcCPSStartupInfo& S = *FStartupInfo;
  if (!S.Desktop.empty()) Info.lpDesktop = S.Desktop.data();
  if (!S.Title.empty()) Info.lpTitle = S.Title.data();
  if (!S.DefaultPosition) {
    Info.dwX = static_cast<DWORD>(S.Left);
    Info.dwY = static_cast<DWORD>(S.Top);
    Info.dwFlags |= STARTF_USEPOSITION;
  }
  if (!S.DefaultSize) {
    Info.dwXSize = static_cast<DWORD>(S.Width);
    Info.dwYSize = static_cast<DWORD>(S.Height);
    Info.dwFlags |= STARTF_USESIZE;
  }
  if (!S.DefaultWindowState) {
    Info.wShowWindow = XcShowWindowValue(S.ShowWindow);
    Info.dwFlags |= STARTF_USESHOWWINDOW;
  }
  if (S.ForceOnFeedback) Info.dwFlags |= STARTF_FORCEONFEEDBACK;
  if (S.ForceOffFeedback) Info.dwFlags |= STARTF_FORCEOFFFEEDBACK;
}

namespace {

HANDLE MakePipe(HANDLE& ReadEnd, HANDLE& WriteEnd)
{
  SECURITY_ATTRIBUTES Attributes;
  Attributes.bInheritHandle = TRUE;
  Attributes.lpSecurityDescriptor = nullptr;
  CheckOSResult(CreatePipe(&ReadEnd, &WriteEnd, &Attributes, 0) != FALSE);
  return ReadEnd;
}

// The parent's own, not inheritable copy; the source handle is closed.
HANDLE ParentCopy(HANDLE Source)
{
  HANDLE Target = nullptr;
  CheckOSResult(DuplicateHandle(GetCurrentProcess(), Source, GetCurrentProcess(), &Target, 0, FALSE,
                                DUPLICATE_SAME_ACCESS | DUPLICATE_CLOSE_SOURCE) != FALSE);
  return Target;
}

HANDLE ChildCopy(HANDLE Source)
{
  HANDLE Target = nullptr;
  CheckOSResult(DuplicateHandle(GetCurrentProcess(), Source, GetCurrentProcess(), &Target, 0, TRUE,
                                DUPLICATE_SAME_ACCESS) != FALSE);
  return Target;
}

}  // namespace

void TXcCreateProcess::CreateRedirectPipes(TXcRWEHandles& Parent, TXcRWEHandles& Child, bool SeparateError)
{
  if (!Child.GetHandle(TXcRWEHandles::Write)) {
    HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
    MakePipe(ReadEnd, WriteEnd);
    Child.SetHandle(TXcRWEHandles::Write, WriteEnd);
    Parent.SetHandle(TXcRWEHandles::Read, ParentCopy(ReadEnd));  // closes ReadEnd in any case
  }
  if (!Child.GetHandle(TXcRWEHandles::Error)) {
    if (SeparateError) {
      HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
      MakePipe(ReadEnd, WriteEnd);
      Child.SetHandle(TXcRWEHandles::Error, WriteEnd);
      Parent.SetHandle(TXcRWEHandles::Error, ParentCopy(ReadEnd));
    } else {
      Child.SetHandle(TXcRWEHandles::Error, ChildCopy(Child.GetHandle(TXcRWEHandles::Write)));
    }
  }
  if (!Child.GetHandle(TXcRWEHandles::Read)) {
    HANDLE ReadEnd = nullptr, WriteEnd = nullptr;
    MakePipe(ReadEnd, WriteEnd);
    Child.SetHandle(TXcRWEHandles::Read, ReadEnd);
    Parent.SetHandle(TXcRWEHandles::Write, ParentCopy(WriteEnd));
  }
}

void TXcCreateProcess::StartProcess()
{
  ResetState();
  FProcessInformation = PROCESS_INFORMATION{};
  EnsureMessageWindow();

  DWORD Flags = XcPriorityClass(FPriority);
  for (TXcCPSFlag Flag : FCreationFlags) Flags |= XcCreationFlag(Flag);
  const String AppName = Trim(FApplicationName);
  const String Directory = Trim(FCurrentDirectory);

  // Freed in this order whatever happens: the child's pipe ends (so that a reader sees the
  // pipe break when the child ends), the parent's unused ends, the environment block.
  struct TStartResources {
    char* Environment = nullptr;
    std::unique_ptr<TXcRWEHandles> Parent = std::make_unique<TXcRWEHandles>();
    std::unique_ptr<TXcRWEHandles> Child = std::make_unique<TXcRWEHandles>();
    ~TStartResources()
    {
      Child.reset();
      Parent.reset();
      FreeMultiSzBlock(Environment);
    }
  } R;
  if (FEnvironment->GetCount() > 0) R.Environment = StringsToMultiSz(FEnvironment.get());

  STARTUPINFOA Info;
  FillStartupInfo(Info);
  const bool Redirect = FConsoleOptions.count(coRedirect) != 0;
  const bool SeparateError = FConsoleOptions.count(coSeparateError) != 0;
  if (Redirect) {
    CreateRedirectPipes(*R.Parent, *R.Child, SeparateError);
    Info.dwFlags |= STARTF_USESTDHANDLES;
    Info.hStdInput = R.Child->GetHandle(TXcRWEHandles::Read);
    Info.hStdOutput = R.Child->GetHandle(TXcRWEHandles::Write);
    Info.hStdError = R.Child->GetHandle(TXcRWEHandles::Error);
  }

  String Command = FCommandLine;
  if (!CreateProcessA(AppName.empty() ? nullptr : AppName.c_str(), Command.data(), nullptr, nullptr,
                      Redirect ? TRUE : FALSE, Flags, R.Environment, Directory.empty() ? nullptr : Directory.c_str(),
                      &Info, &FProcessInformation)) {
    const DWORD Error = GetLastError();
    ReleaseProcessHandles();
    RaiseLastOSError(Error);
  }
  ++FRunSerial;
  CloseKillHandle();
  if (!DuplicateHandle(GetCurrentProcess(), FProcessInformation.hProcess, GetCurrentProcess(), &FKillHandle, 0,
                       FALSE, DUPLICATE_SAME_ACCESS))
    FKillHandle = nullptr;  // KillProcess falls back to the process id

  if (Redirect) {
    FState = Watched;
    FWatcherCount = SeparateError ? 3 : 2;
    auto* Thread = new TXcConsoleThread(FProcessInformation.hProcess, R.Parent->ExtractHandle(TXcRWEHandles::Write));
    Thread->OnTerminate = [this](TObject* Sender) { WaitThreadTerminated(Sender); };
    FWaitThread = Thread;
    Thread->Start();
    FOutputReader->Start(R.Parent->ExtractHandle(TXcRWEHandles::Read));
    if (SeparateError) FErrorReader->Start(R.Parent->ExtractHandle(TXcRWEHandles::Error));
  } else if (FWaitForTerminate) {
    FState = Watched;
    FWatcherCount = 1;
    auto* Thread = new TXcWaitForProcessThread(FProcessInformation.hProcess);
    Thread->OnTerminate = [this](TObject* Sender) { WaitThreadTerminated(Sender); };
    FWaitThread = Thread;
    Thread->Start();
  } else {
    WaitForInputIdle(FProcessInformation.hProcess, INFINITE);
    EnsureReady();
    FState = Started;
    ReleaseProcessHandles();
  }
}

bool TXcCreateProcess::KillProcess()
{
  if (FState == Ready) throw EXCLException(XcCreateProcessConsts::SProcessNotRunning);
  if (!FKillHandle) return KillProcessById(FProcessInformation.dwProcessId);
  // Ended (perhaps just now, before its OnTerminate ran, or by an earlier kill): nothing to do.
  if (WaitForSingleObject(FKillHandle, 0) == WAIT_OBJECT_0) return false;
  return TerminateProcess(FKillHandle, 0) != FALSE;
}

void TXcCreateProcess::CloseKillHandle()
{
  if (FKillHandle) CloseHandle(FKillHandle);
  FKillHandle = nullptr;
}

void TXcCreateProcess::ScheduleDrain(TXcReader* Reader)
{
  const UINT_PTR Timer = Reader == FErrorReader.get() ? XcErrorDrainTimer : XcOutputDrainTimer;
  if (GetQueueStatus(QS_TIMER | QS_PAINT) & 0xFFFF)
    SetTimer(FWindow, Timer, 0, nullptr);
  else
    PostMessageA(FWindow, ReadDataMessage, reinterpret_cast<WPARAM>(Reader), 0);
}

bool TXcCreateProcess::QueueInputText(const String& Text)
{
  auto* Console = dynamic_cast<TXcConsoleThread*>(FWaitThread);
  if (!Console) return false;
  return Console->QueueInput(Text);
}

void TXcCreateProcess::DetachFromProcess()
{
  if (FState != Watched) return;
  if (FWaitThread) {
    TXcWaitForProcessThread* Thread = FWaitThread;
    FWaitThread = nullptr;
    Thread->OnTerminate = nullptr;
    Thread->Detach();
  }
  FOutputReader->Stop();
  FErrorReader->Stop();
  FWatcherCount = 0;
  ++FRunSerial;  // reports still queued for the old run are ignored
  ResetState();
}

void TXcCreateProcess::PostThreadFinished()
{
  PostMessageA(FWindow, ThreadFinishedMessage, 0, static_cast<LPARAM>(FRunSerial));
}

void TXcCreateProcess::WaitThreadTerminated(TObject* Sender)
{
  auto* Thread = static_cast<TXcWaitForProcessThread*>(Sender);
  FExitCode = Thread->GetExitCode();
  if (FWaitThread == Thread) FWaitThread = nullptr;
  PostThreadFinished();
}

void TXcCreateProcess::HandleThreadFinished()
{
  if (FState != Watched) return;
  if (--FWatcherCount > 0) return;
  FWatcherCount = 0;
  ResetState();
  if (OnTerminate) OnTerminate(this, FExitCode);
}

void TXcCreateProcess::HandleWindowMessage(TMessage& Message)
{
  try {
    switch (Message.Msg) {
      case ReadDataMessage: {
        auto* Reader = reinterpret_cast<TXcReader*>(Message.WParam);
        if (Reader != FOutputReader.get() && Reader != FErrorReader.get()) break;
        // Timers and painting that are due get their turn first.
        if (GetQueueStatus(QS_TIMER | QS_PAINT) & 0xFFFF)
          ScheduleDrain(Reader);
        else
          Reader->DrainBuffer(XcPiecesPerMessage);
        break;
      }
      case WM_TIMER:
        if (Message.WParam == XcOutputDrainTimer || Message.WParam == XcErrorDrainTimer) {
          KillTimer(FWindow, Message.WParam);
          (Message.WParam == XcErrorDrainTimer ? FErrorReader : FOutputReader)->DrainBuffer(XcPiecesPerMessage);
        } else {
          Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
        }
        break;
      case ThreadFinishedMessage:
        if (static_cast<Cardinal>(Message.LParam) == FRunSerial) HandleThreadFinished();
        break;
      default:
        Message.Result = DefWindowProcA(FWindow, Message.Msg, Message.WParam, Message.LParam);
        break;
    }
  } catch (...) {
    ReportHandlerException(this);
  }
}
