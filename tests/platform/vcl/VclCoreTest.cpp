// The control and form core members that derived controls and forms rely on: mouse enter and
// leave under a capture, settings passed down to children, hints, printing a window into a
// foreign DC, size limits, the popup-menu and context-popup hooks and the MDI child list.
#include <gtest/gtest.h>

#include "tests/platform/vcl/VclTestSupport.h"
#include "platform/rtl/Rtl.h"

namespace {

std::vector<String> Logged(const char* Prefix) {
  std::vector<String> Result;
  for (const String& S : VclLog())
    if (S.rfind(Prefix, 0) == 0) Result.push_back(S);
  return Result;
}

// A box that logs a few component messages and may stretch the hint pause.
class TLogBox : public TBox {
public:
  using TBox::TBox;
  int HintPause = -1;  // -1: leave the pause alone

protected:
  void WndProc(TMessage& Message) override {
    switch (Message.Msg) {
      case CM_SYSCOLORCHANGE: VclLog().push_back("syscolor " + GetName()); break;
      case CM_HINTSHOWPAUSE:
        VclLog().push_back("hintpause " + GetName() + " " + IntToStr(static_cast<int>(Message.WParam)) + " " +
                           IntToStr(*reinterpret_cast<int*>(Message.LParam)));
        if (HintPause >= 0) *reinterpret_cast<int*>(Message.LParam) = HintPause;
        break;
      default: break;
    }
    TBox::WndProc(Message);
  }
};

// A box whose popup menu comes from elsewhere and that may take the context popup itself.
class TMenuBox : public TBox {
public:
  using TBox::TBox;
  TPopupMenu* OtherMenu = nullptr;
  bool TakePopup = false;
  TPopupMenu* GetPopupMenu() const override { return OtherMenu; }

protected:
  void DoContextPopup(const TPoint& MousePos, bool& Handled) override {
    VclLog().push_back("contextpopup " + IntToStr(MousePos.x) + "," + IntToStr(MousePos.y));
    Handled = TakePopup;
  }
};

// A box with a one-pixel window border.
class TBorderBox : public TBox {
public:
  using TBox::TBox;

protected:
  void CreateParams(TCreateParams& Params) override {
    TBox::CreateParams(Params);
    Params.Style |= WS_BORDER;
  }
};

// A memory DC with a white bitmap of W x H.
struct TMemoryDC {
  HDC DC;
  HBITMAP Bitmap;
  HGDIOBJ Old;
  TMemoryDC(int W, int H) {
    HDC Screen = GetDC(nullptr);
    DC = CreateCompatibleDC(Screen);
    Bitmap = CreateCompatibleBitmap(Screen, W, H);
    ReleaseDC(nullptr, Screen);
    Old = SelectObject(DC, Bitmap);
    RECT R{0, 0, W, H};
    FillRect(DC, &R, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
  }
  ~TMemoryDC() {
    SelectObject(DC, Old);
    DeleteObject(Bitmap);
    DeleteDC(DC);
  }
};

class VclCore : public TVclWindowTest {
protected:
  void TearDown() override {
    Application->CancelHint();
    TVclWindowTest::TearDown();
  }
};

TEST_F(VclCore, ACapturedControlAloneHearsThePointerLeaveAndComeBack) {
  TForm* F = NewForm(100, 100, 300, 200);
  Add<TBox>(F, "Box", 10, 10, 30, 30);
  Add<TDot>(F, "Dot", 60, 10, 30, 30);
  F->Show();
  Pump();
  Display()->InjectMouseMove(120, 120);
  Pump();
  Display()->InjectButton(120, 120, 1, true);
  Pump();
  // Held: over the dot and back; the dot hears nothing.
  for (POINT P : {POINT{170, 120}, POINT{175, 125}, POINT{125, 125}}) {
    Display()->InjectMouseMove(P.x, P.y);
    Pump();
  }
  Display()->InjectButton(125, 125, 1, false);
  Pump();
  // Released: the pointer moves on as usual.
  Display()->InjectMouseMove(170, 120);
  Pump();
  EXPECT_EQ(Logged("mouse"), (std::vector<String>{"mouseenter Box", "mouseleave Box", "mouseenter Box",
                                                  "mouseleave Box", "mouseenter Dot"}));
}

TEST_F(VclCore, ReleasingOutsideAPressedControlLeavesItWithoutAClick) {
  TForm* F = NewForm(100, 100, 300, 200);
  Add<TBox>(F, "Box", 10, 10, 30, 30);
  F->Show();
  Pump();
  Display()->InjectMouseMove(120, 120);
  Display()->InjectButton(120, 120, 1, true);
  Display()->InjectMouseMove(250, 250);
  Display()->InjectButton(250, 250, 1, false);
  Pump();
  EXPECT_EQ(Logged("mouse"), (std::vector<String>{"mouseenter Box", "mouseleave Box"}));
  EXPECT_TRUE(Logged("click").empty());
}

TEST_F(VclCore, ShowHintAndCtl3DReachTheChildrenThatFollowTheirParent) {
  TForm* F = NewForm();
  TBox* Parent = Add<TBox>(F, "Parent", 10, 10, 200, 150);
  TBox* Following = Add<TBox>(Parent, "Following", 5, 5, 20, 20);
  TBox* Own = Add<TBox>(Parent, "Own", 30, 5, 20, 20);
  TBox* Grandchild = Add<TBox>(Following, "Grandchild", 1, 1, 10, 10);
  TDot* Dot = Add<TDot>(Parent, "Dot", 60, 5, 20, 20);
  Own->SetParentShowHint(false);
  Own->SetParentCtl3D(false);

  Parent->SetShowHint(true);
  Parent->SetCtl3D(false);
  struct TCase {
    TControl* Control;
    bool ShowHint, ParentShowHint;
  } Cases[] = {{Following, true, true}, {Grandchild, true, true}, {Dot, true, true}, {Own, false, false}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Control->GetName());
    EXPECT_EQ(C.Control->GetShowHint(), C.ShowHint);
    EXPECT_EQ(C.Control->GetParentShowHint(), C.ParentShowHint);
  }
  EXPECT_FALSE(Following->GetCtl3D());
  EXPECT_TRUE(Following->GetParentCtl3D());
  EXPECT_FALSE(Grandchild->GetCtl3D());
  EXPECT_TRUE(Own->GetCtl3D());
  EXPECT_FALSE(Own->GetParentCtl3D());

