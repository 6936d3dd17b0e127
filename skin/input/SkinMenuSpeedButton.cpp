#include "skin/input/SkinMenuSpeedButton.h"

#include <functional>

#include "skin/controls/SkinResizedButton.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"

namespace {

constexpr int TrackWidth = 15;

bool IsOneOf(const String& Name, std::initializer_list<const char*> Names)
{
  for (const char* n : Names)
    if (Name == n)
      return true;
  return false;
}

void FramedFill(TCanvas* Canvas, const TRect& R, TColor Fill, TColor Frame)
{
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(Fill);
  Canvas->FillRect(R);
  Canvas->GetBrush()->SetColor(Frame);
  Canvas->FrameRect(R);
}

} // namespace

TskSkinMenuSpeedButton::TskSkinMenuSpeedButton(TComponent* AOwner) : TskSkinSpeedButton(AOwner)
{
  SetSkinDataName("toolmenubutton");
}

TskSkinMenuSpeedButton::~TskSkinMenuSpeedButton()
{
  *FAlive = false;
  if (FSkinImagesMenu) {
    FSkinImagesMenu->OnAttachedClose = nullptr;
    FSkinImagesMenu->OnAttachedChange = nullptr;
    FSkinImagesMenu->RemoveFreeNotification(this);
  }
  if (FSkinPopupMenu)
    FSkinPopupMenu->RemoveFreeNotification(this);
}

void TskSkinMenuSpeedButton::SetNewStyle(bool Value)
{
  FNewStyle = Value;
  if (Value)
    SetSkinDataName("resizetoolbutton");
}

void TskSkinMenuSpeedButton::SetTrackPosition(TskTrackPosition Value)
{
  FTrackPosition = Value;
  Repaint();
}

void TskSkinMenuSpeedButton::SetSkinImagesMenu(TskSkinImagesMenu* Value)
{
  if (FSkinImagesMenu) {
    FSkinImagesMenu->OnAttachedChange = nullptr;
    FSkinImagesMenu->RemoveFreeNotification(this);
  }
  FSkinImagesMenu = Value;
  if (Value) {
    Value->FreeNotification(this);
    std::weak_ptr<bool> alive = FAlive;
    Value->OnAttachedChange = [alive, this] {
      if (auto a = alive.lock(); a && *a)
        Repaint();
    };
  }
  Repaint();
}

void TskSkinMenuSpeedButton::SetSkinPopupMenu(TskSkinPopupMenu* Value)
{
  if (FSkinPopupMenu)
    FSkinPopupMenu->RemoveFreeNotification(this);
  FSkinPopupMenu = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinMenuSpeedButton::SetTrackButtonMode(bool Value)
{
  FTrackButtonMode = Value;
  if (FIndex == -1)
    Repaint();
}

void TskSkinMenuSpeedButton::Notification(TComponent* AComponent, TOperation Operation)
{
  TskSkinSpeedButton::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinImagesMenu)
    FSkinImagesMenu = nullptr;
  if (AComponent == FSkinPopupMenu)
    FSkinPopupMenu = nullptr;
}

bool TskSkinMenuSpeedButton::IsPlainRecord() const
{
  return IsOneOf(GetSkinDataName(), {"resizebutton", "resizetoolbutton", "toolbutton", "bigtoolbutton"});
}

void TskSkinMenuSpeedButton::GetSkinData()
{
  TskSkinSpeedButton::GetSkinData();
  TrackButtonRect = NullRect();
  if (FIndex != -1)
    if (auto* r = dynamic_cast<TskDataSkinMenuButtonControl*>(SkinControlRecord(FSkinData, FIndex)))
      TrackButtonRect = r->trackbuttonrect;
}

TRect TskSkinMenuSpeedButton::GetTrackRect() const
{
  const int w = GetWidth();
  const int h = GetHeight();
  if (FIndex != -1 && !IsPlainRecord()) {
    TRect r = TrackButtonRect;
    if (ResizeMode == 2)
      OffsetRect(&r, w - RectWidth(SkinRect), 0);
    else if (ResizeMode == 3)
      OffsetRect(&r, 0, h - RectHeight(SkinRect));
    return r;
  }
  if (FNewStyle && FTrackPosition == sptpBottom)
    return Rect(0, h - TrackWidth, w, h);
  return Rect(w - TrackWidth, 0, w, h);
}

