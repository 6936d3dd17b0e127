#include "skin/foundation/SkinBitmap.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <vector>

#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Picture.h"
#include "platform/win/WinUser.h"
#include "skin/foundation/PngImage.h"
#include "skin/foundation/SkinLayered.h"

// ---------------------------------------------------------------------------------------------
// Pixel-line routines
// ---------------------------------------------------------------------------------------------

void MoveLongwords(const std::uint32_t* Src, std::uint32_t* Dst, int Count)
{
  if (Count <= 0 || Src == Dst)
    return;
  std::memmove(Dst, Src, static_cast<std::size_t>(Count) * 4);
}

void FillLongwords(std::uint32_t* Dst, int Count, std::uint32_t Value)
{
  if (Count <= 0)
    return;
  std::fill(Dst, Dst + Count, Value);
}

void FillLongwordRect(std::uint32_t* Dst, int RowPixels, int Left, int Top, int Right, int Bottom,
                      std::uint32_t Value)
{
  for (int y = Top; y <= Bottom; ++y)
    FillLongwords(Dst + static_cast<std::ptrdiff_t>(y) * RowPixels + Left, Right - Left + 1, Value);
}

void SetAlphaBytes(std::uint32_t* Dst, int Count, Byte Alpha)
{
  const std::uint32_t a = static_cast<std::uint32_t>(Alpha) << 24;
  for (int i = 0; i < Count; ++i)
    Dst[i] = (Dst[i] & 0x00FFFFFFu) | a;
}

void SetAlphaRect(std::uint32_t* Dst, int RowPixels, int Left, int Top, int Right, int Bottom, Byte Alpha)
{
  for (int y = Top; y <= Bottom; ++y)
    SetAlphaBytes(Dst + static_cast<std::ptrdiff_t>(y) * RowPixels + Left, Right - Left + 1, Alpha);
}

void ClearColorAlpha(std::uint32_t* Dst, int Count, std::uint32_t Color)
{
  for (int i = 0; i < Count; ++i)
    if (((Dst[i] ^ Color) & 0x00FFFFFFu) == 0)
      Dst[i] &= 0x00FFFFFFu;
}

std::uint32_t BlendPixel(std::uint32_t F, std::uint32_t B)
{
  const std::uint32_t a = F >> 24;
  if (a == 255)
    return F;
  if (a == 0)
    return B;
  std::uint32_t result = 0xFF000000u;
  for (int shift = 0; shift <= 16; shift += 8) {
    const std::uint32_t f = (F >> shift) & 0xFF;
    const std::uint32_t b = (B >> shift) & 0xFF;
    result |= ((a * f + (255 - a) * b) >> 8) << shift;
  }
  return result;
}

void BlendLine(const std::uint32_t* Src, std::uint32_t* Dst, int Count)
{
  for (int i = 0; i < Count; ++i) {
    const std::uint32_t a = Src[i] >> 24;
    if (a == 0)
      continue;
    Dst[i] = a == 255 ? Src[i] : BlendPixel(Src[i], Dst[i]);
  }
}

void TransparentLine(const std::uint32_t* Src, std::uint32_t* Dst, int Count)
{
  for (int i = 0; i < Count; ++i)
    if ((Src[i] & 0x00FFFFFFu) != skTransparentKey)
      Dst[i] = Src[i] | 0xFF000000u;
}

// ---------------------------------------------------------------------------------------------
// Registry and helpers
// ---------------------------------------------------------------------------------------------

