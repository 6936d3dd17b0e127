// The caption bar of the skinned lists as the program's own skins draw it: the captioned list
// records put a band from the skin's picture above the items, the caption text in the band's
// growing middle and the caption buttons in its fixed right end, with their hot and pressed
// looks; without caption buttons the band's middle covers their place.
#include "skin/foundation/SkinDrawUtils.h"
#include "tests/skin/input/SkinListTestSupport.h"

namespace {

// How many pixels of A's rectangle RA differ from those of B's rectangle RB (same size).
int Differing(TBitmap* A, const TRect& RA, TBitmap* B, const TRect& RB)
{
  int n = 0;
  for (int y = 0; y < RectHeight(RA); ++y)
    for (int x = 0; x < RectWidth(RA); ++x)
      if (BitmapPixel(A, RA.left + x, RA.top + y) != BitmapPixel(B, RB.left + x, RB.top + y))
        ++n;
  return n;
}

const struct {
  const char* Name;
  TBuiltinSkin Skin;
} Skins[] = {{"frame skin", TBuiltinSkin::bsFrame}, {"controls skin", TBuiltinSkin::bsControls}};

class SkinListCaptionLook : public SkinListTest {
protected:
  // A captioned list of kind T on record Name of the skin, three items, the first selected.
  template <typename T>
  T* CaptionList(TBuiltinSkin Skin, const char* Name, bool Buttons = true)
  {
    TForm* form = NewForm(100, 100, 300, 200);
    auto* l = Add<T>(form, "List", 20, 20, 135, 125);
    l->SetCaption("Folders");
    l->SetCaptionMode(true);
    l->SetShowCaptionButtons(Buttons);
    for (const char* item : {"one", "two", "three"})
      l->GetItems()->Add(item);
    l->SetItemIndex(0);
    l->SetSkinDataName(Name);
    Skin_ = BuiltinSkinData(Holder, Skin);
    l->SetSkinData(Skin_);
    form->Show();
    Pump();
    return l;
  }
  // The list's record and its picture, once the list is skinned.
  TskDataSkinListBox* Record(TskSkinControl* L)
  {
    return dynamic_cast<TskDataSkinListBox*>(Skin_->ControlList[static_cast<std::size_t>(L->GetSkinIndex())]);
  }
  TBitmap* Picture(TskDataSkinListBox* R) { return Skin_->ActivePictures[static_cast<std::size_t>(R->pictureindex)]; }

