// The value objects, labels and main-menu items of a skinned frame: their values, events and
// looks for the user's presses and drags, the main-menu items' layout, fitting, commands and
// sliding from one open menu to the next, and objects made from bad records.
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/input/SkinMenuItem.h"
#include "tests/skin/frame/ObjectFrameSkin.h"

namespace {

COLORREF Rgb(TColor C) { return ColorToRGB(C); }

class TFrameValueObjectsTest : public TSkinFrameTest {
protected:
  void SetUp() override
  {
    TSkinFrameTest::SetUp();
    Frame = FramedForm(ObjectFrameSkin(Holder));
    Frame->OwnerForm()->Show();
    Pump();
    Frame->OnTrackBarChangeValueEvent = [this](const String& N, int V) { Log.push_back(N + "=" + std::to_string(V)); };
    Frame->OnFrameRegulatorChangeValueEvent = [this](const String& N, int V) {
      Log.push_back(N + "=" + std::to_string(V));
    };
    Frame->OnSwitchChangeStateEvent = [this](const String& N, TSwitchState S) {
      Log.push_back(N + (S == swsOn ? " on" : " off"));
    };
  }
  // The log so far joined with "; "; empties it.
  String Events()
  {
    String s;
    for (const String& e : Log)
      s += (s.empty() ? "" : "; ") + e;
    Log.clear();
    return s;
  }
  // Obj drawn by itself on a bitmap of the form's size; the pixel at (X, Y) of the object.
  COLORREF DrawnPixel(TskActiveSkinObject* Obj, int X, int Y)
  {
    TBitmap b;
    b.SetSize(Frame->OwnerForm()->GetWidth(), Frame->OwnerForm()->GetHeight());
    Obj->Draw(b.GetCanvas(), true);
    return Rgb(BitmapPixel(&b, Obj->ObjectRect.left + X, Obj->ObjectRect.top + Y));
  }
  // Mouse slots of Obj at object-relative points.
  static void Down(TskActiveSkinObject* Obj, int X, int Y, TMouseButton B = mbLeft)
  {
    Obj->MouseDown(Obj->ObjectRect.left + X, Obj->ObjectRect.top + Y, B);
  }
  static void Move(TskActiveSkinObject* Obj, int X, int Y) { Obj->MouseMove(Obj->ObjectRect.left + X, Obj->ObjectRect.top + Y); }
  static void Up(TskActiveSkinObject* Obj, int X, int Y) { Obj->MouseUp(Obj->ObjectRect.left + X, Obj->ObjectRect.top + Y, mbLeft); }

  TskSkinnedForm* Frame = nullptr;
  std::vector<String> Log;
};

} // namespace

TEST_F(TFrameValueObjectsTest, HorizontalTrackBarPressAndDrag)
{
  auto* bar = FrameObject<TskSkinTrackBarObject>(Frame, "volume");
  ASSERT_FALSE(bar->Vertical);
  EXPECT_EQ(0, bar->Value);
  EXPECT_EQ((TPoint{10, 5}), bar->ButtonPos);
  // A press beside the button moves it there.
  Down(bar, 60, 5);
  Up(bar, 60, 5);
  EXPECT_EQ(50, bar->Value);
  EXPECT_EQ("volume=50", Events());
  // Dragging the button: each step moves it by the pointer's move, never past the end.
  struct TStep {
    int X;
    int Value;
    const char* Events;
  } const steps[] = {{70, 60, "volume=60"}, {130, 60, ""}, {100, 30, "volume=30"}, {-50, 30, ""}};
  Down(bar, 60, 5);
  EXPECT_TRUE(bar->Down);
  for (const TStep& s : steps) {
    Move(bar, s.X, 5);
    EXPECT_EQ(s.Value, bar->Value) << s.X;
    EXPECT_EQ(s.Events, Events()) << s.X;
  }
  Up(bar, 0, 5);
  EXPECT_FALSE(bar->Down);
  // The filled part runs to the button; the button is drawn at its place.
  EXPECT_EQ(Rgb(ObjectSkin::TrackFill), DrawnPixel(bar, 5, 1));
  EXPECT_EQ(Rgb(ObjectSkin::TrackButton), DrawnPixel(bar, 40, 5));
}

TEST_F(TFrameValueObjectsTest, VerticalTrackBarHasItsMinimumAtTheBeginPoint)
{
  auto* bar = FrameObject<TskSkinTrackBarObject>(Frame, "balance");
  ASSERT_TRUE(bar->Vertical);
  struct TCase {
    int Y;
    int Value;
  } const cases[] = {{25, 0}, {15, 10}, {5, 20}, {0, 20}, {40, 0}};
  for (const TCase& c : cases)
    EXPECT_EQ(c.Value, bar->ValueOfPoint(TPoint{6, c.Y})) << c.Y;
  EXPECT_EQ((TPoint{6, 25}), bar->PointOfValue(0));
  EXPECT_EQ((TPoint{6, 5}), bar->PointOfValue(20));
}

