// The skinned combo box: the order of its selection events, the drop-down list (size, place,
// acceptance), keys and type-ahead in fixed style, the edit style with auto-completion, the
// default look, and handlers that free the combo.
#include "platform/vcl/Forms.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinListItems.h"
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

class TTestCombo : public TskSkinComboBox {
public:
  using TskSkinComboBox::TskSkinComboBox;
  using TskSkinCustomComboBox::KeyDown;
  using TskSkinCustomComboBox::KeyPress;
  using TskSkinCustomComboBox::MouseDown;
  using TskSkinCustomComboBox::MouseUp;
  std::vector<std::string>* Log = nullptr;

protected:
  void Change() override
  {
    if (Log)
      Log->push_back("Change");
  }
};

class SkinComboBoxTest : public SkinListTest {
protected:
  TTestCombo* NewCombo(std::initializer_list<const char*> Items, int Y = 10)
  {
    Form = NewForm(100, 100, 400, 300);
    auto* c = Add<TTestCombo>(Form, "Combo", 10, Y, 150, 20);
    Form->Show();
    for (const char* s : Items)
      c->GetItems()->Add(s);
    c->Log = &Log;
    c->OnChange = [this](TObject*) { Log.push_back("OnChange"); };
    c->OnClick = [this](TObject*) { Log.push_back("OnClick"); };
    c->OnCloseUp = [this](TObject*) { Log.push_back("OnCloseUp"); };
    c->OnDropDown = [this](TObject*) { Log.push_back("OnDropDown"); };
    return c;
  }
  TTestCombo* Numbered(int Count)
  {
    auto* c = NewCombo({});
    for (int i = 0; i < Count; ++i)
      c->GetItems()->Add("item " + std::to_string(100 + i));
    return c;
  }
  using TLog = std::vector<std::string>;
  TLog Log;
  TForm* Form = nullptr;
};

TEST_F(SkinComboBoxTest, TheItemIndexSetterReportsInItsFixedOrder)
{
  auto* c = NewCombo({"Mono", "Stereo"});
  struct Case {
    const char* Name;
    int Index;
    const char* Text;
    TLog Events;
  } const cases[] = {
      {"a new item", 1, "Stereo", {"OnChange", "OnClick", "Change"}},
      {"the same item again", 1, "Stereo", {"OnClick", "Change"}},
      {"no item", -1, "Stereo", {"OnClick", "Change"}},
      {"an index past the end", 5, "Stereo", {"OnClick", "Change"}},
      {"the first item", 0, "Mono", {"OnChange", "OnClick", "Change"}},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    Log.clear();
    c->SetItemIndex(k.Index);
    EXPECT_EQ(c->GetText(), k.Text);
    EXPECT_EQ(Log, k.Events);
  }
  EXPECT_EQ(c->GetItemIndex(), 0);
}

TEST_F(SkinComboBoxTest, ChangingTheItemsLeavesTheTextAlone)
{
  auto* c = NewCombo({"Mono", "Stereo"});
  c->SetItemIndex(1);
  Log.clear();
  c->GetItems()->Add("Surround");
  EXPECT_EQ(c->GetItemIndex(), 1);
  c->GetItems()->Clear();
  EXPECT_EQ(c->GetItemIndex(), -1);
  EXPECT_EQ(c->GetText(), "Stereo");
  EXPECT_TRUE(Log.empty());
  c->Repaint();
}

TEST_F(SkinComboBoxTest, TheListShowsAtMostDropDownCountRowsAndNothingWhenEmpty)
{
  struct Case {
    const char* Name;
    int Items;
    int Rows;
  } const cases[] = {{"many", 20, 8}, {"few", 3, 3}};
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    auto* c = Numbered(k.Items);
    c->DropDown();
    ASSERT_TRUE(c->GetListBox()->GetVisible());
    EXPECT_EQ(c->GetListBox()->GetHeight(), c->GetListBox()->CalcHeight(k.Rows));
    EXPECT_EQ(c->GetListBox()->GetWidth(), c->GetWidth());
    c->CloseUp(false);
    EXPECT_FALSE(c->GetListBox()->GetVisible());
  }
  auto* empty = NewCombo({});
  Log.clear();
  empty->DropDown();
  EXPECT_FALSE(empty->GetListBox()->GetVisible());
  EXPECT_TRUE(Log.empty());
}

