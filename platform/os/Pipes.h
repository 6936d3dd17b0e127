// Anonymous pipes and reading/writing kernel handles, in their Win32 shapes.
//
// ReadFile blocks until at least one byte is there and returns what is available (up to the
// requested count); when every write end is closed and the pipe is empty it fails with
// ERROR_BROKEN_PIPE (109). Closing the handle while another thread is blocked in ReadFile on it
// wakes that thread, whose ReadFile then fails with ERROR_BROKEN_PIPE as well. WriteFile writes
// everything (blocking while the pipe is full); when no read end is left it fails with
// ERROR_NO_DATA (232). Overlapped I/O is not supported (a non-null Overlapped fails with
// ERROR_INVALID_PARAMETER).
#pragma once

#include "platform/os/KernelObjects.h"

struct OVERLAPPED;
using LPOVERLAPPED = OVERLAPPED*;

// Both ends are created; the buffer size is a hint (0 = system default). The ends can be
// given to a child as its standard handles through STARTUPINFO (see Process.h).
BOOL CreatePipe(HANDLE* ReadPipe, HANDLE* WritePipe, LPSECURITY_ATTRIBUTES Attributes, DWORD Size);

BOOL ReadFile(HANDLE File, LPVOID Buffer, DWORD BytesToRead, DWORD* BytesRead, LPOVERLAPPED Overlapped);
BOOL WriteFile(HANDLE File, LPCVOID Buffer, DWORD BytesToWrite, DWORD* BytesWritten, LPOVERLAPPED Overlapped);

// On a pipe's read end: copies up to BufferSize bytes without removing them and tells how many
// bytes are waiting. Never blocks. Fails with ERROR_BROKEN_PIPE when the pipe is empty and has
// no writer left. Any pointer may be null; BytesLeftThisMessage is always 0.
BOOL PeekNamedPipe(HANDLE NamedPipe, LPVOID Buffer, DWORD BufferSize, DWORD* BytesRead, DWORD* TotalBytesAvail,
                   DWORD* BytesLeftThisMessage);
