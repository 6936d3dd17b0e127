// Small shared routines of the extended components: system calls that raise on failure,
// component references kept with free notification, and message and memory helpers.
#pragma once

#include <cstddef>
#include <cstdint>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Component.h"
#include "platform/win/WinUser.h"

// Returns Value when it is true; otherwise raises EOSError for GetLastError ("System Error.
// Code: %d." CR LF and the system text; "A call to an OS function failed" for code 0).
bool CheckOSResult(bool Value);

// Points Reference at NewReference with free notification: when the reference changes and
// Owner is set, the old referenced component forgets Owner, the new one notifies Owner when it
// is destroyed. True when the reference changed.
bool SwapComponentReference(TComponent* Owner, TComponent* NewReference, TComponent*& Reference);

// Typed form of SwapComponentReference for a field of a derived component type.
template <class T>
bool SwapComponentReference(TComponent* Owner, T* NewReference, T*& Reference)
{
  TComponent* Current = Reference;
  const bool Changed = SwapComponentReference(Owner, NewReference, Current);
  if (Changed) Reference = NewReference;
  return Changed;
}

LRESULT SendWindowMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

// Removes one queued message of that number for the window; a quit request taken out on the
// way is put back, so it is never lost.
void RemovePendingMessage(HWND Wnd, UINT Msg);

// True when the active window belongs to the calling thread.
bool ActiveWindowInThisThread();

int AbsRectWidth(const RECT& R);
int AbsRectHeight(const RECT& R);

bool MemEqual(const void* A, const void* B, std::size_t Count);

struct TGUID {
  std::uint32_t D1 = 0;
  std::uint16_t D2 = 0;
  std::uint16_t D3 = 0;
  std::uint8_t D4[8] = {};
};
bool GuidsEqual(const TGUID& A, const TGUID& B);

// BitBlt of Width x Height pixels from (SrcX, SrcY) of SrcDC to (X, Y) of DestDC.
BOOL CopyBits(HDC DestDC, int X, int Y, DWORD Rop, int SrcY, int SrcX, HDC SrcDC, int Height, int Width);
