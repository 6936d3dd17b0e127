// A region as Windows keeps it: a list of rectangles in y-x bands. Rectangles are sorted by
// top, then left; the rectangles of one band share top and bottom, do not overlap or touch
// horizontally, and bands with equal rectangle runs that touch vertically are merged. Every
// operation leaves the list in this canonical form, so two equal areas have equal lists.
#pragma once

#include <vector>

#include "platform/rtl/WinTypes.h"

// CombineRgn modes and region complexities (the Windows values).
constexpr int RGN_AND = 1;
constexpr int RGN_OR = 2;
constexpr int RGN_XOR = 3;
constexpr int RGN_DIFF = 4;
constexpr int RGN_COPY = 5;
constexpr int RGN_ERROR = 0;
constexpr int NULLREGION = 1;
constexpr int SIMPLEREGION = 2;
constexpr int COMPLEXREGION = 3;

class TRegion {
public:
  TRegion() = default;
  // The rectangle's area; an empty or inverted rectangle gives an empty region.
  explicit TRegion(const RECT& R);

  // The union of any rectangles, in any order, overlapping or not.
  static TRegion FromRects(const std::vector<RECT>& Rects);
  // The shapes of CreateRoundRectRgn and CreateEllipticRgn, pixel for pixel.
  static TRegion RoundRect(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight);
  static TRegion Ellipse(int Left, int Top, int Right, int Bottom);
  // The region of CombineRgn for the modes above (RGN_COPY gives A).
  static TRegion Combine(const TRegion& A, const TRegion& B, int Mode);

  bool IsEmpty() const { return FRects.empty(); }
  // NULLREGION, SIMPLEREGION or COMPLEXREGION.
  int Complexity() const;
  // Bounding box; all zero for an empty region.
  RECT Box() const;
  const std::vector<RECT>& Rects() const { return FRects; }

  bool Contains(int X, int Y) const;
  // True when any part of R lies in the region.
  bool Intersects(const RECT& R) const;
  void Offset(int Dx, int Dy);
  // Keeps only the part inside R.
  void IntersectWith(const RECT& R);
  void Subtract(const RECT& R);
  void Unite(const RECT& R);

  bool operator==(const TRegion& Other) const;

private:
  std::vector<RECT> FRects;
};
