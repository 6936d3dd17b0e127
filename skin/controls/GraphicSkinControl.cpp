#include "skin/controls/GraphicSkinControl.h"

#include "skin/controls/SkinControl.h"
#include "skin/foundation/SkinDrawUtils.h"

// ---------------------------------------------------------------------------------------------
// TskGraphicSkinControl

TskGraphicSkinControl::TskGraphicSkinControl(TComponent* AOwner) : TGraphicControl(AOwner) {}

TskGraphicSkinControl::~TskGraphicSkinControl()
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  if (FHintImageList)
    FHintImageList->RemoveFreeNotification(this);
}

void TskGraphicSkinControl::SetHintImageList(TCustomImageList* Value)
{
  if (FHintImageList == Value)
    return;
  if (FHintImageList)
    FHintImageList->RemoveFreeNotification(this);
  FHintImageList = Value;
  if (Value)
    Value->FreeNotification(this);
}

void TskGraphicSkinControl::SetSkinData(TskSkinData* Value)
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

void TskGraphicSkinControl::SetAlphaBlend(bool Value)
{
  FAlphaBlend = Value;
  Repaint();
}

void TskGraphicSkinControl::SetAlphaBlendValue(Byte Value)
{
  FAlphaBlendValue = Value;
  Repaint();
}

void TskGraphicSkinControl::GetSkinData() { FIndex = FindSkinControlIndex(FSkinData, FSkinDataName); }

void TskGraphicSkinControl::ApplySkinCursor()
{
  if (FUseSkinCursor)
    SetCursor(SkinCursor(FSkinData, CursorIndex));
}

void TskGraphicSkinControl::ChangeSkinData()
{
  GetSkinData();
  ApplySkinCursor();
  Repaint();
}

void TskGraphicSkinControl::ResetSkinIndex() { FIndex = -1; }

void TskGraphicSkinControl::Notification(TComponent* AComponent, TOperation Operation)
{
  TGraphicControl::Notification(AComponent, Operation);
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

void TskGraphicSkinControl::CreateControlDefaultImage(TBitmap*) {}

void TskGraphicSkinControl::CreateControlSkinImage(TBitmap*) {}

void TskGraphicSkinControl::Paint()
{
  if (GetWidth() <= 0 || GetHeight() <= 0)
    return;
  GetSkinData();
  PaintBuffered();
}

void TskGraphicSkinControl::PaintBuffered()
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

void TskGraphicSkinControl::Dispatch(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_MOVE:
    DefaultHandler(Message);
    if (FAlphaBlend)
      Repaint();
    break;
  case WM_ERASEBKGND: break;
  case ParentImageChangedMessage:
    // A graphic control has no children to pass the notice on to.
    if (FAlphaBlend)
      Repaint();
    break;
  default: TGraphicControl::Dispatch(Message); break;
  }
}

void TskGraphicSkinControl::CMMouseEnter(TMessage&)
{
  if (!Designing() && OnMouseEnter)
    OnMouseEnter(this);
}

void TskGraphicSkinControl::CMMouseLeave(TMessage&)
{
  if (!Designing() && OnMouseLeave)
    OnMouseLeave(this);
}

// ---------------------------------------------------------------------------------------------
// TskGraphicSkinCustomControl

TskGraphicSkinCustomControl::TskGraphicSkinCustomControl(TComponent* AOwner)
    : TskGraphicSkinControl(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetStyle(0);
  FDefaultFont->SetHeight(14);
  FDefaultFont->OnChange = [this](TObject* Sender) { OnDefaultFontChange(Sender); };
}

TskGraphicSkinCustomControl::~TskGraphicSkinCustomControl() { FDefaultFont->OnChange = nullptr; }

void TskGraphicSkinCustomControl::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  DefaultFontChanged();
}

void TskGraphicSkinCustomControl::OnDefaultFontChange(TObject*)
{
  DefaultFontChanged();
  if (FIndex == -1)
    Repaint();
}

void TskGraphicSkinCustomControl::SetDefaultWidth(int Value)
{
  FDefaultWidth = Value;
  if (FIndex == -1 && Value > 0)
    SetWidth(Value);
}

void TskGraphicSkinCustomControl::SetDefaultHeight(int Value)
{
  FDefaultHeight = Value;
  if (FIndex == -1 && Value > 0)
    SetHeight(Value);
}

void TskGraphicSkinCustomControl::GetSkinData()
{
  TskGraphicSkinControl::GetSkinData();
  if (FIndex == -1)
    return;
  TskDataSkinControl* record = SkinControlRecord(FSkinData, FIndex);
  if (CopySkinGeometry(FSkinData, record))
    CursorIndex = record->cursorindex;
}

void TskGraphicSkinCustomControl::CalcSize(int& W, int& H) { CalcSkinSize(FIndex != -1, W, H); }

void TskGraphicSkinCustomControl::ChangeSkinData()
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
  Repaint();
}

void TskGraphicSkinCustomControl::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
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
  TskGraphicSkinControl::SetBounds(ALeft, ATop, AWidth, AHeight);
  if (sizeChanged)
    Repaint();
}

void TskGraphicSkinCustomControl::CreateSkinImage(TBitmap* B, TBitmap* APicture, const TRect& Source)
{
  BuildSkinImage(B, APicture, Source, GetWidth(), GetHeight(), false);
}

void TskGraphicSkinCustomControl::CreateControlDefaultImage(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(clBtnFace);
  c->FillRect(GetClientRect());
}

void TskGraphicSkinCustomControl::CreateControlSkinImage(TBitmap* B) { CreateSkinImage(B, Picture, SkinRect); }
