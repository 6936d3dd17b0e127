#include <gtest/gtest.h>

#include "tests/platform/vcl/VclTestSupport.h"
#include "platform/vcl/EditCtrls.h"
#include "platform/rtl/Rtl.h"

namespace {

// The log entries that start with one of the prefixes.
std::vector<String> Logged(std::initializer_list<const char*> Prefixes) {
  std::vector<String> Result;
  for (const String& S : VclLog())
    for (const char* P : Prefixes)
      if (S.rfind(P, 0) == 0) {
        Result.push_back(S);
        break;
      }
  return Result;
}

class VclForm : public TVclWindowTest {};

TEST_F(VclForm, AlignsChildrenInTheClassLibraryOrder) {
  TForm* F = NewForm(0, 0, 300, 200);
  F->HandleNeeded();
  struct TCase {
    const char* Name;
    TAlign Align;
    TRect Start;     // left, top, width, height before aligning
    TRect Expected;  // left, top, width, height at 300 x 200
    TRect Grown;     // at 400 x 300
  } Cases[] = {
      {"Top2", alTop, {0, 50, 10, 30}, {0, 20, 300, 30}, {0, 20, 400, 30}},
      {"Top1", alTop, {0, 0, 10, 20}, {0, 0, 300, 20}, {0, 0, 400, 20}},
      {"Bottom", alBottom, {0, 0, 10, 25}, {0, 175, 300, 25}, {0, 275, 400, 25}},
      {"Left", alLeft, {0, 0, 40, 10}, {0, 50, 40, 125}, {0, 50, 40, 225}},
      {"Right", alRight, {0, 0, 50, 10}, {250, 50, 50, 125}, {350, 50, 50, 225}},
      {"Client", alClient, {0, 0, 5, 5}, {40, 50, 210, 125}, {40, 50, 310, 225}},
  };
  std::vector<TControl*> Controls;
  for (const TCase& C : Cases) {
    TControl* Box = Add<TBox>(F, C.Name, C.Start.left, C.Start.top, C.Start.right, C.Start.bottom);
    Box->SetAlign(C.Align);
    Controls.push_back(Box);
  }
  auto Check = [&](bool Grown) {
    for (size_t I = 0; I < Controls.size(); ++I) {
      SCOPED_TRACE(Cases[I].Name);
      const TRect& E = Grown ? Cases[I].Grown : Cases[I].Expected;
      EXPECT_EQ(Controls[I]->GetBoundsRect(), Bounds(E.left, E.top, E.right, E.bottom));
    }
  };
  Check(false);
  F->SetClientWidth(400);
  F->SetClientHeight(300);
  Check(true);

  // A constrained control gives the space back to the next ones.
  Controls[3]->GetConstraints()->SetMaxWidth(30);
  EXPECT_EQ(Controls[3]->GetWidth(), 30);
  EXPECT_EQ(Controls[5]->GetLeft(), 30);
  // Hidden controls take no space.
  Controls[0]->SetVisible(false);
  EXPECT_EQ(Controls[5]->GetTop(), 20);
}

TEST_F(VclForm, AnchorsKeepTheirDistancesWhenTheParentResizes) {
  TForm* F = NewForm(0, 0, 200, 100);
  F->HandleNeeded();
  struct TCase {
    const char* Name;
    TAnchors Anchors;
    TRect Expected;  // after growing the client by 100 x 50
  } Cases[] = {
      {"TopLeft", akLeft | akTop, {20, 20, 40, 20}},
      {"BottomRight", akRight | akBottom, {120, 70, 40, 20}},
      {"Stretch", akLeft | akTop | akRight | akBottom, {20, 20, 140, 70}},
      {"Centre", 0, {40, 35, 40, 20}},  // the centre keeps its proportional place
  };
  std::vector<TControl*> Controls;
  for (const TCase& C : Cases) {
    TControl* Box = Add<TDot>(F, C.Name, 20, 20, 40, 20);
    Box->SetAnchors(C.Anchors);
    Controls.push_back(Box);
  }
  F->SetBounds(0, 0, 300, 150);
  for (size_t I = 0; I < Controls.size(); ++I) {
    SCOPED_TRACE(Cases[I].Name);
    const TRect& E = Cases[I].Expected;
    EXPECT_EQ(Controls[I]->GetBoundsRect(), Bounds(E.left, E.top, E.right, E.bottom));
  }
  F->SetBounds(0, 0, 200, 100);
  EXPECT_EQ(Controls[1]->GetBoundsRect(), Bounds(20, 20, 40, 20)) << "back where it started";
}

TEST_F(VclForm, PaintsBackgroundWindowedAndGraphicChildren) {
  TForm* F = NewForm(10, 10, 60, 40);
  F->SetColor(clRed);
  Add<TBox>(F, "Box", 5, 5, 10, 10, clBlue);
  TDot* Dot = Add<TDot>(F, "Dot", 20, 5, 10, 10, clLime);
  auto* Hidden = Add<TDot>(F, "Hidden", 40, 5, 10, 10, clYellow);
  Hidden->SetVisible(false);
  int Paints = 0;
  F->OnPaint = [&](TObject*) {
    ++Paints;
    F->GetCanvas()->GetPen()->SetColor(clWhite);
    F->GetCanvas()->MoveTo(0, 30);
    F->GetCanvas()->LineTo(60, 30);
  };
  F->Show();
  Pump();
  EXPECT_GE(Paints, 1);
  EXPECT_EQ(Pixel(F, 1, 1), clRed);
  EXPECT_EQ(Pixel(F, 7, 7), clBlue);
  EXPECT_EQ(Pixel(F, 22, 7), clLime);
  EXPECT_EQ(Pixel(F, 42, 7), clRed) << "hidden controls are not painted";
  EXPECT_EQ(Pixel(F, 10, 30), clWhite) << "the form's own painting";

  Dot->Fill = clFuchsia;
  Dot->Invalidate();
  Pump();
  EXPECT_EQ(Pixel(F, 22, 7), clFuchsia);
  Dot->SetLeft(30);
  Pump();
  EXPECT_EQ(Pixel(F, 22, 7), clRed) << "the old place is repainted";
  EXPECT_EQ(Pixel(F, 32, 7), clFuchsia);

  // Double buffered: the same picture, painted in memory first.
  F->SetDoubleBuffered(true);
  RedrawWindow(F->GetHandle(), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN | RDW_UPDATENOW);
  Pump();
  EXPECT_EQ(Pixel(F, 1, 1), clRed);
  EXPECT_EQ(Pixel(F, 7, 7), clBlue);
  EXPECT_EQ(Pixel(F, 32, 7), clFuchsia);
  EXPECT_EQ(Pixel(F, 10, 30), clWhite);

  // PaintTo draws the same picture into any DC, background included also when double buffered.
  TBitmap B(60, 40, pf24bit);
  F->PaintTo(B.GetCanvas()->GetHandle(), 0, 0);
  EXPECT_EQ(B.GetCanvas()->GetPixels(7, 7), clBlue);
  EXPECT_EQ(B.GetCanvas()->GetPixels(32, 7), clFuchsia);
  EXPECT_EQ(B.GetCanvas()->GetPixels(1, 1), clRed);
}

TEST_F(VclForm, MouseClicksReachWindowedAndGraphicControls) {
  TForm* F = NewForm(100, 100, 200, 100);
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 30, 30);
  Add<TDot>(F, "Dot", 60, 10, 30, 30);
  TBox* Plain = Add<TBox>(F, "Plain", 110, 10, 30, 30);
  Plain->SetControlStyle(Plain->GetControlStyle() & ~csDoubleClicks);
  F->Show();
  Pump();
  auto Click = [&](int X, int Y) {
    Display()->InjectButton(100 + X, 100 + Y, 1, true);
    Display()->InjectButton(100 + X, 100 + Y, 1, false);
    Pump();
  };
  Click(20, 20);
  Click(70, 20);
  EXPECT_EQ(Logged({"click", "dblclick"}), (std::vector<String>{"click Box", "click Dot"}));

