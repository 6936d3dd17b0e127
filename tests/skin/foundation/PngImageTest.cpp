// The PNG chunk stream: what is kept, dropped and written back, text and gamma chunks, chunk
// insertion, copying, and damaged or cut-off files.
#include <gtest/gtest.h>

#include "skin/foundation/PngCodec.h"
#include "skin/foundation/PngLayers.h"
#include "tests/skin/foundation/PngTestSupport.h"

using namespace pngtest;

namespace {

std::vector<std::string> ChunkNames(const TskPngImage& Image)
{
  std::vector<std::string> Names;
  for (int I = 0; I < Image.Chunks()->Count(); ++I) Names.push_back(Image.Chunks()->GetChunk(I)->Name());
  return Names;
}

std::vector<std::string> FileChunkNames(const Bytes& File)
{
  std::vector<std::string> Names;
  for (const auto& C : ListChunks(File)) Names.push_back(C.Name);
  return Names;
}

Bytes Be32(std::uint32_t V)
{
  Bytes B;
  PutBE32(B, V);
  return B;
}

// A small palette picture with many kinds of chunks.
Bytes RichFile()
{
  const TPicture P = RandomPicture(9, 6, 3, 4, 5, 11);
  TWriteOptions O;
  O.Palette = RandomBytes(12 * 3, 3);
  O.Transparency = Bytes("\xFF\x00\x80", 3);
  O.IdatSize = 9;
  O.AfterHeader = {Chunk("gAMA", Be32(45454)), Chunk("cHRM", Be32(31270) + Be32(32900) + Be32(64000) + Be32(33000) + Be32(30000) +
                                                                      Be32(60000) + Be32(15000) + Be32(6000))};
  O.BeforeData = {Chunk("abCd", "foreign"),
                  Chunk("pHYs", Be32(2835) + Be32(2835) + Bytes(1, '\1')),
                  Chunk("tIME", Bytes("\x07\xEA\x0C\x0A\x0E\x2B\x05", 7))};
  O.AfterData = {Chunk("tEXt", Bytes("Title\0Rose", 10)), Chunk("zTXt", Bytes("Note\0\0", 6) + Compress("packed text")),
                 Chunk("zzZz", RandomBytes(20, 2))};
  return WritePng(P, O);
}

}  // namespace

