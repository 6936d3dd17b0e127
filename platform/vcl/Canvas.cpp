#include "platform/vcl/Canvas.h"

#include "platform/vcl/Bitmap.h"

namespace {
constexpr const char* SNoCanvasHandle = "Canvas does not allow drawing";
}

TCanvas::TCanvas()
    : FFont(std::make_unique<TFont>()), FPen(std::make_unique<TPen>()), FBrush(std::make_unique<TBrush>()) {
  FFont->OnChange = [this](TObject* S) { FontChanged(S); };
  FPen->OnChange = [this](TObject* S) { PenChanged(S); };
  FBrush->OnChange = [this](TObject* S) { BrushChanged(S); };
}

TCanvas::~TCanvas() {
  DeselectHandles();
  FFont->OnChange = nullptr;
  FPen->OnChange = nullptr;
  FBrush->OnChange = nullptr;
}

HDC TCanvas::GetHandle() {
  RequiredState(csAllValid);
  return FHandle;
}

void TCanvas::SetHandle(HDC Value) {
  if (FHandle == Value) return;
  if (FHandle) DeselectHandles();
  FHandle = Value;
  FState = Value ? TCanvasState{csHandleValid} : TCanvasState{0};
}

void TCanvas::DeselectHandles() {
  if (FHandle && (FState & (csPenValid | csBrushValid | csFontValid))) {
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
  FState &= ~(csPenValid | csBrushValid | csFontValid);
}

void TCanvas::RequiredState(TCanvasState ReqState) {
  TCanvasState Needed = ReqState & ~FState;
  if (!Needed) return;
  if (Needed & csHandleValid) {
    CreateHandle();
    if (!FHandle) throw EInvalidGraphicOperation(SNoCanvasHandle);
    FState |= csHandleValid;
  }
  if (Needed & csFontValid) CreateFontState();
  if (Needed & csPenValid) CreatePenState();
  if (Needed & csBrushValid) CreateBrushState();
}

void TCanvas::CreateFontState() {
  SelectObject(FHandle, FFont->GetHandle());
  SetTextColor(FHandle, ColorToRGB(FFont->GetColor()));
  FState |= csFontValid;
}

void TCanvas::CreatePenState() {
  SelectObject(FHandle, FPen->GetHandle());
  SetROP2(FHandle, PenModeToRop2(FPen->GetMode()));
  FState |= csPenValid;
}

void TCanvas::CreateBrushState() {
  SelectObject(FHandle, FBrush->GetHandle());
  if (FBrush->GetStyle() == bsSolid) {
    SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
    SetBkMode(FHandle, OPAQUE);
  } else {
    // Hatches and clear brushes leave what lies between them.
    SetBkColor(FHandle, ~ColorToRGB(FBrush->GetColor()) & 0xFFFFFF);
    SetBkMode(FHandle, TRANSPARENT);
  }
  FState |= csBrushValid;
}

void TCanvas::FontChanged(TObject*) {
  if (FState & csFontValid) {
    FState &= ~csFontValid;
    SelectObject(FHandle, GetStockObject(SYSTEM_FONT));
  }
}

void TCanvas::PenChanged(TObject*) {
  if (FState & csPenValid) {
    FState &= ~csPenValid;
    SelectObject(FHandle, GetStockObject(BLACK_PEN));
  }
}

void TCanvas::BrushChanged(TObject*) {
  if (FState & csBrushValid) {
    FState &= ~csBrushValid;
    SelectObject(FHandle, GetStockObject(HOLLOW_BRUSH));
  }
}

void TCanvas::Changing() {
  if (OnChanging) OnChanging(this);
}

void TCanvas::Changed() {
  if (OnChange) OnChange(this);
}

TColor TCanvas::GetPixels(int X, int Y) {
  RequiredState(csHandleValid);
  return ::GetPixel(FHandle, X, Y);
}

void TCanvas::SetPixels(int X, int Y, TColor Value) {
  Changing();
  RequiredState(csHandleValid | csPenValid);
  ::SetPixel(FHandle, X, Y, ColorToRGB(Value));
  Changed();
}

TPoint TCanvas::GetPenPos() {
  RequiredState(csHandleValid);
  POINT P{};
  GetCurrentPositionEx(FHandle, &P);
  return P;
}

TRect TCanvas::GetClipRect() {
  RequiredState(csHandleValid);
  RECT R{};
  GetClipBox(FHandle, &R);
  return R;
}

void TCanvas::MoveTo(int X, int Y) {
  RequiredState(csHandleValid);
  MoveToEx(FHandle, X, Y, nullptr);
}

void TCanvas::LineTo(int X, int Y) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::LineTo(FHandle, X, Y);
  Changed();
}

