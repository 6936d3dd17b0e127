// Values that identification read from a tool's output (track ids, the angle, the aspect and the
// frame rate) and that later go onto another tool's command line. A media file's metadata can
// put any text there (a clip title with a quote, a line break or an option), so each value is
// checked for its form just before it goes onto a line; a value of another form is left out and
// the log says which and why.
//
// Contract:
// - An id is decimal digits (blanks around them allowed); it is returned as given.
// - A rate is a decimal ("25", "23.976") or a ratio of two such ("30000/1001", "16:9"); it is
//   returned trimmed.
// - A value that fails gives "" and one log line: `Left out "-aid": "x\"5" is not a whole number`.
#pragma once

#include "platform/rtl/System.h"

bool IsToolId(const String& Text);
bool IsToolRate(const String& Text);

// Text when it is an id, else "" (and the log line naming Option).
String CheckedToolId(const String& Text, const String& Option);
// Trim(Text) when it is a rate, else "" (and the log line naming Option).
String CheckedToolRate(const String& Text, const String& Option);
