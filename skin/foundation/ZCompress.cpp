#include "skin/foundation/ZCompress.h"

#include <string>
#include <vector>
#include <zlib.h>

namespace {

[[noreturn]] void RaiseDecompressionError(int Code, const z_stream& Stream)
{
  const char* text = Stream.msg ? Stream.msg : zError(Code);
  throw EZDecompressionError(String(text ? text : "data error"));
}

} // namespace

void ZCompressStream(TStream* Source, TStream* Dest, int Level)
{
  z_stream z{};
  if (deflateInit(&z, Level) != Z_OK)
    throw EZCompressionError(String(zError(Z_STREAM_ERROR)));
  std::vector<unsigned char> in(65536), out(65536);
  int flush = Z_NO_FLUSH;
  int code = Z_OK;
  try {
    do {
      const Int64 got = Source->Read(in.data(), static_cast<Int64>(in.size()));
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(got);
      flush = got == 0 ? Z_FINISH : Z_NO_FLUSH;
      do {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        code = deflate(&z, flush);
        if (code == Z_STREAM_ERROR)
          throw EZCompressionError(String(zError(code)));
        Dest->WriteBuffer(out.data(), static_cast<Int64>(out.size() - z.avail_out));
      } while (z.avail_out == 0);
    } while (flush != Z_FINISH);
  } catch (...) {
    deflateEnd(&z);
    throw;
  }
  deflateEnd(&z);
}

void ZDecompressStream(TStream* Source, TStream* Dest, int ReadSize, Int64 MaxSize)
{
  Int64 written = 0;
  z_stream z{};
  if (inflateInit(&z) != Z_OK)
    throw EZDecompressionError(String(zError(Z_MEM_ERROR)));
  std::vector<unsigned char> in(static_cast<std::size_t>(ReadSize > 0 ? ReadSize : 4096)), out(65536);
  int code = Z_OK;
  try {
    while (code != Z_STREAM_END) {
      const Int64 got = Source->Read(in.data(), static_cast<Int64>(in.size()));
      if (got == 0)
        throw EZDecompressionError(String("unexpected end of compressed data"));
      z.next_in = in.data();
      z.avail_in = static_cast<uInt>(got);
      // Inflate while input is left or the output buffer came back full.
      do {
        z.next_out = out.data();
        z.avail_out = static_cast<uInt>(out.size());
        code = inflate(&z, Z_NO_FLUSH);
        if (code != Z_OK && code != Z_STREAM_END && code != Z_BUF_ERROR)
          RaiseDecompressionError(code, z);
        const Int64 produced = static_cast<Int64>(out.size() - z.avail_out);
        written += produced;
        if (MaxSize > 0 && written > MaxSize)
          throw EZDecompressionError(String("inflated data larger than ") + std::to_string(MaxSize) + " bytes");
        Dest->WriteBuffer(out.data(), produced);
      } while (code != Z_STREAM_END && (z.avail_in > 0 || z.avail_out == 0));
      // Bytes read past the end of the zlib stream are given back.
      if (code == Z_STREAM_END && z.avail_in > 0)
        Source->Seek(-static_cast<Int64>(z.avail_in), soCurrent);
    }
  } catch (...) {
    inflateEnd(&z);
    throw;
  }
  inflateEnd(&z);
}
