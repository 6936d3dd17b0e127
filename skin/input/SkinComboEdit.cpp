// The edit style of the skinned combo box: the inner skinned edit, its hooks (list keys, wheel,
// focus colours, cancel mode) and auto-completion from the list.
#include <algorithm>

#include "platform/gdi/Gdi.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinListItems.h"

void TskSkinCustomComboBox::SetStyle(TskSkinCustomComboBoxStyle Value)
{
  if (Designing() && Value == FStyle)
    return;
  FStyle = Value;
  if (Value == spcbEditStyle) {
    if (!FEdit)
      CreateEditControl();
    if (!Designing()) {
      if (GetTabStop()) {
        SetTabStop(false);
        FEdit->SetTabStop(true);
      } else {
        FEdit->SetTabStop(false);
      }
    }
    FEdit->SetText(GetText());
    if (HandleAllocated() && Focused() && FEdit->CanFocus())
      FEdit->SetFocus();
  } else if (FEdit) {
    // The combo takes the tab stop back from the edit it gave it to.
    const bool tabStop = FEdit->GetTabStop();
    DestroyEditControl();
    if (tabStop)
      SetTabStop(true);
  }
  CalcRects();
  if (HandleAllocated())
    RecreateWnd();
  Repaint();
}

void TskSkinCustomComboBox::SetEditFont()
{
  TFont* f = FEdit->GetFont();
  if (FIndex != -1 && GetUseSkinFont()) {
    f->SetStyle(FLook.FontStyle);
    f->SetHeight(FLook.FontHeight);
    f->SetName(FLook.FontName);
    f->SetColor(FLook.FontColor);
  } else {
    f->Assign(FIndex == -1 ? GetFont() : GetDefaultFont());
    if (FIndex != -1)
      f->SetColor(FLook.FontColor);
  }
  if (FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect) &&
      ((FEdit->HandleAllocated() && FEdit->Focused()) || FMouseIn))
    f->SetColor(FLook.ActiveFontColor);
  SetCharsetOf(f);
  if (FEdit->GetEditTransparent() != (FIndex != -1))
    FEdit->SetEditTransparent(FIndex != -1);
  if (!GetEnabled())
    f->SetColor(GetDisabledFontColor());
}

void TskSkinCustomComboBox::CreateEditControl()
{
  FEdit = new TskCustomEdit(this);
  FEdit->FreeNotification(this);
  FEdit->SetParent(this);
  FEdit->SetColor(FDefaultColor);
  FEdit->SetAutoSize(false);
  FEdit->SetHideSelection(FHideSelection);
  FEdit->SetVisible(true);
  FSavedEditProc = FEdit->WindowProc;
  FEdit->WindowProc = [this](TMessage& Message) { EditWindowProcHook(Message); };
  FEdit->OnCancelMode = [this](TObject* Sender) { CancelMode(Sender); };
  FEdit->OnChange = [this](TObject* Sender) { EditChange(Sender); };
  FEdit->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) {
    if (OnKeyDown)
      OnKeyDown(this, Key, Shift);
  };
  FEdit->OnKeyPress = [this](TObject*, char& Key) {
    if (OnKeyPress)
      OnKeyPress(this, Key);
  };
  FEdit->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) {
    if (OnKeyUp)
      OnKeyUp(this, Key, Shift);
  };
  FEdit->SetCharCase(FCharCase);
  if (FIndex == -1) {
    TFont* f = FEdit->GetFont();
    f->SetName(GetFont()->GetName());
    f->SetStyle(GetFont()->GetStyle());
    f->SetColor(GetFont()->GetColor());
    f->SetHeight(GetFont()->GetHeight());
  } else {
    SetEditFont();
  }
  CalcRects();
}

void TskSkinCustomComboBox::DestroyEditControl()
{
  TskCustomEdit* edit = FEdit;
  FEdit = nullptr;
  edit->SetVisible(false);
  delete edit;
}

void TskSkinCustomComboBox::AdjustEditHeight()
{
  HDC dc = GetDC(nullptr);
  TCanvas c;
  c.SetHandle(dc);
  c.GetFont()->Assign(FEdit->GetFont());
  TEXTMETRICA tm{};
  GetTextMetricsA(c.GetHandle(), &tm);
  c.SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  FEdit->SetHeight(std::max<int>(1, tm.tmHeight));
}

void TskSkinCustomComboBox::EditChange(TObject*)
{
  std::shared_ptr<bool> alive = FAlive;
  FUpdatingFromEdit = true;
  const String text = FEdit->GetText();
  TskListBox* inner = FListBox->GetListBox();
  if (!text.empty() && inner->HandleAllocated()) {
    const LRESULT found = SendMessage(inner->GetHandle(), LB_FINDSTRING, static_cast<WPARAM>(-1),
                                      reinterpret_cast<LPARAM>(text.c_str()));
    if (found >= 0)
      SendMessage(inner->GetHandle(), FAutoComplete ? LB_SETCURSEL : LB_SETTOPINDEX, static_cast<WPARAM>(found), 0);
  }
  SetText(text);
  if (*alive)
    FUpdatingFromEdit = false;
}

