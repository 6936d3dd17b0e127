#include "platform/vcl/RichEditCtrl.h"

#include <algorithm>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/Streams.h"
#include "platform/vcl/StdCtrlsConsts.h"
#include "platform/vcl/ViewCtrlsConsts.h"

// ---------------------------------------------------------------------------------------------
// TRichEditStrings

std::vector<String> TRichEditStrings::Split() const {
  std::vector<String> Lines;
  String Text = FOwner->GetTextValue();
  if (Text.empty()) return Lines;
  size_t Start = 0;
  for (;;) {
    size_t End = Text.find("\r\n", Start);
    if (End == String::npos) {
      Lines.push_back(Text.substr(Start));
      break;
    }
    Lines.push_back(Text.substr(Start, End - Start));
    Start = End + 2;
  }
  return Lines;
}

void TRichEditStrings::Join(const std::vector<String>& Lines) {
  String Text;
  for (size_t I = 0; I < Lines.size(); ++I) {
    if (I) Text += "\r\n";
    Text += Lines[I];
  }
  FOwner->FContent = Text;
  FOwner->SetTextValue(Text);
}

String TRichEditStrings::Get(int Index) const {
  auto Lines = Split();
  if (Index < 0 || Index >= static_cast<int>(Lines.size())) throw EStringListError(RtlConsts::SListIndexError, {Index});
  return Lines[static_cast<size_t>(Index)];
}

int TRichEditStrings::GetCount() const { return static_cast<int>(Split().size()); }

void TRichEditStrings::Clear() { FOwner->SetContent(""); }

void TRichEditStrings::Delete(int Index) {
  auto Lines = Split();
  if (Index < 0 || Index >= static_cast<int>(Lines.size())) throw EStringListError(RtlConsts::SListIndexError, {Index});
  Lines.erase(Lines.begin() + Index);
  Join(Lines);
}

void TRichEditStrings::Insert(int Index, const String& S) {
  auto Lines = Split();
  if (Index < 0 || Index > static_cast<int>(Lines.size())) throw EStringListError(RtlConsts::SListIndexError, {Index});
  Lines.insert(Lines.begin() + Index, S);
  Join(Lines);
}

void TRichEditStrings::Put(int Index, const String& S) {
  auto Lines = Split();
  if (Index < 0 || Index >= static_cast<int>(Lines.size())) throw EStringListError(RtlConsts::SListIndexError, {Index});
  Lines[static_cast<size_t>(Index)] = S;
  Join(Lines);
}

String TRichEditStrings::GetText() const {
  String Text;
  for (const String& L : Split()) Text += L + "\r\n";
  return Text;
}

void TRichEditStrings::SetText(const String& Value) { FOwner->SetContent(Value); }

void TRichEditStrings::LoadFromStream(TStream* Stream) {
  String Data;
  char Buffer[4096];
  for (;;) {
    Int64 Got = Stream->Read(Buffer, sizeof Buffer);
    if (Got <= 0) break;
    Data.append(Buffer, static_cast<size_t>(Got));
  }
  FOwner->SetContent(Data);
}

// ---------------------------------------------------------------------------------------------
// TCustomRichEdit

TCustomRichEdit::TCustomRichEdit(TComponent* AOwner)
    : TWinControl(AOwner), FLines(std::make_unique<TRichEditStrings>(this)) {
  FControlStyle = csCaptureMouse | csClickEvents | csDoubleClicks;
  FWidth = 185;
  FHeight = 89;
  SetTabStop(true);
  SetParentColor(false);
  SetColor(clWindow);
}

void TCustomRichEdit::CreateParams(TCreateParams& Params) {
  RegisterRichEditClass();
  TWinControl::CreateParams(Params);
  CreateSubClass(Params, RICHEDIT_CLASSA);
  Params.Style |= ES_MULTILINE;
  if (FReadOnly) Params.Style |= ES_READONLY;
  if (!FWordWrap) Params.Style |= ES_AUTOHSCROLL;
  if (FScrollBars == ssVertical || FScrollBars == ssBoth) Params.Style |= WS_VSCROLL;
  if ((FScrollBars == ssHorizontal || FScrollBars == ssBoth) && !FWordWrap) Params.Style |= WS_HSCROLL;
  if (FBorderStyle == bsSingle) Params.ExStyle |= WS_EX_CLIENTEDGE;
  // The content goes in after creation, parsed.
  Params.Caption.clear();
}

