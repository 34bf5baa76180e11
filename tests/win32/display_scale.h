// The display's resolution as tests compare the real drawing with the simulation's: twips per
// pixel of the screen (15 at 96 DPI, 10 at 144 DPI).
#pragma once

#include <windows.h>

namespace nx::test {

inline double tpp() {
  static const double value = [] {
    HDC screen = GetDC(nullptr);
    const int dpi = screen ? GetDeviceCaps(screen, LOGPIXELSX) : 96;
    if (screen) ReleaseDC(nullptr, screen);
    return 1440.0 / (dpi > 0 ? dpi : 96);
  }();
  return value;
}

// Dots per inch of the screen.
inline int dpi() {
  return static_cast<int>(1440.0 / tpp() + 0.5);
}

}  // namespace nx::test
