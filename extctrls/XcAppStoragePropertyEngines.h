// The process-wide registry of property engines of the application storage: objects that know
// how to store special kinds of published properties. The list owns its engines and frees them
// (last first) when it is destroyed. It exists from program start-up to shutdown.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

class TXcAppStoragePropertyEngineList {
public:
  TXcAppStoragePropertyEngineList() = default;
  // Frees every engine, from the last entry to the first.
  ~TXcAppStoragePropertyEngineList();
  TXcAppStoragePropertyEngineList(const TXcAppStoragePropertyEngineList&) = delete;
  TXcAppStoragePropertyEngineList& operator=(const TXcAppStoragePropertyEngineList&) = delete;

  // Takes ownership of Engine.
  void Add(TObject* Engine) { FItems.push_back(Engine); }
  int GetCount() const { return static_cast<int>(FItems.size()); }
  TObject* GetItem(int Index) const { return FItems.at(static_cast<std::size_t>(Index)); }

private:
  std::vector<TObject*> FItems;
};

// Made at start-up and freed at shutdown (both once); nil outside that time.
void CreateEngineRegistry();
void DestroyEngineRegistry();
TXcAppStoragePropertyEngineList* GetPropertyEngineRegistry();
