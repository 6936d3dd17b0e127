#include "skin/controls/SkinStdLabels.h"

#include "platform/os/Shell.h"
#include "skin/foundation/SkinEffects.h"

// ---------------------------------------------------------------------------------------------
// TskStdLabelSkin

void TskStdLabelSkin::SetSkinData(TComponent* Owner, TskSkinData* Value)
{
  if (SkinData == Value)
    return;
  if (SkinData)
    SkinData->RemoveFreeNotification(Owner);
  SkinData = Value;
  if (Value)
    Value->FreeNotification(Owner);
}

void TskStdLabelSkin::Notification(TComponent* AComponent, TOperation Operation)
{
  if (Operation == opRemove && AComponent == SkinData) {
    SkinData = nullptr;
    Index = -1;
  }
}

void TskStdLabelSkin::GetSkinData()
{
  Index = FindSkinControlIndex(SkinData, SkinDataName);
  if (Index == -1)
    return;
  auto* record = dynamic_cast<TskDataSkinStdLabelControl*>(SkinControlRecord(SkinData, Index));
  if (!record)
    return;
  FontName = record->fontname;
  FontStyle = record->fontstyle;
  FontHeight = record->fontheight;
  FontColor = record->fontcolor;
  ActiveFontColor = record->activefontcolor;
}

void TskStdLabelSkin::ApplyCharset(TFont* Font, TFont* DefaultFont) const
{
  if (SkinData && SkinData->GetResourceStrData())
    Font->SetCharset(SkinData->GetResourceStrData()->CharSet);
  else
    Font->SetCharset(DefaultFont->GetCharset());
}

TColor TskStdLabelSkin::HighlightColor() const
{
  return Skinned() && SkinData->SkinColors ? SkinData->SkinColors->cbtnhighlight : clBtnHighlight;
}

TColor TskStdLabelSkin::ShadowColor() const
{
  return Skinned() && SkinData->SkinColors ? SkinData->SkinColors->cbtnshadow : clBtnShadow;
}

namespace {

// The canvas font of the standard and text labels.
void SelectLabelFont(TCanvas* Canvas, const TskStdLabelSkin& Skin, TFont* Font, TFont* DefaultFont, bool UseSkinFont,
                     bool UseSkinColor)
{
  TFont* f = Canvas->GetFont();
  if (!Skin.Skinned()) {
    f->Assign(UseSkinFont ? DefaultFont : Font);
  } else {
    f->Assign(Font);
    if (UseSkinFont) {
      f->SetName(Skin.FontName);
      f->SetStyle(Skin.FontStyle);
      f->SetHeight(Skin.FontHeight);
    }
    f->SetColor(UseSkinColor ? Skin.FontColor : Font->GetColor());
  }
  Skin.ApplyCharset(f, DefaultFont);
}

int DrawLabelString(TCanvas* Canvas, const String& Text, TRect& R, int Flags, bool Ex)
{
  if (Ex) {
    String buffer = Text;
    return DrawTextExA(Canvas->GetHandle(), buffer.data(), static_cast<int>(buffer.size()), &R,
                       static_cast<UINT>(Flags), nullptr);
  }
  return DrawTextA(Canvas->GetHandle(), Text.c_str(), static_cast<int>(Text.size()), &R, static_cast<UINT>(Flags));
}

// Draws once when enabled; embossed when not (highlight one pixel down and right, then shadow).
void DrawLabelStates(TCanvas* Canvas, const TskStdLabelSkin& Skin, bool Enabled, const String& Text, TRect& R,
                     int Flags, bool Ex)
{
  if (Enabled) {
    DrawLabelString(Canvas, Text, R, Flags, Ex);
    return;
  }
  OffsetRect(&R, 1, 1);
  Canvas->GetFont()->SetColor(Skin.HighlightColor());
  DrawLabelString(Canvas, Text, R, Flags, Ex);
  OffsetRect(&R, -1, -1);
  Canvas->GetFont()->SetColor(Skin.ShadowColor());
  DrawLabelString(Canvas, Text, R, Flags, Ex);
}

// An empty text (or only the accelerator mark) still measures one line.
String MeasuredText(String Text, int Flags, bool ShowAccelChar)
{
  if ((Flags & DT_CALCRECT) && (Text.empty() || (ShowAccelChar && Text == "&")))
    Text += ' ';
  return Text;
}

UINT AlignmentFlag(TAlignment A)
{
  switch (A) {
  case taRightJustify: return DT_RIGHT;
  case taCenter: return DT_CENTER;
  default: return DT_LEFT;
  }
}

} // namespace

