// The message layer under every extended control. One window procedure per control turns the
// class library's component messages and a few window messages into overridable hooks, keeps
// track of the mouse being over the control (OnMouseEnter / OnMouseLeave, MouseOver), gives
// the control a hint colour that may follow its parent, raises OnParentColorChange after the
// control has followed its parent's colour, and (windowed controls) can draw a two-pixel flat
// focus frame (DotNetHighlighting).
//
// Contract for descendants:
// - Every hook's default hands its message to the stock class's window procedure exactly once
//   (wParam 0, the control concerned as lParam where the hook takes one), so an override that
//   does not call the default keeps the message from the stock class.
// - OnMouseEnter is raised before the stock mouse-enter handling and OnMouseLeave after the
//   stock mouse-leave handling; MouseOver is already up to date in both. The events are the
//   control's own OnMouseEnter / OnMouseLeave and are raised once per message.
// - WM_ERASEBKGND, WM_PRINT and WM_PRINTCLIENT leave the caller's DC in the state they found
//   it (origin, clip, selected objects), also when painting fails.
//
// TXcExGraphicControl is the member without a window: only the first three hooks and the
// common notification hooks, no focus frame. The windowed members are TXcExWinControlLayer
// over a stock windowed class (see XcExStdCtrls.h, XcExGrids.h, XcExExtCtrls.h, XcExComCtrls.h).
#pragma once

#include <cstdint>
#include <string>

#include "extctrls/XcComponentBase.h"
#include "platform/vcl/Canvas.h"
#include "platform/vcl/Controls.h"
#include "platform/vcl/Forms.h"

// What a control answers to WM_GETDLGCODE, as a set. dcsNative stands for "the stock answer
// stands"; a hook that removes it replaces the answer by the set's Windows bits.
enum TXcDialogCode { dcsWantAllKeys, dcsWantArrows, dcsWantChars, dcsButton, dcsHasSetSel, dcsWantTab, dcsNative };
using TXcDialogCodes = std::uint8_t;
constexpr TXcDialogCodes XcCode(TXcDialogCode Code) { return static_cast<TXcDialogCodes>(1u << Code); }

// The Windows DLGC_ bits of the set and back; Windows bits outside the table are dropped.
TXcDialogCodes DlgcToCodeSet(LRESULT Dlgc);
LRESULT CodeSetToDlgc(TXcDialogCodes Codes);
// Key-message lParam bits of a shift state: Shift 0x08000000, Ctrl 0x10000000, Alt 0x20000000.
LPARAM ShiftStateToKeyFlags(TShiftState Shift);

// The hint colour a control shows: clNone gives the application's hint colour, clDefault the
// colour the parent puts into a copy of Info (sent to it as CM_HINTSHOW), anything else the
// colour itself. The result goes into Info.HintColor; without a parent (or when the parent
// answers nothing) Info keeps its colour.
void ResolveHintColor(TControl* Control, TColor HintColor, THintInfo& Info);

// True when a form designer took the message. This system has no form designer, so a control
// handles all of its messages itself, at design time too.
bool HandleDesignMessage(TControl* Control, TMessage& Message);

// The flat focus frame: an outer one-pixel frame in the focus colour (Focused) or grey, then
// an inner one in the focus colour or Color.
constexpr TColor XcFocusFrameColor = 0x00733800;
void DrawFlatBorder(HDC DC, const TRect& Rect, TColor Color, bool Focused);
// Draws the frame on the control's window DC; the focus look when the control is focused or
// the mouse is over it.
void PaintFlatBorderForControl(TWinControl* Control, TColor Color, bool MouseOver);
// After WM_SETFOCUS, WM_KILLFOCUS, WM_NCPAINT, CM_MOUSEENTER and CM_MOUSELEAVE: the frame
// again; after CM_MOUSELEAVE the ring under the frame is also invalidated (no erase), so the
// control repaints its own border there. Nothing at design time.
void PaintFlatBorderOnMessage(TWinControl* Control, const TMessage& Message, bool MouseOver, TColor Color);

// A message carrying a pointer to a structure (lParam), with Result 0.
struct TStructPtrMessage {
  TMessage Msg;
  TStructPtrMessage(UINT Number, WPARAM WParam, void* Struct)
      : Msg{Number, WParam, reinterpret_cast<LPARAM>(Struct), 0} {}
};

