// JPEG files through libjpeg.
//
// Decoding gives a 24-bit B,G,R picture, top row first, whatever the file holds: colour,
// greyscale (R = G = B) or CMYK/YCCK (converted to RGB; Adobe's inverted CMYK is recognised).
// Damaged data, including a file that ends early, raises EInvalidGraphic with libjpeg's text
// ("JPEG error: Premature end of JPEG file"); pictures beyond the limits of DibImage.h are
// refused before any pixel memory is taken.
//
// Encoding takes a picture of any depth; quality runs from 0 to 100 (values outside are
// clamped; libjpeg treats 0 as 1).
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/DibImage.h"
#include "platform/rtl/Streams.h"

struct TJpegReadOptions {
  // 1, 2, 4 or 8: the picture comes out that many times smaller (each side rounded up), as
  // the class library's scale settings full size, half, quarter and eighth.
  int ScaleDenominator = 1;
  // Faster and slightly coarser decoding (integer DCT, no smooth upsampling).
  bool BestSpeed = false;
};

struct TJpegWriteOptions {
  int Quality = 90;
  bool Grayscale = false;
  bool ProgressiveEncoding = false;
};

// EInvalidGraphic for a ScaleDenominator other than 1, 2, 4 or 8.
TDibImage LoadJpegFromBytes(const std::uint8_t* Data, std::size_t Size, const TJpegReadOptions& Options = {});
TDibImage LoadJpegFromBytes(const std::vector<std::uint8_t>& Data, const TJpegReadOptions& Options = {});
// Decodes the rest of the stream from its position.
TDibImage LoadJpegFromStream(TStream* Stream, const TJpegReadOptions& Options = {});
// EFOpenError when the file cannot be opened.
TDibImage LoadJpegFromFile(const String& FileName, const TJpegReadOptions& Options = {});

// EInvalidGraphic for an empty or inconsistent picture.
std::vector<std::uint8_t> SaveJpegToBytes(const TDibImage& Image, const TJpegWriteOptions& Options = {});
void SaveJpegToStream(const TDibImage& Image, TStream* Stream, const TJpegWriteOptions& Options = {});
// Replaces the file only once the whole picture is written (EFCreateError on failure).
void SaveJpegToFile(const TDibImage& Image, const String& FileName, const TJpegWriteOptions& Options = {});
