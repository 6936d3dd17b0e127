// The window system: window classes and windows, window procedures and subclassing, the message
// queue and loops, timers, geometry and z-order, the non-client area, painting and update
// regions, window regions and layered windows, mouse and keyboard input, focus, capture and
// activation, monitors and system metrics, caret, clipboard, drag and drop, the tray icon model.
// Names, structures and numeric values are the Win32 ones (ANSI "A" entry points, with
// unsuffixed aliases); text is UTF-8 bytes.
//
// Threads. Every window belongs to the thread that created it (normally the GUI thread) and
// its procedure runs only there. SendMessage from another thread is delivered on the owner
// thread while the sender waits; PostMessage, PostThreadMessage and SendNotifyMessage may be
// called from any thread. All other calls are made on the thread that owns the windows.
//
// The section at the end ("Extensions of this system") holds what Windows does not have: the
// choice of display backend, the message clock that tests can drive, native child windows for
// an embedded player, and the queries of the tray icon model.
#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <vector>

#include "platform/display/DisplayBackend.h"
#include "platform/gdi/Gdi.h"
#include "platform/rtl/System.h"
#include "platform/rtl/WinTypes.h"

using SIZE_T = std::size_t;
using HGLOBAL = HANDLE;
using PVOID = void*;
struct HDROP__ {
  int Unused;
};
using HDROP = HDROP__*;

// ---------------------------------------------------------------------------------------------
// Procedure types

using WNDPROC = LRESULT (*)(HWND, UINT, WPARAM, LPARAM);
using TIMERPROC = void (*)(HWND, UINT, UINT_PTR, DWORD);
using WNDENUMPROC = BOOL (*)(HWND, LPARAM);
using MONITORENUMPROC = BOOL (*)(HMONITOR, HDC, LPRECT, LPARAM);

// ---------------------------------------------------------------------------------------------
// Window messages

constexpr UINT WM_NULL = 0x0000;
constexpr UINT WM_CREATE = 0x0001;
constexpr UINT WM_DESTROY = 0x0002;
constexpr UINT WM_MOVE = 0x0003;
constexpr UINT WM_SIZE = 0x0005;
constexpr UINT WM_ACTIVATE = 0x0006;
constexpr UINT WM_SETFOCUS = 0x0007;
constexpr UINT WM_KILLFOCUS = 0x0008;
constexpr UINT WM_ENABLE = 0x000A;
constexpr UINT WM_SETREDRAW = 0x000B;
constexpr UINT WM_SETTEXT = 0x000C;
constexpr UINT WM_GETTEXT = 0x000D;
constexpr UINT WM_GETTEXTLENGTH = 0x000E;
constexpr UINT WM_PAINT = 0x000F;
constexpr UINT WM_CLOSE = 0x0010;
constexpr UINT WM_QUERYENDSESSION = 0x0011;
constexpr UINT WM_QUIT = 0x0012;
constexpr UINT WM_QUERYOPEN = 0x0013;
constexpr UINT WM_ERASEBKGND = 0x0014;
constexpr UINT WM_SYSCOLORCHANGE = 0x0015;
constexpr UINT WM_ENDSESSION = 0x0016;
constexpr UINT WM_SHOWWINDOW = 0x0018;
constexpr UINT WM_CTLCOLOR = 0x0019;
constexpr UINT WM_WININICHANGE = 0x001A;
constexpr UINT WM_SETTINGCHANGE = 0x001A;
constexpr UINT WM_DEVMODECHANGE = 0x001B;
constexpr UINT WM_ACTIVATEAPP = 0x001C;
constexpr UINT WM_FONTCHANGE = 0x001D;
constexpr UINT WM_TIMECHANGE = 0x001E;
constexpr UINT WM_CANCELMODE = 0x001F;
constexpr UINT WM_SETCURSOR = 0x0020;
constexpr UINT WM_MOUSEACTIVATE = 0x0021;
constexpr UINT WM_CHILDACTIVATE = 0x0022;
constexpr UINT WM_QUEUESYNC = 0x0023;
constexpr UINT WM_GETMINMAXINFO = 0x0024;
constexpr UINT WM_PAINTICON = 0x0026;
constexpr UINT WM_ICONERASEBKGND = 0x0027;
constexpr UINT WM_NEXTDLGCTL = 0x0028;
constexpr UINT WM_SPOOLERSTATUS = 0x002A;
constexpr UINT WM_DRAWITEM = 0x002B;
constexpr UINT WM_MEASUREITEM = 0x002C;
constexpr UINT WM_DELETEITEM = 0x002D;
constexpr UINT WM_VKEYTOITEM = 0x002E;
constexpr UINT WM_CHARTOITEM = 0x002F;
constexpr UINT WM_SETFONT = 0x0030;
constexpr UINT WM_GETFONT = 0x0031;
constexpr UINT WM_SETHOTKEY = 0x0032;
constexpr UINT WM_GETHOTKEY = 0x0033;
constexpr UINT WM_QUERYDRAGICON = 0x0037;
constexpr UINT WM_COMPAREITEM = 0x0039;
constexpr UINT WM_GETOBJECT = 0x003D;
constexpr UINT WM_COMPACTING = 0x0041;
constexpr UINT WM_WINDOWPOSCHANGING = 0x0046;
constexpr UINT WM_WINDOWPOSCHANGED = 0x0047;
constexpr UINT WM_POWER = 0x0048;
constexpr UINT WM_COPYDATA = 0x004A;
constexpr UINT WM_CANCELJOURNAL = 0x004B;
constexpr UINT WM_NOTIFY = 0x004E;
constexpr UINT WM_INPUTLANGCHANGEREQUEST = 0x0050;
constexpr UINT WM_INPUTLANGCHANGE = 0x0051;
constexpr UINT WM_TCARD = 0x0052;
constexpr UINT WM_HELP = 0x0053;
constexpr UINT WM_USERCHANGED = 0x0054;
constexpr UINT WM_NOTIFYFORMAT = 0x0055;
constexpr UINT WM_CONTEXTMENU = 0x007B;
constexpr UINT WM_STYLECHANGING = 0x007C;
constexpr UINT WM_STYLECHANGED = 0x007D;
constexpr UINT WM_DISPLAYCHANGE = 0x007E;
constexpr UINT WM_GETICON = 0x007F;
constexpr UINT WM_SETICON = 0x0080;
constexpr UINT WM_NCCREATE = 0x0081;
constexpr UINT WM_NCDESTROY = 0x0082;
constexpr UINT WM_NCCALCSIZE = 0x0083;
constexpr UINT WM_NCHITTEST = 0x0084;
constexpr UINT WM_NCPAINT = 0x0085;
constexpr UINT WM_NCACTIVATE = 0x0086;
constexpr UINT WM_GETDLGCODE = 0x0087;
constexpr UINT WM_SYNCPAINT = 0x0088;
constexpr UINT WM_NCMOUSEMOVE = 0x00A0;
constexpr UINT WM_NCLBUTTONDOWN = 0x00A1;
constexpr UINT WM_NCLBUTTONUP = 0x00A2;
constexpr UINT WM_NCLBUTTONDBLCLK = 0x00A3;
constexpr UINT WM_NCRBUTTONDOWN = 0x00A4;
constexpr UINT WM_NCRBUTTONUP = 0x00A5;
constexpr UINT WM_NCRBUTTONDBLCLK = 0x00A6;
constexpr UINT WM_NCMBUTTONDOWN = 0x00A7;
constexpr UINT WM_NCMBUTTONUP = 0x00A8;
constexpr UINT WM_NCMBUTTONDBLCLK = 0x00A9;
constexpr UINT WM_KEYFIRST = 0x0100;
constexpr UINT WM_KEYDOWN = 0x0100;
constexpr UINT WM_KEYUP = 0x0101;
constexpr UINT WM_CHAR = 0x0102;
constexpr UINT WM_DEADCHAR = 0x0103;
constexpr UINT WM_SYSKEYDOWN = 0x0104;
constexpr UINT WM_SYSKEYUP = 0x0105;
constexpr UINT WM_SYSCHAR = 0x0106;
constexpr UINT WM_SYSDEADCHAR = 0x0107;
constexpr UINT WM_KEYLAST = 0x0108;
constexpr UINT WM_INITDIALOG = 0x0110;
constexpr UINT WM_COMMAND = 0x0111;
constexpr UINT WM_SYSCOMMAND = 0x0112;
constexpr UINT WM_TIMER = 0x0113;
constexpr UINT WM_HSCROLL = 0x0114;
constexpr UINT WM_VSCROLL = 0x0115;
constexpr UINT WM_INITMENU = 0x0116;
constexpr UINT WM_INITMENUPOPUP = 0x0117;
constexpr UINT WM_MENUSELECT = 0x011F;
constexpr UINT WM_MENUCHAR = 0x0120;
constexpr UINT WM_ENTERIDLE = 0x0121;
constexpr UINT WM_UNINITMENUPOPUP = 0x0125;
constexpr UINT WM_CHANGEUISTATE = 0x0127;
constexpr UINT WM_UPDATEUISTATE = 0x0128;
constexpr UINT WM_QUERYUISTATE = 0x0129;
constexpr UINT WM_CTLCOLORMSGBOX = 0x0132;
constexpr UINT WM_CTLCOLOREDIT = 0x0133;
constexpr UINT WM_CTLCOLORLISTBOX = 0x0134;
constexpr UINT WM_CTLCOLORBTN = 0x0135;
constexpr UINT WM_CTLCOLORDLG = 0x0136;
constexpr UINT WM_CTLCOLORSCROLLBAR = 0x0137;
constexpr UINT WM_CTLCOLORSTATIC = 0x0138;
constexpr UINT WM_MOUSEFIRST = 0x0200;
constexpr UINT WM_MOUSEMOVE = 0x0200;
constexpr UINT WM_LBUTTONDOWN = 0x0201;
constexpr UINT WM_LBUTTONUP = 0x0202;
constexpr UINT WM_LBUTTONDBLCLK = 0x0203;
constexpr UINT WM_RBUTTONDOWN = 0x0204;
constexpr UINT WM_RBUTTONUP = 0x0205;
constexpr UINT WM_RBUTTONDBLCLK = 0x0206;
constexpr UINT WM_MBUTTONDOWN = 0x0207;
constexpr UINT WM_MBUTTONUP = 0x0208;
constexpr UINT WM_MBUTTONDBLCLK = 0x0209;
constexpr UINT WM_MOUSEWHEEL = 0x020A;
constexpr UINT WM_MOUSELAST = 0x020A;
constexpr UINT WM_PARENTNOTIFY = 0x0210;
constexpr UINT WM_ENTERMENULOOP = 0x0211;
constexpr UINT WM_EXITMENULOOP = 0x0212;
constexpr UINT WM_NEXTMENU = 0x0213;
constexpr UINT WM_SIZING = 0x0214;
constexpr UINT WM_CAPTURECHANGED = 0x0215;
constexpr UINT WM_MOVING = 0x0216;
constexpr UINT WM_POWERBROADCAST = 0x0218;
constexpr UINT WM_DEVICECHANGE = 0x0219;
constexpr UINT WM_MDICREATE = 0x0220;
constexpr UINT WM_MDIDESTROY = 0x0221;
constexpr UINT WM_MDIACTIVATE = 0x0222;
constexpr UINT WM_MDIRESTORE = 0x0223;
constexpr UINT WM_MDINEXT = 0x0224;
constexpr UINT WM_MDIMAXIMIZE = 0x0225;
constexpr UINT WM_MDITILE = 0x0226;
constexpr UINT WM_MDICASCADE = 0x0227;
constexpr UINT WM_MDIICONARRANGE = 0x0228;
constexpr UINT WM_MDIGETACTIVE = 0x0229;
constexpr UINT WM_MDISETMENU = 0x0230;
constexpr UINT WM_ENTERSIZEMOVE = 0x0231;
constexpr UINT WM_EXITSIZEMOVE = 0x0232;
constexpr UINT WM_DROPFILES = 0x0233;
constexpr UINT WM_MDIREFRESHMENU = 0x0234;
constexpr UINT WM_NCMOUSEHOVER = 0x02A0;
constexpr UINT WM_MOUSEHOVER = 0x02A1;
constexpr UINT WM_NCMOUSELEAVE = 0x02A2;
constexpr UINT WM_MOUSELEAVE = 0x02A3;
constexpr UINT WM_CUT = 0x0300;
constexpr UINT WM_COPY = 0x0301;
constexpr UINT WM_PASTE = 0x0302;
constexpr UINT WM_CLEAR = 0x0303;
constexpr UINT WM_UNDO = 0x0304;
constexpr UINT WM_RENDERFORMAT = 0x0305;
constexpr UINT WM_RENDERALLFORMATS = 0x0306;
constexpr UINT WM_DESTROYCLIPBOARD = 0x0307;
constexpr UINT WM_PAINTCLIPBOARD = 0x0309;
constexpr UINT WM_QUERYNEWPALETTE = 0x030F;
constexpr UINT WM_PALETTECHANGED = 0x0311;
constexpr UINT WM_HOTKEY = 0x0312;
constexpr UINT WM_PRINT = 0x0317;
constexpr UINT WM_PRINTCLIENT = 0x0318;
constexpr UINT WM_APPCOMMAND = 0x0319;
constexpr UINT WM_THEMECHANGED = 0x031A;
constexpr UINT WM_USER = 0x0400;
constexpr UINT WM_APP = 0x8000;

