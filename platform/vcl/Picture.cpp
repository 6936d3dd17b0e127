#include "platform/vcl/Picture.h"

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>

#include "platform/rtl/Paths.h"
#include "platform/rtl/StrUtils.h"
#include "platform/vcl/Jpeg.h"
#include "platform/win/WinUser.h"

namespace {

constexpr const char* SInvalidIcon = "Icon image is not valid";
constexpr const char* SUnknownExtension = "Unknown picture file extension (.%s)";

struct TFileFormat {
  String Description;
  TGraphicFactory Factory;
};

std::mutex FormatsLock;
std::map<String, TFileFormat>& FileFormats() {
  static std::map<String, TFileFormat> Formats = {
      {"bmp", {"Bitmaps", [] { return new TBitmap(); }}},
      {"ico", {"Icons", [] { return new TIcon(); }}},
      {"jpg", {"JPEG Image File", [] { return new TJPEGImage(); }}},
      {"jpeg", {"JPEG Image File", [] { return new TJPEGImage(); }}},
      {"jpe", {"JPEG Image File", [] { return new TJPEGImage(); }}},
      {"jfif", {"JPEG Image File", [] { return new TJPEGImage(); }}},
  };
  return Formats;
}

TGraphic* NewGraphicLike(TGraphic* Value) {
  if (dynamic_cast<TJPEGImage*>(Value)) return new TJPEGImage();
  if (dynamic_cast<TIcon*>(Value)) return new TIcon();
  if (dynamic_cast<TBitmap*>(Value)) return new TBitmap();
  return nullptr;
}

std::uint16_t Le16(const std::uint8_t* P) { return static_cast<std::uint16_t>(P[0] | (P[1] << 8)); }
std::uint32_t Le32(const std::uint8_t* P) {
  return static_cast<std::uint32_t>(P[0]) | (static_cast<std::uint32_t>(P[1]) << 8) |
         (static_cast<std::uint32_t>(P[2]) << 16) | (static_cast<std::uint32_t>(P[3]) << 24);
}

// The icons docked in the window system's tray carry a TIcon as their handle (as the tray
// icon component hands them over); the stock icon numbers draw nothing.
const bool TrayIconPainterSet = [] {
  SetTrayIconPainter([](HDC DC, HICON Icon, const RECT& Rect) {
    if (reinterpret_cast<std::uintptr_t>(Icon) < 0x10000) return;
    TCanvas Canvas;
    Canvas.SetHandle(DC);
    reinterpret_cast<TIcon*>(Icon)->Draw(&Canvas, Rect);
    Canvas.SetHandle(nullptr);
  });
  return true;
}();

}  // namespace

// ---------------------------------------------------------------------------------------------

TIcon::TIcon() : FImage(std::make_unique<TBitmap>()), FMask(std::make_unique<TBitmap>()) {
  FMask->SetPixelFormat(pf1bit);
  FImage->SetPixelFormat(pf32bit);
}

TIcon::~TIcon() = default;

void TIcon::SetWidth(int Value) {
  FImage->SetWidth(Value);
  FMask->SetWidth(Value);
  Changed(this);
}

void TIcon::SetHeight(int Value) {
  FImage->SetHeight(Value);
  FMask->SetHeight(Value);
  Changed(this);
}

void TIcon::AssignBitmap(TBitmap* Bitmap, TColor TransparentColor) {
  if (!Bitmap || Bitmap->Empty()) {
    FImage->SetSize(0, 0);
    FMask->SetSize(0, 0);
    Changed(this);
    return;
  }
  auto Mask = std::make_unique<TBitmap>();
  Mask->Assign(Bitmap);
  Mask->Mask(TransparentColor);
  auto Image = std::make_unique<TBitmap>();
  Image->Assign(Bitmap);
  Image->SetPixelFormat(pf32bit);
  // Transparent pixels are black in the image so that the XOR leaves the background.
  COLORREF Key = ColorToRGB(TransparentColor) & 0xFFFFFF;
  for (int Y = 0; Y < Image->GetHeight(); ++Y) {
    auto* Row = static_cast<std::uint8_t*>(Image->ScanLine(Y));
    for (int X = 0; X < Image->GetWidth(); ++X) {
      std::uint8_t* P = Row + X * 4;
      if (RGB(P[2], P[1], P[0]) == Key) std::memset(P, 0, 4);
    }
  }
  FImage = std::move(Image);
  FMask = std::move(Mask);
  Changed(this);
}

