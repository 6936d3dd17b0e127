#include "skin/controls/SkinControl.h"

#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"

// ---------------------------------------------------------------------------------------------
// TskSkinControl

TskSkinControl::TskSkinControl(TComponent* AOwner) : TCustomControl(AOwner) {}

TskSkinControl::~TskSkinControl()
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  if (FHintImageList)
    FHintImageList->RemoveFreeNotification(this);
}

void TskSkinControl::SetHintImageList(TCustomImageList* Value)
{
  if (FHintImageList == Value)
    return;
  if (FHintImageList)
    FHintImageList->RemoveFreeNotification(this);
  FHintImageList = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskSkinControl::SetSkinData(TskSkinData* Value)
{
  if (FSkinData != Value) {
    if (FSkinData)
      FSkinData->RemoveFreeNotification(this);
    FSkinData = Value;
    if (Value)
      Value->FreeNotification(this);
  }
  if (Value && !Value->Empty && !Designing())
    ChangeSkinData();
}

void TskSkinControl::SetSkinDataName(const String& Value) { FSkinDataName = Value; }

void TskSkinControl::SetAlphaBlend(bool Value)
{
  FAlphaBlend = Value;
  Repaint();
}

void TskSkinControl::SetAlphaBlendValue(Byte Value)
{
  FAlphaBlendValue = Value;
  Repaint();
}

void TskSkinControl::GetSkinData() { FIndex = FindSkinControlIndex(FSkinData, FSkinDataName); }

void TskSkinControl::ApplySkinCursor()
{
  if (FUseSkinCursor)
    SetCursor(SkinCursor(FSkinData, CursorIndex));
}

void TskSkinControl::ChangeSkinData()
{
  GetSkinData();
  ApplySkinCursor();
  Repaint();
}

void TskSkinControl::ResetSkinIndex() { FIndex = -1; }

void TskSkinControl::UpdateAlphaBlend()
{
  if (!FAlphaBlend)
    return;
  Repaint();
  SendParentImageChanged();
}

void TskSkinControl::SendParentImageChanged()
{
  for (int i = 0; i < GetControlCount(); ++i) {
    TControl* child = GetControl(i);
    if (auto* windowed = dynamic_cast<TWinControl*>(child))
      SendMessageA(windowed->GetHandle(), ParentImageChangedMessage, 0, 0);
    else if (dynamic_cast<TGraphicControl*>(child))
      child->Perform(ParentImageChangedMessage, 0, 0);
  }
}

bool TskSkinControl::GetControlsCentringArea(TRect&) { return false; }

void TskSkinControl::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomControl::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData) {
    FSkinData = nullptr;
    FIndex = -1;
    if (!(GetComponentState() & csDestroying))
      Invalidate();
  }
  if (AComponent == FHintImageList)
    FHintImageList = nullptr;
}

void TskSkinControl::CreateControlDefaultImage(TBitmap*) {}

void TskSkinControl::CreateControlSkinImage(TBitmap*) {}

void TskSkinControl::Paint()
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  GetSkinData();
  PaintBuffered();
}

void TskSkinControl::PaintBuffered()
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  TBitmap buffer;
  buffer.SetSize(GetWidth(), GetHeight());
  if (FIndex != -1)
    CreateControlSkinImage(&buffer);
  else if (FDrawDefault)
    CreateControlDefaultImage(&buffer);
  DrawSkinControlImage(this, GetCanvas(), &buffer, FAlphaBlend, FAlphaBlendValue);
}

void TskSkinControl::Dispatch(TMessage& Message)
{
  if (Message.Msg == ParentImageChangedMessage) {
    WMParentImageChanged(Message);
    return;
  }
  TCustomControl::Dispatch(Message);
}

void TskSkinControl::WMMove(TMessage& Message)
{
  TCustomControl::WMMove(Message);
  if (FAlphaBlend)
    Repaint();
}

void TskSkinControl::WMPaint(TMessage& Message)
{
  InWMPaint = true;
  try {
    TCustomControl::WMPaint(Message);
  } catch (...) {
    InWMPaint = false;
    throw;
  }
  InWMPaint = false;
}

void TskSkinControl::WMEraseBkgnd(TMessage&) {}

void TskSkinControl::CMMouseEnter(TMessage&)
{
  if (!Designing() && OnMouseEnter)
    OnMouseEnter(this);
}

