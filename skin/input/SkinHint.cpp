#include "skin/input/SkinHint.h"

#include <algorithm>

#include "skin/controls/ComponentReference.h"
#include "skin/controls/GraphicSkinControl.h"
#include "skin/controls/SkinControl.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinEffectBmp.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinLayered.h"
#include "skin/foundation/SkinRegions.h"

namespace {

TBitmap* HintPicture(TskSkinData* Data, int Index)
{
  if (!Data || Index < 0 || Index >= static_cast<int>(Data->ActivePictures.size()))
    return nullptr;
  TBitmap* b = Data->ActivePictures[static_cast<std::size_t>(Index)];
  return b && !b->Empty() ? b : nullptr;
}

// Every occurrence of Separator in Text replaced by a line feed and a carriage return.
String SplitLines(const String& Text, const String& Separator)
{
  if (Separator.empty())
    return Text;
  String r;
  std::size_t from = 0;
  for (;;) {
    const std::size_t at = Text.find(Separator, from);
    if (at == String::npos)
      break;
    r.append(Text, from, at - from);
    r += "\n\r";
    from = at + Separator.size();
  }
  r.append(Text, from, String::npos);
  return r;
}

SIZE CalcText(TCanvas* Canvas, const String& Text)
{
  RECT r = Rect(0, 0, 0, 0);
  DrawTextA(Canvas->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &r, DT_CALCRECT);
  return {r.right - r.left, r.bottom - r.top};
}

void DrawPlain(TCanvas* Canvas, const String& Text, TRect R)
{
  DrawTextA(Canvas->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &R, 0);
}

bool IsDesigning(const TComponent* C) { return (C->GetComponentState() & csDesigning) != 0; }

} // namespace

// ---------------------------------------------------------------------------------------------
// TskSkinHintWindow

TskSkinHintWindow::TskSkinHintWindow(TComponent* AOwner) : THintWindow(AOwner), BlendCapture(std::make_unique<TBitmap>())
{
}

TskSkinHintWindow::~TskSkinHintWindow() = default;

void TskSkinHintWindow::CreateParams(TCreateParams& Params)
{
  THintWindow::CreateParams(Params);
  Params.Style &= ~static_cast<DWORD>(WS_BORDER);
  if (IsWindowsXPOrLater())
    Params.WindowClass.style |= CS_DROPSHADOW;
}

void TskSkinHintWindow::WndProc(TMessage& Message)
{
  if (Message.Msg == WM_NCPAINT) {
    Message.Result = 0;
    return;
  }
  if (Message.Msg == WM_ERASEBKGND) {
    Message.Result = 1;
    return;
  }
  THintWindow::WndProc(Message);
}

TskSkinHint* TskSkinHintWindow::FindActiveHint()
{
  TForm* main = Application ? Application->GetMainForm() : nullptr;
  if (!main)
    return nullptr;
  for (int i = 0; i < main->GetComponentCount(); ++i)
    if (auto* h = dynamic_cast<TskSkinHint*>(main->GetComponent(i)); h && h->GetActive())
      return h;
  return nullptr;
}

void TskSkinHintWindow::SetHintFont(TFont* Font) const
{
  TFont* def = ActiveHint->GetDefaultFont();
  if (SkinInUse && ActiveHint->GetUseSkinFont()) {
    const TskDataSkinHintWindow* rec = SkinInUse->HintWindow;
    Font->SetHeight(rec->fontheight);
    Font->SetName(rec->fontname);
    Font->SetStyle(rec->fontstyle);
  } else {
    Font->Assign(def);
  }
  TskSkinData* data = ActiveHint->GetSkinData();
  if (data && data->GetResourceStrData())
    Font->SetCharset(data->GetResourceStrData()->CharSet);
  else
    Font->SetCharset(def->GetCharset());
}

SIZE TskSkinHintWindow::TextSize(TCanvas* Canvas, const String& Text) const { return CalcText(Canvas, Text); }

