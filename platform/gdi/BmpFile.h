// Windows bitmap files (.bmp).
//
// Reading takes a file header followed by a BITMAPCOREHEADER, a BITMAPINFOHEADER or one of its
// longer forms (V2 to V5, and the OS/2 2.x header), with 1, 4, 8, 16, 24 or 32 bits per pixel,
// uncompressed, as bit fields (16 and 32 bits) or run-length encoded (RLE8, RLE4), stored
// bottom-up or top-down. The picture keeps the file's row order and depth, except:
//   - RLE pictures come out uncompressed (8 or 4 bits); pixels the encoding skips are index 0;
//   - 16-bit bit fields other than x555 come out as 24 bits, 32-bit bit fields other than
//     B,G,R bytes as 32 bits B,G,R,A (A from the alpha mask, else 0).
// Indexed pictures always get a palette of 2^BitCount entries; entries the file leaves out are
// black.
//
// Writing produces a BITMAPINFOHEADER file, uncompressed, bottom-up, as Windows writes it.
//
// A damaged or unsupported file raises EInvalidGraphic (SInvalidBitmap, "Bitmap image is not
// valid"); no read goes past the data and no allocation exceeds the limits in DibImage.h.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

#include "platform/gdi/DibImage.h"
#include "platform/rtl/Streams.h"

// The whole file in memory, file header first.
TDibImage LoadBmpFromBytes(const std::uint8_t* Data, std::size_t Size);
TDibImage LoadBmpFromBytes(const std::vector<std::uint8_t>& Data);
// Reads one bitmap file from the stream's position and leaves the position after its pixel
// data (the end of the stream for RLE data of unstated size).
TDibImage LoadBmpFromStream(TStream* Stream);
// EFOpenError when the file cannot be opened.
TDibImage LoadBmpFromFile(const String& FileName);

// EInvalidGraphic when the picture is empty (no bitmap file can hold it) or not consistent
// (see TDibImage::IsConsistent).
std::vector<std::uint8_t> SaveBmpToBytes(const TDibImage& Image);
void SaveBmpToStream(const TDibImage& Image, TStream* Stream);
// Replaces the file only once the whole picture is written (EFCreateError on failure).
void SaveBmpToFile(const TDibImage& Image, const String& FileName);
