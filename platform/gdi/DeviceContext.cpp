// Device contexts: creation, state, saving and restoring, coordinates, clipping and selection.
#include "platform/gdi/DeviceContext.h"

#include <cstring>
#include <mutex>

#include "platform/gdi/GdiBrush.h"
#include "platform/gdi/GdiInternal.h"
#include "platform/gdi/GdiPalette.h"
#include "platform/gdi/GdiPen.h"
#include "platform/gdi/SurfaceDC.h"
#include "platform/rtl/Exceptions.h"

namespace {

// "No clip region" combined with a region: the whole coordinate space.
constexpr LONG Far = 1 << 28;
const RECT Everything{-Far, -Far, Far, Far};

struct TScreen {
  std::mutex Lock;
  int Width = 1024;
  int Height = 768;
  HBITMAP Bitmap = nullptr; // created on first use, held by the screen while current
};

TScreen& Screen()
{
  static TScreen* S = new TScreen;
  return *S;
}

void Hold(HGDIOBJ H, TDeviceContext* Owner)
{
  TGdiObject* O = GdiLookupObject(H);
  if (!O)
    return;
  ++O->SelectCount;
  if (O->ObjectType == OBJ_BITMAP && !O->Stock && Owner && Owner->Kind == TDeviceContext::dkMemory)
    static_cast<TGdiBitmap*>(O)->SelectedDC = static_cast<HDC>(Owner->Handle);
}

void Release(HGDIOBJ H)
{
  TGdiObject* O = GdiLookupObject(H);
  if (!O)
    return;
  if (--O->SelectCount <= 0) {
    O->SelectCount = 0;
    if (O->ObjectType == OBJ_BITMAP)
      static_cast<TGdiBitmap*>(O)->SelectedDC = nullptr;
  }
}

void HoldState(const TDcState& S, TDeviceContext* Owner)
{
  Hold(S.Pen, Owner);
  Hold(S.Brush, Owner);
  Hold(S.Font, Owner);
  Hold(S.Bitmap, Owner);
  Hold(S.Palette, Owner);
}

void ReleaseState(const TDcState& S)
{
  Release(S.Pen);
  Release(S.Brush);
  Release(S.Font);
  Release(S.Bitmap);
  Release(S.Palette);
}

HBITMAP ScreenBitmap()
{
  TScreen& S = Screen();
  std::lock_guard<std::mutex> Guard(S.Lock);
  if (!S.Bitmap || !BitmapFromHandle(S.Bitmap)) {
    auto B = TGdiBitmap::Make(S.Width, S.Height, 32, true, false);
    if (!B)
      return nullptr;
    S.Bitmap = static_cast<HBITMAP>(GdiRegisterObject(std::move(B)));
    Hold(S.Bitmap, nullptr);
  }
  return S.Bitmap;
}

HDC NewDC(TDeviceContext::TKind Kind, HBITMAP Target)
{
  auto D = std::make_unique<TDeviceContext>(Kind);
  TDeviceContext* Raw = D.get();
  HDC H = static_cast<HDC>(GdiRegisterObject(std::move(D)));
  Raw->Pen = static_cast<HPEN>(GetStockObject(BLACK_PEN));
  Raw->Brush = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
  Raw->Font = static_cast<HFONT>(GetStockObject(SYSTEM_FONT));
  Raw->Palette = static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE));
  Raw->Bitmap = Target;
  HoldState(*Raw, Raw);
  return H;
}

int ClipResult(TDeviceContext& D) { return D.EffectiveClip().Complexity(); }

