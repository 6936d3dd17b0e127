#include "extctrls/XcComponentUtils.h"

#include <cstdlib>
#include <cstring>

#include "platform/rtl/Thread.h"

bool CheckOSResult(bool Value)
{
  if (!Value) RaiseLastOSError();
  return Value;
}

bool SwapComponentReference(TComponent* Owner, TComponent* NewReference, TComponent*& Reference)
{
  if (NewReference == Reference || !Owner) return false;
  if (Reference) Reference->RemoveFreeNotification(Owner);
  Reference = NewReference;
  if (Reference) Reference->FreeNotification(Owner);
  return true;
}

LRESULT SendWindowMessage(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  return SendMessageA(Wnd, Msg, WParam, LParam);
}

void RemovePendingMessage(HWND Wnd, UINT Msg)
{
  MSG M{};
  if (PeekMessageA(&M, Wnd, Msg, Msg, PM_REMOVE) && M.message == WM_QUIT)
    PostQuitMessage(static_cast<int>(M.wParam));
}

namespace {

struct TActiveSearch {
  HWND Active = nullptr;
  bool Found = false;
};

BOOL MatchActive(HWND Wnd, LPARAM Param)
{
  auto* Search = reinterpret_cast<TActiveSearch*>(Param);
  if (Wnd != Search->Active) return TRUE;
  Search->Found = true;
  return FALSE;
}

}  // namespace

bool ActiveWindowInThisThread()
{
  TActiveSearch Search;
  Search.Active = GetActiveWindow();
  if (!Search.Active) return false;
  EnumThreadWindows(GetCurrentThreadId(), MatchActive, reinterpret_cast<LPARAM>(&Search));
  return Search.Found;
}

int AbsRectWidth(const RECT& R) { return std::abs(R.right - R.left); }

int AbsRectHeight(const RECT& R) { return std::abs(R.bottom - R.top); }

bool MemEqual(const void* A, const void* B, std::size_t Count)
{
  return Count == 0 || std::memcmp(A, B, Count) == 0;
}

bool GuidsEqual(const TGUID& A, const TGUID& B)
{
  return A.D1 == B.D1 && A.D2 == B.D2 && A.D3 == B.D3 && std::memcmp(A.D4, B.D4, sizeof A.D4) == 0;
}

BOOL CopyBits(HDC DestDC, int X, int Y, DWORD Rop, int SrcY, int SrcX, HDC SrcDC, int Height, int Width)
{
  return BitBlt(DestDC, X, Y, Width, Height, SrcDC, SrcX, SrcY, Rop);
}
