// The blend row in its plain form and in SSE2, AVX2 and AVX-512 forms. All forms work on
// channels widened to 16-bit lanes with the same rounding as the plain one, so the bytes match.
#include "platform/gdi/AlphaRow.h"

#include <initializer_list>

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#define QV_BLEND_X86 1
#endif

namespace GdiInternal {
namespace {

// Two 8-bit channels in 16-bit lanes, each divided by 255 rounded to nearest (inputs up to 255*255).
inline std::uint32_t Div255Pair(std::uint32_t X)
{
  X += 0x00800080u;
  return ((X + ((X >> 8) & 0x00FF00FFu)) >> 8) & 0x00FF00FFu;
}

// Two lane sums of up to 9 bits clamped to 255 each.
inline std::uint32_t SaturatePair(std::uint32_t Sum)
{
  const std::uint32_t Over = Sum & 0x01000100u;
  return (Sum | (Over - (Over >> 8))) & 0x00FF00FFu;
}

inline std::uint32_t BlendPixel(std::uint32_t Sv, std::uint32_t Dv, std::uint32_t Sca)
{
  std::uint32_t SRb = Sv & 0x00FF00FFu, SAg = (Sv >> 8) & 0x00FF00FFu;
  if (Sca != 255) {
    SRb = Div255Pair(SRb * Sca);
    SAg = Div255Pair(SAg * Sca);
  }
  const std::uint32_t Inv = 255 - (SAg >> 16);
  const std::uint32_t DRb = Div255Pair((Dv & 0x00FF00FFu) * Inv);
  const std::uint32_t DAg = Div255Pair(((Dv >> 8) & 0x00FF00FFu) * Inv);
  return SaturatePair(SRb + DRb) | (SaturatePair(SAg + DAg) << 8);
}

void BlendPlain(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca, std::uint32_t Force)
{
  for (int I = 0; I < N; ++I) {
    const std::uint32_t Sv = Src[I] | Force;
    if (Sv == 0) continue;  // adds nothing and keeps everything
    if (Sca == 255 && Sv >= 0xFF000000u)
      Dst[I] = Sv;  // covers everything
    else
      Dst[I] = BlendPixel(Sv, Dst[I], Sca);
  }
}

#if defined(QV_BLEND_X86)

__attribute__((target("sse2"))) inline __m128i Div255Sse2(__m128i X)
{
  X = _mm_add_epi16(X, _mm_set1_epi16(128));
  return _mm_srli_epi16(_mm_add_epi16(X, _mm_srli_epi16(X, 8)), 8);
}

template <bool Scaled>
__attribute__((target("sse2"))) inline __m128i LanesSse2(__m128i S, __m128i D, __m128i ScaV)
{
  if constexpr (Scaled) S = Div255Sse2(_mm_mullo_epi16(S, ScaV));
  const __m128i A = _mm_shufflehi_epi16(_mm_shufflelo_epi16(S, _MM_SHUFFLE(3, 3, 3, 3)), _MM_SHUFFLE(3, 3, 3, 3));
  return _mm_add_epi16(S, Div255Sse2(_mm_mullo_epi16(D, _mm_sub_epi16(_mm_set1_epi16(255), A))));
}

template <bool Scaled>
__attribute__((target("sse2"))) int BlendSse2(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca,
                                              std::uint32_t Force)
{
  const __m128i Zero = _mm_setzero_si128();
  const __m128i ForceV = _mm_set1_epi32(static_cast<int>(Force));
  const __m128i AlphaV = _mm_set1_epi32(static_cast<int>(0xFF000000u));
  const __m128i ScaV = _mm_set1_epi16(static_cast<short>(Sca));
  int I = 0;
  for (; I + 4 <= N; I += 4) {
    const __m128i S = _mm_or_si128(_mm_loadu_si128(reinterpret_cast<const __m128i*>(Src + I)), ForceV);
    if (_mm_movemask_epi8(_mm_cmpeq_epi32(S, Zero)) == 0xFFFF) continue;
    auto* Out = reinterpret_cast<__m128i*>(Dst + I);
    if (!Scaled && _mm_movemask_epi8(_mm_cmpeq_epi32(_mm_and_si128(S, AlphaV), AlphaV)) == 0xFFFF) {
      _mm_storeu_si128(Out, S);
      continue;
    }
    const __m128i D = _mm_loadu_si128(Out);
    const __m128i Lo = LanesSse2<Scaled>(_mm_unpacklo_epi8(S, Zero), _mm_unpacklo_epi8(D, Zero), ScaV);
    const __m128i Hi = LanesSse2<Scaled>(_mm_unpackhi_epi8(S, Zero), _mm_unpackhi_epi8(D, Zero), ScaV);
    _mm_storeu_si128(Out, _mm_packus_epi16(Lo, Hi));
  }
  return I;
}

__attribute__((target("avx2"))) inline __m256i Div255Avx2(__m256i X)
{
  X = _mm256_add_epi16(X, _mm256_set1_epi16(128));
  return _mm256_srli_epi16(_mm256_add_epi16(X, _mm256_srli_epi16(X, 8)), 8);
}

template <bool Scaled>
__attribute__((target("avx2"))) inline __m256i LanesAvx2(__m256i S, __m256i D, __m256i ScaV, __m256i AlphaPick)
{
  if constexpr (Scaled) S = Div255Avx2(_mm256_mullo_epi16(S, ScaV));
  const __m256i A = _mm256_shuffle_epi8(S, AlphaPick);
  return _mm256_add_epi16(S, Div255Avx2(_mm256_mullo_epi16(D, _mm256_sub_epi16(_mm256_set1_epi16(255), A))));
}

// Picks the alpha lane (bytes 6 and 7 of each widened pixel; byte 7 is always zero) into all four.
#define QV_ALPHA_PICK 6, -128, 6, -128, 6, -128, 6, -128, 14, -128, 14, -128, 14, -128, 14, -128

template <bool Scaled>
__attribute__((target("avx2"))) int BlendAvx2(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca,
                                              std::uint32_t Force)
{
  const __m256i Zero = _mm256_setzero_si256();
  const __m256i ForceV = _mm256_set1_epi32(static_cast<int>(Force));
  const __m256i AlphaV = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
  const __m256i ScaV = _mm256_set1_epi16(static_cast<short>(Sca));
  const __m256i Pick = _mm256_setr_epi8(QV_ALPHA_PICK, QV_ALPHA_PICK);
  int I = 0;
  for (; I + 8 <= N; I += 8) {
    const __m256i S = _mm256_or_si256(_mm256_loadu_si256(reinterpret_cast<const __m256i*>(Src + I)), ForceV);
    if (_mm256_testz_si256(S, S)) continue;
    auto* Out = reinterpret_cast<__m256i*>(Dst + I);
    if (!Scaled && _mm256_movemask_epi8(_mm256_cmpeq_epi32(_mm256_and_si256(S, AlphaV), AlphaV)) == -1) {
      _mm256_storeu_si256(Out, S);
      continue;
    }
    const __m256i D = _mm256_loadu_si256(Out);
    // unpack and pack work per 128-bit half, so the pixel order survives the round trip.
    const __m256i Lo = LanesAvx2<Scaled>(_mm256_unpacklo_epi8(S, Zero), _mm256_unpacklo_epi8(D, Zero), ScaV, Pick);
    const __m256i Hi = LanesAvx2<Scaled>(_mm256_unpackhi_epi8(S, Zero), _mm256_unpackhi_epi8(D, Zero), ScaV, Pick);
    _mm256_storeu_si256(Out, _mm256_packus_epi16(Lo, Hi));
  }
  return I;
}

__attribute__((target("avx512f,avx512bw"))) inline __m512i Div255Avx512(__m512i X)
{
  X = _mm512_add_epi16(X, _mm512_set1_epi16(128));
  return _mm512_srli_epi16(_mm512_add_epi16(X, _mm512_srli_epi16(X, 8)), 8);
}

template <bool Scaled>
__attribute__((target("avx512f,avx512bw"))) inline __m512i LanesAvx512(__m512i S, __m512i D, __m512i ScaV,
                                                                         __m512i AlphaPick)
{
  if constexpr (Scaled) S = Div255Avx512(_mm512_mullo_epi16(S, ScaV));
  const __m512i A = _mm512_shuffle_epi8(S, AlphaPick);
  return _mm512_add_epi16(S, Div255Avx512(_mm512_mullo_epi16(D, _mm512_sub_epi16(_mm512_set1_epi16(255), A))));
}

// Sixteen pixels at a time; the last few through masked loads and stores, so it does the whole row.
template <bool Scaled>
__attribute__((target("avx512f,avx512bw"))) int BlendAvx512(std::uint32_t* Dst, const std::uint32_t* Src, int N,
                                                             std::uint32_t Sca, std::uint32_t Force)
{
  const __m512i Zero = _mm512_setzero_si512();
  const __m512i ForceV = _mm512_set1_epi32(static_cast<int>(Force));
  const __m512i AlphaV = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
  const __m512i ScaV = _mm512_set1_epi16(static_cast<short>(Sca));
  // The same byte pattern as the AVX2 form, in each 128-bit lane (as little-endian words).
  const __m512i Pick = _mm512_set4_epi32(static_cast<int>(0x800E800Eu), static_cast<int>(0x800E800Eu),
                                         static_cast<int>(0x80068006u), static_cast<int>(0x80068006u));
  for (int I = 0; I < N; I += 16) {
    const __mmask16 Take = N - I >= 16 ? __mmask16(0xFFFF) : static_cast<__mmask16>((1u << (N - I)) - 1);
    // Lanes outside the row read as zero: they count as transparent and are never stored.
    const __m512i S = _mm512_maskz_or_epi32(Take, _mm512_maskz_loadu_epi32(Take, Src + I), ForceV);
    if (_mm512_test_epi32_mask(S, S) == 0) continue;
    if (!Scaled && _mm512_mask_cmpeq_epi32_mask(Take, _mm512_and_si512(S, AlphaV), AlphaV) == Take) {
      _mm512_mask_storeu_epi32(Dst + I, Take, S);
      continue;
    }
    const __m512i D = _mm512_maskz_loadu_epi32(Take, Dst + I);
    const __m512i Lo = LanesAvx512<Scaled>(_mm512_unpacklo_epi8(S, Zero), _mm512_unpacklo_epi8(D, Zero), ScaV, Pick);
    const __m512i Hi = LanesAvx512<Scaled>(_mm512_unpackhi_epi8(S, Zero), _mm512_unpackhi_epi8(D, Zero), ScaV, Pick);
    _mm512_mask_storeu_epi32(Dst + I, Take, _mm512_packus_epi16(Lo, Hi));
  }
  return N;
}

#undef QV_ALPHA_PICK

bool Has(TBlendForm Form)
{
  switch (Form) {
    case TBlendForm::Plain: return true;
    case TBlendForm::Sse2: return __builtin_cpu_supports("sse2");
    case TBlendForm::Avx2: return __builtin_cpu_supports("avx2");
    case TBlendForm::Avx512: return __builtin_cpu_supports("avx512f") && __builtin_cpu_supports("avx512bw");
  }
  return false;
}

#else

bool Has(TBlendForm Form) { return Form == TBlendForm::Plain; }

#endif

void Run(TBlendForm Form, std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca, bool PerPixel)
{
  if (N <= 0) return;
  const std::uint32_t Force = PerPixel ? 0u : 0xFF000000u;
  int Done = 0;
#if defined(QV_BLEND_X86)
  const bool Scaled = Sca != 255;
  switch (Form) {
    case TBlendForm::Avx512:
      Done = Scaled ? BlendAvx512<true>(Dst, Src, N, Sca, Force) : BlendAvx512<false>(Dst, Src, N, Sca, Force);
      break;
    case TBlendForm::Avx2:
      Done = Scaled ? BlendAvx2<true>(Dst, Src, N, Sca, Force) : BlendAvx2<false>(Dst, Src, N, Sca, Force);
      // The tail of fewer than eight goes four at a time first.
      Done += Scaled ? BlendSse2<true>(Dst + Done, Src + Done, N - Done, Sca, Force)
                     : BlendSse2<false>(Dst + Done, Src + Done, N - Done, Sca, Force);
      break;
    case TBlendForm::Sse2:
      Done = Scaled ? BlendSse2<true>(Dst, Src, N, Sca, Force) : BlendSse2<false>(Dst, Src, N, Sca, Force);
      break;
    case TBlendForm::Plain: break;
  }
#else
  (void)Form;
#endif
  BlendPlain(Dst + Done, Src + Done, N - Done, Sca, Force);
}

TBlendForm Widest()
{
  for (TBlendForm F : {TBlendForm::Avx512, TBlendForm::Avx2, TBlendForm::Sse2})
    if (Has(F)) return F;
  return TBlendForm::Plain;
}

}  // namespace

TBlendForm ChosenBlendForm()
{
  static const TBlendForm Form = Widest();
  return Form;
}

void BlendRow32(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca, bool PerPixel)
{
  Run(ChosenBlendForm(), Dst, Src, N, Sca, PerPixel);
}

bool BlendRow32As(TBlendForm Form, std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca,
                  bool PerPixel)
{
  if (!Has(Form)) return false;
  Run(Form, Dst, Src, N, Sca, PerPixel);
  return true;
}

}  // namespace GdiInternal
