// Forms, the application object and the screen: TCustomForm/TForm (borders, position, modal
// showing, closing, activation, focus, dialog keys and accelerators), TApplication (the message
// loop, hooks, exceptions, hints) and TScreen (forms, active form and control, cursors, fonts,
// monitors). Application and Screen are the program's single instances.
#pragma once

#include <functional>
#include <map>
#include <memory>
#include <vector>

#include "platform/rtl/RtlConsts.h"
#include "platform/rtl/StringList.h"
#include "platform/vcl/Controls.h"

enum TFormBorderStyle { bsNone, bsSingle, bsSizeable, bsDialog, bsToolWindow, bsSizeToolWin };
using TBorderStyle = TFormBorderStyle;

using TBorderIcons = std::uint32_t;
enum : TBorderIcons { biSystemMenu = 1u << 0, biMinimize = 1u << 1, biMaximize = 1u << 2, biHelp = 1u << 3 };

enum TFormStyle { fsNormal, fsMDIChild, fsMDIForm, fsStayOnTop };
enum TPosition {
  poDesigned, poDefault, poDefaultPosOnly, poDefaultSizeOnly, poScreenCenter, poDesktopCenter, poMainFormCenter,
  poOwnerFormCenter
};
enum TWindowState { wsNormal, wsMinimized, wsMaximized };
enum TCloseAction { caNone, caHide, caFree, caMinimize };

using TModalResult = int;
constexpr TModalResult mrNone = 0;
constexpr TModalResult mrOk = IDOK;
constexpr TModalResult mrCancel = IDCANCEL;
constexpr TModalResult mrAbort = IDABORT;
constexpr TModalResult mrRetry = IDRETRY;
constexpr TModalResult mrIgnore = IDIGNORE;
constexpr TModalResult mrYes = IDYES;
constexpr TModalResult mrNo = IDNO;
constexpr TModalResult mrAll = mrNo + 1;
constexpr TModalResult mrNoToAll = mrAll + 1;
constexpr TModalResult mrYesToAll = mrNoToAll + 1;

// Form state flags (a set).
using TFormState = std::uint32_t;
enum : TFormState { fsCreating = 1u << 0, fsVisible = 1u << 1, fsShowing = 1u << 2, fsModal = 1u << 3, fsActivated = 1u << 5 };

using TCloseEvent = std::function<void(TObject* Sender, TCloseAction& Action)>;
using TCloseQueryEvent = std::function<void(TObject* Sender, bool& CanClose)>;
using TShortCutEvent = std::function<void(TWMKey& Msg, bool& Handled)>;

class TForm;

class TCustomForm : public TWinControl {
public:
  // A form with nothing on it yet (the class library's CreateNew).
  explicit TCustomForm(TComponent* AOwner);
  ~TCustomForm() override;

