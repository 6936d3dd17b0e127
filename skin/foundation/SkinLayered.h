// Layered popup windows that fade a masked picture in over the screen, and the binding of the
// optional system functions (monitors, scroll-bar information, layered windows, TransparentBlt)
// with the processor test for MMX. Users of an optional function go through these helpers and
// do without it when it is missing.
#pragma once

#include "platform/vcl/Component.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Timer.h"
#include "platform/win/WinUser.h"

class TskBitmap;

// A never-activated popup whose content comes from UpdateLayeredWindow.
class TskLayerWindow : public TCustomControl {
public:
  explicit TskLayerWindow(TComponent* AOwner);

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;
};

// Owns one layer window showing a picture with alpha from a mask, faded in on a 25 ms timer.
class TskLayerManager : public TComponent {
public:
  explicit TskLayerManager(TComponent* AOwner);
  ~TskLayerManager() override;

  // Whether the window is placed topmost (true by default).
  bool TopMost = true;

  // Shows Picture at screen (X, Y) with each pixel's alpha taken from Mask (same size), fading
  // to the constant alpha AlphaValue (0..255). A window already shown is hidden first.
  void Show(int X, int Y, TBitmap* Picture, TBitmap* Mask, int AlphaValue);
  void Hide();

  TskLayerWindow* GetWindow() const { return FWindow; }
  TskBitmap* GetBitmap() const { return FBitmap; }
  TTimer* GetTimer() const { return FTimer; }
  int GetTargetAlpha() const { return FTargetAlpha; }
  int GetCurrentAlpha() const { return FCurrentAlpha; }
  int GetAlphaStep() const { return FAlphaStep; }
  bool GetShown() const { return FShown; }
  // One fade step (the timer's tick).
  void FadeStep(TObject* Sender = nullptr);

private:
  TskLayerWindow* FWindow = nullptr;
  TskBitmap* FBitmap = nullptr;
  TTimer* FTimer = nullptr;
  int FTargetAlpha = 0;
  int FCurrentAlpha = 0;
  int FAlphaStep = 0;
  bool FShown = false;
};

// The optional functions, bound once (null when the platform lacks one).
struct TskSystemFunctions {
  HMONITOR (*MonitorFromWindow)(HWND, DWORD) = nullptr;
  BOOL (*GetMonitorInfoA)(HMONITOR, MONITORINFO*) = nullptr;
  BOOL (*GetScrollBarInfo)(HWND, LONG, SCROLLBARINFO*) = nullptr;
  BOOL (*SetLayeredWindowAttributes)(HWND, COLORREF, BYTE, DWORD) = nullptr;
  BOOL (*UpdateLayeredWindow)(HWND, HDC, POINT*, SIZE*, HDC, POINT*, COLORREF, BLENDFUNCTION*, DWORD) = nullptr;
  BOOL (*TransparentBlt)(HDC, int, int, int, int, HDC, int, int, int, int, UINT) = nullptr;
  bool MMX = false;
  bool WideText = false;
  bool TransparentBltAvailable = false;
};

// The bound functions (bound on first use).
TskSystemFunctions& SkinSystemFunctions();
// Binds the functions again from the platform (start-up state).
void BindSkinSystemFunctions();

// Updates Control's layered window from the 32-bit bitmap at the control's position with
// constant alpha Alpha and the bitmap's per-pixel alpha. The colours are premultiplied by their
// alpha on the way (the bitmap itself is left as it is). Nothing when unbound or empty.
void UpdateLayeredWindowFromBitmap(TskBitmap* Bitmap, int Alpha, TWinControl* Control);
void SetLayeredAlpha(HWND Wnd, int Alpha);
// GetScrollBarInfo when bound; otherwise marks the bar invisible and answers 0.
int QueryScrollBarInfo(HWND Wnd, LONG ObjectId, SCROLLBARINFO& Info);
bool IsTransparentBltAvailable();
bool HasMMX();
void EmmsIfMMX();
// Each of red, green and blue becomes c - MulDiv(c, Percent, 100).
TColor DarkenColor(TColor Color, int Percent);
