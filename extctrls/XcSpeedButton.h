// The extended speed button: a push button without a window of its own that can stay down in a
// group of buttons (GroupIndex, AllowAllUp), repeat its click while held (AllowTimer), show a
// drop-down menu on a press, draw itself flat or raised, and change font, face and glyph while
// the mouse is over it (hot tracking). TXcSpeedButton adds the glyphs (Glyph, HotTrackGlyph,
// NumGlyphs) and paints glyph and caption through TXcxButtonGlyph (XcButtonGlyph.h). The
// preview and crop window's crop buttons are TXcSpeedButtons.
//
// Contract callers rely on:
// - A left press inside and release inside clicks once (OnClick after OnMouseUp); a release
//   outside does not click; dragging back inside before the release does.
// - Down is possible only with a GroupIndex. A button going down takes every other down button
//   of its group and parent up; without AllowAllUp a down button stays down when clicked (and
//   still clicks); all buttons of a group share AllowAllUp.
// - With AllowTimer the click repeats while the button is held and the pointer stays on it:
//   first after InitPause, then every RepeatInterval milliseconds (window timers, so a test's
//   message clock drives them). A failing click stops the repetition.
// - With a DropDownMenu (AutoPopup on) a press shows the menu below (or beside) the button
//   and raises no click.
// - Every click copies ModalResult to the parent form. OnDblClick comes only from a down button.
#pragma once

#include <memory>

#include "extctrls/XcButtonGlyph.h"
#include "extctrls/XcExControls.h"
#include "extctrls/XcHotTrackControl.h"
#include "platform/vcl/ControlActionLink.h"
#include "platform/vcl/Timer.h"

// Sent among the buttons of one parent: wParam the group, lParam the button that went down.
constexpr UINT GroupButtonPressedMessage = 0xB201;

enum TXcDropDownMenuPos { dmpBottom, dmpRight };

// The button states: up, disabled, pressed, exclusive (down in a group), and inactive (a flat
// button not under the mouse; a painting state only).
enum : int { XcButtonUp = 0, XcButtonDisabled = 1, XcButtonPressed = 2, XcButtonExclusive = 3, XcButtonInactive = 4 };

class TXcCustomSpeedButton : public TXcExGraphicControl, public TXcHotTrackValues {
public:
  explicit TXcCustomSpeedButton(TComponent* AOwner);
  ~TXcCustomSpeedButton() override;

  bool GetFlat() const { return FFlat; }
  void SetFlat(bool Value);
  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetDoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TButtonStyle GetStyle() const { return FStyle; }
  void SetStyle(TButtonStyle Value);
  TButtonLayout GetLayout() const { return FLayout; }
  void SetLayout(TButtonLayout Value);
  int GetMargin() const { return FMargin; }
  // Values below -1 are ignored; -1 means automatic.
  void SetMargin(int Value);
  int GetSpacing() const { return FSpacing; }
  void SetSpacing(int Value);
  TAlignment GetAlignment() const { return FGlyph->GetAlignment(); }
  void SetAlignment(TAlignment Value);
  bool GetWordWrap() const { return FGlyph->GetWordWrap(); }
  void SetWordWrap(bool Value);
  bool GetGrayNewStyle() const { return FGlyph->GetGrayNewStyle(); }
  void SetGrayNewStyle(bool Value);
  bool GetGrayedInactive() const { return FGrayedInactive; }
  void SetGrayedInactive(bool Value);
  bool GetDown() const { return FDown; }
  void SetDown(bool Value);
  int GetGroupIndex() const { return FGroupIndex; }
  void SetGroupIndex(int Value);
  bool GetAllowAllUp() const { return FAllowAllUp; }
  void SetAllowAllUp(bool Value);
  bool GetAllowTimer() const { return FAllowTimer; }
  void SetAllowTimer(bool Value);
  Word GetInitPause() const { return FInitPause; }
  void SetInitPause(Word Value) { FInitPause = Value; }
  Word GetRepeatInterval() const { return FRepeatInterval; }
  void SetRepeatInterval(Word Value) { FRepeatInterval = Value; }
  TPopupMenu* GetDropDownMenu() const { return FDropDownMenu; }
  void SetDropDownMenu(TPopupMenu* Value);
  bool GetMarkDropDown() const { return FMarkDropDown; }
  void SetMarkDropDown(bool Value);
  TXcDropDownMenuPos GetMenuPosition() const { return FMenuPosition; }
  void SetMenuPosition(TXcDropDownMenuPos Value) { FMenuPosition = Value; }
  int GetModalResult() const { return FModalResult; }
  void SetModalResult(int Value) { FModalResult = Value; }

  using TXcHotTrackValues::Assign;
  using TXcExGraphicControl::Assign;

  // The state the button is in (XcButtonUp ...), and whether a left press is running.
  int GetButtonState() const { return FButtonState; }
  bool GetPressing() const { return FPressing; }
  // Where the drop-down menu appears, in client coordinates.
  TPoint DropDownMenuPoint();
  // The parent form's ModalResult := ModalResult, then OnClick.
  void Click() override;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void Repaint() override { TXcExGraphicControl::Repaint(); }
  void WndProc(TMessage& Message) override;

