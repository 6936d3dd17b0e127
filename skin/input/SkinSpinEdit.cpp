#include "skin/input/SkinSpinEdit.h"

#include "platform/rtl/Convert.h"
#include "platform/rtl/MathUtils.h"
#include "platform/vcl/Canvas.h"
#include "skin/foundation/SkinDrawUtils.h"
#include "skin/foundation/SkinGlyphs.h"
#include "skin/foundation/SkinImages.h"
#include "skin/foundation/SkinStrings.h"
#include "skin/foundation/SkinStripImages.h"
#include "skin/controls/SkinResizedButton.h"

namespace {

// A held button: the first tick 500 ms after the press, then every 100 ms; back on the button
// after sliding off, every 50 ms.
constexpr UINT FirstRepeatDelay = 500;
constexpr UINT RepeatInterval = 100;
constexpr UINT ResumeInterval = 50;

} // namespace

TskSkinSpinEdit::TskSkinSpinEdit(TComponent* AOwner)
    : TskSkinCustomControl(AOwner), FRepeat(this, FirstRepeatDelay, RepeatInterval, ResumeInterval)
{
  FControlStyle = csAcceptsControls | csCaptureMouse | csOpaque | csDoubleClicks;
  FSkinDataName = "spinedit";
  SetWidth(120);
  SetHeight(20);
  FEdit = new TskSkinNumEdit(this);
  FEdit->SetParent(this);
  FEdit->SetBorderStyle(bsNone);
  FEdit->SetParentFont(false);
  FEdit->GetFont()->Assign(GetDefaultFont());
  FEdit->OnChange = [this](TObject*) { EditChange(); };
  FEdit->OnUpClick = [this](TObject*) { StepUp(); };
  FEdit->OnDownClick = [this](TObject*) { StepDown(); };
  FEdit->OnKeyDown = [this](TObject*, Word& Key, TShiftState Shift) { EditKeyDown(Key, Shift); };
  FEdit->OnKeyUp = [this](TObject*, Word& Key, TShiftState Shift) { EditKeyUp(Key, Shift); };
  FEdit->OnKeyPress = [this](TObject*, char& Key) { EditKeyPress(Key); };
  FEdit->OnEnter = [this](TObject*) { EditEnter(); };
  FEdit->OnExit = [this](TObject*) { EditExit(); };
  FEdit->OnEditMouseEnter = [this](TObject*) { EditMouseEnter(); };
  FEdit->OnEditMouseLeave = [this](TObject*) { EditMouseLeave(); };
  FromCode = true;
  SetText("0");
  FromCode = false;
  CalcRects();
}

TskSkinSpinEdit::~TskSkinSpinEdit()
{
  TskSkinNumEdit* edit = FEdit;
  FEdit = nullptr;
  delete edit;
}

// ----- value and text -----

double TskSkinSpinEdit::ClampValue(double X) const
{
  if (FMinValue == 0 && FMaxValue == 0)
    return X;
  if (X < FMinValue)
    return FMinValue;
  if (X > FMaxValue)
    return FMaxValue;
  return X;
}

String TskSkinSpinEdit::FormatValue(double X) const
{
  if (FValueType == vtFloat)
    return FloatToStrF(X, ffFixed, 15, FDecimal);
  return IntToStr(Round(X));
}

void TskSkinSpinEdit::SetEditTextFromCode(const String& S)
{
  const bool was = FromCode;
  FromCode = true;
  FEdit->SetText(S);
  FromCode = was;
}

void TskSkinSpinEdit::SetValue(double AValue)
{
  FValue = ClampValue(AValue);
  const bool was = FromCode;
  FromCode = true;
  if (was)
    FEdit->SetText(FormatValue(ClampValue(AValue)));
  else
    SetText(FormatValue(ClampValue(AValue)));
  FromCode = false;
  if (!was)
    Change();
}

void TskSkinSpinEdit::SetMinValue(double AValue)
{
  FMinValue = AValue;
  if (FValue < FMinValue)
    SetValue(FMinValue);
}

