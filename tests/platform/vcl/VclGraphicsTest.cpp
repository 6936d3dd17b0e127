#include <gtest/gtest.h>

#include <cstring>
#include <memory>

#include "platform/vcl/Graphics.h"
#include "tests/support/TempDirTest.h"

namespace {

TEST(VclFont, SizeAndHeightConvertAtTheResolution) {
  struct TCase {
    int Size;
    int PixelsPerInch;
    int Height;
  } Cases[] = {{8, 96, -11}, {10, 96, -13}, {12, 96, -16}, {9, 120, -15}, {72, 96, -96}, {1, 96, -1}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.Size);
    TFont F;
    F.SetPixelsPerInch(C.PixelsPerInch);
    F.SetSize(C.Size);
    EXPECT_EQ(F.GetHeight(), C.Height);
    EXPECT_EQ(F.GetSize(), C.Size);
  }
  TFont F;
  F.SetHeight(20);  // a cell height gives a negative size, as the class library reports
  EXPECT_EQ(F.GetSize(), -15);
}

TEST(VclFont, ChangesReachUsersAndAssignCopiesEverything) {
  TFont A;
  int Changes = 0;
  A.OnChange = [&](TObject*) { ++Changes; };
  A.SetName("Arial");
  A.SetStyle(fsBold | fsItalic);
  A.SetColor(clRed);
  A.SetName("Arial");  // unchanged: no notice
  EXPECT_EQ(Changes, 3);
  ASSERT_NE(A.GetHandle(), nullptr);
  LOGFONTA LF{};
  ASSERT_EQ(GetObjectA(A.GetHandle(), sizeof(LF), &LF), static_cast<int>(sizeof(LF)));
  EXPECT_EQ(LF.lfWeight, FW_BOLD);
  EXPECT_EQ(LF.lfItalic, 1);
  EXPECT_STREQ(LF.lfFaceName, "Arial");
  EXPECT_EQ(LF.lfHeight, -11);

  TFont B;
  B.Assign(&A);
  EXPECT_EQ(B.GetName(), "Arial");
  EXPECT_EQ(B.GetStyle(), fsBold | fsItalic);
  EXPECT_EQ(B.GetColor(), clRed);
  TFont C;
  C.SetHandle(A.GetHandle());
  EXPECT_EQ(C.GetStyle(), fsBold | fsItalic);
  EXPECT_EQ(C.GetHeight(), -11);
}

TEST(VclColor, SystemColoursMapThroughTheColourTable) {
  EXPECT_EQ(ColorToRGB(clBtnFace), GetSysColor(COLOR_BTNFACE));
  EXPECT_EQ(ColorToRGB(clInfoBk), GetSysColor(COLOR_INFOBK));
  EXPECT_EQ(ColorToRGB(clNavy), 0x800000u);
  EXPECT_EQ(clBtnFace, 0xFF00000Fu);
}

COLORREF Px(TBitmap& B, int X, int Y) { return B.GetCanvas()->GetPixels(X, Y); }

TEST(VclCanvas, DrawsWithPenBrushAndModesOnABitmap) {
  TBitmap B(20, 20, pf24bit);
  TCanvas* C = B.GetCanvas();
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(Rect(0, 0, 20, 20));
  C->GetPen()->SetColor(clBlue);
  C->GetBrush()->SetColor(clRed);
  C->Rectangle(2, 2, 8, 8);
  EXPECT_EQ(Px(B, 2, 2), clBlue) << "outline";
  EXPECT_EQ(Px(B, 7, 7), clBlue);
  EXPECT_EQ(Px(B, 8, 8), clWhite) << "right/bottom exclusive";
  EXPECT_EQ(Px(B, 4, 4), clRed) << "fill";

  C->GetBrush()->SetStyle(bsClear);
  C->Rectangle(10, 10, 14, 14);
  EXPECT_EQ(Px(B, 12, 12), clWhite) << "a clear brush leaves the inside";

  C->GetPen()->SetMode(pmNot);
  C->MoveTo(0, 18);
  C->LineTo(5, 18);
  EXPECT_EQ(Px(B, 0, 18), clBlack) << "white inverted";
  EXPECT_EQ(Px(B, 5, 18), clWhite) << "the end point stays";
  EXPECT_EQ(C->GetPenPos(), Point(5, 18));

  C->SetPixels(19, 0, clLime);
  EXPECT_EQ(Px(B, 19, 0), clLime);
  EXPECT_EQ(C->GetClipRect(), Rect(0, 0, 20, 20));

  TBitmap Copy(20, 20, pf32bit);
  Copy.GetCanvas()->CopyRect(Rect(0, 0, 10, 10), C, Rect(0, 0, 10, 10));
  EXPECT_EQ(Px(Copy, 4, 4), clRed);
  EXPECT_EQ(Px(Copy, 15, 15), clBlack);

  int Changes = 0;
  B.OnChange = [&](TObject*) { ++Changes; };
  C->GetBrush()->SetColor(clYellow);
  C->FillRect(Rect(0, 0, 1, 1));
  EXPECT_EQ(Changes, 1) << "drawing on the canvas changes the bitmap";
}