bool TskSkinMenuSpeedButton::InTrackPart(int X, int Y) const
{
  if (!FSkinPopupMenu && !FSkinImagesMenu)
    return false;
  if (!FTrackButtonMode)
    return true;
  const TRect r = GetTrackRect();
  return X >= r.left && X <= r.right && Y >= r.top && Y <= r.bottom;
}

bool TskSkinMenuSpeedButton::GetImagesMenuContent(TCustomImageList*& Images, int& Index, String& Caption)
{
  if (!FUseImagesMenuImage || !FSkinImagesMenu)
    return false;
  TskImagesMenuItem* item = FSkinImagesMenu->GetSelectedItem();
  if (!item)
    return false;
  Images = FSkinImagesMenu->GetImages();
  Index = item->GetImageIndex();
  if (FUseImagesMenuCaption)
    Caption = item->GetCaption();
  return true;
}

// --- the menus -------------------------------------------------------------------------------

void TskSkinMenuSpeedButton::OpenMenus()
{
  std::shared_ptr<bool> alive = FAlive;
  const TPoint origin = ClientToScreen(Point(0, 0));
  const TRect r = Rect(origin.x, origin.y, origin.x + GetWidth(), origin.y + GetHeight());
  if (FSkinPopupMenu) {
    if (OnShowTrackMenu)
      std::invoke(TNotifyEvent(OnShowTrackMenu), this);
    if (!*alive)
      return;
    if (FSkinPopupMenu)
      FSkinPopupMenu->PopupForButton(this, r, false);
    if (!*alive)
      return;
  }
  if (FSkinImagesMenu) {
    if (OnShowTrackMenu)
      std::invoke(TNotifyEvent(OnShowTrackMenu), this);
    if (!*alive || !FSkinImagesMenu)
      return;
    std::weak_ptr<bool> weak = FAlive;
    FSkinImagesMenu->OnAttachedClose = [weak, this] {
      if (auto a = weak.lock(); a && *a)
        ImagesMenuClosed();
    };
    FSkinImagesMenu->Popup(r);
  }
}

void TskSkinMenuSpeedButton::ImagesMenuClosed()
{
  std::shared_ptr<bool> alive = FAlive;
  FMenuOpen = false;
  SetDown(false);
  if (OnHideTrackMenu)
    std::invoke(TNotifyEvent(OnHideTrackMenu), this);
  if (!*alive)
    return;
  FMouseIn = false;
  Repaint();
}

void TskSkinMenuSpeedButton::Dispatch(TMessage& Message)
{
  if (Message.Msg == SkinMenuClosedMessage) {
    std::shared_ptr<bool> alive = FAlive;
    FMenuOpen = false;
    SetDown(false);
    FMouseIn = false;
    if (OnHideTrackMenu)
      std::invoke(TNotifyEvent(OnHideTrackMenu), this);
    if (*alive)
      Repaint();
    return;
  }
  TskSkinSpeedButton::Dispatch(Message);
}

void TskSkinMenuSpeedButton::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (Button == mbLeft) {
    FMenuOpen = InTrackPart(X, Y);
    FMouseIn = true;
    if (FMenuOpen) {
      if (!GetDown())
        SetDown(true);
      OpenMenus();
      return;
    }
  }
  TskSkinSpeedButton::MouseDown(Button, Shift, X, Y);
}

void TskSkinMenuSpeedButton::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FMenuOpen)
    return;
  TskSkinSpeedButton::MouseUp(Button, Shift, X, Y);
}

void TskSkinMenuSpeedButton::CMMouseEnter(TMessage& Message)
{
  if (Designing())
    return;
  if (FMenuOpen) {
    FMouseIn = true;
    return;
  }
  TskSkinSpeedButton::CMMouseEnter(Message);
}

void TskSkinMenuSpeedButton::CMMouseLeave(TMessage& Message)
{
  if (Designing())
    return;
  if (FMenuOpen) {
    FMouseIn = false;
    return;
  }
  TskSkinSpeedButton::CMMouseLeave(Message);
}

// --- painting --------------------------------------------------------------------------------

