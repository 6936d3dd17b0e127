// Device contexts for the window system: a DC drawing into a window's backing store (a 32-bpp
// DIB section), the link between a DC and its window, and the screen size that the screen DC
// and GetDeviceCaps report.
#pragma once

#include "platform/gdi/Gdi.h"
#include "platform/gdi/Region.h"

// A DC on Surface (a 32-bpp bitmap) whose DC coordinate (0,0) is Origin on the surface and
// whose output stays inside SystemRegion (surface pixels; nullptr = the whole surface). The
// bitmap cannot be deleted while the DC exists; selecting another bitmap into the DC is refused.
// DeleteDC deletes it. Returns nullptr for a bad or non-32-bpp bitmap.
HDC CreateSurfaceDC(HBITMAP Surface, POINT Origin, const TRegion* SystemRegion);
// Moves a surface DC and replaces its system region (nullptr = whole surface).
void SetSurfaceDCOrigin(HDC DC, POINT Origin, const TRegion* SystemRegion);
void SetDCWindow(HDC DC, HWND Window);
HWND WindowFromDC(HDC DC);
// The screen size (default 1024 x 768): HORZRES/VERTRES and the screen DC's surface.
void SetScreenSize(int Width, int Height);
SIZE GetScreenSize();