  // A press that is released outside the control is no click.
  VclLog().clear();
  Display()->InjectButton(120, 120, 1, true);
  Display()->InjectMouseMove(180, 180);
  Display()->InjectButton(180, 180, 1, false);
  Pump();
  EXPECT_TRUE(Logged({"click", "dblclick"}).empty());
  EXPECT_EQ(GetCapture(), nullptr);

  // Double clicks: only controls with csDoubleClicks see them as such.
  Clock->Advance(1000);
  VclLog().clear();
  Click(20, 20);
  Click(20, 20);
  Clock->Advance(1000);
  Click(120, 20);
  Click(120, 20);
  EXPECT_EQ(Logged({"click", "dblclick"}),
            (std::vector<String>{"click Box", "dblclick Box", "click Plain", "click Plain"}));
  (void)Box;
}

TEST_F(VclForm, MouseEnterAndLeaveFollowThePointer) {
  TForm* F = NewForm(100, 100, 200, 100);
  Add<TBox>(F, "Box", 10, 10, 30, 30);
  Add<TDot>(F, "Dot", 60, 10, 30, 30);
  F->Show();
  Pump();
  for (POINT P : {POINT{170, 120}, POINT{165, 125}, POINT{120, 120}, POINT{150, 150}, POINT{400, 400}}) {
    Display()->InjectMouseMove(P.x, P.y);
    Pump();
  }
  EXPECT_EQ(Logged({"mouse"}),
            (std::vector<String>{"mouseenter Dot", "mouseleave Dot", "mouseenter Box", "mouseleave Box"}));
}

