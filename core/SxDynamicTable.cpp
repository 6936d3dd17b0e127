#include "core/SxDynamicTable.h"

#include <map>
#include <mutex>

namespace {

std::mutex& TablesLock()
{
  static std::mutex Lock;
  return Lock;
}

std::map<std::type_index, TDynamicTable>& Tables()
{
  static std::map<std::type_index, TDynamicTable> T;
  return T;
}

TDynamicTable* Find(std::type_index Class)
{
  auto It = Tables().find(Class);
  return It == Tables().end() ? nullptr : &It->second;
}

}  // namespace

void RegisterDynamicTable(std::type_index Class, TDynamicTable Table)
{
  std::lock_guard<std::mutex> Guard(TablesLock());
  Table.Addresses.resize(Table.Indexes.size());
  Tables().insert_or_assign(Class, std::move(Table));
}

int DynamicTableCount(std::type_index Class)
{
  std::lock_guard<std::mutex> Guard(TablesLock());
  TDynamicTable* T = Find(Class);
  return T ? static_cast<int>(T->Indexes.size()) : 0;
}

std::uint16_t* DynamicTableIndexes(std::type_index Class)
{
  std::lock_guard<std::mutex> Guard(TablesLock());
  TDynamicTable* T = Find(Class);
  return T && !T->Indexes.empty() ? T->Indexes.data() : nullptr;
}

void** DynamicTableAddresses(std::type_index Class)
{
  std::lock_guard<std::mutex> Guard(TablesLock());
  TDynamicTable* T = Find(Class);
  return T && !T->Addresses.empty() ? T->Addresses.data() : nullptr;
}
