// The frame objects of a skinned form: made from the skin, the caption buttons laid out by the
// border icons, the user's pointer through the display (hover by hit test and mouse timer, press,
// drag out and back, release) with the looks it shows and the commands it runs, hints, hit areas,
// morphing and filmstrip animations on the test clock, and the default frame's buttons.
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/input/SkinMenuItem.h"
#include "tests/skin/frame/ObjectFrameSkin.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

class TFrameObjectsTest : public TSkinFrameTest {
protected:
  // A shown, active form of 400 x 300 at (100, 100) framed by the object skin.
  TskSkinnedForm* ObjectForm(TskBorderIcons Icons = biSystemMenu | biMinimize | biMaximize | biRollUp |
                                                     biMinimizeToTray)
  {
    TskSkinnedForm* frame = FramedForm(ObjectFrameSkin(Holder));
    frame->SetBorderIcons(Icons);
    frame->OwnerForm()->Show();
    Pump();
    return frame;
  }
  // The user's pointer at window point (X, Y) of Frame's form, followed by one mouse-timer tick.
  void MoveTo(TskSkinnedForm* Frame, int X, int Y)
  {
    const TRect b = Frame->OwnerForm()->GetBoundsRect();
    Display()->InjectMouseMove(b.left + X, b.top + Y);
    Pump();
    Advance(50);
  }
  void Press(TskSkinnedForm* Frame, int X, int Y, bool Down)
  {
    const TRect b = Frame->OwnerForm()->GetBoundsRect();
    Display()->InjectButton(b.left + X, b.top + Y, 1, Down);
    Pump();
  }
  void Advance(DWORD Ms)
  {
    Clock->Advance(Ms);
    Pump();
  }
  static String ActiveName(TskSkinnedForm* Frame)
  {
    const int i = Frame->GetActiveObject();
    return i < 0 ? String("none") : Frame->Objects()[static_cast<std::size_t>(i)]->IDName;
  }
};

} // namespace

TEST_F(TFrameObjectsTest, EveryRecordMakesItsKindOfObject)
{
  TskSkinnedForm* frame = ObjectForm();
  struct TCase {
    const char* Name;
    bool (*IsKind)(TskActiveSkinObject*);
  } const cases[] = {
      {"caption", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinCaptionObject*>(o) != nullptr; }},
      {"closebutton", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinStdButtonObject*>(o) != nullptr; }},
      {"menubutton",
       [](TskActiveSkinObject* o) {
         return dynamic_cast<TskSkinButtonObject*>(o) && !dynamic_cast<TskSkinStdButtonObject*>(o);
       }},
      {"volume", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinTrackBarObject*>(o) != nullptr; }},
      {"mute", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinSwitchObject*>(o) != nullptr; }},
      {"level", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinFrameGaugeObject*>(o) != nullptr; }},
      {"knob", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinFrameRegulatorObject*>(o) != nullptr; }},
      {"title", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinLabelObject*>(o) != nullptr; }},
      {"counter", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinBitLabelObject*>(o) != nullptr; }},
      {"progress", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinGaugeObject*>(o) != nullptr; }},
      {"logo", [](TskActiveSkinObject* o) { return dynamic_cast<TskUserObject*>(o) != nullptr; }},
      {"spinner", [](TskActiveSkinObject* o) { return dynamic_cast<TskSkinAnimateObject*>(o) != nullptr; }},
  };
  for (const TCase& c : cases) {
    TskActiveSkinObject* obj = FrameObject(frame, c.Name);
    ASSERT_NE(nullptr, obj) << c.Name;
    EXPECT_TRUE(c.IsKind(obj)) << c.Name;
  }
  // The main-menu record makes objects only for a main menu.
  EXPECT_EQ(nullptr, FrameObject(frame, "MAINMENUITEM"));
  EXPECT_EQ(20u, frame->Objects().size());
}