void TIcon::Assign(TPersistent* Source) {
  if (auto* I = dynamic_cast<TIcon*>(Source)) {
    if (I == this) return;
    FImage->Assign(I->FImage.get());
    FMask->Assign(I->FMask.get());
    Changed(this);
    return;
  }
  if (!Source) {
    FImage->SetSize(0, 0);
    FMask->SetSize(0, 0);
    Changed(this);
    return;
  }
  TGraphic::Assign(Source);
}

void TIcon::AssignTo(TPersistent* Dest) {
  if (auto* B = dynamic_cast<TBitmap*>(Dest)) {
    // The icon over the bitmap's brush colour... black here, as an icon copied to a bitmap.
    B->Assign(FImage.get());
    return;
  }
  TGraphic::AssignTo(Dest);
}

void TIcon::Draw(TCanvas* ACanvas, const TRect& Rect) {
  if (Empty()) return;
  HDC Dest = ACanvas->GetHandle();
  int W = Rect.right - Rect.left;
  int H = Rect.bottom - Rect.top;
  int OldMode = SetStretchBltMode(Dest, COLORONCOLOR);
  // Monochrome to colour takes the text colour for 0 and the background colour for 1.
  COLORREF OldText = SetTextColor(Dest, RGB(0, 0, 0));
  COLORREF OldBk = SetBkColor(Dest, RGB(255, 255, 255));
  StretchBlt(Dest, Rect.left, Rect.top, W, H, FMask->GetCanvas()->GetHandle(), 0, 0, FMask->GetWidth(),
             FMask->GetHeight(), SRCAND);
  StretchBlt(Dest, Rect.left, Rect.top, W, H, FImage->GetCanvas()->GetHandle(), 0, 0, FImage->GetWidth(),
             FImage->GetHeight(), SRCINVERT);
  SetTextColor(Dest, OldText);
  SetBkColor(Dest, OldBk);
  SetStretchBltMode(Dest, OldMode);
}

