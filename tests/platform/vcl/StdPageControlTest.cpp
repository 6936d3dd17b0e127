#include <gtest/gtest.h>

#include "platform/vcl/PageCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdPageControl : public TVclWindowTest {
protected:
  TForm* Form() {
    TForm* F = NewForm(0, 0, 320, 240);
    F->HandleNeeded();
    return F;
  }
  static TPoint Centre(const TRect& R) { return Point((R.left + R.right) / 2, (R.top + R.bottom) / 2); }
  static void Click(TWinControl* C, TPoint P) {
    SendMessageA(C->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    SendMessageA(C->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
  }
  static String TabText(TCustomTabControl* C, int Index) {
    char Buffer[64] = {};
    TCITEMA Item;
    Item.mask = TCIF_TEXT;
    Item.pszText = Buffer;
    Item.cchTextMax = sizeof Buffer;
    if (!SendMessageA(C->GetHandle(), TCM_GETITEMA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item)))
      return "<none>";
    return Buffer;
  }
};

TEST_F(StdPageControl, TabsLieOnTheirSideAndTheDisplayAreaTakesTheRest) {
  TForm* F = Form();
  struct TCase {
    TTabPosition Position;
    // Whether the display area lies below / above / right of / left of the tabs.
    bool (*DisplayBeyond)(const TRect& Tab, const TRect& Display);
  } Cases[] = {
      {tpTop, [](const TRect& T, const TRect& D) { return D.top >= T.bottom; }},
      {tpBottom, [](const TRect& T, const TRect& D) { return D.bottom <= T.top; }},
      {tpLeft, [](const TRect& T, const TRect& D) { return D.left >= T.right; }},
      {tpRight, [](const TRect& T, const TRect& D) { return D.right <= T.left; }},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Position);
    auto* T = Add<TTabControl>(F, "Tabs", 0, 0, 300, 200);
    T->SetTabPosition(C.Position);
    T->GetTabs()->Add("One");
    T->GetTabs()->Add("Two longer");
    T->GetTabs()->Add("Three");
    EXPECT_EQ(SendMessageA(T->GetHandle(), TCM_GETITEMCOUNT, 0, 0), 3);
    EXPECT_EQ(T->GetTabIndex(), 0) << "the first tab added is selected";
    TRect Client = T->GetClientRect();
    TRect Display = T->GetDisplayRect();
    for (int I = 0; I < 3; ++I) {
      TRect R = T->TabRect(I);
      EXPECT_FALSE(IsRectEmpty(&R));
      EXPECT_TRUE(C.DisplayBeyond(R, Display)) << "tab " << I;
      TPoint P = Centre(R);
      EXPECT_EQ(T->IndexOfTabAt(P.x, P.y), I);
      EXPECT_EQ(T->GetHitTestInfoAt(P.x, P.y), htOnItem);
      if (I > 0) {
        TRect Prev = T->TabRect(I - 1);
        // Tabs follow each other without gaps along their side.
        if (C.Position == tpTop || C.Position == tpBottom)
          EXPECT_EQ(R.left, Prev.right);
        else
          EXPECT_EQ(R.top, Prev.bottom);
      }
    }
    EXPECT_GT(T->TabRect(1).right - T->TabRect(1).left + T->TabRect(1).bottom - T->TabRect(1).top,
              T->TabRect(0).right - T->TabRect(0).left + T->TabRect(0).bottom - T->TabRect(0).top)
        << "a longer caption makes a longer tab";
    TPoint Mid = Centre(Display);
    EXPECT_EQ(T->IndexOfTabAt(Mid.x, Mid.y), -1);
    EXPECT_EQ(T->GetHitTestInfoAt(Mid.x, Mid.y), htNowhere);
    EXPECT_EQ(T->GetHitTestInfoAt(-5, Mid.y), htToLeft);
    // The two directions of TCM_ADJUSTRECT undo each other.
    TRect Back = Display;
    SendMessageA(T->GetHandle(), TCM_ADJUSTRECT, TRUE, reinterpret_cast<LPARAM>(&Back));
    EXPECT_EQ(Back, Client);
    // A windowed child aligned to the client fills the display area.
    auto* Child = Add<TBox>(T, "Child", 0, 0, 5, 5);
    Child->SetAlign(alClient);
    EXPECT_EQ(Child->GetBoundsRect(), Display);
    delete T;
  }
}

