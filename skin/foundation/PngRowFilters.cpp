// Rows are undone pixel by pixel where each pixel depends on the one before it. Sub and Average
// add whole pixels at once in a 32-bit word (lane by lane, without carries between bytes); Up
// adds eight bytes at a time; Paeth takes three- and four-byte pixels through 16-bit vector
// lanes where the processor has them (every x86-64 does).
#include "skin/foundation/PngRowFilters.h"

#include <cstring>

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

namespace {

using Byte = std::uint8_t;

// Byte-wise sum of two words, each byte modulo 256.
template <class T>
inline T AddBytes(T X, T Y)
{
  constexpr T Low = static_cast<T>(0x7F7F7F7F7F7F7F7FULL), High = static_cast<T>(0x8080808080808080ULL);
  return ((X & Low) + (Y & Low)) ^ ((X ^ Y) & High);
}

// Byte-wise floor((X + Y) / 2).
inline std::uint32_t HalfSumBytes(std::uint32_t X, std::uint32_t Y)
{
  return (X & Y) + (((X ^ Y) >> 1) & 0x7F7F7F7Fu);
}

template <int N>
inline std::uint32_t Load(const Byte* P)
{
  std::uint32_t V = 0;
  std::memcpy(&V, P, N);
  return V;
}

template <int N>
inline void Store(Byte* P, std::uint32_t V)
{
  std::memcpy(P, &V, N);
}

inline int Paeth(int A, int B, int C)
{
  const int PA = B > C ? B - C : C - B;  // |p - a|
  const int PB = A > C ? A - C : C - A;  // |p - b|
  const int PC = A + B > 2 * C ? A + B - 2 * C : 2 * C - A - B;
  return (PA <= PB && PA <= PC) ? A : (PB <= PC ? B : C);
}

void UnfilterUp(Byte* X, const Byte* P, std::size_t N)
{
  std::size_t I = 0;
  for (; I + 8 <= N; I += 8) {
    std::uint64_t A, B;
    std::memcpy(&A, X + I, 8);
    std::memcpy(&B, P + I, 8);
    A = AddBytes(A, B);
    std::memcpy(X + I, &A, 8);
  }
  for (; I < N; ++I) X[I] = static_cast<Byte>(X[I] + P[I]);
}

// Pixels of N = 3 or 4 bytes, whole ones first; a row always holds whole pixels.
template <int N>
void UnfilterPixels(int Type, Byte* X, const Byte* P, std::size_t RowBytes)
{
  const std::size_t Count = RowBytes / N;
  switch (Type) {
    case 1: {
      std::uint32_t Left = 0;
      for (std::size_t K = 0; K < Count; ++K, X += N) {
        Left = AddBytes(Load<N>(X), Left);
        Store<N>(X, Left);
      }
      return;
    }
    case 3: {
      std::uint32_t Left = 0;
      for (std::size_t K = 0; K < Count; ++K, X += N, P += N) {
        Left = AddBytes(Load<N>(X), HalfSumBytes(Left, Load<N>(P)));
        Store<N>(X, Left);
      }
      return;
    }
    case 4: {
#if defined(__SSE2__)
      const __m128i Zero = _mm_setzero_si128();
      __m128i A = Zero, C = Zero;  // left and upper-left, 16-bit lanes
      for (std::size_t K = 0; K < Count; ++K, X += N, P += N) {
        const __m128i B = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(Load<N>(P))), Zero);
        const __m128i Raw = _mm_unpacklo_epi8(_mm_cvtsi32_si128(static_cast<int>(Load<N>(X))), Zero);
        // pa = |b - c|, pb = |a - c|, pc = |a + b - 2c|
        const __m128i BC = _mm_sub_epi16(B, C), AC = _mm_sub_epi16(A, C);
        const __m128i PA = _mm_max_epi16(BC, _mm_sub_epi16(Zero, BC));
        const __m128i PB = _mm_max_epi16(AC, _mm_sub_epi16(Zero, AC));
        const __m128i Sum = _mm_add_epi16(AC, BC);
        const __m128i PC = _mm_max_epi16(Sum, _mm_sub_epi16(Zero, Sum));
        // a where pa <= pb and pa <= pc; else b where pb <= pc; else c.
        const __m128i UseA = _mm_andnot_si128(_mm_or_si128(_mm_cmpgt_epi16(PA, PB), _mm_cmpgt_epi16(PA, PC)),
                                              _mm_set1_epi16(-1));
        const __m128i UseB = _mm_andnot_si128(_mm_cmpgt_epi16(PB, PC), _mm_set1_epi16(-1));
        const __m128i BorC = _mm_or_si128(_mm_and_si128(UseB, B), _mm_andnot_si128(UseB, C));
        const __m128i Pred = _mm_or_si128(_mm_and_si128(UseA, A), _mm_andnot_si128(UseA, BorC));
        const __m128i Out = _mm_and_si128(_mm_add_epi16(Raw, Pred), _mm_set1_epi16(0xFF));
        Store<N>(X, static_cast<std::uint32_t>(_mm_cvtsi128_si32(_mm_packus_epi16(Out, Zero))));
        A = Out;
        C = B;
      }
#else
      for (std::size_t I = 0; I < Count * N; ++I) {
        const int A = I >= N ? X[I - N] : 0, C = I >= N ? P[I - N] : 0;
        X[I] = static_cast<Byte>(X[I] + Paeth(A, P[I], C));
      }
#endif
      return;
    }
    default: return;
  }
}

