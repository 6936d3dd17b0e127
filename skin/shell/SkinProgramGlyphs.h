// The program's small bitmaps that the file controls and the shell dialogs draw with: drive
// types ("SK_FLOPPY", "SK_HARD", "SK_NETWORK", "SK_CDROM", "SK_RAM"), folders ("SK_CLOSEDFOLDER",
// "SK_OPENFOLDER", "SK_CURRENTFOLDER") and tool buttons ("SK_BACK", "SK_UP", "SK_NEWFOLDER",
// "SK_LVSTYLE"), and the plain document "SK_FILE". They are drawn from small pixel maps linked into the program; the bottom-left
// pixel of each is the background, which the painters leave out.
//
// Sizes: 16 x 16, the RAM glyph 16 x 11, the folder glyphs 16 x 15.
#pragma once

#include <memory>

#include "platform/vcl/Bitmap.h"

// A new bitmap of the named glyph; null for an unknown name.
std::unique_ptr<TBitmap> LoadProgramGlyph(const String& Name);