// ---------------------------------------------------------------------------------------------
// TskSkinStdLabel

TskSkinStdLabel::TskSkinStdLabel(TComponent* AOwner) : TCustomLabel(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  SetTransparent(true);
}

TskSkinStdLabel::~TskSkinStdLabel()
{
  if (FSkin.SkinData)
    FSkin.SkinData->RemoveFreeNotification(this);
}

void TskSkinStdLabel::SetEllipsType(TskEllipsType Value)
{
  if (FEllipsType == Value)
    return;
  FEllipsType = Value;
  Invalidate();
}

void TskSkinStdLabel::SetSkinData(TskSkinData* Value)
{
  FSkin.SetSkinData(this, Value);
  if (Value)
    ChangeSkinData();
}

void TskSkinStdLabel::ChangeSkinData()
{
  FSkin.GetSkinData();
  if (GetAutoSize())
    AdjustBounds();
  Repaint();
}

void TskSkinStdLabel::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomLabel::Notification(AComponent, Operation);
  FSkin.Notification(AComponent, Operation);
}

void TskSkinStdLabel::DoDrawText(TRect& Rect, int Flags)
{
  FSkin.GetSkinData();
  const String text = MeasuredText(GetLabelText(), Flags, GetShowAccelChar());
  if (!GetShowAccelChar())
    Flags |= DT_NOPREFIX;
  if (FEllipsType == spetEndEllips)
    Flags |= DT_END_ELLIPSIS;
  else if (FEllipsType == spetPathEllips)
    Flags |= DT_PATH_ELLIPSIS;
  Flags = static_cast<int>(DrawTextBiDiModeFlags(static_cast<UINT>(Flags)));
  TCanvas* canvas = GetCanvas();
  SelectLabelFont(canvas, FSkin, GetFont(), FDefaultFont.get(), FUseSkinFont, FUseSkinColor);
  DrawLabelStates(canvas, FSkin, GetEnabled(), text, Rect, Flags, FEllipsType != spetNone);
}

// ---------------------------------------------------------------------------------------------
// TskSkinTextLabel

TskSkinTextLabel::TskSkinTextLabel(TComponent* AOwner)
    : TGraphicControl(AOwner), FLines(std::make_unique<TStringList>()), FDefaultFont(std::make_unique<TFont>())
{
  FControlStyle = (FControlStyle & ~csOpaque) | csReplicatable;
  SetBounds(GetLeft(), GetTop(), 65, 65);
  TControl::SetAutoSize(true);
  FLines->OnChange = [this](TObject* Sender) { LinesChanged(Sender); };
}

TskSkinTextLabel::~TskSkinTextLabel()
{
  FLines->OnChange = nullptr;
  if (FSkin.SkinData)
    FSkin.SkinData->RemoveFreeNotification(this);
}

void TskSkinTextLabel::SetLines(TStrings* Value)
{
  FLines->Assign(Value);
  Repaint();
}

void TskSkinTextLabel::SetSkinData(TskSkinData* Value)
{
  FSkin.SetSkinData(this, Value);
  if (Value)
    ChangeSkinData();
}

void TskSkinTextLabel::ChangeSkinData()
{
  FSkin.GetSkinData();
  if (GetAutoSize())
    AdjustBounds();
  Repaint();
}

void TskSkinTextLabel::SetAlignment(TAlignment Value)
{
  if (FAlignment == Value)
    return;
  FAlignment = Value;
  Invalidate();
}

void TskSkinTextLabel::SetLayout(TTextLayout Value)
{
  if (FLayout == Value)
    return;
  FLayout = Value;
  Invalidate();
}

