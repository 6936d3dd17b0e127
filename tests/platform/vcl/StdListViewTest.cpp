#include <gtest/gtest.h>

#include <algorithm>

#include "platform/rtl/Convert.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/ListViewCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdListView : public TVclWindowTest {
protected:
  TListView* List = nullptr;
  std::vector<String> Log;

  TForm* MakeList(TViewStyle Style = vsReport) {
    TForm* F = NewForm(0, 0, 320, 240);
    F->HandleNeeded();
    List = Add<TListView>(F, "List", 0, 0, 300, 200);
    List->SetViewStyle(Style);
    List->HandleNeeded();
    List->OnSelectItem = [this](TObject*, TListItem* I, bool S) {
      Log.push_back(String(S ? "select " : "unselect ") + std::to_string(I->GetIndex()));
    };
    return F;
  }
  void Fill(std::initializer_list<std::pair<const char*, const char*>> Rows) {
    for (auto& [Caption, Size] : Rows) {
      TListItem* I = List->GetItems()->Add();
      I->SetCaption(Caption);
      I->GetSubItems()->Add(Size);
    }
  }
  String NativeText(int Index, int Sub = 0) {
    char Buffer[64] = {};
    LVITEMA Item;
    Item.iSubItem = Sub;
    Item.pszText = Buffer;
    Item.cchTextMax = sizeof Buffer;
    SendMessageA(List->GetHandle(), LVM_GETITEMTEXTA, static_cast<WPARAM>(Index), reinterpret_cast<LPARAM>(&Item));
    return Buffer;
  }
  String NativeOrder() {
    String S;
    int N = static_cast<int>(SendMessageA(List->GetHandle(), LVM_GETITEMCOUNT, 0, 0));
    for (int I = 0; I < N; ++I) S += NativeText(I) + " ";
    return S;
  }
  void Click(TPoint P, WPARAM Keys = 0) {
    SendMessageA(List->GetHandle(), WM_LBUTTONDOWN, MK_LBUTTON | Keys, MAKELPARAM(P.x, P.y));
    SendMessageA(List->GetHandle(), WM_LBUTTONUP, Keys, MAKELPARAM(P.x, P.y));
  }
  static TPoint Mid(const TRect& R) { return Point((R.left + R.right) / 2, (R.top + R.bottom) / 2); }
};

