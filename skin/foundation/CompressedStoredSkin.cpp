#include "skin/foundation/CompressedStoredSkin.h"

#include <memory>

#include "platform/rtl/Files.h"
#include "platform/rtl/Format.h"
#include "platform/rtl/IniFiles.h"
#include "platform/rtl/Paths.h"
#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StringList.h"
#include "platform/gdi/DibImage.h"
#include "skin/foundation/SkinIniLayout.h"
#include "skin/foundation/SkinValueCodec.h"
#include "skin/foundation/ZCompress.h"

namespace {

void WriteInt32(TStream* Stream, std::int32_t Value)
{
  std::uint8_t bytes[4];
  for (int i = 0; i < 4; ++i)
    bytes[i] = static_cast<std::uint8_t>(static_cast<std::uint32_t>(Value) >> (8 * i));
  Stream->WriteBuffer(bytes, 4);
}

std::int32_t ReadInt32(TStream* Stream)
{
  std::uint8_t bytes[4];
  Stream->ReadBuffer(bytes, 4);
  return static_cast<std::int32_t>(bytes[0] | (bytes[1] << 8) | (bytes[2] << 16) |
                                   (static_cast<std::uint32_t>(bytes[3]) << 24));
}

// Copies Size bytes of Source (from its position) into the compressed stream, refusing a size
// that the source does not hold.
void CopyCompressed(TStream* Source, TMemoryStream* Dest, std::int32_t Size)
{
  if (Size <= 0)
    return;
  const Int64 left = Source->GetSize() - Source->GetPosition();
  if (Size > left)
    throw EReadError(RtlConsts::SReadError);
  Dest->CopyFrom(Source, Size);
}

bool DesignTime(TComponentState State)
{
  return (State & csDesigning) && !(State & csLoading);
}

} // namespace

namespace {

// The pixel count a BMP file's header claims (0 when the header is too short to tell).
std::int64_t ClaimedPixels(const std::uint8_t* File, std::size_t Size)
{
  const auto le = [File](std::size_t At, int Bytes) {
    std::uint32_t v = 0;
    for (int i = Bytes - 1; i >= 0; --i)
      v = (v << 8) | File[At + static_cast<std::size_t>(i)];
    return v;
  };
  if (Size < 26)
    return 0;
  const std::uint32_t headerSize = le(14, 4);
  if (headerSize == 12) // the old core header: 16-bit sizes
    return std::int64_t(le(18, 2)) * le(20, 2);
  if (Size < 26 + 4)
    return 0;
  const std::int64_t width = static_cast<std::int32_t>(le(18, 4));
  const std::int64_t height = static_cast<std::int32_t>(le(22, 4));
  return (width < 0 ? -width : width) * (height < 0 ? -height : height);
}

} // namespace

void ReadStoredSkinBitmap(TStream* Stream, TBitmap* Bitmap, std::int64_t* PictureBudget)
{
  const Int64 start = Stream->GetPosition();
  const Int64 left = Stream->GetSize() - start;
  std::uint8_t header[14];
  if (left < static_cast<Int64>(sizeof header))
    throw EInvalidGraphic("Bitmap image is not valid");
  Stream->ReadBuffer(header, sizeof header);
  const std::uint32_t fileSize = header[2] | (header[3] << 8) | (header[4] << 16) |
                                 (static_cast<std::uint32_t>(header[5]) << 24);
  if (header[0] != 'B' || header[1] != 'M' || fileSize < sizeof header || fileSize > left)
    throw EInvalidGraphic("Bitmap image is not valid");
  TMemoryStream file;
  file.WriteBuffer(header, sizeof header);
  file.CopyFrom(Stream, static_cast<Int64>(fileSize) - static_cast<Int64>(sizeof header));
  if (PictureBudget) {
    const std::int64_t bytes =
        4 * ClaimedPixels(static_cast<const std::uint8_t*>(file.GetMemory()), static_cast<std::size_t>(file.GetSize()));
    if (bytes > *PictureBudget)
      throw EReadError(Format("The skin's pictures need more than %d MB", {static_cast<int>(StoredSkinMaxPictureBytes >> 20)}));
    *PictureBudget -= bytes;
  }
  file.SetPosition(0);
  Bitmap->LoadFromStream(&file);
}

// --- TskCompressedStoredSkin ---

TskCompressedStoredSkin::TskCompressedStoredSkin(TComponent* AOwner)
    : TComponent(AOwner), FCompressedStream(new TMemoryStream)
{
}

TskCompressedStoredSkin::~TskCompressedStoredSkin()
{
  delete FCompressedStream;
}

void TskCompressedStoredSkin::SetFileName(const String& Value)
{
  if (DesignTime(GetComponentState())) {
    LoadFromSkinFile(Value);
    FFileName = ExtractFileName(Value);
  } else {
    FFileName = Value;
  }
}

void TskCompressedStoredSkin::SetCompressedFileName(const String& Value)
{
  if (DesignTime(GetComponentState())) {
    LoadFromCompressedFile(Value);
    FCompressedFileName = ExtractFileName(Value);
  } else {
    FCompressedFileName = Value;
  }
}

void TskCompressedStoredSkin::ReadCompressedData(TStream* Stream)
{
  FCompressedStream->LoadFromStream(Stream);
}

void TskCompressedStoredSkin::WriteCompressedData(TStream* Stream)
{
  FCompressedStream->SaveToStream(Stream);
}

void TskCompressedStoredSkin::SetCompressedData(const void* Data, std::size_t Size)
{
  FCompressedStream->Clear();
  if (Size > 0)
    FCompressedStream->WriteBuffer(Data, static_cast<Int64>(Size));
  FCompressedStream->SetPosition(0);
}