TEST(PngImage, OnlyPngFilesStartingWithAHeaderLoad)
{
  const Bytes Good = RichFile();
  const struct {
    const char* What;
    Bytes File;
  } Cases[] = {
      {"empty stream", ""},
      {"wrong signature", "GIF89a" + Good.substr(6)},
      {"signature only", Signature},
      {"palette before the header", Signature + Chunk("PLTE", Bytes(6, '\0')) + Good.substr(8)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TskPngImage Image;
    LoadImage(Image, Good);
    LoadImage(Image, C.File);
    EXPECT_TRUE(Image.Empty());
    EXPECT_EQ(Image.GetWidth(), 0);
    EXPECT_FALSE(Image.GetTransparent());
  }
}

TEST(PngImage, ForeignChunksStayInPlaceAndKnownOnesWriteBackTheirData)
{
  const Bytes File = RichFile();
  TskPngImage Image;
  LoadImage(Image, File);
  // cHRM is dropped; the image data chunks become one.
  const std::vector<std::string> Expected{"IHDR", "gAMA", "PLTE", "tRNS", "abCd", "pHYs", "tIME",
                                          "IDAT", "tEXt", "zTXt", "zzZz", "IEND"};
  EXPECT_EQ(ChunkNames(Image), Expected);
  EXPECT_EQ(Image.Chunks()->GetChunk(4)->GetClass(), PngLayerClass<TskPngLayer>());

  // A gamma of 45454 is the identity.
  for (int I = 0; I < 256; ++I) ASSERT_EQ(Image.GammaMap[static_cast<std::size_t>(I)], I);
  auto* Time = Image.Chunks()->Find<TskPngLayertIME>();
  EXPECT_EQ(Time->Year, 2026);
  EXPECT_EQ(Time->Second, 5);
  EXPECT_EQ(Image.Chunks()->Find<TskPngLayerpHYs>()->UnitSpecifier, 1);
  auto* Text = Image.Chunks()->Find<TskPngLayertEXt>();
  EXPECT_EQ(Text->Keyword, "Title");
  EXPECT_EQ(Text->Text, "Rose");
  auto* Packed = Image.Chunks()->Find<TskPngLayerzTXt>();
  EXPECT_EQ(Packed->Keyword, "Note");
  EXPECT_EQ(Packed->Text, "packed text");

  const Bytes Saved = SaveImage(Image);
  std::vector<std::string> SavedNames = FileChunkNames(Saved);
  EXPECT_EQ(SavedNames, Expected);
  const auto Old = ListChunks(File);
  const auto New = ListChunks(Saved);
  for (const auto& C : New) {
    if (C.Name == "IDAT" || C.Name == "zTXt") continue;
    auto Match = std::find_if(Old.begin(), Old.end(), [&](const TChunkInfo& O) { return O.Name == C.Name; });
    ASSERT_NE(Match, Old.end());
    EXPECT_EQ(C.Data, Match->Data) << C.Name;
  }
  // Same pixels in libpng for both files.
  const TReference A = DecodeWithLibpng(File), B = DecodeWithLibpng(Saved);
  EXPECT_EQ(A.Rgba, B.Rgba);
}

TEST(PngImage, ImageDataIsWrittenInChunksOfTheLimit)
{
  // Noise does not compress: about 270,000 bytes of data.
  TPicture P{300, 300, 2, 8, {}};
  const Bytes Noise = RandomBytes(300 * 900, 11);
  for (int Y = 0; Y < 300; ++Y) {
    P.Samples.emplace_back();
    for (int I = 0; I < 900; ++I) P.Samples.back().push_back(static_cast<unsigned char>(Noise[static_cast<std::size_t>(Y) * 900 + I]));
  }
  TWriteOptions O;
  O.IdatSize = 100000;
  TskPngImage Image;
  LoadImage(Image, WritePng(P, O));
  const std::vector<std::string> Names = ChunkNames(Image);
  EXPECT_EQ(std::count(Names.begin(), Names.end(), "IDAT"), 1);

  for (const int Limit : {1000, 65535, 100000}) {
    SCOPED_TRACE(Limit);
    Image.SetIdatChunkLimit(Limit);
    const int Effective = std::max(Limit, 65535);
    EXPECT_EQ(Image.GetIdatChunkLimit(), Effective);
    const Bytes Saved = SaveImage(Image);
    std::vector<std::size_t> Sizes;
    for (const auto& C : ListChunks(Saved))
      if (C.Name == "IDAT") Sizes.push_back(C.Data.size());
    ASSERT_GE(Sizes.size(), 2u);
    for (std::size_t I = 0; I + 1 < Sizes.size(); ++I) EXPECT_EQ(Sizes[I], std::size_t(Effective));
    EXPECT_LT(Sizes.back(), std::size_t(Effective));
    EXPECT_GT(Sizes.back(), 0u);
    EXPECT_EQ(DecodeWithLibpng(Saved).Rgba, DecodeWithLibpng(WritePng(P)).Rgba);
  }
}

TEST(PngImage, TextChunksStayWithinTheirData)
{
  const struct {
    const char* What;
    const char* Name;
    Bytes Data;
    const char* Keyword;
    const char* Text;
  } Cases[] = {
      {"plain", "tEXt", Bytes("Author\0Me", 9), "Author", "Me"},
      {"keyword and empty text", "tEXt", Bytes("a\0", 2), "a", ""},
      {"no terminator", "tEXt", "Unterminated", "Unterminated", ""},
      {"empty", "tEXt", "", "", ""},
      {"compressed", "zTXt", Bytes("K\0\0", 3) + Compress("hello"), "K", "hello"},
      {"unknown method", "zTXt", Bytes("K\0\1", 3) + Compress("hello"), "K", ""},
      {"damaged stream", "zTXt", Bytes("K\0\0", 3) + "not zlib data", "K", ""},
      {"compressed, no terminator", "zTXt", "KeywordOnly", "KeywordOnly", ""},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.What);
    TPicture P{1, 1, 0, 8, {{7}}};
    TWriteOptions O;
    O.AfterData = {Chunk(C.Name, C.Data)};
    TskPngImage Image;
    LoadImage(Image, WritePng(P, O));
    ASSERT_EQ(ChunkNames(Image).back(), "IEND");
    auto* Text = Image.Chunks()->Find<TskPngLayertEXt>();
    ASSERT_NE(Text, nullptr);
    EXPECT_EQ(Text->Keyword, C.Keyword);
    EXPECT_EQ(Text->Text, C.Text);
  }
}

