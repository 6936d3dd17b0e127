// TskEffectBmp: a plain 24-bit pixel buffer (a top-down DIB section) on which skinned controls
// cross-fade between two looks (the morph kinds) and draw inactive windows with an effect
// (brighter, darker, grey, noisy, blurred, inverted). Buffers are made from a bitmap handle,
// changed in place and drawn to a device context.
//
// Pixels are three bytes in memory order blue, green, red; each row is padded to a multiple of
// 4 bytes. Factors are doubles; every blended channel is rounded to the nearest whole number with
// halves to even and then clamped to 0..255.
//
// Robustness rules of this class (all silent, as drawing reports nothing):
// - A buffer of zero width or height has no pixels; every operation on it does nothing.
// - Pixel, row and rectangle accesses outside the buffer are ignored (reads give 0).
// - Morph factors outside 0..1 (and NaN) are taken as 0..1, so every column or row an
//   operation computes lies inside the buffer.
// - The turned copies (Rotate90Left ...) do nothing when Dest has not the needed size.
#pragma once

#include <memory>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/System.h"
#include "platform/vcl/Classes.h"

class TskEffectBmp : public TObject {
public:
  // Create: an uninitialised AWidth x AHeight buffer. Raises Exception("Can't allocate the DIB
  // handle") when the system refuses the pixel memory. Sizes of 0 or less give an empty buffer.
  TskEffectBmp(int AWidth, int AHeight);
  // A buffer of the bitmap's size holding its pixels, read through a "DISPLAY" device context.
  // A handle that is not a bitmap gives an empty buffer.
  static std::unique_ptr<TskEffectBmp> CreateFromBitmap(HBITMAP ABitmap);
  ~TskEffectBmp() override;
  TskEffectBmp(const TskEffectBmp&) = delete;
  TskEffectBmp& operator=(const TskEffectBmp&) = delete;

  HBITMAP GetHandle() const { return FHandle; }
  Byte* GetBits() const { return FBits; }
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  // Row length x Height in bytes.
  int GetSize() const { return FSize; }
  // Bytes per row: Width x 3 + (Width mod 4).
  int GetRowLength() const { return FRowLength; }
  const BITMAPINFO& GetBitmapInfo() const { return FInfo; }

  // SetDIBitsToDevice of the whole buffer at (X, Y).
  void Draw(HDC DC, int X, int Y) const;

  // One pixel as the low three bytes of a value, in memory order: 0x00RRGGBB.
  Cardinal GetPixel(int X, int Y) const;
  void SetPixel(int X, int Y, Cardinal Value);
  // Address of row Y (nullptr outside the buffer).
  Byte* RowPtr(int Y) const;
  // Copy row Y out to, or in from, a Width x 3 byte buffer.
  void GetRow(int Y, void* Buffer) const;
  void SetRow(int Y, const void* Buffer);

  // The morphs: this buffer (A) moves toward B by the factor x (0 = A, 1 = B). All but MorphRect
  // do nothing when A and B differ in size.
  // Kind 0: plain cross-fade of every channel.
  void Morph(const TskEffectBmp* B, double x);
  // Cross-fade of rectangle R of this buffer (right and bottom exclusive) with B's pixels from
  // (BX, BY); the part outside either buffer is left alone.
  void MorphRect(const TskEffectBmp* B, const TRect& R, double x, int BX, int BY);
  // Kind 1: B opens from the centre with soft edges, along the longer side.
  void MorphGradient(const TskEffectBmp* B, double x);
  void MorphHorzGradient(const TskEffectBmp* B, double x);
  void MorphVertGradient(const TskEffectBmp* B, double x);
  // Kind 2: a ramp from B at the left edge to A at column Round(Width x x).
  void MorphLeftGradient(const TskEffectBmp* B, double x);
  // Kind 3: a ramp from B at the right edge.
  void MorphRightGradient(const TskEffectBmp* B, double x);
  // Kind 4: B's right part slides in from the left over A.
  void MorphLeftSlide(const TskEffectBmp* B, double x);
  // Kind 5: B's left part slides in from the right over A.
  void MorphRightSlide(const TskEffectBmp* B, double x);
  // Kind 6: B pushes in from the left and A moves right.
  void MorphPush(const TskEffectBmp* B, double x);

  // The inactive effects.
  // 0: blend toward white by x.
  void ChangeBrightness(double x);
  // 1: blend toward black by x.
  void ChangeDarkness(double x);
  // 2: 0.3 red + 0.59 green + 0.11 blue on all three channels.
  void GrayScale();
  // 3: one value Random(Amount) - Amount div 2 added to the channels of each pixel, drawn from
  // the runtime library's generator in pixel order (an Amount of 0 adds 0); nothing for a
  // negative Amount.
  void AddNoise(int Amount);
  // 4: each channel becomes the mean of four samples Amount away diagonally, row by row from the
  // top, reading the rows above as already changed; nothing for an Amount of 0 or less.
  void SplitBlur(int Amount);
  // 5: each channel := 255 - channel.
  void Invert();

  // Copies of the buffer turned into Dest: Dest must be Height x Width for the turns and
  // Width x Height for the flip. Dest may be this buffer.
  void Rotate90Left(TskEffectBmp* Dest) const;
  void Rotate90Right(TskEffectBmp* Dest) const;
  void FlipVert(TskEffectBmp* Dest) const;

private:
  struct TFromBitmap {};
  TskEffectBmp(TFromBitmap, HBITMAP ABitmap);
  void Allocate(int AWidth, int AHeight);
  bool SameSize(const TskEffectBmp* B) const;
  // Shared by the three turned copies: Dest pixel Map(x, y) := pixel (x, y).
  template <class TMap>
  void CopyTurned(TskEffectBmp* Dest, int DestWidth, int DestHeight, TMap Map) const;

  HBITMAP FHandle = nullptr;
  Byte* FBits = nullptr;
  int FWidth = 0;
  int FHeight = 0;
  int FRowLength = 0;
  int FSize = 0;
  BITMAPINFO FInfo{};
};
