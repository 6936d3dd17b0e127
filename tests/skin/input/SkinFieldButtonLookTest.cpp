// The buttons inside the skinned combo box and spin edit as the program's own skins draw them:
// on the control, visible at rest, and changing look when hot and when pressed.
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinComboBox.h"
#include "skin/input/SkinSpinEdit.h"
#include "tests/skin/support/SkinTestSupport.h"

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

class SkinFieldButtonLook : public TSkinControlTest {
protected:
  // Checks the button at Place of Control in the skin: inside the control, unlike the text field
  // at rest, and each of hot and pressed unlike the state before.
  void CheckButton(TControl* Control, const TRect& Place)
  {
    const int w = Control->GetWidth(), h = Control->GetHeight();
    ASSERT_FALSE(IsNullRect(Place));
    ASSERT_TRUE(Place.left >= 0 && Place.top >= 0 && Place.right <= w && Place.bottom <= h)
        << Place.left << "," << Place.top << "," << Place.right << "," << Place.bottom << " on " << w << "x" << h;
    const int area = RectWidth(Place) * RectHeight(Place);
    auto rest = Snapshot(Control);
    const TRect field = Rect(3, Place.top, 3 + RectWidth(Place), Place.bottom);
    EXPECT_GT(Differing(rest.get(), Place, rest.get(), field), area / 3) << "the button at rest is not drawn";

    const TPoint at = Control->ClientToScreen(Point((Place.left + Place.right) / 2, (Place.top + Place.bottom) / 2));
    Display()->InjectMouseMove(at.x, at.y);
    Pump();
    auto hot = Snapshot(Control);
    EXPECT_GT(Differing(hot.get(), Place, rest.get(), Place), area / 3) << "hot looks as at rest";
    Display()->InjectButton(at.x, at.y, 1, true);
    Pump();
    auto pressed = Snapshot(Control);
    EXPECT_GT(Differing(pressed.get(), Place, hot.get(), Place), area / 3) << "pressed looks as hot";
    Display()->InjectButton(at.x, at.y, 1, false);
    const TPoint off = Control->ClientToScreen(Point(-20, -20));
    Display()->InjectMouseMove(off.x, off.y);
    Pump();
  }
};

const struct {
  const char* Name;
  TBuiltinSkin Skin;
} Skins[] = {{"frame skin", TBuiltinSkin::bsFrame}, {"controls skin", TBuiltinSkin::bsControls}};

TEST_F(SkinFieldButtonLook, TheComboBoxDropButtonShowsAtRestHotAndPressed)
{
  for (const auto& s : Skins) {
    SCOPED_TRACE(s.Name);
    TForm* form = NewForm(100, 100, 300, 120);
    // No items: a press on the button shows it pressed without dropping a list down.
    auto* combo = Add<TskSkinComboBox>(form, "Combo", 20, 20, 150, 20);
    combo->SetSkinData(BuiltinSkinData(Holder, s.Skin));
    form->Show();
    Pump();
    CheckButton(combo, combo->GetButtonRect());
  }
}

TEST_F(SkinFieldButtonLook, TheSpinEditButtonsShowAtRestHotAndPressed)
{
  for (const auto& s : Skins) {
    SCOPED_TRACE(s.Name);
    TForm* form = NewForm(100, 100, 300, 120);
    auto* spin = Add<TskSkinSpinEdit>(form, "Spin", 20, 20, 100, 20);
    spin->SetSkinData(BuiltinSkinData(Holder, s.Skin));
    form->Show();
    Pump();
    for (int i = 0; i < 2; ++i) {
      SCOPED_TRACE(i == 0 ? "up button" : "down button");
      CheckButton(spin, spin->GetButtonRect(i));
    }
  }
}

} // namespace
