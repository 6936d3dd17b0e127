#include "platform/vcl/Jpeg.h"

#include <algorithm>

#include "platform/gdi/JpegFile.h"

TJPEGImage::TJPEGImage() = default;

TJPEGImage::~TJPEGImage() = default;

void TJPEGImage::FreeBitmap() {
  FBitmap.reset();
  FDecodeFailed = false;
}

TBitmap* TJPEGImage::DecodedBitmap() const {
  if (FBitmap || FData.empty() || FDecodeFailed) return FBitmap.get();
  TJpegReadOptions Options;
  Options.ScaleDenominator = 1 << static_cast<int>(FScale);
  Options.BestSpeed = FPerformance == jpBestSpeed;
  TDibImage Image;
  try {
    Image = LoadJpegFromBytes(FData, Options);
  } catch (...) {
    FDecodeFailed = true;  // reported once by LoadFromStream; drawing shows nothing
    throw;
  }
  if (FGrayscale) {
    for (int Y = 0; Y < Image.Height; ++Y) {
      std::uint8_t* Row = Image.ScanLine(Y);
      for (int X = 0; X < Image.Width; ++X) {
        std::uint8_t* P = Row + X * 3;
        auto Grey = static_cast<std::uint8_t>((P[0] * 114 + P[1] * 587 + P[2] * 299 + 500) / 1000);
        P[0] = P[1] = P[2] = Grey;
      }
    }
  }
  auto Bitmap = std::make_unique<TBitmap>();
  Bitmap->LoadFromDibImage(Image);
  if (FPixelFormat == jf8Bit) Bitmap->SetPixelFormat(pf8bit);
  FBitmap = std::move(Bitmap);
  return FBitmap.get();
}

bool TJPEGImage::Empty() const { return FData.empty() && (!FBitmap || FBitmap->Empty()); }

int TJPEGImage::GetWidth() const {
  if (Empty()) return 0;
  try {
    TBitmap* B = DecodedBitmap();
    return B ? B->GetWidth() : 0;
  } catch (const Exception&) {
    return 0;
  }
}

int TJPEGImage::GetHeight() const {
  if (Empty()) return 0;
  try {
    TBitmap* B = DecodedBitmap();
    return B ? B->GetHeight() : 0;
  } catch (const Exception&) {
    return 0;
  }
}

void TJPEGImage::SetScale(TJPEGScale Value) {
  if (FScale == Value) return;
  FScale = Value;
  if (!FData.empty()) FreeBitmap();
  Changed(this);
}

void TJPEGImage::SetGrayscale(bool Value) {
  if (FGrayscale == Value) return;
  FGrayscale = Value;
  if (!FData.empty()) FreeBitmap();
  Changed(this);
}

void TJPEGImage::SetCompressionQuality(int Value) { FQuality = std::clamp(Value, 1, 100); }

void TJPEGImage::SetPixelFormat(TJPEGPixelFormat Value) {
  if (FPixelFormat == Value) return;
  FPixelFormat = Value;
  if (!FData.empty()) FreeBitmap();
  Changed(this);
}

void TJPEGImage::SetPerformance(TJPEGPerformance Value) {
  if (FPerformance == Value) return;
  FPerformance = Value;
  if (!FData.empty()) FreeBitmap();
}

void TJPEGImage::DIBNeeded() { DecodedBitmap(); }

void TJPEGImage::JPEGNeeded() {
  if (FData.empty() && FBitmap && !FBitmap->Empty()) Compress();
}

void TJPEGImage::Compress() {
  TBitmap* B = DecodedBitmap();
  if (!B || B->Empty()) return;
  TJpegWriteOptions Options;
  Options.Quality = FQuality;
  Options.Grayscale = FGrayscale;
  Options.ProgressiveEncoding = FProgressiveEncoding;
  FData = SaveJpegToBytes(B->ToDibImage(), Options);
}

TBitmap* TJPEGImage::GetBitmap() {
  DecodedBitmap();
  if (!FBitmap) FBitmap = std::make_unique<TBitmap>();
  return FBitmap.get();
}

void TJPEGImage::Assign(TPersistent* Source) {
  if (auto* J = dynamic_cast<TJPEGImage*>(Source)) {
    if (J == this) return;
    FData = J->FData;
    FBitmap.reset();
    if (FData.empty() && J->FBitmap) {
      FBitmap = std::make_unique<TBitmap>();
      FBitmap->Assign(J->FBitmap.get());
    }
    FDecodeFailed = false;
    FScale = J->FScale;
    FGrayscale = J->FGrayscale;
    FQuality = J->FQuality;
    FPixelFormat = J->FPixelFormat;
    FPerformance = J->FPerformance;
    FProgressiveEncoding = J->FProgressiveEncoding;
    Changed(this);
    return;
  }
  if (auto* B = dynamic_cast<TBitmap*>(Source)) {
    FData.clear();
    FDecodeFailed = false;
    FBitmap = std::make_unique<TBitmap>();
    FBitmap->Assign(B);
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TJPEGImage::AssignTo(TPersistent* Dest) {
  if (auto* B = dynamic_cast<TBitmap*>(Dest)) {
    TBitmap* Decoded = DecodedBitmap();
    B->Assign(Decoded);
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TJPEGImage::Draw(TCanvas* ACanvas, const TRect& Rect) {
  TBitmap* B = nullptr;
  try {
    B = DecodedBitmap();
  } catch (const Exception&) {
    return;  // damaged data draws nothing
  }
  if (B) ACanvas->StretchDraw(Rect, B);
}

void TJPEGImage::LoadFromStream(TStream* Stream) {
  Int64 Size = Stream->GetSize() - Stream->GetPosition();
  if (Size < 0) Size = 0;
  if (Size > MaxDibBytes) throw EInvalidGraphic("JPEG error: file too large");
  std::vector<std::uint8_t> Data(static_cast<size_t>(Size));
  if (Size > 0) Stream->ReadBuffer(Data.data(), Size);
  // Decode now so that a damaged file is reported here and the old picture stays.
  TJPEGImage Probe;
  Probe.FData = Data;
  Probe.FScale = FScale;
  Probe.FGrayscale = FGrayscale;
  Probe.FPixelFormat = FPixelFormat;
  Probe.FPerformance = FPerformance;
  if (Data.empty()) throw EInvalidGraphic("JPEG error: empty file");
  Probe.DecodedBitmap();
  FData = std::move(Data);
  FBitmap = std::move(Probe.FBitmap);
  FDecodeFailed = false;
  Changed(this);
}

void TJPEGImage::SaveToStream(TStream* Stream) {
  JPEGNeeded();
  if (!FData.empty()) Stream->WriteBuffer(FData.data(), static_cast<Int64>(FData.size()));
}
