// Painting: update regions, WM_PAINT and its helpers, window DCs over each top-level window's
// backing store, presenting finished pixels to the display, window regions, layered windows,
// scrolling, native child windows.
#include <algorithm>
#include <cstring>

#include "platform/gdi/GdiBitmap.h"
#include "platform/gdi/GdiObject.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Thread.h"
#include "platform/win/WinInternal.h"

namespace QvWin {

TWnd* WindowOfDisplay(TDisplayWindow D);
void DisplayConfigured(TWnd* W, const RECT& Bounds);
void SetTopLevelTitle(TWnd* W);

namespace {

struct TWindowDC {
  HDC Dc = nullptr;
  HWND Wnd = nullptr;
  HWND Top = nullptr;
  TRegion Area;  // surface coordinates
};

struct TPaintState {
  std::vector<TWindowDC> Dcs;
  std::vector<HWND> NativeWindows;
  bool FromDisplay = false;
  DWORD LastPresent = 0;  // when PresentAll last ran
};

TPaintState& P()
{
  static TPaintState* S = new TPaintState;
  return *S;
}

RECT WindowLocal(const TWnd* W)
{
  return RECT{0, 0, W->Window.right - W->Window.left, W->Window.bottom - W->Window.top};
}

RECT ClientLocal(const TWnd* W)
{
  // The client area in window coordinates.
  return RECT{W->Client.left - W->Window.left, W->Client.top - W->Window.top, W->Client.right - W->Window.left,
              W->Client.bottom - W->Window.top};
}

// The top-level surface position of a window's top-left corner.
POINT SurfaceOffset(const TWnd* W)
{
  TWnd* T = TopLevelOf(const_cast<TWnd*>(W));
  POINT A = WindowOrigin(W), B = WindowOrigin(T);
  return POINT{A.x - B.x, A.y - B.y};
}

TRegion WindowArea(const TWnd* W)
{
  TRegion R(WindowLocal(W));
  if (W->HasRegion) R = TRegion::Combine(R, W->Region, RGN_AND);
  return R;
}

void AddDirty(TWnd* Top, const RECT& R)
{
  if (!Top->Surface) return;
  RECT X;
  RECT Bounds{0, 0, Top->Surface->Width, Top->Surface->Height};
  if (!IntersectRect(&X, &R, &Bounds)) return;
  Top->Surface->Dirty.push_back(X);
  if (Top->Surface->Dirty.size() > 64) Top->Surface->AllDirty = true;
}

// Where a window (or its client area) can draw, in surface coordinates.
TRegion VisibleRegion(TWnd* W, bool Client, bool ClipChildren, bool ClipSiblings)
{
  if (!IsReallyVisible(W)) return TRegion();
  POINT Off = SurfaceOffset(W);
  TRegion R = WindowArea(W);
  if (Client) R.IntersectWith(ClientLocal(W));
  R.Offset(Off.x, Off.y);
  if (ClipChildren) {
    for (TWnd* C : W->Children) {
      if (!(C->Style & WS_VISIBLE)) continue;
      TRegion A = WindowArea(C);
      POINT O = SurfaceOffset(C);
      A.Offset(O.x, O.y);
      R = TRegion::Combine(R, A, RGN_DIFF);
    }
  }
  // Ancestors clip to their client areas; siblings above clip with WS_CLIPSIBLINGS.
  TWnd* X = W;
  bool Siblings = ClipSiblings;
  while (X->Parent != nullptr && !X->Parent->IsDesktop) {
    TWnd* Par = X->Parent;
    if (Siblings) {
      for (TWnd* S : Par->Children) {
        if (S == X) break;
        if (!(S->Style & WS_VISIBLE)) continue;
        TRegion A = WindowArea(S);
        POINT O = SurfaceOffset(S);
        A.Offset(O.x, O.y);
        R = TRegion::Combine(R, A, RGN_DIFF);
      }
    }
    TRegion PA = WindowArea(Par);
    PA.IntersectWith(ClientLocal(Par));
    POINT O = SurfaceOffset(Par);
    PA.Offset(O.x, O.y);
    R = TRegion::Combine(R, PA, RGN_AND);
    X = Par;
    Siblings = (X->Style & WS_CLIPSIBLINGS) != 0;
  }
  return R;
}

bool ChildrenIncluded(const TWnd* W, UINT Flags)
{
  if (Flags & RDW_ALLCHILDREN) return true;
  if (Flags & RDW_NOCHILDREN) return false;
  return (W->Style & WS_CLIPCHILDREN) == 0;
}

void ValidateArea(TWnd* W, const TRegion* Area, UINT Flags, bool Children)
{
  if (Area == nullptr) W->Update = TRegion();
  else W->Update = TRegion::Combine(W->Update, *Area, RGN_DIFF);
  if (W->Update.IsEmpty()) {
    W->EraseNeeded = false;
    W->FrameNeeded = false;
  }
  if (Flags & RDW_NOERASE) W->EraseNeeded = false;
  if (Flags & RDW_NOFRAME) W->FrameNeeded = false;
  if (Flags & RDW_NOINTERNALPAINT) W->InternalPaint = false;
  if (!Children) return;
  for (TWnd* C : W->Children) {
    if (Area == nullptr) {
      ValidateArea(C, nullptr, Flags, true);
      continue;
    }
    TRegion A = *Area;
    A.Offset(-(C->Window.left + W->Client.left - W->Window.left), -(C->Window.top + W->Client.top - W->Window.top));
    ValidateArea(C, &A, Flags, true);
  }
}

bool NeedsPaint(const TWnd* W)
{
  if (W->RedrawOff) return false;
  if (W->IsTopLevel() && W->LayeredPerPixel) return false;
  return !W->Update.IsEmpty() || W->InternalPaint || W->FrameNeeded;
}

TWnd* FindPaintIn(TWnd* W, DWORD Thread)
{
  if (!(W->Style & WS_VISIBLE) || W->RedrawOff) return nullptr;
  if (W->IsTopLevel() && W->LayeredPerPixel) return nullptr;
  if (W->ThreadId == Thread && NeedsPaint(W)) return W;
  for (TWnd* C : W->Children) {
    TWnd* R = FindPaintIn(C, Thread);
    if (R != nullptr) return R;
  }
  return nullptr;
}

void PaintNow(TWnd* W, bool EraseOnly, bool Children)
{
  HWND H = W->Handle;
  if (IsReallyVisible(W) && !W->RedrawOff) {
    if (EraseOnly) {
      if (W->FrameNeeded) {
        W->FrameNeeded = false;
        SendMessageA(H, WM_NCPAINT, 1, 0);
      }
      if ((W = LookupLive(H)) != nullptr && W->EraseNeeded) {
        W->EraseNeeded = false;
        HDC Dc = GetDCEx(H, nullptr, DCX_CACHE | ((W->Style & WS_CLIPCHILDREN) ? DCX_CLIPCHILDREN : 0));
        if (Dc != nullptr) {
          // Only the invalid part is erased.
          TRegion U = W->Update;
          U.IntersectWith(ClientLocal(W));
          U.Offset(-(W->Client.left - W->Window.left), -(W->Client.top - W->Window.top));
          HRGN Clip = CreateRegionHandle(U);
          SelectClipRgn(Dc, Clip);
          DeleteObject(Clip);
          if (SendMessageA(H, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0) == 0 && (W = LookupLive(H)) != nullptr)
            W->EraseNeeded = true;
          ReleaseDC(H, Dc);
        }
      }
    } else if (NeedsPaint(W)) {
      if (W->FrameNeeded) {
        // A synchronous update paints the frame first.
        W->FrameNeeded = false;
        SendMessageA(H, WM_NCPAINT, 1, 0);
        if ((W = LookupLive(H)) == nullptr) return;
      }
      W->PaintServiced = false;
      if (NeedsPaint(W)) SendMessageA(H, WM_PAINT, 0, 0);
      if ((W = LookupLive(H)) != nullptr && !W->PaintServiced) {
        W->Update = TRegion();
        W->EraseNeeded = W->FrameNeeded = false;
      }
      if (W != nullptr) W->InternalPaint = false;
    }
  }
  if (!Children || (W = LookupLive(H)) == nullptr) return;
  std::vector<HWND> Kids;
  for (TWnd* C : W->Children) Kids.push_back(C->Handle);
  for (HWND K : Kids) {
    TWnd* C = LookupLive(K);
    if (C != nullptr) PaintNow(C, EraseOnly, true);
  }
}

// A top-down 32-bit DIB section of Cx x Cy pixels, the store of a window's pixels.
HBITMAP NewSurfaceBitmap(int Cx, int Cy, void** Bits)
{
  BITMAPINFO Bi{};
  Bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  Bi.bmiHeader.biWidth = Cx;
  Bi.bmiHeader.biHeight = -Cy;
  Bi.bmiHeader.biPlanes = 1;
  Bi.bmiHeader.biBitCount = 32;
  Bi.bmiHeader.biCompression = BI_RGB;
  return CreateDIBSection(nullptr, &Bi, DIB_RGB_COLORS, Bits, nullptr, 0);
}

// The target of the DCs of windows whose top-level window is hidden: their visible region is
// empty, so nothing is ever drawn on it, and a window laid out before it is first shown (fonts
// measured, controls repainted as they are made) needs no pixels of its own until then.
HBITMAP NowhereBitmap()
{
  static HBITMAP Bitmap = [] {
    void* Bits = nullptr;
    return NewSurfaceBitmap(1, 1, &Bits);
  }();
  return Bitmap;
}

HDC MakeDC(TWnd* W, const TRegion& Area, bool WindowDc)
{
  TWnd* T = TopLevelOf(W);
  HBITMAP Target = nullptr;
  if (!(T->Style & WS_VISIBLE) && Area.IsEmpty()) {
    Target = NowhereBitmap();
  } else {
    if (!T->Surface || T->Surface->Bitmap == nullptr) SurfaceCreate(T);
    else SurfaceResize(T);
    if (!T->Surface || T->Surface->Bitmap == nullptr) return nullptr;
    Target = T->Surface->Bitmap;
  }
  if (Target == nullptr) return nullptr;
  POINT Off = SurfaceOffset(W);
  if (!WindowDc) {
    Off.x += W->Client.left - W->Window.left;
    Off.y += W->Client.top - W->Window.top;
  }
  HDC Dc = CreateSurfaceDC(Target, Off, &Area);
  if (Dc == nullptr) return nullptr;
  SetDCWindow(Dc, W->Handle);
  P().Dcs.push_back(TWindowDC{Dc, W->Handle, T->Handle, Area});
  return Dc;
}

unsigned DisplayFlags(const TWnd* W)
{
  unsigned F = 0;
  if (W->ExStyle & WS_EX_TOPMOST) F |= dwfTopmost;
  if (W->ExStyle & WS_EX_TOOLWINDOW) F |= dwfToolWindow;
  if (W->ExStyle & WS_EX_NOACTIVATE) F |= dwfNoActivate;
  if (W->ExStyle & WS_EX_LAYERED) F |= dwfLayered;
  if ((W->Style & WS_POPUP) && (W->ExStyle & WS_EX_TOOLWINDOW)) F |= dwfPopup;
  if (W->TrayIcon) F |= dwfTrayIcon;
  return F;
}

void RestackDisplay()
{
  auto& B = GetDisplayBackend();
  auto& C = Desktop()->Children;
  for (auto It = C.rbegin(); It != C.rend(); ++It)
    if ((*It)->Surface && (*It)->Surface->Display != 0) B.Restack((*It)->Surface->Display, 0);
}

void UpdateNativeChildren()
{
  auto& L = P().NativeWindows;
  L.erase(std::remove_if(L.begin(), L.end(), [](HWND H) { return LookupLive(H) == nullptr; }), L.end());
  for (HWND H : L) {
    TWnd* W = LookupLive(H);
    if (W != nullptr) UpdateNativeChild(W);
  }
}

}  // namespace

void InvalidateWindow(TWnd* W, const TRegion* Area, bool Erase, bool Frame, bool Children)
{
  if (!IsReallyVisible(W)) return;
  TRegion A = Area != nullptr ? *Area : TRegion(WindowLocal(W));
  A.IntersectWith(WindowLocal(W));
  if (!Frame) A.IntersectWith(ClientLocal(W));
  if (!A.IsEmpty() && !W->RedrawOff) {
    W->Update = TRegion::Combine(W->Update, A, RGN_OR);
    if (Erase) W->EraseNeeded = true;
    RECT Cl = ClientLocal(W);
    if (Frame && TRegion::Combine(A, TRegion(Cl), RGN_DIFF).IsEmpty() == false) W->FrameNeeded = true;
    auto Queue = QueueOf(W->ThreadId);
    if (Queue && W->ThreadId != GetCurrentThreadId()) Queue->Wake();
  }
  if (!Children) return;
  for (TWnd* C : W->Children) {
    if (!(C->Style & WS_VISIBLE)) continue;
    TRegion CA = A;
    CA.Offset(-(C->Window.left + W->Client.left - W->Window.left), -(C->Window.top + W->Client.top - W->Window.top));
    CA.IntersectWith(WindowLocal(C));
    if (CA.IsEmpty()) continue;
    InvalidateWindow(C, &CA, Erase, true, true);
  }
}

TWnd* FindPaintWindow(DWORD ThreadId)
{
  for (TWnd* T : Desktop()->Children) {
    TWnd* R = FindPaintIn(T, ThreadId);
    if (R != nullptr) return R;
  }
  return nullptr;
}

void SurfaceCreate(TWnd* W)
{
  if (!W->IsTopLevel()) return;
  if (!W->Surface) W->Surface = std::make_unique<TTopLevelSurface>();
  auto& S = *W->Surface;
  int Cx = std::max<int>(1, W->Window.right - W->Window.left);
  int Cy = std::max<int>(1, W->Window.bottom - W->Window.top);
  if (S.Bitmap == nullptr || S.Width != Cx || S.Height != Cy) {
    void* Bits = nullptr;
    HBITMAP B = NewSurfaceBitmap(Cx, Cy, &Bits);
    if (B == nullptr) return;
    auto* NewPixels = static_cast<std::uint32_t*>(Bits);
    if (S.Bitmap != nullptr && S.Pixels != nullptr) {
      int W0 = std::min(Cx, S.Width), H0 = std::min(Cy, S.Height);
      for (int Y = 0; Y < H0; ++Y)
        std::memcpy(NewPixels + static_cast<std::size_t>(Y) * Cx, S.Pixels + static_cast<std::size_t>(Y) * S.Width,
                    static_cast<std::size_t>(W0) * 4);
      // DCs on the old store move to the new one.
      HBITMAP Old = S.Bitmap;
      S.Bitmap = B;
      for (auto& D : P().Dcs)
        if (D.Top == W->Handle) {
          DeleteDC(D.Dc);
          D.Dc = nullptr;
        }
      auto& L = P().Dcs;
      L.erase(std::remove_if(L.begin(), L.end(), [](const TWindowDC& D) { return D.Dc == nullptr; }), L.end());
      DeleteObject(Old);
    } else {
      S.Bitmap = B;
    }
    S.Pixels = NewPixels;
    S.Width = Cx;
    S.Height = Cy;
    S.AllDirty = true;
  }
  if (S.Display == 0 && !W->MessageOnly) {
    RECT R = ScreenWindowRect(W);
    S.Flags = DisplayFlags(W);
    S.Display = GetDisplayBackend().CreateWindow(R, S.Flags);
    GetDisplayBackend().SetTitle(S.Display, W->Text);
    if (W->HasRegion) UpdateDisplayShape(W);
    UpdateDisplayOpacity(W);
  }
}

void SurfaceDestroy(TWnd* W)
{
  auto& L = P().Dcs;
  for (auto& D : L)
    if (D.Wnd == W->Handle || D.Top == W->Handle) {
      DeleteDC(D.Dc);
      D.Dc = nullptr;
    }
  L.erase(std::remove_if(L.begin(), L.end(), [](const TWindowDC& D) { return D.Dc == nullptr; }), L.end());
  if (W->NativeChild != 0) {
    GetDisplayBackend().DestroyNativeChild(W->NativeChild);
    W->NativeChild = 0;
  }
  for (TWnd* C : W->Children)
    if (C->NativeChild != 0) {
      GetDisplayBackend().DestroyNativeChild(C->NativeChild);
      C->NativeChild = 0;
    }
  if (!W->Surface) return;
  if (W->Surface->Display != 0) GetDisplayBackend().DestroyWindow(W->Surface->Display);
  if (W->Surface->Bitmap != nullptr) DeleteObject(W->Surface->Bitmap);
  W->Surface.reset();
}

void SurfaceResize(TWnd* W)
{
  if (!W->Surface || W->Surface->Bitmap == nullptr) return;
  const int Cx = std::max<int>(1, W->Window.right - W->Window.left);
  const int Cy = std::max<int>(1, W->Window.bottom - W->Window.top);
  if (W->Surface->Width != Cx || W->Surface->Height != Cy) SurfaceCreate(W);
}

void SurfaceShow(TWnd* W, bool Show, bool Activate)
{
  if (Show) SurfaceCreate(W);
  if (!W->Surface || W->Surface->Display == 0) return;
  W->Surface->Shown = Show;
  GetDisplayBackend().Show(W->Surface->Display, Show, Activate);
}

void PresentAll()
{
  if (P().FromDisplay) return;
  P().LastPresent = Now();
  auto& B = GetDisplayBackend();
  bool Any = false;
  for (TWnd* T : Desktop()->Children) {
    if (!T->Surface || T->Surface->Display == 0 || T->Surface->Pixels == nullptr) continue;
    SurfaceResize(T);
    auto& S = *T->Surface;
    for (auto& D : P().Dcs)
      if (D.Top == T->Handle) AddDirty(T, D.Area.Box());
    if (!S.AllDirty && S.Dirty.empty()) continue;
    if (!S.Shown && !(T->Style & WS_VISIBLE)) continue;
    std::vector<RECT> Dirty = S.AllDirty ? std::vector<RECT>() : S.Dirty;
    S.Dirty.clear();
    S.AllDirty = false;
    const std::uint32_t* Pixels = S.Pixels;
    std::vector<std::uint32_t> Keyed;
    if ((T->ExStyle & WS_EX_LAYERED) && T->LayeredAttrSet && (T->LayeredFlags & LWA_COLORKEY)) {
      // The colour key becomes per-pixel alpha: key pixels are fully transparent.
      Keyed.assign(S.Pixels, S.Pixels + static_cast<std::size_t>(S.Width) * S.Height);
      std::uint32_t Key = (GetRValue(T->LayeredKey) << 16) | (GetGValue(T->LayeredKey) << 8) | GetBValue(T->LayeredKey);
      for (auto& Px : Keyed) Px = (Px & 0xFFFFFF) == Key ? 0 : (Px | 0xFF000000u);
      Pixels = Keyed.data();
      Dirty.clear();
    } else if (!T->LayeredPerPixel) {
      // Drawing leaves alpha at 0; an ordinary window is opaque. Only the changed parts need it.
      std::vector<RECT> Areas = Dirty.empty() ? std::vector<RECT>{RECT{0, 0, S.Width, S.Height}} : Dirty;
      for (const RECT& A : Areas)
        for (int Y = std::max<LONG>(A.top, 0); Y < std::min<LONG>(A.bottom, S.Height); ++Y) {
          std::uint32_t* Row = S.Pixels + static_cast<std::size_t>(Y) * S.Width;
          for (int X = std::max<LONG>(A.left, 0); X < std::min<LONG>(A.right, S.Width); ++X) Row[X] |= 0xFF000000u;
        }
    }
    B.Present(S.Display, Pixels, S.Width, S.Height, S.Width * 4, Dirty);
    Any = true;
  }
  if (Any) B.Flush();
}

void PresentIfOverdue()
{
  if (Now() - P().LastPresent >= PresentIntervalMs) PresentAll();
}

void ExposeWindow(TWnd* W, const RECT& Area)
{
  if (!W->Surface) return;
  AddDirty(W, Area);
}

void WindowMoved(TWnd* W, const RECT& OldWindow, const RECT& OldClient, UINT Flags)
{
  (void)OldClient;
  bool Sized = !(Flags & SWP_NOSIZE);
  bool Moved = !(Flags & SWP_NOMOVE);
  bool Shown = (Flags & SWP_SHOWWINDOW) != 0;
  bool Hidden = (Flags & SWP_HIDEWINDOW) != 0;
  bool Redraw = !(Flags & SWP_NOREDRAW);
  if (W->IsTopLevel() && !W->MessageOnly) {
    // The pixels are made when the window is first shown. A later size change reaches them when
    // they are next drawn on, scrolled or presented (SurfaceResize), so a layout that sizes the
    // window many times copies them once, at its new size.
    if (Shown || (Sized && (W->Style & WS_VISIBLE) && !W->Surface)) SurfaceCreate(W);
    if (W->Surface && W->Surface->Display != 0 && (Moved || Sized) && !P().FromDisplay && !(W->Style & WS_MINIMIZE))
      GetDisplayBackend().SetBounds(W->Surface->Display, ScreenWindowRect(W));
    UpdateDisplayFlags(W);
    if (!(Flags & SWP_NOZORDER)) RestackDisplay();
    if (Shown || Sized || (Flags & SWP_FRAMECHANGED)) {
      if (Shown || Sized) InvalidateWindow(W, nullptr, true, true, true);
      else {
        W->FrameNeeded = true;
        TRegion All(WindowLocal(W));
        W->Update = TRegion::Combine(W->Update, TRegion::Combine(All, TRegion(ClientLocal(W)), RGN_DIFF), RGN_OR);
      }
    }
    if (Shown) {
      bool Activate = !(Flags & SWP_NOACTIVATE) && !(W->ExStyle & WS_EX_NOACTIVATE);
      SurfaceShow(W, true, Activate);
    }
    if (Hidden) SurfaceShow(W, false, false);
  } else if (!W->IsTopLevel() && W->Parent != nullptr && !W->Parent->IsDesktop) {
    TWnd* Par = W->Parent;
    POINT ClientOff{Par->Client.left - Par->Window.left, Par->Client.top - Par->Window.top};
    if (Redraw && (Moved || Sized || Hidden || Shown || !(Flags & SWP_NOZORDER))) {
      // The parent shows again where the window was and where it is now.
      if (Hidden || Moved || Sized || !(Flags & SWP_NOZORDER)) {
        TRegion Old(OldWindow);
        Old.Offset(ClientOff.x, ClientOff.y);
        InvalidateWindow(Par, &Old, true, false, true);
      }
      if (W->Style & WS_VISIBLE) {
        TRegion New(W->Window);
        New.Offset(ClientOff.x, ClientOff.y);
        InvalidateWindow(Par, &New, true, false, !(Par->Style & WS_CLIPCHILDREN));
        InvalidateWindow(W, nullptr, true, true, true);
      }
    } else if (Flags & SWP_FRAMECHANGED) {
      InvalidateWindow(W, nullptr, true, true, false);
    }
  }
  if (Flags & SWP_FRAMECHANGED) {
    W->FrameNeeded = IsReallyVisible(W);
  }
  UpdateNativeChildren();
}

void UpdateDisplayFlags(TWnd* W)
{
  if (!W->Surface || W->Surface->Display == 0 || W->Surface->Flags == DisplayFlags(W)) return;
  W->Surface->Flags = DisplayFlags(W);
  GetDisplayBackend().SetFlags(W->Surface->Display, W->Surface->Flags);
}

void UpdateDisplayShape(TWnd* W)
{
  if (!W->Surface || W->Surface->Display == 0) return;
  GetDisplayBackend().SetShape(W->Surface->Display, W->HasRegion, W->HasRegion ? W->Region.Rects() : std::vector<RECT>());
}

void UpdateDisplayOpacity(TWnd* W)
{
  if (!W->Surface || W->Surface->Display == 0) return;
  BYTE Alpha = 255;
  bool PerPixel = false;
  if (W->ExStyle & WS_EX_LAYERED) {
    if (W->LayeredAttrSet) {
      if (W->LayeredFlags & LWA_ALPHA) Alpha = W->LayeredAlpha;
      PerPixel = (W->LayeredFlags & LWA_COLORKEY) != 0;
    } else if (W->LayeredPerPixel) {
      Alpha = W->LayeredAlpha;
      PerPixel = (W->LayeredFlags & ULW_ALPHA) != 0;
    }
  }
  GetDisplayBackend().SetOpacity(W->Surface->Display, Alpha, PerPixel);
}

void ReleaseWindowDCs(TWnd* W)
{
  auto& L = P().Dcs;
  for (auto& D : L)
    if (D.Wnd == W->Handle) {
      DeleteDC(D.Dc);
      D.Dc = nullptr;
    }
  L.erase(std::remove_if(L.begin(), L.end(), [](const TWindowDC& D) { return D.Dc == nullptr; }), L.end());
}

// The part of a native child's window (surface rectangle B) that shows: inside the client
// areas of its ancestors and not under a visible sibling above it or above one of its
// ancestors. In the window's own coordinates; Whole tells that nothing is cut off.
std::vector<RECT> NativeVisibleRects(TWnd* W, const RECT& B, bool& Whole)
{
  TRegion Visible(B);
  for (TWnd* A = W; A->Parent != nullptr && !A->IsTopLevel(); A = A->Parent) {
    TWnd* Par = A->Parent;
    const POINT PO = SurfaceOffset(Par);
    const RECT PC = ClientLocal(Par);
    Visible.IntersectWith(RECT{PO.x + PC.left, PO.y + PC.top, PO.x + PC.right, PO.y + PC.bottom});
    for (TWnd* S : Par->Children) {
      if (S == A) break;
      if (!(S->Style & WS_VISIBLE)) continue;
      const POINT SO = SurfaceOffset(S);
      Visible.Subtract(RECT{SO.x, SO.y, SO.x + (S->Window.right - S->Window.left), SO.y + (S->Window.bottom - S->Window.top)});
    }
  }
  Whole = Visible == TRegion(B);
  Visible.Offset(-B.left, -B.top);
  return Visible.Rects();
}

void UpdateNativeChild(TWnd* W)
{
  if (!W->WantsNative) return;
  TWnd* T = TopLevelOf(W);
  bool Visible = IsReallyVisible(W);
  if (T == W || !T->Surface || T->Surface->Display == 0) return;
  POINT Off = SurfaceOffset(W);
  RECT B{Off.x, Off.y, Off.x + (W->Window.right - W->Window.left), Off.y + (W->Window.bottom - W->Window.top)};
  auto& Backend = GetDisplayBackend();
  if (W->NativeChild == 0) {
    // A hidden panel gets its window too (unmapped): a player is given the id before the
    // panel shows what it draws.
    W->NativeChild = Backend.CreateNativeChild(T->Surface->Display, B, Visible);
    W->NativeShaped = false;
    W->NativeShape.clear();
  }
  if (W->NativeChild == 0) return;
  Backend.SetNativeChildBounds(W->NativeChild, B, Visible);
  bool Whole = true;
  std::vector<RECT> Shape = NativeVisibleRects(W, B, Whole);
  if (Whole) Shape.clear();
  const bool Same = W->NativeShaped == !Whole && Shape.size() == W->NativeShape.size() &&
                    std::equal(Shape.begin(), Shape.end(), W->NativeShape.begin(),
                               [](const RECT& X, const RECT& Y) { return EqualRect(&X, &Y) != 0; });
  if (Same) return;
  W->NativeShaped = !Whole;
  W->NativeShape = Shape;
  Backend.SetNativeChildShape(W->NativeChild, !Whole, Shape);
}

TWnd* WindowOfDisplay(TDisplayWindow D)
{
  if (D == 0) return nullptr;
  for (TWnd* T : Desktop()->Children)
    if (T->Surface && T->Surface->Display == D) return T;
  return nullptr;
}

void DisplayConfigured(TWnd* W, const RECT& Bounds)
{
  if (W->Style & WS_MINIMIZE) return;
  RECT Cur = ScreenWindowRect(W);
  if (EqualRect(&Cur, &Bounds)) return;
  P().FromDisplay = true;
  try {
    SetWindowPos(W->Handle, nullptr, Bounds.left, Bounds.top, Bounds.right - Bounds.left, Bounds.bottom - Bounds.top,
                 SWP_NOZORDER | SWP_NOACTIVATE);
  } catch (...) {
    P().FromDisplay = false;
    throw;
  }
  P().FromDisplay = false;
}

void SetTopLevelTitle(TWnd* W)
{
  if (W->Surface && W->Surface->Display != 0) GetDisplayBackend().SetTitle(W->Surface->Display, W->Text);
}

}  // namespace QvWin

