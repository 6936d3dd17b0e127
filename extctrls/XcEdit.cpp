#include "extctrls/XcEdit.h"

#include "extctrls/XcFixedEditPopUp.h"
#include "extctrls/XcToolEdit.h"
#include "platform/gdi/Gdi.h"
#include "platform/vcl/StdCtrlsConsts.h"

// ---- TXcCustomEditDataConnector ----

void TXcCustomEditDataConnector::CurrentRecordChanged()
{
  TXcDataConnectorField* Field = GetField();
  if (Field->FieldValid()) {
    FEdit->SetReadOnly(!Field->GetDataSource()->CanModify(Field->GetField()));
    FEdit->SetText(Field->ReadFieldText());
  } else {
    FEdit->SetText(String());
    FEdit->SetReadOnly(false);
  }
}

void TXcCustomEditDataConnector::WriteBackData()
{
  TXcDataConnectorField* Field = GetField();
  Field->WriteFieldText(FEdit->GetText());
  FEdit->SetText(Field->ReadFieldText());
}

// ---- TXcCustomEdit ----

TXcCustomEdit::TXcCustomEdit(TComponent* AOwner) : TXcExCustomEdit(AOwner)
{
  FDataConnector.reset(CreateDataConnector());
  FAlignment = taLeftJustify;
  SetClipboardCommands(XcAllClipboardCommands);
  FDisabledColor = clWindow;
  FDisabledTextColor = clGrayText;
  FHotTrack = false;
  FCaret = std::make_unique<TXcCaret>(this);
  FCaret->OnChange = [this](TObject* Sender) { CaretChanged(Sender); };
  FStreamedSelStart = 0;
  FStreamedSelLength = 0;
  FUseFixedPopup = true;
  FMaxPixel = std::make_unique<TXcMaxPixel>(this);
  FMaxPixel->OnChange = [this](TObject* Sender) { ApplyPixelLimit(Sender); };
  FGroupIndex = -1;
  FEmptyFontColor = clGrayText;
  FOldFontColor = GetFont()->GetColor();
}

TXcCustomEdit::~TXcCustomEdit()
{
  FDataConnector.reset();
  FMaxPixel.reset();
  FCaret.reset();
  FThemedFont.reset();
  FPaintCanvas.reset();
}

// Runs Action with the text protection switched off, restoring it afterwards.
template <class F>
auto TXcCustomEdit::Unprotected(F&& Action)
{
  struct TRestore {
    bool& Flag;
    bool Saved;
    ~TRestore() { Flag = Saved; }
  } Restore{FProtectPassword, FProtectPassword};
  FProtectPassword = false;
  return Action();
}

TXcFieldDataConnector* TXcCustomEdit::CreateDataConnector() { return new TXcCustomEditDataConnector(this); }

void TXcCustomEdit::SetDisabledColor(TColor Value)
{
  if (FDisabledColor == Value) return;
  FDisabledColor = Value;
  if (!GetEnabled()) Invalidate();
}

void TXcCustomEdit::SetDisabledTextColor(TColor Value)
{
  if (FDisabledTextColor == Value) return;
  FDisabledTextColor = Value;
  if (!GetEnabled()) Invalidate();
}

void TXcCustomEdit::UpdateGroup()
{
  TComponent* Owner = GetOwner();
  if (FGroupIndex == -1 || !Owner) return;
  for (int I = 0; I < Owner->GetComponentCount(); ++I) {
    auto* Other = dynamic_cast<TXcCustomEdit*>(Owner->GetComponent(I));
    if (Other && Other != this && Other->FGroupIndex == FGroupIndex) Other->Clear();
  }
}

String TXcCustomEdit::RawText()
{
  return Unprotected([this] { return TXcExCustomEdit::GetTextValue(); });
}

void TXcCustomEdit::SetRawText(const String& Value, bool Notify)
{
  if (RawText() == Value) return;
  TXcExCustomEdit::SetTextValue(Value);
  if (Notify) Perform(CM_TEXTCHANGED, 0, 0);
}

// The placeholder flag, not the text, tells whether the edit is empty: a text typed or set
// that happens to equal EmptyValue is the user's.
String TXcCustomEdit::GetText() { return FIsEmptyValue ? String() : RawText(); }

void TXcCustomEdit::SetText(const String& Value) { ApplyText(Value, true); }

