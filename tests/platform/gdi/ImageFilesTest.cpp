#include <gtest/gtest.h>

#include <climits>
#include <cstdint>
#include <cstdlib>
#include <random>
#include <string>
#include <vector>

#include "platform/gdi/BmpFile.h"
#include "platform/gdi/DibImage.h"
#include "platform/gdi/JpegFile.h"
#include "platform/gdi/PngFile.h"
#include "tests/support/TempDirTest.h"

namespace {

using TBytes = std::vector<std::uint8_t>;

TDibColor Bgr(int B, int G, int R, int A = 0)
{
  return TDibColor{std::uint8_t(B), std::uint8_t(G), std::uint8_t(R), std::uint8_t(A)};
}

std::string ShowColor(TDibColor C)
{
  return "(b" + std::to_string(C.Blue) + " g" + std::to_string(C.Green) + " r" + std::to_string(C.Red) + " a" +
         std::to_string(C.Reserved) + ")";
}

// A picture with a different value in every pixel that the depth can hold. Indexed pictures get
// a palette of distinct colours.
TDibImage Pattern(int Width, int Height, int BitCount, bool TopDown)
{
  TDibImage Image;
  Image.SetSize(Width, Height, BitCount, TopDown);
  if (BitCount <= 8)
    for (std::size_t I = 0; I < Image.Palette.size(); ++I)
      Image.Palette[I] = Bgr(int(I * 7 % 256), int(255 - I), int(I * 13 % 256));
  for (int Y = 0; Y < Height; ++Y)
    for (int X = 0; X < Width; ++X) {
      if (BitCount <= 8)
        Image.SetPixelIndex(X, Y, (X * 3 + Y * 5) % (1 << BitCount));
      else
        Image.SetPixel(X, Y, Bgr(X * 19 % 256, Y * 37 % 256, (X * Y * 11 + 3) % 256, (X + Y * 7) % 256));
    }
  return Image;
}

// Compares the pictures as GetPixel shows them.
::testing::AssertionResult SamePixels(const TDibImage& A, const TDibImage& B, int Tolerance = 0, bool Alpha = true)
{
  if (A.Width != B.Width || A.Height != B.Height)
    return ::testing::AssertionFailure() << "size " << A.Width << "x" << A.Height << " vs " << B.Width << "x" << B.Height;
  for (int Y = 0; Y < A.Height; ++Y)
    for (int X = 0; X < A.Width; ++X) {
      const TDibColor P = A.GetPixel(X, Y), Q = B.GetPixel(X, Y);
      const bool Near = std::abs(P.Blue - Q.Blue) <= Tolerance && std::abs(P.Green - Q.Green) <= Tolerance &&
                        std::abs(P.Red - Q.Red) <= Tolerance && (!Alpha || P.Reserved == Q.Reserved);
      if (!Near)
        return ::testing::AssertionFailure() << "pixel " << X << "," << Y << ": " << ShowColor(P) << " vs " << ShowColor(Q);
    }
  return ::testing::AssertionSuccess();
}

::testing::AssertionResult AllPixelsNear(const TDibImage& Image, TDibColor Want, int Tolerance)
{
  for (int Y = 0; Y < Image.Height; ++Y)
    for (int X = 0; X < Image.Width; ++X) {
      const TDibColor P = Image.GetPixel(X, Y);
      if (std::abs(P.Blue - Want.Blue) > Tolerance || std::abs(P.Green - Want.Green) > Tolerance ||
          std::abs(P.Red - Want.Red) > Tolerance)
        return ::testing::AssertionFailure() << "pixel " << X << "," << Y << " is " << ShowColor(P) << ", want "
                                             << ShowColor(Want);
    }
  return ::testing::AssertionSuccess();
}

std::uint32_t Get32(const TBytes& B, std::size_t At)
{
  return B[At] | (B[At + 1] << 8) | (B[At + 2] << 16) | (std::uint32_t(B[At + 3]) << 24);
}
void Put16(TBytes& B, std::size_t At, std::uint32_t V)
{
  B[At] = std::uint8_t(V);
  B[At + 1] = std::uint8_t(V >> 8);
}
void Put32(TBytes& B, std::size_t At, std::uint32_t V)
{
  Put16(B, At, V);
  Put16(B, At + 2, V >> 16);
}
void Append16(TBytes& B, std::uint32_t V)
{
  B.resize(B.size() + 2);
  Put16(B, B.size() - 2, V);
}
void Append32(TBytes& B, std::uint32_t V)
{
  B.resize(B.size() + 4);
  Put32(B, B.size() - 4, V);
}

// Builds a bitmap file by hand, the way various writers lay them out.
struct TBmpFields {
  std::uint32_t HeaderSize = 40;
  std::int32_t Width = 0;
  std::int32_t Height = 0;
  int BitCount = 24;
  std::uint32_t Compression = 0;
  std::uint32_t ColorsUsed = 0;
  std::vector<std::uint32_t> Masks;  // inside a long header, or after a 40-byte one
  std::vector<TDibColor> Palette;
  TBytes Bits;
  bool ZeroOffBits = false;
};

TBytes BuildBmp(const TBmpFields& S)
{
  TBytes B(14, 0);
  B[0] = 'B';
  B[1] = 'M';
  Append32(B, S.HeaderSize);
  if (S.HeaderSize == 12) {
    Append16(B, std::uint32_t(S.Width));
    Append16(B, std::uint32_t(S.Height));
    Append16(B, 1);
    Append16(B, std::uint32_t(S.BitCount));
  } else {
    Append32(B, std::uint32_t(S.Width));
    Append32(B, std::uint32_t(S.Height));
    Append16(B, 1);
    Append16(B, std::uint32_t(S.BitCount));
    Append32(B, S.Compression);
    Append32(B, std::uint32_t(S.Bits.size()));
    Append32(B, 0);
    Append32(B, 0);
    Append32(B, S.ColorsUsed);
    Append32(B, 0);
    const std::size_t HeaderEnd = 14 + S.HeaderSize;
    for (std::uint32_t M : S.Masks)
      Append32(B, M);
    if (S.HeaderSize > 40 && B.size() < HeaderEnd)
      B.resize(HeaderEnd, 0);
  }
  for (const TDibColor& C : S.Palette) {
    B.push_back(C.Blue);
    B.push_back(C.Green);
    B.push_back(C.Red);
    if (S.HeaderSize != 12)
      B.push_back(0);
  }
  Put32(B, 10, S.ZeroOffBits ? 0 : std::uint32_t(B.size()));
  B.insert(B.end(), S.Bits.begin(), S.Bits.end());
  Put32(B, 2, std::uint32_t(B.size()));
  return B;
}

class ImageFilesTest : public TTempDirTest {
protected:
  // Runs a shell command in the test folder; false when it fails.
  bool Run(const std::string& Command)
  {
    return std::system(("cd '" + Dir + "' && " + Command + " >/dev/null 2>&1").c_str()) == 0;
  }
  static bool HaveTool(const char* Name)
  {
    return std::system((std::string("command -v ") + Name + " >/dev/null 2>&1").c_str()) == 0;
  }
};

TEST_F(ImageFilesTest, BmpRoundTripsEveryDepthAndRowOrder)
{
  for (int BitCount : {1, 4, 8, 16, 24, 32})
    for (bool TopDown : {true, false}) {
      SCOPED_TRACE("bits " + std::to_string(BitCount) + (TopDown ? " top-down" : " bottom-up"));
      const TDibImage Original = Pattern(13, 7, BitCount, TopDown);
      const TBytes File = SaveBmpToBytes(Original);
      // As Windows writes it: bottom-up, uncompressed, sizes that add up.
      ASSERT_GE(File.size(), 54u);
      EXPECT_EQ(Get32(File, 2), File.size());
      EXPECT_EQ(Get32(File, 14), 40u);
      EXPECT_EQ(std::int32_t(Get32(File, 22)), 7);
      EXPECT_EQ(Get32(File, 30), 0u);
      EXPECT_EQ(Get32(File, 10) + Original.Stride() * 7u, File.size());

      const TDibImage Loaded = LoadBmpFromBytes(File);
      EXPECT_EQ(Loaded.BitCount, BitCount);
      EXPECT_FALSE(Loaded.TopDown);
      EXPECT_TRUE(Loaded.IsConsistent());
      EXPECT_TRUE(SamePixels(Loaded, Original, 0, BitCount == 32));
      EXPECT_EQ(SaveBmpToBytes(Loaded), File);

      // Streams: the picture is read from the position, and the position ends after it.
      TMemoryStream Stream;
      Stream.WriteBuffer("abc", 3);
      SaveBmpToStream(Original, &Stream);
      Stream.WriteBuffer("TAIL", 4);
      Stream.SetPosition(3);
      EXPECT_TRUE(SamePixels(LoadBmpFromStream(&Stream), Original, 0, BitCount == 32));
      EXPECT_EQ(Stream.GetPosition(), Int64(3 + File.size()));
    }
  const String Name = Dir + "p.bmp";
  SaveBmpToFile(Pattern(5, 3, 8, true), Name);
  EXPECT_TRUE(SamePixels(LoadBmpFromFile(Name), Pattern(5, 3, 8, true)));
  EXPECT_THROW(LoadBmpFromFile(Dir + "missing.bmp"), EFOpenError);
  // No file for pictures that no reader would take back.
  TDibImage Empty;
  Empty.SetSize(4, 0, 24);
  EXPECT_THROW(SaveBmpToBytes(Empty), EInvalidGraphic);
  TDibImage Broken = Pattern(4, 4, 24, true);
  Broken.Bits.pop_back();
  EXPECT_THROW(SaveBmpToBytes(Broken), EInvalidGraphic);
}

TEST_F(ImageFilesTest, BmpReadsTheLayoutsFoundInTheWild)
{
  const std::vector<TDibColor> Four = {Bgr(0, 0, 0), Bgr(255, 0, 0), Bgr(0, 255, 0), Bgr(0, 0, 255)};
  struct TCase {
    const char* Name;
    TBmpFields Fields;
    int BitCount;
    bool TopDown;
    std::vector<std::vector<TDibColor>> Rows;  // from the top
  };
  auto Bytes = [](std::initializer_list<int> L) {
    TBytes B;
    for (int V : L)
      B.push_back(std::uint8_t(V));
    return B;
  };
  const TCase Cases[] = {
      {"top-down 24 bits",
       {40, 2, -2, 24, 0, 0, {}, {}, Bytes({1, 2, 3, 4, 5, 6, 0, 0, 7, 8, 9, 10, 11, 12, 0, 0})},
       24, true, {{Bgr(1, 2, 3), Bgr(4, 5, 6)}, {Bgr(7, 8, 9), Bgr(10, 11, 12)}}},
      {"core header, 3-byte palette",
       {12, 3, 2, 4, 0, 0, {}, {Bgr(10, 20, 30), Bgr(40, 50, 60)}, Bytes({0x10, 0x10, 0, 0, 0x01, 0x00, 0, 0})},
       4, false,
       {{Bgr(10, 20, 30), Bgr(40, 50, 60), Bgr(10, 20, 30)}, {Bgr(40, 50, 60), Bgr(10, 20, 30), Bgr(40, 50, 60)}}},
      {"short palette, index past its end is black",
       {40, 3, 1, 8, 0, 2, {}, {Bgr(1, 1, 1), Bgr(2, 2, 2)}, Bytes({1, 0, 200, 0})},
       8, false, {{Bgr(2, 2, 2), Bgr(1, 1, 1), Bgr(0, 0, 0)}}},
      {"zero pixel offset means right after the palette",
       {40, 2, 1, 1, 0, 0, {}, {Bgr(0, 0, 0), Bgr(9, 9, 9)}, Bytes({0x40, 0, 0, 0}), true},
       1, false, {{Bgr(0, 0, 0), Bgr(9, 9, 9)}}},
      {"16-bit 5-6-5 bit fields after the header",
       {40, 3, 1, 16, 3, 0, {0xF800, 0x07E0, 0x001F}, {}, Bytes({0x00, 0xF8, 0xE0, 0x07, 0x10, 0x00, 0, 0})},
       24, false, {{Bgr(0, 0, 255), Bgr(0, 255, 0), Bgr(132, 0, 0)}}},
      {"16-bit 5-5-5 bit fields stay 16 bits",
       {40, 1, 1, 16, 3, 0, {0x7C00, 0x03E0, 0x001F}, {}, Bytes({0x1F, 0x7C, 0, 0})},
       16, false, {{Bgr(255, 0, 255)}}},
      {"V5 header, B,G,R,A bit fields keep alpha",
       {124, 1, 1, 32, 3, 0, {0xFF0000, 0xFF00, 0xFF, 0xFF000000}, {}, Bytes({1, 2, 3, 128})},
       32, false, {{Bgr(1, 2, 3, 128)}}},
      {"V4 header, R,G,B,A byte order",
       {108, 1, 1, 32, 3, 0, {0xFF000000, 0xFF0000, 0xFF00, 0xFF}, {}, Bytes({0x40, 3, 2, 1})},
       32, false, {{Bgr(3, 2, 1, 0x40)}}},
      // RLE8, bottom row first: row 0 (bottom) "run of 3 x idx1, absolute 2,3,1 (padded), EOL";
      // row 1: delta (2,0) then run 1 x idx3, EOL; row 2 left empty by end-of-bitmap.
      {"RLE8 with runs, literals, delta and early end",
       {40, 6, 3, 8, 1, 4, {}, Four, Bytes({3, 1, 0, 3, 2, 3, 1, 0, 0, 0, 0, 2, 2, 0, 1, 3, 0, 0, 0, 1})},
       8, false,
       {{Four[0], Four[0], Four[0], Four[0], Four[0], Four[0]},
        {Four[0], Four[0], Four[3], Four[0], Four[0], Four[0]},
        {Four[1], Four[1], Four[1], Four[2], Four[3], Four[1]}}},
      // RLE4: row 0 "run of 3 alternating 1,2", "absolute 5 nibbles 3,0,1,2,3 (3 bytes, padded to
      // a word)"; row 1 a run longer than the row, clipped.
      {"RLE4 with alternating runs, literals and clipping",
       {40, 8, 2, 4, 2, 4, {}, Four, Bytes({3, 0x12, 0, 5, 0x30, 0x12, 0x30, 0, 0, 0, 12, 0x33, 0, 0, 0, 1})},
       4, false,
       {{Four[3], Four[3], Four[3], Four[3], Four[3], Four[3], Four[3], Four[3]},
        {Four[1], Four[2], Four[1], Four[3], Four[0], Four[1], Four[2], Four[3]}}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    const TDibImage Image = LoadBmpFromBytes(BuildBmp(C.Fields));
    EXPECT_EQ(Image.BitCount, C.BitCount);
    EXPECT_EQ(Image.TopDown, C.TopDown);
    EXPECT_TRUE(Image.IsConsistent());
    if (Image.BitCount <= 8) {
      EXPECT_EQ(Image.Palette.size(), std::size_t(1) << Image.BitCount);
    }
    ASSERT_EQ(Image.Height, int(C.Rows.size()));
    for (int Y = 0; Y < Image.Height; ++Y) {
      ASSERT_EQ(Image.Width, int(C.Rows[Y].size()));
      for (int X = 0; X < Image.Width; ++X)
        EXPECT_EQ(ShowColor(Image.GetPixel(X, Y)), ShowColor(C.Rows[Y][X])) << X << "," << Y;
    }
  }
}

// A valid 8-bit file and a valid RLE8 file to damage.
TBytes PlainFile() { return SaveBmpToBytes(Pattern(10, 5, 8, false)); }
TBytes RleFile()
{
  TBmpFields S{40, 4, 2, 8, 1, 2, {}, {Bgr(0, 0, 0), Bgr(1, 1, 1)}, {4, 1, 0, 0, 0, 4, 1, 0, 1, 0, 0, 0, 0, 1}};
  return BuildBmp(S);
}

TEST_F(ImageFilesTest, BmpRejectsDamagedFiles)
{
  ASSERT_NO_THROW(LoadBmpFromBytes(PlainFile()));
  ASSERT_NO_THROW(LoadBmpFromBytes(RleFile()));
  struct TDamage {
    const char* Name;
    TBytes File;
  };
  auto Cut = [](TBytes B, std::size_t N) {
    B.resize(N);
    return B;
  };
  auto Set32 = [](TBytes B, std::size_t At, std::uint32_t V) {
    Put32(B, At, V);
    return B;
  };
  auto Set16 = [](TBytes B, std::size_t At, std::uint32_t V) {
    Put16(B, At, V);
    return B;
  };
  const TBytes P = PlainFile(), R = RleFile();
  const std::size_t PaletteEnd = 54 + 256 * 4;
  std::vector<TDamage> Damages = {
      {"empty", {}},
      {"one byte", Cut(P, 1)},
      {"file header only", Cut(P, 14)},
      {"header cut", Cut(P, 40)},
      {"palette cut", Cut(P, 54 + 100)},
      {"pixels cut", Cut(P, PaletteEnd + 20)},
      {"last byte missing", Cut(P, P.size() - 1)},
      {"wrong magic", Set16(P, 0, 'M' | ('B' << 8))},
      {"header size 0", Set32(P, 14, 0)},
      {"header size 13", Set32(P, 14, 13)},
      {"header size huge", Set32(P, 14, 0x7FFFFFFF)},
      {"width 0", Set32(P, 18, 0)},
      {"width negative", Set32(P, 18, std::uint32_t(-10))},
      {"height 0", Set32(P, 22, 0)},
      {"height most negative", Set32(P, 22, 0x80000000u)},
      {"width past the limit", Set32(P, 18, 100000)},
      {"area past the limit", Set32(Set32(P, 18, 60000), 22, 60000)},
      {"bit count 3", Set16(P, 28, 3)},
      {"bit count 0", Set16(P, 28, 0)},
      {"embedded JPEG", Set32(P, 30, 4)},
      {"unknown compression", Set32(P, 30, 9)},
      {"bit fields on 8 bits", Set32(P, 30, 3)},
      {"pixel offset past the end", Set32(P, 10, std::uint32_t(P.size() + 1))},
      {"pixel offset far past the end", Set32(P, 10, 0xFFFFFFF0u)},
      {"pixel offset into the header", Set32(P, 10, 20)},
      {"RLE8 on 24 bits", Set16(R, 28, 24)},
      {"RLE top-down", Set32(R, 22, std::uint32_t(-2))},
      {"RLE data cut inside a literal run", Cut(R, R.size() - 7)},
      {"RLE without end and rows missing", Cut(R, R.size() - 4)},
      {"RLE delta cut", BuildBmp(TBmpFields{40, 4, 2, 8, 1, 1, {}, {Bgr(0, 0, 0)}, {0, 2, 1}})},
      {"bit fields masks cut", Cut(BuildBmp(TBmpFields{40, 1, 1, 32, 3, 0, {0xFF0000, 0xFF00, 0xFF}, {}, {1, 2, 3, 4}}), 60)},
      {"OS/2 header with Huffman coding", Set32(Cut(BuildBmp(TBmpFields{64, 1, 1, 1, 3, 0, {}, {}, {0, 0, 0, 0}}), 200), 30, 3)},
  };
  for (const TDamage& D : Damages) {
    SCOPED_TRACE(D.Name);
    try {
      LoadBmpFromBytes(D.File);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& E) {
      EXPECT_EQ(E.Message(), SInvalidBitmap);
    }
    TMemoryStream Stream;
    if (!D.File.empty())
      Stream.WriteBuffer(D.File.data(), Int64(D.File.size()));
    Stream.SetPosition(0);
    EXPECT_THROW(LoadBmpFromStream(&Stream), EInvalidGraphic);
  }
}

// Damaged files must never crash the reader or make it read or allocate beyond reason: random
// byte changes and cuts either load a consistent picture or raise EInvalidGraphic.
TEST_F(ImageFilesTest, BmpSurvivesRandomDamage)
{
  const std::vector<TBytes> Seeds = {
      PlainFile(), RleFile(), SaveBmpToBytes(Pattern(9, 4, 4, true)), SaveBmpToBytes(Pattern(5, 3, 32, true)),
      BuildBmp(TBmpFields{124, 2, 2, 16, 3, 0, {0xF800, 0x07E0, 0x001F, 0}, {}, {1, 2, 3, 4, 5, 6, 7, 8}}),
      BuildBmp(TBmpFields{40, 6, 2, 4, 2, 1, {}, {Bgr(1, 2, 3)}, {3, 0x12, 0, 5, 0x12, 0x34, 0x50, 0, 0, 0, 0, 1}}),
      BuildBmp(TBmpFields{12, 3, 2, 8, 0, 0, {}, {Bgr(1, 2, 3), Bgr(4, 5, 6)}, {0, 1, 0, 0, 1, 0, 1, 0}})};
  std::mt19937 Rng(4242);
  for (int Round = 0; Round < 4000; ++Round) {
    TBytes File = Seeds[Round % Seeds.size()];
    const int Changes = 1 + int(Rng() % 4);
    for (int I = 0; I < Changes; ++I) {
      // Mostly the headers, where the numbers live.
      const std::size_t At = (Rng() % 3 ? Rng() % std::min<std::size_t>(File.size(), 70) : Rng() % File.size());
      File[At] = Rng() % 2 ? std::uint8_t(Rng()) : std::uint8_t(File[At] ^ (1u << (Rng() % 8)));
    }
    if (Rng() % 5 == 0)
      File.resize(Rng() % File.size());
    try {
      const TDibImage Image = LoadBmpFromBytes(File);
      ASSERT_TRUE(Image.IsConsistent()) << "round " << Round;
      if (Image.BitCount <= 8) {
        ASSERT_EQ(Image.Palette.size(), std::size_t(1) << Image.BitCount) << "round " << Round;
      }
    } catch (const EInvalidGraphic&) {
    }
  }
}

// Files written by other programs decode to the same pixels as their PNG twins.
TEST_F(ImageFilesTest, BmpMatchesOtherWritersPixelForPixel)
{
  if (!HaveTool("convert"))
    GTEST_SKIP() << "ImageMagick's convert is not installed";
  struct TCase {
    const char* Options;  // for the BMP only
    const char* Format;
    int BitCount;
  };
  const TCase Cases[] = {
      {"-type palette -compress RLE", "BMP3", 8},
      {"-type palette -colors 16 -compress RLE", "BMP3", 8},
      {"-type palette -colors 2", "BMP3", 1},
      {"-define bmp:subtype=RGB565", "BMP", 24},
      {"-define bmp:subtype=RGB555", "BMP", 16},
      {"-alpha set -channel A -fx 'i/w' +channel", "BMP", 32},
      {"-alpha off", "BMP2", 24},
  };
  int N = 0;
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Options);
    const std::string Bmp = "f" + std::to_string(N) + ".bmp", Png = "f" + std::to_string(N) + ".png";
    ++N;
    ASSERT_TRUE(Run(std::string("convert -size 23x11 gradient:red-blue -swirl 90 ") + C.Options + " " + C.Format + ":" +
                    Bmp + " && convert " + Bmp + " PNG32:" + Png));
    const TDibImage FromBmp = LoadBmpFromFile(Dir + Bmp);
    const TDibImage FromPng = LoadPngFromFile(Dir + Png);
    EXPECT_EQ(FromBmp.BitCount, C.BitCount);
    EXPECT_TRUE(SamePixels(FromBmp, FromPng, 0, false));
    if (C.BitCount == 32) {
      EXPECT_TRUE(SamePixels(FromBmp, FromPng, 0, true));
    }
  }
}

