#include "platform/vcl/EditCtrls.h"

#include <algorithm>
#include <cstring>
#include <vector>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/StdEdit.h"

// ---------------------------------------------------------------------------------------------
// TCustomEdit

TCustomEdit::TCustomEdit(TComponent* AOwner) : TWinControl(AOwner) {
  FControlStyle = csClickEvents | csSetCaption | csDoubleClicks | csFixedHeight;
  FWidth = 121;
  FHeight = 25;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
  TControl::SetAutoSize(true);
}

void TCustomEdit::SetAutoSize(bool Value) {
  if (GetAutoSize() == Value) return;
  TControl::SetAutoSize(Value);
  UpdateHeight();
}

void TCustomEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  UpdateHeight();
  RecreateWnd();
}

void TCustomEdit::SetCharCase(TEditCharCase Value) {
  if (FCharCase == Value) return;
  FCharCase = Value;
  if (HandleAllocated()) {
    DWORD Style = static_cast<DWORD>(GetWindowLongA(FHandle, GWL_STYLE)) & ~(ES_UPPERCASE | ES_LOWERCASE);
    if (Value == ecUpperCase) Style |= ES_UPPERCASE;
    if (Value == ecLowerCase) Style |= ES_LOWERCASE;
    SetWindowLongA(FHandle, GWL_STYLE, static_cast<LONG>(Style));
  }
  if (Value != ecNormal) {
    String Text = GetText();
    String Converted = Value == ecUpperCase ? UpperCase(Text) : LowerCase(Text);
    if (Converted != Text) SetText(Converted);
  }
}

void TCustomEdit::SetHideSelection(bool Value) {
  if (FHideSelection == Value) return;
  FHideSelection = Value;
  RecreateWnd();
}

// Kept as given (a negative value reads back as set); the window takes it as "no limit".
void TCustomEdit::SetMaxLength(int Value) {
  if (FMaxLength == Value) return;
  FMaxLength = Value;
  if (HandleAllocated()) DoSetMaxLength(Value);
}

void TCustomEdit::DoSetMaxLength(int Value) {
  SendMessageA(FHandle, EM_LIMITTEXT, Value > 0 ? static_cast<WPARAM>(Value) : 0, 0);
}

bool TCustomEdit::GetModified() {
  if (HandleAllocated()) FModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
  return FModified;
}

void TCustomEdit::SetModified(bool Value) {
  FModified = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETMODIFY, Value ? TRUE : FALSE, 0);
}

void TCustomEdit::SetOEMConvert(bool Value) {
  if (FOEMConvert == Value) return;
  FOEMConvert = Value;
  RecreateWnd();
}

// A new window: a multi-line window ignores the password character, so the style decides.
void TCustomEdit::SetPasswordChar(char Value) {
  if (FPasswordChar == Value) return;
  FPasswordChar = Value;
  if (!HandleAllocated()) return;
  if (IsMultiLineWindow() || ((Value != 0) != ((GetWindowLongA(FHandle, GWL_STYLE) & ES_PASSWORD) != 0))) {
    RecreateWnd();
  } else {
    SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(Value), 0);
    Invalidate();
  }
}

void TCustomEdit::SetReadOnly(bool Value) {
  if (FReadOnly == Value) return;
  FReadOnly = Value;
  if (HandleAllocated()) SendMessageA(FHandle, EM_SETREADONLY, Value ? TRUE : FALSE, 0);
}

bool TCustomEdit::GetCanUndo() { return HandleAllocated() && SendMessageA(FHandle, EM_CANUNDO, 0, 0) != 0; }

int TCustomEdit::GetSelStart() {
  DWORD Start = 0, End = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return static_cast<int>(Start);
}

void TCustomEdit::SetSelStart(int Value) {
  SendMessageA(GetHandle(), EM_SETSEL, static_cast<WPARAM>(Value), Value);
}

int TCustomEdit::GetSelLength() {
  DWORD Start = 0, End = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  return static_cast<int>(End) - static_cast<int>(Start);
}

void TCustomEdit::SetSelLength(int Value) {
  DWORD Start = 0, End = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  int NewEnd = std::max(0, static_cast<int>(Start) + Value);
  SendMessageA(FHandle, EM_SETSEL, Start, NewEnd);
  SendMessageA(FHandle, EM_SCROLLCARET, 0, 0);
}