void TCustomRichEdit::CreateWnd() {
  TWinControl::CreateWnd();
  ApplyColors();
  if (!FContent.empty()) {
    String Saved = FContent;
    bool Rtf = !FPlainText && Saved.compare(0, 5, "{\\rtf") == 0;
    if (Rtf)
      SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Saved.c_str()));
    else
      SetTextValue(Saved);
  }
}

void TCustomRichEdit::DestroyWnd() {
  String Saved = FContent;
  TWinControl::DestroyWnd();
  FContent = Saved;
}

void TCustomRichEdit::ApplyColors() {
  if (!FHandle) return;
  SendMessageA(FHandle, EM_SETBKGNDCOLOR, 0, static_cast<LPARAM>(ColorToRGB(GetColor())));
  CHARFORMATA F;
  F.dwMask = CFM_COLOR;
  F.crTextColor = ColorToRGB(GetFont()->GetColor());
  SendMessageA(FHandle, EM_SETCHARFORMAT, SCF_ALL, reinterpret_cast<LPARAM>(&F));
}

void TCustomRichEdit::SetContent(const String& Content) {
  FContent = Content;
  bool Rtf = !FPlainText && Content.compare(0, 5, "{\\rtf") == 0;
  if (!FHandle) {
    if (GetParent() || GetParentWindow()) HandleNeeded();
    if (!FHandle) {
      FText = Content;
      Change();
      return;
    }
  }
  if (Rtf) {
    SendMessageA(FHandle, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(Content.c_str()));
  } else {
    // Plain text that happens to start like RTF goes in through a text stream.
    struct TCookie {
      const String* Text;
      size_t Pos;
    } Cookie{&Content, 0};
    EDITSTREAM Stream;
    Stream.dwCookie = reinterpret_cast<DWORD_PTR>(&Cookie);
    Stream.pfnCallback = [](DWORD_PTR C, BYTE* Buffer, LONG Size, LONG* Got) -> DWORD {
      auto* K = reinterpret_cast<TCookie*>(C);
      size_t N = std::min(static_cast<size_t>(Size), K->Text->size() - K->Pos);
      std::copy_n(K->Text->data() + K->Pos, N, Buffer);
      K->Pos += N;
      *Got = static_cast<LONG>(N);
      return 0;
    };
    SendMessageA(FHandle, EM_STREAMIN, SF_TEXT, reinterpret_cast<LPARAM>(&Stream));
  }
}

String TCustomRichEdit::GetTextValue() {
  if (!FHandle) {
    // Without a window the plain text is what was given (RTF is only read by the window).
    return FText;
  }
  return TWinControl::GetTextValue();
}

void TCustomRichEdit::SetTextValue(const String& Value) {
  if (!FHandle) {
    FText = Value;
    FContent = Value;
    return;
  }
  SetContent(Value);
}

void TCustomRichEdit::SetReadOnly(bool Value) {
  FReadOnly = Value;
  if (FHandle) SendMessageA(FHandle, EM_SETREADONLY, Value ? 1 : 0, 0);
}

void TCustomRichEdit::SetWordWrap(bool Value) {
  if (FWordWrap == Value) return;
  FWordWrap = Value;
  if (FHandle) RecreateWnd();
}

void TCustomRichEdit::SetScrollBars(TScrollStyle Value) {
  if (FScrollBars == Value) return;
  FScrollBars = Value;
  if (FHandle) RecreateWnd();
}

void TCustomRichEdit::SetBorderStyle(TBorderStyle Value) {
  if (FBorderStyle == Value) return;
  FBorderStyle = Value;
  if (FHandle) RecreateWnd();
}

void TCustomRichEdit::Change() {
  if (OnChange) OnChange(this);
}

void TCustomRichEdit::WndProc(TMessage& Message) {
  switch (Message.Msg) {
    case CN_COMMAND:
      if (HIWORD(Message.WParam) == EN_CHANGE) {
        Change();
        return;
      }
      break;
    case CM_COLORCHANGED:
    case CM_FONTCHANGED:
      TWinControl::WndProc(Message);
      ApplyColors();
      return;
    case WM_GETDLGCODE:
      TWinControl::WndProc(Message);
      Message.Result = FWantTabs ? (Message.Result | DLGC_WANTTAB) : (Message.Result & ~DLGC_WANTTAB);
      if (!FWantReturns) Message.Result &= ~DLGC_WANTALLKEYS;
      return;
    default: break;
  }
  TWinControl::WndProc(Message);
}
