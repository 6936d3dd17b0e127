// The edit base of the skinned edits and the numeric edit: Enter and Esc going to the form, the
// read-only filter, a paste keeping the first line, the context menu's entries and captions, the
// numeric character filter and the up/down notifications.
#include <cstring>

#include "platform/rtl/Convert.h"
#include "platform/vcl/Button.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/input/SkinCustomEdit.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

void PutOnClipboard(const String& Text)
{
  ASSERT_TRUE(OpenClipboard(nullptr));
  EmptyClipboard();
  HGLOBAL mem = GlobalAlloc(GMEM_MOVEABLE, Text.size() + 1);
  auto* p = static_cast<char*>(GlobalLock(mem));
  std::memcpy(p, Text.c_str(), Text.size() + 1);
  GlobalUnlock(mem);
  SetClipboardData(CF_TEXT, mem);
  CloseClipboard();
}

void EmptyTheClipboard()
{
  if (OpenClipboard(nullptr)) {
    EmptyClipboard();
    CloseClipboard();
  }
}

class SkinCustomEdit : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 300, 120);
    Edit = Add<TskCustomEdit>(Form, "Edit", 10, 10, 200, 20);
    Form->Show();
    Edit->SetFocus();
    Pump();
  }
  std::vector<String> EnabledEntries()
  {
    std::vector<String> r;
    for (const TskEditMenuEntry& e : Edit->ContextMenuEntries())
      if (e.Enabled && e.Caption != "-")
        r.push_back(e.Caption);
    return r;
  }

  TForm* Form = nullptr;
  TskCustomEdit* Edit = nullptr;
};