// WM_ACTIVATE
constexpr WORD WA_INACTIVE = 0;
constexpr WORD WA_ACTIVE = 1;
constexpr WORD WA_CLICKACTIVE = 2;

// WM_SIZE
constexpr WPARAM SIZE_RESTORED = 0;
constexpr WPARAM SIZE_MINIMIZED = 1;
constexpr WPARAM SIZE_MAXIMIZED = 2;
constexpr WPARAM SIZE_MAXSHOW = 3;
constexpr WPARAM SIZE_MAXHIDE = 4;

// WM_SIZING edges
constexpr WPARAM WMSZ_LEFT = 1;
constexpr WPARAM WMSZ_RIGHT = 2;
constexpr WPARAM WMSZ_TOP = 3;
constexpr WPARAM WMSZ_TOPLEFT = 4;
constexpr WPARAM WMSZ_TOPRIGHT = 5;
constexpr WPARAM WMSZ_BOTTOM = 6;
constexpr WPARAM WMSZ_BOTTOMLEFT = 7;
constexpr WPARAM WMSZ_BOTTOMRIGHT = 8;

// WM_SHOWWINDOW lParam
constexpr LPARAM SW_PARENTCLOSING = 1;
constexpr LPARAM SW_OTHERZOOM = 2;
constexpr LPARAM SW_PARENTOPENING = 3;
constexpr LPARAM SW_OTHERUNZOOM = 4;

// WM_NCCALCSIZE results
constexpr LRESULT WVR_ALIGNTOP = 0x0010;
constexpr LRESULT WVR_ALIGNLEFT = 0x0020;
constexpr LRESULT WVR_ALIGNBOTTOM = 0x0040;
constexpr LRESULT WVR_ALIGNRIGHT = 0x0080;
constexpr LRESULT WVR_HREDRAW = 0x0100;
constexpr LRESULT WVR_VREDRAW = 0x0200;
constexpr LRESULT WVR_REDRAW = 0x0300;
constexpr LRESULT WVR_VALIDRECTS = 0x0400;

// WM_PRINT flags
constexpr LPARAM PRF_CHECKVISIBLE = 0x01;
constexpr LPARAM PRF_NONCLIENT = 0x02;
constexpr LPARAM PRF_CLIENT = 0x04;
constexpr LPARAM PRF_ERASEBKGND = 0x08;
constexpr LPARAM PRF_CHILDREN = 0x10;
constexpr LPARAM PRF_OWNED = 0x20;

// WM_SETICON / WM_GETICON
constexpr WPARAM ICON_SMALL = 0;
constexpr WPARAM ICON_BIG = 1;

// ---------------------------------------------------------------------------------------------
// Styles

constexpr DWORD WS_OVERLAPPED = 0x00000000;
constexpr DWORD WS_POPUP = 0x80000000;
constexpr DWORD WS_CHILD = 0x40000000;
constexpr DWORD WS_MINIMIZE = 0x20000000;
constexpr DWORD WS_VISIBLE = 0x10000000;
constexpr DWORD WS_DISABLED = 0x08000000;
constexpr DWORD WS_CLIPSIBLINGS = 0x04000000;
constexpr DWORD WS_CLIPCHILDREN = 0x02000000;
constexpr DWORD WS_MAXIMIZE = 0x01000000;
constexpr DWORD WS_CAPTION = 0x00C00000;
constexpr DWORD WS_BORDER = 0x00800000;
constexpr DWORD WS_DLGFRAME = 0x00400000;
constexpr DWORD WS_VSCROLL = 0x00200000;
constexpr DWORD WS_HSCROLL = 0x00100000;
constexpr DWORD WS_SYSMENU = 0x00080000;
constexpr DWORD WS_THICKFRAME = 0x00040000;
constexpr DWORD WS_GROUP = 0x00020000;
constexpr DWORD WS_TABSTOP = 0x00010000;
constexpr DWORD WS_MINIMIZEBOX = 0x00020000;
constexpr DWORD WS_MAXIMIZEBOX = 0x00010000;
constexpr DWORD WS_TILED = WS_OVERLAPPED;
constexpr DWORD WS_ICONIC = WS_MINIMIZE;
constexpr DWORD WS_SIZEBOX = WS_THICKFRAME;
constexpr DWORD WS_OVERLAPPEDWINDOW =
    WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU | WS_THICKFRAME | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
constexpr DWORD WS_TILEDWINDOW = WS_OVERLAPPEDWINDOW;
constexpr DWORD WS_POPUPWINDOW = WS_POPUP | WS_BORDER | WS_SYSMENU;
constexpr DWORD WS_CHILDWINDOW = WS_CHILD;

constexpr DWORD WS_EX_DLGMODALFRAME = 0x00000001;
constexpr DWORD WS_EX_NOPARENTNOTIFY = 0x00000004;
constexpr DWORD WS_EX_TOPMOST = 0x00000008;
constexpr DWORD WS_EX_ACCEPTFILES = 0x00000010;
constexpr DWORD WS_EX_TRANSPARENT = 0x00000020;
constexpr DWORD WS_EX_MDICHILD = 0x00000040;
constexpr DWORD WS_EX_TOOLWINDOW = 0x00000080;
constexpr DWORD WS_EX_WINDOWEDGE = 0x00000100;
constexpr DWORD WS_EX_CLIENTEDGE = 0x00000200;
constexpr DWORD WS_EX_CONTEXTHELP = 0x00000400;
constexpr DWORD WS_EX_RIGHT = 0x00001000;
constexpr DWORD WS_EX_LEFT = 0x00000000;
constexpr DWORD WS_EX_RTLREADING = 0x00002000;
constexpr DWORD WS_EX_LTRREADING = 0x00000000;
constexpr DWORD WS_EX_LEFTSCROLLBAR = 0x00004000;
constexpr DWORD WS_EX_RIGHTSCROLLBAR = 0x00000000;
constexpr DWORD WS_EX_CONTROLPARENT = 0x00010000;
constexpr DWORD WS_EX_STATICEDGE = 0x00020000;
constexpr DWORD WS_EX_APPWINDOW = 0x00040000;
constexpr DWORD WS_EX_LAYERED = 0x00080000;
constexpr DWORD WS_EX_NOINHERITLAYOUT = 0x00100000;
constexpr DWORD WS_EX_LAYOUTRTL = 0x00400000;
constexpr DWORD WS_EX_COMPOSITED = 0x02000000;
constexpr DWORD WS_EX_NOACTIVATE = 0x08000000;
constexpr DWORD WS_EX_OVERLAPPEDWINDOW = WS_EX_WINDOWEDGE | WS_EX_CLIENTEDGE;
constexpr DWORD WS_EX_PALETTEWINDOW = WS_EX_WINDOWEDGE | WS_EX_TOOLWINDOW | WS_EX_TOPMOST;

// Class styles
constexpr UINT CS_VREDRAW = 0x0001;
constexpr UINT CS_HREDRAW = 0x0002;
constexpr UINT CS_DBLCLKS = 0x0008;
constexpr UINT CS_OWNDC = 0x0020;
constexpr UINT CS_CLASSDC = 0x0040;
constexpr UINT CS_PARENTDC = 0x0080;
constexpr UINT CS_NOCLOSE = 0x0200;
constexpr UINT CS_SAVEBITS = 0x0800;
constexpr UINT CS_BYTEALIGNCLIENT = 0x1000;
constexpr UINT CS_BYTEALIGNWINDOW = 0x2000;
constexpr UINT CS_GLOBALCLASS = 0x4000;
constexpr UINT CS_DROPSHADOW = 0x00020000;

// CreateWindowEx position default
constexpr int CW_USEDEFAULT = static_cast<int>(0x80000000);

// ---------------------------------------------------------------------------------------------
// ShowWindow, SetWindowPos

constexpr int SW_HIDE = 0;
constexpr int SW_SHOWNORMAL = 1;
constexpr int SW_NORMAL = 1;
constexpr int SW_SHOWMINIMIZED = 2;
constexpr int SW_SHOWMAXIMIZED = 3;
constexpr int SW_MAXIMIZE = 3;
constexpr int SW_SHOWNOACTIVATE = 4;
constexpr int SW_SHOW = 5;
constexpr int SW_MINIMIZE = 6;
constexpr int SW_SHOWMINNOACTIVE = 7;
constexpr int SW_SHOWNA = 8;
constexpr int SW_RESTORE = 9;
constexpr int SW_SHOWDEFAULT = 10;
constexpr int SW_FORCEMINIMIZE = 11;
constexpr int SW_MAX = 11;

constexpr UINT SWP_NOSIZE = 0x0001;
constexpr UINT SWP_NOMOVE = 0x0002;
constexpr UINT SWP_NOZORDER = 0x0004;
constexpr UINT SWP_NOREDRAW = 0x0008;
constexpr UINT SWP_NOACTIVATE = 0x0010;
constexpr UINT SWP_FRAMECHANGED = 0x0020;
constexpr UINT SWP_SHOWWINDOW = 0x0040;
constexpr UINT SWP_HIDEWINDOW = 0x0080;
constexpr UINT SWP_NOCOPYBITS = 0x0100;
constexpr UINT SWP_NOOWNERZORDER = 0x0200;
constexpr UINT SWP_NOSENDCHANGING = 0x0400;
constexpr UINT SWP_DRAWFRAME = SWP_FRAMECHANGED;
constexpr UINT SWP_NOREPOSITION = SWP_NOOWNERZORDER;
constexpr UINT SWP_DEFERERASE = 0x2000;
constexpr UINT SWP_ASYNCWINDOWPOS = 0x4000;
// Set in WINDOWPOS.flags of WM_WINDOWPOSCHANGED when the window was minimised, maximised or
// restored (the flag Windows uses for it).
constexpr UINT SWP_STATECHANGED = 0x8000;

