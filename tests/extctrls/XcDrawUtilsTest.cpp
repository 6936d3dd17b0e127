#include <gtest/gtest.h>

#include <memory>

#include "extctrls/XcDrawUtils.h"
#include "ExtctrlsTestSupport.h"
#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"

namespace {

std::unique_ptr<TBitmap> Filled(int W, int H, TColor Color, TPixelFormat Format = pf24bit)
{
  auto B = std::make_unique<TBitmap>();
  B->SetPixelFormat(Format);
  B->SetSize(W, H);
  B->GetCanvas()->GetBrush()->SetColor(Color);
  B->GetCanvas()->FillRect(Rect(0, 0, W, H));
  return B;
}

}  // namespace

TEST(XcDrawUtils, CheckerPatternAndPaletteRelativeColours)
{
  std::unique_ptr<TBitmap> B(MakeCheckerBitmap(clRed, clBlue));
  ASSERT_EQ(B->GetWidth(), 8);
  ASSERT_EQ(B->GetHeight(), 8);
  struct TCase {
    int X, Y;
    TColor Expected;
  };
  const TCase Cases[] = {{0, 0, clBlue}, {1, 1, clBlue}, {0, 2, clBlue}, {1, 0, clRed}, {0, 1, clRed}, {7, 6, clRed}};
  for (const auto& C : Cases) EXPECT_EQ(B->GetCanvas()->GetPixels(C.X, C.Y), C.Expected) << C.X << "," << C.Y;
  EXPECT_EQ(PaletteRelativeColor(static_cast<TColor>(RGB(1, 2, 3))), 0x02030201u);
  EXPECT_EQ(PaletteRelativeColor(clBtnFace), ColorToRGB(clBtnFace) | 0x02000000u);
}

TEST(XcDrawUtils, MaskedDrawingLeavesTheTransparentColourUnpainted)
{
  // A 4 x 4 source: red with a green left column; the bottom-left pixel is green.
  auto Source = Filled(4, 4, clRed);
  for (int Y = 0; Y < 4; ++Y) Source->GetCanvas()->SetPixels(0, Y, clLime);
  struct TCase {
    const char* Name;
    TColor Transparent;
    TColor AtColumn0;  // what the destination shows where the source is green
  };
  const TCase Cases[] = {
      {"clNone copies every pixel", clNone, clLime},
      {"clDefault takes the bottom-left colour", clDefault, clWhite},
      {"an explicit colour", clRed, clLime},
  };
  for (const auto& C : Cases) {
    SCOPED_TRACE(C.Name);
    auto Dest = Filled(8, 8, clWhite);
    DrawBitmapMasked(Dest->GetCanvas(), 2, 2, Source.get(), C.Transparent);
    EXPECT_EQ(Dest->GetCanvas()->GetPixels(2, 3), C.AtColumn0);
    EXPECT_EQ(Dest->GetCanvas()->GetPixels(4, 3), C.Transparent == clRed ? clWhite : clRed);
    EXPECT_EQ(Dest->GetCanvas()->GetPixels(1, 1), clWhite);  // outside: untouched
  }

  // A monochrome bitmap: white is transparent whatever colour was asked.
  auto Mono = Filled(2, 2, clWhite, pf1bit);
  Mono->GetCanvas()->SetPixels(1, 1, clBlack);
  auto Dest = Filled(4, 4, clBlue);
  StretchBitmapMasked(Dest->GetCanvas(), Mono.get(), clBlack, 0, 0, 0, 0, 0, 0, 0, 0);
  EXPECT_EQ(Dest->GetCanvas()->GetPixels(0, 0), clBlue);
  EXPECT_EQ(Dest->GetCanvas()->GetPixels(1, 1), clBlack);
}

