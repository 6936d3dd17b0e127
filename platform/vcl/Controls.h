// The control model: TControl (position, alignment, anchors, visibility, mouse and key
// events, message dispatch), TWinControl (a window of the window system with children, focus
// and tab order, painting of graphic children), TGraphicControl (drawn on its parent) and
// TCustomControl (a window with a canvas and a Paint method).
#pragma once

#include <functional>
#include <memory>
#include <vector>

#include "platform/vcl/Actions.h"
#include "platform/vcl/Classes.h"
#include "platform/vcl/Graphics.h"
#include "platform/vcl/Menus.h"
#include "platform/vcl/Messages.h"
#include "platform/win/WinUser.h"

class TWinControl;
class TCustomForm;
class TDragObject;
class TDragImageList;
class TControlActionLink;

// WM_GETDLGCODE answers.
constexpr LRESULT DLGC_WANTARROWS = 0x0001;
constexpr LRESULT DLGC_WANTTAB = 0x0002;
constexpr LRESULT DLGC_WANTALLKEYS = 0x0004;
constexpr LRESULT DLGC_WANTMESSAGE = 0x0004;
constexpr LRESULT DLGC_HASSETSEL = 0x0008;
constexpr LRESULT DLGC_DEFPUSHBUTTON = 0x0010;
constexpr LRESULT DLGC_UNDEFPUSHBUTTON = 0x0020;
constexpr LRESULT DLGC_RADIOBUTTON = 0x0040;
constexpr LRESULT DLGC_WANTCHARS = 0x0080;
constexpr LRESULT DLGC_STATIC = 0x0100;
constexpr LRESULT DLGC_BUTTON = 0x2000;

// Control style flags (a set).
using TControlStyle = std::uint32_t;
enum : TControlStyle {
  csAcceptsControls = 1u << 0,
  csCaptureMouse = 1u << 1,
  csDesignInteractive = 1u << 2,
  csClickEvents = 1u << 3,
  csFramed = 1u << 4,
  csSetCaption = 1u << 5,
  csOpaque = 1u << 6,
  csDoubleClicks = 1u << 7,
  csFixedWidth = 1u << 8,
  csFixedHeight = 1u << 9,
  csNoDesignVisible = 1u << 10,
  csReplicatable = 1u << 11,
  csNoStdEvents = 1u << 12,
  csDisplayDragImage = 1u << 13,
  csReflector = 1u << 14,
  csActionClient = 1u << 15,
  csMenuEvents = 1u << 16,
  csNeedsBorderPaint = 1u << 17,
  csParentBackground = 1u << 18,
};

// Control state flags (a set).
using TControlState = std::uint32_t;
enum : TControlState {
  csLButtonDown = 1u << 0,
  csClicked = 1u << 1,
  csPalette = 1u << 2,
  csReadingState = 1u << 3,
  csAlignmentNeeded = 1u << 4,
  csFocusing = 1u << 5,
  csCreating = 1u << 6,
  csPaintCopy = 1u << 7,
  csCustomPaint = 1u << 8,
  csDestroyingHandle = 1u << 9,
  csDocking = 1u << 10,
};

using TCursor = int;
constexpr TCursor crDefault = 0;
constexpr TCursor crNone = -1;
constexpr TCursor crArrow = -2;
constexpr TCursor crCross = -3;
constexpr TCursor crIBeam = -4;
constexpr TCursor crSize = -22;
constexpr TCursor crSizeNESW = -6;
constexpr TCursor crSizeNS = -7;
constexpr TCursor crSizeNWSE = -8;
constexpr TCursor crSizeWE = -9;
constexpr TCursor crUpArrow = -10;
constexpr TCursor crHourGlass = -11;
constexpr TCursor crDrag = -12;
constexpr TCursor crNoDrop = -13;
constexpr TCursor crHSplit = -14;
constexpr TCursor crVSplit = -15;
constexpr TCursor crMultiDrag = -16;
constexpr TCursor crSQLWait = -17;
constexpr TCursor crNo = -18;
constexpr TCursor crAppStart = -19;
constexpr TCursor crHelp = -20;
constexpr TCursor crHandPoint = -21;
constexpr TCursor crSizeAll = -22;

// The window a TWinControl asks the window system for.
struct TCreateParams {
  String Caption;
  DWORD Style = 0;
  DWORD ExStyle = 0;
  int X = 0;
  int Y = 0;
  int Width = 0;
  int Height = 0;
  HWND WndParent = nullptr;
  void* Param = nullptr;
  WNDCLASSA WindowClass{};
  String WinClassName;
};

