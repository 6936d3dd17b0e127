#include "skin/shell/SkinGridEditors.h"

#include "platform/gdi/Gdi.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "skin/shell/SkinGrids.h"

std::function<TPopupMenu*(TskSkinInplaceEdit* Editor)> TskSkinInplaceEdit::CreateContextMenu;

// ----- TskSkinTransparentMaskEdit -----

TskSkinTransparentMaskEdit::TskSkinTransparentMaskEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) {
  FControlStyle |= csOpaque;
}

void TskSkinTransparentMaskEdit::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  if (HandleAllocated()) RecreateWnd();
}

void TskSkinTransparentMaskEdit::CreateParams(TCreateParams& Params) {
  TCustomMaskEdit::CreateParams(Params);
  if (FTransparent) Params.ExStyle |= WS_EX_TRANSPARENT;
}

void TskSkinTransparentMaskEdit::Invalidate() {
  if (FTransparent && GetParent() && GetParent()->HandleAllocated()) {
    const TRect B = GetBoundsRect();
    RECT R{B.left, B.top, B.right, B.bottom};
    ::InvalidateRect(GetParent()->GetHandle(), &R, TRUE);
  }
  TCustomMaskEdit::Invalidate();
}

void TskSkinTransparentMaskEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_CTLCOLOREDIT:
      if (FTransparent) {
        HDC DC = reinterpret_cast<HDC>(Message.WParam);
        ::SetBkMode(DC, TRANSPARENT);
        ::SetTextColor(DC, ColorToRGB(GetFont()->GetColor()));
        Message.Result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
        return;
      }
      break;
    case WM_ERASEBKGND:
      if (FTransparent) {
        Invalidate();
        Message.Result = 1;
        return;
      }
      break;
    case WM_LBUTTONDOWN:
      FMouseDown = true;
      if (FTransparent) Invalidate();
      break;
    case WM_MOUSEMOVE:
      if (FMouseDown) Invalidate();
      break;
    case WM_LBUTTONUP:
      FMouseDown = false;
      break;
    default:
      break;
  }
  TCustomMaskEdit::WndProc(Message);
  switch (Message.Msg) {
    case CM_ENTER:
    case CM_EXIT:
    case WM_KEYDOWN:
    case WM_SETTEXT:
    case WM_MOVE:
    case WM_CUT:
    case WM_PASTE:
    case WM_CLEAR:
    case WM_UNDO:
      if (FTransparent) Invalidate();
      break;
    default:
      break;
  }
}

// ----- TskSkinInplaceEdit -----

TskSkinInplaceEdit::TskSkinInplaceEdit(TComponent* AOwner) : TskSkinTransparentMaskEdit(AOwner) {
  SetParentCtl3D(false);
  SetCtl3D(false);
  SetTabStop(false);
  SetBorderStyle(bsNone);
  FVisible = false;
}

TskSkinInplaceEdit::~TskSkinInplaceEdit() { FreeContextMenu(); }

void TskSkinInplaceEdit::CreateParams(TCreateParams& Params) {
  TskSkinTransparentMaskEdit::CreateParams(Params);
  Params.Style |= ES_MULTILINE;
}

void TskSkinInplaceEdit::BoundsChanged() {
  if (!HandleAllocated()) return;
  RECT R{2, 2, GetWidth() - 2, GetHeight()};
  SendMessageA(GetHandle(), EM_SETRECTNP, 0, reinterpret_cast<LPARAM>(&R));
  SendMessageA(GetHandle(), EM_SCROLLCARET, 0, 0);
}

void TskSkinInplaceEdit::UpdateContents() {
  if (!FGrid) return;
  SetText("");
  SetEditMask(FGrid->GetEditMask(FGrid->GetCol(), FGrid->GetRow()));
  SetText(FGrid->GetEditText(FGrid->GetCol(), FGrid->GetRow()));
  SetMaxLength(FGrid->GetEditLimit());
}

void TskSkinInplaceEdit::Deselect() {
  if (HandleAllocated()) SendMessageA(GetHandle(), EM_SETSEL, 0x7FFFFFFF, static_cast<LPARAM>(-1));
}

void TskSkinInplaceEdit::Invalidate() {
  if (GetTransparent()) {
    TskSkinTransparentMaskEdit::Invalidate();
    return;
  }
  if (!HandleAllocated()) return;
  ::InvalidateRect(GetHandle(), nullptr, TRUE);
  if (FGrid && FGrid->HandleAllocated()) {
    const TRect B = GetBoundsRect();
    RECT R{B.left, B.top, B.right, B.bottom};
    ::ValidateRect(FGrid->GetHandle(), &R);
    ::InvalidateRect(FGrid->GetHandle(), &R, FALSE);
  }
}