  TFormBorderStyle GetBorderStyle() const { return FBorderStyle; }
  void SetBorderStyle(TFormBorderStyle Value);
  TBorderIcons GetBorderIcons() const { return FBorderIcons; }
  void SetBorderIcons(TBorderIcons Value);
  TFormStyle GetFormStyle() const { return FFormStyle; }
  void SetFormStyle(TFormStyle Value);
  TPosition GetPosition() const { return FPosition; }
  void SetPosition(TPosition Value);
  TWindowState GetWindowState() const;
  void SetWindowState(TWindowState Value);
  TModalResult GetModalResult() const { return FModalResult; }
  void SetModalResult(TModalResult Value) { FModalResult = Value; }
  bool GetKeyPreview() const { return FKeyPreview; }
  void SetKeyPreview(bool Value) { FKeyPreview = Value; }
  // Kept for the forms that set it; this system's forms show no scroll bars of their own.
  bool GetAutoScroll() const { return FAutoScroll; }
  void SetAutoScroll(bool Value) { FAutoScroll = Value; }
  // MDI: an fsMDIForm's window holds an "MDICLIENT" window (ClientHandle, null before the
  // form's window exists) over the client area its aligned controls leave free; fsMDIChild forms
  // are documents in the application main form's client (EInvalidOperation "Cannot create form.
  // No MDI forms are currently active" when the main form is no MDI form with a window). The
  // children are the fsMDIChild forms of the screen, the most recently active first; the active
  // one is the client's.
  HWND GetClientHandle() const { return IsWindow(FClientHandle) ? FClientHandle : nullptr; }
  int GetMDIChildCount() const;
  // EListError for an index outside 0 .. MDIChildCount - 1.
  TForm* GetMDIChildren(int Index) const;
  TForm* GetActiveMDIChild() const;
  // Activates the MDI child behind the active one (which goes to the back) / the rearmost one.
  void Next();
  void Previous();
  bool GetActive() const { return FActive; }
  TWinControl* GetActiveControl() const { return FActiveControl; }
  // EInvalidOperation "Cannot focus a disabled or invisible window" for a control that can't
  // take the focus.
  void SetActiveControl(TWinControl* Control);
  TCanvas* GetCanvas() const { return FCanvas.get(); }
  TIcon* GetIcon() const { return FIcon.get(); }
  void SetIcon(TIcon* Value) { FIcon->Assign(Value); }
  // The menu item under which an MDI form lists its children (null: none); cleared when freed.
  TMenuItem* GetWindowMenu() const { return FWindowMenu; }
  void SetWindowMenu(TMenuItem* Value);
  TMainMenu* GetMenu() const { return FMenu; }
  void SetMenu(TMainMenu* Value);
  // The control on this form that shows a main menu as a bar (it registers itself). The
  // keyboard's menu commands (WM_SYSCOMMAND SC_KEYMENU: Alt, F10, Alt+letter) go to it.
  TWinControl* GetMenuBar() const { return FMenuBar; }
  void SetMenuBar(TWinControl* Value);
  TFormState GetFormState() const { return FFormState; }

  // Shows the form (Visible true, brought to front).
  void Show();
  void Hide() { SetVisible(false); }
  // Modal: disables the other forms, runs messages until ModalResult is set, hides the form
  // and answers ModalResult. EInvalidOperation "Cannot make a visible window modal" when the
  // form is already visible.
  virtual int ShowModal();
  // Asks CloseQuery/OnClose; hides, frees (deferred) or minimises as the close action says; the
  // main form ends the application.
  void Close();
  virtual bool CloseQuery();
  // Deletes the form when the messages now queued are handled (CM_RELEASE).
  void Release();
  void SetFocus() override;
  void FocusControl(TWinControl* Control);
  void DefocusControl(TWinControl* Control, bool Removing);
  // Focus bookkeeping called when a control of the form gets the focus; false when a handler
  // moved the focus elsewhere meanwhile.
  bool SetFocusedControl(TWinControl* Control);
  virtual bool IsShortCut(TWMKey& Message);
  void SendCancelMode(TControl* Sender);
  bool DoKeyDown(TMessage& Message) { return TWinControl::DoKeyDown(Message); }
  bool DoKeyPress(TMessage& Message) { return TWinControl::DoKeyPress(Message); }
  bool DoKeyUp(TMessage& Message) { return TWinControl::DoKeyUp(Message); }
  void SetVisible(bool Value) override;
  TRect GetClientRect() override;
  // Paint (OnPaint) on the form's canvas, which draws on DC meanwhile.
  void PaintWindow(HDC DC) override;

  TNotifyEvent OnCreate;
  TNotifyEvent OnDestroy;
  TNotifyEvent OnShow;
  TNotifyEvent OnHide;
  TNotifyEvent OnPaint;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TCloseEvent OnClose;
  TCloseQueryEvent OnCloseQuery;
  TShortCutEvent OnShortCut;

