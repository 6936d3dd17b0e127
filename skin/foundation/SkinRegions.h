// Window regions from mask pictures (black pixels belong to the window), the region of a resized
// skinned frame, and captures of what lies under a control or a popup (its parent's background
// with the graphic controls stacked below it, or a piece of the screen).
#pragma once

#include <cstdint>
#include <vector>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/Controls.h"

// A 24-bit top-down copy of a bitmap handle with a row table, for fast pixel scanning. Pixels
// are three bytes B, G, R; rows are RowInc = Width * 3 + Gap bytes (Gap = Width mod 4).
class TFBitmap : public TObject {
public:
  explicit TFBitmap(HBITMAP BitmapHandle);
  TFBitmap(const TFBitmap&) = delete;
  TFBitmap& operator=(const TFBitmap&) = delete;
  ~TFBitmap() override;

  HBITMAP Handle = nullptr;
  Byte* Bits = nullptr;
  std::vector<Byte*> Pixels;
  int Width = 0;
  int Height = 0;
  int RowInc = 0;
  int Gap = 0;
  int Size = 0;
  BITMAPINFO Info{};
  HDC hDC = nullptr;

private:
  HGDIOBJ FOldBitmap = nullptr;
};

// The RGNDATA of Mask's pure black pixels offset by (X, Y): one rectangle per horizontal run,
// rows top to bottom, runs left to right, bounds (X, Y, X + width, Y + height). Returns the
// size in bytes (32 + 16 x N); 0 for an empty mask, Data then left as it was.
int BuildRegionDataFromMask(TBitmap* Mask, int X, int Y, std::vector<std::uint8_t>& Data);
// The region of Mask's black pixels (an empty region for a mask without any); nullptr for an
// empty mask.
void CreateRegionFromMask(HRGN& Rgn, TBitmap* Mask);
// The four border strips of a whole-window mask re-laid for a window W wide whose client
// rectangle is NCR. The points and CR are in mask coordinates; NLT..NCR in window coordinates.
void BuildFrameEdgeMasks(const TPoint& LT, const TPoint& RT, const TPoint& LB, const TPoint& RB, const TRect& CR,
                         const TPoint& NLT, const TPoint& NRT, const TPoint& NLB, const TPoint& NRB, const TRect& NCR,
                         TBitmap* Mask, TBitmap* TopMask, TBitmap* LeftMask, TBitmap* RightMask, TBitmap* BottomMask,
                         int W);
// The region of a resized skinned frame (the caller owns it); nullptr for degenerate geometry
// or an empty client rectangle.
void CreateFrameRegion(HRGN& Rgn, const TPoint& LT, const TPoint& RT, const TPoint& LB, const TPoint& RB,
                       const TRect& CR, const TPoint& NLT, const TPoint& NRT, const TPoint& NLB, const TPoint& NRB,
                       const TRect& NCR, TBitmap* Mask, int W, int H);
// Paints onto Canvas what lies under Control: the parent's background and the visible graphic
// siblings below Control in z-order that overlap it.
void PaintParentBackground(TControl* Control, TCanvas* Canvas);
// The same for the part R (Control's coordinates) of Control.
void PaintPageControlBackground(TControl* Control, const TRect& R, TCanvas* Canvas);
// Copies the screen area at (X, Y) of the bitmap's size into Bitmap.
void CopyScreenToBitmap(int X, int Y, TBitmap* Bitmap);
