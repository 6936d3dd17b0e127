#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "XcWindowTest.h"
#include "extctrls/XcSpeedButton.h"
#include "platform/vcl/ImgList.h"
#include "platform/vcl/Menus.h"

namespace {

class XcSpeedButton : public TXcWindowTest {
protected:
  void SetUp() override
  {
    TXcWindowTest::SetUp();
    Form = NewForm();
  }
  TXcSpeedButton* Button(int X, int Y, const char* Name, int Group = 0)
  {
    auto* B = Add<TXcSpeedButton>(Form, X, Y, 40, 30);
    B->SetName(Name);
    B->SetGroupIndex(Group);
    B->OnClick = [this, B](TObject*) { Log.push_back("click " + B->GetName()); };
    B->OnMouseUp = [this, B](TObject*, TMouseButton, TShiftState, int, int) { Log.push_back("up " + B->GetName()); };
    return B;
  }
  std::string Events()
  {
    std::string S;
    for (const auto& E : Log) S += (S.empty() ? "" : "; ") + E;
    Log.clear();
    return S;
  }
  TForm* Form = nullptr;
  std::vector<std::string> Log;
};

TEST_F(XcSpeedButton, ClicksWhenReleasedInside)
{
  struct TCase {
    const char* Name;
    std::vector<TPoint> Moves;  // after the press at (10, 10)
    TPoint Release;
    const char* Expected;
  };
  const TCase Cases[] = {
      {"inside", {}, Point(20, 15), "up b; click b"},
      {"outside", {Point(60, 10)}, Point(60, 10), "up b"},
      {"out and back in", {Point(60, 10), Point(20, 20)}, Point(20, 20), "up b; click b"},
      {"on the bottom edge", {}, Point(20, 30), "up b; click b"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* B = Button(20, 20, "b");
    Down(B, 10, 10);
    EXPECT_EQ(B->GetButtonState(), XcButtonPressed);
    for (const TPoint& P : C.Moves) Move(B, P.x, P.y);
    Up(B, C.Release.x, C.Release.y);
    EXPECT_EQ(Events(), C.Expected);
    EXPECT_EQ(B->GetButtonState(), XcButtonUp);
    delete B;
  }
}

TEST_F(XcSpeedButton, GroupsKeepOneButtonDown)
{
  auto* Lone = Button(0, 0, "lone");
  Lone->SetDown(true);
  EXPECT_FALSE(Lone->GetDown());

  auto* A = Button(50, 0, "a", 1);
  auto* B = Button(100, 0, "b", 1);
  auto* Other = Button(150, 0, "other", 2);
  A->SetDown(true);
  Other->SetDown(true);
  EXPECT_EQ(A->GetButtonState(), XcButtonExclusive);
  B->SetDown(true);
  EXPECT_FALSE(A->GetDown());
  EXPECT_EQ(A->GetButtonState(), XcButtonUp);
  EXPECT_TRUE(Other->GetDown());  // another group
  // Without AllowAllUp a click on the down button leaves it down, and still clicks.
  Down(B, 5, 5);
  Up(B, 5, 5);
  EXPECT_TRUE(B->GetDown());
  EXPECT_EQ(Events(), "up b; click b");
  B->SetDown(false);
  EXPECT_TRUE(B->GetDown());
  // A click on an up button of the group takes it down.
  Down(A, 5, 5);
  Up(A, 5, 5);
  EXPECT_TRUE(A->GetDown());
  EXPECT_FALSE(B->GetDown());
  // AllowAllUp set on one button goes to the whole group; then a click lets it up.
  B->SetAllowAllUp(true);
  EXPECT_TRUE(A->GetAllowAllUp());
  Down(A, 5, 5);
  Up(A, 5, 5);
  EXPECT_FALSE(A->GetDown());
  EXPECT_EQ(Events(), "up a; click a; up a; click a");
}

TEST_F(XcSpeedButton, DoubleClicksComeOnlyFromADownButton)
{
  auto* A = Button(0, 0, "a", 1);
  auto* Plain = Button(50, 0, "plain");
  int Doubles = 0;
  A->OnDblClick = [&](TObject*) { ++Doubles; };
  Plain->OnDblClick = [&](TObject*) { ++Doubles; };
  A->SetDown(true);
  A->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  A->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  Plain->Perform(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
  Plain->Perform(WM_LBUTTONUP, 0, MAKELPARAM(5, 5));
  EXPECT_EQ(Doubles, 1);
}

TEST_F(XcSpeedButton, HeldButtonRepeatsOnTheClock)
{
  auto* B = Button(20, 20, "b");
  B->SetAllowTimer(true);
  int Clicks = 0;
  B->OnClick = [&](TObject*) { ++Clicks; };
  struct TStep {
    const char* What;
    int Ms;       // clock moved by
    TPoint Move;  // pointer moved to first (-1: stays)
    int Clicks;
  };
  Down(B, 10, 10);
  const TStep Steps[] = {
      {"before the first pause", 499, Point(-1, -1), 0}, {"first repeat", 1, Point(-1, -1), 1},
      {"not yet the next", 99, Point(-1, -1), 1},        {"second repeat", 1, Point(-1, -1), 2},
      {"third", 100, Point(-1, -1), 3},                  {"off the button: none", 300, Point(80, 10), 3},
      {"back on it", 100, Point(10, 10), 4},
  };
  for (const auto& S : Steps) {
    SCOPED_TRACE(S.What);
    if (S.Move.x >= 0) Move(B, S.Move.x, S.Move.y);
    Advance(static_cast<DWORD>(S.Ms));
    EXPECT_EQ(Clicks, S.Clicks);
  }
  Up(B, 10, 10);
  EXPECT_EQ(Clicks, 5);  // the release clicks once more
  Advance(1000);
  EXPECT_EQ(Clicks, 5);
  // A failing click stops the repetition.
  B->OnClick = [&](TObject*) {
    ++Clicks;
    throw Exception("broken");
  };
  Application->OnException = [](TObject*, Exception*) {};
  Down(B, 10, 10);
  Advance(500);
  Advance(500);
  Application->OnException = nullptr;
  EXPECT_EQ(Clicks, 6);
  B->OnClick = nullptr;
  Up(B, 10, 10);
  B->SetAllowTimer(false);
}

TEST_F(XcSpeedButton, PressShowsTheDropDownMenuWithoutClicking)
{
  auto* B = Button(20, 20, "b");
  auto* Menu = new TPopupMenu(Form);
  int Shown = 0;
  Menu->OnPopup = [&](TObject*) { ++Shown; };
  B->SetDropDownMenu(Menu);
  Down(B, 10, 10);
  Up(B, 10, 10);
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(Menu->GetPopupComponent(), B);
  EXPECT_EQ(Events(), "up b");
  EXPECT_FALSE(B->GetPressing());
  Menu->SetAutoPopup(false);
  Down(B, 10, 10);
  Up(B, 10, 10);
  EXPECT_EQ(Shown, 1);
  EXPECT_EQ(Events(), "up b; click b");
  delete Menu;
  EXPECT_EQ(B->GetDropDownMenu(), nullptr);
}

TEST_F(XcSpeedButton, DropDownMenuPoint)
{
  struct TCase {
    TXcDropDownMenuPos Pos;
    TPopupAlignment Align;
    TPoint Expected;
  };
  const TCase Cases[] = {
      {dmpBottom, paLeft, Point(-1, 30)}, {dmpBottom, paRight, Point(41, 30)}, {dmpBottom, paCenter, Point(20, 30)},
      {dmpRight, paLeft, Point(40, -1)},  {dmpRight, paRight, Point(-1, -1)},  {dmpRight, paCenter, Point(20, 30)},
  };
  auto* B = Button(0, 0, "b");
  EXPECT_EQ(B->DropDownMenuPoint().x, 0);
  auto* Menu = new TPopupMenu(Form);
  B->SetDropDownMenu(Menu);
  for (const auto& C : Cases) {
    B->SetMenuPosition(C.Pos);
    Menu->SetAlignment(C.Align);
    const TPoint P = B->DropDownMenuPoint();
    EXPECT_EQ(P.x, C.Expected.x) << C.Pos << "/" << C.Align;
    EXPECT_EQ(P.y, C.Expected.y) << C.Pos << "/" << C.Align;
  }
}

TEST_F(XcSpeedButton, AltAndTheAcceleratorClick)
{
  auto* B = Button(0, 0, "b");
  B->SetCaption("&Crop");
  const LPARAM Alt = 0x20000000;
  EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'C', 0), 0);
  EXPECT_EQ(Events(), "");
  EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'C', Alt), 1);
  EXPECT_EQ(Events(), "click b");
  EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'X', Alt), 0);
  B->SetEnabled(false);
  EXPECT_EQ(B->Perform(CM_DIALOGCHAR, 'C', Alt), 0);
  EXPECT_EQ(Events(), "");
}

