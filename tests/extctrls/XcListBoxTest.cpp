#include <gtest/gtest.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ExtctrlsTestSupport.h"
#include "TestDataProvider.h"
#include "extctrls/XcDrawUtils.h"
#include "extctrls/XcListBox.h"
#include "platform/vcl/Bitmap.h"

namespace {

std::unique_ptr<TXcListBox> NewListBox(const std::vector<std::string>& Items = {})
{
  auto L = std::make_unique<TXcListBox>(nullptr);
  L->SetParent(HostForm());
  L->SetBounds(0, 0, 150, 120);
  for (const std::string& S : Items) L->GetItems()->Add(S);
  return L;
}

std::vector<std::string> ItemsOf(TXcCustomListBox* L)
{
  std::vector<std::string> R;
  for (int I = 0; I < L->GetItems()->GetCount(); ++I) R.push_back(L->GetItems()->Get(I));
  return R;
}

int WindowExtent(TXcCustomListBox* L) { return static_cast<int>(SendMessageA(L->GetHandle(), LB_GETHORIZONTALEXTENT, 0, 0)); }

int MeasuredWidth(TXcCustomListBox* L, const String& S)
{
  int W = 0, H = 0;
  L->MeasureText(S, 0, W, H);
  return W;
}

}  // namespace

TEST(XcListBox, StartsStandardAndSwitchesToOwnerDrawForAlignedText)
{
  auto L = NewListBox();
  EXPECT_EQ(L->GetStyle(), lbStandard);
  EXPECT_EQ(L->GetScrollBars(), ssBoth);
  EXPECT_TRUE(L->GetShowFocusRect());
  EXPECT_EQ(L->GetSelectedColor(), clHighlight);
  EXPECT_EQ(L->GetSelectedTextColor(), clHighlightText);
  EXPECT_EQ(L->GetDisabledTextColor(), clGrayText);
  EXPECT_FALSE(L->GetProviderActive());
  L->SetAlignment(taCenter);
  EXPECT_EQ(L->GetStyle(), lbOwnerDrawFixed);
  L->GetCanvas()->GetFont()->Assign(L->GetFont());
  EXPECT_EQ(L->GetItemHeight(), CanvasFontHeight(L->GetCanvas()) + 2);
  L->SetAlignment(taLeftJustify);
  EXPECT_EQ(L->GetStyle(), lbOwnerDrawFixed) << "turning the option off keeps the owner-draw style";
}

TEST(XcListBox, MultiLineWrapsAtTheClientWidthWithoutHorizontalExtent)
{
  auto L = NewListBox({"short", "a line of text long enough to wrap over several lines of the list box"});
  EXPECT_GT(L->GetExtentWidth(), 0);
  L->SetMultiLine(true);
  EXPECT_EQ(L->GetStyle(), lbOwnerDrawVariable);
  EXPECT_EQ(L->GetScrollBars(), ssVertical);
  EXPECT_EQ(L->GetExtentWidth(), 0);
  EXPECT_EQ(WindowExtent(L.get()), 0);
  EXPECT_TRUE(L->WrapsAtClientWidth());
  int Short = 0, Long = 0;
  L->Perform(CN_MEASUREITEM, 0, 0);
  MEASUREITEMSTRUCT M{};
  M.itemID = 0;
  L->Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&M));
  Short = static_cast<int>(M.itemHeight);
  M.itemID = 1;
  L->Perform(CN_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&M));
  Long = static_cast<int>(M.itemHeight);
  EXPECT_GT(Long, Short * 2) << "the long item wraps";
  EXPECT_LE(Long, 255);
  // The wrapped height is what the text needs at the client width minus 2.
  int W = 0, H = 0;
  L->MeasureText(L->GetItems()->Get(1), L->GetClientWidth(), W, H);
  EXPECT_EQ(Long, H);
}

TEST(XcListBox, AppendingReportsTheItemAndAChangeInsertingReportsNothing)
{
  auto L = NewListBox();
  std::vector<std::string> Seen;
  L->OnAddString = [&](TObject*, const String& S) { Seen.push_back("add " + S); };
  L->OnDeleteString = [&](TObject*, const String& S) { Seen.push_back("delete " + S); };
  L->OnChange = [&](TObject*) { Seen.push_back("change " + std::to_string(L->GetItems()->GetCount())); };
  L->GetItems()->Add("one");
  L->GetItems()->Insert(0, "zero");
  L->GetItems()->Delete(1);
  EXPECT_EQ(Seen, (std::vector<std::string>{"add one", "change 1", "delete one", "change 1"}));
  EXPECT_EQ(ItemsOf(L.get()), (std::vector<std::string>{"zero"}));
}