// Minimum and maximum sizes of a control (0 = no limit).
class TSizeConstraints : public TPersistent {
public:
  int GetMinWidth() const { return FMinWidth; }
  void SetMinWidth(int Value);
  int GetMinHeight() const { return FMinHeight; }
  void SetMinHeight(int Value);
  int GetMaxWidth() const { return FMaxWidth; }
  void SetMaxWidth(int Value);
  int GetMaxHeight() const { return FMaxHeight; }
  void SetMaxHeight(int Value);
  void Assign(TPersistent* Source) override;
  TNotifyEvent OnChange;

private:
  void Change();
  int FMinWidth = 0, FMinHeight = 0, FMaxWidth = 0, FMaxHeight = 0;
};

using TCanResizeEvent = std::function<void(TObject* Sender, int& NewWidth, int& NewHeight, bool& Resize)>;
using TContextPopupEvent = std::function<void(TObject* Sender, TPoint MousePos, bool& Handled)>;
using TMouseWheelEvent =
    std::function<void(TObject* Sender, TShiftState Shift, int WheelDelta, TPoint MousePos, bool& Handled)>;
using TMouseWheelUpDownEvent = std::function<void(TObject* Sender, TShiftState Shift, TPoint MousePos, bool& Handled)>;
using TWndMethod = std::function<void(TMessage& Message)>;

enum TBiDiMode { bdLeftToRight, bdRightToLeft, bdRightToLeftNoAlign, bdRightToLeftReadingOnly };
enum TDragMode { dmManual, dmAutomatic };
enum TDragKind { dkDrag, dkDock };
// Where the pointer is, seen by a drag target.
enum TDragState { dsDragEnter, dsDragLeave, dsDragMove };
// The word of CM_DRAG's wParam.
enum TDragMessage { dmDragEnter, dmDragLeave, dmDragMove, dmDragDrop, dmDragCancel, dmFindTarget };

// CM_DRAG's lParam: the pointer on the screen, the drag object, the target control (for
// dmFindTarget: not yet known) and the docking flag (always false: docking is not done here).
struct TDragRec {
  TPoint Pos{};
  TDragObject* Source = nullptr;
  void* Target = nullptr;
  bool Docking = false;
};

// Source is the control being dragged (for a drag control object) or the drag object itself.
using TStartDragEvent = std::function<void(TObject* Sender, TDragObject*& DragObject)>;
using TDragOverEvent =
    std::function<void(TObject* Sender, TObject* Source, int X, int Y, TDragState State, bool& Accept)>;
using TDragDropEvent = std::function<void(TObject* Sender, TObject* Source, int X, int Y)>;
// Target is null (and X, Y 0) when the drag was cancelled or nothing took the drop.
using TEndDragEvent = std::function<void(TObject* Sender, TObject* Target, int X, int Y)>;

class TControl : public TComponent {
public:
  explicit TControl(TComponent* AOwner);
  // Leaves the parent and gives up the mouse capture and hover tracking.
  ~TControl() override;

  // Sends Msg straight to WindowProc and answers its result.
  LRESULT Perform(UINT Msg, WPARAM WParam, LPARAM LParam);
  // The message entry: replaceable (subclassing in the class library's way); calls WndProc.
  TWndMethod WindowProc;
  virtual void WndProc(TMessage& Message);
  // Routes a message to the handler of its number, or DefaultHandler.
  virtual void Dispatch(TMessage& Message);
  virtual void DefaultHandler(TMessage& Message);

  TWinControl* GetParent() const { return FParent; }
  virtual void SetParent(TWinControl* AParent);

  int GetLeft() const { return FLeft; }
  int GetTop() const { return FTop; }
  int GetWidth() const { return FWidth; }
  int GetHeight() const { return FHeight; }
  void SetLeft(int Value) { SetBounds(Value, FTop, FWidth, FHeight); }
  void SetTop(int Value) { SetBounds(FLeft, Value, FWidth, FHeight); }
  void SetWidth(int Value) { SetBounds(FLeft, FTop, Value, FHeight); }
  void SetHeight(int Value) { SetBounds(FLeft, FTop, FWidth, Value); }
  // Moves and sizes the control (after constraints and AutoSize); realigns its parent.
  virtual void SetBounds(int ALeft, int ATop, int AWidth, int AHeight);
  TRect GetBoundsRect() const { return Bounds(FLeft, FTop, FWidth, FHeight); }
  void SetBoundsRect(const TRect& R) { SetBounds(R.left, R.top, R.right - R.left, R.bottom - R.top); }
  virtual TRect GetClientRect();
  int GetClientWidth() { return GetClientRect().right; }
  int GetClientHeight() { return GetClientRect().bottom; }
  void SetClientWidth(int Value);
  void SetClientHeight(int Value);
  // The client area's top-left corner on the screen.
  virtual TPoint GetClientOrigin();
  TPoint ClientToScreen(const TPoint& P) { TPoint O = GetClientOrigin(); return Point(P.x + O.x, P.y + O.y); }
  TPoint ScreenToClient(const TPoint& P) { TPoint O = GetClientOrigin(); return Point(P.x - O.x, P.y - O.y); }