TEST_F(XcSpeedButton, ClicksCopyTheModalResultToTheForm)
{
  auto* B = Button(0, 0, "b");
  B->SetModalResult(mrOk);
  Down(B, 5, 5);
  Up(B, 5, 5);
  EXPECT_EQ(Form->GetModalResult(), mrOk);
  Form->SetModalResult(mrNone);
}

// ---- Painting ----

std::unique_ptr<TBitmap> RedDotGlyph()
{
  auto G = std::make_unique<TBitmap>();
  G->SetPixelFormat(pf24bit);
  G->SetSize(10, 10);
  G->GetCanvas()->GetBrush()->SetColor(clFuchsia);
  G->GetCanvas()->FillRect(TRect(0, 0, 10, 10));
  G->GetCanvas()->GetBrush()->SetColor(clRed);
  G->GetCanvas()->FillRect(TRect(3, 3, 7, 7));
  return G;
}

TEST_F(XcSpeedButton, FramesAndFacesOfTheStates)
{
  const COLORREF Face = ColorToRGB(clBtnFace);
  auto Shift = [&](int D) {
    auto Part = [D](int V) { return std::clamp(V + D, 0, 255); };
    return RGB(Part(GetRValue(Face)), Part(GetGValue(Face)), Part(GetBValue(Face)));
  };
  const COLORREF Light = Shift(64), Dark = Shift(-64), Frame = ColorToRGB(clWindowFrame);
  struct TCase {
    const char* Name;
    std::function<void(TXcSpeedButton*)> Set;
    COLORREF TopLeft, BottomRight, Inner;  // (0, 0), (39, 29), (1, 1)
  };
  const TCase Cases[] = {
      {"raised", [](TXcSpeedButton*) {}, Light, Frame, Face},
      {"down", [](TXcSpeedButton* B) { B->SetDown(true); }, Frame, Light, Dark},
      {"old style", [](TXcSpeedButton* B) { B->SetStyle(bsWin31); }, Frame, Frame, Light},
      {"flat, not hot", [](TXcSpeedButton* B) { B->SetFlat(true); }, RGB(255, 255, 255), RGB(255, 255, 255),
       RGB(255, 255, 255)},
      {"flat, hot",
       [](TXcSpeedButton* B) {
         B->SetFlat(true);
         B->Perform(CM_MOUSEENTER, 0, 0);
       },
       Light, Dark, RGB(255, 255, 255)},
      {"hot tracked with a frame",
       [](TXcSpeedButton* B) {
         B->SetHotTrack(true);
         B->GetHotTrackOptions()->SetEnabled(true);
         B->GetHotTrackOptions()->SetFrameVisible(true);
         B->GetHotTrackOptions()->SetFrameColor(clBlue);
         B->GetHotTrackOptions()->SetColor(clYellow);
         B->Perform(CM_MOUSEENTER, 0, 0);
       },
       RGB(0, 0, 255), RGB(0, 0, 255), RGB(255, 255, 0)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* B = Button(10, 10, "b", 1);
    C.Set(B);
    auto Shot = Snapshot(B);
    EXPECT_EQ(Pixel(Shot.get(), 0, 0), C.TopLeft);
    EXPECT_EQ(Pixel(Shot.get(), 39, 29), C.BottomRight);
    EXPECT_EQ(Pixel(Shot.get(), 1, 1), C.Inner);
    delete B;
  }
}

TEST_F(XcSpeedButton, GlyphLooksFollowStateAndHover)
{
  auto Red = RedDotGlyph();
  auto Blue = RedDotGlyph();
  Blue->GetCanvas()->GetBrush()->SetColor(clBlue);
  Blue->GetCanvas()->FillRect(TRect(3, 3, 7, 7));
  struct TCase {
    const char* Name;
    std::function<void(TXcSpeedButton*)> Set;
    COLORREF Centre;  // the glyph's centre, at (20, 15) of the button
  };
  const COLORREF Grey = RGB(76, 76, 76);
  const TCase Cases[] = {
      {"normal", [](TXcSpeedButton*) {}, RGB(255, 0, 0)},
      {"flat and inactive: grey", [](TXcSpeedButton* B) { B->SetFlat(true); }, Grey},
      {"flat, inactive look off", [](TXcSpeedButton* B) {
         B->SetFlat(true);
         B->SetGrayedInactive(false);
       }, RGB(255, 0, 0)},
      {"flat under the mouse", [](TXcSpeedButton* B) {
         B->SetFlat(true);
         B->Perform(CM_MOUSEENTER, 0, 0);
       }, RGB(255, 0, 0)},
      {"disabled", [](TXcSpeedButton* B) { B->SetEnabled(false); }, ColorToRGB(clBtnShadow)},
      {"hot glyph under the mouse", [&](TXcSpeedButton* B) {
         B->SetHotTrack(true);
         B->SetHotTrackGlyph(Blue.get());
         B->Perform(CM_MOUSEENTER, 0, 0);
       }, RGB(0, 0, 255)},
      {"hot glyph without the mouse", [&](TXcSpeedButton* B) {
         B->SetHotTrack(true);
         B->SetHotTrackGlyph(Blue.get());
       }, RGB(255, 0, 0)},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto* B = Button(10, 10, "b");
    B->SetGlyph(Red.get());
    C.Set(B);
    auto Shot = Snapshot(B);
    // The glyph is centred (blGlyphTop, no caption): its cell at (15, 10).
    EXPECT_EQ(Pixel(Shot.get(), 20, 15), C.Centre);
    delete B;
  }
}

TEST_F(XcSpeedButton, AssigningAnActionCopiesItsValues)
{
  struct TCase {
    const char* Name;
    bool Loading;  // the action is being loaded: only default values are replaced
    bool OwnValues;
    const char* Caption;
    bool Enabled;
    const char* Hint;
    int Group;
    const char* ClickRuns;
  };
  const TCase Cases[] = {
      {"assigned, own values", false, true, "act", true, "act hint", 3, "action"},
      {"loading, own values", true, true, "own", false, "own hint", 2, "own"},
      {"loading, defaults", true, false, "act", true, "act hint", 3, "action"},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    std::string Ran;
    auto* Action = new TAction(nullptr);
    Action->SetCaption("act");
    Action->SetHint("act hint");
    Action->SetGroupIndex(3);
    Action->SetVisible(false);
    Action->SetOnExecute([&](TObject* S) { Ran = S == Action ? "action" : "action, wrong sender"; });
    auto* B = Add<TXcSpeedButton>(Form, 0, 0, 40, 30);
    if (C.OwnValues) {
      B->SetCaption("own");
      B->SetEnabled(false);
      B->SetHint("own hint");
      B->SetGroupIndex(2);
      B->OnClick = [&](TObject*) { Ran = "own"; };
    }
    if (C.Loading) Action->BeginLoad();
    B->SetAction(Action);
    if (C.Loading) Action->EndLoad();
    EXPECT_EQ(B->GetCaption(), C.Caption);
    EXPECT_EQ(B->GetEnabled(), C.Enabled);
    EXPECT_EQ(B->GetHint(), C.Hint);
    EXPECT_FALSE(B->GetVisible()) << "visible is the default";
    EXPECT_EQ(B->GetGroupIndex(), C.Group);
    B->SetEnabled(true);
    B->Click();
    EXPECT_EQ(Ran, C.ClickRuns);
    delete B;
    EXPECT_EQ(Action->GetClientCount(), 0) << "a deleted button unregisters";
    delete Action;
  }
}

TEST_F(XcSpeedButton, ActionChangesReachTheButtonWhereItShowsTheActionsValue)
{
  using TFn = std::function<void(TXcSpeedButton*, TAction*)>;
  struct TCase {
    const char* Name;
    TFn Own;     // what the button is given of its own after linking
    TFn Change;  // the change of the action
    std::function<bool(TXcSpeedButton*)> Expect;
  };
  auto Nothing = [](TXcSpeedButton*, TAction*) {};
  const TCase Cases[] = {
      {"caption", Nothing, [](auto*, TAction* A) { A->SetCaption("new"); }, [](auto* B) { return B->GetCaption() == "new"; }},
      {"own caption stays", [](TXcSpeedButton* B, TAction*) { B->SetCaption("mine"); },
       [](auto*, TAction* A) { A->SetCaption("new"); }, [](auto* B) { return B->GetCaption() == "mine"; }},
      {"enabled", Nothing, [](auto*, TAction* A) { A->SetEnabled(false); }, [](auto* B) { return !B->GetEnabled(); }},
      {"hint", Nothing, [](auto*, TAction* A) { A->SetHint("h"); }, [](auto* B) { return B->GetHint() == "h"; }},
      {"visible", Nothing, [](auto*, TAction* A) { A->SetVisible(false); }, [](auto* B) { return !B->GetVisible(); }},
      {"group index", Nothing, [](auto*, TAction* A) { A->SetGroupIndex(5); }, [](auto* B) { return B->GetGroupIndex() == 5; }},
      {"own group index stays", [](TXcSpeedButton* B, TAction*) { B->SetGroupIndex(7); },
       [](auto*, TAction* A) { A->SetGroupIndex(5); }, [](auto* B) { return B->GetGroupIndex() == 7; }},
      {"checked goes down with all-up", [](TXcSpeedButton* B, TAction*) { B->SetAllowAllUp(true); },
       [](auto*, TAction* A) { A->SetChecked(true); }, [](auto* B) { return B->GetDown(); }},
      {"checked and back up", [](TXcSpeedButton* B, TAction* A) { B->SetAllowAllUp(true); A->SetChecked(true); },
       [](auto*, TAction* A) { A->SetChecked(false); }, [](auto* B) { return !B->GetDown(); }},
      {"checked without all-up", Nothing, [](auto*, TAction* A) { A->SetChecked(true); },
       [](auto* B) { return !B->GetDown(); }},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TAction Action(nullptr);
    Action.SetGroupIndex(1);
    auto* B = Add<TXcSpeedButton>(Form, 0, 0, 40, 30);
    B->SetAction(&Action);
    C.Own(B, &Action);
    C.Change(B, &Action);
    EXPECT_TRUE(C.Expect(B));
    delete B;
  }
}

TEST_F(XcSpeedButton, ClickingRunsTheActionAndANewHandlerReachesTheButton)
{
  TAction Action(nullptr);
  std::vector<std::string> Ran;
  Action.SetOnExecute([&](TObject*) { Ran.push_back(Action.GetActionComponent() ? Action.GetActionComponent()->GetName() : "none"); });
  auto* B = Add<TXcSpeedButton>(Form, 10, 10, 40, 30);
  B->SetName("b");
  B->SetAction(&Action);
  Down(B, 5, 5);
  Up(B, 5, 5);
  EXPECT_EQ(Ran, std::vector<std::string>{"b"}) << "the button executes it";
  EXPECT_EQ(Action.GetActionComponent(), nullptr);
  Action.SetOnExecute([&](TObject*) { Ran.push_back("new"); });
  B->Click();
  EXPECT_EQ(Ran.back(), "new");
  // A handler of the button's own is kept when the action's changes.
  B->OnClick = [&](TObject*) { Ran.push_back("own"); };
  Action.SetOnExecute([&](TObject*) { Ran.push_back("newer"); });
  B->Click();
  EXPECT_EQ(Ran.back(), "own");
  // A disabled action does not run.
  B->OnClick = Action.GetOnExecute();
  Action.SetEnabled(false);
  B->SetEnabled(true);
  size_t Count = Ran.size();
  B->Click();
  EXPECT_EQ(Ran.size(), Count);
  delete B;
}

TEST_F(XcSpeedButton, FreeingTheActionClearsTheLink)
{
  struct TCase {
    const char* Name;
    bool SameOwner;
  };
  for (const TCase& C : {TCase{"owned by the button's form", true}, TCase{"owned elsewhere", false}}) {
    SCOPED_TRACE(C.Name);
    TComponent Elsewhere(nullptr);
    auto* Action = new TAction(C.SameOwner ? static_cast<TComponent*>(Form) : &Elsewhere);
    int Ran = 0;
    Action->SetOnExecute([&](TObject*) { ++Ran; });
    auto* B = Add<TXcSpeedButton>(Form, 0, 0, 40, 30);
    B->SetAction(Action);
    delete Action;
    EXPECT_EQ(B->GetAction(), nullptr);
    EXPECT_EQ(B->GetActionLink(), nullptr);
    B->Click();  // the handler copied as OnClick still runs, with the button as sender
    EXPECT_EQ(Ran, 1);
    delete B;
  }
}

TEST_F(XcSpeedButton, AnActionsImageBecomesTheGlyph)
{
  TImageList Images(nullptr);
  Images.SetWidth(16);
  Images.SetHeight(12);
  TBitmap Red;
  Red.SetSize(16, 12);
  Red.GetCanvas()->GetBrush()->SetColor(clRed);
  Red.GetCanvas()->FillRect(Rect(0, 0, 16, 12));
  Images.Add(&Red, nullptr);
  TBitmap Own;
  Own.SetSize(8, 8);
  struct TCase {
    const char* Name;
    bool WithImages;
    int Index;
    bool OwnGlyph;
    int ExpectedWidth;
  };
  const TCase Cases[] = {
      {"image 0", true, 0, false, 16},         {"no image", true, -1, false, 0},
      {"past the list", true, 1, false, 0},    {"list without images", false, 0, false, 0},
      {"own glyph stays", true, 0, true, 8},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    TActionList List(nullptr);
    if (C.WithImages) List.SetImages(&Images);
    TAction Action(nullptr);
    Action.SetActionList(&List);
    Action.SetImageIndex(C.Index);
    auto* B = Add<TXcSpeedButton>(Form, 0, 0, 40, 30);
    if (C.OwnGlyph) B->SetGlyph(&Own);
    B->SetAction(&Action);
    EXPECT_EQ(B->GetGlyph()->GetWidth(), C.ExpectedWidth);
    if (C.ExpectedWidth == 16) {
      EXPECT_EQ(B->GetGlyph()->GetHeight(), 12);
      EXPECT_EQ(B->GetGlyph()->GetCanvas()->GetPixels(3, 3), clRed);
      EXPECT_EQ(B->GetGlyph()->GetTransparentColor(), clFuchsia);
    }
    delete B;
  }
}

}  // namespace