TEST_F(StdListView, ReportShowsColumnsUnderAHeaderAndSorts) {
  MakeList();
  for (auto [Caption, Width] : {std::pair{"Name", 120}, std::pair{"Size", 60}}) {
    TListColumn* C = List->GetColumns()->Add();
    C->SetCaption(Caption);
    C->SetWidth(Width);
  }
  List->GetColumns()->GetItem(1)->SetAlignment(taRightJustify);
  Fill({{"beta", "20"}, {"alpha", "300"}, {"gamma", "1"}});
  auto Header = reinterpret_cast<HWND>(SendMessageA(List->GetHandle(), LVM_GETHEADER, 0, 0));
  ASSERT_NE(Header, nullptr);
  EXPECT_TRUE(GetWindowLongA(Header, GWL_STYLE) & WS_VISIBLE);
  EXPECT_EQ(SendMessageA(Header, HDM_GETITEMCOUNT, 0, 0), 2);
  RECT H1{};
  SendMessageA(Header, HDM_GETITEMRECT, 1, reinterpret_cast<LPARAM>(&H1));
  EXPECT_EQ(H1.left, 120);
  EXPECT_EQ(H1.right, 180);
  EXPECT_EQ(NativeOrder(), "beta alpha gamma ");
  EXPECT_EQ(NativeText(1, 1), "300") << "sub-item texts come from the items";

  // Rows follow each other below the header.
  RECT HR{};
  GetWindowRect(Header, &HR);
  TRect R0 = List->GetItems()->GetItem(0)->DisplayRect(drBounds);
  TRect R1 = List->GetItems()->GetItem(1)->DisplayRect(drBounds);
  EXPECT_EQ(R0.top, HR.bottom - HR.top);
  EXPECT_EQ(R1.top, R0.bottom);
  EXPECT_EQ(List->GetItemAt(10, Mid(R1).y), List->GetItems()->GetItem(1));
  EXPECT_EQ(List->GetItemAt(10, R0.top - 2), nullptr) << "the header is no row";

  // A click on a caption is a column click; dragging a divider resizes the column.
  std::vector<int> Clicked;
  List->OnColumnClick = [&](TObject*, TListColumn* C) { Clicked.push_back(C->GetIndex()); };
  SendMessageA(Header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(150, 5));
  SendMessageA(Header, WM_LBUTTONUP, 0, MAKELPARAM(150, 5));
  EXPECT_EQ(Clicked, std::vector<int>{1});
  HDHITTESTINFO Hit;
  Hit.pt = Point(119, 5);
  SendMessageA(Header, HDM_HITTEST, 0, reinterpret_cast<LPARAM>(&Hit));
  EXPECT_EQ(Hit.flags, HHT_ONDIVIDER);
  EXPECT_EQ(Hit.iItem, 0);
  SendMessageA(Header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(120, 5));
  SendMessageA(Header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(150, 5));
  SendMessageA(Header, WM_LBUTTONUP, 0, MAKELPARAM(150, 5));
  EXPECT_EQ(List->GetColumns()->GetItem(0)->GetWidth(), 150);
  EXPECT_EQ(Clicked, std::vector<int>{1}) << "a divider drag is no click";
  // With header drag and drop a caption dragged sideways moves its column; the items' own
  // texts move with their column.
  SendMessageA(List->GetHandle(), LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_HEADERDRAGDROP, LVS_EX_HEADERDRAGDROP);
  SendMessageA(Header, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(180, 5));
  SendMessageA(Header, WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(100, 5));
  SendMessageA(Header, WM_LBUTTONUP, 0, MAKELPARAM(10, 5));
  int Order[2] = {};
  SendMessageA(Header, HDM_GETORDERARRAY, 2, reinterpret_cast<LPARAM>(Order));
  EXPECT_EQ(Order[0], 1);
  EXPECT_EQ(Order[1], 0);
  EXPECT_GE(List->GetItems()->GetItem(0)->DisplayRect(drLabel).left, 60);
  EXPECT_EQ(Clicked, std::vector<int>{1}) << "a caption drag is no click";

  // Sorting: by caption, then by an OnCompare on the size column.
  List->AlphaSort();
  EXPECT_EQ(NativeOrder(), "alpha beta gamma ");
  List->OnCompare = [](TObject*, TListItem* A, TListItem* B, int, int& Compare) {
    Compare = StrToInt(A->GetSubItems()->Get(0)) - StrToInt(B->GetSubItems()->Get(0));
  };
  List->AlphaSort();
  EXPECT_EQ(NativeOrder(), "gamma beta alpha ");
  EXPECT_EQ(List->GetItems()->GetItem(0)->GetCaption(), "gamma");
  EXPECT_EQ(List->GetItems()->GetItem(0)->GetIndex(), 0);

  // Columns and items survive a new window.
  List->GetItems()->GetItem(2)->SetSelected(true);
  List->SetBorderStyle(bsNone);
  EXPECT_EQ(NativeOrder(), "gamma beta alpha ");
  EXPECT_EQ(List->GetColumns()->GetItem(0)->GetWidth(), 150);
  EXPECT_EQ(List->GetSelected(), List->GetItems()->GetItem(2));
}

