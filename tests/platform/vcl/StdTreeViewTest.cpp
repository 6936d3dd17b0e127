#include <gtest/gtest.h>

#include "platform/rtl/StrUtils.h"
#include "platform/vcl/TreeViewCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdTreeView : public TVclWindowTest {
protected:
  TTreeView* Tree = nullptr;
  std::vector<String> Log;

  TForm* MakeTree() {
    TForm* F = NewForm(0, 0, 300, 240);
    F->HandleNeeded();
    Tree = Add<TTreeView>(F, "Tree", 0, 0, 200, 200);
    Tree->HandleNeeded();
    Tree->OnChanging = [this](TObject*, TTreeNode* N, bool& Allow) {
      Log.push_back("changing " + (N ? N->GetText() : String("-")));
      Allow = AllowChange;
    };
    Tree->OnChange = [this](TObject*, TTreeNode* N) { Log.push_back("change " + (N ? N->GetText() : String("-"))); };
    Tree->OnDeletion = [this](TObject*, TTreeNode* N) { Log.push_back("delete " + N->GetText()); };
    return F;
  }
  // A (A1, A2 (A2a)), B
  void Fill() {
    TTreeNodes* I = Tree->GetItems();
    TTreeNode* A = I->Add(nullptr, "A");
    I->AddChild(A, "A1");
    TTreeNode* A2 = I->AddChild(A, "A2");
    I->AddChild(A2, "A2a");
    I->Add(A, "B");
  }
  TTreeNode* Node(const char* Text) {
    for (TTreeNode* N = Tree->GetItems()->GetFirstNode(); N; N = N->GetNext())
      if (N->GetText() == Text) return N;
    return nullptr;
  }
  String Order() {
    String S;
    for (TTreeNode* N = Tree->GetItems()->GetFirstNode(); N; N = N->GetNext()) S += N->GetText() + " ";
    return S;
  }
  // The order of the window's own items, depth first.
  String NativeOrder() {
    String S;
    std::function<void(HTREEITEM)> Walk = [&](HTREEITEM H) {
      for (; H; H = reinterpret_cast<HTREEITEM>(
                    SendMessageA(Tree->GetHandle(), TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(H)))) {
        char Buffer[32] = {};
        TVITEMA It;
        It.mask = TVIF_TEXT | TVIF_HANDLE;
        It.hItem = H;
        It.pszText = Buffer;
        It.cchTextMax = sizeof Buffer;
        SendMessageA(Tree->GetHandle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It));
        S += String(Buffer) + " ";
        Walk(reinterpret_cast<HTREEITEM>(
            SendMessageA(Tree->GetHandle(), TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(H))));
      }
    };
    Walk(reinterpret_cast<HTREEITEM>(SendMessageA(Tree->GetHandle(), TVM_GETNEXTITEM, TVGN_ROOT, 0)));
    return S;
  }
  void ClickAt(TPoint P, UINT Msg = WM_LBUTTONDOWN) {
    SendMessageA(Tree->GetHandle(), Msg, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    SendMessageA(Tree->GetHandle(), WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
  }
  static TPoint Mid(const TRect& R) { return Point((R.left + R.right) / 2, (R.top + R.bottom) / 2); }
  bool AllowChange = true;
};

TEST_F(StdTreeView, NodesKeepTheirShapeInTheWindow) {
  MakeTree();
  Fill();
  TTreeNodes* I = Tree->GetItems();
  EXPECT_EQ(I->GetCount(), 5);
  EXPECT_EQ(Order(), "A A1 A2 A2a B ");
  EXPECT_EQ(NativeOrder(), Order());
  EXPECT_EQ(SendMessageA(Tree->GetHandle(), TVM_GETCOUNT, 0, 0), 5);
  struct TCase {
    const char* Text;
    int Level, Index, Absolute;
    const char* Parent;
    const char* Next;  // depth first
    const char* Prev;
  } Cases[] = {
      {"A", 0, 0, 0, nullptr, "A1", nullptr},  {"A1", 1, 0, 1, "A", "A2", "A"},  {"A2", 1, 1, 2, "A", "A2a", "A1"},
      {"A2a", 2, 0, 3, "A2", "B", "A2"},       {"B", 0, 1, 4, nullptr, nullptr, "A2a"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Text);
    TTreeNode* N = Node(C.Text);
    ASSERT_NE(N, nullptr);
    EXPECT_EQ(N->GetLevel(), C.Level);
    EXPECT_EQ(N->GetIndex(), C.Index);
    EXPECT_EQ(N->GetAbsoluteIndex(), C.Absolute);
    EXPECT_EQ(I->GetItem(C.Absolute), N);
    EXPECT_EQ(N->GetParent(), C.Parent ? Node(C.Parent) : nullptr);
    EXPECT_EQ(N->GetNext(), C.Next ? Node(C.Next) : nullptr);
    EXPECT_EQ(N->GetPrev(), C.Prev ? Node(C.Prev) : nullptr);
    EXPECT_EQ(I->GetNode(N->GetItemId()), N);
  }
  EXPECT_THROW(I->GetItem(5), EListError);
  // Insert places a node before its sibling; AddFirst at the front.
  I->Insert(Node("B"), "Between");
  I->AddChildFirst(Node("A"), "A0");
  EXPECT_EQ(Order(), "A A0 A1 A2 A2a Between B ");
  EXPECT_EQ(NativeOrder(), Order());
  // Sorting orders the nodes and the window's items alike.
  Tree->CustomSort([](LPARAM A, LPARAM B, LPARAM) {
    return -AnsiCompareText(reinterpret_cast<TTreeNode*>(A)->GetText(), reinterpret_cast<TTreeNode*>(B)->GetText());
  }, 0, true);
  EXPECT_EQ(Order(), "Between B A A2 A2a A1 A0 ");
  EXPECT_EQ(NativeOrder(), Order());
  Tree->AlphaSort(true);
  EXPECT_EQ(Order(), "A A0 A1 A2 A2a B Between ");
  EXPECT_EQ(NativeOrder(), Order());

  // A new window brings the same items, expansion and selection back.
  Node("A")->Expand(false);
  Tree->SetSelected(Node("A1"));
  Log.clear();
  Tree->SetBorderStyle(bsNone);
  EXPECT_EQ(NativeOrder(), Order());
  EXPECT_TRUE(Node("A")->GetExpanded());
  EXPECT_FALSE(Node("A2")->GetExpanded());
  EXPECT_EQ(Tree->GetSelected(), Node("A1"));
  EXPECT_EQ(I->GetNode(Node("A2a")->GetItemId()), Node("A2a"));
  EXPECT_TRUE(Log.empty()) << "a new window fires no events";
}

TEST_F(StdTreeView, NodesFillWhenTheyFirstExpand) {
  MakeTree();
  TTreeNodes* I = Tree->GetItems();
  struct TCase {
    const char* Name;
    bool Allow;
    int Added;  // children the handler adds
    bool Expanded;
    bool HasChildren;
    int Count;
  } Cases[] = {
      {"Fills", true, 2, true, true, 2},
      {"Empty", true, 0, false, false, 0},
      {"Vetoed", false, 0, false, true, 0},
  };
  for (const TCase& C : Cases) {
    for (bool ByMouse : {false, true}) {
      SCOPED_TRACE(testing::Message() << C.Name << (ByMouse ? " by mouse" : " by code"));
      I->Clear();
      TTreeNode* N = I->Add(nullptr, C.Name);
      N->SetHasChildren(true);
      int Calls = 0;
      Tree->OnExpanding = [&](TObject*, TTreeNode* Node, bool& Allow) {
        ++Calls;
        for (int K = 0; K < C.Added; ++K) I->AddChild(Node, "child");
        Allow = C.Allow;
      };
      std::vector<String> Expanded;
      Tree->OnExpanded = [&](TObject*, TTreeNode* Node) { Expanded.push_back(Node->GetText()); };
      if (ByMouse) {
        // The button sits left of the text.
        TRect R = N->DisplayRect(true);
        ASSERT_FALSE(IsRectEmpty(&R));
        TPoint P = Point(R.left - Tree->GetIndent() / 2, (R.top + R.bottom) / 2);
        EXPECT_EQ(Tree->GetHitTestInfoAt(P.x, P.y), htOnButton);
        ClickAt(P);
      } else {
        N->Expand(false);
      }
      EXPECT_EQ(Calls, 1);
      EXPECT_EQ(N->GetExpanded(), C.Expanded);
      EXPECT_EQ(N->GetHasChildren(), C.HasChildren);
      EXPECT_EQ(N->GetCount(), C.Count);
      EXPECT_EQ(Expanded, C.Expanded ? std::vector<String>{C.Name} : std::vector<String>{});
      if (C.Expanded) {
        EXPECT_TRUE(N->getFirstChild()->IsVisible());
        EXPECT_EQ(N->GetNextVisible(), N->getFirstChild());
        // Expanding again asks nobody.
        N->Expand(false);
        EXPECT_EQ(Calls, 1);
      }
    }
  }
  Tree->OnExpanding = nullptr;
  Tree->OnExpanded = nullptr;
}

TEST_F(StdTreeView, SelectionAsksFirstAndFollowsCollapseAndDeletion) {
  MakeTree();
  Fill();
  Tree->FullExpand();
  struct TStep {
    const char* What;
    bool Allow;
    std::function<void()> Act;
    const char* Selected;
    std::vector<String> ExpectedLog;
  } Steps[] = {
      {"click A2", true, [&] { ClickAt(Mid(Node("A2")->DisplayRect(true))); }, "A2", {"changing A2", "change A2"}},
      {"vetoed click", false, [&] { ClickAt(Mid(Node("B")->DisplayRect(true))); }, "A2", {"changing B"}},
      {"key down", true, [&] { SendMessageA(Tree->GetHandle(), WM_KEYDOWN, VK_DOWN, 0); }, "A2a",
       {"changing A2a", "change A2a"}},
      {"key left goes to the parent", true, [&] { SendMessageA(Tree->GetHandle(), WM_KEYDOWN, VK_LEFT, 0); }, "A2",
       {"changing A2", "change A2"}},
      {"collapsing A moves the selection up", true, [&] { Node("A")->Collapse(false); }, "A",
       {"changing A", "change A"}},
      {"by code", true, [&] { Tree->SetSelected(Node("B")); }, "B", {"changing B", "change B"}},
      {"deleting the selected node selects its previous sibling", true, [&] { Node("B")->Delete(); }, "A",
       {"delete B", "changing A", "change A"}},
      {"deleting a subtree announces children first", true, [&] { Node("A2")->Delete(); }, "A",
       {"delete A2a", "delete A2"}},
  };
  for (TStep& S : Steps) {
    SCOPED_TRACE(S.What);
    Log.clear();
    AllowChange = S.Allow;
    S.Act();
    EXPECT_EQ(Tree->GetSelected(), Node(S.Selected));
    EXPECT_EQ(Log, S.ExpectedLog);
  }
  EXPECT_EQ(Order(), "A A1 ");
  EXPECT_EQ(NativeOrder(), Order());
  EXPECT_EQ(SendMessageA(Tree->GetHandle(), TVM_GETCOUNT, 0, 0), 2);
  Log.clear();
  Tree->GetItems()->Clear();
  EXPECT_EQ(Log, (std::vector<String>{"delete A1", "delete A", "changing -", "change -"}));
  EXPECT_EQ(Tree->GetSelected(), nullptr);
  // A stale handle is refused.
  EXPECT_EQ(SendMessageA(Tree->GetHandle(), TVM_GETNEXTITEM, TVGN_CHILD, 12345), 0);
}

TEST_F(StdTreeView, ScrollStateFollowsTheShownRows) {
  TForm* F = MakeTree();
  for (int K = 0; K < 40; ++K) Tree->GetItems()->Add(nullptr, "Node " + std::to_string(K));
  int Page = static_cast<int>(SendMessageA(Tree->GetHandle(), TVM_GETVISIBLECOUNT, 0, 0));
  ASSERT_GT(Page, 2);
  ASSERT_LT(Page, 40);
  SCROLLINFO SI{};
  SI.cbSize = sizeof SI;
  SI.fMask = SIF_ALL;
  GetScrollInfo(Tree->GetHandle(), SB_VERT, &SI);
  EXPECT_EQ(SI.nMin, 0);
  EXPECT_EQ(SI.nMax, 39);
  EXPECT_EQ(static_cast<int>(SI.nPage), Page);
  SendMessageA(Tree->GetHandle(), WM_VSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 10), 0);
  EXPECT_EQ(Tree->GetTopItem()->GetText(), "Node 10");
  // Selecting a row below the page scrolls it in.
  Tree->SetSelected(Tree->GetItems()->GetItem(35));
  TRect R = Tree->GetItems()->GetItem(35)->DisplayRect(false);
  EXPECT_GE(R.top, 0);
  EXPECT_LE(R.bottom, Tree->GetClientHeight());
  // The focused selection is drawn highlighted.
  F->Show();
  Tree->SetFocus();
  Pump();
  TRect T = Tree->GetItems()->GetItem(35)->DisplayRect(true);
  TPoint P = Tree->ClientToScreen(Point(T.left + 1, (T.top + T.bottom) / 2));
  EXPECT_EQ(Pixel(F, P.x - F->GetLeft(), P.y - F->GetTop()), GetSysColor(COLOR_HIGHLIGHT));
}

