// TCanvas: drawing with a font, pen and brush on a device context. The tools are selected into
// the DC lazily, only for the operations that need them, and dropped when they change.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/rtl/SyncObjs.h"
#include "platform/vcl/GraphicsObjects.h"

class TGraphic;
class TBitmap;

// Which tools of a canvas are selected into its DC (a set).
using TCanvasState = std::uint32_t;
enum : TCanvasState {
  csHandleValid = 1u << 0,
  csFontValid = 1u << 1,
  csPenValid = 1u << 2,
  csBrushValid = 1u << 3,
  csAllValid = csHandleValid | csFontValid | csPenValid | csBrushValid,
};

using TCopyMode = DWORD;
constexpr TCopyMode cmBlackness = BLACKNESS;
constexpr TCopyMode cmDstInvert = DSTINVERT;
constexpr TCopyMode cmMergeCopy = MERGECOPY;
constexpr TCopyMode cmMergePaint = MERGEPAINT;
constexpr TCopyMode cmNotSrcCopy = NOTSRCCOPY;
constexpr TCopyMode cmNotSrcErase = NOTSRCERASE;
constexpr TCopyMode cmPatCopy = PATCOPY;
constexpr TCopyMode cmPatInvert = PATINVERT;
constexpr TCopyMode cmPatPaint = PATPAINT;
constexpr TCopyMode cmSrcAnd = SRCAND;
constexpr TCopyMode cmSrcCopy = SRCCOPY;
constexpr TCopyMode cmSrcErase = SRCERASE;
constexpr TCopyMode cmSrcInvert = SRCINVERT;
constexpr TCopyMode cmSrcPaint = SRCPAINT;
constexpr TCopyMode cmWhiteness = WHITENESS;

enum TFillStyle { fsSurface, fsBorder };

QV_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception);

class TCanvas;
// Draws Width one-pixel frames inside Rect: top and left in TopColor, bottom and right in
// BottomColor; Rect shrinks by Width on every side.
void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width);

class TCanvas : public TPersistent {
public:
  TCanvas();
  TCanvas(const TCanvas&) = delete;
  TCanvas& operator=(const TCanvas&) = delete;
  // Drops the tools from the DC; the DC itself belongs to whoever gave it.
  ~TCanvas() override;

  // The DC; a canvas that makes its own (CreateHandle) does so now. EInvalidGraphicOperation
  // "Canvas does not allow drawing" when there is none.
  HDC GetHandle();
  // Uses Value from now on (the tools are dropped from the previous DC first).
  void SetHandle(HDC Value);
  bool HandleAllocated() const { return FHandle != nullptr; }

  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  TPen* GetPen() const { return FPen.get(); }
  void SetPen(TPen* Value) { FPen->Assign(Value); }
  TBrush* GetBrush() const { return FBrush.get(); }
  void SetBrush(TBrush* Value) { FBrush->Assign(Value); }
  TCopyMode GetCopyMode() const { return FCopyMode; }
  void SetCopyMode(TCopyMode Value) { FCopyMode = Value; }
  // ExtTextOut options used by TextOut and TextRect.
  int GetTextFlags() const { return FTextFlags; }
  void SetTextFlags(int Value) { FTextFlags = Value; }

  TColor GetPixels(int X, int Y);
  void SetPixels(int X, int Y, TColor Value);
  TPoint GetPenPos();
  void SetPenPos(const TPoint& Value) { MoveTo(Value.x, Value.y); }
  // The visible part of the DC in logical coordinates.
  TRect GetClipRect();

  void MoveTo(int X, int Y);
  void LineTo(int X, int Y);
  void Polyline(const std::vector<TPoint>& Points);
  void Polygon(const std::vector<TPoint>& Points);
  void Rectangle(int X1, int Y1, int X2, int Y2);
  void Rectangle(const TRect& R) { Rectangle(R.left, R.top, R.right, R.bottom); }
  void RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3);
  void Ellipse(int X1, int Y1, int X2, int Y2);
  void Ellipse(const TRect& R) { Ellipse(R.left, R.top, R.right, R.bottom); }
  void Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4);
  void FillRect(const TRect& Rect);
  void FrameRect(const TRect& Rect);
  void DrawFocusRect(const TRect& Rect);
  void FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle);

  // Text at (X, Y), then the pen position moves to its end.
  void TextOut(int X, int Y, const String& Text);
  // Text at (X, Y) clipped to Rect; with a non-clear brush Rect is filled first.
  void TextRect(const TRect& Rect, int X, int Y, const String& Text);
  SIZE TextExtent(const String& Text);
  int TextWidth(const String& Text) { return TextExtent(Text).cx; }
  int TextHeight(const String& Text) { return TextExtent(Text).cy; }

  // The graphic at its own size with its top-left corner at (X, Y).
  void Draw(int X, int Y, TGraphic* Graphic);
  // The graphic stretched into Rect.
  void StretchDraw(const TRect& Rect, TGraphic* Graphic);
  // Source of Canvas stretched into Dest with CopyMode.
  void CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source);
  // Source of Bitmap into Dest, with the pixels of Color replaced by the brush.
  void BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color);

  // Drops the tools from the DC so that it can be used directly.
  void Refresh();

  // Serialises drawing from several threads (nests per thread).
  void Lock();
  void Unlock();
  bool TryLock();
  int GetLockCount() const { return FLockCount; }

  TNotifyEvent OnChange;
  TNotifyEvent OnChanging;

protected:
  // Called when the DC is needed and there is none; canvases that own a DC make it here.
  virtual void CreateHandle() {}
  // Makes sure the DC and the listed tools are selected.
  void RequiredState(TCanvasState ReqState);
  virtual void Changing();
  virtual void Changed();
  TCanvasState GetState() const { return FState; }

private:
  void DeselectHandles();
  void CreateFontState();
  void CreatePenState();
  void CreateBrushState();
  void FontChanged(TObject*);
  void PenChanged(TObject*);
  void BrushChanged(TObject*);

  HDC FHandle = nullptr;
  TCanvasState FState = 0;
  std::unique_ptr<TFont> FFont;
  std::unique_ptr<TPen> FPen;
  std::unique_ptr<TBrush> FBrush;
  TCopyMode FCopyMode = cmSrcCopy;
  int FTextFlags = 0;
  TCriticalSection FLock;
  int FLockCount = 0;
};
