#include "skin/foundation/SkinEffectBmp.h"

#include <algorithm>
#include <array>
#include <climits>
#include <cstdint>
#include <cstring>
#include <vector>

#include "platform/rtl/Exceptions.h"
#include "platform/rtl/MathUtils.h"

namespace {

// Rounds to the nearest whole number with halves to even (as the runtime library's Round) and
// clamps the result to a channel value. Values at or below 0 round to 0 or less, values at or
// above 255 to 255 or more, so only the range between needs rounding.
inline Byte ClampRGB(double Value)
{
  if (!(Value > 0.0))
    return 0;
  if (Value >= 255.0)
    return 255;
  int Result = static_cast<int>(Value);
  const double Diff = Value - Result;
  if (Diff > 0.5 || (Diff == 0.5 && (Result & 1) != 0))
    ++Result;
  return static_cast<Byte>(Result);
}

inline Byte ClampRGB(Int64 Value)
{
  return static_cast<Byte>(std::clamp<Int64>(Value, 0, 255));
}

// A morph factor within 0..1; anything not >= 0 (NaN included) becomes 0.
inline double ClampFactor(double x)
{
  if (!(x >= 0.0))
    return 0.0;
  return x > 1.0 ? 1.0 : x;
}

// Round(Size x x) for a factor within 0..1, so the result lies in 0..Size.
inline int ScaledCount(int Size, double x)
{
  return static_cast<int>(Round(static_cast<double>(Size) * x));
}

// Count bytes: A := Round(FA x A + FB x B).
inline void BlendBytes(Byte* A, const Byte* B, int Count, double FA, double FB)
{
  for (int i = 0; i < Count; ++i)
    A[i] = ClampRGB(FA * A[i] + FB * B[i]);
}

// Weights of a ramp that starts at 0 and grows by Step per pixel, capped at 1: Count entries.
std::vector<double> RampWeights(int Count, double Step)
{
  std::vector<double> W(static_cast<size_t>(std::max(Count, 0)));
  double w = 0.0;
  for (double& Entry : W) {
    Entry = w;
    w += Step;
    if (w > 1.0)
      w = 1.0;
  }
  return W;
}

// A per-value table of a channel transform.
using TChannelTable = std::array<Byte, 256>;

} // namespace

// ---------------------------------------------------------------------------------------------
// Buffer
// ---------------------------------------------------------------------------------------------

TskEffectBmp::TskEffectBmp(int AWidth, int AHeight)
{
  Allocate(AWidth, AHeight);
}

TskEffectBmp::TskEffectBmp(TFromBitmap, HBITMAP ABitmap)
{
  if (!ABitmap || GetObjectType(ABitmap) != OBJ_BITMAP) {
    Allocate(0, 0);
    return;
  }
  BITMAP Info{};
  if (GetObjectA(ABitmap, sizeof(Info), &Info) == 0) {
    Allocate(0, 0);
    return;
  }
  Allocate(Info.bmWidth, Info.bmHeight < 0 ? -Info.bmHeight : Info.bmHeight);
  if (!FBits)
    return;
  HDC DC = CreateDCA("DISPLAY", nullptr, nullptr, nullptr);
  if (!DC)
    DC = CreateCompatibleDC(nullptr);
  if (!DC)
    return;
  // GetDIBits writes into the header it is given: hand it a copy of ours.
  BITMAPINFO Request = FInfo;
  GetDIBits(DC, ABitmap, 0, static_cast<UINT>(FHeight), FBits, &Request, DIB_RGB_COLORS);
  DeleteDC(DC);
}

std::unique_ptr<TskEffectBmp> TskEffectBmp::CreateFromBitmap(HBITMAP ABitmap)
{
  return std::unique_ptr<TskEffectBmp>(new TskEffectBmp(TFromBitmap{}, ABitmap));
}

TskEffectBmp::~TskEffectBmp()
{
  if (FHandle)
    DeleteObject(FHandle);
}