using namespace QvWin;

TDisplayWindow GetDisplayWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || !W->Surface) return 0;
  return W->Surface->Display;
}

// ---------------------------------------------------------------------------------------------
// Update regions

namespace {

// A client-coordinates rectangle or region argument as a window-coordinates region; nullptr for
// "all of it".
bool AreaArg(TWnd* W, const RECT* Rect, HRGN Rgn, TRegion& Out)
{
  POINT C{W->Client.left - W->Window.left, W->Client.top - W->Window.top};
  if (Rgn != nullptr) {
    TRegion* R = RegionFromHandle(Rgn);
    if (R == nullptr) return false;
    Out = *R;
    Out.Offset(C.x, C.y);
    return true;
  }
  if (Rect != nullptr) {
    Out = TRegion(*Rect);
    Out.Offset(C.x, C.y);
    return true;
  }
  return false;
}

}  // namespace

BOOL RedrawWindow(HWND Wnd, const RECT* Update, HRGN UpdateRgn, UINT Flags)
{
  TWnd* W = Wnd == nullptr ? Desktop() : LookupLive(Wnd);
  if (W == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return FALSE;
  }
  if (W->IsDesktop) {
    std::vector<HWND> Tops;
    for (TWnd* T : W->Children) Tops.push_back(T->Handle);
    for (HWND T : Tops) RedrawWindow(T, nullptr, nullptr, Flags | RDW_FRAME);
    return TRUE;
  }
  HWND H = W->Handle;
  TRegion Area;
  bool HasArea = AreaArg(W, Update, UpdateRgn, Area);
  if (!HasArea && (Flags & RDW_FRAME)) {
    Area = TRegion(WindowLocal(W));
    HasArea = true;
  }
  if (!HasArea) Area = TRegion(ClientLocal(W));
  bool Children = ChildrenIncluded(W, Flags);
  if (Flags & RDW_INVALIDATE) InvalidateWindow(W, &Area, (Flags & RDW_ERASE) != 0, (Flags & RDW_FRAME) != 0, Children);
  if (Flags & RDW_INTERNALPAINT) W->InternalPaint = true;
  if (Flags & RDW_VALIDATE) {
    ValidateArea(W, (Update == nullptr && UpdateRgn == nullptr) ? nullptr : &Area, Flags, Children);
    if (Flags & RDW_NOINTERNALPAINT) W->InternalPaint = false;
  }
  if (Flags & RDW_UPDATENOW) PaintNow(W, false, !(Flags & RDW_NOCHILDREN));
  else if (Flags & RDW_ERASENOW) PaintNow(W, true, !(Flags & RDW_NOCHILDREN));
  (void)H;
  return TRUE;
}

BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase)
{
  if (Wnd == nullptr) return RedrawWindow(nullptr, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
  return RedrawWindow(Wnd, Rect, nullptr, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase)
{
  return RedrawWindow(Wnd, nullptr, Rgn, RDW_INVALIDATE | (Erase ? RDW_ERASE : 0));
}

BOOL ValidateRect(HWND Wnd, const RECT* Rect)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  W->PaintServiced = true;
  return RedrawWindow(Wnd, Rect, nullptr, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL ValidateRgn(HWND Wnd, HRGN Rgn)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  W->PaintServiced = true;
  return RedrawWindow(Wnd, nullptr, Rgn, RDW_VALIDATE | RDW_NOCHILDREN);
}

BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  TRegion U = W->Update;
  U.IntersectWith(ClientLocal(W));
  U.Offset(-(W->Client.left - W->Window.left), -(W->Client.top - W->Window.top));
  if (Rect != nullptr) *Rect = U.Box();
  if (Erase && !U.IsEmpty()) PaintNow(W, true, false);
  return U.IsEmpty() ? FALSE : TRUE;
}

int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase)
{
  TWnd* W = LookupLive(Wnd);
  TRegion* Out = RegionFromHandle(Rgn);
  if (W == nullptr || Out == nullptr) return RGN_ERROR;
  TRegion U = W->Update;
  U.IntersectWith(ClientLocal(W));
  U.Offset(-(W->Client.left - W->Window.left), -(W->Client.top - W->Window.top));
  *Out = U;
  if (Erase && !U.IsEmpty()) PaintNow(W, true, false);
  return U.Complexity();
}

