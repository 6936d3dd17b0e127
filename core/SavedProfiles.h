// The rule for the names of saved device profiles: a name becomes a file name in the profiles
// folder, so it must stay inside it. Usable means: not empty after trimming, no "/" or "\",
// no "..", no control characters, at most 250 bytes with ".prf", and CleanTitle does not clean
// it to nothing.
#pragma once

#include "platform/rtl/System.h"

bool ProfileNameUsable(const String& Name);
// WorkFolder + "profiles/" + Name + ".prf".
String ProfileFileName(const String& Name);