TEST_F(ImageFilesTest, JpegDecodesFilesOfOtherEncoders)
{
  struct TCase {
    const char* Tool;
    const char* Command;
    int Width, Height;
    TDibColor Colour;
    int Tolerance;
  };
  const TCase Cases[] = {
      {"convert", "convert -size 16x8 xc:red x.jpg", 16, 8, Bgr(0, 0, 255), 6},
      {"convert", "convert -size 16x8 xc:gray50 -colorspace Gray x.jpg", 16, 8, Bgr(128, 128, 128), 3},
      {"convert", "convert -size 16x8 xc:red -colorspace CMYK x.jpg", 16, 8, Bgr(0, 0, 255), 12},
      {"convert", "convert -size 33x17 xc:lime -interlace JPEG x.jpg", 33, 17, Bgr(0, 255, 0), 6},
      {"convert", "convert -size 20x10 xc:'#336699' -quality 100 -sampling-factor 1x1 x.jpg", 20, 10,
       Bgr(0x99, 0x66, 0x33), 3},
      {"ffmpeg", "ffmpeg -loglevel error -y -f lavfi -i color=c=blue:s=16x16 -frames:v 1 x.jpg", 16, 16,
       Bgr(255, 0, 0), 12},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Command);
    if (!HaveTool(C.Tool)) {
      std::printf("skipped, %s is not installed\n", C.Tool);
      continue;
    }
    ASSERT_TRUE(Run(C.Command));
    const TDibImage Image = LoadJpegFromFile(Dir + "x.jpg");
    EXPECT_EQ(Image.Width, C.Width);
    EXPECT_EQ(Image.Height, C.Height);
    EXPECT_EQ(Image.BitCount, 24);
    EXPECT_TRUE(Image.TopDown);
    EXPECT_TRUE(AllPixelsNear(Image, C.Colour, C.Tolerance));
  }
  if (!HaveTool("convert"))
    GTEST_SKIP() << "ImageMagick's convert is not installed";
  // Pixel for pixel against ImageMagick's decoding of a detailed picture.
  ASSERT_TRUE(Run("convert -size 40x24 gradient:yellow-navy -swirl 120 -quality 90 d.jpg && convert d.jpg PNG24:d.png"));
  EXPECT_TRUE(SamePixels(LoadJpegFromFile(Dir + "d.jpg"), LoadPngFromFile(Dir + "d.png"), 2, false));
}

