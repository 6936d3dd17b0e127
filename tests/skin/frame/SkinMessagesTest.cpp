// The skinned message box on the headless display: what each button set and dialog type builds,
// the answer by Enter, Escape, a click and the close command, its size for short and for huge
// messages, the show-again box, the texts of a string table, nested boxes and the dialog handler.
#include "platform/vcl/Dialogs.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinCheckRadioBox.h"
#include "skin/controls/SkinStdLabels.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/frame/SkinMessages.h"
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

constexpr UINT ActMessage = WM_APP + 77;

class TSkinMessageTest : public TSkinFrameTest {
protected:
  void SetUp() override
  {
    TSkinFrameTest::SetUp();
    Box = new TskSkinMessage(Holder);
    Box->OnDialogBuilt = [this](TskMessageForm* Form) {
      Built = Form;
      Names.clear();
      for (int i = 0; i < Form->GetControlCount(); ++i)
        Names.push_back(Form->GetControl(i)->GetName());
      if (!Act)
        return;
      // Once the dialog shows (and has the focus) the test's user acts on it.
      Form->HandleNeeded();
      TWndMethod old = Form->WindowProc;
      std::function<void(TskMessageForm*)> act = Act;
      Form->WindowProc = [old, act, Form](TMessage& M) {
        if (M.Msg == ActMessage) {
          act(Form);
          return;
        }
        old(M);
      };
      PostMessageA(Form->GetHandle(), ActMessage, 0, 0);
    };
  }

  void PressKey(unsigned Key)
  {
    Display()->InjectKey(Key, true);
    Display()->InjectKey(Key, false);
  }

  TskSkinButton* Button(TskMessageForm* Form, const String& Name)
  {
    return dynamic_cast<TskSkinButton*>(Form->FindComponent(Name));
  }

  TskSkinMessage* Box = nullptr;
  TskMessageForm* Built = nullptr;
  std::vector<String> Names;
  std::function<void(TskMessageForm*)> Act;
};

} // namespace

TEST_F(TSkinMessageTest, ButtonSetsTypesAndKeys)
{
  struct TCase {
    const char* Name;
    bool WithCaption; // MessageDlgCaption("Quelvo") or MessageDlg
    TskMsgDlgType Type;
    TskMsgDlgButtons Buttons;
    const char* Caption;
    const char* Default;
    const char* Cancel;
    int Enter, Escape;
  };
  const TCase cases[] = {
      {"yes + no, custom", true, skmtCustom, skmbYes | skmbNo, "Quelvo", "Yes", "No", 6, 7},
      {"OK alone", true, skmtCustom, skmbOK, "Quelvo", "OK", "OK", 1, 1},
      {"OK + cancel, warning", false, skmtWarning, skmbOK | skmbCancel, "Warning", "OK", "Cancel", 1, 2},
      {"retry + cancel, error", false, skmtError, skmbRetry | skmbCancel, "Error", "Retry", "Cancel", 4, 2},
      {"yes + no + cancel, confirmation", false, skmtConfirmation, skmbYes | skmbNo | skmbCancel, "Confirm", "Yes",
       "Cancel", 6, 2},
  };
  for (const TCase& c : cases) {
    for (unsigned key : {VK_RETURN, VK_ESCAPE}) {
      SCOPED_TRACE(String(c.Name) + (key == VK_RETURN ? " / Enter" : " / Escape"));
      String caption, defaultName, cancelName;
      Act = [&](TskMessageForm* Form) {
        caption = Form->GetCaption();
        for (int i = 0; i < Form->GetControlCount(); ++i)
          if (auto* b = dynamic_cast<TskSkinButton*>(Form->GetControl(i))) {
            if (b->GetDefault())
              defaultName = b->GetName();
            if (b->GetCancel())
              cancelName = b->GetName();
          }
        PressKey(key);
      };
      const int result = c.WithCaption ? Box->MessageDlgCaption("Convert now?", "Quelvo", c.Type, c.Buttons, 0)
                                       : Box->MessageDlg("Convert now?", c.Type, c.Buttons, 0);
      EXPECT_EQ(key == VK_RETURN ? c.Enter : c.Escape, result);
      EXPECT_EQ(c.Caption, caption);
      EXPECT_EQ(c.Default, defaultName);
      EXPECT_EQ(c.Cancel, cancelName);
    }
  }
}

