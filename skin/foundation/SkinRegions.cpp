#include "skin/foundation/SkinRegions.h"

#include <algorithm>
#include <cstring>

#include "platform/vcl/Forms.h"
#include "platform/win/WinUser.h"
#include "skin/foundation/SkinDrawUtils.h"

// ---------------------------------------------------------------------------------------------
// TFBitmap
// ---------------------------------------------------------------------------------------------

TFBitmap::TFBitmap(HBITMAP BitmapHandle)
{
  BITMAP bm{};
  if (!BitmapHandle || GetObjectA(BitmapHandle, sizeof(BITMAP), &bm) == 0)
    return;
  const int w = bm.bmWidth;
  const int h = std::abs(bm.bmHeight);
  if (w <= 0 || h <= 0)
    return;
  Info.bmiHeader.biSize = 40;
  Info.bmiHeader.biWidth = w;
  Info.bmiHeader.biHeight = -h;
  Info.bmiHeader.biPlanes = 1;
  Info.bmiHeader.biBitCount = 24;
  Info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  Handle = CreateDIBSection(nullptr, &Info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!Handle || !bits) {
    if (Handle)
      DeleteObject(Handle);
    Handle = nullptr;
    return;
  }
  Bits = static_cast<Byte*>(bits);
  Width = w;
  Height = h;
  Gap = w % 4;
  RowInc = w * 3 + Gap;
  Size = RowInc * h;
  HDC screen = GetDC(nullptr);
  GetDIBits(screen, BitmapHandle, 0, static_cast<UINT>(h), Bits, &Info, DIB_RGB_COLORS);
  ReleaseDC(nullptr, screen);
  Pixels.resize(static_cast<std::size_t>(h));
  for (int i = 0; i < h; ++i)
    Pixels[static_cast<std::size_t>(i)] = Bits + static_cast<std::ptrdiff_t>(i) * RowInc;
  hDC = CreateCompatibleDC(nullptr);
  if (hDC)
    FOldBitmap = SelectObject(hDC, Handle);
}

TFBitmap::~TFBitmap()
{
  if (hDC) {
    if (FOldBitmap)
      SelectObject(hDC, FOldBitmap);
    DeleteDC(hDC);
  }
  if (Handle)
    DeleteObject(Handle);
}

// ---------------------------------------------------------------------------------------------
// Regions from masks
// ---------------------------------------------------------------------------------------------

int BuildRegionDataFromMask(TBitmap* Mask, int X, int Y, std::vector<std::uint8_t>& Data)
{
  if (!Mask || Mask->Empty())
    return 0;
  TFBitmap scan(Mask->GetHandle());
  if (!scan.Bits)
    return 0;
  // The rectangles grow as needed: complex masks are not limited to a fixed count.
  std::vector<RECT> rects;
  for (int y = 0; y < scan.Height; ++y) {
    const Byte* row = scan.Pixels[static_cast<std::size_t>(y)];
    auto black = [row](int x) { return row[x * 3] == 0 && row[x * 3 + 1] == 0 && row[x * 3 + 2] == 0; };
    int x = 0;
    while (x < scan.Width) {
      if (!black(x)) {
        ++x;
        continue;
      }
      int end = x + 1;
      while (end < scan.Width && black(end))
        ++end;
      rects.push_back(RECT{X + x, Y + y, X + end, Y + y + 1});
      x = end;
    }
  }
  const std::size_t size = 32 + 16 * rects.size();
  Data.assign(size, 0);
  RGNDATAHEADER header;
  header.dwSize = 32;
  header.iType = RDH_RECTANGLES;
  header.nCount = static_cast<DWORD>(rects.size());
  header.nRgnSize = 0;
  header.rcBound = RECT{X, Y, X + scan.Width, Y + scan.Height};
  static_assert(sizeof(RGNDATAHEADER) == 32 && sizeof(RECT) == 16);
  std::memcpy(Data.data(), &header, 32);
  if (!rects.empty())
    std::memcpy(Data.data() + 32, rects.data(), 16 * rects.size());
  return static_cast<int>(size);
}

namespace {

HRGN RegionFromData(const std::vector<std::uint8_t>& Data, int Size)
{
  if (Size <= 0)
    return nullptr;
  return ExtCreateRegion(nullptr, static_cast<DWORD>(Size), reinterpret_cast<const RGNDATA*>(Data.data()));
}

// Copies Src of Mask one to one to Dst of Target.
void Copy(TBitmap* Target, const TRect& Dst, TBitmap* Mask, const TRect& Src)
{
  Target->GetCanvas()->CopyRect(Dst, Mask->GetCanvas(), Src);
}

} // namespace

