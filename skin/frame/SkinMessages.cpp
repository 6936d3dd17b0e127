// The skinned message box: building the dialog (label, icon, buttons, check box), its size and
// the texts from the control skin's string table or the built-in ones.
#include "skin/frame/SkinMessages.h"

#include <algorithm>

#include "platform/vcl/Controls.h"
#include "platform/vcl/Dialogs.h"
#include "skin/controls/ComponentReference.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/foundation/SkinCustomControlRecords.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/frame/SkinnedForm.h"

namespace {

struct TButtonKind {
  const char* Name;
  const char* Key;
  const char* Fallback;
  TModalResult Result;
};

constexpr TButtonKind ButtonKinds[11] = {
    {"Yes", "MSG_BTN_YES", "&Yes", 6},           {"No", "MSG_BTN_NO", "&No", 7},
    {"OK", "MSG_BTN_OK", "OK", 1},               {"Cancel", "MSG_BTN_CANCEL", "Cancel", 2},
    {"Abort", "MSG_BTN_ABORT", "&Abort", 3},     {"Retry", "MSG_BTN_RETRY", "&Retry", 4},
    {"Ignore", "MSG_BTN_IGNORE", "&Ignore", 5},  {"All", "MSG_BTN_ALL", "&All", 8},
    {"NoToAll", "MSG_BTN_NOTOALL", "N&oToAll", 9}, {"YesToAll", "MSG_BTN_YESTOALL", "&YesToAll", 10},
    {"Help", "MSG_BTN_HELP", "&Help", 0},
};

struct TTypeKind {
  const char* Key;
  const char* Fallback;
  int IconId;
};

constexpr TTypeKind TypeKinds[5] = {{"MSG_CAP_WARNING", "Warning", 32515},
                                    {"MSG_CAP_ERROR", "Error", 32513},
                                    {"MSG_CAP_INFORMATION", "Information", 32516},
                                    {"MSG_CAP_CONFIRM", "Confirm", 32514},
                                    {nullptr, "", 0}};

constexpr const char* SShowAgain = "Do not display this message again";
constexpr int ButtonWidth = 70;
constexpr int ButtonSpacing = 10;

void SetArial14(TFont* Font)
{
  Font->SetName("Arial");
  Font->SetHeight(14);
  Font->SetStyle(0);
}

TskResourceStrData* StringsOf(TskSkinData* Skin) { return Skin ? Skin->GetResourceStrData() : nullptr; }

// The dialog's icon: the picture of a system icon id (none for 0).
class TskMessageIcon : public TGraphicControl {
public:
  explicit TskMessageIcon(TComponent* AOwner) : TGraphicControl(AOwner) {}
  int IconId = 0;

protected:
  void Paint() override { DrawMessageIcon(GetCanvas(), 0, 0, IconId); }
};

} // namespace

void DrawMessageIcon(TCanvas* Canvas, int X, int Y, int IconId)
{
  TBrush* brush = Canvas->GetBrush();
  TPen* pen = Canvas->GetPen();
  auto circle = [&](TColor Fill) {
    brush->SetColor(Fill);
    brush->SetStyle(bsSolid);
    pen->SetColor(clBlack);
    Canvas->Ellipse(X + 1, Y + 1, X + 31, Y + 31);
  };
  auto glyph = [&](const char* Text, TColor Color) {
    Canvas->GetFont()->SetName("Arial");
    Canvas->GetFont()->SetHeight(24);
    Canvas->GetFont()->SetStyle(fsBold);
    Canvas->GetFont()->SetColor(Color);
    brush->SetStyle(bsClear);
    const SIZE size = Canvas->TextExtent(Text);
    Canvas->TextOut(X + (32 - size.cx) / 2, Y + (32 - size.cy) / 2, Text);
  };
  switch (IconId) {
  case 32513:
    circle(static_cast<TColor>(0x0000C0));
    pen->SetColor(clWhite);
    pen->SetWidth(3);
    Canvas->MoveTo(X + 10, Y + 10);
    Canvas->LineTo(X + 22, Y + 22);
    Canvas->MoveTo(X + 22, Y + 10);
    Canvas->LineTo(X + 10, Y + 22);
    pen->SetWidth(1);
    break;
  case 32514:
    circle(static_cast<TColor>(0xC06000));
    glyph("?", clWhite);
    break;
  case 32515:
    brush->SetColor(static_cast<TColor>(0x00D0FF));
    brush->SetStyle(bsSolid);
    pen->SetColor(clBlack);
    Canvas->Polygon({TPoint{X + 16, Y + 1}, TPoint{X + 31, Y + 30}, TPoint{X + 1, Y + 30}});
    glyph("!", clBlack);
    break;
  case 32516:
    circle(static_cast<TColor>(0xC06000));
    glyph("i", clWhite);
    break;
  default: break;
  }
}

