// The skinned edit: the text area and button of the default look, the skinned height, the frame
// button's click, the image buttons keeping the text beside them, the disabled text, and the
// frame painted from the skin.
#include "skin/input/SkinEdit.h"
#include "tests/skin/support/SkinTestSupport.h"

namespace {

constexpr TColor Frame = 0x203040, Inside = 0xE0F0F0, HotFrame = 0x405060, Disabled = 0x0000C0;

class SkinEdit : public TSkinControlTest {
protected:
  void SetUp() override
  {
    TSkinControlTest::SetUp();
    Form = NewForm(100, 100, 300, 120);
    Edit = Add<TskSkinEdit>(Form, "Edit", 10, 10, 100, 20);
    Form->Show();
    Pump();
  }
  // An "edit" record of 40 x 24: a 3-pixel frame round a light inside, the hot look beside it.
  TskSkinData* EditSkin()
  {
    std::vector<std::unique_ptr<TBitmap>> p;
    p.push_back(SolidPicture(80, 24, Frame));
    FillArea(p[0].get(), Rect(3, 3, 37, 21), Inside);
    FillArea(p[0].get(), Rect(40, 0, 80, 24), HotFrame);
    FillArea(p[0].get(), Rect(43, 3, 77, 21), Inside);
    return NewSkin(std::move(p), "[SKINCONTROLS]\ncount=1\n0=edit:edit\n"
                                 "[edit]\npictureindex=0\nskinrect=0,0,40,24\nactiveskinrect=40,0,80,24\n"
                                 "lefttoppoint=3,3\nrighttoppoint=37,3\nleftbottompoint=3,21\nrightbottompoint=37,21\n"
                                 "clientrect=3,3,37,21\nfontname=Arial\nfontheight=14\nfontcolor=0\n"
                                 "activefontcolor=0\ndisabledfontcolor=" +
                                     std::to_string(Disabled) + "\n");
  }

  TForm* Form = nullptr;
  TskSkinEdit* Edit = nullptr;
};

TEST_F(SkinEdit, TheDefaultLookFramesTheTextAndTheButton)
{
  Edit->CalcRects();
  EXPECT_EQ(Edit->GetTextRect(), Rect(2, 2, 98, 18));
  Edit->SetButtonMode(true);
  Edit->CalcRects();
  EXPECT_EQ(Edit->GetTextRect(), Rect(2, 2, 78, 18));
  EXPECT_EQ(Edit->GetButtonRect(), Rect(80, 0, 100, 20));
  RECT client{};
  GetClientRect(Edit->GetHandle(), &client);
  EXPECT_EQ(client.right, 100 - 2 - 22) << "the client area leaves the frame and the button out";
  EXPECT_EQ(client.bottom, 16);
}

TEST_F(SkinEdit, ASkinnedEditKeepsTheRecordsHeightAndPaintsItsFrame)
{
  Add<TskSkinEdit>(Form, "Other", 10, 50, 100, 20)->SetFocus();
  Edit->SetSkinData(EditSkin());
  ASSERT_NE(Edit->GetSkinIndex(), -1);
  EXPECT_EQ(Edit->GetHeight(), 24);
  Edit->SetHeight(50);
  EXPECT_EQ(Edit->GetHeight(), 24) << "the record's height stands";
  Edit->CalcRects();
  EXPECT_EQ(Edit->GetTextRect(), Rect(3, 3, 97, 21)) << "the client rectangle grows with the width";

  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(100, 24);
  Edit->DrawFrame(b.GetCanvas());
  EXPECT_EQ(BitmapPixel(&b, 1, 12), Frame);
  EXPECT_EQ(BitmapPixel(&b, 98, 12), Frame);
  EXPECT_EQ(BitmapPixel(&b, 50, 12), Inside);
  Edit->Perform(CM_MOUSEENTER, 0, 0);
  Edit->DrawFrame(b.GetCanvas());
  EXPECT_EQ(BitmapPixel(&b, 50, 1), HotFrame) << "the hot look";
}

TEST_F(SkinEdit, TheFrameButtonClicksOnlyAfterAPressOnIt)
{
  Edit->SetButtonMode(true);
  int clicks = 0;
  Edit->OnButtonClick = [&](TObject*) { ++clicks; };
  SendMessageA(Edit->GetHandle(), WM_NCLBUTTONUP, 6, 0);
  EXPECT_EQ(clicks, 0) << "the press began elsewhere";
  SendMessageA(Edit->GetHandle(), WM_NCLBUTTONDOWN, 6, 0);
  SendMessageA(Edit->GetHandle(), WM_NCLBUTTONUP, 6, 0);
  EXPECT_EQ(clicks, 1);
  const TPoint onButton = Edit->ClientToScreen(Point(0, 0));
  const LRESULT hit = SendMessageA(Edit->GetHandle(), WM_NCHITTEST, 0,
                                   MAKELPARAM(static_cast<WORD>(onButton.x + 85), static_cast<WORD>(onButton.y + 5)));
  EXPECT_EQ(hit, 6) << "the button's hit code";
}

TEST_F(SkinEdit, ImageButtonsKeepTheTextBesideThem)
{
  TImageList images(nullptr);
  images.SetWidth(16);
  images.SetHeight(16);
  auto glyph = SolidPicture(16, 16, clBlue);
  images.Add(glyph.get(), nullptr);
  Edit->SetImages(&images);
  Edit->SetLeftImageIndex(0);
  EXPECT_EQ(Edit->GetLeftImageRect().right, 16);
  RECT r{};
  SendMessageA(Edit->GetHandle(), EM_GETRECT, 0, reinterpret_cast<LPARAM>(&r));
  EXPECT_GE(r.left, 18) << "the text starts after the image and 2 pixels";
  Edit->SetImages(nullptr);
}

TEST_F(SkinEdit, ADisabledSkinnedEditShowsItsTextInTheDisabledColour)
{
  Edit->SetSkinData(EditSkin());
  Edit->SetText("WWW");
  Edit->SetAlignment(taRightJustify);
  Edit->SetEnabled(false);
  Pump();
  TBitmap b;
  b.SetPixelFormat(pf24bit);
  b.SetSize(100, 24);
  FillArea(&b, Rect(0, 0, 100, 24), clWhite);
  SendMessageA(Edit->GetHandle(), WM_ERASEBKGND, reinterpret_cast<WPARAM>(b.GetCanvas()->GetHandle()), 0);
  int rightmost = -1;
  for (int x = 0; x < 100; ++x)
    for (int y = 0; y < 18; ++y)
      if (const TColor c = BitmapPixel(&b, x, y); (c & 0xFF) > 0x80 && ((c >> 8) & 0xFF) < 0x80 && (c >> 16) < 0x80)
        rightmost = x;  // a reddish pixel of the text
  EXPECT_GE(rightmost, 80) << "right-justified in the disabled colour";
  EXPECT_LE(rightmost, 92) << "ending one pixel left of the text area's right edge";
}

} // namespace
