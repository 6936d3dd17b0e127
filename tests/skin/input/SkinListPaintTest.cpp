// Item painting of the skinned lists: the default look, the fixed-height skinned look from the
// record's item pictures, the client picture below the items, tab stops, and records the
// painting must survive.
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

constexpr TColor Black = 0, White = 0xFFFFFF, Blue = 0xFF0000, Green = 0x00FF00, Red = 0x0000FF, Gray = 0x808080;

// Picture 0: the frame (0,0)-(40,40) gray with a green client part (4,4)-(36,36); the plain item
// (50,0)-(90,21) white, the selected item (50,21)-(90,42) blue, the focused item (50,42)-(90,63)
// red; check images (drawn with their bottom-left colour, black, transparent): unchecked
// (0,50)-(10,60) gray inside, checked (10,50)-(20,60) blue inside.
std::vector<std::unique_ptr<TBitmap>> Pictures()
{
  std::vector<std::unique_ptr<TBitmap>> p;
  p.push_back(SolidPicture(100, 70, Black));
  FillArea(p[0].get(), Rect(0, 0, 40, 40), Gray);
  FillArea(p[0].get(), Rect(4, 4, 36, 36), Green);
  FillArea(p[0].get(), Rect(50, 0, 90, 21), White);
  FillArea(p[0].get(), Rect(50, 21, 90, 42), Blue);
  FillArea(p[0].get(), Rect(50, 42, 90, 63), Red);
  FillArea(p[0].get(), Rect(2, 52, 8, 58), Gray);
  FillArea(p[0].get(), Rect(12, 52, 18, 58), Blue);
  return p;
}

const char* const Frame = "pictureindex=0\nskinrect=0,0,40,40\nlefttoppoint=4,4\nrighttoppoint=36,4\n"
                          "leftbottompoint=4,36\nrightbottompoint=36,36\n";
const char* const Items = "itemrect=50,0,90,21\nactiveitemrect=50,21,90,42\nfocusitemrect=50,42,90,63\n"
                          "fontcolor=0\nactivefontcolor=16777215\n";

String Records()
{
  return String("[SKINCONTROLS]\ncount=3\n0=listbox:listbox\n1=noclient:listbox\n2=checklistbox:checklistbox\n") +
         "[listbox]\n" + Frame + "clientrect=4,4,36,36\n" + Items + "itemtextrect=4,0,36,21\n" + "[noclient]\n" +
         Frame + Items + "itemtextrect=4,0,36,21\n" + "[checklistbox]\n" + Frame + "clientrect=4,4,36,36\n" + Items +
         "itemtextrect=22,0,36,21\n" +
         "itemcheckrect=0,0,20,21\ncheckimagerect=10,50,20,60\nuncheckimagerect=0,50,10,60\n";
}

class SkinListPaintTest : public SkinListTest {
protected:
  template <typename T>
  T* NewList(int Count, const char* Record)
  {
    Form = NewForm(100, 100, 400, 300);
    auto* l = Add<T>(Form, "List", 10, 10, 140, 130);
    Form->Show();
    for (int i = 0; i < Count; ++i)
      l->GetItems()->Add("item " + std::to_string(i));
    if (Record) {
      l->SetSkinDataName(Record);
      l->SetSkinData(NewSkin(Pictures(), Records()));
    }
    return l;
  }
  TForm* Form = nullptr;
};

TEST_F(SkinListPaintTest, TabWidthLinesGiveTheirDigitsOrZero)
{
  struct Case {
    const char* Name;
    const char* Text;
    int Expected;
  } const cases[] = {{"digits", "60", 60}, {"letter", "x", 0},   {"empty", "", 0},
                     {"sign", "-5", 0},    {"space", " 5", 0},   {"large", "120", 120},
                     {"too long", "99999999999", 0}};
  for (const Case& c : cases)
    EXPECT_EQ(TskListBox::TabStopValue(c.Text), c.Expected) << c.Name;
}

