#include "extctrls/XcUtilityWindow.h"

namespace {

TWndMethod* MethodOf(HWND Wnd)
{
  return reinterpret_cast<TWndMethod*>(GetWindowLongPtrA(Wnd, XcUtilityWindowMethodSlot));
}

}  // namespace

LRESULT UtilityWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam)
{
  TWndMethod* Method = MethodOf(Wnd);
  if (!Method || !*Method) return DefWindowProcA(Wnd, Msg, WParam, LParam);
  TMessage Message;
  Message.Msg = Msg;
  Message.WParam = WParam;
  Message.LParam = LParam;
  Message.Result = 0;
  if (Msg == WM_NCDESTROY) {
    // The last message of the window: the method gets it, then the window lets it go.
    SetWindowLongPtrA(Wnd, XcUtilityWindowMethodSlot, 0);
    std::unique_ptr<TWndMethod> Owned(Method);
    (*Owned)(Message);
    return Message.Result;
  }
  (*Method)(Message);
  return Message.Result;
}

HWND CreateUtilityWindow(const String& ClassName, TWndMethod Method)
{
  const String Name = ClassName.empty() ? String(XcDefaultUtilityWindowClass) : ClassName;
  WNDCLASSA Template{};
  Template.style = 0;
  Template.lpfnWndProc = DefWindowProcA;
  Template.cbClsExtra = 0;
  Template.cbWndExtra = XcUtilityWindowExtraBytes;
  Template.hInstance = nullptr;
  Template.lpszClassName = Name.c_str();

  WNDCLASSA Existing{};
  const bool Registered = GetClassInfoA(nullptr, Name.c_str(), &Existing) != FALSE;
  if (!Registered || Existing.lpfnWndProc != DefWindowProcA) {
    if (Registered) UnregisterClassA(Name.c_str(), nullptr);
    RegisterClassA(&Template);
  }

  HWND Wnd = CreateWindowExA(WS_EX_TOOLWINDOW, Name.c_str(), "", WS_POPUP, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                             nullptr);
  if (!Wnd) return nullptr;
  // Posts from other threads need this thread's message queue; make sure it exists even when
  // the thread has not looked at its queue yet.
  GetQueueStatus(0);
  if (Method) {
    auto* Held = new TWndMethod(std::move(Method));
    SetWindowLongPtrA(Wnd, XcUtilityWindowMethodSlot, reinterpret_cast<LONG_PTR>(Held));
    SetWindowLongPtrA(Wnd, XcUtilityWindowObjectSlot, 0);
    SetWindowLongPtrA(Wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&UtilityWindowProc));
  }
  return Wnd;
}

void DestroyUtilityWindow(HWND Wnd)
{
  DestroyWindow(Wnd);
}