TEST(PngImage, AnEmptyCompressedTextIsWrittenAsOneBlank)
{
  TskPngImage Image;
  LoadImage(Image, WritePng(TPicture{1, 1, 0, 8, {{0}}}));
  auto* Text = static_cast<TskPngLayerzTXt*>(Image.Chunks()->AddChunkByClass(PngLayerClass<TskPngLayerzTXt>()));
  ASSERT_NE(Text, nullptr);
  Text->Keyword = "Empty";
  const auto Chunks = ListChunks(SaveImage(Image));
  ASSERT_EQ(Chunks[Chunks.size() - 2].Name, "zTXt");
  const Bytes& Data = Chunks[Chunks.size() - 2].Data;
  ASSERT_EQ(Data.substr(0, 7), Bytes("Empty\0\0", 7));
  String Inflated, Error;
  ASSERT_TRUE(InflateBuffer(Data.data() + 7, Data.size() - 7, Inflated, Error)) << Error;
  EXPECT_EQ(Inflated, " ");
}

TEST(PngImage, ChunksAreAddedAtTheirPlace)
{
  TPicture P = RandomPicture(3, 3, 3, 8, 1, 3);
  TWriteOptions O;
  O.Palette = RandomBytes(12, 4);
  TskPngImage Image;
  LoadImage(Image, WritePng(P, O));
  TskPngList* List = Image.Chunks();

  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayerIHDR>()), nullptr);
  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayerIDAT>()), nullptr);
  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayerPLTE>()), nullptr);
  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayerIEND>()), nullptr);
  EXPECT_NE(List->AddChunkByClass(PngLayerClass<TskPngLayertRNS>()), nullptr);
  EXPECT_NE(List->AddChunkByClass(PngLayerClass<TskPngLayergAMA>()), nullptr);
  EXPECT_NE(List->AddChunkByClass(PngLayerClass<TskPngLayertEXt>()), nullptr);
  EXPECT_NE(List->AddChunkByClass(PngLayerClass<TskPngLayertEXt>()), nullptr);
  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayertRNS>()), nullptr);
  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayergAMA>()), nullptr);
  EXPECT_NE(List->AddChunkByClass(PngLayerClass<TskPngLayerpHYs>()), nullptr);
  EXPECT_EQ(List->AddChunkByClass(PngLayerClass<TskPngLayerpHYs>()), nullptr);
  const std::vector<std::string> Expected{"IHDR", "pHYs", "gAMA", "PLTE", "tRNS", "IDAT", "tEXt", "tEXt", "IEND"};
  EXPECT_EQ(ChunkNames(Image), Expected);
  // Looking for text finds compressed text as well.
  TskPngImage Other;
  TWriteOptions Z;
  Z.AfterData = {Chunk("zTXt", Bytes("K\0\0", 3) + Compress("x"))};
  LoadImage(Other, WritePng(TPicture{1, 1, 0, 8, {{0}}}, Z));
  EXPECT_NE(Other.Chunks()->Find<TskPngLayertEXt>(), nullptr);

  // Without an end chunk nothing is added.
  TskPngImage Empty;
  EXPECT_EQ(Empty.Chunks()->AddChunkByClass(PngLayerClass<TskPngLayertEXt>()), nullptr);
}

TEST(PngImage, PointerListIndexesAreChecked)
{
  TskPngPointerList List(nullptr);
  int A = 0, B = 0, C = 0;
  List.Insert(&A, 0);   // into the empty list
  List.Insert(&B, 1);   // at the end: refused
  List.Add(&B);
  List.Add(&A);
  List.Insert(&C, 1);
  ASSERT_EQ(List.Count(), 4);
  EXPECT_EQ(List.GetItem(1), &C);
  EXPECT_EQ(List.GetItem(4), nullptr);
  EXPECT_EQ(List.GetItem(-1), nullptr);
  List.SetItem(9, &C);
  // The last occurrence goes.
  EXPECT_EQ(List.Remove(&A), &A);
  EXPECT_EQ(List.Count(), 3);
  EXPECT_EQ(List.GetItem(0), &A);
  EXPECT_EQ(List.Remove(&A), &A);
  EXPECT_EQ(List.Remove(&A), nullptr);
  List.SetCount(0);
  EXPECT_EQ(List.Count(), 0);
}

