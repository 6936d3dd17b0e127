// Components around TskPngImage: an image list whose pictures are PNG images drawn with their
// transparency, a storage component holding a named collection of PNG images, and a graphic
// control that shows one image of either, optionally centred and with a mirrored, fading
// reflection below it.
#pragma once

#include <memory>

#include "platform/vcl/Collection.h"
#include "platform/vcl/Component.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/ImgList.h"
#include "skin/foundation/PngImage.h"
#include "skin/foundation/SkinBitmap.h"

class TskPngImageList;
class TskPngImageStorage;

// Draws a copy of Image stretched into R at about half opacity: key-colour pixels are left out,
// every other pixel gets half its alpha (images without alpha count as opaque). Grey and palette
// images are turned into RGB with alpha first.
void DrawDisabled(TskPngImage* Image, TCanvas* Canvas, const TRect& R);

// ---- Image list ----

class TskPngImageItem : public TCollectionItem {
public:
  // Creates the image, names the item "PngImage<index>" and adds a placeholder cell to the
  // owning list so that the list's image count follows the collection.
  explicit TskPngImageItem(TCollection* ACollection);
  // Deletes the list's cell at the item's index (when the list still has one there).
  ~TskPngImageItem() override;

  const String& GetName() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TskPngImage* GetPngImage() const { return FPngImage.get(); }
  // Copies Value into the item's image and reports a change of all items.
  void SetPngImage(TskPngImage* Value);
  // An item of the same class: its image and name; anything else as the base class.
  void Assign(TPersistent* Source) override;
  // The name, or the base class's text when the name is empty.
  String GetDisplayName() const override;

  // The stored-form property "PngImage.Data": the PNG file bytes.
  void ReadData(TStream* Stream) { FPngImage->LoadFromStream(Stream); }
  void WriteData(TStream* Stream) { FPngImage->SaveToStream(Stream); }

private:
  TskPngImageList* ImageList() const;

  String FName;
  std::unique_ptr<TskPngImage> FPngImage;
};

class TskPngImageItems : public TCollection {
public:
  explicit TskPngImageItems(TskPngImageList* AImageList);
  TskPngImageItem* Add() { return static_cast<TskPngImageItem*>(TCollection::Add()); }
  TskPngImageItem* GetItem(int Index) const { return static_cast<TskPngImageItem*>(TCollection::GetItem(Index)); }
  TskPngImageItem* operator[](int Index) const { return GetItem(Index); }
  TPersistent* GetOwner() const override;
  TskPngImageList* GetImageList() const { return FImageList; }

private:
  TskPngImageList* FImageList;
};

class TskPngImageList : public TCustomImageList {
public:
  explicit TskPngImageList(TComponent* AOwner);
  ~TskPngImageList() override;

  TskPngImageItems* GetPngImages() const { return FPngImages.get(); }
  // Replaces the items with copies of Value's.
  void SetPngImages(TskPngImageItems* Value) { FPngImages->Assign(Value); }
  // The list's cell size. A new value empties the collection, except while loading.
  int GetPngWidth() const { return GetWidth(); }
  void SetPngWidth(int Value);
  int GetPngHeight() const { return GetHeight(); }
  void SetPngHeight(int Value);

protected:
  // Draws item Index's image stretched to the cell at (X, Y); disabled at half opacity.
  void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled) override;

private:
  std::unique_ptr<TskPngImageItems> FPngImages;
};

// ---- Image storage ----

class TskPngStorageImageItem : public TCollectionItem {
public:
  // Creates the image and names the item "PngImage<index>".
  explicit TskPngStorageImageItem(TCollection* ACollection);
  ~TskPngStorageImageItem() override;

  const String& GetName() const { return FName; }
  void SetName(const String& Value) { FName = Value; }
  TskPngImage* GetPngImage() const { return FPngImage.get(); }
  void SetPngImage(TskPngImage* Value);
  // The image's size.
  int GetPngWidth() const { return FPngImage->GetWidth(); }
  int GetPngHeight() const { return FPngImage->GetHeight(); }
  void Assign(TPersistent* Source) override;
  String GetDisplayName() const override;

  // The stored-form property "PngImage.Data": the PNG file bytes.
  void ReadData(TStream* Stream) { FPngImage->LoadFromStream(Stream); }
  void WriteData(TStream* Stream) { FPngImage->SaveToStream(Stream); }

private:
  String FName;
  std::unique_ptr<TskPngImage> FPngImage;
};

class TskPngStorageImageItems : public TCollection {
public:
  explicit TskPngStorageImageItems(TskPngImageStorage* AStorage);
  TskPngStorageImageItem* Add() { return static_cast<TskPngStorageImageItem*>(TCollection::Add()); }
  TskPngStorageImageItem* GetItem(int Index) const
  {
    return static_cast<TskPngStorageImageItem*>(TCollection::GetItem(Index));
  }
  TskPngStorageImageItem* operator[](int Index) const { return GetItem(Index); }
  TPersistent* GetOwner() const override;

private:
  TskPngImageStorage* FStorage;
};

class TskPngImageStorage : public TComponent {
public:
  explicit TskPngImageStorage(TComponent* AOwner);
  ~TskPngImageStorage() override;

  TskPngStorageImageItems* GetPngImages() const { return FPngImages.get(); }
  void SetPngImages(TskPngStorageImageItems* Value) { FPngImages->Assign(Value); }
  // Draws item Index's image at its own size at (X, Y); disabled at half opacity. An index
  // outside the collection draws nothing.
  void DrawImage(int Index, TCanvas* Canvas, int X, int Y, bool Enabled);

private:
  std::unique_ptr<TskPngStorageImageItems> FPngImages;
};

// ---- Image view ----

class TskPngImageView : public TGraphicControl {
public:
  explicit TskPngImageView(TComponent* AOwner);
  ~TskPngImageView() override;

  // Paints into a memory bitmap over a capture of what lies under the view; the view is then
  // opaque.
  bool GetDoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value);
  bool GetReflectionEffect() const { return FReflectionEffect; }
  void SetReflectionEffect(bool Value);
  // On by default: the view takes the size of its image (plus the reflection).
  void SetAutoSize(bool Value) override;
  TskPngImageList* GetPngImageList() const { return FPngImageList; }
  void SetPngImageList(TskPngImageList* Value);
  TskPngImageStorage* GetPngImageStorage() const { return FPngImageStorage; }
  void SetPngImageStorage(TskPngImageStorage* Value);
  int GetImageIndex() const { return FImageIndex; }
  // Values below -1 are ignored.
  void SetImageIndex(int Value);
  bool GetCenter() const { return FCenter; }
  void SetCenter(bool Value);

  // With AutoSize: the image's size, plus half its height and 5 with the reflection.
  void FitToImage();

  void Notification(TComponent* AComponent, TOperation Operation) override;

protected:
  void Paint() override;
  void Loaded() override;
  void CMEnabledChanged(TMessage& Message) override;
  void CMMouseEnter(TMessage& Message) override;
  void CMMouseLeave(TMessage& Message) override;

private:
  // The storage item's or the list item's image that the view shows, or nullptr.
  TskPngImage* SourceImage() const;
  bool StorageSource() const;
  bool ListSource() const;
  void BuildReflection();
  void SourceChanged();

  bool FDoubleBuffered = false;
  bool FReflectionEffect = false;
  TskPngImageList* FPngImageList = nullptr;
  TskPngImageStorage* FPngImageStorage = nullptr;
  int FImageIndex = -1;
  bool FCenter = false;
  std::unique_ptr<TskBitmap> FReflection;
};
