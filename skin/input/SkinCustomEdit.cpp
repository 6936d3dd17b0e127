#include "skin/input/SkinCustomEdit.h"

#include <cstring>

#include "platform/gdi/Gdi.h"
#include "platform/rtl/Convert.h"
#include "platform/vcl/Forms.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "skin/foundation/SkinRegions.h"

// ----- TskCustomEdit -----

TskCustomEdit::TskCustomEdit(TComponent* AOwner) : TCustomMaskEdit(AOwner) { FControlStyle |= csOpaque; }

TskCustomEdit::~TskCustomEdit() { FContextMenu.Free(); }

void TskCustomEdit::SetEditTransparent(bool Value)
{
  FEditTransparent = Value;
  RecreateWnd();
}

void TskCustomEdit::CreateParams(TCreateParams& Params)
{
  TCustomMaskEdit::CreateParams(Params);
  Params.Style &= ~WS_BORDER;
  Params.ExStyle &= ~WS_EX_CLIENTEDGE;
  if (FEditTransparent)
    Params.ExStyle |= WS_EX_TRANSPARENT;
  if (GetPasswordChar())
    Params.Style |= ES_PASSWORD;
  else
    Params.Style |= ES_MULTILINE;
}

void TskCustomEdit::WMSetFont(TMessage& Message)
{
  TCustomMaskEdit::WMSetFont(Message);
  if (HandleAllocated())
    SendMessageA(GetHandle(), EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(2, 0));
}

void TskCustomEdit::Invalidate()
{
  if (!FEditTransparent) {
    TCustomMaskEdit::Invalidate();
    return;
  }
  TWinControl* parent = GetParent();
  if (!parent || !HandleAllocated() || !parent->HandleAllocated())
    return;
  RECT r{};
  ::GetClientRect(GetHandle(), &r);
  ::MapWindowPoints(GetHandle(), parent->GetHandle(), reinterpret_cast<POINT*>(&r), 2);
  ::InvalidateRect(parent->GetHandle(), &r, TRUE);
  ::RedrawWindow(GetHandle(), nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_ERASE);
}

void TskCustomEdit::Change()
{
  TCustomMaskEdit::Change();
  if (FEditTransparent)
    Invalidate();
}

void TskCustomEdit::PasteFirstLine()
{
  if (!OpenClipboard(GetHandle()))
    return;
  String text;
  if (HANDLE mem = GetClipboardData(CF_TEXT)) {
    if (auto* p = static_cast<const char*>(GlobalLock(mem))) {
      const size_t size = strnlen(p, GlobalSize(mem));
      const char* stop = static_cast<const char*>(std::memchr(p, '\r', size));
      const char* lf = static_cast<const char*>(std::memchr(p, '\n', size));
      if (!stop || (lf && lf < stop))
        stop = lf;
      text.assign(p, stop ? static_cast<size_t>(stop - p) : size);
      GlobalUnlock(mem);
    }
  }
  CloseClipboard();
  if (!text.empty())
    SendMessageA(GetHandle(), EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>(text.c_str()));
}

std::vector<TskEditMenuEntry> TskCustomEdit::ContextMenuEntries()
{
  return EditContextMenuEntries(this, GetReadOnly(), EditMenuStrings(this));
}


