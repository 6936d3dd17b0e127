// The lookups of skinned forms and MDI children, the main form's free client area, and the
// inactive-client veil.
#include "skin/frame/SkinFormLookup.h"

#include <algorithm>

#include "skin/foundation/SkinEffects.h"

namespace {

TForm* MainForm() { return Application ? Application->GetMainForm() : nullptr; }

} // namespace

TskSkinnedForm* GetActiveMDIChildSkinForm()
{
  TForm* main = MainForm();
  return main && main->GetActiveMDIChild() ? GetSkinnedForm(main->GetActiveMDIChild()) : nullptr;
}

TskSkinnedForm* GetMaximizedChildSkinForm()
{
  TForm* main = MainForm();
  for (int i = 0; main && i < main->GetMDIChildCount(); ++i)
    if (TskSkinnedForm* frame = GetSkinnedForm(main->GetMDIChildren(i)); frame && frame->GetSkinWindowState() == wsMaximized)
      return frame;
  return nullptr;
}

TForm* GetMaximizedMDIChild()
{
  TForm* main = MainForm();
  if (!main)
    return nullptr;
  if (TForm* active = main->GetActiveMDIChild())
    if (TskSkinnedForm* frame = GetSkinnedForm(active); frame && frame->GetSkinWindowState() == wsMaximized)
      return active;
  TskSkinnedForm* frame = GetMaximizedChildSkinForm();
  return frame ? frame->OwnerForm() : nullptr;
}

TRect GetMainFormFreeClientRect()
{
  TForm* main = MainForm();
  if (!main)
    return TRect{};
  const int cw = main->GetClientWidth(), ch = main->GetClientHeight();
  TRect r{0, 0, cw, ch};
  int bottom = ch, right = cw;
  for (int i = 0; i < main->GetControlCount(); ++i) {
    TControl* c = main->GetControl(i);
    if (!c->GetVisible())
      continue;
    switch (c->GetAlign()) {
    case alTop: r.top = std::max(static_cast<int>(r.top), c->GetTop() + c->GetHeight()); break;
    case alBottom:
      if (c->GetTop() < ch)
        bottom = std::min(bottom, c->GetTop());
      break;
    case alLeft: r.left = std::max(static_cast<int>(r.left), c->GetLeft() + c->GetWidth()); break;
    case alRight: right = std::min(right, c->GetLeft()); break;
    default: break;
    }
  }
  r.bottom = bottom;
  r.right = right;
  return r;
}

// ---- The inactive-client veil ----

TskClientInActivePanel::TskClientInActivePanel(TComponent* AOwner) : TskSkinPaintPanel(AOwner)
{
  SetVisible(false);
}

TskClientInActivePanel::~TskClientInActivePanel() = default;

void TskClientInActivePanel::PanelPaint(TCanvas* Canvas)
{
  if (FSnapshot)
    FSnapshot->DrawToCanvas(Canvas, 0, 0);
}

void TskClientInActivePanel::ShowPanel(TForm* Form, TskClientInActiveEffect Effect)
{
  if (!Form || !Form->GetVisible() || !Form->HandleAllocated())
    return;
  const int w = Form->GetClientWidth(), h = Form->GetClientHeight();
  if (w <= 0 || h <= 0)
    return;
  SetVisible(false);
  SetParent(Form);
  SetBounds(0, 0, w, h);
  FSnapshot = std::make_unique<TskBitmap>();
  FSnapshot->SetSize(w, h);
  HWND wnd = Form->GetHandle();
  PAINTSTRUCT ps{};
  HDC dc = BeginPaint(wnd, &ps);
  BitBlt(FSnapshot->GetDC(), 0, 0, w, h, dc, 0, 0, SRCCOPY);
  EndPaint(wnd, &ps);
  if (Effect == spieBlur) {
    BlurBitmap(FSnapshot.get(), 3);
  } else {
    TskBitmap background;
    background.SetSize(w, h);
    SendMessageA(wnd, WM_ERASEBKGND, reinterpret_cast<WPARAM>(background.GetDC()), 0);
    background.HasAlpha = true;
    background.SetAlpha(170);
    background.DrawToBitmap(FSnapshot.get(), 0, 0);
  }
  SetVisible(true);
}

void TskClientInActivePanel::HidePanel()
{
  SetVisible(false);
  FSnapshot.reset();
}

// ---- The component's side ----

void TskSkinnedForm::ShowClientInActivePanel()
{
  HideClientInActivePanel();
  FClientInActivePanel = new TskClientInActivePanel(this);
  FSnapshotInProgress = true;
  FClientInActivePanel->ShowPanel(FOwnerForm, ClientInActiveEffectType);
  FSnapshotInProgress = false;
}

void TskSkinnedForm::HideClientInActivePanel()
{
  if (!FClientInActivePanel)
    return;
  FClientInActivePanel->HidePanel();
  delete FClientInActivePanel;
  FClientInActivePanel = nullptr;
}