TEST(XcDrawUtils, EllipsisAndTrackFonts)
{
  auto B = Filled(10, 10, clWhite);
  TCanvas* Canvas = B->GetCanvas();
  EXPECT_EQ(EllipsizeToWidth("fits", Canvas, 1000), "fits");
  EXPECT_EQ(EllipsizeToWidth("abcdef", Canvas, 0), "...");
  // The first shortened form drops two characters and is kept when it fits.
  const int Wide = Canvas->TextWidth("abcdefgh...");
  ASSERT_LT(Wide, Canvas->TextWidth("abcdefghWW"));
  const String Short = EllipsizeToWidth("abcdefghWW", Canvas, Wide);
  EXPECT_EQ(Short, "abcdefgh...");
  EXPECT_GT(CanvasFontHeight(Canvas), 0);

  TFont Source;
  Source.SetName("Liberation Sans");
  Source.SetHeight(-20);
  Source.SetColor(clRed);
  struct TCase {
    TXcTrackFontOptions Options;
    bool NameCopied, HeightCopied, ColorCopied;
  };
  const TCase Cases[] = {
      {0, false, false, false},
      {XcOption(hoFollowFont), true, true, true},
      {static_cast<TXcTrackFontOptions>(XcOption(hoFollowFont) | XcOption(hoPreserveHeight) |
                                        XcOption(hoPreserveColor)),
       true, false, false},
  };
  for (const auto& C : Cases) {
    TFont Track;
    Track.SetName("DejaVu Sans");
    Track.SetHeight(-11);
    Track.SetColor(clBlue);
    ApplyTrackFont(&Track, &Source, C.Options);
    EXPECT_EQ(Track.GetName() == "Liberation Sans", C.NameCopied);
    EXPECT_EQ(Track.GetHeight() == -20, C.HeightCopied);
    EXPECT_EQ(Track.GetColor() == clRed, C.ColorCopied);
  }
}

TEST(XcDrawUtils, DisabledLooksPaintTheSelectedPixelsInShadowAndHighlight)
{
  auto Source = Filled(4, 4, clBtnFace);
  Source->GetCanvas()->SetPixels(1, 1, clRed);
  Source->GetCanvas()->SetPixels(3, 0, clWhite);
  std::unique_ptr<TBitmap> Flat(MakeDisabledBitmapFlat(Source.get(), clBtnFace));
  struct TCase {
    int X, Y;
    TColor Expected;
  };
  const TCase FlatCases[] = {{1, 1, clBtnShadow}, {2, 2, clBtnHighlight}, {3, 0, clBtnFace}, {0, 0, clBtnFace}};
  for (const auto& C : FlatCases)
    EXPECT_EQ(ColorToRGB(Flat->GetCanvas()->GetPixels(C.X, C.Y)), ColorToRGB(C.Expected)) << C.X << "," << C.Y;

  auto Glyph = Filled(4, 4, clYellow);
  Glyph->GetCanvas()->SetPixels(1, 1, clBlack);
  for (bool Highlight : {true, false}) {
    std::unique_ptr<TBitmap> Ex(MakeDisabledBitmapEx(Glyph.get(), clBlack, clWhite, clLime, clBlue, Highlight));
    EXPECT_EQ(Ex->GetCanvas()->GetPixels(1, 1), clBlue);
    EXPECT_EQ(Ex->GetCanvas()->GetPixels(2, 2), Highlight ? clLime : clWhite);
    EXPECT_EQ(Ex->GetCanvas()->GetPixels(0, 0), clWhite);  // yellow is not the outline colour
  }
  std::unique_ptr<TBitmap> Plain(MakeDisabledBitmap(Glyph.get(), clBlack));
  EXPECT_EQ(ColorToRGB(Plain->GetCanvas()->GetPixels(0, 0)), ColorToRGB(clBtnFace));
  EXPECT_EQ(ColorToRGB(Plain->GetCanvas()->GetPixels(1, 1)), ColorToRGB(clBtnShadow));
}

namespace {

class TFilledPanel : public TCustomControl {
public:
  TFilledPanel(TComponent* AOwner, TColor AFill) : TCustomControl(AOwner), Fill(AFill) {}
  TColor Fill;

protected:
  void Paint() override
  {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
  }
};

class TFilledDot : public TGraphicControl {
public:
  TFilledDot(TComponent* AOwner, TColor AFill) : TGraphicControl(AOwner), Fill(AFill) {}
  TColor Fill;

protected:
  void Paint() override
  {
    GetCanvas()->GetBrush()->SetColor(Fill);
    GetCanvas()->FillRect(GetClientRect());
  }
};

}  // namespace