inline HWND const HWND_TOP = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0));
inline HWND const HWND_BOTTOM = reinterpret_cast<HWND>(static_cast<std::intptr_t>(1));
inline HWND const HWND_TOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-1));
inline HWND const HWND_NOTOPMOST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-2));
inline HWND const HWND_MESSAGE = reinterpret_cast<HWND>(static_cast<std::intptr_t>(-3));
inline HWND const HWND_BROADCAST = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0xFFFF));
inline HWND const HWND_DESKTOP = reinterpret_cast<HWND>(static_cast<std::intptr_t>(0));

// WINDOWPLACEMENT flags
constexpr UINT WPF_SETMINPOSITION = 0x0001;
constexpr UINT WPF_RESTORETOMAXIMIZED = 0x0002;
constexpr UINT WPF_ASYNCWINDOWPLACEMENT = 0x0004;

// ---------------------------------------------------------------------------------------------
// Hit-test codes, system commands, mouse activation

constexpr LRESULT HTERROR = -2;
constexpr LRESULT HTTRANSPARENT = -1;
constexpr LRESULT HTNOWHERE = 0;
constexpr LRESULT HTCLIENT = 1;
constexpr LRESULT HTCAPTION = 2;
constexpr LRESULT HTSYSMENU = 3;
constexpr LRESULT HTGROWBOX = 4;
constexpr LRESULT HTSIZE = 4;
constexpr LRESULT HTMENU = 5;
constexpr LRESULT HTHSCROLL = 6;
constexpr LRESULT HTVSCROLL = 7;
constexpr LRESULT HTMINBUTTON = 8;
constexpr LRESULT HTREDUCE = 8;
constexpr LRESULT HTMAXBUTTON = 9;
constexpr LRESULT HTZOOM = 9;
constexpr LRESULT HTLEFT = 10;
constexpr LRESULT HTRIGHT = 11;
constexpr LRESULT HTTOP = 12;
constexpr LRESULT HTTOPLEFT = 13;
constexpr LRESULT HTTOPRIGHT = 14;
constexpr LRESULT HTBOTTOM = 15;
constexpr LRESULT HTBOTTOMLEFT = 16;
constexpr LRESULT HTBOTTOMRIGHT = 17;
constexpr LRESULT HTBORDER = 18;
constexpr LRESULT HTOBJECT = 19;
constexpr LRESULT HTCLOSE = 20;
constexpr LRESULT HTHELP = 21;

constexpr WPARAM SC_SIZE = 0xF000;
constexpr WPARAM SC_MOVE = 0xF010;
constexpr WPARAM SC_MINIMIZE = 0xF020;
constexpr WPARAM SC_MAXIMIZE = 0xF030;
constexpr WPARAM SC_NEXTWINDOW = 0xF040;
constexpr WPARAM SC_PREVWINDOW = 0xF050;
constexpr WPARAM SC_CLOSE = 0xF060;
constexpr WPARAM SC_VSCROLL = 0xF070;
constexpr WPARAM SC_HSCROLL = 0xF080;
constexpr WPARAM SC_MOUSEMENU = 0xF090;
constexpr WPARAM SC_KEYMENU = 0xF100;
constexpr WPARAM SC_ARRANGE = 0xF110;
constexpr WPARAM SC_RESTORE = 0xF120;
constexpr WPARAM SC_TASKLIST = 0xF130;
constexpr WPARAM SC_SCREENSAVE = 0xF140;
constexpr WPARAM SC_HOTKEY = 0xF150;
constexpr WPARAM SC_DEFAULT = 0xF160;
constexpr WPARAM SC_MONITORPOWER = 0xF170;
constexpr WPARAM SC_CONTEXTHELP = 0xF180;
constexpr WPARAM SC_ICON = SC_MINIMIZE;
constexpr WPARAM SC_ZOOM = SC_MAXIMIZE;

constexpr LRESULT MA_ACTIVATE = 1;
constexpr LRESULT MA_ACTIVATEANDEAT = 2;
constexpr LRESULT MA_NOACTIVATE = 3;
constexpr LRESULT MA_NOACTIVATEANDEAT = 4;

// ---------------------------------------------------------------------------------------------
// Mouse and keyboard

constexpr WPARAM MK_LBUTTON = 0x0001;
constexpr WPARAM MK_RBUTTON = 0x0002;
constexpr WPARAM MK_SHIFT = 0x0004;
constexpr WPARAM MK_CONTROL = 0x0008;
constexpr WPARAM MK_MBUTTON = 0x0010;
constexpr WPARAM MK_XBUTTON1 = 0x0020;
constexpr WPARAM MK_XBUTTON2 = 0x0040;

constexpr int WHEEL_DELTA = 120;

constexpr int VK_LBUTTON = 0x01;
constexpr int VK_RBUTTON = 0x02;
constexpr int VK_CANCEL = 0x03;
constexpr int VK_MBUTTON = 0x04;
constexpr int VK_BACK = 0x08;
constexpr int VK_TAB = 0x09;
constexpr int VK_CLEAR = 0x0C;
constexpr int VK_RETURN = 0x0D;
constexpr int VK_SHIFT = 0x10;
constexpr int VK_CONTROL = 0x11;
constexpr int VK_MENU = 0x12;
constexpr int VK_PAUSE = 0x13;
constexpr int VK_CAPITAL = 0x14;
constexpr int VK_ESCAPE = 0x1B;
constexpr int VK_SPACE = 0x20;
constexpr int VK_PRIOR = 0x21;
constexpr int VK_NEXT = 0x22;
constexpr int VK_END = 0x23;
constexpr int VK_HOME = 0x24;
constexpr int VK_LEFT = 0x25;
constexpr int VK_UP = 0x26;
constexpr int VK_RIGHT = 0x27;
constexpr int VK_DOWN = 0x28;
constexpr int VK_SELECT = 0x29;
constexpr int VK_PRINT = 0x2A;
constexpr int VK_EXECUTE = 0x2B;
constexpr int VK_SNAPSHOT = 0x2C;
constexpr int VK_INSERT = 0x2D;
constexpr int VK_DELETE = 0x2E;
constexpr int VK_HELP = 0x2F;
constexpr int VK_LWIN = 0x5B;
constexpr int VK_RWIN = 0x5C;
constexpr int VK_APPS = 0x5D;
constexpr int VK_SLEEP = 0x5F;
constexpr int VK_NUMPAD0 = 0x60;
constexpr int VK_NUMPAD1 = 0x61;
constexpr int VK_NUMPAD2 = 0x62;
constexpr int VK_NUMPAD3 = 0x63;
constexpr int VK_NUMPAD4 = 0x64;
constexpr int VK_NUMPAD5 = 0x65;
constexpr int VK_NUMPAD6 = 0x66;
constexpr int VK_NUMPAD7 = 0x67;
constexpr int VK_NUMPAD8 = 0x68;
constexpr int VK_NUMPAD9 = 0x69;
constexpr int VK_MULTIPLY = 0x6A;
constexpr int VK_ADD = 0x6B;
constexpr int VK_SEPARATOR = 0x6C;
constexpr int VK_SUBTRACT = 0x6D;
constexpr int VK_DECIMAL = 0x6E;
constexpr int VK_DIVIDE = 0x6F;
constexpr int VK_F1 = 0x70;
constexpr int VK_F2 = 0x71;
constexpr int VK_F3 = 0x72;
constexpr int VK_F4 = 0x73;
constexpr int VK_F5 = 0x74;
constexpr int VK_F6 = 0x75;
constexpr int VK_F7 = 0x76;
constexpr int VK_F8 = 0x77;
constexpr int VK_F9 = 0x78;
constexpr int VK_F10 = 0x79;
constexpr int VK_F11 = 0x7A;
constexpr int VK_F12 = 0x7B;
constexpr int VK_F13 = 0x7C;
constexpr int VK_F14 = 0x7D;
constexpr int VK_F15 = 0x7E;
constexpr int VK_F16 = 0x7F;
constexpr int VK_F17 = 0x80;
constexpr int VK_F18 = 0x81;
constexpr int VK_F19 = 0x82;
constexpr int VK_F20 = 0x83;
constexpr int VK_F21 = 0x84;
constexpr int VK_F22 = 0x85;
constexpr int VK_F23 = 0x86;
constexpr int VK_F24 = 0x87;
constexpr int VK_NUMLOCK = 0x90;
constexpr int VK_SCROLL = 0x91;
constexpr int VK_LSHIFT = 0xA0;
constexpr int VK_RSHIFT = 0xA1;
constexpr int VK_LCONTROL = 0xA2;
constexpr int VK_RCONTROL = 0xA3;
constexpr int VK_LMENU = 0xA4;
constexpr int VK_RMENU = 0xA5;
constexpr int VK_OEM_1 = 0xBA;
constexpr int VK_OEM_PLUS = 0xBB;
constexpr int VK_OEM_COMMA = 0xBC;
constexpr int VK_OEM_MINUS = 0xBD;
constexpr int VK_OEM_PERIOD = 0xBE;
constexpr int VK_OEM_2 = 0xBF;
constexpr int VK_OEM_3 = 0xC0;
constexpr int VK_OEM_4 = 0xDB;
constexpr int VK_OEM_5 = 0xDC;
constexpr int VK_OEM_6 = 0xDD;
constexpr int VK_OEM_7 = 0xDE;

// Bits of a key message's lParam.
constexpr LPARAM KF_EXTENDED_BIT = 1 << 24;  // lParam bit 24: extended key
constexpr LPARAM KF_ALTDOWN_BIT = 1 << 29;   // lParam bit 29: Alt held (context code)
constexpr LPARAM KF_REPEAT_BIT = 1 << 30;    // lParam bit 30: key was down before
constexpr LPARAM KF_UP_BIT = static_cast<LPARAM>(1u << 31);  // lParam bit 31: key released

// TrackMouseEvent
constexpr DWORD TME_HOVER = 0x00000001;
constexpr DWORD TME_LEAVE = 0x00000002;
constexpr DWORD TME_NONCLIENT = 0x00000010;
constexpr DWORD TME_QUERY = 0x40000000;
constexpr DWORD TME_CANCEL = 0x80000000;
constexpr DWORD HOVER_DEFAULT = 0xFFFFFFFF;

// ---------------------------------------------------------------------------------------------
// Window relations and long values

constexpr UINT GW_HWNDFIRST = 0;
constexpr UINT GW_HWNDLAST = 1;
constexpr UINT GW_HWNDNEXT = 2;
constexpr UINT GW_HWNDPREV = 3;
constexpr UINT GW_OWNER = 4;
constexpr UINT GW_CHILD = 5;
constexpr UINT GW_ENABLEDPOPUP = 6;

constexpr UINT GA_PARENT = 1;
constexpr UINT GA_ROOT = 2;
constexpr UINT GA_ROOTOWNER = 3;

constexpr int GWL_WNDPROC = -4;
constexpr int GWL_HINSTANCE = -6;
constexpr int GWL_HWNDPARENT = -8;
constexpr int GWL_STYLE = -16;
constexpr int GWL_EXSTYLE = -20;
constexpr int GWL_USERDATA = -21;
constexpr int GWL_ID = -12;
constexpr int GWLP_WNDPROC = -4;
constexpr int GWLP_HINSTANCE = -6;
constexpr int GWLP_HWNDPARENT = -8;
constexpr int GWLP_USERDATA = -21;
constexpr int GWLP_ID = -12;