void UnfilterBytes(int Type, Byte* X, const Byte* P, std::size_t RowBytes, std::size_t D)
{
  const std::size_t First = D < RowBytes ? D : RowBytes;
  switch (Type) {
    case 1:
      for (std::size_t I = D; I < RowBytes; ++I) X[I] = static_cast<Byte>(X[I] + X[I - D]);
      return;
    case 3:
      for (std::size_t I = 0; I < First; ++I) X[I] = static_cast<Byte>(X[I] + (P[I] >> 1));
      for (std::size_t I = D; I < RowBytes; ++I) X[I] = static_cast<Byte>(X[I] + ((X[I - D] + P[I]) >> 1));
      return;
    case 4:
      for (std::size_t I = 0; I < First; ++I) X[I] = static_cast<Byte>(X[I] + P[I]);
      for (std::size_t I = D; I < RowBytes; ++I) X[I] = static_cast<Byte>(X[I] + Paeth(X[I - D], P[I], P[I - D]));
      return;
    default: return;
  }
}

}  // namespace

void PngUnfilterRow(int Type, Byte* Row, const Byte* Prior, std::size_t RowBytes, int Bpp)
{
  const std::size_t D = Bpp < 1 ? 1 : static_cast<std::size_t>(Bpp);
  if (Type == 2) {
    UnfilterUp(Row, Prior, RowBytes);
    return;
  }
  if (Type < 1 || Type > 4) return;
  if (D == 4 && RowBytes % 4 == 0) {
    UnfilterPixels<4>(Type, Row, Prior, RowBytes);
    return;
  }
  if (D == 3 && RowBytes % 3 == 0) {
    UnfilterPixels<3>(Type, Row, Prior, RowBytes);
    return;
  }
  UnfilterBytes(Type, Row, Prior, RowBytes, D);
}

void PngFilterRow(int Type, const Byte* Raw, const Byte* Prior, std::size_t RowBytes, int Bpp, Byte* Out)
{
  const std::size_t D = Bpp < 1 ? 1 : static_cast<std::size_t>(Bpp);
  const std::size_t First = D < RowBytes ? D : RowBytes;
  switch (Type) {
    case 1:
      for (std::size_t I = 0; I < First; ++I) Out[I] = Raw[I];
      for (std::size_t I = D; I < RowBytes; ++I) Out[I] = static_cast<Byte>(Raw[I] - Raw[I - D]);
      return;
    case 2:
      for (std::size_t I = 0; I < RowBytes; ++I) Out[I] = static_cast<Byte>(Raw[I] - Prior[I]);
      return;
    case 3:
      for (std::size_t I = 0; I < First; ++I) Out[I] = static_cast<Byte>(Raw[I] - (Prior[I] >> 1));
      for (std::size_t I = D; I < RowBytes; ++I) Out[I] = static_cast<Byte>(Raw[I] - ((Raw[I - D] + Prior[I]) >> 1));
      return;
    case 4:
      for (std::size_t I = 0; I < First; ++I) Out[I] = static_cast<Byte>(Raw[I] - Prior[I]);
      for (std::size_t I = D; I < RowBytes; ++I)
        Out[I] = static_cast<Byte>(Raw[I] - Paeth(Raw[I - D], Prior[I], Prior[I - D]));
      return;
    default:
      if (RowBytes > 0) std::memcpy(Out, Raw, RowBytes);
      return;
  }
}
