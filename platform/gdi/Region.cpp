// Regions as y-x banded rectangle lists. Every operation is a sweep over the bands of its
// operands from top to bottom; inside one band the spans of both operands are merged by a sweep
// from left to right, so the work grows with the number of rectangles, never with the area.
#include "platform/gdi/Region.h"

#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <limits>
#include <utility>

namespace {

using TSpan = std::pair<LONG, LONG>;  // [first, second) on the x axis

constexpr std::int64_t MinCoord = std::numeric_limits<LONG>::min();
constexpr std::int64_t MaxCoord = std::numeric_limits<LONG>::max();

LONG ClampCoord(std::int64_t V)
{
  return static_cast<LONG>(std::clamp(V, MinCoord, MaxCoord));
}

// The index one past the band that starts at First.
std::size_t BandEnd(const std::vector<RECT>& Rects, std::size_t First)
{
  std::size_t Last = First + 1;
  while (Last < Rects.size() && Rects[Last].top == Rects[First].top)
    ++Last;
  return Last;
}

// Appends band [Top, Bottom) with the spans to a canonical list under construction. The band is
// joined to the previous one when that one ends at Top and has exactly the same spans.
class TBandWriter {
public:
  explicit TBandWriter(std::vector<RECT>& Out) : FOut(Out) {}

