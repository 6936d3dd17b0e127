#include "skin/input/SkinMemo.h"

#include "platform/gdi/Gdi.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "skin/controls/SkinControlGeometry.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinRegions.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"

TskSkinMemo::TskSkinMemo(TComponent* AOwner) : TMemo(AOwner)
{
  SetAutoSize(false);
  GetFont()->SetName("Arial");
  GetFont()->SetHeight(14);
  GetFont()->SetColor(clBlack);
  FDefaultFont = std::make_unique<TFont>();
  FDefaultFont->Assign(GetFont());
  FDefaultFont->OnChange = [this](TObject* Sender) { DefaultFontChange(Sender); };
  SetScrollBars(ssBoth);
}

TskSkinMemo::~TskSkinMemo()
{
  FContextMenu.Free();
  if (FDefaultFont)
    FDefaultFont->OnChange = nullptr;
}

void TskSkinMemo::SetDefaultFont(TFont* Value)
{
  FDefaultFont->Assign(Value);
  if (!Skinned())
    GetFont()->Assign(Value);
}

void TskSkinMemo::DefaultFontChange(TObject*)
{
  if (!Skinned())
    GetFont()->Assign(FDefaultFont.get());
}

void TskSkinMemo::SetBitMapBG(bool Value)
{
  FBitMapBG = Value;
  RecreateWnd();
}

void TskSkinMemo::SetSkinData(TskSkinData* Value)
{
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  FSkinData = Value;
  if (FSkinData)
    FSkinData->FreeNotification(this);
  if (FSkinData && !FSkinData->Empty && !(GetComponentState() & csDesigning))
    ChangeSkinData();
}

void TskSkinMemo::SetTransparent(bool Value)
{
  if (FTransparent == Value)
    return;
  FTransparent = Value;
  Invalidate();
}

void TskSkinMemo::SetAlphaBlendValue(Byte Value)
{
  if (FAlphaBlendValue == Value)
    return;
  FAlphaBlendValue = Value;
  if (FTransparent)
    Invalidate();
}

void TskSkinMemo::SetVScrollBar(IskScrollBarLink* Bar)
{
  if (FVScrollBarComponent)
    FVScrollBarComponent->RemoveFreeNotification(this);
  FVScrollBar = Bar;
  FVScrollBarComponent = Bar ? Bar->LinkComponent() : nullptr;
  if (!Bar)
    return;
  if (FVScrollBarComponent)
    FVScrollBarComponent->FreeNotification(this);
  Bar->SetRange(0, 0, 0, 0);
  Bar->OnChange = [this](TObject*) { VScrollBarChange(); };
}

void TskSkinMemo::SetHScrollBar(IskScrollBarLink* Bar)
{
  if (FHScrollBarComponent)
    FHScrollBarComponent->RemoveFreeNotification(this);
  FHScrollBar = Bar;
  FHScrollBarComponent = Bar ? Bar->LinkComponent() : nullptr;
  if (!Bar)
    return;
  if (FHScrollBarComponent)
    FHScrollBarComponent->FreeNotification(this);
  Bar->SetRange(0, 0, 0, 0);
  Bar->OnChange = [this](TObject*) { HScrollBarChange(); };
}

void TskSkinMemo::Notification(TComponent* AComponent, TOperation Operation)
{
  TMemo::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  if (AComponent && AComponent == FVScrollBarComponent) {
    FVScrollBar = nullptr;
    FVScrollBarComponent = nullptr;
  }
  if (AComponent && AComponent == FHScrollBarComponent) {
    FHScrollBar = nullptr;
    FHScrollBarComponent = nullptr;
  }
}

void TskSkinMemo::Loaded()
{
  TMemo::Loaded();
  UpdateScrollBars();
}

void TskSkinMemo::Change()
{
  TMemo::Change();
  UpdateScrollBars();
}

void TskSkinMemo::CreateParams(TCreateParams& Params)
{
  TMemo::CreateParams(Params);
  Params.ExStyle &= ~(WS_EX_CLIENTEDGE | WS_EX_TRANSPARENT);
  Params.Style &= ~WS_BORDER;
  Params.Style |= ES_MULTILINE;
  Params.WindowClass.style &= ~(CS_HREDRAW | CS_VREDRAW);
}