  // A child that comes later takes the parent's settings; one that goes back to following
  // takes them at once.
  TBox* Late = Add<TBox>(Parent, "Late", 90, 5, 20, 20);
  EXPECT_TRUE(Late->GetShowHint());
  EXPECT_FALSE(Late->GetCtl3D());
  Own->SetParentShowHint(true);
  Own->SetParentCtl3D(true);
  EXPECT_TRUE(Own->GetShowHint());
  EXPECT_FALSE(Own->GetCtl3D());
}

TEST_F(VclCore, SystemColourChangesReachEveryControl) {
  TForm* F = NewForm();
  TLogBox* Outer = Add<TLogBox>(F, "Outer", 10, 10, 100, 100);
  Add<TLogBox>(Outer, "Inner", 5, 5, 20, 20);
  F->Show();
  Pump();
  SendMessageA(F->GetHandle(), WM_SYSCOLORCHANGE, 0, 0);
  EXPECT_EQ(Logged("syscolor"), (std::vector<String>{"syscolor Outer", "syscolor Inner"}));
}

TEST_F(VclCore, HintsComeFromTheParentAndFollowEachOtherAfterTheShortPause) {
  TForm* F = NewForm(100, 100, 300, 200);
  TLogBox* Panel = Add<TLogBox>(F, "Panel", 10, 10, 100, 100);
  Panel->SetHint("Panel tip|Long panel text");
  Panel->SetShowHint(true);
  // No hint of its own: it shows the panel's (its ShowHint follows the panel's).
  TBox* Inner = Add<TBox>(Panel, "Inner", 10, 10, 30, 30);
  TLogBox* Other = Add<TLogBox>(F, "Other", 150, 10, 50, 50);
  Other->SetHint("Other tip");
  Other->SetShowHint(true);
  Application->SetHintPause(500);
  Application->SetHintShortPause(100);
  Application->SetHintHidePause(5000);
  F->Show();
  Pump();

  // Over the inner box: the panel's hint, after the full pause.
  Display()->InjectMouseMove(125, 125);
  Pump();
  Clock->Advance(499);
  Pump();
  EXPECT_EQ(FindWindowA("THintWindow", "Panel tip"), nullptr);
  Clock->Advance(1);
  Pump();
  EXPECT_NE(FindWindowA("THintWindow", "Panel tip"), nullptr);
  EXPECT_TRUE(Inner->GetShowHint());

  // Straight on to another hinted control: the short pause.
  Display()->InjectMouseMove(270, 120);
  Pump();
  EXPECT_EQ(FindWindowA("THintWindow", "Panel tip"), nullptr);
  Clock->Advance(100);
  Pump();
  EXPECT_NE(FindWindowA("THintWindow", "Other tip"), nullptr);

  // Away from every hint and back: the full pause again, which the control may stretch.
  Display()->InjectMouseMove(350, 250);
  Pump();
  Other->HintPause = 800;
  Display()->InjectMouseMove(270, 120);
  Pump();
  Clock->Advance(500);
  Pump();
  EXPECT_EQ(FindWindowA("THintWindow", "Other tip"), nullptr);
  Clock->Advance(300);
  Pump();
  EXPECT_NE(FindWindowA("THintWindow", "Other tip"), nullptr);
  EXPECT_EQ(Logged("hintpause"), (std::vector<String>{"hintpause Other 1 100", "hintpause Other 0 500"}));

  // A click ends the hint that is up (seen by the application's message loop).
  Display()->InjectButton(270, 120, 1, true);
  Display()->InjectButton(270, 120, 1, false);
  Application->ProcessMessages();
  EXPECT_EQ(FindWindowA("THintWindow", "Other tip"), nullptr);
}

TEST_F(VclCore, PrintClientPaintsIntoTheGivenDCAndLeavesItsStateAlone) {
  TForm* F = NewForm();
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 20, 20, clRed);
  TBox* Hidden = Add<TBox>(F, "Hidden", 40, 10, 20, 20, clRed);
  F->Show();
  Pump();
  Hidden->Hide();
  TMemoryDC M(40, 40);
  SetWindowOrgEx(M.DC, -5, -5, nullptr);  // the client area lands at (5, 5)
  HGDIOBJ Brush = GetCurrentObject(M.DC, OBJ_BRUSH);
  RECT ClipBefore{};
  GetClipBox(M.DC, &ClipBefore);

