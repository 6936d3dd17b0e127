// TskPngImage: a PNG picture kept as the ordered list of its chunks, with the decoded pixels in a
// device-independent bitmap owned by the header chunk. The chunk classes are in PngLayers.h
// (ancillary chunks) and PngCodec.h (header and image data).
#pragma once

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Canvas.h"

class TskPngImage;
class TskPngLayer;
class TskPngLayerIHDR;

// A chunk class: its chunk name and how to make and recognise its objects.
struct TskPngLayerClassInfo {
  const char* Name;
  TskPngLayer* (*Create)(TskPngImage* Owner);
  // True when Chunk is of this class or of one derived from it.
  bool (*IsInstance)(const TskPngLayer* Chunk);
};
using TskPngLayerClass = const TskPngLayerClassInfo*;

template <class T>
TskPngLayerClass PngLayerClass()
{
  static const TskPngLayerClassInfo Info{
      T::ClassChunkName(), [](TskPngImage* Owner) -> TskPngLayer* { return new T(Owner); },
      [](const TskPngLayer* Chunk) { return dynamic_cast<const T*>(Chunk) != nullptr; }};
  return &Info;
}

// One chunk of a PNG file. This class keeps chunks of unregistered names as raw bytes.
class TskPngLayer : public TObject {
public:
  explicit TskPngLayer(TskPngImage* AOwner);
  TskPngLayer(const TskPngLayer&) = delete;
  TskPngLayer& operator=(const TskPngLayer&) = delete;

  static const char* ClassChunkName() { return ""; }
  virtual TskPngLayerClass GetClass() const { return PngLayerClass<TskPngLayer>(); }
  // The registered chunk name of the class ("" for raw chunks).
  String ChunkName() const { return GetClass()->Name; }

  // Reads Size data bytes and the CRC that follows; answers whether the CRC matches (the data
  // is kept either way). False as well when the stream ends early.
  virtual bool LoadFromStream(TStream* Stream, const String& AName, Cardinal Size);
  // Writes the chunk (length, name, data, CRC).
  virtual bool SaveToStream(TStream* Stream);
  // Copies another chunk of the same class.
  virtual void Assign(TskPngLayer* Source);

  // The data block: always one byte longer than DataSize.
  Byte* Data() { return FData.data(); }
  const Byte* Data() const { return FData.data(); }
  Cardinal DataSize() const { return FDataSize; }
  void ResizeData(Cardinal Size);
  TskPngImage* Owner() const { return FOwner; }
  // The chunk's name: the class's chunk name, or the name read for raw chunks.
  String Name() const { return FName.empty() ? ChunkName() : FName; }
  void SetName(const String& Value) { FName = Value; }

protected:
  // Writes length, Name, Data and the CRC over name and data.
  bool WriteChunk(TStream* Stream);
  TskPngLayerIHDR* Header() const;

private:
  std::vector<Byte> FData;
  Cardinal FDataSize = 0;
  TskPngImage* FOwner;
  String FName;
};

// A growable array of untyped pointers.
class TskPngPointerList : public TObject {
public:
  explicit TskPngPointerList(TskPngImage* AOwner) : FOwner(AOwner) {}
  TskPngImage* Owner() const { return FOwner; }
  int Count() const { return static_cast<int>(FItems.size()); }

  // Removes the last occurrence of Value; answers it, or nullptr when absent.
  virtual void* Remove(void* Value);
  virtual void Add(void* Value);
  // Inserts before the item at Position, or into an empty list; other positions do nothing.
  virtual void Insert(void* Value, int Position);
  // Out-of-range indexes read nullptr and write nothing.
  void* GetItem(int Index) const;
  void SetItem(int Index, void* Value);
  // New slots are nullptr.
  void SetCount(int Value);

private:
  TskPngImage* FOwner;
  std::vector<void*> FItems;
};

// The chunks of an image, in file order (the image owns them).
class TskPngList : public TskPngPointerList {
public:
  using TskPngPointerList::TskPngPointerList;
  TskPngLayer* GetChunk(int Index) const { return static_cast<TskPngLayer*>(GetItem(Index)); }
  // The first chunk of Class or of a class derived from it; nullptr when none.
  TskPngLayer* FindChunk(TskPngLayerClass Class) const;
  template <class T>
  T* Find() const { return static_cast<T*>(FindChunk(PngLayerClass<T>())); }
  // Adds an ancillary chunk at its place; nullptr when refused (header, image data, palette and
  // end chunks; a second gAMA, tRNS or pHYs; an image without header or end chunk).
  TskPngLayer* AddChunkByClass(TskPngLayerClass Class);
};

// The chunk made for a name: the first registered class of that name, else a raw chunk.
TskPngLayer* CreatePngChunkByName(TskPngImage* Owner, const String& Name);