int ExcludeUpdateRgn(HDC Dc, HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || Dc == nullptr) return RGN_ERROR;
  TRegion U = W->Update;
  U.IntersectWith(ClientLocal(W));
  U.Offset(-(W->Client.left - W->Window.left), -(W->Client.top - W->Window.top));
  for (const RECT& R : U.Rects()) ExcludeClipRect(Dc, R.left, R.top, R.right, R.bottom);
  return U.Complexity();
}

BOOL UpdateWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return FALSE;
  PaintNow(W, false, true);
  return TRUE;
}

HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || Paint == nullptr) return nullptr;
  HWND H = W->Handle;
  HideCaretForPaint(W, true);
  if (W->FrameNeeded) {
    W->FrameNeeded = false;
    SendMessageA(H, WM_NCPAINT, 1, 0);
    if ((W = LookupLive(H)) == nullptr) return nullptr;
  }
  TRegion U = W->Update;
  bool Internal = W->InternalPaint;
  U.IntersectWith(ClientLocal(W));
  bool Erase = W->EraseNeeded;
  W->Update = TRegion();
  W->EraseNeeded = false;
  W->InternalPaint = false;
  W->PaintServiced = true;
  W->InPaint = true;
  (void)Internal;
  POINT C{W->Client.left - W->Window.left, W->Client.top - W->Window.top};
  TRegion Local = U;
  Local.Offset(-C.x, -C.y);
  *Paint = PAINTSTRUCT{};
  Paint->rcPaint = Local.Box();
  // The DC draws only into the invalid part of the visible client area.
  TRegion Vis = VisibleRegion(W, true, (W->Style & WS_CLIPCHILDREN) != 0, (W->Style & WS_CLIPSIBLINGS) != 0);
  POINT Off = SurfaceOffset(W);
  TRegion US = U;
  US.Offset(Off.x, Off.y);
  Vis = TRegion::Combine(Vis, US, RGN_AND);
  HDC Dc = MakeDC(W, Vis, false);
  Paint->hdc = Dc;
  Paint->fErase = FALSE;
  if (Erase && Dc != nullptr) {
    if (SendMessageA(H, WM_ERASEBKGND, reinterpret_cast<WPARAM>(Dc), 0) == 0) Paint->fErase = TRUE;
  } else if (Erase) {
    Paint->fErase = TRUE;
  }
  return Dc;
}

BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint)
{
  TWnd* W = LookupLive(Wnd);
  if (Paint != nullptr && Paint->hdc != nullptr) ReleaseDC(Wnd, Paint->hdc);
  if (W == nullptr) return FALSE;
  W->InPaint = false;
  HideCaretForPaint(W, false);
  return TRUE;
}

HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags)
{
  if (Wnd == nullptr || Wnd == GetDesktopWindow()) {
    if (Clip != nullptr && (Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) DeleteObject(Clip);
    return CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  }
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) {
    SetLastError(ERROR_INVALID_WINDOW_HANDLE);
    return nullptr;
  }
  bool WindowDc = (Flags & DCX_WINDOW) != 0;
  TWnd* Basis = W;
  if ((Flags & DCX_PARENTCLIP) && W->IsChild() && W->Parent != nullptr) Basis = W->Parent;
  TRegion Vis = VisibleRegion(Basis, Basis == W ? !WindowDc : true, Basis == W && (Flags & DCX_CLIPCHILDREN) != 0,
                              (Flags & DCX_CLIPSIBLINGS) != 0 || W->IsTopLevel());
  if (Basis != W) {
    TRegion Own = WindowArea(W);
    if (!WindowDc) Own.IntersectWith(ClientLocal(W));
    POINT O = SurfaceOffset(W);
    Own.Offset(O.x, O.y);
    Vis = TRegion::Combine(Vis, Own, RGN_AND);
  }
  if (Clip != nullptr && (Flags & (DCX_INTERSECTRGN | DCX_EXCLUDERGN))) {
    TRegion* R = RegionFromHandle(Clip);
    if (R != nullptr) {
      // The clip region is in screen coordinates.
      TRegion S = *R;
      TWnd* T = TopLevelOf(W);
      POINT TO = WindowOrigin(T);
      S.Offset(-TO.x, -TO.y);
      Vis = TRegion::Combine(Vis, S, (Flags & DCX_INTERSECTRGN) ? RGN_AND : RGN_DIFF);
    }
    DeleteObject(Clip);
  }
  return MakeDC(W, Vis, WindowDc);
}

