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

// The vector forms keep each pixel in its 32-bit lane: red and blue in the two 16-bit halves of
// one word, alpha and green in those of another, multiplied lane by lane; x / 255 rounded is
// ((x + 128) * 257) >> 16 for every x up to 255 * 255 + 128, and the final min(255, s + d)
// is a saturating byte add. Blocks that are all zero are left alone; blocks that are all
// opaque under a constant alpha of 255 are stored as they are.
#define QV_BLEND_BODY(P, V, W, S, D, Sca, Scaled)                                                            \
  const V Mask = P##_set1_epi32(0x00FF00FF);                                                              \
  const V Half = P##_set1_epi16(128);                                                                     \
  const V Mul = P##_set1_epi16(257);                                                                      \
  V Sv = S;                                                                                              \
  if constexpr (Scaled) {                                                                                 \
    const V ScaV = P##_set1_epi16(static_cast<short>(Sca));                                               \
    const V Rb = P##_mulhi_epu16(P##_add_epi16(P##_mullo_epi16(P##_and_si##W(Sv, Mask), ScaV), Half), Mul); \
    const V Ag = P##_mulhi_epu16(P##_add_epi16(P##_mullo_epi16(P##_srli_epi16(Sv, 8), ScaV), Half), Mul);          \
    Sv = P##_or_si##W(Rb, P##_slli_epi16(Ag, 8));                                                  \
  }                                                                                                       \
  const V Alpha = AlphaOf(Sv);                                                                      \
  const V Inv = P##_sub_epi16(Mask, P##_or_si##W(Alpha, HighHalf(Alpha)));                \
  const V Drb = P##_mulhi_epu16(P##_add_epi16(P##_mullo_epi16(P##_and_si##W(D, Mask), Inv), Half), Mul); \
  const V Dag = P##_mulhi_epu16(P##_add_epi16(P##_mullo_epi16(P##_srli_epi16(D, 8), Inv), Half), Mul);           \
  const V Result = P##_adds_epu8(Sv, P##_or_si##W(Drb, P##_slli_epi16(Dag, 8)));

// Each pixel's alpha as a 32-bit number, and a word's low half moved to its high half.
__attribute__((target("sse2"))) inline __m128i AlphaOf(__m128i X) { return _mm_srli_epi32(X, 24); }
__attribute__((target("sse2"))) inline __m128i HighHalf(__m128i X) { return _mm_slli_epi32(X, 16); }
__attribute__((target("avx2"))) inline __m256i AlphaOf(__m256i X) { return _mm256_srli_epi32(X, 24); }
__attribute__((target("avx2"))) inline __m256i HighHalf(__m256i X) { return _mm256_slli_epi32(X, 16); }
__attribute__((target("avx512f"))) inline __m512i AlphaOf(__m512i X) { return _mm512_maskz_srli_epi32(0xFFFF, X, 24); }
__attribute__((target("avx512f"))) inline __m512i HighHalf(__m512i X) { return _mm512_maskz_slli_epi32(0xFFFF, X, 16); }

template <bool Scaled>
__attribute__((target("sse2"))) int BlendSse2(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca,
                                              std::uint32_t Force)
{
  const __m128i Zero = _mm_setzero_si128();
  const __m128i ForceV = _mm_set1_epi32(static_cast<int>(Force));
  const __m128i AlphaV = _mm_set1_epi32(static_cast<int>(0xFF000000u));
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
    QV_BLEND_BODY(_mm, __m128i, 128, S, D, Sca, Scaled)
    _mm_storeu_si128(Out, Result);
  }
  return I;
}

template <bool Scaled>
__attribute__((target("avx2"))) int BlendAvx2(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca,
                                              std::uint32_t Force)
{
  const __m256i ForceV = _mm256_set1_epi32(static_cast<int>(Force));
  const __m256i AlphaV = _mm256_set1_epi32(static_cast<int>(0xFF000000u));
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
    QV_BLEND_BODY(_mm256, __m256i, 256, S, D, Sca, Scaled)
    _mm256_storeu_si256(Out, Result);
  }
  return I;
}

// Sixteen pixels at a time; the last few through masked loads and stores, so it does the whole row.
template <bool Scaled>
__attribute__((target("avx512f,avx512bw"))) inline void Blend16(std::uint32_t* Dst, const std::uint32_t* Src,
                                                                __mmask16 Take, std::uint32_t Sca, __m512i ForceV)
{
  const __m512i AlphaV = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
  // Lanes outside the row read as zero: they count as transparent and are never stored.
  const __m512i S = _mm512_or_si512(_mm512_maskz_loadu_epi32(Take, Src), _mm512_maskz_mov_epi32(Take, ForceV));
  if (_mm512_test_epi32_mask(S, S) == 0) return;
  if (!Scaled && _mm512_mask_cmpeq_epi32_mask(Take, _mm512_and_si512(S, AlphaV), AlphaV) == Take) {
    _mm512_mask_storeu_epi32(Dst, Take, S);
    return;
  }
  const __m512i D = _mm512_maskz_loadu_epi32(Take, Dst);
  QV_BLEND_BODY(_mm512, __m512i, 512, S, D, Sca, Scaled)
  _mm512_mask_storeu_epi32(Dst, Take, Result);
}

template <bool Scaled>
__attribute__((target("avx512f,avx512bw"))) int BlendAvx512(std::uint32_t* Dst, const std::uint32_t* Src, int N,
                                                             std::uint32_t Sca, std::uint32_t Force)
{
  const __m512i ForceV = _mm512_set1_epi32(static_cast<int>(Force));
  const __m512i AlphaV = _mm512_set1_epi32(static_cast<int>(0xFF000000u));
  int I = 0;
  for (; I + 16 <= N; I += 16) {
    const __m512i S = _mm512_or_si512(_mm512_loadu_si512(Src + I), ForceV);
    if (_mm512_test_epi32_mask(S, S) == 0) continue;
    if (!Scaled && _mm512_cmpeq_epi32_mask(_mm512_and_si512(S, AlphaV), AlphaV) == 0xFFFF) {
      _mm512_storeu_si512(Dst + I, S);
      continue;
    }
    const __m512i D = _mm512_loadu_si512(Dst + I);
    QV_BLEND_BODY(_mm512, __m512i, 512, S, D, Sca, Scaled)
    _mm512_storeu_si512(Dst + I, Result);
  }
  if (I < N) Blend16<Scaled>(Dst + I, Src + I, static_cast<__mmask16>((1u << (N - I)) - 1), Sca, ForceV);
  return N;
}

#undef QV_BLEND_BODY

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