TEST_F(TFrameObjectsTest, CaptionButtonsLaidOutByTheBorderIconsWithoutGaps)
{
  const TskBorderIcons all = biSystemMenu | biMinimize | biMaximize | biRollUp | biMinimizeToTray;
  struct TCase {
    const char* Name;
    TskBorderIcons Icons;
    // Left edges of close, max, min, roll-up, tray (-1: hidden), the system button's, and the
    // caption's left and right.
    int Close, Max, Min, RollUp, Tray, SysMenu, CaptionLeft, CaptionRight;
  } const cases[] = {
      {"all", all, 382, 366, 350, 334, 318, 4, 18, 318},
      {"no maximise", all & ~biMaximize, 382, -1, 366, 350, 334, 4, 18, 334},
      {"no roll-up, no tray", biSystemMenu | biMinimize | biMaximize, 382, 366, 350, -1, -1, 4, 18, 350},
      {"close only", 0, 382, -1, -1, -1, -1, -1, 4, 382},
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinnedForm* frame = ObjectForm(c.Icons);
    frame->UpdateObjectStates();
    frame->CalcObjectRects();
    const struct {
      const char* Name;
      int Left;
    } buttons[] = {{"closebutton", c.Close}, {"maxbutton", c.Max},   {"minbutton", c.Min},
                   {"rollupbutton", c.RollUp}, {"traybutton", c.Tray}, {"sysmenubutton", c.SysMenu}};
    for (const auto& b : buttons) {
      TskActiveSkinObject* obj = FrameObject(frame, b.Name);
      ASSERT_NE(nullptr, obj);
      EXPECT_EQ(b.Left != -1, obj->Visible) << b.Name;
      EXPECT_EQ(b.Left != -1, obj->Enabled) << b.Name;
      if (b.Left == -1)
        continue;
      EXPECT_EQ(b.Left, obj->ObjectRect.left) << b.Name;
      EXPECT_EQ(b.Left + 14, obj->ObjectRect.right) << b.Name;
      EXPECT_EQ(b.Name == String("sysmenubutton") ? 4 : 3, obj->ObjectRect.top) << b.Name;
    }
    TskActiveSkinObject* caption = FrameObject(frame, "caption");
    EXPECT_EQ(c.CaptionLeft, caption->ObjectRect.left);
    EXPECT_EQ(c.CaptionRight, caption->ObjectRect.right);
  }
}

TEST_F(TFrameObjectsTest, HiddenAndCustomButtons)
{
  TskSkinnedForm* frame = ObjectForm();
  // A button without a command shows only when the form's handler says so.
  EXPECT_FALSE(FrameObject(frame, "helpbutton")->Visible);
  frame->OnActivateCustomObject = [](const String& Name, bool& Visible) { Visible = Name == "helpbutton"; };
  frame->UpdateObjectStates();
  frame->CalcObjectRects();
  EXPECT_TRUE(FrameObject(frame, "helpbutton")->Visible);
  EXPECT_EQ(Rect(302, 3, 316, 17), FrameObject(frame, "helpbutton")->ObjectRect);
  // HideCaptionButtons: every caption button disabled, those placed by the layout hidden.
  frame->HideCaptionButtons = true;
  frame->UpdateObjectStates();
  for (const char* name : {"closebutton", "maxbutton", "minbutton", "rollupbutton", "sysmenubutton", "traybutton"}) {
    EXPECT_FALSE(FrameObject(frame, name)->Enabled) << name;
    EXPECT_FALSE(FrameObject(frame, name)->Visible) << name;
  }
}