constexpr int GCL_MENUNAME = -8;
constexpr int GCL_HBRBACKGROUND = -10;
constexpr int GCL_HCURSOR = -12;
constexpr int GCL_HICON = -14;
constexpr int GCL_HMODULE = -16;
constexpr int GCL_CBWNDEXTRA = -18;
constexpr int GCL_CBCLSEXTRA = -20;
constexpr int GCL_WNDPROC = -24;
constexpr int GCL_STYLE = -26;
constexpr int GCW_ATOM = -32;
constexpr int GCL_HICONSM = -34;
constexpr int GCLP_MENUNAME = -8;
constexpr int GCLP_HBRBACKGROUND = -10;
constexpr int GCLP_HCURSOR = -12;
constexpr int GCLP_HICON = -14;
constexpr int GCLP_HMODULE = -16;
constexpr int GCLP_WNDPROC = -24;
constexpr int GCLP_HICONSM = -34;

// ChildWindowFromPointEx
constexpr UINT CWP_ALL = 0x0000;
constexpr UINT CWP_SKIPINVISIBLE = 0x0001;
constexpr UINT CWP_SKIPDISABLED = 0x0002;
constexpr UINT CWP_SKIPTRANSPARENT = 0x0004;

// ---------------------------------------------------------------------------------------------
// Message retrieval and sending

constexpr UINT PM_NOREMOVE = 0x0000;
constexpr UINT PM_REMOVE = 0x0001;
constexpr UINT PM_NOYIELD = 0x0002;

constexpr UINT SMTO_NORMAL = 0x0000;
constexpr UINT SMTO_BLOCK = 0x0001;
constexpr UINT SMTO_ABORTIFHUNG = 0x0002;
constexpr UINT SMTO_NOTIMEOUTIFNOTHUNG = 0x0008;

constexpr UINT QS_KEY = 0x0001;
constexpr UINT QS_MOUSEMOVE = 0x0002;
constexpr UINT QS_MOUSEBUTTON = 0x0004;
constexpr UINT QS_POSTMESSAGE = 0x0008;
constexpr UINT QS_TIMER = 0x0010;
constexpr UINT QS_PAINT = 0x0020;
constexpr UINT QS_SENDMESSAGE = 0x0040;
constexpr UINT QS_HOTKEY = 0x0080;
constexpr UINT QS_ALLPOSTMESSAGE = 0x0100;
constexpr UINT QS_MOUSE = QS_MOUSEMOVE | QS_MOUSEBUTTON;
constexpr UINT QS_INPUT = QS_MOUSE | QS_KEY;
constexpr UINT QS_ALLEVENTS = QS_INPUT | QS_POSTMESSAGE | QS_TIMER | QS_PAINT | QS_HOTKEY;
constexpr UINT QS_ALLINPUT = QS_ALLEVENTS | QS_SENDMESSAGE;

constexpr DWORD MWMO_WAITALL = 0x0001;
constexpr DWORD MWMO_ALERTABLE = 0x0002;
constexpr DWORD MWMO_INPUTAVAILABLE = 0x0004;

// ---------------------------------------------------------------------------------------------
// Painting

constexpr UINT RDW_INVALIDATE = 0x0001;
constexpr UINT RDW_INTERNALPAINT = 0x0002;
constexpr UINT RDW_ERASE = 0x0004;
constexpr UINT RDW_VALIDATE = 0x0008;
constexpr UINT RDW_NOINTERNALPAINT = 0x0010;
constexpr UINT RDW_NOERASE = 0x0020;
constexpr UINT RDW_NOCHILDREN = 0x0040;
constexpr UINT RDW_ALLCHILDREN = 0x0080;
constexpr UINT RDW_UPDATENOW = 0x0100;
constexpr UINT RDW_ERASENOW = 0x0200;
constexpr UINT RDW_FRAME = 0x0400;
constexpr UINT RDW_NOFRAME = 0x0800;

constexpr DWORD DCX_WINDOW = 0x00000001;
constexpr DWORD DCX_CACHE = 0x00000002;
constexpr DWORD DCX_NORESETATTRS = 0x00000004;
constexpr DWORD DCX_CLIPCHILDREN = 0x00000008;
constexpr DWORD DCX_CLIPSIBLINGS = 0x00000010;
constexpr DWORD DCX_PARENTCLIP = 0x00000020;
constexpr DWORD DCX_EXCLUDERGN = 0x00000040;
constexpr DWORD DCX_INTERSECTRGN = 0x00000080;
constexpr DWORD DCX_EXCLUDEUPDATE = 0x00000100;
constexpr DWORD DCX_INTERSECTUPDATE = 0x00000200;
constexpr DWORD DCX_LOCKWINDOWUPDATE = 0x00000400;
constexpr DWORD DCX_VALIDATE = 0x00200000;

// ScrollWindowEx
constexpr UINT SW_SCROLLCHILDREN = 0x0001;
constexpr UINT SW_INVALIDATE = 0x0002;
constexpr UINT SW_ERASE = 0x0004;
constexpr UINT SW_SMOOTHSCROLL = 0x0010;

// Layered windows
constexpr DWORD LWA_COLORKEY = 0x00000001;
constexpr DWORD LWA_ALPHA = 0x00000002;
constexpr DWORD ULW_COLORKEY = 0x00000001;
constexpr DWORD ULW_ALPHA = 0x00000002;
constexpr DWORD ULW_OPAQUE = 0x00000004;

// ---------------------------------------------------------------------------------------------
// Scroll bars

constexpr int SB_HORZ = 0;
constexpr int SB_VERT = 1;
constexpr int SB_CTL = 2;
constexpr int SB_BOTH = 3;

constexpr WORD SB_LINEUP = 0;
constexpr WORD SB_LINELEFT = 0;
constexpr WORD SB_LINEDOWN = 1;
constexpr WORD SB_LINERIGHT = 1;
constexpr WORD SB_PAGEUP = 2;
constexpr WORD SB_PAGELEFT = 2;
constexpr WORD SB_PAGEDOWN = 3;
constexpr WORD SB_PAGERIGHT = 3;
constexpr WORD SB_THUMBPOSITION = 4;
constexpr WORD SB_THUMBTRACK = 5;
constexpr WORD SB_TOP = 6;
constexpr WORD SB_LEFT = 6;
constexpr WORD SB_BOTTOM = 7;
constexpr WORD SB_RIGHT = 7;
constexpr WORD SB_ENDSCROLL = 8;

constexpr UINT SIF_RANGE = 0x0001;
constexpr UINT SIF_PAGE = 0x0002;
constexpr UINT SIF_POS = 0x0004;
constexpr UINT SIF_DISABLENOSCROLL = 0x0008;
constexpr UINT SIF_TRACKPOS = 0x0010;
constexpr UINT SIF_ALL = SIF_RANGE | SIF_PAGE | SIF_POS | SIF_TRACKPOS;

constexpr UINT ESB_ENABLE_BOTH = 0x0000;
constexpr UINT ESB_DISABLE_BOTH = 0x0003;
constexpr UINT ESB_DISABLE_LEFT = 0x0001;
constexpr UINT ESB_DISABLE_RIGHT = 0x0002;
constexpr UINT ESB_DISABLE_UP = 0x0001;
constexpr UINT ESB_DISABLE_DOWN = 0x0002;
constexpr UINT ESB_DISABLE_LTUP = ESB_DISABLE_LEFT;
constexpr UINT ESB_DISABLE_RTDN = ESB_DISABLE_RIGHT;

constexpr LONG OBJID_WINDOW = 0;
constexpr LONG OBJID_SYSMENU = -1;
constexpr LONG OBJID_TITLEBAR = -2;
constexpr LONG OBJID_MENU = -3;
constexpr LONG OBJID_CLIENT = -4;
constexpr LONG OBJID_VSCROLL = -5;
constexpr LONG OBJID_HSCROLL = -6;
constexpr LONG OBJID_SIZEGRIP = -7;

constexpr DWORD STATE_SYSTEM_UNAVAILABLE = 0x00000001;
constexpr DWORD STATE_SYSTEM_PRESSED = 0x00000008;
constexpr DWORD STATE_SYSTEM_INVISIBLE = 0x00008000;
constexpr DWORD STATE_SYSTEM_OFFSCREEN = 0x00010000;
constexpr int CCHILDREN_SCROLLBAR = 5;

// ---------------------------------------------------------------------------------------------
// System metrics and parameters

constexpr int SM_CXSCREEN = 0;
constexpr int SM_CYSCREEN = 1;
constexpr int SM_CXVSCROLL = 2;
constexpr int SM_CYHSCROLL = 3;
constexpr int SM_CYCAPTION = 4;
constexpr int SM_CXBORDER = 5;
constexpr int SM_CYBORDER = 6;
constexpr int SM_CXDLGFRAME = 7;
constexpr int SM_CYDLGFRAME = 8;
constexpr int SM_CYVTHUMB = 9;
constexpr int SM_CXHTHUMB = 10;
constexpr int SM_CXICON = 11;
constexpr int SM_CYICON = 12;
constexpr int SM_CXCURSOR = 13;
constexpr int SM_CYCURSOR = 14;
constexpr int SM_CYMENU = 15;
constexpr int SM_CXFULLSCREEN = 16;
constexpr int SM_CYFULLSCREEN = 17;
constexpr int SM_CYKANJIWINDOW = 18;
constexpr int SM_MOUSEPRESENT = 19;
constexpr int SM_CYVSCROLL = 20;
constexpr int SM_CXHSCROLL = 21;
constexpr int SM_DEBUG = 22;
constexpr int SM_SWAPBUTTON = 23;
constexpr int SM_CXMIN = 28;
constexpr int SM_CYMIN = 29;
constexpr int SM_CXSIZE = 30;
constexpr int SM_CYSIZE = 31;
constexpr int SM_CXFRAME = 32;
constexpr int SM_CYFRAME = 33;
constexpr int SM_CXMINTRACK = 34;
constexpr int SM_CYMINTRACK = 35;
constexpr int SM_CXDOUBLECLK = 36;
constexpr int SM_CYDOUBLECLK = 37;
constexpr int SM_CXICONSPACING = 38;
constexpr int SM_CYICONSPACING = 39;
constexpr int SM_MENUDROPALIGNMENT = 40;
constexpr int SM_CMOUSEBUTTONS = 43;
constexpr int SM_CXFIXEDFRAME = SM_CXDLGFRAME;
constexpr int SM_CYFIXEDFRAME = SM_CYDLGFRAME;
constexpr int SM_CXSIZEFRAME = SM_CXFRAME;
constexpr int SM_CYSIZEFRAME = SM_CYFRAME;
constexpr int SM_SECURE = 44;
constexpr int SM_CXEDGE = 45;
constexpr int SM_CYEDGE = 46;
constexpr int SM_CXMINSPACING = 47;
constexpr int SM_CYMINSPACING = 48;
constexpr int SM_CXSMICON = 49;
constexpr int SM_CYSMICON = 50;
constexpr int SM_CYSMCAPTION = 51;
constexpr int SM_CXSMSIZE = 52;
constexpr int SM_CYSMSIZE = 53;
constexpr int SM_CXMENUSIZE = 54;
constexpr int SM_CYMENUSIZE = 55;
constexpr int SM_ARRANGE = 56;
constexpr int SM_CXMINIMIZED = 57;
constexpr int SM_CYMINIMIZED = 58;
constexpr int SM_CXMAXTRACK = 59;
constexpr int SM_CYMAXTRACK = 60;
constexpr int SM_CXMAXIMIZED = 61;
constexpr int SM_CYMAXIMIZED = 62;
constexpr int SM_NETWORK = 63;
constexpr int SM_CLEANBOOT = 67;
constexpr int SM_CXDRAG = 68;
constexpr int SM_CYDRAG = 69;
constexpr int SM_SHOWSOUNDS = 70;
constexpr int SM_CXMENUCHECK = 71;
constexpr int SM_CYMENUCHECK = 72;
constexpr int SM_SLOWMACHINE = 73;
constexpr int SM_MIDEASTENABLED = 74;
constexpr int SM_MOUSEWHEELPRESENT = 75;
constexpr int SM_XVIRTUALSCREEN = 76;
constexpr int SM_YVIRTUALSCREEN = 77;
constexpr int SM_CXVIRTUALSCREEN = 78;
constexpr int SM_CYVIRTUALSCREEN = 79;
constexpr int SM_CMONITORS = 80;
constexpr int SM_SAMEDISPLAYFORMAT = 81;
constexpr int SM_CXFOCUSBORDER = 83;
constexpr int SM_CYFOCUSBORDER = 84;
constexpr int SM_REMOTESESSION = 0x1000;