TRect TskSkinMenuSpeedButton::ContentRect() const
{
  TRect r = Rect(0, 0, GetWidth(), GetHeight());
  if (FNewStyle && FTrackPosition == sptpBottom)
    r.bottom -= TrackWidth;
  else
    r.right -= TrackWidth;
  return r;
}

TRect TskSkinMenuSpeedButton::StripRect() const
{
  const TRect c = Rect(0, 0, GetWidth(), GetHeight());
  if (FNewStyle && FTrackPosition == sptpBottom)
    return Rect(c.left, c.bottom - TrackWidth, c.right, c.bottom);
  return Rect(c.right - TrackWidth, c.top, c.right, c.bottom);
}

bool TskSkinMenuSpeedButton::DrawMenuMarker(TCanvas* Canvas, const TRect& R, bool Active, bool Down, bool Flat)
{
  auto* rec = FIndex == -1 ? nullptr : dynamic_cast<TskDataSkinButtonControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!rec || !Picture)
    return false;
  TRect src = rec->menumarkerrect;
  if (Down)
    src = rec->menumarkerdownrect;
  else if (Active)
    src = rec->menumarkeractiverect;
  else if (Flat)
    src = rec->menumarkerflatrect;
  if (IsNullRect(src) || RectWidth(src) <= 0 || RectHeight(src) <= 0)
    return false;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(RectWidth(src), RectHeight(src));
  b.GetCanvas()->CopyRect(Rect(0, 0, b.GetWidth(), b.GetHeight()), Picture->GetCanvas(), src);
  b.SetTransparent(true);
  b.SetTransparentMode(tmFixed);
  b.SetTransparentColor(static_cast<TColor>(rec->menumarkertransparentcolor));
  Canvas->Draw(R.left + RectWidth(R) / 2 - b.GetWidth() / 2, R.top + RectHeight(R) / 2 - b.GetHeight() / 2, &b);
  return true;
}

void TskSkinMenuSpeedButton::DrawMark(TCanvas* Canvas, TRect R, bool Moved, bool Active, bool Down, bool Flat,
                                      TColor Color)
{
  if (Moved)
    OffsetRect(&R, 2, 2);
  if (UseArrowGlyph) {
    DrawArrowGlyph(Canvas, R, Color, ArrowDirection);
    return;
  }
  if (DrawMenuMarker(Canvas, R, Active, Down, Flat))
    return;
  DrawSmallDownArrow(Canvas, R, Color);
}

void TskSkinMenuSpeedButton::Paint()
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  GetSkinData();
  if (FMouseIn || GetDown() || FMenuOpen || !GetFlat()) {
    TskSkinSpeedButton::Paint();
    return;
  }
  // Flat and idle: content and mark straight on the canvas.
  TCanvas* canvas = GetCanvas();
  const bool ownRecord = FIndex != -1 && !IsPlainRecord();
  const TRect text = ownRecord ? NewClRect : ContentRect();
  if (FIndex != -1) {
    if (GetUseSkinFont()) {
      canvas->GetFont()->SetName(FLook.FontName);
      canvas->GetFont()->SetStyle(FLook.FontStyle);
      canvas->GetFont()->SetHeight(FLook.FontHeight);
    } else {
      canvas->GetFont()->Assign(GetDefaultFont());
    }
    TskSkinColors* colors = FSkinData ? FSkinData->SkinColors : nullptr;
    if (!GetEnabled())
      canvas->GetFont()->SetColor(colors ? colors->cbtnshadow : clBtnShadow);
    else if (GetUseSkinFontColor() && colors)
      canvas->GetFont()->SetColor(colors->cbtntext);
    else
      canvas->GetFont()->SetColor(GetDefaultFont()->GetColor());
  } else {
    SetDefaultButtonFont(canvas, GetDefaultFont(), FSkinData, GetEnabled());
    if (!GetEnabled())
      canvas->GetFont()->SetColor(clBtnShadow);
  }
  canvas->GetBrush()->SetStyle(bsClear);
  DrawContent(canvas, text, text, false, false);
  TRect mark = ownRecord ? Rect(text.right, 0, GetWidth(), GetHeight()) : StripRect();
  const TColor arrow = FIndex == -1 ? clBtnText : (FSkinData && FSkinData->SkinColors ? FSkinData->SkinColors->cbtntext : clBtnText);
  if (FIndex != -1 && DrawMenuMarker(canvas, mark, false, false, true))
    return;
  DrawSmallDownArrow(canvas, mark, arrow);
}