  TAlign GetAlign() const { return FAlign; }
  void SetAlign(TAlign Value);
  TAnchors GetAnchors() const { return FAnchors; }
  void SetAnchors(TAnchors Value);
  TSizeConstraints* GetConstraints() const { return FConstraints.get(); }
  bool GetAutoSize() const { return FAutoSize; }
  virtual void SetAutoSize(bool Value);
  // Sets the bounds again so that AutoSize and constraints apply.
  virtual void AdjustSize();

  bool GetVisible() const { return FVisible; }
  virtual void SetVisible(bool Value);
  void Show();
  void Hide();
  // Visible and every parent showing.
  virtual bool IsShowing();
  bool GetEnabled() const { return FEnabled; }
  virtual void SetEnabled(bool Value);

  String GetText();
  void SetText(const String& Value);
  String GetCaption() { return GetText(); }
  void SetCaption(const String& Value) { SetText(Value); }

  TFont* GetFont() const { return FFont.get(); }
  void SetFont(TFont* Value) { FFont->Assign(Value); }
  bool GetParentFont() const { return FParentFont; }
  void SetParentFont(bool Value);
  TColor GetColor() const { return FColor; }
  void SetColor(TColor Value);
  bool GetParentColor() const { return FParentColor; }
  void SetParentColor(bool Value);
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value) { FHint = Value; }
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  bool GetParentShowHint() const { return FParentShowHint; }
  void SetParentShowHint(bool Value);
  // The menu the control pops up and whose shortcuts it answers (a descendant may give another).
  virtual TPopupMenu* GetPopupMenu() const { return FPopupMenu; }
  void SetPopupMenu(TPopupMenu* Value);
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  TControlStyle GetControlStyle() const { return FControlStyle; }
  void SetControlStyle(TControlStyle Value) { FControlStyle = Value; }
  TControlState GetControlState() const { return FControlState; }
  void SetControlState(TControlState Value) { FControlState = Value; }
  bool GetMouseCapture();
  void SetMouseCapture(bool Value);

  virtual void Invalidate();
  // Invalidates and paints at once.
  virtual void Repaint();
  void Refresh() { Repaint(); }
  virtual void Update();
  void BringToFront();
  void SendToBack();
  void SetZOrder(bool TopMost);
  // Paints the control into DC at (X, Y) as it would on its parent.
  void PaintTo(HDC DC, int X, int Y);
  // A device context to draw on the control: a graphic control's is its parent's, moved to the
  // control and clipped to it. WindowHandle receives the window the DC belongs to (give it back
  // with ReleaseDC). EOutOfResources when the window system has none.
  virtual HDC GetDeviceContext(HWND& WindowHandle);
  // The palette the control draws with (none here).
  virtual HPALETTE GetPalette() { return nullptr; }

  // Realignment control.
  void Realign();

  // Text direction: this system draws left to right, so these keep the flags as they are.
  TBiDiMode GetBiDiMode() const { return FBiDiMode; }
  void SetBiDiMode(TBiDiMode Value) { FBiDiMode = Value; }
  bool GetParentBiDiMode() const { return FParentBiDiMode; }
  void SetParentBiDiMode(bool Value) { FParentBiDiMode = Value; }
  UINT DrawTextBiDiModeFlags(UINT Flags) const { return Flags; }
  UINT DrawTextBiDiModeFlagsReadingOnly() const { return 0; }
  bool UseRightToLeftAlignment() const { return false; }
  bool UseRightToLeftReading() const { return false; }
  bool IsRightToLeft() const { return false; }
  // Dragging between the controls of the program. dmAutomatic starts a drag on a left press
  // (once the pointer moves past the threshold); dkDock is kept but drags like dkDrag.
  TDragMode GetDragMode() const { return FDragMode; }
  void SetDragMode(TDragMode Value) { FDragMode = Value; }
  TDragKind GetDragKind() const { return FDragKind; }
  void SetDragKind(TDragKind Value) { FDragKind = Value; }
  // The cursor over a target that accepts the drop (crDrag).
  TCursor GetDragCursor() const { return FDragCursor; }
  void SetDragCursor(TCursor Value) { FDragCursor = Value; }
  // Starts dragging this control: at once with Immediate, else when the pointer has moved
  // Threshold pixels from here (-1: the mouse's drag threshold). Nothing while a drag is on.
  void BeginDrag(bool Immediate, int Threshold = -1);
  // Ends this control's drag: dropped on the target under the pointer with Drop, else cancelled.
  void EndDrag(bool Drop);
  // This control is being dragged (also while the threshold is not yet reached).
  bool Dragging() const;
  // The images shown while this control is dragged (none here).
  virtual TDragImageList* GetDragImages() { return nullptr; }
  // Sends CM_CHANGED to this control (lParam: the control).
  void Changed();
  bool GetShowing() { return IsShowing(); }
  // The linked action, or null.
  TBasicAction* GetAction() const;
  // Links the control to Value through a new link of CreateActionLink (null unlinks), keeps a
  // free notification on it (a deleted action unlinks itself) and runs ActionChange, with
  // CheckDefaults while the action is being loaded.
  void SetAction(TBasicAction* Value);
  TControlActionLink* GetActionLink() const { return FActionLink.get(); }

  TNotifyEvent OnClick;
  TNotifyEvent OnDblClick;
  TMouseEvent OnMouseDown;
  TMouseMoveEvent OnMouseMove;
  TMouseEvent OnMouseUp;
  TNotifyEvent OnMouseEnter;
  TNotifyEvent OnMouseLeave;
  TMouseWheelEvent OnMouseWheel;
  TNotifyEvent OnResize;
  TCanResizeEvent OnCanResize;
  TContextPopupEvent OnContextPopup;
  TMouseWheelUpDownEvent OnMouseWheelDown;
  TMouseWheelUpDownEvent OnMouseWheelUp;
  TStartDragEvent OnStartDrag;
  TDragOverEvent OnDragOver;
  TDragDropEvent OnDragDrop;
  TEndDragEvent OnEndDrag;

  // The drag machinery calls these (a descendant overrides them).
  // A drag is starting: OnStartDrag, which may give a drag object of its own.
  virtual void DoStartDrag(TDragObject*& DragObject);
  // Source is over the control at (X, Y) (client coordinates): OnDragOver; Accept false without one.
  virtual void DragOver(TObject* Source, int X, int Y, TDragState State, bool& Accept);
  // Source was dropped on the control at (X, Y): OnDragDrop.
  virtual void DragDrop(TObject* Source, int X, int Y);
  // The drag of this control ended on Target at (X, Y) of Target (null when cancelled): OnEndDrag.
  virtual void DoEndDrag(TObject* Target, int X, int Y);

  void Notification(TComponent* AComponent, TOperation Operation) override;
  // With csSetCaption, a control whose text is its name takes the new name as text too.
  void SetName(const String& Value) override;