namespace {

std::vector<TskBitmap*>& Registry()
{
  static std::vector<TskBitmap*> List;
  return List;
}

enum class TDrawKind { Copy, Blend, Transparent };

using TLineRoutine = void (*)(const std::uint32_t*, std::uint32_t*, int);

TLineRoutine LineRoutine(TDrawKind Kind)
{
  switch (Kind) {
  case TDrawKind::Blend:
    return BlendLine;
  case TDrawKind::Transparent:
    return TransparentLine;
  default:
    return MoveLongwords;
  }
}

// Source positions for the destination positions ClipFrom .. ClipTo-1 of a destination span
// DstFrom..DstTo mapped onto the source span SrcFrom..SrcTo; positions are truncated (or rounded
// to nearest, halves to even, when Rounded).
std::vector<int> SourceMap(int ClipFrom, int ClipTo, int DstFrom, int DstTo, int SrcFrom, int SrcTo, bool Rounded)
{
  std::vector<int> map(static_cast<std::size_t>(std::max(0, ClipTo - ClipFrom)));
  const int sw = SrcTo - SrcFrom;
  const int dw = DstTo - DstFrom;
  if (dw < 2) {
    std::fill(map.begin(), map.end(), (SrcFrom + SrcTo - 1) / 2);
    return map;
  }
  const float scale = static_cast<float>(sw - 1) / static_cast<float>(dw - 1);
  for (std::size_t i = 0; i < map.size(); ++i) {
    const double pos = static_cast<double>(static_cast<int>(i) + ClipFrom - DstFrom) * scale + SrcFrom;
    Int64 v = Rounded ? Round(pos) : Trunc(pos);
    map[i] = static_cast<int>(std::clamp<Int64>(v, SrcFrom, SrcTo - 1));
  }
  return map;
}

TDrawKind KindOf(const TskBitmap& B)
{
  if (B.HasAlpha)
    return TDrawKind::Blend;
  if (B.Transparent)
    return TDrawKind::Transparent;
  return TDrawKind::Copy;
}

// Draws Src's SrcRect into DstRect of a pixel buffer (RowOf gives a destination row).
template <class TRowOf>
void DrawPixels(const TskBitmap& Src, TDrawKind Kind, const RECT& DstRect, const RECT& SrcRect, int DestW, int DestH,
                TRowOf RowOf, bool Rounded)
{
  if (Src.Empty() || IsRectEmpty(&SrcRect))
    return;
  RECT clip{};
  const RECT bounds{0, 0, DestW, DestH};
  if (!IntersectRect(&clip, &DstRect, &bounds))
    return;
  if (SrcRect.left < 0 || SrcRect.top < 0 || SrcRect.right > Src.GetWidth() || SrcRect.bottom > Src.GetHeight())
    return;
  const TLineRoutine line = LineRoutine(Kind);
  const int cw = clip.right - clip.left;
  const int sw = SrcRect.right - SrcRect.left;
  const int sh = SrcRect.bottom - SrcRect.top;
  const int dw = DstRect.right - DstRect.left;
  const int dh = DstRect.bottom - DstRect.top;
  if (sw == dw && sh == dh) {
    for (int y = clip.top; y < clip.bottom; ++y) {
      const std::uint32_t* s =
          Src.PixelPtr(SrcRect.left + clip.left - DstRect.left, SrcRect.top + y - DstRect.top);
      line(s, RowOf(y) + clip.left, cw);
    }
    return;
  }
  const std::vector<int> cols = SourceMap(clip.left, clip.right, DstRect.left, DstRect.right, SrcRect.left,
                                          SrcRect.right, Rounded);
  const std::vector<int> rows = SourceMap(clip.top, clip.bottom, DstRect.top, DstRect.bottom, SrcRect.top,
                                          SrcRect.bottom, Rounded);
  std::vector<std::uint32_t> buffer(static_cast<std::size_t>(cw));
  int previous = -1;
  std::uint32_t* previousRow = nullptr;
  for (int y = clip.top; y < clip.bottom; ++y) {
    const int sy = rows[static_cast<std::size_t>(y - clip.top)];
    std::uint32_t* d = RowOf(y) + clip.left;
    if (sy != previous) {
      const std::uint32_t* s = Src.ScanLine(sy);
      for (int i = 0; i < cw; ++i)
        buffer[static_cast<std::size_t>(i)] = s[cols[static_cast<std::size_t>(i)]];
    }
    if (Kind == TDrawKind::Copy && sy == previous)
      MoveLongwords(previousRow, d, cw);
    else
      line(buffer.data(), d, cw);
    previous = sy;
    previousRow = d;
  }
}

bool ScreenHasTrueColor()
{
  static const bool Result = [] {
    HDC dc = ::GetDC(nullptr);
    if (!dc)
      return true;
    const int bits = GetDeviceCaps(dc, BITSPIXEL) * GetDeviceCaps(dc, PLANES);
    ReleaseDC(nullptr, dc);
    return bits >= 24;
  }();
  return Result;
}

} // namespace