  // Calls OnCreate (a form built in code calls it when its controls exist).
  void DoCreate();

protected:
  void CreateParams(TCreateParams& Params) override;
  void CreateWnd() override;
  void CreateMDIClient();  // the MDI frame's client window, once the form has its own
  void DefaultHandler(TMessage& Message) override;
  void AlignControls(TControl* AControl, TRect& Rect) override;
  virtual void DoShow();
  virtual void DoHide();
  virtual void DoClose(TCloseAction& Action);
  virtual void Activate();
  virtual void Deactivate();
  virtual void Paint();
  void Dispatch(TMessage& Message) override;
  void WMPaint(TMessage& Message) override;
  void Notification(TComponent* AComponent, TOperation Operation) override;

  virtual void WMClose(TMessage& Message);
  virtual void WMActivate(TMessage& Message);
  virtual void WMSysCommand(TMessage& Message);
  void CMShowingChanged(TMessage& Message) override;
  void CMDialogKey(TMessage& Message) override;
  virtual void CMActivate(TMessage& Message);
  virtual void CMDeactivate(TMessage& Message);
  virtual void CMRelease(TMessage& Message);

private:
  friend class TApplication;
  void CloseModal();
  void SetActive(bool Value);
  void SetWindowFocus();
  void ApplyPosition();

  TFormBorderStyle FBorderStyle = bsSizeable;
  TBorderIcons FBorderIcons = biSystemMenu | biMinimize | biMaximize;
  TFormStyle FFormStyle = fsNormal;
  TPosition FPosition = poDesigned;
  TWindowState FWindowState = wsNormal;
  TModalResult FModalResult = mrNone;
  bool FKeyPreview = false;
  bool FActive = false;
  TWinControl* FActiveControl = nullptr;
  TWinControl* FFocusedControl = nullptr;
  std::unique_ptr<TControlCanvas> FCanvas;
  std::unique_ptr<TIcon> FIcon;
  TMainMenu* FMenu = nullptr;
  TMenuItem* FWindowMenu = nullptr;
  TWinControl* FMenuBar = nullptr;
  HWND FClientHandle = nullptr;
  TFormState FFormState = 0;
  bool FPositioned = false;
  bool FAutoScroll = true;
};

class TForm : public TCustomForm {
public:
  // Joins Screen's Forms (the base constructor cannot: while it runs the object is not yet a
  // TForm).
  explicit TForm(TComponent* AOwner);
};

// The class library's CreateNew: a form without a designed layout.
template <class T = TForm>
T* CreateNewForm(TComponent* AOwner) {
  return new T(AOwner);
}

struct TMonitor {
  HMONITOR Handle = nullptr;
  int MonitorNum = 0;
  TRect BoundsRect{};
  TRect WorkareaRect{};
  bool Primary = false;
  int GetLeft() const { return BoundsRect.left; }
  int GetTop() const { return BoundsRect.top; }
  int GetWidth() const { return BoundsRect.right - BoundsRect.left; }
  int GetHeight() const { return BoundsRect.bottom - BoundsRect.top; }
};

class TScreen : public TComponent {
public:
  explicit TScreen(TComponent* AOwner);
  ~TScreen() override;

  int GetFormCount() const { return static_cast<int>(FForms.size()); }
  // Forms most recently active first.
  TForm* GetForms(int Index) const;
  int GetCustomFormCount() const { return static_cast<int>(FCustomForms.size()); }
  TCustomForm* GetCustomForms(int Index) const;
  TForm* GetActiveForm() const { return FActiveForm; }
  TCustomForm* GetActiveCustomForm() const { return FActiveCustomForm; }
  TWinControl* GetActiveControl() const { return FActiveControl; }
  TCustomForm* GetFocusedForm() const { return FFocusedForm; }

  int GetWidth();
  int GetHeight();
  TRect GetWorkAreaRect();
  int GetWorkAreaLeft() { return GetWorkAreaRect().left; }
  int GetWorkAreaTop() { return GetWorkAreaRect().top; }
  int GetWorkAreaWidth() { TRect R = GetWorkAreaRect(); return R.right - R.left; }
  int GetWorkAreaHeight() { TRect R = GetWorkAreaRect(); return R.bottom - R.top; }
  TRect GetDesktopRect();
  int GetMonitorCount();
  TMonitor GetMonitors(int Index);
  TMonitor MonitorFromWindow(HWND Wnd);
  int GetPixelsPerInch() const { return 96; }

