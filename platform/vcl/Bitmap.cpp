#include "platform/vcl/Bitmap.h"

#include <algorithm>
#include <cstring>

#include "platform/gdi/BmpFile.h"
#include "platform/rtl/Files.h"

namespace {

constexpr const char* SScanLine = "Scan line index out of range";
constexpr const char* SOutOfResources = "Out of system resources";

struct TBitmapInfo256 {
  BITMAPINFOHEADER Header;
  RGBQUAD Colors[256];
  BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(this); }
};

TPixelFormat FormatOfBitCount(int BitCount) {
  switch (BitCount) {
    case 1: return pf1bit;
    case 4: return pf4bit;
    case 8: return pf8bit;
    case 24: return pf24bit;
    default: return pf32bit;
  }
}

// Closes a temporary memory DC with its bitmap selected out.
class TTempDC {
public:
  explicit TTempDC(HBITMAP Bitmap = nullptr) : FDC(CreateCompatibleDC(nullptr)) {
    if (Bitmap) FOld = SelectObject(FDC, Bitmap);
  }
  ~TTempDC() {
    if (FOld) SelectObject(FDC, FOld);
    DeleteDC(FDC);
  }
  TTempDC(const TTempDC&) = delete;
  TTempDC& operator=(const TTempDC&) = delete;
  HDC Get() const { return FDC; }

private:
  HDC FDC;
  HGDIOBJ FOld = nullptr;
};

}  // namespace

int PixelFormatBitCount(TPixelFormat Format) {
  switch (Format) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit:
    case pf24bit: return 24;
    default: return 32;
  }
}

std::vector<RGBQUAD> DefaultColorTable(int BitCount) {
  auto Quad = [](COLORREF C) { return RGBQUAD{GetBValue(C), GetGValue(C), GetRValue(C), 0}; };
  std::vector<RGBQUAD> Table;
  if (BitCount == 1) {
    Table = {Quad(0x000000), Quad(0xFFFFFF)};
  } else if (BitCount == 4) {
    for (COLORREF C : {clBlack, clMaroon, clGreen, clOlive, clNavy, clPurple, clTeal, clSilver, clGray,
                       clRed, clLime, clYellow, clBlue, clFuchsia, clAqua, clWhite})
      Table.push_back(Quad(C));
  } else if (BitCount == 8) {
    HPALETTE Pal = CreateHalftonePalette(nullptr);
    PALETTEENTRY Entries[256] = {};
    UINT N = Pal ? GetPaletteEntries(Pal, 0, 256, Entries) : 0;
    if (Pal) DeleteObject(Pal);
    for (UINT I = 0; I < N; ++I)
      Table.push_back(RGBQUAD{Entries[I].peBlue, Entries[I].peGreen, Entries[I].peRed, 0});
    Table.resize(256);
  }
  return Table;
}

// ---------------------------------------------------------------------------------------------

void TGraphic::SetTransparent(bool Value) {
  if (FTransparent == Value) return;
  FTransparent = Value;
  Changed(this);
}

void TGraphic::SetModified(bool Value) {
  if (Value)
    Changed(this);
  else
    FModified = false;
}

void TGraphic::Changed(TObject*) {
  FModified = true;
  if (OnChange) OnChange(this);
}

void TGraphic::LoadFromFile(const String& FileName) {
  TFileStream Stream(FileName, fmOpenRead);
  LoadFromStream(&Stream);
}

void TGraphic::SaveToFile(const String& FileName) {
  TMemoryStream Stream;
  SaveToStream(&Stream);
  Stream.SaveToFile(FileName);
}

// ---------------------------------------------------------------------------------------------

TBitmapCanvas::~TBitmapCanvas() { FreeContext(); }

void TBitmapCanvas::CreateHandle() {
  if (FDC) return;
  HDC DC = CreateCompatibleDC(nullptr);
  if (!DC) throw EOutOfResources(SOutOfResources);
  if (HBITMAP Bitmap = FBitmap->FHandle) FOldBitmap = SelectObject(DC, Bitmap);
  if (HPALETTE Pal = FBitmap->GetPalette()) FOldPalette = SelectPalette(DC, Pal, TRUE);
  FDC = DC;
  SetHandle(DC);
}