TEST(VclCanvas, TextUsesTheFontColourAndTheBrush) {
  TBitmap B(60, 30, pf24bit);
  TCanvas* C = B.GetCanvas();
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(Rect(0, 0, 60, 30));
  C->GetFont()->SetColor(clRed);
  C->GetFont()->SetName("DejaVu Sans");
  C->GetFont()->SetHeight(-16);
  SIZE S = C->TextExtent("WW");
  EXPECT_GT(S.cx, 10);
  EXPECT_GT(S.cy, 10);
  EXPECT_EQ(C->TextWidth("WW"), S.cx);
  C->GetBrush()->SetColor(clBlue);
  C->TextOut(2, 2, "WW");
  EXPECT_EQ(C->GetPenPos(), Point(2 + S.cx, 2));
  int Red = 0, Blue = 0;
  for (int Y = 2; Y < 2 + S.cy; ++Y)
    for (int X = 2; X < 2 + S.cx; ++X) {
      COLORREF P = Px(B, X, Y);
      Red += P == clRed;
      Blue += P == clBlue;
    }
  EXPECT_GT(Red, 5) << "glyph pixels in the font colour";
  EXPECT_GT(Blue, 5) << "an opaque brush fills the text cell";
}

TEST(VclCanvas, Frame3DDrawsNestedFramesAndShrinksTheRect) {
  TBitmap B(10, 10, pf24bit);
  B.GetCanvas()->GetBrush()->SetColor(clWhite);
  B.GetCanvas()->FillRect(Rect(0, 0, 10, 10));
  TRect R = Rect(0, 0, 10, 10);
  Frame3D(B.GetCanvas(), R, clRed, clBlue, 2);
  EXPECT_EQ(R, Rect(2, 2, 8, 8));
  struct TCase {
    int X, Y;
    COLORREF Colour;
  } Cases[] = {{0, 0, clRed}, {0, 9, clBlue}, {9, 0, clBlue}, {9, 9, clBlue}, {5, 0, clRed},
               {0, 5, clRed}, {9, 5, clBlue}, {5, 9, clBlue}, {1, 1, clRed}, {8, 8, clBlue}, {4, 4, clWhite}};
  for (const TCase& C : Cases) {
    SCOPED_TRACE(C.X * 100 + C.Y);
    EXPECT_EQ(Px(B, C.X, C.Y), C.Colour);
  }
}

