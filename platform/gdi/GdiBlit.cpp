// Raster operations: BitBlt, StretchBlt, PatBlt, MaskBlt, TransparentBlt, AlphaBlend,
// GradientFill, StretchDIBits and SetDIBitsToDevice, over the general ternary operation.
#include <algorithm>
#include <cstring>
#include <unordered_map>

#include "platform/gdi/AlphaRow.h"
#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/rtl/Exceptions.h"

using namespace GdiInternal;

namespace {

bool UsesSource(std::uint8_t Rop) { return ((Rop ^ (Rop >> 2)) & 0x33) != 0; }
bool UsesPattern(std::uint8_t Rop) { return ((Rop ^ (Rop >> 4)) & 0x0F) != 0; }

// Where a blit's source pixels come from.
struct TSourceInfo {
  const TSurface* Surface = nullptr;
  bool MonoDdb = false;          // a monochrome device bitmap: 0 = text colour, 1 = background
  COLORREF BkColor = 0xFFFFFF;   // the source DC's background colour (colour to monochrome)
};

std::uint32_t ArgbOf(COLORREF C)
{
  return static_cast<std::uint32_t>(GetBValue(C)) | (static_cast<std::uint32_t>(GetGValue(C)) << 8) |
         (static_cast<std::uint32_t>(GetRValue(C)) << 16);
}

COLORREF ColorOfArgb(std::uint32_t V)
{
  return RGB(static_cast<BYTE>(V >> 16), static_cast<BYTE>(V >> 8), static_cast<BYTE>(V));
}

bool SameTable(const TSurface& A, const TSurface& B)
{
  if (A.BitsPerPixel != B.BitsPerPixel || A.ColorCount != B.ColorCount)
    return false;
  for (int I = 0; I < A.ColorCount; ++I)
    if (A.Colors[I].rgbRed != B.Colors[I].rgbRed || A.Colors[I].rgbGreen != B.Colors[I].rgbGreen ||
        A.Colors[I].rgbBlue != B.Colors[I].rgbBlue)
      return false;
  return true;
}

// Reads source pixels as raw values of the destination's format, following the Windows
// conversions between monochrome and colour.
class TConverter {
public:
  TConverter(const TSourceInfo& Src, const TSurface& Dst, COLORREF DstText, COLORREF DstBk) : S(*Src.Surface), D(Dst)
  {
    // Source colours as 0x00RRGGBB for the indexed layouts.
    if (S.IsIndexed()) {
      int N = 1 << S.BitsPerPixel;
      for (int I = 0; I < N; ++I) {
        COLORREF C = (Src.MonoDdb && S.BitsPerPixel == 1) ? (I ? DstBk : DstText) : S.RawToColor(I);
        Argb[I] = ArgbOf(C);
      }
    }
    if (D.BitsPerPixel == 1) {
      if (S.BitsPerPixel == 1) {
        Kind = kRaw;
      } else if (S.IsIndexed()) {
        Kind = kLut;
        int N = 1 << S.BitsPerPixel;
        for (int I = 0; I < N; ++I)
          Lut[I] = S.RawToColor(I) == (Src.BkColor & 0xFFFFFF) ? 1u : 0u;
      } else {
        Kind = kToMono;
        BkRaw = ArgbOf(Src.BkColor);
      }
    } else if (S.IsIndexed()) {
      Kind = kLut;
      int N = 1 << S.BitsPerPixel;
      bool Identity = !(Src.MonoDdb && S.BitsPerPixel == 1) && D.IsIndexed() && SameTable(S, D);
      for (int I = 0; I < N; ++I)
        Lut[I] = Identity ? static_cast<std::uint32_t>(I) : D.ColorToRaw(ColorOfArgb(Argb[I]));
    } else if (D.IsIndexed()) {
      Kind = kToIndexed;
    } else {
      Kind = kRaw;
    }
  }

  std::uint32_t Read(int X, int Y)
  {
    std::uint32_t V = S.GetRaw(X, Y);
    switch (Kind) {
    case kRaw:
      return V;
    case kLut:
      return Lut[V & 0xFF];
    case kToMono:
      return (V & 0xFFFFFF) == BkRaw ? 1u : 0u;
    default: {
      V &= 0xFFFFFF;
      auto It = Cache.find(V);
      if (It != Cache.end())
        return It->second;
      std::uint32_t R = D.ColorToRaw(ColorOfArgb(V));
      Cache.emplace(V, R);
      return R;
    }
    }
  }

  // The source pixel as 0xAARRGGBB (alpha only from 32-bpp sources).
  std::uint32_t ReadArgb(int X, int Y) const
  {
    std::uint32_t V = S.GetRaw(X, Y);
    if (S.IsIndexed())
      return Argb[V & 0xFF];
    return S.BitsPerPixel == 32 ? V : (V & 0xFFFFFF);
  }

