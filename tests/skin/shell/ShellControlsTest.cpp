// The shell folder tree, the folder combo box and the select-folder dialog on the headless display,
// over a temporary home folder (see ShellNamespaceTestSupport.h).
#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>

#include "platform/rtl/Thread.h"
#include "skin/controls/SkinButton.h"
#include "skin/controls/SkinSpeedButton.h"
#include "skin/input/SkinEdit.h"
#include "skin/shell/SkinSelectDirectoryDialog.h"
#include "skin/shell/SkinShellComboBox.h"
#include "tests/skin/shell/ShellNamespaceTestSupport.h"
#include "tests/skin/support/SkinTestSupport.h"
#include "tests/support/UnreadableFile.h"

namespace {

class ShellControlsTest : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Env.Start();
    Form = NewForm(100, 100, 400, 300);
  }
  void TearDown() override
  {
    TSkinControlTest::TearDown();
    Env.Stop();
  }

  // The namespace fixture, run by hand inside this window test.
  struct TEnv : shelltest::TShellTreeTest {
    using TShellTreeTest::MakeDir;
    using TShellTreeTest::MakeTree;
    using TShellTreeTest::Tree;
    void TestBody() override {}
    void Start() { SetUp(); }
    void Stop() { TearDown(); }
  } Env;

  TskSkinDirTreeView* NewTree(const String& Root)
  {
    auto* tree = new TskSkinDirTreeView(Form);
    tree->SetParent(Form);
    tree->SetBounds(0, 0, 300, 250);
    tree->SetRoot(Root);
    tree->HandleNeeded();
    return tree;
  }

  static std::vector<std::string> ChildTexts(TTreeNode* Node)
  {
    std::vector<std::string> texts;
    for (TTreeNode* child = Node ? Node->getFirstChild() : nullptr; child; child = child->getNextSibling())
      texts.push_back(child->GetText());
    return texts;
  }

  TForm* Form = nullptr;
};

// Counts what a partner list view is told.
class TRecordingListView : public TComponent, public IskShellListView {
public:
  using TComponent::TComponent;
  TComponent* ShellListComponent() override { return this; }
  void SetShellRoot(const String& Root) override { Roots.push_back(Root); }
  void NavigateTo(LPCITEMIDLIST FullList) override { Paths.push_back(ItemIdListToPath(FullList)); }
  void SetShellTreeView(TskCustomShellTreeView* Tree) override { LinkedTree = Tree; }
  void SetShellComboBox(TskCustomShellComboBox*) override {}
  std::vector<String> Roots;
  std::vector<String> Paths;
  TskCustomShellTreeView* LinkedTree = nullptr;
};

}  // namespace

TEST_F(ShellControlsTest, TreeFillsLazilyAndSelectsAFolderByPath)
{
  Env.MakeTree();
  Env.MakeDir("plain/inner/deep");
  Env.MakeDir("plain/inner/deep/deepest");
  TskSkinDirTreeView* tree = NewTree(Env.Tree);
  TTreeNode* root = tree->GetItems()->GetFirstNode();
  ASSERT_NE(root, nullptr);
  // The root is open, its children are not filled yet.
  std::vector<std::string> children = ChildTexts(root);
  EXPECT_NE(std::find(children.begin(), children.end(), "plain"), children.end());
  EXPECT_EQ(std::find(children.begin(), children.end(), ".hidden"), children.end());
  EXPECT_EQ(std::find(children.begin(), children.end(), "a.txt"), children.end());
  TTreeNode* plain = nullptr;
  for (TTreeNode* c = root->getFirstChild(); c; c = c->getNextSibling())
    if (c->GetText() == "plain") plain = c;
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->GetHasChildren());
  EXPECT_EQ(plain->GetCount(), 0);

  TRecordingListView list(nullptr);
  tree->SetShellListView(&list);
  EXPECT_EQ(list.LinkedTree, tree);
  const std::string target = Env.Tree + "/plain/inner/deep/deepest";
  tree->SetPath(target);
  EXPECT_EQ(tree->GetSelectedPath(), target);
  ASSERT_NE(tree->GetSelected(), nullptr);
  EXPECT_EQ(tree->GetSelected()->GetLevel(), 4);
  EXPECT_TRUE(plain->GetExpanded());
  ASSERT_FALSE(list.Paths.empty());
  EXPECT_EQ(list.Paths.back(), target);
  // Selecting the selected folder again tells nobody.
  const std::size_t told = list.Paths.size();
  LPITEMIDLIST same = CloneItemIdList(tree->SelectedFolder()->GetAbsoluteID());
  tree->SelectByIdList(same);
  FreeItemIdList(same);
  EXPECT_EQ(list.Paths.size(), told);
  EXPECT_THROW(tree->SetPath(Env.Tree + "/no such folder"), EInvalidPath);
  tree->SetShellListView(nullptr);
}