// The current clip region, or everything when there is none.
TRegion CurrentClipOrAll(const TDeviceContext& D)
{
  return D.ClipRgn ? *D.ClipRgn : TRegion(Everything);
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TDeviceContext
// ---------------------------------------------------------------------------------------------

TDeviceContext::TDeviceContext(TKind AKind) : TGdiObject(AKind == dkMemory ? OBJ_MEMDC : OBJ_DC), Kind(AKind) {}

TDeviceContext::~TDeviceContext()
{
  for (const TDcState& S : SavedStates)
    ReleaseState(S);
  ReleaseState(*this);
  if (Kind == dkScreen) {
    // An old screen surface left behind by SetScreenSize goes with its last DC.
    TScreen& Sc = Screen();
    std::lock_guard<std::mutex> Guard(Sc.Lock);
    TGdiBitmap* B = BitmapFromHandle(Bitmap);
    if (B && Bitmap != Sc.Bitmap && B->SelectCount.load() == 0)
      GdiDeleteObject(Bitmap);
  }
}

TGdiBitmap* TDeviceContext::TargetBitmap() const
{
  if (TGdiBitmap* B = BitmapFromHandle(Bitmap))
    return B;
  return BitmapFromHandle(GdiInternal::DefaultBitmap());
}

TGdiPen* TDeviceContext::PenObject() const
{
  if (TGdiPen* P = PenFromHandle(Pen))
    return P;
  return PenFromHandle(static_cast<HPEN>(GetStockObject(BLACK_PEN)));
}

TGdiBrush* TDeviceContext::BrushObject() const
{
  if (TGdiBrush* B = BrushFromHandle(Brush))
    return B;
  return BrushFromHandle(static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
}

TGdiFont* TDeviceContext::FontObject() const
{
  if (auto* F = GdiLookup<TGdiFont>(Font, OBJ_FONT))
    return F;
  return GdiLookup<TGdiFont>(GetStockObject(SYSTEM_FONT), OBJ_FONT);
}

TGdiPalette* TDeviceContext::PaletteObject() const
{
  if (TGdiPalette* P = PaletteFromHandle(Palette))
    return P;
  return PaletteFromHandle(static_cast<HPALETTE>(GetStockObject(DEFAULT_PALETTE)));
}

namespace {

// Device coordinates stay within +-2^30 so that later arithmetic cannot overflow.
LONG ClampCoord(std::int64_t V)
{
  constexpr std::int64_t Limit = std::int64_t(1) << 30;
  return static_cast<LONG>(V < -Limit ? -Limit : V > Limit ? Limit : V);
}

} // namespace

POINT TDeviceContext::LPtoDevice(POINT P) const
{
  return POINT{ClampCoord(std::int64_t(P.x) - WindowOrg.x + ViewportOrg.x + Origin.x),
               ClampCoord(std::int64_t(P.y) - WindowOrg.y + ViewportOrg.y + Origin.y)};
}

RECT TDeviceContext::LPtoDevice(const RECT& R) const
{
  POINT A = LPtoDevice(POINT{R.left, R.top});
  POINT B = LPtoDevice(POINT{R.right, R.bottom});
  return RECT{A.x < B.x ? A.x : B.x, A.y < B.y ? A.y : B.y, A.x < B.x ? B.x : A.x, A.y < B.y ? B.y : A.y};
}

POINT TDeviceContext::DeviceToLP(POINT P) const
{
  return POINT{ClampCoord(std::int64_t(P.x) - Origin.x - ViewportOrg.x + WindowOrg.x),
               ClampCoord(std::int64_t(P.y) - Origin.y - ViewportOrg.y + WindowOrg.y)};
}

const TRegion& TDeviceContext::EffectiveClip()
{
  if (FClipValid)
    return FClip;
  TRegion R(Surface().Bounds());
  if (SystemRegion)
    R = TRegion::Combine(R, *SystemRegion, RGN_AND);
  if (ClipRgn) {
    TRegion C = *ClipRgn;
    C.Offset(Origin.x, Origin.y);
    R = TRegion::Combine(R, C, RGN_AND);
  }
  FClip = std::move(R);
  FClipValid = true;
  return FClip;
}

void TDeviceContext::FillDeviceRect(const RECT& Device, COLORREF Color, const RECT* ExtraClip)
{
  RECT Area = Device;
  if (ExtraClip && !IntersectRect(&Area, &Area, ExtraClip))
    return;
  const TSurface& S = Surface();
  std::uint32_t Raw = S.ColorToRaw(Color & 0x00FFFFFF);
  for (const RECT& C : EffectiveClip().Rects()) {
    RECT Part;
    if (!IntersectRect(&Part, &Area, &C))
      continue;
    for (int Y = Part.top; Y < Part.bottom; ++Y) {
      if (S.BitsPerPixel == 32) {
        GdiInternal::FillRow32(reinterpret_cast<std::uint32_t*>(S.Row(Y)) + Part.left, Part.right - Part.left, Raw);
      } else {
        for (int X = Part.left; X < Part.right; ++X)
          S.SetRaw(X, Y, Raw);
      }
    }
  }
}

void TDeviceContext::BlendMask(int DeviceX, int DeviceY, const std::uint8_t* Coverage, int W, int H, int Stride,
                               COLORREF Color, const RECT* ExtraClip)
{
  if (!Coverage || W <= 0 || H <= 0)
    return;
  RECT Area{DeviceX, DeviceY, DeviceX + W, DeviceY + H};
  if (ExtraClip && !IntersectRect(&Area, &Area, ExtraClip))
    return;
  const TSurface& S = Surface();
  std::uint32_t Full = S.ColorToRaw(Color & 0x00FFFFFF);
  int Cr = GetRValue(Color), Cg = GetGValue(Color), Cb = GetBValue(Color);
  for (const RECT& C : EffectiveClip().Rects()) {
    RECT Part;
    if (!IntersectRect(&Part, &Area, &C))
      continue;
    for (int Y = Part.top; Y < Part.bottom; ++Y) {
      const std::uint8_t* Cov = Coverage + static_cast<std::ptrdiff_t>(Y - DeviceY) * Stride;
      for (int X = Part.left; X < Part.right; ++X) {
        int A = Cov[X - DeviceX];
        if (A == 0)
          continue;
        if (A == 255) {
          S.SetRaw(X, Y, Full);
          continue;
        }
        COLORREF D = S.GetColor(X, Y);
        int Inv = 255 - A;
        BYTE R = static_cast<BYTE>((Cr * A + GetRValue(D) * Inv + 127) / 255);
        BYTE G = static_cast<BYTE>((Cg * A + GetGValue(D) * Inv + 127) / 255);
        BYTE B = static_cast<BYTE>((Cb * A + GetBValue(D) * Inv + 127) / 255);
        S.SetRaw(X, Y, S.ColorToRaw(RGB(R, G, B)));
      }
    }
  }
}

TDeviceContext* DcFromHandle(HDC DC) { return GdiLookup<TDeviceContext>(DC, OBJ_DC); }

// ---------------------------------------------------------------------------------------------
// Creation and deletion
// ---------------------------------------------------------------------------------------------

HDC CreateCompatibleDC(HDC DC)
{
  if (DC && !DcFromHandle(DC)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  return NewDC(TDeviceContext::dkMemory, GdiInternal::DefaultBitmap());
}

HDC CreateDCA(LPCSTR Driver, LPCSTR, LPCSTR, const void*)
{
  if (!Driver)
    return nullptr;
  String Name(Driver);
  for (char& C : Name)
    if (C >= 'a' && C <= 'z')
      C = static_cast<char>(C - 'a' + 'A');
  if (Name != "DISPLAY") {
    SetLastError(ERROR_INVALID_PARAMETER);
    return nullptr;
  }
  HBITMAP B = ScreenBitmap();
  if (!B)
    return nullptr;
  return NewDC(TDeviceContext::dkScreen, B);
}

BOOL DeleteDC(HDC DC)
{
  if (!DcFromHandle(DC)) {
    SetLastError(ERROR_INVALID_HANDLE);
    return FALSE;
  }
  return GdiDeleteObject(DC) ? TRUE : FALSE;
}

HDC CreateSurfaceDC(HBITMAP Surface, POINT Origin, const TRegion* SystemRegion)
{
  TGdiBitmap* B = BitmapFromHandle(Surface);
  if (!B || B->Surface.BitsPerPixel != 32 || B->Stock)
    return nullptr;
  HDC H = NewDC(TDeviceContext::dkSurface, Surface);
  TDeviceContext* D = DcFromHandle(H);
  D->Origin = Origin;
  if (SystemRegion)
    D->SystemRegion = *SystemRegion;
  D->InvalidateClip();
  return H;
}

void SetSurfaceDCOrigin(HDC DC, POINT Origin, const TRegion* SystemRegion)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return;
  D->Origin = Origin;
  if (SystemRegion)
    D->SystemRegion = *SystemRegion;
  else
    D->SystemRegion.reset();
  D->InvalidateClip();
}

void SetDCWindow(HDC DC, HWND Window)
{
  if (TDeviceContext* D = DcFromHandle(DC))
    D->Window = Window;
}

HWND WindowFromDC(HDC DC)
{
  TDeviceContext* D = DcFromHandle(DC);
  return D ? D->Window : nullptr;
}

void SetScreenSize(int Width, int Height)
{
  if (Width <= 0 || Height <= 0)
    return;
  TScreen& S = Screen();
  HBITMAP Old;
  {
    std::lock_guard<std::mutex> Guard(S.Lock);
    if (S.Width == Width && S.Height == Height)
      return;
    S.Width = Width;
    S.Height = Height;
    Old = S.Bitmap;
    S.Bitmap = nullptr;
  }
  if (Old) {
    Release(Old);
    GdiDeleteObject(Old); // refused while screen DCs still draw on it
  }
}

SIZE GetScreenSize()
{
  TScreen& S = Screen();
  std::lock_guard<std::mutex> Guard(S.Lock);
  return SIZE{S.Width, S.Height};
}

// ---------------------------------------------------------------------------------------------
// Saved states
// ---------------------------------------------------------------------------------------------

int SaveDC(HDC DC)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return 0;
  D->SavedStates.push_back(static_cast<const TDcState&>(*D));
  HoldState(D->SavedStates.back(), D);
  return static_cast<int>(D->SavedStates.size());
}

BOOL RestoreDC(HDC DC, int SavedDC)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  int Count = static_cast<int>(D->SavedStates.size());
  int Target = SavedDC < 0 ? Count + 1 + SavedDC : SavedDC;
  if (SavedDC == 0 || Target < 1 || Target > Count)
    return FALSE;
  // A bitmap of the state to restore may meanwhile be selected into another memory DC.
  const TDcState& Restored = D->SavedStates[Target - 1];
  if (D->Kind == TDeviceContext::dkMemory && Restored.Bitmap != D->Bitmap) {
    TGdiBitmap* B = BitmapFromHandle(Restored.Bitmap);
    if (B && B->SelectedDC && B->SelectedDC != DC)
      return FALSE;
  }
  ReleaseState(*D);
  for (int I = Count - 1; I >= Target; --I)
    ReleaseState(D->SavedStates[I]);
  static_cast<TDcState&>(*D) = std::move(D->SavedStates[Target - 1]);
  D->SavedStates.resize(Target - 1);
  // The restored state's holds now belong to the current state; the bitmap's owner is this DC.
  if (TGdiBitmap* B = BitmapFromHandle(D->Bitmap))
    if (!B->Stock && D->Kind == TDeviceContext::dkMemory)
      B->SelectedDC = DC;
  D->InvalidateClip();
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Device capabilities
// ---------------------------------------------------------------------------------------------

int GetDeviceCaps(HDC DC, int Index)
{
  if (!DcFromHandle(DC))
    return 0;
  SIZE Screen = GetScreenSize();
  switch (Index) {
  case DRIVERVERSION:
    return 0x4000;
  case TECHNOLOGY:
    return DT_RASDISPLAY;
  case HORZSIZE:
    return static_cast<int>(Screen.cx * 254 / 960);
  case VERTSIZE:
    return static_cast<int>(Screen.cy * 254 / 960);
  case HORZRES:
  case DESKTOPHORZRES:
    return Screen.cx;
  case VERTRES:
  case DESKTOPVERTRES:
    return Screen.cy;
  case BITSPIXEL:
    return 32;
  case PLANES:
    return 1;
  case NUMBRUSHES:
  case NUMPENS:
  case NUMCOLORS:
    return -1;
  case NUMMARKERS:
  case NUMFONTS:
    return 0;
  case PDEVICESIZE:
    return 0;
  case CURVECAPS:
    return 0xFF;
  case LINECAPS:
    return 0xFE;
  case POLYGONALCAPS:
    return 0xFF;
  case TEXTCAPS:
    return 0x7E07;
  case CLIPCAPS:
    return 1;
  case RASTERCAPS:
    return RC_BITBLT | RC_BITMAP64 | RC_GDI20_OUTPUT | RC_DI_BITMAP | RC_DIBTODEV | RC_BIGFONT | RC_STRETCHBLT |
           RC_FLOODFILL | RC_STRETCHDIB;
  case ASPECTX:
  case ASPECTY:
    return 36;
  case ASPECTXY:
    return 51;
  case LOGPIXELSX:
  case LOGPIXELSY:
    return 96;
  case SIZEPALETTE:
  case NUMRESERVED:
    return 0;
  case COLORRES:
    return 24;
  case VREFRESH:
    return 60;
  case BLTALIGNMENT:
    return 0;
  case SHADEBLENDCAPS:
    return SB_CONST_ALPHA | SB_PIXEL_ALPHA | SB_PREMULT_ALPHA;
  default:
    return 0;
  }
}

// ---------------------------------------------------------------------------------------------
// Coordinates
// ---------------------------------------------------------------------------------------------

namespace {

BOOL SetPoint(HDC DC, POINT TDcState::*Field, int X, int Y, POINT* Old, bool Relative)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return FALSE;
  POINT& P = D->*Field;
  if (Old)
    *Old = P;
  P = Relative ? POINT{P.x + X, P.y + Y} : POINT{X, Y};
  return TRUE;
}

BOOL GetPoint(HDC DC, POINT TDcState::*Field, POINT* Out)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Out)
    return FALSE;
  *Out = D->*Field;
  return TRUE;
}

} // namespace