TEST_F(VclForm, TabMovesTheFocusInTabOrder) {
  TForm* F = NewForm(100, 100, 200, 100);
  TBox* A = Add<TBox>(F, "A", 10, 10, 20, 20);
  TBox* B = Add<TBox>(F, "B", 40, 10, 20, 20);
  TBox* C = Add<TBox>(F, "C", 70, 10, 20, 20);
  TBox* Off = Add<TBox>(F, "Off", 100, 10, 20, 20);
  Off->SetTabStop(false);
  C->SetTabOrder(0);  // C, A, B
  EXPECT_EQ(A->GetTabOrder(), 1);
  F->Show();
  Application->ProcessMessages();
  EXPECT_EQ(F->GetActiveControl(), C);
  EXPECT_TRUE(C->Focused());
  EXPECT_EQ(Screen->GetActiveControl(), C);
  EXPECT_EQ(Screen->GetActiveForm(), F);
  VclLog().clear();
  auto Key = [&](unsigned VK) {
    Display()->InjectKey(VK, true);
    Display()->InjectKey(VK, false);
    Application->ProcessMessages();
  };
  Key(VK_TAB);
  Key(VK_TAB);
  Key(VK_TAB);
  EXPECT_EQ(F->GetActiveControl(), C) << "wraps round, skipping the control without a tab stop";
  Display()->InjectKey(VK_SHIFT, true);
  Key(VK_TAB);
  Display()->InjectKey(VK_SHIFT, false);
  Application->ProcessMessages();
  EXPECT_EQ(F->GetActiveControl(), B);
  EXPECT_EQ(VclLog(), (std::vector<String>{"exit C", "enter A", "exit A", "enter B", "exit B", "enter C", "exit C",
                                           "enter B"}));
  B->SetVisible(false);
  EXPECT_EQ(F->GetActiveControl(), nullptr) << "a hidden control loses the focus";
  EXPECT_FALSE(B->CanFocus());
  EXPECT_THROW(F->SetActiveControl(B), EInvalidOperation);
  A->SetFocus();
  Application->ProcessMessages();
  EXPECT_TRUE(A->Focused());
}

TEST_F(VclForm, KeysReachTheFocusedControlAndThePreviewingForm) {
  TForm* F = NewForm(100, 100, 200, 100);
  TBox* A = Add<TBox>(F, "A", 10, 10, 20, 20);
  String Typed;
  A->OnKeyPress = [&](TObject*, char& Key) { Typed += Key; };
  A->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { VclLog().push_back("down " + std::to_string(Key)); };
  F->Show();
  Application->ProcessMessages();
  for (unsigned VK : {'H', 'I'}) {
    Display()->InjectKey(VK, true);
    Display()->InjectKey(VK, false);
  }
  Application->ProcessMessages();
  EXPECT_EQ(Typed, "hi");
  VclLog().clear();
  F->SetKeyPreview(true);
  F->OnKeyDown = [&](TObject*, Word& Key, TShiftState) {
    if (Key == 'X') Key = 0;  // the form takes it
  };
  Display()->InjectKey('X', true);
  Display()->InjectKey('X', false);
  Display()->InjectKey('Y', true);
  Display()->InjectKey('Y', false);
  Application->ProcessMessages();
  EXPECT_EQ(Logged({"down"}), std::vector<String>{"down 89"});
}

