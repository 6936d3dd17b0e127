// The frame and caption bar of the skinned lists: the control image in the default and the
// skinned look, the three caption buttons and their auto-repeat on window timer 1.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/input/SkinListFrame.h"
#include "skin/input/SkinListItems.h"

namespace {

constexpr TColor PressedFill = 0xB59385;
constexpr TColor HotFill = 0xD2BDB6;
constexpr TColor FrameNavy = 0x800000;

} // namespace

// --- control image ---------------------------------------------------------------------------

int TskSkinListFrame::CaptionContentWidth(TCanvas* Canvas)
{
  int cw = Canvas->TextWidth(GetCaption());
  if (!FGlyph->Empty())
    cw += FGlyph->GetWidth() / std::max(1, FNumGlyphs) + FSpacing;
  return cw;
}

void TskSkinListFrame::DrawCaptionGlyph(TCanvas* Canvas, int X, int Y)
{
  if (FNumGlyphs == 0)
    FNumGlyphs = 1;
  const int frame = !GetEnabled() && FNumGlyphs == 2 ? 2 : 1;
  DrawGlyphStripFrame(Canvas, X, Y, FGlyph.get(), FNumGlyphs, frame);
}

void TskSkinListFrame::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlDefaultImage(B);
  TCanvas* c = B->GetCanvas();
  const int w = GetWidth(), h = GetHeight();
  int s = 0;
  if (FCaptionMode && FShowCaptionButtons) {
    s = std::min(17, FDefaultCaptionHeight - 3);
    FButtons[0].Rect = Rect(w - s - 2, 2, w - 2, s + 1);
    const int l0 = FButtons[0].Rect.left;
    FButtons[1].Rect = Rect(l0 - s, 2, l0, s + 1);
    const int l1 = FButtons[1].Rect.left;
    FButtons[2].Rect = Rect(l1 - s, 2, l1, s + 1);
  }
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnShadow);
  c->FrameRect(Rect(0, 0, w, h));
  if (!FCaptionMode)
    return;
  const TRect t = FShowCaptionButtons ? Rect(3, 2, w - 3 * s - 3, FDefaultCaptionHeight - 2)
                                      : Rect(3, 2, w - 2, FDefaultCaptionHeight - 2);
  c->GetFont()->Assign(FDefaultCaptionFont.get());
  if (FSkinData && FSkinData->GetResourceStrData())
    c->GetFont()->SetCharset(FSkinData->GetResourceStrData()->CharSet);
  const int cw = CaptionContentWidth(c);
  int x = FAlignment == taRightJustify ? t.right - cw
          : FAlignment == taCenter     ? t.left + RectWidth(t) / 2 - cw / 2
                                       : t.left;
  const int y = (FDefaultCaptionHeight - 2) / 2 - c->TextHeight(GetCaption()) / 2;
  int gx = x, gy = 0;
  const bool glyph = !FGlyph->Empty();
  if (glyph) {
    gy = t.top + RectHeight(t) / 2 - FGlyph->GetHeight() / 2 - 1;
    if (FNumGlyphs == 0)
      FNumGlyphs = 1;
    x += FGlyph->GetWidth() / FNumGlyphs + FSpacing;
  }
  c->GetBrush()->SetStyle(bsClear);
  c->TextRect(t, x, y, GetCaption());
  if (glyph)
    DrawCaptionGlyph(c, gx, gy);
  c->GetPen()->SetColor(clBtnShadow);
  c->MoveTo(1, FDefaultCaptionHeight - 1);
  c->LineTo(w - 1, FDefaultCaptionHeight - 1);
  if (FShowCaptionButtons)
    for (int i = 0; i < 3; ++i)
      DrawButton(c, i);
}