constexpr UINT SPI_GETBEEP = 0x0001;
constexpr UINT SPI_GETMOUSE = 0x0003;
constexpr UINT SPI_GETBORDER = 0x0005;
constexpr UINT SPI_GETKEYBOARDSPEED = 0x000A;
constexpr UINT SPI_ICONHORIZONTALSPACING = 0x000D;
constexpr UINT SPI_GETSCREENSAVETIMEOUT = 0x000E;
constexpr UINT SPI_GETKEYBOARDDELAY = 0x0016;
constexpr UINT SPI_ICONVERTICALSPACING = 0x0018;
constexpr UINT SPI_GETICONTITLEWRAP = 0x0019;
constexpr UINT SPI_GETMENUDROPALIGNMENT = 0x001B;
constexpr UINT SPI_SETDOUBLECLKWIDTH = 0x001D;
constexpr UINT SPI_SETDOUBLECLKHEIGHT = 0x001E;
constexpr UINT SPI_GETICONTITLELOGFONT = 0x001F;
constexpr UINT SPI_SETDOUBLECLICKTIME = 0x0020;
constexpr UINT SPI_GETDRAGFULLWINDOWS = 0x0026;
constexpr UINT SPI_SETDRAGFULLWINDOWS = 0x0025;
constexpr UINT SPI_GETNONCLIENTMETRICS = 0x0029;
constexpr UINT SPI_SETWORKAREA = 0x002F;
constexpr UINT SPI_GETWORKAREA = 0x0030;
constexpr UINT SPI_GETHIGHCONTRAST = 0x0042;
constexpr UINT SPI_GETANIMATION = 0x0048;
constexpr UINT SPI_GETFONTSMOOTHING = 0x004A;
constexpr UINT SPI_GETSCREENREADER = 0x0046;
constexpr UINT SPI_GETMOUSEHOVERWIDTH = 0x0062;
constexpr UINT SPI_GETMOUSEHOVERHEIGHT = 0x0064;
constexpr UINT SPI_GETMOUSEHOVERTIME = 0x0066;
constexpr UINT SPI_GETWHEELSCROLLLINES = 0x0068;
constexpr UINT SPI_GETMENUSHOWDELAY = 0x006A;
constexpr UINT SPI_GETMENUANIMATION = 0x1002;
constexpr UINT SPI_GETCOMBOBOXANIMATION = 0x1004;
constexpr UINT SPI_GETLISTBOXSMOOTHSCROLLING = 0x1006;
constexpr UINT SPI_GETGRADIENTCAPTIONS = 0x1008;
constexpr UINT SPI_GETKEYBOARDCUES = 0x100A;
constexpr UINT SPI_GETMENUUNDERLINES = SPI_GETKEYBOARDCUES;
constexpr UINT SPI_GETHOTTRACKING = 0x100E;
constexpr UINT SPI_GETMENUFADE = 0x1012;
constexpr UINT SPI_GETSELECTIONFADE = 0x1014;
constexpr UINT SPI_GETTOOLTIPANIMATION = 0x1016;
constexpr UINT SPI_GETTOOLTIPFADE = 0x1018;
constexpr UINT SPI_GETCURSORSHADOW = 0x101A;
constexpr UINT SPI_GETFLATMENU = 0x1022;
constexpr UINT SPI_GETDROPSHADOW = 0x1024;
constexpr UINT SPI_GETFOREGROUNDLOCKTIMEOUT = 0x2000;
constexpr UINT SPI_SETFOREGROUNDLOCKTIMEOUT = 0x2001;
constexpr UINT SPIF_UPDATEINIFILE = 0x0001;
constexpr UINT SPIF_SENDCHANGE = 0x0002;
constexpr UINT SPIF_SENDWININICHANGE = SPIF_SENDCHANGE;

// ---------------------------------------------------------------------------------------------
// Monitors

constexpr DWORD MONITOR_DEFAULTTONULL = 0x00000000;
constexpr DWORD MONITOR_DEFAULTTOPRIMARY = 0x00000001;
constexpr DWORD MONITOR_DEFAULTTONEAREST = 0x00000002;
constexpr DWORD MONITORINFOF_PRIMARY = 0x00000001;
constexpr int CCHDEVICENAME = 32;

// ---------------------------------------------------------------------------------------------
// Resources: cursors and icons are identified by number.

inline LPCSTR MAKEINTRESOURCEA(WORD Id) { return reinterpret_cast<LPCSTR>(static_cast<std::uintptr_t>(Id)); }
inline LPCSTR MAKEINTRESOURCE(WORD Id) { return MAKEINTRESOURCEA(Id); }
inline bool IS_INTRESOURCE(LPCSTR Name) { return (reinterpret_cast<std::uintptr_t>(Name) >> 16) == 0; }

inline LPCSTR const IDC_ARROW = MAKEINTRESOURCEA(32512);
inline LPCSTR const IDC_IBEAM = MAKEINTRESOURCEA(32513);
inline LPCSTR const IDC_WAIT = MAKEINTRESOURCEA(32514);
inline LPCSTR const IDC_CROSS = MAKEINTRESOURCEA(32515);
inline LPCSTR const IDC_UPARROW = MAKEINTRESOURCEA(32516);
inline LPCSTR const IDC_SIZE = MAKEINTRESOURCEA(32640);
inline LPCSTR const IDC_ICON = MAKEINTRESOURCEA(32641);
inline LPCSTR const IDC_SIZENWSE = MAKEINTRESOURCEA(32642);
inline LPCSTR const IDC_SIZENESW = MAKEINTRESOURCEA(32643);
inline LPCSTR const IDC_SIZEWE = MAKEINTRESOURCEA(32644);
inline LPCSTR const IDC_SIZENS = MAKEINTRESOURCEA(32645);
inline LPCSTR const IDC_SIZEALL = MAKEINTRESOURCEA(32646);
inline LPCSTR const IDC_NO = MAKEINTRESOURCEA(32648);
inline LPCSTR const IDC_HAND = MAKEINTRESOURCEA(32649);
inline LPCSTR const IDC_APPSTARTING = MAKEINTRESOURCEA(32650);
inline LPCSTR const IDC_HELP = MAKEINTRESOURCEA(32651);

inline LPCSTR const IDI_APPLICATION = MAKEINTRESOURCEA(32512);
inline LPCSTR const IDI_HAND = MAKEINTRESOURCEA(32513);
inline LPCSTR const IDI_QUESTION = MAKEINTRESOURCEA(32514);
inline LPCSTR const IDI_EXCLAMATION = MAKEINTRESOURCEA(32515);
inline LPCSTR const IDI_ASTERISK = MAKEINTRESOURCEA(32516);
inline LPCSTR const IDI_WINLOGO = MAKEINTRESOURCEA(32517);
inline LPCSTR const IDI_WARNING = IDI_EXCLAMATION;
inline LPCSTR const IDI_ERROR = IDI_HAND;
inline LPCSTR const IDI_INFORMATION = IDI_ASTERISK;

// ---------------------------------------------------------------------------------------------
// Message boxes and dialog results

constexpr UINT MB_OK = 0x00000000;
constexpr UINT MB_OKCANCEL = 0x00000001;
constexpr UINT MB_ABORTRETRYIGNORE = 0x00000002;
constexpr UINT MB_YESNOCANCEL = 0x00000003;
constexpr UINT MB_YESNO = 0x00000004;
constexpr UINT MB_RETRYCANCEL = 0x00000005;
constexpr UINT MB_ICONHAND = 0x00000010;
constexpr UINT MB_ICONQUESTION = 0x00000020;
constexpr UINT MB_ICONEXCLAMATION = 0x00000030;
constexpr UINT MB_ICONASTERISK = 0x00000040;
constexpr UINT MB_ICONWARNING = MB_ICONEXCLAMATION;
constexpr UINT MB_ICONERROR = MB_ICONHAND;
constexpr UINT MB_ICONSTOP = MB_ICONHAND;
constexpr UINT MB_ICONINFORMATION = MB_ICONASTERISK;
constexpr UINT MB_DEFBUTTON1 = 0x00000000;
constexpr UINT MB_DEFBUTTON2 = 0x00000100;
constexpr UINT MB_DEFBUTTON3 = 0x00000200;
constexpr UINT MB_DEFBUTTON4 = 0x00000300;
constexpr UINT MB_APPLMODAL = 0x00000000;
constexpr UINT MB_SYSTEMMODAL = 0x00001000;
constexpr UINT MB_TASKMODAL = 0x00002000;
constexpr UINT MB_SETFOREGROUND = 0x00010000;
constexpr UINT MB_TOPMOST = 0x00040000;
constexpr UINT MB_TYPEMASK = 0x0000000F;
constexpr UINT MB_ICONMASK = 0x000000F0;
constexpr UINT MB_DEFMASK = 0x00000F00;

constexpr int IDOK = 1;
constexpr int IDCANCEL = 2;
constexpr int IDABORT = 3;
constexpr int IDRETRY = 4;
constexpr int IDIGNORE = 5;
constexpr int IDYES = 6;
constexpr int IDNO = 7;
constexpr int IDCLOSE = 8;
constexpr int IDHELP = 9;

// ---------------------------------------------------------------------------------------------
// Clipboard and global memory

constexpr UINT CF_TEXT = 1;
constexpr UINT CF_BITMAP = 2;
constexpr UINT CF_OEMTEXT = 7;
constexpr UINT CF_DIB = 8;
constexpr UINT CF_UNICODETEXT = 13;
constexpr UINT CF_HDROP = 15;

constexpr UINT GMEM_FIXED = 0x0000;
constexpr UINT GMEM_MOVEABLE = 0x0002;
constexpr UINT GMEM_ZEROINIT = 0x0040;
constexpr UINT GMEM_DDESHARE = 0x2000;
constexpr UINT GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;
constexpr UINT GPTR = GMEM_FIXED | GMEM_ZEROINIT;

// ---------------------------------------------------------------------------------------------
// Tray icons

