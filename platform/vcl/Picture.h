// TPicture, a holder of any graphic chosen by file extension, and TIcon, a small picture with
// a transparency mask.
#pragma once

#include <functional>
#include <memory>

#include "platform/vcl/Bitmap.h"

// An icon: an image and a monochrome mask (1 = transparent), drawn as Windows draws icons
// (the mask ANDed in, then the image XORed over it). Files: .ico with uncompressed images
// (the largest, deepest entry is taken).
class TIcon : public TGraphic {
public:
  TIcon();
  ~TIcon() override;

  bool Empty() const override { return FImage->Empty(); }
  int GetWidth() const override { return FImage->GetWidth(); }
  int GetHeight() const override { return FImage->GetHeight(); }
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  bool GetTransparent() const override { return true; }

  // The colour image and its mask (same size); changing them changes the icon.
  TBitmap* GetImage() const { return FImage.get(); }
  TBitmap* GetMaskBitmap() const { return FMask.get(); }
  // Builds the icon from a bitmap: pixels of TransparentColor become transparent.
  void AssignBitmap(TBitmap* Bitmap, TColor TransparentColor);

  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // EInvalidGraphic "Icon image is not valid" for damaged or unsupported data.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  std::unique_ptr<TBitmap> FImage;
  std::unique_ptr<TBitmap> FMask;
};

using TGraphicFactory = std::function<TGraphic*()>;

class TPicture : public TPersistent {
public:
  TPicture();
  ~TPicture() override;

  // The held graphic (owned), null when empty.
  TGraphic* GetGraphic() const { return FGraphic.get(); }
  // Keeps a copy of Value (a graphic of the same kind, assigned); null empties the picture.
  void SetGraphic(TGraphic* Value);
  // The graphic as a bitmap; a picture holding another kind is replaced by an empty bitmap.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* Value) { SetGraphic(Value); }
  TIcon* GetIcon();
  void SetIcon(TIcon* Value) { SetGraphic(Value); }
  int GetWidth() const { return FGraphic ? FGraphic->GetWidth() : 0; }
  int GetHeight() const { return FGraphic ? FGraphic->GetHeight() : 0; }

  // Picks the graphic kind by the file's extension: EInvalidGraphic "Unknown picture file
  // extension (.xyz)" for an unregistered one. A damaged file leaves the picture as it was.
  void LoadFromFile(const String& FileName);
  void SaveToFile(const String& FileName);
  void Assign(TPersistent* Source) override;

  // Registers a graphic kind for an extension (without the dot, any case).
  static void RegisterFileFormat(const String& Extension, const String& Description,
                                 TGraphicFactory Factory);
  static void UnregisterFileFormat(const String& Extension);

  TNotifyEvent OnChange;

protected:
  void AssignTo(TPersistent* Dest) override;
  virtual void Changed(TObject* Sender);

private:
  void Install(std::unique_ptr<TGraphic> Graphic);
  std::unique_ptr<TGraphic> FGraphic;
};
