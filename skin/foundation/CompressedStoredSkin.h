// A skin stored inside the program: the zlib stream of a stored-skin payload (frame pictures,
// active pictures and the skin INI text), built from a skin INI file and its BMP pictures or
// read from a compressed skin file; and the skin list that holds several of them.
#pragma once

#include <cstdint>

#include "platform/rtl/Streams.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Collection.h"
#include "platform/vcl/Component.h"

// The layout version the builder writes, and the highest one a reader accepts.
constexpr std::int32_t StoredSkinWriteVersion = 2;
constexpr std::int32_t StoredSkinMaxVersion = 3;
// The largest payload a stored skin may inflate to.
constexpr std::int64_t StoredSkinMaxPayload = std::int64_t(64) << 20;

class TskCompressedStoredSkin : public TComponent {
public:
  explicit TskCompressedStoredSkin(TComponent* AOwner);
  ~TskCompressedStoredSkin() override;

  TMemoryStream* CompressedStream() const { return FCompressedStream; }
  String Description;

  const String& GetFileName() const { return FFileName; }
  // At design time builds the stream from the skin INI file (see LoadFromSkinFile) and keeps
  // the name without its folder; otherwise only stores the name.
  void SetFileName(const String& Value);
  const String& GetCompressedFileName() const { return FCompressedFileName; }
  // At design time reads the compressed skin file; otherwise only stores the name.
  void SetCompressedFileName(const String& Value);

  // The "CompressedData" property of a stored form: the zlib bytes as they are.
  void ReadCompressedData(TStream* Stream);
  void WriteCompressedData(TStream* Stream);
  // Replaces the zlib bytes (the program's built-in skins are byte arrays).
  void SetCompressedData(const void* Data, std::size_t Size);

  bool IsEmpty() const { return FCompressedStream->GetSize() == 0; }
  // Inflates the stream from its start and appends the payload to Stream. A payload larger
  // than StoredSkinMaxPayload raises EZDecompressionError (no real skin comes near it).
  void DecompressToStream(TMemoryStream* Stream);
  // Builds the stream from a skin INI file and the BMP pictures beside it. A skin INI without
  // VERSION, PICTURES, FORMINFO, SKINOBJECTS and SKINCONTROLS changes nothing; a missing or
  // damaged picture raises its error and leaves the stream empty.
  void LoadFromSkinFile(const String& FileName);
  // The compressed skin file layout: int32 version 2, int32 size, the zlib bytes.
  void SaveToCompressedStream(TStream* Stream);
  // Reads that layout from the start of Stream; a version above 3 leaves the stream empty.
  void LoadFromCompressedStream(TStream* Stream);
  void LoadFromCompressedFile(const String& FileName);

private:
  TMemoryStream* FCompressedStream;
  String FFileName;
  String FCompressedFileName;
};

class TskSkinListItem;
class TskCompressedSkinList;

class TskSkinListItems : public TCollection {
public:
  explicit TskSkinListItems(TskCompressedSkinList* ASkinList);
  TskSkinListItem* GetItem(int Index) const;
  TPersistent* GetOwner() const override;

private:
  TskCompressedSkinList* FSkinList;
};

class TskSkinListItem : public TCollectionItem {
public:
  // Named "skSkin<n>" after its index at creation.
  explicit TskSkinListItem(TCollection* ACollection);
  ~TskSkinListItem() override;

  TskCompressedStoredSkin* StoredSkin() const { return FStoredSkin; }
  String Name;
  String Description;
  const String& GetFileName() const { return FFileName; }
  void SetFileName(const String& Value);
  const String& GetCompressedFileName() const { return FCompressedFileName; }
  void SetCompressedFileName(const String& Value);
  String GetDisplayName() const override { return Name; }
  void Assign(TPersistent* Source) override;

  // The "Skin" property of a stored form: the compressed skin file layout.
  void ReadSkin(TStream* Stream) { FStoredSkin->LoadFromCompressedStream(Stream); }
  void WriteSkin(TStream* Stream) { FStoredSkin->SaveToCompressedStream(Stream); }

private:
  bool ListDesigning() const;

  TskCompressedStoredSkin* FStoredSkin;
  String FFileName;
  String FCompressedFileName;
};

class TskCompressedSkinList : public TComponent {
public:
  explicit TskCompressedSkinList(TComponent* AOwner);
  ~TskCompressedSkinList() override;
  TskSkinListItems* GetSkins() const { return FSkins; }
  void SetSkins(TskSkinListItems* Value) { FSkins->Assign(Value); }

private:
  TskSkinListItems* FSkins;
};

// The most memory the pictures of one stored skin may take once decoded (4 bytes a pixel): a
// few bytes of run-length data can claim a picture of hundreds of megabytes.
constexpr std::int64_t StoredSkinMaxPictureBytes = std::int64_t(256) << 20;

// Reads one BMP file of a stored-skin payload: exactly the file's bfSize bytes, checked
// against what the stream still holds. A damaged picture raises EInvalidGraphic or EReadError.
// With PictureBudget, the picture's decoded size (4 bytes a pixel, by its header) is taken from
// the budget first; a picture beyond what is left raises EReadError and is not decoded.
void ReadStoredSkinBitmap(TStream* Stream, TBitmap* Bitmap, std::int64_t* PictureBudget = nullptr);