TEST_F(SkinListPaintTest, TheDefaultLookFillsSelectedItemsAndTheRestWithTheWindowColours)
{
  auto* l = NewList<TTestListBox>(3, nullptr);
  l->SetItemIndex(1);
  auto b = Snapshot(l->GetListBox());
  EXPECT_EQ(BitmapPixel(b.get(), 60, 10), ColorToRGB(clWindow));
  EXPECT_EQ(BitmapPixel(b.get(), 100, 30), ColorToRGB(clHighlight));
  EXPECT_EQ(BitmapPixel(b.get(), 60, 100), ColorToRGB(clWindow));
}

TEST_F(SkinListPaintTest, TheSkinnedLookDrawsEveryItemFromTheRecordsPictures)
{
  auto* l = NewList<TTestListBox>(3, "listbox");
  EXPECT_EQ(l->GetListBox()->GetItemHeight(), 21);
  l->SetItemIndex(1);
  auto b = Snapshot(l->GetListBox());
  EXPECT_EQ(BitmapPixel(b.get(), 60, 2), White);
  // The selected item is the focused one when the list has the focus.
  EXPECT_EQ(BitmapPixel(b.get(), 100, 23), l->GetListBox()->Focused() ? Red : Blue);
  // Below the items: the client picture tiled.
  EXPECT_EQ(BitmapPixel(b.get(), 60, 90), Green);
  // The list sits in the client part of the frame.
  auto frame = Snapshot(l);
  EXPECT_EQ(BitmapPixel(frame.get(), 1, 1), Gray);
}

TEST_F(SkinListPaintTest, ARecordWithoutAClientPictureLeavesTheWindowColourBelowTheItems)
{
  auto* l = NewList<TTestListBox>(2, "noclient");
  auto b = Snapshot(l->GetListBox());
  EXPECT_EQ(BitmapPixel(b.get(), 60, 2), White);
  EXPECT_EQ(BitmapPixel(b.get(), 60, b->GetHeight() - 3), ColorToRGB(clWindow));
}

TEST_F(SkinListPaintTest, OwnerDrawingReplacesTheItemContentOverItsBackground)
{
  auto* l = NewList<TTestListBox>(2, "listbox");
  std::vector<int> drawn;
  l->OnDrawItem = [&](TCanvas* C, int Index, int W, int H, TRect TR, TOwnerDrawState) {
    drawn.push_back(Index);
    EXPECT_EQ(H, 21);
    EXPECT_EQ(TR.right - TR.left, 32 + W - 40);
    C->GetBrush()->SetStyle(bsSolid);
    C->GetBrush()->SetColor(Red);
    C->FillRect(Rect(0, 0, 5, 5));
  };
  auto b = Snapshot(l->GetListBox());
  EXPECT_EQ(drawn, (std::vector<int>{0, 1}));
  EXPECT_EQ(BitmapPixel(b.get(), 2, 2), Red);
  EXPECT_EQ(BitmapPixel(b.get(), 60, 10), White);
}

TEST_F(SkinListPaintTest, SkinnedCheckItemsShowTheirCheckPicture)
{
  auto* l = NewList<TTestCheckListBox>(2, "checklistbox");
  l->SetChecked(1, true);
  auto b = Snapshot(l->GetListBox());
  EXPECT_EQ(BitmapPixel(b.get(), 10, 10), Gray);
  EXPECT_EQ(BitmapPixel(b.get(), 10, 31), Blue);
  EXPECT_EQ(BitmapPixel(b.get(), 5, 31), White);  // the image's border is transparent
  EXPECT_EQ(BitmapPixel(b.get(), 60, 31), White);
  // A click in the record's check area toggles.
  Click(l->GetListBox(), 10, 5);
  EXPECT_TRUE(l->GetChecked(0));
  Click(l->GetListBox(), 60, 5);
  EXPECT_TRUE(l->GetChecked(0));
}

} // namespace
