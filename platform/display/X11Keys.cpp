#include "platform/display/X11Keys.h"

#include <X11/keysym.h>

#include "platform/display/DisplayKeys.h"

using namespace DisplayKeys;

namespace {

struct TKeyPair {
  unsigned long KeySym;
  unsigned VirtualKey;
};

constexpr TKeyPair KeyTable[] = {
    {XK_BackSpace, VK_BACK},
    {XK_Tab, VK_TAB},
    {XK_ISO_Left_Tab, VK_TAB},
    {XK_Clear, VK_CLEAR},
    {XK_Return, VK_RETURN},
    {XK_Pause, VK_PAUSE},
    {XK_Scroll_Lock, VK_SCROLL},
    {XK_Sys_Req, VK_SNAPSHOT},
    {XK_Escape, VK_ESCAPE},
    {XK_Delete, VK_DELETE},
    {XK_Home, VK_HOME},
    {XK_Left, VK_LEFT},
    {XK_Up, VK_UP},
    {XK_Right, VK_RIGHT},
    {XK_Down, VK_DOWN},
    {XK_Prior, VK_PRIOR},
    {XK_Next, VK_NEXT},
    {XK_End, VK_END},
    {XK_Begin, VK_CLEAR},
    {XK_Select, VK_SELECT},
    {XK_Print, VK_SNAPSHOT},
    {XK_Insert, VK_INSERT},
    {XK_Menu, VK_APPS},
    {XK_Help, VK_HELP},
    {XK_Break, VK_CANCEL},
    {XK_Num_Lock, VK_NUMLOCK},
    {XK_space, VK_SPACE},
    // Keypad.
    {XK_KP_Space, VK_SPACE},
    {XK_KP_Tab, VK_TAB},
    {XK_KP_Enter, VK_RETURN},
    {XK_KP_Home, VK_HOME},
    {XK_KP_Left, VK_LEFT},
    {XK_KP_Up, VK_UP},
    {XK_KP_Right, VK_RIGHT},
    {XK_KP_Down, VK_DOWN},
    {XK_KP_Prior, VK_PRIOR},
    {XK_KP_Next, VK_NEXT},
    {XK_KP_End, VK_END},
    {XK_KP_Begin, VK_CLEAR},
    {XK_KP_Insert, VK_INSERT},
    {XK_KP_Delete, VK_DELETE},
    {XK_KP_Equal, VK_OEM_PLUS},
    {XK_KP_Multiply, VK_MULTIPLY},
    {XK_KP_Add, VK_ADD},
    {XK_KP_Separator, VK_SEPARATOR},
    {XK_KP_Subtract, VK_SUBTRACT},
    {XK_KP_Decimal, VK_DECIMAL},
    {XK_KP_Divide, VK_DIVIDE},
    // Modifiers.
    {XK_Shift_L, VK_SHIFT},
    {XK_Shift_R, VK_SHIFT},
    {XK_Control_L, VK_CONTROL},
    {XK_Control_R, VK_CONTROL},
    {XK_Caps_Lock, VK_CAPITAL},
    {XK_Shift_Lock, VK_CAPITAL},
    {XK_Meta_L, VK_MENU},
    {XK_Meta_R, VK_MENU},
    {XK_Alt_L, VK_MENU},
    {XK_Alt_R, VK_MENU},
    {XK_ISO_Level3_Shift, VK_MENU},
    {XK_Super_L, VK_LWIN},
    {XK_Super_R, VK_RWIN},
    // Punctuation where the US keyboard has it, shifted or not.
    {XK_semicolon, VK_OEM_1},
    {XK_colon, VK_OEM_1},
    {XK_equal, VK_OEM_PLUS},
    {XK_plus, VK_OEM_PLUS},
    {XK_comma, VK_OEM_COMMA},
    {XK_less, VK_OEM_COMMA},
    {XK_minus, VK_OEM_MINUS},
    {XK_underscore, VK_OEM_MINUS},
    {XK_period, VK_OEM_PERIOD},
    {XK_greater, VK_OEM_PERIOD},
    {XK_slash, VK_OEM_2},
    {XK_question, VK_OEM_2},
    {XK_grave, VK_OEM_3},
    {XK_asciitilde, VK_OEM_3},
    {XK_bracketleft, VK_OEM_4},
    {XK_braceleft, VK_OEM_4},
    {XK_backslash, VK_OEM_5},
    {XK_bar, VK_OEM_5},
    {XK_bracketright, VK_OEM_6},
    {XK_braceright, VK_OEM_6},
    {XK_apostrophe, VK_OEM_7},
    {XK_quotedbl, VK_OEM_7},
};

} // namespace

unsigned VirtualKeyFromKeySym(unsigned long KeySym)
{
  if (KeySym >= XK_a && KeySym <= XK_z)
    return static_cast<unsigned>('A' + (KeySym - XK_a));
  if (KeySym >= XK_A && KeySym <= XK_Z)
    return static_cast<unsigned>('A' + (KeySym - XK_A));
  if (KeySym >= XK_0 && KeySym <= XK_9)
    return static_cast<unsigned>('0' + (KeySym - XK_0));
  if (KeySym >= XK_F1 && KeySym <= XK_F24)
    return static_cast<unsigned>(VK_F1 + (KeySym - XK_F1));
  if (KeySym >= XK_KP_0 && KeySym <= XK_KP_9)
    return static_cast<unsigned>(VK_NUMPAD0 + (KeySym - XK_KP_0));
  for (const TKeyPair& p : KeyTable)
    if (p.KeySym == KeySym)
      return p.VirtualKey;
  return 0;
}

unsigned SidedVirtualKeyFromKeySym(unsigned long KeySym)
{
  switch (KeySym) {
  case XK_Shift_L:
    return VK_LSHIFT;
  case XK_Shift_R:
    return VK_RSHIFT;
  case XK_Control_L:
    return VK_LCONTROL;
  case XK_Control_R:
    return VK_RCONTROL;
  case XK_Alt_L:
  case XK_Meta_L:
    return VK_LMENU;
  case XK_Alt_R:
  case XK_Meta_R:
  case XK_ISO_Level3_Shift:
    return VK_RMENU;
  default:
    return VirtualKeyFromKeySym(KeySym);
  }
}

String TextFromKeySym(unsigned long KeySym)
{
  unsigned long code = 0;
  if ((KeySym >= 0x20 && KeySym <= 0x7E) || (KeySym >= 0xA0 && KeySym <= 0xFF))
    code = KeySym;
  else if (KeySym >= 0x01000100 && KeySym <= 0x0110FFFF)
    code = KeySym - 0x01000000;
  if (code == 0 || (code >= 0xD800 && code <= 0xDFFF))
    return String();
  String out;
  if (code < 0x80) {
    out += static_cast<char>(code);
  } else if (code < 0x800) {
    out += static_cast<char>(0xC0 | (code >> 6));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else if (code < 0x10000) {
    out += static_cast<char>(0xE0 | (code >> 12));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (code >> 18));
    out += static_cast<char>(0x80 | ((code >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (code & 0x3F));
  }
  return out;
}
