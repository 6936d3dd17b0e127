// Named shared memory with a process-wide reference list: opening a name that this process
// has open already (case ignored) hands out the same view again and counts a reference;
// the mapping goes when the last reference is closed.
#pragma once

#include "core/SxSysUtils.h"
#include <mutex>

#include "platform/os/FileMapping.h"

// Opens or makes the page-file mapping Name of Size bytes and maps it whole with Access
// (FILE_MAP_*). Result: ERROR_ALREADY_EXISTS (183) when the mapping existed (in this process
// or another), 0 when it was made. Raises ESharedMemError for an invalid name on old systems
// or a size of 0 for a mapping that does not exist, EOSError when the system refuses.
Cardinal OpenNamedSharedMemory(void*& View, const String& Name, Cardinal Size, DWORD Access);
// Drops one reference of the view; the last one unmaps it and closes the mapping. False (and
// View kept) when the view is not one of ours; an empty View gives True.
bool CloseNamedSharedMemory(void*& View);

// The lock of the list: an interface whose AddRef enters a critical section and whose Release
// leaves it, so that holding a reference holds the lock.
class TSxIntfCriticalSection {
public:
  TSxIntfCriticalSection() = default;
  TSxIntfCriticalSection(const TSxIntfCriticalSection&) = delete;
  TSxIntfCriticalSection& operator=(const TSxIntfCriticalSection&) = delete;
  int AddRef();
  int Release();

private:
  std::recursive_mutex FSection;
};

// For tests: the number of entries in the list.
int SharedMemoryListCount();