void TskSkinHintWindow::FrameSize(int& W, int& H, bool Rich)
{
  const TskDataSkinHintWindow* rec = SkinInUse->HintWindow;
  TBitmap* pic = HintPicture(SkinInUse, rec->windowpictureindex);
  const int pw = pic->GetWidth();
  const int ph = pic->GetHeight();
  const TRect cl = rec->clientrect;
  W = W + cl.left + pw - cl.right + (Rich ? 0 : 5);
  H = H + cl.top + ph - cl.bottom;
  int dx = W - pw;
  int dy = H - ph;
  // The stretched corners never cross.
  if (rec->righttoppoint.x + dx < rec->lefttoppoint.x) {
    W += rec->lefttoppoint.x - (rec->righttoppoint.x + dx);
    dx = W - pw;
  }
  if (rec->rightbottompoint.x + dx < rec->leftbottompoint.x) {
    W += rec->leftbottompoint.x - (rec->rightbottompoint.x + dx);
    dx = W - pw;
  }
  if (rec->leftbottompoint.y + dy < rec->lefttoppoint.y) {
    H += rec->lefttoppoint.y - (rec->leftbottompoint.y + dy);
    dy = H - ph;
  }
  if (rec->rightbottompoint.y + dy < rec->righttoppoint.y) {
    H += rec->righttoppoint.y - (rec->rightbottompoint.y + dy);
    dy = H - ph;
  }
  FrameClientRect = Rect(cl.left, cl.top, cl.right + dx, cl.bottom + dy);
  FrameLeftTop = rec->lefttoppoint;
  FrameRightTop = Point(rec->righttoppoint.x + dx, rec->righttoppoint.y);
  FrameLeftBottom = Point(rec->leftbottompoint.x, rec->leftbottompoint.y + dy);
  FrameRightBottom = Point(rec->rightbottompoint.x + dx, rec->rightbottompoint.y + dy);
}

void TskSkinHintWindow::ActivateHint(const TRect& ARect, const String& AHint)
{
  int w = 0, h = 0;
  if (PrepareHint(AHint, w, h))
    Show(ARect, w, h);
}

bool TskSkinHintWindow::PrepareHint(const String& AHint, int& W, int& H)
{
  RichMode = false;
  ActiveHint = FindActiveHint();
  if (!ActiveHint)
    return false;
  RichMode = !ActiveHint->TitleText.empty() || ActiveHint->TitleImages;
  TskSkinData* data = ActiveHint->GetSkinData();
  SkinInUse = data && !data->Empty && data->HintWindow && data->HintWindow->windowpictureindex != -1 &&
                      HintPicture(data, data->HintWindow->windowpictureindex)
                  ? data
                  : nullptr;
  const String text = SplitLines(AHint, ActiveHint->GetLineSeparator());
  SetText(text);
  TCanvas* c = GetCanvas();
  SetHintFont(c->GetFont());
  const SIZE t = TextSize(c, text);
  int w = t.cx;
  int h = t.cy;
  if (RichMode) {
    int titleHeight = 0;
    if (!ActiveHint->TitleText.empty()) {
      const SIZE ts = CalcText(c, ActiveHint->TitleText);
      titleHeight = ts.cy;
      h += ts.cy + 10;
      w = std::max(w, static_cast<int>(ts.cx));
    }
    TCustomImageList* images = ActiveHint->TitleImages;
    if (images && ActiveHint->TitleImageIndex >= 0 && ActiveHint->TitleImageIndex < images->GetCount()) {
      w += images->GetWidth() + 10;
      h = std::max(h, images->GetHeight() + titleHeight + 5);
    }
    if (SkinInUse) {
      w += 10;
      FrameSize(w, h, true);
    } else {
      w += 4;
      h += 4;
    }
  } else if (SkinInUse) {
    FrameSize(w, h, false);
  } else {
    w += 4;
    h += 4;
  }
  W = w;
  H = h;
  return true;
}