  // The program-wide cursor: crDefault lets each control choose.
  TCursor GetCursor() const { return FCursor; }
  void SetCursor(TCursor Value);
  // The cursor handle of a cursor number (crDefault gives the arrow).
  HCURSOR GetCursors(TCursor Index);
  void SetCursors(TCursor Index, HCURSOR Handle);
  // The screen's font family names, sorted.
  TStrings* GetFonts();

  TNotifyEvent OnActiveControlChange;
  TNotifyEvent OnActiveFormChange;

private:
  friend class TCustomForm;
  friend class TForm;
  friend class TApplication;
  void AddForm(TCustomForm* Form);
  void RemoveForm(TCustomForm* Form);
  void MoveToFront(TCustomForm* Form);
  std::vector<TCustomForm*> FCustomForms;
  std::vector<TForm*> FForms;
  TForm* FActiveForm = nullptr;
  TCustomForm* FActiveCustomForm = nullptr;
  TWinControl* FActiveControl = nullptr;
  TCustomForm* FFocusedForm = nullptr;
  std::vector<TCustomForm*> FSaveFocusedList;
  TCursor FCursor = crDefault;
  std::map<TCursor, HCURSOR> FCursors;
  std::unique_ptr<TStringList> FFonts;
};

using TMessageEvent = std::function<void(MSG& Msg, bool& Handled)>;
using TIdleEvent = std::function<void(TObject* Sender, bool& Done)>;
using TExceptionEvent = std::function<void(TObject* Sender, Exception* E)>;

class THintWindow;
using THintWindowClass = std::function<THintWindow*(TComponent* Owner)>;

// What a hint about to be shown looks like; CM_HINTSHOW (lParam: this record) and OnShowHint
// may change it or refuse the hint.
struct THintInfo {
  TControl* HintControl = nullptr;
  THintWindowClass HintWindowClass;
  TPoint HintPos{};  // screen
  int HintMaxWidth = 0;
  TColor HintColor = clInfoBk;
  TRect CursorRect{};
  TPoint CursorPos{};  // in the control
  int ReshowTimeout = 0;
  int HideTimeout = 0;
  String HintStr;
  void* HintData = nullptr;
};
using TShowHintEvent = std::function<void(String& HintStr, bool& CanShow, THintInfo& HintInfo)>;

class TApplication : public TComponent {
public:
  explicit TApplication(TComponent* AOwner);
  ~TApplication() override;

  void Initialize() {}
  // Makes a form; the first one becomes the main form.
  template <class T>
  void CreateForm(T*& Reference) {
    T* Form = new T(this);
    Reference = Form;
    if (!FMainForm) {
      if (auto* F = dynamic_cast<TForm*>(static_cast<TComponent*>(Form))) FMainForm = F;
    }
  }
  // Shows the main form and runs the loop until Terminate.
  void Run();
  // Handles every waiting message, then returns.
  void ProcessMessages();
  // Handles one message, or idles (and waits) when there is none.
  void HandleMessage();
  // Ends the loop (WM_QUIT).
  void Terminate();
  bool GetTerminated() const { return FTerminate; }
  void Minimize();
  void Restore();
  void BringToFront();
  // The hidden application window (made on first use).
  HWND GetHandle();
  // Cancels any hint and destroys the hidden window (a later GetHandle makes a new one); for
  // test programs that must leave no window behind.
  void DestroyHandle();
  TForm* GetMainForm() const { return FMainForm; }
  void SetMainForm(TForm* Value) { FMainForm = Value; }
  bool GetShowMainForm() const { return FShowMainForm; }
  void SetShowMainForm(bool Value) { FShowMainForm = Value; }
  const String& GetTitle() const { return FTitle; }
  void SetTitle(const String& Value);
  String GetExeName() const;
  const String& GetHelpFile() const { return FHelpFile; }
  void SetHelpFile(const String& Value) { FHelpFile = Value; }
  TIcon* GetIcon() const { return FIcon.get(); }
  bool GetActive() const { return FActive; }