void TXcCustomEdit::ApplyText(const String& Value, bool Notify)
{
  if (Loading() || !FLoaded) {
    SetRawText(Value, Notify);
    return;
  }
  if (Value.empty() && !FEmptyValue.empty() && !Focused()) {
    FIsEmptyValue = true;
    GetFont()->SetColor(FEmptyFontColor);
    SetRawText(FEmptyValue, Notify);
  } else {
    FIsEmptyValue = false;
    GetFont()->SetColor(FOldFontColor);
    SetRawText(Value, Notify);
  }
}

void TXcCustomEdit::DoEmptyValueEnter()
{
  if (Designing() || !FLoaded || FEmptyValue.empty()) return;
  if (!FIsEmptyValue) return;
  FIsEmptyValue = false;
  SetRawText(String(), true);
  GetFont()->SetColor(FOldFontColor);
}

void TXcCustomEdit::DoEmptyValueExit()
{
  if (Designing() || !FLoaded || FEmptyValue.empty()) return;
  if (!GetText().empty()) return;
  SetText(FEmptyValue);
  FIsEmptyValue = true;
  FOldFontColor = GetFont()->GetColor();
  GetFont()->SetColor(FEmptyFontColor);
}

void TXcCustomEdit::SetFlat(bool Value) { SetCtl3D(!Value); }

void TXcCustomEdit::SetClipboardCommands(TXcClipboardCommands Value)
{
  if (GetClipboardCommands() == Value) return;
  TXcExCustomEdit::SetClipboardCommands(Value);
  SetReadOnly((Value & ~XcCommand(caCopy)) == 0);
}

void TXcCustomEdit::SetMaxPixel(TXcMaxPixel* Value)
{
  if (!Value || Value == FMaxPixel.get()) return;
  FMaxPixel->SetUseControlFont(Value->GetUseControlFont());
  FMaxPixel->SetFont(Value->GetFont());
  FMaxPixel->SetLength(Value->GetLength());
}

void TXcCustomEdit::SetGroupIndex(int Value)
{
  if (FGroupIndex == Value) return;
  FGroupIndex = Value;
  UpdateGroup();
}

void TXcCustomEdit::SetAlignment(TAlignment Value)
{
  if (FAlignment == Value) return;
  FAlignment = Value;
  RecreateWnd();
}

void TXcCustomEdit::SetHotTrack(bool Value)
{
  FHotTrack = Value;
  SetFlat(Value);
}

void TXcCustomEdit::SetEmptyValue(const String& Value)
{
  if (FIsEmptyValue && FEmptyValue != Value) {
    // The old placeholder leaves the window before the new one is put up.
    FIsEmptyValue = false;
    SetRawText(String(), true);
    GetFont()->SetColor(FOldFontColor);
  }
  FEmptyValue = Value;
  if (!HandleAllocated()) return;
  if (Focused())
    DoEmptyValueEnter();
  else
    DoEmptyValueExit();
}

void TXcCustomEdit::SetThemedPassword(bool Value)
{
  if (FThemedPassword == Value) return;
  FThemedPassword = Value;
  if (!Value) FThemedFont.reset();
  SetPasswordChar(0);
  RecreateWnd();
}

char TXcCustomEdit::GetPasswordChar()
{
  if (HandleAllocated())
    return static_cast<char>(Unprotected([this] { return Perform(EM_GETPASSWORDCHAR, 0, 0); }));
  return TXcExCustomEdit::GetPasswordChar();
}

void TXcCustomEdit::SetPasswordChar(char Value)
{
  Unprotected([&] {
    if (HandleAllocated())
      TXcExCustomEdit::SetPasswordChar(static_cast<char>(Perform(EM_GETPASSWORDCHAR, 0, 0)));
    TXcExCustomEdit::SetPasswordChar(Value);
    return 0;
  });
}

void TXcCustomEdit::SetSelStart(int Value)
{
  if (Loading())
    FStreamedSelStart = Value;
  else
    TXcExCustomEdit::SetSelStart(Value);
}

void TXcCustomEdit::SetSelLength(int Value)
{
  if (Loading())
    FStreamedSelLength = Value;
  else
    TXcExCustomEdit::SetSelLength(Value);
}

bool TXcCustomEdit::ReadStoredValue(const String& Name, bool Value)
{
  if (Name == "Ctl3D") {
    SetFlat(!Value);
    return true;
  }
  if (Name == "ParentCtl3D") {
    SetParentFlat(Value);
    return true;
  }
  return Name == "Modified";
}

