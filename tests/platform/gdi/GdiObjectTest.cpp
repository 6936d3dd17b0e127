// The object table and device-context state: handles, stock objects, selection rules,
// GetObject descriptions, SaveDC/RestoreDC.
#include <gtest/gtest.h>

#include "platform/gdi/DeviceContext.h"
#include "platform/gdi/GdiObject.h"
#include "tests/platform/gdi/GdiTestUtil.h"

TEST(GdiObjects, StaleAndWrongHandlesAreRefused)
{
  HPEN Pen = CreatePen(PS_SOLID, 1, RGB(1, 2, 3));
  ASSERT_NE(Pen, nullptr);
  EXPECT_EQ(GetObjectType(Pen), OBJ_PEN);
  EXPECT_TRUE(DeleteObject(Pen));
  // Deleted: every use fails, and a new object never gets the old handle back.
  EXPECT_FALSE(DeleteObject(Pen));
  EXPECT_EQ(GetObjectType(Pen), 0u);
  LOGPEN L;
  EXPECT_EQ(GetObject(Pen, sizeof(L), &L), 0);
  HPEN Next = CreatePen(PS_SOLID, 1, 0);
  EXPECT_NE(Next, Pen);
  HDC DC = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(DC, Pen), nullptr);
  // A pen handle used as a DC or a region fails; so does a made-up value.
  EXPECT_EQ(SetTextColor(reinterpret_cast<HDC>(Next), 0), CLR_INVALID);
  EXPECT_EQ(CombineRgn(reinterpret_cast<HRGN>(Next), reinterpret_cast<HRGN>(Next), nullptr, RGN_COPY), ERROR);
  EXPECT_EQ(GetPixel(reinterpret_cast<HDC>(0x12345), 0, 0), CLR_INVALID);
  EXPECT_FALSE(DeleteDC(reinterpret_cast<HDC>(Next)));
  EXPECT_TRUE(DeleteObject(Next));
  EXPECT_TRUE(DeleteDC(DC));
  EXPECT_FALSE(DeleteDC(DC));
}

TEST(GdiObjects, StockObjectsSurviveDeletion)
{
  for (int Id : {WHITE_BRUSH, BLACK_BRUSH, NULL_BRUSH, NULL_PEN, BLACK_PEN, WHITE_PEN, DEFAULT_GUI_FONT, SYSTEM_FONT,
                 ANSI_VAR_FONT, DC_BRUSH, DC_PEN, DEFAULT_PALETTE}) {
    HGDIOBJ O = GetStockObject(Id);
    ASSERT_NE(O, nullptr) << Id;
    EXPECT_TRUE(DeleteObject(O)) << Id;
    EXPECT_EQ(GetStockObject(Id), O) << Id;
    EXPECT_NE(GetObjectType(O), 0u) << Id;
  }
  EXPECT_EQ(GetStockObject(9), nullptr);
  EXPECT_EQ(GetStockObject(20), nullptr);
  LOGFONTA F;
  ASSERT_EQ(GetObject(GetStockObject(DEFAULT_GUI_FONT), sizeof(F), &F), static_cast<int>(sizeof(F)));
  EXPECT_STREQ(F.lfFaceName, "MS Shell Dlg");
  EXPECT_EQ(F.lfHeight, -11);
}