TEST_F(ShellControlsTest, TreeShowsOddNamesHiddenFoldersOnRequestAndLinksEnd)
{
  Env.MakeTree();
  TskSkinDirTreeView* tree = NewTree(Env.Tree);
  std::vector<std::string> children = ChildTexts(tree->GetItems()->GetFirstNode());
  for (const std::string& name : shelltest::OddNames()) {
    const std::string shown = name[0] == '?' ? name.substr(1) : name;
    EXPECT_NE(std::find(children.begin(), children.end(), shown), children.end()) << name;
  }
  // Loops and dangling links are no folders.
  EXPECT_EQ(std::find(children.begin(), children.end(), "loop1"), children.end());
  tree->SetObjectTypes(tree->GetObjectTypes() | ShellObjectTypeBit(otHidden));
  children = ChildTexts(tree->GetItems()->GetFirstNode());
  EXPECT_NE(std::find(children.begin(), children.end(), ".hidden"), children.end());
  // A link to an ancestor opens as deep as one goes, one level at a time.
  ASSERT_EQ(symlink("..", (Env.Tree + "/plain/up").c_str()), 0);
  tree->SetPath(Env.Tree + "/plain/up/plain/up/plain");
  EXPECT_EQ(tree->GetSelectedPath(), Env.Tree + "/plain/up/plain/up/plain");
}

TEST_F(ShellControlsTest, RefreshDropsARemovedFolderAndKeepsExpansion)
{
  Env.MakeTree();
  Env.MakeDir("plain/second");
  TskSkinDirTreeView* tree = NewTree(Env.Tree);
  tree->SetPath(Env.Tree + "/plain/inner");
  TTreeNode* root = tree->GetItems()->GetFirstNode();
  rmdir((Env.Tree + "/plain/second").c_str());
  Env.MakeDir("fresh");
  tree->RefreshNode(root);
  root = tree->GetItems()->GetFirstNode();
  std::vector<std::string> children = ChildTexts(root);
  EXPECT_NE(std::find(children.begin(), children.end(), "fresh"), children.end());
  TTreeNode* plain = nullptr;
  for (TTreeNode* c = root->getFirstChild(); c; c = c->getNextSibling())
    if (c->GetText() == "plain") plain = c;
  ASSERT_NE(plain, nullptr);
  EXPECT_TRUE(plain->GetExpanded());
  EXPECT_EQ(ChildTexts(plain), std::vector<std::string>{"inner"});
  EXPECT_EQ(tree->GetSelectedPath(), Env.Tree + "/plain/inner");
  // The watch of the selected folder refreshes it by itself.
  tree->SetAutoRefresh(true);
  tree->SetPath(Env.Tree + "/plain");
  Env.MakeDir("plain/third");
  bool seen = false;
  for (int i = 0; i < 150 && !seen; ++i) {
    CheckSynchronize(20);
    TTreeNode* node = tree->GetSelected();
    std::vector<std::string> texts = ChildTexts(node);
    seen = std::find(texts.begin(), texts.end(), "third") != texts.end();
  }
  EXPECT_TRUE(seen);
  tree->SetAutoRefresh(false);
}