HDC GetDC(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (Wnd != nullptr && W == nullptr) return nullptr;
  DWORD Flags = DCX_CACHE;
  if (W != nullptr) {
    if (W->Style & WS_CLIPCHILDREN) Flags |= DCX_CLIPCHILDREN;
    if (W->Style & WS_CLIPSIBLINGS) Flags |= DCX_CLIPSIBLINGS;
    if (W->Class != nullptr && (W->Class->Style & CS_PARENTDC)) Flags |= DCX_PARENTCLIP;
  }
  return GetDCEx(Wnd, nullptr, Flags);
}

HDC GetWindowDC(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (Wnd != nullptr && W == nullptr) return nullptr;
  DWORD Flags = DCX_WINDOW | DCX_CACHE;
  if (W != nullptr && (W->Style & WS_CLIPSIBLINGS)) Flags |= DCX_CLIPSIBLINGS;
  return GetDCEx(Wnd, nullptr, Flags);
}

int ReleaseDC(HWND Wnd, HDC Dc)
{
  (void)Wnd;
  if (Dc == nullptr) return 0;
  auto& L = P().Dcs;
  for (auto It = L.begin(); It != L.end(); ++It) {
    if (It->Dc != Dc) continue;
    TWnd* T = LookupLive(It->Top);
    if (T != nullptr) AddDirty(T, It->Area.Box());
    DeleteDC(Dc);
    L.erase(It);
    return 1;
  }
  // The screen DC and DCs not made here.
  if (WindowFromDC(Dc) == nullptr) return DeleteDC(Dc) ? 1 : 0;
  return 0;
}

