#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "extctrls/XcExComCtrls.h"
#include "extctrls/XcExControls.h"
#include "extctrls/XcExExtCtrls.h"
#include "extctrls/XcExGrids.h"
#include "extctrls/XcExStdCtrls.h"
#include "extctrls/XcExtComponent.h"
#include "ExtctrlsTestSupport.h"
#include "platform/vcl/Bitmap.h"

namespace {

std::vector<String>& Log()
{
  static std::vector<String> L;
  return L;
}

// An extended control of any kind that logs what reaches the stock class's handlers.
template <class T>
class TProbe : public T {
public:
  explicit TProbe(TComponent* AOwner) : T(AOwner) {}
  bool SwallowColor = false;

  void HookColorChanged() override
  {
    Log().push_back("hook color");
    if (!SwallowColor) T::HookColorChanged();
  }

protected:
  void CMMouseEnter(TMessage& M) override
  {
    Log().push_back("stock enter");
    T::CMMouseEnter(M);
  }
  void CMMouseLeave(TMessage& M) override
  {
    Log().push_back("stock leave");
    T::CMMouseLeave(M);
  }
  void CMColorChanged(TMessage& M) override
  {
    Log().push_back("stock color");
    T::CMColorChanged(M);
  }
  void CMEnabledChanged(TMessage& M) override
  {
    Log().push_back("stock enabled");
    T::CMEnabledChanged(M);
  }
  void CMFontChanged(TMessage& M) override
  {
    Log().push_back("stock font");
    T::CMFontChanged(M);
  }
  void CMParentShowHintChanged(TMessage& M) override
  {
    Log().push_back("stock parent show hint");
    T::CMParentShowHintChanged(M);
  }
  void CMHitTest(TMessage& M) override
  {
    Log().push_back("stock hit test " + std::to_string(static_cast<std::int16_t>(M.LParam & 0xFFFF)) + "," +
                    std::to_string(static_cast<std::int16_t>((M.LParam >> 16) & 0xFFFF)));
    T::CMHitTest(M);
  }
  void CMTextChanged(TMessage& M) override
  {
    Log().push_back("stock text");
    T::CMTextChanged(M);
  }
};

template <class T>
std::unique_ptr<TProbe<T>> Placed(int X = 10, int Y = 10, int W = 60, int H = 40)
{
  auto C = std::make_unique<TProbe<T>>(nullptr);
  C->SetBounds(X, Y, W, H);
  C->SetParent(HostForm());
  return C;
}

template <class T>
class XcExLayerKinds : public testing::Test {};

using TKinds = testing::Types<TXcExGraphicControl, TXcExCustomEdit, TXcExCustomListBox, TXcExInplaceEditList,
                              TXcExPubInplaceEditList, TXcExStringGrid, TXcExCustomPanel, TXcExTrackBar,
                              TXcCustomPanel>;
TYPED_TEST_SUITE(XcExLayerKinds, TKinds);

}  // namespace

TYPED_TEST(XcExLayerKinds, MouseEnterRaisesItsEventBeforeTheStockHandlingAndLeaveAfterIt)
{
  auto C = Placed<TypeParam>();
  EXPECT_EQ(C->GetHintColor(), clDefault);
  EXPECT_FALSE(C->GetMouseOver());
  C->OnMouseEnter = [&](TObject* Sender) {
    EXPECT_EQ(Sender, C.get());
    Log().push_back(String("event enter, over ") + (C->GetMouseOver() ? "yes" : "no"));
  };
  C->OnMouseLeave = [&](TObject*) { Log().push_back(String("event leave, over ") + (C->GetMouseOver() ? "yes" : "no")); };
  Log().clear();
  C->Perform(CM_MOUSEENTER, 0, 0);
  C->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_EQ(Log(), (std::vector<String>{"event enter, over yes", "stock enter", "stock leave", "event leave, over no"}));
  EXPECT_TRUE(static_cast<bool>(C->OnMouseEnter)) << "the event stays assigned";
}