void TBitmapCanvas::FreeContext() {
  if (!FDC) return;
  HDC DC = FDC;
  SetHandle(nullptr);  // drops the font, pen and brush first
  if (FOldBitmap) SelectObject(DC, FOldBitmap);
  if (FOldPalette) SelectPalette(DC, static_cast<HPALETTE>(FOldPalette), TRUE);
  DeleteDC(DC);
  FDC = nullptr;
  FOldBitmap = nullptr;
  FOldPalette = nullptr;
}

// ---------------------------------------------------------------------------------------------

TBitmap::TBitmap() = default;

TBitmap::TBitmap(int AWidth, int AHeight, TPixelFormat APixelFormat) {
  FPixelFormat = APixelFormat;
  SetSize(AWidth, AHeight);
}

TBitmap::~TBitmap() {
  FCanvas.reset();
  DestroyImage();
  FreePalette();
}

TBitmap::TImageData TBitmap::CreateImage(int AWidth, int AHeight, int ABitCount, std::vector<RGBQUAD> Colors) {
  TImageData D;
  D.BitCount = ABitCount;
  if (ABitCount <= 8) {
    if (Colors.empty()) Colors = DefaultColorTable(ABitCount);
    Colors.resize(size_t{1} << ABitCount);
    D.Colors = std::move(Colors);
  }
  if (AWidth <= 0 || AHeight <= 0) return D;
  if (AWidth > MaxDibDimension || AHeight > MaxDibDimension ||
      TDibImage::StrideFor(AWidth, ABitCount) * AHeight > MaxDibBytes)
    throw EOutOfResources(SOutOfResources);
  TBitmapInfo256 BI{};
  BI.Header.biWidth = AWidth;
  BI.Header.biHeight = AHeight;
  BI.Header.biBitCount = static_cast<WORD>(ABitCount);
  BI.Header.biCompression = BI_RGB;
  BI.Header.biClrUsed = static_cast<DWORD>(D.Colors.size());
  std::copy(D.Colors.begin(), D.Colors.end(), BI.Colors);
  void* Bits = nullptr;
  D.Handle = CreateDIBSection(nullptr, BI.Info(), DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (!D.Handle || !Bits) throw EOutOfResources(SOutOfResources);
  D.Bits = static_cast<std::uint8_t*>(Bits);
  D.Width = AWidth;
  D.Height = AHeight;
  D.Stride = static_cast<int>(TDibImage::StrideFor(AWidth, ABitCount));
  D.TopDown = false;
  std::memset(D.Bits, 0, static_cast<size_t>(D.Stride) * static_cast<size_t>(AHeight));
  return D;
}

TBitmap::TImageData TBitmap::CurrentImage() const {
  TImageData D;
  D.Handle = FHandle;
  D.Bits = FBits;
  D.Width = FWidth;
  D.Height = FHeight;
  D.BitCount = FBitCount;
  D.Stride = FStride;
  D.TopDown = FTopDown;
  D.Colors = FColors;
  return D;
}

void TBitmap::DestroyImage() {
  FreeContext();
  FreeMask();
  if (FHandle) DeleteGdiObjectSafely(FHandle);
  FHandle = nullptr;
  FBits = nullptr;
}

void TBitmap::InstallImage(TImageData&& Image, TPixelFormat Format) {
  DestroyImage();
  bool PaletteChanged = FColors.size() != Image.Colors.size() ||
                        !std::equal(FColors.begin(), FColors.end(), Image.Colors.begin(),
                                    [](const RGBQUAD& A, const RGBQUAD& B) {
                                      return A.rgbRed == B.rgbRed && A.rgbGreen == B.rgbGreen &&
                                             A.rgbBlue == B.rgbBlue;
                                    });
  if (PaletteChanged) FreePalette();
  FHandle = Image.Handle;
  FBits = Image.Bits;
  FWidth = Image.Width;
  FHeight = Image.Height;
  FBitCount = Image.BitCount;
  FStride = Image.Stride;
  FTopDown = Image.TopDown;
  FColors = std::move(Image.Colors);
  FPixelFormat = Format;
}

void TBitmap::ConvertPixels(const TImageData& Source, const TImageData& Dest) {
  int W = std::min(Source.Width, Dest.Width);
  int H = std::min(Source.Height, Dest.Height);
  if (W <= 0 || H <= 0) return;
  // Through 32-bit rows: GetDIBits expands the source, SetDIBits maps onto the target's table.
  TBitmapInfo256 BI{};
  BI.Header.biWidth = Source.Width;
  BI.Header.biHeight = -Source.Height;
  BI.Header.biBitCount = 32;
  BI.Header.biCompression = BI_RGB;
  std::vector<std::uint32_t> Pixels(static_cast<size_t>(Source.Width) * static_cast<size_t>(Source.Height));
  {
    TTempDC DC;
    GetDIBits(DC.Get(), Source.Handle, 0, static_cast<UINT>(Source.Height), Pixels.data(), BI.Info(), DIB_RGB_COLORS);
  }
  std::vector<std::uint32_t> Cropped(static_cast<size_t>(Dest.Width) * static_cast<size_t>(Dest.Height));
  for (int Y = 0; Y < H; ++Y)
    std::copy_n(&Pixels[static_cast<size_t>(Y) * static_cast<size_t>(Source.Width)], W,
                &Cropped[static_cast<size_t>(Y) * static_cast<size_t>(Dest.Width)]);
  TBitmapInfo256 DI{};
  DI.Header.biWidth = Dest.Width;
  DI.Header.biHeight = -Dest.Height;
  DI.Header.biBitCount = 32;
  DI.Header.biCompression = BI_RGB;
  TTempDC DC;
  SetDIBits(DC.Get(), Dest.Handle, 0, static_cast<UINT>(Dest.Height), Cropped.data(), DI.Info(), DIB_RGB_COLORS);
}

void TBitmap::SetSize(int AWidth, int AHeight) {
  AWidth = std::max(AWidth, 0);
  AHeight = std::max(AHeight, 0);
  if (AWidth == FWidth && AHeight == FHeight) return;
  TImageData New = CreateImage(AWidth, AHeight, PixelFormatBitCount(FPixelFormat), FColors);
  if (FHandle && New.Handle) {
    int Rows = std::min(FHeight, AHeight);
    size_t Bytes = static_cast<size_t>(TDibImage::StrideFor(std::min(FWidth, AWidth), FBitCount));
    Bytes = std::min(Bytes, static_cast<size_t>(std::min(FStride, New.Stride)));
    TImageData Old = CurrentImage();
    for (int Y = 0; Y < Rows; ++Y) std::memcpy(New.Row(Y), Old.Row(Y), Bytes);
  }
  InstallImage(std::move(New), FPixelFormat);
  Changed(this);
}

void TBitmap::SetPixelFormat(TPixelFormat Value) {
  if (Value == FPixelFormat) return;
  if (Value == pfCustom) throw EInvalidGraphic("Invalid pixel format");
  int NewBits = PixelFormatBitCount(Value);
  if (NewBits == FBitCount && NewBits > 8) {
    FPixelFormat = Value;  // same rows: pfDevice <-> pf32bit, pf15/16 <-> pf24
    Changed(this);
    return;
  }
  TImageData New = CreateImage(FWidth, FHeight, NewBits, {});
  if (FHandle && New.Handle) {
    FreeContext();
    ConvertPixels(CurrentImage(), New);
  }
  InstallImage(std::move(New), Value);
  Changed(this);
}

void TBitmap::SetHandleType(TBitmapHandleType Value) {
  if (Value == GetHandleType()) return;
  SetPixelFormat(Value == bmDDB ? pfDevice : pf32bit);
}

void TBitmap::SetMonochrome(bool Value) {
  if (Value == GetMonochrome()) return;
  SetPixelFormat(Value ? pf1bit : pfDevice);
}

TCanvas* TBitmap::GetCanvas() {
  if (!FCanvas) {
    FCanvas = std::make_unique<TBitmapCanvas>(this);
    FCanvas->OnChange = [this](TObject* Sender) { Changed(Sender); };
  }
  return FCanvas.get();
}

void TBitmap::FreeContext() {
  if (FCanvas) FCanvas->FreeContext();
}

HBITMAP TBitmap::GetHandle() { return FHandle; }

void TBitmap::SetHandle(HBITMAP Value) {
  if (Value == FHandle) return;
  if (!Value) {
    InstallImage(CreateImage(0, 0, FBitCount, FColors), FPixelFormat);
    Changed(this);
    return;
  }
  DIBSECTION DS{};
  int Got = GetObjectA(Value, sizeof(DS), &DS);
  if (Got == static_cast<int>(sizeof(DIBSECTION)) && DS.dsBm.bmBits) {
    TImageData D;
    D.Handle = Value;
    D.Bits = static_cast<std::uint8_t*>(DS.dsBm.bmBits);
    D.Width = DS.dsBmih.biWidth;
    D.Height = std::abs(DS.dsBmih.biHeight);
    D.TopDown = DS.dsBmih.biHeight < 0;
    D.BitCount = DS.dsBmih.biBitCount;
    D.Stride = static_cast<int>(TDibImage::StrideFor(D.Width, D.BitCount));
    if (D.BitCount <= 8) {
      D.Colors.resize(size_t{1} << D.BitCount);
      TTempDC DC(Value);
      GetDIBColorTable(DC.Get(), 0, static_cast<UINT>(D.Colors.size()), D.Colors.data());
    }
    InstallImage(std::move(D), FormatOfBitCount(DS.dsBmih.biBitCount));
  } else if (Got >= static_cast<int>(sizeof(BITMAP))) {
    // A device-dependent bitmap: copy its pixels into a section of our own.
    int Bits = DS.dsBm.bmBitsPixel == 1 ? 1 : 32;
    TImageData New = CreateImage(DS.dsBm.bmWidth, DS.dsBm.bmHeight, Bits, {});
    TImageData Src;
    Src.Handle = Value;
    Src.Width = DS.dsBm.bmWidth;
    Src.Height = DS.dsBm.bmHeight;
    if (New.Handle) ConvertPixels(Src, New);
    DeleteGdiObjectSafely(Value);
    InstallImage(std::move(New), Bits == 1 ? pf1bit : pfDevice);
  } else {
    throw EInvalidGraphic(SInvalidBitmap);
  }
  Changed(this);
}

HBITMAP TBitmap::ReleaseHandle() {
  FreeContext();
  FreeMask();
  HBITMAP Result = FHandle;
  FHandle = nullptr;
  FBits = nullptr;
  FWidth = FHeight = 0;
  return Result;
}

void TBitmap::FreeMask() {
  if (FMaskHandle) DeleteGdiObjectSafely(FMaskHandle);
  FMaskHandle = nullptr;
}

void TBitmap::FreePalette() {
  FreeContext();
  if (FPalette) DeleteGdiObjectSafely(FPalette);
  FPalette = nullptr;
}

COLORREF TBitmap::PixelAt(int X, int Y) const {
  const std::uint8_t* Row = CurrentImage().Row(Y);
  auto FromQuad = [&](int Index) -> COLORREF {
    if (Index < 0 || Index >= static_cast<int>(FColors.size())) return 0;
    const RGBQUAD& Q = FColors[static_cast<size_t>(Index)];
    return RGB(Q.rgbRed, Q.rgbGreen, Q.rgbBlue);
  };
  switch (FBitCount) {
    case 1: return FromQuad((Row[X / 8] >> (7 - X % 8)) & 1);
    case 4: return FromQuad((Row[X / 2] >> (X % 2 ? 0 : 4)) & 0xF);
    case 8: return FromQuad(Row[X]);
    case 24: return RGB(Row[X * 3 + 2], Row[X * 3 + 1], Row[X * 3]);
    default: return RGB(Row[X * 4 + 2], Row[X * 4 + 1], Row[X * 4]);
  }
}

HBITMAP TBitmap::GetMaskHandle() {
  if (FMaskHandle || Empty()) return FMaskHandle;
  HBITMAP Mask = CreateBitmap(FWidth, FHeight, 1, 1, nullptr);
  if (!Mask) throw EOutOfResources(SOutOfResources);
  // Colour to monochrome: the source DC's background colour becomes 1 (white).
  HDC Src = GetCanvas()->GetHandle();
  COLORREF OldBk = SetBkColor(Src, ColorToRGB(GetTransparentColor()) & 0xFFFFFF);
  {
    TTempDC MaskDC(Mask);
    BitBlt(MaskDC.Get(), 0, 0, FWidth, FHeight, Src, 0, 0, SRCCOPY);
  }
  SetBkColor(Src, OldBk);
  FMaskHandle = Mask;
  return FMaskHandle;
}

HBITMAP TBitmap::ReleaseMaskHandle() {
  HBITMAP Result = GetMaskHandle();
  FMaskHandle = nullptr;
  return Result;
}

void TBitmap::Mask(TColor TransparentColor) {
  if (Empty()) return;
  COLORREF Key = ColorToRGB(TransparentColor) & 0xFFFFFF;
  TImageData New = CreateImage(FWidth, FHeight, 1, {});
  for (int Y = 0; Y < FHeight; ++Y) {
    std::uint8_t* Row = New.Row(Y);
    for (int X = 0; X < FWidth; ++X)
      if (PixelAt(X, Y) == Key) Row[X / 8] |= static_cast<std::uint8_t>(0x80 >> (X % 8));
  }
  InstallImage(std::move(New), pf1bit);
  Changed(this);
}

HPALETTE TBitmap::GetPalette() {
  if (!FPalette && FBitCount <= 8 && !FColors.empty()) {
    std::vector<std::uint8_t> Buffer(sizeof(LOGPALETTE) + FColors.size() * sizeof(PALETTEENTRY));
    auto* LP = reinterpret_cast<LOGPALETTE*>(Buffer.data());
    LP->palVersion = 0x300;
    LP->palNumEntries = static_cast<WORD>(FColors.size());
    for (size_t I = 0; I < FColors.size(); ++I)
      LP->palPalEntry[I] = PALETTEENTRY{FColors[I].rgbRed, FColors[I].rgbGreen, FColors[I].rgbBlue, 0};
    FPalette = CreatePalette(LP);
  }
  return FPalette;
}

void TBitmap::SetPalette(HPALETTE Value) {
  if (Value == FPalette) return;
  if (FBitCount <= 8 && Value) {
    PALETTEENTRY Entries[256] = {};
    UINT N = GetPaletteEntries(Value, 0, static_cast<UINT>(FColors.size()), Entries);
    for (UINT I = 0; I < N && I < FColors.size(); ++I)
      FColors[I] = RGBQUAD{Entries[I].peBlue, Entries[I].peGreen, Entries[I].peRed, 0};
    if (FHandle) {
      FreeContext();
      TTempDC DC(FHandle);
      SetDIBColorTable(DC.Get(), 0, static_cast<UINT>(FColors.size()), FColors.data());
    }
  }
  FreePalette();
  FPalette = Value;
  Changed(this);
}

HPALETTE TBitmap::ReleasePalette() {
  HPALETTE Result = GetPalette();
  FreeContext();
  FPalette = nullptr;
  return Result;
}

void* TBitmap::ScanLine(int Row) {
  if (Row < 0 || Row >= FHeight || !FBits) throw EInvalidGraphic(SScanLine);
  if (FPixelFormat == pfDevice) FPixelFormat = pf32bit;  // direct access makes it a DIB
  GdiFlush();
  return CurrentImage().Row(Row);
}

TColor TBitmap::GetTransparentColor() {
  if (FTransparentMode == tmFixed && FTransparentColor != clDefault) return FTransparentColor;
  if (GetMonochrome()) return clWhite;
  if (Empty()) return clDefault;
  return PixelAt(0, FHeight - 1);
}

void TBitmap::SetTransparentColor(TColor Value) {
  if (Value == FTransparentColor) return;
  FTransparentColor = Value;
  FTransparentMode = Value == clDefault ? tmAuto : tmFixed;
  FreeMask();
  Changed(this);
}

void TBitmap::SetTransparentMode(TTransparentMode Value) {
  if (Value == FTransparentMode) return;
  if (Value == tmAuto)
    SetTransparentColor(clDefault);
  else
    SetTransparentColor(GetTransparentColor());
}

void TBitmap::Assign(TPersistent* Source) {
  if (!Source) {
    InstallImage(CreateImage(0, 0, FBitCount, {}), FPixelFormat);
    Changed(this);
    return;
  }
  auto* Src = dynamic_cast<TBitmap*>(Source);
  if (!Src) {
    TGraphic::Assign(Source);
    return;
  }
  if (Src == this) return;
  TImageData New = CreateImage(Src->FWidth, Src->FHeight, Src->FBitCount, Src->FColors);
  if (New.Handle && Src->FBits) {
    TImageData Old = Src->CurrentImage();
    size_t Bytes = static_cast<size_t>(std::min(Old.Stride, New.Stride));
    for (int Y = 0; Y < New.Height; ++Y) std::memcpy(New.Row(Y), Old.Row(Y), Bytes);
  }
  InstallImage(std::move(New), Src->FPixelFormat);
  FTransparentColor = Src->FTransparentColor;
  FTransparentMode = Src->FTransparentMode;
  if (GetTransparent() != Src->GetTransparent()) TGraphic::SetTransparent(Src->GetTransparent());
  Changed(this);
}

void TBitmap::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty() || !ACanvas) return;
  HDC Dest = ACanvas->GetHandle();
  HDC Src = GetCanvas()->GetHandle();
  int W = Rect.right - Rect.left;
  int H = Rect.bottom - Rect.top;
  if (GetTransparent()) {
    TransparentBlt(Dest, Rect.left, Rect.top, W, H, Src, 0, 0, FWidth, FHeight,
                   ColorToRGB(GetTransparentColor()) & 0xFFFFFF);
    return;
  }
  int OldMode = SetStretchBltMode(Dest, COLORONCOLOR);
  StretchBlt(Dest, Rect.left, Rect.top, W, H, Src, 0, 0, FWidth, FHeight, ACanvas->GetCopyMode());
  SetStretchBltMode(Dest, OldMode);
}

