#include "skin/input/SkinEdit.h"

#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "skin/controls/ComponentReference.h"
#include "skin/controls/SkinControl.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/controls/SkinResizedButton.h"

namespace {

// Hit-test codes of the frame button and the image buttons.
constexpr LRESULT HitFrameButton = 6;
constexpr LRESULT HitFrame = 7;
constexpr LRESULT HitLeftImage = 104;
constexpr LRESULT HitRightImage = 105;

// Blends Image over Under (same size) by the factor 1 - Value / 255 and answers the result.
void BlendOver(TBitmap* Image, TBitmap* Under, Byte Value)
{
  auto front = TskEffectBmp::CreateFromBitmap(Image->GetHandle());
  auto back = TskEffectBmp::CreateFromBitmap(Under->GetHandle());
  if (!front || !back)
    return;
  front->Morph(back.get(), 1.0 - Value / 255.0);
  front->Draw(Image->GetCanvas()->GetHandle(), 0, 0);
}

} // namespace

TskSkinCustomEdit::TskSkinCustomEdit(TComponent* AOwner) : TskCustomEdit(AOwner)
{
  FControlStyle |= csOpaque;
  SetAutoSize(false);
  SetHeight(20);
  SetBorderStyle(bsNone);
  SetEditTransparent(true);
  GetFont()->SetName("Arial");
  GetFont()->SetHeight(14);
  GetFont()->SetStyle(0);
  GetFont()->SetColor(0);
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->Assign(GetFont());
  FDefaultFont->OnChange = [this](TObject* Sender) { DefaultFontChange(Sender); };
}

TskSkinCustomEdit::~TskSkinCustomEdit()
{
  if (FDefaultFont)
    FDefaultFont->OnChange = nullptr;
}

// ----- properties -----

void TskSkinCustomEdit::SetSkinData(TskSkinData* Value)
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (FSkinData)
    FSkinData->FreeNotification(this);
  if (FSkinData && !FSkinData->Empty && !(GetComponentState() & csDesigning))
    ChangeSkinData();
}

void TskSkinCustomEdit::Notification(TComponent* AComponent, TOperation Operation)
{
  TskCustomEdit::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData)
    FSkinData = nullptr;
  if (Operation == opRemove && AComponent == FImages)
    FImages = nullptr;
}

void TskSkinCustomEdit::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  if (!Skinned())
    GetFont()->Assign(Value);
}

void TskSkinCustomEdit::DefaultFontChange(TObject*)
{
  if (!Skinned())
    GetFont()->Assign(FDefaultFont.get());
}

void TskSkinCustomEdit::SetDefaultColor(TColor Value)
{
  FDefaultColor = Value;
  if (!Skinned())
    Invalidate();
}

void TskSkinCustomEdit::SetDefaultWidth(int Value)
{
  FDefaultWidth = Value;
  if (!Skinned() && Value > 0)
    SetWidth(Value);
}

void TskSkinCustomEdit::SetDefaultHeight(int Value)
{
  FDefaultHeight = Value;
  if (!Skinned() && Value > 0 && FUseSkinFont)
    SetHeight(Value);
  else
    AdjustHeight();
}

void TskSkinCustomEdit::SetButtonMode(bool Value)
{
  FButtonMode = Value;
  RecreateWnd();
  if ((GetComponentState() & csDesigning) && !(GetComponentState() & csLoading))
    FSkinDataName = Value ? "buttonedit" : "edit";
}

void TskSkinCustomEdit::SetAlignment(TAlignment Value)
{
  if (FAlignment == Value)
    return;
  FAlignment = Value;
  RecreateWnd();
}

void TskSkinCustomEdit::SetImages(TCustomImageList* Value)
{
  if (!SetComponentReference(this, FImages, Value))
    return;
  LayoutImageButtons(true);
}

void TskSkinCustomEdit::SetLeftImageIndex(int Value)
{
  FLeftImageIndex = Value;
  LayoutImageButtons(true);
}

void TskSkinCustomEdit::SetRightImageIndex(int Value)
{
  FRightImageIndex = Value;
  LayoutImageButtons(true);
}