// ----- skin -----

void TskSkinMemo::GetSkinData()
{
  FIndex = (!FSkinData || FSkinData->Empty) ? -1 : FSkinData->GetControlIndex(FSkinDataName);
  if (FIndex == -1)
    return;
  auto* r = dynamic_cast<TskDataSkinMemoControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!r)
    return;
  Picture = SkinPicture(FSkinData, r->pictureindex);
  SkinRect = r->skinrect;
  ActiveSkinRect = IsRectEmpty(&r->activeskinrect) ? r->skinrect : r->activeskinrect;
  LTPoint = r->lefttoppoint;
  RTPoint = r->righttoppoint;
  LBPoint = r->leftbottompoint;
  RBPoint = r->rightbottompoint;
  ClRect = r->clientrect;
  FontName = r->fontname;
  FontStyle = r->fontstyle;
  FontHeight = r->fontheight;
  FontColor = r->fontcolor;
  ActiveFontColor = r->activefontcolor;
  BGColor = r->bgcolor;
  ActiveBGColor = r->activebgcolor;
  LeftStretch = r->leftstretch;
  TopStretch = r->topstretch;
  RightStretch = r->rightstretch;
  BottomStretch = r->bottomstretch;
  StretchEffect = r->stretcheffect;
  StretchType = r->stretchtype;
}

void TskSkinMemo::ChangeSkinData()
{
  GetSkinData();
  if (!Skinned()) {
    GetFont()->Assign(FDefaultFont.get());
  } else {
    if (FUseSkinFont) {
      GetFont()->SetName(FontName);
      GetFont()->SetStyle(FontStyle);
      GetFont()->SetHeight(FontHeight);
    } else {
      GetFont()->Assign(FDefaultFont.get());
    }
    SetColor(BGColor);
  }
  TskResourceStrData* strings = FSkinData ? FSkinData->GetResourceStrData() : nullptr;
  GetFont()->SetCharset(strings ? strings->CharSet : FDefaultFont->GetCharset());
  UpdateScrollBars();
  if (!GetEnabled())
    GetFont()->SetColor(clGrayText);
  else if (Skinned() && FUseSkinFontColor)
    GetFont()->SetColor(FontColor);
  else
    GetFont()->SetColor(FDefaultFont->GetColor());
  AdjustTextRect();
}

bool TskSkinMemo::Hot() { return MouseIn || (HandleAllocated() && GetFocus() == GetHandle()); }

void TskSkinMemo::SetHotColors(bool Active)
{
  if (Skinned()) {
    if (FUseSkinFontColor)
      GetFont()->SetColor(Active ? ActiveFontColor : FontColor);
    if (!FBitMapBG)
      SetColor(Active ? ActiveBGColor : BGColor);
  }
  Invalidate();
}

// ----- scroll bars -----

void TskSkinMemo::UpdateScrollBars()
{
  if (!HandleAllocated())
    return;
  auto update = [this](IskScrollBarLink* Bar, int Which) {
    if (!Bar)
      return;
    if (!GetEnabled()) {
      Bar->SetBarEnabled(false);
      return;
    }
    SCROLLINFO si{};
    si.cbSize = sizeof(si);
    si.fMask = SIF_ALL;
    GetScrollInfo(GetHandle(), Which, &si);
    // The same test both ways: the text does not fit while the page is shorter than the range.
    if (static_cast<int>(si.nPage) < si.nMax + 1) {
      Bar->SetRange(0, si.nMax, si.nPos, static_cast<int>(si.nPage));
      Bar->SetBarEnabled(true);
    } else {
      Bar->SetRange(0, 0, 0, 0);
      Bar->SetBarEnabled(false);
    }
  };
  update(FVScrollBar, SB_VERT);
  update(FHScrollBar, SB_HORZ);
}

void TskSkinMemo::VScrollBarChange()
{
  if (!FVScrollBar || !HandleAllocated())
    return;
  SendMessageA(GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FVScrollBar->GetPosition()), 0);
  Invalidate();
}

void TskSkinMemo::HScrollBarChange()
{
  if (!FHScrollBar || !HandleAllocated())
    return;
  SendMessageA(GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, FHScrollBar->GetPosition()), 0);
  Invalidate();
}

