// The arranging panel: a panel on the extended message layer that can lay out its windowed
// children in wrapped lines (TXcArrangeSettings), size itself to them, be transparent, draw a
// flat one-colour border and a word-wrapped caption, change its look while the pointer is over
// it (hot tracking), be dragged by its inner area (Movable) and be sized by a grip in its lower
// right corner (Sizeable). TXcPanel is the form-facing panel with width and height change
// events; the program's panels (the run buttons, the preview's video area and crop edges, the
// title picker's) are TXcPanels.
//
// Contract callers rely on:
// - With every option at its default the panel is a plain panel: nothing is arranged, no event
//   is raised by a move, Width and Height act as the class library's size setters.
// - Arranging (ArrangeControls) places the visible windowed children in tab order, line by line
//   from (BorderLeft, BorderTop), with DistanceHorizontal between neighbours and
//   DistanceVertical between lines; a child starts a new line when it would pass the panel's
//   width (or MaxWidth), unless it is the first of its line or WrapControls is off, and always
//   when the line holds MaxControlsPerLine children. Alignment moves the whole block (or each
//   line with HorizontalAlignLines). AutoSize sizes the panel to the block. An arrangement never
//   runs inside another one of the same panel, nor while SuspendArranging is in force.
// - Setting Width or Height to a new value raises OnChangedWidth / OnChangedHeight with it, then
//   OnResizeParent (Left, Top, width, height) when set, else lets an arranging parent arrange.
//   Setting the current value raises nothing.
// - A sizing grip never makes the panel 1 pixel or smaller and keeps to the Constraints.
// - The panel can back its window with a native window of the display (NativeWindowId), into
//   which another process (a player started with "-wid") draws; windows above the panel in the
//   z-order (overlays) stay visible over it. Headless there is no such window: the id is 0.
#pragma once

#include <cstdint>
#include <memory>

#include "extctrls/XcExtComponent.h"
#include "extctrls/XcHotTrackControl.h"

enum TXcAutoSizePanel { asNone, asWidth, asHeight, asBoth };
enum TXcArrangeSettingsVAlignment { asTop, asVCenter, asBottom };
enum TXcArrangeSettingsHAlignment { asLeft, asCenter, asRight };

extern const char* const SXcArrangeSettingsDestroyed;

// How an arranging panel lays out its children. A setter that changes a value reports
// changing, property changing (with the property's name), the store, property changed and
// changed; ShowNotVisibleAtDesignTime only stores.
class TXcArrangeSettings : public TXcPersistentProperty {
public:
  explicit TXcArrangeSettings(TPersistent* AOwner) : TXcPersistentProperty(AOwner) {}

  // From other arrange settings: every value through its setter inside one update bracket.
  // EConvertError for any other source (the class library's assign error).
  void Assign(TPersistent* Source) override;

  // Raises EXCLException (the settings stay) when the owner is a live TXcPanel; deletes the
  // settings otherwise. The panel's own destruction frees them without asking.
  void Free();