void TskSkinTextLabel::SetWordWrap(bool Value)
{
  if (FWordWrap == Value)
    return;
  FWordWrap = Value;
  AdjustBounds();
  Invalidate();
}

void TskSkinTextLabel::SetAutoSize(bool Value)
{
  if (GetAutoSize() == Value)
    return;
  TGraphicControl::SetAutoSize(Value);
  AdjustBounds();
}

void TskSkinTextLabel::Notification(TComponent* AComponent, TOperation Operation)
{
  TGraphicControl::Notification(AComponent, Operation);
  FSkin.Notification(AComponent, Operation);
}

void TskSkinTextLabel::LinesChanged(TObject*)
{
  if (GetAutoSize())
    AdjustBounds();
  Repaint();
}

void TskSkinTextLabel::Loaded()
{
  TGraphicControl::Loaded();
  AdjustBounds();
}

void TskSkinTextLabel::CMFontChanged(TMessage& Message)
{
  TGraphicControl::CMFontChanged(Message);
  AdjustBounds();
  Invalidate();
}

String TskSkinTextLabel::GetLabelText()
{
  String text;
  for (int i = 0; i < FLines->GetCount(); ++i)
    text += FLines->Get(i) + "\r\n";
  return text;
}

void TskSkinTextLabel::DoDrawText(TRect& Rect, int Flags)
{
  FSkin.GetSkinData();
  const String text = GetLabelText();
  Flags = static_cast<int>(DrawTextBiDiModeFlags(static_cast<UINT>(Flags)));
  TCanvas* canvas = GetCanvas();
  SelectLabelFont(canvas, FSkin, GetFont(), FDefaultFont.get(), FUseSkinFont, FUseSkinColor);
  DrawLabelStates(canvas, FSkin, GetEnabled(), text, Rect, Flags, false);
}

void TskSkinTextLabel::MeasureLines(TCanvas* Canvas, TRect& R, int Flags)
{
  DoDrawText(R, Flags | DT_CALCRECT);
  // The line break after the last line counts as one more, empty line.
  if (FLines->GetCount() > 0)
    R.bottom -= Canvas->TextHeight("A");
}

void TskSkinTextLabel::Paint()
{
  TCanvas* canvas = GetCanvas();
  canvas->GetBrush()->SetStyle(bsClear);
  TRect R = GetClientRect();
  const int flags = (FWordWrap ? DT_WORDBREAK : 0) | DT_EXPANDTABS | static_cast<int>(AlignmentFlag(FAlignment));
  if (FLayout != tlTop) {
    TRect measured = R;
    MeasureLines(canvas, measured, flags);
    const int dy = GetHeight() - measured.bottom;
    OffsetRect(&R, 0, FLayout == tlBottom ? dy : dy / 2);
  }
  DoDrawText(R, flags);
}

void TskSkinTextLabel::AdjustBounds()
{
  if ((GetComponentState() & (csReading | csLoading)) || !GetAutoSize())
    return;
  TRect R = GetClientRect();
  HDC dc = GetDC(nullptr);
  TCanvas* canvas = GetCanvas();
  if (auto* controlCanvas = dynamic_cast<TControlCanvas*>(canvas))
    controlCanvas->FreeHandle();
  canvas->SetHandle(dc);
  try {
    MeasureLines(canvas, R, (FWordWrap ? DT_WORDBREAK : 0) | DT_EXPANDTABS);
  } catch (...) {
    canvas->SetHandle(nullptr);
    ReleaseDC(nullptr, dc);
    throw;
  }
  canvas->SetHandle(nullptr);
  ReleaseDC(nullptr, dc);
  int x = GetLeft();
  if (FAlignment == taRightJustify)
    x += GetWidth() - R.right;
  SetBounds(x, GetTop(), R.right, R.bottom);
}

// ---------------------------------------------------------------------------------------------
// TskSkinLinkLabel