TEST_F(StdListView, ViewStylesLayTheItemsOut) {
  struct TCase {
    TViewStyle Style;
    bool SecondBelow;  // else right of the first
    bool Header;
  } Cases[] = {
      {vsReport, true, true}, {vsList, true, false}, {vsSmallIcon, false, false}, {vsIcon, false, false}};
  MakeList(vsReport);
  List->GetColumns()->Add()->SetWidth(100);
  Fill({{"one", ""}, {"two", ""}, {"three", ""}});
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Style);
    List->SetViewStyle(C.Style);
    TRect A = List->GetItems()->GetItem(0)->DisplayRect(drBounds);
    TRect B = List->GetItems()->GetItem(1)->DisplayRect(drBounds);
    if (C.SecondBelow) {
      EXPECT_EQ(B.left, A.left);
      EXPECT_EQ(B.top, A.bottom);
    } else {
      EXPECT_EQ(B.top, A.top);
      EXPECT_EQ(B.left, A.right);
    }
    auto Header = reinterpret_cast<HWND>(SendMessageA(List->GetHandle(), LVM_GETHEADER, 0, 0));
    EXPECT_EQ((GetWindowLongA(Header, GWL_STYLE) & WS_VISIBLE) != 0, C.Header);
    TPoint P = Mid(List->GetItems()->GetItem(2)->DisplayRect(drLabel));
    EXPECT_EQ(List->GetItemAt(P.x, P.y), List->GetItems()->GetItem(2));
  }
}

TEST_F(StdListView, SelectionByMouseAndKeys) {
  MakeList();
  List->GetColumns()->Add()->SetWidth(200);
  Fill({{"a", ""}, {"b", ""}, {"c", ""}, {"d", ""}});
  auto Row = [&](int I) { return Mid(List->GetItems()->GetItem(I)->DisplayRect(drLabel)); };
  auto Selected = [&] {
    String S;
    for (int I = 0; I < 4; ++I) S += List->GetItems()->GetItem(I)->GetSelected() ? "1" : "0";
    return S;
  };
  struct TStep {
    const char* What;
    bool Multi;
    std::function<void()> Act;
    const char* Selected;
    std::vector<String> ExpectedLog;
  } Steps[] = {
      {"click", false, [&] { Click(Row(1)); }, "0100", {"select 1"}},
      {"click another", false, [&] { Click(Row(2)); }, "0010", {"unselect 1", "select 2"}},
      {"ctrl-click is a plain click when single", false, [&] { Click(Row(3), MK_CONTROL); }, "0001",
       {"unselect 2", "select 3"}},
      {"key up", false, [&] { SendMessageA(List->GetHandle(), WM_KEYDOWN, VK_UP, 0); }, "0010",
       {"unselect 3", "select 2"}},
      {"ctrl-click adds", true, [&] { Click(Row(0), MK_CONTROL); }, "1010", {"select 0"}},
      {"ctrl-click removes", true, [&] { Click(Row(2), MK_CONTROL); }, "1000", {"unselect 2"}},
      // The range starts at the item clicked last without Shift.
      {"shift-click selects the range", true, [&] { Click(Row(3), MK_SHIFT); }, "0011",
       {"unselect 0", "select 2", "select 3"}},
      {"clear", true, [&] { List->ClearSelection(); }, "0000", {"unselect 2", "unselect 3"}},
      {"ItemIndex", true, [&] { List->SetItemIndex(2); }, "0010", {"select 2"}},
      {"select all", true, [&] { List->SelectAll(); }, "1111", {"select 0", "select 1", "select 3"}},
      {"click on no item clears", true, [&] { Click(Point(5, 190)); }, "0000",
       {"unselect 0", "unselect 1", "unselect 2", "unselect 3"}},
  };
  for (TStep& S : Steps) {
    SCOPED_TRACE(S.What);
    List->SetMultiSelect(S.Multi);
    Log.clear();
    S.Act();
    EXPECT_EQ(Selected(), S.Selected);
    EXPECT_EQ(Log, S.ExpectedLog);
  }
  EXPECT_EQ(List->GetSelCount(), 0);
  // Deleting an item leaves the others and their selection.
  List->SetItemIndex(3);
  List->GetItems()->Delete(1);
  EXPECT_EQ(NativeOrder(), "a c d ");
  EXPECT_EQ(List->GetSelected()->GetCaption(), "d");
  EXPECT_EQ(List->GetItems()->GetItem(2)->GetIndex(), 2);
}

