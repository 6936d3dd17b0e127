// In-place label editing of the tree view and the list view: the window classes' messages and
// notifications, the class-library wrappers' events and virtuals, and the ways an edit starts
// and ends.
#include <gtest/gtest.h>

#include <cstring>
#include <functional>

#include "platform/rtl/StrUtils.h"
#include "platform/vcl/ListViewCtrl.h"
#include "platform/vcl/TreeViewCtrl.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

// A plain parent window that logs the view notifications it gets and answers them as told.
struct TParentLog {
  std::vector<String> Lines;
  LRESULT BeginAnswer = 0;
  LRESULT EndAnswer = 1;
  HWND EditSeenAtBegin = nullptr;
};

TParentLog& ParentLog() {
  static TParentLog Log;
  return Log;
}

String TextOrNull(LPSTR Text) { return Text ? String(Text) : String("(null)"); }

LRESULT ParentProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam) {
  TParentLog& L = ParentLog();
  if (Msg == WM_NOTIFY) {
    auto* H = reinterpret_cast<NMHDR*>(LParam);
    switch (H->code) {
      case TVN_BEGINLABELEDITA:
        L.EditSeenAtBegin = reinterpret_cast<HWND>(SendMessageA(H->hwndFrom, TVM_GETEDITCONTROL, 0, 0));
        L.Lines.push_back("begin " + TextOrNull(reinterpret_cast<NMTVDISPINFOA*>(LParam)->item.pszText));
        return L.BeginAnswer;
      case TVN_ENDLABELEDITA:
        L.Lines.push_back("end " + TextOrNull(reinterpret_cast<NMTVDISPINFOA*>(LParam)->item.pszText));
        return L.EndAnswer;
      case LVN_BEGINLABELEDITA:
        L.EditSeenAtBegin = reinterpret_cast<HWND>(SendMessageA(H->hwndFrom, LVM_GETEDITCONTROL, 0, 0));
        L.Lines.push_back("begin " + TextOrNull(reinterpret_cast<NMLVDISPINFOA*>(LParam)->item.pszText));
        return L.BeginAnswer;
      case LVN_ENDLABELEDITA:
        L.Lines.push_back("end " + TextOrNull(reinterpret_cast<NMLVDISPINFOA*>(LParam)->item.pszText));
        return L.EndAnswer;
      case LVN_GETDISPINFOA: {
        auto* D = reinterpret_cast<NMLVDISPINFOA*>(LParam);
        if ((D->item.mask & LVIF_TEXT) && D->item.pszText && D->item.cchTextMax > 4) std::strcpy(D->item.pszText, "Cb");
        return 0;
      }
      case LVN_SETDISPINFOA:
        L.Lines.push_back("set " + TextOrNull(reinterpret_cast<NMLVDISPINFOA*>(LParam)->item.pszText));
        return 0;
      default: return 0;
    }
  }
  if (Msg == WM_MOUSEWHEEL) {
    L.Lines.push_back("wheel " + std::to_string(static_cast<short>(HIWORD(WParam))));
    return 0;
  }
  return DefWindowProcA(Wnd, Msg, WParam, LParam);
}

class StdViewLabelEdit : public TVclWindowTest {
protected:
  HWND RawParent = nullptr;

  void TearDown() override {
    if (RawParent) DestroyWindow(RawParent);
    TVclWindowTest::TearDown();
  }

  // A plain parent holding a view window of Class.
  HWND RawView(const char* Class, DWORD Style) {
    WNDCLASSA Existing{};
    if (!GetClassInfoA(nullptr, "QvViewEditParent", &Existing)) {
      WNDCLASSA C{};
      C.lpfnWndProc = ParentProc;
      C.lpszClassName = "QvViewEditParent";
      RegisterClassA(&C);
    }
    RegisterTreeViewClass();
    RegisterListViewClass();
    ParentLog() = TParentLog{};
    RawParent = CreateWindowExA(0, "QvViewEditParent", "", WS_POPUP, 0, 0, 320, 240, nullptr, nullptr, nullptr, nullptr);
    return CreateWindowExA(0, Class, "", WS_CHILD | WS_VISIBLE | Style, 0, 0, 200, 120, RawParent,
                           reinterpret_cast<HMENU>(7), nullptr, nullptr);
  }