TEST_F(SkinComboBoxTest, TheListOpensBelowOrAboveWhereTheWorkAreaEnds)
{
  auto* c = Numbered(5);
  c->DropDown();
  const TPoint below = c->ClientToScreen(Point(0, c->GetHeight()));
  EXPECT_EQ(c->GetListBox()->GetTop(), below.y);
  EXPECT_EQ(c->GetListBox()->GetLeft(), below.x);
  c->CloseUp(false);
  TRect work = Rect(0, 0, 0, 0);
  GetMonitorArea(c->GetHandle(), true, work);
  ASSERT_GT(work.bottom, 100);
  Form->SetBounds(100, work.bottom - 40, 400, 40);
  c->SetTop(10);
  c->DropDown();
  const TPoint top = c->ClientToScreen(Point(0, 0));
  EXPECT_EQ(c->GetListBox()->GetTop() + c->GetListBox()->GetHeight(), top.y);
  c->CloseUp(false);
}

TEST_F(SkinComboBoxTest, AcceptingTheListFiresTheEventsAndCancellingRestores)
{
  auto* c = NewCombo({"Mono", "Stereo", "Surround"});
  c->SetItemIndex(0);
  c->DropDown();
  Log.clear();
  c->GetListBox()->SetItemIndex(2);
  c->Repaint();
  c->CloseUp(true);
  EXPECT_EQ(c->GetText(), "Surround");
  EXPECT_EQ(Log, (TLog{"OnChange", "OnClick", "Change", "OnCloseUp"}));
  c->DropDown();
  c->GetListBox()->SetItemIndex(1);
  Log.clear();
  c->CloseUp(false);
  EXPECT_EQ(c->GetItemIndex(), 2);
  EXPECT_EQ(c->GetText(), "Surround");
  EXPECT_TRUE(Log.empty());
}

TEST_F(SkinComboBoxTest, KeysStepAndPageThroughTheItems)
{
  auto* c = Numbered(30);
  c->SetDropDownCount(8);
  struct Case {
    const char* Name;
    int From;
    Word Key;
    TShiftState Shift;
    int To;
  } const cases[] = {
      {"page up", 20, VK_PRIOR, 0, 11},  {"page down", 0, VK_NEXT, 0, 7}, {"page up at the top", 3, VK_PRIOR, 0, 0},
      {"down", 4, VK_DOWN, 0, 5},        {"up", 4, VK_UP, 0, 3},          {"up at the top", 0, VK_UP, 0, 0},
      {"down at the end", 29, VK_DOWN, 0, 29},
  };
  for (const Case& k : cases) {
    SCOPED_TRACE(k.Name);
    c->SetItemIndex(k.From);
    Word key = k.Key;
    c->KeyDown(key, k.Shift);
    EXPECT_EQ(c->GetItemIndex(), k.To);
  }
  Word down = VK_DOWN;
  c->KeyDown(down, ssAlt);
  EXPECT_TRUE(c->GetListBox()->GetVisible());
  Word esc = VK_ESCAPE;
  c->KeyDown(esc, 0);
  EXPECT_FALSE(c->GetListBox()->GetVisible());
}

TEST_F(SkinComboBoxTest, TypeAheadBuildsAPrefixWithinHalfASecond)
{
  auto* c = NewCombo({"apple", "abc", "banana", "bravo"});
  char a = 'a', b = 'b';
  c->KeyPress(a);
  EXPECT_EQ(c->GetItemIndex(), 0);
  Clock->Advance(100);
  c->KeyPress(b);
  EXPECT_EQ(c->GetItemIndex(), 1);
  Clock->Advance(600);
  b = 'b';
  c->KeyPress(b);
  EXPECT_EQ(c->GetItemIndex(), 2);
  c->SetAutoComplete(false);
  b = 'b';
  c->KeyPress(b);
  EXPECT_EQ(c->GetItemIndex(), 3);  // one letter alone cycles
}

TEST_F(SkinComboBoxTest, AHandlerThatFreesTheComboEndsTheOperation)
{
  auto* c = NewCombo({"Mono", "Stereo"});
  c->DropDown();
  c->GetListBox()->SetItemIndex(1);
  c->OnClick = [&](TObject*) { delete c; };
  c->CloseUp(true);
  Pump();
  SUCCEED();
}

TEST_F(SkinComboBoxTest, TheFadingListEndsWhenItIsClosedMeanwhile)
{
  auto* c = Numbered(4);
  c->SetListBoxAlphaBlend(true);
  c->SetListBoxAlphaBlendAnimation(true);
  c->DropDown();
  EXPECT_TRUE(c->GetListBox()->GetVisible());
  EXPECT_TRUE(c->GetListBox()->GetLayered());
  EXPECT_EQ(c->GetListBox()->GetCurrentAlpha(), 0);  // every opening fades in again
  c->CloseUp(false);
  // A message handled during the fade closes the list: the fade stops at once.
  c->OnDropDown = [&](TObject*) { PostMessage(c->GetHandle(), CM_CANCELMODE, 0, 0); };
  c->DropDown();
  EXPECT_FALSE(c->GetListBox()->GetVisible());
  EXPECT_FALSE(c->GetDroppedDown());
}

