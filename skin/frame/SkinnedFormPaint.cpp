// TskSkinnedForm: painting of the skinned frame, the default frame and the client-drawn frame,
// the client backgrounds with the logo, the small icon, the active and inactive looks, and the
// window's opacity (alpha blend and fade-in).
#include <algorithm>
#include <chrono>
#include <thread>

#include "platform/vcl/Graphics.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/frame/SkinnedForm.h"

namespace {

// A canvas drawing on a device context for the time it lives.
class TDcCanvas {
public:
  explicit TDcCanvas(HDC DC) { FCanvas.SetHandle(DC); }
  ~TDcCanvas() { FCanvas.SetHandle(nullptr); }
  TDcCanvas(const TDcCanvas&) = delete;
  TDcCanvas& operator=(const TDcCanvas&) = delete;
  TCanvas* operator->() { return &FCanvas; }
  TCanvas* get() { return &FCanvas; }

private:
  TCanvas FCanvas;
};

void ApplyInactiveEffect(TskEffectBmp& Bmp, TskInactiveEffect Effect)
{
  switch (Effect) {
  case ieBrightness: Bmp.ChangeBrightness(0.5); break;
  case ieDarkness: Bmp.ChangeDarkness(0.3); break;
  case ieGrayScale: Bmp.GrayScale(); break;
  case ieNoise: Bmp.AddNoise(50); break;
  case ieSplitBlur: Bmp.SplitBlur(1); break;
  case ieInvert: Bmp.Invert(); break;
  }
}

void Ring(TCanvas* C, const TRect& R, TColor TopLeft, TColor BottomRight)
{
  DrawBevelFrame(C, R, TopLeft, BottomRight);
}

} // namespace

std::vector<int> FadeSteps(int Target)
{
  std::vector<int> steps;
  if (Target <= 0)
    return steps;
  const int step = std::max(1, Target / 15);
  for (int alpha = 0; alpha < Target;) {
    alpha = std::min(Target, alpha + step);
    steps.push_back(alpha);
  }
  return steps;
}

bool TskSkinnedForm::GetAutoRenderInactive() const
{
  return FSkinLoaded && GetSkinData()->autorenderinginactiveimage;
}

bool TskSkinnedForm::IsFormActive() const
{
  if (IsMDIChild() || IsMDIForm())
    return FFormActive;
  return FOwnerForm->GetActive() && Screen->GetActiveCustomForm() == FOwnerForm;
}

void TskSkinnedForm::UpdateCaptionActivity(bool Refresh)
{
  const bool active = Refresh && IsFormActive();
  for (std::size_t i = 0; i < FObjectList.size(); ++i) {
    auto* caption = dynamic_cast<TskSkinCaptionObject*>(FObjectList[i]);
    if (!caption || !DrawnInRollUpState(caption))
      continue;
    caption->Active = active;
    if (!FSupportNCArea && Refresh)
      caption->ReDraw();
    if (caption->HasActivityAnimation())
      StartAnimateTimer();
  }
  if (active) {
    if (OnActivate)
      OnActivate(this);
  } else if (OnDeActivate) {
    OnDeActivate(this);
  }
}

void TskSkinnedForm::DrawObject(TskActiveSkinObject* Obj)
{
  if (!Obj || !DrawnInRollUpState(Obj) || !FOwnerForm->HandleAllocated())
    return;
  if (FSupportNCArea) {
    if ((IsMDIChild() && FSkinWindowState == wsMaximized) || BorderNone())
      return;
    HWND wnd = FOwnerForm->GetHandle();
    HDC dc = GetWindowDC(wnd);
    if (!dc)
      return;
    {
      TDcCanvas canvas(dc);
      Obj->Draw(canvas.get(), true);
    }
    ReleaseDC(wnd, dc);
  } else {
    Obj->Draw(FOwnerForm->GetCanvas(), true);
  }
}

// ---- The skinned non-client frame ----