BOOL SetViewportOrgEx(HDC DC, int X, int Y, POINT* Old) { return SetPoint(DC, &TDcState::ViewportOrg, X, Y, Old, false); }
BOOL GetViewportOrgEx(HDC DC, POINT* Org) { return GetPoint(DC, &TDcState::ViewportOrg, Org); }
BOOL OffsetViewportOrgEx(HDC DC, int Dx, int Dy, POINT* Old)
{
  return SetPoint(DC, &TDcState::ViewportOrg, Dx, Dy, Old, true);
}
BOOL SetWindowOrgEx(HDC DC, int X, int Y, POINT* Old) { return SetPoint(DC, &TDcState::WindowOrg, X, Y, Old, false); }
BOOL GetWindowOrgEx(HDC DC, POINT* Org) { return GetPoint(DC, &TDcState::WindowOrg, Org); }
BOOL OffsetWindowOrgEx(HDC DC, int Dx, int Dy, POINT* Old)
{
  return SetPoint(DC, &TDcState::WindowOrg, Dx, Dy, Old, true);
}
BOOL SetBrushOrgEx(HDC DC, int X, int Y, POINT* Old) { return SetPoint(DC, &TDcState::BrushOrg, X, Y, Old, false); }
BOOL GetBrushOrgEx(HDC DC, POINT* Org) { return GetPoint(DC, &TDcState::BrushOrg, Org); }
BOOL MoveToEx(HDC DC, int X, int Y, POINT* Old) { return SetPoint(DC, &TDcState::CurrentPos, X, Y, Old, false); }
BOOL GetCurrentPositionEx(HDC DC, POINT* Pos) { return GetPoint(DC, &TDcState::CurrentPos, Pos); }

