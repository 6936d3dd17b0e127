#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "TestDataSource.h"
#include "XcEditTestSupport.h"
#include "extctrls/XcEdit.h"
#include "extctrls/XcFixedEditPopUp.h"

namespace {

// An edit on a shown form, loaded (so that its placeholder works) unless told otherwise.
struct TEditFixture {
  std::unique_ptr<TForm> Form = ShownEditForm(false);
  TXcEdit* Edit;
  TXcEdit* Other;
  TEdit* Sink;  // holds the focus while the edits are tested unfocused
  explicit TEditFixture(bool Load = true)
  {
    if (Load) Form->BeginLoad();
    Edit = MakeEdit(10, 10);
    Other = MakeEdit(10, 50);
    if (Load) Form->EndLoad();
    Sink = new TEdit(Form.get());
    Sink->SetParent(Form.get());
    Sink->SetBounds(10, 100, 50, 24);
    Form->Show();
    ProcessPendingMessages();
    Sink->SetFocus();
    ProcessPendingMessages();
  }
  TXcEdit* MakeEdit(int X, int Y)
  {
    auto* E = new TXcEdit(Form.get());
    if (Form->GetComponentState() & csLoading) E->BeginLoad();
    E->SetParent(Form.get());
    E->SetBounds(X, Y, 200, 24);
    return E;
  }
  void Focus(TXcEdit* E)
  {
    E->SetFocus();
    ProcessPendingMessages();
  }
};

TEST(XcEdit, SetTextWithoutPlaceholderShowsTheTextInTheLoadedColour)
{
  TEditFixture F(false);
  F.Edit->GetFont()->SetColor(clNavy);
  F.Form->BeginLoad();
  F.Form->EndLoad();
  F.Edit->GetFont()->SetColor(clRed);
  F.Edit->SetText("mencoder \"a b.avi\" -o out.avi");
  EXPECT_EQ(F.Edit->GetText(), "mencoder \"a b.avi\" -o out.avi");
  EXPECT_EQ(F.Edit->GetFont()->GetColor(), clNavy) << "the colour the edit had when it was loaded";
}

TEST(XcEdit, PlaceholderShowsWhileEmptyAndUnfocusedAndTextReadsEmpty)
{
  TEditFixture F;
  F.Edit->SetEmptyFontColor(clGray);
  F.Edit->SetEmptyValue("search");
  EXPECT_TRUE(F.Edit->IsEmptyValueShown());
  EXPECT_EQ(F.Edit->GetText(), "");
  EXPECT_EQ(F.Edit->GetFont()->GetColor(), clGray);
  char Window[32] = {};
  GetWindowTextA(F.Edit->GetHandle(), Window, sizeof(Window));
  EXPECT_STREQ(Window, "search");

  F.Focus(F.Edit);
  EXPECT_FALSE(F.Edit->IsEmptyValueShown());
  GetWindowTextA(F.Edit->GetHandle(), Window, sizeof(Window));
  EXPECT_STREQ(Window, "") << "focusing clears the display";
  EXPECT_NE(F.Edit->GetFont()->GetColor(), clGray);

  F.Focus(F.Other);
  EXPECT_TRUE(F.Edit->IsEmptyValueShown()) << "leaving empty shows it again";
  EXPECT_EQ(F.Edit->GetText(), "");

  F.Edit->SetText("abc");
  EXPECT_FALSE(F.Edit->IsEmptyValueShown());
  EXPECT_EQ(F.Edit->GetText(), "abc");
  F.Edit->SetText("");
  EXPECT_TRUE(F.Edit->IsEmptyValueShown()) << "set empty while unfocused";
}

TEST(XcEdit, TypingThePlaceholderTextKeepsIt)
{
  TEditFixture F;
  F.Edit->SetEmptyValue("search");
  F.Focus(F.Edit);
  for (char C : String("search")) F.Edit->Perform(WM_CHAR, static_cast<WPARAM>(C), 0);
  EXPECT_EQ(F.Edit->GetText(), "search");
  F.Focus(F.Other);
  EXPECT_EQ(F.Edit->GetText(), "search") << "the user's text is not taken for the placeholder";
  F.Focus(F.Edit);
  EXPECT_EQ(F.Edit->GetText(), "search") << "entering again keeps it";
}

TEST(XcEdit, PastingIntoTheShownPlaceholderMakesItTheUsersText)
{
  TEditFixture F;
  F.Edit->SetEmptyValue("search");
  SetClipboardText("x");
  SendMessageA(F.Edit->GetHandle(), EM_SETSEL, 6, 6);
  F.Edit->Perform(WM_PASTE, 0, 0);
  EXPECT_FALSE(F.Edit->IsEmptyValueShown());
  EXPECT_EQ(F.Edit->GetText(), "searchx");
}

TEST(XcEdit, ClipboardCommandsDecideTheReadOnlyState)
{
  struct TCase {
    const char* Name;
    TXcClipboardCommands Commands;
    bool ReadOnly;
  };
  const TCase Cases[] = {
      {"copy only", XcCommand(caCopy), true},
      {"nothing", 0, true},
      {"copy and paste", static_cast<TXcClipboardCommands>(XcCommand(caCopy) | XcCommand(caPaste)), false},
      {"cut only", XcCommand(caCut), false},
      {"all", XcAllClipboardCommands, false},
  };
  TEditFixture F;
  F.Edit->SetClipboardCommands(XcCommand(caCut));
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Edit->SetClipboardCommands(C.Commands);
    EXPECT_EQ(F.Edit->GetReadOnly(), C.ReadOnly);
  }
}