  SendMessageA(Box->GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(M.DC), PRF_CLIENT);
  POINT Org{};
  GetWindowOrgEx(M.DC, &Org);
  EXPECT_EQ(Org.x, -5);
  EXPECT_EQ(Org.y, -5);
  RECT ClipAfter{};
  GetClipBox(M.DC, &ClipAfter);
  EXPECT_EQ(ClipAfter, ClipBefore);
  EXPECT_EQ(GetCurrentObject(M.DC, OBJ_BRUSH), Brush);
  EXPECT_EQ(GetPixel(M.DC, 0, 0), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(M.DC, 19, 19), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(M.DC, 20, 20), RGB(255, 255, 255));
  EXPECT_EQ(GetPixel(M.DC, -1, -1), RGB(255, 255, 255));

  // PRF_CHECKVISIBLE: a hidden control prints nothing.
  TMemoryDC N(40, 40);
  SendMessageA(Hidden->GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(N.DC), PRF_CLIENT | PRF_CHECKVISIBLE);
  EXPECT_EQ(GetPixel(N.DC, 5, 5), RGB(255, 255, 255));
}

TEST_F(VclCore, PaintToDrawsTheBorderAndPutsTheClientAreaInsideIt) {
  TForm* F = NewForm();
  F->SetColor(clWhite);
  TBorderBox* Box = Add<TBorderBox>(F, "Box", 10, 10, 20, 20, clRed);
  F->Show();
  Pump();
  RECT W{};
  POINT Origin{0, 0};
  GetWindowRect(Box->GetHandle(), &W);
  ClientToScreen(Box->GetHandle(), &Origin);
  int Inset = Origin.x - W.left;
  ASSERT_GT(Inset, 0) << "a bordered window has its client area inside the border";
  TMemoryDC M(60, 60);
  F->PaintTo(M.DC, 0, 0);
  EXPECT_NE(GetPixel(M.DC, 10, 10), RGB(255, 0, 0)) << "the border";
  EXPECT_NE(GetPixel(M.DC, 10, 10), RGB(255, 255, 255)) << "the border";
  EXPECT_EQ(GetPixel(M.DC, 10 + Inset, 10 + Inset), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(M.DC, 29 - Inset, 29 - Inset), RGB(255, 0, 0));
  EXPECT_EQ(GetPixel(M.DC, 35, 35), RGB(255, 255, 255));
}