TEST(XcListBox, TheExtentFollowsTheWidestItem)
{
  auto L = NewListBox({"mid item", "the widest item of all", "tiny"});
  const int Widest = MeasuredWidth(L.get(), "the widest item of all");
  EXPECT_GE(L->GetExtentWidth(), Widest);
  EXPECT_EQ(WindowExtent(L.get()), L->GetExtentWidth());
  const int Before = L->GetExtentWidth();
  L->GetItems()->Delete(2);
  EXPECT_EQ(L->GetExtentWidth(), Before) << "a narrower item goes without a new measure";
  L->GetItems()->Delete(1);
  EXPECT_EQ(L->GetExtentWidth(), MeasuredWidth(L.get(), "mid item")) << "the widest went: measured again";
  const int Kept = L->GetExtentWidth();
  L->Clear();
  EXPECT_EQ(L->GetExtentWidth(), Kept);
  EXPECT_EQ(WindowExtent(L.get()), 0);
}

TEST(XcListBox, MovingTheSelectedItem)
{
  struct TCase {
    const char* Name;
    int ItemIndex;
    bool Up;
    std::vector<std::string> Items;
    int NewIndex;
  } const Cases[] = {
      {"up from 1", 1, true, {"b", "a", "c"}, 0},       {"up from 0", 0, true, {"a", "b", "c"}, 0},
      {"up without selection", -1, true, {"a", "b", "c"}, -1}, {"down from 1", 1, false, {"a", "c", "b"}, 2},
      {"down from the last", 2, false, {"a", "b", "c"}, 2},    {"down without selection", -1, false, {"a", "b", "c"}, -1},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto L = NewListBox({"a", "b", "c"});
    L->SetItemIndex(C.ItemIndex);
    if (C.Up)
      L->MoveSelectedUp();
    else
      L->MoveSelectedDown();
    EXPECT_EQ(ItemsOf(L.get()), C.Items);
    EXPECT_EQ(L->GetItemIndex(), C.NewIndex);
  }
}

TEST(XcListBox, MovingSeveralSelectedItems)
{
  auto L = NewListBox({"a", "b", "c", "d"});
  L->SetMultiSelect(true);
  L->SetSelected(1, true);
  L->SetSelected(3, true);
  L->MoveSelectedUp();
  EXPECT_EQ(ItemsOf(L.get()), (std::vector<std::string>{"b", "a", "d", "c"}));
  EXPECT_TRUE(L->GetSelected(0));
  EXPECT_TRUE(L->GetSelected(2));
  L->MoveSelectedUp();  // the first is selected: nothing
  EXPECT_EQ(ItemsOf(L.get()), (std::vector<std::string>{"b", "a", "d", "c"}));
}

TEST(XcListBox, DroppingAnItemMovesIt)
{
  struct TCase {
    int From;
    int OnItem;  // -1: below the last item
    std::vector<std::string> Items;
  } const Cases[] = {
      {2, 5, {"0", "1", "3", "4", "2", "5"}},
      {4, 1, {"0", "4", "1", "2", "3", "5"}},
      {1, -1, {"0", "2", "3", "4", "5", "1"}},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.From);
    auto L = NewListBox({"0", "1", "2", "3", "4", "5"});
    L->SetBounds(0, 0, 150, 200);
    L->SetItemIndex(C.From);
    TDragObject* Drag = nullptr;
    L->DefaultStartDrag(Drag);
    ASSERT_NE(L->GetDragImages(), nullptr);
    EXPECT_EQ(L->GetDragImages()->GetCount(), 1);
    TRect R = C.OnItem >= 0 ? L->ItemRect(C.OnItem) : L->ItemRect(5);
    const int Y = C.OnItem >= 0 ? (R.top + R.bottom) / 2 : R.bottom + 5;
    bool Accept = false;
    L->DefaultDragOver(L.get(), 5, Y, dsDragMove, Accept);
    EXPECT_TRUE(Accept);
    L->DefaultDragDrop(L.get(), 5, Y);
    EXPECT_EQ(ItemsOf(L.get()), C.Items);
  }
  auto Other = NewListBox({"x"});
  auto L = NewListBox({"a"});
  bool Accept = true;
  L->DefaultDragOver(Other.get(), 5, 5, dsDragMove, Accept);
  EXPECT_FALSE(Accept) << "only its own items";
}