TEST_F(StdTreeView, DottedLinesJoinNodesWithButtonsOnThem) {
  TForm* F = MakeTree();
  Fill();  // A (A1, A2 (A2a)), B
  Tree->FullExpand();
  F->Show();
  Pump();
  const COLORREF Grey = GetSysColor(COLOR_GRAYTEXT), Back = GetSysColor(COLOR_WINDOW);
  int Indent = Tree->GetIndent();
  // The pixel of the tree's client point (X, Y) as shown.
  auto At = [&](int X, int Y) {
    TPoint P = Tree->ClientToScreen(Point(X, Y));
    return Pixel(F, P.x - F->GetLeft(), P.y - F->GetTop());
  };
  // The joint of a node: the middle of its button column and of its row.
  auto Joint = [&](const char* Text) {
    TRect Label = Node(Text)->DisplayRect(true);
    return Point((Label.left - Indent + Label.left) / 2, (Label.top + Label.bottom) / 2);
  };
  // Along a line the dots alternate: a dot where x + y is even, background between.
  auto Dotted = [&](int X, int Y) {
    return At(X, Y) == (((X + Y) & 1) == 0 ? Grey : Back);
  };
  TPoint A1 = Joint("A1"), A2a = Joint("A2a"), A = Joint("A");
  TRect RowA1 = Node("A1")->DisplayRect(false), RowA2a = Node("A2a")->DisplayRect(false);
  // A1: across to its label, and down its column on both sides of the joint (A2 follows).
  for (int X = A1.x + 2; X < A1.x + 6; ++X) EXPECT_TRUE(Dotted(X, A1.y)) << X;
  for (int Y : {RowA1.top, RowA1.top + 1, RowA1.bottom - 2, RowA1.bottom - 1}) EXPECT_TRUE(Dotted(A1.x, Y)) << Y;
  // A is followed by B: its line runs through the rows of A's children, A2a's included.
  for (int Y = RowA2a.top; Y < RowA2a.bottom; ++Y) EXPECT_TRUE(Dotted(A.x, Y)) << Y;
  // A2a is the last child: its column stops at its joint.
  EXPECT_EQ(At(A2a.x, A2a.y + 3), Back);
  EXPECT_EQ(At(A2a.x, A2a.y + 4), Back);
  // A's button sits on the line: inside the box no dot shows, below it the line goes on.
  EXPECT_EQ(At(A.x - 2, A.y - 2), Back);
  EXPECT_EQ(At(A.x + 2, A.y + 2), Back);
  EXPECT_EQ(At(A.x, A.y - 4), GetSysColor(COLOR_BTNSHADOW)) << "the box frame";
  TRect RowA = Node("A")->DisplayRect(false);
  EXPECT_TRUE(Dotted(A.x, RowA.bottom - 1));
  EXPECT_TRUE(Dotted(A.x, RowA.bottom - 2));
  // The very first node has no line above its button.
  for (int Y = RowA.top; Y < A.y - 4; ++Y) EXPECT_EQ(At(A.x, Y), Back) << Y;

  // Without lines none of it shows.
  Tree->SetShowLines(false);
  Pump();
  for (int X = A1.x + 2; X < A1.x + 6; ++X) EXPECT_EQ(At(X, A1.y), Back);
  for (int Y = RowA2a.top; Y < RowA2a.bottom; ++Y) EXPECT_EQ(At(A.x, Y), Back);
}