constexpr DWORD NIM_ADD = 0x00000000;
constexpr DWORD NIM_MODIFY = 0x00000001;
constexpr DWORD NIM_DELETE = 0x00000002;
constexpr DWORD NIM_SETFOCUS = 0x00000003;
constexpr DWORD NIM_SETVERSION = 0x00000004;
constexpr UINT NIF_MESSAGE = 0x00000001;
constexpr UINT NIF_ICON = 0x00000002;
constexpr UINT NIF_TIP = 0x00000004;
constexpr UINT NIF_STATE = 0x00000008;
constexpr UINT NIF_INFO = 0x00000010;

// ---------------------------------------------------------------------------------------------
// Structures

struct MSG {
  HWND hwnd = nullptr;
  UINT message = 0;
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  DWORD time = 0;
  POINT pt{};
};
using LPMSG = MSG*;
using TMsg = MSG;

struct WNDCLASSA {
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
};
using WNDCLASS = WNDCLASSA;

struct WNDCLASSEXA {
  UINT cbSize = sizeof(WNDCLASSEXA);
  UINT style = 0;
  WNDPROC lpfnWndProc = nullptr;
  int cbClsExtra = 0;
  int cbWndExtra = 0;
  HINSTANCE hInstance = nullptr;
  HICON hIcon = nullptr;
  HCURSOR hCursor = nullptr;
  HBRUSH hbrBackground = nullptr;
  LPCSTR lpszMenuName = nullptr;
  LPCSTR lpszClassName = nullptr;
  HICON hIconSm = nullptr;
};
using WNDCLASSEX = WNDCLASSEXA;

struct CREATESTRUCTA {
  LPVOID lpCreateParams = nullptr;
  HINSTANCE hInstance = nullptr;
  HMENU hMenu = nullptr;
  HWND hwndParent = nullptr;
  int cy = 0;
  int cx = 0;
  int y = 0;
  int x = 0;
  LONG style = 0;
  LPCSTR lpszName = nullptr;
  LPCSTR lpszClass = nullptr;
  DWORD dwExStyle = 0;
};
using CREATESTRUCT = CREATESTRUCTA;
using LPCREATESTRUCTA = CREATESTRUCTA*;

struct WINDOWPOS {
  HWND hwnd = nullptr;
  HWND hwndInsertAfter = nullptr;
  int x = 0;
  int y = 0;
  int cx = 0;
  int cy = 0;
  UINT flags = 0;
};
using PWINDOWPOS = WINDOWPOS*;
using LPWINDOWPOS = WINDOWPOS*;

struct NCCALCSIZE_PARAMS {
  RECT rgrc[3]{};
  WINDOWPOS* lppos = nullptr;
};

struct MINMAXINFO {
  POINT ptReserved{};
  POINT ptMaxSize{};
  POINT ptMaxPosition{};
  POINT ptMinTrackSize{};
  POINT ptMaxTrackSize{};
};

struct STYLESTRUCT {
  DWORD styleOld = 0;
  DWORD styleNew = 0;
};

struct PAINTSTRUCT {
  HDC hdc = nullptr;
  BOOL fErase = FALSE;
  RECT rcPaint{};
  BOOL fRestore = FALSE;
  BOOL fIncUpdate = FALSE;
  BYTE rgbReserved[32]{};
};
using LPPAINTSTRUCT = PAINTSTRUCT*;

struct TRACKMOUSEEVENT {
  DWORD cbSize = sizeof(TRACKMOUSEEVENT);
  DWORD dwFlags = 0;
  HWND hwndTrack = nullptr;
  DWORD dwHoverTime = HOVER_DEFAULT;
};
using LPTRACKMOUSEEVENT = TRACKMOUSEEVENT*;

struct MONITORINFO {
  DWORD cbSize = sizeof(MONITORINFO);
  RECT rcMonitor{};
  RECT rcWork{};
  DWORD dwFlags = 0;
};
using LPMONITORINFO = MONITORINFO*;

struct MONITORINFOEXA : MONITORINFO {
  MONITORINFOEXA() { cbSize = sizeof(MONITORINFOEXA); }
  CHAR szDevice[CCHDEVICENAME]{};
};
using MONITORINFOEX = MONITORINFOEXA;

struct WINDOWPLACEMENT {
  UINT length = sizeof(WINDOWPLACEMENT);
  UINT flags = 0;
  UINT showCmd = 0;
  POINT ptMinPosition{};
  POINT ptMaxPosition{};
  RECT rcNormalPosition{};
};

struct COPYDATASTRUCT {
  ULONG_PTR dwData = 0;
  DWORD cbData = 0;
  PVOID lpData = nullptr;
};
using PCOPYDATASTRUCT = COPYDATASTRUCT*;

struct NOTIFYICONDATAA {
  DWORD cbSize = sizeof(NOTIFYICONDATAA);
  HWND hWnd = nullptr;
  UINT uID = 0;
  UINT uFlags = 0;
  UINT uCallbackMessage = 0;
  HICON hIcon = nullptr;
  CHAR szTip[128]{};
  DWORD dwState = 0;
  DWORD dwStateMask = 0;
  CHAR szInfo[256]{};
  UINT uTimeout = 0;  // also uVersion
  CHAR szInfoTitle[64]{};
  DWORD dwInfoFlags = 0;
};
using NOTIFYICONDATA = NOTIFYICONDATAA;
using PNOTIFYICONDATAA = NOTIFYICONDATAA*;

struct SCROLLINFO {
  UINT cbSize = sizeof(SCROLLINFO);
  UINT fMask = 0;
  int nMin = 0;
  int nMax = 0;
  UINT nPage = 0;
  int nPos = 0;
  int nTrackPos = 0;
};
using LPSCROLLINFO = SCROLLINFO*;
using LPCSCROLLINFO = const SCROLLINFO*;

struct NONCLIENTMETRICSA {
  UINT cbSize = sizeof(NONCLIENTMETRICSA);
  int iBorderWidth = 0;
  int iScrollWidth = 0;
  int iScrollHeight = 0;
  int iCaptionWidth = 0;
  int iCaptionHeight = 0;
  LOGFONTA lfCaptionFont{};
  int iSmCaptionWidth = 0;
  int iSmCaptionHeight = 0;
  LOGFONTA lfSmCaptionFont{};
  int iMenuWidth = 0;
  int iMenuHeight = 0;
  LOGFONTA lfMenuFont{};
  LOGFONTA lfStatusFont{};
  LOGFONTA lfMessageFont{};
};
using NONCLIENTMETRICS = NONCLIENTMETRICSA;

struct SCROLLBARINFO {
  DWORD cbSize = sizeof(SCROLLBARINFO);
  RECT rcScrollBar{};
  int dxyLineButton = 0;
  int xyThumbTop = 0;
  int xyThumbBottom = 0;
  int reserved = 0;
  DWORD rgstate[CCHILDREN_SCROLLBAR + 1]{};
};
using PSCROLLBARINFO = SCROLLBARINFO*;

// ---------------------------------------------------------------------------------------------
// Window classes

ATOM RegisterClassA(const WNDCLASSA* WndClass);
ATOM RegisterClassExA(const WNDCLASSEXA* WndClass);
// Name is a class name or an atom made with MAKEINTRESOURCE-style casting (MAKEINTATOM).
BOOL UnregisterClassA(LPCSTR ClassName, HINSTANCE Instance);
BOOL GetClassInfoA(HINSTANCE Instance, LPCSTR ClassName, WNDCLASSA* WndClass);
BOOL GetClassInfoExA(HINSTANCE Instance, LPCSTR ClassName, WNDCLASSEXA* WndClass);
int GetClassNameA(HWND Wnd, LPSTR ClassName, int MaxCount);
ULONG_PTR GetClassLongPtrA(HWND Wnd, int Index);
ULONG_PTR SetClassLongPtrA(HWND Wnd, int Index, LONG_PTR NewLong);
DWORD GetClassLongA(HWND Wnd, int Index);
DWORD SetClassLongA(HWND Wnd, int Index, LONG NewLong);
inline LPCSTR MAKEINTATOM(ATOM Atom) { return MAKEINTRESOURCEA(Atom); }

// ---------------------------------------------------------------------------------------------
// Windows

HWND CreateWindowExA(DWORD ExStyle, LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y, int Width,
                     int Height, HWND Parent, HMENU Menu, HINSTANCE Instance, LPVOID Param);
inline HWND CreateWindowA(LPCSTR ClassName, LPCSTR WindowName, DWORD Style, int X, int Y, int Width, int Height,
                          HWND Parent, HMENU Menu, HINSTANCE Instance, LPVOID Param)
{
  return CreateWindowExA(0, ClassName, WindowName, Style, X, Y, Width, Height, Parent, Menu, Instance, Param);
}
BOOL DestroyWindow(HWND Wnd);
BOOL IsWindow(HWND Wnd);
BOOL IsChild(HWND Parent, HWND Wnd);
HWND GetParent(HWND Wnd);
HWND SetParent(HWND Child, HWND NewParent);
HWND GetWindow(HWND Wnd, UINT Cmd);
HWND GetAncestor(HWND Wnd, UINT Flags);
HWND GetTopWindow(HWND Wnd);
inline HWND GetNextWindow(HWND Wnd, UINT Cmd) { return GetWindow(Wnd, Cmd); }
HWND GetDesktopWindow();
HWND GetLastActivePopup(HWND Wnd);
int GetDlgCtrlID(HWND Wnd);
HWND GetDlgItem(HWND Dlg, int Id);
BOOL IsWindowUnicode(HWND Wnd);

LONG_PTR GetWindowLongPtrA(HWND Wnd, int Index);
LONG_PTR SetWindowLongPtrA(HWND Wnd, int Index, LONG_PTR NewLong);
LONG GetWindowLongA(HWND Wnd, int Index);
LONG SetWindowLongA(HWND Wnd, int Index, LONG NewLong);

LRESULT CallWindowProcA(WNDPROC PrevWndFunc, HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT DefWindowProcA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);

BOOL SetWindowTextA(HWND Wnd, LPCSTR Text);
int GetWindowTextA(HWND Wnd, LPSTR Text, int MaxCount);
int GetWindowTextLengthA(HWND Wnd);

BOOL SetPropA(HWND Wnd, LPCSTR Name, HANDLE Data);
HANDLE GetPropA(HWND Wnd, LPCSTR Name);
HANDLE RemovePropA(HWND Wnd, LPCSTR Name);

// ---------------------------------------------------------------------------------------------
// Messages and loops

LRESULT SendMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
LRESULT SendMessageTimeoutA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam, UINT Flags, UINT Timeout,
                            DWORD_PTR* Result);
BOOL SendNotifyMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL PostMessageA(HWND Wnd, UINT Msg, WPARAM WParam, LPARAM LParam);
BOOL PostThreadMessageA(DWORD ThreadId, UINT Msg, WPARAM WParam, LPARAM LParam);
// Order: messages sent from other threads are handled first; then posted and input messages
// (FIFO), WM_QUIT once PostQuitMessage was called (whatever the filters), WM_PAINT for windows
// with an update region, WM_TIMER for due timers.
BOOL PeekMessageA(MSG* Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax, UINT RemoveMsg);
// TRUE for a message, FALSE for WM_QUIT, -1 on error (a bad window handle).
BOOL GetMessageA(MSG* Msg, HWND Wnd, UINT MsgFilterMin, UINT MsgFilterMax);
BOOL WaitMessage();
BOOL TranslateMessage(const MSG* Msg);
LRESULT DispatchMessageA(const MSG* Msg);
UINT RegisterWindowMessageA(LPCSTR Name);
void PostQuitMessage(int ExitCode);
BOOL InSendMessage();
BOOL ReplyMessage(LRESULT Result);
LONG GetMessageTime();
DWORD GetMessagePos();
DWORD GetQueueStatus(UINT Flags);
BOOL GetInputState();
// Waits for the kernel handles (processes, threads, events, mutexes of the os layer) or for
// input of the kinds in WakeMask (QS_*), or Timeout: WAIT_OBJECT_0 + i for a handle,
// WAIT_OBJECT_0 + Count when input is there, WAIT_TIMEOUT, WAIT_FAILED.
DWORD MsgWaitForMultipleObjects(DWORD Count, const HANDLE* Handles, BOOL WaitAll, DWORD Timeout, DWORD WakeMask);
DWORD MsgWaitForMultipleObjectsEx(DWORD Count, const HANDLE* Handles, DWORD Timeout, DWORD WakeMask, DWORD Flags);