TEST_F(StdPageControl, UserSelectionAsksFirstAndThenTells) {
  TForm* F = Form();
  auto* T = Add<TTabControl>(F, "Tabs", 0, 0, 300, 200);
  T->GetTabs()->Add("Alpha");
  T->GetTabs()->Add("Beta");
  T->GetTabs()->Add("Gamma");
  bool Allow = true;
  std::vector<String> Log;
  T->OnChanging = [&](TObject*, bool& A) {
    Log.push_back("changing from " + std::to_string(T->GetTabIndex()));
    A = Allow;
  };
  T->OnChange = [&](TObject*) { Log.push_back("change to " + std::to_string(T->GetTabIndex())); };

  struct TStep {
    const char* What;
    bool Allow;
    std::function<void()> Act;
    int ExpectedIndex;
    std::vector<String> ExpectedLog;
  } Steps[] = {
      {"click Beta", true, [&] { Click(T, Centre(T->TabRect(1))); }, 1, {"changing from 0", "change to 1"}},
      {"vetoed click", false, [&] { Click(T, Centre(T->TabRect(2))); }, 1, {"changing from 1"}},
      {"click the selected tab", true, [&] { Click(T, Centre(T->TabRect(1))); }, 1, {}},
      {"arrow right", true, [&] { SendMessageA(T->GetHandle(), WM_KEYDOWN, VK_RIGHT, 0); }, 2,
       {"changing from 1", "change to 2"}},
      {"arrow past the end", true, [&] { SendMessageA(T->GetHandle(), WM_KEYDOWN, VK_RIGHT, 0); }, 2, {}},
      {"home", true, [&] { SendMessageA(T->GetHandle(), WM_KEYDOWN, VK_HOME, 0); }, 0,
       {"changing from 2", "change to 0"}},
      {"TabIndex set by code", true, [&] { T->SetTabIndex(2); }, 2, {}},
      {"TabIndex out of range", true, [&] { T->SetTabIndex(7); }, -1, {}},
  };
  for (TStep& S : Steps) {
    SCOPED_TRACE(S.What);
    Log.clear();
    Allow = S.Allow;
    S.Act();
    EXPECT_EQ(T->GetTabIndex(), S.ExpectedIndex);
    EXPECT_EQ(Log, S.ExpectedLog);
  }
  // Tabs survive a new window.
  T->SetTabIndex(1);
  T->SetTabPosition(tpBottom);
  EXPECT_EQ(SendMessageA(T->GetHandle(), TCM_GETITEMCOUNT, 0, 0), 3);
  EXPECT_EQ(T->GetTabIndex(), 1);
  EXPECT_EQ(TabText(T, 2), "Gamma");
}