TEST_F(StdTreeView, WheelScrollsBySystemLinesAndKeepsSmallTurns) {
  TForm* F = MakeTree();
  for (int K = 0; K < 40; ++K) Tree->GetItems()->Add(nullptr, "Node " + std::to_string(K));
  UINT Lines = 0;
  SystemParametersInfoA(SPI_GETWHEELSCROLLLINES, 0, &Lines, 0);
  ASSERT_GT(Lines, 0u);
  auto Top = [&] { return Tree->GetTopItem()->GetIndex(); };
  auto Wheel = [&](int Delta) {
    SendMessageA(Tree->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(static_cast<short>(Delta))), 0);
  };
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(Top(), static_cast<int>(Lines));
  // Small turns add up: a notch in parts scrolls as far as a whole notch.
  for (int K = 0; K < 4; ++K) Wheel(-WHEEL_DELTA / 4);
  EXPECT_EQ(Top(), 2 * static_cast<int>(Lines));
  Wheel(2 * WHEEL_DELTA);
  EXPECT_EQ(Top(), 0);
  Wheel(WHEEL_DELTA);
  EXPECT_EQ(Top(), 0) << "at the top already";

  // A tree whose rows all fit leaves the wheel to its parent.
  int ParentWheels = 0;
  F->OnMouseWheel = [&](TObject*, TShiftState, int, TPoint, bool& Handled) {
    ++ParentWheels;
    Handled = true;
  };
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ParentWheels, 0);
  Tree->GetItems()->Clear();
  Tree->GetItems()->Add(nullptr, "Only");
  Wheel(-WHEEL_DELTA);
  EXPECT_EQ(ParentWheels, 1);
}

