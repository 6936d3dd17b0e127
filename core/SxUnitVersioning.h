// The process-wide registry of unit revisions: every unit of the system library records its
// revision when the program starts and drops it when the program ends. The registry object of
// the process is found through a named mutex and a small named shared memory that holds its
// address, so that every module of the process uses the same one.
#pragma once

#include <memory>
#include <vector>

#include "platform/os/KernelObjects.h"
#include "platform/rtl/System.h"

struct TUnitVersionInfo {
  const char* RCSfile = "";
  const char* Revision = "";
  const char* Date = "";
  const char* LogPath = "";
  const char* Extra = "";
  const void* Data = nullptr;
};

class TUnitVersion : public TObject {
public:
  explicit TUnitVersion(const TUnitVersionInfo* Info) : FInfo(Info) {}
  const TUnitVersionInfo* GetInfo() const { return FInfo; }

private:
  const TUnitVersionInfo* FInfo;
};

class TUnitVersioningModule : public TObject {
public:
  explicit TUnitVersioningModule(HINSTANCE Instance) : FInstance(Instance) {}
  HINSTANCE GetInstance() const { return FInstance; }
  int GetCount() const { return static_cast<int>(FItems.size()); }
  TUnitVersion* GetItem(int Index) const { return FItems[static_cast<std::size_t>(Index)].get(); }
  bool HasInfo(const TUnitVersionInfo* Info) const;
  void Add(const TUnitVersionInfo* Info) { FItems.push_back(std::make_unique<TUnitVersion>(Info)); }

private:
  HINSTANCE FInstance;
  std::vector<std::unique_ptr<TUnitVersion>> FItems;
};

// A provider of revision data that is told when a module goes.
class TCustomUnitVersioningProvider : public TObject {
public:
  virtual void ReleaseModuleVersions(HINSTANCE Instance) = 0;
};

class TUnitVersioning : public TObject {
public:
  virtual void AddRevision(HINSTANCE Instance, const TUnitVersionInfo* Info);
  virtual void DropModule(HINSTANCE Instance);

  int GetModuleCount() const { return static_cast<int>(FModules.size()); }
  TUnitVersioningModule* GetModule(int Index) const { return FModules[static_cast<std::size_t>(Index)].get(); }
  void RegisterProvider(std::unique_ptr<TCustomUnitVersioningProvider> Provider);

private:
  std::vector<std::unique_ptr<TUnitVersioningModule>> FModules;
  std::vector<std::unique_ptr<TCustomUnitVersioningProvider>> FProviders;
};

// The registry of this process (made on first use), or nullptr after CloseUnitRegistry.
TUnitVersioning* ProcessUnitRegistry();
void AddUnitRevision(HINSTANCE Instance, const TUnitVersionInfo* Info);
void RemoveModuleRevisions(HINSTANCE Instance);
// Ends the registry (never raises).
void CloseUnitRegistry();