  static HTREEITEM InsertTreeItem(HWND Tree, const char* Text) {
    TVINSERTSTRUCTA In;
    In.hParent = TVI_ROOT;
    In.hInsertAfter = TVI_LAST;
    In.item.mask = TVIF_TEXT;
    In.item.pszText = const_cast<char*>(Text);
    return reinterpret_cast<HTREEITEM>(SendMessageA(Tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&In)));
  }
  static String TreeItemText(HWND Tree, HTREEITEM H) {
    char Buffer[64] = {};
    TVITEMA It;
    It.mask = TVIF_TEXT | TVIF_HANDLE;
    It.hItem = H;
    It.pszText = Buffer;
    It.cchTextMax = sizeof Buffer;
    SendMessageA(Tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It));
    return Buffer;
  }
  static String ClassOf(HWND Wnd) {
    char Buffer[32] = {};
    GetClassNameA(Wnd, Buffer, sizeof Buffer);
    return Buffer;
  }
  static String WindowText(HWND Wnd) {
    char Buffer[128] = {};
    GetWindowTextA(Wnd, Buffer, sizeof Buffer);
    return Buffer;
  }
  static int WidthOf(HWND Wnd) {
    RECT R{};
    GetWindowRect(Wnd, &R);
    return R.right - R.left;
  }

  // ---- The class-library tree ----
  TTreeView* Tree = nullptr;
  std::vector<String> Log;
  bool AllowEdit = true;

  TForm* MakeTree(int Nodes = 3) {
    TForm* F = NewForm(0, 0, 300, 240);
    F->HandleNeeded();
    Tree = Add<TTreeView>(F, "Tree", 0, 0, 200, 200);
    Tree->HandleNeeded();
    for (int K = 0; K < Nodes; ++K) Tree->GetItems()->Add(nullptr, "Node " + std::to_string(K));
    Tree->OnEditing = [this](TObject*, TTreeNode* N, bool& Allow) {
      Log.push_back("editing " + N->GetText());
      Allow = AllowEdit;
    };
    Tree->OnEdited = [this](TObject*, TTreeNode* N, String& S) { Log.push_back("edited " + N->GetText() + " > " + S); };
    Tree->OnCancelEdit = [this](TObject*, TTreeNode* N) { Log.push_back("cancel " + N->GetText()); };
    return F;
  }
  HWND TreeEdit() { return reinterpret_cast<HWND>(SendMessageA(Tree->GetHandle(), TVM_GETEDITCONTROL, 0, 0)); }

  // ---- The class-library list ----
  TListView* List = nullptr;

  TForm* MakeList(TViewStyle Style = vsReport, int Items = 3) {
    TForm* F = NewForm(0, 0, 320, 240);
    F->HandleNeeded();
    List = Add<TListView>(F, "List", 0, 0, 300, 200);
    List->SetViewStyle(Style);
    List->GetColumns()->Add()->SetWidth(120);
    List->HandleNeeded();
    for (int K = 0; K < Items; ++K) List->GetItems()->Add()->SetCaption("Item " + std::to_string(K));
    List->OnEditing = [this](TObject*, TListItem* I, bool& Allow) {
      Log.push_back("editing " + I->GetCaption());
      Allow = AllowEdit;
    };
    List->OnEdited = [this](TObject*, TListItem* I, String& S) { Log.push_back("edited " + I->GetCaption() + " > " + S); };
    List->OnCancelEdit = [this](TObject*, TListItem* I) { Log.push_back("cancel " + I->GetCaption()); };
    return F;
  }
  HWND ListEdit() { return reinterpret_cast<HWND>(SendMessageA(List->GetHandle(), LVM_GETEDITCONTROL, 0, 0)); }

  void Click(HWND Wnd, TPoint P, UINT Msg = WM_LBUTTONDOWN) {
    SendMessageA(Wnd, Msg, MK_LBUTTON, MAKELPARAM(P.x, P.y));
    SendMessageA(Wnd, WM_LBUTTONUP, 0, MAKELPARAM(P.x, P.y));
  }
  static TPoint Mid(const TRect& R) { return Point((R.left + R.right) / 2, (R.top + R.bottom) / 2); }
};

