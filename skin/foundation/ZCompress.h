// zlib streams (RFC 1950: header, deflate data, Adler-32) between class-library streams.
#pragma once

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/Streams.h"

QV_DECLARE_EXCEPTION(EZLibError, Exception);
QV_DECLARE_EXCEPTION(EZCompressionError, EZLibError);
QV_DECLARE_EXCEPTION(EZDecompressionError, EZLibError);

// Compresses Source from its position to its end into Dest (appended) at Level (0..9).
void ZCompressStream(TStream* Source, TStream* Dest, int Level);
// Inflates the zlib stream at Source's position into Dest (appended), reading ReadSize bytes at
// a time. Damaged or truncated data raises EZDecompressionError with zlib's text; what was
// inflated before the damage stays in Dest. When MaxSize is above 0, a stream that inflates to
// more than MaxSize bytes raises EZDecompressionError as soon as it passes that size.
void ZDecompressStream(TStream* Source, TStream* Dest, int ReadSize = 4096, Int64 MaxSize = 0);
