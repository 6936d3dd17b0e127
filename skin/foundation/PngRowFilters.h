// The five row filters of the PNG format (None, Sub, Up, Average, Paeth): undoing them on decode
// and applying them on encode, a row at a time.
//
// The contract callers rely on: a row is RowBytes bytes; Prior is the previous unfiltered row of
// the same pass (all zero for the first); Bpp is the filter distance in bytes (at least 1).
// Results are exactly the format's byte arithmetic, modulo 256; an unknown filter type leaves
// the row as it is. Rows of any length and alignment are fine.
#pragma once

#include <cstddef>
#include <cstdint>

// Undoes filter Type on Row in place.
void PngUnfilterRow(int Type, std::uint8_t* Row, const std::uint8_t* Prior, std::size_t RowBytes, int Bpp);

// Filters Raw with filter Type (1 to 4) into Out.
void PngFilterRow(int Type, const std::uint8_t* Raw, const std::uint8_t* Prior, std::size_t RowBytes, int Bpp,
                  std::uint8_t* Out);