TEST_F(StdTreeView, ColourAndFontColourReachTheWindow) {
  MakeTree();
  Tree->SetColor(clYellow);
  Tree->GetFont()->SetColor(clRed);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(Tree->GetHandle(), TVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(Tree->GetHandle(), TVM_GETTEXTCOLOR, 0, 0)), RGB(255, 0, 0));
  // A new window takes them too.
  Tree->SetBorderStyle(bsNone);
  EXPECT_EQ(static_cast<COLORREF>(SendMessageA(Tree->GetHandle(), TVM_GETBKCOLOR, 0, 0)), RGB(255, 255, 0));
}

TEST_F(StdTreeView, WideRowsScrollSideways) {
  MakeTree();
  TTreeNode* Deep = Tree->GetItems()->Add(nullptr, "Top");
  for (int K = 0; K < 6; ++K) Deep = Tree->GetItems()->AddChild(Deep, "A rather long folder name " + std::to_string(K));
  Deep->MakeVisible();
  auto Horz = [&] {
    SCROLLINFO SI{};
    SI.cbSize = sizeof SI;
    SI.fMask = SIF_ALL;
    GetScrollInfo(Tree->GetHandle(), SB_HORZ, &SI);
    return SI;
  };
  TRect Label = Deep->DisplayRect(true);
  SCROLLINFO SI = Horz();
  EXPECT_EQ(SI.nMax + 1, Label.right) << "as wide as the widest row";
  EXPECT_EQ(static_cast<int>(SI.nPage), Tree->GetClientWidth());
  EXPECT_EQ(SI.nPos, 0);
  SendMessageA(Tree->GetHandle(), WM_HSCROLL, MAKEWPARAM(SB_THUMBPOSITION, 30), 0);
  EXPECT_EQ(Horz().nPos, 30);
  TRect Moved = Deep->DisplayRect(true);
  EXPECT_EQ(Moved.left, Label.left - 30);
  EXPECT_EQ(Tree->GetNodeAt(Moved.left + 3, (Moved.top + Moved.bottom) / 2), Deep) << "hit testing follows";
  SendMessageA(Tree->GetHandle(), WM_HSCROLL, SB_RIGHT, 0);
  EXPECT_EQ(Horz().nPos, SI.nMax + 1 - static_cast<int>(SI.nPage)) << "the last page at most";
  // Rows that fit need no sideways scrolling.
  Tree->GetItems()->Clear();
  Tree->GetItems()->Add(nullptr, "Short");
  EXPECT_EQ(Horz().nPos, 0);
  EXPECT_LE(Horz().nMax + 1, static_cast<int>(Horz().nPage));
}

}  // namespace

