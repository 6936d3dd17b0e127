#include "skin/controls/SkinStatusBar.h"

#include "skin/foundation/SkinDrawUtils.h"

TskSkinStatusBar::TskSkinStatusBar(TComponent* AOwner) : TskSkinPanel(AOwner)
{
  SetSkinDataName("statusbar");
  SetAlign(alBottom);
  SetHeight(21);
  SetBorderStyle(TskSkinBorderStyle::bvNone);
  DirectFramePaint = false;
}

void TskSkinStatusBar::SetSizeGrip(bool Value)
{
  FSizeGrip = Value;
  Repaint();
  Realign();
}

void TskSkinStatusBar::SetGripEnabled(bool Value)
{
  FGripEnabled = Value;
  Repaint();
  Realign();
}

void TskSkinStatusBar::SetSkinData(TskSkinData* Value)
{
  TskSkinPanel::SetSkinData(Value);
  for (int i = 0; i < GetControlCount(); ++i)
    if (auto* child = dynamic_cast<TskSkinControl*>(GetControl(i)))
      child->SetSkinData(Value);
}

void TskSkinStatusBar::GetSkinData()
{
  TskSkinPanel::GetSkinData();
  if (!Skinned())
    return;
  auto* record = dynamic_cast<TskDataSkinPanelControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!record)
    return;
  FGripperRect = record->gripperrect;
  FGripperTransparent = record->grippertransparent;
  FGripperTransparentColor = record->grippertransparentcolor;
}

void TskSkinStatusBar::AdjustClientRect(TRect& R)
{
  TskSkinPanel::AdjustClientRect(R);
  if (!GripShows())
    return;
  if (Skinned() && !IsNullRect(FGripperRect))
    R.right -= RectWidth(FGripperRect);
  else
    R.right -= RectHeight(R);
}

TRect TskSkinStatusBar::GetGripRect()
{
  const TRect A = GetAdjustedClientRect();
  if (Skinned() && !IsNullRect(FGripperRect))
    return Rect(A.right, A.bottom - RectHeight(FGripperRect), A.right + RectWidth(FGripperRect), A.bottom);
  return Rect(A.right + 2, A.top, A.right + RectHeight(A), A.bottom - 2);
}

void TskSkinStatusBar::DrawGrip(const TRect& R, TCanvas* Canvas, TColor Shadow, TColor Light)
{
  const int most = RectWidth(R) / 3 + 1;
  for (int s = 3, n = 0; R.left + s + 2 <= R.right && n < most; s += 3, ++n) {
    Canvas->GetPen()->SetColor(Shadow);
    Canvas->MoveTo(R.left + s, R.bottom);
    Canvas->LineTo(R.right, R.top + s);
    Canvas->GetPen()->SetColor(Light);
    Canvas->MoveTo(R.left + s + 1, R.bottom);
    Canvas->LineTo(R.right, R.top + s + 1);
  }
}

void TskSkinStatusBar::CreateControlDefaultImage(TBitmap* B)
{
  TskSkinPanel::CreateControlDefaultImage(B);
  if (GripShows())
    DrawGrip(GetGripRect(), B->GetCanvas(), clBtnShadow, clBtnHighlight);
}

void TskSkinStatusBar::CreateControlSkinImage(TBitmap* B)
{
  TskSkinPanel::CreateControlSkinImage(B);
  if (!GripShows())
    return;
  const TRect grip = GetGripRect();
  if (IsNullRect(FGripperRect) || !Picture || Picture->Empty()) {
    const TskSkinColors* colors = FSkinData ? FSkinData->SkinColors : nullptr;
    DrawGrip(grip, B->GetCanvas(), colors ? colors->cbtnshadow : clBtnShadow,
             colors ? colors->cbtnhighlight : clBtnHighlight);
    return;
  }
  const int w = RectWidth(FGripperRect), h = RectHeight(FGripperRect);
  TBitmap picture;
  picture.SetSize(w, h);
  picture.GetCanvas()->CopyRect(Rect(0, 0, w, h), Picture->GetCanvas(), FGripperRect);
  if (FGripperTransparent) {
    picture.SetTransparentMode(tmFixed);
    picture.SetTransparentColor(FGripperTransparentColor);
    picture.SetTransparent(true);
  }
  B->GetCanvas()->Draw(grip.left, grip.top, &picture);
}

void TskSkinStatusBar::WndProc(TMessage& Message)
{
  if (Message.Msg == WM_NCHITTEST && !Designing() && GripShows()) {
    GetSkinData();
    const TPoint p = ScreenToClient(Point(GET_X_LPARAM(Message.LParam), GET_Y_LPARAM(Message.LParam)));
    const TRect grip = GetGripRect();
    Message.Result = PtInRect(&grip, p) ? HTBOTTOMRIGHT : HTCLIENT;
    return;
  }
  TskSkinPanel::WndProc(Message);
}
