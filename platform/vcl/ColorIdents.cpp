#include "platform/vcl/ColorIdents.h"

#include "platform/rtl/StrUtils.h"

namespace {

struct TColorIdent {
  TColor Color;
  const char* Name;
};

#define QV_COLOR(Name) {Name, #Name}
const TColorIdent ColorIdents[] = {
    QV_COLOR(clBlack), QV_COLOR(clMaroon), QV_COLOR(clGreen), QV_COLOR(clOlive), QV_COLOR(clNavy),
    QV_COLOR(clPurple), QV_COLOR(clTeal), QV_COLOR(clGray), QV_COLOR(clSilver), QV_COLOR(clRed),
    QV_COLOR(clLime), QV_COLOR(clYellow), QV_COLOR(clBlue), QV_COLOR(clFuchsia), QV_COLOR(clAqua),
    QV_COLOR(clWhite), QV_COLOR(clMoneyGreen), QV_COLOR(clSkyBlue), QV_COLOR(clCream), QV_COLOR(clMedGray),
    QV_COLOR(clActiveBorder), QV_COLOR(clActiveCaption), QV_COLOR(clAppWorkSpace), QV_COLOR(clBackground),
    QV_COLOR(clBtnFace), QV_COLOR(clBtnHighlight), QV_COLOR(clBtnShadow), QV_COLOR(clBtnText),
    QV_COLOR(clCaptionText), QV_COLOR(clDefault), QV_COLOR(clGradientActiveCaption),
    QV_COLOR(clGradientInactiveCaption), QV_COLOR(clGrayText), QV_COLOR(clHighlight), QV_COLOR(clHighlightText),
    QV_COLOR(clHotLight), QV_COLOR(clInactiveBorder), QV_COLOR(clInactiveCaption),
    QV_COLOR(clInactiveCaptionText), QV_COLOR(clInfoBk), QV_COLOR(clInfoText), QV_COLOR(clMenu),
    QV_COLOR(clMenuBar), QV_COLOR(clMenuHighlight), QV_COLOR(clMenuText), QV_COLOR(clNone),
    QV_COLOR(clScrollBar), QV_COLOR(cl3DDkShadow), QV_COLOR(cl3DLight), QV_COLOR(clWindow),
    QV_COLOR(clWindowFrame), QV_COLOR(clWindowText),
};
#undef QV_COLOR

}  // namespace

bool IdentToColor(const String& Ident, TColor& Color)
{
  for (const auto& C : ColorIdents)
    if (SameText(Ident, C.Name)) {
      Color = C.Color;
      return true;
    }
  return false;
}

bool ColorToIdent(TColor Color, String& Ident)
{
  for (const auto& C : ColorIdents)
    if (C.Color == Color) {
      Ident = C.Name;
      return true;
    }
  return false;
}