TEST(VclBitmap, PixelFormatsConvertAndScanLinesFollowTheRows) {
  TBitmap B(4, 3, pf24bit);
  TCanvas* C = B.GetCanvas();
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(Rect(0, 0, 4, 3));
  C->SetPixels(0, 0, clRed);
  C->SetPixels(3, 2, RGB(250, 250, 250));
  auto* Top = static_cast<std::uint8_t*>(B.ScanLine(0));
  EXPECT_EQ(Top[2], 255);  // red in B,G,R order
  EXPECT_EQ(Top[0], 0);
  EXPECT_FALSE(B.IsTopDown());
  EXPECT_THROW(B.ScanLine(3), EInvalidGraphic);
  EXPECT_THROW(B.ScanLine(-1), EInvalidGraphic);

  struct TCase {
    TPixelFormat Format;
    int BitCount;
    COLORREF Corner;  // (3, 2) after the conversion
  } Cases[] = {{pf32bit, 32, RGB(250, 250, 250)},
               {pf8bit, 8, RGB(255, 255, 255)},
               {pf4bit, 4, RGB(255, 255, 255)},
               {pf1bit, 1, RGB(255, 255, 255)}};
  for (const TCase& K : Cases) {
    SCOPED_TRACE(K.BitCount);
    TBitmap Copy;
    Copy.Assign(&B);
    Copy.SetPixelFormat(K.Format);
    EXPECT_EQ(Copy.GetPixelFormat(), K.Format);
    EXPECT_EQ(Copy.GetBitCount(), K.BitCount);
    EXPECT_EQ(Copy.GetWidth(), 4);
    EXPECT_EQ(Px(Copy, 3, 2), K.Corner);
    EXPECT_EQ(Px(Copy, 1, 1), clWhite);
    EXPECT_EQ(Px(Copy, 0, 0), K.BitCount == 1 ? clBlack : clRed) << "red is nearer black than white";
  }
  // Sizes keep the top-left part.
  B.SetSize(6, 5);
  EXPECT_EQ(Px(B, 0, 0), clRed);
  EXPECT_EQ(Px(B, 5, 4), clBlack);
  B.SetHandleType(bmDDB);
  EXPECT_EQ(B.GetPixelFormat(), pfDevice);
  B.ScanLine(0);
  EXPECT_EQ(B.GetHandleType(), bmDIB);
}

TEST(VclBitmap, TransparentDrawUsesTheBottomLeftPixelOrAFixedColour) {
  TBitmap Sprite(3, 3, pf24bit);
  TCanvas* S = Sprite.GetCanvas();
  S->GetBrush()->SetColor(clFuchsia);
  S->FillRect(Rect(0, 0, 3, 3));
  S->SetPixels(1, 1, clGreen);
  S->SetPixels(2, 0, clYellow);
  EXPECT_EQ(Sprite.GetTransparentMode(), tmAuto);
  EXPECT_EQ(Sprite.GetTransparentColor(), clFuchsia);
  Sprite.SetTransparent(true);

  TBitmap Back(5, 5, pf24bit);
  Back.GetCanvas()->GetBrush()->SetColor(clWhite);
  Back.GetCanvas()->FillRect(Rect(0, 0, 5, 5));
  Back.GetCanvas()->Draw(1, 1, &Sprite);
  EXPECT_EQ(Px(Back, 2, 2), clGreen);
  EXPECT_EQ(Px(Back, 3, 1), clYellow);
  EXPECT_EQ(Px(Back, 1, 1), clWhite);

  Sprite.SetTransparentColor(clYellow);
  EXPECT_EQ(Sprite.GetTransparentMode(), tmFixed);
  Back.GetCanvas()->FillRect(Rect(0, 0, 5, 5));
  Back.GetCanvas()->Draw(0, 0, &Sprite);
  EXPECT_EQ(Px(Back, 0, 0), clFuchsia);
  EXPECT_EQ(Px(Back, 2, 0), clWhite);
  Sprite.SetTransparentMode(tmAuto);
  EXPECT_EQ(Sprite.GetTransparentColor(), clFuchsia);

  // The mask: 1 where the key colour is.
  TBitmap Mask;
  Mask.Assign(&Sprite);
  Mask.Mask(clFuchsia);
  EXPECT_TRUE(Mask.GetMonochrome());
  EXPECT_EQ(Px(Mask, 0, 0), clWhite);
  EXPECT_EQ(Px(Mask, 1, 1), clBlack);

  TBitmap Stretched(6, 6, pf24bit);
  Sprite.SetTransparent(false);
  Stretched.GetCanvas()->StretchDraw(Rect(0, 0, 6, 6), &Sprite);
  EXPECT_EQ(Px(Stretched, 2, 2), clGreen);
  EXPECT_EQ(Px(Stretched, 3, 3), clGreen);
  EXPECT_EQ(Px(Stretched, 5, 0), clYellow);
}