void TskSkinCustomEdit::SetAlphaBlend(bool Value)
{
  if (FAlphaBlend == Value)
    return;
  FAlphaBlend = Value;
  PaintFrame();
  Invalidate();
}

void TskSkinCustomEdit::SetAlphaBlendValue(Byte Value)
{
  FAlphaBlendValue = Value;
  if (FAlphaBlend) {
    PaintFrame();
    Invalidate();
  }
}

// ----- skin -----

void TskSkinCustomEdit::GetSkinData()
{
  FIndex = FindSkinControlIndex(FSkinData, FSkinDataName);
  auto* r = dynamic_cast<TskDataSkinEditControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!r) {
    FIndex = -1;
    return;
  }
  Picture = SkinPicture(FSkinData, r->pictureindex);
  SkinRect = r->skinrect;
  ActiveSkinRect = IsRectEmpty(&r->activeskinrect) ? r->skinrect : r->activeskinrect;
  FixedLeft = r->lefttoppoint.x;
  FixedRight = RectWidth(r->skinrect) - r->righttoppoint.x;
  ClRect = r->clientrect;
  FontName = r->fontname;
  FontStyle = r->fontstyle;
  FontHeight = r->fontheight;
  FontColor = r->fontcolor;
  DisabledFontColor = r->disabledfontcolor;
  ActiveFontColor = r->activefontcolor;
  SkinButtonRect = r->buttonrect;
  ActiveButtonRect = r->activebuttonrect;
  DownButtonRect = IsRectEmpty(&r->downbuttonrect) ? r->activebuttonrect : r->downbuttonrect;
  UnenabledButtonRect = r->unenabledbuttonrect;
  StretchEffect = r->stretcheffect;
}

bool TskSkinCustomEdit::Hot() { return MouseIn || (HandleAllocated() && GetFocus() == GetHandle()); }

void TskSkinCustomEdit::ApplyStateFontColor()
{
  if (!GetEnabled())
    GetFont()->SetColor(Skinned() ? DisabledFontColor : clGrayText);
  else if (!Skinned())
    GetFont()->SetColor(FDefaultFont->GetColor());
  else
    GetFont()->SetColor(HandleAllocated() && GetFocus() == GetHandle() ? ActiveFontColor : FontColor);
}

void TskSkinCustomEdit::ChangeSkinData()
{
  GetSkinData();
  if (!Skinned()) {
    GetFont()->Assign(FDefaultFont.get());
    if (FDefaultWidth > 0)
      SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0)
      SetHeight(FDefaultHeight);
  } else if (FUseSkinFont) {
    GetFont()->SetName(FontName);
    GetFont()->SetStyle(FontStyle);
    SetHeight(RectHeight(SkinRect));
    GetFont()->SetHeight(FontHeight);
    ApplyStateFontColor();
  } else {
    GetFont()->Assign(FDefaultFont.get());
    ApplyStateFontColor();
  }
  TskResourceStrData* strings = FSkinData ? FSkinData->GetResourceStrData() : nullptr;
  GetFont()->SetCharset(strings ? strings->CharSet : FDefaultFont->GetCharset());
  RecreateWnd();
  ApplyStateFontColor();
  if (!FUseSkinFont)
    AdjustHeight();
  if (FImages) {
    LayoutImageButtons(true);
    Invalidate();
  }
}

void TskSkinCustomEdit::Loaded()
{
  TskCustomEdit::Loaded();
  if (FSkinData && FSkinData->GetResourceStrData())
    GetFont()->SetCharset(FSkinData->GetResourceStrData()->CharSet);
}

void TskSkinCustomEdit::CreateParams(TCreateParams& Params)
{
  TskCustomEdit::CreateParams(Params);
  Params.ExStyle &= ~WS_EX_TRANSPARENT;
  Params.Style &= ~WS_BORDER;
  Params.Style |= FAlignment == taRightJustify ? ES_RIGHT : FAlignment == taCenter ? ES_CENTER : ES_LEFT;
}

// ----- layout -----