TYPED_TEST(XcExLayerKinds, NotificationHooksHandTheirMessageToTheStockClassOnce)
{
  auto C = Placed<TypeParam>();
  struct TCase {
    UINT Msg;
    LPARAM LParam;
    const char* Stock;
  };
  const TCase Cases[] = {
      {CM_COLORCHANGED, 0, "stock color"},
      {CM_ENABLEDCHANGED, 0, "stock enabled"},
      {CM_FONTCHANGED, 0, "stock font"},
      {CM_PARENTSHOWHINTCHANGED, 0, "stock parent show hint"},
      {CM_TEXTCHANGED, 0, "stock text"},
  };
  for (const auto& Case : Cases) {
    Log().clear();
    C->Perform(Case.Msg, 0, Case.LParam);
    std::vector<String> Stock;
    for (const auto& Line : Log())
      if (Line.rfind("stock", 0) == 0) Stock.push_back(Line);
    EXPECT_EQ(Stock, std::vector<String>{Case.Stock}) << Case.Msg;
  }
  // An override that does not call the default keeps the message from the stock class.
  C->SwallowColor = true;
  Log().clear();
  C->Perform(CM_COLORCHANGED, 0, 0);
  EXPECT_EQ(Log(), std::vector<String>{"hook color"});
}

TYPED_TEST(XcExLayerKinds, HitTestAndDialogCharReachTheHooksWithSignedPointsAndTheShiftState)
{
  struct THooks : TProbe<TypeParam> {
    using TProbe<TypeParam>::TProbe;
    bool HookHitTest(int X, int Y) override
    {
      Log().push_back("hit " + std::to_string(X) + "," + std::to_string(Y));
      return TProbe<TypeParam>::HookHitTest(X, Y);
    }
    bool HookDialogChar(Word Key, TShiftState Shift, const std::u16string& Text) override
    {
      Log().push_back("char " + std::to_string(Key) + " alt " + std::to_string((Shift & ssAlt) != 0) + " text " +
                      std::to_string(Text.size() == 1 && Text[0] == Key));
      return Key == 'Q';
    }
  };
  THooks C(nullptr);
  C.SetParent(HostForm());
  Log().clear();
  const LRESULT Hit = C.Perform(CM_HITTEST, 0, static_cast<LPARAM>(0xFFFE0005));  // (5, -2)
  EXPECT_EQ(Log(), (std::vector<String>{"hit 5,-2", "stock hit test 5,-2"}));
  EXPECT_EQ(Hit, 1) << "the stock answer HTCLIENT becomes 1";
  Log().clear();
  EXPECT_EQ(C.Perform(CM_DIALOGCHAR, 'Q', 0x20000000), 1);
  EXPECT_EQ(C.Perform(CM_DIALOGCHAR, 'R', 0), 0);
  EXPECT_EQ(Log(), (std::vector<String>{"char 81 alt 1 text 1", "char 82 alt 0 text 1"}));
}

TYPED_TEST(XcExLayerKinds, HintColourFollowsTheApplicationTheParentOrItsOwnValue)
{
  EnsureHeadless();
  auto Parent = std::make_unique<TXcExCustomPanel>(nullptr);
  Parent->SetParent(HostForm());
  Parent->SetBounds(0, 0, 200, 100);
  auto C = std::make_unique<TypeParam>(nullptr);
  C->SetParent(Parent.get());
  Application->SetHintColor(0x00ABCDEF);
  struct TCase {
    const char* Name;
    TColor Parents;
    TColor Own;
    TColor Expected;
  };
  const TCase Cases[] = {
      {"own", clDefault, 0x00112233, 0x00112233},
      {"application's", clDefault, clNone, 0x00ABCDEF},
      {"parent's own", 0x00445566, clDefault, 0x00445566},
      {"parent follows the application", clNone, clDefault, 0x00ABCDEF},
      {"nobody answers: the info's colour stays", clDefault, clDefault, 0x00778899},
  };
  for (const auto& Case : Cases) {
    Parent->SetHintColor(Case.Parents);
    C->SetHintColor(Case.Own);
    THintInfo Info;
    Info.HintColor = 0x00778899;
    Info.HintControl = C.get();
    C->Perform(CM_HINTSHOW, 0, reinterpret_cast<LPARAM>(&Info));
    EXPECT_EQ(Info.HintColor, Case.Expected) << Case.Name;
  }
  Application->SetHintColor(clInfoBk);
  C->SetParent(nullptr);
}

