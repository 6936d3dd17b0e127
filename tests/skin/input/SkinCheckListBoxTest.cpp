// The skinned check list box: the check state per item in the list's own item model, toggling by
// mouse, space and the caption's check button, and the states across a new window.
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

class SkinCheckListBoxTest : public SkinListTest {
protected:
  TTestCheckListBox* NewList(int Count)
  {
    Form = NewForm(100, 100, 400, 300);
    auto* l = Add<TTestCheckListBox>(Form, "Checks", 10, 10, 150, 124);
    Form->Show();
    for (int i = 0; i < Count; ++i)
      l->GetItems()->Add("title " + std::to_string(i));
    return l;
  }
  TskCheckListBox* Inner(TTestCheckListBox* L) { return L->GetCheckListBox(); }
  TForm* Form = nullptr;
};

TEST_F(SkinCheckListBoxTest, AClickInTheCheckColumnTogglesAndFurtherRightOnlySelects)
{
  auto* l = NewList(4);
  std::vector<TObject*> senders;
  l->SetOnClickCheck([&](TObject* Sender) { senders.push_back(Sender); });
  Click(Inner(l), 10, 25);
  EXPECT_TRUE(l->GetChecked(1));
  EXPECT_EQ(l->GetItemIndex(), 1);
  Click(Inner(l), 60, 45);
  EXPECT_FALSE(l->GetChecked(2));
  EXPECT_EQ(l->GetItemIndex(), 2);
  Click(Inner(l), 19, 25);
  EXPECT_FALSE(l->GetChecked(1));
  ASSERT_EQ(senders.size(), 2u);
  EXPECT_EQ(senders[0], Inner(l));
}

TEST_F(SkinCheckListBoxTest, ThreeClicksCycleThroughTheStates)
{
  struct Case {
    const char* Name;
    bool AllowGrayed;
    TCheckBoxState States[3];
  } const cases[] = {{"with grayed", true, {cbGrayed, cbChecked, cbUnchecked}},
                     {"without grayed", false, {cbChecked, cbUnchecked, cbChecked}}};
  for (const Case& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* l = NewList(2);
    l->SetAllowGrayed(c.AllowGrayed);
    for (TCheckBoxState expected : c.States) {
      Click(Inner(l), 8, 5);
      EXPECT_EQ(Inner(l)->GetState(0), expected);
    }
  }
}

TEST_F(SkinCheckListBoxTest, SpaceAndTheCaptionCheckButtonToggleTheSelectedItem)
{
  auto* l = NewList(3);
  std::vector<TObject*> senders;
  l->SetOnClickCheck([&](TObject* Sender) { senders.push_back(Sender); });
  l->SetItemIndex(2);
  Char(Inner(l), ' ');
  EXPECT_TRUE(l->GetChecked(2));
  l->SetCaptionMode(true);
  l->Repaint();
  const TRect r = l->GetCaptionButton(2).Rect;
  const int x = (r.left + r.right) / 2, y = (r.top + r.bottom) / 2;
  l->MouseDown(mbLeft, 0, x, y);
  l->MouseUp(mbLeft, 0, x, y);
  EXPECT_FALSE(l->GetChecked(2));
  ASSERT_EQ(senders.size(), 2u);
  EXPECT_EQ(senders[0], Inner(l));
  EXPECT_EQ(senders[1], l);
}

TEST_F(SkinCheckListBoxTest, StatesLiveInTheListsOwnItemModel)
{
  auto* l = NewList(3);
  // Item data the application stores is its own: never taken for a check state.
  TComponent stored(nullptr);
  l->GetItems()->PutObject(0, &stored);
  EXPECT_EQ(l->GetItems()->GetObject(0), &stored);
  EXPECT_FALSE(l->GetChecked(0));
  EXPECT_FALSE(l->GetChecked(1));
  const int entries = Inner(l)->EntryCount();
  EXPECT_FALSE(l->GetChecked(2));
  EXPECT_EQ(Inner(l)->EntryCount(), entries);  // reading creates no entry
  l->SetChecked(2, true);
  EXPECT_EQ(Inner(l)->EntryCount(), entries + 1);
  EXPECT_EQ(l->GetItems()->GetObject(2), nullptr);
  EXPECT_THROW(l->GetChecked(3), EListError);
  EXPECT_THROW(l->SetChecked(-1, true), EListError);
  Inner(l)->ToggleClickCheck(7);
  l->GetItems()->Delete(2);
  EXPECT_EQ(Inner(l)->EntryCount(), entries);
  l->Clear();
  EXPECT_EQ(Inner(l)->EntryCount(), 0);
}

TEST_F(SkinCheckListBoxTest, StatesSurviveANewWindowEachWithItsItem)
{
  auto* l = NewList(4);
  TComponent stored(nullptr);
  l->GetItems()->PutObject(1, &stored);
  l->SetChecked(1, true);
  Inner(l)->SetState(3, cbGrayed);
  Inner(l)->RecreateWnd();
  Inner(l)->HandleNeeded();
  EXPECT_FALSE(l->GetChecked(0));
  EXPECT_TRUE(l->GetChecked(1));
  EXPECT_EQ(l->GetItems()->GetObject(1), &stored);
  EXPECT_FALSE(l->GetChecked(2));
  EXPECT_EQ(Inner(l)->GetState(3), cbGrayed);
}

TEST_F(SkinCheckListBoxTest, RowCountLeavesTheCaptionOut)
{
  auto* l = NewList(5);
  l->SetCaptionMode(true);
  l->SetRowCount(5);
  EXPECT_EQ(l->GetHeight(), 104);
}

} // namespace