TEST_F(SkinCustomEdit, TheWindowIsAMultiLineEditWithoutBorderShownOnOneLine)
{
  const LONG style = GetWindowLongA(Edit->GetHandle(), GWL_STYLE);
  EXPECT_TRUE(style & ES_MULTILINE);
  EXPECT_FALSE(style & WS_BORDER);
  EXPECT_FALSE(GetWindowLongA(Edit->GetHandle(), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
  Edit->SetPasswordChar('*');
  EXPECT_TRUE(GetWindowLongA(Edit->GetHandle(), GWL_STYLE) & ES_PASSWORD);
  EXPECT_FALSE(GetWindowLongA(Edit->GetHandle(), GWL_STYLE) & ES_MULTILINE);
  EXPECT_EQ(LOWORD(SendMessageA(Edit->GetHandle(), EM_GETMARGINS, 0, 0)), 2) << "left margin";
}

TEST_F(SkinCustomEdit, EnterAndEscReachOnKeyPressAndTheFormButNeverTheText)
{
  auto* ok = Add<TButton>(Form, "Ok", 10, 50, 75, 25);
  ok->SetDefault(true);
  int clicks = 0;
  ok->OnClick = [&](TObject*) { ++clicks; };
  std::vector<int> pressed;
  Edit->OnKeyPress = [&](TObject*, char& Key) {
    pressed.push_back(Key);
    if (Key == 13)
      Key = 0;  // a copy: the edit still passes the key to the form
  };
  Edit->SetText("");
  Type("ab");
  KeyStroke(VK_RETURN);
  EXPECT_EQ(Edit->GetText(), "ab") << "no line break";
  EXPECT_EQ(clicks, 1) << "the default button pressed";
  EXPECT_EQ(pressed, (std::vector<int>{'a', 'b', 13}));
  SendMessageA(Edit->GetHandle(), WM_CHAR, 10, 0);
  EXPECT_EQ(Edit->GetText(), "ab") << "Ctrl+Enter adds no line break either";
}

// Pasting into a one-line edit keeps the text up to the first line break, whatever the break.
TEST_F(SkinCustomEdit, APasteKeepsTheTextUpToTheFirstLineBreak)
{
  const struct {
    const char* Name;
    const char* Clip;
    const char* Expected;
  } cases[] = {
      {"one line", "/home/ann/a.mkv", "x/home/ann/a.mkv"},
      {"CR LF", "first\r\nsecond", "xfirst"},
      {"lone LF", "first\nsecond\r\n", "xfirst"},
      {"lone CR", "first\rsecond", "xfirst"},
      {"break first", "\r\nsecond", "x"},
  };
  for (const auto& c : cases) {
    Edit->SetText("x");
    Edit->SetSelStart(1);
    PutOnClipboard(c.Clip);
    Edit->PasteFromClipboard();
    EXPECT_EQ(Edit->GetText(), c.Expected) << c.Name;
  }
  // Huge pasted text stays within the edit's limit.
  Edit->SetText("");
  Edit->SetMaxLength(100);
  PutOnClipboard(String(1 << 20, 'z') + "\r\nrest");
  Type("\x16");  // Ctrl+V
  EXPECT_EQ(Edit->GetText(), String(100, 'z'));
}

TEST_F(SkinCustomEdit, AReadOnlyEditChangesNothingButCopies)
{
  Edit->SetText("keep");
  Edit->SetReadOnly(true);
  Edit->SelectAll();
  PutOnClipboard("other");
  Type("typed");
  KeyStroke(VK_DELETE);
  Type("\x18\x16");  // Ctrl+X, Ctrl+V
  SendMessageA(Edit->GetHandle(), WM_CLEAR, 0, 0);
  SendMessageA(Edit->GetHandle(), WM_UNDO, 0, 0);
  EXPECT_EQ(Edit->GetText(), "keep");
  Edit->SelectAll();
  Type("\x03");  // Ctrl+C
  Edit->SetReadOnly(false);
  Edit->SetText("");
  Edit->PasteFromClipboard();
  EXPECT_EQ(Edit->GetText(), "keep") << "the copy reached the clipboard";

  Edit->SetReadOnly(true);
  Edit->SelectAll();
  Edit->ClearUndo();
  EXPECT_EQ(EnabledEntries(), (std::vector<String>{"Copy"})) << "Cut, Paste and Delete disabled";
}

TEST_F(SkinCustomEdit, TheMenuEnablesItsEntriesByTheEditsState)
{
  EmptyTheClipboard();
  Edit->SetText("");
  EXPECT_EQ(EnabledEntries(), (std::vector<String>{})) << "empty: 0 to 0 counts as all selected";
  Edit->SetText("abc");
  Edit->SetSelStart(1);
  EXPECT_EQ(EnabledEntries(), (std::vector<String>{"Select All"})) << "only a caret";
  Edit->SetSelStart(0);
  Edit->SetSelLength(2);
  PutOnClipboard("z");
  EXPECT_EQ(EnabledEntries(), (std::vector<String>{"Cut", "Copy", "Paste", "Delete", "Select All"}));
  Type("q");
  EXPECT_EQ(EnabledEntries().front(), "Undo");
}

TEST_F(SkinCustomEdit, TheMenuTakesItsCaptionsFromTheFormsStringTable)
{
  std::vector<String> captions;
  for (const TskEditMenuEntry& e : Edit->ContextMenuEntries())
    captions.push_back(e.Caption);
  EXPECT_EQ(captions, (std::vector<String>{"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"}))
      << "no skinned form: the built-in captions";

  auto* formSkin = new TskSkinMenuHost(Form);
  EXPECT_EQ(Edit->ContextMenuEntries()[0].Caption, "Undo") << "a skinned form without skin data";
  auto* data = new TskSkinData(Holder);
  auto* strings = new TskResourceStrData(Holder);
  TStringList table;
  table.SetText("EDIT_UNDO=Rückgängig\nEDIT_SELECTALL=Alles markieren\n");
  strings->SetResStrings(&table);
  data->SetResourceStrData(strings);
  formSkin->SetSkinData(data);
  const auto entries = Edit->ContextMenuEntries();
  EXPECT_EQ(entries[0].Caption, "Rückgängig");
  EXPECT_EQ(entries[7].Caption, "Alles markieren");
  EXPECT_EQ(entries[3].Caption, "Copy") << "a name missing from the table: the built-in caption";
}

TEST_F(SkinCustomEdit, TheContextMenuOpensAtTheEditsCentreFromTheKeyboardAndRunsItsCommands)
{
  Edit->SetText("word");
  Edit->SelectAll();
  SendMessageA(Edit->GetHandle(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Edit->GetHandle()), MAKELPARAM(0xFFFF, 0xFFFF));
  const TPoint origin = Edit->ClientToScreen(Point(0, 0));
  EXPECT_EQ(Edit->GetContextMenuPoint(), Point(origin.x + 100, origin.y + 10));
  ASSERT_NE(Edit->GetContextMenu(), nullptr);
  TMenuItem* items = Edit->GetContextMenu()->GetItems();
  ASSERT_EQ(items->GetCount(), 8);
  items->GetItem(5)->Click();  // Delete
  EXPECT_EQ(Edit->GetText(), "");
  SendMessageA(Edit->GetHandle(), SkinMenuCommandDoneMessage, 0, 0);
  EXPECT_EQ(Edit->GetContextMenu(), nullptr);

  // A right click on a monitor left of the primary one opens where it was made.
  SendMessageA(Edit->GetHandle(), WM_CONTEXTMENU, 0, MAKELPARAM(static_cast<WORD>(-300), 40));
  ASSERT_NE(Edit->GetContextMenu(), nullptr);
  EXPECT_EQ(Edit->GetContextMenuPoint(), Point(-300, 40));
}

// On a skinned form the menu shows through the form's menu manager with the string table's
// captions; choosing an entry runs it and frees the menu.
TEST_F(SkinCustomEdit, OnASkinnedFormTheSkinnedMenuShowsAndRunsTheChosenCommand)
{
  auto* host = new TskSkinMenuHost(Form);
  host->SetSkinData(BuiltinSkinData(Holder, TBuiltinSkin::bsControls));
  Edit->SetText("word");
  Edit->SelectAll();
  SendMessageA(Edit->GetHandle(), WM_CONTEXTMENU, 0, MAKELPARAM(0xFFFF, 0xFFFF));
  Pump();
  TskSkinMenu* manager = host->GetSkinMenu();
  ASSERT_EQ(manager->LevelCount(), 1) << "the skinned menu is open";
  TskSkinPopupWindow* level = manager->LastLevel();
  std::vector<String> captions;
  for (int i = 0; i < level->ItemCount(); ++i)
    captions.push_back(level->Item(i)->MenuItem->GetCaption());
  EXPECT_EQ(captions, (std::vector<String>{"Undo", "-", "Cut", "Copy", "Paste", "Delete", "-", "Select All"}));
  ASSERT_NE(Edit->GetContextMenu(), nullptr);
  Edit->GetContextMenu()->GetItems()->GetItem(5)->Click();  // Delete, as the menu runs it
  SendMessageA(Edit->GetHandle(), SkinMenuCommandDoneMessage, 0, 0);
  EXPECT_EQ(Edit->GetText(), "");
  EXPECT_EQ(Edit->GetContextMenu(), nullptr);
  manager->CloseLevels(0);
  Pump();
}

TEST_F(SkinCustomEdit, CancelModeReachesTheOwnersNotification)
{
  TObject* sender = nullptr;
  Edit->OnCancelMode = [&](TObject* S) { sender = S; };
  Edit->Perform(CM_CANCELMODE, 0, reinterpret_cast<LPARAM>(Form));
  EXPECT_EQ(sender, Form);
}

class SkinNumEdit : public SkinCustomEdit {
protected:
  void SetUp() override
  {
    SkinCustomEdit::SetUp();
    Num = Add<TskSkinNumEdit>(Form, "Num", 10, 40, 100, 20);
    Num->SetFocus();
    Pump();
  }
  TskSkinNumEdit* Num = nullptr;
};

TEST_F(SkinNumEdit, FiltersCharactersForNumbers)
{
  const struct {
    const char* Name;
    bool Float;
    bool EditorEnabled;
    const char* Text;
    char Key;
    bool Valid;
  } cases[] = {
      {"digit", false, true, "", '7', true},
      {"first minus", false, true, "12", '-', true},
      {"second minus", false, true, "-12", '-', false},
      {"letter", false, true, "1", 'a', false},
      {"Enter", false, true, "1", 13, false},
      {"Backspace", false, true, "1", 8, true},
      {"separator of a whole number", false, true, "1", '.', false},
      {"separator of a fraction", true, true, "1", '.', true},
      {"second separator", true, true, "1.5", '.', false},
      {"minus beside a separator", true, true, "1.5", '-', true},
      {"digit, editor off", false, false, "1", '5', false},
      {"Backspace, editor off", false, false, "1", 8, false},
      {"copy, editor off", false, false, "1", 3, true},
  };
  for (const auto& c : cases) {
    Num->SetFloatValue(c.Float);
    Num->SetEditorEnabled(c.EditorEnabled);
    Num->SetText(c.Text);
    EXPECT_EQ(Num->IsValidChar(c.Key), c.Valid) << c.Name;
  }
}

TEST_F(SkinNumEdit, TypingKeepsOnlyValidCharacters)
{
  Num->SetText("");
  Type("1-a2-");
  EXPECT_EQ(Num->GetText(), "1-2");
}

TEST_F(SkinNumEdit, ArrowKeysAndTheWheelBecomeUpAndDownNotifications)
{
  std::vector<String> log;
  Num->OnUpClick = [&](TObject*) { log.push_back("up"); };
  Num->OnDownClick = [&](TObject*) { log.push_back("down"); };
  Num->OnKeyDown = [&](TObject*, Word& Key, TShiftState) { log.push_back("key " + IntToStr(Key)); };
  KeyStroke(VK_UP);
  KeyStroke(VK_DOWN);
  SendMessageA(Num->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, 120), 0);
  SendMessageA(Num->GetHandle(), WM_MOUSEWHEEL, MAKEWPARAM(0, static_cast<WORD>(-120)), 0);
  EXPECT_EQ(log, (std::vector<String>{"up", "down", "down", "up"}));
}

} // namespace