class VclBitmapFiles : public TTempDirTest {};

TEST_F(VclBitmapFiles, SaveAndLoadKeepPixelsAndFormats) {
  for (TPixelFormat F : {pf1bit, pf4bit, pf8bit, pf24bit, pf32bit}) {
    SCOPED_TRACE(static_cast<int>(F));
    TBitmap B(7, 5, F);
    TCanvas* C = B.GetCanvas();
    C->GetBrush()->SetColor(clWhite);
    C->FillRect(Rect(0, 0, 7, 5));
    C->SetPixels(6, 0, clBlack);
    if (F != pf1bit) C->SetPixels(0, 4, clRed);
    String Name = Dir + "b.bmp";
    B.SaveToFile(Name);
    TPicture P;
    P.LoadFromFile(Name);
    TBitmap* L = P.GetBitmap();
    ASSERT_NE(L, nullptr);
    EXPECT_EQ(L->GetPixelFormat(), F);
    EXPECT_EQ(L->GetWidth(), 7);
    EXPECT_EQ(L->GetHeight(), 5);
    EXPECT_EQ(Px(*L, 6, 0), clBlack);
    EXPECT_EQ(Px(*L, 1, 1), clWhite);
    if (F != pf1bit) {
      EXPECT_EQ(Px(*L, 0, 4), clRed);
    }
  }
}

TEST_F(VclBitmapFiles, DamagedOrUnknownFilesKeepThePicture) {
  TBitmap B(2, 2, pf24bit);
  B.GetCanvas()->SetPixels(0, 0, clRed);
  WriteBytes(Dir + "bad.bmp", "BM this is not a bitmap");
  EXPECT_THROW(B.LoadFromFile(Dir + "bad.bmp"), EInvalidGraphic);
  EXPECT_EQ(B.GetWidth(), 2);
  EXPECT_EQ(Px(B, 0, 0), clRed);
  EXPECT_THROW(B.LoadFromFile(Dir + "missing.bmp"), EFOpenError);

  TPicture P;
  WriteBytes(Dir + "x.xyz", "data");
  try {
    P.LoadFromFile(Dir + "x.xyz");
    ADD_FAILURE();
  } catch (const EInvalidGraphic& E) {
    EXPECT_EQ(E.Message(), "Unknown picture file extension (.xyz)");
  }
  WriteBytes(Dir + "bad.jpg", "\xFF\xD8\xFF garbage");
  EXPECT_THROW(P.LoadFromFile(Dir + "bad.jpg"), EInvalidGraphic);
  EXPECT_EQ(P.GetGraphic(), nullptr);
}

TEST_F(VclBitmapFiles, JpegEncodesDecodesScalesAndAssignsToABitmap) {
  TBitmap B(32, 16, pf24bit);
  B.GetCanvas()->GetBrush()->SetColor(clBlue);
  B.GetCanvas()->FillRect(Rect(0, 0, 32, 16));
  TJPEGImage J;
  J.Assign(&B);
  J.SetCompressionQuality(95);
  J.SaveToFile(Dir + "a.jpg");

  TPicture P;
  P.LoadFromFile(Dir + "a.jpg");
  auto* L = dynamic_cast<TJPEGImage*>(P.GetGraphic());
  ASSERT_NE(L, nullptr);
  EXPECT_EQ(L->GetWidth(), 32);
  L->SetScale(jsHalf);
  EXPECT_EQ(L->GetWidth(), 16);
  EXPECT_EQ(L->GetHeight(), 8);
  TBitmap Out;
  Out.Assign(L);
  EXPECT_EQ(Out.GetWidth(), 16);
  COLORREF C = Px(Out, 8, 4);
  EXPECT_LT(GetRValue(C), 16);
  EXPECT_GT(GetBValue(C), 235);
  L->SetGrayscale(true);
  Out.Assign(L);
  C = Px(Out, 8, 4);
  EXPECT_EQ(GetRValue(C), GetBValue(C));

  TBitmap Canvas(40, 20, pf24bit);
  Canvas.GetCanvas()->Draw(0, 0, L);
  EXPECT_EQ(Px(Canvas, 20, 5), clBlack) << "drawn at its scaled size";
}