void TskSkinCustomComboBox::EditListUp(bool Fire)
{
  const int i = FListBox->GetItemIndex();
  if (i <= 0)
    return;
  FListBox->SetItemIndex(i - 1);
  if (!Fire)
    return;
  std::shared_ptr<bool> alive = FAlive;
  SetText(GetItems()->Get(i - 1));
  if (!*alive)
    return;
  if (FEdit)
    FEdit->SelectAll();
  this->Fire(OnClick);
}

void TskSkinCustomComboBox::EditListDown(bool Fire)
{
  const int i = FListBox->GetItemIndex();
  if (i >= GetItems()->GetCount() - 1)
    return;
  FListBox->SetItemIndex(i + 1);
  if (!Fire)
    return;
  std::shared_ptr<bool> alive = FAlive;
  SetText(GetItems()->Get(i + 1));
  if (!*alive)
    return;
  if (FEdit)
    FEdit->SelectAll();
  this->Fire(OnClick);
}

void TskSkinCustomComboBox::EditAutoComplete()
{
  const DWORD now = GetMessageClock().Now();
  if (now - FTimeStamp <= 200)
    return;
  FTimeStamp = now;
  TskListBox* inner = FListBox->GetListBox();
  if (!inner->HandleAllocated())
    return;
  const String text = GetText();
  if (text.empty())
    return;
  const WPARAM start = text.size() == 1 ? static_cast<WPARAM>(GetItemIndex()) : static_cast<WPARAM>(-1);
  const LRESULT found = SendMessage(inner->GetHandle(), LB_FINDSTRING, start, reinterpret_cast<LPARAM>(text.c_str()));
  if (found < 0)
    return;
  std::shared_ptr<bool> alive = FAlive;
  const String old = text;
  SetItemIndex(static_cast<int>(found));
  if (!*alive || !FEdit)
    return;
  const String now_ = GetText();
  FEdit->SetSelStart(static_cast<int>(old.size()));
  FEdit->SetSelLength(static_cast<int>(now_.size()) - static_cast<int>(old.size()));
}

void TskSkinCustomComboBox::EditWindowProcHook(TMessage& Message)
{
  std::shared_ptr<bool> alive = FAlive;
  auto passOn = [&] {
    if (*alive && FEdit)
      FSavedEditProc(Message);
  };
  const bool dropped = FListBox && FListBox->GetVisible();
  switch (Message.Msg) {
  case WM_SETFOCUS:
    if (FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect)) {
      FEdit->GetFont()->SetColor(FLook.ActiveFontColor);
      Invalidate();
    }
    passOn();
    return;
  case WM_KILLFOCUS:
    if (dropped)
      CloseUp(false);
    if (!*alive)
      return;
    if (FIndex != -1 && !IsNullRect(FLook.ActiveSkinRect) && FEdit) {
      FEdit->GetFont()->SetColor(FLook.FontColor);
      Invalidate();
    }
    passOn();
    return;
  case WM_KEYDOWN:
    switch (Message.WParam) {
    case VK_RETURN:
      if (dropped)
        CloseUp(true);
      break;
    case VK_ESCAPE:
      if (dropped)
        CloseUp(false);
      break;
    case VK_PRIOR:
      if (dropped)
        FListBox->SetItemIndex(std::max(0, FListBox->GetItemIndex() - FDropDownCount - 1));
      break;
    case VK_NEXT:
      if (dropped)
        FListBox->SetItemIndex(std::min(GetItems()->GetCount() - 1, FListBox->GetItemIndex() + FDropDownCount - 1));
      break;
    case VK_UP:
      EditListUp(true);
      return;
    case VK_DOWN:
      EditListDown(true);
      return;
    }
    passOn();
    return;
  case WM_KEYUP:
  case WM_SYSKEYUP: {
    // Auto-completion follows the release of a character key only; no other key touches the
    // user's selection (whatever the character set).
    passOn();
    if (*alive && FEdit && FAutoComplete && Message.WParam >= 0x30 && Message.Msg == WM_KEYUP)
      EditAutoComplete();
    return;
  }
  case WM_LBUTTONDOWN:
  case WM_RBUTTONDOWN:
    if (dropped)
      CloseUp(false);
    passOn();
    return;
  case WM_MOUSEWHEEL: {
    const bool fire = !dropped;
    if (static_cast<short>(HIWORD(Message.WParam)) > 0)
      EditListUp(fire);
    else
      EditListDown(fire);
    passOn();
    return;
  }
  }
  passOn();
}