void TCanvas::Polyline(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polyline(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Polygon(const std::vector<TPoint>& Points) {
  if (Points.empty()) return;
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Polygon(FHandle, Points.data(), static_cast<int>(Points.size()));
  Changed();
}

void TCanvas::Rectangle(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Rectangle(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::RoundRect(int X1, int Y1, int X2, int Y2, int X3, int Y3) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::RoundRect(FHandle, X1, Y1, X2, Y2, X3, Y3);
  Changed();
}

void TCanvas::Ellipse(int X1, int Y1, int X2, int Y2) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Ellipse(FHandle, X1, Y1, X2, Y2);
  Changed();
}

void TCanvas::Arc(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Arc(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Chord(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Chord(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::Pie(int X1, int Y1, int X2, int Y2, int X3, int Y3, int X4, int Y4) {
  Changing();
  RequiredState(csHandleValid | csPenValid | csBrushValid);
  ::Pie(FHandle, X1, Y1, X2, Y2, X3, Y3, X4, Y4);
  Changed();
}

void TCanvas::FillRect(const TRect& Rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FillRect(FHandle, &Rect, FBrush->GetHandle());
  Changed();
}

void TCanvas::FrameRect(const TRect& Rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::FrameRect(FHandle, &Rect, FBrush->GetHandle());
  Changed();
}

void TCanvas::DrawFocusRect(const TRect& Rect) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::DrawFocusRect(FHandle, &Rect);
  Changed();
}

void TCanvas::FloodFill(int X, int Y, TColor Color, TFillStyle FillStyle) {
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  ::ExtFloodFill(FHandle, X, Y, ColorToRGB(Color),
                 FillStyle == fsSurface ? FLOODFILLSURFACE : FLOODFILLBORDER);
  Changed();
}

void TCanvas::TextOut(int X, int Y, const String& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  ::ExtTextOutA(FHandle, X, Y, static_cast<UINT>(FTextFlags), nullptr, Text.data(),
                static_cast<UINT>(Text.size()), nullptr);
  MoveToEx(FHandle, X + TextWidth(Text), Y, nullptr);
  Changed();
}

void TCanvas::TextRect(const TRect& Rect, int X, int Y, const String& Text) {
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  UINT Options = ETO_CLIPPED | static_cast<UINT>(FTextFlags);
  if (FBrush->GetStyle() != bsClear) Options |= ETO_OPAQUE;
  ::ExtTextOutA(FHandle, X, Y, Options, &Rect, Text.data(), static_cast<UINT>(Text.size()), nullptr);
  Changed();
}

SIZE TCanvas::TextExtent(const String& Text) {
  RequiredState(csHandleValid | csFontValid);
  SIZE S{};
  GetTextExtentPoint32A(FHandle, Text.data(), static_cast<int>(Text.size()), &S);
  return S;
}

void TCanvas::Draw(int X, int Y, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csHandleValid);
  SetBkColor(FHandle, ColorToRGB(FBrush->GetColor()));
  Graphic->Draw(this, Bounds(X, Y, Graphic->GetWidth(), Graphic->GetHeight()));
  Changed();
}

void TCanvas::StretchDraw(const TRect& Rect, TGraphic* Graphic) {
  if (!Graphic || Graphic->Empty()) return;
  Changing();
  RequiredState(csAllValid);
  Graphic->Draw(this, Rect);
  Changed();
}

void TCanvas::CopyRect(const TRect& Dest, TCanvas* Canvas, const TRect& Source) {
  if (!Canvas) return;
  Changing();
  RequiredState(csHandleValid | csFontValid | csBrushValid);
  Canvas->RequiredState(csHandleValid | csBrushValid);
  ::StretchBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top,
               Canvas->FHandle, Source.left, Source.top, Source.right - Source.left,
               Source.bottom - Source.top, FCopyMode);
  Changed();
}

void TCanvas::BrushCopy(const TRect& Dest, TBitmap* Bitmap, const TRect& Source, TColor Color) {
  if (!Bitmap || Bitmap->Empty()) return;
  Changing();
  RequiredState(csHandleValid | csBrushValid);
  // The brush shows where the bitmap has Color; everything else is copied.
  ::FillRect(FHandle, &Dest, FBrush->GetHandle());
  HDC Src = Bitmap->GetCanvas()->GetHandle();
  ::TransparentBlt(FHandle, Dest.left, Dest.top, Dest.right - Dest.left, Dest.bottom - Dest.top, Src,
                   Source.left, Source.top, Source.right - Source.left, Source.bottom - Source.top,
                   ColorToRGB(Color));
  Changed();
}

void TCanvas::Refresh() { DeselectHandles(); }

void TCanvas::Lock() {
  FLock.Enter();
  ++FLockCount;
}

void TCanvas::Unlock() {
  --FLockCount;
  FLock.Leave();
}

bool TCanvas::TryLock() {
  if (!FLock.TryEnter()) return false;
  ++FLockCount;
  return true;
}

void Frame3D(TCanvas* Canvas, TRect& Rect, TColor TopColor, TColor BottomColor, int Width) {
  Canvas->GetPen()->SetWidth(1);
  --Rect.bottom;
  --Rect.right;
  while (Width-- > 0) {
    TPoint TopRight = Point(Rect.right, Rect.top);
    TPoint BottomLeft = Point(Rect.left, Rect.bottom);
    Canvas->GetPen()->SetColor(TopColor);
    Canvas->Polyline({BottomLeft, Point(Rect.left, Rect.top), TopRight});
    Canvas->GetPen()->SetColor(BottomColor);
    --BottomLeft.x;
    Canvas->Polyline({TopRight, Point(Rect.right, Rect.bottom), BottomLeft});
    InflateRect(&Rect, -1, -1);
  }
  ++Rect.bottom;
  ++Rect.right;
}
