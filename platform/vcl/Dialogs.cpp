#include "platform/vcl/Dialogs.h"

#include <algorithm>

#include "platform/rtl/Paths.h"
#include "platform/vcl/Button.h"

namespace {

TDialogHandler& Handler() {
  static TDialogHandler H;
  return H;
}

const char* const Captions[] = {"Warning", "Error", "Information", "Confirm", ""};

struct TButtonInfo {
  TMsgDlgButtons Button;
  const char* Caption;
  const char* Name;
  int Result;
};

const TButtonInfo ButtonInfos[] = {
    {mbYes, "&Yes", "Yes", mrYes},          {mbNo, "&No", "No", mrNo},
    {mbOK, "OK", "OK", mrOk},               {mbCancel, "Cancel", "Cancel", mrCancel},
    {mbAbort, "&Abort", "Abort", mrAbort},  {mbRetry, "&Retry", "Retry", mrRetry},
    {mbIgnore, "&Ignore", "Ignore", mrIgnore}, {mbAll, "&All", "All", mrAll},
    {mbNoToAll, "N&o to All", "NoToAll", mrNoToAll}, {mbYesToAll, "Yes to &All", "YesToAll", mrYesToAll},
    {mbHelp, "&Help", "Help", mrNone},
};

constexpr int Margin = 8;
constexpr int ButtonWidth = 75;
constexpr int ButtonHeight = 25;
constexpr int ButtonSpacing = 6;

String TitleOrExe() {
  String Title = Application->GetTitle();
  if (!Title.empty()) return Title;
  String Exe = ExtractFileName(Application->GetExeName());
  return ChangeFileExt(Exe, "");
}

// The size Text needs in Font, wrapped at MaxWidth.
SIZE MeasureText(TFont* Font, const String& Text, int MaxWidth, UINT Flags) {
  HDC DC = CreateCompatibleDC(nullptr);
  HGDIOBJ Old = SelectObject(DC, Font->GetHandle());
  RECT R = Rect(0, 0, MaxWidth, 0);
  DrawTextA(DC, Text.c_str(), -1, &R, Flags | DT_CALCRECT);
  SelectObject(DC, Old);
  DeleteDC(DC);
  return SIZE{R.right - R.left, R.bottom - R.top};
}

// A form that paints its message text in TextRect.
class TMessageForm : public TForm {
public:
  using TForm::TForm;
  String Message;
  TRect TextRect{};

protected:
  void Paint() override {
    TCanvas* C = GetCanvas();
    C->GetFont()->Assign(GetFont());
    C->GetBrush()->SetStyle(bsClear);
    RECT R = TextRect;
    DrawTextA(C->GetHandle(), Message.c_str(), -1, &R, DT_LEFT | DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    TForm::Paint();
  }
};

// A one-line text field: typing, Backspace; Enter and Esc go to the dialog's buttons.
class TDialogEdit : public TCustomControl {
public:
  explicit TDialogEdit(TComponent* AOwner) : TCustomControl(AOwner) {
    SetTabStop(true);
    SetColor(clWindow);
    FControlStyle |= csOpaque;
  }
  String Value;

protected:
  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case WM_GETDLGCODE: Message.Result = DLGC_WANTCHARS | DLGC_WANTARROWS; return;
      case WM_LBUTTONDOWN:
        if (CanFocus()) SetFocus();
        break;
      case WM_SETFOCUS:
      case WM_KILLFOCUS: Invalidate(); break;
    }
    TCustomControl::WndProc(Message);
  }
  void KeyPress(char& Key) override {
    TCustomControl::KeyPress(Key);
    if (Key == '\b') {
      // Drop the last character (a whole UTF-8 sequence).
      while (!Value.empty() && (static_cast<unsigned char>(Value.back()) & 0xC0) == 0x80) Value.pop_back();
      if (!Value.empty()) Value.pop_back();
    } else if (static_cast<unsigned char>(Key) >= 0x20 && Key != 0x7F) {
      Value += Key;
    } else {
      return;
    }
    Key = 0;
    Invalidate();
  }
  void Paint() override {
    TCanvas* C = GetCanvas();
    RECT R = GetClientRect();
    C->GetBrush()->SetColor(clWindow);
    C->FillRect(R);
    DrawEdge(C->GetHandle(), &R, EDGE_SUNKEN, BF_RECT);
    C->GetFont()->Assign(GetFont());
    C->GetFont()->SetColor(clWindowText);
    C->GetBrush()->SetStyle(bsClear);
    int H = C->TextHeight("Wg");
    int Y = (R.bottom - H) / 2;
    C->TextOut(4, Y, Value);
    if (Focused()) {
      int X = 4 + C->TextWidth(Value);
      C->GetPen()->SetColor(clWindowText);
      C->MoveTo(X, Y);
      C->LineTo(X, Y + H);
    }
  }
};

int ShowAndFree(TForm* Form) {
  int Result = mrCancel;
  try {
    Result = Form->ShowModal();
  } catch (...) {
    delete Form;
    throw;
  }
  delete Form;
  return Result;
}

}  // namespace

void SetDialogHandler(TDialogHandler H) { Handler() = std::move(H); }
const TDialogHandler& GetDialogHandler() { return Handler(); }