protected:
  virtual void Click();
  virtual void DblClick();
  virtual void MouseDown(TMouseButton Button, TShiftState Shift, int X, int Y);
  virtual void MouseMove(TShiftState Shift, int X, int Y);
  virtual void MouseUp(TMouseButton Button, TShiftState Shift, int X, int Y);
  // OnMouseWheel; when that does not handle it, DoMouseWheelDown (towards the user) or
  // DoMouseWheelUp once per whole notch (WHEEL_DELTA) turned, parts of a notch adding up over
  // the calls. True when handled.
  virtual bool DoMouseWheel(TShiftState Shift, int WheelDelta, TPoint MousePos);
  virtual bool DoMouseWheelDown(TShiftState Shift, TPoint MousePos);
  virtual bool DoMouseWheelUp(TShiftState Shift, TPoint MousePos);
  // A context menu is asked for at MousePos (client coordinates; (-1, -1) from the keyboard):
  // OnContextPopup; Handled true stops the popup menu.
  virtual void DoContextPopup(const TPoint& MousePos, bool& Handled);
  // The action was linked (or the control loaded with one): a TCustomAction's caption, enabled
  // state, hint, visibility and OnExecute (as OnClick) are copied; with CheckDefaults only
  // where the control's own value is still its default (caption empty or its name, enabled,
  // no hint, visible, no OnClick). A descendant copies more.
  virtual void ActionChange(TObject* Sender, bool CheckDefaults);
  // The link of this control's class.
  virtual std::unique_ptr<TControlActionLink> CreateActionLink();
  virtual void Resize();
  virtual bool CanResize(int& NewWidth, int& NewHeight);
  virtual bool CanAutoSize(int& NewWidth, int& NewHeight);
  virtual void ConstrainedResize(int& MinWidth, int& MinHeight, int& MaxWidth, int& MaxHeight);
  // Applies AutoSize, the resize event and the constraints to a new size; false = no change.
  bool CheckNewSize(int& NewWidth, int& NewHeight);
  void Loaded() override;

  virtual String GetTextValue();
  virtual void SetTextValue(const String& Value);
  virtual void VisibleChanging() {}
  virtual void RequestAlign();
  void UpdateAnchorRules();
  void InvalidateControl(bool IsVisible, bool IsOpaque);
  void SendCancelMode(TControl* Sender);
  // Font and colour changes of this control.
  virtual void FontChanged(TObject* Sender);

  // Message handlers (a derived class overrides WndProc or these).
  virtual void WMLButtonDown(TMessage& Message);
  virtual void WMLButtonDblClk(TMessage& Message);
  virtual void WMLButtonUp(TMessage& Message);
  virtual void WMRButtonDown(TMessage& Message);
  virtual void WMRButtonDblClk(TMessage& Message);
  virtual void WMRButtonUp(TMessage& Message);
  virtual void WMMButtonDown(TMessage& Message);
  virtual void WMMButtonDblClk(TMessage& Message);
  virtual void WMMButtonUp(TMessage& Message);
  virtual void WMMouseMove(TMessage& Message);
  virtual void WMMouseWheel(TMessage& Message);
  virtual void WMContextMenu(TMessage& Message);
  virtual void CMEnabledChanged(TMessage& Message);
  virtual void CMVisibleChanged(TMessage& Message);
  virtual void CMFontChanged(TMessage& Message);
  virtual void CMColorChanged(TMessage& Message);
  virtual void CMParentFontChanged(TMessage& Message);
  virtual void CMParentColorChanged(TMessage& Message);
  virtual void CMParentShowHintChanged(TMessage& Message);
  virtual void CMMouseEnter(TMessage& Message);
  virtual void CMMouseLeave(TMessage& Message);
  virtual void CMHitTest(TMessage& Message);
  virtual void CMTextChanged(TMessage& Message);
  // CM_DRAG: enter, move, leave and drop go to the target control (the DragRec's Target);
  // dmFindTarget answers the child under the pointer, or this control.
  virtual void CMDrag(TMessage& Message);

  TWinControl* FParent = nullptr;
  int FLeft = 0;
  int FTop = 0;
  int FWidth = 0;
  int FHeight = 0;
  TControlStyle FControlStyle = csCaptureMouse | csClickEvents | csSetCaption | csDoubleClicks;
  TControlState FControlState = 0;
  String FText;
  bool FVisible = true;
  bool FEnabled = true;