void TskCustomEdit::WndProc(TMessage& Message)
{
  const bool readOnly = GetReadOnly();
  switch (Message.Msg) {
  case WM_CHAR: {
    const WPARAM ch = Message.WParam;
    if (ch == 27 || ch == 13) {
      if (OnKeyPress) {
        char key = static_cast<char>(ch);
        OnKeyPress(this, key);
      }
      if (TCustomForm* form = GetParentForm(this))
        form->Perform(CM_DIALOGKEY, ch, Message.LParam);
      return;
    }
    // Ctrl+Enter would put a line break into the one-line text; a read-only edit still copies
    // (Ctrl+C).
    if (ch == 10 || (readOnly && ch != 3))
      return;
    break;
  }
  case WM_KEYDOWN:
    if (readOnly && Message.WParam == VK_DELETE)
      return;
    break;
  case WM_PASTE:
    if (readOnly)
      return;
    PasteFirstLine();
    if (FEditTransparent)
      Invalidate();
    return;
  case WM_CUT:
  case WM_CLEAR:
  case WM_UNDO:
    if (readOnly)
      return;
    break;
  case CN_CTLCOLOREDIT:
  case CN_CTLCOLORSTATIC:
    if (FEditTransparent) {
      HDC dc = reinterpret_cast<HDC>(Message.WParam);
      ::SetBkMode(dc, TRANSPARENT);
      ::SetTextColor(dc, ColorToRGB(GetFont()->GetColor()));
      Message.Result = reinterpret_cast<LRESULT>(::GetStockObject(NULL_BRUSH));
      return;
    }
    break;
  case WM_ERASEBKGND:
    // The background is what lies under the edit, painted here rather than left to a repaint
    // of the parent (which would come back to this erase).
    if (FEditTransparent) {
      TCanvas canvas;
      canvas.SetHandle(reinterpret_cast<HDC>(Message.WParam));
      PaintParentBackground(this, &canvas);
      canvas.SetHandle(nullptr);
      Message.Result = 1;
      return;
    }
    break;
  case CM_CANCELMODE:
    TCustomMaskEdit::WndProc(Message);
    if (OnCancelMode)
      OnCancelMode(reinterpret_cast<TObject*>(Message.LParam));
    return;
  case WM_CONTEXTMENU:
    if (GetPopupMenu())
      break;
    FContextMenu.Show(this, Message.LParam, ContextMenuEntries());
    return;
  case SkinMenuCommandDoneMessage:
    FContextMenu.Free();
    return;
  default:
    break;
  }
  TCustomMaskEdit::WndProc(Message);
  switch (Message.Msg) {
  case WM_LBUTTONDOWN:
    FLeftButtonDown = true;
    if (FEditTransparent)
      Invalidate();
    break;
  case WM_LBUTTONUP:
    FLeftButtonDown = false;
    break;
  case WM_MOUSEMOVE:
    if (FEditTransparent && FLeftButtonDown)
      Invalidate();
    break;
  case WM_SETFOCUS:
    if (GetAutoSelect() && HandleAllocated())
      SendMessageA(GetHandle(), EM_SETSEL, 0, -1);
    if (FEditTransparent)
      Invalidate();
    break;
  case WM_KEYDOWN:
  case WM_SETTEXT:
  case WM_MOVE:
  case WM_CUT:
  case WM_CLEAR:
  case WM_UNDO:
  case WM_KILLFOCUS:
    if (FEditTransparent)
      Invalidate();
    break;
  default:
    break;
  }
}

// ----- TskSkinNumEdit -----

TskSkinNumEdit::TskSkinNumEdit(TComponent* AOwner) : TskCustomEdit(AOwner) {}

bool TskSkinNumEdit::IsValidChar(char Key)
{
  const auto c = static_cast<unsigned char>(Key);
  bool valid = Key == '-' || (Key >= '0' && Key <= '9') || (c < 32 && c != 13) ||
               (FFloatValue && Key == DecimalSeparator);
  if (!FEditorEnabled && (c >= 32 || c == 8))
    valid = false;
  if (valid) {
    const String text = GetText();
    if (FFloatValue && Key == DecimalSeparator) {
      if (text.find(DecimalSeparator) != String::npos)
        valid = false;
    } else if (Key == '-' && text.find('-') != String::npos) {
      valid = false;
    }
  }
  return valid;
}

void TskSkinNumEdit::KeyDown(Word& Key, TShiftState Shift)
{
  if (Key == VK_UP) {
    if (OnUpClick)
      OnUpClick(this);
    return;
  }
  if (Key == VK_DOWN) {
    if (OnDownClick)
      OnDownClick(this);
    return;
  }
  TskCustomEdit::KeyDown(Key, Shift);
}

void TskSkinNumEdit::KeyPress(char& Key)
{
  if (Key != 0 && !IsValidChar(Key)) {
    Key = 0;
    MessageBeep(0);
  }
  if (Key != 0)
    TskCustomEdit::KeyPress(Key);
}

void TskSkinNumEdit::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_MOUSEWHEEL:
    if (static_cast<short>(HIWORD(Message.WParam)) > 0) {
      if (OnDownClick)
        OnDownClick(this);
    } else if (OnUpClick) {
      OnUpClick(this);
    }
    return;
  case CM_MOUSEENTER:
    TskCustomEdit::WndProc(Message);
    if (OnEditMouseEnter)
      OnEditMouseEnter(this);
    return;
  case CM_MOUSELEAVE:
    TskCustomEdit::WndProc(Message);
    if (OnEditMouseLeave)
      OnEditMouseLeave(this);
    return;
  default:
    break;
  }
  TskCustomEdit::WndProc(Message);
}
