// The display on an X server (Xlib). The backend itself lives in X11Display.cpp, so that no
// Xlib header (with its macros) reaches the rest of the program.
#pragma once

#include <memory>

#include "platform/display/DisplayBackend.h"

// Opens DisplayName (empty: $DISPLAY). Null, with the reason in Error, when no X server answers.
std::unique_ptr<TDisplayBackend> CreateX11Display(const String& DisplayName, String& Error);