void TskSkinInplaceEdit::Hide() {
  if (HandleAllocated() && GetVisible()) {
    Invalidate();
    const bool HadFocus = Focused();
    SetVisible(false);
    if (HadFocus && FGrid && FGrid->HandleAllocated()) ::SetFocus(FGrid->GetHandle());
  }
}

void TskSkinInplaceEdit::Move(const TRect& R) {
  if (R.right <= R.left || R.bottom <= R.top) {
    Hide();
    return;
  }
  HandleNeeded();
  const bool Redraw = !GetVisible();
  Invalidate();
  SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
  SetVisible(true);
  BoundsChanged();
  if (Redraw) Invalidate();
  if (FGrid && FGrid->Focused()) SetFocus();
}

void TskSkinInplaceEdit::UpdateLoc(const TRect& R) {
  if (R.right <= R.left || R.bottom <= R.top) {
    Hide();
    return;
  }
  HandleNeeded();
  Invalidate();
  SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top);
  SetVisible(true);
  BoundsChanged();
  Invalidate();
  if (FGrid && FGrid->Focused()) SetFocus();
}

bool TskSkinInplaceEdit::ForwardKey(Word& Key, TShiftState Shift) {
  FGrid->KeyDown(Key, Shift);
  Key = 0;
  return true;
}

void TskSkinInplaceEdit::KeyDown(Word& Key, TShiftState Shift) {
  if (!FGrid) {
    TskSkinTransparentMaskEdit::KeyDown(Key, Shift);
    return;
  }
  const bool AlwaysShow = (FGrid->GetOptions() & goAlwaysShowEditor) != 0;
  auto SelStart = [&]() { return GetSelStart(); };
  auto SelEnd = [&]() { return GetSelStart() + GetSelLength(); };
  const int TextLen = static_cast<int>(GetText().size());
  switch (Key) {
    case VK_UP:
    case VK_DOWN:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_ESCAPE:
      ForwardKey(Key, Shift);
      return;
    case VK_INSERT:
      if (Shift == 0) {
        ForwardKey(Key, Shift);
        return;
      }
      if (Shift == ssShift && !FGrid->CanEditModify()) {
        Key = 0;
        return;
      }
      break;
    case VK_LEFT:
    case VK_HOME:
      if (AlwaysShow && ((Shift & ssCtrl) || (SelStart() == 0 && (SelEnd() == 0 || SelEnd() == TextLen)))) {
        ForwardKey(Key, Shift);
        return;
      }
      break;
    case VK_RIGHT:
    case VK_END:
      if (AlwaysShow &&
          ((Shift & ssCtrl) || ((SelStart() == 0 || SelStart() == SelEnd()) && SelEnd() == TextLen))) {
        ForwardKey(Key, Shift);
        return;
      }
      break;
    case VK_F2:
      if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
      if (Key == VK_F2) {
        Deselect();
        return;
      }
      break;
    case VK_TAB:
      if (!(Shift & ssAlt)) {
        ForwardKey(Key, Shift);
        return;
      }
      break;
    case VK_DELETE:
      if (!FGrid->CanEditModify()) {
        Key = 0;
        return;
      }
      break;
    default:
      break;
  }
  if (Key != 0) {
    if (FGrid->OnKeyDown) FGrid->OnKeyDown(FGrid, Key, Shift);
    if (Key != 0) TskSkinTransparentMaskEdit::KeyDown(Key, Shift);
  }
}

void TskSkinInplaceEdit::KeyPress(char& Key) {
  if (!FGrid) {
    TskSkinTransparentMaskEdit::KeyPress(Key);
    return;
  }
  FGrid->KeyPress(Key);
  const unsigned char C = static_cast<unsigned char>(Key);
  if (C >= 32 && !FGrid->CanEditAcceptKey(Key)) {
    Key = 0;
    ::MessageBeep(0);
  }
  switch (Key) {
    case 0: return;
    case '\t':
    case 27: Key = 0; return;
    case '\r': {
      const int Len = static_cast<int>(GetText().size());
      if (GetSelStart() == 0 && GetSelLength() == Len) Deselect();
      else SelectAll();
      Key = 0;
      return;
    }
    case '\b':
    case 0x16:  // Ctrl+V
    case 0x18:  // Ctrl+X
      if (!FGrid->CanEditModify()) Key = 0;
      break;
    default:
      if (static_cast<unsigned char>(Key) >= 32 && !FGrid->CanEditModify()) Key = 0;
      break;
  }
  if (Key != 0) TskSkinTransparentMaskEdit::KeyPress(Key);
}