TEST_F(SkinComboBoxTest, TheDefaultLookHasAFrameARingAFieldAndTheButton)
{
  auto* c = NewCombo({"Mono"});
  c->SetItemIndex(0);
  Form->SetFocus();
  auto b = Snapshot(c);
  const int w = c->GetWidth();
  EXPECT_EQ(BitmapPixel(b.get(), 0, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(BitmapPixel(b.get(), 1, 10), ColorToRGB(clBtnFace));
  EXPECT_EQ(c->GetButtonRect(), Rect(w - 19, 2, w - 2, 18));
  EXPECT_EQ(BitmapPixel(b.get(), w - 19, 10), ColorToRGB(clBtnShadow));
  EXPECT_EQ(BitmapPixel(b.get(), w - 10, 5), ColorToRGB(clBtnFace));
}

// --- edit style ------------------------------------------------------------------------------

class SkinComboEditTest : public SkinComboBoxTest {
protected:
  TTestCombo* EditCombo()
  {
    auto* c = NewCombo({"Mono", "Stereo"});
    c->SetStyle(spcbEditStyle);
    c->GetEdit()->HandleNeeded();
    Log.clear();
    return c;
  }
  // A key typed into the edit: its press, its character and its release.
  void Type(TskCustomEdit* E, Word Key, char C)
  {
    E->Perform(WM_KEYDOWN, Key, 0);
    if (C)
      E->Perform(WM_CHAR, static_cast<unsigned char>(C), 0);
    E->Perform(WM_KEYUP, Key, 0);
  }
};

TEST_F(SkinComboEditTest, ALetterCompletesFromTheListAndSelectsTheTail)
{
  auto* c = EditCombo();
  Clock->Advance(1000);
  Type(c->GetEdit(), 'S', 'S');
  EXPECT_EQ(c->GetItemIndex(), 1);
  EXPECT_EQ(c->GetText(), "Stereo");
  EXPECT_EQ(c->GetEdit()->GetText(), "Stereo");
  EXPECT_EQ(c->GetEdit()->GetSelStart(), 1);
  EXPECT_EQ(c->GetEdit()->GetSelLength(), 5);
  EXPECT_NE(std::find(Log.begin(), Log.end(), "OnChange"), Log.end());
  EXPECT_NE(std::find(Log.begin(), Log.end(), "OnClick"), Log.end());
  EXPECT_NE(std::find(Log.begin(), Log.end(), "Change"), Log.end());
}

TEST_F(SkinComboEditTest, NoOtherKeyCompletesOrDeletesTheSelection)
{
  auto* c = EditCombo();
  Clock->Advance(1000);
  Type(c->GetEdit(), 'S', 'S');
  for (Word key : {Word(VK_SHIFT), Word(VK_LEFT), Word(VK_CONTROL)}) {
    Clock->Advance(1000);
    c->GetEdit()->Perform(WM_KEYUP, key, 0);
    EXPECT_EQ(c->GetEdit()->GetText(), "Stereo") << key;
  }
  Clock->Advance(1000);
  Type(c->GetEdit(), VK_BACK, '\b');
  EXPECT_EQ(c->GetEdit()->GetText(), "S");
}

TEST_F(SkinComboEditTest, ArrowsSelectWithOnClickButWithoutChange)
{
  auto* c = EditCombo();
  c->SetItemIndex(0);
  Log.clear();
  c->GetEdit()->Perform(WM_KEYDOWN, VK_DOWN, 0);
  EXPECT_EQ(c->GetItemIndex(), 1);
  EXPECT_EQ(c->GetText(), "Stereo");
  EXPECT_EQ(Log, (TLog{"OnChange", "OnClick"}));
}

TEST_F(SkinComboEditTest, BackToFixedStyleGivesTheComboItsTabStop)
{
  auto* c = EditCombo();
  EXPECT_FALSE(c->GetTabStop());
  EXPECT_TRUE(c->GetEdit()->GetTabStop());
  c->SetStyle(spcbFixedStyle);
  EXPECT_EQ(c->GetEdit(), nullptr);
  EXPECT_TRUE(c->GetTabStop());
}

} // namespace
