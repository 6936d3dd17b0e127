// The authoring checks of the skin packer: mistakes that the skin loader would accept quietly
// or turn into a broken look, found before a skin is built into the program.
#pragma once

#include <vector>

#include "platform/rtl/IniFiles.h"
#include "skin/foundation/CompressedStoredSkin.h"

struct TSkinRequirement {
  String Name;    // the record name a window or control looks up
  bool Object;    // a SKINOBJECTS record (else SKINCONTROLS)
  String Keyword; // the record kind it must have
};

// Checks the skin text; ActivePictureCount is the number of active pictures the skin has.
// Returns one readable line per problem ("[section] key: problem"); empty when the skin is fine.
// The text also goes through the program's own skin loader (with stand-in pictures), so that a
// skin it would refuse is never packed; keys and sections that nothing reads are flagged.
std::vector<String> CheckSkinIni(TMemIniFile* IniFile, int ActivePictureCount,
                                 const std::vector<TSkinRequirement>& Required);

// Loads the stored skin with the program's skin loader: the loader's error text, or empty when
// the skin loads.
String SkinLoadError(TskCompressedStoredSkin* Skin);
// The same for a skin text with ActivePictureCount stand-in pictures (1x1) and no frame pictures.
String SkinTextLoadError(const String& Text, int ActivePictureCount);

// Reads "name kind" or "object name kind" lines (blank lines and "#" comments skipped).
std::vector<TSkinRequirement> ParseSkinRequirements(const String& Text);
