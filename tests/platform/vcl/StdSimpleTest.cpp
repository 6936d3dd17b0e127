#include <gtest/gtest.h>

#include "platform/vcl/ExtCtrls.h"
#include "tests/platform/vcl/VclTestSupport.h"

namespace {

class StdSimple : public TVclWindowTest {
protected:
  // The text extent of S in the default font, as a label measures it.
  SIZE Extent(TControl* C, const String& S) {
    TBitmap B;
    B.SetSize(1, 1);
    B.GetCanvas()->SetFont(C->GetFont());
    return B.GetCanvas()->TextExtent(S);
  }
  // The whole window as the display last got it, read once.
  struct TSnapshot {
    std::vector<std::uint32_t> Pixels;
    int W = 0, H = 0;
    COLORREF At(int X, int Y) const {
      if (X < 0 || Y < 0 || X >= W || Y >= H) return CLR_INVALID;
      std::uint32_t P = Pixels[static_cast<size_t>(Y * W + X)];
      return RGB((P >> 16) & 0xFF, (P >> 8) & 0xFF, P & 0xFF);
    }
  };
  TSnapshot Snap(TForm* F) {
    TSnapshot S;
    Display()->ReadPixels(GetDisplayWindow(F->GetHandle()), S.Pixels, S.W, S.H);
    return S;
  }
  TForm* ShownForm() {
    TForm* F = NewForm(0, 0, 200, 120);
    F->SetColor(clWhite);
    F->HandleNeeded();
    return F;
  }
};

TEST_F(StdSimple, LabelTakesTheSizeOfItsText) {
  TForm* F = ShownForm();
  struct TCase {
    const char* Caption;
    TAlignment Alignment;
    bool ShowAccelChar;
    const char* Measured;  // the text whose extent the label takes
  } Cases[] = {
      {"Hello", taLeftJustify, true, "Hello"},
      {"&Open file", taLeftJustify, true, "Open file"},   // the accelerator mark is not drawn
      {"&Open file", taLeftJustify, false, "&Open file"},  // unless accelerators are off
      {"", taLeftJustify, true, " "},                       // an empty label keeps one line
      {"&", taLeftJustify, true, " "},
      {"Right", taRightJustify, true, "Right"},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Caption);
    auto* L = Add<TLabel>(F, "L", 10, 10, 100, 40);
    // Parenting already sized the label to its name; its right edge is now fixed.
    int Right = L->GetLeft() + L->GetWidth();
    L->SetShowAccelChar(C.ShowAccelChar);
    L->SetAlignment(C.Alignment);
    L->SetCaption(C.Caption);
    SIZE E = Extent(L, C.Measured);
    EXPECT_EQ(L->GetWidth(), E.cx);
    EXPECT_EQ(L->GetHeight(), E.cy);
    // A right-aligned label grows to the left: its right edge stays.
    EXPECT_EQ(L->GetLeft(), C.Alignment == taRightJustify ? Right - E.cx : 10);
    delete L;
  }
  // Without AutoSize the bounds stay; WordWrap measures within the width.
  auto* L = Add<TLabel>(F, "Fixed", 10, 10, 30, 20);
  L->SetAutoSize(false);
  L->SetBounds(10, 10, 80, 20);
  L->SetCaption("A much longer caption");
  EXPECT_EQ(L->GetBoundsRect(), Bounds(10, 10, 80, 20));
  L->SetWordWrap(true);
  L->SetAutoSize(true);
  EXPECT_LE(L->GetWidth(), 80);
  EXPECT_GE(L->GetHeight(), 2 * Extent(L, "A").cy) << "wrapped onto several lines";
}

TEST_F(StdSimple, LabelPaintsItsBackgroundUnlessTransparentAndHandsItsAcceleratorOn) {
  TForm* F = ShownForm();
  auto* Opaque = Add<TLabel>(F, "Opaque", 10, 10, 50, 20);
  Opaque->SetAutoSize(false);
  Opaque->SetColor(clRed);
  Opaque->SetCaption("");
  auto* Clear = Add<TLabel>(F, "Clear", 10, 40, 50, 20);
  Clear->SetAutoSize(false);
  Clear->SetColor(clRed);
  Clear->SetTransparent(true);
  Clear->SetCaption("");
  auto* Text = Add<TLabel>(F, "Text", 10, 70, 50, 20);
  Text->SetCaption("WWW");
  Text->GetFont()->SetColor(clBlue);
  Text->SetTransparent(true);
  F->Show();
  Pump();
  EXPECT_EQ(Pixel(F, 30, 20), ColorToRGB(clRed));
  EXPECT_EQ(Pixel(F, 30, 50), ColorToRGB(clWhite));
  int Blue = 0;
  TSnapshot Shot = Snap(F);
  for (int Y = 70; Y < 70 + Text->GetHeight(); ++Y)
    for (int X = 10; X < 10 + Text->GetWidth(); ++X) {
      COLORREF P = Shot.At(X, Y);
      Blue += GetBValue(P) > 128 && GetRValue(P) < 128 && GetGValue(P) < 128;
    }
  EXPECT_GT(Blue, 10) << "the caption is drawn in the font colour";

  auto* Target = Add<TPanel>(F, "Target", 100, 10, 40, 20);
  Target->SetTabStop(true);
  Text->SetCaption("&Name");
  Text->SetFocusControl(Target);
  TMessage M{CM_DIALOGCHAR, 'N', 0, 0};
  Text->Perform(M.Msg, M.WParam, M.LParam);
  EXPECT_TRUE(Target->Focused());
  delete Target;
  EXPECT_EQ(Text->GetFocusControl(), nullptr) << "a freed focus control is forgotten";
}