// ---- TskMessageForm ----

TskMessageForm::TskMessageForm(TComponent* AOwner, int ALeft, int ATop) : TForm(AOwner)
{
  SetBorderStyle(bsDialog);
  SetKeyPreview(true);
  if (ALeft < -10000) {
    SetPosition(poScreenCenter);
  } else {
    SetLeft(ALeft);
    SetTop(ATop);
  }
  DSF = new TskSkinnedForm(this);
  DSF->SetBorderIcons(0);
  DSF->Sizeable = false;
}

void TskMessageForm::HelpButtonClick(TObject*)
{
  // The platform has no help viewer: the Help button answers nothing and leaves the dialog open.
}

// ---- TskSkinMessage ----

TskSkinMessage::TskSkinMessage(TComponent* AOwner) : TComponent(AOwner)
{
  FDefaultFont = std::make_unique<TFont>();
  FDefaultButtonFont = std::make_unique<TFont>();
  SetArial14(FDefaultFont.get());
  SetArial14(FDefaultButtonFont.get());
}

TskSkinMessage::~TskSkinMessage() = default;

void TskSkinMessage::SetSkinData(TskSkinData* Value) { SetComponentReference(this, FSkinData, Value); }
void TskSkinMessage::SetCtrlSkinData(TskSkinData* Value) { SetComponentReference(this, FCtrlSkinData, Value); }
void TskSkinMessage::SetDefaultFont(TFont* Value) { FDefaultFont->Assign(Value); }
void TskSkinMessage::SetDefaultButtonFont(TFont* Value) { FDefaultButtonFont->Assign(Value); }

void TskSkinMessage::Notification(TComponent* AComponent, TOperation Operation)
{
  TComponent::Notification(AComponent, Operation);
  if (Operation != opRemove)
    return;
  if (AComponent == FSkinData)
    FSkinData = nullptr;
  if (AComponent == FCtrlSkinData)
    FCtrlSkinData = nullptr;
}

int TskSkinMessage::ButtonHeight() const
{
  if (FCtrlSkinData && !FCtrlSkinData->Empty) {
    const int index = FCtrlSkinData->GetControlIndex(ButtonSkinDataName);
    if (index >= 0)
      if (auto* button = dynamic_cast<TskDataSkinButtonControl*>(FCtrlSkinData->ControlList[static_cast<std::size_t>(index)]))
        return button->skinrect.bottom - button->skinrect.top;
  }
  return 25;
}

String TskSkinMessage::ButtonText(int Bit) const
{
  if (Bit < 0 || Bit > 10)
    return "";
  const TButtonKind& kind = ButtonKinds[Bit];
  if (TskResourceStrData* strings = StringsOf(FCtrlSkinData))
    return strings->GetResStr(kind.Key);
  return kind.Fallback;
}

String TskSkinMessage::TypeCaption(TskMsgDlgType DlgType) const
{
  const TTypeKind& kind = TypeKinds[std::min<int>(DlgType, skmtCustom)];
  if (!kind.Key)
    return "";
  if (TskResourceStrData* strings = StringsOf(FCtrlSkinData))
    return strings->GetResStr(kind.Key);
  return kind.Fallback;
}