void TskEffectBmp::Allocate(int AWidth, int AHeight)
{
  FInfo = BITMAPINFO{};
  FInfo.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  FInfo.bmiHeader.biPlanes = 1;
  FInfo.bmiHeader.biBitCount = 24;
  FInfo.bmiHeader.biCompression = BI_RGB;
  if (AWidth <= 0 || AHeight <= 0)
    return;
  const Int64 Row = static_cast<Int64>(AWidth) * 3 + AWidth % 4;
  if (Row * AHeight > INT_MAX)
    throw Exception("Can't allocate the DIB handle");
  FInfo.bmiHeader.biWidth = AWidth;
  FInfo.bmiHeader.biHeight = -AHeight;
  void* Bits = nullptr;
  HBITMAP Handle = CreateDIBSection(nullptr, &FInfo, DIB_RGB_COLORS, &Bits, nullptr, 0);
  if (!Handle || !Bits) {
    if (Handle)
      DeleteObject(Handle);
    throw Exception("Can't allocate the DIB handle");
  }
  FHandle = Handle;
  FBits = static_cast<Byte*>(Bits);
  FWidth = AWidth;
  FHeight = AHeight;
  FRowLength = static_cast<int>(Row);
  FSize = static_cast<int>(Row * AHeight);
}

void TskEffectBmp::Draw(HDC DC, int X, int Y) const
{
  if (!FBits)
    return;
  SetDIBitsToDevice(DC, X, Y, static_cast<DWORD>(FWidth), static_cast<DWORD>(FHeight), 0, 0, 0,
                    static_cast<UINT>(FHeight), FBits, &FInfo, DIB_RGB_COLORS);
}

Cardinal TskEffectBmp::GetPixel(int X, int Y) const
{
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
    return 0;
  const Byte* P = FBits + static_cast<size_t>(Y) * FRowLength + static_cast<size_t>(X) * 3;
  return static_cast<Cardinal>(P[0]) | (static_cast<Cardinal>(P[1]) << 8) | (static_cast<Cardinal>(P[2]) << 16);
}

void TskEffectBmp::SetPixel(int X, int Y, Cardinal Value)
{
  if (X < 0 || Y < 0 || X >= FWidth || Y >= FHeight)
    return;
  Byte* P = FBits + static_cast<size_t>(Y) * FRowLength + static_cast<size_t>(X) * 3;
  P[0] = static_cast<Byte>(Value & 0xFF);
  P[1] = static_cast<Byte>((Value >> 8) & 0xFF);
  P[2] = static_cast<Byte>((Value >> 16) & 0xFF);
}

Byte* TskEffectBmp::RowPtr(int Y) const
{
  if (Y < 0 || Y >= FHeight)
    return nullptr;
  return FBits + static_cast<size_t>(Y) * FRowLength;
}

void TskEffectBmp::GetRow(int Y, void* Buffer) const
{
  if (const Byte* Row = RowPtr(Y); Row && Buffer)
    std::memcpy(Buffer, Row, static_cast<size_t>(FWidth) * 3);
}

void TskEffectBmp::SetRow(int Y, const void* Buffer)
{
  if (Byte* Row = RowPtr(Y); Row && Buffer)
    std::memcpy(Row, Buffer, static_cast<size_t>(FWidth) * 3);
}

bool TskEffectBmp::SameSize(const TskEffectBmp* B) const
{
  return B && FBits && B->FBits && B->FWidth == FWidth && B->FHeight == FHeight;
}

// ---------------------------------------------------------------------------------------------
// Morphs
// ---------------------------------------------------------------------------------------------

void TskEffectBmp::Morph(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  const double FA = 1.0 - x;
  const int Count = FWidth * 3;
  for (int Y = 0; Y < FHeight; ++Y)
    BlendBytes(RowPtr(Y), B->RowPtr(Y), Count, FA, x);
}

