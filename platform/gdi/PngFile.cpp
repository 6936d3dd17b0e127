// Uses libpng's simplified interface, which catches libpng's own errors and reports them
// through the png_image record, so no error ever unwinds through our frames.
#include "platform/gdi/PngFile.h"

#include <algorithm>

#include <png.h>

#include "platform/rtl/Files.h"

namespace {

[[noreturn]] void Fail(const String& Text) { throw EInvalidGraphic("PNG error: " + Text); }

}  // namespace

std::vector<std::uint8_t> SavePngToBytes(const TDibImage& Image, bool WithAlpha)
{
  if (Image.IsEmpty() || !Image.IsConsistent())
    Fail("Empty or damaged picture");
  const bool Alpha = Image.BitCount == 32 && WithAlpha;
  // libpng takes 8-bit B,G,R or B,G,R,A rows; anything else goes through 24 bits.
  TDibImage Converted;
  const TDibImage* Source = &Image;
  if (Image.BitCount != 24 && !Alpha) {
    Converted = Image.Converted(24);
    Source = &Converted;
  }
  png_image Png{};
  Png.version = PNG_IMAGE_VERSION;
  Png.width = static_cast<png_uint_32>(Source->Width);
  Png.height = static_cast<png_uint_32>(Source->Height);
  Png.format = Alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
  // The stride counts bytes for 8-bit samples; negative means the bottom row comes first.
  const png_int_32 Stride = Source->TopDown ? Source->Stride() : -Source->Stride();
  // A generous first guess saves a second compression in nearly every case.
  png_alloc_size_t Size = Source->Bits.size() + Source->Bits.size() / 8 + 4096;
  std::vector<std::uint8_t> Out(Size);
  if (!png_image_write_to_memory(&Png, Out.data(), &Size, 0, Source->Bits.data(), Stride, nullptr)) {
    if (Size <= Out.size())
      Fail(Png.message);
    Out.resize(Size);
    Png = png_image{};
    Png.version = PNG_IMAGE_VERSION;
    Png.width = static_cast<png_uint_32>(Source->Width);
    Png.height = static_cast<png_uint_32>(Source->Height);
    Png.format = Alpha ? PNG_FORMAT_BGRA : PNG_FORMAT_BGR;
    if (!png_image_write_to_memory(&Png, Out.data(), &Size, 0, Source->Bits.data(), Stride, nullptr))
      Fail(Png.message);
  }
  Out.resize(Size);
  return Out;
}

void SavePngToStream(const TDibImage& Image, TStream* Stream, bool WithAlpha)
{
  const std::vector<std::uint8_t> Bytes = SavePngToBytes(Image, WithAlpha);
  Stream->WriteBuffer(Bytes.data(), static_cast<Int64>(Bytes.size()));
}

void SavePngToFile(const TDibImage& Image, const String& FileName, bool WithAlpha)
{
  const std::vector<std::uint8_t> Bytes = SavePngToBytes(Image, WithAlpha);
  AtomicSaveToFile(FileName, Bytes.data(), Bytes.size());
}

TDibImage LoadPngFromBytes(const std::uint8_t* Data, std::size_t Size)
{
  if (Data == nullptr || Size == 0)
    Fail("Empty input");
  png_image Png{};
  Png.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_memory(&Png, Data, Size))
    Fail(Png.message);
  const std::int64_t Width = Png.width, Height = Png.height;
  if (Width > MaxDibDimension || Height > MaxDibDimension || Width * Height * 4 > MaxDibBytes) {
    png_image_free(&Png);
    Fail("Image is too large");
  }
  Png.format = PNG_FORMAT_BGRA;
  TDibImage Image;
  try {
    Image.SetSize(static_cast<int>(Width), static_cast<int>(Height), 32, true);
  } catch (...) {
    png_image_free(&Png);
    throw;
  }
  if (!png_image_finish_read(&Png, nullptr, Image.Bits.data(), Image.Stride(), nullptr))
    Fail(Png.message);
  return Image;
}

TDibImage LoadPngFromBytes(const std::vector<std::uint8_t>& Data)
{
  return LoadPngFromBytes(Data.data(), Data.size());
}

TDibImage LoadPngFromStream(TStream* Stream)
{
  const std::vector<std::uint8_t> Data = ReadRestOfStream(Stream);
  return LoadPngFromBytes(Data.data(), Data.size());
}

TDibImage LoadPngFromFile(const String& FileName)
{
  TFileStream Stream(FileName, fmOpenRead | fmShareDenyWrite);
  return LoadPngFromStream(&Stream);
}