void TXcCustomEdit::Loaded()
{
  TXcExCustomEdit::Loaded();
  FLoaded = true;
  FOldFontColor = GetFont()->GetColor();
  if ((FStreamedSelStart != 0 || FStreamedSelLength != 0) && (HandleAllocated() || GetParent())) {
    TXcExCustomEdit::SetSelStart(FStreamedSelStart);
    TXcExCustomEdit::SetSelLength(FStreamedSelLength);
  }
  FDataConnector->ResetLink();
}

void TXcCustomEdit::DefaultHandler(TMessage& Message)
{
  if (FProtectPassword) {
    switch (Message.Msg) {
      case WM_GETTEXT:
      case WM_GETTEXTLENGTH:
      case EM_SETPASSWORDCHAR:
      case WM_CUT:
      case WM_COPY: Message.Result = 0; return;
      default: break;
    }
  }
  TXcExCustomEdit::DefaultHandler(Message);
}

TPopupMenu* TXcCustomEdit::GetPopupMenu() const
{
  if (TPopupMenu* Menu = TXcExCustomEdit::GetPopupMenu()) return Menu;
  if (!FUseFixedPopup) return nullptr;
  return GetReplacementEditPopup(const_cast<TXcCustomEdit*>(this), true);
}

void TXcCustomEdit::CreateParams(TCreateParams& Params)
{
  TXcExCustomEdit::CreateParams(Params);
  constexpr DWORD AlignStyle[] = {ES_LEFT, ES_RIGHT, ES_CENTER};
  Params.Style |= AlignStyle[FAlignment];
  if (FThemedPassword) Params.Style |= ES_PASSWORD;
}

void TXcCustomEdit::CreateHandle()
{
  TXcExCustomEdit::CreateHandle();
  if (Focused())
    DoEmptyValueEnter();
  else
    DoEmptyValueExit();
}

void TXcCustomEdit::DestroyWnd()
{
  Unprotected([this] {
    TXcExCustomEdit::DestroyWnd();
    return 0;
  });
}

void TXcCustomEdit::Change()
{
  // A text that reached the window by other ways than SetText (a paste into the placeholder)
  // is the user's: the placeholder flag follows the window.
  if (FIsEmptyValue && RawText() != FEmptyValue) {
    FIsEmptyValue = false;
    GetFont()->SetColor(FOldFontColor);
  }
  TXcExCustomEdit::Change();
  if (GetParent()) ApplyPixelLimitToText();
  if (!Loading()) FDataConnector->MarkModified();
}

void TXcCustomEdit::ApplyPixelLimitToText()
{
  String Text = GetText();
  const std::size_t Before = Text.size();
  FMaxPixel->TrimToWidth(Text, GetFont());
  if (Text.size() >= Before) return;
  const int OldStart = HandleAllocated() ? TXcExCustomEdit::GetSelStart() : 0;
  SetText(Text);
  if (HandleAllocated()) TXcExCustomEdit::SetSelStart(std::min(OldStart, static_cast<int>(Text.size())));
}

void TXcCustomEdit::ApplyPixelLimit(TObject*)
{
  if (GetParent()) ApplyPixelLimitToText();
}

void TXcCustomEdit::KeyDown(Word& Key, TShiftState Shift)
{
  UpdateGroup();
  TXcExCustomEdit::KeyDown(Key, Shift);
}

void TXcCustomEdit::KeyPress(char& Key)
{
  TXcExCustomEdit::KeyPress(Key);
  if (Key == 27 && FDataConnector->GetActive() && FDataConnector->GetField()->FieldEditable()) {
    FDataConnector->ResetLink();
    SelectAll();
    Key = 0;
  }
}

void TXcCustomEdit::DoEnter()
{
  TXcExCustomEdit::DoEnter();
  DoEmptyValueEnter();
}

void TXcCustomEdit::DoExit()
{
  try {
    FDataConnector->PostRecord();
  } catch (...) {
    SetFocus();
    throw;
  }
  TXcExCustomEdit::DoExit();
  DoEmptyValueExit();
}

