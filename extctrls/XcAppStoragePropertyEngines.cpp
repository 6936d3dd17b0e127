#include "extctrls/XcAppStoragePropertyEngines.h"

namespace {

TXcAppStoragePropertyEngineList* Registry = nullptr;

// Start-up and shutdown of the registry with the program.
struct TRegistryLifetime {
  TRegistryLifetime() { CreateEngineRegistry(); }
  ~TRegistryLifetime() { DestroyEngineRegistry(); }
};
const TRegistryLifetime RegistryLifetime;

}  // namespace

TXcAppStoragePropertyEngineList::~TXcAppStoragePropertyEngineList()
{
  while (!FItems.empty()) {
    TObject* Engine = FItems.back();
    FItems.pop_back();
    delete Engine;
  }
}

void CreateEngineRegistry() { Registry = new TXcAppStoragePropertyEngineList(); }

void DestroyEngineRegistry()
{
  delete Registry;
  Registry = nullptr;
}

TXcAppStoragePropertyEngineList* GetPropertyEngineRegistry() { return Registry; }
