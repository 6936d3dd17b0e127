#include "skin/controls/SkinBevel.h"

#include "skin/controls/SkinPanel.h"

TskSkinBevel::TskSkinBevel(TComponent* AOwner) : TBevel(AOwner) {}

TskSkinBevel::~TskSkinBevel()
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
}

void TskSkinBevel::SetSkinData(TskSkinData* Value)
{
  if (FSkinData != Value) {
    if (FSkinData)
      FSkinData->RemoveFreeNotification(this);
    FSkinData = Value;
    if (Value)
      Value->FreeNotification(this);
  }
  ChangeSkinData();
}

void TskSkinBevel::SetDividerMode(bool Value)
{
  FDividerMode = Value;
  Repaint();
}

void TskSkinBevel::ChangeSkinData()
{
  FIndex = FindSkinControlIndex(FSkinData, FSkinDataName);
  if (FIndex == -1) {
    FLightColor = clBtnHighlight;
    FDarkColor = clBtnShadow;
  } else if (auto* record = dynamic_cast<TskDataSkinBevel*>(SkinControlRecord(FSkinData, FIndex))) {
    FLightColor = record->lightcolor;
    FDarkColor = record->darkcolor;
  }
  Repaint();
}

void TskSkinBevel::Notification(TComponent* AComponent, TOperation Operation)
{
  TBevel::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData) {
    FSkinData = nullptr;
    FIndex = -1;
    FLightColor = clBtnHighlight;
    FDarkColor = clBtnShadow;
  }
}

void TskSkinBevel::SetBounds(int ALeft, int ATop, int AWidth, int AHeight)
{
  if (auto* panel = dynamic_cast<TskSkinPanel*>(GetParent()); panel && panel->CentresBevels()) {
    const TRect area = panel->GetAdjustedClientRect();
    ATop = area.top + RectHeight(area) / 2 - AHeight / 2;
  }
  TBevel::SetBounds(ALeft, ATop, AWidth, AHeight);
}

void TskSkinBevel::Paint()
{
  TCanvas* c = GetCanvas();
  const int W = GetWidth(), H = GetHeight();
  const TBevelShape shape = GetShape();
  if (GetComponentState() & csDesigning) {
    if (shape == bsSpacer) {
      c->GetPen()->SetStyle(psDot);
      c->GetPen()->SetMode(pmXor);
      c->GetPen()->SetColor(0xFFD8CE);
      c->GetBrush()->SetStyle(bsClear);
      c->Rectangle(0, 0, W, H);
      return;
    }
    c->GetPen()->SetStyle(psSolid);
    c->GetPen()->SetMode(pmCopy);
    c->GetPen()->SetColor(clBlack);
    c->GetBrush()->SetStyle(bsSolid);
  }
  if (FDividerMode) {
    const TColor color1 = GetStyle() == bsLowered ? FDarkColor : FLightColor;
    const TColor color2 = GetStyle() == bsLowered ? FLightColor : FDarkColor;
    switch (shape) {
    case bsTopLine:
    case bsBottomLine: {
      const int h = H / 2;
      DrawBevelRect(c, Rect(2, h - 1, W - 2, h), color1, color2);
      break;
    }
    case bsSpacer: break;
    default: {
      const int w = W / 2;
      DrawBevelRect(c, Rect(w - 1, 2, w, H - 2), color1, color2);
      break;
    }
    }
    return;
  }
  DrawBevelShape(c, shape, GetStyle(), W, H, FLightColor, FDarkColor);
}