// ----- painting -----

void TskSkinMemo::AdjustTextRect()
{
  if (GetBorderStyle() != bsSingle || !HandleAllocated())
    return;
  GetSkinData();
  TRect r = GetClientRect();
  if (!Skinned()) {
    r.left += FBitMapBG ? 3 : 6;
    r.top += 2;
    r.right -= 4;
    r.bottom -= 2;
  } else {
    if (FBitMapBG) {
      r.left += ClRect.left + 1;
      r.top += ClRect.top + 1;
    } else {
      r.left += ClRect.left + 3;
      r.top += ClRect.top + 2;
    }
    r.right -= RectWidth(SkinRect) - ClRect.right + 3;
    r.bottom -= RectHeight(SkinRect) - ClRect.bottom + 2;
    if (r.right < r.left)
      r.right = r.left;
    if (r.bottom < r.top)
      r.bottom = r.top;
  }
  FFormatRect = r;
  RECT rc = r;
  SendMessageA(GetHandle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&rc));
}

void TskSkinMemo::DrawFrame(TCanvas* Canvas)
{
  if (GetBorderStyle() != bsSingle)
    return;
  const int W = GetClientWidth(), H = GetClientHeight();
  if (!Skinned()) {
    Canvas->GetBrush()->SetStyle(bsClear);
    TRect r = Rect(0, 0, W, H);
    Frame3D(Canvas, r, clBtnShadow, clBtnShadow, 1);
    Frame3D(Canvas, r, clBtnFace, clBtnFace, 1);
    return;
  }
  if (!Picture)
    return;
  const TRect source = Hot() ? ActiveSkinRect : SkinRect;
  const int dW = W - RectWidth(SkinRect), dH = H - RectHeight(SkinRect);
  TRect ncr = ClRect;
  ncr.right += dW;
  ncr.bottom += dH;
  TBitmap left, top, right, bottom;
  BuildFrameEdgeBitmaps(LTPoint, RTPoint, LBPoint, RBPoint, ClRect, LTPoint, Point(RTPoint.x + dW, RTPoint.y),
                        Point(LBPoint.x, LBPoint.y + dH), Point(RBPoint.x + dW, RBPoint.y + dH), ncr, &left, &top,
                        &right, &bottom, Picture, source, W, H, LeftStretch, TopStretch, RightStretch, BottomStretch);
  Canvas->Draw(0, 0, &top);
  Canvas->Draw(0, top.GetHeight(), &left);
  Canvas->Draw(W - right.GetWidth(), top.GetHeight(), &right);
  Canvas->Draw(0, H - bottom.GetHeight(), &bottom);
}

void TskSkinMemo::DrawBackground(TCanvas* Canvas)
{
  const int W = GetClientWidth(), H = GetClientHeight();
  if (W < 1 || H < 1)
    return;
  std::unique_ptr<TBitmap> parentBG;
  if (FTransparent && FBitMapBG) {
    parentBG = std::make_unique<TBitmap>();
    parentBG->SetSize(W, H);
    PaintParentBackground(this, parentBG->GetCanvas());
  }
  GetSkinData();
  const bool singleBorder = GetBorderStyle() == bsSingle;
  if (!FBitMapBG) {
    Canvas->GetBrush()->SetStyle(bsSolid);
    if (!Skinned()) {
      Canvas->GetBrush()->SetColor(clWindow);
      Canvas->FillRect(Rect(2, 2, W - 2, H - 2));
    } else {
      TRect r{ClRect.left, ClRect.top, W + ClRect.right - RectWidth(SkinRect), H + ClRect.bottom - RectHeight(SkinRect)};
      if (r.right < r.left)
        r.right = r.left;
      if (r.bottom < r.top)
        r.bottom = r.top;
      Canvas->GetBrush()->SetColor(GetColor());
      Canvas->FillRect(r);
    }
    if (singleBorder)
      DrawFrame(Canvas);
    AdjustTextRect();
    return;
  }
  TBitmap b;
  b.SetSize(W, H);
  if (parentBG && FAlphaBlendValue == 0) {
    // Only what lies under the memo shows.
    b.Assign(parentBG.get());
  } else if (!Skinned()) {
    b.GetCanvas()->GetBrush()->SetStyle(bsSolid);
    b.GetCanvas()->GetBrush()->SetColor(clWindow);
    b.GetCanvas()->FillRect(Rect(0, 0, W, H));
  } else {
    BuildTiledSkinBitmap(ClRect, Rect(0, 0, W, H), &b, Picture, Hot() ? ActiveSkinRect : SkinRect, W, H,
                         StretchEffect, StretchType);
  }
  if (singleBorder)
    DrawFrame(b.GetCanvas());
  if (parentBG && FAlphaBlendValue != 0 && FAlphaBlendValue != 255) {
    auto front = TskEffectBmp::CreateFromBitmap(b.GetHandle());
    auto back = TskEffectBmp::CreateFromBitmap(parentBG->GetHandle());
    front->Morph(back.get(), 1.0 - FAlphaBlendValue / 255.0);
    front->Draw(Canvas->GetHandle(), 0, 0);
  } else {
    Canvas->Draw(0, 0, &b);
  }
  AdjustTextRect();
}

