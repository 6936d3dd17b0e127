// The extended edit on a real X server (Xvfb): typing, selecting with the keyboard, cutting and
// pasting through the X clipboard, and the shared context menu opened by a right click, all
// played with XTest as a user would; the edits' looks and the open menu are kept as pictures.
#include <gtest/gtest.h>

#include <functional>

#include "XTestInput.h"
#include "extctrls/XcEdit.h"
#include "extctrls/XcFixedEditPopUp.h"
#include "platform/display/Screenshot.h"
#include "platform/vcl/MenuWindow.h"
#include "tests/support/XvfbChildRun.h"

namespace {

constexpr const char* ServerVariable = "QV_XC_EDIT_X11";

String PictureFile(const char* Name) { return String(QV_TEST_BIN_DIR) + "/../" + Name; }

// What the timer does while the context menu's loop runs.
std::function<void()>& MenuStep()
{
  static std::function<void()> Step;
  return Step;
}

void MenuTimer(HWND, UINT, UINT_PTR, DWORD)
{
  if (MenuStep()) MenuStep()();
}

TXcEdit* AddEdit(TForm* Form, int Y, const char* Name)
{
  auto* E = new TXcEdit(Form);
  if (Form->GetComponentState() & csLoading) E->BeginLoad();  // loaded with the form
  E->SetName(Name);
  E->SetText("");  // not the name
  E->SetParent(Form);
  E->SetBounds(10, Y, 280, 24);
  return E;
}

// The looks a form shows: a plain text, the placeholder, a centred command line, a right-aligned
// one, a password, a read-only one with a selection, and disabled ones in the window's and in
// their own colours.
void AddGallery(TForm* Form)
{
  AddEdit(Form, 80, "plain")->SetText("plain text");
  TXcEdit* Placeholder = AddEdit(Form, 110, "placeholder");
  Placeholder->SetEmptyValue("type to search");
  AddEdit(Form, 140, "centred")->SetText("mencoder.exe in.avi -o out.avi");
  TXcEdit* Centred = static_cast<TXcEdit*>(Form->FindComponent("centred"));
  Centred->SetAlignment(taCenter);
  TXcEdit* Right = AddEdit(Form, 170, "right");
  Right->SetAlignment(taRightJustify);
  Right->SetText("right aligned");
  TXcEdit* Password = AddEdit(Form, 200, "password");
  Password->SetPasswordChar('*');
  Password->SetText("secret");
  TXcEdit* ReadOnly = AddEdit(Form, 230, "readonly");
  ReadOnly->SetText("read-only, copy only");
  ReadOnly->SetClipboardCommands(XcCommand(caCopy));
  TXcEdit* Disabled = AddEdit(Form, 260, "disabled");
  Disabled->SetText("disabled, default colours");
  Disabled->SetEnabled(false);
  TXcEdit* Coloured = AddEdit(Form, 290, "coloured");
  Coloured->SetText("disabled, own colours");
  Coloured->SetDisabledColor(clYellow);
  Coloured->SetDisabledTextColor(clMaroon);
  Coloured->SetEnabled(false);
  TXcEdit* Flat = AddEdit(Form, 320, "flat");
  Flat->SetText("hot-tracked (flat until the mouse comes)");
  Flat->SetHotTrack(true);
}

void TypeCutPasteAndUseTheMenu(const char* Server, TDisplayBackend* Display)
{
  TXTestInput Input(Server);
  ASSERT_TRUE(Input.Ok());
  UsePlainPopupMenus(true);
  auto* Form = new TForm(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(40, 40, 300, 355);
  Form->SetColor(clBtnFace);
  Form->BeginLoad();
  TXcEdit* First = AddEdit(Form, 10, "first");
  TXcEdit* Second = AddEdit(Form, 42, "second");
  AddGallery(Form);
  Form->EndLoad();
  Form->Show();
  PumpDisplay(Display, 10);

  const TPoint FirstAt = First->ClientToScreen(Point(40, 12));
  Input.Click(FirstAt.x, FirstAt.y, 1);
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return First->Focused(); }));
  for (const char* K : {"h", "e", "l", "l", "o", "space", "w", "o", "r", "l", "d"}) Input.Key(K);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return First->GetText() == "hello world"; })) << First->GetText();

  Input.Key("Home");
  Input.Key("Right", TXTestInput::Shift);
  Input.Key("End", TXTestInput::Shift);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return First->GetSelLength() == 11; })) << First->GetSelLength();
  Input.Key("x", TXTestInput::Control);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return First->GetText().empty(); })) << First->GetText();
  String Clip;
  EXPECT_TRUE(Display->GetClipboardText(Clip));
  EXPECT_EQ(Clip, "hello world") << "the cut text is on the X clipboard";

  const TPoint SecondAt = Second->ClientToScreen(Point(40, 12));
  Input.Click(SecondAt.x, SecondAt.y, 1);
  ASSERT_TRUE(PumpDisplayUntil(Display, [&] { return Second->Focused(); }));
  Input.Key("v", TXTestInput::Control);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return Second->GetText() == "hello world"; })) << Second->GetText();

  // A right click on the empty first edit opens the shared menu for it; while its loop runs,
  // a timer looks at it, keeps its picture and chooses Paste by its hotkey.
  bool Seen = false;
  bool PasteEnabled = false, CutEnabled = true, SelectAllEnabled = true;
  MenuStep() = [&] {
    HWND MenuWnd = GetMenuWindow(0);
    if (!MenuWnd || Seen) return;
    Seen = true;
    TMenuItem* Items = GetHiddenPopupObject()->GetPopupMenu()->GetItems();
    PasteEnabled = Items->GetItem(emiPaste)->GetEnabled();
    CutEnabled = Items->GetItem(emiCut)->GetEnabled();
    SelectAllEnabled = Items->GetItem(emiSelectAll)->GetEnabled();
    Display->Flush();
    EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(MenuWnd), PictureFile("extctrls-edit-menu.png")));
    Input.Key("p");
  };
  const UINT_PTR Timer = SetTimer(nullptr, 0, 50, MenuTimer);
  Input.Click(FirstAt.x, FirstAt.y, 3);
  EXPECT_TRUE(PumpDisplayUntil(Display, [&] { return First->GetText() == "hello world"; })) << First->GetText();
  KillTimer(nullptr, Timer);
  MenuStep() = nullptr;
  EXPECT_TRUE(Seen) << "the menu opened";
  EXPECT_TRUE(PasteEnabled);
  EXPECT_FALSE(CutEnabled) << "nothing selected in the empty edit";
  EXPECT_FALSE(SelectAllEnabled) << "nothing to select";
  EXPECT_EQ(GetHiddenPopupObject()->GetEdit(), First);

  Second->SetFocus();
  PumpDisplay(Display, 10);
  EXPECT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(Form->GetHandle()), PictureFile("extctrls-edits.png")));

  UsePlainPopupMenus(false);
  delete Form;
  Application->ProcessMessages();
}

TEST(XcEditX11, TypingCuttingPastingAndTheContextMenuOnTheXServer)
{
  if (RunOnXvfbChild(ServerVariable, TypeCutPasteAndUseTheMenu) == TXvfbChild::NoServer)
    GTEST_SKIP() << "Xvfb is not available";
}

}  // namespace
