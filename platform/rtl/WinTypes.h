// The basic Win32 scalar, handle and structure types that the operating-system services,
// the drawing layer and the window system share, with the rectangle helpers of user32.
// Numeric values are the Windows ones, because message numbers and flags travel as numbers.
#pragma once

#include <cstdint>

#include "platform/rtl/SyncObjs.h"

using BOOL = int;
constexpr BOOL FALSE = 0;
constexpr BOOL TRUE = 1;

using BYTE = std::uint8_t;
using WORD = std::uint16_t;
using DWORD = std::uint32_t;
using UINT = unsigned int;
using INT = int;
using LONG = std::int32_t;
using ULONG = std::uint32_t;
using SHORT = std::int16_t;
using USHORT = std::uint16_t;
using CHAR = char;
using LONGLONG = std::int64_t;
using ULONGLONG = std::uint64_t;
using INT_PTR = std::intptr_t;
using UINT_PTR = std::uintptr_t;
using LONG_PTR = std::intptr_t;
using ULONG_PTR = std::uintptr_t;
using DWORD_PTR = std::uintptr_t;
using WPARAM = std::uintptr_t;
using LPARAM = std::intptr_t;
using LRESULT = std::intptr_t;
using ATOM = WORD;
using COLORREF = DWORD;
using LPCSTR = const char*;
using LPSTR = char*;
using LPVOID = void*;
using LPCVOID = const void*;

// Handles. Kernel objects (processes, threads, events, mutexes, mappings) are plain HANDLEs;
// the window and drawing handles are distinct pointer types so that they cannot be mixed up.
using HANDLE = void*;
using HGDIOBJ = void*;
#define QV_DECLARE_HANDLE(Name) \
  struct Name##__ {             \
    int Unused;                 \
  };                            \
  using Name = Name##__*
QV_DECLARE_HANDLE(HWND);
QV_DECLARE_HANDLE(HDC);
QV_DECLARE_HANDLE(HBITMAP);
QV_DECLARE_HANDLE(HBRUSH);
QV_DECLARE_HANDLE(HPEN);
QV_DECLARE_HANDLE(HFONT);
QV_DECLARE_HANDLE(HRGN);
QV_DECLARE_HANDLE(HPALETTE);
QV_DECLARE_HANDLE(HICON);
QV_DECLARE_HANDLE(HMENU);
QV_DECLARE_HANDLE(HINSTANCE);
QV_DECLARE_HANDLE(HMONITOR);
QV_DECLARE_HANDLE(HKEY);
using HCURSOR = HICON;
using HMODULE = HINSTANCE;
#undef QV_DECLARE_HANDLE

// The size of the path buffers that Windows-shaped calls fill, the terminating zero included.
constexpr int MAX_PATH = 260;

inline HANDLE const INVALID_HANDLE_VALUE = reinterpret_cast<HANDLE>(static_cast<std::intptr_t>(-1));

// Wait results and time-outs of the wait functions (INFINITE comes from SyncObjs).
constexpr DWORD WAIT_OBJECT_0 = 0;
constexpr DWORD WAIT_ABANDONED = 0x80;
constexpr DWORD WAIT_ABANDONED_0 = 0x80;
constexpr DWORD WAIT_TIMEOUT = 258;
constexpr DWORD WAIT_FAILED = 0xFFFFFFFF;

// The Windows error codes that callers compare GetLastError against. The last-error value is an
// errno value for failures of the file routines; the platform services set these codes where
// Windows would, and SysErrorMessage knows their texts.
constexpr DWORD ERROR_SUCCESS = 0;
constexpr DWORD NO_ERROR = 0;
constexpr DWORD ERROR_INVALID_HANDLE = 6;
constexpr DWORD ERROR_NOT_ENOUGH_MEMORY = 8;
constexpr DWORD ERROR_INVALID_PARAMETER = 87;
constexpr DWORD ERROR_BROKEN_PIPE = 109;
constexpr DWORD ERROR_INSUFFICIENT_BUFFER = 122;
constexpr DWORD ERROR_ALREADY_EXISTS = 183;
constexpr DWORD ERROR_NO_DATA = 232;
constexpr DWORD ERROR_MORE_DATA = 234;
constexpr DWORD ERROR_INVALID_WINDOW_HANDLE = 1400;
constexpr DWORD ERROR_CLASS_ALREADY_EXISTS = 1410;
constexpr DWORD ERROR_CLASS_DOES_NOT_EXIST = 1411;
constexpr DWORD ERROR_TIMEOUT = 1460;

struct POINT {
  LONG x = 0;
  LONG y = 0;
};
using PPOINT = POINT*;
using LPPOINT = POINT*;