TEST_F(TFrameObjectsTest, HoverPressDragOutAndReleaseEachCaptionButton)
{
  struct TCase {
    const char* Name;
    int Row; // of the button's normal look
    int X;   // window x of the button's centre on a 400-wide form
    const char* Effect;
  } const cases[] = {
      {"closebutton", 0, 389, "closed"},   {"maxbutton", 1, 373, "maximized"}, {"minbutton", 2, 357, "minimized"},
      {"rollupbutton", 3, 341, "rolled up"}, {"traybutton", 5, 325, "none"},  // no tray icon linked: nothing to minimise to
  };
  for (const TCase& c : cases) {
    SCOPED_TRACE(c.Name);
    TskSkinnedForm* frame = ObjectForm();
    TForm* form = frame->OwnerForm();
    auto* button = FrameObject<TskSkinStdButtonObject>(frame, c.Name);
    ASSERT_NE(nullptr, button);
    auto effect = [&]() -> String {
      if (!form->GetVisible())
        return "closed";
      if (frame->GetSkinWindowState() == wsMaximized)
        return "maximized";
      if (frame->GetSkinWindowState() == wsMinimized)
        return "minimized";
      if (frame->GetRollUpState())
        return "rolled up";
      return "none";
    };
    EXPECT_EQ(Rgb(ObjectSkin::Normal[c.Row]), Pixel(form, c.X, 10));
    // Hover: hot through the hit test and the mouse timer.
    MoveTo(frame, c.X, 10);
    EXPECT_EQ(c.Name, ActiveName(frame));
    EXPECT_TRUE(button->Active);
    EXPECT_EQ(Rgb(ObjectSkin::Hot), Pixel(form, c.X, 10));
    // Press: the pressed look.
    Press(frame, c.X, 10, true);
    EXPECT_TRUE(button->Down);
    EXPECT_EQ(Rgb(ObjectSkin::Pressed), Pixel(form, c.X, 10));
    // Dragged out: the normal look, nothing else lights up; back in: pressed again.
    MoveTo(frame, 200, 10);
    EXPECT_EQ("none", ActiveName(frame));
    EXPECT_FALSE(button->MouseIn);
    EXPECT_EQ(Rgb(ObjectSkin::Normal[c.Row]), Pixel(form, c.X, 10));
    MoveTo(frame, c.X - 16, 10);
    EXPECT_EQ("none", ActiveName(frame)) << "a neighbour lit while the press is held";
    MoveTo(frame, c.X, 10);
    EXPECT_EQ(Rgb(ObjectSkin::Pressed), Pixel(form, c.X, 10));
    // Released over it: the command.
    Press(frame, c.X, 10, false);
    EXPECT_EQ(c.Effect, effect());
    EXPECT_FALSE(button->Down);
  }
}

TEST_F(TFrameObjectsTest, ReleaseOutsideRunsNoCommand)
{
  for (int x : {389, 373, 357}) {
    TskSkinnedForm* frame = ObjectForm();
    MoveTo(frame, x, 10);
    Press(frame, x, 10, true);
    MoveTo(frame, 200, 60);
    Press(frame, 200, 60, false);
    EXPECT_TRUE(frame->OwnerForm()->GetVisible()) << x;
    EXPECT_EQ(wsNormal, frame->GetSkinWindowState()) << x;
    EXPECT_EQ(-1, frame->GetCaptureObject()) << x;
  }
}

TEST_F(TFrameObjectsTest, CloseTellsTheReleaseFirstOtherCommandsRunFirst)
{
  struct TCase {
    int X;
    const char* Order;
  } const cases[] = {{389, "up closebutton; closed"}, {373, "maximized; up maxbutton"}};
  for (const TCase& c : cases) {
    TskSkinnedForm* frame = ObjectForm();
    String order;
    auto log = [&order](const String& S) { order += (order.empty() ? "" : "; ") + S; };
    frame->OnMouseUpEvent = [&](const String& Name, int, int, const TRect&, TMouseButton) { log("up " + Name); };
    frame->OwnerForm()->OnClose = [&](TObject*, TCloseAction&) { log("closed"); };
    frame->OnMaximize = [&](TObject*) { log("maximized"); };
    MoveTo(frame, c.X, 10);
    Press(frame, c.X, 10, true);
    Press(frame, c.X, 10, false);
    EXPECT_EQ(c.Order, order);
  }
}

TEST_F(TFrameObjectsTest, RestoreLookAndHintWhileMaximized)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* max = FrameObject<TskSkinStdButtonObject>(frame, "maxbutton");
  frame->SetSkinWindowState(wsMaximized);
  Pump();
  const int x = frame->OwnerForm()->GetWidth() - 4 - 16 - 7;
  EXPECT_EQ(Rgb(ObjectSkin::Restore), Pixel(frame->OwnerForm(), x, 10));
  MoveTo(frame, x, 10);
  EXPECT_EQ(Rgb(ObjectSkin::RestoreHot), Pixel(frame->OwnerForm(), x, 10));
  EXPECT_EQ("Restore", max->Hint);
  MoveTo(frame, 200, 60);
  frame->SetSkinWindowState(wsNormal);
  Pump();
  MoveTo(frame, 373, 10);
  EXPECT_EQ("Maximize", max->Hint);
}