// ---- The tree view window ----

TEST_F(StdViewLabelEdit, TreeWindowAsksTheParentAndKeepsTextOnlyWhenAllowed) {
  struct TCase {
    bool Cancel;
    LRESULT Answer;
    const char* End;
    const char* Text;
  } Cases[] = {
      {false, 1, "end New", "New"},
      {false, 0, "end New", "Old"},
      {true, 1, "end (null)", "Old"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.End);
    HWND Tv = RawView(WC_TREEVIEWA, 0);
    HTREEITEM H = InsertTreeItem(Tv, "Old");
    ParentLog().EndAnswer = C.Answer;
    auto Edit = reinterpret_cast<HWND>(SendMessageA(Tv, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(H)));
    ASSERT_NE(Edit, nullptr);
    EXPECT_EQ(ClassOf(Edit), "EDIT") << "the system's edit window class";
    EXPECT_EQ(GetParent(Edit), Tv);
    EXPECT_EQ(ParentLog().EditSeenAtBegin, Edit) << "the editor exists while the parent decides";
    EXPECT_EQ(WindowText(Edit), "Old");
    EXPECT_EQ(GetFocus(), Edit);
    EXPECT_EQ(SendMessageA(Tv, TVM_GETNEXTITEM, TVGN_CARET, 0), reinterpret_cast<LRESULT>(H)) << "the item is selected";
    SetWindowTextA(Edit, "New");
    EXPECT_TRUE(SendMessageA(Tv, TVM_ENDEDITLABELNOW, C.Cancel, 0));
    EXPECT_EQ(ParentLog().Lines, (std::vector<String>{"begin Old", C.End}));
    EXPECT_EQ(TreeItemText(Tv, H), C.Text);
    EXPECT_FALSE(IsWindow(Edit));
    EXPECT_EQ(SendMessageA(Tv, TVM_GETEDITCONTROL, 0, 0), 0);
    EXPECT_FALSE(SendMessageA(Tv, TVM_ENDEDITLABELNOW, 0, 0)) << "nothing left to end";
    DestroyWindow(RawParent);
    RawParent = nullptr;
  }
}

TEST_F(StdViewLabelEdit, TreeWindowEditRefusedByTheParentLeavesNothing) {
  HWND Tv = RawView(WC_TREEVIEWA, 0);
  HTREEITEM H = InsertTreeItem(Tv, "Old");
  ParentLog().BeginAnswer = 1;
  EXPECT_EQ(SendMessageA(Tv, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(H)), 0);
  EXPECT_EQ(SendMessageA(Tv, TVM_GETEDITCONTROL, 0, 0), 0);
  EXPECT_EQ(GetWindow(Tv, GW_CHILD), nullptr) << "no editor left behind";
  EXPECT_EQ(SendMessageA(Tv, TVM_EDITLABELA, 0, 12345), 0) << "a stale handle is refused";
}

// ---- The class-library tree ----

TEST_F(StdViewLabelEdit, TreeEditEndsByEnterEscapeOrFocusLoss) {
  struct TCase {
    const char* Name;
    std::function<void(HWND Edit, TForm* F)> End;
    std::vector<String> Events;
    const char* Text;
  } Cases[] = {
      {"enter", [](HWND E, TForm*) { SendMessageA(E, WM_KEYDOWN, VK_RETURN, 0); },
       {"editing Node 1", "edited Node 1 > Renamed"}, "Renamed"},
      {"escape", [](HWND E, TForm*) { SendMessageA(E, WM_KEYDOWN, VK_ESCAPE, 0); },
       {"editing Node 1", "cancel Node 1"}, "Node 1"},
      {"focus", [](HWND, TForm* F) { SetFocus(F->GetHandle()); }, {"editing Node 1", "edited Node 1 > Renamed"},
       "Renamed"},
      {"end now", [this](HWND, TForm*) { Tree->GetItems()->GetItem(1)->EndEdit(false); },
       {"editing Node 1", "edited Node 1 > Renamed"}, "Renamed"},
      {"cancel now", [this](HWND, TForm*) { Tree->GetItems()->GetItem(1)->EndEdit(true); },
       {"editing Node 1", "cancel Node 1"}, "Node 1"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Name);
    Log.clear();
    TForm* F = MakeTree();
    TTreeNode* N = Tree->GetItems()->GetItem(1);
    ASSERT_TRUE(N->EditText());
    EXPECT_TRUE(Tree->IsEditing());
    HWND E = TreeEdit();
    SetWindowTextA(E, "Renamed");
    C.End(E, F);
    EXPECT_FALSE(Tree->IsEditing());
    EXPECT_FALSE(IsWindow(E));
    EXPECT_EQ(Log, C.Events);
    EXPECT_EQ(N->GetText(), C.Text);
    char Buffer[32] = {};
    TVITEMA It;
    It.mask = TVIF_TEXT | TVIF_HANDLE;
    It.hItem = N->GetItemId();
    It.pszText = Buffer;
    It.cchTextMax = sizeof Buffer;
    SendMessageA(Tree->GetHandle(), TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&It));
    EXPECT_EQ(String(Buffer), C.Text) << "the window shows what the node holds";
  }
}

