#include "app/SxAppInstances.h"

#include <cstring>
#include <set>

#include "platform/os/InstanceChannel.h"
#include "platform/os/Process.h"
#include "platform/os/ProcessLookup.h"
#include "platform/rtl/Convert.h"
#include "platform/rtl/Paths.h"

namespace {

// Object names longer than this are refused by the system; the optex adds its own prefixes.
constexpr std::size_t MaxBaseName = 200;

std::vector<String>& Arguments()
{
  static std::vector<String> List;
  return List;
}

// The process's end of the messages between copies, opened with the shared list.
std::unique_ptr<qv::os::TInstanceChannel>& Channel()
{
  static std::unique_ptr<qv::os::TInstanceChannel> Open;
  return Open;
}

TSxAppInstances*& Shared()
{
  static TSxAppInstances* Instance = nullptr;
  return Instance;
}

// Holds the optex for one access of the record.
class TRecordLock {
public:
  explicit TRecordLock(TSxOptex* Lock) : FLock(Lock) { FLock->Lock(); }
  ~TRecordLock() { FLock->Unlock(); }
  TRecordLock(const TRecordLock&) = delete;
  TRecordLock& operator=(const TRecordLock&) = delete;

private:
  TSxOptex* FLock;
};

String ClassNameOf(HWND Wnd, int BufferSize)
{
  std::vector<char> Buffer(static_cast<std::size_t>(BufferSize), '\0');
  const int N = GetClassNameA(Wnd, Buffer.data(), BufferSize);
  return String(Buffer.data(), static_cast<std::size_t>(N > 0 ? N : 0));
}

DWORD ProcessOf(HWND Wnd)
{
  DWORD Pid = 0;
  GetWindowThreadProcessId(Wnd, &Pid);
  return Pid;
}

// Every top-level window: ours, then those of the other copies.
std::vector<HWND> AllTopLevelWindows()
{
  std::vector<HWND> List;
  auto Collect = [](HWND Wnd, LPARAM L) -> BOOL {
    reinterpret_cast<std::vector<HWND>*>(L)->push_back(Wnd);
    return TRUE;
  };
  EnumWindows(Collect, reinterpret_cast<LPARAM>(&List));
  EnumRemoteWindows(Collect, reinterpret_cast<LPARAM>(&List));
  return List;
}

String StripDeleted(const String& Path)
{
  const String Mark = " (deleted)";
  if (Path.size() > Mark.size() && Path.compare(Path.size() - Mark.size(), Mark.size(), Mark) == 0)
    return Path.substr(0, Path.size() - Mark.size());
  return Path;
}

}  // namespace

// ---------------------------------------------------------------------------------------------
// Names and arguments

String TSxAppInstances::BaseName(const String& ExePath)
{
  String Name = "Sx" + ExePath;
  if (Name.size() <= MaxBaseName) return Name;
  // FNV-1a over the whole path keeps long paths apart.
  std::uint64_t Hash = 14695981039346656037ull;
  for (unsigned char C : ExePath) {
    Hash ^= C;
    Hash *= 1099511628211ull;
  }
  char Hex[17];
  std::snprintf(Hex, sizeof Hex, "%016llx", static_cast<unsigned long long>(Hash));
  return Name.substr(0, MaxBaseName - 17) + "#" + Hex;
}

void TSxAppInstances::SetArguments(std::vector<String> List) { Arguments() = std::move(List); }

const std::vector<String>& TSxAppInstances::GetArguments() { return Arguments(); }

ULONG_PTR TSxAppInstances::CommandLineData(const std::vector<String>& List, String& Data)
{
  Data.clear();
  bool LineBreak = false;
  for (const String& A : List)
    if (A.find_first_of("\r\n") != String::npos) LineBreak = true;
  // Lines cannot carry an argument that holds a line break: then each argument ends with a zero
  // byte, which no argument can hold.
  for (const String& A : List) {
    Data += A;
    if (LineBreak)
      Data += '\0';
    else
      Data += "\r\n";
  }
  return LineBreak ? CopyDataArgumentList : CopyDataCommandLine;
}

// ---------------------------------------------------------------------------------------------
// Windows of the copies

std::vector<HWND> TSxAppInstances::ThreadWindows(DWORD ProcessId, DWORD ThreadId)
{
  std::vector<HWND> List;
  if (ProcessId == GetCurrentProcessId()) {
    EnumThreadWindows(
        ThreadId,
        [](HWND Wnd, LPARAM L) -> BOOL {
          reinterpret_cast<std::vector<HWND>*>(L)->push_back(Wnd);
          return TRUE;
        },
        reinterpret_cast<LPARAM>(&List));
    return List;
  }
  struct TFilter {
    DWORD Pid, Tid;
    std::vector<HWND>* Out;
  } Filter{ProcessId, ThreadId, &List};
  EnumRemoteWindows(
      [](HWND Wnd, LPARAM L) -> BOOL {
        auto* F = reinterpret_cast<TFilter*>(L);
        DWORD Pid = 0;
        const DWORD Tid = GetWindowThreadProcessId(Wnd, &Pid);
        if (Pid == F->Pid && Tid == F->Tid) F->Out->push_back(Wnd);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&Filter));
  return List;
}