TskBitmap* FindBitmapByDC(HDC DC)
{
  if (!DC)
    return nullptr;
  for (TskBitmap* b : Registry())
    if (b->GetDC() == DC)
      return b;
  return nullptr;
}

// ---------------------------------------------------------------------------------------------
// TskBitmap
// ---------------------------------------------------------------------------------------------

TskBitmap::TskBitmap()
{
  FInfo.bmiHeader.biSize = 40;
  FInfo.bmiHeader.biPlanes = 1;
  FInfo.bmiHeader.biBitCount = 32;
  FInfo.bmiHeader.biCompression = BI_RGB;
}

TskBitmap::~TskBitmap()
{
  if (FRegistered) {
    auto& list = Registry();
    list.erase(std::remove(list.begin(), list.end(), this), list.end());
  }
  if (FCanvas) {
    FCanvas->SetHandle(nullptr);
    delete FCanvas;
    FCanvas = nullptr;
  }
  FreeHandles();
}

void TskBitmap::FreeHandles()
{
  if (FDC) {
    if (FOldBitmap)
      SelectObject(FDC, FOldBitmap);
    DeleteDC(FDC);
  }
  if (FDib)
    DeleteObject(FDib);
  FDC = nullptr;
  FDib = nullptr;
  FOldBitmap = nullptr;
  FBits = nullptr;
  FWidth = 0;
  FHeight = 0;
}

void TskBitmap::SetSize(int W, int H)
{
  W = std::abs(W);
  H = std::abs(H);
  if (W == 0 || H == 0 || (W == FWidth && H == FHeight && FDib))
    return;
  if (FCanvas)
    FCanvas->SetHandle(nullptr);
  FreeHandles();
  FInfo.bmiHeader.biWidth = W;
  FInfo.bmiHeader.biHeight = -H;
  void* bits = nullptr;
  HBITMAP dib = CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!dib || !bits) {
    if (dib)
      DeleteObject(dib);
    throw Exception("Can't allocate the DIB handle");
  }
  HDC dc = CreateCompatibleDC(nullptr);
  if (!dc) {
    DeleteObject(dib);
    throw Exception("Can't create compatible DC");
  }
  HGDIOBJ old = SelectObject(dc, dib);
  if (!old || old == HGDI_ERROR) {
    DeleteDC(dc);
    DeleteObject(dib);
    throw Exception("Can't bslect an object into DC");
  }
  FDib = dib;
  FDC = dc;
  FOldBitmap = old;
  FBits = static_cast<std::uint32_t*>(bits);
  if (!FRegistered) {
    Registry().push_back(this);
    FRegistered = true;
  }
  if (FCanvas)
    FCanvas->SetHandle(FDC);
  FWidth = W;
  FHeight = H;
}

void TskBitmap::SetPixel(int X, int Y, std::uint32_t Value)
{
  if (FBits && X >= 0 && X < FWidth && Y >= 0 && Y < FHeight)
    *PixelPtr(X, Y) = Value;
}

std::uint32_t TskBitmap::GetPixel(int X, int Y) const
{
  if (FBits && X >= 0 && X < FWidth && Y >= 0 && Y < FHeight)
    return *PixelPtr(X, Y);
  return 0;
}

void TskBitmap::SetAlpha(Byte A)
{
  if (FBits)
    SetAlphaBytes(FBits, FWidth * FHeight, A);
}

void TskBitmap::DetectAlpha()
{
  HasAlpha = false;
  if (!FBits)
    return;
  const std::size_t count = static_cast<std::size_t>(FWidth) * FHeight;
  for (std::size_t i = 0; i < count; ++i) {
    const std::uint32_t a = FBits[i] >> 24;
    if (a != 0 && a != 255) {
      HasAlpha = true;
      return;
    }
  }
}

TCanvas* TskBitmap::GetCanvas()
{
  if (!FCanvas) {
    FCanvas = new TCanvas();
    if (FDC)
      FCanvas->SetHandle(FDC);
  }
  return FCanvas;
}

