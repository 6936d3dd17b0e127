#include "core/CropArithmetic.h"

#include "platform/rtl/Convert.h"
#include "platform/rtl/MathErrors.h"
#include "platform/rtl/MathUtils.h"
#include "platform/rtl/StrUtils.h"

namespace {

double Divide(double A, double B)
{
  if (B == 0) throw EZeroDivide(SZeroDivide);
  return A / B;
}

}  // namespace

TCropTexts ComputeCropTexts(Int64 SW, Int64 SH, Int64 L, Int64 R, Int64 T, Int64 B)
{
  TCropTexts Out;
  const Int64 X = Round(static_cast<double>(L) / 8) * 8;
  const Int64 Y = Round(static_cast<double>(T) / 8) * 8;
  Int64 W = Round(static_cast<double>(SW - L - R) / 16) * 16;
  Int64 H = Round(static_cast<double>(SH - T - B) / 16) * 16;
  if (X + W > SW) W = SW - X;
  if (Y + H > SH) H = SH - Y;
  Out.Width = W;
  Out.Height = H;
  const bool NothingCut = L == 0 && R == 0 && T == 0 && B == 0;
  if (NothingCut || W <= 0 || H <= 0 || X < 0 || Y < 0) return Out;
  Out.Filter = "crop=" + IntToStr(W) + ":" + IntToStr(H) + ":" + IntToStr(X) + ":" + IntToStr(Y);
  Out.ClipArgs = "-v_clip " + IntToStr(L) + " " + IntToStr(T) + " " + IntToStr(R) + " " + IntToStr(B);
  Out.CropArgs = "-croptop " + IntToStr(T) + " -cropbottom " + IntToStr(B) + " -cropleft " + IntToStr(L) +
                 " -cropright " + IntToStr(R);
  return Out;
}

TScreenSize ParseScreenSize(const String& Text)
{
  String Width = Trim(Copy(Text, 1, Pos("x", Text)));
  Width = Trim(StringReplace(Width, "x", ""));
  String Height = StringReplace(Text, Width, "");
  Height = Trim(StringReplace(Height, "x", ""));
  TScreenSize Size;
  Size.Width = StrToInt(Width);
  Size.Height = StrToInt(Height);
  return Size;
}

Int64 Ceil16(Int64 V)
{
  Int64 Q = V / 16;
  if (Q * 16 < V) ++Q;
  return Q * 16;
}

namespace {

struct TFit {
  double Rx = 0, Ry = 0;
  Int64 CW = 0, CH = 0, FW = 0, FH = 0;
};

TFit FitToScreen(const TFillScreenInput& In)
{
  TFit F;
  F.Rx = Divide(static_cast<double>(In.DisplayWidth), static_cast<double>(In.StoredWidth));
  F.Ry = Divide(static_cast<double>(In.DisplayHeight), static_cast<double>(In.StoredHeight));
  F.CW = Round(static_cast<double>(In.StoredWidth - In.Left - In.Right) * F.Rx);
  F.CH = Round(static_cast<double>(In.StoredHeight - In.Top - In.Bottom) * F.Ry);
  const double SW = static_cast<double>(In.ScreenWidth);
  const double SH = static_cast<double>(In.ScreenHeight);
  F.FH = Trunc(Divide(SW, static_cast<double>(F.CW)) * static_cast<double>(F.CH));
  F.FW = In.ScreenWidth;
  if (F.FH > In.ScreenHeight) {
    F.FW = Trunc(Divide(SH, static_cast<double>(F.CH)) * static_cast<double>(F.CW));
    F.FH = In.ScreenHeight;
  }
  return F;
}

// Top and bottom: what the picture would leave at the sides is cut from top and bottom.
Int64 VerticalGrowth(const TFillScreenInput& In, const TFit& F)
{
  const Int64 T = Trunc(Divide(static_cast<double>(F.CW), static_cast<double>(In.ScreenWidth)) *
                        static_cast<double>(In.ScreenHeight));
  return Round(Divide(static_cast<double>(F.CH - T), 2 * F.Ry));
}

Int64 HorizontalGrowth(const TFillScreenInput& In, const TFit& F)
{
  const Int64 T = Trunc(Divide(static_cast<double>(F.CH), static_cast<double>(In.ScreenHeight)) *
                        static_cast<double>(In.ScreenWidth));
  return Round(Divide(static_cast<double>(F.CW - T), 2 * F.Rx));
}

Int64 RoundTo4(Int64 A) { return Round(static_cast<double>(A) / 4) * 4; }

}  // namespace

TCropGrowth FillScreenGrowth(const TFillScreenInput& In)
{
  const TFit F = FitToScreen(In);
  TCropGrowth G;
  if (Ceil16(F.FW) < In.ScreenWidth) G.Vertical = VerticalGrowth(In, F);
  if (Ceil16(F.FH) < In.ScreenHeight) G.Horizontal = HorizontalGrowth(In, F);
  return G;
}

TCropGrowth FillScreenGrowthBatch(const TFillScreenInput& In)
{
  const TFit F = FitToScreen(In);
  TCropGrowth G;
  if (In.ScreenWidth > F.FW) G.Vertical = RoundTo4(VerticalGrowth(In, F));
  if (In.ScreenHeight > F.FH) G.Horizontal = RoundTo4(HorizontalGrowth(In, F));
  return G;
}