TEST_F(StdSimple, BevelDrawsItsShapeInTheTwoColours) {
  const COLORREF Shadow = ColorToRGB(clBtnShadow), Light = ColorToRGB(clBtnHighlight), Back = ColorToRGB(clWhite);
  struct TCase {
    TBevelShape Shape;
    TBevelStyle Style;
    // Pixels of a 20 x 10 bevel: (x, y, colour).
    struct {
      int X, Y;
      COLORREF Colour;
    } Pixels[4];
  } Cases[] = {
      {bsBox, bsLowered, {{0, 0, Shadow}, {19, 0, Light}, {0, 9, Shadow}, {10, 5, Back}}},
      {bsBox, bsRaised, {{0, 0, Light}, {19, 9, Shadow}, {18, 0, Light}, {10, 5, Back}}},
      {bsFrame, bsLowered, {{0, 0, Shadow}, {1, 1, Light}, {19, 9, Light}, {18, 8, Shadow}}},
      {bsTopLine, bsLowered, {{5, 0, Shadow}, {5, 1, Light}, {5, 2, Back}, {5, 9, Back}}},
      {bsBottomLine, bsRaised, {{5, 8, Light}, {5, 9, Shadow}, {5, 0, Back}, {5, 7, Back}}},
      {bsLeftLine, bsLowered, {{0, 5, Shadow}, {1, 5, Light}, {2, 5, Back}, {19, 5, Back}}},
      {bsRightLine, bsLowered, {{18, 5, Shadow}, {19, 5, Light}, {17, 5, Back}, {0, 5, Back}}},
      {bsSpacer, bsLowered, {{0, 0, Back}, {19, 9, Back}, {10, 5, Back}, {0, 9, Back}}},
  };
  TForm* F = ShownForm();
  std::vector<TBevel*> Bevels;
  int Y = 0;
  for (const TCase& C : Cases) {
    auto* B = Add<TBevel>(F, "", 10, Y, 20, 10);
    B->SetShape(C.Shape);
    B->SetStyle(C.Style);
    Bevels.push_back(B);
    Y += 12;
  }
  F->Show();
  Pump();
  for (size_t I = 0; I < std::size(Cases); ++I)
    for (const auto& P : Cases[I].Pixels) {
      SCOPED_TRACE(testing::Message() << "case " << I << " at " << P.X << "," << P.Y);
      EXPECT_EQ(Pixel(F, 10 + P.X, Bevels[I]->GetTop() + P.Y), P.Colour);
    }
}

TEST_F(StdSimple, PanelKeepsItsBevelsAndBorderOutOfTheClientArea) {
  struct TCase {
    TPanelBevel Outer, Inner;
    int BevelWidth, BorderWidth;
    int Inset;                // where an alClient child starts
    COLORREF TopLeft, Inner1;  // pixel (0, 0) and the left-edge pixel just inside the outer bevel
  } Cases[] = {
      {bvRaised, bvNone, 1, 0, 1, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnFace)},
      {bvLowered, bvNone, 2, 0, 2, ColorToRGB(clBtnShadow), ColorToRGB(clBtnFace)},
      {bvRaised, bvLowered, 2, 3, 7, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnFace)},
      {bvNone, bvRaised, 1, 0, 1, ColorToRGB(clBtnHighlight), ColorToRGB(clBtnHighlight)},
      {bvNone, bvNone, 1, 4, 4, ColorToRGB(clBtnFace), ColorToRGB(clBtnFace)},
  };
  for (const TCase& C : Cases) {
    SCOPED_TRACE(testing::Message() << C.Outer << "/" << C.Inner << " w" << C.BevelWidth << " b" << C.BorderWidth);
    TForm* F = ShownForm();
    auto* P = Add<TPanel>(F, "P", 10, 10, 100, 60);
    P->SetBevelOuter(C.Outer);
    P->SetBevelInner(C.Inner);
    P->SetBevelWidth(C.BevelWidth);
    P->SetBorderWidth(C.BorderWidth);
    P->SetCaption("");
    P->HandleNeeded();
    auto* Child = Add<TBox>(P, "Child", 0, 0, 10, 10);
    Child->SetAlign(alClient);
    EXPECT_EQ(Child->GetBoundsRect(), Rect(C.Inset, C.Inset, 100 - C.Inset, 60 - C.Inset));
    Child->SetVisible(false);
    F->Show();
    Pump();
    EXPECT_EQ(Pixel(F, 10, 10), C.TopLeft);
    int In = C.Outer != bvNone ? C.BevelWidth : 0;
    EXPECT_EQ(Pixel(F, 10 + In, 10 + 30), C.Inner1);
    EXPECT_EQ(Pixel(F, 60, 40 + 10), ColorToRGB(clBtnFace));
    delete F;
    Owned.clear();
  }
}

