// TCustomImageList / TImageList: a strip of equally sized images with masks, drawn normally,
// transparently or with the disabled (embossed) look.
#pragma once

#include <memory>
#include <vector>

#include "platform/vcl/Bitmap.h"

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TCustomImageList;

// A client's link to an image list: OnChange fires whenever the list changes. Freeing the link
// unregisters it; freeing the list leaves the link with a null Sender.
class TChangeLink : public TObject {
public:
  TChangeLink() = default;
  ~TChangeLink() override;
  TChangeLink(const TChangeLink&) = delete;
  TChangeLink& operator=(const TChangeLink&) = delete;
  TCustomImageList* GetSender() const { return FSender; }
  void SetSender(TCustomImageList* Value) { FSender = Value; }
  // Fires OnChange with the image list as sender.
  virtual void Change();
  TNotifyEvent OnChange;

private:
  TCustomImageList* FSender = nullptr;
};

class TCustomImageList : public TComponent {
public:
  explicit TCustomImageList(TComponent* AOwner);
  // An image list of the given cell size.
  TCustomImageList(TComponent* AOwner, int AWidth, int AHeight);
  ~TCustomImageList() override;

  int GetWidth() const { return FWidth; }
  // Changing the cell size clears the list.
  void SetWidth(int Value);
  int GetHeight() const { return FHeight; }
  void SetHeight(int Value);
  int GetCount() const { return static_cast<int>(FImages.size()); }
  // The colour of the masked pixels when drawn in dsNormal, dsFocus or dsSelected: clNone
  // leaves them transparent (as dsTransparent always does).
  TColor GetBkColor() const { return FBkColor; }
  void SetBkColor(TColor Value);
  TColor GetBlendColor() const { return FBlendColor; }
  void SetBlendColor(TColor Value);
  TDrawingStyle GetDrawingStyle() const { return FDrawingStyle; }
  void SetDrawingStyle(TDrawingStyle Value);
  TImageType GetImageType() const { return FImageType; }
  void SetImageType(TImageType Value);
  bool GetMasked() const { return FMasked; }
  void SetMasked(bool Value);
  int GetAllocBy() const { return FAllocBy; }
  void SetAllocBy(int Value) { FAllocBy = Value > 0 ? Value : 1; }

  // Adds the cells of Image (as many as fit its width, at least one); Mask (monochrome, 1 =
  // transparent) may be null. Answers the index of the first new image, -1 for an empty image.
  int Add(TBitmap* Image, TBitmap* Mask);
  // Like Add, with the pixels of MaskColor transparent (clDefault: the bottom-left pixel).
  int AddMasked(TBitmap* Image, TColor MaskColor);
  int AddIcon(class TIcon* Image);
  void Insert(int Index, TBitmap* Image, TBitmap* Mask);
  void Replace(int Index, TBitmap* Image, TBitmap* Mask);
  // EInvalidOperation "Invalid ImageList Index" outside the list.
  void Delete(int Index);
  void Clear();
  void Move(int CurIndex, int NewIndex);

  // Draws image Index with its top-left corner at (X, Y). Disabled images are drawn embossed in
  // clBtnHighlight and clBtnShadow. An index outside the list draws nothing.
  void Draw(TCanvas* Canvas, int X, int Y, int Index, bool Enabled = true);
  void Draw(TCanvas* Canvas, int X, int Y, int Index, TDrawingStyle ADrawingStyle, TImageType AImageType,
            bool Enabled);
  // Image Index into Image (resized to the cell, the transparent area in BkColor or black).
  void GetBitmap(int Index, TBitmap* Image);
  // Image Index as an icon (image and mask).
  void GetIcon(int Index, class TIcon* Image);

  void Assign(TPersistent* Source) override;

  // Several clients can follow one list: each registered link hears every change (before
  // OnChange). Registering sets the link's Sender; unregistering clears it. A link is held once.
  void RegisterChanges(TChangeLink* Value);
  void UnRegisterChanges(TChangeLink* Value);