TskMessageForm* TskSkinMessage::CreateDialog(const String& Msg, const String& ACaption, TskMsgDlgType DlgType,
                                             TskMsgDlgButtons Buttons)
{
  auto* form = new TskMessageForm(nullptr, -10001, -10001);
  try {
    form->DSF->SetSkinData(FSkinData);
    form->DSF->SetMenusSkinData(FCtrlSkinData);
    form->DSF->SetAlphaBlend(AlphaBlend);
    form->DSF->AlphaBlendAnimation = AlphaBlendAnimation;
    form->DSF->SetAlphaBlendValue(AlphaBlendValue);
    const int buttonHeight = ButtonHeight();
    int n = 0;
    for (int bit = 0; bit <= 10; ++bit)
      if (Buttons & (1u << bit))
        ++n;
    const int rowWidth = n == 0 ? 0 : n * ButtonWidth + n * ButtonSpacing - ButtonSpacing;
    form->SetCaption(ACaption);

    // The message: as wide as its longest line, but never wider or taller than the screen
    // allows (then wrapped, and cut at the bottom).
    const TRect work = Screen->GetWorkAreaRect();
    const int maxTextWidth = std::max(100, RectWidth(work) - 140);
    const int maxTextHeight = std::max(20, RectHeight(work) - buttonHeight - 160 - (ShowAgainFlag ? 40 : 0));
    auto* label = new TskSkinStdLabel(form);
    label->SetName("Message");
    label->SetParent(form);
    label->SetFont(FDefaultFont.get());
    label->SetDefaultFont(FDefaultFont.get());
    label->SetUseSkinFont(UseSkinFont);
    label->SetSkinDataName(MessageLabelSkinDataName);
    label->SetSkinData(FCtrlSkinData);
    label->SetShowAccelChar(false);
    label->SetAutoSize(true);
    label->SetCaption(Msg);
    label->SetLeft(50);
    label->SetTop(15);
    if (label->GetWidth() > maxTextWidth) {
      label->SetAutoSize(false);
      label->SetWordWrap(true);
      label->SetWidth(maxTextWidth);
      label->SetAutoSize(true);
    }
    if (label->GetHeight() > maxTextHeight) {
      label->SetAutoSize(false);
      label->SetHeight(maxTextHeight);
    }
    form->MessageLabel = label;
    const int textRight = label->GetLeft() + label->GetWidth();

    auto* icon = new TskMessageIcon(form);
    icon->SetName("Image");
    icon->SetParent(form);
    icon->IconId = TypeKinds[std::min<int>(DlgType, skmtCustom)].IconId;
    const int iconTop = std::max(10, label->GetTop() + label->GetHeight() / 2 - 16);
    icon->SetBounds(5, iconTop, 32, 32);

    form->SetClientHeight(buttonHeight + label->GetHeight() + 50);
    form->SetClientWidth(rowWidth < textRight ? textRight + 40 : rowWidth + 40);

    if (ShowAgainFlag) {
      form->SetClientHeight(form->GetClientHeight() + 40);
      auto* box = new TskSkinCheckRadioBox(form);
      box->SetName("checkbox");
      box->SetParent(form);
      box->SetDefaultHeight(30);
      box->SetChecked(!ShowAgainFlagValue);
      box->SetDefaultFont(FDefaultFont.get());
      box->SetUseSkinFont(UseSkinFont);
      box->SetSkinData(FCtrlSkinData);
      const int boxTop = form->GetClientHeight() - buttonHeight - 50;
      String text;
      if (TskResourceStrData* strings = StringsOf(FCtrlSkinData))
        text = strings->GetResStr("MSG_CAP_SHOWFLAG");
      if (text.empty())
        text = SShowAgain;
      box->SetCaption(text);
      TFont* font = form->GetCanvas()->GetFont();
      if (box->GetSkinIndex() >= 0 && UseSkinFont) {
        font->SetName(box->GetFontName());
        font->SetHeight(box->GetFontHeight());
      } else {
        font->Assign(FDefaultFont.get());
      }
      const int w = form->GetCanvas()->TextWidth(text);
      if (form->GetClientWidth() < w + 60)
        form->SetClientWidth(w + 60);
      box->SetBounds(5, boxTop, w + 55, box->GetDefaultHeight());
      form->CheckBox = box;
    }

    const int maxW = form->DSF->GetEffectiveMaxWidth();
    if (maxW < form->GetWidth())
      form->SetWidth(maxW);
    else if (form->GetWidth() < form->DSF->GetEffectiveMinWidth())
      form->SetWidth(form->DSF->GetEffectiveMinWidth());

    const int defaultBit = (Buttons & skmbOK) ? 2 : (Buttons & skmbYes) ? 0 : (Buttons & skmbRetry) ? 5 : -1;
    const int cancelBit = (Buttons & skmbCancel) ? 3 : (Buttons & skmbNo) ? 1 : 2;
    int x = (form->GetClientWidth() - rowWidth) / 2;
    for (int bit = 0; bit <= 10; ++bit) {
      if (!(Buttons & (1u << bit)))
        continue;
      const TButtonKind& kind = ButtonKinds[bit];
      auto* button = new TskSkinButton(form);
      button->SetName(kind.Name);
      button->SetParent(form);
      button->SetCanFocused(true);
      button->SetCaption(ButtonText(bit));
      button->SetModalResult(kind.Result);
      button->SetDefault(bit == defaultBit);
      button->SetCancel(bit == cancelBit);
      button->SetDefaultHeight(buttonHeight);
      button->SetBounds(x, form->GetClientHeight() - buttonHeight - 10, ButtonWidth, buttonHeight);
      button->SetDefaultFont(FDefaultButtonFont.get());
      button->SetUseSkinFont(UseSkinFont);
      if (bit == 10)
        button->OnClick = [form](TObject* Sender) { form->HelpButtonClick(Sender); };
      button->SetSkinDataName(ButtonSkinDataName);
      button->SetSkinData(FCtrlSkinData);
      x += ButtonWidth + ButtonSpacing;
    }
    // Enter answers the default button even when another one has the focus first.
    for (int i = 0; i < form->GetControlCount(); ++i)
      if (auto* button = dynamic_cast<TskSkinButton*>(form->GetControl(i)); button && button->GetDefault())
        form->SetActiveControl(button);
  } catch (...) {
    delete form;
    throw;
  }
  if (OnDialogBuilt)
    OnDialogBuilt(form);
  return form;
}