void TskBitmap::DrawToDC(HDC DC, int X, int Y)
{
  DrawStretchToDC(DC, RECT{X, Y, X + FWidth, Y + FHeight}, RECT{0, 0, FWidth, FHeight});
}

void TskBitmap::DrawToCanvas(TCanvas* Canvas, int X, int Y)
{
  DrawToDC(Canvas->GetHandle(), X, Y);
}

void TskBitmap::DrawRectToDC(HDC DC, int X, int Y, const RECT& SrcRect)
{
  DrawStretchToDC(DC, RECT{X, Y, X + SrcRect.right - SrcRect.left, Y + SrcRect.bottom - SrcRect.top}, SrcRect);
}

void TskBitmap::DrawViaTemporary(HDC DC, const RECT& DstRect, const RECT& SrcRect)
{
  const int w = DstRect.right - DstRect.left;
  const int h = DstRect.bottom - DstRect.top;
  if (w <= 0 || h <= 0)
    return;
  TskBitmap temp;
  temp.SetSize(w, h);
  BitBlt(temp.GetDC(), 0, 0, w, h, DC, DstRect.left, DstRect.top, SRCCOPY);
  DrawRectToBitmap(&temp, RECT{0, 0, w, h}, SrcRect);
  BitBlt(DC, DstRect.left, DstRect.top, w, h, temp.GetDC(), 0, 0, SRCCOPY);
}

void TskBitmap::DrawStretchToDC(HDC DC, const RECT& DstRect, const RECT& SrcRect)
{
  if (Empty() || !DC)
    return;
  if (TskBitmap* target = FindBitmapByDC(DC)) {
    POINT origin{};
    GetWindowOrgEx(DC, &origin);
    RECT dst = DstRect;
    OffsetRect(&dst, -origin.x, -origin.y);
    DrawRectToBitmap(target, dst, SrcRect);
    return;
  }
  if (IsRectEmpty(&SrcRect) || SrcRect.left < 0 || SrcRect.top < 0 || SrcRect.right > FWidth ||
      SrcRect.bottom > FHeight)
    return;
  if (HasAlpha) {
    DrawViaTemporary(DC, DstRect, SrcRect);
  } else if (Transparent) {
    if (IsTransparentBltAvailable() && ScreenHasTrueColor()) {
      TransparentBlt(DC, DstRect.left, DstRect.top, DstRect.right - DstRect.left, DstRect.bottom - DstRect.top, FDC,
                     SrcRect.left, SrcRect.top, SrcRect.right - SrcRect.left, SrcRect.bottom - SrcRect.top,
                     RGB(127, 0, 127));
    } else {
      DrawViaTemporary(DC, DstRect, SrcRect);
    }
  } else {
    SetStretchBltMode(DC, COLORONCOLOR);
    StretchBlt(DC, DstRect.left, DstRect.top, DstRect.right - DstRect.left, DstRect.bottom - DstRect.top, FDC,
               SrcRect.left, SrcRect.top, SrcRect.right - SrcRect.left, SrcRect.bottom - SrcRect.top, SRCCOPY);
  }
}

void TskBitmap::DrawToBitmap(TskBitmap* Dest, int X, int Y)
{
  DrawRectToBitmap(Dest, RECT{X, Y, X + FWidth, Y + FHeight}, RECT{0, 0, FWidth, FHeight});
}

void TskBitmap::DrawRectToBitmap(TskBitmap* Dest, int X, int Y, const RECT& SrcRect)
{
  DrawRectToBitmap(Dest, RECT{X, Y, X + SrcRect.right - SrcRect.left, Y + SrcRect.bottom - SrcRect.top}, SrcRect);
}

void TskBitmap::DrawRectToBitmap(TskBitmap* Dest, const RECT& DstRect, const RECT& SrcRect)
{
  if (!Dest || Dest->Empty())
    return;
  if (Dest == this) {
    // Drawing a bitmap onto itself reads from a copy, so overlapping areas stay intact.
    TskBitmap copy;
    copy.Assign(this);
    copy.DrawRectToBitmap(Dest, DstRect, SrcRect);
    return;
  }
  DrawPixels(*this, KindOf(*this), DstRect, SrcRect, Dest->GetWidth(), Dest->GetHeight(),
             [Dest](int Y) { return Dest->ScanLine(Y); }, false);
}