void TskSkinnedForm::DrawObjectsIntoStrip(TBitmap* Strip, bool Top, bool Bottom)
{
  for (TskActiveSkinObject* obj : FObjectList) {
    if (!obj->Visible || !DrawnInRollUpState(obj))
      continue;
    if (dynamic_cast<TskSkinMainMenuItem*>(obj)) {
      // A main-menu item lays itself out in the main-menu area (and shifts itself into the bottom
      // strip).
      const bool menuInTop = MainMenuRect.bottom <= FrameClientRect.top;
      if (menuInTop ? Top : Bottom)
        obj->Draw(Strip->GetCanvas(), false);
      continue;
    }
    const bool inTop = obj->ObjectRect.bottom <= FrameClientRect.top;
    if (inTop && Top) {
      obj->Draw(Strip->GetCanvas(), false);
    } else if (!inTop && Bottom) {
      const TRect saved = obj->ObjectRect;
      OffsetRect(&obj->ObjectRect, 0, -FrameClientRect.bottom);
      obj->Draw(Strip->GetCanvas(), false);
      obj->ObjectRect = saved;
    }
  }
}

void TskSkinnedForm::PaintSkinnedNC(HDC DC, bool UseDC)
{
  if (!IsNCSkinned())
    return;
  if (FrameWidth == 0 || FrameHeight == 0) {
    FrameWidth = FOwnerForm->GetWidth();
    FrameHeight = FOwnerForm->GetHeight();
  }
  if (FrameWidth < GetEffectiveMinWidth() || FrameHeight < GetEffectiveMinHeight())
    return;
  CalcFrameGeometry();
  CalcObjectRects();
  TskSkinData* skin = GetSkinData();
  const bool active = IsFormActive();
  TBitmap* picture = (active || skin->inactivepicture->Empty()) ? skin->picture : skin->inactivepicture;
  TBitmap top, left, right, bottom;
  const TRect whole{0, 0, picture->GetWidth(), picture->GetHeight()};
  BuildFrameEdgeBitmaps(skin->lefttoppoint, skin->righttoppoint, skin->leftbottompoint, skin->rightbottompoint,
                        skin->clientrect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, FrameClientRect, &left,
                        &top, &right, &bottom, picture, whole, FrameWidth, FrameHeight, skin->leftstretch,
                        skin->topstretch, skin->rightstretch, skin->bottomstretch);
  DrawObjectsIntoStrip(&top, true, false);
  DrawObjectsIntoStrip(&bottom, false, true);

  HWND wnd = FOwnerForm->GetHandle();
  HDC dc = UseDC ? DC : GetWindowDC(wnd);
  if (!dc)
    return;
  const int saved = SaveDC(dc);
  if (RectHeight(FrameClientRect) > 0)
    ExcludeClipRect(dc, FrameClientRect.left, FrameClientRect.top, FrameClientRect.right, FrameClientRect.bottom);
  const struct {
    TBitmap* Strip;
    int X, Y;
  } places[] = {{&top, 0, 0},
                {&left, 0, top.GetHeight()},
                {&right, FrameWidth - right.GetWidth(), top.GetHeight()},
                {&bottom, 0, FrameHeight - bottom.GetHeight()}};
  const bool effect = !active && skin->autorenderinginactiveimage;
  for (const auto& p : places) {
    if (p.Strip->Empty())
      continue;
    if (effect) {
      auto bmp = TskEffectBmp::CreateFromBitmap(p.Strip->GetHandle());
      ApplyInactiveEffect(*bmp, skin->inactiveeffect);
      bmp->Draw(dc, p.X, p.Y);
    } else {
      BitBlt(dc, p.X, p.Y, p.Strip->GetWidth(), p.Strip->GetHeight(), p.Strip->GetCanvas()->GetHandle(), 0, 0,
             SRCCOPY);
    }
  }
  RestoreDC(dc, saved);
  if (!UseDC)
    ReleaseDC(wnd, dc);
}

// ---- The default frame ----

