// The pixel codec against libpng: every colour type and depth, plain and interlaced, split
// image data and foreign chunks decode to libpng's pixels, and what the encoder writes decodes
// in libpng to the same pixels again.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <memory>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"
#include "tests/skin/foundation/PngTestSupport.h"
#include "tests/support/TempDirTest.h"

using namespace pngtest;

namespace {

// Alpha of one pixel as the image means it.
unsigned AlphaOf(TskPngImage& Image, int X, int Y)
{
  if (const Byte* A = Image.AlphaRow(Y)) return A[X];
  TskPngLayerIHDR* H = Image.Header();
  auto* Trns = Image.Chunks()->Find<TskPngLayertRNS>();
  if (!Trns) return 255;
  if (H->ColorType == COLOR_PALETTE) {
    const int Bits = H->DibInfo.bmiHeader.biBitCount;
    const std::size_t Bit = static_cast<std::size_t>(X) * Bits;
    const unsigned Index = (Image.ImageRow(Y)[Bit >> 3] >> (8 - Bits - (Bit & 7))) & ((1u << Bits) - 1);
    return Trns->AlphaTable[Index];
  }
  return Image.GetPixel(X, Y) == Image.KeyColor() ? 0 : 255;
}

// Compares the image's pixels with libpng's decoding; answers a description of the first
// difference, or "" when they agree.
std::string Difference(TskPngImage& Image, const TReference& Ref)
{
  if (Image.GetWidth() != Ref.Width || Image.GetHeight() != Ref.Height)
    return "size " + std::to_string(Image.GetWidth()) + "x" + std::to_string(Image.GetHeight());
  for (int Y = 0; Y < Ref.Height; ++Y)
    for (int X = 0; X < Ref.Width; ++X) {
      const TColor C = Image.GetPixel(X, Y);
      const unsigned char* R = Ref.At(X, Y);
      const unsigned Got[4] = {GetRValue(C), GetGValue(C), GetBValue(C), AlphaOf(Image, X, Y)};
      for (int K = 0; K < 4; ++K)
        if (Got[K] != R[K])
          return "pixel " + std::to_string(X) + "," + std::to_string(Y) + " channel " + std::to_string(K) + ": " +
                 std::to_string(Got[K]) + " vs libpng " + std::to_string(R[K]);
    }
  return "";
}

struct TFormat {
  int ColorType;
  int Depth;
};

const TFormat AllFormats[] = {{0, 1}, {0, 2}, {0, 4}, {0, 8}, {0, 16}, {2, 8}, {2, 16}, {3, 1},
                              {3, 2}, {3, 4}, {3, 8}, {4, 8}, {4, 16}, {6, 8}, {6, 16}};

struct TCorpusFile {
  std::string Name;
  Bytes File;
};

// Every format at several sizes (including ones narrower than the interlace pass offsets),
// plain and interlaced, with the image data split into small chunks, foreign chunks around it,
// palettes with translucent entries and key colours.
std::vector<TCorpusFile> GeneratedCorpus()
{
  std::vector<TCorpusFile> Corpus;
  const int Sizes[][2] = {{13, 7}, {1, 1}, {3, 2}, {33, 17}};
  std::uint32_t Seed = 1;
  for (const TFormat& F : AllFormats)
    for (const auto& S : Sizes)
      for (int Interlaced = 0; Interlaced < 2; ++Interlaced) {
        ++Seed;
        TWriteOptions O;
        O.Interlaced = Interlaced != 0;
        O.IdatSize = Seed % 3 == 0 ? 0 : 7 + Seed % 11;
        O.BeforeData.push_back(Chunk("zzZz", RandomBytes(Seed % 9, Seed)));
        O.AfterData.push_back(Chunk("teSt", "after the data"));
        unsigned MaxIndex = 0;
        if (F.ColorType == 3) {
          const int Entries = std::min(1 << F.Depth, 5 + static_cast<int>(Seed % 200));
          MaxIndex = static_cast<unsigned>(Entries - 1);
          O.Palette = RandomBytes(static_cast<std::size_t>(Entries) * 3, Seed + 7);
          if (Seed % 2) O.Transparency = RandomBytes(static_cast<std::size_t>(std::min(Entries, 3)), Seed + 9);
        }
        TPicture P = RandomPicture(S[0], S[1], F.ColorType, F.Depth, Seed, MaxIndex);
        if ((F.ColorType == 0 || F.ColorType == 2) && F.Depth <= 8 && Seed % 2) {
          // The first pixel's value as the key colour.
          Bytes Key;
          for (int K = 0; K < Channels(F.ColorType); ++K) {
            PutBE32(Key, P.Samples[0][static_cast<std::size_t>(K)]);
            Key.erase(Key.size() - 4, 2);
          }
          O.Transparency = Key;
        }
        Corpus.push_back({"type " + std::to_string(F.ColorType) + " depth " + std::to_string(F.Depth) + " " +
                              std::to_string(S[0]) + "x" + std::to_string(S[1]) + (Interlaced ? " Adam7" : ""),
                          WritePng(P, O)});
      }
  return Corpus;
}

// Files written by ImageMagick, when it is there.
std::vector<TCorpusFile> ImageMagickCorpus(const std::string& Dir)
{
  const char* Commands[][2] = {
      {"rgb8-adam7", "rose: -interlace PNG PNG24:"},
      {"rgb16", "rose: -depth 16 PNG48:"},
      {"rgba8", "rose: -alpha set -channel A -fx \"(i+j)/(w+h)\" +channel PNG32:"},
      {"rgba16-adam7", "rose: -alpha set -channel A -fx \"i/w\" +channel -depth 16 -interlace PNG PNG64:"},
      {"grey16", "rose: -colorspace gray -depth 16 -define png:color-type=0 PNG:"},
      {"grey-alpha", "rose: -colorspace gray -alpha set -channel A -fx \"j/h\" +channel -define png:color-type=4 PNG:"},
      {"palette", "rose: -colors 7 PNG8:"},
      {"mono", "rose: -monochrome -define png:bit-depth=1 PNG:"},
      {"grey4-adam7", "rose: -colorspace gray -depth 4 -define png:bit-depth=4 -define png:color-type=0 -interlace PNG PNG:"},
  };
  std::vector<TCorpusFile> Corpus;
  if (std::system("convert -version > /dev/null 2>&1") != 0) return Corpus;
  for (const auto& C : Commands) {
    const std::string File = Dir + C[0] + ".png";
    const std::string Line = std::string("convert ") + C[1] + File + " 2> /dev/null";
    if (std::system(Line.c_str()) != 0) continue;
    std::ifstream In(File, std::ios::binary);
    Corpus.push_back({C[0], Bytes(std::istreambuf_iterator<char>(In), std::istreambuf_iterator<char>())});
  }
  return Corpus;
}

class PngCodecTest : public TTempDirTest {};

}  // namespace