TEST(XcListBox, DeletingTheSelectedItemSelectsTheOneBefore)
{
  auto L = NewListBox({"a", "b", "c"});
  L->SetItemIndex(0);
  L->DeleteSelected();
  EXPECT_EQ(ItemsOf(L.get()), (std::vector<std::string>{"b", "c"}));
  EXPECT_EQ(L->GetItemIndex(), 0);
  L->SetItemIndex(1);
  L->DeleteSelected();
  EXPECT_EQ(L->GetItemIndex(), 0);
  L->DeleteSelected();
  EXPECT_TRUE(ItemsOf(L.get()).empty());
  EXPECT_EQ(L->GetItemIndex(), -1);
}

TEST(XcListBox, AScrollEventCanKeepTheListWhereItIs)
{
  std::vector<std::string> Items;
  for (int I = 0; I < 40; ++I) Items.push_back("item number " + std::to_string(I) + " with a long enough text to scroll");
  auto L = NewListBox(Items);
  int Calls = 0;
  bool Veto = true;
  L->OnVerticalScroll = [&](TObject*, const TWMScroll& M, bool& DontScroll) {
    ++Calls;
    EXPECT_EQ(M.ScrollCode, SB_LINEDOWN);
    DontScroll = Veto;
  };
  L->OnHorizontalScroll = [&](TObject*, const TWMScroll&, bool& DontScroll) { DontScroll = Veto; };
  L->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(L->GetTopIndex(), 0);
  const int Pos = GetScrollPos(L->GetHandle(), SB_HORZ);
  L->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(GetScrollPos(L->GetHandle(), SB_HORZ), Pos);
  Veto = false;
  L->Perform(WM_VSCROLL, SB_LINEDOWN, 0);
  EXPECT_EQ(L->GetTopIndex(), 1);
  EXPECT_EQ(Calls, 2);
}

TEST(XcListBox, TheScrollOffsetOfABackgroundNeverDividesByAnEmptyRange)
{
  auto L = NewListBox({"a"});
  TBitmap Picture;
  Picture.SetSize(8, 8);
  L->GetBackground()->SetImage(&Picture);
  L->GetBackground()->SetVisible(true);
  EXPECT_EQ(L->GetStyle(), lbOwnerDrawFixed);
  // One short item in a wide list: nothing to scroll, the range has no maximum.
  SCROLLINFO Info;
  Info.fMask = SIF_RANGE | SIF_POS;
  ASSERT_TRUE(GetScrollInfo(L->GetHandle(), SB_HORZ, &Info));
  ASSERT_EQ(Info.nMax, 0);
  ASSERT_GT(L->GetExtentWidth(), 0);
  L->Perform(WM_HSCROLL, SB_LINERIGHT, 0);
  EXPECT_EQ(L->GetScrollOffset(), 0);
}

TEST(XcListBox, SelectionCancelIsTheListNotificationAndMovesStayMoves)
{
  auto L = NewListBox({"a"});
  int Cancels = 0;
  L->OnSelectCancel = [&](TObject*) { ++Cancels; };
  L->SetBounds(20, 10, 150, 120);
  EXPECT_EQ(Cancels, 0);
  RECT R{};
  GetWindowRect(L->GetHandle(), &R);
  RECT F{};
  GetWindowRect(HostForm()->GetHandle(), &F);
  EXPECT_EQ(R.left - F.left, 20) << "the window moved";
  EXPECT_EQ(L->GetLeft(), 20);
  L->Perform(CN_COMMAND, MAKEWPARAM(0, LBN_SELCANCEL), reinterpret_cast<LPARAM>(L->GetHandle()));
  EXPECT_EQ(Cancels, 1);
}

