#include "core/FrameImage.h"

TFrameBitmapImage::TFrameBitmapImage() : FBitmap(std::make_unique<TBitmap>()) {}

TFrameBitmapImage::~TFrameBitmapImage() = default;

void TFrameBitmapImage::ShowFrame(TBitmap* Frame)
{
  FBitmap->Assign(Frame);
}

void TFrameBitmapImage::Clear()
{
  FBitmap = std::make_unique<TBitmap>();
}

int TFrameBitmapImage::GetWidth() const { return FBitmap->GetWidth(); }

int TFrameBitmapImage::GetHeight() const { return FBitmap->GetHeight(); }

TCanvas* TFrameBitmapImage::GetCanvas()
{
  return FBitmap->Empty() ? nullptr : FBitmap->GetCanvas();
}

void TFrameBitmapImage::SaveToFile(const String& FileName)
{
  FBitmap->SaveToFile(FileName);
}

namespace {

TFrameImage* InstalledImage = nullptr;

// Made on first use and kept for the program's life (its bitmap must not outlive the drawing
// layer at exit).
TFrameBitmapImage& HiddenImage()
{
  static TFrameBitmapImage* Image = new TFrameBitmapImage();
  return *Image;
}

}  // namespace

TFrameImage* PreviewFrameImage()
{
  return InstalledImage ? InstalledImage : &HiddenImage();
}

void SetPreviewFrameImage(TFrameImage* Image)
{
  InstalledImage = Image;
}