// A wide node edited every way a caller can: the node list, each node's place among its
// siblings, the window's own order and the look-up by window item must agree after each step.
TEST_F(StdTreeView, WideNodesKeepOrderPlacesAndItemsThroughEdits) {
  MakeTree();
  TTreeNodes* I = Tree->GetItems();
  TTreeNode* Top = I->Add(nullptr, "top");
  for (int K = 0; K < 60; ++K) I->AddChild(Top, "n" + std::to_string(100 + K));
  const auto Child = [&](int Index) { return Top->GetItem(Index); };
  const struct {
    const char* What;
    std::function<void()> Step;
  } Steps[] = {
      {"add first", [&] { I->AddChildFirst(Top, "first"); }},
      {"insert in the middle", [&] { I->Insert(Child(30), "middle"); }},
      {"add last", [&] { I->AddChild(Top, "last"); }},
      {"delete the first", [&] { Child(0)->Delete(); }},
      {"delete one in the middle", [&] { Child(17)->Delete(); }},
      {"delete the last", [&] { Child(Top->GetCount() - 1)->Delete(); }},
      {"sort descending",
       [&] {
         Top->CustomSort([](LPARAM A, LPARAM B, LPARAM) {
           return AnsiCompareText(reinterpret_cast<TTreeNode*>(B)->GetText(), reinterpret_cast<TTreeNode*>(A)->GetText());
         }, 0, false);
       }},
      // Ties keep their order: by the last digit only.
      {"sort with ties",
       [&] {
         Top->CustomSort([](LPARAM A, LPARAM B, LPARAM) {
           return reinterpret_cast<TTreeNode*>(A)->GetText().back() - reinterpret_cast<TTreeNode*>(B)->GetText().back();
         }, 0, false);
       }},
      {"clear the children", [&] { Top->DeleteChildren(); }},
  };
  for (const auto& S : Steps) {
    S.Step();
    // What the list holds, read the plain way through the vector of children.
    String Listed;
    for (int K = 0; K < Top->GetCount(); ++K) {
      TTreeNode* N = Child(K);
      Listed += N->GetText() + " ";
      ASSERT_EQ(N->GetIndex(), K) << S.What;
      ASSERT_EQ(I->GetNode(N->GetItemId()), N) << S.What << ": " << N->GetText();
      ASSERT_EQ(N->getNextSibling(), K + 1 < Top->GetCount() ? Child(K + 1) : nullptr) << S.What;
      ASSERT_EQ(N->getPrevSibling(), K > 0 ? Child(K - 1) : nullptr) << S.What;
    }
    EXPECT_EQ(Order(), "top " + Listed) << S.What;
    EXPECT_EQ(NativeOrder(), "top " + Listed) << S.What;
    EXPECT_EQ(I->GetCount(), Top->GetCount() + 1) << S.What;
  }
  EXPECT_EQ(I->GetNode(Top->GetItemId()), Top);
}