TEST(XcEdit, ReadOnlyEditRefusesCutPasteClearAndUndo)
{
  struct TCase {
    const char* Name;
    UINT Msg;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"cut", WM_CUT, "hello"}, {"paste", WM_PASTE, "hello"}, {"clear", WM_CLEAR, "hello"}, {"undo", WM_UNDO, "hello"}};
  TEditFixture F;
  SetClipboardText("XYZ");
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Edit->SetReadOnly(false);
    F.Edit->SetText("hello");
    F.Edit->SelectAll();
    F.Edit->SetReadOnly(true);
    F.Edit->Perform(C.Msg, 0, 0);
    EXPECT_EQ(F.Edit->GetText(), C.Expected);
  }
  F.Edit->SetReadOnly(false);
  F.Edit->SelectAll();
  F.Edit->Perform(WM_PASTE, 0, 0);
  EXPECT_EQ(F.Edit->GetText(), "XYZ") << "writable again";
}

TEST(XcEdit, TypingOrPastingInOneEditOfAGroupClearsTheOthers)
{
  struct TCase {
    const char* Name;
    int Group1, Group2;
    bool Cleared;
  };
  const TCase Cases[] = {{"same group", 1, 1, true}, {"no group", -1, -1, false}, {"other group", 1, 2, false}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    for (UINT Msg : {WM_KEYDOWN, WM_PASTE}) {
      TEditFixture F;
      F.Edit->SetGroupIndex(C.Group1);
      F.Other->SetText("other");
      F.Other->SetGroupIndex(C.Group2);
      F.Focus(F.Edit);
      SetClipboardText("p");
      if (Msg == WM_KEYDOWN)
        F.Edit->Perform(WM_KEYDOWN, 'A', 0);
      else
        F.Edit->Perform(WM_PASTE, 0, 0);
      EXPECT_EQ(F.Other->GetText(), C.Cleared ? "" : "other") << (Msg == WM_KEYDOWN ? "key" : "paste");
    }
  }
}

TEST(XcEdit, SettingTheGroupClearsTheOtherMembers)
{
  TEditFixture F;
  F.Other->SetGroupIndex(3);
  F.Other->SetText("kept until the group is joined");
  F.Edit->SetGroupIndex(3);
  EXPECT_EQ(F.Other->GetText(), "");
}

TEST(XcEdit, ProtectedTextIsHiddenFromWindowMessagesButNotFromText)
{
  TEditFixture F;
  F.Edit->SetText("secret");
  F.Edit->SetProtectPassword(true);
  char Buffer[32] = "unchanged";
  EXPECT_EQ(SendMessageA(F.Edit->GetHandle(), WM_GETTEXT, sizeof(Buffer), reinterpret_cast<LPARAM>(Buffer)), 0);
  EXPECT_EQ(SendMessageA(F.Edit->GetHandle(), WM_GETTEXTLENGTH, 0, 0), 0);
  EXPECT_EQ(F.Edit->GetText(), "secret");
  SetClipboardText("before");
  F.Edit->SelectAll();
  SendMessageA(F.Edit->GetHandle(), WM_COPY, 0, 0);
  SendMessageA(F.Edit->GetHandle(), WM_CUT, 0, 0);
  EXPECT_EQ(ClipboardText(), "before");
  EXPECT_EQ(F.Edit->GetText(), "secret");
  F.Edit->SetAlignment(taRightJustify);
  EXPECT_EQ(F.Edit->GetText(), "secret") << "a new window keeps the protected text";
  F.Edit->SetProtectPassword(false);
  EXPECT_GT(SendMessageA(F.Edit->GetHandle(), WM_GETTEXTLENGTH, 0, 0), 0);
}