TEST_F(StdListView, OwnerDataFetchesRowsOnDemand) {
  MakeList();
  List->GetColumns()->Add()->SetWidth(150);
  List->GetColumns()->Add()->SetWidth(80);
  List->SetOwnerData(true);
  int Fetches = 0;
  List->OnData = [&](TObject*, TListItem* Item) {
    ++Fetches;
    Item->SetCaption("Row " + std::to_string(Item->GetIndex()));
    Item->GetSubItems()->Add(std::to_string(Item->GetIndex() * 10));
  };
  std::vector<String> Finds;
  List->OnDataFind = [&](TObject*, TItemFind Find, const String& Text, const TPoint&, void*, int Start,
                         TSearchDirection, bool Wrap, int& Index) {
    Finds.push_back(std::to_string(static_cast<int>(Find)) + ":" + Text + "@" + std::to_string(Start) +
                    (Wrap ? "w" : ""));
    // Rows are "Row N": the text after "Row " is the number.
    if (Text.rfind("Row ", 0) == 0 && Text.size() > 4) Index = StrToIntDef(Text.substr(4), -1);
  };
  List->GetItems()->SetCount(1000);
  EXPECT_EQ(SendMessageA(List->GetHandle(), LVM_GETITEMCOUNT, 0, 0), 1000);
  EXPECT_EQ(NativeText(500), "Row 500");
  EXPECT_EQ(NativeText(500, 1), "5000");
  EXPECT_EQ(List->GetItems()->GetItem(7)->GetCaption(), "Row 7");
  EXPECT_GT(Fetches, 0);

  SCROLLINFO SI{};
  SI.cbSize = sizeof SI;
  SI.fMask = SIF_ALL;
  GetScrollInfo(List->GetHandle(), SB_VERT, &SI);
  EXPECT_EQ(SI.nMax, 999);
  EXPECT_EQ(static_cast<int>(SI.nPage), List->GetVisibleRowCount());
  SendMessageA(List->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 400), 0);
  EXPECT_EQ(List->GetTopItem()->GetIndex(), 400);

  // Searches go to OnDataFind; the found row becomes visible when selected.
  TListItem* Found = List->FindCaption(0, "Row 812", false, true, true);
  ASSERT_NE(Found, nullptr);
  EXPECT_EQ(Found->GetIndex(), 812);
  EXPECT_EQ(Finds, std::vector<String>{"2:Row 812@-1w"});
  List->SetItemIndex(812);
  List->GetItems()->GetItem(812)->MakeVisible(false);
  EXPECT_LE(List->GetTopItem()->GetIndex(), 812);
  EXPECT_GT(List->GetTopItem()->GetIndex() + List->GetVisibleRowCount(), 812);
  EXPECT_EQ(List->GetItemIndex(), 812);
  // Fewer rows drop the selection beyond them.
  List->GetItems()->SetCount(10);
  EXPECT_EQ(List->GetSelCount(), 0);
  EXPECT_EQ(List->GetTopItem()->GetIndex(), 0);
}

