// The soft outer border (shadow or glow with per-pixel alpha) that a skin's LAYERFRAME record
// gives a skinned form: the record's picture is cut into four strips fitted to the form's size,
// each shown in a never-activated layered popup around the form. With "borderrect" the strips
// size the form when dragged; without it the mouse passes through them.
//
// Contract: without a usable record (none, or "pictureindex" -1, or a picture or mask index that
// names no picture) every operation does nothing. The form's window covers exactly the picture's
// "clientrect" stretched to the form's size (OuterRect). Windows exist only for strips that were
// non-empty when the border was shown. GUI thread only.
#pragma once

#include <array>
#include <memory>

#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinBitmap.h"
#include "skin/foundation/SkinData.h"
#include "skin/foundation/SkinLayered.h"

class TskSkinnedForm;
class TskFormLayerBorder;

enum TskLayerSide : Byte { lsLeft = 0, lsTop = 1, lsRight = 2, lsBottom = 3 };

// Hit zones of the strips: 0 none, 1 left, 2 top, 3 right, 4 bottom, 5 top-left, 6 top-right,
// 7 bottom-left, 8 bottom-right; P on the screen, Form the form's rectangle, E the extents of the
// sizing zones outside it (left, top, right, bottom).
Byte LayerHitZone(TskLayerSide Side, TPoint P, const TRect& Form, const TRect& E);

// The new form bounds a drag of dx, dy in Zone gives (Form unchanged when nothing applies):
// sizes clamped to MinW..MaxW and MinH..MaxH, an edge dragged past a limit does not move.
TRect LayerSizedBounds(Byte Zone, const TRect& Form, int Dx, int Dy, int MinW, int MinH, int MaxW, int MaxH);

class TskFormLayerWindow : public TskLayerWindow {
public:
  TskFormLayerWindow(TskFormLayerBorder* ABorder, TForm* AForm, TskLayerSide ASide);
  bool CanSizeForm() const;
  Byte GetHitZone() const;
  TskLayerSide Side;
  bool Sizing = false;

protected:
  void CreateParams(TCreateParams& Params) override;
  void WndProc(TMessage& Message) override;

private:
  void LayerMouseDown();
  void LayerMouseUp();
  void LayerMouseMove();
  TskFormLayerBorder* FBorder;
  TForm* FForm;
  TPoint FLastPos{0, 0};
  TPoint FCurPos{0, 0};
  Byte FHitZone = 0;
  bool FSkipNextMove = false;
};

class TskFormLayerBorder : public TComponent {
public:
  explicit TskFormLayerBorder(TskSkinnedForm* AOwner);
  ~TskFormLayerBorder() override;

  void LoadSkin(TskSkinData* ASkinData, TForm* AForm);
  // A skin that goes away takes the border with it (the record belongs to the skin).
  void Notification(TComponent* AComponent, TOperation Operation) override;
  void BuildStrips(int W, int H);
  void ShowAt(int X, int Y, int W, int H);
  void HideBorder();
  void UpdateAt(int X, int Y, int W, int H);
  void ShowBorder();
  void UpdateBorder();
  void UpdateForBounds(int Left, int Top, int Width, int Height);
  void MoveBorder(int Left, int Top);
  void ApplyAlpha();
  void SetAlphaLevel(int Value, bool Apply);
  void SetActive(bool Value, bool Apply);
  void ShowAnimated();

  // The outer rectangle around form bounds (Left, Top, Width, Height).
  TRect OuterRect(int Left, int Top, int Width, int Height) const;
  bool HasRecord() const { return FRecord != nullptr; }
  bool HasExtents() const { return FExtents.left || FExtents.top || FExtents.right || FExtents.bottom; }
  void GetExtents(int& L, int& T, int& R, int& B) const;
  const TRect& Extents() const { return FExtents; }
  TskSkinnedForm* SkinForm() const { return FSkinForm; }
  TskDataSkinLayerFrame* Record() const { return FRecord; }
  TskBitmap* Strip(TskLayerSide Side) const { return FStrips[Side].get(); }
  TskFormLayerWindow* Window(TskLayerSide Side) const { return FWindows[Side]; }
  TskBitmap* ActivePicture() const { return FActivePicture.get(); }
  int AlphaValue(bool ForActive) const { return ForActive ? FActiveAlpha : FInactiveAlpha; }

  bool Shown = false;
  bool Active = true;
  int BorderWidth = 0;
  int BorderHeight = 0;

private:
  void PushStrips();
  void PlaceWindows(int X, int Y, int W, int H);
  TskSkinnedForm* FSkinForm;
  TForm* FForm = nullptr;
  TskSkinData* FSkinData = nullptr;
  TskDataSkinLayerFrame* FRecord = nullptr;
  std::unique_ptr<TskBitmap> FActivePicture, FInactivePicture;
  std::array<std::unique_ptr<TskBitmap>, 4> FStrips;
  std::array<TskFormLayerWindow*, 4> FWindows{};
  TRect FExtents{};
  int FActiveAlpha = -1;
  int FInactiveAlpha = 255;
};