TEST_F(StdSimple, PanelCaptionFollowsItsAlignment) {
  TForm* F = ShownForm();
  auto* P = Add<TPanel>(F, "P", 0, 0, 200, 30);
  P->SetBevelOuter(bvNone);
  P->GetFont()->SetColor(clBlue);
  P->SetCaption("MMM");
  F->Show();
  struct TCase {
    TAlignment Alignment;
    int MinX, MaxX;  // where the blue text pixels must lie
  } Cases[] = {{taLeftJustify, 0, 60}, {taCenter, 70, 130}, {taRightJustify, 140, 200}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Alignment);
    P->SetAlignment(C.Alignment);
    Pump();
    int Left = 1000, Right = -1;
    TSnapshot Shot = Snap(F);
    for (int Y = 0; Y < 30; ++Y)
      for (int X = 0; X < 200; ++X)
        if (Shot.At(X, Y) == ColorToRGB(clBlue)) {
          Left = std::min(Left, X);
          Right = std::max(Right, X);
        }
    ASSERT_GE(Right, 0) << "no caption drawn";
    EXPECT_GE(Left, C.MinX);
    EXPECT_LT(Right, C.MaxX);
  }
}

TEST_F(StdSimple, GroupBoxPutsItsChildrenBelowTheCaption) {
  TForm* F = ShownForm();
  auto* G = Add<TGroupBox>(F, "G", 10, 10, 150, 80);
  G->SetCaption("Options");
  G->HandleNeeded();
  auto* Child = Add<TBox>(G, "Child", 0, 0, 10, 10);
  Child->SetAlign(alClient);
  int H = Extent(G, "0").cy;
  EXPECT_EQ(Child->GetBoundsRect(), Rect(2, H + 2, 148, 78));
  Child->SetVisible(false);
  F->Show();
  Pump();
  // The etched frame: shadow outside, highlight inside, along the left edge.
  EXPECT_EQ(Pixel(F, 10, 10 + 40), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Pixel(F, 11, 10 + 40), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Pixel(F, 50, 50), ColorToRGB(clBtnFace));
}

// A label whose text is not its caption (as the skinned text label's lines are).
class TEchoLabel : public TLabel {
public:
  using TLabel::TLabel;
  String Shown = "WWWWWWWW";

protected:
  String GetLabelText() override { return Shown; }
};

TEST_F(StdSimple, LabelMeasuresAndDrawsWhatGetLabelTextGives) {
  TForm* F = ShownForm();
  auto* L = Add<TEchoLabel>(F, "L", 10, 10, 20, 20);
  L->SetCaption("i");
  SIZE E = Extent(L, L->Shown);
  EXPECT_EQ(L->GetWidth(), E.cx);
  EXPECT_EQ(L->GetHeight(), E.cy);
}

TEST_F(StdSimple, PanelAndGroupBoxFramesFollowCtl3D) {
  struct TCase {
    bool Ctl3D;
    bool ClientEdge, Border;  // of a bsSingle panel
    int GroupInset;           // where an alClient child of a group box starts, left and right
  } Cases[] = {{true, true, false, 2}, {false, false, true, 1}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Ctl3D);
    TForm* F = ShownForm();
    auto* P = Add<TPanel>(F, "P", 10, 10, 100, 60);
    P->SetCtl3D(C.Ctl3D);
    P->SetBorderStyle(bsSingle);
    HWND W = P->GetHandle();
    EXPECT_EQ((GetWindowLongA(W, GWL_EXSTYLE) & WS_EX_CLIENTEDGE) != 0, C.ClientEdge);
    EXPECT_EQ((GetWindowLongA(W, GWL_STYLE) & WS_BORDER) != 0, C.Border);
    auto* G = Add<TGroupBox>(F, "G", 10, 80, 150, 80);
    G->SetCtl3D(C.Ctl3D);
    G->SetCaption("Options");
    G->HandleNeeded();
    auto* Child = Add<TBox>(G, "Child", 0, 0, 10, 10);
    Child->SetAlign(alClient);
    int H = Extent(G, "0").cy;
    int I = C.GroupInset;
    EXPECT_EQ(Child->GetBoundsRect(), Rect(I, H + I, 150 - I, 80 - I));
    delete F;
    Owned.clear();
  }
}

}  // namespace