void TskSkinControl::CMMouseLeave(TMessage&)
{
  if (!Designing() && OnMouseLeave)
    OnMouseLeave(this);
}

void TskSkinControl::WMParentImageChanged(TMessage&) { UpdateAlphaBlend(); }

// ---------------------------------------------------------------------------------------------
// TskSkinCustomControl

TskSkinCustomControl::TskSkinCustomControl(TComponent* AOwner)
    : TskSkinControl(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetStyle(0);
  FDefaultFont->SetHeight(14);
  FDefaultFont->OnChange = [this](TObject* Sender) { OnDefaultFontChange(Sender); };
}

TskSkinCustomControl::~TskSkinCustomControl() { FDefaultFont->OnChange = nullptr; }

void TskSkinCustomControl::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  DefaultFontChanged();
}

void TskSkinCustomControl::OnDefaultFontChange(TObject*)
{
  DefaultFontChanged();
  if (FIndex == -1)
    Repaint();
}

void TskSkinCustomControl::SetDefaultWidth(int Value)
{
  FDefaultWidth = Value;
  if (FIndex == -1 && Value > 0)
    SetWidth(Value);
}

void TskSkinCustomControl::SetDefaultHeight(int Value)
{
  FDefaultHeight = Value;
  if (FIndex == -1 && Value > 0)
    SetHeight(Value);
}

void TskSkinCustomControl::GetSkinData()
{
  TskSkinControl::GetSkinData();
  if (FIndex == -1)
    return;
  TskDataSkinControl* record = SkinControlRecord(FSkinData, FIndex);
  if (!CopySkinGeometry(FSkinData, record)) {
    MaskPicture = nullptr;
    return;
  }
  CursorIndex = record->cursorindex;
  MaskPicture = SkinPicture(FSkinData, record->maskpictureindex);
}

void TskSkinCustomControl::CalcSize(int& W, int& H) { CalcSkinSize(FIndex != -1, W, H); }

void TskSkinCustomControl::ChangeSkinData()
{
  GetSkinData();
  ApplySkinCursor();
  if (FIndex == -1) {
    if (FDefaultWidth > 0)
      SetWidth(FDefaultWidth);
    if (FDefaultHeight > 0)
      SetHeight(FDefaultHeight);
  } else {
    int w = GetWidth(), h = GetHeight();
    CalcSize(w, h);
    bool resized = false;
    if (w != GetWidth()) {
      SetWidth(w);
      resized = true;
    }
    if (h != GetHeight()) {
      SetHeight(h);
      resized = true;
    }
    if (resized)
      return;
  }
  SetControlRegion();
  Repaint();
}

void TskSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  GetSkinData();
  const bool sizeChanged = FIndex != -1 && (GetWidth() != AWidth || GetHeight() != AHeight);
  if (sizeChanged) {
    CalcSize(AWidth, AHeight);
    if (ResizeMode == 0)
      NewClRect = ClRect;
  }
  if (auto* parent = dynamic_cast<TskSkinControl*>(GetParent())) {
    TRect area{};
    if (parent->GetControlsCentringArea(area))
      ATop = RectHeight(area) / 2 + area.top - AHeight / 2;
  }
  TskSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (sizeChanged) {
    SetControlRegion();
    Repaint();
  }
  if (FIndex != -1 && StretchEffect)
    SendParentImageChanged();
}

void TskSkinCustomControl::CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& Source)
{
  BuildSkinImage(B, APicture, Source, GetWidth(), GetHeight(), DirectFramePaint);
}

void TskSkinCustomControl::CreateControlDefaultImage(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(GetClientRect());
}

void TskSkinCustomControl::CreateControlSkinImage(TBitmap* B) { CreateSkinImage(B, Picture, SkinRect); }

void TskSkinCustomControl::Paint()
{
  if (GetWidth() < 1 || GetHeight() < 1)
    return;
  GetSkinData();
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  if (!(FIndex != -1 && DirectFramePaint && ResizeMode == 1 && !GetAlphaBlend())) {
    PaintBuffered();
    return;
  }
  PaintDirectFrame();
}

