// Window helpers the Wine benches share: rectangles, sizes and texts of windows.
#pragma once

#include <windows.h>

#include <string>

namespace nx::bench {

inline RECT rectAt(int x, int y, int width, int height) {
  return RECT{x, y, x + width, y + height};
}

// "WxH" of the window's outer size, for the figures' labels.
inline std::string sizeText(HWND hwnd) {
  RECT r;
  GetWindowRect(hwnd, &r);
  return std::to_string(r.right - r.left) + "x" + std::to_string(r.bottom - r.top);
}

inline std::wstring windowText(HWND hwnd) {
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(hwnd)) + 1, L'\0');
  text.resize(
      static_cast<std::size_t>(GetWindowTextW(hwnd, text.data(), static_cast<int>(text.size()))));
  return text;
}

}  // namespace nx::bench