TEST(XcEdit, PasswordCharacterFollowsTheWindowAndThemedPassword)
{
  TEditFixture F;
  F.Edit->SetPasswordChar('#');
  EXPECT_EQ(F.Edit->GetPasswordChar(), '#');
  EXPECT_TRUE(F.Edit->IsPasswordCharStored());
  F.Edit->SetProtectPassword(true);
  F.Edit->SetPasswordChar('*');
  EXPECT_EQ(F.Edit->GetPasswordChar(), '*') << "the setter works while the text is protected";
  F.Edit->SetThemedPassword(true);
  EXPECT_NE(GetWindowLongA(F.Edit->GetHandle(), GWL_STYLE) & ES_PASSWORD, 0);
  EXPECT_FALSE(F.Edit->IsPasswordCharStored());
  ASSERT_NE(F.Edit->GetThemedFont(), nullptr) << "the window got the themed font";
  EXPECT_EQ(F.Edit->GetThemedFont()->GetHeight(), F.Edit->GetFont()->GetHeight());
  F.Edit->SetThemedPassword(false);
  EXPECT_EQ(F.Edit->GetThemedFont(), nullptr);
}

TEST(XcEdit, AlignmentMakesANewWindowWithItsStyle)
{
  struct TCase {
    TAlignment Alignment;
    DWORD Style;
  };
  const TCase Cases[] = {{taCenter, ES_CENTER}, {taRightJustify, ES_RIGHT}, {taLeftJustify, ES_LEFT}};
  TEditFixture F;
  F.Edit->SetText("kept");
  for (const auto& C : Cases) {
    F.Edit->SetAlignment(C.Alignment);
    EXPECT_EQ(GetWindowLongA(F.Edit->GetHandle(), GWL_STYLE) & (ES_CENTER | ES_RIGHT), C.Style);
    EXPECT_EQ(F.Edit->GetText(), "kept");
  }
}

TEST(XcEdit, DisabledColoursPaintTheEditOrLeaveItToTheWindow)
{
  TEditFixture F;
  F.Edit->SetText("WWWW");
  F.Edit->SetEnabled(false);
  ProcessPendingMessages();
  const TRect Inside = Rect(14, 14, 200, 30);
  EXPECT_FALSE(FormHasColor(F.Form.get(), Inside, RGB(255, 255, 0)));
  EXPECT_FALSE(FormHasColor(F.Form.get(), Inside, RGB(255, 0, 0)));
  F.Edit->SetDisabledColor(clYellow);
  ProcessPendingMessages();
  EXPECT_EQ(FormPixel(F.Form.get(), 150, 20), RGB(255, 255, 0)) << "the background in DisabledColor";
  F.Edit->SetDisabledTextColor(clRed);
  ProcessPendingMessages();
  EXPECT_TRUE(FormHasColor(F.Form.get(), Rect(14, 14, 80, 30), RGB(255, 0, 0))) << "the text in DisabledTextColor";
  F.Edit->SetEnabled(true);
  ProcessPendingMessages();
  EXPECT_FALSE(FormHasColor(F.Form.get(), Inside, RGB(255, 255, 0))) << "enabled again: the window's colours";
}

TEST(XcEdit, MaxPixelShortensTheTextAndKeepsTheCaretInside)
{
  TEditFixture F;
  F.Edit->SetText("a fairly long command line");
  F.Edit->SetSelStart(20);
  F.Edit->GetMaxPixel()->SetLength(30);
  const String Short = F.Edit->GetText();
  EXPECT_LT(Short.size(), String("a fairly long command line").size());
  EXPECT_FALSE(Short.empty());
  EXPECT_LE(F.Edit->GetSelStart(), static_cast<int>(Short.size()));
  F.Edit->SetText(Short + "more");
  EXPECT_EQ(F.Edit->GetText(), Short) << "typing past the limit is cut back";
}

