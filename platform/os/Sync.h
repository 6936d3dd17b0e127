// Events, mutexes and semaphores in their Win32 shapes, unnamed (this process) or named
// (shared by every process of this user that opens the same name).
//
// Named objects live while some process holds a handle to them, as on Windows: when the last
// holder closes its handle or dies, the name is free again and the next Create makes a fresh
// object (GetLastError() is then 0, not ERROR_ALREADY_EXISTS). A crashed process therefore
// never leaves an object behind that makes a later start hang or believe another copy runs.
// A named mutex whose owning thread died is handed to the next waiter with WAIT_ABANDONED.
//
// Names: "Global\" and "Local\" prefixes are accepted and dropped (one namespace per user);
// names are case-sensitive; any byte may appear ("/" and "\" included): the name is hashed
// into a file name inside the user's runtime folder, so it cannot reach outside it. Events,
// mutexes, semaphores and mappings share one namespace: opening a name that belongs to an
// object of another kind fails with ERROR_INVALID_HANDLE. Names longer than MAX_PATH (260)
// fail with ERROR_FILENAME_EXCED_RANGE.
#pragma once

#include "platform/os/KernelObjects.h"

constexpr DWORD EVENT_MODIFY_STATE = 0x0002;
constexpr DWORD EVENT_ALL_ACCESS = 0x001F0003;
constexpr DWORD MUTEX_MODIFY_STATE = 0x0001;
constexpr DWORD MUTEX_ALL_ACCESS = 0x001F0001;
constexpr DWORD SEMAPHORE_MODIFY_STATE = 0x0002;
constexpr DWORD SEMAPHORE_ALL_ACCESS = 0x001F0003;

HANDLE CreateEventA(LPSECURITY_ATTRIBUTES Attributes, BOOL ManualReset, BOOL InitialState, LPCSTR Name);
HANDLE OpenEventA(DWORD DesiredAccess, BOOL InheritHandle, LPCSTR Name);
BOOL SetEvent(HANDLE Event);
BOOL ResetEvent(HANDLE Event);

HANDLE CreateMutexA(LPSECURITY_ATTRIBUTES Attributes, BOOL InitialOwner, LPCSTR Name);
HANDLE OpenMutexA(DWORD DesiredAccess, BOOL InheritHandle, LPCSTR Name);
// FALSE with ERROR_NOT_OWNER when the calling thread does not own the mutex.
BOOL ReleaseMutex(HANDLE Mutex);

HANDLE CreateSemaphoreA(LPSECURITY_ATTRIBUTES Attributes, LONG InitialCount, LONG MaximumCount, LPCSTR Name);
HANDLE OpenSemaphoreA(DWORD DesiredAccess, BOOL InheritHandle, LPCSTR Name);
// FALSE with ERROR_TOO_MANY_POSTS when the count would pass the maximum (nothing changes).
BOOL ReleaseSemaphore(HANDLE Semaphore, LONG ReleaseCount, LONG* PreviousCount);

namespace qv::os {

// The folder that holds the named objects and the instance directory of this user:
// $XDG_RUNTIME_DIR/quelvo3 when that variable names a folder, else quelvo3-<uid> in $TMPDIR
// (/tmp). It is created with mode 0700 and never used when it is a link, belongs to another
// user or can be written by others (another local user may make that name first in a shared
// temporary folder): then a private folder under the user's cache folder
// ($XDG_CACHE_HOME, ~/.cache) takes its place, "quelvo3-runtime". Empty with
// ERROR_ACCESS_DENIED when neither can be had. Read from the environment at each call, so
// tests may point XDG_RUNTIME_DIR at a folder of their own.
//
// Named objects reserve their pages before mapping them: on a full file system their
// creation fails with ERROR_DISK_FULL.
String RuntimeFolder();

}  // namespace qv::os