TEST_F(VclCore, TheConstraintsAreTheWindowsSizeLimits) {
  TForm* F = NewForm();
  F->GetConstraints()->SetMinWidth(150);
  F->GetConstraints()->SetMaxHeight(400);
  F->Show();
  Pump();
  MINMAXINFO Info{};
  Info.ptMinTrackSize = POINT{10, 11};
  Info.ptMaxTrackSize = POINT{2000, 2001};
  SendMessageA(F->GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&Info));
  EXPECT_EQ(Info.ptMinTrackSize.x, 150);
  EXPECT_EQ(Info.ptMinTrackSize.y, 11);
  EXPECT_EQ(Info.ptMaxTrackSize.x, 2000);
  EXPECT_EQ(Info.ptMaxTrackSize.y, 400);
}

TEST_F(VclCore, ACursorChangeShowsAtOnceUnderThePointer) {
  TForm* F = NewForm(100, 100, 300, 200);
  TBox* Box = Add<TBox>(F, "Box", 10, 10, 30, 30);
  TBox* Elsewhere = Add<TBox>(F, "Elsewhere", 100, 10, 30, 30);
  F->Show();
  Pump();
  Display()->InjectMouseMove(120, 120);
  Pump();
  HCURSOR Before = GetCursor();
  Elsewhere->SetCursor(crHandPoint);
  EXPECT_EQ(GetCursor(), Before);
  Box->SetCursor(crHandPoint);
  EXPECT_EQ(GetCursor(), Screen->GetCursors(crHandPoint));
}

TEST_F(VclCore, ContextPopupAndPopupMenuCanBeOverridden) {
  TForm* F = NewForm(100, 100, 200, 100);
  TMenuBox* Box = Add<TMenuBox>(F, "Box", 10, 10, 30, 30);
  auto* Menu = new TPopupMenu(F);
  TComponent* For = nullptr;
  Menu->OnPopup = [&](TObject*) { For = Menu->GetPopupComponent(); };
  Box->OtherMenu = Menu;
  F->Show();
  Pump();
  Display()->InjectButton(125, 115, 3, true);
  Display()->InjectButton(125, 115, 3, false);
  Pump();
  EXPECT_EQ(For, Box);
  EXPECT_EQ(Logged("contextpopup"), (std::vector<String>{"contextpopup 15,5"}));

  // Taken by DoContextPopup: no menu.
  For = nullptr;
  Box->TakePopup = true;
  Clock->Advance(1000);
  Display()->InjectButton(125, 115, 3, true);
  Display()->InjectButton(125, 115, 3, false);
  Pump();
  EXPECT_EQ(For, nullptr);
}

TEST_F(VclCore, AnMDIFormListsTheMDIChildrenOfTheScreen) {
  TForm* Main = NewForm();
  Main->SetFormStyle(fsMDIForm);
  TForm* Plain = NewForm();
  TForm* Child1 = NewForm();
  TForm* Child2 = NewForm();
  Child1->SetFormStyle(fsMDIChild);
  Child2->SetFormStyle(fsMDIChild);
  EXPECT_EQ(Main->GetClientHandle(), nullptr);
  ASSERT_EQ(Main->GetMDIChildCount(), 2);
  std::vector<TForm*> Children{Main->GetMDIChildren(0), Main->GetMDIChildren(1)};
  EXPECT_TRUE((Children == std::vector<TForm*>{Child1, Child2}) || (Children == std::vector<TForm*>{Child2, Child1}));
  EXPECT_EQ(Main->GetActiveMDIChild(), Children[0]);
  EXPECT_THROW(Main->GetMDIChildren(2), EListError);
  EXPECT_THROW(Main->GetMDIChildren(-1), EListError);
  EXPECT_EQ(Plain->GetMDIChildCount(), 0);
  EXPECT_EQ(Plain->GetActiveMDIChild(), nullptr);
}