String TCustomEdit::GetSelText() {
  DWORD Start = 0, End = 0;
  SendMessageA(GetHandle(), EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  String Text = GetText();
  if (Start >= Text.size() || End <= Start) return String();
  return Text.substr(Start, std::min<size_t>(End, Text.size()) - Start);
}

void TCustomEdit::SetSelText(const String& Value) {
  SendMessageA(GetHandle(), EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(Value.c_str()));
}

int TCustomEdit::GetSelTextBuf(char* Buffer, int BufSize) {
  if (!Buffer || BufSize <= 0) return 0;
  String S = GetSelText();
  int N = std::min(static_cast<int>(S.size()), BufSize - 1);
  std::memcpy(Buffer, S.data(), static_cast<size_t>(N));
  Buffer[N] = 0;
  return N;
}

void TCustomEdit::SetSelTextBuf(const char* Buffer) { SetSelText(Buffer ? Buffer : ""); }

void TCustomEdit::Clear() { SetText(String()); }

void TCustomEdit::ClearSelection() { SendMessageA(GetHandle(), WM_CLEAR, 0, 0); }

void TCustomEdit::CopyToClipboard() { SendMessageA(GetHandle(), WM_COPY, 0, 0); }

void TCustomEdit::CutToClipboard() { SendMessageA(GetHandle(), WM_CUT, 0, 0); }

void TCustomEdit::PasteFromClipboard() { SendMessageA(GetHandle(), WM_PASTE, 0, 0); }

void TCustomEdit::Undo() { SendMessageA(GetHandle(), WM_UNDO, 0, 0); }

void TCustomEdit::ClearUndo() { SendMessageA(GetHandle(), EM_EMPTYUNDOBUFFER, 0, 0); }

void TCustomEdit::SelectAll() { SendMessageA(GetHandle(), EM_SETSEL, 0, -1); }

void TCustomEdit::CreateParams(TCreateParams& Params) {
  RegisterEditClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, "EDIT");
  Params.Style |= ES_AUTOHSCROLL | ES_AUTOVSCROLL;
  if (FBorderStyle == bsSingle) Params.Style |= WS_BORDER;
  if (FPasswordChar) Params.Style |= ES_PASSWORD;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (FCharCase == ecUpperCase) Params.Style |= ES_UPPERCASE;
  if (FCharCase == ecLowerCase) Params.Style |= ES_LOWERCASE;
  if (!FHideSelection) Params.Style |= ES_NOHIDESEL;
  if (FOEMConvert) Params.Style |= ES_OEMCONVERT;
  if (GetCtl3D() && FBorderStyle == bsSingle) {
    Params.Style &= ~WS_BORDER;
    Params.ExStyle |= WS_EX_CLIENTEDGE;
  }
}

void TCustomEdit::CreateWnd() {
  FCreating = true;
  try {
    TWinControl::CreateWnd();
  } catch (...) {
    FCreating = false;
    throw;
  }
  FCreating = false;
  DoSetMaxLength(FMaxLength);
  SendMessageA(FHandle, EM_SETMODIFY, FModified ? TRUE : FALSE, 0);
  if (FPasswordChar) SendMessageA(FHandle, EM_SETPASSWORDCHAR, static_cast<unsigned char>(FPasswordChar), 0);
  if (FSavedSelStart != 0 || FSavedSelEnd != 0)
    SendMessageA(FHandle, EM_SETSEL, static_cast<WPARAM>(FSavedSelStart), FSavedSelEnd);
  UpdateHeight();
  RestoreScrollPos();
}

namespace {

// The x of the first character of the first visible line (the text's scroll to the left shows
// as a smaller x).
int FirstVisibleX(HWND Wnd, bool Multi, int TopLine) {
  LRESULT Start = Multi ? SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(TopLine), 0) : 0;
  if (Start < 0) return 0;
  LRESULT P = SendMessageA(Wnd, EM_POSFROMCHAR, static_cast<WPARAM>(Start), 0);
  return P == -1 ? 0 : static_cast<SHORT>(LOWORD(P));
}

}  // namespace

