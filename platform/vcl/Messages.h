// Messages of the class library: the TMessage record that WndProc and Dispatch pass around,
// typed views of common messages, the class library's own CM_ messages and the CN_
// notifications reflected back to the control that caused them.
#pragma once

#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

struct TMessage {
  UINT Msg = 0;
  WPARAM WParam = 0;
  LPARAM LParam = 0;
  LRESULT Result = 0;

  WORD WParamLo() const { return LOWORD(WParam); }
  WORD WParamHi() const { return HIWORD(WParam); }
  WORD LParamLo() const { return LOWORD(static_cast<std::uintptr_t>(LParam)); }
  WORD LParamHi() const { return HIWORD(static_cast<std::uintptr_t>(LParam)); }
};

// WM_KEYDOWN, WM_KEYUP, WM_CHAR, WM_SYSKEYDOWN ... and the CN_/CM_ key messages.
struct TWMKey {
  UINT Msg = 0;
  Word CharCode = 0;
  LPARAM KeyData = 0;
  LRESULT Result = 0;

  TWMKey() = default;
  explicit TWMKey(const TMessage& M)
      : Msg(M.Msg), CharCode(static_cast<Word>(M.WParam)), KeyData(M.LParam), Result(M.Result) {}
  TMessage ToMessage() const { return TMessage{Msg, CharCode, KeyData, Result}; }
};

// Mouse messages: client coordinates in LParam, MK_ key state in WParam.
struct TWMMouse {
  UINT Msg = 0;
  WPARAM Keys = 0;
  int XPos = 0;
  int YPos = 0;
  LRESULT Result = 0;

  TWMMouse() = default;
  explicit TWMMouse(const TMessage& M)
      : Msg(M.Msg), Keys(M.WParam), XPos(GET_X_LPARAM(M.LParam)), YPos(GET_Y_LPARAM(M.LParam)),
        Result(M.Result) {}
};

// Key data bit of WM_KEYDOWN/WM_CHAR: the Alt key was down.
constexpr LPARAM AltMask = 0x20000000;