TEST_F(TFrameValueObjectsTest, SwitchTogglesOnEachLeftPress)
{
  auto* sw = FrameObject<TskSkinSwitchObject>(Frame, "mute");
  EXPECT_EQ(swsOff, sw->State);
  struct TPress {
    TMouseButton Button;
    TSwitchState State;
    const char* Events;
  } const presses[] = {{mbLeft, swsOn, "mute on"}, {mbRight, swsOn, ""}, {mbLeft, swsOff, "mute off"}};
  for (const TPress& p : presses) {
    Down(sw, 3, 3, p.Button);
    EXPECT_EQ(p.State, sw->State);
    EXPECT_EQ(p.State == swsOn, sw->Active);
    EXPECT_EQ(p.Events, Events());
  }
  Frame->GetSkinData()->EnableSkinEffects = false;
  Down(sw, 3, 3);
  EXPECT_EQ(Rgb(ObjectSkin::SwitchOn), DrawnPixel(sw, 3, 3));
}

TEST_F(TFrameValueObjectsTest, FilmstripGaugeShowsTheFrameOfItsValue)
{
  auto* gauge = FrameObject<TskSkinFrameGaugeObject>(Frame, "level");
  struct TCase {
    int Value;
    int Frame;
  } const cases[] = {{0, 1}, {9, 1}, {10, 2}, {45, 5}, {90, 10}, {500, 10}};
  for (const TCase& c : cases) {
    EXPECT_EQ(c.Frame, gauge->FrameOfValue(c.Value, 0, 90)) << c.Value;
    gauge->Value = c.Value;
    EXPECT_EQ(Rgb(ObjectSkin::FilmFrame(c.Frame)), DrawnPixel(gauge, 5, 5)) << c.Value;
  }
}

TEST_F(TFrameValueObjectsTest, RoundRegulatorAngles)
{
  auto* knob = FrameObject<TskSkinFrameRegulatorObject>(Frame, "knob");
  const int w = RectWidth(knob->ObjectRect), h = RectHeight(knob->ObjectRect);
  struct TCase {
    int X, Y;
    int Angle;
  } const cases[] = {{w / 2, h, 0}, {0, h / 2, 90}, {w / 2, 0, 180}, {w, h / 2, 270},
                     {0, h, 45},   {w + 50, h / 2, 270}, {w / 2, h / 2, 123}};
  for (const TCase& c : cases)
    EXPECT_EQ(c.Angle, knob->AngleOf(TPoint{c.X, c.Y}, 123)) << c.X << "," << c.Y;
}

TEST_F(TFrameValueObjectsTest, RoundRegulatorTurnedClockwiseRaisesItsValue)
{
  auto* knob = FrameObject<TskSkinFrameRegulatorObject>(Frame, "knob");
  const int w = RectWidth(knob->ObjectRect), h = RectHeight(knob->ObjectRect);
  // From straight down through the lower left to the left: two steps of 40 degrees.
  Down(knob, w / 2, h);
  Move(knob, 0, h);
  Move(knob, 0, h / 2);
  Up(knob, 0, h / 2);
  EXPECT_EQ(20, knob->Value);
  EXPECT_EQ("knob=10; knob=20", Events());
  EXPECT_EQ(Rgb(ObjectSkin::FilmFrame(3)), DrawnPixel(knob, 2, 2));
  // Crossing the seam from just before 360 to just after 0 degrees keeps raising it.
  Down(knob, w / 2 + 1, h);
  Move(knob, w / 2 - 1, h);
  EXPECT_EQ(30, knob->Value);
  // Turning back (across the seam again, then up the right side) lowers it; it never leaves its
  // range.
  struct TStep {
    int X, Y;
    int Value;
  } const back[] = {{w / 2 + 1, h, 20}, {w, h, 10}, {w, h / 2, 0}, {w, 0, 0}};
  for (const TStep& s : back) {
    Move(knob, s.X, s.Y);
    EXPECT_EQ(s.Value, knob->Value) << s.X << "," << s.Y;
  }
  Up(knob, 0, 0);
}