int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update, RECT* UpdateRect,
                   UINT Flags)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return RGN_ERROR;
  HWND H = W->Handle;
  RECT Cl{0, 0, W->Client.right - W->Client.left, W->Client.bottom - W->Client.top};
  RECT Area = Scroll != nullptr ? *Scroll : Cl;
  IntersectRect(&Area, &Area, &Cl);
  if (Clip != nullptr) IntersectRect(&Area, &Area, Clip);
  POINT C{W->Client.left - W->Window.left, W->Client.top - W->Window.top};
  POINT Off = SurfaceOffset(W);
  TRegion Invalid(Area);
  TWnd* T = TopLevelOf(W);
  SurfaceResize(T);
  if (IsReallyVisible(W) && T->Surface && T->Surface->Pixels != nullptr && !IsRectEmpty(&Area) && (Dx != 0 || Dy != 0)) {
    // Surface coordinates of the client's visible part inside the scroll area.
    TRegion Vis = VisibleRegion(W, true, (W->Style & WS_CLIPCHILDREN) != 0, (W->Style & WS_CLIPSIBLINGS) != 0);
    TRegion AreaS(Area);
    AreaS.Offset(Off.x + C.x, Off.y + C.y);
    Vis = TRegion::Combine(Vis, AreaS, RGN_AND);
    TRegion Shifted = Vis;
    Shifted.Offset(Dx, Dy);
    TRegion Dest = TRegion::Combine(Vis, Shifted, RGN_AND);
    auto& S = *T->Surface;
    std::vector<std::uint32_t> Copy(S.Pixels, S.Pixels + static_cast<std::size_t>(S.Width) * S.Height);
    for (const RECT& R : Dest.Rects())
      for (int Y = R.top; Y < R.bottom; ++Y) {
        if (Y < 0 || Y >= S.Height || Y - Dy < 0 || Y - Dy >= S.Height) continue;
        for (int X = R.left; X < R.right; ++X) {
          if (X < 0 || X >= S.Width || X - Dx < 0 || X - Dx >= S.Width) continue;
          S.Pixels[static_cast<std::size_t>(Y) * S.Width + X] = Copy[static_cast<std::size_t>(Y - Dy) * S.Width + (X - Dx)];
        }
      }
    AddDirty(T, Vis.Box());
    TRegion DestClient = Dest;
    DestClient.Offset(-(Off.x + C.x), -(Off.y + C.y));
    Invalid = TRegion::Combine(TRegion(Area), DestClient, RGN_DIFF);
  }
  // The pending update region moves with the pixels.
  if (!W->Update.IsEmpty()) {
    TRegion InArea = W->Update;
    RECT AreaW = Area;
    OffsetRect(&AreaW, C.x, C.y);
    InArea.IntersectWith(AreaW);
    TRegion Rest = TRegion::Combine(W->Update, InArea, RGN_DIFF);
    InArea.Offset(Dx, Dy);
    InArea.IntersectWith(AreaW);
    W->Update = TRegion::Combine(Rest, InArea, RGN_OR);
  }
  if (Flags & SW_SCROLLCHILDREN) {
    std::vector<HWND> Kids;
    for (TWnd* K : W->Children) Kids.push_back(K->Handle);
    for (HWND K : Kids) {
      TWnd* Kw = LookupLive(K);
      if (Kw == nullptr) continue;
      RECT KR = Kw->Window;
      if (Scroll != nullptr) {
        RECT X;
        if (!IntersectRect(&X, &KR, Scroll)) continue;
      }
      SetWindowPos(K, nullptr, KR.left + Dx, KR.top + Dy, 0, 0, SWP_NOZORDER | SWP_NOSIZE | SWP_NOACTIVATE | SWP_NOREDRAW);
    }
    if ((W = LookupLive(H)) == nullptr) return RGN_ERROR;
  }
  if (UpdateRect != nullptr) *UpdateRect = Invalid.Box();
  if (Update != nullptr) {
    TRegion* R = RegionFromHandle(Update);
    if (R != nullptr) *R = Invalid;
  }
  if (Flags & (SW_INVALIDATE | SW_ERASE)) {
    HRGN Tmp = CreateRegionHandle(Invalid);
    RedrawWindow(H, nullptr, Tmp, RDW_INVALIDATE | ((Flags & SW_ERASE) ? RDW_ERASE : 0) |
                                       ((Flags & SW_SCROLLCHILDREN) ? RDW_ALLCHILDREN : 0));
    DeleteObject(Tmp);
  }
  return Invalid.IsEmpty() ? NULLREGION : Invalid.Complexity();
}

BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip)
{
  UINT Flags = SW_INVALIDATE | SW_ERASE | (Scroll == nullptr ? SW_SCROLLCHILDREN : 0);
  return ScrollWindowEx(Wnd, Dx, Dy, Scroll, Clip, nullptr, nullptr, Flags) != RGN_ERROR ? TRUE : FALSE;
}

BOOL ScrollDC(HDC Dc, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update, RECT* UpdateRect)
{
  if (Dc == nullptr) return FALSE;
  RECT Area{};
  if (Scroll != nullptr) Area = *Scroll;
  else GetClipBox(Dc, &Area);
  if (Clip != nullptr) IntersectRect(&Area, &Area, Clip);
  RECT Src = Area;
  OffsetRect(&Src, -Dx, -Dy);
  RECT SrcIn;
  IntersectRect(&SrcIn, &Src, &Area);
  RECT Dst = SrcIn;
  OffsetRect(&Dst, Dx, Dy);
  if (!IsRectEmpty(&Dst)) {
    // Copy through a temporary bitmap so that overlapping areas move cleanly.
    int Cx = Dst.right - Dst.left, Cy = Dst.bottom - Dst.top;
    HDC Mem = CreateCompatibleDC(Dc);
    HBITMAP B = CreateCompatibleBitmap(Dc, Cx, Cy);
    HGDIOBJ Old = SelectObject(Mem, B);
    BitBlt(Mem, 0, 0, Cx, Cy, Dc, SrcIn.left, SrcIn.top, SRCCOPY);
    BitBlt(Dc, Dst.left, Dst.top, Cx, Cy, Mem, 0, 0, SRCCOPY);
    SelectObject(Mem, Old);
    DeleteObject(B);
    DeleteDC(Mem);
  }
  TRegion Invalid = TRegion::Combine(TRegion(Area), TRegion(Dst), RGN_DIFF);
  if (UpdateRect != nullptr) *UpdateRect = Invalid.Box();
  if (Update != nullptr) {
    TRegion* R = RegionFromHandle(Update);
    if (R != nullptr) *R = Invalid;
  }
  return TRUE;
}