void TIcon::LoadFromStream(TStream* Stream) {
  Int64 Size = Stream->GetSize() - Stream->GetPosition();
  if (Size < 6 || Size > MaxDibBytes) throw EInvalidGraphic(SInvalidIcon);
  std::vector<std::uint8_t> Data(static_cast<size_t>(Size));
  Stream->ReadBuffer(Data.data(), Size);
  if (Le16(&Data[0]) != 0 || Le16(&Data[2]) != 1) throw EInvalidGraphic(SInvalidIcon);
  int Count = Le16(&Data[4]);
  if (Count == 0 || 6 + static_cast<size_t>(Count) * 16 > Data.size()) throw EInvalidGraphic(SInvalidIcon);
  // The entry with the most pixels, then the deepest.
  int Best = -1;
  std::int64_t BestScore = -1;
  for (int I = 0; I < Count; ++I) {
    const std::uint8_t* E = &Data[6 + static_cast<size_t>(I) * 16];
    int W = E[0] ? E[0] : 256;
    int H = E[1] ? E[1] : 256;
    std::int64_t Score = static_cast<std::int64_t>(W) * H * 64 + Le16(E + 6);
    if (Score > BestScore) {
      BestScore = Score;
      Best = I;
    }
  }
  const std::uint8_t* E = &Data[6 + static_cast<size_t>(Best) * 16];
  std::uint32_t Bytes = Le32(E + 8);
  std::uint32_t Offset = Le32(E + 12);
  if (Offset > Data.size() || Bytes > Data.size() - Offset || Bytes < 40) throw EInvalidGraphic(SInvalidIcon);
  const std::uint8_t* H = &Data[Offset];
  if (Le32(H) < 40) throw EInvalidGraphic(SInvalidIcon);  // PNG entries are not supported
  int Width = static_cast<int>(Le32(H + 4));
  int Height = static_cast<int>(Le32(H + 8)) / 2;  // image and mask
  int BitCount = Le16(H + 14);
  if (Width <= 0 || Height <= 0 || Width > 1024 || Height > 1024 || Le32(H + 16) != 0 ||
      !(BitCount == 1 || BitCount == 4 || BitCount == 8 || BitCount == 24 || BitCount == 32))
    throw EInvalidGraphic(SInvalidIcon);
  size_t HeaderSize = Le32(H);
  size_t Colors = BitCount <= 8 ? (Le32(H + 32) ? Le32(H + 32) : (1u << BitCount)) : 0;
  if (Colors > 256) throw EInvalidGraphic(SInvalidIcon);
  size_t XorStride = static_cast<size_t>(TDibImage::StrideFor(Width, BitCount));
  size_t AndStride = static_cast<size_t>(TDibImage::StrideFor(Width, 1));
  size_t Need = HeaderSize + Colors * 4 + (XorStride + AndStride) * static_cast<size_t>(Height);
  if (Need > Bytes) throw EInvalidGraphic(SInvalidIcon);
  TDibImage Image;
  Image.SetSize(Width, Height, BitCount, false);
  if (BitCount <= 8) {
    Image.Palette.assign(size_t{1} << BitCount, TDibColor{});
    for (size_t I = 0; I < Colors; ++I) {
      const std::uint8_t* Q = H + HeaderSize + I * 4;
      Image.Palette[I] = TDibColor{Q[0], Q[1], Q[2], 0};
    }
  }
  const std::uint8_t* XorBits = H + HeaderSize + Colors * 4;
  std::memcpy(Image.Bits.data(), XorBits, XorStride * static_cast<size_t>(Height));
  TDibImage MaskImage;
  MaskImage.SetSize(Width, Height, 1, false);
  std::memcpy(MaskImage.Bits.data(), XorBits + XorStride * static_cast<size_t>(Height),
              AndStride * static_cast<size_t>(Height));
  auto NewImage = std::make_unique<TBitmap>();
  NewImage->LoadFromDibImage(Image);
  NewImage->SetPixelFormat(pf32bit);
  auto NewMask = std::make_unique<TBitmap>();
  NewMask->LoadFromDibImage(MaskImage);
  FImage = std::move(NewImage);
  FMask = std::move(NewMask);
  Changed(this);
}

void TIcon::SaveToStream(TStream* Stream) {
  if (Empty()) throw EInvalidGraphic(SInvalidIcon);
  int W = FImage->GetWidth();
  int H = FImage->GetHeight();
  TDibImage Image = FImage->ToDibImage().Converted(32);
  Image.SetTopDown(false);
  TDibImage Mask = FMask->ToDibImage();
  Mask.SetTopDown(false);
  std::vector<std::uint8_t> Out;
  auto Put16 = [&](unsigned V) { Out.push_back(V & 0xFF); Out.push_back((V >> 8) & 0xFF); };
  auto Put32 = [&](std::uint32_t V) { Put16(V & 0xFFFF); Put16(V >> 16); };
  std::uint32_t ImageBytes = static_cast<std::uint32_t>(40 + Image.Bits.size() + Mask.Bits.size());
  Put16(0); Put16(1); Put16(1);
  Out.push_back(static_cast<std::uint8_t>(W >= 256 ? 0 : W));
  Out.push_back(static_cast<std::uint8_t>(H >= 256 ? 0 : H));
  Out.push_back(0); Out.push_back(0);
  Put16(1); Put16(32); Put32(ImageBytes); Put32(22);
  Put32(40); Put32(static_cast<std::uint32_t>(W)); Put32(static_cast<std::uint32_t>(H * 2));
  Put16(1); Put16(32); Put32(0);
  Put32(static_cast<std::uint32_t>(Image.Bits.size() + Mask.Bits.size()));
  Put32(0); Put32(0); Put32(0); Put32(0);
  Out.insert(Out.end(), Image.Bits.begin(), Image.Bits.end());
  Out.insert(Out.end(), Mask.Bits.begin(), Mask.Bits.end());
  Stream->WriteBuffer(Out.data(), static_cast<Int64>(Out.size()));
}

