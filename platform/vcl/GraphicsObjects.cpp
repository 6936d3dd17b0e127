#include "platform/vcl/GraphicsObjects.h"

#include <algorithm>
#include <cstring>
#include <mutex>
#include <vector>

#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Bitmap.h"

COLORREF ColorToRGB(TColor Color) {
  if (Color & 0x80000000u) return GetSysColor(static_cast<int>(Color & 0xFF));
  return Color;
}

namespace {
std::mutex PendingLock;
std::vector<HGDIOBJ>& PendingDeletes() {
  static std::vector<HGDIOBJ> List;
  return List;
}
}  // namespace

void DeleteGdiObjectSafely(HGDIOBJ Object) {
  std::lock_guard<std::mutex> Lock(PendingLock);
  auto& Pending = PendingDeletes();
  // Objects kept earlier go once no DC holds them; stale handles are simply refused by GDI.
  Pending.erase(std::remove_if(Pending.begin(), Pending.end(),
                               [](HGDIOBJ H) { return DeleteObject(H) || GetObjectType(H) == 0; }),
                Pending.end());
  if (Object && !DeleteObject(Object) && GetObjectType(Object) != 0) Pending.push_back(Object);
}

void TGraphicsObject::Changed() {
  if (OnChange) OnChange(this);
  FreeHandle();
}

// ---------------------------------------------------------------------------------------------

TFont::TFont() = default;

TFont::~TFont() { FreeHandle(); }

void TFont::FreeHandle() {
  if (FHandle) DeleteGdiObjectSafely(FHandle);
  FHandle = nullptr;
}

LOGFONTA TFont::GetLogFont() const {
  LOGFONTA LF;
  LF.lfHeight = FHeight;
  LF.lfEscapement = FOrientation;
  LF.lfOrientation = FOrientation;
  LF.lfWeight = (FStyle & fsBold) ? FW_BOLD : FW_NORMAL;
  LF.lfItalic = (FStyle & fsItalic) ? 1 : 0;
  LF.lfUnderline = (FStyle & fsUnderline) ? 1 : 0;
  LF.lfStrikeOut = (FStyle & fsStrikeOut) ? 1 : 0;
  LF.lfCharSet = FCharset;
  LF.lfOutPrecision = OUT_DEFAULT_PRECIS;
  LF.lfClipPrecision = CLIP_DEFAULT_PRECIS;
  LF.lfQuality = DEFAULT_QUALITY;
  LF.lfPitchAndFamily = FPitch == fpFixed ? FIXED_PITCH : FPitch == fpVariable ? VARIABLE_PITCH : DEFAULT_PITCH;
  size_t N = std::min(FName.size(), static_cast<size_t>(LF_FACESIZE - 1));
  std::memcpy(LF.lfFaceName, FName.data(), N);
  LF.lfFaceName[N] = 0;
  return LF;
}

HFONT TFont::GetHandle() {
  if (!FHandle) {
    LOGFONTA LF = GetLogFont();
    FHandle = CreateFontIndirectA(&LF);
  }
  return FHandle;
}

void TFont::SetHandle(HFONT Value) {
  LOGFONTA LF;
  if (!Value || GetObjectA(Value, sizeof(LF), &LF) != static_cast<int>(sizeof(LF))) return;
  FName.assign(LF.lfFaceName, strnlen(LF.lfFaceName, LF_FACESIZE));
  FHeight = LF.lfHeight;
  FStyle = 0;
  if (LF.lfWeight >= FW_BOLD) FStyle |= fsBold;
  if (LF.lfItalic) FStyle |= fsItalic;
  if (LF.lfUnderline) FStyle |= fsUnderline;
  if (LF.lfStrikeOut) FStyle |= fsStrikeOut;
  FCharset = LF.lfCharSet;
  int Pitch = LF.lfPitchAndFamily & 3;
  FPitch = Pitch == FIXED_PITCH ? fpFixed : Pitch == VARIABLE_PITCH ? fpVariable : fpDefault;
  FOrientation = LF.lfEscapement;
  Changed();
}

void TFont::SetName(const String& Value) {
  if (Value.empty() || FName == Value) return;
  FName = Value;
  Changed();
}

int TFont::GetSize() const { return -MulDiv(FHeight, 72, FPixelsPerInch); }

void TFont::SetSize(int Value) { SetHeight(-MulDiv(Value, FPixelsPerInch, 72)); }

void TFont::SetHeight(int Value) {
  if (FHeight == Value) return;
  FHeight = Value;
  Changed();
}

void TFont::SetStyle(TFontStyles Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TFont::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  // The colour is not part of the GDI font: only tell the users.
  if (OnChange) OnChange(this);
}