// The part of the layer that windowed and non-windowed members share.
template <class TBase>
class TXcExControlLayer : public TBase {
public:
  explicit TXcExControlLayer(TComponent* AOwner) : TBase(AOwner) {}

  TXCLAboutInfo GetAboutXCL() const { return FAboutXCL; }
  void SetAboutXCL(TXCLAboutInfo Value) { FAboutXCL = Value; }
  // clDefault: the parent's; clNone: the application's.
  TColor GetHintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  // True between a mouse-enter and the following mouse-leave message.
  bool GetMouseOver() const { return FMouseOver; }
  // The window class of this control's hints (unset: the application's).
  const THintWindowClass& GetHintWindowClass() const { return FHintWindowClass; }
  void SetHintWindowClass(THintWindowClass Value) { FHintWindowClass = std::move(Value); }

  // Raised after the control has followed its parent's colour.
  TNotifyEvent OnParentColorChange;

  void WndProc(TMessage& Message) override
  {
    if (HandleDesignMessage(this, Message)) return;
    if (!DispatchHook(Message)) TBase::WndProc(Message);
    AfterHookDispatch(Message);
  }

  // The hooks, in this order.
  virtual void HookTextChanged() { InheritedMessage(CM_TEXTCHANGED, 0, 0); }
  virtual bool HookDialogChar(Word Key, TShiftState Shift, const std::u16string& KeyText)
  {
    (void)KeyText;
    return InheritedMessage(CM_DIALOGCHAR, Key, ShiftStateToKeyFlags(Shift)) != 0;
  }
  virtual bool HookHitTest(int X, int Y)
  {
    const auto Packed = (static_cast<std::uint32_t>(static_cast<std::uint16_t>(Y)) << 16) |
                        static_cast<std::uint16_t>(X);
    return InheritedMessage(CM_HITTEST, 0, static_cast<LPARAM>(Packed)) != 0;
  }

  // Notification hooks.
  virtual void HookFocusChanged(TControl* Control) { InheritedMessage(CM_FOCUSCHANGED, 0, ControlParam(Control)); }
  virtual void HookVisibleChanged() { InheritedMessage(CM_VISIBLECHANGED, 0, 0); }
  virtual void HookEnabledChanged() { InheritedMessage(CM_ENABLEDCHANGED, 0, 0); }
  virtual void HookColorChanged() { InheritedMessage(CM_COLORCHANGED, 0, 0); }
  virtual void HookFontChanged() { InheritedMessage(CM_FONTCHANGED, 0, 0); }
  virtual void HookParentFontChanged() { InheritedMessage(CM_PARENTFONTCHANGED, 0, 0); }
  virtual void HookParentColorChanged()
  {
    InheritedMessage(CM_PARENTCOLORCHANGED, 0, 0);
    if (OnParentColorChange) OnParentColorChange(this);
  }
  virtual void HookParentShowHintChanged() { InheritedMessage(CM_PARENTSHOWHINTCHANGED, 0, 0); }
  virtual bool HookHintShow(THintInfo& Info)
  {
    ResolveHintColor(this, FHintColor, Info);
    if (FHintWindowClass) Info.HintWindowClass = FHintWindowClass;
    TStructPtrMessage Message(CM_HINTSHOW, 0, &Info);
    TBase::WndProc(Message.Msg);
    return Message.Msg.Result != 0;
  }
  virtual void HookMouseEnter(TControl* Control)
  {
    FMouseOver = true;
    if (this->OnMouseEnter) this->OnMouseEnter(this);
    InheritedMessage(CM_MOUSEENTER, 0, ControlParam(Control));
  }
  virtual void HookMouseLeave(TControl* Control)
  {
    FMouseOver = false;
    InheritedMessage(CM_MOUSELEAVE, 0, ControlParam(Control));
    if (this->OnMouseLeave) this->OnMouseLeave(this);
  }

protected:
  // Hands a message to the stock class's window procedure and answers its result.
  LRESULT InheritedMessage(UINT Msg, WPARAM WParam, LPARAM LParam)
  {
    TMessage Message{Msg, WParam, LParam, 0};
    TBase::WndProc(Message);
    return Message.Result;
  }
  static LPARAM ControlParam(TControl* Control) { return reinterpret_cast<LPARAM>(Control); }