BOOL LockWindowUpdate(HWND Wnd)
{
  static HWND Locked = nullptr;
  if (Wnd != nullptr) {
    if (Locked != nullptr && LookupLive(Locked) != nullptr) return FALSE;
    Locked = Wnd;
    SendMessageA(Wnd, WM_SETREDRAW, FALSE, 0);
    return TRUE;
  }
  if (Locked != nullptr && LookupLive(Locked) != nullptr) {
    TWnd* W = LookupLive(Locked);
    W->RedrawOff = false;
    RedrawWindow(Locked, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_FRAME | RDW_ALLCHILDREN);
  }
  Locked = nullptr;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Window regions and layered windows

int SetWindowRgn(HWND Wnd, HRGN Rgn, BOOL Redraw)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return 0;
  HWND H = W->Handle;
  TRegion Old = W->HasRegion ? W->Region : TRegion(WindowLocal(W));
  if (Rgn != nullptr) {
    TRegion* R = RegionFromHandle(Rgn);
    if (R == nullptr) {
      SetLastError(ERROR_INVALID_HANDLE);
      return 0;
    }
    W->Region = *R;
    W->HasRegion = true;
    DeleteObject(Rgn);  // the window owns it now
  } else {
    W->Region = TRegion();
    W->HasRegion = false;
  }
  UpdateDisplayShape(W);
  // Windows sends WM_WINDOWPOSCHANGING/CHANGED for the shape change.
  SetWindowPos(H, nullptr, 0, 0, 0, 0,
               SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | (Redraw ? 0 : SWP_NOREDRAW));
  if ((W = LookupLive(H)) == nullptr) return 1;
  if (Redraw) {
    InvalidateWindow(W, nullptr, true, true, true);
    if (W->IsChild() && W->Parent != nullptr) {
      TWnd* Par = W->Parent;
      TRegion A = Old;
      A.Offset(W->Window.left + Par->Client.left - Par->Window.left, W->Window.top + Par->Client.top - Par->Window.top);
      InvalidateWindow(Par, &A, true, false, true);
    }
  }
  return 1;
}

int GetWindowRgn(HWND Wnd, HRGN Rgn)
{
  TWnd* W = LookupLive(Wnd);
  TRegion* Out = RegionFromHandle(Rgn);
  if (W == nullptr || Out == nullptr || !W->HasRegion) return RGN_ERROR;
  *Out = W->Region;
  return W->Region.Complexity();
}

BOOL SetLayeredWindowAttributes(HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || !(W->ExStyle & WS_EX_LAYERED)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  W->LayeredAttrSet = true;
  W->LayeredPerPixel = false;
  W->LayeredKey = Key;
  W->LayeredAlpha = Alpha;
  W->LayeredFlags = Flags;
  UpdateDisplayOpacity(W);
  if (W->Surface) W->Surface->AllDirty = true;
  InvalidateWindow(W, nullptr, true, true, true);
  return TRUE;
}

BOOL GetLayeredWindowAttributes(HWND Wnd, COLORREF* Key, BYTE* Alpha, DWORD* Flags)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || !(W->ExStyle & WS_EX_LAYERED) || !W->LayeredAttrSet) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  if (Key != nullptr) *Key = W->LayeredKey;
  if (Alpha != nullptr) *Alpha = W->LayeredAlpha;
  if (Flags != nullptr) *Flags = W->LayeredFlags;
  return TRUE;
}

BOOL UpdateLayeredWindow(HWND Wnd, HDC DstDC, POINT* Dst, SIZE* Size, HDC Src, POINT* SrcPoint, COLORREF Key,
                         BLENDFUNCTION* Blend, DWORD Flags)
{
  (void)DstDC;
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || !(W->ExStyle & WS_EX_LAYERED) || !W->IsTopLevel() || W->LayeredAttrSet) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  HWND H = W->Handle;
  if (Dst != nullptr || Size != nullptr) {
    RECT R = W->Window;
    int X = Dst ? Dst->x : R.left, Y = Dst ? Dst->y : R.top;
    int Cx = Size ? Size->cx : R.right - R.left, Cy = Size ? Size->cy : R.bottom - R.top;
    SetWindowPos(H, nullptr, X, Y, Cx, Cy, SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOREDRAW);
    if ((W = LookupLive(H)) == nullptr) return FALSE;
  }
  W->LayeredPerPixel = true;
  W->LayeredFlags = Flags;
  W->LayeredKey = Key;
  W->LayeredAlpha = Blend != nullptr ? Blend->SourceConstantAlpha : 255;
  if (Blend != nullptr && Blend->AlphaFormat != AC_SRC_ALPHA) W->LayeredFlags &= ~ULW_ALPHA;
  W->Update = TRegion();
  W->EraseNeeded = W->FrameNeeded = false;
  SurfaceCreate(W);
  if (!W->Surface || W->Surface->Pixels == nullptr) return FALSE;
  if (Src != nullptr) {
    HDC Dc = CreateSurfaceDC(W->Surface->Bitmap, POINT{0, 0}, nullptr);
    if (Dc != nullptr) {
      POINT S = SrcPoint != nullptr ? *SrcPoint : POINT{0, 0};
      BitBlt(Dc, 0, 0, W->Surface->Width, W->Surface->Height, Src, S.x, S.y, SRCCOPY);
      DeleteDC(Dc);
    }
    if (Flags & ULW_OPAQUE)
      for (int I = 0; I < W->Surface->Width * W->Surface->Height; ++I) W->Surface->Pixels[I] |= 0xFF000000u;
    if ((Flags & ULW_COLORKEY) && !(Flags & ULW_ALPHA)) {
      std::uint32_t K = (GetRValue(Key) << 16) | (GetGValue(Key) << 8) | GetBValue(Key);
      for (int I = 0; I < W->Surface->Width * W->Surface->Height; ++I) {
        std::uint32_t& Px = W->Surface->Pixels[I];
        Px = (Px & 0xFFFFFF) == K ? 0 : (Px | 0xFF000000u);
      }
      W->LayeredFlags |= ULW_ALPHA;
    }
  }
  W->Surface->AllDirty = true;
  UpdateDisplayOpacity(W);
  PresentAll();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Native child windows

std::uint64_t EnsureNativeWindow(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr) return 0;
  if (!W->WantsNative) {
    W->WantsNative = true;
    P().NativeWindows.push_back(Wnd);
  }
  UpdateNativeChild(W);
  return GetNativeWindowId(Wnd);
}

std::uint64_t GetNativeWindowId(HWND Wnd)
{
  TWnd* W = LookupLive(Wnd);
  if (W == nullptr || W->NativeChild == 0) return 0;
  return GetDisplayBackend().NativeId(W->NativeChild);
}