TEST_F(PngCodecTest, DecodesAndEncodesLikeLibpng)
{
  std::vector<TCorpusFile> Corpus = GeneratedCorpus();
  const std::vector<TCorpusFile> Magick = ImageMagickCorpus(Dir);
  Corpus.insert(Corpus.end(), Magick.begin(), Magick.end());
  ASSERT_GT(Magick.size(), 5u) << "ImageMagick files missing";

  const TskPngFilters FilterSets[] = {PngFilterBit(skpfSub), 0x1F, PngFilterBit(skpfPaeth),
                                      PngFilterBit(skpfUp) | PngFilterBit(skpfAverage)};
  int Index = 0;
  for (const TCorpusFile& C : Corpus) {
    SCOPED_TRACE(C.Name);
    const TReference Ref = DecodeWithLibpng(C.File);
    TskPngImage Image;
    LoadImage(Image, C.File);
    ASSERT_FALSE(Image.Empty());
    EXPECT_EQ(Difference(Image, Ref), "");
    // The list ends with the end chunk: the load went through.
    EXPECT_EQ(Image.Chunks()->GetChunk(Image.Chunks()->Count() - 1)->Name(), "IEND");

    // Our file, with other filters and the other interlacing, decodes in libpng alike.
    Image.AllowedFilters = FilterSets[Index++ % 4];
    Image.Interlacing = Image.Interlacing ? 0 : 1;
    const Bytes Saved = SaveImage(Image);
    EXPECT_EQ(Difference(Image, DecodeWithLibpng(Saved)), "") << "our encoding";
    TskPngImage Again;
    LoadImage(Again, Saved);
    EXPECT_EQ(Difference(Again, Ref), "") << "our encoding, read back";
  }
}