TEST_F(ShellControlsTest, UnreadableFolderHasNoChildren)
{
  Env.MakeTree();
  Env.MakeDir("locked");
  Env.MakeDir("locked/inside");
  testsupport::TUnreadableFile guard(Env.Tree + "/locked");
  if (!guard.Usable()) GTEST_SKIP() << guard.Why;
  TskSkinDirTreeView* tree = NewTree(Env.Tree);
  TTreeNode* locked = nullptr;
  for (TTreeNode* c = tree->GetItems()->GetFirstNode()->getFirstChild(); c; c = c->getNextSibling())
    if (c->GetText() == "locked") locked = c;
  ASSERT_NE(locked, nullptr);
  locked->Expand(false);
  EXPECT_EQ(locked->GetCount(), 0);
  EXPECT_FALSE(locked->GetHasChildren());
  EXPECT_EQ(locked->GetImageIndex(), siFolderLocked);
}

TEST_F(ShellControlsTest, ComboShowsTheChainDownToTheFolder)
{
  Env.MakeTree();
  auto* combo = new TskSkinShellComboBox(Form);
  combo->SetParent(Form);
  combo->SetBounds(0, 0, 250, 22);
  combo->HandleNeeded();
  // The desktop, its items one level down, the volumes under Computer.
  ASSERT_GT(combo->EntryCount(), 3);
  EXPECT_EQ(combo->Entry(0).Caption, "Desktop");
  EXPECT_EQ(combo->Entry(0).Level, 0);
  EXPECT_EQ(combo->Entry(1).Caption, "Home");
  EXPECT_EQ(combo->Entry(1).Level, 1);
  EXPECT_EQ(combo->Entry(2).Caption, "Computer");
  EXPECT_EQ(combo->Entry(3).Caption, "File System");
  EXPECT_EQ(combo->Entry(3).Level, 2);
  EXPECT_EQ(combo->GetItemIndex(), 0);
  // A folder under Home: Home, then each folder below it, one level deeper each.
  LPITEMIDLIST list = ItemIdListFromItems({{ITEMKIND_VIRTUAL, HomeItemName}, {ITEMKIND_FOLDER, "tree"}, {ITEMKIND_FOLDER, "plain"}});
  combo->NavigateTo(list);
  const int selected = combo->GetItemIndex();
  ASSERT_EQ(selected, 3);
  EXPECT_EQ(combo->Entry(2).Caption, "tree");
  EXPECT_EQ(combo->Entry(2).Level, 2);
  EXPECT_EQ(combo->Entry(3).Caption, "plain");
  EXPECT_EQ(combo->Entry(3).Level, 3);
  EXPECT_EQ(combo->GetItems()->GetCount(), combo->EntryCount());
  FreeItemIdList(list);
  // Another place rebuilds the list without them.
  LPITEMIDLIST computer = ItemIdListFromItems({{ITEMKIND_VIRTUAL, ComputerItemName}});
  combo->NavigateTo(computer);
  EXPECT_EQ(combo->Entry(combo->GetItemIndex()).Caption, "Computer");
  EXPECT_EQ(combo->IndexOfIdList(computer), combo->GetItemIndex());
  FreeItemIdList(computer);
  for (int i = 0; i < combo->EntryCount(); ++i) EXPECT_NE(combo->Entry(i).Caption, "tree");
}

TEST_F(ShellControlsTest, ComboAndTreeFollowEachOther)
{
  Env.MakeTree();
  TskSkinDirTreeView* tree = NewTree("rfDesktop");
  auto* combo = new TskSkinShellComboBox(Form);
  combo->SetParent(Form);
  combo->SetBounds(0, 260, 250, 22);
  combo->HandleNeeded();
  tree->SetShellComboBox(combo);
  EXPECT_EQ(combo->GetShellTreeView(), tree);
  tree->SetPath(Env.Tree + "/plain");
  EXPECT_EQ(combo->GetItems()->Get(combo->GetItemIndex()), "plain");
  // Choosing Computer in the combo box moves the tree.
  for (int i = 0; i < combo->EntryCount(); ++i)
    if (combo->Entry(i).Caption == "Computer") combo->SetItemIndex(i);
  EXPECT_EQ(tree->GetSelected()->GetText(), "Computer");
}