void TskEffectBmp::MorphRect(const TskEffectBmp* B, const TRect& R, double x, int BX, int BY)
{
  if (!B || !FBits || !B->FBits)
    return;
  x = ClampFactor(x);
  const double FA = 1.0 - x;
  // Work out the columns and rows that lie inside both buffers, in 64 bits against overflow.
  const Int64 DX = static_cast<Int64>(BX) - R.left, DY = static_cast<Int64>(BY) - R.top;
  const Int64 Left = std::max<Int64>({R.left, 0, -DX});
  const Int64 Right = std::min<Int64>({R.right, FWidth, B->FWidth - DX});
  const Int64 Top = std::max<Int64>({R.top, 0, -DY});
  const Int64 Bottom = std::min<Int64>({R.bottom, FHeight, B->FHeight - DY});
  if (Left >= Right || Top >= Bottom)
    return;
  const int Count = static_cast<int>(Right - Left) * 3;
  for (Int64 Y = Top; Y < Bottom; ++Y)
    BlendBytes(RowPtr(static_cast<int>(Y)) + Left * 3, B->RowPtr(static_cast<int>(Y + DY)) + (Left + DX) * 3, Count,
               FA, x);
}

void TskEffectBmp::MorphGradient(const TskEffectBmp* B, double x)
{
  if (FWidth < FHeight)
    MorphVertGradient(B, x);
  else
    MorphHorzGradient(B, x);
}

void TskEffectBmp::MorphHorzGradient(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  const int a = ScaledCount(FWidth, x);
  const int s = (FWidth - a) / 2;
  const double Step = s == 0 ? 1.0 : 1.0 / s;
  const int L = std::max(0, FWidth / 2 - a / 2);
  const int Rt = std::min(FWidth - 1, a / 2 + FWidth / 2);
  // Weight of A per column: 0 in the band, ramps outward from its two edges.
  std::vector<double> Weight(static_cast<size_t>(FWidth), 0.0);
  const std::vector<double> LeftRamp = RampWeights(L + 1, Step);
  for (int k = 0; k <= L; ++k)
    Weight[static_cast<size_t>(L - k)] = LeftRamp[static_cast<size_t>(k)];
  const std::vector<double> RightRamp = RampWeights(FWidth - Rt, Step);
  for (int k = 0; Rt + k < FWidth; ++k)
    Weight[static_cast<size_t>(Rt + k)] = RightRamp[static_cast<size_t>(k)];
  for (int Y = 0; Y < FHeight; ++Y) {
    Byte* PA = RowPtr(Y);
    const Byte* PB = B->RowPtr(Y);
    std::memcpy(PA + L * 3, PB + L * 3, static_cast<size_t>(Rt - L + 1) * 3);
    for (int X = 0; X < L; ++X) {
      const double w = Weight[static_cast<size_t>(X)];
      BlendBytes(PA + X * 3, PB + X * 3, 3, w, 1.0 - w);
    }
    for (int X = Rt + 1; X < FWidth; ++X) {
      const double w = Weight[static_cast<size_t>(X)];
      BlendBytes(PA + X * 3, PB + X * 3, 3, w, 1.0 - w);
    }
  }
}

void TskEffectBmp::MorphVertGradient(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  const int a = ScaledCount(FHeight, x);
  const int s = (FHeight - 1 - a) / 2;
  const double Step = s == 0 ? 0.0 : 1.0 / s;
  const int L = std::max(0, FHeight / 2 - a / 2);
  const int Rt = std::min(FHeight - 1, a / 2 + FHeight / 2);
  const int Count = FWidth * 3;
  for (int Y = L; Y <= Rt; ++Y)
    std::memcpy(RowPtr(Y), B->RowPtr(Y), static_cast<size_t>(Count));
  const std::vector<double> UpRamp = RampWeights(L + 1, Step);
  for (int k = 1; k <= L; ++k) {
    const double w = UpRamp[static_cast<size_t>(k)];
    BlendBytes(RowPtr(L - k), B->RowPtr(L - k), Count, w, 1.0 - w);
  }
  const std::vector<double> DownRamp = RampWeights(FHeight - Rt, Step);
  for (int k = 1; Rt + k < FHeight; ++k) {
    const double w = DownRamp[static_cast<size_t>(k)];
    BlendBytes(RowPtr(Rt + k), B->RowPtr(Rt + k), Count, w, 1.0 - w);
  }
}

void TskEffectBmp::MorphLeftGradient(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  int a = ScaledCount(FWidth, x);
  a = std::min(std::max(a, 1), FWidth - 1);
  const std::vector<double> Weight = RampWeights(a + 1, a == 0 ? 1.0 : 1.0 / a);
  for (int Y = 0; Y < FHeight; ++Y) {
    Byte* PA = RowPtr(Y);
    const Byte* PB = B->RowPtr(Y);
    for (int X = 0; X <= a; ++X) {
      const double w = Weight[static_cast<size_t>(X)];
      BlendBytes(PA + X * 3, PB + X * 3, 3, w, 1.0 - w);
    }
  }
}