void CreateRegionFromMask(HRGN& Rgn, TBitmap* Mask)
{
  std::vector<std::uint8_t> data;
  Rgn = RegionFromData(data, BuildRegionDataFromMask(Mask, 0, 0, data));
}

void BuildFrameEdgeMasks(const TPoint& LT, const TPoint& RT, const TPoint& LB, const TPoint& RB, const TRect& CR,
                         const TPoint& NLT, const TPoint& NRT, const TPoint& NLB, const TPoint& NRB, const TRect& NCR,
                         TBitmap* Mask, TBitmap* TopMask, TBitmap* LeftMask, TBitmap* RightMask, TBitmap* BottomMask,
                         int W)
{
  if (!Mask || Mask->Empty())
    return;
  const int mw = Mask->GetWidth();
  const int mh = Mask->GetHeight();
  const int nh = NCR.bottom - NCR.top;

  // Left and right strips: the middle rows tiled down the new height, then both ends.
  auto side = [&](TBitmap* Strip, int FromX, int ToX, int TopY, int BottomY) {
    const int sw = ToX - FromX;
    Strip->SetSize(sw, nh);
    if (BottomY != TopY) {
      const int step = BottomY - TopY;
      for (int y = 0; step > 0 && y < nh; y += step) {
        const int len = std::min(step, nh - y);
        Copy(Strip, TRect{0, y, sw, y + len}, Mask, TRect{FromX, TopY, ToX, TopY + len});
      }
    }
    if (TopY - CR.top > 0)
      Copy(Strip, TRect{0, 0, sw, TopY - CR.top}, Mask, TRect{FromX, CR.top, ToX, TopY});
    if (CR.bottom - BottomY > 0)
      Copy(Strip, TRect{0, nh - (CR.bottom - BottomY), sw, nh}, Mask, TRect{FromX, BottomY, ToX, CR.bottom});
  };
  if (LeftMask && CR.left > 0 && nh > 0)
    side(LeftMask, 0, CR.left, LT.y, LB.y);
  if (RightMask && mw - CR.right > 0 && nh > 0)
    side(RightMask, CR.right, mw, RT.y, RB.y);

  // Top and bottom strips: the middle piece tiled across the new width, then both ends.
  auto across = [&](TBitmap* Strip, int FromY, int ToY, int LeftX, int RightX, int NewLeftX, int NewRightX) {
    const int sh = ToY - FromY;
    Strip->SetSize(W, sh);
    if (RightX != LeftX) {
      const int step = RightX - LeftX;
      for (int x = NewLeftX; step > 0 && x < NewRightX; x += step) {
        const int len = std::min(step, NewRightX - x);
        Copy(Strip, TRect{x, 0, x + len, sh}, Mask, TRect{LeftX, FromY, LeftX + len, ToY});
      }
    }
    Copy(Strip, TRect{0, 0, LeftX, sh}, Mask, TRect{0, FromY, LeftX, ToY});
    Copy(Strip, TRect{NewRightX, 0, W, sh}, Mask, TRect{RightX, FromY, mw, ToY});
  };
  if (TopMask && W > 0 && CR.top > 0)
    across(TopMask, 0, CR.top, LT.x, RT.x, NLT.x, NRT.x);
  if (BottomMask && W >= 1 && mh - CR.bottom >= 1)
    across(BottomMask, CR.bottom, mh, LB.x, RB.x, NLB.x, NRB.x);
}

