#include <gtest/gtest.h>

#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class VclDialogs : public TVclWindowTest {
protected:
  // Types Keys into whatever has the focus once the dialog's loop runs.
  void TypeLater(std::vector<unsigned> Keys) {
    Timer = std::make_unique<TTimer>(nullptr);
    Timer->SetInterval(100);
    Timer->SetOnTimer([this, Keys](TObject*) {
      Timer->SetEnabled(false);
      for (unsigned K : Keys) {
        Display()->InjectKey(K, true);
        Display()->InjectKey(K, false);
      }
    });
    Clock->Advance(100);
  }
  void TearDown() override {
    Timer.reset();
    TVclWindowTest::TearDown();
  }
  std::unique_ptr<TTimer> Timer;
};

TEST_F(VclDialogs, AHandlerAnswersWithoutShowingAnything) {
  std::vector<TDialogRequest> Requests;
  SetDialogHandler([&](TDialogRequest& R) {
    Requests.push_back(R);
    if (R.Kind == TDialogRequest::dkInput) {
      if (R.Text == "Cancel me") return mrCancel;
      R.Value += "!";
      return mrOk;
    }
    return mrNo;
  });
  int Windows = GetWindowCount();
  EXPECT_EQ(MessageDlg("Overwrite?", mtConfirmation, mbYes | mbNo, 0), mrNo);
  ASSERT_EQ(Requests.size(), 1u);
  EXPECT_EQ(Requests[0].Caption, "Confirm");
  EXPECT_EQ(Requests[0].Text, "Overwrite?");
  EXPECT_EQ(Requests[0].Buttons, mbYes | mbNo);

  String Value = "name";
  EXPECT_TRUE(InputQuery("Rename", "New name:", Value));
  EXPECT_EQ(Value, "name!");
  EXPECT_EQ(InputBox("Rename", "Cancel me", "kept"), "kept");
  Application->SetTitle("Quelvo");
  ShowMessage("Done");
  EXPECT_EQ(Requests.back().Caption, "Quelvo");
  EXPECT_EQ(Requests.back().Buttons, mbOK);
  EXPECT_EQ(GetWindowCount(), Windows);
}

TEST_F(VclDialogs, MessageDialogsAnswerTheirKeys) {
  struct TCase {
    TMsgDlgButtons Buttons;
    std::vector<unsigned> Keys;
    int Expected;
  } Cases[] = {
      {mbYesNoCancel, {VK_ESCAPE}, mrCancel},
      {mbYesNoCancel, {VK_RETURN}, mrYes},
      {mbYesNoCancel, {'N'}, mrNo},
      {mbOKCancel, {VK_RETURN}, mrOk},
      {mbYes | mbNo, {VK_ESCAPE}, mrNo},
      {mbYes | mbNo, {VK_TAB, VK_RETURN}, mrNo},
      {mbAbortRetryIgnore, {'I'}, mrIgnore},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Expected);
    TypeLater(C.Keys);
    EXPECT_EQ(MessageDlg("Question", mtWarning, C.Buttons, 0), C.Expected);
  }
}

TEST_F(VclDialogs, MessageDialogFormHasTheButtonsInOrder) {
  TForm* F = CreateMessageDialog("Some text", mtError, mbYes | mbNo | mbCancel);
  Owned.push_back(F);
  EXPECT_EQ(F->GetText(), "Error");
  std::vector<String> Names;
  for (int I = 0; I < F->GetControlCount(); ++I) Names.push_back(F->GetControl(I)->GetName());
  EXPECT_EQ(Names, (std::vector<String>{"Yes", "No", "Cancel"}));
  auto* Yes = static_cast<TButton*>(F->FindComponent("Yes"));
  auto* Cancel = static_cast<TButton*>(F->FindComponent("Cancel"));
  EXPECT_TRUE(Yes->GetDefault());
  EXPECT_TRUE(Cancel->GetCancel());
  EXPECT_EQ(Yes->GetModalResult(), mrYes);
  EXPECT_LT(Yes->GetLeft(), Cancel->GetLeft());
}

TEST_F(VclDialogs, InputBoxTakesTypedText) {
  struct TCase {
    std::vector<unsigned> Keys;
    const char* Expected;
  } Cases[] = {
      {{'A', 'B', VK_BACK, 'C', VK_RETURN}, "xyac"},
      {{'A', VK_ESCAPE}, "xy"},
      {{VK_BACK, VK_BACK, VK_BACK, 'Q', VK_RETURN}, "q"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Expected);
    TypeLater(C.Keys);
    EXPECT_EQ(InputBox("Title", "Prompt:", "xy"), C.Expected);
  }
}

TEST_F(VclDialogs, HintsAppearAfterThePauseAndHideLater) {
  TForm* F = NewForm(100, 100, 200, 100);
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 30, 30);
  Box->SetHint("Short|Long");
  Box->SetShowHint(true);
  Application->SetHintPause(500);
  Application->SetHintHidePause(2000);
  F->Show();
  Pump();
  Application->GetHandle();
  int Before = GetWindowCount();
  Display()->InjectMouseMove(120, 120);
  Pump();
  EXPECT_EQ(Application->GetHint(), "Long") << "the application's hint is the long part, for a status line";
  EXPECT_EQ(GetWindowCount(), Before);
  Clock->Advance(500);
  Pump();
  EXPECT_EQ(GetWindowCount(), Before + 1) << "the hint window";
  EXPECT_NE(FindWindowA("THintWindow", "Short"), nullptr);
  Clock->Advance(2000);
  Pump();
  EXPECT_EQ(GetWindowCount(), Before);

  // OnShowHint may change the text or refuse the hint.
  Application->OnShowHint = [&](String& HintStr, bool& CanShow, THintInfo& Info) {
    EXPECT_EQ(Info.HintControl, Box);
    HintStr = "Changed";
    CanShow = Box->GetTag() == 0;
  };
  Display()->InjectMouseMove(400, 400);
  Pump();
  Display()->InjectMouseMove(125, 125);
  Pump();
  Clock->Advance(500);
  Pump();
  EXPECT_NE(FindWindowA("THintWindow", "Changed"), nullptr);
  Box->SetTag(1);
  Display()->InjectMouseMove(400, 400);
  Pump();
  Display()->InjectMouseMove(125, 125);
  Pump();
  Clock->Advance(500);
  Pump();
  EXPECT_EQ(GetWindowCount(), Before);
  Application->OnShowHint = nullptr;
}

}  // namespace