TEST_F(ImageFilesTest, JpegScalesAndRoundTrips)
{
  // A smooth picture, stored bottom-up, at every depth the encoder takes.
  TDibImage Smooth;
  Smooth.SetSize(33, 17, 24, false);
  for (int Y = 0; Y < 17; ++Y)
    for (int X = 0; X < 33; ++X)
      Smooth.SetPixel(X, Y, Bgr(X * 7, Y * 14, 200 - X * 3));
  const TBytes Fine = SaveJpegToBytes(Smooth, {95, false, false});
  ASSERT_GT(Fine.size(), 4u);
  EXPECT_EQ(Fine[0], 0xFF);
  EXPECT_EQ(Fine[1], 0xD8);
  const TDibImage Back = LoadJpegFromBytes(Fine);
  EXPECT_TRUE(SamePixels(Back, Smooth, 10, false));
  EXPECT_LT(SaveJpegToBytes(Smooth, {5, false, false}).size(), Fine.size());

  // Scaled decoding: each side divided and rounded up.
  struct TScale {
    int Denominator, Width, Height;
  };
  for (const TScale& S : {TScale{1, 33, 17}, TScale{2, 17, 9}, TScale{4, 9, 5}, TScale{8, 5, 3}}) {
    TJpegReadOptions Options;
    Options.ScaleDenominator = S.Denominator;
    const TDibImage Scaled = LoadJpegFromBytes(Fine, Options);
    EXPECT_EQ(Scaled.Width, S.Width) << S.Denominator;
    EXPECT_EQ(Scaled.Height, S.Height) << S.Denominator;
    Options.BestSpeed = true;
    EXPECT_EQ(LoadJpegFromBytes(Fine, Options).Width, S.Width) << S.Denominator;
  }
  TJpegReadOptions Bad;
  Bad.ScaleDenominator = 3;
  EXPECT_THROW(LoadJpegFromBytes(Fine, Bad), EInvalidGraphic);

  // Other depths are converted for the encoder. Flat blocks of one 16x16 coding unit each
  // come back nearly exact.
  for (int BitCount : {1, 4, 8, 16, 32}) {
    TDibImage Blocks;
    Blocks.SetSize(32, 32, BitCount, BitCount % 2 == 0);
    const TDibColor Colours[4] = {Bgr(200, 30, 30), Bgr(30, 200, 30), Bgr(30, 30, 200), Bgr(250, 250, 250)};
    if (BitCount <= 8)
      for (std::size_t I = 0; I < Blocks.Palette.size(); ++I)
        Blocks.Palette[I] = Colours[I % 4];
    for (int Y = 0; Y < 32; ++Y)
      for (int X = 0; X < 32; ++X) {
        const int Block = (X / 16 + 2 * (Y / 16)) % (BitCount == 1 ? 2 : 4);
        if (BitCount <= 8)
          Blocks.SetPixelIndex(X, Y, Block);
        else
          Blocks.SetPixel(X, Y, Colours[Block]);
      }
    const TDibImage Decoded = LoadJpegFromBytes(SaveJpegToBytes(Blocks, {100, false, false}));
    ASSERT_EQ(Decoded.Width, 32);
    // Colour is smoothed across block edges, so look inside the blocks.
    for (int Y = 0; Y < 32; ++Y)
      for (int X = 0; X < 32; ++X) {
        if (X % 16 < 3 || X % 16 > 12 || Y % 16 < 3 || Y % 16 > 12)
          continue;
        const TDibColor P = Decoded.GetPixel(X, Y), Q = Blocks.GetPixel(X, Y);
        ASSERT_LE(std::abs(P.Blue - Q.Blue) + std::abs(P.Green - Q.Green) + std::abs(P.Red - Q.Red), 12)
            << BitCount << " bits, pixel " << X << "," << Y << ": " << ShowColor(P) << " vs " << ShowColor(Q);
      }
  }

  // Grey output and progressive encoding.
  const TDibImage Grey = LoadJpegFromBytes(SaveJpegToBytes(Smooth, {90, true, false}));
  for (int X = 0; X < Grey.Width; ++X) {
    const TDibColor P = Grey.GetPixel(X, 5);
    EXPECT_TRUE(P.Blue == P.Green && P.Green == P.Red) << X;
  }
  EXPECT_TRUE(SamePixels(LoadJpegFromBytes(SaveJpegToBytes(Smooth, {95, false, true})), Smooth, 10, false));

  // Files and streams.
  SaveJpegToFile(Smooth, Dir + "s.jpg", {95, false, false});
  EXPECT_EQ(ReadBytes(Dir + "s.jpg"), std::string(Fine.begin(), Fine.end()));
  TMemoryStream Stream;
  Stream.WriteBuffer("xy", 2);
  SaveJpegToStream(Smooth, &Stream);
  Stream.SetPosition(2);
  EXPECT_TRUE(SamePixels(LoadJpegFromStream(&Stream), Smooth, 10, false));

  TDibImage Empty;
  EXPECT_THROW(SaveJpegToBytes(Empty), EInvalidGraphic);
}

