#include <gtest/gtest.h>

#include <cstdint>
#include <random>
#include <vector>

#include "platform/gdi/AlphaRow.h"

using namespace GdiInternal;

namespace {

// Channel by channel from the definition: s = round(c * sca / 255), a = s.alpha,
// out = min(255, s + round(d * (255 - a) / 255)).
std::uint32_t Reference(std::uint32_t S, std::uint32_t D, std::uint32_t Sca, bool PerPixel)
{
  if (!PerPixel) S |= 0xFF000000u;
  auto Round255 = [](std::uint32_t X) { return (2 * X + 255) / 510; };
  std::uint32_t Sc[4], Out = 0;
  for (int C = 0; C < 4; ++C) Sc[C] = Round255(((S >> (8 * C)) & 0xFF) * Sca);
  for (int C = 0; C < 4; ++C) {
    const std::uint32_t V = Sc[C] + Round255(((D >> (8 * C)) & 0xFF) * (255 - Sc[3]));
    Out |= std::min<std::uint32_t>(V, 255) << (8 * C);
  }
  return Out;
}

const char* Name(TBlendForm F)
{
  switch (F) {
    case TBlendForm::Plain: return "plain";
    case TBlendForm::Sse2: return "sse2";
    case TBlendForm::Avx2: return "avx2";
    case TBlendForm::Avx512: return "avx512";
  }
  return "?";
}

// Source rows: every alpha value, with runs of transparent and opaque pixels between partial ones
// (the skipped blocks must meet blended ones at every offset), and pixels that are not
// premultiplied (colour above alpha), which must saturate.
std::vector<std::uint32_t> SourceRow(std::mt19937& Rng, int N, int Kind)
{
  std::vector<std::uint32_t> Row(static_cast<std::size_t>(N));
  for (int I = 0; I < N; ++I) {
    const std::uint32_t R = Rng();
    switch (Kind) {
      case 0: Row[I] = R; break;  // anything, straight colours included
      case 1: {                   // premultiplied, alpha cycling through every value
        const std::uint32_t A = static_cast<std::uint32_t>(I * 7 + (R & 1)) & 0xFF;
        Row[I] = A << 24 | ((R & 0xFF) * A / 255) << 16 | (((R >> 8) & 0xFF) * A / 255) << 8 | ((R >> 16) & 0xFF) * A / 255;
        break;
      }
      default: {  // runs: zero, opaque, partial, lengths 1..23
        const int Run = (I / (1 + static_cast<int>(R % 23))) % 3;
        Row[I] = Run == 0 ? 0u : Run == 1 ? (0xFF000000u | (R & 0xFFFFFF)) : ((R & 0x7F7F7F7Fu) | 0x80000000u);
        break;
      }
    }
  }
  return Row;
}

}  // namespace

TEST(AlphaRow, EveryFormMatchesTheDefinitionByteForByte)
{
  std::mt19937 Rng(20261211);
  const std::uint32_t Scas[] = {255, 0, 1, 128, 254};
  const int Widths[] = {0, 1, 2, 3, 4, 5, 7, 8, 9, 15, 16, 17, 31, 33, 63, 64, 65, 257, 1001};
  constexpr int Guard = 20;
  for (TBlendForm Form : {TBlendForm::Plain, TBlendForm::Sse2, TBlendForm::Avx2, TBlendForm::Avx512}) {
    std::vector<std::uint32_t> Probe(1, 0), ProbeSrc(1, 0);
    if (!BlendRow32As(Form, Probe.data(), ProbeSrc.data(), 1, 255, true)) {
      std::printf("[ note ] this processor has no %s form; not tested\n", Name(Form));
      continue;
    }
    for (int Kind = 0; Kind < 3; ++Kind)
      for (std::uint32_t Sca : Scas)
        for (bool PerPixel : {true, false})
          for (int N : Widths)
            for (int Offset : {0, 1, 3, 13}) {  // rows starting off any vector boundary
              const std::vector<std::uint32_t> Src = SourceRow(Rng, N, Kind);
              std::vector<std::uint32_t> Buf(static_cast<std::size_t>(N + Offset + Guard));
              for (auto& V : Buf) V = Rng();
              std::vector<std::uint32_t> SrcBuf(static_cast<std::size_t>(N + 7 + Guard), 0x12345678u);
              const int SrcOffset = (Offset * 5) % 7;
              std::copy(Src.begin(), Src.end(), SrcBuf.begin() + SrcOffset);
              const std::vector<std::uint32_t> Before = Buf;
              BlendRow32As(Form, Buf.data() + Offset, SrcBuf.data() + SrcOffset, N, Sca, PerPixel);
              for (int I = 0; I < static_cast<int>(Buf.size()); ++I) {
                const bool Inside = I >= Offset && I < Offset + N;
                const std::uint32_t Want = Inside ? Reference(Src[I - Offset], Before[I], Sca, PerPixel) : Before[I];
                ASSERT_EQ(Buf[I], Want) << Name(Form) << " kind " << Kind << " sca " << Sca << " per-pixel "
                                        << PerPixel << " width " << N << " offset " << Offset << " at " << I;
              }
            }
  }
}

// Every pair of source alpha and destination channel value, so no rounding case is missed.
TEST(AlphaRow, AllAlphaAndChannelPairs)
{
  std::vector<std::uint32_t> Src, Dst;
  for (std::uint32_t A = 0; A < 256; ++A)
    for (std::uint32_t D = 0; D < 256; ++D) {
      const std::uint32_t C = (A * 3 + D) % (A + 1);  // premultiplied colour
      Src.push_back(A << 24 | C << 16 | (A / 2) << 8 | (A - C));
      Dst.push_back(D << 24 | (255 - D) << 16 | D << 8 | (D ^ 0x55));
    }
  for (std::uint32_t Sca : {255u, 77u})
    for (TBlendForm Form : {TBlendForm::Plain, TBlendForm::Sse2, TBlendForm::Avx2, TBlendForm::Avx512}) {
      std::vector<std::uint32_t> Out = Dst;
      if (!BlendRow32As(Form, Out.data(), Src.data(), static_cast<int>(Out.size()), Sca, true)) continue;
      for (std::size_t I = 0; I < Out.size(); ++I)
        ASSERT_EQ(Out[I], Reference(Src[I], Dst[I], Sca, true)) << Name(Form) << " sca " << Sca << " at " << I;
    }
}

TEST(AlphaRow, TheChosenFormIsAvailable)
{
  std::uint32_t D = 0x11223344u, S = 0x80402010u;
  EXPECT_TRUE(BlendRow32As(ChosenBlendForm(), &D, &S, 1, 255, true));
  EXPECT_EQ(D, Reference(0x80402010u, 0x11223344u, 255, true));
}