// A 2x2-cell strip: cell 0 red square on a fuchsia ground, cell 1 solid black.
std::unique_ptr<TBitmap> Strip() {
  auto B = std::make_unique<TBitmap>(8, 4, pf24bit);
  TCanvas* C = B->GetCanvas();
  C->GetBrush()->SetColor(clFuchsia);
  C->FillRect(Rect(0, 0, 4, 4));
  C->GetBrush()->SetColor(clRed);
  C->FillRect(Rect(1, 1, 3, 3));
  C->GetBrush()->SetColor(clBlack);
  C->FillRect(Rect(4, 0, 8, 4));
  return B;
}

TEST(VclImageList, DrawsMaskedEnabledAndEmbossedDisabled) {
  TImageList List(nullptr, 4, 4);
  int Changes = 0;
  List.OnChange = [&](TObject*) { ++Changes; };
  auto Image = Strip();
  EXPECT_EQ(List.AddMasked(Image.get(), clFuchsia), 0);
  EXPECT_EQ(List.GetCount(), 2);
  EXPECT_EQ(Changes, 1);

  TBitmap Dest(8, 8, pf24bit);
  TCanvas* C = Dest.GetCanvas();
  C->GetBrush()->SetColor(clWhite);
  C->FillRect(Rect(0, 0, 8, 8));
  List.Draw(C, 2, 2, 0);
  EXPECT_EQ(Px(Dest, 2, 2), clWhite) << "transparent corner";
  EXPECT_EQ(Px(Dest, 3, 3), clRed);
  List.Draw(C, 0, 0, 7);  // no such image: nothing drawn
  EXPECT_EQ(Px(Dest, 0, 0), clWhite);

  List.SetBkColor(clYellow);
  List.Draw(C, 2, 2, 0);
  EXPECT_EQ(Px(Dest, 2, 2), clYellow) << "the background colour fills the mask";
  List.SetBkColor(clNone);

  // Disabled: the shape in clBtnShadow, its highlight one pixel down and right.
  C->FillRect(Rect(0, 0, 8, 8));
  C->GetBrush()->SetColor(clWhite);
  C->GetFont()->SetColor(clRed);
  List.Draw(C, 2, 2, 0, false);
  EXPECT_EQ(Px(Dest, 3, 3), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(Dest, 4, 4), ColorToRGB(clBtnShadow));
  EXPECT_EQ(Px(Dest, 5, 5), ColorToRGB(clBtnHighlight));
  EXPECT_EQ(Px(Dest, 2, 2), clWhite);
  EXPECT_EQ(C->GetBrush()->GetColor(), clWhite) << "the canvas brush is given back";
  EXPECT_EQ(GetTextColor(C->GetHandle()), clRed) << "and the text colour";

  TBitmap Cell;
  List.GetBitmap(1, &Cell);
  EXPECT_EQ(Cell.GetWidth(), 4);
  EXPECT_EQ(Px(Cell, 1, 1), clBlack);

  List.Delete(0);
  EXPECT_EQ(List.GetCount(), 1);
  EXPECT_THROW(List.Delete(3), EInvalidOperation);
  List.Clear();
  EXPECT_EQ(List.GetCount(), 0);
}