BOOL LPtoDP(HDC DC, POINT* Points, int Count)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || (Count > 0 && !Points))
    return FALSE;
  for (int I = 0; I < Count; ++I)
    Points[I] = POINT{Points[I].x - D->WindowOrg.x + D->ViewportOrg.x, Points[I].y - D->WindowOrg.y + D->ViewportOrg.y};
  return TRUE;
}

BOOL DPtoLP(HDC DC, POINT* Points, int Count)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || (Count > 0 && !Points))
    return FALSE;
  for (int I = 0; I < Count; ++I)
    Points[I] = POINT{Points[I].x + D->WindowOrg.x - D->ViewportOrg.x, Points[I].y + D->WindowOrg.y - D->ViewportOrg.y};
  return TRUE;
}

int SetMapMode(HDC DC, int Mode)
{
  if (!DcFromHandle(DC) || Mode != MM_TEXT)
    return 0;
  return MM_TEXT;
}

int GetMapMode(HDC DC) { return DcFromHandle(DC) ? MM_TEXT : 0; }

BOOL GetDCOrgEx(HDC DC, POINT* Org)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Org)
    return FALSE;
  *Org = D->Origin;
  return TRUE;
}

// ---------------------------------------------------------------------------------------------
// Clipping
// ---------------------------------------------------------------------------------------------