void TskSkinSpinEdit::SetMaxValue(double AValue)
{
  FMaxValue = AValue;
  if (FValue > FMaxValue)
    SetValue(FMaxValue);
}

void TskSkinSpinEdit::SetValueType(TskValueType AValue)
{
  if (FValueType != AValue) {
    FValueType = AValue;
    if (FValueType == vtInteger) {
      FIncrement = static_cast<double>(Round(FIncrement));
      if (FIncrement == 0)
        FIncrement = 1;
    }
  }
  FEdit->SetFloatValue(FValueType == vtFloat);
}

bool TskSkinSpinEdit::GetEditorEnabled() const { return FEdit->GetEditorEnabled(); }
void TskSkinSpinEdit::SetEditorEnabled(bool AValue) { FEdit->SetEditorEnabled(AValue); }
int TskSkinSpinEdit::GetMaxLength() const { return FEdit->GetMaxLength(); }
void TskSkinSpinEdit::SetMaxLength(int AValue) { FEdit->SetMaxLength(AValue); }

void TskSkinSpinEdit::SetDefaultColor(TColor AValue)
{
  FDefaultColor = AValue;
  if (!Skinned())
    FEdit->SetColor(AValue);
}

void TskSkinSpinEdit::Change()
{
  FromCode = true;
  if (OnChange)
    OnChange(this);
  FromCode = false;
}

void TskSkinSpinEdit::StepUp()
{
  SetValue(FValue + FIncrement);
  if (OnUpButtonClick)
    OnUpButtonClick(this);
}

void TskSkinSpinEdit::StepDown()
{
  SetValue(FValue - FIncrement);
  if (OnDownButtonClick)
    OnDownButtonClick(this);
}

bool TskSkinSpinEdit::IsValidText(const String& S) const
{
  if (S.empty() || S == "-")
    return false;
  int minus = 0, separators = 0;
  for (std::size_t i = 0; i < S.size(); ++i) {
    const char c = S[i];
    if (c == '-') {
      if (i != 0 || ++minus > 1)
        return false;
    } else if (FValueType == vtFloat && c == DecimalSeparator) {
      if (i == 0 || ++separators > 1)
        return false;
    } else if (c < '0' || c > '9') {
      return false;
    }
  }
  return true;
}

void TskSkinSpinEdit::EditChange()
{
  TextFromEdit = true;
  SetText(FEdit->GetText());
  TextFromEdit = false;
}

void TskSkinSpinEdit::CMTextChanged(TMessage& Message)
{
  TskSkinCustomControl::CMTextChanged(Message);
  if (!FEdit)
    return;
  if (!TextFromEdit)
    FEdit->SetText(GetText());
  if (FromCode)
    return;
  const String text = FEdit->GetText();
  if (!IsValidText(text))
    return;
  // A text the value type cannot hold (an integer beyond 32 bits) is invalid text as well.
  double v = 0;
  if (FValueType == vtFloat) {
    if (!TryStrToFloat(text, v))
      return;
  } else {
    int i = 0;
    if (!TryStrToInt(text, i))
      return;
    v = i;
  }
  const double c = ClampValue(v);
  if (c != FValue) {
    FValue = c;
    Change();
  }
  const bool unreachable = (c < v && !(c < 0 && v < 0)) || (c < 0 && v < 0 && c > v) || (FMinValue > 0 && v < 0) ||
                           (FMaxValue < 0 && v > 0);
  if (unreachable)
    SetEditTextFromCode(FValueType == vtFloat ? FloatToStrF(c, ffFixed, 15, FDecimal) : IntToStr(Round(FValue)));
}

// ----- inner edit events -----

void TskSkinSpinEdit::EditKeyDown(Word& Key, TShiftState Shift)
{
  if (OnEditKeyDown)
    OnEditKeyDown(this, Key, Shift);
}

void TskSkinSpinEdit::EditKeyUp(Word& Key, TShiftState Shift)
{
  if (OnEditKeyUp)
    OnEditKeyUp(this, Key, Shift);
}

