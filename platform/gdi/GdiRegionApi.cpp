// The region functions: handles over TRegion.
#include <algorithm>
#include <cstring>

#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiObject.h"
#include "platform/rtl/Exceptions.h"

using namespace GdiInternal;

namespace {

RECT Normalised(int Left, int Top, int Right, int Bottom)
{
  return RECT{std::min(Left, Right), std::min(Top, Bottom), std::max(Left, Right), std::max(Top, Bottom)};
}

TRegion FromSpans(const std::vector<TSpan>& Spans)
{
  std::vector<RECT> Rects;
  Rects.reserve(Spans.size());
  for (const TSpan& S : Spans)
    Rects.push_back(RECT{S.X0, S.Y, S.X1, S.Y + 1});
  return TRegion::FromRects(Rects);
}

} // namespace

HRGN CreateRectRgn(int Left, int Top, int Right, int Bottom)
{
  return CreateRegionHandle(TRegion(Normalised(Left, Top, Right, Bottom)));
}

HRGN CreateRectRgnIndirect(const RECT* Rect)
{
  if (!Rect)
    return nullptr;
  return CreateRectRgn(Rect->left, Rect->top, Rect->right, Rect->bottom);
}

HRGN CreateRoundRectRgn(int Left, int Top, int Right, int Bottom, int Width, int Height)
{
  RECT R = Normalised(Left, Top, Right, Bottom);
  return CreateRegionHandle(TRegion::RoundRect(R.left, R.top, R.right, R.bottom, std::abs(Width), std::abs(Height)));
}

HRGN CreateEllipticRgn(int Left, int Top, int Right, int Bottom)
{
  RECT R = Normalised(Left, Top, Right, Bottom);
  return CreateRegionHandle(TRegion::Ellipse(R.left, R.top, R.right, R.bottom));
}

HRGN CreateEllipticRgnIndirect(const RECT* Rect)
{
  if (!Rect)
    return nullptr;
  return CreateEllipticRgn(Rect->left, Rect->top, Rect->right, Rect->bottom);
}

