// The standard list box: the "LISTBOX" window's messages and notifications, and TListBox over it.
#include <gtest/gtest.h>

#include "platform/rtl/Convert.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/ListBoxCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdListBox : public TVclWindowTest {
protected:
  TForm* Form = nullptr;
  TListBox* List = nullptr;

  // A shown form with a 120 x 100 list box at (10, 10) holding Items; the list's items are
  // 16 pixels high unless a test sets something else.
  void Make(std::initializer_list<const char*> Items, std::function<void(TListBox*)> Setup = nullptr) {
    Form = NewForm(100, 100, 300, 200);
    List = Add<TListBox>(Form, "List", 10, 10, 120, 100);
    List->SetBorderStyle(bsNone);
    if (Setup) Setup(List);
    for (const char* S : Items) List->GetItems()->Add(S);
    Form->Show();
    Pump();
  }
  LRESULT Send(UINT Msg, WPARAM W = 0, LPARAM L = 0) { return SendMessageA(List->GetHandle(), Msg, W, L); }
  LRESULT Find(UINT Msg, int Start, const char* S) { return Send(Msg, static_cast<WPARAM>(Start), reinterpret_cast<LPARAM>(S)); }
  std::vector<String> Strings() {
    std::vector<String> R;
    for (int I = 0; I < List->GetItems()->GetCount(); ++I) R.push_back(List->GetItems()->Get(I));
    return R;
  }
  void Press(int X, int Y, WPARAM Keys = 0) {
    Send(WM_LBUTTONDOWN, MK_LBUTTON | Keys, MAKELONG(X, Y));
    Send(WM_LBUTTONUP, Keys, MAKELONG(X, Y));
  }
  // A point inside item I (as the list is scrolled now).
  int Y(int I) { return ItemTop(I) + 2; }
  int ItemTop(int I) {
    RECT R{};
    Send(LB_GETITEMRECT, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&R));
    return R.top;
  }
};

TEST_F(StdListBox, SortedInsertFindAndErrorAnswers) {
  Make({"pear", "Apple", "banana", "apricot", "Cherry"}, [](TListBox* L) { L->SetSorted(true); });
  EXPECT_EQ(Strings(), (std::vector<String>{"Apple", "apricot", "banana", "Cherry", "pear"}));
  // LB_INSERTSTRING keeps the place even in a sorted list; -1 appends.
  EXPECT_EQ(Send(LB_INSERTSTRING, 1, reinterpret_cast<LPARAM>("zz")), 1);
  EXPECT_EQ(Send(LB_INSERTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("end")), 6);
  EXPECT_EQ(Send(LB_INSERTSTRING, 99, reinterpret_cast<LPARAM>("x")), LB_ERR);

  struct Case { UINT Msg; int Start; const char* Text; LRESULT Expected; } Cases[] = {
      {LB_FINDSTRING, -1, "AP", 0},        // prefix, any case, from the top
      {LB_FINDSTRING, 0, "ap", 2},         // starts after the index
      {LB_FINDSTRING, 2, "ap", 0},         // and wraps around
      {LB_FINDSTRING, -1, "kiwi", LB_ERR},
      {LB_FINDSTRING, 99, "ban", 3},       // a start past the end counts as the top
      {LB_FINDSTRINGEXACT, -1, "APRICOT", 2},
      {LB_FINDSTRINGEXACT, -1, "apr", LB_ERR},
      {LB_FINDSTRINGEXACT, 4, "cherry", 4},  // the start item itself comes last
  };
  for (const Case& C : Cases) EXPECT_EQ(Find(C.Msg, C.Start, C.Text), C.Expected) << C.Text << " from " << C.Start;

  struct Bad { UINT Msg; WPARAM W; LRESULT Expected; } Bads[] = {
      {LB_GETTEXTLEN, 7, LB_ERR}, {LB_GETITEMDATA, 7, LB_ERR}, {LB_DELETESTRING, 7, LB_ERR},
      {LB_GETSEL, 7, LB_ERR},     {LB_SETTOPINDEX, 7, LB_ERR}, {LB_SETSEL, 1, LB_ERR},  // single selection
      {LB_GETSELCOUNT, 0, LB_ERR}, {LB_SETCOUNT, 3, LB_ERR},  // not a LBS_NODATA list
  };
  for (const Bad& B : Bads) EXPECT_EQ(Send(B.Msg, B.W, 0), B.Expected) << std::hex << B.Msg;
  EXPECT_THROW(List->GetItems()->Get(7), EListError);
  EXPECT_THROW(List->GetItems()->Insert(99, "x"), EOutOfResources) << "the window refused the line";
  EXPECT_EQ(List->GetCount(), 7);
  EXPECT_THROW(List->GetItems()->Delete(-1), EListError);
}

