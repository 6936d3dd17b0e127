// Folder change notifications (FindFirstChangeNotification and its kin) on inotify. The handle
// is a kernel handle like the others: WaitForSingleObject/WaitForMultipleObjects see it
// signalled once a change of the kinds asked has happened in the folder (or, with
// WatchSubtree, in a folder below it, new ones included), and it stays signalled until
// FindNextChangeNotification re-arms it. Removing or moving the watched folder itself
// signals it too. Links to folders are not followed into.
#pragma once

#include "platform/os/KernelObjects.h"

constexpr DWORD FILE_NOTIFY_CHANGE_FILE_NAME = 0x001;
constexpr DWORD FILE_NOTIFY_CHANGE_DIR_NAME = 0x002;
constexpr DWORD FILE_NOTIFY_CHANGE_ATTRIBUTES = 0x004;
constexpr DWORD FILE_NOTIFY_CHANGE_SIZE = 0x008;
constexpr DWORD FILE_NOTIFY_CHANGE_LAST_WRITE = 0x010;
constexpr DWORD FILE_NOTIFY_CHANGE_SECURITY = 0x100;

// INVALID_HANDLE_VALUE with the last error (ERROR_PATH_NOT_FOUND, ERROR_ACCESS_DENIED,
// ERROR_INVALID_PARAMETER for no filter) when the folder cannot be watched. Close with
// FindCloseChangeNotification (or CloseHandle).
HANDLE FindFirstChangeNotificationA(LPCSTR PathName, BOOL WatchSubtree, DWORD NotifyFilter);
BOOL FindNextChangeNotification(HANDLE ChangeHandle);
BOOL FindCloseChangeNotification(HANDLE ChangeHandle);