void TCustomEdit::SaveScrollPos() {
  bool Multi = IsMultiLineWindow();
  FSavedTopLine = Multi ? static_cast<int>(SendMessageA(FHandle, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
  FSavedXOffset = FirstVisibleX(FHandle, Multi, FSavedTopLine);
}

// The new window shows its text from the top left: scrolled back to where the old one was (as
// far as the new window's layout lets it).
void TCustomEdit::RestoreScrollPos() {
  if (FSavedTopLine < 0) return;
  int TopLine = FSavedTopLine;
  int OldX = FSavedXOffset;
  FSavedTopLine = -1;
  bool Multi = IsMultiLineWindow();
  if (Multi && TopLine > 0) SendMessageA(FHandle, EM_LINESCROLL, 0, TopLine);
  int Top = Multi ? static_cast<int>(SendMessageA(FHandle, EM_GETFIRSTVISIBLELINE, 0, 0)) : 0;
  int Scroll = FirstVisibleX(FHandle, Multi, Top) - OldX;
  if (Scroll > 0) SendMessageA(FHandle, WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, std::min(Scroll, 0x7FFF)), 0);
}

void TCustomEdit::DestroyWnd() {
  if (FHandle) {
    FModified = SendMessageA(FHandle, EM_GETMODIFY, 0, 0) != 0;
    DWORD Start = 0, End = 0;
    SendMessageA(FHandle, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
    FSavedSelStart = static_cast<int>(Start);
    FSavedSelEnd = static_cast<int>(End);
    SaveScrollPos();
  }
  TWinControl::DestroyWnd();
}

bool TCustomEdit::IsMultiLineWindow() {
  return HandleAllocated() && (GetWindowLongA(FHandle, GWL_STYLE) & ES_MULTILINE) != 0;
}

void TCustomEdit::Dispatch(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND: CNCommand(Message); break;
    case WM_SETFONT: WMSetFont(Message); break;
    case CM_CTL3DCHANGED:
      // The border is a different window style (and another height): a new window.
      if (FBorderStyle == bsSingle) {
        UpdateHeight();
        RecreateWnd();
      }
      TWinControl::Dispatch(Message);
      break;
    default: TWinControl::Dispatch(Message); break;
  }
}

void TCustomEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomEdit::CNCommand(TMessage& Message) {
  if (HIWORD(Message.WParam) == EN_CHANGE && !FCreating) Change();
}

void TCustomEdit::WMSetFont(TMessage& Message) {
  DefaultHandler(Message);
  // A single-line edit shows its text right at the border.
  if (HandleAllocated() && !IsMultiLineWindow())
    SendMessageA(FHandle, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, 0);
}

// A multi-line window does not report text set from outside; nor does a control without one.
void TCustomEdit::CMTextChanged(TMessage& Message) {
  TWinControl::CMTextChanged(Message);
  if (!HandleAllocated() || IsMultiLineWindow()) Change();
}

void TCustomEdit::CMEnter(TMessage& Message) {
  if (FAutoSelect && !(FControlState & csLButtonDown) && HandleAllocated() && !IsMultiLineWindow()) SelectAll();
  TWinControl::CMEnter(Message);
}

void TCustomEdit::CMFontChanged(TMessage& Message) {
  TWinControl::CMFontChanged(Message);
  if ((FControlStyle & csFixedHeight) && !(GetComponentState() & csLoading)) AdjustHeight();
}

void TCustomEdit::UpdateHeight() {
  if (GetAutoSize() && FBorderStyle == bsSingle) {
    FControlStyle |= csFixedHeight;
    AdjustHeight();
  } else {
    FControlStyle &= ~csFixedHeight;
  }
}

void TCustomEdit::AdjustHeight() {
  HDC DC = GetDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, GetFont()->GetHandle());
  TEXTMETRICA Tm{};
  GetTextMetricsA(DC, &Tm);
  SelectObject(DC, Old);
  ReleaseDC(nullptr, DC);
  int Extra = GetSystemMetrics(SM_CYBORDER) * (GetCtl3D() ? 8 : 6);
  SetHeight(Tm.tmHeight + Extra);
}

// ---------------------------------------------------------------------------------------------
// TCustomMaskEdit

void TCustomMaskEdit::SetEditMask(const String& Value) {
  if (FEditMask == Value) return;
  FEditMask = Value;
}

void TCustomMaskEdit::Clear() { TCustomEdit::Clear(); }

void TCustomMaskEdit::CMExit(TMessage& Message) {
  if (IsMasked()) ValidateEdit();
  TCustomEdit::CMExit(Message);
}

// ---------------------------------------------------------------------------------------------
// TMemoStrings