namespace {

// Runs Action inside the dialog's modal loop, once its window is up.
void WhileModal(TskSkinSelectDirectoryDialog& Dialog, std::function<void(TskSelDirDlgForm*)> Action)
{
  auto done = std::make_shared<bool>(false);
  Application->OnMessage = [&Dialog, Action, done](MSG&, bool&) {
    if (*done || !Dialog.GetForm()) return;
    *done = true;
    Action(Dialog.GetForm());
  };
  Dialog.OnShow = [](TObject*) { PostThreadMessageA(GetCurrentThreadId(), WM_USER + 77, 0, 0); };
}

}  // namespace

TEST_F(ShellControlsTest, DialogReturnsOnlyARealFolder)
{
  Env.MakeTree();
  TskSkinSelectDirectoryDialog dialog(nullptr);
  // Empty Directory: Computer selected, OK disabled; pressing OK anyway returns nothing.
  bool okEnabled = true;
  String selected;
  WhileModal(dialog, [&](TskSelDirDlgForm* form) {
    okEnabled = form->OKButton->GetEnabled();
    selected = form->TreeView->GetSelected() ? form->TreeView->GetSelected()->GetText() : "";
    form->SetModalResult(mrOk);
  });
  dialog.SetDirectory("");
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(selected, "Computer");
  EXPECT_FALSE(okEnabled);
  EXPECT_EQ(dialog.GetDirectory(), "");
  EXPECT_EQ(dialog.DialogWidth, 280);
  EXPECT_EQ(dialog.DialogHeight, 280);

  // An existing folder: selected; OK gives it back; the size is kept.
  const std::string start = Env.Tree + "/" + shelltest::OddNames()[2];
  dialog.SetDirectory(start);
  dialog.DialogWidth = 320;
  int accepted = 0;
  dialog.OnAccept = [&accepted](TObject*) { ++accepted; };
  WhileModal(dialog, [&](TskSelDirDlgForm* form) {
    okEnabled = form->OKButton->GetEnabled();
    form->SetClientWidth(333);
    form->SetModalResult(mrOk);
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_TRUE(okEnabled);
  EXPECT_EQ(dialog.GetDirectory(), start);
  EXPECT_EQ(accepted, 1);
  EXPECT_EQ(dialog.DialogWidth, 333);

  // Cancel keeps Directory; a missing Directory falls back to Computer.
  dialog.SetDirectory(Env.Tree + "/gone");
  WhileModal(dialog, [&](TskSelDirDlgForm* form) {
    selected = form->TreeView->GetSelected()->GetText();
    form->TreeView->SetPath(Env.Tree + "/plain");
    form->SetModalResult(mrCancel);
  });
  EXPECT_FALSE(dialog.Execute());
  EXPECT_EQ(selected, "Computer");
  EXPECT_EQ(dialog.GetDirectory(), Env.Tree + "/gone");
  EXPECT_EQ(dialog.GetForm(), nullptr);
}

TEST_F(ShellControlsTest, DialogToolBarFollowsTheTreeAndMakesNewFolders)
{
  Env.MakeTree();
  TskSkinSelectDirectoryDialog dialog(nullptr);
  dialog.ShowToolBar = true;
  dialog.SetDirectory(Env.Tree + "/plain");
  String shown;
  WhileModal(dialog, [&](TskSelDirDlgForm* form) {
    shown = form->PathEdit->GetText();
    form->NewFolderButton->OnClick(form->NewFolderButton);
    form->NewFolderButton->OnClick(form->NewFolderButton);  // it is there now: nothing more
    form->PathEdit->SetText(Env.Tree + "/empty");
    Word key = VK_RETURN;
    form->PathEdit->OnKeyDown(form->PathEdit, key, 0);
    form->SetModalResult(mrOk);
  });
  EXPECT_TRUE(dialog.Execute());
  EXPECT_EQ(shown, Env.Tree + "/plain");
  EXPECT_TRUE(std::filesystem::is_directory(Env.Tree + "/plain/New Folder"));
  EXPECT_EQ(dialog.GetDirectory(), Env.Tree + "/empty");
}