TEST_F(VclForm, ShowModalReturnsTheResultSetDuringTheLoop) {
  TForm* F = NewForm();
  F->HandleNeeded();
  // A message the form's (subclassed) window procedure turns into a result.
  TWndMethod Old = F->WindowProc;
  F->WindowProc = [&](TMessage& M) {
    if (M.Msg == WM_USER + 1) {
      F->SetModalResult(static_cast<int>(M.WParam));
      return;
    }
    Old(M);
  };
  TForm* Other = NewForm(0, 0, 50, 50);
  Other->Show();
  Pump();
  int CloseQueries = 0;
  F->OnCloseQuery = [&](TObject*, bool& CanClose) { CanClose = ++CloseQueries > 1; };
  PostMessageA(F->GetHandle(), WM_USER + 1, mrRetry, 0);  // refused by OnCloseQuery
  PostMessageA(F->GetHandle(), WM_USER + 1, mrYes, 0);
  bool OtherEnabledDuring = true;
  F->OnShow = [&](TObject*) { OtherEnabledDuring = IsWindowEnabled(Other->GetHandle()); };
  EXPECT_EQ(F->ShowModal(), mrYes);
  EXPECT_EQ(CloseQueries, 2);
  EXPECT_FALSE(OtherEnabledDuring) << "the other forms are disabled while the modal one is up";
  EXPECT_TRUE(IsWindowEnabled(Other->GetHandle()));
  EXPECT_FALSE(F->GetVisible());
  EXPECT_FALSE(F->GetFormState() & fsModal);
  F->Show();
  EXPECT_THROW(F->ShowModal(), EInvalidOperation) << "a visible form can't be shown modally";
  F->WindowProc = Old;
  F->OnCloseQuery = nullptr;
  F->OnShow = nullptr;
}

TEST_F(VclForm, ShowModalEndsOnATimerAndTheDefaultAndCancelButtons) {
  struct TCase {
    unsigned Key;
    int Expected;
  } Cases[] = {{VK_RETURN, mrOk}, {VK_ESCAPE, mrCancel}, {0, mrAbort}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Expected);
    TForm* F = NewForm();
    auto* Ok = Add<TButton>(F, "Ok", 10, 10, 75, 25);
    Ok->SetDefault(true);
    Ok->SetModalResult(mrOk);
    auto* Cancel = Add<TButton>(F, "Cancel", 100, 10, 75, 25);
    Cancel->SetCancel(true);
    Cancel->SetModalResult(mrCancel);
    TTimer Timer(nullptr);
    Timer.SetInterval(500);
    Timer.SetOnTimer([&](TObject*) {
      Timer.SetEnabled(false);
      if (C.Key) {
        Display()->InjectKey(C.Key, true);
        Display()->InjectKey(C.Key, false);
      } else {
        F->SetModalResult(mrAbort);
      }
    });
    Clock->Advance(500);
    EXPECT_EQ(F->ShowModal(), C.Expected);
  }
}

TEST_F(VclForm, TimersTickOnTheMessageClock) {
  int Ticks = 0;
  auto* T = new TTimer(nullptr);
  T->SetInterval(500);
  T->SetOnTimer([&](TObject*) { ++Ticks; });
  Clock->Advance(499);
  Pump();
  EXPECT_EQ(Ticks, 0);
  Clock->Advance(1);
  Pump();
  EXPECT_EQ(Ticks, 1);
  Clock->Advance(300);
  T->SetInterval(400);  // restarts the count
  Clock->Advance(300);
  Pump();
  EXPECT_EQ(Ticks, 1);
  Clock->Advance(100);
  Pump();
  EXPECT_EQ(Ticks, 2);
  T->SetEnabled(false);
  Clock->Advance(1000);
  Pump();
  EXPECT_EQ(Ticks, 2);
  // A timer deleted by its own handler.
  T->SetOnTimer([&](TObject*) {
    ++Ticks;
    delete T;
    T = nullptr;
  });
  T->SetEnabled(true);
  Clock->Advance(400);
  Pump();
  EXPECT_EQ(Ticks, 3);
  EXPECT_EQ(T, nullptr);
}

TEST_F(VclForm, OnMessageSeesAndSwallowsMessages) {
  TForm* F = NewForm();
  F->HandleNeeded();
  std::vector<UINT> Seen;
  int Arrived = 0;
  TWndMethod Old = F->WindowProc;
  F->WindowProc = [&](TMessage& M) {
    if (M.Msg >= WM_USER) ++Arrived;
    Old(M);
  };
  Application->OnMessage = [&](MSG& Msg, bool& Handled) {
    if (Msg.message >= WM_USER) Seen.push_back(Msg.message);
    Handled = Msg.message == WM_USER + 7;
  };
  PostMessageA(F->GetHandle(), WM_USER + 7, 0, 0);
  PostMessageA(F->GetHandle(), WM_USER + 8, 0, 0);
  Application->ProcessMessages();
  EXPECT_EQ(Seen, (std::vector<UINT>{WM_USER + 7, WM_USER + 8}));
  EXPECT_EQ(Arrived, 1) << "the swallowed message is not dispatched";
  F->WindowProc = Old;
}