int SelectClipRgn(HDC DC, HRGN Rgn) { return ExtSelectClipRgn(DC, Rgn, RGN_COPY); }

int ExtSelectClipRgn(HDC DC, HRGN Rgn, int Mode)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || Mode < RGN_AND || Mode > RGN_COPY)
    return ERROR;
  if (!Rgn) {
    if (Mode != RGN_COPY)
      return ERROR;
    D->ClipRgn.reset();
  } else {
    TRegion* R = RegionFromHandle(Rgn);
    if (!R)
      return ERROR;
    if (Mode == RGN_COPY)
      D->ClipRgn = *R;
    else
      D->ClipRgn = TRegion::Combine(CurrentClipOrAll(*D), *R, Mode);
  }
  D->InvalidateClip();
  return ClipResult(*D);
}

int IntersectClipRect(HDC DC, int Left, int Top, int Right, int Bottom)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return ERROR;
  RECT R{Left, Top, Right, Bottom};
  R = D->LPtoDevice(R);
  OffsetRect(&R, -D->Origin.x, -D->Origin.y);
  TRegion C = CurrentClipOrAll(*D);
  C.IntersectWith(R);
  D->ClipRgn = std::move(C);
  D->InvalidateClip();
  return ClipResult(*D);
}

int ExcludeClipRect(HDC DC, int Left, int Top, int Right, int Bottom)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return ERROR;
  RECT R{Left, Top, Right, Bottom};
  R = D->LPtoDevice(R);
  OffsetRect(&R, -D->Origin.x, -D->Origin.y);
  TRegion C = CurrentClipOrAll(*D);
  C.Subtract(R);
  D->ClipRgn = std::move(C);
  D->InvalidateClip();
  return ClipResult(*D);
}