  // A colour of the source's space as a destination raw value.
  std::uint32_t FromArgb(std::uint32_t V)
  {
    if (D.IsIndexed())
      return D.ColorToRaw(ColorOfArgb(V));
    return V;
  }

private:
  enum { kRaw, kLut, kToMono, kToIndexed } Kind = kRaw;
  const TSurface& S;
  const TSurface& D;
  std::uint32_t Lut[256] = {};
  std::uint32_t Argb[256] = {};
  std::uint32_t BkRaw = 0;
  std::unordered_map<std::uint32_t, std::uint32_t> Cache;
};

// One axis of a stretch: destination index -> source index (nearest sample), and the source
// range that a destination index covers.
struct TAxis {
  int DstStart = 0, DstCount = 0; // normalised destination span (surface pixels)
  int SrcStart = 0, SrcCount = 0; // normalised source span
  bool Mirror = false;
  bool Set(int D0, int DCount, int S0, int SCount)
  {
    if (DCount == 0 || SCount == 0)
      return false;
    DstStart = DCount < 0 ? D0 + DCount + 1 : D0;
    DstCount = DCount < 0 ? -DCount : DCount;
    SrcStart = SCount < 0 ? S0 + SCount + 1 : S0;
    SrcCount = SCount < 0 ? -SCount : SCount;
    Mirror = (DCount < 0) != (SCount < 0);
    return true;
  }
  // Source index (relative, 0 .. SrcCount-1) for destination index I (relative): the source
  // column floor((I + 0.5) * SrcCount / DstCount).
  int Nearest(int I) const
  {
    int J = static_cast<int>(((2 * static_cast<std::int64_t>(I) + 1) * SrcCount) / (2 * static_cast<std::int64_t>(DstCount)));
    if (J >= SrcCount)
      J = SrcCount - 1;
    return Mirror ? SrcCount - 1 - J : J;
  }
  // Source range [First, Last] (relative) merged into destination index I when shrinking.
  void Range(int I, int& First, int& Last) const
  {
    std::int64_t A = static_cast<std::int64_t>(I) * SrcCount / DstCount;
    std::int64_t B = (static_cast<std::int64_t>(I + 1) * SrcCount + DstCount - 1) / DstCount - 1;
    if (B < A)
      B = A;
    if (B >= SrcCount)
      B = SrcCount - 1;
    First = static_cast<int>(A);
    Last = static_cast<int>(B);
    if (Mirror) {
      int F = SrcCount - 1 - Last, L = SrcCount - 1 - First;
      First = F;
      Last = L;
    }
  }
};

// A private copy of part of a surface, for blits whose source and destination overlap.
struct TSnapshot {
  std::vector<std::uint8_t> Memory;
  TSurface Surface;
  TSnapshot(const TSurface& S)
  {
    Memory.assign(S.Bits, S.Bits + static_cast<std::size_t>(S.Stride) * S.Height);
    Surface = S;
    Surface.Bits = Memory.data();
  }
};

// The general raster operation in surface pixels. Dst rectangle (DX, DY, DW, DH) and source
// rectangle (SX, SY, SW, SH) may have negative sizes (mirroring). Mask: a 1-bpp surface whose
// 1 bits take the foreground operation (bits 16..23 of Rop) and 0 bits the background one
// (bits 24..31).
bool RasterOp(TDeviceContext& DC, int DX, int DY, int DW, int DH, const TSourceInfo* Src, int SX, int SY, int SW,
              int SH, DWORD Rop, int StretchMode, const TSurface* Mask = nullptr, int MX = 0, int MY = 0)
{
  std::uint8_t Fore = static_cast<std::uint8_t>(Rop >> 16);
  std::uint8_t Back = Mask ? static_cast<std::uint8_t>(Rop >> 24) : Fore;
  bool NeedSource = UsesSource(Fore) || UsesSource(Back);
  bool NeedPattern = UsesPattern(Fore) || UsesPattern(Back);
  if (NeedSource && (!Src || !Src->Surface))
    return false;
  if (!NeedSource) {
    // Without a source the destination rectangle is only normalised.
    SX = SY = 0;
    SW = DW;
    SH = DH;
  }
  TAxis Ax, Ay;
  if (!Ax.Set(DX, DW, SX, SW) || !Ay.Set(DY, DH, SY, SH))
    return true; // nothing to draw
  const TSurface& D = DC.Surface();
  RECT Target{Ax.DstStart, Ay.DstStart, Ax.DstStart + Ax.DstCount, Ay.DstStart + Ay.DstCount};

  std::unique_ptr<TSnapshot> Snap;
  TSourceInfo Source;
  if (NeedSource) {
    Source = *Src;
    if (Source.Surface->Bits == D.Bits) {
      Snap = std::make_unique<TSnapshot>(D);
      Source.Surface = &Snap->Surface;
    }
  }
  const TSurface* S = NeedSource ? Source.Surface : nullptr;
  TPatternSource Pattern(DC, NeedPattern ? DC.BrushObject() : nullptr);
  if (NeedPattern && Pattern.Null)
    return true; // the null brush has no pattern to draw with: nothing changes
  bool CarryAlpha = S && S->BitsPerPixel == 32 && D.BitsPerPixel == 32;
  std::uint32_t ResultMask = CarryAlpha ? 0xFFFFFFFFu : (D.BitsPerPixel == 32 ? 0x00FFFFFFu : D.RawMask());
  bool Stretching = Ax.SrcCount != Ax.DstCount || Ay.SrcCount != Ay.DstCount;
  int Mode = Stretching ? StretchMode : COLORONCOLOR;
  bool Shrink = Ax.SrcCount > Ax.DstCount || Ay.SrcCount > Ay.DstCount;
  if ((Mode == BLACKONWHITE || Mode == WHITEONBLACK) && !Shrink)
    Mode = COLORONCOLOR;
  std::unique_ptr<TConverter> Conv;
  if (S)
    Conv = std::make_unique<TConverter>(Source, D, DC.TextColor, DC.BkColor);

  // Fast path: plain copy between equal formats without stretching.
  bool PlainCopy = !Mask && Fore == 0xCC && S && !Stretching && !Ax.Mirror && !Ay.Mirror && S->BitsPerPixel == D.BitsPerPixel &&
                   (D.BitsPerPixel == 32 || D.BitsPerPixel == 24 || (D.BitsPerPixel == 8 && SameTable(*S, D)));
  bool PlainFill = !Mask && Fore == 0xF0 && Pattern.Solid && D.BitsPerPixel == 32;
  int Bpp = D.BitsPerPixel / 8;

  for (const RECT& C : DC.EffectiveClip().Rects()) {
    RECT Part;
    if (!IntersectRect(&Part, &Target, &C))
      continue;
    for (int Y = Part.top; Y < Part.bottom; ++Y) {
      int Iy = Y - Ay.DstStart;
      int Sy = S ? Ay.SrcStart + Ay.Nearest(Iy) : 0;
      if (S && (Sy < 0 || Sy >= S->Height))
        continue;
      if (PlainCopy) {
        int X0 = Part.left, X1 = Part.right;
        int Sx0 = Ax.SrcStart + (X0 - Ax.DstStart);
        if (Sx0 < 0) {
          X0 -= Sx0;
          Sx0 = 0;
        }
        if (Sx0 + (X1 - X0) > S->Width)
          X1 = X0 + (S->Width - Sx0);
        if (X1 > X0)
          std::memcpy(D.Row(Y) + static_cast<std::ptrdiff_t>(X0) * Bpp, S->Row(Sy) + static_cast<std::ptrdiff_t>(Sx0) * Bpp,
                      static_cast<std::size_t>(X1 - X0) * Bpp);
        continue;
      }
      if (PlainFill) {
        FillRow32(reinterpret_cast<std::uint32_t*>(D.Row(Y)) + Part.left, Part.right - Part.left,
                  Pattern.SolidRaw & 0x00FFFFFF);
        continue;
      }
      for (int X = Part.left; X < Part.right; ++X) {
        int Ix = X - Ax.DstStart;
        std::uint32_t SVal = 0;
        if (S) {
          if (Mode == HALFTONE) {
            // Exact area average of the covered source pixels.
            std::int64_t X0 = static_cast<std::int64_t>(Ix) * Ax.SrcCount, X1 = X0 + Ax.SrcCount; // in 1/DstCount units
            std::int64_t Y0 = static_cast<std::int64_t>(Iy) * Ay.SrcCount, Y1 = Y0 + Ay.SrcCount;
            std::uint64_t Sum[4] = {0, 0, 0, 0};
            std::uint64_t Total = 0;
            bool Inside = true;
            for (std::int64_t Cy = Y0 / Ay.DstCount; Cy * Ay.DstCount < Y1 && Inside; ++Cy) {
              std::int64_t Wy = std::min<std::int64_t>(Y1, (Cy + 1) * Ay.DstCount) - std::max<std::int64_t>(Y0, Cy * Ay.DstCount);
              if (Wy <= 0)
                continue;
              int Ry = Ay.Mirror ? Ay.SrcCount - 1 - static_cast<int>(Cy) : static_cast<int>(Cy);
              int Py = Ay.SrcStart + Ry;
              for (std::int64_t Cx = X0 / Ax.DstCount; Cx * Ax.DstCount < X1; ++Cx) {
                std::int64_t Wx = std::min<std::int64_t>(X1, (Cx + 1) * Ax.DstCount) - std::max<std::int64_t>(X0, Cx * Ax.DstCount);
                if (Wx <= 0)
                  continue;
                int Rx = Ax.Mirror ? Ax.SrcCount - 1 - static_cast<int>(Cx) : static_cast<int>(Cx);
                int Px = Ax.SrcStart + Rx;
                if (!S->Contains(Px, Py)) {
                  Inside = false;
                  break;
                }
                std::uint32_t V = Conv->ReadArgb(Px, Py);
                std::uint64_t Wt = static_cast<std::uint64_t>(Wx * Wy);
                Sum[0] += (V & 0xFF) * Wt;
                Sum[1] += ((V >> 8) & 0xFF) * Wt;
                Sum[2] += ((V >> 16) & 0xFF) * Wt;
                Sum[3] += (V >> 24) * Wt;
                Total += Wt;
              }
            }
            if (!Inside || Total == 0)
              continue;
            std::uint32_t Avg = 0;
            for (int K = 0; K < 4; ++K)
              Avg |= static_cast<std::uint32_t>((Sum[K] + Total / 2) / Total) << (8 * K);
            SVal = Conv->FromArgb(Avg);
          } else if (Mode == BLACKONWHITE || Mode == WHITEONBLACK) {
            int Fx, Lx, Fy, Ly;
            Ax.Range(Ix, Fx, Lx);
            Ay.Range(Iy, Fy, Ly);
            bool First = true, Inside = true;
            for (int Ry = Fy; Ry <= Ly && Inside; ++Ry)
              for (int Rx = Fx; Rx <= Lx; ++Rx) {
                int Px = Ax.SrcStart + Rx, Py = Ay.SrcStart + Ry;
                if (!S->Contains(Px, Py)) {
                  Inside = false;
                  break;
                }
                std::uint32_t V = Conv->Read(Px, Py);
                SVal = First ? V : (Mode == BLACKONWHITE ? (SVal & V) : (SVal | V));
                First = false;
              }
            if (!Inside)
              continue;
          } else {
            int Sx = Ax.SrcStart + Ax.Nearest(Ix);
            if (Sx < 0 || Sx >= S->Width)
              continue;
            SVal = Conv->Read(Sx, Sy);
          }
        }
        std::uint8_t Op = Fore;
        if (Mask) {
          int Mx = MX + Ix, My = MY + Iy;
          bool Bit = Mask->Contains(Mx, My) ? Mask->GetRaw(Mx, My) != 0 : true;
          Op = Bit ? Fore : Back;
        }
        std::uint32_t PVal = 0;
        if (NeedPattern)
          Pattern.At(X, Y, PVal);
        std::uint32_t DVal = D.GetRaw(X, Y);
        std::uint32_t R = Rop3(Op, PVal, SVal, DVal);
        if (!CarryAlpha && D.BitsPerPixel == 32 && Op == 0xAA)
          R = DVal; // the destination kept as it is
        else
          R &= ResultMask;
        D.SetRaw(X, Y, R);
      }
    }
  }
  return true;
}

TSourceInfo SourceOf(TDeviceContext& DC)
{
  TSourceInfo I;
  TGdiBitmap* B = DC.TargetBitmap();
  I.Surface = &B->Surface;
  I.MonoDdb = B->Surface.BitsPerPixel == 1 && !B->DibSection;
  I.BkColor = DC.BkColor;
  return I;
}

} // namespace