TEST_F(TFrameValueObjectsTest, LinearRegulatorStepsOncePerMove)
{
  auto* slider = FrameObject<TskSkinFrameRegulatorObject>(Frame, "slider");
  Down(slider, 5, 2);
  struct TStep {
    int X;
    int Value;
  } const steps[] = {{6, 0}, {8, 10}, {60, 20}, {4, 10}, {-100, 0}, {-200, 0}};
  for (const TStep& s : steps) {
    Move(slider, s.X, 2);
    EXPECT_EQ(s.Value, slider->Value) << s.X;
  }
  Up(slider, 0, 2);
  Move(slider, 50, 2);
  EXPECT_EQ(0, slider->Value);
}

TEST_F(TFrameValueObjectsTest, BitLabelEndsWithACutCell)
{
  auto* counter = FrameObject<TskSkinBitLabelObject>(Frame, "counter");
  ASSERT_EQ(20, RectWidth(counter->ObjectRect));
  struct TCase {
    int X;
    int Digit;
  } const cases[] = {{1, 1}, {7, 2}, {13, 3}, {19, 4}};
  for (const TCase& c : cases)
    EXPECT_EQ(Rgb(ObjectSkin::Digit(c.Digit)), DrawnPixel(counter, c.X, 4)) << c.X;
}

TEST_F(TFrameValueObjectsTest, LabelAndGaugeLooks)
{
  Frame->GetSkinData()->EnableSkinEffects = false;
  auto* label = FrameObject<TskSkinLabelObject>(Frame, "title");
  EXPECT_NE(Rgb(ObjectSkin::LabelHot), DrawnPixel(label, 0, 0));
  label->MouseEnter();
  EXPECT_EQ(Rgb(ObjectSkin::LabelHot), DrawnPixel(label, 0, 0));
  label->MouseLeave();
  EXPECT_NE(Rgb(ObjectSkin::LabelHot), DrawnPixel(label, 0, 0));

  auto* gauge = FrameObject<TskSkinGaugeObject>(Frame, "progress");
  gauge->Value = 50;
  const int w = RectWidth(gauge->ObjectRect);
  EXPECT_EQ(Rgb(ObjectSkin::GaugeFill), DrawnPixel(gauge, 1, 1));
  EXPECT_EQ(Rgb(ObjectSkin::GaugeFill), DrawnPixel(gauge, w / 2 - 1, 1));
  EXPECT_NE(Rgb(ObjectSkin::GaugeFill), DrawnPixel(gauge, w / 2 + 1, 1));
}

TEST_F(TFrameValueObjectsTest, UserObjectIsPaintedByTheForm)
{
  String painted;
  Frame->OnPaintEvent = [&](const String& Name, TCanvas*, const TRect& R) {
    painted = Name + " " + std::to_string(RectWidth(R));
  };
  DrawnPixel(FrameObject(Frame, "logo"), 0, 0);
  EXPECT_EQ("logo 20", painted);
  Frame->OnPaintEvent = nullptr;
}

// ---- Main-menu items ----

namespace {

class TFrameMainMenuTest : public TFrameValueObjectsTest {
protected:
  void SetUp() override
  {
    TFrameValueObjectsTest::SetUp();
    Menu = new TMainMenu(Frame->OwnerForm());
    const struct {
      const char* Name;
      const char* Caption;
      bool Enabled;
    } items[] = {{"FileItem", "File", true}, {"EditItem", "Edit", true}, {"HelpItem", "Help", false}};
    for (const auto& i : items) {
      auto* item = new TMenuItem(Menu);
      item->SetName(i.Name);
      item->SetCaption(i.Caption);
      item->SetEnabled(i.Enabled);
      Menu->GetItems()->Add(item);
    }
    auto* open = new TMenuItem(Menu);
    open->SetCaption("Open");
    Menu->GetItems()->GetItem(0)->Add(open);
    Menu->GetItems()->GetItem(1)->OnClick = [this](TObject*) { ++Clicks; };
    Frame->SetMainMenu(Menu);
    for (const char* name : {"FileItem", "EditItem", "HelpItem"})
      Items.push_back(FrameObject<TskSkinMainMenuItem>(Frame, name));
  }
  // Every item drawn once in list order, as a frame paint does.
  void DrawItems()
  {
    TBitmap b;
    b.SetSize(Frame->OwnerForm()->GetWidth(), Frame->OwnerForm()->GetHeight());
    for (TskSkinMainMenuItem* item : Items)
      item->Draw(b.GetCanvas(), true);
  }

  TMainMenu* Menu = nullptr;
  std::vector<TskSkinMainMenuItem*> Items;
  int Clicks = 0;
};

} // namespace