void TskSkinnedForm::PaintDefaultNC(HDC DC, bool UseDC)
{
  TskSkinData* skin = GetSkinData();
  if (skin && skin->SkinChanging)
    return;
  if (FrameWidth == 0 || FrameHeight == 0) {
    FrameWidth = FOwnerForm->GetWidth();
    FrameHeight = FOwnerForm->GetHeight();
  }
  if (FObjectList.empty())
    CreateDefaultObjects();
  ArrangeDefaultButtons();
  const int ch = GetDefaultCaptionHeight();
  const int bw = FrameWidth - 6;
  if (bw <= 0 || FrameHeight <= 0)
    return;
  TBitmap caption;
  caption.SetSize(bw, ch);
  TCanvas* c = caption.GetCanvas();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(TRect{0, 0, bw, ch});
  const int lc = DefCaptionRect.left - 3;
  const int rc = bw - DefCaptionRect.right;
  if (ch - 4 > 1) {
    for (int y = 2; y <= ch - 4; ++y) {
      c->GetPen()->SetColor(y % 2 == 0 ? clBtnHighlight : clBtnShadow);
      c->MoveTo(lc + 2, y);
      c->LineTo(bw - rc - 6, y);
    }
  }
  const bool active = IsFormActive();
  c->SetFont(active ? FDefCaptionFont.get() : FDefInActiveCaptionFont.get());
  if (skin && skin->GetResourceStrData())
    c->GetFont()->SetCharset(skin->GetResourceStrData()->CharSet);
  String text = FOwnerForm->GetText();
  if (OnCaptionPaint) {
    OnCaptionPaint(c, TRect{lc, 0, bw - rc - 3, ch}, active);
  } else if (!text.empty()) {
    EllipsizeText(c, text, bw - lc - rc);
    const SIZE extent = c->TextExtent(text);
    const int x = lc + (bw - lc - rc) / 2 - (extent.cx + 5) / 2;
    const int y = ch / 2 - extent.cy / 2;
    c->GetBrush()->SetColor(clBtnFace);
    c->FillRect(TRect{x - 2, y - 2, x + extent.cx + 2, y + extent.cy + 2});
    c->GetBrush()->SetStyle(bsClear);
    c->TextOut(x, y, text);
  }
  for (TskActiveSkinObject* obj : FObjectList) {
    if (!obj->Visible)
      continue;
    const TRect saved = obj->ObjectRect;
    OffsetRect(&obj->ObjectRect, -3, -3);
    obj->Draw(c, true);
    obj->ObjectRect = saved;
  }

  HWND wnd = FOwnerForm->GetHandle();
  HDC dc = UseDC ? DC : GetWindowDC(wnd);
  if (!dc)
    return;
  const int saved = SaveDC(dc);
  ExcludeClipRect(dc, 3, ch + 3, FrameWidth - 3, FrameHeight - 3);
  BitBlt(dc, 3, 3, bw, ch, c->GetHandle(), 0, 0, SRCCOPY);
  {
    TDcCanvas canvas(dc);
    TRect r{0, 0, FrameWidth, FrameHeight};
    Ring(canvas.get(), r, cl3DLight, cl3DDkShadow);
    InflateRect(&r, -1, -1);
    Ring(canvas.get(), r, clBtnHighlight, clBtnShadow);
    InflateRect(&r, -1, -1);
    Ring(canvas.get(), r, clBtnFace, clBtnFace);
  }
  RestoreDC(dc, saved);
  if (!UseDC)
    ReleaseDC(wnd, dc);
}

// ---- The client-drawn frame ----

void TskSkinnedForm::PaintClientDrawn(HDC DC)
{
  if (FrameWidth == 0 || FrameHeight == 0) {
    FrameWidth = FOwnerForm->GetClientWidth();
    FrameHeight = FOwnerForm->GetClientHeight();
  }
  TDcCanvas canvas(DC);
  TskSkinData* skin = GetSkinData();
  if (!FSkinLoaded || skin->picture->Empty()) {
    canvas->GetBrush()->SetStyle(bsSolid);
    canvas->GetBrush()->SetColor(clBtnFace);
    canvas->FillRect(TRect{0, 0, FrameWidth, FrameHeight});
    canvas->GetBrush()->SetColor(clBlack);
    canvas->FrameRect(TRect{0, 0, FrameWidth, FrameHeight});
    return;
  }
  TBitmap image;
  const bool rolledPicture = FRollUpState && !skin->rolluppicture->Empty();
  if (!rolledPicture) {
    if (skin->lefttoppoint.x != 0 || skin->lefttoppoint.y != 0 || skin->rightbottompoint.x != 0 ||
        skin->rightbottompoint.y != 0) {
      CalcFrameGeometry();
      const TRect whole{0, 0, skin->picture->GetWidth(), skin->picture->GetHeight()};
      BuildNineSliceBitmap(skin->lefttoppoint, skin->righttoppoint, skin->leftbottompoint, skin->rightbottompoint,
                           skin->clientrect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint, FrameClientRect, &image,
                           skin->picture, whole, FrameWidth, FrameHeight, true, skin->leftstretch, skin->topstretch,
                           skin->rightstretch, skin->bottomstretch, skin->stretcheffect, skin->stretchtype);
    } else {
      image.Assign(skin->picture);
    }
  } else {
    image.Assign(skin->rolluppicture);
  }
  for (TskActiveSkinObject* obj : FObjectList)
    if (obj->Visible && obj->RollUp == FRollUpState)
      obj->Draw(image.GetCanvas(), false);
  canvas->Draw(0, 0, &image);
}

