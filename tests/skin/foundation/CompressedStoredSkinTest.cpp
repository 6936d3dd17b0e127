#include <gtest/gtest.h>

#include "platform/rtl/Files.h"
#include "skin/foundation/CompressedStoredSkin.h"
#include "skin/foundation/ZCompress.h"
#include "tests/support/TempDirTest.h"

namespace {

class CompressedStoredSkinTest : public TTempDirTest {
protected:
  // A 4x2 24-bit picture saved as a BMP file in the test folder.
  void WritePicture(const String& Name, TColor Color)
  {
    TBitmap bitmap;
    bitmap.SetPixelFormat(pf24bit);
    bitmap.SetSize(4, 2);
    bitmap.GetCanvas()->GetBrush()->SetColor(Color);
    bitmap.GetCanvas()->FillRect(TRect{0, 0, 4, 2});
    bitmap.SaveToFile(Dir + Name);
  }

  void WriteIni(const String& Name, const String& Text) { WriteBytes(Dir + Name, Text); }

  static std::vector<std::uint8_t> Payload(TskCompressedStoredSkin& Skin)
  {
    TMemoryStream payload;
    Skin.DecompressToStream(&payload);
    const auto* bytes = static_cast<const std::uint8_t*>(payload.GetMemory());
    return std::vector<std::uint8_t>(bytes, bytes + payload.GetSize());
  }
};

const char* const MinimalIni = "[VERSION]\r\nskinname=t\r\n[PICTURES]\r\npicture=frame.bmp\r\n"
                               "activepicturescount=2\r\n0=a.bmp\r\n1=b.bmp\r\n"
                               "[FORMINFO]\r\nclientrect=1,1,3,1\r\n[SKINOBJECTS]\r\ncount=0\r\n"
                               "[SKINCONTROLS]\r\ncount=0\r\n";

TEST_F(CompressedStoredSkinTest, BuildsTheVersionTwoPayload)
{
  WritePicture("frame.bmp", clRed);
  WritePicture("a.bmp", clLime);
  WritePicture("b.bmp", clBlue);
  WriteIni("skin.ini", MinimalIni);
  TskCompressedStoredSkin skin(nullptr);
  skin.LoadFromSkinFile(Dir + "skin.ini");
  ASSERT_FALSE(skin.IsEmpty());

  const auto payload = Payload(skin);
  ASSERT_GT(payload.size(), 20u);
  EXPECT_EQ(payload[0], 2);      // version
  EXPECT_EQ(payload[4], 0);      // picture follows
  EXPECT_EQ(payload[5], 'B');
  const std::uint32_t frameSize = payload[7] | (payload[8] << 8) | (payload[9] << 16);
  std::size_t at = 5 + frameSize;
  EXPECT_EQ(payload[at], 1);     // no inactive picture
  EXPECT_EQ(payload[at + 1], 1); // no mask
  EXPECT_EQ(payload[at + 2], 1); // no roll-up picture
  EXPECT_EQ(payload[at + 3], 1); // no roll-up mask
  EXPECT_EQ(payload[at + 4], 2); // two active pictures
  const String text(reinterpret_cast<const char*>(payload.data()), payload.size());
  EXPECT_NE(text.find("[VERSION]\r\nskinname=t\r\n"), String::npos);
  EXPECT_EQ(text.substr(text.size() - 25), "[SKINCONTROLS]\r\ncount=0\r\n");
}

TEST_F(CompressedStoredSkinTest, IncompleteSkinTextChangesNothingAndMissingPictureEmpties)
{
  WriteIni("bad.ini", "[VERSION]\r\nskinname=t\r\n[PICTURES]\r\npicture=x.bmp\r\n");
  TskCompressedStoredSkin skin(nullptr);
  skin.SetCompressedData("xyz", 3);
  skin.LoadFromSkinFile(Dir + "bad.ini");
  EXPECT_EQ(skin.CompressedStream()->GetSize(), 3);

  WriteIni("skin.ini", MinimalIni); // its pictures do not exist
  EXPECT_ANY_THROW(skin.LoadFromSkinFile(Dir + "skin.ini"));
  EXPECT_TRUE(skin.IsEmpty());
}

TEST_F(CompressedStoredSkinTest, CompressedFileLayout)
{
  TskCompressedStoredSkin empty(nullptr);
  TMemoryStream out;
  empty.SaveToCompressedStream(&out);
  ASSERT_EQ(out.GetSize(), 8);
  const auto* b = static_cast<const std::uint8_t*>(out.GetMemory());
  EXPECT_EQ(b[0], 2);
  EXPECT_EQ(b[4], 0);

  TskCompressedStoredSkin skin(nullptr);
  skin.SetCompressedData("abcdef", 6);
  TMemoryStream file;
  skin.SaveToCompressedStream(&file);
  TskCompressedStoredSkin back(nullptr);
  back.LoadFromCompressedStream(&file);
  EXPECT_EQ(back.CompressedStream()->GetSize(), 6);

  // A version above 3 leaves the stored skin empty; a size beyond the data is refused.
  static_cast<std::uint8_t*>(file.GetMemory())[0] = 4;
  back.LoadFromCompressedStream(&file);
  EXPECT_TRUE(back.IsEmpty());
  static_cast<std::uint8_t*>(file.GetMemory())[0] = 3;
  static_cast<std::uint8_t*>(file.GetMemory())[4] = 200;
  EXPECT_ANY_THROW(back.LoadFromCompressedStream(&file));
  EXPECT_TRUE(back.IsEmpty());
}

TEST_F(CompressedStoredSkinTest, DamagedZlibDataRaisesTheDecompressionError)
{
  TskCompressedStoredSkin skin(nullptr);
  skin.SetCompressedData("\x78\x9c\xff\xff\xff", 5);
  TMemoryStream payload;
  EXPECT_THROW(skin.DecompressToStream(&payload), EZDecompressionError);
  skin.SetCompressedData("\x78\x9c", 2); // truncated
  EXPECT_THROW(skin.DecompressToStream(&payload), EZDecompressionError);
}

TEST(ZCompress, RoundTripOfALargeBuffer)
{
  String text;
  for (int i = 0; i < 50000; ++i)
    text += static_cast<char>('a' + (i * 7919) % 26);
  TStringStream in(text);
  TMemoryStream packed;
  ZCompressStream(&in, &packed, 9);
  packed.SetPosition(0);
  TStringStream out;
  ZDecompressStream(&packed, &out, 4096);
  EXPECT_EQ(out.GetDataString(), text);
}

TEST(ZCompress, InflatedSizeIsCapped)
{
  struct Case {
    int Bytes;
    Int64 MaxSize;
    bool Throws;
  };
  const Case cases[] = {
      {100000, 0, false},      // no cap
      {100000, 100000, false}, // exactly at the cap
      {100001, 100000, true},  // one byte over
      {5000000, 65536, true},  // a bomb: stops near the cap, not at the end
  };
  for (const Case& c : cases) {
    TStringStream in(String(static_cast<std::size_t>(c.Bytes), ' '));
    TMemoryStream packed;
    ZCompressStream(&in, &packed, 9);
    packed.SetPosition(0);
    TMemoryStream out;
    if (c.Throws) {
      EXPECT_THROW(ZDecompressStream(&packed, &out, 4096, c.MaxSize), EZDecompressionError) << c.Bytes;
      EXPECT_LE(out.GetSize(), c.MaxSize) << c.Bytes;
    } else {
      ZDecompressStream(&packed, &out, 4096, c.MaxSize);
      EXPECT_EQ(out.GetSize(), c.Bytes);
    }
  }
}

TEST(ZCompress, StoredSkinRefusesAPayloadAboveItsLimit)
{
  TStringStream in(String(static_cast<std::size_t>(StoredSkinMaxPayload + 1), '\0'));
  TMemoryStream packed;
  ZCompressStream(&in, &packed, 1);
  TskCompressedStoredSkin skin(nullptr);
  skin.SetCompressedData(packed.GetMemory(), static_cast<std::size_t>(packed.GetSize()));
  TMemoryStream payload;
  EXPECT_THROW(skin.DecompressToStream(&payload), EZDecompressionError);
  EXPECT_LE(payload.GetSize(), StoredSkinMaxPayload);
}

TEST(SkinList, ItemsAreNamedByTheirIndexAtCreation)
{
  TskCompressedSkinList list(nullptr);
  list.GetSkins()->Add();
  list.GetSkins()->Add();
  EXPECT_EQ(list.GetSkins()->GetItem(0)->Name, "skSkin0");
  EXPECT_EQ(list.GetSkins()->GetItem(1)->Name, "skSkin1");
  list.GetSkins()->Delete(0);
  EXPECT_EQ(list.GetSkins()->GetItem(0)->Name, "skSkin1");
  EXPECT_EQ(list.GetSkins()->GetItem(0)->GetDisplayName(), "skSkin1");
}

} // namespace