void TskSkinMenuSpeedButton::CreateButtonImage(TBitmap* Bitmap, const TRect& R, bool ADown, bool AMouseIn)
{
  const String& name = GetSkinDataName();
  if (FNewStyle && name == "resizetoolbutton") {
    PaintNewStyle(Bitmap, ADown, AMouseIn);
    return;
  }
  if (IsPlainRecord()) {
    PaintPlainRecord(Bitmap, ADown, AMouseIn);
    return;
  }
  if (FMenuOpen && FTrackButtonMode && !IsNullRect(TrackButtonRect) && !IsNullRect(FLook.DownSkinRect)) {
    TskSkinSpeedButton::CreateButtonImage(Bitmap, FLook.ActiveSkinRect, false, true);
    TRect src = TrackButtonRect;
    OffsetRect(&src, FLook.DownSkinRect.left, FLook.DownSkinRect.top);
    if (Picture)
      Bitmap->GetCanvas()->CopyRect(GetTrackRect(), Picture->GetCanvas(), src);
    return;
  }
  TskSkinSpeedButton::CreateButtonImage(Bitmap, R, ADown, AMouseIn);
}

void TskSkinMenuSpeedButton::PaintPlainRecord(TBitmap* Bitmap, bool ADown, bool AMouseIn)
{
  const int w = GetWidth();
  const int h = GetHeight();
  Bitmap->SetSize(w, h);
  TCanvas* c = Bitmap->GetCanvas();
  const bool pressed = ADown && AMouseIn;
  using S = TskResizedButtonState;
  // The state of the main part and of the drop-down part (see the class comment).
  S main = S::Normal, track = S::Normal;
  if (FTrackButtonMode && FMenuOpen) {
    main = S::Hot;
    track = S::Pressed;
  } else if (pressed) {
    main = track = S::Pressed;
  } else if (AMouseIn) {
    main = track = S::Hot;
  }
  const String& name = GetSkinDataName();
  if (FTrackButtonMode) {
    DrawResizedButton(FSkinData, name, c, Rect(0, 0, w - TrackWidth, h), main);
    DrawResizedButton(FSkinData, name, c, Rect(w - TrackWidth, 0, w, h), track);
  } else {
    DrawResizedButton(FSkinData, name, c, Rect(0, 0, w, h), main);
  }
  SetButtonFont(c, FLook, GetUseSkinFont(), GetDefaultFont(), FSkinData);
  TColor color;
  if (!GetEnabled())
    color = FLook.DisabledFontColor;
  else if (!GetUseSkinFontColor())
    color = GetDefaultFont()->GetColor();
  else if (pressed)
    color = FLook.DownFontColor;
  else if (!AMouseIn)
    color = FLook.FontColor;
  else
    color = FLook.ActiveFontColor;
  c->GetFont()->SetColor(color);
  c->GetBrush()->SetStyle(bsClear);
  DrawContent(c, Rect(0, 0, w - TrackWidth, h), Rect(0, 0, w - TrackWidth, h), ADown, AMouseIn);
  const bool down = pressed || FMenuOpen;
  DrawMark(c, Rect(w - TrackWidth, 0, w, h), down, AMouseIn, down, false,
           FMenuOpen && !UseArrowGlyph ? FLook.DownFontColor : color);
}