TEST_F(TSkinMessageTest, ButtonsStandInBitOrderAndAClickAnswers)
{
  std::vector<int> lefts;
  Act = [&](TskMessageForm* Form) {
    for (const char* name : {"Yes", "No", "Cancel", "Help"})
      lefts.push_back(Button(Form, name)->GetLeft());
    // Help answers nothing and keeps the dialog open; No answers.
    Button(Form, "Help")->DoClick();
    EXPECT_EQ(mrNone, Form->GetModalResult());
    TskSkinButton* no = Button(Form, "No");
    TPoint p{no->GetWidth() / 2, no->GetHeight() / 2};
    ClientToScreen(no->GetHandle(), &p);
    Display()->InjectButton(p.x, p.y, 1, true);
    Display()->InjectButton(p.x, p.y, 1, false);
  };
  EXPECT_EQ(7, Box->MessageDlgCaption("Remove the job?", "Quelvo", skmtCustom, skmbHelp | skmbCancel | skmbNo | skmbYes, 0));
  ASSERT_EQ(4u, lefts.size());
  for (std::size_t i = 1; i < lefts.size(); ++i)
    EXPECT_EQ(lefts[i - 1] + 80, lefts[i]);
}

TEST_F(TSkinMessageTest, CloseCommandAnswersCancelAlsoWithoutButtons)
{
  int buttons = -1;
  int clientWidth = 0, labelRight = 0;
  Act = [&](TskMessageForm* Form) {
    buttons = 0;
    for (int i = 0; i < Form->GetControlCount(); ++i)
      buttons += dynamic_cast<TskSkinButton*>(Form->GetControl(i)) != nullptr;
    clientWidth = Form->GetClientWidth();
    labelRight = Form->MessageLabel->GetLeft() + Form->MessageLabel->GetWidth();
    PressKey(VK_ESCAPE); // no cancel button: nothing happens
    Application->ProcessMessages();
    EXPECT_EQ(mrNone, Form->GetModalResult());
    PostMessageA(Form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
  };
  EXPECT_EQ(2, Box->MessageDlgCaption("Nothing to choose", "Quelvo", skmtInformation, 0, 0));
  EXPECT_EQ(0, buttons);
  EXPECT_GE(clientWidth, labelRight + 40);
}

TEST_F(TSkinMessageTest, LayoutOfAOneLineMessage)
{
  struct TCase {
    const char* Name;
    TskMsgDlgType Type;
    bool ShowAgain;
  };
  const TCase cases[] = {{"no icon", skmtCustom, false}, {"icon", skmtWarning, false}, {"show-again", skmtCustom, true}};
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    Box->ShowAgainFlag = c.ShowAgain;
    Box->ShowAgainFlagValue = false;
    int h = 0, clientHeight = 0, iconTop = 0, buttonTop = 0, boxTop = -1, clientWidth = 0, boxWidth = 0;
    bool ticked = false;
    Box->OnDialogBuilt = [&](TskMessageForm* Form) {
      h = Form->MessageLabel->GetHeight();
      clientHeight = Form->GetClientHeight();
      clientWidth = Form->GetClientWidth();
      iconTop = Form->FindComponent("Image") ? dynamic_cast<TControl*>(Form->FindComponent("Image"))->GetTop() : -1;
      buttonTop = Button(Form, "OK")->GetTop();
      if (Form->CheckBox) {
        boxTop = Form->CheckBox->GetTop();
        boxWidth = Form->CheckBox->GetWidth();
        ticked = Form->CheckBox->GetChecked();
        Form->CheckBox->SetChecked(false);
      }
      Form->HandleNeeded();
      PostMessageA(Form->GetHandle(), WM_SYSCOMMAND, SC_CLOSE, 0);
    };
    EXPECT_EQ(2, Box->MessageDlg("Done.", c.Type, skmbOK, 0));
    EXPECT_EQ(25 + h + 50 + (c.ShowAgain ? 40 : 0), clientHeight);
    EXPECT_EQ(10, iconTop) << "a one-line label puts the icon at its lowest top";
    EXPECT_EQ(clientHeight - 25 - 10, buttonTop);
    if (c.ShowAgain) {
      EXPECT_EQ(clientHeight - 25 - 50, boxTop);
      EXPECT_TRUE(ticked) << "ShowAgainFlagValue false ticks the box";
      EXPECT_TRUE(Box->ShowAgainFlagValue) << "an unticked box answers true";
      EXPECT_GE(clientWidth, boxWidth + 5);
    }
  }
}