TEST(XcListBox, HotTrackingRaisesTheBorderWhileTheMouseIsOver)
{
  auto L = NewListBox({"a"});
  L->SetHotTrack(true);
  EXPECT_TRUE(L->GetFlat());
  int Enters = 0;
  L->OnMouseEnter = [&](TObject*) { ++Enters; };
  L->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(L->GetFlat());
  EXPECT_EQ(Enters, 1);
  L->Perform(CM_MOUSELEAVE, 0, 0);
  EXPECT_TRUE(L->GetFlat());
  L->SetHotTrack(false);
  L->Perform(CM_MOUSEENTER, 0, 0);
  EXPECT_FALSE(L->GetFlat()) << "without hot tracking the border stays as it is";
}

TEST(XcListBox, BackgroundAssignCopiesWithoutChangeEventsAndRefusesOtherObjects)
{
  TXcListBoxBackground A, B;
  int Changes = 0;
  B.OnChange = [&](TObject*) { ++Changes; };
  TBitmap Picture;
  Picture.SetSize(4, 3);
  A.SetImage(&Picture);
  A.SetFillMode(bfmStretch);
  A.SetVisible(true);
  B.Assign(&A);
  EXPECT_EQ(Changes, 0);
  EXPECT_TRUE(B.DoDraw());
  EXPECT_EQ(B.GetFillMode(), bfmStretch);
  EXPECT_EQ(B.GetImage()->GetWidth(), 4);
  TStringList NotABackground;
  EXPECT_THROW(B.Assign(&NotABackground), EConvertError);
}

// ---------- provider mode ----------

namespace {

struct TProviderFixture {
  std::unique_ptr<TXcListBox> L = NewListBox();
  TIntf<TTestDataProvider> P = NewTestProvider();
  TObject Tag1, Tag2;
  TProviderFixture()
  {
    L->GetItems()->AddObject("own one", &Tag1);
    L->GetItems()->AddObject("own two", &Tag2);
    BuildTestTree(P->Root(), {"row a", " row a1", "row b"});
  }
  ~TProviderFixture() { L->GetProvider()->SetProvider(nullptr); }
};

}  // namespace

TEST(XcListBoxProvider, ShowsTheProvidersRowsAndBringsTheOwnItemsBack)
{
  TProviderFixture F;
  F.L->GetProvider()->SetProvider(F.P.Get());
  EXPECT_TRUE(F.L->GetProviderActive());
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETCOUNT, 0, 0), 3);
  EXPECT_EQ(F.L->GetItemsShowing()->Get(1), "row a1");
  char Buffer[64] = "untouched";
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETTEXT, 2, reinterpret_cast<LPARAM>(Buffer)), 5);
  EXPECT_STREQ(Buffer, "row b");
  std::strcpy(Buffer, "untouched");
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETTEXT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(Buffer)), LB_ERR);
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETTEXT, 3, reinterpret_cast<LPARAM>(Buffer)), LB_ERR);
  EXPECT_STREQ(Buffer, "untouched");
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETTEXTLEN, 1, 0), 6);
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("ROW A")), 0);
  EXPECT_EQ(F.L->GetItemIndex(), 0);
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_FINDSTRING, 0, reinterpret_cast<LPARAM>("row")), 1);
  F.L->DeleteSelected();
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETCOUNT, 0, 0), 3) << "editing is refused";

  F.L->GetProvider()->SetProvider(nullptr);
  EXPECT_FALSE(F.L->GetProviderActive());
  ASSERT_EQ(F.L->GetItems()->GetCount(), 2);
  EXPECT_EQ(F.L->GetItems()->Get(0), "own one");
  EXPECT_EQ(F.L->GetItems()->GetObject(0), &F.Tag1);
  EXPECT_EQ(F.L->GetItems()->GetObject(1), &F.Tag2);
}

TEST(XcListBoxProvider, AnOwnItemChangeEndsProviderMode)
{
  TProviderFixture F;
  F.L->GetProvider()->SetProvider(F.P.Get());
  F.L->GetItems()->Add("own three");
  EXPECT_FALSE(F.L->GetProviderActive());
  EXPECT_FALSE(F.L->GetProvider()->GetProvider());
  EXPECT_EQ(ItemsOf(F.L.get()), (std::vector<std::string>{"own one", "own two", "own three"}));
}