namespace {

// The line operations the lines need, on the window or, without one, on the stored text (with
// the window's rules: lines end at CR LF or LF; no wrapping without a window).
class TLineAccess {
public:
  TLineAccess(TCustomMemo* Memo, HWND Wnd) : FMemo(Memo), FWnd(Wnd) {
    if (!Wnd) FText = Memo->GetText();
  }
  int LineCount() const {
    if (FWnd) return static_cast<int>(SendMessageA(FWnd, EM_GETLINECOUNT, 0, 0));
    return static_cast<int>(Starts().size());
  }
  // Start of line I, or -1.
  int LineIndex(int I) const {
    if (FWnd) return static_cast<int>(SendMessageA(FWnd, EM_LINEINDEX, static_cast<WPARAM>(I), 0));
    std::vector<int> S = Starts();
    return I >= 0 && I < static_cast<int>(S.size()) ? S[static_cast<size_t>(I)] : -1;
  }
  // Length of the line that starts at Start.
  int LineLength(int Start) const {
    if (FWnd) return static_cast<int>(SendMessageA(FWnd, EM_LINELENGTH, static_cast<WPARAM>(Start), 0));
    if (Start < 0) return 0;
    size_t End = FText.find('\n', static_cast<size_t>(Start));
    if (End == String::npos) return static_cast<int>(FText.size()) - Start;
    if (End > static_cast<size_t>(Start) && FText[End - 1] == '\r') --End;
    return static_cast<int>(End) - Start;
  }
  String Line(int Index) const {
    int Start = LineIndex(Index);
    auto Len = static_cast<size_t>(LineLength(Start));
    if (!FWnd || Len > 0xFFFF) return (FWnd ? FMemo->GetText() : FText).substr(static_cast<size_t>(Start), Len);
    std::vector<char> Buffer(std::max<size_t>(Len, sizeof(WORD)) + 1, 0);
    auto Max = static_cast<WORD>(Len);
    std::memcpy(Buffer.data(), &Max, sizeof(Max));
    LRESULT Got = SendMessageA(FWnd, EM_GETLINE, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(Buffer.data()));
    return String(Buffer.data(), static_cast<size_t>(std::clamp<LRESULT>(Got, 0, static_cast<LRESULT>(Len))));
  }
  void Replace(int Start, int End, const String& S) {
    if (FWnd) {
      SendMessageA(FWnd, EM_SETSEL, static_cast<WPARAM>(Start), End);
      SendMessageA(FWnd, EM_REPLACESEL, 0, reinterpret_cast<LPARAM>(S.c_str()));
      return;
    }
    FText.replace(static_cast<size_t>(Start), static_cast<size_t>(End - Start), S);
    FMemo->SetText(FText);
  }

private:
  std::vector<int> Starts() const {
    std::vector<int> S{0};
    for (size_t I = 0; I < FText.size(); ++I)
      if (FText[I] == '\n') S.push_back(static_cast<int>(I) + 1);
    return S;
  }
  TCustomMemo* FMemo;
  HWND FWnd;
  String FText;
};

}  // namespace

HWND TMemoStrings::Window() const {
  if (FMemo->HandleAllocated()) return FMemo->GetHandle();
  if (FMemo->GetParent() || FMemo->GetParentWindow()) return FMemo->GetHandle();
  return nullptr;
}

// The empty line after a final line break is not counted.
int TMemoStrings::GetCount() const {
  TLineAccess A(FMemo, Window());
  int Count = A.LineCount();
  if (Count > 0 && A.LineLength(A.LineIndex(Count - 1)) == 0) --Count;
  return Count;
}

String TMemoStrings::Get(int Index) const {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  return TLineAccess(FMemo, Window()).Line(Index);
}

void TMemoStrings::Put(int Index, const String& S) {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  TLineAccess A(FMemo, Window());
  int Start = A.LineIndex(Index);
  A.Replace(Start, Start + A.LineLength(Start), S);
}

// An index past the end is refused with EListError rather than dropped silently.
void TMemoStrings::Insert(int Index, const String& S) {
  if (Index < 0 || Index > GetCount()) Error(RtlConsts::SListIndexError, Index);
  TLineAccess A(FMemo, Window());
  int Start = A.LineIndex(Index);
  if (Start >= 0) {
    A.Replace(Start, Start, S + "\r\n");
  } else {
    // After a last line without a line break.
    Start = A.LineIndex(Index - 1);
    Start += A.LineLength(Start);
    A.Replace(Start, Start, "\r\n" + S);
  }
}