TEST(XcEdit, HotTrackIsFlatUntilTheMouseComesAndKeepsTheSelection)
{
  TEditFixture F;
  F.Edit->SetText("hello");
  F.Edit->SetHotTrack(true);
  EXPECT_TRUE(F.Edit->GetFlat());
  F.Edit->SetSelStart(1);
  F.Edit->SetSelLength(3);
  F.Edit->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(F.Edit->GetFlat());
  EXPECT_EQ(F.Edit->GetSelStart(), 1);
  EXPECT_EQ(F.Edit->GetSelLength(), 3);
  F.Edit->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(F.Edit->GetFlat());
  EXPECT_EQ(F.Edit->GetSelLength(), 3);
}

TEST(XcEdit, AutoHintShowsTheWholeTextOnlyWhenItDoesNotFit)
{
  struct TCase {
    const char* Name;
    const char* Text;
    bool AutoHint;
    bool Shown;
  };
  const TCase Cases[] = {
      {"too wide", "a command line far too long for a field two hundred pixels wide", true, true},
      {"fits", "short", true, false},
      {"switched off", "a command line far too long for a field two hundred pixels wide", false, false},
  };
  TEditFixture F;
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    F.Edit->SetAutoHint(C.AutoHint);
    F.Edit->SetText(C.Text);
    THintInfo Info;
    Info.HintStr = "own hint";
    const LRESULT R = F.Edit->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    if (C.Shown) {
      EXPECT_EQ(R, 0);
      EXPECT_EQ(Info.HintStr, C.Text);
      EXPECT_EQ(Info.HintPos, F.Edit->ClientToScreen(Point(-2, F.Edit->GetHeight() - 2)));
    } else {
      EXPECT_EQ(Info.HintStr, "own hint");
    }
  }
}

TEST(XcEdit, LegacyStoredValuesLoad)
{
  TEditFixture F;
  EXPECT_TRUE(F.Edit->ReadStoredValue("Ctl3D", false));
  EXPECT_TRUE(F.Edit->GetFlat());
  EXPECT_TRUE(F.Edit->ReadStoredValue("ParentCtl3D", false));
  EXPECT_FALSE(F.Edit->GetParentFlat());
  EXPECT_TRUE(F.Edit->IsFlatStored());
  EXPECT_TRUE(F.Edit->ReadStoredValue("Modified", true));
  EXPECT_FALSE(F.Edit->ReadStoredValue("Color", true));
}

TEST(XcEdit, SelectionReadWhileLoadingIsAppliedWhenLoaded)
{
  auto Form = ShownEditForm();
  Form->BeginLoad();
  auto* E = new TXcEdit(Form.get());
  E->BeginLoad();
  E->SetParent(Form.get());
  E->SetBounds(10, 10, 200, 24);
  E->SetText("0123456789");
  E->SetSelStart(2);
  E->SetSelLength(5);
  Form->EndLoad();
  EXPECT_EQ(E->GetSelStart(), 2);
  EXPECT_EQ(E->GetSelLength(), 5);
}

TEST(XcEdit, ContextMenuIsTheAssignedOneOrTheSharedReplacement)
{
  TEditFixture F;
  TPopupMenu* Shared = F.Edit->GetPopupMenu();
  ASSERT_NE(Shared, nullptr);
  EXPECT_EQ(Shared, GetHiddenPopupObject()->GetPopupMenu());
  EXPECT_EQ(F.Other->GetPopupMenu(), Shared) << "one menu for every edit";
  EXPECT_EQ(GetHiddenPopupObject()->GetEdit(), F.Other);
  TPopupMenu Own(F.Form.get());
  F.Edit->SetPopupMenu(&Own);
  EXPECT_EQ(F.Edit->GetPopupMenu(), &Own);
  F.Other->SetUseFixedPopup(false);
  EXPECT_EQ(F.Other->GetPopupMenu(), nullptr);
}

