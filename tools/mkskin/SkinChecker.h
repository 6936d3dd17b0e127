// The authoring checks of the skin packer: mistakes that the skin loader would accept quietly
// or turn into a broken look, found before a skin is built into the program.
#pragma once

#include <vector>

#include "platform/rtl/IniFiles.h"

struct TSkinRequirement {
  String Name;    // the record name a window or control looks up
  bool Object;    // a SKINOBJECTS record (else SKINCONTROLS)
  String Keyword; // the record kind it must have
};

// Checks the skin text; ActivePictureCount is the number of active pictures the skin has.
// Returns one readable line per problem ("[section] key: problem"); empty when the skin is fine.
std::vector<String> CheckSkinIni(TMemIniFile* IniFile, int ActivePictureCount,
                                 const std::vector<TSkinRequirement>& Required);

// Reads "name kind" or "object name kind" lines (blank lines and "#" comments skipped).
std::vector<TSkinRequirement> ParseSkinRequirements(const String& Text);