TForm* CreateMessageDialog(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons) {
  if ((Buttons & ~mbHelp) == 0) Buttons |= mbOK;
  auto* Form = new TMessageForm(Application);
  try {
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->SetText(DlgType == mtCustom ? TitleOrExe() : String(Captions[DlgType]));
    Form->Message = Msg;
    SIZE Text = MeasureText(Form->GetFont(), Msg, std::max(Screen->GetWidth() / 2, 200), DT_WORDBREAK | DT_NOPREFIX | DT_EXPANDTABS);
    std::vector<const TButtonInfo*> Infos;
    for (const TButtonInfo& Info : ButtonInfos)
      if (Buttons & Info.Button) Infos.push_back(&Info);
    int Count = static_cast<int>(Infos.size());
    int ButtonsWidth = Count * ButtonWidth + (Count - 1) * ButtonSpacing;
    int ClientWidth = std::max<int>(Text.cx, ButtonsWidth) + 2 * Margin;
    int ClientHeight = Margin + Text.cy + Margin + ButtonHeight + Margin;
    Form->SetClientWidth(ClientWidth);
    Form->SetClientHeight(ClientHeight);
    Form->TextRect = Bounds(Margin, Margin, Text.cx, Text.cy);
    TMsgDlgButtons DefaultButton = (Buttons & mbOK) ? mbOK : (Buttons & mbYes) ? mbYes : mbRetry;
    TMsgDlgButtons CancelButton = (Buttons & mbCancel) ? mbCancel : (Buttons & mbNo) ? mbNo : mbOK;
    int X = (ClientWidth - ButtonsWidth) / 2;
    for (const TButtonInfo* Info : Infos) {
      auto* B = new TButton(Form);
      B->SetName(Info->Name);
      B->SetParent(Form);
      B->SetText(Info->Caption);
      B->SetModalResult(Info->Result);
      B->SetBounds(X, Margin + Text.cy + Margin, ButtonWidth, ButtonHeight);
      if (Info->Button == DefaultButton) B->SetDefault(true);
      if (Info->Button == CancelButton) B->SetCancel(true);
      X += ButtonWidth + ButtonSpacing;
    }
  } catch (...) {
    delete Form;
    throw;
  }
  return Form;
}

int MessageDlgPos(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int, int X, int Y) {
  if (Handler()) {
    TDialogRequest Request;
    Request.Kind = TDialogRequest::dkMessage;
    Request.Caption = DlgType == mtCustom ? TitleOrExe() : String(Captions[DlgType]);
    Request.Text = Msg;
    Request.DlgType = DlgType;
    Request.Buttons = Buttons;
    return Handler()(Request);
  }
  TForm* Form = CreateMessageDialog(Msg, DlgType, Buttons);
  if (X >= 0 || Y >= 0) {
    Form->SetPosition(poDesigned);
    Form->SetBounds(X >= 0 ? X : Form->GetLeft(), Y >= 0 ? Y : Form->GetTop(), Form->GetWidth(), Form->GetHeight());
  }
  return ShowAndFree(Form);
}

int MessageDlg(const String& Msg, TMsgDlgType DlgType, TMsgDlgButtons Buttons, int HelpCtx) {
  return MessageDlgPos(Msg, DlgType, Buttons, HelpCtx, -1, -1);
}

void ShowMessage(const String& Msg) { MessageDlgPos(Msg, mtCustom, mbOK, 0, -1, -1); }

bool InputQuery(const String& ACaption, const String& APrompt, String& Value) {
  if (Handler()) {
    TDialogRequest Request;
    Request.Kind = TDialogRequest::dkInput;
    Request.Caption = ACaption;
    Request.Text = APrompt;
    Request.Buttons = mbOK | mbCancel;
    Request.Value = Value;
    if (Handler()(Request) != mrOk) return false;
    Value = Request.Value;
    return true;
  }
  auto* Form = new TMessageForm(Application);
  TDialogEdit* Edit = nullptr;
  try {
    Form->SetBorderStyle(bsDialog);
    Form->SetPosition(poScreenCenter);
    Form->SetText(ACaption);
    Form->Message = APrompt;
    SIZE Prompt = MeasureText(Form->GetFont(), APrompt, 400, DT_WORDBREAK | DT_NOPREFIX);
    int Width = std::max<int>(Prompt.cx, 240);
    int EditTop = Margin + Prompt.cy + 4;
    int ButtonTop = EditTop + 21 + Margin + 4;
    Form->SetClientWidth(Width + 2 * Margin);
    Form->SetClientHeight(ButtonTop + ButtonHeight + Margin);
    Form->TextRect = Bounds(Margin, Margin, Prompt.cx, Prompt.cy);
    Edit = new TDialogEdit(Form);
    Edit->SetParent(Form);
    Edit->SetBounds(Margin, EditTop, Width, 21);
    Edit->Value = Value;
    int X = Margin + Width - 2 * ButtonWidth - ButtonSpacing;
    for (int I = 0; I < 2; ++I) {
      auto* B = new TButton(Form);
      B->SetParent(Form);
      B->SetText(I == 0 ? "OK" : "Cancel");
      B->SetModalResult(I == 0 ? mrOk : mrCancel);
      B->SetDefault(I == 0);
      B->SetCancel(I == 1);
      B->SetBounds(X, ButtonTop, ButtonWidth, ButtonHeight);
      X += ButtonWidth + ButtonSpacing;
    }
    Form->OnShow = [Form, Edit](TObject*) { Form->SetActiveControl(Edit); };
    int Result = Form->ShowModal();
    bool Ok = Result == mrOk;
    if (Ok) Value = Edit->Value;
    delete Form;
    return Ok;
  } catch (...) {
    delete Form;
    throw;
  }
}

String InputBox(const String& ACaption, const String& APrompt, const String& ADefault) {
  String Value = ADefault;
  InputQuery(ACaption, APrompt, Value);
  return Value;
}