TEST(VclIcon, DrawsThroughItsMask) {
  auto Image = Strip();
  TIcon Icon;
  TBitmap Cell(4, 4, pf24bit);
  Cell.GetCanvas()->CopyRect(Rect(0, 0, 4, 4), Image->GetCanvas(), Rect(0, 0, 4, 4));
  Icon.AssignBitmap(&Cell, clFuchsia);
  EXPECT_EQ(Icon.GetWidth(), 4);
  TBitmap Dest(6, 6, pf24bit);
  Dest.GetCanvas()->GetBrush()->SetColor(clAqua);
  Dest.GetCanvas()->FillRect(Rect(0, 0, 6, 6));
  Dest.GetCanvas()->Draw(1, 1, &Icon);
  EXPECT_EQ(Px(Dest, 1, 1), clAqua);
  EXPECT_EQ(Px(Dest, 2, 2), clRed);

  TMemoryStream S;
  Icon.SaveToStream(&S);
  S.SetPosition(0);
  TIcon Loaded;
  Loaded.LoadFromStream(&S);
  Dest.GetCanvas()->FillRect(Rect(0, 0, 6, 6));
  Dest.GetCanvas()->Draw(1, 1, &Loaded);
  EXPECT_EQ(Px(Dest, 1, 1), clAqua);
  EXPECT_EQ(Px(Dest, 3, 3), clRed);
  TMemoryStream Bad;
  Bad.WriteBuffer("\0\0\1\0\1\0", 6);
  Bad.SetPosition(0);
  EXPECT_THROW(Loaded.LoadFromStream(&Bad), EInvalidGraphic);
}

TEST(VclImageList, TheBackgroundColourFillsTheMaskExceptInTransparentDrawing) {
  TImageList List(nullptr, 4, 4);
  auto Image = Strip();
  List.AddMasked(Image.get(), clFuchsia);
  List.SetBkColor(clBlue);
  EXPECT_EQ(List.GetBkColor(), clBlue);
  struct TCase {
    TDrawingStyle Style;
    TColor Corner;
  } Cases[] = {{dsNormal, clBlue}, {dsFocus, clBlue}, {dsSelected, clBlue}, {dsTransparent, clWhite}};
  for (const TCase& K : Cases) {
    SCOPED_TRACE(static_cast<int>(K.Style));
    TBitmap Dest(8, 8, pf24bit);
    Dest.GetCanvas()->GetBrush()->SetColor(clWhite);
    Dest.GetCanvas()->FillRect(Rect(0, 0, 8, 8));
    List.Draw(Dest.GetCanvas(), 2, 2, 0, K.Style, itImage, true);
    EXPECT_EQ(Px(Dest, 2, 2), K.Corner);
    EXPECT_EQ(Px(Dest, 1, 1), clWhite) << "nothing outside the cell";
  }
}

TEST(VclImageList, ChangeLinksFollowTheListUntilEitherGoes) {
  auto List = std::make_unique<TImageList>(nullptr, 4, 4);
  std::vector<String> Log;
  TChangeLink A, B;
  A.OnChange = [&](TObject* S) { Log.push_back(S == List.get() ? "A" : "A?"); };
  B.OnChange = [&](TObject* S) { Log.push_back(S == List.get() ? "B" : "B?"); };
  List->OnChange = [&](TObject*) { Log.push_back("list"); };
  List->RegisterChanges(&A);
  List->RegisterChanges(&B);
  List->RegisterChanges(&A);  // held once
  EXPECT_EQ(A.GetSender(), List.get());
  List->SetBkColor(clRed);
  EXPECT_EQ(Log, (std::vector<String>{"A", "B", "list"}));
  Log.clear();
  List->UnRegisterChanges(&A);
  EXPECT_EQ(A.GetSender(), nullptr);
  List->Clear();
  EXPECT_EQ(Log, (std::vector<String>{"B", "list"}));
  Log.clear();
  {
    TChangeLink C;
    C.OnChange = [&](TObject*) { Log.push_back("C"); };
    List->RegisterChanges(&C);
  }  // a freed link leaves the list
  List->SetBkColor(clNone);
  EXPECT_EQ(Log, (std::vector<String>{"B", "list"}));
  // A handler that unregisters another link during the change: the other is skipped.
  Log.clear();
  TChangeLink D;
  D.OnChange = [&](TObject*) { Log.push_back("D"); };
  B.OnChange = [&](TObject*) {
    Log.push_back("B");
    List->UnRegisterChanges(&D);
  };
  List->RegisterChanges(&D);
  List->SetBkColor(clRed);
  EXPECT_EQ(Log, (std::vector<String>{"B", "list"}));
  List.reset();  // the list goes first: the links are left without a sender
  EXPECT_EQ(B.GetSender(), nullptr);
}

}  // namespace
