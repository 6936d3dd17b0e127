// The frame's geometry: client rectangle, hit codes, size limits, region and re-layout, for the
// skinned frame (the program's frame skin and skins made here) and the default frame.
#include "tests/skin/frame/SkinFrameTestSupport.h"

namespace {

LRESULT HitAt(TskSkinnedForm* Frame, int X, int Y)
{
  RECT w{};
  GetWindowRect(Frame->OwnerForm()->GetHandle(), &w);
  return SendMessage(Frame->OwnerForm()->GetHandle(), WM_NCHITTEST, 0,
                     MAKELPARAM(static_cast<WORD>(w.left + X), static_cast<WORD>(w.top + Y)));
}

TRect ClientInWindow(TForm* Form)
{
  RECT w{}, c{};
  GetWindowRect(Form->GetHandle(), &w);
  GetClientRect(Form->GetHandle(), &c);
  POINT o{0, 0};
  ClientToScreen(Form->GetHandle(), &o);
  return TRect{o.x - w.left, o.y - w.top, o.x - w.left + c.right, o.y - w.top + c.bottom};
}

MINMAXINFO MinMax(TForm* Form)
{
  MINMAXINFO info{};
  SendMessage(Form->GetHandle(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
  return info;
}

} // namespace

TEST_F(TSkinFrameTest, ClientRectangleOfEachFrame)
{
  struct TCase {
    const char* Name;
    int Skin; // 0 none, 1 the program's frame skin, 2 a skin without frame records
    TFormBorderStyle Style;
    TRect Client;
  };
  const TCase cases[] = {
      {"default frame", 0, bsSizeable, {3, 22, 397, 297}},
      {"default frame of a tool window", 0, bsSizeToolWin, {3, 18, 397, 297}},
      {"program's frame skin", 1, bsSizeable, {4, 28, 396, 296}},
      {"skin without frame records", 2, bsSizeable, {3, 22, 397, 297}},
      {"no border at all", 1, bsNone, {0, 0, 400, 300}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinData* skin = nullptr;
    if (c.Skin == 1)
      skin = FrameSkin();
    if (c.Skin == 2) {
      skin = new TskSkinData(Holder);
      FillSkinData(skin, {}, "");
    }
    TskSkinnedForm* frame = FramedForm(skin, 400, 300, c.Style);
    frame->OwnerForm()->Show();
    Pump();
    EXPECT_EQ(c.Client, ClientInWindow(frame->OwnerForm()));
  }
}

TEST_F(TSkinFrameTest, HitCodesOfTheProgramsFrame)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin());
  frame->OwnerForm()->Show();
  Pump();
  struct TCase {
    int X, Y;
    LRESULT Hit;
  } const cases[] = {
      {1, 1, HTTOPLEFT},      {398, 1, HTTOPRIGHT}, {1, 298, HTBOTTOMLEFT}, {398, 298, HTBOTTOMRIGHT},
      {200, 1, HTTOP},        {200, 298, HTBOTTOM}, {1, 150, HTLEFT},       {398, 150, HTRIGHT},
      {200, 150, HTCLIENT},   {100, 14, HTCAPTION}, {385, 14, HTOBJECT},    {10, 14, HTOBJECT},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Hit, HitAt(frame, c.X, c.Y)) << c.X << "," << c.Y;

  // Maximised: no sizing zones; the borders are plain frame.
  SendMessage(frame->OwnerForm()->GetHandle(), WM_NCLBUTTONDBLCLK, HTCAPTION, 0);
  ASSERT_EQ(wsMaximized, frame->GetSkinWindowState());
  EXPECT_EQ(HTOBJECT, HitAt(frame, 1, 150));
  EXPECT_EQ(HTCAPTION, HitAt(frame, 100, 14));
}

TEST_F(TSkinFrameTest, HitCodesOfTheDefaultFrame)
{
  TskSkinnedForm* frame = FramedForm(nullptr);
  frame->OwnerForm()->Show();
  Pump();
  struct TCase {
    int X, Y;
    LRESULT Hit;
  } const cases[] = {
      {1, 1, HTTOPLEFT}, {398, 1, HTTOPRIGHT}, {1, 298, HTBOTTOMLEFT}, {398, 298, HTBOTTOMRIGHT},
      {1, 150, HTLEFT},  {200, 1, HTTOP},      {398, 150, HTRIGHT},    {200, 298, HTBOTTOM},
      {200, 150, HTCLIENT}, {100, 12, HTCAPTION}, {388, 12, HTOBJECT},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Hit, HitAt(frame, c.X, c.Y)) << c.X << "," << c.Y;
  frame->Sizeable = false;
  EXPECT_EQ(HTOBJECT, HitAt(frame, 1, 150));
}

TEST_F(TSkinFrameTest, HitTestOverACaptionButtonStartsTheMouseTimer)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin());
  frame->OwnerForm()->Show();
  Pump();
  frame->GetMouseTimer()->SetEnabled(false);
  EXPECT_EQ(HTOBJECT, HitAt(frame, 385, 14));
  EXPECT_TRUE(frame->GetMouseTimer()->GetEnabled());
  ASSERT_GE(frame->GetActiveObject(), 0);
  EXPECT_EQ("closebutton", frame->Objects()[static_cast<std::size_t>(frame->GetActiveObject())]->IDName);
}

