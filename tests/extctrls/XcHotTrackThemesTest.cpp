#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "extctrls/XcExExtCtrls.h"
#include "extctrls/XcExControls.h"
#include "extctrls/XcHotTrackPersistent.h"
#include "extctrls/XcThemes.h"
#include "ExtctrlsTestSupport.h"
#include "platform/vcl/Bitmap.h"
#include "platform/vcl/ExtCtrls.h"
#include "platform/vcl/Grids.h"
#include "platform/vcl/TrackBarCtrl.h"

namespace {

std::vector<String> Watch(TXcHotTrackOptions& O)
{
  (void)O;
  return {};
}

void Record(TXcHotTrackOptions& O, std::vector<String>& Seen)
{
  O.OnChanging = [&Seen](TObject*) { Seen.push_back("changing"); };
  O.OnChanged = [&Seen](TObject*) { Seen.push_back("changed"); };
  O.OnPropertyChanging = [&Seen](TObject*, const String& Name) { Seen.push_back("changing " + Name); };
  O.OnPropertyChanged = [&Seen, &O](TObject*, const String& Name) {
    Seen.push_back("changed " + Name + (Name == "Color" ? " " + std::to_string(O.GetColor()) : ""));
  };
}

}  // namespace

TEST(XcHotTrackOptions, StartValuesAndSettersReportRealChangesInOrder)
{
  TXcHotTrackOptions O(nullptr);
  EXPECT_FALSE(O.GetEnabled());
  EXPECT_FALSE(O.GetFrameVisible());
  EXPECT_EQ(O.GetColor(), 0x00D2BDB6u);
  EXPECT_EQ(O.GetFrameColor(), 0x006A240Au);
  std::vector<String> Seen;
  Record(O, Seen);
  O.SetColor(0x00D2BDB6);
  O.SetEnabled(false);
  EXPECT_TRUE(Seen.empty()) << "setting a value it already has";
  O.SetColor(clRed);
  EXPECT_EQ(Seen, (std::vector<String>{"changing", "changing Color", "changed Color " + std::to_string(clRed), "changed"}));
  struct TCase {
    const char* Name;
    std::function<void()> Set;
  };
  const TCase Cases[] = {{"Enabled", [&] { O.SetEnabled(true); }},
                         {"FrameVisible", [&] { O.SetFrameVisible(true); }},
                         {"FrameColor", [&] { O.SetFrameColor(clBlue); }}};
  for (const auto& Case : Cases) {
    Seen.clear();
    Case.Set();
    EXPECT_EQ(Seen, (std::vector<String>{"changing", String("changing ") + Case.Name, String("changed ") + Case.Name,
                                         "changed"}));
  }
}

TEST(XcHotTrackOptions, AssignBracketsTheCopyInOneChangingAndOneChanged)
{
  TXcHotTrackOptions Source(nullptr), Target(nullptr);
  std::vector<String> Seen;
  Record(Target, Seen);
  Target.Assign(&Source);
  EXPECT_EQ(Seen, (std::vector<String>{"changing", "changed"})) << "equal options";

  Source.SetEnabled(true);
  Source.SetFrameColor(clLime);
  Seen.clear();
  Target.Assign(&Source);
  EXPECT_EQ(Seen, (std::vector<String>{"changing", "changing Enabled", "changed Enabled", "changing FrameColor",
                                       "changed FrameColor", "changed"}));
  EXPECT_TRUE(Target.GetEnabled());
  EXPECT_EQ(Target.GetFrameColor(), clLime);
  EXPECT_EQ(Target.GetUpdateCount(), 0);

  TStringList Other;
  EXPECT_THROW(Target.Assign(&Other), EConvertError);
  EXPECT_EQ(Target.GetUpdateCount(), 0);
  (void)Watch;
}

namespace {

// A parent that paints its background in Fill with a red marker at (50, 30) of its own
// coordinates, and remembers the DC's origin and clip box it was given.
class TMarkedParent : public TCustomControl {
public:
  using TCustomControl::TCustomControl;
  TColor Fill = clWhite;
  POINT SeenOrigin{-1, -1};
  TRect SeenClip{};
  int Erases = 0;

protected:
  void WMEraseBkgnd(TMessage& Message) override
  {
    auto DC = reinterpret_cast<HDC>(Message.WParam);
    ++Erases;
    GetWindowOrgEx(DC, &SeenOrigin);
    GetClipBox(DC, &SeenClip);
    HBRUSH B = CreateSolidBrush(ColorToRGB(Fill));
    TRect All{-1000, -1000, 1000, 1000};
    FillRect(DC, &All, B);
    DeleteObject(B);
    SetPixel(DC, 50, 30, RGB(255, 0, 0));
    Message.Result = 1;
  }
};

struct TThemes {
  explicit TThemes(bool On) { XcThemeServices()->SetThemesEnabled(On); }
  ~TThemes() { XcThemeServices()->SetThemesEnabled(false); }
};

}  // namespace