void TskEffectBmp::MorphRightGradient(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  int b = FWidth - ScaledCount(FWidth, x);
  b = std::min(std::max(b, 0), FWidth - 1);
  const int Span = FWidth - b;
  const std::vector<double> Weight = RampWeights(Span, Span <= 0 ? 1.0 : 1.0 / Span);
  for (int Y = 0; Y < FHeight; ++Y) {
    Byte* PA = RowPtr(Y);
    const Byte* PB = B->RowPtr(Y);
    for (int k = 0; k < Span; ++k) {
      const int X = FWidth - 1 - k;
      const double w = Weight[static_cast<size_t>(k)];
      BlendBytes(PA + X * 3, PB + X * 3, 3, w, 1.0 - w);
    }
  }
}

void TskEffectBmp::MorphLeftSlide(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  int a = ScaledCount(FWidth, x);
  a = std::min(std::max(a, 1), FWidth - 1);
  if (a <= 0)
    return;
  for (int Y = 0; Y < FHeight; ++Y)
    std::memcpy(RowPtr(Y), B->RowPtr(Y) + (FWidth - a) * 3, static_cast<size_t>(a) * 3);
}

void TskEffectBmp::MorphRightSlide(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  int a = ScaledCount(FWidth, x);
  a = std::min(std::max(a, 1), FWidth - 1);
  if (a <= 0)
    return;
  for (int Y = 0; Y < FHeight; ++Y)
    std::memcpy(RowPtr(Y) + (FWidth - a) * 3, B->RowPtr(Y), static_cast<size_t>(a) * 3);
}

void TskEffectBmp::MorphPush(const TskEffectBmp* B, double x)
{
  if (!SameSize(B))
    return;
  x = ClampFactor(x);
  int a = ScaledCount(FWidth, x);
  a = std::min(std::max(a, 0), FWidth - 1);
  for (int Y = 0; Y < FHeight; ++Y) {
    Byte* PA = RowPtr(Y);
    // A moves right by a + 1 columns; B's last a + 1 columns fill the left.
    std::memmove(PA + (a + 1) * 3, PA, static_cast<size_t>(FWidth - a - 1) * 3);
    std::memcpy(PA, B->RowPtr(Y) + (FWidth - a - 1) * 3, static_cast<size_t>(a + 1) * 3);
  }
}

// ---------------------------------------------------------------------------------------------
// Inactive effects
// ---------------------------------------------------------------------------------------------

namespace {

void ApplyTable(TskEffectBmp& Bmp, const TChannelTable& Table)
{
  std::vector<Byte> Row(static_cast<size_t>(Bmp.GetWidth()) * 3);
  for (int Y = 0; Y < Bmp.GetHeight(); ++Y) {
    Bmp.GetRow(Y, Row.data());
    for (Byte& C : Row)
      C = Table[C];
    Bmp.SetRow(Y, Row.data());
  }
}

} // namespace

void TskEffectBmp::ChangeBrightness(double x)
{
  x = ClampFactor(x);
  TChannelTable Table;
  for (int c = 0; c < 256; ++c)
    Table[static_cast<size_t>(c)] = ClampRGB((1.0 - x) * c + 255.0 * x);
  ApplyTable(*this, Table);
}

void TskEffectBmp::ChangeDarkness(double x)
{
  x = ClampFactor(x);
  TChannelTable Table;
  for (int c = 0; c < 256; ++c)
    Table[static_cast<size_t>(c)] = ClampRGB((1.0 - x) * c);
  ApplyTable(*this, Table);
}

void TskEffectBmp::Invert()
{
  TChannelTable Table;
  for (int c = 0; c < 256; ++c)
    Table[static_cast<size_t>(c)] = static_cast<Byte>(255 - c);
  ApplyTable(*this, Table);
}