TEST(XcListBoxProvider, ReplacingTheProviderShowsTheNewOne)
{
  TProviderFixture F;
  F.L->GetProvider()->SetProvider(F.P.Get());
  auto Q = NewTestProvider();
  BuildTestTree(Q->Root(), {"other"});
  F.L->GetProvider()->SetProvider(Q.Get());
  EXPECT_TRUE(F.L->GetProviderActive());
  EXPECT_EQ(SendMessageA(F.L->GetHandle(), LB_GETCOUNT, 0, 0), 1);
  EXPECT_EQ(F.L->GetItemsShowing()->Get(0), "other");
  F.L->GetProvider()->SetProvider(nullptr);
  EXPECT_EQ(ItemsOf(F.L.get()), (std::vector<std::string>{"own one", "own two"}));
}

TEST(XcListBoxProvider, LongOwnItemsMoveOutAndBackWhole)
{
  auto L = NewListBox();
  const std::string Long(5000, 'x');
  L->GetItems()->Add(Long + "y");
  auto P = NewTestProvider();
  L->GetProvider()->SetProvider(P.Get());
  L->GetProvider()->SetProvider(nullptr);
  ASSERT_EQ(L->GetItems()->GetCount(), 1);
  EXPECT_EQ(L->GetItems()->Get(0), Long + "y");
}

namespace {

// Records the draw states it is asked to draw with.
class TStateRecorder : public TXcBaseDataItemsRenderer {
  XC_CLASS_REF(TStateRecorder)

public:
  using TXcBaseDataItemsRenderer::TXcBaseDataItemsRenderer;
  void DoDrawItem(TCanvas*, const TRect&, IXcDataItem* Item, TXcProviderDrawStates State) override
  {
    Seen.push_back(Item->GetID() + ":" + std::to_string(State));
  }
  SIZE DoMeasureItem(TCanvas*, IXcDataItem*) override { return SIZE{10, 10}; }
  SIZE AvgItemSize(TCanvas*) override { return SIZE{10, 10}; }
  std::vector<std::string> Seen;
};
XC_DEFINE_CLASS_REF(TStateRecorder, TXcBaseDataItemsRenderer::StaticClass(), nullptr)

}  // namespace

TEST(XcListBoxProvider, ADisabledListDrawsRowsGrayedAndDisabled)
{
  TProviderFixture F;
  auto* Recorder = XcCreate<TStateRecorder>(static_cast<TXcBaseDataItems*>(F.P->Root()));
  F.L->GetProvider()->SetProvider(F.P.Get());
  TBitmap Surface;
  Surface.SetSize(150, 20);
  DRAWITEMSTRUCT S{};
  S.CtlType = ODT_LISTBOX;
  S.hDC = Surface.GetCanvas()->GetHandle();
  S.rcItem = RECT{0, 0, 150, 16};
  S.itemID = 1;
  S.itemState = ODS_SELECTED;
  F.L->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&S));
  F.L->SetEnabled(false);
  F.L->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&S));
  EXPECT_EQ(Recorder->Seen, (std::vector<std::string>{"row a1:1", "row a1:7"}));
}

// ---------- looks ----------

#include "platform/display/Screenshot.h"
#include "platform/rtl/Files.h"