TEST(GdiObjects, SelectedObjectsCannotBeDeletedUntilReleased)
{
  HDC DC = CreateCompatibleDC(nullptr);
  HBRUSH Brush = CreateSolidBrush(RGB(9, 9, 9));
  HBITMAP Bitmap = CreateCompatibleBitmap(DC, 4, 4);
  HGDIOBJ OldBrush = SelectObject(DC, Brush);
  HGDIOBJ OldBitmap = SelectObject(DC, Bitmap);
  EXPECT_EQ(OldBrush, GetStockObject(WHITE_BRUSH));
  EXPECT_FALSE(DeleteObject(Brush));
  EXPECT_FALSE(DeleteObject(Bitmap));
  // A saved state keeps its objects alive too.
  int Saved = SaveDC(DC);
  SelectObject(DC, OldBrush);
  EXPECT_FALSE(DeleteObject(Brush));
  EXPECT_TRUE(RestoreDC(DC, Saved));
  EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), Brush);
  // A bitmap lives in one memory DC at a time.
  HDC Other = CreateCompatibleDC(nullptr);
  EXPECT_EQ(SelectObject(Other, Bitmap), nullptr);
  SelectObject(DC, OldBitmap);
  EXPECT_NE(SelectObject(Other, Bitmap), nullptr);
  DeleteDC(Other); // deleting the DC lets go of the bitmap
  EXPECT_TRUE(DeleteObject(Bitmap));
  SelectObject(DC, OldBrush);
  EXPECT_TRUE(DeleteObject(Brush));
  DeleteDC(DC);
}

TEST(GdiObjects, NoObjectsLeakFromDcLifetimes)
{
  // The stock objects come into being with the first DC; they are not a leak.
  DeleteDC(CreateCompatibleDC(nullptr));
  int Before = GdiObjectCount();
  for (int I = 0; I < 3; ++I) {
    TTestDib Dib(8, 8);
    HPEN P = CreatePen(PS_DASH, 1, 0);
    HGDIOBJ Old = SelectObject(Dib.DC, P);
    SaveDC(Dib.DC);
    SelectObject(Dib.DC, Old);
    RestoreDC(Dib.DC, -1);
    SelectObject(Dib.DC, Old);
    EXPECT_TRUE(DeleteObject(P));
  }
  EXPECT_EQ(GdiObjectCount(), Before);
}

TEST(GdiObjects, GetObjectDescribesPensBrushesAndBitmaps)
{
  HPEN Pen = CreatePen(PS_DOT, 1, RGB(10, 20, 30));
  LOGPEN L;
  EXPECT_EQ(GetObject(Pen, sizeof(L), &L), static_cast<int>(sizeof(L)));
  EXPECT_EQ(L.lopnStyle, PS_DOT);
  EXPECT_EQ(L.lopnColor, RGB(10, 20, 30));
  HBRUSH Hatch = CreateHatchBrush(HS_CROSS, RGB(1, 2, 3));
  LOGBRUSH B;
  EXPECT_EQ(GetObject(Hatch, sizeof(B), &B), static_cast<int>(sizeof(B)));
  EXPECT_EQ(B.lbStyle, BS_HATCHED);
  EXPECT_EQ(B.lbHatch, static_cast<ULONG_PTR>(HS_CROSS));
  HBITMAP Ddb = CreateBitmap(17, 3, 1, 1, nullptr);
  BITMAP Bm;
  EXPECT_EQ(GetObject(Ddb, sizeof(Bm), &Bm), static_cast<int>(sizeof(Bm)));
  EXPECT_EQ(Bm.bmWidth, 17);
  EXPECT_EQ(Bm.bmWidthBytes, 4); // word-aligned rows
  EXPECT_EQ(Bm.bmBitsPixel, 1);
  EXPECT_EQ(Bm.bmBits, nullptr);
  EXPECT_EQ(GetObject(Ddb, 0, nullptr), static_cast<int>(sizeof(BITMAP)));
  HPALETTE Pal = CreateHalftonePalette(nullptr);
  WORD Entries = 0;
  EXPECT_EQ(GetObject(Pal, sizeof(Entries), &Entries), 2);
  EXPECT_EQ(Entries, 256);
  for (HGDIOBJ O : {static_cast<HGDIOBJ>(Pen), static_cast<HGDIOBJ>(Hatch), static_cast<HGDIOBJ>(Ddb),
                    static_cast<HGDIOBJ>(Pal)})
    EXPECT_TRUE(DeleteObject(O));
}