TEST_F(TSkinMessageTest, HugeMessagesFitTheScreen)
{
  String longLine(10000, 'x');
  String words;
  for (int i = 0; i < 2000; ++i)
    words += "word" + std::to_string(i) + " ";
  String lines;
  for (int i = 0; i < 600; ++i)
    lines += "line " + std::to_string(i) + "\n";
  const TRect work = Screen->GetWorkAreaRect();
  for (const String& text : {longLine, words, lines}) {
    SCOPED_TRACE(text.substr(0, 20));
    TRect bounds{};
    TRect okRect{};
    Act = [&](TskMessageForm* Form) {
      bounds = Form->GetBoundsRect();
      okRect = Button(Form, "OK")->GetBoundsRect();
      PressKey(VK_RETURN);
    };
    EXPECT_EQ(1, Box->MessageDlgCaption(text, "Quelvo", skmtCustom, skmbOK, 0));
    EXPECT_GE(bounds.left, work.left);
    EXPECT_GE(bounds.top, work.top);
    EXPECT_LE(bounds.right, work.right);
    EXPECT_LE(bounds.bottom, work.bottom);
    EXPECT_GT(okRect.top, 0) << "the button row stays inside";
  }
}

TEST_F(TSkinMessageTest, NestedBoxesAnswerEachTheirOwn)
{
  int inner = -1;
  int depth = 0;
  Act = [&](TskMessageForm*) {
    if (++depth == 1) {
      inner = Box->MessageDlgCaption("Really?", "Quelvo", skmtCustom, skmbYes | skmbNo, 0);
      PressKey(VK_ESCAPE);
    } else {
      PressKey(VK_RETURN);
    }
  };
  EXPECT_EQ(2, Box->MessageDlgCaption("Stop all jobs?", "Quelvo", skmtCustom, skmbOK | skmbCancel, 0));
  EXPECT_EQ(6, inner);
}

TEST_F(TSkinMessageTest, TextsComeFromTheControlSkinsStringTable)
{
  auto* skin = new TskSkinData(Holder);
  FillSkinData(skin, {}, "");
  auto* strings = new TskResourceStrData(Holder);
  strings->GetResStrings()->Clear();
  strings->GetResStrings()->Add("MSG_BTN_YES=Ja");
  strings->GetResStrings()->Add("MSG_CAP_CONFIRM=Frage");
  skin->SetResourceStrData(strings);
  Box->SetCtrlSkinData(skin);
  EXPECT_EQ("Ja", Box->ButtonText(0));
  EXPECT_EQ("", Box->ButtonText(1)) << "a key the table lacks gives an empty text";
  EXPECT_EQ("Frage", Box->TypeCaption(skmtConfirmation));
  EXPECT_EQ("", Box->TypeCaption(skmtCustom));
  Box->SetCtrlSkinData(nullptr);
  EXPECT_EQ("&Yes", Box->ButtonText(0));
  EXPECT_EQ("N&oToAll", Box->ButtonText(8));
  EXPECT_EQ("Information", Box->TypeCaption(skmtInformation));
}

TEST_F(TSkinMessageTest, ButtonHeightComesFromAButtonRecordOnly)
{
  TskSkinData* controls = BuiltinSkinData(Holder, TBuiltinSkin::bsControls);
  EXPECT_EQ(25, Box->ButtonHeight()) << "no control skin";
  Box->SetCtrlSkinData(controls);
  const int index = controls->GetControlIndex("button");
  ASSERT_GE(index, 0);
  auto* record = dynamic_cast<TskDataSkinButtonControl*>(controls->ControlList[static_cast<std::size_t>(index)]);
  ASSERT_NE(nullptr, record);
  EXPECT_EQ(record->skinrect.bottom - record->skinrect.top, Box->ButtonHeight());
  Box->ButtonSkinDataName = "stdlabel";
  EXPECT_EQ(25, Box->ButtonHeight()) << "a record that is not a button record";
  Box->ButtonSkinDataName = "nosuchrecord";
  EXPECT_EQ(25, Box->ButtonHeight());
}

TEST_F(TSkinMessageTest, TheDialogHandlerAnswersWithoutADialog)
{
  std::vector<String> asked;
  SetDialogHandler([&](TDialogRequest& R) {
    asked.push_back(R.Caption + "|" + R.Text + "|" + std::to_string(R.Buttons));
    return mrNo;
  });
  EXPECT_EQ(7, Box->MessageDlgCaption("Delete \"a\\b\"?\n-x", "Quelvo", skmtCustom, skmbYes | skmbNo, 0));
  EXPECT_EQ(nullptr, Built) << "no dialog was built";
  ASSERT_EQ(1u, asked.size());
  EXPECT_EQ("Quelvo|Delete \"a\\b\"?\n-x|3", asked[0]);
}