int OffsetClipRgn(HDC DC, int Dx, int Dy)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return ERROR;
  if (D->ClipRgn) {
    D->ClipRgn->Offset(Dx, Dy);
    D->InvalidateClip();
  }
  return ClipResult(*D);
}

int GetClipBox(HDC DC, RECT* Rect)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Rect)
    return ERROR;
  const TRegion& C = D->EffectiveClip();
  if (C.IsEmpty()) {
    *Rect = RECT{};
    return NULLREGION;
  }
  RECT Box = C.Box();
  POINT A = D->DeviceToLP(POINT{Box.left, Box.top});
  POINT B = D->DeviceToLP(POINT{Box.right, Box.bottom});
  *Rect = RECT{A.x, A.y, B.x, B.y};
  return C.Complexity();
}

int GetClipRgn(HDC DC, HRGN Rgn)
{
  TDeviceContext* D = DcFromHandle(DC);
  TRegion* R = RegionFromHandle(Rgn);
  if (!D || !R)
    return -1;
  if (!D->ClipRgn)
    return 0;
  *R = *D->ClipRgn;
  return 1;
}

BOOL PtVisible(HDC DC, int X, int Y)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return -1;
  POINT P = D->LPtoDevice(POINT{X, Y});
  return D->EffectiveClip().Contains(P.x, P.y) ? TRUE : FALSE;
}