// Filters the encoder may use (bits of TskPngImage::AllowedFilters).
enum TskPngFilter : Byte { skpfNone = 0, skpfSub = 1, skpfUp = 2, skpfAverage = 3, skpfPaeth = 4 };
using TskPngFilters = Byte;
constexpr TskPngFilters PngFilterBit(TskPngFilter Filter) { return static_cast<TskPngFilters>(1u << Filter); }

// How an image is transparent: not, by one key colour, or per pixel.
constexpr int ptkNone = 0;
constexpr int ptkKeyColor = 1;
constexpr int ptkPerPixel = 2;

class TskPngImage : public TGraphic {
public:
  TskPngImage();
  TskPngImage(const TskPngImage&) = delete;
  TskPngImage& operator=(const TskPngImage&) = delete;
  ~TskPngImage() override;

  // Maps a displayed sample back to a file sample when saving.
  std::array<Byte, 256> UngammaMap;
  // 0 none, 1 Adam7: taken from the header when loading, used when saving.
  Byte Interlacing = 0;
  // Filters the encoder chooses from.
  TskPngFilters AllowedFilters = PngFilterBit(skpfSub);
  // zlib level of the image data and of compressed text.
  Byte DeflateLevel = 7;
  // Maps a file sample to the displayed sample when decoding.
  std::array<Byte, 256> GammaMap;

  // The largest data size of one written image data chunk; smaller values than 65535 give 65535.
  int GetIdatChunkLimit() const { return FIdatChunkLimit; }
  void SetIdatChunkLimit(int Value);
  TskPngList* Chunks() const { return FChunks.get(); }
  // A canvas on the picture (its handle is the header's memory DC).
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  // The header chunk when the list starts with one.
  TskPngLayerIHDR* Header() const;

  bool Empty() const override;
  int GetWidth() const override;
  int GetHeight() const override;
  // Resize the picture, keeping its top-left part.
  void SetWidth(int Value) override;
  void SetHeight(int Value) override;
  bool GetTransparent() const override;
  HPALETTE GetPalette() override;
  void SetPalette(HPALETTE Value) override;

  // Paints the picture stretched into Rect with its transparency.
  void Draw(TCanvas* ACanvas, const TRect& Rect) override;
  // A PNG file from the stream's position. Damaged data raises nothing: a bad signature or
  // header leaves the image empty; a bad chunk ends the load with the chunks read so far.
  void LoadFromStream(TStream* Stream) override;
  void SaveToStream(TStream* Stream) override;
  // nullptr empties the image; a TskPngImage is copied; a TBitmap is converted.
  void Assign(TPersistent* Source) override;

  // The colour of a pixel (0 outside the picture).
  virtual TColor GetPixel(int X, int Y);
  // Sets a pixel (ignored outside the picture).
  virtual void SetPixel(int X, int Y, TColor Value);

  void RemoveAllChunks();
  void CopyImage(TskPngImage* Source);
  // Builds the image from a bitmap: palette images for fewer than 16 bits per pixel, RGB
  // otherwise; a transparent bitmap gets a key colour.
  void AssignBitmap(HBITMAP Bitmap, bool Transparent, COLORREF KeyColor);

  // ptkNone, ptkKeyColor or ptkPerPixel.
  int TransparencyKind() const;
  // The transparent colour of key-colour images (0 without one).
  TColor KeyColor() const;
  // Gives the image an alpha channel: grey and RGB images get an alpha plane of 255, palette
  // images a full palette alpha table. Grey images below 8 bits are left as they are.
  void EnsureAlpha();
  // Row Row of the alpha plane (Width bytes), nullptr without one or outside the picture.
  Byte* AlphaRow(int Row) const;
  // Row Row (0 = top) of the DIB pixels, nullptr outside the picture.
  Byte* ImageRow(int Row) const;
  // Palette images take Palette as theirs (the image owns it then); with CopyToColorTable its
  // colours become the DIB's colour table.
  // Answers false (the palette not taken) for other images.
  bool ApplyPalette(HPALETTE Palette, bool CopyToColorTable);
  // A new picture size; new areas are zero, the top-left part is kept.
  void ResizeImage(int AWidth, int AHeight);

protected:
  void AssignTo(TPersistent* Dest) override;

private:
  void AssignToBitmap(TBitmap* Bitmap);
  void DrawKeyed(HDC DC, const TRect& Rect, COLORREF Key);
  void DrawBlended(HDC DC, const TRect& Rect);
  void ResetGamma();

  int FIdatChunkLimit = 65535;
  std::unique_ptr<TskPngList> FChunks;
  std::unique_ptr<TCanvas> FCanvas;
};