  void Add(LONG Top, LONG Bottom, const std::vector<TSpan>& Spans)
  {
    if (Spans.empty() || Top >= Bottom)
      return;
    if (FHaveBand && FOut[FBandStart].bottom == Top && FOut.size() - FBandStart == Spans.size()) {
      bool Same = true;
      for (std::size_t I = 0; I < Spans.size() && Same; ++I) {
        const RECT& R = FOut[FBandStart + I];
        Same = R.left == Spans[I].first && R.right == Spans[I].second;
      }
      if (Same) {
        for (std::size_t I = FBandStart; I < FOut.size(); ++I)
          FOut[I].bottom = Bottom;
        return;
      }
    }
    FBandStart = FOut.size();
    FHaveBand = true;
    for (const TSpan& S : Spans)
      FOut.push_back(RECT{S.first, Top, S.second, Bottom});
  }

private:
  std::vector<RECT>& FOut;
  std::size_t FBandStart = 0;
  bool FHaveBand = false;
};

bool Apply(int Mode, bool InA, bool InB)
{
  switch (Mode) {
  case RGN_AND:
    return InA && InB;
  case RGN_OR:
    return InA || InB;
  case RGN_XOR:
    return InA != InB;
  case RGN_DIFF:
    return InA && !InB;
  default:
    return InA;
  }
}

// Merges the spans of two bands (each sorted, disjoint, not touching) under Mode. The result is
// sorted and its spans neither overlap nor touch, because a boundary is written only where the
// covered state changes.
void CombineSpans(const RECT* A, std::size_t CountA, const RECT* B, std::size_t CountB, int Mode,
                  std::vector<TSpan>& Out)
{
  Out.clear();
  // Each list is a sequence of toggles: left0, right0, left1, right1 ...
  std::size_t IA = 0, IB = 0;  // toggle indices, 2 per span
  const std::size_t EndA = CountA * 2, EndB = CountB * 2;
  auto Toggle = [](const RECT* Rects, std::size_t I) {
    return (I & 1) ? Rects[I / 2].right : Rects[I / 2].left;
  };
  bool InA = false, InB = false, InOut = false;
  LONG Start = 0;
  while (IA < EndA || IB < EndB) {
    LONG X;
    if (IA < EndA && IB < EndB)
      X = std::min(Toggle(A, IA), Toggle(B, IB));
    else if (IA < EndA)
      X = Toggle(A, IA);
    else
      X = Toggle(B, IB);
    if (IA < EndA && Toggle(A, IA) == X) {
      InA = !InA;
      ++IA;
    }
    if (IB < EndB && Toggle(B, IB) == X) {
      InB = !InB;
      ++IB;
    }
    const bool Now = Apply(Mode, InA, InB);
    if (Now != InOut) {
      if (Now)
        Start = X;
      else
        Out.emplace_back(Start, X);
      InOut = Now;
    }
  }
}

std::vector<RECT> CombineLists(const std::vector<RECT>& A, const std::vector<RECT>& B, int Mode)
{
  std::vector<RECT> Out;
  Out.reserve(A.size() + B.size());
  TBandWriter Writer(Out);
  std::vector<TSpan> Spans;
  std::size_t BandA = 0, BandB = 0;  // first rectangle of the current band of each operand
  // The sweep position: everything above Y is done. Bands of an operand that end at or above Y
  // are skipped.
  std::int64_t Y = MinCoord;
  for (;;) {
    while (BandA < A.size() && A[BandA].bottom <= Y)
      BandA = BandEnd(A, BandA);
    while (BandB < B.size() && B[BandB].bottom <= Y)
      BandB = BandEnd(B, BandB);
    const bool HaveA = BandA < A.size(), HaveB = BandB < B.size();
    if (!HaveA && !HaveB)
      break;
    // Nothing more can come out once an operand the mode needs has run out.
    if (!HaveA && (Mode == RGN_AND || Mode == RGN_DIFF || Mode == RGN_COPY))
      break;
    if (!HaveB && Mode == RGN_AND)
      break;
    // The next interval starts at Y or at the next band top, whichever is lower.
    std::int64_t Top = std::numeric_limits<std::int64_t>::max();
    if (HaveA)
      Top = std::min<std::int64_t>(Top, std::max<std::int64_t>(Y, A[BandA].top));
    if (HaveB)
      Top = std::min<std::int64_t>(Top, std::max<std::int64_t>(Y, B[BandB].top));
    const bool CoverA = HaveA && A[BandA].top <= Top;
    const bool CoverB = HaveB && B[BandB].top <= Top;
    // It ends at the nearest change: the end of a covering band or the start of the other.
    std::int64_t Bottom = std::numeric_limits<std::int64_t>::max();
    if (HaveA)
      Bottom = std::min<std::int64_t>(Bottom, CoverA ? A[BandA].bottom : A[BandA].top);
    if (HaveB)
      Bottom = std::min<std::int64_t>(Bottom, CoverB ? B[BandB].bottom : B[BandB].top);
    const std::size_t EndA = CoverA ? BandEnd(A, BandA) : BandA;
    const std::size_t EndB = CoverB ? BandEnd(B, BandB) : BandB;
    CombineSpans(CoverA ? &A[BandA] : nullptr, EndA - BandA, CoverB ? &B[BandB] : nullptr,
                 EndB - BandB, Mode, Spans);
    Writer.Add(static_cast<LONG>(Top), static_cast<LONG>(Bottom), Spans);
    Y = Bottom;
  }
  return Out;
}

// Left inset of the row of an ellipse that fits a W x H box (W, H > 0), for the row whose centre
// lies Y2/2 pixels from the box's horizontal middle (Y2 odd when H is even, even otherwise, and
// |Y2| < H). A pixel belongs to the ellipse when its centre lies inside or on the ellipse; the
// test is exact integer arithmetic on doubled coordinates:
//   X2^2 * H^2 <= W^2 * (H^2 - Y2^2)   with X2 = 2 * Column + 1 - W.
// The result is the number of columns cut off at the left (and, by symmetry, at the right); W/2
// and more means the row is empty.
std::int64_t EllipseInset(std::int64_t W, std::int64_t H, std::int64_t Y2)
{
  using U128 = unsigned __int128;
  // W, H < 2^32, so squares fit 64 bits unsigned and products of two squares fit 128 bits.
  const std::uint64_t UH = static_cast<std::uint64_t>(H);
  const std::uint64_t UY = static_cast<std::uint64_t>(Y2 < 0 ? -Y2 : Y2);
  const U128 HH = static_cast<U128>(UH * UH);
  const U128 Rhs = static_cast<U128>(static_cast<std::uint64_t>(W) * static_cast<std::uint64_t>(W)) *
                   static_cast<U128>(UH * UH - UY * UY);
  auto Inside = [&](std::int64_t Column) {
    const std::int64_t X2 = 2 * Column + 1 - W;
    const U128 AX = static_cast<U128>(static_cast<std::uint64_t>(X2 < 0 ? -X2 : X2));
    return AX * AX * HH <= Rhs;
  };
  // Columns 0 .. (W-1)/2 are the left half; insideness grows towards the middle.
  std::int64_t Lo = 0, Hi = (W + 1) / 2;  // answer in [Lo, Hi]; Hi means no pixel inside
  while (Lo < Hi) {
    const std::int64_t Mid = Lo + (Hi - Lo) / 2;
    if (Inside(Mid))
      Hi = Mid;
    else
      Lo = Mid + 1;
  }
  return Lo;
}

// Rounded rectangles and ellipses are sampled at pixel centres: a pixel is in the shape when its
// centre lies inside or on the ellipse inscribed in the corner box (the whole box for an
// ellipse). That makes every shape symmetric about both axes of its box. Each row is one
// rectangle; equal rows merge into bands. Rows of equal width come in runs, so the runs are
// found by binary search and the cost grows with the number of bands, not with the height.
// Inverted coordinates are swapped; corner sizes are clamped to the box.
std::vector<RECT> RoundedRects(LONG Left, LONG Top, LONG Right, LONG Bottom, std::int64_t CornerWidth,
                               std::int64_t CornerHeight)
{
  if (Left > Right)
    std::swap(Left, Right);
  if (Top > Bottom)
    std::swap(Top, Bottom);
  const std::int64_t W = static_cast<std::int64_t>(Right) - Left;
  const std::int64_t H = static_cast<std::int64_t>(Bottom) - Top;
  std::vector<RECT> Out;
  if (W == 0 || H == 0)
    return Out;
  const std::int64_t EW = std::min(CornerWidth, W);
  const std::int64_t EH = std::min(CornerHeight, H);
  if (EW < 2 || EH < 2) {
    // A corner ellipse one pixel wide or high keeps every corner pixel.
    Out.push_back(RECT{Left, Top, Right, Bottom});
    return Out;
  }

  // Rows 0 .. Corner-1 from the top (and mirrored from the bottom) cross the corner ellipses.
  const std::int64_t Corner = EH / 2;
  auto InsetOf = [&](std::int64_t Row) { return EllipseInset(EW, EH, 2 * Row + 1 - EH); };
  struct TRun {
    std::int64_t First, Last;  // rows counted from the top, inclusive
    std::int64_t Inset;
  };
  std::vector<TRun> Runs;
  for (std::int64_t Row = 0; Row < Corner;) {
    const std::int64_t Inset = InsetOf(Row);
    // The inset never grows towards the middle; find the last row with the same inset.
    std::int64_t Lo = Row, Hi = Corner - 1;
    while (Lo < Hi) {
      const std::int64_t Mid = Lo + (Hi - Lo + 1) / 2;
      if (InsetOf(Mid) == Inset)
        Lo = Mid;
      else
        Hi = Mid - 1;
    }
    Runs.push_back(TRun{Row, Lo, Inset});
    Row = Lo + 1;
  }

  TBandWriter Writer(Out);
  std::vector<TSpan> Span(1);
  auto Emit = [&](std::int64_t Y0, std::int64_t Y1, std::int64_t Inset) {
    if (2 * Inset >= W)
      return;  // no pixel of these rows is inside
    Span[0] = TSpan(static_cast<LONG>(Left + Inset), static_cast<LONG>(Right - Inset));
    Writer.Add(static_cast<LONG>(Y0), static_cast<LONG>(Y1), Span);
  };
  for (const TRun& R : Runs)
    Emit(Top + R.First, Top + R.Last + 1, R.Inset);
  Emit(Top + Corner, Bottom - Corner, 0);
  for (auto It = Runs.rbegin(); It != Runs.rend(); ++It)
    Emit(Bottom - 1 - It->Last, Bottom - It->First, It->Inset);
  return Out;
}

}  // namespace