void TskSkinCustomEdit::CalcRects()
{
  const int W = GetWidth(), H = GetHeight();
  if (!Skinned()) {
    if (FButtonMode) {
      ButtonRect = Rect(W - H, 0, W, H);
      TextRect = Rect(2, 2, ButtonRect.left - 2, H - 2);
    } else {
      TextRect = Rect(2, 2, W - 2, H - 2);
    }
    return;
  }
  const int dW = W - RectWidth(SkinRect);
  TextRect = ClRect;
  TextRect.right += dW;
  ButtonRect = SkinButtonRect;
  if (ButtonRect.left >= RectWidth(SkinRect) - FixedRight)
    OffsetRect(&ButtonRect, dW, 0);
  if (!FUseSkinFont) {
    const int dH = H - RectHeight(SkinRect);
    TextRect.bottom += dH;
    ButtonRect.bottom += dH;
  }
}

int TskSkinCustomEdit::CalcHeight()
{
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, GetFont()->GetHandle());
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  return tm.tmHeight + (Skinned() ? RectHeight(SkinRect) - RectHeight(ClRect) : 4);
}

void TskSkinCustomEdit::AdjustHeight() { SetHeight(CalcHeight()); }

void TskSkinCustomEdit::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  GetSkinData();
  if ((AWidth != GetWidth() || AHeight != GetHeight()) && !(!Skinned() && FUseSkinFont)) {
    if (!FUseSkinFont)
      AHeight = CalcHeight();
    else if (Skinned())
      AHeight = RectHeight(SkinRect);
  }
  if (auto* bar = dynamic_cast<TskSkinControl*>(GetParent())) {
    TRect area{};
    if (GetAlign() != alNone && bar->GetControlsCentringArea(area))
      ATop = area.top + RectHeight(area) / 2 - AHeight / 2;
  }
  TskCustomEdit::SetBounds(ALeft, ATop, AWidth, AHeight);
  Invalidate();
  if (GetParent() && HandleAllocated())
    SendMessageA(GetHandle(), WM_NCPAINT, 1, 0);
}

void TskSkinCustomEdit::LayoutImageButtons(bool Apply)
{
  LeftImageRect = TRect{};
  RightImageRect = TRect{};
  if (!FImages || !HandleAllocated())
    return;
  TRect r = GetClientRect();
  const int iw = FImages->GetWidth();
  if (FLeftImageIndex >= 0) {
    LeftImageRect = Rect(r.left, r.top, r.left + iw, r.bottom);
    r.left += iw + 2;
  }
  if (FRightImageIndex >= 0) {
    RightImageRect = Rect(r.right - iw, r.top, r.right, r.bottom);
    r.right -= iw + 2;
  }
  if (Apply) {
    RECT rc = r;
    SendMessageA(GetHandle(), EM_SETRECT, 0, reinterpret_cast<LPARAM>(&rc));
  }
}

// ----- painting -----