void TskCompressedStoredSkin::DecompressToStream(TMemoryStream* Stream)
{
  FCompressedStream->SetPosition(0);
  ZDecompressStream(FCompressedStream, Stream, 4096, StoredSkinMaxPayload);
}

void TskCompressedStoredSkin::LoadFromSkinFile(const String& FileName)
{
  TStringList lines;
  lines.LoadFromFile(FileName);
  TMemIniFile ini("");
  ini.SetStrings(&lines);
  if (!CheckSkinIniSections(&ini))
    return;
  const String folder = ExtractFilePath(FileName);

  FCompressedStream->Clear();
  TMemoryStream payload;
  WriteInt32(&payload, StoredSkinWriteVersion);
  for (const char* key : {"picture", "inactivepicture", "mask", "rolluppicture", "rollupmask"}) {
    const String name = ini.ReadString("PICTURES", key, "");
    TBitmap bitmap;
    if (!name.empty())
      bitmap.LoadFromFile(folder + name);
    const std::uint8_t flag = bitmap.Empty() ? 1 : 0;
    payload.WriteBuffer(&flag, 1);
    if (!bitmap.Empty())
      bitmap.SaveToStream(&payload);
  }
  TStringList pictures;
  ReadStrings(&ini, "PICTURES", "activepictures", &pictures);
  WriteInt32(&payload, pictures.GetCount());
  for (int i = 0; i < pictures.GetCount(); ++i) {
    TBitmap bitmap;
    bitmap.LoadFromFile(folder + pictures.Get(i));
    bitmap.SaveToStream(&payload);
  }
  for (int i = 0; i < lines.GetCount(); ++i) {
    const String line = lines.Get(i) + "\r\n";
    payload.WriteBuffer(line.data(), static_cast<Int64>(line.size()));
  }
  payload.SetPosition(0);
  ZCompressStream(&payload, FCompressedStream, 9);
  FCompressedStream->SetPosition(0);
}

void TskCompressedStoredSkin::SaveToCompressedStream(TStream* Stream)
{
  WriteInt32(Stream, StoredSkinWriteVersion);
  WriteInt32(Stream, static_cast<std::int32_t>(FCompressedStream->GetSize()));
  FCompressedStream->SetPosition(0);
  if (FCompressedStream->GetSize() > 0)
    Stream->CopyFrom(FCompressedStream, FCompressedStream->GetSize());
}

void TskCompressedStoredSkin::LoadFromCompressedStream(TStream* Stream)
{
  FCompressedStream->Clear();
  Stream->SetPosition(0);
  if (ReadInt32(Stream) > StoredSkinMaxVersion)
    return;
  CopyCompressed(Stream, FCompressedStream, ReadInt32(Stream));
  FCompressedStream->SetPosition(0);
}

void TskCompressedStoredSkin::LoadFromCompressedFile(const String& FileName)
{
  FCompressedStream->Clear();
  TFileStream file(FileName, fmOpenRead | fmShareDenyWrite);
  if (ReadInt32(&file) > StoredSkinMaxVersion)
    return;
  CopyCompressed(&file, FCompressedStream, ReadInt32(&file));
  FCompressedStream->SetPosition(0);
}

// --- skin list ---

TskSkinListItems::TskSkinListItems(TskCompressedSkinList* ASkinList)
    : TCollection(TCollection::ItemClassOf<TskSkinListItem>()), FSkinList(ASkinList)
{
}

TskSkinListItem* TskSkinListItems::GetItem(int Index) const
{
  return static_cast<TskSkinListItem*>(TCollection::GetItem(Index));
}

TPersistent* TskSkinListItems::GetOwner() const
{
  return FSkinList;
}

TskSkinListItem::TskSkinListItem(TCollection* ACollection)
    : TCollectionItem(ACollection), FStoredSkin(new TskCompressedStoredSkin(nullptr))
{
  Name = Format("skSkin%d", {GetIndex()});
}

TskSkinListItem::~TskSkinListItem()
{
  delete FStoredSkin;
}

bool TskSkinListItem::ListDesigning() const
{
  auto* items = dynamic_cast<TskSkinListItems*>(GetCollection());
  auto* list = items ? dynamic_cast<TComponent*>(items->GetOwner()) : nullptr;
  return list && DesignTime(list->GetComponentState());
}

void TskSkinListItem::SetFileName(const String& Value)
{
  if (ListDesigning()) {
    FStoredSkin->LoadFromSkinFile(Value);
    FFileName = ExtractFileName(Value);
  } else {
    FFileName = Value;
  }
}

void TskSkinListItem::SetCompressedFileName(const String& Value)
{
  if (ListDesigning()) {
    FStoredSkin->LoadFromCompressedFile(Value);
    FCompressedFileName = ExtractFileName(Value);
  } else {
    FCompressedFileName = Value;
  }
}

void TskSkinListItem::Assign(TPersistent* Source)
{
  if (auto* item = dynamic_cast<TskSkinListItem*>(Source)) {
    Name = item->Name;
    Description = item->Description;
    FFileName = item->FFileName;
    FCompressedFileName = item->FCompressedFileName;
    TMemoryStream copy;
    item->FStoredSkin->WriteCompressedData(&copy);
    copy.SetPosition(0);
    FStoredSkin->ReadCompressedData(&copy);
    return;
  }
  TCollectionItem::Assign(Source);
}

TskCompressedSkinList::TskCompressedSkinList(TComponent* AOwner)
    : TComponent(AOwner), FSkins(new TskSkinListItems(this))
{
}

TskCompressedSkinList::~TskCompressedSkinList()
{
  delete FSkins;
}
