// The virtual-key and cursor numbers the display backends deal in. They carry the Windows names
// and values, kept in a namespace of their own so that the window system's global constants of
// the same names never clash with them.
#pragma once

namespace DisplayKeys {

// Mouse buttons, as GetAsyncKeyState knows them.
constexpr unsigned VK_LBUTTON = 0x01;
constexpr unsigned VK_RBUTTON = 0x02;
constexpr unsigned VK_CANCEL = 0x03;
constexpr unsigned VK_MBUTTON = 0x04;

constexpr unsigned VK_BACK = 0x08;
constexpr unsigned VK_TAB = 0x09;
constexpr unsigned VK_CLEAR = 0x0C;
constexpr unsigned VK_RETURN = 0x0D;
constexpr unsigned VK_SHIFT = 0x10;
constexpr unsigned VK_CONTROL = 0x11;
constexpr unsigned VK_MENU = 0x12;
constexpr unsigned VK_PAUSE = 0x13;
constexpr unsigned VK_CAPITAL = 0x14;
constexpr unsigned VK_ESCAPE = 0x1B;
constexpr unsigned VK_SPACE = 0x20;
constexpr unsigned VK_PRIOR = 0x21;
constexpr unsigned VK_NEXT = 0x22;
constexpr unsigned VK_END = 0x23;
constexpr unsigned VK_HOME = 0x24;
constexpr unsigned VK_LEFT = 0x25;
constexpr unsigned VK_UP = 0x26;
constexpr unsigned VK_RIGHT = 0x27;
constexpr unsigned VK_DOWN = 0x28;
constexpr unsigned VK_SELECT = 0x29;
constexpr unsigned VK_PRINT = 0x2A;
constexpr unsigned VK_SNAPSHOT = 0x2C;
constexpr unsigned VK_INSERT = 0x2D;
constexpr unsigned VK_DELETE = 0x2E;
constexpr unsigned VK_HELP = 0x2F;
// '0'..'9' are 0x30..0x39 and 'A'..'Z' are 0x41..0x5A.
constexpr unsigned VK_LWIN = 0x5B;
constexpr unsigned VK_RWIN = 0x5C;
constexpr unsigned VK_APPS = 0x5D;
constexpr unsigned VK_NUMPAD0 = 0x60;
constexpr unsigned VK_NUMPAD9 = 0x69;
constexpr unsigned VK_MULTIPLY = 0x6A;
constexpr unsigned VK_ADD = 0x6B;
constexpr unsigned VK_SEPARATOR = 0x6C;
constexpr unsigned VK_SUBTRACT = 0x6D;
constexpr unsigned VK_DECIMAL = 0x6E;
constexpr unsigned VK_DIVIDE = 0x6F;
constexpr unsigned VK_F1 = 0x70;
constexpr unsigned VK_F24 = 0x87;
constexpr unsigned VK_NUMLOCK = 0x90;
constexpr unsigned VK_SCROLL = 0x91;
constexpr unsigned VK_LSHIFT = 0xA0;
constexpr unsigned VK_RSHIFT = 0xA1;
constexpr unsigned VK_LCONTROL = 0xA2;
constexpr unsigned VK_RCONTROL = 0xA3;
constexpr unsigned VK_LMENU = 0xA4;
constexpr unsigned VK_RMENU = 0xA5;
constexpr unsigned VK_OEM_1 = 0xBA;      // ;:
constexpr unsigned VK_OEM_PLUS = 0xBB;   // =+
constexpr unsigned VK_OEM_COMMA = 0xBC;  // ,<
constexpr unsigned VK_OEM_MINUS = 0xBD;  // -_
constexpr unsigned VK_OEM_PERIOD = 0xBE; // .>
constexpr unsigned VK_OEM_2 = 0xBF;      // /?
constexpr unsigned VK_OEM_3 = 0xC0;      // `~
constexpr unsigned VK_OEM_4 = 0xDB;      // [{
constexpr unsigned VK_OEM_5 = 0xDC;      // \|
constexpr unsigned VK_OEM_6 = 0xDD;      // ]}
constexpr unsigned VK_OEM_7 = 0xDE;      // '"
constexpr unsigned VK_OEM_102 = 0xE2;    // <> of the 102-key keyboard

// The MK_* bits of TDisplayEvent::Modifiers, and the Alt bit.
constexpr unsigned MK_LBUTTON = 0x0001;
constexpr unsigned MK_RBUTTON = 0x0002;
constexpr unsigned MK_SHIFT = 0x0004;
constexpr unsigned MK_CONTROL = 0x0008;
constexpr unsigned MK_MBUTTON = 0x0010;
constexpr unsigned MK_ALT = 0x0100;

// The standard cursors.
constexpr int IDC_ARROW = 32512;
constexpr int IDC_IBEAM = 32513;
constexpr int IDC_WAIT = 32514;
constexpr int IDC_CROSS = 32515;
constexpr int IDC_UPARROW = 32516;
constexpr int IDC_SIZE = 32640;
constexpr int IDC_ICON = 32641;
constexpr int IDC_SIZENWSE = 32642;
constexpr int IDC_SIZENESW = 32643;
constexpr int IDC_SIZEWE = 32644;
constexpr int IDC_SIZENS = 32645;
constexpr int IDC_SIZEALL = 32646;
constexpr int IDC_NO = 32648;
constexpr int IDC_HAND = 32649;
constexpr int IDC_APPSTARTING = 32650;
constexpr int IDC_HELP = 32651;

// Whether VirtualKey is held, given the set of keys held: the generic Shift, Control and Menu
// keys count as held when either of their left or right keys is.
template <typename TIsHeld>
bool IsVirtualKeyHeld(unsigned VirtualKey, TIsHeld IsHeld)
{
  if (IsHeld(VirtualKey))
    return true;
  switch (VirtualKey) {
  case VK_SHIFT:
    return IsHeld(VK_LSHIFT) || IsHeld(VK_RSHIFT);
  case VK_CONTROL:
    return IsHeld(VK_LCONTROL) || IsHeld(VK_RCONTROL);
  case VK_MENU:
    return IsHeld(VK_LMENU) || IsHeld(VK_RMENU);
  default:
    return false;
  }
}

} // namespace DisplayKeys