TskSkinLinkLabel::TskSkinLinkLabel(TComponent* AOwner) : TCustomLabel(AOwner), FDefaultFont(std::make_unique<TFont>())
{
  SetTransparent(true);
  FDefaultFont->SetName("Arial");
  FDefaultFont->SetHeight(14);
  FDefaultFont->SetStyle(fsUnderline);
  GetFont()->Assign(FDefaultFont.get());
  SetCursor(crHandPoint);
}

TskSkinLinkLabel::~TskSkinLinkLabel()
{
  if (FSkin.SkinData)
    FSkin.SkinData->RemoveFreeNotification(this);
}

void TskSkinLinkLabel::SetUseUnderLine(bool Value)
{
  if (FUseUnderLine == Value)
    return;
  FUseUnderLine = Value;
  Repaint();
}

void TskSkinLinkLabel::SetSkinData(TskSkinData* Value)
{
  FSkin.SetSkinData(this, Value);
  if (Value)
    ChangeSkinData();
}

void TskSkinLinkLabel::ChangeSkinData()
{
  FSkin.GetSkinData();
  Repaint();
}

void TskSkinLinkLabel::Notification(TComponent* AComponent, TOperation Operation)
{
  TCustomLabel::Notification(AComponent, Operation);
  FSkin.Notification(AComponent, Operation);
}

void TskSkinLinkLabel::DoDrawText(TRect& Rect, int Flags)
{
  FSkin.GetSkinData();
  const String text = MeasuredText(GetLabelText(), Flags, GetShowAccelChar());
  if (!GetShowAccelChar())
    Flags |= DT_NOPREFIX;
  Flags = static_cast<int>(DrawTextBiDiModeFlags(static_cast<UINT>(Flags)));
  TRect D = Rect;
  if (FGlowEffect)
    OffsetRect(&D, 0, FGlowSize);
  TCanvas* canvas = GetCanvas();
  TFont* f = canvas->GetFont();
  if (!FSkin.Skinned()) {
    f->Assign(FUseSkinFont ? FDefaultFont.get() : GetFont());
    FSkin.ApplyCharset(f, FDefaultFont.get());
    if (FHovered)
      f->SetColor(FDefaultActiveFontColor);
    f->SetStyle(f->GetStyle() | fsUnderline);
  } else {
    f->Assign(GetFont());
    if (FUseSkinFont) {
      f->SetName(FSkin.FontName);
      f->SetStyle(FSkin.FontStyle);
      f->SetHeight(FSkin.FontHeight);
    }
    f->SetStyle(FUseUnderLine ? (f->GetStyle() | fsUnderline) : (f->GetStyle() & ~TFontStyles(fsUnderline)));
    FSkin.ApplyCharset(f, FDefaultFont.get());
    f->SetColor(FHovered && !FGlowEffect ? FSkin.ActiveFontColor : FSkin.FontColor);
  }
  const TColor glow = FSkin.Skinned() ? FSkin.ActiveFontColor : FDefaultActiveFontColor;
  if (GetEnabled()) {
    f->SetStyle(FUseUnderLine ? (f->GetStyle() | fsUnderline) : (f->GetStyle() & ~TFontStyles(fsUnderline)));
    if (FHovered && FGlowEffect)
      DrawGlowText(canvas, D, text, static_cast<UINT>(Flags), 0, glow, FGlowSize);
    else
      DrawLabelString(canvas, text, D, Flags, false);
  } else {
    DrawLabelStates(canvas, FSkin, false, text, D, Flags, false);
  }
}

void TskSkinLinkLabel::Click()
{
  TCustomLabel::Click();
  if (!FURL.empty())
    ShellExecuteA(nullptr, "open", FURL.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

void TskSkinLinkLabel::CMMouseEnter(TMessage& Message)
{
  TCustomLabel::CMMouseEnter(Message);
  if (GetComponentState() & csDesigning)
    return;
  FHovered = true;
  Repaint();
}

void TskSkinLinkLabel::CMMouseLeave(TMessage& Message)
{
  TCustomLabel::CMMouseLeave(Message);
  if (GetComponentState() & csDesigning)
    return;
  FHovered = false;
  Repaint();
}