HWND TSxAppInstances::AppWindowOf(DWORD ProcessId)
{
  for (HWND Wnd : AllTopLevelWindows())
    if (ProcessOf(Wnd) == ProcessId && ClassNameOf(Wnd, 14) == "TApplication") return Wnd;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TSxAppInstances

TSxAppInstances::TSxAppInstances()
{
  FProcessId = GetCurrentProcessId();
  FExePath = qv::os::ModuleFileName();
  // The other copies reach this one's windows through its channel: it opens before any window
  // of the guard is made.
  if (qv::os::TInstanceChannel::Current() == nullptr) Channel() = std::make_unique<qv::os::TInstanceChannel>();
  const String Base = BaseName(FExePath);
  try {
    FLock = new TSxOptex(Base + "_Otx", 4000);
    TRecordLock Guard(FLock);
    FMapping = new TSxSwapFileMapping(Base + "_Map", PAGE_READWRITE, sizeof(TSxInstanceRecord), nullptr);
    FView = new TSxFileMappingView(FMapping, FILE_MAP_ALL_ACCESS, sizeof(TSxInstanceRecord), 0);
    if (!FMapping->GetExisted()) std::memset(FView->GetMemory(), 0, sizeof(TSxInstanceRecord));
  } catch (...) {
    delete FMapping;  // frees its view
    FMapping = nullptr;
    FView = nullptr;
    delete FLock;
    FLock = nullptr;
    throw;
  }
  FMessageId = RegisterWindowMessageA((Base + "_Msg").c_str());
}

TSxAppInstances::~TSxAppInstances()
{
  if (FLock && FView) {
    try {
      UnregisterInstance();
    } catch (...) {
    }
  }
  delete FMapping;
  delete FLock;
}

void TSxAppInstances::DropStaleEntries()
{
  TSxInstanceRecord& R = Record();
  if (R.Count > MaxListedInstances) R.Count = MaxListedInstances;
  if (R.Count == 0) return;
  // Copies of this executable that run now (our own id always counts).
  std::set<DWORD> Running{FProcessId};
  for (const auto& P : qv::os::ListUserProcesses(true))
    if (!P.ExeLink.empty() && StripDeleted(P.ExeLink) == FExePath) Running.insert(P.ProcessId);
  int Kept = 0;
  for (int I = 0; I < R.Count; ++I)
    if (Running.count(R.ProcessIds[I]) != 0) R.ProcessIds[Kept++] = R.ProcessIds[I];
  R.Count = static_cast<std::uint16_t>(Kept);
}

bool TSxAppInstances::RegisterInstance(std::uint16_t MaxInstances)
{
  int Before = 0, Max = 0;
  {
    TRecordLock Guard(FLock);
    TSxInstanceRecord& R = Record();
    DropStaleEntries();
    if (R.MaxInst == 0) R.MaxInst = MaxInstances;
    Before = R.Count;
    Max = R.MaxInst;
    // A full list takes nobody more; such a copy counts as surplus.
    if (Before >= MaxListedInstances) return false;
    R.ProcessIds[R.Count] = FProcessId;
    ++R.Count;
  }
  if (Before >= Max) return false;
  BroadcastNotification(AppInstanceCreated, static_cast<LPARAM>(FProcessId));
  return true;
}

void TSxAppInstances::UnregisterInstance()
{
  {
    TRecordLock Guard(FLock);
    TSxInstanceRecord& R = Record();
    const int Count = std::min<int>(R.Count, MaxListedInstances);
    for (int I = 0; I < Count; ++I)
      if (R.ProcessIds[I] == FProcessId) {
        std::memmove(&R.ProcessIds[I], &R.ProcessIds[I + 1], sizeof(std::uint32_t) * static_cast<std::size_t>(Count - I - 1));
        R.Count = static_cast<std::uint16_t>(Count - 1);
        break;
      }
  }
  BroadcastNotification(AppInstanceDestroyed, static_cast<LPARAM>(FProcessId));
}

void TSxAppInstances::BroadcastNotification(WPARAM Code, LPARAM Value)
{
  TRecordLock Guard(FLock);
  const TSxInstanceRecord R = Record();
  const int Count = std::min<int>(R.Count, MaxListedInstances);
  for (int I = 0; I < Count; ++I) {
    const DWORD Pid = R.ProcessIds[I];
    HWND App = AppWindowOf(Pid);
    if (App == nullptr) continue;
    const DWORD Thread = GetWindowThreadProcessId(App, nullptr);
    // A thread of another process is no thread here: the post fails with ERROR_INVALID_THREAD_ID
    // at once. Other failures (a full queue) are tried again for a while, not for ever.
    for (int Try = 0; Try < 1000 && !PostThreadMessageA(Thread, FMessageId, Code, Value); ++Try) {
      if (GetLastError() == 1444) break;  // ERROR_INVALID_THREAD_ID
      Sleep(1);
    }
    for (HWND Wnd : ThreadWindows(Pid, Thread)) SendNotifyMessageA(Wnd, FMessageId, Code, Value);
  }
}

int TSxAppInstances::RegisteredCount()
{
  TRecordLock Guard(FLock);
  return std::min<int>(Record().Count, MaxListedInstances);
}

int TSxAppInstances::IndexOfProcessId(DWORD ProcessId)
{
  TRecordLock Guard(FLock);
  const TSxInstanceRecord& R = Record();
  const int Count = std::min<int>(R.Count, MaxListedInstances);
  for (int I = 0; I < Count; ++I)
    if (R.ProcessIds[I] == ProcessId) return I;
  return -1;
}

DWORD TSxAppInstances::InstanceProcessId(int Index)
{
  TRecordLock Guard(FLock);
  const TSxInstanceRecord& R = Record();
  if (Index < 0 || Index >= std::min<int>(R.Count, MaxListedInstances)) return 0;
  return R.ProcessIds[Index];
}

HWND TSxAppInstances::InstanceAppWindow(int Index)
{
  const DWORD Pid = InstanceProcessId(Index);
  return Pid == 0 ? nullptr : AppWindowOf(Pid);
}

void TSxAppInstances::ActivateInstance(int Index)
{
  HWND App = InstanceAppWindow(Index);
  if (App == nullptr) return;
  if (ProcessOf(App) != FProcessId) {
    // Whether another copy is minimised is known there: its application window restores it
    // only when it is, and brings it to the front.
    DWORD_PTR Ignored = 0;
    SendMessageTimeoutA(App, WM_SYSCOMMAND, SC_RESTORE, 0, SMTO_NORMAL, CopyAnswerTimeoutMs, &Ignored);
    return;
  }
  if (IsIconic(App)) SendMessageA(App, WM_SYSCOMMAND, SC_RESTORE, 0);
  if (GetForegroundWindow() == App) return;
  SetForegroundWindow(App);
}

int TSxAppInstances::SendCommandLine(const String& ClassName, HWND OwnWindow)
{
  String Text;
  const ULONG_PTR Kind = CommandLineData(GetArguments(), Text);
  COPYDATASTRUCT Cds{};
  Cds.dwData = Kind;
  Cds.cbData = static_cast<DWORD>(Text.size());
  Cds.lpData = Text.empty() ? nullptr : Text.data();
  int Taken = 0;
  const int Own = IndexOfProcessId(FProcessId);
  for (HWND Wnd : AllTopLevelWindows()) {
    if (ClassNameOf(Wnd, 201) != ClassName) continue;
    const DWORD Pid = ProcessOf(Wnd);
    const int Index = IndexOfProcessId(Pid);  // the lock is released again before sending
    if (Index < 0) continue;
    DWORD_PTR Result = 0;
    // The receiving copy may be busy: the command line waits for it.
    const LRESULT Ok = SendMessageTimeoutA(Wnd, WM_COPYDATA, reinterpret_cast<WPARAM>(OwnWindow),
                                           reinterpret_cast<LPARAM>(&Cds), SMTO_NORMAL, INFINITE, &Result);
    // Copies listed before this one count; later ones are starting as well and may end.
    if (Ok && Result != 0 && Pid != FProcessId && (Own < 0 || Index < Own)) ++Taken;
  }
  return Taken;
}

// ---------------------------------------------------------------------------------------------

TSxAppInstances* SharedAppInstances()
{
  if (Shared() == nullptr) Shared() = new TSxAppInstances();
  return Shared();
}

void FreeSharedAppInstances()
{
  delete Shared();
  Shared() = nullptr;
}

int CheckCopyDataMessage(TMessage& Message, HWND OwnWindow)
{
  if (Message.Msg == WM_COPYDATA && reinterpret_cast<HWND>(Message.WParam) != OwnWindow &&
      Message.LParam != 0) {
    Message.Result = 1;
    return static_cast<int>(reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam)->dwData);
  }
  Message.Result = 0;
  return -1;
}

std::vector<char> CopyDataToBuffer(const TMessage& Message)
{
  const auto* Cds = reinterpret_cast<const COPYDATASTRUCT*>(Message.LParam);
  if (Cds == nullptr || Cds->lpData == nullptr || Cds->cbData == 0) return {};
  const char* Bytes = static_cast<const char*>(Cds->lpData);
  return std::vector<char>(Bytes, Bytes + Cds->cbData);
}

void CopyDataToStrings(const TMessage& Message, TStrings* Strings)
{
  const std::vector<char> Bytes = CopyDataToBuffer(Message);
  Strings->SetText(String(Bytes.begin(), Bytes.end()));
}

void ArgumentListToStrings(const std::vector<char>& Data, TStrings* Strings)
{
  TStringsUpdate Update(Strings);
  Strings->Clear();
  std::size_t Start = 0;
  for (std::size_t I = 0; I < Data.size(); ++I)
    if (Data[I] == '\0') {
      Strings->Add(String(Data.data() + Start, I - Start));
      Start = I + 1;
    }
  // A last argument without its zero (a damaged block) still counts.
  if (Start < Data.size()) Strings->Add(String(Data.data() + Start, Data.size() - Start));
}
