// The in-place editor: when it shows, typing into it, every change going to the cell, Enter
// toggling the selection, read-only grids, the program writing the edited cell, and the
// context menu's entries.
#include "tests/skin/shell/SkinGridTestSupport.h"

namespace {

class SkinGridEditor : public SkinGridTest {
protected:
  void MakeEditingGrid() {
    MakeGrid(300, 150);
    Grid->SetOptions(Grid->GetOptions() | goEditing);
    Grid->SetCells(1, 1, "abc");
    Grid->SetFocus();
    Pump();
  }
  TskSkinInplaceEdit* Editor() { return Grid->GetInplaceEditor(); }
  void Type(const String& Text) {
    Display()->InjectChar(Text);
    Pump();
  }
  void KeyStroke(unsigned K) {
    Display()->InjectKey(K, true);
    Display()->InjectKey(K, false);
    Pump();
  }
};

TEST_F(SkinGridEditor, RowSelectNeverShowsTheEditor) {
  MakeEditingGrid();
  Grid->SetOptions(Grid->GetOptions() | goRowSelect | goAlwaysShowEditor);
  Grid->SetEditorMode(true);
  EXPECT_TRUE(Editor() == nullptr || !Editor()->GetVisible());
  EXPECT_EQ(Grid->GetOptions() & goAlwaysShowEditor, 0) << "row selection drops always-show";
}

TEST_F(SkinGridEditor, TypingOpensTheEditorAndEveryChangeReachesTheCell) {
  MakeEditingGrid();
  EXPECT_EQ(Editor(), nullptr) << "made on demand";
  SendMessageA(Grid->GetHandle(), WM_CHAR, 'x', 0);
  ASSERT_NE(Editor(), nullptr);
  EXPECT_TRUE(Editor()->GetVisible());
  EXPECT_TRUE(Grid->GetEditorMode());
  Pump();  // the character was posted to the editor, whose text was all selected
  EXPECT_EQ(Editor()->GetText(), "x");
  EXPECT_EQ(Grid->GetCells(1, 1), "x");
  Type("yz");
  EXPECT_EQ(Grid->GetCells(1, 1), "xyz");
  EXPECT_EQ(Editor()->GetBoundsRect(), Grid->CellRect(1, 1));
}

TEST_F(SkinGridEditor, EnterTogglesBetweenAllSelectedAndTheCaretAtTheEnd) {
  MakeEditingGrid();
  Grid->SetOptions(Grid->GetOptions() | goAlwaysShowEditor);
  Grid->SetEditorMode(true);
  ASSERT_NE(Editor(), nullptr);
  Editor()->SelectAll();
  KeyStroke(VK_RETURN);
  EXPECT_EQ(Editor()->GetSelLength(), 0);
  EXPECT_EQ(Editor()->GetSelStart(), 3);
  KeyStroke(VK_RETURN);
  EXPECT_EQ(Editor()->GetSelStart(), 0);
  EXPECT_EQ(Editor()->GetSelLength(), 3);
  EXPECT_TRUE(Grid->GetEditorMode()) << "Enter stays in an editor that always shows";
}

TEST_F(SkinGridEditor, EnterClosesAnEditorThatDoesNotAlwaysShow) {
  MakeEditingGrid();
  SendMessageA(Grid->GetHandle(), WM_CHAR, 'n', 0);
  Pump();
  KeyStroke(VK_RETURN);
  EXPECT_FALSE(Grid->GetEditorMode());
  EXPECT_FALSE(Editor()->GetVisible());
  EXPECT_EQ(Grid->GetCells(1, 1), "n");
}

TEST_F(SkinGridEditor, NavigationKeysLeaveTheCellAndStoreItsText) {
  MakeEditingGrid();
  Grid->SetRowCount(6);
  SendMessageA(Grid->GetHandle(), WM_CHAR, 'q', 0);
  Pump();
  KeyStroke(VK_DOWN);
  EXPECT_EQ(Grid->GetRow(), 2);
  EXPECT_EQ(Grid->GetCells(1, 1), "q");
}

TEST_F(SkinGridEditor, AnEditLimitOfMinusOneMakesTheCellReadOnly) {
  MakeEditingGrid();
  Grid->EditLimit = -1;
  Grid->SetEditorMode(true);
  ASSERT_NE(Editor(), nullptr);
  Type("zz");
  KeyStroke(VK_BACK);
  KeyStroke(VK_DELETE);
  SendMessageA(Editor()->GetHandle(), WM_CLEAR, 0, 0);
  EXPECT_EQ(Editor()->GetText(), "abc");
  EXPECT_EQ(Grid->GetCells(1, 1), "abc");
  for (const TskEditMenuEntry& E : Editor()->ContextMenuEntries())
    if (E.Caption == "Cut" || E.Caption == "Paste" || E.Caption == "Delete") {
      EXPECT_FALSE(E.Enabled) << E.Caption;
    }
}

TEST_F(SkinGridEditor, TheProgramsWriteRefreshesTheEditorButNotTheEditorsOwn) {
  MakeEditingGrid();
  Grid->SetEditorMode(true);
  ASSERT_NE(Editor(), nullptr);
  Grid->SetCells(1, 1, "from the program");
  EXPECT_EQ(Editor()->GetText(), "from the program");
  Editor()->SetSelStart(16);
  Type("!");
  EXPECT_EQ(Grid->GetCells(1, 1), "from the program!");
  EXPECT_EQ(Editor()->GetSelStart(), 17) << "the editor's own write does not reload it";
  std::vector<String> Sets;
  Grid->OnSetEditText = [&](TObject*, int, int, const String& V) { Sets.push_back(V); };
  Grid->OnGetEditText = [](TObject*, int, int, String& V) { V = "[" + V + "]"; };
  Grid->SetRow(2);
  Grid->SetRow(1);
  Grid->SetEditorMode(true);
  EXPECT_EQ(Editor()->GetText(), "[from the program!]") << "the shown text may differ from the cell";
  EXPECT_EQ(Grid->GetCells(1, 1), "from the program!");
}

TEST_F(SkinGridEditor, ContextMenuOfAnEmptyEditorOffersPasteOnly) {
  MakeEditingGrid();
  Grid->SetCells(1, 1, "");
  Grid->SetEditorMode(true);
  ASSERT_NE(Editor(), nullptr);
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
  auto Enabled = [&]() {
    std::vector<String> R;
    for (const TskEditMenuEntry& E : Editor()->ContextMenuEntries())
      if (E.Enabled && E.Caption != "-") R.push_back(E.Caption);
    return R;
  };
  EXPECT_EQ(Enabled(), (std::vector<String>{})) << "nothing to undo, select or paste";
  Editor()->SetText("word");
  Editor()->SelectAll();
  Editor()->CopyToClipboard();
  Editor()->SetText("");
  EXPECT_EQ(Enabled(), (std::vector<String>{"Paste"})) << "setting the text leaves nothing to undo";
  Type("ab");
  Editor()->SetSelStart(2);
  EXPECT_EQ(Enabled(), (std::vector<String>{"Undo", "Paste", "Select All"}));
  Editor()->SetText("");
  std::vector<String> Captions;
  for (const TskEditMenuEntry& E : Editor()->ContextMenuEntries()) Captions.push_back(E.Caption);
  EXPECT_EQ(Captions, (std::vector<String>{"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"}));

  // The menu pops up through the editor's context-menu message and runs its entries.
  SendMessageA(Editor()->GetHandle(), WM_CONTEXTMENU, 0, MAKELPARAM(0xFFFF, 0xFFFF));
  ASSERT_NE(Editor()->GetContextMenu(), nullptr);
  TMenuItem* Items = Editor()->GetContextMenu()->GetItems();
  ASSERT_EQ(Items->GetCount(), 8);
  Items->GetItem(4)->Click();
  EXPECT_EQ(Editor()->GetText(), "word");
  SendMessageA(Editor()->GetHandle(), SkinMenuCommandDoneMessage, 0, 0);
  EXPECT_EQ(Editor()->GetContextMenu(), nullptr);
}

}  // namespace