TEST_F(TFrameMainMenuTest, ItemsAreAsWideAsTheirCaptionsSideBySide)
{
  for (TskSkinMainMenuItem* item : Items)
    ASSERT_NE(nullptr, item);
  DrawItems();
  TBitmap measure;
  measure.SetSize(10, 10);
  int left = Frame->MainMenuRect.left;
  for (TskSkinMainMenuItem* item : Items) {
    measure.GetCanvas()->GetFont()->SetName("Arial");
    measure.GetCanvas()->GetFont()->SetHeight(10);
    TRect calc{0, 0, 0, 0};
    DrawWideText(measure.GetCanvas(), MenuTextToWide(item->MenuItem->GetCaption()), calc, DT_CALCRECT | DT_CENTER);
    EXPECT_EQ(left, item->ObjectRect.left) << item->IDName;
    EXPECT_EQ(40 - 28 + RectWidth(calc) + 2, RectWidth(item->ObjectRect)) << item->IDName;
    EXPECT_EQ(Frame->MainMenuRect.top, item->ObjectRect.top);
    left = item->ObjectRect.right;
  }
  EXPECT_FALSE(Items[2]->Enabled);
}

TEST_F(TFrameMainMenuTest, ItemsThatDoNotFitAreHiddenAndComeBack)
{
  DrawItems();
  const int full = Frame->MainMenuRect.right;
  Frame->MainMenuRect.right = Items[1]->ObjectRect.right - 1;
  DrawItems();
  EXPECT_TRUE(Items[0]->Enabled);
  EXPECT_FALSE(Items[1]->Enabled);
  EXPECT_FALSE(Items[1]->Fits);
  EXPECT_FALSE(Items[2]->Fits);
  Frame->TestActive(Items[1]->ObjectRect.left + 2, Items[1]->ObjectRect.top + 2, true);
  EXPECT_EQ(-1, Frame->GetActiveObject());
  Frame->MainMenuRect.right = full;
  DrawItems();
  EXPECT_TRUE(Items[1]->Enabled);
  EXPECT_TRUE(Items[1]->Fits);
  EXPECT_FALSE(Items[2]->Enabled) << "the disabled item keeps its state";
}

TEST_F(TFrameMainMenuTest, ClickRunsTheCommandOfAnItemWithoutSubItems)
{
  DrawItems();
  Items[1]->MouseEnter();
  Items[1]->MouseDown(Items[1]->ObjectRect.left + 2, Items[1]->ObjectRect.top + 2, mbLeft);
  EXPECT_EQ(1, Clicks);
  EXPECT_FALSE(Items[1]->Down);
}

TEST_F(TFrameMainMenuTest, LooksAndSlidingFromOneOpenMenuToTheNext)
{
  DrawItems();
  TskSkinMainMenuItem* file = Items[0];
  auto pixel = [&](TskSkinMainMenuItem* Item) {
    TBitmap b;
    b.SetSize(Frame->OwnerForm()->GetWidth(), Frame->OwnerForm()->GetHeight());
    Item->Draw(b.GetCanvas(), true);
    return Rgb(BitmapPixel(&b, Item->ObjectRect.left + 1, Item->ObjectRect.top + 1));
  };
  Frame->GetSkinData()->EnableSkinEffects = false;
  EXPECT_EQ(Rgb(ObjectSkin::MenuNormal), pixel(file));
  file->MouseEnter();
  EXPECT_EQ(Rgb(ObjectSkin::MenuHot), pixel(file));
  file->MouseDown(file->ObjectRect.left + 2, file->ObjectRect.top + 2, mbLeft);
  EXPECT_TRUE(file->Down);
  EXPECT_TRUE(Frame->MainMenuMode);
  EXPECT_EQ(Rgb(ObjectSkin::MenuDown), pixel(file));
  // Onto the next item while the menu is open: the first lets go, the next opens.
  file->MouseLeave();
  Items[1]->MouseEnter();
  EXPECT_FALSE(file->Down);
  EXPECT_TRUE(Items[1]->Down);
  // The menu closes: the item is released.
  Frame->SkinMenuClose();
  EXPECT_FALSE(Items[1]->Down);
  EXPECT_FALSE(Frame->MainMenuMode);
}

TEST_F(TFrameMainMenuTest, ItemsInTheBottomStripAreHitAtTheirRealPlace)
{
  Frame->MainMenuRect = TRect{5, Frame->FrameClientRect.bottom + 1, 395, Frame->FrameClientRect.bottom + 4};
  TBitmap b;
  b.SetSize(400, 300);
  Items[0]->Draw(b.GetCanvas(), false);
  EXPECT_EQ(Frame->FrameClientRect.bottom + 1, Items[0]->ObjectRect.top);
  EXPECT_EQ(Items[0]->ObjectRect, Items[0]->SavedRect);
}

