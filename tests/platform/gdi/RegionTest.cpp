#include "platform/gdi/Region.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <ostream>
#include <random>
#include <string>
#include <vector>

// Failures show regions as their rectangle lists.
static void PrintTo(const TRegion& Region, std::ostream* Out);

namespace {

using TRects = std::vector<RECT>;

RECT R(LONG L, LONG T, LONG Rt, LONG B) { return RECT{L, T, Rt, B}; }

std::string Show(const TRects& List)
{
  std::string S;
  for (const RECT& E : List)
    S += "(" + std::to_string(E.left) + "," + std::to_string(E.top) + "," + std::to_string(E.right) + "," +
         std::to_string(E.bottom) + ")";
  return S.empty() ? "empty" : S;
}

// Checks the canonical banded form directly on the list.
::testing::AssertionResult IsCanonical(const TRects& List)
{
  std::size_t BandStart = 0;
  for (std::size_t I = 0; I < List.size(); ++I) {
    const RECT& E = List[I];
    if (E.left >= E.right || E.top >= E.bottom)
      return ::testing::AssertionFailure() << "empty rectangle at " << I << " in " << Show(List);
    if (I == 0)
      continue;
    const RECT& P = List[I - 1];
    if (E.top == P.top) {
      if (E.bottom != P.bottom || E.left <= P.right)
        return ::testing::AssertionFailure() << "bad band at " << I << " in " << Show(List);
      continue;
    }
    if (E.top < P.bottom)
      return ::testing::AssertionFailure() << "bands overlap at " << I << " in " << Show(List);
    if (E.top == P.bottom) {
      // A touching band must differ in its spans.
      const std::size_t BandEnd = I;
      std::size_t J = I;
      while (J < List.size() && List[J].top == E.top)
        ++J;
      bool Same = J - I == BandEnd - BandStart;
      for (std::size_t K = 0; Same && K < J - I; ++K)
        Same = List[BandStart + K].left == List[I + K].left && List[BandStart + K].right == List[I + K].right;
      if (Same)
        return ::testing::AssertionFailure() << "unmerged bands at " << I << " in " << Show(List);
    }
    BandStart = I;
  }
  return ::testing::AssertionSuccess();
}

}  // namespace

static void PrintTo(const TRegion& Region, std::ostream* Out) { *Out << Show(Region.Rects()); }