void TskSkinCustomEdit::Invalidate()
{
  if (!GetParent() || !HandleAllocated())
    return;
  PaintedByErase = false;
  ::RedrawWindow(GetHandle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
}

TBitmap* TskSkinCustomEdit::ParentCapture()
{
  if (!FAlphaBlend)
    return nullptr;
  if (!FParentCapture) {
    FParentCapture = std::make_unique<TBitmap>();
    FParentCapture->SetSize(GetWidth(), GetHeight());
    PaintParentBackground(this, FParentCapture->GetCanvas());
  }
  return FParentCapture.get();
}

void TskSkinCustomEdit::DrawFrame(TCanvas* Canvas)
{
  const int W = GetWidth(), H = GetHeight();
  CalcRects();
  TBitmap b;
  b.SetSize(W, H);
  TCanvas* c = b.GetCanvas();
  if (!Skinned()) {
    // What lies outside the frame (the corners the button leaves) shows the edit's colour.
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(FDefaultColor);
    c->FillRect(Rect(0, 0, W, H));
    const int buttonWidth = FButtonMode ? W - ButtonRect.left : 0;
    TRect r = Rect(0, 0, W - buttonWidth, H);
    Frame3D(c, r, clBtnShadow, clBtnShadow, 1);
    Frame3D(c, r, clBtnFace, clBtnFace, 1);
    if (FButtonMode) {
      TRect br = ButtonRect;
      TColor frame = clBtnShadow, fill = clBtnFace;
      if (ButtonDown && ButtonHot) {
        frame = clNavy;
        fill = 0xB59385;
      } else if (ButtonHot) {
        frame = clNavy;
        fill = 0xD2BDB6;
      }
      Frame3D(c, br, frame, frame, 1);
      c->GetBrush()->SetColor(fill);
      c->FillRect(br);
    }
  } else {
    BuildHorzSkinBitmap(FixedLeft, FixedRight, &b, Picture, Hot() ? ActiveSkinRect : SkinRect, W, H, StretchEffect);
    if (FButtonMode && Picture) {
      TRect source{};
      if (!GetEnabled() && !IsRectEmpty(&UnenabledButtonRect))
        source = UnenabledButtonRect;
      else if (ButtonDown && ButtonHot)
        source = DownButtonRect;
      else if (ButtonHot)
        source = ActiveButtonRect;
      if (!IsRectEmpty(&source))
        SkinPatches::CopyPatch(c, ButtonRect, Picture, source);
    }
  }
  if (TBitmap* under = ParentCapture(); under && b.GetWidth() == under->GetWidth() && b.GetHeight() == under->GetHeight())
    BlendOver(&b, under, FAlphaBlendValue);
  Canvas->Draw(0, 0, &b);
}

void TskSkinCustomEdit::DrawStretchedFrame(TCanvas* Canvas)
{
  const int W = GetWidth(), H = GetHeight();
  CalcRects();
  TBitmap b;
  b.SetSize(W, H);
  BuildSkinBitmap(&b, Picture, Hot() ? ActiveSkinRect : SkinRect, ClRect, false);
  if (FButtonMode) {
    const char* name = FindSkinControlIndex(FSkinData, "editbutton") != -1 ? "editbutton" : "resizebutton";
    DrawResizedButton(FSkinData, name, b.GetCanvas(), ButtonRect,
                      ButtonDown && ButtonHot ? TskResizedButtonState::Pressed
                      : ButtonHot             ? TskResizedButtonState::Hot
                                              : TskResizedButtonState::Normal);
  }
  if (TBitmap* under = ParentCapture())
    BlendOver(&b, under, FAlphaBlendValue);
  Canvas->Draw(0, 0, &b);
}

void TskSkinCustomEdit::PaintFrameTo(HDC DC)
{
  GetSkinData();
  CalcRects();
  const int saved = SaveDC(DC);
  ExcludeClipRect(DC, TextRect.left, TextRect.top, TextRect.right, TextRect.bottom);
  TCanvas canvas;
  canvas.SetHandle(DC);
  if (FUseSkinFont || !Skinned())
    DrawFrame(&canvas);
  else
    DrawStretchedFrame(&canvas);
  canvas.SetHandle(nullptr);
  RestoreDC(DC, saved);
}

void TskSkinCustomEdit::PaintFrame()
{
  if (!HandleAllocated())
    return;
  SendMessageA(GetHandle(), WM_NCPAINT, 1, 0);
}

void TskSkinCustomEdit::DrawBackground(TCanvas* Canvas)
{
  CalcRects();
  const int tw = RectWidth(TextRect), th = RectHeight(TextRect);
  if (tw <= 0 || th <= 0)
    return;
  TBitmap b;
  if (!Skinned()) {
    b.SetSize(tw, th);
    b.GetCanvas()->GetBrush()->SetStyle(bsSolid);
    b.GetCanvas()->GetBrush()->SetColor(FDefaultColor);
    b.GetCanvas()->FillRect(Rect(0, 0, tw, th));
  } else {
    const TRect state = Hot() ? ActiveSkinRect : SkinRect;
    const TRect source{state.left + ClRect.left, state.top + ClRect.top, state.left + ClRect.right,
                       state.top + ClRect.bottom};
    TBitmap strip;
    BuildHorzSkinBitmap(std::max(0, FixedLeft - ClRect.left),
                        std::max(0, ClRect.right + FixedRight - RectWidth(SkinRect)), &strip, Picture, source, tw,
                        RectHeight(ClRect), StretchEffect);
    b.SetSize(tw, th);
    if (FUseSkinFont)
      b.GetCanvas()->Draw(0, 0, &strip);
    else
      b.GetCanvas()->StretchDraw(Rect(0, 0, tw, th), &strip);
  }
  if (TBitmap* under = ParentCapture()) {
    TBitmap part;
    part.SetSize(tw, th);
    part.GetCanvas()->CopyRect(Rect(0, 0, tw, th), under->GetCanvas(), TextRect);
    BlendOver(&b, &part, FAlphaBlendValue);
  }
  Canvas->Draw(0, 0, &b);
}

void TskSkinCustomEdit::DrawImageButtons(TCanvas* Canvas)
{
  if (!FImages)
    return;
  auto draw = [&](const TRect& R, const TImageButton& State, int Normal, int HotIndex, int DownIndex) {
    if (Normal < 0 || Normal >= FImages->GetCount() || IsRectEmpty(&R))
      return;
    auto valid = [&](int I) { return I >= 0 && I < FImages->GetCount(); };
    int index = Normal;
    if (State.Down && State.Hot && valid(DownIndex))
      index = DownIndex;
    else if (State.Hot && valid(HotIndex))
      index = HotIndex;
    const int top = std::max(R.top, R.top + RectHeight(R) / 2 - FImages->GetHeight() / 2);
    FImages->Draw(Canvas, R.left, top, index, GetEnabled());
  };
  draw(LeftImageRect, LeftImage, FLeftImageIndex, LeftImageHotIndex, LeftImageDownIndex);
  draw(RightImageRect, RightImage, FRightImageIndex, RightImageHotIndex, RightImageDownIndex);
}

void TskSkinCustomEdit::PaintDisabledText(HDC DC)
{
  TCanvas canvas;
  canvas.SetHandle(DC);
  TFont* font = canvas.GetFont();
  if (FUseSkinFont && Skinned()) {
    font->SetName(FontName);
    font->SetHeight(FontHeight);
    font->SetStyle(FontStyle);
    font->SetColor(DisabledFontColor);
  } else {
    font->Assign(FDefaultFont.get());
    font->SetColor(Skinned() ? DisabledFontColor : clGrayText);
  }
  TskResourceStrData* strings = FSkinData ? FSkinData->GetResourceStrData() : nullptr;
  font->SetCharset(strings ? strings->CharSet : FDefaultFont->GetCharset());
  TRect r = TextRect;
  OffsetRect(&r, -r.left, -r.top);
  const String text = GetText();
  const int w = canvas.TextWidth(text);
  int x = r.left + 2;
  if (FAlignment == taRightJustify)
    x = r.right - w - 1;
  else if (FAlignment == taCenter)
    x = r.left + 2 + RectWidth(r) / 2 - w / 2 - 2;
  canvas.GetBrush()->SetStyle(bsClear);
  canvas.TextRect(r, x, r.top, text);
  canvas.SetHandle(nullptr);
}

// ----- messages -----

void TskSkinCustomEdit::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_NCCALCSIZE: {
    GetSkinData();
    RECT* r = reinterpret_cast<RECT*>(Message.LParam);
    if (Message.WParam)
      r = &reinterpret_cast<NCCALCSIZE_PARAMS*>(Message.LParam)->rgrc[0];
    if (!Skinned()) {
      r->left += 2;
      r->top += 2;
      r->bottom -= 2;
      r->right -= FButtonMode ? GetHeight() + 2 : 2;
    } else {
      r->left += ClRect.left;
      r->top += ClRect.top;
      r->right -= RectWidth(SkinRect) - ClRect.right;
      r->bottom -= RectHeight(SkinRect) - ClRect.bottom;
    }
    if (r->right < r->left)
      r->right = r->left;
    if (r->bottom < r->top)
      r->bottom = r->top;
    Message.Result = 0;
    return;
  }
  case WM_NCPAINT: {
    HDC dc = GetWindowDC(GetHandle());
    PaintFrameTo(dc);
    ReleaseDC(GetHandle(), dc);
    FParentCapture.reset();
    Invalidate();
    return;
  }
  case WM_ERASEBKGND: {
    HDC dc = reinterpret_cast<HDC>(Message.WParam);
    {
      TCanvas canvas;
      canvas.SetHandle(dc);
      DrawBackground(&canvas);
      DrawImageButtons(&canvas);
      canvas.SetHandle(nullptr);
    }
    FParentCapture.reset();
    // The text over the fresh background: the window's own while enabled, else drawn here.
    if (GetEnabled())
      SendMessageA(GetHandle(), WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
    else
      PaintDisabledText(dc);
    PaintedByErase = true;
    if (GetFocus() == GetHandle())
      ShowCaret(GetHandle());
    Message.Result = 1;
    return;
  }
  case WM_PAINT:
    if (PaintedByErase) {
      if (Message.WParam == 0) {
        PAINTSTRUCT ps{};
        BeginPaint(GetHandle(), &ps);
        EndPaint(GetHandle(), &ps);
      }
      PaintedByErase = false;
      return;
    }
    if (GetEnabled()) {
      PaintedByErase = true;
      TskCustomEdit::WndProc(Message);
      PaintedByErase = false;
      return;
    }
    if (Message.WParam) {
      PaintDisabledText(reinterpret_cast<HDC>(Message.WParam));
    } else {
      PAINTSTRUCT ps{};
      HDC dc = BeginPaint(GetHandle(), &ps);
      PaintDisabledText(dc);
      EndPaint(GetHandle(), &ps);
    }
    return;
  case WM_NCHITTEST: {
    const bool designing = (GetComponentState() & csDesigning) != 0;
    const TPoint screen = Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam));
    const TPoint client = ScreenToClient(screen);
    if (FImages && !designing) {
      if (FLeftImageIndex >= 0 && PtInRect(&LeftImageRect, client)) {
        if (!LeftImage.Hot) {
          LeftImage.Hot = true;
          Invalidate();
        }
        Message.Result = HitLeftImage;
        return;
      }
      if (FRightImageIndex >= 0 && PtInRect(&RightImageRect, client)) {
        if (!RightImage.Hot) {
          RightImage.Hot = true;
          Invalidate();
        }
        Message.Result = HitRightImage;
        return;
      }
      if (LeftImage.Hot) {
        LeftImage.Hot = false;
        Invalidate();
      }
      if (RightImage.Hot) {
        RightImage.Hot = false;
        Invalidate();
      }
    }
    if (FButtonMode && !designing) {
      GetSkinData();
      const TPoint offset = Skinned() ? Point(ClRect.left, ClRect.top) : Point(2, 2);
      const TPoint p = Point(client.x + offset.x, client.y + offset.y);
      CalcRects();
      if (PtInRect(&ButtonRect, p)) {
        Message.Result = HitFrameButton;
        return;
      }
      if (!PtInRect(&TextRect, p)) {
        Message.Result = HitFrame;
        return;
      }
    }
    break;
  }
  case WM_NCLBUTTONDOWN:
  case WM_NCLBUTTONDBLCLK:
    if (FImages && (Message.WParam == static_cast<WPARAM>(HitLeftImage) ||
                    Message.WParam == static_cast<WPARAM>(HitRightImage))) {
      (Message.WParam == static_cast<WPARAM>(HitLeftImage) ? LeftImage : RightImage).Down = true;
      SetFocus();
      if (Message.Msg == WM_NCLBUTTONDOWN)
        Invalidate();
      else
        Repaint();
      return;
    }
    if (FButtonMode && Message.WParam == static_cast<WPARAM>(HitFrameButton)) {
      ButtonDown = true;
      PaintFrame();
      return;
    }
    break;
  case WM_NCLBUTTONUP:
    if (FImages && Message.WParam == static_cast<WPARAM>(HitLeftImage) && LeftImage.Down) {
      LeftImage.Down = false;
      Invalidate();
      if (OnLeftButtonClick)
        OnLeftButtonClick(this);
      return;
    }
    if (FImages && Message.WParam == static_cast<WPARAM>(HitRightImage) && RightImage.Down) {
      RightImage.Down = false;
      Invalidate();
      if (OnRightButtonClick)
        OnRightButtonClick(this);
      return;
    }
    if (FButtonMode && Message.WParam == static_cast<WPARAM>(HitFrameButton)) {
      // Only a press that began on the button clicks it.
      const bool pressed = ButtonDown;
      ButtonDown = false;
      PaintFrame();
      SetFocus();
      if (pressed && OnButtonClick)
        OnButtonClick(this);
      return;
    }
    Message.Result = DefWindowProcA(GetHandle(), Message.Msg, Message.WParam, Message.LParam);
    return;
  case WM_NCMOUSEMOVE:
    if (FButtonMode) {
      const bool hot = Message.WParam == static_cast<WPARAM>(HitFrameButton);
      if (hot != ButtonHot) {
        ButtonHot = hot;
        PaintFrame();
        Invalidate();
      }
      if (hot)
        return;
    }
    break;
  case WM_MOUSEMOVE:
    if (ButtonHot) {
      ButtonHot = false;
      PaintFrame();
    }
    break;
  case SkinControlQueryMessage:
    if (Message.WParam != 0) {
      TCanvas canvas;
      canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
      GetSkinData();
      if (FUseSkinFont || !Skinned())
        DrawFrame(&canvas);
      else
        DrawStretchedFrame(&canvas);
      canvas.SetHandle(nullptr);
      FParentCapture.reset();
      Message.Result = SkinControlQueryAnswer;
    }
    return;
  case SkinFramePaintMessage:
    if (Message.LParam == SkinFramePaintParam) {
      if (Message.WParam != 0) {
        PaintFrameTo(reinterpret_cast<HDC>(Message.WParam));
        FParentCapture.reset();
      }
      Message.Result = SkinFramePaintParam;
      return;
    }
    break;
  default:
    break;
  }
  TskCustomEdit::WndProc(Message);
  switch (Message.Msg) {
  case CM_MOUSEENTER:
    MouseIn = true;
    if (GetFocus() != GetHandle() && Skinned()) {
      GetFont()->SetColor(ActiveFontColor);
      LayoutImageButtons(true);
      PaintFrame();
      Invalidate();
    }
    if (OnMouseEnter)
      OnMouseEnter(this);
    break;
  case CM_MOUSELEAVE:
    MouseIn = false;
    if (GetFocus() != GetHandle() && Skinned()) {
      GetFont()->SetColor(FontColor);
      LayoutImageButtons(true);
      PaintFrame();
      Invalidate();
    }
    if (ButtonDown || ButtonHot) {
      ButtonDown = false;
      ButtonHot = false;
      PaintFrame();
    }
    if (LeftImage.Hot || RightImage.Hot) {
      LeftImage.Hot = false;
      RightImage.Hot = false;
      Invalidate();
    }
    if (OnMouseLeave)
      OnMouseLeave(this);
    break;
  case WM_SETFOCUS:
  case WM_KILLFOCUS:
    PaintFrame();
    Invalidate();
    if (!MouseIn && Skinned())
      GetFont()->SetColor(Message.Msg == WM_SETFOCUS ? ActiveFontColor : FontColor);
    if (FImages)
      LayoutImageButtons(true);
    break;
  case CM_ENABLEDCHANGED:
    if (GetEnabled())
      GetFont()->SetColor(Skinned() ? FontColor : FDefaultFont->GetColor());
    else
      GetFont()->SetColor(Skinned() ? DisabledFontColor : clGrayText);
    Invalidate();
    break;
  case CM_FONTCHANGED:
    if (!FUseSkinFont && !((GetComponentState() & csDesigning) && (GetComponentState() & csLoading))) {
      AdjustHeight();
      if (!Skinned())
        RecreateWnd();
    }
    break;
  case WM_SIZE:
    LayoutImageButtons(true);
    PaintFrame();
    break;
  default:
    break;
  }
}