// ---- Backgrounds ----

void TskSkinnedForm::PaintPictureLayout(TCanvas* Canvas, TBitmap* Picture, const TRect& Source, bool Stretch,
                                        TskStretchType Type, int Width, int Height)
{
  const int pw = RectWidth(Source), ph = RectHeight(Source);
  const int cw = Width >= 0 ? Width : FOwnerForm->GetClientWidth();
  const int chh = Height >= 0 ? Height : FOwnerForm->GetClientHeight();
  if (pw <= 0 || ph <= 0)
    return;
  TBitmap piece;
  piece.SetSize(pw, ph);
  piece.GetCanvas()->CopyRect(TRect{0, 0, pw, ph}, Picture->GetCanvas(), Source);
  if (Stretch && cw >= 1 && chh >= 1) {
    switch (Type) {
    case stFull: Canvas->StretchDraw(TRect{0, 0, cw, chh}, &piece); break;
    case stHorz:
      for (int i = 0; i <= cw / pw; ++i)
        Canvas->StretchDraw(TRect{i * pw, 0, (i + 1) * pw, chh}, &piece);
      break;
    case stVert:
      for (int i = 0; i <= chh / ph; ++i)
        Canvas->StretchDraw(TRect{0, i * ph, cw, (i + 1) * ph}, &piece);
      break;
    }
    return;
  }
  for (int y = 0; y <= chh / ph; ++y)
    for (int x = 0; x <= cw / pw; ++x)
      Canvas->Draw(x * pw, y * ph, &piece);
}

void TskSkinnedForm::PaintPlainBackground(HDC DC)
{
  TDcCanvas canvas(DC);
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(clBtnFace);
  canvas->FillRect(TRect{0, 0, FOwnerForm->GetClientWidth(), FOwnerForm->GetClientHeight()});
  DrawLogo(canvas.get());
}

void TskSkinnedForm::PaintClientPicture(HDC DC)
{
  TskSkinData* skin = GetSkinData();
  if (IsNullRect(skin->clientrect) || skin->picture->Empty()) {
    PaintPlainBackground(DC);
    return;
  }
  TDcCanvas canvas(DC);
  PaintPictureLayout(canvas.get(), skin->picture, skin->clientrect, skin->stretcheffect, skin->stretchtype);
  DrawLogo(canvas.get());
}

void TskSkinnedForm::PaintBackground(HDC DC)
{
  TskSkinData* skin = GetSkinData();
  const int index = skin->bgpictureindex;
  if (index < 0 || index >= static_cast<int>(skin->ActivePictures.size())) {
    PaintClientPicture(DC);
    return;
  }
  TBitmap* picture = skin->ActivePictures[static_cast<std::size_t>(index)];
  TDcCanvas canvas(DC);
  PaintPictureLayout(canvas.get(), picture, TRect{0, 0, picture->GetWidth(), picture->GetHeight()},
                     skin->stretcheffect, skin->stretchtype);
}

// The MDI client window's backgrounds (its own size).
void TskSkinnedForm::PaintMDIBackground(HDC DC)
{
  TskSkinData* skin = GetSkinData();
  const int index = skin ? skin->mdibgpictureindex : -1;
  if (index < 0 || index >= static_cast<int>(skin->ActivePictures.size())) {
    PaintPlainMDIBackground(DC);
    return;
  }
  RECT area{};
  GetClientRect(FMDIClient ? FMDIClient : FOwnerForm->GetHandle(), &area);
  TBitmap* picture = skin->ActivePictures[static_cast<std::size_t>(index)];
  TDcCanvas canvas(DC);
  PaintPictureLayout(canvas.get(), picture, TRect{0, 0, picture->GetWidth(), picture->GetHeight()},
                     skin->mdibgstretcheffect, skin->mdibgstretchtype, area.right, area.bottom);
}