TEST_F(StdTreeView, ScrollRangeAfterABatchAndBelowACollapsedNode) {
  MakeTree();
  TTreeNodes* I = Tree->GetItems();
  const auto VerticalMax = [&] {
    SCROLLINFO SI{};
    SI.cbSize = sizeof SI;
    SI.fMask = SIF_ALL;
    GetScrollInfo(Tree->GetHandle(), SB_VERT, &SI);
    return SI.nMax;
  };
  I->BeginUpdate();
  for (int K = 0; K < 50; ++K) I->Add(nullptr, "Row " + std::to_string(K));
  I->EndUpdate();
  EXPECT_EQ(VerticalMax(), 49);
  // Children of a collapsed node add no rows until it opens, and take them away when it closes.
  TTreeNode* Folder = I->GetItem(10);
  for (int K = 0; K < 30; ++K) I->AddChild(Folder, "Child " + std::to_string(K));
  EXPECT_EQ(VerticalMax(), 49);
  Folder->Expand(false);
  EXPECT_EQ(VerticalMax(), 79);
  I->AddChild(Folder, "One more");
  EXPECT_EQ(VerticalMax(), 80);
  Folder->Collapse(false);
  EXPECT_EQ(VerticalMax(), 49);
  // A batch that deletes: the range follows when it ends.
  I->BeginUpdate();
  for (int K = 0; K < 20; ++K) I->GetFirstNode()->Delete();
  I->EndUpdate();
  EXPECT_EQ(VerticalMax(), 29);
}
