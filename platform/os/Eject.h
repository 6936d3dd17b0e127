// Opening an optical drive's tray (the CDROMEJECT request on the drive's device node).
#pragma once

#include <functional>

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

// Path is a drive root ("E:\", a mount point) of an optical drive, or its device node. A
// mounted disc is unmounted first ("udisksctl unmount", which desktop users may run for media
// mounts, else "umount"); then the tray opens. False with GetLastError set when the path is no
// optical drive (ERROR_INVALID_DRIVE), the device cannot be opened (errno), or the drive refuses
// (errno of the request; EBUSY while the disc is still mounted).
// The work runs on a thread of its own while the caller waits at most the time limit below
// (ERROR_TIMEOUT after it: a drive or an unmount that does not answer never holds the caller),
// calling the wait pump every few milliseconds so that a GUI thread keeps handling its messages.
bool EjectMedia(const String& Path);

constexpr DWORD EjectDefaultTimeLimitMs = 20000;
void SetEjectTimeLimit(DWORD Milliseconds);
// Called on the waiting thread while an eject is under way (the program passes its message
// pump); none by default.
void SetEjectWaitPump(std::function<void()> Pump);

// The media control interface as far as the program opens a disc drive's door with it:
// MCI_OPEN of the device type "CDAudio" with the drive's root as element, MCI_SET with
// MCI_SET_DOOR_OPEN (EjectMedia) or MCI_SET_DOOR_CLOSED (not offered: MCIERR_UNSUPPORTED_FUNCTION),
// and MCI_CLOSE. Other commands answer MCIERR_UNRECOGNIZED_COMMAND.
using MCIDEVICEID = UINT;
using MCIERROR = DWORD;

constexpr UINT MCI_OPEN = 0x0803;
constexpr UINT MCI_CLOSE = 0x0804;
constexpr UINT MCI_SET = 0x080D;
constexpr DWORD MCI_NOTIFY = 0x00000001;
constexpr DWORD MCI_WAIT = 0x00000002;
constexpr DWORD MCI_OPEN_SHAREABLE = 0x00000100;
constexpr DWORD MCI_OPEN_ELEMENT = 0x00000200;
constexpr DWORD MCI_OPEN_TYPE = 0x00002000;
constexpr DWORD MCI_SET_DOOR_OPEN = 0x00000100;
constexpr DWORD MCI_SET_DOOR_CLOSED = 0x00000200;

constexpr MCIERROR MCIERR_BASE = 256;
constexpr MCIERROR MCIERR_INVALID_DEVICE_ID = MCIERR_BASE + 1;
constexpr MCIERROR MCIERR_UNRECOGNIZED_COMMAND = MCIERR_BASE + 5;
constexpr MCIERROR MCIERR_HARDWARE = MCIERR_BASE + 6;
constexpr MCIERROR MCIERR_INVALID_DEVICE_NAME = MCIERR_BASE + 7;
constexpr MCIERROR MCIERR_UNSUPPORTED_FUNCTION = MCIERR_BASE + 18;
constexpr MCIERROR MCIERR_NULL_PARAMETER_BLOCK = MCIERR_BASE + 41;

struct MCI_OPEN_PARMSA {
  DWORD_PTR dwCallback = 0;
  MCIDEVICEID wDeviceID = 0;
  LPCSTR lpstrDeviceType = nullptr;
  LPCSTR lpstrElementName = nullptr;
  LPCSTR lpstrAlias = nullptr;
};
struct MCI_SET_PARMS {
  DWORD_PTR dwCallback = 0;
  DWORD dwTimeFormat = 0;
  DWORD dwAudio = 0;
};
struct MCI_GENERIC_PARMS {
  DWORD_PTR dwCallback = 0;
};

// MCI_OPEN fills wDeviceID; it fails with MCIERR_INVALID_DEVICE_NAME unless the type is
// "CDAudio" (any case) and the element is an optical drive's root or device node.
MCIERROR mciSendCommandA(MCIDEVICEID Device, UINT Message, DWORD_PTR Flags, DWORD_PTR Param);
inline MCIERROR mciSendCommand(MCIDEVICEID Device, UINT Message, DWORD_PTR Flags, DWORD_PTR Param)
{
  return mciSendCommandA(Device, Message, Flags, Param);
}