struct POINTS {
  SHORT x = 0;
  SHORT y = 0;
};

struct SIZE {
  LONG cx = 0;
  LONG cy = 0;
};
using LPSIZE = SIZE*;

struct RECT {
  LONG left = 0;
  LONG top = 0;
  LONG right = 0;
  LONG bottom = 0;
};
using PRECT = RECT*;
using LPRECT = RECT*;
using LPCRECT = const RECT*;

inline bool operator==(const POINT& A, const POINT& B) { return A.x == B.x && A.y == B.y; }
inline bool operator==(const SIZE& A, const SIZE& B) { return A.cx == B.cx && A.cy == B.cy; }
inline bool operator==(const RECT& A, const RECT& B)
{
  return A.left == B.left && A.top == B.top && A.right == B.right && A.bottom == B.bottom;
}

constexpr COLORREF RGB(BYTE R, BYTE G, BYTE B)
{
  return static_cast<COLORREF>(R) | (static_cast<COLORREF>(G) << 8) | (static_cast<COLORREF>(B) << 16);
}
constexpr BYTE GetRValue(COLORREF C) { return static_cast<BYTE>(C & 0xFF); }
constexpr BYTE GetGValue(COLORREF C) { return static_cast<BYTE>((C >> 8) & 0xFF); }
constexpr BYTE GetBValue(COLORREF C) { return static_cast<BYTE>((C >> 16) & 0xFF); }

constexpr WORD LOWORD(std::uintptr_t V) { return static_cast<WORD>(V & 0xFFFF); }
constexpr WORD HIWORD(std::uintptr_t V) { return static_cast<WORD>((V >> 16) & 0xFFFF); }
constexpr BYTE LOBYTE(std::uintptr_t V) { return static_cast<BYTE>(V & 0xFF); }
constexpr BYTE HIBYTE(std::uintptr_t V) { return static_cast<BYTE>((V >> 8) & 0xFF); }
constexpr DWORD MAKELONG(WORD Lo, WORD Hi) { return static_cast<DWORD>(Lo) | (static_cast<DWORD>(Hi) << 16); }
constexpr WORD MAKEWORD(BYTE Lo, BYTE Hi) { return static_cast<WORD>(Lo | (Hi << 8)); }
constexpr WPARAM MAKEWPARAM(WORD Lo, WORD Hi) { return static_cast<WPARAM>(MAKELONG(Lo, Hi)); }
// The 32-bit value sign-extends, as a Windows LPARAM built from two words does on 64 bits
// only when the caller casts; we keep it unsigned like the Windows macro.
constexpr LPARAM MAKELPARAM(WORD Lo, WORD Hi) { return static_cast<LPARAM>(MAKELONG(Lo, Hi)); }
constexpr LRESULT MAKELRESULT(WORD Lo, WORD Hi) { return static_cast<LRESULT>(MAKELONG(Lo, Hi)); }
// Signed coordinates packed in a message parameter (negative on multi-monitor set-ups).
constexpr int GET_X_LPARAM(LPARAM L) { return static_cast<SHORT>(LOWORD(static_cast<std::uintptr_t>(L))); }
constexpr int GET_Y_LPARAM(LPARAM L) { return static_cast<SHORT>(HIWORD(static_cast<std::uintptr_t>(L))); }
constexpr SHORT GET_WHEEL_DELTA_WPARAM(WPARAM W) { return static_cast<SHORT>(HIWORD(W)); }

// Rectangle helpers of user32. A rectangle is empty when it has no area; the combining
// routines return FALSE and an empty (all zero) result when the result has no area.
BOOL SetRect(RECT* R, int Left, int Top, int Right, int Bottom);
BOOL SetRectEmpty(RECT* R);
BOOL CopyRect(RECT* Dst, const RECT* Src);
BOOL IsRectEmpty(const RECT* R);
BOOL PtInRect(const RECT* R, POINT P);
BOOL OffsetRect(RECT* R, int Dx, int Dy);
BOOL InflateRect(RECT* R, int Dx, int Dy);
BOOL IntersectRect(RECT* Dst, const RECT* A, const RECT* B);
BOOL UnionRect(RECT* Dst, const RECT* A, const RECT* B);
BOOL SubtractRect(RECT* Dst, const RECT* A, const RECT* B);
BOOL EqualRect(const RECT* A, const RECT* B);

// Convenience constructors in the class library's style.
inline RECT Rect(int Left, int Top, int Right, int Bottom) { return RECT{Left, Top, Right, Bottom}; }
inline RECT Bounds(int Left, int Top, int Width, int Height) { return RECT{Left, Top, Left + Width, Top + Height}; }
inline POINT Point(int X, int Y) { return POINT{X, Y}; }