TEST_F(StdListBox, SelectionFollowsDeletionAndOutOfRangeClears) {
  Make({"a", "b", "c", "d"});
  List->SetItemIndex(2);
  EXPECT_EQ(Send(LB_GETCURSEL), 2);
  List->GetItems()->Delete(0);
  EXPECT_EQ(List->GetItemIndex(), 1) << "the selected item moved up";
  EXPECT_EQ(List->GetItems()->Get(1), "c");
  List->GetItems()->Delete(1);
  EXPECT_EQ(List->GetItemIndex(), -1) << "the selected item is gone";
  List->SetItemIndex(0);
  EXPECT_EQ(Send(LB_SETCURSEL, 17), LB_ERR);
  EXPECT_EQ(List->GetItemIndex(), -1);
  EXPECT_EQ(Find(LB_SELECTSTRING, -1, "D"), 1);
  EXPECT_EQ(List->GetItemIndex(), 1);
  // Objects travel with their strings; Put keeps object and selection.
  List->GetItems()->PutObject(1, reinterpret_cast<TObject*>(0x1234));
  List->GetItems()->Put(1, "dd");
  EXPECT_EQ(List->GetItems()->GetObject(1), reinterpret_cast<TObject*>(0x1234));
  EXPECT_EQ(List->GetItemIndex(), 1);
}

TEST_F(StdListBox, StandardItemsPaintSelectionAndScrolledText) {
  Make({"aaaa", "bbbb", "cccc"});
  Send(LB_SETITEMHEIGHT, 0, 20);
  List->SetItemIndex(1);
  Pump();
  COLORREF Highlight = GetSysColor(COLOR_HIGHLIGHT), Window = GetSysColor(COLOR_WINDOW);
  struct Probe { int X, Y; COLORREF Expected; } Probes[] = {
      {100, 5, Window}, {100, 25, Highlight}, {100, 45, Window}, {100, 80, Window},  // below the items
  };
  for (const Probe& P : Probes) EXPECT_EQ(Pixel(Form, 10 + P.X, 10 + P.Y), P.Expected) << P.Y;
  // Text starts near the left edge; a horizontal extent scrolled right moves it out.
  auto Inked = [&](int Y) {
    for (int X = 0; X < 40; ++X)
      if (Pixel(Form, 10 + X, 10 + Y) != Window) return true;
    return false;
  };
  bool Before = false;
  for (int Y = 2; Y < 18 && !Before; ++Y) Before = Inked(Y);
  EXPECT_TRUE(Before);
  Send(LB_SETHORIZONTALEXTENT, 400);
  Send(WM_HSCROLL, MAKELONG(SB_THUMBPOSITION, 100), 0);
  Pump();
  bool After = false;
  for (int Y = 2; Y < 18 && !After; ++Y) After = Inked(Y);
  EXPECT_FALSE(After);
}