TEST_F(StdListView, WheelScrollsRowsColumnsOrIconRows) {
  UINT Lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
  ASSERT_GT(Lines, 0u);
  const int L = static_cast<int>(Lines);
  auto Wheel = [&](int Delta) {
    SendMessageA(List->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(Delta))), 0);
  };
  auto Pos = [&](int Bar) {
    SCROLLINFO SI{};
    SI.cbSize = sizeof SI;
    SI.fMask = SIF_POS;
    GetScrollInfo(List->GetHandle(), Bar, &SI);
    return SI.nPos;
  };
  struct TCase {
    TViewStyle Style;
    int Bar;
    int Unit;  // scroll units per line: 1 for rows and columns, the row height of icons in pixels
  } Cases[] = {{vsReport, SB_VERT, 1}, {vsList, SB_HORZ, 1}, {vsIcon, SB_VERT, 0}, {vsSmallIcon, SB_VERT, 0}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(static_cast<int>(C.Style));
    TForm* F = MakeList(C.Style);
    List->GetColumns()->Add()->SetWidth(100);
    for (int K = 0; K < 300; ++K) List->GetItems()->Add()->SetCaption("Item " + std::to_string(K));
    TRect Cell = List->GetItems()->GetItem(0)->DisplayRect(drBounds);
    int Unit = C.Unit ? C.Unit : Cell.bottom - Cell.top;
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(Pos(C.Bar), L * Unit);
    for (int K = 0; K < 3; ++K) Wheel(-WHEEL_DELTA / 3);
    EXPECT_EQ(Pos(C.Bar), 2 * L * Unit);
    Wheel(WHEEL_DELTA);
    EXPECT_EQ(Pos(C.Bar), L * Unit);
    // Items that all fit leave the wheel to the parent.
    int ParentWheels = 0;
    F->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& Handled) {
      ++ParentWheels;
      Handled = true;
    };
    List->GetItems()->Clear();
    List->GetItems()->Add()->SetCaption("Only");
    Wheel(-WHEEL_DELTA);
    EXPECT_EQ(ParentWheels, 1);
    delete F;
    Owned.erase(std::remove(Owned.begin(), Owned.end(), F), Owned.end());
  }
}

TEST_F(StdListView, ColoursStylesAndTheHeaderReachTheWindow) {
  // A derived list hears of its header's creation (a skinned list takes the header over then).
  struct THeaderWatch : TListView {
    using TListView::TListView;
    HWND Created = nullptr;
    void WndProc(TMessage& Message) override {
      if (Message.Msg == WM_PARENTNOTIFY && LOWORD(Message.WParam) == WM_CREATE) {
        char Name[32] = {};
        GetClassNameA(reinterpret_cast<HWND>(Message.LParam), Name, sizeof Name);
        if (String(Name) == WC_HEADERA) Created = reinterpret_cast<HWND>(Message.LParam);
      }
      TListView::WndProc(Message);
    }
  };
  TForm* F = NewForm(0, 0, 320, 240);
  F->HandleNeeded();
  auto* W = Add<THeaderWatch>(F, "Watch", 0, 0, 300, 200);
  W->SetViewStyle(vsReport);
  W->SetColor(clYellow);
  W->GetFont()->SetColor(clRed);
  W->SetGridLines(true);
  W->SetFullDrag(true);
  W->HandleNeeded();
  EXPECT_NE(W->Created, nullptr);
  EXPECT_EQ(W->Created, reinterpret_cast<HWND>(SendMessageA(W->GetHandle(), LVM_GETHEADER, 0, 0)));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(W->GetHandle(), LVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(W->GetHandle(), LVM_GETTEXTCOLOR, 0, 0)), RGB(255, 0, 0));
  W->SetColor(clLime);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(W->GetHandle(), LVM_GETBKCOLOR, 0, 0)), RGB(0, 255, 0));
  auto Ex = static_cast<DWORD>(SendMessageA(W->GetHandle(), LVM_GETEXTENDEDLISTVIEWSTYLE, 0, 0));
  EXPECT_EQ(Ex & (LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP), LVS_EX_GRIDLINES | LVS_EX_HEADERDRAGDROP);
  EXPECT_TRUE(GetWindowLongA(W->Created, GWL_STYLE) & HDS_DRAGDROP) << "columns move by dragging";
  // Grid lines: a line under the first row, in the button face colour.
  W->GetColumns()->Add()->SetWidth(80);
  W->GetItems()->Add()->SetCaption("row");
  F->Show();
  Pump();
  TRect Row = W->GetItems()->GetItem(0)->DisplayRect(drBounds);
  TPoint P = W->ClientToScreen(Point(40, Row.bottom - 1));
  EXPECT_EQ(Pixel(F, P.x - F->GetLeft(), P.y - F->GetTop()), GetSysColor(COLOR_BTNFACE));
  EXPECT_NE(W->GetCanvas(), nullptr);
  EXPECT_GT(W->GetCanvas()->TextWidth("X"), 0) << "the list's canvas measures in its font";
}

}  // namespace