TEST_F(StdPageControl, SingleRowScrollsByWholeTabs) {
  TForm* F = Form();
  auto* T = Add<TTabControl>(F, "Tabs", 0, 0, 120, 80);
  for (int I = 0; I < 8; ++I) T->GetTabs()->Add("Tab number " + std::to_string(I));
  EXPECT_EQ(T->RowCount(), 1);
  int Left0 = T->TabRect(0).left;
  SendMessageA(T->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(T->TabRect(3).left, Left0);
  EXPECT_LE(T->TabRect(2).right, 0) << "scrolled-out tabs lie left of the control";
  T->ScrollTabs(-2);
  EXPECT_EQ(T->TabRect(1).left, Left0);
  // Selecting a tab beyond the edge brings it into view.
  T->SetTabIndex(7);
  EXPECT_LE(T->TabRect(7).right, 120);
  EXPECT_GE(T->TabRect(7).left, 0);
  // Several rows when MultiLine; the selected row sits next to the display area.
  T->SetMultiLine(true);
  EXPECT_GT(T->RowCount(), 1);
  TRect Selected = T->TabRect(T->GetTabIndex());
  for (int I = 0; I < 8; ++I) EXPECT_LE(T->TabRect(I).bottom, Selected.bottom);
  EXPECT_EQ(T->GetDisplayRect().top - Selected.bottom, T->GetDisplayRect().top - T->TabRect(7).bottom);
}

TEST_F(StdPageControl, PagesFollowTheirTabs) {
  TForm* F = Form();
  auto* P = Add<TPageControl>(F, "Pages", 0, 0, 300, 200);
  P->HandleNeeded();
  std::vector<TTabSheet*> Sheets;
  std::vector<String> Log;
  for (const char* Name : {"First", "Second", "Third", "Fourth"}) {
    auto* S = new TTabSheet(F);
    S->SetName(Name);
    S->SetPageControl(P);
    S->OnShow = [&Log, S](TObject*) { Log.push_back("show " + S->GetName()); };
    S->OnHide = [&Log, S](TObject*) { Log.push_back("hide " + S->GetName()); };
    Sheets.push_back(S);
  }
  auto Visible = [&] {
    String V;
    for (TTabSheet* S : Sheets) V += S->GetVisible() ? "1" : "0";
    return V;
  };
  EXPECT_EQ(P->GetPageCount(), 4);
  EXPECT_EQ(P->GetActivePage(), Sheets[0]) << "the first page becomes active";
  EXPECT_EQ(Visible(), "1000");
  EXPECT_EQ(Sheets[0]->GetBoundsRect(), P->GetDisplayRect());
  EXPECT_EQ(TabText(P, 1), "Second");

  struct TStep {
    const char* What;
    std::function<void()> Act;
    TTabSheet* Active;
    const char* Visible;
    int TabCount;
    std::vector<String> ExpectedLog;
  } Steps[] = {
      {"click the third tab", [&] { Click(P, Centre(P->TabRect(2))); }, Sheets[2], "0010", 4,
       {"hide First", "show Third"}},
      {"hide the second tab", [&] { Sheets[1]->SetTabVisible(false); }, Sheets[2], "0010", 3, {}},
      {"next page skips the hidden tab", [&] { P->SelectNextPage(true); }, Sheets[3], "0001", 3,
       {"hide Third", "show Fourth"}},
      {"next page wraps", [&] { P->SelectNextPage(true); }, Sheets[0], "1000", 3, {"hide Fourth", "show First"}},
      {"previous page wraps back", [&] { P->SelectNextPage(false); }, Sheets[3], "0001", 3,
       {"hide First", "show Fourth"}},
      {"hiding the active tab moves to the next", [&] { Sheets[3]->SetTabVisible(false); }, Sheets[2], "0010", 2,
       {"hide Fourth", "show Third"}},
      {"showing a tab again keeps the active page", [&] { Sheets[1]->SetTabVisible(true); }, Sheets[2], "0010", 3,
       {}},
      {"ActivePage by code", [&] { P->SetActivePage(Sheets[0]); }, Sheets[0], "1000", 3,
       {"hide Third", "show First"}},
      {"TabIndex by code follows with the page", [&] { P->SetTabIndex(1); }, Sheets[1], "0100", 3,
       {"hide First", "show Second"}},
      {"removing another page keeps the active one", [&] { Sheets[2]->SetPageControl(nullptr); }, Sheets[1],
       "0100", 2, {}},
  };
  for (TStep& S : Steps) {
    SCOPED_TRACE(S.What);
    Log.clear();
    S.Act();
    EXPECT_EQ(P->GetActivePage(), S.Active);
    EXPECT_EQ(P->GetTabIndex(), S.Active->GetTabIndex());
    EXPECT_EQ(Visible(), S.Visible);
    EXPECT_EQ(SendMessageA(P->GetHandle(), TCM_GETITEMCOUNT, 0, 0), S.TabCount);
    EXPECT_EQ(Log, S.ExpectedLog);
  }
  EXPECT_EQ(Sheets[2]->GetTabIndex(), -1);
  EXPECT_EQ(Sheets[3]->GetTabIndex(), -1) << "its tab is still hidden";
  EXPECT_EQ(Sheets[1]->GetPageIndex(), 1);

  // A caption change reaches the tab; deleting the active page activates the next one.
  Sheets[0]->SetCaption("Renamed");
  EXPECT_EQ(TabText(P, 0), "Renamed");
  delete Sheets[1];
  EXPECT_EQ(P->GetPageCount(), 2);
  EXPECT_EQ(P->GetActivePage(), Sheets[0]);
  EXPECT_EQ(TabText(P, 0), "Renamed");
  delete Sheets[2];  // not on the page control any more
}

TEST_F(StdPageControl, SelectedTabOpensIntoThePage) {
  TForm* F = NewForm(0, 0, 300, 200);
  F->SetColor(clWhite);
  auto* P = Add<TPageControl>(F, "Pages", 0, 0, 300, 200);
  for (const char* Name : {"One", "Two"}) {
    auto* S = new TTabSheet(F);
    S->SetName(Name);
    S->SetPageControl(P);
  }
  F->Show();
  Pump();
  TRect Display = P->GetDisplayRect();
  TRect Selected = P->TabRect(0), Other = P->TabRect(1);
  // The frame line between the tabs and the page is open under the selected tab only.
  int FrameY = Selected.bottom;
  EXPECT_EQ(Pixel(F, Centre(Selected).x, FrameY), ColorToRGB(clBtnFace));
  EXPECT_NE(Pixel(F, Centre(Other).x, FrameY), ColorToRGB(clBtnFace));
  EXPECT_LT(FrameY, Display.top);
  // Outside the tabs the strip is button face, whatever the parent's colour.
  EXPECT_EQ(Pixel(F, 290, 5), ColorToRGB(clBtnFace));
}

TEST_F(StdPageControl, TabsKeepRoomForTheirImagesAlongTheTab) {
  TForm* F = Form();
  // The list holds no image at all: the room a tab keeps depends on its index alone (the
  // skinned page control widens this list to make room for its close buttons).
  TCustomImageList Images(nullptr, 20, 12);
  struct TCase {
    TTabPosition Position;
    int ImageIndex;  // 99: left at the default
    int Growth;      // of the tab's length along the strip once Images is set
  } Cases[] = {
      {tpTop, 99, 20 + 3}, {tpTop, -1, 0}, {tpBottom, 5, 20 + 3}, {tpLeft, 99, 12 + 3}, {tpRight, -1, 0},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Position << " image " << C.ImageIndex);
    auto* P = Add<TPageControl>(F, "Pages", 0, 0, 300, 200);
    P->SetTabPosition(C.Position);
    auto* S = new TTabSheet(F);
    S->SetPageControl(P);
    S->SetCaption("Sheet");
    EXPECT_EQ(S->GetImageIndex(), 0) << "a new sheet shows the first image";
    if (C.ImageIndex != 99) S->SetImageIndex(C.ImageIndex);
    bool Vert = C.Position == tpLeft || C.Position == tpRight;
    auto Length = [&] {
      TRect R = P->TabRect(0);
      return Vert ? R.bottom - R.top : R.right - R.left;
    };
    int Plain = Length();
    P->SetImages(&Images);
    EXPECT_EQ(Length() - Plain, C.Growth);
    delete S;
    delete P;
  }
}

