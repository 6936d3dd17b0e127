#include "platform/display/Screenshot.h"

#include <cstring>

#include "platform/gdi/PngFile.h"

bool SaveWindowPng(TDisplayBackend& Display, TDisplayWindow Window, const String& FileName)
{
  std::vector<std::uint32_t> pixels;
  int width = 0, height = 0;
  if (!Display.ReadPixels(Window, pixels, width, height) || width <= 0 || height <= 0)
    return false;
  try {
    TDibImage image;
    image.SetSize(width, height, 32, true);
    for (int y = 0; y < height; ++y)
      std::memcpy(image.ScanLine(y), &pixels[static_cast<std::size_t>(y) * width], static_cast<std::size_t>(width) * 4);
    // The alpha byte of a plain window's image means nothing: the screen shows it opaque.
    SavePngToFile(image, FileName, false);
    return true;
  } catch (const Exception&) {
    return false;
  }
}