namespace {

struct TCombineCase {
  const char* Name;
  TRects A, B;
  int Mode;
  TRects Expected;
};

const char* ModeName(int Mode)
{
  switch (Mode) {
  case RGN_AND: return "AND";
  case RGN_OR: return "OR";
  case RGN_XOR: return "XOR";
  case RGN_DIFF: return "DIFF";
  case RGN_COPY: return "COPY";
  }
  return "?";
}

TEST(RegionTest, CombineGivesCanonicalRectangleLists)
{
  const TRects Sq = {R(0, 0, 10, 10)};
  const TRects Shifted = {R(5, 5, 15, 15)};
  const TRects Big = {R(0, 0, 30, 30)};
  const TRects Hole = {R(10, 10, 20, 20)};
  const TCombineCase Cases[] = {
      {"overlap", Sq, Shifted, RGN_AND, {R(5, 5, 10, 10)}},
      {"overlap", Sq, Shifted, RGN_OR, {R(0, 0, 10, 5), R(0, 5, 15, 10), R(5, 10, 15, 15)}},
      {"overlap", Sq, Shifted, RGN_XOR, {R(0, 0, 10, 5), R(0, 5, 5, 10), R(10, 5, 15, 10), R(5, 10, 15, 15)}},
      {"overlap", Sq, Shifted, RGN_DIFF, {R(0, 0, 10, 5), R(0, 5, 5, 10)}},
      {"overlap", Sq, Shifted, RGN_COPY, Sq},
      {"hole", Big, Hole, RGN_DIFF, {R(0, 0, 30, 10), R(0, 10, 10, 20), R(20, 10, 30, 20), R(0, 20, 30, 30)}},
      {"hole", Big, Hole, RGN_AND, Hole},
      {"hole", Hole, Big, RGN_DIFF, {}},
      {"hole", Big, Hole, RGN_XOR, {R(0, 0, 30, 10), R(0, 10, 10, 20), R(20, 10, 30, 20), R(0, 20, 30, 30)}},
      {"side by side", {R(0, 0, 10, 10)}, {R(10, 0, 20, 10)}, RGN_OR, {R(0, 0, 20, 10)}},
      {"side by side", {R(0, 0, 10, 10)}, {R(10, 0, 20, 10)}, RGN_XOR, {R(0, 0, 20, 10)}},
      {"side by side", {R(0, 0, 10, 10)}, {R(10, 0, 20, 10)}, RGN_AND, {}},
      {"stacked", {R(0, 0, 10, 5)}, {R(0, 5, 10, 10)}, RGN_OR, {R(0, 0, 10, 10)}},
      {"stacked offset", {R(0, 0, 10, 5)}, {R(2, 5, 10, 10)}, RGN_OR, {R(0, 0, 10, 5), R(2, 5, 10, 10)}},
      // Two equal bands with a gap between them stay apart.
      {"gap", {R(0, 0, 10, 10)}, {R(0, 4, 10, 6)}, RGN_DIFF, {R(0, 0, 10, 4), R(0, 6, 10, 10)}},
      // Removing the middle bar of an H-shape joins nothing across the bars.
      {"bars", {R(0, 0, 3, 9), R(6, 0, 9, 9)}, {R(0, 3, 9, 6)}, RGN_OR,
       {R(0, 0, 3, 3), R(6, 0, 9, 3), R(0, 3, 9, 6), R(0, 6, 3, 9), R(6, 6, 9, 9)}},
      {"bars", {R(0, 0, 3, 9), R(6, 0, 9, 9)}, {R(3, 0, 6, 9)}, RGN_OR, {R(0, 0, 9, 9)}},
      {"disjoint", {R(0, 0, 5, 5)}, {R(10, 10, 15, 15)}, RGN_AND, {}},
      {"disjoint", {R(0, 0, 5, 5)}, {R(10, 10, 15, 15)}, RGN_OR, {R(0, 0, 5, 5), R(10, 10, 15, 15)}},
      {"disjoint", {R(0, 0, 5, 5)}, {R(10, 10, 15, 15)}, RGN_DIFF, {R(0, 0, 5, 5)}},
      {"empty A", {}, Sq, RGN_OR, Sq},
      {"empty A", {}, Sq, RGN_XOR, Sq},
      {"empty A", {}, Sq, RGN_AND, {}},
      {"empty A", {}, Sq, RGN_DIFF, {}},
      {"empty B", Sq, {}, RGN_DIFF, Sq},
      {"empty B", Sq, {}, RGN_AND, {}},
      {"self", Sq, Sq, RGN_XOR, {}},
      {"self", Sq, Sq, RGN_DIFF, {}},
      {"self", Sq, Sq, RGN_OR, Sq},
      {"negative", {R(-20, -20, -10, -10)}, {R(-15, -25, -5, -15)}, RGN_AND, {R(-15, -20, -10, -15)}},
      {"whole plane minus a point", {R(INT_MIN, INT_MIN, INT_MAX, INT_MAX)}, {R(0, 0, 1, 1)}, RGN_DIFF,
       {R(INT_MIN, INT_MIN, INT_MAX, 0), R(INT_MIN, 0, 0, 1), R(1, 0, INT_MAX, 1), R(INT_MIN, 1, INT_MAX, INT_MAX)}},
  };
  for (const TCombineCase& C : Cases) {
    const TRegion Result = TRegion::Combine(TRegion::FromRects(C.A), TRegion::FromRects(C.B), C.Mode);
    EXPECT_EQ(Show(Result.Rects()), Show(C.Expected)) << C.Name << " " << ModeName(C.Mode);
    EXPECT_TRUE(IsCanonical(Result.Rects())) << C.Name << " " << ModeName(C.Mode);
  }
}

TEST(RegionTest, RectangleMembersMatchCombine)
{
  const TRegion Base = TRegion::FromRects({R(0, 0, 10, 10), R(20, 0, 30, 10)});
  const RECT Cut = R(5, 2, 25, 8);
  TRegion A = Base, B = Base, C = Base;
  A.IntersectWith(Cut);
  B.Subtract(Cut);
  C.Unite(Cut);
  EXPECT_EQ(A, TRegion::Combine(Base, TRegion(Cut), RGN_AND));
  EXPECT_EQ(B, TRegion::Combine(Base, TRegion(Cut), RGN_DIFF));
  EXPECT_EQ(C, TRegion::Combine(Base, TRegion(Cut), RGN_OR));
  EXPECT_EQ(Show(A.Rects()), Show({R(5, 2, 10, 8), R(20, 2, 25, 8)}));
  // Empty and inverted rectangles are empty regions.
  EXPECT_TRUE(TRegion(R(5, 5, 5, 10)).IsEmpty());
  EXPECT_TRUE(TRegion(R(10, 10, 0, 0)).IsEmpty());
  TRegion D = Base;
  D.Unite(R(50, 50, 40, 40));
  EXPECT_EQ(D, Base);
}

// A small pixel grid, the reference for the property tests.
constexpr int GridSize = 16;
using TGrid = std::vector<bool>;

TGrid GridOf(const TRegion& Region)
{
  TGrid Grid(GridSize * GridSize, false);
  for (int Y = 0; Y < GridSize; ++Y)
    for (int X = 0; X < GridSize; ++X)
      Grid[Y * GridSize + X] = Region.Contains(X, Y);
  return Grid;
}

// The canonical list of a pixel grid, built independently: runs per row, then equal rows merged.
TRects CanonicalOf(const TGrid& Grid)
{
  TRects Out;
  std::vector<std::pair<int, int>> Previous;
  std::size_t PreviousStart = 0;
  for (int Y = 0; Y < GridSize; ++Y) {
    std::vector<std::pair<int, int>> Runs;
    for (int X = 0; X < GridSize;) {
      if (!Grid[Y * GridSize + X]) {
        ++X;
        continue;
      }
      int End = X;
      while (End < GridSize && Grid[Y * GridSize + End])
        ++End;
      Runs.emplace_back(X, End);
      X = End;
    }
    if (!Runs.empty() && Runs == Previous && Out[PreviousStart].bottom == Y) {
      for (std::size_t I = PreviousStart; I < Out.size(); ++I)
        Out[I].bottom = Y + 1;
    } else if (!Runs.empty()) {
      PreviousStart = Out.size();
      for (auto [L, Rt] : Runs)
        Out.push_back(R(L, Y, Rt, Y + 1));
    }
    Previous = Runs;
  }
  return Out;
}

RECT RandomRect(std::mt19937& Rng)
{
  std::uniform_int_distribution<int> Coord(-2, GridSize + 1);
  // Some rectangles are empty or inverted on purpose.
  return R(Coord(Rng), Coord(Rng), Coord(Rng), Coord(Rng));
}

TGrid GridOfRects(const TRects& Rects)
{
  TGrid Grid(GridSize * GridSize, false);
  for (const RECT& E : Rects)
    for (int Y = std::max<int>(E.top, 0); Y < std::min<int>(E.bottom, GridSize); ++Y)
      for (int X = std::max<int>(E.left, 0); X < std::min<int>(E.right, GridSize); ++X)
        Grid[Y * GridSize + X] = true;
  return Grid;
}

TEST(RegionTest, RandomUnionsMatchPixelReference)
{
  std::mt19937 Rng(12345);
  for (int Round = 0; Round < 300; ++Round) {
    const int Count = 1 + Round % 25;
    TRects Rects;
    for (int I = 0; I < Count; ++I)
      Rects.push_back(RandomRect(Rng));
    // Keep inside the grid so that the reference sees everything.
    for (RECT& E : Rects)
      E = R(std::clamp<LONG>(E.left, 0, GridSize), std::clamp<LONG>(E.top, 0, GridSize),
            std::clamp<LONG>(E.right, 0, GridSize), std::clamp<LONG>(E.bottom, 0, GridSize));
    const TRegion Region = TRegion::FromRects(Rects);
    const TRects Expected = CanonicalOf(GridOfRects(Rects));
    ASSERT_EQ(Show(Region.Rects()), Show(Expected)) << "round " << Round;
    // The same area built one rectangle at a time, in reverse order, gives the same list.
    TRegion Stepwise;
    for (auto It = Rects.rbegin(); It != Rects.rend(); ++It)
      Stepwise.Unite(*It);
    ASSERT_EQ(Stepwise, Region) << "round " << Round;
  }
}

TEST(RegionTest, RandomCombinesMatchPixelReference)
{
  std::mt19937 Rng(777);
  auto RandomRegion = [&] {
    TRects Rects;
    for (int I = 0, N = 1 + static_cast<int>(Rng() % 8); I < N; ++I) {
      const RECT E = RandomRect(Rng);
      Rects.push_back(R(std::clamp<LONG>(E.left, 0, GridSize), std::clamp<LONG>(E.top, 0, GridSize),
                        std::clamp<LONG>(E.right, 0, GridSize), std::clamp<LONG>(E.bottom, 0, GridSize)));
    }
    // Some regions get holes, so that bands hold several spans.
    TRegion Region = TRegion::FromRects(Rects);
    if (Rng() % 2)
      Region.Subtract(RandomRect(Rng));
    return Region;
  };
  for (int Round = 0; Round < 400; ++Round) {
    const TRegion A = RandomRegion(), B = RandomRegion();
    const TGrid GA = GridOf(A), GB = GridOf(B);
    for (int Mode : {RGN_AND, RGN_OR, RGN_XOR, RGN_DIFF, RGN_COPY}) {
      TGrid Want(GridSize * GridSize);
      for (std::size_t I = 0; I < Want.size(); ++I) {
        const bool InA = GA[I], InB = GB[I];
        Want[I] = Mode == RGN_AND ? (InA && InB)
                  : Mode == RGN_OR ? (InA || InB)
                  : Mode == RGN_XOR ? (InA != InB)
                  : Mode == RGN_DIFF ? (InA && !InB)
                                     : InA;
      }
      const TRegion Result = TRegion::Combine(A, B, Mode);
      ASSERT_EQ(Show(Result.Rects()), Show(CanonicalOf(Want))) << "round " << Round << " " << ModeName(Mode);
    }
  }
}

TEST(RegionTest, ContainsIntersectsBoxAndComplexity)
{
  // A ring: a 30x30 square with a 10x10 hole.
  const TRegion Ring = TRegion::Combine(TRegion(R(0, 0, 30, 30)), TRegion(R(10, 10, 20, 20)), RGN_DIFF);
  struct TPoint {
    int X, Y;
    bool In;
  };
  const TPoint Points[] = {{0, 0, true},     {29, 29, true},   {30, 0, false},  {0, 30, false}, {-1, 5, false},
                           {9, 15, true},    {10, 15, false},  {19, 19, false}, {20, 15, true}, {15, 9, true},
                           {15, 20, true},   {INT_MIN, 0, false}, {0, INT_MAX, false}};
  for (const TPoint& P : Points)
    EXPECT_EQ(Ring.Contains(P.X, P.Y), P.In) << P.X << "," << P.Y;

  struct TRectCase {
    RECT Probe;
    bool Hit;
  };
  const TRectCase Probes[] = {
      {R(10, 10, 20, 20), false}, {R(9, 10, 20, 20), true},  {R(12, 12, 14, 14), false},
      {R(30, 0, 40, 10), false},  {R(29, 29, 40, 40), true}, {R(-5, -5, 0, 0), false},
      {R(5, 5, 5, 6), false},     {R(20, 20, 10, 10), false}, {R(INT_MIN, INT_MIN, INT_MAX, INT_MAX), true},
  };
  for (const TRectCase& C : Probes)
    EXPECT_EQ(Ring.Intersects(C.Probe), C.Hit) << Show({C.Probe});

  EXPECT_EQ(Ring.Box(), R(0, 0, 30, 30));
  EXPECT_EQ(TRegion::FromRects({R(5, 20, 8, 30), R(-3, 0, 1, 2)}).Box(), R(-3, 0, 8, 30));
  EXPECT_EQ(TRegion().Box(), RECT{});

  EXPECT_EQ(TRegion().Complexity(), NULLREGION);
  EXPECT_EQ(TRegion(R(1, 2, 3, 4)).Complexity(), SIMPLEREGION);
  EXPECT_EQ(TRegion::FromRects({R(0, 0, 5, 5), R(5, 0, 9, 5)}).Complexity(), SIMPLEREGION);
  EXPECT_EQ(Ring.Complexity(), COMPLEXREGION);
}

TEST(RegionTest, OffsetMovesAndClampsAtTheCoordinateRange)
{
  TRegion Ring = TRegion::Combine(TRegion(R(0, 0, 30, 30)), TRegion(R(10, 10, 20, 20)), RGN_DIFF);
  const TRegion Expected = TRegion::Combine(TRegion(R(-5, 7, 25, 37)), TRegion(R(5, 17, 15, 27)), RGN_DIFF);
  Ring.Offset(-5, 7);
  EXPECT_EQ(Ring, Expected);

  // Parts pushed past the range are cut off at its edge instead of wrapping around.
  TRegion Edge = TRegion::FromRects({R(INT_MAX - 10, 0, INT_MAX, 5), R(INT_MAX - 30, 0, INT_MAX - 20, 5)});
  Edge.Offset(15, 0);
  EXPECT_EQ(Show(Edge.Rects()), Show({R(INT_MAX - 15, 0, INT_MAX - 5, 5)}));
  TRegion Gone(R(0, INT_MIN, 5, INT_MIN + 3));
  Gone.Offset(0, -10);
  EXPECT_TRUE(Gone.IsEmpty());
}

// Rows of an elliptic or rounded shape: one rectangle per band, symmetric about both axes of the
// box, never wider than the box, widest in the middle.
void ExpectSymmetricShape(const TRegion& Shape, LONG L, LONG T, LONG Rt, LONG B, const std::string& Name)
{
  const TRects& Rows = Shape.Rects();
  ASSERT_TRUE(IsCanonical(Rows)) << Name;
  const std::int64_t SumX = std::int64_t(L) + Rt, SumY = std::int64_t(T) + B;
  for (std::size_t I = 0; I < Rows.size(); ++I) {
    const RECT& E = Rows[I];
    const RECT& M = Rows[Rows.size() - 1 - I];
    ASSERT_TRUE(I == 0 || Rows[I - 1].top != E.top) << Name << ": band with two rectangles";
    EXPECT_EQ(std::int64_t(E.left) + E.right, SumX) << Name << " row " << I;
    EXPECT_EQ(std::int64_t(E.top) + M.bottom, SumY) << Name << " row " << I;
    EXPECT_EQ(E.left, M.left) << Name << " row " << I;
    EXPECT_TRUE(E.left >= L && E.right <= Rt && E.top >= T && E.bottom <= B) << Name;
    if (2 * I < Rows.size() && I > 0) {
      EXPECT_LT(E.left, Rows[I - 1].left) << Name << " row " << I;
    }
  }
}

TEST(RegionTest, EllipseShapes)
{
  struct TBox {
    LONG L, T, Rt, B;
    bool FillsBox;  // very flat ellipses lose the box's outer pixels
  };
  const TBox Boxes[] = {{0, 0, 4, 4, true},       {0, 0, 7, 7, true},        {0, 0, 10, 6, true},
                        {-5, -3, 6, 20, true},    {3, 3, 103, 6, true},      {0, 0, 1, 1, true},
                        {0, 0, 2, 3, true},       {0, 0, 2, 9, false},       {10, 20, 11, 40, true},
                        {0, 0, 64, 64, true},     {100, 50, 133, 90, true},  {INT_MIN, 0, INT_MAX, 16, false},
                        {0, INT_MIN, 16, INT_MAX, false}};
  for (const TBox& Bx : Boxes) {
    const std::string Name = Show({R(Bx.L, Bx.T, Bx.Rt, Bx.B)});
    const TRegion E = TRegion::Ellipse(Bx.L, Bx.T, Bx.Rt, Bx.B);
    ExpectSymmetricShape(E, Bx.L, Bx.T, Bx.Rt, Bx.B, Name);
    if (Bx.FillsBox) {
      EXPECT_EQ(E.Box(), R(Bx.L, Bx.T, Bx.Rt, Bx.B)) << Name;
    }
    // Inverted coordinates are swapped.
    EXPECT_EQ(TRegion::Ellipse(Bx.Rt, Bx.B, Bx.L, Bx.T), E) << Name;
    // A rounded rectangle whose corner ellipse covers the box is the ellipse; without corners it
    // is the rectangle.
    if (std::int64_t(Bx.Rt) - Bx.L <= INT_MAX && std::int64_t(Bx.B) - Bx.T <= INT_MAX) {
      EXPECT_EQ(TRegion::RoundRect(Bx.L, Bx.T, Bx.Rt, Bx.B, INT_MAX, INT_MAX), E) << Name;
    }
    EXPECT_EQ(TRegion::RoundRect(Bx.L, Bx.T, Bx.Rt, Bx.B, 0, 0), TRegion(R(Bx.L, Bx.T, Bx.Rt, Bx.B))) << Name;
  }
  // Small shapes as pixel-centre sampling gives them.
  EXPECT_EQ(Show(TRegion::Ellipse(0, 0, 4, 4).Rects()), Show({R(1, 0, 3, 1), R(0, 1, 4, 3), R(1, 3, 3, 4)}));
  EXPECT_EQ(Show(TRegion::Ellipse(0, 0, 5, 3).Rects()), Show({R(1, 0, 4, 1), R(0, 1, 5, 2), R(1, 2, 4, 3)}));
  EXPECT_TRUE(TRegion::Ellipse(5, 5, 5, 20).IsEmpty());
  const TRegion Circle = TRegion::Ellipse(0, 0, 64, 64);
  EXPECT_TRUE(Circle.Contains(32, 32));
  EXPECT_FALSE(Circle.Contains(0, 0));
  EXPECT_FALSE(Circle.Contains(63, 63));
  EXPECT_TRUE(Circle.Contains(0, 32) && Circle.Contains(63, 31));
}

TEST(RegionTest, RoundRectShapes)
{
  struct TCase {
    LONG L, T, Rt, B;
    int EW, EH;
  };
  const TCase Cases[] = {{0, 0, 40, 20, 10, 10}, {0, 0, 40, 20, 11, 7}, {-10, -10, 10, 10, 6, 20},
                         {0, 0, 9, 9, 3, 3},     {0, 0, 30, 30, -8, -8}, {5, 5, 6, 50, 4, 4}};
  for (const TCase& C : Cases) {
    const std::string Name = Show({R(C.L, C.T, C.Rt, C.B)}) + " " + std::to_string(C.EW) + "x" + std::to_string(C.EH);
    const TRegion Shape = TRegion::RoundRect(C.L, C.T, C.Rt, C.B, C.EW, C.EH);
    const TRects& Rows = Shape.Rects();
    ASSERT_FALSE(Rows.empty()) << Name;
    EXPECT_EQ(Shape.Box(), R(C.L, C.T, C.Rt, C.B)) << Name;
    EXPECT_EQ(TRegion::RoundRect(C.Rt, C.B, C.L, C.T, C.EW, C.EH), Shape) << Name;
    const std::int64_t SumX = std::int64_t(C.L) + C.Rt, SumY = std::int64_t(C.T) + C.B;
    for (std::size_t I = 0; I < Rows.size(); ++I) {
      EXPECT_EQ(std::int64_t(Rows[I].left) + Rows[I].right, SumX) << Name;
      EXPECT_EQ(std::int64_t(Rows[I].top) + Rows[Rows.size() - 1 - I].bottom, SumY) << Name;
    }
    // Away from the corners the shape is the full rectangle.
    const int CH = std::min(std::abs(C.EH), C.B - C.T) / 2;
    const int CW = std::min(std::abs(C.EW), C.Rt - C.L) / 2;
    TRegion Middle = Shape;
    Middle.IntersectWith(R(C.L, C.T + CH, C.Rt, C.B - CH));
    EXPECT_EQ(Middle, TRegion(R(C.L, C.T + CH, C.Rt, C.B - CH))) << Name;
    Middle = Shape;
    Middle.IntersectWith(R(C.L + CW, C.T, C.Rt - CW, C.B));
    EXPECT_EQ(Middle, TRegion(R(C.L + CW, C.T, C.Rt - CW, C.B))) << Name;
    // The corner is the corner of the ellipse of the corner size.
    const int EW = std::min(std::abs(C.EW), C.Rt - C.L), EH = std::min(std::abs(C.EH), C.B - C.T);
    TRegion Corner = Shape;
    Corner.IntersectWith(R(C.L, C.T, C.L + EW / 2, C.T + EH / 2));
    TRegion EllipseCorner = TRegion::Ellipse(C.L, C.T, C.L + EW, C.T + EH);
    EllipseCorner.IntersectWith(R(C.L, C.T, C.L + EW / 2, C.T + EH / 2));
    EXPECT_EQ(Corner, EllipseCorner) << Name;
  }
}

}  // namespace