// ---------------------------------------------------------------------------------------------
// Geometry, visibility, z-order, enumeration

BOOL SetWindowPos(HWND Wnd, HWND InsertAfter, int X, int Y, int Cx, int Cy, UINT Flags);
BOOL MoveWindow(HWND Wnd, int X, int Y, int Width, int Height, BOOL Repaint);
BOOL ShowWindow(HWND Wnd, int CmdShow);
BOOL IsIconic(HWND Wnd);
BOOL IsZoomed(HWND Wnd);
BOOL CloseWindow(HWND Wnd);
BOOL GetWindowPlacement(HWND Wnd, WINDOWPLACEMENT* Placement);
BOOL SetWindowPlacement(HWND Wnd, const WINDOWPLACEMENT* Placement);
BOOL GetWindowRect(HWND Wnd, RECT* Rect);
BOOL GetClientRect(HWND Wnd, RECT* Rect);
BOOL ClientToScreen(HWND Wnd, POINT* Point);
BOOL ScreenToClient(HWND Wnd, POINT* Point);
int MapWindowPoints(HWND From, HWND To, POINT* Points, UINT Count);
BOOL AdjustWindowRectEx(RECT* Rect, DWORD Style, BOOL Menu, DWORD ExStyle);
BOOL AdjustWindowRect(RECT* Rect, DWORD Style, BOOL Menu);
HWND WindowFromPoint(POINT Point);
HWND ChildWindowFromPoint(HWND Parent, POINT Point);
HWND ChildWindowFromPointEx(HWND Parent, POINT Point, UINT Flags);
HWND RealChildWindowFromPoint(HWND Parent, POINT Point);
BOOL BringWindowToTop(HWND Wnd);
BOOL IsWindowVisible(HWND Wnd);
BOOL IsWindowEnabled(HWND Wnd);
BOOL EnableWindow(HWND Wnd, BOOL Enable);
BOOL EnumWindows(WNDENUMPROC EnumFunc, LPARAM LParam);
BOOL EnumChildWindows(HWND Parent, WNDENUMPROC EnumFunc, LPARAM LParam);
BOOL EnumThreadWindows(DWORD ThreadId, WNDENUMPROC EnumFunc, LPARAM LParam);
HWND FindWindowA(LPCSTR ClassName, LPCSTR WindowName);
HWND FindWindowExA(HWND Parent, HWND ChildAfter, LPCSTR ClassName, LPCSTR WindowName);
DWORD GetWindowThreadProcessId(HWND Wnd, DWORD* ProcessId);

// ---------------------------------------------------------------------------------------------
// Painting, window DCs, regions, layered windows

BOOL InvalidateRect(HWND Wnd, const RECT* Rect, BOOL Erase);
BOOL InvalidateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
BOOL ValidateRect(HWND Wnd, const RECT* Rect);
BOOL ValidateRgn(HWND Wnd, HRGN Rgn);
BOOL GetUpdateRect(HWND Wnd, RECT* Rect, BOOL Erase);
int GetUpdateRgn(HWND Wnd, HRGN Rgn, BOOL Erase);
int ExcludeUpdateRgn(HDC Dc, HWND Wnd);
BOOL UpdateWindow(HWND Wnd);
BOOL RedrawWindow(HWND Wnd, const RECT* Update, HRGN UpdateRgn, UINT Flags);
HDC BeginPaint(HWND Wnd, PAINTSTRUCT* Paint);
BOOL EndPaint(HWND Wnd, const PAINTSTRUCT* Paint);
HDC GetDC(HWND Wnd);
HDC GetDCEx(HWND Wnd, HRGN Clip, DWORD Flags);
HDC GetWindowDC(HWND Wnd);
int ReleaseDC(HWND Wnd, HDC Dc);
int ScrollWindowEx(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update, RECT* UpdateRect,
                   UINT Flags);
BOOL ScrollWindow(HWND Wnd, int Dx, int Dy, const RECT* Scroll, const RECT* Clip);
BOOL ScrollDC(HDC Dc, int Dx, int Dy, const RECT* Scroll, const RECT* Clip, HRGN Update, RECT* UpdateRect);
BOOL LockWindowUpdate(HWND Wnd);
// The window takes the region (it deletes it when replaced or when the window dies); the
// caller must not use or delete it afterwards. nullptr removes the region.
int SetWindowRgn(HWND Wnd, HRGN Rgn, BOOL Redraw);
// Copies the window's region into Rgn; ERROR (0) when the window has none.
int GetWindowRgn(HWND Wnd, HRGN Rgn);
BOOL SetLayeredWindowAttributes(HWND Wnd, COLORREF Key, BYTE Alpha, DWORD Flags);
BOOL GetLayeredWindowAttributes(HWND Wnd, COLORREF* Key, BYTE* Alpha, DWORD* Flags);
// Per-pixel alpha (ULW_ALPHA with AC_SRC_ALPHA): the image is taken from the 32-bpp DIB
// selected into Src at SrcPoint, premultiplied. Dst (screen) and Size move and size the window
// (nullptr keeps them). Blend.SourceConstantAlpha scales the whole image.
BOOL UpdateLayeredWindow(HWND Wnd, HDC DstDC, POINT* Dst, SIZE* Size, HDC Src, POINT* SrcPoint, COLORREF Key,
                         BLENDFUNCTION* Blend, DWORD Flags);

// ---------------------------------------------------------------------------------------------
// Input: mouse, keyboard, focus, activation, capture, cursor, caret

HWND SetCapture(HWND Wnd);
BOOL ReleaseCapture();
HWND GetCapture();
BOOL TrackMouseEvent(TRACKMOUSEEVENT* EventTrack);
inline BOOL _TrackMouseEvent(TRACKMOUSEEVENT* EventTrack) { return TrackMouseEvent(EventTrack); }
UINT GetDoubleClickTime();
BOOL SetDoubleClickTime(UINT Interval);
SHORT GetKeyState(int VirtKey);
SHORT GetAsyncKeyState(int VirtKey);
BOOL GetKeyboardState(BYTE* KeyState);
BOOL SetKeyboardState(const BYTE* KeyState);
HWND SetFocus(HWND Wnd);
HWND GetFocus();
HWND SetActiveWindow(HWND Wnd);
HWND GetActiveWindow();
BOOL SetForegroundWindow(HWND Wnd);
HWND GetForegroundWindow();
BOOL GetCursorPos(POINT* Point);
BOOL SetCursorPos(int X, int Y);
HCURSOR LoadCursorA(HINSTANCE Instance, LPCSTR CursorName);
HICON LoadIconA(HINSTANCE Instance, LPCSTR IconName);
HCURSOR SetCursor(HCURSOR Cursor);
HCURSOR GetCursor();
int ShowCursor(BOOL Show);
// One caret per thread, drawn by inverting the pixels under it and blinking with the caret
// blink time. Bitmap nullptr: a solid Width x Height caret; (HBITMAP)1: a grey (halftone) one;
// any other bitmap is the shape (its size, Width and Height ignored), XOR-ed into the pixels
// (white inverts, black leaves alone); it is copied, so the caller may delete it. A new caret
// starts hidden (ShowCaret once); hides and shows count.
BOOL CreateCaret(HWND Wnd, HBITMAP Bitmap, int Width, int Height);
BOOL DestroyCaret();
BOOL ShowCaret(HWND Wnd);
BOOL HideCaret(HWND Wnd);
BOOL SetCaretPos(int X, int Y);
BOOL GetCaretPos(POINT* Point);
UINT GetCaretBlinkTime();
BOOL SetCaretBlinkTime(UINT Milliseconds);
BOOL MessageBeep(UINT Type);

// ---------------------------------------------------------------------------------------------
// Timers

// Window timers are keyed by (window, id); a second SetTimer with the same key replaces the
// first. With Wnd nullptr the id is chosen by the system and returned (a thread timer whose
// WM_TIMER has a null hwnd). With a TimerFunc, DispatchMessage calls it instead of the window
// procedure.
UINT_PTR SetTimer(HWND Wnd, UINT_PTR IdEvent, UINT Elapse, TIMERPROC TimerFunc);
BOOL KillTimer(HWND Wnd, UINT_PTR IdEvent);

// ---------------------------------------------------------------------------------------------
// Monitors, metrics, parameters

HMONITOR MonitorFromWindow(HWND Wnd, DWORD Flags);
HMONITOR MonitorFromPoint(POINT Point, DWORD Flags);
HMONITOR MonitorFromRect(const RECT* Rect, DWORD Flags);
BOOL GetMonitorInfoA(HMONITOR Monitor, MONITORINFO* Info);
BOOL EnumDisplayMonitors(HDC Dc, const RECT* Clip, MONITORENUMPROC EnumFunc, LPARAM Data);
BOOL SystemParametersInfoA(UINT Action, UINT Param, PVOID PvParam, UINT WinIni);
int GetSystemMetrics(int Index);

// ---------------------------------------------------------------------------------------------
// Scroll bars of a window's non-client area. With SB_CTL (and OBJID_CLIENT) the window is a
// scroll-bar control and the call becomes its SBM_ message (SBM_GETSCROLLINFO,
// SBM_SETSCROLLINFO, SBM_ENABLE_ARROWS, SBM_GETSCROLLBARINFO). SIF_TRACKPOS answers the
// thumb's position while it is dragged, the position otherwise.

int GetScrollPos(HWND Wnd, int Bar);
int SetScrollPos(HWND Wnd, int Bar, int Pos, BOOL Redraw);
BOOL GetScrollRange(HWND Wnd, int Bar, int* MinPos, int* MaxPos);
BOOL SetScrollRange(HWND Wnd, int Bar, int MinPos, int MaxPos, BOOL Redraw);
BOOL GetScrollInfo(HWND Wnd, int Bar, SCROLLINFO* Info);
int SetScrollInfo(HWND Wnd, int Bar, const SCROLLINFO* Info, BOOL Redraw);
BOOL ShowScrollBar(HWND Wnd, int Bar, BOOL Show);
BOOL EnableScrollBar(HWND Wnd, UINT SbFlags, UINT Arrows);
BOOL GetScrollBarInfo(HWND Wnd, LONG IdObject, SCROLLBARINFO* Info);

// ---------------------------------------------------------------------------------------------
// Clipboard (text), global memory, drag and drop, message boxes, tray

BOOL OpenClipboard(HWND NewOwner);
BOOL CloseClipboard();
BOOL EmptyClipboard();
HANDLE SetClipboardData(UINT Format, HANDLE Mem);
HANDLE GetClipboardData(UINT Format);
BOOL IsClipboardFormatAvailable(UINT Format);

