// Turning X key symbols into the Windows virtual-key numbers and typed text. Pure functions of
// the key symbol, so that the tables can be checked without a display.
#pragma once

#include "platform/rtl/System.h"

// The virtual key of a key symbol (VK_SHIFT for both Shift keys); 0 for a key without one.
unsigned VirtualKeyFromKeySym(unsigned long KeySym);
// The left or right variant (VK_LSHIFT, VK_RCONTROL, VK_LMENU ...) for the modifier keys, the
// plain virtual key for all others.
unsigned SidedVirtualKeyFromKeySym(unsigned long KeySym);
// The UTF-8 text of a key symbol that stands for a character (Latin-1 and Unicode key
// symbols); empty for the others.
String TextFromKeySym(unsigned long KeySym);