void TskSkinSpinEdit::EditKeyPress(char& Key)
{
  if (OnEditKeyPress)
    OnEditKeyPress(this, Key);
}

void TskSkinSpinEdit::EditEnter()
{
  if (OnEditEnter)
    OnEditEnter(this);
  EditFocused = true;
  if (HotLookAvailable())
    Repaint();
  if (Skinned() && ActiveFontColor != FontColor)
    FEdit->GetFont()->SetColor(ActiveFontColor);
}

void TskSkinSpinEdit::EditExit()
{
  if (OnEditExit)
    OnEditExit(this);
  EditFocused = false;
  if (HotLookAvailable())
    Repaint();
  if (Skinned() && ActiveFontColor != FontColor && !MouseIn)
    FEdit->GetFont()->SetColor(FontColor);
  SetEditTextFromCode(FormatValue(FValue));
}

void TskSkinSpinEdit::EditMouseEnter()
{
  MouseIn = true;
  if (HotLookAvailable() && !EditFocused)
    Repaint();
  if (Skinned() && ActiveFontColor != FontColor && !EditFocused)
    FEdit->GetFont()->SetColor(ActiveFontColor);
}

void TskSkinSpinEdit::EditMouseLeave()
{
  MouseIn = false;
  if (HotLookAvailable() && !EditFocused)
    Repaint();
  if (Skinned() && ActiveFontColor != FontColor && !EditFocused)
    FEdit->GetFont()->SetColor(FontColor);
}

// ----- buttons -----

void TskSkinSpinEdit::TestActive(int X, int Y)
{
  FOldActive = FActive;
  FActive = -1;
  const POINT p{X, Y};
  for (int i = 0; i < 2; ++i) {
    const RECT r = FButtons[i].R;
    if (PtInRect(&r, p)) {
      FActive = i;
      break;
    }
  }
  if (FCaptured != -1 && FActive != FCaptured)
    FActive = -1;
  if (FActive != FOldActive) {
    if (FOldActive != -1)
      ButtonLeave(FOldActive);
    if (FActive != -1)
      ButtonEnter(FActive);
  }
}

void TskSkinSpinEdit::ButtonEnter(int I)
{
  FButtons[I].MouseIn = true;
  Repaint();
  if (FButtons[I].Down)
    FRepeat.Resume();
}

void TskSkinSpinEdit::ButtonLeave(int I)
{
  FButtons[I].MouseIn = false;
  Repaint();
  if (FButtons[I].Down)
    FRepeat.Pause();
}

void TskSkinSpinEdit::ButtonDown(int I)
{
  FTimerMode = I == 0 ? 2 : 1;
  FRepeat.Start();
  FButtons[I].MouseIn = true;
  FButtons[I].Down = true;
  Repaint();
}

void TskSkinSpinEdit::ButtonUp(int I)
{
  FRepeat.Stop();
  FTimerMode = 0;
  FButtons[I].Down = false;
  if (FActive != I)
    FButtons[I].MouseIn = false;
  Repaint();
  if (FButtons[I].MouseIn) {
    if (I == 0)
      StepUp();
    else
      StepDown();
  }
}

void TskSkinSpinEdit::RepeatStep()
{
  if (FTimerMode == 1)
    SetValue(FValue - FIncrement);
  else if (FTimerMode == 2)
    SetValue(FValue + FIncrement);
}

void TskSkinSpinEdit::MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  TestActive(X, Y);
  if (FActive != -1) {
    FCaptured = FActive;
    ButtonDown(FActive);
  }
  TskSkinCustomControl::MouseDown(Button, Shift, X, Y);
}

void TskSkinSpinEdit::MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y)
{
  if (FCaptured != -1) {
    const int captured = FCaptured;
    FCaptured = -1;
    ButtonUp(captured);
  }
  TskSkinCustomControl::MouseUp(Button, Shift, X, Y);
}