  TskSkinData* Skin_ = nullptr;
};

TEST_F(SkinListCaptionLook, TheBandComesFromTheSkinWithTheCaptionAndTheButtonsInIt)
{
  for (const auto& s : Skins)
    for (const char* name : {"captionlistbox", "captionchecklistbox"}) {
      SCOPED_TRACE(std::string(s.Name) + ", " + name);
      TskSkinListFrame* l = std::string(name) == "captionlistbox"
                                ? static_cast<TskSkinListFrame*>(CaptionList<TTestListBox>(s.Skin, name))
                                : CaptionList<TTestCheckListBox>(s.Skin, name);
      ASSERT_NE(l->GetSkinIndex(), -1) << "the skin has no record " << name;
      TskDataSkinListBox* r = Record(l);
      ASSERT_NE(r, nullptr);
      TBitmap* picture = Picture(r);
      const TRect skin = r->skinrect;
      const int band = r->clientrect.top, dw = l->GetWidth() - RectWidth(skin);
      ASSERT_GT(band, 12) << "no room for a caption above the items";
      EXPECT_EQ(l->GetListBox()->GetTop(), band) << "the items start below the band";

      auto image = Snapshot(l);
      // The band's fixed right end, buttons at rest included, is the picture's, at the right edge.
      const int rightEnd = r->righttoppoint.x;
      EXPECT_EQ(Differing(image.get(), Rect(rightEnd + dw, 0, l->GetWidth(), band), picture,
                          Rect(skin.left + rightEnd, skin.top, skin.right, skin.top + band)),
                0);
      // The growing middle is the picture's middle, up to the fixed end; the caption is written in
      // it in the record's caption colour.
      EXPECT_EQ(Differing(image.get(), Rect(rightEnd + dw - 1, 0, rightEnd + dw, band), picture,
                          Rect(skin.left + r->lefttoppoint.x, skin.top, skin.left + r->lefttoppoint.x + 1, skin.top + band)),
                0);
      int text = 0;
      for (int y = 0; y < band; ++y)
        for (int x = r->captionrect.left; x < rightEnd + dw; ++x)
          text += BitmapPixel(image.get(), x, y) == r->captionfontcolor;
      EXPECT_GT(text, 20) << "no caption in the band";

      // Each button lies in the band's right end, drawn hot and pressed from its cells, and a
      // click on the down button moves the selection.
      const TRect* hot[3] = {&r->activeupbuttonrect, &r->activedownbuttonrect, &r->activecheckbuttonrect};
      const TRect* pressed[3] = {&r->downupbuttonrect, &r->downdownbuttonrect, &r->downcheckbuttonrect};
      for (int i = 0; i < 3; ++i) {
        SCOPED_TRACE("button " + std::to_string(i));
        const TRect place = l->GetCaptionButton(i).Rect;
        ASSERT_FALSE(IsRectEmpty(&place));
        EXPECT_TRUE(place.left >= rightEnd + dw && place.top >= 0 && place.right <= l->GetWidth() && place.bottom <= band)
            << RectText(place);
        const TPoint at = l->ClientToScreen(Point((place.left + place.right) / 2, (place.top + place.bottom) / 2));
        Display()->InjectMouseMove(at.x, at.y);
        Pump();
        const int area = RectWidth(place) * RectHeight(place);
        auto hotImage = Snapshot(l);
        EXPECT_EQ(Differing(hotImage.get(), place, picture, *hot[i]), 0) << "hot";
        EXPECT_GT(Differing(hotImage.get(), place, image.get(), place), area / 3) << "hot looks as at rest";
        Display()->InjectButton(at.x, at.y, 1, true);
        Pump();
        auto pressedImage = Snapshot(l);
        EXPECT_EQ(Differing(pressedImage.get(), place, picture, *pressed[i]), 0) << "pressed";
        EXPECT_GT(Differing(pressedImage.get(), place, hotImage.get(), place), area / 3) << "pressed looks as hot";
        const int before = l->GetItemIndex();
        Display()->InjectButton(at.x, at.y, 1, false);
        Pump();
        if (i == 1) {
          EXPECT_EQ(l->GetItemIndex(), before + 1);
        }
        const TPoint off = l->ClientToScreen(Point(-20, -20));
        Display()->InjectMouseMove(off.x, off.y);
        Pump();
      }
    }
}

TEST_F(SkinListCaptionLook, WithoutCaptionButtonsTheBandMiddleCoversTheirPlace)
{
  for (const auto& s : Skins) {
    SCOPED_TRACE(s.Name);
    auto* l = CaptionList<TTestListBox>(s.Skin, "captionlistbox", false);
    ASSERT_NE(l->GetSkinIndex(), -1);
    TskDataSkinListBox* r = Record(l);
    TBitmap* picture = Picture(r);
    const int dw = l->GetWidth() - RectWidth(r->skinrect);
    const int middle = r->skinrect.left + r->lefttoppoint.x;
    auto image = Snapshot(l);
    // Where the buttons were, every row has the band middle's colour of that row.
    int glyph = 0;
    const TRect place = r->upbuttonrect;
    for (int y = place.top; y < place.bottom; ++y)
      for (int x = r->checkbuttonrect.left + dw; x < place.right + dw; ++x)
        glyph += BitmapPixel(image.get(), x, y) != BitmapPixel(picture, middle, r->skinrect.top + y);
    EXPECT_EQ(glyph, 0);
    for (int i = 0; i < 3; ++i)
      EXPECT_TRUE(IsNullRect(l->GetCaptionButton(i).Rect));
  }
}

} // namespace