void TskSkinInplaceEdit::KeyUp(Word& Key, TShiftState Shift) {
  if (FGrid) FGrid->KeyUp(Key, Shift);
}

void TskSkinInplaceEdit::DblClick() {
  if (FGrid) FGrid->DblClick();
}

void TskSkinInplaceEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case WM_GETDLGCODE:
      TskSkinTransparentMaskEdit::WndProc(Message);
      if (FGrid && (FGrid->GetOptions() & goTabs)) Message.Result |= DLGC_WANTTAB;
      return;
    case WM_PASTE:
    case WM_CUT:
    case WM_CLEAR:
      if (FGrid && !FGrid->CanEditModify()) return;
      break;
    case WM_SETFOCUS:
      // The grid stays the form's focused control while its editor holds the focus.
      if (FGrid) {
        TCustomForm* Form = GetParentForm(this);
        if (Form && !Form->SetFocusedControl(FGrid)) return;
        Dispatch(Message);
        return;
      }
      break;
    case WM_LBUTTONDOWN: {
      const DWORD Now = static_cast<DWORD>(::GetMessageTime());
      if (FClickTime != 0 && Now - FClickTime < ::GetDoubleClickTime()) Message.Msg = WM_LBUTTONDBLCLK;
      FClickTime = 0;
      break;
    }
    case WM_CONTEXTMENU:
      if (GetPopupMenu()) break;
      {
        int X = static_cast<short>(Message.LParamLo());
        int Y = static_cast<short>(Message.LParamHi());
        if (X < 0 || Y < 0) {
          const TPoint O = ClientToScreen(Point(0, 0));
          X = O.x + GetWidth() / 2;
          Y = O.y + GetHeight() / 2;
        }
        ShowContextMenu(X, Y);
      }
      return;
    case SkinMenuCommandDoneMessage:
      FreeContextMenu();
      return;
    default:
      break;
  }
  TskSkinTransparentMaskEdit::WndProc(Message);
}

std::vector<TskEditMenuEntry> TskSkinInplaceEdit::ContextMenuEntries() {
  TskResourceStrData* Strings = nullptr;
  if (FGrid && FGrid->GetSkinDataComponent()) Strings = FGrid->GetSkinDataComponent()->GetResourceStrData();
  auto Caption = [&](const char* Key, const char* Fallback) {
    if (Strings) {
      String S = Strings->GetResStr(Key);
      if (!S.empty()) return S;
    }
    return String(Fallback);
  };
  const bool ReadOnly = GetReadOnly() || (FGrid && !FGrid->CanEditModify());
  const int SelStart = GetSelStart();
  const int SelEnd = SelStart + GetSelLength();
  const bool Selected = SelStart < SelEnd;
  const bool All = SelStart == 0 && SelEnd == static_cast<int>(GetText().size());
  return {
      {Caption("EDIT_UNDO", "Undo"), GetCanUndo(), [this] { Undo(); }},
      {"-", true, nullptr},
      {Caption("EDIT_CUT", "Cut"), Selected && !ReadOnly, [this] { CutToClipboard(); }},
      {Caption("EDIT_COPY", "Copy"), Selected, [this] { CopyToClipboard(); }},
      {Caption("EDIT_PASTE", "Paste"), ::IsClipboardFormatAvailable(CF_TEXT) && !ReadOnly,
       [this] { PasteFromClipboard(); }},
      {Caption("EDIT_DELETE", "Delete"), Selected && !ReadOnly, [this] { ClearSelection(); }},
      {"-", true, nullptr},
      {Caption("EDIT_SELECTALL", "Select All"), !All, [this] { SelectAll(); }},
  };
}

void TskSkinInplaceEdit::FreeContextMenu() {
  TPopupMenu* M = FPopupMenu;
  FPopupMenu = nullptr;
  delete M;
}

void TskSkinInplaceEdit::ShowContextMenu(int X, int Y) {
  FreeContextMenu();
  FPopupMenu = CreateContextMenu ? CreateContextMenu(this) : new TPopupMenu(this);
  for (const TskEditMenuEntry& E : ContextMenuEntries()) {
    auto* Item = new TMenuItem(FPopupMenu);
    Item->SetCaption(E.Caption);
    Item->SetEnabled(E.Enabled);
    if (E.Action) Item->OnClick = [Action = E.Action](TObject*) { Action(); };
    FPopupMenu->GetItems()->Add(Item);
  }
  FPopupMenu->SetPopupComponent(this);
  FPopupMenu->Popup(X, Y);
}