void TskSkinSpinEdit::MouseMove(TShiftState Shift, int X, int Y)
{
  TskSkinCustomControl::MouseMove(Shift, X, Y);
  TestActive(X, Y);
}

void TskSkinSpinEdit::WndProc(TMessage& Message)
{
  switch (Message.Msg) {
  case WM_TIMER:
    TskSkinCustomControl::WndProc(Message);
    if (FRepeat.Tick(Message.WParam))
      RepeatStep();
    return;
  case WM_SIZE:
    TskSkinCustomControl::WndProc(Message);
    CalcRects();
    return;
  case WM_ERASEBKGND:
    if (InWMPaint) {
      Message.Result = 1;
      return;
    }
    break;
  default:
    break;
  }
  TskSkinCustomControl::WndProc(Message);
}

void TskSkinSpinEdit::CMMouseEnter(TMessage& Message)
{
  TskSkinCustomControl::CMMouseEnter(Message);
  TestActive(-1, -1);
  if (!EditFocused && HotLookAvailable()) {
    MouseIn = true;
    Repaint();
  }
  if (Skinned() && ActiveFontColor != FontColor && !EditFocused)
    FEdit->GetFont()->SetColor(ActiveFontColor);
}

void TskSkinSpinEdit::CMMouseLeave(TMessage& Message)
{
  TskSkinCustomControl::CMMouseLeave(Message);
  for (TButton& b : FButtons) {
    if (b.MouseIn) {
      b.MouseIn = false;
      Repaint();
    }
  }
  POINT p{};
  GetCursorPos(&p);
  const HWND under = WindowFromPoint(p);
  if (FEdit->HandleAllocated() && under == FEdit->GetHandle())
    return;
  if (EditFocused)
    return;
  if (HotLookAvailable()) {
    MouseIn = false;
    Repaint();
  }
  if (Skinned() && ActiveFontColor != FontColor)
    FEdit->GetFont()->SetColor(FontColor);
}

void TskSkinSpinEdit::CMEnabledChanged(TMessage& Message)
{
  TskSkinCustomControl::CMEnabledChanged(Message);
  if (GetEnabled())
    FEdit->GetFont()->SetColor(Skinned() ? FontColor : GetDefaultFont()->GetColor());
  else
    FEdit->GetFont()->SetColor(Skinned() ? DisabledFontColor : clGrayText);
}

void TskSkinSpinEdit::CMFocusChanged(TMessage& Message)
{
  TskSkinCustomControl::CMFocusChanged(Message);
  if (Focused() && FEdit->HandleAllocated())
    FEdit->SetFocus();
}

void TskSkinSpinEdit::Invalidate()
{
  TskSkinCustomControl::Invalidate();
  if (Skinned() && FEdit)
    FEdit->Invalidate();
}

// ----- skin and layout -----

void TskSkinSpinEdit::GetSkinData()
{
  TskSkinCustomControl::GetSkinData();
  if (FIndex == -1)
    return;
  auto* r = dynamic_cast<TskDataSkinSpinEditControl*>(SkinControlRecord(FSkinData, FIndex));
  if (!r)
    return;
  ActiveSkinRect = r->activeskinrect;
  FontName = r->fontname;
  FontStyle = r->fontstyle;
  FontHeight = r->fontheight;
  FontColor = r->fontcolor;
  ActiveFontColor = r->activefontcolor;
  DisabledFontColor = r->disabledfontcolor;
  UpButtonRect = r->upbuttonrect;
  ActiveUpButtonRect = r->activeupbuttonrect;
  DownUpButtonRect = IsRectEmpty(&r->downupbuttonrect) ? r->activeupbuttonrect : r->downupbuttonrect;
  DownButtonRect = r->downbuttonrect;
  ActiveDownButtonRect = r->activedownbuttonrect;
  DownDownButtonRect = IsRectEmpty(&r->downdownbuttonrect) ? r->activedownbuttonrect : r->downdownbuttonrect;
  FixedLeft = r->lefttoppoint.x;
  FixedRight = RectWidth(r->skinrect) - r->righttoppoint.x;
}