TEST(XcExControls, ParentColourAndFontFollowThroughTheHooksAndTheColourEventComesAfter)
{
  EnsureHeadless();
  auto Parent = std::make_unique<TXcExCustomPanel>(nullptr);
  Parent->SetParent(HostForm());
  auto Follower = std::make_unique<TXcExCustomPanel>(nullptr);
  auto Own = std::make_unique<TXcExGraphicControl>(nullptr);
  Follower->SetParentColor(true);
  Follower->SetParent(Parent.get());
  Own->SetParent(Parent.get());
  Own->SetColor(clYellow);
  Own->SetParentFont(false);
  std::vector<String> Seen;
  Follower->OnParentColorChange = [&](TObject* Sender) {
    EXPECT_EQ(Sender, Follower.get());
    Seen.push_back("follower " + std::to_string(Follower->GetColor()));
  };
  Own->OnParentColorChange = [&](TObject*) { Seen.push_back("own " + std::to_string(Own->GetColor())); };
  Parent->SetColor(clRed);
  EXPECT_EQ(Follower->GetColor(), clRed);
  EXPECT_EQ(Own->GetColor(), clYellow);
  // Graphic children hear it first.
  EXPECT_EQ(Seen, (std::vector<String>{"own " + std::to_string(clYellow), "follower " + std::to_string(clRed)}));

  Parent->GetFont()->SetSize(21);
  EXPECT_EQ(Follower->GetFont()->GetSize(), 21);
  EXPECT_NE(Own->GetFont()->GetSize(), 21);
}