bool TskBitmap::DrawStretchToDIB(HDC DC, const RECT& DstRect, const RECT& SrcRect)
{
  HGDIOBJ bitmap = GetCurrentObject(DC, OBJ_BITMAP);
  DIBSECTION ds{};
  if (!bitmap || GetObjectA(bitmap, sizeof(DIBSECTION), &ds) != static_cast<int>(sizeof(DIBSECTION)) ||
      !ds.dsBm.bmBits || ds.dsBm.bmBitsPixel != 32)
    return false;
  auto* bits = static_cast<std::uint8_t*>(ds.dsBm.bmBits);
  const int width = ds.dsBm.bmWidth;
  const int height = std::abs(ds.dsBm.bmHeight);
  const int stride = ds.dsBm.bmWidthBytes;
  const bool topDown = ds.dsBmih.biHeight < 0;
  DrawPixels(*this, KindOf(*this), DstRect, SrcRect, width, height,
             [=](int Y) {
               return reinterpret_cast<std::uint32_t*>(bits + static_cast<std::ptrdiff_t>(topDown ? Y : height - 1 - Y) *
                                                                  stride);
             },
             true);
  return true;
}

void TskBitmap::DrawGraphic(TGraphic* Graphic, const RECT& R)
{
  if (!Graphic || Empty())
    return;
  TBitmap temp;
  temp.SetPixelFormat(pf32bit);
  temp.SetSize(FWidth, FHeight);
  TCanvas* canvas = temp.GetCanvas();
  canvas->GetBrush()->SetColor(static_cast<TColor>(RGB(255, 0, 255)));
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->FillRect(TRect{0, 0, FWidth, FHeight});
  canvas->StretchDraw(TRect{R.left, R.top, R.right, R.bottom}, Graphic);
  for (int y = 0; y < FHeight; ++y) {
    const auto* row = static_cast<const std::uint32_t*>(temp.ScanLine(y));
    for (int x = 0; x < FWidth; ++x)
      if ((row[x] & 0x00FFFFFFu) != 0x00FF00FFu)
        SetPixel(x, y, row[x]);
  }
}

void TskBitmap::FlipVert()
{
  if (Empty())
    return;
  std::vector<std::uint32_t> buffer(static_cast<std::size_t>(FWidth));
  for (int i = 0; i < FHeight / 2; ++i) {
    std::uint32_t* a = ScanLine(i);
    std::uint32_t* b = ScanLine(FHeight - 1 - i);
    MoveLongwords(a, buffer.data(), FWidth);
    MoveLongwords(b, a, FWidth);
    MoveLongwords(buffer.data(), b, FWidth);
  }
}

void TskBitmap::MakeReflectionDiv(int Divisor)
{
  if (Empty())
    return;
  FlipVert();
  const double step = 2.0 / FHeight;
  double f = 1.0;
  for (int y = 0; y < FHeight; ++y) {
    std::uint32_t* row = ScanLine(y);
    for (int x = 0; x < FWidth; ++x) {
      const std::uint32_t a = row[x] >> 24;
      if (a == 0)
        continue;
      const Int64 v = std::max<Int64>(0, Round(f * a) / Divisor);
      row[x] = (row[x] & 0x00FFFFFFu) | (static_cast<std::uint32_t>(std::min<Int64>(v, 255)) << 24);
    }
    f -= step;
  }
}

void TskBitmap::MakeReflection() { MakeReflectionDiv(3); }

void TskBitmap::MakeFaintReflection() { MakeReflectionDiv(4); }

void TskBitmap::AssignBitmap(TBitmap* Source)
{
  const int w = Source->GetWidth();
  const int h = Source->GetHeight();
  if (w <= 0 || h <= 0) {
    FreeHandles();
    return;
  }
  SetSize(w, h);
  if (Source->GetPixelFormat() == pf32bit && Source->GetHandleType() == bmDIB) {
    for (int y = 0; y < h; ++y)
      MoveLongwords(static_cast<const std::uint32_t*>(Source->ScanLine(y)), ScanLine(y), w);
    DetectAlpha();
  } else {
    BitBlt(FDC, 0, 0, w, h, Source->GetCanvas()->GetHandle(), 0, 0, SRCCOPY);
    SetAlpha(255);
  }
}