void TskSkinSpinEdit::AdjustEditHeight()
{
  HDC dc = GetDC(nullptr);
  HGDIOBJ old = SelectObject(dc, FEdit->GetFont()->GetHandle());
  TEXTMETRICA tm{};
  GetTextMetricsA(dc, &tm);
  SelectObject(dc, old);
  ReleaseDC(nullptr, dc);
  FEdit->SetHeight(tm.tmHeight);
}

void TskSkinSpinEdit::CalcRects()
{
  if (!FEdit)
    return;
  const int W = GetWidth(), H = GetHeight();
  if (!Skinned()) {
    FButtons[0].R = Rect(W - 17, 2, W - 2, H / 2);
    FButtons[1].R = Rect(W - 17, H / 2, W - 2, H - 2);
    AdjustEditHeight();
    FEdit->SetBounds(2, H / 2 - FEdit->GetHeight() / 2, W - 19, FEdit->GetHeight());
    return;
  }
  const int dW = W - RectWidth(SkinRect);
  auto place = [&](TRect R) {
    if (R.left > RTPoint.x)
      OffsetRect(&R, dW, 0);
    return R;
  };
  FButtons[0].R = place(UpButtonRect);
  FButtons[1].R = place(DownButtonRect);
  TRect E = ClRect;
  E.right += dW;
  if (!FUseSkinSize) {
    const int dH = H - RectHeight(SkinRect);
    E.bottom += dH;
    if (FButtons[1].R.bottom >= FButtons[0].R.bottom) {
      TRect U{FButtons[0].R.left, FButtons[0].R.top, FButtons[1].R.right, FButtons[1].R.bottom + dH};
      const int S = U.top + U.bottom / 2;
      FButtons[0].R = Rect(U.left, U.top, U.right, S);
      FButtons[1].R = Rect(U.left, S, U.right, U.bottom);
    } else {
      FButtons[0].R.bottom += dH;
      FButtons[1].R.bottom += dH;
    }
  }
  AdjustEditHeight();
  FEdit->SetBounds(E.left, E.top + RectHeight(E) / 2 - FEdit->GetHeight() / 2, RectWidth(E), FEdit->GetHeight());
}

void TskSkinSpinEdit::CalcSize(int& W, int& H)
{
  if (FUseSkinSize) {
    TskSkinCustomControl::CalcSize(W, H);
    return;
  }
  if (FIndex == -1)
    return;
  NewRTPoint.x = W + RTPoint.x - RectWidth(SkinRect);
  NewClRect = ClRect;
  NewClRect.right += W - RectWidth(SkinRect);
}

void TskSkinSpinEdit::SetControlRegion()
{
  if (FUseSkinSize)
    TskSkinCustomControl::SetControlRegion();
}

void TskSkinSpinEdit::ApplyEditFontColor()
{
  if (GetEnabled()) {
    if (!Skinned())
      FEdit->GetFont()->SetColor(GetDefaultFont()->GetColor());
    else
      FEdit->GetFont()->SetColor(MouseIn || EditFocused ? ActiveFontColor : FontColor);
  } else {
    FEdit->GetFont()->SetColor(Skinned() ? DisabledFontColor : clGrayText);
  }
}

void TskSkinSpinEdit::ChangeSkinData()
{
  TskSkinCustomControl::ChangeSkinData();
  TFont* font = FEdit->GetFont();
  if (!Skinned()) {
    font->Assign(GetDefaultFont());
  } else if (GetUseSkinFont()) {
    font->SetStyle(FontStyle);
    font->SetColor(FontColor);
    font->SetHeight(FontHeight);
    font->SetName(FontName);
  } else {
    font->Assign(GetDefaultFont());
    font->SetColor(FontColor);
  }
  TskResourceStrData* strings = FSkinData ? FSkinData->GetResourceStrData() : nullptr;
  font->SetCharset(strings ? strings->CharSet : GetDefaultFont()->GetCharset());
  if (!Skinned()) {
    if (FEdit->GetEditTransparent())
      FEdit->SetEditTransparent(false);
    FEdit->SetColor(FDefaultColor);
  } else {
    if (!FEdit->GetEditTransparent())
      FEdit->SetEditTransparent(true);
    if (FUseSkinSize)
      SetHeight(RectHeight(SkinRect));
  }
  CalcRects();
  ApplyEditFontColor();
  Repaint();
}

