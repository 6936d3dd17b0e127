#include "core/SxUnitVersioning.h"

#include <cstring>

#include "core/SxSharedMemory.h"
#include "platform/os/Process.h"
#include "platform/os/Sync.h"
#include "platform/os/Wait.h"
#include "platform/rtl/Convert.h"

bool TUnitVersioningModule::HasInfo(const TUnitVersionInfo* Info) const
{
  for (const auto& Item : FItems)
    if (Item->GetInfo() == Info) return true;
  return false;
}

void TUnitVersioning::AddRevision(HINSTANCE Instance, const TUnitVersionInfo* Info)
{
  for (const auto& Module : FModules)
    if (Module->GetInstance() == Instance) {
      if (!Module->HasInfo(Info)) Module->Add(Info);
      return;
    }
  FModules.push_back(std::make_unique<TUnitVersioningModule>(Instance));
  FModules.back()->Add(Info);
}

void TUnitVersioning::DropModule(HINSTANCE Instance)
{
  for (auto It = FModules.rbegin(); It != FModules.rend(); ++It)
    if ((*It)->GetInstance() == Instance) {
      FModules.erase(std::next(It).base());
      break;
    }
  for (const auto& Provider : FProviders) Provider->ReleaseModuleVersions(Instance);
}

void TUnitVersioning::RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> Provider)
{
  FProviders.push_back(std::move(Provider));
}

namespace {

struct TRegistryState {
  bool Closed = false;
  HANDLE Mutex = nullptr;
  void* Shared = nullptr;
  TUnitVersioning* Registry = nullptr;
  bool Owned = false;
};

TRegistryState& Reg()
{
  static TRegistryState S;
  return S;
}

TUnitVersioning* ReadShared()
{
  TUnitVersioning* Address = nullptr;
  std::memcpy(&Address, Reg().Shared, sizeof Address);
  return Address;
}

void WriteShared(TUnitVersioning* Address) { std::memcpy(Reg().Shared, &Address, sizeof Address); }

// Holds the registry's mutex for a scope.
class TMutexHold {
public:
  explicit TMutexHold(HANDLE Mutex) : FMutex(Mutex) { WaitForSingleObject(FMutex, INFINITE); }
  ~TMutexHold() { ReleaseMutex(FMutex); }
  TMutexHold(const TMutexHold&) = delete;
  TMutexHold& operator=(const TMutexHold&) = delete;

private:
  HANDLE FMutex;
};

}  // namespace

TUnitVersioning* ProcessUnitRegistry()
{
  TRegistryState& S = Reg();
  if (S.Closed) return nullptr;
  const String Pid = IntToStr(static_cast<Int64>(GetCurrentProcessId()));
  if (!S.Mutex) {
    S.Mutex = CreateMutexA(nullptr, FALSE, ("MutexNPA_UnitVersioning_" + Pid).c_str());
    if (!S.Mutex) RaiseLastOSError();
  }
  if (!S.Registry) {
    TMutexHold Hold(S.Mutex);
    // The shared memory holds an address: pointer-sized on this system.
    if (!S.Shared)
      OpenNamedSharedMemory(S.Shared, "ShmNPA_UnitVersioning_" + Pid, sizeof(void*), FILE_MAP_ALL_ACCESS);
    S.Registry = ReadShared();
    if (!S.Registry) {
      S.Registry = new TUnitVersioning;
      WriteShared(S.Registry);
      S.Owned = true;
    }
  } else if (S.Shared) {
    TMutexHold Hold(S.Mutex);
    S.Registry = ReadShared();
  }
  return S.Registry;
}

void AddUnitRevision(HINSTANCE Instance, const TUnitVersionInfo* Info)
{
  if (TUnitVersioning* Registry = ProcessUnitRegistry()) Registry->AddRevision(Instance, Info);
}

void RemoveModuleRevisions(HINSTANCE Instance)
{
  if (TUnitVersioning* Registry = ProcessUnitRegistry()) Registry->DropModule(Instance);
}

void CloseUnitRegistry()
{
  TRegistryState& S = Reg();
  S.Closed = true;
  try {
    if (S.Shared && S.Mutex) {
      TMutexHold Hold(S.Mutex);
      WriteShared(nullptr);
      CloseNamedSharedMemory(S.Shared);
    }
    if (S.Owned) delete S.Registry;
  } catch (...) {
  }
  S.Registry = nullptr;
  S.Owned = false;
  if (S.Mutex) CloseHandle(S.Mutex);
  S.Mutex = nullptr;
}
