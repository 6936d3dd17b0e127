#include "skin/foundation/SkinLayered.h"

#include <algorithm>
#include <memory>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

#include "platform/gdi/Gdi.h"
#include "platform/rtl/MathUtils.h"
#include "skin/foundation/SkinBitmap.h"
#include "skin/foundation/SkinDrawUtils.h"

// ---------------------------------------------------------------------------------------------
// System function binding
// ---------------------------------------------------------------------------------------------

bool HasMMX()
{
#if defined(__x86_64__) || defined(__i386__)
  unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
  if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx))
    return false;
  const unsigned family = (eax >> 8) & 0xF;
  return family >= 5 && (edx & 0x800000u) != 0;
#else
  return false;
#endif
}

void EmmsIfMMX()
{
  // The pixel loops are plain C++; the compiler keeps the FPU state clean, so there is no MMX
  // state to clear.
}

void BindSkinSystemFunctions()
{
  TskSystemFunctions& f = SkinSystemFunctions();
  f = TskSystemFunctions{};
  f.MMX = HasMMX();
  // Every optional function is part of this platform's window and drawing layer.
  f.MonitorFromWindow = ::MonitorFromWindow;
  f.GetMonitorInfoA = ::GetMonitorInfoA;
  f.GetScrollBarInfo = ::GetScrollBarInfo;
  f.SetLayeredWindowAttributes = ::SetLayeredWindowAttributes;
  f.UpdateLayeredWindow = ::UpdateLayeredWindow;
  f.TransparentBlt = ::TransparentBlt;
  f.TransparentBltAvailable = f.TransparentBlt != nullptr;
  f.WideText = true;
}

TskSystemFunctions& SkinSystemFunctions()
{
  static TskSystemFunctions Functions;
  static bool Bound = false;
  if (!Bound) {
    Bound = true;
    BindSkinSystemFunctions();
  }
  return Functions;
}

bool IsTransparentBltAvailable() { return SkinSystemFunctions().TransparentBltAvailable; }

void UpdateLayeredWindowFromBitmap(TskBitmap* Bitmap, int Alpha, TWinControl* Control)
{
  auto update = SkinSystemFunctions().UpdateLayeredWindow;
  if (!update || !Bitmap || Bitmap->Empty() || !Control)
    return;
  // The window system takes premultiplied colours; the bitmap keeps its own.
  TskBitmap premultiplied;
  premultiplied.SetSize(Bitmap->GetWidth(), Bitmap->GetHeight());
  const int count = Bitmap->GetWidth() * Bitmap->GetHeight();
  const std::uint32_t* s = Bitmap->GetBits();
  std::uint32_t* d = premultiplied.GetBits();
  for (int i = 0; i < count; ++i) {
    const std::uint32_t a = s[i] >> 24;
    std::uint32_t p = a << 24;
    for (int shift = 0; shift <= 16; shift += 8)
      p |= ((((s[i] >> shift) & 0xFF) * a + 127) / 255) << shift;
    d[i] = p;
  }
  POINT dst{Control->GetLeft(), Control->GetTop()};
  SIZE size{Bitmap->GetWidth(), Bitmap->GetHeight()};
  POINT src{0, 0};
  BLENDFUNCTION blend;
  blend.BlendOp = AC_SRC_OVER;
  blend.BlendFlags = 0;
  blend.SourceConstantAlpha = static_cast<BYTE>(std::clamp(Alpha, 0, 255));
  blend.AlphaFormat = AC_SRC_ALPHA;
  update(Control->GetHandle(), nullptr, &dst, &size, premultiplied.GetDC(), &src, 0, &blend, ULW_ALPHA);
}

void SetLayeredAlpha(HWND Wnd, int Alpha)
{
  if (auto set = SkinSystemFunctions().SetLayeredWindowAttributes)
    set(Wnd, 0, static_cast<BYTE>(std::clamp(Alpha, 0, 255)), LWA_ALPHA);
}

int QueryScrollBarInfo(HWND Wnd, LONG ObjectId, SCROLLBARINFO& Info)
{
  if (auto query = SkinSystemFunctions().GetScrollBarInfo)
    return query(Wnd, ObjectId, &Info);
  Info.rgstate[0] = STATE_SYSTEM_INVISIBLE;
  return 0;
}