  TNotifyEvent OnChange;

protected:
  virtual void DoDraw(int Index, TCanvas* Canvas, int X, int Y, UINT Style, bool Enabled);
  virtual void Change();

private:
  struct TImage {
    std::unique_ptr<TBitmap> Image;  // 32 bpp; transparent pixels black
    std::unique_ptr<TBitmap> Mask;   // monochrome; 1 = transparent
  };
  TImage MakeCell(TBitmap* Image, TBitmap* Mask, int Column) const;
  std::vector<TImage> MakeCells(TBitmap* Image, TBitmap* Mask) const;
  void CheckIndex(int Index) const;

  int FWidth = 16;
  int FHeight = 16;
  TColor FBkColor = clNone;
  TColor FBlendColor = clNone;
  TDrawingStyle FDrawingStyle = dsNormal;
  TImageType FImageType = itImage;
  bool FMasked = true;
  int FAllocBy = 4;
  std::vector<TImage> FImages;
  std::vector<TChangeLink*> FClients;
};

class TImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
};

// An image list that can show one of its images following the pointer while something is
// dragged: a small top-level window (layered, transparent to the mouse) that is moved with
// DragMove. Coordinates are those of the window given to BeginDrag or DragLock (the desktop
// window or null: the screen).
class TDragImageList : public TCustomImageList {
public:
  using TCustomImageList::TCustomImageList;
  ~TDragImageList() override;

  // The image shown while dragging and the point of it that sits under the pointer. False for
  // an index outside the list.
  bool SetDragImage(int Index, int HotSpotX, int HotSpotY);
  TPoint GetHotSpot() const { return FDragHotspot; }
  int GetDragIndex() const { return FDragIndex; }
  // A cursor (TCursor of the controls) kept for the drag; crNone (-1) by default.
  int GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(int Value) { FDragCursor = Value; }
  bool GetDragging() const { return FDragging; }

  // Starts the drag image with the pointer at (X, Y) of Window and shows it. False when the
  // drag image is not in the list or the window system cannot make the window.
  bool BeginDrag(HWND Window, int X, int Y);
  // Moves the image with the pointer (at (X, Y)); false when not dragging.
  bool DragMove(int X, int Y);
  // Shows the image with the pointer at (X, Y) of Window (taken as the drag's window from now
  // on) / hides it again.
  bool DragLock(HWND Window, int XPos, int YPos);
  void DragUnlock();
  // Shows / hides the image where it is (the drag goes on).
  void ShowDragImage();
  void HideDragImage();
  // The image is visible now.
  bool GetDragImageVisible() const { return FShown; }
  // The window that shows the image (null when not dragging).
  HWND GetDragWindow() const { return FDragWindow; }
  // Ends the drag image (the window goes away); false when not dragging.
  bool EndDrag();

protected:
  void Change() override;

private:
  friend LRESULT DragImageWindowProc(HWND, UINT, WPARAM, LPARAM);
  void PlaceWindow(int X, int Y);
  void PaintWindow(HDC DC);
  int FDragIndex = 0;
  TPoint FDragHotspot{};
  int FDragCursor = -1;
  bool FDragging = false;
  bool FShown = false;
  HWND FDragHandle = nullptr;
  HWND FDragWindow = nullptr;
};

// Draw styles of DoDraw (the ILD_ flags of image lists).
constexpr UINT ILD_NORMAL = 0x0000;
constexpr UINT ILD_TRANSPARENT = 0x0001;
constexpr UINT ILD_MASK = 0x0010;
constexpr UINT ILD_BLEND25 = 0x0002;
constexpr UINT ILD_BLEND50 = 0x0004;
constexpr UINT ILD_FOCUS = ILD_BLEND25;
constexpr UINT ILD_SELECTED = ILD_BLEND50;