TEST(PngImage, BadChunksEndTheLoadAndCutFilesLoadSafely)
{
  const Bytes File = RichFile();
  // A damaged text chunk is kept as the last one.
  Bytes Damaged = File;
  const std::size_t Text = Damaged.find("Title");
  Damaged[Text + 6] = 'X';
  TskPngImage Image;
  LoadImage(Image, Damaged);
  EXPECT_EQ(ChunkNames(Image).back(), "tEXt");
  EXPECT_EQ(Image.GetWidth(), 9);

  // A palette of 4 bytes is refused.
  TWriteOptions O;
  O.Palette = Bytes(4, '\0');
  LoadImage(Image, WritePng(RandomPicture(2, 2, 3, 1, 1), O));
  EXPECT_EQ(ChunkNames(Image), (std::vector<std::string>{"IHDR", "PLTE"}));

  // Every cut of the file loads without reading past its end; the chunks that were whole stay.
  for (std::size_t Length = 0; Length < File.size(); ++Length) {
    TskPngImage Cut;
    LoadImage(Cut, File.substr(0, Length));
    const std::vector<std::string> Names = ChunkNames(Cut);
    ASSERT_TRUE(Names.empty() || Names.front() == "IHDR") << Length;
    ASSERT_TRUE(Names.empty() || Names.back() != "IEND") << Length;
    SaveImage(Cut);
  }
}

TEST(PngImage, LongTransparencyChunksAreBoundedAndKept)
{
  TPicture P = RandomPicture(4, 4, 3, 8, 3, 255);
  TWriteOptions O;
  O.Palette = RandomBytes(256 * 3, 1);
  O.Transparency = Bytes(300, '\xFF');
  O.Transparency[10] = 0;      // the one translucent entry of the first 256
  O.Transparency[280] = 0x10;  // beyond the table
  const Bytes File = WritePng(P, O);
  TskPngImage Image;
  LoadImage(Image, File);
  auto* Trns = Image.Chunks()->Find<TskPngLayertRNS>();
  ASSERT_NE(Trns, nullptr);
  EXPECT_TRUE(Trns->SingleKey);
  EXPECT_EQ(Image.TransparencyKind(), ptkKeyColor);
  EXPECT_EQ(Trns->AlphaTable[10], 0);
  const auto Saved = ListChunks(SaveImage(Image));
  EXPECT_EQ(Saved[2].Name, "tRNS");
  EXPECT_EQ(Saved[2].Data, O.Transparency);
}

TEST(PngImage, CopiesHoldTheSameChunksAndPixels)
{
  const Bytes File = RichFile();
  TskPngImage Source;
  LoadImage(Source, File);
  Source.DeflateLevel = 9;
  Source.AllowedFilters = 0x1F;
  TskPngImage Copy;
  Copy.Assign(&Source);
  EXPECT_EQ(ChunkNames(Copy), ChunkNames(Source));
  EXPECT_EQ(Copy.DeflateLevel, 9);
  EXPECT_EQ(SaveImage(Copy), SaveImage(Source));
  for (int Y = 0; Y < Source.GetHeight(); ++Y)
    for (int X = 0; X < Source.GetWidth(); ++X) ASSERT_EQ(Copy.GetPixel(X, Y), Source.GetPixel(X, Y));
  // The copy is independent of its source.
  Source.SetPixel(0, 0, Source.GetPixel(1, 0) ^ 0xFFFFFF);
  Source.RemoveAllChunks();
  EXPECT_EQ(DecodeWithLibpng(SaveImage(Copy)).Rgba, DecodeWithLibpng(File).Rgba);

  Copy.Assign(nullptr);
  EXPECT_TRUE(Copy.Empty());
}