  bool GetAutoArrange() const { return FAutoArrange; }
  void SetAutoArrange(bool Value) { ChangeProperty(FAutoArrange, Value, "AutoArrange"); }
  TXcAutoSizePanel GetAutoSize() const { return FAutoSize; }
  void SetAutoSize(TXcAutoSizePanel Value) { ChangeProperty(FAutoSize, Value, "AutoSize"); }
  bool GetWrapControls() const { return FWrapControls; }
  void SetWrapControls(bool Value) { ChangeProperty(FWrapControls, Value, "WrapControls"); }
  int GetBorderLeft() const { return FBorderLeft; }
  void SetBorderLeft(int Value) { ChangeProperty(FBorderLeft, Value, "BorderLeft"); }
  int GetBorderTop() const { return FBorderTop; }
  void SetBorderTop(int Value) { ChangeProperty(FBorderTop, Value, "BorderTop"); }
  int GetDistanceVertical() const { return FDistanceVertical; }
  void SetDistanceVertical(int Value) { ChangeProperty(FDistanceVertical, Value, "DistanceVertical"); }
  int GetDistanceHorizontal() const { return FDistanceHorizontal; }
  void SetDistanceHorizontal(int Value) { ChangeProperty(FDistanceHorizontal, Value, "DistanceHorizontal"); }
  bool GetShowNotVisibleAtDesignTime() const { return FShowNotVisibleAtDesignTime; }
  void SetShowNotVisibleAtDesignTime(bool Value) { FShowNotVisibleAtDesignTime = Value; }
  int GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value) { ChangeProperty(FMaxWidth, Value, "MaxWidth"); }
  TXcArrangeSettingsVAlignment GetVerticalAlignment() const { return FVerticalAlignment; }
  void SetVerticalAlignment(TXcArrangeSettingsVAlignment Value)
  {
    ChangeProperty(FVerticalAlignment, Value, "VerticalAlignment");
  }
  TXcArrangeSettingsHAlignment GetHorizontalAlignment() const { return FHorizontalAlignment; }
  void SetHorizontalAlignment(TXcArrangeSettingsHAlignment Value)
  {
    ChangeProperty(FHorizontalAlignment, Value, "HorizontalAlignment");
  }
  int GetMaxControlsPerLine() const { return FMaxControlsPerLine; }
  void SetMaxControlsPerLine(int Value) { ChangeProperty(FMaxControlsPerLine, Value, "MaxControlsPerLine"); }
  bool GetHorizontalAlignLines() const { return FHorizontalAlignLines; }
  void SetHorizontalAlignLines(bool Value) { ChangeProperty(FHorizontalAlignLines, Value, "HorizontalAlignLines"); }

private:
  bool FAutoArrange = false;
  TXcAutoSizePanel FAutoSize = asNone;
  bool FWrapControls = true;
  int FBorderLeft = 0;
  int FBorderTop = 0;
  int FDistanceVertical = 0;
  int FDistanceHorizontal = 0;
  bool FShowNotVisibleAtDesignTime = true;
  int FMaxWidth = 0;
  TXcArrangeSettingsVAlignment FVerticalAlignment = asTop;
  TXcArrangeSettingsHAlignment FHorizontalAlignment = asLeft;
  int FMaxControlsPerLine = 0;
  bool FHorizontalAlignLines = false;
};

// The panel's hot-track options: Color defaults to clBtnFace.
class TXcPanelHotTrackOptions : public TXcHotTrackOptions {
public:
  explicit TXcPanelHotTrackOptions(TPersistent* AOwner) : TXcHotTrackOptions(AOwner) { SetColor(clBtnFace); }
};

using TXcPanelResizeParentEvent =
    std::function<void(TObject* Sender, int nLeft, int nTop, int nWidth, int nHeight)>;
using TXcPanelChangedSizeEvent = std::function<void(TObject* Sender, int ChangedSize)>;
using TXcPanelMoveEvent = std::function<void(TObject* Sender, int X, int Y, bool& Allow)>;

// The arranging interface of the panel.
class IXcArrangePanel {
public:
  virtual ~IXcArrangePanel() = default;
  virtual void ArrangeControls() = 0;
  virtual void SuspendArranging() = 0;
  virtual void ResumeArranging() = 0;
  virtual TXcArrangeSettings* GetArrangeSettings() = 0;
  virtual void SetArrangeSettings(TXcArrangeSettings* Value) = 0;
};

class TXcCustomArrangePanel : public TXcCustomPanel, public IXcArrangePanel, public TXcHotTrackValues {
public:
  explicit TXcCustomArrangePanel(TComponent* AOwner);
  ~TXcCustomArrangePanel() override;

  bool GetTransparent() const { return FTransparent; }
  void SetTransparent(bool Value);
  bool GetFlatBorder() const { return FFlatBorder; }
  void SetFlatBorder(bool Value);
  TColor GetFlatBorderColor() const { return FFlatBorderColor; }
  void SetFlatBorderColor(TColor Value);
  bool GetMultiLine() const { return FMultiLine; }
  void SetMultiLine(bool Value);
  bool GetSizeable() const { return FSizeable; }
  void SetSizeable(bool Value);
  bool GetMovable() const { return FMovable; }
  void SetMovable(bool Value) { FMovable = Value; }
  // A grip drag is running.
  bool GetSizing() const { return FSizing; }

