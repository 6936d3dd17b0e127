// The text/uri-list of a file drop: the local file names it holds.
#pragma once

#include <vector>

#include "platform/rtl/System.h"

// The paths of the "file:" URIs in a text/uri-list (lines ending in CR LF or LF, "#" lines
// are comments), percent-decoded. URIs of other schemes, of other hosts ("localhost" and
// HostName count as this one), and names that decode to a NUL byte or to no absolute path are
// left out.
std::vector<String> FileNamesFromUriList(const String& Text, const String& HostName);

// Percent-decoding of a URI component; a "%" not followed by two hex digits stays as it is.
String PercentDecode(const String& Text);