void TMemoStrings::Delete(int Index) {
  if (Index < 0 || Index >= GetCount()) Error(RtlConsts::SListIndexError, Index);
  TLineAccess A(FMemo, Window());
  int Start = A.LineIndex(Index);
  int End = A.LineIndex(Index + 1);
  if (End < 0) End = Start + A.LineLength(Start);
  A.Replace(Start, End, String());
}

void TMemoStrings::Clear() { FMemo->Clear(); }

String TMemoStrings::GetText() const { return FMemo->GetText(); }

// Line ends become CR LF, as the window shows lines.
void TMemoStrings::SetText(const String& Value) {
  String S;
  S.reserve(Value.size());
  for (size_t I = 0; I < Value.size(); ++I) {
    char C = Value[I];
    if (C == '\r') {
      S += "\r\n";
      if (I + 1 < Value.size() && Value[I + 1] == '\n') ++I;
    } else if (C == '\n') {
      S += "\r\n";
    } else {
      S += C;
    }
  }
  if (S != FMemo->GetText()) FMemo->SetText(S);
}

void TMemoStrings::SetUpdateState(bool Updating) {
  if (!FMemo->HandleAllocated()) return;
  SendMessageA(FMemo->GetHandle(), WM_SETREDRAW, Updating ? FALSE : TRUE, 0);
  if (!Updating) FMemo->Refresh();
}

// ---------------------------------------------------------------------------------------------
// TCustomMemo

TCustomMemo::TCustomMemo(TComponent* AOwner) : TCustomEdit(AOwner), FLines(std::make_unique<TMemoStrings>(this)) {
  FWidth = 185;
  FHeight = 89;
  TControl::SetAutoSize(false);
  FControlStyle &= ~csFixedHeight;
}

TCustomMemo::~TCustomMemo() = default;

void TCustomMemo::SetAlignment(TAlignment Value) {
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TCustomMemo::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  RecreateWnd();
}

void TCustomMemo::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  RecreateWnd();
}

TPoint TCustomMemo::GetCaretPos() {
  DWORD Start = 0, End = 0;
  HWND Wnd = GetHandle();
  SendMessageA(Wnd, EM_GETSEL, reinterpret_cast<WPARAM>(&Start), reinterpret_cast<LPARAM>(&End));
  TPoint P;
  P.y = static_cast<LONG>(SendMessageA(Wnd, EM_LINEFROMCHAR, End, 0));
  P.x = static_cast<LONG>(End) - static_cast<LONG>(SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(P.y), 0));
  return P;
}

void TCustomMemo::SetCaretPos(const TPoint& Value) {
  HWND Wnd = GetHandle();
  LRESULT Start = SendMessageA(Wnd, EM_LINEINDEX, static_cast<WPARAM>(Value.y), 0);
  if (Start < 0) return;
  LRESULT Pos = Start + std::clamp<LRESULT>(Value.x, 0, SendMessageA(Wnd, EM_LINELENGTH, static_cast<WPARAM>(Start), 0));
  SendMessageA(Wnd, EM_SETSEL, static_cast<WPARAM>(Pos), Pos);
}

void TCustomMemo::CreateParams(TCreateParams& Params) {
  TCustomEdit::CreateParams(Params);
  if (FWordWrap) Params.Style &= ~ES_AUTOHSCROLL;
  Params.Style |= ES_MULTILINE;
  if (FAlignment == taRightJustify) Params.Style |= ES_RIGHT;
  if (FAlignment == taCenter) Params.Style |= ES_CENTER;
  if (FScrollBars == ssHorizontal || FScrollBars == ssBoth) Params.Style |= WS_HSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
}

void TCustomMemo::Dispatch(TMessage& Message) {
  if (Message.Msg == WM_GETDLGCODE) {
    WMGetDlgCode(Message);
    return;
  }
  TCustomEdit::Dispatch(Message);
}

void TCustomMemo::WMGetDlgCode(TMessage& Message) {
  DefaultHandler(Message);
  if (FWantTabs)
    Message.Result |= DLGC_WANTTAB;
  else
    Message.Result &= ~DLGC_WANTTAB;
  if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
}

void TCustomMemo::KeyPress(char& Key) {
  TCustomEdit::KeyPress(Key);
  if (Key == '\r' && !FWantReturns) Key = 0;
}