TEST_F(VclForm, CloseHidesOrFreesAndReleaseDefersTheDelete) {
  TForm* F = NewForm();
  F->Show();
  Pump();
  F->Close();
  EXPECT_FALSE(F->GetVisible());

  auto* G = new TForm(nullptr);
  G->SetBorderStyle(bsNone);
  bool Destroyed = false;
  G->OnDestroy = [&](TObject*) { Destroyed = true; };
  G->OnClose = [](TObject*, TCloseAction& Action) { Action = caFree; };
  G->Show();
  Pump();
  int Forms = Screen->GetFormCount();
  G->Close();
  EXPECT_FALSE(Destroyed) << "deleted only when the queued messages are handled";
  Application->ProcessMessages();
  EXPECT_TRUE(Destroyed);
  EXPECT_EQ(Screen->GetFormCount(), Forms - 1);

  auto* H = new TForm(nullptr);
  H->OnCloseQuery = [](TObject*, bool& CanClose) { CanClose = false; };
  H->Show();
  H->Close();
  EXPECT_TRUE(H->GetVisible());
  delete H;
}

TEST_F(VclForm, ComponentsAndControlsGoWithTheForm) {
  auto* F = new TForm(nullptr);
  auto* Panel = new TBox(F);
  Panel->SetParent(F);
  auto* Inner = new TDot(F);
  Inner->SetParent(Panel);
  auto* Menu = new TPopupMenu(F);
  Panel->SetPopupMenu(Menu);
  F->HandleNeeded();
  EXPECT_EQ(F->GetControlCount(), 1);
  EXPECT_EQ(Panel->GetControl(0), Inner);
  EXPECT_EQ(GetParentForm(Inner), F);
  delete Menu;
  EXPECT_EQ(Panel->GetPopupMenu(), nullptr) << "free notification clears the reference";
  int Windows = GetWindowCount();
  delete F;
  EXPECT_LT(GetWindowCount(), Windows);
}

TEST_F(VclForm, TextAndPropertyMessagesReachTheControl) {
  TForm* F = NewForm();
  TBox* A = Add<TBox>(F, "A", 0, 0, 10, 10);
  std::vector<UINT> Seen;
  TWndMethod Old = A->WindowProc;
  A->WindowProc = [&](TMessage& M) {
    if (M.Msg >= CM_BASE && M.Msg < CM_BASE + 100 && M.Msg != CM_INVALIDATE) Seen.push_back(M.Msg);
    Old(M);
  };
  A->SetText("Hello");
  EXPECT_EQ(A->GetText(), "Hello");
  A->SetText("Hello");  // unchanged: no notice
  A->SetEnabled(false);
  A->SetColor(clAqua);
  A->GetFont()->SetStyle(fsBold);
  A->SetVisible(false);
  EXPECT_EQ(Seen, (std::vector<UINT>{CM_TEXTCHANGED, CM_ENABLEDCHANGED, CM_COLORCHANGED, CM_FONTCHANGED,
                                     CM_VISIBLECHANGED}));
  A->WindowProc = Old;
  F->HandleNeeded();
  EXPECT_EQ(A->GetText(), "Hello") << "the text moves into the window";
  char Buffer[16] = {};
  GetWindowTextA(A->GetHandle(), Buffer, sizeof(Buffer));
  EXPECT_STREQ(Buffer, "Hello");
  // Parent font and colour follow the parent until set.
  TBox* B = Add<TBox>(F, "B", 0, 0, 10, 10);
  F->GetFont()->SetHeight(-20);
  EXPECT_EQ(B->GetFont()->GetHeight(), -20);
  EXPECT_NE(A->GetFont()->GetHeight(), -20);
}

}  // namespace