void TskSkinHintWindow::Show(const TRect& ARect, int W, int H)
{
  TRect r = Rect(ARect.left, ARect.top, ARect.left + W, ARect.top + H);
  TRect limit = Rect(0, 0, Screen->GetWidth(), Screen->GetHeight());
  TCustomForm* ref = Screen->GetActiveCustomForm();
  if (!ref && Application->GetMainForm() && Application->GetMainForm()->GetVisible())
    ref = Application->GetMainForm();
  if (ref && ref->HandleAllocated())
    limit = Screen->MonitorFromWindow(ref->GetHandle()).WorkareaRect;
  if (r.right > limit.right)
    OffsetRect(&r, -(W + 2), 0);
  if (r.bottom > limit.bottom)
    OffsetRect(&r, 0, -(H + 2));
  SetBounds(r.left, r.top, W, H);
  HWND wnd = GetHandle();
  // Blending.
  const bool support = ActiveHint->GetAlphaBlendSupport();
  const bool blend = ActiveHint->GetAlphaBlend();
  const bool fade = ActiveHint->GetAlphaBlendAnimation();
  const int value = ActiveHint->GetAlphaBlendValue();
  if (blend != LastAlphaBlend && support) {
    const LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
    if (!blend) {
      SetWindowLongA(wnd, GWL_EXSTYLE, ex & ~static_cast<LONG>(WS_EX_LAYERED));
    } else {
      SetWindowLongA(wnd, GWL_EXSTYLE, ex | static_cast<LONG>(WS_EX_LAYERED));
      if (!fade)
        SetLayeredAlpha(wnd, value);
    }
    LastAlphaBlend = blend;
  }
  if (support && blend && fade)
    SetLayeredAlpha(wnd, 0);
  if (value != LastAlphaBlendValue && support && blend) {
    if (!fade)
      SetLayeredAlpha(wnd, value);
    LastAlphaBlendValue = value;
  }
  if (blend && !support) {
    BlendCapture->SetPixelFormat(pf24bit);
    BlendCapture->SetSize(W, H);
    CopyScreenToBitmap(r.left, r.top, BlendCapture.get());
  }
  // Region.
  const TskDataSkinHintWindow* rec = SkinInUse ? SkinInUse->HintWindow : nullptr;
  TBitmap* mask = rec ? HintPicture(SkinInUse, rec->maskpictureindex) : nullptr;
  if (rec && rec->maskpictureindex != -1 && mask) {
    HRGN rgn = nullptr;
    CreateFrameRegion(rgn, rec->lefttoppoint, rec->righttoppoint, rec->leftbottompoint, rec->rightbottompoint,
                      rec->clientrect, FrameLeftTop, FrameRightTop, FrameLeftBottom, FrameRightBottom,
                      FrameClientRect, mask, W, H);
    SetWindowRgn(wnd, rgn, FALSE);
  } else {
    SetWindowRgn(wnd, nullptr, FALSE);
  }
  SetWindowPos(wnd, HWND_TOPMOST, r.left, r.top, 0, 0, SWP_SHOWWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
  SetVisible(true);
  Repaint();
  FadeSteps.clear();
  if (support && blend && fade)
    FadeIn(value);
}

void TskSkinHintWindow::FadeIn(int Target)
{
  // A busy loop on the GUI thread: no message is handled meanwhile, so the window cannot go away.
  const int step = std::max(Target / 15, 1);
  int alpha = 0;
  Cardinal last = GetTickCount();
  while (alpha < Target) {
    const Cardinal now = GetTickCount();
    if (now - last <= 3)
      continue;
    last = now;
    alpha = std::min(alpha + step, Target);
    Repaint();
    SetLayeredAlpha(GetHandle(), alpha);
    FadeSteps.push_back(alpha);
  }
}

void TskSkinHintWindow::Paint() { PaintTo(GetCanvas()); }

void TskSkinHintWindow::PaintTo(TCanvas* Canvas)
{
  if (!ActiveHint)
    ActiveHint = FindActiveHint();
  if (!ActiveHint)
    return;
  const int w = GetWidth();
  const int h = GetHeight();
  if (w <= 0 || h <= 0)
    return;
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(w, h);
  TCanvas* c = b.GetCanvas();
  const TskDataSkinHintWindow* rec = SkinInUse ? SkinInUse->HintWindow : nullptr;
  TBitmap* pic = rec ? HintPicture(SkinInUse, rec->windowpictureindex) : nullptr;
  if (pic) {
    BuildNineSliceBitmapStretched(rec->lefttoppoint, rec->righttoppoint, rec->leftbottompoint, rec->rightbottompoint,
                                  rec->clientrect, FrameLeftTop, FrameRightTop, FrameLeftBottom, FrameRightBottom,
                                  FrameClientRect, &b, pic, Rect(0, 0, pic->GetWidth(), pic->GetHeight()), w, h, true,
                                  rec->leftstretch, rec->topstretch, rec->rightstretch, rec->bottomstretch,
                                  rec->stretcheffect, rec->stretchtype);
  } else {
    c->GetBrush()->SetStyle(bsSolid);
    c->GetBrush()->SetColor(clInfoBk);
    c->FillRect(Rect(0, 0, w, h));
    c->GetBrush()->SetColor(clBtnShadow);
    c->FrameRect(Rect(0, 0, w, h));
  }
  c->GetBrush()->SetStyle(bsClear);
  SetHintFont(c->GetFont());
  c->GetFont()->SetColor(pic ? static_cast<TColor>(rec->fontcolor) : clInfoText);
  const String text = GetText();
  const TRect area = pic ? FrameClientRect : Rect(2, 2, w - 2, h - 2);
  if (!RichMode) {
    if (pic) {
      // The text block centred in the frame's client part.
      const SIZE t = CalcText(c, text);
      const int x = area.left + (RectWidth(area) - t.cx) / 2;
      const int y = area.top + (RectHeight(area) - t.cy) / 2;
      DrawPlain(c, text, Rect(x, y, x + t.cx, y + t.cy));
    } else {
      DrawPlain(c, text, area);
    }
  } else {
    const int left = pic ? area.left + 5 : 2;
    int a = 0;
    const String& title = ActiveHint->TitleText;
    if (!title.empty()) {
      const SIZE plain = CalcText(c, title);
      c->GetFont()->SetStyle(c->GetFont()->GetStyle() + fsBold);
      const SIZE bold = CalcText(c, title);
      DrawPlain(c, title, Rect(left, area.top, left + bold.cx, area.top + bold.cy));
      c->GetFont()->SetStyle(c->GetFont()->GetStyle() - fsBold);
      a = plain.cy + 5;
    }
    TCustomImageList* images = ActiveHint->TitleImages;
    const int index = ActiveHint->TitleImageIndex;
    const bool hasImage = images && index >= 0 && index < images->GetCount();
    const SIZE t = CalcText(c, text);
    if (pic) {
      const int ix = area.left + 5;
      if (hasImage) {
        const int iy = a ? area.top + a : area.top + (RectHeight(area) - images->GetHeight()) / 2;
        images->Draw(c, ix, iy, index, true);
      }
      const int tx = hasImage ? ix + images->GetWidth() + 5 : area.left + 5;
      const int ty = a ? area.top + a : area.top + (RectHeight(area) - t.cy) / 2;
      DrawPlain(c, text, Rect(tx, ty, tx + t.cx, ty + t.cy));
    } else {
      if (hasImage) {
        const int iy = a ? a : area.top + (RectHeight(area) - images->GetHeight()) / 2;
        images->Draw(c, 2, iy, index, true);
      }
      TRect q = area;
      q.top += a;
      if (hasImage)
        q.left += 2 + images->GetWidth() + 5;
      DrawPlain(c, text, q);
    }
  }
  if (ActiveHint->GetAlphaBlend() && !ActiveHint->GetAlphaBlendSupport() && BlendCapture->GetWidth() == w &&
      BlendCapture->GetHeight() == h) {
    auto mine = TskEffectBmp::CreateFromBitmap(b.GetHandle());
    auto under = TskEffectBmp::CreateFromBitmap(BlendCapture->GetHandle());
    if (mine && under) {
      mine->Morph(under.get(), 1.0 - ActiveHint->GetAlphaBlendValue() / 255.0);
      mine->Draw(Canvas->GetHandle(), 0, 0);
      return;
    }
  }
  Canvas->Draw(0, 0, &b);
}

// ---------------------------------------------------------------------------------------------
// TskSkinHint

TskSkinHint::TskSkinHint(TComponent* AOwner) : TComponent(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  FHintWindow = new TskSkinHintWindow(nullptr);
  if (!IsDesigning(this) && Application) {
    Application->HintWindowClass = [](TComponent* Owner) -> THintWindow* { return new TskSkinHintWindow(Owner); };
    Application->SetShowHint(false);
    Application->SetShowHint(true);
    InstallHandler();
    Application->SetHintShortPause(100);
  }
}

TskSkinHint::~TskSkinHint()
{
  *FAlive = false;
  if (FSkinData)
    FSkinData->RemoveFreeNotification(this);
  delete FHintWindow;
  delete FRequestTimer;
}

void TskSkinHint::InstallHandler()
{
  std::weak_ptr<bool> alive = FAlive;
  Application->OnShowHint = [alive, this](String& HintStr, bool& CanShow, THintInfo& HintInfo) {
    // A handler left behind by a component that went away does nothing.
    if (auto a = alive.lock(); a && *a)
      DoShowHint(HintStr, CanShow, HintInfo);
  };
}

void TskSkinHint::SetAlphaBlendSupport(bool Value) { FAlphaBlendSupport = Value && IsWindows2000OrLater(); }

void TskSkinHint::SetSkinData(TskSkinData* Value)
{
  SetComponentReference(this, FSkinData, Value);
}

void TskSkinHint::SetActive(bool Value)
{
  FActive = Value;
  TForm* main = Application ? Application->GetMainForm() : nullptr;
  if (Value && main)
    for (int i = 0; i < main->GetComponentCount(); ++i)
      if (auto* other = dynamic_cast<TskSkinHint*>(main->GetComponent(i)); other && other != this && other->FActive)
        other->SetActive(false);
  if (!IsDesigning(this) && FActive && Application)
    InstallHandler();
}

void TskSkinHint::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation == opRemove && AComponent == FSkinData)
    FSkinData = nullptr;
}