void TskSkinMemo::Invalidate()
{
  if (!FBitMapBG) {
    TMemo::Invalidate();
    return;
  }
  if (GetParent() && HandleAllocated()) {
    PaintLock = false;
    ::RedrawWindow(GetHandle(), nullptr, nullptr, RDW_ERASE | RDW_INVALIDATE);
  }
}

void TskSkinMemo::PaintDisabled(TMessage& Message)
{
  PAINTSTRUCT ps{};
  HDC dc = reinterpret_cast<HDC>(Message.WParam);
  const bool own = dc == nullptr;
  if (own)
    dc = BeginPaint(GetHandle(), &ps);
  {
    TCanvas canvas;
    canvas.SetHandle(dc);
    canvas.GetBrush()->SetStyle(bsClear);
    TFont* font = canvas.GetFont();
    if (Skinned() && FUseSkinFont) {
      font->SetName(FontName);
      font->SetHeight(FontHeight);
      font->SetStyle(FontStyle);
    } else {
      font->Assign(FDefaultFont.get());
    }
    TColor color = clGrayText;
    if (Skinned()) {
      if (auto* edit = dynamic_cast<TskDataSkinEditControl*>(
              SkinControlRecord(FSkinData, FindSkinControlIndex(FSkinData, "edit"))))
        color = edit->disabledfontcolor;
    }
    font->SetColor(color);
    TskResourceStrData* strings = FSkinData ? FSkinData->GetResourceStrData() : nullptr;
    font->SetCharset(strings ? strings->CharSet : FDefaultFont->GetCharset());
    int textHeight = canvas.TextHeight("Wq");
    const int n = textHeight == 0 ? 1 : GetClientHeight() / textHeight;
    SendMessageA(GetHandle(), EM_GETLINECOUNT, 0, 0);
    const int first = static_cast<int>(SendMessageA(GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0));
    RECT r = FFormatRect;
    const UINT align = GetAlignment() == taRightJustify ? DT_RIGHT : GetAlignment() == taCenter ? DT_CENTER : DT_LEFT;
    for (int i = first; i <= first + n - 2; ++i) {
      if (i >= 0 && i < GetLines()->GetCount()) {
        const String line = GetLines()->Get(i);
        DrawTextA(dc, line.c_str(), static_cast<int>(line.size()), &r, align);
      }
      r.top += textHeight;
    }
    canvas.SetHandle(nullptr);
  }
  if (own)
    EndPaint(GetHandle(), &ps);
}

// ----- context menu -----

std::vector<TskEditMenuEntry> TskSkinMemo::ContextMenuEntries()
{
  return EditContextMenuEntries(this, FReadOnly, FSkinData ? FSkinData->GetResourceStrData() : nullptr);
}


// ----- messages -----