// The class library's messages.
constexpr UINT CM_BASE = 0xB000;
enum : UINT {
  CM_ACTIVATE = CM_BASE + 0,
  CM_DEACTIVATE = CM_BASE + 1,
  CM_GOTFOCUS = CM_BASE + 2,
  CM_LOSTFOCUS = CM_BASE + 3,
  CM_CANCELMODE = CM_BASE + 4,
  CM_DIALOGKEY = CM_BASE + 5,
  CM_DIALOGCHAR = CM_BASE + 6,
  CM_FOCUSCHANGED = CM_BASE + 7,
  CM_PARENTFONTCHANGED = CM_BASE + 8,
  CM_PARENTCOLORCHANGED = CM_BASE + 9,
  CM_HITTEST = CM_BASE + 10,
  CM_VISIBLECHANGED = CM_BASE + 11,
  CM_ENABLEDCHANGED = CM_BASE + 12,
  CM_COLORCHANGED = CM_BASE + 13,
  CM_FONTCHANGED = CM_BASE + 14,
  CM_CURSORCHANGED = CM_BASE + 15,
  CM_CTL3DCHANGED = CM_BASE + 16,
  CM_PARENTCTL3DCHANGED = CM_BASE + 17,
  CM_TEXTCHANGED = CM_BASE + 18,
  CM_MOUSEENTER = CM_BASE + 19,
  CM_MOUSELEAVE = CM_BASE + 20,
  CM_MENUCHANGED = CM_BASE + 21,
  CM_APPKEYDOWN = CM_BASE + 22,
  CM_APPSYSCOMMAND = CM_BASE + 23,
  CM_BUTTONPRESSED = CM_BASE + 24,
  CM_SHOWINGCHANGED = CM_BASE + 25,
  CM_ENTER = CM_BASE + 26,
  CM_EXIT = CM_BASE + 27,
  CM_DESIGNHITTEST = CM_BASE + 28,
  CM_ICONCHANGED = CM_BASE + 29,
  CM_WANTSPECIALKEY = CM_BASE + 30,
  CM_INVOKEHELP = CM_BASE + 31,
  CM_WINDOWHOOK = CM_BASE + 32,
  CM_RELEASE = CM_BASE + 33,
  CM_SHOWHINTCHANGED = CM_BASE + 34,
  CM_PARENTSHOWHINTCHANGED = CM_BASE + 35,
  CM_SYSCOLORCHANGE = CM_BASE + 36,
  CM_WININICHANGE = CM_BASE + 37,
  CM_FONTCHANGE = CM_BASE + 38,
  CM_TIMECHANGE = CM_BASE + 39,
  CM_TABSTOPCHANGED = CM_BASE + 40,
  CM_UIACTIVATE = CM_BASE + 41,
  CM_UIDEACTIVATE = CM_BASE + 42,
  CM_DOCWINDOWACTIVATE = CM_BASE + 43,
  CM_CONTROLLISTCHANGE = CM_BASE + 44,
  CM_GETDATALINK = CM_BASE + 45,
  CM_CHILDKEY = CM_BASE + 46,
  CM_DRAG = CM_BASE + 47,
  CM_HINTSHOW = CM_BASE + 48,
  CM_DIALOGHANDLE = CM_BASE + 49,
  CM_ISTOOLCONTROL = CM_BASE + 50,
  CM_RECREATEWND = CM_BASE + 51,
  CM_INVALIDATE = CM_BASE + 52,
  CM_SYSFONTCHANGED = CM_BASE + 53,
  CM_CONTROLCHANGE = CM_BASE + 54,
  CM_CHANGED = CM_BASE + 55,
  CM_DOCKCLIENT = CM_BASE + 56,
  CM_UNDOCKCLIENT = CM_BASE + 57,
  CM_FLOAT = CM_BASE + 58,
  CM_BORDERCHANGED = CM_BASE + 59,
  CM_BIDIMODECHANGED = CM_BASE + 60,
  CM_PARENTBIDIMODECHANGED = CM_BASE + 61,
  CM_ALLCHILDRENFLIPPED = CM_BASE + 62,
  CM_ACTIONUPDATE = CM_BASE + 63,
  CM_ACTIONEXECUTE = CM_BASE + 64,
  CM_HINTSHOWPAUSE = CM_BASE + 65,
  CM_DOCKNOTIFICATION = CM_BASE + 66,
  CM_MOUSEWHEEL = CM_BASE + 67,
  CM_ISSHORTCUT = CM_BASE + 68,
};

// Notifications a parent reflects to the child control they concern: CN_BASE + the message.
constexpr UINT CN_BASE = 0xBC00;
enum : UINT {
  CN_CHARTOITEM = CN_BASE + 0x002F,
  CN_COMMAND = CN_BASE + 0x0111,
  CN_COMPAREITEM = CN_BASE + 0x0039,
  CN_CTLCOLORBTN = CN_BASE + 0x0135,
  CN_CTLCOLORDLG = CN_BASE + 0x0136,
  CN_CTLCOLOREDIT = CN_BASE + 0x0133,
  CN_CTLCOLORLISTBOX = CN_BASE + 0x0134,
  CN_CTLCOLORMSGBOX = CN_BASE + 0x0132,
  CN_CTLCOLORSCROLLBAR = CN_BASE + 0x0137,
  CN_CTLCOLORSTATIC = CN_BASE + 0x0138,
  CN_DELETEITEM = CN_BASE + 0x002D,
  CN_DRAWITEM = CN_BASE + 0x002B,
  CN_HSCROLL = CN_BASE + 0x0114,
  CN_MEASUREITEM = CN_BASE + 0x002C,
  CN_PARENTNOTIFY = CN_BASE + 0x0210,
  CN_VKEYTOITEM = CN_BASE + 0x002E,
  CN_VSCROLL = CN_BASE + 0x0115,
  CN_KEYDOWN = CN_BASE + 0x0100,
  CN_KEYUP = CN_BASE + 0x0101,
  CN_CHAR = CN_BASE + 0x0102,
  CN_SYSKEYDOWN = CN_BASE + 0x0104,
  CN_SYSCHAR = CN_BASE + 0x0106,
  CN_NOTIFY = CN_BASE + 0x004E,
};