TEST(XcExControls, MouseEnterAndLeaveUnderACaptureReachOnlyTheHolder)
{
  THeadlessDisplay* Display = EnsureHeadless();
  auto Form = std::make_unique<TForm>(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(100, 100, 300, 200);
  auto Panel = std::make_unique<TXcExCustomPanel>(nullptr);
  Panel->SetBounds(10, 10, 30, 30);
  Panel->SetParent(Form.get());
  auto Dot = std::make_unique<TXcExGraphicControl>(nullptr);
  Dot->SetBounds(60, 10, 30, 30);
  Dot->SetParent(Form.get());
  std::vector<String> Seen;
  Panel->OnMouseEnter = [&](TObject*) { Seen.push_back(String("panel enter ") + (Panel->GetMouseOver() ? "1" : "0")); };
  Panel->OnMouseLeave = [&](TObject*) { Seen.push_back(String("panel leave ") + (Panel->GetMouseOver() ? "1" : "0")); };
  Dot->OnMouseEnter = [&](TObject*) { Seen.push_back("dot enter"); };
  Dot->OnMouseLeave = [&](TObject*) { Seen.push_back("dot leave"); };
  Form->Show();
  ProcessPendingMessages();
  Display->InjectMouseMove(120, 120);
  ProcessPendingMessages();
  Display->InjectButton(120, 120, 1, true);
  ProcessPendingMessages();
  for (POINT P : {POINT{170, 120}, POINT{175, 125}, POINT{125, 125}}) {
    Display->InjectMouseMove(P.x, P.y);
    ProcessPendingMessages();
  }
  EXPECT_TRUE(Panel->GetMouseOver());
  Display->InjectButton(125, 125, 1, false);
  ProcessPendingMessages();
  Display->InjectMouseMove(170, 120);
  ProcessPendingMessages();
  EXPECT_EQ(Seen, (std::vector<String>{"panel enter 1", "panel leave 0", "panel enter 1", "panel leave 0", "dot enter"}));
  EXPECT_FALSE(Panel->GetMouseOver());
  EXPECT_TRUE(Dot->GetMouseOver());
  Display->InjectMouseMove(5, 5);
  ProcessPendingMessages();
}

namespace {

// A windowed extended control whose dialog-code hook does what the test asks.
class TDlgProbe : public TXcExCustomListBox {
public:
  using TXcExCustomListBox::TXcExCustomListBox;
  std::function<void(TXcDialogCodes&)> Hook;
  void HookGetDlgCode(TXcDialogCodes& Codes) override
  {
    if (Hook) Hook(Codes);
  }
};

}  // namespace

TEST(XcExControls, DialogCodesStandUnlessTheHookDropsTheNativeMark)
{
  EnsureHeadless();
  TDlgProbe Probe(nullptr);
  Probe.SetParent(HostForm());
  const LRESULT Stock = [&] {
    TCustomListBox Plain(nullptr);
    Plain.SetParent(HostForm());
    return Plain.Perform(WM_GETDLGCODE, 0, 0);
  }();
  struct TCase {
    const char* Name;
    std::function<void(TXcDialogCodes&)> Hook;
    LRESULT Expected;
  };
  const TCase Cases[] = {
      {"no hook", nullptr, Stock},
      {"changed but native", [](TXcDialogCodes& C) { C |= XcCode(dcsWantTab) | XcCode(dcsButton); }, Stock},
      {"replaced", [](TXcDialogCodes& C) { C = XcCode(dcsWantTab) | XcCode(dcsWantChars); }, DLGC_WANTTAB | DLGC_WANTCHARS},
      {"emptied", [](TXcDialogCodes& C) { C = 0; }, 0},
  };
  for (const auto& Case : Cases) {
    Probe.Hook = Case.Hook;
    EXPECT_EQ(Probe.Perform(WM_GETDLGCODE, 0, 0), Case.Expected) << Case.Name;
  }
  // Translation both ways: bits outside the table are dropped.
  EXPECT_EQ(DlgcToCodeSet(DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_STATIC | DLGC_HASSETSEL),
            XcCode(dcsWantAllKeys) | XcCode(dcsWantArrows) | XcCode(dcsHasSetSel));
  EXPECT_EQ(CodeSetToDlgc(0x7F), DLGC_WANTALLKEYS | DLGC_WANTARROWS | DLGC_WANTCHARS | DLGC_BUTTON | DLGC_HASSETSEL |
                                     DLGC_WANTTAB);
  EXPECT_EQ(ShiftStateToKeyFlags(ssShift | ssCtrl | ssAlt), 0x38000000);
}

TEST(XcExControls, TheEditRefusesTheClipboardCommandsItLacks)
{
  EnsureHeadless();
  struct TCase {
    UINT Msg;
    TXcClipboardCommand Needed;
  };
  const TCase Cases[] = {{WM_CUT, caCut},     {WM_COPY, caCopy}, {WM_PASTE, caPaste},
                         {WM_CLEAR, caClear}, {WM_UNDO, caUndo}, {EM_UNDO, caUndo}};
  for (const auto& Case : Cases) {
    TXcExCustomEdit Edit(nullptr);
    Edit.SetParent(HostForm());
    Edit.HandleNeeded();
    EXPECT_EQ(Edit.GetClipboardCommands(), XcAllClipboardCommands);
    Edit.SetText("before");
    Edit.Perform(EM_SETSEL, 0, 6);
    Edit.SetClipboardCommands(XcAllClipboardCommands & ~XcCommand(Case.Needed));
    EXPECT_EQ(Edit.Perform(Case.Msg, 0, 0), 1) << Case.Msg;
    EXPECT_EQ(Edit.GetText(), "before") << Case.Msg;
  }
  // Allowed, the stock edit does the work.
  TXcExCustomEdit Edit(nullptr);
  Edit.SetParent(HostForm());
  Edit.HandleNeeded();
  Edit.SetText("before");
  Edit.Perform(EM_SETSEL, 0, 6);
  Edit.Perform(WM_CLEAR, 0, 0);
  EXPECT_EQ(Edit.GetText(), "");
}

namespace {

class TEraseProbe : public TXcExCustomPanel {
public:
  using TXcExCustomPanel::TXcExCustomPanel;
  int Calls = 0;
  bool HookEraseBackground(TCanvas* Canvas, LPARAM Param) override
  {
    ++Calls;
    HDC DC = Canvas->GetHandle();
    SetWindowOrgEx(DC, 7, 9, nullptr);
    IntersectClipRect(DC, 1, 1, 3, 3);
    Canvas->GetBrush()->SetColor(clRed);
    Canvas->FillRect(Rect(0, 0, 2, 2));
    return TXcExCustomPanel::HookEraseBackground(Canvas, Param);
  }
};

}  // namespace

TEST(XcExControls, EraseAndPrintLeaveTheCallersDcAsTheyFoundIt)
{
  EnsureHeadless();
  TEraseProbe Probe(nullptr);
  Probe.SetBounds(0, 0, 40, 30);
  Probe.SetParent(HostForm());
  EXPECT_EQ(Probe.Perform(WM_ERASEBKGND, 0, 0), Probe.Perform(WM_ERASEBKGND, 0, 0));
  EXPECT_EQ(Probe.Calls, 0) << "no DC: the stock handler alone";

  TBitmap Bitmap;
  Bitmap.SetSize(40, 30);
  HDC DC = Bitmap.GetCanvas()->GetHandle();
  HRGN Before = CreateRectRgn(0, 0, 0, 0);
  EXPECT_EQ(GetClipRgn(DC, Before), 0) << "no clip to start with";
  for (UINT Msg : {UINT(WM_ERASEBKGND), UINT(WM_PRINTCLIENT), UINT(WM_PRINT)}) {
    Probe.Perform(Msg, reinterpret_cast<WPARAM>(DC), Msg == WM_ERASEBKGND ? 0 : PRF_CLIENT);
    POINT Org{-1, -1};
    GetWindowOrgEx(DC, &Org);
    EXPECT_EQ(Org.x, 0) << Msg;
    EXPECT_EQ(Org.y, 0) << Msg;
    EXPECT_EQ(GetClipRgn(DC, Before), 0) << Msg;
  }
  EXPECT_EQ(Probe.Calls, 1);
  DeleteObject(Before);
}

TEST(XcExControls, ControlListHooksSeeInsertAndRemoveInTheirOrder)
{
  EnsureHeadless();
  struct TListProbe : TXcExCustomPanel {
    using TXcExCustomPanel::TXcExCustomPanel;
    std::vector<String> Seen;
    void HookControlListChanging(TControl* C, bool Inserting) override
    {
      Seen.push_back(String("changing ") + C->GetName() + (Inserting ? " in" : " out"));
      TXcExCustomPanel::HookControlListChanging(C, Inserting);
    }
    void HookControlListChanged(TControl* C, bool Inserting) override
    {
      Seen.push_back(String("changed ") + C->GetName() + (Inserting ? " in" : " out"));
      TXcExCustomPanel::HookControlListChanged(C, Inserting);
    }
  };
  TListProbe Panel(nullptr);
  Panel.SetParent(HostForm());
  TXcExGraphicControl Child(nullptr);
  Child.SetName("Child");
  Child.SetParent(&Panel);
  EXPECT_EQ(Panel.GetControlCount(), 1);
  Child.SetParent(nullptr);
  EXPECT_EQ(Panel.GetControlCount(), 0);
  ASSERT_GE(Panel.Seen.size(), 3u);
  EXPECT_EQ(Panel.Seen[0], "changing Child in");
  EXPECT_EQ(Panel.Seen[1], "changed Child in");
  EXPECT_EQ(Panel.Seen[2], "changing Child out");
}

TEST(XcExControls, FlatFrameTwoBluePixelsWhenFocusedGreyAndOwnColourOtherwise)
{
  struct TCase {
    bool Focused;
    COLORREF Outer, Inner, Inside;
  };
  const TCase Cases[] = {{true, 0x00733800, 0x00733800, 0x00FFFFFF}, {false, 0x00808080, 0x0000FF00, 0x00FFFFFF}};
  for (const auto& Case : Cases) {
    TBitmap B;
    B.SetSize(10, 8);
    B.GetCanvas()->GetBrush()->SetColor(clWhite);
    B.GetCanvas()->FillRect(Rect(0, 0, 10, 8));
    DrawFlatBorder(B.GetCanvas()->GetHandle(), Rect(0, 0, 10, 8), clLime, Case.Focused);
    EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 0, 0), Case.Outer);
    EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 9, 7), Case.Outer);
    EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 1, 1), Case.Inner);
    EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 8, 6), Case.Inner);
    EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 2, 2), Case.Inside);
  }
}