private:
  friend class TWinControl;
  void DoMouseDown(TMessage& Message, TMouseButton Button, TShiftState Shift);
  void DoMouseUp(TMessage& Message, TMouseButton Button);
  void ConstraintsChanged(TObject*);
  void FontChangedEvent(TObject* Sender);

  TAlign FAlign = alNone;
  TAnchors FAnchors = akLeft | akTop;
  TPoint FAnchorRules{};
  TPoint FOriginalParentSize{};
  bool FAnchorMove = false;
  std::unique_ptr<TSizeConstraints> FConstraints;
  bool FAutoSize = false;
  std::unique_ptr<TFont> FFont;
  bool FParentFont = true;
  TColor FColor = clWindow;
  bool FParentColor = true;
  String FHint;
  bool FShowHint = false;
  bool FParentShowHint = true;
  TPopupMenu* FPopupMenu = nullptr;
  TCursor FCursor = crDefault;
  TBiDiMode FBiDiMode = bdLeftToRight;
  bool FParentBiDiMode = true;
  TDragMode FDragMode = dmManual;
  TDragKind FDragKind = dkDrag;
  TCursor FDragCursor = crDrag;
  std::unique_ptr<TControlActionLink> FActionLink;
  int FWheelAccumulator = 0;
};

class TWinControl : public TControl {
public:
  explicit TWinControl(TComponent* AOwner);
  // A control inside a foreign window (no parent control).
  static TWinControl* CreateParented(HWND ParentWindow);
  // Destroys the window and deletes the children this control owns... children that others own
  // only leave it.
  ~TWinControl() override;