TEST_F(StdViewLabelEdit, TreeHandlersRefuseOrChangeTheText) {
  MakeTree();
  TTreeNode* N = Tree->GetItems()->GetItem(0);
  AllowEdit = false;
  EXPECT_FALSE(N->EditText());
  EXPECT_FALSE(Tree->IsEditing());
  AllowEdit = true;
  Tree->OnEdited = [](TObject*, TTreeNode*, String& S) { S = UpperCase(S); };
  ASSERT_TRUE(N->EditText());
  SetWindowTextA(TreeEdit(), "shout");
  SendMessageA(TreeEdit(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(N->GetText(), "SHOUT");

  // A derived tree overriding Edit decides alone (as the shell tree renames its folders).
  struct TRenaming : TTreeView {
    using TTreeView::TTreeView;
    std::vector<String> Seen;
    void Edit(const TTVItem& Item) override {
      Seen.push_back(Item.pszText ? String(Item.pszText) : String("(null)"));
      if (Item.pszText && String(Item.pszText) != "refused") GetItems()->GetNode(Item.hItem)->SetText("[" + String(Item.pszText) + "]");
    }
  };
  TForm* F = NewForm(400, 0, 200, 200);
  auto* R = Add<TRenaming>(F, "Renaming", 0, 0, 150, 150);
  R->HandleNeeded();
  TTreeNode* M = R->GetItems()->Add(nullptr, "folder");
  for (const char* Text : {"refused", "docs"}) {
    ASSERT_TRUE(M->EditText());
    SetWindowTextA(reinterpret_cast<HWND>(SendMessageA(R->GetHandle(), TVM_GETEDITCONTROL, 0, 0)), Text);
    M->EndEdit(false);
  }
  EXPECT_EQ(R->Seen, (std::vector<String>{"refused", "docs"}));
  EXPECT_EQ(M->GetText(), "[docs]");
}

TEST_F(StdViewLabelEdit, TreeSecondClickEditsAfterTheDoubleClickTime) {
  TForm* F = MakeTree();
  F->Show();
  TTreeNode* N = Tree->GetItems()->GetItem(1);
  Tree->SetFocus();
  TPoint P = Mid(N->DisplayRect(true));
  Click(Tree->GetHandle(), P);  // selects
  EXPECT_EQ(Tree->GetSelected(), N);
  Click(Tree->GetHandle(), P);  // again: waits for a possible double click
  EXPECT_FALSE(Tree->IsEditing());
  Clock->Advance(GetDoubleClickTime() / 2);
  Pump();
  EXPECT_FALSE(Tree->IsEditing());
  Clock->Advance(GetDoubleClickTime());
  Pump();
  ASSERT_TRUE(Tree->IsEditing());
  EXPECT_EQ(Log, (std::vector<String>{"editing Node 1"}));
  SendMessageA(TreeEdit(), WM_KEYDOWN, VK_ESCAPE, 0);

  // A double click instead opens the node; no edit follows.
  Click(Tree->GetHandle(), P);
  Click(Tree->GetHandle(), P, WM_LBUTTONDBLCLK);
  Clock->Advance(GetDoubleClickTime() * 2);
  Pump();
  EXPECT_FALSE(Tree->IsEditing());

  // Read-only trees are not edited by the mouse, nor by F2.
  Tree->SetReadOnly(true);
  Click(Tree->GetHandle(), P);
  Clock->Advance(GetDoubleClickTime() * 2);
  Pump();
  EXPECT_FALSE(Tree->IsEditing());
  SendMessageA(Tree->GetHandle(), WM_KEYDOWN, VK_F2, 0);
  EXPECT_FALSE(Tree->IsEditing());
  Tree->SetReadOnly(false);
  SendMessageA(Tree->GetHandle(), WM_KEYDOWN, VK_F2, 0);
  EXPECT_TRUE(Tree->IsEditing());
  EXPECT_EQ(WindowText(TreeEdit()), "Node 1");
}

TEST_F(StdViewLabelEdit, TreeEditorSitsOnTheScrolledInLabelAndGrows) {
  MakeTree(40);
  TTreeNode* N = Tree->GetItems()->GetItem(35);
  ASSERT_TRUE(N->EditText());
  HWND E = TreeEdit();
  TRect Label = N->DisplayRect(true);
  EXPECT_GE(Label.top, 0) << "scrolled into view";
  EXPECT_LE(Label.bottom, Tree->GetClientHeight());
  RECT R{};
  GetWindowRect(E, &R);
  POINT Origin{0, 0};
  ClientToScreen(Tree->GetHandle(), &Origin);
  EXPECT_EQ(R.left - Origin.x, Label.left);
  EXPECT_EQ(R.top - Origin.y, Label.top);
  int Before = WidthOf(E);
  SendMessageA(E, WM_CHAR, 'x', 0);
  for (int K = 0; K < 6; ++K) SendMessageA(E, WM_CHAR, 'W', 0);
  EXPECT_GT(WidthOf(E), Before) << "grows with the text";
  for (int K = 0; K < 60; ++K) SendMessageA(E, WM_CHAR, 'W', 0);
  EXPECT_LE(R.left - Origin.x + WidthOf(E), Tree->GetClientWidth()) << "never past the view's edge";
  // Scrolling ends the edit and keeps the text.
  SendMessageA(Tree->GetHandle(), WM_VSCROLL, SB_TOP, 0);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(N->GetText().rfind("xWWW", 0), 0u) << "typing replaced the selected text: " << N->GetText();
}

TEST_F(StdViewLabelEdit, TreeEditedNodeDeletedEndsTheEditQuietly) {
  MakeTree();
  TTreeNode* N = Tree->GetItems()->GetItem(2);
  ASSERT_TRUE(N->EditText());
  HWND E = TreeEdit();
  N->Delete();
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_FALSE(IsWindow(E));
  EXPECT_EQ(Log, (std::vector<String>{"editing Node 2"}));
  // And a tree going while editing takes its editor along.
  ASSERT_TRUE(Tree->GetItems()->GetItem(0)->EditText());
  E = TreeEdit();
  delete Tree;
  EXPECT_FALSE(IsWindow(E));
}

TEST_F(StdViewLabelEdit, EnterInTheEditorIsNotTheFormsDefaultButton) {
  TForm* F = MakeTree();
  auto* Ok = Add<TButton>(F, "Ok", 210, 10, 60, 24);
  Ok->SetDefault(true);
  bool Clicked = false;
  Ok->OnClick = [&](TObject*) { Clicked = true; };
  F->Show();
  Pump();
  std::vector<String> Keys;
  Tree->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { Keys.push_back(std::to_string(Key)); };
  ASSERT_TRUE(Tree->GetItems()->GetItem(0)->EditText());
  HWND E = TreeEdit();
  SetWindowTextA(E, "Typed");
  PostMessageA(E, WM_KEYDOWN, VK_RETURN, 0);
  Application->ProcessMessages();
  EXPECT_FALSE(Clicked);
  EXPECT_FALSE(Tree->IsEditing());
  EXPECT_EQ(Tree->GetItems()->GetItem(0)->GetText(), "Typed");
  EXPECT_EQ(Keys, (std::vector<String>{std::to_string(VK_RETURN)})) << "the tree's key events see the editor's keys";
}

// ---- The list view ----

TEST_F(StdViewLabelEdit, ListWindowAsksTheParentAndKeepsTextOnlyWhenAllowed) {
  HWND Lv = RawView(WC_LISTVIEWA, LVS_REPORT);
  LVCOLUMNA Col;
  Col.mask = LVCF_WIDTH;
  Col.cx = 100;
  SendMessageA(Lv, LVM_INSERTCOLUMNA, 0, reinterpret_cast<LPARAM>(&Col));
  for (const char* Text : {"Old", "Other"}) {
    LVITEMA It;
    It.mask = LVIF_TEXT;
    It.iItem = 9;
    It.pszText = const_cast<char*>(Text);
    SendMessageA(Lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&It));
  }
  auto Text = [&](int I) {
    char Buffer[32] = {};
    LVITEMA It;
    It.pszText = Buffer;
    It.cchTextMax = sizeof Buffer;
    SendMessageA(Lv, LVM_GETITEMTEXTA, static_cast<WPARAM>(I), reinterpret_cast<LPARAM>(&It));
    return String(Buffer);
  };
  auto Edit = reinterpret_cast<HWND>(SendMessageA(Lv, LVM_EDITLABELA, 0, 0));
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(ParentLog().EditSeenAtBegin, Edit);
  EXPECT_EQ(WindowText(Edit), "Old");
  EXPECT_EQ(SendMessageA(Lv, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_FOCUSED), 0) << "the item takes the focus";
  SetWindowTextA(Edit, "New");
  SendMessageA(Edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Text(0), "New");
  // Refused at the end; then cancelled with LVM_EDITLABEL -1 and with LVM_CANCELEDITLABEL.
  ParentLog().EndAnswer = 0;
  Edit = reinterpret_cast<HWND>(SendMessageA(Lv, LVM_EDITLABELA, 1, 0));
  SetWindowTextA(Edit, "Nope");
  SendMessageA(Edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(Text(1), "Other");
  ParentLog().EndAnswer = 1;
  for (UINT Msg : {LVM_EDITLABELA, LVM_CANCELEDITLABEL}) {
    Edit = reinterpret_cast<HWND>(SendMessageA(Lv, LVM_EDITLABELA, 1, 0));
    SetWindowTextA(Edit, "Nope");
    SendMessageA(Lv, Msg, Msg == LVM_EDITLABELA ? static_cast<WPARAM>(-1) : 0, 0);
    EXPECT_FALSE(IsWindow(Edit));
    EXPECT_EQ(Text(1), "Other");
  }
  EXPECT_EQ(ParentLog().Lines, (std::vector<String>{"begin Old", "end New", "begin Other", "end Nope", "begin Other",
                                                    "end (null)", "begin Other", "end (null)"}));
  // The parent refuses to start.
  ParentLog().BeginAnswer = 1;
  EXPECT_EQ(SendMessageA(Lv, LVM_EDITLABELA, 0, 0), 0);
  EXPECT_EQ(SendMessageA(Lv, LVM_GETEDITCONTROL, 0, 0), 0);
}

TEST_F(StdViewLabelEdit, ListWindowGivesCallbackTextsToTheParent) {
  HWND Lv = RawView(WC_LISTVIEWA, LVS_LIST);
  LVITEMA It;
  It.mask = LVIF_TEXT;
  It.pszText = LPSTR_TEXTCALLBACKA;
  SendMessageA(Lv, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&It));
  auto Edit = reinterpret_cast<HWND>(SendMessageA(Lv, LVM_EDITLABELA, 0, 0));
  ASSERT_NE(Edit, nullptr);
  EXPECT_EQ(WindowText(Edit), "Cb");
  SetWindowTextA(Edit, "Mine");
  SendMessageA(Edit, WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(ParentLog().Lines, (std::vector<String>{"begin Cb", "end Mine", "set Mine"}));
}

TEST_F(StdViewLabelEdit, ListEditsByCallF2AndSecondClick) {
  MakeList()->Show();
  TListItem* I = List->GetItems()->GetItem(1);
  ASSERT_TRUE(I->EditCaption());
  EXPECT_TRUE(List->IsEditing());
  SetWindowTextA(ListEdit(), "Renamed");
  SendMessageA(ListEdit(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(I->GetCaption(), "Renamed");
  ASSERT_TRUE(I->EditCaption());
  I->CancelEdit();
  EXPECT_FALSE(List->IsEditing());
  EXPECT_EQ(Log, (std::vector<String>{"editing Item 1", "edited Item 1 > Renamed", "editing Renamed", "cancel Renamed"}));
  AllowEdit = false;
  EXPECT_FALSE(I->EditCaption());
  AllowEdit = true;

  // A second click on the focused, selected item's label, after the double-click time.
  List->SetFocus();
  TPoint P = Mid(List->GetItems()->GetItem(2)->DisplayRect(drLabel));
  P.x = List->GetItems()->GetItem(2)->DisplayRect(drLabel).left + 5;
  Click(List->GetHandle(), P);
  Clock->Advance(GetDoubleClickTime() * 2);
  Pump();
  EXPECT_FALSE(List->IsEditing()) << "the first click only selects";
  Click(List->GetHandle(), P);
  Clock->Advance(GetDoubleClickTime() * 2);
  Pump();
  ASSERT_TRUE(List->IsEditing());
  EXPECT_EQ(WindowText(ListEdit()), "Item 2");
  SendMessageA(ListEdit(), WM_KEYDOWN, VK_ESCAPE, 0);
  EXPECT_EQ(GetFocus(), List->GetHandle()) << "the list has the focus back";

  // F2 edits the focused item; not in a read-only list.
  SendMessageA(List->GetHandle(), WM_KEYDOWN, VK_F2, 0);
  EXPECT_TRUE(List->IsEditing());
  SendMessageA(ListEdit(), WM_KEYDOWN, VK_ESCAPE, 0);
  List->SetReadOnly(true);
  SendMessageA(List->GetHandle(), WM_KEYDOWN, VK_F2, 0);
  Click(List->GetHandle(), P);
  Clock->Advance(GetDoubleClickTime() * 2);
  Pump();
  EXPECT_FALSE(List->IsEditing());
}

TEST_F(StdViewLabelEdit, ListEditFollowsItemsThatComeAndGo) {
  MakeList();
  ASSERT_TRUE(List->GetItems()->GetItem(1)->EditCaption());
  SetWindowTextA(ListEdit(), "Kept");
  List->GetItems()->Delete(0);  // the edited item moves up
  EXPECT_TRUE(List->IsEditing());
  SendMessageA(ListEdit(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(List->GetItems()->GetItem(0)->GetCaption(), "Kept");
  ASSERT_TRUE(List->GetItems()->GetItem(0)->EditCaption());
  HWND E = ListEdit();
  List->GetItems()->Delete(0);  // the edited item goes
  EXPECT_FALSE(List->IsEditing());
  EXPECT_FALSE(IsWindow(E));
  EXPECT_EQ(List->GetItems()->GetItem(0)->GetCaption(), "Item 2");
}

TEST_F(StdViewLabelEdit, OwnerDataListTellsTheEditedRow) {
  TForm* F = NewForm(0, 0, 320, 240);
  F->HandleNeeded();
  List = Add<TListView>(F, "List", 0, 0, 300, 200);
  List->SetViewStyle(vsList);
  List->SetOwnerData(true);
  List->HandleNeeded();
  std::vector<String> Names{"a", "b", "c"};
  List->OnData = [&](TObject*, TListItem* I) { I->SetCaption(Names[static_cast<size_t>(I->GetIndex())]); };
  List->GetItems()->SetCount(3);
  int EditedRow = -1;
  List->OnEdited = [&](TObject*, TListItem* I, String& S) {
    EditedRow = I->GetIndex();
    Names[static_cast<size_t>(EditedRow)] = S;
  };
  ASSERT_TRUE(List->GetItems()->GetItem(2)->EditCaption());
  EXPECT_EQ(WindowText(ListEdit()), "c");
  SetWindowTextA(ListEdit(), "z");
  SendMessageA(ListEdit(), WM_KEYDOWN, VK_RETURN, 0);
  EXPECT_EQ(EditedRow, 2);
  EXPECT_EQ(Names[2], "z");
}

}  // namespace