TDibImage TBitmap::ToDibImage() const {
  TDibImage Image;
  Image.SetSize(FWidth, FHeight, FBitCount, true);
  if (FBitCount <= 8) {
    Image.Palette.clear();
    for (const RGBQUAD& Q : FColors) Image.Palette.push_back(TDibColor{Q.rgbBlue, Q.rgbGreen, Q.rgbRed, 0});
  }
  if (FBits) {
    TImageData Cur = CurrentImage();
    size_t Bytes = static_cast<size_t>(std::min(Cur.Stride, Image.Stride()));
    for (int Y = 0; Y < FHeight; ++Y) std::memcpy(Image.ScanLine(Y), Cur.Row(Y), Bytes);
  }
  return Image;
}

void TBitmap::LoadFromDibImage(const TDibImage& Source) {
  const TDibImage* Image = &Source;
  TDibImage Converted;
  if (Source.BitCount == 16) {
    Converted = Source.Converted(24);
    Image = &Converted;
  }
  std::vector<RGBQUAD> Colors;
  for (const TDibColor& C : Image->Palette) Colors.push_back(RGBQUAD{C.Blue, C.Green, C.Red, 0});
  TImageData New = CreateImage(Image->Width, Image->Height, Image->BitCount, Colors);
  if (New.Handle) {
    size_t Bytes = static_cast<size_t>(std::min(New.Stride, Image->Stride()));
    for (int Y = 0; Y < New.Height; ++Y) std::memcpy(New.Row(Y), Image->ScanLine(Y), Bytes);
  }
  InstallImage(std::move(New), FormatOfBitCount(Image->BitCount));
  Changed(this);
}

void TBitmap::LoadFromStream(TStream* Stream) { LoadFromDibImage(LoadBmpFromStream(Stream)); }

void TBitmap::SaveToStream(TStream* Stream) { SaveBmpToStream(ToDibImage(), Stream); }

void TBitmap::Changed(TObject* Sender) {
  FreeMask();
  TGraphic::Changed(Sender);
}