  // Runs the hook of a message; false when the message is not one of the layer's.
  virtual bool DispatchHook(TMessage& Message)
  {
    auto* Control = reinterpret_cast<TControl*>(Message.LParam);
    switch (Message.Msg) {
      case CM_DIALOGCHAR: {
        const Word Key = LOWORD(Message.WParam);
        const std::u16string Text(1, static_cast<char16_t>(Key));
        Message.Result = HookDialogChar(Key, KeyDataToShiftState(Message.LParam), Text) ? 1 : 0;
        return true;
      }
      case CM_HITTEST: {
        const auto Raw = static_cast<std::uint32_t>(Message.LParam);
        Message.Result =
            HookHitTest(static_cast<std::int16_t>(Raw & 0xFFFF), static_cast<std::int16_t>(Raw >> 16)) ? 1 : 0;
        return true;
      }
      case CM_TEXTCHANGED: HookTextChanged(); return true;
      case CM_HINTSHOW: {
        auto* Info = reinterpret_cast<THintInfo*>(Message.LParam);
        if (!Info) return false;
        Message.Result = HookHintShow(*Info) ? 1 : 0;
        return true;
      }
      case CM_FOCUSCHANGED: HookFocusChanged(Control); return true;
      case CM_VISIBLECHANGED: HookVisibleChanged(); return true;
      case CM_ENABLEDCHANGED: HookEnabledChanged(); return true;
      case CM_COLORCHANGED: HookColorChanged(); return true;
      case CM_FONTCHANGED: HookFontChanged(); return true;
      case CM_PARENTFONTCHANGED: HookParentFontChanged(); return true;
      case CM_PARENTCOLORCHANGED: HookParentColorChanged(); return true;
      case CM_PARENTSHOWHINTCHANGED: HookParentShowHintChanged(); return true;
      case CM_MOUSEENTER: HookMouseEnter(Control); return true;
      case CM_MOUSELEAVE: HookMouseLeave(Control); return true;
      default: return false;
    }
  }
  virtual void AfterHookDispatch(TMessage&) {}

  // The stock mouse enter / leave handling without the events (the hooks raise them).
  void CMMouseEnter(TMessage& Message) override { StockWithoutEvent(this->OnMouseEnter, [&] { TBase::CMMouseEnter(Message); }); }
  void CMMouseLeave(TMessage& Message) override { StockWithoutEvent(this->OnMouseLeave, [&] { TBase::CMMouseLeave(Message); }); }

private:
  template <class F>
  static void StockWithoutEvent(TNotifyEvent& Event, F&& Stock)
  {
    TNotifyEvent Saved = std::move(Event);
    Event = nullptr;
    try {
      Stock();
    } catch (...) {
      if (!Event) Event = std::move(Saved);
      throw;
    }
    if (!Event) Event = std::move(Saved);
  }

  TXCLAboutInfo FAboutXCL = XCLAbout;
  TColor FHintColor = clDefault;
  bool FMouseOver = false;
  THintWindowClass FHintWindowClass;
};

// The windowed members: the shared layer plus bounds, dialog-code, focus and erase hooks, the
// control-list hooks, the DC-preserving print handling and the flat focus frame.
template <class TBase>
class TXcExWinControlLayer : public TXcExControlLayer<TBase> {
  using TLayer = TXcExControlLayer<TBase>;

public:
  explicit TXcExWinControlLayer(TComponent* AOwner) : TLayer(AOwner) {}

  bool GetDotNetHighlighting() const { return FDotNetHighlighting; }
  void SetDotNetHighlighting(bool Value) { FDotNetHighlighting = Value; }