// ---- Bad records ----

TEST_F(TSkinFrameTest, ObjectsFromBadRecordsDrawAsFarAsTheyCan)
{
  auto* skin = new TskSkinData(Holder);
  auto frame = ObjectSkin::FramePicture();
  FillFrameSkin(skin, frame.get(), nullptr,
                "[FORMINFO]\nlefttoppoint=5,42\nrighttoppoint=195,42\nleftbottompoint=5,75\n"
                "rightbottompoint=195,75\nclientrect=5,42,195,75\ncaptionrect=4,3,196,19\n"
                "[SKINOBJECTS]\ncount=9\n0=nostrip:animate\n1=faraway:stdbutton\n2=glow:stdbutton\n"
                "3=flatbar:trackbar\n4=flatgauge:gauge\n5=onecell:frameregulator\n6=nocells:framegauge\n"
                "7=nosymbols:bitlabel\n8=bigcaption:caption\n"
                "[nostrip]\nskinrect=10,10,20,20\nactivepictureindex=0\nactiveskinrect=0,0,0,0\ncountframes=0\n"
                "buttonstyle=1\ncommand=cmclose\n"
                "[faraway]\ncommand=cmmaximize\nskinrect=500,500,600,600\nactivepictureindex=7\n"
                "activeskinrect=-50,-50,900,900\n"
                "[glow]\ncommand=cmminimize\nskinrect=30,5,40,15\nactivepictureindex=0\nactiveskinrect=0,0,10,10\n"
                "glowlayerpictureindex=0\nglowlayermaskpictureindex=-1\n"
                "[flatbar]\nskinrect=10,44,60,54\nactivepictureindex=0\nactiveskinrect=0,0,50,10\nbeginpoint=0,5\n"
                "endpoint=50,5\nminvalue=5\nmaxvalue=5\nbuttonrect=0,0,500,500\nmousedownchangevalue=1\n"
                "[flatgauge]\nskinrect=10,56,60,60\nactivepictureindex=0\nactiveskinrect=0,0,50,4\nminvalue=3\n"
                "maxvalue=3\n"
                "[onecell]\nskinrect=70,44,90,64\nactivepictureindex=0\nactiveskinrect=0,0,20,20\ncountframes=1\n"
                "minvalue=0\nmaxvalue=90\n"
                "[nocells]\nskinrect=100,44,110,54\nactivepictureindex=0\nactiveskinrect=0,0,10,10\ncountframes=0\n"
                "[nosymbols]\nskinrect=120,44,140,52\nactivepictureindex=0\nsymbolwidth=0\nsymbolheight=0\n"
                "textvalue=123\n"
                "[bigcaption]\nskinrect=4,3,196,19\ntextrect=-20,-20,900,900\nframerect=0,0,10,10\n"
                "animateskinrect=0,0,10,10\nframecount=0\nactivepictureindex=0\nactiveskinrect=0,0,3000,3000\n");
  auto looks = SolidPicture(30, 30, clRed);
  skin->ActivePictures.push_back(looks.release());
  TskSkinnedForm* f = FramedForm(skin);
  f->OwnerForm()->SetCaption("A \"quoted\\name\"\nwith -dash and \xff\xfe bytes");
  f->OwnerForm()->Show();
  Pump();
  TBitmap b;
  b.SetSize(400, 300);
  for (TskActiveSkinObject* obj : f->Objects()) {
    SCOPED_TRACE(obj->IDName);
    for (bool alone : {false, true})
      obj->Draw(b.GetCanvas(), alone);
    obj->MouseEnter();
    obj->MouseDown(obj->ObjectRect.left + 1, obj->ObjectRect.top + 1, mbLeft);
    obj->MouseMove(obj->ObjectRect.left + 30, obj->ObjectRect.top + 3);
    obj->MouseMove(obj->ObjectRect.left - 30, obj->ObjectRect.top + 3);
    obj->Draw(b.GetCanvas(), true);
    obj->MouseLeave();
    Clock->Advance(200);
    Pump();
  }
  auto* bar = FrameObject<TskSkinTrackBarObject>(f, "flatbar");
  EXPECT_EQ(5, bar->Value);
  auto* anim = FrameObject<TskSkinAnimateObject>(f, "nostrip");
  EXPECT_EQ(1, anim->CountFrames);
  EXPECT_EQ(1, anim->Frame);
  EXPECT_EQ(0, FrameObject<TskSkinFrameRegulatorObject>(f, "onecell")->Value);
  EXPECT_TRUE(f->OwnerForm()->GetVisible());
}