// ---------------------------------------------------------------------------------------------

TPicture::TPicture() = default;

TPicture::~TPicture() = default;

void TPicture::Install(std::unique_ptr<TGraphic> Graphic) {
  FGraphic = std::move(Graphic);
  if (FGraphic) FGraphic->OnChange = [this](TObject* Sender) { Changed(Sender); };
  Changed(this);
}

void TPicture::SetGraphic(TGraphic* Value) {
  if (Value == FGraphic.get()) return;
  if (!Value) {
    Install(nullptr);
    return;
  }
  std::unique_ptr<TGraphic> Copy(NewGraphicLike(Value));
  if (!Copy) throw EInvalidGraphic("Unsupported graphic kind");
  Copy->Assign(Value);
  Install(std::move(Copy));
}

TBitmap* TPicture::GetBitmap() {
  if (auto* B = dynamic_cast<TBitmap*>(FGraphic.get())) return B;
  Install(std::make_unique<TBitmap>());
  return static_cast<TBitmap*>(FGraphic.get());
}

TIcon* TPicture::GetIcon() {
  if (auto* I = dynamic_cast<TIcon*>(FGraphic.get())) return I;
  Install(std::make_unique<TIcon>());
  return static_cast<TIcon*>(FGraphic.get());
}

void TPicture::LoadFromFile(const String& FileName) {
  String Ext = ExtractFileExt(FileName);
  if (!Ext.empty() && Ext[0] == '.') Ext.erase(0, 1);
  TGraphicFactory Factory;
  {
    std::lock_guard<std::mutex> Lock(FormatsLock);
    auto It = FileFormats().find(LowerCase(Ext));
    if (It != FileFormats().end()) Factory = It->second.Factory;
  }
  if (!Factory) throw EInvalidGraphic(SUnknownExtension, {Ext});
  std::unique_ptr<TGraphic> Graphic(Factory());
  Graphic->LoadFromFile(FileName);
  Install(std::move(Graphic));
}

void TPicture::SaveToFile(const String& FileName) {
  if (FGraphic) FGraphic->SaveToFile(FileName);
}

void TPicture::Assign(TPersistent* Source) {
  if (!Source) {
    SetGraphic(nullptr);
  } else if (auto* P = dynamic_cast<TPicture*>(Source)) {
    if (P != this) SetGraphic(P->GetGraphic());
  } else if (auto* G = dynamic_cast<TGraphic*>(Source)) {
    SetGraphic(G);
  } else {
    TPersistent::Assign(Source);
  }
}

void TPicture::AssignTo(TPersistent* Dest) {
  if (FGraphic && dynamic_cast<TGraphic*>(Dest)) {
    Dest->Assign(FGraphic.get());
    return;
  }
  TPersistent::AssignTo(Dest);
}

void TPicture::Changed(TObject*) {
  if (OnChange) OnChange(this);
}

void TPicture::RegisterFileFormat(const String& Extension, const String& Description, TGraphicFactory Factory) {
  std::lock_guard<std::mutex> Lock(FormatsLock);
  FileFormats()[LowerCase(Extension)] = TFileFormat{Description, std::move(Factory)};
}

void TPicture::UnregisterFileFormat(const String& Extension) {
  std::lock_guard<std::mutex> Lock(FormatsLock);
  FileFormats().erase(LowerCase(Extension));
}
