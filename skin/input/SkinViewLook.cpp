#include "skin/input/SkinViewLook.h"

#include "platform/vcl/Controls.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/input/SkinListScrollBars.h"

void ApplyViewFont(const TskViewLook& Look, bool UseSkinFont, TFont* Font, TFont* DefaultFont)
{
  if (UseSkinFont) {
    Font->SetName(Look.FontName);
    Font->SetStyle(Look.FontStyle);
    Font->SetHeight(Look.FontHeight);
  } else {
    Font->Assign(DefaultFont);
  }
  Font->SetColor(Look.FontColor);
}

void ApplyViewLook(TControl* View, int Index, const TskViewLook& Look, bool UseSkinFont, TColor DefaultColor,
                   TFont* DefaultFont)
{
  if (Index == -1) {
    View->SetColor(DefaultColor);
    View->GetFont()->Assign(DefaultFont);
  } else if (Look.Found) {
    ApplyViewFont(Look, UseSkinFont, View->GetFont(), DefaultFont);
    View->SetColor(Look.BGColor);
  }
}

TFontCharset ViewCharset(TskSkinData* Data, TFont* DefaultFont)
{
  TskResourceStrData* strings = Data ? Data->GetResourceStrData() : nullptr;
  return strings ? strings->CharSet : DefaultFont->GetCharset();
}

void SendViewThumbPosition(HWND View, bool Vertical, int Position)
{
  const int bar = Vertical ? SB_VERT : SB_HORZ;
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = SIF_POS;
  si.nPos = Position;
  SetScrollInfo(View, bar, &si, FALSE);
  SendMessageA(View, Vertical ? WM_VSCROLL : WM_HSCROLL,
               MAKEWPARAM(SB_THUMBPOSITION, static_cast<WORD>(Position & 0xFFFF)), 0);
}

void RealignBar(IskScrollBarLink* Bar)
{
  TskSkinControl* control = ScrollBarControl(Bar);
  if (control && control->GetAlign() != alNone && control->GetParent())
    control->GetParent()->Realign();
}

void TskLinkedBar::Link(TComponent* Owner, IskScrollBarLink* NewBar)
{
  if (Component)
    Component->RemoveFreeNotification(Owner);
  Bar = NewBar;
  Component = NewBar ? NewBar->LinkComponent() : nullptr;
  if (Component)
    Component->FreeNotification(Owner);
}

bool TskLinkedBar::Forget(TComponent* Removed)
{
  if (!Removed || Removed != Component)
    return false;
  Bar = nullptr;
  Component = nullptr;
  return true;
}

std::unique_ptr<TFont> NewViewDefaultFont()
{
  auto font = std::make_unique<TFont>();
  font->SetName("Arial");
  font->SetHeight(14);
  font->SetStyle(0);
  return font;
}

bool SetViewSkinData(TComponent* View, TskSkinData*& Field, TskSkinData* Value)
{
  if (Field)
    Field->RemoveFreeNotification(View);
  Field = Value;
  if (Field)
    Field->FreeNotification(View);
  return Field && !Field->Empty && !(View->GetComponentState() & csDesigning);
}

// ----- linked bars -----

TskViewBars::~TskViewBars()
{
  for (TskLinkedBar* Linked : {&V, &H}) {
    if (Linked->Bar)
      Linked->Bar->OnChange = nullptr;
    Linked->Link(FView, nullptr);
  }
}

void TskViewBars::Link(bool Vertical, IskScrollBarLink* Bar, bool TakeOver, std::function<void()> OnChange)
{
  TskLinkedBar& Linked = Vertical ? V : H;
  if (Linked.Bar && Linked.Bar != Bar)
    Linked.Bar->OnChange = nullptr;
  Linked.Link(FView, Bar);
  if (!Bar)
    return;
  if (TakeOver) {
    Bar->SetBarEnabled(true);
    Bar->SetBarVisible(false);
  }
  if (OnChange)
    Bar->OnChange = [OnChange](TObject*) { OnChange(); };
  else
    Bar->OnChange = [this, Vertical](TObject*) { ScrollViewToBar(Vertical); };
}

void TskViewBars::Forget(TComponent* Removed)
{
  V.Forget(Removed);
  H.Forget(Removed);
}

void TskViewBars::Realign()
{
  RealignBar(V.Bar);
  RealignBar(H.Bar);
}

void TskViewBars::SetVisible(bool Visible)
{
  if (V.Bar)
    V.Bar->SetBarVisible(Visible);
  if (H.Bar)
    H.Bar->SetBarVisible(Visible);
}

SCROLLINFO TskViewBars::ScrollInfo(bool Vertical, UINT Mask) const
{
  SCROLLINFO si{};
  si.cbSize = sizeof(si);
  si.fMask = Mask;
  GetScrollInfo(FView->GetHandle(), Vertical ? SB_VERT : SB_HORZ, &si);
  return si;
}

bool TskViewBars::Show(IskScrollBarLink* Bar, bool Visible)
{
  if (Bar->GetBarVisible() == Visible)
    return false;
  Synchronising = true;
  Bar->SetBarVisible(Visible);
  Synchronising = false;
  return true;
}

void TskViewBars::Follow(IskScrollBarLink* Bar, const SCROLLINFO& Info, int Page, int SmallChange, int LargeChange,
                         int* LastPosition)
{
  if (Bar->GetBarVisible()) {
    Bar->SetRange(Info.nMin, Info.nMax, Info.nPos, Page);
    if (SmallChange > 0)
      Bar->SetSmallChange(SmallChange);
    if (LargeChange > 0)
      Bar->SetLargeChange(LargeChange);
    if (LastPosition)
      *LastPosition = Bar->GetPosition();
  }
}

void TskViewBars::Finish(bool Changed)
{
  if (V.Bar && H.Bar && H.Bar->GetBoth() != V.Bar->GetBarVisible())
    H.Bar->SetBoth(V.Bar->GetBarVisible());
  if (Changed && FView->GetAlign() != alNone && FView->GetParent()) {
    Synchronising = true;
    FView->GetParent()->Realign();
    Synchronising = false;
  }
}

void TskViewBars::ScrollViewToBar(bool Vertical)
{
  IskScrollBarLink* bar = Bar(Vertical);
  if (bar && FView->HandleAllocated())
    SendViewThumbPosition(FView->GetHandle(), Vertical, bar->GetPosition());
}