TEST(XcListBoxLooks, OwnerDrawnItemsWithSelectionColoursAndABackgroundAreKeptAsAScreenshot)
{
  THeadlessDisplay* Display = EnsureHeadless();
  auto Form = std::make_unique<TForm>(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 480, 160);
  auto Place = [&](int X) {
    auto* L = new TXcListBox(Form.get());
    L->SetParent(Form.get());
    L->SetBounds(X, 5, 150, 150);
    return L;
  };
  TXcListBox* Plain = Place(5);
  for (const char* S : {"/videos/holiday.avi", "/videos/concert.mkv", "/videos/interview.mp4"}) Plain->GetItems()->Add(S);
  Plain->SetItemIndex(1);
  TXcListBox* Centered = Place(165);
  Centered->SetAlignment(taCenter);
  Centered->SetSelectedColor(clRed);
  Centered->SetSelectedTextColor(clYellow);
  for (const char* S : {"left", "centre", "right"}) Centered->GetItems()->Add(S);
  Centered->SetItemIndex(0);
  TXcListBox* Wrapped = Place(325);
  TBitmap Tile;
  Tile.SetSize(10, 10);
  Tile.GetCanvas()->GetBrush()->SetColor(0x00E0F0E0);
  Tile.GetCanvas()->FillRect(TRect{0, 0, 10, 10});
  Tile.GetCanvas()->GetPen()->SetColor(0x00A0D0A0);
  Tile.GetCanvas()->MoveTo(0, 9);
  Tile.GetCanvas()->LineTo(10, 9);
  Wrapped->GetBackground()->SetImage(&Tile);
  Wrapped->GetBackground()->SetVisible(true);
  Wrapped->SetMultiLine(true);
  for (const char* S : {"a long entry that wraps over two or three lines", "short", "another wrapping entry here"})
    Wrapped->GetItems()->Add(S);
  Form->Show();
  for (int I = 0; I < 10; ++I) Application->ProcessMessages();
  const String File = String(QV_TEST_BIN_DIR) + "/../extctrls-listboxes.png";
  DeleteFile(File);
  ASSERT_TRUE(SaveWindowPng(*Display, GetDisplayWindow(Form->GetHandle()), File));
  // The selected item of the centred list is filled with its selection colour.
  const TRect R = Centered->ItemRect(0);
  HDC DC = GetDC(Centered->GetHandle());
  EXPECT_EQ(GetPixel(DC, R.left + 3, R.top + 2), static_cast<COLORREF>(0x0000FF));
  ReleaseDC(Centered->GetHandle(), DC);
  // Below the last item of the list with a background the picture shows, not the window colour.
  HDC WDC = GetDC(Wrapped->GetHandle());
  EXPECT_EQ(GetPixel(WDC, 5, 140), static_cast<COLORREF>(0xE0F0E0));
  ReleaseDC(Wrapped->GetHandle(), WDC);
  Form->Hide();
}

TEST(XcListBox, ScrollBarsAndSortingAreWindowStyles)
{
  struct TCase {
    TScrollStyle Bars;
    bool Sorted;
    LONG Style;
  } const Cases[] = {
      {ssNone, false, 0},
      {ssHorizontal, false, WS_HSCROLL},
      {ssVertical, true, WS_VSCROLL | LBS_SORT},
      {ssBoth, true, WS_HSCROLL | WS_VSCROLL | LBS_SORT},
  };
  // The window's style as the list box asks for it.
  struct TProbe : TXcListBox {
    using TXcListBox::TXcListBox;
    LONG Requested()
    {
      TCreateParams Params{};
      CreateParams(Params);
      return static_cast<LONG>(Params.Style & (WS_HSCROLL | WS_VSCROLL | LBS_SORT));
    }
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Bars);
    auto L = std::make_unique<TProbe>(nullptr);
    L->SetParent(HostForm());
    L->GetItems()->Add("b");
    L->GetItems()->Add("a");
    L->SetScrollBars(C.Bars);
    L->SetSorted(C.Sorted);
    EXPECT_EQ(L->Requested(), C.Style);
    L->GetItems()->Add("c");
    EXPECT_EQ(L->GetItems()->Get(0), C.Sorted ? "a" : "b");
  }
}

TEST(XcListBox, AnEmptyOwnerDrawnListDrawsOnlyTheFocus)
{
  auto L = NewListBox();
  L->SetAlignment(taRightJustify);
  L->SetColor(clLime);
  TBitmap Surface;
  Surface.SetSize(50, 20);
  Surface.GetCanvas()->GetBrush()->SetColor(clBlack);
  Surface.GetCanvas()->FillRect(TRect{0, 0, 50, 20});
  DRAWITEMSTRUCT S{};
  S.CtlType = ODT_LISTBOX;
  S.hDC = Surface.GetCanvas()->GetHandle();
  S.rcItem = RECT{0, 0, 50, 16};
  S.itemID = static_cast<UINT>(-1);
  S.itemState = ODS_FOCUS;
  EXPECT_EQ(L->Perform(CN_DRAWITEM, 0, reinterpret_cast<LPARAM>(&S)), 1);
  EXPECT_EQ(Surface.GetCanvas()->GetPixels(10, 8), clLime) << "filled with the control's brush";
}