void TskSkinMenuSpeedButton::PaintNewStyle(TBitmap* Bitmap, bool ADown, bool AMouseIn)
{
  const int w = GetWidth();
  const int h = GetHeight();
  Bitmap->SetSize(w, h);
  TCanvas* c = Bitmap->GetCanvas();
  const char* mainName = nullptr;
  if (FSkinData && FSkinData->GetControlIndex("resizetoolbutton") != -1)
    mainName = "resizetoolbutton";
  else if (FSkinData && FSkinData->GetControlIndex("resizebutton") != -1)
    mainName = "resizebutton";
  if (!mainName)
    return;
  const char* trackName = FTrackPosition == sptpBottom ? "htracktoolbutton" : "vtracktoolbutton";
  const bool hasTrack = FSkinData->GetControlIndex(trackName) != -1;
  const bool pressed = ADown && AMouseIn;
  using S = TskResizedButtonState;
  const S mainState =
      pressed && !(FTrackButtonMode && FMenuOpen) ? S::Pressed : (AMouseIn || FMenuOpen ? S::Hot : S::Normal);
  const TRect strip = StripRect();
  const bool split = FTrackButtonMode && (AMouseIn || FMenuOpen);
  TRect mainRect = Rect(0, 0, w, h);
  if (split && hasTrack) {
    if (FTrackPosition == sptpBottom)
      mainRect.bottom = strip.top;
    else
      mainRect.right = strip.left;
  }
  DrawResizedButton(FSkinData, mainName, c, mainRect, mainState);
  if (split)
    DrawResizedButton(FSkinData, hasTrack ? trackName : mainName, c, strip, FMenuOpen ? S::Pressed : S::Hot);
  SetButtonFont(c, FLook, GetUseSkinFont(), GetDefaultFont(), FSkinData);
  const TColor color = ButtonCaptionColor(FLook, GetEnabled(), GetUseSkinFontColor(), GetDefaultFont(), ADown, AMouseIn);
  c->GetFont()->SetColor(color);
  c->GetBrush()->SetStyle(bsClear);
  TRect content = ContentRect();
  DrawContent(c, content, content, ADown, AMouseIn);
  const bool moved = FTrackButtonMode ? FMenuOpen : pressed;
  TRect mark = strip;
  if (moved)
    OffsetRect(&mark, -1, -1);  // DrawMark moves by 2: the new style moves by 1
  DrawMark(c, mark, moved, AMouseIn, pressed || FMenuOpen, false, FMenuOpen ? FLook.DownFontColor : color);
}

void TskSkinMenuSpeedButton::CreateControlDefaultImage(TBitmap* B)
{
  const int w = GetWidth();
  const int h = GetHeight();
  B->SetSize(w, h);
  TCanvas* c = B->GetCanvas();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(Rect(0, 0, w, h));
  const bool pressed = GetDown() && FMouseIn;
  const TRect all = GetClientRect();
  const TRect strip = StripRect();
  TRect main = all;
  if (FNewStyle && FTrackPosition == sptpBottom)
    main.bottom = strip.top;
  else
    main.right = strip.left;
  if (FMenuOpen) {
    if (FTrackButtonMode) {
      FramedFill(c, main, static_cast<TColor>(0xD2BDB6), clNavy);
      FramedFill(c, strip, static_cast<TColor>(0xB59385), clNavy);
    } else {
      FramedFill(c, all, static_cast<TColor>(0xB59385), clNavy);
    }
  } else if (pressed) {
    FramedFill(c, all, static_cast<TColor>(0xB59385), clNavy);
  } else if (FMouseIn) {
    FramedFill(c, all, static_cast<TColor>(0xD2BDB6), clNavy);
    if (FTrackButtonMode)
      FramedFill(c, strip, static_cast<TColor>(0xD2BDB6), clNavy);
  } else if (!(FNewStyle && GetFlat())) {
    FramedFill(c, all, clBtnFace, clBtnShadow);
    if (FTrackButtonMode)
      FramedFill(c, strip, clBtnFace, clBtnShadow);
  }
  SetDefaultButtonFont(c, GetDefaultFont(), FSkinData, GetEnabled());
  if (!GetEnabled())
    c->GetFont()->SetColor(clBtnShadow);
  c->GetBrush()->SetStyle(bsClear);
  const TRect content = ContentRect();
  DrawContent(c, content, content, GetDown(), FMouseIn);
  const bool moved = FNewStyle ? (FTrackButtonMode ? FMenuOpen : pressed) : (pressed || FMenuOpen);
  TRect mark = strip;
  if (moved)
    OffsetRect(&mark, 2, 2);
  if (UseArrowGlyph)
    DrawArrowGlyph(c, mark, clBtnText, ArrowDirection);
  else
    DrawSmallDownArrow(c, mark, clBtnText);
}