TColor DarkenColor(TColor Color, int Percent)
{
  const COLORREF c = ColorToRGB(Color);
  auto darken = [Percent](int v) { return static_cast<BYTE>(std::clamp(v - MulDiv(v, Percent, 100), 0, 255)); };
  return static_cast<TColor>(RGB(darken(GetRValue(c)), darken(GetGValue(c)), darken(GetBValue(c))));
}

// ---------------------------------------------------------------------------------------------
// TskLayerWindow
// ---------------------------------------------------------------------------------------------

TskLayerWindow::TskLayerWindow(TComponent* AOwner) : TCustomControl(AOwner) {}

void TskLayerWindow::CreateParams(TCreateParams& Params)
{
  TCustomControl::CreateParams(Params);
  Params.Style = WS_POPUP;
  Params.ExStyle = WS_EX_TOOLWINDOW;
  Params.WindowClass.style |= CS_SAVEBITS;
}

void TskLayerWindow::WndProc(TMessage& Message)
{
  if (Message.Msg == WM_MOUSEACTIVATE) {
    Message.Result = MA_NOACTIVATE;
    return;
  }
  TCustomControl::WndProc(Message);
}

// ---------------------------------------------------------------------------------------------
// TskLayerManager
// ---------------------------------------------------------------------------------------------

TskLayerManager::TskLayerManager(TComponent* AOwner) : TComponent(AOwner)
{
  FTimer = new TTimer(this);
  FTimer->SetEnabled(false);
  FTimer->SetInterval(25);
  FTimer->SetOnTimer([this](TObject* Sender) { FadeStep(Sender); });
}

TskLayerManager::~TskLayerManager()
{
  delete FTimer;
  FTimer = nullptr;
  delete FWindow;
  FWindow = nullptr;
  delete FBitmap;
  FBitmap = nullptr;
}

void TskLayerManager::Show(int X, int Y, TBitmap* Picture, TBitmap* Mask, int AlphaValue)
{
  if (!IsWindows2000OrLater())
    return;
  if (FWindow)
    Hide();
  if (!Picture || Picture->Empty())
    return;
  FShown = true;
  FWindow = new TskLayerWindow(this);
  FWindow->SetVisible(false);
  FWindow->SetBounds(X, Y, Picture->GetWidth(), Picture->GetHeight());
  HWND wnd = FWindow->GetHandle();
  SetWindowLongA(wnd, GWL_EXSTYLE, GetWindowLongA(wnd, GWL_EXSTYLE) | static_cast<LONG>(WS_EX_LAYERED));

  delete FBitmap;
  FBitmap = new TskBitmap();
  FBitmap->Assign(Picture);
  if (Mask && !Mask->Empty()) {
    TskBitmap mask;
    mask.Assign(Mask);
    SetAlphaFromMask(FBitmap, &mask);
  }
  UpdateLayeredWindowFromBitmap(FBitmap, 0, FWindow);
  SetWindowPos(wnd, TopMost ? HWND_TOPMOST : HWND_NOTOPMOST, X, Y, 0, 0,
               SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  FTargetAlpha = std::clamp(AlphaValue, 0, 255);
  // A step of at least 1, so that a small target is still reached and the timer stops.
  FAlphaStep = std::max(1, FTargetAlpha / 10);
  FCurrentAlpha = 0;
  FTimer->SetEnabled(true);
}

void TskLayerManager::FadeStep(TObject*)
{
  if (!FBitmap || !FWindow)
    return;
  FCurrentAlpha = std::min(FCurrentAlpha + FAlphaStep, FTargetAlpha);
  UpdateLayeredWindowFromBitmap(FBitmap, FCurrentAlpha, FWindow);
  if (FCurrentAlpha >= FTargetAlpha)
    FTimer->SetEnabled(false);
}

void TskLayerManager::Hide()
{
  if (!IsWindows2000OrLater())
    return;
  FTimer->SetEnabled(false);
  delete FBitmap;
  FBitmap = nullptr;
  FShown = false;
  if (FWindow) {
    if (FWindow->HandleAllocated())
      SetWindowPos(FWindow->GetHandle(), nullptr, 0, 0, 0, 0,
                   SWP_NOSIZE | SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_HIDEWINDOW);
    delete FWindow;
    FWindow = nullptr;
  }
}