  // The window, made on demand (the parent's first).
  HWND GetHandle();
  bool HandleAllocated() const { return FHandle != nullptr; }
  void HandleNeeded();
  HWND GetParentWindow() const { return FParentWindow; }
  void SetParentWindow(HWND Value);
  // Destroys and makes the window again (state kept by the control).
  void RecreateWnd();

  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  void DefaultHandler(TMessage& Message) override;
  // The class procedure the window had before ours (DefWindowProc for our own classes).
  WNDPROC GetDefWndProc() const { return FDefWndProc; }

  // Children in z-order: graphic controls first, then windowed ones.
  int GetControlCount() const { return static_cast<int>(FControls.size() + FWinControls.size()); }
  TControl* GetControl(int Index) const;
  void InsertControl(TControl* AControl);
  void RemoveControl(TControl* AControl);
  bool ContainsControl(TControl* Control) const;
  // The enabled (or any, with AllowDisabled), visible child at P (client coordinates): graphic
  // controls only unless AllowWinControls.
  TControl* ControlAtPos(const TPoint& Pos, bool AllowDisabled, bool AllowWinControls = false);
  // Sends Message to every child until one answers non-zero.
  void Broadcast(TMessage& Message);
  // Broadcasts Msg (wParam and lParam 0) to the children.
  void NotifyControls(UINT Msg);
  // The nearest windowed control to a window handle, or null.
  static TWinControl* FindControl(HWND Handle);

  bool GetTabStop() const { return FTabStop; }
  void SetTabStop(bool Value);
  int GetTabOrder() const;
  void SetTabOrder(int Value);
  // Windowed children in tab order, depth first.
  void GetTabOrderList(std::vector<TWinControl*>& List);
  TWinControl* FindNextControl(TWinControl* CurControl, bool GoForward, bool CheckTabStop, bool CheckParent);
  void SelectNext(TWinControl* CurControl, bool GoForward, bool CheckTabStop);
  virtual bool CanFocus();
  virtual bool Focused();
  virtual void SetFocus();

  TRect GetClientRect() override;
  TPoint GetClientOrigin() override;
  bool IsShowing() override { return FShowing; }
  void SetBounds(int ALeft, int ATop, int AWidth, int AHeight) override;
  void Invalidate() override;
  void Repaint() override;
  void Update() override;
  void ScrollBy(int DeltaX, int DeltaY);
  bool GetDoubleBuffered() const { return FDoubleBuffered; }
  void SetDoubleBuffered(bool Value) { FDoubleBuffered = Value; }
  TBrush* GetBrush() const { return FBrush.get(); }
  // The 3-D look flags of the class library (kept and passed on to children that follow their
  // parent; the plain look does not use them).
  bool GetCtl3D() const { return FCtl3D; }
  void SetCtl3D(bool Value);
  bool GetParentCtl3D() const { return FParentCtl3D; }
  void SetParentCtl3D(bool Value);
  bool GetParentBackground() const { return (FControlStyle & csParentBackground) != 0; }
  void SetParentBackground(bool Value);
  bool GetDockSite() const { return FDockSite; }
  void SetDockSite(bool Value) { FDockSite = Value; }

  void DisableAlign();
  void EnableAlign();
  void AlignControl(TControl* AControl);
  // Paints the graphic children from First on (all when null) into DC.
  void PaintControls(HDC DC, TControl* First);
  // Paints the window with its frame, its background, its graphic children and its visible
  // windowed children into DC at (X, Y).
  void PaintTo(HDC DC, int X, int Y);
  // Paints the window's own content (not the children) into DC; the painters of transparent
  // controls call it on a parent to draw what lies beneath them.
  virtual void PaintWindow(HDC DC);
  // The window's DC (GetDC); WindowHandle receives the window.
  HDC GetDeviceContext(HWND& WindowHandle) override;
  // For the window system's reflection: the CN_ message of a notification to its control.
  static bool DoControlMsg(HWND ControlHandle, TMessage& Message);

