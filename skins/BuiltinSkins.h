// The program's own skins, packed into the program at build time.
#pragma once

#include <cstddef>

#include "skin/foundation/CompressedStoredSkin.h"

// The zlib streams of the two stored skins: the frame of the main, preview and history windows,
// and the looks of the controls and menus.
extern const unsigned char FrameSkinData[];
extern const std::size_t FrameSkinDataSize;
extern const unsigned char ControlsSkinData[];
extern const std::size_t ControlsSkinDataSize;

enum class TBuiltinSkin { bsFrame, bsControls };

// Fills a stored skin with one of the built-in skins.
void LoadBuiltinSkin(TskCompressedStoredSkin* StoredSkin, TBuiltinSkin Skin);