TEST(GdiDcState, SaveAndRestoreBringBackEveryField)
{
  TTestDib Dib(4, 4);
  HDC DC = Dib.DC;
  SetTextColor(DC, RGB(1, 1, 1));
  SetViewportOrgEx(DC, 1, 1, nullptr);
  IntersectClipRect(DC, 0, 0, 2, 2);
  int First = SaveDC(DC);
  EXPECT_EQ(First, 1);
  SetTextColor(DC, RGB(2, 2, 2));
  SetBkMode(DC, TRANSPARENT);
  SetROP2(DC, R2_XORPEN);
  SetViewportOrgEx(DC, 0, 0, nullptr);
  SelectClipRgn(DC, nullptr);
  int Second = SaveDC(DC);
  EXPECT_EQ(Second, 2);
  SetTextColor(DC, RGB(3, 3, 3));
  // -1 is the latest state.
  EXPECT_TRUE(RestoreDC(DC, -1));
  EXPECT_EQ(GetTextColor(DC), RGB(2, 2, 2));
  EXPECT_EQ(GetROP2(DC), R2_XORPEN);
  // Restoring state 1 drops state 2 as well.
  EXPECT_TRUE(RestoreDC(DC, 1));
  EXPECT_EQ(GetTextColor(DC), RGB(1, 1, 1));
  EXPECT_EQ(GetBkMode(DC), OPAQUE);
  EXPECT_EQ(GetROP2(DC), R2_COPYPEN);
  POINT Org;
  GetViewportOrgEx(DC, &Org);
  EXPECT_EQ(Org, Point(1, 1));
  RECT Box;
  EXPECT_EQ(GetClipBox(DC, &Box), SIMPLEREGION);
  EXPECT_EQ(Box, Rect(0, 0, 2, 2)); // the clip came back, in logical units
  for (int Bad : {1, 2, -1, 0})
    EXPECT_FALSE(RestoreDC(DC, Bad)) << Bad;
}

TEST(GdiDcState, DefaultsAndDeviceCaps)
{
  HDC DC = CreateCompatibleDC(nullptr);
  EXPECT_EQ(GetTextColor(DC), RGB(0, 0, 0));
  EXPECT_EQ(GetBkColor(DC), RGB(255, 255, 255));
  EXPECT_EQ(GetBkMode(DC), OPAQUE);
  EXPECT_EQ(GetROP2(DC), R2_COPYPEN);
  EXPECT_EQ(GetStretchBltMode(DC), BLACKONWHITE);
  EXPECT_EQ(GetCurrentObject(DC, OBJ_PEN), GetStockObject(BLACK_PEN));
  EXPECT_EQ(GetCurrentObject(DC, OBJ_BRUSH), GetStockObject(WHITE_BRUSH));
  EXPECT_EQ(GetCurrentObject(DC, OBJ_FONT), GetStockObject(SYSTEM_FONT));
  BITMAP Bm;
  ASSERT_EQ(GetObject(GetCurrentObject(DC, OBJ_BITMAP), sizeof(Bm), &Bm), static_cast<int>(sizeof(Bm)));
  EXPECT_EQ(Bm.bmWidth, 1);
  EXPECT_EQ(Bm.bmBitsPixel, 1);
  EXPECT_EQ(GetObjectType(DC), OBJ_MEMDC);
  const struct {
    int Index, Value;
  } Caps[] = {{LOGPIXELSX, 96}, {LOGPIXELSY, 96}, {BITSPIXEL, 32}, {PLANES, 1}, {NUMCOLORS, -1}, {TECHNOLOGY, DT_RASDISPLAY}};
  for (auto C : Caps)
    EXPECT_EQ(GetDeviceCaps(DC, C.Index), C.Value) << C.Index;
  EXPECT_TRUE(GetDeviceCaps(DC, RASTERCAPS) & RC_STRETCHBLT);
  HDC Screen = CreateDC("DISPLAY", nullptr, nullptr, nullptr);
  ASSERT_NE(Screen, nullptr);
  EXPECT_EQ(GetObjectType(Screen), OBJ_DC);
  EXPECT_EQ(CreateDC("PRINTER", nullptr, nullptr, nullptr), nullptr);
  DeleteDC(Screen);
  DeleteDC(DC);
}