TEST_F(PngCodecTest, TwoBitGreyShowsFourLevelsAndIsStoredAtFourBits)
{
  TPicture P{4, 1, 0, 2, {{0, 1, 2, 3}}};
  TskPngImage Image;
  LoadImage(Image, WritePng(P));
  const TColor Levels[] = {RGB(0, 0, 0), RGB(85, 85, 85), RGB(170, 170, 170), RGB(255, 255, 255)};
  for (int X = 0; X < 4; ++X) EXPECT_EQ(Image.GetPixel(X, 0), Levels[X]) << X;

  const Bytes Saved = SaveImage(Image);
  const auto Chunks = ListChunks(Saved);
  ASSERT_EQ(Chunks[0].Name, "IHDR");
  EXPECT_EQ(Chunks[0].Data[8], 4);
  const TReference Ref = DecodeWithLibpng(Saved);
  for (int X = 0; X < 4; ++X) EXPECT_EQ(Ref.At(X, 0)[0], GetRValue(Levels[X])) << X;
}

TEST_F(PngCodecTest, SixteenBitSamplesKeepTheirHighByte)
{
  TPicture P{2, 1, 6, 16, {{0x1234, 0xABCD, 0xFF01, 0x8080, 0x0102, 0x0304, 0x0506, 0x0708}}};
  TskPngImage Image;
  LoadImage(Image, WritePng(P));
  const Bytes Raw = InflateImageData(SaveImage(Image));
  // Filter byte, then R G B A of 16 bits each: the high bytes kept, the low bytes 0.
  const Bytes Expected("\x00\x12\x00\xAB\x00\xFF\x00\x80\x00\x01\x00\x03\x00\x05\x00\x07\x00", 17);
  ASSERT_EQ(Raw.size(), 17u);
  Image.AllowedFilters = 0;
  const Bytes Plain = InflateImageData(SaveImage(Image));
  EXPECT_EQ(Plain, Expected);
}

TEST_F(PngCodecTest, EncoderChoosesTheFilterByRepeats)
{
  // One row of bytes with no repeats in any filtered form, and one of a smooth gradient.
  Bytes Noise;
  for (std::uint32_t Seed = 1;; ++Seed) {
    Noise = RandomBytes(30, Seed);
    const Bytes Sub = FilterRow(Noise, Bytes(), 1, 3);
    bool Repeats = false;
    for (std::size_t J = 3; J < Sub.size(); ++J)
      Repeats = Repeats || Sub[J] == Sub[J - 1] || Sub[J] == Sub[J - 2];
    if (!Repeats) break;
  }
  Bytes Ramp;
  for (int I = 0; I < 30; ++I) Ramp.push_back(static_cast<char>(I * 7));

  struct {
    const char* What;
    const Bytes* Row;
    TskPngFilters Filters;
    int Expected;
  } Cases[] = {
      {"default Sub only", &Noise, PngFilterBit(skpfSub), 1},
      {"nothing allowed", &Ramp, 0, 0},
      {"None only", &Ramp, PngFilterBit(skpfNone), 0},
      {"single Paeth", &Noise, PngFilterBit(skpfPaeth), 4},
      {"no repeats anywhere", &Noise, PngFilterBit(skpfSub) | PngFilterBit(skpfPaeth), 0},
      {"a ramp repeats under Sub", &Ramp, 0x1F, 1},
      {"ties go to the earlier filter", &Ramp, PngFilterBit(skpfPaeth) | PngFilterBit(skpfSub), 1},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TPicture P{10, 1, 2, 8, {{}}};
    for (char B : *C.Row) P.Samples[0].push_back(static_cast<unsigned char>(B));
    TskPngImage Image;
    LoadImage(Image, WritePng(P));
    Image.AllowedFilters = C.Filters;
    const Bytes Saved = SaveImage(Image);
    const Bytes Raw = InflateImageData(Saved);
    ASSERT_EQ(Raw.size(), 31u);
    EXPECT_EQ(Raw[0], C.Expected);
    EXPECT_EQ(Difference(Image, DecodeWithLibpng(Saved)), "");
  }
}

