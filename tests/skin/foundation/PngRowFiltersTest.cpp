#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <random>
#include <vector>

#include "skin/foundation/PngRowFilters.h"

namespace {

using Bytes = std::vector<std::uint8_t>;

// The predictor of each filter for byte I, straight from the format: a = left, b = above,
// c = upper left (0 outside the row).
int Predict(int Type, const Bytes& Row, const Bytes& Prior, std::size_t I, std::size_t D)
{
  const int A = I >= D ? Row[I - D] : 0, B = Prior[I], C = I >= D ? Prior[I - D] : 0;
  switch (Type) {
    case 1: return A;
    case 2: return B;
    case 3: return (A + B) / 2;
    case 4: {
      const int P = A + B - C, PA = std::abs(P - A), PB = std::abs(P - B), PC = std::abs(P - C);
      return PA <= PB && PA <= PC ? A : PB <= PC ? B : C;
    }
    default: return 0;
  }
}

Bytes ReferenceUnfilter(int Type, Bytes Row, const Bytes& Prior, std::size_t D)
{
  for (std::size_t I = 0; I < Row.size(); ++I) Row[I] = static_cast<std::uint8_t>(Row[I] + Predict(Type, Row, Prior, I, D));
  return Row;
}

Bytes ReferenceFilter(int Type, const Bytes& Raw, const Bytes& Prior, std::size_t D)
{
  Bytes Out(Raw.size());
  for (std::size_t I = 0; I < Raw.size(); ++I) Out[I] = static_cast<std::uint8_t>(Raw[I] - Predict(Type, Raw, Prior, I, D));
  return Out;
}

// Rows of random bytes, of smooth ramps (where Paeth's ties and small differences matter) and of
// extremes (0 and 255 next to each other: wrap-around in every lane).
Bytes MakeRow(std::mt19937& Rng, std::size_t N, int Kind)
{
  Bytes R(N);
  for (std::size_t I = 0; I < N; ++I) {
    const std::uint32_t V = Rng();
    R[I] = static_cast<std::uint8_t>(Kind == 0 ? V : Kind == 1 ? (I * 3 + (V & 3)) : (V & 1) * 255);
  }
  return R;
}

}  // namespace

TEST(PngRowFilters, UndoAndApplyMatchTheDefinition)
{
  std::mt19937 Rng(4242);
  for (int Bpp : {1, 2, 3, 4, 6, 8})
    for (std::size_t Pixels : {0, 1, 2, 3, 5, 16, 33, 200})
      for (int Kind = 0; Kind < 3; ++Kind)
        for (int Type = 0; Type <= 5; ++Type) {
          const std::size_t N = Pixels * static_cast<std::size_t>(Bpp);
          const Bytes Prior = MakeRow(Rng, N, Kind), Row = MakeRow(Rng, N, (Kind + 1) % 3);
          // One spare byte on each side catches writes outside the row.
          Bytes Work(N + 2, 0xA5);
          std::copy(Row.begin(), Row.end(), Work.begin() + 1);
          PngUnfilterRow(Type, Work.data() + 1, Prior.data(), N, Bpp);
          const Bytes Want = ReferenceUnfilter(Type, Row, Prior, static_cast<std::size_t>(Bpp));
          ASSERT_EQ(Bytes(Work.begin() + 1, Work.end() - 1), Want)
              << "undo type " << Type << " bpp " << Bpp << " bytes " << N << " kind " << Kind;
          ASSERT_EQ(Work.front(), 0xA5);
          ASSERT_EQ(Work.back(), 0xA5);
          if (Type < 1 || Type > 4) continue;
          Bytes Out(N + 1, 0xA5);
          PngFilterRow(Type, Row.data(), Prior.data(), N, Bpp, Out.data());
          ASSERT_EQ(Bytes(Out.begin(), Out.end() - 1), ReferenceFilter(Type, Row, Prior, static_cast<std::size_t>(Bpp)))
              << "apply type " << Type << " bpp " << Bpp << " bytes " << N;
          ASSERT_EQ(Out.back(), 0xA5);
          // And the two are inverses.
          PngUnfilterRow(Type, Out.data(), Prior.data(), N, Bpp);
          ASSERT_EQ(Bytes(Out.begin(), Out.end() - 1), Row) << "round trip type " << Type << " bpp " << Bpp;
        }
}

TEST(PngRowFilters, RowShorterThanOnePixel)
{
  // A two-byte row at a distance of four: every byte is the first of its pixel.
  const Bytes Prior{10, 20};
  for (int Type = 1; Type <= 4; ++Type) {
    Bytes Row{5, 250};
    PngUnfilterRow(Type, Row.data(), Prior.data(), 2, 4);
    EXPECT_EQ(Row, ReferenceUnfilter(Type, Bytes{5, 250}, Prior, 4)) << "type " << Type;
  }
}