HGLOBAL GlobalAlloc(UINT Flags, SIZE_T Bytes);
LPVOID GlobalLock(HGLOBAL Mem);
BOOL GlobalUnlock(HGLOBAL Mem);
HGLOBAL GlobalFree(HGLOBAL Mem);
SIZE_T GlobalSize(HGLOBAL Mem);

// Index 0xFFFFFFFF answers the number of files; with File nullptr the length of the name.
UINT DragQueryFileA(HDROP Drop, UINT Index, LPSTR File, UINT Count);
BOOL DragQueryPoint(HDROP Drop, POINT* Point);
void DragFinish(HDROP Drop);
void DragAcceptFiles(HWND Wnd, BOOL Accept);

// A modal message box. Headless (and in this version also on X11) it shows nothing and
// answers the default button of the button set (MB_DEFBUTTON1..3; IDOK for MB_OK); tests and
// the class library can install an answering function with SetMessageBoxHandler.
int MessageBoxA(HWND Wnd, LPCSTR Text, LPCSTR Caption, UINT Type);

BOOL Shell_NotifyIconA(DWORD Message, NOTIFYICONDATAA* Data);

// ---------------------------------------------------------------------------------------------
// Unsuffixed names

inline ATOM RegisterClass(const WNDCLASSA* C) { return RegisterClassA(C); }
inline ATOM RegisterClassEx(const WNDCLASSEXA* C) { return RegisterClassExA(C); }
inline BOOL UnregisterClass(LPCSTR N, HINSTANCE I) { return UnregisterClassA(N, I); }
inline BOOL GetClassInfo(HINSTANCE I, LPCSTR N, WNDCLASSA* C) { return GetClassInfoA(I, N, C); }
inline BOOL GetClassInfoEx(HINSTANCE I, LPCSTR N, WNDCLASSEXA* C) { return GetClassInfoExA(I, N, C); }
inline int GetClassName(HWND W, LPSTR N, int M) { return GetClassNameA(W, N, M); }
inline ULONG_PTR GetClassLongPtr(HWND W, int I) { return GetClassLongPtrA(W, I); }
inline ULONG_PTR SetClassLongPtr(HWND W, int I, LONG_PTR V) { return SetClassLongPtrA(W, I, V); }
inline DWORD GetClassLong(HWND W, int I) { return GetClassLongA(W, I); }
inline DWORD SetClassLong(HWND W, int I, LONG V) { return SetClassLongA(W, I, V); }
inline HWND CreateWindowEx(DWORD Ex, LPCSTR C, LPCSTR N, DWORD S, int X, int Y, int W, int H, HWND P, HMENU M,
                           HINSTANCE I, LPVOID Param)
{
  return CreateWindowExA(Ex, C, N, S, X, Y, W, H, P, M, I, Param);
}
inline HWND CreateWindow(LPCSTR C, LPCSTR N, DWORD S, int X, int Y, int W, int H, HWND P, HMENU M, HINSTANCE I,
                         LPVOID Param)
{
  return CreateWindowExA(0, C, N, S, X, Y, W, H, P, M, I, Param);
}
inline LONG_PTR GetWindowLongPtr(HWND W, int I) { return GetWindowLongPtrA(W, I); }
inline LONG_PTR SetWindowLongPtr(HWND W, int I, LONG_PTR V) { return SetWindowLongPtrA(W, I, V); }
inline LONG GetWindowLong(HWND W, int I) { return GetWindowLongA(W, I); }
inline LONG SetWindowLong(HWND W, int I, LONG V) { return SetWindowLongA(W, I, V); }
inline LRESULT CallWindowProc(WNDPROC P, HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return CallWindowProcA(P, W, M, Wp, Lp); }
inline LRESULT DefWindowProc(HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return DefWindowProcA(W, M, Wp, Lp); }
inline BOOL SetWindowText(HWND W, LPCSTR T) { return SetWindowTextA(W, T); }
inline int GetWindowText(HWND W, LPSTR T, int M) { return GetWindowTextA(W, T, M); }
inline int GetWindowTextLength(HWND W) { return GetWindowTextLengthA(W); }
inline BOOL SetProp(HWND W, LPCSTR N, HANDLE D) { return SetPropA(W, N, D); }
inline HANDLE GetProp(HWND W, LPCSTR N) { return GetPropA(W, N); }
inline HANDLE RemoveProp(HWND W, LPCSTR N) { return RemovePropA(W, N); }
inline LRESULT SendMessage(HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return SendMessageA(W, M, Wp, Lp); }
inline LRESULT SendMessageTimeout(HWND W, UINT M, WPARAM Wp, LPARAM Lp, UINT F, UINT T, DWORD_PTR* R)
{
  return SendMessageTimeoutA(W, M, Wp, Lp, F, T, R);
}
inline BOOL SendNotifyMessage(HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return SendNotifyMessageA(W, M, Wp, Lp); }
inline BOOL PostMessage(HWND W, UINT M, WPARAM Wp, LPARAM Lp) { return PostMessageA(W, M, Wp, Lp); }
inline BOOL PostThreadMessage(DWORD T, UINT M, WPARAM Wp, LPARAM Lp) { return PostThreadMessageA(T, M, Wp, Lp); }
inline BOOL PeekMessage(MSG* M, HWND W, UINT Min, UINT Max, UINT R) { return PeekMessageA(M, W, Min, Max, R); }
inline BOOL GetMessage(MSG* M, HWND W, UINT Min, UINT Max) { return GetMessageA(M, W, Min, Max); }
inline LRESULT DispatchMessage(const MSG* M) { return DispatchMessageA(M); }
inline UINT RegisterWindowMessage(LPCSTR N) { return RegisterWindowMessageA(N); }
inline HWND FindWindow(LPCSTR C, LPCSTR N) { return FindWindowA(C, N); }
inline HWND FindWindowEx(HWND P, HWND A, LPCSTR C, LPCSTR N) { return FindWindowExA(P, A, C, N); }
inline HCURSOR LoadCursor(HINSTANCE I, LPCSTR N) { return LoadCursorA(I, N); }
inline HICON LoadIcon(HINSTANCE I, LPCSTR N) { return LoadIconA(I, N); }
inline BOOL GetMonitorInfo(HMONITOR M, MONITORINFO* I) { return GetMonitorInfoA(M, I); }
inline BOOL SystemParametersInfo(UINT A, UINT P, PVOID V, UINT W) { return SystemParametersInfoA(A, P, V, W); }
inline UINT DragQueryFile(HDROP D, UINT I, LPSTR F, UINT C) { return DragQueryFileA(D, I, F, C); }
inline int MessageBox(HWND W, LPCSTR T, LPCSTR C, UINT Type) { return MessageBoxA(W, T, C, Type); }
inline BOOL Shell_NotifyIcon(DWORD M, NOTIFYICONDATAA* D) { return Shell_NotifyIconA(M, D); }

// ---------------------------------------------------------------------------------------------
// Extensions of this system

// Other running copies of the program (their windows are reached through stand-in handles;
// see the instance channel). EnumRemoteWindows lists their top-level windows, as EnumWindows
// lists ours; GetClassNameA and GetWindowThreadProcessId answer for the stand-ins.
// SenderWindowHandle: a window handle that another copy passed in a message it sent (a handle
// value of its own) as the stand-in that reaches that window from here; any other value is
// answered unchanged. Handle values of different copies may be equal, so a handler that
// answers the sender's window goes through it. (WM_COPYDATA's wParam arrives translated.)
BOOL EnumRemoteWindows(WNDENUMPROC EnumFunc, LPARAM LParam);
HWND SenderWindowHandle(HWND Value);

// The display backend. Installing one is allowed only while no window exists (tests install
// a headless backend in their set-up); it is created on first use with CreateDisplayBackend()
// otherwise. GetDisplayBackend never answers nullptr.
void SetDisplayBackend(std::unique_ptr<TDisplayBackend> Backend);
TDisplayBackend& GetDisplayBackend();
// The backend window that shows a top-level window (0 while it has none: hidden, or a child).
TDisplayWindow GetDisplayWindow(HWND Wnd);

// The clock of timers, hover tracking, caret blinking and message times. The default reads
// GetTickCount. A test installs a TManualMessageClock and moves time with Advance: timers due
// by then produce WM_TIMER when the queue is next looked at, and a loop waiting for messages
// wakes up. Waiting loops never sleep on a manual clock's time: they wait only for messages.
class TMessageClock {
public:
  virtual ~TMessageClock() = default;
  // Milliseconds, wrapping like GetTickCount.
  virtual DWORD Now() const = 0;
  // True when the clock moves by itself (real time), so waits may time out by it.
  virtual bool IsRealTime() const = 0;
};

class TManualMessageClock : public TMessageClock {
public:
  explicit TManualMessageClock(DWORD Start = 1000) : FNow(Start) {}
  DWORD Now() const override { return FNow.load(); }
  bool IsRealTime() const override { return false; }
  // Moves time forward and wakes the GUI thread's loop.
  void Advance(DWORD Milliseconds);
  void Set(DWORD Now);

private:
  std::atomic<DWORD> FNow;
};

// nullptr restores the real-time clock. The window system keeps a shared reference.
void SetMessageClock(std::shared_ptr<TMessageClock> Clock);
TMessageClock& GetMessageClock();

// Native child windows. EnsureNativeWindow backs a window with a real display window (inside
// its top-level window's display window, following its position and visibility) and answers
// the id to hand to a player ("-wid"); 0 when the backend has none (headless) or the window
// is not a child of a shown top-level window yet (the id appears when it is shown: ask again).
std::uint64_t EnsureNativeWindow(HWND Wnd);
std::uint64_t GetNativeWindowId(HWND Wnd);

// The tray icon model kept by Shell_NotifyIcon.
struct TTrayIcon {
  HWND Wnd = nullptr;
  UINT Id = 0;
  UINT CallbackMessage = 0;
  HICON Icon = nullptr;
  String Tip;
  // The icon's own window docked in the window system's tray (null: kept in the model only).
  HWND Docked = nullptr;
};
std::vector<TTrayIcon> GetTrayIcons();
// Draws an icon handle (the class library's icons) into Rect of DC: the icons docked in a tray
// of the window system paint through it.
using TTrayIconPainter = std::function<void(HDC DC, HICON Icon, const RECT& Rect)>;
void SetTrayIconPainter(TTrayIconPainter Painter);
// Whether icons can be shown (false: the icon model is kept, nothing appears on screen).
// Shell_NotifyIcon(NIM_ADD) fails when this is false and SetTrayAvailable(false) was called;
// the default is true (the model answers as a tray would).
void SetTrayAvailable(bool Available);
// Delivers a mouse message (WM_LBUTTONUP ...) as the tray would: the icon's callback message
// to its window, wParam the icon id, lParam the mouse message. False if no such icon.
bool SendTrayMouseMessage(HWND Wnd, UINT Id, UINT MouseMessage);

// Answers MessageBox calls (Text, Caption, Type -> IDOK...); nullptr restores the default.
void SetMessageBoxHandler(std::function<int(const String& Text, const String& Caption, UINT Type)> Handler);

// Runs every queued message, timer due now and pending paint of the calling thread, and
// returns when the queue is empty (what a test does between acting and checking). Does not
// dispatch WM_QUIT: a WM_QUIT met is left in the queue.
void ProcessPendingMessages();

// Handles of windows of the whole process for tests' bookkeeping: the number of live windows.
int GetWindowCount();
