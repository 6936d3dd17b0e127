// TFrameImage: the preview window's hidden frame image ("screenshot1") as the crop routines see
// it. A frame grab hands it the decoded frame; the border measurements read its pixels through
// its canvas and mark the found borders on it; the marked picture is saved for inspection.
//
// Contract:
// - After ShowFrame the image's width and height are those of the frame, it sizes itself to
//   its picture and is repainted; it keeps that picture until the next ShowFrame.
// - Pixel reads through GetCanvas() at column GetWidth() or row GetHeight() (just outside the
//   picture) give CLR_INVALID, which equals no colour inside the picture.
// - SaveToFile writes the picture's own bitmap data under the given name, whatever the
//   name's extension says.
//
// The preview window puts its own image in place with SetPreviewFrameImage; until it exists
// (and in tests) a hidden bitmap-backed image, TFrameBitmapImage, serves.
#pragma once

#include <memory>

#include "platform/vcl/Bitmap.h"

class TFrameImage {
public:
  virtual ~TFrameImage() = default;

  // The picture becomes a copy of Frame (8 bits per pixel with the halftone palette, as the
  // grab makes it); the image takes Frame's size and is repainted.
  virtual void ShowFrame(TBitmap* Frame) = 0;
  // Drops the picture: the image is 0 x 0 afterwards.
  virtual void Clear() = 0;
  virtual int GetWidth() const = 0;
  virtual int GetHeight() const = 0;
  // The picture's canvas (reads and writes go to the picture). Null while the image is empty.
  virtual TCanvas* GetCanvas() = 0;
  virtual void SaveToFile(const String& FileName) = 0;
};

// The hidden image: the picture lives in a bitmap; repainting has nothing to show.
class TFrameBitmapImage : public TFrameImage {
public:
  TFrameBitmapImage();
  ~TFrameBitmapImage() override;

  void ShowFrame(TBitmap* Frame) override;
  void Clear() override;
  int GetWidth() const override;
  int GetHeight() const override;
  TCanvas* GetCanvas() override;
  void SaveToFile(const String& FileName) override;

  TBitmap* GetBitmap() const { return FBitmap.get(); }

private:
  std::unique_ptr<TBitmap> FBitmap;
};

// The frame image the crop routines use: the one installed last, else the hidden one.
TFrameImage* PreviewFrameImage();
// Installs the preview window's image (not owned); null goes back to the hidden one.
void SetPreviewFrameImage(TFrameImage* Image);
