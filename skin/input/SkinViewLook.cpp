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