namespace {

TEST_F(VclForm, ExceptionsInHandlersGoToTheApplication) {
  TForm* F = NewForm(100, 100, 200, 100);
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 30, 30);
  EXPECT_EQ(Box->GetText(), "Box") << "a new name becomes the caption (csSetCaption)";
  Box->SetText("Other");
  Box->SetName("Box2");
  EXPECT_EQ(Box->GetText(), "Other");
  String Caught;
  Application->OnException = [&](TObject* Sender, Exception* E) {
    Caught = E->Message() + (Sender == Box ? " from Box" : "");
  };
  Box->OnClick = [](TObject*) { throw EConvertError("bad value"); };
  F->Show();
  Pump();
  Display()->InjectButton(120, 120, 1, true);
  Display()->InjectButton(120, 120, 1, false);
  EXPECT_NO_THROW(Pump());
  EXPECT_EQ(Caught, "bad value from Box");
  Caught.clear();
  Box->OnClick = [](TObject*) { Abort(); };
  Display()->InjectButton(120, 120, 1, true);
  Display()->InjectButton(120, 120, 1, false);
  Clock->Advance(1000);
  Pump();
  EXPECT_EQ(Caught, "") << "EAbort is silent";
  Application->OnException = nullptr;
  Box->OnClick = nullptr;
}

TEST_F(VclForm, RightClickPopsUpTheControlsMenu) {
  TForm* F = NewForm(100, 100, 200, 100);
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 30, 30);
  auto* Menu = new TPopupMenu(F);
  Box->SetPopupMenu(Menu);
  TPoint At{};
  TComponent* For = nullptr;
  Menu->OnPopup = [&](TObject*) {
    At = Menu->GetPopupPoint();
    For = Menu->GetPopupComponent();
  };
  F->Show();
  Pump();
  Display()->InjectButton(125, 115, 3, true);
  Display()->InjectButton(125, 115, 3, false);
  Pump();
  EXPECT_EQ(At, Point(125, 115));
  EXPECT_EQ(For, Box);

  // A graphic control's menu, through its parent's window.
  TDot* Dot = Add<TDot>(F, "Dot", 60, 10, 30, 30);
  auto* DotMenu = new TPopupMenu(F);
  Dot->SetPopupMenu(DotMenu);
  TComponent* DotFor = nullptr;
  DotMenu->OnPopup = [&](TObject*) { DotFor = DotMenu->GetPopupComponent(); };
  Clock->Advance(1000);
  Display()->InjectButton(170, 120, 3, true);
  Display()->InjectButton(170, 120, 3, false);
  Pump();
  EXPECT_EQ(DotFor, Dot);
}

}  // namespace

// Deleting a windowed child directly takes it out of its parent's lists, so the parent neither
// paints nor deletes it later.
TEST_F(VclForm, DeletingAWindowedChildLeavesItsParent) {
  auto* form = new TForm(nullptr);
  auto* child = new TBox(nullptr);
  child->SetParent(form);
  form->SetBounds(0, 0, 100, 100);
  child->SetBounds(10, 10, 20, 20);
  form->Show();
  ASSERT_EQ(form->GetControlCount(), 1);
  delete child;
  EXPECT_EQ(form->GetControlCount(), 0);
  form->Repaint();
  delete form;  // would delete the child a second time
}

// A wheel turned over a child goes to the child first: a control that takes it keeps it, a
// window class that scrolls (the memo) keeps it, and anything else passes it up to the form.
TEST_F(VclForm, UnhandledWheelGoesUpToTheParent) {
  TForm* F = NewForm(100, 100, 300, 200);
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 40, 40);
  TBox* Taker = Add<TBox>(F, "Taker", 60, 10, 40, 40);
  auto* Memo = new TMemo(F);
  Memo->SetParent(F);
  Memo->SetBounds(110, 10, 150, 60);
  for (int I = 0; I < 40; ++I) Memo->GetLines()->Add("line " + IntToStr(I));
  std::vector<String> Wheels;
  F->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
    Wheels.push_back("form " + IntToStr(Delta));
    Handled = true;
  };
  Taker->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
    Wheels.push_back("taker " + IntToStr(Delta));
    Handled = true;
  };
  F->Show();
  Pump();
  WPARAM Down = MAKEWPARAM(0, static_cast<WORD>(-WHEEL_DELTA));
  SendMessageA(Box->GetHandle(), WM_MOUSEWHEEL, Down, MAKELPARAM(130, 130));
  SendMessageA(Taker->GetHandle(), WM_MOUSEWHEEL, Down, MAKELPARAM(180, 130));
  int TopBefore = static_cast<int>(SendMessageA(Memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0));
  // The memo shows its last lines; turning up scrolls it back.
  SendMessageA(Memo->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), MAKELPARAM(250, 130));
  int TopAfter = static_cast<int>(SendMessageA(Memo->GetHandle(), EM_GETFIRSTVISIBLELINE, 0, 0));
  EXPECT_EQ(Wheels, (std::vector<String>{"form -120", "taker -120"}));
  EXPECT_LT(TopAfter, TopBefore);
}