  TNotifyEvent OnEnter;
  TNotifyEvent OnExit;
  TKeyEvent OnKeyDown;
  TKeyPressEvent OnKeyPress;
  TKeyEvent OnKeyUp;

protected:
  virtual void CreateParams(TCreateParams& Params);
  // Makes the window for a standard class: the class procedure of ControlClassName becomes
  // DefWndProc and our class copies the rest.
  void CreateSubClass(TCreateParams& Params, const char* ControlClassName);
  virtual void CreateWnd();
  virtual void CreateWindowHandle(const TCreateParams& Params);
  virtual void DestroyWnd();
  virtual void DestroyWindowHandle();
  virtual void CreateHandle();
  void DestroyHandle();
  // Lays out the children (align then anchors) inside Rect.
  virtual void AlignControls(TControl* AControl, TRect& Rect);
  virtual void AdjustClientRect(TRect& Rect);
  virtual void ControlsAligned() {}
  bool CanAutoSize(int& NewWidth, int& NewHeight) override;
  // Paints the window and its graphic children into the DC of Message (BeginPaint when 0).
  void PaintHandler(TMessage& Message);
  virtual void UpdateShowing();
  void UpdateControlState();
  void UpdateBounds();
  HWND PrecedingWindow(TWinControl* Control);
  void SetZOrderChild(TControl* Control, bool TopMost);
  virtual void DoEnter();
  virtual void DoExit();
  virtual void KeyDown(Word& Key, TShiftState Shift);
  virtual void KeyPress(char& Key);
  virtual void KeyUp(Word& Key, TShiftState Shift);
  bool DoKeyDown(TMessage& Message);
  bool DoKeyPress(TMessage& Message);
  bool DoKeyUp(TMessage& Message);
  String GetTextValue() override;
  void SetTextValue(const String& Value) override;
  void FontChanged(TObject* Sender) override;

  virtual void WMPaint(TMessage& Message);
  virtual void WMEraseBkgnd(TMessage& Message);
  virtual void WMSize(TMessage& Message);
  virtual void WMMove(TMessage& Message);
  virtual void WMWindowPosChanged(TMessage& Message);
  virtual void WMSetFocus(TMessage& Message);
  virtual void WMKillFocus(TMessage& Message);
  virtual void WMKeyDown(TMessage& Message);
  virtual void WMKeyUp(TMessage& Message);
  virtual void WMChar(TMessage& Message);
  virtual void WMSysKeyDown(TMessage& Message);
  virtual void WMSysKeyUp(TMessage& Message);
  virtual void WMSysChar(TMessage& Message);
  virtual void WMMouseLeave(TMessage& Message);
  virtual void WMSetCursor(TMessage& Message);
  virtual void WMCommand(TMessage& Message);
  virtual void WMNotify(TMessage& Message);
  virtual void WMCtlColor(TMessage& Message);
  virtual void WMDrawItem(TMessage& Message);
  virtual void WMDestroy(TMessage& Message);
  virtual void WMNCDestroy(TMessage& Message);
  // Paints the client area into the DC of wParam (PRF_CHECKVISIBLE: only when visible); the
  // DC's state (origin, clip, selected objects) is as it was afterwards.
  virtual void WMPrintClient(TMessage& Message);
  // The size limits of the window: the Constraints.
  virtual void WMGetMinMaxInfo(TMessage& Message);
  virtual void WMSysColorChange(TMessage& Message);
  virtual void CNKeyDown(TMessage& Message);
  virtual void CNKeyUp(TMessage& Message);
  virtual void CNChar(TMessage& Message);
  virtual void CNSysKeyDown(TMessage& Message);
  virtual void CNSysChar(TMessage& Message);
  virtual void CMShowingChanged(TMessage& Message);
  virtual void CMEnter(TMessage& Message);
  virtual void CMExit(TMessage& Message);
  virtual void CMDialogKey(TMessage& Message);
  virtual void CMDialogChar(TMessage& Message);
  virtual void CMFocusChanged(TMessage& Message);
  virtual void CMInvalidate(TMessage& Message);
  virtual void CMRecreateWnd(TMessage& Message);
  virtual void CMChildKey(TMessage& Message);
  // Shows the control's cursor at once when the pointer is over the control.
  virtual void CMCursorChanged(TMessage& Message);
  // Children that follow the parent's ShowHint take the new value.
  virtual void CMShowHintChanged(TMessage& Message);
  virtual void CMSysColorChange(TMessage& Message);
  virtual void CMCtl3DChanged(TMessage& Message);
  virtual void CMParentCtl3DChanged(TMessage& Message);
  void CMEnabledChanged(TMessage& Message) override;
  void CMVisibleChanged(TMessage& Message) override;
  void CMFontChanged(TMessage& Message) override;
  void CMColorChanged(TMessage& Message) override;

