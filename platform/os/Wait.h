// WaitForSingleObject and WaitForMultipleObjects over every waitable kernel handle: processes
// (signalled when they end), threads (when they end), events, mutexes, semaphores.
//
// No busy spinning: waits on objects of this process block on a wake-up descriptor that every
// state change (and the end of a thread that owns a mutex) writes to, together with the pidfds
// of other processes waited on; waits on one named object alone block on the object's futex.
// A wait that mixes named objects with other handles (or a descriptor) rechecks the named ones
// every 10 ms, and a wait on a named mutex owned by another thread rechecks the owner every
// 100 ms, so that an owner that died in another process is seen (WAIT_ABANDONED).
#pragma once

#include "platform/os/KernelObjects.h"

constexpr DWORD MAXIMUM_WAIT_OBJECTS = 64;
constexpr DWORD WAIT_IO_COMPLETION = 0xC0;
constexpr DWORD STATUS_PENDING = 0x103;

// WAIT_OBJECT_0, WAIT_ABANDONED (a mutex whose owner died; the caller now owns it),
// WAIT_TIMEOUT, or WAIT_FAILED with GetLastError (ERROR_INVALID_HANDLE for a stale handle or
// one that cannot be waited on).
DWORD WaitForSingleObject(HANDLE Object, DWORD Milliseconds);

// Wait for any: the lowest index whose object is signalled (WAIT_OBJECT_0 + i, or
// WAIT_ABANDONED_0 + i). Wait for all: returns when every object is signalled at the same time
// and takes them all together (auto-reset events, mutexes, semaphores), WAIT_OBJECT_0 (or
// WAIT_ABANDONED_0 + i when one of them was an abandoned mutex). Count 0 or above 64, or the
// same mutex/event twice with WaitAll, fail with ERROR_INVALID_PARAMETER.
DWORD WaitForMultipleObjects(DWORD Count, const HANDLE* Handles, BOOL WaitAll, DWORD Milliseconds);

namespace qv::os {

// WaitForMultipleObjects that also returns when the descriptor Fd becomes readable: the
// result is then WAIT_OBJECT_0 + Count (the window system builds MsgWaitForMultipleObjects on
// it with its message-queue descriptor). Fd -1 waits on the handles alone. Count may be 0.
DWORD WaitForMultipleObjectsOrFd(DWORD Count, const HANDLE* Handles, BOOL WaitAll, DWORD Milliseconds, int Fd);

}  // namespace qv::os