void TskSkinListFrame::CreateControlSkinImage(TBitmap* B)
{
  TskSkinCustomControl::CreateControlSkinImage(B);
  TCanvas* c = B->GetCanvas();
  const int w = GetWidth(), h = GetHeight();
  const int dw = w - RectWidth(SkinRect), dh = h - RectHeight(SkinRect);
  if (!FShowCaptionButtons && !IsNullRect(FLook.UpButtonRect) && Picture) {
    if (!IsNullRect(FLook.DisabledButtonsRect)) {
      TRect dest = FLook.ButtonsArea;
      OffsetRect(&dest, dw, 0);
      c->CopyRect(dest, Picture->GetCanvas(), FLook.DisabledButtonsRect);
    } else if (NewRTPoint.x > NewLTPoint.x && ClRect.top - 1 > 0) {
      TBitmap strip;
      const int sw = NewRTPoint.x - NewLTPoint.x, sh = ClRect.top - 1;
      strip.SetSize(sw, sh);
      strip.GetCanvas()->CopyRect(Rect(0, 0, sw, sh), c, Rect(NewLTPoint.x, 0, NewRTPoint.x, sh));
      c->StretchDraw(Rect(NewLTPoint.x, 0, w - (RectWidth(SkinRect) - FLook.UpButtonRect.right), sh), &strip);
    }
  }
  FListRect = ClRect;
  FListRect.right += dw;
  FListRect.bottom += dh;
  if (!GetCaptionMode())
    return;
  FCaptionTextRect = FLook.CaptionRect;
  if (FShowCaptionButtons) {
    if (FLook.CaptionRect.right >= RTPoint.x)
      FCaptionTextRect.right += dw;
    const TRect* sources[3] = {&FLook.UpButtonRect, &FLook.DownButtonRect, &FLook.CheckButtonRect};
    for (int i = 0; i < 3; ++i) {
      TRect r = *sources[i];
      if (r.top > LTPoint.y) {
        OffsetRect(&r, 0, dh);
        if (r.left > RBPoint.x)
          OffsetRect(&r, dw, 0);
      } else if (r.left > RTPoint.x) {
        OffsetRect(&r, dw, 0);
      }
      FButtons[i].Rect = r;
    }
  } else {
    FCaptionTextRect.right = w - FLook.CaptionRect.left;
    for (TCaptionButton& b : FButtons)
      b.Rect = TRect{};
  }
  if (!IsNullRect(FLook.CaptionRect)) {
    TFont* f = c->GetFont();
    f->SetName(FLook.CaptionFontName);
    f->SetHeight(FLook.CaptionFontHeight);
    f->SetColor(FLook.CaptionFontColor);
    f->SetStyle(FLook.CaptionFontStyle);
    if (FSkinData && FSkinData->GetResourceStrData())
      f->SetCharset(FSkinData->GetResourceStrData()->CharSet);
    else
      f->SetCharset(FDefaultCaptionFont->GetCharset());
    const TRect& r = FCaptionTextRect;
    const int cw = CaptionContentWidth(c);
    const int y = r.top + RectHeight(r) / 2 - c->TextHeight(GetCaption()) / 2;
    int x = FAlignment == taRightJustify ? r.right - cw - 2
            : FAlignment == taCenter     ? r.left + 2 + RectWidth(r) / 2 - cw / 2
                                         : r.left + 2;
    const bool glyph = !FGlyph->Empty();
    const int gx = x, gy = r.top + RectHeight(r) / 2 - FGlyph->GetHeight() / 2;
    if (glyph) {
      if (FNumGlyphs == 0)
        FNumGlyphs = 1;
      x += FGlyph->GetWidth() / FNumGlyphs + FSpacing;
    }
    c->GetBrush()->SetStyle(bsClear);
    c->TextRect(FCaptionTextRect, x, y, GetCaption());
    if (glyph)
      DrawCaptionGlyph(c, gx, gy);
  }
  if (FShowCaptionButtons)
    for (int i = 0; i < 3; ++i)
      DrawButton(c, i);
}

// --- caption buttons -------------------------------------------------------------------------

void TskSkinListFrame::DrawButton(TCanvas* Canvas, int I)
{
  TCaptionButton& b = FButtons[I];
  if (FIndex == -1) {
    if (b.Down && b.MouseIn) {
      Canvas->GetBrush()->SetColor(FrameNavy);
      Canvas->FrameRect(b.Rect);
      TRect inner = b.Rect;
      InflateRect(&inner, -1, -1);
      Canvas->GetBrush()->SetColor(PressedFill);
      Canvas->FillRect(inner);
    } else if (b.MouseIn) {
      Canvas->GetBrush()->SetColor(FrameNavy);
      Canvas->FrameRect(b.Rect);
      TRect inner = b.Rect;
      InflateRect(&inner, -1, -1);
      Canvas->GetBrush()->SetColor(HotFill);
      Canvas->FillRect(inner);
    } else {
      Canvas->GetBrush()->SetColor(clBtnFace);
      Canvas->FillRect(b.Rect);
    }
    if (I == 0)
      DrawArrowGlyph(Canvas, b.Rect, clBlack, 3);
    else if (I == 1)
      DrawArrowGlyph(Canvas, b.Rect, clBlack, 4);
    else
      DrawCheckGlyph(Canvas, b.Rect.left + 4, b.Rect.top + 4, clBlack);
    return;
  }
  if (IsNullRect(b.Rect) || !Picture)
    return;
  const TRect* normal[3] = {&FLook.UpButtonRect, &FLook.DownButtonRect, &FLook.CheckButtonRect};
  const TRect* active[3] = {&FLook.ActiveUpButtonRect, &FLook.ActiveDownButtonRect, &FLook.ActiveCheckButtonRect};
  const TRect* down[3] = {&FLook.DownUpButtonRect, &FLook.DownDownButtonRect, &FLook.DownCheckButtonRect};
  TRect source{};
  if (b.Down && b.MouseIn)
    source = *down[I];
  else if (b.MouseIn)
    source = *active[I];
  if (IsNullRect(source)) {
    source = *normal[I];
    OffsetRect(&source, SkinRect.left, SkinRect.top);
  }
  Canvas->CopyRect(b.Rect, Picture->GetCanvas(), source);
}

