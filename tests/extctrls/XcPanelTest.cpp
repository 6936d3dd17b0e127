#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "XcWindowTest.h"
#include "extctrls/XcPanel.h"

namespace {

class XcArrangePanel : public TXcWindowTest {};

struct TChild {
  int W, H;
  bool Visible = true;
};

struct TArrangeCase {
  const char* Name;
  int PanelW, PanelH;
  std::vector<TChild> Children;
  std::function<void(TXcArrangeSettings*)> Settings;
  std::vector<TRect> Expected;  // of the children, in order (invisible ones keep their bounds)
  int ExpectedW, ExpectedH;     // the panel afterwards
};

std::string Text(const TRect& R)
{
  return std::to_string(R.left) + "," + std::to_string(R.top) + "-" + std::to_string(R.right) + "," +
         std::to_string(R.bottom);
}

TEST_F(XcArrangePanel, PlacesChildrenLineByLine)
{
  auto Base = [](TXcArrangeSettings* S) {
    S->SetBorderLeft(5);
    S->SetDistanceHorizontal(5);
    S->SetDistanceVertical(3);
    S->SetBorderTop(2);
  };
  const TRect Away(300, 300, 310, 310);  // where an invisible child is left
  const TArrangeCase Cases[] = {
      {"the third child wraps", 120, 100, {{50, 20}, {50, 30}, {50, 20}}, Base,
       {TRect(5, 2, 55, 22), TRect(60, 2, 110, 32), TRect(5, 35, 55, 55)}, 120, 100},
      {"no wrapping keeps one line", 120, 100, {{50, 20}, {50, 20}, {50, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetWrapControls(false);
       },
       {TRect(5, 2, 55, 22), TRect(60, 2, 110, 22), TRect(115, 2, 165, 22)}, 120, 100},
      {"one control per line", 200, 100, {{50, 20}, {40, 10}, {30, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetMaxControlsPerLine(1);
       },
       {TRect(5, 2, 55, 22), TRect(5, 25, 45, 35), TRect(5, 38, 35, 58)}, 200, 100},
      {"an invisible child takes no place", 200, 100, {{50, 20}, {50, 20, false}, {50, 20}}, Base,
       {TRect(5, 2, 55, 22), Away, TRect(60, 2, 110, 22)}, 200, 100},
      {"aligned right and bottom", 200, 100, {{50, 20}, {40, 30}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetHorizontalAlignment(asRight);
         S->SetVerticalAlignment(asBottom);
       },
       // content right 100, bottom 32: moved by (100, 68)
       {TRect(105, 70, 155, 90), TRect(160, 70, 200, 100)}, 200, 100},
      {"centred", 200, 100, {{50, 20}, {40, 30}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetHorizontalAlignment(asCenter);
         S->SetVerticalAlignment(asVCenter);
       },
       {TRect(55, 36, 105, 56), TRect(110, 36, 150, 66)}, 200, 100},
      {"lines aligned one by one", 120, 100, {{50, 20}, {50, 20}, {30, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetHorizontalAlignLines(true);
       },
       // Right 110: line 1 spans 105 (offset 2), line 2 spans 30 (offset 40)
       {TRect(7, 2, 57, 22), TRect(62, 2, 112, 22), TRect(45, 25, 75, 45)}, 120, 100},
      {"a limit narrower than the panel wraps earlier", 300, 100, {{50, 20}, {50, 20}, {50, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetMaxWidth(130);
       },
       {TRect(5, 2, 55, 22), TRect(60, 2, 110, 22), TRect(5, 25, 55, 45)}, 130, 100},
      {"the panel widens to its widest child", 40, 100, {{50, 20}, {30, 20}}, Base,
       {TRect(5, 2, 55, 22), TRect(5, 25, 35, 45)}, 60, 100},
      {"sized to its children in both directions", 20, 10, {{50, 20}, {50, 30}, {50, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetAutoSize(asBoth);
       },
       {TRect(5, 2, 55, 22), TRect(60, 2, 110, 32), TRect(115, 2, 165, 22)}, 170, 34},
      {"auto-sized height grows with a new line", 120, 10, {{50, 20}, {50, 30}, {50, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetAutoSize(asHeight);
       },
       {TRect(5, 2, 55, 22), TRect(60, 2, 110, 32), TRect(5, 35, 55, 55)}, 120, 57},
      // The present size counts as content: an arrangement never shrinks the panel by its
      // borders (it used to lose BorderLeft and BorderTop at every arrangement).
      {"auto-sized with every child hidden keeps its size", 100, 60, {{50, 20, false}, {50, 20, false}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetAutoSize(asBoth);
       },
       {Away, Away}, 100, 60},
      {"auto-sized wider than its children keeps its width", 300, 60, {{50, 20}},
       [&](TXcArrangeSettings* S) {
         Base(S);
         S->SetAutoSize(asBoth);
       },
       {TRect(5, 2, 55, 22)}, 300, 24},
  };
  TForm* F = NewForm(500, 400);
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* P = Add<TXcPanel>(F, 0, 0, C.PanelW, C.PanelH);
    std::vector<TXcPanel*> Kids;
    for (const auto& K : C.Children) {
      auto* Kid = Add<TXcPanel>(P, 300, 300, K.W, K.H);
      if (!K.Visible) {
        Kid->SetBounds(Away.left, Away.top, 10, 10);
        Kid->SetVisible(false);
      }
      Kids.push_back(Kid);
    }
    C.Settings(P->GetArrangeSettings());
    P->ArrangeControls();
    P->ArrangeControls();  // a second arrangement changes nothing
    for (std::size_t I = 0; I < Kids.size(); ++I)
      EXPECT_EQ(Text(Kids[I]->GetBoundsRect()), Text(C.Expected[I])) << "child " << I;
    EXPECT_EQ(P->GetWidth(), C.ExpectedW);
    EXPECT_EQ(P->GetHeight(), C.ExpectedH);
    delete P;
  }
}

TEST_F(XcArrangePanel, ArrangesOnItsTriggersOnly)
{
  TForm* F = NewForm();
  auto* P = Add<TXcPanel>(F, 0, 0, 200, 100);
  auto* A = Add<TXcPanel>(P, 100, 50, 30, 20);
  auto* B = Add<TXcPanel>(P, 150, 50, 30, 20);
  // Defaults: the program's plain panels never move their children.
  P->SetWidth(190);
  EXPECT_EQ(A->GetLeft(), 100);
  // Settings change with arranging off: nothing.
  P->GetArrangeSettings()->SetBorderLeft(4);
  EXPECT_EQ(A->GetLeft(), 100);
  // Switching it on arranges at once, and then every settings change and resize does.
  P->GetArrangeSettings()->SetAutoArrange(true);
  EXPECT_EQ(A->GetLeft(), 4);
  EXPECT_EQ(B->GetLeft(), 34);
  P->GetArrangeSettings()->SetDistanceHorizontal(6);
  EXPECT_EQ(B->GetLeft(), 40);
  // Suspended: skipped, also after a resize; resumed: the next trigger arranges.
  P->SuspendArranging();
  P->GetArrangeSettings()->SetDistanceHorizontal(10);
  EXPECT_EQ(B->GetLeft(), 40);
  P->ResumeArranging();
  P->ResumeArranging();  // never below zero
  P->SetWidth(60);
  EXPECT_EQ(B->GetLeft(), 4);  // wrapped: 4 + 30 + 10 + 30 + 4 > 60
  EXPECT_EQ(B->GetTop(), 20);
}

TEST_F(XcArrangePanel, AGrowingChildPanelRearrangesItsParent)
{
  TForm* F = NewForm();
  auto* Outer = Add<TXcPanel>(F, 0, 0, 100, 50);
  auto* Inner = Add<TXcPanel>(Outer, 0, 0, 40, 20);
  auto* Next = Add<TXcPanel>(Outer, 0, 0, 30, 20);
  Outer->GetArrangeSettings()->SetAutoSize(asWidth);
  Outer->GetArrangeSettings()->SetAutoArrange(true);
  EXPECT_EQ(Next->GetLeft(), 40);
  std::vector<int> Widths;
  Outer->OnChangedWidth = [&](TObject*, int W) { Widths.push_back(W); };
  Inner->SetWidth(120);
  EXPECT_EQ(Next->GetLeft(), 120);
  EXPECT_EQ(Outer->GetWidth(), 150);
  EXPECT_EQ(Widths, std::vector<int>{150});
  // With its own handler the child reports to it instead of its parent.
  std::vector<std::string> Reports;
  Inner->OnResizeParent = [&](TObject*, int, int, int W, int H) {
    Reports.push_back(std::to_string(W) + "x" + std::to_string(H));
  };
  Inner->SetWidth(60);
  EXPECT_EQ(Reports, std::vector<std::string>{"60x20"});
}

// ---- Settings ----

TEST(XcArrangeSettings, SettersReportRealChangesByName)
{
  struct TSetCase {
    const char* Name;
    std::function<void(TXcArrangeSettings&)> Set;
    std::vector<std::string> Expected;
  };
  auto Full = [](const char* P) {
    return std::vector<std::string>{"changing", std::string("changing ") + P, std::string("changed ") + P, "changed"};
  };
  const TSetCase Cases[] = {
      {"unchanged", [](TXcArrangeSettings& S) { S.SetWrapControls(true); }, {}},
      {"wrap", [](TXcArrangeSettings& S) { S.SetWrapControls(false); }, Full("WrapControls")},
      {"auto size", [](TXcArrangeSettings& S) { S.SetAutoSize(asBoth); }, Full("AutoSize")},
      {"max width", [](TXcArrangeSettings& S) { S.SetMaxWidth(9); }, Full("MaxWidth")},
      {"alignment", [](TXcArrangeSettings& S) { S.SetVerticalAlignment(asBottom); }, Full("VerticalAlignment")},
      {"design-time flag only stores", [](TXcArrangeSettings& S) { S.SetShowNotVisibleAtDesignTime(false); }, {}},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TXcArrangeSettings S(nullptr);
    std::vector<std::string> Seen;
    S.OnChanging = [&](TObject*) { Seen.push_back("changing"); };
    S.OnChanged = [&](TObject*) { Seen.push_back("changed"); };
    S.OnPropertyChanging = [&](TObject*, const String& N) { Seen.push_back("changing " + N); };
    S.OnPropertyChanged = [&](TObject*, const String& N) { Seen.push_back("changed " + N); };
    C.Set(S);
    EXPECT_EQ(Seen, C.Expected);
  }
}

TEST(XcArrangeSettings, AssignCopiesEverythingInOneUpdate)
{
  TXcArrangeSettings From(nullptr), To(nullptr);
  From.SetAutoArrange(true);
  From.SetAutoSize(asHeight);
  From.SetWrapControls(false);
  From.SetBorderLeft(1);
  From.SetBorderTop(2);
  From.SetDistanceVertical(3);
  From.SetDistanceHorizontal(4);
  From.SetShowNotVisibleAtDesignTime(false);
  From.SetMaxWidth(5);
  From.SetMaxControlsPerLine(6);
  From.SetVerticalAlignment(asVCenter);
  From.SetHorizontalAlignment(asCenter);
  From.SetHorizontalAlignLines(true);
  int Changing = 0, Changed = 0;
  To.OnChanging = [&](TObject*) { ++Changing; };
  To.OnChanged = [&](TObject*) { ++Changed; };
  To.Assign(&From);
  EXPECT_EQ(Changing, 1);
  EXPECT_EQ(Changed, 1);
  EXPECT_TRUE(To.GetAutoArrange());
  EXPECT_EQ(To.GetAutoSize(), asHeight);
  EXPECT_FALSE(To.GetWrapControls());
  EXPECT_EQ(To.GetBorderLeft() * 1000 + To.GetBorderTop() * 100 + To.GetDistanceVertical() * 10 +
                To.GetDistanceHorizontal(),
            1234);
  EXPECT_FALSE(To.GetShowNotVisibleAtDesignTime());
  EXPECT_EQ(To.GetMaxWidth(), 5);
  EXPECT_EQ(To.GetMaxControlsPerLine(), 6);
  EXPECT_EQ(To.GetVerticalAlignment(), asVCenter);
  EXPECT_EQ(To.GetHorizontalAlignment(), asCenter);
  EXPECT_TRUE(To.GetHorizontalAlignLines());
  TXcHotTrackOptions Other(nullptr);
  EXPECT_ANY_THROW(To.Assign(&Other));
}

TEST_F(XcArrangePanel, ItsSettingsCannotBeFreedWhileItLives)
{
  TForm* F = NewForm();
  auto* P = Add<TXcPanel>(F, 0, 0, 100, 50);
  TXcArrangeSettings* S = P->GetArrangeSettings();
  try {
    S->Free();
    FAIL() << "no error";
  } catch (const EXCLException& E) {
    EXPECT_EQ(E.Message().rfind("Your code tried to destroy the TXcPanel.ArrangeSettings objects", 0), 0u);
    EXPECT_NE(E.Message().find("\r\n\r\n    if not ((Components[I] is TXcArrangeSettings) or\r\n"), String::npos);
  }
  EXPECT_EQ(P->GetArrangeSettings(), S);
  // Deleted behind the panel's back: it carries on with fresh settings.
  delete S;
  ASSERT_NE(P->GetArrangeSettings(), nullptr);
  EXPECT_FALSE(P->GetArrangeSettings()->GetAutoArrange());
  P->GetArrangeSettings()->SetAutoArrange(true);
  // Settings of no panel are freed.
  auto* Loose = new TXcArrangeSettings(nullptr);
  Loose->Free();
}

TEST_F(XcArrangePanel, OldHotColorValuesLoad)
{
  struct TColorCase {
    const char* Value;
    TColor Expected;
  };
  const TColorCase Cases[] = {{"clRed", clRed}, {"clbtnface", clBtnFace}, {"255", 255}, {"clNoSuchColour", clBlue}};
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Value);
    TXcPanel P(nullptr);
    P.GetHotTrackOptions()->SetColor(clBlue);
    EXPECT_TRUE(P.ReadStoredText("HotColor", C.Value));
    EXPECT_EQ(P.GetHotTrackOptions()->GetColor(), C.Expected);
  }
  TXcPanel P(nullptr);
  EXPECT_FALSE(P.ReadStoredText("Colour", "clRed"));
  EXPECT_EQ(P.GetHotTrackOptions()->GetColor(), clBtnFace);
}

// ---- Painting ----

struct TPaintCase {
  const char* Name;
  std::function<void(TXcPanel*)> Set;
  std::vector<std::pair<TPoint, COLORREF>> Pixels;
};

TEST_F(XcArrangePanel, PaintsBordersBevelsAndHotLook)
{
  const COLORREF Face = RGB(0xA0, 0xA0, 0xA4), Hi = ColorToRGB(clBtnHighlight), Sh = ColorToRGB(clBtnShadow);
  const TPaintCase Cases[] = {
      {"a raised bevel", [](TXcPanel*) {}, {{Point(0, 0), Hi}, {Point(59, 39), Sh}, {Point(1, 1), Face}}},
      {"a lowered bevel", [](TXcPanel* P) { P->SetBevelOuter(bvLowered); }, {{Point(0, 0), Sh}, {Point(59, 39), Hi}}},
      {"a flat border without width draws nothing",
       [](TXcPanel* P) {
         P->SetFlatBorder(true);
         P->SetFlatBorderColor(clRed);
       },
       {{Point(0, 0), Face}, {Point(59, 39), Face}}},
      {"a flat border of width 1",
       [](TXcPanel* P) {
         P->SetFlatBorder(true);
         P->SetFlatBorderColor(clRed);
         P->SetBorderWidth(1);
       },
       {{Point(0, 0), RGB(255, 0, 0)}, {Point(59, 39), RGB(255, 0, 0)}, {Point(1, 1), Face}}},
      {"hot with a frame",
       [](TXcPanel* P) {
         P->SetHotTrack(true);
         P->GetHotTrackOptions()->SetEnabled(true);
         P->GetHotTrackOptions()->SetFrameVisible(true);
         P->GetHotTrackOptions()->SetColor(clYellow);
         P->GetHotTrackOptions()->SetFrameColor(clBlue);
         P->Perform(CM_MOUSEENTER, 0, 0);
       },
       {{Point(0, 0), RGB(0, 0, 255)}, {Point(30, 20), RGB(255, 255, 0)}}},
      {"hot without options keeps no bevel",
       [](TXcPanel* P) {
         P->SetHotTrack(true);
         P->GetHotTrackOptions()->SetEnabled(true);
         P->GetHotTrackOptions()->SetColor(clLime);
         P->SetBevelWidth(2);
         P->Perform(CM_MOUSEENTER, 0, 0);
       },
       {{Point(2, 2), RGB(0, 255, 0)}, {Point(57, 37), RGB(0, 255, 0)}}},
      {"transparent shows the parent",
       [](TXcPanel* P) {
         P->SetBevelOuter(bvNone);
         P->SetTransparent(true);
       },
       {{Point(30, 20), RGB(0, 0, 128)}}},
      {"replaced painting", [](TXcPanel* P) { P->OnPaint = [](TObject*) {}; }, {}},
  };
  TForm* F = NewForm();
  auto* Back = Add<TXcPanel>(F, 0, 0, 200, 100);
  Back->SetColor(clNavy);
  Back->SetBevelOuter(bvNone);
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* P = Add<TXcPanel>(Back, 10, 10, 60, 40);
    P->SetColor(static_cast<TColor>(Face));
    C.Set(P);
    auto Shot = Snapshot(P);
    for (const auto& [At, Colour] : C.Pixels) EXPECT_EQ(Pixel(Shot.get(), At.x, At.y), Colour) << At.x << "," << At.y;
    delete P;
  }
}

TEST_F(XcArrangePanel, CaptionFollowsAlignmentAndGreysWhenDisabled)
{
  TForm* F = NewForm();
  auto* P = Add<TXcPanel>(F, 0, 0, 200, 30);
  P->SetColor(clWhite);
  P->SetBevelOuter(bvNone);
  P->GetFont()->SetColor(clBlack);
  P->SetCaption("WWWW");
  // Whether some pixel of columns X0..X1-1 passes Test.
  auto InkIn = [](TBitmap* B, int X0, int X1, const std::function<bool(COLORREF)>& Test) {
    for (int Y = 0; Y < 30; ++Y)
      for (int X = X0; X < X1; ++X)
        if (Test(Pixel(B, X, Y))) return true;
    return false;
  };
  auto Dark = [](COLORREF C) { return GetRValue(C) < 0x40 && GetGValue(C) < 0x40 && GetBValue(C) < 0x40; };
  auto NotWhite = [](COLORREF C) { return C != RGB(255, 255, 255); };
  struct TAlignCase {
    TAlignment A;
    int InkFrom;  // the third of the panel with ink
  };
  for (const TAlignCase& C : {TAlignCase{taLeftJustify, 0}, TAlignCase{taCenter, 67}, TAlignCase{taRightJustify, 134}}) {
    SCOPED_TRACE(C.A);
    P->SetAlignment(C.A);
    auto Shot = Snapshot(P);
    for (int Third = 0; Third < 3; ++Third) {
      const int From = Third * 67, To = std::min(200, From + 67);
      EXPECT_EQ(InkIn(Shot.get(), From, To, NotWhite), From == C.InkFrom) << "third " << Third;
    }
    EXPECT_TRUE(InkIn(Shot.get(), 0, 200, Dark));
  }
  P->SetEnabled(false);
  auto Grey = Snapshot(P);
  EXPECT_FALSE(InkIn(Grey.get(), 0, 200, Dark));
  EXPECT_TRUE(InkIn(Grey.get(), 0, 200, NotWhite));
}

// ---- Grip, moving, native window ----

TEST_F(XcArrangePanel, TheGripSizesWithinLimits)
{
  TForm* F = NewForm();
  auto* P = Add<TXcPanel>(F, 10, 10, 100, 80);
  P->SetSizeable(true);
  P->GetConstraints()->SetMaxWidth(130);
  const TCursor Before = Screen->GetCursor();
  Down(P, 50, 40);  // not the grip
  EXPECT_FALSE(P->GetSizing());
  Up(P, 50, 40);
  Down(P, 95, 75);
  ASSERT_TRUE(P->GetSizing());
  EXPECT_EQ(Screen->GetCursor(), crSizeNWSE);
  Move(P, 115, 85);
  EXPECT_EQ(P->GetWidth(), 120);
  EXPECT_EQ(P->GetHeight(), 90);
  Move(P, 160, 95);  // beyond the constraint
  EXPECT_EQ(P->GetWidth(), 130);
  EXPECT_EQ(P->GetHeight(), 100);
  Move(P, -300, -300);  // never down to 1 pixel
  EXPECT_EQ(P->GetWidth(), 130);
  EXPECT_EQ(P->GetHeight(), 100);
  Up(P, -300, -300);
  EXPECT_FALSE(P->GetSizing());
  EXPECT_EQ(Screen->GetCursor(), Before);
  EXPECT_EQ(P->GetLeft(), 10);
  EXPECT_EQ(P->GetTop(), 10);
}

TEST_F(XcArrangePanel, AMovablePanelIsDraggedByItsInnerArea)
{
  TForm* F = NewForm();
  auto* P = Add<TXcPanel>(F, 20, 20, 100, 60);
  P->SetMovable(true);
  bool Refuse = false;
  int After = 0;
  P->OnBeforeMove = [&](TObject*, int, int, bool& Allow) { Allow = !Refuse; };
  P->OnAfterMove = [&](TObject*) { ++After; };
  auto HitAt = [&](int X, int Y) {
    const TPoint S = P->ClientToScreen(Point(X, Y));
    return P->Perform(WM_NCHITTEST, 0, MAKELPARAM(S.x, S.y));
  };
  EXPECT_EQ(HitAt(50, 30), HTCAPTION);
  EXPECT_NE(HitAt(5, 30), HTCAPTION);
  EXPECT_NE(HitAt(50, 55), HTCAPTION);
  P->Perform(WM_EXITSIZEMOVE, 0, 0);
  EXPECT_EQ(After, 1);
  P->Perform(WM_EXITSIZEMOVE, 0, 0);  // the move mark is gone
  EXPECT_EQ(After, 1);
  Refuse = true;
  EXPECT_NE(HitAt(50, 30), HTCAPTION);
  P->SetMovable(false);
  Refuse = false;
  EXPECT_NE(HitAt(50, 30), HTCAPTION);
}

TEST_F(XcArrangePanel, HasNoNativeWindowHeadless)
{
  TForm* F = NewForm();
  auto* P = Add<TXcPanel>(F, 0, 0, 100, 60);
  EXPECT_EQ(P->NativeWindowId(), 0u);
}

}  // namespace