TEST_F(StdPageControl, PrintClientDrawsTheTabsIntoTheGivenDC) {
  TForm* F = Form();
  auto* T = Add<TTabControl>(F, "Tabs", 0, 0, 200, 100);
  T->GetTabs()->Add("One");
  T->GetTabs()->Add("Two");
  TBitmap B;
  B.SetSize(200, 100);
  TCanvas* C = B.GetCanvas();
  C->GetBrush()->SetColor(clRed);
  C->FillRect(Rect(0, 0, 200, 100));
  HDC DC = C->GetHandle();
  HGDIOBJ Brush = GetCurrentObject(DC, OBJ_BRUSH);
  HGDIOBJ Font = GetCurrentObject(DC, OBJ_FONT);
  SendMessageA(T->GetHandle(), WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
  TRect Tab = T->TabRect(1);
  EXPECT_EQ(C->GetPixels(Tab.left + 3, Tab.top + 3), ColorToRGB(clBtnFace)) << "the tab is drawn";
  EXPECT_EQ(C->GetPixels(195, 3), ColorToRGB(clRed)) << "printing the client area erases nothing";
  EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), Brush);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Font);
}

// A page control that moves its display area and its tabs the way a skinned one does: after
// the class library has answered, in its own window procedure.
class TAdjustedPages : public TPageControl {
public:
  using TPageControl::TPageControl;
  int Painted = 0;

protected:
  void WndProc(TMessage& Message) override {
    TPageControl::WndProc(Message);
    if (Message.Msg == TCM_ADJUSTRECT && Message.LParam)
      *reinterpret_cast<RECT*>(Message.LParam) = Rect(10, 30, GetClientWidth() - 10, GetClientHeight() - 10);
    if (Message.Msg == TCM_GETITEMRECT && Message.LParam) OffsetRect(reinterpret_cast<RECT*>(Message.LParam), 5, 0);
  }
  void PaintWindow(HDC) override { ++Painted; }
};