void TskSkinSpinEdit::DefaultFontChanged()
{
  if (Skinned() && GetUseSkinFont())
    return;
  if (!FEdit)
    return;
  FEdit->GetFont()->Assign(GetDefaultFont());
  AdjustEditHeight();
}

// ----- painting -----

void TskSkinSpinEdit::DrawDefaultButton(TCanvas* C, int I)
{
  const TButton& b = FButtons[I];
  TRect r = b.R;
  C->GetBrush()->SetStyle(bsSolid);
  if (b.Down && b.MouseIn) {
    Frame3D(C, r, clNavy, clNavy, 1);
    C->GetBrush()->SetColor(0xB59385);
  } else if (b.MouseIn) {
    Frame3D(C, r, clNavy, clNavy, 1);
    C->GetBrush()->SetColor(0xD2BDB6);
  } else {
    C->GetBrush()->SetColor(clBtnFace);
  }
  C->FillRect(r);
  DrawArrowGlyph(C, r, clBlack, I == 0 ? 3 : 4);
}

void TskSkinSpinEdit::CreateControlDefaultImage(TBitmap* B)
{
  TCanvas* c = B->GetCanvas();
  TRect r = Rect(0, 0, GetWidth(), GetHeight());
  c->GetBrush()->SetStyle(bsSolid);
  c->GetBrush()->SetColor(FDefaultColor);
  c->FillRect(r);
  Frame3D(c, r, clBtnShadow, clBtnShadow, 1);
  Frame3D(c, r, clBtnFace, clBtnFace, 1);
  for (int i = 0; i < 2; ++i)
    DrawDefaultButton(c, i);
}

void TskSkinSpinEdit::CreateControlSkinImage(TBitmap* B)
{
  const bool hot = (MouseIn || EditFocused) && !IsRectEmpty(&ActiveSkinRect);
  if (FUseSkinSize) {
    if (!hot)
      TskSkinCustomControl::CreateControlSkinImage(B);
    else
      BuildHorzSkinBitmap(FixedLeft, FixedRight, B, Picture, ActiveSkinRect, GetWidth(), RectHeight(ActiveSkinRect),
                          StretchEffect);
    for (int i = 0; i < 2; ++i) {
      const TButton& b = FButtons[i];
      TRect source{};
      if (b.Down && b.MouseIn)
        source = i == 0 ? DownUpButtonRect : DownDownButtonRect;
      else if (b.MouseIn)
        source = i == 0 ? ActiveUpButtonRect : ActiveDownButtonRect;
      if (!IsRectEmpty(&source) && Picture)
        SkinPatches::CopyPatch(B->GetCanvas(), b.R, Picture, source);
    }
    return;
  }
  B->SetSize(GetWidth(), GetHeight());
  BuildSkinBitmap(B, Picture, hot ? ActiveSkinRect : SkinRect, ClRect, true);
  const char* name = FindSkinControlIndex(FSkinData, "editbutton") != -1 ? "editbutton" : "resizebutton";
  for (int i = 0; i < 2; ++i) {
    const TButton& b = FButtons[i];
    const TskResizedButtonState state = b.Down && b.MouseIn ? TskResizedButtonState::Pressed
                                        : b.MouseIn         ? TskResizedButtonState::Hot
                                                            : TskResizedButtonState::Normal;
    if (!DrawResizedButton(FSkinData, name, B->GetCanvas(), b.R, state, i == 0 ? 3 : 4))
      DrawBlankResizedButton(B->GetCanvas(), b.R);
  }
}