TEST_F(TSkinFrameTest, SizeLimits)
{
  struct TCase {
    const char* Name;
    bool Skinned;
    TFormBorderStyle Style;
    int MinW, MinH, MaxW, MaxH;
    bool FullScreen;
    POINT Min, Max;
  };
  const TCase cases[] = {
      {"default frame", false, bsSizeable, 0, 0, 0, 0, false, {130, 25}, {1280, 1000}},
      {"default frame, dialog minima", false, bsSizeable, 200, 100, 0, 0, false, {200, 100}, {1280, 1000}},
      {"default tool window", false, bsSizeToolWin, 0, 0, 0, 0, false, {130, 21}, {1280, 1000}},
      {"skin: its minimum width", true, bsSizeable, 0, 0, 0, 0, false, {160, 32}, {1280, 1000}},
      {"skin: a minimum above the picture", true, bsSizeable, 300, 0, 0, 0, false, {300, 32}, {1280, 1000}},
      {"skin: a minimum above the skin's", true, bsSizeable, 200, 50, 0, 0, false, {200, 50}, {1280, 1000}},
      {"maxima", true, bsSizeable, 0, 0, 500, 400, false, {160, 32}, {500, 400}},
      {"minimum above the maximum", true, bsSizeable, 600, 450, 500, 400, false, {600, 450}, {600, 450}},
      {"full screen", true, bsSizeable, 0, 0, 0, 0, true, {160, 32}, {1280, 1024}},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinnedForm* frame = FramedForm(c.Skinned ? FrameSkin() : nullptr, 400, 300, c.Style);
    frame->MinWidth = c.MinW;
    frame->MinHeight = c.MinH;
    frame->MaxWidth = c.MaxW;
    frame->MaxHeight = c.MaxH;
    frame->MaximizeOnFullScreen = c.FullScreen;
    const MINMAXINFO info = MinMax(frame->OwnerForm());
    EXPECT_EQ(c.Min.x, info.ptMinTrackSize.x);
    EXPECT_EQ(c.Min.y, info.ptMinTrackSize.y);
    EXPECT_EQ(c.Max.x, info.ptMaxTrackSize.x);
    EXPECT_EQ(c.Max.y, info.ptMaxTrackSize.y);
  }
}

TEST_F(TSkinFrameTest, AFormSmallerThanTheSkinGrowsToItsMinimum)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin(), 50, 10);
  EXPECT_EQ(160, frame->OwnerForm()->GetWidth());
  EXPECT_EQ(32, frame->OwnerForm()->GetHeight());
}

TEST_F(TSkinFrameTest, SizeChangeRelaysTheFrame)
{
  TskSkinnedForm* frame = FramedForm(FrameSkin());
  TRect reported{};
  frame->OnChangeClientRect = [&](const TRect& R) { reported = R; };
  frame->OwnerForm()->Show();
  Pump();
  auto rectOf = [frame](const char* Name) {
    for (TskActiveSkinObject* o : frame->Objects())
      if (o->IDName == Name)
        return o->ObjectRect;
    return TRect{};
  };
  EXPECT_EQ(TRect(376, 5, 394, 23), rectOf("closebutton"));
  EXPECT_EQ(TRect(7, 5, 25, 23), rectOf("sysmenubutton"));
  frame->OwnerForm()->SetBounds(100, 100, 500, 350);
  Pump();
  EXPECT_EQ(TRect(476, 5, 494, 23), rectOf("closebutton"));
  EXPECT_EQ(TRect(7, 5, 25, 23), rectOf("sysmenubutton"));
  EXPECT_EQ(TRect(30, 0, 392, 27), rectOf("caption"));
  EXPECT_EQ(TRect(4, 28, 496, 346), reported);
  EXPECT_EQ(TRect(4, 28, 496, 346), ClientInWindow(frame->OwnerForm()));
}

TEST_F(TSkinFrameTest, MapSkinRectByCornerAreas)
{
  // Picture 100 x 60, corners at (5, 20) and (95, 55); the form is 60 wider and 40 higher.
  TskSkinnedForm* frame = FramedForm(PlainFrameSkin(clRed, clGreen), 160, 100);
  frame->OwnerForm()->Show();
  Pump();
  struct TCase {
    const char* Name;
    TRect In, Out;
  } const cases[] = {
      {"in the top-left corner", {1, 1, 4, 4}, {1, 1, 4, 4}},
      {"in the top-right corner", {96, 1, 99, 4}, {156, 1, 159, 4}},
      {"in the bottom-left corner", {1, 56, 4, 59}, {1, 96, 4, 99}},
      {"in the bottom-right corner", {96, 56, 99, 59}, {156, 96, 159, 99}},
      {"across the top", {2, 2, 97, 10}, {2, 2, 157, 10}},
      {"down the left side", {1, 2, 4, 57}, {1, 2, 4, 97}},
      {"across the bottom", {2, 56, 97, 58}, {2, 96, 157, 98}},
      {"down the right side", {96, 2, 99, 57}, {156, 2, 159, 97}},
      {"across the whole", {2, 2, 97, 57}, {2, 2, 157, 97}},
  };
  for (const TCase& c : cases)
    EXPECT_EQ(c.Out, frame->MapSkinRect(c.In)) << c.Name;
}