TEST_F(StdPageControl, DescendantsAdjustRectanglesAndPaintThroughTheirWindowProcedure) {
  TForm* F = Form();
  auto* Plain = Add<TPageControl>(F, "Plain", 0, 0, 300, 200);
  auto* P = Add<TAdjustedPages>(F, "Pages", 0, 0, 300, 200);
  std::vector<TTabSheet*> Sheets;
  for (TPageControl* Control : {Plain, static_cast<TPageControl*>(P)})
    for (const char* Caption : {"One", "Two"}) {
      auto* S = new TTabSheet(F);
      S->SetPageControl(Control);
      S->SetCaption(Caption);
      Sheets.push_back(S);
    }
  EXPECT_EQ(P->GetDisplayRect(), Rect(10, 30, 290, 190));
  EXPECT_EQ(Sheets[2]->GetBoundsRect(), Rect(10, 30, 290, 190)) << "the pages fill the adjusted area";
  TRect Native = Plain->TabRect(1), Moved = P->TabRect(1);
  OffsetRect(&Native, 5, 0);
  EXPECT_EQ(Moved, Native);

  // Mouse events reach the control around the window class's own selection.
  std::vector<String> Log;
  P->OnMouseDown = [&](TObject*, TMouseButton, TShiftState, int X, int Y) {
    Log.push_back("down " + std::to_string(X) + "," + std::to_string(Y) + " page " +
                  std::to_string(P->GetActivePageIndex()));
  };
  P->OnChange = [&](TObject*) { Log.push_back("change"); };
  TPoint At = Centre(Plain->TabRect(1));
  Click(P, At);
  EXPECT_EQ(Log, (std::vector<String>{"change", "down " + std::to_string(At.x) + "," + std::to_string(At.y) + " page 1"}));

  // TabStop is a style of the window: the window is made again, the pages stay.
  EXPECT_FALSE(GetWindowLongA(P->GetHandle(), GWL_STYLE) & TCS_FOCUSNEVER);
  P->SetTabStop(false);
  EXPECT_TRUE(GetWindowLongA(P->GetHandle(), GWL_STYLE) & TCS_FOCUSNEVER);
  EXPECT_EQ(SendMessageA(P->GetHandle(), TCM_GETITEMCOUNT, 0, 0), 2);
  EXPECT_EQ(P->GetActivePage(), Sheets[3]);
  EXPECT_EQ(P->GetTabIndex(), 1);

  F->Show();
  Pump();
  EXPECT_GT(P->Painted, 0) << "painting goes through PaintWindow";
}

}  // namespace
