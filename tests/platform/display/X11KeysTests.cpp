#include <gtest/gtest.h>

#include <X11/keysym.h>

#include "platform/display/DisplayKeys.h"
#include "platform/display/X11Keys.h"

using namespace DisplayKeys;

TEST(X11Keys, KeySymsMapToVirtualKeys)
{
  struct {
    unsigned long KeySym;
    unsigned Plain;
    unsigned Sided;
  } cases[] = {
      {XK_a, 'A', 'A'},
      {XK_Z, 'Z', 'Z'},
      {XK_0, '0', '0'},
      {XK_9, '9', '9'},
      {XK_F1, VK_F1, VK_F1},
      {XK_F12, 0x7B, 0x7B},
      {XK_F24, VK_F24, VK_F24},
      {XK_Left, VK_LEFT, VK_LEFT},
      {XK_Down, VK_DOWN, VK_DOWN},
      {XK_Home, VK_HOME, VK_HOME},
      {XK_End, VK_END, VK_END},
      {XK_Page_Up, VK_PRIOR, VK_PRIOR},
      {XK_Page_Down, VK_NEXT, VK_NEXT},
      {XK_Insert, VK_INSERT, VK_INSERT},
      {XK_Delete, VK_DELETE, VK_DELETE},
      {XK_Return, VK_RETURN, VK_RETURN},
      {XK_Escape, VK_ESCAPE, VK_ESCAPE},
      {XK_Tab, VK_TAB, VK_TAB},
      {XK_ISO_Left_Tab, VK_TAB, VK_TAB},
      {XK_BackSpace, VK_BACK, VK_BACK},
      {XK_space, VK_SPACE, VK_SPACE},
      {XK_Shift_L, VK_SHIFT, VK_LSHIFT},
      {XK_Shift_R, VK_SHIFT, VK_RSHIFT},
      {XK_Control_L, VK_CONTROL, VK_LCONTROL},
      {XK_Control_R, VK_CONTROL, VK_RCONTROL},
      {XK_Alt_L, VK_MENU, VK_LMENU},
      {XK_Alt_R, VK_MENU, VK_RMENU},
      {XK_KP_0, VK_NUMPAD0, VK_NUMPAD0},
      {XK_KP_9, VK_NUMPAD9, VK_NUMPAD9},
      {XK_KP_Home, VK_HOME, VK_HOME},
      {XK_KP_Delete, VK_DELETE, VK_DELETE},
      {XK_KP_Enter, VK_RETURN, VK_RETURN},
      {XK_KP_Add, VK_ADD, VK_ADD},
      {XK_KP_Subtract, VK_SUBTRACT, VK_SUBTRACT},
      {XK_KP_Multiply, VK_MULTIPLY, VK_MULTIPLY},
      {XK_KP_Divide, VK_DIVIDE, VK_DIVIDE},
      {XK_KP_Decimal, VK_DECIMAL, VK_DECIMAL},
      {XK_comma, VK_OEM_COMMA, VK_OEM_COMMA},
      {XK_minus, VK_OEM_MINUS, VK_OEM_MINUS},
      {XK_question, VK_OEM_2, VK_OEM_2},
      {XK_eacute, 0, 0},
      {0, 0, 0}, // no symbol
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.KeySym);
    EXPECT_EQ(VirtualKeyFromKeySym(c.KeySym), c.Plain);
    EXPECT_EQ(SidedVirtualKeyFromKeySym(c.KeySym), c.Sided);
  }
}

TEST(X11Keys, CharacterKeySymsGiveUtf8)
{
  struct {
    unsigned long KeySym;
    const char* Text;
  } cases[] = {
      {XK_a, "a"},
      {XK_A, "A"},
      {XK_exclam, "!"},
      {XK_eacute, "\xC3\xA9"},
      {0x010020AC, "\xE2\x82\xAC"},     // euro sign as a Unicode key symbol
      {0x0101F600, "\xF0\x9F\x98\x80"}, // beyond the basic plane
      {0x0100D800, ""},                 // a surrogate is no character
      {XK_Return, ""},
      {XK_F1, ""},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(testing::Message() << std::hex << c.KeySym);
    EXPECT_EQ(TextFromKeySym(c.KeySym), c.Text);
  }
}