void TskSkinnedForm::PaintPlainMDIBackground(HDC DC)
{
  RECT area{};
  GetClientRect(FMDIClient ? FMDIClient : FOwnerForm->GetHandle(), &area);
  TDcCanvas canvas(DC);
  canvas->GetBrush()->SetStyle(bsSolid);
  canvas->GetBrush()->SetColor(clAppWorkSpace);
  canvas->FillRect(TRect{0, 0, area.right, area.bottom});
  DrawLogo(canvas.get());
}

void TskSkinnedForm::DrawLogo(TCanvas* Canvas)
{
  if (FLogoBitMap->Empty())
    return;
  if (FLogoBitMap->GetTransparent() != LogoBitMapTransparent)
    FLogoBitMap->SetTransparent(LogoBitMapTransparent);
  const int x = std::max(0, (FOwnerForm->GetClientWidth() - FLogoBitMap->GetWidth()) / 2);
  const int y = std::max(0, (FOwnerForm->GetClientHeight() - FLogoBitMap->GetHeight()) / 2);
  Canvas->Draw(x, y, FLogoBitMap.get());
}

void TskSkinnedForm::GetSmallIconSize(int& W, int& H) const
{
  W = GetSystemMetrics(SM_CXSMICON);
  H = GetSystemMetrics(SM_CYSMICON);
  if (W == 0)
    W = GetSystemMetrics(SM_CXSIZE);
  if (H == 0)
    H = GetSystemMetrics(SM_CYSIZE);
}

void TskSkinnedForm::DrawSmallIcon(TCanvas* Canvas, int X, int Y)
{
  int w = 0, h = 0;
  GetSmallIconSize(w, h);
  TIcon* icon = nullptr;
  if (FOwnerForm->GetIcon() && !FOwnerForm->GetIcon()->Empty())
    icon = FOwnerForm->GetIcon();
  else if (Application->GetIcon() && !Application->GetIcon()->Empty())
    icon = Application->GetIcon();
  if (icon) {
    Canvas->StretchDraw(TRect{X, Y, X + w, Y + h}, icon);
    return;
  }
  // No icon anywhere: the system menu's own glyph stands for the application's icon.
  DrawSysMenuGlyph(Canvas, X + (w - 11) / 2, Y + (h - 11) / 2, clBtnText);
}

// ---- Opacity ----

void TskSkinnedForm::StartFade()
{
  TskSkinData* skin = GetSkinData();
  const bool all = skin && skin->AnimationForAllWindows;
  if (!IsWindows2000OrLater() || !(FAlphaBlend || AlphaBlendAnimation || all))
    return;
  if (FFormSkinnable && all && FAlphaBlendValue == 0)
    FAlphaBlendValue = 255;
  HWND wnd = FOwnerForm->GetHandle();
  SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) | WS_EX_LAYERED);
  SetLayeredAlpha(wnd, 0);
  FFadeAlpha = 0;
  SetTimer(wnd, 1, 1, nullptr);
}

void TskSkinnedForm::FadeTimer()
{
  HWND wnd = FOwnerForm->GetHandle();
  KillTimer(wnd, 1);
  TskSkinData* skin = GetSkinData();
  const bool all = skin && skin->AnimationForAllWindows;
  if (!(FAlphaBlend || AlphaBlendAnimation || all))
    return;
  const int target = ((AlphaBlendAnimation || all) && !FAlphaBlend) ? 255 : FAlphaBlendValue;
  if (AlphaBlendAnimation || all) {
    Application->ProcessMessages();
    const bool realTime = GetMessageClock().IsRealTime();
    for (int alpha : FadeSteps(target)) {
      if (realTime)
        std::this_thread::sleep_for(std::chrono::milliseconds(6));
      FFadeAlpha = alpha;
      SetLayeredAlpha(wnd, alpha);
    }
  } else if (target < 255) {
    SetLayeredAlpha(wnd, FAlphaBlendValue);
  }
  FFadeAlpha = target;
  if (target == 255)
    SetWindowLong(wnd, GWL_EXSTYLE, GetWindowLong(wnd, GWL_EXSTYLE) & ~static_cast<LONG>(WS_EX_LAYERED));
}