  void HookTextChanged() override { Invalidate(); }
  bool HookDialogChar(Word Key, TShiftState Shift, const std::u16string& KeyText) override;
  void HookEnabledChanged() override;
  void HookFontChanged() override;
  void HookVisibleChanged() override;
  void HookMouseEnter(TControl* Control) override;
  void HookMouseLeave(TControl* Control) override;

protected:
  void Loaded() override;
  void Paint() override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;

  // Draws glyph and caption into Rect moved by Offset in the glyph state State.
  virtual void PaintImage(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset, int State, bool DrawMark) = 0;
  // Builds the glyph image of a state ahead of painting.
  virtual void PrepareGlyph(int State) { FGlyph->BuildStateImage(State); }
  // The main glyph object.
  TXcxButtonGlyph* MainGlyph() const { return FGlyph.get(); }
  // The glyph objects' images were released (system colours changed).
  virtual void ReleaseGlyphImages() { FGlyph->ReleaseStateImages(); }
  bool IsDesigning() const { return (GetComponentState() & csDesigning) != 0; }
  TFont* HotTrackBaseFont() override { return GetFont(); }

private:
  void FinishPress(TMouseButton Button, int X, int Y);
  bool ShowDropDownMenu();
  void DropPendingClick();
  void RepeatTick(TObject* Sender);
  void NotifyGroup();
  void GroupButtonPressed(TMessage& Message);
  void SyncMouseOver();
  bool Inside(int X, int Y);
  void PaintClassic(TCanvas* C, TRect& R, TPoint& Offset, int PaintState);
  void PaintThemed(TCanvas* C, TRect& R, TPoint& Offset);
  void WMPaint(TMessage& Message) override;
  void PrepareStateGlyph();

  int FButtonState = XcButtonUp;
  bool FPressing = false;
  bool FMenuShowing = false;
  bool FFlat = false;
  bool FTransparent = false;
  bool FDoubleBuffered = true;
  TButtonStyle FStyle = bsAutoDetect;
  TButtonLayout FLayout = blGlyphTop;
  int FMargin = -1;
  int FSpacing = 1;
  bool FGrayedInactive = true;
  bool FDown = false;
  int FGroupIndex = 0;
  bool FAllowAllUp = false;
  bool FAllowTimer = false;
  Word FInitPause = 500;
  Word FRepeatInterval = 100;
  TPopupMenu* FDropDownMenu = nullptr;
  bool FMarkDropDown = true;
  TXcDropDownMenuPos FMenuPosition = dmpBottom;
  int FModalResult = 0;
  std::unique_ptr<TXcHotTrackOptions> FHotTrackOptions;
  std::unique_ptr<TXcxButtonGlyph> FGlyph;
  TTimer* FRepeatTimer = nullptr;
};

class TXcSpeedButton : public TXcCustomSpeedButton {
public:
  explicit TXcSpeedButton(TComponent* AOwner);

  TBitmap* GetGlyph() const { return MainGlyph()->GetGlyph(); }
  void SetGlyph(TBitmap* Value);
  TBitmap* GetHotTrackGlyph() const { return FHotTrackGlyph->GetGlyph(); }
  void SetHotTrackGlyph(TBitmap* Value);
  int GetNumGlyphs() const { return MainGlyph()->GetNumGlyphs(); }
  // 1 to 5; larger values are taken as 5.
  void SetNumGlyphs(int Value);
  HPALETTE GetPalette() override { return GetGlyph()->GetPalette(); }

protected:
  // After the control's own copying: the action's GroupIndex (when the button has none of its
  // own, or always without CheckDefaults); and, while the button has no Glyph, the action's
  // image from its list's Images, on a clFuchsia ground that becomes transparent.
  void ActionChange(TObject* Sender, bool CheckDefaults) override;
  std::unique_ptr<TControlActionLink> CreateActionLink() override;
  void PaintImage(TCanvas* Canvas, const TRect& Rect, const TPoint& Offset, int State, bool DrawMark) override;
  void ReleaseGlyphImages() override;

private:
  std::unique_ptr<TXcxButtonGlyph> FHotTrackGlyph;
};

// A speed button's link to its action: besides the control's values, the group index (while
// the button's equals the action's) and the checked state as Down (only in a group whose
// buttons may all be up, and while Down equals the action's Checked).
class TXcSpeedButtonActionLink : public TControlActionLink {
public:
  explicit TXcSpeedButtonActionLink(TXcSpeedButton* AClient);
  bool IsCheckedLinked() override;
  bool IsGroupIndexLinked() override;
  void SetChecked(bool Value) override;
  void SetGroupIndex(int Value) override;

protected:
  void AssignClient(TObject* AClient) override;

private:
  TXcSpeedButton* FClient = nullptr;
};

// The shared 8 x 8 checker brush bitmap of down hot-tracked buttons, rebuilt only when asked
// for other colours.
TBitmap* XcCheckerBrushBitmap(TColor Color1, TColor Color2);