TEST(XcThemes, ThemedFillIsPlainUnlessThemesAreOnAndTheColourIsTheParents)
{
  EnsureHeadless();
  TMarkedParent Parent(nullptr);
  Parent.SetBounds(0, 0, 200, 100);
  Parent.SetColor(clAqua);
  Parent.SetParent(HostForm());
  struct TCase {
    const char* Name;
    bool Themes;
    bool Windowed;
    TColor Color;
    bool NeedsParentBackground;
    bool ParentBackgroundStyle;
    COLORREF AtMarker;
  };
  const COLORREF Red = RGB(255, 0, 0), Yellow = RGB(255, 255, 0);
  const TCase Cases[] = {
      {"themes off", false, true, clAqua, false, false, RGB(0, 255, 255)},
      {"another colour", true, true, clYellow, false, false, Yellow},
      {"parent background needed but not in the style", true, true, clAqua, true, false, RGB(0, 255, 255)},
      {"windowed, parent's colour", true, true, clAqua, false, false, Red},
      {"windowed, parent background style", true, true, clAqua, true, true, Red},
      {"graphic, parent's colour", true, false, clAqua, false, false, Red},
  };
  for (const auto& Case : Cases) {
    TThemes Themes(Case.Themes);
    std::unique_ptr<TControl> Control;
    if (Case.Windowed)
      Control = std::make_unique<TCustomPanel>(nullptr);
    else
      Control = std::make_unique<TXcExGraphicControl>(nullptr);
    Control->SetBounds(40, 20, 30, 30);
    Control->SetParent(&Parent);
    Control->SetControlStyle(Control->GetControlStyle() & ~csParentBackground);
    if (Case.ParentBackgroundStyle) AddThemeStyle(Control.get(), csParentBackground);
    TBitmap B;
    B.SetSize(30, 30);
    TCanvas* Canvas = B.GetCanvas();
    Canvas->GetBrush()->SetColor(clGreen);
    FillThemedBackgroundColor(Control.get(), Canvas, Rect(0, 0, 30, 30), Case.NeedsParentBackground, Case.Color);
    EXPECT_EQ(GetPixel(Canvas->GetHandle(), 10, 10), Case.AtMarker) << Case.Name;
    EXPECT_EQ(Canvas->GetBrush()->GetColor(), clGreen) << Case.Name;
    Control->SetParent(nullptr);
  }
}

TEST(XcThemes, FillWithTheBrushColourLeavesTheBrushAlone)
{
  EnsureHeadless();
  TCustomPanel Control(nullptr);
  TBitmap B;
  B.SetSize(8, 8);
  B.GetCanvas()->GetBrush()->SetColor(clBlue);
  FillThemedBackground(&Control, B.GetCanvas(), Rect(0, 0, 8, 8), false);
  EXPECT_EQ(GetPixel(B.GetCanvas()->GetHandle(), 4, 4), RGB(0, 0, 255));
  EXPECT_EQ(B.GetCanvas()->GetBrush()->GetColor(), clBlue);
}

TEST(XcThemes, ErasingTheParentsBackgroundMovesTheOriginAndGivesTheClipBack)
{
  EnsureHeadless();
  TMarkedParent Parent(nullptr);
  Parent.SetBounds(0, 0, 200, 100);
  Parent.SetParent(HostForm());
  TCustomPanel Windowed(nullptr);
  Windowed.SetBounds(0, 10, 30, 30);
  Windowed.SetParent(&Parent);
  TXcExGraphicControl Graphic(nullptr);
  Graphic.SetBounds(0, 10, 30, 30);
  Graphic.SetParent(&Parent);

  struct TCase {
    const char* Name;
    TControl* Control;
    bool WithClipBefore;
    bool WithRect;
    POINT ExpectedOrigin;
  };
  const TCase Cases[] = {
      {"windowed, no rectangle", &Windowed, false, false, {0, 10}},
      {"graphic, no rectangle", &Graphic, false, false, {0, 10}},
      {"windowed, rectangle, DC without clip", &Windowed, false, true, {0, 10}},
      {"windowed, rectangle, DC with clip", &Windowed, true, true, {0, 10}},
  };
  for (const auto& Case : Cases) {
    TBitmap B;
    B.SetSize(40, 40);
    HDC DC = B.GetCanvas()->GetHandle();
    if (Case.WithClipBefore) IntersectClipRect(DC, 0, 0, 35, 36);
    Parent.SeenOrigin = POINT{-1, -1};
    if (Case.WithRect)
      EraseParentBackgroundRect(Case.Control, DC, Rect(2, 3, 12, 13));
    else
      EraseParentBackground(Case.Control, DC);
    EXPECT_EQ(Parent.SeenOrigin.x, Case.ExpectedOrigin.x) << Case.Name;
    EXPECT_EQ(Parent.SeenOrigin.y, Case.ExpectedOrigin.y) << Case.Name;
    POINT After{-1, -1};
    GetWindowOrgEx(DC, &After);
    EXPECT_EQ(After.x, 0) << Case.Name;
    EXPECT_EQ(After.y, 0) << Case.Name;
    HRGN Clip = CreateRectRgn(0, 0, 0, 0);
    const int HasClip = GetClipRgn(DC, Clip);
    if (Case.WithClipBefore) {
      EXPECT_EQ(HasClip, 1) << Case.Name;
      TRect Box{};
      GetRgnBox(Clip, &Box);
      EXPECT_EQ(Box, Rect(0, 0, 35, 36)) << Case.Name;
    } else {
      EXPECT_EQ(HasClip, 0) << Case.Name << ": no clip is left selected";
    }
    DeleteObject(Clip);
  }
  // No parent: nothing happens.
  TCustomPanel Orphan(nullptr);
  const int Before = Parent.Erases;
  TBitmap B;
  B.SetSize(4, 4);
  EraseParentBackground(&Orphan, B.GetCanvas()->GetHandle());
  EXPECT_EQ(Parent.Erases, Before);
  Windowed.SetParent(nullptr);
  Graphic.SetParent(nullptr);
}