TEST(XcEdit, RightClickOpensTheReplacementMenuForThatEdit)
{
  TEditFixture F;
  F.Edit->SetText("hello");
  bool Popped = false;
  TPopupMenu* Menu = GetReplacementEditPopup(F.Other, false);
  Menu->OnPopup = [&](TObject*) { Popped = true; };
  const TPoint P = F.Edit->ClientToScreen(Point(20, 10));
  F.Edit->Perform(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(F.Edit->GetHandle()), MAKELPARAM(P.x, P.y));
  Menu->OnPopup = nullptr;
  EXPECT_TRUE(Popped);
  EXPECT_EQ(Menu->GetPopupComponent(), F.Edit);
}

TEST(XcEdit, CustomCaretIsMadeOnFocusAndTheDefaultOneIsLeftAlone)
{
  TEditFixture F;
  F.Focus(F.Edit);
  EXPECT_FALSE(F.Edit->GetCaret()->GetCaretCreated()) << "default mode";
  F.Edit->GetCaret()->SetWidth(3);
  F.Edit->GetCaret()->SetHeight(12);
  EXPECT_TRUE(F.Edit->GetCaret()->GetCaretCreated()) << "a change while focused makes the caret";
  F.Focus(F.Other);
  F.Focus(F.Edit);
  EXPECT_TRUE(F.Edit->GetCaret()->GetCaretCreated());
  F.Edit->GetCaret()->SetWidth(0);
  F.Edit->GetCaret()->SetHeight(0);
  POINT Pos{};
  EXPECT_TRUE(GetCaretPos(&Pos)) << "back to the window's own caret";
}

TEST(XcEdit, BoundToAFieldTheEditShowsAndWritesItsText)
{
  TEditFixture F;
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Title", "first");
  Source->AddField("Id", "7", true);
  Source->StoreAs = [](const String& S) { return "[" + S + "]"; };
  F.Edit->GetDataConnector()->SetDataSource(Source);
  F.Edit->GetDataConnector()->SetDataField("Title");
  EXPECT_EQ(F.Edit->GetText(), "first");
  EXPECT_FALSE(F.Edit->GetReadOnly());

  F.Focus(F.Edit);
  F.Edit->SelectAll();
  for (char C : String("new")) F.Edit->Perform(WM_CHAR, static_cast<WPARAM>(C), 0);
  EXPECT_TRUE(F.Edit->GetDataConnector()->GetModified());
  EXPECT_NE(std::find(Source->Log.begin(), Source->Log.end(), "BeginEdit"), Source->Log.end());
  F.Focus(F.Other);
  EXPECT_EQ(Source->Fields["Title"]->Text, "[new]");
  EXPECT_EQ(F.Edit->GetText(), "[new]") << "the text as the source stored it";

  F.Focus(F.Edit);
  F.Edit->Perform(WM_CHAR, 'x', 0);
  F.Edit->Perform(WM_CHAR, 27, 0);
  EXPECT_EQ(F.Edit->GetText(), "[new]") << "Escape gives the stored text back";
  EXPECT_EQ(F.Edit->GetSelLength(), 5);

  F.Edit->GetDataConnector()->SetDataField("Id");
  EXPECT_EQ(F.Edit->GetText(), "7");
  EXPECT_TRUE(F.Edit->GetReadOnly()) << "a field that cannot be modified";
  F.Edit->GetDataConnector()->SetDataField("Missing");
  EXPECT_EQ(F.Edit->GetText(), "");
  EXPECT_FALSE(F.Edit->GetReadOnly());
  F.Edit->GetDataConnector()->SetDataSource(nullptr);
}

TEST(XcEdit, AFailingWriteBackKeepsTheFocusInTheEdit)
{
  TEditFixture F;
  auto* Source = new TTestDataSource;
  TIntf<IXcDataSource> Keep(Source);
  Source->AddField("Title", "first");
  F.Edit->GetDataConnector()->SetDataSource(Source);
  F.Edit->GetDataConnector()->SetDataField("Title");
  F.Focus(F.Edit);
  F.Edit->Perform(WM_CHAR, 'x', 0);
  Source->FailWrites = true;
  try {
    F.Focus(F.Other);
  } catch (const Exception&) {
    // Raised to whoever moved the focus (here the test itself).
  }
  ProcessPendingMessages();
  EXPECT_TRUE(F.Edit->Focused());
  EXPECT_EQ(Source->Log.back(), "SetFieldText x");
  F.Edit->GetDataConnector()->SetDataSource(nullptr);
}

}  // namespace
