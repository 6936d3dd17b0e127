// The message-handler table of a class: message numbers with the handler of each. C++ classes
// have no such table of their own; a class that wants its handlers found (and replaced) by
// the extended controls registers one here. A class without a registered table has none.
#pragma once

#include <cstdint>
#include <typeindex>
#include <vector>

struct TDynamicTable {
  std::vector<std::uint16_t> Indexes;  // message numbers
  std::vector<void*> Addresses;        // handlers, in the same order
};

// Registers (or replaces) the table of a class.
void RegisterDynamicTable(std::type_index Class, TDynamicTable Table);
// The number of entries, 0 when the class has no table.
int DynamicTableCount(std::type_index Class);
// The first message number / handler address; only for a class whose count is above 0.
std::uint16_t* DynamicTableIndexes(std::type_index Class);
void** DynamicTableAddresses(std::type_index Class);