void TskSkinListFrame::TestActive(int X, int Y)
{
  if ((FIndex != -1 && IsNullRect(FLook.UpButtonRect) && IsNullRect(FLook.DownButtonRect)) || !FShowCaptionButtons)
    return;
  FOldActiveButton = FActiveButton;
  FActiveButton = -1;
  for (int i = 0; i < 3; ++i)
    if (PtInRect(&FButtons[i].Rect, Point(X, Y))) {
      FActiveButton = i;
      break;
    }
  if (FDownButton != -1 && FActiveButton != -1 && FActiveButton != FDownButton)
    FActiveButton = -1;
  if (FActiveButton == FOldActiveButton)
    return;
  if (FOldActiveButton != -1)
    ButtonLeave(FOldActiveButton);
  if (FActiveButton != -1)
    ButtonEnter(FActiveButton);
}

void TskSkinListFrame::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FCaptionMode && FShowCaptionButtons) {
    TestActive(X, Y);
    if (FActiveButton != -1) {
      FDownButton = FActiveButton;
      ButtonDown(FDownButton);
    }
  }
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TskSkinListFrame::MouseMove(TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseMove(Shift, X, Y);
  if (FCaptionMode && FShowCaptionButtons)
    TestActive(X, Y);
}

void TskSkinListFrame::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FCaptionMode && FShowCaptionButtons) {
    const int down = FDownButton;
    FDownButton = -1;
    if (down != -1)
      ButtonUp(down);
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinListFrame::CMMouseEnter(TMessage& Message)
{
  TskSkinCustomControl::CMMouseEnter(Message);
  if (FCaptionMode && FShowCaptionButtons)
    TestActive(-1, -1);
}

void TskSkinListFrame::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  if (!FCaptionMode || !FShowCaptionButtons)
    return;
  bool changed = false;
  for (TCaptionButton& b : FButtons)
    if (b.MouseIn) {
      b.MouseIn = false;
      changed = true;
    }
  FActiveButton = -1;
  if (changed)
    Repaint();
}

void TskSkinListFrame::StopRepeatTimer()
{
  FRepeat.Stop();
  FTimerMode = 0;
}

void TskSkinListFrame::ButtonDown(int I)
{
  FButtons[I].MouseIn = true;
  FButtons[I].Down = true;
  DrawButton(GetCanvas(), I);
  const TNotifyEvent* events[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
  if (*events[I])
    return;
  FTimerMode = I == 0 ? 1 : I == 1 ? 2 : 0;
  if (FTimerMode != 0)
    FRepeat.Start();
}

void TskSkinListFrame::StepUp()
{
  if (GetItemIndex() > 0)
    SetItemIndex(GetItemIndex() - 1);
}

void TskSkinListFrame::StepDown()
{
  // The selection stops at the last item (it neither vanishes nor wraps round).
  if (GetItemIndex() < GetItems()->GetCount() - 1)
    SetItemIndex(GetItemIndex() + 1);
}

void TskSkinListFrame::CheckButtonAction()
{
  FListBox->ClickList();
}

void TskSkinListFrame::ButtonUp(int I)
{
  FButtons[I].Down = false;
  if (I != FActiveButton)
    FButtons[I].MouseIn = false;
  DrawButton(GetCanvas(), I);
  const TNotifyEvent* events[3] = {&OnUpButtonClick, &OnDownButtonClick, &OnCheckButtonClick};
  if (FButtons[I].MouseIn && *events[I]) {
    TNotifyEvent handler = *events[I];
    handler(this);
    return;
  }
  if (I == 0)
    StepUp();
  else if (I == 1)
    StepDown();
  else
    CheckButtonAction();
  if (FTimerMode != 0)
    StopRepeatTimer();
}

void TskSkinListFrame::ButtonEnter(int I)
{
  FButtons[I].MouseIn = true;
  DrawButton(GetCanvas(), I);
  if (FTimerMode != 0 && FButtons[I].Down)
    FRepeat.Resume();
}

void TskSkinListFrame::ButtonLeave(int I)
{
  FButtons[I].MouseIn = false;
  DrawButton(GetCanvas(), I);
  if (FTimerMode != 0 && FButtons[I].Down)
    FRepeat.Pause();
}

void TskSkinListFrame::RepeatStep()
{
  if (FTimerMode == 1)
    StepUp();
  else if (FTimerMode == 2)
    StepDown();
}

void TskSkinListFrame::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_TIMER:
    TskSkinCustomControl::WndProc(Message);
    if (FRepeat.Tick(Message.WParam))
      RepeatStep();
    return;
  case WM_SIZE:
    TskSkinCustomControl::WndProc(Message);
    ArrangeListBox();
    UpdateScrollBars();
    if (TskSkinControl* c = ScrollBarControl(FScrollBar))
      c->Repaint();
    return;
  case CM_TEXTCHANGED:
    TskSkinCustomControl::WndProc(Message);
    if (FCaptionMode)
      Repaint();
    return;
  }
  TskSkinCustomControl::WndProc(Message);
}