BOOL BitBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, DWORD Rop)
{
  TDeviceContext* D = DcFromHandle(Dest);
  if (!D)
    return FALSE;
  // BitBlt does not mirror: a negative size extends the other way.
  if (Width < 0) {
    X += Width;
    XSrc += Width;
    Width = -Width;
  }
  if (Height < 0) {
    Y += Height;
    YSrc += Height;
    Height = -Height;
  }
  POINT P = D->LPtoDevice(POINT{X, Y});
  std::uint8_t Op = static_cast<std::uint8_t>(Rop >> 16);
  if (!UsesSource(Op))
    return RasterOp(*D, P.x, P.y, Width, Height, nullptr, 0, 0, 0, 0, Rop, COLORONCOLOR) ? TRUE : FALSE;
  TDeviceContext* S = DcFromHandle(Src);
  if (!S)
    return FALSE;
  TSourceInfo Info = SourceOf(*S);
  POINT Q = S->LPtoDevice(POINT{XSrc, YSrc});
  return RasterOp(*D, P.x, P.y, Width, Height, &Info, Q.x, Q.y, Width, Height, Rop, COLORONCOLOR) ? TRUE : FALSE;
}

BOOL StretchBlt(HDC Dest, int XDest, int YDest, int WDest, int HDest, HDC Src, int XSrc, int YSrc, int WSrc, int HSrc,
                DWORD Rop)
{
  TDeviceContext* D = DcFromHandle(Dest);
  if (!D)
    return FALSE;
  POINT P = D->LPtoDevice(POINT{XDest, YDest});
  std::uint8_t Op = static_cast<std::uint8_t>(Rop >> 16);
  if (!UsesSource(Op))
    return RasterOp(*D, P.x, P.y, WDest, HDest, nullptr, 0, 0, 0, 0, Rop, D->StretchMode) ? TRUE : FALSE;
  TDeviceContext* S = DcFromHandle(Src);
  if (!S)
    return FALSE;
  TSourceInfo Info = SourceOf(*S);
  POINT Q = S->LPtoDevice(POINT{XSrc, YSrc});
  return RasterOp(*D, P.x, P.y, WDest, HDest, &Info, Q.x, Q.y, WSrc, HSrc, Rop, D->StretchMode) ? TRUE : FALSE;
}