TEST_F(StdListBox, ItemsWaitForTheWindowAndSurviveRecreation) {
  auto* Orphan = new TListBox(nullptr);
  Owned.push_back(Orphan);
  Orphan->GetItems()->AddObject("two", reinterpret_cast<TObject*>(2));
  Orphan->GetItems()->AddObject("one", reinterpret_cast<TObject*>(1));
  Orphan->SetItemIndex(1);
  EXPECT_FALSE(Orphan->HandleAllocated()) << "no parent: the items wait";
  Orphan->SetSorted(true);
  TForm* F = NewForm();
  Orphan->SetParent(F);
  F->Show();
  Pump();
  ASSERT_TRUE(Orphan->HandleAllocated());
  EXPECT_EQ(Orphan->GetItems()->Get(0), "one") << "sorted when the window takes them";
  EXPECT_EQ(Orphan->GetItems()->GetObject(0), reinterpret_cast<TObject*>(1));

  Orphan->SetItemIndex(1);
  HWND Old = Orphan->GetHandle();
  Orphan->SetMultiSelect(true);  // a new window
  EXPECT_NE(Orphan->GetHandle(), Old);
  EXPECT_EQ(Orphan->GetCount(), 2);
  EXPECT_EQ(Orphan->GetItems()->GetObject(1), reinterpret_cast<TObject*>(2));
  EXPECT_EQ(Orphan->GetItemIndex(), 1);
  Orphan->SetSelected(0, true);
  Orphan->SetMultiSelect(false);
  EXPECT_EQ(Orphan->GetItems()->Get(1), "two");
}