  HWND FHandle = nullptr;
  WNDPROC FDefWndProc = nullptr;
  bool FShowing = false;

private:
  friend class TControl;
  friend LRESULT VclWindowProc(HWND, UINT, WPARAM, LPARAM);
  bool IsControlMouseMsg(TMessage& Message);
  void TrackMouse(TMessage& Message);
  void RemoveFocus(bool Removing);
  std::vector<TControl*> FControls;      // graphic children, bottom first
  std::vector<TWinControl*> FWinControls;  // windowed children, bottom first
  std::vector<TWinControl*> FTabList;
  HWND FParentWindow = nullptr;
  bool FTabStop = false;
  bool FDoubleBuffered = false;
  bool FTrackingMouse = false;
  int FAlignLevel = 0;
  std::unique_ptr<TBrush> FBrush;
  bool FCtl3D = true;
  bool FParentCtl3D = true;
  bool FDockSite = false;
};

// A canvas on a control's window (a DC of the window system for it, made when first drawn on).
class TControlCanvas : public TCanvas {
public:
  ~TControlCanvas() override;
  TControl* GetControl() const { return FControl; }
  void SetControl(TControl* Value);
  // Gives the window DC back.
  void FreeHandle();
  // Runs Paint with the canvas locked on DC (a paint or print DC the caller owns), and leaves
  // the canvas without a handle afterwards, also when Paint throws.
  void PaintOn(HDC DC, const std::function<void()>& Paint);

protected:
  void CreateHandle() override;

private:
  TControl* FControl = nullptr;
  HDC FDeviceContext = nullptr;
  HWND FWindowHandle = nullptr;
};

// A control without a window of its own, drawn by its parent.
class TGraphicControl : public TControl {
public:
  explicit TGraphicControl(TComponent* AOwner);
  ~TGraphicControl() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }

protected:
  virtual void Paint() {}
  void WndProc(TMessage& Message) override;
  void Dispatch(TMessage& Message) override;
  // Paints on the DC of wParam through Paint (nothing without a DC or while being destroyed).
  virtual void WMPaint(TMessage& Message);

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// A windowed control that draws itself on a canvas in Paint.
class TCustomControl : public TWinControl {
public:
  explicit TCustomControl(TComponent* AOwner);
  ~TCustomControl() override;
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  // Paint on the canvas, which draws on DC meanwhile.
  void PaintWindow(HDC DC) override;

protected:
  virtual void Paint() {}
  void WMPaint(TMessage& Message) override;

private:
  std::unique_ptr<TControlCanvas> FCanvas;
};

// Shift state from the MK_ key flags of a mouse message.
TShiftState KeysToShiftState(WPARAM Keys);
// Shift state of the keyboard now (Shift, Ctrl, Alt, mouse buttons).
TShiftState KeyboardStateToShiftState();
// The control that gets the mouse while captured (a graphic control through its parent).
TControl* GetCaptureControl();
void SetCaptureControl(TControl* Control);
// The control under the pointer as the hover tracking last saw it.
TControl* GetMouseControl();
// Sends CM_MOUSELEAVE to the previous and CM_MOUSEENTER to the new control; while a control
// holds the mouse capture, only that control hears them.
void SetMouseControl(TControl* Control);
// The windowed control of the class library at the screen point Pos, or null.
TWinControl* FindVCLWindow(const TPoint& Pos);
// The control at the screen point Pos (a graphic child where there is one; disabled ones too
// with AllowDisabled), or null.
TControl* FindDragTarget(const TPoint& Pos, bool AllowDisabled);
// Cancels the drag in progress, if any (the source's OnEndDrag sees a null target).
void CancelDrag();
// The form a control is on (its top parent when that is a form), or null.
TCustomForm* GetParentForm(TControl* Control);
// The window procedure of every window of the class library.
LRESULT VclWindowProc(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
// A hidden window whose messages go to Method (timers, notifications); DeallocateHWnd destroys it.
HWND AllocateHWnd(TWndMethod Method);
// The same under another class name (registered on first use); the application's window is one.
HWND AllocateHWnd(TWndMethod Method, const char* ClassName);
void DeallocateHWnd(HWND Wnd);
// Hands an exception caught in a window procedure to the application (HandleException).
void VclHandleException(TObject* Sender);
// Gives back the window DCs that control canvases hold outside painting.
void FreeDeviceContexts();
