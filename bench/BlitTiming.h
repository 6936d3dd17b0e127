// The yardstick of the painting benchmarks: how long one 800 x 600 32-bpp SRCCOPY blit between
// two memory bitmaps takes (the median of 21 runs). Header-only.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

#include "platform/gdi/Gdi.h"

inline double Blit800x600Seconds()
{
  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
  info.bmiHeader.biWidth = 800;
  info.bmiHeader.biHeight = -600;
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  void* bits = nullptr;
  HBITMAP src = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HBITMAP dst = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  HDC srcDC = CreateCompatibleDC(nullptr);
  HDC dstDC = CreateCompatibleDC(nullptr);
  HGDIOBJ oldSrc = SelectObject(srcDC, src);
  HGDIOBJ oldDst = SelectObject(dstDC, dst);
  std::vector<double> times;
  for (int i = 0; i < 21; ++i) {
    auto t0 = std::chrono::steady_clock::now();
    BitBlt(dstDC, 0, 0, 800, 600, srcDC, 0, 0, SRCCOPY);
    times.push_back(std::chrono::duration<double>(std::chrono::steady_clock::now() - t0).count());
  }
  SelectObject(srcDC, oldSrc);
  SelectObject(dstDC, oldDst);
  DeleteDC(srcDC);
  DeleteDC(dstDC);
  DeleteObject(src);
  DeleteObject(dst);
  std::sort(times.begin(), times.end());
  return times[times.size() / 2];
}
