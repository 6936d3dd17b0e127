// PNG files through libpng, for screenshots and test diagnostics.
//
// Writing takes a 32-bit picture as B,G,R,A (or B,G,R with the fourth byte dropped when
// WithAlpha is false), a 24-bit picture as B,G,R, and other depths converted to 24 bits.
// Reading gives a 32-bit B,G,R,A picture, top row first, from any PNG (palette, grey, 16-bit
// samples and transparency are converted by libpng). Damaged data raises EInvalidGraphic with
// libpng's text ("PNG error: ..."); pictures beyond the limits of DibImage.h are refused before
// any pixel memory is taken.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/DibImage.h"
#include "platform/rtl/Streams.h"

// EInvalidGraphic for an empty or inconsistent picture.
std::vector<std::uint8_t> SavePngToBytes(const TDibImage& Image, bool WithAlpha = true);
void SavePngToStream(const TDibImage& Image, TStream* Stream, bool WithAlpha = true);
// Replaces the file only once the whole picture is written (EFCreateError on failure).
void SavePngToFile(const TDibImage& Image, const String& FileName, bool WithAlpha = true);

TDibImage LoadPngFromBytes(const std::uint8_t* Data, std::size_t Size);
TDibImage LoadPngFromBytes(const std::vector<std::uint8_t>& Data);
// Decodes the rest of the stream from its position.
TDibImage LoadPngFromStream(TStream* Stream);
// EFOpenError when the file cannot be opened.
TDibImage LoadPngFromFile(const String& FileName);