void CreateFrameRegion(HRGN& Rgn, const TPoint& LT, const TPoint& RT, const TPoint& LB, const TPoint& RB,
                       const TRect& CR, const TPoint& NLT, const TPoint& NRT, const TPoint& NLB, const TPoint& NRB,
                       const TRect& NCR, TBitmap* Mask, int W, int H)
{
  (void)H;
  Rgn = nullptr;
  if (NRT.x < NLT.x || NLB.y < NLT.y)
    return;
  TBitmap top, left, right, bottom;
  BuildFrameEdgeMasks(LT, RT, LB, RB, CR, NLT, NRT, NLB, NRB, NCR, Mask, &top, &left, &right, &bottom, W);
  auto strip = [](TBitmap& B, int X, int Y) -> HRGN {
    if (B.GetWidth() <= 0 || B.GetHeight() <= 0)
      return nullptr;
    std::vector<std::uint8_t> data;
    return RegionFromData(data, BuildRegionDataFromMask(&B, X, Y, data));
  };
  HRGN parts[4] = {strip(top, 0, 0), strip(bottom, 0, NCR.bottom), strip(left, 0, NCR.top),
                   strip(right, NCR.right, NCR.top)};
  if (!IsNullRect(NCR)) {
    Rgn = CreateRectRgn(NCR.left, NCR.top, NCR.right, NCR.bottom);
    for (HRGN part : parts)
      if (part)
        CombineRgn(Rgn, Rgn, part, RGN_OR);
  }
  for (HRGN part : parts)
    if (part)
      DeleteObject(part);
}

// ---------------------------------------------------------------------------------------------
// Parent capture
// ---------------------------------------------------------------------------------------------

namespace {

// Reaches the class library's protected PaintWindow of any windowed control.
struct TPaintWindowAccess : TWinControl {
  using TWinControl::PaintWindow;
};

void PaintUnder(TControl* Control, int Dx, int Dy, TCanvas* Canvas)
{
  if (!Control || !Canvas || !Control->GetParent())
    return;
  TWinControl* parent = Control->GetParent();
  HDC dc = Canvas->GetHandle();
  const TRect bounds = Control->GetBoundsRect();
  TControl* sibling = nullptr;
  bool saved = false;
  const int state = SaveDC(dc);
  saved = true;
  parent->SetControlState(parent->GetControlState() | csPaintCopy);
  try {
    SetViewportOrgEx(dc, -Control->GetLeft() - Dx, -Control->GetTop() - Dy, nullptr);
    IntersectClipRect(dc, 0, 0, parent->GetClientWidth(), parent->GetClientHeight());
    // There is no separate MDI client window here: an MDI form erases its own background.
    parent->Perform(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc), 0);
    if (!dynamic_cast<TCustomForm*>(parent))
      (parent->*(&TPaintWindowAccess::PaintWindow))(dc);
    RestoreDC(dc, state);
    saved = false;

    for (int i = 0; i < parent->GetControlCount(); ++i) {
      TControl* c = parent->GetControl(i);
      if (c == Control)
        break;
      if (!dynamic_cast<TGraphicControl*>(c) || !c->GetVisible())
        continue;
      const TRect cb = c->GetBoundsRect();
      TRect common{};
      if (!IntersectRect(&common, &cb, &bounds))
        continue;
      sibling = c;
      c->SetControlState(c->GetControlState() | csPaintCopy);
      const int siblingState = SaveDC(dc);
      saved = true;
      SetViewportOrgEx(dc, c->GetLeft() - Control->GetLeft() - Dx, c->GetTop() - Control->GetTop() - Dy, nullptr);
      IntersectClipRect(dc, 0, 0, c->GetWidth(), c->GetHeight());
      c->Perform(WM_PAINT, reinterpret_cast<WPARAM>(dc), 0);
      RestoreDC(dc, siblingState);
      saved = false;
      c->SetControlState(c->GetControlState() & ~csPaintCopy);
      sibling = nullptr;
    }
  } catch (...) {
    if (saved)
      RestoreDC(dc, -1);
    if (sibling)
      sibling->SetControlState(sibling->GetControlState() & ~csPaintCopy);
    parent->SetControlState(parent->GetControlState() & ~csPaintCopy);
    throw;
  }
  parent->SetControlState(parent->GetControlState() & ~csPaintCopy);
}

} // namespace

void PaintParentBackground(TControl* Control, TCanvas* Canvas) { PaintUnder(Control, 0, 0, Canvas); }

void PaintPageControlBackground(TControl* Control, const TRect& R, TCanvas* Canvas)
{
  PaintUnder(Control, R.left, R.top, Canvas);
}

void CopyScreenToBitmap(int X, int Y, TBitmap* Bitmap)
{
  if (!Bitmap || Bitmap->Empty())
    return;
  HDC screen = GetDC(nullptr);
  BitBlt(Bitmap->GetCanvas()->GetHandle(), 0, 0, Bitmap->GetWidth(), Bitmap->GetHeight(), screen, X, Y, SRCCOPY);
  ReleaseDC(nullptr, screen);
}