TEST_F(ImageFilesTest, JpegReportsDamagedData)
{
  TDibImage Picture = Pattern(32, 32, 24, true);
  const TBytes Good = SaveJpegToBytes(Picture, {80, false, false});
  struct TCase {
    const char* Name;
    TBytes Data;
    const char* MessagePart;
  };
  const TCase Cases[] = {
      {"empty", {}, "JPEG error: "},
      {"not a JPEG", {'h', 'e', 'l', 'l', 'o', ' ', 'w', 'o', 'r', 'l', 'd'}, "Not a JPEG file"},
      {"cut in the headers", TBytes(Good.begin(), Good.begin() + 40), "Premature end of JPEG file"},
      {"cut in the picture data", TBytes(Good.begin(), Good.begin() + Good.size() / 2), "Premature end of JPEG file"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    try {
      LoadJpegFromBytes(C.Data);
      ADD_FAILURE() << "no error";
    } catch (const EInvalidGraphic& E) {
      EXPECT_NE(E.Message().find(C.MessagePart), String::npos) << E.Message();
    }
  }
  // Only the end marker missing: every row is there, so the picture loads.
  EXPECT_TRUE(SamePixels(LoadJpegFromBytes(TBytes(Good.begin(), Good.end() - 2)), LoadJpegFromBytes(Good), 0, false));

  // Random damage never crashes the decoder.
  std::mt19937 Rng(99);
  for (int Round = 0; Round < 300; ++Round) {
    TBytes Data = Good;
    for (int I = 0, N = 1 + int(Rng() % 6); I < N; ++I)
      Data[Rng() % Data.size()] = std::uint8_t(Rng());
    if (Rng() % 4 == 0)
      Data.resize(Rng() % Data.size());
    try {
      const TDibImage Image = LoadJpegFromBytes(Data);
      ASSERT_TRUE(Image.IsConsistent());
    } catch (const EInvalidGraphic&) {
    }
  }
}

TEST_F(ImageFilesTest, PngRoundTrips)
{
  struct TCase {
    int BitCount;
    bool TopDown;
    bool WithAlpha;
  };
  for (const TCase& C : {TCase{32, true, true}, TCase{32, false, true}, TCase{32, true, false}, TCase{24, false, true},
                         TCase{24, true, true}, TCase{8, false, true}, TCase{1, true, true}, TCase{16, true, true}}) {
    SCOPED_TRACE(std::to_string(C.BitCount) + (C.TopDown ? " top-down" : " bottom-up") + (C.WithAlpha ? "" : " no alpha"));
    const TDibImage Source = Pattern(13, 6, C.BitCount, C.TopDown);
    const TBytes File = SavePngToBytes(Source, C.WithAlpha);
    ASSERT_GT(File.size(), 8u);
    EXPECT_EQ(std::string(File.begin() + 1, File.begin() + 4), "PNG");
    const TDibImage Back = LoadPngFromBytes(File);
    EXPECT_EQ(Back.BitCount, 32);
    EXPECT_TRUE(Back.TopDown);
    EXPECT_TRUE(SamePixels(Back, Source, 0, false));
    for (int Y = 0; Y < Back.Height; ++Y)
      for (int X = 0; X < Back.Width; ++X) {
        const int Alpha = C.BitCount == 32 && C.WithAlpha ? Source.GetPixel(X, Y).Reserved : 255;
        ASSERT_EQ(Back.GetPixel(X, Y).Reserved, Alpha) << X << "," << Y;
      }
  }
  const TDibImage Shot = Pattern(40, 30, 32, true);
  SavePngToFile(Shot, Dir + "shot.png");
  EXPECT_TRUE(SamePixels(LoadPngFromFile(Dir + "shot.png"), Shot));
  if (HaveTool("convert")) {
    // Another reader sees the same picture.
    ASSERT_TRUE(Run("convert shot.png -alpha off BMP3:shot.bmp"));
    EXPECT_TRUE(SamePixels(LoadBmpFromFile(Dir + "shot.bmp"), Shot, 0, false));
  }
}

TEST_F(ImageFilesTest, PngReportsDamagedData)
{
  const TBytes Good = SavePngToBytes(Pattern(20, 20, 24, true));
  TBytes BadCrc = Good;
  const std::string Text(Good.begin(), Good.end());
  const std::size_t Idat = Text.find("IDAT");
  ASSERT_NE(Idat, std::string::npos);
  BadCrc[Idat + 6] ^= 0xFF;  // compressed data no longer matches its checksum
  const TBytes Cases[] = {{}, {'n', 'o', 't', ' ', 'p', 'n', 'g', '!', '!'}, TBytes(Good.begin(), Good.begin() + 20),
                          TBytes(Good.begin(), Good.begin() + Good.size() / 2), BadCrc};
  for (const TBytes& Data : Cases) {
    try {
      LoadPngFromBytes(Data);
      ADD_FAILURE() << "no error for " << Data.size() << " bytes";
    } catch (const EInvalidGraphic& E) {
      EXPECT_EQ(E.Message().rfind("PNG error: ", 0), 0u) << E.Message();
    }
  }
  TDibImage Empty;
  EXPECT_THROW(SavePngToBytes(Empty), EInvalidGraphic);
}

}  // namespace
