// Screenshots of single windows as PNG files.
#pragma once

#include "platform/display/DisplayBackend.h"

// Writes the window's pixels as the screen shows them (opaque, 24-bit colour) to FileName.
// False when the window is unknown or not shown, or when the file cannot be written; an
// existing file is replaced only by a complete picture.
bool SaveWindowPng(TDisplayBackend& Display, TDisplayWindow Window, const String& FileName);