TEST_F(TFrameObjectsTest, HintsFromTheStringTable)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* strings = new TskResourceStrData(Holder);
  strings->GetResStrings()->SetValue("CLOSEBUTTON_HINT", "Schliessen");
  frame->GetSkinData()->SetResourceStrData(strings);
  frame->UpdateObjectHints();
  EXPECT_EQ("Schliessen", FrameObject(frame, "closebutton")->Hint);
  EXPECT_EQ("Minimize to Tray", FrameObject(frame, "traybutton")->Hint);
  EXPECT_EQ("Restore", FrameObject<TskSkinStdButtonObject>(frame, "minbutton")->RestoreHint);
}

TEST_F(TFrameObjectsTest, HitTestFindsTheObjectUnderThePoint)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* masked = FrameObject(frame, "menubutton");
  const TRect m = masked->ObjectRect;
  struct TCase {
    int X, Y;
    const char* Found;
  } const cases[] = {
      {389, 10, "closebutton"},
      {381, 10, "none"}, // the gap between two buttons
      {10, 10, "sysmenubutton"},
      {200, 10, "caption"},
      {m.left + 2, m.top + 5, "menubutton"}, // black mask pixel
      {m.left + 10, m.top + 5, "none"},      // white mask pixel: the object ignores it
  };
  for (const TCase& c : cases) {
    frame->TestActive(c.X, c.Y, true);
    EXPECT_EQ(c.Found, ActiveName(frame)) << c.X << "," << c.Y;
  }
  frame->TestActive(389, 10, false);
  EXPECT_EQ("none", ActiveName(frame));
}

TEST_F(TFrameObjectsTest, AnInactiveFormShowsNoHotObjects)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* other = new TForm(nullptr);
  Owned.push_back(other);
  other->SetBounds(900, 700, 100, 100);
  other->Show();
  Pump();
  ASSERT_FALSE(frame->IsFormActive());
  frame->TestActive(389, 10, true);
  EXPECT_EQ("none", ActiveName(frame));
}

TEST_F(TFrameObjectsTest, MorphRunsInFiveStepsOnTheTestClock)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* label = FrameObject<TskSkinLabelObject>(frame, "title");
  label->MouseEnter();
  std::vector<double> factors;
  for (int i = 0; i < 6; ++i) {
    Advance(25);
    factors.push_back(label->MorphFactor);
  }
  EXPECT_EQ((std::vector<double>{0.2, 0.4, 0.6000000000000001, 0.8, 1.0, 1.0}), factors);
  EXPECT_FALSE(frame->GetMorphTimer()->GetEnabled());
  // Leaving half-way runs back from the reached value.
  label->MouseLeave();
  Advance(25);
  label->MouseEnter();
  Advance(25);
  Advance(25);
  EXPECT_DOUBLE_EQ(1.0, label->MorphFactor);
  // Without skin effects the look switches at once.
  frame->GetSkinData()->EnableSkinEffects = false;
  label->MouseLeave();
  EXPECT_FALSE(label->EnableMorphing());
}

TEST_F(TFrameObjectsTest, ButtonStyleAnimationRunsOnTheTestClock)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* spinner = FrameObject<TskSkinAnimateObject>(frame, "spinner");
  spinner->MouseEnter();
  std::vector<int> frames;
  for (int i = 0; i < 16; ++i) {
    Advance(25);
    frames.push_back(spinner->Frame);
  }
  // One frame every second 25 ms tick (interval 50), stopping at the last frame.
  EXPECT_EQ((std::vector<int>{1, 2, 2, 3, 3, 4, 4, 5, 5, 6, 6, 7, 7, 8, 8, 8}), frames);
  EXPECT_FALSE(spinner->Active);
  EXPECT_FALSE(frame->GetAnimateTimer()->GetEnabled());
  // Leaving runs it back to the first frame.
  spinner->MouseLeave();
  for (int i = 0; i < 16; ++i)
    Advance(25);
  EXPECT_EQ(1, spinner->Frame);
  EXPECT_FALSE(spinner->Active);
}