BOOL RectVisible(HDC DC, const RECT* Rect)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D || !Rect)
    return FALSE;
  RECT R = D->LPtoDevice(*Rect);
  return D->EffectiveClip().Intersects(R) ? TRUE : FALSE;
}

// ---------------------------------------------------------------------------------------------
// Simple state
// ---------------------------------------------------------------------------------------------

namespace {

template <class T>
T SetField(HDC DC, T TDcState::*Field, T Value, T Failure)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return Failure;
  T Old = D->*Field;
  D->*Field = Value;
  return Old;
}

template <class T>
T GetField(HDC DC, T TDcState::*Field, T Failure)
{
  TDeviceContext* D = DcFromHandle(DC);
  return D ? D->*Field : Failure;
}

} // namespace

COLORREF SetTextColor(HDC DC, COLORREF Color)
{
  return SetField<COLORREF>(DC, &TDcState::TextColor, Color & 0x00FFFFFF, CLR_INVALID);
}
COLORREF GetTextColor(HDC DC) { return GetField<COLORREF>(DC, &TDcState::TextColor, CLR_INVALID); }
COLORREF SetBkColor(HDC DC, COLORREF Color)
{
  return SetField<COLORREF>(DC, &TDcState::BkColor, Color & 0x00FFFFFF, CLR_INVALID);
}
COLORREF GetBkColor(HDC DC) { return GetField<COLORREF>(DC, &TDcState::BkColor, CLR_INVALID); }
int SetBkMode(HDC DC, int Mode)
{
  if (Mode != TRANSPARENT && Mode != OPAQUE)
    return 0;
  return SetField<int>(DC, &TDcState::BkMode, Mode, 0);
}
int GetBkMode(HDC DC) { return GetField<int>(DC, &TDcState::BkMode, 0); }
UINT SetTextAlign(HDC DC, UINT Align) { return SetField<UINT>(DC, &TDcState::TextAlign, Align & TA_MASK, GDI_ERROR); }
UINT GetTextAlign(HDC DC) { return GetField<UINT>(DC, &TDcState::TextAlign, GDI_ERROR); }
int SetTextCharacterExtra(HDC DC, int Extra)
{
  return SetField<int>(DC, &TDcState::TextCharacterExtra, Extra, static_cast<int>(0x80000000));
}
int GetTextCharacterExtra(HDC DC) { return GetField<int>(DC, &TDcState::TextCharacterExtra, static_cast<int>(0x80000000)); }
int SetROP2(HDC DC, int Rop2)
{
  if (Rop2 < R2_BLACK || Rop2 > R2_WHITE)
    return 0;
  return SetField<int>(DC, &TDcState::Rop2, Rop2, 0);
}
int GetROP2(HDC DC) { return GetField<int>(DC, &TDcState::Rop2, 0); }
int SetStretchBltMode(HDC DC, int Mode)
{
  if (Mode < BLACKONWHITE || Mode > HALFTONE)
    return 0;
  return SetField<int>(DC, &TDcState::StretchMode, Mode, 0);
}
int GetStretchBltMode(HDC DC) { return GetField<int>(DC, &TDcState::StretchMode, 0); }
int SetPolyFillMode(HDC DC, int Mode)
{
  if (Mode != ALTERNATE && Mode != WINDING)
    return 0;
  return SetField<int>(DC, &TDcState::PolyFillMode, Mode, 0);
}
int GetPolyFillMode(HDC DC) { return GetField<int>(DC, &TDcState::PolyFillMode, 0); }
COLORREF SetDCBrushColor(HDC DC, COLORREF Color)
{
  return SetField<COLORREF>(DC, &TDcState::DCBrushColor, Color & 0x00FFFFFF, CLR_INVALID);
}
COLORREF GetDCBrushColor(HDC DC) { return GetField<COLORREF>(DC, &TDcState::DCBrushColor, CLR_INVALID); }
COLORREF SetDCPenColor(HDC DC, COLORREF Color)
{
  return SetField<COLORREF>(DC, &TDcState::DCPenColor, Color & 0x00FFFFFF, CLR_INVALID);
}
COLORREF GetDCPenColor(HDC DC) { return GetField<COLORREF>(DC, &TDcState::DCPenColor, CLR_INVALID); }

