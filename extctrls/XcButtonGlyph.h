// A button's glyph and caption: TXcxButtonGlyph holds the glyph bitmap, derives one image per
// button state from it, lays glyph and caption out in a rectangle and draws them, with an
// optional drop-down mark. The state images live in image lists shared by cell size
// (TXcGlyphList, one per size, in the program-wide TXcGlyphCache), so that buttons whose glyph
// cells have one size share one list.
//
// Contract callers rely on:
// - A glyph bitmap holds NumGlyphs cells of equal width in the order up, disabled, pressed,
//   exclusive (down in a group), inactive. Setting a bitmap whose width is a whole multiple of
//   its height (at most 5 times) sets NumGlyphs to that multiple; other widths keep NumGlyphs.
//   The bitmap's transparent colour (its bottom-left pixel unless set) is the mask colour.
// - State images are built on demand, once, and kept until the glyph, GrayNewStyle or
//   NumGlyphs changes or ReleaseStateImages is called (a system colour change). A state without
//   its own cell is made from the up cell: disabled as the flat grey form (GrayNewStyle) or the
//   embossed form, inactive as the grey-scale form; pressed with fewer than 3 cells is up.
// - Slots freed by a glyph are reused before a list grows; a list whose last slot is freed is
//   deleted, and the cache goes with the last glyph when it holds no list.
// - An empty glyph draws nothing and lays out as 0 x 0. Nothing is raised.
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Bits.h"
#include "platform/vcl/ButtonTypes.h"
#include "platform/vcl/ImgList.h"

// The button states of the glyph images.
enum : int { XcGlyphUp = 0, XcGlyphDisabled = 1, XcGlyphPressed = 2, XcGlyphExclusive = 3, XcGlyphInactive = 4 };
constexpr int XcGlyphStates = 5;

// An image list of one cell size whose slots are reserved and freed one by one.
class TXcGlyphList : public TCustomImageList {
public:
  TXcGlyphList(int AWidth, int AHeight) : TCustomImageList(nullptr, AWidth, AHeight) {}

  // The first free slot, appending an empty image when every slot is in use.
  int ReserveSlot();
  // A reserved slot holding Image with Mask (monochrome, 1 = transparent; may be null).
  int StoreImage(TBitmap* Image, TBitmap* Mask);
  // A reserved slot holding Image with the pixels of MaskColor transparent.
  int StoreMasked(TBitmap* Image, TColor MaskColor);
  // Frees a slot in use; its image stays until the slot is reserved again.
  void FreeSlot(int Index);

  int GetUsedCount() const { return FUsedCount; }
  bool SlotInUse(int Index) const { return Index >= 0 && FUsedSlots.GetBit(Index); }

private:
  TBits FUsedSlots;
  int FUsedCount = 0;
};

// The shared lists, one per cell size.
class TXcGlyphCache {
public:
  TXcGlyphCache() = default;
  ~TXcGlyphCache();
  TXcGlyphCache(const TXcGlyphCache&) = delete;
  TXcGlyphCache& operator=(const TXcGlyphCache&) = delete;

  // The list of that cell size (searched from the newest), made when there is none.
  TXcGlyphList* AcquireList(int Width, int Height);
  // Deletes the list when none of its slots is in use.
  void ReleaseList(TXcGlyphList* List);
  bool Empty() const { return FLists.empty(); }
  int GetCount() const { return static_cast<int>(FLists.size()); }

private:
  std::vector<TXcGlyphList*> FLists;
};

// The program-wide cache, or null while no glyph has made one.
TXcGlyphCache* SharedGlyphCache();

class TXcxButtonGlyph {
public:
  TXcxButtonGlyph();
  ~TXcxButtonGlyph();
  TXcxButtonGlyph(const TXcxButtonGlyph&) = delete;
  TXcxButtonGlyph& operator=(const TXcxButtonGlyph&) = delete;

  // The glyph bitmap (assigned into the glyph's own bitmap; null empties it).
  TBitmap* GetGlyph() const { return FSourceBitmap.get(); }
  void SetGlyph(TBitmap* Value);
  bool GetGrayNewStyle() const { return FGrayNewStyle; }
  void SetGrayNewStyle(bool Value);
  int GetNumGlyphs() const { return FNumGlyphs; }
  // 0 and the present value change nothing.
  void SetNumGlyphs(int Value);
  TAlignment GetAlignment() const { return FAlignment; }
  void SetAlignment(TAlignment Value) { FAlignment = Value; }
  bool GetWordWrap() const { return FWordWrap; }
  void SetWordWrap(bool Value) { FWordWrap = Value; }
  TColor GetMaskColor() const { return FMaskColor; }

  // Called after the glyph bitmap changed.
  std::function<void()> OnChange;

  // Lays out and draws glyph (in State), caption and, with DrawMark, the drop-down mark in
  // Client moved by Offset; answers the caption's bounds. With Images and a valid Index the
  // glyph is that image of the list instead of the bitmap.
  TRect DrawGlyphAndText(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, const String& Caption,
                         TButtonLayout Layout, int Margin, int Spacing, bool DrawMark, int State, UINT TextFlags,
                         TCustomImageList* Images = nullptr, int Index = -1);
  // Only the layout: where the glyph's top-left corner goes and the caption's bounds.
  void ComputeLayout(TCanvas* Canvas, const TRect& Client, const TPoint& Offset, String& Caption,
                     TButtonLayout Layout, int Margin, int Spacing, bool DrawMark, UINT TextFlags,
                     TCustomImageList* Images, int Index, TPoint& GlyphPos, TRect& TextBounds);

  // The slot of the state's image in the shared list, built on demand; -1 without a glyph.
  int BuildStateImage(int State);
  int BuildImageListStateImage(int State, TCustomImageList* Images, int Index);
  void ReleaseStateImages();
  // The shared list holding this glyph's images (null while none is built).
  TXcGlyphList* GetImageStore() const { return FImageStore; }
  int GetStateImage(int State) const { return FStateImages[State]; }

private:
  void SourceChanged(TObject* Sender);
  void ShortenCaption(TCanvas* Canvas, String& Caption, int Width) const;
  TPoint DrawBitmapGlyph(TCanvas* Canvas, int X, int Y, int State);
  TPoint DrawImageListGlyph(TCanvas* Canvas, int X, int Y, int State, TCustomImageList* Images, int Index);
  void DrawCaptionText(TCanvas* Canvas, const String& Caption, const TRect& Rect, int State, UINT TextFlags) const;
  void StoreState(int State, int Slot);
  TXcGlyphList* AcquireStore(int Width, int Height);
  TColor GrayPixel(TColor Color) const;

  TAlignment FAlignment = taCenter;
  TXcGlyphList* FImageStore = nullptr;
  bool FGrayNewStyle = false;
  int FStateImages[XcGlyphStates] = {-1, -1, -1, -1, -1};
  int FNumGlyphs = 1;
  std::unique_ptr<TBitmap> FSourceBitmap;
  TColor FMaskColor = clFuchsia;
  bool FWordWrap = false;
};

// The drop-down mark, a downward triangle seven pixels wide, with its top row at Y - 1.
void DrawDropDownMark(TCanvas* Canvas, int X, int Y, bool Disabled);