BOOL PatBlt(HDC DC, int X, int Y, int Width, int Height, DWORD Rop)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || UsesSource(static_cast<std::uint8_t>(Rop >> 16)))
    return FALSE;
  POINT P = D->LPtoDevice(POINT{X, Y});
  return RasterOp(*D, P.x, P.y, Width, Height, nullptr, 0, 0, 0, 0, Rop, COLORONCOLOR) ? TRUE : FALSE;
}

BOOL MaskBlt(HDC Dest, int X, int Y, int Width, int Height, HDC Src, int XSrc, int YSrc, HBITMAP Mask, int XMask,
             int YMask, DWORD Rop)
{
  if (!Mask)
    return BitBlt(Dest, X, Y, Width, Height, Src, XSrc, YSrc, Rop & 0x00FFFFFF);
  TDeviceContext* D = DcFromHandle(Dest);
  TGdiBitmap* M = BitmapFromHandle(Mask);
  if (!D || !M || M->Surface.BitsPerPixel != 1 || Width < 0 || Height < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT P = D->LPtoDevice(POINT{X, Y});
  TSourceInfo Info;
  TSourceInfo* InfoPtr = nullptr;
  POINT Q{0, 0};
  std::uint8_t Fore = static_cast<std::uint8_t>(Rop >> 16), Back = static_cast<std::uint8_t>(Rop >> 24);
  if (UsesSource(Fore) || UsesSource(Back)) {
    TDeviceContext* S = DcFromHandle(Src);
    if (!S)
      return FALSE;
    Info = SourceOf(*S);
    InfoPtr = &Info;
    Q = S->LPtoDevice(POINT{XSrc, YSrc});
  }
  return RasterOp(*D, P.x, P.y, Width, Height, InfoPtr, Q.x, Q.y, Width, Height, Rop, COLORONCOLOR, &M->Surface,
                  XMask, YMask)
             ? TRUE
             : FALSE;
}

BOOL TransparentBlt(HDC Dest, int XDest, int YDest, int WDest, int HDest, HDC Src, int XSrc, int YSrc, int WSrc,
                    int HSrc, UINT Transparent)
{
  TDeviceContext* D = DcFromHandle(Dest);
  TDeviceContext* S = DcFromHandle(Src);
  if (!D || !S || WDest < 0 || HDest < 0 || WSrc < 0 || HSrc < 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TAxis Ax, Ay;
  POINT P = D->LPtoDevice(POINT{XDest, YDest});
  POINT Q = S->LPtoDevice(POINT{XSrc, YSrc});
  if (!Ax.Set(P.x, WDest, Q.x, WSrc) || !Ay.Set(P.y, HDest, Q.y, HSrc))
    return TRUE;
  TSourceInfo Info = SourceOf(*S);
  const TSurface& DS = D->Surface();
  std::unique_ptr<TSnapshot> Snap;
  if (Info.Surface->Bits == DS.Bits) {
    Snap = std::make_unique<TSnapshot>(DS);
    Info.Surface = &Snap->Surface;
  }
  const TSurface& SS = *Info.Surface;
  TConverter Conv(Info, DS, D->TextColor, D->BkColor);
  bool CarryAlpha = SS.BitsPerPixel == 32 && DS.BitsPerPixel == 32;
  std::uint32_t Key = ArgbOf(Transparent & 0xFFFFFF);
  RECT Target{Ax.DstStart, Ay.DstStart, Ax.DstStart + Ax.DstCount, Ay.DstStart + Ay.DstCount};
  for (const RECT& C : D->EffectiveClip().Rects()) {
    RECT Part;
    if (!IntersectRect(&Part, &Target, &C))
      continue;
    for (int Y = Part.top; Y < Part.bottom; ++Y) {
      int Sy = Ay.SrcStart + Ay.Nearest(Y - Ay.DstStart);
      if (Sy < 0 || Sy >= SS.Height)
        continue;
      for (int X = Part.left; X < Part.right; ++X) {
        int Sx = Ax.SrcStart + Ax.Nearest(X - Ax.DstStart);
        if (Sx < 0 || Sx >= SS.Width)
          continue;
        if ((Conv.ReadArgb(Sx, Sy) & 0xFFFFFF) == Key)
          continue;
        std::uint32_t V = Conv.Read(Sx, Sy);
        if (!CarryAlpha && DS.BitsPerPixel == 32)
          V &= 0x00FFFFFF;
        DS.SetRaw(X, Y, V);
      }
    }
  }
  return TRUE;
}

BOOL AlphaBlend(HDC Dest, int XDest, int YDest, int WDest, int HDest, HDC Src, int XSrc, int YSrc, int WSrc, int HSrc,
                BLENDFUNCTION Blend)
{
  TDeviceContext* D = DcFromHandle(Dest);
  TDeviceContext* S = DcFromHandle(Src);
  if (!D || !S || WDest < 0 || HDest < 0 || WSrc < 0 || HSrc < 0 || Blend.BlendOp != AC_SRC_OVER ||
      (Blend.AlphaFormat & ~AC_SRC_ALPHA) != 0) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TSourceInfo Info = SourceOf(*S);
  bool PerPixel = (Blend.AlphaFormat & AC_SRC_ALPHA) != 0;
  if (PerPixel && Info.Surface->BitsPerPixel != 32) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  POINT P = D->LPtoDevice(POINT{XDest, YDest});
  POINT Q = S->LPtoDevice(POINT{XSrc, YSrc});
  // The source rectangle must lie inside the source surface, as on Windows.
  if (Q.x < 0 || Q.y < 0 || Q.x + WSrc > Info.Surface->Width || Q.y + HSrc > Info.Surface->Height) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return FALSE;
  }
  TAxis Ax, Ay;
  if (!Ax.Set(P.x, WDest, Q.x, WSrc) || !Ay.Set(P.y, HDest, Q.y, HSrc))
    return TRUE;
  const TSurface& DS = D->Surface();
  std::unique_ptr<TSnapshot> Snap;
  if (Info.Surface->Bits == DS.Bits) {
    Snap = std::make_unique<TSnapshot>(DS);
    Info.Surface = &Snap->Surface;
  }
  const TSurface& SS = *Info.Surface;
  TConverter Conv(Info, DS, D->TextColor, D->BkColor);
  const std::uint32_t Sca = Blend.SourceConstantAlpha;
  bool Direct = DS.BitsPerPixel == 32 && SS.BitsPerPixel == 32 && Ax.SrcCount == Ax.DstCount && Ay.SrcCount == Ay.DstCount;
  RECT Target{Ax.DstStart, Ay.DstStart, Ax.DstStart + Ax.DstCount, Ay.DstStart + Ay.DstCount};
  // Every channel c (alpha too): s = Src.c * SCA / 255, a = s.alpha,
  // Dst.c = min(255, s + Dst.c * (255 - a) / 255), all divisions rounded to nearest; two
  // channels at a time in 16-bit lanes. Without per-pixel alpha the source alpha counts as 255.
  const std::uint32_t ForceAlpha = PerPixel ? 0u : 0xFF000000u;
  auto BlendPixel = [&](std::uint32_t Sv, std::uint32_t Dv) -> std::uint32_t {
    Sv |= ForceAlpha;
    std::uint32_t SRb = Sv & 0x00FF00FFu, SAg = (Sv >> 8) & 0x00FF00FFu;
    if (Sca != 255) {
      SRb = Div255Lanes(SRb * Sca);
      SAg = Div255Lanes(SAg * Sca);
    }
    std::uint32_t Inv = 255 - (SAg >> 16);
    std::uint32_t DRb = Div255Lanes((Dv & 0x00FF00FFu) * Inv);
    std::uint32_t DAg = Div255Lanes(((Dv >> 8) & 0x00FF00FFu) * Inv);
    return SaturateLanes(SRb + DRb) | (SaturateLanes(SAg + DAg) << 8);
  };
  for (const RECT& C : D->EffectiveClip().Rects()) {
    RECT Part;
    if (!IntersectRect(&Part, &Target, &C))
      continue;
    for (int Y = Part.top; Y < Part.bottom; ++Y) {
      int Sy = Ay.SrcStart + Ay.Nearest(Y - Ay.DstStart);
      if (Direct && !Ax.Mirror) {
        auto* Dp = reinterpret_cast<std::uint32_t*>(DS.Row(Y)) + Part.left;
        const auto* Sp = reinterpret_cast<const std::uint32_t*>(SS.Row(Sy)) + (Ax.SrcStart + (Part.left - Ax.DstStart));
        BlendRow32(Dp, Sp, Part.right - Part.left, Sca, PerPixel);
        continue;
      }
      for (int X = Part.left; X < Part.right; ++X) {
        int Sx = Ax.SrcStart + Ax.Nearest(X - Ax.DstStart);
        std::uint32_t Sv = Conv.ReadArgb(Sx, Sy);
        if (DS.IsIndexed()) {
          std::uint32_t Dv = ArgbOf(DS.GetColor(X, Y));
          DS.SetRaw(X, Y, DS.ColorToRaw(ColorOfArgb(BlendPixel(Sv, Dv))));
        } else {
          std::uint32_t R = BlendPixel(Sv, DS.GetRaw(X, Y));
          DS.SetRaw(X, Y, DS.BitsPerPixel == 32 ? R : (R & 0xFFFFFF));
        }
      }
    }
  }
  return TRUE;
}

BOOL GradientFill(HDC DC, TRIVERTEX* Vertices, ULONG NumVertices, void* Mesh, ULONG NumMesh, ULONG Mode)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Vertices || !Mesh || Mode > GRADIENT_FILL_TRIANGLE)
    return FALSE;
  const TSurface& DS = D->Surface();
  TPixelPainter Painter(*D, 0, R2_COPYPEN);
  if (Mode == GRADIENT_FILL_TRIANGLE) {
    struct TTri {
      ULONG V[3];
    };
    const auto* Tris = static_cast<const TTri*>(Mesh);
    for (ULONG T = 0; T < NumMesh; ++T) {
      const TRIVERTEX* V[3];
      for (int K = 0; K < 3; ++K) {
        if (Tris[T].V[K] >= NumVertices)
          return FALSE;
        V[K] = &Vertices[Tris[T].V[K]];
      }
      POINT P[3];
      for (int K = 0; K < 3; ++K)
        P[K] = D->LPtoDevice(POINT{V[K]->x, V[K]->y});
      std::int64_t Area = static_cast<std::int64_t>(P[1].x - P[0].x) * (P[2].y - P[0].y) -
                          static_cast<std::int64_t>(P[2].x - P[0].x) * (P[1].y - P[0].y);
      if (Area == 0)
        continue;
      int MinX = std::min({P[0].x, P[1].x, P[2].x}), MaxX = std::max({P[0].x, P[1].x, P[2].x});
      int MinY = std::min({P[0].y, P[1].y, P[2].y}), MaxY = std::max({P[0].y, P[1].y, P[2].y});
      for (int Y = MinY; Y < MaxY; ++Y)
        for (int X = MinX; X < MaxX; ++X) {
          double Px = X + 0.5, Py = Y + 0.5;
          double W0 = ((P[1].x - Px) * (P[2].y - Py) - (P[2].x - Px) * (P[1].y - Py)) / static_cast<double>(Area);
          double W1 = ((P[2].x - Px) * (P[0].y - Py) - (P[0].x - Px) * (P[2].y - Py)) / static_cast<double>(Area);
          double W2 = 1.0 - W0 - W1;
          if (W0 < 0 || W1 < 0 || W2 < 0)
            continue;
          auto Mix = [&](COLOR16 TRIVERTEX::*F) {
            double C = W0 * (V[0]->*F) + W1 * (V[1]->*F) + W2 * (V[2]->*F);
            return static_cast<BYTE>(static_cast<int>(C) >> 8);
          };
          Painter.PlotRaw(X, Y, DS.ColorToRaw(RGB(Mix(&TRIVERTEX::Red), Mix(&TRIVERTEX::Green), Mix(&TRIVERTEX::Blue))));
        }
    }
    return TRUE;
  }
  const auto* Rects = static_cast<const GRADIENT_RECT*>(Mesh);
  for (ULONG R = 0; R < NumMesh; ++R) {
    if (Rects[R].UpperLeft >= NumVertices || Rects[R].LowerRight >= NumVertices)
      return FALSE;
    const TRIVERTEX& A = Vertices[Rects[R].UpperLeft];
    const TRIVERTEX& B = Vertices[Rects[R].LowerRight];
    RECT Box = D->LPtoDevice(RECT{A.x, A.y, B.x, B.y});
    bool Horizontal = Mode == GRADIENT_FILL_RECT_H;
    bool Swapped = Horizontal ? A.x > B.x : A.y > B.y;
    const TRIVERTEX& First = Swapped ? B : A;
    const TRIVERTEX& Second = Swapped ? A : B;
    int Span = Horizontal ? Box.right - Box.left : Box.bottom - Box.top;
    if (Span <= 0)
      continue;
    for (int Y = Box.top; Y < Box.bottom; ++Y)
      for (int X = Box.left; X < Box.right; ++X) {
        int I = Horizontal ? X - Box.left : Y - Box.top;
        auto Mix = [&](COLOR16 TRIVERTEX::*F) {
          std::int64_t C = First.*F + (static_cast<std::int64_t>(Second.*F) - First.*F) * I / Span;
          return static_cast<BYTE>(C >> 8);
        };
        Painter.PlotRaw(X, Y, DS.ColorToRaw(RGB(Mix(&TRIVERTEX::Red), Mix(&TRIVERTEX::Green), Mix(&TRIVERTEX::Blue))));
      }
  }
  return TRUE;
}