void TskSkinHint::ClearTitle()
{
  TitleText.clear();
  TitleImageIndex = 0;
  TitleImages = nullptr;
}

void TskSkinHint::DoShowHint(String& HintStr, bool& CanShow, THintInfo& HintInfo)
{
  ClearTitle();
  if (auto* sc = dynamic_cast<TskSkinControl*>(HintInfo.HintControl)) {
    TitleText = sc->GetHintTitle();
    TitleImageIndex = sc->GetHintImageIndex();
    TitleImages = sc->GetHintImageList();
  } else if (auto* gc = dynamic_cast<TskGraphicSkinControl*>(HintInfo.HintControl)) {
    TitleText = gc->GetHintTitle();
    TitleImageIndex = gc->GetHintImageIndex();
    TitleImages = gc->GetHintImageList();
  }
  if (OnShowHint)
    OnShowHint(HintStr, CanShow, HintInfo);
}

void TskSkinHint::ShowHintText(const String& Text)
{
  delete FRequestTimer;
  FRequestTimer = nullptr;
  FRequestText = Text;
  ClearTitle();
  FRequestTimer = new TTimer(this);
  FRequestTimer->SetInterval(static_cast<Cardinal>(Application->GetHintPause()));
  FRequestTimer->SetOnTimer([this](TObject*) { RequestTimerFired(); });
  FRequestTimer->SetEnabled(true);
}

