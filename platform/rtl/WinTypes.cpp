#include "platform/rtl/WinTypes.h"

#include <algorithm>

BOOL SetRect(RECT* R, int Left, int Top, int Right, int Bottom)
{
  if (!R)
    return FALSE;
  *R = RECT{Left, Top, Right, Bottom};
  return TRUE;
}

BOOL SetRectEmpty(RECT* R)
{
  if (!R)
    return FALSE;
  *R = RECT{};
  return TRUE;
}

BOOL CopyRect(RECT* Dst, const RECT* Src)
{
  if (!Dst || !Src)
    return FALSE;
  *Dst = *Src;
  return TRUE;
}

BOOL IsRectEmpty(const RECT* R)
{
  return !R || R->right <= R->left || R->bottom <= R->top;
}

BOOL PtInRect(const RECT* R, POINT P)
{
  return R && P.x >= R->left && P.x < R->right && P.y >= R->top && P.y < R->bottom;
}

BOOL OffsetRect(RECT* R, int Dx, int Dy)
{
  if (!R)
    return FALSE;
  R->left += Dx;
  R->right += Dx;
  R->top += Dy;
  R->bottom += Dy;
  return TRUE;
}

BOOL InflateRect(RECT* R, int Dx, int Dy)
{
  if (!R)
    return FALSE;
  R->left -= Dx;
  R->right += Dx;
  R->top -= Dy;
  R->bottom += Dy;
  return TRUE;
}

BOOL IntersectRect(RECT* Dst, const RECT* A, const RECT* B)
{
  if (!Dst || !A || !B)
    return FALSE;
  const RECT r{std::max(A->left, B->left), std::max(A->top, B->top), std::min(A->right, B->right),
               std::min(A->bottom, B->bottom)};
  if (IsRectEmpty(&r)) {
    *Dst = RECT{};
    return FALSE;
  }
  *Dst = r;
  return TRUE;
}

BOOL UnionRect(RECT* Dst, const RECT* A, const RECT* B)
{
  if (!Dst || !A || !B)
    return FALSE;
  const bool emptyA = IsRectEmpty(A);
  const bool emptyB = IsRectEmpty(B);
  if (emptyA && emptyB) {
    *Dst = RECT{};
    return FALSE;
  }
  if (emptyA) {
    *Dst = *B;
    return TRUE;
  }
  if (emptyB) {
    *Dst = *A;
    return TRUE;
  }
  *Dst = RECT{std::min(A->left, B->left), std::min(A->top, B->top), std::max(A->right, B->right),
              std::max(A->bottom, B->bottom)};
  return TRUE;
}

BOOL SubtractRect(RECT* Dst, const RECT* A, const RECT* B)
{
  if (!Dst || !A || !B)
    return FALSE;
  RECT result = *A;
  RECT overlap;
  if (IsRectEmpty(A)) {
    *Dst = RECT{};
    return FALSE;
  }
  if (IntersectRect(&overlap, A, B)) {
    // Only a cut that spans one whole side of A leaves a rectangle behind.
    const bool fullWidth = overlap.left == A->left && overlap.right == A->right;
    const bool fullHeight = overlap.top == A->top && overlap.bottom == A->bottom;
    if (fullWidth && fullHeight) {
      *Dst = RECT{};
      return FALSE;
    }
    if (fullWidth) {
      if (overlap.top == A->top)
        result.top = overlap.bottom;
      else if (overlap.bottom == A->bottom)
        result.bottom = overlap.top;
    } else if (fullHeight) {
      if (overlap.left == A->left)
        result.left = overlap.right;
      else if (overlap.right == A->right)
        result.right = overlap.left;
    }
  }
  *Dst = result;
  return TRUE;
}

BOOL EqualRect(const RECT* A, const RECT* B)
{
  if (!A || !B)
    return FALSE;
  return *A == *B;
}