HRGN CreatePolyPolygonRgn(const POINT* Points, const INT* Counts, int Polys, int FillMode)
{
  if (!Points || !Counts || Polys <= 0 || (FillMode != ALTERNATE && FillMode != WINDING)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  // Rows are scan-converted one by one: an absurd height is refused rather than run.
  std::int64_t MinY = 0, MaxY = 0, Total = 0;
  for (int K = 0; K < Polys; ++K) {
    if (Counts[K] < 0) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    for (int I = 0; I < Counts[K]; ++I) {
      std::int64_t Y = Points[Total + I].y;
      if (Total + I == 0)
        MinY = MaxY = Y;
      MinY = std::min(MinY, Y);
      MaxY = std::max(MaxY, Y);
    }
    Total += Counts[K];
  }
  if (MaxY - MinY > (std::int64_t(1) << 24)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  return CreateRegionHandle(FromSpans(PolygonSpans(Points, Counts, Polys, FillMode)));
}

HRGN CreatePolygonRgn(const POINT* Points, int Count, int FillMode)
{
  if (Count < 0)
    return nullptr;
  return CreatePolyPolygonRgn(Points, &Count, 1, FillMode);
}

BOOL SetRectRgn(HRGN Rgn, int Left, int Top, int Right, int Bottom)
{
  TRegion* R = RegionFromHandle(Rgn);
  if (!R)
    return FALSE;
  *R = TRegion(Normalised(Left, Top, Right, Bottom));
  return TRUE;
}

int CombineRgn(HRGN Dest, HRGN Src1, HRGN Src2, int Mode)
{
  TRegion* D = RegionFromHandle(Dest);
  TRegion* A = RegionFromHandle(Src1);
  if (!D || !A || Mode < RGN_AND || Mode > RGN_COPY)
    return ERROR;
  if (Mode == RGN_COPY) {
    *D = *A;
    return D->Complexity();
  }
  TRegion* B = RegionFromHandle(Src2);
  if (!B)
    return ERROR;
  *D = TRegion::Combine(*A, *B, Mode);
  return D->Complexity();
}

HRGN ExtCreateRegion(const XFORM* Transform, DWORD Count, const RGNDATA* Data)
{
  if (!Data || Count < sizeof(RGNDATAHEADER)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  RGNDATAHEADER H;
  H = Data->rdh;
  if (H.dwSize != sizeof(RGNDATAHEADER) || H.iType != RDH_RECTANGLES || H.nCount > (Count - sizeof(H)) / sizeof(RECT)) {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  int Dx = 0, Dy = 0;
  if (Transform) {
    const XFORM& X = *Transform;
    // Only the identity and whole-pixel moves keep rectangles rectangles here.
    if (X.eM11 != 1 || X.eM12 != 0 || X.eM21 != 0 || X.eM22 != 1 || X.eDx != static_cast<float>(static_cast<int>(X.eDx)) ||
        X.eDy != static_cast<float>(static_cast<int>(X.eDy))) {
      SetLastError(ERROR_INVALID_PARAMETER);
      return nullptr;
    }
    Dx = static_cast<int>(X.eDx);
    Dy = static_cast<int>(X.eDy);
  }
  std::vector<RECT> Rects(H.nCount);
  if (H.nCount)
    std::memcpy(Rects.data(), reinterpret_cast<const std::uint8_t*>(Data) + sizeof(H), H.nCount * sizeof(RECT));
  TRegion R = TRegion::FromRects(Rects);
  R.Offset(Dx, Dy);
  return CreateRegionHandle(std::move(R));
}

DWORD GetRegionData(HRGN Rgn, DWORD Count, RGNDATA* Data)
{
  TRegion* R = RegionFromHandle(Rgn);
  if (!R)
    return 0;
  const std::vector<RECT>& Rects = R->Rects();
  DWORD Need = static_cast<DWORD>(sizeof(RGNDATAHEADER) + Rects.size() * sizeof(RECT));
  if (!Data || Count < Need)
    return Need;
  RGNDATAHEADER H;
  H.dwSize = sizeof(RGNDATAHEADER);
  H.iType = RDH_RECTANGLES;
  H.nCount = static_cast<DWORD>(Rects.size());
  H.nRgnSize = static_cast<DWORD>(Rects.size() * sizeof(RECT));
  H.rcBound = R->Box();
  Data->rdh = H;
  if (!Rects.empty())
    std::memcpy(reinterpret_cast<std::uint8_t*>(Data) + sizeof(H), Rects.data(), Rects.size() * sizeof(RECT));
  return Need;
}

int OffsetRgn(HRGN Rgn, int Dx, int Dy)
{
  TRegion* R = RegionFromHandle(Rgn);
  if (!R)
    return ERROR;
  R->Offset(Dx, Dy);
  return R->Complexity();
}

BOOL PtInRegion(HRGN Rgn, int X, int Y)
{
  TRegion* R = RegionFromHandle(Rgn);
  return R && R->Contains(X, Y) ? TRUE : FALSE;
}

BOOL RectInRegion(HRGN Rgn, const RECT* Rect)
{
  TRegion* R = RegionFromHandle(Rgn);
  if (!R || !Rect)
    return FALSE;
  RECT N = Normalised(Rect->left, Rect->top, Rect->right, Rect->bottom);
  return R->Intersects(N) ? TRUE : FALSE;
}

BOOL EqualRgn(HRGN A, HRGN B)
{
  TRegion* Ra = RegionFromHandle(A);
  TRegion* Rb = RegionFromHandle(B);
  if (!Ra || !Rb)
    return ERROR;
  return *Ra == *Rb ? TRUE : FALSE;
}

int GetRgnBox(HRGN Rgn, RECT* Rect)
{
  TRegion* R = RegionFromHandle(Rgn);
  if (!R || !Rect)
    return ERROR;
  *Rect = R->Box();
  return R->Complexity();
}