TRegion::TRegion(const RECT& R)
{
  if (R.left < R.right && R.top < R.bottom)
    FRects.push_back(R);
}

TRegion TRegion::FromRects(const std::vector<RECT>& Rects)
{
  // Pairwise unions in a balanced tree: each level costs about the total size, and there are
  // log2(n) levels.
  std::vector<std::vector<RECT>> Parts;
  Parts.reserve(Rects.size());
  for (const RECT& R : Rects)
    if (R.left < R.right && R.top < R.bottom)
      Parts.push_back({R});
  TRegion Result;
  if (Parts.empty())
    return Result;
  while (Parts.size() > 1) {
    std::vector<std::vector<RECT>> Next;
    Next.reserve((Parts.size() + 1) / 2);
    for (std::size_t I = 0; I + 1 < Parts.size(); I += 2)
      Next.push_back(CombineLists(Parts[I], Parts[I + 1], RGN_OR));
    if (Parts.size() % 2)
      Next.push_back(std::move(Parts.back()));
    Parts = std::move(Next);
  }
  Result.FRects = std::move(Parts.front());
  return Result;
}

TRegion TRegion::RoundRect(int Left, int Top, int Right, int Bottom, int EllipseWidth, int EllipseHeight)
{
  TRegion Result;
  Result.FRects = RoundedRects(Left, Top, Right, Bottom, std::llabs(EllipseWidth), std::llabs(EllipseHeight));
  return Result;
}