void TskEffectBmp::GrayScale()
{
  std::vector<Byte> Row(static_cast<size_t>(FWidth) * 3);
  for (int Y = 0; Y < FHeight; ++Y) {
    GetRow(Y, Row.data());
    for (size_t i = 0; i < Row.size(); i += 3) {
      const Byte g = ClampRGB(0.3 * Row[i + 2] + 0.59 * Row[i + 1] + 0.11 * Row[i]);
      Row[i] = Row[i + 1] = Row[i + 2] = g;
    }
    SetRow(Y, Row.data());
  }
}

void TskEffectBmp::AddNoise(int Amount)
{
  if (Amount < 0)
    return;
  std::vector<Byte> Row(static_cast<size_t>(FWidth) * 3);
  for (int Y = 0; Y < FHeight; ++Y) {
    GetRow(Y, Row.data());
    for (size_t i = 0; i < Row.size(); i += 3) {
      const int v = Random(Amount) - Amount / 2;
      for (size_t k = 0; k < 3; ++k)
        Row[i + k] = ClampRGB(static_cast<Int64>(Row[i + k]) + v);
    }
    SetRow(Y, Row.data());
  }
}

void TskEffectBmp::SplitBlur(int Amount)
{
  if (Amount <= 0 || !FBits)
    return;
  // Sample positions: Amount away, or the position itself before the start, or Size - p past
  // the end. Amounts of the buffer's size or more would reach outside it: such samples are
  // held at the last row or column.
  auto Before = [Amount](int p) { return p - Amount < 0 ? p : p - Amount; };
  auto After = [Amount](int p, int Size) {
    const Int64 q = static_cast<Int64>(p) + Amount;
    return static_cast<int>(std::min<Int64>(q >= Size ? Size - p : q, Size - 1));
  };
  std::vector<Byte> Row(static_cast<size_t>(FWidth) * 3);
  for (int Y = 0; Y < FHeight; ++Y) {
    const Byte* Up = RowPtr(Before(Y));
    const Byte* Down = RowPtr(After(Y, FHeight));
    for (int X = 0; X < FWidth; ++X) {
      const int L = Before(X) * 3, R = After(X, FWidth) * 3;
      for (int k = 0; k < 3; ++k)
        Row[static_cast<size_t>(X * 3 + k)] =
            static_cast<Byte>((Up[L + k] + Down[L + k] + Up[R + k] + Down[R + k]) / 4);
    }
    SetRow(Y, Row.data());
  }
}

// ---------------------------------------------------------------------------------------------
// Turned copies
// ---------------------------------------------------------------------------------------------

template <class TMap>
void TskEffectBmp::CopyTurned(TskEffectBmp* Dest, int DestWidth, int DestHeight, TMap Map) const
{
  if (!Dest || !FBits || Dest->FWidth != DestWidth || Dest->FHeight != DestHeight)
    return;
  // Turning into the buffer itself reads from a copy of it.
  std::vector<Byte> Copy;
  const Byte* Src = FBits;
  int SrcRow = FRowLength;
  if (Dest == this) {
    Copy.assign(FBits, FBits + FSize);
    Src = Copy.data();
  }
  for (int Y = 0; Y < FHeight; ++Y) {
    const Byte* P = Src + static_cast<size_t>(Y) * SrcRow;
    for (int X = 0; X < FWidth; ++X, P += 3) {
      const POINT D = Map(X, Y);
      std::memcpy(Dest->FBits + static_cast<size_t>(D.y) * Dest->FRowLength + static_cast<size_t>(D.x) * 3, P, 3);
    }
  }
}

void TskEffectBmp::Rotate90Left(TskEffectBmp* Dest) const
{
  CopyTurned(Dest, FHeight, FWidth, [this](int X, int Y) { return POINT{Y, FWidth - 1 - X}; });
}

void TskEffectBmp::Rotate90Right(TskEffectBmp* Dest) const
{
  CopyTurned(Dest, FHeight, FWidth, [this](int X, int Y) { return POINT{FHeight - 1 - Y, X}; });
}

void TskEffectBmp::FlipVert(TskEffectBmp* Dest) const
{
  CopyTurned(Dest, FWidth, FHeight, [this](int X, int Y) { return POINT{X, FHeight - 1 - Y}; });
}