TEST_F(TSkinFrameTest, CornerPointsAtZeroMapEveryRectangleUnchanged)
{
  auto* skin = new TskSkinData(Holder);
  auto picture = SolidPicture(100, 60, clRed);
  FillFrameSkin(skin, picture.get(), nullptr, "[FORMINFO]\nclientrect=5,20,95,55\n");
  TskSkinnedForm* frame = FramedForm(skin, 300, 200);
  frame->OwnerForm()->Show();
  Pump();
  EXPECT_EQ(TRect(96, 1, 99, 4), frame->MapSkinRect(TRect{96, 1, 99, 4}));
  EXPECT_EQ(TRect(2, 2, 97, 57), frame->MapSkinRect(TRect{2, 2, 97, 57}));
}

// ---- Region ----

namespace {

// A black mask with the four 4 x 4 corners cut away (white).
std::unique_ptr<TBitmap> RoundedMask(int W, int H)
{
  auto mask = SolidPicture(W, H, clBlack);
  for (const TRect& r : {Rect(0, 0, 4, 4), Rect(W - 4, 0, W, 4), Rect(0, H - 4, 4, H), Rect(W - 4, H - 4, W, H)})
    FillArea(mask.get(), r, clWhite);
  return mask;
}

bool InWindowRegion(TForm* Form, int X, int Y)
{
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(Form->GetHandle(), rgn) != ERROR;
  const bool in = has && PtInRegion(rgn, X, Y);
  DeleteObject(rgn);
  return in;
}

bool HasWindowRegion(TForm* Form)
{
  HRGN rgn = CreateRectRgn(0, 0, 0, 0);
  const bool has = GetWindowRgn(Form->GetHandle(), rgn) != ERROR;
  DeleteObject(rgn);
  return has;
}

} // namespace

TEST_F(TSkinFrameTest, MaskGivesAShapedWindowAtAnySize)
{
  auto mask = RoundedMask(100, 60);
  TskSkinnedForm* frame = FramedForm(PlainFrameSkin(clRed, clGreen, mask.get()), 200, 100);
  TForm* form = frame->OwnerForm();
  form->Show();
  Pump();
  struct TCase {
    int X, Y;
    bool In;
  } const cases[] = {{0, 0, false},  {5, 5, true},   {199, 0, false}, {195, 5, true}, {0, 99, false},
                     {199, 99, false}, {100, 1, true}, {100, 50, true}, {2, 50, true}};
  for (const TCase& c : cases)
    EXPECT_EQ(c.In, InWindowRegion(form, c.X, c.Y)) << c.X << "," << c.Y;
  form->SetBounds(100, 100, 260, 150);
  Pump();
  EXPECT_FALSE(InWindowRegion(form, 259, 149));
  EXPECT_TRUE(InWindowRegion(form, 250, 140));
  // The cut corners are outside the shape: no sizing there, the rest of the edge sizes.
  EXPECT_EQ(HTBOTTOMRIGHT, HitAt(frame, 255, 146));
}

TEST_F(TSkinFrameTest, BadMasksAndRectanglesGiveAUsableWindow)
{
  struct TCase {
    const char* Name;
    int MaskW, MaskH; // 0: no mask
    const char* Client;
  } const cases[] = {
      {"no mask", 0, 0, "5,20,95,55"},
      {"mask of the wrong size", 50, 30, "5,20,95,55"},
      {"empty client rectangle", 0, 0, "5,20,5,20"},
      {"inverted client rectangle", 0, 0, "95,55,5,20"},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    auto* skin = new TskSkinData(Holder);
    auto picture = SolidPicture(100, 60, clRed);
    std::unique_ptr<TBitmap> mask = c.MaskW ? RoundedMask(c.MaskW, c.MaskH) : nullptr;
    FillFrameSkin(skin, picture.get(), mask.get(),
                  String("[FORMINFO]\nlefttoppoint=5,20\nrightbottompoint=95,55\nclientrect=") + c.Client +
                      "\nborderwidth=3\n");
    TskSkinnedForm* frame = FramedForm(skin, 200, 100);
    TForm* form = frame->OwnerForm();
    form->Show();
    Pump();
    EXPECT_FALSE(HasWindowRegion(form));
    EXPECT_GE(form->GetWidth(), 100);
    EXPECT_GT(form->GetClientWidth(), 0);
    EXPECT_GT(form->GetClientHeight(), 0);
    form->SetBounds(100, 100, 300, 200);
    Pump();
    EXPECT_EQ(300, form->GetWidth());
  }
}