TRegion TRegion::Ellipse(int Left, int Top, int Right, int Bottom)
{
  // An ellipse is a rounded rectangle whose corner ellipse is the whole box.
  TRegion Result;
  const std::int64_t Huge = std::numeric_limits<std::int64_t>::max();
  Result.FRects = RoundedRects(Left, Top, Right, Bottom, Huge, Huge);
  return Result;
}

TRegion TRegion::Combine(const TRegion& A, const TRegion& B, int Mode)
{
  TRegion Result;
  switch (Mode) {
  case RGN_COPY:
    Result.FRects = A.FRects;
    break;
  case RGN_AND:
  case RGN_OR:
  case RGN_XOR:
  case RGN_DIFF:
    Result.FRects = CombineLists(A.FRects, B.FRects, Mode);
    break;
  default:
    break;
  }
  return Result;
}

int TRegion::Complexity() const
{
  if (FRects.empty())
    return NULLREGION;
  return FRects.size() == 1 ? SIMPLEREGION : COMPLEXREGION;
}

RECT TRegion::Box() const
{
  RECT Box;
  if (FRects.empty())
    return Box;
  Box.top = FRects.front().top;
  Box.bottom = FRects.back().bottom;
  Box.left = FRects.front().left;
  Box.right = FRects.front().right;
  for (const RECT& R : FRects) {
    Box.left = std::min(Box.left, R.left);
    Box.right = std::max(Box.right, R.right);
  }
  return Box;
}

bool TRegion::Contains(int X, int Y) const
{
  // Bottoms never decrease along the list, so the band holding Y is found by binary search.
  auto It = std::partition_point(FRects.begin(), FRects.end(), [Y](const RECT& R) { return R.bottom <= Y; });
  if (It == FRects.end() || It->top > Y)
    return false;
  const LONG BandTop = It->top;
  auto BandLast = std::partition_point(It, FRects.end(), [BandTop](const RECT& R) { return R.top == BandTop; });
  auto Hit = std::partition_point(It, BandLast, [X](const RECT& R) { return R.right <= X; });
  return Hit != BandLast && Hit->left <= X;
}

bool TRegion::Intersects(const RECT& R) const
{
  if (R.left >= R.right || R.top >= R.bottom)
    return false;
  auto It = std::partition_point(FRects.begin(), FRects.end(), [&R](const RECT& E) { return E.bottom <= R.top; });
  for (; It != FRects.end() && It->top < R.bottom; ++It)
    if (It->left < R.right && It->right > R.left)
      return true;
  return false;
}

void TRegion::Offset(int Dx, int Dy)
{
  if (FRects.empty() || (Dx == 0 && Dy == 0))
    return;
  const RECT B = Box();
  const bool Fits = B.left + static_cast<std::int64_t>(Dx) >= MinCoord &&
                    B.right + static_cast<std::int64_t>(Dx) <= MaxCoord &&
                    B.top + static_cast<std::int64_t>(Dy) >= MinCoord &&
                    B.bottom + static_cast<std::int64_t>(Dy) <= MaxCoord;
  if (Fits) {
    for (RECT& R : FRects) {
      R.left += Dx;
      R.right += Dx;
      R.top += Dy;
      R.bottom += Dy;
    }
    return;
  }
  // Parts pushed past the coordinate range are cut off at its edge; what is left is rebuilt in
  // canonical form, because clamping can make rectangles vanish or bands meet.
  std::vector<RECT> Moved;
  Moved.reserve(FRects.size());
  for (const RECT& R : FRects)
    Moved.push_back(RECT{ClampCoord(static_cast<std::int64_t>(R.left) + Dx),
                         ClampCoord(static_cast<std::int64_t>(R.top) + Dy),
                         ClampCoord(static_cast<std::int64_t>(R.right) + Dx),
                         ClampCoord(static_cast<std::int64_t>(R.bottom) + Dy)});
  *this = FromRects(Moved);
}

void TRegion::IntersectWith(const RECT& R)
{
  FRects = CombineLists(FRects, TRegion(R).FRects, RGN_AND);
}

void TRegion::Subtract(const RECT& R)
{
  FRects = CombineLists(FRects, TRegion(R).FRects, RGN_DIFF);
}

void TRegion::Unite(const RECT& R)
{
  FRects = CombineLists(FRects, TRegion(R).FRects, RGN_OR);
}

bool TRegion::operator==(const TRegion& Other) const
{
  return FRects == Other.FRects;
}
