// One row of source-over blending between 32-bpp pixels without stretching, the inner loop of
// AlphaBlend, in the widest form the processor offers (chosen once, at run time).
//
// The contract callers rely on: for every channel c (alpha too), s = Src.c * Sca / 255 (the
// source alpha counting as 255 when PerPixel is false), a = s.alpha and
// Dst.c = min(255, s + Dst.c * (255 - a) / 255), divisions rounded to nearest. Every form gives
// exactly the same bytes as the plain one; any alignment and any width (0 included) is fine.
// Pixels whose result is known without arithmetic are not computed: a source pixel that is all
// zero leaves the destination as it is, an opaque one under Sca 255 is copied.
#pragma once

#include <cstdint>

namespace GdiInternal {

// The forms of the loop, plainest first.
enum class TBlendForm { Plain, Sse2, Avx2, Avx512 };

void BlendRow32(std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca, bool PerPixel);

// The same row in one given form; false (nothing done) when this processor lacks it.
bool BlendRow32As(TBlendForm Form, std::uint32_t* Dst, const std::uint32_t* Src, int N, std::uint32_t Sca,
                  bool PerPixel);

// The widest form in use.
TBlendForm ChosenBlendForm();

}  // namespace GdiInternal