void TskSkinMemo::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_NCCALCSIZE:
    Message.Result = 0;
    return;
  case WM_NCPAINT:
    if (FBitMapBG)
      Invalidate();
    return;
  case CN_CTLCOLOREDIT:
  case CN_CTLCOLORSTATIC:
    if (FBitMapBG) {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
      Message.Result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
      return;
    }
    break;
  case WM_ERASEBKGND:
    if (!FBitMapBG && GetBorderStyle() != bsSingle)
      break;
    {
      TCanvas canvas;
      canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
      DrawBackground(&canvas);
      canvas.SetHandle(nullptr);
    }
    SendMessageA(GetHandle(), WM_PAINT, Message.WParam, 0);
    PaintLock = true;
    Message.Result = 1;
    return;
  case WM_PAINT:
    if (PaintLock && FBitMapBG) {
      if (Message.WParam == 0) {
        PAINTSTRUCT ps{};
        BeginPaint(GetHandle(), &ps);
        EndPaint(GetHandle(), &ps);
      }
      PaintLock = false;
      return;
    }
    if (!GetEnabled()) {
      PaintDisabled(Message);
      return;
    }
    if (FBitMapBG) {
      PaintLock = true;
      TMemo::WndProc(Message);
      PaintLock = false;
      return;
    }
    break;
  case WM_CHAR:
    if (!FReadOnly || Message.WParam == 3)
      TMemo::WndProc(Message);
    UpdateScrollBars();
    if (FBitMapBG)
      Invalidate();
    return;
  case WM_KEYDOWN:
    if (FReadOnly && Message.WParam == VK_DELETE)
      return;
    TMemo::WndProc(Message);
    UpdateScrollBars();
    if (FBitMapBG)
      Invalidate();
    return;
  case WM_CUT:
  case WM_PASTE:
  case WM_CLEAR:
  case WM_UNDO:
    if (FReadOnly)
      return;
    TMemo::WndProc(Message);
    if (FBitMapBG)
      Invalidate();
    UpdateScrollBars();
    return;
  case WM_MOUSEWHEEL:
    SendMessageA(GetHandle(), WM_VSCROLL, static_cast<short>(HIWORD(Message.WParam)) > 0 ? SB_LINEUP : SB_LINEDOWN, 0);
    if (FBitMapBG)
      Invalidate();
    return;
  case WM_CONTEXTMENU:
    if (GetPopupMenu())
      break;
    FContextMenu.Show(this, Message.LParam, ContextMenuEntries());
    return;
  case SkinMenuCommandDoneMessage:
    FContextMenu.Free();
    return;
  case SkinControlQueryMessage:
    if (Message.WParam != 0) {
      TCanvas canvas;
      canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
      DrawBackground(&canvas);
      canvas.SetHandle(nullptr);
      Message.Result = SkinControlQueryAnswer;
    }
    return;
  case CM_ENABLEDCHANGED:
    if (HandleAllocated())
      SendMessageA(GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 0), 0);
    TMemo::WndProc(Message);
    UpdateScrollBars();
    return;
  case WM_LBUTTONDOWN:
    MouseSelecting = true;
    break;
  default:
    break;
  }
  TMemo::WndProc(Message);
  switch (Message.Msg) {
  case WM_MOVE:
    if (FTransparent && Skinned())
      Invalidate();
    break;
  case WM_SIZE:
  case WM_HSCROLL:
  case WM_VSCROLL:
  case WM_SETTEXT:
    UpdateScrollBars();
    if (Message.Msg == WM_SETTEXT && FBitMapBG)
      Invalidate();
    break;
  case WM_LBUTTONUP:
    if (MouseSelecting)
      UpdateScrollBars();
    MouseSelecting = false;
    break;
  case WM_MOUSEMOVE:
    if (MouseSelecting) {
      UpdateScrollBars();
      if (FBitMapBG)
        Invalidate();
    }
    break;
  case CM_MOUSEENTER:
    MouseIn = true;
    if (!(HandleAllocated() && GetFocus() == GetHandle()))
      SetHotColors(true);
    break;
  case CM_MOUSELEAVE:
    MouseIn = false;
    if (!(HandleAllocated() && GetFocus() == GetHandle()))
      SetHotColors(false);
    break;
  case WM_SETFOCUS:
    if (!MouseIn)
      SetHotColors(true);
    break;
  case WM_KILLFOCUS:
    if (!MouseIn)
      SetHotColors(false);
    break;
  default:
    break;
  }
}