TEST_F(StdListBox, MouseAndKeysSelectByMode) {
  Make({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
  int Clicks = 0;
  List->OnClick = [&](TObject*) { ++Clicks; };
  Send(LB_SETITEMHEIGHT, 0, 16);
  Press(5, 16 * 2 + 3);
  EXPECT_EQ(List->GetItemIndex(), 2);
  EXPECT_EQ(Clicks, 1) << "LBN_SELCHANGE becomes OnClick";
  EXPECT_TRUE(List->Focused());
  Press(5, 16 * 2 + 3);
  EXPECT_EQ(Clicks, 1) << "no change, no notification";
  int DblClicks = 0;
  List->OnDblClick = [&](TObject*) { ++DblClicks; };
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELONG(5, 16 * 2 + 3));
  Send(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELONG(5, 16 * 20));
  EXPECT_EQ(DblClicks, 1) << "LBN_DBLCLK only on an item";

  struct Key { WPARAM Vk; int Expected; } Keys[] = {
      {VK_DOWN, 3}, {VK_UP, 2}, {VK_END, 9}, {VK_HOME, 0}, {VK_UP, 0}, {VK_NEXT, 5}, {VK_PRIOR, 0},
  };
  for (const Key& K : Keys) {
    Send(WM_KEYDOWN, K.Vk, 0);
    EXPECT_EQ(List->GetItemIndex(), K.Expected) << "key " << K.Vk;
  }
  EXPECT_EQ(List->GetTopIndex(), 0);
  Send(WM_KEYDOWN, VK_END, 0);
  EXPECT_EQ(List->GetTopIndex(), 10 - 100 / 16) << "the selected item is scrolled into view";

  // Extended selection: click, shift-click range, ctrl-click toggle.
  List->SetMultiSelect(true);
  List->SetTopIndex(0);
  Press(5, Y(1));
  Press(5, Y(4), MK_SHIFT);
  EXPECT_EQ(List->GetSelCount(), 4);
  Press(5, Y(2), MK_CONTROL);
  EXPECT_FALSE(List->GetSelected(2));
  EXPECT_EQ(List->GetSelCount(), 3);
  int Sel[10] = {};
  EXPECT_EQ(Send(LB_GETSELITEMS, 10, reinterpret_cast<LPARAM>(Sel)), 3);
  EXPECT_EQ((std::vector<int>(Sel, Sel + 3)), (std::vector<int>{1, 3, 4}));
  EXPECT_EQ(List->GetItemIndex(), 2) << "the focused item";

  // Plain multiple selection: every click toggles.
  List->SetExtendedSelect(false);
  List->ClearSelection();
  Press(5, Y(0));
  Press(5, Y(1));
  Press(5, Y(0));
  EXPECT_FALSE(List->GetSelected(0));
  EXPECT_TRUE(List->GetSelected(1));
  Send(WM_KEYDOWN, VK_DOWN, 0);
  Send(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(List->GetSelCount(), 1) << "arrows move only the focus";
  Send(WM_KEYDOWN, VK_SPACE, 0);
  EXPECT_TRUE(List->GetSelected(2));
}

TEST_F(StdListBox, TypeAheadAndWheel) {
  Make({"alpha", "beta", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india"});
  List->SetFocus();
  Display()->InjectChar("br");
  Pump();
  EXPECT_EQ(List->GetItemIndex(), 2) << "typed characters build a prefix";
  Send(LB_SETITEMHEIGHT, 0, 16);
  Send(WM_MOUSEWHEEL, MAKELONG(0, static_cast<WORD>(-WHEEL_DELTA)), 0);
  EXPECT_EQ(List->GetTopIndex(), 3);
  Send(WM_MOUSEWHEEL, MAKELONG(0, WHEEL_DELTA * 2), 0);
  EXPECT_EQ(List->GetTopIndex(), 0);
  SCROLLINFO SI;
  SI.fMask = SIF_ALL;
  GetScrollInfo(List->GetHandle(), SB_VERT, &SI);
  EXPECT_EQ(SI.nMax, 9);
  EXPECT_EQ(static_cast<int>(SI.nPage), List->GetClientHeight() / 16);
  Send(WM_VSCROLL, MAKELONG(SB_THUMBPOSITION, 2), 0);
  EXPECT_EQ(List->GetTopIndex(), 2);
  Send(WM_VSCROLL, SB_BOTTOM, 0);
  EXPECT_EQ(List->GetTopIndex(), 10 - List->GetClientHeight() / 16);
}

TEST_F(StdListBox, OwnerDrawFixedPaintsThroughOnDrawItem) {
  std::vector<std::pair<int, TOwnerDrawState>> Drawn;
  Make({"a", "b", "c"}, [&](TListBox* L) {
    L->SetStyle(lbOwnerDrawFixed);
    L->SetItemHeight(20);
    L->OnDrawItem = [&, L](TWinControl*, int Index, const TRect& R, TOwnerDrawState State) {
      Drawn.push_back({Index, State});
      L->GetCanvas()->GetBrush()->SetColor(State & odSelected ? clRed : clLime);
      L->GetCanvas()->FillRect(R);
    };
  });
  List->SetFocus();
  List->SetItemIndex(1);
  Drawn.clear();
  List->Repaint();
  Pump();
  ASSERT_FALSE(Drawn.empty());
  EXPECT_EQ(Send(LB_GETITEMHEIGHT), 20);
  // Item 1 (y 20..39) is selected and focused; the list starts at (10, 10) in the form.
  EXPECT_EQ(Pixel(Form, 10 + 50, 10 + 5), clLime);
  EXPECT_EQ(Pixel(Form, 10 + 50, 10 + 30), clRed);
  bool SawFocused = false;
  for (auto& [I, S] : Drawn)
    if (I == 1) SawFocused = (S & (odSelected | odFocused)) == (odSelected | odFocused);
  EXPECT_TRUE(SawFocused);
  EXPECT_EQ(List->ItemAtPos(Point(5, 45), true), 2);
  EXPECT_EQ(List->ItemAtPos(Point(5, 75), true), -1);
  EXPECT_EQ(List->ItemAtPos(Point(5, 75), false), 3);
  EXPECT_EQ(List->ItemAtPos(Point(5, 300), false), -1) << "outside the list";
}

TEST_F(StdListBox, VariableHeightsAndColumns) {
  Make({"a", "b", "c", "d"}, [](TListBox* L) {
    L->SetStyle(lbOwnerDrawVariable);
    L->OnMeasureItem = [](TWinControl*, int Index, int& Height) { Height = 10 + Index * 5; };
  });
  EXPECT_EQ((std::vector<int>{ItemTop(0), ItemTop(1), ItemTop(2), ItemTop(3)}), (std::vector<int>{0, 10, 25, 45}));
  EXPECT_EQ(Send(LB_GETITEMHEIGHT, 3), 25);
  EXPECT_EQ(LOWORD(Send(LB_ITEMFROMPOINT, 0, MAKELONG(3, 30))), 2);

  // Four columns over 120 pixels: 30 pixels each, 100 / 16 full rows per column.
  List->SetStyle(lbStandard);
  List->SetColumns(4);
  List->GetItems()->Clear();
  for (int I = 0; I < 30; ++I) List->GetItems()->Add(IntToStr(I));
  Send(LB_SETITEMHEIGHT, 0, 16);
  int Rows = List->GetClientHeight() / 16;
  RECT R{};
  Send(LB_GETITEMRECT, static_cast<WPARAM>(Rows + 1), reinterpret_cast<LPARAM>(&R));
  EXPECT_EQ(R.left, List->GetClientWidth() / 4);
  EXPECT_EQ(R.top, 16);
  EXPECT_EQ(LOWORD(Send(LB_ITEMFROMPOINT, 0, MAKELONG(List->GetClientWidth() / 4 + 2, 17))), Rows + 1);
}

TEST_F(StdListBox, VirtualListAsksForText) {
  Make({}, [](TListBox* L) {
    L->SetStyle(lbVirtual);
    L->OnData = [](TWinControl*, int Index, String& Data) { Data = "row " + IntToStr(Index); };
  });
  List->SetCount(1000);
  EXPECT_EQ(List->GetCount(), 1000);
  EXPECT_EQ(List->GetItems()->Get(998), "row 998");
  EXPECT_EQ(List->GetItems()->Add("ignored"), -1);
  List->SetItemIndex(500);
  EXPECT_EQ(List->GetItemIndex(), 500);
  EXPECT_GT(List->GetTopIndex(), 400);
}

// A list that keeps a record of its own in every item's data slot and hands the application's
// object through GetItemData / SetItemData, as a check list does with its check states.
class TRecordList : public TListBox {
public:
  struct TRecord {
    LPARAM Data = 0;
    int Tag = 0;
  };
  using TListBox::TListBox;
  ~TRecordList() override {
    DestroyHandle();
    for (TRecord* R : Records) delete R;
  }
  std::vector<TRecord*> Records;
  std::vector<String> Log;
  int NextTag = 0;

  TRecord* Record(int Index) { return reinterpret_cast<TRecord*>(TListBox::GetItemData(Index)); }

protected:
  LPARAM GetItemData(int Index) override {
    LPARAM Raw = TListBox::GetItemData(Index);
    return Raw == LB_ERR || Raw == 0 ? Raw : reinterpret_cast<TRecord*>(Raw)->Data;
  }
  void SetItemData(int Index, LPARAM AData) override {
    auto* R = new TRecord{AData, ++NextTag};
    Records.push_back(R);
    Log.push_back("set " + IntToStr(Index));
    TListBox::SetItemData(Index, reinterpret_cast<LPARAM>(R));
  }
  void DeleteString(int Index) override {
    Log.push_back("delete " + IntToStr(Index));
    TListBox::DeleteString(Index);
  }
  void ResetContent() override {
    Log.push_back("reset");
    TListBox::ResetContent();
  }
};

// Objects, deletion and clearing go through the list's item operations, and a new window gets
// every item's data back through SetItemData, in order.
TEST_F(StdListBox, ItemDataGoesThroughTheListsOwnOperations) {
  Form = NewForm(100, 100, 300, 200);
  auto* L = Add<TRecordList>(Form, "Records", 10, 10, 120, 100);
  Form->Show();
  Pump();
  TStrings* Items = L->GetItems();
  Items->AddObject("a", reinterpret_cast<TObject*>(11));
  Items->AddObject("b", reinterpret_cast<TObject*>(22));
  Items->AddObject("c", reinterpret_cast<TObject*>(33));
  EXPECT_EQ(Items->GetObject(1), reinterpret_cast<TObject*>(22)) << "the application's object, not the record";
  ASSERT_NE(L->Record(1), nullptr);
  EXPECT_EQ(L->Record(1)->Data, 22);
  EXPECT_THROW(Items->GetObject(3), EListError);

  L->Log.clear();
  L->SetSorted(true);  // a new window
  EXPECT_EQ(L->Log, (std::vector<String>{"set 0", "set 1", "set 2"}));
  EXPECT_EQ(Items->GetObject(2), reinterpret_cast<TObject*>(33));

  L->Log.clear();
  Items->Delete(1);
  L->DeleteSelected();  // nothing selected: nothing deleted
  Items->Clear();
  EXPECT_EQ(L->Log, (std::vector<String>{"delete 1", "reset"}));
  EXPECT_EQ(L->GetCount(), 0);
}

// Items changed while the window is absent keep the saved selection on its item.
TEST_F(StdListBox, SelectionWaitingForTheWindowFollowsItsItem) {
  struct Case {
    const char* Name;
    std::function<void(TListBox*)> Change;
    int Index;
    String Text;
  } Cases[] = {
      {"insert before", [](TListBox* L) { L->GetItems()->Insert(0, "new"); }, 2, "b"},
      {"insert after", [](TListBox* L) { L->GetItems()->Insert(2, "new"); }, 1, "b"},
      {"delete before", [](TListBox* L) { L->GetItems()->Delete(0); }, 0, "b"},
      {"delete it", [](TListBox* L) { L->GetItems()->Delete(1); }, -1, ""},
      {"clear", [](TListBox* L) { L->GetItems()->Clear(); }, -1, ""},
  };
  for (const Case& C : Cases) {
    auto* L = new TListBox(nullptr);
    Owned.push_back(L);
    for (const char* S : {"a", "b", "c"}) L->GetItems()->Add(S);
    L->SetItemIndex(1);
    C.Change(L);
    ASSERT_FALSE(L->HandleAllocated()) << C.Name;
    EXPECT_EQ(L->GetItemIndex(), C.Index) << C.Name;
    TForm* F = NewForm();
    L->SetParent(F);
    F->Show();
    Pump();
    ASSERT_TRUE(L->HandleAllocated()) << C.Name;
    EXPECT_EQ(L->GetItemIndex(), C.Index) << C.Name << ": in the window";
    if (C.Index >= 0) {
      EXPECT_EQ(L->GetItems()->Get(C.Index), C.Text) << C.Name;
    }
  }

  // Multiple selection: the selected items move with the insertion.
  auto* M = new TListBox(nullptr);
  Owned.push_back(M);
  M->SetMultiSelect(true);
  for (const char* S : {"a", "b", "c"}) M->GetItems()->Add(S);
  M->SetSelected(2, true);
  M->GetItems()->Insert(0, "new");
  M->GetItems()->Delete(1);
  EXPECT_FALSE(M->GetSelected(1));
  EXPECT_TRUE(M->GetSelected(2));
}

// Item height, top index, selection and strings all survive a new window.
TEST_F(StdListBox, RecreationKeepsHeightsAndTopIndex) {
  Make({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9", "10", "11"}, [](TListBox* L) {
    L->SetStyle(lbOwnerDrawFixed);
    L->SetItemHeight(20);
  });
  List->SetTopIndex(4);
  List->SetItemIndex(6);
  HWND Old = List->GetHandle();
  List->SetIntegralHeight(true);
  ASSERT_NE(List->GetHandle(), Old);
  EXPECT_EQ(Send(LB_GETITEMHEIGHT), 20);
  EXPECT_EQ(List->GetItemHeight(), 20);
  EXPECT_EQ(List->GetTopIndex(), 4);
  EXPECT_EQ(List->GetItemIndex(), 6);
  EXPECT_EQ(List->ItemRect(6).top, 40);
  EXPECT_EQ(List->ItemRect(3).top, -20) << "an item above the top lies above the client area";
  EXPECT_EQ(List->ItemAtPos(Point(5, 41), true), 6);

  // In a variable list ItemHeight is every item's default height, not item 0's.
  List->SetStyle(lbOwnerDrawVariable);
  List->SetTopIndex(0);
  List->SetItemHeight(12);
  EXPECT_EQ(List->GetItemHeight(), 12);
  EXPECT_EQ((std::vector<int>{ItemTop(1), ItemTop(2), ItemTop(5)}), (std::vector<int>{12, 24, 60}));
}

// A virtual list asks the application for objects and for the item with a text; a list that
// is not virtual refuses a count.
TEST_F(StdListBox, VirtualListAsksForObjectsAndSearches) {
  Make({}, [](TListBox* L) {
    L->SetStyle(lbVirtual);
    L->OnData = [](TWinControl*, int Index, String& Data) { Data = "row " + IntToStr(Index); };
    L->OnDataObject = [](TWinControl*, int Index, TObject*& Object) { Object = reinterpret_cast<TObject*>(Index + 100); };
    L->OnDataFind = [](TWinControl*, const String& S) { return S == "row 7" ? 7 : S.rfind("r", 0) == 0 ? 3 : -1; };
  });
  List->SetCount(20);
  EXPECT_EQ(List->GetItems()->GetObject(5), reinterpret_cast<TObject*>(105));
  EXPECT_EQ(List->GetItems()->IndexOf("row 7"), 7);
  EXPECT_EQ(List->GetItems()->IndexOf("x"), -1);
  List->GetItems()->Clear();
  EXPECT_EQ(List->GetCount(), 20) << "a virtual list's count is the application's";
  List->SetFocus();
  Display()->InjectChar("r");
  Pump();
  EXPECT_EQ(List->GetItemIndex(), 3) << "type-ahead asks OnDataFind";
  // The control draws the rows with the text OnData gives.
  COLORREF Back = Pixel(Form, 10 + 110, 10 + 16 + 8);
  bool Inked = false;
  for (int X = 2; X < 40 && !Inked; ++X)
    for (int Y = 16; Y < 32 && !Inked; ++Y) Inked = Pixel(Form, 10 + X, 10 + Y) != Back;
  EXPECT_TRUE(Inked);

  auto* Plain = Add<TListBox>(Form, "Plain", 150, 10, 100, 50);
  EXPECT_THROW(Plain->SetCount(5), EListError);
}

// An empty owner-drawn list with the focus is asked to draw "no item" (index -1) with the
// focus state; the control fills it and draws the focus frame without calling DrawItem.
TEST_F(StdListBox, EmptyFocusedOwnerDrawListDrawsNoItem) {
  struct TDrawLog : TListBox {
    using TListBox::TListBox;
    std::vector<std::pair<int, UINT>> Items;
    void CNDrawItem(TMessage& Message) override {
      auto* S = reinterpret_cast<DRAWITEMSTRUCT*>(Message.LParam);
      Items.push_back({static_cast<int>(S->itemID), S->itemState});
      TListBox::CNDrawItem(Message);
    }
  };
  Form = NewForm(100, 100, 300, 200);
  auto* L = Add<TDrawLog>(Form, "Empty", 10, 10, 120, 100);
  L->SetStyle(lbOwnerDrawFixed);
  int Drawn = 0;
  L->OnDrawItem = [&](TWinControl*, int, const TRect&, TOwnerDrawState) { ++Drawn; };
  Form->Show();
  Pump();
  L->SetFocus();
  Pump();
  ASSERT_FALSE(L->Items.empty());
  EXPECT_EQ(L->Items.back().first, -1);
  EXPECT_EQ(L->Items.back().second & ODS_FOCUS, ODS_FOCUS);
  EXPECT_EQ(Drawn, 0);
}

// The wheel reaches OnMouseWheel first; a handler that takes it keeps the list where it is.
TEST_F(StdListBox, OnMouseWheelCanTakeTheWheel) {
  Make({"0", "1", "2", "3", "4", "5", "6", "7", "8", "9"});
  Send(LB_SETITEMHEIGHT, 0, 16);
  bool Take = true;
  int Calls = 0;
  List->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& Handled) {
    ++Calls;
    Handled = Take;
  };
  WPARAM Down = MAKELONG(0, static_cast<WORD>(-WHEEL_DELTA));
  Send(WM_MOUSEWHEEL, Down, 0);
  EXPECT_EQ(List->GetTopIndex(), 0);
  Take = false;
  Send(WM_MOUSEWHEEL, Down, 0);
  EXPECT_EQ(List->GetTopIndex(), 3);
  EXPECT_EQ(Calls, 2);
}

// Messages for the items reach the control's window procedure, also from a store put in place
// of Items, so a derived list can follow every change.
TEST_F(StdListBox, ItemMessagesPassThroughTheControl) {
  struct TWatched : TListBox {
    using TListBox::TListBox;
    std::vector<UINT> Seen;
    void WndProc(TMessage& Message) override {
      if (Message.Msg >= LB_ADDSTRING && Message.Msg <= LB_RESETCONTENT) Seen.push_back(Message.Msg);
      TListBox::WndProc(Message);
    }
    // A store that appends with an upper-case copy of the text.
    struct TUpperStrings : TListBoxStrings {
      using TListBoxStrings::TListBoxStrings;
      int Add(const String& S) override { return TListBoxStrings::Add(UpperCase(S)); }
    };
    void UseUpperStrings() { ReplaceItems(std::make_unique<TUpperStrings>(this)); }
  };
  Form = NewForm(100, 100, 300, 200);
  auto* L = Add<TWatched>(Form, "Watched", 10, 10, 120, 100);
  Form->Show();
  Pump();
  L->GetItems()->Add("x");
  L->GetItems()->Insert(0, "y");
  L->GetItems()->Delete(1);
  L->Clear();
  EXPECT_EQ(L->Seen, (std::vector<UINT>{LB_ADDSTRING, LB_INSERTSTRING, LB_DELETESTRING, LB_RESETCONTENT}));
  L->UseUpperStrings();
  L->GetItems()->Add("abc");
  L->AddItem("def", nullptr);
  EXPECT_EQ(L->GetItems()->Get(0), "ABC");
  EXPECT_EQ(L->GetItems()->Get(1), "DEF");
  EXPECT_EQ(L->Seen.back(), LB_ADDSTRING);
}

// A list without a non-client area (its window procedure answers WM_NCCALCSIZE with nothing, as
// a list inside a frame that draws its own bars does) shows no bars but keeps its scroll state:
// the rows fill the whole window and the range and position follow the items.
TEST_F(StdListBox, ScrollStateWithoutBarsFollowsTheItems) {
  struct TBare : TListBox {
    using TListBox::TListBox;
    void WndProc(TMessage& Message) override {
      if (Message.Msg == WM_NCCALCSIZE) return;
      TListBox::WndProc(Message);
    }
  };
  Form = NewForm(100, 100, 300, 200);
  auto* L = Add<TBare>(Form, "Bare", 10, 10, 120, 100);
  L->SetStyle(lbOwnerDrawFixed);
  L->SetItemHeight(20);
  for (int I = 0; I < 8; ++I) L->GetItems()->Add(IntToStr(I));
  Form->Show();
  Pump();
  EXPECT_EQ(L->GetClientWidth(), 120);
  EXPECT_EQ(L->GetClientHeight(), 100);
  int Min = -1, Max = -1;
  GetScrollRange(L->GetHandle(), SB_VERT, &Min, &Max);
  EXPECT_EQ(Min, 0);
  EXPECT_EQ(Max, 7);
  SCROLLINFO SI;
  SI.fMask = SIF_ALL;
  GetScrollInfo(L->GetHandle(), SB_VERT, &SI);
  EXPECT_EQ(SI.nPage, 5u) << "five rows of 20 fit in 100 pixels";
  SendMessageA(L->GetHandle(), WM_VSCROLL, MAKELONG(SB_THUMBPOSITION, 3), 0);
  EXPECT_EQ(L->GetTopIndex(), 3);
  EXPECT_EQ(GetScrollPos(L->GetHandle(), SB_VERT), 3);
  for (int I = 0; I < 3; ++I) L->GetItems()->Delete(0);
  GetScrollRange(L->GetHandle(), SB_VERT, &Min, &Max);
  EXPECT_EQ(Max, 0) << "five items fit: no range";
  EXPECT_EQ(L->GetTopIndex(), 0);
}

}  // namespace