TEST(XcExControls, TheCustomPanelPaintsItsContentAfterThePanelAndLoadsTheOld3DValues)
{
  EnsureHeadless();
  TXcCustomPanel Panel(nullptr);
  Panel.SetBounds(0, 0, 50, 40);
  Panel.SetParent(HostForm());
  TRect Seen{};
  Panel.OnPaintContent = [&](TObject* Sender, TCanvas* Canvas, const TRect& R) {
    EXPECT_EQ(Sender, &Panel);
    Seen = R;
    Canvas->GetBrush()->SetColor(clRed);
    Canvas->FillRect(Rect(20, 20, 22, 22));
  };
  TBitmap B;
  B.SetSize(50, 40);
  Panel.PaintTo(B.GetCanvas()->GetHandle(), 0, 0);
  EXPECT_EQ(Seen, Panel.GetClientRect());
  EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 21, 21), 0x000000FFu) << "the content is on top of the panel";

  EXPECT_TRUE(Panel.ReadStoredValue("Ctl3D", false));
  EXPECT_FALSE(Panel.GetCtl3D());
  EXPECT_TRUE(Panel.ReadStoredValue("ParentCtl3D", false));
  EXPECT_FALSE(Panel.GetParentCtl3D());
  EXPECT_FALSE(Panel.ReadStoredValue("Color", false));
}