bool TXcCustomEdit::DispatchHook(TMessage& Message)
{
  switch (Message.Msg) {
    case WM_CUT:
    case WM_CLEAR:
    case WM_UNDO:
    case WM_PASTE:
      if (TXcExCustomEdit::DispatchHook(Message)) return true;  // a command ClipboardCommands lacks
      if (GetReadOnly()) return true;
      TCustomEdit::WndProc(Message);  // the stock edit, past the layer
      if (Message.Msg == WM_PASTE) UpdateGroup();
      return true;
    case WM_SETFONT:
      if (FThemedPassword) {
        if (!FThemedFont) FThemedFont = std::make_unique<TFont>();
        LOGFONTA Lf{};
        GetObjectA(GetStockObject(DEFAULT_GUI_FONT), sizeof(Lf), &Lf);
        Lf.lfHeight = GetFont()->GetHeight();
        FThemedFont->SetHandle(CreateFontIndirectA(&Lf));
        Message.WParam = reinterpret_cast<WPARAM>(FThemedFont->GetHandle());
      }
      return false;
    case WM_PAINT: return PaintDisabled(Message);
    default: return TXcExCustomEdit::DispatchHook(Message);
  }
}

bool TXcCustomEdit::UsesDefaultDisabledColors() const
{
  return ColorToRGB(FDisabledTextColor) == ColorToRGB(clGrayText) && ColorToRGB(FDisabledColor) == ColorToRGB(clWindow);
}

bool TXcCustomEdit::PaintDisabled(TMessage& Message)
{
  if (GetEnabled() || UsesDefaultDisabledColors()) return false;
  String Text = GetText();
  if (const char Password = GetPasswordChar()) {
    std::size_t Characters = 0;
    for (unsigned char C : Text)
      if ((C & 0xC0) != 0x80) ++Characters;
    Text.assign(Characters, Password);
  }
  return PaintEdit(this, Text, FAlignment, Focused(), FDisabledTextColor, false, FPaintCanvas, Message);
}

void TXcCustomEdit::HookSetFocus(HWND FocusedWnd)
{
  TXcExCustomEdit::HookSetFocus(FocusedWnd);
  FCaret->ShowCustomCaret();
}

void TXcCustomEdit::HookKillFocus(HWND FocusedWnd)
{
  FCaret->HideCustomCaret();
  TXcExCustomEdit::HookKillFocus(FocusedWnd);
}

bool TXcCustomEdit::HookEraseBackground(TCanvas* Canvas, LPARAM Param)
{
  if (GetEnabled()) return TXcExCustomEdit::HookEraseBackground(Canvas, Param);
  Canvas->GetBrush()->SetStyle(bsSolid);
  Canvas->GetBrush()->SetColor(FDisabledColor);
  Canvas->FillRect(GetClientRect());
  return true;
}

void TXcCustomEdit::HookEnabledChanged()
{
  TXcExCustomEdit::HookEnabledChanged();
  Invalidate();
}

void TXcCustomEdit::SetFlatKeepingSelection(bool Value)
{
  if (!HandleAllocated()) {
    SetFlat(Value);
    return;
  }
  const int Start = TXcExCustomEdit::GetSelStart();
  const int Length = TXcExCustomEdit::GetSelLength();
  SetFlat(Value);
  TXcExCustomEdit::SetSelStart(Start);
  TXcExCustomEdit::SetSelLength(Length);
}

void TXcCustomEdit::HookMouseEnter(TControl* Control)
{
  if (!Designing() && !GetMouseOver() && FHotTrack) SetFlatKeepingSelection(false);
  TXcExCustomEdit::HookMouseEnter(Control);
}

void TXcCustomEdit::HookMouseLeave(TControl* Control)
{
  if (GetMouseOver() && FHotTrack) SetFlatKeepingSelection(true);
  TXcExCustomEdit::HookMouseLeave(Control);
}

bool TXcCustomEdit::HookHintShow(THintInfo& Info)
{
  if (FAutoHint) {
    const String Text = GetText();
    bool Fits = true;
    try {
      TControlCanvas Canvas;
      Canvas.SetControl(this);
      Canvas.GetFont()->Assign(GetFont());
      Fits = Canvas.TextWidth(Text) < GetClientWidth();
    } catch (const Exception&) {
      Fits = true;
    }
    if (!Fits) {
      Info.HintStr = Text;
      Info.HintPos = ClientToScreen(Point(-2, GetHeight() - 2));
      return false;
    }
  }
  return TXcExCustomEdit::HookHintShow(Info);
}

void TXcCustomEdit::CaretChanged(TObject*)
{
  if (!Focused()) return;
  if (!FCaret->IsDefaultMode()) {
    FCaret->ShowCustomCaret();
    return;
  }
  // Back to the system caret: the edit window makes its own one again when it is told its
  // font while focused.
  const HWND Wnd = GetHandle();
  SendMessageA(Wnd, WM_SETFONT, static_cast<WPARAM>(SendMessageA(Wnd, WM_GETFONT, 0, 0)), 0);
}