  // Hooks 4 to 8.
  virtual void HookBoundsChanged() {}
  virtual void HookGetDlgCode(TXcDialogCodes& Codes) { (void)Codes; }
  virtual void HookSetFocus(HWND FocusedWnd) { this->InheritedMessage(WM_SETFOCUS, reinterpret_cast<WPARAM>(FocusedWnd), 0); }
  virtual void HookKillFocus(HWND FocusedWnd) { this->InheritedMessage(WM_KILLFOCUS, reinterpret_cast<WPARAM>(FocusedWnd), 0); }
  virtual bool HookEraseBackground(TCanvas* Canvas, LPARAM Param)
  {
    return this->InheritedMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(Canvas->GetHandle()), Param) != 0;
  }

  // Windowed-only notification hooks.
  virtual void HookCursorChanged() { this->InheritedMessage(CM_CURSORCHANGED, 0, 0); }
  virtual void HookShowingChanged() { this->InheritedMessage(CM_SHOWINGCHANGED, 0, 0); }
  virtual void HookShowHintChanged() { this->InheritedMessage(CM_SHOWHINTCHANGED, 0, 0); }
  virtual void HookControlListChanging(TControl* Control, bool Inserting)
  {
    this->InheritedMessage(Inserting ? CM_CONTROLLISTCHANGE : CM_CONTROLCHANGE, reinterpret_cast<WPARAM>(Control),
                           Inserting ? 1 : 0);
  }
  virtual void HookControlListChanged(TControl* Control, bool Inserting)
  {
    this->InheritedMessage(Inserting ? CM_CONTROLCHANGE : CM_CONTROLLISTCHANGE, reinterpret_cast<WPARAM>(Control),
                           Inserting ? 1 : 0);
  }

protected:
  bool DispatchHook(TMessage& Message) override
  {
    switch (Message.Msg) {
      case WM_MOVE:
      case WM_SIZE:
        TBase::WndProc(Message);
        HookBoundsChanged();
        return true;
      case WM_SETFOCUS: HookSetFocus(reinterpret_cast<HWND>(Message.WParam)); return true;
      case WM_KILLFOCUS: HookKillFocus(reinterpret_cast<HWND>(Message.WParam)); return true;
      case WM_ERASEBKGND: {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        if (!DC) return false;
        const int Saved = SaveDC(DC);
        TCanvas Canvas;
        try {
          Canvas.SetHandle(DC);
          Message.Result = HookEraseBackground(&Canvas, Message.LParam) ? 1 : 0;
        } catch (...) {
          Canvas.SetHandle(nullptr);
          RestoreDC(DC, Saved);
          throw;
        }
        Canvas.SetHandle(nullptr);
        RestoreDC(DC, Saved);
        return true;
      }
      case WM_GETDLGCODE: {
        TBase::WndProc(Message);
        TXcDialogCodes Codes = DlgcToCodeSet(Message.Result) | XcCode(dcsNative);
        HookGetDlgCode(Codes);
        if (!(Codes & XcCode(dcsNative))) Message.Result = CodeSetToDlgc(Codes);
        return true;
      }
      case WM_PRINT:
      case WM_PRINTCLIENT: {
        auto DC = reinterpret_cast<HDC>(Message.WParam);
        if (!DC) return false;
        const int Saved = SaveDC(DC);
        try {
          TBase::WndProc(Message);
        } catch (...) {
          RestoreDC(DC, Saved);
          throw;
        }
        RestoreDC(DC, Saved);
        return true;
      }
      case CM_CONTROLLISTCHANGE:
        if (Message.LParam != 0)
          HookControlListChanging(reinterpret_cast<TControl*>(Message.WParam), true);
        else
          HookControlListChanged(reinterpret_cast<TControl*>(Message.WParam), false);
        return true;
      case CM_CONTROLCHANGE:
        if (Message.LParam != 0)
          HookControlListChanged(reinterpret_cast<TControl*>(Message.WParam), true);
        else
          HookControlListChanging(reinterpret_cast<TControl*>(Message.WParam), false);
        return true;
      case CM_CURSORCHANGED: HookCursorChanged(); return true;
      case CM_SHOWINGCHANGED: HookShowingChanged(); return true;
      case CM_SHOWHINTCHANGED: HookShowHintChanged(); return true;
      default: return TLayer::DispatchHook(Message);
    }
  }

  void AfterHookDispatch(TMessage& Message) override
  {
    if (!FDotNetHighlighting) return;
    switch (Message.Msg) {
      case WM_SETFOCUS:
      case WM_KILLFOCUS:
      case WM_NCPAINT:
      case CM_MOUSEENTER:
      case CM_MOUSELEAVE: PaintFlatBorderOnMessage(this, Message, this->GetMouseOver(), this->GetColor()); break;
      default: break;
    }
  }

private:
  bool FDotNetHighlighting = false;
};

// The member without a window.
class TXcExGraphicControl : public TXcExControlLayer<TGraphicControl> {
public:
  explicit TXcExGraphicControl(TComponent* AOwner) : TXcExControlLayer<TGraphicControl>(AOwner) {}
};