int TskSkinMessage::Answer(const String& Msg, const String& ACaption, TskMsgDlgType DlgType, TskMsgDlgButtons Buttons,
                           int HelpCtx)
{
  // Programs that run without a user (and tests) answer every dialog through one handler.
  if (const TDialogHandler& handler = GetDialogHandler()) {
    TDialogRequest request;
    request.Caption = ACaption;
    request.Text = Msg;
    request.DlgType = static_cast<TMsgDlgType>(std::min<int>(DlgType, skmtCustom));
    request.Buttons = Buttons;
    return handler(request);
  }
  return Run(CreateDialog(Msg, ACaption, DlgType, Buttons), HelpCtx);
}

int TskSkinMessage::Run(TskMessageForm* Form, int HelpCtx)
{
  Form->HelpContext = HelpCtx;
  int result = mrCancel;
  try {
    result = Form->ShowModal();
  } catch (...) {
    if (Form->CheckBox)
      ShowAgainFlagValue = !Form->CheckBox->GetChecked();
    delete Form;
    throw;
  }
  if (Form->CheckBox)
    ShowAgainFlagValue = !Form->CheckBox->GetChecked();
  delete Form;
  return result;
}

int TskSkinMessage::MessageDlg(const String& Msg, TskMsgDlgType DlgType, TskMsgDlgButtons Buttons, int HelpCtx)
{
  const String caption = DlgType == skmtCustom ? Application->GetTitle() : TypeCaption(DlgType);
  return Answer(Msg, caption, DlgType, Buttons, HelpCtx);
}

int TskSkinMessage::MessageDlgCaption(const String& Msg, const String& ACaption, TskMsgDlgType DlgType,
                                      TskMsgDlgButtons Buttons, int HelpCtx)
{
  return Answer(Msg, ACaption, DlgType, Buttons, HelpCtx);
}
