// TJPEGImage: a JPEG picture. It keeps the compressed data as loaded and decodes it into a
// bitmap when the pixels are needed; saving writes the data back unchanged, or encodes the
// bitmap when the picture came from pixels.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

#include "platform/vcl/Bitmap.h"

enum TJPEGScale { jsFullSize, jsHalf, jsQuarter, jsEighth };
enum TJPEGPixelFormat { jf24Bit, jf8Bit };
enum TJPEGPerformance { jpBestQuality, jpBestSpeed };

class TJPEGImage : public TGraphic {
public:
  TJPEGImage();
  ~TJPEGImage() override;

  bool Empty() const override;
  // Of the decoded picture (at the current Scale); decodes when needed.
  int GetWidth() const override;
  int GetHeight() const override;
  // Pictures can't be resized in place: ignored, as the class library does.
  void SetWidth(int) override {}
  void SetHeight(int) override {}

  TJPEGScale GetScale() const { return FScale; }
  void SetScale(TJPEGScale Value);
  bool GetGrayscale() const { return FGrayscale; }
  void SetGrayscale(bool Value);
  // 1..100, used when encoding.
  int GetCompressionQuality() const { return FQuality; }
  void SetCompressionQuality(int Value);
  TJPEGPixelFormat GetPixelFormat() const { return FPixelFormat; }
  void SetPixelFormat(TJPEGPixelFormat Value);
  TJPEGPerformance GetPerformance() const { return FPerformance; }
  void SetPerformance(TJPEGPerformance Value);
  bool GetProgressiveEncoding() const { return FProgressiveEncoding; }
  void SetProgressiveEncoding(bool Value) { FProgressiveEncoding = Value; }

  // Makes sure the decoded bitmap exists / the compressed data exists.
  void DIBNeeded();
  void JPEGNeeded();
  // Encodes the bitmap again with the current settings.
  void Compress();
  // The decoded picture (owned by the image).
  TBitmap* GetBitmap();

  void Assign(TPersistent* Source) override;
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // Takes the rest of the stream as JPEG data; EInvalidGraphic when it does not decode.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void FreeBitmap();
  std::vector<std::uint8_t> FData;  // compressed; empty when the picture came from pixels
  mutable std::unique_ptr<TBitmap> FBitmap;
  mutable bool FDecodeFailed = false;
  TJPEGScale FScale = jsFullSize;
  bool FGrayscale = false;
  int FQuality = 90;
  TJPEGPixelFormat FPixelFormat = jf24Bit;
  TJPEGPerformance FPerformance = jpBestQuality;
  bool FProgressiveEncoding = false;
  TBitmap* DecodedBitmap() const;
};