  TXcArrangeSettings* GetArrangeSettings() override { return FArrangeSettings; }
  void SetArrangeSettings(TXcArrangeSettings* Value) override;

  using TXcHotTrackValues::Assign;
  using TXcCustomPanel::Assign;

  void ArrangeControls() override;
  void SuspendArranging() override;
  void ResumeArranging() override;
  // ArrangeControls when AutoArrange is on and the panel is not loading.
  void ArrangeIfAuto();
  // The windowed child of that tab order, or null.
  TWinControl* ControlAtTabOrder(int TabOrder);

  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;

  // The id of a native display window behind the panel for a player to draw into ("-wid");
  // made on the first call. 0 headless, and while the panel's form is not shown yet (ask
  // again once it is).
  std::uint64_t NativeWindowId();

  TXcPanelResizeParentEvent OnResizeParent;
  TXcPanelChangedSizeEvent OnChangedWidth;
  TXcPanelChangedSizeEvent OnChangedHeight;
  // Replaces all painting when set.
  TNotifyEvent OnPaint;
  TNotifyEvent OnAfterMove;
  TXcPanelMoveEvent OnBeforeMove;

  void Notification(TComponent* AComponent, TOperation Operation) override;
  void HookTextChanged() override;
  void HookParentColorChanged() override;
  void HookMouseEnter(TControl* Control) override;
  void HookMouseLeave(TControl* Control) override;
  bool HookEraseBackground(TCanvas* Canvas, LPARAM Param) override;

protected:
  virtual void ArrangeSettingChanged(TObject* Sender, const String& PropertyName);
  virtual void PaintOwnCaption();
  virtual void RenderCaption(TCanvas* Canvas);
  virtual void PaintBevels();
  virtual bool QueryMoveStart(int X, int Y);
  virtual void NotifyMoveEnd();

  void CreateParams(TCreateParams& Params) override;
  void Paint() override;
  void Resize() override;
  void Loaded() override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void MouseMove(TShiftState Shift, int X, int Y) override;
  void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y) override;
  void WndProc(TMessage& Message) override;

  // The panel's size setters (TXcPanel raises its size events there).
  virtual void SetPanelWidth(int Value) { TXcCustomPanel::SetWidth(Value); }
  virtual void SetPanelHeight(int Value) { TXcCustomPanel::SetHeight(Value); }

  bool IsLoading() const { return (GetComponentState() & (csLoading | csReading)) != 0; }
  bool IsDesigning() const { return (GetComponentState() & csDesigning) != 0; }
  bool IsHot() { return GetMouseOver() && GetHotTrack(); }
  TFont* HotTrackBaseFont() override { return GetFont(); }

private:
  void CreateArrangeSettings();
  void SetSizingCursor();
  void PaintSizeGrip();

  bool FTransparent = false;
  bool FFlatBorder = false;
  TColor FFlatBorderColor = clBtnShadow;
  bool FMultiLine = false;
  bool FSizeable = false;
  bool FSizing = false;
  TPoint FSizingStart{};
  int FArrangeDisableCount = 0;
  bool FArranging = false;
  TXcArrangeSettings* FArrangeSettings = nullptr;
  bool FMovable = false;
  bool FMoving = false;
  TCursor FSavedCursor = crDefault;
};

class TXcPanel : public TXcCustomArrangePanel {
public:
  explicit TXcPanel(TComponent* AOwner) : TXcCustomArrangePanel(AOwner) {}

  // The size setters of the panel's events (see the contract above).
  void SetWidth(int Value);
  void SetHeight(int Value);

  // Takes the value a stored form holds for the old property "HotColor": a colour identifier
  // ("clRed"; an unknown one changes nothing) or an integer, stored as HotTrackOptions' Color.
  // False for any other name.
  bool ReadStoredText(const String& Name, const String& Value);

protected:
  void SetPanelWidth(int Value) override { SetWidth(Value); }
  void SetPanelHeight(int Value) override { SetHeight(Value); }

private:
  void SizeChanged(bool WidthChanged, int Requested);
};