TEST_F(PngCodecTest, DamagedImageDataKeepsTheRowsDecodedSoFar)
{
  TPicture P = RandomPicture(20, 40, 2, 8, 99);
  TWriteOptions O;
  O.IdatSize = 100;
  const Bytes Good = WritePng(P, O);
  const TReference Ref = DecodeWithLibpng(Good);

  // A flipped byte in the third image data chunk fails its CRC.
  std::size_t Third = 0;
  for (std::size_t At = 8, Seen = 0; At < Good.size(); At += 12 + GetBE32(Good, At))
    if (Good.substr(At + 4, 4) == "IDAT" && ++Seen == 3) Third = At;
  Bytes Bad = Good;
  Bad[Third + 8 + 50] ^= 0x40;
  // A stream cut in the middle of the image data.
  const Bytes Cut = Good.substr(0, Third + 30);

  for (const Bytes* File : std::vector<const Bytes*>{&Bad, &Cut}) {
    TskPngImage Image;
    LoadImage(Image, *File);
    ASSERT_FALSE(Image.Empty());
    const int Last = Image.Chunks()->Count() - 1;
    EXPECT_EQ(Image.Chunks()->GetChunk(Last)->Name(), "IDAT");
    // The first rows are right, the last row was never reached and is zero.
    EXPECT_EQ(Image.GetPixel(3, 0), RGB(Ref.At(3, 0)[0], Ref.At(3, 0)[1], Ref.At(3, 0)[2]));
    EXPECT_EQ(Image.GetPixel(5, 39), 0u);
  }
}

TEST_F(PngCodecTest, HeadersOutsideTheCodecAreRefused)
{
  struct {
    const char* What;
    int Width, Height, Depth, ColorType, Interlace, Compression;
  } Cases[] = {
      {"zero width", 0, 5, 8, 2, 0, 0},         {"width above 65535", 65536, 1, 8, 2, 0, 0},
      {"compression 1", 4, 4, 8, 2, 0, 1},      {"interlace 2", 4, 4, 8, 2, 2, 0},
      {"RGB at 4 bits", 4, 4, 4, 2, 0, 0},      {"palette at 16 bits", 4, 4, 16, 3, 0, 0},
      {"colour type 7", 4, 4, 8, 7, 0, 0},      {"grey alpha at 4 bits", 4, 4, 4, 4, 0, 0},
      {"65535 squared RGBA", 65535, 65535, 16, 6, 0, 0},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    Bytes File = Signature + Chunk("IHDR", HeaderData(C.Width, C.Height, C.Depth, C.ColorType, C.Interlace, C.Compression));
    File += Chunk("IDAT", Compress(Bytes(64, '\0'))) + Chunk("IEND", "");
    TskPngImage Image;
    LoadImage(Image, File);
    EXPECT_TRUE(Image.Empty());
    EXPECT_EQ(Image.GetWidth(), 0);
    EXPECT_EQ(Image.GetPixel(0, 0), 0u);
    TBitmap Target(4, 4, pf24bit);
    Image.Draw(Target.GetCanvas(), Rect(0, 0, 4, 4));
  }
}