void TskSkinCustomControl::PaintDirectFrame()
{
  if (!Picture || Picture->Empty())
    return;
  const int W = GetWidth(), H = GetHeight();
  TBitmap left, top, right, bottom;
  BuildFrameEdgeBitmaps(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint, NewRBPoint,
                        NewClRect, &left, &top, &right, &bottom, Picture, SkinRect, W, H, LeftStretch, TopStretch,
                        RightStretch, BottomStretch);
  CreateControlSkinImage(&top);
  TCanvas* canvas = GetCanvas();
  const int cw = RectWidth(ClRect), ch = RectHeight(ClRect);
  // A record with an empty client rectangle has nothing to fill the client area with.
  if (FillClientArea && cw > 0 && ch > 0) {
    TBitmap client;
    client.SetSize(cw, ch);
    client.GetCanvas()->CopyRect(Rect(0, 0, cw, ch), Picture->GetCanvas(),
                                 Rect(SkinRect.left + ClRect.left, SkinRect.top + ClRect.top,
                                      SkinRect.left + ClRect.right, SkinRect.top + ClRect.bottom));
    HDC dc = canvas->GetHandle();
    const int saved = SaveDC(dc);
    IntersectClipRect(dc, NewClRect.left, NewClRect.top, NewClRect.right, NewClRect.bottom);
    const int nw = RectWidth(NewClRect), nh = RectHeight(NewClRect);
    if (!StretchEffect) {
      for (int i = 0; i <= nw / cw; ++i)
        for (int j = 0; j <= nh / ch; ++j)
          canvas->Draw(NewClRect.left + i * cw, NewClRect.top + j * ch, &client);
    } else if (nw > 0 && nh > 0) {
      switch (StretchType) {
      case stFull: canvas->StretchDraw(NewClRect, &client); break;
      case stHorz: {
        TBitmap strip;
        strip.SetSize(cw, nh);
        strip.GetCanvas()->StretchDraw(Rect(0, 0, cw, nh), &client);
        for (int i = 0; i <= nw / cw; ++i)
          canvas->Draw(NewClRect.left + i * cw, NewClRect.top, &strip);
        break;
      }
      case stVert: {
        TBitmap strip;
        strip.SetSize(nw, ch);
        strip.GetCanvas()->StretchDraw(Rect(0, 0, nw, ch), &client);
        for (int j = 0; j <= nh / ch; ++j)
          canvas->Draw(NewClRect.left, NewClRect.top + j * ch, &strip);
        break;
      }
      }
    }
    RestoreDC(dc, saved);
  }
  canvas->Draw(0, 0, &top);
  canvas->Draw(0, top.GetHeight(), &left);
  canvas->Draw(W - right.GetWidth(), top.GetHeight(), &right);
  canvas->Draw(0, H - bottom.GetHeight(), &bottom);
}

void TskSkinCustomControl::SetControlRegion()
{
  if (!GetParent())
    return;
  if (!MaskPicture || FIndex == -1) {
    if (RegionHandle) {
      SetWindowRgn(GetHandle(), nullptr, TRUE);
      RegionHandle = nullptr;
    }
    return;
  }
  CreateControlRegion();
}

void TskSkinCustomControl::CreateControlRegion()
{
  int w = GetWidth(), h = GetHeight();
  CalcSize(w, h);
  const int W = GetWidth(), H = GetHeight();
  const int dW = W - RectWidth(SkinRect), dH = H - RectHeight(SkinRect);
  HRGN region = nullptr;
  switch (ResizeMode) {
  case 0: CreateRegionFromMask(region, MaskPicture); break;
  case 1:
    CreateFrameRegion(region, LTPoint, RTPoint, LBPoint, RBPoint, ClRect, NewLTPoint, NewRTPoint, NewLBPoint,
                      NewRBPoint, NewClRect, MaskPicture, W, H);
    break;
  case 2: {
    const TPoint newRight = Point(RTPoint.x + dW, RTPoint.y);
    CreateFrameRegion(region, LTPoint, RTPoint, LTPoint, RTPoint, ClRect, LTPoint, newRight, LTPoint, newRight,
                      NewClRect, MaskPicture, W, H);
    break;
  }
  case 3: {
    const TPoint newBottom = Point(LBPoint.x, LBPoint.y + dH);
    CreateFrameRegion(region, LTPoint, LTPoint, LBPoint, LBPoint, ClRect, LTPoint, LTPoint, newBottom, newBottom,
                      NewClRect, MaskPicture, W, H);
    break;
  }
  default: return;
  }
  SetWindowRgn(GetHandle(), region, TRUE);
  RegionHandle = region;
}