// ---------------------------------------------------------------------------------------------
// Selection
// ---------------------------------------------------------------------------------------------

namespace {

template <class H>
HGDIOBJ Swap(TDeviceContext* D, H TDcState::*Field, HGDIOBJ New)
{
  H Old = D->*Field;
  if (Old == New)
    return Old;
  Hold(New, D);
  D->*Field = static_cast<H>(New);
  Release(Old);
  return Old;
}

} // namespace

HGDIOBJ SelectObject(HDC DC, HGDIOBJ Object)
{
  TDeviceContext* D = DcFromHandle(DC);
  TGdiObject* O = GdiLookupObject(Object);
  if (!D || !O) {
    SetLastError(ERROR_INVALID_HANDLE);
    return nullptr;
  }
  switch (O->ObjectType) {
  case OBJ_PEN:
  case OBJ_EXTPEN:
    return Swap(D, &TDcState::Pen, Object);
  case OBJ_BRUSH:
    return Swap(D, &TDcState::Brush, Object);
  case OBJ_FONT:
    return Swap(D, &TDcState::Font, Object);
  case OBJ_BITMAP: {
    if (D->Kind != TDeviceContext::dkMemory)
      return nullptr;
    auto* B = static_cast<TGdiBitmap*>(O);
    if (!B->Stock && B->SelectCount.load() > 0 && B->SelectedDC != DC)
      return nullptr; // in another DC (or a window's backing store)
    HGDIOBJ Old = Swap(D, &TDcState::Bitmap, Object);
    D->InvalidateClip();
    return Old;
  }
  case OBJ_REGION: {
    int Result = SelectClipRgn(DC, static_cast<HRGN>(Object));
    return Result == ERROR ? HGDI_ERROR : reinterpret_cast<HGDIOBJ>(static_cast<std::intptr_t>(Result));
  }
  default:
    return nullptr;
  }
}

HGDIOBJ GetCurrentObject(HDC DC, UINT Type)
{
  TDeviceContext* D = DcFromHandle(DC);
  if (!D)
    return nullptr;
  switch (Type) {
  case OBJ_PEN:
  case OBJ_EXTPEN:
    return D->Pen;
  case OBJ_BRUSH:
    return D->Brush;
  case OBJ_FONT:
    return D->Font;
  case OBJ_BITMAP:
    return D->Bitmap;
  case OBJ_PAL:
    return D->Palette;
  default:
    return nullptr;
  }
}