TEST_F(TFrameObjectsTest, DefaultFrameButtonsShowHotAndPressed)
{
  TskSkinnedForm* frame = FramedForm(nullptr);
  TForm* form = frame->OwnerForm();
  form->Show();
  Pump();
  // Close sits at (380, 4) .. (397, 21) on the 400-wide default frame.
  const COLORREF navy = RGB(0, 0, 128);
  EXPECT_EQ(Rgb(clBtnFace), Pixel(form, 381, 5));
  MoveTo(frame, 388, 12);
  EXPECT_EQ("closebutton", ActiveName(frame));
  EXPECT_EQ(Rect(380, 4, 397, 21), FrameObject(frame, "closebutton")->ObjectRect);
  EXPECT_EQ(navy, Pixel(form, 380, 4));
  EXPECT_EQ(RGB(0xB6, 0xBD, 0xD2), Pixel(form, 381, 5));
  Press(frame, 388, 12, true);
  EXPECT_EQ(navy, Pixel(form, 380, 4));
  EXPECT_EQ(RGB(0x85, 0x93, 0xB5), Pixel(form, 381, 5));
  Press(frame, 388, 12, false);
  EXPECT_FALSE(form->GetVisible());
}

TEST_F(TFrameObjectsTest, CaptionTextCentredCutWithAnEllipsisAndShadowed)
{
  TskSkinnedForm* frame = ObjectForm();
  auto* caption = FrameObject<TskSkinCaptionObject>(frame, "caption");
  const TRect saved = caption->ObjectRect;
  TBitmap b;
  b.SetSize(600, 40);
  TCanvas* c = b.GetCanvas();
  c->GetFont()->SetName("Arial");
  c->GetFont()->SetHeight(12);
  // The text area follows the object's width: 2..150 at the skin's width of 192.
  struct TCase {
    int Width;
    int AreaRight;
  } const widths[] = {{192, 150}, {292, 250}, {150, 108}};
  for (const TCase& w : widths) {
    caption->ObjectRect = TRect{0, 0, w.Width, 16};
    EXPECT_EQ(Rect(2, 1, w.AreaRight, 15), caption->TextArea()) << w.Width;
    const int tw = c->TextWidth("Quelvo");
    EXPECT_EQ(2 + (w.AreaRight - 2) / 2 - tw / 2, caption->TextOrigin(c, "Quelvo").x) << w.Width;
  }
  // A text wider than the area is cut and ends in an ellipsis; the cut text starts at the left.
  caption->ObjectRect = TRect{0, 0, 100, 16};
  WideString longText = MenuTextToWide(String(60, 'W'));
  EllipsizeTextW(c, longText, RectWidth(caption->TextArea()));
  EXPECT_EQ(L"...", longText.substr(longText.size() - 3));
  EXPECT_LE(TextWidthW(c, longText), RectWidth(caption->TextArea()));
  // The shadow: a black copy one pixel right and down of the white text.
  auto colours = [&](bool Shadow) {
    caption->Shadow = Shadow;
    caption->ObjectRect = saved;
    TBitmap out;
    out.SetSize(400, 30);
    caption->Draw(out.GetCanvas(), true);
    int white = 0, black = 0;
    for (int y = saved.top; y < saved.bottom; ++y)
      for (int x = saved.left; x < saved.right; ++x) {
        const COLORREF p = Rgb(BitmapPixel(&out, x, y));
        // Smoothed glyph edges blend with the frame: near colours count.
        white += GetRValue(p) > 200 && GetGValue(p) > 200 && GetBValue(p) > 200;
        black += GetRValue(p) < 30 && GetGValue(p) < 30 && GetBValue(p) < 30;
      }
    return std::make_pair(white, black);
  };
  ASSERT_TRUE(frame->IsFormActive());
  const auto plain = colours(false);
  const auto shadowed = colours(true);
  EXPECT_GT(plain.first, 0);
  EXPECT_EQ(0, plain.second);
  EXPECT_GT(shadowed.second, 0);
}

TEST_F(TFrameObjectsTest, ObjectsGoWithTheSkinTheyWereMadeFrom)
{
  TskSkinnedForm* frame = ObjectForm();
  delete frame->GetSkinData();
  SendMessage(frame->OwnerForm()->GetHandle(), WM_NCPAINT, 1, 0);
  Pump();
  MoveTo(frame, 388, 12);
  for (TskActiveSkinObject* obj : frame->Objects())
    EXPECT_EQ(nullptr, obj->SkinData) << obj->IDName;
}