void TFont::SetCharset(TFontCharset Value) {
  if (FCharset == Value) return;
  FCharset = Value;
  Changed();
}

void TFont::SetPitch(TFontPitch Value) {
  if (FPitch == Value) return;
  FPitch = Value;
  Changed();
}

void TFont::SetOrientation(int Value) {
  if (FOrientation == Value) return;
  FOrientation = Value;
  Changed();
}

void TFont::Assign(TPersistent* Source) {
  if (auto* F = dynamic_cast<TFont*>(Source)) {
    if (F == this) return;
    FName = F->FName;
    // Heights are pixels at the source's resolution: keep the point size.
    FHeight = F->FPixelsPerInch == FPixelsPerInch ? F->FHeight
                                                  : -MulDiv(F->GetSize(), FPixelsPerInch, 72);
    FStyle = F->FStyle;
    FColor = F->FColor;
    FCharset = F->FCharset;
    FPitch = F->FPitch;
    FOrientation = F->FOrientation;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---------------------------------------------------------------------------------------------

int PenModeToRop2(TPenMode Mode) {
  static constexpr int Rop2[] = {R2_BLACK,      R2_WHITE,       R2_NOP,        R2_NOT,
                                 R2_COPYPEN,    R2_NOTCOPYPEN,  R2_MERGEPENNOT, R2_MASKPENNOT,
                                 R2_MERGENOTPEN, R2_MASKNOTPEN, R2_MERGEPEN,   R2_NOTMERGEPEN,
                                 R2_MASKPEN,    R2_NOTMASKPEN,  R2_XORPEN,     R2_NOTXORPEN};
  return Rop2[static_cast<int>(Mode)];
}

TPen::~TPen() { FreeHandle(); }

void TPen::FreeHandle() {
  if (FHandle) DeleteGdiObjectSafely(FHandle);
  FHandle = nullptr;
}

HPEN TPen::GetHandle() {
  if (!FHandle) FHandle = CreatePen(static_cast<int>(FStyle), FWidth, ColorToRGB(FColor));
  return FHandle;
}

void TPen::SetColor(TColor Value) {
  if (FColor == Value) return;
  FColor = Value;
  Changed();
}

void TPen::SetWidth(int Value) {
  if (Value < 0 || FWidth == Value) return;
  FWidth = Value;
  Changed();
}

void TPen::SetStyle(TPenStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TPen::SetMode(TPenMode Value) {
  if (FMode == Value) return;
  FMode = Value;
  Changed();
}

void TPen::Assign(TPersistent* Source) {
  if (auto* P = dynamic_cast<TPen*>(Source)) {
    if (P == this) return;
    FColor = P->FColor;
    FWidth = P->FWidth;
    FStyle = P->FStyle;
    FMode = P->FMode;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}

// ---------------------------------------------------------------------------------------------

TBrush::~TBrush() { FreeHandle(); }

void TBrush::FreeHandle() {
  if (FHandle && FOwnsHandle) DeleteGdiObjectSafely(FHandle);
  FHandle = nullptr;
  FOwnsHandle = false;
}

HBRUSH TBrush::GetHandle() {
  if (FHandle) return FHandle;
  if (FBitmap && !FBitmap->Empty()) {
    FHandle = CreatePatternBrush(FBitmap->GetHandle());
    FOwnsHandle = true;
  } else if (FStyle == bsClear) {
    FHandle = static_cast<HBRUSH>(GetStockObject(NULL_BRUSH));
    FOwnsHandle = false;
  } else if (FStyle == bsSolid) {
    FHandle = CreateSolidBrush(ColorToRGB(FColor));
    FOwnsHandle = true;
  } else {
    FHandle = CreateHatchBrush(static_cast<int>(FStyle) - static_cast<int>(bsHorizontal) + HS_HORIZONTAL,
                               ColorToRGB(FColor));
    FOwnsHandle = true;
  }
  return FHandle;
}

void TBrush::SetColor(TColor Value) {
  if (FColor == Value && FStyle != bsClear) return;
  FColor = Value;
  if (FStyle == bsClear) FStyle = bsSolid;
  Changed();
}

void TBrush::SetStyle(TBrushStyle Value) {
  if (FStyle == Value) return;
  FStyle = Value;
  Changed();
}

void TBrush::SetBitmap(TBitmap* Value) {
  if (FBitmap == Value) return;
  FBitmap = Value;
  Changed();
}

void TBrush::Assign(TPersistent* Source) {
  if (auto* B = dynamic_cast<TBrush*>(Source)) {
    if (B == this) return;
    FColor = B->FColor;
    FStyle = B->FStyle;
    FBitmap = B->FBitmap;
    Changed();
    return;
  }
  TGraphicsObject::Assign(Source);
}
