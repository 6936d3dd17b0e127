// Named and unnamed file mappings backed by memory (the Win32 "page file" mappings), with
// views, in their Win32 shapes.
//
// Only page-file mappings are made: CreateFileMappingA needs INVALID_HANDLE_VALUE as the file
// (another handle fails with ERROR_INVALID_HANDLE). A new mapping is zero-filled. Creating a
// name that exists returns the existing mapping (its own size) with ERROR_ALREADY_EXISTS.
// Names follow the rules of Sync.h (shared namespace, lifetime while handles or views exist).
// View offsets must be multiples of the allocation granularity (GetSystemInfo, 64 KiB); a view
// that reaches past the end of the mapping fails with ERROR_ACCESS_DENIED; a view keeps its
// mapping alive after the mapping handle is closed.
#pragma once

#include <cstddef>

#include "platform/os/KernelObjects.h"

using SIZE_T = std::size_t;

constexpr DWORD PAGE_NOACCESS = 0x01;
constexpr DWORD PAGE_READONLY = 0x02;
constexpr DWORD PAGE_READWRITE = 0x04;
constexpr DWORD PAGE_WRITECOPY = 0x08;
constexpr DWORD PAGE_EXECUTE_READ = 0x20;
constexpr DWORD PAGE_EXECUTE_READWRITE = 0x40;
constexpr DWORD SEC_COMMIT = 0x08000000;

constexpr DWORD FILE_MAP_COPY = 0x0001;
constexpr DWORD FILE_MAP_WRITE = 0x0002;
constexpr DWORD FILE_MAP_READ = 0x0004;
constexpr DWORD FILE_MAP_ALL_ACCESS = 0x000F001F;
constexpr DWORD FILE_MAP_EXECUTE = 0x0020;

HANDLE CreateFileMappingA(HANDLE File, LPSECURITY_ATTRIBUTES Attributes, DWORD Protect, DWORD MaximumSizeHigh,
                          DWORD MaximumSizeLow, LPCSTR Name);
// ERROR_FILE_NOT_FOUND when no mapping of that name exists.
HANDLE OpenFileMappingA(DWORD DesiredAccess, BOOL InheritHandle, LPCSTR Name);
// Size 0 maps from the offset to the end of the mapping. FILE_MAP_COPY gives a private copy;
// FILE_MAP_READ alone a read-only view; anything with FILE_MAP_WRITE a shared writable view.
LPVOID MapViewOfFile(HANDLE Mapping, DWORD DesiredAccess, DWORD OffsetHigh, DWORD OffsetLow, SIZE_T BytesToMap);
// FALSE with ERROR_INVALID_ADDRESS for an address that is not the start of a view.
BOOL UnmapViewOfFile(LPCVOID BaseAddress);
BOOL FlushViewOfFile(LPCVOID BaseAddress, SIZE_T BytesToFlush);
