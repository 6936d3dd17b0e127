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
  TColor color1 = GetStyle() == bsLowered ? FDarkColor : FLightColor;
  TColor color2 = GetStyle() == bsLowered ? FLightColor : FDarkColor;
  c->GetPen()->SetWidth(1);
  auto bevelRect = [&](const TRect& R) {
    c->GetPen()->SetColor(color1);
    c->Polyline({Point(R.left, R.bottom), Point(R.left, R.top), Point(R.right, R.top)});
    c->GetPen()->SetColor(color2);
    c->Polyline({Point(R.right, R.top), Point(R.right, R.bottom), Point(R.left, R.bottom)});
  };
  auto bevelLine = [&](TColor Color, int X1, int Y1, int X2, int Y2) {
    c->GetPen()->SetColor(Color);
    c->MoveTo(X1, Y1);
    c->LineTo(X2, Y2);
  };
  if (FDividerMode) {
    switch (shape) {
    case bsTopLine:
    case bsBottomLine: {
      const int h = H / 2;
      bevelRect(Rect(2, h - 1, W - 2, h));
      break;
    }
    case bsSpacer: break;
    default: {
      const int w = W / 2;
      bevelRect(Rect(w - 1, 2, w, H - 2));
      break;
    }
    }
    return;
  }
  switch (shape) {
  case bsBox: bevelRect(Rect(0, 0, W - 1, H - 1)); break;
  case bsFrame: {
    const TColor former = color1;
    color1 = color2;
    bevelRect(Rect(1, 1, W - 1, H - 1));
    color1 = former;
    color2 = former;
    bevelRect(Rect(0, 0, W - 2, H - 2));
    break;
  }
  case bsTopLine:
    bevelLine(color1, 0, 0, W, 0);
    bevelLine(color2, 0, 1, W, 1);
    break;
  case bsBottomLine:
    bevelLine(color1, 0, H - 2, W, H - 2);
    bevelLine(color2, 0, H - 1, W, H - 1);
    break;
  case bsLeftLine:
    bevelLine(color1, 0, 0, 0, H);
    bevelLine(color2, 1, 0, 1, H);
    break;
  case bsRightLine:
    bevelLine(color1, W - 2, 0, W - 2, H);
    bevelLine(color2, W - 1, 0, W - 1, H);
    break;
  case bsSpacer: break;
  }
}