namespace {

// A windowed control whose painting leaves its DC moved, clipped and with other objects.
class TUntidyPainter : public TCustomControl {
public:
  using TCustomControl::TCustomControl;

protected:
  void Paint() override
  {
    HDC DC = GetCanvas()->GetHandle();
    GetCanvas()->GetBrush()->SetColor(clRed);
    GetCanvas()->FillRect(Rect(0, 0, 5, 5));
    SetWindowOrgEx(DC, 3, 4, nullptr);
    IntersectClipRect(DC, 1, 1, 4, 4);
    SelectObject(DC, GetStockObject(BLACK_BRUSH));
  }
};

}  // namespace

TEST(XcThemes, PrintClientOfEveryWindowedControlLeavesTheDcAsItWas)
{
  EnsureHeadless();
  std::vector<std::unique_ptr<TWinControl>> Controls;
  Controls.push_back(std::make_unique<TUntidyPainter>(nullptr));
  Controls.push_back(std::make_unique<TCustomPanel>(nullptr));
  Controls.push_back(std::make_unique<TStringGrid>(nullptr));
  Controls.push_back(std::make_unique<TTrackBar>(nullptr));
  Controls.push_back(std::make_unique<TXcExCustomPanel>(nullptr));
  for (auto& C : Controls) {
    C->SetBounds(0, 0, 60, 40);
    C->SetParent(HostForm());
    TBitmap B;
    B.SetSize(60, 40);
    HDC DC = B.GetCanvas()->GetHandle();
    HGDIOBJ Brush = GetCurrentObject(DC, OBJ_BRUSH);
    C->Perform(WM_PRINTCLIENT, reinterpret_cast<WPARAM>(DC), PRF_CLIENT);
    POINT Org{-1, -1};
    GetWindowOrgEx(DC, &Org);
    HRGN Clip = CreateRectRgn(0, 0, 0, 0);
    EXPECT_EQ(Org.x, 0);
    EXPECT_EQ(Org.y, 0);
    EXPECT_EQ(GetClipRgn(DC, Clip), 0);
    EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), Brush);
    DeleteObject(Clip);
    C->SetParent(nullptr);
  }
}

TEST(XcThemes, ThemeStyleBitsAndSmallWrappers)
{
  EnsureHeadless();
  TCustomPanel Panel(nullptr);
  const TControlStyle Before = Panel.GetControlStyle() & ~XcThemeStyleMask;
  Panel.SetControlStyle(Before);
  AddThemeStyle(&Panel, csParentBackground | csOpaque | csFramed);
  EXPECT_EQ(ThemeStyleBits(&Panel), csParentBackground);
  EXPECT_EQ(Panel.GetControlStyle(), Before | csParentBackground) << "bits outside the mask are ignored";
  AddThemeStyle(&Panel, csNeedsBorderPaint);
  EXPECT_EQ(ThemeStyleBits(&Panel), csParentBackground | csNeedsBorderPaint);
  EXPECT_FALSE(ControlInGlassPaint(&Panel));
  EXPECT_EQ(NoGlassSupport(), 0);

  TBitmap B;
  B.SetSize(60, 20);
  TRect R = Rect(0, 0, 60, 20);
  EXPECT_GT(DrawTextPlain(B.GetCanvas()->GetHandle(), "Hi", R, true, DT_CALCRECT | DT_SINGLELINE), 0);
  EXPECT_GT(R.right, 0);
  EXPECT_LT(R.right, 60);
}

TEST(XcThemes, DrawingAnImageLeavesTheCanvasObjectsSelected)
{
  TBitmap Target;
  Target.SetSize(40, 20);
  TCanvas* C = Target.GetCanvas();
  C->GetFont()->SetName("DejaVu Sans");
  C->GetFont()->SetSize(12);
  C->GetPen()->SetColor(clRed);
  const HDC DC = C->GetHandle();
  const HGDIOBJ Font = GetCurrentObject(DC, OBJ_FONT), Pen = GetCurrentObject(DC, OBJ_PEN);
  TImageList Images(nullptr);
  Images.SetWidth(8);
  Images.SetHeight(8);
  TBitmap Cell;
  Cell.SetSize(8, 8);
  Images.Add(&Cell, nullptr);
  DrawImageListItem(&Images, 0, DC, 2, 2, ILD_NORMAL);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), Font);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), Pen);
}