  // Exceptions: OnException when set, otherwise ShowException (EAbort is silent).
  void HandleException(TObject* Sender);
  void ShowException(Exception* E);

  // Hints.
  bool GetShowHint() const { return FShowHint; }
  void SetShowHint(bool Value);
  int GetHintPause() const { return FHintPause; }
  void SetHintPause(int Value) { FHintPause = Value; }
  int GetHintShortPause() const { return FHintShortPause; }
  void SetHintShortPause(int Value) { FHintShortPause = Value; }
  int GetHintHidePause() const { return FHintHidePause; }
  void SetHintHidePause(int Value) { FHintHidePause = Value; }
  TColor GetHintColor() const { return FHintColor; }
  void SetHintColor(TColor Value) { FHintColor = Value; }
  const String& GetHint() const { return FHint; }
  void SetHint(const String& Value);
  void CancelHint();
  // Makes the hint windows (the plain one by default; skins set their own).
  THintWindowClass HintWindowClass;

  TMessageEvent OnMessage;
  TIdleEvent OnIdle;
  TExceptionEvent OnException;
  TNotifyEvent OnMinimize;
  TNotifyEvent OnRestore;
  TNotifyEvent OnActivate;
  TNotifyEvent OnDeactivate;
  TNotifyEvent OnHint;
  TShowHintEvent OnShowHint;

  // Hover bookkeeping: the control under the pointer changed (shows and hides hints). The
  // hint belongs to the control or its nearest parent with ShowHint; its text is the first
  // non-empty Hint up the parent chain. After HintPause (HintShortPause when a hint was up
  // just before; CM_HINTSHOWPAUSE lets the control change it) the hint shows; CM_HINTSHOW
  // and OnShowHint may change or refuse it.
  void HintMouseMessage(TControl* Control);

private:
  bool ProcessMessage(MSG& Msg);
  bool IsKeyMsg(MSG& Msg);
  bool IsMDIMsg(MSG& Msg);
  void Idle();
  void WndProc(TMessage& Message);
  void HintTimerExpired();
  void ActivateHint(TControl* Control);

  HWND FHandle = nullptr;
  TForm* FMainForm = nullptr;
  bool FShowMainForm = true;
  bool FTerminate = false;
  bool FRunning = false;
  bool FActive = true;
  String FTitle;
  String FHelpFile;
  std::unique_ptr<TIcon> FIcon;
  bool FShowHint = true;
  int FHintPause = 500;
  int FHintShortPause = 50;
  int FHintHidePause = 2500;
  TColor FHintColor = clInfoBk;
  String FHint;
  THintWindow* FHintWindow = nullptr;
  TControl* FHintControl = nullptr;
  bool FHintShown = false;
  // A hint was shown for the current hint control: the next one comes after HintShortPause.
  bool FHintActive = false;
  void HideHint();
};

// The single instances (made at start-up; they make no window until one is needed).
extern TApplication* Application;
extern TScreen* Screen;

// The mouse: where the pointer is.
class TMouse {
public:
  TPoint GetCursorPos() const;
  void SetCursorPos(const TPoint& Value);
  HWND GetCapture() const { return ::GetCapture(); }
  bool GetMousePresent() const { return true; }
  int GetWheelScrollLines() const { return 3; }
  // How far the mouse moves with the button held before a drag starts (5 pixels).
  int GetDragThreshold() const;
  void SetDragThreshold(int Value);
};
extern TMouse* Mouse;

// The form a control is on, or EInvalidOperation "Control '%s' has no parent form".
TCustomForm* ValidParentForm(TControl* Control);