void TskSkinHint::RequestTimerFired()
{
  POINT p{};
  GetCursorPos(&p);
  p.y += CursorMargin();
  FHintWindow->ActivateHint(Rect(p.x, p.y, p.x, p.y), FRequestText);
  FHintWindow->SetVisible(true);
  if (!FRequestTimer)
    return;
  FRequestTimer->SetEnabled(false);
  FRequestTimer->SetInterval(static_cast<Cardinal>(Application->GetHintHidePause()));
  FRequestTimer->SetOnTimer([this](TObject*) { HideHint(); });
  FRequestTimer->SetEnabled(true);
}

void TskSkinHint::HideHint()
{
  delete FRequestTimer;
  FRequestTimer = nullptr;
  if (FHintWindow->GetVisible()) {
    FHintWindow->SetVisible(false);
    if (FHintWindow->HandleAllocated())
      SetWindowPos(FHintWindow->GetHandle(), nullptr, 0, 0, 0, 0, SWP_HIDEWINDOW | SWP_NOACTIVATE | SWP_NOSIZE);
    ClearTitle();
  }
}

int TskSkinHint::CursorMargin()
{
  // The platform's cursors give no monochrome mask to scan: the cursor's height is the margin.
  return GetSystemMetrics(SM_CYCURSOR);
}