TEST(XcDrawUtils, ParentImageShowsTheParentAndTheEarlierSiblingsBeneath)
{
  EnsureHeadless();
  TForm* Form = new TForm(nullptr);
  Form->SetBorderStyle(bsNone);
  Form->SetBounds(0, 0, 100, 100);
  auto* Panel = new TFilledPanel(Form, clRed);
  Panel->SetParent(Form);
  Panel->SetBounds(0, 0, 100, 100);
  auto* Below = new TFilledDot(Form, clLime);
  Below->SetParent(Panel);
  Below->SetBounds(10, 10, 20, 20);
  auto* Control = new TFilledDot(Form, clBlue);
  Control->SetParent(Panel);
  Control->SetBounds(20, 20, 30, 30);
  auto* Above = new TFilledDot(Form, clYellow);  // later: not beneath the control
  Above->SetParent(Panel);
  Above->SetBounds(40, 40, 20, 20);
  Form->Show();
  ProcessPendingMessages();

  auto Image = Filled(30, 30, clBlack);
  PaintParentImage(Control, Image->GetCanvas());
  EXPECT_EQ(Image->GetCanvas()->GetPixels(5, 5), clLime);    // (25, 25) of the panel: the sibling
  EXPECT_EQ(Image->GetCanvas()->GetPixels(15, 15), clRed);   // the parent
  EXPECT_EQ(Image->GetCanvas()->GetPixels(25, 25), clRed);   // a later sibling does not show
  EXPECT_EQ(Panel->GetControlState() & csPaintCopy, 0u);
  delete Form;
  ProcessPendingMessages();
}

TEST(XcDrawUtils, DisabledImageGlyphPaintsTheOpaquePixelsAndKeepsTheBrush)
{
  TCustomImageList Images(nullptr, 4, 4);
  auto Image = Filled(4, 4, clFuchsia);  // transparent
  Image->GetCanvas()->SetPixels(1, 1, clRed);
  Image->GetCanvas()->SetPixels(0, 3, clFuchsia);
  Images.AddMasked(Image.get(), clFuchsia);
  auto Dest = Filled(8, 8, clWhite);
  Dest->GetCanvas()->GetBrush()->SetColor(clAqua);
  DrawDisabledImageGlyph(&Images, Dest->GetCanvas(), 2, 2, 0, clLime, clBlue, true);
  EXPECT_EQ(Dest->GetCanvas()->GetPixels(3, 3), clBlue);
  EXPECT_EQ(Dest->GetCanvas()->GetPixels(4, 4), clLime);
  EXPECT_EQ(Dest->GetCanvas()->GetPixels(2, 2), clWhite);
  EXPECT_EQ(Dest->GetCanvas()->GetBrush()->GetColor(), clAqua);
}

TEST(XcDrawUtils, MaskedDrawingSuspendsTheBitmapsChangeNotification)
{
  auto Source = Filled(4, 4, clRed);
  Source->GetCanvas()->SetPixels(0, 3, clLime);
  auto Mono = Filled(2, 2, clWhite, pf1bit);
  struct TCase {
    const char* Name;
    TBitmap* Bitmap;
    TColor Transparent;
  };
  const TCase Cases[] = {
      {"clNone", Source.get(), clNone},
      {"clDefault (reads the bottom-left pixel)", Source.get(), clDefault},
      {"an explicit colour", Source.get(), clRed},
      {"a monochrome bitmap", Mono.get(), clBlack},
  };
  for (const auto& C : Cases) {
    int Changes = 0;
    C.Bitmap->OnChange = [&](TObject*) { ++Changes; };
    auto Dest = Filled(8, 8, clWhite);
    StretchBitmapMasked(Dest->GetCanvas(), C.Bitmap, C.Transparent, 1, 1, 6, 6, 0, 0, 0, 0);
    C.Bitmap->GetCanvas()->GetPixels(0, 0);
    EXPECT_EQ(Changes, 0) << C.Name;
    ASSERT_TRUE(C.Bitmap->OnChange) << C.Name << ": restored afterwards";
    EXPECT_EQ(C.Bitmap->GetCanvas()->GetLockCount(), 0) << C.Name;
    C.Bitmap->OnChange = nullptr;
  }
}

TEST(XcTypes, ClipboardCommandsAreBitsZeroToFour)
{
  const struct {
    TXcClipboardCommand Command;
    int Bit;
  } Cases[] = {{caCopy, 0}, {caCut, 1}, {caPaste, 2}, {caClear, 3}, {caUndo, 4}};
  for (const auto& C : Cases) EXPECT_EQ(XcCommand(C.Command), 1u << C.Bit) << C.Bit;
  EXPECT_EQ(XcAllClipboardCommands, 0x1Fu);
}