void TskBitmap::Assign(TPersistent* Source)
{
  if (auto* sk = dynamic_cast<TskBitmap*>(Source)) {
    if (sk == this)
      return;
    if (sk->Empty()) {
      // An empty source empties this bitmap too, rather than leaving the old picture behind.
      if (FCanvas)
        FCanvas->SetHandle(nullptr);
      FreeHandles();
    } else {
      SetSize(sk->GetWidth(), sk->GetHeight());
      MoveLongwords(sk->GetBits(), FBits, FWidth * FHeight);
    }
    Text = sk->Text;
    HasAlpha = sk->HasAlpha;
    Transparent = sk->Transparent;
    return;
  }
  if (auto* bmp = dynamic_cast<TBitmap*>(Source)) {
    AssignBitmap(bmp);
    return;
  }
  if (auto* picture = dynamic_cast<TPicture*>(Source)) {
    TGraphic* graphic = picture->GetGraphic();
    if (auto* pb = dynamic_cast<TBitmap*>(graphic)) {
      AssignBitmap(pb);
      return;
    }
    if (graphic) {
      Assign(graphic);
      return;
    }
  }
  if (auto* graphic = dynamic_cast<TGraphic*>(Source)) {
    const int w = graphic->GetWidth();
    const int h = graphic->GetHeight();
    if (w <= 0 || h <= 0) {
      FreeHandles();
      return;
    }
    SetSize(w, h);
    DrawGraphic(graphic, RECT{0, 0, w, h});
    SetAlpha(255);
    return;
  }
  TPersistent::Assign(Source);
}

void TskBitmap::AssignTo(TPersistent* Dest)
{
  TBitmap* target = nullptr;
  if (auto* picture = dynamic_cast<TPicture*>(Dest))
    target = picture->GetBitmap();
  else
    target = dynamic_cast<TBitmap*>(Dest);
  if (!target) {
    TPersistent::AssignTo(Dest);
    return;
  }
  target->SetPixelFormat(pf32bit);
  target->SetSize(FWidth, FHeight);
  if (!Empty())
    DrawToCanvas(target->GetCanvas(), 0, 0);
}

// ---------------------------------------------------------------------------------------------
// Free routines
// ---------------------------------------------------------------------------------------------

void AssignPngToBitmap(TskBitmap* Bitmap, TskPngImage* Png)
{
  if (!Bitmap || !Png || Png->Empty() || Png->GetWidth() <= 0 || Png->GetHeight() <= 0)
    return;
  const int w = Png->GetWidth();
  const int h = Png->GetHeight();
  Bitmap->SetSize(w, h);
  for (int y = 0; y < h; ++y) {
    const Byte* alpha = Png->AlphaRow(y);
    std::uint32_t* row = Bitmap->ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const COLORREF c = static_cast<COLORREF>(Png->GetPixel(x, y));
      const std::uint32_t a = alpha ? alpha[x] : 255u;
      row[x] = (a << 24) | (static_cast<std::uint32_t>(GetRValue(c)) << 16) |
               (static_cast<std::uint32_t>(GetGValue(c)) << 8) | GetBValue(c);
    }
  }
  Bitmap->DetectAlpha();
}

void SetAlphaFromMask(TskBitmap* Bitmap, TskBitmap* Mask)
{
  if (!Bitmap || !Mask || Bitmap->Empty() || Mask->Empty())
    return;
  const int w = std::min(Bitmap->GetWidth(), Mask->GetWidth());
  const int h = std::min(Bitmap->GetHeight(), Mask->GetHeight());
  for (int y = 0; y < h; ++y) {
    std::uint32_t* d = Bitmap->ScanLine(y);
    const std::uint32_t* m = Mask->ScanLine(y);
    for (int x = 0; x < w; ++x) {
      const std::uint32_t sum = ((m[x] >> 16) & 0xFF) + ((m[x] >> 8) & 0xFF) + (m[x] & 0xFF);
      d[x] = (d[x] & 0x00FFFFFFu) | ((sum / 3) << 24);
    }
  }
}