int StretchDIBits(HDC DC, int XDest, int YDest, int DestWidth, int DestHeight, int XSrc, int YSrc, int SrcWidth,
                  int SrcHeight, const void* Bits, const BITMAPINFO* Info, UINT Usage, DWORD Rop)
{
  TDeviceContext* D = DcFromHandle(DC);
  TSurface View;
  std::vector<RGBQUAD> Colors;
  if (!D || !Bits || !DescribeDib(Info, Bits, Usage, View, Colors)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  // For a bottom-up DIB the source origin is its lower-left corner: YSrc counts rows from the
  // bottom. The source span is normalised, turned into rows from the top, and a negative
  // height keeps mirroring.
  int Rows = SrcHeight < 0 ? -SrcHeight : SrcHeight;
  int Y0 = SrcHeight < 0 ? YSrc + SrcHeight + 1 : YSrc;
  int Top = View.TopDown ? Y0 : View.Height - Y0 - Rows;
  int SY = SrcHeight < 0 ? Top + Rows - 1 : Top;
  TSourceInfo Source;
  Source.Surface = &View;
  Source.BkColor = D->BkColor;
  POINT P = D->LPtoDevice(POINT{XDest, YDest});
  if (!RasterOp(*D, P.x, P.y, DestWidth, DestHeight, &Source, XSrc, SY, SrcWidth, SrcHeight, Rop, D->StretchMode))
    return 0;
  return View.Height;
}

int SetDIBitsToDevice(HDC DC, int XDest, int YDest, DWORD Width, DWORD Height, int XSrc, int YSrc, UINT StartScan,
                      UINT Lines, const void* Bits, const BITMAPINFO* Info, UINT Usage)
{
  TDeviceContext* D = DcFromHandle(DC);
  TSurface View;
  std::vector<RGBQUAD> Colors;
  if (!D || !Bits || !DescribeDib(Info, Bits, Usage, View, Colors) || Width > 0x7FFFFFFF || Height > 0x7FFFFFFF) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
  }
  int Full = View.Height;
  if (StartScan >= static_cast<UINT>(Full) || Lines == 0)
    return 0;
  if (Lines > static_cast<UINT>(Full) - StartScan)
    Lines = static_cast<UINT>(Full) - StartScan;
  // The buffer holds only the band of Lines scan lines from StartScan.
  TSurface Band = View;
  Band.Height = static_cast<int>(Lines);
  int W = static_cast<int>(Width), H = static_cast<int>(Height);
  // Band row b as a row of the whole picture (counted from its top), and the source
  // rectangle's top row in the same terms.
  int BandTop, SrcTop;
  if (View.TopDown) {
    BandTop = static_cast<int>(StartScan);
    SrcTop = YSrc;
  } else {
    BandTop = Full - static_cast<int>(StartScan) - static_cast<int>(Lines);
    SrcTop = Full - YSrc - H;
  }
  int First = std::max(SrcTop, BandTop), Last = std::min(SrcTop + H, BandTop + static_cast<int>(Lines));
  if (First >= Last)
    return static_cast<int>(Lines);
  TSourceInfo Source;
  Source.Surface = &Band;
  Source.BkColor = D->BkColor;
  POINT P = D->LPtoDevice(POINT{XDest, YDest + (First - SrcTop)});
  RasterOp(*D, P.x, P.y, W, Last - First, &Source, XSrc, First - BandTop, W, Last - First, SRCCOPY, COLORONCOLOR);
  return static_cast<int>(Lines);
}