// A box that logs the component messages about itself that its window procedure sees.
class TNoticeBox : public TBox {
public:
  using TBox::TBox;
  void WndProc(TMessage& M) override {
    if (M.Msg == CM_CHANGED)
      VclLog().push_back(String("changed ") + (M.LParam == reinterpret_cast<LPARAM>(this) ? "self" : "other"));
    if (M.Msg == CM_VISIBLECHANGED) VclLog().push_back("visible " + IntToStr(static_cast<int>(M.WParam)));
    TBox::WndProc(M);
  }
  using TControl::DoMouseWheel;
};

class TNoticeDot : public TDot {
public:
  using TDot::TDot;
  void WndProc(TMessage& M) override {
    if (M.Msg == CM_VISIBLECHANGED) VclLog().push_back("visible " + IntToStr(static_cast<int>(M.WParam)));
    TDot::WndProc(M);
  }
};

TEST_F(VclCore, ChangedAndVisibilityReachADerivedWindowProcedure) {
  TForm* F = NewForm(100, 100, 300, 200);
  auto* Box = Add<TNoticeBox>(F, "Box", 10, 10, 30, 30);
  auto* Dot = Add<TNoticeDot>(F, "Dot", 60, 10, 30, 30);
  F->Show();
  Pump();
  VclLog().clear();
  Box->Changed();
  Box->SetVisible(false);
  Box->SetVisible(false);  // no change: no message
  Box->Show();
  Dot->Hide();
  Dot->SetVisible(true);
  std::vector<String> Seen = Logged("changed");
  for (const String& S : Logged("visible")) Seen.push_back(S);
  EXPECT_EQ(Seen, (std::vector<String>{"changed self", "visible 0", "visible 1", "visible 0", "visible 1"}));
}

TEST_F(VclCore, TheWheelGoesToOnMouseWheelFirstThenUpOrDownPerNotch) {
  TForm* F = NewForm(100, 100, 300, 200);
  auto* Box = Add<TNoticeBox>(F, "Box", 10, 10, 30, 30);
  bool WheelHandles = false;
  Box->OnMouseWheel = [&](TObject*, TShiftState, int Delta, TPoint, bool& Handled) {
    VclLog().push_back("wheel " + IntToStr(Delta));
    Handled = WheelHandles;
  };
  Box->OnMouseWheelUp = [](TObject*, TShiftState, TPoint P, bool& Handled) {
    VclLog().push_back("up " + IntToStr(P.x));
    Handled = true;
  };
  Box->OnMouseWheelDown = [](TObject*, TShiftState, TPoint, bool&) { VclLog().push_back("down"); };
  struct TCase {
    bool Handles;
    int Delta;
    std::vector<String> Log;
    bool Result;
  } Cases[] = {
      {true, 120, {"wheel 120"}, true},
      {false, 120, {"wheel 120", "up 7"}, true},
      {false, -240, {"wheel -240", "down", "down"}, false},  // the down handler leaves it
      {false, 60, {"wheel 60"}, false},                     // half a notch: kept
      {false, 60, {"wheel 60", "up 7"}, true},              // the other half
      {false, -30, {"wheel -30"}, false},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Delta);
    VclLog().clear();
    WheelHandles = C.Handles;
    EXPECT_EQ(Box->DoMouseWheel(0, C.Delta, Point(7, 8)), C.Result);
    EXPECT_EQ(VclLog(), C.Log);
  }
}

TEST_F(VclCore, AnActionUpdatesThroughOnUpdate) {
  TBasicAction Action(nullptr);
  EXPECT_FALSE(Action.Update());
  int Updates = 0;
  Action.OnUpdate = [&](TObject* S) { Updates += S == &Action; };
  EXPECT_TRUE(Action.Update());
  EXPECT_EQ(Updates, 1);
  EXPECT_FALSE(Action.Execute());
}

}  // namespace
